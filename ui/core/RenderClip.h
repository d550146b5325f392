#pragma once
// Narrows a device context's clipping for one painting step and puts the
// previous clipping back when the step ends.
#include <windows.h>

#include "ui/core/RenderGdi.h"

namespace KvUI {

class CRenderClip {
public:
    CRenderClip() = default;
    CRenderClip(const CRenderClip&) = delete;
    CRenderClip& operator=(const CRenderClip&) = delete;
    ~CRenderClip() { Restore(); }

    static void GenerateClip(HDC dc, const RECT& rc, CRenderClip& clip);
    // The rectangle clip further cut to a rounded rectangle with corners of width x height.
    static void GenerateRoundClip(HDC dc, const RECT& rc, const RECT& roundRect, int width, int height,
                                  CRenderClip& clip);
    // Lets a painting step draw outside the clip for a moment (child windows, pop-ups).
    static void UseOldClipBegin(HDC dc, CRenderClip& clip);
    static void UseOldClipEnd(HDC dc, CRenderClip& clip);

private:
    void Restore();

    HDC m_dc = nullptr;
    UniqueRegion m_region;     // the clip while the step paints
    UniqueRegion m_oldRegion;  // the clip before; empty when the DC had none
};

}  // namespace KvUI
