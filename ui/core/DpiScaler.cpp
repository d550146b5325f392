#include "ui/core/DpiScaler.h"

namespace KvUI {

CDpiScaler::CDpiScaler() { SetDPI(96); }

void CDpiScaler::SetDPI(int dpi) {
    m_currentPercent = MulDiv(dpi, 100, 96);
    if (m_firstPercent == 0) m_firstPercent = m_currentPercent;
}

int CDpiScaler::ActivePercent() const {
    return m_awareness == 1 ? m_firstPercent : m_currentPercent;
}

int CDpiScaler::GetDPI() const {
    return m_awareness == 0 ? 96 : MulDiv(ActivePercent(), 96, 100);
}

int CDpiScaler::GetScale() const {
    return m_awareness == 0 ? 100 : ActivePercent();
}

int CDpiScaler::Scale(int n) const {
    return m_awareness == 0 ? n : MulDiv(n, ActivePercent(), 100);
}

int CDpiScaler::Unscale(int n) const {
    return m_awareness == 0 ? n : MulDiv(n, 100, ActivePercent());
}

// Origin and size are scaled apart, so the scaled width never depends on
// where the rectangle lies.
RECT CDpiScaler::ScaleRectOut(int left, int top, int right, int bottom) const {
    const int l = Scale(left);
    const int t = Scale(top);
    return RECT{l, t, l + Scale(right - left), t + Scale(bottom - top)};
}

void CDpiScaler::ScaleRect(RECT* rect) const {
    *rect = ScaleRectOut(rect->left, rect->top, rect->right, rect->bottom);
}

void CDpiScaler::UnscaleRect(RECT* rect) const {
    const int l = Unscale(rect->left);
    const int t = Unscale(rect->top);
    *rect = RECT{l, t, l + Unscale(rect->right - rect->left), t + Unscale(rect->bottom - rect->top)};
}

void CDpiScaler::ScalePoint(POINT* point) const {
    point->x = Scale(point->x);
    point->y = Scale(point->y);
}

SIZE CDpiScaler::ScaleSize(int cx, int cy) const { return SIZE{Scale(cx), Scale(cy)}; }

}  // namespace KvUI
