#include "uninstall/InstallChecks.h"

#include <windows.h>
#include <shlobj.h>

namespace kvuninstall {
namespace {

// "%" and "!" expand inside the quotes of the self-removal command and '"'
// ends them; the rest cannot appear in a real folder name anyway.
bool HasShellOrWildcardCharacter(std::wstring_view text) {
    for (const wchar_t c : text) {
        if (c < 0x20 || std::wstring_view(L"%!\"*?<>|").find(c) != std::wstring_view::npos) return true;
    }
    return false;
}

// "X:\" followed by steps that are each a plain name, with at most one
// trailing backslash.
bool IsPlainAbsolutePath(std::wstring_view path) {
    if (path.size() < 3 || !iswalpha(path[0]) || path[1] != L':' || path[2] != L'\\') return false;
    std::wstring_view rest = path.substr(3);
    if (rest.empty()) return true;
    if (rest.back() == L'\\') rest.remove_suffix(1);
    return IsPlainRelativePath(rest);
}

bool IsDriveRoot(std::wstring_view folder) { return folder.size() <= 3; }

std::wstring KnownFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return NormalFolder(path);
}

// Folders that belong to the system or the user and must survive any uninstall.
constexpr int kProtectedFolders[] = {CSIDL_WINDOWS,
                                     CSIDL_SYSTEM,
                                     CSIDL_SYSTEMX86,
                                     CSIDL_PROGRAM_FILES,
                                     CSIDL_PROGRAM_FILESX86,
                                     CSIDL_PROGRAM_FILES_COMMON,
                                     CSIDL_PROGRAM_FILES_COMMONX86,
                                     CSIDL_PROFILE,
                                     CSIDL_DESKTOPDIRECTORY,
                                     CSIDL_COMMON_DESKTOPDIRECTORY,
                                     CSIDL_PERSONAL,
                                     CSIDL_COMMON_DOCUMENTS,
                                     CSIDL_APPDATA,
                                     CSIDL_LOCAL_APPDATA,
                                     CSIDL_COMMON_APPDATA,
                                     CSIDL_PROGRAMS,
                                     CSIDL_COMMON_PROGRAMS,
                                     CSIDL_STARTMENU,
                                     CSIDL_COMMON_STARTMENU,
                                     CSIDL_STARTUP,
                                     CSIDL_COMMON_STARTUP,
                                     CSIDL_FONTS,
                                     CSIDL_TEMPLATES,
                                     CSIDL_FAVORITES,
                                     CSIDL_SENDTO,
                                     CSIDL_RECENT,
                                     CSIDL_MYMUSIC,
                                     CSIDL_MYPICTURES,
                                     CSIDL_MYVIDEO};

std::wstring FullPath(const std::wstring& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return {};
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return {};
    full.resize(length);
    return full;
}

// Short (8.3) steps become long ones, so both spellings of a folder compare equal.
std::wstring LongPath(const std::wstring& path) {
    const DWORD size = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (size == 0) return path;
    std::wstring longPath(size, L'\0');
    const DWORD length = GetLongPathNameW(path.c_str(), longPath.data(), size);
    if (length == 0 || length >= size) return path;
    longPath.resize(length);
    return longPath;
}

// Full and long; empty when the system cannot make it full.
std::wstring NormalPath(std::wstring_view path) {
    if (path.empty()) return {};
    const std::wstring full = FullPath(std::wstring(path));
    return full.empty() ? full : LongPath(full);
}

bool IsProtectedOrHolding(std::wstring_view known, std::wstring_view folder) {
    return !known.empty() && (EqualIgnoringCase(known, folder) || IsInsideFolder(known, folder));
}

}  // namespace

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

bool IsSingleName(std::wstring_view name) {
    if (name.empty() || name == L"." || name == L"..") return false;
    if (name.back() == L'.' || name.back() == L' ') return false;
    for (const wchar_t c : name) {
        if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) return false;
    }
    return true;
}

std::wstring_view TrimmedName(std::wstring_view name) {
    const size_t last = name.find_last_not_of(L". ");
    return last == std::wstring_view::npos ? std::wstring_view() : name.substr(0, last + 1);
}

bool IsPlainRelativePath(std::wstring_view path) {
    for (;;) {
        const size_t end = path.find(L'\\');
        if (!IsSingleName(path.substr(0, end))) return false;
        if (end == std::wstring_view::npos) return true;
        path.remove_prefix(end + 1);
    }
}

std::wstring NormalFolder(std::wstring_view path) {
    std::wstring full = NormalPath(path);
    if (full.empty()) return {};
    while (!full.empty() && full.back() == L'\\') full.pop_back();
    full += L'\\';
    return full;
}

std::wstring RunningProgramPath() {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return {};
    path.resize(length);
    return NormalPath(path);
}

bool HoldsProtectedFolder(std::wstring_view folder) {
    for (const int csidl : kProtectedFolders) {
        if (IsProtectedOrHolding(KnownFolder(csidl), folder)) return true;
    }
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) return false;
    return IsProtectedOrHolding(NormalFolder(temp), folder);
}

bool IsInsideFolder(std::wstring_view path, std::wstring_view folder) {
    return path.size() > folder.size() && EqualIgnoringCase(path.substr(0, folder.size()), folder);
}

std::wstring CheckedInstallFolder(std::wstring_view value, std::wstring_view removerFolder) {
    if (HasShellOrWildcardCharacter(value) || !IsPlainAbsolutePath(value)) return {};
    const std::wstring folder = NormalFolder(value);
    const std::wstring own = NormalFolder(removerFolder);
    if (folder.empty() || own.empty() || !EqualIgnoringCase(folder, own)) return {};
    if (HasShellOrWildcardCharacter(own) || IsDriveRoot(own) || HoldsProtectedFolder(own)) return {};
    return own;
}

}  // namespace kvuninstall
