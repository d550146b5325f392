#pragma once
// A chained hash map from a wide string (case-sensitive) to an untyped pointer.
// The map owns its entries and keys, never the values.
#include <windows.h>

namespace KvUI {

class CUIStringMap {
public:
    explicit CUIStringMap(int buckets = 83);
    CUIStringMap(const CUIStringMap&) = delete;
    CUIStringMap& operator=(const CUIStringMap&) = delete;
    ~CUIStringMap();

    LPVOID Find(LPCTSTR key, bool optimize = true);
    bool Insert(LPCTSTR key, LPVOID value);
    LPVOID Set(LPCTSTR key, LPVOID value);
    bool Remove(LPCTSTR key);
    void RemoveAll();
    void Resize(int buckets);
    int GetSize() const { return m_count; }
    int GetBucketCount() const { return m_bucketCount; }
    LPCTSTR GetAt(int index) const;

private:
    struct Entry;

    Entry** BucketOf(LPCTSTR key) const;
    Entry* Lookup(LPCTSTR key, bool optimize);
    void FreeEntries();

    Entry** m_buckets = nullptr;
    int m_bucketCount = 0;
    int m_count = 0;
};

}  // namespace KvUI
