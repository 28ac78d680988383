// CClientSocket: a TCP client socket of Windows Sockets (started by the
// caller). The handle is INVALID_SOCKET while closed; Close may be called
// from another thread to break a blocking call.
#pragma once
#include <winsock2.h>
#include <atomic>
#include <string>

class CClientSocket {
public:
    CClientSocket() = default;
    ~CClientSocket() { Close(); }
    CClientSocket(const CClientSocket&) = delete;
    CClientSocket& operator=(const CClientSocket&) = delete;

    // A stream socket; when sockets are not started yet, starts them and
    // tries again.
    bool Create(int family = AF_INET);
    // The host as a dotted address, else resolved by name (WSAEINVAL when it
    // is not); linger off, send time-out 2 s, receive time-out 1 s, buffers
    // of 32,766 bytes.
    bool Connect(const std::string& host, unsigned short port, int family = AF_INET);
    bool Send(const std::string& bytes);
    // What recv gives into `buffer`: the count, 0 when the peer closed, -1 on
    // failure (time-out included).
    int Receive(char* buffer, int size);
    // Closes the socket, and ends the sockets it started itself.
    void Close();
    // Closes the socket only; safe from another thread, where it makes a
    // blocking connect, send or receive of the owner fail.
    void Abort();
    bool IsOpen() const { return m_socket != INVALID_SOCKET; }

private:
    std::atomic<SOCKET> m_socket{INVALID_SOCKET};
    bool m_startedHere = false;
};
