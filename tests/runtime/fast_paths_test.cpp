// The fast replacements on the loading, rebuild and drawing paths against the slow C library
// functions they stand in for: rounding, sine and cosine, powers of ten in real tokens.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

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
    for (int i = 0; i < 200000; ++i)
        arguments.push_back(spread(random) + static_cast<long double>(spread(random)) * 1e-12L);
    for (const long double x : {0.0L, 1e-30L, -1e-30L, 0.5L, 3.0L, 0x1p19L - 1, -0x1p19L + 0.5L})
        arguments.push_back(x);

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
            while (static_cast<int>(token.size()) < fraction + 1) token.insert(token.begin(), '0');
            token.insert(token.end() - fraction, '.');
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

// Mantissas of 18 to 40 digits, where the reader moves from its integer to the extended sum:
// the value must be the one the digit-by-digit extended sum gives.
TEST(RealTokenScaling, LongMantissasAsTheExtendedSumGivesThem) {
    std::mt19937_64 random(11);
    for (int length = 18; length <= 40; ++length) {
        for (int trial = 0; trial < 200; ++trial) {
            std::string digits;
            for (int i = 0; i < length; ++i) digits += static_cast<char>('0' + random() % 10);
            long double m = 0;
            for (const char d : digits) m = m * 10 + (d - '0');
            const int point = static_cast<int>(random() % static_cast<unsigned>(length));
            const std::string token = digits.substr(0, point) + "." + digits.substr(point);
            double value = 0;
            ASSERT_TRUE(parseRealToken(token, value)) << token;
            const long double expected = m / std::pow(10.0L, static_cast<long double>(length - point));
            ASSERT_EQ(value, static_cast<double>(expected)) << token;
            ASSERT_TRUE(parseRealToken(digits, value)) << digits;
            ASSERT_EQ(value, static_cast<double>(m)) << digits;
        }
    }
}

// The batch rounds its results to doubles: each must lie within two double units of the
// library's sine of the extended argument, in every quadrant and next to the multiples of pi/2,
// for every count (odd tails), with arguments beyond the reduction range, infinities and NaNs
// mixed in.
TEST(FastSinesOfLinear, WithinTwoDoubleUnitsOfTheLibrary) {
    struct Term {
        double rate;
        double phase;
    };
    std::vector<Term> terms;
    std::vector<double> times;
    // x = 1 * hi + lo: the argument carries more bits than a double.
    auto add = [&](long double x) {
        const auto hi = static_cast<double>(x);
        terms.push_back({1.0, static_cast<double>(x - hi)});
        times.push_back(hi);
    };
    for (int k = -80000; k <= 80000; k += 13) {
        const long double x = k * 0.78539816339744830962L;
        for (const long double near : {x, std::nextafter(x, 1e9L), std::nextafter(x, -1e9L)}) add(near);
    }
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> rates(0.18, 1.2), phases(-4.0, 21.0), days(-25000.0, 25000.0);
    for (int i = 0; i < 20000; ++i) {
        terms.push_back({rates(random), phases(random)});
        times.push_back(days(random));
    }
    const double infinity = std::numeric_limits<double>::infinity();
    for (const double x : {0x1p19, 0x1p19 - 0.5, 0.25, -0x1p70, 1e12, 0.0, -0.0, 1e-300, infinity, -infinity,
                           std::numeric_limits<double>::quiet_NaN()})
        add(x);
    auto doubleUlp = [](double x) { return std::nextafter(std::fabs(x), 1e300) - std::fabs(x); };
    for (std::size_t count = 0; count <= 5; ++count) {
        SCOPED_TRACE(count);
        // One time for a whole batch, as in the tide sum: the time of the batch's first term.
        for (std::size_t first = 0; first + count <= terms.size(); first += count + 1) {
            const double t = times[first];
            std::vector<double> rate(count), phase(count), out(count);
            for (std::size_t i = 0; i < count; ++i) {
                rate[i] = terms[first + i].rate;
                phase[i] = terms[first + i].phase;
            }
            fastSinesOfLinear(rate.data(), phase.data(), t, out.data(), count);
            for (std::size_t i = 0; i < count; ++i) {
                const long double x = static_cast<long double>(rate[i]) * t + phase[i];
                if (!(std::fabs(x) < 0x1p19L)) {
                    const double expected = static_cast<double>(fastSine(x));
                    ASSERT_TRUE(std::memcmp(&out[i], &expected, sizeof expected) == 0) << static_cast<double>(x);
                    continue;
                }
                const double s = static_cast<double>(std::sin(x));
                // Near a zero of the sine the reduced argument itself is the value: an absolute floor.
                ASSERT_LE(std::fabs(out[i] - s), 2 * doubleUlp(s) + 0x1p-60) << static_cast<double>(x);
            }
        }
    }
}

// One reduction for both: the values of the two functions, bit for bit, in every quadrant.
TEST(FastSineCosine, TheValuesOfTheSeparateFunctions) {
    auto same = [](long double a, long double b) { return std::memcmp(&a, &b, 10) == 0; };
    for (int k = -4000; k <= 4000; ++k) {
        const long double x = k * 0.3926990816987241548L;  // pi/8 steps
        for (const long double near : {x, std::nextafter(x, 1e9L), std::nextafter(x, -1e9L), x * 1.0001L}) {
            long double s, c;
            fastSineCosine(near, s, c);
            ASSERT_TRUE(same(s, fastSine(near))) << static_cast<double>(near);
            ASSERT_TRUE(same(c, fastCosine(near))) << static_cast<double>(near);
        }
    }
    for (const long double far : {0x1p19L, -1e12L, 0x1p63L}) {
        long double s, c;
        fastSineCosine(far, s, c);
        EXPECT_TRUE(same(s, fastSine(far)));
        EXPECT_TRUE(same(c, fastCosine(far)));
    }
}

}  // namespace
}  // namespace pvz
