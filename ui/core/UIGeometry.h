#pragma once
// Plain geometry records with the layout of the Windows ones, so they pass
// straight to any API that takes a RECT, SIZE or POINT.
#include <windows.h>

namespace KvUI {

class CUIRect : public RECT {
public:
    CUIRect() : RECT{0, 0, 0, 0} {}
    CUIRect(const RECT& rc) : RECT(rc) {}
    CUIRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}

    void Set(int l, int t, int r, int b) {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    void Assign(const RECT& rc) { *static_cast<RECT*>(this) = rc; }
    int GetWidth() const { return right - left; }
    int GetHeight() const { return bottom - top; }
    bool IsNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }

    // Grows to cover both rectangles, field by field; neither is normalised first.
    void Join(const RECT& rc) {
        if (rc.left < left) left = rc.left;
        if (rc.top < top) top = rc.top;
        if (rc.right > right) right = rc.right;
        if (rc.bottom > bottom) bottom = rc.bottom;
    }
    void ResetOffset() { Offset(-left, -top); }
    void Offset(int dx, int dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    void Inflate(int dx, int dy) { Deflate(-dx, -dy); }
    void Deflate(int dx, int dy) {
        left += dx;
        right -= dx;
        top += dy;
        bottom -= dy;
    }
};

class CUISize : public SIZE {
public:
    CUISize() : SIZE{0, 0} {}
    CUISize(const SIZE& size) : SIZE(size) {}
    CUISize(int width, int height) : SIZE{width, height} {}

    void Set(int width, int height) {
        cx = width;
        cy = height;
    }
};

class CUIPoint : public POINT {
public:
    CUIPoint() : POINT{0, 0} {}
    CUIPoint(const POINT& pt) : POINT(pt) {}
    CUIPoint(int px, int py) : POINT{px, py} {}
};

static_assert(sizeof(CUIRect) == sizeof(RECT), "CUIRect must keep the layout of RECT");
static_assert(sizeof(CUISize) == sizeof(SIZE), "CUISize must keep the layout of SIZE");
static_assert(sizeof(CUIPoint) == sizeof(POINT), "CUIPoint must keep the layout of POINT");

}  // namespace KvUI
