#pragma once
// How the controls read their own skin attribute values. A value is untrusted
// text: every reader stops at the terminator and never reads past it.
#include <windows.h>

#include <cwchar>

namespace KvUI {
namespace attribute {

// Attribute names are compared without regard to case.
inline bool Is(LPCTSTR name, LPCTSTR expected) { return _wcsicmp(name, expected) == 0; }

// Booleans are true only for "true" (any letter case).
inline bool IsTrue(LPCTSTR value) { return _wcsicmp(value, L"true") == 0; }

inline int Int(LPCTSTR value) { return static_cast<int>(wcstol(value, nullptr, 10)); }

// AARRGGBB in hexadecimal after one optional "#".
inline DWORD Color(LPCTSTR value) {
    if (*value == L'#') ++value;
    return static_cast<DWORD>(wcstoul(value, nullptr, 16));
}

// Decimal numbers, each followed by exactly one separator character; a short
// list leaves the rest 0.
inline void Ints(LPCTSTR text, long* out, int count) {
    for (int i = 0; i < count; ++i) {
        LPTSTR end = nullptr;
        out[i] = wcstol(text, &end, 10);
        text = *end ? end + 1 : end;
    }
}

inline RECT Rect(LPCTSTR value) {
    long v[4];
    Ints(value, v, 4);
    return RECT{v[0], v[1], v[2], v[3]};
}

inline SIZE Size(LPCTSTR value) {
    long v[2];
    Ints(value, v, 2);
    return SIZE{v[0], v[1]};
}

}  // namespace attribute
}  // namespace KvUI
