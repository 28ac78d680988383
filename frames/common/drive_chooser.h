// CDriveChooser: a frame's drive and speed lists over the engine's device
// list, with the frame's engine event sink advised on the list and on the
// chosen drive. The burning frame chooses a writer and its write speeds,
// the source pages any drive and its read speeds; the lines each step logs
// use the frame's own texts.
#pragma once
#include "device_callback_buffer.h"
#include "log_list.h"
#include "engine.h"
#include <com/object.h>
#include <com/ptr.h>
#include <functional>
#include <string>

class CDriveChooser {
public:
    // The string numbers of the lines, in the frame's module.
    struct Texts {
        UINT searching, found, notFound, selected, existingSpeeds, max, none, arrived, removed;
    };
    enum class Speeds { Read, Write };

    CDriveChooser(const Texts& texts, Speeds speeds, std::function<std::string(UINT)> text)
        : m_texts(texts), m_speeds(speeds), m_text(std::move(text)) {}
    ~CDriveChooser() { Release(); }
    CDriveChooser(const CDriveChooser&) = delete;
    CDriveChooser& operator=(const CDriveChooser&) = delete;

    // Creates the device list and the sink and advises the sink on the
    // list; the failure of the first step that failed.
    HRESULT Bind();
    // The sink's events go to the window (null detaches).
    void SetTarget(HWND window) { if (m_sink) m_sink->SetTarget(window); }
    // The combo boxes and the log the lists write to.
    void Attach(HWND driveList, HWND speedList, CLogList* log);
    // Unadvises from the drive and the list; the sink, the drive and the
    // list are let go in that order.
    void Release();

    // Lists every drive and chooses the first writable one (`writableFirst`)
    // or the first one; the owner then changes to it (ChangeDrive).
    void FillDriveList(bool writableFirst);
    // Makes the chosen item's drive current (the previous one stays when it
    // cannot be found), advised, its speeds listed; false when the list has
    // no drive chosen or it was not found.
    bool ChangeDrive();
    void FillSpeedList();
    // DM_DEVICEARRIVED and DM_DEVICEREMOVED: the lists follow the drives.
    void OnDeviceArrived(unsigned int id);
    void OnDeviceRemoved(unsigned int id);

    IDevices* Devices() const { return m_devices; }
    IDevice* Device() const { return m_device; }
    unsigned long SelectedSpeed() const;
    std::string SpeedText(unsigned long speed) const;
    bool DriveBusy() const;
    bool DriveCanWrite() const;
    // The item of the drive with the id, or -1.
    int FindDriveItem(unsigned int id) const;

private:
    void Log(UINT id);
    void AdviseDrive();
    void DropDrive();

    const Texts m_texts;
    const Speeds m_speeds;
    std::function<std::string(UINT)> m_text;
    com::ComPtr<IDevices> m_devices;
    com::ComPtr<com::ComObject<CCoDeviceCallbackBuffer>> m_sink;
    DWORD m_devicesAdviseCookie = 0;
    com::ComPtr<IDevice> m_device;
    DWORD m_deviceAdviseCookie = 0;
    HWND m_driveList = nullptr, m_speedList = nullptr;
    CLogList* m_log = nullptr;
};
