// CommandBar: a menu bar made of a toolbar, for frames that keep their menu
// in a rebar band. This class does the tracking: one button per top-level
// item of the attached menu, the drop-down opened by a click, by Alt and
// the item's mnemonic, or by Alt or F10 and the arrow keys; hot tracking
// from one drop-down to the next while a menu is open; in an MDI frame, the
// active child's system-menu button and its minimise, restore and close
// buttons while it is maximised.
//
// The items of the drop-downs are made owner-drawn while they show; the
// drawing and the look of the top-level buttons belong to a derived class
// (DrawMenuItem, and the custom draw that reaches the bar's parent).
//
// The bar's menu notifications (WM_INITMENUPOPUP, WM_MENUSELECT) and its
// commands go to the frame given at creation.
#pragma once
#include "window/message_loop.h"
#include "window/window_object.h"
#include <string>
#include <vector>

namespace wnd {

// What an owner-drawn drop-down item carries (its item data).
struct MenuItemRecord {
    std::string text;  // with the shortcut after a tab
    UINT type = 0;     // MFT_* as it was
    UINT state = 0;    // MFS_* when the drop-down opened
    int image = -1;    // index in the bar's image list, -1 for none
    UINT id = 0;
};

class CommandBar : public WindowObject, public MessageFilter {
public:
    CommandBar();
    ~CommandBar() override;

    // A toolbar child of `parent` registered under `className` (a
    // superclass of the system toolbar); commands and menu notifications go
    // to `frame`. Registers the bar as a filter of the thread's loop.
    HWND Create(HWND parent, HWND frame, const char* className, UINT id);

    // The menu whose top-level items the bar shows (not owned).
    bool AttachMenu(HMENU menu);
    HMENU GetMenu() const { return m_menu; }
    // Images of the toolbar resource `id` beside the commands they show.
    bool LoadImages(HINSTANCE module, UINT id);
    HIMAGELIST Images() const { return m_images; }
    int ImageWidth() const { return m_imageWidth; }
    // The MDI client whose maximised child gets buttons in the bar.
    void SetMdiClient(HWND client) { m_mdiClient = client; }
    // Checks the active MDI child (call when the loop goes idle and after
    // MDI changes); rebuilds the buttons when its maximised state changed.
    void UpdateMdiButtons();

    // Opens top-level item `index` (the child's system menu counts as item
    // 0 while shown); from the keyboard the first item is selected.
    void OpenItem(int index, bool keyboard);
    bool IsTracking() const { return m_tracking; }
    // The top-level item index (of the menu) a button stands for, or -1.
    int ItemOfButton(int button) const;
    // The button index of a menu's top-level item.
    int ButtonOfItem(int item) const;
    // Keyboard mode: Alt or F10 lit the first item; arrows move, Enter opens.
    bool InKeyboardMode() const { return m_keyboardMode; }
    // False while the frame is inactive (the items show their inactive state).
    bool IsFrameActive() const { return m_frameActive; }
    void SetFrameActive(bool active);

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL ProcessWindowMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;

protected:
    // Draws one owner-drawn drop-down item; the base draws it plainly.
    virtual void DrawMenuItem(const DRAWITEMSTRUCT& item, const MenuItemRecord& record);
    virtual void MeasureMenuItem(MEASUREITEMSTRUCT& item, const MenuItemRecord& record);
    HWND Frame() const { return m_frame; }

private:
    enum : UINT { FIRST_BUTTON_ID = 0xF900 };
    struct CaptionButton {
        RECT rect;
        UINT command;  // SC_MINIMIZE, SC_RESTORE, SC_CLOSE
        UINT style;    // DFCS_*
    };

    void RebuildButtons();
    void TrackLoop(int button, bool keyboard);
    HMENU PopupOfButton(int button) const;
    int ButtonAt(POINT screen) const;
    int ButtonOfMnemonic(char key) const;
    void EnterKeyboardMode();
    void LeaveKeyboardMode();
    void MakeOwnerDrawn(HMENU popup);
    void RestoreOwnerDrawn();
    void LayOutCaptionButtons();
    void PaintCaptionButtons();
    static LRESULT CALLBACK MenuHook(int code, WPARAM wParam, LPARAM lParam);
    bool OnMenuHookMessage(const MSG& msg);

    LRESULT OnKeyDown(WPARAM key);
    LRESULT OnLButtonDown(LPARAM lParam, BOOL& handled);

    HWND m_frame = nullptr;
    HMENU m_menu = nullptr;
    HWND m_mdiClient = nullptr;
    HWND m_maxChild = nullptr;  // the maximised child whose buttons show
    HIMAGELIST m_images = nullptr;
    int m_imageWidth = 16;
    std::vector<std::pair<UINT, int>> m_imageOfCommand;
    std::vector<CaptionButton> m_captionButtons;

    bool m_tracking = false;
    int m_trackedButton = -1;
    int m_nextButton = -1;
    bool m_nextKeyboard = false;
    HMENU m_trackedPopup = nullptr;
    HMENU m_selectedMenu = nullptr;
    bool m_selectedIsPopup = false;
    HHOOK m_hook = nullptr;
    std::vector<std::pair<HMENU, MenuItemRecord*>> m_ownerDrawn;

    bool m_keyboardMode = false;
    bool m_altDown = false;
    HWND m_focusBefore = nullptr;
    bool m_frameActive = true;
    bool m_filterRegistered = false;
};

}  // namespace wnd
