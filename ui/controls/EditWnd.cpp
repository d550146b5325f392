#include "ui/controls/EditWnd.h"

#include <memory>

#include "ui/controls/EditUI.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"

namespace KvUI {
namespace {

constexpr UINT kReflectedColorEdit = WM_CTLCOLOREDIT + 0x2000;
constexpr UINT kReflectedColorStatic = WM_CTLCOLORSTATIC + 0x2000;

}  // namespace

CEditWnd* CEditWnd::Open(CEditUI* owner) {
    CPaintManagerUI* manager = owner->GetManager();
    if (!manager) return nullptr;
    auto wnd = std::make_unique<CEditWnd>(owner);
    DWORD style = manager->IsLayered() ? (WS_POPUP | WS_VISIBLE | ES_AUTOHSCROLL) : (WS_CHILD | ES_AUTOHSCROLL);
    const UINT textStyle = owner->GetTextStyle();
    if (textStyle & DT_CENTER) {
        style |= ES_CENTER;
    } else if (textStyle & DT_RIGHT) {
        style |= ES_RIGHT;
    }
    if (owner->IsPasswordMode()) style |= ES_PASSWORD;
    style |= owner->m_windowStyles;
    if (!wnd->CreateOwned(manager->GetPaintWindow(), style, wnd->Placement())) return nullptr;
    CEditWnd* opened = wnd.release();  // from here on the window frees it
    opened->Init();
    return opened;
}

RECT CEditWnd::CalcPos() const { return m_owner ? ClipToAncestors(*m_owner, TextArea(*m_owner)) : RECT{}; }

RECT CEditWnd::Placement() const {
    RECT rc = CalcPos();
    if (!IsLayered()) return rc;
    RECT window = {};
    GetWindowRect(m_owner->GetManager()->GetPaintWindow(), &window);
    OffsetRect(&rc, window.left, window.top - 1);
    return rc;
}

void CEditWnd::Init() {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(*m_owner)), TRUE);
    SendMessage(EM_LIMITTEXT, m_owner->GetMaxChar());
    if (m_owner->IsPasswordMode()) SendMessage(EM_SETPASSWORDCHAR, m_owner->GetPasswordChar());
    SetWindowTextW(m_hWnd, m_owner->GetText());
    SendMessage(EM_SETMODIFY, FALSE);
    SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    EnableWindow(m_hWnd, m_owner->IsEnabled());
    SendMessage(EM_SETREADONLY, m_owner->IsReadOnly());
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::SetFocus(m_hWnd);
    const int length = GetWindowTextLengthW(m_hWnd);
    if (m_owner->IsAutoSelAll()) {
        SendMessage(EM_SETSEL, 0, length > 0 ? length : 1);
    } else {
        SendMessage(EM_SETSEL, length, length);
    }
    m_initialised = true;
}

LPCTSTR CEditWnd::GetWindowClassName() const { return L"EditWnd"; }
LPCTSTR CEditWnd::GetSuperClassName() const { return WC_EDITW; }
UINT CEditWnd::GetClassStyle() const { return 0; }

LRESULT CEditWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandleEditMessage(m_owner, msg, wParam, lParam, result)) return result;
    switch (msg) {
    case WM_KEYDOWN:
        if (wParam == VK_TAB) {
            if (m_owner && IsLayered()) m_owner->GetManager()->SetNextTabControl(true);
            return 0;
        }
        break;
    case kReflectedColorEdit:
    case kReflectedColorStatic:
        return reinterpret_cast<LRESULT>(Background(reinterpret_cast<HDC>(wParam)));
    default:
        break;
    }
    return CNativeEditorWnd::HandleMessage(msg, wParam, lParam);
}

void CEditWnd::OnClosed() {
    if (!m_owner) return;
    m_owner->Invalidate();
    m_owner->m_window = nullptr;
}

void CEditWnd::OnTextChanged() {
    if (!m_initialised || !m_owner) return;
    const int length = GetWindowTextLengthW(m_hWnd);
    std::unique_ptr<wchar_t[]> text(new wchar_t[length + 1]());
    GetWindowTextW(m_hWnd, text.get(), length + 1);
    m_owner->m_text = text.get();
    const HWND hwnd = m_hWnd;
    m_owner->GetManager()->SendNotify(m_owner, L"textchanged");
    // A listener may have closed the window (and so freed this object) or removed the control.
    if (!IsWindow(hwnd) || !m_owner) return;
    if (IsLayered()) m_owner->Invalidate();
}

HBRUSH CEditWnd::Background(HDC dc) {
    if (!m_owner) return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ArgbToColorRef(m_owner->GetTextColor()));
    const DWORD colour = m_owner->GetNativeEditBkColor();
    if (colour < 0xFF000000) {
        CPaintManagerUI* manager = m_owner->GetManager();
        const RECT rc = manager->GetChildWindowRect(m_hWnd);
        const kvwin::UniqueBitmap behind(CRenderEngine::GenerateBitmap(manager, rc, m_owner, colour));
        m_brush.reset(behind ? CreatePatternBrush(behind.get()) : nullptr);
    } else if (!m_brush) {
        m_brush.reset(CreateSolidBrush(ArgbToColorRef(colour)));
    }
    return m_brush.get();
}

bool CEditWnd::IsLayered() const { return m_owner && m_owner->GetManager() && m_owner->GetManager()->IsLayered(); }

}  // namespace KvUI
