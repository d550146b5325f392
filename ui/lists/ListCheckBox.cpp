#include "ui/lists/ListCheckBox.h"

#include "ui/core/AttributeValue.h"
#include "ui/core/ControlUI.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"

namespace KvUI {
namespace {

// The box's distance from its owner's left edge.
constexpr int kBoxLeft = 6;

void SetBit(UINT& state, UINT bit, bool on) { state = on ? (state | bit) : (state & ~bit); }

int ScaledBy(const CControlUI& control, int n) {
    CPaintManagerUI* manager = control.GetManager();
    return manager ? manager->GetScaler()->Scale(n) : n;
}

}  // namespace

bool CListCheckBox::SetCheck(bool checked) {
    if (m_checked == checked) return false;
    m_checked = checked;
    SetBit(m_state, StateSelected, checked);
    return true;
}

bool CListCheckBox::SetAttribute(LPCTSTR name, LPCTSTR value) {
    using attribute::Is;
    struct Picture {
        LPCTSTR name;
        CUIString* image;
    };
    const Picture pictures[] = {
        {L"checkboxnormalimage", &m_normalImage},     {L"checkboxhotimage", &m_hotImage},
        {L"checkboxpushedimage", &m_pushedImage},     {L"checkboxfocusedimage", &m_focusedImage},
        {L"checkboxdisabledimage", &m_disabledImage}, {L"checkboxselectedimage", &m_selectedImage},
        {L"checkboxforeimage", &m_foreImage},
    };
    for (const Picture& picture : pictures) {
        if (!Is(name, picture.name)) continue;
        *picture.image = value;
        return true;
    }
    const bool width = Is(name, L"checkboxwidth");
    if (!width && !Is(name, L"checkboxheight")) return false;
    const int size = attribute::Int(value);
    if (size >= 0) (width ? m_width : m_height) = size;
    return true;
}

RECT CListCheckBox::Place(const RECT& owner, const CControlUI& control) const {
    const int width = ScaledBy(control, m_width);
    const int height = ScaledBy(control, m_height);
    const LONG left = owner.left + kBoxLeft;
    const LONG top = owner.top + (owner.bottom - owner.top - height) / 2;
    return RECT{left, top, left + width, top + height};
}

int CListCheckBox::ShownWidth(const CControlUI& control) const { return ScaledBy(control, m_width); }

CListCheckBox::Input CListCheckBox::OnMouse(const TUIEvent& event, const RECT& box, bool hoverOnMove) {
    const bool inside = PtInRect(&box, event.mousePoint) != FALSE;
    switch (event.type) {
    case EventButtonDown:
    case EventDblClick:
        if (!inside) return Input::None;
        m_state |= StatePushed | StateCaptured;
        return Input::Changed;
    case EventMouseMove:
        if (m_state & StateCaptured) {
            SetBit(m_state, StatePushed, inside);
        } else if (hoverOnMove) {
            SetBit(m_state, StateHot, inside);
        } else {
            return Input::None;
        }
        return Input::Changed;
    case EventButtonUp: {
        if (!(m_state & StateCaptured)) return Input::None;
        m_state &= ~(StatePushed | StateCaptured);
        return inside ? Input::Toggled : Input::Changed;
    }
    case EventMouseEnter:
        if (!inside) return Input::None;
        m_state |= StateHot;
        return Input::Changed;
    case EventMouseLeave:
        m_state &= ~StateHot;
        return Input::Changed;
    default:
        return Input::None;
    }
}

void CListCheckBox::Draw(HDC dc, const CControlUI& control, const RECT& box, const RECT& paint) {
    CPaintManagerUI* manager = control.GetManager();
    const auto drawn = [&](const CUIString& image) {
        return !image.IsEmpty() && CRenderEngine::DrawImageString(dc, manager, box, paint, image);
    };
    if (!(m_checked && drawn(m_selectedImage))) {
        SetBit(m_state, StateFocused, control.IsFocused());
        SetBit(m_state, StateDisabled, !control.IsEnabled());
        const CUIString* state = (m_state & StateDisabled) ? &m_disabledImage
                                 : (m_state & StatePushed) ? &m_pushedImage
                                 : (m_state & StateHot)    ? &m_hotImage
                                 : (m_state & StateFocused) ? &m_focusedImage
                                                            : nullptr;
        if (state && drawn(*state)) return;
        if (drawn(m_normalImage)) return;
    }
    drawn(m_foreImage);
}

}  // namespace KvUI
