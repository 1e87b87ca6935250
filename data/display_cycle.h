#pragma once
// The display cycle: after loading, the Start handler runs passes until the program ends. A
// pass rebuilds the chart when a handler asked for it, then lets the window process its events
// for the rest of the pass period. A rebuild turns the store into the chart's series and axis
// ranges through the arithmetic of series_building.h.

#include <array>
#include <chrono>
#include <functional>
#include <span>
#include <string_view>

#include "chart/chart_axis.h"
#include "chart/chart_series.h"
#include "data/observation_store.h"
#include "data/series_building.h"
#include "data/series_statistics.h"
#include "data/viewer_state.h"

namespace pvz {

// What a rebuild reads from and writes to the window's controls. The main window implements it
// over its real controls.
class DisplayControls {
public:
    struct SeriesBox {
        int tag = 0;
        bool checked = false;
    };

    virtual ~DisplayControls() = default;

    virtual int parameterIndex() const = 0;  // RadioGroupPVZ
    virtual int trendIndex() const = 0;      // RadioGroupTrend
    virtual int intervalIndex() const = 0;   // RadioGroupInterval
    virtual int gridIndex() const = 0;       // ComboBoxGrid
    virtual int scaleIndex() const = 0;      // ComboBoxScaleY

    // The check boxes that sit directly on the chart, in the chart's child order.
    virtual int seriesBoxCount() const = 0;
    virtual SeriesBox seriesBox(int index) const = 0;

    virtual void setEditScaleText(std::string_view text) = 0;
    // Checks CheckBoxChoise; its click handler runs at once when it was unchecked.
    virtual void checkChoise() = 0;
    // The status line's text.
    virtual void setStatusText(std::string_view text) = 0;
};

// The parts of the chart that a rebuild drives.
struct DisplayChart {
    TChartAxis& bottomAxis;
    TChartAxis& leftAxis;
    std::span<TChartSeries* const> series;  // by chart series index (slot - 1)
};

using MonotonicClock = std::chrono::steady_clock;

// What the pass loop needs of the platform.
struct PassServices {
    // Processes window events until the deadline without spinning.
    std::function<void(MonotonicClock::time_point deadline)> waitUntil;
    // Shows the message of a rebuild that failed.
    std::function<void(const std::exception& error)> showError;
    // The monotonic clock that times the passes; steady_clock when empty.
    std::function<MonotonicClock::time_point()> now;
    // Asked at the end of every pass: true makes the cycle return although `running` is still
    // set (the headless driver, between two of its actions). Never when empty.
    std::function<bool()> stopRequested;
};

// The pass period as a duration: 2.314e-7 day, 19.99296 ms.
inline constexpr MonotonicClock::duration kPassPeriod = std::chrono::duration_cast<MonotonicClock::duration>(
    std::chrono::duration<long double, std::milli>(kPassPeriodDays * 86400000.0L));

class DisplayCycle {
public:
    DisplayCycle(const ObservationStore& store, SeriesArrays& arrays, ViewerState& state, DisplayChart chart,
                 DisplayControls& controls);

    // Rebuilds the series and axis ranges from the store and the controls: reads the
    // selectors, sets the window and the date axis, extracts the checked sources, removes the
    // common trend unless it is shown, refills the series (in the differences view with their
    // differences from the reference) and fits the vertical range. A rebuild abandoned for want
    // of the reference or the trend series says so on the status line; the next one that builds
    // puts the ready status back.
    void rebuild();

    // One pass without its wait: a rebuild when redrawRequested is set. Returns whether it rebuilt.
    bool runPass();

    // Passes until `running` is false at the end of a pass (or the services ask it to stop). The
    // passes are timed on a monotonic clock, so a wall clock stepping back cannot lengthen the
    // wait. A rebuild that fails is reported and its requests are dropped; the cycle goes on.
    // Entering it again goes on with the next pass as if it had never returned.
    void run(const PassServices& services);

    // Each source against the reference over what the last rebuild extracted; none when it built
    // no series. Computed at the first call after a rebuild and kept until the next one, so that
    // a rebuild that nobody asks about compares nothing.
    const SeriesStatistics& statistics();

private:
    // Refills the checked series that have points, and sets the vertical range when a scale
    // request is pending.
    void refillAndScale();
    // Puts the differences of slot `slot` from the reference (in thousandths of the series' unit)
    // into `series`, the reference itself as a line at 0 over its span.
    void addDifferencePoints(TChartSeries& series, int slot);
    // The status line after a rebuild: the missing series, or ready.
    void reportOutcome(ExtractionOutcome outcome);
    void applyVerticalRange(double low, double high);
    // The range fitted to [low, high] with the grid density in force.
    void fitVerticalRange(double low, double high);
    // The range centred on [low, high] with the step in force.
    void setCentredRange(double low, double high, int grid);
    void clearRequests();

    const ObservationStore& store_;
    SeriesArrays& arrays_;
    ViewerState& state_;
    DisplayChart chart_;
    DisplayControls& controls_;
    SeriesStatistics statistics_;
    bool statisticsDue_ = false;  // the last rebuild built series that statistics_ does not cover yet
    std::array<bool, kSeriesSlotCount> statisticsKnown_{};  // by chart series index
    bool abandonmentShown_ = false;
    // Room for one slot's differences and the compared points' coordinates.
    std::array<double, kPointCount> differences_{};
    std::array<double, kPointCount> comparedX_{};
    std::array<double, kPointCount> comparedY_{};
};

}  // namespace pvz
