#include "ui/lists/AnimationTabLayoutUI.h"

#include "ui/core/PaintManagerUI.h"

namespace KvUI {
namespace {

constexpr int kSlideId = 1;
constexpr int kFrameInterval = 10;
constexpr int kFrames = 15;
// A horizontal slide starts this far inside the layout rather than a whole width away.
constexpr int kStartOffset = 52;

}  // namespace

CAnimationTabLayoutUI::CAnimationTabLayoutUI() : CUIAnimation(this) {}

CAnimationTabLayoutUI::~CAnimationTabLayoutUI() { StopAnimation(0); }

LPCTSTR CAnimationTabLayoutUI::GetClass() const { return L"AnimationTabLayoutUI"; }

LPVOID CAnimationTabLayoutUI::GetInterface(LPCTSTR name) {
    if (name && _wcsicmp(name, L"AnimationTabLayout") == 0) return static_cast<CAnimationTabLayoutUI*>(this);
    return CTabLayoutUI::GetInterface(name);
}

void CAnimationTabLayoutUI::DoEvent(TUIEvent& event) {
    if (event.type == EventTimer) OnAnimationElapse(static_cast<int>(event.wParam));
    CContainerUI::DoEvent(event);
}

void CAnimationTabLayoutUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (name && value && _wcsicmp(name, L"animation_direction") == 0 && _wcsicmp(value, L"vertical") == 0) {
        m_vertical = true;
    }
    CTabLayoutUI::SetAttribute(name, value);
}

bool CAnimationTabLayoutUI::SelectItem(int index) {
    if (index < 0 || index >= GetCount()) return false;
    if (index == m_curSel) return true;
    m_direction = index > m_curSel ? -1 : 1;
    const int previous = m_curSel;
    m_curSel = index;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* page = GetItemAt(i);
        if (i != index) {
            page->SetVisible(false);
            continue;
        }
        page->SetVisible(true);
        page->SetFocus();
        m_pageShown = false;
        m_currentPage = page;
    }
    NeedParentUpdate();
    // The first frame shows the page, already in its place for the slide.
    if (m_currentPage) m_currentPage->SetVisible(false);
    StartSlide();
    if (m_manager) {
        m_manager->SetNextTabControl();
        m_manager->SendNotify(this, L"tabselect", static_cast<WPARAM>(m_curSel), static_cast<LPARAM>(previous));
    }
    return true;
}

void CAnimationTabLayoutUI::StartSlide() {
    // A slide that replaces a running one still ends on the layout's own
    // place, not where the running one had moved it to.
    if (!IsAnimationRunning(kSlideId)) m_rectBefore = m_itemRect;
    m_curRect = m_rectBefore;
    const POINT shift = StartShift();
    OffsetRect(&m_curRect, shift.x, shift.y);
    StopAnimation(kSlideId);
    StartAnimation(kFrameInterval, kFrames, kSlideId, false);
}

POINT CAnimationTabLayoutUI::StartShift() const {
    const RECT& home = m_rectBefore;
    if (m_vertical) return POINT{0, -(home.bottom - home.top) * m_direction};
    return POINT{(kStartOffset - (home.right - home.left)) * m_direction, 0};
}

void CAnimationTabLayoutUI::OnAnimationStep(int totalFrames, int currentFrame, int id) {
    (void)id;
    if (!m_pageShown) {
        m_pageShown = true;
        // The page may have been removed since the slide began.
        if (m_currentPage && GetItemIndex(m_currentPage) >= 0) m_currentPage->SetVisible(true);
    }
    m_curRect = m_rectBefore;
    if (currentFrame >= totalFrames) {
        m_itemRect = m_rectBefore;
    } else {
        // Each frame keeps its share of the start shift, falling evenly to
        // none: the last frame lands on the layout's own place without a jump.
        const POINT shift = StartShift();
        const int remaining = totalFrames - currentFrame;
        OffsetRect(&m_curRect, shift.x * remaining / totalFrames, shift.y * remaining / totalFrames);
    }
    SetPos(m_curRect, true);
}

void CAnimationTabLayoutUI::OnAnimationStop(int id) {
    (void)id;
    SetPos(m_rectBefore, true);
    NeedParentUpdate();
}

}  // namespace KvUI
