// The viewer's hot paths on the sample data: loading the eleven files, one rebuild of the year
// view (alone, and in the differences view with the comparison of every source), one complete drawing of the chart, the
// pixel-writing baseline, and a visor move.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/data_loader.h"
#include "tools/lib/sample_data.h"
#include "tools/lib/snapshot_driver.h"
#include "tools/lib/snapshot_options.h"

namespace {

using namespace pvz;

constexpr const char* kNow = "2017-02-15 12:00:00";

// The eleven sample files with 999 accepted records each, in a directory of their own that
// goes with the object.
class SampleFiles {
public:
    SampleFiles() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pvz-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        directory_ = pattern;
        options_.todayDay = *parseLocalTime(kNow);
        options_.sampling = SampleSampling::oneAcceptedRecordPerDay;
        writeSampleData(directory_, options_);
    }
    ~SampleFiles() {
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }
    SampleFiles(const SampleFiles&) = delete;
    SampleFiles& operator=(const SampleFiles&) = delete;

    const std::string& directory() const { return directory_; }
    double baseMjd() const { return sampleCalendarOf(options_).baseMjd; }

private:
    std::string directory_;
    SampleDataOptions options_;
};

class SilentServices : public LoaderServices {
public:
    void setStatusText(const std::string&) override {}
    void showMessage(const std::string&) override {}
    std::optional<std::string> chooseDirectory(const std::string&) override { return std::nullopt; }
    std::string currentDirectory() override { return "/"; }
};

// The real window, headless, after Start, in the year view with every source checked and UT1
// selected: whole-second alignment and trend removal both run.
struct YearView {
    YearView(const SampleFiles& files, int width, int height) {
        SnapshotOptions options;
        options.dataDirectory = files.directory();
        options.nowText = kNow;
        options.now = *parseLocalTime(kNow);
        options.width = width;
        options.height = height;
        options.screenWidth = 1920;
        driver = std::make_unique<SnapshotDriver>(options);
        for (const char* action : {"start", "interval=year", "param=UT1", "trend=no"})
            driver->apply(*parseSnapshotAction(action));
        for (int tag = 1; tag <= kSeriesSlotCount; ++tag)
            if (!driver->form().seriesCheckBox(tag).checked()) std::abort();
        rebuild();
        if (form().RadioGroupInterval->itemIndex() != 1 || form().seriesAt(0).Count() < 300) std::abort();
    }

    TForm1& form() { return driver->form(); }

    void rebuild() {
        form().state.redrawRequested = true;
        form().state.autoFitRequested = true;
        form().displayCycle().rebuild();
    }

    std::unique_ptr<SnapshotDriver> driver;
};

void BM_Load(benchmark::State& state) {
    const SampleFiles files;
    SilentServices services;
    auto store = std::make_unique<ObservationStore>();
    auto viewer = std::make_unique<ViewerState>();
    store->dataDirectory = files.directory() + "/";
    viewer->baseMjd = files.baseMjd();
    for (auto _ : state) {
        loadDataFiles(*store, *viewer, services);
        benchmark::DoNotOptimize(store->observations(999, 11, kindMJD));
    }
    if (store->observations(999, 1, kindMJD) == missingValue) state.SkipWithError("fewer than 999 rows loaded");
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

// Source points that the comparison with the reference counts.
int comparedPoints(YearView& view) {
    int compared = 0;
    for (const DifferenceStatistics& s : view.form().displayCycle().statistics().bySeries) compared += s.count;
    return compared;
}

// The rebuild alone: nothing asks for the comparison.
void BM_RebuildYear(benchmark::State& state) {
    const SampleFiles files;
    YearView view(files, 1920, 1080);
    for (auto _ : state) view.rebuild();
    state.counters["points"] = view.form().seriesAt(0).Count();
}
BENCHMARK(BM_RebuildYear)->Unit(benchmark::kMicrosecond);

// The rebuild of the differences view, which compares the shown sources to plot them, and the
// statistics of every source, as a tip or the report asks for them.
void BM_DifferencesYear(benchmark::State& state) {
    const SampleFiles files;
    YearView view(files, 1920, 1080);
    view.driver->apply(SnapshotAction{SnapshotActionKind::View, 1, 0, {}});
    if (!view.form().state.showDifferences) state.SkipWithError("the differences view is not shown");
    for (auto _ : state) {
        view.rebuild();
        benchmark::DoNotOptimize(view.form().displayCycle().statistics());
    }
    state.counters["compared"] = comparedPoints(view);
}
BENCHMARK(BM_DifferencesYear)->Unit(benchmark::kMicrosecond);

void BM_Draw(benchmark::State& state, int width, int height) {
    const SampleFiles files;
    YearView view(files, width, height);
    TChart& chart = *view.form().Chart;
    for (auto _ : state) chart.drawToBitmap();
    state.counters["width"] = chart.width();
    state.counters["height"] = chart.height();
}
BENCHMARK_CAPTURE(BM_Draw, 1920x1080, 1920, 1080)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Draw, 1280x800, 1280, 800)->Unit(benchmark::kMillisecond);

// The benchmark's screens of device pixel ratio 2 (see bench_main.cpp): the platform's, with
// the window's back buffer at ratio 1, and the toolkit's, with the back buffer at ratio 2.
constexpr int kRatio2Screen = 1;
constexpr int kScaledRatio2Screen = 2;

// Moves the view's window to `screen`; false if the chart then does not draw `ratio` device
// pixels per logical pixel.
bool moveToScreen(YearView& view, int screen, double ratio) {
    view.form().moveToScreen(screen);
    Application::instance().processPendingEvents();
    TChart& chart = *view.form().Chart;
    chart.drawToBitmap();
    return chart.pixelRatio() == ratio && chart.width() == 1920 &&
           chart.bitmap().deviceWidth() == static_cast<int>(chart.width() * ratio);
}

// The 1920 x 1080 view on a screen of ratio 2: 3840 x 2160 device pixels.
void BM_DrawHiDpi(benchmark::State& state) {
    const SampleFiles files;
    YearView view(files, 1920, 1080);
    if (!moveToScreen(view, kRatio2Screen, 2.0)) state.SkipWithError("no screen of ratio 2");
    TChart& chart = *view.form().Chart;
    for (auto _ : state) chart.drawToBitmap();
    state.counters["deviceWidth"] = chart.bitmap().deviceWidth();
    state.counters["deviceHeight"] = chart.bitmap().deviceHeight();
}
BENCHMARK(BM_DrawHiDpi)->Unit(benchmark::kMillisecond);

// Writing every pixel of a frame of 32-bit pixels once: the floor of any drawing. The pixel
// count is a constant of the loop, so that the compiler writes whole vectors whatever it
// inlines around it (with the count read from the vector it once wrote one pixel a store).
template <std::size_t Width, std::size_t Height>
void fillFrame(benchmark::State& state) {
    constexpr std::size_t kPixels = Width * Height;
    std::vector<std::uint32_t> frame(kPixels);
    std::uint32_t* const pixels = frame.data();
    std::uint32_t colour = 0;
    for (auto _ : state) {
        std::fill_n(pixels, kPixels, ++colour);
        benchmark::DoNotOptimize(pixels);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kPixels * sizeof(std::uint32_t)));
}

void BM_FillFrame(benchmark::State& state) { fillFrame<1920, 1080>(state); }
BENCHMARK(BM_FillFrame)->Unit(benchmark::kMillisecond);

// The frame of BM_DrawHiDpi.
void BM_FillFrameHiDpi(benchmark::State& state) { fillFrame<3840, 2160>(state); }
BENCHMARK(BM_FillFrameHiDpi)->Unit(benchmark::kMillisecond);

// One pointer move over the plot with the visors on, back and forth between two points: the
// window system's move event, the handler it reaches, and the paints the move causes; on the
// screen of ratio 1 and on both screens of ratio 2.
void BM_VisorMove(benchmark::State& state, int screenIndex, double ratio) {
    const SampleFiles files;
    YearView view(files, 1920, 1080);
    TForm1& form = view.form();
    if (!moveToScreen(view, screenIndex, ratio)) state.SkipWithError("no screen of that ratio");
    view.driver->apply(*parseSnapshotAction("visor=on"));
    TChart& chart = *form.Chart;
    const Rect plot = chart.PlotRect();
    const Point points[2] = {{plot.left + plot.width() / 3, plot.top + plot.height() / 3},
                             {plot.left + 2 * plot.width() / 3, plot.top + 2 * plot.height() / 3}};
    const Point screen[2] = {chart.clientToScreen(points[0]), chart.clientToScreen(points[1])};
    Application& application = Application::instance();
    const int drawings = chart.drawingCount();
    int k = 0;
    for (auto _ : state) {
        k ^= 1;
        // The window system queues a move event, as for a real pointer; processing it runs
        // the handler and then the paint the handler asked for.
        setPointerScreenPosition(screen[k]);
        application.processPendingEvents();
    }
    if (form.state.visorX != points[k].x || form.state.visorY != points[k].y)
        state.SkipWithError("the move did not reach the handler");
    if (form.StaticTextX->caption().empty()) state.SkipWithError("the visor shows no read-out");
    if (chart.drawingCount() != drawings) state.SkipWithError("a move drew the chart");
}
BENCHMARK_CAPTURE(BM_VisorMove, ratio1, 0, 1.0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_VisorMove, ratio2, kRatio2Screen, 2.0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_VisorMove, ratio2_scaled, kScaledRatio2Screen, 2.0)->Unit(benchmark::kMicrosecond);

}  // namespace
