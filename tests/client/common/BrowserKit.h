#pragma once
// What the client's engine-facing test programs share: a main that lets the
// program serve as its own renderer sub-process with the client's
// application object, the engine started with the client's settings, a
// recording main window (its window operations and the messages posted to
// it), and a browser made through the client's browser client.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "client/AppMessages.h"
#include "client/BrowserClient.h"
#include "client/SimpleApp.h"
#include "client/WindowConformity.h"
#include "engine/CefApp.h"
#include "engine/CefTask.h"
#include "engine/EngineKit.h"
#include "support/HttpTestServer.h"
#include "support/TestKit.h"

namespace kvclient::clienttest {

// Starting and stopping the engine, which the client's own code leaves to its start-up.
using kvengine::CefExecuteProcess;
using kvengine::CefInitialize;
using kvengine::CefMainArgs;
using kvengine::CefSettings;
using kvengine::CefShutdown;
using kvengine::LOGSEVERITY_WARNING;

inline CefRefPtr<CefApp>& TheApp() {
    static CefRefPtr<CefApp> app = new SimpleApp();
    return app;
}

// main() of every program here: a renderer sub-process ends at once with the engine's result.
inline int RunBrowserTestProgram(int argc, char** argv) {
    kvtest::ReportCrashes();
    const int code = CefExecuteProcess(CefMainArgs(GetModuleHandleW(nullptr)), TheApp());
    if (code >= 0) return code;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// A suite whose pages a local HTTP server serves from a fresh folder, kept
// for the whole suite (starting the server takes a while).
class ServedPagesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root = kvtest::FreshDirUnix("www");
        server = std::make_unique<kvtest::HttpTestServer>(root);
    }
    static void TearDownTestSuite() { server.reset(); }

    inline static std::string root;
    inline static std::unique_ptr<kvtest::HttpTestServer> server;
};

// The engine as the client starts it (renderer sub-processes, its own UI
// thread), with its log and cache in the test's work folder.
class EngineScope {
public:
    explicit EngineScope(bool singleProcess = false) : dataDir(kvtest::FreshDirUnix("data")) {
        const std::wstring data = kvtest::ToWindowsPath(dataDir) + L"\\";
        CefSettings settings;
        settings.single_process = singleProcess ? 1 : 0;
        settings.no_sandbox = 1;
        settings.multi_threaded_message_loop = 1;
        settings.log_file = data + L"cef.log";
        settings.log_severity = LOGSEVERITY_WARNING;
        settings.cache_path = data + L"cefcache\\";
        settings.user_data_path = data + L"cefcache\\userdata\\";
        ok = CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, TheApp());
        if (ok) uiThread = kvtest::CallOnUiThread<DWORD>([] { return GetCurrentThreadId(); }).value_or(0);
    }
    ~EngineScope() {
        if (ok) CefShutdown();
    }
    EngineScope(const EngineScope&) = delete;
    EngineScope& operator=(const EngineScope&) = delete;

    // The engine's folder (Unix path): "cef.log", "cefcache/".
    const std::string dataDir;
    bool ok = false;
    DWORD uiThread = 0;
};

// The main window's operations, recorded as "Name(arguments)" with the thread each came on.
class RecordingWindow : public IWindowConformityl {
public:
    struct Call {
        std::string text;
        DWORD thread;
    };

    void ResizeWindow(int width, int height) override {
        Add("ResizeWindow(" + std::to_string(width) + "," + std::to_string(height) + ")");
    }
    void WindowCenter() override { Add("WindowCenter()"); }
    void SetThemeColor(DWORD argb) override { Add("SetThemeColor(" + Hex(argb) + ")"); }
    void SetBorder(int width) override { Add("SetBorder(" + std::to_string(width) + ")"); }
    void WindowFlash() override { Add("WindowFlash()"); }
    void WindowVisible(int flag) override { Add("WindowVisible(" + std::to_string(flag) + ")"); }
    void SendMenuMessage(int type) override { Add("SendMenuMessage(" + std::to_string(type) + ")"); }
    void SetWinTitle(const std::wstring& title) override { Add("SetWinTitle('" + kvtest::Narrow(title) + "')"); }
    void SetTitleColor(DWORD argb) override { Add("SetTitleColor(" + Hex(argb) + ")"); }

    std::vector<Call> Calls() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }
    std::vector<std::string> Texts() {
        std::vector<std::string> texts;
        for (const Call& call : Calls()) texts.push_back(call.text);
        return texts;
    }
    size_t Count() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls.size();
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.clear();
    }

private:
    static std::string Hex(DWORD value) {
        char text[16];
        std::snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(value));
        return text;
    }
    void Add(std::string text) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.push_back({std::move(text), GetCurrentThreadId()});
    }

    std::mutex m_mutex;
    std::vector<Call> m_calls;
};

// A message-only window on the test thread standing in for the main window's
// handle: it records the private messages posted to it, in order.
// Dispatches what this thread's queue holds already. A message posted before
// this call (by this thread, or by the engine's UI thread before it went idle)
// is handled by its return, with no time to wait out.
inline void DispatchQueued() {
    kvtest::PumpUntil([] { return true; }, 0);
}

class MessageWindow {
public:
    MessageWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KvTestMessageWindow";
        RegisterClassW(&wc);
        m_window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                   nullptr);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~MessageWindow() { DestroyWindow(m_window); }
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWND Get() const { return m_window; }
    // Every private message so far, as its number, once the queue has been pumped.
    const std::vector<UINT>& Messages() const { return m_messages; }
    size_t Count(UINT message) const {
        size_t n = 0;
        for (const UINT m : m_messages) n += m == message ? 1 : 0;
        return n;
    }
    void Clear() { m_messages.clear(); }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message >= WM_APP_BROWSER_CREATED && message <= WM_APP_UPDATE_AVAILABLE) {
            // The private messages always carry 0 and 0: anything else is recorded as a wrong message.
            self->m_messages.push_back(wParam == 0 && lParam == 0 ? message : 0);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
    std::vector<UINT> m_messages;
};

// The client under test, with what the engine told it recorded on the way
// through: creation, closing, load failures and every bridge message with
// its arguments and whether the client took it.
class ObservedClient : public CBrowserClient {
public:
    explicit ObservedClient(IWindowConformityl* window) : CBrowserClient(window) {}

    bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId source,
                                  CefRefPtr<CefProcessMessage> message) override {
        const bool handled = CBrowserClient::OnProcessMessageReceived(browser, source, message);
        std::string line = message->GetName().ToString() + "(";
        CefRefPtr<CefListValue> args = message->GetArgumentList();
        for (size_t i = 0; i < args->GetSize(); ++i) {
            if (i) line += ",";
            line += Argument(*args, i);
        }
        line += handled ? ") taken" : ") refused";
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bridgeCalls.push_back(line);
        }
        Add(line);
        return handled;
    }
    void OnAfterCreated(CefRefPtr<CefBrowser> browser) override {
        CBrowserClient::OnAfterCreated(browser);
        Add("AfterCreated " + std::to_string(browser->GetIdentifier()));
    }
    void OnBeforeClose(CefRefPtr<CefBrowser> browser) override {
        CBrowserClient::OnBeforeClose(browser);
        Add("BeforeClose " + std::to_string(browser->GetIdentifier()));
    }
    void OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, ErrorCode code, const CefString& text,
                     const CefString& url) override {
        Add("LoadError " + std::to_string(code) + " " + url.ToString());
        CBrowserClient::OnLoadError(browser, frame, code, text, url);
    }

    // The recorded lines that start with `prefix`.
    std::vector<std::string> Events(const std::string& prefix = {}) {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<std::string> out;
        for (const auto& e : m_events) {
            if (e.compare(0, prefix.size(), prefix) == 0) out.push_back(e);
        }
        return out;
    }
    // The bridge messages alone, as "Name(arguments) taken" or "... refused".
    std::vector<std::string> BridgeCalls() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_bridgeCalls;
    }
    // Callbacks that came on another thread than the engine's UI thread.
    int OffUiThread() const { return m_offUiThread; }

private:
    // An int or a double as its number, anything else as quoted text.
    static std::string Argument(CefListValue& args, size_t index) {
        if (args.GetType(index) == VTYPE_INT) return std::to_string(args.GetInt(index));
        if (args.GetType(index) != VTYPE_DOUBLE) return "'" + args.GetString(index).ToString() + "'";
        const double value = args.GetDouble(index);
        if (std::isnan(value)) return "NaN";
        char number[32];
        std::snprintf(number, sizeof number, "%.15g", value);
        return number;
    }
    void Add(std::string line) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!CefCurrentlyOn(TID_UI)) ++m_offUiThread;
        m_events.push_back(std::move(line));
    }

    std::mutex m_mutex;
    std::vector<std::string> m_events;
    std::vector<std::string> m_bridgeCalls;
    std::atomic<int> m_offUiThread{0};
};

using kvtest::ParentWindow;

// The main window's browser: a browser client with the recording window,
// reporting to the message window, and its main browser once created.
class ClientBrowser {
public:
    ClientBrowser() : client(new ObservedClient(&window)) { client->SetMainWindow(messages.Get()); }
    ~ClientBrowser() { Close(); }
    ClientBrowser(const ClientBrowser&) = delete;
    ClientBrowser& operator=(const ClientBrowser&) = delete;

    // Creates the browser as the main window does and waits until the engine is idle.
    CefRefPtr<CefBrowser> Open(const std::string& url) {
        CefWindowInfo info;
        info.SetAsChild(parent.Get(), RECT{0, 0, 640, 480});
        CefBrowserSettings settings;
        settings.default_encoding = "UTF-8";
        if (!CefBrowserHost::CreateBrowser(info, client, url, settings)) return nullptr;
        kvtest::PumpUntil([&] { return client->GetMainBrowser() != nullptr; }, 20000);
        Idle();
        return client->GetMainBrowser();
    }
    // Lets the engine finish everything it was given and takes the posted messages in.
    bool Idle(DWORD timeoutMs = 30000) {
        const bool idle = kvtest::WaitForIdle(timeoutMs);
        DispatchQueued();
        return idle;
    }
    // Closes every browser of the client and waits until the last is gone.
    void Close() {
        CefRefPtr<CefBrowser> main = client->GetMainBrowser();
        if (!main) return;
        client->CloseAllBrowsers(true);
        kvtest::PumpUntil([&] { return !client->GetMainBrowser(); }, 20000);
        kvtest::WaitForIdle(20000);
    }

    RecordingWindow window;
    MessageWindow messages;
    ParentWindow parent{800, 600};
    CefRefPtr<ObservedClient> client;
};

}  // namespace kvclient::clienttest
