// Logs entry and exit of an engine method under "<class> <method>", the
// class named by its run-time type. Nothing without a logger.
#pragma once
#include "auto_object_logger.h"
#include "services.h"
#include <com/bstr.h>
#include <string>
#include <typeinfo>

template <class T>
class CLogMethodScope {
public:
    explicit CLogMethodScope(const char* method)
    {
        if (!g_compLogger) return;
        m_name = DemangledTypeName(typeid(T).name()) + " " + method;
        g_compLogger->LogEnterFunction(com::Bstr(m_name));
    }
    ~CLogMethodScope()
    {
        if (g_compLogger && !m_name.empty()) g_compLogger->LogLeaveFunction(com::Bstr(m_name));
    }
    CLogMethodScope(const CLogMethodScope&) = delete;
    CLogMethodScope& operator=(const CLogMethodScope&) = delete;

private:
    std::string m_name;
};
