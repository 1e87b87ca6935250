#pragma once
// Calendar arithmetic and the numeric primitives whose exact results the viewer depends on.
//
// Day numbers count days from 30 December 1899 (day 0); the fraction is the time of day.
// MJD = day number + 15018. Real arithmetic is done in long double (64-bit significand on
// x86-64) where the results must carry extended precision, and stored as double.

#include <cmath>
#include <cstdint>
#include <functional>

namespace pvz {

struct CalendarDate {
    int year = 0;   // [1, 9999]
    int month = 0;  // [1, 12]
    int day = 0;    // [1, 31]
    friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

// The local wall-clock date and time as a day number with millisecond resolution.
double localNow();

// Replaces the clock behind localNow (a fixed "now" for tests and the headless tool);
// an empty function restores the local wall clock.
using LocalClock = std::function<double()>;
void setLocalClock(LocalClock clock);

// Leap years of the proleptic Gregorian calendar.
constexpr bool isLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

// The number of days of `month` (1 to 12) in `year`.
constexpr int monthLength(int year, int month) {
    constexpr int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kLengths[month - 1];
}

// Day number of a calendar date; raises EConvertError on an invalid date.
double encodeDayNumber(std::uint16_t year, std::uint16_t month, std::uint16_t day);

// Calendar date of a day number, after rounding it to whole milliseconds (x >= 0).
CalendarDate decodeDayNumber(double dayNumber);

double julianDateOf(double dayNumber);
double mjdOf(double dayNumber);
// mjdOf(encodeDayNumber(year, month, day)), with its EConvertError for an invalid date.
double mjdOfDate(std::uint16_t year, std::uint16_t month, std::uint16_t day);

// Conversions to integers; a NaN or a value outside the int64 range raises EInvalidOp.
std::int64_t truncToInt64(long double x);
std::int64_t roundToInt64(long double x);  // nearest, ties to even
std::int32_t floorToInt32(long double x);
std::int32_t ceilToInt32(long double x);

long double integralPart(long double x);    // toward zero
long double fractionalPart(long double x);  // x - integralPart(x), with the sign of x

// Return 0 for an argument of magnitude 2^63 or more.
long double sine(long double x);
long double cosine(long double x);

// Quotient truncated toward zero; b must not be 0.
std::int64_t divTrunc64(std::int64_t a, std::int64_t b);

// Checked real operations: the floating-point errors of the viewer's arithmetic.
// checkedDivide raises EZeroDivide for x/0 and EInvalidOp for 0/0; checkedStore rounds an
// extended value to double and raises EOverflow when it does not fit, EInvalidOp for NaN.
long double checkedDivide(long double numerator, long double denominator);
namespace detail {
[[noreturn]] void raiseInvalidStore();
[[noreturn]] void raiseOverflowingStore();
}  // namespace detail

// Inline: the loader stores every value it reads through it.
inline double checkedStore(long double value) {
    if (std::isnan(value)) detail::raiseInvalidStore();
    const double d = static_cast<double>(value);
    if (std::isinf(d)) detail::raiseOverflowingStore();
    return d;
}

}  // namespace pvz
