#pragma once
// The one atomic reference count of a client object that implements one or
// more engine interfaces; the object deletes itself with its last reference.
#include <windows.h>

#include "engine/CefBase.h"

template <class... Interfaces>
class CefRefCounted : public Interfaces... {
public:
    void AddRef() const override { InterlockedIncrement(&m_count); }
    bool Release() const override {
        if (InterlockedDecrement(&m_count) != 0) return false;
        delete this;
        return true;
    }
    bool HasOneRef() const override { return InterlockedCompareExchange(&m_count, 1, 1) == 1; }

private:
    mutable LONG m_count = 0;
};
