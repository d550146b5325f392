#include "ui/controls/CheckBoxUI.h"

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"

namespace KvUI {

CCheckBoxUI::CCheckBoxUI() = default;
CCheckBoxUI::~CCheckBoxUI() = default;

LPCTSTR CCheckBoxUI::GetClass() const { return L"CheckBoxUI"; }

LPVOID CCheckBoxUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"CheckBox")) return static_cast<CCheckBoxUI*>(this);
    return COptionUI::GetInterface(name);
}

void CCheckBoxUI::DoEvent(TUIEvent& event) {
    if (ForwardMouseWhileDisabled(event)) return;
    if (m_autoCheck && (event.type == EventButtonDown || event.type == EventDblClick)) {
        // The press toggles at once; no pushed state and no "click" follow.
        if (PtInRect(&m_itemRect, event.mousePoint) && IsEnabled()) {
            Selected(!IsSelected(), true);
            if (m_manager) m_manager->SendNotify(this, L"checkclick");
            Invalidate();
        }
        return;
    }
    COptionUI::DoEvent(event);
}

void CCheckBoxUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (!name || !value) return;
    if (attribute::Is(name, L"EnableAutoCheck")) m_autoCheck = attribute::IsTrue(value);
    COptionUI::SetAttribute(name, value);
}

void CCheckBoxUI::Selected(bool selected, bool notify) { ApplySelection(selected, notify, selected ? 1 : 0); }

}  // namespace KvUI
