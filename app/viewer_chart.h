#pragma once
// The chart of the viewer's form: panel, gradient, walls, title, axes, the eleven line series
// with their titles, colours and markers, and the legend, as the form declares them.

#include <span>

#include "chart/chart_panel.h"
#include "chart/line_series.h"
#include "data/observation_store.h"

namespace pvz {

// Applies the form's values to `chart` and adds `series` (chart order: Series1, 2, 3, 5 to
// 10, 4, 11) to it. The values are applied as the stored form is: with the chart loading.
void configureViewerChart(TChart& chart, std::span<TLineSeries* const, kSeriesSlotCount> series);

}  // namespace pvz
