#pragma once
// Private messages of the main window. Any thread posts them to g_mainWnd
// (wParam and lParam 0); the main window carries them out on its own thread.
#include <windows.h>

namespace kvclient {

constexpr UINT WM_APP_BROWSER_CREATED = 0x1401;   // main browser created, or F5 released
constexpr UINT WM_APP_LOAD_END = 0x1402;          // a frame finished loading
constexpr UINT WM_APP_CHANGE_LINE = 0x1403;       // the selected server line changed
constexpr UINT WM_APP_SHOW_MAIN = 0x1404;         // the update was not started
constexpr UINT WM_APP_CHANGE_ZOOM = 0x1405;       // the selected zoom changed
constexpr UINT WM_APP_UPDATE_AVAILABLE = 0x1500;  // the update service offers a newer version

}  // namespace kvclient
