#pragma once
// What every list row keeps, whatever control it is: its index, selection,
// button state and owner, the selection protocol with the owner, and the
// background drawn from the owner's list info.
#include "ui/core/ControlUI.h"
#include "ui/lists/ListInterfaces.h"

namespace KvUI {

class CListItemCore : public IListItemUI {
public:
    int GetIndex() const override { return m_index; }
    void SetIndex(int index) override { m_index = index; }
    IListOwnerUI* GetOwner() const override { return m_owner; }
    void SetOwner(CControlUI* owner) override;
    bool IsSelected() const override { return m_selected; }
    bool Select(bool select = true) override;
    bool SelectMulti(bool select = true) override;
    // Rows do not expand in this library.
    bool IsExpanded() const override { return false; }
    bool Expand(bool) override { return false; }

    // The row's background, grid lines included, from the owner's list info.
    virtual void DrawItemBk(HDC dc, const RECT& item);

protected:
    explicit CListItemCore(CControlUI& row) : m_row(row) {}
    ~CListItemCore() = default;

    // Repaints the part of the row its container shows: inside the
    // container's inset and scroll bars and every ancestor.
    void InvalidateRow();
    // The click, hover and selection rules that rows share; true when
    // `event` was consumed.
    bool HandleRowMouse(const TUIEvent& event);
    // Hands `event` to the owner; false without one.
    bool ForwardToOwner(TUIEvent& event);
    // A row hidden while selected takes the owner's selection with it.
    void AfterVisibilityChange();
    // A disabled row shows neither hot nor pushed.
    void AfterEnabledChange();
    // "itemactivate", once the row's own activation succeeded.
    void NotifyActivate();
    // The text colour of the row's state from `info`.
    DWORD ItemTextColor(const TListInfo& info) const;
    // The list info's text padding at the display's scale.
    RECT ScaledTextPadding(const TListInfo& info) const;

    int m_index = -1;
    bool m_selected = false;
    UINT m_buttonState = 0;
    IListOwnerUI* m_owner = nullptr;

private:
    CControlUI& m_row;
};

}  // namespace KvUI
