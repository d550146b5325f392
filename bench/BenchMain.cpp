#include "bench/Bench.h"

#include <cstdio>

int main() {
    if (const int code = kvbench::RunAsEngineSubProcess(); code >= 0) return code;
    std::printf("korvanthel benchmarks (medians of repeated runs)\n\n");
    kvbench::RunMarkupBench();
    kvbench::RunZipBench();
    kvbench::RunEngineBench();
    kvbench::RunBridgeBench();
    kvbench::RunLayoutBench();
    kvbench::RunListBench();
    kvbench::RunPaintBench();
    kvbench::RunNotifyBench();
    kvbench::RunBuildBench();
    return 0;
}
