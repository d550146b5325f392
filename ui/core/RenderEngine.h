#pragma once
// The drawing routines every control, the paint manager and the shadow window
// use: images with nine-grid, tiling and fade; colours, gradients, lines and
// rectangles; plain text and text in the library's mini-markup.
#include <windows.h>

#include <memory>

#include "ui/core/ImageInfo.h"
#include "ui/core/UIString.h"

namespace Gdiplus {
class GpImage;
}

namespace KvUI {

class CPaintManagerUI;
class CControlUI;

// A GDI+ image with several frames, as the animation controls step through it.
struct GdiplusImageDeleter {
    void operator()(Gdiplus::GpImage* image) const;
};
using GdiplusImagePtr = std::unique_ptr<Gdiplus::GpImage, GdiplusImageDeleter>;

class CRenderEngine {
public:
    CRenderEngine() = delete;

    // Images. `name` may also be a resource id made with MAKEINTRESOURCE.
    static TImageInfo* LoadImage(LPCTSTR name, LPCTSTR type = nullptr, DWORD mask = 0,
                                 HINSTANCE instance = nullptr);
    static TImageInfo* LoadImageFromString(LPCTSTR name, LPCTSTR type = nullptr, DWORD mask = 0,
                                           HINSTANCE instance = nullptr);
    static TImageInfo* LoadImageById(UINT id, LPCTSTR type = nullptr, DWORD mask = 0,
                                     HINSTANCE instance = nullptr);
    static void FreeImage(TImageInfo* image, bool deleteRecord = true);
    static GdiplusImagePtr LoadGifImage(LPCTSTR drawString);

    static void DrawImage(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& paint, const RECT& source,
                          const RECT& corner, bool alpha, BYTE fade = 255, bool hole = false,
                          bool xtiled = false, bool ytiled = false);
    static bool DrawImageByName(HDC dc, CPaintManagerUI* manager, const RECT& item, const RECT& paint,
                                LPCTSTR name, LPCTSTR resType, RECT dest, RECT source, RECT corner,
                                DWORD mask, BYTE fade, bool hole, bool xtiled, bool ytiled,
                                HINSTANCE instance = nullptr);
    static bool DrawImageInfo(HDC dc, CPaintManagerUI* manager, const RECT& item, const RECT& paint,
                              const TImageDrawSpec* spec, HINSTANCE instance = nullptr);
    static bool DrawImageString(HDC dc, CPaintManagerUI* manager, const RECT& item, const RECT& paint,
                                LPCTSTR drawString, LPCTSTR modifyString = nullptr,
                                HINSTANCE instance = nullptr);

    // Hue in degrees, saturation and lightness in 0..1; red is byte 2 of the colour.
    static DWORD AdjustHsl(DWORD color, short h, short s, short l);
    static void AdjustImage(bool useHsl, TImageInfo* image, short h, short s, short l);
    static void RgbToHsl(DWORD argb, float* h, float* s, float* l);
    static void HslToRgb(DWORD* argb, float h, float s, float l);

    // Primitives. Colours are 0xAARRGGBB.
    static void DrawColor(HDC dc, const RECT& rc, DWORD color);
    static void DrawGradient(HDC dc, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps);
    static void DrawLine(HDC dc, const RECT& rc, int width, DWORD color, int style = PS_SOLID);
    static void DrawRect(HDC dc, const RECT& rc, int width, DWORD color);
    static void DrawRoundRect(HDC dc, const RECT& rc, int penWidth, int cornerWidth, int cornerHeight,
                              DWORD color);
    static void DrawRoundRectPath(HDC dc, float x, float y, float width, float height, float radius,
                                  DWORD color, float penWidth, bool fill = false, DWORD fillColor = 0);

    // Text. `style` takes the DT_* flags; with DT_CALCRECT `rc` receives the text's extent.
    static void DrawText(HDC dc, CPaintManagerUI* manager, RECT& rc, LPCTSTR text, DWORD color, int font,
                         UINT style);
    static void DrawTextWithColor(HDC dc, CPaintManagerUI* manager, RECT& rc, LPCTSTR text, DWORD color,
                                  int font, UINT style, DWORD background);
    // Mini-markup. `linkCount` is the capacity of both arrays on entry and the
    // number of links found on return.
    static void DrawHtmlText(HDC dc, CPaintManagerUI* manager, RECT& rc, LPCTSTR text, DWORD color,
                             RECT* linkRects, CUIString* linkTexts, int& linkCount, int font, UINT style);
    static SIZE GetTextSize(HDC dc, CPaintManagerUI* manager, LPCTSTR text, int font);
    // Black of any alpha gets 1 added, so it stays apart from an unset colour.
    static DWORD AdjustColor(DWORD color);

    // Bitmaps. Both Generate functions return a bitmap the caller deletes.
    static HBITMAP CreateARGB32Bitmap(HDC dc, int cx, int cy, BYTE** bits);
    static HBITMAP GenerateBitmap(CPaintManagerUI* manager, RECT rc, CControlUI* stopControl = nullptr,
                                  DWORD background = 0);
    static HBITMAP GenerateBitmap2(CPaintManagerUI* manager, CControlUI* control, RECT rc,
                                   DWORD background = 0);
};

// The text in `codePage`, zero-terminated with one spare zero byte; null for
// null text or when the conversion or allocation fails.
std::unique_ptr<char[]> WideToMultiByte(LPCWSTR text, UINT codePage = CP_ACP);

}  // namespace KvUI
