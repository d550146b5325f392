#pragma once
// Callbacks that application code attaches to a control without subclassing
// it: a delegate binds an object to one of its member functions, an event
// source is the ordered list of delegates a control invokes.
#include <windows.h>

#include <cstring>
#include <memory>
#include <vector>

namespace KvUI {

class CDelegateBase {
public:
    virtual ~CDelegateBase() = default;
    virtual CDelegateBase* Copy() const = 0;
    virtual bool Invoke(void* param) = 0;

    // Equal when both the object and the function are equal.
    bool Equals(const CDelegateBase& other) const;

protected:
    // `function` points at `size` bytes that identify the callback (a member
    // function pointer may be wider than a data pointer).
    CDelegateBase(void* object, const void* function, size_t size);

private:
    static constexpr size_t kMaxFunctionSize = 4 * sizeof(void*);

    void* m_object = nullptr;
    unsigned char m_function[kMaxFunctionSize] = {};
};

// A member function `bool O::fn(T)` of one object; T is the pointer type
// the event source passes (for example TUINotify* or TUIEvent*).
template <class O, class T>
class CDelegate : public CDelegateBase {
public:
    using Function = bool (O::*)(T);

    CDelegate(O* object, Function function)
        : CDelegateBase(object, &function, sizeof function), m_target(object), m_fn(function) {}

    CDelegateBase* Copy() const override { return new CDelegate(*this); }
    bool Invoke(void* param) override { return (m_target->*m_fn)(static_cast<T>(param)); }

private:
    static_assert(sizeof(Function) <= 4 * sizeof(void*), "member function pointer too wide");

    O* m_target;
    Function m_fn;
};

template <class O, class T>
CDelegate<O, T> MakeDelegate(O* object, bool (O::*function)(T)) {
    return CDelegate<O, T>(object, function);
}

// An ordered list of owned delegate copies, invoked until one declines.
class CEventSource {
public:
    CEventSource() = default;
    CEventSource(const CEventSource&) = delete;
    CEventSource& operator=(const CEventSource&) = delete;
    ~CEventSource() = default;

    // Appends a copy unless an equal delegate is already there.
    void Add(const CDelegateBase& delegate);
    CEventSource& operator+=(const CDelegateBase& delegate) {
        Add(delegate);
        return *this;
    }

    bool HasDelegates() const { return !m_delegates.empty(); }
    explicit operator bool() const { return HasDelegates(); }

    // True unless a delegate returned false; that one ends the walk.
    bool Invoke(void* param);
    bool operator()(void* param) { return Invoke(param); }

private:
    std::vector<std::unique_ptr<CDelegateBase>> m_delegates;
};

}  // namespace KvUI
