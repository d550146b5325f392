#include "client/SimpleApp.h"

#include "client/V8Handler.h"

namespace kvclient {

namespace {

// In the order the page's object lists them.
constexpr const char* kBridgeFunctions[] = {
    "ChangeLine",  "GetVersion",    "ResizeWindow",    "WindowCenter", "SetThemeColor",
    "SetBorder",   "ShowDevTools",  "SetWinTitle",     "WindowVisible", "SendMenuMessage",
    "WindowFlash", "SetTitleColor", "PlayMp3",
};

}  // namespace

SimpleApp::SimpleApp() { g_v8Handler = new MyCefV8Handler(); }

// The same switches for the browser process and every sub-process.
void SimpleApp::OnBeforeCommandLineProcessing(const CefString&, CefRefPtr<CefCommandLine> commandLine) {
    if (!commandLine) return;
    commandLine->AppendSwitchWithValue("touch-events", "enabled");
    commandLine->AppendSwitch("enable-npapi");
    commandLine->AppendSwitch("--disable-web-security");
    commandLine->AppendSwitchWithValue("ppapi-flash-version", "25.0.0.127");
    commandLine->AppendSwitchWithValue("ppapi-flash-path", "ppflash\\25_0_0_127\\pepflashplayer32_25_0_0_127.dll");
    commandLine->AppendSwitchWithValue("autoplay-policy", "no-user-gesture-required");
}

CefRefPtr<CefRenderProcessHandler> SimpleApp::GetRenderProcessHandler() { return this; }

// Every frame's context gets an object of its own; all share the process's handler.
void SimpleApp::OnContextCreated(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefV8Context> context) {
    CefRefPtr<CefV8Value> global = context ? context->GetGlobal() : nullptr;
    CefRefPtr<CefV8Value> extension = CefV8Value::CreateObject();
    if (!global || !extension) return;
    global->SetValue("AppExtension", extension, V8_PROPERTY_ATTRIBUTE_DONTDELETE);
    for (const char* name : kBridgeFunctions) {
        extension->SetValue(name, CefV8Value::CreateFunction(name, g_v8Handler), V8_PROPERTY_ATTRIBUTE_DONTDELETE);
    }
}

}  // namespace kvclient
