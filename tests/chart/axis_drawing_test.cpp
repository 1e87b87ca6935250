#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/chart_axis.h"
#include "chart/chart_series.h"
#include "runtime/calendar.h"
#include "runtime/formatting.h"
#include "tests/chart/axis_test_chart.h"

namespace pvz {
namespace {

using Line = test::RecordingCanvas::Line;
using Text = test::RecordingCanvas::Text;

// Runs the axis's part of one repaint: range, band, span, drawing.
void repaintAxis(test::TestChart& chart, TCustomChartAxis& axis) {
    axis.AdjustRange();
    Rect rect = chart.plot;
    axis.ReserveAxisSpace(rect);
    chart.plot = rect;
    axis.ComputePixelSpan();
    axis.DrawAxis();
}

void setManualRange(TCustomChartAxis& axis, double minimum, double maximum, double increment) {
    axis.setAutomatic(false);
    axis.setMaximum(10000000);
    axis.setMinimum(minimum);
    axis.setMaximum(maximum);
    axis.setIncrement(increment);
    axis.setLabelsSeparation(0);  // keep the increment as the step
}

// The test chart with one axis whose range is set by hand, on the plot `plot`.
struct ManualAxis : test::AxisOnChart {
    ManualAxis(AxisPlace place, double minimum, double maximum, double increment, Rect plot = {100, 50, 500, 250})
        : AxisOnChart(place, plot) {
        setManualRange(axis, minimum, maximum, increment);
    }
};

std::vector<int> xsOf(const std::vector<Text>& texts) {
    std::vector<int> xs;
    for (const Text& t : texts) xs.push_back(t.x);
    return xs;
}

TEST(AxisDrawing, BottomAxisLabelsTicksAndGridInOrder) {
    ManualAxis fixture(AxisPlace::Bottom, 0, 10, 2.5);
    auto& [chart, axis] = fixture;
    repaintAxis(chart, axis);

    // Band: one 15-pixel label line, then axis width 2 + tick length 4.
    EXPECT_EQ(chart.plot.bottom, 250 - 15 - 6);
    EXPECT_EQ(axis.LabelsPosition(), 235);
    EXPECT_EQ(axis.AxisPosition(), 229);
    EXPECT_EQ(axis.TickPositions(), (std::vector<int>{500, 400, 300, 200, 100}));

    const auto& texts = chart.recorder.texts;
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(xsOf(texts), (std::vector<int>{500, 400, 300, 200, 100}));
    const double values[] = {10, 7.5, 5, 2.5, 0};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(texts[i].text, formatByPattern("#,##0.###", values[i]));
        EXPECT_EQ(texts[i].y, 235);
        EXPECT_EQ(texts[i].align, TextAlign::Center);
        EXPECT_EQ(texts[i].brush, BrushStyle::Clear);
        EXPECT_EQ(texts[i].background, BackgroundMode::Transparent);
        EXPECT_EQ(texts[i].font, axis.LabelsFont());
    }
    EXPECT_EQ(chart.recorder.state().textAlign, TextAlign::Left);

    const auto& lines = chart.recorder.lines;
    // Axis line, 5 ticks, 5 grid lines, 12 minor ticks (3 in each of the 4 gaps).
    ASSERT_EQ(lines.size(), 1u + 5 + 5 + 12);
    EXPECT_EQ(lines[0].from, (Point{100, 229}));
    EXPECT_EQ(lines[0].to, (Point{500, 229}));
    EXPECT_EQ(lines[0].pen.width, 2);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const int x = 500 - 100 * i;
        EXPECT_EQ(lines[1 + i].from, (Point{x, 230}));
        EXPECT_EQ(lines[1 + i].to, (Point{x, 234}));
        EXPECT_EQ(lines[1 + i].pen.style, PenStyle::Solid);
        EXPECT_EQ(lines[6 + i].from, (Point{x, 50}));
        EXPECT_EQ(lines[6 + i].to, (Point{x, 229}));
        EXPECT_EQ(lines[6 + i].pen.style, PenStyle::Dot);
        EXPECT_EQ(lines[6 + i].pen.color, clGray);
    }
    std::vector<int> minor;
    for (std::size_t i = 11; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].from.y, 230);
        EXPECT_EQ(lines[i].to.y, 232);  // minor tick length 2
        minor.push_back(lines[i].from.x);
    }
    EXPECT_EQ(minor, (std::vector<int>{425, 450, 475, 325, 350, 375, 225, 250, 275, 125, 150, 175}));
}

TEST(AxisDrawing, MinorTicksBeyondTheEndLabelsStayInsideTheAxis) {
    ManualAxis fixture(AxisPlace::Bottom, 0, 10, 4);  // labels at 8, 4, 0: pixels 420, 260, 100
    auto& [chart, axis] = fixture;
    TChartPen hidden = axis.Axis();
    hidden.visible = false;
    axis.setAxis(hidden);
    axis.setTicks(hiddenPen());
    axis.setGrid(hiddenPen());
    TChartPen minorGrid = axis.MinorGrid();
    minorGrid.visible = true;
    minorGrid.color = clDefault;
    axis.setMinorGrid(minorGrid);
    repaintAxis(chart, axis);

    std::vector<int> ticks, grid;
    for (const Line& line : chart.recorder.lines) {
        const bool gridLine = line.from.y == 50;
        (gridLine ? grid : ticks).push_back(line.from.x);
        if (gridLine) {
            EXPECT_EQ(line.pen.color, clGray);  // an unset colour is drawn grey
        }
    }
    // 40 pixels per minor step; beyond 420 only 460 lies inside, beyond 100 nothing.
    const std::vector<int> expected{300, 340, 380, 140, 180, 220, 460};
    EXPECT_EQ(ticks, expected);
    EXPECT_EQ(grid, expected);
}

TEST(AxisDrawing, GridVariants) {
    struct Case {
        const char* what;
        bool centered;
        bool smallDots;
        int width;
        std::vector<int> xs;
        bool drawnDotted;
    };
    const Case cases[] = {
        {"at the labels", false, false, 1, {500, 400, 300, 200, 100}, false},
        {"centred between labels", true, false, 1, {450, 350, 250, 150}, false},
        {"small dots", false, true, 1, {500, 400, 300, 200, 100}, true},
        {"small dots need width 1", false, true, 2, {500, 400, 300, 200, 100}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ManualAxis fixture(AxisPlace::Bottom, 0, 10, 2.5);
        auto& [chart, axis] = fixture;
        axis.setGridCentered(c.centered);
        axis.setGrid({true, clBlue, c.width, PenStyle::DashDotDot, c.smallDots});
        repaintAxis(chart, axis);
        std::vector<int> xs;
        for (const Line& line : chart.recorder.linesInColor(clBlue)) {
            xs.push_back(line.from.x);
            EXPECT_EQ(line.pen.smallDots, c.drawnDotted);
            EXPECT_EQ(line.from.y, 50);
        }
        EXPECT_EQ(xs, c.xs);
    }
}

TEST(AxisDrawing, LabelsAtTheAxisEndsOnlyWithLabelsOnAxis) {
    struct Case {
        bool onAxis;
        bool labels;
        bool tickOnLabelsOnly;
        std::vector<int> ticks;
        std::size_t texts;
    };
    const Case cases[] = {
        {true, true, true, {500, 400, 300, 200, 100}, 5},
        {false, true, true, {400, 300, 200}, 3},
        {true, false, true, {}, 0},
        {true, false, false, {500, 400, 300, 200, 100}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.onAxis) + std::to_string(c.labels) + std::to_string(c.tickOnLabelsOnly));
        ManualAxis fixture(AxisPlace::Bottom, 0, 10, 2.5);
        auto& [chart, axis] = fixture;
        axis.setLabelsOnAxis(c.onAxis);
        axis.setLabels(c.labels);
        axis.setTickOnLabelsOnly(c.tickOnLabelsOnly);
        repaintAxis(chart, axis);
        EXPECT_EQ(axis.TickPositions(), c.ticks);
        EXPECT_EQ(chart.recorder.texts.size(), c.texts);
    }
}

TEST(AxisDrawing, LeftAxisLabelsAreRightAlignedAndCentredOnTheirPixel) {
    const ScopedFormatSettings defaults{FormatSettings{}};
    ManualAxis fixture(AxisPlace::Left, -0.01, 0.01, 0.005);
    auto& [chart, axis] = fixture;
    axis.setAxisValuesFormat("#,##0.###.00");
    repaintAxis(chart, axis);

    // Widest label "-0.01000" (8 characters of 7 pixels) plus a blank, then axis 2 + ticks 4.
    EXPECT_EQ(axis.LabelsPosition(), 100 + 56 + 7);
    EXPECT_EQ(chart.plot.left, 100 + 56 + 7 + 6);
    EXPECT_EQ(axis.AxisPosition(), chart.plot.left);
    const auto& texts = chart.recorder.texts;
    ASSERT_EQ(texts.size(), 5u);
    const std::vector<int> pixels{50, 100, 150, 200, 250};
    EXPECT_EQ(axis.TickPositions(), pixels);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(texts[i].align, TextAlign::Right);
        EXPECT_EQ(texts[i].x, axis.LabelsPosition());
        EXPECT_EQ(texts[i].y, pixels[i] - 7);  // 15 pixels high: 7 above, 7 below
    }
    EXPECT_EQ(texts[0].text, "0.01000");
    EXPECT_EQ(texts[4].text, "-0.01000");
    // Ticks go left from one pixel beyond the axis line.
    const auto ticks = chart.recorder.linesInColor(clGray);
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks[0].from, (Point{chart.plot.left - 1, 50}));
    EXPECT_EQ(ticks[0].to, (Point{chart.plot.left - 5, 50}));
}

TEST(AxisDrawing, SeveralLinesOfALeftLabelAreCentredAsABlock) {
    ManualAxis fixture(AxisPlace::Left, 0, 10, 10);
    auto& [chart, axis] = fixture;
    axis.setLabelsMultiLine(true);
    chart.onGetAxisLabel = [](TCustomChartAxis&, TChartSeries* series, int index, std::string& text) {
        EXPECT_EQ(series, nullptr);
        EXPECT_EQ(index, -1);
        text = "x " + text;
    };
    repaintAxis(chart, axis);
    const auto& texts = chart.recorder.texts;
    ASSERT_EQ(texts.size(), 4u);  // labels 10 and 0, two lines each
    // h = 15, n = 2: top = p - 7 - Round(22.5) + 15 = p - 14.
    EXPECT_EQ(texts[0].text, "x");
    EXPECT_EQ(texts[0].y, 50 - 14);
    EXPECT_EQ(texts[1].text, "10");
    EXPECT_EQ(texts[1].y, 50 + 1);
    EXPECT_EQ(texts[3].text, "0");
    EXPECT_EQ(texts[3].y, 250 + 1);
}

TEST(AxisDrawing, MultiLineDateLabelKeepsAOneLineBand) {
    const ScopedFormatSettings defaults{FormatSettings{}};
    test::TestChart chart;
    chart.plot = {100, 50, 500, 250};
    TChartSeries series;
    series.XValues().setDateTime(true);
    series.AddPoint(42740, 0);
    chart.add(series);
    TChartAxis axis(&chart, AxisPlace::Bottom);
    setManualRange(axis, 42740, 42754, 7);
    axis.setLabelsMultiLine(true);
    axis.setDateTimeFormat("mmm/dd yyyy");
    repaintAxis(chart, axis);

    EXPECT_EQ(axis.LabelText(42747), "Jan/12\r2017");
    EXPECT_EQ(chart.plot.bottom, 250 - 15 - 6);
    const auto& texts = chart.recorder.texts;
    ASSERT_EQ(texts.size(), 6u);  // 19, 12 and 5 January
    const int x = axis.ValueToPixel(42747);
    EXPECT_EQ(texts[2].text, "Jan/12");
    EXPECT_EQ(texts[2].x, x);
    EXPECT_EQ(texts[2].y, axis.LabelsPosition());
    EXPECT_EQ(texts[3].text, "2017");
    EXPECT_EQ(texts[3].x, x);
    EXPECT_EQ(texts[3].y, axis.LabelsPosition() + 15);
}

TEST(AxisDrawing, TickListKeepsItsBufferBetweenDrawings) {
    ManualAxis fixture(AxisPlace::Bottom, 0, 10, 2.5);
    auto& [chart, axis] = fixture;
    repaintAxis(chart, axis);
    const int* buffer = axis.TickPositions().data();
    setManualRange(axis, 0, 10, 1.0 / 128);
    repaintAxis(chart, axis);
    EXPECT_EQ(axis.TickPositions().size(), 1281u);
    EXPECT_EQ(axis.TickPositions().data(), buffer);
}

TEST(AxisBand, BandSizesByAxisAndOptions) {
    struct Case {
        const char* what;
        AxisPlace place;
        void (*configure)(TChartAxis&, test::TestChart&);
        Rect after;
        int labelsPosition;
    };
    const Rect plot{100, 50, 500, 250};
    const Case cases[] = {
        {"bottom", AxisPlace::Bottom, [](TChartAxis&, test::TestChart&) {}, {100, 50, 500, 229}, 235},
        {"top", AxisPlace::Top, [](TChartAxis&, test::TestChart&) {}, {100, 71, 500, 250}, 65},
        {"fixed label size",
         AxisPlace::Bottom,
         [](TChartAxis& a, test::TestChart&) { a.setLabelsSize(30); },
         {100, 50, 500, 214},
         220},
        {"no labels",
         AxisPlace::Bottom,
         [](TChartAxis& a, test::TestChart&) { a.setLabels(false); },
         {100, 50, 500, 244},
         0},
        {"title",
         AxisPlace::Bottom,
         [](TChartAxis& a, test::TestChart&) {
             TChartAxisTitle title = a.Title();
             title.caption = "MJD";
             a.setTitle(title);
         },
         {100, 50, 500, 214},
         220},
        {"fixed title size",
         AxisPlace::Bottom,
         [](TChartAxis& a, test::TestChart&) {
             a.setTitle({"MJD", 0, Font{}});
             a.setTitleSize(4);
         },
         {100, 50, 500, 225},
         231},
        {"long minor ticks",
         AxisPlace::Bottom,
         [](TChartAxis& a, test::TestChart&) { a.setMinorTickLength(9); },
         {100, 50, 500, 226},
         235},
        {"hidden axis line and ticks",
         AxisPlace::Bottom,
         [](TChartAxis& a, test::TestChart&) {
             a.setAxis(hiddenPen());
             a.setTicks(hiddenPen());
         },
         {100, 50, 500, 233},
         235},
        {"wall", AxisPlace::Bottom, [](TChartAxis&, test::TestChart& c) { c.wallSize = 3; }, {100, 50, 500, 226}, 235},
        {"left", AxisPlace::Left, [](TChartAxis&, test::TestChart&) {}, {100 + 14 + 7 + 6, 50, 500, 250}, 121},
        {"right", AxisPlace::Right, [](TChartAxis&, test::TestChart&) {}, {100, 50, 500 - 14 - 7 - 6, 250}, 479},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ManualAxis fixture(c.place, 0, 10, 5, plot);  // labels "10", "5", "0": two characters at most
        auto& [chart, axis] = fixture;
        c.configure(axis, chart);
        axis.AdjustRange();
        Rect rect = plot;
        axis.ReserveAxisSpace(rect);
        EXPECT_EQ(rect, c.after);
        EXPECT_EQ(axis.LabelsPosition(), c.labelsPosition);
    }
}

TEST(AxisBand, WidestLabelIsMeasuredWithoutTheLabelHook) {
    ManualAxis fixture(AxisPlace::Left, 0, 10, 5);
    auto& [chart, axis] = fixture;
    axis.AdjustRange();
    chart.onGetAxisLabel = [](TCustomChartAxis&, TChartSeries*, int, std::string& text) {
        text = "a much longer label";
    };
    EXPECT_EQ(axis.LabelText(10), "a much longer label");
    EXPECT_EQ(axis.LabelText(10, LabelHook::Skip), "10");
    Rect rect = chart.plot;
    axis.ReserveAxisSpace(rect);
    EXPECT_EQ(axis.LabelsPosition(), 100 + 14 + 7);
    EXPECT_EQ(chart.recorder.font(), axis.LabelsFont());  // layout leaves the label font selected
}

TEST(AxisLabelText, DateAndNumberPatterns) {
    const ScopedFormatSettings defaults{FormatSettings{}};
    test::TestChart chart;
    TChartSeries dated;
    dated.XValues().setDateTime(true);
    dated.AddPoint(42747, 0.0025);
    chart.add(dated);
    TChartAxis bottom(&chart, AxisPlace::Bottom), left(&chart, AxisPlace::Left);
    left.setAxisValuesFormat("#,##0.###.00");
    bottom.setDateTimeFormat("dd.MM.yyyy");
    bottom.AdjustRange();
    left.AdjustRange();
    ASSERT_TRUE(bottom.ValuesAreDateTime());
    ASSERT_FALSE(left.ValuesAreDateTime());

    EXPECT_EQ(bottom.LabelText(42747), "12.01.2017");
    EXPECT_EQ(bottom.LabelText(42747.99), "12.01.2017");
    EXPECT_EQ(bottom.LabelText(-1), "");
    bottom.setDateTimeFormat("mmm/dd yyyy");
    EXPECT_EQ(bottom.LabelText(42747), "Jan/12 2017");
    bottom.setLabelsMultiLine(true);
    EXPECT_EQ(bottom.LabelText(42747), "Jan/12\r2017");

    EXPECT_EQ(left.LabelText(0.0025), "0.00250");
    EXPECT_EQ(left.LabelText(-0.0125), "-0.01250");
    EXPECT_EQ(left.LabelText(-0.000004), "0.00000");
    FormatSettings russian;
    russian.decimalPointChar = ",";
    const ScopedFormatSettings scoped(russian);
    EXPECT_EQ(left.LabelText(0.0025), "0,00250");
}

}  // namespace
}  // namespace pvz
