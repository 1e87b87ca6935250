#include "data/series_building.h"

#include <cmath>

#include "runtime/calendar.h"

namespace pvz {

namespace {

// checkedStore with the finite case inline: the same value and the same errors.
double storeChecked(long double value) {
    const double stored = static_cast<double>(value);
    return std::isfinite(stored) ? stored : checkedStore(value);
}

// Moves values by whole seconds to within half a second of a level (ties to even), in extended
// precision. Consecutive points nearly always need the shift of the point before them, so the
// shift is kept and rounding is needed only where the difference leaves its half-second band.
class WholeSecondLeveller {
public:
    double levelled(double value, double level) {
        const long double difference = static_cast<long double>(value) - level;
        const auto shift = static_cast<long double>(shift_);  // exact, as are shift +- 0.5
        if (!(difference > shift - 0.5L && difference < shift + 0.5L)) shift_ = roundToInt64(difference);
        return static_cast<double>(value - static_cast<long double>(shift_));
    }

private:
    std::int64_t shift_ = 0;
};

}  // namespace

std::optional<IntervalSteps> applyInterval(ViewerState& state, int intervalIndex) {
    switch (intervalIndex) {
        case 0:
            state.firstWeek = state.currentWeek - 3;
            return IntervalSteps{7.0, 6};
        case 1:
            state.firstWeek = state.currentWeek - 51;
            return IntervalSteps{30.0, 3};
        default:
            return std::nullopt;
    }
}

void computeWindow(ViewerState& state) {
    // In integers, so that both ends are Mondays.
    state.homeStartMjd = static_cast<double>(static_cast<std::int64_t>(state.firstWeek) * 7 + weekEpochMjd);
    state.homeEndMjd = static_cast<double>(static_cast<std::int64_t>(state.currentWeek) * 7 + weekEndEpochMjd);
    state.windowStartMjd = checkedStore(static_cast<long double>(state.homeStartMjd) + state.timeShiftDays);
    state.windowEndMjd = checkedStore(static_cast<long double>(state.homeEndMjd) + state.timeShiftDays);

    if (!(state.windowStartMjd > state.baseMjd)) {
        // The earliest Monday of the week grid that is not before baseMjd.
        const std::int32_t k = floorToInt32((static_cast<long double>(state.homeStartMjd) - state.baseMjd) / 7.0L);
        state.windowStartMjd = checkedStore(static_cast<long double>(state.homeStartMjd) - 7.0L * k);
        state.windowEndMjd =
            checkedStore(static_cast<long double>(state.homeEndMjd) - state.homeStartMjd + state.windowStartMjd);
        state.timeShiftDays = checkedStore(static_cast<long double>(state.windowStartMjd) - state.homeStartMjd);
    }
    if (!(state.homeEndMjd + kForwardLimitDays >= state.windowEndMjd)) {
        state.windowEndMjd = state.homeEndMjd + kForwardLimitDays;
        state.windowStartMjd = checkedStore(static_cast<long double>(state.windowEndMjd) -
                                            (static_cast<long double>(state.homeEndMjd) - state.homeStartMjd));
        state.timeShiftDays = state.windowEndMjd - state.homeEndMjd;
    }
}

void resetSeries(SeriesArrays& arrays) {
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        arrays.seriesCount[slot] = 0;
        arrays.seriesEmpty[slot] = true;
    }
}

std::int32_t extractSlot(const ObservationStore& store, SeriesArrays& arrays, int slot, int parameter,
                         double windowStartMjd, double windowEndMjd) {
    std::int32_t count = 0;
    for (int row = 1; row <= kRowCount && count < kPointCount; ++row) {
        const double t = store.observations(row, slot, kindMJD);
        if (t == missingValue || t > windowEndMjd) break;
        if (t < windowStartMjd) continue;
        const double v = store.observations(row, slot, parameter);
        if (v == missingValue) continue;
        ++count;
        arrays.seriesY(count, slot) = v;
        arrays.seriesX(count, slot) = t;
    }
    arrays.seriesCount[slot] = count;
    return count;
}

void alignToWholeSeconds(SeriesArrays& arrays, int slot, double referenceFirst) {
    const std::int32_t count = arrays.seriesCount[slot];
    if (count < 1) return;
    double* const y = &arrays.seriesY(1, slot);  // the slot's points are contiguous
    WholeSecondLeveller leveller;
    y[0] = leveller.levelled(y[0], referenceFirst);
    for (std::int32_t k = 1; k < count; ++k) y[k] = leveller.levelled(y[k], y[k - 1]);
}

ExtractionOutcome extractAll(const ObservationStore& store, SeriesArrays& arrays, const ViewerState& state) {
    const int parameter = state.selectedParameter;
    const bool utParameter = parameter == kindUT1 || parameter == kindUT1R;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (!store.slotLoaded[slot]) continue;
        if (extractSlot(store, arrays, slot, parameter, state.windowStartMjd, state.windowEndMjd) == 0) {
            if (slot == kReferenceSlot) return ExtractionOutcome::NoReference;
            if (slot == kTrendSlot) return ExtractionOutcome::NoTrend;
            continue;
        }
        arrays.seriesEmpty[slot] = false;
        if (utParameter && slot != kReferenceSlot && slot != kNoUtSlot) {
            // Slot 1 comes first, so its first point is already this rebuild's.
            const double referenceFirst = store.slotLoaded[kReferenceSlot] ? arrays.seriesY(1, kReferenceSlot) : 0.0;
            alignToWholeSeconds(arrays, slot, referenceFirst);
        }
    }
    return ExtractionOutcome::Built;
}

double commonTrendSlope(const SeriesArrays& arrays) {
    const std::int32_t n = arrays.seriesCount[kTrendSlot];
    if (n < 2) return 0.0;
    const long double dx = static_cast<long double>(arrays.seriesX(n, kTrendSlot)) - arrays.seriesX(1, kTrendSlot);
    if (dx == 0.0L) return 0.0;
    const long double dy = static_cast<long double>(arrays.seriesY(n, kTrendSlot)) - arrays.seriesY(1, kTrendSlot);
    return checkedStore(checkedDivide(dy, dx));
}

void removeCommonTrend(SeriesArrays& arrays, double slope) {
    if (arrays.seriesCount[kTrendSlot] < 1) return;
    const long double x1 = arrays.seriesX(1, kTrendSlot);
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const std::int32_t count = arrays.seriesCount[slot];
        if (count < 1) continue;
        const double* const x = &arrays.seriesX(1, slot);  // the slot's points are contiguous
        double* const y = &arrays.seriesY(1, slot);
        for (std::int32_t k = 0; k < count; ++k)
            y[k] = storeChecked(static_cast<long double>(y[k]) - (x[k] - x1) * slope);
    }
}

std::optional<double> fittedIncrement(double low, double high, int gridIndex) {
    if (!(high > low)) return std::nullopt;
    return checkedStore((static_cast<long double>(high) - low) / (2 * gridIndex + 3));
}

AxisRange centredRange(double low, double high, double increment, int gridIndex) {
    const long double inc = increment;
    const long double middle = (static_cast<long double>(low) + high) * 0.5L;
    const double centre = checkedStore(static_cast<long double>(roundToInt64(checkedDivide(middle, inc))) * inc);
    const long double half = static_cast<long double>(gridIndex + 2) * inc;
    return {checkedStore(centre - half), checkedStore(centre + half)};
}

}  // namespace pvz
