#pragma once
// How far each source lies from the reference over the window shown. A source point is compared
// when its epoch lies within the reference's first and last epoch and not inside a gap of the
// reference longer than three days; its difference is its value less the reference interpolated
// linearly at its epoch. For UT1 and UT1R whole seconds do not count: the reference's step
// between two neighbouring points is reduced by whole seconds before interpolating, and each
// difference by the whole number of seconds nearest to it, so that leap seconds and UT1 - TAI
// offsets vanish. Of the differences: their number, mean and sample standard deviation. They
// are taken from the series arrays as a rebuild leaves them for the chart, after the
// whole-second alignment and the trend removal; the trend is one straight line for all series,
// so the numbers do not depend on it.

#include <array>
#include <cstdint>
#include <limits>
#include <span>

#include "data/observation_store.h"

namespace pvz {

// Consecutive reference epochs further apart than this leave a gap in which nothing is compared.
inline constexpr double kReferenceGapDays = 3.0;

// Whether the comparison counts whole seconds (the pole) or drops them (UT1 and UT1R).
enum class WholeSeconds { Count, Drop };

// The way of comparing a parameter (1 to 4).
constexpr WholeSeconds wholeSecondsOf(int parameter) {
    return parameter == kindUT1 || parameter == kindUT1R ? WholeSeconds::Drop : WholeSeconds::Count;
}

// The differences of one source from the reference, in the series' units (seconds of time for
// UT1 and UT1R, seconds of arc for Xp and Yp).
struct DifferenceStatistics {
    std::int32_t count = 0;  // points compared; 0: no statistics
    double mean = 0.0;
    // The sample standard deviation about the mean (over count - 1); NaN when count is 1.
    double deviation = 0.0;
    bool hasDeviation() const { return count > 1; }
    friend bool operator==(const DifferenceStatistics& a, const DifferenceStatistics& b) {
        return a.count == b.count && a.mean == b.mean &&
               (a.deviation == b.deviation || (!a.hasDeviation() && !b.hasDeviation()));
    }
};

// The statistics of a rebuild, by chart series index (slot - 1). Index 0, the reference,
// never has statistics; neither has any series when the rebuild built none.
struct SeriesStatistics {
    std::int32_t parameter = 0;  // the parameter compared, 1 to 4; 0 when nothing was built
    std::array<DifferenceStatistics, kSeriesSlotCount> bySeries{};
};

// Marks a source point that is not compared.
inline constexpr double kNotCompared = std::numeric_limits<double>::quiet_NaN();

// The difference of each source point (x[k], y[k]) from the reference points, or kNotCompared,
// into differences[k] (as many as the source has points). The reference epochs must not
// descend; when they do, or when there are fewer than two reference points, nothing is
// compared. Source points may come in any order. Worked in extended precision; nothing is
// allocated.
void pointDifferences(std::span<const double> referenceX, std::span<const double> referenceY, std::span<const double> x,
                      std::span<const double> y, WholeSeconds wholeSeconds, std::span<double> differences);

// The count, mean and sample standard deviation of the compared values (those not NaN). Sums in
// extended precision; differences beyond the range of a double give no statistics.
DifferenceStatistics statisticsOf(std::span<const double> differences);

// The statistics of the source points against the reference points: pointDifferences then
// statisticsOf, without allocating (at most kPointCount source points are compared).
DifferenceStatistics differenceStatistics(std::span<const double> referenceX, std::span<const double> referenceY,
                                          std::span<const double> x, std::span<const double> y,
                                          WholeSeconds wholeSeconds);

// The difference of each extracted point of `slot` from the reference (slot 1), as the
// comparison defines it, in the series' units (seconds of time for UT1/UT1R, seconds of arc
// for Xp/Yp); NaN where the point is not compared. `differences` holds arrays.seriesCount[slot] values.
void slotDifferences(const SeriesArrays& arrays, int parameter, int slot, std::span<double> differences);

// Slots 2 to 11 against slot 1, every slot with extracted points whatever its check box says.
void computeSeriesStatistics(const SeriesArrays& arrays, int parameter, SeriesStatistics& statistics);

}  // namespace pvz
