// A base of every object that an out-of-process server hands to clients:
// the component runtime reports each strong connection of another process
// to the object, and those connections are the server's lock count.
// List it in the interface table: COM_INTERFACE(IExternalConnection).
#pragma once
#include <windows.h>
#include <objidl.h>
#include "com/local_server.h"

namespace com {

class ExternalConnection : public IExternalConnection {
public:
    STDMETHODIMP_(DWORD) AddConnection(DWORD type, DWORD) override
    {
        if (!(type & EXTCONN_STRONG)) return m_strong;
        ServerLock();
        return static_cast<DWORD>(InterlockedIncrement(&m_strong));
    }
    STDMETHODIMP_(DWORD) ReleaseConnection(DWORD type, DWORD, BOOL) override
    {
        if (!(type & EXTCONN_STRONG)) return m_strong;
        LONG n = InterlockedDecrement(&m_strong);
        ServerUnlock();
        return static_cast<DWORD>(n);
    }

private:
    LONG m_strong = 0;
};

}  // namespace com
