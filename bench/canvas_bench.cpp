// The bitmap canvas at the chart's frame size: fills, grid lines, series lines, markers, text.
#include <benchmark/benchmark.h>

#include <array>

#include "runtime/window_system.h"

namespace {

using namespace pvz;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// Ring by ring, as the chart's centred gradient background fills the frame.
void BM_GradientRings(benchmark::State& state) {
    Bitmap bitmap;
    bitmap.setSize(kWidth, kHeight);
    Canvas& c = bitmap.canvas();
    for (auto _ : state) {
        for (int v = 0; v < kHeight / 2; ++v) {
            c.brush().color = rgbColor(192 - v / 8, 192 - v / 6, 192 - v / 6);
            const int u = v * kWidth / kHeight;
            c.fillRect({u, v, u + 1, kHeight - v});
            c.fillRect({kWidth - u - 1, v, kWidth - u, kHeight - v});
            c.fillRect({u, v, kWidth - u, v + 1});
            c.fillRect({u, kHeight - v - 1, kWidth - u, kHeight - v});
        }
    }
}
BENCHMARK(BM_GradientRings)->Unit(benchmark::kMillisecond);

// Eleven series of 500 points each: lines between points and a square marker on every point.
void BM_SeriesWithMarkers(benchmark::State& state) {
    Bitmap bitmap;
    bitmap.setSize(kWidth, kHeight);
    Canvas& c = bitmap.canvas();
    c.setClipRect({20, 50, kWidth - 200, kHeight - 140});
    for (auto _ : state) {
        for (int s = 0; s < 11; ++s) {
            c.pen() = Pen{rgbColor(s * 20, 100, 255 - s * 20), 1, PenStyle::Solid, PenMode::Copy, false};
            c.brush() = Brush{rgbColor(255 - s * 20, 100, s * 20), BrushStyle::Solid};
            c.moveTo(20, 500);
            for (int i = 0; i < 500; ++i) {
                const int x = 20 + i * 3;
                const int y = 100 + s * 70 + (i * 37 + s * 11) % 60;
                c.lineTo(x, y);
                c.rectangle({x - 2, y - 2, x + 3, y + 3});
                c.moveTo(x, y);
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * 11 * 500);
}
BENCHMARK(BM_SeriesWithMarkers)->Unit(benchmark::kMillisecond);

void BM_TriangleMarkers(benchmark::State& state) {
    Bitmap bitmap;
    bitmap.setSize(kWidth, kHeight);
    Canvas& c = bitmap.canvas();
    c.pen() = Pen{clBlack, 1, PenStyle::Solid, PenMode::Copy, false};
    c.brush() = Brush{clRed, BrushStyle::Solid};
    for (auto _ : state) {
        for (int i = 0; i < 5500; ++i) {
            const int x = 20 + (i * 7) % 1800;
            const int y = 60 + (i * 13) % 900;
            const std::array<Point, 3> triangle = {Point{x - 3, y + 3}, Point{x, y - 3}, Point{x + 3, y + 3}};
            c.polygon(triangle);
        }
    }
    state.SetItemsProcessed(state.iterations() * 5500);
}
BENCHMARK(BM_TriangleMarkers)->Unit(benchmark::kMillisecond);

// The grid: dotted lines across the plot every 60 pixels both ways.
void BM_DottedGrid(benchmark::State& state) {
    Bitmap bitmap;
    bitmap.setSize(kWidth, kHeight);
    Canvas& c = bitmap.canvas();
    c.pen() = Pen{clGray, 1, PenStyle::Dot, PenMode::Copy, true};
    for (auto _ : state) {
        for (int x = 20; x < kWidth - 200; x += 60) {
            c.moveTo(x, 50);
            c.lineTo(x, kHeight - 140);
        }
        for (int y = 50; y < kHeight - 140; y += 60) {
            c.moveTo(20, y);
            c.lineTo(kWidth - 200, y);
        }
    }
}
BENCHMARK(BM_DottedGrid)->Unit(benchmark::kMicrosecond);

void BM_AxisLabels(benchmark::State& state) {
    Bitmap bitmap;
    bitmap.setSize(kWidth, kHeight);
    Canvas& c = bitmap.canvas();
    c.font() = Font{"Arial", -11, clBlack, 0};
    c.state().textAlign = TextAlign::Center;
    for (auto _ : state) {
        for (int i = 0; i < 60; ++i) c.textOut(30 + i * 30, kHeight - 130, "-0,2430");
        benchmark::DoNotOptimize(c.textWidth("янв/05 2017"));
    }
}
BENCHMARK(BM_AxisLabels)->Unit(benchmark::kMicrosecond);

}  // namespace
