#include "tools/lib/sample_data.h"

#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>

#include "data/observation_store.h"
#include "data/rotation_corrections.h"
#include "data/viewer_state.h"
#include "runtime/errors.h"
#include "tools/lib/iso_date.h"

namespace pvz {
namespace {

enum class Layout {
    date,             // yy mm dd Xp Yp UT1
    dateWithInteger,  // yy mm dd n Xp Yp UT1
    yearDateMjd,      // yyyy mm dd MJD Xp Yp UT1
    mjd,              // MJD Xp Yp UT1
    mjdWithoutUt,     // MJD Xp sigma Yp
};

enum class Cadence { daily, twiceWeekly, everyThirdDay };
enum class TimeScale { utc, tai };

// How one source differs from the others. Days count from today; seconds and arc seconds.
struct SourceProfile {
    Layout layout;
    Cadence cadence;
    int firstDay;
    int lastObservedDay;  // later days up to lastDay are predictions: smooth, without noise
    int lastDay;
    double dayFraction;           // epoch within the day; the loader adds slot 6's half day itself
    std::array<int, 2> weekdays;  // sessions of a twice-weekly source, Monday = 0
    double utSigma;
    double poleSigma;
    double utOffset;
    double xOffset;
    double yOffset;
    TimeScale scale;
    bool zeroPaddedDate;
    std::array<int, 3> zeroPoleDays;  // days without a pole solution; 0 marks no entry
};

constexpr double kMs = 1e-3;
constexpr double kMas = 1e-3;

constexpr std::array<SourceProfile, kSampleSlotCount> kProfiles = {{
    // 1: the reference solution, with a four-month forecast.
    {Layout::date,
     Cadence::daily,
     -768,
     -1,
     120,
     0.0,
     {0, 0},
     0.02 * kMs,
     0.05 * kMas,
     0.0,
     0.0,
     0.0,
     TimeScale::utc,
     true,
     {0, 0, 0}},
    // 2, 3: the combined series, with predictions about three months ahead.
    {Layout::date,
     Cadence::daily,
     -765,
     -2,
     90,
     0.0,
     {0, 0},
     0.03 * kMs,
     0.06 * kMas,
     0.01 * kMs,
     0.03 * kMas,
     -0.02 * kMas,
     TimeScale::utc,
     true,
     {0, 0, 0}},
    {Layout::date,
     Cadence::daily,
     -762,
     -2,
     90,
     0.0,
     {0, 0},
     0.04 * kMs,
     0.08 * kMas,
     -0.02 * kMs,
     -0.05 * kMas,
     0.04 * kMas,
     TimeScale::utc,
     false,
     {0, 0, 0}},
    // 4: VLBI sessions on Mondays and Thursdays.
    {Layout::yearDateMjd,
     Cadence::twiceWeekly,
     -775,
     -6,
     -6,
     0.25,
     {0, 3},
     0.10 * kMs,
     0.25 * kMas,
     0.05 * kMs,
     0.20 * kMas,
     -0.15 * kMas,
     TimeScale::utc,
     true,
     {0, 0, 0}},
    // 5: laser ranging, three-day arcs.
    {Layout::date,
     Cadence::everyThirdDay,
     -770,
     -3,
     -3,
     0.0,
     {0, 0},
     0.40 * kMs,
     0.35 * kMas,
     -0.10 * kMs,
     -0.30 * kMas,
     0.25 * kMas,
     TimeScale::utc,
     false,
     {0, 0, 0}},
    // 6: GPS, epochs at noon.
    {Layout::dateWithInteger,
     Cadence::daily,
     -763,
     -2,
     -2,
     0.5,
     {0, 0},
     0.25 * kMs,
     0.20 * kMas,
     0.08 * kMs,
     0.10 * kMas,
     0.10 * kMas,
     TimeScale::utc,
     false,
     {0, 0, 0}},
    // 7: VLBI sessions on Tuesdays and Fridays, UT1 - TAI.
    {Layout::mjd,
     Cadence::twiceWeekly,
     -772,
     -5,
     -5,
     0.3125,
     {1, 4},
     0.12 * kMs,
     0.30 * kMas,
     -0.04 * kMs,
     -0.10 * kMas,
     0.20 * kMas,
     TimeScale::tai,
     false,
     {0, 0, 0}},
    // 8: GPS, epochs at noon, a few days without a pole solution.
    {Layout::mjd,
     Cadence::daily,
     -761,
     -1,
     -1,
     0.5,
     {0, 0},
     0.30 * kMs,
     0.25 * kMas,
     0.12 * kMs,
     0.15 * kMas,
     -0.20 * kMas,
     TimeScale::utc,
     false,
     {-600, -300, -20}},
    // 9: laser ranging.
    {Layout::dateWithInteger,
     Cadence::everyThirdDay,
     -769,
     -4,
     -4,
     0.0,
     {0, 0},
     0.45 * kMs,
     0.45 * kMas,
     -0.15 * kMs,
     0.35 * kMas,
     0.30 * kMas,
     TimeScale::utc,
     false,
     {0, 0, 0}},
    // 10: laser ranging, pole only.
    {Layout::mjdWithoutUt,
     Cadence::everyThirdDay,
     -767,
     -2,
     -2,
     0.0,
     {0, 0},
     0.0,
     0.50 * kMas,
     0.0,
     -0.40 * kMas,
     -0.25 * kMas,
     TimeScale::utc,
     false,
     {0, 0, 0}},
    // 11: GPS.
    {Layout::dateWithInteger,
     Cadence::daily,
     -764,
     -1,
     -1,
     0.0,
     {0, 0},
     0.30 * kMs,
     0.30 * kMas,
     -0.06 * kMs,
     0.25 * kMas,
     0.05 * kMas,
     TimeScale::utc,
     true,
     {-450, -10, 0}},
}};

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// UT1 - TAI just before the leap second, when TAI - UTC is still 37 s.
constexpr double kUt1MinusTaiAtLeap = -37.40;
constexpr double kTaiMinusUtcBeforeLeap = 37.0;
// The leap second comes at the end of the latest 30 June or 31 December this many days or more
// before today.
constexpr double kLeapSecondLeadDays = 35.0;
// The day length exceeds 86400 s by 1 ms on average, swinging by 0.35 ms over 1100 days.
constexpr double kMeanDrift = -1.0 * kMs;
constexpr double kDriftSwing = 0.35 * kMs;
constexpr double kDriftSwingPeriod = 1100.0;

constexpr double kMjdOfDayZero = 15018.0;  // MJD of day number 0

constexpr int kFirstAcceptedOffset = 1;
constexpr int kLastAcceptedOffset = 999;

const SourceProfile& profileOf(int slot) {
    assert(slot >= 1 && slot <= kSampleSlotCount);
    return kProfiles[static_cast<std::size_t>(slot - 1)];
}

// The annual and semi-annual variation of UT1, the conventional seasonal model with its sign
// as UT1 carries it (UT2 - UT1 is its negative).
double seasonalUt(double mjd) {
    const double c = kTwoPi * ((mjd - 51544.03) / 365.2422 + 2000.0);
    return -(0.022 * std::sin(c) - 0.012 * std::cos(c) - 0.006 * std::sin(2.0 * c) + 0.007 * std::cos(2.0 * c));
}

// UT1 - TAI of the model, with the zonal tides in it.
double modelUt1MinusTai(double mjd, double leapMjd) {
    const double d = mjd - leapMjd;
    const double omega = kTwoPi / kDriftSwingPeriod;
    const double drift = kMeanDrift * d + kDriftSwing / omega * std::sin(omega * d);
    return kUt1MinusTaiAtLeap + drift + seasonalUt(mjd) + tideCorrection(mjd, 0);
}

double taiMinusUtc(double mjd, double leapMjd) {
    return mjd < leapMjd ? kTaiMinusUtcBeforeLeap : kTaiMinusUtcBeforeLeap + 1.0;
}

// The pole on its annual and Chandler circles around the mean pole.
double modelXp(double mjd) {
    return 0.18 + 0.08 * std::cos(kTwoPi * (mjd - 51574.0) / 365.25) +
           0.14 * std::cos(kTwoPi * (mjd - 51200.0) / 433.0);
}
double modelYp(double mjd) {
    return 0.38 + 0.08 * std::sin(kTwoPi * (mjd - 51574.0) / 365.25) +
           0.14 * std::sin(kTwoPi * (mjd - 51200.0) / 433.0);
}

int weekdayOf(std::int64_t mjd) {
    return static_cast<int>(((mjd - weekEpochMjd) % 7 + 7) % 7);  // [0, 6], Monday = 0
}

bool observesOn(const SourceProfile& profile, std::int64_t day, std::int64_t firstDay) {
    switch (profile.cadence) {
        case Cadence::daily:
            return true;
        case Cadence::twiceWeekly: {
            const int weekday = weekdayOf(day);
            return weekday == profile.weekdays[0] || weekday == profile.weekdays[1];
        }
        case Cadence::everyThirdDay:
            return (day - firstDay) % 3 == 0;
    }
    return false;
}

// The epochs of a slot: the integral day and the fraction of the epoch within it.
struct Epoch {
    std::int64_t day;
    double fraction;
};

std::vector<Epoch> epochsOf(int slot, const SampleDataOptions& options, const SampleCalendar& calendar,
                            std::mt19937_64& engine) {
    const SourceProfile& profile = profileOf(slot);
    std::vector<Epoch> epochs;
    if (options.sampling == SampleSampling::oneAcceptedRecordPerDay) {
        // The first epoch of the slot's form day + fraction at or after each day offset.
        for (int offset = kFirstAcceptedOffset; offset <= kLastAcceptedOffset; ++offset) {
            const double day = std::ceil(calendar.baseMjd + offset - profile.dayFraction);
            epochs.push_back({static_cast<std::int64_t>(day), profile.dayFraction});
        }
        return epochs;
    }
    const auto today = static_cast<std::int64_t>(calendar.todayMjd);
    const std::int64_t first = today + profile.firstDay;
    std::uniform_int_distribution<int> sessionShift(-1, 2);  // sixteenths of a day
    for (std::int64_t day = first; day <= today + profile.lastDay; ++day) {
        if (!observesOn(profile, day, first)) continue;
        double fraction = profile.dayFraction;
        if (profile.cadence == Cadence::twiceWeekly) fraction += sessionShift(engine) / 16.0;
        epochs.push_back({day, fraction});
    }
    return epochs;
}

bool isZeroPoleDay(const SourceProfile& profile, std::int64_t day, std::int64_t today) {
    for (int zeroDay : profile.zeroPoleDays) {
        if (zeroDay != 0 && day == today + zeroDay) return true;
    }
    return false;
}

// Appends `value` with `decimals` digits after ".", right-aligned in `width` characters.
void appendFixed(std::string& out, double value, int decimals, int width) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    assert(result.ec == std::errc());
    const auto length = static_cast<int>(result.ptr - buffer);
    if (length < width) out.append(static_cast<std::size_t>(width - length), ' ');
    out.append(buffer, result.ptr);
}

enum class Padding { blanks, zeros };

void appendInteger(std::string& out, std::int64_t value, int width, Padding padding) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    const auto length = static_cast<int>(result.ptr - buffer);
    if (length < width) out.append(static_cast<std::size_t>(width - length), padding == Padding::zeros ? '0' : ' ');
    out.append(buffer, result.ptr);
}

void appendDate(std::string& out, const CalendarDate& date, const SourceProfile& profile, int yearDigits) {
    const Padding padding = profile.zeroPaddedDate ? Padding::zeros : Padding::blanks;
    appendInteger(out, yearDigits == 4 ? date.year : date.year % 100, yearDigits, Padding::zeros);
    out += ' ';
    appendInteger(out, date.month, 2, padding);
    out += ' ';
    appendInteger(out, date.day, 2, padding);
}

void appendPoleAndUt(std::string& out, const SampleRecord& record, TimeScale scale) {
    appendFixed(out, record.xp, 6, 10);
    appendFixed(out, record.yp, 6, 10);
    appendFixed(out, record.ut1, 7, scale == TimeScale::tai ? 13 : 11);
}

}  // namespace

SampleCalendar sampleCalendarOf(const SampleDataOptions& options) {
    const TimeBase base = timeBaseAt(options.todayDay);
    SampleCalendar calendar;
    calendar.todayMjd = std::floor(options.todayDay) + kMjdOfDayZero;
    calendar.baseMjd = base.baseMjd;
    // The year view shows the step, and the month view (five weeks later or more) the services'
    // differences without it. Leap seconds come at the end of June or December.
    const double latestDay = std::floor(options.todayDay) - kLeapSecondLeadDays;
    const CalendarDate latest = decodeDayNumber(latestDay);
    const auto year = static_cast<std::uint16_t>(latest.year);
    double leapDay = encodeDayNumber(year, 12, 31);
    if (leapDay > latestDay) leapDay = encodeDayNumber(year, 6, 30);
    if (leapDay > latestDay) leapDay = encodeDayNumber(static_cast<std::uint16_t>(year - 1), 12, 31);
    calendar.leapSecondMjd = leapDay + 1.0 + kMjdOfDayZero;
    return calendar;
}

std::vector<SampleRecord> sampleRecords(int slot, const SampleDataOptions& options) {
    const SourceProfile& profile = profileOf(slot);
    const SampleCalendar calendar = sampleCalendarOf(options);
    const auto today = static_cast<std::int64_t>(calendar.todayMjd);

    std::seed_seq seeds{static_cast<std::uint32_t>(options.seed), static_cast<std::uint32_t>(options.seed >> 32),
                        static_cast<std::uint32_t>(slot)};
    std::mt19937_64 engine(seeds);
    std::normal_distribution<double> normal(0.0, 1.0);
    std::uniform_int_distribution<int> stations(18, 64);

    // Forecast errors grow with the 1.5th power of the lead time.
    const double utForecastError = normal(engine) * 0.015 * kMs;
    const double xForecastError = normal(engine) * 0.02 * kMas;
    const double yForecastError = normal(engine) * 0.02 * kMas;

    const std::vector<Epoch> epochs = epochsOf(slot, options, calendar, engine);
    std::vector<SampleRecord> records;
    records.reserve(epochs.size());
    for (const Epoch& epoch : epochs) {
        const double mjd = static_cast<double>(epoch.day) + epoch.fraction;
        const double noiseUt = normal(engine);
        const double noiseX = normal(engine);
        const double noiseY = normal(engine);
        const double lead = static_cast<double>(epoch.day - (today + profile.lastObservedDay));

        SampleRecord record;
        record.mjd = mjd;
        record.date = decodeDayNumber(static_cast<double>(epoch.day) - kMjdOfDayZero);
        record.extra = stations(engine);
        record.xp = modelXp(mjd) + profile.xOffset;
        record.yp = modelYp(mjd) + profile.yOffset;
        record.ut1 = modelUt1MinusTai(mjd, calendar.leapSecondMjd) + profile.utOffset;
        if (profile.scale == TimeScale::utc) record.ut1 += taiMinusUtc(mjd, calendar.leapSecondMjd);
        if (lead > 0.0) {
            const double growth = std::pow(lead, 1.5);
            record.ut1 += utForecastError * growth;
            record.xp += xForecastError * growth;
            record.yp += yForecastError * growth;
        } else {
            record.ut1 += noiseUt * profile.utSigma;
            record.xp += noiseX * profile.poleSigma;
            record.yp += noiseY * profile.poleSigma;
        }
        record.unused = profile.poleSigma * (1.0 + 0.2 * std::abs(noiseX));
        if (isZeroPoleDay(profile, epoch.day, today)) {
            record.xp = 0.0;
            record.yp = 0.0;
        }
        records.push_back(record);
    }
    return records;
}

std::string sampleFileText(int slot, const std::vector<SampleRecord>& records) {
    const SourceProfile& profile = profileOf(slot);
    std::string text;
    text.reserve(records.size() * 56);
    for (const SampleRecord& record : records) {
        switch (profile.layout) {
            case Layout::date:
                appendDate(text, record.date, profile, 2);
                appendPoleAndUt(text, record, profile.scale);
                break;
            case Layout::dateWithInteger:
                appendDate(text, record.date, profile, 2);
                text += ' ';
                appendInteger(text, record.extra, 3, Padding::blanks);
                appendPoleAndUt(text, record, profile.scale);
                break;
            case Layout::yearDateMjd:
                appendDate(text, record.date, profile, 4);
                appendFixed(text, record.mjd, 4, 11);
                appendPoleAndUt(text, record, profile.scale);
                break;
            case Layout::mjd:
                appendFixed(text, record.mjd, 4, 10);
                appendPoleAndUt(text, record, profile.scale);
                break;
            case Layout::mjdWithoutUt:
                appendFixed(text, record.mjd, 4, 10);
                appendFixed(text, record.xp, 6, 10);
                appendFixed(text, record.unused, 6, 10);
                appendFixed(text, record.yp, 6, 10);
                break;
        }
        text += '\n';
    }
    return text;
}

int acceptedRecordCount(const std::vector<SampleRecord>& records, double baseMjd) {
    int accepted = 0;
    for (const SampleRecord& record : records) {
        const auto offset = static_cast<std::int32_t>(truncToInt64(record.mjd - baseMjd));
        if (offset < kFirstAcceptedOffset) continue;
        if (offset > kLastAcceptedOffset) break;
        ++accepted;
    }
    return accepted;
}

std::vector<SampleFileReport> writeSampleData(const std::string& directory, const SampleDataOptions& options) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(directory, error);
    if (error) throw Exception("Cannot create the directory " + directory + ": " + error.message());

    const SampleCalendar calendar = sampleCalendarOf(options);
    std::vector<SampleFileReport> reports;
    for (int slot = 1; slot <= kSampleSlotCount; ++slot) {
        const std::vector<SampleRecord> records = sampleRecords(slot, options);
        const std::string text = sampleFileText(slot, records);
        const std::string fileName(dataFileNameOf(slot));
        const fs::path path = fs::path(directory) / fileName;
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
        file.close();
        if (!file) throw Exception("Cannot write " + path.string());
        reports.push_back(
            {slot, fileName, static_cast<int>(records.size()), acceptedRecordCount(records, calendar.baseMjd)});
    }
    return reports;
}

std::optional<double> sampleDayFromIsoDate(std::string_view text) {
    const std::optional<double> date = dayNumberOfIsoDate(text);
    if (!date) return std::nullopt;
    const double dayNumber = *date;
    // Every record, from the earliest before the stored period to the last forecast, must have
    // a year that two digits can name.
    constexpr double kDaysBefore = 800.0;
    constexpr double kDaysAfter = 260.0;
    if (dayNumber - kDaysBefore < encodeDayNumber(1980, 1, 1) ||
        dayNumber + kDaysAfter > encodeDayNumber(2079, 12, 31)) {
        return std::nullopt;
    }
    return dayNumber;
}

}  // namespace pvz
