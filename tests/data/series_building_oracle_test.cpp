// The whole-second alignment and the trend removal against their straightforward forms: one
// rounding and one checked store per point, in extended precision. Results must be bit-identical.
#include "data/series_building.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "runtime/calendar.h"
#include "runtime/errors.h"

namespace pvz {
namespace {

void referenceAlign(std::vector<double>& y, double referenceFirst) {
    long double previous = referenceFirst;
    for (double& value : y) {
        long double v = value;
        v -= static_cast<long double>(roundToInt64(v - previous));
        value = static_cast<double>(v);
        previous = value;
    }
}

void referenceTrend(std::vector<double>& y, const std::vector<double>& x, long double x1, double slope) {
    for (std::size_t k = 0; k < y.size(); ++k) {
        const long double v = y[k];
        y[k] = checkedStore(v - (x[k] - x1) * slope);
    }
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Slot 2 of fresh arrays holding `y` at consecutive MJDs from 57000.
SeriesArrays arraysWith(const std::vector<double>& y) {
    SeriesArrays arrays;
    resetSeries(arrays);
    arrays.seriesCount[2] = static_cast<std::int32_t>(y.size());
    for (std::size_t k = 0; k < y.size(); ++k) {
        arrays.seriesX(static_cast<int>(k) + 1, 2) = 57000.0 + static_cast<double>(k);
        arrays.seriesY(static_cast<int>(k) + 1, 2) = y[k];
    }
    return arrays;
}

void expectSlotEquals(const SeriesArrays& arrays, const std::vector<double>& expected) {
    for (std::size_t k = 0; k < expected.size(); ++k) {
        const double got = arrays.seriesY(static_cast<int>(k) + 1, 2);
        ASSERT_TRUE(sameBits(got, expected[k])) << "point " << k + 1 << ": " << got << " != " << expected[k];
    }
}

// UT series of the kinds the sources deliver: UTC with a leap second, TAI offsets, noise,
// single outliers a whole number of seconds off, and differences of exactly one half.
std::vector<double> randomUtSeries(std::mt19937_64& random, int kind) {
    std::uniform_real_distribution<double> noise(-2e-4, 2e-4);
    std::uniform_int_distribution<int> length(1, 500);
    const int n = length(random);
    const double offset = kind == 1 ? -37.0 : kind == 2 ? 1e6 : 0.0;
    std::vector<double> y;
    double level = 0.3 + offset;
    for (int k = 0; k < n; ++k) {
        level -= 0.0015;
        if (k == n / 2) level += 1.0;  // a leap second
        double v = level + noise(random);
        if (kind == 3 && k % 7 == 3) v += 5.0;                  // an outlier five seconds off
        if (kind == 4) v = (k % 2 == 0) ? 0.25 + k : 0.75 + k;  // exact half-second steps
        y.push_back(v);
    }
    return y;
}

TEST(AlignmentOracle, RandomSeriesMatchTheRoundingOfEveryPoint) {
    std::mt19937_64 random(20170215);
    for (int trial = 0; trial < 400; ++trial) {
        const int kind = trial % 5;
        SCOPED_TRACE("trial " + std::to_string(trial) + " kind " + std::to_string(kind));
        std::vector<double> expected = randomUtSeries(random, kind);
        SeriesArrays arrays = arraysWith(expected);
        const double referenceFirst = (trial % 3 == 0) ? 0.0 : -0.41 + 0.001 * trial;
        referenceAlign(expected, referenceFirst);
        alignToWholeSeconds(arrays, 2, referenceFirst);
        expectSlotEquals(arrays, expected);
    }
}

TEST(AlignmentOracle, TiesAndLargeShiftsMatchTheRoundingOfEveryPoint) {
    const double big = 4.0e15;  // shifts near the largest whole numbers a double holds exactly
    const std::vector<std::vector<double>> rows = {
        {0.5, 1.0, 1.5, 2.0, 2.5, -0.5, -1.5, 3.5},
        {37.5, 38.0, 38.5, 0.0, -0.5, -1.0},
        {big, big + 0.5, big + 1.0, -big, 0.25},
        {-0.0, 0.0, -0.0, 1.0, -0.0},
        {0.49999999999999994, 0.99999999999999989, 1.4999999999999998},
    };
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (const double referenceFirst : {0.0, 0.5, -0.25, 1e9}) {
            SCOPED_TRACE("row " + std::to_string(r) + " reference " + std::to_string(referenceFirst));
            std::vector<double> expected = rows[r];
            SeriesArrays arrays = arraysWith(expected);
            referenceAlign(expected, referenceFirst);
            alignToWholeSeconds(arrays, 2, referenceFirst);
            expectSlotEquals(arrays, expected);
        }
    }
}

TEST(AlignmentOracle, InvalidValuesRaiseAsTheRoundingDoes) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::vector<double>> rows = {{nan}, {0.1, nan}, {0.1, inf}, {0.1, 1e300}, {-inf, 0.1}};
    for (std::size_t r = 0; r < rows.size(); ++r) {
        SCOPED_TRACE("row " + std::to_string(r));
        SeriesArrays arrays = arraysWith(rows[r]);
        EXPECT_THROW(alignToWholeSeconds(arrays, 2, 0.0), EInvalidOp);
    }
}

TEST(TrendOracle, RandomSlopesMatchTheCheckedStoreOfEveryPoint) {
    std::mt19937_64 random(57800);
    std::uniform_real_distribution<double> value(-40.0, 40.0);
    std::uniform_real_distribution<double> slope(-0.01, 0.01);
    for (int trial = 0; trial < 200; ++trial) {
        SCOPED_TRACE(trial);
        SeriesArrays arrays;
        resetSeries(arrays);
        std::vector<std::vector<double>> expected(kSlotCount + 1), xs(kSlotCount + 1);
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            const int n = slot == kTrendSlot ? 1 + trial % 300 : static_cast<int>(random() % 400);
            arrays.seriesCount[slot] = n;
            for (int k = 1; k <= n; ++k) {
                const double x = 57000.0 + k + 0.125 * slot;
                const double y = value(random);
                arrays.seriesX(k, slot) = x;
                arrays.seriesY(k, slot) = y;
                xs[slot].push_back(x);
                expected[slot].push_back(y);
            }
        }
        const double s = slope(random);
        const long double x1 = arrays.seriesX(1, kTrendSlot);
        for (int slot = 1; slot <= kSlotCount; ++slot) referenceTrend(expected[slot], xs[slot], x1, s);
        removeCommonTrend(arrays, s);
        for (int slot = 1; slot <= kSlotCount; ++slot)
            for (std::size_t k = 0; k < expected[slot].size(); ++k)
                ASSERT_TRUE(sameBits(arrays.seriesY(static_cast<int>(k) + 1, slot), expected[slot][k]))
                    << "slot " << slot << " point " << k + 1;
    }
}

TEST(TrendOracle, OverflowAndNaNRaiseAsTheCheckedStoreDoes) {
    struct Case {
        double y;
        double slope;
        bool overflow;  // else invalid
    };
    const Case cases[] = {{1.7e308, -1e306, true},
                          {std::numeric_limits<double>::infinity(), 0.0, true},
                          {std::numeric_limits<double>::quiet_NaN(), 0.0, false},
                          {1.0, std::numeric_limits<double>::quiet_NaN(), false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.y);
        SeriesArrays arrays;
        resetSeries(arrays);
        arrays.seriesCount[kTrendSlot] = 2;
        arrays.seriesX(1, kTrendSlot) = 57000.0;
        arrays.seriesY(1, kTrendSlot) = 0.0;
        arrays.seriesX(2, kTrendSlot) = 57100.0;
        arrays.seriesY(2, kTrendSlot) = c.y;
        if (c.overflow) {
            EXPECT_THROW(removeCommonTrend(arrays, c.slope), EOverflow);
        } else {
            EXPECT_THROW(removeCommonTrend(arrays, c.slope), EInvalidOp);
        }
    }
}

}  // namespace
}  // namespace pvz
