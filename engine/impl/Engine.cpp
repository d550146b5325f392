#include "engine/impl/Engine.h"

#include <atomic>

#include "engine/CefCookie.h"
#include "engine/CefTask.h"
#include "engine/impl/BrowserImpl.h"
#include "engine/impl/Download.h"
#include "engine/impl/EngineLog.h"
#include "engine/impl/Network.h"
#include "engine/impl/Renderer.h"
#include "engine/impl/RendererHost.h"
#include "engine/impl/WorkQueue.h"
#include "win/RefCounted.h"

namespace kvengine {
namespace {

std::atomic<Engine*> g_engine{nullptr};
std::atomic<bool> g_highDpi{false};

// Waits for a handle while answering messages other threads send to this
// one: the browsers' windows may be children of this thread's windows.
void WaitAnswering(HANDLE handle) {
    for (;;) {
        const DWORD r = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE);
        if (r != WAIT_OBJECT_0 + 1) return;
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace

Engine* Engine::Get() { return g_engine.load(); }

bool PostUiTask(std::function<void()> task) {
    Engine* engine = Engine::Get();
    return engine && engine->PostUi(std::move(task));
}

bool HighDpiEnabled() { return g_highDpi.load(); }

Engine::Engine(const CefSettings& settings, CefRefPtr<CefApp> app) : m_settings(settings), m_app(std::move(app)) {}

Engine::~Engine() = default;

bool Engine::Start(const CefMainArgs&, const CefSettings& settings, CefRefPtr<CefApp> app) {
    if (g_engine.load()) return false;
    ConfigureLog(settings.log_file.ToWString(), settings.log_severity);
    if (app) app->OnBeforeCommandLineProcessing(CefString(), CefCommandLine::GetGlobalCommandLine());
    PartFile::RemoveLeftOvers();
    auto* engine = new Engine(settings, app);
    engine->m_files = std::make_unique<WorkQueue>();
    engine->m_network = std::make_unique<Network>(settings.cache_path.ToWString(), settings.user_agent.ToWString(),
                                                  settings.locale.ToWString());
    g_engine = engine;
    if (!engine->StartUi()) {
        g_engine = nullptr;
        delete engine;
        CloseLog();
        return false;
    }
    KV_LOG(LOGSEVERITY_INFO) << "engine started (" << (settings.single_process ? "single process" : "renderer processes")
                             << ")";
    return true;
}

bool Engine::StartUi() {
    if (!m_settings.multi_threaded_message_loop) {
        m_ui = std::make_unique<TaskWindow>();
        BrowserImpl::RegisterWindowClass();
        return m_ui->Valid();
    }
    kvwin::UniqueKernelHandle started(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    m_uiFinished.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    m_uiThread = std::thread([this, h = started.get()] { UiThreadMain(h); });
    WaitForSingleObject(started.get(), INFINITE);
    if (m_ui && m_ui->Valid()) return true;
    if (m_uiThread.joinable()) m_uiThread.join();
    return false;
}

void Engine::UiThreadMain(HANDLE started) {
    m_ui = std::make_unique<TaskWindow>();
    BrowserImpl::RegisterWindowClass();
    const bool ok = m_ui->Valid();
    SetEvent(started);
    if (!ok) return;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    CloseAllOnUi();
    BrowserImpl::UnregisterWindowClass();
    m_ui->Shutdown();
    SetEvent(m_uiFinished.get());
}

void Engine::Stop() {
    Engine* engine = g_engine.load();
    if (!engine) return;
    engine->StopUi();
    g_engine = nullptr;
    {
        std::lock_guard<std::mutex> lock(engine->m_retiredMutex);
        for (auto& renderer : engine->m_retired) renderer->Finish(RendererHost::kRendererExitGraceMs);
        engine->m_retired.clear();
    }
    engine->m_network->FlushCookies();
    engine->m_files.reset();
    engine->m_network.reset();
    KV_LOG(LOGSEVERITY_INFO) << "engine stopped";
    delete engine;
    CloseLog();
}

void Engine::StopUi() {
    if (!m_settings.multi_threaded_message_loop) {
        CloseAllOnUi();
        BrowserImpl::UnregisterWindowClass();
        m_ui->Shutdown();
        return;
    }
    m_ui->Post([] { PostQuitMessage(0); });
    m_ui->Disable();
    WaitAnswering(m_uiFinished.get());
    m_uiThread.join();
}

void Engine::CloseAllOnUi() {
    // Browsers left open: their windows go now, each reporting OnBeforeClose.
    for (const auto& browser : Browsers()) {
        if (HWND window = browser->Window()) DestroyWindow(window);
    }
    m_browsers.clear();
}

bool Engine::PostUi(std::function<void()> task) { return m_ui && m_ui->Post(std::move(task)); }

void Engine::AddBrowser(CefRefPtr<BrowserImpl> browser) { m_browsers[browser->GetIdentifier()] = browser; }

void Engine::RemoveBrowser(int id) { m_browsers.erase(id); }

std::vector<CefRefPtr<BrowserImpl>> Engine::Browsers() const {
    std::vector<CefRefPtr<BrowserImpl>> list;
    for (const auto& [id, browser] : m_browsers) list.push_back(browser);
    return list;
}

CefRefPtr<BrowserImpl> Engine::FindBrowser(int id) const {
    const auto it = m_browsers.find(id);
    return it == m_browsers.end() ? nullptr : it->second;
}

void Engine::Retire(std::unique_ptr<RendererHost> renderer) {
    if (!renderer) return;
    std::lock_guard<std::mutex> lock(m_retiredMutex);
    m_retired.push_back(std::move(renderer));
}


// ---- process, threads and tasks ----

namespace {

class ClosureTask : public kvwin::RefCounted<CefTask> {
public:
    explicit ClosureTask(std::function<void()> closure) : m_closure(std::move(closure)) {}
    void Execute() override {
        if (m_closure) m_closure();
    }

private:
    std::function<void()> m_closure;
};

class CookieManager : public kvwin::RefCounted<CefCookieManager> {
public:
    bool FlushStore(CefRefPtr<CefCompletionCallback> callback) override {
        Engine* engine = Engine::Get();
        if (!engine) return false;
        engine->Files().Post([callback] {
            Engine* e = Engine::Get();
            if (!e) return;
            e->Net().FlushCookies();
            if (callback) e->PostUi([callback] { callback->OnComplete(); });
        });
        return true;
    }
};

}  // namespace

int CefExecuteProcess(const CefMainArgs&, CefRefPtr<CefApp> application) {
    CefRefPtr<CefCommandLine> line = CefCommandLine::GetGlobalCommandLine();
    const CefString type = line->GetSwitchValue("type");
    if (type.empty()) return -1;
    ConfigureLog(line->GetSwitchValue("log-file").ToWString(),
                           static_cast<cef_log_severity_t>(_wtoi(line->GetSwitchValue("log-severity").c_str())));
    if (application) application->OnBeforeCommandLineProcessing(type, line);
    if (type != CefString("renderer")) {
        KV_LOG(LOGSEVERITY_ERROR) << "this engine has no sub-process of type " << type.ToString();
        CloseLog();
        return 1;
    }
    const int code = RunRenderer(line->GetSwitchValue("kv-channel").ToWString(), application, true);
    CloseLog();
    return code;
}

bool CefInitialize(const CefMainArgs& args, const CefSettings& settings, CefRefPtr<CefApp> application) {
    return Engine::Start(args, settings, application);
}

void CefShutdown() { Engine::Stop(); }

void CefEnableHighDPISupport() {
    g_highDpi = true;
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    typedef BOOL(WINAPI * SetContext)(HANDLE);
    typedef BOOL(WINAPI * SetAware)();
    if (auto setContext = reinterpret_cast<SetContext>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")))) {
        // Per-monitor (version 2) awareness context.
        if (setContext(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4)))) return;
    }
    if (auto setAware = reinterpret_cast<SetAware>(reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDPIAware")))) {
        setAware();
    }
}

void CefRunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void CefQuitMessageLoop() {
    Engine* engine = Engine::Get();
    if (!engine || engine->Settings().multi_threaded_message_loop) return;
    PostThreadMessageW(engine->UiThreadId(), WM_QUIT, 0, 0);
}

bool CefCurrentlyOn(CefThreadId thread) {
    if (thread == TID_RENDERER) return OnRendererThread();
    Engine* engine = Engine::Get();
    return engine && engine->OnUiThread();
}

bool CefPostTask(CefThreadId thread, CefRefPtr<CefTask> task) {
    if (!task) return false;
    if (thread == TID_RENDERER) return PostToRenderer([task] { task->Execute(); });
    return PostUiTask([task] { task->Execute(); });
}

CefRefPtr<CefTask> CefCreateClosureTask(std::function<void()> closure) { return new ClosureTask(std::move(closure)); }

CefRefPtr<CefCookieManager> CefCookieManager::GetGlobalManager(CefRefPtr<CefCompletionCallback> callback) {
    if (!Engine::Get()) return nullptr;
    // The stored cookies were loaded when the engine started.
    if (callback) PostUiTask([callback] { callback->OnComplete(); });
    return new CookieManager();
}

bool CefBrowserHost::CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client, const CefString& url,
                                   const CefBrowserSettings& settings) {
    return PostUiTask([windowInfo, client, u = url.ToWString(), settings] {
        BrowserImpl::Create(windowInfo, client, u, settings, BrowserImpl::Kind::Normal);
    });
}

}  // namespace kvengine
