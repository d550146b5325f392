#pragma once
// What the end-to-end tests share: the real korvanthel.exe started as a user
// starts it, its data folder, the windows it shows read back from the screen,
// and input sent to them as window messages.
#include <windows.h>

#include <string>
#include <vector>

#include "support/ProcessKit.h"
#include "support/TestKit.h"
#include "win/UniqueHandle.h"

namespace kvtest::program {

// Where the program under test looks for its servers (its deployment).
constexpr int kPort = KV_E2E_PORT;
std::string ServerUrl(const std::string& path);

// The client's data folder: the local application-data folder + "korvanthel\".
std::wstring DataDir();
// Deletes the data folder with everything in it.
void ClearDataDir();
// A file of the data folder as text; empty when missing.
std::string ReadDataFile(const std::wstring& name);
void WriteDataFile(const std::wstring& name, const std::string& text);

// A window's client area as the screen shows it: 0x00RRGGBB, rows from the top.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<DWORD> rgb;

    DWORD At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
    // How many pixels of row y, from column 0 on, have this colour.
    int RunFromLeft(int y, DWORD color) const;
    // The first row at or below `from` where column x has this colour; -1 if none.
    int FindRow(int x, DWORD color, int from = 0) const;
};
Pixels Capture(HWND window);

// A left click at a client point of the window, as the mouse gives it.
void ClickAt(HWND window, int x, int y);
// A key pressed and released in the window.
void PressKey(HWND window, WORD virtualKey);

// Whether the window's rectangle is centred in the work area of its monitor (to a pixel).
bool IsCentred(HWND window);
SIZE ClientSize(HWND window);

// korvanthel.exe started with no arguments from its build folder. Ended at
// the latest when the object goes, with every process it left behind.
class RunningClient {
public:
    RunningClient();
    ~RunningClient();
    RunningClient(const RunningClient&) = delete;
    RunningClient& operator=(const RunningClient&) = delete;

    bool Started() const { return static_cast<bool>(m_process); }
    DWORD ProcessId() const { return m_processId; }
    // The main window once it is shown; null after `timeoutMs`.
    HWND WaitForMainWindow(DWORD timeoutMs = 30000);
    // A window of this class of the client once it is shown and painted
    // (its controls are laid out by then); null after `timeoutMs`.
    HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs = 10000);
    // The browser's window inside the main window; null before it exists.
    HWND BrowserWindow();
    bool WaitForExit(DWORD timeoutMs = 20000);
    DWORD ExitCode() const;

private:
    kvwin::UniqueKernelHandle m_process;
    DWORD m_processId = 0;
    HWND m_main = nullptr;
};

// Waits until no process of the program runs any more; false after `timeoutMs`.
bool WaitForNoClientProcess(DWORD timeoutMs = 10000);

}  // namespace kvtest::program
