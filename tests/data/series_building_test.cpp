#include "data/series_building.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "runtime/calendar.h"
#include "runtime/errors.h"

namespace pvz {
namespace {

// A viewer state whose month window is [homeStart, homeStart + 28] with the given base.
ViewerState monthState(std::int32_t currentWeek, double baseMjd) {
    ViewerState state;
    state.currentWeek = currentWeek;
    state.baseMjd = baseMjd;
    applyInterval(state, 0);
    return state;
}

struct Row {
    double mjd;
    double value;  // written to every kind 1 to 4
};

void fillSlot(ObservationStore& store, int slot, const std::vector<Row>& rows) {
    store.slotLoaded[slot] = true;
    for (int row = 1; row <= kRowCount; ++row)
        for (int kind = kindUT1; kind <= kindMJD; ++kind) store.observations(row, slot, kind) = missingValue;
    int r = 0;
    for (const Row& row : rows) {
        ++r;
        for (int kind = kindUT1; kind <= kindYp; ++kind) store.observations(r, slot, kind) = row.value;
        store.observations(r, slot, kindMJD) = row.mjd;
    }
}

std::vector<Row> dailyRows(double firstMjd, int days, double value = 0.1, double step = 1.0) {
    std::vector<Row> rows;
    for (int d = 0; d < days; ++d) rows.push_back({firstMjd + d * step, value});
    return rows;
}

TEST(Window, IntervalSelectsFirstWeekAndAxisSteps) {
    ViewerState state;
    state.currentWeek = 2147;
    state.firstWeek = 77;
    const auto month = applyInterval(state, 0);
    ASSERT_TRUE(month);
    EXPECT_EQ(state.firstWeek, 2144);
    EXPECT_EQ(month->increment, 7.0);
    EXPECT_EQ(month->minorTickCount, 6);
    const auto year = applyInterval(state, 1);
    ASSERT_TRUE(year);
    EXPECT_EQ(state.firstWeek, 2096);
    EXPECT_EQ(year->increment, 30.0);
    EXPECT_EQ(year->minorTickCount, 3);
    state.firstWeek = 77;
    EXPECT_FALSE(applyInterval(state, -1));
    EXPECT_FALSE(applyInterval(state, 2));
    EXPECT_EQ(state.firstWeek, 77);
}

TEST(Window, UnshiftedMonthAndYearEndOnTheMondayAfterTheCurrentWeek) {
    ViewerState state = monthState(2147, 57048.5);
    computeWindow(state);
    EXPECT_EQ(state.homeStartMjd, 57776.0);
    EXPECT_EQ(state.homeEndMjd, 57804.0);
    EXPECT_EQ(state.windowStartMjd, 57776.0);
    EXPECT_EQ(state.windowEndMjd, 57804.0);
    applyInterval(state, 1);
    computeWindow(state);
    EXPECT_EQ(state.windowEndMjd - state.windowStartMjd, 364.0);
    EXPECT_EQ(state.windowEndMjd, 57804.0);
}

struct ClampCase {
    const char* name;
    double baseMjd;
    double shiftIn;
    double startOut;
    double shiftOut;
};

TEST(Window, ClampsRewriteTheShift) {
    // homeStartMjd 57734 is week 2138; the month window's current week is 2141.
    const ClampCase cases[] = {
        {"the lower clamp example", 57000.6, -742, 57006, -728},
        {"a start just after the base is kept", 57000.6, -728, 57006, -728},
        {"a start on the base snaps to it", 57006.0, -728, 57006, -728},
        {"far back", 57000.6, -7000, 57006, -728},
        {"three weeks ahead is the limit", 57000.6, 21, 57755, 21},
        {"four weeks ahead is taken back", 57000.6, 28, 57755, 21},
        {"far ahead", 57000.6, 700, 57755, 21},
        {"inside both limits", 57000.6, -14, 57720, -14},
    };
    for (const ClampCase& c : cases) {
        SCOPED_TRACE(c.name);
        ViewerState state = monthState(2141, c.baseMjd);
        state.timeShiftDays = c.shiftIn;
        computeWindow(state);
        EXPECT_EQ(state.homeStartMjd, 57734.0);
        EXPECT_EQ(state.windowStartMjd, c.startOut);
        EXPECT_EQ(state.windowEndMjd - state.windowStartMjd, 28.0);
        EXPECT_EQ(state.timeShiftDays, c.shiftOut);
        EXPECT_EQ(std::fmod(state.timeShiftDays, 7.0), 0.0);
    }
}

TEST(Window, ClampedWindowAlwaysStartsOnAMondayAfterTheBase) {
    for (double base = 57000.0; base < 57014.0; base += 0.25) {
        for (int interval = 0; interval <= 1; ++interval) {
            ViewerState state;
            state.currentWeek = 2141;
            state.baseMjd = base;
            applyInterval(state, interval);
            state.timeShiftDays = -2000;
            computeWindow(state);
            ASSERT_GE(state.windowStartMjd, base) << base;
            ASSERT_LT(state.windowStartMjd - 7, base) << base;
            ASSERT_EQ(std::fmod(state.windowStartMjd - weekEpochMjd, 7.0), 0.0) << base;
            ASSERT_EQ(state.windowStartMjd, state.homeStartMjd + state.timeShiftDays);
        }
    }
}

TEST(Extraction, MonthWindowHoldsBothEndMondays) {
    ObservationStore store;
    SeriesArrays arrays;
    ViewerState state = monthState(2141, 57000.6);
    computeWindow(state);
    state.selectedParameter = kindXp;
    fillSlot(store, 2, dailyRows(57700, 80));    // whole MJDs
    fillSlot(store, 6, dailyRows(57700.5, 80));  // half days, as slot 6 stores them
    EXPECT_EQ(extractSlot(store, arrays, 2, kindXp, state.windowStartMjd, state.windowEndMjd), 29);
    EXPECT_EQ(arrays.seriesX(1, 2), state.windowStartMjd);
    EXPECT_EQ(arrays.seriesX(29, 2), state.windowEndMjd);
    EXPECT_EQ(extractSlot(store, arrays, 6, kindXp, state.windowStartMjd, state.windowEndMjd), 28);
    EXPECT_EQ(arrays.seriesX(1, 6), state.windowStartMjd + 0.5);
}

TEST(Extraction, StopAndSkipRules) {
    ObservationStore store;
    SeriesArrays arrays;
    fillSlot(store, 4, {{199, 1.0}, {200, 2.0}, {201, missingValue}, {202, 4.0}, {203, 5.0}, {204, 6.0}, {201, 7.0}});
    // Rows before the window are skipped, a missing value is skipped, the first row past the
    // end stops the scan although a later row lies inside the window.
    ASSERT_EQ(extractSlot(store, arrays, 4, kindUT1, 200, 203), 3);
    EXPECT_EQ(arrays.seriesY(1, 4), 2.0);
    EXPECT_EQ(arrays.seriesY(2, 4), 4.0);
    EXPECT_EQ(arrays.seriesY(3, 4), 5.0);
    EXPECT_EQ(arrays.seriesX(3, 4), 203.0);

    // A missing MJD ends the slot's data.
    store.observations(3, 4, kindMJD) = missingValue;
    EXPECT_EQ(extractSlot(store, arrays, 4, kindUT1, 200, 203), 1);
}

TEST(Extraction, SurplusPointsOfAWindowAreDropped) {
    ObservationStore store;
    SeriesArrays arrays;
    std::vector<Row> rows(kRowCount, Row{57800.0, 0.25});
    fillSlot(store, 5, rows);
    EXPECT_EQ(extractSlot(store, arrays, 5, kindYp, 57790, 57810), kPointCount);
}

// Two slots with one point per day, slot 1 the reference.
struct AlignFixture {
    ObservationStore store;
    SeriesArrays arrays;
    ViewerState state = monthState(2141, 57000.6);
    AlignFixture() {
        computeWindow(state);
        state.selectedParameter = kindUT1;
        resetSeries(arrays);
    }
    void put(int slot, const std::vector<double>& values) {
        std::vector<Row> rows;
        for (std::size_t i = 0; i < values.size(); ++i) rows.push_back({57734.0 + static_cast<double>(i), values[i]});
        fillSlot(store, slot, rows);
    }
};

TEST(Alignment, SourceIsMovedByWholeSecondsOntoTheReference) {
    AlignFixture f;
    f.put(1, {0.1234, 0.1240, 1.1250});  // slot 1 keeps its leap second
    f.put(3, {0.5, 0.5});
    f.put(2, {37.3234, 37.3300, 38.3310, 38.3320});
    ASSERT_EQ(extractAll(f.store, f.arrays, f.state), ExtractionOutcome::Built);
    EXPECT_EQ(f.arrays.seriesY(1, 2), 37.3234 - 37);
    EXPECT_EQ(f.arrays.seriesY(2, 2), 37.3300 - 37);
    EXPECT_EQ(f.arrays.seriesY(3, 2), 38.3310 - 38);
    EXPECT_EQ(f.arrays.seriesY(4, 2), 38.3320 - 38);
    EXPECT_EQ(f.arrays.seriesY(3, 1), 1.1250);
    EXPECT_FALSE(f.arrays.seriesEmpty[2]);
}

TEST(Alignment, LeapSecondIsRemovedFromEverySeriesButTheReference) {
    for (int parameter : {kindUT1, kindUT1R}) {
        SCOPED_TRACE(parameter);
        AlignFixture f;
        f.state.selectedParameter = parameter;
        f.put(1, {-0.40, -0.41, 0.58});
        f.put(3, {-0.39, -0.40, 0.59});
        f.put(7, {-0.38, -0.39, 0.60});
        f.put(10, {-0.38, -0.39, 0.60});  // slot 10 has no UT of its own and is left alone
        ASSERT_EQ(extractAll(f.store, f.arrays, f.state), ExtractionOutcome::Built);
        EXPECT_EQ(f.arrays.seriesY(3, 1), 0.58);
        EXPECT_NEAR(f.arrays.seriesY(3, 3), -0.41, 1e-15);
        EXPECT_NEAR(f.arrays.seriesY(3, 7), -0.40, 1e-15);
        EXPECT_EQ(f.arrays.seriesY(3, 10), 0.60);
    }
}

TEST(Alignment, PoleCoordinatesAreNeverAligned) {
    for (int parameter : {kindXp, kindYp}) {
        AlignFixture f;
        f.state.selectedParameter = parameter;
        f.put(1, {0.1});
        f.put(3, {0.2});
        f.put(2, {5.7, 6.9});
        ASSERT_EQ(extractAll(f.store, f.arrays, f.state), ExtractionOutcome::Built);
        EXPECT_EQ(f.arrays.seriesY(1, 2), 5.7);
        EXPECT_EQ(f.arrays.seriesY(2, 2), 6.9);
    }
}

TEST(Alignment, RoundingTiesGoToTheEvenSecond) {
    struct Case {
        double first;
        double expected;
    };
    // Slot 1 never loaded: the reference value is 0.0.
    const Case cases[] = {{0.5, 0.5}, {1.5, -0.5}, {2.5, 0.5}, {3.5, -0.5}, {-2.5, -0.5}, {37.2, 37.2 - 37}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        AlignFixture f;
        f.put(3, {0.0, 0.0});
        f.put(2, {c.first});
        ASSERT_EQ(extractAll(f.store, f.arrays, f.state), ExtractionOutcome::Built);
        EXPECT_EQ(f.arrays.seriesY(1, 2), c.expected);
    }
}

TEST(Extraction, AbandonedWhenTheReferenceOrTrendSlotHasNoPointInTheWindow) {
    struct Case {
        const char* name;
        int emptySlot;
        ExtractionOutcome outcome;
    };
    const Case cases[] = {{"slot 1 empty", 1, ExtractionOutcome::NoReference},
                          {"slot 3 empty", 3, ExtractionOutcome::NoTrend},
                          {"slot 2 empty", 2, ExtractionOutcome::Built}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AlignFixture f;
        for (int slot = 1; slot <= 3; ++slot) f.put(slot, {0.1, 0.2});
        fillSlot(f.store, c.emptySlot, {{50000.0, 0.3}});  // loaded, far before the window
        EXPECT_EQ(extractAll(f.store, f.arrays, f.state), c.outcome);
        EXPECT_TRUE(f.arrays.seriesEmpty[c.emptySlot]);
    }
}

TEST(Extraction, SlotsThatDidNotLoadAreSkipped) {
    AlignFixture f;
    f.put(3, {0.1});
    f.put(2, {0.2});
    f.store.slotLoaded[2] = false;
    EXPECT_EQ(extractAll(f.store, f.arrays, f.state), ExtractionOutcome::Built);
    EXPECT_EQ(f.arrays.seriesCount[2], 0);
    EXPECT_TRUE(f.arrays.seriesEmpty[2]);
    EXPECT_EQ(f.arrays.seriesCount[1], 0);
}

TEST(Trend, LineThroughSlot3sEndsIsRemovedFromEverySlot) {
    AlignFixture f;
    f.state.selectedParameter = kindXp;
    f.put(3, {0.10, 0.5, 0.7, 0.13});  // first and last points give 0.01 per day
    f.put(5, {0.20, 0.21, 0.22, 0.23});
    f.put(1, {1.0});
    ASSERT_EQ(extractAll(f.store, f.arrays, f.state), ExtractionOutcome::Built);
    const double slope = commonTrendSlope(f.arrays);
    EXPECT_NEAR(slope, 0.01, 1e-15);
    removeCommonTrend(f.arrays, slope);
    EXPECT_EQ(f.arrays.seriesY(1, 3), 0.10);
    EXPECT_NEAR(f.arrays.seriesY(4, 3), 0.10, 1e-15);
    for (int k = 1; k <= 4; ++k) EXPECT_NEAR(f.arrays.seriesY(k, 5), 0.20, 1e-15) << k;
    EXPECT_EQ(f.arrays.seriesY(1, 1), 1.0);
}

TEST(Trend, SlopeWithFewerThanTwoPointsOfSlot3IsZero) {
    struct Case {
        const char* name;
        std::vector<Row> slot3;
        bool loaded;
    };
    const Case cases[] = {
        {"slot 3 not loaded", {}, false},
        {"one point", {{57735.0, 0.3}}, true},
        {"two points on one MJD", {{57735.0, 0.3}, {57735.0, 0.4}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AlignFixture f;
        f.state.selectedParameter = kindYp;
        fillSlot(f.store, 3, c.slot3);
        f.store.slotLoaded[3] = c.loaded;
        f.put(4, {0.2, 0.3});
        f.arrays.seriesX(1, 3) = 12345.0;  // a stale entry must not take part
        ASSERT_EQ(extractAll(f.store, f.arrays, f.state), ExtractionOutcome::Built);
        double slope = 1.0;
        EXPECT_NO_THROW(slope = commonTrendSlope(f.arrays));
        EXPECT_EQ(slope, 0.0);
        removeCommonTrend(f.arrays, slope);
        EXPECT_EQ(f.arrays.seriesY(2, 4), 0.3);
    }
}

TEST(VerticalRange, GridDensityAndTableStepExamples) {
    const auto inc = fittedIncrement(0.1234, 0.1334, 0);
    ASSERT_TRUE(inc);
    EXPECT_NEAR(*inc, 0.01 / 3, 1e-17);
    const AxisRange fitted = centredRange(0.1234, 0.1334, *inc, 0);
    EXPECT_NEAR(fitted.minimum, 0.13 - 2 * 0.01 / 3, 1e-15);
    EXPECT_NEAR(fitted.maximum, 0.13 + 2 * 0.01 / 3, 1e-15);
    EXPECT_LE(fitted.minimum, 0.1234);
    EXPECT_GE(fitted.maximum, 0.1334);

    const AxisRange table = centredRange(-0.2473, -0.2391, 0.001, 1);
    EXPECT_NEAR(table.minimum, -0.246, 1e-15);
    EXPECT_NEAR(table.maximum, -0.240, 1e-15);
}

TEST(VerticalRange, FittedDataAlwaysFitWithOneCellToSpare) {
    for (int g = -1; g <= 6; ++g) {
        for (double low = -0.9; low < 0.9; low += 0.0137) {
            for (double spread : {1e-6, 0.0031, 0.27}) {
                const double high = low + spread;
                const auto inc = fittedIncrement(low, high, g);
                ASSERT_TRUE(inc);
                const AxisRange r = centredRange(low, high, *inc, g);
                ASSERT_LE(r.minimum, low) << g << " " << low;
                ASSERT_GE(r.maximum, high) << g << " " << low;
                ASSERT_NEAR((r.maximum - r.minimum) / *inc, 2.0 * (g + 2), 1e-6);
            }
        }
    }
}

TEST(VerticalRange, NoSpreadGivesNoFit) {
    EXPECT_FALSE(fittedIncrement(0.25, 0.25, 3));
    EXPECT_FALSE(fittedIncrement(0.0, 0.0, 0));
}

}  // namespace
}  // namespace pvz
