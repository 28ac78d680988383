// CCoDevice: one optical drive of the disc layer, bound to its SCSI
// address. It scans the drive's identity, modes, capabilities and speeds
// once (InitDevice) and the medium and speeds again on every medium check.
// Its hidden window "DeviceWindow" turns the stages that a job's worker
// sends (job_messenger.h) into events on the device's connection point.
#pragma once
#include "windows/device_window.h"
#include <engine.h>
#include "devices/grabber.h"
#include "jobs/job_messages.h"
#include "devices/message_callback_point.h"
#include <shared/auto_object_logger.h>
#include <shared/log.h>
#include <com/connection_point.h>
#include <com/external_connection.h>
#include <com/object.h>
#include <window/message_map.h>
#include <atomic>
#include <string>
#include <vector>

class CCoDevice : public com::ObjectRoot<com::MultiThreadModel>,
                  public IDevice,
                  public IWriter2,
                  public IReader,
                  public IMedium,
                  public IRawPtr,
                  public com::ConnectionPointContainer,
                  public com::ExternalConnection,
                  public CAutoObjectLogger<CCoDevice>,
                  public wnd::MessageMap {
public:
    COM_INTERFACES_BEGIN(CCoDevice)
        COM_INTERFACE(IDevice)
        COM_INTERFACE_IID(IID_IWriter, IWriter2)
        COM_INTERFACE(IWriter2)
        COM_INTERFACE(IReader)
        COM_INTERFACE(IMedium)
        COM_INTERFACE(IRawPtr)
        COM_INTERFACE(IConnectionPointContainer)
        COM_INTERFACE(IExternalConnection)
    COM_INTERFACES_END()

    WND_MSG_MAP_BEGIN(CCoDevice)
        WND_MESSAGE(WM_JOB_STATE, OnJobState)
        WND_MESSAGE(WM_ASK_USER, OnAskUser)
        WND_MESSAGE(WM_JOB_STATUS, OnJobStatus)
        WND_MESSAGE(WM_CHECK_MEDIUM, OnCheckMedium)
        WND_MESSAGE(WM_BURNER_CALLBACK, OnBurnerCallback)
        WND_MESSAGE(WM_JOB_REF, OnJobRef)
        WND_MESSAGE(WM_DEVICECHANGE, OnDeviceChange)
        WND_MESSAGE(WM_CLOSE, OnClose)
    WND_MSG_MAP_END()

    // Makes the device's window, on a thread of its own.
    HRESULT FinalConstruct();
    void FinalRelease();

    // Binds the device to the drive at `id` and scans it; false leaves it unusable.
    bool InitDevice(unsigned id);
    unsigned Id() const { return m_id; }
    HWND WindowHandle() const { return m_window ? m_window->m_hWnd : nullptr; }
    // True once when the drive's medium stamp moved since the last scan.
    bool MediumStampMoved();
    // Rescans the medium and fires DM_MEDIUMCHANGED, for an empty drive too
    // (`evenWhenEmpty`) or not: from the device's window (a job's medium
    // check, a media broadcast) or from the device list's poll. The scan
    // runs under the device lock, the event outside it.
    void CheckMedium(bool evenWhenEmpty);

    // Starts a job's worker unless one runs (STG_E_INUSE). The cookie,
    // speed and last argument are kept for the job's events and records;
    // the device holds itself for the worker until its WM_JOB_REF 0.
    HRESULT StartJob(unsigned cookie, unsigned speed, unsigned lastArgument,
                     LPTHREAD_START_ROUTINE worker, void* context);
    // True while the last job's worker runs (until its end handler ran).
    bool IsBusy();
    // Rises with every Cancel on any device object of the drive: a job
    // compares it with the count at its start, so a cancel that comes
    // between two disc-layer calls (a question open, an image being built,
    // an erase) is not lost.
    uint32_t CancelCount() const { return m_cancels.load(); }
    // A worker's hold: a reference on the device and a lock of the server,
    // so that neither goes while the worker runs, whatever its clients let
    // go of. The worker gives both back with its last message
    // (CJobMessenger::ReleaseDevice), or here when the device window was
    // gone before it began; the release may free the device.
    void HoldForWorker();
    static void ReleaseWorkerHold(CCoDevice* device);
    // An erase inside another job leaves that job's worker alone at its end.
    void SetInternalErase(bool internal);
    // The disc layer's progress callback of the device's grabber: it sends
    // each report to the device window, so a job must not hold the device
    // lock (LockRawPtr) while the layer writes.
    static uint32_t BurnerCallback(uint32_t reason, void* context, void* param1, void* param2);

    // IDevice
    STDMETHODIMP GetDeviceName(BSTR* a_pbsDeviceName) override;
    STDMETHODIMP GetDeviceID(unsigned int* a_puiDeviceID) override;
    STDMETHODIMP GetDeviceSpeeds(IDeviceSpeedEnum** a_ppDeviceReadSpeedEnum,
                                 IDeviceSpeedEnum** a_ppDeviceWriteSpeedEnum) override;
    STDMETHODIMP Speed_KBPS2X(unsigned long a_ulSpeed, BSTR* a_pbsSpeed) override;
    STDMETHODIMP DeviceCanWrite(unsigned long* a_pulCanWrite) override;
    STDMETHODIMP GetDeviceLetter(unsigned int* a_pDeviceLetter) override;
    STDMETHODIMP GetDeviceBusy(unsigned int* a_puiBusy) override;
    STDMETHODIMP GetSupportedWriteModes(unsigned int* a_puiSupportedWriteModes) override;
    STDMETHODIMP GetCapabilities(unsigned int* a_puiReadCapabilities,
                                 unsigned int* a_puiWriteCapabilities) override;
    STDMETHODIMP Eject() override;
    STDMETHODIMP Load() override;

    // IWriter, IWriter2, IReader: the data, audio, image, DVD-Video, Video
    // CD and Super Video CD burns, the erase and the grab are served; Cancel
    // stops what runs on the drive.
    STDMETHODIMP BurnImage(unsigned long a_ulCallerCookie, unsigned long a_ulSpeed, BSTR a_bsImagePath,
                           unsigned long a_ulBufferSize) override;
    STDMETHODIMP Erase(unsigned long a_ulCallerCookie, unsigned long a_ulSpeed, unsigned int a_uiFullErase) override;
    STDMETHODIMP BurnDVDVideo(unsigned long a_ulCallerCookie, unsigned long a_ulSpeed, BSTR a_bsImagePath,
                              unsigned long a_ulBufferSize) override;
    STDMETHODIMP BurnData(unsigned long a_ulCallerCookie, unsigned long a_ulSpeed, IUnknown* a_lpFileTreeUnk,
                          unsigned long a_ulBufferSize) override;
    STDMETHODIMP BurnAudio(unsigned long a_ulCallerCookie, unsigned long a_ulSpeed, IUnknown* a_lpAudioImageUnk,
                           unsigned long a_ulBufferSize) override;
    STDMETHODIMP Cancel() override;
    STDMETHODIMP BurnVideoCD(unsigned long a_ulCallerCookie, unsigned long a_ulSpeed, BSTR a_bsSourcePath,
                             unsigned long a_ulBufferSize) override;
    STDMETHODIMP BurnSuperVideoCD(unsigned long a_ulCallerCookie, unsigned long a_ulSpeed, BSTR a_bsSourcePath,
                                  unsigned long a_ulBufferSize) override;
    STDMETHODIMP GrabImage(unsigned long a_ulCallerCookie, unsigned long a_ulSpeed, BSTR a_bsImagePath,
                           unsigned long a_ulBufferSize) override;

    // IMedium
    STDMETHODIMP GetMediumType(unsigned int* a_puiMediumType) override;
    STDMETHODIMP GetTrackCount(unsigned int* a_puiTrackCount) override;
    STDMETHODIMP GetTrack(ITrack** a_ppTrack, unsigned int a_uiTrackNumber) override;
    STDMETHODIMP GetSpaces(hyper* a_phTotalSpace, hyper* a_phUsedSpace, hyper* a_phFreeSpace) override;

    // IRawPtr: the grabber handle, under the device lock until UnlockRawPtr.
    STDMETHODIMP_(ULONG_PTR) LockRawPtr() override;
    STDMETHODIMP_(void) UnlockRawPtr() override;

private:
    // Device window handlers (job_messages.h); they fire outside the lock.
    LRESULT OnJobState(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnAskUser(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnJobStatus(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnCheckMedium(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnBurnerCallback(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnJobRef(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnDeviceChange(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&) { return 0; }  // closed when the device goes
    unsigned Cookie();

    bool ScanMediumInfo(DiscInformation* info);
    bool ScanTrackInfo(unsigned track, DiscTrackInformation* info);
    int64_t GetTotalDiscSpace();
    int64_t GetFreeDiscSpace();
    void ScanDeviceInfo();
    void ScanDeviceModes();
    void ScanDeviceCapabilities();
    void ScanDeviceSpeeds();
    void ProbeSpeeds(unsigned readRequest, unsigned writeRequest,
                     std::vector<unsigned>& reads, std::vector<unsigned>& writes);
    bool MediumIsDvd() const;
    void ReadMediumStamp();

    uint8_t Port() const { return static_cast<uint8_t>(m_id); }
    uint8_t Bus() const { return static_cast<uint8_t>(m_id >> 8); }
    uint8_t Target() const { return static_cast<uint8_t>(m_id >> 16); }
    uint8_t Lun() const { return static_cast<uint8_t>(m_id >> 24); }

    CDeviceWindow* m_window = nullptr;
    CGrabber m_grabber;
    unsigned m_id = 0xFFFFFFFF;
    DiscIdentity m_identity = {};
    unsigned m_letter = 255;
    DiscReadModes m_readModes = {};
    DiscWriteModes m_writeModes = {};
    DiscReadCapabilities m_readCaps = {};
    DiscWriteCapabilities m_writeCaps = {};
    unsigned m_mediumType = 0;
    std::vector<unsigned> m_readSpeeds, m_writeSpeeds;
    uint32_t m_mediumStamp = 0;
    // The last job: its worker, caller cookie, speed and last argument.
    HANDLE m_worker = nullptr;
    unsigned m_cookie = 0;
    unsigned m_jobSpeed = 0;
    unsigned m_jobLastArgument = 0;
    bool m_internalErase = false;  // the erase that runs is inside the last job
    std::atomic<uint32_t> m_cancels{0};
    MessageCallbackPoint m_events{this};
};
