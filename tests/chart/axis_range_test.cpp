#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "chart/chart_axis.h"
#include "chart/chart_errors.h"
#include "chart/chart_series.h"
#include "runtime/errors.h"
#include "tests/chart/axis_test_chart.h"
#include "tests/support/expect_error.h"

namespace pvz {
namespace {

const std::string kMinimumMessage = "Axis Minimum Value must be <= Maximum";
const std::string kMaximumMessage = "Axis Maximum Value must be >= Minimum";
const std::string kIncrementMessage = "Axis increment must be >= 0";

TEST(AxisRange, MinimumAboveMaximumIsRefusedAndKeepsTheOldValue) {
    test::TestChart chart;
    TChartAxis axis(&chart, AxisPlace::Bottom);
    axis.setMaximum(42800);
    axis.setMinimum(42700);
    chart.repaints = 0;
    test::expectError<AxisException>([&] { axis.setMinimum(42801); }, kMinimumMessage);
    test::expectError<AxisException>([&] { axis.setMaximum(42699); }, kMaximumMessage);
    EXPECT_EQ(axis.Minimum(), 42700);
    EXPECT_EQ(axis.Maximum(), 42800);
    EXPECT_EQ(chart.repaints, 0);
    axis.setMinimum(42800);  // equal ends are a valid range
    EXPECT_EQ(axis.Minimum(), 42800);
    chart.loading = true;  // the starting values are applied unchecked
    axis.setMinimum(42900);
    EXPECT_EQ(axis.Minimum(), 42900);
}

TEST(AxisRange, ARangeWhoseExtentOverflowsIsRefusedAndKeepsTheOldValue) {
    test::TestChart chart;
    TChartAxis axis(&chart, AxisPlace::Left);
    axis.setMaximum(1e308);
    const auto overflow = [](auto&& set) {
        try {
            set();
        } catch (const EOverflow& e) {
            return e.message();
        }
        return std::string("no error");
    };
    EXPECT_EQ(overflow([&] { axis.setMinimum(-1e308); }), "Floating point overflow");
    EXPECT_EQ(axis.Minimum(), 0.0);
    axis.setMinimum(-1e307);
    EXPECT_EQ(overflow([&] { axis.setMaximum(std::numeric_limits<double>::max()); }), "Floating point overflow");
    EXPECT_EQ(axis.Maximum(), 1e308);
    // While the form is loaded the range is taken as it comes.
    chart.loading = true;
    axis.setMinimum(-1e308);
    EXPECT_EQ(axis.Minimum(), -1e308);
}

TEST(AxisRange, NotANumberIsNoRangeEnd) {
    test::TestChart chart;
    TChartAxis axis(&chart, AxisPlace::Left);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    test::expectError<AxisException>([&] { axis.setMinimum(nan); }, kMinimumMessage);
    test::expectError<AxisException>([&] { axis.setMaximum(nan); }, kMaximumMessage);
    test::expectError<AxisException>([&] { axis.setIncrement(nan); }, kIncrementMessage);
}

TEST(AxisRange, OpeningTheRangeFirstMovesItAnywhereWithinTheBound) {
    struct Move {
        double minimum, maximum;
    };
    const Move moves[] = {{42800, 42828}, {42000, 42364}, {42828, 42828}, {57000, 57028}, {-5, 3}};
    test::TestChart chart;
    TChartAxis axis(&chart, AxisPlace::Bottom);
    axis.setMaximum(42728);
    axis.setMinimum(42700);
    for (const Move& m : moves) {
        SCOPED_TRACE(std::to_string(m.minimum) + ".." + std::to_string(m.maximum));
        axis.setMaximum(1000000);
        axis.setMinimum(m.minimum);
        axis.setMaximum(m.maximum);
        EXPECT_EQ(axis.Minimum(), m.minimum);
        EXPECT_EQ(axis.Maximum(), m.maximum);
    }
}

TEST(AxisRange, MovingForwardWithTheMinimumFirstIsRefused) {
    TChartAxis axis(nullptr, AxisPlace::Bottom);
    axis.setMaximum(42728);
    axis.setMinimum(42700);
    test::expectError<AxisException>([&] { axis.setMinimum(42735); }, kMinimumMessage);
    axis.setMinMax(42735, 42763);
    EXPECT_EQ(axis.Minimum(), 42735);
    EXPECT_EQ(axis.Maximum(), 42763);
    axis.setMinMax(42000, 42010);
    EXPECT_EQ(axis.Minimum(), 42000);
    EXPECT_EQ(axis.Maximum(), 42010);
}

TEST(AxisRange, NegativeIncrementIsRefused) {
    test::TestChart chart;
    TChartAxis axis(&chart, AxisPlace::Left);
    axis.setIncrement(0.001);
    test::expectError<AxisException>([&] { axis.setIncrement(-0.5); }, kIncrementMessage);
    EXPECT_EQ(axis.Increment(), 0.001);
    chart.loading = true;
    test::expectError<AxisException>([&] { axis.setIncrement(-0.5); }, kIncrementMessage);
    chart.loading = false;
    axis.setIncrement(0);
    EXPECT_EQ(axis.Increment(), 0);
}

TEST(AxisRange, LabelsSeparationMustNotBeNegative) {
    TChartAxis axis(nullptr, AxisPlace::Left);
    axis.setLabelsSeparation(100);
    test::expectError<AxisException>([&] { axis.setLabelsSeparation(-1); },
                                     "Labels Separation % must be greater than 0");
    EXPECT_EQ(axis.LabelsSeparation(), 100);
    axis.setLabelsSeparation(0);
    EXPECT_EQ(axis.LabelsSeparation(), 0);
}

struct AutoFlags {
    bool automatic, automaticMinimum, automaticMaximum;
    friend bool operator==(const AutoFlags&, const AutoFlags&) = default;
};

void PrintTo(const AutoFlags& f, std::ostream* os) {
    *os << "{" << f.automatic << ", " << f.automaticMinimum << ", " << f.automaticMaximum << "}";
}

AutoFlags flagsOf(const TCustomChartAxis& axis) {
    return {axis.Automatic(), axis.AutomaticMinimum(), axis.AutomaticMaximum()};
}

TEST(AxisRange, AutomaticCascade) {
    enum Setter { kAutomatic, kAutomaticMinimum, kAutomaticMaximum };
    struct Step {
        Setter setter;
        bool value;
        AutoFlags after;
    };
    struct Case {
        const char* what;
        bool loading;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"Automatic false clears both ends", false, {{kAutomatic, false, {false, false, false}}}},
        {"Automatic true sets both ends",
         false,
         {{kAutomatic, false, {false, false, false}}, {kAutomatic, true, {true, true, true}}}},
        {"while loading Automatic leaves the ends", true, {{kAutomatic, false, {false, true, true}}}},
        {"a cleared end clears Automatic", false, {{kAutomaticMinimum, false, {false, false, true}}}},
        {"a cleared end clears Automatic while loading", true, {{kAutomaticMaximum, false, {false, true, false}}}},
        {"AutomaticMinimum alone leaves Automatic false",
         false,
         {{kAutomatic, false, {false, false, false}}, {kAutomaticMinimum, true, {false, true, false}}}},
        {"both ends make Automatic true",
         false,
         {{kAutomatic, false, {false, false, false}},
          {kAutomaticMinimum, true, {false, true, false}},
          {kAutomaticMaximum, true, {true, true, true}}}},
        // The starting values leave the bottom axis with its maximum automatic; setting
        // Automatic to false at start-up must clear it although Automatic is already false.
        {"Automatic false again clears an end left by loading",
         false,
         {{kAutomaticMinimum, false, {false, false, true}}, {kAutomatic, false, {false, false, false}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TestChart chart;
        chart.loading = c.loading;
        TChartAxis axis(&chart, AxisPlace::Bottom);
        for (const Step& step : c.steps) {
            switch (step.setter) {
                case kAutomatic:
                    axis.setAutomatic(step.value);
                    break;
                case kAutomaticMinimum:
                    axis.setAutomaticMinimum(step.value);
                    break;
                case kAutomaticMaximum:
                    axis.setAutomaticMaximum(step.value);
                    break;
            }
            EXPECT_EQ(flagsOf(axis), step.after);
        }
    }
}

TEST(AxisRange, SettersRequestARepaintOnlyWhenTheValueChanges) {
    const test::RepaintStep<TChartAxis> steps[] = {
        {"same maximum", [](TChartAxis& a) { a.setMaximum(0); }, 0},
        {"new maximum", [](TChartAxis& a) { a.setMaximum(10); }, 1},
        {"new minimum", [](TChartAxis& a) { a.setMinimum(2); }, 1},
        {"same minimum", [](TChartAxis& a) { a.setMinimum(2); }, 0},
        {"new increment", [](TChartAxis& a) { a.setIncrement(7); }, 1},
        {"new format", [](TChartAxis& a) { a.setDateTimeFormat("mmm/dd yyyy"); }, 1},
        {"same pen", [](TChartAxis& a) { a.setGrid(a.Grid()); }, 0},
        {"new pen",
         [](TChartAxis& a) {
             TChartPen grid = a.Grid();
             grid.smallDots = true;
             a.setGrid(grid);
         },
         1},
        {"same multi-line", [](TChartAxis& a) { a.setLabelsMultiLine(false); }, 0},
        {"new multi-line", [](TChartAxis& a) { a.setLabelsMultiLine(true); }, 1},
        {"refused minimum", [](TChartAxis& a) { EXPECT_THROW(a.setMinimum(11), AxisException); }, 0},
    };
    test::TestChart chart;
    TChartAxis axis(&chart, AxisPlace::Bottom);
    test::expectRepaints(chart, axis, steps);
}

TEST(AxisRange, FittedEndsFollowTheSeriesOnTheAxis) {
    test::TestChart chart;
    TChartSeries first, second, elsewhere, empty;
    first.AddPoint(42740, 0.5);
    first.AddPoint(42750, -0.25);
    second.AddPoint(42745, 2.0);
    elsewhere.setHorizAxis(aTopAxis);
    elsewhere.setVertAxis(aRightAxis);
    elsewhere.AddPoint(1, 100);
    for (TChartSeries* s : {&first, &second, &elsewhere, &empty}) chart.add(*s);

    TChartAxis bottom(&chart, AxisPlace::Bottom), left(&chart, AxisPlace::Left);
    bottom.AdjustRange();
    left.AdjustRange();
    EXPECT_EQ(bottom.EffectiveMinimum(), 42740);
    EXPECT_EQ(bottom.EffectiveMaximum(), 42750);
    EXPECT_EQ(bottom.EffectiveRange(), 10);
    EXPECT_EQ(left.Minimum(), -0.25);
    EXPECT_EQ(left.Maximum(), 2.0);

    // An inactive series counts only while no active series is on the axis.
    second.setActive(false);
    left.AdjustRange();
    EXPECT_EQ(left.Maximum(), 0.5);
    // The empty series is active: it alone takes part and gives nothing.
    first.setActive(false);
    left.AdjustRange();
    EXPECT_EQ(left.Maximum(), 0);
    EXPECT_EQ(left.Minimum(), 0);
    empty.setActive(false);
    left.AdjustRange();
    EXPECT_EQ(left.Maximum(), 2.0);
    EXPECT_EQ(left.Minimum(), -0.25);
}

TEST(AxisRange, NoSeriesGivesAZeroRange) {
    test::TestChart chart;
    TChartSeries empty;
    chart.add(empty);
    TChartAxis axis(&chart, AxisPlace::Left);
    chart.loading = true;
    axis.setMaximum(5);
    axis.setMinimum(1);
    chart.loading = false;
    axis.AdjustRange();
    EXPECT_EQ(axis.Minimum(), 0);
    EXPECT_EQ(axis.Maximum(), 0);
}

TEST(AxisRange, AutomaticMinimumAloneFitsTheLowerEndOnEveryRepaint) {
    test::TestChart chart;
    TChartSeries series;
    series.AddPoint(42771, 1);
    series.AddPoint(42790, 2);
    chart.add(series);
    TChartAxis axis(&chart, AxisPlace::Bottom);
    axis.setAutomatic(false);
    axis.setMaximum(1000000);
    axis.setMinimum(42770);
    axis.setMaximum(42798);
    axis.setAutomaticMinimum(true);
    EXPECT_FALSE(axis.Automatic());

    chart.repaints = 0;
    axis.AdjustRange();
    EXPECT_EQ(axis.Minimum(), 42771);
    EXPECT_EQ(axis.Maximum(), 42798);
    EXPECT_EQ(chart.repaints, 0);  // fitting is part of a repaint, not a change
    series.AddPoint(42760, 3);
    axis.AdjustRange();
    EXPECT_EQ(axis.Minimum(), 42760);
    EXPECT_EQ(axis.Maximum(), 42798);
}

}  // namespace
}  // namespace pvz
