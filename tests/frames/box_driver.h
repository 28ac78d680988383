// Answers the message boxes that a thread shows, as a user would: a watcher
// thread finds each box of that thread, notes its caption and text, runs
// the test's script for it and presses the button the test chose.
#pragma once
#include <windows.h>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SeenBox {
    std::string caption, text;
};

class CBoxDriver {
public:
    // Watches the boxes of the calling thread.
    CBoxDriver();
    ~CBoxDriver();
    CBoxDriver(const CBoxDriver&) = delete;
    CBoxDriver& operator=(const CBoxDriver&) = delete;

    // The button for the next boxes (IDOK, IDCANCEL...), and what runs on
    // the watcher thread before it is pressed.
    void Answer(int button);
    void BeforeAnswer(std::function<void(const SeenBox&)> script);
    std::vector<SeenBox> Seen();

private:
    void Watch();
    bool AnswerOne();

    DWORD m_thread;
    std::mutex m_lock;
    int m_button = IDOK;
    std::function<void(const SeenBox&)> m_script;
    std::vector<SeenBox> m_seen;
    HANDLE m_stop;
    std::thread m_watcher;
};
