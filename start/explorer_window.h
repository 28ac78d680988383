// CExplorerWindow: the explorer MDI child (window class "Explorer Window"):
// the shell's folders in a tree and the chosen folder's folders and files
// in a list, side by side in a splitter under its toolbar (up one level and
// the four views). Files leave it by a drag (the shell's file list in a
// Common data object, copy only) or by Ctrl+C (ID_EDIT_COPY) onto the
// clipboard; the project windows take them from there. Its own menu (menu 209) shows in
// the command bar while it is active; becoming active empties the space
// bar. It is no project: WM_QUERYPROJECTUNKNOWN is left unanswered (0).
// The child makes itself and deletes itself when its window ends.
#pragma once
#include "shell_items.h"
#include <frame_messages.h>
#include <window/mdi_child.h>
#include <window/recent_documents.h>
#include <window/splitter_window.h>
#include <commctrl.h>
#include <memory>
#include <vector>

// The tree and the list sit in this splitter, which passes their
// notifications (in ANSI) on to the explorer.
class CExplorerSplitter : public wnd::SplitterWindowImpl<CExplorerSplitter> {
    using Base = wnd::SplitterWindowImpl<CExplorerSplitter>;

public:
    WND_CLASS("Explorer Splitter", 0, nullptr)
    WND_MSG_MAP_BEGIN(CExplorerSplitter)
        WND_MESSAGE(WM_NOTIFY, OnNotify)
        WND_MESSAGE(WM_NOTIFYFORMAT, OnNotifyFormat)
        WND_CHAIN(Base)
    WND_MSG_MAP_END()

private:
    LRESULT OnNotify(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        return ::SendMessageA(::GetParent(m_hWnd), msg, wParam, lParam);
    }
    LRESULT OnNotifyFormat(UINT, WPARAM, LPARAM, BOOL&) { return NFR_ANSI; }
};

class CExplorerWindow : public wnd::MdiChildImpl<CExplorerWindow>, public IDropSource {
public:
    WND_CLASS("Explorer Window", CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))

    enum { IDC_FILE_LIST = 0x410, IDC_FOLDER_TREE = 0x411, IDC_TOOLBAR = 0x412, IDC_SPLITTER = 0x413 };
    enum : WORD {
        ID_UP_ONE_LEVEL = 0x8006, ID_VIEW_LIST = 0x8007, ID_VIEW_SMALL_ICONS = 0x8008, ID_VIEW_LARGE_ICONS = 0x8009,
        ID_VIEW_DETAILS = 0x800A, ID_EDIT_COPY = 0xE122, ID_EDIT_SELECT_ALL = 0xE12A
    };
    enum SortColumn { SORT_NAME = 0, SORT_SIZE = 1, SORT_TYPE = 2 };

    // A new explorer child of `mdiClient`, or null.
    static HWND Open(HWND mdiClient, bool maximized);

    WND_MSG_MAP_BEGIN(CExplorerWindow)
        WND_MESSAGE(WM_CREATE, OnCreate)
        WND_MESSAGE(WM_SIZE, OnSize)
        WND_MESSAGE(WM_MDIACTIVATE, OnMdiActivate)
        WND_MESSAGE(WM_FORWARDMSG, OnForwardMsg)
        WND_MESSAGE(WM_RELOADRECENTFILES, OnReloadRecentFiles)
        WND_MESSAGE(WM_NOTIFYFORMAT, OnNotifyFormat)
        WND_MESSAGE(WM_SETFOCUS, OnSetFocus)
        WND_COMMAND_RANGE(ID_UP_ONE_LEVEL, ID_VIEW_DETAILS, OnViewCommand)
        WND_COMMAND(ID_EDIT_COPY, OnEditCommand)
        WND_COMMAND(ID_EDIT_SELECT_ALL, OnEditCommand)
        WND_NOTIFY(IDC_FOLDER_TREE, TVN_ITEMEXPANDINGA, OnItemExpanding)
        WND_NOTIFY(IDC_FOLDER_TREE, TVN_SELCHANGEDA, OnSelChanged)
        WND_NOTIFY(IDC_FOLDER_TREE, TVN_DELETEITEMA, OnDeleteItem)
        WND_NOTIFY(IDC_FOLDER_TREE, TVN_BEGINDRAGA, OnBeginDrag)
        WND_NOTIFY(IDC_FILE_LIST, LVN_BEGINDRAG, OnBeginDrag)
        WND_NOTIFY(IDC_FILE_LIST, LVN_COLUMNCLICK, OnColumnClick)
        WND_NOTIFY(IDC_FILE_LIST, NM_DBLCLK, OnListDoubleClick)
        WND_NOTIFY_CODE(TTN_GETDISPINFOA, OnToolTipText)
    WND_MSG_MAP_END()

    void OnFinalMessage(HWND) override { delete this; }

    // IDropSource; the window's life is its own, so the counts are constants.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 10; }
    STDMETHODIMP_(ULONG) Release() override { return 20; }
    STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keys) override;
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    struct Node {
        CShellIdList absolute;
        bool filled = false;
    };
    struct Record {
        CShellIdList absolute;
        std::string name;
        CShellFileFacts facts;
        bool folder = false;
    };

    CExplorerWindow();
    ~CExplorerWindow() override;

    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMdiActivate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnForwardMsg(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnReloadRecentFiles(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNotifyFormat(UINT, WPARAM, LPARAM, BOOL&) { return NFR_ANSI; }
    LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnViewCommand(WORD, WORD id, HWND, BOOL&);
    LRESULT OnEditCommand(WORD, WORD id, HWND, BOOL&);
    LRESULT OnItemExpanding(int, NMHDR*, BOOL&);
    LRESULT OnSelChanged(int, NMHDR*, BOOL&);
    LRESULT OnDeleteItem(int, NMHDR*, BOOL&);
    LRESULT OnBeginDrag(int, NMHDR*, BOOL&);
    LRESULT OnColumnClick(int, NMHDR*, BOOL&);
    LRESULT OnListDoubleClick(int, NMHDR*, BOOL&);
    LRESULT OnToolTipText(int, NMHDR*, BOOL&);

    bool CreateViews();
    void Layout();
    HTREEITEM InsertFolder(HTREEITEM parent, CShellEntry&& entry);
    void FillChildren(HTREEITEM item);
    Node* NodeOf(HTREEITEM item) const;
    void FillList(HTREEITEM item);
    void SortRecords();
    void SetView(WORD command);
    void SelectChildFolder(const Record& record);
    std::vector<std::string> SelectedPaths(HWND from) const;
    void CopySelection();

    HMENU m_menu = nullptr;
    HACCEL m_accelerators = nullptr;
    wnd::RecentDocumentList m_recentFiles;
    HWND m_toolbar = nullptr;
    CExplorerSplitter m_splitter;
    HWND m_tree = nullptr;
    HWND m_list = nullptr;
    std::vector<std::unique_ptr<Record>> m_records;  // the list's items, in its order
    bool m_splitterPlaced = false;
    int m_sortColumn = SORT_NAME;
    bool m_sortAscending = true;
};
