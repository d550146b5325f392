#pragma once
#include "ui/core/ContainerUI.h"
#include "ui/core/LinearLayout.h"

namespace KvUI {

// Stacks its children top to bottom. With a separator ("sepheight") the user
// drags its bottom (or top) edge to resize the layout itself.
class CVerticalLayoutUI : public CContainerUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    UINT GetControlFlags() const override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    void DoPostPaint(HDC dc, const RECT& paint) override;

    // Above 0 a strip at the bottom edge, below 0 one of that size at the top, 0 none.
    int GetSepHeight() const { return m_separator.GetSize(); }
    void SetSepHeight(int height) { m_separator.SetSize(height); }
    // Immediate mode resizes at every mouse move instead of on release.
    bool IsSepImmMode() const { return m_separator.IsImmediate(); }
    void SetSepImmMode(bool immediate) { m_separator.SetImmediate(immediate); }
    RECT GetThumbRect(bool useNew = false) const { return m_separator.GetThumbRect(useNew); }

private:
    CLayoutSeparator m_separator{*this, true};
};

}  // namespace KvUI
