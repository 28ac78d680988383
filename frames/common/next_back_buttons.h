// CNextBackButtonsCreator: the Back and Next push buttons in the lower left
// corner of every frame a project hosts, through which the user moves
// between the project's frames. The project sends one geometry for all its
// frames (PCID_SET_BUTTONS_POS) so that the buttons stand at the same place
// on every page.
//
// T, the frame, is a window object with the translator mixin and the
// command partner; it lets this base reach its SendCommand (friend), calls
// CreateNextBackButtons while its window starts, LayoutNextBackButtons from
// WM_SIZE, hands commands 101 and 102 to HandleNextBackCommand, and chains
// this map into its own after its own entries.
#pragma once
#include "commands.h"
#include <shared/variant_safearray.h>
#include <window/message_map.h>
#include <string>

template <class T>
class CNextBackButtonsCreator {
public:
    enum : int { IDC_BACK_BUTTON = 29334, IDC_NEXT_BUTTON = 29335 };
    enum : unsigned long { STR_NEXT = 16, STR_BACK = 17 };

    // Makes Back, then Next (not attempted when Back failed), disabled where
    // the argument is not positive; true when both exist.
    bool CreateNextBackButtons(BOOL backEnabled, BOOL nextEnabled)
    {
        HWND frame = Frame();
        const std::string next = Caption(STR_NEXT, "Next"), back = Caption(STR_BACK, "Back");
        m_back = MakeButton(frame, IDC_BACK_BUTTON, backEnabled);
        if (m_back) m_next = MakeButton(frame, IDC_NEXT_BUTTON, nextEnabled);
        if (!m_back || !m_next) return false;
        HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        SendMessageA(m_back, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        SetWindowTextA(m_back, back.c_str());
        SendMessageA(m_next, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        SetWindowTextA(m_next, next.c_str());
        return true;
    }

    // Puts the buttons at the bottom left with the current margins; returns
    // the bottom of the area the frame may use for its own content.
    int LayoutNextBackButtons()
    {
        RECT client = {};
        GetClientRect(Frame(), &client);
        RECT button = {};
        if (m_back) GetWindowRect(m_back, &button);
        const int w = button.right - button.left, h = button.bottom - button.top;
        const int y = (client.bottom - client.top) - h - static_cast<int>(m_marginY);
        const UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
        if (m_back) SetWindowPos(m_back, nullptr, static_cast<int>(m_marginX), y, 0, 0, flags);
        if (m_next) SetWindowPos(m_next, nullptr, static_cast<int>(m_marginX) + w + 4, y, 0, 0, flags);
        return y - static_cast<int>(m_marginY);
    }

    // PCID_SET_BUTTONS_POS and PCID_SET_BUTTONS_STATE: false for any other
    // number. The geometry is used by the next layout; the flags of 102
    // enable or disable the buttons at once.
    bool HandleNextBackCommand(unsigned int id, SAFEARRAY* data, HRESULT* result)
    {
        if (id == PCID_SET_BUTTONS_POS) {
            *result = ExtractFromSafearray(data, {{VT_UI4, &m_marginX}, {VT_UI4, &m_marginY},
                                                  {VT_UI4, &m_width}, {VT_UI4, &m_height}});
            return true;
        }
        if (id == PCID_SET_BUTTONS_STATE) {
            *result = ExtractFromSafearray(data, {{VT_UI4, &m_marginX}, {VT_UI4, &m_marginY}, {VT_UI4, &m_width},
                                                  {VT_UI4, &m_height}, {VT_BOOL, &m_backEnabled},
                                                  {VT_BOOL, &m_nextEnabled}});
            if (SUCCEEDED(*result)) {
                if (m_back) EnableWindow(m_back, m_backEnabled);
                if (m_next) EnableWindow(m_next, m_nextEnabled);
            }
            return true;
        }
        return false;
    }

    BOOL BackEnabledFlag() const { return m_backEnabled; }
    BOOL NextEnabledFlag() const { return m_nextEnabled; }

    WND_MSG_MAP_BEGIN(CNextBackButtonsCreator)
        WND_COMMAND_CODE(IDC_NEXT_BUTTON, BN_CLICKED, OnNextClicked)
        WND_COMMAND_CODE(IDC_BACK_BUTTON, BN_CLICKED, OnBackClicked)
    WND_MSG_MAP_END()

    // A disabled button sends nothing, even when a click is forced on it.
    LRESULT OnNextClicked(WORD, WORD, HWND, BOOL&)
    {
        return IsWindowEnabled(m_next) ? static_cast<T*>(this)->SendCommand(PCID_NEXT, nullptr) : S_FALSE;
    }
    LRESULT OnBackClicked(WORD, WORD, HWND, BOOL&)
    {
        return IsWindowEnabled(m_back) ? static_cast<T*>(this)->SendCommand(PCID_BACK, nullptr) : S_FALSE;
    }

private:
    HWND Frame() { return static_cast<T*>(this)->m_hWnd; }

    // The translated text, else the built-in English one.
    static std::string Caption(unsigned long id, const char* fallback)
    {
        std::string text = T::GetLangStr(id);
        return text.empty() ? fallback : text;
    }

    HWND MakeButton(HWND frame, int id, BOOL enabled)
    {
        DWORD style = WS_CHILD | WS_VISIBLE | (enabled > 0 ? 0 : WS_DISABLED);
        return CreateWindowExA(0, "BUTTON", "", style, 0, 0, static_cast<int>(m_width), static_cast<int>(m_height),
                               frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }

    HWND m_next = nullptr;
    HWND m_back = nullptr;
    unsigned long m_marginX = 14;
    unsigned long m_marginY = 14;
    unsigned long m_width = 100;
    unsigned long m_height = 28;
    int m_backEnabled = 1;
    int m_nextEnabled = 1;
};
