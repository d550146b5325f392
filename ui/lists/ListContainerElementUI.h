#pragma once
#include "ui/core/HorizontalLayoutUI.h"
#include "ui/lists/ListItemCore.h"

namespace KvUI {

// A row that is a horizontal layout of any controls; in a list its children
// line up with the header's columns, and rows of a fixed width tile the body.
// Menu elements and tree nodes derive from it.
class CListContainerElementUI : public CHorizontalLayoutUI, public CListItemCore {
public:
    CListContainerElementUI();
    ~CListContainerElementUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    UINT GetControlFlags() const override;
    bool Activate() override;
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;

    void DrawItemText(HDC dc, const RECT& item) override;

private:
    // Gives each child the left and right of its header column.
    void AlignChildrenToHeader();
};

}  // namespace KvUI
