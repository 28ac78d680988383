// Bstr: an owning BSTR.
#pragma once
#include "com/text.h"

namespace com {

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const char* ansi) : m_str(BstrFromAnsi(ansi)) {}
    explicit Bstr(const std::string& ansi) : m_str(BstrFromAnsi(ansi)) {}
    explicit Bstr(const wchar_t* wide) : m_str(wide ? SysAllocString(wide) : nullptr) {}
    Bstr(const Bstr& other) : m_str(other.Copy()) {}
    Bstr(Bstr&& other) noexcept : m_str(other.Detach()) {}
    Bstr& operator=(Bstr other) noexcept { std::swap(m_str, other.m_str); return *this; }
    ~Bstr() { SysFreeString(m_str); }

    operator BSTR() const { return m_str; }
    BSTR Get() const { return m_str; }
    // For out-parameters: frees what is held first.
    BSTR* operator&() { Reset(); return &m_str; }

    BSTR Copy() const { return m_str ? SysAllocStringLen(m_str, SysStringLen(m_str)) : nullptr; }
    BSTR Detach() { BSTR s = m_str; m_str = nullptr; return s; }
    void Attach(BSTR s) { Reset(); m_str = s; }
    void Reset() { SysFreeString(m_str); m_str = nullptr; }

    UINT Length() const { return SysStringLen(m_str); }
    std::string Ansi() const { return AnsiFromBstr(m_str); }

private:
    BSTR m_str = nullptr;
};

}  // namespace com
