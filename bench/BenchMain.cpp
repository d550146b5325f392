#include "bench/Bench.h"

#include <cstdio>
#include <cstring>

// "kv_bench program" measures the real program alone.
int main(int argc, char** argv) {
    if (const int code = kvbench::RunAsEngineSubProcess(); code >= 0) return code;
    std::printf("korvanthel benchmarks (medians of repeated runs)\n\n");
    if (argc > 1 && std::strcmp(argv[1], "program") == 0) {
        kvbench::RunProgramBench();
        return 0;
    }
    kvbench::RunMarkupBench();
    kvbench::RunZipBench();
    kvbench::RunEngineBench();
    kvbench::RunPageBench();
    kvbench::RunBridgeBench();
    kvbench::RunLayoutBench();
    kvbench::RunListBench();
    kvbench::RunPaintBench();
    kvbench::RunNotifyBench();
    kvbench::RunProgramBench();
    kvbench::RunBuildBench();
    return 0;
}
