// CCoPanelCtrl: the column of task panes on the left of a project window.
// A scrolling child window of class "TaskPanelXP" whose panes and actions
// the project fills through ITaskBar; a click on a header or an enabled
// action goes to the partner as PCID_ACTIVE_CHANGED_NOTIFY.
#pragma once
#include "common.h"
#include "hosting.h"
#include "task_pane.h"
#include <shared/command_performer.h>
#include <com/object.h>
#include <window/window_impl.h>
#include <map>

class CCoPanelCtrl : public com::ObjectRoot<com::SingleThreadModel>,
                     public IOwnWindow,
                     public ITaskBar,
                     public CCommandPerformerImpl<CCoPanelCtrl, &CLSID_CoPanelCtrl>,
                     public wnd::WindowImpl<CCoPanelCtrl> {
public:
    COM_INTERFACES_BEGIN(CCoPanelCtrl)
        COM_INTERFACE(IOwnWindow)
        COM_INTERFACE(ITaskBar)
        COM_INTERFACE(ICommandPerformer)
    COM_INTERFACES_END()

    WND_CLASS("TaskPanelXP", CS_DBLCLKS, nullptr)
    WND_MSG_MAP_BEGIN(CCoPanelCtrl)
        WND_MESSAGE(WM_CREATE, OnCreate)
        WND_MESSAGE(WM_SIZE, OnSize)
        WND_MESSAGE(WM_ERASEBKGND, OnEraseBackground)
        WND_MESSAGE(WM_PAINT, OnPaint)
        WND_MESSAGE(WM_VSCROLL, OnVScroll)
        WND_MESSAGE(WM_MOUSEWHEEL, OnMouseWheel)
        WND_MESSAGE(WM_MOUSEMOVE, OnMouseMove)
        WND_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
        WND_MESSAGE(WM_SETCURSOR, OnSetCursor)
        WND_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
        WND_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
    WND_MSG_MAP_END()

    void FinalRelease();

    // IOwnWindow
    STDMETHODIMP CreateOwnWindow(HWND a_hWndParent) override;
    STDMETHODIMP GetOwnWindow(HWND* a_hWndRet) override;

    // ITaskBar
    STDMETHODIMP AddPane(unsigned a_uiID, BSTR a_bsCaption, HICON a_hIcon) override;
    STDMETHODIMP RemovePane(unsigned a_uiID) override;
    STDMETHODIMP RenamePane(unsigned a_uiID, BSTR a_bsNewName) override;
    STDMETHODIMP AddAction(unsigned a_uiPaneID, unsigned a_uiID, BSTR a_bsCaption, HICON a_hIcon) override;
    STDMETHODIMP RemoveAction(unsigned a_uiPaneID, unsigned a_uiID) override;
    STDMETHODIMP RenameAction(unsigned a_uiPaneID, unsigned a_uiID, BSTR a_bsNewName) override;
    STDMETHODIMP SetActive(unsigned a_uiPaneID, unsigned a_uiActionID) override;
    STDMETHODIMP GetActive(unsigned* a_puiPaneID, unsigned* a_puiActionID) override;
    STDMETHODIMP GetPaneActiveAction(unsigned a_uiPaneID, unsigned* a_puiActionID) override;
    STDMETHODIMP EnableAction(unsigned a_uiPaneID, unsigned a_uiActionID, unsigned a_uiEnable) override;
    STDMETHODIMP ChangeAction(unsigned a_uiPaneID, unsigned a_uiID, BSTR a_bsCaption, HICON a_hIcon) override;
    STDMETHODIMP SetActionIcon(unsigned a_uiPaneID, unsigned a_uiID, HICON a_hIcon) override;
    STDMETHODIMP SetPaneIcon(unsigned a_uiPaneID, HICON a_hIcon) override;
    STDMETHODIMP ChangePane(unsigned a_uiPaneID, BSTR a_bsCaption, HICON a_hIcon) override;

    // ICommandPerformer: the panel takes no commands.
    HRESULT OnCommand(IUnknown*, REFCLSID, unsigned, SAFEARRAY*) { return E_COMMAND_NOT_HANDLED; }

    enum : unsigned { NO_ACTION = 0xFFFFFFFF };

    // Where a pane's header (action NO_ACTION) or an action lies in the
    // window's client area; false for an unknown item.
    bool ItemRect(unsigned pane, unsigned action, RECT* rect) const;

private:
    // An item under the cursor, kept as identifiers: a click's handler may
    // remove it.
    struct HitItem {
        bool valid = false;
        unsigned pane = 0;
        unsigned action = NO_ACTION;
        bool operator==(const HitItem& o) const { return valid == o.valid && pane == o.pane && action == o.action; }
    };

    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnVScroll(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseWheel(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&);

    CTaskPane* FindPane(unsigned id);
    void Changed();  // re-layout and repaint after a change
    void Layout();
    void UpdateHover(POINT contentPoint);
    // The hover look from where the cursor is now: none when it is not over
    // the panel (a dialog a click opened has taken it away meanwhile).
    void UpdateHoverFromCursor();
    HitItem HitTest() const;
    POINT ContentPoint(LPARAM lParam) const;
    void ScrollTo(int y);
    void UpdateScrollBar();
    void MakePaneVisible(const CTaskPane& pane);

    void PaintPane(HDC dc, const CTaskPane& pane) const;
    void PaintAction(HDC dc, const CTaskAction& action) const;
    void CreateFonts();
    void DeleteFonts();

    std::map<unsigned, CTaskPane> m_panes;
    HitItem m_pressed;
    bool m_hovered = false;
    bool m_trackingLeave = false;  // WM_MOUSELEAVE asked for
    int m_contentHeight = 350;
    int m_scrollY = 0;

    HFONT m_fontBold = nullptr;
    HFONT m_fontBoldUnderline = nullptr;
    HFONT m_fontNormal = nullptr;
    HFONT m_fontNormalUnderline = nullptr;
};
