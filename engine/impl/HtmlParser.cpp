#include "engine/impl/HtmlParser.h"

#include <algorithm>
#include <cwctype>
#include <unordered_map>

#include "engine/impl/Utf.h"

namespace kvengine {
namespace {

// The longest character reference looked for: longer than any name in the
// table, so a '&' never makes the decoder search far for its ';'.
constexpr size_t kMaxReferenceLength = 32;

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f'; }

bool OneOf(const std::wstring& name, std::initializer_list<const wchar_t*> names) {
    return std::any_of(names.begin(), names.end(), [&](const wchar_t* n) { return name == n; });
}

bool IsVoid(const std::wstring& tag) {
    return OneOf(tag, {L"area", L"base", L"br", L"col", L"embed", L"hr", L"img", L"input", L"link", L"meta",
                       L"param", L"source", L"track", L"wbr"});
}

bool IsRawText(const std::wstring& tag) {
    return OneOf(tag, {L"script", L"style", L"title", L"textarea", L"noscript", L"template"});
}

// Start tags that end an open paragraph.
bool ClosesParagraph(const std::wstring& tag) {
    return OneOf(tag, {L"p", L"div", L"ul", L"ol", L"li", L"h1", L"h2", L"h3", L"h4", L"h5", L"h6", L"table",
                       L"pre", L"form", L"section", L"header", L"footer", L"nav", L"article", L"aside",
                       L"blockquote", L"dl", L"hr", L"main", L"figure", L"address"});
}

bool BelongsInHead(const std::wstring& tag) {
    return OneOf(tag, {L"title", L"style", L"script", L"meta", L"link", L"base", L"noscript", L"template"});
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

bool DecodeReference(const std::wstring& name, std::wstring& out) {
    static const std::pair<const wchar_t*, wchar_t> named[] = {
        {L"amp", L'&'}, {L"lt", L'<'}, {L"gt", L'>'}, {L"quot", L'"'}, {L"apos", L'\''},
        {L"nbsp", L'\x00A0'}, {L"copy", L'\x00A9'}, {L"reg", L'\x00AE'}, {L"middot", L'\x00B7'},
        {L"laquo", L'\x00AB'}, {L"raquo", L'\x00BB'}, {L"times", L'\x00D7'}, {L"yen", L'\x00A5'},
        {L"ndash", L'\x2013'}, {L"mdash", L'\x2014'}, {L"hellip", L'\x2026'}, {L"lsquo", L'\x2018'},
        {L"rsquo", L'\x2019'}, {L"ldquo", L'\x201C'}, {L"rdquo", L'\x201D'},
    };
    if (name.size() > 1 && name[0] == L'#') {
        const bool hex = name[1] == L'x' || name[1] == L'X';
        const std::wstring digits = name.substr(hex ? 2 : 1);
        if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [&](wchar_t c) {
                return hex ? std::iswxdigit(c) != 0 : (c >= L'0' && c <= L'9');
            })) {
            return false;
        }
        // Past the longest code point's digits the value is out of range anyway.
        const bool tooLong = digits.size() > (hex ? 8u : 10u);
        AppendCodePoint(out, tooLong ? 0 : std::wcstoul(digits.c_str(), nullptr, hex ? 16 : 10));
        return true;
    }
    for (const auto& [n, c] : named) {
        if (name == n) {
            out += c;
            return true;
        }
    }
    return false;
}

struct Tag {
    std::wstring name;  // lower case
    bool closing = false;
    std::vector<std::pair<std::wstring, std::wstring>> attributes;  // names in lower case, first one wins

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
        bool known = false;
        tag.Attribute(name, &known);
        if (!name.empty() && !known) tag.attributes.emplace_back(name, DecodeEntities(value));
    }
    pos = std::min(i + 1, html.size());
    return tag;
}

// Where the raw text of an element ends: its closing tag, any case.
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

bool IsClassicScript(const Node& script) {
    const std::wstring type = AsciiLower(script.Attribute(L"type"));
    return type.empty() || type == L"text/javascript" || type == L"application/javascript" ||
           type == L"text/ecmascript" || type == L"application/ecmascript" || type == L"text/jscript";
}

// The tree construction: a stack of open elements under an insertion root.
class TreeBuilder {
public:
    TreeBuilder(Document& document, Node* root, bool wholeDocument)
        : m_document(document), m_headMode(wholeDocument), m_wholeDocument(wholeDocument) {
        m_open.push_back(root);
    }

    void Text(const std::wstring& text) {
        if (text.empty()) return;
        if (m_headMode) {
            if (std::all_of(text.begin(), text.end(), IsSpace)) return;
            m_headMode = false;
        }
        Node* parent = m_open.back();
        if (parent->last && parent->last->kind == Node::Kind::Text) {
            parent->last->text += text;
            return;
        }
        m_document.Append(parent, m_document.CreateText(text));
    }

    // The element made for a start tag (null when the tag only changed the
    // document's own elements); raw text elements are closed by the caller.
    Node* Start(const Tag& tag) {
        if (m_wholeDocument && (tag.name == L"html" || tag.name == L"head" || tag.name == L"body")) {
            Node* own = tag.name == L"html" ? m_document.DocumentElement()
                      : tag.name == L"head" ? m_document.Head() : m_document.Body();
            for (const auto& [k, v] : tag.attributes) {
                if (!own->FindAttribute(k)) own->SetAttribute(k, v);
            }
            if (tag.name == L"body") m_headMode = false;
            return nullptr;
        }
        Node* element = m_document.CreateElement(tag.name);
        element->attributes = tag.attributes;
        if (m_headMode && BelongsInHead(tag.name)) {
            m_document.Append(m_document.Head(), element);
            return element;
        }
        m_headMode = false;
        CloseImplied(tag.name);
        const bool container = !IsVoid(tag.name) && !IsRawText(tag.name);
        // At the depth limit the deepest element is closed: the new one becomes its sibling.
        if (container && m_open.size() >= kMaxTreeDepth) Pop();
        m_document.Append(m_open.back(), element);
        if (container) Push(element);
        return element;
    }

    void End(const std::wstring& name) {
        if (m_counts[name] == 0) return;  // nothing open of that name: a stray end tag
        while (m_open.size() > 1) {
            Node* top = m_open.back();
            Pop();
            if (top->name == name) return;
        }
    }

private:
    void Push(Node* element) {
        m_open.push_back(element);
        ++m_counts[element->name];
    }

    void Pop() {
        --m_counts[m_open.back()->name];
        m_open.pop_back();
    }

    // Closes the open element of one of `names` nearest the top, unless a
    // `boundary` element comes first.
    void CloseNearest(std::initializer_list<const wchar_t*> names, std::initializer_list<const wchar_t*> boundary) {
        for (size_t i = m_open.size(); i-- > 1;) {
            const std::wstring& open = m_open[i]->name;
            if (OneOf(open, boundary)) return;
            if (OneOf(open, names)) {
                while (m_open.size() > i) Pop();
                return;
            }
        }
    }

    void CloseImplied(const std::wstring& tag) {
        if (ClosesParagraph(tag) && m_open.back()->name == L"p") Pop();
        if (tag == L"li") CloseNearest({L"li"}, {L"ul", L"ol", L"table"});
        else if (tag == L"dt" || tag == L"dd") CloseNearest({L"dt", L"dd"}, {L"dl", L"table"});
        else if (tag == L"tr") CloseNearest({L"tr"}, {L"table"});
        else if (tag == L"td" || tag == L"th") CloseNearest({L"td", L"th"}, {L"tr", L"table"});
        else if (tag == L"option") CloseNearest({L"option"}, {L"select"});
    }

    Document& m_document;
    std::vector<Node*> m_open;
    std::unordered_map<std::wstring, size_t> m_counts;  // open elements by name: stray end tags cost nothing
    bool m_headMode;
    const bool m_wholeDocument;
};

void Parse(Document& document, Node* root, const std::wstring& html, bool wholeDocument) {
    TreeBuilder builder(document, root, wholeDocument);
    std::wstring text;
    size_t pos = 0;
    // Lines counted so far, up to `counted`: each script's line without recounting from the start.
    size_t counted = 0;
    int line = 1;
    auto flush = [&] {
        builder.Text(DecodeEntities(text));
        text.clear();
    };
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
        flush();
        const Tag tag = ReadTag(html, pos);
        if (tag.name.empty()) continue;
        if (tag.closing) {
            builder.End(tag.name);
            continue;
        }
        Node* element = builder.Start(tag);
        if (!IsRawText(tag.name) || !element) continue;
        const size_t end = FindClosing(html, pos, tag.name);
        std::wstring raw = html.substr(pos, end - pos);
        if (tag.name == L"script") {
            line += static_cast<int>(std::count(html.begin() + static_cast<std::ptrdiff_t>(counted),
                                                html.begin() + static_cast<std::ptrdiff_t>(pos), L'\n'));
            counted = pos;
            element->sourceLine = line;
        } else if (tag.name == L"title" || tag.name == L"textarea") {
            raw = DecodeEntities(raw);
        }
        if (!raw.empty()) document.Append(element, document.CreateText(std::move(raw)));
        const size_t close = html.find(L'>', end);
        pos = close == std::wstring::npos ? html.size() : close + 1;
    }
    flush();
}

}  // namespace

std::wstring DecodeEntities(const std::wstring& s) {
    std::wstring out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != L'&') {
            out += s[i];
            continue;
        }
        const size_t window = std::min(s.size(), i + 1 + kMaxReferenceLength);
        const auto semi = std::find(s.begin() + static_cast<std::ptrdiff_t>(i + 1),
                                    s.begin() + static_cast<std::ptrdiff_t>(window), L';');
        const auto at = static_cast<size_t>(semi - s.begin());
        if (at == window || !DecodeReference(s.substr(i + 1, at - i - 1), out)) {
            out += s[i];
            continue;
        }
        i = at;
    }
    return out;
}

std::unique_ptr<Document> ParseDocument(const std::wstring& html) {
    auto document = std::make_unique<Document>();
    Parse(*document, document->Body(), html, true);
    return document;
}

void ParseFragment(Document& document, Node* parent, const std::wstring& html) {
    Parse(document, parent, html, false);
}

std::vector<InlineScript> InlineScripts(const Document& document) {
    std::vector<InlineScript> scripts;
    const Node* root = document.Root();
    for (const Node* n = root; n; n = NextInTree(n, root)) {
        if (n->Is(L"script") && !n->FindAttribute(L"src") && IsClassicScript(*n)) {
            scripts.push_back({TextContent(n), n->sourceLine});
        }
    }
    return scripts;
}

}  // namespace kvengine
