#include "ui/core/RenderClip.h"

namespace KvUI {
namespace {

// The DC's own clip region (null when it has none). Keeping the region itself,
// not its bounding box, lets a nested clip give back exactly what it found.
UniqueRegion CurrentClipRegion(HDC dc) {
    UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    if (region && GetClipRgn(dc, region.get()) != 1) region.reset();
    return region;
}

}  // namespace

void CRenderClip::Restore() {
    if (!m_dc) return;
    SelectClipRgn(m_dc, m_oldRegion.get());
    m_region.reset();
    m_oldRegion.reset();
    m_dc = nullptr;
}

void CRenderClip::GenerateClip(HDC dc, const RECT& rc, CRenderClip& clip) {
    clip.Restore();
    if (!dc) return;
    clip.m_oldRegion = CurrentClipRegion(dc);
    // Logical coordinates, so a moved window origin (printing) clips the right place.
    IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
    clip.m_region = CurrentClipRegion(dc);
    clip.m_dc = dc;
}

void CRenderClip::GenerateRoundClip(HDC dc, const RECT& rc, const RECT& roundRect, int width, int height,
                                    CRenderClip& clip) {
    GenerateClip(dc, rc, clip);
    if (!dc) return;
    UniqueRegion round(
        CreateRoundRectRgn(roundRect.left, roundRect.top, roundRect.right + 1, roundRect.bottom + 1, width, height));
    if (!round) return;
    // Regions given to ExtSelectClipRgn are in device units.
    POINT origin = {0, 0};
    LPtoDP(dc, &origin, 1);
    OffsetRgn(round.get(), origin.x, origin.y);
    ExtSelectClipRgn(dc, round.get(), RGN_AND);
    clip.m_region = CurrentClipRegion(dc);
}

void CRenderClip::UseOldClipBegin(HDC dc, CRenderClip& clip) { SelectClipRgn(dc, clip.m_oldRegion.get()); }

void CRenderClip::UseOldClipEnd(HDC dc, CRenderClip& clip) { SelectClipRgn(dc, clip.m_region.get()); }

}  // namespace KvUI
