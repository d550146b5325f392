// Plain text: GDI for ordinary windows, GDI+ for layered windows (GDI leaves
// no alpha) and for windows that ask for GDI+ text.
#include <cwchar>

#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/RenderGdi.h"
#include "ui/core/RenderGdiplus.h"

namespace KvUI {
namespace {

using namespace Gdiplus::DllExports;

// "&#xHHHH" names one character by its code; up to four characters follow the
// marker, then an optional blank and ";" are dropped. 0 when nothing parses.
wchar_t CharacterReference(LPCTSTR marker) {
    wchar_t digits[5] = {};
    LPCTSTR p = marker + 3;
    int n = 0;
    while (n < 4 && p[n]) {
        digits[n] = p[n];
        ++n;
    }
    if (n > 0 && digits[n - 1] == L' ') digits[--n] = 0;
    if (n > 0 && digits[n - 1] == L';') digits[--n] = 0;
    return static_cast<wchar_t>(wcstoul(digits, nullptr, 16));
}

void DrawTextGdi(HDC dc, CPaintManagerUI* manager, RECT& rc, LPCTSTR text, DWORD color, int font, UINT style) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ArgbToColorRef(color));
    const ScopedSelect select(dc, manager->GetFont(font));
    if (LPCTSTR marker = wcsstr(text, L"&#x")) {
        const wchar_t ch = CharacterReference(marker);
        if (ch) ::DrawTextW(dc, &ch, 1, &rc, style);
        return;
    }
    ::DrawTextW(dc, text, -1, &rc, style);
}

Gdiplus::StringAlignment Alignment(UINT style, UINT centreFlag, UINT farFlag) {
    if (style & centreFlag) return Gdiplus::StringAlignmentCenter;
    if (style & farFlag) return Gdiplus::StringAlignmentFar;
    return Gdiplus::StringAlignmentNear;
}

void DrawTextGdiplus(HDC dc, CPaintManagerUI* manager, RECT& rc, LPCTSTR text, DWORD color, int font,
                     UINT style) {
    const GdipGraphicsPtr graphics = GdipGraphicsFor(dc);
    LOGFONTW description = {};
    GetObjectW(manager->GetFont(font), sizeof(description), &description);
    Gdiplus::GpFont* rawFont = nullptr;
    GdipCreateFontFromLogfontW(dc, &description, &rawFont);
    const GdipFontPtr gpFont(rawFont);
    Gdiplus::GpStringFormat* generic = nullptr;
    Gdiplus::GpStringFormat* rawFormat = nullptr;
    if (GdipStringFormatGetGenericTypographic(&generic) == Gdiplus::Ok) GdipCloneStringFormat(generic, &rawFormat);
    const GdipStringFormatPtr format(rawFormat);
    if (!graphics || !gpFont || !format) return;

    const int hint = manager->GetGdiplusTextRenderingHint();
    GdipSetTextRenderingHint(graphics.get(),
                             static_cast<Gdiplus::TextRenderingHint>(hint >= 0 && hint <= 5 ? hint : 0));
    GdipSetSmoothingMode(graphics.get(), Gdiplus::SmoothingModeHighQuality);
    GdipSetInterpolationMode(graphics.get(), Gdiplus::InterpolationModeHighQualityBicubic);
    if (style & DT_END_ELLIPSIS) GdipSetStringFormatTrimming(format.get(), Gdiplus::StringTrimmingEllipsisCharacter);
    INT flags = 0;
    if (style & DT_NOCLIP) flags |= Gdiplus::StringFormatFlagsNoClip;
    if (style & DT_SINGLELINE) flags |= Gdiplus::StringFormatFlagsNoWrap;
    GdipSetStringFormatFlags(format.get(), flags);
    GdipSetStringFormatAlign(format.get(), Alignment(style, DT_CENTER, DT_RIGHT));
    GdipSetStringFormatLineAlign(format.get(), Alignment(style, DT_VCENTER, DT_BOTTOM));

    const Gdiplus::RectF layout(static_cast<float>(rc.left), static_cast<float>(rc.top),
                                static_cast<float>(rc.right - rc.left), static_cast<float>(rc.bottom - rc.top));
    if (style & DT_CALCRECT) {
        Gdiplus::RectF bounds;
        GdipMeasureString(graphics.get(), text, -1, gpFont.get(), &layout, format.get(), &bounds, nullptr, nullptr);
        rc.right = rc.left + static_cast<LONG>(bounds.Width + 1.0f);
        rc.bottom = rc.top + static_cast<LONG>(bounds.Height + 1.0f);
        return;
    }
    // Alpha 254, not 255: GDI+ then blends anti-aliased glyphs instead of
    // taking its ClearType path, which needs an opaque brush and leaves no
    // usable alpha in layered windows.
    const GdipSolidFillPtr brush = GdipSolidBrush((color & 0x00FFFFFF) | 0xFE000000);
    if (brush) GdipDrawString(graphics.get(), text, -1, gpFont.get(), &layout, format.get(), brush.get());
}

}  // namespace

void CRenderEngine::DrawText(HDC dc, CPaintManagerUI* manager, RECT& rc, LPCTSTR text, DWORD color, int font,
                             UINT style) {
    if (!text || !manager || !dc) return;
    if (!manager->IsLayered() && !manager->IsUseGdiplusText()) {
        DrawTextGdi(dc, manager, rc, text, color, font, style);
    } else {
        DrawTextGdiplus(dc, manager, rc, text, color, font, style);
    }
}

void CRenderEngine::DrawTextWithColor(HDC dc, CPaintManagerUI* manager, RECT& rc, LPCTSTR text, DWORD color,
                                      int font, UINT style, DWORD background) {
    DrawColor(dc, rc, background);
    DrawText(dc, manager, rc, text, color, font, style);
}

SIZE CRenderEngine::GetTextSize(HDC dc, CPaintManagerUI* manager, LPCTSTR text, int font) {
    SIZE size = {0, 0};
    if (!text || !manager || !dc) return size;
    const ScopedSelect select(dc, manager->GetFont(font));
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    return size;
}

}  // namespace KvUI
