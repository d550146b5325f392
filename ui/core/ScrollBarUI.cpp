#include "ui/core/ScrollBarUI.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cwchar>

#include "ui/core/AttributeValue.h"
#include "ui/core/ContainerUI.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"

namespace KvUI {
namespace {

constexpr int kDefaultThickness = 16;
constexpr UINT kRepeatTimerId = 10;
constexpr UINT kRepeatElapse = 50;
// Held buttons and track start repeating on the sixth tick, 300 ms after the press.
constexpr int kRepeatDelayTicks = 5;
constexpr DWORD kMissingImageOutline = 0xFF85E4FF;

using attribute::IsTrue;

bool IsMouseEvent(int type) { return type >= EventMouseFirst && type <= EventMouseLast; }

bool IsNullRect(const RECT& rc) { return rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0; }

int ClampToInt(int64_t value) { return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX)); }

struct ImageAttribute {
    LPCTSTR name;
    CScrollBarUI::Part part;
    CScrollBarUI::State state;
};

using Part = CScrollBarUI::Part;
using State = CScrollBarUI::State;
constexpr ImageAttribute kImageAttributes[] = {
    {L"button1normalimage", Part::Button1, State::Normal},
    {L"button1hotimage", Part::Button1, State::Hot},
    {L"button1pushedimage", Part::Button1, State::Pushed},
    {L"button1disabledimage", Part::Button1, State::Disabled},
    {L"button2normalimage", Part::Button2, State::Normal},
    {L"button2hotimage", Part::Button2, State::Hot},
    {L"button2pushedimage", Part::Button2, State::Pushed},
    {L"button2disabledimage", Part::Button2, State::Disabled},
    {L"thumbnormalimage", Part::Thumb, State::Normal},
    {L"thumbhotimage", Part::Thumb, State::Hot},
    {L"thumbpushedimage", Part::Thumb, State::Pushed},
    {L"thumbdisabledimage", Part::Thumb, State::Disabled},
    {L"railnormalimage", Part::Rail, State::Normal},
    {L"railhotimage", Part::Rail, State::Hot},
    {L"railpushedimage", Part::Rail, State::Pushed},
    {L"raildisabledimage", Part::Rail, State::Disabled},
    {L"bknormalimage", Part::Background, State::Normal},
    {L"bkhotimage", Part::Background, State::Hot},
    {L"bkpushedimage", Part::Background, State::Pushed},
    {L"bkdisabledimage", Part::Background, State::Disabled},
};

}  // namespace

CScrollBarUI::CScrollBarUI() { m_fixedWidth = kDefaultThickness; }

LPCTSTR CScrollBarUI::GetClass() const { return L"ScrollBarUI"; }

LPVOID CScrollBarUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"ScrollBar")) return this;
    return CControlUI::GetInterface(name);
}

void CScrollBarUI::SetVisible(bool visible) {
    // The owner lays its bars out itself: no parent relayout from here.
    if (m_visible == visible) return;
    m_visible = visible;
    m_focused = false;
}

void CScrollBarUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    if (IsEnabled()) return;
    m_button1State = 0;
    m_button2State = 0;
    m_thumbState = 0;
}

void CScrollBarUI::SetFocus() {
    if (m_owner) {
        m_owner->SetFocus();
        return;
    }
    CControlUI::SetFocus();
}

void CScrollBarUI::SetHorizontal(bool horizontal) {
    if (m_horizontal == horizontal) return;
    m_horizontal = horizontal;
    if (m_horizontal && m_fixedHeight == 0) {
        m_fixedWidth = 0;
        m_fixedHeight = kDefaultThickness;
    } else if (!m_horizontal && m_fixedWidth == 0) {
        m_fixedWidth = kDefaultThickness;
        m_fixedHeight = 0;
    }
    if (m_owner) {
        m_owner->NeedUpdate();
    } else {
        NeedParentUpdate();
    }
}

void CScrollBarUI::SetScrollRange(int range) {
    if (m_range == range) return;
    m_range = std::max(range, 0);
    m_scrollPos = std::min(m_scrollPos, m_range);
    SetPos(m_itemRect);
}

void CScrollBarUI::SetScrollPos(int pos) {
    if (m_scrollPos == pos) return;
    m_scrollPos = std::clamp(pos, 0, m_range);
    SetPos(m_itemRect);
}

void CScrollBarUI::SetShowButton1(bool show) {
    m_showButton1 = show;
    SetPos(m_itemRect);
}

void CScrollBarUI::SetShowButton2(bool show) {
    m_showButton2 = show;
    SetPos(m_itemRect);
}

LPCTSTR CScrollBarUI::GetImage(Part part, State state) const {
    return m_images[static_cast<int>(part)][static_cast<int>(state)];
}

void CScrollBarUI::SetImage(Part part, State state, LPCTSTR image) {
    m_images[static_cast<int>(part)][static_cast<int>(state)] = image;
    Invalidate();
}

int CScrollBarUI::Thickness() const { return m_horizontal ? GetFixedHeight() : GetFixedWidth(); }

void CScrollBarUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    // Worked out along the bar: a0..a1 is its length, c0 its near side.
    const RECT& item = m_itemRect;
    const int a0 = m_horizontal ? item.left : item.top;
    const int a1 = m_horizontal ? item.right : item.bottom;
    const int c0 = m_horizontal ? item.top : item.left;
    const auto make = [this](int64_t from, int64_t to, int crossFrom, int crossTo) {
        const int f = ClampToInt(from);
        const int t = ClampToInt(to);
        return m_horizontal ? RECT{f, crossFrom, t, crossTo} : RECT{crossFrom, f, crossTo, t};
    };

    const int t = Thickness();
    const int length = a1 - a0;
    const int available = length - (m_showButton1 ? t : 0) - (m_showButton2 ? t : 0);
    if (t >= available) {
        // Too short for a thumb: two buttons of at most half the length each.
        const int size = std::min(t, length / 2);
        m_button1Rect = m_showButton1 ? make(a0, a0 + size, c0, c0 + t) : make(a0, a0, c0, c0);
        m_button2Rect = m_showButton2 ? make(a1 - size, a1, c0, c0 + t) : make(a1, a1, c0, c0);
        m_thumbRect = RECT{};
        return;
    }

    m_button1Rect = m_showButton1 ? make(a0, a0 + t, c0, c0 + t) : make(a0, a0, c0, c0);
    m_button2Rect = m_showButton2 ? make(a1 - t, a1, c0, c0 + t) : make(a1, a1, c0, c0);
    const int trackStart = a0 + (m_showButton1 ? t : 0);
    const int trackEnd = a1 - (m_showButton2 ? t : 0);
    if (m_range < 1) {
        m_thumbRect = make(trackStart, trackEnd, c0, c0 + t);
        return;
    }
    // 64-bit products: ranges of millions of pixels must not wrap.
    const int64_t thumb = std::max<int64_t>(t, int64_t{length} * available / (int64_t{length} + m_range));
    int64_t start = (available - thumb) * m_scrollPos / m_range + trackStart;
    if (start + thumb > trackEnd) start = trackEnd - thumb;
    m_thumbRect = make(start, start + thumb, c0, c0 + t);
}

void CScrollBarUI::ScrollLine(bool forward) {
    if (m_owner) {
        if (m_horizontal) {
            forward ? m_owner->LineRight() : m_owner->LineLeft();
        } else {
            forward ? m_owner->LineDown() : m_owner->LineUp();
        }
        return;
    }
    SetScrollPos(m_scrollPos + (forward ? m_lineSize : -m_lineSize));
}

void CScrollBarUI::ScrollPage(bool forward) {
    if (m_owner) {
        if (m_horizontal) {
            forward ? m_owner->PageRight() : m_owner->PageLeft();
        } else {
            forward ? m_owner->PageDown() : m_owner->PageUp();
        }
        return;
    }
    const int page = m_horizontal ? GetWidth() : GetHeight();
    SetScrollPos(m_scrollPos + (forward ? page : -page));
}

void CScrollBarUI::PageTowards(POINT pt) {
    const int along = Along(pt);
    if (along < (m_horizontal ? m_thumbRect.left : m_thumbRect.top)) {
        ScrollPage(false);
    } else if (along > (m_horizontal ? m_thumbRect.right : m_thumbRect.bottom)) {
        ScrollPage(true);
    }
}

void CScrollBarUI::DoEvent(TUIEvent& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (m_owner) {
            m_owner->DoEvent(event);
        } else {
            CControlUI::DoEvent(event);
        }
        return;
    }

    switch (event.type) {
    case EventSetFocus:
    case EventKillFocus:
    case EventContextMenu:
        return;
    case EventButtonDown:
    case EventDblClick: {
        if (!IsEnabled()) return;
        m_dragOffset = 0;
        m_repeatTicks = 0;
        if (m_manager) m_manager->SetTimer(this, kRepeatTimerId, kRepeatElapse);
        const POINT pt = event.mousePoint;
        if (PtInRect(&m_button1Rect, pt)) {
            m_button1State |= StatePushed;
            ScrollLine(false);
        } else if (PtInRect(&m_button2Rect, pt)) {
            m_button2State |= StatePushed;
            ScrollLine(true);
        } else if (PtInRect(&m_thumbRect, pt)) {
            m_thumbState |= StateCaptured | StatePushed;
            m_lastMouse = pt;
            m_lastScrollPos = m_scrollPos;
        } else {
            PageTowards(pt);
        }
        if (m_manager) m_manager->SendNotify(this, L"scroll");
        return;
    }
    case EventButtonUp:
        m_repeatTicks = 0;
        m_dragOffset = 0;
        if (m_manager) m_manager->KillTimer(this, kRepeatTimerId);
        if (m_thumbState & StateCaptured) {
            m_thumbState &= ~(StateCaptured | StatePushed);
        } else if (m_button1State & StatePushed) {
            m_button1State &= ~StatePushed;
        } else if (m_button2State & StatePushed) {
            m_button2State &= ~StatePushed;
        } else {
            return;
        }
        Invalidate();
        return;
    case EventMouseMove:
        if (m_thumbState & StateCaptured) {
            // The thumb travels the track between the buttons that are shown,
            // so it stays under the mouse however the buttons are set.
            const int track = m_horizontal ? m_button2Rect.left - m_button1Rect.right
                                           : m_button2Rect.top - m_button1Rect.bottom;
            const int free = track - (m_horizontal ? m_thumbRect.right - m_thumbRect.left
                                                   : m_thumbRect.bottom - m_thumbRect.top);
            if (free > 0) {
                m_dragOffset =
                    ClampToInt(int64_t{Along(event.mousePoint) - Along(m_lastMouse)} * m_range / free);
            }
        } else if ((m_thumbState & StateHot) && !PtInRect(&m_thumbRect, event.mousePoint)) {
            m_thumbState &= ~StateHot;
            Invalidate();
        } else if (IsEnabled() && PtInRect(&m_thumbRect, event.mousePoint)) {
            m_thumbState |= StateHot;
            Invalidate();
        }
        return;
    case EventTimer:
        if (event.wParam != kRepeatTimerId) break;
        ++m_repeatTicks;
        if (m_thumbState & StateCaptured) {
            const int pos = ClampToInt(int64_t{m_lastScrollPos} + m_dragOffset);
            if (m_owner) {
                SIZE ownerPos = m_owner->GetScrollPos();
                (m_horizontal ? ownerPos.cx : ownerPos.cy) = pos;
                m_owner->SetScrollPos(ownerPos);
            } else {
                SetScrollPos(pos);
            }
            Invalidate();
        } else if (m_button1State & StatePushed) {
            if (m_repeatTicks <= kRepeatDelayTicks) return;
            ScrollLine(false);
        } else if (m_button2State & StatePushed) {
            if (m_repeatTicks <= kRepeatDelayTicks) return;
            ScrollLine(true);
        } else {
            if (m_repeatTicks <= kRepeatDelayTicks || !m_manager) return;
            POINT pt{};
            GetCursorPos(&pt);
            ScreenToClient(m_manager->GetPaintWindow(), &pt);
            if (PtInRect(&m_thumbRect, pt)) return;
            PageTowards(pt);
        }
        if (m_manager) m_manager->SendNotify(this, L"scroll");
        return;
    case EventMouseEnter:
        if (!IsEnabled()) return;
        m_button1State |= StateHot;
        m_button2State |= StateHot;
        if (PtInRect(&m_thumbRect, event.mousePoint)) m_thumbState |= StateHot;
        Invalidate();
        return;
    case EventMouseLeave:
        if (!IsEnabled()) return;
        m_button1State &= ~StateHot;
        m_button2State &= ~StateHot;
        m_thumbState &= ~StateHot;
        Invalidate();
        return;
    default:
        break;
    }
    if (m_owner) {
        m_owner->DoEvent(event);
    } else {
        CControlUI::DoEvent(event);
    }
}

void CScrollBarUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    for (const ImageAttribute& image : kImageAttributes) {
        if (attribute::Is(name, image.name)) {
            SetImage(image.part, image.state, value);
            return;
        }
    }
    if (attribute::Is(name, L"hor")) {
        SetHorizontal(IsTrue(value));
    } else if (attribute::Is(name, L"linesize")) {
        SetLineSize(_wtoi(value));
    } else if (attribute::Is(name, L"range")) {
        SetScrollRange(_wtoi(value));
    } else if (attribute::Is(name, L"value")) {
        SetScrollPos(_wtoi(value));
    } else if (attribute::Is(name, L"showbutton1")) {
        SetShowButton1(IsTrue(value));
    } else if (attribute::Is(name, L"showbutton2")) {
        SetShowButton2(IsTrue(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

bool CScrollBarUI::DoPaint(HDC dc, const RECT&, CControlUI*) {
    PaintBkColor(dc);
    PaintBkImage(dc);
    PaintBackground(dc);
    if (m_showButton1) PaintPart(dc, Part::Button1, m_button1Rect, m_button1State);
    if (m_showButton2) PaintPart(dc, Part::Button2, m_button2Rect, m_button2State);
    if (!IsNullRect(m_thumbRect)) PaintPart(dc, Part::Thumb, m_thumbRect, m_thumbState);
    PaintRail(dc);
    PaintBorder(dc);
    return true;
}

bool CScrollBarUI::DrawStateImage(HDC dc, Part part, UINT state, LPCTSTR modify) {
    const auto draw = [&](State s) {
        LPCTSTR image = GetImage(part, s);
        return *image && DrawImage(dc, image, modify);
    };
    if (state & StateDisabled) {
        if (draw(State::Disabled)) return true;
    } else if (state & StatePushed) {
        if (draw(State::Pushed)) return true;
    } else if (state & StateHot) {
        if (draw(State::Hot)) return true;
    }
    return draw(State::Normal);
}

void CScrollBarUI::PaintBackground(HDC dc) {
    if (IsEnabled()) {
        m_thumbState &= ~StateDisabled;
    } else {
        m_thumbState |= StateDisabled;
    }
    DrawStateImage(dc, Part::Background, m_thumbState, nullptr);
}

void CScrollBarUI::PaintPart(HDC dc, Part part, const RECT& rc, UINT& state) {
    if (IsEnabled()) {
        state &= ~StateDisabled;
    } else {
        state |= StateDisabled;
    }
    // Draw strings are written at 96 dpi: give the part's place back in skin units.
    const int scale = m_manager ? m_manager->GetScaler()->GetScale() : 100;
    const auto unscale = [scale](int n) { return MulDiv(n, 100, scale); };
    m_imageModify.SmallFormat(L"dest='%d,%d,%d,%d'", unscale(rc.left - m_itemRect.left),
                              unscale(rc.top - m_itemRect.top), unscale(rc.right - m_itemRect.left),
                              unscale(rc.bottom - m_itemRect.top));
    if (DrawStateImage(dc, part, state, m_imageModify)) return;
    CRenderEngine::DrawRect(dc, rc, 2, kMissingImageOutline);
}

void CScrollBarUI::PaintRail(HDC dc) {
    if (IsNullRect(m_thumbRect)) return;
    const int scale = m_manager ? m_manager->GetScaler()->GetScale() : 100;
    const auto unscale = [scale](int n) { return MulDiv(n, 100, scale); };
    // A square of the bar's skin thickness on the thumb's centre.
    const int side = m_horizontal ? m_fixedHeight : m_fixedWidth;
    const RECT thumb{m_thumbRect.left - m_itemRect.left, m_thumbRect.top - m_itemRect.top,
                     m_thumbRect.right - m_itemRect.left, m_thumbRect.bottom - m_itemRect.top};
    if (m_horizontal) {
        const int start = unscale((thumb.left + thumb.right) / 2) - side / 2;
        m_imageModify.SmallFormat(L"dest='%d,%d,%d,%d'", start, unscale(thumb.top), start + side,
                                  unscale(thumb.bottom));
    } else {
        const int start = unscale((thumb.top + thumb.bottom) / 2) - side / 2;
        m_imageModify.SmallFormat(L"dest='%d,%d,%d,%d'", unscale(thumb.left), start, unscale(thumb.right),
                                  start + side);
    }
    DrawStateImage(dc, Part::Rail, m_thumbState, m_imageModify);
}

}  // namespace KvUI
