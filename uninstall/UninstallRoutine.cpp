#include "uninstall/UninstallRoutine.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "uninstall/ClientProcesses.h"
#include "uninstall/InstallChecks.h"
#include "uninstall/UninstallData.h"
#include "win/UniqueHandle.h"

namespace kvuninstall {
namespace {

constexpr LPCWSTR kUninstallKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr LPCWSTR kUserSoftwareKey = L"Software";
constexpr REGSAM kReadWrite = KEY_READ | KEY_WRITE;

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) return {};
    return path;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// What the folder removal after the routine takes even though the routine
// leaves it: the running remover, linked or read-only folders, read-only files.
bool IsLeftToFinalRemoval(DWORD attributes, const std::wstring& path, const std::wstring& self) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return attributes != FILE_ATTRIBUTE_DIRECTORY;
    return (attributes & FILE_ATTRIBUTE_READONLY) || EqualIgnoringCase(path, self);
}

// True when `name` under `parent` is gone afterwards. Only the key itself is
// deleted: the registry refuses a key that still has subkeys.
bool DeleteRegistryKey(HKEY root, LPCWSTR parent, const std::wstring& name) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, parent, 0, kReadWrite, &opened) == ERROR_SUCCESS) {
        const kvwin::UniqueRegKey key(opened);
        RegDeleteKeyW(key.get(), name.c_str());
    }
    const std::wstring path = std::wstring(parent) + L"\\" + name;
    HKEY left = nullptr;
    const bool stillThere = RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &left) == ERROR_SUCCESS;
    const kvwin::UniqueRegKey leftKey(left);
    return !stillThere;
}

// Removes the folders `shortcut` (relative to `base`) names on its way, inner
// first, each only when empty and not a folder of the system.
void RemoveEmptyFoldersOf(const std::wstring& base, std::wstring_view shortcut) {
    for (size_t end = shortcut.rfind(L'\\'); end != std::wstring_view::npos && end > 0;
         end = shortcut.rfind(L'\\', end - 1)) {
        const std::wstring folder = base + L"\\" + std::wstring(shortcut.substr(0, end));
        if (!HoldsProtectedFolder(NormalFolder(folder))) RemoveDirectoryW(folder.c_str());
    }
}

// True when the shortcuts and the start-menu folder are gone afterwards. A
// folder the system cannot find is left alone (a path built on an empty one
// would name the drive's root) and counts as not done: its shortcuts may
// remain. So does a start-menu folder that is a folder of the system.
bool DeleteShortcuts(const UninstallData& data, const ShellFolders& folders) {
    bool gone = !folders.desktop.empty() && !folders.commonPrograms.empty();
    if (!folders.desktop.empty()) {
        const std::wstring shortcut = folders.desktop + L"\\" + data.regName + L".lnk";
        DeleteFileW(shortcut.c_str());
        gone = !Exists(shortcut) && gone;
    }
    if (!folders.commonPrograms.empty()) {
        const std::wstring menuFolder = folders.commonPrograms + L"\\" + std::wstring(TrimmedName(data.regName));
        if (!HoldsProtectedFolder(NormalFolder(menuFolder))) {
            RemoveDirectoryW(menuFolder.c_str());
            DeleteDirectoryTree(menuFolder);
        }
        const std::wstring shortcut = folders.commonPrograms + L"\\" + data.uninstallName + L".lnk";
        DeleteFileW(shortcut.c_str());
        RemoveEmptyFoldersOf(folders.commonPrograms, data.uninstallName);
        gone = !Exists(menuFolder) && !Exists(shortcut) && gone;
    }
    return gone;
}

}  // namespace

std::wstring RemoverFolder() {
    const std::wstring path = RunningProgramPath();
    return path.substr(0, path.rfind(L'\\') + 1);
}

ShellFolders FindShellFolders() {
    return ShellFolders{ShellFolder(CSIDL_DESKTOPDIRECTORY), ShellFolder(CSIDL_COMMON_PROGRAMS)};
}

UninstallOutcome UninstallInstallation(const std::wstring& removerFolder, const ShellFolders& folders) {
    UninstallData data;
    switch (ReadUninstallData(removerFolder, data)) {
        case DataStatus::BadRegName:
            return {UninstallResult::DataMissing, {}};
        case DataStatus::BadFolder:
            return {UninstallResult::DataIncomplete, {}};
        case DataStatus::Ready:
            break;
    }
    // From here every step runs whatever the previous ones achieved.
    bool complete = EndClientProcesses(data.exeName, data.installFolder);
    complete = DeleteFolderContents(data.installFolder) && complete;
    complete = DeleteShortcuts(data, folders) && complete;
    complete = DeleteRegistryKey(HKEY_LOCAL_MACHINE, kUninstallKey, data.regName) && complete;
    complete = DeleteRegistryKey(HKEY_CURRENT_USER, kUserSoftwareKey, data.regName) && complete;
    return {complete ? UninstallResult::Done : UninstallResult::LeftOver, L"\"" + data.installFolder + L"\""};
}

bool DeleteFolderContents(const std::wstring& folder) {
    WIN32_FIND_DATAW found = {};
    const kvwin::UniqueFindHandle listing(FindFirstFileW((folder + L"\\*.*").c_str(), &found));
    if (!listing) return false;
    const std::wstring self = RunningProgramPath();
    bool allGone = true;
    do {
        if (found.cFileName[0] == L'.') continue;
        const std::wstring path = folder + found.cFileName;
        // Exactly "directory": a linked or read-only folder is left to the final removal.
        if (found.dwFileAttributes == FILE_ATTRIBUTE_DIRECTORY) {
            DeleteDirectoryTree(path);
        } else {
            DeleteFileW(path.c_str());
        }
        if (Exists(path) && !IsLeftToFinalRemoval(found.dwFileAttributes, path, self)) allGone = false;
    } while (FindNextFileW(listing.get(), &found));
    return allGone;
}

bool DeleteDirectoryTree(const std::wstring& path) {
    if (path.size() >= MAX_PATH) return false;
    // The shell reads a list of paths that ends with an empty one.
    std::vector<wchar_t> from(path.begin(), path.end());
    from.resize(from.size() + 2, L'\0');
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.data();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    return SHFileOperationW(&operation) == 0;
}

}  // namespace kvuninstall
