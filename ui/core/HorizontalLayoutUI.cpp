#include "ui/core/HorizontalLayoutUI.h"

#include <cwchar>

namespace KvUI {

LPCTSTR CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayoutUI"; }

LPVOID CHorizontalLayoutUI::GetInterface(LPCTSTR name) {
    if (name && _wcsicmp(name, L"HorizontalLayout") == 0) return this;
    return CContainerUI::GetInterface(name);
}

UINT CHorizontalLayoutUI::GetControlFlags() const {
    return IsEnabled() && m_separator.GetSize() != 0 ? UIFLAG_SETCURSOR : 0;
}

void CHorizontalLayoutUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    StackChildren(*this, false);
}

void CHorizontalLayoutUI::DoEvent(TUIEvent& event) {
    const CLayoutSeparator::Result result = m_separator.HandleEvent(event);
    if (result == CLayoutSeparator::Result::Ignored) {
        CContainerUI::DoEvent(event);
        return;
    }
    if (result == CLayoutSeparator::Result::Resized) m_fixedWidth = m_separator.GetNewSkinSize();
    if (!m_separator.TakesNewPos(result)) return;
    m_itemRect = m_separator.GetNewPos();
    NeedParentUpdate();
}

void CHorizontalLayoutUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (_wcsicmp(name, L"sepwidth") == 0) {
        SetSepWidth(_wtoi(value));
    } else if (_wcsicmp(name, L"sepimm") == 0) {
        SetSepImmMode(_wcsicmp(value, L"true") == 0);
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

void CHorizontalLayoutUI::DoPostPaint(HDC dc, const RECT&) { m_separator.PaintNewStrip(dc); }

}  // namespace KvUI
