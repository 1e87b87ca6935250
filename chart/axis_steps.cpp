#include "chart/axis_steps.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "runtime/calendar.h"

namespace pvz {
namespace {

double encodeDate(int year, int month, int day) {
    return encodeDayNumber(static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month),
                           static_cast<std::uint16_t>(day));
}

// The 1st of the month `months` before the given one.
double firstOfMonthsBack(const CalendarDate& date, int months) {
    int month = date.month - months;  // [-5, 11]
    int year = date.year;
    while (month < 1) {
        month += 12;
        --year;
    }
    return encodeDate(year, month, 1);
}

}  // namespace

int FindDateStep(double days) {
    for (int i = kDateStepOneYear; i >= 0; --i) {
        if (std::fabs(DateStepTable[static_cast<std::size_t>(i)] - days) < kOneSecond) return i;
    }
    return kNoDateStep;
}

double NextDateStep(double days) {
    for (int i = kDateStepOneYear - 1; i >= 0; --i) {
        if (days >= DateStepTable[static_cast<std::size_t>(i)]) return DateStepTable[static_cast<std::size_t>(i + 1)];
    }
    // Not a jump to 365 days: the label step starts at one second and never asks from below
    // it, and the smallest step keeps a direct caller's sequence growing through the table.
    return DateStepTable.front();
}

namespace {

// Powers of ten that are exact doubles.
constexpr std::array<double, 23> kExactPowersOfTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                      1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                      1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The double nearest to digit x 10^exponent. Within 10^-22 .. 10^22 one product or quotient of
// exact values rounds once, so the result is the nearest double (0.002, not 0.0020000000000000005);
// beyond that it may be one unit in the last place off, far outside any axis of this program.
double niceValue(int digit, int exponent) {
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < static_cast<int>(kExactPowersOfTen.size())) {
        const double power = kExactPowersOfTen[static_cast<std::size_t>(magnitude)];
        return exponent < 0 ? digit / power : digit * power;
    }
    return static_cast<double>(digit * std::pow(10.0L, exponent));
}

}  // namespace

double NextNiceStep(double step) {
    if (!(step > 0.0) || !std::isfinite(step)) return step;
    // The decade from the logarithm may be one off either way; starting one decade lower and
    // taking the first nice value above the step finds the right one. The candidates grow by
    // at least twice, so the loop ends within a few rounds (at infinity past the largest double).
    const int decade = static_cast<int>(std::floor(std::log10(step)));  // [-324, 308]
    for (int exponent = decade - 1;; ++exponent) {
        for (const int digit : {1, 2, 5}) {
            const double candidate = niceValue(digit, exponent);
            if (candidate > step) return candidate;
        }
    }
}

double RoundDateToStep(int dateStep, double dayNumber) {
    static const double kFirstOf1900 = encodeDate(1900, 1, 1);
    if (dayNumber <= kFirstOf1900) return dayNumber;
    CalendarDate date = decodeDayNumber(dayNumber);
    if (dateStep == kDateStepHalfMonth) {
        date.day = date.day < 15 ? 1 : 15;
    } else if (dateStep >= kDateStepOneMonth && dateStep < kDateStepOneYear) {
        date.day = 1;
    } else if (dateStep == kDateStepOneYear) {
        date.day = 1;
        date.month = 1;
    }
    return encodeDate(date.year, date.month, date.day);
}

double StepBackDate(int dateStep, double dayNumber) {
    assert(dateStep >= kDateStepHalfMonth && dateStep <= kDateStepOneYear);
    const CalendarDate date = decodeDayNumber(dayNumber);
    switch (dateStep) {
        case kDateStepHalfMonth:
            if (date.day == 1) return firstOfMonthsBack(date, 1) + 14;
            return encodeDate(date.year, date.month, date.day <= 15 ? 1 : 15);
        case kDateStepOneYear: {
            // 29 February steps back to the 28th of a common year.
            const int year = date.year - 1;
            return encodeDate(year, date.month, std::min(date.day, monthLength(year, date.month)));
        }
        default: {
            static constexpr std::array<int, 5> kMonthsBack = {1, 2, 3, 4, 6};
            return firstOfMonthsBack(date, kMonthsBack[static_cast<std::size_t>(dateStep - kDateStepOneMonth)]);
        }
    }
}

}  // namespace pvz
