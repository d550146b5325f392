// Drawing primitives: filled and blended rectangles, gradients, lines,
// outlined and rounded rectangles, and rendering controls into bitmaps.
#include <algorithm>

#include "ui/core/ControlUI.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderBlend.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/RenderGdi.h"
#include "ui/core/RenderGdiplus.h"

namespace KvUI {
namespace {

using namespace Gdiplus::DllExports;

BYTE Channel(DWORD argb, int shift) { return static_cast<BYTE>((argb >> shift) & 0xFF); }

// One premultiplied pixel kept selected in a memory DC for the thread: a
// stretch of it fills any rectangle. Creating the DC, the DIB or a GDI+
// surface for every fill costs far more than the fill itself.
class SolidSource {
public:
    // The DC holding `premultiplied`, or null when it could not be made.
    HDC Holding(DWORD premultiplied) {
        if (!m_pixel.Ready()) return nullptr;
        GdiFlush();  // the last fill may still read the pixel
        *m_pixel.pixels() = premultiplied;
        return m_pixel.dc();
    }

private:
    MemoryDib m_pixel{nullptr, 1, 1};
};

DWORD Premultiplied(DWORD argb) {
    const DWORD a = argb >> 24;
    const auto scale = [a](DWORD c) { return (c * a + 127) / 255; };
    return (a << 24) | (scale((argb >> 16) & 0xFF) << 16) | (scale((argb >> 8) & 0xFF) << 8) | scale(argb & 0xFF);
}

// Source-over fill with a 0xAARRGGBB colour; opaque colours are copied, so
// the target's alpha byte becomes 255 as well.
void FillSolid(HDC dc, const RECT& rc, DWORD argb) {
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    if ((argb >> 24) == 0 || width <= 0 || height <= 0) return;
    thread_local SolidSource source;
    const HDC pixel = source.Holding(Premultiplied(argb));
    if (!pixel) return;
    if ((argb >> 24) == 255) {
        const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, rc.left, rc.top, width, height, pixel, 0, 0, 1, 1, SRCCOPY);
        if (oldMode) SetStretchBltMode(dc, oldMode);
        return;
    }
    BlendPremultiplied(dc, rc.left, rc.top, width, height, pixel, 0, 0, 1, 1, {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
}

void GradientBands(HDC dc, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps) {
    int shift = 1;
    if (steps >= 64) {
        shift = 6;
    } else if (steps >= 32) {
        shift = 5;
    } else if (steps >= 16) {
        shift = 4;
    } else if (steps >= 8) {
        shift = 3;
    } else if (steps >= 4) {
        shift = 2;
    }
    const int bands = 1 << shift;
    const int height = rc.bottom - rc.top;
    const int width = rc.right - rc.left;
    const COLORREF oldColor = GetDCBrushColor(dc);
    const HBRUSH brush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    for (int i = 0; i < bands; ++i) {
        auto mix = [&](int shiftBits) {
            const int value = (Channel(second, shiftBits) * (bands - i) + Channel(first, shiftBits) * i) >> shift;
            return static_cast<BYTE>(value);
        };
        RECT band = rc;
        if (vertical) {
            band.top = rc.bottom - (((i + 1) * height) >> shift);
            band.bottom = rc.bottom - ((i * height) >> shift);
        } else {
            band.left = rc.right - (((i + 1) * width) >> shift);
            band.right = rc.right - ((i * width) >> shift);
        }
        if (IsRectEmpty(&band)) continue;
        SetDCBrushColor(dc, RGB(mix(16), mix(8), mix(0)));
        FillRect(dc, &band, brush);
    }
    SetDCBrushColor(dc, oldColor);
}

void GradientFillRect(HDC dc, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps) {
    const GradientFillProc gradientFill = FindGradientFill();
    if (!gradientFill) {
        GradientBands(dc, rc, first, second, vertical, steps);
        return;
    }
    TRIVERTEX vertices[2] = {};
    const DWORD colors[2] = {first, second};
    const POINT corners[2] = {{rc.left, rc.top}, {rc.right, rc.bottom}};
    for (int i = 0; i < 2; ++i) {
        vertices[i].x = corners[i].x;
        vertices[i].y = corners[i].y;
        vertices[i].Red = static_cast<COLOR16>(Channel(colors[i], 16) << 8);
        vertices[i].Green = static_cast<COLOR16>(Channel(colors[i], 8) << 8);
        vertices[i].Blue = static_cast<COLOR16>(Channel(colors[i], 0) << 8);
        vertices[i].Alpha = 0xFF00;
    }
    GRADIENT_RECT mesh = {0, 1};
    gradientFill(dc, vertices, 2, &mesh, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

HBITMAP RenderToBitmap(CPaintManagerUI* manager, CControlUI* control, const RECT& rc, CControlUI* stopControl,
                       DWORD background) {
    if (!manager || !control) return nullptr;
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    if (rc.right <= 0 || rc.bottom <= 0 || width <= 0 || height <= 0) return nullptr;
    const HDC paintDC = manager->GetPaintDC();
    // The controls paint at their window positions, so the canvas spans the
    // window up to the rectangle's far corner; a 32-bit DIB keeps their alpha.
    const MemoryDib canvas(paintDC, rc.right, rc.bottom);
    if (!canvas.Ready()) return nullptr;
    control->Paint(canvas.dc(), rc, stopControl);

    BYTE* bits = nullptr;
    UniqueBitmap result(CRenderEngine::CreateARGB32Bitmap(paintDC, width, height, &bits));
    const UniqueMemoryDC copyDC(CreateCompatibleDC(paintDC));
    if (!result || !copyDC) return nullptr;
    {
        const ScopedSelect select(copyDC.get(), result.get());
        BitBlt(copyDC.get(), 0, 0, width, height, canvas.dc(), rc.left, rc.top, SRCCOPY);
        if (background >> 24) CRenderEngine::DrawColor(copyDC.get(), RECT{0, 0, width, height}, background);
    }
    GdiFlush();
    return static_cast<HBITMAP>(result.release());
}

}  // namespace

void CRenderEngine::DrawColor(HDC dc, const RECT& rc, DWORD color) {
    if (dc) FillSolid(dc, rc, color);
}

void CRenderEngine::DrawGradient(HDC dc, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps) {
    const DWORD alpha = ((first >> 24) + (second >> 24)) / 2;
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    if (alpha == 0 || !dc || width <= 0 || height <= 0) return;
    if (alpha == 255) {
        GradientFillRect(dc, rc, first, second, vertical, steps);
        return;
    }
    // Drawn opaque off screen, then laid over the target with the mean alpha.
    const MemoryDib offscreen(dc, width, height);
    if (!offscreen.Ready()) return;
    GradientFillRect(offscreen.dc(), RECT{0, 0, width, height}, first, second, vertical, steps);
    GdiFlush();
    DWORD* pixels = offscreen.pixels();
    for (size_t i = 0, n = static_cast<size_t>(width) * static_cast<size_t>(height); i < n; ++i) {
        pixels[i] |= 0xFF000000;
    }
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(alpha), AC_SRC_ALPHA};
    BlendPremultiplied(dc, rc.left, rc.top, width, height, offscreen.dc(), 0, 0, width, height, blend);
}

void CRenderEngine::DrawLine(HDC dc, const RECT& rc, int width, DWORD color, int style) {
    if (!dc) return;
    const UniquePen pen(CreatePen(style, width, ArgbToColorRef(color)));
    if (!pen) return;
    const ScopedSelect select(dc, pen.get());
    MoveToEx(dc, rc.left, rc.top, nullptr);
    LineTo(dc, rc.right, rc.bottom);
}

// An inset pen of `width` pixels, drawn as four solid bands inside the
// rectangle: the same pixels as an unsmoothed GDI+ outline at a fraction of
// the cost, and the bands never overlap, so a translucent colour blends once.
void CRenderEngine::DrawRect(HDC dc, const RECT& rc, int width, DWORD color) {
    if (!dc || rc.right <= rc.left || rc.bottom <= rc.top) return;
    const LONG pen = std::max(width, 1);
    const LONG top = std::min(rc.top + pen, rc.bottom);
    const LONG bottom = std::max(rc.bottom - pen, top);
    FillSolid(dc, RECT{rc.left, rc.top, rc.right, top}, color);
    FillSolid(dc, RECT{rc.left, bottom, rc.right, rc.bottom}, color);
    const LONG left = std::min(rc.left + pen, rc.right);
    const LONG right = std::max(rc.right - pen, left);
    FillSolid(dc, RECT{rc.left, top, left, bottom}, color);
    FillSolid(dc, RECT{right, top, rc.right, bottom}, color);
}

void CRenderEngine::DrawRoundRect(HDC dc, const RECT& rc, int penWidth, int cornerWidth, int /*cornerHeight*/,
                                  DWORD color) {
    DrawRoundRectPath(dc, static_cast<float>(rc.left), static_cast<float>(rc.top),
                      static_cast<float>(rc.right - rc.left - 1), static_cast<float>(rc.bottom - rc.top - 1),
                      static_cast<float>(cornerWidth), color, static_cast<float>(penWidth), false, 0);
}

void CRenderEngine::DrawRoundRectPath(HDC dc, float x, float y, float width, float height, float radius,
                                      DWORD color, float penWidth, bool fill, DWORD fillColor) {
    if (!dc) return;
    const GdipGraphicsPtr graphics = GdipGraphicsFor(dc);
    Gdiplus::GpPath* rawPath = nullptr;
    GdipCreatePath(Gdiplus::FillModeAlternate, &rawPath);
    const GdipPathPtr path(rawPath);
    if (!graphics || !path) return;
    GdipSetSmoothingMode(graphics.get(), Gdiplus::SmoothingModeHighQuality);
    const float r = radius / 2.0f;
    const float d = 2.0f * r;
    Gdiplus::GpPath* p = path.get();
    GdipAddPathLine(p, x + r, y, x + width - r, y);
    GdipAddPathArc(p, x + width - d, y, d, d, 270.0f, 90.0f);
    GdipAddPathLine(p, x + width, y + r, x + width, y + height - r);
    GdipAddPathArc(p, x + width - d, y + height - d, d, d, 0.0f, 90.0f);
    GdipAddPathLine(p, x + width - r, y + height, x + r, y + height);
    GdipAddPathArc(p, x, y + height - d, d, d, 90.0f, 90.0f);
    GdipAddPathLine(p, x, y + height - r, x, y + r);
    GdipAddPathArc(p, x, y, d, d, 180.0f, 90.0f);
    GdipClosePathFigure(p);
    if (const GdipPenPtr pen = GdipSolidPen(color, penWidth)) GdipDrawPath(graphics.get(), pen.get(), p);
    if (!fill) return;
    if (const GdipSolidFillPtr brush = GdipSolidBrush((fillColor >> 24) ? fillColor : color)) {
        GdipFillPath(graphics.get(), brush.get(), p);
    }
}

HBITMAP CRenderEngine::CreateARGB32Bitmap(HDC dc, int cx, int cy, BYTE** bits) {
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDib32(dc, cx, cy, false, &pixels);
    if (bits) *bits = static_cast<BYTE*>(pixels);
    return bitmap;
}

HBITMAP CRenderEngine::GenerateBitmap(CPaintManagerUI* manager, RECT rc, CControlUI* stopControl, DWORD background) {
    return RenderToBitmap(manager, manager ? manager->GetRoot() : nullptr, rc, stopControl, background);
}

HBITMAP CRenderEngine::GenerateBitmap2(CPaintManagerUI* manager, CControlUI* control, RECT rc, DWORD background) {
    return RenderToBitmap(manager, control, rc, nullptr, background);
}

}  // namespace KvUI
