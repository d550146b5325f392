#pragma once
// "uninstall.dat": what the installer recorded, read from the remover's own
// folder and checked before anything is removed.
#include <string>

namespace kvuninstall {

struct UninstallData {
    // "install_reg_name": registry keys, desktop shortcut, start-menu folder
    // (whose name the system stores without trailing dots and blanks)
    std::wstring regName;
    std::wstring installFolder;  // "install_path", checked: the remover's own folder, one trailing backslash
    // "uninstall_name": the remover's shortcut without ".lnk", inside the
    // all-users programs folder, maybe in sub-folders ("Korvanthel\Remove")
    std::wstring uninstallName;
    std::wstring exeName;  // "install_exe_name", or "install_reg_name" + ".exe"
};

enum class DataStatus {
    Ready,
    BadRegName,  // "install_reg_name" missing or not a single name once trimmed: error text 1
    BadFolder,   // "install_path" or "uninstall_name" missing or refused: error text 2
};

// Reads removerFolder + "uninstall.dat" (removerFolder ends with a backslash).
DataStatus ReadUninstallData(const std::wstring& removerFolder, UninstallData& data);

}  // namespace kvuninstall
