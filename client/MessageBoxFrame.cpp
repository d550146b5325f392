#include "client/MessageBoxFrame.h"

#include <iterator>
#include <utility>

#include "ui/core/ControlUI.h"

namespace kvclient {

namespace {

constexpr wchar_t kDialogTitle[] = L"消息";

// The scheme of each kind: the frame of "root_hlayout" and the strip "left_vlayout".
constexpr DWORD kKindColours[] = {0xFFC74417, 0xFFA9AA13, 0xFF2686C6};

}  // namespace

void ShowMessageBox(const std::wstring& text, int kind, bool okVisible, HWND parent) {
    MessageBoxFrame frame(text, kind, okVisible);
    RunDialog(frame, parent, kDialogTitle);
}

bool ShowClosePanel(const std::wstring& text, HWND parent) {
    MessagePanleFrame frame(text);
    RunDialog(frame, parent, kDialogTitle);
    return frame.GetResult() == 1;
}

void MessageFrameBase::InitWindow() {
    SetProgramIcon();
    m_labText = m_pm.FindControl(L"lab_text");
    m_btnOk = m_pm.FindControl(L"btn_ok");
    m_rootLayout = m_pm.FindControl(L"root_hlayout");
    m_leftLayout = m_pm.FindControl(L"left_vlayout");
    if (m_labText) m_labText->SetText(m_text.c_str());
    BringToTop();
}

void MessageFrameBase::OnClick(KvUI::TUINotify& msg) {
    if (!msg.sender) return;
    KvUI::CUIString name = msg.sender->GetName();
    name.MakeLower();
    if (name == L"btn_ok") {
        m_result = 1;
        Close(1);
    } else if (name == L"btn_close") {
        m_result = 0;
        Close(1);
    }
    WindowImplBase::OnClick(msg);
}

MessageBoxFrame::MessageBoxFrame(std::wstring text, int kind, bool okVisible)
    : MessageFrameBase(std::move(text)), m_kind(kind), m_okVisible(okVisible) {}

LPCTSTR MessageBoxFrame::GetWindowClassName() const { return L"MessageBoxFrame"; }

void MessageBoxFrame::InitWindow() {
    MessageFrameBase::InitWindow();
    if (m_btnOk) m_btnOk->SetVisible(m_okVisible);
    ApplyColourScheme();
}

KvUI::CUIString MessageBoxFrame::GetSkinFile() { return L"messagebox.xml"; }

void MessageBoxFrame::ApplyColourScheme() {
    if (m_kind < 0 || m_kind >= static_cast<int>(std::size(kKindColours))) return;
    const DWORD colour = kKindColours[m_kind];
    if (m_rootLayout) m_rootLayout->SetBorderColor(colour);
    if (m_leftLayout) m_leftLayout->SetBkColor(colour);
}

LPCTSTR MessagePanleFrame::GetWindowClassName() const { return L"MessagePanleFrame"; }

KvUI::CUIString MessagePanleFrame::GetSkinFile() { return L"CloseConfirmation.xml"; }

}  // namespace kvclient
