#pragma once
#include "ui/lists/ListContainerElementUI.h"
#include "ui/lists/MenuObserver.h"

namespace KvUI {

class CMenuWnd;

// One row of a context menu: a command, a check item (its icon shows only
// while checked) or a separator line. Children that are menu elements form
// its sub-menu, which opens in a window of its own when the row is hovered;
// a release on a row without sub-items posts its command to the main window
// and closes every menu.
class CMenuElementUI : public CListContainerElementUI {
public:
    CMenuElementUI();
    ~CMenuElementUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    SIZE EstimateSize(SIZE available) override;
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;
    void DrawItemText(HDC dc, const RECT& item) override;

    // A separator: 6 high (unless the skin gave another height), no input.
    void SetLineType();
    void SetLineColor(DWORD color) { m_lineColor = color; }
    void SetLinePadding(RECT padding) { m_linePadding = padding; }
    void SetIcon(LPCTSTR icon) { m_icon = icon; }
    void SetIconSize(LONG cx, LONG cy) { m_iconSize = SIZE{cx, cy}; }
    void SetCheckItem(bool checkItem) { m_checkItem = checkItem; }
    bool GetCheckItem() const { return m_checkItem; }
    void SetShowExplandIcon(bool show) { m_showExplandIcon = show; }

    // The check state lives in the observer's check map, by element name.
    bool GetChecked() const;
    void SetChecked(bool checked);
    static MenuCheckRecord* SetItemInfo(LPCTSTR name, bool checked);

    // Opens this element's sub-menu window.
    void CreateMenuWnd();
    void DrawItemIcon(HDC dc, const RECT& item);
    void DrawItemExpland(HDC dc, const RECT& item);

private:
    friend class CMenuWnd;

    bool HasSubItems();
    void ShowSubItems();
    void SelectSelf();
    void CloseMenusBelow();
    // The command of a row without sub-items: toggle, post, close every menu.
    void RunCommand();
    void PostCommand();

    CMenuWnd* m_subMenu = nullptr;
    bool m_drawLine = false;
    DWORD m_lineColor = 0xFFBCBFC4;
    RECT m_linePadding = {29, 0, 7, 0};
    SIZE m_iconSize = {16, 16};
    CUIString m_icon;
    bool m_checkItem = false;
    bool m_showExplandIcon = false;
};

}  // namespace KvUI
