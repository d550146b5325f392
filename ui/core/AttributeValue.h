#pragma once
// How controls read their skin attribute values. A value is untrusted
// text: every reader stops at the terminator and never reads past it.
#include <windows.h>

#include <cwchar>

namespace KvUI {
namespace attribute {

// Names are compared without regard to case. Folding A-Z only is what the C
// runtime does in the "C" locale, at a fraction of the cost of its call, which
// is made many times for every control a skin builds.
inline bool Is(LPCTSTR name, LPCTSTR expected) {
    const auto fold = [](wchar_t ch) { return (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch + 32) : ch; };
    while (*name && fold(*name) == fold(*expected)) {
        ++name;
        ++expected;
    }
    return fold(*name) == fold(*expected);
}

// Booleans are true only for "true" (any letter case).
inline bool IsTrue(LPCTSTR value) { return Is(value, L"true"); }

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

inline void Doubles(LPCTSTR text, double* out, int count) {
    for (int i = 0; i < count; ++i) {
        LPTSTR end = nullptr;
        out[i] = wcstod(text, &end);
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
