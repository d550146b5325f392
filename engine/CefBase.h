#pragma once
// The reference-counted base of every engine object, and the counted pointer
// that holds them. An object deletes itself when its last reference goes.
#include <cstddef>
#include <utility>

namespace kvengine {

class CefBase {
public:
    virtual void AddRef() const = 0;
    // True when this call released the last reference (the object is gone).
    virtual bool Release() const = 0;
    virtual bool HasOneRef() const = 0;

protected:
    virtual ~CefBase() = default;
};

template <class T>
class CefRefPtr {
public:
    CefRefPtr() = default;
    CefRefPtr(std::nullptr_t) {}
    CefRefPtr(T* p) : m_p(p) { if (m_p) m_p->AddRef(); }
    CefRefPtr(const CefRefPtr& o) : CefRefPtr(o.m_p) {}
    template <class U>
    CefRefPtr(const CefRefPtr<U>& o) : CefRefPtr(o.get()) {}
    CefRefPtr(CefRefPtr&& o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
    ~CefRefPtr() { if (m_p) m_p->Release(); }

    CefRefPtr& operator=(CefRefPtr o) noexcept {
        std::swap(m_p, o.m_p);
        return *this;
    }

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    friend bool operator==(const CefRefPtr& a, const CefRefPtr& b) { return a.m_p == b.m_p; }
    friend bool operator!=(const CefRefPtr& a, const CefRefPtr& b) { return a.m_p != b.m_p; }
    friend bool operator==(const CefRefPtr& a, std::nullptr_t) { return a.m_p == nullptr; }
    friend bool operator!=(const CefRefPtr& a, std::nullptr_t) { return a.m_p != nullptr; }

private:
    T* m_p = nullptr;
};

}  // namespace kvengine
