// EngineProbe.exe: see probe_ids.h.
#include "probe_ids.h"
#include <engine.h>
#include <com/connection_point.h>
#include <com/external_connection.h>
#include <com/local_factory.h>
#include <com/local_registration.h>
#include "devices/device.h"
#include "jobs/job_messenger.h"
#include "devices/message_callback_point.h"
#include <string>

namespace {

// The probe's real device, made on the main thread.
com::ComObject<CCoDevice>* g_device = nullptr;

bool StartDevice()
{
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof(temp), temp);
    const std::string folder = std::string(temp) + "EngineProbeDrives";
    char text[1024] = "";
    uint32_t systemError = 0;
    if (DiscLayer_Startup(folder.c_str(), text, sizeof(text), &systemError) != DISC_OK) return false;
    if (FAILED(com::CreateObjectImpl<CCoDevice>(&g_device))) return false;
    return g_device->InitDevice(0x00000001);
}

void StopDevice()
{
    if (g_device) g_device->Release();
    g_device = nullptr;
    char text[1024] = "";
    uint32_t systemError = 0;
    DiscLayer_Shutdown(text, sizeof(text), &systemError);
}

DWORD WINAPI DeviceJob(void* device)
{
    CJobMessenger job(static_cast<CCoDevice*>(device)->WindowHandle());
    JOB_STATE_RECORD record = {0, JOB_ERASE};
    job.Prepare(&record);
    const bool goOn = job.Ask(ASK_INSERT_DISC) == 1;
    if (goOn) job.CheckMedium();
    job.End(&record, goOn ? S_OK : SCARD_W_CANCELLED_BY_USER);
    job.ReleaseDevice();
    return 0;
}

// An object the probe hands out and recognises when it comes back.
class CProbeToken : public com::ObjectRoot<com::MultiThreadModel>,
                    public ISimpleRawPtr,
                    public com::ExternalConnection {
public:
    COM_INTERFACES_BEGIN(CProbeToken)
        COM_INTERFACE(ISimpleRawPtr)
        COM_INTERFACE(IExternalConnection)
    COM_INTERFACES_END()
    STDMETHODIMP_(ULONG_PTR) GetRawPtr() override { return reinterpret_cast<ULONG_PTR>(this); }
};

class CCoEngineProbe : public com::ObjectRoot<com::MultiThreadModel>,
                       public IWriter,
                       public IObjectCreator,
                       public com::ConnectionPointContainer,
                       public com::ExternalConnection {
public:
    COM_INTERFACES_BEGIN(CCoEngineProbe)
        COM_INTERFACE(IWriter)
        COM_INTERFACE(IObjectCreator)
        COM_INTERFACE(IConnectionPointContainer)
        COM_INTERFACE(IExternalConnection)
    COM_INTERFACES_END()

    STDMETHODIMP Erase(unsigned long cookie, unsigned long, unsigned int) override
    {
        m_cookie = cookie;
        static_cast<IWriter*>(this)->AddRef();
        HANDLE thread = CreateThread(nullptr, 0, Worker, this, 0, nullptr);
        if (!thread) {
            static_cast<IWriter*>(this)->Release();
            return E_FAIL;
        }
        CloseHandle(thread);
        return S_OK;
    }

    STDMETHODIMP BurnData(unsigned long, unsigned long, IUnknown* source, unsigned long) override
    {
        if (!source) return E_POINTER;
        ISimpleRawPtr* raw = nullptr;
        if (FAILED(source->QueryInterface(IID_ISimpleRawPtr, reinterpret_cast<void**>(&raw))))
            return E_NOINTERFACE;
        bool ours = false;
        for (ULONG_PTR token : m_tokens) ours = ours || token == raw->GetRawPtr();
        raw->Release();
        return ours ? S_OK : S_FALSE;
    }

    STDMETHODIMP CreateObject(REFCLSID clsid, IUnknown** object) override
    {
        if (IsEqualCLSID(clsid, CLSID_CoDevices)) {
            if (!g_device) return E_FAIL;
            return g_device->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(object));
        }
        com::ComObject<CProbeToken>* token = nullptr;
        HRESULT hr = com::CreateObjectImpl<CProbeToken>(&token);
        if (FAILED(hr)) return hr;
        com::ObjectLock<CCoEngineProbe> lock(this);
        m_tokens.push_back(token->GetRawPtr());
        hr = token->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(object));
        token->Release();
        return hr;
    }

    STDMETHODIMP BurnImage(unsigned long cookie, unsigned long speed, BSTR, unsigned long buffer) override
    {
        if (!g_device) return E_FAIL;
        return g_device->StartJob(cookie, speed, buffer, DeviceJob, g_device);
    }
    STDMETHODIMP BurnDVDVideo(unsigned long, unsigned long, BSTR, unsigned long) override { return E_NOTIMPL; }
    STDMETHODIMP BurnAudio(unsigned long, unsigned long, IUnknown*, unsigned long) override { return E_NOTIMPL; }
    STDMETHODIMP Cancel() override { return S_OK; }

private:
    static DWORD WINAPI Worker(void* self)
    {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        auto* probe = static_cast<CCoEngineProbe*>(self);
        const unsigned cookie = probe->m_cookie;
        probe->m_events.FirePost(DM_ERASEPREPARE, cookie, 0);
        unsigned answer = ASK_INSERT_DISC;
        if (FAILED(probe->m_events.FireSendRetVal(&answer, DM_QUESTION, cookie, ASK_INSERT_DISC))) answer = 0;
        probe->m_events.FirePost(DM_ERASEEND, cookie, answer);
        static_cast<IWriter*>(probe)->Release();
        CoUninitialize();
        return 0;
    }

    MessageCallbackPoint m_events{this};
    std::vector<ULONG_PTR> m_tokens;  // addresses only: the tokens may be gone
    volatile unsigned m_cookie = 0;
};

const com::LocalClassEntry kClasses[] = {
    {&CLSID_CoEngineProbe, com::LocalClassObject<CCoEngineProbe>, "EngineProbe.CoEngineProbe",
     "CoEngineProbe Class", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};
const com::LocalServerIdentity kIdentity = {&APPID_EngineProbe, "EngineProbe", "ENGINEPROBE.EXE"};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int)
{
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    int result = 0;
    if (lstrcmpiA(arguments, "/RegServer") == 0) {
        result = com::RegisterLocalServer(kClasses, kIdentity);
    } else if (lstrcmpiA(arguments, "/UnregServer") == 0) {
        result = com::UnregisterLocalServer(kClasses, kIdentity);
    } else {
        // Ends soon after its last client: the tests start it afresh.
        com::LocalServerModule module(2000);
        module.StartMonitor();
        StartDevice();
        if (SUCCEEDED(module.RegisterClassObjects(kClasses))) result = com::LocalServerModule::RunMessageLoop();
        module.RevokeClassObjects();
        StopDevice();
    }
    CoUninitialize();
    return result;
}
