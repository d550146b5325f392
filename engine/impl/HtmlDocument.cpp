#include "engine/impl/HtmlDocument.h"

#include <algorithm>
#include <cwctype>

#include "engine/impl/Utf.h"

namespace kvengine {
namespace {

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f'; }

bool IsBlock(const std::wstring& tag) {
    static const wchar_t* blocks[] = {L"p", L"div", L"br", L"li", L"ul", L"ol", L"h1", L"h2", L"h3", L"h4",
                                      L"h5", L"h6", L"tr", L"table", L"section", L"article", L"header",
                                      L"footer", L"nav", L"pre", L"blockquote", L"hr", L"dl", L"dt", L"dd",
                                      L"form", L"body", L"main", L"aside", L"figure", L"address"};
    return std::any_of(std::begin(blocks), std::end(blocks), [&](const wchar_t* b) { return tag == b; });
}

void AppendCodePoint(std::wstring& out, unsigned long c) {
    if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        out += L'\xFFFD';
    } else if (c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (c >> 10));
        out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<wchar_t>(c);
    }
}

// Character references; one that is not understood stays as written.
std::wstring DecodeEntities(const std::wstring& s) {
    static const std::pair<const wchar_t*, wchar_t> named[] = {
        {L"amp", L'&'}, {L"lt", L'<'}, {L"gt", L'>'}, {L"quot", L'"'}, {L"apos", L'\''},
        {L"nbsp", L'\x00A0'}, {L"copy", L'\x00A9'}, {L"reg", L'\x00AE'}, {L"middot", L'\x00B7'},
        {L"laquo", L'\x00AB'}, {L"raquo", L'\x00BB'}, {L"times", L'\x00D7'}, {L"yen", L'\x00A5'},
        {L"ndash", L'\x2013'}, {L"mdash", L'\x2014'}, {L"hellip", L'\x2026'}, {L"lsquo", L'\x2018'},
        {L"rsquo", L'\x2019'}, {L"ldquo", L'\x201C'}, {L"rdquo", L'\x201D'},
    };
    std::wstring out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != L'&') {
            out += s[i];
            continue;
        }
        const size_t semi = s.find(L';', i);
        if (semi == std::wstring::npos || semi - i > 12) {
            out += s[i];
            continue;
        }
        const std::wstring name = s.substr(i + 1, semi - i - 1);
        bool done = false;
        if (name.size() > 1 && name[0] == L'#') {
            const bool hex = name[1] == L'x' || name[1] == L'X';
            const std::wstring digits = name.substr(hex ? 2 : 1);
            if (!digits.empty() && std::all_of(digits.begin(), digits.end(), [&](wchar_t c) {
                    return hex ? std::iswxdigit(c) != 0 : (c >= L'0' && c <= L'9');
                })) {
                AppendCodePoint(out, std::wcstoul(digits.c_str(), nullptr, hex ? 16 : 10));
                done = true;
            }
        } else {
            for (const auto& [n, c] : named) {
                if (name == n) {
                    out += c;
                    done = true;
                    break;
                }
            }
        }
        if (done) i = semi;
        else out += s[i];
    }
    return out;
}

// Folds white space into single blanks; block boundaries (marked '\v') become
// line breaks, never more than one in a row.
std::wstring Collapse(const std::wstring& s) {
    std::wstring out;
    bool space = false;
    for (const wchar_t c : s) {
        if (c == L'\v') {
            while (!out.empty() && out.back() == L' ') out.pop_back();
            if (!out.empty() && out.back() != L'\n') out += L'\n';
            space = false;
        } else if (IsSpace(c)) {
            space = true;
        } else {
            if (space && !out.empty() && out.back() != L'\n') out += L' ';
            space = false;
            out += c;
        }
    }
    while (!out.empty() && (out.back() == L' ' || out.back() == L'\n')) out.pop_back();
    return out;
}

struct Tag {
    std::wstring name;  // lower case
    bool closing = false;
    std::vector<std::pair<std::wstring, std::wstring>> attributes;  // names in lower case

    std::wstring Attribute(const std::wstring& n, bool* present = nullptr) const {
        for (const auto& [k, v] : attributes) {
            if (k == n) {
                if (present) *present = true;
                return v;
            }
        }
        if (present) *present = false;
        return {};
    }
};

// Reads the tag that starts at html[pos] == '<'; pos ends behind its '>'.
Tag ReadTag(const std::wstring& html, size_t& pos) {
    Tag tag;
    size_t i = pos + 1;
    if (i < html.size() && html[i] == L'/') {
        tag.closing = true;
        ++i;
    }
    while (i < html.size() && (std::iswalnum(html[i]) || html[i] == L'-' || html[i] == L':')) {
        tag.name += static_cast<wchar_t>(std::towlower(html[i]));
        ++i;
    }
    while (i < html.size() && html[i] != L'>') {
        if (IsSpace(html[i]) || html[i] == L'/') {
            ++i;
            continue;
        }
        std::wstring name;
        while (i < html.size() && !IsSpace(html[i]) && html[i] != L'=' && html[i] != L'>' && html[i] != L'/') {
            name += static_cast<wchar_t>(std::towlower(html[i]));
            ++i;
        }
        while (i < html.size() && IsSpace(html[i])) ++i;
        std::wstring value;
        if (i < html.size() && html[i] == L'=') {
            ++i;
            while (i < html.size() && IsSpace(html[i])) ++i;
            if (i < html.size() && (html[i] == L'"' || html[i] == L'\'')) {
                const wchar_t quote = html[i++];
                const size_t end = html.find(quote, i);
                value = html.substr(i, end == std::wstring::npos ? std::wstring::npos : end - i);
                i = end == std::wstring::npos ? html.size() : end + 1;
            } else {
                while (i < html.size() && !IsSpace(html[i]) && html[i] != L'>') value += html[i++];
            }
        }
        if (!name.empty()) tag.attributes.emplace_back(name, DecodeEntities(value));
    }
    pos = std::min(i + 1, html.size());
    return tag;
}

// Where the raw text of a <script>/<style>/<title> ends: its closing tag, any case.
size_t FindClosing(const std::wstring& html, size_t from, const std::wstring& name) {
    const std::wstring needle = L"</" + name;
    for (size_t at = from; (at = html.find(L"</", at)) != std::wstring::npos; at += 2) {
        if (AsciiLower(html.substr(at, needle.size())) == needle) {
            const size_t after = at + needle.size();
            if (after >= html.size() || html[after] == L'>' || IsSpace(html[after]) || html[after] == L'/') return at;
        }
    }
    return html.size();
}

bool IsClassicScript(const Tag& tag) {
    const std::wstring type = AsciiLower(tag.Attribute(L"type"));
    return type.empty() || type == L"text/javascript" || type == L"application/javascript" ||
           type == L"text/ecmascript" || type == L"application/ecmascript" || type == L"text/jscript";
}

}  // namespace

HtmlDocument ParseHtml(const std::wstring& html) {
    HtmlDocument doc;
    std::wstring text;
    bool haveTitle = false;
    size_t pos = 0;
    // Lines counted so far, up to `counted`: each script's line without recounting from the start.
    size_t counted = 0;
    int line = 1;
    while (pos < html.size()) {
        const size_t lt = html.find(L'<', pos);
        text.append(html, pos, (lt == std::wstring::npos ? html.size() : lt) - pos);
        if (lt == std::wstring::npos) break;
        pos = lt;
        const wchar_t next = lt + 1 < html.size() ? html[lt + 1] : L'\0';
        if (html.compare(lt, 4, L"<!--") == 0) {
            const size_t end = html.find(L"-->", lt + 4);
            pos = end == std::wstring::npos ? html.size() : end + 3;
            continue;
        }
        if (next == L'!' || next == L'?') {
            const size_t end = html.find(L'>', lt);
            pos = end == std::wstring::npos ? html.size() : end + 1;
            continue;
        }
        if (!std::iswalpha(next) && next != L'/') {
            text += L'<';
            ++pos;
            continue;
        }
        const Tag tag = ReadTag(html, pos);
        if (tag.closing) {
            if (IsBlock(tag.name)) text += L'\v';
            continue;
        }
        if (tag.name == L"script" || tag.name == L"style" || tag.name == L"title" || tag.name == L"noscript" ||
            tag.name == L"template" || tag.name == L"textarea") {
            const size_t end = FindClosing(html, pos, tag.name);
            const std::wstring raw = html.substr(pos, end - pos);
            if (tag.name == L"script") {
                bool hasSource = false;
                tag.Attribute(L"src", &hasSource);
                if (!hasSource && IsClassicScript(tag)) {
                    line += static_cast<int>(std::count(html.begin() + static_cast<std::ptrdiff_t>(counted),
                                                        html.begin() + static_cast<std::ptrdiff_t>(pos), L'\n'));
                    counted = pos;
                    doc.scripts.push_back({raw, line});
                }
            } else if (tag.name == L"title" && !haveTitle) {
                doc.title = Collapse(DecodeEntities(raw));
                haveTitle = true;
            } else if (tag.name == L"textarea") {
                text += DecodeEntities(raw);
            }
            const size_t close = html.find(L'>', end);
            pos = close == std::wstring::npos ? html.size() : close + 1;
            continue;
        }
        if (IsBlock(tag.name)) text += L'\v';
    }
    doc.text = Collapse(DecodeEntities(text));
    return doc;
}

}  // namespace kvengine
