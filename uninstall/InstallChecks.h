#pragma once
// What the remover accepts from "uninstall.dat" before it removes anything.
// The file lies beside an elevated program, so its values are untrusted:
// every name must name one thing in one folder, and the installation folder
// must be the remover's own folder and nothing wider.
#include <string>
#include <string_view>

namespace kvuninstall {

// Names compared as the file system and the registry compare them.
bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b);

// True for a name that stays one entry of one folder or one registry key:
// not empty, no path separator, ":" or wildcard, not "." or "..", and no
// trailing dot or blank (the system would drop them and name something else).
bool IsSingleName(std::wstring_view name);

// `name` as the file system stores it: trailing dots and blanks dropped.
std::wstring_view TrimmedName(std::wstring_view name);

// True for single names joined by backslashes ("Korvanthel\Remove"): no
// drive, root, empty step, or step that is not a single name.
bool IsPlainRelativePath(std::wstring_view path);

// The installation folder named by `value` (full, long form, one trailing
// backslash) when it is the remover's own folder `removerFolder`; empty
// otherwise. Refused too: relative paths, "." or ".." steps, characters a
// command shell acts on, drive roots, and system or user folders or any
// folder holding one.
std::wstring CheckedInstallFolder(std::wstring_view value, std::wstring_view removerFolder);

// `path` made full and long, with exactly one trailing backslash; empty when
// the system cannot make it.
std::wstring NormalFolder(std::wstring_view path);

// The running program's own file, full and long.
std::wstring RunningProgramPath();

// True when `folder` (full, with one trailing backslash) is a folder of the
// system or the user, or holds one.
bool HoldsProtectedFolder(std::wstring_view folder);

// True when `path` lies inside `folder` (which ends with a backslash), ignoring case.
bool IsInsideFolder(std::wstring_view path, std::wstring_view folder);

}  // namespace kvuninstall
