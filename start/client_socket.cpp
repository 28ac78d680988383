#include "client_socket.h"
#include <ws2tcpip.h>

bool CClientSocket::Create(int family)
{
    Close();
    m_socket = ::socket(family, SOCK_STREAM, IPPROTO_TCP);
    if (m_socket == INVALID_SOCKET && ::WSAGetLastError() == WSANOTINITIALISED) {
        WSADATA data;
        if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
        m_startedHere = true;
        m_socket = ::socket(family, SOCK_STREAM, IPPROTO_TCP);
    }
    return m_socket != INVALID_SOCKET;
}

bool CClientSocket::Connect(const std::string& host, unsigned short port, int family)
{
    if (m_socket == INVALID_SOCKET) return false;
    sockaddr_in address = {};
    address.sin_family = static_cast<short>(family);
    address.sin_port = ::htons(port);
    address.sin_addr.s_addr = ::inet_addr(host.c_str());
    if (address.sin_addr.s_addr == INADDR_NONE) {
        hostent* found = ::gethostbyname(host.c_str());
        if (!found || !found->h_addr_list || !found->h_addr_list[0]) {
            ::WSASetLastError(WSAEINVAL);
            return false;
        }
        address.sin_addr = *reinterpret_cast<in_addr*>(found->h_addr_list[0]);
    }
    BOOL noLinger = TRUE;
    DWORD sendTimeout = 2000, receiveTimeout = 1000;
    int buffer = 32766;
    ::setsockopt(m_socket, SOL_SOCKET, SO_DONTLINGER, reinterpret_cast<const char*>(&noLinger), sizeof(noLinger));
    ::setsockopt(m_socket, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeout), sizeof(sendTimeout));
    ::setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&receiveTimeout),
                 sizeof(receiveTimeout));
    ::setsockopt(m_socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&buffer), sizeof(buffer));
    ::setsockopt(m_socket, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&buffer), sizeof(buffer));
    return ::connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
}

bool CClientSocket::Send(const std::string& bytes)
{
    if (m_socket == INVALID_SOCKET) return false;
    return ::send(m_socket, bytes.data(), static_cast<int>(bytes.size()), 0) == static_cast<int>(bytes.size());
}

int CClientSocket::Receive(char* buffer, int size)
{
    if (m_socket == INVALID_SOCKET) return -1;
    return ::recv(m_socket, buffer, size, 0);
}

void CClientSocket::Abort()
{
    const SOCKET socket = m_socket.exchange(INVALID_SOCKET);
    if (socket != INVALID_SOCKET) {
        ::shutdown(socket, SD_BOTH);
        ::closesocket(socket);
    }
}

void CClientSocket::Close()
{
    Abort();
    if (m_startedHere) {
        m_startedHere = false;
        ::WSACleanup();
    }
}
