// Off-screen painting and GDI object scopes for owner-drawn parts.
#pragma once
#include <windows.h>

// Paints into a bitmap as large as the rectangle's right and bottom and
// copies the rectangle to the target when it goes. An empty rectangle (or
// none) means the target's clip box.
class CMemoryDC {
public:
    explicit CMemoryDC(HDC target, const RECT* rect = nullptr);
    ~CMemoryDC();
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    operator HDC() const { return m_dc; }
    const RECT& Rect() const { return m_rect; }

private:
    HDC m_target;
    RECT m_rect;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_oldBitmap;
};

// A solid pen of width 1 selected for a scope.
class CPenSelector {
public:
    CPenSelector(HDC dc, COLORREF color);
    ~CPenSelector();
    CPenSelector(const CPenSelector&) = delete;
    CPenSelector& operator=(const CPenSelector&) = delete;
    void SetColor(COLORREF color);

private:
    HDC m_dc;
    HPEN m_pen = nullptr;
    HGDIOBJ m_old = nullptr;
};

// A solid brush selected for a scope; the colour NO_BRUSH_COLOR (-1) selects the
// stock null brush.
constexpr COLORREF NO_BRUSH_COLOR = static_cast<COLORREF>(-1);

class CBrushSelector {
public:
    CBrushSelector(HDC dc, COLORREF color);
    ~CBrushSelector();
    CBrushSelector(const CBrushSelector&) = delete;
    CBrushSelector& operator=(const CBrushSelector&) = delete;
    void SetColor(COLORREF color);

private:
    HDC m_dc;
    HBRUSH m_brush = nullptr;  // null while the stock brush is selected
    HGDIOBJ m_old = nullptr;
};

// Two-colour gradient from color1 at the left (or top, when vertical) to color2.
BOOL FillGradientRect(HDC dc, int x, int y, int width, int height, COLORREF color1, COLORREF color2,
                      BOOL vertical);
// A bitmap compatible with `dc`, filled by FillGradientRect; the caller deletes it.
BOOL CreateGradientBitmap(HDC dc, SIZE size, COLORREF color1, COLORREF color2, HBITMAP* bitmap,
                          BOOL vertical);
// A flat shadow in the shape of the icon (drawn `size` x `size`), in one
// colour. The shape comes from what the icon covers, so icons with an alpha
// channel cast a shadow of their outline, not of their square.
BOOL DrawIconShadow(HDC dc, int x, int y, HICON icon, int size, COLORREF colour);
