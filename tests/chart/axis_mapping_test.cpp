#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "chart/chart_axis.h"
#include "chart/chart_series.h"
#include "runtime/calendar.h"
#include "tests/chart/axis_test_chart.h"

namespace pvz {
namespace {

// An axis over [minimum, maximum] on the test chart's plot rectangle.
void setRange(test::TestChart& chart, TCustomChartAxis& axis, double minimum, double maximum) {
    axis.setAutomatic(false);
    chart.loading = true;
    axis.setMinimum(minimum);
    axis.setMaximum(maximum);
    chart.loading = false;
    test::layoutAxis(axis);
}

TEST(AxisPixelSpan, FollowsThePlotRectangleAndThePositions) {
    struct Case {
        AxisPlace place;
        Rect plot;
        double startPosition, endPosition;
        int start, end, center;
    };
    const Case cases[] = {
        {AxisPlace::Bottom, {8, 28, 796, 492}, 0, 100, 8, 796, 402},
        // The viewer's bottom axis starts one percent of the plot width to the right.
        {AxisPlace::Bottom, {8, 28, 796, 492}, 1, 100, 16, 796, 406},
        {AxisPlace::Left, {8, 28, 796, 492}, 0, 100, 28, 492, 260},
        {AxisPlace::Left, {8, 28, 796, 492}, 10, 90, 74, 446, 260},
        // Round is to even: 0.5 pixel goes down, 1.5 up.
        {AxisPlace::Bottom, {0, 0, 50, 10}, 1, 3, 0, 2, 1},
        {AxisPlace::Bottom, {-7, 0, -4, 10}, 0, 100, -7, -4, -5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.plot.left) + " " + std::to_string(c.startPosition));
        test::AxisOnChart fixture(c.place, c.plot);
        auto& [chart, axis] = fixture;
        axis.setStartPosition(c.startPosition);
        axis.setEndPosition(c.endPosition);
        axis.ComputePixelSpan();
        EXPECT_EQ(axis.StartPixel(), c.start);
        EXPECT_EQ(axis.EndPixel(), c.end);
        EXPECT_EQ(axis.PixelLength(), c.end - c.start);
        EXPECT_EQ(axis.CenterPixel(), c.center);
    }
}

TEST(AxisMapping, ValuesToPixelsOnBothAxesAndInverted) {
    struct Row {
        AxisPlace place;
        bool inverted;
        double value;
        int pixel;
    };
    // Plot 100..500 wide and 50..250 high; the range is 0..10.
    const Row rows[] = {
        {AxisPlace::Bottom, false, 0, 100},
        {AxisPlace::Bottom, false, 10, 500},
        {AxisPlace::Bottom, false, 2.5, 200},
        {AxisPlace::Bottom, false, -1, 60},
        {AxisPlace::Bottom, true, 0, 500},
        {AxisPlace::Bottom, true, 2.5, 400},
        {AxisPlace::Left, false, 0, 250},
        {AxisPlace::Left, false, 10, 50},
        {AxisPlace::Left, false, 2.5, 200},
        {AxisPlace::Left, true, 0, 50},
        {AxisPlace::Left, true, 2.5, 100},
        // 0.0125 of 400 pixels is 5; 0.00625 is 2.5 pixels, rounded to even.
        {AxisPlace::Bottom, false, 0.125, 105},
        {AxisPlace::Bottom, false, 0.0625, 102},
        {AxisPlace::Bottom, false, 0.1875, 108},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(static_cast<int>(row.place)) + (row.inverted ? " inverted " : " ") +
                     std::to_string(row.value));
        test::AxisOnChart fixture(row.place, {100, 50, 500, 250});
        auto& [chart, axis] = fixture;
        axis.setInverted(row.inverted);
        setRange(chart, axis, 0, 10);
        EXPECT_EQ(axis.ValueToPixel(row.value), row.pixel);
        const int other =
            row.place == AxisPlace::Bottom ? axis.ValueToPixelX(row.value) : axis.ValueToPixelY(row.value);
        EXPECT_EQ(other, row.pixel);
    }
}

// The mapping's inline rounding against roundToInt64 on the same long double offset: random
// values over and beyond a date range, and every half pixel (the ties) of the plot, both ways.
TEST(AxisMapping, RoundsLikeRoundToInt64OnRandomValuesAndEveryHalfPixel) {
    for (const AxisPlace place : {AxisPlace::Bottom, AxisPlace::Left}) {
        for (const bool inverted : {false, true}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(place)) + (inverted ? " inverted" : ""));
            test::TestChart chart;
            chart.plot = {37, 21, 1837, 1001};
            TChartAxis axis(&chart, place);
            axis.setInverted(inverted);
            setRange(chart, axis, 57000, 57365);
            const auto expected = [&](double value) {
                const long double t = (static_cast<long double>(value) - axis.EffectiveMinimum()) * axis.PixelLength() /
                                      axis.EffectiveRange();
                const std::int64_t offset = roundToInt64(t);
                const bool fromStart = (place == AxisPlace::Bottom) != inverted;
                return static_cast<int>(fromStart ? axis.StartPixel() + offset : axis.EndPixel() - offset);
            };
            const auto mapped = [&](double value) {
                return place == AxisPlace::Bottom ? axis.ValueToPixelX(value) : axis.ValueToPixelY(value);
            };
            std::mt19937_64 random(7);
            std::uniform_real_distribution<double> values(56000, 58400);
            for (int i = 0; i < 100000; ++i) {
                const double v = values(random);
                ASSERT_EQ(mapped(v), expected(v)) << v;
            }
            const double perPixel = axis.EffectiveRange() / axis.PixelLength();
            for (int half = -2 * axis.PixelLength(); half <= 4 * axis.PixelLength(); ++half) {
                const double v = axis.EffectiveMinimum() + half * 0.5 * perPixel;
                ASSERT_EQ(mapped(v), expected(v)) << half;
            }
        }
    }
}

TEST(AxisMapping, ZeroRangeAndFarValuesMapToTheCentre) {
    test::AxisOnChart fixture(AxisPlace::Bottom, {100, 50, 500, 250});
    auto& [chart, axis] = fixture;
    setRange(chart, axis, 42747, 42747);
    for (const double v : {42747.0, 0.0, 1e9}) EXPECT_EQ(axis.ValueToPixel(v), 300);

    setRange(chart, axis, 0, 1e-6);
    EXPECT_EQ(axis.ValueToPixelX(1e3), 300);  // 4e11 pixels away
    EXPECT_EQ(axis.ValueToPixelX(-1e3), 300);
    EXPECT_EQ(axis.ValueToPixelX(std::nan("")), 300);
    // Just inside the limit the pixel lies beyond the integer range: it saturates rather
    // than wrapping around to the other side.
    EXPECT_EQ(axis.ValueToPixelX(5.368709), std::numeric_limits<int>::max());
}

TEST(AxisMapping, EveryPixelRoundTripsThroughItsValue) {
    struct Case {
        AxisPlace place;
        bool inverted;
        double minimum, maximum;
    };
    const Case cases[] = {
        {AxisPlace::Bottom, false, 42740, 42768},  {AxisPlace::Bottom, true, 42740, 43104},
        {AxisPlace::Left, false, -0.0125, 0.0215}, {AxisPlace::Left, true, -3, 7},
        {AxisPlace::Right, false, 1e-9, 3e-9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.minimum) + ".." + std::to_string(c.maximum) + (c.inverted ? " inverted" : ""));
        test::AxisOnChart fixture(c.place, {8, 28, 796, 492});
        auto& [chart, axis] = fixture;
        axis.setInverted(c.inverted);
        setRange(chart, axis, c.minimum, c.maximum);
        for (int pixel = axis.StartPixel(); pixel <= axis.EndPixel(); ++pixel) {
            ASSERT_EQ(axis.ValueToPixel(axis.PixelToValue(pixel)), pixel) << "pixel " << pixel;
        }
    }
}

TEST(AxisMapping, AnAxisShorterThanOnePixelReadsZero) {
    test::AxisOnChart fixture(AxisPlace::Bottom, {100, 50, 100, 250});
    auto& [chart, axis] = fixture;
    setRange(chart, axis, 5, 10);
    EXPECT_EQ(axis.PixelLength(), 0);
    EXPECT_EQ(axis.PixelToValue(100), 0);
    EXPECT_EQ(axis.PixelToValue(-40), 0);
}

// A series whose markers need room beside the extreme points.
class MarkedSeries : public TChartSeries {
public:
    int horizontal = 0;
    int vertical = 0;
    void horizontalMargins(int& left, int& right) const override { left = right = horizontal; }
    void verticalMargins(int& top, int& bottom) const override { top = bottom = vertical; }
};

TEST(AxisMargins, DataExtremesLieTheInsetInsideTheAxisEnds) {
    test::TestChart chart;
    chart.plot = {100, 50, 500, 250};
    MarkedSeries series;
    series.horizontal = 5;
    series.vertical = 4;
    series.AddPoint(42740, -1);
    series.AddPoint(42768, 3);
    chart.add(series);
    TChartAxis bottom(&chart, AxisPlace::Bottom), left(&chart, AxisPlace::Left);
    for (TChartAxis* axis : {&bottom, &left}) {
        test::layoutAxis(*axis);
        int start = 0;
        int end = 0;
        axis->seriesMarginInsets(start, end);
        axis->InsetRangeByMargins(start, end);
    }
    EXPECT_EQ(bottom.StartPixel(), 100);
    EXPECT_EQ(bottom.EndPixel(), 500);
    EXPECT_EQ(bottom.ValueToPixel(42740), 105);
    EXPECT_EQ(bottom.ValueToPixel(42768), 495);
    EXPECT_LT(bottom.EffectiveMinimum(), 42740);
    EXPECT_GT(bottom.EffectiveMaximum(), 42768);
    EXPECT_EQ(left.ValueToPixel(3), 54);
    EXPECT_EQ(left.ValueToPixel(-1), 246);
    EXPECT_DOUBLE_EQ(left.EffectiveRange(), left.EffectiveMaximum() - left.EffectiveMinimum());
}

TEST(AxisMargins, OnlyAutomaticEndsTakeMargins) {
    struct Case {
        AxisPlace place;
        bool automaticMinimum, automaticMaximum;
        int start, end;
    };
    const Case cases[] = {
        {AxisPlace::Bottom, true, true, 5, 5},  {AxisPlace::Bottom, true, false, 5, 0},
        {AxisPlace::Bottom, false, true, 0, 5}, {AxisPlace::Left, true, false, 0, 4},
        {AxisPlace::Left, false, true, 4, 0},   {AxisPlace::Left, false, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.place)) + " " + std::to_string(c.automaticMinimum) +
                     std::to_string(c.automaticMaximum));
        test::TestChart chart;
        MarkedSeries series, inactive;
        series.horizontal = 5;
        series.vertical = 4;
        inactive.horizontal = inactive.vertical = 9;
        inactive.setActive(false);
        chart.add(series);
        chart.add(inactive);
        TChartAxis axis(&chart, c.place);
        axis.setAutomaticMinimum(c.automaticMinimum);
        axis.setAutomaticMaximum(c.automaticMaximum);
        int start = -1;
        int end = -1;
        axis.seriesMarginInsets(start, end);
        EXPECT_EQ(start, c.start);
        EXPECT_EQ(end, c.end);
    }
}

TEST(AxisMargins, AnAxisShorterThanItsMarginsKeepsItsRange) {
    test::AxisOnChart fixture(AxisPlace::Bottom, {100, 50, 106, 250});
    auto& [chart, axis] = fixture;
    setRange(chart, axis, 42740, 42768);
    axis.InsetRangeByMargins(5, 5);
    EXPECT_EQ(axis.EffectiveMinimum(), 42740);
    EXPECT_EQ(axis.EffectiveMaximum(), 42768);
    EXPECT_EQ(axis.PixelLength(), 6);
}

}  // namespace
}  // namespace pvz
