#include "ui/lists/AnimationTabLayoutUI.h"

#include "ui/core/AttributeValue.h"
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
    if (name && attribute::Is(name, L"AnimationTabLayout")) return static_cast<CAnimationTabLayoutUI*>(this);
    return CTabLayoutUI::GetInterface(name);
}

void CAnimationTabLayoutUI::DoEvent(TUIEvent& event) {
    if (event.type == EventTimer) OnAnimationElapse(static_cast<int>(event.wParam));
    CContainerUI::DoEvent(event);
}

void CAnimationTabLayoutUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (name && value && attribute::Is(name, L"animation_direction") && attribute::Is(value, L"vertical")) {
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
    m_currentPage = ShowSelectedPage();
    m_pageShown = false;
    NeedParentUpdate();
    // The first frame shows the page, already in its place for the slide.
    if (m_currentPage) m_currentPage->SetVisible(false);
    StartSlide();
    AnnounceSelection(previous);
    return true;
}

void CAnimationTabLayoutUI::StartSlide() {
    m_rectBefore = m_itemRect;
    const int width = m_rectBefore.right - m_rectBefore.left;
    const int height = m_rectBefore.bottom - m_rectBefore.top;
    m_curRect = m_rectBefore;
    if (m_vertical) {
        OffsetRect(&m_curRect, 0, -height * m_direction);
    } else {
        OffsetRect(&m_curRect, (kStartOffset - width) * m_direction, 0);
    }
    StopAnimation(kSlideId);
    if (StartAnimation(kFrameInterval, kFrames, kSlideId, false)) return;
    // No window to time the slide (a skin chooses its page while it is
    // built): the page shows at once instead of staying hidden.
    m_pageShown = true;
    if (m_currentPage) m_currentPage->SetVisible(true);
}

void CAnimationTabLayoutUI::OnAnimationStep(int totalFrames, int currentFrame, int id) {
    (void)id;
    if (!m_pageShown) {
        m_pageShown = true;
        // The page may have been removed since the slide began.
        if (m_currentPage && GetItemIndex(m_currentPage) >= 0) m_currentPage->SetVisible(true);
    }
    if (currentFrame == totalFrames) {
        m_curRect = m_rectBefore;
        m_itemRect = m_rectBefore;
    } else if (m_vertical) {
        OffsetRect(&m_curRect, 0, (m_rectBefore.bottom - m_rectBefore.top) * m_direction / totalFrames);
    } else {
        OffsetRect(&m_curRect, (m_rectBefore.right - m_rectBefore.left) * m_direction / totalFrames, 0);
    }
    SetPos(m_curRect, true);
}

void CAnimationTabLayoutUI::OnAnimationStop(int id) {
    (void)id;
    SetPos(m_rectBefore, true);
    NeedParentUpdate();
}

}  // namespace KvUI
