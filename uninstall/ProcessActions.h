#pragma once
// The acts of the self-removal that reach beyond the window: the process
// priority, starting the hidden shell and ending the process. The program
// uses these; tests put a recorder in their place.
#include <windows.h>

#include <string>

namespace kvuninstall {

class ProcessActions {
public:
    virtual ~ProcessActions() = default;

    // Real-time class, time-critical thread: the process is gone before the
    // shell it starts comes to its folder.
    virtual void RaisePriority();
    virtual void OpenShell(const std::wstring& file, const std::wstring& arguments, const std::wstring& folder,
                           int show);
    virtual void EndProcess(UINT code);
};

}  // namespace kvuninstall
