#include "chart/line_series.h"

#include <vector>

#include <gtest/gtest.h>

#include "chart/chart_errors.h"
#include "tests/chart/fake_chart.h"
#include "tests/support/expect_error.h"

namespace pvz {
namespace {

using test::CanvasCall;

struct Segment {
    Point from;
    Point to;
    Color color;
    friend bool operator==(const Segment&, const Segment&) = default;
};

std::vector<Segment> segmentsOf(const test::RasterCanvas& canvas) {
    std::vector<Segment> out;
    for (const CanvasCall& c : canvas.calls)
        if (c.kind == CanvasCall::Kind::LineTo) out.push_back({c.from, c.to, c.state.pen.color});
    return out;
}

// Centres of the rectangle pointers drawn, with their brush colour.
std::vector<std::pair<Point, Color>> markersOf(const test::RasterCanvas& canvas, int h, int v) {
    std::vector<std::pair<Point, Color>> out;
    for (const CanvasCall& c : canvas.calls)
        if (c.kind == CanvasCall::Kind::Rectangle)
            out.push_back({{c.rect.left + h, c.rect.top + v}, c.state.brush.color});
    return out;
}

class LineSeriesDrawing : public testing::Test {
protected:
    LineSeriesDrawing() {
        chart.add(series);
        series.setSeriesColor(clBlue);
        series.Pointer().setStyle(psRectangle);
        series.Pointer().setHorizSize(2);
        series.Pointer().setVertSize(2);
    }
    void draw() {
        chart.raster.calls.clear();
        series.drawValues(chart.context());
    }

    test::FakeChart chart;
    TLineSeries series;
};

TEST_F(LineSeriesDrawing, FirstPointLeftOfThePlotStartsAtTheLeftEdgeAtTheInterpolatedHeight) {
    series.AddPoint(-20, 0);
    series.AddPoint(20, 40);
    series.AddPoint(60, 40);
    draw();
    EXPECT_EQ(series.FirstVisible(), 1);
    EXPECT_EQ(series.LastVisible(), 2);
    // At x value 0 the line from (-20, 0) to (20, 40) is at 20: pixel row 110 - 20.
    const std::vector<Segment> expected = {{{10, 90}, {30, 70}, clBlue}, {{30, 70}, {70, 70}, clBlue}};
    EXPECT_EQ(segmentsOf(chart.raster), expected);
}

TEST_F(LineSeriesDrawing, SegmentsTakeTheColourOfThePointTheyLeadToAndMarkersLieOnTop) {
    series.Pointer().setVisible(true);
    series.AddPoint(10, 10, "", clRed);
    series.AddPoint(20, 30, "", clLime);
    series.AddPoint(30, 20, "", clDefault);
    draw();
    const std::vector<Segment> expected = {{{20, 100}, {30, 80}, clLime}, {{30, 80}, {40, 90}, clBlue}};
    EXPECT_EQ(segmentsOf(chart.raster), expected);
    const std::vector<std::pair<Point, Color>> markers = {{{20, 100}, clRed}, {{30, 80}, clLime}, {{40, 90}, clBlue}};
    EXPECT_EQ(markersOf(chart.raster, 2, 2), markers);
    // Each marker comes after the segments on both of its sides.
    std::vector<CanvasCall::Kind> kinds;
    for (const CanvasCall& c : chart.raster.calls)
        if (c.kind == CanvasCall::Kind::LineTo || c.kind == CanvasCall::Kind::Rectangle) kinds.push_back(c.kind);
    // Segment, pointer of the point before, segment, then the last two pointers.
    const std::vector<CanvasCall::Kind> actual = {CanvasCall::Kind::LineTo, CanvasCall::Kind::Rectangle,
                                                  CanvasCall::Kind::LineTo, CanvasCall::Kind::Rectangle,
                                                  CanvasCall::Kind::Rectangle};
    EXPECT_EQ(kinds, actual);
}

TEST_F(LineSeriesDrawing, PointWithoutColourIsAGapInTheLine) {
    series.Pointer().setVisible(true);
    series.AddPoint(10, 10);
    series.AddPoint(20, 20, "", clNone);
    series.AddPoint(30, 30);
    series.AddPoint(40, 40);
    draw();
    // No segment into the gap, none out of it; the line resumes between the last two points.
    const std::vector<Segment> expected = {{{40, 80}, {50, 70}, clBlue}};
    EXPECT_EQ(segmentsOf(chart.raster), expected);
    const std::vector<std::pair<Point, Color>> markers = {{{20, 100}, clBlue}, {{40, 80}, clBlue}, {{50, 70}, clBlue}};
    EXPECT_EQ(markersOf(chart.raster, 2, 2), markers);
}

TEST_F(LineSeriesDrawing, PointBeyondTheDrawableRangeIsSkipped) {
    series.AddPoint(10, 10);
    series.AddPoint(20, 1e9);  // far above the plot: its pixel row lies beyond -32766
    series.AddPoint(30, 30);
    draw();
    const std::vector<Segment> expected = {{{20, 100}, {40, 80}, clBlue}};
    EXPECT_EQ(segmentsOf(chart.raster), expected);
}

TEST_F(LineSeriesDrawing, HiddenLinePenLeavesTheMarkersAlone) {
    series.Pointer().setVisible(true);
    TChartPen hidden = series.LinePen();
    hidden.visible = false;
    series.setLinePen(hidden);
    for (int i = 0; i < 4; ++i) series.AddPoint(10 * i, 10 * i);
    draw();
    EXPECT_TRUE(segmentsOf(chart.raster).empty());
    EXPECT_EQ(markersOf(chart.raster, 2, 2).size(), 4u);
}

TEST_F(LineSeriesDrawing, EmptySeriesDrawsNothingAndSinglePointShowsItsMarker) {
    series.Pointer().setVisible(true);
    draw();
    EXPECT_TRUE(chart.raster.calls.empty());
    EXPECT_EQ(series.FirstVisible(), -1);

    series.AddPoint(50, 50);
    draw();
    EXPECT_TRUE(segmentsOf(chart.raster).empty());
    const std::vector<std::pair<Point, Color>> markers = {{{60, 60}, clBlue}};
    EXPECT_EQ(markersOf(chart.raster, 2, 2), markers);
}

TEST_F(LineSeriesDrawing, LineRunsOnToTheFirstPointPastTheRightEdge) {
    for (int x = 0; x <= 200; x += 40) series.AddPoint(x, 50);  // 0, 40, ..., 200; the axis ends at 100
    draw();
    EXPECT_EQ(series.FirstVisible(), 0);
    EXPECT_EQ(series.LastVisible(), 3);  // 120, the first past 100
    EXPECT_EQ(segmentsOf(chart.raster).size(), 3u);
}

TEST(VisibleRange, AscendingValuesBetweenTheEdges) {
    struct Row {
        std::vector<double> xs;
        double low, high;
        int first, last;
    };
    const Row rows[] = {
        {{}, 0, 10, -1, -1},
        {{1, 2, 3}, 5, 10, -1, -1},  // all left of the plot
        {{1, 2, 3}, 0, 10, 0, 2},
        {{1, 2, 3, 4}, 2, 10, 1, 3},     // the left edge value itself is visible
        {{1, 2, 3, 4}, 1.5, 2.5, 1, 2},  // run on to 3, the first past 2.5
        {{1, 2, 3, 4}, 1.5, 3, 1, 2},    // 3 is on the edge: not below it
        {{1, 2, 2, 4}, 0, 2, 0, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.low << ".." << r.high << " over " << r.xs.size());
        TChartValueList xs("X", loAscending);
        for (double x : r.xs) xs.addValue(x);
        const VisibleRange range = visibleRangeOf(xs, r.low, r.high);
        EXPECT_EQ(range.first, r.first);
        EXPECT_EQ(range.last, r.last);
    }
    TChartValueList unordered("X", loNone);
    for (double x : {5.0, 1.0, 9.0}) unordered.addValue(x);
    const VisibleRange all = visibleRangeOf(unordered, 100, 200);
    EXPECT_EQ(all.first, 0);
    EXPECT_EQ(all.last, 2);
}

TEST(SeriesPointer, SizesBelowOneAreRefusedAndKeepTheOldSize) {
    TLineSeries series;
    series.Pointer().setHorizSize(3);
    for (int bad : {0, -1}) {
        SCOPED_TRACE(bad);
        for (void (TSeriesPointer::*set)(int) : {&TSeriesPointer::setHorizSize, &TSeriesPointer::setVertSize}) {
            test::expectError<ChartException>([&] { (series.Pointer().*set)(bad); },
                                              "Pointer size must be greater than zero");
        }
    }
    EXPECT_EQ(series.Pointer().HorizSize(), 3);
    EXPECT_EQ(series.Pointer().VertSize(), 4);
}

TEST(SeriesPointer, ChangesRequestARepaintOnlyWhenAValueChanges) {
    test::FakeChart chart;
    TLineSeries series;
    chart.add(series);
    chart.repaints = 0;
    series.Pointer().setVisible(false);  // already hidden in a line series
    series.Pointer().setStyle(psRectangle);
    series.setLinePen(series.LinePen());
    EXPECT_EQ(chart.repaints, 0);
    series.Pointer().setVisible(true);
    series.Pointer().setStyle(psDiamond);
    EXPECT_EQ(chart.repaints, 2);
}

TEST(SeriesMargins, VisibleInflatingPointerAsksForItsSizePlusOne) {
    TLineSeries series;
    int a = -1, b = -1;
    series.horizontalMargins(a, b);
    EXPECT_EQ(a, 0);
    series.Pointer().setVisible(true);
    series.Pointer().setHorizSize(3);
    series.Pointer().setVertSize(5);
    series.horizontalMargins(a, b);
    EXPECT_EQ(a, 4);
    EXPECT_EQ(b, 4);
    series.verticalMargins(a, b);
    EXPECT_EQ(a, 6);
    EXPECT_EQ(b, 6);
    series.Pointer().setInflateMargins(false);
    series.verticalMargins(a, b);
    EXPECT_EQ(a, 0);
}

TEST(SeriesColours, StoredColourElseSeriesColourElsePalette) {
    TLineSeries series;
    series.setSeriesColor(clAqua);
    series.AddPoint(1, 1, "", clRed);
    series.AddPoint(2, 2);
    EXPECT_EQ(series.ValueColor(0), clRed);
    EXPECT_EQ(series.ValueColor(1), clAqua);
    EXPECT_EQ(series.ValueColor(5), clAqua);  // beyond the colour list
    series.setColorEachPoint(true);
    EXPECT_NE(series.ValueColor(1), clAqua);
    EXPECT_EQ(series.ValueColor(0), clRed);
}

}  // namespace
}  // namespace pvz
