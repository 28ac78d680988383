// CRebarToolbar: an editor's rebar at the top of its window, one band
// painted with a gradient holding the editor's toolbar, and further bands
// for other controls (the preview player's). The toolbar's notifications and
// commands go to the frame.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstddef>

// A button of the toolbar: its command and its image in the icons given;
// a command of 0 is a separator.
struct ToolbarButton {
    unsigned command;
    int image;
};

class CRebarToolbar {
public:
    CRebarToolbar() = default;
    ~CRebarToolbar();
    CRebarToolbar(const CRebarToolbar&) = delete;
    CRebarToolbar& operator=(const CRebarToolbar&) = delete;

    // Makes the rebar and the toolbar inside `frame`, the images from the
    // module's 16x16 `icons`. False when a control could not be made.
    bool Create(HWND frame, HINSTANCE module, const int* icons, size_t iconCount, const ToolbarButton* buttons,
                size_t buttonCount);
    // Puts `child` (made with the rebar as its parent) into a band of its
    // own after the toolbar's, `width` wide at least.
    bool AddBand(HWND child, int width) const;
    // Frees the band's bitmap and the button images (the windows go with
    // the frame).
    void Release();

    HWND Rebar() const { return m_rebar; }
    HWND Toolbar() const { return m_toolbar; }
    // The rebar's height, 0 without one.
    int Height() const;
    // Places the rebar at the top left with `width`.
    void Layout(int width) const;

    void Enable(unsigned id, bool on) const;
    bool Enabled(unsigned id) const;
    void ChangeImage(unsigned id, int image) const;

    // The band's gradient, painted by the frame in the rebar's
    // WM_ERASEBKGND too: not every rebar draws a band's background bitmap.
    // The transparent toolbar shows it through.
    static void PaintBand(HWND rebar, HDC dc);
    static const COLORREF BAND_LEFT = RGB(0xC8, 0xD4, 0xF6);
    static const COLORREF BAND_RIGHT = RGB(0xFE, 0xFE, 0xFE);

private:
    HWND m_rebar = nullptr;
    HWND m_toolbar = nullptr;
    HIMAGELIST m_images = nullptr;
    HBITMAP m_gradient = nullptr;
};
