#pragma once
// A browser in the browser process: its window, navigation and history, its
// renderer, what it shows, and the client's callbacks in their order. Public
// operations may come from any thread and run on the UI thread; the rest is
// UI-thread only.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/CefClient.h"
#include "engine/impl/DisplayList.h"
#include "engine/impl/Layout.h"
#include "engine/impl/PagePainter.h"
#include "engine/impl/ShownPage.h"
#include "win/GdiOwners.h"
#include "win/RefCounted.h"

namespace kvengine {

class Download;
class LoadJob;
struct JobRoute;
class RendererHost;
struct ResponseInfo;

class BrowserImpl : public kvwin::RefCounted<CefBrowser> {
public:
    enum class Kind { Normal, Popup, DevTools };

    static void RegisterWindowClass();
    static void UnregisterWindowClass();

    // UI thread: creates the window, the renderer, reports OnAfterCreated and starts loading `url`.
    static CefRefPtr<BrowserImpl> Create(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                                         const std::wstring& url, const CefBrowserSettings& settings, Kind kind);

    // CefBrowser
    CefRefPtr<CefBrowserHost> GetHost() override;
    int GetIdentifier() override { return m_id; }
    bool IsSame(CefRefPtr<CefBrowser> that) override { return that && that->GetIdentifier() == m_id; }
    bool IsPopup() override { return m_kind != Kind::Normal; }
    bool HasDocument() override { return m_hasDocument.load(); }
    CefRefPtr<CefFrame> GetMainFrame() override;
    bool CanGoBack() override { return m_canGoBack.load(); }
    bool CanGoForward() override { return m_canGoForward.load(); }
    void GoBack() override;
    void GoForward() override;
    void Reload() override;
    bool SendProcessMessage(CefProcessId target, CefRefPtr<CefProcessMessage> message) override;

    // For the host and frame objects (any thread).
    CefRefPtr<CefClient> Client();
    HWND Window() const { return m_window.load(); }
    std::wstring Url();
    double ZoomLevel() const { return m_zoomLevel.load(); }
    void SetZoomLevel(double level);
    void Focus(bool focus);
    void Close(bool force);
    void ShowDevTools(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client, const CefBrowserSettings& settings);
    void LoadUrl(const std::wstring& url);
    void LoadString(const std::wstring& html, const std::wstring& url);
    void ExecuteJavaScript(const std::wstring& code, const std::wstring& url, int line);

    // UI thread: from the window.
    void Paint(HDC dc, const RECT& client);
    void Scroll(int pixels);
    void OnMouseDown();
    void OnMouseUp(POINT clientPoint);
    // True when the point is over something clickable: the window shows a hand.
    bool IsHandAt(POINT clientPoint) const;
    bool OnKey(UINT message, WPARAM wParam, LPARAM lParam);
    void ShowContextMenu(POINT clientPoint);
    void OnWindowClose();
    void OnWindowDestroyed();

    // UI thread: from the renderer's channel.
    void OnRendererPacket(const std::string& packet);
    void OnDisplay(uint32_t id, std::shared_ptr<const DisplayList> display);
    void OnRendererGone();
    // From the window's timer: a renderer that did not move on to a newer
    // document is ended, and a new one shows that document.
    void CheckRenderer();
    static constexpr UINT_PTR kRendererCheckTimer = 1;
    void OnDownloadFinished(Download* download);
    // UI thread: shows a page's source (the developer tools' document).
    void LoadSource(const std::wstring& title, const std::string& source);
    void WithDownload(uint32_t id, const std::function<void(Download&)>& action);

    // What the browser shows (tests read it through the testing interface).
    ShownPage GetShown();
    DWORD RendererProcessId() const;
    bool Busy() const;
    // Sends a ping to the renderer; false when there is none. UI thread.
    bool Ping(uint32_t sequence);
    uint32_t LastPong() const { return m_lastPong; }

private:
    BrowserImpl(int id, CefRefPtr<CefClient> client, const CefBrowserSettings& settings, Kind kind);
    ~BrowserImpl() override;

    enum class Commit { New, History, Reload };
    struct Navigation {
        uint32_t id = 0;
        std::wstring url;
        Commit commit = Commit::New;
        int historyIndex = -1;
        int restarts = 0;
        int status = 0;
        std::string charset;
        std::shared_ptr<LoadJob> job;
        std::shared_ptr<JobRoute> route;
        bool committed = false;
    };

    bool CreateWindowFor(const CefWindowInfo& info);
    void StartRenderer();
    void Navigate(const std::wstring& url, Commit commit, int historyIndex, int restarts = 0);
    void CancelNavigation(bool report);
    void OnResponse(uint32_t id, const ResponseInfo& response);
    void OnLoadDone(uint32_t id, int error, std::string body);
    void CommitDocument(const std::string& utf8, int status);
    void OnDocumentReady(uint32_t id, const std::wstring& title, const std::wstring& text);
    // Shows m_source without a renderer, laid out off the UI thread; `ready` reports the load's end.
    void ShowStatic(uint32_t id, bool source, bool ready);
    void FinishNavigation();
    void LoadingState(bool loading);
    void OpenPopup(const std::wstring& url, const std::wstring& name);
    // Whether the page shown now may make the browser load `url`: a page
    // from anywhere but a local file may not reach local files.
    bool PageMayReach(const std::wstring& url);
    // Sends a document to the renderer; false when there is none to take it.
    bool SendCommit(uint32_t id, const std::wstring& url, const std::string& utf8);
    void NoteRendererAnswer(uint32_t navigation);
    void ReplaceRenderer();
    void RunBuiltInCommand(int command);
    void UpdateHistoryFlags();
    void Layout();
    void Invalidate();
    int ContentHeight() const { return m_display ? m_display->contentHeight : 0; }

    const int m_id;
    const Kind m_kind;
    const CefBrowserSettings m_settings;
    std::mutex m_mutex;               // guards m_client and m_url for other threads
    CefRefPtr<CefClient> m_client;
    std::wstring m_url;
    std::atomic<HWND> m_window{nullptr};
    std::atomic<bool> m_hasDocument{false};
    std::atomic<bool> m_canGoBack{false};
    std::atomic<bool> m_canGoForward{false};
    std::atomic<double> m_zoomLevel{0};
    bool m_closing = false;
    bool m_closed = false;

    std::unique_ptr<RendererHost> m_renderer;
    std::atomic<RendererHost*> m_rendererForSend{nullptr};  // kept (retired) until the engine stops
    uint32_t m_lastPong = 0;
    uint32_t m_rendererGeneration = 0;
    // The latest document sent to the renderer and not yet shown, and since
    // when the renderer has not answered one.
    uint32_t m_unansweredCommit = 0;
    ULONGLONG m_unansweredSince = 0;
    // A renderer that has answered nothing for this long after a newer
    // document was sent is stuck outside its scripts (they are stopped when a
    // new document arrives): a new renderer takes the document.
    static constexpr ULONGLONG kRendererUnresponsiveMs = 1000;
    uint32_t m_lastNavigation = 0;
    Navigation m_navigation;
    bool m_loading = false;
    std::vector<std::wstring> m_history;
    int m_historyIndex = -1;
    std::string m_source;  // the current document (UTF-8), for the developer tools
    CefRefPtr<BrowserImpl> m_devTools;
    std::vector<std::shared_ptr<Download>> m_downloads;
    uint32_t m_lastDownload = 0;
    std::wstring m_sourceTitle;  // set for the developer tools' document

    // Display state (UI thread).
    std::wstring m_title;
    std::wstring m_text;
    int m_scroll = 0;
    std::shared_ptr<const DisplayList> m_display;
    PagePainter m_painter;
    Viewport m_viewport;
    bool m_static = false;        // the page is laid out here, not by a renderer
    bool m_staticSource = false;  // ... as source text
    bool m_pressed = false;       // the left button went down in the window
};

}  // namespace kvengine
