#include "device_selection_dialog.h"
#include <frames/common/dialog_placement.h>
#include "dialog_texts.h"
#include <data_editor/model/engine_tree_preparation.h>
#include <shared/size_texts.h>
#include <com/bstr.h>
#include <frames/common/engine_connection.h>
#include <cstdio>

namespace {

const char* const NO_SPACE = "--:--";

const DWORD kTranslateRows[] = {
    TRANSLATE_KIND_TEXT, IDC_SESSIONS_LABEL, IDS_SESSIONS,      TRANSLATE_KIND_TEXT, IDC_DEVICE_LABEL, IDS_DEVICE,
    TRANSLATE_KIND_TEXT, IDCANCEL,           IDS_COMMON_CANCEL, TRANSLATE_KIND_TEXT, IDOK,             IDS_COMMON_FINISH,
    TRANSLATE_TABLE_END, 0,                  0,
};

// "Session 01", "Track 02".
std::string NumberedText(unsigned label, unsigned number)
{
    char text[32];
    std::snprintf(text, sizeof text, " %02i", int(number));
    return DialogText(label) + text;
}

}  // namespace

CDeviceSelectionDialog::~CDeviceSelectionDialog() { Disconnect(true); }

std::string CDeviceSelectionDialog::MediumTypeName(unsigned type)
{
    static const char* const names[] = {nullptr,   "CD-ROM",   "CD-R",    "CD-RW",    "DVD-ROM",
                                        "DVD-R",   "DVD-RAM",  "DVD-RW RO", "DVD-RW SR", "DVD+RW",
                                        "DDCD-ROM", "DDCD-R",  "DDCD-RW", "DVD+R",    nullptr,
                                        "DVD+R DL"};
    if (type == MT_NO_MEDIA) return DialogText(IDS_NO_MEDIA);
    if (type < sizeof names / sizeof names[0] && names[type]) return names[type];
    return DialogText(IDS_UNKNOWN);
}

std::string CDeviceSelectionDialog::SpaceText(LONGLONG bytes)
{
    if (bytes < 0) return NO_SPACE;
    return FormatSizeShort(bytes, DialogText(IDS_COMMON_KB), DialogText(IDS_COMMON_MB));
}

LRESULT CDeviceSelectionDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    SetWindowTextA(m_hWnd, DialogText(IDS_NEW_PROJECT).c_str());
    m_mediumLine = DialogText(IDS_UNKNOWN);
    m_totalSpace = m_usedSpace = m_freeSpace = "-- : --";
    ShowTexts(false, 0);
    TranslateDialog(m_hWnd, kTranslateRows);
    CenterOverOwner(m_hWnd);
    if (ConnectEngine()) FillDevices();
    return TRUE;
}

// The device list with the sink on it; false leaves the dialog empty.
bool CDeviceSelectionDialog::ConnectEngine()
{
    com::ComPtr<IUnknown> engine;
    if (FAILED(engine.CoCreate(CLSID_CoDevices, IID_IUnknown, ENGINE_CLASS_CONTEXT))) return false;
    if (FAILED(engine.As(IID_IDevices, &m_devices))) return false;
    if (FAILED(CCoDeviceCallbackBuffer::CreateInstance(&m_sink))) return false;
    m_sink->SetTarget(m_hWnd);
    return SUCCEEDED(AdviseEngineEvents(m_devices, m_sink, &m_devicesCookie));
}

void CDeviceSelectionDialog::FillDevices()
{
    unsigned count = 0;
    if (FAILED(m_devices->GetDeviceCount(&count))) count = 0;
    for (unsigned i = 0; i < count; ++i) {
        com::ComPtr<IDevice> device;
        if (SUCCEEDED(m_devices->GetDevice(i, &device))) AddDevice(device);
    }
    HWND combo = Item(IDC_DEVICE_COMBO);
    const int item = m_deviceId == NO_DEVICE ? 0 : FindItem(m_deviceId);
    if (item >= 0 && ::SendMessageA(combo, CB_GETCOUNT, 0, 0) > 0) ::SendMessageA(combo, CB_SETCURSEL, item, 0);
    ShowSelectedDevice();
}

void CDeviceSelectionDialog::AddDevice(IDevice* device)
{
    com::Bstr name;
    unsigned id = 0;
    if (FAILED(device->GetDeviceName(&name)) || FAILED(device->GetDeviceID(&id))) return;
    HWND combo = Item(IDC_DEVICE_COMBO);
    const LRESULT item = ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.Ansi().c_str()));
    if (item >= 0) ::SendMessageA(combo, CB_SETITEMDATA, WPARAM(item), LPARAM(id));
}

int CDeviceSelectionDialog::FindItem(unsigned id) const
{
    HWND combo = Item(IDC_DEVICE_COMBO);
    const int count = int(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (unsigned(::SendMessageA(combo, CB_GETITEMDATA, WPARAM(i), 0)) == id) return i;
    return -1;
}

void CDeviceSelectionDialog::ShowSelectedDevice()
{
    HWND tree = Item(IDC_SESSION_TREE);
    TreeView_DeleteAllItems(tree);
    m_trackNumber = m_newestTrack = NO_TRACK;
    m_mediumLine = LabelledText(IDS_MEDIA_TYPE, DialogText(IDS_UNKNOWN));
    m_totalSpace = LabelledText(IDS_TOTAL_SPACE, NO_SPACE);
    m_usedSpace = LabelledText(IDS_USED_SPACE, NO_SPACE);
    m_freeSpace = LabelledText(IDS_FREE_SPACE, NO_SPACE);

    HWND combo = Item(IDC_DEVICE_COMBO);
    const LRESULT selected = ::SendMessageA(combo, CB_GETCURSEL, 0, 0);
    Disconnect(false);
    m_device.Reset();
    if (selected >= 0 && m_devices) {
        const unsigned id = unsigned(::SendMessageA(combo, CB_GETITEMDATA, WPARAM(selected), 0));
        if (SUCCEEDED(m_devices->GetDeviceByID(id, &m_device)) && m_device && m_sink)
            AdviseEngineEvents(m_device, m_sink, &m_deviceCookie);
    }
    com::ComPtr<IMedium> medium;
    unsigned type = MT_UNKNOWN;
    if (!m_device || FAILED(m_device.As(IID_IMedium, &medium)) || FAILED(medium->GetMediumType(&type))) {
        ShowTexts(false, 0);
        return;
    }
    m_mediumLine = LabelledText(IDS_MEDIA_TYPE, MediumTypeName(type));
    hyper total = -1, used = -1, free = 0;
    const bool usable = type != MT_UNKNOWN && type != MT_NO_MEDIA;
    if (usable) {
        if (FAILED(medium->GetSpaces(&total, &used, &free))) total = used = free = -1;
        m_totalSpace = LabelledText(IDS_TOTAL_SPACE, SpaceText(total));
        m_usedSpace = LabelledText(IDS_USED_SPACE, SpaceText(used));
        m_freeSpace = LabelledText(IDS_FREE_SPACE, SpaceText(free));
        ListSessions(medium);
    }
    ShowTexts(usable, free);
}

// A root item per session, the session's tracks under it. Each item's data
// is the track it stands for: its own, or the session's last.
void CDeviceSelectionDialog::ListSessions(IMedium* medium)
{
    unsigned count = 0;
    if (FAILED(medium->GetTrackCount(&count)) || count == 0xFFFFFFFF) return;
    HWND tree = Item(IDC_SESSION_TREE);
    HTREEITEM sessionItem = nullptr;
    unsigned lastSession = 0;
    for (unsigned number = 1; number <= count; ++number) {
        com::ComPtr<ITrack> track;
        unsigned blank = 0, trackNumber = 0, session = 0;
        if (FAILED(medium->GetTrack(&track, number)) || !track || FAILED(track->IsBlank(&blank)) || blank) continue;
        if (FAILED(track->GetTrackNumber(&trackNumber)) || FAILED(track->GetSessionNumber(&session))) continue;
        TVINSERTSTRUCTA insert = {};
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        if (!sessionItem || session != lastSession) {
            const std::string text = NumberedText(IDS_SESSION, session);
            insert.hParent = TVI_ROOT;
            insert.item.pszText = const_cast<char*>(text.c_str());
            insert.item.lParam = LPARAM(trackNumber);
            sessionItem = TreeView_InsertItem(tree, &insert);
            lastSession = session;
        }
        const std::string text = NumberedText(IDS_TRACK, trackNumber);
        insert.hParent = sessionItem;
        insert.item.pszText = const_cast<char*>(text.c_str());
        insert.item.lParam = LPARAM(trackNumber);
        TreeView_InsertItem(tree, &insert);
        TVITEMA sessionData = {};
        sessionData.mask = TVIF_PARAM;
        sessionData.hItem = sessionItem;
        sessionData.lParam = LPARAM(trackNumber);
        TreeView_SetItem(tree, &sessionData);
        TreeView_Expand(tree, sessionItem, TVE_EXPAND);
        m_newestTrack = int(trackNumber);
    }
}

void CDeviceSelectionDialog::ShowTexts(bool mediumUsable, LONGLONG free)
{
    SetDlgItemTextA(m_hWnd, IDC_MEDIUM_LINE, m_mediumLine.c_str());
    SetDlgItemTextA(m_hWnd, IDC_TOTAL_SPACE, m_totalSpace.c_str());
    SetDlgItemTextA(m_hWnd, IDC_USED_SPACE, m_usedSpace.c_str());
    SetDlgItemTextA(m_hWnd, IDC_FREE_SPACE, m_freeSpace.c_str());
    ::EnableWindow(Item(IDOK), mediumUsable && m_device && free > 0);
}

LRESULT CDeviceSelectionDialog::OnTreeSelChanged(int, NMHDR* header, BOOL&)
{
    const NMTREEVIEWA* change = reinterpret_cast<const NMTREEVIEWA*>(header);
    if (change->itemNew.hItem) {
        TVITEMA item = {};
        item.mask = TVIF_PARAM;
        item.hItem = change->itemNew.hItem;
        if (TreeView_GetItem(header->hwndFrom, &item)) m_trackNumber = int(item.lParam);
    }
    return 0;
}

LRESULT CDeviceSelectionDialog::OnMediumChanged(UINT, WPARAM, LPARAM, BOOL&)
{
    ShowSelectedDevice();
    return 0;
}

LRESULT CDeviceSelectionDialog::OnDeviceArrived(UINT, WPARAM id, LPARAM, BOOL&)
{
    com::ComPtr<IDevice> device;
    if (!m_devices || FindItem(unsigned(id)) >= 0 || FAILED(m_devices->GetDeviceByID(unsigned(id), &device)) ||
        !device)
        return 0;
    AddDevice(device);
    HWND combo = Item(IDC_DEVICE_COMBO);
    if (::SendMessageA(combo, CB_GETCURSEL, 0, 0) < 0) {
        ::SendMessageA(combo, CB_SETCURSEL, WPARAM(FindItem(unsigned(id))), 0);
        ShowSelectedDevice();
    }
    return 0;
}

LRESULT CDeviceSelectionDialog::OnDeviceRemoved(UINT, WPARAM id, LPARAM, BOOL&)
{
    const int item = FindItem(unsigned(id));
    if (item < 0) return 0;
    HWND combo = Item(IDC_DEVICE_COMBO);
    const bool selected = ::SendMessageA(combo, CB_GETCURSEL, 0, 0) == item;
    ::SendMessageA(combo, CB_DELETESTRING, WPARAM(item), 0);
    if (selected) {
        ::SendMessageA(combo, CB_SETCURSEL, WPARAM(-1), 0);
        ShowSelectedDevice();
    }
    return 0;
}

LRESULT CDeviceSelectionDialog::OnDeviceSelected(WORD, WORD, HWND, BOOL&)
{
    ShowSelectedDevice();
    return 0;
}

LRESULT CDeviceSelectionDialog::OnOK(WORD, WORD, HWND, BOOL&)
{
    if (!::IsWindowEnabled(Item(IDOK))) return 0;
    HWND combo = Item(IDC_DEVICE_COMBO);
    const LRESULT selected = ::SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (selected < 0) return 0;
    m_deviceId = unsigned(::SendMessageA(combo, CB_GETITEMDATA, WPARAM(selected), 0));
    // Nothing chosen in the tree: the newest session, which a disc goes on from.
    if (m_trackNumber == NO_TRACK) m_trackNumber = m_newestTrack;
    Disconnect(true);
    EndDialog(IDOK);
    return 0;
}

LRESULT CDeviceSelectionDialog::OnCancel(WORD, WORD, HWND, BOOL&)
{
    Disconnect(true);
    EndDialog(IDCANCEL);
    return 0;
}

// Handled without ending the dialog: OK and Cancel end it.
LRESULT CDeviceSelectionDialog::OnClose(UINT, WPARAM, LPARAM, BOOL&)
{
    Disconnect(true);
    return 0;
}

// However the dialog ends, the engine keeps no connection to a sink whose
// window is gone.
LRESULT CDeviceSelectionDialog::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    Disconnect(true);
    handled = FALSE;
    return 0;
}

void CDeviceSelectionDialog::Disconnect(bool all)
{
    if (m_device) UnadviseEngineEvents(m_device, &m_deviceCookie);
    if (!all) return;
    if (m_devices) UnadviseEngineEvents(m_devices, &m_devicesCookie);
    if (m_sink) m_sink->SetTarget(nullptr);
}
