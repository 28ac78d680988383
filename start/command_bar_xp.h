// CCommandBarXPCtrl: the frame's menu command bar (window class
// "WTL_CommandBarXP") with its own look: gradient top-level items drawn
// through custom draw, and owner-drawn drop-down items with an image column,
// check boxes and shadowed images. The tracking is the window layer's.
#pragma once
#include <window/command_bar.h>
#include <window/gdi.h>

class CCommandBarXPCtrl : public wnd::CommandBar {
public:
    static const char* const CLASS_NAME;  // "WTL_CommandBarXP"

    // Creates the bar and its two gradient bitmaps.
    HWND Create(HWND parent, HWND frame, UINT id);

    // The custom draw of the top-level items, from the bar's parent's
    // NM_CUSTOMDRAW; false when the notification is not the bar's.
    bool OnCustomDraw(NMHDR* header, LRESULT* result);

protected:
    void DrawMenuItem(const DRAWITEMSTRUCT& item, const wnd::MenuItemRecord& record) override;

private:
    void MakeBitmaps();
    void DrawTopLevelItem(NMTBCUSTOMDRAW& draw);
    void DrawItemImage(HDC dc, const RECT& rc, const wnd::MenuItemRecord& record, bool selected, bool checked,
                       bool grayed);

    wnd::Bitmap m_hotBitmap;
    wnd::Bitmap m_pressedBitmap;
};
