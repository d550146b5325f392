#pragma once
#include "ui/controls/LabelUI.h"

namespace KvUI {

// Shows a value between a minimum and a maximum as the filled part of its
// rectangle, in the fore colour and/or the fore image; the text can show the
// percentage.
class CProgressUI : public CLabelUI {
public:
    CProgressUI();
    ~CProgressUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    void PaintForeColor(HDC dc) override;
    void PaintForeImage(HDC dc) override;

    // Sets the text to the percentage when the show-text switch is on.
    virtual void UpdateText();

    bool IsShowText() const { return m_showText; }
    void SetShowText(bool showText);
    bool IsHorizontal() const { return m_horizontal; }
    void SetHorizontal(bool horizontal);
    bool IsStretchForeImage() const { return m_stretchForeImage; }
    void SetStretchForeImage(bool stretch);
    int GetMinValue() const { return m_min; }
    void SetMinValue(int value);
    int GetMaxValue() const { return m_max; }
    void SetMaxValue(int value);
    int GetValue() const { return m_value; }
    // A value outside minimum..maximum is ignored.
    virtual void SetValue(int value);

protected:
    // What painting does first: a maximum not above the minimum becomes
    // minimum + 1 and the value is clamped into the range (both stored).
    void NormalizeRange();
    // maximum - minimum, never below 1, so no caller divides by zero.
    int Range() const;
    // The filled part relative to the control's top-left corner.
    RECT FilledPart() const;

    bool m_showText = false;
    bool m_horizontal = true;
    bool m_stretchForeImage = true;
    int m_max = 100;
    int m_min = 0;
    int m_value = 0;
    CUIString m_foreImageModify;
};

}  // namespace KvUI
