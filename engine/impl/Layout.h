#pragma once
// Lays out a styled document: blocks stacked with their margins, borders and
// padding, inline text in word-wrapped lines, absolute and fixed boxes placed
// against their containing block and painted in z-index order with their
// opacity. The result is a display list to paint and the boxes to hit-test.
#include <vector>

#include "engine/impl/DisplayList.h"
#include "engine/impl/Dom.h"

namespace kvengine {

class TextMeasurer;

struct Viewport {
    int width = 0;   // device pixels
    int height = 0;
    double scale = 1;  // device pixels per CSS pixel (zoom and DPI)
};

class PageLayout {
public:
    // Lays out `document` (styled by StyleEngine) and records each element's box.
    void Run(Document& document, const Viewport& viewport, TextMeasurer& measurer);

    const DisplayList& Display() const { return m_display; }
    // The element that a click at window point (x, y) reaches at scroll offset
    // `scroll`: the topmost box there; null where there is none.
    Node* HitTest(int x, int y, int scroll) const;

private:
    struct Hit {
        int x, y, width, height;
        bool fixed;
        Node* node;
    };

    friend class LayoutPass;
    DisplayList m_display;
    std::vector<Hit> m_hits;  // in paint order
};

}  // namespace kvengine
