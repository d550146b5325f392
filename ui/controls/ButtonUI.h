#pragma once
#include "ui/controls/LabelUI.h"

namespace KvUI {

// The push button: a label that keeps a button state word, paints its own
// image, background, text colour and font for the hot, pushed, focused and
// disabled states (optionally cut from one strip image), reports activation
// with "click" and can select a page of a tab layout.
class CButtonUI : public CLabelUI {
public:
    CButtonUI();
    ~CButtonUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    UINT GetControlFlags() const override;
    bool Activate() override;
    void SetEnabled(bool enabled = true) override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    void PaintBkColor(HDC dc) override;
    void PaintStatusImage(HDC dc) override;
    void PaintForeImage(HDC dc) override;
    void PaintText(HDC dc) override;

    virtual LPCTSTR GetNormalImage() const;
    virtual void SetNormalImage(LPCTSTR image);
    virtual LPCTSTR GetHotImage() const;
    virtual void SetHotImage(LPCTSTR image);
    virtual LPCTSTR GetPushedImage() const;
    virtual void SetPushedImage(LPCTSTR image);
    virtual LPCTSTR GetFocusedImage() const;
    virtual void SetFocusedImage(LPCTSTR image);
    virtual LPCTSTR GetDisabledImage() const;
    virtual void SetDisabledImage(LPCTSTR image);
    virtual LPCTSTR GetHotForeImage() const;
    virtual void SetHotForeImage(LPCTSTR image);
    virtual LPCTSTR GetStateImage() const;
    // Empties the normal image so that the next paint cuts the strip again.
    virtual void SetStateImage(LPCTSTR image);

    // Selects page `index` of the bound tab layout, or the bound page when
    // `index` is negative.
    void SelectBoundTab(int index = -1);

    int GetStateCount() const { return m_stateCount; }
    void SetStateCount(int count);
    int GetHotFont() const { return m_hotFont; }
    void SetHotFont(int index);
    int GetPushedFont() const { return m_pushedFont; }
    void SetPushedFont(int index);
    int GetFocusedFont() const { return m_focusedFont; }
    void SetFocusedFont(int index);
    DWORD GetHotBkColor() const { return m_hotBkColor; }
    void SetHotBkColor(DWORD color);
    DWORD GetPushedBkColor() const { return m_pushedBkColor; }
    void SetPushedBkColor(DWORD color);
    DWORD GetDisabledBkColor() const { return m_disabledBkColor; }
    void SetDisabledBkColor(DWORD color);
    DWORD GetHotTextColor() const { return m_hotTextColor; }
    void SetHotTextColor(DWORD color) { m_hotTextColor = color; }
    DWORD GetPushedTextColor() const { return m_pushedTextColor; }
    void SetPushedTextColor(DWORD color) { m_pushedTextColor = color; }
    DWORD GetFocusedTextColor() const { return m_focusedTextColor; }
    void SetFocusedTextColor(DWORD color) { m_focusedTextColor = color; }
    int GetBindTabIndex() const { return m_bindTabIndex; }
    void SetBindTabIndex(int index);
    LPCTSTR GetBindTabLayoutName() const { return m_bindTabLayoutName; }
    void SetBindTabLayoutName(LPCTSTR name);

protected:
    // Re-reads the focused and disabled bits; a disabled host window leaves
    // only the disabled bit.
    void RefreshState();
    RECT TextRect() const;

    UINT m_state = 0;

private:
    int m_hotFont = -1;
    int m_pushedFont = -1;
    int m_focusedFont = -1;
    DWORD m_hotBkColor = 0;
    DWORD m_pushedBkColor = 0;
    DWORD m_disabledBkColor = 0;
    DWORD m_hotTextColor = 0;
    DWORD m_pushedTextColor = 0;
    DWORD m_focusedTextColor = 0;
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_hotForeImage;
    CUIString m_pushedImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
    int m_stateCount = 0;
    CUIString m_stateImage;
    int m_bindTabIndex = -1;
    CUIString m_bindTabLayoutName;
};

}  // namespace KvUI
