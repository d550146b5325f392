#include "uninstall/UninstallData.h"

#include <windows.h>

#include "uninstall/InstallChecks.h"

namespace kvuninstall {
namespace {

constexpr DWORD kValueBuffer = 256;

// A value that fills the buffer may have been cut, and a cut name or path
// names something else: it is treated as missing.
std::wstring ReadValue(const std::wstring& file, LPCWSTR key, LPCWSTR fallback = L"") {
    wchar_t value[kValueBuffer] = {};
    const DWORD length = GetPrivateProfileStringW(L"uninstall", key, fallback, value, kValueBuffer, file.c_str());
    if (length >= kValueBuffer - 1) return {};
    return std::wstring(value, length);
}

}  // namespace

DataStatus ReadUninstallData(const std::wstring& removerFolder, UninstallData& data) {
    const std::wstring file = removerFolder + L"uninstall.dat";
    data.regName = ReadValue(file, L"install_reg_name");
    // The system drops trailing dots and blanks from the start-menu folder's name.
    if (!IsSingleName(TrimmedName(data.regName))) return DataStatus::BadRegName;
    data.installFolder = CheckedInstallFolder(ReadValue(file, L"install_path"), removerFolder);
    if (data.installFolder.empty()) return DataStatus::BadFolder;
    data.uninstallName = ReadValue(file, L"uninstall_name");
    if (!IsPlainRelativePath(data.uninstallName)) return DataStatus::BadFolder;
    data.exeName = ReadValue(file, L"install_exe_name", (data.regName + L".exe").c_str());
    return DataStatus::Ready;
}

}  // namespace kvuninstall
