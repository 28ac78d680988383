#include "stub_components.h"
#include "commands.h"
#include <shared/variant_safearray.h>
#include <com/bstr.h>
#include <com/server.h>
#include <cstdio>

// {5B0D1C3E-8E7A-4F61-9C1B-1A2B3C4D5E01} and following: test classes only.
const CLSID CLSID_StubTaskPanel = {0x5B0D1C3E, 0x8E7A, 0x4F61, {0x9C, 0x1B, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x01}};
const CLSID CLSID_StubEditor = {0x5B0D1C3E, 0x8E7A, 0x4F61, {0x9C, 0x1B, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x02}};
const CLSID CLSID_StubBurner = {0x5B0D1C3E, 0x8E7A, 0x4F61, {0x9C, 0x1B, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x03}};

namespace {

std::map<std::string, StubScript>& Scripts()
{
    static std::map<std::string, StubScript> scripts;
    return scripts;
}

std::string Key(REFCLSID clsid)
{
    char text[64];
    std::snprintf(text, sizeof text, "%08lX-%04X", clsid.Data1, clsid.Data4[7]);
    return text;
}

// Every value of a command's data as text: numbers in decimal, texts as they are.
std::vector<std::string> Values(SAFEARRAY* data)
{
    std::vector<std::string> values;
    if (!data) return values;
    LONG upper = -1;
    SafeArrayGetUBound(data, 1, &upper);
    for (LONG i = 0; i <= upper; ++i) {
        VARIANT v;
        VariantInit(&v);
        SafeArrayGetElement(data, &i, &v);
        char text[64];
        if (v.vt == VT_BSTR) {
            values.push_back(com::AnsiFromBstr(v.bstrVal));
        } else if (v.vt & VT_BYREF) {
            values.push_back("byref");
        } else {
            std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(v.ulVal));
            values.push_back(text);
        }
        VariantClear(&v);
    }
    return values;
}

// A component that cannot be a project's partner.
class CStubWithoutPartner : public com::ObjectRoot<com::SingleThreadModel>, public ILoadSave {
public:
    COM_INTERFACES_BEGIN(CStubWithoutPartner)
        COM_INTERFACE(ILoadSave)
    COM_INTERFACES_END()
    STDMETHODIMP Load(ILoadableSection*) override { return S_OK; }
    STDMETHODIMP Save(ISaveableSection*) override { return S_OK; }
    STDMETHODIMP GetModified(long* modified) override { *modified = 0; return S_OK; }
    STDMETHODIMP OnSaveCompleted(HRESULT) override { return S_OK; }
};

template <class T>
HRESULT CreateStub(REFCLSID clsid, const char* name, CStubFrame** slot, REFIID iid, void** ppv)
{
    com::ComObject<T>* stub = nullptr;
    HRESULT hr = com::CreateObjectImpl<T>(&stub, clsid, name);
    if (FAILED(hr)) return hr;
    *slot = stub;
    hr = stub->QueryInterface(iid, ppv);
    stub->Release();
    return hr;
}

HRESULT CreateFrame(REFCLSID clsid, const char* name, CStubFrame** slot, REFIID iid, void** ppv)
{
    const StubScript& script = Script(clsid);
    if (script.failCreate) return REGDB_E_CLASSNOTREG;
    if (script.noCommandPerformer) return com::CreateObject<CStubWithoutPartner>(iid, ppv);
    if (script.offersOwnWindowEx) return CreateStub<CStubFrameEx>(clsid, name, slot, iid, ppv);
    return CreateStub<CStubFrame>(clsid, name, slot, iid, ppv);
}

HRESULT CreateEditor(REFIID iid, void** ppv) { return CreateFrame(CLSID_StubEditor, "Editor", &Stubs().editor, iid, ppv); }
HRESULT CreateBurner(REFIID iid, void** ppv) { return CreateFrame(CLSID_StubBurner, "Burner", &Stubs().burner, iid, ppv); }
HRESULT CreatePanel(REFIID iid, void** ppv)
{
    if (Script(CLSID_StubTaskPanel).failCreate) return REGDB_E_CLASSNOTREG;
    return com::CreateObject<CStubTaskPanel>(iid, ppv);
}

}  // namespace

StubScript& Script(REFCLSID clsid) { return Scripts()[Key(clsid)]; }
void ResetScripts()
{
    Scripts().clear();
    CommandTrace().clear();
}

std::vector<std::string>& CommandTrace()
{
    static std::vector<std::string> trace;
    return trace;
}

LiveStubs& Stubs()
{
    static LiveStubs stubs;
    return stubs;
}

// --- the stub frame's window ---

LRESULT CStubWindow::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    RECT r = GetClientRect();
    FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
    std::string text = "Stub frame: " + m_owner.name;
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(m_hWnd, &ps);
    return 0;
}

LRESULT CStubWindow::OnClose(UINT, WPARAM, LPARAM, BOOL&)
{
    messages.push_back("WM_CLOSE");
    return m_owner.script.closeAnswer;
}

LRESULT CStubWindow::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    messages.push_back("WM_COMMAND " + std::to_string(LOWORD(wParam)));
    return 0;
}

LRESULT CStubWindow::OnPaste(UINT, WPARAM, LPARAM, BOOL&)
{
    messages.push_back("WM_PASTE");
    return 0;
}

// --- the stub frame ---

CStubFrame::CStubFrame(const CLSID& id, const char* frameName) : clsid(id), name(frameName), script(Script(id)) {}

CStubFrame::~CStubFrame()
{
    if (window.IsWindow()) window.Destroy();
    if (Stubs().editor == this) Stubs().editor = nullptr;
    if (Stubs().burner == this) Stubs().burner = nullptr;
}

HRESULT CStubFrame::Bound(const char* what, IUnknown* p)
{
    bound.push_back(std::string(what) + (p ? "" : " (null)"));
    return S_OK;
}

STDMETHODIMP CStubFrame::GetSettingsPage(ISettingsPage** page)
{
    if (page) *page = nullptr;
    return E_FAIL;
}

STDMETHODIMP CStubFrame::SetPartnerNoAddRef(IUnknown* p)
{
    if (!p) return E_POINTER;
    ICommandPerformer* performer = nullptr;
    if (FAILED(p->QueryInterface(IID_ICommandPerformer, reinterpret_cast<void**>(&performer)))) return E_FAIL;
    partner = performer;
    performer->Release();
    return S_OK;
}

STDMETHODIMP CStubFrame::InvokeCommand(IUnknown* sender, REFCLSID senderClsid, unsigned id, SAFEARRAY* data)
{
    if (!sender) return E_INVALIDARG;
    (void)senderClsid;
    commands.push_back({id, com::SameObject(sender, partner), Values(data)});
    std::string line = name + " " + std::to_string(id);
    for (const std::string& value : commands.back().values) line += " " + value;
    CommandTrace().push_back(line);
    HRESULT answer = S_OK;
    if (script.onCommand && script.onCommand(*this, id, data, answer)) return answer;
    auto scripted = script.answers.find(id);
    if (scripted != script.answers.end()) return scripted->second;
    if (id == PCID_QUERY_ACTION_ENABLED) {
        int command = 0;
        BOOL* enabled = nullptr;
        HRESULT hr = ExtractFromSafearray(data, {{VT_I4, &command}, {VT_BOOL | VT_BYREF, &enabled}});
        if (FAILED(hr)) return hr;
        bool on = script.enabledCommands.count(static_cast<unsigned>(command)) != 0;
        *enabled = on ? 1 : 0;
        return on ? S_OK : E_FAIL;
    }
    return S_OK;
}

STDMETHODIMP CStubFrame::CreateOwnWindow(HWND parent)
{
    if (!IsWindow(parent)) return E_INVALIDARG;
    if (script.failWindow) return E_FAIL;
    window.Create(parent, nullptr, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
    if (!window.IsWindow()) return E_FAIL;
    if (script.onWindowCreated) script.onWindowCreated(*this);
    return S_OK;
}

STDMETHODIMP CStubFrame::CreateOwnWindowEx(HWND parent, long mode)
{
    windowMode = mode;
    return CreateOwnWindow(parent);
}

STDMETHODIMP CStubFrame::GetOwnWindow(HWND* result)
{
    if (!result) return E_POINTER;
    *result = window.m_hWnd;
    return *result ? S_OK : E_FAIL;
}

STDMETHODIMP CStubFrame::Load(ILoadableSection* section)
{
    return section->LoadDWORD(com::Bstr("value"), &loadedValue);
}

STDMETHODIMP CStubFrame::Save(ISaveableSection* section)
{
    if (FAILED(script.saveResult)) return script.saveResult;
    return section->SaveDWORD(com::Bstr("value"), savedValue);
}

STDMETHODIMP CStubFrame::GetModified(long* modified)
{
    *modified = script.modified;
    return S_OK;
}

STDMETHODIMP CStubFrame::OnSaveCompleted(HRESULT hr)
{
    saveCompletions.push_back(hr);
    if (SUCCEEDED(hr)) script.modified = 0;
    return S_OK;
}

HRESULT CStubFrame::Send(unsigned id, SAFEARRAY* data)
{
    if (!partner) return E_POINTER;
    com::ComPtr<ICommandPerformer> self(static_cast<ICommandPerformer*>(this));
    return partner->InvokeCommand(self, clsid, id, data);
}

HRESULT CStubFrame::SendUI4s(unsigned id, std::initializer_list<unsigned> values)
{
    CVariantSafearray data(static_cast<ULONG>(values.size()));
    data.Create();
    std::vector<CommandValue> packed;
    for (unsigned v : values) packed.emplace_back(static_cast<VARTYPE>(VT_UI4), v);
    HRESULT hr = S_OK;
    // Prepare takes a list: pack one element at a time through a one-value list.
    for (size_t i = 0; i < packed.size() && SUCCEEDED(hr); ++i) {
        VARIANT v;
        VariantInit(&v);
        if (!packed[i].ToVariant(&v)) return E_INVALIDARG;
        LONG index = static_cast<LONG>(i);
        hr = SafeArrayPutElement(data, &index, &v);
        VariantClear(&v);
    }
    if (FAILED(hr)) return hr;
    return Send(id, data);
}

// --- the recording task panel ---

HRESULT CStubTaskPanel::FinalConstruct()
{
    Stubs().panel = this;
    HRESULT hr = com::CreateObjectImpl<CCoPanelCtrl>(&impl);
    if (FAILED(hr)) return hr;
    real = static_cast<ITaskBar*>(impl);
    return S_OK;
}

CStubTaskPanel::~CStubTaskPanel()
{
    real.Reset();
    if (impl) impl->Release();
    if (Stubs().panel == this) Stubs().panel = nullptr;
}

STDMETHODIMP CStubTaskPanel::SetPartnerNoAddRef(IUnknown* partner)
{
    com::ComPtr<ICommandPerformer> performer;
    if (FAILED(real.As(IID_ICommandPerformer, &performer))) return E_FAIL;
    return performer->SetPartnerNoAddRef(partner);
}

STDMETHODIMP CStubTaskPanel::InvokeCommand(IUnknown* sender, REFCLSID, unsigned, SAFEARRAY*)
{
    return sender ? E_COMMAND_NOT_HANDLED : E_INVALIDARG;
}

STDMETHODIMP CStubTaskPanel::CreateOwnWindow(HWND parent)
{
    com::ComPtr<IOwnWindow> own;
    if (FAILED(real.As(IID_IOwnWindow, &own))) return E_FAIL;
    return own->CreateOwnWindow(parent);
}

STDMETHODIMP CStubTaskPanel::GetOwnWindow(HWND* window)
{
    com::ComPtr<IOwnWindow> own;
    if (FAILED(real.As(IID_IOwnWindow, &own))) return E_FAIL;
    return own->GetOwnWindow(window);
}

#define RECORD(...) Record(Format(__VA_ARGS__))
namespace {
std::string Format(const char* op, unsigned a = ~0u, unsigned b = ~0u, BSTR text = nullptr)
{
    std::string s = op;
    if (a != ~0u) s += " " + std::to_string(a);
    if (b != ~0u) s += " " + std::to_string(b);
    if (text) s += " " + com::AnsiFromBstr(text);
    return s;
}
}  // namespace

STDMETHODIMP CStubTaskPanel::AddPane(unsigned id, BSTR caption, HICON icon)
{
    RECORD("AddPane", id, ~0u, caption);
    if (refusePanes) return E_FAIL;
    return real->AddPane(id, caption, icon);
}
STDMETHODIMP CStubTaskPanel::RemovePane(unsigned id)
{
    RECORD("RemovePane", id);
    return real->RemovePane(id);
}
STDMETHODIMP CStubTaskPanel::RenamePane(unsigned id, BSTR caption)
{
    RECORD("RenamePane", id, ~0u, caption);
    return real->RenamePane(id, caption);
}
STDMETHODIMP CStubTaskPanel::AddAction(unsigned pane, unsigned id, BSTR caption, HICON icon)
{
    RECORD("AddAction", pane, id, caption);
    return real->AddAction(pane, id, caption, icon);
}
STDMETHODIMP CStubTaskPanel::RemoveAction(unsigned pane, unsigned id)
{
    RECORD("RemoveAction", pane, id);
    return real->RemoveAction(pane, id);
}
STDMETHODIMP CStubTaskPanel::RenameAction(unsigned pane, unsigned id, BSTR caption)
{
    RECORD("RenameAction", pane, id, caption);
    return real->RenameAction(pane, id, caption);
}
STDMETHODIMP CStubTaskPanel::SetActive(unsigned pane, unsigned action)
{
    Record("SetActive " + std::to_string(pane) + " " + std::to_string(action));
    return real->SetActive(pane, action);
}
STDMETHODIMP CStubTaskPanel::GetActive(unsigned* pane, unsigned* action) { return real->GetActive(pane, action); }
STDMETHODIMP CStubTaskPanel::GetPaneActiveAction(unsigned pane, unsigned* action)
{
    return real->GetPaneActiveAction(pane, action);
}
STDMETHODIMP CStubTaskPanel::EnableAction(unsigned pane, unsigned action, unsigned enable)
{
    Record("EnableAction " + std::to_string(pane) + " " + std::to_string(action) + " " + std::to_string(enable));
    return real->EnableAction(pane, action, enable);
}
STDMETHODIMP CStubTaskPanel::ChangeAction(unsigned pane, unsigned id, BSTR caption, HICON icon)
{
    RECORD("ChangeAction", pane, id, caption);
    return real->ChangeAction(pane, id, caption, icon);
}
STDMETHODIMP CStubTaskPanel::SetActionIcon(unsigned pane, unsigned id, HICON icon)
{
    RECORD("SetActionIcon", pane, id);
    return real->SetActionIcon(pane, id, icon);
}
STDMETHODIMP CStubTaskPanel::SetPaneIcon(unsigned pane, HICON icon)
{
    RECORD("SetPaneIcon", pane);
    return real->SetPaneIcon(pane, icon);
}
STDMETHODIMP CStubTaskPanel::ChangePane(unsigned pane, BSTR caption, HICON icon)
{
    RECORD("ChangePane", pane, ~0u, caption);
    return real->ChangePane(pane, caption, icon);
}

// --- registration in this process ---

LocalClassRegistration::LocalClassRegistration(REFCLSID clsid, com::CreatorFn create)
{
    com::ComPtr<IClassFactory> factory;
    com::CreateObject<com::ClassFactory>(IID_IClassFactory, reinterpret_cast<void**>(&factory), create);
    if (factory) CoRegisterClassObject(clsid, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_cookie);
}

LocalClassRegistration::~LocalClassRegistration()
{
    if (m_cookie) CoRevokeClassObject(m_cookie);
}

StubClassRegistration::StubClassRegistration(REFCLSID panel, REFCLSID editor, REFCLSID burner)
{
    struct Row {
        const CLSID* clsid;
        com::CreatorFn create;
    } rows[] = {{&panel, CreatePanel}, {&editor, CreateEditor}, {&burner, CreateBurner}};
    for (const Row& row : rows) m_classes.push_back(std::make_unique<LocalClassRegistration>(*row.clsid, row.create));
}

StubClassRegistration::~StubClassRegistration() = default;
