#pragma once
// Text from numbers and dates: pattern-driven number and date formatting, fixed-point
// formatting and integer text, with the locale's separators and month names.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pvz {

// Locale settings read at start-up; each separator is one character (UTF-8 text, possibly
// beyond ASCII, or empty for "print no separator").
struct FormatSettings {
    std::string decimalPointChar = ".";
    std::string groupSeparatorChar = ",";
    std::string dateSeparatorChar = "/";
    std::array<std::string, 12> monthAbbreviations = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> monthNames = {"January", "February", "March",     "April",   "May",      "June",
                                              "July",    "August",   "September", "October", "November", "December"};
};

// The settings in force; settable in tests.
FormatSettings& formatSettings();
// Reads the settings from the user's locale (LC_NUMERIC, LC_TIME), the defaults where it gives none.
FormatSettings formatSettingsFromLocale();

std::string formatByPattern(std::string_view pattern, double value);
std::string formatFixed(double value, int precision, int decimals);
std::string formatDateByPattern(std::string_view pattern, double dayNumber);
std::string integerToText(std::int64_t value);

}  // namespace pvz
