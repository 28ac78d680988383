// Creation of a project's components and window, and its close.
#include "project_base.h"
#include <shared/settings_helper.h>
#include "project_ids.h"
#include "project_ui.h"
#include "wait_dialog.h"
#include <message_box.h>
#include <shared/guid_text.h>
#include <shared/log.h>
#include <shared/variant_safearray.h>
#include <com/guard.h>
#include <cstdio>

namespace {

// Project windows made in this module so far; titles count from 1.
int g_projectWindowCounter = 0;

}  // namespace

HRESULT CProjectBase::CreateComponents()
{
    m_activeFrame = 0;
    return CreateFrameTable(TypeInfo(), *this, Self());
}

void CProjectBase::ReleaseComponents()
{
    m_taskPane.Reset();
    m_firstFrame.Reset();
    m_burningFrame.Reset();
}

// --- IOwnWindow ---

STDMETHODIMP CProjectBase::CreateOwnWindow(HWND a_hWndParent)
{
    return com::Guarded("CreateOwnWindow", [&] {
        CLogFunctionScope scope("CreateOwnWindow");
        if (!::IsWindow(a_hWndParent) || IsWindow()) return E_INVALIDARG;
        // The window's menu is there before its frames, which add their
        // panes and actions to it while their windows are made.
        if (!m_menu) m_menu = ::LoadMenuA(com::ModuleInstance(), MAKEINTRESOURCEA(TypeInfo().menuId));
        if (!m_accelerators)
            m_accelerators = ::LoadAcceleratorsA(com::ModuleInstance(), MAKEINTRESOURCEA(IDR_PROJECT_ACCELERATORS));
        // The window holds the project until its last message.
        Self()->AddRef();
        m_windowHoldsProject = true;
        RECT client;
        ::GetClientRect(a_hWndParent, &client);
        int width = client.right * 3 / 4, height = client.bottom * 3 / 4;
        int offset = (g_projectWindowCounter % 8) * ::GetSystemMetrics(SM_CYCAPTION);
        RECT place = {offset, offset, offset + (width > MIN_TRACK_WIDTH ? width : MIN_TRACK_WIDTH),
                      offset + (height > MIN_TRACK_HEIGHT ? height : MIN_TRACK_HEIGHT)};
        // Made hidden: the main frame shows it once it is ready (after a
        // successful load when a file is opened).
        HWND window = Create(a_hWndParent, &place, "",
                             WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW, WS_EX_MDICHILD);
        if (!window) {
            // A window that was never made has no final message.
            if (m_windowHoldsProject) {
                m_windowHoldsProject = false;
                Self()->Release();
            }
            return E_FAIL;
        }
        SetWindowIcons();
        return S_OK;
    });
}

void CProjectBase::SetWindowIcons()
{
    const int sizes[2] = {::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CXICON)};
    const WPARAM kinds[2] = {ICON_SMALL, ICON_BIG};
    for (int i = 0; i < 2; ++i) {
        if (!m_windowIcons[i])
            m_windowIcons[i] = static_cast<HICON>(::LoadImageA(com::ModuleInstance(), MAKEINTRESOURCEA(IDI_PROJECT),
                                                               IMAGE_ICON, sizes[i], sizes[i], LR_DEFAULTCOLOR));
        if (m_windowIcons[i]) SendMessage(WM_SETICON, kinds[i], reinterpret_cast<LPARAM>(m_windowIcons[i]));
    }
}

STDMETHODIMP CProjectBase::GetOwnWindow(HWND* a_hWndRet)
{
    if (!a_hWndRet) return E_POINTER;
    *a_hWndRet = m_hWnd;
    return S_OK;
}

// --- the window's creation ---

LRESULT CProjectBase::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    HRESULT hr = com::Guarded("OnCreate", [&] {
        CWaitDialog wait(::GetParent(m_hWnd), LangStr(IDS_INITIALIZING));
        return InternalCreateProject();
    });
    m_lastError = hr;
    return FAILED(hr) ? -1 : 0;
}

HRESULT CProjectBase::InternalCreateProject()
{
    CLogFunctionScope scope("InternalCreateProject");
    HRESULT hr = PreCreateFrameWindows();
    if (SUCCEEDED(hr)) {
        RECT client = GetClientRect();
        if (!m_splitter.Create(m_hWnd, &client, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN)) {
            hr = HRESULT_FROM_WIN32(::GetLastError());
            LogFailure("m_wndSplitter.Create()", ::GetLastError());
            if (SUCCEEDED(hr)) hr = E_FAIL;
        }
    }
    if (SUCCEEDED(hr)) hr = BindFrames();
    if (SUCCEEDED(hr)) hr = SendButtonsPos();
    if (SUCCEEDED(hr)) hr = CreateComponentWindows();
    if (SUCCEEDED(hr)) {
        m_splitter.SetSplitterPanes(m_taskPaneWindow, m_frameWindows[0], false);
        m_splitter.SetSplitterPos(INITIAL_SPLITTER_POS);
        m_splitter.SetDefaultWidth(INITIAL_SPLITTER_POS);
        m_splitter.UpdateSplitterLayout();
        ::ShowWindow(m_splitter, SW_SHOWNORMAL);
        ::ShowWindow(m_taskPaneWindow, SW_SHOWNORMAL);
        if (m_menu) CProjectUI::ModifyAndTranslateMenu(m_menu, GuidToString(ProjectClsid()));
        hr = PostCreateFrameWindows();
    }
    if (FAILED(hr)) LogFailure("InternalCreateProject", hr);
    m_lastError = hr;
    return hr;
}

HRESULT CProjectBase::PreCreateFrameWindows()
{
    CLogFunctionScope scope("PreCreateFrameWindows");
    char title[256];
    std::snprintf(title, sizeof title, "%s#%i", LangStr(IDS_PROJECT_SHORT_NAME).c_str(), ++g_projectWindowCounter);
    SetTitle(title);
    return S_OK;
}

HRESULT CProjectBase::BindFrames()
{
    for (int i = 0; i < FRAME_COUNT; ++i) {
        if (!Frame(i)) continue;
        HRESULT hr = BindServicesTo(Frame(i));
        if (FAILED(hr)) {
            LogFailure("BindServicesInto()", hr);
            return hr;
        }
    }
    return S_OK;
}

HRESULT CProjectBase::SendButtonsPos()
{
    CNextButtonPosHinter hinter;
    if (!hinter.Measure()) return S_OK;
    CVariantSafearray data(4);
    data.Create();
    HRESULT hr = data.Prepare({{VT_UI4, hinter.HorizontalMargin()},
                               {VT_UI4, hinter.VerticalMargin()},
                               {VT_UI4, hinter.Width()},
                               {VT_UI4, hinter.Height()}});
    if (FAILED(hr)) return hr;
    for (int i = 0; i < FRAME_COUNT; ++i) SendToComponent(Frame(i), PCID_SET_BUTTONS_POS, data);
    return S_OK;
}

HRESULT CProjectBase::CreateComponentWindow(FrameRole role, IUnknown* component, HWND* window)
{
    if (!component) return S_OK;
    long mode = 0;
    com::ComPtr<IOwnWindowEx> ownEx;
    HRESULT hr;
    if (SUCCEEDED(component->QueryInterface(IID_IOwnWindowEx, reinterpret_cast<void**>(&ownEx))) &&
        SUCCEEDED(GetOwnWindowMode(role, &mode))) {
        hr = ownEx->CreateOwnWindowEx(m_splitter, mode);
        if (SUCCEEDED(hr)) hr = ownEx->GetOwnWindow(window);
        return hr;
    }
    com::ComPtr<IOwnWindow> own;
    if (FAILED(component->QueryInterface(IID_IOwnWindow, reinterpret_cast<void**>(&own)))) return S_OK;
    hr = own->CreateOwnWindow(m_splitter);
    if (SUCCEEDED(hr)) hr = own->GetOwnWindow(window);
    return hr;
}

HRESULT CProjectBase::CreateComponentWindows()
{
    HRESULT hr = CreateComponentWindow(FrameRole::FirstFrame, m_firstFrame, &m_frameWindows[0]);
    if (FAILED(hr)) {
        LogFailure("first frame's CreateOwnWindow()", hr);
        return hr;
    }
    hr = CreateComponentWindow(FrameRole::TaskPane, m_taskPane, &m_taskPaneWindow);
    if (FAILED(hr)) {
        LogFailure("task panel's CreateOwnWindow()", hr);
        return hr;
    }
    hr = CreateComponentWindow(FrameRole::BurningFrame, m_burningFrame, &m_frameWindows[1]);
    if (FAILED(hr)) LogFailure("burning frame's CreateOwnWindow()", hr);
    return hr;
}

HRESULT CProjectBase::PostCreateFrameWindows()
{
    CLogFunctionScope scope("PostCreateFrameWindows");
    ActivateFrame(m_firstFrame);
    m_actions.UpdateActionStates();
    return S_OK;
}

// --- the close ---

bool CProjectBase::MayClose()
{
    for (HWND window : m_frameWindows)
        if (::IsWindow(window) && ::SendMessageA(window, WM_CLOSE, 0, 0) != 0) return false;
    bool modified = false;
    for (int i = 0; i < FRAME_COUNT && !modified; ++i) {
        com::ComPtr<ILoadSave> frame;
        long changed = 0;
        if (Frame(i) && SUCCEEDED(Frame(i)->QueryInterface(IID_ILoadSave, reinterpret_cast<void**>(&frame))) &&
            SUCCEEDED(frame->GetModified(&changed)) && changed)
            modified = true;
    }
    if (!modified) return true;
    char text[1024];
    std::snprintf(text, sizeof text, LangStr(IDS_SAVE_CHANGES).c_str(), m_title.c_str());
    unsigned long answer = CommonMessageBox(text, MBX_YES | MBX_NO | MBX_CANCEL | MBX_ICONQUESTION);
    if (answer & MBX_YES) return SUCCEEDED(SaveProject());
    return (answer & MBX_NO) != 0;
}

LRESULT CProjectBase::OnClose(UINT, WPARAM, LPARAM, BOOL& handled)
{
    bool mayClose = true;
    HRESULT hr = com::Guarded("OnClose", [&] {
        com::ComPtr<IProject> self(this);
        mayClose = MayClose();
        return S_OK;
    });
    if (FAILED(hr) || !mayClose) return 1;
    handled = FALSE;  // the MDI child's default handling destroys the window
    return 0;
}
