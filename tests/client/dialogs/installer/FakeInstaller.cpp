// Stands in for the downloaded installer in the update window's tests: it
// writes the arguments it was started with, one a line in UTF-8, to
// "args.txt" beside itself, and ends.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? static_cast<size_t>(size) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path = path.substr(0, path.find_last_of(L'\\') + 1) + L"args.txt";

    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string text;
    for (int i = 1; args && i < count; ++i) text += Utf8(args[i]) + "\n";
    LocalFree(args);

    // Written under another name first, so that the test never reads half a file.
    const std::wstring pending = path + L".pending";
    FILE* file = _wfopen(pending.c_str(), L"wb");
    if (!file) return 1;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    return MoveFileW(pending.c_str(), path.c_str()) ? 0 : 1;
}
