#pragma once
#include "ui/controls/LabelUI.h"

namespace KvUI {

class CHotKeyWnd;

// A field for a key combination: it shows the combination's readable name
// ("Ctrl + Shift + A") and, while it has the focus, lays the system hot-key
// control over its text area to take the keys.
class CHotKeyUI : public CLabelUI {
public:
    CHotKeyUI();
    ~CHotKeyUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    UINT GetControlFlags() const override;
    void SetText(LPCTSTR text) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    SIZE EstimateSize(SIZE available) override;
    void PaintStatusImage(HDC dc) override;
    void PaintText(HDC dc) override;

    LPCTSTR GetNormalImage() const { return m_normalImage; }
    void SetNormalImage(LPCTSTR image);
    LPCTSTR GetHotImage() const { return m_hotImage; }
    void SetHotImage(LPCTSTR image);
    LPCTSTR GetFocusedImage() const { return m_focusedImage; }
    void SetFocusedImage(LPCTSTR image);
    LPCTSTR GetDisabledImage() const { return m_disabledImage; }
    void SetDisabledImage(LPCTSTR image);
    DWORD GetNativeBkColor() const { return m_nativeBkColor; }
    void SetNativeBkColor(DWORD color) { m_nativeBkColor = color; }

    // The combination: a virtual key and HOTKEYF_* modifiers. Setting it also
    // sets the text to its name and the open native control to it.
    void GetHotKey(WORD& virtualKey, WORD& modifiers) const;
    void SetHotKey(WORD virtualKey, WORD modifiers);

    // The readable name of a combination; empty when key and modifiers are 0.
    static CUIString NameOf(WORD virtualKey, WORD modifiers);

private:
    friend class CHotKeyWnd;

    CHotKeyWnd* m_window = nullptr;
    UINT m_state = 0;
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
    DWORD m_nativeBkColor = 0xFFFFFFFF;
    WORD m_virtualKey = 0;
    WORD m_modifiers = 0;
};

}  // namespace KvUI
