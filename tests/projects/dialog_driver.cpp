#include "dialog_driver.h"

namespace {

struct Search {
    HWND found;
};

// A modal dialog disables its owner; a modeless one (a progress window)
// is left alone.
BOOL CALLBACK TakeVisibleDialog(HWND w, LPARAM p)
{
    char name[16] = "";
    GetClassNameA(w, name, sizeof name);
    if (lstrcmpA(name, "#32770") || !IsWindowVisible(w)) return TRUE;
    HWND owner = GetWindow(w, GW_OWNER);
    if (owner && IsWindowEnabled(owner)) return TRUE;
    reinterpret_cast<Search*>(p)->found = w;
    return FALSE;
}

BOOL CALLBACK CollectText(HWND w, LPARAM p)
{
    char text[1024] = "";
    char name[16] = "";
    GetClassNameA(w, name, sizeof name);
    if (!lstrcmpiA(name, "Static")) {
        SendMessageA(w, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        if (text[0]) reinterpret_cast<std::vector<std::string>*>(p)->push_back(text);
    }
    return TRUE;
}

}  // namespace

DialogDriver::DialogDriver(std::function<void(HWND)> act)
    : m_thread(GetCurrentThreadId()), m_act(std::move(act)), m_worker([this] { Run(); })
{
}

DialogDriver::~DialogDriver()
{
    m_stop = true;
    // The worker may be sending to a window of this thread just now.
    while (!m_done) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(1);
    }
    m_worker.join();
}

std::vector<std::string> DialogDriver::Texts() const { return m_texts; }

void DialogDriver::Run()
{
    HWND last = nullptr;
    int waited = 0;
    while (!m_stop) {
        Search search = {nullptr};
        EnumThreadWindows(m_thread, TakeVisibleDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found && search.found != last) {
            Sleep(100);  // let the dialog finish its set-up
            char caption[256] = "";
            SendMessageA(search.found, WM_GETTEXT, sizeof caption, reinterpret_cast<LPARAM>(caption));
            m_texts.push_back(caption);
            EnumChildWindows(search.found, CollectText, reinterpret_cast<LPARAM>(&m_texts));
            ++m_seen;
            last = search.found;
            waited = 0;
            m_act(search.found);
        } else if (search.found && (waited += 10) > 8000) {
            PostMessageA(search.found, WM_COMMAND, IDCANCEL, 0);  // never hang the suite
            waited = 0;
        }
        Sleep(10);
    }
    m_done = true;
}

void DialogDriver::Press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void DialogDriver::SaveAs(HWND dialog, const std::string& path)
{
    // The file name box of the Explorer-style dialog: an edit (0x480) or a combo (0x47C).
    HWND edit = GetDlgItem(dialog, 0x480);
    if (!edit) edit = GetDlgItem(dialog, 0x47C);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    Press(dialog, IDOK);
}
