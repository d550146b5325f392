#pragma once
// Paints a page's display list in the browser window with GDI: only the
// items of the bands the window shows, fixed items where the window is,
// translucent ones blended with their alpha.
#include <windows.h>

#include <map>

#include "engine/impl/DisplayList.h"
#include "win/GdiOwners.h"

namespace kvengine {

class PagePainter {
public:
    void Paint(HDC dc, const RECT& area, const DisplayList& list, int scroll);

private:
    HFONT Font(const FontKey& key);
    void Fill(HDC dc, const DisplayItem& item, int y);
    void Text(HDC dc, const DisplayItem& item, HFONT font, int y);

    std::map<FontKey, kvwin::UniqueFont> m_fonts;
    kvwin::MemoryDib m_pixel;  // one pixel of the colour being blended
};

}  // namespace kvengine
