#pragma once
// What the render tests share: an off-screen 32-bit canvas whose pixels can be
// read back, image files made by ImageMagick from exact RGBA bytes, and a
// hidden window with a paint manager for the routines that need one.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderGdi.h"

namespace rendertest {

// The header of a top-down 32-bit BI_RGB bitmap.
BITMAPINFO TopDown32(int width, int height);

// A top-down 32-bit DIB section selected into a memory DC.
class Canvas {
public:
    Canvas(int width, int height, DWORD fill = 0xFF000000);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas();

    HDC dc() const { return m_dc.get(); }
    int width() const { return m_width; }
    int height() const { return m_height; }
    RECT rect() const { return RECT{0, 0, m_width, m_height}; }
    void Fill(DWORD argb);
    DWORD Pixel(int x, int y) const;
    // Pixels of the rectangle that differ from `argb`.
    int CountNot(const RECT& rc, DWORD argb) const;
    int CountWhere(const RECT& rc, bool (*test)(DWORD)) const;

private:
    int m_width;
    int m_height;
    KvUI::UniqueMemoryDC m_dc;
    KvUI::UniqueBitmap m_bitmap;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};

// A bitmap of premultiplied BGRA pixels given row by row from the top, as the
// image loader makes them.
KvUI::UniqueBitmap MakeBitmap(int width, int height, const std::vector<DWORD>& argb);

// Writes `rgba` (4 bytes a pixel, rows from the top) as an image file through
// ImageMagick; `format` is its output prefix, e.g. "png32", "bmp3", "jpg", "gif".
// Returns the Unix path of the file.
std::string MakeImageFile(const std::string& name, int width, int height, const std::vector<BYTE>& rgba,
                          const std::string& format = "png32");
std::vector<BYTE> Rgba(const std::vector<DWORD>& argbPixels);

// Pixels of a width x height image, rows from the top, coloured by `at(x, y)`.
template <class At>
std::vector<DWORD> PixelGrid(int width, int height, At at) {
    std::vector<DWORD> px;
    px.reserve(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) px.push_back(at(x, y));
    }
    return px;
}

// A 6x6 image whose nine parts (2-pixel corners) each have their own colour:
// row r, column c of the grid has colour kNineGrid[r * 3 + c].
inline constexpr DWORD kNineGrid[9] = {0xFF100000, 0xFF200000, 0xFF300000, 0xFF001000, 0xFF002000,
                                       0xFF003000, 0xFF000010, 0xFF000020, 0xFF000030};
inline std::vector<DWORD> NineGridPixels() {
    return PixelGrid(6, 6, [](int x, int y) { return kNineGrid[(y / 2) * 3 + x / 2]; });
}

// Byte accessors of 0xAARRGGBB.
inline int A(DWORD c) { return static_cast<int>(c >> 24); }
inline int R(DWORD c) { return static_cast<int>((c >> 16) & 0xFF); }
inline int G(DWORD c) { return static_cast<int>((c >> 8) & 0xFF); }
inline int B(DWORD c) { return static_cast<int>(c & 0xFF); }

// A hidden top-level window with a bound paint manager whose resource folder
// is the given Windows folder.
class ManagedWindow {
public:
    explicit ManagedWindow(const std::wstring& resourceFolder = {});
    ManagedWindow(const ManagedWindow&) = delete;
    ManagedWindow& operator=(const ManagedWindow&) = delete;
    ~ManagedWindow();

    KvUI::CPaintManagerUI& manager() { return *m_manager; }
    HWND hwnd() const { return m_hwnd; }

private:
    HWND m_hwnd = nullptr;
    std::unique_ptr<KvUI::CPaintManagerUI> m_manager;
};

}  // namespace rendertest
