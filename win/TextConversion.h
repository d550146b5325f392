#pragma once
// Conversions between wide (UTF-16) text and the narrow encodings the
// programs meet: UTF-8 (the network, the engine, zip names) and the ANSI code
// page (936 for the client's GBK texts). Invalid input becomes U+FFFD or '?'
// the way Windows converts it; nothing is read past the given length.
#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace kvwin {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
std::wstring CodePageToWide(std::string_view text, UINT codePage);
std::string WideToCodePage(std::wstring_view wide, UINT codePage);
inline std::wstring AnsiToWide(std::string_view text) { return CodePageToWide(text, CP_ACP); }
inline std::string WideToAnsi(std::wstring_view wide) { return WideToCodePage(wide, CP_ACP); }

// The most of an address that a log line keeps. Addresses come from pages and
// servers and may be megabytes long; the start names the request well enough.
constexpr size_t kMaxLoggedAddress = 256;

// `url` as every log line prints it: control characters written as %XX, so
// that it stays on its own line, and anything past kMaxLoggedAddress bytes
// (never within a UTF-8 character) replaced by "...(<whole length> bytes)".
std::string LoggedAddress(std::string_view url);

}  // namespace kvwin
