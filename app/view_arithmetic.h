#pragma once
// The arithmetic behind the window's handlers, kept apart from the controls and the canvas so
// that it can be checked without a window: the vertical shift and stretch steps, the scale
// text composed from a label step, the places of the week numbers and the month view's
// label sequence.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "data/series_building.h"
#include "runtime/graphics.h"

namespace pvz {

inline constexpr double kTimeStepDays = 7.0;
inline constexpr int kRestingShiftInterval = 210;   // ms, Timer2 while no time step repeats
inline constexpr int kRepeatingShiftInterval = 70;  // ms, Timer2 while a held button repeats

// The four vertical tool buttons by Tag.
enum class VerticalStep { ShiftUp = 3, ShiftDown = 4, Stretch = 5, Compress = 6 };

// One step of a held vertical button on the range [minimum, maximum]: the shifts move both
// ends by 4 % of the height, stretch and compress move each end by 1.5 % inwards or outwards.
// Nothing when the new range or its height would not be finite (a range compressed for ever).
std::optional<AxisRange> verticalStep(VerticalStep step, double minimum, double maximum);

// The text of EditScale for a left-axis label step: "M: " + the thousandths of the step's
// fraction + "." + the hundredths of what remains + " мс", worked out in doubles.
std::string composedScaleText(double labelStep);

// The text of EditScale in the differences view, whose labels are already in thousandths:
// "M: " + the step with up to three decimals + " мс" for UT or " мсд" for the pole.
std::string differencesScaleText(double labelStep, bool ut);

// Row offset under the plot and font height of the week numbers for a screen width.
struct WeekNumberFont {
    int offset = 0;
    int height = 0;
};
WeekNumberFont weekNumberFont(int screenWidth);

struct WeekNumberSpot {
    int x = 0;
    std::int64_t week = 0;
};

// The four week numbers of the month view and their left edges, near the middle of each
// quarter of the plot's width (W = right - left + 1).
std::array<WeekNumberSpot, 4> weekNumberSpots(const Rect& plot, std::int32_t currentWeek, double timeShiftDays);

// The month view's next bottom-axis label after `labelValue`: the window start when the value
// lies before it, else seven days on.
double nextWeekLabel(double labelValue, double timeShiftDays, double homeStartMjd, double mjdToDayOffset);

}  // namespace pvz
