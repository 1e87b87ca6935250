#include "tools/lib/sample_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

#include "data/data_loader.h"
#include "data/observation_store.h"
#include "data/viewer_state.h"
#include "runtime/calendar.h"
#include "runtime/errors.h"
#include "tests/support/fixture_files.h"

namespace pvz {
namespace {

using test::TempDirectory;

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Field order of each slot's records: I integer, R real.
std::string_view fieldsOf(int slot) {
    switch (slot) {
        case 4:
            return "IIIRRRR";
        case 6:
        case 9:
        case 11:
            return "IIIIRRR";
        case 7:
        case 8:
        case 10:
            return "RRRR";
        default:
            return "IIIRRR";
    }
}

bool isDateSlot(int slot) { return slot != 4 && slot != 7 && slot != 8 && slot != 10; }

bool isInteger(std::string_view token) {
    if (!token.empty() && token[0] == '-') token.remove_prefix(1);
    return !token.empty() && std::all_of(token.begin(), token.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A plain decimal with digits on both sides of the point.
bool isPlainReal(std::string_view token) {
    const auto point = token.find('.');
    return point != std::string_view::npos && isInteger(token.substr(0, point)) && isInteger(token.substr(point + 1)) &&
           token[point + 1] != '-';
}

// The fields of one line, in file order.
using Line = std::vector<double>;

// Splits a slot's file into lines of its layout; every departure from it is a test failure.
std::vector<Line> parseLayout(int slot, const std::string& text) {
    std::vector<Line> lines;
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n') << "the file ends right after its last line break";
    EXPECT_EQ(text.find('\r'), std::string::npos);
    const std::string_view fields = fieldsOf(slot);
    std::istringstream input(text);
    std::string line;
    while (std::getline(input, line)) {
        std::vector<std::string_view> tokens;
        for (std::size_t at = 0; at < line.size();) {
            if (line[at] == ' ') {
                ++at;
                continue;
            }
            const std::size_t end = std::min(line.find(' ', at), line.size());
            tokens.emplace_back(line.data() + at, end - at);
            at = end;
        }
        if (tokens.size() != fields.size() || line.empty() || line.back() == ' ') {
            ADD_FAILURE() << "line " << lines.size() + 1 << " '" << line << "'";
            return lines;
        }
        Line values;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (!(fields[i] == 'I' ? isInteger(tokens[i]) : isPlainReal(tokens[i]))) {
                ADD_FAILURE() << "line " << lines.size() + 1 << " field " << i + 1 << " '" << tokens[i] << "'";
                return lines;
            }
            double value = 0.0;
            std::from_chars(tokens[i].data(), tokens[i].data() + tokens[i].size(), value);
            values.push_back(value);
        }
        lines.push_back(values);
    }
    return lines;
}

// One row of the store as the viewer's loader left it.
struct Row {
    double mjd, ut1, ut1r, xp, yp;
};

// Loader services for a directory that is known to hold the files: asking for one is a fault.
class SampleDirectoryServices : public LoaderServices {
public:
    void setStatusText(const std::string&) override {}
    void showMessage(const std::string& text) override { ADD_FAILURE() << text; }
    std::optional<std::string> chooseDirectory(const std::string&) override {
        throw std::runtime_error("no sample file was found");
    }
    std::string currentDirectory() override { return "/"; }
};

SampleDataOptions optionsFor(std::uint16_t year, std::uint16_t month, std::uint16_t day, double timeOfDay = 0.5,
                             SampleSampling sampling = SampleSampling::likeServices) {
    SampleDataOptions options;
    options.todayDay = encodeDayNumber(year, month, day) + timeOfDay;
    options.sampling = sampling;
    return options;
}

// The sample for one "today", written, parsed line by line and loaded by the viewer's loader
// with the stored period the viewer fixes on that day.
struct WrittenSample {
    explicit WrittenSample(const SampleDataOptions& options) : calendar(sampleCalendarOf(options)) {
        reports = writeSampleData(directory.path(), options);
        for (int slot = 1; slot <= kSampleSlotCount; ++slot) {
            texts[slot] = readFile(directory.pathOf(dataFileNameOf(slot)));
            lines[slot] = parseLayout(slot, texts[slot]);
        }
        ObservationStore store;
        store.dataDirectory = directory.path() + "/";
        ViewerState state;
        state.fixTimeBase(options.todayDay);
        SampleDirectoryServices services;
        loadDataFiles(store, state, services);
        EXPECT_EQ(state.baseMjd, calendar.baseMjd);
        for (int slot = 1; slot <= kSampleSlotCount; ++slot) {
            EXPECT_TRUE(store.slotLoaded[slot]) << slot;
            for (int r = 1; r <= kRowCount && store.observations(r, slot, kindMJD) != missingValue; ++r) {
                const auto at = [&](ValueKind kind) { return store.observations(r, slot, kind); };
                rows[slot].push_back({at(kindMJD), at(kindUT1), at(kindUT1R), at(kindXp), at(kindYp)});
            }
        }
    }

    const SampleFileReport& report(int slot) const { return reports.at(static_cast<std::size_t>(slot - 1)); }

    TempDirectory directory;
    SampleCalendar calendar;
    std::vector<SampleFileReport> reports;
    std::map<int, std::string> texts;
    std::map<int, std::vector<Line>> lines;
    std::map<int, std::vector<Row>> rows;
};

TEST(SampleData, EveryFileLoadsWithTheReportedRowCount) {
    const struct {
        std::uint16_t year, month, day;
        double timeOfDay;
    } days[] = {
        {2017, 2, 15, 0.5}, {2025, 1, 1, 0.0}, {2000, 3, 1, 0.9999}, {1982, 3, 12, 0.25}, {2079, 4, 14, 0.75},
    };
    for (const auto& today : days) {
        SCOPED_TRACE(testing::Message() << today.year << "-" << today.month << "-" << today.day);
        const SampleDataOptions options = optionsFor(today.year, today.month, today.day, today.timeOfDay);
        const WrittenSample sample(options);
        ASSERT_EQ(sample.reports.size(), 11u);
        for (int slot = 1; slot <= kSampleSlotCount; ++slot) {
            SCOPED_TRACE(testing::Message() << "slot " << slot);
            const SampleFileReport& report = sample.report(slot);
            const std::vector<Row>& rows = sample.rows.at(slot);
            EXPECT_EQ(report.slot, slot);
            EXPECT_EQ(report.fileName, dataFileNameOf(slot));
            EXPECT_EQ(static_cast<int>(sample.lines.at(slot).size()), report.recordCount);
            ASSERT_EQ(static_cast<int>(rows.size()), report.acceptedCount);
            for (const Line& line : sample.lines.at(slot)) {
                if (isDateSlot(slot)) {
                    ASSERT_LT(line[0], 100.0) << "two-digit year";
                }
            }
            for (std::size_t i = 1; i < rows.size(); ++i) ASSERT_LT(rows[i - 1].mjd, rows[i].mjd) << i;
            // Records begin before the stored period, the first rows fill its start ...
            EXPECT_LT(sampleRecords(slot, options).front().mjd, sample.calendar.baseMjd + 1.0);
            EXPECT_LT(rows.front().mjd, sample.calendar.baseMjd + 5.0);
            // ... and every source reaches the last days before today.
            EXPECT_GT(rows.back().mjd, sample.calendar.todayMjd - 8.0);
        }
    }
}

TEST(SampleData, StoredRowCountsForMidFebruary2017AtNoon) {
    // baseMjd 57048.5: daily whole-MJD records are stored from MJD 57050 on, the half-day epochs
    // of slots 6 and 8 from 57049.5 on; today is MJD 57799.
    const struct {
        int slot, records, stored;
    } expected[] = {
        {1, 889, 870},                  // to today + 120
        {2, 856, 840},                  // to today + 90
        {3, 853, 840},  {6, 762, 749},  // to 57797.5
        {8, 761, 750},                  // to 57798.5
        {11, 764, 749},                 // to yesterday
    };
    const WrittenSample sample(optionsFor(2017, 2, 15));
    EXPECT_EQ(sample.calendar.baseMjd, 57048.5);
    for (const auto& row : expected) {
        SCOPED_TRACE(testing::Message() << "slot " << row.slot);
        EXPECT_EQ(sample.report(row.slot).recordCount, row.records);
        EXPECT_EQ(static_cast<int>(sample.rows.at(row.slot).size()), row.stored);
    }
}

TEST(SampleData, SameSeedGivesIdenticalBytesAndAnotherSeedOtherValues) {
    SampleDataOptions options = optionsFor(2021, 7, 9);
    const WrittenSample first(options);
    const WrittenSample again(options);
    options.seed += 1;
    const WrittenSample other(options);
    for (int slot = 1; slot <= kSampleSlotCount; ++slot) {
        SCOPED_TRACE(testing::Message() << "slot " << slot);
        EXPECT_EQ(first.texts.at(slot), again.texts.at(slot));
        EXPECT_NE(first.texts.at(slot), other.texts.at(slot));
        EXPECT_EQ(sampleFileText(slot, sampleRecords(slot, options)), other.texts.at(slot));
    }
}

TEST(SampleData, FilesAreTheSameUnderARussianLocale) {
    // The viewer runs under the user's locale, whose decimal separator may be ",".
    const SampleDataOptions options = optionsFor(2017, 2, 15);
    const std::string before = sampleFileText(1, sampleRecords(1, options));
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "ru_RU.UTF-8") == nullptr) GTEST_SKIP() << "ru_RU.UTF-8 is not installed";
    const std::string under = sampleFileText(1, sampleRecords(1, options));
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(under, before);
    EXPECT_EQ(before.find(','), std::string::npos);
}

// The leap second comes after the latest 30 June or 31 December at least five weeks before
// today: inside the first year view, before the first month view.
TEST(SampleData, LeapSecondStepsEveryUtcSeriesInsideTheFirstYearView) {
    const struct {
        SampleDataOptions options;
        CalendarDate leapDay;
    } rows[] = {
        {optionsFor(2017, 2, 15), {2016, 12, 31}}, {optionsFor(2030, 12, 29, 0.1), {2030, 6, 30}},
        {optionsFor(2026, 12, 8), {2026, 6, 30}},  {optionsFor(2027, 2, 4), {2026, 12, 31}},
        {optionsFor(2027, 2, 3), {2026, 6, 30}},   {optionsFor(2026, 8, 4), {2026, 6, 30}},
        {optionsFor(2026, 8, 3), {2025, 12, 31}},
    };
    for (const auto& [options, leapDay] : rows) {
        SCOPED_TRACE(testing::Message() << leapDay.year << "-" << leapDay.month << "-" << leapDay.day);
        const WrittenSample sample(options);
        const double leap = sample.calendar.leapSecondMjd;
        const TimeBase home = timeBaseAt(options.todayDay);
        EXPECT_EQ(leap, mjdOfDate(static_cast<std::uint16_t>(leapDay.year), static_cast<std::uint16_t>(leapDay.month),
                                  static_cast<std::uint16_t>(leapDay.day)) +
                            1.0);
        EXPECT_LT(leap, home.homeStartMjd);
        EXPECT_GT(leap, home.homeEndMjd - 52 * 7);

        std::map<double, double> reference;
        for (const Row& row : sample.rows.at(1)) reference[row.mjd] = row.ut1;
        for (int slot = 1; slot <= kSampleSlotCount; ++slot) {
            if (slot == 10) continue;
            SCOPED_TRACE(testing::Message() << "slot " << slot);
            const std::vector<Row>& rows = sample.rows.at(slot);
            int steps = 0;
            for (std::size_t i = 1; i < rows.size(); ++i) {
                const double step = rows[i].ut1 - rows[i - 1].ut1;
                if (std::abs(step) <= 0.5) continue;
                ++steps;
                EXPECT_NEAR(step, 1.0, 0.02);
                EXPECT_LT(rows[i - 1].mjd, leap);
                EXPECT_GE(rows[i].mjd, leap);
            }
            if (slot == 7) {
                // UT1 - TAI: no step, and 37 s (from the leap second on 38 s) below UT1 - UTC.
                EXPECT_EQ(steps, 0);
                for (const Row& row : rows) {
                    ASSERT_EQ(reference.count(std::floor(row.mjd)), 1u) << row.mjd;
                    EXPECT_EQ(std::round(reference[std::floor(row.mjd)] - row.ut1), row.mjd < leap ? 37.0 : 38.0);
                }
            } else {
                EXPECT_EQ(steps, 1);
                for (const Row& row : rows) ASSERT_LT(std::abs(row.ut1), 0.9) << row.mjd;
            }
        }
    }
}

TEST(SampleData, UtCarriesTheZonalTidesAndTheSeasonalTerms) {
    // The viewer's UT1R (tides out, seasonal term back) must be far smoother than UT1: the tide
    // terms bend UT1 by up to 0.2 ms/day^2, the reference's noise by about 0.05 ms.
    const WrittenSample sample(optionsFor(2019, 10, 3));
    const std::vector<Row>& rows = sample.rows.at(1);
    const double leap = sample.calendar.leapSecondMjd;
    const auto bendOf = [&](double Row::*value) {
        double sum = 0.0;
        int count = 0;
        for (std::size_t i = 2; i < rows.size(); ++i) {
            if (rows[i].mjd >= leap && rows[i - 2].mjd < leap) continue;
            const double bend = rows[i].*value - 2.0 * (rows[i - 1].*value) + rows[i - 2].*value;
            sum += bend * bend;
            ++count;
        }
        return std::sqrt(sum / count);
    };
    EXPECT_LT(bendOf(&Row::ut1r), 0.5 * bendOf(&Row::ut1));

    // Leap second taken out, the day is 0.5 to 1.5 ms longer than 86400 s.
    const double drift = (rows.back().ut1r - 1.0 - rows.front().ut1r) / (rows.back().mjd - rows.front().mjd);
    EXPECT_LT(drift, -0.5e-3);
    EXPECT_GT(drift, -1.5e-3);
}

TEST(SampleData, PoleCirclesAroundTheMeanPole) {
    const WrittenSample sample(optionsFor(2023, 5, 20));
    for (int slot = 1; slot <= kSampleSlotCount; ++slot) {
        SCOPED_TRACE(testing::Message() << "slot " << slot);
        double sumX = 0.0, sumY = 0.0, lowX = 1.0, highX = -1.0;
        int count = 0;
        for (const Row& row : sample.rows.at(slot)) {
            if (row.xp == missingValue) continue;
            sumX += row.xp;
            sumY += row.yp;
            lowX = std::min(lowX, row.xp);
            highX = std::max(highX, row.xp);
            ++count;
        }
        EXPECT_GT(sumX / count, 0.1);
        EXPECT_LT(sumX / count, 0.3);
        EXPECT_GT(sumY / count, 0.3);
        EXPECT_LT(sumY / count, 0.5);
        EXPECT_GT(highX - lowX, 0.2);
    }
}

TEST(SampleData, SourcesDifferInSamplingAndNoise) {
    const WrittenSample sample(optionsFor(2017, 2, 15));
    // Gaps between neighbouring epochs, in sixteenths of a day.
    const auto gapsOf = [&](int slot) {
        std::map<int, int> gaps;
        const std::vector<Row>& rows = sample.rows.at(slot);
        for (std::size_t i = 1; i < rows.size(); ++i) {
            ++gaps[static_cast<int>(std::lround((rows[i].mjd - rows[i - 1].mjd) * 16))];
        }
        return gaps;
    };
    for (int slot : {1, 2, 3, 6, 8, 11}) EXPECT_EQ(gapsOf(slot).size(), 1u) << "daily " << slot;
    for (int slot : {5, 9, 10})
        EXPECT_EQ(gapsOf(slot), (std::map<int, int>{{48, sample.report(slot).acceptedCount - 1}}));
    for (int slot : {4, 7}) {
        SCOPED_TRACE(testing::Message() << "VLBI slot " << slot);
        const std::vector<Row>& rows = sample.rows.at(slot);
        EXPECT_TRUE(std::none_of(rows.begin(), rows.end(), [](const Row& r) { return r.mjd == std::floor(r.mjd); }));
        EXPECT_NEAR((rows.size() - 1) / (rows.back().mjd - rows.front().mjd) * 7.0, 2.0, 0.05);
    }
    EXPECT_EQ(sample.rows.at(6).front().mjd - std::floor(sample.rows.at(6).front().mjd), 0.5);

    // The laser-ranging solution scatters more about the reference than a combined series.
    std::map<double, double> reference;
    for (const Row& r : sample.rows.at(1)) reference[r.mjd] = r.xp;
    const auto scatterOf = [&](int slot) {
        double sum = 0.0, sumSquares = 0.0;
        int count = 0;
        for (const Row& r : sample.rows.at(slot)) {
            if (r.mjd > sample.calendar.todayMjd - 8) continue;  // forecasts differ by design
            const double d = r.xp - reference.at(r.mjd);
            sum += d;
            sumSquares += d * d;
            ++count;
        }
        return std::sqrt(sumSquares / count - (sum / count) * (sum / count));
    };
    EXPECT_GT(scatterOf(5), 2.0 * scatterOf(2));
}

TEST(SampleData, SlotTenHasNoUtAndSlotFourItsYearAndMjd) {
    const WrittenSample sample(optionsFor(2017, 2, 15));
    for (const Line& line : sample.lines.at(10)) {
        ASSERT_GT(line[1], 0.0) << "Xp";
        ASSERT_LT(line[2], 0.01) << "the unused column holds an uncertainty, not a UT value";
        ASSERT_GT(line[3], 0.1) << "Yp";
    }
    for (const Row& row : sample.rows.at(10)) ASSERT_EQ(row.ut1, missingValue);
    for (const Line& line : sample.lines.at(4)) {
        ASSERT_GE(line[0], 2014.0) << "four-digit year";
        EXPECT_EQ(std::floor(line[3]),
                  mjdOf(encodeDayNumber(static_cast<std::uint16_t>(line[0]), static_cast<std::uint16_t>(line[1]),
                                        static_cast<std::uint16_t>(line[2]))));
    }
    EXPECT_EQ(sample.texts.at(4).substr(0, 5), "2015 ");
}

TEST(SampleData, AFewRecordsCarryNoPolePosition) {
    const WrittenSample sample(optionsFor(2017, 2, 15));
    int withoutPole = 0;
    for (int slot = 1; slot <= kSampleSlotCount; ++slot) {
        for (const Row& row : sample.rows.at(slot)) {
            if (row.xp != missingValue) continue;
            ++withoutPole;
            EXPECT_TRUE(slot == 8 || slot == 11) << slot;
            EXPECT_EQ(row.yp, missingValue);
            EXPECT_NE(row.ut1, missingValue) << "the record keeps its UT";
        }
    }
    EXPECT_EQ(withoutPole, 5);
}

TEST(SampleData, DenseSamplingStoresOneRecordForEveryDayOffset) {
    for (double timeOfDay : {0.0, 0.3125, 0.5, 0.9999}) {
        SCOPED_TRACE(testing::Message() << "time of day " << timeOfDay);
        const WrittenSample sample(optionsFor(2017, 2, 15, timeOfDay, SampleSampling::oneAcceptedRecordPerDay));
        for (int slot = 1; slot <= kSampleSlotCount; ++slot) {
            SCOPED_TRACE(testing::Message() << "slot " << slot);
            const std::vector<Row>& rows = sample.rows.at(slot);
            EXPECT_EQ(sample.report(slot).recordCount, 999);
            ASSERT_EQ(rows.size(), 999u);
            for (std::size_t i = 0; i < rows.size(); ++i) {
                ASSERT_EQ(truncToInt64(rows[i].mjd - sample.calendar.baseMjd), static_cast<std::int64_t>(i + 1));
            }
        }
    }
}

TEST(SampleData, TodayArgumentIsAnIsoDateInTheTwoDigitYearRange) {
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"2017-02-15", true},  {"1982-03-11", true},   {"2079-04-15", true},  {"2016-02-29", true},
        {"1982-03-10", false}, {"2079-04-16", false},  {"2017-02-29", false}, {"2017-13-01", false},
        {"2017-2-15", false},  {"2017-02-15x", false}, {"20170215", false},   {"", false},
        {"2017/02/15", false}, {"+017-02-15", false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(sampleDayFromIsoDate(row.text).has_value(), row.valid);
    }
    EXPECT_EQ(sampleDayFromIsoDate("2017-02-15"), encodeDayNumber(2017, 2, 15));
}

TEST(SampleData, UnwritableDirectoryIsReported) {
    const TempDirectory directory;
    const std::string file = directory.write("plain-file", "a file where the directory should be");
    const SampleDataOptions options = optionsFor(2017, 2, 15);
    EXPECT_THROW(writeSampleData(file, options), Exception);
    EXPECT_THROW(writeSampleData(file + "/below", options), Exception);
}

}  // namespace
}  // namespace pvz
