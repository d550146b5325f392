#pragma once
// The library's wide string: short texts live in an inline buffer, longer ones
// on the heap, so the many small names and attribute values cost no allocation.
#include <windows.h>
// windows.h may or may not define FindText as a macro (commdlg); include it
// always so every user of this header sees the same member name.
#include <commdlg.h>

namespace KvUI {

class CUIString {
public:
    // Longest text kept in the inline buffer; longer text moves to a heap block.
    static constexpr int kMaxInlineLength = 62;

    CUIString();
    CUIString(LPCTSTR text, int length = -1);
    CUIString(const CUIString& other);
    ~CUIString();

    static CUIString FromChar(TCHAR ch);
    static CUIString FromText(LPCTSTR text, int length = -1);

    int Assign(LPCTSTR text, int length = -1);
    void SetText(LPCTSTR text);
    CUIString& operator=(LPCTSTR text);
    CUIString& operator=(const CUIString& other);

    void Append(LPCTSTR text);
    void AppendText(LPCTSTR text);
    void AppendChar(TCHAR ch);
    CUIString& operator+=(LPCTSTR text);
    CUIString& operator+=(const CUIString& other);
    CUIString operator+(const CUIString& other) const;
    CUIString operator+(LPCTSTR text) const;
    CUIString Concat(LPCTSTR text) const;

    int GetLength() const;
    bool IsEmpty() const { return m_data[0] == 0; }
    void Empty();
    TCHAR GetAt(int index) const { return m_data[index]; }
    LPCTSTR GetData() const { return m_data; }
    operator LPCTSTR() const { return m_data; }

    int Compare(LPCTSTR text) const;
    int CompareNoCase(LPCTSTR text) const;
    bool operator==(LPCTSTR text) const { return Compare(text) == 0; }
    bool operator!=(LPCTSTR text) const { return Compare(text) != 0; }
    bool operator<(LPCTSTR text) const { return Compare(text) < 0; }

    void MakeLower();
    CUIString Left(int count) const;
    CUIString Mid(int pos, int count = -1) const;
    CUIString Right(int count) const;

    int Find(TCHAR ch, int start = 0) const;
    int FindText(LPCTSTR text, int start = 0) const;
    int ReverseFind(TCHAR ch) const;
    int Replace(LPCTSTR from, LPCTSTR to);

    int Format(LPCTSTR format, ...);
    int SmallFormat(LPCTSTR format, ...);

private:
    bool IsInline() const { return m_data == m_buffer; }
    void FreeBlock();

    LPTSTR m_data;
    TCHAR m_buffer[kMaxInlineLength + 2];
};

}  // namespace KvUI
