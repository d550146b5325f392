#pragma once
#include "ui/lists/ComboUI.h"

namespace KvUI {

// A combo box that draws a five-state arrow (normal, hot, pushed, focused,
// disabled, side by side in one image) at its right end.
class CComboBoxUI : public CComboUI {
public:
    CComboBoxUI();
    ~CComboBoxUI() override;

    LPCTSTR GetClass() const override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    void PaintStatusImage(HDC dc) override;
    void PaintText(HDC dc) override;

private:
    CUIString m_arrowImage;
    int m_arrowWidth = 0;
};

}  // namespace KvUI
