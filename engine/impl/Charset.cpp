#include "engine/impl/Charset.h"

#include <windows.h>

#include "engine/impl/Utf.h"
#include "win/TextConversion.h"

namespace kvengine {
namespace {

constexpr UINT kUtf16Le = 1200;
constexpr UINT kUtf16Be = 1201;

UINT CodePageOf(std::string name) {
    name = AsciiLower(name);
    static const std::pair<const char*, UINT> table[] = {
        {"utf-8", CP_UTF8}, {"utf8", CP_UTF8}, {"unicode-1-1-utf-8", CP_UTF8},
        {"gbk", 936}, {"gb2312", 936}, {"x-gbk", 936}, {"gb18030", 54936}, {"big5", 950},
        {"shift_jis", 932}, {"sjis", 932}, {"euc-kr", 949}, {"koi8-r", 20866},
        {"iso-8859-1", 1252}, {"latin1", 1252}, {"us-ascii", 1252}, {"ascii", 1252},
        {"windows-1250", 1250}, {"windows-1251", 1251}, {"windows-1252", 1252}, {"windows-1253", 1253},
        {"windows-1254", 1254}, {"windows-1255", 1255}, {"windows-1256", 1256}, {"windows-1257", 1257},
        {"windows-1258", 1258}, {"iso-8859-2", 28592}, {"iso-8859-5", 28595}, {"iso-8859-7", 28597},
        {"iso-8859-15", 28605}, {"utf-16le", kUtf16Le}, {"utf-16", kUtf16Le}, {"utf-16be", kUtf16Be},
    };
    for (const auto& [n, page] : table) {
        if (name == n) return page;
    }
    return 0;
}

// <meta charset="x"> or <meta http-equiv="Content-Type" content="...; charset=x"> in the first 1024 bytes.
std::string MetaCharset(const std::string& bytes) {
    const std::string head = AsciiLower(bytes.substr(0, 1024));
    size_t at = 0;
    while ((at = head.find("<meta", at)) != std::string::npos) {
        const size_t end = head.find('>', at);
        const std::string tag = head.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at += 5;
        const size_t cs = tag.find("charset");
        if (cs == std::string::npos) continue;
        size_t p = tag.find_first_not_of(" \t\r\n", cs + 7);
        if (p == std::string::npos || tag[p] != '=') continue;
        p = tag.find_first_not_of(" \t\r\n\"'", p + 1);
        if (p == std::string::npos) continue;
        const size_t q = tag.find_first_of(" \t\r\n\"';/>", p);
        return tag.substr(p, q == std::string::npos ? std::string::npos : q - p);
    }
    return {};
}

std::string FromCodePage(const std::string& bytes, UINT page) {
    if (page == CP_UTF8) {
        // Goes through UTF-16 so that invalid sequences become U+FFFD.
        return kvwin::WideToUtf8(kvwin::Utf8ToWide(bytes));
    }
    std::wstring wide;
    if (page == kUtf16Le || page == kUtf16Be) {
        wide.resize(bytes.size() / 2);
        for (size_t i = 0; i < wide.size(); ++i) {
            const auto lo = static_cast<unsigned char>(bytes[2 * i + (page == kUtf16Le ? 0 : 1)]);
            const auto hi = static_cast<unsigned char>(bytes[2 * i + (page == kUtf16Le ? 1 : 0)]);
            wide[i] = static_cast<wchar_t>(lo | (hi << 8));
        }
    } else {
        wide = kvwin::CodePageToWide(bytes, page);
    }
    return kvwin::WideToUtf8(wide);
}

}  // namespace

std::string DecodeDocument(const std::string& bytes, const std::string& responseCharset,
                           const std::wstring& defaultEncoding) {
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return FromCodePage(bytes.substr(3), CP_UTF8);
    if (bytes.compare(0, 2, "\xFF\xFE") == 0) return FromCodePage(bytes.substr(2), kUtf16Le);
    if (bytes.compare(0, 2, "\xFE\xFF") == 0) return FromCodePage(bytes.substr(2), kUtf16Be);
    UINT page = CodePageOf(responseCharset);
    if (page == 0) page = CodePageOf(MetaCharset(bytes));
    // A <meta> cannot truly say UTF-16: the bytes read as ASCII were not.
    if (page == kUtf16Le || page == kUtf16Be) page = responseCharset.empty() ? CP_UTF8 : page;
    if (page == 0) page = CodePageOf(kvwin::WideToUtf8(defaultEncoding));
    if (page == 0) page = 1252;
    return FromCodePage(bytes, page);
}

}  // namespace kvengine
