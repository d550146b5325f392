#pragma once
// What the remover's tests share: a fake installation on the prefix's drive C:
// (files, a read-only file and folder, "uninstall.dat", desktop and start-menu
// shortcuts made through the shell's link object, the two registry keys),
// fake client processes, and small checks on files and keys. Every name
// starts with "KvRemover" and the test program's own word, so programs running
// side by side never touch each other's installation.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/TestEnv.h"
#include "win/ComRef.h"
#include "win/UniqueHandle.h"

namespace kvtest {

constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

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
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
    const kvwin::UniqueRegKey owner(key);
    const wchar_t value[] = L"Korvanthel";
    RegSetValueExW(key, L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value);
}

inline void WriteText(const std::wstring& path, const std::string& text) {
    const std::wstring name = path.size() < MAX_PATH ? path : L"\\\\?\\" + path;
    const kvwin::UniqueKernelHandle file(
        CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << Narrow(path);
    DWORD written = 0;
    WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// "uninstall.dat" in `folder`, one "key=value" line per entry, in the ANSI code page.
inline void WriteUninstallData(const std::wstring& folder, const std::vector<std::pair<std::string, std::wstring>>& values) {
    std::string text = "[uninstall]\r\n";
    for (const auto& [key, value] : values) {
        const int size = WideCharToMultiByte(CP_ACP, 0, value.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string ansi(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
        WideCharToMultiByte(CP_ACP, 0, value.c_str(), -1, ansi.data(), size, nullptr, nullptr);
        text += key + "=" + ansi + "\r\n";
    }
    WriteText(folder + L"uninstall.dat", text);
}

inline void MakeShortcut(const std::wstring& link, const std::wstring& target) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    kvwin::CComRef<IShellLinkW> shellLink;
    ASSERT_TRUE(SUCCEEDED(
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, shellLink.ReceiveVoid())));
    shellLink->SetPath(target.c_str());
    kvwin::CComRef<IPersistFile> file;
    ASSERT_TRUE(SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, file.ReceiveVoid())));
    ASSERT_TRUE(SUCCEEDED(file->Save(link.c_str(), TRUE))) << Narrow(link);
}

// Removes a folder tree even where it holds read-only entries.
inline void RemoveTree(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW found = {};
    const kvwin::UniqueFindHandle listing(FindFirstFileW((path + L"\\*").c_str(), &found));
    if (listing) {
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
        } while (FindNextFileW(listing.get(), &found));
    }
    RemoveDirectoryW(path.c_str());
}

// A program started from `exe`, ended at the end of the test at the latest.
class ChildProcess {
public:
    explicit ChildProcess(const std::wstring& exe, const std::wstring& arguments = L"") {
        std::wstring command = L"\"" + exe + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &info)) {
            ADD_FAILURE() << "cannot start " << Narrow(exe) << ": " << GetLastError();
            return;
        }
        m_process.reset(info.hProcess);
        kvwin::UniqueKernelHandle thread(info.hThread);
        m_id = info.dwProcessId;
    }
    ~ChildProcess() {
        if (Running()) {
            TerminateProcess(m_process.get(), 1);
            WaitForSingleObject(m_process.get(), 5000);
        }
    }
    bool Running() const { return m_process && WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT; }
    bool WaitEnd(DWORD ms) const { return WaitForSingleObject(m_process.get(), ms) == WAIT_OBJECT_0; }
    DWORD Id() const { return m_id; }
    HANDLE Handle() const { return m_process.get(); }

private:
    kvwin::UniqueKernelHandle m_process;
    DWORD m_id = 0;
};

// An installed client as the installer leaves it, under C:\Program Files.
struct FakeInstallation {
    std::wstring regName;        // "install_reg_name"
    std::wstring uninstallName;  // "uninstall_name"
    std::wstring folder;         // ends with a backslash
    std::wstring desktopLink, menuFolder, uninstallLink;
    std::wstring outsideFolder;  // a folder beside it, with a same-named client

    explicit FakeInstallation(const std::wstring& word)
        : regName(L"KvRemover" + word),
          uninstallName(L"KvRemover" + word + L" uninstall"),
          folder(ShellFolder(CSIDL_PROGRAM_FILES) + L"\\KvRemover" + word + L"\\"),
          desktopLink(ShellFolder(CSIDL_DESKTOPDIRECTORY) + L"\\" + regName + L".lnk"),
          menuFolder(ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + regName),
          uninstallLink(ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + uninstallName + L".lnk"),
          outsideFolder(ShellFolder(CSIDL_PROGRAM_FILES) + L"\\KvRemover" + word + L" outside\\") {
        Remove();
        for (const wchar_t* sub : {L"", L"data", L"data\\cache", L"readonly", L"bin"}) {
            CreateDirectoryW((folder + sub).c_str(), nullptr);
        }
        CreateDirectoryW(outsideFolder.c_str(), nullptr);
        WriteText(folder + L"readme.txt", "Korvanthel");
        WriteText(folder + L"data\\cache\\page.bin", "cached");
        WriteText(folder + L"bin\\tool.dll", "tool");
        WriteText(folder + L"locked.txt", "read-only");
        WriteText(folder + L"readonly\\inside.txt", "kept by the read-only folder");
        SetFileAttributesW((folder + L"locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        // Wine keeps only the hidden bit of a folder's read-only and hidden ones.
        SetFileAttributesW((folder + L"readonly").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
        CopyFileW(FakeClientExe().c_str(), ClientInside().c_str(), FALSE);
        CopyFileW(FakeClientExe().c_str(), ClientOutside().c_str(), FALSE);
        WriteUninstallData(folder, Data());

        CreateDirectoryW(menuFolder.c_str(), nullptr);
        MakeShortcut(desktopLink, ClientInside());
        MakeShortcut(menuFolder + L"\\Korvanthel.lnk", ClientInside());
        MakeShortcut(uninstallLink, folder + L"uninstall.exe");
        MakeKey(HKEY_LOCAL_MACHINE, kUninstallKey + regName);
        MakeKey(HKEY_CURRENT_USER, L"Software\\" + regName);
    }
    ~FakeInstallation() { Remove(); }

    // The values the installer writes; "install_exe_name" is left to its default.
    std::vector<std::pair<std::string, std::wstring>> Data() const {
        return {{"install_reg_name", regName}, {"install_path", folder}, {"uninstall_name", uninstallName}};
    }
    // The client inside, its name differing from "install_exe_name" in letter case only.
    std::wstring ClientInside() const { return folder + L"kvremover" + regName.substr(9) + L".EXE"; }
    std::wstring ClientOutside() const { return outsideFolder + regName + L".exe"; }

    bool ShortcutsAndKeysGone() const {
        return !Exists(desktopLink) && !Exists(menuFolder) && !Exists(uninstallLink) &&
               !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey + regName) &&
               !KeyExists(HKEY_CURRENT_USER, L"Software\\" + regName);
    }
    bool ShortcutsAndKeysThere() const {
        return Exists(desktopLink) && Exists(menuFolder + L"\\Korvanthel.lnk") && Exists(uninstallLink) &&
               KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey + regName) &&
               KeyExists(HKEY_CURRENT_USER, L"Software\\" + regName);
    }

    static std::wstring FakeClientExe() { return ToWindowsPath(KV_FAKE_CLIENT); }

private:
    void Remove() const {
        RemoveTree(folder.substr(0, folder.size() - 1));
        RemoveTree(outsideFolder.substr(0, outsideFolder.size() - 1));
        RemoveTree(desktopLink);
        RemoveTree(menuFolder);
        RemoveTree(uninstallLink);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kUninstallKey + regName).c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + regName).c_str());
    }
};

}  // namespace kvtest
