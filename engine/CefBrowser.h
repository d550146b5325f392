#pragma once
// A browser (one page in one window), its host (the window side) and its frame.
// Browser-process objects may be used from any thread: operations that change
// the browser run later on the engine's UI thread. In a renderer the browser
// has no host, and its frame runs scripts in the page's own context.
#include <windows.h>

#include <cstdint>

#include "engine/CefProcessMessage.h"
#include "engine/CefString.h"

namespace kvengine {

class CefBrowserHost;
class CefClient;
class CefFrame;

struct CefPoint {
    int x = 0;
    int y = 0;
};

// Where the browser's window goes: a child of `parent_window` at the given
// place, or a window of its own (`parent_window` is then its owner).
struct CefWindowInfo {
    DWORD ex_style = 0;
    CefString window_name;
    DWORD style = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    HWND parent_window = nullptr;

    void SetAsChild(HWND parent, RECT rect) {
        style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VISIBLE;
        parent_window = parent;
        x = rect.left;
        y = rect.top;
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
    }
    void SetAsPopup(HWND owner, const CefString& name) {
        style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE;
        parent_window = owner;
        x = y = width = height = CW_USEDEFAULT;
        window_name = name;
    }
};

struct CefBrowserSettings {
    // Used for documents that name no character set; empty means "windows-1252".
    CefString default_encoding;
};

class CefBrowser : public CefBase {
public:
    virtual CefRefPtr<CefBrowserHost> GetHost() = 0;  // null in a renderer
    virtual int GetIdentifier() = 0;
    virtual bool IsSame(CefRefPtr<CefBrowser> that) = 0;
    virtual bool IsPopup() = 0;
    virtual bool HasDocument() = 0;
    virtual CefRefPtr<CefFrame> GetMainFrame() = 0;
    virtual bool CanGoBack() = 0;
    virtual bool CanGoForward() = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void Reload() = 0;
    // To the renderer from the browser process, to the browser process from a renderer.
    virtual bool SendProcessMessage(CefProcessId target, CefRefPtr<CefProcessMessage> message) = 0;
};

class CefFrame : public CefBase {
public:
    virtual bool IsMain() = 0;
    virtual int64_t GetIdentifier() = 0;
    virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
    virtual CefString GetURL() = 0;
    virtual void LoadURL(const CefString& url) = 0;
    // Shows `html` as the frame's document under the address `url`.
    virtual void LoadString(const CefString& html, const CefString& url) = 0;
    // Runs `code` in the current document's script context; `scriptUrl` and
    // `startLine` name its place in error reports.
    virtual void ExecuteJavaScript(const CefString& code, const CefString& scriptUrl, int startLine) = 0;
};

class CefBrowserHost : public CefBase {
public:
    // Creates the browser's window on the UI thread later; the client's
    // OnAfterCreated reports it. False when the engine does not run.
    static bool CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                              const CefString& url, const CefBrowserSettings& settings);

    virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
    // Asks the client's DoClose first; `forceClose` is accepted for callers
    // that must not be asked (pages here cannot refuse to close).
    virtual void CloseBrowser(bool forceClose) = 0;
    virtual HWND GetWindowHandle() = 0;  // null until the window exists and after it is gone
    virtual CefRefPtr<CefClient> GetClient() = 0;
    // Each level scales the page by 1.2; 0 is the normal size.
    virtual double GetZoomLevel() = 0;
    virtual void SetZoomLevel(double level) = 0;
    virtual void SetFocus(bool focus) = 0;
    // Opens (or brings forward) a window showing the page's source; it is a
    // browser of its own, reported to `client`.
    virtual void ShowDevTools(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                              const CefBrowserSettings& settings, const CefPoint& inspectElementAt) = 0;
};

}  // namespace kvengine
