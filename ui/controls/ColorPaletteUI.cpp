#include "ui/controls/ColorPaletteUI.h"

#include <algorithm>
#include <cwchar>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"

namespace KvUI {
namespace {

// The off-screen picture: the pallet in rows 1 to 200 (360 hues across,
// 200 lightness steps down), the bar from row 210 (200 saturation steps).
constexpr int kBitmapWidth = 400;
constexpr int kBitmapHeight = 360;
constexpr int kHues = 360;
constexpr int kSteps = 200;
constexpr int kPalletTop = 1;
constexpr int kBarTop = 210;
constexpr int kMaxBarHeight = 150;
constexpr int kThumbSize = 8;

float Channel(float p, float q, float t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (6 * t < 1) return p + (q - p) * 6 * t;
    if (2 * t < 1) return q;
    if (3 * t < 2) return p + (q - p) * (0.6666667f - t) * 6;
    return p;
}

// h, s, l in 0..1; the result as a COLORREF.
COLORREF HslToRgb(float h, float s, float l) {
    if (s == 0) {
        const auto grey = static_cast<BYTE>(l * 255);
        return RGB(grey, grey, grey);
    }
    const float q = l < 0.5f ? l * (1 + s) : l + s - l * s;
    const float p = 2 * l - q;
    const auto channel = [&](float t) { return static_cast<BYTE>(Channel(p, q, t) * 255); };
    return RGB(channel(h + 0.33333334f), channel(h), channel(h - 0.33333334f));
}

// a * b / c, 0 when c is 0 (a control or pallet squeezed to nothing).
int Scale(int a, int b, int c) { return c == 0 ? 0 : a * b / c; }

}  // namespace

CColorPaletteUI::CColorPaletteUI() = default;
CColorPaletteUI::~CColorPaletteUI() = default;

LPCTSTR CColorPaletteUI::GetClass() const { return L"ColorPaletteUI"; }

LPVOID CColorPaletteUI::GetInterface(LPCTSTR name) {
    if (name && wcscmp(name, L"ColorPalette") == 0) return static_cast<CColorPaletteUI*>(this);
    return CControlUI::GetInterface(name);
}

void CColorPaletteUI::DoInit() {
    if (!m_manager || m_bitmap.Ready()) return;
    m_bitmap = kvwin::MemoryDib(m_manager->GetPaintDC(), kBitmapWidth, kBitmapHeight);
    if (!m_bitmap.Ready()) return;
    UpdatePalletBitmap();
    UpdateBarBitmap();
}

void CColorPaletteUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    m_thumb.x = (m_itemRect.right - m_itemRect.left) * m_hue / kHues + m_itemRect.left;
    m_thumb.y = (kSteps - m_lightness) * m_palletHeight / kSteps + m_itemRect.top;
    UpdatePalletBitmap();
    UpdateBarBitmap();
}

DWORD CColorPaletteUI::GetSelectColor() const {
    const COLORREF rgb = HslToRgb(static_cast<float>(m_hue) / kHues, static_cast<float>(m_saturation) / kSteps,
                                  static_cast<float>(m_lightness) / kSteps);
    return 0xFF000000 | (GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb);
}

void CColorPaletteUI::SetPalletHeight(int height) {
    m_palletHeight = height;
    NeedUpdate();
}

void CColorPaletteUI::SetBarHeight(int height) {
    m_barHeight = std::clamp(height, 0, kMaxBarHeight);
    NeedUpdate();
}

void CColorPaletteUI::SetThumbImage(LPCTSTR image) {
    if (m_thumbImage == image) return;
    m_thumbImage = image;
    NeedUpdate();
}

void CColorPaletteUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (!name || !value) return;
    if (wcscmp(name, L"palletheight") == 0) {
        SetPalletHeight(attribute::Int(value));
    } else if (wcscmp(name, L"barheight") == 0) {
        SetBarHeight(attribute::Int(value));
    } else if (wcscmp(name, L"thumbimage") == 0) {
        SetThumbImage(value);
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

bool CColorPaletteUI::InPallet(POINT pt) const {
    const RECT& rc = m_itemRect;
    return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.top + m_palletHeight;
}

bool CColorPaletteUI::InBar(POINT pt) const {
    const RECT& rc = m_itemRect;
    return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.bottom - m_barHeight && pt.y < rc.bottom;
}

void CColorPaletteUI::PickInPallet(POINT pt) {
    const RECT& rc = m_itemRect;
    m_hue = std::clamp(Scale(pt.x - rc.left, kHues, rc.right - rc.left), 0, kHues);
    const int v = std::clamp(Scale(pt.y - rc.top, kSteps, m_palletHeight), 0, kSteps);
    m_thumb.x = std::clamp<LONG>(pt.x, rc.left, rc.right);
    m_thumb.y = std::clamp<LONG>(pt.y, rc.top, rc.top + m_palletHeight);
    m_lightness = kSteps - v;
    UpdateBarBitmap();
}

void CColorPaletteUI::PickSaturation(int x) {
    m_saturation = std::clamp(Scale(x - m_itemRect.left, kSteps, m_itemRect.right - m_itemRect.left), 0, kSteps);
    UpdatePalletBitmap();
}

void CColorPaletteUI::DoEvent(TUIEvent& event) {
    CControlUI::DoEvent(event);
    const POINT pt = event.mousePoint;
    switch (event.type) {
    case EventButtonDown:
        if (InPallet(pt)) {
            m_state |= StatePushed;
            m_draggingPallet = true;
            m_draggingBar = false;
            PickInPallet(pt);
        } else if (InBar(pt)) {
            m_state |= StatePushed;
            m_draggingBar = true;
            m_draggingPallet = false;
            PickSaturation(pt.x);
        }
        break;
    case EventButtonUp:
        if (IsEnabled() && m_manager) m_manager->SendNotify(this, L"colorchanged", GetSelectColor(), 0);
        m_state &= ~StatePushed;
        m_draggingPallet = m_draggingBar = false;
        break;
    case EventMouseMove:
        if (!(m_state & StatePushed)) m_draggingPallet = m_draggingBar = false;
        if (m_draggingPallet) {
            const int dx = pt.x - m_itemRect.left;
            const int dy = pt.y - m_itemRect.top;
            if (dx >= 0 && dx <= m_itemRect.right - m_itemRect.left && dy >= 0 && dy <= m_palletHeight) {
                PickInPallet(pt);
            }
        }
        if (m_draggingBar) PickSaturation(pt.x);
        break;
    default:
        return;
    }
    Invalidate();
}

void CColorPaletteUI::PaintBkColor(HDC dc) { PaintPallet(dc); }

void CColorPaletteUI::PaintPallet(HDC dc) {
    if (!m_bitmap.Ready()) return;
    const RECT& rc = m_itemRect;
    const int width = rc.right - rc.left;
    const int saved = SaveDC(dc);
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, rc.left, rc.top, width, m_palletHeight, m_bitmap.dc(), 0, kPalletTop, kHues, kSteps, SRCCOPY);
    StretchBlt(dc, rc.left, rc.bottom - m_barHeight, width, m_barHeight, m_bitmap.dc(), 0, kBarTop, kSteps,
               m_barHeight, SRCCOPY);
    if (!m_thumbImage.IsEmpty()) {
        const auto drawThumb = [&](int x, int y) {
            const RECT thumb = {x - kThumbSize / 2, y - kThumbSize / 2, x + kThumbSize / 2, y + kThumbSize / 2};
            CRenderEngine::DrawImageString(dc, m_manager, thumb, m_paintRect, m_thumbImage);
        };
        drawThumb(m_thumb.x, m_thumb.y);
        drawThumb(rc.left + width * m_saturation / kSteps, rc.bottom - m_barHeight / 2);
    }
    RestoreDC(dc, saved);
}

void CColorPaletteUI::PutPixel(int row, int column, COLORREF color) {
    // Pure black is never stored.
    if ((color & 0x00FFFFFF) == 0) color = RGB(1, 0, 0);
    m_bitmap.pixels()[row * kBitmapWidth + column] = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

void CColorPaletteUI::UpdatePalletBitmap() {
    if (!m_bitmap.Ready()) return;
    GdiFlush();
    const float s = static_cast<float>(m_saturation) / kSteps;
    for (int i = 0; i < kSteps; ++i) {
        const float l = static_cast<float>(i) / kSteps;
        for (int j = 0; j < kHues; ++j) {
            PutPixel(kPalletTop + kSteps - 1 - i, j, HslToRgb(static_cast<float>(j) / kHues, s, l));
        }
    }
}

void CColorPaletteUI::UpdateBarBitmap() {
    if (!m_bitmap.Ready()) return;
    GdiFlush();
    const float h = static_cast<float>(m_hue) / kHues;
    const float l = static_cast<float>(m_lightness) / kSteps;
    for (int j = 0; j < kSteps; ++j) {
        const COLORREF color = HslToRgb(h, static_cast<float>(j) / kSteps, l);
        for (int row = kBarTop; row < kBarTop + m_barHeight; ++row) PutPixel(row, j, color);
    }
}

}  // namespace KvUI
