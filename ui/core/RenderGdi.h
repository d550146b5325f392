#pragma once
// Owners for the GDI objects the render engine makes, so no drawing path can
// leak a DC, bitmap, region, pen or brush, or leave one selected.
#include <windows.h>

#include <memory>
#include <type_traits>

namespace KvUI {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <class H>
using UniqueGdiObject = std::unique_ptr<std::remove_pointer_t<H>, GdiObjectDeleter>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueRegion = UniqueGdiObject<HRGN>;
using UniquePen = UniqueGdiObject<HPEN>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;

struct MemoryDCDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueMemoryDC = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDCDeleter>;

// Selects an object into a DC for one scope and puts the previous one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(object ? SelectObject(dc, object) : nullptr) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() {
        if (m_old) SelectObject(m_dc, m_old);
    }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// A 32-bit BI_RGB DIB section; rows run from the top when `topDown`. `bits`
// (may be null) receives the pixels, or null on failure.
HBITMAP CreateDib32(HDC dc, int cx, int cy, bool topDown, void** bits);

// A 32-bit top-down DIB selected into a memory DC of its own, for drawing
// that needs to read or write the pixels afterwards.
class MemoryDib {
public:
    MemoryDib(HDC compatible, int cx, int cy);
    MemoryDib(const MemoryDib&) = delete;
    MemoryDib& operator=(const MemoryDib&) = delete;
    ~MemoryDib();

    bool Ready() const { return m_old != nullptr; }
    HDC dc() const { return m_dc.get(); }
    DWORD* pixels() const { return m_pixels; }

private:
    UniqueMemoryDC m_dc;
    UniqueBitmap m_bitmap;
    DWORD* m_pixels = nullptr;
    HGDIOBJ m_old = nullptr;
};

}  // namespace KvUI
