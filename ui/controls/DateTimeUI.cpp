#include "ui/controls/DateTimeUI.h"

#include <cwchar>

#include "ui/controls/DateTimeWnd.h"
#include "ui/core/PaintManagerUI.h"

namespace KvUI {

CDateTimeUI::CDateTimeUI() {
    GetLocalTime(&m_date);
    m_updateMode = UpdateShow;
    UpdateText();
    m_updateMode = UpdateNone;
}

CDateTimeUI::~CDateTimeUI() {
    if (m_window) m_window->Abandon();
}

LPCTSTR CDateTimeUI::GetClass() const { return L"DateTimeUI"; }

LPVOID CDateTimeUI::GetInterface(LPCTSTR name) {
    if (name && wcscmp(name, L"DateTime") == 0) return static_cast<CDateTimeUI*>(this);
    return CLabelUI::GetInterface(name);
}

void CDateTimeUI::DoEvent(TUIEvent& event) {
    if (ForwardMouseWhileDisabled(event)) return;
    if (HandleNativeEditorEvent(*this, m_window != nullptr, event)) return;
    switch (event.type) {
    case EventSetFocus:
        if (!IsEnabled()) break;
        if (!m_window) OpenPicker();
        return;
    case EventKillFocus:
        if (!IsEnabled()) break;
        Invalidate();
        return;
    case EventButtonDown:
    case EventDblClick:
    case EventRButtonDown:
        if (!IsEnabled()) return;
        if (m_manager) m_manager->ReleaseCapture();
        if (IsFocused() && !m_window) {
            OpenPicker();
        } else if (m_window) {
            m_window->Init();
        }
        return;
    case EventMouseMove:
    case EventButtonUp:
    case EventContextMenu:
    case EventMouseEnter:
    case EventMouseLeave:
        return;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CDateTimeUI::UpdateText() {
    if (m_updateMode == UpdateEmpty) {
        SetText(L"");
    } else if (m_updateMode == UpdateShow) {
        wchar_t text[32];
        swprintf(text, 32, L"%4d-%02d-%02d", m_date.wYear, m_date.wMonth, m_date.wDay);
        SetText(text);
    }
}

void CDateTimeUI::SetTime(const SYSTEMTIME& date) {
    m_date = date;
    m_updateMode = UpdateShow;
    UpdateText();
}

void CDateTimeUI::OpenPicker() {
    m_window = CDateTimeWnd::Create(this);
    if (m_window) m_window->Init();
}

}  // namespace KvUI
