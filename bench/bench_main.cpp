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
                seconds_[run.benchmark_name()] =
                    run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatios() const {
        const auto ratio = [&](const char* draw, const char* fillName) {
            const auto fill = seconds_.find(fillName);
            const auto found = seconds_.find(draw);
            if (fill != seconds_.end() && found != seconds_.end())
                std::printf("ratio %s / %s (CPU time): %.1f\n", draw, fillName, found->second / fill->second);
        };
        ratio("BM_Draw/1920x1080", "BM_FillFrame");
        ratio("BM_Draw/1280x800", "BM_FillFrame");
        ratio("BM_DrawHiDpi", "BM_FillFrameHiDpi");
    }

private:
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    // Three offscreen screens (bench/screens.json): ratio 1; ratio 2 as the platform's own
    // screen ratio, where the offscreen platform keeps each window's back buffer at ratio 1 and
    // the window scales the picture into it; and ratio 2 from the toolkit's scaling (as with
    // QT_SCALE_FACTOR=2 or a doubled font resolution), where the back buffer has every device
    // pixel and the picture is copied one to one.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || std::string(platform) == "offscreen")
        setenv("QT_QPA_PLATFORM", "offscreen:configfile=" PVZ_BENCH_SCREENS, 1);
    pvz::Application application(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    if (::benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    ::benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    ::benchmark::Shutdown();
    return 0;
}
