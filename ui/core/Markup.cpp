#include "ui/core/Markup.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <cwctype>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/SkinFile.h"
#include "ui/core/ZipArchive.h"
#include "win/TextConversion.h"

#include <emmintrin.h>

// The UTF-8 conversion below widens 16 bytes at a time with SSE2, which
// every processor this program runs on has (the embedded browser engine
// requires it too); the 32-bit compiler only has to be told so.
#if defined(__i386__) && !defined(__SSE2__)
#define KV_SSE2 __attribute__((target("sse2")))
#else
#define KV_SSE2
#endif

namespace KvUI {
namespace {

// Skins are small; anything bigger than this is refused before it is read.
constexpr size_t kMaxSkinSize = 4 * 1024 * 1024;

// Whitespace is any character from 1 to 32.
constexpr bool IsWhitespace(wchar_t c) { return c > 0 && c <= L' '; }

const wchar_t* SkipWhitespace(const wchar_t* p) {
    while (IsWhitespace(*p)) ++p;
    return p;
}

struct AsciiNameTable {
    bool chars[128] = {};
    constexpr AsciiNameTable() {
        for (int c = 0; c < 128; ++c) {
            chars[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '_' || c == ':';
        }
    }
};
constexpr AsciiNameTable kAsciiName;

// Element and attribute names: letters, digits, "_" and ":".
bool IsNameChar(wchar_t c) {
    if (c < 128) return kAsciiName.chars[c];
    return std::iswalnum(c) != 0;
}

wchar_t* SkipWhitespace(wchar_t* p) {
    while (IsWhitespace(*p)) ++p;
    return p;
}

wchar_t* SkipName(wchar_t* p) {
    while (IsNameChar(*p)) ++p;
    return p;
}

// Copies at most capacity - 1 characters of `text` and terminates; never
// reads past the terminator of `text`.
void CopyCut(wchar_t* out, size_t capacity, LPCTSTR text) {
    size_t n = 0;
    if (text) {
        for (; n + 1 < capacity && text[n]; ++n) out[n] = text[n];
    }
    out[n] = L'\0';
}

// The loader's message for a skin file that could not be read; null when it was.
LPCTSTR ReadFailureMessage(SkinReadStatus status) {
    switch (status) {
    case SkinReadStatus::Ok: return nullptr;
    case SkinReadStatus::FileNotOpened: return L"Error opening file";
    case SkinReadStatus::FileEmpty: return L"File is empty";
    case SkinReadStatus::FileTooLarge: return L"File too large";
    case SkinReadStatus::FileReadShort: return L"Could not read file";
    case SkinReadStatus::ZipNotOpened: return L"Error opening zip file";
    case SkinReadStatus::NotInZip: return L"Could not find ziped file";
    case SkinReadStatus::UnzipFailed: return L"Could not unzip file";
    }
    return L"Could not read file";
}

// Converts bytes of the ANSI code page into the document's zero-terminated text.
void ConvertAnsi(const BYTE* data, size_t size, std::unique_ptr<wchar_t[]>& text, size_t& length) {
    const std::wstring wide = kvwin::AnsiToWide(std::string_view(reinterpret_cast<const char*>(data), size));
    length = wide.size();
    text.reset(new wchar_t[length + 1]);
    std::copy_n(wide.c_str(), length + 1, text.get());
}

// The length of the well-formed UTF-8 sequence that starts with the
// non-ASCII byte at `p`, with its character in `code`; 0 for anything
// broken, cut off, overlong, a surrogate or beyond U+10FFFF.
size_t DecodeUtf8Sequence(const BYTE* p, size_t available, UINT& code) {
    const auto continuation = [](BYTE b) { return (b & 0xC0) == 0x80; };
    const BYTE lead = p[0];
    if (lead >= 0xC2 && lead <= 0xDF) {
        if (available < 2 || !continuation(p[1])) return 0;
        code = ((lead & 0x1Fu) << 6) | (p[1] & 0x3Fu);
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (available < 3 || !continuation(p[1]) || !continuation(p[2])) return 0;
        code = ((lead & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
        return code >= 0x800 && (code < 0xD800 || code > 0xDFFF) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (available < 4 || !continuation(p[1]) || !continuation(p[2]) || !continuation(p[3])) return 0;
        code = ((lead & 0x07u) << 18) | ((p[1] & 0x3Fu) << 12) | ((p[2] & 0x3Fu) << 6) | (p[3] & 0x3Fu);
        return code >= 0x10000 && code <= 0x10FFFF ? 4 : 0;
    }
    return 0;
}

// UTF-8 into UTF-16 in one pass; the result never has more code units than
// the input has bytes. Skins are mostly ASCII, which is widened here, and
// well-formed sequences, which decode only one way. Anything broken goes to
// the system converter, so that it is replaced exactly as the system does,
// in pieces that start after a whole sequence and end with three ASCII bytes
// (or the end of the text). No sequence is longer than four bytes and none
// contains an ASCII byte, so within a piece every sequence is decoded as in
// the whole text, and the result equals converting the whole text at once.
KV_SSE2 void ConvertUtf8(const BYTE* data, size_t size, std::unique_ptr<wchar_t[]>& text, size_t& length) {
    text.reset(new wchar_t[size + 1]);
    wchar_t* const out = text.get();
    const __m128i zero = _mm_setzero_si128();
    size_t in = 0;
    size_t written = 0;
    while (in < size) {
        for (; size - in >= 16; in += 16, written += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + in));
            if (_mm_movemask_epi8(bytes) != 0) break;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + written), _mm_unpacklo_epi8(bytes, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + written + 8), _mm_unpackhi_epi8(bytes, zero));
        }
        while (in < size && data[in] < 0x80) out[written++] = data[in++];
        while (in < size && data[in] >= 0x80) {
            UINT code = 0;
            const size_t sequence = DecodeUtf8Sequence(data + in, size - in, code);
            if (sequence == 0) break;
            in += sequence;
            if (code >= 0x10000) {
                out[written++] = static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
                out[written++] = static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
            } else {
                out[written++] = static_cast<wchar_t>(code);
            }
        }
        if (in == size || data[in] < 0x80) continue;
        size_t end = in;
        for (int ascii = 0; end < size && ascii < 3; ++end) ascii = data[end] < 0x80 ? ascii + 1 : 0;
        written += static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(data + in),
                                                           static_cast<int>(end - in), out + written,
                                                           static_cast<int>(size - written)));
        in = end;
    }
    length = written;
    out[length] = L'\0';
}

// The first `stop`, "&" or terminator at or after `s`, where `end` is the
// text's own terminator. Texts and values are scanned eight characters at a
// time while those lie inside the text.
KV_SSE2 wchar_t* FindTextEnd(wchar_t* s, const wchar_t* end, wchar_t stop) {
    const __m128i stops = _mm_set1_epi16(static_cast<short>(stop));
    const __m128i ampersands = _mm_set1_epi16(static_cast<short>(L'&'));
    const __m128i zero = _mm_setzero_si128();
    for (; end - s >= 8; s += 8) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const __m128i marks = _mm_or_si128(_mm_cmpeq_epi16(chars, stops), _mm_cmpeq_epi16(chars, ampersands));
        const __m128i hits = _mm_or_si128(marks, _mm_cmpeq_epi16(chars, zero));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (mask != 0) return s + __builtin_ctz(mask) / 2;
    }
    while (*s != stop && *s != L'&' && *s != L'\0') ++s;
    return s;
}

}  // namespace

// The in-place parser. Open elements are kept on an explicit stack rather
// than the call stack, so however deeply a document nests it cannot overflow.
class CMarkup::Parser {
    static_assert(std::is_trivially_copyable_v<Element>, "the element table is moved by realloc");

public:
    explicit Parser(CMarkup& doc)
        : m_doc(doc), m_text(doc.m_text.get()), m_end(doc.m_text.get() + doc.m_textLength) {
        m_open.reserve(32);  // deeper than skins nest, so it rarely grows
    }

    bool Run() {
        Append(Element());  // element 0 is reserved, so index 0 can mean "none"
        UINT topLastChild = 0;
        wchar_t* p = m_text;
        for (;;) {
            p = SkipWhitespace(p);
            const UINT parent = m_open.empty() ? 0 : m_open.back().element;
            if (*p != L'<') {
                // The text may only end at the top level: anything else is a cut-off document.
                if (*p == L'\0' && parent == 0) return true;
                return m_doc.Fail(L"Expected start tag", p);
            }
            if (p[1] == L'/') {
                // A closing tag with nothing open would silently end the document early.
                if (parent == 0) return m_doc.Fail(L"Unmatched closing tag", p);
                if (!CloseElement(p, m_open.back())) return false;
                m_open.pop_back();
                continue;
            }
            *p++ = L'\0';
            p = SkipWhitespace(p);
            if (*p == L'!' || *p == L'?') {
                p = SkipDeclaration(p);
                continue;
            }
            UINT& lastChild = m_open.empty() ? topLastChild : m_open.back().lastChild;
            const UINT element = NewElement(p, parent, lastChild);
            if (!ParseStartTag(p, element)) return false;
        }
    }

private:
    struct Open {
        UINT element;
        wchar_t* nameEnd;
        wchar_t* textEnd;  // where the element's decoded text ends
        UINT lastChild;
    };

    UINT Offset(const wchar_t* p) const { return static_cast<UINT>(p - m_text); }

    Element& At(UINT index) { return m_doc.m_elements[index]; }

    UINT Append(const Element& element) {
        CMarkup& doc = m_doc;
        if (doc.m_elementCount == doc.m_elementCapacity) {
            const size_t capacity = size_t{doc.m_elementCapacity} + doc.m_elementCapacity / 2 + 500;
            if (capacity > UINT_MAX || capacity > SIZE_MAX / sizeof(Element)) throw std::bad_alloc();
            void* const grown = std::realloc(doc.m_elements.get(), capacity * sizeof(Element));
            if (!grown) throw std::bad_alloc();
            doc.m_elements.release();
            doc.m_elements.reset(static_cast<Element*>(grown));
            doc.m_elementCapacity = static_cast<UINT>(capacity);
        }
        doc.m_elements[doc.m_elementCount] = element;
        return doc.m_elementCount++;
    }

    UINT NewElement(const wchar_t* name, UINT parent, UINT& lastChild) {
        Element element;
        element.name = Offset(name);
        element.parent = parent;
        const UINT index = Append(element);
        if (lastChild != 0) {
            At(lastChild).next = index;
        } else if (parent != 0) {
            At(parent).child = index;
        }
        lastChild = index;
        return index;
    }

    // From the element's name to the end of its start tag; a non-empty
    // element is pushed onto the open stack with its text decoded.
    bool ParseStartTag(wchar_t*& p, UINT element) {
        wchar_t* const nameEnd = SkipName(p);
        p = nameEnd;
        if (*p == L'\0') return m_doc.Fail(L"Error parsing element name", p);
        if (!ParseAttributes(p)) return false;
        p = SkipWhitespace(p);
        if (p[0] == L'/' && p[1] == L'>') {
            At(element).data = Offset(p);
            *p = L'\0';
            p += 2;
            *nameEnd = L'\0';
            return true;
        }
        if (*p != L'>') return m_doc.Fail(L"Expected start-tag closing", p);
        ++p;
        At(element).data = Offset(p);
        wchar_t* const textEnd = ParseText(p, L'<');
        if (*p != L'<') return m_doc.Fail(L"Expected end-tag start", p);
        m_open.push_back({element, nameEnd, textEnd, 0});
        return true;
    }

    bool CloseElement(wchar_t*& p, const Open& open) {
        *open.textEnd = L'\0';
        *p = L'\0';
        p = SkipWhitespace(p + 2);
        const wchar_t* const name = m_text + At(open.element).name;
        const size_t length = static_cast<size_t>(open.nameEnd - name);
        if (wcsncmp(p, name, length) != 0) return m_doc.Fail(L"Unmatched closing tag", p);
        p = SkipWhitespace(p + length);
        if (*p != L'>') return m_doc.Fail(L"Unmatched closing tag", p);
        ++p;
        *open.nameEnd = L'\0';
        return true;
    }

    bool ParseAttributes(wchar_t*& p) {
        if (p[0] == L'>' || (p[0] == L'/' && p[1] == L'>')) return true;
        *p++ = L'\0';
        p = SkipWhitespace(p);
        while (*p != L'\0' && *p != L'>' && *p != L'/') {
            wchar_t* const nameEnd = SkipName(p);
            p = SkipWhitespace(nameEnd);
            if (*p != L'=') return m_doc.Fail(L"Error while parsing attributes", p);
            // The "=" becomes a space so that the attribute area reads as
            // name, terminator, spaces, quote, value, terminator.
            *p++ = L' ';
            *nameEnd = L'\0';
            p = SkipWhitespace(p);
            if (*p != L'"') return m_doc.Fail(L"Expected attribute value", p);
            ++p;
            wchar_t* const valueEnd = ParseText(p, L'"');
            if (*p == L'\0') return m_doc.Fail(L"Error while parsing attribute string", p);
            *valueEnd = L'\0';
            if (valueEnd != p) *p = L' ';
            p = SkipWhitespace(p + 1);
        }
        return true;
    }

    // Decodes text in place up to `stop` (or the end of the text) and returns
    // where the decoded text ends; what lies between there and `stop` becomes
    // spaces, so the attribute walk can step over it.
    wchar_t* ParseText(wchar_t*& p, wchar_t stop) const {
        // Until the first entity nothing moves; after it, each plain stretch moves down as a whole.
        wchar_t* s = FindTextEnd(p, m_end, stop);
        wchar_t* dest = s;
        while (*s == L'&') {
            DecodeEntity(s, dest);
            wchar_t* const next = FindTextEnd(s, m_end, stop);
            std::memmove(dest, s, static_cast<size_t>(next - s) * sizeof(wchar_t));
            dest += next - s;
            s = next;
        }
        for (wchar_t* fill = dest + 1; fill < s; ++fill) *fill = L' ';
        p = s;
        return dest;
    }

    static void DecodeEntity(wchar_t*& s, wchar_t*& dest) {
        struct Entity {
            const wchar_t* name;
            size_t length;
            wchar_t ch;
        };
        static constexpr Entity kEntities[] = {
            {L"amp;", 4, L'&'}, {L"lt;", 3, L'<'}, {L"gt;", 3, L'>'}, {L"quot;", 5, L'"'}, {L"apos;", 5, L'\''},
        };
        const wchar_t* const after = s + 1;
        for (const Entity& entity : kEntities) {
            if (wcsncmp(after, entity.name, entity.length) == 0) {
                *dest++ = entity.ch;
                s += 1 + entity.length;
                return;
            }
        }
        *dest++ = L'&';
        ++s;
    }

    // Comments end at "-->", processing instructions at "?>", other
    // declarations (DOCTYPE with its optional internal subset, CDATA) at
    // their own ">"; an unterminated one runs to the end of the text.
    static wchar_t* SkipDeclaration(wchar_t* p) {
        const auto skipTo = [](wchar_t* from, const wchar_t* end) {
            wchar_t* found = wcsstr(from, end);
            return found ? found + wcslen(end) : from + wcslen(from);
        };
        if (*p == L'?') return skipTo(p, L"?>");
        if (wcsncmp(p, L"!--", 3) == 0) return skipTo(p + 3, L"-->");
        if (wcsncmp(p, L"![CDATA[", 8) == 0) return skipTo(p + 8, L"]]>");
        int depth = 0;
        for (++p; *p != L'\0'; ++p) {
            if (*p == L'[') {
                ++depth;
            } else if (*p == L']' && depth > 0) {
                --depth;
            } else if (*p == L'>' && depth == 0) {
                return p + 1;
            }
        }
        return p;
    }

    CMarkup& m_doc;
    wchar_t* const m_text;
    const wchar_t* const m_end;  // the terminator behind the whole text
    std::vector<Open> m_open;
};

CMarkup::CMarkup(LPCTSTR xml) {
    if (xml) Load(xml);
}

bool CMarkup::Load(LPCTSTR xml) {
    Release();
    if (!xml) return FailWithoutText();
    const size_t length = wcslen(xml);
    if (length >= UINT_MAX) return Fail(L"File too large");
    std::unique_ptr<wchar_t[]> text(new wchar_t[length + 1]);
    std::memcpy(text.get(), xml, (length + 1) * sizeof(wchar_t));
    return LoadText(std::move(text), length);
}

bool CMarkup::LoadFromMem(const BYTE* data, size_t size, int encoding) {
    Release();
    if (!data) size = 0;
    // The conversion functions count in int.
    if (size > static_cast<size_t>(INT_MAX)) return Fail(L"File too large");
    std::unique_ptr<wchar_t[]> text;
    size_t length = 0;
    switch (encoding) {
    case MarkupEncodingUtf8:
        if (size > 2 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
            data += 3;
            size -= 3;
        }
        ConvertUtf8(data, size, text, length);
        break;
    case MarkupEncodingAnsi:
        ConvertAnsi(data, size, text, length);
        break;
    case MarkupEncodingUtf16: {
        const bool little = size > 1 && data[0] == 0xFF && data[1] == 0xFE;
        const bool big = size > 1 && data[0] == 0xFE && data[1] == 0xFF;
        if (!little && !big) return FailWithoutText();
        length = size / 2 - 1;
        text.reset(new wchar_t[length + 1]);
        const BYTE* const units = data + 2;
        if (little) {
            std::memcpy(text.get(), units, length * sizeof(wchar_t));
        } else {
            // Swapped while copying: the caller's bytes may be read-only and stay as they are.
            for (size_t i = 0; i < length; ++i) {
                text[i] = static_cast<wchar_t>((units[2 * i] << 8) | units[2 * i + 1]);
            }
        }
        text[length] = L'\0';
        break;
    }
    default:
        return FailWithoutText();
    }
    return LoadText(std::move(text), length);
}

bool CMarkup::LoadFromFile(LPCTSTR fileName, int encoding) {
    Release();
    std::vector<BYTE> bytes;
    const LPCTSTR failure = ReadFailureMessage(ReadSkinFile(fileName, bytes, kMaxSkinSize));
    if (failure) return Fail(failure);
    return LoadFromMem(bytes.data(), bytes.size(), encoding);
}

void CMarkup::Release() {
    m_text.reset();
    m_textLength = 0;
    // An emptied table starts growing from nothing again.
    m_elements.reset();
    m_elementCount = 0;
    m_elementCapacity = 0;
}

CMarkupNode CMarkup::GetRoot() const {
    if (m_elementCount < 2) return CMarkupNode();
    return CMarkupNode(this, 1);
}

bool CMarkup::LoadText(std::unique_ptr<wchar_t[]> text, size_t length) {
    m_text = std::move(text);
    m_textLength = length;
    if (Parse()) return true;
    Release();
    return false;
}

bool CMarkup::Parse() {
    m_errorMessage[0] = L'\0';
    m_errorLocation[0] = L'\0';
    Parser parser(*this);
    return parser.Run();
}

bool CMarkup::Fail(LPCTSTR message, LPCTSTR location) {
    CopyCut(m_errorMessage, _countof(m_errorMessage), message);
    CopyCut(m_errorLocation, _countof(m_errorLocation), location);
    return false;
}

// Without a text there is nothing to parse, so no parser message applies.
bool CMarkup::FailWithoutText() { return Fail(nullptr); }

// ---- CMarkupNode

bool CMarkupNode::HasElement() const {
    return m_owner && m_element < m_owner->m_elementCount && m_owner->m_text;
}

LPCTSTR CMarkupNode::GetName() const {
    if (!HasElement()) return nullptr;
    return m_owner->m_text.get() + m_owner->m_elements[m_element].name;
}

CMarkupNode CMarkupNode::GetChild() const {
    if (!HasElement()) return CMarkupNode();
    const UINT child = m_owner->m_elements[m_element].child;
    return child ? CMarkupNode(m_owner, child) : CMarkupNode();
}

CMarkupNode CMarkupNode::GetSibling() const {
    if (!HasElement()) return CMarkupNode();
    const UINT next = m_owner->m_elements[m_element].next;
    return next ? CMarkupNode(m_owner, next) : CMarkupNode();
}

bool CMarkupNode::HasChildren() const {
    return HasElement() && m_owner->m_elements[m_element].child != 0;
}

int CMarkupNode::GetAttributeCount() const {
    if (m_attributeCount == 0) MapAttributes();
    return m_attributeCount;
}

LPCTSTR CMarkupNode::GetAttributeName(int index) const {
    if (!HasElement()) return nullptr;
    if (index < 0 || index >= GetAttributeCount()) return L"";
    return m_owner->m_text.get() + m_attributes[index].name;
}

LPCTSTR CMarkupNode::GetAttributeValue(int index) const {
    if (!HasElement()) return nullptr;
    if (index < 0 || index >= GetAttributeCount()) return L"";
    return m_owner->m_text.get() + m_attributes[index].value;
}

bool CMarkupNode::GetAttributeValue(LPCTSTR name, LPTSTR value, SIZE_T size) const {
    if (!HasElement() || !name || !value) return false;
    const int count = GetAttributeCount();
    for (int i = 0; i < count; ++i) {
        if (!attribute::Is(m_owner->m_text.get() + m_attributes[i].name, name)) continue;
        const wchar_t* const source = m_owner->m_text.get() + m_attributes[i].value;
        SIZE_T n = 0;
        for (; n < size && source[n]; ++n) value[n] = source[n];
        value[n] = L'\0';
        return true;
    }
    return false;
}

// Walks the attribute area behind the element's name, where the parser left
// name, terminator, spaces, quote, value, terminator for each attribute.
void CMarkupNode::MapAttributes() const {
    m_attributeCount = 0;
    if (!HasElement()) return;
    const wchar_t* const text = m_owner->m_text.get();
    const wchar_t* const limit = text + m_owner->m_textLength;
    const CMarkup::Element& element = m_owner->m_elements[m_element];
    const wchar_t* const end = text + element.data;
    const auto skipString = [limit](const wchar_t* p) {
        const size_t length = wcsnlen(p, static_cast<size_t>(limit - p));
        return p + length < limit ? p + length + 1 : limit;
    };
    const wchar_t* p = skipString(text + element.name);
    while (p < end && m_attributeCount < MaxAttributes) {
        p = SkipWhitespace(p);
        const wchar_t* const name = p;
        p = SkipWhitespace(skipString(p));
        if (*p != L'"') return;
        ++p;
        m_attributes[m_attributeCount].name = static_cast<UINT>(name - text);
        m_attributes[m_attributeCount].value = static_cast<UINT>(p - text);
        ++m_attributeCount;
        p = skipString(p);
    }
}

}  // namespace KvUI
