#pragma once
// Owners for the GDI+ objects (flat interface) the render engine draws with.
#include <windows.h>

#include <gdiplus.h>

#include <memory>

namespace KvUI {

template <class T, class Base, Gdiplus::GpStatus(WINAPI* Free)(Base*)>
struct GdipDeleter {
    void operator()(T* object) const { Free(object); }
};

using GdipGraphicsPtr =
    std::unique_ptr<Gdiplus::GpGraphics,
                    GdipDeleter<Gdiplus::GpGraphics, Gdiplus::GpGraphics, Gdiplus::DllExports::GdipDeleteGraphics>>;
using GdipSolidFillPtr =
    std::unique_ptr<Gdiplus::GpSolidFill,
                    GdipDeleter<Gdiplus::GpSolidFill, Gdiplus::GpBrush, Gdiplus::DllExports::GdipDeleteBrush>>;
using GdipPenPtr =
    std::unique_ptr<Gdiplus::GpPen, GdipDeleter<Gdiplus::GpPen, Gdiplus::GpPen, Gdiplus::DllExports::GdipDeletePen>>;
using GdipPathPtr =
    std::unique_ptr<Gdiplus::GpPath, GdipDeleter<Gdiplus::GpPath, Gdiplus::GpPath, Gdiplus::DllExports::GdipDeletePath>>;
using GdipFontPtr =
    std::unique_ptr<Gdiplus::GpFont, GdipDeleter<Gdiplus::GpFont, Gdiplus::GpFont, Gdiplus::DllExports::GdipDeleteFont>>;
using GdipStringFormatPtr =
    std::unique_ptr<Gdiplus::GpStringFormat, GdipDeleter<Gdiplus::GpStringFormat, Gdiplus::GpStringFormat,
                                                         Gdiplus::DllExports::GdipDeleteStringFormat>>;

inline GdipGraphicsPtr GdipGraphicsFor(HDC dc) {
    Gdiplus::GpGraphics* graphics = nullptr;
    Gdiplus::DllExports::GdipCreateFromHDC(dc, &graphics);
    return GdipGraphicsPtr(graphics);
}

inline GdipSolidFillPtr GdipSolidBrush(DWORD argb) {
    Gdiplus::GpSolidFill* brush = nullptr;
    Gdiplus::DllExports::GdipCreateSolidFill(argb, &brush);
    return GdipSolidFillPtr(brush);
}

inline GdipPenPtr GdipSolidPen(DWORD argb, float width) {
    Gdiplus::GpPen* pen = nullptr;
    Gdiplus::DllExports::GdipCreatePen1(argb, width, Gdiplus::UnitWorld, &pen);
    return GdipPenPtr(pen);
}

}  // namespace KvUI
