#include "ui/lists/MenuUI.h"

#include <algorithm>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/lists/ListHeaderUI.h"

namespace KvUI {
namespace {

bool IsMenuElement(CControlUI* control) { return control && control->GetInterface(L"MenuElement"); }

// Sub-items show in their own menu, never inside their parent's.
void HideSubItems(CControlUI* element) {
    auto* container = static_cast<IContainerUI*>(element->GetInterface(L"IContainer"));
    if (!container) return;
    for (int i = 0; i < container->GetCount(); ++i) {
        CControlUI* child = container->GetItemAt(i);
        if (IsMenuElement(child)) child->SetInternVisible(false);
    }
}

}  // namespace

CMenuUI::CMenuUI() {
    if (CListHeaderUI* header = GetHeader()) header->SetVisible(false);
}

CMenuUI::~CMenuUI() = default;

LPCTSTR CMenuUI::GetClass() const { return L"MenuUI"; }

LPVOID CMenuUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"Menu")) return static_cast<CMenuUI*>(this);
    return CListUI::GetInterface(name);
}

int CMenuUI::GetListType() const { return kListTypeMenu; }

SIZE CMenuUI::EstimateSize(SIZE available) {
    int width = 0;
    int height = 0;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* item = GetItemAt(i);
        if (!item->IsVisible()) continue;
        const SIZE size = item->EstimateSize(available);
        height += size.cy;
        width = std::max(width, static_cast<int>(size.cx));
    }
    const int scale = m_manager ? m_manager->GetScaler()->GetScale() : 100;
    const int common = MulDiv(width, 100, scale);
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* item = GetItemAt(i);
        // Only a change asks for a new layout.
        if (item->IsVisible() && MulDiv(item->GetFixedWidth(), 100, scale) != common) item->SetFixedWidth(common);
    }
    return SIZE{width, height};
}

int CMenuUI::GetItemIndex(CControlUI* control) const {
    return IsMenuElement(control) ? CListUI::GetItemIndex(control) : -1;
}

bool CMenuUI::SetItemIndex(CControlUI* control, int newIndex) {
    return IsMenuElement(control) && CListUI::SetItemIndex(control, newIndex);
}

bool CMenuUI::Add(CControlUI* control) {
    if (!IsMenuElement(control)) return false;
    HideSubItems(control);
    return CListUI::Add(control);
}

bool CMenuUI::AddAt(CControlUI* control, int index) {
    if (!IsMenuElement(control)) return false;
    HideSubItems(control);
    return CListUI::AddAt(control, index);
}

bool CMenuUI::Remove(CControlUI* control) { return IsMenuElement(control) && CListUI::Remove(control); }

}  // namespace KvUI
