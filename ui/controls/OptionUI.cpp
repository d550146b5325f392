#include "ui/controls/OptionUI.h"

#include "ui/core/AttributeValue.h"
#include "ui/controls/StateStrip.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"

namespace KvUI {

COptionUI::COptionUI() = default;

COptionUI::~COptionUI() { LeaveGroup(); }

LPCTSTR COptionUI::GetClass() const { return L"OptionUI"; }

LPVOID COptionUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"Option")) return static_cast<COptionUI*>(this);
    return CButtonUI::GetInterface(name);
}

void COptionUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    CButtonUI::SetManager(manager, parent, init);
    if (init && !m_group.IsEmpty() && m_manager) JoinGroup();
}

bool COptionUI::Activate() {
    if (!CButtonUI::Activate()) return false;
    // A grouped option is only ever selected by the user, never deselected.
    Selected(m_group.IsEmpty() ? !m_selected : true, true);
    return true;
}

void COptionUI::SetEnabled(bool enabled) {
    CButtonUI::SetEnabled(enabled);
    // The selection outlives being disabled, and so does its painting.
    if (m_selected) m_state |= StateSelected;
}

void COptionUI::Selected(bool selected, bool notify) { ApplySelection(selected, notify, 0); }

void COptionUI::ApplySelection(bool selected, bool notify, WPARAM wParam) {
    if (selected == m_selected) return;
    m_selected = selected;
    m_state = selected ? (m_state | StateSelected) : (m_state & ~StateSelected);
    if (m_manager) {
        if (m_group.IsEmpty()) {
            if (notify) m_manager->SendNotify(this, L"selectchanged", wParam, 0);
        } else if (m_selected) {
            DeselectOthers(notify);
            if (notify) m_manager->SendNotify(this, L"selectchanged", wParam, 0);
        }
    }
    Invalidate();
}

void COptionUI::SetGroup(LPCTSTR name) {
    if (!name) {
        if (m_group.IsEmpty()) return;
        LeaveGroup();
        m_group.Empty();
        return;
    }
    if (m_group == name) return;
    LeaveGroup();
    m_group = name;
    if (!m_group.IsEmpty() && m_manager) JoinGroup();
}

void COptionUI::JoinGroup() {
    if (m_groupManager != m_manager) LeaveGroup();
    m_manager->AddOptionGroup(m_group, this);
    m_groupManager = m_manager;
    // An option that arrives selected (a skin may say "selected" before
    // "group", or build without a window) takes the group's selection over,
    // so two members are never selected at once.
    if (m_selected) DeselectOthers(false);
}

void COptionUI::LeaveGroup() {
    if (m_groupManager && !m_group.IsEmpty()) m_groupManager->RemoveOptionGroup(m_group, this);
    m_groupManager = nullptr;
}

void COptionUI::DeselectOthers(bool notify) {
    const CUIPtrArray* group = m_manager->GetOptionGroup(m_group);
    if (!group) return;
    // A copy: a member's handlers may change the group while it is walked.
    const CUIPtrArray members(*group);
    for (int i = 0; i < members.GetSize(); ++i) {
        auto* other = static_cast<COptionUI*>(members.GetAt(i));
        if (other != this) other->Selected(false, notify);
    }
}

void COptionUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    using namespace attribute;
    if (!name || !value) return;
    if (Is(name, L"group")) {
        SetGroup(value);
    } else if (Is(name, L"selected")) {
        Selected(IsTrue(value), true);
    } else if (Is(name, L"selectedimage")) {
        SetSelectedImage(value);
    } else if (Is(name, L"selectedhotimage")) {
        SetSelectedHotImage(value);
    } else if (Is(name, L"selectedpushedimage")) {
        SetSelectedPushedImage(value);
    } else if (Is(name, L"selectedforeimage")) {
        SetSelectedForeImage(value);
    } else if (Is(name, L"selectedstateimage")) {
        SetSelectedStateImage(value);
    } else if (Is(name, L"selectedstatecount")) {
        SetSelectedStateCount(Int(value));
    } else if (Is(name, L"selectedbkcolor")) {
        SetSelectedBkColor(Color(value));
    } else if (Is(name, L"selectedtextcolor")) {
        SetSelectedTextColor(Color(value));
    } else if (Is(name, L"selectedfont")) {
        SetSelectedFont(Int(value));
    } else {
        CButtonUI::SetAttribute(name, value);
    }
}

void COptionUI::PaintBkColor(HDC dc) {
    if (!PaintsSelected()) {
        CButtonUI::PaintBkColor(dc);
        return;
    }
    if (m_selectedBkColor != 0) CRenderEngine::DrawColor(dc, m_paintRect, GetAdjustColor(m_selectedBkColor));
}

void COptionUI::PaintStatusImage(HDC dc) {
    if (!PaintsSelected()) {
        CButtonUI::PaintStatusImage(dc);
        return;
    }
    CStateStrip strip;
    if (m_selectedImage.IsEmpty() && strip.Load(m_manager, m_selectedStateImage, m_selectedStateCount)) {
        m_selectedImage = strip.Slice(0);
        if (m_selectedStateCount >= 2) m_selectedHotImage = m_selectedPushedImage = strip.Slice(1);
        if (m_selectedStateCount >= 3) m_selectedPushedImage = strip.Slice(2);
    }
    if ((m_state & StatePushed) && !m_selectedPushedImage.IsEmpty()) {
        if (DrawImage(dc, m_selectedPushedImage)) return;
    } else if ((m_state & StateHot) && !m_selectedHotImage.IsEmpty()) {
        if (DrawImage(dc, m_selectedHotImage)) return;
    }
    if (!m_selectedImage.IsEmpty()) DrawImage(dc, m_selectedImage);
}

void COptionUI::PaintForeImage(HDC dc) {
    if (PaintsSelected() && !m_selectedForeImage.IsEmpty() && DrawImage(dc, m_selectedForeImage)) return;
    CButtonUI::PaintForeImage(dc);
}

void COptionUI::PaintText(HDC dc) {
    if (!PaintsSelected()) {
        CButtonUI::PaintText(dc);
        return;
    }
    TakeDefaultColors();
    const CUIString text = GetText();
    if (text.IsEmpty()) return;
    DWORD color = m_selectedTextColor;
    if (color == 0) color = IsEnabled() ? m_textColor : m_disabledTextColor;
    RECT rc = TextRect();
    RenderText(dc, rc, text, color, m_selectedFont != -1 ? m_selectedFont : m_font, m_textStyle);
}

LPCTSTR COptionUI::GetSelectedStateImage() const { return m_selectedStateImage; }

void COptionUI::SetSelectedStateImage(LPCTSTR image) {
    // Emptied like the button's normal image, so the slices are cut again.
    m_selectedImage.Empty();
    m_selectedStateImage = image;
    Invalidate();
}

void COptionUI::SetSelectedFont(int index) {
    m_selectedFont = index;
    Invalidate();
}

void COptionUI::SetSelectedImage(LPCTSTR image) {
    m_selectedImage = image;
    Invalidate();
}

void COptionUI::SetSelectedHotImage(LPCTSTR image) {
    m_selectedHotImage = image;
    Invalidate();
}

void COptionUI::SetSelectedPushedImage(LPCTSTR image) {
    m_selectedPushedImage = image;
    Invalidate();
}

void COptionUI::SetSelectedForeImage(LPCTSTR image) {
    m_selectedForeImage = image;
    Invalidate();
}

void COptionUI::SetSelectedStateCount(int count) {
    m_selectedStateCount = count;
    Invalidate();
}

}  // namespace KvUI
