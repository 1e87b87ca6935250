#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "chart/chart_axis.h"
#include "chart/chart_series.h"
#include "runtime/calendar.h"
#include "tests/chart/axis_test_chart.h"

namespace pvz {
namespace {

double date(int year, int month, int day) {
    return encodeDayNumber(static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month),
                           static_cast<std::uint16_t>(day));
}

std::string showDate(double dayNumber) {
    const CalendarDate d = decodeDayNumber(dayNumber);
    const double timeOfDay = dayNumber - std::floor(dayNumber);
    return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day) +
           (timeOfDay != 0 ? " +" + std::to_string(timeOfDay) : "");
}

std::vector<std::string> showDates(const std::vector<double>& values) {
    std::vector<std::string> result;
    for (const double v : values) result.push_back(showDate(v));
    return result;
}

// A chart with one axis whose range is set by hand: the maximum is first opened to `opening`,
// so that the new minimum is never refused, and the axis is laid out on the chart's plot.
struct ManualAxisChart {
    test::TestChart chart;
    TChartAxis axis;

    explicit ManualAxisChart(AxisPlace place) : axis(&chart, place) {}
    void setRange(double opening, double minimum, double maximum, double increment) {
        axis.setAutomatic(false);
        axis.setMaximum(opening);
        axis.setMinimum(minimum);
        axis.setMaximum(maximum);
        axis.setIncrement(increment);
        test::layoutAxis(axis);
    }
    std::vector<double> labels(double step) {
        std::vector<double> values;
        axis.LabelValues(step, values);
        return values;
    }
};

// A chart with one series whose X values are day numbers, and its bottom axis with a manual
// range. The plot is `length` pixels wide.
struct DateAxisChart : ManualAxisChart {
    TChartSeries series;

    DateAxisChart(double minimum, double maximum, double increment, int length = 800)
        : ManualAxisChart(AxisPlace::Bottom) {
        series.XValues().setDateTime(true);
        series.AddPoint(minimum, 0);
        chart.add(series);
        chart.plot = {0, 0, length, 300};
        setRange(1000000, minimum, maximum, increment);
    }
};

struct NumericAxisChart : ManualAxisChart {
    NumericAxisChart(double minimum, double maximum, double increment, int length = 300)
        : ManualAxisChart(AxisPlace::Left) {
        chart.plot = {0, 0, 400, length};
        setRange(10000000, minimum, maximum, increment);
    }
};

void expectValuesNear(const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size()) << ::testing::PrintToString(actual);
    for (std::size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-12) << "label " << i;
}

TEST(AxisLabelStep, GrowsThroughNiceStepsUntilTheLabelsFit) {
    // Labels 15 pixels high with 100 % separation take 30 pixels: 120 pixels hold 4.
    NumericAxisChart left(0, 0.012, 0.001, 120);
    left.axis.setLabelsSeparation(100);
    EXPECT_DOUBLE_EQ(left.axis.LabelStepForSize(15), 0.005);  // 12, then 6, then 2 labels
    // With room for 6 labels the second step already fits.
    NumericAxisChart roomier(0, 0.012, 0.001, 180);
    roomier.axis.setLabelsSeparation(100);
    EXPECT_DOUBLE_EQ(roomier.axis.LabelStepForSize(15), 0.002);
}

TEST(AxisLabelStep, NumericRows) {
    struct Row {
        const char* what;
        double minimum, maximum, increment;
        int separation, length, size;
        double step;
    };
    const Row rows[] = {
        {"increment fits", 0, 0.012, 0.001, 100, 600, 15, 0.001},
        {"no separation keeps the increment", 0, 0.012, 0.001, 0, 30, 15, 0.001},
        {"free step from 1", 0, 50, 0, 10, 300, 15, 5},
        {"free step from 1e-12", 0, 0.5, 0, 10, 300, 15, 0.05},
        {"an increment between nice steps goes up", 0, 0.03, 0.003, 10, 100, 15, 0.005},
        {"no room", 0, 10, 1, 10, 4, 15, 1e-12},
        {"size 0 counts as one label", 0, 10, 1, 10, 300, 0, 10},
        {"zero range", 5, 5, 0, 10, 300, 15, 1e-12},
        {"small separation rounds", 0, 100, 1, 10, 160, 16, 20},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        NumericAxisChart left(row.minimum, row.maximum, row.increment, row.length);
        left.axis.setLabelsSeparation(row.separation);
        EXPECT_NEAR(left.axis.LabelStepForSize(row.size), row.step, row.step * 1e-9);
    }
}

TEST(AxisLabelStep, TheTopLabelOfARangeEndingOnAMultipleOfTheGrownStepIsPlaced) {
    // UT1 in the fixed 2 ms scale with 16 cells (0.548 to 0.58 as the rebuild stores it): with
    // room for 12 labels the step grows to 0.005, and a step one unit too high lost 0.58.
    NumericAxisChart left(0.548, 0.5800000000000001, 0.002, 348);
    left.axis.setLabelsSeparation(100);
    const double step = left.axis.LabelStepForSize(15);
    EXPECT_EQ(step, 0.005);
    const std::vector<double> values = left.labels(step);
    ASSERT_FALSE(values.empty());
    EXPECT_NEAR(values.front(), 0.58, 1e-15);
    EXPECT_EQ(values.size(), 7u);
}

TEST(AxisLabelStep, ARangeTooLargeToDivideEndsTheDrawingWithoutLabels) {
    struct Row {
        double minimum, maximum, increment;
    };
    const double largest = std::numeric_limits<double>::max();
    const Row rows[] = {{-1e308, 1e308, 0.002}, {-1e308, 1e308, 0}, {-largest, largest, 1e-12}};
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.minimum) + " .. " + ::testing::PrintToString(row.maximum));
        test::TestChart chart;
        chart.plot = {0, 0, 400, 300};
        TChartAxis axis(&chart, AxisPlace::Left);
        axis.setAutomatic(false);
        // Only a form being loaded (or data) can give such a range: the setters refuse it.
        chart.loading = true;
        axis.setMinimum(row.minimum);
        axis.setMaximum(row.maximum);
        axis.setIncrement(row.increment);
        axis.setLabelsSeparation(100);
        chart.loading = false;
        test::layoutAxis(axis);
        const double step = axis.LabelStepForSize(15);
        EXPECT_GT(step, 0.0);
        std::vector<double> values;
        axis.LabelValues(step, values);
        EXPECT_TRUE(values.empty()) << ::testing::PrintToString(values);
        axis.DrawAxis();
    }
}

TEST(AxisLabelStep, DateTimeRows) {
    struct Row {
        const char* what;
        double range, increment;
        int length;
        double step;
    };
    // Labels 80 pixels wide with 10 % separation take 88 pixels.
    const Row rows[] = {
        {"weekly labels fit", 28, 7, 800, 7},
        {"weeks become months", 182, 7, 800, 30},
        {"weeks become fortnights", 84, 7, 800, 15},
        {"months fit", 364, 30, 1200, 30},
        {"months become two months", 364, 30, 600, 60},
        {"years double", 365 * 20, 365, 440, 1460},
        {"no increment starts at one second", 1.0 / 24, 0, 800, 10.0 / 1440},
        {"no room gives one second", 28, 7, 40, 1.0 / 86400},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DateAxisChart bottom(42000, 42000 + row.range, row.increment, row.length);
        ASSERT_TRUE(bottom.axis.ValuesAreDateTime());
        EXPECT_NEAR(bottom.axis.LabelStepForSize(80), row.step, 1e-9);
    }
}

TEST(AxisLabelValues, RoundFirstLabelStartsOnAMultipleOfTheStep) {
    NumericAxisChart left(0.0043, 0.0231, 0.005);
    expectValuesNear(left.labels(0.005), {0.020, 0.015, 0.010, 0.005});
    left.axis.setRoundFirstLabel(false);
    left.axis.AdjustRange();
    expectValuesNear(left.labels(0.005), {0.0231, 0.0181, 0.0131, 0.0081});
}

TEST(AxisLabelValues, NegativeRangesAndRangeEnds) {
    NumericAxisChart left(-0.0125, 0.01, 0.005);
    expectValuesNear(left.labels(0.005), {0.010, 0.005, 0.0, -0.005, -0.010});
    NumericAxisChart exact(0, 0.01, 0.0025);
    expectValuesNear(exact.labels(0.0025), {0.01, 0.0075, 0.005, 0.0025, 0.0});
}

TEST(AxisLabelValues, MonthlyLabelsFallOnFirstDaysCountingDown) {
    DateAxisChart bottom(date(2017, 1, 12), date(2017, 5, 20) + 0.5, 30);
    EXPECT_EQ(showDates(bottom.labels(30)), (std::vector<std::string>{"2017-5-1", "2017-4-1", "2017-3-1", "2017-2-1"}));
    // Across a year boundary.
    DateAxisChart winter(date(2016, 10, 1), date(2017, 2, 1), 30);
    EXPECT_EQ(showDates(winter.labels(30)),
              (std::vector<std::string>{"2017-2-1", "2017-1-1", "2016-12-1", "2016-11-1", "2016-10-1"}));
}

TEST(AxisLabelValues, WeeklyLabelsAreMidnightsCountingDownFromTheLastDay) {
    DateAxisChart bottom(date(2017, 1, 9) - 0.3, date(2017, 2, 6) + 0.7, 7);
    EXPECT_EQ(showDates(bottom.labels(7)),
              (std::vector<std::string>{"2017-2-6", "2017-1-30", "2017-1-23", "2017-1-16", "2017-1-9"}));
}

TEST(AxisLabelValues, LessRoomMovesWeeklyLabelsToCoarserCalendarSteps) {
    struct Row {
        int length;
        int dateStep;
        std::vector<std::string> labels;
    };
    // Labels 80 pixels wide take 88 pixels: 1200 pixels hold 14, 800 hold 9, 440 hold 5.
    const Row rows[] = {
        {1200,
         kDateStepOneWeek,
         {"2017-4-2", "2017-3-26", "2017-3-19", "2017-3-12", "2017-3-5", "2017-2-26", "2017-2-19", "2017-2-12",
          "2017-2-5", "2017-1-29", "2017-1-22", "2017-1-15"}},
        {800, kDateStepHalfMonth, {"2017-4-1", "2017-3-15", "2017-3-1", "2017-2-15", "2017-2-1", "2017-1-15"}},
        {440, kDateStepOneMonth, {"2017-4-1", "2017-3-1", "2017-2-1"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.length);
        DateAxisChart bottom(date(2017, 1, 9), date(2017, 4, 3) - 0.5, 7, row.length);
        const double step = bottom.axis.LabelStepForSize(80);
        EXPECT_EQ(bottom.axis.DateStepIndex(step), row.dateStep);
        EXPECT_EQ(showDates(bottom.labels(step)), row.labels);
    }
}

TEST(AxisLabelValues, WithoutExactDateTimeLabelsStepFromTheRoundedMaximum) {
    DateAxisChart bottom(42740.25, 42760.75, 7);
    bottom.axis.setExactDateTime(false);
    expectValuesNear(bottom.labels(7), {42756, 42749, 42742});
}

TEST(AxisLabelValues, TooManyLabelsGiveNone) {
    NumericAxisChart left(0, 1, 0);
    EXPECT_TRUE(left.labels(0.99e-4).empty());
    EXPECT_EQ(left.labels(1.0 / 9999.5).size(), 10000u);
}

TEST(AxisLabelValues, AStepLostInTheValuesRoundingEndsTheLabels) {
    // A single-valued range far from 0 gets the smallest step, which day numbers cannot
    // resolve: the one label is placed and the loop ends.
    NumericAxisChart left(42747, 42747, 0);
    const double step = left.axis.LabelStepForSize(15);
    EXPECT_EQ(step, 1e-12);
    EXPECT_EQ(left.labels(step), (std::vector<double>{42747}));
}

TEST(AxisLabelValues, ReversedRangeHasNoLabels) {
    test::TestChart chart;
    TChartAxis axis(&chart, AxisPlace::Left);
    chart.loading = true;
    axis.setMinimum(5);
    axis.setMaximum(1);
    chart.loading = false;
    axis.setAutomatic(false);
    test::layoutAxis(axis);
    std::vector<double> values{1, 2};
    axis.LabelValues(1, values);
    EXPECT_TRUE(values.empty());
}

// ---- The OnGetNextAxisLabel protocol ----

struct HandlerCall {
    int index;
    double value;
    bool stop;
};

TEST(AxisLabelEvent, AHandlerThatLeavesStopSetGetsTheDefaultLabels) {
    DateAxisChart bottom(date(2017, 1, 9) - 0.3, date(2017, 2, 6) + 0.7, 7);
    const std::vector<double> defaults = bottom.labels(7);
    std::vector<HandlerCall> calls;
    bottom.chart.onGetNextAxisLabel = [&](TCustomChartAxis&, int index, double& value, bool& stop) {
        calls.push_back({index, value, stop});
    };
    EXPECT_EQ(bottom.labels(7), defaults);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].index, 0);
    EXPECT_EQ(calls[0].value, bottom.axis.EffectiveMinimum());
    EXPECT_TRUE(calls[0].stop);
}

TEST(AxisLabelEvent, TheFirstValueOutsideTheRangeEndsTheLabels) {
    DateAxisChart bottom(42770 - 0.2, 42798 + 0.2, 7);
    std::vector<HandlerCall> calls;
    bottom.chart.onGetNextAxisLabel = [&](TCustomChartAxis&, int index, double& value, bool& stop) {
        calls.push_back({index, value, stop});
        value = 42770 + 7 * index;
        stop = false;
    };
    EXPECT_EQ(bottom.labels(7), (std::vector<double>{42770, 42777, 42784, 42791, 42798}));
    ASSERT_EQ(calls.size(), 6u);  // the sixth value, 42805, lies beyond the range
    EXPECT_TRUE(calls[0].stop);
    for (std::size_t i = 1; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].index, static_cast<int>(i));
        EXPECT_EQ(calls[i].value, 42770 + 7.0 * (static_cast<double>(i) - 1));
        EXPECT_FALSE(calls[i].stop);  // Stop is not reset between calls
    }
}

TEST(AxisLabelEvent, ValuesWithinTheBandAroundTheRangeCount) {
    DateAxisChart bottom(100, 200, 7);
    const double offered[] = {100 - 0.5e-7, 150, 200 + 0.5e-7, 200 + 2e-7};
    bottom.chart.onGetNextAxisLabel = [&](TCustomChartAxis&, int index, double& value, bool& stop) {
        value = offered[index];
        stop = false;
    };
    EXPECT_EQ(bottom.labels(7), (std::vector<double>{100 - 0.5e-7, 150, 200 + 0.5e-7}));
}

TEST(AxisLabelEvent, StopLaterEndsWithoutDefaultLabels) {
    DateAxisChart bottom(100, 200, 7);
    bottom.chart.onGetNextAxisLabel = [&](TCustomChartAxis&, int index, double& value, bool& stop) {
        value = 110 + index;
        stop = index == 2;
    };
    EXPECT_EQ(bottom.labels(7), (std::vector<double>{110, 111}));
}

TEST(AxisLabelEvent, AtMost2001Calls) {
    DateAxisChart bottom(100, 200, 7);
    int calls = 0;
    bottom.chart.onGetNextAxisLabel = [&](TCustomChartAxis&, int, double& value, bool& stop) {
        ++calls;
        value = 150;
        stop = false;
    };
    EXPECT_EQ(bottom.labels(7).size(), 2001u);
    EXPECT_EQ(calls, 2001);
}

// The viewer's month view: labels on the window start and every seventh day after it.
TEST(AxisLabelEvent, WeekStartHandlerLabelsEveryMondayOfTheWindow) {
    const double windowStart = date(2017, 1, 16);  // a Monday
    const auto weekStarts = [&](TCustomChartAxis&, int, double& value, bool& stop) {
        value = windowStart > value ? windowStart : value + 7;
        stop = false;
    };
    struct Case {
        const char* what;
        double minimum;
        std::vector<double> labels;
    };
    const Case cases[] = {
        {"minimum just before the start",
         windowStart - 0.07,
         {windowStart, windowStart + 7, windowStart + 14, windowStart + 21, windowStart + 28}},
        {"minimum two days after the start", windowStart + 2, {windowStart + 9, windowStart + 16, windowStart + 23}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DateAxisChart bottom(c.minimum, windowStart + 28 + 0.07, 7);
        bottom.chart.onGetNextAxisLabel = weekStarts;
        EXPECT_EQ(bottom.labels(7), c.labels);
    }
}

}  // namespace
}  // namespace pvz
