#include "client/DownloadUpdateFrame.h"

#include <shellapi.h>

#include <cwchar>
#include <iterator>
#include <utility>

#include "client/AppGlobals.h"
#include "client/AppMessages.h"
#include "client/LineZoomTables.h"
#include "client/Log.h"
#include "client/MessageBoxFrame.h"
#include "ui/controls/ProgressUI.h"
#include "ui/core/ContainerUI.h"
#include "ui/core/ControlUI.h"

namespace kvclient {

namespace {

constexpr char kLogSource[] = "DownloadUpdateFrame";
// From the download thread to its window: wParam is the percentage received,
// or the outcome.
constexpr UINT WM_DOWNLOAD_PROGRESS = WM_USER + 0x101;
constexpr UINT WM_DOWNLOAD_OUTCOME = WM_USER + 0x102;

// An option's index is its place among its container's children; -1 outside one.
int IndexInParent(KvUI::CControlUI* control) {
    KvUI::CControlUI* parent = control->GetParent();
    auto* container = parent ? static_cast<KvUI::IContainerUI*>(parent->GetInterface(L"IContainer")) : nullptr;
    return container ? container->GetItemIndex(control) : -1;
}

std::string UpdateFolder() { return g_appDataDir + "update\\"; }
std::string InstallerPath() { return UpdateFolder() + "update" + ".exe"; }

// The installer gets the client's folder as its parameters. A folder with
// blanks is quoted so that it stays one argument, and its trailing
// backslashes are doubled so that the closing quote is not read as escaped.
std::string InstallerParameters(const std::string& folder) {
    if (folder.find_first_of(" \t") == std::string::npos) return folder;
    std::string quoted = "\"" + folder;
    for (auto it = folder.rbegin(); it != folder.rend() && *it == '\\'; ++it) quoted += '\\';
    return quoted + "\"";
}

}  // namespace

DownloadUpdateFrame::DownloadUpdateFrame(std::string version, std::string link)
    : m_version(std::move(version)), m_link(std::move(link)) {}

DownloadUpdateFrame::~DownloadUpdateFrame() { StopDownload(); }

LPCTSTR DownloadUpdateFrame::GetWindowClassName() const { return L"DownloadUpdateFrame"; }

void DownloadUpdateFrame::InitWindow() {
    SetProgramIcon();
    m_progressText = m_pm.FindControl(L"download_progress_text");
    if (KvUI::CControlUI* progress = m_pm.FindControl(L"download_progress")) {
        m_progress = static_cast<KvUI::CProgressUI*>(progress->GetInterface(L"Progress"));
    }
    if (m_progress) m_progress->SetValue(0);
    if (m_progressText) m_progressText->SetText(L"开始下载……");
    SetForegroundWindow(m_hWnd);

    m_window = m_hWnd;
    m_thread.reset(CreateThread(nullptr, 0, DownloadFun, this, CREATE_SUSPENDED, nullptr));
    if (m_thread) {
        ResumeThread(m_thread.get());
    } else {
        WriteLog(LOG_ERROR, kLogSource, __LINE__, "DownloadUpdateFrame::DownloadFun HttpDownloadPogress 下载更新包失败！");
        Report(Outcome::DownloadFailed);
    }
    BringToTop();
}

void DownloadUpdateFrame::Notify(KvUI::TUINotify& msg) {
    if (msg.type == L"selectchanged" && msg.sender) {
        const KvUI::CUIString& name = msg.sender->GetName();
        if (name == L"line_item") {
            SetSelectedLine(IndexInParent(msg.sender));
            ::PostMessageW(g_mainWnd, WM_APP_CHANGE_LINE, 0, 0);
        } else if (name == L"line_itemZoom") {
            SetSelectedZoom(IndexInParent(msg.sender));
            ::PostMessageW(g_mainWnd, WM_APP_CHANGE_ZOOM, 0, 0);
        }
    }
    DialogFrame::Notify(msg);
}

KvUI::CUIString DownloadUpdateFrame::GetSkinFile() { return L"download_update.xml"; }

LRESULT DownloadUpdateFrame::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
    StopDownload();
    if (m_launched) PostQuitMessage(1);  // the installer replaces the running client
    handled = false;
    return 0;
}

LRESULT DownloadUpdateFrame::HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
    if (msg == WM_DOWNLOAD_PROGRESS) {
        ShowProgress(static_cast<int>(wParam));
    } else if (msg == WM_DOWNLOAD_OUTCOME) {
        ShowOutcome(static_cast<Outcome>(wParam));
    } else {
        handled = false;
    }
    return 0;
}

DWORD WINAPI DownloadUpdateFrame::DownloadFun(LPVOID dialog) {
    auto* self = static_cast<DownloadUpdateFrame*>(dialog);
    const Outcome outcome = self->Download();
    self->m_launched = outcome == Outcome::Launched;
    self->Report(outcome);
    return 0;
}

DownloadUpdateFrame::Outcome DownloadUpdateFrame::Download() {
    CreateDirectoryA(UpdateFolder().c_str(), nullptr);
    const std::string installer = InstallerPath();
    DeleteFileA(installer.c_str());
    const bool downloaded =
        HttpDownloadWithProgress(m_link, installer, [this](int percent) { OnProgress(percent); }, m_transfer);
    // A close that came after the last byte still means the user wants no update now.
    if (m_transfer.IsCancelled()) {
        WriteLog(LOG_ERROR, kLogSource, __LINE__, "DownloadUpdateFrame::DownloadFun [用户取消] 下载更新包失败！");
        return Outcome::Cancelled;
    }
    if (!downloaded) {
        WriteLog(LOG_ERROR, kLogSource, __LINE__, "DownloadUpdateFrame::DownloadFun HttpDownloadPogress 下载更新包失败！");
        return Outcome::DownloadFailed;
    }
    const auto started = reinterpret_cast<INT_PTR>(ShellExecuteA(
        nullptr, nullptr, installer.c_str(), InstallerParameters(g_exeDir).c_str(), nullptr, SW_SHOWNORMAL));
    if (started > 32) return Outcome::Launched;
    WriteLog(LOG_ERROR, kLogSource, __LINE__, "DownloadUpdateFrame::DownloadFun ShellExecuteA 启动更新包失败！");
    return Outcome::LaunchFailed;
}

void DownloadUpdateFrame::Report(Outcome outcome) {
    if (outcome != Outcome::Launched) ::PostMessageW(g_mainWnd, WM_APP_SHOW_MAIN, 0, 0);
    ::PostMessageW(m_window, WM_DOWNLOAD_OUTCOME, static_cast<WPARAM>(outcome), 0);
}

void DownloadUpdateFrame::OnProgress(int percent) {
    // libcurl reports many times per percent: only changes travel.
    if (percent == m_postedPercent) return;
    m_postedPercent = percent;
    ::PostMessageW(m_window, WM_DOWNLOAD_PROGRESS, static_cast<WPARAM>(percent), 0);
}

void DownloadUpdateFrame::ShowProgress(int percent) {
    if (percent < 0 || percent > 100) return;
    if (m_progress) m_progress->SetValue(percent);
    wchar_t text[64] = {};
    swprintf(text, std::size(text), L"正在下载新程序(%d%%)……", percent);
    if (m_progressText) m_progressText->SetText(text);
}

void DownloadUpdateFrame::ShowOutcome(Outcome outcome) {
    // Owned by this window, so that this window's own activation, which may
    // come after a failure at once, cannot cover the box.
    if (outcome == Outcome::DownloadFailed) ShowMessageBox(L"下载更新包失败！", 0, false, m_hWnd);
    if (outcome == Outcome::LaunchFailed) ShowMessageBox(L"启动更新包失败！", 0, false, m_hWnd);
    Close(1);
}

void DownloadUpdateFrame::StopDownload() {
    if (!m_thread) return;
    // The transfer notices at its next progress tick, at most about a second away.
    m_transfer.Cancel();
    WaitForSingleObject(m_thread.get(), INFINITE);
    m_thread.reset();
}

}  // namespace kvclient
