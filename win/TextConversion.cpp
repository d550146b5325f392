#include "win/TextConversion.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace kvwin {

std::wstring CodePageToWide(std::string_view text, UINT codePage) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int length = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, out.data(), n);
    return out;
}

std::string WideToCodePage(std::wstring_view wide, UINT codePage) {
    if (wide.empty() || wide.size() > INT_MAX) return {};
    const int length = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), length, out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring Utf8ToWide(std::string_view utf8) { return CodePageToWide(utf8, CP_UTF8); }

std::string WideToUtf8(std::wstring_view wide) { return WideToCodePage(wide, CP_UTF8); }

std::string LoggedAddress(std::string_view url) {
    size_t keep = std::min(url.size(), kMaxLoggedAddress);
    // A UTF-8 character has at most three continuation bytes; text of another
    // encoding is cut where it falls.
    for (int back = 0; back < 3 && keep > 0 && keep < url.size(); ++back) {
        if ((static_cast<unsigned char>(url[keep]) & 0xC0) != 0x80) break;
        --keep;
    }
    std::string out;
    out.reserve(keep);
    for (size_t i = 0; i < keep; ++i) {
        const auto c = static_cast<unsigned char>(url[i]);
        if (c >= 0x20 && c != 0x7F) {
            out += static_cast<char>(c);
            continue;
        }
        char escaped[4];
        std::snprintf(escaped, sizeof escaped, "%%%02X", c);
        out += escaped;
    }
    if (keep < url.size()) out += "...(" + std::to_string(url.size()) + " bytes)";
    return out;
}

}  // namespace kvwin
