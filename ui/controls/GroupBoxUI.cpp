#include "ui/controls/GroupBoxUI.h"

#include <algorithm>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"

namespace KvUI {
namespace {

// The frame runs this far inside the rectangle; the caption starts this far
// right of the frame's corner and rises above the frame line by the inset.
constexpr int kFrameInset = 5;
constexpr int kCaptionIndent = 15;
constexpr int kCaptionHeight = 20;

}  // namespace

// The inset keeps children clear of the frame and of the caption.
CGroupBoxUI::CGroupBoxUI() { m_inset = RECT{20, 25, 20, 20}; }
CGroupBoxUI::~CGroupBoxUI() = default;

LPCTSTR CGroupBoxUI::GetClass() const { return L"GroupBoxUI"; }

LPVOID CGroupBoxUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"GroupBox")) return static_cast<CGroupBoxUI*>(this);
    return CVerticalLayoutUI::GetInterface(name);
}

void CGroupBoxUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    using namespace attribute;
    if (!name || !value) return;
    if (Is(name, L"textcolor")) {
        SetTextColor(Color(value));
    } else if (Is(name, L"disabledtextcolor")) {
        SetDisabledTextColor(Color(value));
    } else if (Is(name, L"font")) {
        SetFont(Int(value));
    }
    CVerticalLayoutUI::SetAttribute(name, value);
}

void CGroupBoxUI::SetTextColor(DWORD color) {
    m_textColor = color;
    Invalidate();
}

void CGroupBoxUI::SetDisabledTextColor(DWORD color) {
    m_disabledTextColor = color;
    Invalidate();
}

void CGroupBoxUI::SetFont(int index) {
    m_font = index;
    Invalidate();
}

RECT CGroupBoxUI::FrameRect() const {
    RECT rc = m_itemRect;
    InflateRect(&rc, -kFrameInset, -kFrameInset);
    return rc;
}

void CGroupBoxUI::PaintText(HDC dc) {
    const CUIString text = GetText();
    if (text.IsEmpty() || !m_manager) return;
    if (m_textColor == 0) m_textColor = m_manager->GetDefaultColor2();
    if (m_disabledTextColor == 0) m_disabledTextColor = m_manager->GetDefaultColor1();

    const RECT frame = FrameRect();
    RECT measured = {0, 0, std::max<LONG>(frame.right - frame.left, m_fixedXY.cx), kCaptionHeight};
    CRenderEngine::DrawText(dc, m_manager, measured, text, m_textColor, m_font, m_textStyle | DT_CALCRECT);

    RECT caption = {frame.left + kCaptionIndent, frame.top - kFrameInset, 0, 0};
    caption.right = caption.left + (measured.right - measured.left);
    caption.bottom = caption.top + (measured.bottom - measured.top);
    CRenderEngine::DrawTextWithColor(dc, m_manager, caption, text, IsEnabled() ? m_textColor : m_disabledTextColor,
                                     m_font, m_textStyle, GetAdjustColor(m_bkColor));
}

void CGroupBoxUI::PaintBorder(HDC dc) {
    const int size = GetBorderSize();
    if (size > 0) {
        const SIZE round = GetBorderRound();
        const DWORD color =
            GetAdjustColor((IsFocused() && m_focusBorderColor != 0) ? m_focusBorderColor : m_borderColor);
        const RECT frame = FrameRect();
        if (round.cx > 0 || round.cy > 0) {
            CRenderEngine::DrawRoundRect(dc, frame, size, round.cx, round.cy, color);
        } else {
            CRenderEngine::DrawRect(dc, frame, size, color);
        }
    }
    // Again, over the frame line: the caption's background breaks the frame.
    PaintText(dc);
}

}  // namespace KvUI
