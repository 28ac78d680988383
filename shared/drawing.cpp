#include "drawing.h"

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

}  // namespace

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
