// The chart's decorations: week numbers, the month view's labels, what follows each drawing,
// and the series check boxes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/view_arithmetic.h"
#include "runtime/calendar.h"
#include "tests/app/viewer_fixture.h"
#include "tests/support/fixture_files.h"
#include "tools/lib/sample_data.h"

namespace pvz::testing {
namespace {

using Decorations = ViewerTest;

TEST_F(Decorations, WeekNumbersUnderThePlotInTheMonthView) {
    struct Case {
        int screenWidth;
        int offset;
    };
    for (const Case c : {Case{1920, 20}, Case{801, 20}, Case{800, 15}}) {
        SCOPED_TRACE(c.screenWidth);
        SnapshotDriver driver(options("2017-11-01 12:00:00", c.screenWidth));
        TForm1& f = driver.form();
        play(driver, {"start", "back", "back"});
        const Rect plot = f.Chart->PlotRect();
        const int w = plot.right - plot.left + 1;
        const auto& numbers = f.drawnWeekNumbers();
        ASSERT_EQ(numbers.size(), 4u);
        for (int i = 0; i < 4; ++i) {
            const DrawnText& t = numbers[static_cast<std::size_t>(i)];
            EXPECT_EQ(t.text, std::to_string(f.state.currentWeek - 5 + i)) << i;
            EXPECT_EQ(t.x, (w / 8) * (2 * i + 1) + plot.left - 10) << i;
            EXPECT_EQ(t.y, plot.bottom + c.offset) << i;
            // Written on the opaque white background that the canvas holds there.
            EXPECT_EQ(f.Chart->bitmap().pixel(t.x + 1, t.y + 1), clWhite) << i;
        }
        driver.apply(action("interval=year"));
        EXPECT_TRUE(f.drawnWeekNumbers().empty());
    }
}

// A fitted range can end a hair below a multiple of the label step (286.99999999999997
// steps): its top label is drawn all the same, at the range's end. Views where this happens:
TEST_F(Decorations, TopLabelOfAFittedRangeSurvivesRounding) {
    struct Row {
        const char* today;
        bool sampleData;
        std::vector<const char*> actions;
    };
    const Row rows[] = {
        {"2017-10-17", false, {"start"}},
        {"2026-12-05", true, {"start", "interval=year"}},
        {"2026-12-09", true, {"start", "interval=year", "param=Yp"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.today) + (row.sampleData ? " sample data" : " real data"));
        test::TempDirectory sample;
        SnapshotOptions o = options((std::string(row.today) + " 12:00:00").c_str());
        if (row.sampleData) {
            SampleDataOptions generated;
            generated.todayDay = *sampleDayFromIsoDate(row.today) + 0.5;
            writeSampleData(sample.path(), generated);
            o.dataDirectory = sample.path();
        }
        SnapshotDriver driver(o);
        for (const char* a : row.actions) driver.apply(action(a));
        TChartAxis& axis = driver.form().Chart->LeftAxis();
        const double step = axis.LabelStep();
        const long double quotient = static_cast<long double>(axis.EffectiveMaximum()) / step;
        ASSERT_LT(quotient, std::roundl(quotient));
        ASSERT_GT(quotient, std::roundl(quotient) - 1e-6L);
        std::vector<double> labels;
        axis.LabelValues(step, labels);
        ASSERT_FALSE(labels.empty());
        EXPECT_EQ(labels.front(), axis.EffectiveMaximum());
        EXPECT_EQ(labels.size(), static_cast<std::size_t>(
                                     std::lround((axis.EffectiveMaximum() - axis.EffectiveMinimum()) / step) + 1));
    }
}

TEST_F(Decorations, MonthLabelsFallOnTheWindowsMondays) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    struct Case {
        const char* step;
        int first;  // days from the window start to the first label
    };
    // The axis follows the data, whose first point lies on the window's first day, so the axis
    // starts just before it and the first label falls on the window start. A time step first
    // draws the moved axis with the window's own range (a minimum at the window start would get
    // its first label seven days later); that drawing turns the automatic minimum on again and
    // asks for the next one, so the rebuilt chart follows the data as after Start.
    const Case cases[] = {{"start", 0}, {"back", 0}, {"hold-back=3", 0}, {"up=1", 0}, {"forward", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        driver.apply(action(c.step));
        const ViewerState& s = f.state;
        TChartAxis& bottom = f.Chart->BottomAxis();
        const double start = s.windowStartMjd + s.mjdToDayOffset;
        EXPECT_EQ(bottom.EffectiveMinimum() < start, c.first == 0);
        std::vector<double> labels;
        bottom.LabelValues(bottom.LabelStep(), labels);
        ASSERT_EQ(labels.size(), static_cast<std::size_t>(5 - c.first / 7));
        for (std::size_t k = 0; k < labels.size(); ++k) EXPECT_EQ(labels[k], start + c.first + 7.0 * k);
    }
    // The year view keeps the engine's monthly labels on the first days of the months.
    driver.apply(action("interval=year"));
    TChartAxis& bottom = f.Chart->BottomAxis();
    std::vector<double> labels;
    bottom.LabelValues(bottom.LabelStep(), labels);
    ASSERT_GE(labels.size(), 11u);
    for (const double v : labels) EXPECT_EQ(decodeDayNumber(v).day, 1) << v;
}

TEST_F(Decorations, NextLabelHandlerServesOnlyTheMonthViewsBottomAxis) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    driver.apply(action("start"));
    const ViewerState& s = f.state;
    const double start = s.homeStartMjd + s.mjdToDayOffset;
    struct Case {
        int interval;
        bool bottom;
        double in;
        double out;
        bool stop;
    };
    const Case cases[] = {
        {0, true, start - 0.2, start, false},    {0, true, start + 2, start + 9, false},
        {0, true, start + 9, start + 16, false}, {0, true, start + 16, start + 23, false},
        {1, true, start + 2, start + 2, true},   {0, false, 0.3, 0.3, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in - start);
        f.RadioGroupInterval->setItemIndex(c.interval);
        double value = c.in;
        bool stop = true;
        f.ChartGetNextAxisLabel(c.bottom ? f.Chart->BottomAxis() : f.Chart->LeftAxis(), 0, value, stop);
        EXPECT_EQ(value, c.out);
        EXPECT_EQ(stop, c.stop);
    }
}

TEST_F(Decorations, ScaleTextIsComposedAfterEveryDrawing) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    for (const char* step : {"start", "choose=on", "scale=4", "param=Xp", "grid=6", "stretch=20"}) {
        SCOPED_TRACE(step);
        driver.apply(action(step));
        TChartAxis& left = f.Chart->LeftAxis();
        EXPECT_EQ(left.LabelsFont().sizeInPoints(), 8);
        EXPECT_EQ(f.EditScale->text(), composedScaleText(left.LabelStepForSize(14)));
        EXPECT_TRUE(f.Chart->BottomAxis().AutomaticMinimum());
        EXPECT_FALSE(f.Chart->BottomAxis().AutomaticMaximum());
    }
}

TEST_F(Decorations, CreationShowsTheTableLabelUntilTheFirstDrawing) {
    FormOptions o;
    o.screenWidth = [] { return 1280; };
    o.maximise = false;
    o.cycle = FormOptions::Cycle::External;
    TForm1 f(std::move(o));
    f.FormCreate();
    EXPECT_EQ(f.EditScale->text(), "M: 3 мс");
}

// A drawing without any point used to let the date axis start at day 0, 30 December 1899.
TEST_F(Decorations, WindowWithoutDataKeepsItsDateAxis) {
    SnapshotDriver driver(options("2019-03-01 12:00:00"));
    TForm1& f = driver.form();
    play(driver, {"start", "up=2", "back"});
    const ViewerState& s = f.state;
    for (int i = 0; i < kSeriesSlotCount; ++i) ASSERT_EQ(f.seriesAt(i).Count(), 0);
    EXPECT_EQ(f.Chart->BottomAxis().EffectiveMinimum(), s.windowStartMjd + s.mjdToDayOffset);
    EXPECT_EQ(f.Chart->BottomAxis().EffectiveMaximum(), s.windowEndMjd + s.mjdToDayOffset);
    // Once data are back the axis follows them again.
    driver.apply(action("undo"));
    f.state.timeShiftDays = -490;  // back into the data
    f.state.redrawRequested = true;
    pass(f);
    pass(f);
    ASSERT_GT(f.seriesAt(0).Count(), 0);
    EXPECT_LT(f.Chart->BottomAxis().EffectiveMinimum(), s.windowStartMjd + s.mjdToDayOffset);
}

TEST_F(Decorations, ControlsFollowTheLegendAndThePlot) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    for (const char* step : {"start", "resize=1000x700", "resize=1600x900", "resize=900x620"}) {
        SCOPED_TRACE(step);
        driver.apply(action(step));
        const Rect legend = f.Chart->Legend().LegendRect();
        const Rect plot = f.Chart->PlotRect();
        const int rows = (legend.bottom - legend.top) / 11;
        const int h = f.Chart->height();
        ASSERT_GT(rows, 0);
        for (int tag = 1; tag <= kSeriesSlotCount; ++tag) {
            const CheckBox& box = f.seriesCheckBox(tag);
            EXPECT_EQ(box.left(), legend.left - box.width()) << tag;
            EXPECT_EQ(box.top(), (tag - 1) * rows + legend.top) << tag;
        }
        EXPECT_EQ(f.BitBtnStart->top(), h - f.BitBtnStart->height() - 10);
        EXPECT_EQ(f.GroupBoxScales->left(), legend.left - f.CheckBox1->width());
        EXPECT_EQ(f.GroupBoxScales->top(), plot.bottom - f.GroupBoxScales->height() - 1);
        EXPECT_EQ(f.GroupBox2->top(), h - f.GroupBox2->height() - 5);
        EXPECT_EQ(f.GroupBox1->top(), plot.top - f.GroupBox1->height() - 5);
        // Left edges that only the small layout sets stay.
        EXPECT_EQ(f.GroupBox2->left(), 48);
        EXPECT_EQ(f.GroupBox1->left(), 59);
        EXPECT_EQ(f.BitBtnStart->left(), 824);
    }
}

TEST_F(Decorations, SeriesBoxKeepsTheFitUnlessTheChartWasEmpty) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    play(driver, {"start", "up=5"});
    const TChartAxis& left = f.Chart->LeftAxis();
    const double minimum = left.Minimum();
    const double maximum = left.Maximum();
    driver.apply(action("series=2:off"));
    EXPECT_EQ(f.seriesAt(1).Count(), 0);
    EXPECT_EQ(left.Minimum(), minimum);
    EXPECT_EQ(left.Maximum(), maximum);

    // A pending fit is dropped by a click while series are shown.
    f.state.autoFitRequested = true;
    f.CheckBox9Click(*f.CheckBox3);
    EXPECT_FALSE(f.state.autoFitRequested || f.state.rescaleRequested);
    EXPECT_TRUE(f.state.redrawRequested);

    for (int tag = 1; tag <= kSeriesSlotCount; ++tag) f.seriesCheckBox(tag).setChecked(false);
    pass(f);
    EXPECT_FALSE(f.state.anySeriesChecked);
    driver.apply(action("series=1:on"));
    // Fitted anew to slot 1 alone: its data span 2g + 3 = 3 of the 4 cells.
    const TChartSeries& reference = f.seriesAt(0);
    ASSERT_GT(reference.Count(), 0);
    EXPECT_NEAR(left.Increment(), (reference.HighestY() - reference.LowestY()) / 3, 1e-15);
    EXPECT_NEAR(left.Maximum() - left.Minimum(), 4 * left.Increment(), 1e-12);

    play(driver, {"choose=on"});
    clearRequests(f.state);
    f.CheckBox9Click(*f.CheckBox2);
    EXPECT_TRUE(f.state.redrawRequested && f.state.rescaleRequested);
    EXPECT_FALSE(f.state.autoFitRequested);
}

}  // namespace
}  // namespace pvz::testing
