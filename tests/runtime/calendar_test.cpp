#include "runtime/calendar.h"

#include <chrono>
#include <cmath>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "runtime/errors.h"

namespace pvz {
namespace {

// Day number by an independent route: the standard library's civil calendar.
double oracleDayNumber(int year, unsigned month, unsigned day) {
    using namespace std::chrono;
    const sys_days days{std::chrono::year{year} / std::chrono::month{month} / std::chrono::day{day}};
    return static_cast<double>(days.time_since_epoch().count() + 25569);  // 1970-01-01 is day 25569
}

TEST(EncodeDayNumber, EveryDayOfTheCalendarRoundTripsAndFollowsTheDayBefore) {
    double previous = -693594.0;
    for (int year = 1; year <= 9999; ++year) {
        ASSERT_EQ(isLeapYear(year), std::chrono::year{year}.is_leap()) << year;
        for (unsigned month = 1; month <= 12; ++month) {
            const unsigned length =
                static_cast<unsigned>((std::chrono::year{year} / std::chrono::month{month} / std::chrono::last).day());
            ASSERT_EQ(monthLength(year, static_cast<int>(month)), static_cast<int>(length)) << year << "-" << month;
            for (unsigned day = 1; day <= length; ++day) {
                const double n = encodeDayNumber(static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month),
                                                 static_cast<std::uint16_t>(day));
                ASSERT_EQ(n, previous + 1) << year << "-" << month << "-" << day;
                ASSERT_EQ(n, oracleDayNumber(year, month, day));
                const CalendarDate back = decodeDayNumber(n + 0.25);
                ASSERT_EQ(back, (CalendarDate{year, static_cast<int>(month), static_cast<int>(day)}));
                // The loader's shortcut from a date to its MJD.
                ASSERT_EQ(mjdOfDate(static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month),
                                    static_cast<std::uint16_t>(day)),
                          mjdOf(n));
                previous = n;
            }
        }
    }
}

TEST(EncodeDayNumber, KnownDays) {
    struct Row {
        int year, month, day;
        double expected;
    };
    const Row rows[] = {
        {2017, 1, 12, 42747}, {2017, 2, 2, 42768}, {2000, 1, 1, 36526}, {2016, 2, 29, 42429},
        {2000, 2, 29, 36585}, {1980, 1, 1, 29221}, {1899, 12, 30, 0},   {1, 1, 1, -693593},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.year * 10000 + row.month * 100 + row.day);
        EXPECT_EQ(encodeDayNumber(static_cast<std::uint16_t>(row.year), static_cast<std::uint16_t>(row.month),
                                  static_cast<std::uint16_t>(row.day)),
                  row.expected);
    }
}

TEST(EncodeDayNumber, RefusesImpossibleDatesWithTheConvertMessage) {
    struct Row {
        std::uint16_t year, month, day;
    };
    // Leap rules across centuries: 1900 and 2100 are common years, 2000 and 2400 leap years.
    const Row rows[] = {{2017, 2, 29}, {1900, 2, 29}, {2100, 2, 29}, {2000, 0, 5},  {2000, 13, 1},
                        {2000, 1, 0},  {0, 1, 1},     {10000, 1, 1}, {2017, 4, 31}, {2017, 2, 30}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.year * 10000 + row.month * 100 + row.day);
        try {
            encodeDayNumber(row.year, row.month, row.day);
            ADD_FAILURE() << "no error";
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), "Invalid argument to date encode");
        }
        EXPECT_THROW(mjdOfDate(row.year, row.month, row.day), EConvertError);
    }
    EXPECT_NO_THROW(encodeDayNumber(2400, 2, 29));
    EXPECT_NO_THROW(encodeDayNumber(2000, 2, 29));
}

TEST(DecodeDayNumber, RoundsToWholeMillisecondsBeforeTakingTheDay) {
    const double day = encodeDayNumber(2017, 1, 12);
    EXPECT_EQ(decodeDayNumber(day + 0.99), (CalendarDate{2017, 1, 12}));
    // 23:59:59.999 stays on its day; from 23:59:59.9995 on the rounding carries into the next.
    EXPECT_EQ(decodeDayNumber(day + (86400000.0 - 1.0) / 86400000.0), (CalendarDate{2017, 1, 12}));
    EXPECT_EQ(decodeDayNumber(day + (86400000.0 - 0.4) / 86400000.0), (CalendarDate{2017, 1, 13}));
}

TEST(MjdOf, DayNumberToModifiedJulianDate) {
    EXPECT_EQ(julianDateOf(0), 2415018.5);
    EXPECT_EQ(mjdOf(0), 15018.0);
    EXPECT_EQ(mjdOf(42747), 57765.0);
    EXPECT_NEAR(mjdOf(42747.75), 57765.75, 1e-8);
    EXPECT_NEAR(mjdOf(42747.5), 57765.5, 1e-8);      // noon
    EXPECT_NEAR(mjdOf(42747.999), 57765.999, 1e-8);  // near midnight
    // The offset between the two scales is 15018 days everywhere, to well under a millisecond.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> days(1.0, 2958465.0);  // up to 31 December 9999
    for (int i = 0; i < 5000; ++i) {
        const double x = days(random);
        ASSERT_NEAR(mjdOf(x) - x, 15018.0, 1e-6) << x;
        // Rounded once: exact wherever the day number and the MJD share their binary exponent.
        if (x >= 32768.0 && x + 15018.0 < 65536.0) {
            ASSERT_EQ(mjdOf(x), x + 15018.0) << x;
        }
    }
}

TEST(MjdOf, TheLastHalfMillisecondOfADayStaysOnItsDay) {
    const double lateEvening = 42747.0 + (86400000.0 - 0.2) / 86400000.0;
    EXPECT_NEAR(mjdOf(lateEvening), 57766.0, 1e-8);
    EXPECT_NEAR(julianDateOf(lateEvening), 2457766.5, 1e-8);
}

TEST(LocalNow, ReadsTheReplaceableClock) {
    setLocalClock([] { return encodeDayNumber(2017, 1, 12) + 0.5; });
    EXPECT_EQ(localNow(), 42747.5);
    setLocalClock({});
    const double now = localNow();
    EXPECT_GT(now, encodeDayNumber(2020, 1, 1));
    EXPECT_LT(now, encodeDayNumber(2200, 1, 1));
}

TEST(RoundingPrimitives, TiesGoToEvenTruncationTowardZero) {
    struct Row {
        long double x;
        std::int64_t rounded, truncated;
        std::int32_t floor, ceil;
    };
    const Row rows[] = {
        {2.5L, 2, 2, 2, 3},       {3.5L, 4, 3, 3, 4},
        {-2.5L, -2, -2, -3, -2},  {-3.5L, -4, -3, -4, -3},
        {0.5L, 0, 0, 0, 1},       {-0.5L, 0, 0, -1, 0},
        {2.5000001L, 3, 2, 2, 3}, {-1.7L, -2, -1, -2, -1},
        {-2.0L, -2, -2, -2, -2},  {1.7L, 2, 1, 1, 2},
        {1.2L, 1, 1, 1, 2},       {-1.2L, -1, -1, -2, -1},
        {3.0L, 3, 3, 3, 3},       {104.77L, 105, 104, 104, 105},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<double>(row.x));
        EXPECT_EQ(roundToInt64(row.x), row.rounded);
        EXPECT_EQ(truncToInt64(row.x), row.truncated);
        EXPECT_EQ(floorToInt32(row.x), row.floor);
        EXPECT_EQ(ceilToInt32(row.x), row.ceil);
    }
    EXPECT_EQ(fractionalPart(-1.25L), -0.25L);
    EXPECT_EQ(integralPart(-1.25L), -1.0L);
    EXPECT_EQ(fractionalPart(3.75L), 0.75L);
}

TEST(RoundingPrimitives, OutOfRangeAndNaNAreInvalidOperations) {
    const long double bad[] = {std::numeric_limits<long double>::quiet_NaN(), 9.3e18L, -9.3e18L,
                               std::numeric_limits<long double>::infinity()};
    for (long double x : bad) {
        EXPECT_THROW(truncToInt64(x), EInvalidOp);
        EXPECT_THROW(roundToInt64(x), EInvalidOp);
    }
    EXPECT_EQ(truncToInt64(-9223372036854775808.0L), std::numeric_limits<std::int64_t>::min());
    // floorToInt32 keeps the low 32 bits of the 64-bit result.
    EXPECT_EQ(floorToInt32(4294967297.5L), 1);
}

TEST(RoundingPrimitives, IntegerDivisionTruncatesTowardZero) {
    EXPECT_EQ(divTrunc64(-1, 7), 0);
    EXPECT_EQ(divTrunc64(-8, 7), -1);
    EXPECT_EQ(divTrunc64(8, 7), 1);
    EXPECT_EQ(divTrunc64(8, -7), -1);
    EXPECT_EQ(divTrunc64(-8, -7), 1);
    EXPECT_EQ(divTrunc64(std::numeric_limits<std::int64_t>::min(), 1), std::numeric_limits<std::int64_t>::min());
    EXPECT_THROW(divTrunc64(std::numeric_limits<std::int64_t>::min(), -1), EOverflow);
}

TEST(SineCosine, FullArgumentAndZeroBeyondTwoTo63) {
    EXPECT_NEAR(static_cast<double>(sine(30000.0L)), std::sin(30000.0), 1e-12);
    EXPECT_NEAR(static_cast<double>(cosine(1.0L)), std::cos(1.0), 1e-15);
    EXPECT_EQ(sine(9.3e18L), 0.0L);
    EXPECT_EQ(cosine(-9.3e18L), 0.0L);
}

TEST(CheckedArithmetic, DivisionByZeroOverflowAndInvalidRaise) {
    try {
        checkedDivide(1.0L, 0.0L);
        ADD_FAILURE();
    } catch (const EZeroDivide& e) {
        EXPECT_STREQ(e.what(), "Floating point division by zero");
    }
    try {
        checkedDivide(0.0L, 0.0L);
        ADD_FAILURE();
    } catch (const EInvalidOp& e) {
        EXPECT_STREQ(e.what(), "Invalid floating point operation");
    }
    try {
        checkedStore(1e4000L);
        ADD_FAILURE();
    } catch (const EOverflow& e) {
        EXPECT_STREQ(e.what(), "Floating point overflow");
    }
    EXPECT_EQ(checkedStore(1e-4000L), 0.0);  // underflow is silent
    EXPECT_EQ(checkedDivide(1.0L, 4.0L), 0.25L);
    // The error classes form one family.
    EXPECT_THROW(checkedStore(1e4000L), EMathError);
    EXPECT_THROW(checkedStore(1e4000L), EExternal);
    EXPECT_THROW(checkedStore(1e4000L), Exception);
}

}  // namespace
}  // namespace pvz
