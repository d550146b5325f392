#pragma once
#include "ui/controls/LabelUI.h"

namespace KvUI {

class CEditWnd;

// The single-line text field: paints its text, tip text or password mask while
// idle and, while it has the focus, lays a native edit window exactly over its
// text area; what the user types there is copied back on every change.
class CEditUI : public CLabelUI {
public:
    CEditUI();
    ~CEditUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    UINT GetControlFlags() const override;
    void SetText(LPCTSTR text) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    SIZE EstimateSize(SIZE available) override;
    void PaintStatusImage(HDC dc) override;
    void PaintText(HDC dc) override;

    UINT GetMaxChar() const { return m_maxChar; }
    void SetMaxChar(UINT maxChar);
    bool IsReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);
    bool IsNumberOnly() const { return (m_windowStyles & ES_NUMBER) != 0; }
    void SetNumberOnly(bool numberOnly);
    bool IsPasswordMode() const { return m_password; }
    void SetPasswordMode(bool password);
    TCHAR GetPasswordChar() const { return m_passwordChar; }
    // A zero character would show the text in clear: it is refused.
    void SetPasswordChar(TCHAR ch);
    bool IsAutoSelAll() const { return m_autoSelAll; }
    void SetAutoSelAll(bool autoSelAll) { m_autoSelAll = autoSelAll; }
    LPCTSTR GetNormalImage() const { return m_normalImage; }
    void SetNormalImage(LPCTSTR image);
    LPCTSTR GetHotImage() const { return m_hotImage; }
    void SetHotImage(LPCTSTR image);
    LPCTSTR GetFocusedImage() const { return m_focusedImage; }
    void SetFocusedImage(LPCTSTR image);
    LPCTSTR GetDisabledImage() const { return m_disabledImage; }
    void SetDisabledImage(LPCTSTR image);
    // With resource texts the tip value is a key of the text registry.
    CUIString GetTipValue() const;
    void SetTipValue(LPCTSTR tip);
    DWORD GetTipValueColor() const { return m_tipValueColor; }
    void SetTipValueColor(DWORD color);
    DWORD GetNativeEditBkColor() const { return m_nativeBkColor; }
    void SetNativeEditBkColor(DWORD color) { m_nativeBkColor = color; }

private:
    friend class CEditWnd;

    void OpenNativeWindow();
    void PlaceNativeWindow(UINT flags);
    void SendToNativeWindow(UINT msg, WPARAM wParam, LPARAM lParam);

    CEditWnd* m_window = nullptr;
    UINT m_maxChar = 255;
    bool m_readOnly = false;
    bool m_password = false;
    bool m_autoSelAll = false;
    TCHAR m_passwordChar = L'*';
    UINT m_state = 0;
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
    CUIString m_tipValue;
    DWORD m_tipValueColor = 0xFFBAC0C5;
    DWORD m_nativeBkColor = 0xFFFFFFFF;
    DWORD m_windowStyles = 0;
};

}  // namespace KvUI
