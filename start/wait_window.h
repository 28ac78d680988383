// CWaitWindow: a small borderless window with one line of text, shown while
// a slow call blocks the GUI thread. It shows at once when made and goes
// when the object goes.
#pragma once
#include <window/window_object.h>
#include <string>

class CWaitWindow : public wnd::WindowObject {
public:
    CWaitWindow(HWND owner, const std::string& text);
    ~CWaitWindow() override;
    CWaitWindow(const CWaitWindow&) = delete;
    CWaitWindow& operator=(const CWaitWindow&) = delete;

    BOOL ProcessWindowMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;

private:
    LRESULT OnInitDialog();

    std::string m_text;
};
