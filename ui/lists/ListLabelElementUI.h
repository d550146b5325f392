#pragma once
#include "ui/lists/ListElementUI.h"

namespace KvUI {

// A row with one text, drawn in its owner's item font, colours and padding;
// a click selects it, a Ctrl-click toggles it in a multiple selection.
class CListLabelElementUI : public CListElementUI {
public:
    CListLabelElementUI();
    ~CListLabelElementUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void DoEvent(TUIEvent& event) override;
    SIZE EstimateSize(SIZE available) override;
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;

    void DrawItemText(HDC dc, const RECT& item) override;
};

}  // namespace KvUI
