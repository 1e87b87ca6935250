#include "app/kept_views.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "runtime/calendar.h"

namespace pvz {
namespace {

constexpr double kMjdOfDayZero = 15018.0;
constexpr double kSecondsPerDay = 86400.0;

bool measuresTime(int parameter) { return parameter == 1 || parameter == 2; }

// Thousandths of the series' unit.
std::string_view milliUnit(int parameter) { return measuresTime(parameter) ? "мс" : "мсд"; }

struct DayAndSecond {
    double day = 0.0;  // day number of the day's start
    long second = 0;   // [0, 86399]
};

DayAndSecond splitToSeconds(double mjd) {
    double day = std::floor(mjd);
    long second = std::lround((mjd - day) * kSecondsPerDay);
    if (second >= 86400) {
        day += 1.0;
        second -= 86400;
    }
    return {day - kMjdOfDayZero, second};
}

std::string dateText(double dayNumber) {
    const CalendarDate date = decodeDayNumber(dayNumber);
    std::array<char, 48> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02d-%02d", date.year, date.month, date.day);
    return text.data();
}

}  // namespace

std::string_view parameterName(int parameter) {
    static constexpr std::array<std::string_view, 4> kNames = {"UT1", "UT1R", "Xp", "Yp"};
    return parameter >= 1 && parameter <= 4 ? kNames[static_cast<std::size_t>(parameter - 1)] : "";
}

std::string roundTripText(double value) {
    std::array<char, 512> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (result.ec != std::errc()) {
        const auto general = std::to_chars(text.data(), text.data() + text.size(), value);
        return std::string(text.data(), general.ptr);
    }
    return std::string(text.data(), result.ptr);
}

std::string isoDateOfMjd(double mjd) { return dateText(std::floor(mjd) - kMjdOfDayZero); }

std::string isoUtcOfMjd(double mjd) {
    const DayAndSecond at = splitToSeconds(mjd);
    std::array<char, 64> time{};
    std::snprintf(time.data(), time.size(), "T%02ld:%02ld:%02ldZ", at.second / 3600, at.second / 60 % 60,
                  at.second % 60);
    return dateText(at.day) + time.data();
}

std::string pointsCsv(int parameter, std::span<const KeptSeries> series) {
    std::string csv = measuresTime(parameter) ? "source,mjd,utc,value_s,difference_ms\n"
                                              : "source,mjd,utc,value_arcsec,difference_mas\n";
    for (const KeptSeries& s : series) {
        std::string source = "\"";
        for (const char c : s.title) source += c == '"' ? std::string("\"\"") : std::string(1, c);
        source += "\",";
        const std::size_t count = std::min(s.mjd.size(), s.value.size());
        for (std::size_t k = 0; k < count; ++k) {
            csv += source;
            csv += roundTripText(s.mjd[k]);
            csv += ',';
            csv += isoUtcOfMjd(s.mjd[k]);
            csv += ',';
            csv += roundTripText(s.value[k]);
            csv += ',';
            if (k < s.difference.size() && std::isfinite(s.difference[k]))
                csv += roundTripText(s.difference[k] * 1000.0);
            csv += '\n';
        }
    }
    return csv;
}

std::string statisticsTable(int parameter, double firstMjd, double lastMjd, std::span<const KeptStatistics> rows,
                            std::string_view decimalPoint) {
    const auto number = [decimalPoint](double value) {
        std::string text = roundTripText(value * 1000.0);
        if (const auto dot = text.find('.'); dot != std::string::npos) text.replace(dot, 1, decimalPoint);
        return text;
    };
    const std::string unit(milliUnit(parameter));
    std::string table =
        std::string(parameterName(parameter)) + '\t' + isoDateOfMjd(firstMjd) + '\t' + isoDateOfMjd(lastMjd) + '\n';
    table += "Источник\tn\tСреднее, " + unit + "\tСКО, " + unit + '\n';
    for (const KeptStatistics& row : rows) {
        table += row.title + '\t' + std::to_string(row.statistics.count) + '\t' + number(row.statistics.mean) + '\t' +
                 number(row.statistics.deviation) + '\n';
    }
    return table;
}

std::string proposedFileName(int parameter, double firstMjd, double lastMjd, std::string_view extension) {
    return "pvz-" + std::string(parameterName(parameter)) + '-' + isoDateOfMjd(firstMjd) + "--" +
           isoDateOfMjd(lastMjd) + '.' + std::string(extension);
}

}  // namespace pvz
