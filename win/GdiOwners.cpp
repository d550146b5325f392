#include "win/GdiOwners.h"

#include <utility>

namespace kvwin {

WindowDC& WindowDC::operator=(WindowDC&& other) noexcept {
    if (this != &other) {
        reset();
        m_window = other.m_window;
        m_dc = std::exchange(other.m_dc, nullptr);
    }
    return *this;
}

void WindowDC::reset() {
    if (m_dc) ReleaseDC(m_window, m_dc);
    m_dc = nullptr;
}

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

DibSection::DibSection(HDC dc, int cx, int cy, bool topDown) {
    void* bits = nullptr;
    m_bitmap.reset(CreateDib32(dc, cx, cy, topDown, &bits));
    if (!m_bitmap || !bits) {
        m_bitmap.reset();
        return;
    }
    m_pixels = static_cast<DWORD*>(bits);
    m_cx = cx;
    m_cy = cy;
}

DibSection::DibSection(DibSection&& other) noexcept
    : m_bitmap(std::move(other.m_bitmap)),
      m_pixels(std::exchange(other.m_pixels, nullptr)),
      m_cx(std::exchange(other.m_cx, 0)),
      m_cy(std::exchange(other.m_cy, 0)) {}

DibSection& DibSection::operator=(DibSection&& other) noexcept {
    if (this != &other) {
        m_bitmap = std::move(other.m_bitmap);
        m_pixels = std::exchange(other.m_pixels, nullptr);
        m_cx = std::exchange(other.m_cx, 0);
        m_cy = std::exchange(other.m_cy, 0);
    }
    return *this;
}

void DibSection::reset() {
    m_bitmap.reset();
    m_pixels = nullptr;
    m_cx = m_cy = 0;
}

MemoryDib::MemoryDib(HDC compatible, int cx, int cy, bool topDown)
    : m_dc(CreateCompatibleDC(compatible)), m_dib(compatible, cx, cy, topDown) {
    if (m_dc && m_dib) m_old = SelectObject(m_dc.get(), m_dib.get());
}

MemoryDib::MemoryDib(MemoryDib&& other) noexcept
    : m_dc(std::move(other.m_dc)), m_dib(std::move(other.m_dib)), m_old(std::exchange(other.m_old, nullptr)) {}

MemoryDib& MemoryDib::operator=(MemoryDib&& other) noexcept {
    if (this != &other) {
        reset();
        m_dc = std::move(other.m_dc);
        m_dib = std::move(other.m_dib);
        m_old = std::exchange(other.m_old, nullptr);
    }
    return *this;
}

void MemoryDib::reset() {
    // A bitmap still selected into a DC cannot be deleted.
    if (m_old) SelectObject(m_dc.get(), m_old);
    m_old = nullptr;
    m_dc.reset();
    m_dib.reset();
}

}  // namespace kvwin
