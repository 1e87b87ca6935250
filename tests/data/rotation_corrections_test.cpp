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
        {51544.5, 1, 0.003658980},  {57754.0, 1, 0.006141015},  {58000.0, 1, 0.024362186},
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
        const long double s =
            0.022L * std::sin(c) - 0.012L * std::cos(c) - 0.006L * std::sin(2 * c) + 0.007L * std::cos(2 * c);
        ASSERT_NEAR(tideCorrection(mjd, 0) - tideCorrection(mjd, 1), static_cast<double>(s), 1e-15) << mjd;
    }
}

// The sum as written, the table in doubles and the library's extended sine for every term: the correction may
// differ from it only in the last bits of its double.
TEST(TideCorrection, AgreesWithTheExtendedPrecisionSumInAllButTheLastBits) {
    constexpr double rates[] = {1.11350753,  0.916921483, 0.915997261, 0.886404611, 0.885480389, 0.689818564,
                                0.688894342, 0.68797012,  0.684081422, 0.65837747,  0.657453248, 0.65356455,
                                0.490459852, 0.477144944, 0.461791423, 0.460867201, 0.45994298,  0.456978503,
                                0.456054281, 0.45513006,  0.442741015, 0.426461631, 0.425537409, 0.424613188,
                                0.408335445, 0.263356933, 0.262432711, 0.245229106, 0.233764282, 0.232840061,
                                0.231915839, 0.228951362, 0.228027141, 0.227102919, 0.212768705, 0.210825176,
                                0.19843449,  0.197510269, 0.196586047, 0.192697349, 0.180308304};
    constexpr double phases[] = {
        20.3728789, 10.1490894,  12.3314491, 15.835023,  18.0173826,  5.61123345, 7.79359311, 9.97595277,  7.06648895,
        13.4795266, 15.6618863,  12.7524225, 1.93452291, 13.860532,   3.25573713, 5.43809679, 7.62045645,  2.52863298,
        4.71099264, 6.8933523,   1.38038088, 8.21456652, 10.3969262,  12.5792858, 4.15685061, -2.60333307, -0.420973408,
        8.59557189, 0.900240813, 3.08260047, 5.26496013, 0.173136659, 2.35549632, 4.53785598, 5.19846309,  -3.88457925,
        5.8590702,  8.04142986,  10.2237895, 7.3143257,  1.80135429};
    constexpr double amplitudes[] = {-0.000002, -0.000004, -0.000010, -0.000005, -0.000012, -0.000004, -0.000041,
                                     -0.000099, -0.000002, -0.000008, -0.000020, -0.000008, 0.000002,  0.000003,
                                     -0.000030, -0.000321, -0.000776, 0.000002,  -0.000034, 0.000002,  -0.000002,
                                     0.000005,  -0.000073, -0.000005, -0.000005, 0.000005,  0.000010,  0.000004,
                                     0.000005,  0.000018,  0.000044,  0.000053,  -0.000826, 0.000054,  0.000005,
                                     -0.000006, 0.000012,  -0.000182, 0.000013,  0.000002,  -0.000009};
    for (double mjd = 42000.0; mjd < 66000.0; mjd += 0.8125) {
        const double t = static_cast<double>(static_cast<long double>(mjd) - 51544.5L);
        long double sum = 0.0L;
        for (int i = 0; i < 41; ++i)
            sum = sum + std::sin(static_cast<long double>(rates[i]) * t + phases[i]) *
                            static_cast<long double>(amplitudes[i]);
        ASSERT_NEAR(tideCorrection(mjd, 0), static_cast<double>(sum), 1e-18) << mjd;
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

// Epochs that differ in a single place of their bits are different keys: the second one looked
// up gets its own value, not the first one's.
TEST(TideCorrectionCache, KeysAreTheExactBitsOfTheEpoch) {
    const double epoch = 57754.5;
    const auto withBit = [](double value, int bit) {
        return std::bit_cast<double>(std::bit_cast<std::uint64_t>(value) ^ (std::uint64_t{1} << bit));
    };
    const struct {
        const char* what;
        double first;
        double second;
    } rows[] = {
        {"one unit in the last place", epoch, std::nextafter(epoch, 1e9)},
        {"a bit of the low word", epoch, withBit(epoch, 20)},
        {"a bit of the high word", epoch, withBit(epoch, 40)},
        {"the exponent", epoch, epoch * 2},
        {"the sign", epoch, -epoch},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_NE(bitsOf(tideCorrection(row.first, 1)), bitsOf(tideCorrection(row.second, 1)));
        TideCorrectionCache cache;
        EXPECT_EQ(bitsOf(cache.correction(row.first)), bitsOf(tideCorrection(row.first, 1)));
        EXPECT_EQ(bitsOf(cache.correction(row.second)), bitsOf(tideCorrection(row.second, 1)));
        EXPECT_EQ(bitsOf(cache.correction(row.first)), bitsOf(tideCorrection(row.first, 1)));
    }
}

TEST(TideCorrectionCache, GivesTheComputedValueOnFirstAndRepeatedLookups) {
    const std::vector<double> epochs = epochsAroundTheStoredPeriods();  // enough to make the table grow
    TideCorrectionCache cache;
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        for (const double mjd : epochs) ASSERT_EQ(bitsOf(cache.correction(mjd)), bitsOf(tideCorrection(mjd, 1))) << mjd;
    }
}

}  // namespace
}  // namespace pvz
