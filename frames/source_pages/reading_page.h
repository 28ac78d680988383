// CReadingPage: what the copy-source and grab-image pages share: the source
// drive and read-speed lists over the engine, the log list and progress
// bar, the engine's events, the grab of the disc into "<base>.mds" and its
// data files, the engine's questions to this page's grab, and the refusal
// to close while a grab is prepared or runs. T supplies RefreshControls()
// and OnGrabEnded(HRESULT).
#pragma once
#include "source_page.h"
#include <frames/common/caller_cookie.h>
#include <frames/common/drive_chooser.h>
#include <frames/common/engine_events.h>
#include <frames/common/engine_questions.h>
#include <frames/common/log_list.h>
#include <frames/common/medium_names.h>
#include <shared/log.h>
#include <commctrl.h>
#include <cstring>

template <class T>
class CReadingPage : public CSourcePage<T> {
public:
    using Base = CSourcePage<T>;

    explicit CReadingPage(CCoPelgrave& frame)
        : Base(frame), m_cookie(NewCallerCookie()), m_drives(DriveTexts(), CDriveChooser::Speeds::Read, &Base::Text)
    {
    }
    ~CReadingPage() override { m_drives.Release(); }

    WND_MSG_MAP_BEGIN(CReadingPage)
        WND_MESSAGE(WM_CLOSE, OnClose)
        WND_MESSAGE(WM_DESTROY, OnDestroy)
        WND_MESSAGE(WM_GETMINMAXINFO, OnGetMinMaxInfo)
        WND_MESSAGE_RANGE(WM_ENGINE_FIRST, WM_ENGINE_LAST, OnEngineEvent)
        WND_COMMAND_CODE(IDC_SOURCE_DRIVES, CBN_SELENDOK, OnDriveSelected)
        WND_COMMAND_CODE(IDC_READ_SPEEDS, CBN_SELENDOK, OnSpeedSelected)
        WND_COMMAND_CODE(IDC_CHOOSE_IMAGE, BN_CLICKED, OnChoose)
    WND_MSG_MAP_END()

    bool Running() const { return m_preparing || m_working; }

    // The saved drive and read speed, chosen again once the drives are listed.
    void OnChoicesLoaded(ILoadableSection* section)
    {
        unsigned long value = 0;
        if (SUCCEEDED(section->LoadDWORD(com::Bstr("SourceDevice"), &value))) m_savedDevice = value, m_hasSaved = true;
        if (SUCCEEDED(section->LoadDWORD(com::Bstr("ReadSpeed"), &value))) m_savedSpeed = value;
        if (this->IsWindow()) ApplySavedChoices();
    }
    HRESULT SaveMoreChoices(ISaveableSection* section)
    {
        unsigned int id = 0;
        if (Device() && SUCCEEDED(Device()->GetDeviceID(&id))) {
            HRESULT hr = section->SaveDWORD(com::Bstr("SourceDevice"), id);
            if (FAILED(hr)) return hr;
        }
        return section->SaveDWORD(com::Bstr("ReadSpeed"), m_drives.SelectedSpeed());
    }
    const std::string& ImagePath() const { return this->m_imagePath; }
    IDevice* Device() const { return m_drives.Device(); }

protected:
    static CDriveChooser::Texts DriveTexts()
    {
        return {IDS_SEARCHING_DEVICES, IDS_DEVICES_FOUND, IDS_DEVICES_NOT_FOUND, IDS_DEVICE_SELECTED,
                IDS_EXISTING_SPEEDS,   IDS_MAX,           IDS_NONE,              IDS_DEVICE_ARRIVED,
                IDS_DEVICE_REMOVED};
    }

    // Dialog start, steps common to both pages: the engine, the log, the
    // lists. False when the engine cannot be reached.
    bool StartReading()
    {
        CLogFunctionScope scope("_InitReadDevices");
        HRESULT hr = m_drives.Bind();
        if (FAILED(hr)) {
            LogFailure("compDevices.CoCreateInstance(CLSID_CoDevices)", hr);
            return false;
        }
        m_drives.SetTarget(this->m_hWnd);
        m_log.Attach(this->GetDlgItem(IDC_PAGE_LOG));
        m_progress = this->GetDlgItem(IDC_READ_PROGRESS);
        ::SendMessageA(m_progress, PBM_SETRANGE32, 0, 100);
        m_drives.Attach(this->GetDlgItem(IDC_SOURCE_DRIVES), this->GetDlgItem(IDC_READ_SPEEDS), &m_log);
        if (m_drives.Devices()->IsInitialized() == S_OK) FillDrives();
        return true;
    }
    void FillDrives()
    {
        m_drives.FillDriveList(false);
        m_drives.ChangeDrive();
        ApplySavedChoices();
    }
    // The saved drive and its speed, when the drive is listed.
    void ApplySavedChoices()
    {
        HWND drives = this->GetDlgItem(IDC_SOURCE_DRIVES);
        const int item = m_hasSaved ? m_drives.FindDriveItem(m_savedDevice) : -1;
        if (item < 0) return;
        m_hasSaved = false;
        ::SendMessageA(drives, CB_SETCURSEL, item, 0);
        m_drives.ChangeDrive();
        SelectWantedSpeed();
        static_cast<T*>(this)->RefreshControls();
    }
    // The speed the user chose (or the project file held) stays chosen
    // while the drive's list of speeds is made again.
    void SelectWantedSpeed()
    {
        HWND speeds = this->GetDlgItem(IDC_READ_SPEEDS);
        const int count = static_cast<int>(::SendMessageA(speeds, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            if (static_cast<unsigned long>(::SendMessageA(speeds, CB_GETITEMDATA, i, 0)) == m_savedSpeed)
                ::SendMessageA(speeds, CB_SETCURSEL, i, 0);
    }

    // Starts the grab into the image path (without its extension).
    HRESULT StartGrab()
    {
        com::ComPtr<IReader> reader;
        if (!Device() || FAILED(Device()->QueryInterface(IID_IReader, reinterpret_cast<void**>(&reader)))) {
            LogNull("compReader");
            return E_NOINTERFACE;
        }
        const std::string base = WithoutExtension(this->m_imagePath);
        // The job's first events may come before the call returns.
        m_started = true;
        HRESULT hr = reader->GrabImage(m_cookie, m_drives.SelectedSpeed(), com::Bstr(base), 1024);
        if (FAILED(hr)) m_started = false;
        static_cast<T*>(this)->RefreshControls();
        return hr;
    }
    // Stops this page's grab through the drive.
    void CancelGrab()
    {
        com::ComPtr<IWriter> writer;
        if (Device() && SUCCEEDED(Device()->QueryInterface(IID_IWriter, reinterpret_cast<void**>(&writer))) &&
            SUCCEEDED(writer->Cancel()))
            m_cancelAsked = true;
    }
    bool DriveBusy() const { return m_drives.DriveBusy(); }
    // A grab was started and has not ended.
    bool Started() const { return m_started || Running(); }

    // The end of a grab: the line, the bar, and a failed grab's files gone.
    // The failure box is the owner's to show (a user's cancel shows none).
    void EndGrab(HRESULT result)
    {
        m_preparing = m_working = m_started = false;
        m_log.Add(Base::Text(result == CANCELLED_BY_USER ? IDS_GRAB_CANCELLED
                             : result == S_OK          ? IDS_GRAB_SUCCEEDED
                                                       : IDS_GRAB_FAILED)
                      .c_str());
        ::SendMessageA(m_progress, PBM_SETPOS, 0, 0);
        if (FAILED(result)) DeleteImage(this->m_imagePath);
        if (FAILED(result) && result != CANCELLED_BY_USER) this->Box(IDS_GRAB_FAILED_BOX, MB_ICONERROR);
    }

    static const HRESULT CANCELLED_BY_USER = static_cast<HRESULT>(0x8010006E);
    CLogList m_log;

private:
    LRESULT OnEngineEvent(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        const unsigned event = message - WM_ENGINE_EVENT;
        const unsigned int w = static_cast<unsigned int>(wParam), l = static_cast<unsigned int>(lParam);
        switch (event) {
        case DM_DEVICEARRIVED: m_drives.OnDeviceArrived(w); break;
        case DM_DEVICEREMOVED: m_drives.OnDeviceRemoved(w); break;
        case DM_DEVICESSCANNED: FillDrives(); break;
        case DM_MEDIUMCHANGED: {
            const char* name = MediumName(l);
            const std::string text = name ? name : Base::Text(l == MT_NO_MEDIA ? IDS_NO_MEDIA : IDS_UNKNOWN_MEDIUM);
            m_log.Printf("%s: %s", Base::Text(IDS_MEDIUM_IN_DRIVE).c_str(), text.c_str());
            m_drives.FillSpeedList();
            SelectWantedSpeed();
            break;
        }
        // The engine asks this page's grab for a disc as it asks a burn.
        case DM_QUESTION:
            if (w != m_cookie) return 0;
            return AskEngineQuestion(l, &Base::Text, [this](const char* text, UINT type) {
                return T::MessageBox(this->m_hWnd, text, type);
            });
        case DM_GRABPREPARE:
            if (w != m_cookie) break;
            m_preparing = true, m_working = false;
            m_log.Add(Base::Text(IDS_PREPARING_GRAB).c_str());
            break;
        case DM_GRABSTART:
            if (w != m_cookie) break;
            m_preparing = false, m_working = true;
            m_log.Printf("%s %s", Base::Text(IDS_GRAB_STARTED).c_str(), m_drives.SpeedText(l).c_str());
            break;
        case DM_READPROGRESS:
            if (w == m_cookie) ::SendMessageA(m_progress, PBM_SETPOS, l >> 16, 0);
            return 0;
        case DM_GRABEND: {
            if (w != m_cookie) break;
            // The engine ends a grab stopped through the drive as failed:
            // the user's cancel is reported as one.
            HRESULT result = static_cast<HRESULT>(l);
            if (m_cancelAsked && FAILED(result)) result = CANCELLED_BY_USER;
            m_cancelAsked = false;
            static_cast<T*>(this)->OnGrabEnded(result);
            break;
        }
        default: return 0;
        }
        static_cast<T*>(this)->RefreshControls();
        return 0;
    }

    LRESULT OnSpeedSelected(WORD, WORD, HWND, BOOL&)
    {
        this->m_modified = true;
        m_savedSpeed = m_drives.SelectedSpeed();
        return 0;
    }
    LRESULT OnDriveSelected(WORD, WORD, HWND, BOOL&)
    {
        this->m_modified = true;
        m_drives.ChangeDrive();
        static_cast<T*>(this)->RefreshControls();
        return 0;
    }

    // A new name may be typed; a grab always writes a descriptor, so the
    // image is named by its ".mds" whatever extension was chosen.
    LRESULT OnChoose(WORD, WORD, HWND, BOOL&)
    {
        std::string path = this->m_imagePath;
        if (ChooseImageFile(CCoPelgrave::CreateFilterString(), false, &path)) {
            this->m_imagePath = AsDescriptorPath(path);
            this->m_modified = true;
            static_cast<T*>(this)->OnImageChosen();
            this->ShowImagePath();
        }
        static_cast<T*>(this)->RefreshControls();
        return 0;
    }

    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&)
    {
        if (!Started()) return 0;
        this->Box(m_working ? IDS_CLOSE_WHILE_WORKING : IDS_CLOSE_WHILE_PREPARING, MB_ICONWARNING);
        return -1;
    }

    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        // No event may reach this window, nor a later one with its handle.
        m_drives.SetTarget(nullptr);
        handled = FALSE;
        return 0;
    }

    LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {Base::MIN_TRACK_WIDTH, Base::MIN_TRACK_HEIGHT};
        return 0;
    }

    const unsigned long m_cookie;
    CDriveChooser m_drives;
    HWND m_progress = nullptr;
    bool m_preparing = false, m_working = false, m_started = false, m_cancelAsked = false;
    bool m_hasSaved = false;
    unsigned long m_savedDevice = 0, m_savedSpeed = 0xFFFF;
};
