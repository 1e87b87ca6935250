#pragma once
// The values the viewer's form gives its chart, its legend and its eleven line series. Apply
// them as the form description is applied: the chart's loading state is on meanwhile, so the
// range checks and cascades of the axes and the back wall's brush rule behave as when loading.

#include "chart/chart_panel.h"
#include "chart/line_series.h"

namespace pvz {

inline constexpr int kViewerSeriesCount = 11;

// Margins, gradient, walls, title, flat view, axes and legend of the viewer's chart.
void applyViewerChartDefaults(TChart& chart);

// Title, colour, line and pointer of the series at `chartIndex` (0 to 10, chart order).
void applyViewerSeriesDefaults(TLineSeries& series, int chartIndex);

}  // namespace pvz
