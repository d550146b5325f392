#pragma once
// The running engine of the browser process: its settings, its UI thread,
// the live browsers, the network and the renderers it started.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/CefApp.h"
#include "engine/impl/TaskWindow.h"
#include "win/UniqueHandle.h"

namespace kvengine {

class BrowserImpl;
class Network;
class RendererHost;
class WorkQueue;

class Engine {
public:
    // Null when the engine does not run.
    static Engine* Get();

    static bool Start(const CefMainArgs& args, const CefSettings& settings, CefRefPtr<CefApp> app);
    static void Stop();

    const CefSettings& Settings() const { return m_settings; }
    CefRefPtr<CefApp> App() const { return m_app; }
    Network& Net() { return *m_network; }
    WorkQueue& Files() { return *m_files; }

    bool PostUi(std::function<void()> task);
    bool OnUiThread() const { return m_ui && m_ui->IsCurrentThread(); }
    // For multi_threaded_message_loop 0: the thread that must run a loop.
    DWORD UiThreadId() const { return m_ui ? m_ui->ThreadId() : 0; }

    // UI thread only.
    int NextBrowserId() { return ++m_lastBrowserId; }
    void AddBrowser(CefRefPtr<BrowserImpl> browser);
    void RemoveBrowser(int id);
    std::vector<CefRefPtr<BrowserImpl>> Browsers() const;
    CefRefPtr<BrowserImpl> FindBrowser(int id) const;

    // Starts a renderer for a browser: a sub-process or, in single-process
    // mode, a thread; null when it cannot be started.
    std::unique_ptr<RendererHost> StartRenderer(int browserId, bool popup);
    // A renderer whose browser closed: waited for when the engine stops.
    void Retire(std::unique_ptr<RendererHost> renderer);

private:
    Engine(const CefSettings& settings, CefRefPtr<CefApp> app);
    ~Engine();
    bool StartUi();
    void StopUi();
    void CloseAllOnUi();
    void UiThreadMain(HANDLE started);

    CefSettings m_settings;
    CefRefPtr<CefApp> m_app;
    std::unique_ptr<Network> m_network;
    std::unique_ptr<WorkQueue> m_files;
    std::unique_ptr<TaskWindow> m_ui;  // made on the UI thread; kept until the engine is deleted
    std::thread m_uiThread;
    kvwin::UniqueKernelHandle m_uiFinished;  // set when the UI thread has closed everything
    int m_lastBrowserId = 0;
    std::map<int, CefRefPtr<BrowserImpl>> m_browsers;
    std::mutex m_retiredMutex;
    std::vector<std::unique_ptr<RendererHost>> m_retired;
};

// Posts to the UI thread of the running engine; false when none runs.
bool PostUiTask(std::function<void()> task);

// Set by CefEnableHighDPISupport: pages are then scaled by the monitor's DPI.
bool HighDpiEnabled();

}  // namespace kvengine
