// Critical sections. A critical section is re-entered by its owning thread.
#pragma once
#include <windows.h>

namespace com {

class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&m_cs); }
    ~CriticalSection() { DeleteCriticalSection(&m_cs); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void Lock() { EnterCriticalSection(&m_cs); }
    void Unlock() { LeaveCriticalSection(&m_cs); }
private:
    CRITICAL_SECTION m_cs;
};

class NoLock {
public:
    void Lock() {}
    void Unlock() {}
};

template <class L>
class ScopedLock {
public:
    explicit ScopedLock(L& lock) : m_lock(lock) { m_lock.Lock(); }
    ~ScopedLock() { m_lock.Unlock(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
private:
    L& m_lock;
};

using AutoLock = ScopedLock<CriticalSection>;

}  // namespace com
