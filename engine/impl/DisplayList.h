#pragma once
// What a page shows, as the renderer's layout leaves it: rectangles and text
// runs in device pixels and paint order, and the regions where the pointer
// becomes a hand. The renderer sends it to the browser over the channel; the
// browser decodes it off its UI thread and paints only what is visible.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/impl/TextMetrics.h"

namespace kvengine {

class WireReader;
class WireWriter;

struct DisplayItem {
    enum class Kind : uint8_t { Fill, Text };
    Kind kind = Kind::Fill;
    uint8_t alpha = 255;
    bool fixed = false;  // placed in the window, not the scrolled document
    uint16_t font = 0;   // text: index into the fonts
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    uint32_t color = 0;  // 0x00RRGGBB
    std::wstring text;
};

struct HotRegion {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool fixed = false;
    bool hand = false;
};

// The document is cut into bands of this height; painting looks only at the
// bands the window shows, so its cost follows what is visible.
constexpr int kDisplayBandHeight = 256;
// An item taller than this many bands is kept in one list of its own rather
// than in every band it crosses, so the index stays proportional to the items.
constexpr int kDisplayTallBands = 16;

class DisplayList {
public:
    std::vector<FontKey> fonts;
    std::vector<DisplayItem> items;
    std::vector<HotRegion> hot;  // in paint order: the last one under the pointer decides
    int contentHeight = 0;

    void Write(WireWriter& out) const;
    bool Read(WireReader& in);

    // Builds the index that VisibleItems uses (after Read or filling the items).
    void Index();
    // The indices of the items that may cross window rows [top, bottom) at
    // scroll offset `scroll`, in paint order.
    std::vector<uint32_t> VisibleItems(int top, int bottom, int scroll) const;
    bool HandAt(int x, int y, int scroll) const;

private:
    std::vector<std::vector<uint32_t>> m_bands;
    std::vector<uint32_t> m_tall;
    std::vector<uint32_t> m_fixed;
};

}  // namespace kvengine
