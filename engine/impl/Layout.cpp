#include "engine/impl/Layout.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <string_view>

#include "engine/impl/Css.h"
#include "engine/impl/TextMetrics.h"

namespace kvengine {
namespace {

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f'; }

// Characters between which a line may break without a space (CJK scripts).
bool IsIdeographic(wchar_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF00 && c <= 0xFFEF);
}

bool IsOutOfFlow(const ComputedStyle& s) { return s.position == Position::Absolute || s.position == Position::Fixed; }

bool IsInlineLevel(const Node& n) {
    if (n.kind == Node::Kind::Text) return true;
    if (!n.style) return true;  // not rendered: passed over inside a run
    return n.style->display == Display::Inline && !IsOutOfFlow(*n.style);
}

int Round(float v) { return static_cast<int>(std::lround(v)); }

uint8_t Alpha(uint32_t argb, float opacity) {
    return static_cast<uint8_t>(std::clamp(Round(static_cast<float>(argb >> 24) * opacity), 0, 255));
}

}  // namespace

class LayoutPass {
public:
    LayoutPass(PageLayout& out, Document& document, const Viewport& viewport, TextMeasurer& measurer)
        : m_out(out), m_document(document), m_viewport(viewport), m_measurer(measurer),
          m_scale(static_cast<float>(viewport.scale > 0 ? viewport.scale : 1)) {}

    void Run();

private:
    struct Frame {
        Node* node = nullptr;
        const ComputedStyle* style = nullptr;
        int layer = 0;
        bool fixed = false;
        bool shrink = false;  // an absolute box of auto width: as wide as its content
        float alpha = 1;
        float margin[4] = {0, 0, 0, 0};
        float border[4] = {0, 0, 0, 0};
        float padding[4] = {0, 0, 0, 0};
        float borderX = 0, borderY = 0, borderWidth = 0;
        float contentX = 0, contentY = 0, contentWidth = 0;
        float contentHeight = -1;  // definite height, or -1 for auto
        float cursorY = 0;
        float lastMargin = 0;  // the bottom margin of the block child above: adjoining margins collapse
        float extent = 0;      // the widest line or child, for shrinking
        Node* child = nullptr;
        size_t background = 0;  // reserved item and hit slots, filled when the box is done
        size_t hit = 0;
    };
    struct Pending {
        Node* node;
        float staticX, staticY;
        int layer;
        bool fixed;
        float alpha;
    };
    struct HitSlot {
        int x, y, width, height;
        bool fixed;
        Node* node;
    };
    struct LayerData {
        int z = 0;
        bool positioned = false;
        std::vector<DisplayItem> items;
        std::vector<HitSlot> hits;
    };
    class Lines;

    float Px(const Length& length, float base) const {
        return length.unit == Length::Unit::Px ? length.value * m_scale : length.Resolve(base);
    }
    FontKey Font(const ComputedStyle& s) const {
        return {std::max(1, Round(s.fontSize * m_scale)), s.bold, s.preserveSpace};
    }
    Frame MakeFrame(Node* node, float x, float y, float containingWidth, float containingHeight, int layer,
                    bool fixed, float alpha, float width, float height);
    void Open(Frame frame);
    float Finish(const Frame& f);
    void LayoutFlow(size_t base);
    void LayoutInline(Frame& f);
    void LayoutPositioned(const Pending& p);
    void AddFill(int layer, bool fixed, float x, float y, float w, float h, uint32_t argb, float alpha);
    void AddBorders(int layer, bool fixed, float x, float y, float w, float h, const ComputedStyle& s, float alpha);
    uint16_t FontIndex(const FontKey& key);
    void Collect();

    PageLayout& m_out;
    Document& m_document;
    const Viewport m_viewport;
    TextMeasurer& m_measurer;
    const float m_scale;
    std::vector<Frame> m_stack;
    std::deque<Pending> m_pending;
    std::vector<LayerData> m_layers;
    float m_bottom = 0;
};

// The lines of one inline run: words placed left to right, wrapped at the
// content width, inline elements' padding and borders around their words.
class LayoutPass::Lines {
public:
    Lines(LayoutPass& pass, Frame& frame) : m_pass(pass), m_frame(frame), m_top(frame.cursorY) {}

    float Top() const { return m_top; }
    float X() const { return m_frame.contentX + m_x; }

    void Text(const Node& text, const ComputedStyle& style) {
        const std::wstring& s = text.text;
        if (style.preserveSpace) {
            size_t start = 0;
            while (start <= s.size()) {
                size_t end = s.find(L'\n', start);
                if (end == std::wstring::npos) end = s.size();
                std::wstring line = s.substr(start, end - start);
                std::replace(line.begin(), line.end(), L'\t', L' ');
                line.erase(std::remove(line.begin(), line.end(), L'\r'), line.end());
                if (!line.empty()) Word(line, style, false);
                if (end == s.size()) break;
                Flush(true);
                start = end + 1;
            }
            return;
        }
        size_t i = 0;
        while (i < s.size()) {
            if (IsSpace(s[i])) {
                m_space = true;
                ++i;
                continue;
            }
            size_t end = i + 1;
            if (!IsIdeographic(s[i])) {
                while (end < s.size() && !IsSpace(s[end]) && !IsIdeographic(s[end])) ++end;
            }
            Word(s.substr(i, end - i), style, true);
            i = end;
        }
    }

    void OpenInline(Node* element) {
        const float* b = element->style->borderWidth;
        const float before = m_x;
        m_x += (b[3] * m_pass.m_scale) + m_pass.Px(element->style->padding[3], m_frame.contentWidth);
        m_open.push_back({element, before});
    }

    void CloseInline() {
        Node* element = m_open.back().element;
        m_x += element->style->borderWidth[1] * m_pass.m_scale + m_pass.Px(element->style->padding[1], m_frame.contentWidth);
        m_spans.push_back({element, m_open.back().x0, m_x});
        m_open.pop_back();
    }

    // Ends the line; `forced` (a line break) gives even an empty line its height.
    void Flush(bool forced) {
        if (m_pieces.empty() && m_spans.empty() && m_open.empty() && !forced) return;
        const TextMeasurer::Metrics strut = m_pass.m_measurer.FontMetrics(m_pass.Font(*m_frame.style));
        int ascent = strut.ascent, descent = strut.height - strut.ascent;
        for (const Piece& p : m_pieces) {
            ascent = std::max(ascent, p.ascent);
            descent = std::max(descent, p.height - p.ascent);
        }
        const float height = static_cast<float>(ascent + descent);
        const float room = m_frame.contentWidth - m_x;
        const float shift = m_frame.style->textAlign == TextAlign::Center ? std::max(0.0f, room / 2)
                          : m_frame.style->textAlign == TextAlign::Right ? std::max(0.0f, room) : 0;
        for (const Open& open : m_open) m_spans.push_back({open.element, open.x0, m_x});
        for (Open& open : m_open) open.x0 = 0;
        const float left = m_frame.contentX + shift;
        for (const Span& span : m_spans) EmitSpan(span, left, height);
        for (const Piece& p : m_pieces) {
            DisplayItem item;
            item.kind = DisplayItem::Kind::Text;
            item.x = Round(left + p.x);
            item.y = Round(m_top + static_cast<float>(ascent - p.ascent));
            item.width = Round(p.width);
            item.height = p.height;
            item.color = p.style->color & 0xFFFFFF;
            item.alpha = Alpha(p.style->color, m_frame.alpha);
            item.fixed = m_frame.fixed;
            item.font = m_pass.FontIndex(m_pass.Font(*p.style));
            item.text = p.text;
            m_pass.m_layers[static_cast<size_t>(m_frame.layer)].items.push_back(std::move(item));
        }
        m_frame.extent = std::max(m_frame.extent, m_x);
        m_top += height;
        m_x = 0;
        m_pieces.clear();
        m_spans.clear();
        m_space = false;
    }

private:
    struct Piece {
        float x, width;
        std::wstring text;
        const ComputedStyle* style;
        int ascent, height;
    };
    struct Open {
        Node* element;
        float x0;
    };
    struct Span {
        Node* element;
        float x0, x1;
    };

    // Places a word, on the next line when it does not fit; a word wider than
    // a whole line is cut where the line ends. Each character is measured
    // about once, so even a megabyte without a space costs linear time.
    void Word(const std::wstring& text, const ComputedStyle& style, bool wrap) {
        const FontKey font = m_pass.Font(style);
        std::wstring_view word(text);
        while (!word.empty()) {
            const float space = m_space && !m_pieces.empty()
                                  ? static_cast<float>(m_pass.m_measurer.Width(font, L" ", 1)) : 0;
            const float room = m_frame.contentWidth - m_x - space;
            size_t fit = 0;
            float used = 0;
            while (fit < word.size()) {
                const float next = static_cast<float>(m_pass.m_measurer.Width(font, word.data() + fit, 1));
                if (wrap && used + next > room) break;
                used += next;
                ++fit;
            }
            if (fit == word.size()) {
                m_space = false;
                Place(std::wstring(word), style, used, space);
                return;
            }
            if (!m_pieces.empty()) {
                Flush(false);
                continue;
            }
            if (fit == 0) {
                fit = 1;
                used = static_cast<float>(m_pass.m_measurer.Width(font, word.data(), 1));
            }
            m_space = false;
            Place(std::wstring(word.substr(0, fit)), style, used, 0);
            Flush(false);
            word.remove_prefix(fit);
        }
    }

    void Place(const std::wstring& text, const ComputedStyle& style, float width, float space) {
        Node* owner = m_open.empty() ? nullptr : m_open.back().element;
        if (!m_pieces.empty() && m_pieces.back().style == &style && m_lastOwner == owner &&
            m_pieces.back().x + m_pieces.back().width == m_x) {
            Piece& last = m_pieces.back();
            if (space > 0) last.text += L' ';
            last.text += text;
            last.width += space + width;
        } else {
            const TextMeasurer::Metrics metrics = m_pass.m_measurer.FontMetrics(m_pass.Font(style));
            m_pieces.push_back({m_x + space, width, text, &style, metrics.ascent, metrics.height});
        }
        m_lastOwner = owner;
        m_x += space + width;
    }

    void EmitSpan(const Span& span, float left, float height) {
        const ComputedStyle& s = *span.element->style;
        const float scale = m_pass.m_scale;
        const float padTop = m_pass.Px(s.padding[0], m_frame.contentWidth) + s.borderWidth[0] * scale;
        const float padBottom = m_pass.Px(s.padding[2], m_frame.contentWidth) + s.borderWidth[2] * scale;
        const float x = left + span.x0, w = span.x1 - span.x0;
        const float y = m_top - padTop, h = height + padTop + padBottom;
        const int layer = m_frame.layer;
        m_pass.AddFill(layer, m_frame.fixed, x, y, w, h, s.background, m_frame.alpha);
        m_pass.AddBorders(layer, m_frame.fixed, x, y, w, h, s, m_frame.alpha);
        m_pass.m_layers[static_cast<size_t>(layer)].hits.push_back(
            {Round(x), Round(y), Round(w), Round(h), m_frame.fixed, span.element});
        span.element->box = {Round(x), Round(y), Round(w), Round(h), true, m_frame.fixed};
    }

    LayoutPass& m_pass;
    Frame& m_frame;
    float m_top;
    float m_x = 0;
    bool m_space = false;
    Node* m_lastOwner = nullptr;
    std::vector<Piece> m_pieces;
    std::vector<Open> m_open;
    std::vector<Span> m_spans;
};

LayoutPass::Frame LayoutPass::MakeFrame(Node* node, float x, float y, float containingWidth, float containingHeight,
                                         int layer, bool fixed, float alpha, float width, float height) {
    const ComputedStyle& s = *node->style;
    Frame f;
    f.node = node;
    f.style = &s;
    f.layer = layer;
    f.fixed = fixed;
    f.alpha = alpha * s.opacity;
    for (int i = 0; i < 4; ++i) {
        f.margin[i] = Px(s.margin[i], containingWidth);
        f.padding[i] = Px(s.padding[i], containingWidth);
        f.border[i] = s.borderWidth[i] * m_scale;
    }
    const float frame = f.border[1] + f.border[3] + f.padding[1] + f.padding[3];
    if (width >= 0) {
        f.contentWidth = width;
    } else if (!s.width.IsAuto()) {
        f.contentWidth = Px(s.width, containingWidth);
        // Auto side margins share what is left: a box of given width is centred.
        const float left = containingWidth - f.contentWidth - frame;
        const bool autoLeft = s.margin[3].IsAuto(), autoRight = s.margin[1].IsAuto();
        if (autoLeft && autoRight) f.margin[3] = f.margin[1] = std::max(0.0f, left / 2);
        else if (autoLeft) f.margin[3] = std::max(0.0f, left - f.margin[1]);
    } else {
        f.contentWidth = containingWidth - f.margin[1] - f.margin[3] - frame;
    }
    f.contentWidth = std::max(0.0f, f.contentWidth);
    if (height >= 0) f.contentHeight = height;
    else if (s.height.unit == Length::Unit::Px) f.contentHeight = Px(s.height, 0);
    else if (s.height.unit == Length::Unit::Percent && containingHeight >= 0) f.contentHeight = Px(s.height, containingHeight);
    f.borderX = x + f.margin[3];
    f.borderY = y + f.margin[0];
    f.borderWidth = f.contentWidth + frame;
    f.contentX = f.borderX + f.border[3] + f.padding[3];
    f.contentY = f.borderY + f.border[0] + f.padding[0];
    f.cursorY = f.contentY;
    f.child = node->first;
    return f;
}

void LayoutPass::Open(Frame frame) {
    LayerData& layer = m_layers[static_cast<size_t>(frame.layer)];
    frame.background = layer.items.size();
    layer.items.emplace_back();  // the background, painted under the children
    layer.items.back().alpha = 0;
    frame.hit = layer.hits.size();
    layer.hits.push_back({0, 0, 0, 0, false, nullptr});
    m_stack.push_back(frame);
}

// Places the finished box; answers where the next block below it starts.
float LayoutPass::Finish(const Frame& f) {
    const ComputedStyle& s = *f.style;
    const float content = f.contentHeight >= 0 ? f.contentHeight : f.cursorY - f.contentY;
    const float height = content + f.padding[0] + f.padding[2] + f.border[0] + f.border[2];
    float width = f.borderWidth;
    if (f.shrink) width = std::min(width, f.extent + f.padding[1] + f.padding[3] + f.border[1] + f.border[3]);
    LayerData& layer = m_layers[static_cast<size_t>(f.layer)];
    DisplayItem& background = layer.items[f.background];
    background.x = Round(f.borderX);
    background.y = Round(f.borderY);
    background.width = Round(width);
    background.height = Round(height);
    background.color = s.background & 0xFFFFFF;
    background.alpha = Alpha(s.background, f.alpha);
    background.fixed = f.fixed;
    AddBorders(f.layer, f.fixed, f.borderX, f.borderY, width, height, s, f.alpha);
    layer.hits[f.hit] = {Round(f.borderX), Round(f.borderY), Round(width), Round(height), f.fixed, f.node};
    f.node->box = {Round(f.borderX), Round(f.borderY), Round(width), Round(height), true, f.fixed};
    if (!f.fixed) m_bottom = std::max(m_bottom, f.borderY + height + f.margin[2]);
    return f.borderY + height + f.margin[2];
}

void LayoutPass::AddFill(int layer, bool fixed, float x, float y, float w, float h, uint32_t argb, float alpha) {
    const uint8_t a = Alpha(argb, alpha);
    if (a == 0 || w <= 0 || h <= 0) return;
    DisplayItem item;
    item.x = Round(x);
    item.y = Round(y);
    item.width = std::max(1, Round(w));
    item.height = std::max(1, Round(h));
    item.color = argb & 0xFFFFFF;
    item.alpha = a;
    item.fixed = fixed;
    m_layers[static_cast<size_t>(layer)].items.push_back(std::move(item));
}

void LayoutPass::AddBorders(int layer, bool fixed, float x, float y, float w, float h, const ComputedStyle& s,
                            float alpha) {
    const float t = s.borderWidth[0] * m_scale, r = s.borderWidth[1] * m_scale;
    const float b = s.borderWidth[2] * m_scale, l = s.borderWidth[3] * m_scale;
    AddFill(layer, fixed, x, y, w, t, s.borderColor, alpha);
    AddFill(layer, fixed, x, y + h - b, w, b, s.borderColor, alpha);
    AddFill(layer, fixed, x, y + t, l, h - t - b, s.borderColor, alpha);
    AddFill(layer, fixed, x + w - r, y + t, r, h - t - b, s.borderColor, alpha);
}

uint16_t LayoutPass::FontIndex(const FontKey& key) {
    std::vector<FontKey>& fonts = m_out.m_display.fonts;
    for (size_t i = 0; i < fonts.size(); ++i) {
        if (fonts[i] == key) return static_cast<uint16_t>(i);
    }
    fonts.push_back(key);
    return static_cast<uint16_t>(fonts.size() - 1);
}

// Lays out the frames on the stack above `base` until they are all done.
void LayoutPass::LayoutFlow(size_t base) {
    while (m_stack.size() > base) {
        Frame& f = m_stack.back();
        Node* child = f.child;
        if (!child) {
            const Frame done = f;
            m_stack.pop_back();
            const float next = Finish(done);
            if (m_stack.size() > base) {
                Frame& parent = m_stack.back();
                parent.cursorY = next;
                parent.lastMargin = done.margin[2];
                parent.extent = std::max(parent.extent, done.borderX - parent.contentX + done.borderWidth + done.margin[1]);
            }
            continue;
        }
        if (IsInlineLevel(*child)) {
            LayoutInline(f);
            continue;
        }
        f.child = child->next;
        if (IsOutOfFlow(*child->style)) {
            m_pending.push_back({child, f.contentX, f.cursorY, f.layer, f.fixed, f.alpha});
            continue;
        }
        // Adjoining vertical margins of siblings collapse into the larger one.
        const float top = f.cursorY - std::min(f.lastMargin, Px(child->style->margin[0], f.contentWidth));
        f.lastMargin = 0;
        int layer = f.layer;
        if (child->style->position == Position::Relative && !child->style->zAuto) {
            layer = static_cast<int>(m_layers.size());
            m_layers.push_back({child->style->zIndex, true, {}, {}});
        }
        Open(MakeFrame(child, f.contentX, top, f.contentWidth, f.contentHeight, layer, f.fixed, f.alpha, -1, -1));
    }
}

void LayoutPass::LayoutInline(Frame& f) {
    Lines lines(*this, f);
    Node* run = f.child;
    while (run && IsInlineLevel(*run)) {
        Node* n = run;
        while (n) {
            bool descend = false;
            if (n->kind == Node::Kind::Text) {
                if (n->style) lines.Text(*n, *n->style);
            } else if (n->style && IsOutOfFlow(*n->style)) {
                m_pending.push_back({n, lines.X(), lines.Top(), f.layer, f.fixed, f.alpha});
            } else if (n->style && n->Is(L"br")) {
                lines.Flush(true);
            } else if (n->style) {
                lines.OpenInline(n);
                descend = true;
            }
            if (descend && n->first) {
                n = n->first;
                continue;
            }
            // Up to the next sibling, closing the inline elements left.
            while (n) {
                if (n->IsElement() && n->style && !IsOutOfFlow(*n->style) && !n->Is(L"br")) lines.CloseInline();
                if (n == run) {
                    n = nullptr;
                    break;
                }
                if (n->next) {
                    n = n->next;
                    break;
                }
                n = n->parent;
            }
        }
        run = run->next;
    }
    lines.Flush(false);
    f.child = run;
    f.cursorY = lines.Top();
    f.lastMargin = 0;
}

void LayoutPass::LayoutPositioned(const Pending& p) {
    const ComputedStyle& s = *p.node->style;
    float cbX = 0, cbY = 0, cbW = static_cast<float>(m_viewport.width), cbH = static_cast<float>(m_viewport.height);
    bool fixed = s.position == Position::Fixed;
    if (!fixed) {
        for (const Node* a = p.node->parent; a; a = a->parent) {
            if (!a->style || a->style->position == Position::Static || !a->box.shown) continue;
            const float* b = a->style->borderWidth;
            cbX = static_cast<float>(a->box.x) + b[3] * m_scale;
            cbY = static_cast<float>(a->box.y) + b[0] * m_scale;
            cbW = static_cast<float>(a->box.width) - (b[1] + b[3]) * m_scale;
            cbH = static_cast<float>(a->box.height) - (b[0] + b[2]) * m_scale;
            fixed = a->box.fixed;
            break;
        }
    }
    const int layer = static_cast<int>(m_layers.size());
    m_layers.push_back({s.zAuto ? m_layers[static_cast<size_t>(p.layer)].z : s.zIndex, true, {}, {}});
    // The frame's sizes first, at the origin, to learn the margins and frame widths.
    Frame f = MakeFrame(p.node, 0, 0, cbW, cbH, layer, fixed, p.alpha, -1, -1);
    const float frameW = f.border[1] + f.border[3] + f.padding[1] + f.padding[3];
    const float frameH = f.border[0] + f.border[2] + f.padding[0] + f.padding[2];
    const float left = Px(s.left, cbW), right = Px(s.right, cbW);
    const float top = Px(s.top, cbH), bottom = Px(s.bottom, cbH);
    float width = -1, height = -1;
    bool shrink = false;
    if (s.width.IsAuto()) {
        if (!s.left.IsAuto() && !s.right.IsAuto()) width = cbW - left - right - f.margin[1] - f.margin[3] - frameW;
        else shrink = s.right.IsAuto();
    }
    if (s.height.IsAuto() && !s.top.IsAuto() && !s.bottom.IsAuto()) {
        height = std::max(0.0f, cbH - top - bottom - f.margin[0] - f.margin[2] - frameH);
    }
    f = MakeFrame(p.node, 0, 0, cbW, cbH, layer, fixed, p.alpha, width, height);
    const float boxW = f.borderWidth + f.margin[1] + f.margin[3];
    const float x = !s.left.IsAuto() ? cbX + left : !s.right.IsAuto() ? cbX + cbW - right - boxW : p.staticX;
    float y = !s.top.IsAuto() ? cbY + top : p.staticY;
    if (s.top.IsAuto() && !s.bottom.IsAuto() && f.contentHeight >= 0) {
        y = cbY + cbH - bottom - (f.contentHeight + frameH + f.margin[0] + f.margin[2]);
    }
    f = MakeFrame(p.node, x, y, cbW, cbH, layer, fixed, p.alpha, width, height);
    f.shrink = shrink;
    const size_t base = m_stack.size();
    Open(f);
    LayoutFlow(base);
}

void LayoutPass::Collect() {
    std::vector<size_t> order(m_layers.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const LayerData &la = m_layers[a], &lb = m_layers[b];
        return la.z != lb.z ? la.z < lb.z : la.positioned < lb.positioned;
    });
    DisplayList& display = m_out.m_display;
    for (const size_t i : order) {
        LayerData& layer = m_layers[i];
        for (DisplayItem& item : layer.items) {
            if (item.alpha == 0 || (item.kind == DisplayItem::Kind::Fill && (item.width <= 0 || item.height <= 0))) continue;
            display.items.push_back(std::move(item));
        }
        for (const HitSlot& hit : layer.hits) {
            if (!hit.node) continue;
            m_out.m_hits.push_back({hit.x, hit.y, hit.width, hit.height, hit.fixed, hit.node});
            const ComputedStyle& s = *hit.node->style;
            const bool hand = s.pointer || hit.node->clickable || hit.node->FindAttribute(L"onclick");
            if (hand || IsOutOfFlow(s)) display.hot.push_back({hit.x, hit.y, hit.width, hit.height, hit.fixed, hand});
        }
    }
    display.contentHeight = static_cast<int>(std::ceil(m_bottom));
    display.Index();
}

void LayoutPass::Run() {
    m_out.m_display = DisplayList();
    m_out.m_hits.clear();
    m_layers.push_back({0, false, {}, {}});
    Node* html = m_document.DocumentElement();
    if (!html || !html->style) {
        Collect();
        return;
    }
    // The page's background fills the whole window, as the canvas does in browsers.
    const Node* body = m_document.Body();
    const uint32_t canvas = (html->style->background >> 24) ? html->style->background
                          : body && body->style ? body->style->background : 0;
    AddFill(0, true, 0, 0, static_cast<float>(m_viewport.width), static_cast<float>(m_viewport.height), canvas, 1);
    const float width = static_cast<float>(m_viewport.width);
    Open(MakeFrame(html, 0, 0, width, static_cast<float>(m_viewport.height), 0, false, 1, -1, -1));
    LayoutFlow(0);
    while (!m_pending.empty()) {
        const Pending p = m_pending.front();
        m_pending.pop_front();
        LayoutPositioned(p);
    }
    Collect();
}

void PageLayout::Run(Document& document, const Viewport& viewport, TextMeasurer& measurer) {
    LayoutPass(*this, document, viewport, measurer).Run();
}

Node* PageLayout::HitTest(int x, int y, int scroll) const {
    for (auto it = m_hits.rbegin(); it != m_hits.rend(); ++it) {
        const int py = it->fixed ? y : y + scroll;
        if (x >= it->x && x < it->x + it->width && py >= it->y && py < it->y + it->height) return it->node;
    }
    return nullptr;
}

}  // namespace kvengine
