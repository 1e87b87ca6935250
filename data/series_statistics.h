#pragma once
// How far each source lies from the reference over the window shown. For every point of a
// source whose epoch lies within the reference's first and last epoch, the difference between
// its value and the reference interpolated linearly at that epoch; of those differences their
// number, mean and standard deviation. A rebuild computes them from the series arrays as it
// leaves them for the chart, after the whole-second alignment and the trend removal. The trend
// removed is one straight line for all series, so the numbers do not depend on it.

#include <array>
#include <cstdint>
#include <span>

#include "data/observation_store.h"

namespace pvz {

// The differences of one source from the reference, in the series' units (seconds of time for
// UT1 and UT1R, seconds of arc for Xp and Yp).
struct DifferenceStatistics {
    std::int32_t count = 0;  // points compared; 0: no statistics
    double mean = 0.0;
    double deviation = 0.0;  // standard deviation over the count (not count - 1)
    friend bool operator==(const DifferenceStatistics&, const DifferenceStatistics&) = default;
};

// The statistics of a rebuild, by chart series index (slot - 1). Index 0, the reference,
// never has statistics; neither has any series when the rebuild built none.
struct SeriesStatistics {
    std::int32_t parameter = 0;  // the parameter compared, 1 to 4; 0 when nothing was built
    std::array<DifferenceStatistics, kSeriesSlotCount> bySeries{};
};

// The statistics of the source points (x[k], y[k]) against the reference points. The reference
// epochs must not descend; when they do, or when there are fewer than two reference points, or
// no source point lies within [referenceX.front(), referenceX.back()], the count is 0. Source
// points may come in any order. Sums are taken in extended precision; nothing is allocated.
DifferenceStatistics differenceStatistics(std::span<const double> referenceX, std::span<const double> referenceY,
                                          std::span<const double> x, std::span<const double> y);

// The difference of each extracted point of `slot` from the reference (slot 1), as the
// comparison defines it, in the series' units (seconds of time for UT1/UT1R, seconds of arc
// for Xp/Yp); NaN where the point is not compared. `differences` holds arrays.seriesCount[slot] values.
void slotDifferences(const SeriesArrays& arrays, int parameter, int slot, std::span<double> differences);

// Slots 2 to 11 against slot 1, every slot with extracted points whatever its check box says.
void computeSeriesStatistics(const SeriesArrays& arrays, int parameter, SeriesStatistics& statistics);

}  // namespace pvz
