#pragma once
// Sample data files: the eleven source files in their exact layouts, with plausible Earth
// rotation content around a chosen "today", for trying the viewer without an analysis centre's
// files, for tests and for benchmarks. The content is a model (drift, seasonal and zonal tide
// terms in UT1, an annual and a Chandler circle of the pole, a leap second) plus per-source
// offsets, noise and sampling, all from one seed.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/calendar.h"

namespace pvz {

inline constexpr std::uint64_t kDefaultSampleSeed = 20170215;
inline constexpr int kSampleSlotCount = 11;  // slots 1 to 11 have files

enum class SampleSampling {
    likeServices,             // each source's own cadence, latency and predictions
    oneAcceptedRecordPerDay,  // 999 records per file, one for every accepted day offset
};

struct SampleDataOptions {
    double todayDay = 0.0;  // day number of "today"; its time of day only moves the stored period
    std::uint64_t seed = kDefaultSampleSeed;
    SampleSampling sampling = SampleSampling::likeServices;
};

// One record as it is written, with the epoch the viewer's loader derives from it.
struct SampleRecord {
    double mjd = 0.0;        // epoch as loaded (slot 6: the date's MJD plus 0.5)
    CalendarDate date;       // calendar date of the record's day (date slots and slot 4)
    std::int32_t extra = 0;  // the unused integer column of slots 6, 9 and 11
    double xp = 0.0;         // arc seconds; xp and yp both 0.0 mark a record without pole
    double yp = 0.0;
    double ut1 = 0.0;     // seconds: UT1 - UTC, or UT1 - TAI where the source gives that
    double unused = 0.0;  // the unused real column of slot 10
};

// What was written for one slot.
struct SampleFileReport {
    int slot = 0;
    std::string fileName;
    int recordCount = 0;
    int acceptedCount = 0;  // records the loader stores for the options' stored period
};

// The epochs that shape the sample around "today".
struct SampleCalendar {
    double todayMjd = 0.0;  // integral MJD of today
    double baseMjd = 0.0;   // the loader's lower bound: yesterday's MJD - 750
    // 0 h UTC of the day TAI - UTC grows from 37 s to 38 s: the day after the latest 30 June or
    // 31 December at least five weeks before today.
    double leapSecondMjd = 0.0;
};

SampleCalendar sampleCalendarOf(const SampleDataOptions& options);

// The records of slot 1 to 11 in file order.
std::vector<SampleRecord> sampleRecords(int slot, const SampleDataOptions& options);

// The slot's file content: one LF-terminated line per record, "." decimal points.
std::string sampleFileText(int slot, const std::vector<SampleRecord>& records);

// The number of records the loader stores: those with day offset 1 to 999 before the first one
// at offset 1000 or more, for the stored period that starts at baseMjd.
int acceptedRecordCount(const std::vector<SampleRecord>& records, double baseMjd);

// Writes the eleven files into `directory` (created when missing) and reports them by slot.
// Raises Exception when a file cannot be written.
std::vector<SampleFileReport> writeSampleData(const std::string& directory, const SampleDataOptions& options);

// The day number of an ISO date "YYYY-MM-DD" for which every sample file can be written in its
// layout (two-digit years stand for 1980 to 2079); nothing for anything else.
std::optional<double> sampleDayFromIsoDate(std::string_view text);

}  // namespace pvz
