#pragma once
#include "ui/controls/UIAnimation.h"
#include "ui/lists/TabLayoutUI.h"

namespace KvUI {

// A tab layout that slides the newly selected page in from the side (or from
// above or below) in 15 frames.
class CAnimationTabLayoutUI : public CTabLayoutUI, public CUIAnimation {
public:
    CAnimationTabLayoutUI();
    ~CAnimationTabLayoutUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    bool SelectItem(int index) override;

    void OnAnimationStep(int totalFrames, int currentFrame, int id) override;
    void OnAnimationStop(int id) override;

private:
    void StartSlide();

    bool m_vertical = false;
    int m_direction = 1;
    RECT m_curRect = {};
    RECT m_rectBefore = {};
    CControlUI* m_currentPage = nullptr;
    bool m_pageShown = false;
};

}  // namespace KvUI
