#include "data/series_statistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "data/series_building.h"

namespace pvz {
namespace {

// The reference as a broken line through its points. Lookups for ascending epochs walk
// forward from the previous segment, so a whole source costs one pass over the reference.
class ReferenceLine {
public:
    ReferenceLine(std::span<const double> x, std::span<const double> y) : x_(x), y_(y) {}

    bool covers(double x) const { return x >= x_.front() && x <= x_.back(); }

    // The reference at x, which it covers: the value of a point at the same epoch (the first
    // of several), else the straight line between the neighbouring points.
    long double at(double x) {
        if (next_ > 0 && x_[next_ - 1] >= x) next_ = 0;  // an epoch earlier than the last one
        while (x_[next_] < x) ++next_;                   // stops at the last point at the latest
        if (x_[next_] == x) return y_[next_];
        // x_[next_ - 1] < x < x_[next_]: next_ > 0 because x is not below the first epoch.
        const long double x0 = x_[next_ - 1];
        const long double y0 = y_[next_ - 1];
        return y0 + (y_[next_] - y0) * ((x - x0) / (x_[next_] - x0));
    }

private:
    std::span<const double> x_;
    std::span<const double> y_;
    std::size_t next_ = 0;  // the first point whose epoch is not below the last lookup's
};

}  // namespace

DifferenceStatistics differenceStatistics(std::span<const double> referenceX, std::span<const double> referenceY,
                                          std::span<const double> x, std::span<const double> y) {
    const std::size_t referenceCount = std::min(referenceX.size(), referenceY.size());
    const std::size_t count = std::min(x.size(), y.size());
    if (referenceCount < 2) return {};
    referenceX = referenceX.first(referenceCount);
    referenceY = referenceY.first(referenceCount);
    if (!std::is_sorted(referenceX.begin(), referenceX.end())) return {};

    // Two passes, as the definition reads: the mean first, then the scatter about it.
    ReferenceLine reference(referenceX, referenceY);
    std::int32_t n = 0;
    long double sum = 0.0L;
    for (std::size_t k = 0; k < count; ++k) {
        if (!reference.covers(x[k])) continue;
        sum += y[k] - reference.at(x[k]);
        ++n;
    }
    if (n == 0) return {};
    const long double mean = sum / n;
    long double squares = 0.0L;
    for (std::size_t k = 0; k < count; ++k) {
        if (!reference.covers(x[k])) continue;
        const long double d = y[k] - reference.at(x[k]) - mean;
        squares += d * d;
    }
    const DifferenceStatistics result{n, static_cast<double>(mean), static_cast<double>(std::sqrt(squares / n))};
    // Differences of finite values beyond the range of a double have no statistics to show.
    if (!std::isfinite(result.mean) || !std::isfinite(result.deviation)) return {};
    return result;
}

void slotDifferences(const SeriesArrays& arrays, int /*parameter*/, int slot, std::span<double> differences) {
    std::fill(differences.begin(), differences.end(), std::numeric_limits<double>::quiet_NaN());
    const auto count = [&arrays](int s) { return static_cast<std::size_t>(std::max(arrays.seriesCount[s], 0)); };
    const std::span<const double> referenceX(arrays.seriesX.slotRows(kReferenceSlot), count(kReferenceSlot));
    const std::span<const double> referenceY(arrays.seriesY.slotRows(kReferenceSlot), count(kReferenceSlot));
    if (slot == kReferenceSlot || referenceX.size() < 2 || !std::is_sorted(referenceX.begin(), referenceX.end()))
        return;
    ReferenceLine reference(referenceX, referenceY);
    const std::size_t n = std::min(differences.size(), count(slot));
    for (std::size_t k = 0; k < n; ++k) {
        const double x = arrays.seriesX.slotRows(slot)[k];
        if (reference.covers(x))
            differences[k] = static_cast<double>(arrays.seriesY.slotRows(slot)[k] - reference.at(x));
    }
}

void computeSeriesStatistics(const SeriesArrays& arrays, int parameter, SeriesStatistics& statistics) {
    statistics.parameter = parameter;
    statistics.bySeries.fill({});
    const auto points = [&arrays](const SlotTable<kPointCount>& table, int slot) {
        // A slot's points are contiguous in both tables.
        return std::span<const double>(table.slotRows(slot), static_cast<std::size_t>(arrays.seriesCount[slot]));
    };
    const std::span<const double> referenceX = points(arrays.seriesX, kReferenceSlot);
    const std::span<const double> referenceY = points(arrays.seriesY, kReferenceSlot);
    if (referenceX.size() < 2) return;
    for (int slot = kReferenceSlot + 1; slot <= kSeriesSlotCount; ++slot) {
        if (arrays.seriesCount[slot] < 1) continue;
        statistics.bySeries[static_cast<std::size_t>(slot - 1)] =
            differenceStatistics(referenceX, referenceY, points(arrays.seriesX, slot), points(arrays.seriesY, slot));
    }
}

}  // namespace pvz
