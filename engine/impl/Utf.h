#pragma once
// The engine's own text forms: the CESU-8 the script engine keeps, ASCII-only
// lower case, and percent-decoding. Plain UTF-8 <-> UTF-16 is in win/TextConversion.h.
#include <string>

namespace kvengine {

// Each UTF-16 unit on its own, so that surrogate pairs survive into scripts.
std::string WideToCesu8(const std::wstring& wide);
// Reads CESU-8 and the script engine's own form of characters beyond U+FFFF alike.
std::wstring Cesu8ToWide(const char* data, size_t size);
std::string AsciiLower(std::string text);
std::wstring AsciiLower(std::wstring text);
// "%41" -> "A"; a '%' not followed by two hex digits stays.
std::string PercentDecode(const std::string& text);

}  // namespace kvengine
