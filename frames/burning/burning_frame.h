// CCoDrubeck: the burning frame, the last page of every project window. The
// user picks a writing drive and a speed, starts the burn or an erase, and
// watches the job in a log list and two bars. The frame never reads the
// project's data itself: at burn time it asks its partner for the burn type
// and for the source of that type, and hands the source to the engine's
// drive, whose events come back as window messages through its sink.
#pragma once
#include <frames/common/log_list.h>
#include "drubeck.h"
#include "engine.h"
#include "resource.h"
#include <com/object.h>
#include <com/ptr.h>
#include <frames/common/dialog_resizer.h>
#include <frames/common/drive_chooser.h>
#include <frames/common/engine_events.h>
#include <frames/common/next_back_buttons.h>
#include <shared/auto_object_logger.h>
#include <shared/command_performer.h>
#include <shared/settings_helper.h>
#include <shared/sys_service_binder.h>
#include <shared/translator.h>
#include <window/dialog.h>
#include <string>

struct BurnKind;

class CCoDrubeck : public com::ObjectRoot<com::MultiThreadModel>,
                   public wnd::DialogImpl<CCoDrubeck>,
                   public IOwnWindow,
                   public CCommandPerformerImpl<CCoDrubeck, &CLSID_CoDrubeck>,
                   public CSysServiceBinderImpl<CCoDrubeck, &CLSID_CoDrubeck>,
                   public CTranslator<CCoDrubeck, &CLSID_CoDrubeck>,
                   public CSettingsHelper<CCoDrubeck, &CLSID_CoDrubeck>,
                   public CAutoObjectLogger<CCoDrubeck>,
                   public CNextBackButtonsCreator<CCoDrubeck> {
public:
    enum { IDD = IDD_BURNING_FRAME };
    // Posted to itself by PCID_START: wParam is the preparation's HRESULT.
    enum : UINT { WM_START_RESULT = 3024 };
    // While a job runs, how often the frame checks that its drive and the
    // engine are still there (their end event would never come otherwise).
    enum : UINT_PTR { JOB_WATCH_TIMER = 1 };
    enum : UINT { JOB_WATCH_MS = 1000 };

    COM_INTERFACES_BEGIN(CCoDrubeck)
        COM_INTERFACE(IOwnWindow)
        COM_INTERFACE(ISysServiceBinder)
        COM_INTERFACE(ICommandPerformer)
    COM_INTERFACES_END()

    HRESULT FinalConstruct();
    void FinalRelease();

    // IOwnWindow
    STDMETHODIMP CreateOwnWindow(HWND a_hWndParent) override;
    STDMETHODIMP GetOwnWindow(HWND* a_hWndRet) override;

    // The commands of ICommandPerformer::InvokeCommand (non-null sender).
    HRESULT OnCommand(IUnknown* sender, REFCLSID senderClsid, unsigned int id, SAFEARRAY* data);

    WND_MSG_MAP_BEGIN(CCoDrubeck)
        WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
        WND_MESSAGE(WM_SIZE, OnSize)
        WND_MESSAGE(WM_CLOSE, OnClose)
        WND_MESSAGE(WM_DESTROY, OnDestroy)
        WND_MESSAGE(WM_START_RESULT, OnStartResult)
        WND_MESSAGE(WM_TIMER, OnTimer)
        WND_MESSAGE_RANGE(WM_ENGINE_FIRST, WM_ENGINE_LAST, OnEngineEvent)
        WND_COMMAND_CODE(IDC_BURN, BN_CLICKED, OnBurnClicked)
        WND_COMMAND_CODE(IDC_ERASE, BN_CLICKED, OnEraseClicked)
        WND_COMMAND_CODE(IDC_BURN_CANCEL, BN_CLICKED, OnCancelClicked)
        WND_COMMAND_CODE(IDC_DEVICE_LIST, CBN_SELCHANGE, OnDriveSelected)
        WND_CHAIN(CNextBackButtonsCreator<CCoDrubeck>)
    WND_MSG_MAP_END()

protected:
    CCoDrubeck();
    ~CCoDrubeck();

private:
    friend class CNextBackButtonsCreator<CCoDrubeck>;
    // The job this frame started on its drive, from the call that started it
    // to the job's end event. An erase inside a burn belongs to the burn.
    enum class Job { None, Burn, Erase };

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnStartResult(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEngineEvent(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnBurnClicked(WORD, WORD, HWND, BOOL&);
    LRESULT OnEraseClicked(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancelClicked(WORD, WORD, HWND, BOOL&);
    LRESULT OnDriveSelected(WORD, WORD, HWND, BOOL&);

    // A text of the frame: the language file's, else the module's own.
    static std::string Text(UINT id);
    void LogText(UINT id) { m_log.Add(Text(id).c_str()); }

    // Task panel and commands to the partner.
    void AddTaskItems();
    HRESULT SendEnableUI(BOOL enabled);
    HRESULT SendResult(HRESULT result);
    void OnActionChosen(SAFEARRAY* data);
    HRESULT AnswerDeviceId(SAFEARRAY* data);
    HRESULT AnswerNumber(SAFEARRAY* data, long value);
    HRESULT ChooseDrive(SAFEARRAY* data);

    // Drives and speeds.
    void FillDriveList()
    {
        m_drives.FillDriveList(true);
        ChangeDrive();
    }
    void ChangeDrive();
    void RefreshControls();
    unsigned long SelectedSpeed() { return m_drives.SelectedSpeed(); }

    // Jobs.
    void RequestBurn();
    HRESULT StartBurn(HRESULT preparation);
    HRESULT RunBurnKind(const BurnKind& kind);
    void FinishBurnStart(HRESULT result);
    void EraseDisc(unsigned int full);
    void CancelJob();
    // The job's bookkeeping from its engine call to its end.
    void JobStarted(Job job);
    void JobEnded();
    // The job's drive or the engine went away: no end event will come, so
    // the frame ends the job as failed itself.
    void EndLostJob();
    unsigned long LastArgument();

    // Engine events by kind.
    void OnMediumChanged(unsigned int type);
    void OnJobEvent(unsigned event, unsigned int value);
    LRESULT OnQuestion(unsigned int code);
    void OnStatus(unsigned int word);

    CDriveChooser m_drives;
    BOOL m_preparing = FALSE;
    BOOL m_working = FALSE;
    BOOL m_enabled = TRUE;
    Job m_job = Job::None;
    unsigned int m_jobDeviceId = 0;  // the drive the job runs on
    bool m_cancelRequested = false;  // the user pressed Cancel during the job
    unsigned long m_cookie = 0;

    HWND m_driveList = nullptr, m_progress = nullptr, m_buffer = nullptr;
    CLogList m_log;
    CDialogResizer m_resizer;
};
