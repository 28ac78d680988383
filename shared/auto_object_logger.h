// CAutoObjectLogger: a base of logged component classes; logs the object's
// creation and destruction, identified by the address of this base.
#pragma once
#include "services.h"
#include <com/bstr.h>
#include <cstdint>
#include <string>
#include <typeinfo>

// The class name behind a compiler type name ("9CCoLogger" -> "CCoLogger").
std::string DemangledTypeName(const char* name);

template <class T>
class CAutoObjectLogger {
protected:
    CAutoObjectLogger()
    {
        if (g_compLogger)
            g_compLogger->LogCreateObject(LogId(), com::Bstr(DemangledTypeName(typeid(T).name())));
    }
    ~CAutoObjectLogger()
    {
        if (g_compLogger) g_compLogger->LogDestroyObject(LogId());
    }

private:
    unsigned LogId() const
    {
        return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(this));
    }
};
