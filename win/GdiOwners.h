#pragma once
// Owners for GDI objects and device contexts, so no drawing path can leak a
// DC, bitmap, font, region, pen or brush, or leave one selected.
#include <windows.h>

#include "win/UniqueHandle.h"

namespace kvwin {

template <class H>
struct GdiObjectTraits {
    using Handle = H;
    static constexpr Handle Invalid() { return nullptr; }
    static bool IsValid(Handle handle) { return handle != nullptr; }
    static void Free(Handle handle) { DeleteObject(handle); }
};
template <class H>
using UniqueGdiObject = UniqueHandle<GdiObjectTraits<H>>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueRegion = UniqueGdiObject<HRGN>;
using UniquePen = UniqueGdiObject<HPEN>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;

using UniqueEnhMetaFile =
    UniqueHandle<NullInvalidTraits<HENHMETAFILE, decltype(&DeleteEnhMetaFile), &DeleteEnhMetaFile>>;

// Fonts added from memory with AddFontMemResourceEx.
using UniqueFontMemResource =
    UniqueHandle<NullInvalidTraits<HANDLE, decltype(&RemoveFontMemResourceEx), &RemoveFontMemResourceEx>>;

// A DC made by CreateCompatibleDC or CreateDC.
using UniqueMemoryDC = UniqueHandle<NullInvalidTraits<HDC, decltype(&DeleteDC), &DeleteDC>>;

// A window's DC from GetDC (or GetWindowDC), given back with ReleaseDC.
class WindowDC {
public:
    WindowDC() = default;
    explicit WindowDC(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    WindowDC(WindowDC&& other) noexcept : m_window(other.m_window), m_dc(other.m_dc) { other.m_dc = nullptr; }
    WindowDC& operator=(WindowDC&& other) noexcept;
    ~WindowDC() { reset(); }

    HDC get() const { return m_dc; }
    HWND window() const { return m_window; }
    explicit operator bool() const { return m_dc != nullptr; }
    void reset();

private:
    HWND m_window = nullptr;
    HDC m_dc = nullptr;
};

// Selects an object into a DC for one scope and puts the previous one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(dc && object ? SelectObject(dc, object) : nullptr) {}
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

// A 32-bit DIB section with its pixels.
class DibSection {
public:
    DibSection() = default;
    DibSection(HDC dc, int cx, int cy, bool topDown = true);
    DibSection(DibSection&& other) noexcept;
    DibSection& operator=(DibSection&& other) noexcept;

    HBITMAP get() const { return m_bitmap.get(); }
    DWORD* pixels() const { return m_pixels; }
    int width() const { return m_cx; }
    int height() const { return m_cy; }
    explicit operator bool() const { return m_pixels != nullptr; }
    void reset();

private:
    UniqueBitmap m_bitmap;
    DWORD* m_pixels = nullptr;
    int m_cx = 0;
    int m_cy = 0;
};

// A 32-bit DIB (top-down unless asked otherwise) selected into a memory DC of
// its own, for drawing that reads or writes the pixels afterwards. Moves keep
// the selection intact.
class MemoryDib {
public:
    MemoryDib() = default;
    MemoryDib(HDC compatible, int cx, int cy, bool topDown = true);
    MemoryDib(const MemoryDib&) = delete;
    MemoryDib& operator=(const MemoryDib&) = delete;
    MemoryDib(MemoryDib&& other) noexcept;
    MemoryDib& operator=(MemoryDib&& other) noexcept;
    ~MemoryDib() { reset(); }

    bool Ready() const { return m_old != nullptr; }
    HDC dc() const { return m_dc.get(); }
    HBITMAP bitmap() const { return m_dib.get(); }
    DWORD* pixels() const { return m_dib.pixels(); }
    int width() const { return m_dib.width(); }
    int height() const { return m_dib.height(); }
    // Frees the DC and the bitmap (the bitmap deselected first).
    void reset();

private:
    UniqueMemoryDC m_dc;
    DibSection m_dib;
    HGDIOBJ m_old = nullptr;
};

}  // namespace kvwin
