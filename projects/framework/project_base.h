// CProjectBase: the project object that every project type instantiates
// (through CProjectImpl, project_impl.h). A container of three components
// made from the type's frame table: the task panel in the left pane of its
// splitter, and two frames shown one at a time in the right pane. It is the
// command partner of all three, routes their commands, shows its window as
// an MDI child of the main frame and saves and loads the frames into one
// project file.
//
// The pieces live in files of their own: the actions manager
// (actions_manager.*), the menu (project_ui.*), load and save
// (project_load_save.*), creation and close (project_create_close.cpp) and
// the window's messages (project_window.cpp).
#pragma once
#include "hosting.h"
#include "commands.h"
#include "frame_messages.h"
#include "project_type.h"
#include "frame_table.h"
#include "actions_manager.h"
#include "project_load_save.h"
#include "splitter_window_ex.h"
#include <com/ptr.h>
#include <window/window_impl.h>
#include <string>

class CProjectBase : public wnd::WindowImpl<CProjectBase>,
                     public IProject,
                     public IOwnWindow,
                     public ICommandPerformer,
                     protected IFrameTableTarget {
public:
    enum { FRAME_COUNT = 2, MIN_TRACK_WIDTH = 425, MIN_TRACK_HEIGHT = 360, INITIAL_SPLITTER_POS = 180 };

    WND_MSG_MAP_BEGIN(CProjectBase)
        WND_MESSAGE(WM_CREATE, OnCreate)
        WND_MESSAGE(WM_FORWARDMSG, OnForwardMsg)
        WND_MESSAGE(WM_COMMAND, OnCommand)
        WND_MESSAGE(WM_QUERYPROJECTUNKNOWN, OnQueryProjectUnknown)
        WND_MESSAGE(WM_CLOSE, OnClose)
        WND_MESSAGE(WM_MDIACTIVATE, OnMdiActivate)
        WND_MESSAGE(WM_GETMINMAXINFO, OnGetMinMaxInfo)
        WND_MESSAGE(WM_SIZE, OnSize)
        WND_MESSAGE(WM_MOUSEACTIVATE, OnMouseActivate)
        WND_MESSAGE(WM_MENUSELECT, OnMenuSelect)
        WND_MESSAGE(WM_SETFOCUS, OnSetFocus)
        WND_MESSAGE(WM_DESTROY, OnDestroy)
        // Everything else is the MDI child's default handling.
        WND_MESSAGE_RANGE(0, 0xFFFFFFFF, OnDefault)
    WND_MSG_MAP_END()

    // IProject
    STDMETHODIMP Load(BSTR a_bsFileName) override;
    STDMETHODIMP GetIcon(HICON* a_phIcon) override;
    STDMETHODIMP GetName(BSTR* a_pbsProjectName) override;
    STDMETHODIMP GetDescription(BSTR* a_pbsProjectDescription) override;
    STDMETHODIMP SetWillBeLoaded(long a_bWillBeLoaded) override;
    STDMETHODIMP GetLastError() override;
    STDMETHODIMP UpdateMRUList() override;

    // IOwnWindow
    STDMETHODIMP CreateOwnWindow(HWND a_hWndParent) override;
    STDMETHODIMP GetOwnWindow(HWND* a_hWndRet) override;

    // ICommandPerformer
    STDMETHODIMP SetPartnerNoAddRef(IUnknown* a_lpPartner) override;
    STDMETHODIMP InvokeCommand(IUnknown* a_lpSender, REFCLSID a_refclsidSender, unsigned int a_uiCommandID,
                               SAFEARRAY* a_pData) override;

    // --- for the framework's helpers and the project types ---

    virtual const CLSID& ProjectClsid() const = 0;
    virtual const ProjectTypeInfo& TypeInfo() const = 0;
    // ISysServiceBinder::BindServicesInto of the project.
    virtual HRESULT BindServicesTo(IUnknown* target) = 0;

    // The project as the sender of its commands.
    IUnknown* Self() { return static_cast<IProject*>(this); }
    // A text of the project's own language-file section, else the common one.
    std::string LangStr(unsigned id) const;
    // A text of the project's own section only; empty when it has none.
    std::string OwnLangStr(unsigned id) const;

    IUnknown* TaskPane() const { return m_taskPane; }
    IUnknown* FirstFrame() const { return m_firstFrame; }
    IUnknown* BurningFrame() const { return m_burningFrame; }
    // Frame order: 0 the first frame, 1 the burning frame.
    IUnknown* Frame(int index) const { return index == 0 ? m_firstFrame.Get() : index == 1 ? m_burningFrame.Get() : nullptr; }
    HWND FrameWindow(int index) const { return index >= 0 && index < FRAME_COUNT ? m_frameWindows[index] : nullptr; }
    // The index in frame order of a component (COM identity), or -1.
    int FrameIndexOf(IUnknown* component) const;
    int ActiveFrameIndex() const { return m_activeFrame; }
    IUnknown* ActiveFrame() const { return Frame(m_activeFrame); }

    // Shows one frame in the right pane and marks its pane active; an
    // unknown frame hides both frame windows.
    void ActivateFrame(IUnknown* frame);
    // Sends a command to a component as the project; E_NOINTERFACE when it
    // has no ICommandPerformer.
    HRESULT SendToComponent(IUnknown* component, unsigned id, SAFEARRAY* data);

    HMENU ProjectMenu() const { return m_menu; }
    HWND MdiClient() const { return ::GetParent(m_hWnd); }
    HWND MainFrame() const { return ::GetParent(MdiClient()); }
    CSplitterWindowExT<true>& Splitter() { return m_splitter; }
    CActionsManager& Actions() { return m_actions; }
    CProjectLoadSave& LoadSave() { return m_loadSave; }

    const std::string& FilePath() const { return m_filePath; }
    const std::string& Title() const { return m_title; }
    void SetFilePath(const std::string& path) { m_filePath = path; }
    // The title is the window text.
    void SetTitle(const std::string& title);

    // Saves as ID_FILE_SAVE does (Save As without a path).
    HRESULT SaveProject() { return m_loadSave.Save(); }

protected:
    CProjectBase();
    virtual ~CProjectBase();

    // Object creation and release (the COM object's FinalConstruct/FinalRelease).
    HRESULT CreateComponents();
    void ReleaseComponents();

    // Hooks of the project types.
    // Commands of the type, tried before the framework's; `handled` false
    // lets the framework dispatch. A type that relays a command as it came
    // overrides the form with the sender's class identifier.
    virtual HRESULT OnTypeCommand(IUnknown* sender, unsigned id, SAFEARRAY* data, bool& handled);
    virtual HRESULT OnTypeCommand(IUnknown* sender, REFCLSID senderClsid, unsigned id, SAFEARRAY* data,
                                  bool& handled);
    // The flag of IProject::SetWillBeLoaded.
    long WillBeLoaded() const { return m_willBeLoaded; }
    // Called while the window is being activated as an MDI child (the size
    // report to the main window).
    virtual void OnActivating() {}
    // The window mode of a component that offers IOwnWindowEx; a failure
    // makes it an ordinary IOwnWindow.
    virtual HRESULT GetOwnWindowMode(FrameRole role, long* mode);

    IUnknown** Member(FrameRole role) override;

private:
    // Window messages.
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnForwardMsg(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCommand(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnQueryProjectUnknown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMdiActivate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseActivate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMenuSelect(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDefault(UINT, WPARAM, LPARAM, BOOL&);
    void OnFinalMessage(HWND) override;

    // Creation steps.
    HRESULT InternalCreateProject();
    HRESULT PreCreateFrameWindows();
    HRESULT BindFrames();
    HRESULT SendButtonsPos();
    HRESULT CreateComponentWindows();
    HRESULT CreateComponentWindow(FrameRole role, IUnknown* component, HWND* window);
    HRESULT PostCreateFrameWindows();
    // The type's icon on the window (its system menu, the maximised
    // child's button in the main frame's menu bar).
    void SetWindowIcons();
    // The WM_CLOSE question: true when the close may go on.
    bool MayClose();
    // Whether a key message is one an edit box takes itself (its undo and
    // clipboard keys), which no accelerator may take from it.
    bool KeyOfEditBox(const MSG* msg) const;
    // The forwarded WM_COMMAND; `handled` false lets the accelerators try.
    LRESULT OnForwardedCommand(WORD id, BOOL& handled);
    HWND WindowPopup() const;

    HRESULT m_lastError = S_OK;
    long m_willBeLoaded = 0;
    CSplitterWindowExT<true> m_splitter;
    HMENU m_menu = nullptr;
    HACCEL m_accelerators = nullptr;
    HICON m_windowIcons[2] = {nullptr, nullptr};  // the window's small and big icon
    CActionsManager m_actions;
    CProjectLoadSave m_loadSave;
    com::ComPtr<IUnknown> m_taskPane;
    com::ComPtr<IUnknown> m_firstFrame;
    com::ComPtr<IUnknown> m_burningFrame;
    std::string m_filePath;
    std::string m_title;
    int m_activeFrame = 0;
    HWND m_frameWindows[FRAME_COUNT] = {nullptr, nullptr};
    HWND m_taskPaneWindow = nullptr;
    bool m_windowHoldsProject = false;
};
