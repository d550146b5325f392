#include "ui/lists/ListTextElementUI.h"

#include "ui/core/AttributeValue.h"

namespace KvUI {

CListTextElementUI::CListTextElementUI() = default;
CListTextElementUI::~CListTextElementUI() = default;

LPCTSTR CListTextElementUI::GetClass() const { return L"ListTextElementUI"; }

LPVOID CListTextElementUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"ListTextElement")) return static_cast<CListTextElementUI*>(this);
    return CListTextRowBase::GetInterface(name);
}

// The hand over a link needs the set-cursor event, which the window gives
// only to controls that ask for it.
UINT CListTextElementUI::GetControlFlags() const {
    return CListTextRowBase::GetControlFlags() | (LinkCount() > 0 ? UIFLAG_SETCURSOR : 0);
}

void CListTextElementUI::DoEvent(TUIEvent& event) {
    const bool mouse = event.type >= EventMouseFirst && event.type <= EventMouseLast;
    if (mouse && !IsMouseEnabled()) {
        if (!ForwardToOwner(event)) CListTextRowBase::DoEvent(event);
        return;
    }
    if (HandleLinks(event)) return;
    CListTextRowBase::DoEvent(event);
}

void CListTextElementUI::SetText(int column, LPCTSTR text) {
    if (column < 0 || column >= TListInfo::kMaxColumns) return;
    if (static_cast<int>(m_columnTexts.size()) <= column) m_columnTexts.resize(static_cast<size_t>(column) + 1);
    m_columnTexts[static_cast<size_t>(column)] = text ? text : L"";
    InvalidateRow();
}

}  // namespace KvUI
