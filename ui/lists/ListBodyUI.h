#pragma once
#include <vector>

#include "ui/core/VerticalLayoutUI.h"

namespace KvUI {

class CListUI;

// The rows of a list, stacked as wide as the header's columns need; it
// scrolls the header's columns along with the rows.
class CListBodyUI : public CVerticalLayoutUI {
public:
    explicit CListBodyUI(CListUI* owner);
    ~CListBodyUI() override;

    int GetScrollStepSize() const override;
    void SetScrollPos(SIZE pos, bool notify = true) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void DoEvent(TUIEvent& event) override;

private:
    // Moves the header's columns by -dx with the rows and copies them into
    // the list info.
    void ScrollColumns(int dx);

    CListUI* m_owner;
    // Row heights of the current layout pass, kept to spare a second estimate.
    std::vector<int> m_heights;
};

}  // namespace KvUI
