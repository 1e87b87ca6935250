#include "data/display_cycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/calendar.h"
#include "runtime/errors.h"

namespace pvz {
namespace {

class FakeControls : public DisplayControls {
public:
    int parameter = 0;
    int trend = 0;
    int interval = 0;
    int grid = 0;
    int scale = 0;
    std::array<bool, kSeriesSlotCount> checked{};
    std::string editScale;
    std::string status;
    bool choise = false;
    int choiseClicks = 0;
    ViewerState* state = nullptr;  // CheckBoxChoiseClick raises its requests here
    mutable int failures = 0;      // parameterIndex throws this many times
    bool libraryFailure = false;   // ... a standard library error instead of the program's own

    FakeControls() { checked.fill(true); }

    int parameterIndex() const override {
        if (failures > 0) {
            --failures;
            if (libraryFailure) throw std::length_error("vector::_M_realloc_insert");
            throw EInvalidOp();
        }
        return parameter;
    }
    int trendIndex() const override { return trend; }
    int intervalIndex() const override { return interval; }
    int gridIndex() const override { return grid; }
    int scaleIndex() const override { return scale; }
    // The chart's child order is not the Tag order.
    int seriesBoxCount() const override { return kSeriesSlotCount; }
    SeriesBox seriesBox(int index) const override {
        const int tag = (index * 5) % kSeriesSlotCount + 1;
        return {tag, checked[static_cast<std::size_t>(tag - 1)]};
    }
    void setEditScaleText(std::string_view text) override { editScale = std::string(text); }
    void setStatusText(std::string_view text) override { status = std::string(text); }
    void checkChoise() override {
        if (choise) return;
        choise = true;
        ++choiseClicks;
        if (state) {
            state->redrawRequested = true;
            state->rescaleRequested = true;
        }
    }
};

// A store, a state fixed at a mid-February 2017 noon, a chart of eleven series and the controls.
struct Rig {
    ObservationStore store;
    SeriesArrays arrays;
    ViewerState state;
    TChartAxis bottom{nullptr, AxisPlace::Bottom};
    TChartAxis left{nullptr, AxisPlace::Left};
    std::vector<std::unique_ptr<TChartSeries>> owned;
    std::array<TChartSeries*, kSeriesSlotCount> series{};
    FakeControls controls;
    DisplayCycle cycle{store, arrays, state, DisplayChart{bottom, left, series}, controls};

    Rig() {
        state.fixTimeBase(encodeDayNumber(2017, 2, 15) + 0.5);  // home window 57776 .. 57804
        state.running = true;
        state.autoFitRequested = true;
        controls.state = &state;
        // Both axes set by hand, with the steps of the viewer's axes.
        bottom.setAutomatic(false);
        bottom.setIncrement(1.0);
        left.setAutomatic(false);
        left.setIncrement(0.001);
        left.setMaximum(0.01);
        for (std::size_t i = 0; i < series.size(); ++i) {
            owned.push_back(std::make_unique<TChartSeries>());
            series[i] = owned.back().get();
            series[i]->setSeriesColor(static_cast<Color>(0x100 + i));
        }
    }

    // One row per day over the whole stored period; value(mjd) for every kind.
    template <typename F>
    void daily(int slot, F value, double offset = 0.0) {
        store.slotLoaded[slot] = true;
        int row = 0;
        for (double mjd = 57100 + offset; mjd < 57900; mjd += 1.0) {
            ++row;
            for (int kind = kindUT1; kind <= kindYp; ++kind) store.observations(row, slot, kind) = value(mjd);
            store.observations(row, slot, kindMJD) = mjd;
        }
    }
    TChartSeries& chartSeries(int slot) { return *series[static_cast<std::size_t>(slot - 1)]; }
};

TEST(Rebuild, FirstDrawingFitsTheCurrentWeeks) {
    Rig rig;
    rig.daily(1, [](double) { return 0.25; });
    rig.daily(3, [](double mjd) { return 0.25 + (mjd - 57776) * 0.001; });
    rig.daily(
        6, [](double) { return 0.2; }, 0.5);
    rig.cycle.rebuild();

    EXPECT_EQ(rig.state.selectedParameter, 1);
    EXPECT_EQ(rig.state.windowStartMjd, 57776.0);
    EXPECT_EQ(rig.state.windowEndMjd, 57804.0);
    EXPECT_EQ(rig.bottom.Minimum(), 57776.0 + rig.state.mjdToDayOffset);
    EXPECT_EQ(rig.bottom.Maximum(), 57804.0 + rig.state.mjdToDayOffset);
    EXPECT_EQ(rig.bottom.Increment(), 7.0);
    EXPECT_EQ(rig.bottom.MinorTickCount(), 6);

    ASSERT_EQ(rig.chartSeries(1).Count(), 29);
    EXPECT_EQ(rig.chartSeries(6).Count(), 28);
    EXPECT_EQ(rig.chartSeries(2).Count(), 0);
    EXPECT_EQ(rig.chartSeries(1).XValues()[0], 57776.0 + rig.state.mjdToDayOffset);
    EXPECT_EQ(rig.chartSeries(1).pointColor(0), rig.chartSeries(1).SeriesColor());
    // The trend of slot 3 (0.001 per day) is removed from every series.
    EXPECT_NEAR(rig.state.trendSlope, 0.001, 1e-12);
    EXPECT_NEAR(rig.chartSeries(3).YValues()[28], 0.25, 1e-12);
    EXPECT_NEAR(rig.chartSeries(1).YValues()[28], 0.25 - 0.028, 1e-12);

    // Fitted over 2g + 3 = 3 steps and shown over 4.
    const double low = std::min(rig.chartSeries(1).LowestY(), rig.chartSeries(6).LowestY());
    const double high = 0.25;
    EXPECT_NEAR(rig.left.Increment(), (high - low) / 3, 1e-15);
    EXPECT_LE(rig.left.Minimum(), low);
    EXPECT_GE(rig.left.Maximum(), high);
    EXPECT_NEAR((rig.left.Maximum() - rig.left.Minimum()) / rig.left.Increment(), 4.0, 1e-9);

    EXPECT_FALSE(rig.state.redrawRequested || rig.state.autoFitRequested || rig.state.rescaleRequested ||
                 rig.state.shiftPending);
}

TEST(Rebuild, TrendIsRemovedAlsoWithSlot3Unchecked) {
    Rig rig;
    rig.daily(1, [](double mjd) { return 0.5 + (mjd - 57776) * 0.002; });
    rig.daily(3, [](double mjd) { return 0.1 + (mjd - 57776) * 0.002; });
    rig.controls.checked[2] = false;
    rig.cycle.rebuild();
    EXPECT_EQ(rig.chartSeries(3).Count(), 0);
    for (int k = 0; k < 29; ++k) EXPECT_NEAR(rig.chartSeries(1).YValues()[k], 0.5, 1e-12) << k;
    // With the trend kept the same slope is computed and nothing is removed.
    rig.controls.trend = 1;
    rig.state.redrawRequested = true;
    rig.cycle.rebuild();
    EXPECT_TRUE(rig.state.showTrend);
    EXPECT_NEAR(rig.state.trendSlope, 0.002, 1e-12);
    EXPECT_NEAR(rig.chartSeries(1).YValues()[28], 0.5 + 28 * 0.002, 1e-12);
}

TEST(Rebuild, NoBoxCheckedClearsTheSeriesAndKeepsTheScaleRequests) {
    Rig rig;
    rig.daily(1, [](double) { return 0.1; });
    rig.daily(3, [](double) { return 0.2; });
    rig.cycle.rebuild();
    ASSERT_GT(rig.chartSeries(1).Count(), 0);

    rig.controls.checked.fill(false);
    rig.state.redrawRequested = true;
    rig.state.shiftPending = true;
    rig.state.autoFitRequested = true;
    rig.state.rescaleRequested = true;
    rig.bottom.setAutomatic(true);
    rig.cycle.rebuild();
    EXPECT_EQ(rig.chartSeries(1).Count(), 0);
    EXPECT_FALSE(rig.state.anySeriesChecked);
    EXPECT_FALSE(rig.bottom.Automatic());
    EXPECT_FALSE(rig.state.redrawRequested || rig.state.shiftPending);
    EXPECT_TRUE(rig.state.autoFitRequested && rig.state.rescaleRequested);
}

TEST(Rebuild, SlotThreeEmptyInTheWindowShowsEmptyAxes) {
    Rig rig;
    rig.daily(1, [](double) { return 0.1; });
    rig.daily(2, [](double) { return 0.1; });
    rig.store.slotLoaded[3] = true;  // loaded, but no row at all
    rig.chartSeries(2).AddPoint(1.0, 2.0);
    rig.left.setMinMax(-1.0, 1.0);
    rig.state.rescaleRequested = true;
    rig.cycle.rebuild();
    EXPECT_EQ(rig.chartSeries(1).Count(), 0);
    EXPECT_EQ(rig.chartSeries(2).Count(), 0);
    EXPECT_EQ(rig.left.Minimum(), -1.0);
    EXPECT_EQ(rig.left.Maximum(), 1.0);
    EXPECT_FALSE(rig.state.redrawRequested || rig.state.autoFitRequested || rig.state.rescaleRequested);
}

TEST(Rebuild, ClampsMoveTheBottomAxisAndRewriteTheShift) {
    struct Case {
        const char* name;
        double shift;
        double expectedShift;
    };
    const Case cases[] = {{"three weeks ahead at most", 35.0, 21.0}, {"back to the store's start", -7000.0, -721.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.daily(1, [](double) { return 0.1; });
        rig.daily(3, [](double) { return 0.2; });
        rig.state.timeShiftDays = c.shift;
        rig.cycle.rebuild();
        EXPECT_EQ(rig.state.timeShiftDays, c.expectedShift);
        EXPECT_EQ(rig.bottom.Minimum(), 57776.0 + c.expectedShift + rig.state.mjdToDayOffset);
        EXPECT_EQ(rig.bottom.Maximum(), 57804.0 + c.expectedShift + rig.state.mjdToDayOffset);
    }
}

TEST(Rebuild, TableStepChecksTheChoiceBoxAndWritesTheLabel) {
    struct Case {
        int parameter;
        int scale;
        double step;
        const char* label;
    };
    const Case cases[] = {{0, 2, 0.001, "M: 1 мс"},
                          {1, 4, 0.00025, "M: 0,25 мс"},
                          {2, 0, 0.03, "M: 0,030\""},
                          {3, 3, 0.005, "M: 0,005\""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Rig rig;
        rig.daily(1, [](double mjd) { return 0.01 * std::sin(mjd); });
        rig.daily(3, [](double) { return 0.0; });
        rig.controls.parameter = c.parameter;
        rig.controls.scale = c.scale;
        rig.controls.grid = 1;
        rig.state.autoFitRequested = false;
        rig.state.rescaleRequested = true;
        rig.cycle.rebuild();
        EXPECT_EQ(rig.left.Increment(), c.step);
        EXPECT_EQ(rig.controls.editScale, c.label);
        EXPECT_TRUE(rig.controls.choise);
        EXPECT_EQ(rig.controls.choiseClicks, 1);
        EXPECT_NEAR((rig.left.Maximum() - rig.left.Minimum()) / c.step, 6.0, 1e-9);
        // The requests that the choice box's handler raised are cleared by the same rebuild.
        EXPECT_FALSE(rig.state.redrawRequested || rig.state.rescaleRequested);
    }
}

TEST(Rebuild, WithoutScaleRequestTheVerticalRangeStays) {
    Rig rig;
    rig.daily(1, [](double) { return 0.1; });
    rig.daily(3, [](double) { return 0.2; });
    rig.state.autoFitRequested = false;
    rig.left.setMinMax(-3.0, 3.0);
    rig.cycle.rebuild();
    EXPECT_EQ(rig.left.Minimum(), -3.0);
    EXPECT_EQ(rig.left.Maximum(), 3.0);
    EXPECT_EQ(rig.chartSeries(1).Count(), 29);
}

TEST(Rebuild, FitOfValuesWithoutSpreadKeepsTheStepAndCentresOnThem) {
    Rig rig;
    rig.daily(1, [](double) { return 0.1251; });
    rig.daily(3, [](double) { return 0.1251; });
    rig.controls.grid = 2;
    rig.left.setIncrement(0.002);
    ASSERT_NO_THROW(rig.cycle.rebuild());
    EXPECT_EQ(rig.left.Increment(), 0.002);
    EXPECT_NEAR(rig.left.Minimum(), 0.126 - 4 * 0.002, 1e-15);
    EXPECT_NEAR(rig.left.Maximum(), 0.126 + 4 * 0.002, 1e-15);
    EXPECT_FALSE(rig.state.autoFitRequested);
}

TEST(Rebuild, UncheckedSeriesStayEmptyAndOnlyCheckedOnesCountForTheRange) {
    Rig rig;
    rig.daily(1, [](double) { return 0.1; });
    rig.daily(3, [](double) { return 0.1; });
    rig.daily(7, [](double) { return 5.7; });  // pole values, far above the others
    rig.controls.parameter = 2;
    rig.controls.checked[6] = false;
    rig.left.setIncrement(0.01);
    rig.cycle.rebuild();
    EXPECT_EQ(rig.chartSeries(7).Count(), 0);
    EXPECT_FALSE(rig.state.seriesChecked[6]);
    EXPECT_LT(rig.left.Maximum(), 1.0);
}

struct FakeTime {
    MonotonicClock::time_point t{};
    std::vector<MonotonicClock::time_point> deadlines;
};

TEST(PassLoop, WaitsForTheRestOfEachPassAndEndsWhenNotRunning) {
    Rig rig;
    rig.daily(1, [](double) { return 0.1; });
    rig.daily(3, [](double) { return 0.2; });
    FakeTime time;
    int passes = 0;
    PassServices services;
    services.now = [&] { return time.t; };
    services.waitUntil = [&](MonotonicClock::time_point deadline) {
        time.deadlines.push_back(deadline);
        time.t = deadline + std::chrono::microseconds(1);
        if (++passes == 3) rig.state.running = false;
        if (passes == 2) rig.state.redrawRequested = true;
    };
    rig.cycle.run(services);
    ASSERT_EQ(time.deadlines.size(), 3u);
    EXPECT_EQ(time.deadlines[1] - time.deadlines[0], kPassPeriod + std::chrono::microseconds(1));
    EXPECT_EQ(std::chrono::duration_cast<std::chrono::microseconds>(kPassPeriod).count(), 19992);
    EXPECT_FALSE(rig.state.redrawRequested);
}

TEST(PassLoop, WallClockSteppingBackDoesNotLengthenThePass) {
    Rig rig;
    rig.state.redrawRequested = false;
    double wall = encodeDayNumber(2017, 2, 15) + 0.5;
    setLocalClock([&] { return wall -= 1.0; });  // an hour back on every reading
    MonotonicClock::time_point t{};
    std::vector<MonotonicClock::duration> waits;
    PassServices services;
    services.now = [&] { return t; };
    services.waitUntil = [&](MonotonicClock::time_point deadline) {
        waits.push_back(deadline - t);
        t = deadline;
        rig.state.running = waits.size() < 5;
    };
    rig.cycle.run(services);
    setLocalClock({});
    ASSERT_EQ(waits.size(), 5u);
    for (const auto w : waits) EXPECT_EQ(w, kPassPeriod);
}

TEST(PassLoop, ARebuildLongerThanThePassLeavesNoWait) {
    Rig rig;
    rig.state.running = false;
    MonotonicClock::time_point t{};
    int waits = 0;
    PassServices services;
    services.now = [&] {
        const auto now = t;
        t += std::chrono::milliseconds(30);  // the rebuild between the two readings takes 30 ms
        return now;
    };
    services.waitUntil = [&](MonotonicClock::time_point) { ++waits; };
    rig.cycle.run(services);
    EXPECT_EQ(waits, 0);
}

TEST(PassLoop, AFailedRebuildIsShownAndTheCycleGoesOn) {
    // The program's own errors and any other exception alike: a failure that ended the cycle
    // would leave `running` set with nothing ever rebuilt again.
    struct Row {
        bool library;
        const char* message;
    };
    const Row rows[] = {{false, "Invalid floating point operation"}, {true, "vector::_M_realloc_insert"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        Rig rig;
        rig.daily(1, [](double) { return 0.1; });
        rig.daily(3, [](double) { return 0.2; });
        rig.controls.failures = 1;
        rig.controls.libraryFailure = row.library;
        std::vector<std::string> shown;
        int passes = 0;
        PassServices services;
        services.showError = [&](const std::exception& e) { shown.push_back(e.what()); };
        services.waitUntil = [&](MonotonicClock::time_point) {
            // The failed rebuild's requests are gone: the second pass rebuilds only on a new one.
            if (++passes == 1) {
                EXPECT_FALSE(rig.state.redrawRequested);
                rig.state.redrawRequested = true;
            }
            rig.state.running = passes < 2;
        };
        rig.cycle.run(services);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0], row.message);
        EXPECT_EQ(rig.chartSeries(1).Count(), 29);
    }
}

}  // namespace
}  // namespace pvz
