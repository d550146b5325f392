#include "support/TestEnv.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace kvtest {
namespace {

std::string EnvOrDie(const char* name) {
    const char* v = std::getenv(name);
    if (!v || !*v) throw std::runtime_error(std::string(name) + " is not set: run the test through ctest");
    return v;
}

bool UnixFileExists(const std::string& path) {
    return GetFileAttributesW(ToWindowsPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string FindUnixProgram(const std::string& name) {
    if (!name.empty() && name[0] == '/') return name;
    for (const char* dir : {"/usr/bin/", "/bin/", "/usr/local/bin/"}) {
        if (UnixFileExists(dir + name)) return dir + name;
    }
    return {};
}

// Quotes one argument by the rules the command line is split with again.
std::wstring QuoteArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') { ++backslashes; continue; }
        if (c == L'"') out.append(backslashes * 2 + 1, L'\\');
        else out.append(backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

}  // namespace

const std::string& WorkDirUnix() {
    static const std::string dir = EnvOrDie("KV_TEST_WORK");
    return dir;
}

std::wstring WorkDir() { return ToWindowsPath(WorkDirUnix()) + L"\\"; }

std::string FreshDirUnix(const std::string& name) {
    const std::string dir = WorkDirUnix() + "/" + name;
    RunUnix({"rm", "-rf", dir});
    RunUnix({"mkdir", "-p", dir});
    return dir;
}

const std::string& SourceDirUnix() {
    static const std::string dir = EnvOrDie("KV_SOURCE_DIR");
    return dir;
}

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring ToWindowsPath(const std::string& unixPath) {
    std::wstring out = L"Z:" + Widen(unixPath);
    for (wchar_t& c : out) {
        if (c == L'/') c = L'\\';
    }
    return out;
}

int RunUnix(const std::vector<std::string>& argv, const std::string& cwd, DWORD timeoutMs) {
    if (argv.empty()) return -1;
    const std::string program = FindUnixProgram(argv[0]);
    if (program.empty()) return -1;
    std::wstring cmd = QuoteArgument(Widen(program));
    for (size_t i = 1; i < argv.size(); ++i) cmd += L" " + QuoteArgument(Widen(argv[i]));

    const std::wstring dir = cwd.empty() ? std::wstring() : ToWindowsPath(cwd);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.empty() ? nullptr : dir.c_str(), &si, &pi)) {
        return -1;
    }
    CloseHandle(pi.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(pi.hProcess, &code);
    } else {
        TerminateProcess(pi.hProcess, 1);
    }
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

std::vector<char> ReadFileBytes(const std::string& unixPath) {
    std::vector<char> data;
    FILE* f = _wfopen(ToWindowsPath(unixPath).c_str(), L"rb");
    if (!f) return data;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) data.insert(data.end(), buf, buf + n);
    fclose(f);
    return data;
}

void WriteFileBytes(const std::string& unixPath, const void* data, size_t size) {
    FILE* f = _wfopen(ToWindowsPath(unixPath).c_str(), L"wb");
    if (!f) throw std::runtime_error("cannot write " + unixPath);
    const size_t written = size ? fwrite(data, 1, size, f) : 0;
    fclose(f);
    if (written != size) throw std::runtime_error("short write to " + unixPath);
}

void WriteFileText(const std::string& unixPath, const std::string& text) {
    WriteFileBytes(unixPath, text.data(), text.size());
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace kvtest
