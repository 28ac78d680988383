// Thin owners of GDI handles: device contexts, the objects selected into
// them (fonts, brushes, pens, bitmaps) and regions. Each deletes or
// releases what it holds when it goes; Detach hands the handle over.
#pragma once
#include <windows.h>
#include <utility>

namespace wnd {

// An owned GDI object (DeleteObject on destruction).
template <class H>
class GdiObject {
public:
    explicit GdiObject(H handle = nullptr) : m_handle(handle) {}
    GdiObject(GdiObject&& o) noexcept : m_handle(o.Detach()) {}
    GdiObject& operator=(GdiObject&& o) noexcept { Attach(o.Detach()); return *this; }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { Attach(nullptr); }

    operator H() const { return m_handle; }
    H Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Attach(H handle)
    {
        if (m_handle) ::DeleteObject(m_handle);
        m_handle = handle;
    }
    H Detach() { return std::exchange(m_handle, nullptr); }

private:
    H m_handle;
};

class Font : public GdiObject<HFONT> {
public:
    using GdiObject::GdiObject;
    static Font FromLogFont(const LOGFONTA& lf) { return Font(::CreateFontIndirectA(&lf)); }
    // A copy of `base` (a stock font when null) with another weight.
    static Font WithWeight(HFONT base, LONG weight);
};

class Brush : public GdiObject<HBRUSH> {
public:
    using GdiObject::GdiObject;
    static Brush Solid(COLORREF color) { return Brush(::CreateSolidBrush(color)); }
};

class Pen : public GdiObject<HPEN> {
public:
    using GdiObject::GdiObject;
    static Pen Solid(COLORREF color, int width = 1) { return Pen(::CreatePen(PS_SOLID, width, color)); }
};

class Bitmap : public GdiObject<HBITMAP> {
public:
    using GdiObject::GdiObject;
    static Bitmap Compatible(HDC dc, int width, int height)
    {
        return Bitmap(::CreateCompatibleBitmap(dc, width, height));
    }
    SIZE GetSize() const;
};

class Region : public GdiObject<HRGN> {
public:
    using GdiObject::GdiObject;
    static Region FromRect(const RECT& r) { return Region(::CreateRectRgnIndirect(&r)); }
    static Region RoundRect(const RECT& r, int cornerWidth, int cornerHeight)
    {
        return Region(::CreateRoundRectRgn(r.left, r.top, r.right, r.bottom, cornerWidth, cornerHeight));
    }
    // RGN_AND, RGN_OR, RGN_DIFF, RGN_XOR with `other`, in place.
    int Combine(HRGN other, int mode) { return ::CombineRgn(Get(), Get(), other, mode); }
    bool Contains(int x, int y) const { return ::PtInRegion(Get(), x, y) != FALSE; }
    RECT GetBox() const
    {
        RECT r = {};
        ::GetRgnBox(Get(), &r);
        return r;
    }
};

// A device context and the drawing calls the owner-drawn parts use; owns
// nothing (see the classes below).
class DCHandle {
public:
    explicit DCHandle(HDC dc = nullptr) : m_hDC(dc) {}
    operator HDC() const { return m_hDC; }

    void FillSolidRect(const RECT& r, COLORREF color) const;
    // DrawTextA; with DT_CALCRECT `r` receives the text's extent.
    int DrawText(const char* text, RECT& r, UINT format) const { return ::DrawTextA(m_hDC, text, -1, &r, format); }
    SIZE GetTextExtent(const char* text) const;
    COLORREF SetTextColor(COLORREF c) const { return ::SetTextColor(m_hDC, c); }
    int SetBkMode(int mode) const { return ::SetBkMode(m_hDC, mode); }

    HDC m_hDC;
};

// A memory device context compatible with another (DeleteDC on destruction).
class CompatibleDC : public DCHandle {
public:
    explicit CompatibleDC(HDC like = nullptr) : DCHandle(::CreateCompatibleDC(like)) {}
    ~CompatibleDC() { if (m_hDC) ::DeleteDC(m_hDC); }
    CompatibleDC(const CompatibleDC&) = delete;
    CompatibleDC& operator=(const CompatibleDC&) = delete;
};

// The client area's device context of a window (GetDC / ReleaseDC); null
// window: the screen.
class ClientDC : public DCHandle {
public:
    explicit ClientDC(HWND hWnd) : DCHandle(::GetDC(hWnd)), m_hWnd(hWnd) {}
    ~ClientDC() { if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC); }
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;
private:
    HWND m_hWnd;
};

// Painting in WM_PAINT (BeginPaint / EndPaint).
class PaintDC : public DCHandle {
public:
    explicit PaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_paint); }
    ~PaintDC() { ::EndPaint(m_hWnd, &m_paint); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    const RECT& PaintRect() const { return m_paint.rcPaint; }
private:
    HWND m_hWnd;
    PAINTSTRUCT m_paint;
};

// Selects an object into a device context for a scope and puts the
// previous one back (the object itself stays its owner's).
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    ~Selection() { if (m_previous) ::SelectObject(m_dc, m_previous); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

}  // namespace wnd
