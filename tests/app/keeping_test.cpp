// Keeping what the chart shows, through the window's keys and its file chooser: the saved
// picture, the CSV of the plotted points, the clipboard, and writes that fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/kept_views.h"
#include "runtime/formatting.h"
#include "runtime/window_system_input.h"
#include "tests/app/viewer_fixture.h"
#include "tests/support/decimal_comma.h"
#include "tests/support/fixture_files.h"

namespace pvz {
namespace {

using testing::ViewerTest;
using Keeping = ViewerTest;

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The names under the folder, sorted, each followed by ";".
std::string listing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        names.push_back(entry.path().lexically_relative(folder).string());
    std::sort(names.begin(), names.end());
    std::string text;
    for (const std::string& name : names) text += name + ";";
    return text;
}

double number(std::string_view text) {
    double value = std::nan("");
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(error == std::errc() && end == text.data() + text.size()) << text;
    return value;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + 1)
        parts.push_back(text.substr(from, at - from));
    parts.push_back(text.substr(from));
    return parts;
}

// The resolution a PNG file records, in pixels per metre (both axes alike), 0 when it has none.
std::uint32_t pngPixelsPerMetre(const std::string& png) {
    const auto at = png.find("pHYs");
    if (at == std::string::npos || at + 13 > png.size()) return 0;
    const auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(png[i])); };
    const std::uint32_t x = byte(at + 4) << 24 | byte(at + 5) << 16 | byte(at + 6) << 8 | byte(at + 7);
    const std::uint32_t y = byte(at + 8) << 24 | byte(at + 9) << 16 | byte(at + 10) << 8 | byte(at + 11);
    return x == y && byte(at + 12) == 1 ? x : 0;
}

TEST_F(Keeping, NothingBeforeStartThenThePictureAtTwiceTheChartsSizeWithoutTheCrossHair) {
    test::TempDirectory folder;
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    copyTextToClipboard("kept");
    for (const char* keys : {kSavePictureKeys, kSavePointsKeys, kCopyPictureKeys, kCopyStatisticsKeys}) {
        SCOPED_TRACE(keys);
        EXPECT_EQ(driver.saveByCommand(keys, folder.pathOf("early")), "nothing to save (before Start?)");
    }
    EXPECT_EQ(clipboardText(), "kept");
    EXPECT_EQ(listing(folder.path()), "");

    // The cross-hair is on the window and the pointer in the plot.
    play(driver, {"start", "visor=on", "mouse=400,300"});
    const int drawings = f.Chart->drawingCount();
    const std::string withPointer = folder.pathOf("a.png");
    ASSERT_EQ(driver.saveByCommand(kSavePictureKeys, withPointer), "");
    Bitmap picture;
    ASSERT_TRUE(picture.loadFromFile(withPointer));
    EXPECT_EQ(picture.width(), 2 * f.Chart->width());
    EXPECT_EQ(picture.height(), 2 * f.Chart->height());
    // 192 dots per inch.
    EXPECT_EQ(pngPixelsPerMetre(fileBytes(withPointer)), 7559u);
    EXPECT_EQ(f.Chart->drawingCount(), drawings);
    EXPECT_FALSE(f.Chart->isDirty());

    play(driver, {"mouse=2,2"});
    const std::string withoutPointer = folder.pathOf("b.png");
    ASSERT_EQ(driver.saveByCommand(kSavePictureKeys, withoutPointer), "");
    EXPECT_TRUE(fileBytes(withPointer) == fileBytes(withoutPointer));
    EXPECT_EQ(listing(folder.path()), "a.png;b.png;");

    input::pressKey(f, kCopyPictureKeys);
    input::releaseKey(f, kCopyPictureKeys);
    Bitmap copied;
    ASSERT_TRUE(clipboardPicture(copied));
    EXPECT_EQ(copied.width(), picture.width());
    EXPECT_EQ(copied.height(), picture.height());
}

// Tests run as root, whom a folder without write permission does not stop: the writes fail
// on names that cannot become files.
TEST_F(Keeping, AFailedWriteNamesTheFileAndTheReasonLeavesNothingAndTheProgramGoesOn) {
    test::TempDirectory folder;
    std::filesystem::create_directory(folder.pathOf("taken"));
    folder.write("plain", "x");
    SnapshotDriver driver(options());
    play(driver, {"start"});
    const struct {
        const char* name;
        int error;
    } cases[] = {{"taken", EISDIR}, {"plain/points.csv", ENOTDIR}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* keys : {kSavePictureKeys, kSavePointsKeys}) {
            const std::string path = folder.pathOf(c.name);
            EXPECT_EQ(driver.saveByCommand(keys, path),
                      errorDisplayText(fileWriteErrorText(path, std::strerror(c.error))));
            EXPECT_EQ(listing(folder.path()), "plain;taken;");
        }
    }
    ASSERT_EQ(driver.saveByCommand(kSavePointsKeys, folder.pathOf("points.csv")), "");
    EXPECT_EQ(listing(folder.path()), "plain;points.csv;taken;");
}

// Every row against the chart's points as the report lists them, every source's differences
// against its statistics; the decimal point stays "." whatever the locale says.
TEST_F(Keeping, CsvRowsAreThePlottedPointsAndTheDifferencesGiveTheStatistics) {
    const ScopedFormatSettings locale(test::decimalComma());
    test::TempDirectory folder;
    for (const char* view : {"param=UT1", "param=Xp"}) {
        SCOPED_TRACE(view);
        SnapshotDriver driver(options());
        TForm1& f = driver.form();
        play(driver, {"start", "interval=year", "series=3:off", view});
        const std::string path = folder.pathOf("points.csv");
        ASSERT_EQ(driver.saveByCommand(kSavePointsKeys, path), "");
        const std::vector<std::string> lines = split(fileBytes(path), '\n');
        const bool ut = f.state.selectedParameter <= 2;
        EXPECT_EQ(lines.front(),
                  ut ? "source,mjd,utc,value_s,difference_ms" : "source,mjd,utc,value_arcsec,difference_mas");
        const std::string json = driver.json(false);
        std::size_t row = 1;
        int shownSeries = 0;
        for (int i = 0; i < f.Chart->SeriesCount(); ++i) {
            const TChartSeries& series = f.Chart->Series(i);
            const std::string head = "\"title\":\"" + series.Title() + "\",\"points\":[";
            const std::size_t at = json.find(head);
            ASSERT_NE(at, std::string::npos);
            const std::string points = json.substr(at + head.size(), json.find("]]", at) - at - head.size());
            if (series.Count() == 0) continue;
            ++shownSeries;
            long double sum = 0;
            int compared = 0;
            for (const std::string& point : split(points.substr(1), '[')) {
                ASSERT_LT(row, lines.size());
                const std::vector<std::string> xy = split(point.substr(0, point.find(']')), ',');
                const std::vector<std::string> cells = split(lines[row++], ',');
                ASSERT_EQ(cells.size(), 5u) << lines[row - 1];
                EXPECT_EQ(cells[0], "\"" + series.Title() + "\"");
                EXPECT_DOUBLE_EQ(number(cells[1]) + f.state.mjdToDayOffset, number(xy[0]));
                EXPECT_EQ(cells[2], isoUtcOfMjd(number(cells[1])));
                EXPECT_EQ(number(cells[3]), number(xy[1]));
                if (cells[4].empty()) continue;
                sum += number(cells[4]) / 1000.0L;
                ++compared;
            }
            const DifferenceStatistics& s = f.displayCycle().statistics().bySeries[static_cast<std::size_t>(i)];
            EXPECT_EQ(compared, s.count);
            if (compared > 0) {
                EXPECT_NEAR(static_cast<double>(sum / compared), s.mean, 1e-12);
            }
        }
        EXPECT_GE(shownSeries, 8);
        EXPECT_EQ(row + 1, lines.size());
        EXPECT_EQ(lines.back(), "");
        // The differences view plots other numbers; the file keeps the series view's.
        play(driver, {"view=differences"});
        ASSERT_EQ(driver.saveByCommand(kSavePointsKeys, path), "");
        EXPECT_EQ(split(fileBytes(path), '\n'), lines);
    }
}

TEST_F(Keeping, StatisticsTableOnTheClipboardInTheLocalesNumbers) {
    const ScopedFormatSettings locale(test::decimalComma());
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    play(driver, {"start", "param=UT1R", "key=Ctrl+Shift+C"});
    const std::vector<std::string> lines = split(clipboardText(), '\n');
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "UT1R\t" + isoDateOfMjd(f.state.windowStartMjd) + "\t" + isoDateOfMjd(f.state.windowEndMjd));
    EXPECT_EQ(lines[1], "Источник\tn\tСреднее, мс\tСКО, мс");
    std::size_t row = 2;
    for (int i = 1; i < kSeriesSlotCount; ++i) {
        const DifferenceStatistics& s = f.displayCycle().statistics().bySeries[static_cast<std::size_t>(i)];
        if (s.count == 0) continue;
        SCOPED_TRACE(i);
        ASSERT_LT(row, lines.size());
        std::vector<std::string> cells = split(lines[row++], '\t');
        ASSERT_EQ(cells.size(), 4u);
        EXPECT_EQ(cells[0], f.seriesAt(i).Title());
        EXPECT_EQ(cells[1], std::to_string(s.count));
        for (std::string* cell : {&cells[2], &cells[3]}) {
            EXPECT_EQ(cell->find('.'), std::string::npos);
            if (const auto comma = cell->find(','); comma != std::string::npos) (*cell)[comma] = '.';
        }
        EXPECT_EQ(number(cells[2]), s.mean * 1000.0);
        EXPECT_EQ(number(cells[3]), s.deviation * 1000.0);
    }
    EXPECT_GE(row, 8u);
    EXPECT_EQ(lines[row], "");
}

// Times to the second, rounded across midnight; file names from the window's days.
TEST(KeptViews, UtcRoundsToTheSecondAndNamesTellTheView) {
    const struct {
        double mjd;
        const char* utc;
    } rows[] = {{57769.0, "2017-01-16T00:00:00Z"},
                {57769.5, "2017-01-16T12:00:00Z"},
                {57769.0 + 86399.4 / 86400, "2017-01-16T23:59:59Z"},
                {57769.0 + 86399.6 / 86400, "2017-01-17T00:00:00Z"},
                {51603.25, "2000-02-29T06:00:00Z"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.mjd);
        EXPECT_EQ(isoUtcOfMjd(r.mjd), r.utc);
    }
    EXPECT_EQ(proposedFileName(1, 57769, 57797, "png"), "pvz-UT1-2017-01-16--2017-02-13.png");
    EXPECT_EQ(roundTripText(0.1), "0.1");
    EXPECT_EQ(roundTripText(-1e-7), "-0.0000001");
}

}  // namespace
}  // namespace pvz
