#pragma once
// The update download window: downloads the offered installer with a
// progress bar, starts it and ends the client; after a failure or a cancel
// the main window comes back. The download runs on a thread of its own that
// never touches a window: it posts its progress and its outcome to this
// window, whose own thread updates the controls and shows any message box,
// and it posts WM_APP_SHOW_MAIN to the main window itself. A skin that offers
// choices of line or zoom ("line_item", "line_itemZoom" options) has them
// passed on to the main window.
#include <windows.h>

#include <string>

#include "client/DialogFrame.h"
#include "client/HttpFunction.h"
#include "win/UniqueHandle.h"

namespace KvUI {
class CControlUI;
class CProgressUI;
}  // namespace KvUI

namespace kvclient {

class DownloadUpdateFrame : public DialogFrame {
public:
    // `version` and `link` as the update service offered them.
    DownloadUpdateFrame(std::string version, std::string link);
    // Cancels a download still running and waits for its thread.
    ~DownloadUpdateFrame() override;

    LPCTSTR GetWindowClassName() const override;
    void InitWindow() override;
    void Notify(KvUI::TUINotify& msg) override;

protected:
    KvUI::CUIString GetSkinFile() override;
    LRESULT OnClose(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    enum class Outcome : WPARAM { Launched, LaunchFailed, DownloadFailed, Cancelled };

    static DWORD WINAPI DownloadFun(LPVOID dialog);
    Outcome Download();
    // Tells the main window when the update was not started, and this window the outcome.
    void Report(Outcome outcome);
    // Download thread: hands a new percentage to the window.
    void OnProgress(int percent);
    // Window thread.
    void ShowProgress(int percent);
    void ShowOutcome(Outcome outcome);
    void StopDownload();

    std::string m_version;
    std::string m_link;
    KvUI::CControlUI* m_progressText = nullptr;
    KvUI::CProgressUI* m_progress = nullptr;
    kvwin::UniqueKernelHandle m_thread;
    // Set before the thread starts; the thread posts here.
    HWND m_window = nullptr;
    // Written by the thread, read once it has ended.
    bool m_launched = false;
    // The thread's own: the last percentage it posted.
    int m_postedPercent = -1;
    HttpTransferSlot m_transfer;
};

}  // namespace kvclient
