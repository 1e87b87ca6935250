// Benchmark entry: one headless application object for every benchmark, then Google Benchmark.
// After the run it prints the ratio of the full chart drawing to the pixel-writing baseline.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include <unistd.h>

#include <benchmark/benchmark.h>

#include "runtime/window_system.h"

namespace {

// The console report, plus the CPU time per iteration of every benchmark for the ratios: the
// machine is shared, and both sides of a ratio run on one thread.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                seconds_[run.benchmark_name()] = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatios() const {
        const auto fill = seconds_.find("BM_FillFrame");
        if (fill == seconds_.end()) return;
        for (const char* draw : {"BM_Draw/1920x1080", "BM_Draw/1280x800"}) {
            const auto found = seconds_.find(draw);
            if (found != seconds_.end())
                std::printf("ratio %s / BM_FillFrame (CPU time): %.1f\n", draw, found->second / fill->second);
        }
    }

private:
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    pvz::Application application(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    if (::benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    ::benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    ::benchmark::Shutdown();
    return 0;
}
