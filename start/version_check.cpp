#include <winsock2.h>  // before the windows.h of the header
#include "version_check.h"
#include "client_socket.h"
#include "common_settings.h"
#include "version_text.h"
#include <cstdlib>
#include <mutex>

namespace {

const char MAKER_HOST[] = "www.tavellsoftware.com";
const unsigned short HTTP_PORT = 80;
const DWORD REPLY_WAIT_MS = 10000;
const int REPLY_BUFFER = 4096;

}  // namespace

struct CVersionCheck::State {
    HWND notify = nullptr;
    UINT message = 0;
    std::string host;
    unsigned short port = HTTP_PORT;
    std::string request;
    std::string current;  // "ApptypeData"/"Version"
    CClientSocket socket;
    std::atomic<bool> stopped{false};
    std::mutex lock;  // the offer
    std::string offered, currentText;
    bool hasOffer = false;
};

namespace {

using State = CVersionCheck::State;

// Reads until the header's end and the body's first line, the peer's
// close, the buffer's end or the time-out; what came, terminated.
std::string ReceiveReply(State& state)
{
    char buffer[REPLY_BUFFER];
    int length = 0;
    const DWORD start = ::GetTickCount();
    while (length < REPLY_BUFFER - 1 && !state.stopped) {
        const int got = state.socket.Receive(buffer + length, REPLY_BUFFER - 1 - length);
        if (got > 0) {
            length += got;
            buffer[length] = '\0';
            if (VersionReplyComplete(std::string(buffer, length))) break;
            continue;
        }
        if (got == 0) break;  // closed
        const int error = ::WSAGetLastError();
        if (error != WSAETIMEDOUT && error != WSAEWOULDBLOCK) break;
        if (::GetTickCount() - start >= REPLY_WAIT_MS) break;
        ::Sleep(50);
    }
    buffer[length] = '\0';
    return std::string(buffer, length);
}

void ProcessVersionReply(State& state, const std::string& reply)
{
    std::string body;
    if (!VersionReplyBody(reply, &body)) return;
    const CVersionNumber offered = SplitVersionText(body);
    const CVersionNumber current = SplitVersionText(state.current);
    if (!IsNewerVersion(offered, current)) return;
    {
        std::lock_guard<std::mutex> hold(state.lock);
        state.offered = VersionDisplayText(offered);
        state.currentText = VersionDisplayText(current);
        state.hasOffer = true;
    }
    if (!state.stopped) ::PostMessageA(state.notify, state.message, 0, 0);
}

void CheckForNewVersion(State& state)
{
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
    std::string reply;
    if (state.socket.Create(AF_INET) && !state.stopped && state.socket.Connect(state.host, state.port, AF_INET) &&
        state.socket.Send(state.request))
        reply = ReceiveReply(state);
    state.socket.Close();  // before the clean-up
    ::WSACleanup();
    if (!reply.empty() && !state.stopped) ProcessVersionReply(state, reply);
}

DWORD WINAPI VersionCheckThreadProc(void* parameter)
{
    std::unique_ptr<std::shared_ptr<State>> state(static_cast<std::shared_ptr<State>*>(parameter));
    try {
        CheckForNewVersion(**state);
    } catch (...) {
        // silent, as every failure of the check
    }
    return 0;
}

}  // namespace

std::string CVersionCheck::Host(unsigned short* port)
{
    std::string host = MAKER_HOST;
    unsigned short number = HTTP_PORT;
    char named[256] = "";
    const DWORD length = ::GetEnvironmentVariableA("TB_VERSION_CHECK_HOST", named, sizeof(named));
    if (length > 0 && length < sizeof(named)) {
        host = named;
        const size_t colon = host.rfind(':');
        if (colon != std::string::npos) {
            number = static_cast<unsigned short>(std::atoi(host.c_str() + colon + 1));
            host.erase(colon);
        }
    }
    if (port) *port = number;
    return host;
}

void CVersionCheck::Start(HWND notify, UINT message)
{
    if (m_state) return;
    auto state = std::make_shared<State>();
    state->notify = notify;
    state->message = message;
    state->host = Host(&state->port);
    state->current = GetCommonString("ApptypeData", "Version", "0.0.0.0");
    state->request = VersionRequest(GetCommonString("ApptypeData", "versionFilename", "fake"), state->host,
                                    GetCommonString("ApptypeData", "Title", ""), state->current);
    m_state = state;
    auto* parameter = new std::shared_ptr<State>(state);
    m_thread = ::CreateThread(nullptr, 0, VersionCheckThreadProc, parameter, 0, nullptr);
    if (!m_thread) delete parameter;
}

void CVersionCheck::Stop(DWORD ms)
{
    if (m_state) {
        m_state->stopped = true;
        m_state->socket.Abort();
    }
    if (m_thread) {
        // A thread still in a name look-up or a connect is left to the
        // process's end: it holds its own state and shows nothing now.
        ::WaitForSingleObject(m_thread, ms);
        ::CloseHandle(m_thread);
        m_thread = nullptr;
    }
}

bool CVersionCheck::TakeOffer(std::string* offered, std::string* current)
{
    if (!m_state || m_state->stopped) return false;
    std::lock_guard<std::mutex> hold(m_state->lock);
    if (!m_state->hasOffer) return false;
    *offered = m_state->offered;
    *current = m_state->currentText;
    m_state->hasOffer = false;
    return true;
}
