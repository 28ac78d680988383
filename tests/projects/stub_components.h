// Stub frames and a recording task panel, created by class identifier as a
// project creates its components: each records the commands and calls it
// gets and answers as a frame would. The test scripts them through
// StubScript before the project is made, and finds the live ones through
// Stubs().
#pragma once
#include "common.h"
#include "hosting.h"
#include <commands.h>
#include <com/object.h>
#include <com/ptr.h>
#include <com/server.h>
#include <window/window_impl.h>
#include "task_panel.h"
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

extern const CLSID CLSID_StubTaskPanel;
extern const CLSID CLSID_StubEditor;
extern const CLSID CLSID_StubBurner;

// One command as a stub saw it: the number, whether the sender was its
// partner project with the project's class identifier, and the values
// (numbers, or texts for BSTRs) of its data.
struct SeenCommand {
    unsigned id;
    bool fromProject;
    std::vector<std::string> values;
};

// A start the burning frame takes as the start of a burn: PCID_START with
// no data or with a result that did not fail (a failed preparation is
// passed on as a start carrying its failure).
inline bool IsBurnStart(const SeenCommand& c)
{
    return c.id == PCID_START && (c.values.empty() || c.values[0] == "0");
}

// How a stub behaves; set before the project creates it.
struct StubScript {
    bool failCreate = false;          // the class cannot be created
    bool noCommandPerformer = false;  // no ICommandPerformer
    bool failWindow = false;          // CreateOwnWindow fails
    bool offersOwnWindowEx = false;
    LRESULT closeAnswer = 0;          // to WM_CLOSE: 0 agrees, -1 refuses
    long modified = 0;                // ILoadSave::GetModified
    HRESULT saveResult = S_OK;
    std::set<unsigned> enabledCommands;  // answers to PCID_QUERY_ACTION_ENABLED
    // Runs when the stub's window has been made (frames add their panes then).
    std::function<void(class CStubFrame&)> onWindowCreated;
    // Answers to commands by number (else S_OK).
    std::map<unsigned, HRESULT> answers;
    // Runs for every command after it was recorded; true when it answered
    // (with `result`), so that the number's scripted answer is not used.
    std::function<bool(class CStubFrame&, unsigned id, SAFEARRAY* data, HRESULT& result)> onCommand;
};
StubScript& Script(REFCLSID clsid);
void ResetScripts();

// Every command the stub frames got, in order, across frames: the frame's
// name, the number and the values, as "Editor 288 0".
std::vector<std::string>& CommandTrace();

class CStubFrame;

// The window of a stub frame: paints its name and records what the
// project sends it.
class CStubWindow : public wnd::WindowImpl<CStubWindow> {
public:
    explicit CStubWindow(CStubFrame& owner) : m_owner(owner) {}
    WND_MSG_MAP_BEGIN(CStubWindow)
        WND_MESSAGE(WM_PAINT, OnPaint)
        WND_MESSAGE(WM_CLOSE, OnClose)
        WND_MESSAGE(WM_COMMAND, OnCommand)
        WND_MESSAGE(WM_PASTE, OnPaste)
    WND_MSG_MAP_END()
    std::vector<std::string> messages;  // "WM_COMMAND 57607", "WM_PASTE", "WM_CLOSE"

private:
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCommand(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPaste(UINT, WPARAM, LPARAM, BOOL&);
    CStubFrame& m_owner;
};

class CStubFrame : public com::ObjectRoot<com::SingleThreadModel>,
                   public ISysServiceBinder,
                   public ICommandPerformer,
                   public IOwnWindowEx,
                   public ILoadSave {
public:
    COM_INTERFACES_BEGIN(CStubFrame)
        COM_INTERFACE(ISysServiceBinder)
        COM_INTERFACE(ICommandPerformer)
        COM_INTERFACE_IID(IID_IOwnWindow, IOwnWindowEx)
        COM_INTERFACE(ILoadSave)
    COM_INTERFACES_END()

    CStubFrame(const CLSID& clsid, const char* name);
    ~CStubFrame();

    STDMETHODIMP BindLogger(IUnknown* p) override { return Bound("logger", p); }
    STDMETHODIMP BindTranslator(IUnknown* p) override { return Bound("translator", p); }
    STDMETHODIMP BindSettings(IUnknown* p) override { return Bound("settings", p); }
    STDMETHODIMP GetSettingsPage(ISettingsPage** page) override;

    STDMETHODIMP SetPartnerNoAddRef(IUnknown* partner) override;
    STDMETHODIMP InvokeCommand(IUnknown* sender, REFCLSID clsid, unsigned id, SAFEARRAY* data) override;

    STDMETHODIMP CreateOwnWindow(HWND parent) override;
    STDMETHODIMP GetOwnWindow(HWND* window) override;
    STDMETHODIMP CreateOwnWindowEx(HWND parent, long mode) override;

    STDMETHODIMP Load(ILoadableSection* section) override;
    STDMETHODIMP Save(ISaveableSection* section) override;
    STDMETHODIMP GetModified(long* modified) override;
    STDMETHODIMP OnSaveCompleted(HRESULT hr) override;

    // Sends a command to the partner as this frame.
    HRESULT Send(unsigned id, SAFEARRAY* data = nullptr);
    HRESULT SendUI4s(unsigned id, std::initializer_list<unsigned> values);

    const CLSID clsid;
    const std::string name;
    StubScript script;
    ICommandPerformer* partner = nullptr;  // no reference, as frames hold it
    std::vector<std::string> bound;
    std::vector<SeenCommand> commands;
    std::vector<HRESULT> saveCompletions;
    long windowMode = -1;  // CreateOwnWindowEx's mode; -1 when made by CreateOwnWindow
    unsigned long loadedValue = 0;
    unsigned long savedValue = 0;  // written by Save, read back by Load
    CStubWindow window{*this};

private:
    HRESULT Bound(const char* what, IUnknown* p);
};

// A stub frame that also offers IOwnWindowEx.
class CStubFrameEx : public CStubFrame {
public:
    using CStubFrame::CStubFrame;
    COM_INTERFACES_BEGIN(CStubFrameEx)
        COM_INTERFACE(ISysServiceBinder)
        COM_INTERFACE(ICommandPerformer)
        COM_INTERFACE_IID(IID_IOwnWindow, IOwnWindowEx)
        COM_INTERFACE(IOwnWindowEx)
        COM_INTERFACE(ILoadSave)
    COM_INTERFACES_END()
};

// The live stubs, by role.
struct LiveStubs {
    CStubFrame* editor = nullptr;
    CStubFrame* burner = nullptr;
    class CStubTaskPanel* panel = nullptr;
};
LiveStubs& Stubs();

// A task panel that records its ITaskBar calls as text and passes them on
// to a real task panel, whose window it shows.
class CStubTaskPanel : public com::ObjectRoot<com::SingleThreadModel>,
                       public ICommandPerformer,
                       public IOwnWindow,
                       public ITaskBar {
public:
    COM_INTERFACES_BEGIN(CStubTaskPanel)
        COM_INTERFACE(ICommandPerformer)
        COM_INTERFACE(IOwnWindow)
        COM_INTERFACE(ITaskBar)
    COM_INTERFACES_END()

    HRESULT FinalConstruct();
    ~CStubTaskPanel();

    STDMETHODIMP SetPartnerNoAddRef(IUnknown* partner) override;
    STDMETHODIMP InvokeCommand(IUnknown* sender, REFCLSID, unsigned, SAFEARRAY*) override;
    STDMETHODIMP CreateOwnWindow(HWND parent) override;
    STDMETHODIMP GetOwnWindow(HWND* window) override;

    STDMETHODIMP AddPane(unsigned id, BSTR caption, HICON icon) override;
    STDMETHODIMP RemovePane(unsigned id) override;
    STDMETHODIMP RenamePane(unsigned id, BSTR caption) override;
    STDMETHODIMP AddAction(unsigned pane, unsigned id, BSTR caption, HICON icon) override;
    STDMETHODIMP RemoveAction(unsigned pane, unsigned id) override;
    STDMETHODIMP RenameAction(unsigned pane, unsigned id, BSTR caption) override;
    STDMETHODIMP SetActive(unsigned pane, unsigned action) override;
    STDMETHODIMP GetActive(unsigned* pane, unsigned* action) override;
    STDMETHODIMP GetPaneActiveAction(unsigned pane, unsigned* action) override;
    STDMETHODIMP EnableAction(unsigned pane, unsigned action, unsigned enable) override;
    STDMETHODIMP ChangeAction(unsigned pane, unsigned id, BSTR caption, HICON icon) override;
    STDMETHODIMP SetActionIcon(unsigned pane, unsigned id, HICON icon) override;
    STDMETHODIMP SetPaneIcon(unsigned pane, HICON icon) override;
    STDMETHODIMP ChangePane(unsigned pane, BSTR caption, HICON icon) override;

    std::vector<std::string> calls;  // "AddPane 2000 Edit", "SetActive 2000 4294967295", ...
    bool refusePanes = false;        // AddPane answers E_FAIL
    com::ComPtr<ITaskBar> real;
    com::ComObject<CCoPanelCtrl>* impl = nullptr;  // the real panel, for its item places

private:
    void Record(const std::string& call) { calls.push_back(call); }
};

// Registers the stubs' class factories in this process (CoRegisterClassObject)
// for the life of the object.
// A class registered for this process under a class identifier while the
// object lives, as its server would register it.
class LocalClassRegistration {
public:
    LocalClassRegistration(REFCLSID clsid, com::CreatorFn create);
    ~LocalClassRegistration();
    LocalClassRegistration(const LocalClassRegistration&) = delete;
    LocalClassRegistration& operator=(const LocalClassRegistration&) = delete;
private:
    DWORD m_cookie = 0;
};

class StubClassRegistration {
public:
    // The stubs under the test class identifiers, or under the ones a
    // project type's frame table names.
    StubClassRegistration(REFCLSID panel = CLSID_StubTaskPanel, REFCLSID editor = CLSID_StubEditor,
                          REFCLSID burner = CLSID_StubBurner);
    ~StubClassRegistration();
private:
    std::vector<std::unique_ptr<LocalClassRegistration>> m_classes;
};
