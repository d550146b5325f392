// Drawing images: the nine-grid blitter with hole, tiling and fade, and the
// draw-string entry points that find the image in the paint manager's cache.
#include <algorithm>

#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderBlend.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/RenderGdi.h"

namespace KvUI {
namespace {

// The memory DC images are selected into while they are drawn, kept for the
// thread: making one per image costs more than drawing most images.
HDC ImageSourceDC() {
    thread_local const UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
    return dc.get();
}

bool IsZero(const RECT& rc) { return rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0; }

bool Intersects(const RECT& a, const RECT& b) {
    RECT unused;
    return IntersectRect(&unused, &a, &b) != FALSE;
}

// One call of the blitter: the source bitmap selected in a memory DC and the
// way pieces reach the target (blended with the fade, or copied).
class Blitter {
public:
    Blitter(HDC target, HDC source, const RECT& paint, bool blended, BYTE fade)
        : m_target(target), m_source(source), m_paint(paint), m_blended(blended),
          m_blend{AC_SRC_OVER, 0, fade, AC_SRC_ALPHA} {}

    // Stretches the source part (x, y, cx, cy) over `dest`; when no stretching
    // is needed only the part inside the paint rectangle is drawn.
    void Piece(const RECT& dest, int x, int y, int cx, int cy) const {
        const int width = dest.right - dest.left;
        const int height = dest.bottom - dest.top;
        if (width <= 0 || height <= 0 || cx <= 0 || cy <= 0 || !Intersects(dest, m_paint)) return;
        if (width == cx && height == cy) {
            RECT visible;
            IntersectRect(&visible, &dest, &m_paint);
            Copy(visible, x + visible.left - dest.left, y + visible.top - dest.top);
            return;
        }
        if (m_blended) {
            BlendPremultiplied(m_target, dest.left, dest.top, width, height, m_source, x, y, cx, cy, m_blend);
        } else {
            StretchBlt(m_target, dest.left, dest.top, width, height, m_source, x, y, cx, cy, SRCCOPY);
        }
    }

    // Copies the source unstretched from (x, y) to `dest`.
    void Copy(const RECT& dest, int x, int y) const {
        const int width = dest.right - dest.left;
        const int height = dest.bottom - dest.top;
        if (width <= 0 || height <= 0 || !Intersects(dest, m_paint)) return;
        if (m_blended) {
            BlendPremultiplied(m_target, dest.left, dest.top, width, height, m_source, x, y, width, height, m_blend);
        } else {
            BitBlt(m_target, dest.left, dest.top, width, height, m_source, x, y, SRCCOPY);
        }
    }

private:
    HDC m_target;
    HDC m_source;
    RECT m_paint;
    bool m_blended;
    BLENDFUNCTION m_blend;
};

// Corner widths that fit inside the source part; wider corners would make
// the middle and the edges negative, which GDI draws mirrored.
RECT FitCorners(const RECT& corner, int sourceWidth, int sourceHeight) {
    RECT cr;
    cr.left = std::clamp<LONG>(corner.left, 0, sourceWidth);
    cr.right = std::clamp<LONG>(corner.right, 0, sourceWidth - cr.left);
    cr.top = std::clamp<LONG>(corner.top, 0, sourceHeight);
    cr.bottom = std::clamp<LONG>(corner.bottom, 0, sourceHeight - cr.top);
    return cr;
}

void DrawMiddle(const Blitter& blit, const RECT& mid, int sx, int sy, int sw, int sh, bool xtiled, bool ytiled) {
    if (!xtiled && !ytiled) {
        blit.Piece(mid, sx, sy, sw, sh);
        return;
    }
    if (sw <= 0 || sh <= 0) return;
    const int width = mid.right - mid.left;
    const int height = mid.bottom - mid.top;
    const int columns = xtiled ? (width + sw - 1) / sw : 1;
    const int rows = ytiled ? (height + sh - 1) / sh : 1;
    for (int j = 0; j < rows; ++j) {
        RECT tile;
        tile.top = ytiled ? mid.top + j * sh : mid.top;
        tile.bottom = ytiled ? std::min<LONG>(tile.top + sh, mid.bottom) : mid.bottom;
        for (int i = 0; i < columns; ++i) {
            tile.left = xtiled ? mid.left + i * sw : mid.left;
            tile.right = xtiled ? std::min<LONG>(tile.left + sw, mid.right) : mid.right;
            if (xtiled && ytiled) {
                blit.Copy(tile, sx, sy);
            } else {
                // Tiled on one axis, stretched over the full extent of the other;
                // the last tile takes the same cut from the source.
                const int cx = xtiled ? tile.right - tile.left : sw;
                const int cy = ytiled ? tile.bottom - tile.top : sh;
                blit.Piece(tile, sx, sy, cx, cy);
            }
        }
    }
}

}  // namespace

void CRenderEngine::DrawImage(HDC dc, HBITMAP bitmap, const RECT& rc, const RECT& paint, const RECT& bmp,
                              const RECT& corner, bool alpha, BYTE fade, bool hole, bool xtiled, bool ytiled) {
    const HDC memory = ImageSourceDC();
    if (!dc || !bitmap || !memory) return;
    const ScopedSelect select(memory, bitmap);
    SetStretchBltMode(dc, HALFTONE);

    const int bw = bmp.right - bmp.left;
    const int bh = bmp.bottom - bmp.top;
    if (bw <= 0 || bh <= 0) return;
    const RECT cr = FitCorners(corner, bw, bh);
    const Blitter blit(dc, memory, paint, alpha || fade != 255, fade);
    const int middleWidth = bw - cr.left - cr.right;
    const int middleHeight = bh - cr.top - cr.bottom;

    if (!hole) {
        const RECT mid = {rc.left + cr.left, rc.top + cr.top, rc.right - cr.right, rc.bottom - cr.bottom};
        DrawMiddle(blit, mid, bmp.left + cr.left, bmp.top + cr.top, middleWidth, middleHeight, xtiled, ytiled);
    }
    const LONG innerLeft = rc.left + cr.left;
    const LONG innerRight = rc.right - cr.right;
    const LONG innerTop = rc.top + cr.top;
    const LONG innerBottom = rc.bottom - cr.bottom;
    if (cr.top > 0) {
        if (cr.left > 0) blit.Piece({rc.left, rc.top, innerLeft, innerTop}, bmp.left, bmp.top, cr.left, cr.top);
        blit.Piece({innerLeft, rc.top, innerRight, innerTop}, bmp.left + cr.left, bmp.top, middleWidth, cr.top);
        if (cr.right > 0) {
            blit.Piece({innerRight, rc.top, rc.right, innerTop}, bmp.right - cr.right, bmp.top, cr.right, cr.top);
        }
    }
    if (cr.left > 0) {
        blit.Piece({rc.left, innerTop, innerLeft, innerBottom}, bmp.left, bmp.top + cr.top, cr.left, middleHeight);
    }
    if (cr.right > 0) {
        blit.Piece({innerRight, innerTop, rc.right, innerBottom}, bmp.right - cr.right, bmp.top + cr.top, cr.right,
                   middleHeight);
    }
    if (cr.bottom > 0) {
        if (cr.left > 0) {
            blit.Piece({rc.left, innerBottom, innerLeft, rc.bottom}, bmp.left, bmp.bottom - cr.bottom, cr.left,
                       cr.bottom);
        }
        blit.Piece({innerLeft, innerBottom, innerRight, rc.bottom}, bmp.left + cr.left, bmp.bottom - cr.bottom,
                   middleWidth, cr.bottom);
        if (cr.right > 0) {
            blit.Piece({innerRight, innerBottom, rc.right, rc.bottom}, bmp.right - cr.right, bmp.bottom - cr.bottom,
                       cr.right, cr.bottom);
        }
    }
}

bool CRenderEngine::DrawImageByName(HDC dc, CPaintManagerUI* manager, const RECT& item, const RECT& paint,
                                    LPCTSTR name, LPCTSTR resType, RECT dest, RECT source, RECT corner, DWORD mask,
                                    BYTE fade, bool hole, bool xtiled, bool ytiled, HINSTANCE instance) {
    if (!manager || !name || !*name) return false;
    const TImageInfo* image = manager->GetImageEx(name, resType, mask, false, instance);
    if (!image) return false;
    if (IsZero(source)) source = {0, 0, image->width, image->height};
    source.left = std::max<LONG>(source.left, 0);
    source.top = std::max<LONG>(source.top, 0);
    source.right = std::min<LONG>(source.right, image->width);
    source.bottom = std::min<LONG>(source.bottom, image->height);
    // A source outside the image has nothing to show.
    if (source.right <= source.left || source.bottom <= source.top) return true;
    if (!Intersects(dest, item) || !Intersects(dest, paint)) return true;
    DrawImage(dc, image->bitmap, dest, paint, source, corner, manager->IsLayered() || image->hasAlpha, fade, hole,
              xtiled, ytiled);
    return true;
}

bool CRenderEngine::DrawImageInfo(HDC dc, CPaintManagerUI* manager, const RECT& item, const RECT& paint,
                                  const TImageDrawSpec* spec, HINSTANCE instance) {
    if (!spec) return false;
    RECT dest = item;
    if (!IsZero(spec->dest)) {
        dest.left = item.left + spec->dest.left;
        dest.top = item.top + spec->dest.top;
        dest.right = std::min<LONG>(item.left + spec->dest.right, item.right);
        dest.bottom = std::min<LONG>(item.top + spec->dest.bottom, item.bottom);
    }
    return DrawImageByName(dc, manager, item, paint, spec->imageName, spec->resType, dest, spec->source,
                           spec->corner, spec->mask, spec->fade, spec->hole, spec->xtiled, spec->ytiled, instance);
}

bool CRenderEngine::DrawImageString(HDC dc, CPaintManagerUI* manager, const RECT& item, const RECT& paint,
                                    LPCTSTR drawString, LPCTSTR modifyString, HINSTANCE instance) {
    if (!manager || !dc) return false;
    return DrawImageInfo(dc, manager, item, paint, manager->GetDrawSpec(drawString, modifyString), instance);
}

}  // namespace KvUI
