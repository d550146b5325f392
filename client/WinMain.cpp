// The client's entry point. The same executable is the browser process,
// which shows the main window, and every sub-process the engine starts.
#include <curl/curl.h>
#include <windows.h>

#include <memory>
#include <new>

#include "client/AppGlobals.h"
#include "client/AppStartup.h"
#include "client/EngineNames.h"
#include "client/Log.h"
#include "client/MainFrame.h"
#include "client/PlayMP3.h"
#include "client/SimpleApp.h"
#include "client/WebStaticPages.h"
#include "ui/core/PaintManagerUI.h"

namespace {

constexpr DWORD kFrameStyle = 0x10CF0000;  // WS_VISIBLE | WS_OVERLAPPEDWINDOW
constexpr char kProductTitle[] = "Korvanthel宠物店管理系统";

void FlushCookies() {
    const kvclient::CefRefPtr<kvclient::CefCookieManager> cookies =
        kvclient::CefCookieManager::GetGlobalManager(nullptr);
    if (cookies) cookies->FlushStore(nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    using namespace kvclient;
    InitAppPaths();
    ReadConfig();
    InitComAndOle();
    AttachSkinZip(instance);
    kvengine::CefEnableHighDPISupport();

    const kvengine::CefMainArgs args(instance);
    CefRefPtr<CefApp> app = new SimpleApp();
    const int subprocessCode = kvengine::CefExecuteProcess(args, app);
    if (subprocessCode >= 0) return subprocessCode;

    KillOtherInstances();
    PlayMP3::Init();
    LoadWebStaticPages();
    curl_global_init(CURL_GLOBAL_ALL);
    kvengine::CefInitialize(args, MakeEngineSettings(), app);
    OpenLogFile();

    auto frame = std::unique_ptr<CMainFrame>(new (std::nothrow) CMainFrame());
    if (!frame) return 0;
    frame->CreateEx(nullptr, StringToWString(kProductTitle).c_str(), kFrameStyle, 0);
    frame->ShowWindow(true, true);
    KvUI::CPaintManagerUI::MessageLoop();

    FlushCookies();
    kvengine::CefShutdown();
    // The engine has ended: nothing calls the window's operations any more.
    frame.reset();
    UninitComAndOle();
    KvUI::CPaintManagerUI::Term();
    WriteConfig();
    CloseLogFile();
    KillOtherInstances();
    return 1;
}
