// The burning frame's object, window, commands, drives and speeds; its jobs
// are in burning_frame_jobs.cpp, the engine's events in
// burning_frame_events.cpp.
#include "burning_frame.h"
#include <com/bstr.h>
#include <com/guard.h>
#include <com/module.h>
#include <frames/common/caller_cookie.h>
#include <frames/common/engine_connection.h>
#include <shared/log.h>
#include <shared/variant_safearray.h>
#include <commctrl.h>

namespace {

// The dialog's labels, translated.
const DWORD kTranslateRows[] = {
    TRANSLATE_KIND_TEXT, IDC_DEVICE_LABEL,   IDS_DEVICE,   TRANSLATE_KIND_TEXT, IDC_SPEED_LABEL,  IDS_SPEED,
    TRANSLATE_KIND_TEXT, IDC_PROGRESS_LABEL, IDS_PROGRESS, TRANSLATE_KIND_TEXT, IDC_BUFFER_LABEL, IDS_BUFFER,
    TRANSLATE_TABLE_END, 0,                  0,
};

// A task-panel action's number, text and icon.
const struct {
    unsigned int id;
    UINT text, icon;
} kActions[] = {
    {ACTION_BURN, IDS_START_BURNING, IDI_BURN_ACTION},
    {ACTION_QUICK_ERASE, IDS_START_QUICK_ERASING, IDI_ERASE_ACTION},
    {ACTION_FULL_ERASE, IDS_START_FULL_ERASING, IDI_ERASE_ACTION},
};

HICON LoadIconOfSize(UINT id, int size)
{
    return static_cast<HICON>(
        LoadImageA(com::ModuleInstance(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

unsigned int HandleValue(HICON icon) { return static_cast<unsigned int>(reinterpret_cast<UINT_PTR>(icon)); }

}  // namespace

namespace {

const CDriveChooser::Texts kDriveTexts = {IDS_SEARCHING_DEVICES, IDS_DEVICES_FOUND, IDS_DEVICES_NOT_FOUND,
                                          IDS_DEVICE_SELECTED,   IDS_EXISTING_SPEEDS, IDS_MAX,
                                          IDS_NONE,              IDS_DEVICE_ARRIVED,  IDS_DEVICE_REMOVED};

}  // namespace

CCoDrubeck::CCoDrubeck() : m_drives(kDriveTexts, CDriveChooser::Speeds::Write, Text) {}
CCoDrubeck::~CCoDrubeck() = default;

HRESULT CCoDrubeck::FinalConstruct()
{
    m_cookie = NewCallerCookie();
    HRESULT hr = m_drives.Bind();
    return SUCCEEDED(hr) || hr == E_OUTOFMEMORY ? hr : E_FAIL;
}

void CCoDrubeck::FinalRelease()
{
    m_drives.SetTarget(nullptr);
    // A host that let the frame go before its window: the window goes too.
    if (IsWindow()) Destroy();
    m_drives.Release();
}

STDMETHODIMP CCoDrubeck::CreateOwnWindow(HWND a_hWndParent)
{
    return com::Guarded("CCoDrubeck::CreateOwnWindow", [&]() -> HRESULT {
        CLogFunctionScope scope("CCoDrubeck::CreateOwnWindow()");
        if (!::IsWindow(a_hWndParent)) return E_INVALIDARG;
        if (IsWindow()) return S_OK;
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        Create(a_hWndParent);
        return IsWindow() ? S_OK : E_FAIL;
    });
}

STDMETHODIMP CCoDrubeck::GetOwnWindow(HWND* a_hWndRet)
{
    if (!a_hWndRet) return E_POINTER;
    *a_hWndRet = m_hWnd;
    return S_OK;
}

std::string CCoDrubeck::Text(UINT id)
{
    std::string text = GetLangStr(id);
    if (!text.empty()) return text;
    char own[1024] = "";
    LoadStringA(com::ModuleInstance(), id, own, sizeof(own));
    return own;
}

// --- Commands --------------------------------------------------------------

HRESULT CCoDrubeck::OnCommand(IUnknown*, REFCLSID, unsigned int id, SAFEARRAY* data)
{
    return com::Guarded("CCoDrubeck::InvokeCommand", [&]() -> HRESULT {
        HRESULT result = S_OK;
        if (HandleNextBackCommand(id, data, &result)) return result;
        switch (id) {
        case PCID_ACTIVE_CHANGED_NOTIFY:
            OnActionChosen(data);
            return S_OK;
        case PCID_ENABLE_UI: {
            BOOL enabled = TRUE;
            HRESULT hr = ExtractFromSafearray(data, {{VT_BOOL, &enabled}});
            if (FAILED(hr)) return hr;
            m_enabled = enabled;
            RefreshControls();
            return S_OK;
        }
        case PCID_START: {
            // A project that sends no data reports a prepared source.
            HRESULT preparation = S_OK;
            if (!IsWindow()) return E_FAIL;
            if (data && FAILED(ExtractFromSafearray(data, {{VT_HRESULT, &preparation}}))) return E_INVALIDARG;
            PostMessage(WM_START_RESULT, static_cast<WPARAM>(preparation));
            return S_OK;
        }
        case PCID_CANCEL:
            // The project's relay of this frame's own Cancel: the engine has it already.
            return S_OK;
        case BFCID_GET_DEVICE_ID: return AnswerDeviceId(data);
        case BFCID_SET_DEVICE_ID: return ChooseDrive(data);
        case BFCID_GET_SPEED: return AnswerNumber(data, static_cast<long>(SelectedSpeed()));
        case BFCID_GET_TEST_WRITE:
            return AnswerNumber(data, IsDlgButtonChecked(m_hWnd, IDC_TEST_WRITE) == BST_CHECKED ? 1 : 0);
        default: return E_COMMAND_NOT_HANDLED;
        }
    });
}

HRESULT CCoDrubeck::AnswerDeviceId(SAFEARRAY* data)
{
    long* out = nullptr;
    if (FAILED(ExtractFromSafearray(data, {{VT_I4 | VT_BYREF, &out}})) || !out) return E_FAIL;
    if (!m_drives.Device()) return E_FAIL;
    unsigned int id = 0;
    HRESULT hr = m_drives.Device()->GetDeviceID(&id);
    if (SUCCEEDED(hr)) *out = static_cast<long>(id);
    return hr;
}

HRESULT CCoDrubeck::ChooseDrive(SAFEARRAY* data)
{
    long id = 0;
    HRESULT hr = ExtractFromSafearray(data, {{VT_I4, &id}});
    if (FAILED(hr)) return hr;
    if (m_job != Job::None) return E_FAIL;
    const int item = m_drives.FindDriveItem(static_cast<unsigned int>(id));
    if (item < 0) return E_INVALIDARG;
    if (::SendMessageA(m_driveList, CB_GETCURSEL, 0, 0) != item || !m_drives.Device()) {
        ::SendMessageA(m_driveList, CB_SETCURSEL, item, 0);
        ChangeDrive();
    }
    return S_OK;
}

HRESULT CCoDrubeck::AnswerNumber(SAFEARRAY* data, long value)
{
    long* out = nullptr;
    if (FAILED(ExtractFromSafearray(data, {{VT_I4 | VT_BYREF, &out}})) || !out) return E_FAIL;
    *out = value;
    return S_OK;
}

void CCoDrubeck::OnActionChosen(SAFEARRAY* data)
{
    unsigned int pane = 0, action = 0;
    HRESULT hr = ExtractFromSafearray(data, {{VT_UI4, &pane}, {VT_UI4, &action}});
    // No action of the pane stays marked.
    CVariantSafearray mark(2);
    if (mark.Create() && SUCCEEDED(mark.Prepare({{VT_UI4, BURN_PANE_ID}, {VT_UI4, 0xFFFFFFFEu}})))
        SendCommand(PCID_SET_ACTIVE_ACTION, mark);
    if (FAILED(hr)) return;
    switch (action) {
    case ACTION_BURN: RequestBurn(); break;
    case ACTION_QUICK_ERASE: EraseDisc(0); break;
    case ACTION_FULL_ERASE: EraseDisc(1); break;
    default: break;
    }
}

HRESULT CCoDrubeck::SendEnableUI(BOOL enabled)
{
    CVariantSafearray data(1);
    if (!data.Create()) return E_OUTOFMEMORY;
    HRESULT hr = data.Prepare({{VT_BOOL, static_cast<int>(enabled ? VARIANT_TRUE : VARIANT_FALSE)}});
    return SUCCEEDED(hr) ? SendCommand(PCID_ENABLE_UI, data) : hr;
}

HRESULT CCoDrubeck::SendResult(HRESULT result)
{
    CVariantSafearray data(1);
    if (!data.Create()) return E_OUTOFMEMORY;
    HRESULT hr = data.Prepare({{VT_HRESULT, static_cast<long>(result)}});
    return SUCCEEDED(hr) ? SendCommand(PCID_RESULT, data) : hr;
}

void CCoDrubeck::AddTaskItems()
{
    HICON paneIcon = LoadIconOfSize(IDI_BURN_PANE, 32);
    {
        CVariantSafearray pane(3);
        if (pane.Create() && SUCCEEDED(pane.Prepare({{VT_UI4, BURN_PANE_ID},
                                                     {VT_BSTR, com::Bstr(Text(IDS_BURN)).Get()},
                                                     {VT_UI4, HandleValue(paneIcon)}})))
            SendCommand(PCID_ADD_PANE, pane);
    }
    if (paneIcon) DestroyIcon(paneIcon);
    for (const auto& action : kActions) {
        HICON icon = LoadIconOfSize(action.icon, 16);
        CVariantSafearray data(4);
        if (data.Create() && SUCCEEDED(data.Prepare({{VT_UI4, BURN_PANE_ID},
                                                     {VT_UI4, action.id},
                                                     {VT_BSTR, com::Bstr(Text(action.text)).Get()},
                                                     {VT_UI4, HandleValue(icon)}})))
            SendCommand(PCID_ADD_ACTION, data);
        if (icon) DestroyIcon(icon);
    }
}

// --- Window ----------------------------------------------------------------

LRESULT CCoDrubeck::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    m_drives.SetTarget(m_hWnd);
    TranslateDialog(m_hWnd, kTranslateRows);
    m_driveList = GetDlgItem(IDC_DEVICE_LIST);
    m_progress = GetDlgItem(IDC_PROGRESS_BAR);
    m_buffer = GetDlgItem(IDC_BUFFER_BAR);
    m_log.Attach(GetDlgItem(IDC_LOG_LIST));
    m_drives.Attach(m_driveList, GetDlgItem(IDC_SPEED_LIST), &m_log);
    for (HWND bar : {m_progress, m_buffer}) ::SendMessageA(bar, PBM_SETRANGE32, 0, 100);

    // The template is narrow enough for a project window of the default
    // size: the speed list and "Test write" keep their place and width,
    // clear of the buttons on the right.
    for (int wide : {IDC_DEVICE_LIST, IDC_PROGRESS_BAR, IDC_BUFFER_BAR}) m_resizer.Add(wide, CDialogResizer::SIZE_X);
    for (int right : {IDC_BURN, IDC_ERASE, IDC_BURN_CANCEL}) m_resizer.Add(right, CDialogResizer::MOVE_X);
    m_resizer.Add(IDC_LOG_LIST, CDialogResizer::SIZE_X | CDialogResizer::SIZE_Y);
    if (!m_resizer.Start(m_hWnd) || !CreateNextBackButtons(BackEnabledFlag(), NextEnabledFlag())) {
        Destroy();
        return FALSE;
    }

    AddTaskItems();
    if (m_drives.Devices()->IsInitialized() == S_OK) FillDriveList();
    RefreshControls();
    return TRUE;
}

LRESULT CCoDrubeck::OnSize(UINT, WPARAM, LPARAM, BOOL&)
{
    m_resizer.Resize();
    // The log list ends where the Back and Next buttons' row begins.
    const int bottom = LayoutNextBackButtons();
    wnd::Window list = GetDlgItem(IDC_LOG_LIST);
    RECT r = list.GetRectInParent();
    if (bottom > r.top) list.Move(r.left, r.top, wnd::Width(r), bottom - r.top);
    m_log.FitColumn();
    return 0;
}

LRESULT CCoDrubeck::OnClose(UINT, WPARAM, LPARAM, BOOL&)
{
    // A job started but not yet reported by the engine is being prepared.
    const bool preparing = m_preparing || (m_job != Job::None && !m_working);
    if (!preparing && !m_working) return 0;
    MessageBox(m_hWnd, Text(preparing ? IDS_CLOSE_WHILE_PREPARING : IDS_CLOSE_WHILE_WORKING).c_str(),
               MB_ICONWARNING);
    return -1;
}

LRESULT CCoDrubeck::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    // No event may reach this window, nor a later one with its handle.
    m_drives.SetTarget(nullptr);
    handled = FALSE;
    return 0;
}

// --- Drives and speeds -----------------------------------------------------

void CCoDrubeck::ChangeDrive()
{
    m_drives.ChangeDrive();
    if (m_drives.Device()) {
        // The pane's caption names the whole drive.
        const int item = static_cast<int>(::SendMessageA(m_driveList, CB_GETCURSEL, 0, 0));
        char itemText[512] = "";
        if (item >= 0 && ::SendMessageA(m_driveList, CB_GETLBTEXTLEN, item, 0) < static_cast<LRESULT>(sizeof(itemText)))
            ::SendMessageA(m_driveList, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(itemText));
        std::string caption;
        if (itemText[0])
            caption = Text(IDS_BURN) + "\n" + Text(IDS_DEVICE) + " " + itemText;
        CVariantSafearray data(2);
        if (data.Create() &&
            SUCCEEDED(data.Prepare({{VT_UI4, BURN_PANE_ID}, {VT_BSTR, com::Bstr(caption).Get()}})))
            SendCommand(PCID_RENAME_PANE, data);
    }
    RefreshControls();
}

void CCoDrubeck::RefreshControls()
{
    if (!IsWindow()) return;
    const bool writable = m_drives.DriveCanWrite(), busy = m_drives.DriveBusy();
    const bool start = writable && !busy && !m_preparing && !m_working && m_enabled;
    GetDlgItem(IDC_BURN).Enable(start);
    GetDlgItem(IDC_ERASE).Enable(start);
    for (const auto& action : kActions) {
        CVariantSafearray data(2);
        if (data.Create() && SUCCEEDED(data.Prepare({{VT_UI4, BURN_PANE_ID}, {VT_UI4, action.id}})))
            SendCommand(start ? PCID_ENABLE_ACTION : PCID_DISABLE_ACTION, data);
    }
    // Cancel also reaches the source's preparation while the project has
    // disabled this frame.
    GetDlgItem(IDC_BURN_CANCEL).Enable(m_preparing || (busy && m_working) || !m_enabled);
    GetDlgItem(IDC_SPEED_LIST).Enable(writable && !busy && !m_preparing && m_enabled);
    const bool idle = !m_preparing && !m_working && m_enabled;
    GetDlgItem(IDC_DEVICE_LIST).Enable(idle);
    GetDlgItem(IDC_TEST_WRITE).Enable(idle);
}

LRESULT CCoDrubeck::OnDriveSelected(WORD, WORD, HWND, BOOL&)
{
    ChangeDrive();
    return 0;
}
