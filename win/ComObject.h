#pragma once
// The one IUnknown reference count of the project's COM objects. A class
// derives from ComObject<Itf...>, answers QueryInterface with
// QueryInterfaceFor<Itf...> and is created with new; its last Release deletes
// it. The count starts at 0: whoever takes the object from `new` adds the
// first reference. Objects whose lifetime belongs to an owner (not to their references)
// derive from ComObjectNoDelete instead.
#include <windows.h>
#include <unknwn.h>

#include <tuple>

namespace kvwin {

namespace detail {

template <class Object, class First, class... Rest>
bool FindInterface(Object* object, REFIID iid, void** out) {
    if (iid == __uuidof(First)) {
        *out = static_cast<First*>(object);
        return true;
    }
    if constexpr (sizeof...(Rest) > 0) return FindInterface<Object, Rest...>(object, iid, out);
    return false;
}

}  // namespace detail

// Answers IUnknown (through the first interface) and each listed interface.
template <class... Interfaces, class Object>
HRESULT QueryInterfaceFor(Object* object, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown) {
        *out = static_cast<IUnknown*>(static_cast<typename std::tuple_element<0, std::tuple<Interfaces...>>::type*>(object));
    } else if (!detail::FindInterface<Object, Interfaces...>(object, iid, out)) {
        return E_NOINTERFACE;
    }
    static_cast<IUnknown*>(*out)->AddRef();
    return S_OK;
}

// COM interfaces have no virtual destructor: objects die through Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
template <class... Interfaces>
class ComObject : public Interfaces... {
public:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0) delete this;
        return static_cast<ULONG>(refs);
    }

protected:
    virtual ~ComObject() = default;

private:
    LONG m_refs = 0;
};

template <class... Interfaces>
class ComObjectNoDelete : public Interfaces... {
public:
    ComObjectNoDelete() = default;
    ComObjectNoDelete(const ComObjectNoDelete&) = delete;
    ComObjectNoDelete& operator=(const ComObjectNoDelete&) = delete;
    virtual ~ComObjectNoDelete() = default;

    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(InterlockedDecrement(&m_refs)); }
    LONG RefCount() const { return m_refs; }

private:
    LONG m_refs = 0;
};

#pragma GCC diagnostic pop

}  // namespace kvwin
