// CSpaceMeasureBar: the strip under the MDI area (window class "Space
// Measure Bar") that shows how much the active project puts on the disc:
// the used part against a scale with the common disc capacities marked, in
// bytes for data projects and in seconds for audio ones, with the summary
// in its tooltip (and as its window text, for screen readers and tests).
#pragma once
#include "space_bar_painter.h"
#include <window/window_impl.h>
#include <string>

class CSpaceMeasureBar : public wnd::WindowImpl<CSpaceMeasureBar> {
public:
    WND_CLASS("Space Measure Bar", CS_HREDRAW | CS_VREDRAW, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))

    enum { HEIGHT = 36 };

    HWND Create(HWND parent, UINT id, bool visible);
    void SetDataSize(ULONGLONG bytes);
    void SetTotalLength(float seconds);
    ULONGLONG DataSize() const { return m_state.bytes; }
    // The tooltip's text: "Data size: 12.34 Mb" or "Total length: 02:05".
    std::string Text() const { return SpaceBarSummary(m_state); }

    WND_MSG_MAP_BEGIN(CSpaceMeasureBar)
        WND_MESSAGE(WM_CREATE, OnCreate)
        WND_MESSAGE(WM_SIZE, OnSize)
        WND_MESSAGE(WM_ERASEBKGND, OnEraseBackground)
        WND_MESSAGE(WM_PAINT, OnPaint)
    WND_MSG_MAP_END()

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    void Refresh();
    void FillToolInfo(TOOLINFOA* tool, const std::string* text);

    CSpaceBarState m_state;
    HWND m_toolTip = nullptr;
};
