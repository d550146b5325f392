#include "engine/impl/TextMetrics.h"

#include <cwchar>

namespace kvengine {

constexpr int kBlockSize = 256;

kvwin::UniqueFont CreatePageFont(const FontKey& key) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = -key.pixels;
    font.lfWidth = 0;
    font.lfWeight = key.bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = FALSE;
    font.lfUnderline = FALSE;
    if (key.monospace) wcscpy_s(font.lfFaceName, L"Courier New");
    return kvwin::UniqueFont(CreateFontIndirectW(&font));
}

TextMeasurer::TextMeasurer() : m_dc(CreateCompatibleDC(nullptr)) {}

TextMeasurer::Face& TextMeasurer::Get(const FontKey& key) {
    auto found = m_faces.find(key);
    if (found != m_faces.end()) return found->second;
    Face& face = m_faces[key];
    face.font = CreatePageFont(key);
    face.blocks.resize(0x10000 / kBlockSize);
    kvwin::ScopedSelect select(m_dc.get(), face.font.get());
    TEXTMETRICW tm{};
    if (GetTextMetricsW(m_dc.get(), &tm)) {
        face.metrics.height = tm.tmHeight + tm.tmExternalLeading;
        face.metrics.ascent = tm.tmAscent;
    } else {
        face.metrics.height = key.pixels * 5 / 4;
        face.metrics.ascent = key.pixels;
    }
    return face;
}

int TextMeasurer::CharWidth(Face& face, wchar_t c) {
    auto& block = face.blocks[c / kBlockSize];
    if (!block) {
        block = std::make_unique<int[]>(kBlockSize);
        const UINT first = c / kBlockSize * kBlockSize;
        kvwin::ScopedSelect select(m_dc.get(), face.font.get());
        if (!GetCharWidth32W(m_dc.get(), first, first + kBlockSize - 1, block.get())) {
            for (int i = 0; i < kBlockSize; ++i) block[i] = face.metrics.height / 2;
        }
    }
    return block[c % kBlockSize];
}

TextMeasurer::Metrics TextMeasurer::FontMetrics(const FontKey& key) { return Get(key).metrics; }

int TextMeasurer::Width(const FontKey& key, const wchar_t* text, size_t length) {
    Face& face = Get(key);
    int width = 0;
    for (size_t i = 0; i < length; ++i) width += CharWidth(face, text[i]);
    return width;
}

}  // namespace kvengine
