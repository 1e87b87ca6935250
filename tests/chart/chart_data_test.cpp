#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/chart_series.h"
#include "chart/chart_values.h"
#include "tests/chart/axis_test_chart.h"

namespace pvz {
namespace {

std::vector<double> valuesOf(const TChartValueList& list) { return {list.values().begin(), list.values().end()}; }

struct OrderCase {
    TChartListOrder order;
    std::vector<double> added;
    std::vector<int> indices;  // returned by each add
    std::vector<double> stored;
};

TEST(ChartValueList, InsertsByOrderKeepingEqualValuesInInsertionOrder) {
    const OrderCase cases[] = {
        {loNone, {5, 3, 4, 3}, {0, 1, 2, 3}, {5, 3, 4, 3}},
        {loAscending, {5, 3, 4, 3}, {0, 0, 1, 1}, {3, 3, 4, 5}},
        {loAscending, {1, 2, 2, 3}, {0, 1, 2, 3}, {1, 2, 2, 3}},
        {loAscending, {2, 2, 1, 2}, {0, 1, 0, 3}, {1, 2, 2, 2}},
        {loDescending, {3, 5, 4, 5}, {0, 0, 1, 1}, {5, 5, 4, 3}},
        {loDescending, {1, 1, 2}, {0, 1, 0}, {2, 1, 1}},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.added) + " order " + std::to_string(c.order));
        TChartValueList list("X", c.order);
        std::vector<int> indices;
        for (const double v : c.added) indices.push_back(list.addValue(v));
        EXPECT_EQ(indices, c.indices);
        EXPECT_EQ(valuesOf(list), c.stored);
    }
}

struct StatisticsCase {
    std::vector<double> values;
    double min, max, total, totalAbs;
};

TEST(ChartValueList, StatisticsOfTheWholeList) {
    const StatisticsCase cases[] = {
        {{}, 0, 0, 0, 0},        {{-2.5}, -2.5, -2.5, -2.5, 2.5}, {{3, -1, 7, -4}, -4, 7, 5, 15},
        {{1, 1, 1}, 1, 1, 3, 3}, {{-1, -3, -2}, -3, -1, -6, 6},
    };
    for (const StatisticsCase& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.values));
        TChartValueList list;
        for (const double v : c.values) list.addValue(v);
        EXPECT_EQ(list.minValue(), c.min);
        EXPECT_EQ(list.maxValue(), c.max);
        EXPECT_EQ(list.total(), c.total);
        EXPECT_EQ(list.totalAbs(), c.totalAbs);
    }
}

TEST(ChartValueList, StatisticsFollowEveryKindOfChange) {
    TChartValueList list("Y");
    list.addValue(2);
    EXPECT_EQ(list.maxValue(), 2);
    list.addValue(9);
    EXPECT_EQ(list.maxValue(), 9);
    list.setValue(1, -5);
    EXPECT_EQ(list.minValue(), -5);
    EXPECT_EQ(list.maxValue(), 2);
    list.insertValue(0, 11);
    EXPECT_EQ(list.maxValue(), 11);
    list.deleteValue(0);
    EXPECT_EQ(list.maxValue(), 2);
    list.clearValues();
    EXPECT_EQ(list.minValue(), 0);
    EXPECT_EQ(list.maxValue(), 0);
    EXPECT_EQ(list.total(), 0);
}

TEST(ChartSeries, AscendingInsertCarriesYColourAndLabelWithX) {
    TChartSeries series;
    const double xs[] = {5, 3, 4, 3};
    const double ys[] = {50, 31, 40, 32};
    const Color colors[] = {clRed, clGreen, clBlue, clYellow};
    const char* labels[] = {"a", "b", "c", "d"};
    for (int i = 0; i < 4; ++i) series.AddPoint(xs[i], ys[i], labels[i], colors[i]);

    EXPECT_EQ(valuesOf(series.XValues()), (std::vector<double>{3, 3, 4, 5}));
    EXPECT_EQ(valuesOf(series.YValues()), (std::vector<double>{31, 32, 40, 50}));
    const Color expectedColors[] = {clGreen, clYellow, clBlue, clRed};
    const char* expectedLabels[] = {"b", "d", "c", "a"};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(series.pointColor(i), expectedColors[i]);
        EXPECT_EQ(series.pointLabel(i), expectedLabels[i]);
    }
    EXPECT_EQ(series.Count(), 4);
    EXPECT_EQ(series.LowestX(), 3);
    EXPECT_EQ(series.HighestX(), 5);
    EXPECT_EQ(series.LowestY(), 31);
    EXPECT_EQ(series.HighestY(), 50);
}

TEST(ChartSeries, ClearedSeriesReportsZeroExtents) {
    TChartSeries series;
    int cleared = 0;
    series.OnClearValues = [&](TChartSeries&) { ++cleared; };
    series.AddPoint(42747, -0.25);
    series.AddPoint(42748, 0.75);
    series.ClearPoints();
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(series.Count(), 0);
    EXPECT_EQ(series.LowestY(), 0);
    EXPECT_EQ(series.HighestY(), 0);
    EXPECT_EQ(series.LowestX(), 0);
    EXPECT_EQ(series.HighestX(), 0);
    EXPECT_EQ(series.AddPoint(1, 2), 0);
    EXPECT_EQ(series.LowestY(), 2);
}

TEST(ChartSeries, BeforeAddSeesThePointAndCanRefuseIt) {
    TChartSeries series;
    std::vector<std::pair<double, double>> offered;
    series.OnBeforeAdd = [&](TChartSeries& s) {
        offered.emplace_back(s.XValues().TempValue(), s.YValues().TempValue());
        return s.XValues().TempValue() != 2;
    };
    std::vector<int> added;
    series.OnAfterAdd = [&](TChartSeries&, int index) { added.push_back(index); };

    EXPECT_EQ(series.AddPoint(3, 30), 0);
    EXPECT_EQ(series.AddPoint(2, 20), -1);
    EXPECT_EQ(series.AddPoint(1, 10), 0);
    EXPECT_EQ(offered, (std::vector<std::pair<double, double>>{{3, 30}, {2, 20}, {1, 10}}));
    EXPECT_EQ(added, (std::vector<int>{0, 0}));
    EXPECT_EQ(valuesOf(series.XValues()), (std::vector<double>{1, 3}));
    EXPECT_EQ(valuesOf(series.YValues()), (std::vector<double>{10, 30}));
}

TEST(ChartSeries, NotifiesTheChartOnlyOnRealChanges) {
    const test::RepaintStep<TChartSeries> steps[] = {
        {"same colour", [](TChartSeries& s) { s.setSeriesColor(s.SeriesColor()); }, 0},
        {"new colour", [](TChartSeries& s) { s.setSeriesColor(clAqua); }, 1},
        {"same title", [](TChartSeries& s) { s.setTitle(s.Title()); }, 0},
        {"new title", [](TChartSeries& s) { s.setTitle("КВЕЛ"); }, 1},
        {"same legend flag", [](TChartSeries& s) { s.setShowInLegend(true); }, 0},
        {"legend flag", [](TChartSeries& s) { s.setShowInLegend(false); }, 1},
        {"clear empty", [](TChartSeries& s) { s.ClearPoints(); }, 0},
        {"add point", [](TChartSeries& s) { s.AddPoint(1, 2); }, 1},
        {"clear points", [](TChartSeries& s) { s.ClearPoints(); }, 1},
        {"same active", [](TChartSeries& s) { s.setActive(true); }, 0},
        {"deactivate", [](TChartSeries& s) { s.setActive(false); }, 1},
        {"add to inactive", [](TChartSeries& s) { s.AddPoint(1, 2); }, 0},
        {"clear inactive", [](TChartSeries& s) { s.ClearPoints(); }, 0},
        {"activate", [](TChartSeries& s) { s.setActive(true); }, 1},
        {"refused point",
         [](TChartSeries& s) {
             s.OnBeforeAdd = [](TChartSeries&) { return false; };
             s.AddPoint(1, 2);
         },
         0},
    };
    test::TestChart chart;
    TChartSeries series;
    chart.add(series);
    test::expectRepaints(chart, series, steps);
}

TEST(ChartSeries, ClearingDuringTheChartsDestructionNotifiesNothing) {
    test::TestChart chart;
    TChartSeries series;
    chart.add(series);
    series.AddPoint(1, 2);
    chart.destroying = true;
    chart.repaints = 0;
    series.ClearPoints();
    EXPECT_EQ(chart.repaints, 0);
    EXPECT_EQ(series.Count(), 0);
}

TEST(ChartSeries, AssociationWithTheFourAxes) {
    test::TestChart chart;
    const TChartAxis bottom(&chart, AxisPlace::Bottom), top(&chart, AxisPlace::Top);
    const TChartAxis left(&chart, AxisPlace::Left), right(&chart, AxisPlace::Right);
    const TChartDepthAxis depth(&chart);
    struct Case {
        THorizAxis horiz;
        TVertAxis vert;
        bool bottom, top, left, right;
    };
    const Case cases[] = {
        {aBottomAxis, aLeftAxis, true, false, true, false},
        {aTopAxis, aRightAxis, false, true, false, true},
        {aBothHorizAxis, aBothVertAxis, true, true, true, true},
        {aCustomHorizAxis, aCustomVertAxis, false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.horiz) + "/" + std::to_string(c.vert));
        TChartSeries series;
        series.setHorizAxis(c.horiz);
        series.setVertAxis(c.vert);
        EXPECT_EQ(series.associatedToAxis(bottom), c.bottom);
        EXPECT_EQ(series.associatedToAxis(top), c.top);
        EXPECT_EQ(series.associatedToAxis(left), c.left);
        EXPECT_EQ(series.associatedToAxis(right), c.right);
        EXPECT_FALSE(series.associatedToAxis(depth));
    }
}

}  // namespace
}  // namespace pvz
