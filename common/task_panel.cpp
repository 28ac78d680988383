#include "task_panel.h"
#include <shared/colors.h>
#include <shared/drawing.h>
#include <shared/variant_safearray.h>
#include <com/guard.h>
#include <com/text.h>
#include <windowsx.h>

namespace {

const int kMinWidth = 76;
const int kLineStep = 50;

const COLORREF kBackTop = RGB(120, 159, 227);
const COLORREF kBackBottom = RGB(95, 114, 210);
const COLORREF kBody = RGB(213, 222, 246);
const COLORREF kBodyPen = RGB(254, 254, 254);
const COLORREF kHeaderEnd = RGB(200, 212, 246);
const COLORREF kWhite = RGB(254, 254, 254);

int TextHeight(HDC dc, const std::string& text, HFONT font, int width)
{
    HGDIOBJ old = SelectObject(dc, font);
    RECT r = {0, 0, width, 0};
    DrawTextA(dc, text.c_str(), -1, &r, DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, old);
    return r.bottom - r.top;
}

void DrawCaption(HDC dc, const std::string& text, RECT box, HFONT font, COLORREF colour)
{
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, colour);
    DrawTextA(dc, text.c_str(), -1, &box, DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
}

}  // namespace

void CCoPanelCtrl::FinalRelease()
{
    if (IsWindow()) Destroy();
    DeleteFonts();
}

// --- IOwnWindow ---

STDMETHODIMP CCoPanelCtrl::CreateOwnWindow(HWND a_hWndParent)
{
    return com::Guarded("CCoPanelCtrl::CreateOwnWindow", [&]() -> HRESULT {
        if (!::IsWindow(a_hWndParent)) return E_INVALIDARG;
        Create(a_hWndParent, nullptr, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
        return IsWindow() ? S_OK : E_INVALIDARG;
    });
}

STDMETHODIMP CCoPanelCtrl::GetOwnWindow(HWND* a_hWndRet)
{
    if (!a_hWndRet) return E_POINTER;
    *a_hWndRet = IsWindow() ? m_hWnd : nullptr;
    return *a_hWndRet ? S_OK : E_FAIL;
}

// --- ITaskBar ---

CTaskPane* CCoPanelCtrl::FindPane(unsigned id)
{
    auto it = m_panes.find(id);
    return it == m_panes.end() ? nullptr : &it->second;
}

void CCoPanelCtrl::Changed()
{
    Layout();
    if (IsWindow()) Invalidate(false);
}

STDMETHODIMP CCoPanelCtrl::AddPane(unsigned a_uiID, BSTR a_bsCaption, HICON a_hIcon)
{
    return com::Guarded("CCoPanelCtrl::AddPane", [&]() -> HRESULT {
        CTaskPane& pane = m_panes.try_emplace(a_uiID, a_uiID).first->second;
        pane.m_caption = com::AnsiFromBstr(a_bsCaption);
        pane.m_active = false;
        pane.m_actions.clear();
        if (a_hIcon) pane.m_icon.Assign(a_hIcon);
        Changed();
        return S_OK;
    });
}

STDMETHODIMP CCoPanelCtrl::RemovePane(unsigned a_uiID)
{
    if (m_panes.erase(a_uiID)) Changed();
    return S_OK;
}

STDMETHODIMP CCoPanelCtrl::RenamePane(unsigned a_uiID, BSTR a_bsNewName)
{
    return com::Guarded("CCoPanelCtrl::RenamePane", [&]() -> HRESULT {
        CTaskPane* pane = FindPane(a_uiID);
        if (!pane) return E_FAIL;
        pane->m_caption = com::AnsiFromBstr(a_bsNewName);
        Changed();
        return S_OK;
    });
}

STDMETHODIMP CCoPanelCtrl::AddAction(unsigned a_uiPaneID, unsigned a_uiID, BSTR a_bsCaption, HICON a_hIcon)
{
    return com::Guarded("CCoPanelCtrl::AddAction", [&]() -> HRESULT {
        CTaskPane* pane = FindPane(a_uiPaneID);
        if (!pane) return S_OK;
        auto added = pane->m_actions.try_emplace(a_uiID, a_uiID);
        if (!added.second) return S_OK;  // an existing action stays as it is
        CTaskAction& action = added.first->second;
        action.m_caption = com::AnsiFromBstr(a_bsCaption);
        if (a_hIcon) action.m_icon.Assign(a_hIcon);
        Changed();
        return S_OK;
    });
}

STDMETHODIMP CCoPanelCtrl::RemoveAction(unsigned a_uiPaneID, unsigned a_uiID)
{
    CTaskPane* pane = FindPane(a_uiPaneID);
    if (pane && pane->m_actions.erase(a_uiID)) Changed();
    return S_OK;
}

STDMETHODIMP CCoPanelCtrl::RenameAction(unsigned a_uiPaneID, unsigned a_uiID, BSTR a_bsNewName)
{
    return com::Guarded("CCoPanelCtrl::RenameAction", [&]() -> HRESULT {
        CTaskPane* pane = FindPane(a_uiPaneID);
        CTaskAction* action = pane ? pane->FindAction(a_uiID) : nullptr;
        if (!action) return E_FAIL;
        action->m_caption = com::AnsiFromBstr(a_bsNewName);
        Changed();
        return S_OK;
    });
}

STDMETHODIMP CCoPanelCtrl::SetActive(unsigned a_uiPaneID, unsigned a_uiActionID)
{
    for (auto& entry : m_panes) entry.second.m_active = false;
    CTaskPane* pane = FindPane(a_uiPaneID);
    if (pane) {
        pane->m_active = true;
        if (a_uiActionID != NO_ACTION) {
            for (auto& entry : pane->m_actions) entry.second.m_active = false;
            if (CTaskAction* action = pane->FindAction(a_uiActionID)) action->m_active = true;
        }
    }
    Layout();
    if (pane) MakePaneVisible(*pane);
    if (IsWindow()) Invalidate(false);
    return S_OK;
}

STDMETHODIMP CCoPanelCtrl::GetActive(unsigned* a_puiPaneID, unsigned* a_puiActionID)
{
    if (!a_puiPaneID || !a_puiActionID) return E_POINTER;
    *a_puiPaneID = *a_puiActionID = NO_ACTION;
    for (const auto& entry : m_panes) {
        if (!entry.second.m_active) continue;
        *a_puiPaneID = entry.first;
        if (const CTaskAction* action = entry.second.ActiveAction()) *a_puiActionID = action->m_id;
        break;
    }
    return S_OK;
}

STDMETHODIMP CCoPanelCtrl::GetPaneActiveAction(unsigned a_uiPaneID, unsigned* a_puiActionID)
{
    if (!a_puiActionID) return E_POINTER;
    const CTaskPane* pane = FindPane(a_uiPaneID);
    const CTaskAction* action = pane ? pane->ActiveAction() : nullptr;
    *a_puiActionID = action ? action->m_id : NO_ACTION;
    return S_OK;
}

STDMETHODIMP CCoPanelCtrl::EnableAction(unsigned a_uiPaneID, unsigned a_uiActionID, unsigned a_uiEnable)
{
    CTaskPane* pane = FindPane(a_uiPaneID);
    CTaskAction* action = pane ? pane->FindAction(a_uiActionID) : nullptr;
    if (action) {
        action->m_enabled = a_uiEnable != 0;
        Changed();
    }
    return S_OK;
}

STDMETHODIMP CCoPanelCtrl::ChangeAction(unsigned a_uiPaneID, unsigned a_uiID, BSTR a_bsCaption, HICON a_hIcon)
{
    return com::Guarded("CCoPanelCtrl::ChangeAction", [&]() -> HRESULT {
        CTaskPane* pane = FindPane(a_uiPaneID);
        CTaskAction* action = pane ? pane->FindAction(a_uiID) : nullptr;
        if (!action) return E_FAIL;
        action->m_caption = com::AnsiFromBstr(a_bsCaption);
        action->m_icon.Assign(a_hIcon);
        Changed();
        return S_OK;
    });
}

STDMETHODIMP CCoPanelCtrl::SetActionIcon(unsigned a_uiPaneID, unsigned a_uiID, HICON a_hIcon)
{
    CTaskPane* pane = FindPane(a_uiPaneID);
    CTaskAction* action = pane ? pane->FindAction(a_uiID) : nullptr;
    if (!action) return E_FAIL;
    action->m_icon.Assign(a_hIcon);
    Changed();
    return S_OK;
}

STDMETHODIMP CCoPanelCtrl::SetPaneIcon(unsigned, HICON) { return E_NOTIMPL; }

STDMETHODIMP CCoPanelCtrl::ChangePane(unsigned, BSTR, HICON) { return E_NOTIMPL; }

// --- layout ---

void CCoPanelCtrl::Layout()
{
    if (!IsWindow()) return;
    RECT client = GetClientRect();
    const int width = std::max<int>(client.right, kMinWidth);
    const int W = width - 12;
    int y = 6;
    HDC dc = GetDC(m_hWnd);
    for (auto& entry : m_panes) {
        CTaskPane& pane = entry.second;
        const bool icon = static_cast<bool>(pane.m_icon);
        if (icon) y += 16;
        const int H = TextHeight(dc, pane.m_caption, m_fontBold, icon ? W - 44 : W - 8) + 8;
        pane.m_header = {6, y, 6 + W, y + H};
        y += H;
        pane.m_body = {6, y, 6 + W, y};
        if (!pane.m_actions.empty()) {
            int row = y + 8;
            for (auto& a : pane.m_actions) {
                CTaskAction& action = a.second;
                const int textWidth = action.m_icon ? W - 48 : W - 24;
                const int h = TextHeight(dc, action.m_caption, action.m_active ? m_fontBold : m_fontNormal, textWidth);
                action.m_box = {22, row, 22 + W - 24, row + h};
                row += h + 8;
            }
            pane.m_body = {6, y - 1, W + 6, row};
            y = row;
        }
        y += 8;
    }
    ReleaseDC(m_hWnd, dc);
    m_contentHeight = y;
    UpdateScrollBar();
}

void CCoPanelCtrl::UpdateScrollBar()
{
    RECT client = GetClientRect();
    const int maxScroll = std::max<int>(0, m_contentHeight - client.bottom);
    if (m_scrollY > maxScroll) m_scrollY = maxScroll;
    SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, m_contentHeight - 1,
                       static_cast<UINT>(client.bottom), m_scrollY, 0};
    SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
}

void CCoPanelCtrl::ScrollTo(int y)
{
    RECT client = GetClientRect();
    y = std::max(0, std::min(y, std::max<int>(0, m_contentHeight - client.bottom)));
    if (y == m_scrollY) return;
    m_scrollY = y;
    SetScrollPos(m_hWnd, SB_VERT, m_scrollY, TRUE);
    Invalidate(false);
}

void CCoPanelCtrl::MakePaneVisible(const CTaskPane& pane)
{
    if (!IsWindow()) return;
    RECT client = GetClientRect();
    const int top = pane.m_header.top;
    const int bottom = std::max(pane.m_header.bottom, pane.m_body.bottom);
    const int viewTop = m_scrollY, viewBottom = m_scrollY + client.bottom;
    const bool topIn = top >= viewTop && top < viewBottom;
    const bool bottomIn = bottom >= viewTop && bottom <= viewBottom;
    if (topIn && bottomIn) return;
    if (!topIn)
        ScrollTo(top - (pane.m_icon ? 22 : 6));
    else
        ScrollTo(bottom + 6 - client.bottom);
}

bool CCoPanelCtrl::ItemRect(unsigned paneId, unsigned actionId, RECT* rect) const
{
    auto pane = m_panes.find(paneId);
    if (pane == m_panes.end()) return false;
    if (actionId == NO_ACTION) {
        *rect = pane->second.m_header;
    } else {
        auto action = pane->second.m_actions.find(actionId);
        if (action == pane->second.m_actions.end()) return false;
        *rect = action->second.m_box;
    }
    OffsetRect(rect, 0, -m_scrollY);
    return true;
}

POINT CCoPanelCtrl::ContentPoint(LPARAM lParam) const
{
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) + m_scrollY};
}

void CCoPanelCtrl::UpdateHover(POINT pt)
{
    bool changed = false, hovered = false;
    for (auto& entry : m_panes) {
        CTaskPane& pane = entry.second;
        const bool over = PointInHeader(pane.m_header, pt);
        changed |= over != pane.m_hover;
        pane.m_hover = over;
        hovered |= over;
        for (auto& a : pane.m_actions) {
            CTaskAction& action = a.second;
            const bool onAction = PtInRect(&action.m_box, pt) != FALSE;
            changed |= onAction != action.m_hover;
            action.m_hover = onAction;
            hovered |= onAction && action.m_enabled;
        }
    }
    m_hovered = hovered;
    if (changed) Invalidate(false);
}

CCoPanelCtrl::HitItem CCoPanelCtrl::HitTest() const
{
    HitItem hit;
    for (const auto& entry : m_panes) {
        const CTaskPane& pane = entry.second;
        if (pane.m_hover) {
            hit.valid = true;
            hit.pane = pane.m_id;
            return hit;
        }
        for (const auto& a : pane.m_actions) {
            if (a.second.m_hover && a.second.m_enabled) {
                hit.valid = true;
                hit.pane = pane.m_id;
                hit.action = a.second.m_id;
                return hit;
            }
        }
    }
    return hit;
}

// --- messages ---

void CCoPanelCtrl::CreateFonts()
{
    LOGFONTA base = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(base), &base);
    auto make = [&](LONG weight, BYTE underline) {
        LOGFONTA lf = base;
        lf.lfWeight = weight;
        lf.lfUnderline = underline;
        return CreateFontIndirectA(&lf);
    };
    m_fontBold = make(FW_BOLD, FALSE);
    m_fontBoldUnderline = make(FW_BOLD, TRUE);
    m_fontNormal = make(FW_NORMAL, FALSE);
    m_fontNormalUnderline = make(FW_NORMAL, TRUE);
}

void CCoPanelCtrl::DeleteFonts()
{
    for (HFONT* font : {&m_fontBold, &m_fontBoldUnderline, &m_fontNormal, &m_fontNormalUnderline}) {
        if (*font) DeleteObject(*font);
        *font = nullptr;
    }
}

LRESULT CCoPanelCtrl::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    CreateFonts();
    m_contentHeight = 350;
    m_scrollY = 0;
    Layout();
    return 0;
}

LRESULT CCoPanelCtrl::OnSize(UINT, WPARAM, LPARAM, BOOL&)
{
    Layout();
    Invalidate(false);
    return 0;
}

LRESULT CCoPanelCtrl::OnVScroll(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    RECT client = GetClientRect();
    int y = m_scrollY;
    switch (LOWORD(wParam)) {
    case SB_LINEUP: y -= kLineStep; break;
    case SB_LINEDOWN: y += kLineStep; break;
    case SB_PAGEUP: y -= client.bottom; break;
    case SB_PAGEDOWN: y += client.bottom; break;
    case SB_TOP: y = 0; break;
    case SB_BOTTOM: y = m_contentHeight; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info = {sizeof(info), SIF_TRACKPOS};
        GetScrollInfo(m_hWnd, SB_VERT, &info);
        y = info.nTrackPos;
        break;
    }
    default: return 0;
    }
    ScrollTo(y);
    return 0;
}

LRESULT CCoPanelCtrl::OnMouseWheel(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    ScrollTo(m_scrollY - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * kLineStep);
    return 0;
}

LRESULT CCoPanelCtrl::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    Layout();
    UpdateHover(ContentPoint(lParam));
    if (!m_trackingLeave) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
        m_trackingLeave = TrackMouseEvent(&track) != FALSE;
    }
    return 0;
}

LRESULT CCoPanelCtrl::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&)
{
    m_trackingLeave = false;
    UpdateHover(POINT{-0x10000, -0x10000});
    return 0;
}

void CCoPanelCtrl::UpdateHoverFromCursor()
{
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    if (::WindowFromPoint(cursor) != m_hWnd) {
        UpdateHover(POINT{-0x10000, -0x10000});
        return;
    }
    ::ScreenToClient(m_hWnd, &cursor);
    UpdateHover(POINT{cursor.x, cursor.y + m_scrollY});
}

LRESULT CCoPanelCtrl::OnSetCursor(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    if (LOWORD(lParam) != HTCLIENT) {
        handled = FALSE;
        return 0;
    }
    SetCursor(LoadCursor(nullptr, m_hovered ? IDC_HAND : IDC_ARROW));
    return TRUE;
}

LRESULT CCoPanelCtrl::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    UpdateHover(ContentPoint(lParam));
    m_pressed = HitTest();
    return 0;
}

LRESULT CCoPanelCtrl::OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    UpdateHover(ContentPoint(lParam));
    const HitItem pressed = m_pressed;
    m_pressed = HitItem();
    if (!pressed.valid || !(HitTest() == pressed)) return 0;

    // The partner may release the panel or destroy its window while it
    // handles the click.
    com::ComPtr<ITaskBar> self(this);
    const HWND window = m_hWnd;
    SetActive(pressed.pane, pressed.action);
    if (Partner()) {
        CVariantSafearray data(2);
        data.Create();
        if (SUCCEEDED(data.Prepare({{VT_UI4, pressed.pane}, {VT_UI4, pressed.action}})))
            SendCommand(PCID_ACTIVE_CHANGED_NOTIFY, data);
    }
    if (::IsWindow(window) && IsWindow()) {
        Changed();
        UpdateHoverFromCursor();
    }
    return 0;
}

// --- painting ---

LRESULT CCoPanelCtrl::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    PAINTSTRUCT ps;
    HDC target = BeginPaint(m_hWnd, &ps);
    {
        CMemoryDC memory(target, &ps.rcPaint);
        HDC dc = memory;
        RECT client = GetClientRect();
        // Content coordinates: the view starts at the scroll offset.
        POINT oldOrigin;
        SetViewportOrgEx(dc, 0, -m_scrollY, &oldOrigin);
        FillGradientRect(dc, 0, 0, client.right, std::max<int>(client.bottom + m_scrollY, m_contentHeight),
                         kBackTop, kBackBottom, TRUE);
        SetBkMode(dc, TRANSPARENT);
        for (const auto& entry : m_panes) PaintPane(dc, entry.second);
        SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    }
    EndPaint(m_hWnd, &ps);
    return 0;
}

void CCoPanelCtrl::PaintPane(HDC dc, const CTaskPane& pane) const
{
    if (!pane.m_actions.empty()) {
        CBrushSelector brush(dc, pane.m_active ? kBody : ShiftColorHLS(kBody, -7, 0));
        CPenSelector pen(dc, pane.m_active ? kBodyPen : ShiftColorHLS(kBodyPen, -10, 0));
        Rectangle(dc, pane.m_body.left, pane.m_body.top, pane.m_body.right, pane.m_body.bottom);
    }

    // The header, clipped to its outline (in device coordinates).
    const RECT& h = pane.m_header;
    RECT device = h;
    OffsetRect(&device, 0, -m_scrollY);
    HRGN clip = CreateHeaderRegion(device);
    SaveDC(dc);
    ExtSelectClipRgn(dc, clip, RGN_AND);
    DeleteObject(clip);
    const COLORREF from = pane.m_active ? kWhite : ShiftColorHLS(kHeaderEnd, -50, 0);
    const COLORREF to = pane.m_active ? kHeaderEnd : ShiftColorHLS(kHeaderEnd, -20, 0);
    const int gradientWidth = std::max<int>(0, h.right - h.left - 30);
    FillGradientRect(dc, h.left, h.top, gradientWidth, h.bottom - h.top, from, to, FALSE);
    {
        CBrushSelector brush(dc, to);
        CPenSelector pen(dc, to);
        Rectangle(dc, h.left + gradientWidth, h.top, h.right + 1, h.bottom + 1);
    }
    RestoreDC(dc, -1);

    RECT box = {h.left + 4, h.top + 4, h.right - 4, h.bottom - 4};
    if (pane.m_icon) box.left += 36;
    HFONT font = pane.m_hover ? m_fontBoldUnderline : m_fontBold;
    COLORREF colour;
    if (pane.m_active)
        colour = ShiftColorHLS(kBackTop, pane.m_hover ? -70 : -50, 0);
    else
        colour = pane.m_hover ? ShiftColorHLS(kBody, 70, 0) : kBody;
    DrawCaption(dc, pane.m_caption, box, font, colour);
    if (pane.m_icon) DrawIcon(dc, h.left + 4 + 4, h.top + 4 - 16, pane.m_icon.Get());

    for (const auto& a : pane.m_actions) PaintAction(dc, a.second);
}

void CCoPanelCtrl::PaintAction(HDC dc, const CTaskAction& action) const
{
    RECT box = action.m_box;
    if (action.m_icon) box.left += 24;
    const int iconX = action.m_box.left, iconY = action.m_box.top;
    if (!action.m_enabled) {
        DrawCaption(dc, action.m_caption, box, m_fontNormal, kWhite);
        RECT up = box;
        OffsetRect(&up, -1, -1);
        DrawCaption(dc, action.m_caption, up, m_fontNormal, ShiftColorHLS(kBackBottom, 20, -50));
        if (action.m_icon) DrawIconEx(dc, iconX, iconY, action.m_icon.Get(), 16, 16, 0, nullptr, DI_NORMAL);
        return;
    }
    if (action.m_active)
        DrawCaption(dc, action.m_caption, box, m_fontBold, ShiftColorHLS(kBackTop, -50, 0));
    else if (action.m_hover)
        DrawCaption(dc, action.m_caption, box, m_fontNormalUnderline, kBackTop);
    else
        DrawCaption(dc, action.m_caption, box, m_fontNormal, ShiftColorHLS(kBackTop, -50, 0));
    if (!action.m_icon) return;
    if (action.m_hover) {
        DrawIconShadow(dc, iconX + 1, iconY + 1, action.m_icon.Get(), 16,
                       ShiftColorHLS(GetSysColor(COLOR_BTNFACE), -27, 0));
        DrawIconEx(dc, iconX - 1, iconY - 1, action.m_icon.Get(), 16, 16, 0, nullptr, DI_NORMAL);
    } else if (action.m_active) {
        DrawIconEx(dc, iconX - 1, iconY - 1, action.m_icon.Get(), 16, 16, 0, nullptr, DI_NORMAL);
    } else {
        DrawIconEx(dc, iconX, iconY, action.m_icon.Get(), 16, 16, 0, nullptr, DI_NORMAL);
    }
}
