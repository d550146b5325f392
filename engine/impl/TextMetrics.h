#pragma once
// The page's fonts, made alike in the renderer (which measures text for the
// layout) and in the browser window (which draws it), and the renderer's
// measuring of text with their character widths.
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "win/GdiOwners.h"

namespace kvengine {

struct FontKey {
    int pixels = 16;
    bool bold = false;
    bool monospace = false;

    bool operator<(const FontKey& o) const {
        return pixels != o.pixels ? pixels < o.pixels : bold != o.bold ? bold < o.bold : monospace < o.monospace;
    }
    bool operator==(const FontKey& o) const { return pixels == o.pixels && bold == o.bold && monospace == o.monospace; }
};

kvwin::UniqueFont CreatePageFont(const FontKey& key);

class TextMeasurer {
public:
    struct Metrics {
        int height = 0;  // a line of this font
        int ascent = 0;
    };

    TextMeasurer();
    TextMeasurer(const TextMeasurer&) = delete;
    TextMeasurer& operator=(const TextMeasurer&) = delete;

    Metrics FontMetrics(const FontKey& key);
    // The advance of the text: the sum of its characters' widths, as ExtTextOut places them.
    int Width(const FontKey& key, const wchar_t* text, size_t length);

private:
    struct Face {
        kvwin::UniqueFont font;
        Metrics metrics;
        std::vector<std::unique_ptr<int[]>> blocks;  // widths by 256-character block, read on first use
    };
    Face& Get(const FontKey& key);
    int CharWidth(Face& face, wchar_t c);

    kvwin::UniqueMemoryDC m_dc;
    std::map<FontKey, Face> m_faces;
};

}  // namespace kvengine
