// The real korvanthel.exe started as a user starts it, against the local web
// application (scripts/webapp, which scripts/bench starts on the port this
// program was built for): from process start (a) until the main window shows
// its finished frame, (b) until the web application has sent it the page,
// and (d) the private memory of the client and its renderers once the page
// is shown. The stripped size (c) is measured by scripts/bench.
#include "bench/Bench.h"


#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/ProcessKit.h"
#include "win/GdiOwners.h"
#include "win/UniqueHandle.h"

namespace kvbench {
namespace {

constexpr int kRuns = 5;
constexpr DWORD kLoadTimeoutMs = 30000;
constexpr wchar_t kExeName[] = L"korvanthel.exe";

// Points of the window's frame (client coordinates of the 1200 x 770 window):
// the title bar at both ends and in the middle, the left and bottom border.
constexpr POINT kFramePoints[] = {{5, 15}, {700, 15}, {1195, 15}, {0, 400}, {600, 769}};
constexpr int kFramePointCount = sizeof kFramePoints / sizeof kFramePoints[0];

// Seconds since the Unix epoch (the clock the web application writes its time with).
double EpochSeconds() {
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    const ULONGLONG ticks = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<double>(ticks - 116444736000000000ULL) / 1e7;
}

std::wstring WindowsPath(const std::string& unixPath) {
    std::wstring path = L"Z:";
    for (const char c : unixPath) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

// The time the web application had sent the page; 0 while it has not.
double LoadedAt(const std::wstring& marker) {
    const kvwin::UniqueKernelHandle file(
        CreateFileW(marker.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                    nullptr));
    char text[32] = {};
    DWORD read = 0;
    if (!file || !ReadFile(file.get(), text, sizeof text - 1, &read, nullptr)) return 0;
    return std::atof(text);
}

void EndClients() {
    for (const DWORD id : kvtest::ProcessesNamed(kExeName)) kvtest::EndProcess(id);
}

// Wine reports no private usage for another process, so the Unix side is
// read through drive Z: the anonymous resident memory (RssAnon) of every
// process whose command line runs the program.
// Each process's share is printed in the first run.
double PrivateMiB(bool show) {
    double kib = 0;
    WIN32_FIND_DATAA entry;
    const kvwin::UniqueFindHandle find(FindFirstFileA("Z:\\proc\\*", &entry));
    for (bool more = static_cast<bool>(find); more; more = FindNextFileA(find.get(), &entry)) {
        const std::string folder = std::string("Z:\\proc\\") + entry.cFileName;
        if (!std::isdigit(static_cast<unsigned char>(entry.cFileName[0]))) continue;
        std::ifstream commandLine(folder + "\\cmdline", std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(commandLine)), std::istreambuf_iterator<char>());
        std::transform(text.begin(), text.end(), text.begin(), [](char c) { return static_cast<char>(std::tolower(c)); });
        if (text.find("korvanthel.exe") == std::string::npos) continue;
        std::ifstream status(folder + "\\status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("RssAnon:", 0) != 0) continue;
            kib += std::atof(line.c_str() + 8);
            if (show) std::printf("      process %s: %.1f MiB\n", entry.cFileName, std::atof(line.c_str() + 8) / 1024);
        }
    }
    return kib / 1024.0;
}

struct FrameSample {
    double at;
    COLORREF colors[kFramePointCount];
};

bool SameColors(const FrameSample& a, const FrameSample& b) {
    return std::equal(std::begin(a.colors), std::end(a.colors), std::begin(b.colors));
}

struct Run {
    double framePainted = -1;  // seconds from the start
    double pageLoaded = -1;
    double privateMiB = 0;
};

Run MeasureOnce(const std::wstring& exe, const std::wstring& marker, bool showMemory) {
    DeleteFileW(marker.c_str());
    Run run;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    const double startEpoch = EpochSeconds();
    const double start = Now();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info)) {
        return run;
    }
    const kvwin::UniqueKernelHandle process(info.hProcess);
    const kvwin::UniqueKernelHandle thread(info.hThread);

    // The frame's pixels as the screen shows them, whenever they change, until the page is shown.
    std::vector<FrameSample> samples;
    HWND main = nullptr;
    while (Now() - start < kLoadTimeoutMs / 1000.0) {
        if (run.pageLoaded < 0) {
            if (const double loaded = LoadedAt(marker); loaded > 0) run.pageLoaded = loaded - startEpoch;
        }
        if (!main) main = kvtest::FindWindowOf(info.dwProcessId, L"KorvanthelMainFrameWnd");
        if (main && IsWindowVisible(main)) {
            POINT origin{0, 0};
            ClientToScreen(main, &origin);
            const kvwin::WindowDC screen(nullptr);
            FrameSample sample{Now() - start, {}};
            for (int i = 0; i < kFramePointCount; ++i) {
                sample.colors[i] = GetPixel(screen.get(), origin.x + kFramePoints[i].x, origin.y + kFramePoints[i].y);
            }
            if (samples.empty() || !SameColors(samples.back(), sample)) samples.push_back(sample);
            if (run.pageLoaded >= 0) break;
        }
        Sleep(1);
    }
    // The finished frame is what shows once the page is there; the first
    // sample that already showed it is the first complete paint.
    for (const FrameSample& sample : samples) {
        if (run.pageLoaded >= 0 && SameColors(sample, samples.back())) {
            run.framePainted = sample.at;
            break;
        }
    }
    if (run.pageLoaded >= 0) run.privateMiB = PrivateMiB(showMemory);
    EndClients();
    return run;
}

double Median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

void RunProgramBench() {
    const char* webapp = std::getenv("KV_BENCH_WEBAPP");
    std::printf("korvanthel.exe from process start against the local web application (medians of %d runs)\n",
                kRuns);
    if (!webapp || !*webapp) {
        std::printf("  skipped: KV_BENCH_WEBAPP (the web application's state folder) is not set\n\n");
        return;
    }
    const std::wstring marker = WindowsPath(std::string(webapp) + "/loaded");
    const std::wstring exe = WindowsPath(KV_BENCH_CLIENT);
    EndClients();
    std::vector<double> painted, loaded, memory;
    for (int i = 0; i < kRuns; ++i) {
        const Run run = MeasureOnce(exe, marker, i == 0);
        if (run.pageLoaded < 0) {
            std::printf("  run %d: the page was not shown within %lu s\n", i + 1, kLoadTimeoutMs / 1000);
            continue;
        }
        painted.push_back(run.framePainted * 1000);
        loaded.push_back(run.pageLoaded * 1000);
        memory.push_back(run.privateMiB);
    }
    std::printf("  (a) main window's frame first painted complete: %7.1f ms  (target < 400 ms)\n", Median(painted));
    std::printf("  (b) page sent by the web application:           %7.1f ms  (target < 800 ms)\n", Median(loaded));
    std::printf("  (d) private memory (RssAnon), client, renderers:%7.1f MiB (target < 60 MB)\n\n", Median(memory));
}

}  // namespace kvbench
