#include "engine/impl/PagePainter.h"

#include <algorithm>

namespace kvengine {
namespace {

BLENDFUNCTION Blend(uint8_t alpha) { return {AC_SRC_OVER, 0, alpha, 0}; }

}  // namespace

HFONT PagePainter::Font(const FontKey& key) {
    auto found = m_fonts.find(key);
    if (found == m_fonts.end()) found = m_fonts.emplace(key, CreatePageFont(key)).first;
    return found->second.get();
}

void PagePainter::Fill(HDC dc, const DisplayItem& item, int y) {
    const COLORREF color = RGB((item.color >> 16) & 0xFF, (item.color >> 8) & 0xFF, item.color & 0xFF);
    if (item.alpha == 255) {
        const RECT r{item.x, y, item.x + item.width, y + item.height};
        SetDCBrushColor(dc, color);
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        return;
    }
    if (!m_pixel.Ready()) m_pixel = kvwin::MemoryDib(dc, 1, 1);
    if (!m_pixel.Ready()) return;
    GdiFlush();  // the pixel's last blend is done before it changes
    m_pixel.pixels()[0] = item.color & 0xFFFFFF;
    AlphaBlend(dc, item.x, y, item.width, item.height, m_pixel.dc(), 0, 0, 1, 1, Blend(item.alpha));
}

void PagePainter::Text(HDC dc, const DisplayItem& item, HFONT font, int y) {
    const COLORREF color = RGB((item.color >> 16) & 0xFF, (item.color >> 8) & 0xFF, item.color & 0xFF);
    const UINT length = static_cast<UINT>(item.text.size());
    if (item.alpha == 255) {
        kvwin::ScopedSelect select(dc, font);
        SetTextColor(dc, color);
        ExtTextOutW(dc, item.x, y, 0, nullptr, item.text.c_str(), length, nullptr);
        return;
    }
    // Translucent text: drawn over a copy of what is under it, and the copy blended back.
    const int width = std::max(1, item.width), height = std::max(1, item.height);
    kvwin::MemoryDib layer(dc, width, height);
    if (!layer.Ready()) return;
    BitBlt(layer.dc(), 0, 0, width, height, dc, item.x, y, SRCCOPY);
    {
        kvwin::ScopedSelect select(layer.dc(), font);
        SetBkMode(layer.dc(), TRANSPARENT);
        SetTextColor(layer.dc(), color);
        ExtTextOutW(layer.dc(), 0, 0, 0, nullptr, item.text.c_str(), length, nullptr);
    }
    AlphaBlend(dc, item.x, y, width, height, layer.dc(), 0, 0, width, height, Blend(item.alpha));
}

void PagePainter::Paint(HDC dc, const RECT& area, const DisplayList& list, int scroll) {
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    for (const uint32_t index : list.VisibleItems(area.top, area.bottom, scroll)) {
        const DisplayItem& item = list.items[index];
        const int y = item.fixed ? item.y : item.y - scroll;
        if (y >= area.bottom || y + item.height <= area.top || item.x >= area.right || item.x + item.width <= area.left) {
            continue;
        }
        if (item.kind == DisplayItem::Kind::Fill) Fill(dc, item, y);
        else Text(dc, item, Font(list.fonts[item.font]), y);
    }
}

}  // namespace kvengine
