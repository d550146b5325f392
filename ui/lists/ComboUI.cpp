#include "ui/lists/ComboUI.h"

#include <algorithm>
#include <cwchar>
#include <memory>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"
#include "ui/lists/ComboWnd.h"

namespace KvUI {
namespace {

IListItemUI* ListItemOf(CControlUI* control) {
    return control ? static_cast<IListItemUI*>(control->GetInterface(L"ListItem")) : nullptr;
}

bool IsMouseEvent(int type) { return type >= EventMouseFirst && type <= EventMouseLast; }

void ApplyAlign(UINT& style, LPCTSTR value) {
    if (wcsstr(value, L"left")) style &= ~(DT_CENTER | DT_RIGHT | DT_SINGLELINE);
    if (wcsstr(value, L"center")) style = (style & ~DT_RIGHT) | DT_CENTER;
    if (wcsstr(value, L"right")) style = (style & ~(DT_CENTER | DT_SINGLELINE)) | DT_RIGHT;
}

void ApplyVAlign(UINT& style, LPCTSTR value) {
    if (wcsstr(value, L"top")) style = (style & ~(DT_VCENTER | DT_BOTTOM)) | DT_SINGLELINE;
    if (wcsstr(value, L"vcenter")) style = (style & ~DT_BOTTOM) | DT_VCENTER | DT_SINGLELINE;
    if (wcsstr(value, L"bottom")) style = (style & ~DT_VCENTER) | DT_BOTTOM | DT_SINGLELINE;
}

}  // namespace

CComboUI::CComboUI() { m_listInfo.uTextStyle = DT_VCENTER; }

// A combo that goes while its drop-down is open takes the drop-down with it,
// so the pop-up never lends out items that no longer exist.
CComboUI::~CComboUI() {
    if (m_window && IsWindow(m_window->GetHWND())) DestroyWindow(m_window->GetHWND());
}

LPCTSTR CComboUI::GetClass() const { return L"ComboUI"; }

LPVOID CComboUI::GetInterface(LPCTSTR name) {
    if (!name) return nullptr;
    if (attribute::Is(name, L"Combo")) return static_cast<CComboUI*>(this);
    if (attribute::Is(name, L"IListOwner")) return static_cast<IListOwnerUI*>(this);
    return CContainerUI::GetInterface(name);
}

UINT CComboUI::GetControlFlags() const { return UIFLAG_TABSTOP | UIFLAG_SETCURSOR; }

// ---- Items ----

void CComboUI::Renumber(int first, int last) {
    for (int i = first; i <= last; ++i) {
        if (IListItemUI* item = ListItemOf(GetItemAt(i))) item->SetIndex(i);
    }
}

bool CComboUI::SetItemIndex(CControlUI* control, int newIndex) {
    const int oldIndex = GetItemIndex(control);
    if (oldIndex < 0) return false;
    if (oldIndex == newIndex) return true;
    if (!CContainerUI::SetItemIndex(control, newIndex)) return false;
    Renumber(std::min(oldIndex, newIndex), std::max(oldIndex, newIndex));
    if (m_curSel == oldIndex) {
        m_curSel = newIndex;
    } else if (oldIndex < m_curSel && m_curSel <= newIndex) {
        --m_curSel;
    } else if (newIndex <= m_curSel && m_curSel < oldIndex) {
        ++m_curSel;
    }
    return true;
}

bool CComboUI::Add(CControlUI* control) {
    if (IListItemUI* item = ListItemOf(control)) {
        item->SetOwner(this);
        item->SetIndex(GetCount());
    }
    return CContainerUI::Add(control);
}

bool CComboUI::AddAt(CControlUI* control, int index) {
    if (!CContainerUI::AddAt(control, index)) return false;
    if (IListItemUI* item = ListItemOf(control)) {
        item->SetOwner(this);
        item->SetIndex(index);
    }
    Renumber(index + 1, GetCount() - 1);
    if (m_curSel >= index) ++m_curSel;
    return true;
}

bool CComboUI::Remove(CControlUI* control) {
    const int index = GetItemIndex(control);
    if (index < 0 || !CContainerUI::Remove(control)) return false;
    Renumber(index, GetCount() - 1);
    if (index == m_curSel) {
        m_curSel = -1;
        SelectItem(FindSelectable(index, false));
    } else if (index < m_curSel) {
        --m_curSel;
    }
    return true;
}

bool CComboUI::RemoveAt(int index) {
    CControlUI* control = GetItemAt(index);
    return control && Remove(control);
}

void CComboUI::RemoveAll() {
    m_curSel = -1;
    CContainerUI::RemoveAll();
}

// ---- Selection ----

int CComboUI::GetListType() const { return kListTypeCombo; }
TListInfo* CComboUI::GetListInfo() { return &m_listInfo; }
int CComboUI::GetCurSel() const { return m_curSel; }

bool CComboUI::SelectItem(int index, bool takeFocus) {
    if (index == m_curSel) return true;
    const int previous = m_curSel;
    if (m_curSel >= 0) {
        if (IListItemUI* item = ListItemOf(GetItemAt(m_curSel))) item->Select(false);
        m_curSel = -1;
    }
    if (index < 0 || GetCount() == 0) return false;
    index = std::min(index, GetCount() - 1);
    CControlUI* control = GetItemAt(index);
    IListItemUI* item = ListItemOf(control);
    if (!item || !control->IsEnabled()) return false;
    m_curSel = index;
    if (m_window || takeFocus) control->SetFocus();
    item->Select(true);
    // A combo still being built has no window to tell.
    if (m_manager) m_manager->SendNotify(this, L"itemselect", static_cast<WPARAM>(index), previous);
    Invalidate();
    return true;
}

bool CComboUI::SelectMultiItem(int index, bool takeFocus) { return SelectItem(index, takeFocus); }

bool CComboUI::UnSelectItem(int, bool) { return false; }

CUIString CComboUI::GetText() const {
    const CControlUI* selected = m_curSel >= 0 ? GetItemAt(m_curSel) : nullptr;
    return selected ? selected->GetText() : CUIString();
}

void CComboUI::SetEnabled(bool enabled) {
    CContainerUI::SetEnabled(enabled);
    if (!IsEnabled()) m_buttonState = 0;
}

bool CComboUI::Activate() {
    if (!CControlUI::Activate()) return false;
    if (m_manager) m_manager->SendNotify(this, L"predropdown");
    if (m_window) return true;
    auto window = std::make_unique<CComboWnd>();
    m_window = window.get();
    if (!window->Init(this)) {
        m_window = nullptr;
        return false;
    }
    window.release();  // frees itself when its window is destroyed
    if (m_manager) m_manager->SendNotify(this, L"dropdown");
    Invalidate();
    return true;
}

// ---- Events ----

void CComboUI::DoEvent(TUIEvent& event) {
    if (IsMouseEvent(event.type) && !IsMouseEnabled()) {
        if (m_parent) {
            m_parent->DoEvent(event);
        } else {
            CContainerUI::DoEvent(event);
        }
        return;
    }
    switch (event.type) {
    case EventSetFocus:
    case EventKillFocus:
        Invalidate();
        break;
    case EventButtonDown:
        if (IsEnabled()) {
            Activate();
            m_buttonState |= StatePushed | StateCaptured;
        }
        return;
    case EventButtonUp:
        if (m_buttonState & StateCaptured) {
            m_buttonState &= ~StateCaptured;
            Invalidate();
        }
        return;
    case EventMouseMove:
    case EventContextMenu:
        return;
    case EventKeyDown:
        if (HandleKey(event)) return;
        break;
    case EventScrollWheel:
        if (m_scrollSelect) {
            const bool down = LOWORD(event.wParam) == SB_LINEDOWN;
            const int next = down ? FindSelectable(m_curSel + 1, true) : FindSelectable(m_curSel - 1, false);
            // No item further on keeps the one selected.
            if (next >= 0) SelectItem(next);
        }
        return;
    case EventMouseEnter:
        if (PtInRect(&m_itemRect, event.mousePoint)) {
            m_buttonState |= StateHot;
            Invalidate();
        }
        return;
    case EventMouseLeave:
        if (m_buttonState & StateHot) {
            m_buttonState &= ~StateHot;
            Invalidate();
        }
        return;
    default:
        break;
    }
    CControlUI::DoEvent(event);
}

bool CComboUI::HandleKey(const TUIEvent& event) {
    int next = -1;
    switch (event.keyChar) {
    case VK_F4:
        Activate();
        return true;
    case VK_UP:
    case VK_PRIOR:
        next = FindSelectable(m_curSel - 1, false);
        break;
    case VK_DOWN:
    case VK_NEXT:
        next = FindSelectable(m_curSel + 1, true);
        break;
    case VK_HOME:
        next = FindSelectable(0, false);
        break;
    case VK_END:
        // Searching back from the last item: a disabled last item must not
        // leave the combo without a selection.
        next = FindSelectable(GetCount() - 1, false);
        break;
    default:
        return false;
    }
    // A key with no selectable item in its direction keeps the selection.
    if (next >= 0) SelectItem(next);
    return true;
}

// ---- Layout and painting ----

SIZE CComboUI::EstimateSize(SIZE available) {
    if (GetFixedHeight() != 0 || !m_manager) return CControlUI::EstimateSize(available);
    return SIZE{GetFixedWidth(), m_manager->GetDefaultFontInfo()->metrics.tmHeight + 12};
}

void CComboUI::SetPos(RECT rc, bool needInvalidate) {
    if (EqualRect(&rc, &m_itemRect)) return;
    if (m_window) m_window->Close(1);
    for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetPos(RECT{}, false);
    CControlUI::SetPos(rc, needInvalidate);
}

void CComboUI::Move(int dx, int dy, bool needInvalidate) { CControlUI::Move(dx, dy, needInvalidate); }

bool CComboUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) {
    return CControlUI::DoPaint(dc, paint, stopControl);
}

void CComboUI::SyncButtonState() {
    m_buttonState = IsFocused() ? (m_buttonState | StateFocused) : (m_buttonState & ~StateFocused);
    m_buttonState = IsEnabled() ? (m_buttonState & ~StateDisabled) : (m_buttonState | StateDisabled);
}

void CComboUI::PaintStatusImage(HDC dc) {
    SyncButtonState();
    const CUIString* state = nullptr;
    if (m_buttonState & StateDisabled) {
        state = &m_disabledImage;
    } else if (m_buttonState & StatePushed) {
        state = &m_pushedImage;
    } else if (m_buttonState & StateHot) {
        state = &m_hotImage;
    } else if (m_buttonState & StateFocused) {
        state = &m_focusedImage;
    }
    if (state && !state->IsEmpty() && DrawImage(dc, *state)) return;
    if (!m_normalImage.IsEmpty()) DrawImage(dc, m_normalImage);
}

void CComboUI::PaintText(HDC dc) {
    if (!m_manager) return;
    if (m_textColor == 0) m_textColor = m_manager->GetDefaultColor2();
    if (m_disabledTextColor == 0) m_disabledTextColor = m_manager->GetDefaultColor1();
    RECT rc = m_itemRect;
    rc.left += m_textPadding.left;
    rc.top += m_textPadding.top;
    rc.right -= m_textPadding.right;
    rc.bottom -= m_textPadding.bottom;
    const CUIString text = GetText();
    if (text.IsEmpty()) return;
    const DWORD color = IsEnabled() ? m_textColor : m_disabledTextColor;
    if (m_showHtml) {
        int links = 0;
        CRenderEngine::DrawHtmlText(dc, m_manager, rc, text, color, nullptr, nullptr, links, m_font, m_textStyle);
    } else {
        CRenderEngine::DrawText(dc, m_manager, rc, text, color, m_font, m_textStyle);
    }
}

// ---- Attributes ----

void CComboUI::SetTextColor(DWORD color) {
    m_textColor = color;
    Invalidate();
}

void CComboUI::SetDisabledTextColor(DWORD color) {
    m_disabledTextColor = color;
    Invalidate();
}

void CComboUI::SetFont(int font) {
    m_font = font;
    Invalidate();
}

void CComboUI::SetTextPadding(RECT padding) {
    m_textPadding = padding;
    Invalidate();
}

void CComboUI::SetShowHtml(bool showHtml) {
    if (m_showHtml == showHtml) return;
    m_showHtml = showHtml;
    Invalidate();
}

void CComboUI::SetShowShadow(bool showShadow) {
    if (m_showShadow == showShadow) return;
    m_showShadow = showShadow;
    Invalidate();
}

void CComboUI::SetNormalImage(LPCTSTR image) {
    m_normalImage = image;
    Invalidate();
}

void CComboUI::SetHotImage(LPCTSTR image) {
    m_hotImage = image;
    Invalidate();
}

void CComboUI::SetPushedImage(LPCTSTR image) {
    m_pushedImage = image;
    Invalidate();
}

void CComboUI::SetFocusedImage(LPCTSTR image) {
    m_focusedImage = image;
    Invalidate();
}

void CComboUI::SetDisabledImage(LPCTSTR image) {
    m_disabledImage = image;
    Invalidate();
}

void CComboUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    using attribute::Is;
    if (!name || !value) return;
    if (Is(name, L"align")) {
        ApplyAlign(m_textStyle, value);
    } else if (Is(name, L"valign")) {
        ApplyVAlign(m_textStyle, value);
    } else if (Is(name, L"endellipsis")) {
        m_textStyle = attribute::IsTrue(value) ? (m_textStyle | DT_END_ELLIPSIS) : (m_textStyle & ~DT_END_ELLIPSIS);
    } else if (Is(name, L"wordbreak")) {
        m_textStyle = attribute::IsTrue(value) ? ((m_textStyle & ~DT_SINGLELINE) | DT_WORDBREAK | DT_EDITCONTROL)
                                               : ((m_textStyle & ~(DT_WORDBREAK | DT_EDITCONTROL)) | DT_SINGLELINE);
    } else if (Is(name, L"font")) {
        SetFont(attribute::Int(value));
    } else if (Is(name, L"textcolor")) {
        SetTextColor(attribute::Color(value));
    } else if (Is(name, L"disabledtextcolor")) {
        SetDisabledTextColor(attribute::Color(value));
    } else if (Is(name, L"textpadding")) {
        SetTextPadding(attribute::Rect(value));
    } else if (Is(name, L"showhtml")) {
        SetShowHtml(attribute::IsTrue(value));
    } else if (Is(name, L"showshadow")) {
        SetShowShadow(attribute::IsTrue(value));
    } else if (Is(name, L"scrollselect")) {
        SetScrollSelect(attribute::IsTrue(value));
    } else if (Is(name, L"normalimage")) {
        SetNormalImage(value);
    } else if (Is(name, L"hotimage")) {
        SetHotImage(value);
    } else if (Is(name, L"pushedimage")) {
        SetPushedImage(value);
    } else if (Is(name, L"focusedimage")) {
        SetFocusedImage(value);
    } else if (Is(name, L"disabledimage")) {
        SetDisabledImage(value);
    } else if (Is(name, L"dropbox")) {
        SetDropBoxAttributeList(value);
    } else if (Is(name, L"dropboxsize")) {
        SetDropBoxSize(attribute::Size(value));
    } else if (Is(name, L"dropboxinset")) {
        SetDropBoxInset(attribute::Rect(value));
    } else {
        const ListInfoChange change = SetListInfoAttribute(m_listInfo, name, value);
        if (change == ListInfoChange::None) {
            CContainerUI::SetAttribute(name, value);
            return;
        }
        const bool repaints = Is(name, L"itemfont") || Is(name, L"itemtextpadding") || Is(name, L"itemtextcolor") ||
                              (Is(name, L"itemshowhtml") && change != ListInfoChange::Stored);
        if (repaints) Invalidate();
    }
}

}  // namespace KvUI
