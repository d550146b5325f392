#include "engine/impl/Css.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <functional>

#include "engine/impl/Utf.h"

namespace kvengine {
namespace {

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f'; }

std::wstring Trim(const std::wstring& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsSpace(s[b])) ++b;
    while (e > b && IsSpace(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// Splits on white space, keeping parenthesised groups ("rgb(1, 2, 3)") whole.
std::vector<std::wstring> Tokens(const std::wstring& s) {
    std::vector<std::wstring> out;
    std::wstring token;
    int depth = 0;
    for (const wchar_t c : s) {
        if (c == L'(') ++depth;
        if (c == L')' && depth > 0) --depth;
        if (IsSpace(c) && depth == 0) {
            if (!token.empty()) out.push_back(std::move(token));
            token.clear();
        } else {
            token += c;
        }
    }
    if (!token.empty()) out.push_back(std::move(token));
    return out;
}

bool ParseNumber(const std::wstring& text, float& value, std::wstring& unit) {
    const wchar_t* start = text.c_str();
    wchar_t* end = nullptr;
    const double v = std::wcstod(start, &end);
    if (end == start || !std::isfinite(v)) return false;
    value = static_cast<float>(v);
    unit = AsciiLower(std::wstring(end));
    return true;
}

// A length in CSS pixels; `em` is the font size that "em" refers to.
bool ParseLength(const std::wstring& text, float em, Length& out, bool allowAuto = true) {
    const std::wstring t = AsciiLower(Trim(text));
    if (t == L"auto") {
        if (!allowAuto) return false;
        out = Length();
        return true;
    }
    float v = 0;
    std::wstring unit;
    if (!ParseNumber(t, v, unit)) return false;
    if (unit == L"px" || (unit.empty() && v == 0)) out = {v, Length::Unit::Px};
    else if (unit == L"%") out = {v, Length::Unit::Percent};
    else if (unit == L"em" || unit == L"rem") out = {v * em, Length::Unit::Px};
    else if (unit == L"pt") out = {v * 4 / 3, Length::Unit::Px};
    else return false;
    return true;
}

uint32_t Opaque(uint32_t rgb) { return 0xFF000000 | rgb; }

bool ParseHexColor(const std::wstring& hex, uint32_t& argb) {
    if (!std::all_of(hex.begin(), hex.end(), [](wchar_t c) { return std::iswxdigit(c) != 0; })) return false;
    const auto v = static_cast<uint32_t>(std::wcstoul(hex.c_str(), nullptr, 16));
    if (hex.size() == 3) {
        const uint32_t r = (v >> 8) & 0xF, g = (v >> 4) & 0xF, b = v & 0xF;
        argb = Opaque((r * 17) << 16 | (g * 17) << 8 | (b * 17));
        return true;
    }
    if (hex.size() == 6) {
        argb = Opaque(v);
        return true;
    }
    return false;
}

bool ParseFunctionColor(const std::wstring& text, uint32_t& argb) {
    const size_t open = text.find(L'(');
    const std::wstring name = text.substr(0, open);
    if (open == std::wstring::npos || text.back() != L')' || (name != L"rgb" && name != L"rgba")) return false;
    std::wstring inner = text.substr(open + 1, text.size() - open - 2);
    std::replace(inner.begin(), inner.end(), L',', L' ');
    std::replace(inner.begin(), inner.end(), L'/', L' ');
    const std::vector<std::wstring> parts = Tokens(inner);
    if (parts.size() != 3 && parts.size() != 4) return false;
    float channel[4] = {0, 0, 0, 1};
    for (size_t i = 0; i < parts.size(); ++i) {
        std::wstring unit;
        if (!ParseNumber(parts[i], channel[i], unit)) return false;
        if (unit == L"%") channel[i] = i < 3 ? channel[i] * 255 / 100 : channel[i] / 100;
        else if (!unit.empty()) return false;
    }
    auto byte = [](float v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0f, 255.0f))); };
    argb = byte(channel[3] * 255) << 24 | byte(channel[0]) << 16 | byte(channel[1]) << 8 | byte(channel[2]);
    return true;
}

float FontSizeKeyword(const std::wstring& t, float parent) {
    static const std::pair<const wchar_t*, float> keywords[] = {
        {L"xx-small", 9}, {L"x-small", 10}, {L"small", 13}, {L"medium", 16}, {L"large", 18},
        {L"x-large", 24}, {L"xx-large", 32}};
    for (const auto& [k, v] : keywords) {
        if (t == k) return v;
    }
    if (t == L"smaller") return parent / 1.2f;
    if (t == L"larger") return parent * 1.2f;
    return 0;
}

// What the cascade tracks besides the computed style: a border side is drawn
// only once a style says so, with the width given or "medium".
struct Cascade {
    ComputedStyle& style;
    const ComputedStyle& parent;
    bool borderShown[4] = {false, false, false, false};
    float borderWidth[4] = {3, 3, 3, 3};

    void Finish() {
        for (int i = 0; i < 4; ++i) style.borderWidth[i] = borderShown[i] ? borderWidth[i] : 0;
    }
};

bool BorderWidth(const std::wstring& t, float& width) {
    if (t == L"thin") width = 1;
    else if (t == L"medium") width = 3;
    else if (t == L"thick") width = 5;
    else {
        Length l;
        if (!ParseLength(t, 16, l, false) || l.unit != Length::Unit::Px || l.value < 0) return false;
        width = l.value;
    }
    return true;
}

// The sides of a 1-to-4-value box shorthand, in CSS order.
template <class T, class Parse>
bool BoxValues(const std::wstring& value, T out[4], Parse parse) {
    const std::vector<std::wstring> parts = Tokens(value);
    if (parts.empty() || parts.size() > 4) return false;
    T v[4];
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!parse(parts[i], v[i])) return false;
    }
    static const int from[4][4] = {{0, 0, 0, 0}, {0, 1, 0, 1}, {0, 1, 2, 1}, {0, 1, 2, 3}};
    for (int i = 0; i < 4; ++i) out[i] = v[from[parts.size() - 1][i]];
    return true;
}

int SideIndex(const std::wstring& side) {
    static const wchar_t* const sides[] = {L"top", L"right", L"bottom", L"left"};
    for (int i = 0; i < 4; ++i) {
        if (side == sides[i]) return i;
    }
    return -1;
}

void ApplyBorder(Cascade& c, const std::wstring& value, int side) {
    for (const std::wstring& token : Tokens(AsciiLower(value))) {
        float width = 0;
        uint32_t color = 0;
        for (int i = 0; i < 4; ++i) {
            if (side >= 0 && i != side) continue;
            if (BorderWidth(token, width)) c.borderWidth[i] = width;
            else if (token == L"none" || token == L"hidden") c.borderShown[i] = false;
            else if (token == L"solid" || token == L"dashed" || token == L"dotted" || token == L"double" ||
                     token == L"groove" || token == L"ridge" || token == L"inset" || token == L"outset") {
                c.borderShown[i] = true;  // every drawn style is drawn solid
            }
        }
        if (ParseColor(token, color)) c.style.borderColor = color;
    }
}

void Apply(Cascade& c, const std::wstring& property, const std::wstring& rawValue) {
    ComputedStyle& s = c.style;
    const std::wstring value = Trim(rawValue);
    const std::wstring t = AsciiLower(value);
    const float em = s.fontSize;
    Length length;
    uint32_t color = 0;
    if (property == L"display") {
        if (t == L"none") s.display = Display::None;
        else if (t == L"inline" || t == L"inline-block" || t == L"inline-flex") s.display = Display::Inline;
        else if (!t.empty()) s.display = Display::Block;
    } else if (property == L"position") {
        if (t == L"static") s.position = Position::Static;
        else if (t == L"relative" || t == L"sticky") s.position = Position::Relative;
        else if (t == L"absolute") s.position = Position::Absolute;
        else if (t == L"fixed") s.position = Position::Fixed;
    } else if (property == L"color") {
        if (ParseColor(t, color)) s.color = color;
    } else if (property == L"background-color" || property == L"background") {
        for (const std::wstring& token : Tokens(t)) {
            if (ParseColor(token, color)) s.background = color;
        }
    } else if (property == L"opacity") {
        float v = 0;
        std::wstring unit;
        if (ParseNumber(t, v, unit) && (unit.empty() || unit == L"%")) {
            s.opacity = std::clamp(unit.empty() ? v : v / 100, 0.0f, 1.0f);
        }
    } else if (property == L"top" || property == L"right" || property == L"bottom" || property == L"left" ||
               property == L"width" || property == L"height") {
        if (!ParseLength(t, em, length)) return;
        Length* target[] = {&s.top, &s.right, &s.bottom, &s.left, &s.width, &s.height};
        static const wchar_t* const names[] = {L"top", L"right", L"bottom", L"left", L"width", L"height"};
        for (int i = 0; i < 6; ++i) {
            if (property == names[i] && (i < 4 || length.IsAuto() || length.value >= 0)) *target[i] = length;
        }
    } else if (property == L"z-index") {
        float v = 0;
        std::wstring unit;
        if (t == L"auto") s.zAuto = true;
        else if (ParseNumber(t, v, unit) && unit.empty() && std::fabs(v) < 1e9f) {
            s.zAuto = false;
            s.zIndex = static_cast<int>(v);
        }
    } else if (property == L"margin" || property == L"padding") {
        const bool margin = property == L"margin";
        BoxValues(t, margin ? s.margin : s.padding, [&](const std::wstring& part, Length& out) {
            return ParseLength(part, em, out, margin) && (margin || out.value >= 0);
        });
    } else if (property.compare(0, 7, L"margin-") == 0 || property.compare(0, 8, L"padding-") == 0) {
        const bool margin = property[0] == L'm';
        const int side = SideIndex(property.substr(margin ? 7 : 8));
        if (side >= 0 && ParseLength(t, em, length, margin) && (margin || length.value >= 0)) {
            (margin ? s.margin : s.padding)[side] = length;
        }
    } else if (property == L"border") {
        ApplyBorder(c, t, -1);
    } else if (property == L"border-width") {
        BoxValues(t, c.borderWidth, BorderWidth);
    } else if (property == L"border-style") {
        BoxValues(t, c.borderShown, [](const std::wstring& part, bool& shown) {
            shown = part != L"none" && part != L"hidden";
            return true;
        });
    } else if (property == L"border-color") {
        if (ParseColor(t, color)) s.borderColor = color;
    } else if (property.compare(0, 7, L"border-") == 0 && SideIndex(property.substr(7)) >= 0) {
        ApplyBorder(c, t, SideIndex(property.substr(7)));
    } else if (property == L"font-size") {
        const float keyword = FontSizeKeyword(t, c.parent.fontSize);
        if (keyword > 0) s.fontSize = keyword;
        else if (ParseLength(t, c.parent.fontSize, length, false) && length.value > 0) {
            s.fontSize = length.Resolve(c.parent.fontSize);
        }
    } else if (property == L"font-weight") {
        float v = 0;
        std::wstring unit;
        if (t == L"bold" || t == L"bolder") s.bold = true;
        else if (t == L"normal" || t == L"lighter") s.bold = false;
        else if (ParseNumber(t, v, unit) && unit.empty()) s.bold = v >= 600;
    } else if (property == L"text-align") {
        if (t == L"center") s.textAlign = TextAlign::Center;
        else if (t == L"right" || t == L"end") s.textAlign = TextAlign::Right;
        else if (!t.empty()) s.textAlign = TextAlign::Left;
    } else if (property == L"cursor") {
        s.pointer = t == L"pointer";
    } else if (property == L"white-space") {
        s.preserveSpace = t == L"pre" || t == L"pre-wrap";
    }
}

bool OneOf(const std::wstring& name, std::initializer_list<const wchar_t*> names) {
    return std::any_of(names.begin(), names.end(), [&](const wchar_t* n) { return name == n; });
}

// The engine's own style sheet, as code: what each tag looks like before any author style.
void ApplyDefaults(Cascade& c, const Node& element) {
    ComputedStyle& s = c.style;
    const std::wstring& tag = element.name;
    auto margins = [&](float vertical) { s.margin[0] = s.margin[2] = {vertical, Length::Unit::Px}; };
    if (OneOf(tag, {L"head", L"script", L"style", L"title", L"meta", L"link", L"noscript", L"template", L"base"})) {
        s.display = Display::None;
        return;
    }
    if (OneOf(tag, {L"html", L"body", L"div", L"p", L"ul", L"ol", L"li", L"h1", L"h2", L"h3", L"h4", L"h5", L"h6",
                    L"table", L"tbody", L"thead", L"tfoot", L"tr", L"form", L"section", L"header", L"footer", L"nav",
                    L"article", L"aside", L"blockquote", L"dl", L"dt", L"dd", L"pre", L"hr", L"main", L"figure",
                    L"address", L"center", L"fieldset", L"caption"})) {
        s.display = Display::Block;
    }
    static const std::pair<const wchar_t*, float> headings[] = {
        {L"h1", 2}, {L"h2", 1.5f}, {L"h3", 1.17f}, {L"h4", 1}, {L"h5", 0.83f}, {L"h6", 0.67f}};
    for (const auto& [h, scale] : headings) {
        if (tag == h) {
            s.fontSize = c.parent.fontSize * scale;
            s.bold = true;
            margins(s.fontSize * 0.67f);
        }
    }
    if (tag == L"body") {
        for (Length& m : s.margin) m = {8, Length::Unit::Px};
    } else if (OneOf(tag, {L"p", L"ul", L"ol", L"pre", L"blockquote", L"dl"})) {
        margins(16);
    } else if (tag == L"hr") {
        margins(8);
        Apply(c, L"border", L"1px solid #808080");
    } else if (tag == L"button") {
        Apply(c, L"border", L"1px solid #767676");
        Apply(c, L"padding", L"1px 6px");
        s.background = 0xFFEFEFEF;
    }
    if (tag == L"ul" || tag == L"ol") s.padding[3] = {40, Length::Unit::Px};
    if (OneOf(tag, {L"b", L"strong", L"th"})) s.bold = true;
    if (tag == L"pre") s.preserveSpace = true;
    if (tag == L"center") s.textAlign = TextAlign::Center;
    if (tag == L"a" && element.FindAttribute(L"href")) {
        s.color = 0xFF0000EE;
        s.pointer = true;
    }
}

ComputedStyle Inherit(const ComputedStyle& parent) {
    ComputedStyle s;
    s.color = parent.color;
    s.fontSize = parent.fontSize;
    s.bold = parent.bold;
    s.textAlign = parent.textAlign;
    s.pointer = parent.pointer;
    s.preserveSpace = parent.preserveSpace;
    return s;
}

size_t Hash(const ComputedStyle& s) {
    size_t h = static_cast<size_t>(s.display) | static_cast<size_t>(s.position) << 2 |
               static_cast<size_t>(s.textAlign) << 4 | static_cast<size_t>(s.bold) << 6;
    auto mix = [&h](size_t v) { h ^= v + 0x9e3779b9 + (h << 6) + (h >> 2); };
    mix(s.color);
    mix(s.background);
    mix(static_cast<size_t>(s.fontSize * 16));
    mix(static_cast<size_t>(s.zIndex));
    mix(static_cast<size_t>(s.width.value) ^ static_cast<size_t>(s.height.value) << 8);
    return h;
}

void SkipComment(const std::wstring& css, size_t& i) {
    const size_t end = css.find(L"*/", i + 2);
    i = end == std::wstring::npos ? css.size() : end + 2;
}

// The index behind the block that starts at css[i] == '{', nested blocks included.
size_t SkipBlock(const std::wstring& css, size_t i) {
    int depth = 0;
    for (; i < css.size(); ++i) {
        if (css[i] == L'{') ++depth;
        else if (css[i] == L'}' && --depth == 0) return i + 1;
    }
    return css.size();
}

}  // namespace

bool ComputedStyle::operator==(const ComputedStyle& o) const {
    return display == o.display && position == o.position && textAlign == o.textAlign && bold == o.bold &&
           pointer == o.pointer && preserveSpace == o.preserveSpace && zAuto == o.zAuto && zIndex == o.zIndex &&
           color == o.color && background == o.background && borderColor == o.borderColor && opacity == o.opacity &&
           fontSize == o.fontSize && top == o.top && right == o.right && bottom == o.bottom && left == o.left &&
           width == o.width && height == o.height && std::equal(margin, margin + 4, o.margin) &&
           std::equal(padding, padding + 4, o.padding) && std::equal(borderWidth, borderWidth + 4, o.borderWidth);
}

bool ParseColor(const std::wstring& text, uint32_t& argb) {
    const std::wstring t = AsciiLower(Trim(text));
    if (t.empty()) return false;
    if (t[0] == L'#') return ParseHexColor(t.substr(1), argb);
    if (t.find(L'(') != std::wstring::npos) return ParseFunctionColor(t, argb);
    static const std::pair<const wchar_t*, uint32_t> names[] = {
        {L"black", 0x000000}, {L"white", 0xFFFFFF}, {L"red", 0xFF0000}, {L"green", 0x008000}, {L"blue", 0x0000FF},
        {L"yellow", 0xFFFF00}, {L"gray", 0x808080}, {L"grey", 0x808080}, {L"silver", 0xC0C0C0},
        {L"maroon", 0x800000}, {L"purple", 0x800080}, {L"fuchsia", 0xFF00FF}, {L"lime", 0x00FF00},
        {L"olive", 0x808000}, {L"navy", 0x000080}, {L"teal", 0x008080}, {L"aqua", 0x00FFFF},
        {L"orange", 0xFFA500}};
    if (t == L"transparent") {
        argb = 0;
        return true;
    }
    for (const auto& [name, rgb] : names) {
        if (t == name) {
            argb = Opaque(rgb);
            return true;
        }
    }
    return false;
}

std::vector<Declaration> ParseDeclarations(const std::wstring& text) {
    std::vector<Declaration> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L';', start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring part = text.substr(start, end - start);
        start = end + 1;
        const size_t colon = part.find(L':');
        if (colon == std::wstring::npos) continue;
        std::wstring property = AsciiLower(Trim(part.substr(0, colon)));
        std::wstring value = Trim(part.substr(colon + 1));
        const size_t important = AsciiLower(value).find(L"!important");
        if (important != std::wstring::npos) value = Trim(value.substr(0, important));
        if (property.empty()) continue;
        // A property given twice keeps its last value, in the place of the first.
        auto same = std::find_if(out.begin(), out.end(), [&](const Declaration& d) { return d.property == property; });
        if (same != out.end()) same->value = std::move(value);
        else out.push_back({std::move(property), std::move(value)});
    }
    return out;
}

std::wstring SerializeDeclarations(const std::vector<Declaration>& declarations) {
    std::wstring out;
    for (const Declaration& d : declarations) {
        if (!out.empty()) out += L' ';
        out += d.property + L": " + d.value + L';';
    }
    return out;
}

bool Selector::Parse(const std::wstring& text) {
    m_alternatives.clear();
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(L',', start);
        if (comma == std::wstring::npos) comma = text.size();
        const std::wstring alternative = Trim(text.substr(start, comma - start));
        start = comma + 1;
        if (alternative.empty()) return false;
        Complex complex;
        bool child = false;
        size_t i = 0;
        while (i < alternative.size()) {
            if (IsSpace(alternative[i])) {
                ++i;
                continue;
            }
            if (alternative[i] == L'>') {
                if (complex.parts.empty() || child) return false;
                child = true;
                ++i;
                continue;
            }
            Compound compound;
            compound.child = child;
            child = false;
            while (i < alternative.size() && !IsSpace(alternative[i]) && alternative[i] != L'>') {
                const wchar_t kind = alternative[i];
                if (kind == L'#' || kind == L'.') ++i;
                std::wstring name;
                while (i < alternative.size() && (std::iswalnum(alternative[i]) || alternative[i] == L'-' ||
                                                  alternative[i] == L'_' || alternative[i] > 0x7F ||
                                                  (kind != L'#' && kind != L'.' && alternative[i] == L'*'))) {
                    name += alternative[i++];
                }
                if (name.empty()) return false;  // pseudo-classes, attributes and the like are not understood
                if (kind == L'#') {
                    compound.id = name;
                    complex.specificity += 1 << 20;
                } else if (kind == L'.') {
                    compound.classes.push_back(name);
                    complex.specificity += 1 << 10;
                } else {
                    if (!compound.tag.empty()) return false;
                    compound.tag = AsciiLower(name);
                    if (compound.tag != L"*") complex.specificity += 1;
                }
            }
            complex.parts.push_back(std::move(compound));
        }
        if (complex.parts.empty() || child) return false;
        m_alternatives.push_back(std::move(complex));
        if (comma == text.size()) break;
    }
    return !m_alternatives.empty();
}

bool Selector::MatchesCompound(const Compound& c, const Node& element) {
    if (!element.IsElement()) return false;
    if (!c.tag.empty() && c.tag != L"*" && c.tag != element.name) return false;
    if (!c.id.empty()) {
        const std::wstring* id = element.FindAttribute(L"id");
        if (!id || *id != c.id) return false;
    }
    return std::all_of(c.classes.begin(), c.classes.end(), [&](const std::wstring& k) { return element.HasClass(k); });
}

// Right to left; a descendant combinator takes the nearest ancestor that
// matches, which is enough for chains of descendants and children alike
// except in rare mixes, and never backtracks (its cost stays linear in depth).
bool Selector::MatchesComplex(const Complex& complex, const Node& element) {
    size_t part = complex.parts.size() - 1;
    if (!MatchesCompound(complex.parts[part], element)) return false;
    const Node* at = &element;
    while (part > 0) {
        const bool child = complex.parts[part].child;
        --part;
        const Node* ancestor = at->parent;
        if (child) {
            if (!ancestor || !MatchesCompound(complex.parts[part], *ancestor)) return false;
        } else {
            while (ancestor && !MatchesCompound(complex.parts[part], *ancestor)) ancestor = ancestor->parent;
            if (!ancestor) return false;
        }
        at = ancestor;
    }
    return true;
}

bool Selector::Matches(const Node& element) const {
    return std::any_of(m_alternatives.begin(), m_alternatives.end(),
                       [&](const Complex& c) { return MatchesComplex(c, element); });
}

uint32_t Selector::MatchSpecificity(const Node& element, bool& matched) const {
    uint32_t best = 0;
    matched = false;
    for (const Complex& c : m_alternatives) {
        if (MatchesComplex(c, element)) {
            best = std::max(best, c.specificity);
            matched = true;
        }
    }
    return best;
}

void StyleSheet::Add(const std::wstring& css) {
    size_t i = 0;
    std::wstring prelude;
    while (i < css.size()) {
        if (css.compare(i, 2, L"/*") == 0) {
            SkipComment(css, i);
            continue;
        }
        const wchar_t c = css[i];
        if (c == L'{') {
            const std::wstring head = Trim(prelude);
            prelude.clear();
            const size_t end = SkipBlock(css, i);
            Rule rule;
            if (!head.empty() && head[0] != L'@' && rule.selector.Parse(head)) {
                const size_t close = css[end - 1] == L'}' ? end - 1 : end;
                std::wstring body = css.substr(i + 1, close - i - 1);
                for (size_t at; (at = body.find(L"/*")) != std::wstring::npos;) {
                    const size_t close = body.find(L"*/", at + 2);
                    body.erase(at, close == std::wstring::npos ? std::wstring::npos : close + 2 - at);
                }
                rule.declarations = ParseDeclarations(body);
                rule.order = static_cast<uint32_t>(m_rules.size());
                m_rules.push_back(std::move(rule));
            }
            i = end;
            continue;
        }
        if (c == L';' && !prelude.empty() && Trim(prelude)[0] == L'@') prelude.clear();  // @import and the like
        else if (c == L'}') prelude.clear();
        else prelude += c;
        ++i;
    }
}

void StyleSheet::Collect(const Node& element, std::vector<const Declaration*>& out) const {
    struct Match {
        uint32_t specificity;
        uint32_t order;
    };
    std::vector<Match> matches;
    for (const Rule& rule : m_rules) {
        bool matched = false;
        const uint32_t specificity = rule.selector.MatchSpecificity(element, matched);
        if (matched) matches.push_back({specificity, rule.order});
    }
    std::stable_sort(matches.begin(), matches.end(), [](const Match& a, const Match& b) {
        return a.specificity != b.specificity ? a.specificity < b.specificity : a.order < b.order;
    });
    for (const Match& m : matches) {
        for (const Declaration& d : m_rules[m.order].declarations) out.push_back(&d);
    }
}

const ComputedStyle* StyleEngine::Intern(const ComputedStyle& style) {
    auto& bucket = m_styles[Hash(style)];
    for (const auto& known : bucket) {
        if (*known == style) return known.get();
    }
    bucket.push_back(std::make_unique<ComputedStyle>(style));
    return bucket.back().get();
}

void StyleEngine::Compute(Document& document) {
    StyleSheet sheet;
    Node* root = document.Root();
    for (Node* n = root; n; n = NextInTree(n, root)) {
        if (n->Is(L"style")) sheet.Add(TextContent(n));
    }
    static const ComputedStyle initial;
    std::vector<const Declaration*> declarations;
    for (Node* n = root->first; n;) {
        const ComputedStyle* parent = n->parent && n->parent->style ? n->parent->style : &initial;
        const bool parentShown = n->parent == root || n->parent->style != nullptr;
        n->box.shown = false;
        if (!parentShown) {
            n->style = nullptr;
        } else if (n->kind == Node::Kind::Text) {
            n->style = parent;
        } else {
            ComputedStyle style = Inherit(*parent);
            Cascade cascade{style, *parent};
            ApplyDefaults(cascade, *n);
            declarations.clear();
            sheet.Collect(*n, declarations);
            for (const Declaration* d : declarations) Apply(cascade, d->property, d->value);
            if (const std::wstring* inline_ = n->FindAttribute(L"style")) {
                for (const Declaration& d : ParseDeclarations(*inline_)) Apply(cascade, d.property, d.value);
            }
            cascade.Finish();
            n->style = style.display == Display::None ? nullptr : Intern(style);
        }
        n = NextInTree(n, root);
    }
}

}  // namespace kvengine
