#include "app/view_arithmetic.h"

#include <cmath>

#include "runtime/calendar.h"
#include "runtime/formatting.h"

namespace pvz {

std::optional<AxisRange> verticalStep(VerticalStep step, double minimum, double maximum) {
    const long double top = maximum;
    const long double bottom = minimum;
    const long double height = top - bottom;
    long double newTop = top;
    long double newBottom = bottom;
    switch (step) {
        case VerticalStep::ShiftUp:
            newTop = top - 0.04L * height;
            newBottom = bottom - 0.04L * height;
            break;
        case VerticalStep::ShiftDown:
            newTop = top + 0.04L * height;
            newBottom = bottom + 0.04L * height;
            break;
        case VerticalStep::Stretch:
            newTop = top - 0.015L * height;
            newBottom = bottom + 0.015L * height;
            break;
        case VerticalStep::Compress:
            newTop = top + 0.015L * height;
            newBottom = bottom - 0.015L * height;
            break;
    }
    const AxisRange range{static_cast<double>(newBottom), static_cast<double>(newTop)};
    // Ends that are finite can still be too far apart for their difference, which every drawing
    // takes: such a step is refused as well.
    if (!std::isfinite(range.minimum) || !std::isfinite(range.maximum) || range.minimum > range.maximum ||
        !std::isfinite(range.maximum - range.minimum))
        return std::nullopt;
    return range;
}

std::string composedScaleText(double labelStep) {
    // Doubles throughout, with the hundredths rounded: 0.0711 gives 71.0999... thousandths,
    // which read 71.10, not 71.9.
    const double thousandths = static_cast<double>(fractionalPart(labelStep)) * 1000.0;
    const double hundredths = static_cast<double>(fractionalPart(thousandths)) * 100.0;
    std::int64_t whole = truncToInt64(thousandths);
    std::int64_t cents = roundToInt64(hundredths);  // [0, 100]
    if (cents == 100) {
        ++whole;
        cents = 0;
    }
    return "M: " + integerToText(whole) + "." + (cents < 10 ? "0" : "") + integerToText(cents) + " мс";
}

std::string differencesScaleText(double labelStep, bool ut) {
    return "M: " + formatByPattern("0.###", labelStep) + (ut ? " мс" : " мсд");
}

WeekNumberFont weekNumberFont(int screenWidth) {
    if (screenWidth > 800) return {20, 20};
    return {15, 16};
}

std::array<WeekNumberSpot, 4> weekNumberSpots(const Rect& plot, std::int32_t currentWeek, double timeShiftDays) {
    const std::int64_t width = static_cast<std::int64_t>(plot.right) - plot.left + 1;
    const long double weeks = static_cast<long double>(timeShiftDays) / 7.0L;
    // The part of the shift that is not whole weeks, at W / 28 pixels per day; 0 for the
    // whole-week shifts that navigation makes.
    const std::int64_t partial = roundToInt64(fractionalPart(weeks) * 7.0L * static_cast<long double>(width) / 28.0L);
    const std::int64_t wholeWeeks = roundToInt64(integralPart(weeks));
    std::array<WeekNumberSpot, 4> spots;
    for (int i = 0; i < 4; ++i) {
        const std::int64_t x = (width / 8) * (2 * i + 1) + plot.left - 10 - partial;
        spots[static_cast<std::size_t>(i)] = {static_cast<int>(x),
                                              static_cast<std::int64_t>(currentWeek) - 3 + i + wholeWeeks};
    }
    return spots;
}

double nextWeekLabel(double labelValue, double timeShiftDays, double homeStartMjd, double mjdToDayOffset) {
    const std::int32_t weeks = ceilToInt32(static_cast<long double>(timeShiftDays) / 7.0L);
    const double first = static_cast<double>(static_cast<long double>(weeks) * 7.0L + homeStartMjd + mjdToDayOffset);
    if (first > labelValue) return first;
    return labelValue + kTimeStepDays;
}

}  // namespace pvz
