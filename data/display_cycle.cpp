#include "data/display_cycle.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <string>

#include "data/data_loader.h"
#include "data/scale_tables.h"
#include "runtime/errors.h"

namespace pvz {

DisplayCycle::DisplayCycle(const ObservationStore& store, SeriesArrays& arrays, ViewerState& state, DisplayChart chart,
                           DisplayControls& controls)
    : store_(store), arrays_(arrays), state_(state), chart_(chart), controls_(controls) {}

void DisplayCycle::clearRequests() {
    state_.rescaleRequested = false;
    state_.autoFitRequested = false;
    state_.shiftPending = false;
    state_.viewFitRequested = false;
    state_.redrawRequested = false;
}

void DisplayCycle::rebuild() {
    state_.selectedParameter = controls_.parameterIndex() + 1;
    switch (controls_.trendIndex()) {
        case 0:
            state_.showTrend = false;
            break;
        case 1:
            state_.showTrend = true;
            break;
        default:
            break;
    }
    if (const auto steps = applyInterval(state_, controls_.intervalIndex())) {
        chart_.bottomAxis.setIncrement(steps->increment);
        chart_.bottomAxis.setMinorTickCount(steps->minorTickCount);
    }
    computeWindow(state_);

    // The maximum is opened first so that the new minimum never exceeds the old maximum.
    chart_.bottomAxis.setMaximum(kBottomAxisSpread);
    chart_.bottomAxis.setMinimum(state_.windowStartMjd + state_.mjdToDayOffset);
    chart_.bottomAxis.setMaximum(state_.windowEndMjd + state_.mjdToDayOffset);

    resetSeries(arrays_);
    state_.anySeriesChecked = false;
    const int boxes = controls_.seriesBoxCount();
    for (int b = 0; b < boxes; ++b) {
        const DisplayControls::SeriesBox box = controls_.seriesBox(b);
        const int index = box.tag - 1;
        assert(index >= 0 && index < static_cast<int>(chart_.series.size()));
        chart_.series[static_cast<std::size_t>(index)]->ClearPoints();
        state_.seriesChecked[index] = box.checked;
        if (box.checked) state_.anySeriesChecked = true;
    }
    statistics_ = {};
    statisticsDue_ = false;
    statisticsKnown_.fill(false);
    if (!state_.anySeriesChecked) {
        // The scale requests stay for a later rebuild that has something to fit.
        chart_.bottomAxis.setAutomatic(false);
        state_.shiftPending = false;
        state_.redrawRequested = false;
        return;
    }

    const ExtractionOutcome outcome = extractAll(store_, arrays_, state_);
    if (outcome == ExtractionOutcome::Built) {
        state_.trendSlope = commonTrendSlope(arrays_);
        if (!state_.showTrend) removeCommonTrend(arrays_, state_.trendSlope);
        statisticsDue_ = true;
        refillAndScale();
    }
    reportOutcome(outcome);
    clearRequests();
}

const SeriesStatistics& DisplayCycle::statistics() {
    if (!statisticsDue_) return statistics_;
    statisticsDue_ = false;
    statistics_.parameter = state_.selectedParameter;
    // The sources that the differences view plotted have theirs already.
    for (int slot = kReferenceSlot + 1; slot <= kSeriesSlotCount; ++slot) {
        const auto index = static_cast<std::size_t>(slot - 1);
        if (statisticsKnown_[index]) continue;
        const std::span<double> differences(differences_.data(), static_cast<std::size_t>(arrays_.seriesCount[slot]));
        slotDifferences(arrays_, state_.selectedParameter, slot, differences);
        statistics_.bySeries[index] = statisticsOf(differences);
    }
    return statistics_;
}

void DisplayCycle::reportOutcome(ExtractionOutcome outcome) {
    if (outcome == ExtractionOutcome::Built) {
        if (!abandonmentShown_) return;
        abandonmentShown_ = false;
        controls_.setStatusText(kReadyStatus);
        return;
    }
    const int slot = outcome == ExtractionOutcome::NoReference ? kReferenceSlot : kTrendSlot;
    const std::string title = chart_.series[static_cast<std::size_t>(slot - 1)]->Title();
    controls_.setStatusText("  Нет данных " + title + " в окне: график не построен");
    abandonmentShown_ = true;
}

void DisplayCycle::addDifferencePoints(TChartSeries& series, int slot) {
    const auto count = static_cast<std::size_t>(arrays_.seriesCount[slot]);
    const double* const x = &arrays_.seriesX(1, slot);  // the slot's points are contiguous
    std::size_t compared = 0;
    if (slot == kReferenceSlot) {
        // The reference differs from itself by nothing over its span.
        comparedX_[compared++] = x[0];
        if (count > 1) comparedX_[compared++] = x[count - 1];
        std::fill_n(comparedY_.begin(), compared, 0.0);
    } else {
        const std::span<double> differences(differences_.data(), count);
        slotDifferences(arrays_, state_.selectedParameter, slot, differences);
        const auto index = static_cast<std::size_t>(slot - 1);
        statistics_.bySeries[index] = statisticsOf(differences);
        statisticsKnown_[index] = true;
        for (std::size_t k = 0; k < count; ++k) {
            if (std::isnan(differences[k])) continue;
            comparedX_[compared] = x[k];
            comparedY_[compared] = differences[k] * 1000.0;
            ++compared;
        }
    }
    series.AddPoints({comparedX_.data(), compared}, {comparedY_.data(), compared}, state_.mjdToDayOffset,
                     series.SeriesColor());
}

void DisplayCycle::refillAndScale() {
    const int seriesCount = static_cast<int>(chart_.series.size());
    bool anyShown = false;
    for (int i = 0; i < seriesCount; ++i)
        if (state_.seriesChecked[i] && !arrays_.seriesEmpty[i + 1]) anyShown = true;
    if (!anyShown) return;

    double low = kRangeSeedLow;
    double high = kRangeSeedHigh;
    for (int i = 0; i < seriesCount; ++i) {
        const int slot = i + 1;
        if (!state_.seriesChecked[i] || arrays_.seriesEmpty[slot]) continue;
        TChartSeries& series = *chart_.series[static_cast<std::size_t>(i)];
        if (state_.showDifferences) {
            addDifferencePoints(series, slot);
            if (series.Count() == 0) continue;
        } else {
            const auto count = static_cast<std::size_t>(arrays_.seriesCount[slot]);
            // A slot's points are contiguous in both tables.
            series.AddPoints({&arrays_.seriesX(1, slot), count}, {&arrays_.seriesY(1, slot), count},
                             state_.mjdToDayOffset, series.SeriesColor());
        }
        if (series.LowestY() < low) low = series.LowestY();
        if (series.HighestY() > high) high = series.HighestY();
    }
    if (state_.showDifferences) {
        // The differences have no scale table: any scale request fits them, and the fixed mode
        // keeps its setting for the series view, which serves the request again on return.
        const bool scaleRequested = state_.rescaleRequested || state_.autoFitRequested;
        if (scaleRequested) state_.seriesScaleDue = true;
        // Nothing compared: the range is centred on 0.
        if (low > high) low = high = 0.0;
        if (scaleRequested || state_.viewFitRequested) fitVerticalRange(low, high);
        return;
    }
    if (state_.rescaleRequested || state_.autoFitRequested) applyVerticalRange(low, high);
}

void DisplayCycle::fitVerticalRange(double low, double high) {
    TChartAxis& axis = chart_.leftAxis;
    const int grid = controls_.gridIndex();
    // Data without spread (a single value) keep the step in force and are centred with it.
    if (const auto increment = fittedIncrement(low, high, grid)) axis.setIncrement(*increment);
    setCentredRange(low, high, grid);
}

void DisplayCycle::setCentredRange(double low, double high, int grid) {
    TChartAxis& axis = chart_.leftAxis;
    const double increment = axis.Increment();
    if (!(increment > 0.0)) return;
    const AxisRange range = centredRange(low, high, increment, grid);
    axis.setMaximum(kLeftAxisSpread);
    axis.setMinimum(range.minimum);
    axis.setMaximum(range.maximum);
}

void DisplayCycle::applyVerticalRange(double low, double high) {
    if (state_.autoFitRequested) {
        fitVerticalRange(low, high);
        return;
    }
    TChartAxis& axis = chart_.leftAxis;
    const int grid = controls_.gridIndex();
    const int scale = controls_.scaleIndex();
    if (scale >= 0 && scale < kScaleCount) {
        const auto index = static_cast<std::size_t>(scale);
        const bool ut = usesUtScale(state_.selectedParameter);
        axis.setIncrement(ut ? scaleStepsUT[index] : scaleStepsXY[index]);
        controls_.setEditScaleText(ut ? scaleLabelsUT[index] : scaleLabelsXY[index]);
    }
    controls_.checkChoise();
    setCentredRange(low, high, grid);
}

bool DisplayCycle::runPass() {
    if (!state_.redrawRequested) return false;
    rebuild();
    return true;
}

void DisplayCycle::run(const PassServices& services) {
    const auto now = [&services] { return services.now ? services.now() : MonotonicClock::now(); };
    do {
        const MonotonicClock::time_point deadline = now() + kPassPeriod;
        try {
            runPass();
        } catch (const std::exception& error) {
            // Any failure of a rebuild, the program's own or the library's (no memory), is shown
            // like an error of a handler; its requests go, so that the next pass does not repeat it.
            clearRequests();
            if (services.showError) services.showError(error);
        }
        // A rebuild that took the whole period leaves no time for events in this pass.
        if (now() <= deadline) services.waitUntil(deadline);
    } while (state_.running && !(services.stopRequested && services.stopRequested()));
}

}  // namespace pvz
