#include "data/data_loader.h"

#include <bit>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "data/rotation_corrections.h"
#include "runtime/calendar.h"
#include "runtime/errors.h"
#include "runtime/text_reader.h"
#include "tests/support/fixture_files.h"

namespace pvz {
namespace {

using test::TempDirectory;

// Records every service call in order; the chooser gives its scripted answers one per call.
class ScriptedServices : public LoaderServices {
public:
    void setStatusText(const std::string& text) override { events.push_back("status:" + text); }
    void showMessage(const std::string& text) override { events.push_back("message:" + text); }
    std::optional<std::string> chooseDirectory(const std::string& startDirectory) override {
        events.push_back("choose:" + startDirectory);
        if (answers.empty()) throw std::runtime_error("the chooser was asked once too often");
        std::optional<std::string> answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    std::string currentDirectory() override { return "/home/observer"; }

    std::vector<std::optional<std::string>> answers;
    std::vector<std::string> events;
};

enum class Failure { none, invalidNumber, badDate, overflow, accessDenied };

// Runs the loader and names the failure it raised, checking the failure's exact class and the
// text of its first line; `location` receives the rest.
Failure loadReporting(ObservationStore& store, ViewerState& state, LoaderServices& services,
                      std::string* location = nullptr) {
    const auto split = [location](const Exception& error) {
        const std::string& text = error.message();
        const std::size_t end = std::min(text.find('\n'), text.size());
        if (location != nullptr) *location = end < text.size() ? text.substr(end + 1) : "";
        return text.substr(0, end);
    };
    try {
        loadDataFiles(store, state, services);
        return Failure::none;
    } catch (const EInOutError& error) {
        const std::string message = split(error);
        if (error.code() == ioInvalidNumericInput && message == "Invalid numeric input") return Failure::invalidNumber;
        if (error.code() == ioAccessDenied && message == "File access denied") return Failure::accessDenied;
        ADD_FAILURE() << "unexpected I/O error " << error.code() << ": " << error.message();
    } catch (const EConvertError& error) {
        if (split(error) == "Invalid argument to date encode") return Failure::badDate;
        ADD_FAILURE() << error.message();
    } catch (const EOverflow& error) {
        if (split(error) == "Floating point overflow") return Failure::overflow;
        ADD_FAILURE() << error.message();
    }
    return Failure::none;
}

class LoaderTest : public ::testing::Test {
protected:
    LoaderTest() {
        store.dataDirectory = dir.path() + "/";
        state.baseMjd = 57000.6;
    }

    std::string write(int slot, std::string_view bytes) { return dir.write(dataFileNameOf(slot), bytes); }

    double at(int row, int slot, ValueKind kind) const { return store.observations(row, slot, kind); }

    // The MJD column of a slot up to its first missing row.
    std::vector<double> mjdsOf(int slot) const {
        std::vector<double> mjds;
        for (int row = 1; row <= kRowCount && at(row, slot, kindMJD) != missingValue; ++row)
            mjds.push_back(at(row, slot, kindMJD));
        return mjds;
    }

    TempDirectory dir;
    ObservationStore store;
    ViewerState state;
    ScriptedServices services;
};

struct LayoutCase {
    int slot;
    const char* line;
    double mjd, xp, yp, ut1;  // ut1 missingValue: the slot has none
};

TEST_F(LoaderTest, EverySlotLayout) {
    const LayoutCase cases[] = {
        {1, "17 1 2 0.1 0.2 0.3", 57755, 0.1, 0.2, 0.3},
        {2, "17 1 2 0.11 0.21 0.31", 57755, 0.11, 0.21, 0.31},
        {3, "17 1 2 0.12 0.22 0.32", 57755, 0.12, 0.22, 0.32},
        {4, "2017 1 3 57755.00 0.13 0.23 -36.7", 57755, 0.13, 0.23, -36.7},
        {5, "17 1 2 0.14 0.24 0.34", 57755, 0.14, 0.24, 0.34},
        {6, "17 1 2 0 0.15 0.25 0.35", 57755.5, 0.15, 0.25, 0.35},
        {7, "57755.75 0.16 0.26 -36.6", 57755.75, 0.16, 0.26, -36.6},
        {8, "57755.00 0.17 0.27 0.37", 57755, 0.17, 0.27, 0.37},
        {9, "17 1 2 3 0.18 0.28 0.38", 57755, 0.18, 0.28, 0.38},
        {10, "57756.00 0.19 5.5 0.29", 57756, 0.19, 0.29, missingValue},
        {11, "17 1 2 1 0.2 0.3 0.4", 57755, 0.2, 0.3, 0.4},
    };
    for (const LayoutCase& c : cases) write(c.slot, std::string(c.line) + "\n");
    ASSERT_EQ(loadReporting(store, state, services), Failure::none);

    std::vector<std::string> expectedEvents;
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.slot);
        expectedEvents.push_back("status:  Считывание данных из файла: " + dir.pathOf(dataFileNameOf(c.slot)));
        EXPECT_TRUE(store.slotLoaded[c.slot]);
        EXPECT_EQ(at(1, c.slot, kindMJD), c.mjd);
        EXPECT_EQ(at(1, c.slot, kindXp), c.xp);
        EXPECT_EQ(at(1, c.slot, kindYp), c.yp);
        EXPECT_EQ(at(1, c.slot, kindUT1), c.ut1);
        const double ut1r = c.ut1 == missingValue ? missingValue : c.ut1 - tideCorrection(c.mjd, 1);
        EXPECT_DOUBLE_EQ(at(1, c.slot, kindUT1R), ut1r);
        EXPECT_EQ(at(2, c.slot, kindMJD), missingValue);
    }
    expectedEvents.push_back("status:  Ready");
    EXPECT_EQ(services.events, expectedEvents);
    for (int slot = 12; slot <= kSlotCount; ++slot) EXPECT_FALSE(store.slotLoaded[slot]);
    EXPECT_TRUE(state.autoFitRequested);
    EXPECT_EQ(state.timeShiftDays, 0.0);
}

struct FileCase {
    const char* what;
    int slot;
    std::string bytes;
    std::vector<double> mjds;  // the rows stored, in order
    Failure failure;
    double baseMjd = 57000.6;
};

class LoaderFileTest : public LoaderTest, public ::testing::WithParamInterface<FileCase> {};

TEST_P(LoaderFileTest, StoresTheAcceptedRecords) {
    const FileCase& c = GetParam();
    state.baseMjd = c.baseMjd;
    write(c.slot, c.bytes);
    EXPECT_EQ(loadReporting(store, state, services), c.failure);
    EXPECT_TRUE(store.slotLoaded[c.slot]);
    EXPECT_EQ(mjdsOf(c.slot), c.mjds);
    const std::string lastEvent = c.failure == Failure::none
                                      ? "status:  Ready"
                                      : "status:  Загрузка остановлена на файле: " + store.pathOf(c.slot);
    ASSERT_FALSE(services.events.empty());
    EXPECT_EQ(services.events.back(), lastEvent);
    EXPECT_EQ(state.autoFitRequested, c.failure == Failure::none);
    EXPECT_EQ(pendingIoErrorCode(), 0) << "a failed load left a reading error for the next one";
}

std::string caseName(const ::testing::TestParamInfo<FileCase>& info) {
    std::string name;
    for (const char* p = info.param.what; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

const std::string kJan2 = "17 1 2 0.1 0.2 0.3";
const std::string kJan3 = "17 1 3 0.1 0.2 0.3";
const std::string kJan4 = "17 1 4 0.1 0.2 0.3";

INSTANTIATE_TEST_SUITE_P(
    Files, LoaderFileTest,
    ::testing::Values(
        FileCase{"ends after the last line break", 1, kJan2 + "\n" + kJan3 + "\n", {57755, 57756}, Failure::none},
        FileCase{"last line without a break", 1, kJan2 + "\n" + kJan3, {57755, 57756}, Failure::none},
        FileCase{"CR LF lines", 1, kJan2 + "\r\n" + kJan3 + "\r\n", {57755, 57756}, Failure::none},
        FileCase{"empty file", 1, "", {}, Failure::none},
        FileCase{"trailing blank line", 1, kJan2 + "\n" + kJan3 + "\n\n", {57755, 57756}, Failure::badDate},
        FileCase{"trailing blanks", 1, kJan2 + "\n  \t", {57755}, Failure::badDate},
        FileCase{"lone CR inside a line", 1, kJan2 + "\r" + kJan3 + "\n" + kJan4 + "\n", {57755, 57757}, Failure::none},
        FileCase{"record split over two lines",
                 1,
                 "17 1 2 0.1\n0.2 0.3 x y z\n" + kJan3 + "\n",
                 {57755, 57756},
                 Failure::none},
        FileCase{"extra columns", 1, kJan2 + " 4 5 6 abc\n" + kJan3 + " 1,5\n", {57755, 57756}, Failure::none},
        FileCase{"end mark in mid-file", 1, kJan2 + "\n\x1A" + kJan3 + "\n", {57755}, Failure::none},
        FileCase{"byte-order mark", 1, "\xEF\xBB\xBF" + kJan2 + "\n", {}, Failure::invalidNumber},
        FileCase{"four-digit year ends the file",
                 1,
                 kJan2 + "\n2017 1 3 0.1 0.2 0.3\nnot read at all\n",
                 {57755},
                 Failure::none},
        // Two-digit years: 00 to 79 are 2000 to 2079, 80 to 99 are 1980 to 1999.
        FileCase{"year 79 is 2079", 1, "79 12 31 0.1 0.2 0.3\n", {80763}, Failure::none, 80700},
        FileCase{"year 80 is 1980", 1, "80 1 1 0.1 0.2 0.3\n", {44239}, Failure::none, 44200},
        FileCase{"year 00 is 2000", 1, "00 1 1 0.1 0.2 0.3\n", {51544}, Failure::none, 51500},
        FileCase{"year 99 is 1999", 1, "99 12 31 0.1 0.2 0.3\n", {51543}, Failure::none, 51500},
        FileCase{"day 0 of March in a leap year", 1, "16 3 0 0.1 0.2 0.3\n", {57447}, Failure::none},
        FileCase{"day 0 of March in a common year", 1, kJan2 + "\n17 3 0 0.1 0.2 0.3\n", {57755}, Failure::badDate},
        FileCase{"month 13", 1, "17 13 1 0.1 0.2 0.3\n", {}, Failure::badDate},
        FileCase{"slot 6 half day", 6, "17 1 2 0 0.1 0.2 0.3\n", {57755.5}, Failure::none},
        FileCase{"first record beyond the period", 1, "20 1 1 0.1 0.2 0.3\n" + kJan2 + "\n", {}, Failure::none},
        FileCase{
            "records before the period are skipped", 1, "14 1 1 0.1 0.2 0.3\n" + kJan2 + "\n", {57755}, Failure::none},
        FileCase{"bad token in mid-record",
                 1,
                 kJan2 + "\n17 1 3 0,1 0.2 0.3\n" + kJan4 + "\n",
                 {57755},
                 Failure::invalidNumber},
        // The fields after a bad one are still read: storing the later huge one overflows first.
        FileCase{"bad token then an overflow", 1, kJan2 + "\n17 1 3 0,1 0.2 1e999\n", {57755}, Failure::overflow},
        FileCase{"epoch too large for a double", 8, "1e400 0.1 0.2 0.3\n", {}, Failure::overflow},
        FileCase{"overflow in a stored field", 1, kJan2 + "\n17 1 3 1e400 0.2 0.3\n", {57755}, Failure::overflow},
        FileCase{"overflow in a discarded field", 10, "57755 0.1 1e400 0.2\n", {57755}, Failure::none},
        FileCase{"bad discarded integer", 9, "17 1 2 3.0 0.1 0.2 0.3\n", {}, Failure::invalidNumber},
        FileCase{"MJD 0 in slot 7 is skipped", 7, "0 0.1 0.2 0.3\n57755.75 0.1 0.2 0.3\n", {57755.75}, Failure::none},
        FileCase{"trailing blank line in slot 8", 8, "57755 0.1 0.2 0.3\n\n", {57755}, Failure::none},
        FileCase{"trailing blank line in slot 10", 10, "57755 0.1 0 0.2\n \n", {57755}, Failure::none},
        FileCase{"slot 4 takes the MJD field", 4, "2017 1 2 57760.25 0.1 0.2 0.3\n", {57760.25}, Failure::none},
        FileCase{"slot 4 falls back to the date", 4, "2017 1 2 0 0.1 0.2 0.3\n", {57755}, Failure::none},
        FileCase{"slot 4 fallback before 2000", 4, "1999 12 31 0.0 0.1 0.2 0.3\n", {51543}, Failure::none, 51540},
        FileCase{"slot 4 fallback after 2079", 4, "2080 3 0 0 0.1 0.2 0.3\n", {80823}, Failure::none, 80800},
        FileCase{"slot 4 trailing blank line", 4, "2017 1 2 57755 0.1 0.2 0.3\n\n", {57755}, Failure::badDate},
        FileCase{"absurd epoch never wraps into the period",
                 8,
                 "4295024396 0.1 0.2 0.3\n57755 0.1 0.2 0.3\n",
                 {},
                 Failure::none}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    HostileFiles, LoaderFileTest,
    ::testing::Values(FileCase{"ten thousand digits", 1, std::string(10000, '7') + "\n", {}, Failure::invalidNumber},
                      FileCase{"only NUL bytes in slot 1", 1, std::string(100000, '\0'), {}, Failure::badDate},
                      FileCase{"only NUL bytes in slot 8", 8, std::string(100000, '\0'), {}, Failure::none},
                      FileCase{"only end marks", 1, std::string(1000, '\x1A'), {}, Failure::none},
                      FileCase{"one huge line", 1, kJan2 + std::string(1 << 20, ' ') + "x", {57755}, Failure::none}),
    caseName);

// Whatever the bytes, a file either loads or ends in one of the loader's own errors, and the
// rows stay inside the store.
TEST_F(LoaderTest, RandomBytesEndInTheLoadersOwnErrors) {
    std::mt19937 random(3);
    const std::string alphabet = "0123456789012345678901234567890123456789 \t\r\n.-+eEx$,\x1A\xEF";
    for (int round = 0; round < 400; ++round) {
        const int slot = 1 + round % kSeriesSlotCount;
        std::string bytes(random() % 400, ' ');
        for (char& byte : bytes)
            byte = random() % 8 ? alphabet[random() % alphabet.size()] : static_cast<char>(random());
        const std::string path = write(slot, bytes);
        store.observations.fill(missingValue);
        try {
            const int rows = loadSlotFile(store, slot, path, 57000.6);
            ASSERT_GE(rows, 0);
            ASSERT_LE(rows, kRowCount);
        } catch (const EInOutError& error) {
            ASSERT_EQ(error.code(), ioInvalidNumericInput) << ::testing::PrintToString(bytes);
        } catch (const EConvertError&) {
        } catch (const EOverflow&) {
        } catch (const EInvalidOp&) {  // an epoch beyond the 64-bit day count
        }
        ASSERT_EQ(pendingIoErrorCode(), 0);
    }
}

TEST_F(LoaderTest, BothPolesZeroShowNoPoleButKeepTheTime) {
    write(1, "17 1 2 0.0 0 0.3\n17 1 3 0 0.2 0.3\n");
    ASSERT_EQ(loadReporting(store, state, services), Failure::none);
    EXPECT_EQ(at(1, 1, kindXp), missingValue);
    EXPECT_EQ(at(1, 1, kindYp), missingValue);
    EXPECT_EQ(at(1, 1, kindUT1), 0.3);
    EXPECT_EQ(at(1, 1, kindUT1R), 0.3 - tideCorrection(57755.0, 1));
    EXPECT_EQ(at(2, 1, kindXp), 0.0);
    EXPECT_EQ(at(2, 1, kindYp), 0.2);
}

TEST_F(LoaderTest, DayOffsetFilterKeeps999Days) {
    std::string bytes;
    for (int mjd = 56990; mjd <= 58010; ++mjd) bytes += std::to_string(mjd) + ".00 0.1 0.2 0.3\n";
    write(8, bytes + "garbage after the period is never read\n");
    ASSERT_EQ(loadReporting(store, state, services), Failure::none);
    const std::vector<double> mjds = mjdsOf(8);
    ASSERT_EQ(mjds.size(), 999u);
    EXPECT_EQ(mjds.front(), 57002.0);
    EXPECT_EQ(mjds.back(), 58000.0);
}

TEST_F(LoaderTest, RecordsBeyondTheStoreAreDropped) {
    state.baseMjd = 57000.0;
    std::string bytes;
    for (int k = 0; k < 1200; ++k) bytes += std::to_string(57001 + k * 0.25) + " 0.1 0.2 0.3\n";
    write(8, bytes + "58000.5 0.1 0.2 0.3\n");
    ASSERT_EQ(loadReporting(store, state, services), Failure::none);
    const std::vector<double> mjds = mjdsOf(8);
    ASSERT_EQ(mjds.size(), static_cast<std::size_t>(kRowCount));
    EXPECT_EQ(mjds.back(), 57001 + 999 * 0.25);
}

TEST_F(LoaderTest, FailureKeepsTheRowsOfEarlierSlots) {
    write(1, kJan2 + "\n" + kJan3 + "\n");
    write(2, kJan2 + "\nbad\n");
    write(3, kJan2 + "\n");
    EXPECT_EQ(loadReporting(store, state, services), Failure::invalidNumber);
    EXPECT_EQ(mjdsOf(1), (std::vector<double>{57755, 57756}));
    EXPECT_EQ(mjdsOf(2), (std::vector<double>{57755}));
    EXPECT_FALSE(store.slotLoaded[3]);
    EXPECT_FALSE(state.autoFitRequested);
}

// The message's second line names the file and the line of the failing record, also beyond the
// reader's first block and with a field that ends exactly at a block's end.
TEST_F(LoaderTest, FailureNamesTheFileAndTheLine) {
    std::string manyLines;
    for (int i = 0; i < 3000; ++i) manyLines += kJan2 + " and a remark to fill the block\n";
    const std::string blockLongLine = kJan2 + " " + std::string(kReaderBlockSize - 32, 'r') + "\n";
    ASSERT_EQ(blockLongLine.size() + std::string("17 1 3 1e400").size(), kReaderBlockSize);
    struct Row {
        const char* what;
        int slot;
        std::string bytes;
        Failure failure;
        const char* location;
    };
    const Row rows[] = {
        {"bad field", 2, kJan2 + "\n" + kJan3 + "\n17 1 4 x.123 0.2 0.3\n", Failure::invalidNumber,
         "Файл iers.dat, строка 3"},
        {"blank last line", 1, kJan2 + "\n" + kJan3 + "\n\n", Failure::badDate, "Файл zt_pvz.dat, строка 3"},
        {"overflow", 8, "57755 0.1 0.2 0.3\n57756 1e400 0.2 0.3\n", Failure::overflow, "Файл iaagps.pvz, строка 2"},
        {"blank lines before the record", 8, "57755 0.1 0.2 0.3\n\n\n57756 x 0.2 0.3\n", Failure::invalidNumber,
         "Файл iaagps.pvz, строка 4"},
        {"beyond the first block", 1, manyLines + "17 1 4 x.123 0.2 0.3\n", Failure::invalidNumber,
         "Файл zt_pvz.dat, строка 3001"},
        {"field ending at the block's end", 1, blockLongLine + "17 1 3 1e400 0.2 0.3\n", Failure::overflow,
         "Файл zt_pvz.dat, строка 2"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string path = write(row.slot, row.bytes);
        std::string location;
        EXPECT_EQ(loadReporting(store, state, services, &location), row.failure);
        EXPECT_EQ(location, row.location);
        EXPECT_EQ(services.events.back(), "status:  Загрузка остановлена на файле: " + path);
        std::filesystem::remove(path);
    }
}

TEST_F(LoaderTest, DirectoryNamedLikeADataFileIsSkipped) {
    std::filesystem::create_directory(dir.pathOf(dataFileNameOf(1)));
    write(2, kJan2 + "\n");
    ASSERT_EQ(loadReporting(store, state, services), Failure::none);
    EXPECT_FALSE(store.slotLoaded[1]);
    EXPECT_TRUE(store.slotLoaded[2]);
    EXPECT_EQ(services.events.size(), 2u);
}

TEST_F(LoaderTest, FifoUnderADataFileNameFailsWithoutWaiting) {
    write(1, kJan2 + "\n");
    ASSERT_EQ(::mkfifo(dir.pathOf(dataFileNameOf(2)).c_str(), 0600), 0);
    EXPECT_EQ(loadReporting(store, state, services), Failure::accessDenied);
    EXPECT_TRUE(store.slotLoaded[2]);
    EXPECT_EQ(mjdsOf(1), std::vector<double>{57755});
}

TEST_F(LoaderTest, PlaceholderSlotsNeverLoad) {
    dir.write("  ", kJan2 + "\n");
    write(1, kJan2 + "\n");
    ASSERT_EQ(loadReporting(store, state, services), Failure::none);
    for (int slot = 12; slot <= kSlotCount; ++slot) {
        EXPECT_FALSE(store.slotLoaded[slot]);
        EXPECT_EQ(at(1, slot, kindMJD), missingValue);
    }
}

TEST_F(LoaderTest, StartResetsTheStore) {
    store.observations.fill(0.0);
    store.slotLoaded[3] = true;
    state.seriesChecked[4] = true;
    write(1, kJan2 + "\n");
    ASSERT_EQ(loadReporting(store, state, services), Failure::none);
    EXPECT_EQ(at(2, 1, kindMJD), missingValue);
    EXPECT_EQ(at(1, 3, kindUT1), missingValue);
    EXPECT_EQ(at(kRowCount, kSlotCount, kindYp), missingValue);
    EXPECT_FALSE(store.slotLoaded[3]);
    EXPECT_FALSE(state.seriesChecked[4]);
}

TEST_F(LoaderTest, NoFileAsksForTheDirectoryUntilASweepFindsOne) {
    TempDirectory chosen;
    chosen.write(dataFileNameOf(5), kJan2 + "\n");
    services.answers = {std::nullopt, chosen.path()};
    ASSERT_EQ(loadReporting(store, state, services), Failure::none);
    const std::vector<std::string> expected = {
        "message:Путь к файлам данных указан неверно!",
        "choose:/home/observer",
        "message:Путь к файлам данных указан неверно!",
        "choose:/home/observer",
        "status:  Считывание данных из файла: " + chosen.path() + "/lageos.pvz",
        "status:  Ready",
    };
    EXPECT_EQ(services.events, expected);
    EXPECT_EQ(store.dataDirectory, chosen.path() + "/");
    EXPECT_TRUE(store.anyFileFound);
    EXPECT_EQ(mjdsOf(5), std::vector<double>{57755});
}

TEST(LoaderDirectory, ChosenDirectoryIsCutTo255Characters) {
    EXPECT_EQ(dataDirectoryFor("/data/eop"), "/data/eop/");
    EXPECT_EQ(dataDirectoryFor(std::string(254, 'a')), std::string(254, 'a') + "/");
    EXPECT_EQ(dataDirectoryFor(std::string(255, 'a')), std::string(255, 'a'));
    std::string russian;
    for (int i = 0; i < 200; ++i) russian += "ж";
    const std::string cut = dataDirectoryFor("/" + russian + "/" + russian);
    EXPECT_EQ(cut, "/" + russian + "/" + russian.substr(0, 2 * 53));
}

// The real data set with "now" fixed at 2017-11-01 12:00: the stored period starts at MJD 57307.5.
TEST(LoaderRealData, Eop2017) {
    ObservationStore store;
    ViewerState state;
    ScriptedServices services;
    state.fixTimeBase(encodeDayNumber(2017, 11, 1) + 0.5);
    ASSERT_EQ(state.baseMjd, 57307.5);
    store.dataDirectory = std::string(PVZ_TEST_DATA_DIR) + "/eop-2017/";
    ASSERT_EQ(loadReporting(store, state, services), Failure::none);

    struct Expected {
        int slot;
        std::size_t rows;
        double firstMjd, lastMjd;
    };
    const Expected expected[] = {
        {1, 752, 57309, 58060}, {2, 719, 57309, 58027},     {3, 752, 57309, 58060},       {4, 251, 57309, 58059},
        {5, 240, 57310, 58027}, {6, 753, 57308.5, 58060.5}, {7, 215, 57310.75, 58059.75}, {8, 752, 57309, 58060},
        {9, 103, 57311, 58025}, {10, 376, 57310, 58060},    {11, 752, 57309, 58060},
    };
    ObservationStore& s = store;
    auto column = [&](int slot) {
        std::vector<double> mjds;
        for (int row = 1; row <= kRowCount && s.observations(row, slot, kindMJD) != missingValue; ++row)
            mjds.push_back(s.observations(row, slot, kindMJD));
        return mjds;
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.slot);
        EXPECT_TRUE(store.slotLoaded[e.slot]);
        const std::vector<double> mjds = column(e.slot);
        ASSERT_EQ(mjds.size(), e.rows);
        EXPECT_EQ(mjds.front(), e.firstMjd);
        EXPECT_EQ(mjds.back(), e.lastMjd);
    }

    // 2017-09-04 (MJD 58000), row 692 of the daily files: "17 9 4 0.237515 0.351647 0.3357682".
    const int row = 58000 - 57309 + 1;
    EXPECT_EQ(store.observations(row, 1, kindMJD), 58000.0);
    EXPECT_EQ(store.observations(row, 1, kindXp), 0.237515);
    EXPECT_EQ(store.observations(row, 1, kindYp), 0.351647);
    EXPECT_EQ(store.observations(row, 1, kindUT1), 0.3357682);
    EXPECT_NEAR(store.observations(row, 1, kindUT1R), 0.3357682 - 0.024362186, 1e-9);
    EXPECT_EQ(store.observations(row, 1, kindUT1R), 0.3357682 - tideCorrection(58000.0, 1));
    // The same day in slot 6 is taken at noon, with the correction of the half day.
    EXPECT_EQ(store.observations(row + 1, 6, kindMJD), 58000.5);
    EXPECT_EQ(store.observations(row + 1, 6, kindUT1R), 0.3357682 - tideCorrection(58000.5, 1));
    // Slot 10 has no UT; row 346 is MJD 58000 (every other day from 57310).
    EXPECT_EQ(store.observations(346, 10, kindMJD), 58000.0);
    EXPECT_EQ(store.observations(346, 10, kindYp), 0.351647);
    EXPECT_EQ(store.observations(346, 10, kindUT1), missingValue);
    EXPECT_EQ(store.observations(346, 10, kindUT1R), missingValue);
    // Slot 4 stores UT1 - TAI as written.
    EXPECT_EQ(store.observations(1, 4, kindUT1), -35.7894553);
    EXPECT_EQ(services.events.back(), "status:  Ready");
}

}  // namespace
}  // namespace pvz

namespace pvz {
namespace {

// The sweep shares one cache of tide corrections among the slots; every stored UT1R must still
// be exactly what the correction computed afresh for its row gives.
TEST_F(LoaderTest, SharedTideCorrectionsGiveTheValuesComputedPerRow) {
    std::string dates, mjds, withMjd;
    for (int day = 2; day <= 28; ++day) {
        const std::string ut = "0." + std::to_string(300 + day);
        dates += "17 1 " + std::to_string(day) + " 0.1 0.2 " + ut + "\n";
        withMjd += "17 1 " + std::to_string(day) + " 0 0.1 0.2 " + ut + "\n";
        mjds += std::to_string(57753 + day) + ".5 0.1 0.2 -" + ut + "\n";
    }
    write(1, dates);
    write(2, dates);
    write(6, withMjd);  // half days, the same epochs as slot 8
    write(8, mjds);
    ASSERT_EQ(loadReporting(store, state, services), Failure::none);
    for (const int slot : {1, 2, 6, 8}) {
        SCOPED_TRACE(slot);
        ASSERT_EQ(mjdsOf(slot).size(), 27u);
        for (int row = 1; row <= 27; ++row) {
            const double expected = checkedStore(static_cast<long double>(at(row, slot, kindUT1)) -
                                                 tideCorrection(at(row, slot, kindMJD), 1));
            ASSERT_EQ(std::bit_cast<std::uint64_t>(at(row, slot, kindUT1R)), std::bit_cast<std::uint64_t>(expected))
                << row;
        }
    }
}

}  // namespace
}  // namespace pvz
