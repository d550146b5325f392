#include "ui/core/VerticalLayoutUI.h"

#include <cwchar>

namespace KvUI {

LPCTSTR CVerticalLayoutUI::GetClass() const { return L"VerticalLayoutUI"; }

LPVOID CVerticalLayoutUI::GetInterface(LPCTSTR name) {
    if (name && _wcsicmp(name, L"VerticalLayout") == 0) return this;
    return CContainerUI::GetInterface(name);
}

UINT CVerticalLayoutUI::GetControlFlags() const {
    return IsEnabled() && m_separator.GetSize() != 0 ? UIFLAG_SETCURSOR : 0;
}

void CVerticalLayoutUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    StackChildren(*this, true);
}

void CVerticalLayoutUI::DoEvent(TUIEvent& event) {
    const CLayoutSeparator::Result result = m_separator.HandleEvent(event);
    if (result == CLayoutSeparator::Result::Ignored) {
        CContainerUI::DoEvent(event);
        return;
    }
    if (result == CLayoutSeparator::Result::Resized) m_fixedHeight = m_separator.GetNewSkinSize();
    if (!m_separator.TakesNewPos(result)) return;
    m_itemRect = m_separator.GetNewPos();
    NeedParentUpdate();
}

void CVerticalLayoutUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (_wcsicmp(name, L"sepheight") == 0) {
        SetSepHeight(_wtoi(value));
    } else if (_wcsicmp(name, L"sepimm") == 0) {
        SetSepImmMode(_wcsicmp(value, L"true") == 0);
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

void CVerticalLayoutUI::DoPostPaint(HDC dc, const RECT&) { m_separator.PaintNewStrip(dc); }

}  // namespace KvUI
