#pragma once
// A chart without a window for series and legend tests: two axes over a fixed plot rectangle,
// a recording canvas and a count of repaint requests.

#include <vector>

#include "chart/chart_axis.h"
#include "chart/chart_owner.h"
#include "chart/chart_series.h"
#include "chart/line_series.h"
#include "tests/chart/raster_canvas.h"

namespace pvz::test {

class FakeChart : public ChartOwner, public SeriesAxesProvider {
public:
    // Both axes map 0..100 onto the plot (10, 10, 110, 110): x = 10 + v, y = 110 - v.
    FakeChart() { setRanges(0, 100, 0, 100); }

    void setRanges(double xMin, double xMax, double yMin, double yMax) {
        for (TChartAxis* axis : {&bottom, &left}) {
            axis->setAutomatic(false);
            axis->setStartPosition(0);
        }
        bottom.setMinMax(xMin, xMax);
        left.setMinMax(yMin, yMax);
        for (TChartAxis* axis : {&bottom, &left}) {
            axis->AdjustRange();
            axis->ComputePixelSpan();
        }
    }

    void add(TChartSeries& s) {
        s.setParentChart(this);
        series.push_back(&s);
    }

    SeriesDrawContext context() { return SeriesDrawContext{raster, bottom, left, plot}; }

    void requestRepaint() override { ++repaints; }
    bool isLoading() const override { return false; }
    int seriesCount() const override { return static_cast<int>(series.size()); }
    const TChartSeries& seriesAt(int index) const override { return *series[static_cast<std::size_t>(index)]; }
    Rect plotRect() const override { return plot; }
    Canvas& canvas() override { return raster; }
    int wallSizeForAxis(const TCustomChartAxis&) const override { return 0; }
    const TAxisOnGetNextLabel& getNextAxisLabelHandler() const override { return nextLabel_; }
    const TAxisOnGetLabel& getAxisLabelHandler() const override { return label_; }
    const TCustomChartAxis& horizAxisOf(const TChartSeries&) const override { return bottom; }
    const TCustomChartAxis& vertAxisOf(const TChartSeries&) const override { return left; }

    Rect plot{10, 10, 110, 110};
    RasterCanvas raster{200, 200};
    TChartAxis bottom{this, AxisPlace::Bottom};
    TChartAxis left{this, AxisPlace::Left};
    std::vector<TChartSeries*> series;
    int repaints = 0;

private:
    TAxisOnGetNextLabel nextLabel_;
    TAxisOnGetLabel label_;
};

}  // namespace pvz::test
