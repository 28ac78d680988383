// CHyperLink: a static text of a dialog that opens its target with the
// shell when clicked, underlined, with a hand cursor and the target in its
// tooltip. A link without a target stays plain text and opens nothing.
// The static needs SS_NOTIFY to receive the mouse.
#pragma once
#include <window/window_object.h>
#include <string>

class CHyperLink : public wnd::WindowObject {
public:
    CHyperLink() = default;
    ~CHyperLink() override;
    CHyperLink(const CHyperLink&) = delete;
    CHyperLink& operator=(const CHyperLink&) = delete;

    // Takes over the dialog's static `control`, showing `text`.
    bool Attach(HWND dialog, int control, const std::string& text, const std::string& target);
    bool HasTarget() const { return !m_target.empty(); }
    const std::string& Target() const { return m_target; }

    WND_MSG_MAP_BEGIN(CHyperLink)
        WND_MESSAGE(WM_SETCURSOR, OnSetCursor)
        WND_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
    WND_MSG_MAP_END()

private:
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&);

    std::string m_target;
    HFONT m_font = nullptr;
    HWND m_toolTip = nullptr;
};
