#include "frame_fixture.h"
#include "list_view.h"
#include "commands.h"
#include "drubeck.h"
#include "unix_tools.h"
#include <com/bstr.h>
#include <shared/variant_safearray.h>
#include <commctrl.h>
#include <cstdlib>

LRESULT CHostWindow::OnSize(UINT, WPARAM, LPARAM, BOOL&)
{
    RECT client = GetClientRect();
    if (HWND child = GetWindow(m_hWnd, GW_CHILD)) MoveWindow(child, 0, 0, client.right, client.bottom, TRUE);
    return 0;
}

CTestServices::CTestServices()
{
    m_logger.CoCreate(CLSID_CoLogger, IID_ILogger, CLSCTX_INPROC_SERVER);
    m_translator.CoCreate(CLSID_CoTranslator, IID_ITranslator, CLSCTX_INPROC_SERVER);
    m_settings.CoCreate(CLSID_CoSettings, IID_ISettings, CLSCTX_INPROC_SERVER);
    if (m_logger) m_logger->Init(com::Bstr(m_folder.File("frames.log")));
    if (m_translator) m_translator->Init(com::Bstr(m_folder.File("frames.lng")));
    if (m_settings) {
        m_settings->Init(com::Bstr(m_folder.File("frames.cfg")));
        m_settings->SetString(com::Bstr("_00000000-0000-0000-C000-000000000046_"), com::Bstr("ApptypeData"),
                              com::Bstr("Title"), com::Bstr("Tavell Burner"));
    }
}

HRESULT CTestServices::BindInto(IUnknown* component)
{
    com::ComPtr<ISysServiceBinder> binder;
    HRESULT hr = component->QueryInterface(IID_ISysServiceBinder, reinterpret_cast<void**>(&binder));
    if (FAILED(hr)) return hr;
    hr = binder->BindLogger(m_logger);
    if (SUCCEEDED(hr)) hr = binder->BindSettings(m_settings);
    if (SUCCEEDED(hr)) hr = binder->BindTranslator(m_translator);
    return hr;
}

CFrameUnderTest::CFrameUnderTest(CTestServices& services, int left, const Buttons* buttons)
{
    com::ComObject<CStubProject>* project = nullptr;
    if (FAILED(com::CreateObjectImpl(&project))) return;
    m_project.Attach(project);
    if (FAILED(m_frame.CoCreate(CLSID_CoDrubeck, IID_IUnknown, CLSCTX_INPROC_SERVER))) return;
    if (FAILED(services.BindInto(m_frame))) return;
    if (FAILED(m_frame.As(IID_ICommandPerformer, &m_performer))) return;
    m_performer->SetPartnerNoAddRef(static_cast<ICommandPerformer*>(m_project.Get()));
    m_project->SetFrame(m_performer);
    if (buttons) Command(PCID_SET_BUTTONS_POS, {long(buttons->marginX), long(buttons->marginY), long(buttons->width),
                                                long(buttons->height)});
    m_hostWindow = std::make_unique<CHostWindow>();
    RECT place = {left, 10, left + 640, 10 + 520};
    m_host = m_hostWindow->Create(nullptr, &place, "Burning frame", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
    com::ComPtr<IOwnWindow> own;
    if (!m_host || FAILED(m_frame.As(IID_IOwnWindow, &own)) || FAILED(own->CreateOwnWindow(m_host))) return;
    own->GetOwnWindow(&m_window);
    ShowWindow(m_window, SW_SHOW);
    ShowWindow(m_host, SW_SHOW);
    SendMessageA(m_host, WM_SIZE, 0, 0);
    UpdateWindow(m_host);
}

CFrameUnderTest::~CFrameUnderTest()
{
    // As a project does: the windows go first, then the component.
    if (m_host) DestroyWindow(m_host);
    m_performer.Reset();
    m_frame.Reset();
    if (m_project) m_project->SetFrame(nullptr);
}

HRESULT CFrameUnderTest::Command(unsigned int id, SAFEARRAY* data)
{
    return m_performer->InvokeCommand(static_cast<ICommandPerformer*>(m_project.Get()), IID_NULL, id, data);
}

HRESULT CFrameUnderTest::Command(unsigned int id, std::initializer_list<long> numbers)
{
    CVariantSafearray data(static_cast<ULONG>(numbers.size()));
    data.Create();
    SAFEARRAY* array = data.Get();
    LONG index = 0;
    for (long n : numbers) {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_UI4;
        V_UI4(&v) = static_cast<ULONG>(n);
        SafeArrayPutElement(array, &index, &v);
        ++index;
    }
    return Command(id, array);
}

void CFrameUnderTest::Click(int id) { SendMessageA(Control(id), BM_CLICK, 0, 0); }

void CFrameUnderTest::Check(int id, bool checked)
{
    SendMessageA(Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CFrameUnderTest::SelectDrive(char letter)
{
    std::vector<std::string> items = ComboItems(8198);
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].empty() || items[i][0] != letter) continue;
        SendMessageA(Control(8198), CB_SETCURSEL, i, 0);
        SendMessageA(m_window, WM_COMMAND, MAKEWPARAM(8198, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Control(8198)));
        return true;
    }
    return false;
}

void CFrameUnderTest::SelectSpeedItem(int item)
{
    SendMessageA(Control(8199), CB_SETCURSEL, item, 0);
}

std::vector<std::string> CFrameUnderTest::ComboItems(int id) const
{
    std::vector<std::string> items;
    const int count = static_cast<int>(SendMessageA(Control(id), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[512] = "";
        SendMessageA(Control(id), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

std::string CFrameUnderTest::ComboText(int id) const
{
    const LRESULT item = SendMessageA(Control(id), CB_GETCURSEL, 0, 0);
    if (item < 0) return "";
    char text[512] = "";
    SendMessageA(Control(id), CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::string> CFrameUnderTest::Log() const { return ListViewRows(Control(8196)); }

bool CFrameUnderTest::Logged(const std::string& line) const { return Count(line) > 0; }

size_t CFrameUnderTest::Count(const std::string& line) const
{
    size_t n = 0;
    for (const std::string& l : Log())
        if (l == line || (line.back() == '*' && l.compare(0, line.size() - 1, line, 0, line.size() - 1) == 0)) ++n;
    return n;
}

int CFrameUnderTest::Position(int barId) const
{
    return static_cast<int>(SendMessageA(Control(barId), PBM_GETPOS, 0, 0));
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        // The condition is looked at after every message, so that a state
        // that lasts one message is seen.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            if (done()) return true;
        }
        if (done()) return true;
        if (GetTickCount() - start >= ms) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void Screenshot(const std::string& name, bool wait)
{
    const char* folder = std::getenv("TB_FRAME_SHOTS");
    if (!folder || !*folder) return;
    const std::string command = "import -window root '" + std::string(folder) + "/" + name + ".png'";
    if (!wait) {
        // Taken while the caller goes on pumping, so that the window is drawn.
        std::string line = "/bin/sh -c \"" + command + "\"";
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            if (pi.hProcess) CloseHandle(pi.hProcess);
            if (pi.hThread) CloseHandle(pi.hThread);
        }
        return;
    }
    PumpUntil([] { return false; }, 300);
    RunUnix(command + " >/dev/null 2>&1; echo done");
}
