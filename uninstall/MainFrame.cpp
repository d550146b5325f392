#include "uninstall/MainFrame.h"

#include <shlobj.h>

#include <stdexcept>

#include "ui/core/ControlUI.h"
#include "ui/lists/TabLayoutUI.h"
#include "uninstall/UninstallRoutine.h"
#include "uninstall/UninstallTexts.h"

namespace kvuninstall {

std::wstring g_quotedInstallPath;

namespace {

constexpr int kIconId = 108;

// The shell must not stand in the folder it removes: it starts in the system folder.
std::wstring ShellWorkingFolder() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(folder, length) : std::wstring(L"C:\\");
}

std::wstring ResultText(UninstallResult result) {
    switch (result) {
        case UninstallResult::Done:
            return {};
        case UninstallResult::DataMissing:
            return FromGbk(kDataErrorText1);
        case UninstallResult::DataIncomplete:
            return FromGbk(kDataErrorText2);
        case UninstallResult::LeftOver:
            return FromGbk(kLeftOverText);
    }
    return {};
}

}  // namespace

MainFrame::MainFrame(std::wstring removerFolder, ProcessActions& actions)
    : m_removerFolder(std::move(removerFolder)), m_actions(actions) {}

LPCTSTR MainFrame::GetWindowClassName() const { return L"UnInstall"; }

LRESULT MainFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The window has one size: a caption double-click must not maximise it.
    if (msg == WM_NCLBUTTONDBLCLK) return 0;
    return WindowImplBase::HandleMessage(msg, wParam, lParam);
}

void MainFrame::OnFinalMessage(HWND hWnd) {
    try {
        WindowImplBase::OnFinalMessage(hWnd);
    } catch (...) {
        // The message loop must still end, or the process stays without a window.
        PostQuitMessage(0);
        throw std::runtime_error("CMainWnd::OnFinalMessage");
    }
    PostQuitMessage(0);
}

void MainFrame::InitWindow() {
    const LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
    SetWindowLongW(m_hWnd, GWL_STYLE, style & ~(WS_THICKFRAME | WS_MAXIMIZEBOX));
    // A shared icon of the module: the system frees it.
    const HICON icon = LoadIconW(KvUI::CPaintManagerUI::GetInstance(), MAKEINTRESOURCEW(kIconId));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

    m_stepTabLayout = static_cast<KvUI::CTabLayoutUI*>(m_pm.FindControl(L"stepTabLayout"));
    m_btnOk = m_pm.FindControl(L"btn_ok");
    m_sucTip = m_pm.FindControl(L"suc_tip");
    m_untip = m_pm.FindControl(L"untip");
    if (m_untip) m_untip->SetText(FromGbk(kQuestionText).c_str());
    if (m_stepTabLayout) m_stepTabLayout->SelectItem(0);
}

void MainFrame::Notify(KvUI::TUINotify& msg) {
    if (msg.type == L"click" && msg.sender && msg.sender == m_btnOk) {
        RunUninstall();
        return;
    }
    WindowImplBase::Notify(msg);
}

void MainFrame::OnClick(KvUI::TUINotify& msg) {
    if (!msg.sender) return;
    const KvUI::CUIString& name = msg.sender->GetName();
    if (name.CompareNoCase(L"btn_close") == 0) {
        Close(1);
    } else if (name.CompareNoCase(L"closeapp") == 0) {
        RemoveSelf();
    } else {
        WindowImplBase::OnClick(msg);
    }
}

void MainFrame::RunUninstall() {
    const UninstallOutcome outcome = UninstallInstallation(m_removerFolder, FindShellFolders());
    g_quotedInstallPath = outcome.quotedInstallPath;
    const std::wstring text = ResultText(outcome.result);
    if (m_sucTip && !text.empty()) m_sucTip->SetText(text.c_str());
    if (m_stepTabLayout) m_stepTabLayout->SelectItem(1);
}

KvUI::CUIString MainFrame::GetSkinFile() { return L"Main.xml"; }

void MainFrame::RemoveSelf() {
    m_actions.RaisePriority();
    wchar_t self[MAX_PATH] = {};
    if (GetModuleFileNameW(nullptr, self, MAX_PATH) > 0) SHChangeNotify(SHCNE_DELETE, SHCNF_PATHW, self, nullptr);
    const std::wstring arguments = L"/c rmdir /s /q  " + g_quotedInstallPath + L" ";
    if (!g_quotedInstallPath.empty()) m_actions.OpenShell(L"cmd.exe", arguments, ShellWorkingFolder(), SW_HIDE);
    m_actions.EndProcess(0);
}

}  // namespace kvuninstall
