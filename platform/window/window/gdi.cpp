#include "window/gdi.h"

namespace wnd {

Font Font::WithWeight(HFONT base, LONG weight)
{
    LOGFONTA lf = {};
    ::GetObjectA(base ? static_cast<HGDIOBJ>(base) : ::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    lf.lfWeight = weight;
    return FromLogFont(lf);
}

SIZE Bitmap::GetSize() const
{
    BITMAP bm = {};
    ::GetObjectA(Get(), sizeof(bm), &bm);
    return SIZE{bm.bmWidth, bm.bmHeight};
}

void DCHandle::FillSolidRect(const RECT& r, COLORREF color) const
{
    // ExtTextOut with an opaque rectangle fills without a brush.
    COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

SIZE DCHandle::GetTextExtent(const char* text) const
{
    SIZE size = {};
    ::GetTextExtentPoint32A(m_hDC, text, lstrlenA(text), &size);
    return size;
}

}  // namespace wnd
