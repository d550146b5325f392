#pragma once
#include "ui/controls/LabelUI.h"
#include "ui/core/RenderEngine.h"

namespace KvUI {

// A busy indicator: a label whose background image turns by 36 degrees
// every 100 ms about the control's centre.
class CRingUI : public CLabelUI {
public:
    static constexpr UINT kTurnTimer = 100;

    CRingUI();
    ~CRingUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    void DoEvent(TUIEvent& event) override;
    void PaintBkImage(HDC dc) override;

private:
    float m_angle = 0;
    GdiplusImagePtr m_image;
};

}  // namespace KvUI
