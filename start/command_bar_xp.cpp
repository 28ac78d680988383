#include "command_bar_xp.h"
#include <shared/colors.h>
#include <shared/drawing.h>
#include <string>

const char* const CCommandBarXPCtrl::CLASS_NAME = "WTL_CommandBarXP";

namespace {

const COLORREF kFrameColour = RGB(0, 0, 0x80);
const COLORREF kSelectedFill = RGB(255, 238, 194);

void FrameRect(HDC dc, const RECT& rc, COLORREF colour, COLORREF fill)
{
    CPenSelector pen(dc, colour);
    CBrushSelector brush(dc, fill);
    ::Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
}

// The font of `dc` made bold or normal for a scope.
class CWeightScope {
public:
    CWeightScope(HDC dc, bool bold) : m_dc(dc)
    {
        LOGFONTA lf = {};
        HFONT current = static_cast<HFONT>(::GetCurrentObject(dc, OBJ_FONT));
        ::GetObjectA(current, sizeof(lf), &lf);
        const LONG weight = bold ? FW_BOLD : FW_NORMAL;
        if ((lf.lfWeight >= FW_BOLD) == bold) return;
        lf.lfWeight = weight;
        m_font = ::CreateFontIndirectA(&lf);
        m_old = ::SelectObject(dc, m_font);
    }
    ~CWeightScope()
    {
        if (!m_font) return;
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_font);
    }
    CWeightScope(const CWeightScope&) = delete;
    CWeightScope& operator=(const CWeightScope&) = delete;

private:
    HDC m_dc;
    HFONT m_font = nullptr;
    HGDIOBJ m_old = nullptr;
};

}  // namespace

HWND CCommandBarXPCtrl::Create(HWND parent, HWND frame, UINT id)
{
    HWND bar = CommandBar::Create(parent, frame, CLASS_NAME, id);
    if (bar) MakeBitmaps();
    return bar;
}

void CCommandBarXPCtrl::MakeBitmaps()
{
    HWND reference = ::GetActiveWindow();
    HDC dc = ::GetDC(reference);
    SIZE size = {100, ::GetSystemMetrics(SM_CYMENU)};
    HBITMAP bitmap = nullptr;
    if (CreateGradientBitmap(dc, size, RGB(0xFF, 0xF0, 0xC5), RGB(0xFF, 0xD7, 0x9C), &bitmap, TRUE))
        m_hotBitmap.Attach(bitmap);
    bitmap = nullptr;
    if (CreateGradientBitmap(dc, size, ShiftColorHLS(RGB(0xFE, 0xFE, 0xFE), 10, 0),
                             ShiftColorHLS(RGB(0xC8, 0xD4, 0xF6), -4, 0), &bitmap, TRUE))
        m_pressedBitmap.Attach(bitmap);
    ::ReleaseDC(reference, dc);
}

bool CCommandBarXPCtrl::OnCustomDraw(NMHDR* header, LRESULT* result)
{
    char className[64] = "";
    ::GetClassNameA(header->hwndFrom, className, sizeof(className));
    if (lstrcmpA(className, CLASS_NAME) != 0) return false;
    auto* draw = reinterpret_cast<NMTBCUSTOMDRAW*>(header);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        *result = CDRF_NOTIFYITEMDRAW;
        return true;
    case CDDS_ITEMPREPAINT:
        DrawTopLevelItem(*draw);
        *result = CDRF_SKIPDEFAULT;
        return true;
    default:
        *result = CDRF_DODEFAULT;
        return true;
    }
}

void CCommandBarXPCtrl::DrawTopLevelItem(NMTBCUSTOMDRAW& draw)
{
    HDC dc = draw.nmcd.hdc;
    RECT rc = draw.nmcd.rc;
    const UINT id = static_cast<UINT>(draw.nmcd.dwItemSpec);
    char text[256] = "";
    SendMessage(TB_GETBUTTONTEXTA, id, reinterpret_cast<LPARAM>(text));
    const bool hot = (draw.nmcd.uItemState & CDIS_HOT) != 0;
    const bool selected = (draw.nmcd.uItemState & (CDIS_SELECTED | CDIS_CHECKED)) != 0 ||
                          (SendMessage(TB_GETSTATE, id) & TBSTATE_PRESSED) != 0;
    if (hot || selected) {
        HBITMAP bitmap = selected ? m_pressedBitmap.Get() : m_hotBitmap.Get();
        RECT inner = {rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1};
        if (bitmap) {
            HDC source = ::CreateCompatibleDC(dc);
            HGDIOBJ old = ::SelectObject(source, bitmap);
            ::BitBlt(dc, inner.left, inner.top, wnd::Width(inner), wnd::Height(inner), source, 0, 0, SRCCOPY);
            ::SelectObject(source, old);
            ::DeleteDC(source);
        }
        FrameRect(dc, inner, kFrameColour, NO_BRUSH_COLOR);
        ::SetTextColor(dc, ::GetSysColor(COLOR_MENUTEXT));
    } else {
        ::SetTextColor(dc, ::GetSysColor(IsFrameActive() ? COLOR_BTNTEXT : COLOR_BTNSHADOW));
    }
    ::SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    ::DrawTextA(dc, text, -1, &rc, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    ::SelectObject(dc, oldFont);
}

void CCommandBarXPCtrl::DrawMenuItem(const DRAWITEMSTRUCT& item, const wnd::MenuItemRecord& record)
{
    HDC dc = item.hDC;
    const RECT rc = item.rcItem;
    const int w = ImageWidth();
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool grayed = (item.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const bool checked = (item.itemState & ODS_CHECKED) != 0;
    const COLORREF grayText = ShiftColorHLS(::GetSysColor(COLOR_BTNFACE), -18, 0);

    // Background.
    if (!selected) {
        FillGradientRect(dc, rc.left, rc.top, w + 6 - rc.left, rc.bottom - rc.top,
                         ShiftColorHLS(RGB(254, 254, 254), 10, 0), ShiftColorHLS(RGB(200, 212, 246), -10, 0), FALSE);
        RECT rest = {rc.left + w + 6, rc.top, rc.right, rc.bottom};
        ::SetBkColor(dc, ShiftColorHLS(::GetSysColor(COLOR_BTNFACE), 75, 0));
        ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rest, nullptr, 0, nullptr);
    } else if (!grayed) {
        FrameRect(dc, rc, kFrameColour, kSelectedFill);
    }

    if (record.type & MFT_SEPARATOR) {
        CPenSelector pen(dc, grayText);
        const int y = (rc.top + rc.bottom) / 2;
        ::MoveToEx(dc, rc.left + w + 14, y, nullptr);
        ::LineTo(dc, rc.right - 1, y);
        return;
    }

    // Text and shortcut.
    std::string text = record.text;
    std::string shortcut;
    size_t tab = text.find('\t');
    if (tab != std::string::npos) {
        shortcut = text.substr(tab + 1);
        text.resize(tab);
    }
    ::SetTextColor(dc, grayed ? grayText : ::GetSysColor(COLOR_MENUTEXT));
    ::SetBkMode(dc, TRANSPARENT);
    {
        CWeightScope weight(dc, (item.itemState & ODS_DEFAULT) != 0);
        RECT textRect = {rc.left + w + 14, rc.top, rc.right, rc.bottom};
        ::DrawTextA(dc, text.c_str(), -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        if (!shortcut.empty()) {
            RECT shortcutRect = {rc.left, rc.top, rc.right - 12, rc.bottom};
            ::DrawTextA(dc, shortcut.c_str(), -1, &shortcutRect, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
        }
    }

    // Check box.
    COLORREF checkColour = ShiftColorHLS(kSelectedFill, selected ? -30 : -10, 10);
    if (checked && !grayed) {
        RECT box = {rc.left + 1, rc.top + 1, rc.left + w + 4, rc.bottom - 1};
        FrameRect(dc, box, kFrameColour, checkColour);
    }
    DrawItemImage(dc, rc, record, selected, checked, grayed);
    if (checked && (!Images() || record.image < 0)) {
        if (!grayed) ::SetBkColor(dc, checkColour);
        HBITMAP check = ::LoadBitmapA(nullptr, MAKEINTRESOURCEA(32760));  // OBM_CHECK
        ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(check), 0, rc.left + 5, rc.top + 3, w + 6,
                     rc.bottom - rc.top, DST_BITMAP);
        ::DeleteObject(check);
    }
}

void CCommandBarXPCtrl::DrawItemImage(HDC dc, const RECT& rc, const wnd::MenuItemRecord& record, bool selected,
                                      bool checked, bool grayed)
{
    HIMAGELIST images = Images();
    if (!images || record.image < 0) return;
    const int w = ImageWidth();
    if (grayed) {
        HICON icon = ::ImageList_GetIcon(images, record.image, ILD_NORMAL);
        wnd::Brush brush = wnd::Brush::Solid(ShiftColorHLS(::GetSysColor(COLOR_BTNFACE), -27, 0));
        ::DrawStateA(dc, brush, nullptr, reinterpret_cast<LPARAM>(icon), 0, rc.left + 3, rc.top + 4, w, w,
                     DST_ICON | DSS_MONO);
        ::DestroyIcon(icon);
    } else if (!selected || checked) {
        ::ImageList_Draw(images, record.image, dc, rc.left + 3, rc.top + 4, ILD_TRANSPARENT);
    } else {
        HICON icon = ::ImageList_GetIcon(images, record.image, ILD_NORMAL);
        wnd::Brush brush = wnd::Brush::Solid(ShiftColorHLS(::GetSysColor(COLOR_HIGHLIGHT), 0, -100));
        ::DrawStateA(dc, brush, nullptr, reinterpret_cast<LPARAM>(icon), 0, rc.left + 4, rc.top + 5, w, w,
                     DST_ICON | DSS_MONO);
        ::DestroyIcon(icon);
        ::ImageList_Draw(images, record.image, dc, rc.left + 2, rc.top + 3, ILD_TRANSPARENT);
    }
}
