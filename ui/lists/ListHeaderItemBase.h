#pragma once
#include "ui/core/ContainerUI.h"
#include "ui/core/HorizontalLayoutUI.h"

namespace KvUI {

// What every column of a list header does, whatever container it is built
// on: a caption with state images, a separator that the user drags to change
// the column's width, and a notification when pressed elsewhere.
template <class Base>
class CListHeaderItemBase : public Base {
public:
    ~CListHeaderItemBase() override;

    UINT GetControlFlags() const override;
    void SetEnabled(bool enabled = true) override;
    void DoEvent(TUIEvent& event) override;
    SIZE EstimateSize(SIZE available) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    void PaintStatusImage(HDC dc) override;
    void PaintText(HDC dc) override;

    bool IsDragable() const { return m_dragable; }
    void SetDragable(bool dragable);
    // Above 0 a separator at the right edge, below 0 one of that width at the
    // left edge, 0 none.
    int GetSepWidth() const { return m_sepWidth; }
    void SetSepWidth(int width) { m_sepWidth = width; }
    DWORD GetTextColor() const { return m_textColor; }
    void SetTextColor(DWORD color) { m_textColor = color; }
    int GetFont() const { return m_font; }
    void SetFont(int index) { m_font = index; }
    UINT GetTextStyle() const { return m_textStyle; }
    RECT GetTextPadding() const { return m_textPadding; }
    void SetTextPadding(RECT padding);
    bool IsShowHtml() const { return m_showHtml; }
    void SetShowHtml(bool showHtml);
    LPCTSTR GetNormalImage() const { return m_normalImage; }
    void SetNormalImage(LPCTSTR image);
    LPCTSTR GetHotImage() const { return m_hotImage; }
    void SetHotImage(LPCTSTR image);
    LPCTSTR GetPushedImage() const { return m_pushedImage; }
    void SetPushedImage(LPCTSTR image);
    LPCTSTR GetFocusedImage() const { return m_focusedImage; }
    void SetFocusedImage(LPCTSTR image);
    LPCTSTR GetSepImage() const { return m_sepImage; }
    void SetSepImage(LPCTSTR image);

    // The separator strip: (right - w, top, right, bottom) for a separator
    // width w >= 0, (left, top, left - w, bottom) for a negative one.
    RECT GetThumbRect() const;

protected:
    // `clickNotification` is sent when the item is pressed off its separator.
    explicit CListHeaderItemBase(LPCTSTR clickNotification);

    // The caption with `extraStyle` added and its left edge moved right by `indent`.
    void PaintCaption(HDC dc, UINT extraStyle, int indent);

    UINT m_buttonState = 0;

private:
    // The separator widened 4 pixels outward, where a press starts a drag.
    RECT GetDragRect() const;
    void DragTo(POINT pt);

    LPCTSTR m_clickNotification;
    POINT m_lastMouse = {};
    // The item's rectangle as the drag has made it so far: moves may come
    // faster than the layout.
    RECT m_dragRect = {};
    bool m_dragable = true;
    int m_sepWidth = 4;
    DWORD m_textColor = 0;
    int m_font = -1;
    UINT m_textStyle = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    bool m_showHtml = false;
    RECT m_textPadding = {2, 0, 2, 0};
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_pushedImage;
    CUIString m_focusedImage;
    CUIString m_sepImage;
    CUIString m_sepImageModify;
};

// The two kinds of header items: a plain container and a horizontal layout.
extern template class CListHeaderItemBase<CContainerUI>;
extern template class CListHeaderItemBase<CHorizontalLayoutUI>;

}  // namespace KvUI
