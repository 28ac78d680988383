// The frame's project side: new projects, opening project files and the
// recent-file list shared with the project windows.
#include "main_frame.h"
#include "common_settings.h"
#include "project_chooser.h"
#include "project_types.h"
#include "resource.h"
#include "wait_window.h"
#include <com/bstr.h>
#include <com/ptr.h>
#include <shared/log.h>
#include <shared/translator.h>
#include <window/file_dialog.h>
#include <cstdio>
#include <vector>

namespace {

const HRESULT CANCELLED_BY_USER = static_cast<HRESULT>(0x8010006E);

std::string CommonString(UINT id) { return LookUpLangStr(COMMON_LANG_SECTION, id); }

class CWaitCursor {
public:
    CWaitCursor() : m_old(::SetCursor(::LoadCursorA(nullptr, IDC_WAIT))) {}
    ~CWaitCursor() { ::SetCursor(m_old); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
private:
    HCURSOR m_old;
};

bool FileExists(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string CMainFrame::RecentFilesKey() const
{
    return GetCommonString("Application", "CompanyMainRegPath", "") + "\\" +
           GetCommonString("Application", "Title", "") + "\\Recent Document List";
}

LRESULT CMainFrame::OnFileNew(WORD, WORD, HWND, BOOL&)
{
    CWaitCursor cursor;
    com::ComPtr<IProject> project;
    if (ChooseProjectType(m_hWnd, &project) != S_OK) return 0;
    com::ComPtr<IOwnWindow> own;
    if (FAILED(project.As(IID_IOwnWindow, &own))) return 0;
    HWND before = MdiGetActive();
    if (SUCCEEDED(own->CreateOwnWindow(m_mdiClient))) {
        HWND window = nullptr;
        own->GetOwnWindow(&window);
        if (window) {
            ::ShowWindow(window, SW_SHOW);
            MdiActivate(window);
            if (!before && m_maximizeFirstChild) MdiMaximize(window);
        }
        return 0;
    }
    HRESULT error = project->GetLastError();
    if (error == CANCELLED_BY_USER) return 0;
    char text[512];
    std::snprintf(text, sizeof(text), CommonString(IDS_PROJECT_CREATION_FAILED).c_str(),
                  static_cast<unsigned>(error));
    FrameMessageBox(text, MB_ICONSTOP);
    return 0;
}

LRESULT CMainFrame::OnFileOpen(WORD, WORD, HWND, BOOL&)
{
    wnd::FileDialog dialog(true, BuildOpenFilter(RegisteredProjectTypes()), "qv");
    HWND owner = ::GetActiveWindow();
    if (dialog.DoModal(owner ? owner : m_hWnd)) OpenProjectFile(dialog.Path());
    return 0;
}

LRESULT CMainFrame::OnOpenProjectFileMessage(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (wParam) OpenProjectFile(reinterpret_cast<const char*>(wParam));
    return 0;
}

LRESULT CMainFrame::OnRecentFile(WORD, WORD id, HWND, BOOL& handled)
{
    const std::string path = m_recentFiles.FromCommand(id).substr(0, 4095);
    if (path.empty()) {
        handled = FALSE;
        return 0;
    }
    if (!FileExists(path)) {
        FrameMessageBox(CommonString(IDS_FILE_DOES_NOT_EXIST), MB_ICONINFORMATION);
        m_recentFiles.RemoveCommand(id);
        m_recentFiles.WriteToRegistry(RecentFilesKey());
        RefreshRecentFiles();
        return 0;
    }
    OpenProjectFile(path);
    return 0;
}

LRESULT CMainFrame::OnRecentFilesChanged(UINT, WPARAM, LPARAM, BOOL&)
{
    RefreshRecentFiles();
    return 0;
}

BOOL CMainFrame::OpenProjectFile(const std::string& path)
{
    CLogFunctionScope scope("CMainFrame::OpenProjectFile");
    CWaitCursor cursor;
    com::ComPtr<ILoadSaveImpl> reader;
    if (FAILED(reader.CoCreate(CLSID_CoLoadSaveImpl, IID_ILoadSaveImpl))) return FALSE;
    HRESULT hr = reader->OpenFile(com::Bstr(path), FALSE);
    if (FAILED(hr)) {
        LogFailure("ILoadSaveImpl::OpenFile()", hr);
        // Whatever kept the file from opening (not a save file at all, cut
        // short, nested too deep), the user hears that it is no project file.
        char text[512];
        std::snprintf(text, sizeof(text), CommonString(IDS_NOT_A_SAVE_FILE).c_str(),
                      GetCommonString("Application", "Title", "").c_str());
        FrameMessageBox(text, MB_ICONINFORMATION);
        return FALSE;
    }

    CProjectTypeList types = RegisteredProjectTypes();
    if (types.empty()) {
        FrameMessageBox(CommonString(IDS_NO_PROJECT_TYPES), MB_ICONSTOP);
        return FALSE;
    }
    const std::string* chosen = nullptr;
    for (const auto& type : types) {
        CLSID clsid;
        if (FAILED(::IIDFromString(com::Bstr(type.second), &clsid))) continue;
        com::ComPtr<ILoadableSection> section;
        if (SUCCEEDED(reader->GetSectionForReading(&clsid, &section))) {
            chosen = &type.second;
            break;
        }
    }
    if (!chosen) {
        FrameMessageBox(CommonString(IDS_UNKNOWN_FORMAT), MB_ICONSTOP);
        return FALSE;
    }
    com::ComPtr<IProject> project;
    if (FAILED(CreateProjectObject(chosen->c_str(), &project))) {
        FrameMessageBox(CommonString(IDS_PROJECT_CREATION), MB_ICONSTOP);
        return FALSE;
    }
    // A refused service does not keep the file from opening.
    BindServices(project);
    project->SetWillBeLoaded(TRUE);
    com::ComPtr<IOwnWindow> own;
    HWND window = nullptr;
    if (FAILED(project.As(IID_IOwnWindow, &own)) || FAILED(own->CreateOwnWindow(m_mdiClient)) ||
        FAILED(own->GetOwnWindow(&window)) || !window) {
        FrameMessageBox("Can't create project window!", MB_ICONSTOP);
        return FALSE;
    }

    HRESULT loaded;
    {
        CWaitWindow wait(m_hWnd, CommonString(IDS_LOADING_WAIT));
        loaded = project->Load(com::Bstr(path));
    }
    if (FAILED(loaded)) {
        FrameMessageBox(CommonString(IDS_LOADING_ERROR), MB_ICONSTOP);
        // Destroyed, not asked to close: a half-loaded project has nothing
        // worth offering to save.
        if (::IsWindow(window)) ::SendMessageA(m_mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
        return FALSE;
    }
    AddToRecentFiles(path);
    RefreshRecentFiles();
    ::ShowWindow(window, SW_SHOW);
    MdiActivate(window);
    return TRUE;
}

void CMainFrame::AddToRecentFiles(const std::string& path)
{
    if (m_recentFiles.Add(path)) m_recentFiles.WriteToRegistry(RecentFilesKey());
}

void CMainFrame::RefreshRecentFiles()
{
    m_recentFiles.ReadFromRegistry(RecentFilesKey());
    NotifyChildrenRecentFiles();
    ::SendMessageA(m_mdiClient, WM_MDIREFRESHMENU, 0, 0);
}

void CMainFrame::NotifyChildrenRecentFiles()
{
    for (HWND child = ::GetWindow(m_mdiClient, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        com::ComPtr<IProject> project;
        if (SUCCEEDED(QueryChildProject(child, &project))) project->UpdateMRUList();
        else ::SendMessageA(child, WM_RELOADRECENTFILES, 0, 0);
    }
}

HRESULT CMainFrame::QueryChildProject(HWND child, IProject** project)
{
    *project = nullptr;
    IUnknown* unknown = nullptr;
    LRESULT answered = ::SendMessageA(child, WM_QUERYPROJECTUNKNOWN, reinterpret_cast<WPARAM>(&unknown), 0);
    if (!answered || !unknown) {
        if (unknown) unknown->Release();
        return E_FAIL;
    }
    HRESULT hr = unknown->QueryInterface(IID_IProject, reinterpret_cast<void**>(project));
    unknown->Release();
    return SUCCEEDED(hr) ? S_OK : E_FAIL;
}
