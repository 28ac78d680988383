#include <initguid.h>
#include "standin_project.h"
#include <hosting.h>
#include <com/object.h>
#include <com/server.h>
#include <com/text.h>
#include <frame_messages.h>
#include <window/mdi_child.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {

void Record(const std::string& event)
{
    char path[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("TB_STANDIN_EVENTS", path, MAX_PATH)) return;
    if (FILE* file = std::fopen(path, "ab")) {
        std::fprintf(file, "%s\n", event.c_str());
        std::fclose(file);
    }
}

class CStandinWindow : public wnd::MdiChildImpl<CStandinWindow> {
public:
    WND_CLASS("Standin Project Window", CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1))

    explicit CStandinWindow(IUnknown* project) : m_project(project), m_ordinal(++s_windows) { m_project->AddRef(); }

    WND_MSG_MAP_BEGIN(CStandinWindow)
        WND_MESSAGE(WM_QUERYPROJECTUNKNOWN, OnQueryProject)
        WND_MESSAGE(WM_FORWARDMSG, OnForward)
        WND_MESSAGE(WM_CLOSE, OnClose)
        WND_MESSAGE(WM_RELAYTOCHILDREN, OnRelayed)
    WND_MSG_MAP_END()

    void Event(const std::string& event)
    {
        Record(event);
        SetText("Stand-in: " + event);
    }

    void OnFinalMessage(HWND) override
    {
        Record("destroyed");
        m_project->Release();
        delete this;
    }

private:
    LRESULT OnQueryProject(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        auto* slot = reinterpret_cast<IUnknown**>(wParam);
        if (!slot) return 0;
        m_project->AddRef();
        *slot = m_project;
        return 1;
    }
    LRESULT OnForward(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg->message == WM_COMMAND || msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) {
            char text[64];
            std::snprintf(text, sizeof(text), "forward 0x%04X 0x%04X", msg->message,
                          static_cast<unsigned>(msg->wParam));
            Event(text);
        }
        return 0;
    }
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&)
    {
        // A real project asks here whether to save its changes (and may
        // be told to stay).
        Event("asked to close");
        char refuse[8] = "";
        return GetEnvironmentVariableA("TB_STANDIN_REFUSE_CLOSE", refuse, sizeof(refuse)) ? 1 : 0;
    }
    LRESULT OnRelayed(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        Event("relayed " + std::to_string(wParam));
        // 1000 + n: report n MiB times this window's ordinal to the frame.
        if (wParam >= 1000) {
            NMSIZEBARUPDATE update = {};
            update.hdr.hwndFrom = m_hWnd;
            update.hdr.idFrom = GetDlgCtrlID();
            update.hdr.code = SIZEBARN_UPDATE;
            update.kind = SIZEBAR_DATA;
            update.bytes = (wParam - 1000) * m_ordinal * 1048576ull;
            ::SendMessageA(::GetParent(::GetParent(m_hWnd)), WM_NOTIFY, update.hdr.idFrom,
                           reinterpret_cast<LPARAM>(&update));
        }
        return 0;
    }

    static int s_windows;
    IUnknown* m_project;
    int m_ordinal;
};

int CStandinWindow::s_windows = 0;

class CStandinProject : public com::ObjectRoot<com::SingleThreadModel>,
                        public IProject,
                        public IOwnWindow,
                        public ISysServiceBinder {
public:
    COM_INTERFACES_BEGIN(CStandinProject)
        COM_INTERFACE(IProject)
        COM_INTERFACE(IOwnWindow)
        COM_INTERFACE(ISysServiceBinder)
    COM_INTERFACES_END()

    STDMETHODIMP Load(BSTR a_bsFileName) override
    {
        std::string path = com::AnsiFromBstr(a_bsFileName);
        Record("load " + path);
        std::string content;
        if (FILE* file = std::fopen(path.c_str(), "rb")) {
            char buffer[4096];
            size_t n = std::fread(buffer, 1, sizeof(buffer), file);
            content.assign(buffer, n);
            std::fclose(file);
        }
        return content.find("damaged") == std::string::npos ? S_OK : E_FAIL;
    }
    // A new handle each time, as the contract says; the type tells at its
    // end how many of them its caller left undestroyed.
    STDMETHODIMP GetIcon(HICON* icon) override
    {
        *icon = CopyIcon(LoadIconA(nullptr, IDI_APPLICATION));
        m_icons.push_back(*icon);
        return S_OK;
    }
    ~CStandinProject()
    {
        if (m_icons.empty()) return;
        int alive = 0;
        for (HICON icon : m_icons) {
            ICONINFO info = {};
            if (GetIconInfo(icon, &info)) {
                ++alive;
                DeleteObject(info.hbmColor);
                DeleteObject(info.hbmMask);
            }
        }
        Record("icons left " + std::to_string(alive));
    }
    STDMETHODIMP GetName(BSTR* name) override
    {
        *name = SysAllocString(m_name);
        return S_OK;
    }
    STDMETHODIMP GetDescription(BSTR* text) override
    {
        *text = SysAllocString(L"A stand-in project type");
        return S_OK;
    }
    STDMETHODIMP SetWillBeLoaded(long) override { return S_OK; }
    STDMETHODIMP GetLastError() override { return E_FAIL; }
    STDMETHODIMP UpdateMRUList() override
    {
        if (m_window && IsWindow(m_hwnd)) m_window->Event("recent files updated");
        return S_OK;
    }

    STDMETHODIMP CreateOwnWindow(HWND parent) override
    {
        char fail[8] = "";
        if (GetEnvironmentVariableA("TB_STANDIN_FAIL_WINDOW", fail, sizeof(fail))) return E_FAIL;
        auto* window = new CStandinWindow(static_cast<IProject*>(this));
        if (!window->Create(parent, "Stand-in")) {
            delete window;
            return E_FAIL;
        }
        m_window = window;
        m_hwnd = window->m_hWnd;
        return S_OK;
    }
    STDMETHODIMP GetOwnWindow(HWND* window) override
    {
        *window = m_hwnd;
        return m_hwnd ? S_OK : E_FAIL;
    }

    STDMETHODIMP BindLogger(IUnknown*) override { return Bind("logger"); }
    STDMETHODIMP BindTranslator(IUnknown*) override { return Bind("translator"); }
    STDMETHODIMP BindSettings(IUnknown*) override { return Bind("settings"); }
    STDMETHODIMP GetSettingsPage(ISettingsPage** page) override
    {
        *page = nullptr;
        return E_FAIL;
    }

protected:
    virtual HRESULT Bind(const char*) { return S_OK; }

    const wchar_t* m_name = L"Stand-in";

private:
    CStandinWindow* m_window = nullptr;
    HWND m_hwnd = nullptr;
    std::vector<HICON> m_icons;
};

class CSecondStandinProject : public CStandinProject {
public:
    CSecondStandinProject() { m_name = L"Second stand-in"; }

protected:
    // TB_SECOND_STANDIN_REFUSES names the service this type will not take.
    HRESULT Bind(const char* service) override
    {
        char refused[32] = "";
        GetEnvironmentVariableA("TB_SECOND_STANDIN_REFUSES", refused, sizeof(refused));
        return lstrcmpA(refused, service) == 0 ? E_FAIL : S_OK;
    }
};

const com::ClassEntry kClasses[] = {
    {&CLSID_StandinProject, com::Creator<CStandinProject>, "StandinProject.Project", "Stand-in project",
     "Apartment"},
    {&CLSID_SecondStandinProject, com::Creator<CSecondStandinProject>, "StandinProject.Second",
     "Second stand-in project", "Apartment"},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

COM_INPROC_SERVER_EXPORTS(kClasses, false)
