// One complete drawing of the viewer's chart into its off-screen picture: gradient, walls, two
// axes with grid, title, legend and eleven series of a year's points, without the viewer's
// handlers.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "app/viewer_chart.h"
#include "runtime/window_system.h"

namespace {

using namespace pvz;

struct YearChart {
    YearChart(int width, int height) : chart(&form) {
        form.setBounds(0, 0, width, height);
        chart.setBounds(0, 0, width, height);
        std::array<TLineSeries*, kSeriesSlotCount> byIndex{};
        for (int i = 0; i < kSeriesSlotCount; ++i) {
            series.push_back(std::make_unique<TLineSeries>());
            byIndex[static_cast<std::size_t>(i)] = series.back().get();
        }
        configureViewerChart(chart, byIndex);
        const double first = 45000;
        for (auto& owned : series) {
            TLineSeries& s = *owned;
            const int i = static_cast<int>(&owned - series.data());
            for (int d = 0; d < 365; ++d)
                s.AddPoint(first + d, 0.004 * std::sin(d * 0.05 + i) + 0.0003 * i, "", s.SeriesColor());
        }
        chart.BottomAxis().setMinMax(first, first + 364);
        chart.BottomAxis().setIncrement(30);
        chart.BottomAxis().setDateTimeFormat("mmm/dd yyyy");
        chart.BottomAxis().setLabelsMultiLine(true);
        chart.LeftAxis().setMinMax(-0.006, 0.008);
    }
    ~YearChart() {
        for (auto& s : series) chart.removeSeries(*s);
    }

    Form form;
    TChart chart;
    std::vector<std::unique_ptr<TLineSeries>> series;
};

void BM_ChartDraw(benchmark::State& state) {
    YearChart year(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    year.chart.drawToBitmap();  // the gradient and the marker sprites are made here once
    for (auto _ : state) year.chart.drawToBitmap();
    state.counters["drawings"] = year.chart.drawingCount();
}
BENCHMARK(BM_ChartDraw)->Args({1920, 1080})->Args({1280, 800})->Unit(benchmark::kMillisecond);

}  // namespace
