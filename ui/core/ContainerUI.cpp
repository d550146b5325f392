#include "ui/core/ContainerUI.h"

#include <algorithm>
#include <cwchar>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderClip.h"

namespace KvUI {
namespace {

using attribute::IsTrue;

bool IsMouseEvent(int type) { return type >= EventMouseFirst && type <= EventMouseLast; }

bool Meets(const RECT& a, const RECT& b) {
    RECT unused;
    return IntersectRect(&unused, &a, &b) != FALSE;
}

}  // namespace

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
    m_delayedDestroy = false;
    RemoveAll();
    m_verticalScrollBar.reset();
    m_horizontalScrollBar.reset();
}

// ---- Child list ----

CControlUI* CContainerUI::GetItemAt(int index) const {
    return index >= 0 && index < OwnCount() ? m_items[static_cast<size_t>(index)] : nullptr;
}

int CContainerUI::GetItemIndex(CControlUI* control) const { return OwnIndex(control); }

int CContainerUI::OwnIndex(CControlUI* control) const {
    const auto at = std::find(m_items.begin(), m_items.end(), control);
    return control && at != m_items.end() ? static_cast<int>(at - m_items.begin()) : -1;
}

bool CContainerUI::SetItemIndex(CControlUI* control, int newIndex) {
    const int index = OwnIndex(control);
    // A child taken out for a place that does not exist would be lost.
    if (index < 0 || newIndex < 0 || newIndex >= OwnCount()) return false;
    NeedUpdate();
    m_items.erase(m_items.begin() + index);
    m_items.insert(m_items.begin() + newIndex, control);
    return true;
}

int CContainerUI::GetCount() const { return OwnCount(); }

bool CContainerUI::Add(CControlUI* control) { return AddAt(control, OwnCount()); }

bool CContainerUI::AddAt(CControlUI* control, int index) {
    // Refused before the window adopts the control: it stays the caller's.
    if (!control || index < 0 || index > OwnCount()) return false;
    if (m_manager) m_manager->InitControls(control, this);
    if (IsVisible()) {
        NeedUpdate();
    } else {
        control->SetInternVisible(false);
    }
    m_items.insert(m_items.begin() + index, control);
    return true;
}

void CContainerUI::Dispose(CControlUI* control) {
    // A control may be removed while the window dispatches an event to it.
    if (m_delayedDestroy && m_manager) {
        m_manager->AddDelayedCleanup(control);
    } else {
        delete control;
    }
}

bool CContainerUI::Remove(CControlUI* control) {
    const int index = OwnIndex(control);
    if (index < 0) return false;
    NeedUpdate();
    if (m_autoDestroy) Dispose(control);
    m_items.erase(m_items.begin() + index);
    return true;
}

bool CContainerUI::RemoveAt(int index) {
    CControlUI* control = GetItemAt(index);
    return control && Remove(control);
}

void CContainerUI::RemoveAll() {
    if (m_autoDestroy) {
        for (size_t i = 0; i < m_items.size(); ++i) Dispose(m_items[i]);
    }
    m_items.clear();
    NeedUpdate();
}

// ---- Identity and state ----

LPCTSTR CContainerUI::GetClass() const { return L"ContainerUI"; }

LPVOID CContainerUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"IContainer")) return static_cast<IContainerUI*>(this);
    if (name && attribute::Is(name, L"Container")) return static_cast<CContainerUI*>(this);
    return CControlUI::GetInterface(name);
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    for (int i = 0; i < OwnCount(); ++i) ChildAt(i)->SetManager(manager, this, init);
    if (m_verticalScrollBar) m_verticalScrollBar->SetManager(manager, this, init);
    if (m_horizontalScrollBar) m_horizontalScrollBar->SetManager(manager, this, init);
    CControlUI::SetManager(manager, parent, init);
}

void CContainerUI::SetVisible(bool visible) {
    if (m_visible == visible) return;
    CControlUI::SetVisible(visible);
    for (int i = 0; i < OwnCount(); ++i) ChildAt(i)->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool visible) {
    CControlUI::SetInternVisible(visible);
    for (int i = 0; i < OwnCount(); ++i) ChildAt(i)->SetInternVisible(IsVisible());
}

void CContainerUI::SetEnabled(bool enabled) {
    if (m_enabled == enabled) return;
    m_enabled = enabled;
    for (int i = 0; i < OwnCount(); ++i) ChildAt(i)->SetEnabled(enabled);
    Invalidate();
}

void CContainerUI::SetMouseEnabled(bool enabled) {
    if (m_verticalScrollBar) m_verticalScrollBar->SetMouseEnabled(enabled);
    if (m_horizontalScrollBar) m_horizontalScrollBar->SetMouseEnabled(enabled);
    CControlUI::SetMouseEnabled(enabled);
}

// ---- Geometry ----

RECT CContainerUI::GetInset() const {
    RECT inset = m_inset;
    if (m_manager) m_manager->GetScaler()->ScaleRect(&inset);
    return inset;
}

void CContainerUI::SetInset(RECT inset) {
    m_inset = inset;
    NeedUpdate();
}

int CContainerUI::GetChildPadding() const { return Scaled(m_childPadding); }

void CContainerUI::SetChildPadding(int padding) {
    m_childPadding = padding;
    NeedUpdate();
}

UINT CContainerUI::GetChildAlign() const { return m_childAlign; }

void CContainerUI::SetChildAlign(UINT align) {
    m_childAlign = align;
    NeedUpdate();
}

UINT CContainerUI::GetChildVAlign() const { return m_childVAlign; }

void CContainerUI::SetChildVAlign(UINT align) {
    m_childVAlign = align;
    NeedUpdate();
}

bool CContainerUI::IsAutoDestroy() const { return m_autoDestroy; }
void CContainerUI::SetAutoDestroy(bool autoDestroy) { m_autoDestroy = autoDestroy; }
bool CContainerUI::IsDelayedDestroy() const { return m_delayedDestroy; }
void CContainerUI::SetDelayedDestroy(bool delayed) { m_delayedDestroy = delayed; }
bool CContainerUI::IsMouseChildEnabled() const { return m_mouseChildEnabled; }
void CContainerUI::SetMouseChildEnabled(bool enable) { m_mouseChildEnabled = enable; }

CScrollBarUI* CContainerUI::VisibleVerticalBar() const {
    return m_verticalScrollBar && m_verticalScrollBar->IsVisible() ? m_verticalScrollBar.get() : nullptr;
}

CScrollBarUI* CContainerUI::VisibleHorizontalBar() const {
    return m_horizontalScrollBar && m_horizontalScrollBar->IsVisible() ? m_horizontalScrollBar.get() : nullptr;
}

// Every user of the inset (layout, painting, hit testing, paging) reads it
// through GetInset, so all of them agree at any display scale.
RECT CContainerUI::GetInnerRect() const {
    const RECT inset = GetInset();
    RECT rc{m_itemRect.left + inset.left, m_itemRect.top + inset.top, m_itemRect.right - inset.right,
            m_itemRect.bottom - inset.bottom};
    if (const CScrollBarUI* bar = VisibleVerticalBar()) rc.right -= bar->GetFixedWidth();
    if (const CScrollBarUI* bar = VisibleHorizontalBar()) rc.bottom -= bar->GetFixedHeight();
    return rc;
}

RECT CContainerUI::GetClientPos() const {
    const RECT inset = GetInset();
    RECT rc{m_itemRect.left + inset.left, m_itemRect.top + inset.top, m_itemRect.right - inset.right,
            m_itemRect.bottom - inset.bottom};
    if (const CScrollBarUI* bar = VisibleVerticalBar()) {
        rc.top -= bar->GetScrollPos();
        rc.right -= bar->GetFixedWidth();
        rc.bottom += bar->GetScrollRange() - bar->GetScrollPos();
    }
    if (const CScrollBarUI* bar = VisibleHorizontalBar()) {
        rc.left -= bar->GetScrollPos();
        rc.right += bar->GetScrollRange() - bar->GetScrollPos();
        rc.bottom -= bar->GetFixedHeight();
    }
    return rc;
}

void CContainerUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    if (m_items.empty()) return;
    const RECT inner = GetClientPos();
    for (int i = 0; i < OwnCount(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const int width = std::min(std::max<int>(inner.right - inner.left, child->GetMinWidth()), child->GetMaxWidth());
        const int height =
            std::min(std::max<int>(inner.bottom - inner.top, child->GetMinHeight()), child->GetMaxHeight());
        child->SetPos(RECT{inner.left, inner.top, inner.left + width, inner.top + height}, false);
    }
}

void CContainerUI::Move(int dx, int dy, bool needInvalidate) {
    CControlUI::Move(dx, dy, needInvalidate);
    if (CScrollBarUI* bar = VisibleVerticalBar()) bar->Move(dx, dy, false);
    if (CScrollBarUI* bar = VisibleHorizontalBar()) bar->Move(dx, dy, false);
    for (int i = 0; i < OwnCount(); ++i) {
        CControlUI* child = ChildAt(i);
        if (child->IsVisible()) child->Move(dx, dy, false);
    }
}

void CContainerUI::SetFloatPos(int index) {
    CControlUI* child = ChildAt(index);
    if (!child || !child->IsVisible() || !child->IsFloat()) return;

    const SIZE xy = child->GetFixedXY();
    const int width = child->GetFixedWidth();
    const int height = child->GetFixedHeight();
    const int parentWidth = m_itemRect.right - m_itemRect.left;
    const int parentHeight = m_itemRect.bottom - m_itemRect.top;
    RECT rc;
    if (const UINT align = child->GetFloatAlign()) {
        const int x = (align & DT_CENTER) ? (parentWidth - width) / 2
                      : (align & DT_RIGHT) ? parentWidth - width
                                           : xy.cx;
        const int y = (align & DT_VCENTER) ? (parentHeight - height) / 2
                      : (align & DT_BOTTOM) ? parentHeight - height
                                            : xy.cy;
        rc = RECT{m_itemRect.left + x, m_itemRect.top + y, m_itemRect.left + x + width, m_itemRect.top + y + height};
    } else {
        const TPercentInfo p = child->GetFloatPercent();
        rc.left = m_itemRect.left + static_cast<int>(parentWidth * p.left) + xy.cx;
        rc.top = m_itemRect.top + static_cast<int>(parentHeight * p.top) + xy.cy;
        rc.right = m_itemRect.left + static_cast<int>(parentWidth * p.right) + xy.cx + width;
        rc.bottom = m_itemRect.top + static_cast<int>(parentHeight * p.bottom) + xy.cy + height;
    }
    child->SetPos(rc, false);
}

// ---- Scrolling ----

SIZE CContainerUI::GetScrollPos() const {
    const CScrollBarUI* v = VisibleVerticalBar();
    const CScrollBarUI* h = VisibleHorizontalBar();
    return SIZE{h ? h->GetScrollPos() : 0, v ? v->GetScrollPos() : 0};
}

SIZE CContainerUI::GetScrollRange() const {
    const CScrollBarUI* v = VisibleVerticalBar();
    const CScrollBarUI* h = VisibleHorizontalBar();
    return SIZE{h ? h->GetScrollRange() : 0, v ? v->GetScrollRange() : 0};
}

void CContainerUI::SetScrollPos(SIZE pos, bool notify) {
    int dx = 0;
    int dy = 0;
    if (CScrollBarUI* bar = VisibleVerticalBar()) {
        const int old = bar->GetScrollPos();
        bar->SetScrollPos(pos.cy);
        dy = bar->GetScrollPos() - old;
    }
    if (CScrollBarUI* bar = VisibleHorizontalBar()) {
        const int old = bar->GetScrollPos();
        bar->SetScrollPos(pos.cx);
        dx = bar->GetScrollPos() - old;
    }
    if (dx == 0 && dy == 0) return;
    ScrollBy(dx, dy);

    if (!m_verticalScrollBar || !m_manager || !notify) return;
    // The position in lines; a bar without a line size counts single pixels.
    const int line = std::max(1, m_verticalScrollBar->GetLineSize());
    m_manager->SendNotify(this, L"scroll", static_cast<WPARAM>((m_verticalScrollBar->GetScrollPos() + line) / line), 0);
}

void CContainerUI::ScrollBy(int dx, int dy) {
    for (int i = 0; i < OwnCount(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible() || child->IsFloat()) continue;
        RECT rc = child->GetPos();
        OffsetRect(&rc, -dx, -dy);
        child->SetPos(rc, true);
    }
    Invalidate();
}

void CContainerUI::SetScrollStepSize(int size) {
    if (size > 0) m_scrollStepSize = size;
}

int CContainerUI::GetScrollStepSize() const { return Scaled(m_scrollStepSize); }

int CContainerUI::VerticalLineStep() const {
    if (const int step = GetScrollStepSize()) return step;
    return m_manager ? m_manager->GetDefaultFontInfo()->metrics.tmHeight + 8 : 8;
}

int CContainerUI::HorizontalLineStep() const {
    if (const int step = GetScrollStepSize()) return step;
    return 8;
}

void CContainerUI::ScrollTo(bool vertical, int position) {
    SIZE pos = GetScrollPos();
    (vertical ? pos.cy : pos.cx) = position;
    SetScrollPos(pos);
}

// A page is the inner size along the axis: the item less the inset, less the
// other bar when it is visible.
int CContainerUI::PageSize(bool vertical) const {
    const RECT inset = GetInset();
    if (vertical) {
        const CScrollBarUI* bar = VisibleHorizontalBar();
        return GetHeight() - inset.top - inset.bottom - (bar ? bar->GetFixedHeight() : 0);
    }
    const CScrollBarUI* bar = VisibleVerticalBar();
    return GetWidth() - inset.left - inset.right - (bar ? bar->GetFixedWidth() : 0);
}

void CContainerUI::ScrollToEnd(bool vertical) {
    // A pending layout may still change the range: let the window catch up first.
    if (m_manager) UpdateWindow(m_manager->GetPaintWindow());
    const SIZE range = GetScrollRange();
    ScrollTo(vertical, vertical ? range.cy : range.cx);
}

void CContainerUI::LineUp() { ScrollTo(true, GetScrollPos().cy - VerticalLineStep()); }
void CContainerUI::LineDown() { ScrollTo(true, GetScrollPos().cy + VerticalLineStep()); }
void CContainerUI::PageUp() { ScrollTo(true, GetScrollPos().cy - PageSize(true)); }
void CContainerUI::PageDown() { ScrollTo(true, GetScrollPos().cy + PageSize(true)); }
void CContainerUI::HomeUp() { ScrollTo(true, 0); }
void CContainerUI::EndDown() { ScrollToEnd(true); }
void CContainerUI::LineLeft() { ScrollTo(false, GetScrollPos().cx - HorizontalLineStep()); }
void CContainerUI::LineRight() { ScrollTo(false, GetScrollPos().cx + HorizontalLineStep()); }
void CContainerUI::PageLeft() { ScrollTo(false, GetScrollPos().cx - PageSize(false)); }
void CContainerUI::PageRight() { ScrollTo(false, GetScrollPos().cx + PageSize(false)); }
void CContainerUI::HomeLeft() { ScrollTo(false, 0); }
void CContainerUI::EndRight() { ScrollToEnd(false); }

void CContainerUI::EnableScrollBar(bool enableVertical, bool enableHorizontal) {
    const auto enable = [this](std::unique_ptr<CScrollBarUI>& bar, bool on, bool horizontal) {
        if (!on) {
            bar.reset();
            return;
        }
        if (bar) return;
        bar = std::make_unique<CScrollBarUI>();
        bar->SetHorizontal(horizontal);
        bar->SetOwner(this);
        bar->SetManager(m_manager, this, false);
        if (!m_manager) return;
        if (LPCTSTR defaults = m_manager->GetDefaultAttributeList(horizontal ? L"HScrollBar" : L"VScrollBar")) {
            bar->ApplyAttributeList(defaults);
        }
    };
    enable(m_verticalScrollBar, enableVertical, false);
    enable(m_horizontalScrollBar, enableHorizontal, true);
    NeedUpdate();
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const { return m_verticalScrollBar.get(); }
CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const { return m_horizontalScrollBar.get(); }

void CContainerUI::ProcessScrollBar(RECT rc, int cxRequired, int cyRequired) {
    FitScrollBar(m_horizontalScrollBar.get(), rc, cxRequired - (rc.right - rc.left));
    FitScrollBar(m_verticalScrollBar.get(), rc, cyRequired - (rc.bottom - rc.top));
}

// Shows the bar when the content exceeds `rc` by `excess` along its axis,
// ranges it, and hides it when the content fits. Whenever that changes the
// room the children have, the container is laid out again.
void CContainerUI::FitScrollBar(CScrollBarUI* bar, const RECT& rc, int excess) {
    if (!bar) return;
    if (!bar->IsVisible()) {
        if (excess <= 0) return;
        bar->SetVisible(true);
        bar->SetScrollRange(excess);
        bar->SetScrollPos(0);
        SetPos(m_itemRect);
        return;
    }
    if (excess <= 0) {
        bar->SetVisible(false);
        bar->SetScrollPos(0);
        bar->SetScrollRange(0);
        SetPos(m_itemRect);
        return;
    }
    bar->SetPos(bar->IsHorizontal() ? RECT{rc.left, rc.bottom, rc.right, rc.bottom + bar->GetFixedHeight()}
                                    : RECT{rc.right, rc.top, rc.right + bar->GetFixedWidth(), rc.bottom});
    if (bar->GetScrollRange() == excess) return;
    const int pos = bar->GetScrollPos();
    bar->SetScrollRange(excess);
    if (pos > bar->GetScrollPos()) SetPos(m_itemRect);
}

int CContainerUI::FindSelectable(int index, bool forward) const {
    const int count = GetCount();
    if (count == 0) return -1;
    index = std::clamp(index, 0, count - 1);
    const auto selectable = [this](int i) {
        CControlUI* child = GetItemAt(i);
        return child->GetInterface(L"ListItem") && child->IsVisible() && child->IsEnabled();
    };
    if (forward) {
        for (int i = index; i < count; ++i) {
            if (selectable(i)) return i;
        }
        return -1;
    }
    for (int i = index; i >= 0; --i) {
        if (selectable(i)) return i;
    }
    return FindSelectable(0, true);
}

// ---- Finding, events and painting ----

CControlUI* CContainerUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) {
    const bool hitTest = (flags & UIFIND_HITTEST) != 0;
    const POINT* pt = static_cast<const POINT*>(data);
    if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
    if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
    if (hitTest && !PtInRect(&m_itemRect, *pt)) return nullptr;
    if ((flags & UIFIND_UPDATETEST) && proc(this, data)) return nullptr;

    // A container whose mouse is off is never the hit itself; its children may be.
    const bool selfEligible = !hitTest || IsMouseEnabled();
    CControlUI* result = nullptr;
    if ((flags & UIFIND_ME_FIRST) && selfEligible) result = proc(this, data);
    if (!result && m_verticalScrollBar && selfEligible) result = m_verticalScrollBar->FindControl(proc, data, flags);
    if (!result && m_horizontalScrollBar && selfEligible) {
        result = m_horizontalScrollBar->FindControl(proc, data, flags);
    }
    if (result) return result;

    if (!hitTest || m_mouseChildEnabled) {
        const RECT inner = GetInnerRect();
        const int count = OwnCount();
        const bool topFirst = (flags & UIFIND_TOP_FIRST) != 0;
        for (int n = 0; n < count; ++n) {
            CControlUI* child = ChildAt(topFirst ? count - 1 - n : n);
            CControlUI* found = child->FindControl(proc, data, flags);
            if (found && (!hitTest || found->IsFloat() || PtInRect(&inner, *pt))) return found;
        }
    }
    if (!(flags & UIFIND_ME_FIRST) && selfEligible) return proc(this, data);
    return nullptr;
}

void CContainerUI::DoEvent(TUIEvent& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (m_parent) {
            m_parent->DoEvent(event);
        } else {
            CControlUI::DoEvent(event);
        }
        return;
    }
    if (event.type == EventSetFocus || event.type == EventKillFocus) {
        m_focused = event.type == EventSetFocus;
        return;
    }
    const auto usable = [](const CScrollBarUI* bar) { return bar && bar->IsVisible() && bar->IsEnabled(); };
    if (usable(m_verticalScrollBar.get()) && ScrollOnInput(event, true)) return;
    if (usable(m_horizontalScrollBar.get()) && ScrollOnInput(event, false)) return;
    CControlUI::DoEvent(event);
}

// The scrolling keys and wheel notches; a horizontal bar takes the same keys
// as a vertical one. Steps go through the table, so a derived container's
// own scrolling is used.
bool CContainerUI::ScrollOnInput(const TUIEvent& event, bool vertical) {
    using Step = void (CContainerUI::*)();
    struct Steps {
        Step lineBack, lineForward, pageBack, pageForward, home, end;
    };
    static constexpr Steps kVertical{&CContainerUI::LineUp,   &CContainerUI::LineDown, &CContainerUI::PageUp,
                                     &CContainerUI::PageDown, &CContainerUI::HomeUp,   &CContainerUI::EndDown};
    static constexpr Steps kHorizontal{&CContainerUI::LineLeft,  &CContainerUI::LineRight,
                                       &CContainerUI::PageLeft,  &CContainerUI::PageRight,
                                       &CContainerUI::HomeLeft,  &CContainerUI::EndRight};
    const Steps& steps = vertical ? kVertical : kHorizontal;
    Step step = nullptr;
    if (event.type == EventKeyDown) {
        switch (event.keyChar) {
        case VK_UP: step = steps.lineBack; break;
        case VK_DOWN: step = steps.lineForward; break;
        case VK_PRIOR: step = steps.pageBack; break;
        case VK_NEXT: step = steps.pageForward; break;
        case VK_HOME: step = steps.home; break;
        case VK_END: step = steps.end; break;
        default: break;
        }
    } else if (event.type == EventScrollWheel) {
        const WORD code = LOWORD(event.wParam);
        if (code == SB_LINEUP) step = steps.lineBack;
        if (code == SB_LINEDOWN) step = steps.lineForward;
    }
    if (!step) return false;
    (this->*step)();
    return true;
}

void CContainerUI::ApplyScrollBarStyle(CScrollBarUI* bar, LPCTSTR style) {
    if (!bar) return;
    LPCTSTR named = m_manager ? m_manager->GetStyle(style) : nullptr;
    bar->ApplyAttributeList(named ? named : style);
}

void CContainerUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    // "childalign" and "childvalign" and their values are matched exactly.
    if (wcscmp(name, L"childalign") == 0) {
        if (wcscmp(value, L"left") == 0) m_childAlign = DT_LEFT;
        else if (wcscmp(value, L"center") == 0) m_childAlign = DT_CENTER;
        else if (wcscmp(value, L"right") == 0) m_childAlign = DT_RIGHT;
        return;
    }
    if (wcscmp(name, L"childvalign") == 0) {
        if (wcscmp(value, L"top") == 0) m_childVAlign = DT_TOP;
        else if (wcscmp(value, L"vcenter") == 0) m_childVAlign = DT_VCENTER;
        else if (wcscmp(value, L"bottom") == 0) m_childVAlign = DT_BOTTOM;
        return;
    }
    if (attribute::Is(name, L"inset")) {
        SetInset(attribute::Rect(value));
    } else if (attribute::Is(name, L"mousechild")) {
        SetMouseChildEnabled(IsTrue(value));
    } else if (attribute::Is(name, L"vscrollbar")) {
        EnableScrollBar(IsTrue(value), GetHorizontalScrollBar() != nullptr);
    } else if (attribute::Is(name, L"vscrollbarstyle")) {
        m_verticalScrollBarStyle = value;
        EnableScrollBar(true, GetHorizontalScrollBar() != nullptr);
        ApplyScrollBarStyle(GetVerticalScrollBar(), value);
    } else if (attribute::Is(name, L"hscrollbar")) {
        EnableScrollBar(GetVerticalScrollBar() != nullptr, IsTrue(value));
    } else if (attribute::Is(name, L"hscrollbarstyle")) {
        m_horizontalScrollBarStyle = value;
        EnableScrollBar(GetVerticalScrollBar() != nullptr, true);
        ApplyScrollBarStyle(GetHorizontalScrollBar(), value);
    } else if (attribute::Is(name, L"childpadding")) {
        SetChildPadding(_wtoi(value));
    } else if (attribute::Is(name, L"scrollstepsize")) {
        SetScrollStepSize(_wtoi(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

bool CContainerUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) {
    RECT area;
    if (!IntersectRect(&area, &paint, &m_itemRect)) return true;
    CRenderClip clip;
    CRenderClip::GenerateClip(dc, area, clip);
    CControlUI::DoPaint(dc, paint, stopControl);
    return PaintChildren(dc, paint, stopControl);
}

bool CContainerUI::PaintChildren(HDC dc, const RECT& paint, CControlUI* stopControl, bool (*skip)(CControlUI*)) {
    if (!m_items.empty()) {
        const RECT inner = GetInnerRect();
        RECT innerPaint;
        if (!IntersectRect(&innerPaint, &paint, &inner)) {
            // Only floating children can show outside the inner rectangle.
            for (int i = 0; i < OwnCount(); ++i) {
                CControlUI* child = ChildAt(i);
                if (child == stopControl) return false;
                if ((skip && skip(child)) || !child->IsVisible() || !child->IsFloat()) continue;
                if (!Meets(paint, child->GetPos()) || !Meets(m_itemRect, child->GetPos())) continue;
                if (!child->Paint(dc, paint, stopControl)) return false;
            }
        } else {
            CRenderClip childClip;
            CRenderClip::GenerateClip(dc, innerPaint, childClip);
            for (int i = 0; i < OwnCount(); ++i) {
                CControlUI* child = ChildAt(i);
                if (child == stopControl) return false;
                if ((skip && skip(child)) || !child->IsVisible() || !Meets(paint, child->GetPos())) continue;
                if (child->IsFloat()) {
                    if (!Meets(m_itemRect, child->GetPos())) continue;
                    CRenderClip::UseOldClipBegin(dc, childClip);
                    const bool painted = child->Paint(dc, paint, stopControl);
                    CRenderClip::UseOldClipEnd(dc, childClip);
                    if (!painted) return false;
                } else {
                    if (!Meets(inner, child->GetPos())) continue;
                    if (!child->Paint(dc, paint, stopControl)) return false;
                }
            }
        }
    }

    for (CScrollBarUI* bar : {VisibleVerticalBar(), VisibleHorizontalBar()}) {
        if (!bar) continue;
        if (bar == stopControl) return false;
        if (Meets(paint, bar->GetPos()) && !bar->Paint(dc, paint, stopControl)) return false;
    }
    return true;
}

}  // namespace KvUI
