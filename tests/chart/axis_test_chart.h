#pragma once
// A chart for axis and series tests: counts repaint requests, holds series and a plot
// rectangle, and records what is drawn on its canvas with fixed text measures.

#include <cstddef>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/chart_axis.h"
#include "chart/chart_owner.h"
#include "chart/chart_series.h"
#include "runtime/graphics.h"

namespace pvz::test {

// Text is `charWidth` pixels per character (UTF-8 aware) and `lineHeight` pixels high.
class RecordingCanvas : public Canvas {
public:
    struct Line {
        Point from;
        Point to;
        Pen pen;
    };
    struct Text {
        int x = 0;
        int y = 0;
        std::string text;
        TextAlign align = TextAlign::Left;
        Font font;
        BrushStyle brush = BrushStyle::Solid;
        BackgroundMode background = BackgroundMode::Opaque;
    };

    int charWidth = 7;
    int lineHeight = 15;
    std::vector<Line> lines;
    std::vector<Text> texts;

    void lineTo(int x, int y) override {
        lines.push_back({current_, {x, y}, state_.pen});
        current_ = {x, y};
    }
    void rectangle(const Rect&) override {}
    void fillRect(const Rect&) override {}
    void ellipse(const Rect&) override {}
    void polygon(std::span<const Point>) override {}
    void textOut(int x, int y, std::string_view text) override {
        texts.push_back(
            {x, y, std::string(text), state_.textAlign, state_.font, state_.brush.style, state_.backgroundMode});
    }
    int textWidth(std::string_view text) override {
        int characters = 0;
        for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return characters * charWidth;
    }
    int textHeight(std::string_view) override { return lineHeight; }
    void setClipRect(const Rect&) override {}
    void removeClip() override {}
    void frame3D(Rect&, Color, Color, int) override {}
    void drawPixels(int, int, int, int, const std::uint32_t*, int) override {}
    void fillPixelBoxes(int, int, std::span<const PixelBox>) override {}

    // Lines drawn with exactly this pen colour.
    std::vector<Line> linesInColor(Color color) const {
        std::vector<Line> result;
        for (const Line& line : lines) {
            if (line.pen.color == color) result.push_back(line);
        }
        return result;
    }
};

class TestChart : public ChartOwner {
public:
    int repaints = 0;
    bool loading = false;
    bool destroying = false;
    Rect plot{0, 0, 400, 300};
    int wallSize = 0;
    std::vector<const TChartSeries*> series;
    RecordingCanvas recorder;
    TAxisOnGetNextLabel onGetNextAxisLabel;
    TAxisOnGetLabel onGetAxisLabel;

    void requestRepaint() override { ++repaints; }
    bool isLoading() const override { return loading; }
    bool isDestroying() const override { return destroying; }
    int seriesCount() const override { return static_cast<int>(series.size()); }
    const TChartSeries& seriesAt(int index) const override { return *series[static_cast<std::size_t>(index)]; }
    Rect plotRect() const override { return plot; }
    Canvas& canvas() override { return recorder; }
    int wallSizeForAxis(const TCustomChartAxis&) const override { return wallSize; }
    const TAxisOnGetNextLabel& getNextAxisLabelHandler() const override { return onGetNextAxisLabel; }
    const TAxisOnGetLabel& getAxisLabelHandler() const override { return onGetAxisLabel; }

    // Adds a series to the chart and makes the chart its parent.
    void add(TChartSeries& s) {
        s.setParentChart(this);
        series.push_back(&s);
    }
};

// The test chart with its plot at `plot` and one axis of `place` on it.
struct AxisOnChart {
    TestChart chart;
    TChartAxis axis;

    AxisOnChart(AxisPlace place, Rect plot) : axis(&chart, place) { chart.plot = plot; }
};

// One row of a repaint table: a change to a part of a chart (an axis, a series) and how many
// repaint requests it must make.
template <class Part>
struct RepaintStep {
    const char* what;
    void (*apply)(Part&);
    int repaints;
};

// Applies the steps in order to `part`, whose chart is `chart`, and checks each one's count.
template <class Part, std::size_t N>
void expectRepaints(TestChart& chart, Part& part, const RepaintStep<Part> (&steps)[N]) {
    for (const RepaintStep<Part>& step : steps) {
        SCOPED_TRACE(step.what);
        chart.repaints = 0;
        step.apply(part);
        EXPECT_EQ(chart.repaints, step.repaints);
    }
}

// Runs the range and pixel steps of one repaint on the axis (no layout bands).
inline void layoutAxis(TCustomChartAxis& axis) {
    axis.AdjustRange();
    axis.ComputePixelSpan();
}

}  // namespace pvz::test
