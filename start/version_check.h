// CVersionCheck: the new-version check of every start. A thread of its own
// asks the maker's web host (one HTTP/1.1 request, Windows Sockets) for the
// newest version and compares it with the running one; when the offered
// one is newer it posts `message` to the frame, which takes the offer and
// asks the user (CNewVersionDialog) on its own thread. Every failure is
// silent.
//
// The thread uses no service: what it needs from the settings is read
// before it starts, and the dialog reads and writes them on the frame's
// thread. Stop closes its socket and waits a bounded time, so that a late
// reply finds nothing released and nothing to show.
//
// TB_VERSION_CHECK_HOST ("host" or "host:port") points the check elsewhere;
// the tests point every run at a closed port of the loopback address.
#pragma once
#include <windows.h>
#include <memory>
#include <string>

// Posted by the check to the frame: an offer is waiting (TakeOffer).
#define WM_NEWVERSIONOFFER (WM_APP + 0x60)

class CVersionCheck {
public:
    CVersionCheck() = default;
    ~CVersionCheck() { Stop(); }
    CVersionCheck(const CVersionCheck&) = delete;
    CVersionCheck& operator=(const CVersionCheck&) = delete;

    // Starts the check once; the thread's handle is kept for Stop.
    void Start(HWND notify, UINT message);
    // Ends the check: its socket closed, the thread waited for at most `ms`.
    void Stop(DWORD ms = 3000);
    // The offered and the current version texts, once; false for none.
    bool TakeOffer(std::string* offered, std::string* current);

    // The maker's web host (or the one TB_VERSION_CHECK_HOST names) and port.
    static std::string Host(unsigned short* port = nullptr);

    struct State;

private:
    std::shared_ptr<State> m_state;
    HANDLE m_thread = nullptr;
};
