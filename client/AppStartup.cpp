#include "client/AppStartup.h"

#include <ole2.h>
#include <tlhelp32.h>

#include <cwctype>

#include "client/AppGlobals.h"
#include "client/LineZoomTables.h"
#include "ui/core/SkinResource.h"
#include "win/UniqueHandle.h"

namespace kvclient {

namespace {

constexpr char kSection[] = "LINES";
constexpr char kLineKey[] = "SELECT_INDEX";
constexpr char kZoomKey[] = "SELECT_INDEXZOOM";
constexpr int kDefaultZoom = 2;  // "正常"
constexpr int kSkinZipId = 131;

int ReadIndex(const char* key, int fallback, size_t count) {
    const int value = static_cast<int>(GetPrivateProfileIntA(kSection, key, fallback, ConfigFilePath().c_str()));
    return value >= 0 && static_cast<size_t>(value) < count ? value : 0;
}

void WriteIndex(const char* key, int value) {
    WritePrivateProfileStringA(kSection, key, std::to_string(value).c_str(), ConfigFilePath().c_str());
}

std::wstring LowerFileName(std::wstring path) {
    path.erase(0, path.find_last_of(L'\\') + 1);
    for (wchar_t& c : path) c = static_cast<wchar_t>(std::towlower(c));
    return path;
}

std::wstring OwnFileName() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return LowerFileName(path);
        }
        path.resize(path.size() * 2);
    }
}

void Terminate(DWORD pid) {
    const kvwin::UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, pid));
    if (process) TerminateProcess(process.get(), 0);
}

}  // namespace

std::string ConfigFilePath() { return g_appDataDir + "config.ini"; }

void ReadConfig() {
    g_selectedLine = ReadIndex(kLineKey, 0, g_serverLines.size());
    g_selectedZoom = ReadIndex(kZoomKey, kDefaultZoom, g_zoomLevels.size());
}

void WriteConfig() {
    WriteIndex(kLineKey, g_selectedLine);
    WriteIndex(kZoomKey, g_selectedZoom);
}

bool InitComAndOle() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    return SUCCEEDED(OleInitialize(nullptr));
}

void UninitComAndOle() {
    OleUninitialize();
    CoUninitialize();
}

void KillOtherInstances() {
    const std::wstring own = OwnFileName();
    const DWORD self = GetCurrentProcessId();
    const kvwin::UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID != self && LowerFileName(entry.szExeFile) == own) Terminate(entry.th32ProcessID);
    }
}

bool AttachSkinZip(HINSTANCE instance) { return KvUI::AttachSkinResourceZip(instance, kSkinZipId); }

kvengine::CefSettings MakeEngineSettings() {
    const std::wstring data = AnsiToWide(g_appDataDir);
    kvengine::CefSettings settings;
    settings.single_process = 0;
    settings.no_sandbox = 1;
    settings.multi_threaded_message_loop = 1;
    settings.log_file = data + L"cef.log";
    settings.log_severity = kvengine::LOGSEVERITY_WARNING;
    settings.cache_path = data + L"cefcache\\";
    settings.user_data_path = data + L"cefcache\\userdata\\";
    return settings;
}

}  // namespace kvclient
