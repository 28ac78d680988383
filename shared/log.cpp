#include "log.h"
#include <com/bstr.h>
#include <cstdarg>
#include <cstdio>

void LogPrintf(const char* format, ...)
{
    if (!g_compLogger || !format) return;
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    g_compLogger->LogEvent(com::Bstr(text));
}

void LogFailure(const char* name, long code, int hex)
{
    if (hex)
        LogPrintf("ERROR: %s failed, error code: 0x%x", name, static_cast<unsigned>(code));
    else
        LogPrintf("ERROR: %s failed, error code: %i", name, static_cast<int>(code));
}

void LogNull(const char* name) { LogPrintf("ERROR: %s is NULL", name); }

void LogWarning(const char* text) { LogPrintf("WARNING: %s", text); }

HRESULT LogNotServed(const char* method)
{
    LogPrintf("%s is not implemented", method);
    return E_NOTIMPL;
}

CLogFunctionScope::CLogFunctionScope(const char* name) : m_name(name ? name : "")
{
    if (g_compLogger) g_compLogger->LogEnterFunction(com::Bstr(m_name));
}

CLogFunctionScope::~CLogFunctionScope()
{
    // Also left while an exception unwinds to a guard: logging is best
    // effort and must not throw a second one.
    try {
        if (g_compLogger) g_compLogger->LogLeaveFunction(com::Bstr(m_name));
    } catch (...) {
    }
}
