#pragma once
#include "ui/controls/ButtonUI.h"
#include "ui/controls/UIAnimation.h"

namespace KvUI {

// A button that cross-fades between its normal and hot images when the mouse
// enters or leaves it: the old picture once, 31 blended frames about 10 ms
// apart, then the new picture.
class CFadeButtonUI : public CButtonUI, public CUIAnimation {
public:
    // The two fades, each also the id of the control timer that drives it.
    static constexpr int kFadeIn = 8;
    static constexpr int kFadeOut = 9;

    CFadeButtonUI();
    ~CFadeButtonUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void SetNormalImage(LPCTSTR image) override;
    void DoEvent(TUIEvent& event) override;
    void OnAnimationStep(int totalFrames, int currentFrame, int id) override;
    void PaintStatusImage(HDC dc) override;

private:
    void StartFade(int id, bool& requested);

    CUIString m_fadeOutImage;
    CUIString m_fadeInImage;
    CUIString m_lastImage;
    BYTE m_fadeAlpha = 0;
    bool m_mouseEntered = false;
    bool m_mouseLeft = false;
};

}  // namespace KvUI
