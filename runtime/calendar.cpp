#include "runtime/calendar.h"

#include <cassert>
#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>

#include "runtime/errors.h"

namespace pvz {
namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
constexpr long double kTwoTo63 = 9223372036854775808.0L;

// The one replaceable clock of the process (tests and the headless tool fix "now").
LocalClock& clockOverride() {
    static LocalClock clock;
    return clock;
}

// Proleptic Gregorian date of a whole day count from 30 December 1899 (after H. Hinnant).
CalendarDate civilFromDayCount(std::int64_t dayCount) {
    const std::int64_t z = dayCount - 25569 + 719468;  // days since 0000-03-01
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;                                       // [0, 146096]
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;  // [0, 399]
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);                // [0, 365]
    const std::int64_t mp = (5 * doy + 2) / 153;                                     // [0, 11]
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);                  // [1, 31]
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);                   // [1, 12]
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

double wallClockNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    const double day =
        encodeDayNumber(static_cast<std::uint16_t>(local.tm_year + 1900), static_cast<std::uint16_t>(local.tm_mon + 1),
                        static_cast<std::uint16_t>(local.tm_mday));
    const std::int64_t msOfDay = ((local.tm_hour * 60LL + local.tm_min) * 60 + local.tm_sec) * 1000 + ms % 1000;
    return day + static_cast<double>(msOfDay) / static_cast<double>(kMsPerDay);
}

void checkIntegerRange(long double x) {
    if (std::isnan(x) || x >= kTwoTo63 || x < -kTwoTo63) throw EInvalidOp();
}

}  // namespace

double localNow() {
    const LocalClock& clock = clockOverride();
    return clock ? clock() : wallClockNow();
}

void setLocalClock(LocalClock clock) { clockOverride() = std::move(clock); }

double encodeDayNumber(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > monthLength(year, month)) {
        throw EConvertError();
    }
    int dayOfYear = day;
    for (int m = 1; m < month; ++m) dayOfYear += monthLength(year, m);
    const std::int64_t i = year - 1;  // [0, 9998]
    return static_cast<double>(i * 365 + i / 4 - i / 100 + i / 400 + dayOfYear - 693594);
}

CalendarDate decodeDayNumber(double dayNumber) {
    const std::int64_t ms = roundToInt64(static_cast<long double>(dayNumber) * kMsPerDay);
    std::int64_t day = ms / kMsPerDay;
    if (ms < 0 && ms % kMsPerDay != 0) --day;  // outside the model; keep it a floor
    return civilFromDayCount(day);
}

namespace {

// The day count n of the day-number formula (Julian day of the date's noon) for a date.
std::int64_t julianDayCountOfDate(std::int64_t y, std::int64_t m, std::int64_t d) {
    const std::int64_t a = (m - 14) / 12;  // -1 for January and February, else 0
    return (1461 * (y + 4800 + a)) / 4 + (367 * (m - 2 - 12 * a)) / 12 - (3 * ((y + 4900 + a) / 100)) / 4 + d;
}

// The same for the date of a day number.
std::int64_t julianDayCountOf(double dayNumber) {
    // The date comes from the integral part: decoding the whole value would carry into the next
    // day within the last half millisecond and put the result one day high.
    const CalendarDate date = decodeDayNumber(static_cast<double>(integralPart(dayNumber)));
    return julianDayCountOfDate(date.year, date.month, date.day);
}

double mjdOfDayCount(std::int64_t julianDayCount, long double fraction) {
    return static_cast<double>((static_cast<long double>(julianDayCount) - 2432076.0L) + fraction);
}

}  // namespace

double julianDateOf(double dayNumber) {
    return static_cast<double>((static_cast<long double>(julianDayCountOf(dayNumber)) - 32075.5L) +
                               fractionalPart(dayNumber));
}

// Rounded once, from the extended sum: MJD and day number then differ by exactly 15018 days
// wherever both lie in the same binary range, so the chart's date axis lands on whole days.
double mjdOf(double dayNumber) { return mjdOfDayCount(julianDayCountOf(dayNumber), fractionalPart(dayNumber)); }

double mjdOfDate(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
    encodeDayNumber(year, month, day);  // the same check and error for an invalid date
    // Decoding the date's day number gives the date back: no need to go through it.
    return mjdOfDayCount(julianDayCountOfDate(year, month, day), 0.0L);
}

std::int64_t truncToInt64(long double x) {
    checkIntegerRange(x);
    return static_cast<std::int64_t>(x);
}

std::int64_t roundToInt64(long double x) {
    checkIntegerRange(x);
    // Rounds in the default mode, ties to even, like nearbyint, without its saving and restoring
    // of the floating-point environment and without a library call, which made rounding the
    // largest cost of the pixel mapping. With a 64-bit significand every sum in [2^63, 2^64)
    // is an integer, so adding 2^63 rounds x to one and taking it away again is exact; 2^63
    // is even, so ties still go to the even neighbour. An inexact result is no error here.
    static_assert(std::numeric_limits<long double>::digits == 64);
    constexpr long double kShift = 0x1p63L;
    const long double rounded = x >= 0 ? (x + kShift) - kShift : (x - kShift) + kShift;
    return static_cast<std::int64_t>(rounded);
}

std::int32_t floorToInt32(long double x) {
    auto r = static_cast<std::uint32_t>(truncToInt64(x));
    if (fractionalPart(x) < 0) r -= 1;
    return static_cast<std::int32_t>(r);
}

std::int32_t ceilToInt32(long double x) {
    auto r = static_cast<std::uint32_t>(truncToInt64(x));
    if (fractionalPart(x) > 0) r += 1;
    return static_cast<std::int32_t>(r);
}

long double integralPart(long double x) { return std::trunc(x); }

long double fractionalPart(long double x) { return x - std::trunc(x); }

long double sine(long double x) { return std::fabs(x) >= kTwoTo63 ? 0.0L : std::sin(x); }

long double cosine(long double x) { return std::fabs(x) >= kTwoTo63 ? 0.0L : std::cos(x); }

std::int64_t divTrunc64(std::int64_t a, std::int64_t b) {
    assert(b != 0);
    if (b == 0) throw EZeroDivide("Division by zero");
    const std::uint64_t ua = a < 0 ? 0 - static_cast<std::uint64_t>(a) : static_cast<std::uint64_t>(a);
    const std::uint64_t ub = b < 0 ? 0 - static_cast<std::uint64_t>(b) : static_cast<std::uint64_t>(b);
    const std::uint64_t q = ua / ub;
    const bool negative = (a < 0) != (b < 0);
    if (!negative && q > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) throw EOverflow();
    return negative ? static_cast<std::int64_t>(0 - q) : static_cast<std::int64_t>(q);
}

long double checkedDivide(long double numerator, long double denominator) {
    if (denominator == 0) {
        if (numerator == 0 || std::isnan(numerator)) throw EInvalidOp();
        throw EZeroDivide();
    }
    const long double q = numerator / denominator;
    if (std::isnan(q)) throw EInvalidOp();
    if (std::isinf(q) && !std::isinf(numerator)) throw EOverflow();
    return q;
}

namespace detail {
void raiseInvalidStore() { throw EInvalidOp(); }
void raiseOverflowingStore() { throw EOverflow(); }
}  // namespace detail

}  // namespace pvz
