#include "ui/controls/NativeEditorWnd.h"

#include "ui/controls/LabelUI.h"
#include "ui/core/PaintManagerUI.h"

namespace KvUI {

namespace {
// A child's WM_COMMAND as the paint manager reflects it back to the child.
constexpr UINT kReflectedCommand = WM_COMMAND + 0x2000;
}  // namespace

bool HandleNativeEditorEvent(CControlUI& control, bool editorOpen, TUIEvent& event) {
    switch (event.type) {
    case EventSetCursor:
        if (!control.IsEnabled()) return false;
        ::SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
        return true;
    case EventWindowSize:
        if (editorOpen && control.GetManager()) control.GetManager()->SetFocusNeeded(&control);
        return false;
    case EventScrollWheel:
        return editorOpen;
    default:
        return false;
    }
}

void CNativeEditorWnd::Abandon() {
    ForgetOwner();
    // Hiding or destroying it now would move the focus and so call into the
    // control's window while the control is half gone.
    if (IsWindow(m_hWnd)) PostMessage(WM_CLOSE);
}

bool CNativeEditorWnd::CreateOwned(HWND parent, DWORD style, const RECT& rc) {
    if (!Create(parent, nullptr, style, 0, rc)) return false;
    m_ownedByWindow = true;
    return true;
}

bool CNativeEditorWnd::HandleEditMessage(CControlUI* owner, UINT msg, WPARAM wParam, LPARAM lParam,
                                         LRESULT& result) {
    switch (msg) {
    case WM_KILLFOCUS:
        result = DefWindowProcW(m_hWnd, msg, wParam, lParam);
        // Posted: closing now would free this object inside its own handler.
        PostMessage(WM_CLOSE);
        return true;
    case kReflectedCommand:
        if (HIWORD(wParam) == EN_CHANGE) {
            OnTextChanged();
        } else if (HIWORD(wParam) == EN_UPDATE) {
            InvalidateRect(m_hWnd, nullptr, FALSE);
        }
        result = 0;
        return true;
    case WM_KEYDOWN:
        if (wParam != VK_RETURN) return false;
        if (owner && owner->GetManager()) owner->GetManager()->SendNotify(owner, L"return");
        result = 0;
        return true;
    default:
        return false;
    }
}

void CNativeEditorWnd::OnFinalMessage(HWND hWnd) {
    (void)hWnd;
    OnClosed();
    // A window that never came to be leaves the object to whoever made it.
    if (m_ownedByWindow) delete this;
}

RECT CNativeEditorWnd::TextArea(const CLabelUI& owner) {
    const RECT padding = owner.GetTextPadding();
    const RECT& pos = owner.GetPos();
    RECT rc = {pos.left + padding.left, pos.top + padding.top, pos.right - padding.right,
               pos.bottom - padding.bottom};
    CPaintManagerUI* manager = owner.GetManager();
    if (!manager) return rc;
    const LONG lineHeight = manager->GetFontInfo(owner.GetFont())->metrics.tmHeight;
    if (lineHeight < rc.bottom - rc.top) {
        rc.top += (rc.bottom - rc.top - lineHeight) / 2;
        rc.bottom = rc.top + lineHeight;
    }
    return rc;
}

RECT CNativeEditorWnd::ClipToAncestors(const CControlUI& owner, RECT rc) {
    for (const CControlUI* parent = owner.GetParent(); parent; parent = parent->GetParent()) {
        const RECT client = parent->GetClientPos();
        if (!parent->IsVisible() || !IntersectRect(&rc, &rc, &client)) return RECT{};
    }
    return rc;
}

HFONT CNativeEditorWnd::FontOf(const CLabelUI& owner) {
    CPaintManagerUI* manager = owner.GetManager();
    if (!manager) return nullptr;
    const HFONT font = owner.GetFont() != -1 ? manager->GetFont(owner.GetFont()) : nullptr;
    return font ? font : manager->GetDefaultFontInfo()->font.get();
}

}  // namespace KvUI
