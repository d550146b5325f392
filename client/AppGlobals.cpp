#include "client/AppGlobals.h"

#include <shlobj.h>

#include "win/TextConversion.h"

namespace kvclient {

std::string g_exeDir;
std::string g_appDataDir;
DWORD g_themeColor = 0xFFFEFAE8;
HWND g_mainWnd = nullptr;

namespace {

constexpr char kProductFolder[] = "korvanthel";
// The code page of the client's own texts (GBK).
constexpr UINT kGbkCodePage = 936;

bool IsDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void InitAppPaths() {
    g_themeColor = 0xFFFEFAE8;

    char module[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
    const std::string modulePath(module, length < MAX_PATH ? length : 0);
    g_exeDir = modulePath.substr(0, modulePath.rfind('\\') + 1);

    char localAppData[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData);
    g_appDataDir = std::string(localAppData) + "\\" + kProductFolder + "\\";
    if (!IsDirectory(g_appDataDir)) CreateDirectoryA(g_appDataDir.c_str(), nullptr);
}

// The code page is named rather than taken from a process-wide locale, so
// threads converting at the same time cannot change each other's result.
// Like the C string these texts once were, the text ends at its first NUL.
std::wstring StringToWString(const std::string& text) {
    return kvwin::CodePageToWide(text.c_str(), kGbkCodePage);
}

std::wstring AnsiToWide(const std::string& text) {
    std::wstring wide = kvwin::AnsiToWide(text);
    if (!wide.empty() && wide[0] == 0xFEFF) wide.erase(0, 1);
    return wide;
}

void ReplaceAll(std::string& text, const std::string& pattern, const std::string& replacement) {
    if (pattern.empty()) return;
    for (size_t at = text.find(pattern); at != std::string::npos;
         at = text.find(pattern, at + replacement.size())) {
        text.replace(at, pattern.size(), replacement);
    }
}

}  // namespace kvclient
