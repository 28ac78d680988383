#include "run.h"
#include "application.h"
#include "main_frame.h"
#include "service_refs.h"
#include <com/ptr.h>
#include <engine/engine_stub_pins.h>
#include <shared/log.h>
#include <shared/services.h>
#include <commctrl.h>
#include <memory>
#include <new>

namespace {

// Start-up, with its failure texts caught where they are thrown and shown.
std::unique_ptr<CApplication> StartUp(HINSTANCE instance)
{
    const char* failure = nullptr;
    try {
        return std::make_unique<CApplication>(instance);
    } catch (const CStartupError& error) {
        failure = error.Text();
    } catch (const std::bad_alloc&) {
        failure = "Out of memory. Startup failed.";
    } catch (...) {
        failure = "Main module initialization error. Startup failed.";
    }
    ::MessageBoxA(nullptr, failure, "Error", MB_OK | MB_ICONSTOP);
    return nullptr;
}

int RunFrame(const char* commandLine, int show)
{
    wnd::MessageLoop loop;
    wnd::MessageLoop::Registration registered(loop);
    auto frame = std::make_unique<CMainFrame>(commandLine);
    if (!frame->CreateFrame()) return 0;
    com::ComPtr<IMessenger> messenger;
    if (g_compTranslator) messenger.QueryFrom(g_compTranslator, IID_IMessenger);
    if (messenger) messenger->SetMainWnd(frame->m_hWnd);
    ::ShowWindow(frame->m_hWnd, show);
    int code = loop.Run();
    messenger.Reset();
    return code;
}

}  // namespace

int Run(HINSTANCE instance, const char* commandLine, int show)
{
    std::unique_ptr<CApplication> application = StartUp(instance);
    if (!application) return -1;
    int code = 0;
    try {
        code = RunFrame(commandLine, show);
    } catch (...) {
        LogWarning("the main frame ended by an exception");
    }
    application.reset();  // shut-down
    return code;
}

int StartModuleMain(HINSTANCE instance, int show)
{
    ::OleInitialize(nullptr);
    PinEngineStubs();  // the sinks the frames hand to the engine
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    int code = Run(instance, ::GetCommandLineA(), show);
    ReleaseServices();
    ::OleUninitialize();
    return code;
}
