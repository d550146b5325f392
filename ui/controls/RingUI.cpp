#include "ui/controls/RingUI.h"

#include <cwchar>

#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderGdiplus.h"

namespace KvUI {
namespace {

constexpr UINT kTurnElapse = 100;
constexpr float kTurnStep = 36;

}  // namespace

CRingUI::CRingUI() = default;

// A ring that never joined a window has no timer to kill.
CRingUI::~CRingUI() {
    if (m_manager) m_manager->KillTimer(this, kTurnTimer);
}

LPCTSTR CRingUI::GetClass() const { return L"RingUI"; }

LPVOID CRingUI::GetInterface(LPCTSTR name) {
    if (name && wcscmp(name, L"Ring") == 0) return static_cast<CRingUI*>(this);
    return CLabelUI::GetInterface(name);
}

void CRingUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (!name || !value) return;
    if (wcscmp(name, L"bkimage") != 0) {
        CLabelUI::SetAttribute(name, value);
        return;
    }
    if (wcscmp(value, GetBkImage()) == 0) return;
    SetBkImage(value);
    m_image.reset();
    Invalidate();
}

void CRingUI::DoEvent(TUIEvent& event) {
    if (event.type != EventTimer || event.wParam != kTurnTimer) {
        CLabelUI::DoEvent(event);
        return;
    }
    if (m_angle > 359) m_angle = 0;
    m_angle += kTurnStep;
    Invalidate();
}

void CRingUI::PaintBkImage(HDC dc) {
    if (!m_image) {
        m_image = CRenderEngine::LoadGifImage(GetBkImage());
        if (!m_image) return;
        if (m_manager) m_manager->SetTimer(this, kTurnTimer, kTurnElapse);
    }
    using namespace Gdiplus::DllExports;
    const GdipGraphicsPtr graphics = GdipGraphicsFor(dc);
    if (!graphics) return;
    const RECT& rc = m_itemRect;
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    const auto centreX = static_cast<float>(rc.left + width / 2);
    const auto centreY = static_cast<float>(rc.top + height / 2);
    GdipTranslateWorldTransform(graphics.get(), centreX, centreY, Gdiplus::MatrixOrderPrepend);
    GdipRotateWorldTransform(graphics.get(), m_angle, Gdiplus::MatrixOrderPrepend);
    GdipTranslateWorldTransform(graphics.get(), -centreX, -centreY, Gdiplus::MatrixOrderPrepend);
    GdipDrawImageRectI(graphics.get(), m_image.get(), rc.left, rc.top, width, height);
}

}  // namespace KvUI
