#pragma once
// The chart of the viewer's form: panel, gradient, walls, title, axes, the eleven line series
// with their titles, colours and markers, and the legend, as the viewer sets them up.

#include <span>

#include "chart/chart_panel.h"
#include "chart/line_series.h"
#include "data/observation_store.h"

namespace pvz {

// The chart's title in the series view; the differences view names the reference and the unit.
inline constexpr const char* kSeriesViewTitle = "ПВЗ КВЕЛ";

// The window's chart. A drawing without a single point leaves the date axis's minimum where the
// window set it, instead of letting the automatic minimum fall to day 0 (30 December 1899).
class TViewerChart : public TChart {
public:
    using TChart::TChart;

protected:
    void LayoutAxes() override;
    void LayoutSeriesMargins() override;

private:
    void setBottomAutomaticMinimumQuietly(bool on);
    bool minimumHeld_ = false;
};

// Sets up `chart` as the viewer shows it and adds `series` (chart order: Series1, 2, 3, 5 to
// 10, 4, 11) to it. The values are applied with the chart loading: unchecked, and without the
// cascades that a setter otherwise triggers.
void configureViewerChart(TChart& chart, std::span<TLineSeries* const, kSeriesSlotCount> series);

// The viewer's starting values for its axes. Apply them while the chart is being loaded: the
// range checks and the Automatic cascade are off then, so values that are only consistent
// together can be set one after the other.
void applyViewerBottomAxisDefaults(TChartAxis& axis);
void applyViewerLeftAxisDefaults(TChartAxis& axis);
// Top and right axes: hidden.
void applyViewerHiddenAxisDefaults(TChartAxis& axis);

}  // namespace pvz
