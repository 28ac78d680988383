#include "rebar_toolbar.h"
#include <shared/drawing.h>
#include <vector>

namespace {
const int BAND_GRADIENT_WIDTH = 1600;  // the band's bitmap is not tiled within a screen's width
}  // namespace

CRebarToolbar::~CRebarToolbar() { Release(); }

void CRebarToolbar::Release()
{
    if (m_gradient) DeleteObject(m_gradient);
    m_gradient = nullptr;
    if (m_images) ImageList_Destroy(m_images);
    m_images = nullptr;
}

bool CRebarToolbar::Create(HWND frame, HINSTANCE module, const int* icons, size_t iconCount,
                           const ToolbarButton* buttons, size_t buttonCount)
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

    m_images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, int(iconCount), 0);
    for (size_t i = 0; i < iconCount; ++i) {
        HICON icon =
            static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(icons[i]), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        ImageList_AddIcon(m_images, icon);
        if (icon) DestroyIcon(icon);
    }
    SendMessageA(m_toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images));
    std::vector<TBBUTTON> made;
    for (size_t i = 0; i < buttonCount; ++i) {
        const ToolbarButton& b = buttons[i];
        made.push_back(b.command ? TBBUTTON{b.image, int(b.command), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0}
                                 : TBBUTTON{0, 0, 0, BTNS_SEP, {}, 0, 0});
    }
    SendMessageA(m_toolbar, TB_ADDBUTTONSA, made.size(), reinterpret_cast<LPARAM>(made.data()));
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

bool CRebarToolbar::AddBand(HWND child, int width) const
{
    if (!m_rebar || !child) return false;
    RECT r = {};
    GetWindowRect(child, &r);
    REBARBANDINFOA band = {};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_SIZE | (m_gradient ? RBBIM_BACKGROUND : 0);
    band.fStyle = RBBS_NOGRIPPER | RBBS_CHILDEDGE;
    band.hwndChild = child;
    band.cxMinChild = width;
    band.cyMinChild = r.bottom - r.top;
    band.cx = width;
    band.hbmBack = m_gradient;
    return SendMessageA(m_rebar, RB_INSERTBANDA, WPARAM(-1), reinterpret_cast<LPARAM>(&band)) != 0;
}

int CRebarToolbar::Height() const
{
    return m_rebar ? int(SendMessageA(m_rebar, RB_GETBARHEIGHT, 0, 0)) : 0;
}

void CRebarToolbar::Layout(int width) const
{
    if (m_rebar) MoveWindow(m_rebar, 0, 0, width, Height(), TRUE);
}

void CRebarToolbar::Enable(unsigned id, bool on) const
{
    if (m_toolbar) SendMessageA(m_toolbar, TB_ENABLEBUTTON, id, MAKELPARAM(on ? TRUE : FALSE, 0));
}

bool CRebarToolbar::Enabled(unsigned id) const
{
    return m_toolbar && SendMessageA(m_toolbar, TB_ISBUTTONENABLED, id, 0) != 0;
}

void CRebarToolbar::ChangeImage(unsigned id, int image) const
{
    if (m_toolbar) SendMessageA(m_toolbar, TB_CHANGEBITMAP, id, image);
}

void CRebarToolbar::PaintBand(HWND rebar, HDC dc)
{
    RECT r;
    ::GetClientRect(rebar, &r);
    FillGradientRect(dc, 0, 0, r.right, r.bottom, BAND_LEFT, BAND_RIGHT, FALSE);
}
