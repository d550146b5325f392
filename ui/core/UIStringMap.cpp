#include "ui/core/UIStringMap.h"

#include "ui/core/UIString.h"

namespace KvUI {
namespace {

constexpr int kMinBuckets = 16;

UINT HashKey(LPCTSTR key) {
    UINT h = 0;
    for (LPCTSTR p = key + wcslen(key); p != key;) h = h * 33 + static_cast<UINT>(*--p);
    return h;
}

}  // namespace

struct CUIStringMap::Entry {
    CUIString key;
    LPVOID value = nullptr;
    Entry* prev = nullptr;
    Entry* next = nullptr;
};

CUIStringMap::CUIStringMap(int buckets) { Resize(buckets < kMinBuckets ? kMinBuckets : buckets); }

CUIStringMap::~CUIStringMap() {
    FreeEntries();
    delete[] m_buckets;
}

LPVOID CUIStringMap::Find(LPCTSTR key, bool optimize) {
    const Entry* entry = Lookup(key, optimize);
    return entry ? entry->value : nullptr;
}

bool CUIStringMap::Insert(LPCTSTR key, LPVOID value) {
    if (!key || m_bucketCount == 0 || Lookup(key, true)) return false;
    Entry** head = BucketOf(key);
    Entry* entry = new Entry;
    entry->key = key;
    entry->value = value;
    entry->next = *head;
    if (*head) (*head)->prev = entry;
    *head = entry;
    ++m_count;
    return true;
}

LPVOID CUIStringMap::Set(LPCTSTR key, LPVOID value) {
    if (Entry* entry = Lookup(key, true)) {
        LPVOID old = entry->value;
        entry->value = value;
        return old;
    }
    // With no buckets nothing can be stored; the caller gets its value back.
    return Insert(key, value) ? nullptr : value;
}

bool CUIStringMap::Remove(LPCTSTR key) {
    Entry* entry = Lookup(key, false);
    if (!entry) return false;
    if (entry->prev) entry->prev->next = entry->next;
    else *BucketOf(key) = entry->next;
    if (entry->next) entry->next->prev = entry->prev;
    delete entry;
    --m_count;
    return true;
}

void CUIStringMap::RemoveAll() { Resize(m_bucketCount); }

void CUIStringMap::Resize(int buckets) {
    if (buckets < 0) buckets = 0;
    Entry** fresh = buckets > 0 ? new Entry*[static_cast<size_t>(buckets)]() : nullptr;
    FreeEntries();
    delete[] m_buckets;
    m_buckets = fresh;
    m_bucketCount = buckets;
    m_count = 0;
}

LPCTSTR CUIStringMap::GetAt(int index) const {
    if (index < 0 || index >= m_count) return nullptr;
    for (int b = m_bucketCount - 1; b >= 0; --b) {
        for (const Entry* e = m_buckets[b]; e; e = e->next) {
            if (index-- == 0) return e->key.GetData();
        }
    }
    return nullptr;
}

// Only valid while the map has buckets.
CUIStringMap::Entry** CUIStringMap::BucketOf(LPCTSTR key) const {
    return &m_buckets[HashKey(key) % static_cast<UINT>(m_bucketCount)];
}

CUIStringMap::Entry* CUIStringMap::Lookup(LPCTSTR key, bool optimize) {
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

void CUIStringMap::FreeEntries() {
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

}  // namespace KvUI
