#pragma once
// What the engine's benchmarks share: waiting for the engine's threads, and
// the figures of a series of round trips.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/Bench.h"

namespace kvbench {

// Spins until `done` holds, so a wake-up is seen at once; false after `seconds`.
template <class Done>
bool WaitFor(Done done, double seconds = 20) {
    const double end = Now() + seconds;
    while (!done()) {
        if (Now() > end) return false;
        Sleep(0);
    }
    return true;
}

// Prints the median and the 99th percentile of round trips given in seconds.
inline void PrintTrips(std::vector<double> trips) {
    if (trips.empty()) {
        std::printf("no round trip completed\n");
        return;
    }
    std::sort(trips.begin(), trips.end());
    std::printf("%8.3f ms median, %.3f ms 99th percentile (%zu calls)\n", trips[trips.size() / 2] * 1000,
                trips[trips.size() * 99 / 100] * 1000, trips.size());
}

}  // namespace kvbench
