#include "ui/core/UIPtrArray.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace KvUI {
namespace {

// Byte size of a block of `slots` pointers, or 0 when it cannot be expressed.
size_t BlockBytes(int slots) {
    if (slots <= 0 || static_cast<size_t>(slots) > SIZE_MAX / sizeof(LPVOID)) return 0;
    return static_cast<size_t>(slots) * sizeof(LPVOID);
}

}  // namespace

CUIPtrArray::CUIPtrArray(int capacity) {
    const size_t bytes = BlockBytes(capacity);
    if (bytes == 0) return;
    m_items = static_cast<LPVOID*>(malloc(bytes));
    // Without its block the array must not claim room it does not have.
    if (m_items) m_capacity = capacity;
}

CUIPtrArray::CUIPtrArray(const CUIPtrArray& other) {
    for (int i = 0; i < other.m_count; ++i) Add(other.m_items[i]);
}

CUIPtrArray& CUIPtrArray::operator=(const CUIPtrArray& other) {
    if (this == &other) return *this;
    Empty();
    for (int i = 0; i < other.m_count; ++i) Add(other.m_items[i]);
    return *this;
}

CUIPtrArray::~CUIPtrArray() { free(m_items); }

void CUIPtrArray::Empty() {
    free(m_items);
    m_items = nullptr;
    m_count = 0;
    m_capacity = 0;
}

void CUIPtrArray::Resize(int count) {
    Empty();
    const size_t bytes = BlockBytes(count);
    if (bytes == 0) return;
    m_items = static_cast<LPVOID*>(calloc(static_cast<size_t>(count), sizeof(LPVOID)));
    if (!m_items) return;
    m_count = count;
    m_capacity = count;
}

bool CUIPtrArray::Add(LPVOID item) {
    if (!Grow()) return false;
    m_items[m_count - 1] = item;
    return true;
}

bool CUIPtrArray::InsertAt(int index, LPVOID item) {
    if (index == m_count) return Add(item);
    if (index < 0 || index > m_count) return false;
    if (!Grow()) return false;
    memmove(&m_items[index + 1], &m_items[index], static_cast<size_t>(m_count - 1 - index) * sizeof(LPVOID));
    m_items[index] = item;
    return true;
}

bool CUIPtrArray::SetAt(int index, LPVOID item) {
    if (index < 0 || index >= m_count) return false;
    m_items[index] = item;
    return true;
}

bool CUIPtrArray::Remove(int index) {
    if (index < 0 || index >= m_count) return false;
    --m_count;
    memmove(&m_items[index], &m_items[index + 1], static_cast<size_t>(m_count - index) * sizeof(LPVOID));
    return true;
}

int CUIPtrArray::Find(LPVOID item) const {
    for (int i = 0; i < m_count; ++i) {
        if (m_items[i] == item) return i;
    }
    return -1;
}

LPVOID CUIPtrArray::GetAt(int index) const {
    if (index < 0 || index >= m_count) return nullptr;
    return m_items[index];
}

// Makes room for one more element and counts it. The block grows as soon as
// the new count reaches the capacity, so one slot past the end is always free.
// On failure nothing changes.
bool CUIPtrArray::Grow() {
    if (m_count == INT_MAX) return false;
    const int count = m_count + 1;
    if (count < m_capacity) {
        m_count = count;
        return true;
    }
    if (m_capacity > INT_MAX / 2) return false;
    const int capacity = m_capacity == 0 ? 11 : m_capacity * 2;
    const size_t bytes = BlockBytes(capacity);
    if (bytes == 0) return false;
    auto* items = static_cast<LPVOID*>(realloc(m_items, bytes));
    if (!items) return false;
    m_items = items;
    m_capacity = capacity;
    m_count = count;
    return true;
}

}  // namespace KvUI
