#pragma once
// Shared pieces of the benchmark program.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace kvbench {

// Seconds since an arbitrary start, from the high-resolution counter.
inline double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// Median wall time in seconds of `runs` calls of `work`.
inline double MedianSeconds(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = Now();
        work();
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void RunMarkupBench();
void RunZipBench();
void RunEngineBench();
void RunPageBench();
void RunLayoutBench();
void RunListBench();
void RunPaintBench();
void RunNotifyBench();
// The bridge's renderers are this program started again: in such a process
// this serves as the renderer and returns its exit code; -1 otherwise.
int RunAsEngineSubProcess();
void RunBridgeBench();
// The real program against the local web application (scripts/bench serves it).
void RunProgramBench();
// Sets the skin zip for the process (and lets it go through Term): runs last.
void RunBuildBench();

}  // namespace kvbench
