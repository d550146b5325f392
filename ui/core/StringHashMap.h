#pragma once
// The library's chained hash map from a wide string (case-sensitive) to a
// value of one type. `CUIStringMap` is the untyped one of the public
// interface; the library's own tables hold typed values, and owning ones
// (std::unique_ptr values) free what they hold when an entry goes.
#include <windows.h>

#include <memory>
#include <utility>

#include "ui/core/UIString.h"

namespace KvUI {

namespace stringmap {

inline UINT HashKey(LPCTSTR key) {
    UINT h = 0;
    for (LPCTSTR p = key + wcslen(key); p != key;) h = h * 33 + static_cast<UINT>(*--p);
    return h;
}

template <class T>
T* Raw(T* value) {
    return value;
}
template <class T, class D>
T* Raw(const std::unique_ptr<T, D>& value) {
    return value.get();
}

}  // namespace stringmap

template <class V>
class StringHashMap {
public:
    explicit StringHashMap(int buckets = 83) { Resize(buckets < kMinBuckets ? kMinBuckets : buckets); }
    StringHashMap(const StringHashMap&) = delete;
    StringHashMap& operator=(const StringHashMap&) = delete;
    ~StringHashMap() {
        FreeEntries();
        delete[] m_buckets;
    }

    // The value of `key`, or null. With `optimize` a hit moves to the head of its chain.
    auto Find(LPCTSTR key, bool optimize = true) {
        const Entry* entry = Lookup(key, optimize);
        return entry ? stringmap::Raw(entry->value) : nullptr;
    }

    // Refused (and an owned value freed) when there are no buckets or the key is present.
    bool Insert(LPCTSTR key, V value) {
        if (!key || m_bucketCount == 0 || Lookup(key, true)) return false;
        Entry** head = BucketOf(key);
        Entry* entry = new Entry{CUIString(key), std::move(value), nullptr, *head};
        if (*head) (*head)->prev = entry;
        *head = entry;
        ++m_count;
        return true;
    }

    // Replaces the value of an existing key and hands back the old one;
    // otherwise inserts and hands back nothing.
    V Set(LPCTSTR key, V value) {
        if (Entry* entry = Lookup(key, true)) {
            std::swap(entry->value, value);
            return value;
        }
        // With no buckets nothing can be stored; the caller gets its value back.
        if (!key || m_bucketCount == 0) return value;
        Insert(key, std::move(value));
        return V();
    }

    bool Remove(LPCTSTR key) {
        Entry* entry = Lookup(key, false);
        if (!entry) return false;
        if (entry->prev) entry->prev->next = entry->next;
        else *BucketOf(key) = entry->next;
        if (entry->next) entry->next->prev = entry->prev;
        delete entry;
        --m_count;
        return true;
    }

    void RemoveAll() { Resize(m_bucketCount); }

    void Resize(int buckets) {
        if (buckets < 0) buckets = 0;
        Entry** fresh = buckets > 0 ? new Entry*[static_cast<size_t>(buckets)]() : nullptr;
        FreeEntries();
        delete[] m_buckets;
        m_buckets = fresh;
        m_bucketCount = buckets;
        m_count = 0;
    }

    int GetSize() const { return m_count; }
    int GetBucketCount() const { return m_bucketCount; }

    // Enumeration order: buckets from the last to the first, each along its chain.
    LPCTSTR GetAt(int index) const {
        if (index < 0 || index >= m_count) return nullptr;
        LPCTSTR found = nullptr;
        ForEach([&](const CUIString& key, const V&) {
            if (index-- != 0) return false;
            found = key.GetData();
            return true;
        });
        return found;
    }

    // Calls f(key, value) in enumeration order until it returns true.
    template <class F>
    void ForEach(F f) const {
        for (int b = m_bucketCount - 1; b >= 0; --b) {
            for (const Entry* e = m_buckets[b]; e; e = e->next) {
                if (f(e->key, e->value)) return;
            }
        }
    }

private:
    static constexpr int kMinBuckets = 16;

    struct Entry {
        CUIString key;
        V value;
        Entry* prev;
        Entry* next;
    };

    // Only valid while the map has buckets.
    Entry** BucketOf(LPCTSTR key) const {
        return &m_buckets[stringmap::HashKey(key) % static_cast<UINT>(m_bucketCount)];
    }

    Entry* Lookup(LPCTSTR key, bool optimize) {
        if (!key || m_bucketCount == 0 || m_count == 0) return nullptr;
        Entry** head = BucketOf(key);
        for (Entry* e = *head; e; e = e->next) {
            if (e->key != key) continue;
            // Moving a hit to the front keeps often-used keys quick to find.
            if (optimize && e != *head) {
                e->prev->next = e->next;
                if (e->next) e->next->prev = e->prev;
                e->prev = nullptr;
                e->next = *head;
                (*head)->prev = e;
                *head = e;
            }
            return e;
        }
        return nullptr;
    }

    void FreeEntries() {
        for (int b = 0; b < m_bucketCount; ++b) {
            for (Entry* e = m_buckets[b]; e;) {
                Entry* next = e->next;
                delete e;
                e = next;
            }
            m_buckets[b] = nullptr;
        }
        m_count = 0;
    }

    Entry** m_buckets = nullptr;
    int m_bucketCount = 0;
    int m_count = 0;
};

// A table that owns its values and frees each with `Deleter` when its entry goes.
template <class T, class Deleter = std::default_delete<T>>
using OwnedStringMap = StringHashMap<std::unique_ptr<T, Deleter>>;

}  // namespace KvUI
