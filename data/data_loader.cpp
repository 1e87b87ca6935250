#include "data/data_loader.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "data/rotation_corrections.h"
#include "runtime/calendar.h"
#include "runtime/errors.h"
#include "runtime/text_reader.h"
#include "runtime/utf8_text.h"

namespace pvz {
namespace {

enum class Field { year, month, day, mjd, xp, yp, ut1, unusedInteger, unusedReal };

constexpr Field kDateLayout[] = {Field::year, Field::month, Field::day, Field::xp, Field::yp, Field::ut1};
constexpr Field kDateAndMjdLayout[] = {Field::year, Field::month, Field::day, Field::mjd,
                                       Field::xp,   Field::yp,    Field::ut1};
constexpr Field kDateAndNumberLayout[] = {Field::year, Field::month, Field::day, Field::unusedInteger,
                                          Field::xp,   Field::yp,    Field::ut1};
constexpr Field kMjdLayout[] = {Field::mjd, Field::xp, Field::yp, Field::ut1};
constexpr Field kMjdPoleLayout[] = {Field::mjd, Field::xp, Field::unusedReal, Field::yp};

// How a slot's records give their epoch.
enum class Epoch {
    twoDigitDate,    // from the date, two-digit year
    halfDayDate,     // the same, plus half a day
    fourDigitOrMjd,  // the MJD field; the date (four-digit year) when it reads 0
    mjdOnly,         // the MJD field
};

struct SlotFormat {
    std::span<const Field> fields;
    Epoch epoch;
    bool hasUt1;
};

SlotFormat formatOf(int slot) {
    switch (slot) {
        case 4:
            return {kDateAndMjdLayout, Epoch::fourDigitOrMjd, true};
        case 6:
            return {kDateAndNumberLayout, Epoch::halfDayDate, true};
        case 7:
        case 8:
            return {kMjdLayout, Epoch::mjdOnly, true};
        case 9:
        case 11:
            return {kDateAndNumberLayout, Epoch::twoDigitDate, true};
        case 10:
            return {kMjdPoleLayout, Epoch::mjdOnly, false};
        default:
            return {kDateLayout, Epoch::twoDigitDate, true};
    }
}

struct Record {
    // Date fields are the low 16 bits of the integers read; their arithmetic wraps.
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t day = 0;
    double mjd = 0.0;
    double xp = 0.0;
    double yp = 0.0;
    double ut1 = 0.0;
};

// Reads one record's fields in layout order; a real that does not fit a double raises
// EOverflow as it is stored, a discarded field raises nothing.
Record readRecord(TextDataReader& reader, std::span<const Field> fields) {
    Record record;
    for (Field field : fields) {
        switch (field) {
            case Field::year:
                record.year = static_cast<std::uint16_t>(readInteger(reader));
                break;
            case Field::month:
                record.month = static_cast<std::uint16_t>(readInteger(reader));
                break;
            case Field::day:
                record.day = static_cast<std::uint16_t>(readInteger(reader));
                break;
            case Field::mjd:
                record.mjd = checkedStore(readReal(reader));
                break;
            case Field::xp:
                record.xp = checkedStore(readReal(reader));
                break;
            case Field::yp:
                record.yp = checkedStore(readReal(reader));
                break;
            case Field::ut1:
                record.ut1 = checkedStore(readReal(reader));
                break;
            case Field::unusedInteger:
                readInteger(reader);
                break;
            case Field::unusedReal:
                readReal(reader);
                break;
        }
    }
    return record;
}

// 00..79 are 2000..2079, 80..99 are 1980..1999; 100 and above count from 1900.
std::uint16_t yearOfTwoDigits(std::uint16_t year) {
    if (year < 80) year = static_cast<std::uint16_t>(year + 100);
    return static_cast<std::uint16_t>(year + 1900);
}

// The MJD of a record's date; day 0 of March is the last day of February.
double mjdOfRecordDate(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
    if (day == 0 && month == 3) {
        month = 2;
        day = 29;
    }
    return pvz::mjdOfDate(year, month, day);
}

void writeRow(ObservationStore& store, int row, int slot, const Record& record, double mjd, bool hasUt1,
              TideCorrectionCache& tides) {
    if (hasUt1) {
        store.observations(row, slot, kindUT1) = record.ut1;
        store.observations(row, slot, kindUT1R) =
            checkedStore(static_cast<long double>(record.ut1) - tides.correction(mjd));
    }
    store.observations(row, slot, kindXp) = record.xp;
    store.observations(row, slot, kindYp) = record.yp;
    store.observations(row, slot, kindMJD) = mjd;
    // A record with both pole coordinates zero carries no pole position.
    if (record.xp == 0.0 && record.yp == 0.0) {
        store.observations(row, slot, kindXp) = missingValue;
        store.observations(row, slot, kindYp) = missingValue;
    }
}

int readRecords(ObservationStore& store, int slot, TextDataReader& reader, double baseMjd, TideCorrectionCache& tides) {
    const SlotFormat format = formatOf(slot);
    int rows = 0;
    for (;;) {
        const bool atEnd = atEndOfFile(reader);
        raisePendingIoError();
        if (atEnd) break;
        Record record = readRecord(reader, format.fields);
        skipLine(reader);
        raisePendingIoError();

        double mjd = record.mjd;
        if (mjd == 0.0) {
            switch (format.epoch) {
                case Epoch::mjdOnly:
                    // MJD 0 lies long before any stored period, and there is no date to fall back on.
                    continue;
                case Epoch::fourDigitOrMjd:
                    // The year as written; within 2000..2079 this equals the two-digit rule
                    // applied to year - 2000.
                    mjd = mjdOfRecordDate(record.year, record.month, record.day);
                    break;
                case Epoch::twoDigitDate:
                    mjd = mjdOfRecordDate(yearOfTwoDigits(record.year), record.month, record.day);
                    break;
                case Epoch::halfDayDate:
                    mjd = mjdOfRecordDate(yearOfTwoDigits(record.year), record.month, record.day) + 0.5;
                    break;
            }
        }

        // Whole days since the start of the stored period; kept in 64 bits so that an absurd
        // epoch never wraps into the period.
        const std::int64_t dayOffset = truncToInt64(static_cast<long double>(mjd) - baseMjd);
        if (dayOffset <= 0) continue;
        if (dayOffset >= kRowCount) break;
        // Several records per day could pass the store's capacity: the surplus is dropped.
        if (rows == kRowCount) continue;
        ++rows;
        writeRow(store, rows, slot, record, mjd, format.hasUt1, tides);
    }
    return rows;
}

int readSlotFile(ObservationStore& store, int slot, const std::string& path, double baseMjd,
                 TideCorrectionCache& tides) {
    TextDataReader reader;
    openForReading(reader, path);
    raisePendingIoError();
    int rows = 0;
    try {
        rows = readRecords(store, slot, reader, baseMjd, tides);
    } catch (Exception& e) {
        // Every failure comes at the last byte of the record read so far, or of its line.
        const std::size_t slash = path.rfind('/');
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        e.addLocation("Файл " + name + ", строка " + std::to_string(lineNumber(reader)));
        throw;
    }
    closeReader(reader);
    raisePendingIoError();
    return rows;
}

int loadSlotFileWith(ObservationStore& store, int slot, const std::string& path, double baseMjd,
                     TideCorrectionCache& tides) {
    try {
        return readSlotFile(store, slot, path, baseMjd, tides);
    } catch (...) {
        // A date or overflow error can leave a reading error of the same record pending; it
        // belongs to the abandoned file and must not surface at the next file.
        discardPendingIoError();
        throw;
    }
}

}  // namespace

int loadSlotFile(ObservationStore& store, int slot, const std::string& path, double baseMjd) {
    TideCorrectionCache tides;
    return loadSlotFileWith(store, slot, path, baseMjd, tides);
}

bool runLoadingSweep(ObservationStore& store, double baseMjd, LoaderServices& services) {
    // One cache for the sweep: the sources mostly share their epochs.
    TideCorrectionCache tides;
    // The placeholder slots beyond the series slots never load.
    for (int slot = 1; slot <= kSeriesSlotCount; ++slot) {
        const std::string path = store.pathOf(slot);
        if (!isExistingFile(path)) continue;
        services.setStatusText(kReadingStatusPrefix + path);
        store.slotLoaded[slot] = true;
        store.anyFileFound = true;
        try {
            loadSlotFileWith(store, slot, path, baseMjd, tides);
        } catch (const Exception&) {
            services.setStatusText(kStoppedStatusPrefix + path);
            throw;
        }
    }
    return store.anyFileFound;
}

std::string chooserStartFor(const std::string& dataDirectory, const std::string& current) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (dataDirectory.empty() || fs::is_directory(dataDirectory, error)) return current;
    fs::path above = fs::path(dataDirectory).lexically_normal();
    if (!above.has_filename()) above = above.parent_path();  // the trailing separator
    while (above.has_relative_path()) {
        above = above.parent_path();
        if (fs::is_directory(above, error)) return above.string();
    }
    return above.empty() ? current : above.string();
}

std::string dataDirectoryFor(const std::string& chosen) { return std::string(utf8Prefix(chosen + "/", kMaxPathText)); }

bool loadDataFiles(ObservationStore& store, ViewerState& state, LoaderServices& services) {
    store.observations.fill(missingValue);
    store.slotLoaded.fill(false);
    store.anyFileFound = false;
    state.seriesChecked.fill(false);
    while (!runLoadingSweep(store, state.baseMjd, services)) {
        if (services.programEnding()) return false;
        services.showMessage(kWrongDataPathMessage);
        if (services.programEnding()) return false;
        const std::string start = chooserStartFor(store.dataDirectory, services.currentDirectory());
        if (const std::optional<std::string> chosen = services.chooseDirectory(start))
            store.dataDirectory = dataDirectoryFor(*chosen);
    }
    state.autoFitRequested = true;
    state.timeShiftDays = 0.0;
    services.setStatusText(kReadyStatus);
    return true;
}

}  // namespace pvz
