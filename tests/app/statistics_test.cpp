// Each source against the reference through the real window on the real data set: the numbers
// against an independent re-computation from the plotted points, their independence of the
// trend selector, the tips of the check boxes and legend rows, and the headless report.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "app/statistics_hints.h"
#include "runtime/formatting.h"
#include "runtime/window_system_input.h"
#include "tests/app/viewer_fixture.h"
#include "tests/support/decimal_comma.h"
#include "tests/support/pictures.h"

namespace pvz {
namespace {

using testing::ViewerTest;

// The plotted points of a chart series as (MJD, value).
struct Points {
    std::vector<long double> x;
    std::vector<long double> y;
};

Points plotted(TForm1& f, int index) {
    Points p;
    const TChartSeries& s = f.seriesAt(index);
    for (int k = 0; k < s.Count(); ++k) {
        p.x.push_back(static_cast<long double>(s.XValues()[k]) - f.state.mjdToDayOffset);
        p.y.push_back(s.YValues()[k]);
    }
    return p;
}

// The definition read literally, in extended precision: for each source point within the
// reference's first and last epoch, the first reference point at or after it, its value there
// or the straight line from the point before (none across more than three days), whole seconds
// taken out of that line's step and of the difference for UT; then the mean and the scatter
// over n - 1. The differences in the order of the source's points; NaN where not compared.
std::vector<long double> recomputedDifferences(const Points& reference, const Points& source, bool ut) {
    std::vector<long double> d;
    for (std::size_t k = 0; k < source.x.size(); ++k) {
        const long double x = source.x[k];
        d.push_back(NAN);
        if (reference.x.size() < 2 || x < reference.x.front() || x > reference.x.back()) continue;
        std::size_t j = 0;
        while (reference.x[j] < x) ++j;
        long double r = reference.y[j];
        if (reference.x[j] != x) {
            if (reference.x[j] - reference.x[j - 1] > 3) continue;
            long double step = reference.y[j] - reference.y[j - 1];
            if (ut) step -= std::round(step);
            r = reference.y[j - 1] + step * (x - reference.x[j - 1]) / (reference.x[j] - reference.x[j - 1]);
        }
        d.back() = source.y[k] - r;
        if (ut) d.back() -= std::round(d.back());
    }
    return d;
}

DifferenceStatistics statisticsOf(const std::vector<long double>& all) {
    std::vector<long double> d;
    for (const long double v : all)
        if (!std::isnan(v)) d.push_back(v);
    if (d.empty()) return {};
    long double sum = 0;
    for (const long double v : d) sum += v;
    const long double mean = sum / d.size();
    long double squares = 0;
    for (const long double v : d) squares += (v - mean) * (v - mean);
    return {static_cast<std::int32_t>(d.size()), static_cast<double>(mean),
            d.size() > 1 ? static_cast<double>(std::sqrt(squares / (d.size() - 1))) : NAN};
}

void expectClose(const DifferenceStatistics& got, const DifferenceStatistics& want, double scale = 1.0) {
    EXPECT_EQ(got.count, want.count);
    EXPECT_NEAR(got.mean, want.mean * scale, 1e-12 * scale);
    if (want.hasDeviation()) {
        EXPECT_NEAR(got.deviation, want.deviation * scale, 1e-12 * scale);
    }
}

using SourceStatistics = ViewerTest;

// Month and year views, every parameter: the year view round November 2017 holds the leap
// second of 1 January 2017, which the reference shows and the aligned sources do not. The
// differences view then plots exactly the compared points, in thousandths, and the reference as
// a line at 0 over its span.
TEST_F(SourceStatistics, MatchAnIndependentComputationFromThePlottedPoints) {
    for (const char* interval : {"interval=month", "interval=year"}) {
        for (const char* parameter : {"param=UT1", "param=UT1R", "param=Xp", "param=Yp"}) {
            SCOPED_TRACE(std::string(interval) + " " + parameter);
            SnapshotDriver driver(options());
            TForm1& f = driver.form();
            play(driver, {"start", interval, parameter});
            const bool ut = f.state.selectedParameter <= 2;
            const SeriesStatistics statistics = f.displayCycle().statistics();
            EXPECT_EQ(statistics.parameter, f.state.selectedParameter);
            const Points reference = plotted(f, 0);
            ASSERT_GT(reference.x.size(), 20u);
            std::vector<Points> sources;
            for (int index = 0; index < kSeriesSlotCount; ++index) sources.push_back(plotted(f, index));
            driver.apply(action("view=differences"));
            const Points line = plotted(f, 0);
            EXPECT_EQ(line.x, (std::vector<long double>{reference.x.front(), reference.x.back()}));
            EXPECT_EQ(line.y, (std::vector<long double>{0, 0}));
            int compared = 0;
            for (int index = 1; index < kSeriesSlotCount; ++index) {
                SCOPED_TRACE(index);
                const std::vector<long double> d = recomputedDifferences(reference, sources[index], ut);
                const DifferenceStatistics want = statisticsOf(d);
                expectClose(statistics.bySeries[static_cast<std::size_t>(index)], want);
                expectClose(f.displayCycle().statistics().bySeries[static_cast<std::size_t>(index)], want);
                compared += want.count > 0;
                Points expected;
                for (std::size_t k = 0; k < d.size(); ++k) {
                    if (std::isnan(d[k])) continue;
                    expected.x.push_back(sources[index].x[k]);
                    expected.y.push_back(d[k] * 1000);
                }
                const Points shown = plotted(f, index);
                ASSERT_EQ(shown.x, expected.x);
                for (std::size_t k = 0; k < expected.y.size(); ++k) EXPECT_NEAR(shown.y[k], expected.y[k], 1e-9);
                std::vector<long double> values(shown.y.begin(), shown.y.end());
                expectClose(statisticsOf(values), want, 1000.0);
            }
            EXPECT_GE(compared, 5);
        }
    }
}

// The month window of 15 January 2017 holds the leap second at the end of 2016: the numbers
// are the services' differences, and a leap second of either sign put into the reference
// anywhere changes none of them.
TEST_F(SourceStatistics, LeapSecondsInTheReferenceChangeNothing) {
    SnapshotDriver driver(options("2017-01-15 12:00:00"));
    TForm1& f = driver.form();
    driver.apply(action("start"));
    for (const char* parameter : {"param=UT1", "param=UT1R"}) {
        SCOPED_TRACE(parameter);
        driver.apply(action(parameter));
        const SeriesStatistics statistics = f.displayCycle().statistics();
        const DifferenceStatistics& iers = statistics.bySeries[1];
        if (f.state.selectedParameter == kindUT1) {
            EXPECT_NEAR(iers.mean * 1000, 0.009, 0.0005);
            EXPECT_NEAR(iers.deviation * 1000, 0.019, 0.0005);
        }
        const int count = f.arrays.seriesCount[kReferenceSlot];
        ASSERT_GT(count, 20);
        for (int first = 1; first <= count; ++first) {
            for (const double leap : {-1.0, 1.0}) {
                SCOPED_TRACE(::testing::Message() << first << " " << leap);
                auto copy = std::make_unique<SeriesArrays>(f.arrays);
                for (int k = first; k <= count; ++k) copy->seriesY(k, kReferenceSlot) += leap;
                SeriesStatistics inserted;
                computeSeriesStatistics(*copy, f.state.selectedParameter, inserted);
                for (int index = 1; index < kSeriesSlotCount; ++index)
                    expectClose(inserted.bySeries[static_cast<std::size_t>(index)],
                                statistics.bySeries[static_cast<std::size_t>(index)]);
            }
        }
    }
}

// The differences view: its title, scale text and read-out in thousandths, its own fitted range,
// the scale selectors held for the return, and the view kept across the other controls.
TEST_F(SourceStatistics, DifferencesViewShowsThousandthsAndStaysAcrossTheControls) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    play(driver, {"start", "choose=on", "visor=on", "mouse=500,300", "key=Ctrl+D"});
    ASSERT_TRUE(f.state.showDifferences);
    EXPECT_TRUE(f.SpeedButtonDifferences->down());
    EXPECT_FALSE(f.CheckBoxChoise->enabled());
    EXPECT_FALSE(f.ComboBoxScaleY->enabled());
    EXPECT_NE(driver.json(false).find("\"view\":\"differences\""), std::string::npos);
    const std::regex thousandths(R"(-?\d+[.,]\d{3})");
    const struct {
        const char* action;
        const char* title;
        const char* unit;
    } rows[] = {
        {"wait=20", "Разности от КВЕЛ, мс", " мс"},
        {"param=Xp", "Разности от КВЕЛ, мсд", " мсд"},
        {"interval=year", "Разности от КВЕЛ, мсд", " мсд"},
        {"trend=yes", "Разности от КВЕЛ, мсд", " мсд"},
        {"back", "Разности от КВЕЛ, мсд", " мсд"},
        {"param=UT1R", "Разности от КВЕЛ, мс", " мс"},
        {"undo", "Разности от КВЕЛ, мс", " мс"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.action);
        driver.apply(action(row.action));
        EXPECT_TRUE(f.state.showDifferences);
        EXPECT_EQ(f.Chart->Title().Text(), std::vector<std::string>{row.title});
        const std::string scale = f.EditScale->text();
        EXPECT_EQ(scale.substr(scale.size() - std::string(row.unit).size()), row.unit) << scale;
        EXPECT_TRUE(std::regex_match(f.StaticTextY->caption(), thousandths)) << f.StaticTextY->caption();
        // The range is fitted to the shown differences with the grid density in force.
        double low = 1e300, high = -1e300;
        for (int index = 0; index < kSeriesSlotCount; ++index)
            for (const long double y : plotted(f, index).y) {
                low = std::min(low, static_cast<double>(y));
                high = std::max(high, static_cast<double>(y));
            }
        EXPECT_EQ(f.Chart->LeftAxis().Increment(),
                  fittedIncrement(low, high, f.ComboBoxGrid->itemIndex()).value_or(0.0));
    }
    driver.apply(action("key=Ctrl+D"));
    EXPECT_FALSE(f.state.showDifferences);
    EXPECT_FALSE(f.SpeedButtonDifferences->down());
    EXPECT_EQ(f.Chart->Title().Text(), std::vector<std::string>{"ПВЗ КВЕЛ"});
    EXPECT_TRUE(f.CheckBoxChoise->enabled());
    EXPECT_TRUE(f.ComboBoxScaleY->enabled());
}

// The window as the user sees it, cross-hair included.
std::vector<Color> windowPixels(TForm1& f) {
    Bitmap picture;
    f.grab(picture);
    return test::pixelsOf(picture);
}

// Leaving the differences view shows the series view as a run that never entered it: the
// range it had, or the new scale that changes made in the other view ask for.
TEST_F(SourceStatistics, LeavingTheDifferencesViewGivesTheSeriesViewBack) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    play(driver, {"start", "stretch=3", "visor=on", "mouse=500,300"});
    const std::vector<Color> before = windowPixels(f);
    play(driver, {"view=differences", "up=2", "compress=2", "view=series"});
    EXPECT_EQ(windowPixels(f), before);

    play(driver, {"view=differences", "param=Xp", "interval=year", "view=series"});
    SnapshotDriver never(options());
    play(never, {"start", "stretch=3", "visor=on", "mouse=500,300", "param=Xp", "interval=year"});
    EXPECT_EQ(windowPixels(f), windowPixels(never.form()));
}

TEST_F(SourceStatistics, DoNotDependOnTheTrendSelectorNorOnTheReferencesCheckBox) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    play(driver, {"start", "interval=year", "param=Xp"});
    const SeriesStatistics removed = f.displayCycle().statistics();
    std::vector<std::string> tips;
    for (int index = 0; index < kSeriesSlotCount; ++index) tips.push_back(f.seriesHint(index));
    play(driver, {"trend=yes", "series=1:off", "series=5:off"});
    ASSERT_TRUE(f.state.showTrend);
    ASSERT_NE(f.state.trendSlope, 0.0);
    const SeriesStatistics& kept = f.displayCycle().statistics();
    for (int index = 0; index < kSeriesSlotCount; ++index) {
        SCOPED_TRACE(index);
        const auto i = static_cast<std::size_t>(index);
        expectClose(kept.bySeries[i], removed.bySeries[i]);
        EXPECT_EQ(f.seriesHint(index), tips[i]);
    }
}

TEST_F(SourceStatistics, NoCheckedSeriesLeavesNothingToCompare) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    driver.apply(action("start"));
    for (int tag = 1; tag <= kSeriesSlotCount; ++tag)
        driver.apply(action(("series=" + std::to_string(tag) + ":off").c_str()));
    for (const DifferenceStatistics& s : f.displayCycle().statistics().bySeries) EXPECT_EQ(s.count, 0);
    EXPECT_EQ(f.seriesHint(3), "нет общих точек с КВЕЛ");
    EXPECT_NE(driver.json(false).find("\"statistics\":[],"), std::string::npos);
}

// The tip texts: point counts in their Russian forms, the sign of the mean (none when it rounds
// to zero), thousandths of the series' unit, and the two texts without numbers.
TEST(StatisticsHint, Texts) {
    const ScopedFormatSettings scoped(test::decimalComma());
    const struct {
        int parameter;
        int index;
        DifferenceStatistics s;
        const char* text;
    } rows[] = {
        {1, 3, {27, 0.000123, 0.000045}, "R-ДОР − КВЕЛ: 27 точек, среднее +0,123 мс, СКО 0,045 мс"},
        {2, 3, {1, -0.0012346, NAN}, "R-ДОР − КВЕЛ: 1 точка, среднее −1,235 мс"},
        {3, 3, {2, 0.0000004, 0.0000006}, "R-ДОР − КВЕЛ: 2 точки, среднее 0,000 мсд, СКО 0,001 мсд"},
        {4, 3, {4, -0.0000004, 0.25}, "R-ДОР − КВЕЛ: 4 точки, среднее 0,000 мсд, СКО 250,000 мсд"},
        {1, 3, {5, 0.0, 0.0}, "R-ДОР − КВЕЛ: 5 точек, среднее 0,000 мс, СКО 0,000 мс"},
        {1, 3, {11, 0.001, 0.0}, "R-ДОР − КВЕЛ: 11 точек, среднее +1,000 мс, СКО 0,000 мс"},
        {1, 3, {12, 0.001, 0.0}, "R-ДОР − КВЕЛ: 12 точек, среднее +1,000 мс, СКО 0,000 мс"},
        {1, 3, {21, 0.001, 0.0}, "R-ДОР − КВЕЛ: 21 точка, среднее +1,000 мс, СКО 0,000 мс"},
        {1, 3, {111, 0.001, 0.0}, "R-ДОР − КВЕЛ: 111 точек, среднее +1,000 мс, СКО 0,000 мс"},
        {1, 3, {0, 0.0, 0.0}, "нет общих точек с КВЕЛ"},
        {1, 0, {0, 0.0, 0.0}, "опорный ряд"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        SeriesStatistics statistics;
        statistics.parameter = row.parameter;
        statistics.bySeries[static_cast<std::size_t>(row.index)] = row.s;
        EXPECT_EQ(statisticsHint(statistics, row.index, row.index == 0 ? "КВЕЛ" : "R-ДОР", "КВЕЛ"), row.text);
    }
}

// What the user sees resting the pointer on a check box or a legend row: nothing before Start,
// then the text of that series, with the locale's decimal separator.
TEST_F(SourceStatistics, TipsOfCheckBoxesAndLegendRows) {
    const ScopedFormatSettings scoped(test::decimalComma());
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    EXPECT_EQ(input::restPointer(f.seriesCheckBox(4), {8, 8}), "");

    driver.apply(action("start"));
    const LegendGeometry& legend = f.Chart->Legend().geometry();
    ASSERT_EQ(legend.rows, kSeriesSlotCount);
    for (int index = 0; index < kSeriesSlotCount; ++index) {
        SCOPED_TRACE(index);
        const std::string tip = f.seriesHint(index);
        EXPECT_EQ(input::restPointer(f.seriesCheckBox(index + 1), {8, 8}), tip);
        const Rect row = legend.rowRect(index);
        EXPECT_EQ(input::restPointer(*f.Chart, {row.left + 2, row.top}), tip);
        EXPECT_EQ(input::restPointer(*f.Chart, {row.right - 1, row.bottom - 1}), tip);
    }
    EXPECT_EQ(f.seriesHint(0), "опорный ряд");
    EXPECT_EQ(f.seriesHint(1), "нет общих точек с КВЕЛ");  // IERS ends before the window
    EXPECT_EQ(f.seriesHint(5), "G-ДОР − КВЕЛ: 25 точек, среднее +0,538 мс, СКО 0,120 мс");
    EXPECT_EQ(f.seriesHint(6), "R-ИПА − КВЕЛ: 7 точек, среднее +0,832 мс, СКО 0,203 мс");
    // Off the legend's rows the chart has no tip.
    const Rect r = f.Chart->Legend().LegendRect();
    EXPECT_EQ(input::restPointer(*f.Chart, {r.left - 1, r.top + 5}), "");
    EXPECT_EQ(input::restPointer(*f.Chart, {r.left + 2, r.bottom - 1}), "");
    const Rect plot = f.Chart->PlotRect();
    EXPECT_EQ(input::restPointer(*f.Chart, {(plot.left + plot.right) / 2, (plot.top + plot.bottom) / 2}), "");

    // The tip follows the rebuild: the pole in milliarcseconds.
    driver.apply(action("param=Xp"));
    EXPECT_NE(input::restPointer(f.seriesCheckBox(6), {8, 8}).find(" мсд, СКО "), std::string::npos);
}

double number(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(error == std::errc() && end == text.data() + text.size()) << text;
    return value;
}

// The report read as a reader of the file would: one entry per series with statistics, in
// index order, each number the one the program computed.
TEST_F(SourceStatistics, ReportListsTheSeriesThatHaveStatistics) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    play(driver, {"start", "interval=year", "param=UT1R"});
    const std::string json = driver.json(false);
    const auto begin = json.find("\"statistics\":[");
    ASSERT_NE(begin, std::string::npos);
    const std::string array = json.substr(begin, json.find(']', begin) - begin);
    const std::regex entry(
        R"re(\{"index":(\d+),"title":"([^"]*)","n":(\d+),"mean":([-+.eE0-9]+),"std":([-+.eE0-9]+)\})re");
    std::vector<int> listed;
    for (auto it = std::sregex_iterator(array.begin(), array.end(), entry); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        const int index = std::stoi(m[1].str());
        SCOPED_TRACE(index);
        listed.push_back(index);
        const DifferenceStatistics& s = f.displayCycle().statistics().bySeries[static_cast<std::size_t>(index)];
        EXPECT_EQ(m[2].str(), f.seriesAt(index).Title());
        EXPECT_EQ(std::stoi(m[3].str()), s.count);
        EXPECT_EQ(number(m[4].str()), s.mean);
        EXPECT_EQ(number(m[5].str()), s.deviation);
    }
    std::vector<int> expected;
    const SeriesStatistics& statistics = f.displayCycle().statistics();
    for (int index = 1; index < kSeriesSlotCount; ++index)
        if (statistics.bySeries[static_cast<std::size_t>(index)].count > 0) expected.push_back(index);
    EXPECT_EQ(listed, expected);
    EXPECT_GE(listed.size(), 7u);
}

}  // namespace
}  // namespace pvz
