#include "window/command_bar.h"
#include "window/toolbar_resource.h"
#include <com/module.h>
#include <commctrl.h>
#include <cctype>

namespace wnd {

namespace {

// The bar whose drop-down is open on this thread (for the menu hook).
thread_local CommandBar* t_tracking = nullptr;

std::string MenuText(HMENU menu, UINT position)
{
    char text[512] = "";
    ::GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

char MnemonicOf(const std::string& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') { ++i; continue; }
        return static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
    }
    return 0;
}

bool RegisterSuperclass(const char* className, HINSTANCE module)
{
    WNDCLASSEXA existing = {sizeof(existing)};
    if (::GetClassInfoExA(module, className, &existing)) return true;
    WNDCLASSEXA wc = {sizeof(wc)};
    if (!::GetClassInfoExA(nullptr, TOOLBARCLASSNAMEA, &wc)) return false;
    wc.cbSize = sizeof(wc);
    wc.hInstance = module;
    wc.lpszClassName = className;
    return ::RegisterClassExA(&wc) != 0;
}

}  // namespace

CommandBar::CommandBar() = default;

CommandBar::~CommandBar()
{
    RestoreOwnerDrawn();
    if (m_filterRegistered && MessageLoop::Current()) MessageLoop::Current()->RemoveMessageFilter(this);
    if (m_images) ::ImageList_Destroy(m_images);
}

HWND CommandBar::Create(HWND parent, HWND frame, const char* className, UINT id)
{
    HINSTANCE module = com::ModuleInstance();
    if (!RegisterSuperclass(className, module)) return nullptr;
    HWND bar = ::CreateWindowExA(0, className, nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | CCS_NODIVIDER |
                                     CCS_NORESIZE | CCS_NOPARENTALIGN | TBSTYLE_FLAT | TBSTYLE_LIST |
                                     TBSTYLE_TRANSPARENT,
                                 0, 0, 100, ::GetSystemMetrics(SM_CYMENU), parent,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), module, nullptr);
    if (!bar) return nullptr;
    if (!SubclassWindow(bar)) {
        ::DestroyWindow(bar);
        return nullptr;
    }
    m_frame = frame;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(0, 0));
    SendMessage(TB_SETPADDING, 0, MAKELONG(14, 6));
    if (MessageLoop* loop = MessageLoop::Current()) {
        loop->AddMessageFilter(this);
        m_filterRegistered = true;
    }
    return bar;
}

bool CommandBar::AttachMenu(HMENU menu)
{
    if (menu && !::IsMenu(menu)) return false;
    m_menu = menu;
    RebuildButtons();
    return true;
}

bool CommandBar::LoadImages(HINSTANCE module, UINT id)
{
    ToolBarResource resource = ToolBarResource::Load(module, id);
    if (resource.commands.empty()) return false;
    HIMAGELIST images = ::ImageList_LoadImageA(module, MAKEINTRESOURCEA(id), resource.width, 1, RGB(192, 192, 192),
                                               IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (!images) return false;
    if (m_images) ::ImageList_Destroy(m_images);
    m_images = images;
    m_imageWidth = resource.width;
    m_imageOfCommand.clear();
    int index = 0;
    for (WORD command : resource.commands)
        if (command) m_imageOfCommand.emplace_back(command, index++);
    return true;
}

void CommandBar::SetFrameActive(bool active)
{
    if (m_frameActive == active) return;
    m_frameActive = active;
    if (m_hWnd) Invalidate();
}

int CommandBar::ItemOfButton(int button) const
{
    if (button < 0) return -1;
    int item = m_maxChild ? button - 1 : button;
    return item >= 0 && m_menu && item < ::GetMenuItemCount(m_menu) ? item : -1;
}

int CommandBar::ButtonOfItem(int item) const { return m_maxChild ? item + 1 : item; }

HMENU CommandBar::PopupOfButton(int button) const
{
    if (m_maxChild && button == 0) return ::GetSystemMenu(m_maxChild, FALSE);
    int item = ItemOfButton(button);
    return item < 0 ? nullptr : ::GetSubMenu(m_menu, item);
}

void CommandBar::RebuildButtons()
{
    if (!m_hWnd) return;
    while (SendMessage(TB_BUTTONCOUNT) > 0) SendMessage(TB_DELETEBUTTON, 0);
    std::vector<TBBUTTON> buttons;
    std::vector<std::string> texts;
    if (m_maxChild) texts.emplace_back("");
    const int count = m_menu ? ::GetMenuItemCount(m_menu) : 0;
    for (int i = 0; i < count; ++i) texts.push_back(MenuText(m_menu, i));
    for (size_t i = 0; i < texts.size(); ++i) {
        TBBUTTON button = {};
        button.iBitmap = I_IMAGENONE;
        button.idCommand = FIRST_BUTTON_ID + static_cast<int>(i);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_DROPDOWN;
        button.iString = reinterpret_cast<INT_PTR>(texts[i].c_str());
        buttons.push_back(button);
    }
    if (!buttons.empty()) SendMessage(TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    if (m_maxChild) {
        // The system-menu button shows the child's icon, drawn over it.
        TBBUTTONINFOA info = {sizeof(info)};
        info.dwMask = TBIF_SIZE | TBIF_STYLE;
        info.fsStyle = BTNS_BUTTON;
        info.cx = static_cast<WORD>(::GetSystemMetrics(SM_CXSMICON) + 8);
        SendMessage(TB_SETBUTTONINFOA, FIRST_BUTTON_ID, reinterpret_cast<LPARAM>(&info));
    }
    LayOutCaptionButtons();
    Invalidate();
}

void CommandBar::UpdateMdiButtons()
{
    if (!m_mdiClient || !m_hWnd) return;
    BOOL maximized = FALSE;
    HWND child = reinterpret_cast<HWND>(
        ::SendMessageA(m_mdiClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
    HWND maxChild = child && maximized ? child : nullptr;
    if (maxChild == m_maxChild) return;
    m_maxChild = maxChild;
    RebuildButtons();
}

int CommandBar::ButtonAt(POINT screen) const
{
    POINT client = screen;
    ::ScreenToClient(m_hWnd, &client);
    RECT bounds = GetClientRect();
    if (!::PtInRect(&bounds, client)) return -1;
    int button = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&client)));
    return button >= 0 && button < SendMessage(TB_BUTTONCOUNT) ? button : -1;
}

int CommandBar::ButtonOfMnemonic(char key) const
{
    const int count = m_menu ? ::GetMenuItemCount(m_menu) : 0;
    for (int i = 0; i < count; ++i)
        if (MnemonicOf(MenuText(m_menu, i)) == key) return ButtonOfItem(i);
    return -1;
}

void CommandBar::OpenItem(int index, bool keyboard)
{
    const int button = index;
    if (button < 0 || button >= SendMessage(TB_BUTTONCOUNT) || m_tracking) return;
    TrackLoop(button, keyboard);
}

void CommandBar::TrackLoop(int button, bool keyboard)
{
    m_tracking = true;
    for (;;) {
        HMENU popup = PopupOfButton(button);
        if (!popup) break;
        m_trackedButton = button;
        m_trackedPopup = popup;
        m_selectedMenu = popup;
        m_selectedIsPopup = false;
        m_nextButton = -1;
        const UINT id = FIRST_BUTTON_ID + button;
        SendMessage(TB_SETHOTITEM, button);
        SendMessage(TB_PRESSBUTTON, id, MAKELONG(TRUE, 0));
        RECT rc = {};
        SendMessage(TB_GETITEMRECT, button, reinterpret_cast<LPARAM>(&rc));
        ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
        // From the keyboard the drop-down opens with its first item selected.
        if (keyboard) PostMessage(WM_KEYDOWN, VK_DOWN, 0);
        TPMPARAMS params = {sizeof(params), rc};
        t_tracking = this;
        m_hook = ::SetWindowsHookExA(WH_MSGFILTER, &CommandBar::MenuHook, nullptr, ::GetCurrentThreadId());
        const bool systemMenu = m_maxChild && button == 0;
        UINT command = static_cast<UINT>(::TrackPopupMenuEx(
            popup, TPM_LEFTBUTTON | TPM_VERTICAL | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, rc.left,
            rc.bottom, m_hWnd, &params));
        if (m_hook) ::UnhookWindowsHookEx(m_hook);
        m_hook = nullptr;
        t_tracking = nullptr;
        SendMessage(TB_PRESSBUTTON, id, MAKELONG(FALSE, 0));
        RestoreOwnerDrawn();
        if (command) {
            if (systemMenu) ::PostMessageA(m_maxChild, WM_SYSCOMMAND, command, 0);
            else ::PostMessageA(m_frame, WM_COMMAND, MAKEWPARAM(command, 0), 0);
        }
        if (m_nextButton < 0) break;
        button = m_nextButton;
        keyboard = m_nextKeyboard;
    }
    m_tracking = false;
    m_trackedButton = -1;
    m_trackedPopup = nullptr;
    if (m_keyboardMode) LeaveKeyboardMode();
    else SendMessage(TB_SETHOTITEM, static_cast<WPARAM>(-1));
}

LRESULT CALLBACK CommandBar::MenuHook(int code, WPARAM wParam, LPARAM lParam)
{
    CommandBar* bar = t_tracking;
    if (code == MSGF_MENU && bar && bar->OnMenuHookMessage(*reinterpret_cast<MSG*>(lParam))) return TRUE;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

bool CommandBar::OnMenuHookMessage(const MSG& msg)
{
    const int count = static_cast<int>(SendMessage(TB_BUTTONCOUNT));
    if (count <= 0) return false;
    switch (msg.message) {
    case WM_MOUSEMOVE: {
        int button = ButtonAt(msg.pt);
        if (button < 0 || button == m_trackedButton) return false;
        m_nextButton = button;
        m_nextKeyboard = false;
        ::EndMenu();
        return true;
    }
    case WM_LBUTTONDOWN:
        // A click on the open item's own button closes the drop-down.
        if (ButtonAt(msg.pt) != m_trackedButton) return false;
        ::EndMenu();
        return true;
    case WM_KEYDOWN:
        if (msg.wParam == VK_LEFT && m_selectedMenu == m_trackedPopup) {
            m_nextButton = (m_trackedButton + count - 1) % count;
        } else if (msg.wParam == VK_RIGHT && !m_selectedIsPopup) {
            m_nextButton = (m_trackedButton + 1) % count;
        } else {
            return false;
        }
        m_nextKeyboard = true;
        ::EndMenu();
        return true;
    default:
        return false;
    }
}

void CommandBar::EnterKeyboardMode()
{
    if (m_keyboardMode || SendMessage(TB_BUTTONCOUNT) <= 0) return;
    m_keyboardMode = true;
    m_focusBefore = ::GetFocus();
    SetFocus();
    SendMessage(TB_SETHOTITEM, 0);
}

void CommandBar::LeaveKeyboardMode()
{
    if (!m_keyboardMode) return;
    m_keyboardMode = false;
    SendMessage(TB_SETHOTITEM, static_cast<WPARAM>(-1));
    HWND back = m_focusBefore && ::IsWindow(m_focusBefore) ? m_focusBefore : m_frame;
    m_focusBefore = nullptr;
    if (::GetFocus() == m_hWnd) ::SetFocus(back);
}

BOOL CommandBar::PreTranslateMessage(MSG* msg)
{
    if (!m_hWnd || m_tracking) return FALSE;
    // Only keys of the frame's own windows.
    if (msg->hwnd != m_frame && !::IsChild(m_frame, msg->hwnd)) return FALSE;
    const bool altHeld = (msg->lParam & (1 << 29)) != 0;
    switch (msg->message) {
    case WM_SYSKEYDOWN:
        if (msg->wParam == VK_MENU) {
            m_altDown = !(msg->lParam & (1 << 30));  // not a repeat
            return FALSE;
        }
        m_altDown = false;
        if (msg->wParam == VK_F10 && ::GetKeyState(VK_SHIFT) >= 0) {
            EnterKeyboardMode();
            return TRUE;
        }
        if (altHeld && msg->wParam >= '0' && msg->wParam <= 'Z') {
            int button = ButtonOfMnemonic(static_cast<char>(msg->wParam));
            if (button < 0) return FALSE;
            TrackLoop(button, true);
            return TRUE;
        }
        return FALSE;
    case WM_SYSKEYUP:
        if (msg->wParam == VK_MENU && m_altDown) {
            m_altDown = false;
            if (m_keyboardMode) LeaveKeyboardMode();
            else EnterKeyboardMode();
            return TRUE;
        }
        return FALSE;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        m_altDown = false;
        return FALSE;
    default:
        return FALSE;
    }
}

LRESULT CommandBar::OnKeyDown(WPARAM key)
{
    const int count = static_cast<int>(SendMessage(TB_BUTTONCOUNT));
    int hot = static_cast<int>(SendMessage(TB_GETHOTITEM));
    if (hot < 0) hot = 0;
    switch (key) {
    case VK_LEFT: SendMessage(TB_SETHOTITEM, (hot + count - 1) % count); break;
    case VK_RIGHT: SendMessage(TB_SETHOTITEM, (hot + 1) % count); break;
    case VK_DOWN:
    case VK_UP:
    case VK_RETURN: TrackLoop(hot, true); break;
    case VK_ESCAPE: LeaveKeyboardMode(); break;
    default:
        if (key >= '0' && key <= 'Z') {
            int button = ButtonOfMnemonic(static_cast<char>(key));
            if (button >= 0) TrackLoop(button, true);
            else ::MessageBeep(0);
        }
        break;
    }
    return 0;
}

LRESULT CommandBar::OnLButtonDown(LPARAM lParam, BOOL& handled)
{
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    for (const CaptionButton& caption : m_captionButtons) {
        if (::PtInRect(&caption.rect, pt) && m_maxChild) {
            ::PostMessageA(m_maxChild, WM_SYSCOMMAND, caption.command, 0);
            return 0;
        }
    }
    ::ClientToScreen(m_hWnd, &pt);
    int button = ButtonAt(pt);
    if (button < 0) {
        handled = FALSE;
        return 0;
    }
    if (m_keyboardMode) LeaveKeyboardMode();
    TrackLoop(button, false);
    return 0;
}

void CommandBar::MakeOwnerDrawn(HMENU popup)
{
    const int count = ::GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        char text[512] = "";
        MENUITEMINFOA info = {sizeof(info)};
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = sizeof(text);
        if (!::GetMenuItemInfoA(popup, i, TRUE, &info) || (info.fType & MFT_OWNERDRAW)) continue;
        auto* record = new MenuItemRecord;
        record->text = text;
        record->type = info.fType;
        record->state = info.fState;
        record->id = info.hSubMenu ? 0 : info.wID;
        for (const auto& entry : m_imageOfCommand)
            if (!info.hSubMenu && entry.first == info.wID) record->image = entry.second;
        MENUITEMINFOA drawn = {sizeof(drawn)};
        drawn.fMask = MIIM_FTYPE | MIIM_DATA;
        drawn.fType = info.fType | MFT_OWNERDRAW;
        drawn.dwItemData = reinterpret_cast<ULONG_PTR>(record);
        if (!::SetMenuItemInfoA(popup, i, TRUE, &drawn)) {
            delete record;
            continue;
        }
        m_ownerDrawn.emplace_back(popup, record);
    }
}

void CommandBar::RestoreOwnerDrawn()
{
    for (auto& entry : m_ownerDrawn) {
        HMENU popup = entry.first;
        MenuItemRecord* record = entry.second;
        const int count = ::IsMenu(popup) ? ::GetMenuItemCount(popup) : 0;
        for (int i = 0; i < count; ++i) {
            MENUITEMINFOA info = {sizeof(info)};
            info.fMask = MIIM_FTYPE | MIIM_DATA;
            if (!::GetMenuItemInfoA(popup, i, TRUE, &info) || info.dwItemData != reinterpret_cast<ULONG_PTR>(record))
                continue;
            MENUITEMINFOA plain = {sizeof(plain)};
            plain.fMask = MIIM_FTYPE | MIIM_DATA | ((record->type & MFT_SEPARATOR) ? 0 : MIIM_STRING);
            plain.fType = record->type;
            plain.dwItemData = 0;
            plain.dwTypeData = const_cast<char*>(record->text.c_str());
            ::SetMenuItemInfoA(popup, i, TRUE, &plain);
            break;
        }
        delete record;
    }
    m_ownerDrawn.clear();
}

void CommandBar::MeasureMenuItem(MEASUREITEMSTRUCT& item, const MenuItemRecord& record)
{
    if (record.type & MFT_SEPARATOR) {
        item.itemWidth = 0;
        item.itemHeight = ::GetSystemMetrics(SM_CYMENU) / 2;
        return;
    }
    NONCLIENTMETRICSA metrics = {sizeof(metrics)};
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    HFONT font = ::CreateFontIndirectA(&metrics.lfMenuFont);
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, font);
    std::string text = record.text;
    std::string shortcut;
    size_t tab = text.find('\t');
    if (tab != std::string::npos) {
        shortcut = text.substr(tab + 1);
        text.resize(tab);
    }
    RECT rc = {};
    ::DrawTextA(dc, text.c_str(), -1, &rc, DT_SINGLELINE | DT_CALCRECT);
    int width = rc.right - rc.left;
    if (!shortcut.empty()) {
        RECT sc = {};
        ::DrawTextA(dc, shortcut.c_str(), -1, &sc, DT_SINGLELINE | DT_CALCRECT);
        width += sc.right - sc.left + 24;
    }
    TEXTMETRICA tm = {};
    ::GetTextMetricsA(dc, &tm);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    ::DeleteObject(font);
    const int button = m_imageWidth + 6;
    item.itemWidth = static_cast<UINT>(button + 8 + width + 12);
    item.itemHeight = static_cast<UINT>(std::max<int>(button + 2, tm.tmHeight + 6));
}

void CommandBar::DrawMenuItem(const DRAWITEMSTRUCT& item, const MenuItemRecord& record)
{
    HDC dc = item.hDC;
    RECT rc = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(dc, &rc, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    if (record.type & MFT_SEPARATOR) return;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    rc.left += m_imageWidth + 14;
    std::string text = record.text.substr(0, record.text.find('\t'));
    ::DrawTextA(dc, text.c_str(), -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

void CommandBar::LayOutCaptionButtons()
{
    m_captionButtons.clear();
    if (!m_maxChild) return;
    RECT client = GetClientRect();
    const int height = std::max<int>(8, Height(client) - 6);
    const int width = height + 2;
    int right = client.right - 2;
    const UINT commands[3] = {SC_CLOSE, SC_RESTORE, SC_MINIMIZE};
    const UINT styles[3] = {DFCS_CAPTIONCLOSE, DFCS_CAPTIONRESTORE, DFCS_CAPTIONMIN};
    for (int i = 0; i < 3; ++i) {
        CaptionButton button = {{right - width, client.top + 3, right, client.top + 3 + height}, commands[i], styles[i]};
        m_captionButtons.push_back(button);
        right -= width + (i == 0 ? 2 : 0);
    }
}

void CommandBar::PaintCaptionButtons()
{
    if (!m_maxChild) return;
    HDC dc = ::GetDC(m_hWnd);
    for (const CaptionButton& button : m_captionButtons) {
        RECT r = button.rect;
        ::DrawFrameControl(dc, &r, DFC_CAPTION, button.style);
    }
    // The child's icon on its system-menu button.
    RECT rc = {};
    SendMessage(TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rc));
    HICON icon = reinterpret_cast<HICON>(::SendMessageA(m_maxChild, WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(::GetClassLongPtrA(m_maxChild, GCLP_HICONSM));
    if (!icon) icon = ::LoadIconA(nullptr, IDI_APPLICATION);
    const int size = ::GetSystemMetrics(SM_CXSMICON);
    ::DrawIconEx(dc, rc.left + (Width(rc) - size) / 2, rc.top + (Height(rc) - size) / 2, icon, size, size, 0,
                 nullptr, DI_NORMAL);
    ::ReleaseDC(m_hWnd, dc);
}

BOOL CommandBar::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD mapId)
{
    if (mapId != 0) return FALSE;
    BOOL handled = TRUE;
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        result = OnLButtonDown(lParam, handled);
        return handled;
    case WM_KEYDOWN:
        if (!m_keyboardMode) return FALSE;
        result = OnKeyDown(wParam);
        return TRUE;
    case WM_KILLFOCUS:
        if (m_keyboardMode && !m_tracking) {
            m_keyboardMode = false;
            SendMessage(TB_SETHOTITEM, static_cast<WPARAM>(-1));
        }
        return FALSE;
    case WM_SIZE:
        LayOutCaptionButtons();
        return FALSE;
    case WM_PAINT:
        result = DefWindowProc();
        PaintCaptionButtons();
        return TRUE;
    case WM_INITMENUPOPUP:
        ::SendMessageA(m_frame, msg, wParam, lParam);
        if (!HIWORD(lParam)) MakeOwnerDrawn(reinterpret_cast<HMENU>(wParam));
        result = 0;
        return TRUE;
    case WM_MENUSELECT:
        m_selectedMenu = reinterpret_cast<HMENU>(lParam);
        m_selectedIsPopup = (HIWORD(wParam) & MF_POPUP) != 0;
        result = ::SendMessageA(m_frame, msg, wParam, lParam);
        return TRUE;
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_MENU || !item->itemData) return FALSE;
        MeasureMenuItem(*item, *reinterpret_cast<const MenuItemRecord*>(item->itemData));
        result = TRUE;
        return TRUE;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_MENU || !item->itemData) return FALSE;
        DrawMenuItem(*item, *reinterpret_cast<const MenuItemRecord*>(item->itemData));
        result = TRUE;
        return TRUE;
    }
    case WM_MENUCHAR:
        result = ::SendMessageA(m_frame, msg, wParam, lParam);
        return TRUE;
    case WM_DESTROY:
        if (m_filterRegistered && MessageLoop::Current()) MessageLoop::Current()->RemoveMessageFilter(this);
        m_filterRegistered = false;
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace wnd
