#include "support/TestKit.h"

#include <atomic>
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

// The command line that starts a Unix program from this Windows process; empty when it is not found.
std::wstring UnixCommandLine(const std::vector<std::string>& argv) {
    if (argv.empty()) return {};
    const std::string program = FindUnixProgram(argv[0]);
    if (program.empty()) return {};
    std::wstring cmd = QuoteArgument(Widen(program));
    for (size_t i = 1; i < argv.size(); ++i) cmd += L" " + QuoteArgument(Widen(argv[i]));
    return cmd;
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

std::string Gbk(const std::string& utf8) {
    const std::wstring wide = Widen(utf8);
    if (wide.empty()) return {};
    constexpr UINT kGbk = 936;
    const int n = WideCharToMultiByte(kGbk, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(kGbk, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring ToWindowsPath(const std::string& unixPath) {
    std::wstring out = L"Z:" + Widen(unixPath);
    for (wchar_t& c : out) {
        if (c == L'/') c = L'\\';
    }
    return out;
}

bool StartUnix(const std::vector<std::string>& argv, const std::string& cwd) {
    std::wstring cmd = UnixCommandLine(argv);
    if (cmd.empty()) return false;
    const std::wstring dir = cwd.empty() ? std::wstring() : ToWindowsPath(cwd);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.empty() ? nullptr : dir.c_str(), &si, &pi)) {
        return false;
    }
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
    return true;
}

// The program runs in the background of a shell that writes the program's
// process id to "<marker>.pid" at once and its exit status to "<marker>"
// last; this side waits for the marker (there is no process handle to wait on).
int RunUnix(const std::vector<std::string>& argv, const std::string& cwd, DWORD timeoutMs) {
    if (argv.empty()) return -1;
    const std::string program = FindUnixProgram(argv[0]);
    if (program.empty()) return -1;
    static std::atomic<int> calls{0};
    const std::string marker = WorkDirUnix() + "/.unix-run-" + std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(++calls);
    std::vector<std::string> shell{"/bin/sh", "-c",
                                   "\"$@\" & echo $! > \"$0.pid\"; wait $!; echo $? > \"$0.tmp\"; mv \"$0.tmp\" \"$0\"",
                                   marker, program};
    shell.insert(shell.end(), argv.begin() + 1, argv.end());
    if (!StartUnix(shell, cwd)) return -1;

    const std::wstring markerPath = ToWindowsPath(marker);
    const std::wstring pidPath = ToWindowsPath(marker + ".pid");
    const DWORD start = GetTickCount();
    while (GetFileAttributesW(markerPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start >= timeoutMs) {
            const std::vector<char> pid = ReadFileBytes(marker + ".pid");
            const std::string id(pid.begin(), pid.end());
            if (id.find_first_not_of("0123456789\n") == std::string::npos && id.size() > 1) {
                StartUnix({"kill", "-9", id.substr(0, id.find('\n'))});
            }
            DeleteFileW(pidPath.c_str());
            return -1;
        }
        Sleep(5);
    }
    const std::vector<char> status = ReadFileBytes(marker);
    DeleteFileW(markerPath.c_str());
    DeleteFileW(pidPath.c_str());
    return std::atoi(std::string(status.begin(), status.end()).c_str());
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
