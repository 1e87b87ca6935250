// The fast replacements on the loading, rebuild and drawing paths against the slow C library
// functions they stand in for: rounding, sine and cosine, powers of ten in real tokens.
#include <cmath>
#include <cstring>
#include <cstdint>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "runtime/calendar.h"
#include "runtime/fast_sine.h"
#include "runtime/text_reader.h"

namespace pvz {
namespace {

// nearbyint in the default rounding mode: the definition of roundToInt64 below 2^63.
std::int64_t roundedByNearbyint(long double x) { return static_cast<std::int64_t>(std::nearbyint(x)); }

TEST(FastRounding, AgreesWithNearbyintOnTiesBoundariesAndRandomValues) {
    std::vector<long double> values;
    for (int n = -2000; n <= 2000; ++n) values.push_back(n * 0.5L);  // every tie near zero
    for (int e = 0; e < 63; ++e) {
        const long double p = std::ldexp(1.0L, e);
        for (const long double v : {p, p - 0.5L, p + 0.5L, p - 1.5L, p * 1.5L, std::nextafter(p, 0.0L)}) {
            values.push_back(v);
            values.push_back(-v);
        }
    }
    values.push_back(-std::ldexp(1.0L, 63));
    values.push_back(std::nextafter(std::ldexp(1.0L, 63), 0.0L));
    std::mt19937_64 random(11);
    for (int i = 0; i < 100000; ++i) {
        const long double mantissa = static_cast<long double>(random()) / 0x1p64L;
        values.push_back(std::ldexp(mantissa, static_cast<int>(random() % 64)) * (i % 2 ? -1 : 1));
    }
    for (const long double x : values) ASSERT_EQ(roundToInt64(x), roundedByNearbyint(x)) << static_cast<double>(x);
}

// Units in the last place of an extended value.
long double extendedUlp(long double x) {
    return std::nextafter(std::fabs(x), std::numeric_limits<long double>::infinity()) - std::fabs(x);
}

TEST(FastSine, WithinFourExtendedUnitsOfTheLibraryOverTheArgumentsInUse) {
    std::vector<long double> arguments;
    // Multiples of pi/4 and their neighbours, where the reduction changes quadrant.
    for (int k = -80000; k <= 80000; k += 7) {
        const long double x = k * 0.78539816339744830962L;
        arguments.insert(arguments.end(), {x, std::nextafter(x, 1e9L), std::nextafter(x, -1e9L)});
    }
    // Tide arguments: rates up to 1.2 rad per day over four centuries of days, plus phases.
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> spread(-60000.0, 60000.0);
    for (int i = 0; i < 200000; ++i) arguments.push_back(spread(random) + static_cast<long double>(spread(random)) * 1e-12L);
    for (const long double x : {0.0L, 1e-30L, -1e-30L, 0.5L, 3.0L, 0x1p19L - 1, -0x1p19L + 0.5L}) arguments.push_back(x);

    for (const long double x : arguments) {
        const long double s = std::sin(x);
        const long double c = std::cos(x);
        // The library reduces exactly; both results are within a few units of the true value,
        // and near a zero of the function within a small absolute error.
        const long double floor = 0x1p-66L;
        ASSERT_LE(std::fabs(fastSine(x) - s), 4 * extendedUlp(s) + floor) << static_cast<double>(x);
        ASSERT_LE(std::fabs(fastCosine(x) - c), 4 * extendedUlp(c) + floor) << static_cast<double>(x);
    }
}

TEST(FastSine, BeyondTheReductionRangeFallsBackToTheCalendarsSine) {
    for (const long double x : {0x1p19L, -0x1p19L, 1e12L, 0x1p63L, -0x1p70L}) {
        SCOPED_TRACE(static_cast<double>(x));
        EXPECT_EQ(fastSine(x), sine(x));
        EXPECT_EQ(fastCosine(x), cosine(x));
    }
}

// A real token's value is its mantissa scaled by a power of ten; the table of small powers must
// give exactly what pow gives.
TEST(RealTokenScaling, EveryPowerOfTenMatchesPow) {
    for (int fraction = 0; fraction <= 40; ++fraction) {
        for (const char* digits : {"1", "7", "123456789", "9999999999999999999"}) {
            SCOPED_TRACE(std::string(digits) + " with " + std::to_string(fraction) + " fraction digits");
            const std::string mantissa = digits;
            std::string token = mantissa;
            long double m = 0;
            for (const char d : mantissa) m = m * 10 + (d - '0');
            // Shift the decimal point `fraction` places to the left by adding leading zeros.
            token = std::string(fraction + 1 > static_cast<int>(token.size()) ? fraction + 1 - token.size() : 0, '0') + token;
            token.insert(token.size() - fraction, ".");
            double value = 0;
            ASSERT_TRUE(parseRealToken(token, value)) << token;
            EXPECT_EQ(value, static_cast<double>(m / std::pow(10.0L, static_cast<long double>(fraction)))) << token;

            const std::string scaled = mantissa + "e" + std::to_string(fraction);
            ASSERT_TRUE(parseRealToken(scaled, value)) << scaled;
            EXPECT_EQ(value, static_cast<double>(m * std::pow(10.0L, static_cast<long double>(fraction)))) << scaled;
        }
    }
}

}  // namespace
}  // namespace pvz

namespace pvz {
namespace {

// The batch evaluates arguments side by side; each result must be the scalar one, bit for bit,
// in every quadrant, for every count (odd tails), with arguments beyond the reduction range
// mixed in, and when the results overwrite the arguments.
TEST(FastSines, BitForBitTheScalarSine) {
    std::vector<long double> arguments;
    for (int k = -40; k <= 40; ++k) {
        const long double x = k * 0.78539816339744830962L;
        arguments.insert(arguments.end(), {x, std::nextafter(x, 1e9L), std::nextafter(x, -1e9L)});
    }
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> spread(-30000.0, 30000.0);
    for (int i = 0; i < 20000; ++i) arguments.push_back(spread(random) + static_cast<long double>(spread(random)) * 1e-12L);
    arguments.insert(arguments.end(), {0x1p19L, 0.25L, -0x1p70L, 1e12L, 0.0L, -0.0L});
    auto bits = [](long double value) {
        // The 80 significant bits of an extended value.
        unsigned char bytes[sizeof value] = {};
        std::memcpy(bytes, &value, 10);
        return std::string(reinterpret_cast<const char*>(bytes), 10);
    };
    for (std::size_t count = 0; count <= 9; ++count) {
        SCOPED_TRACE(count);
        for (std::size_t first = 0; first + count <= arguments.size(); first += count + 1) {
            std::vector<long double> out(count), inPlace(arguments.begin() + first, arguments.begin() + first + count);
            fastSines(arguments.data() + first, out.data(), count);
            fastSines(inPlace.data(), inPlace.data(), count);
            for (std::size_t i = 0; i < count; ++i) {
                const long double expected = fastSine(arguments[first + i]);
                ASSERT_EQ(bits(out[i]), bits(expected)) << static_cast<double>(arguments[first + i]);
                ASSERT_EQ(bits(inPlace[i]), bits(expected)) << static_cast<double>(arguments[first + i]);
            }
        }
    }
}

}  // namespace
}  // namespace pvz
