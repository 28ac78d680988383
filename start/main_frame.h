// CMainFrame: the start module's MDI frame. It hosts every project as an
// MDI child that the project component creates itself, plus the explorer
// window; owns the menu command bar, the toolbar, the status bar, the
// space measure bar under the MDI area and the recent-file list; opens and
// creates projects; talks to the project windows through the messages of
// <frame_messages.h>. Commands it does not handle go to the active child.
#pragma once
#include "command_bar_xp.h"
#include "command_line.h"
#include "space_measure_bar.h"
#include "version_check.h"
#include <frame_messages.h>
#include <hosting.h>
#include <window/contained_window.h>
#include <window/mdi_frame.h>
#include <window/message_loop.h>
#include <window/recent_documents.h>
#include <window/update_ui.h>
#include <window/toolbar_resource.h>
#include <string>

// The frame to itself (posted): show that a command-line switch is refused.
#define WM_REFUSE_SWITCH (WM_APP + 1)

class CMainFrame : public wnd::MdiFrameImpl<CMainFrame>,
                   public wnd::UpdateUI,
                   public wnd::MessageFilter,
                   public wnd::IdleHandler {
public:
    WND_CLASS("TessalyWindowClassT", 0, reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1))

    explicit CMainFrame(const char* commandLine);
    ~CMainFrame() override;

    // Creates the frame window with its menu; false when that failed.
    bool CreateFrame();

    BOOL OpenProjectFile(const std::string& path);
    void AddToRecentFiles(const std::string& path);
    void RefreshRecentFiles();
    void NotifyChildrenRecentFiles();
    HRESULT QueryChildProject(HWND child, IProject** project);
    void UpdateLayout();

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnIdle() override;

    // The frame's map: its own messages (section 0), the MDI client's (1)
    // and the status bar's (2).
    BOOL ProcessWindowMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;

private:
    // Creation.
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    bool CreateBars();
    HMENU PrepareMenu();
    void CreateStatusBar();
    void CreateSpaceBar();
    void ActOnCommandLine();
    void SyncToolBar();

    // Messages.
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnActivate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnOpenProjectFileMessage(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnRecentFilesChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnRelayToChildren(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnRefuseSwitch(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNewVersionOffer(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSizeBarUpdate(int, NMHDR*, BOOL&);
    LRESULT OnRebarHeightChange(int, NMHDR*, BOOL&);
    LRESULT OnCustomDraw(int, NMHDR*, BOOL&);

    // Commands.
    LRESULT OnFileNew(WORD, WORD, HWND, BOOL&);
    LRESULT OnFileOpen(WORD, WORD, HWND, BOOL&);
    LRESULT OnRecentFile(WORD, WORD, HWND, BOOL&);
    LRESULT OnAppExit(WORD, WORD, HWND, BOOL&);
    LRESULT OnViewToolBar(WORD, WORD, HWND, BOOL&);
    LRESULT OnViewStatusBar(WORD, WORD, HWND, BOOL&);
    LRESULT OnViewSpaceBar(WORD, WORD, HWND, BOOL&);
    LRESULT OnViewExplorer(WORD, WORD, HWND, BOOL&);
    LRESULT OnWindowCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnHelpIndex(WORD, WORD, HWND, BOOL&);
    LRESULT OnAppAbout(WORD, WORD, HWND, BOOL&);
    LRESULT OnForwardCommand(UINT, WPARAM, LPARAM, BOOL&);

    // Prompts and tooltips.
    LRESULT OnMenuSelect(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnToolBarHotItem(int, NMHDR*, BOOL&);
    LRESULT OnToolTipText(int, NMHDR*, BOOL&);
    void ShowPrompt(UINT command);

    // The MDI client and the status bar, subclassed.
    LRESULT OnMdiDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMdiActivate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMdiSetMenu(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMdiRefreshMenu(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClientEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnStatusEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT ChangeChildren(UINT msg, WPARAM wParam, LPARAM lParam, bool resetSpaceBar);

    // Projects.
    void CreateExplorer();
    int FrameMessageBox(const std::string& text, UINT type);
    std::string RecentFilesKey() const;

    CCommandLine m_commandLine;
    CCommandBarXPCtrl m_commandBar;
    HWND m_rebar = nullptr;
    HWND m_toolbar = nullptr;
    HWND m_statusBar = nullptr;
    CSpaceMeasureBar m_spaceBar;
    wnd::ContainedWindow m_mdiClientWindow{this, 1};
    wnd::ContainedWindow m_statusBarWindow{this, 2};
    HBITMAP m_rebarBackground = nullptr;
    HMENU m_menu = nullptr;         // the frame's own menu (menu 1)
    HMENU m_windowMenu = nullptr;   // the window list's popup of the shown menu
    HACCEL m_accelerators = nullptr;
    wnd::RecentDocumentList m_recentFiles;
    bool m_createExplorer = true;
    bool m_createSpaceBar = true;
    bool m_maximizeFirstChild = false;
    bool m_loopRegistered = false;
    CVersionCheck m_versionCheck;
};
