// The tray lock a job holds on a grabber while it works on the disc. A
// failure to lock is only logged (by the grabber); the lock is undone on
// every way out of the scope, or earlier by Release.
#pragma once
#include "devices/grabber.h"

class CTrayLock {
public:
    explicit CTrayLock(CGrabber& grabber) : m_grabber(grabber), m_locked(grabber.Lock() == DISC_OK) {}
    ~CTrayLock() { Release(); }
    CTrayLock(const CTrayLock&) = delete;
    CTrayLock& operator=(const CTrayLock&) = delete;

    void Release()
    {
        if (m_locked) m_grabber.Release();
        m_locked = false;
    }

private:
    CGrabber& m_grabber;
    bool m_locked;
};
