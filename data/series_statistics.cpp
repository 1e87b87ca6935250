#include "data/series_statistics.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "data/series_building.h"

namespace pvz {
namespace {

// x less the whole number nearest to it (ties to even): within [-0.5, 0.5]. The library's
// rounding of a long double costs more than the rest of a comparison; below 2^62 adding and
// taking away 1.5 * 2^63, whose sum has no fractional digits left, rounds the same way.
long double withoutWholeSeconds(long double x) {
    if (x >= -0.5L && x <= 0.5L) return x;  // nearly every difference
    if (!(std::fabs(x) < 0x1p62L)) return x - std::nearbyint(x);
    constexpr long double kRounder = 0x1.8p63L;
    return x - ((x + kRounder) - kRounder);
}

// The reference as a broken line through its points. Lookups for ascending epochs walk
// forward from the previous segment, so a whole source costs one pass over the reference.
class ReferenceLine {
public:
    ReferenceLine(std::span<const double> x, std::span<const double> y, WholeSeconds wholeSeconds)
        : x_(x), y_(y), wholeSeconds_(wholeSeconds) {}

    bool covers(double x) const { return x >= x_.front() && x <= x_.back(); }

    // The reference at x, which it covers: the value of a point at the same epoch (the first
    // of several), else the straight line between the neighbouring points, with the step
    // between them reduced by whole seconds when those do not count. Nothing (NaN) when the
    // neighbours are more than kReferenceGapDays apart.
    long double at(double x) {
        if (next_ > 0 && x_[next_ - 1] >= x) next_ = 0;  // an epoch earlier than the last one
        while (x_[next_] < x) ++next_;                   // stops at the last point at the latest
        if (x_[next_] == x) return y_[next_];
        // x_[next_ - 1] < x < x_[next_]: next_ > 0 because x is not below the first epoch.
        const long double x0 = x_[next_ - 1];
        const long double span = x_[next_] - x0;
        if (span > kReferenceGapDays) return std::numeric_limits<long double>::quiet_NaN();
        const long double y0 = y_[next_ - 1];
        long double step = y_[next_] - y0;
        if (wholeSeconds_ == WholeSeconds::Drop) step = withoutWholeSeconds(step);
        return y0 + step * ((x - x0) / span);
    }

private:
    std::span<const double> x_;
    std::span<const double> y_;
    WholeSeconds wholeSeconds_;
    std::size_t next_ = 0;  // the first point whose epoch is not below the last lookup's
};

}  // namespace

void pointDifferences(std::span<const double> referenceX, std::span<const double> referenceY, std::span<const double> x,
                      std::span<const double> y, WholeSeconds wholeSeconds, std::span<double> differences) {
    const std::size_t count = std::min({x.size(), y.size(), differences.size()});
    std::fill(differences.begin(), differences.end(), kNotCompared);
    const std::size_t referenceCount = std::min(referenceX.size(), referenceY.size());
    if (referenceCount < 2) return;
    referenceX = referenceX.first(referenceCount);
    referenceY = referenceY.first(referenceCount);
    if (!std::is_sorted(referenceX.begin(), referenceX.end())) return;

    ReferenceLine reference(referenceX, referenceY, wholeSeconds);
    for (std::size_t k = 0; k < count; ++k) {
        if (!reference.covers(x[k])) continue;
        long double d = y[k] - reference.at(x[k]);
        if (wholeSeconds == WholeSeconds::Drop) d = withoutWholeSeconds(d);
        differences[k] = static_cast<double>(d);  // NaN inside a gap
    }
}

DifferenceStatistics statisticsOf(std::span<const double> differences) {
    // Two passes, as the definition reads: the mean first, then the scatter about it.
    std::int32_t n = 0;
    long double sum = 0.0L;
    for (const double d : differences) {
        if (std::isnan(d)) continue;
        sum += d;
        ++n;
    }
    if (n == 0) return {};
    const long double mean = sum / n;
    long double squares = 0.0L;
    for (const double d : differences) {
        if (std::isnan(d)) continue;
        squares += (d - mean) * (d - mean);
    }
    const double deviation = n > 1 ? static_cast<double>(std::sqrt(squares / (n - 1))) : kNotCompared;
    const DifferenceStatistics result{n, static_cast<double>(mean), deviation};
    // Differences of finite values beyond the range of a double have no statistics to show.
    if (!std::isfinite(result.mean) || (n > 1 && !std::isfinite(result.deviation))) return {};
    return result;
}

DifferenceStatistics differenceStatistics(std::span<const double> referenceX, std::span<const double> referenceY,
                                          std::span<const double> x, std::span<const double> y,
                                          WholeSeconds wholeSeconds) {
    std::array<double, kPointCount> differences;
    const std::size_t count = std::min({x.size(), y.size(), differences.size()});
    const std::span<double> compared(differences.data(), count);
    pointDifferences(referenceX, referenceY, x, y, wholeSeconds, compared);
    return statisticsOf(compared);
}

namespace {

// A slot's extracted points; they are contiguous in both tables.
std::span<const double> slotPoints(const SeriesArrays& arrays, const SlotTable<kPointCount>& table, int slot) {
    return {table.slotRows(slot), static_cast<std::size_t>(arrays.seriesCount[slot])};
}

}  // namespace

void slotDifferences(const SeriesArrays& arrays, int parameter, int slot, std::span<double> differences) {
    pointDifferences(slotPoints(arrays, arrays.seriesX, kReferenceSlot),
                     slotPoints(arrays, arrays.seriesY, kReferenceSlot), slotPoints(arrays, arrays.seriesX, slot),
                     slotPoints(arrays, arrays.seriesY, slot), wholeSecondsOf(parameter), differences);
}

void computeSeriesStatistics(const SeriesArrays& arrays, int parameter, SeriesStatistics& statistics) {
    statistics.parameter = parameter;
    statistics.bySeries.fill({});
    if (arrays.seriesCount[kReferenceSlot] < 2) return;
    std::array<double, kPointCount> differences;
    for (int slot = kReferenceSlot + 1; slot <= kSeriesSlotCount; ++slot) {
        const auto count = static_cast<std::size_t>(arrays.seriesCount[slot]);
        if (count < 1) continue;
        const std::span<double> compared(differences.data(), count);
        slotDifferences(arrays, parameter, slot, compared);
        statistics.bySeries[static_cast<std::size_t>(slot - 1)] = statisticsOf(compared);
    }
}

}  // namespace pvz
