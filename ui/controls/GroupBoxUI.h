#pragma once
#include "ui/core/VerticalLayoutUI.h"

namespace KvUI {

// A vertical layout drawn as a titled frame: a border 5 pixels inside its
// rectangle, broken at the top left where its text sits on its own background.
class CGroupBoxUI : public CVerticalLayoutUI {
public:
    CGroupBoxUI();
    ~CGroupBoxUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    void PaintText(HDC dc) override;
    void PaintBorder(HDC dc) override;

    DWORD GetTextColor() const { return m_textColor; }
    void SetTextColor(DWORD color);
    DWORD GetDisabledTextColor() const { return m_disabledTextColor; }
    void SetDisabledTextColor(DWORD color);
    int GetFont() const { return m_font; }
    void SetFont(int index);

private:
    RECT FrameRect() const;

    DWORD m_textColor = 0;
    DWORD m_disabledTextColor = 0;
    int m_font = -1;
    UINT m_textStyle = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
};

}  // namespace KvUI
