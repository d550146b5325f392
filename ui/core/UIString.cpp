#include "ui/core/UIString.h"

#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <new>
#include <string>

namespace KvUI {
namespace {

constexpr int kSmallFormatSize = 64;

int TextLength(LPCTSTR text) { return static_cast<int>(wcslen(text)); }

// Lower-cases one code unit the same way on every machine: ASCII directly,
// everything else through the invariant locale's table.
TCHAR LowerChar(TCHAR ch) {
    if (ch < 0x80) return (ch >= L'A' && ch <= L'Z') ? static_cast<TCHAR>(ch + (L'a' - L'A')) : ch;
    TCHAR lowered = ch;
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, &ch, 1, &lowered, 1, nullptr, nullptr, 0) != 1)
        return ch;
    return lowered;
}

LPTSTR AllocateChars(int count) {
    auto* block = static_cast<LPTSTR>(malloc(static_cast<size_t>(count) * sizeof(TCHAR)));
    if (!block) throw std::bad_alloc();
    return block;
}

LPTSTR ReallocateChars(LPTSTR block, int count) {
    auto* grown = static_cast<LPTSTR>(realloc(block, static_cast<size_t>(count) * sizeof(TCHAR)));
    if (!grown) throw std::bad_alloc();
    return grown;
}

// The C runtime's own wide formatter, named explicitly: with MinGW's C99 stdio
// switched on, the unprefixed names would read a wide %s argument as narrow.
int CountFormatted(LPCTSTR format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int n = _vscwprintf(format, copy);
    va_end(copy);
    return n;
}

}  // namespace

CUIString::CUIString() : m_data(m_buffer) { m_buffer[0] = 0; }

CUIString::CUIString(LPCTSTR text, int length) : CUIString() { Assign(text, length); }

CUIString::CUIString(const CUIString& other) : CUIString() { Assign(other.m_data); }

CUIString::~CUIString() { FreeBlock(); }

CUIString CUIString::FromChar(TCHAR ch) {
    CUIString s;
    s.m_buffer[0] = ch;
    s.m_buffer[1] = 0;
    return s;
}

CUIString CUIString::FromText(LPCTSTR text, int length) { return CUIString(text, length); }

int CUIString::Assign(LPCTSTR text, int length) {
    if (!text) text = L"";
    // Never read past the text's terminator, whatever length the caller claims.
    length = length < 0 ? TextLength(text) : static_cast<int>(wcsnlen(text, static_cast<size_t>(length)));

    // The text may be (part of) this string: keep its offset so it can be found
    // again if the block moves, and copy it out before a block is freed.
    const std::less<LPCTSTR> before;
    const bool own = !before(text, m_data) && before(text, m_data + GetLength() + 1);
    const ptrdiff_t offset = own ? text - m_data : 0;

    if (length > kMaxInlineLength) {
        if (IsInline()) {
            LPTSTR block = AllocateChars(length + 1);
            wmemcpy(block, text, static_cast<size_t>(length));
            m_data = block;
        } else {
            if (GetLength() < length) {
                m_data = ReallocateChars(m_data, length + 1);
                if (own) text = m_data + offset;
            }
            wmemmove(m_data, text, static_cast<size_t>(length));
        }
    } else {
        wmemmove(m_buffer, text, static_cast<size_t>(length));
        FreeBlock();
    }
    m_data[length] = 0;
    return length;
}

void CUIString::SetText(LPCTSTR text) { Assign(text); }

CUIString& CUIString::operator=(LPCTSTR text) {
    Assign(text);
    return *this;
}

CUIString& CUIString::operator=(const CUIString& other) {
    if (this != &other) Assign(other.m_data);
    return *this;
}

void CUIString::Append(LPCTSTR text) {
    if (!text) return;
    const int current = GetLength();
    const int added = TextLength(text);
    const int n = current + added;
    if (n > kMaxInlineLength) {
        if (IsInline()) {
            // The inline buffer stays valid until the end, so text taken from it is still readable.
            LPTSTR block = AllocateChars(n + 1);
            wmemcpy(block, m_buffer, static_cast<size_t>(current));
            wmemcpy(block + current, text, static_cast<size_t>(added));
            m_data = block;
            m_data[n] = 0;
            return;
        }
        const std::less<LPCTSTR> before;
        const bool own = !before(text, m_data) && before(text, m_data + current + 1);
        const ptrdiff_t offset = own ? text - m_data : 0;
        m_data = ReallocateChars(m_data, n + 1);
        if (own) text = m_data + offset;
    }
    wmemmove(m_data + current, text, static_cast<size_t>(added));
    m_data[n] = 0;
}

void CUIString::AppendText(LPCTSTR text) { Append(text); }

void CUIString::AppendChar(TCHAR ch) {
    const TCHAR text[2] = {ch, 0};
    Append(text);
}

CUIString& CUIString::operator+=(LPCTSTR text) {
    Append(text);
    return *this;
}

CUIString& CUIString::operator+=(const CUIString& other) {
    Append(other.m_data);
    return *this;
}

CUIString CUIString::operator+(const CUIString& other) const { return Concat(other.m_data); }

CUIString CUIString::operator+(LPCTSTR text) const { return Concat(text); }

CUIString CUIString::Concat(LPCTSTR text) const {
    CUIString result(*this);
    result.Append(text);
    return result;
}

int CUIString::GetLength() const { return TextLength(m_data); }

void CUIString::Empty() {
    FreeBlock();
    m_buffer[0] = 0;
}

int CUIString::Compare(LPCTSTR text) const { return wcscmp(m_data, text ? text : L""); }

int CUIString::CompareNoCase(LPCTSTR text) const {
    if (!text) text = L"";
    for (LPCTSTR p = m_data;; ++p, ++text) {
        const TCHAR a = LowerChar(*p);
        const TCHAR b = LowerChar(*text);
        if (a != b) return a < b ? -1 : 1;
        if (a == 0) return 0;
    }
}

void CUIString::MakeLower() {
    for (LPTSTR p = m_data; *p; ++p) *p = LowerChar(*p);
}

CUIString CUIString::Left(int count) const {
    const int length = GetLength();
    if (count < 0) count = 0;
    if (count > length) count = length;
    return CUIString(m_data, count);
}

CUIString CUIString::Mid(int pos, int count) const {
    const int length = GetLength();
    if (pos < 0) pos = 0;
    if (pos >= length) return CUIString();
    if (count < 0 || count > length - pos) count = length - pos;
    return CUIString(m_data + pos, count);
}

CUIString CUIString::Right(int count) const {
    const int length = GetLength();
    if (count < 0) count = 0;
    if (count > length) count = length;
    return CUIString(m_data + length - count, count);
}

int CUIString::Find(TCHAR ch, int start) const {
    const int length = GetLength();
    if (start != 0 && (start < 0 || start >= length)) return -1;
    for (int i = start; i < length; ++i) {
        if (m_data[i] == ch) return i;
    }
    return -1;
}

int CUIString::FindText(LPCTSTR text, int start) const {
    if (!text || start < 0 || start > GetLength()) return -1;
    // The empty text is found where the search starts, even at the very end
    // (not every C runtime's wcsstr agrees).
    if (!*text) return start;
    LPCTSTR hit = wcsstr(m_data + start, text);
    return hit ? static_cast<int>(hit - m_data) : -1;
}

int CUIString::ReverseFind(TCHAR ch) const {
    if (ch == 0) return -1;
    LPCTSTR hit = wcsrchr(m_data, ch);
    return hit ? static_cast<int>(hit - m_data) : -1;
}

int CUIString::Replace(LPCTSTR from, LPCTSTR to) {
    // An empty pattern matches everywhere and would never advance: nothing to replace.
    if (!from || !*from) return 0;
    if (!to) to = L"";
    const std::wstring pattern(from);
    const std::wstring replacement(to);
    std::wstring result;
    int count = 0;
    LPCTSTR rest = m_data;
    // Searching the original text after each hit is the same as searching the
    // new text after the inserted replacement: what a replacement produced is
    // never searched again.
    for (LPCTSTR hit = wcsstr(rest, pattern.c_str()); hit; hit = wcsstr(rest, pattern.c_str())) {
        result.append(rest, hit);
        result.append(replacement);
        rest = hit + pattern.size();
        ++count;
    }
    if (count == 0) return 0;
    result.append(rest);
    Assign(result.c_str(), static_cast<int>(result.size()));
    return count;
}

int CUIString::Format(LPCTSTR format, ...) {
    va_list args;
    va_start(args, format);
    const int n = format ? CountFormatted(format, args) : -1;
    if (n < 0) {
        va_end(args);
        Empty();
        return -1;
    }
    LPTSTR block = static_cast<LPTSTR>(calloc(static_cast<size_t>(n) + 1, sizeof(TCHAR)));
    if (!block) {
        va_end(args);
        throw std::bad_alloc();
    }
    _vsnwprintf(block, static_cast<size_t>(n), format, args);
    va_end(args);
    Assign(block, n);
    free(block);
    return n;
}

int CUIString::SmallFormat(LPCTSTR format, ...) {
    TCHAR buffer[kSmallFormatSize] = {};
    if (!format) {
        Empty();
        return -1;
    }
    va_list args;
    va_start(args, format);
    const int result = _vsnwprintf(buffer, kSmallFormatSize - 1, format, args);
    va_end(args);
    buffer[kSmallFormatSize - 1] = 0;
    Assign(buffer);
    return result;
}

void CUIString::FreeBlock() {
    if (!IsInline()) free(m_data);
    m_data = m_buffer;
}

}  // namespace KvUI
