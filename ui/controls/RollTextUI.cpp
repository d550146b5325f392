#include "ui/controls/RollTextUI.h"

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderClip.h"

namespace KvUI {
namespace {

// Pushed out this far, the measuring paint's rectangle never bounds the text.
constexpr int kMeasureReach = 10000;

}  // namespace

CRollTextUI::CRollTextUI() = default;

CRollTextUI::~CRollTextUI() {
    if (!m_manager) return;
    m_manager->KillTimer(this, kRollEndTimer);
    m_manager->KillTimer(this, kRollTimer);
}

LPCTSTR CRollTextUI::GetClass() const { return L"RollTextUI"; }

LPVOID CRollTextUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"RollText")) return static_cast<CRollTextUI*>(this);
    return CLabelUI::GetInterface(name);
}

void CRollTextUI::SetText(LPCTSTR text) {
    CLabelUI::SetText(text);
    m_extent = 0;
}

void CRollTextUI::SetRollPos(RECT rc) {
    CControlUI::SetPos(rc, true);
    m_extent = 0;
}

void CRollTextUI::SetDirection(Direction direction) {
    m_direction = direction;
    m_offset = 0;
    m_extent = 0;
    Invalidate();
}

void CRollTextUI::DoEvent(TUIEvent& event) {
    if (event.type == EventTimer && event.wParam == kRollEndTimer) {
        if (m_manager) {
            m_manager->KillTimer(this, kRollEndTimer);
            m_manager->SendNotify(this, L"textrollend");
        }
    } else if (event.type == EventTimer && event.wParam == kRollTimer) {
        // The text moves with the timer: a repaint for any other reason
        // shows it where it is.
        Advance();
        Invalidate();
        return;
    }
    CLabelUI::DoEvent(event);
}

RECT CRollTextUI::TextArea() const {
    const RECT padding = m_textPadding;
    return RECT{m_itemRect.left + padding.left, m_itemRect.top + padding.top, m_itemRect.right - padding.right,
                m_itemRect.bottom - padding.bottom};
}

void CRollTextUI::Advance() {
    if (m_extent <= 0) return;
    const RECT area = TextArea();
    const int travel =
        (IsHorizontal() ? area.right - area.left : area.bottom - area.top) + m_extent;
    m_offset += m_step;
    if (m_offset > travel) m_offset = 0;
}

void CRollTextUI::PaintText(HDC dc) {
    TakeDefaultColors();
    const CUIString text = GetText();
    if (text.IsEmpty()) return;
    const DWORD color = IsEnabled() ? m_textColor : m_disabledTextColor;

    RECT rc = TextArea();
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    UINT style = DT_WORDBREAK | DT_EDITCONTROL;
    if (m_extent > 0) {
        // The text enters just outside one edge and has left past the other
        // when the offset reaches the travel (the area plus the text).
        switch (m_direction) {
        case RollLeft: OffsetRect(&rc, width - m_offset, 0); break;
        case RollRight: OffsetRect(&rc, m_offset - m_extent, 0); break;
        case RollUp: OffsetRect(&rc, 0, height - m_offset); break;
        default: OffsetRect(&rc, 0, m_offset - m_extent); break;
        }
        if (IsHorizontal()) {
            rc.right = rc.left + m_extent;
        } else {
            rc.bottom = rc.top + m_extent;
        }
    } else {
        style |= DT_CALCRECT;
        (IsHorizontal() ? rc.right : rc.bottom) += kMeasureReach;
    }
    // The moving text stays inside the control, over whatever lies beside it.
    CRenderClip clip;
    CRenderClip::GenerateClip(dc, GetPaintRect(), clip);
    RenderText(dc, rc, text, color, m_font, style);
    if (style & DT_CALCRECT) m_extent = IsHorizontal() ? rc.right - rc.left : rc.bottom - rc.top;
}

}  // namespace KvUI
