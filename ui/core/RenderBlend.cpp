#include "ui/core/RenderBlend.h"

#include <algorithm>

#include "ui/core/RenderGdi.h"

namespace KvUI {
namespace {

using AlphaBlendProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);

bool g_msimg32Ignored = false;

// Looked up until found, then kept: a process that draws before its first
// paint manager has loaded msimg32 still gets the real functions afterwards.
template <class Proc>
Proc FindMsimg32(Proc& cached, const char* name) {
    if (!cached) {
        if (HMODULE module = GetModuleHandleW(L"msimg32.dll")) {
            cached = reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
        }
    }
    return g_msimg32Ignored ? nullptr : cached;
}

AlphaBlendProc FindAlphaBlend() {
    static AlphaBlendProc proc = nullptr;
    return FindMsimg32(proc, "AlphaBlend");
}

// x / 255 rounded to nearest, for x in 0..255*255.
inline unsigned Div255(unsigned x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// The same result AlphaBlend gives: the source is premultiplied, so each
// channel is scaled by the constant alpha only and the destination keeps
// (1 - effective source alpha) of itself; the alpha byte is blended the same
// way. False when a DC or DIB cannot be made.
bool BuiltInAlphaBlend(HDC dest, int x, int y, int cx, int cy, HDC source, int sx, int sy, int scx, int scy,
                       BLENDFUNCTION blend) {
    if (cx <= 0 || cy <= 0 || scx <= 0 || scy <= 0) return false;
    const MemoryDib src(dest, cx, cy);
    const MemoryDib dst(dest, cx, cy);
    if (!src.Ready() || !dst.Ready()) return false;
    // A plain pixel copy when stretching, so the alpha bytes travel with the colours.
    SetStretchBltMode(src.dc(), COLORONCOLOR);
    if (!StretchBlt(src.dc(), 0, 0, cx, cy, source, sx, sy, scx, scy, SRCCOPY)) return false;
    if (!BitBlt(dst.dc(), 0, 0, cx, cy, dest, x, y, SRCCOPY)) return false;
    GdiFlush();

    const unsigned constant = blend.SourceConstantAlpha;
    const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
    const size_t count = static_cast<size_t>(cx) * static_cast<size_t>(cy);
    for (size_t i = 0; i < count; ++i) {
        const DWORD s = src.pixels()[i];
        const DWORD d = dst.pixels()[i];
        const unsigned sourceAlpha = Div255((perPixel ? (s >> 24) : 255u) * constant);
        const unsigned keep = 255 - sourceAlpha;
        DWORD out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const unsigned sc = shift == 24 ? sourceAlpha : Div255(((s >> shift) & 0xFF) * constant);
            const unsigned dc = (d >> shift) & 0xFF;
            out |= static_cast<DWORD>(std::min(255u, sc + Div255(dc * keep))) << shift;
        }
        dst.pixels()[i] = out;
    }
    return BitBlt(dest, x, y, cx, cy, dst.dc(), 0, 0, SRCCOPY) != FALSE;
}

}  // namespace

void SetMsimg32Ignored(bool ignored) { g_msimg32Ignored = ignored; }

GradientFillProc FindGradientFill() {
    static GradientFillProc proc = nullptr;
    return FindMsimg32(proc, "GradientFill");
}

bool BlendPremultiplied(HDC dest, int x, int y, int cx, int cy, HDC source, int sx, int sy, int scx, int scy,
                        BLENDFUNCTION blend) {
    if (AlphaBlendProc alphaBlend = FindAlphaBlend()) {
        return alphaBlend(dest, x, y, cx, cy, source, sx, sy, scx, scy, blend) != FALSE;
    }
    return BuiltInAlphaBlend(dest, x, y, cx, cy, source, sx, sy, scx, scy, blend);
}

}  // namespace KvUI
