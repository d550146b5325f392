#pragma once
#include "ui/core/PaintManagerUI.h"
#include "ui/core/WindowWnd.h"

namespace KvUI {

class CComboUI;
class CVerticalLayoutUI;

// The pop-up of an open combo box: a borderless window with its own paint
// manager, whose one vertical layout borrows the combo's items while it is
// open and gives them back however it goes. It frees itself when its window
// is destroyed.
class CComboWnd : public CWindowWnd, public INotifyUI {
public:
    CComboWnd() = default;
    ~CComboWnd() override;

    // Places and shows the drop-down for `owner`; false when no window could be made.
    bool Init(CComboUI* owner);
    void Notify(TUINotify& msg) override;
    // Scrolls the layout so that item `index` shows whole.
    void EnsureVisible(int index);

protected:
    LPCTSTR GetWindowClassName() const override;
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    LRESULT OnCreate();
    LRESULT OnKeyDown(WPARAM key);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    // Whether the point (client coordinates) is on an item, not a scroll bar.
    bool IsHitItem(POINT pt) const;
    // Hands the items back to the combo, once.
    void ReturnItems();

    CPaintManagerUI m_pm;
    CComboUI* m_owner = nullptr;
    CVerticalLayoutUI* m_layout = nullptr;
    int m_oldSel = -1;
    bool m_hitItem = false;
    bool m_itemsReturned = false;
    // Set once the window exists: from then on its final message frees the object.
    bool m_selfOwned = false;
};

}  // namespace KvUI
