#pragma once
#include "ui/core/ContainerUI.h"
#include "ui/core/LinearLayout.h"

namespace KvUI {

// Stacks its children left to right. With a separator ("sepwidth") the user
// drags its right (or left) edge to resize the layout itself.
class CHorizontalLayoutUI : public CContainerUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    UINT GetControlFlags() const override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    void DoPostPaint(HDC dc, const RECT& paint) override;

    // Above 0 a strip at the right edge, below 0 one of that size at the left, 0 none.
    int GetSepWidth() const { return m_separator.GetSize(); }
    void SetSepWidth(int width) { m_separator.SetSize(width); }
    // Immediate mode resizes at every mouse move instead of on release.
    bool IsSepImmMode() const { return m_separator.IsImmediate(); }
    void SetSepImmMode(bool immediate) { m_separator.SetImmediate(immediate); }
    RECT GetThumbRect(bool useNew = false) const { return m_separator.GetThumbRect(useNew); }

private:
    CLayoutSeparator m_separator{*this, false};
};

}  // namespace KvUI
