#pragma once
// Values, lists and dictionaries: the data of process messages and of the
// JSON writer. Putting a list or dictionary into another container stores a
// copy of it as it is at that moment; reading one out gives a copy too, so
// containers never share or contain themselves.
#include <cstdint>
#include <vector>

#include "engine/CefBase.h"
#include "engine/CefString.h"

namespace kvengine {

enum CefValueType {
    VTYPE_INVALID = 0,
    VTYPE_NULL,
    VTYPE_BOOL,
    VTYPE_INT,
    VTYPE_DOUBLE,
    VTYPE_STRING,
    VTYPE_DICTIONARY,
    VTYPE_LIST,
};

class CefListValue;
class CefDictionaryValue;

class CefValue : public CefBase {
public:
    static CefRefPtr<CefValue> Create();  // a null value

    virtual CefValueType GetType() = 0;
    virtual bool GetBool() = 0;           // false for another type
    virtual int GetInt() = 0;             // 0 for another type
    virtual double GetDouble() = 0;       // the number for int or double, else 0
    virtual CefString GetString() = 0;    // empty for another type
    virtual CefRefPtr<CefListValue> GetList() = 0;              // null for another type
    virtual CefRefPtr<CefDictionaryValue> GetDictionary() = 0;  // null for another type

    virtual void SetNull() = 0;
    virtual void SetBool(bool value) = 0;
    virtual void SetInt(int value) = 0;
    virtual void SetDouble(double value) = 0;
    virtual void SetString(const CefString& value) = 0;
    virtual void SetList(CefRefPtr<CefListValue> value) = 0;
    virtual void SetDictionary(CefRefPtr<CefDictionaryValue> value) = 0;
};

class CefListValue : public CefBase {
public:
    static CefRefPtr<CefListValue> Create();

    virtual CefRefPtr<CefListValue> Copy() = 0;
    // Grows with null entries or cuts the list to `size` entries.
    virtual void SetSize(size_t size) = 0;
    virtual size_t GetSize() = 0;
    virtual void Clear() = 0;
    virtual bool Remove(size_t index) = 0;

    // Readers answer VTYPE_INVALID, false, 0, an empty string or null for an
    // index past the end or an entry of another type.
    virtual CefValueType GetType(size_t index) = 0;
    virtual CefRefPtr<CefValue> GetValue(size_t index) = 0;
    virtual bool GetBool(size_t index) = 0;
    virtual int GetInt(size_t index) = 0;
    virtual double GetDouble(size_t index) = 0;
    virtual CefString GetString(size_t index) = 0;
    virtual CefRefPtr<CefListValue> GetList(size_t index) = 0;
    virtual CefRefPtr<CefDictionaryValue> GetDictionary(size_t index) = 0;

    // Writers grow the list when `index` is past its end; false only for a
    // null value or container.
    virtual bool SetValue(size_t index, CefRefPtr<CefValue> value) = 0;
    virtual bool SetNull(size_t index) = 0;
    virtual bool SetBool(size_t index, bool value) = 0;
    virtual bool SetInt(size_t index, int value) = 0;
    virtual bool SetDouble(size_t index, double value) = 0;
    virtual bool SetString(size_t index, const CefString& value) = 0;
    virtual bool SetList(size_t index, CefRefPtr<CefListValue> value) = 0;
    virtual bool SetDictionary(size_t index, CefRefPtr<CefDictionaryValue> value) = 0;
};

class CefDictionaryValue : public CefBase {
public:
    typedef std::vector<CefString> KeyList;

    static CefRefPtr<CefDictionaryValue> Create();

    virtual CefRefPtr<CefDictionaryValue> Copy() = 0;
    virtual size_t GetSize() = 0;
    virtual bool HasKey(const CefString& key) = 0;
    virtual bool GetKeys(KeyList& keys) = 0;  // in key order
    virtual bool Remove(const CefString& key) = 0;
    virtual void Clear() = 0;

    virtual CefValueType GetType(const CefString& key) = 0;
    virtual CefRefPtr<CefValue> GetValue(const CefString& key) = 0;
    virtual bool GetBool(const CefString& key) = 0;
    virtual int GetInt(const CefString& key) = 0;
    virtual double GetDouble(const CefString& key) = 0;
    virtual CefString GetString(const CefString& key) = 0;
    virtual CefRefPtr<CefListValue> GetList(const CefString& key) = 0;
    virtual CefRefPtr<CefDictionaryValue> GetDictionary(const CefString& key) = 0;

    virtual bool SetValue(const CefString& key, CefRefPtr<CefValue> value) = 0;
    virtual bool SetNull(const CefString& key) = 0;
    virtual bool SetBool(const CefString& key, bool value) = 0;
    virtual bool SetInt(const CefString& key, int value) = 0;
    virtual bool SetDouble(const CefString& key, double value) = 0;
    virtual bool SetString(const CefString& key, const CefString& value) = 0;
    virtual bool SetList(const CefString& key, CefRefPtr<CefListValue> value) = 0;
    virtual bool SetDictionary(const CefString& key, CefRefPtr<CefDictionaryValue> value) = 0;
};

enum cef_json_writer_options_t {
    JSON_WRITER_DEFAULT = 0,  // compact: no white space; dictionary members in key order
};

// The value as JSON text; empty when it cannot be written (an invalid value,
// a number that is not finite).
CefString CefWriteJSON(CefRefPtr<CefValue> node, cef_json_writer_options_t options = JSON_WRITER_DEFAULT);

}  // namespace kvengine
