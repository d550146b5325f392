#pragma once
// Script values and contexts of a renderer. A page's context has the global
// object `window`; values of objects and functions belong to the context that
// made them and are used on the renderer thread only.
#include <cstdint>
#include <vector>

#include "engine/CefBrowser.h"

namespace kvengine {

class CefV8Value;
class CefV8Handler;

typedef std::vector<CefRefPtr<CefV8Value>> CefV8ValueList;

enum cef_v8_propertyattribute_t {
    V8_PROPERTY_ATTRIBUTE_NONE = 0,
    V8_PROPERTY_ATTRIBUTE_READONLY = 1 << 0,
    V8_PROPERTY_ATTRIBUTE_DONTENUM = 1 << 1,
    V8_PROPERTY_ATTRIBUTE_DONTDELETE = 1 << 2,
};

class CefV8Context : public CefBase {
public:
    // The context whose script (or whose callback) is running; null outside one.
    static CefRefPtr<CefV8Context> GetCurrentContext();

    virtual bool IsValid() = 0;  // false once its document is replaced
    virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
    virtual CefRefPtr<CefFrame> GetFrame() = 0;
    virtual CefRefPtr<CefV8Value> GetGlobal() = 0;
    virtual bool IsSame(CefRefPtr<CefV8Context> that) = 0;
};

// Serves the functions made by CefV8Value::CreateFunction.
class CefV8Handler : public virtual CefBase {
public:
    // `retval` left null gives the script undefined; a non-empty `exception`
    // throws an Error with that message. False: the call gives undefined.
    virtual bool Execute(const CefString& name, CefRefPtr<CefV8Value> object, const CefV8ValueList& arguments,
                         CefRefPtr<CefV8Value>& retval, CefString& exception) = 0;
};

class CefV8Value : public CefBase {
public:
    typedef cef_v8_propertyattribute_t PropertyAttribute;

    // Primitive values can be made anywhere; objects and functions only while
    // a context is current (null otherwise).
    static CefRefPtr<CefV8Value> CreateUndefined();
    static CefRefPtr<CefV8Value> CreateNull();
    static CefRefPtr<CefV8Value> CreateBool(bool value);
    static CefRefPtr<CefV8Value> CreateInt(int32_t value);
    static CefRefPtr<CefV8Value> CreateDouble(double value);
    static CefRefPtr<CefV8Value> CreateString(const CefString& value);
    static CefRefPtr<CefV8Value> CreateObject();
    static CefRefPtr<CefV8Value> CreateFunction(const CefString& name, CefRefPtr<CefV8Handler> handler);

    virtual bool IsValid() = 0;
    virtual bool IsUndefined() = 0;
    virtual bool IsNull() = 0;
    virtual bool IsBool() = 0;
    virtual bool IsInt() = 0;     // a number that is a 32-bit signed integer
    virtual bool IsDouble() = 0;  // any number
    virtual bool IsString() = 0;
    virtual bool IsObject() = 0;  // functions are objects too
    virtual bool IsFunction() = 0;
    virtual bool IsSame(CefRefPtr<CefV8Value> that) = 0;

    virtual bool GetBoolValue() = 0;        // false for another type
    virtual int32_t GetIntValue() = 0;      // 0 unless IsInt
    virtual double GetDoubleValue() = 0;    // 0 unless a number
    virtual CefString GetStringValue() = 0; // empty unless a string

    // Properties of objects, by key; false on a value that is no object or
    // when the object refuses (a read-only or undeletable property).
    virtual bool HasValue(const CefString& key) = 0;
    virtual CefRefPtr<CefV8Value> GetValue(const CefString& key) = 0;
    virtual bool SetValue(const CefString& key, CefRefPtr<CefV8Value> value, PropertyAttribute attribute) = 0;
    virtual bool DeleteValue(const CefString& key) = 0;
};

}  // namespace kvengine
