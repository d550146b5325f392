#pragma once
// A lock for state that engine callbacks and the program's own threads share.
#include <windows.h>

namespace kvengine {

class CefCriticalSection {
public:
    explicit CefCriticalSection(DWORD spinCount = 2000) { InitializeCriticalSectionAndSpinCount(&m_section, spinCount); }
    ~CefCriticalSection() { DeleteCriticalSection(&m_section); }
    CefCriticalSection(const CefCriticalSection&) = delete;
    CefCriticalSection& operator=(const CefCriticalSection&) = delete;

    void Lock() { EnterCriticalSection(&m_section); }
    void Unlock() { LeaveCriticalSection(&m_section); }

private:
    CRITICAL_SECTION m_section;
};

// Holds the lock for one scope.
class CefAutoLock {
public:
    explicit CefAutoLock(CefCriticalSection& lock) : m_lock(lock) { m_lock.Lock(); }
    ~CefAutoLock() { m_lock.Unlock(); }
    CefAutoLock(const CefAutoLock&) = delete;
    CefAutoLock& operator=(const CefAutoLock&) = delete;

private:
    CefCriticalSection& m_lock;
};

}  // namespace kvengine
