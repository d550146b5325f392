#include "ui/lists/ListContainerHeaderItemUI.h"

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"

namespace KvUI {

CListContainerHeaderItemUI::CListContainerHeaderItemUI() : CListHeaderItemBase(L"listheaderclick") {}
CListContainerHeaderItemUI::~CListContainerHeaderItemUI() = default;

LPCTSTR CListContainerHeaderItemUI::GetClass() const { return L"ListContainerHeaderItem"; }

LPVOID CListContainerHeaderItemUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"ListContainerHeaderItem")) return static_cast<CListContainerHeaderItemUI*>(this);
    return CListHeaderItemBase::GetInterface(name);
}

void CListContainerHeaderItemUI::SetColumnCheckable(bool checkable) {
    if (m_checkable == checkable) return;
    m_checkable = checkable;
    Invalidate();
}

void CListContainerHeaderItemUI::SetCheck(bool checked) {
    if (m_checkBox.SetCheck(checked)) Invalidate();
}

RECT CListContainerHeaderItemUI::GetCheckBoxRect() const { return m_checkBox.Place(m_itemRect, *this); }

void CListContainerHeaderItemUI::DoEvent(TUIEvent& event) {
    const bool mouse = event.type >= EventMouseFirst && event.type <= EventMouseLast;
    if (m_checkable && (!mouse || IsMouseEnabled())) DoCheckBoxEvent(event);
    CListHeaderItemBase::DoEvent(event);
}

void CListContainerHeaderItemUI::DoCheckBoxEvent(const TUIEvent& event) {
    const CListCheckBox::Input input = m_checkBox.OnMouse(event, GetCheckBoxRect(), true);
    if (input == CListCheckBox::Input::None) return;
    if (input == CListCheckBox::Input::Toggled) {
        SetCheck(!GetCheck());
        if (m_parent && m_manager) {
            const auto* header = static_cast<IContainerUI*>(m_parent->GetInterface(L"IContainer"));
            const int index = header ? header->GetItemIndex(this) : -1;
            m_manager->SendNotify(this, L"listheaditemchecked", static_cast<WPARAM>(index), GetCheck());
        }
    }
    Invalidate();
}

void CListContainerHeaderItemUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    using namespace attribute;
    if (!name || !value) return;
    if (Is(name, L"editable")) {
        SetColumnEditable(IsTrue(value));
    } else if (Is(name, L"comboable")) {
        SetColumnComboable(IsTrue(value));
    } else if (Is(name, L"checkable")) {
        SetColumnCheckable(IsTrue(value));
    } else if (m_checkBox.SetAttribute(name, value)) {
        Invalidate();
    } else {
        CListHeaderItemBase::SetAttribute(name, value);
    }
}

void CListContainerHeaderItemUI::PaintStatusImage(HDC dc) {
    CListHeaderItemBase::PaintStatusImage(dc);
    if (m_checkable) DrawCheckBoxImage(dc);
}

void CListContainerHeaderItemUI::DrawCheckBoxImage(HDC dc) {
    m_checkBox.Draw(dc, *this, GetCheckBoxRect(), GetPaintRect());
}

void CListContainerHeaderItemUI::PaintText(HDC dc) {
    PaintCaption(dc, DT_SINGLELINE, m_checkable ? m_checkBox.ShownWidth(*this) : 0);
}

}  // namespace KvUI
