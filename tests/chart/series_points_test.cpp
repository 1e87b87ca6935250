// Point storage against a straightforward model, and the bulk add against adding one by one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "chart/chart_series.h"
#include "tests/chart/axis_test_chart.h"

namespace pvz {
namespace {

struct ModelPoint {
    double x;
    double y;
    std::string label;
    Color color;
};

void expectSeriesHolds(const TChartSeries& series, const std::vector<ModelPoint>& model) {
    ASSERT_EQ(series.Count(), static_cast<int>(model.size()));
    for (int i = 0; i < series.Count(); ++i) {
        SCOPED_TRACE(i);
        const ModelPoint& p = model[static_cast<std::size_t>(i)];
        EXPECT_EQ(series.XValues().value(i), p.x);
        EXPECT_EQ(series.YValues().value(i), p.y);
        EXPECT_EQ(series.pointLabel(i), p.label);
        EXPECT_EQ(series.pointColor(i), p.color);
    }
}

TEST(SeriesPoints, ColoursAndLabelsOfRandomAddsMatchAStableSortedModel) {
    std::mt19937 random(1975);
    const Color palette[] = {clDefault, clRed, clRed, clRed, clBlue};
    for (int trial = 0; trial < 200; ++trial) {
        SCOPED_TRACE(trial);
        TChartSeries series;
        std::vector<ModelPoint> model;
        const int n = static_cast<int>(random() % 40);
        for (int k = 0; k < n; ++k) {
            const double x = trial % 2 == 0 ? k : static_cast<double>(random() % 10);
            const std::string label = random() % 6 == 0 ? std::string("m").append(std::to_string(k)) : "";
            const Color color = palette[random() % (trial % 3 == 0 ? 1 : 5)];
            const int index = series.AddPoint(x, k, label, color);
            const auto at =
                std::upper_bound(model.begin(), model.end(), x, [](double v, const ModelPoint& p) { return v < p.x; });
            EXPECT_EQ(index, at - model.begin());
            model.insert(at, {x, static_cast<double>(k), label, color});
        }
        expectSeriesHolds(series, model);
        series.ClearPoints();
        series.AddPoint(1, 1, {}, clGreen);
        expectSeriesHolds(series, {{1, 1, "", clGreen}});
    }
}

TEST(SeriesPoints, BulkAddEqualsAddingOneByOneWithOneNotification) {
    struct Case {
        const char* what;
        std::vector<double> x;
        bool labelledPointFirst;
        bool otherColourFirst;
        bool handlers;
        bool active;
    };
    const double nan = std::nan("");
    const Case cases[] = {
        {"ascending into an empty series", {1, 2, 3, 4}, false, false, false, true},
        {"out of order", {4, 1, 3, 3, 2, 5}, false, false, false, true},
        {"after a labelled point", {1, 2, 0.5}, true, false, false, true},
        {"after a point of another colour", {1, 2, 3}, false, true, false, true},
        {"with handlers that refuse x = 2", {3, 2, 1, 2, 4}, false, false, true, true},
        {"nothing to add", {}, false, false, false, true},
        {"inactive series", {1, 2}, false, false, false, false},
        {"not a number", {1, nan, 2}, false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TestChart chart;
        TChartSeries single;
        TChartSeries bulk;
        std::vector<int> afterSingle, afterBulk;
        for (TChartSeries* s : {&single, &bulk}) {
            chart.add(*s);
            s->setActive(c.active);
            if (c.labelledPointFirst) s->AddPoint(1, 9, "first", clRed);
            if (c.otherColourFirst) s->AddPoint(0, 9, {}, clBlue);
            if (c.handlers) {
                s->OnBeforeAdd = [](TChartSeries& t) { return t.XValues().TempValue() != 2; };
                s->OnAfterAdd = [s, &afterSingle, &afterBulk, &single](TChartSeries&, int index) {
                    (s == &single ? afterSingle : afterBulk).push_back(index);
                };
            }
        }
        const double offset = 0.5;
        std::vector<double> y;
        for (std::size_t i = 0; i < c.x.size(); ++i) y.push_back(10.0 * static_cast<double>(i));

        chart.repaints = 0;
        int addedSingly = 0;
        for (std::size_t i = 0; i < c.x.size(); ++i)
            if (single.AddPoint(c.x[i] + offset, y[i], {}, clRed) >= 0) ++addedSingly;
        const int singleRepaints = chart.repaints;
        chart.repaints = 0;
        EXPECT_EQ(bulk.AddPoints(c.x, y, offset, clRed), addedSingly);
        EXPECT_EQ(chart.repaints, c.active && addedSingly > 0 ? 1 : 0);
        EXPECT_EQ(singleRepaints, c.active ? addedSingly : 0);

        ASSERT_EQ(bulk.Count(), single.Count());
        for (int i = 0; i < single.Count(); ++i) {
            SCOPED_TRACE(i);
            const double sx = single.XValues().value(i), bx = bulk.XValues().value(i);
            EXPECT_TRUE(sx == bx || (std::isnan(sx) && std::isnan(bx)));
            EXPECT_EQ(bulk.YValues().value(i), single.YValues().value(i));
            EXPECT_EQ(bulk.pointColor(i), single.pointColor(i));
            EXPECT_EQ(bulk.pointLabel(i), single.pointLabel(i));
        }
        EXPECT_EQ(afterBulk, afterSingle);
        if (!c.x.empty()) {
            EXPECT_EQ(bulk.YValues().TempValue(), single.YValues().TempValue());
        }
        EXPECT_EQ(bulk.LowestY(), single.LowestY());
        EXPECT_EQ(bulk.HighestY(), single.HighestY());
    }
}

}  // namespace
}  // namespace pvz
