#pragma once
// msimg32's AlphaBlend and GradientFill as the render engine uses them: taken
// from the module the process has already loaded (the first paint manager
// loads it), with built-in drawing in their place when it is missing.
#include <windows.h>

namespace KvUI {

using GradientFillProc = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// Source-over blend of premultiplied pixels; msimg32's when present, else built in.
bool BlendPremultiplied(HDC dest, int x, int y, int cx, int cy, HDC source, int sx, int sy, int scx, int scy,
                        BLENDFUNCTION blend);
// msimg32's GradientFill, or null.
GradientFillProc FindGradientFill();

// Tests only: draw as if msimg32 were missing.
void SetMsimg32Ignored(bool ignored);

}  // namespace KvUI
