#pragma once
// One counted reference to a COM object, released when the owner goes away.
#include <windows.h>
#include <unknwn.h>

namespace kvwin {

template <class T>
class CComRef {
public:
    CComRef() = default;
    // Takes over a reference the caller already holds.
    explicit CComRef(T* object) : m_object(object) {}
    CComRef(const CComRef&) = delete;
    CComRef& operator=(const CComRef&) = delete;
    CComRef(CComRef&& other) noexcept : m_object(other.Detach()) {}
    CComRef& operator=(CComRef&& other) noexcept {
        Reset(other.Detach());
        return *this;
    }
    ~CComRef() { Reset(); }

    // Adds a reference of its own to an object the caller keeps.
    static CComRef Share(T* object) {
        if (object) object->AddRef();
        return CComRef(object);
    }

    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    // For functions that hand out a new reference through a T** argument.
    T** Receive() {
        Reset();
        return &m_object;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

    T* Detach() {
        T* object = m_object;
        m_object = nullptr;
        return object;
    }
    void Reset(T* object = nullptr) {
        T* old = m_object;
        m_object = object;
        // Released after the swap: a Release that re-enters sees the new state.
        if (old) old->Release();
    }

private:
    T* m_object = nullptr;
};

}  // namespace kvwin
