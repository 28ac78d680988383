// Log helpers: printf-style lines through the module's logger, and the
// function scope that logs entry and exit. All do nothing without a logger.
#pragma once
#include "services.h"
#include <string>

// Formats into a 1,024-byte buffer (longer texts are cut to 1,023 characters).
void LogPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// "ERROR: %s failed, error code: 0x%x" (hex flag set) or "...: %i".
void LogFailure(const char* name, long code, int hex = 1);
// "ERROR: %s is NULL".
void LogNull(const char* name);
// "WARNING: %s".
void LogWarning(const char* text);
// "%s is not implemented" for a method that is not served yet, so that a
// caller that reaches one leaves a trace; returns E_NOTIMPL.
HRESULT LogNotServed(const char* method);

// Logs "=> name()" when constructed and "<= name()" on every way out. The
// scope keeps its own copy of the name: it may be a temporary text.
class CLogFunctionScope {
public:
    explicit CLogFunctionScope(const char* name);
    ~CLogFunctionScope();
    CLogFunctionScope(const CLogFunctionScope&) = delete;
    CLogFunctionScope& operator=(const CLogFunctionScope&) = delete;
private:
    std::string m_name;
};
