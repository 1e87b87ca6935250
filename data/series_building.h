#pragma once
// The arithmetic of a rebuild: the time window and its clamps, the extraction of the selected
// parameter from the store, the whole-second alignment of UT values, the common trend and the
// vertical range. Plain functions over the store, the series arrays and the viewer state; the
// display cycle applies their results to the chart.

#include <cstdint>
#include <optional>

#include "data/observation_store.h"
#include "data/viewer_state.h"

namespace pvz {

// Minimum time from the start of one pass of the display cycle to the start of the next.
inline constexpr long double kPassPeriodDays = 2.314e-7L;

inline constexpr double kForwardLimitDays = 21.0;
inline constexpr double kBottomAxisSpread = 1000000.0;
inline constexpr double kLeftAxisSpread = 10000000.0;
inline constexpr double kRangeSeedLow = 1000000.0;
inline constexpr double kRangeSeedHigh = -1000000.0;

inline constexpr int kReferenceSlot = 1;  // the whole-second level of UT values
inline constexpr int kTrendSlot = 3;      // the common trend
inline constexpr int kNoUtSlot = 10;      // supplies no UT values

// The bottom axis's label step for an interval selector item.
struct IntervalSteps {
    double increment = 0.0;
    std::int32_t minorTickCount = 0;
};

// Item 0 (month) and item 1 (year) set `firstWeek` and return the bottom axis steps;
// any other index changes nothing and returns nothing.
std::optional<IntervalSteps> applyInterval(ViewerState& state, int intervalIndex);

// The home window from `firstWeek` and `currentWeek`, the shifted window, and the
// lower and upper clamps, which rewrite `timeShiftDays` to match the clamped window.
void computeWindow(ViewerState& state);

// Empties every slot before a rebuild extracts them again.
void resetSeries(SeriesArrays& arrays);

// The points of `parameter` (1 to 4) of one slot inside the window, in row order.
// The scan stops at the first missing MJD, at the first MJD past the window's end and when the
// slot holds kPointCount points (surplus points of a window are dropped). Returns the count.
std::int32_t extractSlot(const ObservationStore& store, SeriesArrays& arrays, int slot, int parameter,
                         double windowStartMjd, double windowEndMjd);

// Brings the UT values of `slot` onto the whole-second level of `referenceFirst` (slot 1's
// first value), point by point, with rounding ties to even: a source that gives UT1 - TAI
// differs from one that gives UT1 - UTC by whole seconds, which must not show between curves.
void alignToWholeSeconds(SeriesArrays& arrays, int slot, double referenceFirst);

// Built, or abandoned because the reference (slot 1) or the trend series (slot 3) has no point.
enum class ExtractionOutcome { Built, NoReference, NoTrend };

// Extracts every loaded slot, aligns the UT parameters to slot 1, and abandons the rebuild
// when slot 1 or 3 has no point (the reference and the trend are then unknown). Uses `selectedParameter` and the window
// of `state`.
ExtractionOutcome extractAll(const ObservationStore& store, SeriesArrays& arrays, const ViewerState& state);

// The common trend: the slope of the line through slot 3's first and last points, in value units per
// day. With fewer than two points of slot 3, or both at the same MJD, the slope is 0.
double commonTrendSlope(const SeriesArrays& arrays);

// Removes the line of `slope` through slot 3's first point from every slot that has
// points. Does nothing when slot 3 has no point.
void removeCommonTrend(SeriesArrays& arrays, double slope);

// The vertical increment that spreads [low, high] over 2g + 3 grid cells; nothing when the
// data have no spread (high equals low), so that the caller keeps the previous range.
std::optional<double> fittedIncrement(double low, double high, int gridIndex);

struct AxisRange {
    double minimum = 0.0;
    double maximum = 0.0;
    friend bool operator==(const AxisRange&, const AxisRange&) = default;
};

// The vertical range: g + 2 increments either side of the data's centre rounded to the
// increment's grid. `increment` must be positive.
AxisRange centredRange(double low, double high, double increment, int gridIndex);

}  // namespace pvz
