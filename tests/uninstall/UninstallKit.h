#pragma once
// What the remover's tests share: a fake installation on drive C: (files, a
// read-only file and folder, "uninstall.dat", desktop and start-menu shortcuts
// made through the shell's link object, the two registry keys) and fake client
// processes. Names start with "KvRemover" and the test's own word, so test
// programs running side by side never touch each other's installation.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/TestKit.h"
#include "win/ComRef.h"
#include "win/UniqueHandle.h"

namespace kvtest {

constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
using DataValues = std::vector<std::pair<std::wstring, std::wstring>>;

inline std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, path, csidl, TRUE);
    return path;
}

inline bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    const bool found = RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
    const kvwin::UniqueRegKey owner(key);
    return found;
}

inline void MakeKey(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
    const kvwin::UniqueRegKey owner(key);
}

inline void WriteText(const std::wstring& path, const std::string& text) {
    const kvwin::UniqueKernelHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
}

// Each value in double quotes, which the profile functions drop, so that
// trailing blanks stay part of it.
inline void WriteUninstallData(const std::wstring& folder, const DataValues& values) {
    const std::wstring file = folder + L"uninstall.dat";
    DeleteFileW(file.c_str());
    for (const auto& [key, value] : values)
        WritePrivateProfileStringW(L"uninstall", key.c_str(), (L"\"" + value + L"\"").c_str(), file.c_str());
}

inline void MakeShortcut(const std::wstring& link, const std::wstring& target) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    kvwin::CComRef<IShellLinkW> shellLink;
    CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, shellLink.ReceiveVoid());
    kvwin::CComRef<IPersistFile> file;
    ASSERT_TRUE(shellLink && SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, file.ReceiveVoid())));
    shellLink->SetPath(target.c_str());
    EXPECT_TRUE(SUCCEEDED(file->Save(link.c_str(), TRUE))) << Narrow(link);
}

// Removes a file or folder tree, read-only entries included.
inline void RemoveTree(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW found = {};
    const kvwin::UniqueFindHandle listing(FindFirstFileW((path + L"\\*").c_str(), &found));
    for (BOOL more = listing ? TRUE : FALSE; more; more = FindNextFileW(listing.get(), &found)) {
        if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0)
            RemoveTree(path + L"\\" + found.cFileName);
    }
    RemoveDirectoryW(path.c_str());
}

// A started program, ended at the end of the test at the latest.
class ChildProcess {
public:
    explicit ChildProcess(const std::wstring& exe) {
        std::wstring command = L"\"" + exe + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        EXPECT_TRUE(
            CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
        m_process.reset(info.hProcess);
        const kvwin::UniqueKernelHandle thread(info.hThread);
        m_id = info.dwProcessId;
    }
    ~ChildProcess() {
        if (Running() && TerminateProcess(m_process.get(), 1)) WaitEnd(5000);
    }
    bool Running() const { return m_process && !WaitEnd(0); }
    bool WaitEnd(DWORD ms) const { return WaitForSingleObject(m_process.get(), ms) == WAIT_OBJECT_0; }
    DWORD Id() const { return m_id; }

private:
    kvwin::UniqueKernelHandle m_process;
    DWORD m_id = 0;
};

// An installed client as the installer leaves it, in C:\Program Files.
// `regSuffix` ends "install_reg_name" (the system drops it from folder
// names); `uninstallFolder`, when given, is the start-menu sub-folder of the
// remover's shortcut.
struct FakeInstallation {
    std::wstring baseName, regName, uninstallFolder, uninstallName;
    std::wstring folder;         // ends with a backslash
    std::wstring outsideFolder;  // beside it, with a same-named client
    std::wstring desktopLink, menuFolder, uninstallLink;

    explicit FakeInstallation(const std::wstring& word, const std::wstring& regSuffix = L"",
                              const std::wstring& uninstallSubFolder = L"")
        : baseName(L"KvRemover" + word),
          regName(baseName + regSuffix),
          uninstallFolder(uninstallSubFolder),
          uninstallName((uninstallFolder.empty() ? L"" : uninstallFolder + L"\\") + baseName + L" uninstall"),
          folder(ShellFolder(CSIDL_PROGRAM_FILES) + L"\\" + baseName + L"\\"),
          outsideFolder(ShellFolder(CSIDL_PROGRAM_FILES) + L"\\" + baseName + L" outside\\"),
          desktopLink(ShellFolder(CSIDL_DESKTOPDIRECTORY) + L"\\" + regName + L".lnk"),
          menuFolder(ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + baseName),
          uninstallLink(ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + uninstallName + L".lnk") {
        Remove();
        for (const std::wstring& sub : {folder, folder + L"data", folder + L"readonly", outsideFolder, menuFolder}) {
            CreateDirectoryW(sub.c_str(), nullptr);
        }
        if (!uninstallFolder.empty()) {
            SHCreateDirectoryExW(nullptr, (ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + uninstallFolder).c_str(),
                                 nullptr);
        }
        WriteText(folder + L"readme.txt", "Korvanthel");
        WriteText(folder + L".settings", "left to the final removal");
        WriteText(folder + L"data\\page.bin", "cached");
        WriteText(folder + L"locked.txt", "read-only");
        WriteText(folder + L"readonly\\inside.txt", "in a read-only folder");
        SetFileAttributesW((folder + L"locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        // Wine keeps only the hidden bit of a folder's read-only and hidden ones.
        SetFileAttributesW((folder + L"readonly").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
        CopyFileW(ToWindowsPath(KV_FAKE_CLIENT).c_str(), ClientInside().c_str(), FALSE);
        CopyFileW(ToWindowsPath(KV_FAKE_CLIENT).c_str(), ClientOutside().c_str(), FALSE);
        WriteUninstallData(folder, Data());
        MakeShortcut(desktopLink, ClientInside());
        MakeShortcut(menuFolder + L"\\Korvanthel.lnk", ClientInside());
        MakeShortcut(uninstallLink, folder + L"uninstall.exe");
        MakeKey(HKEY_LOCAL_MACHINE, kUninstallKey + regName);
        MakeKey(HKEY_CURRENT_USER, L"Software\\" + regName);
    }
    ~FakeInstallation() { Remove(); }

    // What the installer writes; "install_exe_name" is left to its default.
    DataValues Data() const {
        return {{L"install_reg_name", regName}, {L"install_path", folder}, {L"uninstall_name", uninstallName}};
    }
    // Its name differs from "install_exe_name" in letter case only.
    std::wstring ClientInside() const { return folder + L"KVREMOVER" + regName.substr(9) + L".exe"; }
    std::wstring ClientOutside() const { return outsideFolder + regName + L".exe"; }
    // The outermost folder of the remover's shortcut below the programs folder; empty when none.
    std::wstring UninstallFolderRoot() const {
        if (uninstallFolder.empty()) return {};
        return ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + uninstallFolder.substr(0, uninstallFolder.find(L'\\'));
    }

    // How many of the shortcuts, the start-menu folder and the keys are there (0 to 5).
    int Remnants() const {
        return Exists(desktopLink) + Exists(menuFolder + L"\\Korvanthel.lnk") + Exists(uninstallLink) +
               KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey + regName) +
               KeyExists(HKEY_CURRENT_USER, L"Software\\" + regName);
    }

private:
    void Remove() const {
        for (const std::wstring& path :
             {folder.substr(0, folder.size() - 1), outsideFolder.substr(0, outsideFolder.size() - 1), desktopLink,
              menuFolder, uninstallLink, UninstallFolderRoot()}) {
            if (!path.empty()) RemoveTree(path);
        }
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kUninstallKey + regName).c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + regName).c_str());
    }
};

}  // namespace kvtest
