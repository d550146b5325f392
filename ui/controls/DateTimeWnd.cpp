#include "ui/controls/DateTimeWnd.h"

#include <commctrl.h>

#include <memory>

#include "ui/controls/DateTimeUI.h"
#include "ui/core/PaintManagerUI.h"

namespace KvUI {
namespace {

constexpr UINT kReflectedNotify = WM_NOTIFY + 0x2000;

}  // namespace

CDateTimeWnd* CDateTimeWnd::Create(CDateTimeUI* owner) {
    CPaintManagerUI* manager = owner->GetManager();
    if (!manager) return nullptr;
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_DATE_CLASSES};
    InitCommonControlsEx(&classes);
    auto wnd = std::make_unique<CDateTimeWnd>(owner);
    if (!wnd->CreateOwned(manager->GetPaintWindow(), WS_CHILD, wnd->CalPos())) return nullptr;
    CDateTimeWnd* created = wnd.release();  // from here on the window frees it
    created->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(*owner)), TRUE);
    return created;
}

void CDateTimeWnd::Init() {
    if (!m_owner) return;
    m_owner->m_updateMode = CDateTimeUI::UpdateNone;
    if (m_owner->GetText().IsEmpty()) GetLocalTime(&m_owner->m_date);
    m_saved = m_owner->m_date;
    SendMessage(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&m_owner->m_date));
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::SetFocus(m_hWnd);
    m_initialised = true;
}

RECT CDateTimeWnd::CalPos() const { return m_owner ? ClipToAncestors(*m_owner, m_owner->GetPos()) : RECT{}; }

LPCTSTR CDateTimeWnd::GetWindowClassName() const { return L"DateTimeWnd"; }
LPCTSTR CDateTimeWnd::GetSuperClassName() const { return DATETIMEPICK_CLASSW; }

LRESULT CDateTimeWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_KEYDOWN:
        if (wParam != VK_ESCAPE) break;
        if (m_owner) {
            m_owner->m_date = m_saved;
            m_owner->m_updateMode = CDateTimeUI::UpdateShow;
            m_owner->UpdateText();
        }
        PostMessage(WM_CLOSE);
        return 0;
    case kReflectedNotify: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->hwndFrom == m_hWnd) OnNotify(*header);
        break;
    }
    case WM_KILLFOCUS:
        if (!m_droppedDown) PostMessage(WM_CLOSE);
        break;
    default:
        break;
    }
    return CNativeEditorWnd::HandleMessage(msg, wParam, lParam);
}

void CDateTimeWnd::OnClosed() {
    if (m_owner) m_owner->m_window = nullptr;
}

void CDateTimeWnd::OnNotify(const NMHDR& header) {
    switch (header.code) {
    case DTN_DATETIMECHANGE:
        TakeDate();
        break;
    case DTN_DROPDOWN:
        m_droppedDown = true;
        break;
    case DTN_CLOSEUP:
        TakeDate();
        PostMessage(WM_CLOSE);
        m_droppedDown = false;
        break;
    default:
        break;
    }
}

void CDateTimeWnd::TakeDate() {
    if (!m_owner) return;
    SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&m_owner->m_date));
    m_owner->m_updateMode = CDateTimeUI::UpdateShow;
    m_owner->UpdateText();
}

}  // namespace KvUI
