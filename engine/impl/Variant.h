#pragma once
// The data behind values, lists and dictionaries: a tree that copies deeply,
// so no container is ever shared or part of itself.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/CefValues.h"

namespace kvengine {

struct Variant;
typedef std::vector<Variant> VariantList;
typedef std::map<std::wstring, Variant> VariantMap;

struct Variant {
    Variant() = default;
    Variant(const Variant& other);
    Variant(Variant&&) noexcept = default;
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&&) noexcept = default;
    ~Variant();

    static Variant Null();
    static Variant Bool(bool value);
    static Variant Int(int value);
    static Variant Double(double value);
    static Variant String(std::wstring value);
    static Variant List(VariantList items);
    static Variant Dictionary(VariantMap members);

    CefValueType type = VTYPE_INVALID;
    bool boolValue = false;
    int intValue = 0;
    double doubleValue = 0;
    std::wstring stringValue;
    VariantList list;
    std::unique_ptr<VariantMap> dictionary;
};

// The containers behind the public value objects (for the wire format).
VariantList& ListItems(CefRefPtr<CefListValue> list);
CefRefPtr<CefListValue> MakeList(VariantList items);

}  // namespace kvengine
