#include "box_driver.h"

namespace {

std::string TextOf(HWND window)
{
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

BOOL CALLBACK FindBox(HWND window, LPARAM found)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof(name));
    if (lstrcmpA(name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The box's message: its longest static text.
BOOL CALLBACK FindMessage(HWND child, LPARAM text)
{
    char name[16] = "";
    GetClassNameA(child, name, sizeof(name));
    std::string* longest = reinterpret_cast<std::string*>(text);
    if (lstrcmpiA(name, "Static") == 0) {
        std::string t = TextOf(child);
        if (t.size() > longest->size()) *longest = t;
    }
    return TRUE;
}

}  // namespace

CBoxDriver::CBoxDriver() : m_thread(GetCurrentThreadId()), m_stop(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
    m_watcher = std::thread([this] { Watch(); });
}

CBoxDriver::~CBoxDriver()
{
    SetEvent(m_stop);
    m_watcher.join();
    CloseHandle(m_stop);
}

void CBoxDriver::Answer(int button)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_button = button;
}

void CBoxDriver::BeforeAnswer(std::function<void(const SeenBox&)> script)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_script = std::move(script);
}

std::vector<SeenBox> CBoxDriver::Seen()
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_seen;
}

void CBoxDriver::Watch()
{
    while (WaitForSingleObject(m_stop, 50) == WAIT_TIMEOUT) AnswerOne();
}

bool CBoxDriver::AnswerOne()
{
    HWND box = nullptr;
    EnumThreadWindows(m_thread, FindBox, reinterpret_cast<LPARAM>(&box));
    if (!box) return false;
    SeenBox seen{TextOf(box), ""};
    EnumChildWindows(box, FindMessage, reinterpret_cast<LPARAM>(&seen.text));
    std::function<void(const SeenBox&)> script;
    int button;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_seen.push_back(seen);
        script = m_script;
        button = m_button;
    }
    if (script) script(seen);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    // The box goes before the next look.
    for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(20);
    return true;
}
