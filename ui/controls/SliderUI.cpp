#include "ui/controls/SliderUI.h"

#include <algorithm>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"

namespace KvUI {
namespace {

// lo + span × offset / track, in 64 bits; `track` is positive.
int Interpolate(int lo, long long span, long long offset, long long track, bool integerDivision) {
    if (integerDivision) return static_cast<int>(lo + span * offset / track);
    return static_cast<int>(lo + static_cast<long long>(static_cast<double>(span) * offset / track));
}

}  // namespace

CSliderUI::CSliderUI() { m_textStyle = DT_SINGLELINE | DT_CENTER; }

CSliderUI::~CSliderUI() = default;

LPCTSTR CSliderUI::GetClass() const { return L"SliderUI"; }

LPVOID CSliderUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"Slider")) return static_cast<CSliderUI*>(this);
    return CProgressUI::GetInterface(name);
}

UINT CSliderUI::GetControlFlags() const { return IsEnabled() ? UIFLAG_SETCURSOR : 0; }

void CSliderUI::SetEnabled(bool enabled) {
    CProgressUI::SetEnabled(enabled);
    if (!enabled) m_state = 0;
}

void CSliderUI::SetValue(int value) {
    if (m_state & StateCaptured) return;
    CProgressUI::SetValue(value);
}

RECT CSliderUI::GetThumbRect() const {
    POINT thumb = {m_thumbSize.cx, m_thumbSize.cy};
    if (m_manager) m_manager->GetScaler()->ScalePoint(&thumb);
    const RECT& rc = m_itemRect;
    // With no range the thumb rests at the minimum end rather than dividing by zero.
    const int range = Range();
    const long long offset = std::clamp<long long>(static_cast<long long>(m_value) - m_min, 0, range);
    if (m_horizontal) {
        const int left =
            static_cast<int>((static_cast<long long>(rc.right) - rc.left - thumb.x) * offset / range + rc.left);
        const int top = (rc.bottom + rc.top - thumb.y) / 2;
        return RECT{left, top, left + thumb.x, top + thumb.y};
    }
    const int left = (rc.right + rc.left - thumb.x) / 2;
    const int top =
        static_cast<int>(rc.bottom - thumb.y - (static_cast<long long>(rc.bottom) - rc.top - thumb.y) * offset / range);
    return RECT{left, top, left + thumb.x, top + thumb.y};
}

int CSliderUI::ValueAt(POINT pt, bool integerDivision) const {
    const RECT& rc = m_itemRect;
    const long long span = static_cast<long long>(m_max) - m_min;
    if (m_horizontal) {
        const int half = m_thumbSize.cx / 2;
        if (pt.x >= rc.right - half) return m_max;
        if (pt.x <= rc.left + half) return m_min;
        const long long track = static_cast<long long>(rc.right) - rc.left - m_thumbSize.cx;
        // A track no longer than the thumb has no inside: the ends above cover it.
        if (track <= 0) return m_min;
        return Interpolate(m_min, span, static_cast<long long>(pt.x) - rc.left - half, track, integerDivision);
    }
    const int half = m_thumbSize.cy / 2;
    if (pt.y >= rc.bottom - half) return m_min;
    if (pt.y <= rc.top + half) return m_max;
    const long long track = static_cast<long long>(rc.bottom) - rc.top - m_thumbSize.cy;
    if (track <= 0) return m_min;
    return Interpolate(m_min, span, static_cast<long long>(rc.bottom) - pt.y - half, track, integerDivision);
}

void CSliderUI::DoEvent(TUIEvent& event) {
    if (ForwardMouseWhileDisabled(event)) return;
    const bool enabled = IsEnabled();
    switch (event.type) {
        case EventButtonDown:
        case EventDblClick:
            if (!enabled) break;
            m_state |= StateCaptured;
            if (const int value = ValueAt(event.mousePoint, false);
                value != m_value && value >= m_min && value <= m_max) {
                m_value = value;
                Invalidate();
            }
            UpdateText();
            return;
        case EventButtonUp:
        case EventRButtonUp:
            if (!enabled) break;
            m_state &= ~StateCaptured;
            if (const int value = ValueAt(event.mousePoint, true); value >= m_min && value <= m_max) {
                m_value = value;
                if (m_manager) m_manager->SendNotify(this, L"valuechanged");
                Invalidate();
            }
            UpdateText();
            return;
        case EventContextMenu:
            return;
        case EventScrollWheel:
            if (!enabled) break;
            if (event.wParam == SB_LINEUP || event.wParam == SB_LINEDOWN) {
                const long long next = static_cast<long long>(m_value) + (event.wParam == SB_LINEUP ? m_step : -m_step);
                if (next >= m_min && next <= m_max) SetValue(static_cast<int>(next));
                if (m_manager) m_manager->SendNotify(this, L"valuechanged");
            }
            return;
        case EventMouseMove: {
            if (m_state & StateCaptured) {
                m_value = ValueAt(event.mousePoint, false);
                if (m_sendMove) {
                    UpdateText();
                    if (m_manager) m_manager->SendNotify(this, L"movevaluechanged");
                }
                Invalidate();
            }
            const RECT thumb = GetThumbRect();
            m_state = (enabled && PtInRect(&thumb, event.mousePoint)) ? (m_state | StateHot) : (m_state & ~StateHot);
            Invalidate();
            return;
        }
        case EventSetCursor:
            if (!enabled) break;
            ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return;
        case EventMouseLeave:
            if (!enabled) break;
            m_state &= ~StateHot;
            Invalidate();
            return;
        default:
            break;
    }
    CControlUI::DoEvent(event);
}

void CSliderUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    using namespace attribute;
    if (!name || !value) return;
    if (Is(name, L"thumbimage")) {
        SetThumbImage(value);
    } else if (Is(name, L"thumbhotimage")) {
        SetThumbHotImage(value);
    } else if (Is(name, L"thumbpushedimage")) {
        SetThumbPushedImage(value);
    } else if (Is(name, L"thumbsize")) {
        SetThumbSize(Size(value));
    } else if (Is(name, L"step")) {
        SetChangeStep(Int(value));
    } else if (Is(name, L"sendmove")) {
        SetSendMove(IsTrue(value));
    } else {
        CProgressUI::SetAttribute(name, value);
    }
}

void CSliderUI::PaintForeImage(HDC dc) {
    CProgressUI::PaintForeImage(dc);
    RECT thumb = GetThumbRect();
    OffsetRect(&thumb, -m_itemRect.left, -m_itemRect.top);
    if (m_manager) m_manager->GetScaler()->UnscaleRect(&thumb);
    m_thumbModifier.Format(L"dest='%d,%d,%d,%d'", thumb.left, thumb.top, thumb.right, thumb.bottom);
    if (m_state & StateCaptured) {
        if (!m_thumbPushedImage.IsEmpty() && DrawImage(dc, m_thumbPushedImage, m_thumbModifier)) return;
    } else if (m_state & StateHot) {
        if (!m_thumbHotImage.IsEmpty() && DrawImage(dc, m_thumbHotImage, m_thumbModifier)) return;
    }
    if (!m_thumbImage.IsEmpty()) DrawImage(dc, m_thumbImage, m_thumbModifier);
}

void CSliderUI::SetThumbImage(LPCTSTR image) {
    m_thumbImage = image;
    Invalidate();
}

void CSliderUI::SetThumbHotImage(LPCTSTR image) {
    m_thumbHotImage = image;
    Invalidate();
}

void CSliderUI::SetThumbPushedImage(LPCTSTR image) {
    m_thumbPushedImage = image;
    Invalidate();
}

}  // namespace KvUI
