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

CCoDrubeck::CCoDrubeck() = default;
CCoDrubeck::~CCoDrubeck() = default;

HRESULT CCoDrubeck::FinalConstruct()
{
    m_cookie = NewCallerCookie();
    com::ComPtr<IUnknown> engine;
    if (FAILED(engine.CoCreate(CLSID_CoDevices, IID_IUnknown,
                               CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)))
        return E_FAIL;
    if (FAILED(engine.As(IID_IDevices, &m_devices))) return E_FAIL;
    if (FAILED(CCoDeviceCallbackBuffer::CreateInstance(&m_sink))) return E_FAIL;
    return AdviseEngineEvents(m_devices, m_sink, &m_devicesAdviseCookie);
}

void CCoDrubeck::FinalRelease()
{
    if (m_sink) m_sink->SetTarget(nullptr);
    if (m_device) UnadviseEngineEvents(m_device, &m_deviceAdviseCookie);
    if (m_devices) UnadviseEngineEvents(m_devices, &m_devicesAdviseCookie);
    // A host that let the frame go before its window: the window goes too.
    if (IsWindow()) Destroy();
    m_device.Reset();
    m_devices.Reset();
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
    if (!m_device) return E_FAIL;
    unsigned int id = 0;
    HRESULT hr = m_device->GetDeviceID(&id);
    if (SUCCEEDED(hr)) *out = static_cast<long>(id);
    return hr;
}

HRESULT CCoDrubeck::ChooseDrive(SAFEARRAY* data)
{
    long id = 0;
    HRESULT hr = ExtractFromSafearray(data, {{VT_I4, &id}});
    if (FAILED(hr)) return hr;
    if (m_job != Job::None) return E_FAIL;
    const int item = FindDriveItem(static_cast<unsigned int>(id));
    if (item < 0) return E_INVALIDARG;
    if (::SendMessageA(m_driveList, CB_GETCURSEL, 0, 0) != item || !m_device) {
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
    m_sink->SetTarget(m_hWnd);
    TranslateDialog(m_hWnd, kTranslateRows);
    m_driveList = GetDlgItem(IDC_DEVICE_LIST);
    m_speedList = GetDlgItem(IDC_SPEED_LIST);
    m_progress = GetDlgItem(IDC_PROGRESS_BAR);
    m_buffer = GetDlgItem(IDC_BUFFER_BAR);
    m_log.Attach(GetDlgItem(IDC_LOG_LIST));
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
    if (m_devices->IsInitialized() == S_OK) FillDriveList();
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
    m_sink->SetTarget(nullptr);
    handled = FALSE;
    return 0;
}

// --- Drives and speeds -----------------------------------------------------

void CCoDrubeck::FillDriveList()
{
    ::SendMessageA(m_driveList, CB_RESETCONTENT, 0, 0);
    if (!m_devices) return;
    LogText(IDS_SEARCHING_DEVICES);
    unsigned int count = 0;
    if (FAILED(m_devices->GetDeviceCount(&count))) {
        LogText(IDS_DEVICES_NOT_FOUND);
        return;
    }
    m_log.Printf("%s: %i", Text(IDS_DEVICES_FOUND).c_str(), static_cast<int>(count));
    int writable = -1;
    for (unsigned int i = 0; i < count; ++i) {
        com::ComPtr<IDevice> device;
        if (FAILED(m_devices->GetDevice(i, &device))) continue;
        com::Bstr name;
        unsigned int id = 0;
        device->GetDeviceName(&name);
        device->GetDeviceID(&id);
        m_log.Printf("        %s", name.Ansi().c_str());
        int item = static_cast<int>(::SendMessageA(m_driveList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.Ansi().c_str())));
        if (item < 0) continue;
        ::SendMessageA(m_driveList, CB_SETITEMDATA, item, id);
        unsigned long canWrite = 0;
        if (writable < 0 && SUCCEEDED(device->DeviceCanWrite(&canWrite)) && canWrite) writable = item;
    }
    ::SendMessageA(m_driveList, CB_SETCURSEL, writable >= 0 ? writable : 0, 0);
    ChangeDrive();
}

void CCoDrubeck::ChangeDrive()
{
    if (m_device) UnadviseEngineEvents(m_device, &m_deviceAdviseCookie);
    const int item = static_cast<int>(::SendMessageA(m_driveList, CB_GETCURSEL, 0, 0));
    com::ComPtr<IDevice> found;
    if (item >= 0 && m_devices &&
        SUCCEEDED(m_devices->GetDeviceByID(static_cast<unsigned int>(::SendMessageA(m_driveList, CB_GETITEMDATA, item, 0)),
                                           &found))) {
        m_device = found;
        com::Bstr name;
        m_device->GetDeviceName(&name);
        m_log.Printf("%s: %s", Text(IDS_DEVICE_SELECTED).c_str(), name.Ansi().c_str());
    }
    if (m_device) {
        AdviseDrive();
        // The pane's caption names the whole drive.
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
    FillSpeedList();
    RefreshControls();
}

void CCoDrubeck::AdviseDrive()
{
    if (m_device && !m_deviceAdviseCookie) AdviseEngineEvents(m_device, m_sink, &m_deviceAdviseCookie);
}

void CCoDrubeck::DropDrive()
{
    if (m_device) UnadviseEngineEvents(m_device, &m_deviceAdviseCookie);
    m_device.Reset();
}

std::string CCoDrubeck::SpeedText(unsigned long speed)
{
    com::Bstr factor;
    if (m_device) m_device->Speed_KBPS2X(speed, &factor);
    char text[128];
    std::snprintf(text, sizeof(text), "%sX (%i kbps)", factor.Ansi().c_str(), static_cast<int>(speed));
    return text;
}

void CCoDrubeck::FillSpeedList()
{
    ::SendMessageA(m_speedList, CB_RESETCONTENT, 0, 0);
    com::ComPtr<IDeviceSpeedEnum> reads, writes;
    int added = 0;
    if (m_device && SUCCEEDED(m_device->GetDeviceSpeeds(&reads, &writes)) && writes) {
        m_log.Printf("%s:", Text(IDS_EXISTING_SPEEDS).c_str());
        unsigned int speed = 0;
        unsigned long fetched = 0;
        while (writes->Next(1, &speed, &fetched) == S_OK && fetched == 1) {
            const std::string text = SpeedText(speed);
            m_log.Printf("        %s", text.c_str());
            int item = static_cast<int>(::SendMessageA(m_speedList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
            if (item >= 0) ::SendMessageA(m_speedList, CB_SETITEMDATA, item, speed), ++added;
        }
    }
    const std::string last = Text(added ? IDS_MAX : IDS_NONE);
    int item = static_cast<int>(::SendMessageA(m_speedList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(last.c_str())));
    ::SendMessageA(m_speedList, CB_SETITEMDATA, item, added ? 0xFFFF : 0);
    ::SendMessageA(m_speedList, CB_SETCURSEL, item, 0);
}

unsigned long CCoDrubeck::SelectedSpeed()
{
    const LRESULT item = ::SendMessageA(m_speedList, CB_GETCURSEL, 0, 0);
    return item < 0 ? 0 : static_cast<unsigned long>(::SendMessageA(m_speedList, CB_GETITEMDATA, item, 0));
}

int CCoDrubeck::FindDriveItem(unsigned int id)
{
    const int count = static_cast<int>(::SendMessageA(m_driveList, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (static_cast<unsigned int>(::SendMessageA(m_driveList, CB_GETITEMDATA, i, 0)) == id) return i;
    return -1;
}

bool CCoDrubeck::DriveCanWrite()
{
    unsigned long canWrite = 0;
    return m_device && SUCCEEDED(m_device->DeviceCanWrite(&canWrite)) && canWrite;
}

bool CCoDrubeck::DriveBusy()
{
    unsigned int busy = 0;
    return m_device && SUCCEEDED(m_device->GetDeviceBusy(&busy)) && busy;
}

void CCoDrubeck::RefreshControls()
{
    if (!IsWindow()) return;
    const bool writable = DriveCanWrite(), busy = DriveBusy();
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
