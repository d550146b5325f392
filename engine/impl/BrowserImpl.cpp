#include "engine/impl/BrowserImpl.h"

#include <shlwapi.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/impl/Charset.h"
#include "engine/impl/ContextMenu.h"
#include "engine/impl/Download.h"
#include "engine/impl/Engine.h"
#include "engine/impl/EngineLog.h"
#include "engine/impl/Network.h"
#include "engine/impl/RendererHost.h"
#include "engine/impl/StaticPage.h"
#include "engine/impl/Utf.h"
#include "engine/impl/Wire.h"
#include "engine/impl/WorkQueue.h"
#include "win/TextConversion.h"

namespace kvengine {

// Where a load's later reports go once its navigation became a download.
struct JobRoute {
    std::atomic<uint32_t> downloadId{0};
    // Held until the transfer has ended: it may write the file until then.
    std::shared_ptr<PartFile> partFile;
};

namespace {

constexpr wchar_t kWindowClass[] = L"KvEngineBrowserWindow";
constexpr int kMaxRestarts = 20;

class HostImpl : public kvwin::RefCounted<CefBrowserHost> {
public:
    explicit HostImpl(CefRefPtr<BrowserImpl> browser) : m_browser(std::move(browser)) {}

    CefRefPtr<CefBrowser> GetBrowser() override { return m_browser; }
    void CloseBrowser(bool forceClose) override { m_browser->Close(forceClose); }
    HWND GetWindowHandle() override { return m_browser->Window(); }
    CefRefPtr<CefClient> GetClient() override { return m_browser->Client(); }
    double GetZoomLevel() override { return m_browser->ZoomLevel(); }
    void SetZoomLevel(double level) override { m_browser->SetZoomLevel(level); }
    void SetFocus(bool focus) override { m_browser->Focus(focus); }
    void ShowDevTools(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                      const CefBrowserSettings& settings, const CefPoint&) override {
        m_browser->ShowDevTools(windowInfo, client, settings);
    }

private:
    const CefRefPtr<BrowserImpl> m_browser;
};

class FrameImpl : public kvwin::RefCounted<CefFrame> {
public:
    explicit FrameImpl(CefRefPtr<BrowserImpl> browser) : m_browser(std::move(browser)) {}

    bool IsMain() override { return true; }
    int64_t GetIdentifier() override { return 1; }
    CefRefPtr<CefBrowser> GetBrowser() override { return m_browser; }
    CefString GetURL() override { return m_browser->Url(); }
    void LoadURL(const CefString& url) override { m_browser->LoadUrl(url.ToWString()); }
    void LoadString(const CefString& html, const CefString& url) override {
        m_browser->LoadString(html.ToWString(), url.ToWString());
    }
    void ExecuteJavaScript(const CefString& code, const CefString& scriptUrl, int startLine) override {
        m_browser->ExecuteJavaScript(code.ToWString(), scriptUrl.ToWString(), startLine);
    }

private:
    const CefRefPtr<BrowserImpl> m_browser;
};

class RequestImpl : public kvwin::RefCounted<CefRequest> {
public:
    explicit RequestImpl(std::wstring url) : m_url(std::move(url)) {}
    CefString GetURL() override { return m_url; }
    void SetURL(const CefString& url) override { m_url = url.ToWString(); }
    CefString GetMethod() override { return L"GET"; }

private:
    std::wstring m_url;
};

class ResponseImpl : public kvwin::RefCounted<CefResponse> {
public:
    explicit ResponseImpl(const ResponseInfo& info) : m_info(info) {}
    int GetStatus() override { return m_info.status; }
    CefString GetStatusText() override { return m_info.statusText; }
    CefString GetMimeType() override { return m_info.mimeType; }
    CefString GetHeader(const CefString& name) override { return m_info.Header(name.ToString()); }

private:
    const ResponseInfo m_info;
};

// Content the engine shows as a page; everything else is downloaded. An HTTP
// error is always shown, whatever its content: it is the server's answer.
bool IsDisplayable(const ResponseInfo& r) {
    if (r.status != 0 && (r.status < 200 || r.status > 299)) return true;
    if (r.IsAttachment()) return false;
    const std::string& m = r.mimeType;
    return m.empty() || m.compare(0, 5, "text/") == 0 || m == "application/xhtml+xml" || m == "application/xml" ||
           m == "application/json" || m == "application/javascript";
}

bool IsAboutBlank(const std::wstring& url) { return AsciiLower(url) == L"about:blank"; }

// The scheme as the network reads it: whatever stands before the first colon.
bool IsFileUrl(const std::wstring& url) { return AsciiLower(url.substr(0, url.find(L':'))) == L"file"; }

double DpiScale(HWND window) {
    if (!HighDpiEnabled()) return 1.0;
    const kvwin::WindowDC dc(window);
    const int dpi = GetDeviceCaps(dc.get(), LOGPIXELSY);
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

// Draws into a bitmap first, so the page never flickers through a half-drawn frame.
void PaintBuffered(HWND window, BrowserImpl* browser) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    const kvwin::UniqueMemoryDC memory(CreateCompatibleDC(dc));
    const kvwin::UniqueBitmap bitmap(
        CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1)));
    {
        const kvwin::ScopedSelect select(memory.get(), bitmap.get());
        browser->Paint(memory.get(), client);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    }
    EndPaint(window, &ps);
}

LRESULT CALLBACK BrowserWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* browser = reinterpret_cast<BrowserImpl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!browser) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        PaintBuffered(window, browser);
        return 0;
    case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(window, &client);
        browser->Paint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_TIMER:
        if (wParam == BrowserImpl::kRendererCheckTimer) browser->CheckRenderer();
        return 0;
    case WM_SIZE:
        browser->Scroll(0);
        return 0;
    case WM_MOUSEWHEEL:
        browser->Scroll(-GET_WHEEL_DELTA_WPARAM(wParam) * 3 * 20 / WHEEL_DELTA);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(window);
        browser->OnMouseDown();
        return 0;
    case WM_LBUTTONUP:
        browser->OnMouseUp({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return 0;
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT) break;
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(window, &p);
        SetCursor(LoadCursorW(nullptr, browser->IsHandAt(p) ? IDC_HAND : IDC_ARROW));
        return TRUE;
    }
    case WM_CONTEXTMENU: {
        POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (lParam == -1) p = {0, 0};  // from the keyboard: the window's corner
        else ScreenToClient(window, &p);
        browser->ShowContextMenu(p);
        return 0;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
        if (browser->OnKey(message, wParam, lParam)) return 0;
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_CLOSE:
        browser->OnWindowClose();
        return 0;
    case WM_DESTROY:
        browser->OnWindowDestroyed();
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void BrowserImpl::RegisterWindowClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = BrowserWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);
}

void BrowserImpl::UnregisterWindowClass() { UnregisterClassW(kWindowClass, GetModuleHandleW(nullptr)); }

BrowserImpl::BrowserImpl(int id, CefRefPtr<CefClient> client, const CefBrowserSettings& settings, Kind kind)
    : m_id(id), m_kind(kind), m_settings(settings), m_client(std::move(client)) {}

BrowserImpl::~BrowserImpl() = default;

CefRefPtr<BrowserImpl> BrowserImpl::Create(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                                           const std::wstring& url, const CefBrowserSettings& settings, Kind kind) {
    Engine* engine = Engine::Get();
    CefRefPtr<BrowserImpl> browser = new BrowserImpl(engine->NextBrowserId(), client, settings, kind);
    if (!browser->CreateWindowFor(windowInfo)) {
        KV_LOG(LOGSEVERITY_ERROR) << "cannot create a browser window (" << GetLastError() << ")";
        return nullptr;
    }
    engine->AddBrowser(browser);
    if (kind != Kind::DevTools) browser->StartRenderer();
    CefRefPtr<CefLifeSpanHandler> lifeSpan = client ? client->GetLifeSpanHandler() : nullptr;
    if (lifeSpan) lifeSpan->OnAfterCreated(browser);
    if (!url.empty() && !browser->m_closed) browser->Navigate(url, Commit::New, -1);
    return browser;
}

bool BrowserImpl::CreateWindowFor(const CefWindowInfo& info) {
    const bool child = (info.style & WS_CHILD) != 0;
    DWORD style = info.style ? info.style : (WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE);
    DWORD exStyle = info.ex_style | (child ? WS_EX_NOPARENTNOTIFY : 0);
    const bool defaultPlace = !child && (info.x == CW_USEDEFAULT || info.width == CW_USEDEFAULT);
    HWND window = CreateWindowExW(exStyle, kWindowClass, info.window_name.c_str(), style, info.x,
                                  defaultPlace ? CW_USEDEFAULT : info.y, info.width,
                                  info.height == CW_USEDEFAULT ? CW_USEDEFAULT : info.height, info.parent_window,
                                  nullptr, GetModuleHandleW(nullptr), this);
    if (!window) return false;
    m_window = window;
    Layout();
    return true;
}

void BrowserImpl::StartRenderer() {
    Engine* engine = Engine::Get();
    const int id = m_id;
    // A replaced renderer may still speak or end: only the current one is heard.
    const uint32_t generation = ++m_rendererGeneration;
    m_renderer = RendererHost::Start(
        engine->Settings(), engine->App(),
        [engine, id, generation](std::string packet) {
            // What a page shows is decoded here, on the channel's thread: its cost
            // grows with the page, and the UI thread only swaps it in.
            if (!packet.empty() && static_cast<PacketType>(packet[0]) == PacketType::Display) {
                WireReader in(packet);
                in.Type();
                const uint32_t navigation = in.U32();
                in.Text();  // the title, reported with the document
                auto display = std::make_shared<DisplayList>();
                if (!display->Read(in)) {
                    KV_LOG(LOGSEVERITY_WARNING) << "a malformed display list from a renderer";
                    return;
                }
                display->Index();
                engine->PostUi([engine, id, generation, navigation, display] {
                    CefRefPtr<BrowserImpl> b = engine->FindBrowser(id);
                    if (b && b->m_rendererGeneration == generation) b->OnDisplay(navigation, display);
                });
                return;
            }
            engine->PostUi([engine, id, generation, p = std::move(packet)] {
                CefRefPtr<BrowserImpl> b = engine->FindBrowser(id);
                if (b && b->m_rendererGeneration == generation) b->OnRendererPacket(p);
            });
        },
        [engine, id, generation] {
            engine->PostUi([engine, id, generation] {
                CefRefPtr<BrowserImpl> b = engine->FindBrowser(id);
                if (b && b->m_rendererGeneration == generation) b->OnRendererGone();
            });
        });
    if (!m_renderer) return;
    m_rendererForSend = m_renderer.get();
    m_renderer->Send(WireWriter(PacketType::Attach).I32(m_id).U8(m_kind != Kind::Normal ? 1 : 0).Take());
    m_renderer->Send(
        WireWriter(PacketType::Viewport).I32(m_viewport.width).I32(m_viewport.height).F64(m_viewport.scale).Take());
}

CefRefPtr<CefBrowserHost> BrowserImpl::GetHost() { return new HostImpl(this); }

CefRefPtr<CefFrame> BrowserImpl::GetMainFrame() { return new FrameImpl(this); }

CefRefPtr<CefClient> BrowserImpl::Client() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_client;
}

std::wstring BrowserImpl::Url() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_url;
}

void BrowserImpl::GoBack() {
    CefRefPtr<BrowserImpl> self(this);
    PostUiTask([self] {
        if (self->m_closed || self->m_historyIndex <= 0) return;
        const int index = self->m_historyIndex - 1;
        self->Navigate(self->m_history[static_cast<size_t>(index)], Commit::History, index);
    });
}

void BrowserImpl::GoForward() {
    CefRefPtr<BrowserImpl> self(this);
    PostUiTask([self] {
        const int index = self->m_historyIndex + 1;
        if (self->m_closed || index >= static_cast<int>(self->m_history.size())) return;
        self->Navigate(self->m_history[static_cast<size_t>(index)], Commit::History, index);
    });
}

void BrowserImpl::Reload() {
    CefRefPtr<BrowserImpl> self(this);
    PostUiTask([self] {
        if (self->m_closed || self->m_historyIndex < 0) return;
        self->Navigate(self->m_history[static_cast<size_t>(self->m_historyIndex)], Commit::Reload,
                       self->m_historyIndex);
    });
}

bool BrowserImpl::SendProcessMessage(CefProcessId target, CefRefPtr<CefProcessMessage> message) {
    if (target != PID_RENDERER || !message || !Engine::Get()) return false;
    // Straight from the calling thread: the renderer host outlives the browser's use of it.
    RendererHost* renderer = m_rendererForSend.load();
    return renderer && renderer->Send(WireWriter(PacketType::ProcessMessage)
                                          .Text(message->GetName().ToWString())
                                          .Value(Variant::List(ListItems(message->GetArgumentList())))
                                          .Take());
}

void BrowserImpl::SetZoomLevel(double level) {
    if (!std::isfinite(level)) return;
    m_zoomLevel = level;
    CefRefPtr<BrowserImpl> self(this);
    PostUiTask([self] {
        self->Layout();
        self->Invalidate();
    });
}

void BrowserImpl::Focus(bool focus) {
    CefRefPtr<BrowserImpl> self(this);
    PostUiTask([self, focus] {
        HWND window = self->Window();
        if (window && focus) SetFocus(window);
    });
}

void BrowserImpl::Close(bool force) {
    (void)force;  // pages cannot refuse to close here
    CefRefPtr<BrowserImpl> self(this);
    PostUiTask([self] { self->OnWindowClose(); });
}

void BrowserImpl::OnWindowClose() {
    if (m_closed || m_closing) return;
    m_closing = true;
    CefRefPtr<BrowserImpl> self(this);
    CefRefPtr<CefClient> client = Client();
    CefRefPtr<CefLifeSpanHandler> lifeSpan = client ? client->GetLifeSpanHandler() : nullptr;
    if (lifeSpan && lifeSpan->DoClose(self)) return;  // the application destroys the window itself
    if (HWND window = Window()) DestroyWindow(window);
}

void BrowserImpl::OnWindowDestroyed() {
    if (m_closed) return;
    CefRefPtr<BrowserImpl> self(this);
    m_closed = true;
    CancelNavigation(false);
    // Downloads end with their browser. One whose save dialog is still open
    // stops receiving now and is dropped when the dialog returns.
    for (const auto& download : std::exchange(m_downloads, {})) download->Cancel();
    if (m_renderer) {
        m_renderer->Shutdown();
        Engine::Get()->Retire(std::move(m_renderer));
    }
    if (m_devTools && m_devTools->Window()) m_devTools->Close(true);
    m_devTools = nullptr;
    CefRefPtr<CefClient> client = Client();
    CefRefPtr<CefLifeSpanHandler> lifeSpan = client ? client->GetLifeSpanHandler() : nullptr;
    if (lifeSpan) lifeSpan->OnBeforeClose(self);
    m_window = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_client = nullptr;
    }
    Engine::Get()->RemoveBrowser(m_id);
}

void BrowserImpl::ShowDevTools(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                               const CefBrowserSettings& settings) {
    CefRefPtr<BrowserImpl> self(this);
    PostUiTask([self, windowInfo, client, settings] {
        if (self->m_closed) return;
        if (self->m_devTools && self->m_devTools->Window()) {
            ShowWindow(self->m_devTools->Window(), SW_SHOWNORMAL);
            SetForegroundWindow(self->m_devTools->Window());
            return;
        }
        self->m_devTools = Create(windowInfo, client, L"", settings, Kind::DevTools);
        if (self->m_devTools) self->m_devTools->LoadSource(L"Developer Tools - " + self->Url(), self->m_source);
    });
}

void BrowserImpl::LoadUrl(const std::wstring& url) {
    CefRefPtr<BrowserImpl> self(this);
    PostUiTask([self, url] {
        if (!self->m_closed) self->Navigate(url, Commit::New, -1);
    });
}

void BrowserImpl::LoadString(const std::wstring& html, const std::wstring& url) {
    CefRefPtr<BrowserImpl> self(this);
    PostUiTask([self, html, url] {
        if (self->m_closed) return;
        self->CancelNavigation(true);
        self->m_navigation = Navigation();
        self->m_navigation.id = ++self->m_lastNavigation;
        self->m_navigation.url = url;
        self->LoadingState(true);
        self->CommitDocument(kvwin::WideToUtf8(html), 200);
    });
}

void BrowserImpl::LoadSource(const std::wstring& title, const std::string& source) {
    m_sourceTitle = title;
    CancelNavigation(false);
    m_navigation = Navigation();
    m_navigation.id = ++m_lastNavigation;
    m_navigation.url = L"devtools://source";
    LoadingState(true);
    CommitDocument(source, 200);
}

// Straight from the calling thread, like a process message: the script runs
// in whatever document the renderer shows when it arrives, and a trip
// through the UI thread's queue would only add a wake-up.
void BrowserImpl::ExecuteJavaScript(const std::wstring& code, const std::wstring& url, int line) {
    RendererHost* renderer = m_rendererForSend.load();
    if (renderer) renderer->Send(WireWriter(PacketType::RunScript).Text(code).Text(url).I32(line).Take());
}

void BrowserImpl::LoadingState(bool loading) {
    if (m_loading == loading) return;
    m_loading = loading;
    CefRefPtr<CefClient> client = Client();
    CefRefPtr<CefLoadHandler> load = client ? client->GetLoadHandler() : nullptr;
    if (load) load->OnLoadingStateChange(this, loading, m_canGoBack, m_canGoForward);
}

void BrowserImpl::CancelNavigation(bool report) {
    Navigation old = std::move(m_navigation);
    m_navigation = Navigation();
    if (old.job) old.job->Cancel();
    if (!report || old.id == 0 || old.committed || !old.job) return;
    CefRefPtr<CefClient> client = Client();
    CefRefPtr<CefLoadHandler> load = client ? client->GetLoadHandler() : nullptr;
    if (load) load->OnLoadError(this, GetMainFrame(), ERR_ABORTED, NetErrorText(ERR_ABORTED), old.url);
}

void BrowserImpl::Navigate(const std::wstring& url, Commit commit, int historyIndex, int restarts) {
    CancelNavigation(true);
    m_navigation.id = ++m_lastNavigation;
    m_navigation.url = url;
    m_navigation.commit = commit;
    m_navigation.historyIndex = historyIndex;
    m_navigation.restarts = restarts;
    LoadingState(true);
    if (IsAboutBlank(url)) {
        CommitDocument({}, 200);
        return;
    }
    CefRefPtr<BrowserImpl> self(this);
    const uint32_t id = m_navigation.id;
    auto route = std::make_shared<JobRoute>();
    m_navigation.route = route;
    Engine* engine = Engine::Get();
    LoadJob::Callbacks callbacks;
    callbacks.onResponse = [engine, self, id](const ResponseInfo& response) {
        engine->PostUi([self, id, response] { self->OnResponse(id, response); });
    };
    callbacks.onProgress = [engine, self, route](int64_t received) {
        // Not the route: a task can wait long behind a save dialog, and the route holds the download's file.
        const uint32_t download = route->downloadId;
        engine->PostUi([self, download, received] {
            self->WithDownload(download, [received](Download& d) { d.OnProgress(received); });
        });
    };
    callbacks.onDone = [engine, self, id, route](int error, std::string body) {
        const uint32_t download = route->downloadId;
        if (download != 0) {
            engine->PostUi([self, download, error] {
                self->WithDownload(download, [error](Download& d) { d.OnTransferDone(error); });
            });
            return;
        }
        engine->PostUi([self, id, error, b = std::move(body)]() mutable { self->OnLoadDone(id, error, std::move(b)); });
    };
    m_navigation.job = engine->Net().Start(kvwin::WideToUtf8(url), std::move(callbacks));
}

void BrowserImpl::OnResponse(uint32_t id, const ResponseInfo& response) {
    if (id != m_navigation.id || !m_navigation.job || m_closed) return;
    CefRefPtr<BrowserImpl> self(this);
    std::shared_ptr<LoadJob> job = m_navigation.job;
    CefRefPtr<CefClient> client = Client();
    CefRefPtr<CefRequestHandler> requests = client ? client->GetRequestHandler() : nullptr;
    if (requests) {
        CefRefPtr<CefRequest> request = new RequestImpl(m_navigation.url);
        const bool restart = requests->OnResourceResponse(self, GetMainFrame(), request, new ResponseImpl(response));
        if (id != m_navigation.id) return;  // the handler navigated elsewhere
        if (restart) {
            job->Use(BodyUse::Drop);
            m_navigation.job = nullptr;
            if (m_navigation.restarts >= kMaxRestarts) {
                OnLoadDone(id, ERR_TOO_MANY_REDIRECTS, {});
                return;
            }
            Navigate(request->GetURL().ToWString(), m_navigation.commit, m_navigation.historyIndex,
                     m_navigation.restarts + 1);
            return;
        }
    }
    if (!IsDisplayable(response)) {
        const uint32_t downloadId = ++m_lastDownload;
        auto partFile = std::make_shared<PartFile>(m_id, downloadId);
        m_navigation.route->partFile = partFile;
        m_navigation.route->downloadId = downloadId;
        auto download = std::make_shared<Download>(*this, downloadId, response, partFile);
        download->SetJob(job);
        job->Use(BodyUse::Download, partFile->Path());
        m_navigation.job = nullptr;
        m_navigation.route = nullptr;  // the transfer's own hold on the file is enough
        Download* started = download.get();
        m_downloads.push_back(std::move(download));
        FinishNavigation();
        started->Begin();
        return;
    }
    if (!response.url.empty()) m_navigation.url = kvwin::Utf8ToWide(response.url);  // after redirects
    m_navigation.status = response.status;
    m_navigation.charset = response.charset;
    job->Use(BodyUse::Document);
}

void BrowserImpl::OnLoadDone(uint32_t id, int error, std::string body) {
    if (id != m_navigation.id || m_closed || m_navigation.committed) return;
    m_navigation.job = nullptr;
    if (error != ERR_NONE) {
        const std::wstring url = m_navigation.url;
        CefRefPtr<BrowserImpl> self(this);
        CefRefPtr<CefClient> client = Client();
        CefRefPtr<CefLoadHandler> load = client ? client->GetLoadHandler() : nullptr;
        if (load) load->OnLoadError(self, GetMainFrame(), static_cast<CefErrorCode>(error), NetErrorText(error), url);
        // The handler may have started another load (an error page): that one goes on.
        if (id == m_navigation.id) FinishNavigation();
        return;
    }
    CommitDocument(DecodeDocument(body, m_navigation.charset, m_settings.default_encoding.ToWString()),
                   m_navigation.status);
}

void BrowserImpl::CommitDocument(const std::string& utf8, int status) {
    m_navigation.committed = true;
    m_navigation.status = status;
    const std::wstring url = m_navigation.url;
    switch (m_navigation.commit) {
    case Commit::New:
        if (m_historyIndex >= 0 && m_history[static_cast<size_t>(m_historyIndex)] == url) break;
        m_history.resize(static_cast<size_t>(m_historyIndex + 1));
        m_history.push_back(url);
        m_historyIndex = static_cast<int>(m_history.size()) - 1;
        break;
    case Commit::History:
        m_historyIndex = m_navigation.historyIndex;
        break;
    case Commit::Reload:
        break;
    }
    UpdateHistoryFlags();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_url = url;
    }
    m_source = utf8;
    m_hasDocument = true;
    CefRefPtr<BrowserImpl> self(this);
    CefRefPtr<CefClient> client = Client();
    CefRefPtr<CefLoadHandler> load = client ? client->GetLoadHandler() : nullptr;
    const uint32_t id = m_navigation.id;
    if (load) load->OnLoadStart(self, GetMainFrame());
    if (id != m_navigation.id || m_closed) return;
    if (m_kind == Kind::DevTools) {
        ShowStatic(id, true, true);
        return;
    }
    m_static = false;
    if (SendCommit(id, url, utf8)) return;
    // Without a renderer the page is still shown, but its scripts cannot run.
    ShowStatic(id, false, true);
}

void BrowserImpl::ShowStatic(uint32_t id, bool source, bool ready) {
    m_static = true;
    m_staticSource = source;
    Engine* engine = Engine::Get();
    CefRefPtr<BrowserImpl> self(this);
    engine->Files().Post([engine, self, id, source, ready, text = m_source, viewport = m_viewport] {
        StaticPage page = RenderStaticPage(kvwin::Utf8ToWide(text), source, viewport);
        engine->PostUi([self, id, source, ready, page = std::move(page)] {
            self->OnDisplay(id, page.display);
            if (ready) self->OnDocumentReady(id, source ? self->m_sourceTitle : page.title, page.text);
        });
    });
}

void BrowserImpl::OnDisplay(uint32_t id, std::shared_ptr<const DisplayList> display) {
    if (id != m_navigation.id || m_closed) return;
    // The old list goes on the work thread: freeing it costs what the page held.
    if (m_display) Engine::Get()->Files().Post([old = std::move(m_display)] {});
    m_display = std::move(display);
    Layout();
    Invalidate();
}

void BrowserImpl::OnDocumentReady(uint32_t id, const std::wstring& title, const std::wstring& text) {
    if (id != m_navigation.id || !m_navigation.committed || m_closed) return;
    m_title = title;
    m_text = text;
    m_scroll = 0;
    Layout();
    Invalidate();
    CefRefPtr<BrowserImpl> self(this);
    const std::wstring shownTitle = title.empty() ? m_navigation.url : title;
    if (HWND window = Window(); window && !(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)) {
        SetWindowTextW(window, shownTitle.c_str());
    }
    CefRefPtr<CefClient> client = Client();
    if (CefRefPtr<CefDisplayHandler> display = client ? client->GetDisplayHandler() : nullptr) {
        display->OnTitleChange(self, shownTitle);
    }
    if (id != m_navigation.id) return;
    if (CefRefPtr<CefLoadHandler> load = client ? client->GetLoadHandler() : nullptr) {
        load->OnLoadEnd(self, GetMainFrame(), m_navigation.status);
    }
    if (id == m_navigation.id) FinishNavigation();
}

void BrowserImpl::FinishNavigation() {
    m_navigation.job = nullptr;
    LoadingState(false);
}

void BrowserImpl::UpdateHistoryFlags() {
    m_canGoBack = m_historyIndex > 0;
    m_canGoForward = m_historyIndex + 1 < static_cast<int>(m_history.size());
}

void BrowserImpl::OnRendererPacket(const std::string& packet) {
    if (m_closed) return;
    CefRefPtr<BrowserImpl> self(this);
    WireReader in(packet);
    switch (in.Type()) {
    case PacketType::DocumentReady: {
        const uint32_t id = in.U32();
        const std::wstring title = in.Text();
        const std::wstring text = in.Text();
        if (!in.Ok()) break;
        NoteRendererAnswer(id);
        OnDocumentReady(id, title, text);
        break;
    }
    case PacketType::ProcessMessage: {
        const std::wstring name = in.Text();
        Variant arguments = in.Value();
        if (!in.Ok() || arguments.type != VTYPE_LIST) break;
        CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(name);
        ListItems(message->GetArgumentList()) = std::move(arguments.list);
        if (CefRefPtr<CefClient> client = Client()) client->OnProcessMessageReceived(self, PID_RENDERER, message);
        break;
    }
    case PacketType::OpenPopup: {
        const std::wstring url = in.Text();
        const std::wstring name = in.Text();
        if (in.Ok()) OpenPopup(url, name);
        break;
    }
    case PacketType::History: {
        const int direction = in.I32();
        if (direction < 0) GoBack();
        else if (direction > 0) GoForward();
        else Reload();
        break;
    }
    case PacketType::Navigate: {
        const std::wstring url = in.Text();
        if (in.Ok() && PageMayReach(url)) Navigate(url, Commit::New, -1);
        break;
    }
    case PacketType::LoadString: {
        const std::wstring html = in.Text();
        const std::wstring url = in.Text();
        if (in.Ok() && PageMayReach(url)) LoadString(html, url);
        break;
    }
    case PacketType::Pong:
        m_lastPong = in.U32();
        break;
    default:
        KV_LOG(LOGSEVERITY_WARNING) << "unknown packet from a renderer";
        break;
    }
}

void BrowserImpl::OnRendererGone() {
    if (!m_renderer) return;
    KV_LOG(LOGSEVERITY_ERROR) << "the renderer of browser " << m_id << " is gone";
    Engine::Get()->Retire(std::move(m_renderer));
    m_unansweredCommit = 0;
    // A page waiting for its renderer is shown without its scripts.
    if (m_navigation.committed && m_loading) ShowStatic(m_navigation.id, false, true);
}

void BrowserImpl::OpenPopup(const std::wstring& target, const std::wstring& name) {
    std::wstring url = target;
    const std::wstring base = Url();
    if (!base.empty() && !target.empty()) {
        std::wstring combined(8192, L'\0');
        DWORD size = static_cast<DWORD>(combined.size());
        if (SUCCEEDED(UrlCombineW(base.c_str(), target.c_str(), combined.data(), &size, 0))) url = combined.c_str();
    }
    if (url.empty()) url = L"about:blank";
    if (!PageMayReach(url)) return;
    CefRefPtr<BrowserImpl> self(this);
    CefRefPtr<CefClient> client = Client();
    CefWindowInfo info;
    info.SetAsPopup(GetAncestor(Window(), GA_ROOT), L"");
    CefBrowserSettings settings = m_settings;
    CefRefPtr<CefLifeSpanHandler> lifeSpan = client ? client->GetLifeSpanHandler() : nullptr;
    if (lifeSpan && lifeSpan->OnBeforePopup(self, GetMainFrame(), url, name, info, client, settings)) return;
    Create(info, client, url, settings, Kind::Popup);
}

bool BrowserImpl::PageMayReach(const std::wstring& url) {
    if (!IsFileUrl(url) || IsFileUrl(Url())) return true;
    KV_LOG(LOGSEVERITY_WARNING) << "Not allowed to load local resource: " << kvwin::LoggedAddress(kvwin::WideToUtf8(url));
    return false;
}

bool BrowserImpl::SendCommit(uint32_t id, const std::wstring& url, const std::string& utf8) {
    if (!m_renderer || !m_renderer->Send(WireWriter(PacketType::Commit).U32(id).Text(url).Bytes(utf8).Take())) {
        return false;
    }
    if (m_unansweredCommit == 0) {
        m_unansweredSince = GetTickCount64();
    } else if (HWND window = Window()) {
        // The renderer still owes the document before: it must show it has moved on.
        SetTimer(window, kRendererCheckTimer, static_cast<UINT>(kRendererUnresponsiveMs), nullptr);
    }
    m_unansweredCommit = id;
    return true;
}

void BrowserImpl::CheckRenderer() {
    if (HWND window = Window()) KillTimer(window, kRendererCheckTimer);
    if (m_closed || !m_renderer || m_unansweredCommit == 0) return;
    if (GetTickCount64() - m_unansweredSince < kRendererUnresponsiveMs) return;
    ReplaceRenderer();
    if (m_navigation.committed && m_loading) SendCommit(m_navigation.id, m_navigation.url, m_source);
}

void BrowserImpl::NoteRendererAnswer(uint32_t navigation) {
    if (navigation >= m_unansweredCommit) m_unansweredCommit = 0;
    else m_unansweredSince = GetTickCount64();  // an older document: it is alive, and behind
}

void BrowserImpl::ReplaceRenderer() {
    KV_LOG(LOGSEVERITY_WARNING) << "the renderer of browser " << m_id << " does not answer; a new one takes over";
    m_renderer->Shutdown();
    Engine::Get()->Retire(std::move(m_renderer));
    m_unansweredCommit = 0;
    StartRenderer();
}

void BrowserImpl::OnDownloadFinished(Download* download) {
    CefRefPtr<BrowserImpl> self(this);
    const uint32_t id = download->Id();
    // Not now: the download is still on the stack.
    Engine::Get()->PostUi([self, id] {
        auto& list = self->m_downloads;
        list.erase(std::remove_if(list.begin(), list.end(), [id](const auto& d) { return d->Id() == id; }), list.end());
    });
}

void BrowserImpl::WithDownload(uint32_t id, const std::function<void(Download&)>& action) {
    for (const auto& download : m_downloads) {
        if (download->Id() == id) {
            // Held here: the action may run the save dialog, inside which the list can drop it.
            const std::shared_ptr<Download> held = download;
            action(*held);
            return;
        }
    }
}

bool BrowserImpl::OnKey(UINT message, WPARAM wParam, LPARAM lParam) {
    CefRefPtr<BrowserImpl> self(this);
    CefKeyEvent event;
    event.type = message == WM_KEYDOWN || message == WM_SYSKEYDOWN ? KEYEVENT_RAWKEYDOWN
               : message == WM_KEYUP || message == WM_SYSKEYUP     ? KEYEVENT_KEYUP
                                                                   : KEYEVENT_CHAR;
    event.windows_key_code = static_cast<int>(wParam);
    event.native_key_code = static_cast<int>(lParam);
    event.is_system_key = message == WM_SYSKEYDOWN || message == WM_SYSKEYUP || message == WM_SYSCHAR;
    if (GetKeyState(VK_SHIFT) & 0x8000) event.modifiers |= EVENTFLAG_SHIFT_DOWN;
    if (GetKeyState(VK_CONTROL) & 0x8000) event.modifiers |= EVENTFLAG_CONTROL_DOWN;
    if (GetKeyState(VK_MENU) & 0x8000) event.modifiers |= EVENTFLAG_ALT_DOWN;
    if (GetKeyState(VK_CAPITAL) & 1) event.modifiers |= EVENTFLAG_CAPS_LOCK_ON;
    const DWORD pos = GetMessagePos();
    MSG msg{Window(), message, wParam, lParam, static_cast<DWORD>(GetMessageTime()),
            {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))}};
    CefRefPtr<CefClient> client = Client();
    CefRefPtr<CefKeyboardHandler> keys = client ? client->GetKeyboardHandler() : nullptr;
    bool shortcut = false;
    if (keys && keys->OnPreKeyEvent(self, event, &msg, &shortcut)) return true;
    if (message == WM_KEYDOWN) {
        RECT r{};
        GetClientRect(Window(), &r);
        const int page = std::max<int>(r.bottom - 40, 20);
        switch (wParam) {
        case VK_DOWN: Scroll(40); return true;
        case VK_UP: Scroll(-40); return true;
        case VK_NEXT: Scroll(page); return true;
        case VK_PRIOR: Scroll(-page); return true;
        case VK_HOME: Scroll(-ContentHeight()); return true;
        case VK_END: Scroll(ContentHeight()); return true;
        default: break;
        }
    }
    return keys && keys->OnKeyEvent(self, event, &msg);
}

void BrowserImpl::ShowContextMenu(POINT clientPoint) {
    CefRefPtr<BrowserImpl> self(this);
    CefRefPtr<MenuModel> model = new MenuModel();
    model->AddEngineItem(MENU_ID_BACK, L"Back", m_canGoBack);
    model->AddEngineItem(MENU_ID_FORWARD, L"Forward", m_canGoForward);
    model->AddSeparator();
    model->AddEngineItem(MENU_ID_RELOAD, L"Reload", m_historyIndex >= 0);
    model->AddEngineItem(MENU_ID_VIEW_SOURCE, L"View source", m_hasDocument);
    CefRefPtr<CefContextMenuParams> params = new MenuParams(clientPoint.x, clientPoint.y, CM_TYPEFLAG_PAGE);
    CefRefPtr<CefClient> client = Client();
    CefRefPtr<CefContextMenuHandler> menus = client ? client->GetContextMenuHandler() : nullptr;
    CefRefPtr<CefFrame> frame = GetMainFrame();
    if (menus) menus->OnBeforeContextMenu(self, frame, params, model);
    if (model->GetCount() == 0 || m_closed) return;
    POINT screen = clientPoint;
    ClientToScreen(Window(), &screen);
    const int command = TrackMenu(Window(), *model, screen);
    if (command <= 0 || m_closed) return;
    if (menus && menus->OnContextMenuCommand(self, frame, params, command, 0)) return;
    RunBuiltInCommand(command);
}

void BrowserImpl::RunBuiltInCommand(int command) {
    switch (command) {
    case MENU_ID_BACK: GoBack(); break;
    case MENU_ID_FORWARD: GoForward(); break;
    case MENU_ID_RELOAD:
    case MENU_ID_RELOAD_NOCACHE: Reload(); break;
    case MENU_ID_STOPLOAD:
        CancelNavigation(true);
        LoadingState(false);
        break;
    case MENU_ID_COPY: {
        const std::wstring text = m_title.empty() ? m_text : m_title + L"\r\n" + m_text;
        if (!OpenClipboard(Window())) break;
        EmptyClipboard();
        kvwin::UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t)));
        if (auto* copy = memory ? static_cast<wchar_t*>(GlobalLock(memory.get())) : nullptr) {
            std::copy(text.c_str(), text.c_str() + text.size() + 1, copy);
            GlobalUnlock(memory.get());
            // The clipboard owns the memory once it took it.
            if (SetClipboardData(CF_UNICODETEXT, memory.get())) memory.release();
        }
        CloseClipboard();
        break;
    }
    case MENU_ID_VIEW_SOURCE: {
        CefWindowInfo info;
        info.SetAsPopup(GetAncestor(Window(), GA_ROOT), L"");
        ShowDevTools(info, Client(), m_settings);
        break;
    }
    case MENU_ID_PRINT:
        KV_LOG(LOGSEVERITY_WARNING) << "printing is not available";
        break;
    default:
        break;
    }
}

// Sends the window's size and zoom to whoever lays the page out when they
// changed, and keeps the scroll offset inside the page.
void BrowserImpl::Layout() {
    HWND window = Window();
    if (!window) return;
    RECT client{};
    GetClientRect(window, &client);
    Viewport viewport;
    viewport.width = client.right;
    viewport.height = client.bottom;
    viewport.scale = std::pow(1.2, ZoomLevel()) * DpiScale(window);
    if (viewport.width != m_viewport.width || viewport.height != m_viewport.height ||
        viewport.scale != m_viewport.scale) {
        m_viewport = viewport;
        if (m_static && m_hasDocument) {
            ShowStatic(m_navigation.id, m_staticSource, false);
        } else if (m_renderer) {
            m_renderer->Send(
                WireWriter(PacketType::Viewport).I32(viewport.width).I32(viewport.height).F64(viewport.scale).Take());
        }
    }
    m_scroll = std::clamp(m_scroll, 0, std::max(0, ContentHeight() - static_cast<int>(client.bottom)));
}

void BrowserImpl::Scroll(int pixels) {
    Layout();
    RECT client{};
    GetClientRect(Window(), &client);
    const int limit = std::max(0, ContentHeight() - static_cast<int>(client.bottom));
    const int scroll = std::clamp(m_scroll + pixels, 0, limit);
    if (scroll == m_scroll && pixels != 0) return;
    m_scroll = scroll;
    Invalidate();
}

void BrowserImpl::Invalidate() {
    if (HWND window = Window()) InvalidateRect(window, nullptr, FALSE);
}

void BrowserImpl::Paint(HDC dc, const RECT& client) {
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (m_display) m_painter.Paint(dc, client, *m_display, m_scroll);
}

void BrowserImpl::OnMouseDown() { m_pressed = true; }

void BrowserImpl::OnMouseUp(POINT clientPoint) {
    if (!m_pressed) return;
    m_pressed = false;
    if (m_renderer) {
        m_renderer->Send(WireWriter(PacketType::Click).I32(clientPoint.x).I32(clientPoint.y).I32(m_scroll).Take());
    }
}

bool BrowserImpl::IsHandAt(POINT clientPoint) const {
    return m_display && m_display->HandAt(clientPoint.x, clientPoint.y, m_scroll);
}

ShownPage BrowserImpl::GetShown() {
    return {m_title, m_text, m_scroll, ZoomLevel(), m_loading};
}

DWORD BrowserImpl::RendererProcessId() const { return m_renderer ? m_renderer->ProcessId() : 0; }

bool BrowserImpl::Busy() const {
    if (m_loading) return true;
    return std::any_of(m_downloads.begin(), m_downloads.end(), [](const auto& d) { return !d->Finished(); });
}

bool BrowserImpl::Ping(uint32_t sequence) {
    return m_renderer && m_renderer->Send(WireWriter(PacketType::Ping).U32(sequence).Take());
}

}  // namespace kvengine
