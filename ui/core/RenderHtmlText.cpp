// Text in the library's mini-markup: {b}bold{/b}, {c #FF0000}red{/c},
// {f 1}font one{/f}, {a link}text{/a}, {i pic.png 4 2}, {p 10}...{/p}, {n},
// {x 5}, {y 20}, {s}selected{/s}, {r}raw{/r}; "<" and ">" work like "{" and "}".
//
// Each line is laid out twice when drawing: a measuring pass finds the line's
// height and where it breaks, then a drawing pass from the same start puts
// every piece on the line's common bottom.
#include <algorithm>
#include <cwchar>
#include <iterator>
#include <vector>

#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderClip.h"
#include "ui/core/RenderEngine.h"

namespace KvUI {
namespace {

bool IsBracketOpen(wchar_t ch) { return ch == L'<' || ch == L'{'; }
bool IsBracketClose(wchar_t ch) { return ch == L'>' || ch == L'}'; }
bool IsLowerLetter(wchar_t ch) { return ch >= L'a' && ch <= L'z'; }
bool IsLatinLetter(wchar_t ch) { return IsLowerLetter(ch) || (ch >= L'A' && ch <= L'Z'); }

LPCTSTR SkipBlanks(LPCTSTR p) {
    while (*p > 0 && *p <= L' ') ++p;
    return p;
}

// The ">" or "}" that ends the tag starting before `p`, or the terminator.
LPCTSTR TagEnd(LPCTSTR p) {
    while (*p && !IsBracketClose(*p)) ++p;
    return p;
}

LPCTSTR AfterTag(LPCTSTR p) {
    p = TagEnd(p);
    return *p ? p + 1 : p;
}

bool IsOpeningTag(LPCTSTR p) {
    return IsBracketOpen(p[0]) && IsLowerLetter(p[1]) && (p[2] == L' ' || IsBracketClose(p[2]));
}

bool IsClosingTag(LPCTSTR p) {
    return IsBracketOpen(p[0]) && p[1] == L'/' && IsLowerLetter(p[2]) && IsBracketClose(p[3]);
}

bool IsRawEnd(LPCTSTR p) { return IsClosingTag(p) && p[2] == L'r'; }

// "<{>" and "<}>" stand for the braces, "{<}" and "{>}" for the angle brackets.
wchar_t Escape(LPCTSTR p) {
    if (p[0] == L'<' && (p[1] == L'{' || p[1] == L'}') && p[2] == L'>') return p[1];
    if (p[0] == L'{' && (p[1] == L'<' || p[1] == L'>') && p[2] == L'}') return p[1];
    return 0;
}

// Puts back the font the DC had before the text was drawn.
class FontRestore {
public:
    explicit FontRestore(HDC dc) : m_dc(dc), m_font(GetCurrentObject(dc, OBJ_FONT)) {}
    FontRestore(const FontRestore&) = delete;
    FontRestore& operator=(const FontRestore&) = delete;
    ~FontRestore() { SelectObject(m_dc, m_font); }

private:
    HDC m_dc;
    HGDIOBJ m_font;
};

// An opening tag that may have pushed a font, so its closing tag pops only that.
struct FontTag {
    wchar_t letter;
    bool pushedFont;
};

// Everything a line's drawing pass restarts from.
struct MarkupState {
    std::vector<TFontInfo*> fonts;
    std::vector<DWORD> colors;
    std::vector<int> spacings;
    std::vector<FontTag> fontTags;
    bool inRaw = false;
    bool inSelected = false;
    bool inLink = false;
    int linkIndex = 0;

    MarkupState() {
        fonts.reserve(10);
        colors.reserve(10);
        spacings.reserve(10);
        fontTags.reserve(10);
    }
};

class MarkupPainter {
public:
    MarkupPainter(HDC dc, CPaintManagerUI* manager, RECT& rc, DWORD color, RECT* linkRects, CUIString* linkTexts,
                  int linkCapacity, int font, UINT style)
        : m_dc(dc),
          m_manager(manager),
          m_rc(rc),
          m_color(color),
          m_linkRects(linkRects),
          m_linkTexts(linkTexts),
          m_linkCapacity(linkRects && linkTexts ? std::max(linkCapacity, 0) : 0),
          m_style(style),
          m_drawing((style & DT_CALCRECT) == 0),
          m_fontId(font),
          m_baseFont(manager->GetFontInfo(font)) {
        if (!m_baseFont) m_baseFont = manager->GetDefaultFontInfo();
    }

    // Returns the number of links found.
    int Run(LPCTSTR text);

private:
    bool Drawing() const { return m_drawing && m_drawPass; }
    bool Measuring() const { return !m_drawPass; }
    int Spacing() const { return m_state.spacings.empty() ? 0 : m_state.spacings.back(); }
    int FontLineHeight() const { return m_tm.tmHeight + m_tm.tmExternalLeading + Spacing(); }
    int PieceTop() const { return m_pt.y + m_drawLineHeight - (m_tm.tmHeight + m_tm.tmExternalLeading); }
    TFontInfo* CurrentFont() const { return m_state.fonts.empty() ? m_baseFont : m_state.fonts.back(); }
    DWORD CurrentColor() const { return m_state.colors.empty() ? m_color : m_state.colors.back(); }

    void FindHoverLink();
    void AlignToText(LPCTSTR text);
    void SelectFont(TFontInfo* info);
    void PushFont(TFontInfo* info);
    bool PushFontVariant(bool bold, bool underline, bool italic);
    void PopFontTag(wchar_t letter);
    TFontInfo* FindOrAddFont(LPCTSTR name, int size, bool bold, bool underline, bool italic);
    void PushColor(DWORD color);
    void PopColor();
    void ApplySelection();

    void StartLine(LPCTSTR p);
    void EndMeasuredLine();
    void RestoreLineStart();
    void NextLine();

    LPCTSTR Token(LPCTSTR p);
    LPCTSTR OpeningTag(LPCTSTR p);
    LPCTSTR ClosingTag(LPCTSTR p);
    LPCTSTR FontTagBody(LPCTSTR p);
    LPCTSTR ImageTag(LPCTSTR tagStart, LPCTSTR p);
    void OutputChar(wchar_t ch);
    LPCTSTR TextRun(LPCTSTR p);
    int FitRun(LPCTSTR run, int length, int& width, bool& ellipsis);

    HDC m_dc;
    CPaintManagerUI* m_manager;
    RECT& m_rc;
    DWORD m_color;
    RECT* m_linkRects;
    CUIString* m_linkTexts;
    int m_linkCapacity;
    UINT m_style;
    bool m_drawing;
    int m_fontId;
    TFontInfo* m_baseFont;

    MarkupState m_state;
    MarkupState m_lineState;
    TEXTMETRICW m_tm = {};
    int m_blankWidth = -1;
    POINT m_pt = {0, 0};
    POINT m_linkStart = {0, 0};
    int m_lineHeight = 0;
    int m_lineStartHeight = 0;
    int m_drawLineHeight = 0;
    int m_maxX = 0;
    int m_imageBottom = 0;
    int m_lineLinkIndex = 0;
    int m_linkIndexAfterLine = 0;
    bool m_drawPass = false;
    bool m_lineEnd = false;
    LPCTSTR m_lineStart = nullptr;
    bool m_hasHoverLink = false;
    CUIString m_hoverLink;
};

int MarkupPainter::Run(LPCTSTR text) {
    const FontRestore restoreFont(m_dc);
    CRenderClip clip;
    if (m_drawing) CRenderClip::GenerateClip(m_dc, m_rc, clip);
    SetBkMode(m_dc, TRANSPARENT);
    SetBkColor(m_dc, ArgbToColorRef(m_manager->GetDefaultColor5()));
    SetTextColor(m_dc, ArgbToColorRef(m_color));
    SelectFont(m_baseFont);
    if (m_drawing && (m_style & (DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM))) AlignToText(text);
    FindHoverLink();

    m_pt = {m_rc.left, m_rc.top};
    m_maxX = m_rc.left;
    m_lineHeight = FontLineHeight();
    StartLine(text);
    LPCTSTR p = text;
    for (;;) {
        if (*p && *p != L'\n' && m_pt.x < m_rc.right && !m_lineEnd) {
            p = Token(p);
            continue;
        }
        m_lineEnd = false;
        if (*p == L'\n') ++p;
        if (m_drawing && !m_drawPass) {
            EndMeasuredLine();
            p = m_lineStart;
            RestoreLineStart();
            continue;
        }
        if (m_drawing) {
            m_state.linkIndex = m_linkIndexAfterLine;
        } else {
            EndMeasuredLine();
        }
        // A line that placed nothing would place nothing again: stop instead of looping.
        if (!*p || (m_style & DT_SINGLELINE) || p == m_lineStart) break;
        NextLine();
        if (m_drawing && m_pt.y > m_rc.bottom) break;
        StartLine(p);
    }
    if (!m_drawing) {
        m_rc.bottom = std::max<LONG>(m_pt.y + m_lineHeight, m_imageBottom);
        m_rc.right = std::min<LONG>(m_rc.right, m_maxX);
    }
    return std::min(m_state.linkIndex, m_linkCapacity);
}

void MarkupPainter::FindHoverLink() {
    if (m_linkCapacity == 0) return;
    const POINT mouse = m_manager->GetMousePos();
    for (int i = 0; i < m_linkCapacity; ++i) {
        if (PtInRect(&m_linkRects[i], mouse)) {
            m_hoverLink = m_linkTexts[i];
            m_hasHoverLink = true;
            return;
        }
    }
}

// Moves the drawing rectangle onto the text as measured in a wide, free area.
void MarkupPainter::AlignToText(LPCTSTR text) {
    RECT measured = {0, 0, 9999, 100};
    int noLinks = 0;
    CRenderEngine::DrawHtmlText(m_dc, m_manager, measured, text, m_color, nullptr, nullptr, noLinks, m_fontId,
                                m_style | DT_CALCRECT);
    const LONG width = measured.right - measured.left;
    const LONG height = measured.bottom - measured.top;
    if (m_style & DT_SINGLELINE) {
        if (m_style & DT_CENTER) {
            m_rc.left += (m_rc.right - m_rc.left - width) / 2;
            m_rc.right = m_rc.left + width;
        }
        if (m_style & DT_RIGHT) m_rc.left = m_rc.right - width;
    }
    if (m_style & DT_VCENTER) {
        m_rc.top += (m_rc.bottom - m_rc.top - height) / 2;
        m_rc.bottom = m_rc.top + height;
    }
    if (m_style & DT_BOTTOM) m_rc.top = m_rc.bottom - height;
}

void MarkupPainter::SelectFont(TFontInfo* info) {
    SelectObject(m_dc, info->font.get());
    // Records made before the window had a DC are measured here, once.
    if (info->metrics.tmHeight == 0) GetTextMetricsW(m_dc, &info->metrics);
    m_tm = info->metrics;
    m_blankWidth = -1;
}

void MarkupPainter::PushFont(TFontInfo* info) {
    m_state.fonts.push_back(info);
    SelectFont(info);
    m_lineHeight = std::max(m_lineHeight, FontLineHeight());
}

TFontInfo* MarkupPainter::FindOrAddFont(LPCTSTR faceName, int size, bool bold, bool underline, bool italic) {
    // Stored fonts keep at most LF_FACESIZE - 1 characters of the name; compare the same.
    const CUIString name = CUIString::FromText(faceName).Left(LF_FACESIZE - 1);
    if (name.IsEmpty()) return nullptr;
    HFONT font = m_manager->FindFont(name, size, bold, underline, italic);
    if (!font) {
        // Any id no font of the window or the shared set uses yet.
        const TFontInfo* const none = m_manager->GetDefaultFontInfo();
        int id = 30000;
        while (m_manager->GetFontInfo(id) != none) ++id;
        font = m_manager->AddFont(id, name, size, bold, underline, italic);
    }
    return font ? m_manager->GetFontInfoByHandle(font) : nullptr;
}

bool MarkupPainter::PushFontVariant(bool bold, bool underline, bool italic) {
    const TFontInfo* current = CurrentFont();
    if ((bold && current->bold) || (underline && current->underline) || (italic && current->italic)) return false;
    TFontInfo* info = FindOrAddFont(current->faceName, current->size, current->bold || bold,
                                    current->underline || underline, current->italic || italic);
    if (!info) return false;
    PushFont(info);
    return true;
}

// Closes the latest open tag of that letter, also when tags were closed out of
// order ({a x}{b}link{/a}{/b}): every font pushed is then popped exactly once.
void MarkupPainter::PopFontTag(wchar_t letter) {
    std::vector<FontTag>& tags = m_state.fontTags;
    const auto open =
        std::find_if(tags.rbegin(), tags.rend(), [letter](const FontTag& tag) { return tag.letter == letter; });
    if (open == tags.rend()) return;
    const bool pushed = open->pushedFont;
    tags.erase(std::next(open).base());
    if (!pushed || m_state.fonts.empty()) return;
    int italicOverhang = 0;
    if (m_tm.tmItalic) {
        ABC abc = {};
        if (GetCharABCWidthsW(m_dc, L' ', L' ', &abc)) italicOverhang = abc.abcC / 2;
    }
    m_state.fonts.pop_back();
    TFontInfo* info = CurrentFont();
    if (m_tm.tmItalic && !info->italic) m_pt.x += italicOverhang;
    SelectFont(info);
    m_lineHeight = std::max(m_lineHeight, FontLineHeight());
}

void MarkupPainter::PushColor(DWORD color) {
    m_state.colors.push_back(color);
    SetTextColor(m_dc, ArgbToColorRef(color));
}

void MarkupPainter::PopColor() {
    if (!m_state.colors.empty()) m_state.colors.pop_back();
    SetTextColor(m_dc, ArgbToColorRef(CurrentColor()));
}

void MarkupPainter::ApplySelection() {
    if (m_drawing) SetBkMode(m_dc, m_state.inSelected ? OPAQUE : TRANSPARENT);
}

void MarkupPainter::StartLine(LPCTSTR p) {
    m_lineStart = p;
    m_lineState = m_state;
    m_lineStartHeight = m_lineHeight;
    m_lineLinkIndex = m_state.linkIndex;
    m_drawPass = false;
}

// The measuring pass knows the line's height: links get their rectangles.
void MarkupPainter::EndMeasuredLine() {
    int& index = m_state.linkIndex;
    if (m_state.inLink && index < m_linkCapacity) {
        m_linkRects[index] = {m_linkStart.x, m_linkStart.y, std::min<LONG>(m_pt.x, m_rc.right), m_pt.y + m_lineHeight};
        ++index;
        // The link goes on in the next line, under the same text.
        if (index < m_linkCapacity) m_linkTexts[index] = m_linkTexts[index - 1];
    }
    for (int i = m_lineLinkIndex; i < index; ++i) m_linkRects[i].bottom = m_pt.y + m_lineHeight;
    m_drawLineHeight = m_lineHeight;
    m_linkIndexAfterLine = index;
}

void MarkupPainter::RestoreLineStart() {
    m_state = m_lineState;
    m_pt.x = m_rc.left;
    m_lineHeight = m_lineStartHeight;
    m_drawPass = true;
    SelectFont(CurrentFont());
    SetTextColor(m_dc, ArgbToColorRef(CurrentColor()));
    ApplySelection();
}

void MarkupPainter::NextLine() {
    m_pt.x = m_rc.left;
    m_pt.y += m_lineHeight;
    m_lineHeight = FontLineHeight();
    if (m_state.inLink) m_linkStart = m_pt;
}

LPCTSTR MarkupPainter::Token(LPCTSTR p) {
    if (!m_state.inRaw) {
        if (IsOpeningTag(p)) return OpeningTag(p);
        if (IsClosingTag(p)) return ClosingTag(p);
        if (const wchar_t escaped = Escape(p)) {
            OutputChar(escaped);
            return p + 3;
        }
        if (*p == L' ') {
            OutputChar(L' ');
            return p + 1;
        }
    }
    return TextRun(p);
}

LPCTSTR MarkupPainter::OpeningTag(LPCTSTR p) {
    const wchar_t letter = p[1];
    LPCTSTR args = SkipBlanks(p + 2);
    LPTSTR end = nullptr;
    switch (letter) {
    case L'a': {
        const int index = m_state.linkIndex;
        if (Measuring() && index < m_linkCapacity) {
            m_linkTexts[index] = CUIString::FromText(args, static_cast<int>(TagEnd(args) - args));
        }
        DWORD color = m_color ? m_color : m_manager->GetDefaultColor3();
        if (m_hasHoverLink && index < m_linkCapacity && m_linkTexts[index] == m_hoverLink) {
            color = m_manager->GetDefaultColor4();
        }
        PushColor(color);
        m_state.fontTags.push_back({L'a', PushFontVariant(false, true, false)});
        m_linkStart = m_pt;
        m_state.inLink = true;
        break;
    }
    case L'b':
        m_state.fontTags.push_back({L'b', PushFontVariant(true, false, false)});
        break;
    case L'c':
        if (*args == L'#') ++args;
        PushColor(wcstoul(args, nullptr, 16));
        break;
    case L'f':
        return FontTagBody(args);
    case L'i':
        return ImageTag(p, args);
    case L'n':
        if (!(m_style & DT_SINGLELINE)) m_lineEnd = true;
        break;
    case L'p': {
        if (m_pt.x > m_rc.left) m_lineEnd = true;
        const int spacing = static_cast<int>(wcstol(args, &end, 10));
        m_state.spacings.push_back(spacing);
        m_lineHeight = std::max(m_lineHeight, FontLineHeight());
        break;
    }
    case L'r':
        m_state.inRaw = true;
        break;
    case L's':
        m_state.inSelected = !m_state.inSelected;
        ApplySelection();
        break;
    case L'u':
        m_state.fontTags.push_back({L'u', PushFontVariant(false, true, false)});
        break;
    case L'x':
        m_pt.x += static_cast<int>(wcstol(args, &end, 10));
        m_maxX = std::max<int>(m_maxX, m_pt.x);
        break;
    case L'y':
        m_lineHeight = static_cast<int>(wcstol(args, &end, 10));
        break;
    default:
        break;
    }
    return AfterTag(args);
}

// {f 2} names a font of the window by id; {f Arial 12 bold italic} describes one.
LPCTSTR MarkupPainter::FontTagBody(LPCTSTR args) {
    LPTSTR end = nullptr;
    const int id = static_cast<int>(wcstol(args, &end, 10));
    TFontInfo* info = nullptr;
    if (end != args) {
        info = m_manager->GetFontInfo(id);
    } else {
        LPCTSTR p = args;
        while (*p && *p != L' ' && !IsBracketClose(*p)) ++p;
        const CUIString name = CUIString::FromText(args, static_cast<int>(p - args));
        p = SkipBlanks(p);
        int size = 10;
        if (iswdigit(*p)) {
            size = static_cast<int>(wcstol(p, &end, 10));
            p = end;
        }
        p = SkipBlanks(p);
        CUIString words = CUIString::FromText(p, static_cast<int>(TagEnd(p) - p));
        words.MakeLower();
        info = FindOrAddFont(name, size, words.FindText(L"bold") >= 0, words.FindText(L"underline") >= 0,
                             words.FindText(L"italic") >= 0);
    }
    if (info) PushFont(info);
    m_state.fontTags.push_back({L'f', info != nullptr});
    return AfterTag(args);
}

// {i name [frames [frame]]} draws one frame of an image; {i} alone is italic.
LPCTSTR MarkupPainter::ImageTag(LPCTSTR tagStart, LPCTSTR args) {
    LPCTSTR p = args;
    while (*p && *p != L' ' && !IsBracketClose(*p)) ++p;
    if (p == args) {
        m_state.fontTags.push_back({L'i', PushFontVariant(false, false, true)});
        return AfterTag(args);
    }
    CUIString name = CUIString::FromText(args, static_cast<int>(p - args));
    CUIString resType;
    LPTSTR end = nullptr;
    p = SkipBlanks(p);
    int frames = static_cast<int>(wcstol(p, &end, 10));
    if (frames <= 0) frames = 1;
    p = SkipBlanks(end);
    int frame = static_cast<int>(wcstol(p, &end, 10));
    if (frame < 0 || frame >= frames) frame = 0;

    // The file keys come from this tag's own text, never from a later tag.
    const CUIString tagText = CUIString::FromText(args, static_cast<int>(TagEnd(args) - args));
    if (tagText.FindText(L"file='") >= 0 || tagText.FindText(L"res='") >= 0) {
        TImageDrawSpec spec;
        spec.Parse(tagText, nullptr, nullptr);
        name = spec.imageName == spec.drawString ? CUIString() : spec.imageName;
        resType = spec.resType;
    }
    const TImageInfo* image =
        name.IsEmpty() ? nullptr : m_manager->GetImageEx(name, resType.IsEmpty() ? nullptr : resType.GetData());
    if (!image) return AfterTag(args);

    const int width = image->width / frames;
    const int height = image->height;
    if (m_pt.x + width > m_rc.right && m_pt.x > m_rc.left && !(m_style & DT_SINGLELINE)) {
        m_lineEnd = true;
        return tagStart;  // read again at the start of the next line
    }
    if (Drawing()) {
        RECT dest = {m_pt.x, m_pt.y + m_drawLineHeight - height, m_pt.x + width, m_pt.y + m_drawLineHeight};
        if (height < m_drawLineHeight) {
            dest.bottom -= (m_drawLineHeight - height) / 2;
            dest.top = dest.bottom - height;
        }
        const RECT part = {width * frame, 0, width * (frame + 1), height};
        CRenderEngine::DrawImage(m_dc, image->bitmap, dest, dest, part, RECT{0, 0, 0, 0}, image->hasAlpha);
    }
    m_lineHeight = std::max(m_lineHeight, height);
    m_pt.x += width;
    m_maxX = std::max<int>(m_maxX, m_pt.x);
    m_imageBottom = std::max<int>(m_imageBottom, m_pt.y + height);
    return AfterTag(args);
}

LPCTSTR MarkupPainter::ClosingTag(LPCTSTR p) {
    switch (p[2]) {
    case L'a': {
        int& index = m_state.linkIndex;
        if (index < m_linkCapacity) {
            if (Measuring()) {
                m_linkRects[index] = {m_linkStart.x, m_linkStart.y, std::min<LONG>(m_pt.x, m_rc.right),
                                      m_pt.y + m_tm.tmHeight + m_tm.tmExternalLeading};
            }
            ++index;
        }
        m_state.inLink = false;
        PopColor();
        PopFontTag(L'a');
        break;
    }
    case L'b':
    case L'f':
    case L'i':
    case L'u':
        PopFontTag(p[2]);
        break;
    case L'c':
        PopColor();
        break;
    case L'p':
        if (m_pt.x > m_rc.left) m_lineEnd = true;
        if (!m_state.spacings.empty()) m_state.spacings.pop_back();
        m_lineHeight = std::max(m_lineHeight, FontLineHeight());
        break;
    case L's':
        m_state.inSelected = !m_state.inSelected;
        ApplySelection();
        break;
    default:
        break;
    }
    return AfterTag(p + 3);
}

void MarkupPainter::OutputChar(wchar_t ch) {
    SIZE size = {0, 0};
    if (ch == L' ' && m_blankWidth >= 0) {
        size.cx = m_blankWidth;
    } else {
        GetTextExtentPoint32W(m_dc, &ch, 1, &size);
        if (ch == L' ') m_blankWidth = size.cx;
    }
    // Blanks are drawn too: an underlined font underlines them.
    if (Drawing()) TextOutW(m_dc, m_pt.x, PieceTop(), &ch, 1);
    m_pt.x += size.cx;
    m_maxX = std::max<int>(m_maxX, m_pt.x);
}

LPCTSTR MarkupPainter::TextRun(LPCTSTR p) {
    LPCTSTR q = p;
    // A bracket that starts no tag is text.
    if (!m_state.inRaw && IsBracketOpen(*q)) ++q;
    while (*q && *q != L'\n') {
        if (m_state.inRaw ? IsRawEnd(q) : IsBracketOpen(*q)) break;
        ++q;
    }
    const int length = static_cast<int>(q - p);
    int width = 0;
    bool ellipsis = false;
    const int count = FitRun(p, length, width, ellipsis);
    if (Drawing()) {
        int x = m_pt.x;
        if (!(m_style & DT_SINGLELINE)) {
            const int free = m_rc.right - m_rc.left - width;
            if (m_style & DT_CENTER) {
                x += free / 2;
            } else if (m_style & DT_RIGHT) {
                x += free;
            }
        }
        TextOutW(m_dc, x, PieceTop(), p, count);
        if (ellipsis) TextOutW(m_dc, x + width, PieceTop(), L"...", 3);
    }
    m_pt.x = ellipsis ? m_rc.right : m_pt.x + width;
    m_maxX = std::max<int>(m_maxX, m_pt.x);
    if (count == length && m_state.inRaw && IsRawEnd(q)) {
        m_state.inRaw = false;
        return q + 4;
    }
    return p + count;
}

// How much of a run fits before the right edge. The width is estimated from
// the widest character and measured only once the estimate reaches the edge.
int MarkupPainter::FitRun(LPCTSTR run, int length, int& width, bool& ellipsis) {
    SIZE size = {0, 0};
    const int room = m_rc.right - m_pt.x;
    int fit = length;
    if (static_cast<long long>(length) * m_tm.tmMaxCharWidth >= room) {
        GetTextExtentExPointW(m_dc, run, length, std::max(room, 0), &fit, nullptr, &size);
    }
    if (fit >= length) {
        GetTextExtentPoint32W(m_dc, run, length, &size);
        width = size.cx;
        return length;
    }
    // The character at `fit` overflows; a run from the left edge keeps it anyway.
    int count = m_pt.x == m_rc.left ? fit + 1 : fit;
    if (m_style & DT_WORDBREAK) {
        int lastBreak = 0;
        for (int i = 0; i < fit; ++i) {
            if (!IsLatinLetter(run[i])) lastBreak = i + 1;
        }
        if (lastBreak > 0) count = lastBreak;
    }
    if ((m_style & DT_END_ELLIPSIS) && count > 0) {
        count -= count > 1 ? 2 : 1;
        ellipsis = true;
    }
    // Never split a surrogate pair.
    if (count > 0 && count < length && IS_HIGH_SURROGATE(run[count - 1])) count += count == 1 ? 1 : -1;
    GetTextExtentPoint32W(m_dc, run, count, &size);
    width = size.cx;
    m_lineEnd = true;
    return count;
}

}  // namespace

void CRenderEngine::DrawHtmlText(HDC dc, CPaintManagerUI* manager, RECT& rc, LPCTSTR text, DWORD color,
                                 RECT* linkRects, CUIString* linkTexts, int& linkCount, int font, UINT style) {
    if (!dc || !text || !manager || IsRectEmpty(&rc)) {
        linkCount = 0;
        return;
    }
    MarkupPainter painter(dc, manager, rc, color, linkRects, linkTexts, linkCount, font, style);
    linkCount = painter.Run(text);
}

}  // namespace KvUI
