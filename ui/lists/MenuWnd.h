#pragma once
#include "ui/core/DialogBuilder.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/WindowWnd.h"
#include "ui/lists/MenuObserver.h"

namespace KvUI {

class CMenuElementUI;
class CMenuUI;

// The pop-up window of one level of a context menu. A root menu is built
// from a skin file at a screen point and belongs to whoever made it; a
// sub-menu borrows the sub-items of the element that opened it and frees
// itself when its window is destroyed. Every open menu window registers with
// the menu observer and closes on its broadcasts.
class CMenuWnd : public CWindowWnd, public MenuReceiverImpl, public INotifyUI, public IDialogBuilderCallback {
public:
    CMenuWnd();
    // A root menu deleted while its window exists destroys the window first.
    ~CMenuWnd() override;

    // Creates and shows the menu: for a sub-menu `owner` is the element
    // whose sub-items it shows; a root menu (no owner) is built from `skin`
    // at `point` (screen coordinates) and reports commands to `mainManager`'s
    // window. False when no window could be made.
    bool Init(CMenuElementUI* owner, LPCTSTR skin, POINT point, CPaintManagerUI* mainManager,
              MenuCheckMap* checks = nullptr, DWORD alignment = MenuAlignLeft | MenuAlignTop);
    // Posts the window WM_CLOSE; nothing once the window is gone.
    void Close(UINT result = 1);
    bool IsClosing() const { return m_closing; }

    int Receive(int type, HWND window) override;
    void Notify(TUINotify& msg) override;
    CControlUI* CreateControl(LPCTSTR className) override;

    CControlUI* GetMenuRoot() const;
    CPaintManagerUI* GetManager() { return &m_pm; }
    // Sizes and places a root menu at its point, inside the monitor's work area.
    void ResizeMenu();
    // Places a sub-menu beside its parent menu, inside the work area.
    void ResizeSubMenu();
    // Frees every record of the check map handed to the root menu.
    static void DestroyMenu();

protected:
    LPCTSTR GetWindowClassName() const override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    LRESULT OnCreate();
    void CreateSubMenuContent();
    void CreateRootContent();
    void OnSize();
    void OnKillFocus(HWND gaining);
    // Hands a sub-menu's items back to their element, once.
    void ReturnItems();

    bool m_closing = false;
    POINT m_basedPoint = {};
    // A skin file name, or a resource identifier kept as it came.
    CUIString m_skin;
    LPCTSTR m_skinId = nullptr;
    CPaintManagerUI m_pm;
    CMenuElementUI* m_owner = nullptr;
    CMenuUI* m_layout = nullptr;
    DWORD m_alignment = MenuAlignLeft | MenuAlignTop;
    bool m_itemsReturned = false;
    bool m_selfOwned = false;
};

}  // namespace KvUI
