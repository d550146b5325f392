#include "engine/impl/DisplayList.h"

#include <algorithm>

#include "engine/impl/Wire.h"

namespace kvengine {
namespace {

// The most fonts, items or regions a list may claim: more than any page lays
// out, so a malformed count is refused before anything is reserved for it.
constexpr uint32_t kMaxDisplayCount = 1u << 26;

bool Plausible(uint32_t count, const WireReader& in) { return in.Ok() && count < kMaxDisplayCount; }

}  // namespace

void DisplayList::Write(WireWriter& out) const {
    out.I32(contentHeight);
    out.U32(static_cast<uint32_t>(fonts.size()));
    for (const FontKey& f : fonts) out.I32(f.pixels).U8(f.bold ? 1 : 0).U8(f.monospace ? 1 : 0);
    out.U32(static_cast<uint32_t>(items.size()));
    for (const DisplayItem& item : items) {
        out.U8(static_cast<uint8_t>(item.kind)).U8(item.alpha).U8(item.fixed ? 1 : 0).U32(item.font);
        out.I32(item.x).I32(item.y).I32(item.width).I32(item.height).U32(item.color);
        if (item.kind == DisplayItem::Kind::Text) out.Text(item.text);
    }
    out.U32(static_cast<uint32_t>(hot.size()));
    for (const HotRegion& h : hot) {
        out.I32(h.x).I32(h.y).I32(h.width).I32(h.height).U8((h.fixed ? 1 : 0) | (h.hand ? 2 : 0));
    }
}

bool DisplayList::Read(WireReader& in) {
    contentHeight = in.I32();
    const uint32_t fontCount = in.U32();
    if (!Plausible(fontCount, in)) return false;
    for (uint32_t i = 0; i < fontCount && in.Ok(); ++i) {
        FontKey key;
        key.pixels = std::clamp(in.I32(), 1, 2000);
        key.bold = in.U8() != 0;
        key.monospace = in.U8() != 0;
        fonts.push_back(key);
    }
    const uint32_t itemCount = in.U32();
    if (!Plausible(itemCount, in)) return false;
    for (uint32_t i = 0; i < itemCount && in.Ok(); ++i) {
        DisplayItem item;
        item.kind = in.U8() == 1 ? DisplayItem::Kind::Text : DisplayItem::Kind::Fill;
        item.alpha = in.U8();
        item.fixed = in.U8() != 0;
        const uint32_t font = in.U32();
        item.x = in.I32();
        item.y = in.I32();
        item.width = in.I32();
        item.height = in.I32();
        item.color = in.U32();
        if (item.kind == DisplayItem::Kind::Text) {
            item.text = in.Text();
            if (font >= fonts.size()) return false;
        }
        item.font = static_cast<uint16_t>(font);
        items.push_back(std::move(item));
    }
    const uint32_t hotCount = in.U32();
    if (!Plausible(hotCount, in)) return false;
    for (uint32_t i = 0; i < hotCount && in.Ok(); ++i) {
        HotRegion h;
        h.x = in.I32();
        h.y = in.I32();
        h.width = in.I32();
        h.height = in.I32();
        const uint8_t flags = in.U8();
        h.fixed = (flags & 1) != 0;
        h.hand = (flags & 2) != 0;
        hot.push_back(h);
    }
    return in.Ok();
}

void DisplayList::Index() {
    m_bands.assign(static_cast<size_t>(std::max(0, contentHeight)) / kDisplayBandHeight + 1, {});
    m_tall.clear();
    m_fixed.clear();
    for (uint32_t i = 0; i < items.size(); ++i) {
        const DisplayItem& item = items[i];
        if (item.fixed) {
            m_fixed.push_back(i);
            continue;
        }
        const int first = std::max(0, item.y) / kDisplayBandHeight;
        const int last = std::max(0, item.y + std::max(0, item.height) - 1) / kDisplayBandHeight;
        if (last - first >= kDisplayTallBands || first >= static_cast<int>(m_bands.size())) {
            m_tall.push_back(i);
            continue;
        }
        for (int b = first; b <= last && b < static_cast<int>(m_bands.size()); ++b) m_bands[b].push_back(i);
    }
}

std::vector<uint32_t> DisplayList::VisibleItems(int top, int bottom, int scroll) const {
    std::vector<uint32_t> out(m_fixed);
    out.insert(out.end(), m_tall.begin(), m_tall.end());
    const int first = std::max(0, top + scroll) / kDisplayBandHeight;
    const int last = std::max(0, bottom + scroll) / kDisplayBandHeight;
    for (int b = first; b <= last && b < static_cast<int>(m_bands.size()); ++b) {
        out.insert(out.end(), m_bands[b].begin(), m_bands[b].end());
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

bool DisplayList::HandAt(int x, int y, int scroll) const {
    for (auto it = hot.rbegin(); it != hot.rend(); ++it) {
        const int py = it->fixed ? y : y + scroll;
        if (x >= it->x && x < it->x + it->width && py >= it->y && py < it->y + it->height) return it->hand;
    }
    return false;
}

}  // namespace kvengine
