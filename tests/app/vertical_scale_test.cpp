// The vertical scale: the parameter's scale tables, the common request of the scale controls,
// the fixed and automatic modes and the held shift and stretch buttons.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "data/scale_tables.h"
#include "tests/app/viewer_fixture.h"

namespace pvz::testing {
namespace {

using VerticalScale = ViewerTest;

std::vector<std::string> items(const ComboBox& combo) {
    std::vector<std::string> out;
    for (int i = 0; i < combo.itemCount(); ++i) out.push_back(combo.item(i));
    return out;
}

TEST_F(VerticalScale, ParameterRefillsTheScaleChoice) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    driver.apply(action("start"));
    // The form's own list until the first switch.
    EXPECT_EQ(f.GroupBoxScales->caption(), "Масштабы UT");
    EXPECT_EQ(items(*f.ComboBoxScaleY),
              (std::vector<std::string>{"M: 3 мс", "M: 2 мс", "M: 1 мс", "M: 0,5 мс", "M: 0,25мс"}));
    const std::vector<std::string> ut{"M: 3 мс", "M: 2 мс", "M: 1 мс", "M: 0,5 мс", "M: 0,25 мс"};
    const std::vector<std::string> xy{"M: 0,030\"", "M: 0,020\"", "M: 0,010\"", "M: 0,005\"", "M: 0,0025\""};
    struct Case {
        const char* parameter;
        const char* caption;
        const std::vector<std::string>* labels;
    };
    const Case cases[] = {{"param=Xp", "Масштабы X,Y:", &xy},
                          {"param=Yp", "Масштабы X,Y:", &xy},
                          {"param=UT1R", "Масштабы UT:", &ut},
                          {"param=UT1", "Масштабы UT:", &ut},
                          {"param=Yp", "Масштабы X,Y:", &xy}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.parameter);
        driver.apply(action("scale=3"));
        driver.apply(action(c.parameter));
        EXPECT_EQ(f.GroupBoxScales->caption(), c.caption);
        EXPECT_EQ(items(*f.ComboBoxScaleY), *c.labels);
        EXPECT_EQ(f.ComboBoxScaleY->itemIndex(), 0);
    }
    EXPECT_EQ(xy[0].size(), 9u);  // M, colon, blank, 0,030 and the mark
}

TEST_F(VerticalScale, TypedGridTextDrawsTheDensityTheBoxShows) {
    // Typed text used to leave item 0 in force: the box read "16" over a chart of 4 cells.
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    driver.apply(action("start"));
    struct Case {
        const char* typed;
        int index;
        int cells;  // no item selected: two cells
    };
    const Case cases[] = {{"grid-text=16", 6, 16},
                          {"grid-text=7", -1, 2},
                          {"grid-text=8", 2, 8},
                          {"grid-text=", -1, 2},
                          {"grid-text=4", 0, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        driver.apply(action(c.typed));
        EXPECT_EQ(f.ComboBoxGrid->text(), std::string(c.typed).substr(10));
        EXPECT_EQ(f.ComboBoxGrid->itemIndex(), c.index);
        const TChartAxis& left = f.Chart->LeftAxis();
        EXPECT_NEAR((left.Maximum() - left.Minimum()) / left.Increment(), c.cells, 1e-9);
        EXPECT_FALSE(f.state.redrawRequested);
    }
}

TEST_F(VerticalScale, ScaleControlsAskForATableStepOnlyInTheFixedMode) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    driver.apply(action("start"));
    const std::pair<const char*, std::function<void()>> handlers[] = {
        {"ComboBoxScaleYChange", [&] { f.ComboBoxScaleYChange(*f.ComboBoxScaleY); }},
        {"ComboBoxGridChange", [&] { f.ComboBoxGridChange(*f.ComboBoxGrid); }},
        {"CheckBoxChoiseClick", [&] { f.CheckBoxChoiseClick(*f.CheckBoxChoise); }},
        {"RadioGroupPVZClick", [&] { f.RadioGroupPVZClick(*f.RadioGroupPVZ); }},
    };
    for (const bool fixed : {false, true}) {
        f.CheckBoxChoise->setChecked(fixed);
        for (const auto& [name, handler] : handlers) {
            SCOPED_TRACE(name);
            SCOPED_TRACE(fixed);
            clearRequests(f.state);
            handler();
            EXPECT_TRUE(f.state.redrawRequested);
            EXPECT_EQ(f.state.rescaleRequested, fixed);
            EXPECT_EQ(f.state.autoFitRequested, !fixed);
        }
    }
}

TEST_F(VerticalScale, TableStepAppliesInTheFixedModeOnly) {
    struct Case {
        const char* parameter;
        int scale;
        int grid;
        double step;
    };
    const Case cases[] = {
        {"param=UT1", 3, 0, 0.0005}, {"param=UT1R", 4, 1, 0.00025}, {"param=UT1", 0, 6, 0.003},
        {"param=Xp", 1, 0, 0.02},    {"param=Yp", 4, 2, 0.0025},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.parameter);
        SCOPED_TRACE(c.scale);
        SnapshotDriver driver(options());
        TForm1& f = driver.form();
        play(driver, {"start", c.parameter});
        driver.apply(action(("grid=" + std::to_string(c.grid)).c_str()));
        driver.apply(action(("scale=" + std::to_string(c.scale)).c_str()));
        const TChartAxis& left = f.Chart->LeftAxis();
        // Unchecked: a new fit, and the chosen item stays selected without effect.
        EXPECT_EQ(f.ComboBoxScaleY->itemIndex(), c.scale);
        const double fitted = left.Increment();
        EXPECT_NE(fitted, c.step);
        EXPECT_NEAR(left.Maximum() - left.Minimum(), 2 * (c.grid + 2) * fitted, 1e-12);

        driver.apply(action("choose=on"));
        EXPECT_TRUE(f.CheckBoxChoise->checked());
        EXPECT_EQ(left.Increment(), c.step);
        EXPECT_NEAR(left.Maximum() - left.Minimum(), 2 * (c.grid + 2) * c.step, 1e-12);
        const double centre = (left.Maximum() + left.Minimum()) / 2;
        EXPECT_NEAR(std::remainder(centre, c.step), 0.0, 1e-12);
        EXPECT_FALSE(f.state.rescaleRequested || f.state.autoFitRequested || f.state.redrawRequested);
    }
}

TEST_F(VerticalScale, TrendSwitchRefitsAndLeavesTheFixedMode) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    play(driver, {"start", "choose=on"});
    clearRequests(f.state);
    f.RadioGroupTrend->setItemIndex(1);
    EXPECT_FALSE(f.CheckBoxChoise->checked());
    EXPECT_TRUE(f.state.redrawRequested && f.state.autoFitRequested);
    pass(f);
    EXPECT_TRUE(f.state.showTrend);
    // Slot 3 keeps its trend: it no longer ends on its first value.
    const TChartSeries& trend = f.seriesAt(2);
    EXPECT_GT(std::fabs(trend.YValues()[trend.Count() - 1] - trend.YValues()[0]), 1e-5);
}

TEST_F(VerticalScale, HeldShiftAndStretchStepTheRangeWithoutARebuild) {
    struct Case {
        const char* action;
        double lowerEnd;  // new minimum and maximum in units of the old height from the old minimum
        double upperEnd;
    };
    const double shrink = std::pow(0.97, 100);
    const double grow = std::pow(1.03, 5);
    const Case cases[] = {
        {"up=10", -0.4, 0.6},
        {"down=10", 0.4, 1.4},
        {"stretch=100", (1 - shrink) / 2, (1 + shrink) / 2},
        {"compress=5", (1 - grow) / 2, (1 + grow) / 2},
        {"up=0", -0.04, 0.96},  // released before the first tick: one step all the same
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        SnapshotDriver driver(options());
        TForm1& f = driver.form();
        driver.apply(action("start"));
        const TChartAxis& left = f.Chart->LeftAxis();
        const double m = left.Minimum();
        const double r = left.Maximum() - m;
        const int drawings = f.Chart->drawingCount();
        driver.apply(action(c.action));
        EXPECT_NEAR(left.Minimum(), m + c.lowerEnd * r, 1e-9 * r);
        EXPECT_NEAR(left.Maximum(), m + c.upperEnd * r, 1e-9 * r);
        EXPECT_LT(left.Minimum(), left.Maximum());
        EXPECT_FALSE(f.CheckBoxChoise->checked());
        for (int tag = 3; tag <= 6; ++tag) EXPECT_FALSE(f.state.buttonHeld[tag]) << tag;
        // The axis repaints the chart; no rebuild refits it.
        if (left.Minimum() != m) {
            EXPECT_GT(f.Chart->drawingCount(), drawings);
        }
    }
}

TEST_F(VerticalScale, StepsRaiseNoRebuildRequest) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    driver.apply(action("start"));
    for (SpeedButton* button :
         {f.SpeedButton3.get(), f.SpeedButton4.get(), f.SpeedButton5.get(), f.SpeedButton6.get()}) {
        SCOPED_TRACE(button->tag());
        press(f, *button);
        EXPECT_TRUE(f.state.buttonHeld[button->tag()]);
        tick1(f);
        release(f, *button);
        EXPECT_FALSE(f.state.buttonHeld[button->tag()]);
        EXPECT_FALSE(f.state.redrawRequested || f.state.autoFitRequested || f.state.rescaleRequested);
        EXPECT_TRUE(f.Chart->isDirty());
        pass(f);
    }
    // Nothing held: a tick changes nothing.
    const double minimum = f.Chart->LeftAxis().Minimum();
    tick1(f);
    EXPECT_EQ(f.Chart->LeftAxis().Minimum(), minimum);
}

TEST_F(VerticalScale, FirstStretchInTheFixedModeRefitsAndTheNextStepsFollowTheFit) {
    for (const int tag : {5, 6}) {
        SnapshotDriver driver(options());
        TForm1& f = driver.form();
        play(driver, {"start", "scale=0", "choose=on"});
        const TChartAxis& left = f.Chart->LeftAxis();
        ASSERT_EQ(left.Increment(), 0.003);
        SpeedButton& held = tag == 5 ? *f.SpeedButton5 : *f.SpeedButton6;
        SCOPED_TRACE(tag);
        press(f, held);
        tick1(f);
        EXPECT_FALSE(f.CheckBoxChoise->checked());
        EXPECT_TRUE(f.state.autoFitRequested && f.state.redrawRequested);
        pass(f);
        EXPECT_NE(left.Increment(), 0.003);
        const double m = left.Minimum();
        const double r = left.Maximum() - m;
        tick1(f);
        const double factor = tag == 5 ? 0.97 : 1.03;
        EXPECT_NEAR(left.Maximum() - left.Minimum(), factor * r, 1e-12);
        EXPECT_FALSE(f.state.autoFitRequested);
        release(f, held);
    }
}

TEST_F(VerticalScale, ShiftKeepsTheFixedMode) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    play(driver, {"start", "choose=on", "up=3", "down=1"});
    EXPECT_TRUE(f.CheckBoxChoise->checked());
    EXPECT_EQ(f.Chart->LeftAxis().Increment(), 0.003);
}

}  // namespace
}  // namespace pvz::testing
