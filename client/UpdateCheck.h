#pragma once
// The update check at start: asks the update service for the newest client
// version and tells the main window (WM_APP_UPDATE_AVAILABLE) when it is
// newer than this one. Failures are only logged; the user sees nothing.
#include <windows.h>

#include <string>

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

// Thread body: CheckForUpdate against the deployment's update service;
// `target` is the main window's UpdateCheckTarget.
DWORD WINAPI CheckUpdateThread(LPVOID target);

}  // namespace kvclient
