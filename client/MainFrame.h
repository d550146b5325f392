#pragma once
// The client's main window: a skinned frame around the browser's child
// window. It keeps the browser fitted to its layout, carries the tray icon
// and its menu, asks before quitting, starts the update check and carries
// out the page's window operations. Other threads reach it only through
// messages posted to it.
#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "client/UpdateCheckRunner.h"
#include "client/WindowConformity.h"
#include "ui/controls/TrayIcon.h"
#include "ui/core/WindowImplBase.h"

namespace KvUI {
class CContainerUI;
class CControlUI;
class CGifAnimUI;
class CLabelUI;
class CMenuWnd;
}  // namespace KvUI

namespace kvclient {

class CMainFrame : public KvUI::WindowImplBase, public IWindowConformityl {
public:
    CMainFrame();
    ~CMainFrame() override;

    LPCTSTR GetWindowClassName() const override;
    void InitWindow() override;
    void OnClick(KvUI::TUINotify& msg) override;

    // The page's window operations. Called from any thread (the browser
    // client calls them on the engine's UI thread); the work runs on the
    // window's own thread.
    void ResizeWindow(int width, int height) override;
    void WindowCenter() override;
    void SetThemeColor(DWORD argb) override;
    void SetBorder(int width) override;
    void WindowFlash() override;
    void WindowVisible(int flag) override;
    void SendMenuMessage(int type) override;
    void SetWinTitle(const std::wstring& title) override;
    void SetTitleColor(DWORD argb) override;

    // Asks the engine for the browser over the browser layout, with a new browser client.
    void CreateBrowser();
    // Fits the browser's window to its layout; true when nothing more is to be done.
    bool ResizeBrowser();
    // Shows or hides the page's dark layer under the client's modal dialogs.
    void ShowMask(bool show);

    const KvUI::CTrayIcon& GetTrayIcon() const { return m_trayIcon; }
    bool IsFlashing() const { return m_flashing != 0; }
    int GetBorder() const { return m_border; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;
    KvUI::CUIString GetSkinFile() override;
    LRESULT OnClose(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT OnCreate(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // The user's answer to "quit?"; the close panel over this window.
    virtual bool AskToQuit();

private:
    // Runs `operation` on the window's thread: at once when called there,
    // otherwise through a posted message. Dropped once the window is gone.
    void RunOnWindowThread(std::function<void()> operation);
    void RunQueuedOperation();
    void DropQueuedOperations();

    bool HandleTimer(UINT_PTR id);
    void FlashStep();
    void OnTrayIcon(LPARAM mouseMessage);
    void OnMenuCommand(WPARAM record);
    void ShowTrayMenu();
    void ToggleVisibility();
    void StopLoadingAnimation();
    void ApplyZoom();
    void LoadSelectedLine();
    void RunUpdateDialog();
    void RunSettingDialog();

    KvUI::CControlUI* m_browserLayout = nullptr;
    KvUI::CContainerUI* m_browserInsetLayout = nullptr;
    KvUI::CControlUI* m_titleLayout = nullptr;
    KvUI::CControlUI* m_mainLayout = nullptr;
    KvUI::CLabelUI* m_titleLabel = nullptr;
    KvUI::CGifAnimUI* m_loadingGif = nullptr;
    KvUI::CTrayIcon m_trayIcon;
    std::unique_ptr<KvUI::CMenuWnd> m_trayMenu;
    bool m_resizePending = false;
    bool m_browserReady = false;
    bool m_askingToQuit = false;
    volatile LONG m_flashing = 0;
    int m_border = 0;
    UpdateCheckRunner m_updateCheck;

    std::mutex m_operationsLock;
    std::deque<std::function<void()>> m_operations;
    HWND m_operationWindow = nullptr;
    DWORD m_windowThread = 0;
};

}  // namespace kvclient
