#include "ui/lists/ListHeaderItemUI.h"

#include "ui/core/AttributeValue.h"

namespace KvUI {

CListHeaderItemUI::CListHeaderItemUI() : CListHeaderItemBase(L"headerclick") {}
CListHeaderItemUI::~CListHeaderItemUI() = default;

LPCTSTR CListHeaderItemUI::GetClass() const { return L"ListHeaderItemUI"; }

LPVOID CListHeaderItemUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"ListHeaderItem")) return static_cast<CListHeaderItemUI*>(this);
    return CListHeaderItemBase::GetInterface(name);
}

void CListHeaderItemUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (name && value && attribute::Is(name, L"scale")) {
        SetScale(attribute::Int(value));
        return;
    }
    CListHeaderItemBase::SetAttribute(name, value);
}

}  // namespace KvUI
