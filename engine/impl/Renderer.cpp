#include "engine/impl/Renderer.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include "engine/CefBrowser.h"
#include "engine/impl/Channel.h"
#include "engine/impl/EngineLog.h"
#include "engine/impl/HtmlDocument.h"
#include "engine/impl/ScriptHeap.h"
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
                {
                    std::unique_lock<std::mutex> lock(m_mutex);
                    m_wake.wait(lock, [this] { return !m_tasks.empty(); });
                    task = std::move(m_tasks.front());
                    m_tasks.pop_front();
                }
                heap.StartTimeBudget();
                task();
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
            m_link->Send(WireWriter(PacketType::Pong).U32(in.U32()).Take());
            break;
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
        const HtmlDocument parsed = ParseHtml(kvwin::Utf8ToWide(document));
        if (m_heap->Valid()) {
            CefRefPtr<CefBrowser> browser = Browser();
            m_context = m_heap->NewContext(browser, browser->GetMainFrame());
            if (m_handler) {
                ContextScope scope(m_context.get());
                m_handler->OnContextCreated(browser, m_context->GetFrame(), m_context);
            }
            for (const InlineScript& script : parsed.scripts) m_heap->Run(*m_context, script.code, url, script.line);
        }
        m_link->Send(WireWriter(PacketType::DocumentReady).U32(navigation).Text(parsed.title).Text(parsed.text).Take());
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

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_tasks;
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
