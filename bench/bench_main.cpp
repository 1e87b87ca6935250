// Benchmark entry: one headless application object for every benchmark, then Google Benchmark.
#include <cstdlib>

#include <benchmark/benchmark.h>

#include "runtime/window_system.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    pvz::Application application(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    if (::benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
