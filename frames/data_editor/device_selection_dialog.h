// CDeviceSelectionDialog: which drive holds the disc to continue, and which
// of its sessions to take over. It lists the engine's drives, shows the
// chosen drive's medium, spaces and sessions, and follows drives and media
// that come and go while it is open through its own event sink.
#pragma once
#include "dialog_ids.h"
#include "data_project_classes.h"
#include "engine.h"
#include <com/object.h>
#include <com/ptr.h>
#include <frames/common/device_callback_buffer.h>
#include <frames/common/engine_events.h>
#include <shared/translator.h>
#include <window/dialog.h>
#include <commctrl.h>
#include <string>

class CDeviceSelectionDialog : public wnd::DialogImpl<CDeviceSelectionDialog>,
                               public CTranslator<CDeviceSelectionDialog, &CLSID_CoNostrine> {
public:
    enum { IDD = IDD_DEVICE_SELECTION };
    static const unsigned NO_DEVICE = 0xFFFFFFFF;
    static const int NO_TRACK = -1;

    // `deviceId`: the drive to preselect (NO_DEVICE: the first one).
    explicit CDeviceSelectionDialog(unsigned deviceId = NO_DEVICE) : m_deviceId(deviceId) {}
    ~CDeviceSelectionDialog();

    // After OK: the drive chosen, and the track whose session is taken over
    // (the newest session's last track when no tree item was chosen;
    // NO_TRACK when the disc lists none).
    unsigned DeviceId() const { return m_deviceId; }
    int TrackNumber() const { return m_trackNumber; }
    // The engine's events arrive through this object (null before the
    // dialog was shown).
    _IMessageCallback* Sink() const { return m_sink.Get(); }

    // The engine's medium type as the dialog names it (not translated, but
    // for "No media" and "Unknown").
    static std::string MediumTypeName(unsigned type);
    // A byte count of the space lines: "--:--" for an unknown (negative) one.
    static std::string SpaceText(LONGLONG bytes);

    WND_MSG_MAP_BEGIN(CDeviceSelectionDialog)
        WND_MESSAGE(EngineEventMessage(DM_MEDIUMCHANGED), OnMediumChanged)
        WND_MESSAGE(EngineEventMessage(DM_DEVICEARRIVED), OnDeviceArrived)
        WND_MESSAGE(EngineEventMessage(DM_DEVICEREMOVED), OnDeviceRemoved)
        WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
        WND_MESSAGE(WM_CLOSE, OnClose)
        WND_MESSAGE(WM_DESTROY, OnDestroy)
        WND_NOTIFY(IDC_SESSION_TREE, TVN_SELCHANGEDA, OnTreeSelChanged)
        WND_COMMAND_CODE(IDCANCEL, 0, OnCancel)
        WND_COMMAND_CODE(IDOK, 0, OnOK)
        WND_COMMAND_CODE(IDC_DEVICE_COMBO, CBN_SELCHANGE, OnDeviceSelected)
        WND_CHAIN(CTranslator<CDeviceSelectionDialog, &CLSID_CoNostrine>)
    WND_MSG_MAP_END()

private:
    LRESULT OnMediumChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDeviceArrived(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDeviceRemoved(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTreeSelChanged(int, NMHDR*, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);
    LRESULT OnOK(WORD, WORD, HWND, BOOL&);
    LRESULT OnDeviceSelected(WORD, WORD, HWND, BOOL&);

    bool ConnectEngine();
    void FillDevices();
    void AddDevice(IDevice* device);
    int FindItem(unsigned id) const;
    void ShowSelectedDevice();
    void ListSessions(IMedium* medium);
    void ShowTexts(bool mediumUsable, LONGLONG free);
    // Takes the sink away from the drive, and from the list too when `all`.
    void Disconnect(bool all);
    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }

    unsigned m_deviceId;
    int m_trackNumber = NO_TRACK;
    int m_newestTrack = NO_TRACK;  // the last track listed
    com::ComPtr<IDevices> m_devices;
    DWORD m_devicesCookie = 0;
    com::ComPtr<IDevice> m_device;
    DWORD m_deviceCookie = 0;
    com::ComPtr<com::ComObject<CCoDeviceCallbackBuffer>> m_sink;
    std::string m_mediumLine, m_totalSpace, m_usedSpace, m_freeSpace;
};
