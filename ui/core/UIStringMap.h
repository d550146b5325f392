#pragma once
// A chained hash map from a wide string (case-sensitive) to an untyped pointer.
// The map owns its entries and keys, never the values.
#include <windows.h>

#include "ui/core/StringHashMap.h"

namespace KvUI {

class CUIStringMap : public StringHashMap<LPVOID> {
public:
    explicit CUIStringMap(int buckets = 83) : StringHashMap(buckets) {}
};

}  // namespace KvUI
