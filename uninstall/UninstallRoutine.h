#pragma once
// The uninstall routine: reads "uninstall.dat", ends the client, empties the
// installation folder and removes the shortcuts and registry keys. The
// folder itself, with the running remover, goes last through the shell.
#include <string>

namespace kvuninstall {

// The remover's own folder (the module path cut after its last backslash).
std::wstring RemoverFolder();

// Where the shortcuts live; empty when the system cannot find the folder
// (then nothing is removed there). No trailing backslash.
struct ShellFolders {
    std::wstring desktop;         // the user's desktop folder
    std::wstring commonPrograms;  // the all-users start-menu programs folder
};
ShellFolders FindShellFolders();

enum class UninstallResult {
    Done,
    DataMissing,     // error text 1: nothing removed
    DataIncomplete,  // error text 2: nothing removed
    LeftOver,        // a client process, installed file, shortcut or registry key is still there
};

struct UninstallOutcome {
    UninstallResult result = UninstallResult::DataMissing;
    // The checked installation folder in double quotes, for the final removal;
    // empty when the data was refused.
    std::wstring quotedInstallPath;
};

UninstallOutcome UninstallInstallation(const std::wstring& removerFolder, const ShellFolders& folders);

// Deletes what `folder` (ending with a backslash) holds and keeps the folder.
// False when something is still there that the folder's final removal would
// not take either (a file in use, say).
bool DeleteFolderContents(const std::wstring& folder);
// Removes a folder with all it holds through the shell, nothing to the recycle bin.
bool DeleteDirectoryTree(const std::wstring& path);

}  // namespace kvuninstall
