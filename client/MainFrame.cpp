#include "client/MainFrame.h"

#include <cwctype>

#include "client/AppGlobals.h"
#include "client/AppMessages.h"
#include "client/BrowserClient.h"
#include "client/DownloadUpdateFrame.h"
#include "client/HttpFunction.h"
#include "client/LineZoomTables.h"
#include "client/MessageBoxFrame.h"
#include "client/SettingFrame.h"
#include "ui/controls/GifAnimUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/core/ContainerUI.h"
#include "ui/lists/MenuObserver.h"
#include "ui/lists/MenuUI.h"
#include "ui/lists/MenuWnd.h"

namespace kvclient {

namespace {

constexpr int kIconId = 132;
constexpr int kDefaultWidth = 1200;
constexpr int kDefaultHeight = 770;
constexpr int kCaptionHeight = 30;
constexpr int kMaxBorder = 10;
constexpr int kMenuLift = 75;
constexpr DWORD kBrowserStyle = 0x56010000;  // child, visible, clip siblings and children, tab stop
constexpr WPARAM kQuitCommand = 0x10401;

constexpr UINT_PTR kFlashTimer = 101;
constexpr UINT kFlashPeriodMs = 800;
constexpr UINT_PTR kResizeTimer = 102;
constexpr UINT kResizePeriodMs = 200;
constexpr UINT_PTR kLoadingTimer = 103;
constexpr UINT kLoadingLimitMs = 3000;

constexpr UINT kTrayMessage = WM_USER + 1;
// A window operation from another thread is waiting in the frame's queue.
constexpr UINT WM_APP_WINDOW_OPERATION = 0x1406;

constexpr char kProductTitle[] = "Korvanthel宠物店管理系统";

// The page's dark layer: made once with the id "cpp_bg", then shown or hidden.
constexpr char kMaskScript[] =
    "function BG_Show(show) {"
    "\tvar bgdiv = document.getElementById('cpp_bg');"
    "\tif (bgdiv == undefined || cpp_bg == null) {"
    "\t\tvar bg_div = document.createElement('div');"
    "\t\tbg_div.id = 'cpp_bg';"
    "\t\tbg_div.style = 'top: 0;left: 0;background-color: #000000;width: 100%;position: fixed;height: 100%;"
    "opacity: 0.45;z-index: 10000;';"
    "\t\tdocument.body.appendChild(bg_div);"
    "\t\tbgdiv = document.getElementById('cpp_bg');"
    "\t}"
    "\tbgdiv.style.display = show == true ? '' : 'none';"
    "}";

std::wstring Lower(const KvUI::CUIString& text) {
    std::wstring lower(text.GetData());
    for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(c));
    return lower;
}

CefRefPtr<CefBrowser> MainBrowser() {
    return g_browserClient ? g_browserClient->GetMainBrowser() : nullptr;
}

void SetWindowIcons(HWND window) {
    const HINSTANCE instance = KvUI::CPaintManagerUI::GetInstance();
    // Shared icons of the module: the system frees them.
    const auto big = LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                GetSystemMetrics(SM_CYICON), LR_SHARED);
    const auto small = LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                  GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

}  // namespace

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame() {
    DropQueuedOperations();
    m_updateCheck.Finish();
    m_trayMenu.reset();
    m_trayIcon.Delete();
}

LPCTSTR CMainFrame::GetWindowClassName() const { return L"KorvanthelMainFrameWnd"; }

KvUI::CUIString CMainFrame::GetSkinFile() { return L"MainFrame.xml"; }

LRESULT CMainFrame::OnCreate(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    m_updateCheck.Reset();
    return WindowImplBase::OnCreate(msg, wParam, lParam, handled);
}

void CMainFrame::InitWindow() {
    g_mainWnd = m_hWnd;
    {
        std::lock_guard<std::mutex> lock(m_operationsLock);
        m_operationWindow = m_hWnd;
        m_windowThread = GetCurrentThreadId();
    }
    SetWindowIcons(m_hWnd);

    m_browserLayout = m_pm.FindControl(L"BrowserLayout");
    m_browserInsetLayout = static_cast<KvUI::CContainerUI*>(m_pm.FindControl(L"BrowserLayoutInset"));
    m_titleLayout = m_pm.FindControl(L"titlelayout");
    m_mainLayout = m_pm.FindControl(L"manlayout");
    m_titleLabel = static_cast<KvUI::CLabelUI*>(m_pm.FindControl(L"lab_title"));
    m_loadingGif = static_cast<KvUI::CGifAnimUI*>(m_pm.FindControl(L"loadgif"));

    SetBorder(2);
    SetThemeColor(g_themeColor);
    ResizeClient(kDefaultWidth, kDefaultHeight);
    CenterWindow();
    m_trayIcon.Create(m_hWnd, kIconId, StringToWString(kProductTitle).c_str(), kTrayMessage);
    CreateBrowser();

    m_resizePending = false;
    ::SetTimer(m_hWnd, kResizeTimer, kResizePeriodMs, nullptr);
    ::SetTimer(m_hWnd, kLoadingTimer, kLoadingLimitMs, nullptr);
    m_updateCheck.Start(m_hWnd, UpdateEndpoint());
    SetForegroundWindow(m_hWnd);
}

void CMainFrame::OnFinalMessage(HWND hWnd) {
    DropQueuedOperations();
    KvUI::CMenuWnd::DestroyMenu();
    WindowImplBase::OnFinalMessage(hWnd);
}

// ---- window operations --------------------------------------------------

void CMainFrame::RunOnWindowThread(std::function<void()> operation) {
    std::unique_lock<std::mutex> lock(m_operationsLock);
    if (!m_operationWindow) return;
    if (GetCurrentThreadId() == m_windowThread) {
        lock.unlock();
        operation();
        return;
    }
    m_operations.push_back(std::move(operation));
    // Posted, never sent: the window's thread may itself be waiting on the engine.
    if (!::PostMessageW(m_operationWindow, WM_APP_WINDOW_OPERATION, 0, 0)) m_operations.pop_back();
}

void CMainFrame::RunQueuedOperation() {
    std::function<void()> operation;
    {
        std::lock_guard<std::mutex> lock(m_operationsLock);
        if (m_operations.empty()) return;
        operation = std::move(m_operations.front());
        m_operations.pop_front();
    }
    operation();
}

void CMainFrame::DropQueuedOperations() {
    std::deque<std::function<void()>> dropped;
    std::lock_guard<std::mutex> lock(m_operationsLock);
    m_operationWindow = nullptr;
    dropped.swap(m_operations);
}

void CMainFrame::ResizeWindow(int width, int height) {
    RunOnWindowThread([this, width, height] { ResizeClient(width, height); });
}

void CMainFrame::WindowCenter() {
    RunOnWindowThread([this] { CenterWindow(); });
}

void CMainFrame::SetThemeColor(DWORD argb) {
    RunOnWindowThread([this, argb] {
        g_themeColor = argb;
        if (m_mainLayout) m_mainLayout->SetBorderColor(argb);
        if (m_browserInsetLayout) m_browserInsetLayout->SetBkColor(argb);
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    });
}

void CMainFrame::SetBorder(int width) {
    if (static_cast<unsigned>(width) > kMaxBorder) return;
    RunOnWindowThread([this, width] {
        if (m_browserInsetLayout) m_browserInsetLayout->SetInset(RECT{width, 0, width, width});
        m_border = width;
        m_resizePending = true;
    });
}

void CMainFrame::WindowFlash() {
    if (InterlockedCompareExchange(&m_flashing, 1, 0) != 0) return;
    RunOnWindowThread([this] { ::SetTimer(m_hWnd, kFlashTimer, kFlashPeriodMs, nullptr); });
}

void CMainFrame::WindowVisible(int flag) {
    const bool show = (flag & 0xFF) == 1;
    RunOnWindowThread([this, show] { ShowWindow(show, true); });
}

void CMainFrame::SendMenuMessage(int type) {
    RunOnWindowThread([this, type] {
        switch (type) {
            case 0:
                SendMessage(WM_SYSCOMMAND, SC_RESTORE);
                break;
            case 1:
                SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
                break;
            case 2:
                SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
                break;
            case -1:
            case 999:
                Close(1);
                break;
            default:
                break;
        }
    });
}

void CMainFrame::SetWinTitle(const std::wstring& title) {
    RunOnWindowThread([this, title] {
        if (m_titleLabel) m_titleLabel->SetText(title.c_str());
    });
}

void CMainFrame::SetTitleColor(DWORD argb) {
    RunOnWindowThread([this, argb] {
        if (m_titleLabel) m_titleLabel->SetTextColor(argb);
    });
}

// ---- browser --------------------------------------------------------------

void CMainFrame::CreateBrowser() {
    m_browserReady = false;
    CefRefPtr<CBrowserClient> client = new CBrowserClient(this);
    g_browserClient = client;
    client->SetMainWindow(m_hWnd);

    const RECT pos = m_browserLayout ? m_browserLayout->GetPos() : RECT{};
    CefWindowInfo info;
    info.style = kBrowserStyle;
    info.parent_window = m_hWnd;
    info.x = pos.left;
    info.y = pos.top;
    info.width = pos.right - pos.left;
    info.height = pos.bottom - pos.top;
    CefBrowserSettings settings;
    settings.default_encoding = "UTF-8";
    const std::string& url = g_serverLines.at(static_cast<size_t>(g_selectedLine)).url;
    CefBrowserHost::CreateBrowser(info, client, url, settings);
}

bool CMainFrame::ResizeBrowser() {
    if (!m_browserReady) return true;
    const CefRefPtr<CefBrowser> browser = MainBrowser();
    if (!browser || browser->GetIdentifier() != g_browserClient->GetMainBrowserId()) return false;

    RECT rc = m_browserLayout ? m_browserLayout->GetPos() : RECT{};
    // Only a layout that has not been placed yet falls back to the skin's size;
    // a border of 0 legitimately puts the layout's left edge at 0.
    if (rc.right == 0) rc = {m_border, kCaptionHeight, kDefaultWidth - m_border, kDefaultHeight - m_border};
    if (IsRectEmpty(&rc)) return false;

    const CefRefPtr<CefBrowserHost> host = browser->GetHost();
    const HWND view = host ? host->GetWindowHandle() : nullptr;
    if (!view) return false;
    MoveWindow(view, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, FALSE);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

void CMainFrame::ShowMask(bool show) {
    const CefRefPtr<CefBrowser> browser = MainBrowser();
    if (!browser) return;
    const CefRefPtr<CefFrame> frame = browser->GetMainFrame();
    if (!frame) return;
    const std::string script = std::string(kMaskScript) + (show ? "BG_Show(true);" : "BG_Show(false);");
    frame->ExecuteJavaScript(script, frame->GetURL(), 0);
}

void CMainFrame::ApplyZoom() {
    const CefRefPtr<CefBrowser> browser = MainBrowser();
    const CefRefPtr<CefBrowserHost> host = browser ? browser->GetHost() : nullptr;
    if (host) host->SetZoomLevel(g_zoomLevels.at(static_cast<size_t>(g_selectedZoom)).level);
}

void CMainFrame::LoadSelectedLine() {
    const CefRefPtr<CefBrowser> browser = MainBrowser();
    const CefRefPtr<CefFrame> frame = browser ? browser->GetMainFrame() : nullptr;
    if (frame) frame->LoadURL(g_serverLines.at(static_cast<size_t>(g_selectedLine)).url);
    ApplyZoom();
}

void CMainFrame::StopLoadingAnimation() {
    if (m_loadingGif) m_loadingGif->SetVisible(false);
}

// ---- messages -------------------------------------------------------------

LRESULT CMainFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_MOVE:
        case WM_SIZE:
            m_resizePending = true;
            break;
        case WM_SETFOCUS:
            if (const CefRefPtr<CefBrowser> browser = MainBrowser()) {
                if (const CefRefPtr<CefBrowserHost> host = browser->GetHost()) host->SetFocus(true);
                return 0;
            }
            break;
        case WM_COMMAND:
            // The quiet quit: no question, the program just ends.
            if (wParam == kQuitCommand) {
                m_trayIcon.Delete();
                PostQuitMessage(0);
            }
            break;
        case WM_ERASEBKGND:
            if (g_browserClient) return 1;
            break;
        case WM_NCLBUTTONDBLCLK:
            ResizeBrowser();
            break;
        case WM_TIMER:
            if (HandleTimer(wParam)) return 0;
            break;
        case WM_APP_WINDOW_OPERATION:
            RunQueuedOperation();
            return 0;
        case WM_APP_LOAD_END:
            m_resizePending = true;
            m_browserReady = true;
            StopLoadingAnimation();
            ApplyZoom();
            break;
        case WM_APP_CHANGE_LINE:
            LoadSelectedLine();
            if (g_browserClient) return 0;
            break;
        case WM_APP_SHOW_MAIN:
            ShowWindow(true, true);
            m_resizePending = true;
            break;
        case WM_APP_CHANGE_ZOOM:
            ApplyZoom();
            if (g_browserClient) return 0;
            break;
        case WM_APP_UPDATE_AVAILABLE:
            RunUpdateDialog();
            break;
        default:
            break;
    }
    return WindowImplBase::HandleMessage(msg, wParam, lParam);
}

bool CMainFrame::HandleTimer(UINT_PTR id) {
    switch (id) {
        case kFlashTimer:
            FlashStep();
            return true;
        case kResizeTimer:
            if (m_resizePending && ResizeBrowser()) m_resizePending = false;
            return false;
        case kLoadingTimer:
            m_resizePending = true;
            m_browserReady = true;
            StopLoadingAnimation();
            ::KillTimer(m_hWnd, kLoadingTimer);
            return false;
        default:
            return false;
    }
}

void CMainFrame::FlashStep() {
    if (GetForegroundWindow() == m_hWnd) {
        ::KillTimer(m_hWnd, kFlashTimer);
        m_trayIcon.RestoreIcon();
        InterlockedCompareExchange(&m_flashing, 0, 1);
        return;
    }
    if (m_trayIcon.IsHidden()) {
        m_trayIcon.RestoreIcon();
    } else {
        m_trayIcon.Hide();
    }
    FlashWindow(m_hWnd, TRUE);
}

LRESULT CMainFrame::HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = false;
    if (msg == kTrayMessage) {
        OnTrayIcon(lParam);
    } else if (msg == KvUI::MenuCommandMessage) {
        OnMenuCommand(wParam);
    } else if (msg == WM_APP_BROWSER_CREATED) {
        m_resizePending = true;
    }
    return 0;
}

void CMainFrame::OnTrayIcon(LPARAM mouseMessage) {
    if (mouseMessage == WM_LBUTTONUP) {
        if (IsIconic(m_hWnd)) {
            SendMessage(WM_SYSCOMMAND, SC_RESTORE);
            SendMessage(WM_SIZE, 0, 0);
        } else {
            ToggleVisibility();
        }
    } else if (mouseMessage == WM_RBUTTONUP) {
        ShowTrayMenu();
    }
}

void CMainFrame::ShowTrayMenu() {
    m_trayMenu.reset();
    m_trayMenu = std::make_unique<KvUI::CMenuWnd>();
    POINT point = {};
    GetCursorPos(&point);
    point.y -= kMenuLift;
    if (!m_trayMenu->Init(nullptr, L"Menu.xml", point, &m_pm)) return;
    auto* menu = static_cast<KvUI::CMenuUI*>(m_trayMenu->GetMenuRoot());
    KvUI::CControlUI* first = menu ? menu->GetItemAt(0) : nullptr;
    if (first) first->SetText(IsWindowVisible(m_hWnd) ? L"隐藏主窗体" : L"显示主窗体");
    m_trayMenu->ResizeMenu();
}

void CMainFrame::OnMenuCommand(WPARAM record) {
    if (!record) return;
    std::wstring name;
    {
        const auto command = KvUI::AdoptMenuCommand(record);
        name = command->name;
    }
    if (name == L"hideshowwin") {
        ToggleVisibility();
    } else if (name == L"quit") {
        Close(0);
    }
}

void CMainFrame::ToggleVisibility() { ShowWindow(!IsWindowVisible(m_hWnd), true); }

// ---- buttons and dialogs ----------------------------------------------------

void CMainFrame::OnClick(KvUI::TUINotify& msg) {
    const std::wstring name = msg.sender ? Lower(msg.sender->GetName()) : std::wstring();
    const CefRefPtr<CefBrowser> browser = MainBrowser();
    if (name == L"btn_setting") {
        RunSettingDialog();
    } else if (name == L"btn_back" && browser) {
        browser->GoBack();
    } else if (name == L"btn_forard" && browser) {
        browser->GoForward();
    } else if (name == L"btn_reload" && browser) {
        browser->Reload();
    }
    WindowImplBase::OnClick(msg);
}

void CMainFrame::RunSettingDialog() {
    ShowMask(true);
    SettingFrame dialog;
    RunDialog(dialog, m_hWnd, L"设置");
    ShowMask(false);
}

void CMainFrame::RunUpdateDialog() {
    ShowWindow(false, true);
    DownloadUpdateFrame dialog(m_updateCheck.Offer().version, m_updateCheck.Offer().link);
    RunDialog(dialog, m_hWnd, L"更新");
}

bool CMainFrame::AskToQuit() { return ShowClosePanel(L"是否确认退出系统？", m_hWnd); }

LRESULT CMainFrame::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
    // A second request while the question is open is the same question.
    if (m_askingToQuit) return 0;
    m_askingToQuit = true;
    ShowMask(true);
    const bool confirmed = AskToQuit();
    m_askingToQuit = false;
    if (!confirmed) {
        ShowMask(false);
        return 0;
    }
    PostQuitMessage(1);
    m_trayIcon.Delete();
    if (g_browserClient) g_browserClient->CloseAllBrowsers(true);
    m_updateCheck.Finish();
    handled = false;
    return 0;
}

}  // namespace kvclient
