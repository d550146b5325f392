#pragma once
// Other processes as a test or benchmark sees them: by executable name, their
// top-level windows, and ending them. Header-only: the benchmark program
// uses it too, without the test support library.
#include <windows.h>

#include <tlhelp32.h>

#include <cwchar>
#include <vector>

#include "win/UniqueHandle.h"

namespace kvtest {

// Ids of the running processes with this executable file name (any letter case).
inline std::vector<DWORD> ProcessesNamed(const wchar_t* exeName) {
    std::vector<DWORD> ids;
    const kvwin::UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = snapshot && Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, exeName) == 0) ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

// Ends a process and waits (5 seconds at most) until it is gone.
inline void EndProcess(DWORD id) {
    const kvwin::UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
    if (!process) return;
    TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), 5000);
}

struct WindowOfProcess {
    DWORD processId;
    const wchar_t* className;
    HWND found;

    static BOOL CALLBACK Match(HWND window, LPARAM data) {
        auto* search = reinterpret_cast<WindowOfProcess*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t name[128] = {};
        GetClassNameW(window, name, 128);
        if (owner != search->processId || wcscmp(name, search->className) != 0) return TRUE;
        search->found = window;
        return FALSE;
    }
};

// A top-level window of the process with this class name, shown or not; null when none.
inline HWND FindWindowOf(DWORD processId, const wchar_t* className) {
    WindowOfProcess search{processId, className, nullptr};
    EnumWindows(WindowOfProcess::Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace kvtest
