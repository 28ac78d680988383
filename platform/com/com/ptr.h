// ComPtr: a reference-holding interface pointer.
#pragma once
#include <unknwn.h>
#include <utility>

namespace com {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(T* p) : m_p(p) { if (m_p) m_p->AddRef(); }
    ComPtr(const ComPtr& o) : ComPtr(o.m_p) {}
    ComPtr(ComPtr&& o) noexcept : m_p(o.Detach()) {}
    ComPtr& operator=(ComPtr o) noexcept { std::swap(m_p, o.m_p); return *this; }
    ~ComPtr() { Reset(); }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    operator T*() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For out-parameters: releases what is held first.
    T** operator&() { Reset(); return &m_p; }

    void Reset() { if (m_p) { T* p = m_p; m_p = nullptr; p->Release(); } }
    T* Detach() { T* p = m_p; m_p = nullptr; return p; }
    void Attach(T* p) { Reset(); m_p = p; }

    // Queries another interface from the held object.
    template <class Q>
    HRESULT As(REFIID iid, Q** out) const
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        return m_p ? m_p->QueryInterface(iid, reinterpret_cast<void**>(out)) : E_NOINTERFACE;
    }

    // Replaces the held pointer by `iid` queried from `from`.
    HRESULT QueryFrom(IUnknown* from, REFIID iid)
    {
        Reset();
        return from ? from->QueryInterface(iid, reinterpret_cast<void**>(&m_p)) : E_POINTER;
    }

    HRESULT CoCreate(REFCLSID clsid, REFIID iid, DWORD context = CLSCTX_ALL)
    {
        Reset();
        return CoCreateInstance(clsid, nullptr, context, iid, reinterpret_cast<void**>(&m_p));
    }

private:
    T* m_p = nullptr;
};

// COM identity: both null, or the same IUnknown behind both.
bool SameObject(IUnknown* a, IUnknown* b);

}  // namespace com
