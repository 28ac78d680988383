// CSpaceMeasureBar: the strip under the MDI area (window class "Space
// Measure Bar") that shows how much the active project puts on the disc.
// This is its slot in the frame: it keeps the size the project reports and
// shows it as text.
#pragma once
#include <window/window_impl.h>
#include <string>

class CSpaceMeasureBar : public wnd::WindowImpl<CSpaceMeasureBar> {
public:
    WND_CLASS("Space Measure Bar", CS_HREDRAW | CS_VREDRAW, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))

    enum { HEIGHT = 36 };

    HWND Create(HWND parent, UINT id, bool visible);
    void SetDataSize(ULONGLONG bytes);
    void SetTotalLength(float seconds);
    ULONGLONG DataSize() const { return m_bytes; }
    // What the bar shows: "12.34 MB", or "m:ss" for an audio length.
    std::string Text() const;

    WND_MSG_MAP_BEGIN(CSpaceMeasureBar)
        WND_MESSAGE(WM_PAINT, OnPaint)
    WND_MSG_MAP_END()

private:
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    void Refresh();

    ULONGLONG m_bytes = 0;
    float m_seconds = 0;
    bool m_audio = false;
};
