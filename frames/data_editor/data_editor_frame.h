// CCoNostrine: the data editor, the page of a data-disc project where the
// user composes the disc. A folder tree on the left and the chosen folder's
// entries on the right show the CUserFSTree; the commands reach it from the
// keyboard, the task panel (through the project), drops and the clipboard.
// On PCID_START the tree is prepared into the engine's file tree.
#pragma once
#include "common.h"
#include "hosting.h"
#include "data_project_classes.h"
#include <shared/command_performer.h>
#include <shared/sys_service_binder.h>
#include <shared/variant_safearray.h>
#include <com/object.h>
#include <com/ptr.h>
#include <window/contained_window.h>
#include <window/window_impl.h>
#include <data_editor/model/data_editor_texts.h>
#include <data_editor/model/user_fs_tree.h>
#include <memory>
#include <string>
#include <vector>

class CFilesProcessingDialog;

enum : UINT {
    WM_UPDATE_COMMANDS = WM_USER + 2024,
    WM_NEW_PROJECT = WM_USER + 2025,
    WM_START_PREPARATION = WM_USER + 2125,
    WM_CANCEL_PREPARATION = WM_USER + 2126,
};

enum : unsigned {
    ID_DELETE = 32768,
    ID_RENAME = 32769,
    ID_CREATE_FOLDER = 32770,
    ID_SORT_TOGGLE = 32772,
    ID_ADD_FILES = 32773,
    ID_ADD_FOLDER = 32774,
    EDITOR_PANE = 8193,
    IDC_FOLDER_TREE = 1500,
    IDC_FILE_LIST = 1600,
};

class CCoNostrine : public com::ObjectRoot<com::SingleThreadModel>,
                    public CSysServiceBinderImpl<CCoNostrine, &CLSID_CoNostrine>,
                    public CCommandPerformerImpl<CCoNostrine, &CLSID_CoNostrine>,
                    public ILoadSave,
                    public IOwnWindow,
                    public IDropTarget,
                    public wnd::WindowImpl<CCoNostrine> {
public:
    COM_INTERFACES_BEGIN(CCoNostrine)
        COM_INTERFACE(ISysServiceBinder)
        COM_INTERFACE(ICommandPerformer)
        COM_INTERFACE(ILoadSave)
        COM_INTERFACE(IOwnWindow)
        COM_INTERFACE(IDropTarget)
    COM_INTERFACES_END()

    WND_CLASS(nullptr, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1))
    WND_MSG_MAP_BEGIN(CCoNostrine)
        WND_MESSAGE(WM_CREATE, OnCreate)
        WND_MESSAGE(WM_CLOSE, OnClose)
        WND_MESSAGE(WM_DESTROY, OnDestroy)
        WND_MESSAGE(WM_SIZE, OnSize)
        WND_MESSAGE(WM_ERASEBKGND, OnEraseBackground)
        WND_MESSAGE(WM_UPDATE_COMMANDS, OnUpdateCommands)
        WND_MESSAGE(WM_NEW_PROJECT, OnNewProject)
        WND_MESSAGE(WM_START_PREPARATION, OnStartPreparation)
        WND_MESSAGE(WM_CANCEL_PREPARATION, OnCancelPreparation)
        WND_MESSAGE(WM_PASTE, OnPaste)
        WND_COMMAND(ID_DELETE, OnCommandId)
        WND_COMMAND(ID_RENAME, OnCommandId)
        WND_COMMAND(ID_CREATE_FOLDER, OnCommandId)
        WND_COMMAND(ID_SORT_TOGGLE, OnCommandId)
        WND_COMMAND(ID_ADD_FILES, OnCommandId)
        WND_COMMAND(ID_ADD_FOLDER, OnCommandId)
        WND_NOTIFY_CODE(TVN_SELCHANGEDA, OnTreeSelChanged)
        WND_NOTIFY_CODE(TVN_ITEMEXPANDINGA, OnTreeExpanding)
        WND_NOTIFY_CODE(TVN_ENDLABELEDITA, OnTreeEndLabelEdit)
        WND_NOTIFY_CODE(LVN_GETDISPINFOA, OnListGetDispInfo)
        WND_NOTIFY_CODE(LVN_ENDLABELEDITA, OnListEndLabelEdit)
        WND_NOTIFY(IDC_FILE_LIST, NM_DBLCLK, OnListDoubleClick)
        WND_NOTIFY(IDC_FILE_LIST, LVN_COLUMNCLICK, OnListColumnClick)
        WND_NOTIFY(IDC_FOLDER_TREE, NM_SETFOCUS, OnViewFocus)
        WND_NOTIFY(IDC_FILE_LIST, NM_SETFOCUS, OnViewFocus)
        WND_NOTIFY(IDC_FILE_LIST, NM_CLICK, OnViewFocus)
    WND_ALT_MAP(1)
        WND_MESSAGE(WM_KEYDOWN, OnTreeKeyDown)
        WND_MESSAGE(WM_DROPFILES, OnTreeDropFiles)
    WND_ALT_MAP(2)
        WND_MESSAGE(WM_KEYDOWN, OnListKeyDown)
        WND_MESSAGE(WM_DROPFILES, OnListDropFiles)
    WND_MSG_MAP_END()

    CCoNostrine();
    ~CCoNostrine();
    void FinalRelease();

    // ILoadSave
    STDMETHODIMP Load(ILoadableSection* section) override;
    STDMETHODIMP Save(ISaveableSection* section) override;
    STDMETHODIMP GetModified(long* modified) override;
    STDMETHODIMP OnSaveCompleted(HRESULT result) override;

    // IOwnWindow
    STDMETHODIMP CreateOwnWindow(HWND parent) override;
    STDMETHODIMP GetOwnWindow(HWND* window) override;

    // IDropTarget: file lists dragged from the shell onto either view.
    STDMETHODIMP DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keys, POINTL at, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;

    // ICommandPerformer's dispatch.
    HRESULT OnCommand(IUnknown* sender, REFCLSID senderClsid, unsigned id, SAFEARRAY* data);

    // What the views and tests see of the editor.
    CUserFSTree& Tree() { return m_tree; }
    HWND FolderTree() const { return m_treeView.m_hWnd; }
    HWND FileList() const { return m_listView.m_hWnd; }
    const std::vector<CUserFSEntry*>& ListEntries() const { return m_listEntries; }
    CUserFSEntry* SelectedFolder() const;
    bool Modified() const { return m_modified; }
    // Adds local paths under `folder` as the user's adds do; false when
    // edits are refused now (UI disabled, another add or a preparation).
    bool AddPaths(CUserFSEntry* folder, const std::vector<std::string>& paths);

private:
    // Edits wait while the project has the UI disabled, an add runs or the
    // preparation runs (all of them pump messages).
    bool Busy() const { return m_uiDisabled || m_adding || m_preparing; }

    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnUpdateCommands(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNewProject(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnStartPreparation(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCancelPreparation(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPaste(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCommandId(WORD, WORD id, HWND, BOOL&);
    LRESULT OnTreeSelChanged(int, NMHDR*, BOOL&);
    LRESULT OnTreeExpanding(int, NMHDR*, BOOL&);
    LRESULT OnTreeEndLabelEdit(int, NMHDR*, BOOL&);
    LRESULT OnListGetDispInfo(int, NMHDR*, BOOL&);
    LRESULT OnListEndLabelEdit(int, NMHDR*, BOOL&);
    LRESULT OnListDoubleClick(int, NMHDR*, BOOL&);
    LRESULT OnListColumnClick(int, NMHDR*, BOOL&);
    LRESULT OnViewFocus(int, NMHDR*, BOOL&);
    LRESULT OnTreeKeyDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnListKeyDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTreeDropFiles(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnListDropFiles(UINT, WPARAM, LPARAM, BOOL&);

    // The editor's dialogs (data_editor_dialogs.cpp).
    void AskNewProject();
    void OnFinalMessage(HWND) override;
    bool ImportPreviousSession(unsigned deviceId, int track);
    HRESULT ChooseEntry(BSTR* path);
    void ShowProcessing(bool show);
    bool StopRequested() const;
    void ShowProcessedFile(const CUserFSEntry* file);

    static void TreeEvent(DWORD_PTR context, CUserFSTreeEvent* event);
    void OnTreeEvent(CUserFSTreeEvent& event);
    void InsertFolderItem(CUserFSEntry* folder, bool withChildren = true);
    void ForgetTreeItems(CUserFSEntry* folder);
    void SortFolderItems(CUserFSEntry* folder);
    void SelectFolder(CUserFSEntry* folder, bool expand);
    void RefillList();
    void UpdateCommands();
    void AddTaskPanelActions();
    HRESULT Send(unsigned id, std::initializer_list<CommandValue> values);
    std::string Text(unsigned id) const { return m_texts.Text(id); }

    void DeleteSelection(bool fromList);
    void StartRename(bool fromList);
    void CreateNewFolder();
    void ToggleSorting();
    void AddFilesFromDialog();
    void AddFolderFromDialog();
    CUserFSEntry* TargetFolder(bool selectionMark) const;
    void DropFiles(HDROP drop, CUserFSEntry* folder);
    // The folder a drop at `at` (screen) goes to; null outside both views.
    CUserFSEntry* DropFolderAt(POINT at) const;
    CUserFSEntry* TreeFolderAt(POINT client) const;
    CUserFSEntry* ListFolderAt(POINT client) const;

    CUserFSTree m_tree;
    CDataEditorTexts m_texts;
    wnd::ContainedWindow m_treeView{this, 1};
    wnd::ContainedWindow m_listView{this, 2};
    std::vector<CUserFSEntry*> m_listEntries;
    std::vector<std::string> m_removedPaths;
    bool m_modified = false;
    bool m_uiDisabled = false;
    bool m_adding = false;
    bool m_preparing = false;
    volatile bool m_cancel = false;
    bool m_removing = false;
    bool m_loading = false;
    bool m_dropAccepted = false;
    bool m_ownDrag = false;  // a drag of this frame's own entries runs
    bool m_dropRegistered = false;
    int m_import = -1;
    unsigned m_finalize = 0;
    unsigned m_sortEnabled = 1;
    int m_sortColumn = 0;
    bool m_ascending = true;
    int m_folderIcon = 0;
    int m_openFolderIcon = 0;
    std::string m_renameCaption, m_deleteCaption;  // what the task panel shows now
    std::unique_ptr<CFilesProcessingDialog> m_processing;  // shown while files are added
    com::ComPtr<IUnknown> m_keptAlive;  // this editor, while its window's last dispatch runs
};
