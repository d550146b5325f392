#pragma once
// A growable array of untyped pointers; it never owns what they point to.
#include <windows.h>

namespace KvUI {

class CUIPtrArray {
public:
    explicit CUIPtrArray(int capacity = 0);
    CUIPtrArray(const CUIPtrArray& other);
    CUIPtrArray& operator=(const CUIPtrArray& other);
    ~CUIPtrArray();

    void Empty();
    void Resize(int count);
    bool IsEmpty() const { return m_count == 0; }
    int GetSize() const { return m_count; }
    int GetCapacity() const { return m_capacity; }

    bool Add(LPVOID item);
    bool InsertAt(int index, LPVOID item);
    bool SetAt(int index, LPVOID item);
    bool Remove(int index);
    int Find(LPVOID item) const;
    LPVOID GetAt(int index) const;
    LPVOID operator[](int index) const { return m_items[index]; }

private:
    bool Grow();

    LPVOID* m_items = nullptr;
    int m_count = 0;
    int m_capacity = 0;
};

}  // namespace KvUI
