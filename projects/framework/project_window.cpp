// The project window's messages: an MDI child of the main frame.
#include "project_base.h"
#include "project_ids.h"
#include <shared/log.h>
#include <com/guard.h>
#include <vector>

LRESULT CProjectBase::OnForwardMsg(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    if (!msg) return 0;
    if (msg->message == WM_COMMAND) {
        BOOL handled = TRUE;
        LRESULT result = 0;
        HRESULT hr = com::Guarded("OnForwardMsg", [&] {
            result = OnForwardedCommand(LOWORD(msg->wParam), handled);
            return S_OK;
        });
        if (FAILED(hr)) return 0;
        if (handled) return result;
    }
    if (!m_accelerators || KeyOfEditBox(msg)) return 0;
    return ::TranslateAcceleratorA(m_hWnd, m_accelerators, msg) ? 1 : 0;
}

bool CProjectBase::KeyOfEditBox(const MSG* msg) const
{
    // Undo, cut, copy and paste keys typed into an edit box (a rename's)
    // are the box's own.
    if (msg->message != WM_KEYDOWN || !msg->hwnd) return false;
    char name[16] = "";
    ::GetClassNameA(msg->hwnd, name, sizeof(name));
    if (lstrcmpiA(name, "Edit") != 0) return false;
    const int count = ::CopyAcceleratorTableA(m_accelerators, nullptr, 0);
    std::vector<ACCEL> table(count > 0 ? count : 0);
    if (!table.empty()) ::CopyAcceleratorTableA(m_accelerators, table.data(), count);
    const bool control = ::GetKeyState(VK_CONTROL) < 0, shift = ::GetKeyState(VK_SHIFT) < 0;
    for (const ACCEL& key : table) {
        if (!(key.fVirt & FVIRTKEY) || key.key != msg->wParam || ((key.fVirt & FCONTROL) != 0) != control ||
            ((key.fVirt & FSHIFT) != 0) != shift || (key.fVirt & FALT))
            continue;
        if (key.cmd == ID_EDIT_UNDO || key.cmd == ID_EDIT_CUT || key.cmd == ID_EDIT_COPY || key.cmd == ID_EDIT_PASTE)
            return true;
    }
    return false;
}

LRESULT CProjectBase::OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    // The project's accelerators come here (a menu's choices go to the main
    // frame): the command goes to the frame as its own menu's would, which
    // takes its own commands and forwards the others back.
    if (lParam || HIWORD(wParam) != 1) {
        handled = FALSE;
        return 0;
    }
    ::SendMessageA(MainFrame(), WM_COMMAND, MAKEWPARAM(LOWORD(wParam), 0), 0);
    return 0;
}

LRESULT CProjectBase::OnForwardedCommand(WORD id, BOOL& handled)
{
    com::ComPtr<IProject> self(this);
    HWND frame = FrameWindow(m_activeFrame);
    switch (id) {
    case ID_FILE_SAVE:
        return SUCCEEDED(SaveProject()) ? 1 : 0;
    case ID_FILE_SAVE_AS:
        return SUCCEEDED(m_loadSave.SaveAs()) ? 1 : 0;
    case ID_FILE_PRINT_SETUP:
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_PREVIEW:
        if (::IsWindow(frame)) ::SendMessageA(frame, WM_COMMAND, id, 0);
        return 0;
    case ID_EDIT_PASTE:
        if (::IsWindow(frame)) {
            ::SendMessageA(frame, WM_PASTE, 0, 0);
            ::SendMessageA(frame, WM_COMMAND, id, 0);
        }
        return 0;
    default:
        break;
    }
    if (id > ID_FILE_PRINT_SETUP && id < ID_EDIT_PASTE) return 0;
    if (m_actions.OwnsId(id) && SUCCEEDED(m_actions.RelayChoice(id, NO_ACTION_ID))) return 0;
    handled = FALSE;
    return 0;
}

LRESULT CProjectBase::OnQueryProjectUnknown(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    IUnknown** slot = reinterpret_cast<IUnknown**>(wParam);
    if (!slot) return 0;
    *slot = static_cast<IProject*>(this);
    (*slot)->AddRef();
    return 1;
}

HWND CProjectBase::WindowPopup() const
{
    int count = m_menu ? ::GetMenuItemCount(m_menu) : 0;
    for (int i = 0; i < count; ++i) {
        HMENU popup = ::GetSubMenu(m_menu, i);
        if (popup && ::GetMenuState(popup, ID_WINDOW_CASCADE, MF_BYCOMMAND) != static_cast<UINT>(-1))
            return reinterpret_cast<HWND>(popup);
    }
    return nullptr;
}

LRESULT CProjectBase::OnMdiActivate(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    handled = FALSE;
    HWND activated = reinterpret_cast<HWND>(lParam);
    if (activated == m_hWnd) {
        com::Guarded("OnActivating", [&] {
            OnActivating();
            return S_OK;
        });
        if (m_menu)
            ::SendMessageA(MdiClient(), WM_MDISETMENU, reinterpret_cast<WPARAM>(m_menu),
                           reinterpret_cast<LPARAM>(WindowPopup()));
        ::DrawMenuBar(MainFrame());
    } else if (!activated) {
        // The last project goes: the main frame takes its own menu back.
        ::SendMessageA(MainFrame(), WM_MDISETMENU, 0, 0);
    }
    return 0;
}

LRESULT CProjectBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    // The MDI child's default handling fills the maximised size first.
    ::DefMDIChildProcA(m_hWnd, WM_GETMINMAXINFO, 0, lParam);
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize.x = MIN_TRACK_WIDTH;
    info->ptMinTrackSize.y = MIN_TRACK_HEIGHT;
    (void)handled;
    return 0;
}

LRESULT CProjectBase::OnSize(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    handled = FALSE;
    if (wParam != SIZE_MINIMIZED && m_splitter.IsWindow()) m_splitter.Move(GetClientRect());
    return 0;
}

LRESULT CProjectBase::OnMouseActivate(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    if (reinterpret_cast<HWND>(::SendMessageA(MdiClient(), WM_MDIGETACTIVE, 0, 0)) != m_hWnd)
        ::SendMessageA(MdiClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(m_hWnd), 0);
    return 0;
}

LRESULT CProjectBase::OnMenuSelect(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return ::SendMessageA(MainFrame(), msg, wParam, lParam);
}

LRESULT CProjectBase::OnSetFocus(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    if (m_splitter.IsWindow()) m_splitter.SetFocus();
    return 0;
}

LRESULT CProjectBase::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    // The main frame must not keep a menu that goes with this window.
    if (m_menu && ::GetMenu(MainFrame()) == m_menu) ::SendMessageA(MainFrame(), WM_MDISETMENU, 0, 0);
    if (m_menu && ::GetMenu(MainFrame()) != m_menu) {
        ::DestroyMenu(m_menu);
        m_menu = nullptr;
    }
    return 0;
}

LRESULT CProjectBase::OnDefault(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return ::DefMDIChildProcA(m_hWnd, msg, wParam, lParam);
}

void CProjectBase::OnFinalMessage(HWND)
{
    if (!m_windowHoldsProject) return;
    m_windowHoldsProject = false;
    Self()->Release();
}
