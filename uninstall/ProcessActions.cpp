#include "uninstall/ProcessActions.h"

#include <shellapi.h>

namespace kvuninstall {

void ProcessActions::RaisePriority() {
    SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}

void ProcessActions::OpenShell(const std::wstring& file, const std::wstring& arguments, const std::wstring& folder,
                               int show) {
    ShellExecuteW(nullptr, L"open", file.c_str(), arguments.c_str(), folder.c_str(), show);
}

void ProcessActions::EndProcess(UINT code) { ExitProcess(code); }

}  // namespace kvuninstall
