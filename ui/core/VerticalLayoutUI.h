#pragma once
#include "ui/core/LinearLayout.h"

namespace KvUI {

// Stacks its children top to bottom. With a separator ("sepheight") the user
// drags its bottom (or top) edge to resize the layout itself.
class CVerticalLayoutUI : public CLinearLayoutUI {
public:
    CVerticalLayoutUI() : CLinearLayoutUI(true) {}

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;

    // Above 0 a strip at the bottom edge, below 0 one of that size at the top, 0 none.
    int GetSepHeight() const { return m_separator.GetSize(); }
    void SetSepHeight(int height) { m_separator.SetSize(height); }
};

}  // namespace KvUI
