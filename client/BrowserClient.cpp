#include "client/BrowserClient.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "client/AppMessages.h"
#include "client/EngineNames.h"
#include "client/ErrorPage.h"
#include "client/LineZoomTables.h"
#include "client/PlayMP3.h"

namespace kvclient {

CefRefPtr<CBrowserClient> g_browserClient;

namespace {

// The developer tools: a visible overlapped window of their own.
constexpr DWORD kDevToolsStyle = 0x16CF0000;
constexpr int kDevToolsWidth = 600;
constexpr int kDevToolsHeight = 400;

CefString SelectedLineUrl() {
    const size_t index = static_cast<size_t>(g_selectedLine);
    return index < g_serverLines.size() ? CefString(g_serverLines[index].url) : CefString();
}

// A bridge call fits a function when it brings exactly that function's
// arguments: the renderer sends a 32-bit integer as an int entry, any other
// number as a double entry and everything else as a string entry, so an
// entry of the wrong type is a value the function cannot take (a fraction,
// a number where text belongs) and would reach the window as 0 or "".
bool HasArguments(CefListValue& arguments, std::initializer_list<CefValueType> types) {
    if (arguments.GetSize() != types.size()) return false;
    size_t index = 0;
    for (const CefValueType type : types) {
        if (arguments.GetType(index++) != type) return false;
    }
    return true;
}

// The one argument of a colour call as a 32-bit ARGB value. A page writes an
// opaque colour as a number up to 0xFFFFFFFF, which arrives as a double;
// negative 32-bit values stand for the same colours. Anything else (a
// fraction, a number out of that range, NaN, text) is no colour.
bool ColourArgument(CefListValue& arguments, DWORD& argb) {
    if (HasArguments(arguments, {VTYPE_INT})) {
        argb = static_cast<DWORD>(arguments.GetInt(0));
        return true;
    }
    if (!HasArguments(arguments, {VTYPE_DOUBLE})) return false;
    const double value = arguments.GetDouble(0);
    // NaN fails every comparison, so it never passes the range test.
    if (!(value >= -2147483648.0 && value <= 4294967295.0) || value != std::trunc(value)) return false;
    argb = static_cast<DWORD>(static_cast<std::int64_t>(value));
    return true;
}

}  // namespace

CBrowserClient::CBrowserClient(IWindowConformityl* windowOps) : m_windowOps(windowOps) {}

bool CBrowserClient::OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId,
                                              CefRefPtr<CefProcessMessage> message) {
    if (!message) return false;
    CefRefPtr<CefListValue> arguments = message->GetArgumentList();
    return arguments && DispatchBridgeCall(browser, message->GetName().ToString(), *arguments);
}

bool CBrowserClient::DispatchBridgeCall(CefRefPtr<CefBrowser> browser, const std::string& name,
                                        CefListValue& arguments) {
    constexpr CefValueType Int = VTYPE_INT;
    constexpr CefValueType Text = VTYPE_STRING;
    IWindowConformityl& window = *m_windowOps;

    if (name == "PlayMp3") {
        if (!HasArguments(arguments, {Text})) return false;
        PlayMP3::NewThreadPlayUrl(arguments.GetString(0).ToString());
    } else if (name == "ResizeWindow") {
        if (!HasArguments(arguments, {Int, Int})) return false;
        window.ResizeWindow(arguments.GetInt(0), arguments.GetInt(1));
    } else if (name == "SetWinTitle") {
        if (!HasArguments(arguments, {Text})) return false;
        window.SetWinTitle(arguments.GetString(0).ToWString());
    } else if (name == "WindowCenter") {
        window.WindowCenter();
    } else if (name == "SetThemeColor") {
        DWORD argb = 0;
        if (!ColourArgument(arguments, argb)) return false;
        window.SetThemeColor(argb);
    } else if (name == "SetBorder") {
        if (!HasArguments(arguments, {Int})) return false;
        window.SetBorder(arguments.GetInt(0));
    } else if (name == "WindowFlash") {
        window.WindowFlash();
    } else if (name == "ShowDevTools") {
        ShowDevTools(browser);
    } else if (name == "WindowVisible") {
        if (!HasArguments(arguments, {Int})) return false;
        window.WindowVisible(arguments.GetInt(0) > 0 ? 1 : 0);
    } else if (name == "SendMenuMessage") {
        if (!HasArguments(arguments, {Int})) return false;
        window.SendMenuMessage(arguments.GetInt(0));
    } else if (name == "ChangeLine") {
        // Without an index there is nothing to change; with one, the current
        // line is loaded again even when the index names no line.
        if (arguments.GetSize() == 0) return true;
        if (arguments.GetType(0) != Int) return false;
        SetSelectedLine(arguments.GetInt(0));
        PostToMainWindow(WM_APP_CHANGE_LINE);
    } else if (name == "SetTitleColor") {
        DWORD argb = 0;
        if (!ColourArgument(arguments, argb)) return false;
        window.SetTitleColor(argb);
    } else {
        return false;
    }
    return true;
}

// No window of the page's opens, and its address is not opened anywhere else either.
bool CBrowserClient::OnBeforePopup(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, const CefString&, const CefString&,
                                   CefWindowInfo&, CefRefPtr<CefClient>&, CefBrowserSettings&) {
    return true;
}

void CBrowserClient::OnAfterCreated(CefRefPtr<CefBrowser> browser) {
    CefAutoLock lock(m_lock);
    m_browsers.push_back(browser);
    if (m_mainBrowser) return;
    m_mainBrowser = browser;
    m_mainBrowserId = browser->GetIdentifier();
    PostToMainWindow(WM_APP_BROWSER_CREATED);
}

bool CBrowserClient::DoClose(CefRefPtr<CefBrowser>) { return false; }

void CBrowserClient::OnBeforeClose(CefRefPtr<CefBrowser> browser) {
    CefAutoLock lock(m_lock);
    if (browser->GetIdentifier() == m_mainBrowserId) m_mainBrowser = nullptr;
    const auto found = std::find_if(m_browsers.begin(), m_browsers.end(),
                                    [&](const CefRefPtr<CefBrowser>& listed) { return listed->IsSame(browser); });
    if (found != m_browsers.end()) m_browsers.erase(found);
    if (m_browsers.empty()) CefQuitMessageLoop();
}

void CBrowserClient::OnLoadStart(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>) {}

void CBrowserClient::OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame>, int) {
    PostToMainWindow(WM_APP_LOAD_END);
    CefRefPtr<CefFrame> mainFrame = browser->GetMainFrame();
    if (mainFrame && mainFrame->GetURL().ToString() == "about:blank") mainFrame->LoadURL(SelectedLineUrl());
}

void CBrowserClient::OnLoadError(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, ErrorCode errorCode,
                                 const CefString&, const CefString& failedUrl) {
    ShowErrorPage(frame, errorCode, failedUrl);
}

bool CBrowserClient::OnResourceResponse(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefRequest>,
                                        CefRefPtr<CefResponse>) {
    // A response may have set cookies: keep the store on disk, so a crash loses none.
    if (CefRefPtr<CefCookieManager> cookies = CefCookieManager::GetGlobalManager(nullptr)) cookies->FlushStore(nullptr);
    return false;
}

void CBrowserClient::OnBeforeDownload(CefRefPtr<CefBrowser>, CefRefPtr<CefDownloadItem>, const CefString& suggestedName,
                                      CefRefPtr<CefBeforeDownloadCallback> callback) {
    // The user confirms the name in the save dialog; the engine has made it a
    // bare file name, so it cannot point outside the folder the dialog opens in.
    callback->Continue(suggestedName, true);
}

void CBrowserClient::OnDownloadUpdated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> item,
                                       CefRefPtr<CefDownloadItemCallback>) {
    // A pop-up that only served a download has nothing left to show.
    if (!item->IsComplete() || !browser->IsPopup() || browser->HasDocument()) return;
    if (CefRefPtr<CefBrowserHost> host = browser->GetHost()) host->CloseBrowser(true);
}

void CBrowserClient::OnBeforeContextMenu(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>,
                                         CefRefPtr<CefContextMenuParams> params, CefRefPtr<CefMenuModel> model) {
    if (!(params->GetTypeFlags() & (CM_TYPEFLAG_PAGE | CM_TYPEFLAG_FRAME)) || model->GetCount() == 0) return;
    model->Clear();
    model->AddItem(MENU_ID_COPY, L"复制");
    model->AddItem(MENU_ID_PASTE, L"粘贴");
    model->AddItem(MENU_ID_RELOAD, L"重新加载");
    model->AddItem(MENU_ID_BACK, L"返回上一页");
    model->AddItem(MENU_ID_PRINT, L"打印此网页");
}

// The engine carries out every command of the menu.
bool CBrowserClient::OnContextMenuCommand(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefContextMenuParams>,
                                          int, int) {
    return false;
}

bool CBrowserClient::OnPreKeyEvent(CefRefPtr<CefBrowser> browser, const CefKeyEvent&, CefEventHandle osEvent, bool*) {
    if (!osEvent || osEvent->message != WM_KEYUP || osEvent->wParam != VK_F5) return false;
    // F5 starts the selected line afresh rather than reloading the current page.
    if (CefRefPtr<CefFrame> mainFrame = browser->GetMainFrame()) mainFrame->LoadURL(SelectedLineUrl());
    PostToMainWindow(WM_APP_BROWSER_CREATED);
    return true;
}

bool CBrowserClient::OnKeyEvent(CefRefPtr<CefBrowser>, const CefKeyEvent&, CefEventHandle) { return false; }

void CBrowserClient::CloseAllBrowsers(bool force) {
    if (!CefCurrentlyOn(TID_UI)) {
        CefRefPtr<CBrowserClient> self(this);
        CefPostTask(TID_UI, CefCreateClosureTask([self, force] { self->CloseAllBrowsers(force); }));
        return;
    }
    // A copy, so the list may change while the hosts are asked.
    std::vector<CefRefPtr<CefBrowser>> browsers;
    {
        CefAutoLock lock(m_lock);
        browsers = m_browsers;
    }
    for (const CefRefPtr<CefBrowser>& browser : browsers) {
        if (CefRefPtr<CefBrowserHost> host = browser->GetHost()) host->CloseBrowser(force);
    }
}

void CBrowserClient::ShowDevTools(CefRefPtr<CefBrowser> browser) {
    CefRefPtr<CefBrowserHost> host = browser ? browser->GetHost() : nullptr;
    if (!host) return;
    CefWindowInfo info;
    info.style = kDevToolsStyle;
    info.parent_window = host->GetWindowHandle();
    info.x = CW_USEDEFAULT;
    info.y = CW_USEDEFAULT;
    info.width = kDevToolsWidth;
    info.height = kDevToolsHeight;
    info.window_name = L"开发者工具栏";
    host->ShowDevTools(info, host->GetClient(), CefBrowserSettings(), CefPoint());
}

void CBrowserClient::SetMainWindow(HWND window) {
    CefAutoLock lock(m_lock);
    m_mainWnd = window;
}

CefRefPtr<CefBrowser> CBrowserClient::GetMainBrowser() {
    CefAutoLock lock(m_lock);
    return m_mainBrowser;
}

int CBrowserClient::GetMainBrowserId() {
    CefAutoLock lock(m_lock);
    return m_mainBrowserId;
}

void CBrowserClient::PostToMainWindow(UINT message) {
    HWND window = nullptr;
    {
        CefAutoLock lock(m_lock);
        window = m_mainWnd;
    }
    if (window) PostMessageW(window, message, 0, 0);
}

}  // namespace kvclient
