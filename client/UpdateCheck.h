#pragma once
// The update check at start: asks the update service for the newest client
// version and tells the main window (WM_APP_UPDATE_AVAILABLE) when it is
// newer than this one. Failures are only logged; the user sees nothing.
#include <windows.h>

#include <memory>
#include <string>

#include "win/UniqueHandle.h"

namespace kvclient {

// The main window's part in the check: the window told about a newer
// version, and the offered version and installer address it then reads.
struct UpdateCheckTarget {
    HWND window = nullptr;
    std::string version;
    std::string link;
};

// Whether `version`, read as a decimal number, is above the client's own
// version ("4.10" is not: both are 4.1; text without leading digits reads as 0).
bool IsNewerVersion(const std::string& version);

// Asks `endpoint` and checks the reply in order, logging the first fault.
// A valid reply fills the target's version and link; when that version is
// newer, WM_APP_UPDATE_AVAILABLE is posted to the target's window and true returned.
bool CheckForUpdate(UpdateCheckTarget& target, const std::string& endpoint);

// Starts CheckForUpdate against `endpoint` (the program passes
// UpdateEndpoint(), the deployment's update service) on a thread of its own,
// created suspended and then resumed; null when no thread could start.
//
// The thread shares the target: it stays valid for the thread however long
// the request takes, so the main window may wait a bounded time for the
// returned handle at close and then abandon the thread (never terminate it).
// The window reads the target's version and link only after
// WM_APP_UPDATE_AVAILABLE arrived: the thread wrote them before posting it
// and does not touch them again.
kvwin::UniqueKernelHandle StartUpdateCheck(std::shared_ptr<UpdateCheckTarget> target, const std::string& endpoint);

}  // namespace kvclient
