#include "ui/core/RenderGdi.h"

namespace KvUI {

HBITMAP CreateDib32(HDC dc, int cx, int cy, bool topDown, void** bits) {
    if (bits) *bits = nullptr;
    if (cx <= 0 || cy <= 0) return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = topDown ? -cy : cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits) *bits = bitmap ? pixels : nullptr;
    return bitmap;
}

MemoryDib::MemoryDib(HDC compatible, int cx, int cy) : m_dc(CreateCompatibleDC(compatible)) {
    void* bits = nullptr;
    m_bitmap.reset(CreateDib32(compatible, cx, cy, true, &bits));
    m_pixels = static_cast<DWORD*>(bits);
    if (m_dc && m_bitmap && m_pixels) m_old = SelectObject(m_dc.get(), m_bitmap.get());
}

MemoryDib::~MemoryDib() {
    if (m_old) SelectObject(m_dc.get(), m_old);
}

}  // namespace KvUI
