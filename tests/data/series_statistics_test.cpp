#include "data/series_statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace pvz {
namespace {

struct Row {
    const char* name;
    std::vector<double> referenceX;
    std::vector<double> referenceY;
    std::vector<double> x;
    std::vector<double> y;
    WholeSeconds wholeSeconds;
    std::int32_t count;
    double mean;
    double deviation;  // unused for fewer than two points
};

constexpr WholeSeconds kCount = WholeSeconds::Count;
constexpr WholeSeconds kDrop = WholeSeconds::Drop;

const Row kRows[] = {
    // An epoch equal to a reference epoch takes that point's value, not a blend of neighbours.
    {"epoch on a reference point", {0, 1, 2}, {0, 10, 20}, {1}, {10.5}, kCount, 1, 0.5, 0.0},
    {"epoch between two points", {0, 2}, {0, 2}, {0.5}, {1.0}, kCount, 1, 0.5, 0.0},
    // Both ends of the reference's span count, although they bound a gap; a hair outside does not.
    {"span ends included", {10, 20}, {1, 1}, {9.999, 10, 20, 20.001}, {5, 2, 4, 5}, kCount, 2, 2.0, std::sqrt(2.0)},
    {"no point inside the span", {10, 20}, {1, 1}, {9, 21}, {0, 0}, kCount, 0, 0.0, 0.0},
    {"one reference point", {10}, {1}, {10}, {1}, kCount, 0, 0.0, 0.0},
    {"no reference point", {}, {}, {10}, {1}, kCount, 0, 0.0, 0.0},
    {"source without points", {0, 1}, {0, 0}, {}, {}, kCount, 0, 0.0, 0.0},
    // The sample deviation, over n - 1: differences 1 and 3 give the square root of 2.
    {"scatter over n - 1", {0, 3}, {0, 3}, {1, 3}, {2, 6}, kCount, 2, 2.0, std::sqrt(2.0)},
    // Several reference points at one epoch: the first of them at that epoch, the last of them
    // as the left end of the next segment.
    {"repeated reference epoch", {0, 1, 1, 2}, {0, 5, 7, 9}, {1, 1.5}, {5, 8}, kCount, 2, 0.0, 0.0},
    // A source that goes back in time is looked up from the start again.
    {"source epochs descending",
     {0, 1, 2, 3},
     {0, 10, 20, 30},
     {2.5, 0.5, 2.5},
     {25, 5, 26},
     kCount,
     3,
     1.0 / 3,
     std::sqrt(1.0 / 3)},
    {"reference epochs descending", {2, 1, 0}, {0, 0, 0}, {1}, {1}, kCount, 0, 0.0, 0.0},
    // Inside a gap of exactly 3 days a point is compared, inside one of 4 days only at its ends.
    {"gaps over three days",
     {0, 3, 7},
     {0, 0, 0},
     {1.5, 3, 5, 7},
     {1, 2, 3, 4},
     kCount,
     3,
     7.0 / 3,
     std::sqrt(7.0 / 3)},
    // A leap second between the reference's second and third points: dropped, the epoch between
    // them meets the level before the step and the one after it differs by nothing; counted,
    // the straight line climbs the step.
    {"leap second dropped", {0, 1, 2}, {0.3, 0.3, 1.3}, {1.5, 2}, {0.31, 0.3}, kDrop, 2, 0.005, 0.005 * std::sqrt(2.0)},
    {"leap second counted",
     {0, 1, 2},
     {0.3, 0.3, 1.3},
     {1.5, 2},
     {0.31, 0.3},
     kCount,
     2,
     -0.745,
     0.51 / std::sqrt(2.0)},
    // A difference is brought within half a second by whole seconds: -0.7 s is +0.3 s.
    // Half seconds round to the even whole second: 1.5 s is -0.5 s, 2.5 s and -1.5 s are +0.5 s.
    {"half seconds to even",
     {0, 1},
     {0, 0},
     {0, 0.5, 1, 1},
     {1.5, 2.5, -1.5, 1e15 + 0.25},
     kDrop,
     4,
     0.1875,
     std::sqrt(0.671875 / 3)},
    {"difference within half a second",
     {0, 1},
     {0.2, 0.2},
     {0.5, 1},
     {-0.5, 1.2},
     kDrop,
     2,
     0.15,
     0.15 * std::sqrt(2.0)},
};

TEST(DifferenceStatistics, HandMadeRows) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        const DifferenceStatistics s =
            differenceStatistics(row.referenceX, row.referenceY, row.x, row.y, row.wholeSeconds);
        EXPECT_EQ(s.count, row.count);
        EXPECT_NEAR(s.mean, row.mean, 1e-12);
        if (row.count > 1) {
            EXPECT_NEAR(s.deviation, row.deviation, 1e-12);
        } else {
            EXPECT_FALSE(s.hasDeviation());
        }
    }
}

// Taking the same straight line out of the reference and the source changes no difference: the
// reference's broken line minus a straight line is the broken line of the reduced points.
TEST(DifferenceStatistics, ACommonLineTakenOutLeavesTheNumbers) {
    std::vector<double> rx, ry, sx, sy;
    for (int k = 0; k < 365; ++k) {
        rx.push_back(57700 + k);
        ry.push_back(0.3 + 0.0001 * std::sin(k * 0.37));
    }
    for (int k = 0; k < 120; ++k) {
        sx.push_back(57699.25 + 3.1 * k);
        sy.push_back(0.3002 + 0.00007 * std::cos(k * 1.3));
    }
    const DifferenceStatistics kept = differenceStatistics(rx, ry, sx, sy, kCount);
    const double slope = -0.0017;
    const auto reduce = [&](std::vector<double> x, std::vector<double> y) {
        for (std::size_t k = 0; k < y.size(); ++k) y[k] -= (x[k] - rx.front()) * slope;
        return y;
    };
    const DifferenceStatistics removed = differenceStatistics(rx, reduce(rx, ry), sx, reduce(sx, sy), kCount);
    ASSERT_GT(kept.count, 100);
    EXPECT_EQ(removed.count, kept.count);
    EXPECT_NEAR(removed.mean, kept.mean, 1e-13);
    EXPECT_NEAR(removed.deviation, kept.deviation, 1e-13);
}

TEST(DifferenceStatistics, DifferencesBeyondTheDoubleRangeHaveNoStatistics) {
    const double big = std::numeric_limits<double>::max();
    const std::vector<double> x{0, 1}, y{-big, -big}, at{0.5}, value{big};
    EXPECT_EQ(differenceStatistics(x, y, at, value, kCount).count, 0);
}

// Slot s's k-th point.
void put(SeriesArrays& arrays, int slot, std::initializer_list<std::pair<double, double>> points) {
    int k = 0;
    for (const auto& [x, y] : points) {
        ++k;
        arrays.seriesX(k, slot) = x;
        arrays.seriesY(k, slot) = y;
    }
    arrays.seriesCount[slot] = k;
    arrays.seriesEmpty[slot] = k == 0;
}

SeriesArrays emptyArrays() {
    SeriesArrays arrays;
    for (int slot = 1; slot <= kSlotCount; ++slot) put(arrays, slot, {});
    return arrays;
}

TEST(SeriesStatistics, EverySourceAgainstSlotOneByChartIndex) {
    SeriesArrays arrays = emptyArrays();
    put(arrays, 1, {{100, 1.0}, {101, 1.0}, {102, 2.0}});
    put(arrays, 2, {{100, 1.5}, {102, 2.5}});    // +0.5 at both
    put(arrays, 4, {{101.5, 2.0}, {103, 9.0}});  // +0.5 at 101.5, 103 outside
    put(arrays, 7, {{99, 1.0}});                 // outside only
    put(arrays, 11, {{102, 1.0}});               // the last series slot
    put(arrays, 12, {{101, 5.0}});               // a placeholder slot has no series
    SeriesStatistics statistics;
    statistics.bySeries[5].count = 99;  // left from an earlier rebuild
    computeSeriesStatistics(arrays, kindXp, statistics);

    EXPECT_EQ(statistics.parameter, kindXp);
    const DifferenceStatistics none{};
    for (int index = 0; index < kSeriesSlotCount; ++index) {
        SCOPED_TRACE(index);
        const DifferenceStatistics& s = statistics.bySeries[static_cast<std::size_t>(index)];
        switch (index) {
            case 1:
                EXPECT_EQ(s, (DifferenceStatistics{2, 0.5, 0.0}));
                break;
            case 3:
                EXPECT_EQ(s, (DifferenceStatistics{1, 0.5, 0.0}));
                break;
            case 10:
                EXPECT_EQ(s, (DifferenceStatistics{1, -1.0, 0.0}));
                break;
            default:
                EXPECT_EQ(s, none);  // the reference itself, sources outside or without points
        }
    }
}

TEST(SeriesStatistics, AReferenceOfOnePointGivesNoSourceStatistics) {
    SeriesArrays arrays = emptyArrays();
    put(arrays, 1, {{100, 1.0}});
    put(arrays, 2, {{100, 1.5}});
    SeriesStatistics statistics;
    statistics.bySeries[1].count = 3;
    computeSeriesStatistics(arrays, kindUT1, statistics);
    for (const DifferenceStatistics& s : statistics.bySeries) EXPECT_EQ(s.count, 0);
}

}  // namespace
}  // namespace pvz
