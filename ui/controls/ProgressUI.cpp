#include "ui/controls/ProgressUI.h"

#include <algorithm>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"

namespace KvUI {
namespace {

// a × b / c with the product first, in 64 bits so large ranges cannot overflow.
int MulDivTruncate(long long a, long long b, long long c) { return static_cast<int>(a * b / c); }

}  // namespace

CProgressUI::CProgressUI() {
    m_textStyle = DT_SINGLELINE | DT_CENTER;
    m_fixedHeight = 12;
}

CProgressUI::~CProgressUI() = default;

LPCTSTR CProgressUI::GetClass() const { return L"ProgressUI"; }

LPVOID CProgressUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"Progress")) return static_cast<CProgressUI*>(this);
    return CLabelUI::GetInterface(name);
}

void CProgressUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    using namespace attribute;
    if (!name || !value) return;
    if (Is(name, L"hor")) {
        SetHorizontal(IsTrue(value));
    } else if (Is(name, L"min")) {
        SetMinValue(Int(value));
    } else if (Is(name, L"max")) {
        SetMaxValue(Int(value));
    } else if (Is(name, L"value")) {
        SetValue(Int(value));
    } else if (Is(name, L"isstretchfore")) {
        SetStretchForeImage(IsTrue(value));
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

void CProgressUI::NormalizeRange() {
    if (m_min >= m_max) m_max = m_min + 1;
    m_value = std::clamp(m_value, m_min, m_max);
}

int CProgressUI::Range() const {
    const long long range = static_cast<long long>(m_max) - m_min;
    return range >= 1 ? static_cast<int>(std::min<long long>(range, INT_MAX)) : 1;
}

RECT CProgressUI::FilledPart() const {
    const int width = m_itemRect.right - m_itemRect.left;
    const int height = m_itemRect.bottom - m_itemRect.top;
    const int range = Range();
    if (m_horizontal) return RECT{0, 0, MulDivTruncate(static_cast<long long>(m_value) - m_min, width, range), height};
    return RECT{0, MulDivTruncate(height, static_cast<long long>(m_max) - m_value, range), width, height};
}

void CProgressUI::PaintForeColor(HDC dc) {
    NormalizeRange();
    if (m_foreColor == 0) return;
    RECT rc = FilledPart();
    OffsetRect(&rc, m_itemRect.left, m_itemRect.top);
    CRenderEngine::DrawColor(dc, rc, GetAdjustColor(m_foreColor));
}

void CProgressUI::PaintForeImage(HDC dc) {
    NormalizeRange();
    if (m_foreImage.IsEmpty()) return;
    RECT rc = FilledPart();
    // Image draw strings are scaled again when drawn: write skin units.
    const int percent = m_manager ? m_manager->GetScaler()->GetScale() : 100;
    if (percent > 0) {
        for (LONG* n : {&rc.left, &rc.top, &rc.right, &rc.bottom}) *n = *n * 100 / percent;
    }
    if (m_stretchForeImage) {
        m_foreImageModify.Format(L"dest='%d,%d,%d,%d'", rc.left, rc.top, rc.right, rc.bottom);
    } else {
        m_foreImageModify.Format(L"dest='%d,%d,%d,%d' source='%d,%d,%d,%d'", rc.left, rc.top, rc.right, rc.bottom,
                                 rc.left, rc.top, rc.right, rc.bottom);
    }
    DrawImage(dc, m_foreImage, m_foreImageModify);
}

void CProgressUI::UpdateText() {
    if (!m_showText) return;
    // Read with the range painting uses, so a range of 0 shows 0% instead of dividing by zero.
    const double percent = (static_cast<double>(m_value) - m_min) * 100.0 / Range();
    CUIString text;
    text.SmallFormat(L"%.0f%%", percent);
    SetText(text);
}

void CProgressUI::SetShowText(bool showText) {
    if (m_showText == showText) return;
    m_showText = showText;
    UpdateText();
}

void CProgressUI::SetHorizontal(bool horizontal) {
    if (m_horizontal == horizontal) return;
    m_horizontal = horizontal;
    Invalidate();
}

void CProgressUI::SetStretchForeImage(bool stretch) {
    if (m_stretchForeImage == stretch) return;
    m_stretchForeImage = stretch;
    Invalidate();
}

void CProgressUI::SetMinValue(int value) {
    m_min = value;
    Invalidate();
}

void CProgressUI::SetMaxValue(int value) {
    m_max = value;
    Invalidate();
}

void CProgressUI::SetValue(int value) {
    if (value == m_value || value < m_min || value > m_max) return;
    m_value = value;
    Invalidate();
    UpdateText();
}

}  // namespace KvUI
