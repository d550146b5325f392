#include "ui/lists/MenuElementUI.h"

#include <algorithm>
#include <memory>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderClip.h"
#include "ui/core/RenderEngine.h"
#include "ui/lists/MenuUI.h"
#include "ui/lists/MenuWnd.h"

namespace KvUI {
namespace {

bool IsMenuElement(CControlUI* control) { return control && control->GetInterface(L"MenuElement"); }

}  // namespace

CMenuElementUI::CMenuElementUI() {
    SetFixedWidth(150);
    SetFixedHeight(30);
}

// An element that goes while its sub-menu is open closes it first: the
// sub-menu borrows the element's sub-items and reports back to the element.
CMenuElementUI::~CMenuElementUI() {
    if (m_subMenu && IsWindow(m_subMenu->GetHWND())) DestroyWindow(m_subMenu->GetHWND());
}

LPCTSTR CMenuElementUI::GetClass() const { return L"MenuElementUI"; }

LPVOID CMenuElementUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"MenuElement")) return static_cast<CMenuElementUI*>(this);
    return CListContainerElementUI::GetInterface(name);
}

// ---- Sub-items and the check map ----

bool CMenuElementUI::HasSubItems() {
    for (int i = 0; i < OwnCount(); ++i) {
        if (IsMenuElement(ChildAt(i))) return true;
    }
    return false;
}

void CMenuElementUI::ShowSubItems() {
    for (int i = 0; i < OwnCount(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!IsMenuElement(child)) continue;
        child->SetVisible(true);
        child->SetInternVisible(true);
    }
}

void CMenuElementUI::SelectSelf() {
    if (m_owner) m_owner->SelectItem(m_index, true);
}

void CMenuElementUI::CloseMenusBelow() {
    if (m_manager) GetMenuObserver().RBroadcast(MenuMsgCloseBelow, m_manager->GetPaintWindow());
}

bool CMenuElementUI::GetChecked() const {
    const MenuCheckMap* checks = GetMenuObserver().GetExtraData();
    if (m_name.IsEmpty() || !checks) return false;
    const MenuCheckRecord* record = const_cast<MenuCheckMap*>(checks)->Find(m_name, false);
    return record && record->checked;
}

void CMenuElementUI::SetChecked(bool checked) { SetItemInfo(m_name, checked); }

MenuCheckRecord* CMenuElementUI::SetItemInfo(LPCTSTR name, bool checked) {
    MenuCheckMap* checks = GetMenuObserver().GetExtraData();
    if (!name || !*name || !checks) return nullptr;
    if (MenuCheckRecord* record = checks->Find(name)) {
        record->checked = checked;
        return record;
    }
    auto record = std::make_unique<MenuCheckRecord>();
    CopyMenuText(record->name, name);
    record->checked = checked;
    MenuCheckRecord* const stored = record.get();
    return checks->Insert(name, std::move(record)) ? stored : nullptr;
}

void CMenuElementUI::SetLineType() {
    m_drawLine = true;
    if (m_fixedHeight == 0 || m_fixedHeight == 30) SetFixedHeight(6);
    SetMouseChildEnabled(false);
    SetMouseEnabled(false);
    SetEnabled(false);
}

// ---- Sub-menu and commands ----

void CMenuElementUI::CreateMenuWnd() {
    if (m_subMenu) return;
    auto window = std::make_unique<CMenuWnd>();
    m_subMenu = window.get();
    CloseMenusBelow();
    if (!window->Init(this, L"", POINT{0, 0}, nullptr, nullptr, MenuAlignLeft | MenuAlignTop)) {
        m_subMenu = nullptr;
        return;
    }
    window.release();  // a sub-menu frees itself when its window is destroyed
}

void CMenuElementUI::RunCommand() {
    SetChecked(!GetChecked());
    PostCommand();
    const HWND window = m_manager ? m_manager->GetPaintWindow() : nullptr;
    GetMenuObserver().RBroadcast(MenuMsgCloseAll, window);
}

void CMenuElementUI::PostCommand() {
    if (!m_manager || !IsWindow(m_manager->GetPaintWindow())) return;
    CControlUI* root = m_manager->GetRoot();
    const auto* menu = root ? static_cast<CMenuUI*>(root->GetInterface(L"Menu")) : nullptr;
    const CMenuWnd* shownIn = menu ? menu->GetMenuWnd() : nullptr;
    if (shownIn && shownIn->IsClosing()) return;
    CPaintManagerUI* mainManager = GetMenuObserver().GetManager();
    if (!mainManager) return;

    auto record = std::make_unique<MenuCommandRecord>();
    *record = MenuCommandRecord{};
    CopyMenuText(record->name, m_name);
    CopyMenuText(record->userData, GetUserData());
    CopyMenuText(record->text, GetText());
    record->checked = GetChecked() ? 1 : 0;
    if (PostMessageW(mainManager->GetPaintWindow(), MenuCommandMessage, reinterpret_cast<WPARAM>(record.get()),
                     reinterpret_cast<LPARAM>(this))) {
        record.release();  // the receiver's now
    }
}

// ---- Events ----

void CMenuElementUI::DoEvent(TUIEvent& event) {
    switch (event.type) {
    case EventMouseEnter:
        CListContainerElementUI::DoEvent(event);
        if (m_subMenu) return;
        if (HasSubItems()) {
            ShowSubItems();
            SelectSelf();
            CreateMenuWnd();
        } else {
            CloseMenusBelow();
            SelectSelf();
        }
        return;
    case EventMouseLeave:
        if (!HasSubItems() && m_owner) m_owner->SelectItem(-1, true);
        CListContainerElementUI::DoEvent(event);
        return;
    case EventButtonUp:
        if (!IsEnabled()) return;
        CListContainerElementUI::DoEvent(event);
        if (m_subMenu) return;
        if (HasSubItems()) {
            ShowSubItems();
            CreateMenuWnd();
        } else {
            RunCommand();
        }
        return;
    case EventKeyDown:
        if (event.keyChar != VK_RIGHT) break;
        if (m_subMenu) return;
        if (HasSubItems()) {
            ShowSubItems();
            SelectSelf();
            CreateMenuWnd();
        } else {
            CloseMenusBelow();
            SelectSelf();
        }
        return;
    default:
        break;
    }
    CListContainerElementUI::DoEvent(event);
}

// ---- Attributes ----

void CMenuElementUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    using attribute::Is;
    if (!name || !value) return;
    if (Is(name, L"icon")) {
        SetIcon(value);
    } else if (Is(name, L"iconsize")) {
        const SIZE size = attribute::Size(value);
        SetIconSize(size.cx, size.cy);
    } else if (Is(name, L"checkitem")) {
        SetCheckItem(attribute::IsTrue(value));
    } else if (Is(name, L"ischeck")) {
        // A record made earlier (by the application or a click) wins over the skin.
        MenuCheckMap* checks = GetMenuObserver().GetExtraData();
        if (!checks) return;
        bool known = false;
        checks->ForEach([&](const CUIString& key, const std::unique_ptr<MenuCheckRecord>&) {
            known = key.CompareNoCase(m_name) == 0;
            return known;
        });
        if (!known) SetChecked(attribute::IsTrue(value));
    } else if (Is(name, L"linetype")) {
        if (attribute::IsTrue(value)) SetLineType();
    } else if (Is(name, L"expland")) {
        SetShowExplandIcon(attribute::IsTrue(value));
    } else if (Is(name, L"linecolor")) {
        SetLineColor(attribute::Color(value));
    } else if (Is(name, L"linepadding")) {
        SetLinePadding(attribute::Rect(value));
    } else if (Is(name, L"height")) {
        SetFixedHeight(attribute::Int(value));
    } else {
        CListContainerElementUI::SetAttribute(name, value);
    }
}

// ---- Size and painting ----

SIZE CMenuElementUI::EstimateSize(SIZE available) {
    const int fixedWidth = GetFixedWidth();
    const int fixedHeight = GetFixedHeight();
    SIZE size{0, 0};
    for (int i = 0; i < OwnCount(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible()) continue;
        const SIZE childSize = child->EstimateSize(available);
        size.cy += childSize.cy;
        size.cx = std::max(size.cx, childSize.cx);
    }
    if (size.cy == 0 && m_owner && m_manager) {
        const TListInfo* info = m_owner->GetListInfo();
        const RECT padding = ScaledTextPadding(*info);
        RECT rc{padding.left, 0, std::max(static_cast<int>(available.cx), fixedWidth) - padding.right, 9999};
        const UINT style = info->uTextStyle | DT_CALCRECT;
        const CUIString text = GetText();
        if (info->bShowHtml) {
            int links = 0;
            CRenderEngine::DrawHtmlText(m_manager->GetPaintDC(), m_manager, rc, text, ItemTextColor(*info), nullptr,
                                        nullptr, links, info->nFont, style);
        } else {
            CRenderEngine::DrawText(m_manager->GetPaintDC(), m_manager, rc, text, ItemTextColor(*info), info->nFont,
                                    style);
        }
        size.cx = rc.right - rc.left + padding.left + padding.right;
        size.cy = rc.bottom - rc.top + padding.top + padding.bottom;
    }
    if (fixedHeight != 0) size.cy = fixedHeight;
    if (size.cx < fixedWidth) size.cx = fixedWidth;
    const int scale = m_manager ? m_manager->GetScaler()->GetScale() : 100;
    // Stored only when it changes: a store asks for a new layout, which
    // would measure again.
    const int height = MulDiv(size.cy, 100, scale);
    const int width = MulDiv(size.cx, 100, scale);
    if (height != m_fixedHeight) SetFixedHeight(height);
    if (width != m_fixedWidth) SetFixedWidth(width);
    return size;
}

bool CMenuElementUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) {
    RECT area;
    if (!IntersectRect(&area, &paint, &m_itemRect)) return true;
    if (m_drawLine) {
        const int y = m_itemRect.top + GetFixedHeight() / 2;
        const int left = m_itemRect.left + Scaled(m_linePadding.left);
        const int right = m_itemRect.right - Scaled(m_linePadding.right);
        CRenderEngine::DrawLine(dc, RECT{left, y, right, y}, 1, m_lineColor);
        return true;
    }
    CRenderClip clip;
    CRenderClip::GenerateClip(dc, area, clip);
    DrawItemBk(dc, m_itemRect);
    DrawItemText(dc, m_itemRect);
    DrawItemIcon(dc, m_itemRect);
    DrawItemExpland(dc, m_itemRect);

    // Sub-items show in their own menu, never in the row.
    return PaintChildren(dc, paint, stopControl, IsMenuElement);
}

void CMenuElementUI::DrawItemText(HDC dc, const RECT& item) {
    const CUIString text = GetText();
    if (text.IsEmpty() || !m_owner) return;
    const TListInfo* info = m_owner->GetListInfo();
    const RECT padding = ScaledTextPadding(*info);
    RECT rc{item.left + padding.left, item.top + padding.top, item.right - padding.right, item.bottom - padding.bottom};
    const DWORD color = ItemTextColor(*info);
    const UINT style = info->uTextStyle | DT_SINGLELINE;
    if (info->bShowHtml) {
        int links = 0;
        CRenderEngine::DrawHtmlText(dc, m_manager, rc, text, color, nullptr, nullptr, links, info->nFont, style);
    } else {
        CRenderEngine::DrawText(dc, m_manager, rc, text, color, info->nFont, style);
    }
}

// The icon sits centred in the left text padding.
void CMenuElementUI::DrawItemIcon(HDC dc, const RECT&) {
    if (m_icon.IsEmpty() || (m_checkItem && !GetChecked()) || !m_manager || !m_owner) return;
    CDpiScaler* scaler = m_manager->GetScaler();
    const int width = scaler->Scale(m_iconSize.cx);
    const int height = scaler->Scale(m_iconSize.cy);
    const int padLeft = ScaledTextPadding(*m_owner->GetListInfo()).left;
    RECT dest{(padLeft - width) / 2, (GetFixedHeight() - height) / 2, 0, 0};
    dest.right = dest.left + width;
    dest.bottom = dest.top + height;
    scaler->UnscaleRect(&dest);
    CUIString modifier;
    modifier.SmallFormat(L"dest='%d,%d,%d,%d'", static_cast<int>(dest.left), static_cast<int>(dest.top),
                         static_cast<int>(dest.right), static_cast<int>(dest.bottom));
    DrawImage(dc, m_icon, modifier);
}

// The sub-menu arrow, right-aligned in the row; its image is the skin's
// default entry named "ExplandIcon".
void CMenuElementUI::DrawItemExpland(HDC dc, const RECT&) {
    if (!m_showExplandIcon || !m_manager) return;
    LPCTSTR image = m_manager->GetDefaultAttributeList(L"ExplandIcon");
    if (!image || !*image) return;
    CDpiScaler* scaler = m_manager->GetScaler();
    const int margin = scaler->Scale(20) / 3;
    const TImageDrawSpec* spec = m_manager->GetDrawSpec(image, nullptr);
    const TImageInfo* info = spec ? m_manager->GetImageEx(spec->imageName, spec->resType, spec->mask) : nullptr;
    if (!info) return;
    const int width = GetFixedWidth();
    const int height = GetFixedHeight();
    RECT dest{width - info->width - margin, (height - info->height) / 2, width - margin, 0};
    dest.bottom = dest.top + info->height;
    scaler->UnscaleRect(&dest);
    CUIString modifier;
    modifier.SmallFormat(L"dest='%d,%d,%d,%d'", static_cast<int>(dest.left), static_cast<int>(dest.top),
                         static_cast<int>(dest.right), static_cast<int>(dest.bottom));
    DrawImage(dc, image, modifier);
}

}  // namespace KvUI
