// The real data editor hosted in a data-disc project whose task panel and
// burning frame are stubs, and what the tests do to it as a user would.
#pragma once
#include "project_fixture.h"
#include "data_editor_frame.h"
#include "data_project.h"
#include "dialog_driver.h"
#include "files.h"
#include "load_save.h"
#include <com/server.h>
#include <shellapi.h>
#include <shlobj.h>
#include <cstring>

// A CF_HDROP block as the shell makes it: ANSI names, `at` the drop point.
inline HGLOBAL DropBlock(const std::vector<std::string>& paths, POINT at = {5, 5})
{
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& p : paths) size += p.size() + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    BYTE* bytes = static_cast<BYTE*>(GlobalLock(block));
    DROPFILES* header = reinterpret_cast<DROPFILES*>(bytes);
    header->pFiles = sizeof(DROPFILES);
    header->pt = at;
    char* names = reinterpret_cast<char*>(bytes + sizeof(DROPFILES));
    for (const std::string& p : paths) {
        std::memcpy(names, p.c_str(), p.size() + 1);
        names += p.size() + 1;
    }
    GlobalUnlock(block);
    return block;
}

// The text a folder-tree item shows.
inline std::string TreeItemText(HWND tree, HTREEITEM item)
{
    char text[260] = "";
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    TreeView_GetItem(tree, &tv);
    return text;
}

inline std::vector<std::string> Names(const CUserFSEntry* folder)
{
    std::vector<std::string> names;
    for (const CUserFSEntry* e = folder->FirstChild(); e; e = e->NextSibling()) names.push_back(e->m_name);
    return names;
}

class DataEditorFrameTest : public ProjectTest {
protected:
    void SetUp() override
    {
        ProjectTest::SetUp();
        WriteFileBytes(files.File("alpha.txt"), std::string(3000, 'a'));
        WriteFileBytes(files.File("beta.txt"), "b");
        CreateDirectoryA(files.File("gamma").c_str(), nullptr);
        WriteFileBytes(files.File("gamma\\inner.txt"), "c");
    }

    // A data project with the real editor, its window shown; `answer`
    // acts on the new project's first question (a new disc by default).
    CCoNostrine* OpenEditor(std::function<void(HWND)> answer = [](HWND d) { DialogDriver::Press(d, IDOK); })
    {
        DialogDriver questions(answer);
        CProjectBase* project = Open<CCoMaravin>();
        if (!project) return nullptr;
        com::ComPtr<IOwnWindow> own;
        if (FAILED(own.QueryFrom(project->FirstFrame(), IID_IOwnWindow))) return nullptr;
        CCoNostrine* editor = static_cast<CCoNostrine*>(own.Get());
        CMainFrameStandIn::Pump();
        return editor;
    }

    static HRESULT Command(CCoNostrine* editor, unsigned id, std::initializer_list<CommandValue> values = {})
    {
        CVariantSafearray data(ULONG(values.size() ? values.size() : 1));
        SAFEARRAY* packed = nullptr;
        if (values.size()) {
            data.Create();
            data.Prepare(values);
            packed = data;
        }
        com::ComPtr<ICommandPerformer> self(static_cast<ICommandPerformer*>(editor));
        return editor->InvokeCommand(self, GUID_NULL, id, packed);
    }

    // The editor's section written to a project file of its own, and read back.
    static void SaveToFile(CCoNostrine* editor, const std::string& path)
    {
        com::ComPtr<ILoadSaveImpl> doc;
        ASSERT_EQ(S_OK, com::CreateObject<CCoLoadSaveImpl>(IID_ILoadSaveImpl, reinterpret_cast<void**>(&doc)));
        IID id = IID_ILoadSaveImpl;
        com::ComPtr<ISaveableSection> section;
        ASSERT_EQ(S_OK, doc->OpenFile(com::Bstr(path), 1));
        ASSERT_EQ(S_OK, doc->GetSectionForWriting(&id, &section));
        ASSERT_EQ(S_OK, editor->Save(section));
        ASSERT_EQ(S_OK, doc->SaveFile());
    }
    static HRESULT LoadFromFile(CCoNostrine* editor, const std::string& path)
    {
        com::ComPtr<ILoadSaveImpl> doc;
        IID id = IID_ILoadSaveImpl;
        com::ComPtr<ILoadableSection> section;
        if (FAILED(com::CreateObject<CCoLoadSaveImpl>(IID_ILoadSaveImpl, reinterpret_cast<void**>(&doc))) ||
            FAILED(doc->OpenFile(com::Bstr(path), 0)) || FAILED(doc->GetSectionForReading(&id, &section)))
            return E_UNEXPECTED;
        return editor->Load(section);
    }

    static void Paste(CCoNostrine* editor, const std::vector<std::string>& paths)
    {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        SetClipboardData(CF_HDROP, DropBlock(paths));
        CloseClipboard();
        HWND window = nullptr;
        editor->GetOwnWindow(&window);
        SendMessageA(window, WM_PASTE, 0, 0);
    }

    static void PressKey(HWND view, WPARAM key)
    {
        SetFocus(view);
        SendMessageA(view, WM_KEYDOWN, key, 0);
    }

    static void SelectRow(CCoNostrine* editor, int row)
    {
        ListView_SetItemState(editor->FileList(), -1, 0, LVIS_SELECTED);
        ListView_SetItemState(editor->FileList(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }

    static std::string RowText(CCoNostrine* editor, int row, int column)
    {
        char text[260] = "";
        ListView_GetItemText(editor->FileList(), row, column, text, sizeof text);
        return text;
    }

    // Ends a label edit of a list row as the control reports it.
    static LRESULT EndListEdit(CCoNostrine* editor, int row, const char* text)
    {
        NMLVDISPINFOA info = {};
        info.hdr.hwndFrom = editor->FileList();
        info.hdr.idFrom = IDC_FILE_LIST;
        info.hdr.code = LVN_ENDLABELEDITA;
        info.item.iItem = row;
        info.item.pszText = const_cast<char*>(text);
        HWND window = nullptr;
        editor->GetOwnWindow(&window);
        return SendMessageA(window, WM_NOTIFY, IDC_FILE_LIST, reinterpret_cast<LPARAM>(&info));
    }

    static void SelectFolderItem(CCoNostrine* editor, CUserFSEntry* folder)
    {
        SetFocus(editor->FolderTree());
        TreeView_SelectItem(editor->FolderTree(), static_cast<HTREEITEM>(folder->m_treeItem));
    }

    static void ClickColumn(CCoNostrine* editor, int column)
    {
        NMLISTVIEW click = {};
        click.hdr.hwndFrom = editor->FileList();
        click.hdr.idFrom = IDC_FILE_LIST;
        click.hdr.code = LVN_COLUMNCLICK;
        click.iItem = -1;
        click.iSubItem = column;
        HWND window = nullptr;
        editor->GetOwnWindow(&window);
        SendMessageA(window, WM_NOTIFY, IDC_FILE_LIST, reinterpret_cast<LPARAM>(&click));
    }

    LocalClassRegistration editorClass{CLSID_CoNostrine, com::Creator<CCoNostrine>};  // the real editor
    StubClassRegistration dataClasses{CLSID_CoPanelCtrl, CLSID_StubEditor, CLSID_CoDrubeck};
    TempFolder files;
};
