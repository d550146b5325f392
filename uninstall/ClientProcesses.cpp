#include "uninstall/ClientProcesses.h"

#include <windows.h>
#include <tlhelp32.h>

#include "uninstall/InstallChecks.h"
#include "win/UniqueHandle.h"

namespace kvuninstall {
namespace {

constexpr DWORD kEndWaitMs = 5000;

std::wstring ImagePath(HANDLE process) {
    std::wstring path(32768, L'\0');
    DWORD length = static_cast<DWORD>(path.size());
    if (!QueryFullProcessImageNameW(process, 0, path.data(), &length)) return {};
    path.resize(length);
    return path;
}

// True when the process is gone afterwards or was never the client's.
bool EndIfInside(DWORD pid, std::wstring_view installFolder) {
    const kvwin::UniqueKernelHandle process(
        OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    // A process that ended since the snapshot cannot be opened any more.
    if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;
    const std::wstring image = ImagePath(process.get());
    if (image.empty()) return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
    if (!IsInsideFolder(image, installFolder)) return true;
    TerminateProcess(process.get(), 0);
    return WaitForSingleObject(process.get(), kEndWaitMs) == WAIT_OBJECT_0;
}

}  // namespace

bool EndClientProcesses(std::wstring_view exeName, std::wstring_view installFolder) {
    const kvwin::UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    const DWORD self = GetCurrentProcessId();
    bool allEnded = true;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == self || !EqualIgnoringCase(entry.szExeFile, exeName)) continue;
        if (!EndIfInside(entry.th32ProcessID, installFolder)) allEnded = false;
    }
    return allEnded;
}

}  // namespace kvuninstall
