#include "engine/impl/Renderer.h"

#include <windows.h>

#include <shlwapi.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "engine/CefBrowser.h"
#include "engine/impl/Channel.h"
#include "engine/impl/Css.h"
#include "engine/impl/DomScript.h"
#include "engine/impl/EngineLog.h"
#include "engine/impl/HtmlParser.h"
#include "engine/impl/Layout.h"
#include "engine/impl/ScriptHeap.h"
#include "engine/impl/TextMetrics.h"
#include "engine/impl/Wire.h"
#include "win/RefCounted.h"
#include "win/TextConversion.h"

namespace kvengine {
namespace {

class Renderer;

// What the renderer's browser and frame objects reach the renderer through;
// they may outlive it (the application can keep them), so it is shared.
struct RendererLink {
    std::mutex mutex;
    Renderer* renderer = nullptr;
    Channel* channel = nullptr;
    int browserId = 0;
    bool popup = false;
    bool hasDocument = false;
    std::wstring url;

    bool Send(std::string packet) {
        std::lock_guard<std::mutex> lock(mutex);
        return channel && channel->Send(std::move(packet));
    }
};

class RendererFrame;

class RendererBrowser : public kvwin::RefCounted<CefBrowser> {
public:
    explicit RendererBrowser(std::shared_ptr<RendererLink> link) : m_link(std::move(link)) {}

    CefRefPtr<CefBrowserHost> GetHost() override { return nullptr; }
    int GetIdentifier() override { return m_link->browserId; }
    bool IsSame(CefRefPtr<CefBrowser> that) override { return that && that->GetIdentifier() == GetIdentifier(); }
    bool IsPopup() override { return m_link->popup; }
    bool HasDocument() override {
        std::lock_guard<std::mutex> lock(m_link->mutex);
        return m_link->hasDocument;
    }
    CefRefPtr<CefFrame> GetMainFrame() override;
    // History lives in the browser process; the renderer does not know it.
    bool CanGoBack() override { return false; }
    bool CanGoForward() override { return false; }
    void GoBack() override { m_link->Send(WireWriter(PacketType::History).I32(-1).Take()); }
    void GoForward() override { m_link->Send(WireWriter(PacketType::History).I32(1).Take()); }
    void Reload() override { m_link->Send(WireWriter(PacketType::History).I32(0).Take()); }
    bool SendProcessMessage(CefProcessId target, CefRefPtr<CefProcessMessage> message) override {
        if (target != PID_BROWSER || !message) return false;
        return m_link->Send(WireWriter(PacketType::ProcessMessage)
                                .Text(message->GetName().ToWString())
                                .Value(Variant::List(ListItems(message->GetArgumentList())))
                                .Take());
    }

private:
    const std::shared_ptr<RendererLink> m_link;
};

class RendererFrame : public kvwin::RefCounted<CefFrame> {
public:
    RendererFrame(std::shared_ptr<RendererLink> link, CefRefPtr<CefBrowser> browser)
        : m_link(std::move(link)), m_browser(std::move(browser)) {}

    bool IsMain() override { return true; }
    int64_t GetIdentifier() override { return 1; }
    CefRefPtr<CefBrowser> GetBrowser() override { return m_browser; }
    CefString GetURL() override {
        std::lock_guard<std::mutex> lock(m_link->mutex);
        return m_link->url;
    }
    void LoadURL(const CefString& url) override {
        m_link->Send(WireWriter(PacketType::Navigate).Text(url.ToWString()).Take());
    }
    void LoadString(const CefString& html, const CefString& url) override {
        m_link->Send(WireWriter(PacketType::LoadString).Text(html.ToWString()).Text(url.ToWString()).Take());
    }
    void ExecuteJavaScript(const CefString& code, const CefString& scriptUrl, int startLine) override;

private:
    const std::shared_ptr<RendererLink> m_link;
    const CefRefPtr<CefBrowser> m_browser;
};

CefRefPtr<CefFrame> RendererBrowser::GetMainFrame() { return new RendererFrame(m_link, this); }

class Renderer {
public:
    Renderer(std::unique_ptr<Channel> channel, CefRefPtr<CefApp> app)
        : m_channel(std::move(channel)), m_app(std::move(app)), m_link(std::make_shared<RendererLink>()) {
        m_link->renderer = this;
        m_link->channel = m_channel.get();
        if (m_app) m_handler = m_app->GetRenderProcessHandler();
    }

    ~Renderer() {
        {
            std::lock_guard<std::mutex> lock(m_link->mutex);
            m_link->renderer = nullptr;
            m_link->channel = nullptr;
        }
        m_channel->Close();
    }

    int Run() {
        t_current = this;
        m_channel->Start(
            [this](std::string packet) {
                NoteArrival(packet);
                Post([this, p = std::move(packet)] { Handle(p); });
            },
            [this] {
                m_ending = true;
                Post([this] { m_exit = true; });
            });
        {
            ScriptHeap heap([this](const std::wstring& url, const std::wstring& name) {
                m_link->Send(WireWriter(PacketType::OpenPopup).Text(url).Text(name).Take());
            });
            heap.StopWhen([this] { return m_ending || m_commitsWaiting > 0; });
            m_heap = &heap;
            while (!m_exit) {
                std::function<void()> task;
                bool more = false;
                {
                    std::unique_lock<std::mutex> lock(m_mutex);
                    if (m_timers.empty()) m_wake.wait(lock, [this] { return !m_tasks.empty(); });
                    else m_wake.wait_until(lock, m_timers.begin()->first, [this] { return !m_tasks.empty(); });
                    if (!m_tasks.empty()) {
                        task = std::move(m_tasks.front());
                        m_tasks.pop_front();
                    }
                    more = !m_tasks.empty();
                }
                heap.StartTimeBudget();
                if (task) task();
                else RunDueTimer();
                // What the scripts changed is shown once the queue has nothing more for now.
                if (!more && !m_exit) Render();
            }
            ReleaseContext();
            m_heap = nullptr;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_tasks.clear();
        t_current = nullptr;
        return 0;
    }

    bool Post(std::function<void()> task) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_tasks.push_back(std::move(task));
        }
        m_wake.notify_one();
        return true;
    }

    void RunScript(const std::wstring& code, const std::wstring& url, int line) {
        if (!m_context) {
            KV_LOG(LOGSEVERITY_WARNING) << "a script was sent before any document; it did not run";
            return;
        }
        m_heap->Run(*m_context, code, url, line);
    }

    static thread_local Renderer* t_current;

private:
    typedef std::chrono::steady_clock Clock;

    void SetTimer(uint32_t id, int delayMs) {
        ClearTimer(id);
        const auto due = Clock::now() + std::chrono::milliseconds(delayMs);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_timerDue[id] = m_timers.emplace(due, id);
    }

    void ClearTimer(uint32_t id) {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_timerDue.find(id);
        if (found == m_timerDue.end()) return;
        m_timers.erase(found->second);
        m_timerDue.erase(found);
    }

    void RunDueTimer() {
        uint32_t id = 0;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_timers.empty() || m_timers.begin()->first > Clock::now()) return;
            id = m_timers.begin()->second;
            m_timerDue.erase(id);
            m_timers.erase(m_timers.begin());
        }
        if (m_dom) m_dom->FireTimer(id);
    }

    void DropTimers() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_timers.clear();
        m_timerDue.clear();
    }

    // Styles and lays out the document when it or the window changed, and sends what it shows.
    void Render() {
        if (!m_document || m_viewport.width <= 0) return;
        if (m_document->Version() == m_renderedVersion && !m_viewportChanged) return;
        m_renderedVersion = m_document->Version();
        m_viewportChanged = false;
        m_styles.Compute(*m_document);
        if (!m_measurer) m_measurer = std::make_unique<TextMeasurer>();
        m_layout.Run(*m_document, m_viewport, *m_measurer);
        WireWriter out(PacketType::Display);
        out.U32(m_navigation).Text(m_document->Title());
        m_layout.Display().Write(out);
        m_link->Send(out.Take());
    }

    void Click(int x, int y, int scroll) {
        if (!m_dom) return;
        Render();  // the click reaches what the page shows now
        m_dom->Click(m_layout.HitTest(x, y, scroll));
    }

    // A URL as a page wrote it, against the document's own address.
    std::wstring Resolve(const std::wstring& target) {
        std::wstring base;
        {
            std::lock_guard<std::mutex> lock(m_link->mutex);
            base = m_link->url;
        }
        if (base.empty() || target.empty()) return target;
        std::wstring combined(8192, L'\0');
        DWORD size = static_cast<DWORD>(combined.size());
        if (FAILED(UrlCombineW(base.c_str(), target.c_str(), combined.data(), &size, 0))) return target;
        return combined.c_str();
    }

    DomScript::Host ScriptHost() {
        DomScript::Host host;
        host.navigate = [this](const std::wstring& url) {
            m_link->Send(WireWriter(PacketType::Navigate).Text(Resolve(url)).Take());
        };
        host.reload = [this] { m_link->Send(WireWriter(PacketType::History).I32(0).Take()); };
        host.setTimer = [this](uint32_t id, int delay) { SetTimer(id, delay); };
        host.clearTimer = [this](uint32_t id) { ClearTimer(id); };
        host.url = [this] {
            std::lock_guard<std::mutex> lock(m_link->mutex);
            return m_link->url;
        };
        return host;
    }

    // On the channel's thread, ahead of the queue: a new document or the end
    // makes the scripts running now pointless, so they are stopped at once.
    void NoteArrival(const std::string& packet) {
        const PacketType type = WireReader(packet).Type();
        if (type == PacketType::Commit) ++m_commitsWaiting;
        else if (type == PacketType::Exit) m_ending = true;
    }

    void Handle(const std::string& packet) {
        WireReader in(packet);
        switch (in.Type()) {
        case PacketType::Attach: {
            const int id = in.I32();
            const bool popup = in.U8() != 0;
            std::lock_guard<std::mutex> lock(m_link->mutex);
            m_link->browserId = id;
            m_link->popup = popup;
            break;
        }
        case PacketType::Commit: {
            --m_commitsWaiting;
            const uint32_t navigation = in.U32();
            const std::wstring url = in.Text();
            const std::string document = in.Bytes();
            if (in.Ok()) Commit(navigation, url, document);
            break;
        }
        case PacketType::RunScript: {
            const std::wstring code = in.Text();
            const std::wstring url = in.Text();
            const int line = in.I32();
            if (in.Ok()) RunScript(code, url, line);
            break;
        }
        case PacketType::ProcessMessage: {
            const std::wstring name = in.Text();
            Variant arguments = in.Value();
            if (!in.Ok() || arguments.type != VTYPE_LIST || !m_handler) break;
            CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(name);
            ListItems(message->GetArgumentList()) = std::move(arguments.list);
            m_handler->OnProcessMessageReceived(Browser(), PID_BROWSER, message);
            break;
        }
        case PacketType::Ping:
            Render();  // what the page shows goes out before the answer
            m_link->Send(WireWriter(PacketType::Pong).U32(in.U32()).Take());
            break;
        case PacketType::Viewport: {
            Viewport viewport;
            viewport.width = in.I32();
            viewport.height = in.I32();
            viewport.scale = in.F64();
            if (!in.Ok() || !(viewport.scale > 0 && viewport.scale < 100)) break;
            m_viewport = viewport;
            m_viewportChanged = true;
            break;
        }
        case PacketType::Click: {
            const int x = in.I32();
            const int y = in.I32();
            const int scroll = in.I32();
            if (in.Ok()) Click(x, y, scroll);
            break;
        }
        case PacketType::Exit:
            m_exit = true;
            break;
        default:
            KV_LOG(LOGSEVERITY_WARNING) << "unknown packet from the browser process";
            break;
        }
    }

    CefRefPtr<CefBrowser> Browser() {
        if (!m_browser) m_browser = new RendererBrowser(m_link);
        return m_browser;
    }

    void ReleaseContext() {
        DropTimers();
        m_dom = nullptr;
        if (!m_context) return;
        if (m_handler) {
            ContextScope scope(m_context.get());
            m_handler->OnContextReleased(m_context->GetBrowser(), m_context->GetFrame(), m_context);
        }
        m_heap->Drop(*m_context);
        m_context = nullptr;
    }

    void Commit(uint32_t navigation, const std::wstring& url, const std::string& document) {
        ReleaseContext();
        {
            std::lock_guard<std::mutex> lock(m_link->mutex);
            m_link->url = url;
            m_link->hasDocument = true;
        }
        m_document = ParseDocument(kvwin::Utf8ToWide(document));
        m_navigation = navigation;
        if (m_heap->Valid()) {
            CefRefPtr<CefBrowser> browser = Browser();
            m_context = m_heap->NewContext(browser, browser->GetMainFrame());
            m_dom = std::make_unique<DomScript>(*m_context, *m_document, ScriptHost());
            if (m_handler) {
                ContextScope scope(m_context.get());
                m_handler->OnContextCreated(browser, m_context->GetFrame(), m_context);
            }
            for (const InlineScript& script : InlineScripts(*m_document)) {
                m_heap->Run(*m_context, script.code, url, script.line);
            }
            if (m_dom) m_dom->Loaded();
        }
        m_renderedVersion = 0;
        Render();
        m_link->Send(WireWriter(PacketType::DocumentReady)
                         .U32(navigation)
                         .Text(m_document->Title())
                         .Text(ReadableText(*m_document))
                         .Take());
    }

    std::unique_ptr<Channel> m_channel;
    CefRefPtr<CefApp> m_app;
    CefRefPtr<CefRenderProcessHandler> m_handler;
    std::shared_ptr<RendererLink> m_link;
    CefRefPtr<CefBrowser> m_browser;
    ScriptHeap* m_heap = nullptr;
    CefRefPtr<ScriptContext> m_context;
    bool m_exit = false;
    std::atomic<bool> m_ending{false};       // told to end, or the browser process is gone
    std::atomic<int> m_commitsWaiting{0};    // documents that arrived and wait in the queue

    // The shown document, and what scripts, styles and layout keep of it.
    std::unique_ptr<Document> m_document;
    std::unique_ptr<DomScript> m_dom;
    uint32_t m_navigation = 0;
    StyleEngine m_styles;
    PageLayout m_layout;
    std::unique_ptr<TextMeasurer> m_measurer;  // made on the renderer thread, which uses its DC
    Viewport m_viewport;
    bool m_viewportChanged = false;
    uint64_t m_renderedVersion = 0;

    std::mutex m_mutex;  // guards the tasks and the timers
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_tasks;
    std::multimap<Clock::time_point, uint32_t> m_timers;
    std::map<uint32_t, std::multimap<Clock::time_point, uint32_t>::iterator> m_timerDue;
};

thread_local Renderer* Renderer::t_current = nullptr;

// The renderer of a renderer process, where it serves the only browser;
// other threads of that process post to it.
std::mutex g_processRendererMutex;
Renderer* g_processRenderer = nullptr;

void RendererFrame::ExecuteJavaScript(const CefString& code, const CefString& scriptUrl, int startLine) {
    std::lock_guard<std::mutex> lock(m_link->mutex);
    if (m_link->renderer) {
        Renderer* renderer = m_link->renderer;
        renderer->Post([renderer, c = code.ToWString(), u = scriptUrl.ToWString(), startLine] {
            renderer->RunScript(c, u, startLine);
        });
    }
}

}  // namespace

int RunRenderer(const std::wstring& channelName, CefRefPtr<CefApp> app, bool ownProcess) {
    std::unique_ptr<Channel> channel = Channel::Open(channelName);
    if (!channel) return 1;
    Renderer renderer(std::move(channel), std::move(app));
    if (ownProcess) {
        std::lock_guard<std::mutex> lock(g_processRendererMutex);
        g_processRenderer = &renderer;
    }
    const int code = renderer.Run();
    if (ownProcess) {
        std::lock_guard<std::mutex> lock(g_processRendererMutex);
        g_processRenderer = nullptr;
    }
    return code;
}

bool PostToRenderer(std::function<void()> task) {
    if (Renderer::t_current) return Renderer::t_current->Post(std::move(task));
    std::lock_guard<std::mutex> lock(g_processRendererMutex);
    return g_processRenderer && g_processRenderer->Post(std::move(task));
}

bool OnRendererThread() { return Renderer::t_current != nullptr; }

}  // namespace kvengine
