#include "ui/core/VerticalLayoutUI.h"

#include "ui/core/AttributeValue.h"

#include <cwchar>

namespace KvUI {

LPCTSTR CVerticalLayoutUI::GetClass() const { return L"VerticalLayoutUI"; }

LPVOID CVerticalLayoutUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"VerticalLayout")) return this;
    return CContainerUI::GetInterface(name);
}

void CVerticalLayoutUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (!SetSeparatorAttribute(name, value, L"sepheight")) CContainerUI::SetAttribute(name, value);
}

}  // namespace KvUI
