// Colour adjustment: the window-wide hue, saturation and lightness shift that
// images and colours marked for it follow.
#include <algorithm>
#include <cstring>

#include "ui/core/RenderEngine.h"

namespace KvUI {
namespace {

float HueToChannel(float p, float q, float t) {
    if (t < 0.0f) t += 1.0f;
    if (t > 1.0f) t -= 1.0f;
    if (6.0f * t < 1.0f) return p + (q - p) * 6.0f * t;
    if (2.0f * t < 1.0f) return q;
    if (3.0f * t < 2.0f) return p + (q - p) * (2.0f / 3.0f - t) * 6.0f;
    return p;
}

DWORD ToByte(float channel) { return static_cast<DWORD>(std::clamp(channel * 255.0f, 0.0f, 255.0f)); }

bool IsNeutral(short h, short s, short l) { return h == 180 && s == 100 && l == 100; }

}  // namespace

void CRenderEngine::RgbToHsl(DWORD argb, float* h, float* s, float* l) {
    const float r = static_cast<float>((argb >> 16) & 0xFF) / 255.0f;
    const float g = static_cast<float>((argb >> 8) & 0xFF) / 255.0f;
    const float b = static_cast<float>(argb & 0xFF) / 255.0f;
    const float max = std::max({r, g, b});
    const float min = std::min({r, g, b});
    *l = (max + min) / 2.0f;
    if (max == min) {
        *h = 0.0f;
        *s = 0.0f;
        return;
    }
    const float delta = max - min;
    *s = 2.0f * *l <= 1.0f ? delta / (max + min) : delta / (2.0f - max - min);
    float hue;
    if (r == min) {
        hue = 3.0f - (g - b) / delta;
    } else if (g == min) {
        hue = 5.0f - (b - r) / delta;
    } else {
        hue = 1.0f - (r - g) / delta;
    }
    if (hue >= 6.0f) hue -= 6.0f;
    *h = hue * 60.0f;
}

void CRenderEngine::HslToRgb(DWORD* argb, float h, float s, float l) {
    const float q = 2.0f * l < 1.0f ? l * (1.0f + s) : l + s - l * s;
    const float p = 2.0f * l - q;
    const float hk = h / 360.0f;
    const DWORD r = ToByte(HueToChannel(p, q, hk + 1.0f / 3.0f));
    const DWORD g = ToByte(HueToChannel(p, q, hk));
    const DWORD b = ToByte(HueToChannel(p, q, hk - 1.0f / 3.0f));
    *argb = (*argb & 0xFF000000) | (r << 16) | (g << 8) | b;
}

DWORD CRenderEngine::AdjustHsl(DWORD color, short h, short s, short l) {
    if (IsNeutral(h, s, l)) return color;
    float hue = 0.0f;
    float saturation = 0.0f;
    float lightness = 0.0f;
    RgbToHsl(color, &hue, &saturation, &lightness);
    hue += static_cast<float>(h - 180);
    if (hue <= 0.0f) hue += 360.0f;
    saturation = saturation * static_cast<float>(s) / 100.0f;
    lightness = lightness * static_cast<float>(l) / 100.0f;
    HslToRgb(&color, hue, saturation, lightness);
    return color;
}

void CRenderEngine::AdjustImage(bool useHsl, TImageInfo* image, short h, short s, short l) {
    if (!image || !image->useHsl || !image->bitmap) return;
    const size_t size = static_cast<size_t>(image->width) * static_cast<size_t>(image->height) * 4;
    if (image->sourcePixels.size() != size || image->pixels.size() != size) return;
    if (!useHsl || IsNeutral(h, s, l)) {
        image->pixels = image->sourcePixels;
    } else {
        const BYTE* src = image->sourcePixels.data();
        BYTE* dest = image->pixels.data();
        for (size_t i = 0; i < size; i += 4) {
            DWORD pixel = static_cast<DWORD>(src[i]) | static_cast<DWORD>(src[i + 1]) << 8 |
                          static_cast<DWORD>(src[i + 2]) << 16 | static_cast<DWORD>(src[i + 3]) << 24;
            pixel = AdjustHsl(pixel, h, s, l);
            dest[i] = static_cast<BYTE>(pixel);
            dest[i + 1] = static_cast<BYTE>(pixel >> 8);
            dest[i + 2] = static_cast<BYTE>(pixel >> 16);
            dest[i + 3] = static_cast<BYTE>(pixel >> 24);
        }
    }
    // The drawn bitmap shows the adjusted pixels.
    DIBSECTION section = {};
    if (GetObjectW(image->bitmap, sizeof(section), &section) == sizeof(section) && section.dsBm.bmBits &&
        section.dsBm.bmBitsPixel == 32) {
        GdiFlush();
        memcpy(section.dsBm.bmBits, image->pixels.data(), size);
    }
}

DWORD CRenderEngine::AdjustColor(DWORD color) {
    return (color & 0x00FFFFFF) == 0 ? color + 1 : color;
}

}  // namespace KvUI
