#pragma once
// The client's process-wide paths and settings, and the small text helpers
// its windows and pages share. Set up once by the start-up.
#include <windows.h>

#include <string>

namespace kvclient {

// The client's own version, as the update check compares it and pages read it.
constexpr char kClientVersion[] = "4.1";
// The error page's name among the static web pages.
constexpr wchar_t kErrorPageName[] = L"error.html";

// Folder of the executable, with its trailing backslash.
extern std::string g_exeDir;
// The user's local application-data folder + "korvanthel\"; always ends with a backslash.
extern std::string g_appDataDir;
// Colour of the window border and the browser's surround (ARGB); pages may change it.
extern DWORD g_themeColor;
// The main window: every private message from other threads goes here.
extern HWND g_mainWnd;

// Fills the paths and the theme colour and creates the data folder when missing.
void InitAppPaths();

// GBK text (the client's own texts) to UTF-16.
std::wstring StringToWString(const std::string& text);
// Text in the system ANSI code page to UTF-16, without a leading byte-order mark.
std::wstring AnsiToWide(const std::string& text);
// Replaces every occurrence of `pattern`, scanning on behind each inserted
// replacement (so a replacement containing the pattern is not replaced again).
void ReplaceAll(std::string& text, const std::string& pattern, const std::string& replacement);

}  // namespace kvclient
