#include "editor_toolbar.h"
#include "data_editor_frame.h"
#include "editor_resource.h"
#include <shared/drawing.h>

namespace {
const int BAND_GRADIENT_WIDTH = 1600;  // the band's bitmap is not tiled within a screen's width
}  // namespace

CEditorToolbar::~CEditorToolbar() { Release(); }

void CEditorToolbar::Release()
{
    if (m_gradient) DeleteObject(m_gradient);
    m_gradient = nullptr;
    if (m_images) ImageList_Destroy(m_images);
    m_images = nullptr;
}

bool CEditorToolbar::Create(HWND frame, HINSTANCE module, bool sorting)
{
    m_rebar = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, "",
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                                  RBS_BANDBORDERS | CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE,
                              0, 0, 0, 0, frame, nullptr, module, nullptr);
    if (!m_rebar) return false;
    REBARINFO info = {sizeof info};
    SendMessageA(m_rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));

    m_toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                    TBSTYLE_TRANSPARENT | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                                0, 0, 0, 0, m_rebar, nullptr, module, nullptr);
    if (!m_toolbar) return false;
    // Its commands and notifications (tooltips) go straight to the frame.
    SendMessageA(m_toolbar, TB_SETPARENT, reinterpret_cast<WPARAM>(frame), 0);
    SendMessageA(m_toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);

    m_images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 7, 0);
    const int icons[] = {IDI_CREATE_FOLDER, IDI_ADD_FILES, IDI_ADD_FOLDER, IDI_RENAME,
                         IDI_DELETE,        IDI_SORT_ON,   IDI_SORT_OFF};
    for (int id : icons) {
        HICON icon = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        ImageList_AddIcon(m_images, icon);
        if (icon) DestroyIcon(icon);
    }
    SendMessageA(m_toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images));
    TBBUTTON buttons[] = {
        {0, int(ID_CREATE_FOLDER), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {1, int(ID_ADD_FILES), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {2, int(ID_ADD_FOLDER), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {0, 0, 0, BTNS_SEP, {}, 0, 0},
        {3, int(ID_RENAME), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {4, int(ID_DELETE), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {0, 0, 0, BTNS_SEP, {}, 0, 0},
        {sorting ? SORT_ON_IMAGE : SORT_OFF_IMAGE, int(ID_SORT_TOGGLE), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    };
    SendMessageA(m_toolbar, TB_ADDBUTTONSA, sizeof buttons / sizeof buttons[0], reinterpret_cast<LPARAM>(buttons));
    SendMessageA(m_toolbar, TB_AUTOSIZE, 0, 0);
    SIZE size = {};
    SendMessageA(m_toolbar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));

    HDC screen = GetDC(nullptr);
    CreateGradientBitmap(screen, SIZE{BAND_GRADIENT_WIDTH, size.cy + 4}, BAND_LEFT, BAND_RIGHT, &m_gradient, FALSE);
    ReleaseDC(nullptr, screen);

    REBARBANDINFOA band = {};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_SIZE | (m_gradient ? RBBIM_BACKGROUND : 0);
    band.fStyle = RBBS_NOGRIPPER | RBBS_CHILDEDGE;
    band.hwndChild = m_toolbar;
    band.cxMinChild = size.cx;
    band.cyMinChild = size.cy;
    band.cx = size.cx;
    band.hbmBack = m_gradient;
    SendMessageA(m_rebar, RB_INSERTBANDA, WPARAM(-1), reinterpret_cast<LPARAM>(&band));
    return true;
}

int CEditorToolbar::Height() const
{
    return m_rebar ? int(SendMessageA(m_rebar, RB_GETBARHEIGHT, 0, 0)) : 0;
}

void CEditorToolbar::Layout(int width) const
{
    if (m_rebar) MoveWindow(m_rebar, 0, 0, width, Height(), TRUE);
}

void CEditorToolbar::ShowSorting(bool on) const
{
    if (m_toolbar) SendMessageA(m_toolbar, TB_CHANGEBITMAP, ID_SORT_TOGGLE, on ? SORT_ON_IMAGE : SORT_OFF_IMAGE);
}

void CEditorToolbar::Enable(unsigned id, bool on) const
{
    if (m_toolbar) SendMessageA(m_toolbar, TB_ENABLEBUTTON, id, MAKELPARAM(on ? TRUE : FALSE, 0));
}

bool CEditorToolbar::Enabled(unsigned id) const
{
    return m_toolbar && SendMessageA(m_toolbar, TB_ISBUTTONENABLED, id, 0) != 0;
}
