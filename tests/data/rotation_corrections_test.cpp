#include "data/rotation_corrections.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace pvz {
namespace {

TEST(TideCorrection, KnownEpochs) {
    struct Row {
        double mjd;
        int withSeasonal;
        double expected;
    };
    const Row rows[] = {
        {51544.5, 1, 0.003658980},  {57754.0, 1, 0.006141015}, {58000.0, 1, 0.024362186},
        {51544.5, 0, -0.001260687}, {51544.5, 2, -0.001260687}, {51544.5, -1, -0.001260687},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mjd);
        SCOPED_TRACE(row.withSeasonal);
        EXPECT_NEAR(tideCorrection(row.mjd, row.withSeasonal), row.expected, 1e-9);
    }
}

TEST(TideCorrection, SeasonalTermUsesTheDecimalTurnAndTheYearCount) {
    // The seasonal part alone, computed here from its formula with the 15-digit turn.
    for (double mjd = 50000.0; mjd < 62000.0; mjd += 37.25) {
        const long double c = 6.28318530717959L * ((mjd - 51544.03L) / 365.2422L + 2000.0L);
        const long double s = 0.022L * std::sin(c) - 0.012L * std::cos(c) - 0.006L * std::sin(2 * c) +
                              0.007L * std::cos(2 * c);
        ASSERT_NEAR(tideCorrection(mjd, 0) - tideCorrection(mjd, 1), static_cast<double>(s), 1e-15) << mjd;
    }
}

TEST(TideCorrection, DependsOnlyOnTheEpochAndStaysWithinTheTermsBounds) {
    const double halfDay = 57755.5;
    EXPECT_EQ(tideCorrection(halfDay, 1), tideCorrection(57755.5, 1));
    EXPECT_NE(tideCorrection(halfDay, 1), tideCorrection(57755.0, 1));
    // The 41 amplitudes add up to 0.002956 s; the seasonal term stays below 0.047 s.
    for (double mjd = 44000.0; mjd < 66000.0; mjd += 0.37) {
        ASSERT_LE(std::fabs(tideCorrection(mjd, 0)), 0.002956 + 1e-12) << mjd;
        ASSERT_LE(std::fabs(tideCorrection(mjd, 1)), 0.002956 + 0.047) << mjd;
    }
}

}  // namespace
}  // namespace pvz

namespace pvz {
namespace {

std::uint64_t bitsOf(double value) { return std::bit_cast<std::uint64_t>(value); }

std::vector<double> epochsAroundTheStoredPeriods() {
    std::vector<double> epochs;
    for (double mjd = 44000.0; mjd < 66000.0; mjd += 0.37) epochs.push_back(mjd);
    for (double mjd = 57000.0; mjd < 58000.0; mjd += 0.0625) epochs.push_back(mjd);
    for (const double mjd : {0.0, -0.0, 1e-300, 51544.5, std::nextafter(51544.5, 0.0), std::nextafter(51544.5, 1e9)})
        epochs.push_back(mjd);
    return epochs;
}

TEST(TideCorrectionCache, GivesTheComputedValueOnFirstAndRepeatedLookups) {
    const std::vector<double> epochs = epochsAroundTheStoredPeriods();  // enough to make the table grow
    TideCorrectionCache cache;
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        for (const double mjd : epochs)
            ASSERT_EQ(bitsOf(cache.correction(mjd)), bitsOf(tideCorrection(mjd, 1))) << mjd;
    }
}

}  // namespace
}  // namespace pvz
