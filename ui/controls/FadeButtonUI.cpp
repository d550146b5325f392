#include "ui/controls/FadeButtonUI.h"

#include <cwchar>

namespace KvUI {
namespace {

constexpr int kFadeElapse = 10;
constexpr int kFadeFrames = 30;
// A frame that would be fully transparent still shows a trace of the new image.
constexpr BYTE kLeastAlpha = 10;

CUIString FadeModifier(int alpha) {
    CUIString text;
    text.Format(L"fade='%d'", alpha);
    return text;
}

}  // namespace

CFadeButtonUI::CFadeButtonUI() : CUIAnimation(this) {}

CFadeButtonUI::~CFadeButtonUI() { StopAnimation(0); }

LPCTSTR CFadeButtonUI::GetClass() const { return L"FadeButtonUI"; }

LPVOID CFadeButtonUI::GetInterface(LPCTSTR name) {
    if (name && wcscmp(name, L"FadeButton") == 0) return static_cast<CFadeButtonUI*>(this);
    return CButtonUI::GetInterface(name);
}

void CFadeButtonUI::SetNormalImage(LPCTSTR image) {
    CButtonUI::SetNormalImage(image);
    m_lastImage = GetNormalImage();
}

void CFadeButtonUI::StartFade(int id, bool& requested) {
    m_fadeAlpha = 0;
    requested = true;
    StopAnimation(id == kFadeIn ? kFadeOut : kFadeIn);
    StartAnimation(kFadeElapse, kFadeFrames, id, false);
    Invalidate();
}

void CFadeButtonUI::DoEvent(TUIEvent& event) {
    if (event.type == EventMouseEnter && !IsAnimationRunning(kFadeIn)) {
        StartFade(kFadeIn, m_mouseEntered);
        return;
    }
    if (event.type == EventMouseLeave && !IsAnimationRunning(kFadeOut)) {
        StartFade(kFadeOut, m_mouseLeft);
        return;
    }
    if (event.type == EventTimer) OnAnimationElapse(static_cast<int>(event.wParam));
    CButtonUI::DoEvent(event);
}

void CFadeButtonUI::OnAnimationStep(int totalFrames, int currentFrame, int id) {
    (void)id;
    m_fadeAlpha = static_cast<BYTE>(static_cast<double>(currentFrame) / totalFrames * 255.0);
    if (m_fadeAlpha == 0) m_fadeAlpha = kLeastAlpha;
    Invalidate();
}

void CFadeButtonUI::PaintStatusImage(HDC dc) {
    RefreshState();
    LPCTSTR chosen = nullptr;
    if ((m_state & StateDisabled) && *GetDisabledImage()) {
        chosen = GetDisabledImage();
    } else if ((m_state & StatePushed) && *GetPushedImage()) {
        chosen = GetPushedImage();
    } else if ((m_state & StateFocused) && *GetFocusedImage()) {
        chosen = GetFocusedImage();
    }
    if (chosen && DrawImage(dc, chosen)) return;

    const CUIString normal = GetNormalImage();
    if (normal.IsEmpty()) return;
    const CUIString hot = GetHotImage();
    if (m_mouseEntered) {
        m_mouseEntered = false;
        m_lastImage = hot;
        DrawImage(dc, normal);
        return;
    }
    if (m_mouseLeft) {
        m_mouseLeft = false;
        m_lastImage = normal;
        DrawImage(dc, hot);
        return;
    }
    const bool fadingIn = IsAnimationRunning(kFadeIn);
    if (fadingIn || IsAnimationRunning(kFadeOut)) {
        m_fadeOutImage = fadingIn ? normal : hot;
        m_fadeInImage = fadingIn ? hot : normal;
        DrawImage(dc, m_fadeOutImage, FadeModifier(255 - m_fadeAlpha));
        DrawImage(dc, m_fadeInImage, FadeModifier(m_fadeAlpha));
        return;
    }
    if (m_lastImage.IsEmpty()) m_lastImage = normal;
    DrawImage(dc, m_lastImage);
}

}  // namespace KvUI
