#pragma once
// Text from numbers and dates: pattern-driven number and date formatting, fixed-point
// formatting and integer text, with the locale's separators and month names.
//
// Numbers are first written with 18 significant digits and then rounded in decimal, halves
// away from zero; no conversion goes through the C library's locale-dependent functions.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pvz {

// Locale settings; each separator is one character (UTF-8 text, possibly beyond ASCII,
// or empty for "print no separator").
struct FormatSettings {
    std::string decimalPointChar = ".";
    std::string groupSeparatorChar = ",";
    std::string dateSeparatorChar = "/";
    std::array<std::string, 12> monthAbbreviations = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> monthNames = {"January", "February", "March",     "April",   "May",      "June",
                                              "July",    "August",   "September", "October", "November", "December"};
    friend bool operator==(const FormatSettings&, const FormatSettings&) = default;
};

// The settings in force, read from the user's locale at first use. The window-system layer
// assigns formatSettingsFromLocale() again when the regional settings change.
FormatSettings& formatSettings();

// Reads the settings from the user's locale (LC_NUMERIC and LC_TIME as the environment names
// them), the defaults wherever the locale gives nothing usable.
FormatSettings formatSettingsFromLocale();

// Puts other settings in force for its lifetime (tests, the headless tool) and restores the
// previous ones when it ends.
class ScopedFormatSettings {
public:
    explicit ScopedFormatSettings(FormatSettings settings);
    ~ScopedFormatSettings();
    ScopedFormatSettings(const ScopedFormatSettings&) = delete;
    ScopedFormatSettings& operator=(const ScopedFormatSettings&) = delete;

private:
    FormatSettings previous_;
};

// Number by a pattern of up to three sections ("positive;negative;zero") of "0" and "#"
// placeholders, "." (decimal point), "," (grouping), "E+"/"E-" exponents and quoted text.
std::string formatByPattern(std::string_view pattern, double value);
// Fixed-point number with `decimals` places and at most `precision` significant digits.
std::string formatFixed(double value, int precision, int decimals);
// Calendar date (and time of day) of a day number by a pattern of d, m, y, h, n, s, z tokens;
// raises EInvalidOp for NaN and for day numbers beyond the 64-bit millisecond range.
std::string formatDateByPattern(std::string_view pattern, double dayNumber);
// Decimal digits with a leading "-" for negative values; no grouping.
std::string integerToText(std::int64_t value);

namespace detail {

// The separator of a C date format such as "%d.%m.%Y": its first character that is neither a
// conversion nor a letter; empty when there is none.
std::string_view dateSeparatorOfFormat(std::string_view dateFormat);

}  // namespace detail
}  // namespace pvz
