#include "engine/CefValues.h"

#include <cmath>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "engine/impl/Variant.h"
#include "win/RefCounted.h"
#include "win/TextConversion.h"

namespace kvengine {

Variant::Variant(const Variant& other)
    : type(other.type), boolValue(other.boolValue), intValue(other.intValue), doubleValue(other.doubleValue),
      stringValue(other.stringValue), list(other.list),
      dictionary(other.dictionary ? std::make_unique<VariantMap>(*other.dictionary) : nullptr) {}

Variant& Variant::operator=(const Variant& other) {
    if (this != &other) *this = Variant(other);
    return *this;
}

Variant::~Variant() = default;

Variant Variant::Null() { Variant v; v.type = VTYPE_NULL; return v; }
Variant Variant::Bool(bool value) { Variant v; v.type = VTYPE_BOOL; v.boolValue = value; return v; }
Variant Variant::Int(int value) { Variant v; v.type = VTYPE_INT; v.intValue = value; return v; }
Variant Variant::Double(double value) { Variant v; v.type = VTYPE_DOUBLE; v.doubleValue = value; return v; }
Variant Variant::String(std::wstring value) {
    Variant v;
    v.type = VTYPE_STRING;
    v.stringValue = std::move(value);
    return v;
}
Variant Variant::List(VariantList items) {
    Variant v;
    v.type = VTYPE_LIST;
    v.list = std::move(items);
    return v;
}
Variant Variant::Dictionary(VariantMap members) {
    Variant v;
    v.type = VTYPE_DICTIONARY;
    v.dictionary = std::make_unique<VariantMap>(std::move(members));
    return v;
}

namespace {

class ValueImpl;
class ListImpl;
class DictionaryImpl;

bool AsBool(const Variant* v) { return v && v->type == VTYPE_BOOL && v->boolValue; }
int AsInt(const Variant* v) { return v && v->type == VTYPE_INT ? v->intValue : 0; }
double AsDouble(const Variant* v) {
    if (!v) return 0;
    if (v->type == VTYPE_DOUBLE) return v->doubleValue;
    return v->type == VTYPE_INT ? v->intValue : 0;
}
CefString AsString(const Variant* v) { return v && v->type == VTYPE_STRING ? CefString(v->stringValue) : CefString(); }
CefValueType TypeOf(const Variant* v) { return v ? v->type : VTYPE_INVALID; }
CefRefPtr<CefListValue> AsList(const Variant* v);
CefRefPtr<CefDictionaryValue> AsDictionary(const Variant* v);
CefRefPtr<CefValue> AsValue(const Variant* v);
bool FromValue(CefRefPtr<CefValue> value, Variant& out);
bool FromList(CefRefPtr<CefListValue> value, Variant& out);
bool FromDictionary(CefRefPtr<CefDictionaryValue> value, Variant& out);

class ValueImpl : public kvwin::RefCounted<CefValue> {
public:
    explicit ValueImpl(Variant v) : m_v(std::move(v)) {}
    const Variant& Data() const { return m_v; }

    CefValueType GetType() override { return m_v.type; }
    bool GetBool() override { return AsBool(&m_v); }
    int GetInt() override { return AsInt(&m_v); }
    double GetDouble() override { return AsDouble(&m_v); }
    CefString GetString() override { return AsString(&m_v); }
    CefRefPtr<CefListValue> GetList() override { return AsList(&m_v); }
    CefRefPtr<CefDictionaryValue> GetDictionary() override { return AsDictionary(&m_v); }

    void SetNull() override { m_v = Variant::Null(); }
    void SetBool(bool value) override { m_v = Variant::Bool(value); }
    void SetInt(int value) override { m_v = Variant::Int(value); }
    void SetDouble(double value) override { m_v = Variant::Double(value); }
    void SetString(const CefString& value) override { m_v = Variant::String(value.ToWString()); }
    void SetList(CefRefPtr<CefListValue> value) override { FromList(value, m_v); }
    void SetDictionary(CefRefPtr<CefDictionaryValue> value) override { FromDictionary(value, m_v); }

private:
    Variant m_v;
};

class ListImpl : public kvwin::RefCounted<CefListValue> {
public:
    explicit ListImpl(VariantList items = {}) : m_items(std::move(items)) {}
    VariantList& Items() { return m_items; }

    CefRefPtr<CefListValue> Copy() override { return new ListImpl(m_items); }
    void SetSize(size_t size) override { m_items.resize(size, Variant::Null()); }
    size_t GetSize() override { return m_items.size(); }
    void Clear() override { m_items.clear(); }
    bool Remove(size_t index) override {
        if (index >= m_items.size()) return false;
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
        return true;
    }

    CefValueType GetType(size_t index) override { return TypeOf(At(index)); }
    CefRefPtr<CefValue> GetValue(size_t index) override { return AsValue(At(index)); }
    bool GetBool(size_t index) override { return AsBool(At(index)); }
    int GetInt(size_t index) override { return AsInt(At(index)); }
    double GetDouble(size_t index) override { return AsDouble(At(index)); }
    CefString GetString(size_t index) override { return AsString(At(index)); }
    CefRefPtr<CefListValue> GetList(size_t index) override { return AsList(At(index)); }
    CefRefPtr<CefDictionaryValue> GetDictionary(size_t index) override { return AsDictionary(At(index)); }

    bool SetValue(size_t index, CefRefPtr<CefValue> value) override {
        Variant v;
        return FromValue(value, v) && Put(index, std::move(v));
    }
    bool SetNull(size_t index) override { return Put(index, Variant::Null()); }
    bool SetBool(size_t index, bool value) override { return Put(index, Variant::Bool(value)); }
    bool SetInt(size_t index, int value) override { return Put(index, Variant::Int(value)); }
    bool SetDouble(size_t index, double value) override { return Put(index, Variant::Double(value)); }
    bool SetString(size_t index, const CefString& value) override {
        return Put(index, Variant::String(value.ToWString()));
    }
    bool SetList(size_t index, CefRefPtr<CefListValue> value) override {
        Variant v;
        return FromList(value, v) && Put(index, std::move(v));
    }
    bool SetDictionary(size_t index, CefRefPtr<CefDictionaryValue> value) override {
        Variant v;
        return FromDictionary(value, v) && Put(index, std::move(v));
    }

private:
    const Variant* At(size_t index) const { return index < m_items.size() ? &m_items[index] : nullptr; }
    bool Put(size_t index, Variant v) {
        if (index >= m_items.size()) m_items.resize(index + 1, Variant::Null());
        m_items[index] = std::move(v);
        return true;
    }

    VariantList m_items;
};

class DictionaryImpl : public kvwin::RefCounted<CefDictionaryValue> {
public:
    explicit DictionaryImpl(VariantMap members = {}) : m_members(std::move(members)) {}
    const VariantMap& Members() const { return m_members; }

    CefRefPtr<CefDictionaryValue> Copy() override { return new DictionaryImpl(m_members); }
    size_t GetSize() override { return m_members.size(); }
    bool HasKey(const CefString& key) override { return m_members.count(key.ToWString()) != 0; }
    bool GetKeys(KeyList& keys) override {
        keys.clear();
        for (const auto& member : m_members) keys.emplace_back(member.first);
        return true;
    }
    bool Remove(const CefString& key) override { return m_members.erase(key.ToWString()) != 0; }
    void Clear() override { m_members.clear(); }

    CefValueType GetType(const CefString& key) override { return TypeOf(At(key)); }
    CefRefPtr<CefValue> GetValue(const CefString& key) override { return AsValue(At(key)); }
    bool GetBool(const CefString& key) override { return AsBool(At(key)); }
    int GetInt(const CefString& key) override { return AsInt(At(key)); }
    double GetDouble(const CefString& key) override { return AsDouble(At(key)); }
    CefString GetString(const CefString& key) override { return AsString(At(key)); }
    CefRefPtr<CefListValue> GetList(const CefString& key) override { return AsList(At(key)); }
    CefRefPtr<CefDictionaryValue> GetDictionary(const CefString& key) override { return AsDictionary(At(key)); }

    bool SetValue(const CefString& key, CefRefPtr<CefValue> value) override {
        Variant v;
        return FromValue(value, v) && Put(key, std::move(v));
    }
    bool SetNull(const CefString& key) override { return Put(key, Variant::Null()); }
    bool SetBool(const CefString& key, bool value) override { return Put(key, Variant::Bool(value)); }
    bool SetInt(const CefString& key, int value) override { return Put(key, Variant::Int(value)); }
    bool SetDouble(const CefString& key, double value) override { return Put(key, Variant::Double(value)); }
    bool SetString(const CefString& key, const CefString& value) override {
        return Put(key, Variant::String(value.ToWString()));
    }
    bool SetList(const CefString& key, CefRefPtr<CefListValue> value) override {
        Variant v;
        return FromList(value, v) && Put(key, std::move(v));
    }
    bool SetDictionary(const CefString& key, CefRefPtr<CefDictionaryValue> value) override {
        Variant v;
        return FromDictionary(value, v) && Put(key, std::move(v));
    }

private:
    const Variant* At(const CefString& key) const {
        const auto it = m_members.find(key.ToWString());
        return it == m_members.end() ? nullptr : &it->second;
    }
    bool Put(const CefString& key, Variant v) {
        m_members[key.ToWString()] = std::move(v);
        return true;
    }

    VariantMap m_members;
};

CefRefPtr<CefListValue> AsList(const Variant* v) {
    return v && v->type == VTYPE_LIST ? new ListImpl(v->list) : nullptr;
}
CefRefPtr<CefDictionaryValue> AsDictionary(const Variant* v) {
    return v && v->type == VTYPE_DICTIONARY && v->dictionary ? new DictionaryImpl(*v->dictionary) : nullptr;
}
CefRefPtr<CefValue> AsValue(const Variant* v) { return v ? new ValueImpl(*v) : nullptr; }

bool FromValue(CefRefPtr<CefValue> value, Variant& out) {
    if (!value) return false;
    out = static_cast<ValueImpl*>(value.get())->Data();
    return true;
}
bool FromList(CefRefPtr<CefListValue> value, Variant& out) {
    if (!value) return false;
    out = Variant::List(static_cast<ListImpl*>(value.get())->Items());
    return true;
}
bool FromDictionary(CefRefPtr<CefDictionaryValue> value, Variant& out) {
    if (!value) return false;
    out = Variant::Dictionary(static_cast<DictionaryImpl*>(value.get())->Members());
    return true;
}

bool WriteJson(const Variant& v, rapidjson::Writer<rapidjson::StringBuffer>& w) {
    switch (v.type) {
    case VTYPE_NULL: return w.Null();
    case VTYPE_BOOL: return w.Bool(v.boolValue);
    case VTYPE_INT: return w.Int(v.intValue);
    case VTYPE_DOUBLE: return std::isfinite(v.doubleValue) && w.Double(v.doubleValue);
    case VTYPE_STRING: {
        const std::string s = kvwin::WideToUtf8(v.stringValue);
        return w.String(s.data(), static_cast<rapidjson::SizeType>(s.size()));
    }
    case VTYPE_LIST:
        w.StartArray();
        for (const Variant& item : v.list) {
            if (!WriteJson(item, w)) return false;
        }
        return w.EndArray();
    case VTYPE_DICTIONARY:
        w.StartObject();
        for (const auto& member : *v.dictionary) {
            const std::string key = kvwin::WideToUtf8(member.first);
            w.Key(key.data(), static_cast<rapidjson::SizeType>(key.size()));
            if (!WriteJson(member.second, w)) return false;
        }
        return w.EndObject();
    default:
        return false;
    }
}

}  // namespace

VariantList& ListItems(CefRefPtr<CefListValue> list) { return static_cast<ListImpl*>(list.get())->Items(); }
CefRefPtr<CefListValue> MakeList(VariantList items) { return new ListImpl(std::move(items)); }


CefRefPtr<CefValue> CefValue::Create() { return new ValueImpl(Variant::Null()); }
CefRefPtr<CefListValue> CefListValue::Create() { return new ListImpl(); }
CefRefPtr<CefDictionaryValue> CefDictionaryValue::Create() { return new DictionaryImpl(); }

CefString CefWriteJSON(CefRefPtr<CefValue> node, cef_json_writer_options_t) {
    Variant v;
    if (!FromValue(node, v)) return {};
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    if (!WriteJson(v, writer)) return {};
    return CefString(std::string(buffer.GetString(), buffer.GetSize()));
}

}  // namespace kvengine
