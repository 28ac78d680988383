#include "project_load_save.h"
#include "project_base.h"
#include <shared/settings_helper.h>
#include "project_ids.h"
#include "project_ui.h"
#include <message_box.h>
#include <shared/guid_text.h>
#include <shared/log.h>
#include <shared/recent_file_list.h>
#include <com/bstr.h>
#include <com/ptr.h>
#include <commdlg.h>
#include <cstdio>

namespace {

const char kActiveFrame[] = "active_frame";
// The window parameters in the order they are written and read.
const char* const kWindowValues[] = {"xpos", "ypos", "width", "height", "window_style", "splitter_pos"};
const HRESULT CANCELLED_BY_USER = static_cast<HRESULT>(0x8010006E);

// The file name without folders and without its extension.
std::string TitleOfPath(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

HRESULT CProjectLoadSave::CreateLoadSave(const std::string& path, bool forWriting, ILoadSaveImpl** file)
{
    CLogFunctionScope scope("CreateLoadSave");
    HRESULT hr = CoCreateInstance(CLSID_CoLoadSaveImpl, nullptr, CLSCTX_ALL, IID_ILoadSaveImpl,
                                  reinterpret_cast<void**>(file));
    if (FAILED(hr)) {
        LogFailure("a_compLoadSave.CoCreateInstance()", hr);
        return hr;
    }
    return (*file)->OpenFile(com::Bstr(path), forWriting ? 1 : 0);
}

int CProjectLoadSave::GetLoadSaveFrames(LoadSaveFrame frames[2])
{
    CLogFunctionScope scope("GetLoadSaveFrames");
    int count = 0;
    for (const FrameTableRow* row = m_project.TypeInfo().frames; row->clsid; ++row) {
        if (row->role == FrameRole::TaskPane) continue;
        IUnknown* component = row->role == FrameRole::FirstFrame ? m_project.FirstFrame() : m_project.BurningFrame();
        ILoadSave* frame = nullptr;
        if (count < 2 && component &&
            SUCCEEDED(component->QueryInterface(IID_ILoadSave, reinterpret_cast<void**>(&frame))))
            frames[count++] = {row->clsid, frame};
    }
    return count;
}

void CProjectLoadSave::ReleaseFrames(LoadSaveFrame frames[2], int count)
{
    for (int i = 0; i < count; ++i) frames[i].frame->Release();
}

HRESULT CProjectLoadSave::FrameSaveData(REFCLSID clsid, ILoadSave* frame, ISaveableSection* section)
{
    CLogFunctionScope scope("FrameSaveData");
    if (!frame || !section) {
        LogNull("a_pFrameLoadSave or a_pLoadSaveImpl");
        return E_POINTER;
    }
    com::ComPtr<ISaveableSection> child;
    HRESULT hr = section->CreateChild(com::Bstr(GuidToSectionName(clsid)), &child);
    if (FAILED(hr)) return hr;
    return frame->Save(child);
}

HRESULT CProjectLoadSave::FrameLoadData(REFCLSID clsid, ILoadSave* frame, ILoadableSection* section)
{
    CLogFunctionScope scope("FrameLoadData");
    if (!section) {
        LogNull("a_pLoadableSection");
        return E_POINTER;
    }
    com::ComPtr<ILoadableSection> child;
    HRESULT hr = section->GetChildByName(com::Bstr(GuidToSectionName(clsid)), &child);
    if (FAILED(hr)) return hr;
    return frame->Load(child);
}

HRESULT CProjectLoadSave::SaveFrames(ISaveableSection* section)
{
    CLogFunctionScope scope("SaveFrames");
    LoadSaveFrame frames[2];
    int count = GetLoadSaveFrames(frames);
    HRESULT hr = S_OK;
    for (int i = 0; i < count && SUCCEEDED(hr); ++i) hr = FrameSaveData(*frames[i].clsid, frames[i].frame, section);
    ReleaseFrames(frames, count);
    return hr;
}

HRESULT CProjectLoadSave::LoadFrames(ILoadableSection* section)
{
    CLogFunctionScope scope("LoadFrames");
    LoadSaveFrame frames[2];
    int count = GetLoadSaveFrames(frames);
    HRESULT hr = S_OK;
    for (int i = 0; i < count && SUCCEEDED(hr); ++i) hr = FrameLoadData(*frames[i].clsid, frames[i].frame, section);
    ReleaseFrames(frames, count);
    return hr;
}

HRESULT CProjectLoadSave::PostSaveFrames(ISaveableSection* section)
{
    CLogFunctionScope scope("PostSaveFrames");
    HRESULT hr = section->SaveDWORD(com::Bstr(kActiveFrame), m_project.ActiveFrameIndex());
    if (FAILED(hr)) {
        LogFailure("SaveDWORD(g_sActiveFrame)", hr);
        return hr;
    }
    RECT r = m_project.GetRectInParent();
    DWORD values[] = {static_cast<DWORD>(r.left),
                      static_cast<DWORD>(r.top),
                      static_cast<DWORD>(r.right - r.left),
                      static_cast<DWORD>(r.bottom - r.top),
                      m_project.GetStyle(),
                      static_cast<DWORD>(m_project.Splitter().GetSplitterPos())};
    for (size_t i = 0; i < sizeof values / sizeof values[0]; ++i) {
        hr = section->SaveDWORD(com::Bstr(kWindowValues[i]), values[i]);
        if (FAILED(hr)) {
            LogFailure("saving DWORD of one of the window parameters", hr);
            return hr;
        }
    }
    return S_OK;
}

HRESULT CProjectLoadSave::PostLoadFrames(ILoadableSection* section)
{
    CLogFunctionScope scope("PostLoadFrames");
    unsigned long active = 0;
    HRESULT hr = section->LoadDWORD(com::Bstr(kActiveFrame), &active);
    if (FAILED(hr)) {
        LogFailure("LoadDWORD(g_sActiveFrame)", hr);
        return hr;
    }
    if (active < 2) m_project.ActivateFrame(m_project.Frame(static_cast<int>(active)));
    m_project.SetTitle(TitleOfPath(m_project.FilePath()));

    unsigned long values[6];
    for (size_t i = 0; i < 6; ++i) {
        hr = section->LoadDWORD(com::Bstr(kWindowValues[i]), &values[i]);
        if (FAILED(hr)) {
            LogFailure("loading DWORD of one of the window parameters", hr);
            return S_OK;
        }
    }
    DWORD style = values[4];
    if (style & WS_MAXIMIZE)
        ::SendMessageA(m_project.MdiClient(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(m_project.m_hWnd), 0);
    else if (style & WS_MINIMIZE)
        ::SendMessageA(m_project.MdiClient(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(m_project.m_hWnd), 0);
    else
        ::SetWindowPos(m_project, nullptr, static_cast<int>(values[0]), static_cast<int>(values[1]),
                       static_cast<int>(values[2]), static_cast<int>(values[3]), SWP_NOZORDER | SWP_FRAMECHANGED);
    m_project.Splitter().SetSplitterPos(static_cast<int>(values[5]));
    m_project.Splitter().MoveCollapseButton();
    return S_OK;
}

HRESULT CProjectLoadSave::Save()
{
    CLogFunctionScope scope("Save");
    if (m_project.FilePath().empty()) return SaveAs();
    std::string path = m_project.FilePath();
    com::ComPtr<ILoadSaveImpl> file;
    com::ComPtr<ISaveableSection> section;
    HRESULT hr = CreateLoadSave(path, true, &file);
    if (SUCCEEDED(hr)) {
        IID clsid = m_project.ProjectClsid();
        hr = file->GetSectionForWriting(&clsid, &section);
    }
    if (SUCCEEDED(hr)) hr = SaveFrames(section);
    if (SUCCEEDED(hr)) hr = PostSaveFrames(section);
    if (SUCCEEDED(hr)) hr = file->SaveFile();
    PostSave(hr, path);
    return hr;
}

std::string CProjectLoadSave::FileFilter() const
{
    const ProjectTypeInfo& type = m_project.TypeInfo();
    char filter[1024];
    std::snprintf(filter, sizeof filter, "%s (*.%s)|*.%s|%s (*.*)|*.*||",
                  m_project.LangStr(type.fileDescriptionId).c_str(), type.extension, type.extension,
                  m_project.LangStr(IDS_ALL_FILES).c_str());
    std::string text = filter;
    // Step by characters of the code page: a trail byte may look like '|'.
    for (size_t i = 0; i < text.size(); i += IsDBCSLeadByte(static_cast<BYTE>(text[i])) ? 2 : 1)
        if (text[i] == '|') text[i] = '\0';
    return text;
}

HRESULT CProjectLoadSave::SaveAs()
{
    CLogFunctionScope scope("SaveAs");
    std::string filter = FileFilter();
    char file[MAX_PATH * 2] = "";
    lstrcpynA(file, m_project.Title().c_str(), sizeof file);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_project;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrDefExt = m_project.TypeInfo().extension;
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!GetSaveFileNameA(&ofn)) {
        LogPrintf("Saving cancelled by user");
        return CANCELLED_BY_USER;
    }
    std::string oldPath = m_project.FilePath(), oldTitle = m_project.Title();
    m_project.SetFilePath(file);
    m_project.SetTitle(TitleOfPath(file));
    HRESULT hr = Save();
    if (FAILED(hr)) {
        m_project.SetFilePath(oldPath);
        m_project.SetTitle(oldTitle);
    }
    return hr;
}

HRESULT CProjectLoadSave::LoadImpl(const std::string& path)
{
    CLogFunctionScope scope("LoadImpl");
    m_project.SetFilePath(path);
    com::ComPtr<ILoadSaveImpl> file;
    com::ComPtr<ILoadableSection> section;
    HRESULT hr = CreateLoadSave(path, false, &file);
    if (SUCCEEDED(hr)) {
        IID clsid = m_project.ProjectClsid();
        hr = file->GetSectionForReading(&clsid, &section);
    }
    if (SUCCEEDED(hr)) hr = LoadFrames(section);
    if (SUCCEEDED(hr)) hr = PostLoadFrames(section);
    return hr;
}

void CProjectLoadSave::PostSave(HRESULT hr, const std::string& path)
{
    if (FAILED(hr)) {
        CommonMessageBox(m_project.LangStr(IDS_SAVE_FAILED), MBX_OK | MBX_ICONWARNING);
    } else {
        CRecentFileList list(CRecentFileList::KeyFromSettings());
        list.Read();
        list.Add(path);
        list.Write();
        if (m_project.IsWindow()) {
            CProjectUI::UpdateRecentFiles(m_project.ProjectMenu());
            ::SendMessageA(m_project.MainFrame(), WM_RECENTFILESCHANGED, 0, 0);
        }
    }
    LoadSaveFrame frames[2];
    int count = GetLoadSaveFrames(frames);
    for (int i = 0; i < count; ++i) frames[i].frame->OnSaveCompleted(hr);
    ReleaseFrames(frames, count);
}
