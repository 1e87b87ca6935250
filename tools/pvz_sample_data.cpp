// pvz-sample-data --out DIR [--today YYYY-MM-DD]: writes the eleven sample data files into DIR.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/calendar.h"
#include "runtime/errors.h"
#include "tools/lib/sample_data.h"

namespace {

constexpr int kBadArgument = 2;
constexpr const char* kUsage = "pvz-sample-data --out DIR [--today YYYY-MM-DD]";

int usageError(const std::string& message) {
    std::fprintf(stderr, "pvz-sample-data: %s (usage: %s)\n", message.c_str(), kUsage);
    return kBadArgument;
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<std::string> out;
    std::optional<double> today;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::printf(
                "Usage: %s\n"
                "Writes the eleven data files of the viewer into DIR, with plausible content around\n"
                "the date given (today when none is).\n",
                kUsage);
            return 0;
        }
        if (argument != "--out" && argument != "--today")
            return usageError("unknown argument " + std::string(argument));
        if (i + 1 >= argc) return usageError(std::string(argument) + " needs a value");
        const std::string_view value = argv[++i];
        if (argument == "--out") {
            if (out || value.empty()) return usageError("--out needs one directory");
            out = std::string(value);
        } else {
            if (today) return usageError("--today given twice");
            today = pvz::sampleDayFromIsoDate(value);
            if (!today)
                return usageError("--today wants a date YYYY-MM-DD from 1982 to 2079, not " + std::string(value));
        }
    }
    if (!out) return usageError("--out DIR is required");

    pvz::SampleDataOptions options;
    if (today) {
        options.todayDay = *today + 0.5;
    } else {
        options.todayDay = pvz::localNow();
        // The local date, too, must lie where the files' two-digit years name every record.
        const pvz::CalendarDate date = pvz::decodeDayNumber(options.todayDay);
        char text[32];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
        if (!pvz::sampleDayFromIsoDate(text))
            return usageError(std::string("today's date ") + text + " is out of range");
    }

    try {
        const auto reports = pvz::writeSampleData(*out, options);
        for (const auto& report : reports) {
            std::printf("%-13s %4d records, %4d in the stored period\n", report.fileName.c_str(), report.recordCount,
                        report.acceptedCount);
        }
    } catch (const pvz::Exception& error) {
        std::fprintf(stderr, "pvz-sample-data: %s\n", error.message().c_str());
        return 1;
    }
    return 0;
}
