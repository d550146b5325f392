#include "ui/lists/ListElementUI.h"

#include "ui/core/AttributeValue.h"

namespace KvUI {

CListElementUI::CListElementUI() : CListItemCore(static_cast<CControlUI&>(*this)) {}
CListElementUI::~CListElementUI() = default;

LPCTSTR CListElementUI::GetClass() const { return L"ListElementUI"; }

LPVOID CListElementUI::GetInterface(LPCTSTR name) {
    if (!name) return nullptr;
    if (attribute::Is(name, L"ListItem")) return static_cast<IListItemUI*>(this);
    if (attribute::Is(name, L"ListElement")) return static_cast<CListElementUI*>(this);
    return CControlUI::GetInterface(name);
}

UINT CListElementUI::GetControlFlags() const { return UIFLAG_WANTRETURN; }

bool CListElementUI::Activate() {
    if (!CControlUI::Activate()) return false;
    NotifyActivate();
    return true;
}

void CListElementUI::SetVisible(bool visible) {
    CControlUI::SetVisible(visible);
    AfterVisibilityChange();
}

void CListElementUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    AfterEnabledChange();
}

void CListElementUI::DoEvent(TUIEvent& event) {
    const bool mouse = event.type >= EventMouseFirst && event.type <= EventMouseLast;
    if (mouse && !IsMouseEnabled()) {
        if (!ForwardToOwner(event)) CControlUI::DoEvent(event);
        return;
    }
    const bool enter = event.type == EventKeyDown && event.keyChar == VK_RETURN;
    if ((event.type == EventDblClick || enter) && IsEnabled()) {
        Activate();
        InvalidateRow();
        return;
    }
    if (!ForwardToOwner(event)) CControlUI::DoEvent(event);
}

void CListElementUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (!name || !value) return;
    if (attribute::Is(name, L"selected")) {
        Select(attribute::IsTrue(value));
        return;
    }
    CControlUI::SetAttribute(name, value);
}

void CListElementUI::DrawItemText(HDC, const RECT&) {}

}  // namespace KvUI
