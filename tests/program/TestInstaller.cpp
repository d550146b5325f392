// Stands in for the downloaded update installer in the end-to-end tests: it
// writes its arguments, one a line in UTF-8, to the file named by
// KV_E2E_INSTALLER_RECORD (which the client passes on to it) and ends.
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "win/TextConversion.h"
#include "win/UniqueHandle.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t record[MAX_PATH];
    if (!GetEnvironmentVariableW(L"KV_E2E_INSTALLER_RECORD", record, MAX_PATH)) return 1;
    int count = 0;
    const kvwin::UniqueLocal args(CommandLineToArgvW(GetCommandLineW(), &count));
    std::string text;
    for (int i = 1; args && i < count; ++i) text += kvwin::WideToUtf8(static_cast<LPWSTR*>(args.get())[i]) + "\n";
    const kvwin::UniqueKernelHandle file(CreateFileW(record, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ? 0 : 1;
}
