// CEditorToolbar: the data editor's rebar at the top of its window, one
// band painted with a gradient, holding the toolbar of the editor's six
// commands. The toolbar's notifications and commands go to the frame.
#pragma once
#include <windows.h>
#include <commctrl.h>

class CEditorToolbar {
public:
    CEditorToolbar() = default;
    ~CEditorToolbar();
    CEditorToolbar(const CEditorToolbar&) = delete;
    CEditorToolbar& operator=(const CEditorToolbar&) = delete;

    // Makes the rebar and the toolbar inside `frame`; the sort button shows
    // the image of `sorting`. False when a control could not be made.
    bool Create(HWND frame, HINSTANCE module, bool sorting);
    // Frees the band's bitmap and the button images (the windows go with
    // the frame).
    void Release();

    HWND Rebar() const { return m_rebar; }
    HWND Toolbar() const { return m_toolbar; }
    // The rebar's height, 0 without one.
    int Height() const;
    // Places the rebar at the top left with `width`.
    void Layout(int width) const;

    void ShowSorting(bool on) const;
    void Enable(unsigned id, bool on) const;
    bool Enabled(unsigned id) const;

    // Images of the sort button for sorting on and off.
    enum : int { SORT_ON_IMAGE = 5, SORT_OFF_IMAGE = 6 };
    // The band's gradient, left to right.
    static const COLORREF BAND_LEFT = RGB(0xC8, 0xD4, 0xF6);
    static const COLORREF BAND_RIGHT = RGB(0xFE, 0xFE, 0xFE);

private:
    HWND m_rebar = nullptr;
    HWND m_toolbar = nullptr;
    HIMAGELIST m_images = nullptr;
    HBITMAP m_gradient = nullptr;
};
