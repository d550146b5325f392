#pragma once
#include "ui/core/ContainerUI.h"
#include "ui/lists/ListInterfaces.h"

namespace KvUI {

class CComboWnd;

// A closed box that shows the text of its selected item. Pressing it drops
// its items down in a pop-up window under the box (above it near the bottom
// of the screen); the items stay the combo's and draw from its item settings.
class CComboUI : public CContainerUI, public IListOwnerUI {
public:
    CComboUI();
    ~CComboUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    UINT GetControlFlags() const override;

    // Items; list items are tied to the combo and numbered.
    bool SetItemIndex(CControlUI* control, int newIndex) override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    // Owner of the items.
    int GetListType() const override;
    TListInfo* GetListInfo() override;
    int GetCurSel() const override;
    bool SelectItem(int index, bool takeFocus = false) override;
    bool SelectMultiItem(int index, bool takeFocus = false) override;
    bool UnSelectItem(int index, bool others = false) override;
    void DoEvent(TUIEvent& event) override;

    CUIString GetText() const override;
    void SetEnabled(bool enabled = true) override;
    // Opens the drop-down ("predropdown", then "dropdown" when it opens).
    bool Activate() override;

    UINT GetTextStyle() const { return m_textStyle; }
    DWORD GetTextColor() const { return m_textColor; }
    void SetTextColor(DWORD color);
    DWORD GetDisabledTextColor() const { return m_disabledTextColor; }
    void SetDisabledTextColor(DWORD color);
    int GetFont() const { return m_font; }
    void SetFont(int font);
    RECT GetTextPadding() const { return m_textPadding; }
    void SetTextPadding(RECT padding);
    bool IsShowHtml() const { return m_showHtml; }
    void SetShowHtml(bool showHtml);
    bool IsShowShadow() const { return m_showShadow; }
    void SetShowShadow(bool showShadow);
    LPCTSTR GetDropBoxAttributeList() const { return m_dropBoxAttributes.GetData(); }
    void SetDropBoxAttributeList(LPCTSTR list) { m_dropBoxAttributes = list; }
    // cx 0: as wide as the combo; cy: the drop-down's greatest height.
    SIZE GetDropBoxSize() const { return m_dropBoxSize; }
    void SetDropBoxSize(SIZE size) { m_dropBoxSize = size; }
    RECT GetDropBoxInset() const { return m_dropBoxInset; }
    void SetDropBoxInset(RECT inset) { m_dropBoxInset = inset; }
    LPCTSTR GetNormalImage() const { return m_normalImage.GetData(); }
    void SetNormalImage(LPCTSTR image);
    LPCTSTR GetHotImage() const { return m_hotImage.GetData(); }
    void SetHotImage(LPCTSTR image);
    LPCTSTR GetPushedImage() const { return m_pushedImage.GetData(); }
    void SetPushedImage(LPCTSTR image);
    LPCTSTR GetFocusedImage() const { return m_focusedImage.GetData(); }
    void SetFocusedImage(LPCTSTR image);
    LPCTSTR GetDisabledImage() const { return m_disabledImage.GetData(); }
    void SetDisabledImage(LPCTSTR image);
    // The wheel moves the selection.
    bool IsScrollSelect() const { return m_scrollSelect; }
    void SetScrollSelect(bool scrollSelect) { m_scrollSelect = scrollSelect; }

    SIZE EstimateSize(SIZE available) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;
    void PaintStatusImage(HDC dc) override;
    void PaintText(HDC dc) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;

protected:
    // Focused and disabled follow the control's own state.
    void SyncButtonState();
    UINT m_buttonState = 0;

private:
    friend class CComboWnd;

    bool HandleKey(const TUIEvent& event);
    void Renumber(int first, int last);

    CComboWnd* m_window = nullptr;
    int m_curSel = -1;
    DWORD m_textColor = 0;
    DWORD m_disabledTextColor = 0;
    int m_font = -1;
    UINT m_textStyle = DT_VCENTER | DT_SINGLELINE;
    RECT m_textPadding = {};
    bool m_showHtml = false;
    bool m_showShadow = false;
    CUIString m_dropBoxAttributes;
    SIZE m_dropBoxSize = {0, 150};
    RECT m_dropBoxInset = {};
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_pushedImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
    bool m_scrollSelect = true;
    TListInfo m_listInfo;
};

}  // namespace KvUI
