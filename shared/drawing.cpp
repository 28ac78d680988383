#include "drawing.h"
#include <algorithm>

CMemoryDC::CMemoryDC(HDC target, const RECT* rect) : m_target(target)
{
    if (rect && !IsRectEmpty(rect))
        m_rect = *rect;
    else
        GetClipBox(target, &m_rect);
    m_dc = CreateCompatibleDC(target);
    // Target coordinates throughout: the bitmap reaches from the origin,
    // and what lies above and left of the rectangle is never drawn.
    m_bitmap = CreateCompatibleBitmap(target, m_rect.right, m_rect.bottom);
    m_oldBitmap = SelectObject(m_dc, m_bitmap);
    ExcludeClipRect(m_dc, 0, 0, m_rect.right, m_rect.top);
    ExcludeClipRect(m_dc, 0, m_rect.top, m_rect.left, m_rect.bottom);
}

CMemoryDC::~CMemoryDC()
{
    BitBlt(m_target, m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, m_dc,
           m_rect.left, m_rect.top, SRCCOPY);
    SelectObject(m_dc, m_oldBitmap);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

CPenSelector::CPenSelector(HDC dc, COLORREF color) : m_dc(dc) { SetColor(color); }

CPenSelector::~CPenSelector()
{
    SelectObject(m_dc, m_old);
    DeleteObject(m_pen);
}

void CPenSelector::SetColor(COLORREF color)
{
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ previous = SelectObject(m_dc, pen);
    if (m_pen)
        DeleteObject(m_pen);
    else
        m_old = previous;
    m_pen = pen;
}

CBrushSelector::CBrushSelector(HDC dc, COLORREF color) : m_dc(dc)
{
    m_old = GetCurrentObject(dc, OBJ_BRUSH);
    SetColor(color);
}

CBrushSelector::~CBrushSelector()
{
    SelectObject(m_dc, m_old);
    if (m_brush) DeleteObject(m_brush);
}

void CBrushSelector::SetColor(COLORREF color)
{
    HBRUSH brush = color == NO_BRUSH_COLOR ? nullptr : CreateSolidBrush(color);
    SelectObject(m_dc, brush ? static_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
    if (m_brush) DeleteObject(m_brush);
    m_brush = brush;
}

namespace {

TRIVERTEX Vertex(int x, int y, COLORREF color)
{
    TRIVERTEX v;
    v.x = x;
    v.y = y;
    v.Red = static_cast<COLOR16>(GetRValue(color) << 8);
    v.Green = static_cast<COLOR16>(GetGValue(color) << 8);
    v.Blue = static_cast<COLOR16>(GetBValue(color) << 8);
    v.Alpha = 0;
    return v;
}

// A 32-bit top-down bitmap of size x size in a memory context, filled with one colour.
class CSquareCanvas {
public:
    CSquareCanvas(int size, DWORD fill) : m_size(size)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = size;
        info.bmiHeader.biHeight = -size;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        if (!m_bitmap) return;
        m_old = SelectObject(m_dc, m_bitmap);
        for (int i = 0; i < size * size; ++i) m_bits[i] = fill;
    }
    ~CSquareCanvas()
    {
        if (m_bitmap) {
            SelectObject(m_dc, m_old);
            DeleteObject(m_bitmap);
        }
        DeleteDC(m_dc);
    }
    CSquareCanvas(const CSquareCanvas&) = delete;
    CSquareCanvas& operator=(const CSquareCanvas&) = delete;

    bool Valid() const { return m_bitmap != nullptr; }
    HDC Dc() const { return m_dc; }
    DWORD* Bits() const { return m_bits; }
    int Pixels() const { return m_size * m_size; }

private:
    int m_size;
    HDC m_dc;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};

int Channel(DWORD pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

}  // namespace

BOOL DrawIconShadow(HDC dc, int x, int y, HICON icon, int size, COLORREF colour)
{
    // Drawn on black and on white, a pixel differs by as much as the icon
    // lets the background through.
    CSquareCanvas onBlack(size, 0x000000), onWhite(size, 0xFFFFFF);
    if (!onBlack.Valid() || !onWhite.Valid()) return FALSE;
    if (!DrawIconEx(onBlack.Dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL) ||
        !DrawIconEx(onWhite.Dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL))
        return FALSE;
    GdiFlush();
    DWORD* shadow = onBlack.Bits();  // becomes the premultiplied shadow
    for (int i = 0; i < onBlack.Pixels(); ++i) {
        int through = 0;
        for (int shift : {0, 8, 16})
            through = std::max(through, Channel(onWhite.Bits()[i], shift) - Channel(shadow[i], shift));
        const DWORD alpha = static_cast<DWORD>(255 - std::min(255, std::max(0, through)));
        shadow[i] = alpha << 24 | (GetRValue(colour) * alpha / 255) << 16 | (GetGValue(colour) * alpha / 255) << 8 |
                    GetBValue(colour) * alpha / 255;
    }
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return AlphaBlend(dc, x, y, size, size, onBlack.Dc(), 0, 0, size, size, blend);
}

BOOL FillGradientRect(HDC dc, int x, int y, int width, int height, COLORREF color1, COLORREF color2,
                      BOOL vertical)
{
    TRIVERTEX vertices[2] = {Vertex(x, y, color1), Vertex(x + width, y + height, color2)};
    GRADIENT_RECT rect = {0, 1};
    return GradientFill(dc, vertices, 2, &rect, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

BOOL CreateGradientBitmap(HDC dc, SIZE size, COLORREF color1, COLORREF color2, HBITMAP* bitmap,
                          BOOL vertical)
{
    if (!bitmap) return FALSE;
    *bitmap = CreateCompatibleBitmap(dc, size.cx, size.cy);
    if (!*bitmap) return FALSE;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, *bitmap);
    BOOL filled = FillGradientRect(memory, 0, 0, size.cx, size.cy, color1, color2, vertical);
    SelectObject(memory, old);
    DeleteDC(memory);
    if (!filled) {
        DeleteObject(*bitmap);
        *bitmap = nullptr;
    }
    return filled;
}
