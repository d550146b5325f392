#pragma once
// Ending the installed client before its files are removed.
#include <string>
#include <string_view>

namespace kvuninstall {

// Ends every process whose executable is called `exeName` (ignoring case) and
// lies inside `installFolder`; the remover itself and same-named programs
// elsewhere are left alone. Each end is waited for a few seconds at most.
// False when such a process is still running (or could not be examined).
bool EndClientProcesses(std::wstring_view exeName, std::wstring_view installFolder);

}  // namespace kvuninstall
