// The real window driven headless: creation, Start, the first drawing, the second Start and the
// compact layout, on the real data set with a fixed clock.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "data/data_loader.h"
#include "runtime/calendar.h"
#include "tests/support/fixture_files.h"
#include "tools/lib/snapshot_driver.h"

namespace pvz {
namespace {

const std::string kRealData = std::string(PVZ_TEST_DATA_DIR) + "/eop-2017";

// The driver makes the data directory current; every test gets its own back.
class WindowTest : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::current_path(cwd_); }

    static SnapshotOptions options(const std::string& data = kRealData, int screenWidth = 1920) {
        SnapshotOptions o;
        o.dataDirectory = data;
        o.now = *parseLocalTime("2017-11-01 12:00:00");
        o.screenWidth = screenWidth;
        return o;
    }
    static SnapshotAction action(const char* text) { return *parseSnapshotAction(text); }

private:
    std::filesystem::path cwd_ = std::filesystem::current_path();
};

TEST_F(WindowTest, CreatedWindowWaitsForStart) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    EXPECT_EQ(f.caption(), "Просмотр графиков");
    EXPECT_EQ(f.StatusBar1->simpleText(), "  Нажмите кнопку \"Старт\"");
    EXPECT_EQ(f.BitBtnStart->caption(), "Старт");
    EXPECT_TRUE(f.BitBtnStart->enabled());
    EXPECT_EQ(f.BitBtnStart->font().color, clGreen);
    // The creation label "M: 3 мс" lasts only until the first drawing composes the text.
    EXPECT_EQ(f.EditScale->text().rfind("M: ", 0), 0u);
    EXPECT_EQ(f.ComboBoxScaleY->item(4), "M: 0,25мс");
    EXPECT_EQ(f.GroupBoxScales->caption(), "Масштабы UT");
    for (const Control* c : {static_cast<Control*>(f.GroupBoxScales.get()), static_cast<Control*>(f.GroupBox1.get()),
                             static_cast<Control*>(f.GroupBox2.get()), static_cast<Control*>(f.Label1.get())})
        EXPECT_FALSE(c->enabled());
    for (int tag = 1; tag <= kSeriesSlotCount; ++tag) {
        EXPECT_FALSE(f.seriesCheckBox(tag).enabled()) << tag;
        EXPECT_TRUE(f.seriesCheckBox(tag).checked()) << tag;
    }
    // The time base of 1 November 2017, noon: yesterday is MJD 58057.5, in week 2184.
    EXPECT_EQ(f.state.currentWeek, 2184);
    EXPECT_EQ(f.state.screenWidth, 1920);
    const TChartAxis& bottom = f.Chart->BottomAxis();
    EXPECT_FALSE(bottom.Automatic());
    EXPECT_EQ(bottom.Minimum(), f.state.homeStartMjd + f.state.mjdToDayOffset);
    EXPECT_EQ(bottom.Maximum(), f.state.homeEndMjd + f.state.mjdToDayOffset);
    EXPECT_EQ(bottom.DateTimeFormat(), "mmm/dd yyyy");
    EXPECT_TRUE(bottom.LabelsMultiLine());
    EXPECT_FALSE(f.Chart->LeftAxis().Automatic());
    // Only the empty chart is drawn; every series is still empty.
    EXPECT_GE(f.Chart->drawingCount(), 1);
    for (int i = 0; i < kSeriesSlotCount; ++i) EXPECT_EQ(f.seriesAt(i).Count(), 0);
}

TEST_F(WindowTest, ChartHoldsTheElevenSeriesInChartOrder) {
    SnapshotDriver driver(options());
    const TChart& chart = *driver.form().Chart;
    const char* titles[] = {"КВЕЛ",  "IERS",  "USNO",  "R-ДОР", "L-ДОР", "G-ДОР",
                            "R-ИПА", "G-ИПА", "L-ИПА", "L-ЦУП", "G-ЦУП"};
    ASSERT_EQ(chart.SeriesCount(), kSeriesSlotCount);
    for (int i = 0; i < kSeriesSlotCount; ++i) EXPECT_EQ(chart.Series(i).Title(), titles[i]) << i;
    EXPECT_EQ(chart.Series(9).Name(), "Series4");
    EXPECT_TRUE(chart.Series(0).XValues().DateTime());
    EXPECT_FALSE(chart.Series(1).XValues().DateTime());
}

TEST_F(WindowTest, FirstDrawingAfterStartShowsTheCurrentWeeks) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    const int before = f.Chart->drawingCount();
    driver.apply(action("start"));

    EXPECT_EQ(f.StatusBar1->simpleText(), "  Ready");
    EXPECT_EQ(f.BitBtnStart->caption(), "ВЫХОД");
    EXPECT_EQ(f.BitBtnStart->font().color, clRed);
    EXPECT_TRUE(f.GroupBoxScales->enabled() && f.GroupBox1->enabled() && f.GroupBox2->enabled());
    for (int tag = 1; tag <= kSeriesSlotCount; ++tag) EXPECT_TRUE(f.seriesCheckBox(tag).enabled()) << tag;
    EXPECT_FALSE(f.Label1->enabled() || f.Label2->enabled());
    EXPECT_TRUE(driver.messages().empty());
    EXPECT_GT(f.Chart->drawingCount(), before);

    const ViewerState& s = f.state;
    EXPECT_FALSE(s.redrawRequested || s.autoFitRequested || s.rescaleRequested);
    EXPECT_EQ(s.timeShiftDays, 0.0);
    EXPECT_EQ(s.windowStartMjd, 58035.0);  // Monday, 9 October 2017
    EXPECT_EQ(s.windowEndMjd, 58063.0);    // Monday, 6 November 2017

    // Slot 1 runs to 3 November: 26 daily points from the window's first Monday.
    const TChartSeries& reference = f.seriesAt(0);
    ASSERT_EQ(reference.Count(), 26);
    EXPECT_EQ(reference.XValues()[0], 58035.0 + s.mjdToDayOffset);
    // Slot 3's trend is taken out: it starts and ends on its first value.
    const TChartSeries& trend = f.seriesAt(2);
    ASSERT_GT(trend.Count(), 1);
    EXPECT_NEAR(trend.YValues()[trend.Count() - 1], trend.YValues()[0], 1e-12);
    // Every UT series lies on slot 1's whole-second level and inside the fitted axis.
    const TChartAxis& left = f.Chart->LeftAxis();
    for (int i = 0; i < kSeriesSlotCount; ++i) {
        const TChartSeries& series = f.seriesAt(i);
        for (int k = 0; k < series.Count(); ++k) {
            EXPECT_LT(std::fabs(series.YValues()[k] - reference.YValues()[0]), 0.5) << i << " " << k;
            EXPECT_GE(series.YValues()[k], left.Minimum()) << i;
            EXPECT_LE(series.YValues()[k], left.Maximum()) << i;
        }
    }
    EXPECT_EQ(f.seriesAt(9).Count(), 0);  // slot 10 has no UT values

    // The series boxes stand beside their legend rows.
    const Rect legend = f.Chart->Legend().LegendRect();
    EXPECT_EQ(f.CheckBox1->left(), legend.left - f.CheckBox1->width());
    EXPECT_EQ(f.CheckBox1->top(), legend.top);
}

TEST_F(WindowTest, SecondStartEndsTheProgramAtOnce) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    driver.apply(action("start"));
    ASSERT_FALSE(driver.ended());
    driver.apply(action("wait=500"));
    const int drawings = f.Chart->drawingCount();
    f.state.redrawRequested = true;
    driver.apply(action("start"));
    EXPECT_TRUE(driver.ended());
    EXPECT_EQ(f.Chart->drawingCount(), drawings);
    EXPECT_TRUE(f.state.redrawRequested);  // no pass ran after the end
    driver.apply(action("interval=year"));
    EXPECT_EQ(f.RadioGroupInterval->itemIndex(), 0);
}

TEST_F(WindowTest, SmallScreenLayoutFromEightHundredPixelsDown) {
    struct Case {
        int screenWidth;
        bool compact;
    };
    for (const Case c : {Case{800, true}, Case{801, false}, Case{640, true}, Case{1920, false}}) {
        SCOPED_TRACE(c.screenWidth);
        SnapshotDriver driver(options(kRealData, c.screenWidth));
        TForm1& f = driver.form();
        EXPECT_EQ(f.state.screenWidth, c.screenWidth);
        struct Box {
            const Control* control;
            int compact[4];
            int design[4];
        };
        const Box boxes[] = {
            {f.GroupBox2.get(), {12, -1, 709, 49}, {48, -1, 745, 57}},
            {f.RadioGroupPVZ.get(), {8, 8, 225, 37}, {8, 10, 241, 41}},
            {f.RadioGroupInterval.get(), {237, 8, 124, 37}, {253, 10, 133, 41}},
            {f.RadioGroupTrend.get(), {365, 8, 124, 37}, {389, 10, 129, 41}},
            {f.GroupBox3.get(), {493, 8, 205, 37}, {521, 10, 205, 41}},
            {f.BitBtnStart.get(), {732, -1, 62, 23}, {824, -1, 62, 23}},
        };
        for (const Box& b : boxes) {
            const int* want = c.compact ? b.compact : b.design;
            EXPECT_EQ(b.control->left(), want[0]);
            if (want[1] >= 0) {
                EXPECT_EQ(b.control->top(), want[1]);  // tops follow the drawing
            }
            EXPECT_EQ(b.control->width(), want[2]);
            EXPECT_EQ(b.control->height(), want[3]);
        }
    }
}

TEST_F(WindowTest, NoDataFileAsksForTheDirectoryAgainAndAgain) {
    const auto empty = std::filesystem::temp_directory_path() / "pvz-window-test-empty";
    std::filesystem::create_directories(empty);
    SnapshotOptions o = options(empty.string());
    o.directoryAnswer = DirectoryAnswer::Cancel;
    SnapshotDriver driver(o);
    driver.apply(action("start"));
    ASSERT_GE(driver.messages().size(), 2u);
    EXPECT_EQ(driver.messages().front(), "Путь к файлам данных указан неверно!");
    // The headless chooser gives up in the end; the error is shown and the program stays up.
    EXPECT_NE(driver.messages().back().find("pvz-snapshot"), std::string::npos);
    EXPECT_TRUE(driver.form().state.running);
    EXPECT_FALSE(driver.form().store.anyFileFound);
}

TEST_F(WindowTest, ChosenDirectoryIsLoadedAfterAFailedSearch) {
    const auto empty = std::filesystem::temp_directory_path() / "pvz-window-test-empty";
    std::filesystem::create_directories(empty);
    SnapshotOptions o = options(empty.string());
    o.directoryAnswer = DirectoryAnswer::Choose;
    o.chosenDirectory = kRealData;
    SnapshotDriver driver(o);
    driver.apply(action("start"));
    ASSERT_EQ(driver.messages().size(), 1u);
    EXPECT_EQ(driver.form().StatusBar1->simpleText(), "  Ready");
    EXPECT_EQ(driver.form().seriesAt(0).Count(), 26);
    EXPECT_EQ(driver.form().store.dataDirectory.back(), '/');
}

// The real data set in a temporary directory, with `name` holding `text` instead, or with
// `from` replaced by `to` in it.
void copyRealData(const test::TempDirectory& into, const std::string& name, const std::string& from,
                  const std::string& to) {
    for (const auto& entry : std::filesystem::directory_iterator(kRealData)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (entry.path().filename() == name) {
            const auto at = text.find(from);
            ASSERT_NE(at, std::string::npos) << from;
            text.replace(at, from.size(), to);
        }
        into.write(entry.path().filename().string(), text);
    }
}

TEST_F(WindowTest, ALoadingFailureStartsNoDisplayCycleAndExitStillEndsTheProgram) {
    test::TempDirectory data;
    copyRealData(data, "zt_pvz.dat", "15 1 19 0.009243", "15 1 19 0.0x9243");
    SnapshotDriver driver(options(data.path()));
    TForm1& f = driver.form();
    for (const char* step : {"start", "back", "interval=year", "series=1:off"}) driver.apply(action(step));
    ASSERT_EQ(driver.messages().size(), 1u);
    // The message says where the bad field is, and so does the status line.
    EXPECT_EQ(driver.messages()[0], "Invalid numeric input.\nФайл zt_pvz.dat, строка 2");
    EXPECT_EQ(f.StatusBar1->simpleText(), "  Загрузка остановлена на файле: " + f.store.pathOf(1));
    // Nothing was rebuilt: no series has a point, and the controls stay disabled.
    for (int i = 0; i < kSeriesSlotCount; ++i) EXPECT_EQ(f.seriesAt(i).Count(), 0) << i;
    for (const Control* c : {static_cast<Control*>(f.GroupBoxScales.get()), static_cast<Control*>(f.GroupBox1.get()),
                             static_cast<Control*>(f.GroupBox2.get())})
        EXPECT_FALSE(c->enabled());
    for (int tag = 1; tag <= kSeriesSlotCount; ++tag) EXPECT_FALSE(f.seriesCheckBox(tag).enabled()) << tag;
    EXPECT_EQ(f.RadioGroupInterval->itemIndex(), 0);
    EXPECT_EQ(f.BitBtnStart->caption(), "ВЫХОД");
    // Later than a double click after the first press.
    driver.apply(action("wait=1000"));
    driver.apply(action("start"));
    EXPECT_TRUE(driver.ended());
}

// A rebuild abandoned for want of the trend series or the reference in the window says why on
// the status line, and the next rebuild that draws says "Ready" again.
TEST_F(WindowTest, ABlankChartSaysWhichSeriesHasNoDataInTheWindow) {
    const struct {
        const char* file;
        const char* status;
    } rows[] = {
        {"iers.usn", "  Нет данных USNO в окне: график не построен"},
        {"zt_pvz.dat", "  Нет данных КВЕЛ в окне: график не построен"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        // The file truncated after September 2017; the window starts in October.
        test::TempDirectory data;
        copyRealData(data, row.file, "\n17 10 1 ", "\n17 10 1 ");
        std::ifstream in(kRealData + "/" + row.file, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        data.write(row.file, text.substr(0, text.find("\n17 10 1 ") + 1));
        SnapshotDriver driver(options(data.path()));
        TForm1& f = driver.form();
        driver.apply(action("start"));
        EXPECT_EQ(f.StatusBar1->simpleText(), row.status);
        for (int i = 0; i < kSeriesSlotCount; ++i) EXPECT_EQ(f.seriesAt(i).Count(), 0) << i;
        driver.apply(action("hold-back=6"));
        EXPECT_EQ(f.StatusBar1->simpleText(), "  Ready");
        EXPECT_GT(f.seriesAt(0).Count(), 20);
    }
}

TEST_F(WindowTest, ARebuildThatFailsIsShownOnceAndItsRequestsAreDropped) {
    // A UT1 value of slot 3 too large to round to whole seconds: every rebuild of a window that
    // holds it fails in the alignment.
    test::TempDirectory data;
    copyRealData(data, "iers.usn", "17 10 16 0.204792 0.278201 0.3011965",
                 "17 10 16 0.204792 0.278201 9300000000000000000.0");
    SnapshotDriver driver(options(data.path()));
    TForm1& f = driver.form();
    driver.apply(action("start"));
    driver.apply(action("back"));
    const std::vector<std::string> failures(2, "Invalid floating point operation.");
    EXPECT_EQ(driver.messages(), failures);
    EXPECT_LT(f.Chart->drawingCount(), 20);
    EXPECT_LT(driver.elapsedMs(), 2000.0);
    EXPECT_FALSE(f.state.redrawRequested);
    EXPECT_FALSE(f.state.shiftPending);
    EXPECT_EQ(f.state.timeShiftDays, -7);
    // The pole coordinates are not aligned, so the same window draws again.
    driver.apply(action("param=Xp"));
    EXPECT_EQ(driver.messages(), failures);
    EXPECT_GT(f.seriesAt(2).Count(), 0);
}

TEST_F(WindowTest, ReportHasTheDocumentedShape) {
    SnapshotDriver driver(options());
    driver.apply(action("start"));
    const std::string json = driver.json(true);
    for (const char* key : {"\"state\":{",
                            "\"timeShiftDays\":0",
                            "\"windowStartMjd\":58035",
                            "\"status\":\"  Ready\"",
                            "\"editScale\":",
                            "\"staticTextX\":",
                            "\"plotRect\":{\"left\":",
                            "\"legendRect\":",
                            "\"axes\":{\"BottomAxis\":{\"Minimum\":",
                            "\"LeftAxis\":",
                            "\"labels\":[{\"value\":",
                            "\"weekNumbers\":[",
                            "\"view\":\"series\"",
                            "\"series\":[{\"index\":0,\"title\":\"КВЕЛ\"",
                            "\"controls\":{",
                            "\"CheckBox11\":{",
                            "\"StaticTextY\":{",
                            "\"messages\":[]",
                            "\"drawings\":",
                            "\"slots\":[{\"slot\":1,\"loaded\":true,\"rows\":[["}) {
        EXPECT_NE(json.find(key), std::string::npos) << key;
    }
}

TEST_F(WindowTest, PictureOfTheWindowIsWritten) {
    SnapshotDriver driver(options());
    driver.apply(action("start"));
    const auto png = std::filesystem::temp_directory_path() / "pvz-window-test.png";
    ASSERT_TRUE(driver.writePng(png.string()));
    EXPECT_GT(std::filesystem::file_size(png), 10000u);
    std::filesystem::remove(png);
}

}  // namespace
}  // namespace pvz
