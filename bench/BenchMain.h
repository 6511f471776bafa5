#pragma once

// The part of every benchmark's main that runs the benchmarks: the command line read, unknown
// arguments refused (status 1), the benchmarks run and the library shut down.
#include <benchmark/benchmark.h>

namespace bench {

inline int runBenchmarks(int& argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
