#include "bench/Bench.h"

#include <cstdio>

int main() {
    std::printf("korvanthel benchmarks (medians of repeated runs)\n\n");
    kvbench::RunMarkupBench();
    kvbench::RunZipBench();
    return 0;
}
