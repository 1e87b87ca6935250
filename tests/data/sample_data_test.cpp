#include "data/sample_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

#include "data/observation_store.h"
#include "data/rotation_corrections.h"
#include "data/viewer_state.h"
#include "runtime/calendar.h"
#include "runtime/errors.h"

namespace pvz {
namespace {

namespace fs = std::filesystem;

class TempDirectory {
public:
    TempDirectory() {
        static int counter = 0;
        path_ = fs::temp_directory_path() /
                ("pvz_sample_test_" + std::to_string(::getpid()) + "_" + std::to_string(++counter));
        fs::remove_all(path_);
    }
    ~TempDirectory() { fs::remove_all(path_); }
    std::string str() const { return path_.string(); }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Field order of each slot's records: I integer, R real.
std::string_view fieldsOf(int slot) {
    switch (slot) {
    case 4: return "IIIRRRR";
    case 6:
    case 9:
    case 11: return "IIIIRRR";
    case 7:
    case 8:
    case 10: return "RRRR";
    default: return "IIIRRR";
    }
}

bool isDateSlot(int slot) { return slot != 4 && slot != 7 && slot != 8 && slot != 10; }

bool isInteger(std::string_view token) {
    if (!token.empty() && token[0] == '-') token.remove_prefix(1);
    return !token.empty() && std::all_of(token.begin(), token.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A plain decimal with digits on both sides of the point, the form every reader takes.
bool isPlainReal(std::string_view token) {
    const auto point = token.find('.');
    return point != std::string_view::npos && isInteger(token.substr(0, point)) &&
           isInteger(token.substr(point + 1)) && token[point + 1] != '-';
}

// One record as the viewer's loader reads it.
struct LoadedRecord {
    std::int32_t year = 0, month = 0, day = 0;
    double mjd = 0.0;
    double xp = 0.0, yp = 0.0, ut1 = missingValue, unused = 0.0;
};

// Parses a slot's file strictly (every line in the slot's layout) and derives each record's
// epoch by the loader's date rules. Layout faults are reported as test failures.
std::vector<LoadedRecord> parseSlotFile(int slot, const std::string& text) {
    std::vector<LoadedRecord> records;
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n') << "the file ends right after its last line break";
    EXPECT_EQ(text.find('\r'), std::string::npos);
    const std::string_view fields = fieldsOf(slot);
    std::size_t lineStart = 0;
    int lineNumber = 0;
    while (lineStart < text.size()) {
        ++lineNumber;
        const std::size_t lineEnd = text.find('\n', lineStart);
        const std::string_view line(text.data() + lineStart, (lineEnd == std::string::npos ? text.size() : lineEnd) - lineStart);
        lineStart = lineEnd == std::string::npos ? text.size() : lineEnd + 1;

        std::vector<std::string_view> tokens;
        std::size_t at = 0;
        while (at < line.size()) {
            if (line[at] == ' ') {
                ++at;
                continue;
            }
            const std::size_t end = std::min(line.find(' ', at), line.size());
            tokens.push_back(line.substr(at, end - at));
            at = end;
        }
        if (tokens.size() != fields.size() || line.empty() || line.back() == ' ') {
            ADD_FAILURE() << "line " << lineNumber << " '" << line << "'";
            return records;
        }
        std::vector<double> values;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const bool valid = fields[i] == 'I' ? isInteger(tokens[i]) : isPlainReal(tokens[i]);
            if (!valid) {
                ADD_FAILURE() << "line " << lineNumber << " field " << i + 1 << " '" << tokens[i] << "'";
                return records;
            }
            double value = 0.0;
            std::from_chars(tokens[i].data(), tokens[i].data() + tokens[i].size(), value);
            values.push_back(value);
        }
        LoadedRecord record;
        std::size_t next = 0;
        if (fields[0] == 'I') {
            record.year = static_cast<std::int32_t>(values[0]);
            record.month = static_cast<std::int32_t>(values[1]);
            record.day = static_cast<std::int32_t>(values[2]);
            next = 3;
        }
        if (slot == 4) record.mjd = values[next++];
        if (fields[next] == 'I') ++next;  // the unused integer
        if (slot == 7 || slot == 8 || slot == 10) record.mjd = values[next++];
        record.xp = values[next++];
        if (slot == 10) record.unused = values[next++];
        record.yp = values[next++];
        if (slot != 10) record.ut1 = values[next++];

        if (record.mjd == 0.0) {
            int year = slot == 4 ? record.year - 2000 : record.year;
            if (year < 80) year += 100;
            year += 1900;
            record.mjd = mjdOf(encodeDayNumber(static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(record.month),
                                               static_cast<std::uint16_t>(record.day)));
            if (slot == 6) record.mjd += 0.5;
        }
        records.push_back(record);
    }
    return records;
}

// The rows the loader stores: day offsets 1 to 999, up to the first record past the period.
std::vector<LoadedRecord> storedRows(const std::vector<LoadedRecord>& records, double baseMjd) {
    std::vector<LoadedRecord> rows;
    for (const LoadedRecord& record : records) {
        const auto offset = static_cast<std::int32_t>(truncToInt64(record.mjd - baseMjd));
        if (offset <= 0) continue;
        if (offset >= 1000) break;
        rows.push_back(record);
    }
    return rows;
}

SampleDataOptions optionsFor(std::uint16_t year, std::uint16_t month, std::uint16_t day, double timeOfDay = 0.5,
                             SampleSampling sampling = SampleSampling::likeServices) {
    SampleDataOptions options;
    options.todayDay = encodeDayNumber(year, month, day) + timeOfDay;
    options.sampling = sampling;
    return options;
}

// The written sample for one "today", parsed back.
struct WrittenSample {
    explicit WrittenSample(const SampleDataOptions& options) : calendar(sampleCalendarOf(options)) {
        reports = writeSampleData(directory.str(), options);
        for (int slot = 1; slot <= kSampleSlotCount; ++slot) {
            texts[slot] = readFile(directory / std::string(dataFileNameOf(slot)));
            records[slot] = parseSlotFile(slot, texts[slot]);
        }
    }

    TempDirectory directory;
    SampleCalendar calendar;
    std::vector<SampleFileReport> reports;
    std::map<int, std::string> texts;
    std::map<int, std::vector<LoadedRecord>> records;
};

TEST(SampleData, FilesKeepTheirLayoutsAndCoverTheStoredPeriod) {
    const struct {
        std::uint16_t year, month, day;
        double timeOfDay;
    } days[] = {
        {2017, 2, 15, 0.5}, {2025, 1, 1, 0.0}, {2000, 3, 1, 0.9999}, {1982, 3, 12, 0.25}, {2079, 4, 14, 0.75},
    };
    for (const auto& today : days) {
        SCOPED_TRACE(testing::Message() << today.year << "-" << today.month << "-" << today.day);
        const WrittenSample sample(optionsFor(today.year, today.month, today.day, today.timeOfDay));
        ASSERT_EQ(sample.reports.size(), 11u);
        for (int slot = 1; slot <= kSampleSlotCount; ++slot) {
            SCOPED_TRACE(testing::Message() << "slot " << slot);
            const SampleFileReport& report = sample.reports[static_cast<std::size_t>(slot - 1)];
            const std::vector<LoadedRecord>& records = sample.records.at(slot);
            EXPECT_EQ(report.slot, slot);
            EXPECT_EQ(report.fileName, dataFileNameOf(slot));
            ASSERT_EQ(static_cast<int>(records.size()), report.recordCount);
            for (std::size_t i = 1; i < records.size(); ++i) ASSERT_LT(records[i - 1].mjd, records[i].mjd) << i;
            for (const LoadedRecord& record : records) {
                if (isDateSlot(slot)) {
                    ASSERT_LT(record.year, 100);
                } else if (slot == 4) {
                    ASSERT_GE(record.year, 1000) << "four digits";
                }
            }

            const std::vector<LoadedRecord> rows = storedRows(records, sample.calendar.baseMjd);
            EXPECT_EQ(static_cast<int>(rows.size()), report.acceptedCount);
            ASSERT_FALSE(rows.empty());
            // Records begin before the period, so the first rows fill its start ...
            EXPECT_LT(records.front().mjd, sample.calendar.baseMjd + 1.0);
            EXPECT_LT(rows.front().mjd, sample.calendar.baseMjd + 5.0);
            // ... and every source reaches the last days before today.
            EXPECT_GT(rows.back().mjd, sample.calendar.todayMjd - 8.0);
            EXPECT_LE(rows.size(), 999u);
        }
    }
}

TEST(SampleData, StoredRowCountsForMidFebruary2017AtNoon) {
    // baseMjd 57048.5: daily whole-MJD records are stored from MJD 57050 on, slot 6's and
    // slot 8's half-day epochs from 57049.5 on; today is MJD 57799.
    const struct {
        int slot, records, stored;
    } expected[] = {
        {1, 889, 870},  // to today + 120
        {2, 856, 840},  // to today + 90
        {3, 853, 840},
        {6, 762, 749},  // to 57797.5
        {8, 761, 750},  // to 57798.5
        {11, 764, 749}, // to yesterday
    };
    const WrittenSample sample(optionsFor(2017, 2, 15));
    EXPECT_EQ(sample.calendar.baseMjd, 57048.5);
    for (const auto& row : expected) {
        SCOPED_TRACE(testing::Message() << "slot " << row.slot);
        const SampleFileReport& report = sample.reports[static_cast<std::size_t>(row.slot - 1)];
        EXPECT_EQ(report.recordCount, row.records);
        EXPECT_EQ(report.acceptedCount, row.stored);
        EXPECT_EQ(static_cast<int>(storedRows(sample.records.at(row.slot), 57048.5).size()), row.stored);
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

TEST(SampleData, LeapSecondStepsEveryUtcSeriesInsideTheFirstMonthView) {
    for (const SampleDataOptions& options : {optionsFor(2017, 2, 15), optionsFor(2030, 12, 29, 0.1)}) {
        const WrittenSample sample(options);
        const double leap = sample.calendar.leapSecondMjd;
        const TimeBase home = timeBaseAt(options.todayDay);
        EXPECT_GT(leap, home.homeStartMjd + 3.0);
        EXPECT_LT(leap, home.yesterdayMjd - 6.0);
        EXPECT_EQ(leap, std::floor(leap));

        for (int slot = 1; slot <= kSampleSlotCount; ++slot) {
            if (slot == 10) continue;
            SCOPED_TRACE(testing::Message() << "slot " << slot);
            const std::vector<LoadedRecord> rows = storedRows(sample.records.at(slot), sample.calendar.baseMjd);
            std::vector<double> stepsAt;
            for (std::size_t i = 1; i < rows.size(); ++i) {
                const double step = rows[i].ut1 - rows[i - 1].ut1;
                if (std::abs(step) > 0.5) {
                    EXPECT_NEAR(step, 1.0, 0.02);
                    stepsAt.push_back(rows[i].mjd);
                    EXPECT_LT(rows[i - 1].mjd, leap);
                    EXPECT_GE(rows[i].mjd, leap);
                }
            }
            if (slot == 7) {
                // UT1 - TAI: no step, and 36 s (later 37 s) below the reference's UT1 - UTC.
                EXPECT_TRUE(stepsAt.empty());
                const std::vector<LoadedRecord>& reference = sample.records.at(1);
                for (const LoadedRecord& row : rows) {
                    const auto same = std::find_if(reference.begin(), reference.end(), [&](const LoadedRecord& r) {
                        return r.mjd == std::floor(row.mjd);
                    });
                    ASSERT_NE(same, reference.end());
                    EXPECT_EQ(std::round(same->ut1 - row.ut1), row.mjd < leap ? 36.0 : 37.0) << row.mjd;
                }
            } else {
                EXPECT_EQ(stepsAt.size(), 1u);
                for (const LoadedRecord& row : rows) ASSERT_LT(std::abs(row.ut1), 0.9) << row.mjd;
            }
        }
    }
}

TEST(SampleData, UtCarriesTheZonalTidesAndTheSeasonalTerms) {
    // Taking the correction out (the viewer's UT1R) must leave a smoother series: the tide terms
    // bend UT1 by up to 0.2 ms/day^2, the reference's noise by about 0.05 ms.
    const SampleDataOptions options = optionsFor(2019, 10, 3);
    const std::vector<SampleRecord> records = sampleRecords(1, options);
    const double leap = sampleCalendarOf(options).leapSecondMjd;
    const auto bendOf = [&](bool corrected) {
        double sum = 0.0;
        int count = 0;
        for (std::size_t i = 2; i < records.size(); ++i) {
            if (records[i].mjd >= leap && records[i - 2].mjd < leap) continue;
            const auto value = [&](std::size_t k) {
                return records[k].ut1 - (corrected ? tideCorrection(records[k].mjd, 1) : 0.0);
            };
            const double bend = value(i) - 2.0 * value(i - 1) + value(i - 2);
            sum += bend * bend;
            ++count;
        }
        return std::sqrt(sum / count);
    };
    EXPECT_LT(bendOf(true), 0.5 * bendOf(false));

    // Leap second and tides taken out, the day length exceeds 86400 s by 0.5 to 1.5 ms.
    const SampleRecord& first = records.front();
    const SampleRecord& last = records.back();
    const double drift = (last.ut1 - tideCorrection(last.mjd, 1) - 1.0 - first.ut1 + tideCorrection(first.mjd, 1)) /
                         (last.mjd - first.mjd);
    EXPECT_LT(drift, -0.5e-3);
    EXPECT_GT(drift, -1.5e-3);
}

TEST(SampleData, PoleCirclesAroundTheMeanPole) {
    const WrittenSample sample(optionsFor(2023, 5, 20));
    for (int slot = 1; slot <= kSampleSlotCount; ++slot) {
        SCOPED_TRACE(testing::Message() << "slot " << slot);
        double sumX = 0.0, sumY = 0.0, lowX = 1.0, highX = -1.0;
        int count = 0;
        for (const LoadedRecord& row : storedRows(sample.records.at(slot), sample.calendar.baseMjd)) {
            if (row.xp == 0.0 && row.yp == 0.0) continue;
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
    const auto gapsOf = [&](int slot) {
        std::map<double, int> gaps;
        const auto& records = sample.records.at(slot);
        for (std::size_t i = 1; i < records.size(); ++i) ++gaps[std::round((records[i].mjd - records[i - 1].mjd) * 16) / 16];
        return gaps;
    };
    for (int slot : {1, 2, 3, 6, 8, 11}) EXPECT_EQ(gapsOf(slot).size(), 1u) << "daily " << slot;
    for (int slot : {5, 9, 10}) EXPECT_EQ(gapsOf(slot), (std::map<double, int>{{3.0, sample.reports[slot - 1].recordCount - 1}}));
    for (int slot : {4, 7}) {
        SCOPED_TRACE(testing::Message() << "VLBI slot " << slot);
        int sessions = 0, fractional = 0;
        for (const LoadedRecord& record : sample.records.at(slot)) {
            ++sessions;
            if (record.mjd != std::floor(record.mjd)) ++fractional;
        }
        EXPECT_EQ(fractional, sessions);
        const double days = sample.records.at(slot).back().mjd - sample.records.at(slot).front().mjd;
        EXPECT_NEAR(sessions / days * 7.0, 2.0, 0.05);
    }
    EXPECT_EQ(sample.records.at(6).front().mjd - std::floor(sample.records.at(6).front().mjd), 0.5);

    // The laser-ranging solution scatters more about the reference than the combined series.
    const auto scatterOf = [&](int slot) {
        std::map<double, double> reference;
        for (const LoadedRecord& r : sample.records.at(1)) reference[r.mjd] = r.xp;
        double sum = 0.0, sumSquares = 0.0;
        int count = 0;
        for (const LoadedRecord& r : sample.records.at(slot)) {
            const auto it = reference.find(r.mjd);
            if (it == reference.end() || r.mjd > sample.calendar.todayMjd - 8) continue;
            const double d = r.xp - it->second;
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
    for (const LoadedRecord& record : sample.records.at(10)) {
        ASSERT_EQ(record.ut1, missingValue);
        ASSERT_GT(record.yp, 0.1) << record.mjd;
        ASSERT_LT(record.unused, 0.01) << "an uncertainty, not a UT value";
    }
    for (const LoadedRecord& record : sample.records.at(4)) {
        ASSERT_GE(record.year, 1982);
        ASSERT_NE(record.mjd, 0.0);
        EXPECT_EQ(std::floor(record.mjd), mjdOf(encodeDayNumber(static_cast<std::uint16_t>(record.year),
                                                                static_cast<std::uint16_t>(record.month),
                                                                static_cast<std::uint16_t>(record.day))));
    }
    EXPECT_EQ(sample.texts.at(4).substr(0, 5), "2015 ");
}

TEST(SampleData, AFewRecordsCarryNoPolePosition) {
    const WrittenSample sample(optionsFor(2017, 2, 15));
    int zeroPoleRecords = 0;
    for (int slot = 1; slot <= kSampleSlotCount; ++slot) {
        for (const LoadedRecord& row : storedRows(sample.records.at(slot), sample.calendar.baseMjd)) {
            if (row.xp != 0.0 || row.yp != 0.0) continue;
            ++zeroPoleRecords;
            EXPECT_TRUE(slot == 8 || slot == 11) << slot;
            EXPECT_GT(std::abs(row.ut1), 0.01) << "the record keeps its UT";
        }
    }
    EXPECT_EQ(zeroPoleRecords, 5);
}

TEST(SampleData, DenseSamplingStoresOneRecordForEveryDayOffset) {
    for (double timeOfDay : {0.0, 0.3125, 0.5, 0.9999}) {
        SCOPED_TRACE(testing::Message() << "time of day " << timeOfDay);
        const WrittenSample sample(optionsFor(2017, 2, 15, timeOfDay, SampleSampling::oneAcceptedRecordPerDay));
        for (int slot = 1; slot <= kSampleSlotCount; ++slot) {
            SCOPED_TRACE(testing::Message() << "slot " << slot);
            const std::vector<LoadedRecord> rows = storedRows(sample.records.at(slot), sample.calendar.baseMjd);
            EXPECT_EQ(sample.reports[static_cast<std::size_t>(slot - 1)].recordCount, 999);
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
        {"2017-02-15", true},  {"1982-03-11", true},  {"2079-04-15", true},  {"2016-02-29", true},
        {"1982-03-10", false}, {"2079-04-16", false}, {"2017-02-29", false}, {"2017-13-01", false},
        {"2017-2-15", false},  {"2017-02-15x", false}, {"20170215", false},  {"", false},
        {"2017/02/15", false}, {"+017-02-15", false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.text);
        const std::optional<double> day = sampleDayFromIsoDate(row.text);
        EXPECT_EQ(day.has_value(), row.valid);
    }
    EXPECT_EQ(sampleDayFromIsoDate("2017-02-15"), encodeDayNumber(2017, 2, 15));
}

TEST(SampleData, UnwritableDirectoryIsReported) {
    TempDirectory directory;
    std::ofstream(directory.str()) << "a file where the directory should be";
    SampleDataOptions options = optionsFor(2017, 2, 15);
    EXPECT_THROW(writeSampleData(directory.str(), options), Exception);
    EXPECT_THROW(writeSampleData((directory / "below").string(), options), Exception);
}

}  // namespace
}  // namespace pvz
