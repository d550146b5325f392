#pragma once
#include "ui/core/LinearLayout.h"

namespace KvUI {

// Stacks its children left to right. With a separator ("sepwidth") the user
// drags its right (or left) edge to resize the layout itself.
class CHorizontalLayoutUI : public CLinearLayoutUI {
public:
    CHorizontalLayoutUI() : CLinearLayoutUI(false) {}

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;

    // Above 0 a strip at the right edge, below 0 one of that size at the left, 0 none.
    int GetSepWidth() const { return m_separator.GetSize(); }
    void SetSepWidth(int width) { m_separator.SetSize(width); }
};

}  // namespace KvUI
