#include "ProgramKit.h"

#include <shlobj.h>

#include <algorithm>
#include <filesystem>

#include "win/GdiOwners.h"

namespace kvtest::program {
namespace {

constexpr wchar_t kExeName[] = L"korvanthel.exe";
constexpr wchar_t kMainClass[] = L"KorvanthelMainFrameWnd";
constexpr wchar_t kBrowserClass[] = L"KvEngineBrowserWindow";

}  // namespace

std::string ServerUrl(const std::string& path) { return "http://127.0.0.1:" + std::to_string(kPort) + path; }

std::wstring DataDir() {
    wchar_t local[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local);
    return std::wstring(local) + L"\\korvanthel\\";
}

void ClearDataDir() {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(DataDir()), ignored);
}

std::string ReadDataFile(const std::wstring& name) {
    const kvwin::UniqueKernelHandle file(
        CreateFileW((DataDir() + name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::string text(GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    text.resize(read);
    return text;
}

void WriteDataFile(const std::wstring& name, const std::string& text) {
    CreateDirectoryW(DataDir().c_str(), nullptr);
    const kvwin::UniqueKernelHandle file(
        CreateFileW((DataDir() + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (file) WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

int Pixels::RunFromLeft(int y, DWORD color) const {
    int x = 0;
    while (x < width && At(x, y) == color) ++x;
    return x;
}

int Pixels::FindRow(int x, DWORD color, int from) const {
    for (int y = from; y < height; ++y) {
        if (At(x, y) == color) return y;
    }
    return -1;
}

Pixels Capture(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const kvwin::WindowDC screen(nullptr);
    kvwin::MemoryDib dib(screen.get(), client.right, client.bottom);
    Pixels p;
    if (!dib.Ready()) return p;
    BitBlt(dib.dc(), 0, 0, client.right, client.bottom, screen.get(), origin.x, origin.y, SRCCOPY);
    GdiFlush();
    p.width = client.right;
    p.height = client.bottom;
    p.rgb.assign(dib.pixels(), dib.pixels() + static_cast<size_t>(p.width) * p.height);
    return p;
}

// Posted: a click may open a modal loop in the other process, which a sent
// message would wait for. The pointer goes there too, or the window's mouse
// tracking reports it gone between the press and the release.
void ClickAt(HWND window, int x, int y) {
    POINT screen{x, y};
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void PressKey(HWND window, WORD virtualKey) {
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageW(window, WM_KEYDOWN, virtualKey, 1 | scan << 16);
    PostMessageW(window, WM_KEYUP, virtualKey, 1 | scan << 16 | 3u << 30);
}

bool IsCentred(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    const RECT& work = info.rcWork;
    return std::abs((r.left - work.left) - (work.right - r.right)) <= 1 &&
           std::abs((r.top - work.top) - (work.bottom - r.bottom)) <= 1;
}

SIZE ClientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

RunningClient::RunningClient() {
    const std::wstring exe = ToWindowsPath(KV_E2E_CLIENT);
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info)) {
        return;
    }
    const kvwin::UniqueKernelHandle thread(info.hThread);
    m_process.reset(info.hProcess);
    m_processId = info.dwProcessId;
}

RunningClient::~RunningClient() {
    if (!m_process || WaitForSingleObject(m_process.get(), 0) != WAIT_TIMEOUT) return;
    EndProcess(m_processId);
    // The engine's renderers of a client ended this way.
    if (!WaitForNoClientProcess(3000)) {
        for (const DWORD id : ProcessesNamed(kExeName)) EndProcess(id);
    }
}

HWND RunningClient::WaitForMainWindow(DWORD timeoutMs) {
    PumpUntil([&] {
        m_main = FindWindowOf(m_processId, kMainClass);
        return m_main && IsWindowVisible(m_main);
    }, timeoutMs);
    return m_main && IsWindowVisible(m_main) ? m_main : nullptr;
}

HWND RunningClient::WaitForWindow(const wchar_t* className, DWORD timeoutMs) {
    HWND found = nullptr;
    const bool shown = PumpUntil([&] {
        found = FindWindowOf(m_processId, className);
        if (!found || !IsWindowVisible(found)) return false;
        const Pixels p = Capture(found);
        return std::any_of(p.rgb.begin(), p.rgb.end(), [&](DWORD c) { return (c & 0xFFFFFF) != p.At(0, 0); });
    }, timeoutMs);
    return shown ? found : nullptr;
}

HWND RunningClient::BrowserWindow() { return m_main ? FindWindowExW(m_main, nullptr, kBrowserClass, nullptr) : nullptr; }

bool RunningClient::WaitForExit(DWORD timeoutMs) {
    return PumpUntil([&] { return WaitForSingleObject(m_process.get(), 0) == WAIT_OBJECT_0; }, timeoutMs);
}

DWORD RunningClient::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(m_process.get(), &code);
    return code;
}

bool WaitForNoClientProcess(DWORD timeoutMs) {
    return PumpUntil([] { return ProcessesNamed(kExeName).empty(); }, timeoutMs);
}

}  // namespace kvtest::program
