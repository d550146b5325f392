#pragma once
// The browser process's side of the embedded browsers: keeps the list of
// live browsers and the main one, refuses pop-ups, reloads the selected line
// on F5, sets the context menu, lets the user save downloads, keeps the
// cookie store on disk, shows the error page, and carries the page's
// "AppExtension" calls out on the main window. Every engine callback comes
// on the engine's UI thread.
#include <windows.h>

#include <string>
#include <vector>

#include "client/EngineNames.h"
#include "client/WindowConformity.h"
#include "win/RefCounted.h"

namespace kvclient {

class CBrowserClient : public kvwin::RefCounted<CefClient, CefLifeSpanHandler, CefLoadHandler, CefRequestHandler,
                                            CefDownloadHandler, CefContextMenuHandler, CefKeyboardHandler> {
public:
    // `windowOps` (the main window; not null) must outlive the client's browsers.
    explicit CBrowserClient(IWindowConformityl* windowOps);
    CBrowserClient(const CBrowserClient&) = delete;
    CBrowserClient& operator=(const CBrowserClient&) = delete;

    // CefClient
    CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() override { return this; }
    CefRefPtr<CefDownloadHandler> GetDownloadHandler() override { return this; }
    CefRefPtr<CefKeyboardHandler> GetKeyboardHandler() override { return this; }
    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
    CefRefPtr<CefRequestHandler> GetRequestHandler() override { return this; }
    // The page's bridge calls; false for an unknown call or arguments that do not fit it.
    bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess,
                                  CefRefPtr<CefProcessMessage> message) override;

    // CefLifeSpanHandler
    bool OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const CefString& targetUrl,
                       const CefString& targetFrameName, CefWindowInfo& windowInfo, CefRefPtr<CefClient>& client,
                       CefBrowserSettings& settings) override;
    void OnAfterCreated(CefRefPtr<CefBrowser> browser) override;
    bool DoClose(CefRefPtr<CefBrowser> browser) override;
    void OnBeforeClose(CefRefPtr<CefBrowser> browser) override;

    // CefLoadHandler
    void OnLoadStart(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) override;
    void OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int httpStatusCode) override;
    void OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, ErrorCode errorCode,
                     const CefString& errorText, const CefString& failedUrl) override;

    // CefRequestHandler
    bool OnResourceResponse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefRequest> request,
                            CefRefPtr<CefResponse> response) override;

    // CefDownloadHandler
    void OnBeforeDownload(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> item,
                          const CefString& suggestedName, CefRefPtr<CefBeforeDownloadCallback> callback) override;
    void OnDownloadUpdated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> item,
                           CefRefPtr<CefDownloadItemCallback> callback) override;

    // CefContextMenuHandler
    void OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                             CefRefPtr<CefContextMenuParams> params, CefRefPtr<CefMenuModel> model) override;
    bool OnContextMenuCommand(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                              CefRefPtr<CefContextMenuParams> params, int commandId, int eventFlags) override;

    // CefKeyboardHandler
    bool OnPreKeyEvent(CefRefPtr<CefBrowser> browser, const CefKeyEvent& event, CefEventHandle osEvent,
                       bool* isKeyboardShortcut) override;
    bool OnKeyEvent(CefRefPtr<CefBrowser> browser, const CefKeyEvent& event, CefEventHandle osEvent) override;

    // Closes every listed browser; from any thread (the work moves to the engine's UI thread).
    void CloseAllBrowsers(bool force);
    // Opens the engine's developer tools for `browser` in a window of their own.
    void ShowDevTools(CefRefPtr<CefBrowser> browser);

    // The window that receives the private messages; set by the main window right after construction.
    void SetMainWindow(HWND window);
    // The first browser made through this client, until it closes.
    CefRefPtr<CefBrowser> GetMainBrowser();
    // The main browser's identifier; kept after it has closed (0 before it exists).
    int GetMainBrowserId();

private:
    bool DispatchBridgeCall(CefRefPtr<CefBrowser> browser, const std::string& name, CefListValue& arguments);
    void PostToMainWindow(UINT message);

    CefRefPtr<CefBrowser> m_mainBrowser;
    int m_mainBrowserId = 0;
    HWND m_mainWnd = nullptr;
    std::vector<CefRefPtr<CefBrowser>> m_browsers;
    IWindowConformityl* const m_windowOps;
    CefCriticalSection m_lock{2000};
};

// The browser process's client, made by the main window when it creates its browser.
extern CefRefPtr<CBrowserClient> g_browserClient;

}  // namespace kvclient
