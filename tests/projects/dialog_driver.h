// Answers the modal dialogs a call on this thread opens (the system's
// message box, the file dialog): a helper thread waits for each visible
// modal dialog of the calling thread, records its texts and acts on it.
#pragma once
#include <windows.h>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

class DialogDriver {
public:
    // `act` gets each dialog in turn; it must end it (or it is cancelled
    // after a few seconds).
    explicit DialogDriver(std::function<void(HWND)> act);
    ~DialogDriver();

    // Every text of the dialogs seen (caption, then the static texts).
    std::vector<std::string> Texts() const;
    int Seen() const { return m_seen; }

    // Acts: presses a button; types a file name into a file dialog and
    // confirms it.
    static void Press(HWND dialog, int id);
    static void SaveAs(HWND dialog, const std::string& path);

private:
    void Run();

    DWORD m_thread;
    std::function<void(HWND)> m_act;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_done{false};
    std::atomic<int> m_seen{0};
    std::vector<std::string> m_texts;
    std::thread m_worker;
};
