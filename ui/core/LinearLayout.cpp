#include "ui/core/LinearLayout.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"

namespace KvUI {
namespace {

constexpr DWORD kNewStripColor = 0xAA000000;

// Sizes seen along the stacking axis ("main") and across it ("cross").
struct Axes {
    bool vertical;

    LONG& Main(SIZE& s) const { return vertical ? s.cy : s.cx; }
    LONG& Cross(SIZE& s) const { return vertical ? s.cx : s.cy; }
    LONG Main(const SIZE& s) const { return vertical ? s.cy : s.cx; }
    LONG Cross(const SIZE& s) const { return vertical ? s.cx : s.cy; }
    int MainBefore(const RECT& pad) const { return vertical ? pad.top : pad.left; }
    int MainAfter(const RECT& pad) const { return vertical ? pad.bottom : pad.right; }
    int CrossBefore(const RECT& pad) const { return vertical ? pad.left : pad.top; }
    int CrossAfter(const RECT& pad) const { return vertical ? pad.right : pad.bottom; }
    RECT Make(int main0, int main1, int cross0, int cross1) const {
        return vertical ? RECT{cross0, main0, cross1, main1} : RECT{main0, cross0, main1, cross1};
    }
};

// A child's limits, read once per pass: the getters scale on every call.
struct Limits {
    SIZE min;
    SIZE max;
    SIZE cap;  // fixed size, or the maximum where none is fixed

    explicit Limits(const CControlUI& c)
        : min{c.GetMinWidth(), c.GetMinHeight()}, max{c.GetMaxWidth(), c.GetMaxHeight()} {
        const int fixedWidth = c.GetFixedWidth();
        const int fixedHeight = c.GetFixedHeight();
        cap = SIZE{fixedWidth > 0 ? fixedWidth : max.cx, fixedHeight > 0 ? fixedHeight : max.cy};
    }
    SIZE Capped(SIZE room) const { return SIZE{std::min(room.cx, cap.cx), std::min(room.cy, cap.cy)}; }
};

// Raised to the minimum, then lowered to the maximum: the maximum wins.
int Clamp(int value, int min, int max) { return std::min(std::max(value, min), max); }

// A placed child as the first sharing-out sees it: padding, limits, and its
// estimate for the whole room.
struct Measured {
    RECT pad;
    Limits limits;
    SIZE room;
    SIZE est;
};

// What the placed children take along the axis, and how many share the rest.
struct Totals {
    int adjustables = 0;
    int fixedTotal = 0;  // without the gaps between children
    int placedCount = 0;
    int neededCross = 0;
};

Measured Measure(const Axes& ax, CControlUI& child, SIZE available) {
    Measured m{child.GetPadding(), Limits(child), available, {}};
    ax.Cross(m.room) -= ax.CrossBefore(m.pad) + ax.CrossAfter(m.pad);
    m.room = m.limits.Capped(m.room);
    m.est = child.EstimateSize(m.room);
    return m;
}

// Adds a measured child to the totals the sharing-out needs.
void Count(const Axes& ax, const Measured& m, Totals& totals) {
    int main = ax.Main(m.est);
    if (main == 0) {
        ++totals.adjustables;
    } else {
        main = Clamp(main, ax.Main(m.limits.min), ax.Main(m.limits.max));
    }
    totals.fixedTotal += main + ax.MainBefore(m.pad) + ax.MainAfter(m.pad);
    const int cross = Clamp(std::max<int>(ax.Cross(m.est), 0), ax.Cross(m.limits.min), ax.Cross(m.limits.max));
    totals.neededCross = std::max(totals.neededCross, cross + ax.CrossBefore(m.pad) + ax.CrossAfter(m.pad));
    ++totals.placedCount;
}

bool SameSize(SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }

// What a layout stacks with: its own children, scroll bars and child padding
// (a list hands its child-list and scrolling operations to its body, but
// stacks its header and body itself).
struct OwnParts {
    const std::vector<CControlUI*>& children;
    CScrollBarUI* vbar;
    CScrollBarUI* hbar;
    int childPadding;
};

// Lays the children out one after another along the axis, inside the item
// rectangle less the inset and the visible scroll bars: fixed and estimated
// sizes are kept, the rest is shared out exactly, and the scroll bars follow
// what the children need.
//
// Sharing out needs the totals of all children, but children that keep their
// own size do not: those are counted and placed in one walk, and the rest of
// the list is counted ahead only once a child asks for a share. Long lists of
// rows thus touch each child once.
void StackChildren(CContainerUI& layout, const OwnParts& own, bool vertical) {
    const std::vector<CControlUI*>& children = own.children;
    const Axes ax{vertical};
    const RECT& item = layout.GetPos();
    const RECT inset = layout.GetInset();
    RECT rc{item.left + inset.left, item.top + inset.top, item.right - inset.right, item.bottom - inset.bottom};
    CScrollBarUI* vbar = own.vbar;
    CScrollBarUI* hbar = own.hbar;
    if (vbar && !vbar->IsVisible()) vbar = nullptr;
    if (hbar && !hbar->IsVisible()) hbar = nullptr;
    if (vbar) rc.right -= vbar->GetFixedWidth();
    if (hbar) rc.bottom -= hbar->GetFixedHeight();

    const int count = static_cast<int>(children.size());
    if (count == 0) {
        layout.ProcessScrollBar(rc, 0, 0);
        return;
    }

    SIZE available{rc.right - rc.left, rc.bottom - rc.top};
    if (hbar && vertical) available.cx += hbar->GetScrollRange();
    if (vbar) available.cy += vbar->GetScrollRange();
    const int childPadding = own.childPadding;

    Totals totals;
    bool countedAll = false;  // the children after the current one are counted too
    const auto countFrom = [&](int first) {
        for (int i = first; i < count; ++i) {
            CControlUI* child = children[static_cast<size_t>(i)];
            if (child->IsVisible() && !child->IsFloat()) Count(ax, Measure(ax, *child, available), totals);
        }
        countedAll = true;
    };
    const auto gaps = [&] { return std::max(totals.placedCount - 1, 0) * childPadding; };

    // Placing: the last adjustable child takes what is left, so the children
    // fill the room exactly.
    CScrollBarUI* mainBar = vertical ? vbar : hbar;
    CScrollBarUI* crossBar = vertical ? hbar : vbar;
    const int crossStart = vertical ? rc.left : rc.top;
    const int crossEnd = vertical ? rc.right : rc.bottom;
    const UINT align = vertical ? layout.GetChildAlign() : layout.GetChildVAlign();
    const UINT centre = vertical ? DT_CENTER : DT_VCENTER;
    const UINT end = vertical ? DT_RIGHT : DT_BOTTOM;

    SIZE remaining = available;
    int pos = (vertical ? rc.top : rc.left) - (mainBar ? mainBar->GetScrollPos() : 0);
    int fixedPlaced = 0;  // what the placed children took of the fixed total
    int adjusted = 0;
    int placed = 0;
    int neededMain = 0;
    for (int i = 0; i < count; ++i) {
        CControlUI* child = children[static_cast<size_t>(i)];
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            layout.SetFloatPos(i);
            continue;
        }
        const Measured m = Measure(ax, *child, available);
        if (!countedAll) Count(ax, m, totals);
        const RECT& pad = m.pad;
        const Limits& limits = m.limits;
        ax.Main(remaining) -= ax.MainBefore(pad);
        SIZE room = remaining;
        ax.Cross(room) -= ax.CrossBefore(pad) + ax.CrossAfter(pad);
        room = limits.Capped(room);
        fixedPlaced += ax.MainBefore(pad) + ax.MainAfter(pad);
        if (placed > 0) fixedPlaced += childPadding;

        // Mostly the room is the one measured in (a fixed size caps both): ask once.
        const SIZE est = SameSize(room, m.room) ? m.est : child->EstimateSize(room);
        int main = ax.Main(est);
        if (main == 0) {
            if (!countedAll) countFrom(i + 1);
            const int fixedTotal = totals.fixedTotal + gaps();
            if (++adjusted == totals.adjustables) {
                main = std::max<int>(0, ax.Main(remaining) - ax.MainAfter(pad) - (fixedTotal - fixedPlaced));
            } else if (totals.adjustables > 0) {
                main = std::max<int>(0, (ax.Main(available) - fixedTotal) / totals.adjustables);
            } else {
                main = 0;  // counted as sized at first: it gets no share
            }
            main = Clamp(main, ax.Main(limits.min), ax.Main(limits.max));
        } else {
            main = Clamp(main, ax.Main(limits.min), ax.Main(limits.max));
            fixedPlaced += main;
        }

        int cross;
        if (vertical) {
            cross = est.cx > 0 ? est.cx : available.cx - pad.left - pad.right;
        } else {
            // Across a row a child takes its maximum height, not its estimate.
            cross = limits.max.cy == 0 ? available.cy - pad.top - pad.bottom : std::max<int>(limits.max.cy, 0);
        }
        cross = std::max<int>(std::min<int>(cross, ax.Cross(room)), ax.Cross(limits.min));

        int cross0;
        if (align == centre) {
            int middle = (crossStart + crossEnd) / 2;
            if (crossBar) middle += crossBar->GetScrollRange() / 2 - crossBar->GetScrollPos();
            cross0 = middle - cross / 2;
        } else if (align == end) {
            int edge = crossEnd;
            if (crossBar) edge += crossBar->GetScrollRange() - crossBar->GetScrollPos();
            cross0 = edge - ax.CrossAfter(pad) - cross;
        } else {
            cross0 = crossStart - (crossBar ? crossBar->GetScrollPos() : 0) + ax.CrossBefore(pad);
        }
        const int main0 = pos + ax.MainBefore(pad);
        child->SetPos(ax.Make(main0, main0 + main, cross0, cross0 + cross), false);

        pos += main + childPadding + ax.MainBefore(pad) + ax.MainAfter(pad);
        neededMain += main + ax.MainBefore(pad) + ax.MainAfter(pad);
        ax.Main(remaining) -= main + childPadding + ax.MainAfter(pad);
        ++placed;
    }
    neededMain += gaps();
    if (vertical) {
        layout.ProcessScrollBar(rc, totals.neededCross, neededMain);
    } else {
        layout.ProcessScrollBar(rc, neededMain, totals.neededCross);
    }
}

}  // namespace

// ---- Layout ----

UINT CLinearLayoutUI::GetControlFlags() const {
    return IsEnabled() && m_separator.GetSize() != 0 ? UIFLAG_SETCURSOR : 0;
}

void CLinearLayoutUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    StackChildren(*this,
                  OwnParts{m_items, m_verticalScrollBar.get(), m_horizontalScrollBar.get(),
                           CContainerUI::GetChildPadding()},
                  m_vertical);
}

void CLinearLayoutUI::DoEvent(TUIEvent& event) {
    const CLayoutSeparator::Result result = m_separator.HandleEvent(event);
    if (result == CLayoutSeparator::Result::Ignored) {
        CContainerUI::DoEvent(event);
        return;
    }
    if (result == CLayoutSeparator::Result::Resized) {
        (m_vertical ? m_fixedHeight : m_fixedWidth) = m_separator.GetNewSkinSize();
    }
    if (!m_separator.TakesNewPos(result)) return;
    m_itemRect = m_separator.GetNewPos();
    NeedParentUpdate();
}

void CLinearLayoutUI::DoPostPaint(HDC dc, const RECT&) { m_separator.PaintNewStrip(dc); }

bool CLinearLayoutUI::SetSeparatorAttribute(LPCTSTR name, LPCTSTR value, LPCTSTR sizeName) {
    if (attribute::Is(name, sizeName)) {
        m_separator.SetSize(_wtoi(value));
    } else if (attribute::Is(name, L"sepimm")) {
        SetSepImmMode(attribute::Is(value, L"true"));
    } else {
        return false;
    }
    return true;
}

// ---- Separator ----

CLayoutSeparator::~CLayoutSeparator() {
    // A layout deleted in the middle of a drag must not stay on the window's lists.
    if (!IsDragging() || !m_dragManager) return;
    m_dragManager->RemovePostPaint(&m_owner);
    m_dragManager->RemoveMessageFilter(this);
}

void CLayoutSeparator::SetImmediate(bool immediate) {
    if (m_immediate == immediate) return;
    if (immediate && IsDragging() && m_dragManager) m_dragManager->RemovePostPaint(&m_owner);
    m_immediate = immediate;
}

RECT CLayoutSeparator::GetThumbRect(bool useNew) const {
    const RECT rc = (IsDragging() && useNew) ? m_newPos : m_owner.GetPos();
    if (m_vertical) {
        if (m_size >= 0) return RECT{rc.left, std::max(rc.top, rc.bottom - m_size), rc.right, rc.bottom};
        return RECT{rc.left, rc.top, rc.right, std::min(rc.top - m_size, rc.bottom)};
    }
    if (m_size >= 0) return RECT{std::max(rc.left, rc.right - m_size), rc.top, rc.right, rc.bottom};
    return RECT{rc.left, rc.top, std::min(rc.left - m_size, rc.right), rc.bottom};
}

int CLayoutSeparator::GetNewSkinSize() const {
    const int size = m_vertical ? m_newPos.bottom - m_newPos.top : m_newPos.right - m_newPos.left;
    CPaintManagerUI* manager = m_owner.GetManager();
    return manager ? manager->GetScaler()->Unscale(size) : size;
}

CLayoutSeparator::Result CLayoutSeparator::HandleEvent(const TUIEvent& event) {
    if (m_size == 0) return Result::Ignored;
    switch (event.type) {
    case EventButtonDown: {
        const RECT strip = GetThumbRect(false);
        if (!m_owner.IsEnabled() || !PtInRect(&strip, event.mousePoint)) return Result::Ignored;
        if (IsDragging()) EndDrag();
        m_buttonState |= StateCaptured;
        m_lastMouse = event.mousePoint;
        m_newPos = m_owner.GetPos();
        m_dragManager = m_owner.GetManager();
        if (m_dragManager) {
            if (!m_immediate) m_dragManager->AddPostPaint(&m_owner);
            m_dragManager->AddMessageFilter(this);
        }
        return Result::Handled;
    }
    case EventButtonUp:
        if (!IsDragging()) return Result::Ignored;
        EndDrag();
        return Result::Released;
    case EventMouseMove:
        if (!IsDragging()) return Result::Ignored;
        return MoveEdge(event.mousePoint);
    case EventSetCursor: {
        const RECT strip = GetThumbRect(false);
        if (!m_owner.IsEnabled() || !PtInRect(&strip, event.mousePoint)) return Result::Ignored;
        ::SetCursor(LoadCursorW(nullptr, m_vertical ? IDC_SIZENS : IDC_SIZEWE));
        return Result::Handled;
    }
    default:
        return Result::Ignored;
    }
}

CLayoutSeparator::Result CLayoutSeparator::MoveEdge(POINT pt) {
    const int along = m_vertical ? pt.y : pt.x;
    const int delta = along - (m_vertical ? m_lastMouse.y : m_lastMouse.x);
    m_lastMouse = pt;

    RECT rc = m_newPos;
    LONG& nearEdge = m_vertical ? rc.top : rc.left;
    LONG& farEdge = m_vertical ? rc.bottom : rc.right;
    const int oldNear = nearEdge;
    const int oldFar = farEdge;
    // The edge follows the mouse only while the mouse is on its side of the strip.
    if (m_size >= 0) {
        if ((delta > 0 && along < oldFar - m_size) || (delta < 0 && along > oldFar)) return Result::Handled;
        farEdge += delta;
    } else {
        if ((delta > 0 && along < oldNear) || (delta < 0 && along > oldNear - m_size)) return Result::Handled;
        nearEdge += delta;
    }

    const int minSize = m_vertical ? m_owner.GetMinHeight() : m_owner.GetMinWidth();
    const int maxSize = m_vertical ? m_owner.GetMaxHeight() : m_owner.GetMaxWidth();
    const int oldSize = oldFar - oldNear;
    const auto resize = [&](int size) {
        if (m_size >= 0) {
            farEdge = nearEdge + size;
        } else {
            nearEdge = farEdge - size;
        }
    };
    if (farEdge - nearEdge <= minSize) {
        if (oldSize <= minSize) return Result::Handled;
        resize(minSize);
    }
    if (farEdge - nearEdge >= maxSize) {
        if (oldSize >= maxSize) return Result::Handled;
        resize(maxSize);
    }

    RECT dirty = GetThumbRect(true);
    m_newPos = rc;
    if (!m_immediate && m_dragManager) {
        const RECT strips[] = {GetThumbRect(true), GetThumbRect(false)};
        for (const RECT& strip : strips) UnionRect(&dirty, &dirty, &strip);
        m_dragManager->InvalidateRect(dirty);
    }
    return Result::Resized;
}

void CLayoutSeparator::EndDrag() {
    if (m_dragManager) {
        if (!m_immediate) {
            // The dark strip may lie outside what the relayout repaints.
            RECT dirty = GetThumbRect(true);
            const RECT current = GetThumbRect(false);
            UnionRect(&dirty, &dirty, &current);
            m_dragManager->InvalidateRect(dirty);
            m_dragManager->RemovePostPaint(&m_owner);
        }
        m_dragManager->RemoveMessageFilter(this);
    }
    m_buttonState &= ~StateCaptured;
    m_dragManager = nullptr;
}

LRESULT CLayoutSeparator::MessageHandler(UINT msg, WPARAM, LPARAM lParam, bool&) {
    // Losing the capture (another window took it, the window lost the focus)
    // ends the drag as a release would.
    if (msg != WM_CAPTURECHANGED || !IsDragging() || !m_dragManager) return 0;
    if (reinterpret_cast<HWND>(lParam) == m_dragManager->GetPaintWindow()) return 0;
    TUIEvent release;
    release.type = EventButtonUp;
    release.sender = &m_owner;
    release.timestamp = GetTickCount();
    release.mousePoint = m_lastMouse;
    m_owner.DoEvent(release);
    return 0;
}

void CLayoutSeparator::PaintNewStrip(HDC dc) const {
    if (!IsDragging() || m_immediate) return;
    CRenderEngine::DrawColor(dc, GetThumbRect(true), kNewStripColor);
}

}  // namespace KvUI
