// CCoNostrine: the data editor, the page of a data-disc project where the
// user composes the disc. A folder tree on the left and the chosen folder's
// entries on the right show the CUserFSTree; the commands reach it from the
// keyboard, the task panel (through the project), drops and the clipboard.
// On PCID_START the tree is prepared into the engine's file tree.
#pragma once
#include "common.h"
#include "hosting.h"
#include "data_project_classes.h"
#include "editor_toolbar.h"
#include <frames/common/editor_pane_impl.h>
#include <frames/common/message_pump.h>
#include <frames/common/next_back_buttons.h>
#include <shared/command_performer.h>
#include <shared/translator.h>
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
    // The standard Edit > Paste command the project asks about (command 100).
    ID_STANDARD_PASTE = 0xE125,
};

// The format of a drag of the editor's own entries: the payload is not
// read, only the editor's selection moves.
enum : CLIPFORMAT { CF_IMAGE_ENTRIES = 0x1025 };

// The text colour of entries taken over from the disc's previous session,
// and the line that marks where dragged entries go.
const COLORREF IMPORTED_ENTRY_COLOR = RGB(100, 100, 150);
const COLORREF INSERTION_MARK_COLOR = RGB(200, 212, 246);

class CCoNostrine : public com::ObjectRoot<com::SingleThreadModel>,
                    public CSysServiceBinderImpl<CCoNostrine, &CLSID_CoNostrine>,
                    public CCommandPerformerImpl<CCoNostrine, &CLSID_CoNostrine>,
                    public CEditorPaneImpl<CCoNostrine>,
                    public IDropTarget,
                    public IDropSource,
                    public CTranslator<CCoNostrine, &CLSID_CoNostrine>,
                    public CNextBackButtonsCreator<CCoNostrine>,
                    public wnd::WindowImpl<CCoNostrine> {
public:
    COM_INTERFACES_BEGIN(CCoNostrine)
        COM_INTERFACE(ISysServiceBinder)
        COM_INTERFACE(ICommandPerformer)
        COM_INTERFACE(ILoadSave)
        COM_INTERFACE(IOwnWindow)
        COM_INTERFACE(IDropTarget)
        COM_INTERFACE(IDropSource)
    COM_INTERFACES_END()

    WND_CLASS(nullptr, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1))
    WND_MSG_MAP_BEGIN(CCoNostrine)
        WND_MESSAGE(WM_CREATE, OnCreate)
        WND_MESSAGE(WM_CLOSE, OnClose)
        WND_MESSAGE(WM_DESTROY, OnDestroy)
        WND_MESSAGE(WM_SIZE, OnSize)
        WND_MESSAGE(WM_ERASEBKGND, OnEraseBackground)
        WND_MESSAGE(WM_SETCURSOR, OnSetCursor)
        WND_MESSAGE(WM_LBUTTONDOWN, OnSplitterButtonDown)
        WND_MESSAGE(WM_MOUSEMOVE, OnSplitterMouseMove)
        WND_MESSAGE(WM_LBUTTONUP, OnSplitterButtonUp)
        WND_MESSAGE(WM_CAPTURECHANGED, OnSplitterButtonUp)
        WND_MESSAGE(WM_UPDATE_COMMANDS, OnUpdateCommands)
        WND_MESSAGE(WM_NEW_PROJECT, OnNewProject)
        WND_MESSAGE(WM_START_PREPARATION, OnStartPreparation)
        WND_MESSAGE(WM_CANCEL_PREPARATION, OnCancelPreparation)
        WND_MESSAGE(WM_PASTE, OnPaste)
        WND_MESSAGE(WM_CLIPBOARDUPDATE, OnUpdateCommands)
        WND_COMMAND(ID_DELETE, OnCommandId)
        WND_COMMAND(ID_RENAME, OnCommandId)
        WND_COMMAND(ID_CREATE_FOLDER, OnCommandId)
        WND_COMMAND(ID_SORT_TOGGLE, OnCommandId)
        WND_COMMAND(ID_ADD_FILES, OnCommandId)
        WND_COMMAND(ID_ADD_FOLDER, OnCommandId)
        WND_NOTIFY_CODE(TVN_SELCHANGEDA, OnTreeSelChanged)
        WND_NOTIFY_CODE(TVN_ITEMEXPANDINGA, OnTreeExpanding)
        WND_NOTIFY_CODE(TVN_ITEMEXPANDEDA, OnTreeExpanded)
        WND_NOTIFY_CODE(TVN_GETINFOTIPA, OnTreeInfoTip)
        WND_NOTIFY_CODE(TVN_BEGINLABELEDITA, OnBeginLabelEdit)
        WND_NOTIFY_CODE(TVN_ENDLABELEDITA, OnTreeEndLabelEdit)
        WND_NOTIFY(IDC_FOLDER_TREE, NM_RCLICK, OnTreeRightClick)
        WND_NOTIFY(IDC_FOLDER_TREE, NM_CLICK, OnViewFocus)
        WND_NOTIFY(IDC_FOLDER_TREE, NM_SETFOCUS, OnViewFocus)
        WND_NOTIFY_CODE(LVN_GETDISPINFOA, OnListGetDispInfo)
        WND_NOTIFY_CODE(LVN_GETINFOTIPA, OnListInfoTip)
        WND_NOTIFY_CODE(LVN_BEGINLABELEDITA, OnBeginLabelEdit)
        WND_NOTIFY_CODE(LVN_ENDLABELEDITA, OnListEndLabelEdit)
        WND_NOTIFY(IDC_FILE_LIST, NM_CLICK, OnViewFocus)
        WND_NOTIFY(IDC_FILE_LIST, NM_RDBLCLK, OnViewFocus)
        WND_NOTIFY(IDC_FILE_LIST, NM_SETFOCUS, OnViewFocus)
        WND_NOTIFY(IDC_FILE_LIST, NM_DBLCLK, OnListDoubleClick)
        WND_NOTIFY(IDC_FILE_LIST, NM_RCLICK, OnListRightClick)
        WND_NOTIFY(IDC_FILE_LIST, LVN_BEGINDRAG, OnListBeginDrag)
        WND_NOTIFY(IDC_FILE_LIST, NM_CUSTOMDRAW, OnListCustomDraw)
        WND_NOTIFY(IDC_FILE_LIST, LVN_COLUMNCLICK, OnListColumnClick)
        WND_NOTIFY_CODE(TTN_GETDISPINFOA, OnToolbarTipA)
        WND_NOTIFY_CODE(TTN_GETDISPINFOW, OnToolbarTipW)
        WND_CHAIN(CNextBackButtonsCreator<CCoNostrine>)
        WND_NOTIFY(IDC_FOLDER_TREE, NM_CUSTOMDRAW, OnTreeCustomDraw)
        WND_CHAIN(CTranslator<CCoNostrine, &CLSID_CoNostrine>)
    WND_ALT_MAP(1)
        WND_MESSAGE(WM_KEYDOWN, OnTreeKeyDown)
        WND_MESSAGE(WM_DROPFILES, OnTreeDropFiles)
    WND_ALT_MAP(2)
        WND_MESSAGE(WM_KEYDOWN, OnListKeyDown)
        WND_MESSAGE(WM_DROPFILES, OnListDropFiles)
    WND_ALT_MAP(3)
        WND_MESSAGE(WM_ERASEBKGND, OnRebarEraseBackground)
    WND_MSG_MAP_END()

    CCoNostrine();
    ~CCoNostrine();
    void FinalRelease();

    // ILoadSave (the modified flag and IOwnWindow: CEditorPaneImpl)
    STDMETHODIMP Load(ILoadableSection* section) override;
    STDMETHODIMP Save(ISaveableSection* section) override;

    // IDropTarget: file lists dragged from the shell onto either view.
    STDMETHODIMP DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keys, POINTL at, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;

    // IDropSource: the drag of the list's own entries.
    STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keys) override;
    STDMETHODIMP GiveFeedback(DWORD effect) override;

    // ICommandPerformer's dispatch.
    HRESULT OnCommand(IUnknown* sender, REFCLSID senderClsid, unsigned id, SAFEARRAY* data);

    // What the views and tests see of the editor.
    CUserFSTree& Tree() { return m_tree; }
    HWND FolderTree() const { return m_treeView.m_hWnd; }
    HWND FileList() const { return m_listView.m_hWnd; }
    const std::vector<CUserFSEntry*>& ListEntries() const { return m_listEntries; }
    CUserFSEntry* SelectedFolder() const;
    bool Modified() const { return m_modified; }
    bool Preparing() const { return m_preparing; }
    // Adds local paths under `folder` as the user's adds do; false when
    // edits are refused now (UI disabled, another add or a preparation).
    bool AddPaths(CUserFSEntry* folder, const std::vector<std::string>& paths);
    const CEditorToolbar& Toolbar() const { return m_toolbar; }
    // The characters Add files takes of chosen names (tests make it small).
    void SetFileNamesLength(size_t length) { m_fileNamesLength = length; }
    HMENU ContextMenu() const { return m_contextMenu; }
    int InsertionMark() const { return m_insertMark; }
    // What runs the system's drag loop for the list's own entries; tests
    // put their own loop in its place.
    using DragLoop = HRESULT (*)(IDataObject* data, IDropSource* source, DWORD allowed, DWORD* effect, void* context);
    void SetDragLoop(DragLoop loop, void* context)
    {
        m_dragLoop = loop;
        m_dragLoopContext = context;
    }

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

    // The views' own parts (data_editor_frame_views.cpp).
    friend class CNextBackButtonsCreator<CCoNostrine>;
    friend class CEditorPaneImpl<CCoNostrine>;
    bool CreateToolbarAndButtons();
    void LayoutContent();
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnRebarEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSplitterButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSplitterMouseMove(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSplitterButtonUp(UINT, WPARAM, LPARAM, BOOL&);
    bool OnSplitterBar(POINT client) const;
    LRESULT OnTreeExpanded(int, NMHDR*, BOOL&);
    void ShowFolderState(HTREEITEM item);
    LRESULT OnTreeInfoTip(int, NMHDR*, BOOL&);
    LRESULT OnListInfoTip(int, NMHDR*, BOOL&);
    LRESULT OnTreeRightClick(int, NMHDR*, BOOL&);
    LRESULT OnListRightClick(int, NMHDR*, BOOL&);
    LRESULT OnListBeginDrag(int, NMHDR*, BOOL&);
    LRESULT OnListCustomDraw(int, NMHDR*, BOOL&);
    LRESULT OnTreeCustomDraw(int, NMHDR*, BOOL&);
    LRESULT OnToolbarTipA(int, NMHDR*, BOOL&);
    LRESULT OnToolbarTipW(int, NMHDR*, BOOL&);
    std::string ToolbarTip(unsigned id) const;
    std::string RowTypeText(const CUserFSEntry* entry) const;
    std::string RowSizeText(const CUserFSEntry* entry) const;
    void ShowContextMenu(POINT screen);
    void ApplyCommandState(bool off, bool haveSelection, bool rootSelected);
    void UpdateSortArrow();
    // The list row a drop at `client` goes in front of; the row count for
    // below the last row.
    int InsertionRowAt(POINT client) const;
    void SetInsertionMark(int row);
    void MoveSelectedEntries(int row);
    LRESULT OnBeginLabelEdit(int, NMHDR*, BOOL&);
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
    void SortFolderItemsBelow(CUserFSEntry* folder);
    void SortEverything();
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
    void ReportRefused(const std::vector<std::string>& refused);
    HRESULT DropFileList(IDataObject* data, POINT at, DWORD* effect);
    // The folder a drop at `at` (screen) goes to; null outside both views.
    CUserFSEntry* DropFolderAt(POINT at) const;
    CUserFSEntry* TreeFolderAt(POINT client) const;
    CUserFSEntry* ListFolderAt(POINT client) const;

    CUserFSTree m_tree;
    CDataEditorTexts m_texts;
    wnd::ContainedWindow m_treeView{this, 1};
    wnd::ContainedWindow m_listView{this, 2};
    wnd::ContainedWindow m_rebarView{this, 3};
    std::vector<CUserFSEntry*> m_listEntries;
    bool m_uiDisabled = false;
    bool m_adding = false;
    CPeriodicPump m_addPump;  // lets the Stop and painting in between added files
    bool m_preparing = false;
    bool m_startWaiting = false;  // PCID_START came during an add
    size_t m_addedByLastAdd = 0;  // entries the last add brought in
    size_t m_fileNamesLength = 256 * 1024;
    volatile bool m_cancel = false;
    bool m_removing = false;
    bool m_loading = false;
    bool m_dropAccepted = false;
    bool m_ownDrag = false;  // a drag of this frame's own entries runs
    bool m_dropIsOwnEntries = false;  // the drag over the frame carries CF_IMAGE_ENTRIES
    int m_insertMark = -1;  // the list row a drop goes in front of; -1 none
    DragLoop m_dragLoop = nullptr;
    void* m_dragLoopContext = nullptr;
    CEditorToolbar m_toolbar;
    HMENU m_contextMenu = nullptr;
    int m_splitPos = 200;
    bool m_splitterDragging = false;
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
