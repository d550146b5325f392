#pragma once
// What the engine's test programs share: a main that lets the program serve
// as its own renderer sub-process, an application object whose renderer side
// gives pages a small native object, a client that records every callback in
// order, and helpers to start the engine and make browsers.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/CefApp.h"
#include "engine/CefClient.h"
#include "engine/CefCookie.h"
#include "engine/CefTask.h"
#include "engine/CefV8.h"
#include "engine/EngineKit.h"
#include "support/TestKit.h"
#include "win/RefCounted.h"
#include "win/UniqueHandle.h"

namespace kvtest {

// The engine's interface, as the tests use it.
using kvengine::CefApp;
using kvengine::CefBeforeDownloadCallback;
using kvengine::CefBrowser;
using kvengine::CefBrowserHost;
using kvengine::CefBrowserSettings;
using kvengine::CefClient;
using kvengine::CefCommandLine;
using kvengine::CefCompletionCallback;
using kvengine::CefContextMenuHandler;
using kvengine::CefContextMenuParams;
using kvengine::CefCookieManager;
using kvengine::CefCurrentlyOn;
using kvengine::CefDictionaryValue;
using kvengine::CefDisplayHandler;
using kvengine::CefDownloadHandler;
using kvengine::CefDownloadItem;
using kvengine::CefDownloadItemCallback;
using kvengine::CefEventHandle;
using kvengine::CefExecuteProcess;
using kvengine::CefFrame;
using kvengine::CefInitialize;
using kvengine::CefKeyEvent;
using kvengine::CefKeyboardHandler;
using kvengine::CefLifeSpanHandler;
using kvengine::CefListValue;
using kvengine::CefLoadHandler;
using kvengine::CefMainArgs;
using kvengine::CefMenuModel;
using kvengine::CefPoint;
using kvengine::CefProcessId;
using kvengine::CefProcessMessage;
using kvengine::CefRefPtr;
using kvengine::CefRenderProcessHandler;
using kvengine::CefRequest;
using kvengine::CefRequestHandler;
using kvengine::CefResponse;
using kvengine::CefSettings;
using kvengine::CefShutdown;
using kvengine::CefString;
using kvengine::CefV8Context;
using kvengine::CefV8Handler;
using kvengine::CefV8Value;
using kvengine::CefV8ValueList;
using kvengine::CefValue;
using kvengine::CefWindowInfo;
using kvengine::CefWriteJSON;
using kvengine::JSON_WRITER_DEFAULT;
using kvengine::LOGSEVERITY_WARNING;
using kvengine::MENU_ID_RELOAD;
using kvengine::PID_BROWSER;
using kvengine::PID_RENDERER;
using kvengine::TID_UI;
using kvengine::V8_PROPERTY_ATTRIBUTE_DONTDELETE;
using kvengine::V8_PROPERTY_ATTRIBUTE_NONE;
using kvengine::VTYPE_DICTIONARY;
using kvengine::VTYPE_INT;
using kvengine::VTYPE_INVALID;
using kvengine::VTYPE_LIST;
using kvengine::VTYPE_NULL;
using kvengine::VTYPE_STRING;

// Serves the page's `native` object: native.send(...) sends a process
// message "send" with int entries for 32-bit integers and string entries for
// the rest (empty for what is not a string); native.echo(x) returns x;
// native.fail(text) throws; native.renderer() returns "<process id>";
// native.go(url) has the renderer's frame load url (as a page's own
// navigation does); native.hang() blocks the renderer for 30 s outside any script.
class NativeHandler : public kvwin::RefCounted<CefV8Handler> {
public:
    bool Execute(const CefString& name, CefRefPtr<CefV8Value>, const CefV8ValueList& arguments,
                 CefRefPtr<CefV8Value>& retval, CefString& exception) override {
        const std::string n = name.ToString();
        if (n == "echo") {
            retval = arguments.empty() ? CefV8Value::CreateUndefined() : arguments[0];
            return true;
        }
        if (n == "fail") {
            exception = arguments.empty() ? CefString("failed") : arguments[0]->GetStringValue();
            return true;
        }
        if (n == "switch") {
            retval = CefV8Value::CreateString(CefCommandLine::GetGlobalCommandLine()->GetSwitchValue("kv-test-switch"));
            return true;
        }
        if (n == "go") {
            CefV8Context::GetCurrentContext()->GetFrame()->LoadURL(arguments.empty() ? CefString() : arguments[0]->GetStringValue());
            return true;
        }
        if (n == "hang") {
            Sleep(30000);
            return true;
        }
        if (n == "renderer") {
            retval = CefV8Value::CreateString(std::to_string(GetCurrentProcessId()));
            return true;
        }
        CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(n);
        CefRefPtr<CefListValue> list = message->GetArgumentList();
        list->SetSize(arguments.size());
        for (size_t i = 0; i < arguments.size(); ++i) {
            if (arguments[i]->IsInt()) list->SetInt(i, arguments[i]->GetIntValue());
            else list->SetString(i, arguments[i]->GetStringValue());
        }
        CefV8Context::GetCurrentContext()->GetBrowser()->SendProcessMessage(PID_BROWSER, message);
        return true;
    }
};

class TestApp : public kvwin::RefCounted<CefApp, CefRenderProcessHandler> {
public:
    CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override { return this; }
    void OnBeforeCommandLineProcessing(const CefString& type, CefRefPtr<CefCommandLine> line) override {
        line->AppendSwitchWithValue("kv-test-switch", type.empty() ? CefString("browser") : type);
    }
    void OnContextCreated(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefV8Context> context) override {
        CefRefPtr<CefV8Value> object = CefV8Value::CreateObject();
        context->GetGlobal()->SetValue("native", object, V8_PROPERTY_ATTRIBUTE_DONTDELETE);
        for (const char* name : {"send", "echo", "fail", "renderer", "switch", "go", "hang", "other"}) {
            object->SetValue(name, CefV8Value::CreateFunction(name, m_handler), V8_PROPERTY_ATTRIBUTE_DONTDELETE);
        }
        // The client's bridge object, as pages call it: every call arrives as a process message.
        CefRefPtr<CefV8Value> bridge = CefV8Value::CreateObject();
        context->GetGlobal()->SetValue("AppExtension", bridge, V8_PROPERTY_ATTRIBUTE_DONTDELETE);
        for (const char* name : {"ChangeLine", "Click"}) {
            bridge->SetValue(name, CefV8Value::CreateFunction(name, m_handler), V8_PROPERTY_ATTRIBUTE_DONTDELETE);
        }
        // What the page's own scripts can check: the context existed before them.
        context->GetGlobal()->SetValue("contextReady", CefV8Value::CreateBool(true), V8_PROPERTY_ATTRIBUTE_NONE);
    }
    bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId, CefRefPtr<CefProcessMessage> message) override {
        // Echoes a browser's message back with the renderer's process id.
        CefRefPtr<CefProcessMessage> reply = CefProcessMessage::Create("reply:" + message->GetName().ToString());
        reply->GetArgumentList()->SetInt(0, static_cast<int>(GetCurrentProcessId()));
        reply->GetArgumentList()->SetString(1, message->GetArgumentList()->GetString(0));
        browser->SendProcessMessage(PID_BROWSER, reply);
        return true;
    }

private:
    CefRefPtr<CefV8Handler> m_handler = new NativeHandler();
};

inline CefRefPtr<CefApp>& TheApp() {
    static CefRefPtr<CefApp> app = new TestApp();
    return app;
}

int RunChildBrowserProcess(const std::wstring& pidFile, DWORD parentId, const std::string& download);

// main() of every engine test program.
inline int RunEngineTestProgram(int argc, char** argv) {
    ReportCrashes();
    const int code = CefExecuteProcess(CefMainArgs(GetModuleHandleW(nullptr)), TheApp());
    if (code >= 0) return code;
    CefRefPtr<CefCommandLine> line = CefCommandLine::GetGlobalCommandLine();
    if (line->HasSwitch("kv-test-child")) {
        return RunChildBrowserProcess(line->GetSwitchValue("kv-test-child"),
                                      static_cast<DWORD>(_wtoi(line->GetSwitchValue("kv-test-parent").c_str())),
                                      line->GetSwitchValue("kv-test-download").ToString());
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// Records every callback as a line, in order, and whether each came on the UI thread.
class RecordingClient : public kvwin::RefCounted<CefClient, CefLifeSpanHandler, CefLoadHandler, CefRequestHandler,
                                                    CefDisplayHandler, CefKeyboardHandler, CefContextMenuHandler,
                                                    CefDownloadHandler> {
public:
    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
    CefRefPtr<CefRequestHandler> GetRequestHandler() override { return this; }
    CefRefPtr<CefDisplayHandler> GetDisplayHandler() override { return this; }
    CefRefPtr<CefKeyboardHandler> GetKeyboardHandler() override { return this; }
    CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() override { return this; }
    CefRefPtr<CefDownloadHandler> GetDownloadHandler() override { return downloads ? this : nullptr; }

    bool OnBeforePopup(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, const CefString& url, const CefString& name,
                       CefWindowInfo&, CefRefPtr<CefClient>&, CefBrowserSettings&) override {
        Add("BeforePopup " + url.ToString() + " " + name.ToString());
        return refusePopups;
    }
    void OnAfterCreated(CefRefPtr<CefBrowser> browser) override {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            browsers.push_back(browser);
        }
        Add("AfterCreated " + std::to_string(browser->GetIdentifier()) + (browser->IsPopup() ? " popup" : ""));
    }
    bool DoClose(CefRefPtr<CefBrowser>) override {
        Add("DoClose");
        return false;
    }
    void OnBeforeClose(CefRefPtr<CefBrowser> browser) override {
        Add("BeforeClose " + std::to_string(browser->GetIdentifier()));
        closed++;
    }
    void OnLoadingStateChange(CefRefPtr<CefBrowser>, bool loading, bool back, bool forward) override {
        Add(std::string("Loading ") + (loading ? "1" : "0") + (back ? " back" : "") + (forward ? " forward" : ""));
    }
    void OnLoadStart(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame) override {
        Add("LoadStart " + frame->GetURL().ToString());
    }
    void OnLoadEnd(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, int status) override {
        Add("LoadEnd " + std::to_string(status));
        loadEnds++;
    }
    void OnLoadError(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, ErrorCode code, const CefString& text,
                     const CefString& url) override {
        Add("LoadError " + std::to_string(code) + " " + text.ToString() + " " + url.ToString());
        loadErrors++;
    }
    bool OnResourceResponse(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefRequest> request,
                            CefRefPtr<CefResponse> response) override {
        Add("Response " + std::to_string(response->GetStatus()) + " " + response->GetMimeType().ToString());
        if (!restartTo.empty()) {
            request->SetURL(restartTo);
            restartTo.clear();
            return true;
        }
        return false;
    }
    void OnTitleChange(CefRefPtr<CefBrowser>, const CefString& title) override { Add("Title " + title.ToString()); }
    bool OnPreKeyEvent(CefRefPtr<CefBrowser>, const CefKeyEvent& event, CefEventHandle os, bool*) override {
        Add("PreKey " + std::to_string(event.type) + " " + std::to_string(event.windows_key_code) +
            (os ? " msg " + std::to_string(os->message) : ""));
        return consumeKeys;
    }
    bool OnKeyEvent(CefRefPtr<CefBrowser>, const CefKeyEvent& event, CefEventHandle) override {
        Add("Key " + std::to_string(event.type) + " " + std::to_string(event.windows_key_code));
        return false;
    }
    void OnBeforeContextMenu(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefContextMenuParams> params,
                             CefRefPtr<CefMenuModel> model) override {
        std::string items;
        for (int i = 0; i < model->GetCount(); ++i) items += " " + std::to_string(model->GetCommandIdAt(i));
        Add("ContextMenu " + std::to_string(params->GetTypeFlags()) + items);
        if (replaceMenu) {
            model->Clear();
            model->AddItem(MENU_ID_RELOAD, L"Again");
            model->AddItem(26501, L"Mine");
        }
    }
    bool OnContextMenuCommand(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefContextMenuParams>, int command,
                              int) override {
        Add("MenuCommand " + std::to_string(command));
        return command == 26501;
    }
    void OnBeforeDownload(CefRefPtr<CefBrowser>, CefRefPtr<CefDownloadItem> item, const CefString& name,
                          CefRefPtr<CefBeforeDownloadCallback> callback) override {
        Add("BeforeDownload " + name.ToString() + " " + item->GetURL().ToString());
        if (!downloadPath.empty()) callback->Continue(downloadPath, downloadDialog);
    }
    void OnDownloadUpdated(CefRefPtr<CefBrowser>, CefRefPtr<CefDownloadItem> item,
                           CefRefPtr<CefDownloadItemCallback> callback) override {
        if (cancelAt >= 0 && item->IsInProgress() && item->GetReceivedBytes() >= cancelAt) callback->Cancel();
        if (item->IsComplete()) Add("DownloadComplete " + item->GetFullPath().ToString() + " " +
                                    std::to_string(item->GetReceivedBytes()));
        if (item->IsCanceled()) Add("DownloadCanceled");
    }
    bool OnProcessMessageReceived(CefRefPtr<CefBrowser>, CefProcessId source,
                                  CefRefPtr<CefProcessMessage> message) override {
        std::string line = "Message " + message->GetName().ToString() + "(";
        CefRefPtr<CefListValue> args = message->GetArgumentList();
        for (size_t i = 0; i < args->GetSize(); ++i) {
            if (i) line += ",";
            line += args->GetType(i) == VTYPE_INT ? std::to_string(args->GetInt(i)) : "'" + args->GetString(i).ToString() + "'";
        }
        Add(line + ")" + (source == PID_RENDERER ? "" : " from?"));
        return true;
    }

    std::vector<std::string> Events() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }
    // The events that start with `prefix`.
    std::vector<std::string> Events(const std::string& prefix) {
        std::vector<std::string> out;
        for (const auto& e : Events()) {
            if (e.compare(0, prefix.size(), prefix) == 0) out.push_back(e);
        }
        return out;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.clear();
    }
    size_t Count() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return browsers.size();
    }
    CefRefPtr<CefBrowser> Browser(size_t index = 0) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return index < browsers.size() ? browsers[index] : nullptr;
    }

    std::atomic<int> offUiThread{0};
    std::atomic<int> loadEnds{0};
    std::atomic<int> loadErrors{0};
    std::atomic<int> closed{0};
    bool refusePopups = true;
    bool consumeKeys = false;
    bool replaceMenu = false;
    bool downloads = true;
    std::wstring downloadPath;
    bool downloadDialog = false;  // the user confirms downloadPath in the save dialog
    int64_t cancelAt = -1;        // downloads are cancelled once this many bytes have arrived
    std::wstring restartTo;
    std::vector<CefRefPtr<CefBrowser>> browsers;

private:
    void Add(const std::string& line) {
        if (!CefCurrentlyOn(TID_UI)) offUiThread++;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.push_back(line);
    }

    std::mutex m_mutex;
    std::vector<std::string> m_events;
};

// The engine for one test: started with the given mode, shut down at the end.
class EngineScope {
public:
    explicit EngineScope(bool singleProcess, const std::wstring& cachePath = {}) {
        CefSettings settings;
        settings.single_process = singleProcess ? 1 : 0;
        settings.no_sandbox = 1;
        settings.multi_threaded_message_loop = 1;
        settings.log_file = WorkDir() + L"engine.log";
        settings.log_severity = LOGSEVERITY_WARNING;
        settings.cache_path = cachePath;
        ok = CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, TheApp());
    }
    ~EngineScope() {
        if (ok) CefShutdown();
    }
    bool ok = false;
};



// Creates a child browser of `parent` through the engine and waits until it is created.
inline CefRefPtr<CefBrowser> MakeBrowser(CefRefPtr<RecordingClient> client, HWND parent, const std::string& url) {
    CefWindowInfo info;
    info.SetAsChild(parent, RECT{0, 0, 600, 400});
    CefBrowserSettings settings;
    settings.default_encoding = "UTF-8";
    const size_t before = client->Count();
    if (!CefBrowserHost::CreateBrowser(info, client, url, settings)) return nullptr;
    PumpUntil([&] { return client->Browser(before) != nullptr; }, 10000);
    return client->Browser(before);
}

// A browser process of its own for tests that end it: it shows one browser,
// writes its renderer's process id to `pidFile`, loads `download` (when not
// empty) whose save dialog it leaves open, and then waits to be killed, at
// most until the test program that started it (`parentId`) has ended or a
// minute has passed, so that a failed test leaves no process behind.
inline int RunChildBrowserProcess(const std::wstring& pidFile, DWORD parentId, const std::string& download) {
    EngineScope engine(false);
    if (!engine.ok) return 2;
    CefRefPtr<RecordingClient> client = new RecordingClient();
    client->downloadPath = L"child.bin";
    client->downloadDialog = true;
    CefWindowInfo info;
    info.SetAsPopup(nullptr, L"child");
    CefBrowserHost::CreateBrowser(info, client, "about:blank", CefBrowserSettings());
    if (!PumpUntil([&] { return client->Count() > 0; }, 20000) || !WaitForIdle(20000)) return 3;
    const std::string pid = std::to_string(RendererProcessId(client->Browser()));
    FILE* f = _wfopen(pidFile.c_str(), L"wb");
    if (!f) return 4;
    fwrite(pid.data(), 1, pid.size(), f);
    fclose(f);
    if (!download.empty()) client->Browser()->GetMainFrame()->LoadURL(download);
    const kvwin::UniqueKernelHandle parent(OpenProcess(SYNCHRONIZE, FALSE, parentId));
    PumpUntil([&] { return !parent || WaitForSingleObject(parent.get(), 0) == WAIT_OBJECT_0; }, 60000);
    return 0;
}

inline std::string ReadLog() {
    const std::vector<char> bytes = ReadFileBytes(WorkDirUnix() + "/engine.log");
    return std::string(bytes.begin(), bytes.end());
}

// The temporary folder, where the engine receives downloads; with its trailing backslash.
inline std::wstring TempFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(ARRAYSIZE(folder), folder);
    return folder;
}

// The temporary files of downloads that the engine in process `processId` receives.
inline std::vector<std::wstring> PartFilesOf(DWORD processId) {
    const std::wstring folder = TempFolder();
    const std::wstring pattern = folder + L"kvengine-" + std::to_wstring(processId) + L"-*.part";
    std::vector<std::wstring> out;
    WIN32_FIND_DATAW found{};
    const kvwin::UniqueFindHandle find(FindFirstFileW(pattern.c_str(), &found));
    if (!find) return out;
    do {
        out.push_back(folder + found.cFileName);
    } while (FindNextFileW(find.get(), &found));
    return out;
}

// -1 when there is no such file.
inline LONGLONG FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

inline std::string FileUrl(const std::string& unixPath) {
    std::wstring path = ToWindowsPath(unixPath);
    for (auto& c : path) {
        if (c == L'\\') c = L'/';
    }
    return "file:///" + Narrow(path);
}

}  // namespace kvtest
