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
    return DateStepTable.front();
}

namespace {

double niceStepAbove(double step) {
    if (step >= 10.0) return niceStepAbove(step * 0.1) * 10.0;
    if (step < 1.0) return niceStepAbove(step * 10.0) * 0.1;
    if (step < 2.0) return 2.0;
    if (step < 5.0) return 5.0;
    return 10.0;
}

// Far more than the rounding of the decade scaling, far less than the gap between nice steps.
constexpr double kScalingSlack = 1e-13;

}  // namespace

double NextNiceStep(double step) {
    if (!(step > 0.0) || !std::isfinite(step)) return step;
    const double next = niceStepAbove(step);
    // A step that is a nice value itself can scale to just below it (1e-12 becomes
    // 0.99999999999999989) and come back as itself; the next one up is meant then.
    if (next <= step * (1.0 + kScalingSlack)) return niceStepAbove(step * (1.0 + kScalingSlack));
    return next;
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
