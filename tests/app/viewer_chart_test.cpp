#include "app/viewer_chart.h"

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/window_system.h"
#include "tests/chart/axis_test_chart.h"

namespace pvz {
namespace {

TEST(ViewerChart, AxesAsTheFormDeclaresThem) {
    test::TestChart chart;
    TChartAxis bottom(&chart, AxisPlace::Bottom);
    TChartAxis left(&chart, AxisPlace::Left);
    TChartAxis top(&chart, AxisPlace::Top);
    chart.loading = true;
    applyViewerBottomAxisDefaults(bottom);
    applyViewerLeftAxisDefaults(left);
    applyViewerHiddenAxisDefaults(top);
    chart.loading = false;

    // Loaded without the cascade, the bottom axis keeps an automatic maximum until the
    // start-up sets Automatic to false, which clears it.
    EXPECT_FALSE(bottom.Automatic());
    EXPECT_FALSE(bottom.AutomaticMinimum());
    EXPECT_TRUE(bottom.AutomaticMaximum());
    EXPECT_FALSE(left.Automatic());
    EXPECT_FALSE(left.AutomaticMinimum());
    EXPECT_FALSE(left.AutomaticMaximum());
    EXPECT_EQ(left.Maximum(), 0.01);
    EXPECT_FALSE(top.Visible());
    bottom.setAutomatic(false);
    EXPECT_FALSE(bottom.AutomaticMaximum());
}

// The viewer's own chart, eleven series of which only some have points.
TEST(ViewerChart, LegendListsEverySeriesBesideThePlotAndThePlotGivesWay) {
    Form form;
    form.setBounds(0, 0, 804, 566);
    TChart chart(&form);
    chart.setBounds(0, 0, 804, 566);
    std::vector<std::unique_ptr<TLineSeries>> series;
    std::array<TLineSeries*, kSeriesSlotCount> byIndex{};
    for (int i = 0; i < kSeriesSlotCount; ++i) {
        series.push_back(std::make_unique<TLineSeries>());
        byIndex[static_cast<std::size_t>(i)] = series.back().get();
    }
    configureViewerChart(chart, byIndex);
    for (int d = 0; d < 28; ++d) series[1]->AddPoint(43000 + d, 0.001 * (d % 5));
    chart.BottomAxis().setMinMax(43000, 43028);
    chart.LeftAxis().setMinMax(-0.005, 0.01);
    chart.drawToBitmap();

    const TChartLegend& legend = chart.Legend();
    ASSERT_EQ(legend.RowCount(), kSeriesSlotCount);
    chart.ChartCanvas().font() = legend.Font();
    const int h = chart.ChartCanvas().textHeight("W");
    EXPECT_EQ(legend.LegendRect().height(), kSeriesSlotCount * h + 2);
    EXPECT_EQ(legend.LegendRect().top, 57);
    EXPECT_EQ(legend.LegendRect().right, 796 - 2);  // the frame, no shadow
    const int widest = legend.LegendRect().width() - legend.SampleWidth() - 10;
    EXPECT_EQ(legend.SampleWidth(), static_cast<int>(std::nearbyint((widest + 10) * 0.5)));
    // The plot ends 3 % of its former width left of the legend; no axis stands on the right.
    EXPECT_EQ(chart.PlotRect().right, legend.LegendRect().left - mulDiv(3, 788, 100));
    EXPECT_GT(chart.PlotRect().top, 28);
    // The legend's background is white inside its black frame.
    const Rect r = legend.LegendRect();
    EXPECT_EQ(chart.bitmap().pixel(r.left - 1, r.top + 5), clBlack);
    EXPECT_EQ(chart.bitmap().pixel(r.left + 1, r.top + 1), clWhite);
    for (auto& s : series) chart.removeSeries(*s);
}

}  // namespace
}  // namespace pvz
