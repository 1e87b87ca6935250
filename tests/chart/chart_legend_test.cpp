#include "chart/chart_legend.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/chart_errors.h"
#include "tests/chart/fake_chart.h"
#include "tests/support/expect_error.h"

namespace pvz {
namespace {

using test::CanvasCall;

class LegendWithElevenSeries : public testing::Test {
protected:
    LegendWithElevenSeries() {
        chart.plot = {8, 49, 796, 492};
        for (int i = 0; i < 11; ++i) {
            auto s = std::make_unique<TLineSeries>();
            s->setTitle(std::string("S").append(std::to_string(i)));
            s->setSeriesColor(rgbColor(10 * i, 0, 0));
            chart.add(*s);
            series.push_back(std::move(s));
        }
        legend.setColorWidth(50);
        legend.setShadowSize(0);
        chart.raster.textHeightPixels = 16;
    }

    test::FakeChart chart;
    std::vector<std::unique_ptr<TLineSeries>> series;
    TChartLegend legend{&chart};
};

TEST_F(LegendWithElevenSeries, RowsOfSixteenPixelsMakeA178PixelLegendWithTextAt16rPlus1) {
    Rect plot = chart.plot;
    legend.Draw(chart.raster, Rect{0, 0, 804, 566}, plot);
    ASSERT_EQ(legend.RowCount(), 11);
    EXPECT_EQ(legend.LegendRect().height(), 178);
    std::vector<int> textTops;
    std::vector<std::string> texts;
    for (const CanvasCall& c : chart.raster.calls)
        if (c.kind == CanvasCall::Kind::TextOut) {
            textTops.push_back(c.from.y - legend.LegendRect().top);
            texts.push_back(c.text);
            EXPECT_EQ(c.from.x, legend.geometry().textX);
        }
    ASSERT_EQ(textTops.size(), 11u);
    for (int r = 0; r < 11; ++r) {
        EXPECT_EQ(textTops[static_cast<std::size_t>(r)], 16 * r + 1);
        EXPECT_EQ(texts[static_cast<std::size_t>(r)], std::string("S").append(std::to_string(r)));
    }
    // Widest title "S10" is 24 pixels: sample Round(34 * 0.5) = 17.
    EXPECT_EQ(legend.SampleWidth(), 17);
    // The plot gives the legend its room and 3 % of its former width more.
    EXPECT_EQ(plot.right, legend.LegendRect().left - mulDiv(3, 788, 100));
}

TEST_F(LegendWithElevenSeries, SampleOfALineSeriesIsALineAcrossItsMiddleInTheSeriesColour) {
    Rect plot = chart.plot;
    legend.Draw(chart.raster, Rect{0, 0, 804, 566}, plot);
    std::vector<CanvasCall> lines;
    for (const CanvasCall& c : chart.raster.calls)
        if (c.kind == CanvasCall::Kind::LineTo) lines.push_back(c);
    ASSERT_EQ(lines.size(), 11u);
    for (int r = 0; r < 11; ++r) {
        SCOPED_TRACE(r);
        const Rect sample = legend.geometry().sampleRect(r);
        const CanvasCall& line = lines[static_cast<std::size_t>(r)];
        EXPECT_EQ(line.from, (Point{sample.left, (sample.top + sample.bottom) / 2}));
        EXPECT_EQ(line.to, (Point{sample.right, (sample.top + sample.bottom) / 2}));
        EXPECT_EQ(line.state.pen.color, rgbColor(10 * r, 0, 0));
    }
}

// The pointer over a row finds the series that the row shows, at every corner of the row's
// band, and nothing on the legend's one-pixel margins or beside it; an inverted legend and a
// series left out of the legend move the rows with them.
TEST_F(LegendWithElevenSeries, PointOverARowFindsTheSeriesItShows) {
    Rect unused;
    EXPECT_EQ(legend.ItemAt({0, 0}, &unused), nullptr);  // not drawn yet
    series[4]->setActive(false);
    for (const bool inverted : {false, true}) {
        SCOPED_TRACE(inverted ? "inverted" : "in chart order");
        legend.setInverted(inverted);
        Rect plot = chart.plot;
        legend.Draw(chart.raster, Rect{0, 0, 804, 566}, plot);
        const Rect r = legend.LegendRect();
        ASSERT_EQ(legend.RowCount(), 10);
        for (int row = 0; row < 10; ++row) {
            SCOPED_TRACE(row);
            const int shown = inverted ? 9 - row : row;
            const TChartSeries* expected = series[static_cast<std::size_t>(shown < 4 ? shown : shown + 1)].get();
            const int top = r.top + 1 + 16 * row;
            for (const Point p :
                 {Point{r.left, top}, Point{r.right - 1, top}, Point{r.left, top + 15}, Point{r.right - 1, top + 15}}) {
                Rect band;
                const TCustomChartLegend::Item* item = legend.ItemAt(p, &band);
                ASSERT_NE(item, nullptr);
                EXPECT_EQ(item->series, expected);
                EXPECT_EQ(band, (Rect{r.left, top, r.right, top + 16}));
            }
            EXPECT_EQ(legend.ItemAt({r.left - 1, top}), nullptr);
            EXPECT_EQ(legend.ItemAt({r.right, top}), nullptr);
        }
        EXPECT_EQ(legend.ItemAt({r.left, r.top}), nullptr);
        EXPECT_EQ(legend.ItemAt({r.left, r.bottom - 1}), nullptr);
    }
}

TEST_F(LegendWithElevenSeries, SeriesWithoutPointsIsStillListedAndInactiveOnesAreNot) {
    series[3]->AddPoint(1, 1);
    series[4]->setActive(false);
    series[5]->setShowInLegend(false);
    std::vector<TCustomChartLegend::Item> items;
    legend.collectItems(items);
    ASSERT_EQ(items.size(), 9u);
    EXPECT_EQ(items[0].series, series[0].get());
    EXPECT_EQ(items[4].series, series[6].get());
    EXPECT_EQ(legend.resolvedStyle(), lsSeries);
}

TEST_F(LegendWithElevenSeries, RowTextFallsBackToTheNameAndThenToSeriesAndTheRow) {
    series[0]->setTitle("");
    series[0]->setName("Series1");
    series[1]->setTitle("");
    legend.setFirstValue(0);
    std::vector<TCustomChartLegend::Item> items;
    legend.collectItems(items);
    EXPECT_EQ(items[0].text, "Series1");
    EXPECT_EQ(items[1].text, "Series 1");
    legend.setFirstValue(2);
    legend.collectItems(items);
    EXPECT_EQ(items.size(), 9u);
    EXPECT_EQ(items[0].text, "S2");
}

// A legend on a chart of two line series.
class TwoSeriesLegend : public ::testing::Test {
protected:
    TwoSeriesLegend() {
        chart.add(one);
        chart.add(two);
    }
    test::FakeChart chart;
    TLineSeries one;
    TLineSeries two;
    TChartLegend legend{&chart};
};

TEST_F(TwoSeriesLegend, AutomaticStyleListsValuesWithFewerThanTwoActiveSeries) {
    EXPECT_EQ(legend.resolvedStyle(), lsSeries);
    two.setActive(false);
    EXPECT_EQ(legend.resolvedStyle(), lsValues);
    legend.setLegendStyle(lsSeries);
    EXPECT_EQ(legend.resolvedStyle(), lsSeries);
}

TEST(Legend, ColourWidthOutside0To100IsRefused) {
    TChartLegend legend(nullptr);
    for (int bad : {-1, 101}) {
        SCOPED_TRACE(bad);
        test::expectError<LegendException>([&] { legend.setColorWidth(bad); },
                                           "Legend Color Width must be between 0 and 100 %");
    }
    legend.setColorWidth(0);
    legend.setColorWidth(100);
    EXPECT_EQ(legend.ColorWidth(), 100);
}

TEST_F(TwoSeriesLegend, NoRowsDrawNothingAndKeepThePlot) {
    Rect plot{8, 40, 796, 50};  // the legend's top (10 % of 566) lies below the plot
    legend.Draw(chart.raster, Rect{0, 0, 804, 566}, plot);
    EXPECT_EQ(legend.RowCount(), 0);
    EXPECT_EQ(plot, (Rect{8, 40, 796, 50}));
    EXPECT_EQ(chart.raster.count(CanvasCall::Kind::Rectangle), 0);
    EXPECT_EQ(chart.raster.count(CanvasCall::Kind::TextOut), 0);
}

TEST_F(TwoSeriesLegend, ShadowIsDrawnBeforeTheFramedBackground) {
    legend.setShadowColor(clGray);
    Rect plot{8, 40, 796, 500};
    legend.Draw(chart.raster, Rect{0, 0, 804, 566}, plot);
    ASSERT_GE(chart.raster.calls.size(), 2u);
    const CanvasCall& shadow = chart.raster.calls[0];
    const CanvasCall& background = chart.raster.calls[1];
    EXPECT_EQ(shadow.kind, CanvasCall::Kind::FillRect);
    EXPECT_EQ(shadow.state.brush.color, clGray);
    EXPECT_EQ(background.kind, CanvasCall::Kind::Rectangle);
    EXPECT_EQ(background.rect, legend.LegendRect().inflated(1, 1));
    EXPECT_EQ(shadow.rect, background.rect.translated(3, 3));
    EXPECT_EQ(background.state.brush.color, clWhite);
}

}  // namespace
}  // namespace pvz
