#pragma once
#include "ui/controls/ProgressUI.h"

namespace KvUI {

// A progress bar with a thumb the user drags, or a track the user clicks, to
// set the value; the wheel steps it. "valuechanged" follows a drag or a wheel
// turn, "movevaluechanged" every move of a drag when asked for.
class CSliderUI : public CProgressUI {
public:
    CSliderUI();
    ~CSliderUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    UINT GetControlFlags() const override;
    void SetEnabled(bool enabled = true) override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    void PaintForeImage(HDC dc) override;
    // Ignored while the thumb is dragged.
    void SetValue(int value) override;

    RECT GetThumbRect() const;
    LPCTSTR GetThumbImage() const { return m_thumbImage; }
    void SetThumbImage(LPCTSTR image);
    LPCTSTR GetThumbHotImage() const { return m_thumbHotImage; }
    void SetThumbHotImage(LPCTSTR image);
    LPCTSTR GetThumbPushedImage() const { return m_thumbPushedImage; }
    void SetThumbPushedImage(LPCTSTR image);
    SIZE GetThumbSize() const { return m_thumbSize; }
    void SetThumbSize(SIZE size) { m_thumbSize = size; }
    int GetChangeStep() const { return m_step; }
    void SetChangeStep(int step) { m_step = step; }
    bool IsSendMove() const { return m_sendMove; }
    void SetSendMove(bool sendMove) { m_sendMove = sendMove; }

private:
    // The value under `pt`; a press or a move truncates a floating quotient,
    // a release divides integers.
    int ValueAt(POINT pt, bool integerDivision) const;

    UINT m_state = 0;
    SIZE m_thumbSize = {10, 10};
    int m_step = 1;
    CUIString m_thumbImage;
    CUIString m_thumbHotImage;
    CUIString m_thumbPushedImage;
    CUIString m_thumbModifier;
    bool m_sendMove = false;
};

}  // namespace KvUI
