#include "ui/lists/ComboBoxUI.h"

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"

namespace KvUI {
namespace {

// The arrow state's column in the image: normal, hot, pushed, focused, disabled.
int ArrowStateIndex(UINT state) {
    if (state & StateDisabled) return 4;
    if (state & StatePushed) return 2;
    if (state & StateHot) return 1;
    if (state & StateFocused) return 3;
    return 0;
}

}  // namespace

CComboBoxUI::CComboBoxUI() = default;
CComboBoxUI::~CComboBoxUI() = default;

LPCTSTR CComboBoxUI::GetClass() const { return L"ComboBoxUI"; }

void CComboBoxUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (name && value && attribute::Is(name, L"arrowimage")) {
        m_arrowImage = value;
        return;
    }
    CComboUI::SetAttribute(name, value);
}

// The arrow image's "source" holds all five states; the state's fifth of it
// is drawn at the right end of the box, inside the border.
void CComboBoxUI::PaintStatusImage(HDC dc) {
    if (m_arrowImage.IsEmpty()) {
        CComboUI::PaintStatusImage(dc);
        return;
    }
    SyncButtonState();
    const int source = m_arrowImage.FindText(L"source");
    if (source < 0) return;
    const int open = m_arrowImage.Find(L'\'', source);
    const int close = open < 0 ? -1 : m_arrowImage.Find(L'\'', open + 1);
    if (close < 0) return;
    const CUIString numbers = m_arrowImage.Mid(open + 1, close - open - 1);
    const RECT whole = attribute::Rect(numbers.GetData());
    m_arrowWidth = (whole.right - whole.left) / 5;
    const int left = whole.left + ArrowStateIndex(m_buttonState) * m_arrowWidth;

    const int border = GetBorderSize();
    RECT dest{border, border, GetWidth() - border, GetHeight() - border};
    dest.left = dest.right - m_arrowWidth;
    CUIString placed;
    placed.SmallFormat(L"source='%d,%d,%d,%d' dest='%d,%d,%d,%d'", left, static_cast<int>(whole.top),
                       left + m_arrowWidth, static_cast<int>(whole.bottom), static_cast<int>(dest.left),
                       static_cast<int>(dest.top), static_cast<int>(dest.right), static_cast<int>(dest.bottom));
    const CUIString modifier = m_arrowImage.Left(source) + placed + m_arrowImage.Mid(close + 1);
    DrawImage(dc, m_arrowImage, modifier);
}

void CComboBoxUI::PaintText(HDC dc) {
    const RECT padding = GetTextPadding();
    RECT rc = m_itemRect;
    rc.left += padding.left;
    rc.top += padding.top;
    rc.right -= padding.right + m_arrowWidth;
    rc.bottom -= padding.bottom;
    CControlUI* selected = GetItemAt(GetCurSel());
    if (!selected) return;
    if (auto* item = static_cast<IListItemUI*>(selected->GetInterface(L"ListItem"))) {
        item->DrawItemText(dc, rc);
        return;
    }
    const RECT old = selected->GetPos();
    selected->SetPos(rc, false);
    selected->DoPaint(dc, rc, nullptr);
    selected->SetPos(old, false);
}

}  // namespace KvUI
