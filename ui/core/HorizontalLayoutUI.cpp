#include "ui/core/HorizontalLayoutUI.h"

#include "ui/core/AttributeValue.h"

#include <cwchar>

namespace KvUI {

LPCTSTR CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayoutUI"; }

LPVOID CHorizontalLayoutUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"HorizontalLayout")) return this;
    return CContainerUI::GetInterface(name);
}

void CHorizontalLayoutUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (!SetSeparatorAttribute(name, value, L"sepwidth")) CContainerUI::SetAttribute(name, value);
}

}  // namespace KvUI
