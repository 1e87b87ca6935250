#include "runtime/formatting.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "runtime/calendar.h"
#include "runtime/errors.h"

namespace pvz {
namespace {

const char* const kNoBreakSpace = "\u202F";

FormatSettings russianLikeSettings() {
    FormatSettings s;
    s.decimalPointChar = ",";
    s.groupSeparatorChar = kNoBreakSpace;
    s.dateSeparatorChar = ".";
    s.monthAbbreviations = {"янв", "фев", "мар", "апр", "май", "июн", "июл", "авг", "сен", "окт", "ноя", "дек"};
    s.monthNames = {"января", "февраля", "марта",    "апреля",  "мая",    "июня",
                    "июля",   "августа", "сентября", "октября", "ноября", "декабря"};
    return s;
}

struct PatternRow {
    const char* pattern;
    double value;
    const char* expected;
};

void expectPatternRows(const std::vector<PatternRow>& rows) {
    for (const PatternRow& row : rows) {
        SCOPED_TRACE(std::string(row.pattern) + " with " + std::to_string(row.value));
        EXPECT_EQ(formatByPattern(row.pattern, row.value), row.expected);
    }
}

TEST(FormatByPattern, AxisPatternsWithDefaultSettings) {
    const ScopedFormatSettings settings{FormatSettings{}};
    expectPatternRows({
        {"#,##0.###.00", 0, "0.00000"},
        {"#,##0.###.00", 0.003, "0.00300"},
        {"#,##0.###.00", -0.0125, "-0.01250"},
        {"#,##0.###.00", 1234.5, "1,234.50000"},
        {"#,##0.###.00", 12345678, "12,345,678.00000"},
        {"#,##0.###.00", 1234567.891, "1,234,567.89100"},
        {"#,##0.###.00", -0.000004, "0.00000"},
        {"#,##0.###.00", 0.0025, "0.00250"},
        {"#,##0.###.00", -999.5, "-999.50000"},
        {"#,##0.###.00", 0.00123456, "0.00123"},
        {"#,##0.###.00", 0.001735, "0.00174"},  // exactly 0.0017349999999999999971: 18 digits make it a half
        {"#.###", 0, ""},
        {"#.###", 0.5, ".5"},
        {"#.###", 5, "5"},
        {"#.###", 5.25, "5.25"},
        {"#.###", 2.0625, "2.063"},
        {"#.###", -2.0625, "-2.063"},
        {"#.###", 42747, "42747"},
        {"#.###", 1234567, "1234567"},
        {"#.###", 0.05, ".05"},
    });
}

// A value that rounds to zero keeps its magnitude's place only when its first digit is the
// first one dropped; it never keeps its minus sign.
TEST(FormatByPattern, ValuesThatRoundToZero) {
    const ScopedFormatSettings settings{FormatSettings{}};
    expectPatternRows({
        {"#.###", 0.0004, ".000"},
        {"#.###", -0.0004, ".000"},
        {"#.###", 0.0001, ".000"},
        {"#.###", 0.00049999, ".000"},
        {"#.###", 0.00004, ""},
        {"#.###", -0.00004, ""},
        {"#.###", 0.0005, ".001"},
        {"#.###", -0.0005, "-.001"},
        {"#,##0.###.00", 0.000004, "0.00000"},
        {"#,##0.###.00", 0.0000004, "0.00000"},
        {"#,##0.###.00", -0.000005, "-0.00001"},
        {"#", 0.4, ""},
        {"#", -0.4, ""},
        {"0", -0.4, "0"},
        {"#", 0.5, "1"},
    });
}

// Each power of ten and the values just below it, where a carry adds a digit (or a group).
TEST(FormatByPattern, DecadeBoundaries) {
    const ScopedFormatSettings settings{FormatSettings{}};
    expectPatternRows({
        {"#,##0.###.00", 0.999995, "0.99999"},  // 18 digits: 0.999994999999999967
        {"#,##0.###.00", 0.9999951, "1.00000"},
        {"#,##0.###.00", 1, "1.00000"},
        {"#,##0.###.00", 9.999995, "10.00000"},  // 18 digits: 9.99999500000000019
        {"#,##0.###.00", 9.99999, "9.99999"},
        {"#,##0.###.00", 10, "10.00000"},
        {"#,##0.###.00", 99.999995, "99.99999"},  // 18 digits: 99.9999949999999984
        {"#,##0.###.00", 999.999995, "1,000.00000"},
        {"#,##0.###.00", 999.99999, "999.99999"},
        {"#,##0.###.00", 1000, "1,000.00000"},
        {"#,##0.###.00", 99999.999995, "100,000.00000"},
        {"#,##0.###.00", 999999.999995, "999,999.99999"},  // 18 digits: 999999.999994999962
        {"#,##0.###.00", 1e6, "1,000,000.00000"},
        {"#,##0.###.00", 999999999999.99999, "1,000,000,000,000.00000"},
        {"#.###", 0.9995, "1"},
        {"#.###", 0.9994, ".999"},
        {"#.###", 9.9995, "9.999"},  // 18 digits: 9.99949999999999939
        {"#.###", 99.9995, "99.999"},
        {"#.###", 999.9995, "1000"},
        {"#.###", 0.001, ".001"},
        {"#.###", 0.000999, ".001"},
        {"#.###", 100, "100"},
    });
}

TEST(FormatByPattern, SectionsPlaceholdersAndLiterals) {
    const ScopedFormatSettings settings{FormatSettings{}};
    expectPatternRows({
        {"0000", 5, "0005"},
        {"0,000", 5, "0,005"},
        {"#,##0", 1234567, "1,234,567"},
        {"#,", 1234567, "1,234,567"},
        {"00.00", 1.5, "01.50"},
        {"#0.0#", 0.5, "0.5"},
        {"#.0#", 0.5, ".5"},
        {"#.0#", 5, "5.0"},
        {"0.00", 12.125, "12.13"},
        {"0", 2.5, "3"},
        {"0", -2.5, "-3"},
        {".00", 12.375, "12.38"},
        {"0", 123456, "123456"},
        {"#.#.#", 1.25, "1.25"},
        {"0.00 'm;s'", 1.5, "1.50 m;s"},
        {"\"#\"0", 7, "#7"},
        {"0.0;(0.0)", -1.25, "(1.3)"},
        {"0.0;(0.0);'zero'", 0, "zero"},
        {"0.0;(0.0);'zero'", 0.01, "zero"},
        {"0.0;(0.0);'zero'", -0.01, "zero"},
        {"0.0;(0.0)", -0.01, "0.0"},
        {"0.0;;'zero'", -1.25, "-1.3"},
        {"0.0;'neg';", 0, "0.0"},
        {"+0.0", 3, "+3.0"},
        {"0.0 x", -3, "-3.0 x"},
        {"abc", 3, "abc"},
        {"0.00E+00", 1234, "1.23E+03"},
        {"0.00E+00", 0.000123, "1.23E-04"},
        {"0.0E-0", 1234, "1.2E3"},
        {"00.0E+00", -1234, "-12.3E+02"},
    });
}

TEST(FormatByPattern, GeneralFormForHugeInfiniteAndNaNValues) {
    const ScopedFormatSettings settings{FormatSettings{}};
    expectPatternRows({
        {"#,##0.###.00", 1e19, "1E+19"},
        {"#,##0.###.00", 1e18, "1E+18"},
        {"#.###", -1.5e300, "-1.5E+300"},
        {"#.###", 123456789012345678.0, "123456789012345680"},
        {"#.###", std::numeric_limits<double>::infinity(), "INF"},
        {"#.###", -std::numeric_limits<double>::infinity(), "-INF"},
        {"#.###", std::numeric_limits<double>::quiet_NaN(), "NAN"},
        {"", 1234.5, "1234.5"},
        {"", 0.0001, "0.0001"},
        {"", 0.00001, "1E-05"},
    });
}

TEST(FormatByPattern, RussianSeparators) {
    const ScopedFormatSettings settings{russianLikeSettings()};
    const std::string g = kNoBreakSpace;
    EXPECT_EQ(formatByPattern("#,##0.###.00", 0.0025), "0,00250");
    EXPECT_EQ(formatByPattern("#,##0.###.00", 1234567.891), "1" + g + "234" + g + "567,89100");
    EXPECT_EQ(formatByPattern("#.###", -2.0625), "-2,063");
    EXPECT_EQ(formatByPattern("#.###", 0.0004), ",000");
    EXPECT_EQ(formatByPattern("#.###", 1e19), "1E+19");
}

TEST(FormatByPattern, EmptySeparatorsPrintNothing) {
    FormatSettings s;
    s.groupSeparatorChar.clear();
    const ScopedFormatSettings settings{s};
    EXPECT_EQ(formatByPattern("#,##0.###.00", 1234567.891), "1234567.89100");
}

struct FixedRow {
    double value;
    int precision;
    int decimals;
    const char* expected;
};

TEST(FormatFixed, Rows) {
    const ScopedFormatSettings settings{FormatSettings{}};
    const FixedRow rows[] = {
        {42747.5, 8, 1, "42747.5"},
        {42747.25, 8, 1, "42747.3"},
        {-0.00123456, 8, 5, "-0.00123"},
        {1234.56789, 8, 5, "1234.56790"},
        {-0.000004, 8, 5, "0.00000"},
        {0.05, 8, 1, "0.1"},
        {0.04, 8, 1, "0.0"},
        {0.0025, 8, 5, "0.00250"},
        {0.001405, 8, 5, "0.00141"},  // exactly 0.0014049999999999999989: 18 digits make it a half
        {0, 8, 5, "0.00000"},
        {-0.0, 8, 1, "0.0"},
        {-42747.25, 8, 1, "-42747.3"},
        {9999999.94, 8, 1, "9999999.9"},
        {9999999.96, 8, 1, "10000000.0"},
        {99999999.4, 8, 1, "99999999.0"},  // eight digits leave no room for decimals: zero fill
        {99999999.9, 8, 1, "1E+08"},       // the carry makes nine integer digits
        {123456789.0, 8, 1, "1.2345679E+08"},
        {0.999995, 8, 5, "0.99999"},
        {9.999995, 8, 5, "10.00000"},
        {12345.678, 8, 5, "12345.67800"},
        {123456.789, 8, 5, "123456.79000"},
        {1234.56789, 1, 5, "1.2E+03"},  // precision clamped to 2
        {0.123456789, 30, 25, "0.123456788999999997"},
        {1.0000038146972656, 18, 18, "1.000003814697265620"},  // exact tie at the 19th digit: to even
        {5.5, 8, -3, "6"},
        {std::numeric_limits<double>::quiet_NaN(), 8, 5, "NAN"},
        {-std::numeric_limits<double>::infinity(), 8, 5, "-INF"},
    };
    for (const FixedRow& row : rows) {
        SCOPED_TRACE(std::to_string(row.value) + " (" + std::to_string(row.precision) + ", " +
                     std::to_string(row.decimals) + ")");
        EXPECT_EQ(formatFixed(row.value, row.precision, row.decimals), row.expected);
    }
}

TEST(FormatFixed, RussianDecimalSeparator) {
    const ScopedFormatSettings settings{russianLikeSettings()};
    EXPECT_EQ(formatFixed(0.0025, 8, 5), "0,00250");
    EXPECT_EQ(formatFixed(42747.25, 8, 1), "42747,3");
    EXPECT_EQ(formatFixed(1234567.891, 8, 5), "1234567,90000");
}

TEST(IntegerToText, Rows) {
    EXPECT_EQ(integerToText(-7), "-7");
    EXPECT_EQ(integerToText(0), "0");
    EXPECT_EQ(integerToText(1234567), "1234567");
    EXPECT_EQ(integerToText(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(integerToText(std::numeric_limits<std::int64_t>::max()), "9223372036854775807");
}

// ---- Oracle: exact decimal expansion of a double, then fixed-point rounding ----

// The exact decimal digits of |value| (finite, nonzero) with `exponent` such that
// |value| = 0.digits x 10^exponent, built from the binary significand with big-integer
// arithmetic in base 10^9.
struct DecimalText {
    std::string digits;
    int exponent = 0;
};

DecimalText exactDecimal(double value) {
    int binaryExponent = 0;
    const double fraction = std::frexp(std::fabs(value), &binaryExponent);
    auto significand = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    binaryExponent -= 53;
    while (significand % 2 == 0) {
        significand /= 2;
        ++binaryExponent;
    }
    std::vector<std::uint32_t> limbs;  // little end first, base 10^9
    for (std::uint64_t s = significand; s != 0; s /= 1'000'000'000) {
        limbs.push_back(static_cast<std::uint32_t>(s % 1'000'000'000));
    }
    auto multiply = [&limbs](std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (std::uint32_t& limb : limbs) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product % 1'000'000'000);
            carry = product / 1'000'000'000;
        }
        if (carry != 0) limbs.push_back(static_cast<std::uint32_t>(carry));
    };
    // m x 2^b = m x 5^-b / 10^-b for b < 0.
    for (int i = 0; i < std::abs(binaryExponent); ++i) multiply(binaryExponent > 0 ? 2 : 5);
    std::string digits = std::to_string(limbs.back());
    for (std::size_t i = limbs.size() - 1; i-- > 0;) {
        const std::string part = std::to_string(limbs[i]);
        digits += std::string(9 - part.size(), '0') + part;
    }
    DecimalText d;
    d.exponent = static_cast<int>(digits.size()) + std::min(binaryExponent, 0);
    d.digits = digits;
    return d;
}

// Adds one unit in the last place of a decimal digit string, growing it on a carry.
bool incrementDigits(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

// |value| with 18 significant digits, nearest with ties to even.
DecimalText eighteenDigits(double value) {
    DecimalText d = exactDecimal(value);
    if (d.digits.size() > 18) {
        const std::string rest = d.digits.substr(18);
        d.digits.resize(18);
        const bool aboveHalf = rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string::npos);
        const bool half = rest[0] == '5' && !aboveHalf;
        if (aboveHalf || (half && (d.digits.back() - '0') % 2 == 1)) {
            if (incrementDigits(d.digits)) ++d.exponent;
        }
    }
    return d;
}

// round(|value| x 10^-place) with halves away from zero, as an integer digit string.
std::string scaledInteger(const DecimalText& d, int place) {
    const int integerDigits = d.exponent - place;  // digits of |value| x 10^-place before its point
    if (integerDigits < 0) return "0";
    std::string n = d.digits.substr(0, std::min<std::size_t>(d.digits.size(), static_cast<std::size_t>(integerDigits)));
    n.resize(static_cast<std::size_t>(integerDigits), '0');
    const auto cut = static_cast<std::size_t>(integerDigits);
    const char dropped = cut < d.digits.size() ? d.digits[cut] : '0';
    if (n.empty()) n = "0";
    if (dropped >= '5') incrementDigits(n);
    const std::size_t firstNonZero = n.find_first_not_of('0');
    return firstNonZero == std::string::npos ? "0" : n.substr(firstNonZero);
}

std::string leftPadded(std::string digits, std::size_t width) {
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

std::string grouped(const std::string& integerDigits, const std::string& separator) {
    std::string out;
    for (std::size_t i = 0; i < integerDigits.size(); ++i) {
        if (i > 0 && (integerDigits.size() - i) % 3 == 0) out += separator;
        out += integerDigits[i];
    }
    return out;
}

// "#,##0.###.00": five decimals, at least one integer digit, grouped thousands.
std::string oracleAxisLabel(double value, const FormatSettings& s) {
    if (value == 0) return "0" + s.decimalPointChar + "00000";
    const std::string n = leftPadded(scaledInteger(eighteenDigits(value), -5), 6);
    const std::string sign = value < 0 && n != "000000" ? "-" : "";
    return sign + grouped(n.substr(0, n.size() - 5), s.groupSeparatorChar) + s.decimalPointChar +
           n.substr(n.size() - 5);
}

// "#.###": up to three decimals, no trailing zeros, no leading zero; ".000" for the values whose
// first digit is the fourth decimal and that round to zero.
std::string oracleBottomLabel(double value, const FormatSettings& s) {
    if (value == 0) return "";
    const DecimalText d = eighteenDigits(value);
    const std::string n = scaledInteger(d, -3);
    if (n == "0") return d.exponent == -3 ? s.decimalPointChar + "000" : "";
    const std::string padded = leftPadded(n, 4);
    std::string integerPart = padded.substr(0, padded.size() - 3);
    std::string decimals = padded.substr(padded.size() - 3);
    if (integerPart == "0") integerPart.clear();
    while (!decimals.empty() && decimals.back() == '0') decimals.pop_back();
    return (value < 0 ? "-" : "") + integerPart + (decimals.empty() ? "" : s.decimalPointChar + decimals);
}

// formatFixed(value, 8, decimals) for values below 10^8 in magnitude: the last kept place is
// the decimals' last or the eighth significant digit's, whichever is higher.
std::optional<std::string> oracleFixed(double value, int decimals, const FormatSettings& s) {
    const std::string zeroDecimals(static_cast<std::size_t>(decimals), '0');
    const std::string zero = "0" + (decimals > 0 ? s.decimalPointChar + zeroDecimals : "");
    if (value == 0) return zero;
    const DecimalText d = eighteenDigits(value);
    const int place = std::max(-decimals, d.exponent - 8);
    const std::string n = scaledInteger(d, place);
    if (n == "0") return zero;
    std::string integerPart;
    std::string fraction;
    if (place >= 0) {
        integerPart = n + std::string(static_cast<std::size_t>(place), '0');
    } else {
        const std::string padded = leftPadded(n, static_cast<std::size_t>(-place) + 1);
        integerPart = padded.substr(0, padded.size() - static_cast<std::size_t>(-place));
        fraction = padded.substr(padded.size() - static_cast<std::size_t>(-place));
    }
    if (integerPart.size() > 8) return std::nullopt;  // the general form
    fraction.resize(static_cast<std::size_t>(decimals), '0');
    return (value < 0 ? "-" : "") + integerPart + (decimals > 0 ? s.decimalPointChar + fraction : "");
}

std::vector<double> sweepValues() {
    std::mt19937_64 random(20170112);
    std::vector<double> values;
    std::uniform_int_distribution<std::int64_t> mantissa(0, 999'999'999);
    std::uniform_int_distribution<int> scale(0, 10);
    std::uniform_real_distribution<double> logMagnitude(-9.0, 12.0);
    std::uniform_int_distribution<std::uint64_t> bits;
    const double powers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};
    for (int i = 0; i < 6000; ++i) {
        const double sign = i % 2 == 0 ? 1.0 : -1.0;
        // Short decimals: the values that sit on or next to a half.
        values.push_back(sign * static_cast<double>(mantissa(random)) / powers[scale(random)]);
        values.push_back(sign * static_cast<double>(mantissa(random) % 100'000 * 10 + 5) /
                         powers[6 + scale(random) % 3]);
        // Any magnitude from 10^-9 to 10^12.
        values.push_back(sign * std::pow(10.0, logMagnitude(random)));
        // Arbitrary significand bits at an exponent between 2^-30 and 2^40.
        const std::uint64_t exponentBits = static_cast<std::uint64_t>(1023 - 30 + static_cast<int>(bits(random) % 71))
                                           << 52;
        double v = 0;
        const std::uint64_t pattern = exponentBits | (bits(random) & ((std::uint64_t{1} << 52) - 1));
        std::memcpy(&v, &pattern, sizeof v);
        values.push_back(sign * v);
    }
    return values;
}

TEST(FormattingOracle, ThousandsOfValuesInBothSettings) {
    const std::vector<double> values = sweepValues();
    for (const FormatSettings& s : {FormatSettings{}, russianLikeSettings()}) {
        SCOPED_TRACE("decimal separator " + s.decimalPointChar);
        const ScopedFormatSettings settings{s};
        int failures = 0;
        int compared = 0;
        auto check = [&](const char* what, double v, const std::string& actual, const std::string& expected) {
            ++compared;
            if (actual == expected || ++failures > 10) return;
            char text[40];
            std::snprintf(text, sizeof text, "%.17g", v);
            ADD_FAILURE() << what << " of " << text << ": got \"" << actual << "\", expected \"" << expected << "\"";
        };
        for (const double v : values) {
            if (std::fabs(v) < 1e15)
                check("#,##0.###.00", v, formatByPattern("#,##0.###.00", v), oracleAxisLabel(v, s));
            check("#.###", v, formatByPattern("#.###", v), oracleBottomLabel(v, s));
            for (const int decimals : {1, 5}) {
                if (const std::optional<std::string> expected = oracleFixed(v, decimals, s)) {
                    check(decimals == 1 ? "formatFixed(8, 1)" : "formatFixed(8, 5)", v, formatFixed(v, 8, decimals),
                          *expected);
                }
            }
        }
        EXPECT_EQ(failures, 0);
        EXPECT_GT(compared, 80000);
    }
}

// The oracle's own footing: its exact expansion against known expansions.
TEST(FormattingOracle, ExactExpansionOfKnownValues) {
    EXPECT_EQ(exactDecimal(0.5).digits, "5");
    EXPECT_EQ(exactDecimal(0.5).exponent, 0);
    EXPECT_EQ(exactDecimal(1024.0).digits, "1024");
    EXPECT_EQ(exactDecimal(std::ldexp(1.0, -27)).digits, "7450580596923828125");
    EXPECT_EQ(exactDecimal(std::ldexp(1.0, -27)).exponent, -8);
    EXPECT_EQ(eighteenDigits(0.1).digits, "100000000000000006");  // 0.1000000000000000055511
    EXPECT_EQ(eighteenDigits(1.0 + std::ldexp(1.0, -18)).digits, "100000381469726562");
}

// ---- Dates ----

struct DateRow {
    const char* pattern;
    double dayNumber;
    const char* expected;
};

constexpr double kMillisecond = 1.0 / 86'400'000;

TEST(FormatDateByPattern, Rows) {
    const ScopedFormatSettings settings{FormatSettings{}};
    const DateRow rows[] = {
        {"mmm/dd yyyy", 42747, "Jan/12 2017"},
        {"dd.MM.yyyy", 42747, "12.01.2017"},
        {"mmm/dd yyyy", 42747.99, "Jan/12 2017"},
        {"mmm/dd yyyy", 42748 - 0.4 * kMillisecond, "Jan/13 2017"},
        {"mmm/dd yyyy", 42748 - 0.6 * kMillisecond, "Jan/12 2017"},
        {"mmm/dd yyyy", 42736 - 0.4 * kMillisecond, "Jan/01 2017"},  // the carry crosses the year
        {"d/m/yy", 39877, "5/3/09"},
        {"DD-MM-YY", 39877, "05-03-09"},
        {"mmmm d, yyyy", 42747, "January 12, 2017"},
        {"MMMMM", 42768, "February"},
        {"y", 36526, "00"},
        {"yyy", 36526, "2000"},
        {"yyyy", -693593, "0001"},
        {"ddd dddd", 42747, "Thu Thursday"},
        {"hh:mm", 42747.75, "18:00"},
        {"h:nn:ss.zzz", 42747.5 + 61.5 * 1000 * kMillisecond, "12:01:01.500"},
        {"mm hh mm", 42747.25 + 7 * 60000 * kMillisecond, "01 06 07"},
        {"'dd' \"mm\" yyyy", 42747, "dd mm 2017"},
        {"'unclosed mm", 42747, "unclosed mm"},
        {"dd 2017 ! x", 42747, "12 2017 ! x"},
    };
    for (const DateRow& row : rows) {
        SCOPED_TRACE(std::string(row.pattern) + " with " + std::to_string(row.dayNumber));
        EXPECT_EQ(formatDateByPattern(row.pattern, row.dayNumber), row.expected);
    }
}

TEST(FormatDateByPattern, LocaleSeparatorAndMonthNames) {
    {
        const ScopedFormatSettings settings{russianLikeSettings()};
        EXPECT_EQ(formatDateByPattern("mmm/dd yyyy", 42747), "янв.12 2017");
        EXPECT_EQ(formatDateByPattern("d mmmm yyyy", 42768), "2 февраля 2017");
    }
    FormatSettings s;
    s.dateSeparatorChar.clear();
    const ScopedFormatSettings settings{s};
    EXPECT_EQ(formatDateByPattern("mmm/dd yyyy", 42747), "Jan12 2017");
}

TEST(FormatDateByPattern, NotADayNumberIsAnInvalidOperation) {
    EXPECT_THROW(formatDateByPattern("yyyy", std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
    EXPECT_THROW(formatDateByPattern("yyyy", 1e300), EInvalidOp);
}

std::size_t countCharacters(const std::string& text) {
    std::size_t n = 0;
    for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

// The cut counts characters, so a text of two-byte letters is never split inside a letter.
TEST(FormatDateByPattern, CutAfter256Characters) {
    EXPECT_EQ(formatDateByPattern(std::string(300, 'x'), 42747), std::string(256, 'x'));
    EXPECT_EQ(formatDateByPattern(std::string(256, 'x'), 42747), std::string(256, 'x'));
    const ScopedFormatSettings settings{russianLikeSettings()};
    std::string pattern = "xx";
    for (int i = 0; i < 100; ++i) pattern += "mmm/";
    const std::string text = formatDateByPattern(pattern, 42747);
    EXPECT_EQ(countCharacters(text), 256u);
    EXPECT_EQ(text.size(), 2u + 63 * 7 + 4);
    EXPECT_EQ(text.substr(text.size() - 11), "янв.ян");
}

// ---- Locale reading ----

// Sets an environment variable for the guard's lifetime.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) previous_ = old;
        setenv(name, value, 1);
    }
    ~ScopedEnvironment() {
        if (previous_) {
            setenv(name_, previous_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    std::optional<std::string> previous_;
};

TEST(FormatSettingsFromLocale, CLocaleAndUnknownLocalesGiveTheDefaults) {
    for (const char* name : {"C", "C.UTF-8", "POSIX", "xx_XX.UTF-8"}) {
        SCOPED_TRACE(name);
        const ScopedEnvironment all("LC_ALL", name);
        EXPECT_EQ(formatSettingsFromLocale(), FormatSettings{});
    }
}

TEST(FormatSettingsFromLocale, RussianLocale) {
    const ScopedEnvironment all("LC_ALL", "ru_RU.UTF-8");
    locale_t probe = newlocale(LC_NUMERIC_MASK | LC_TIME_MASK, "ru_RU.UTF-8", nullptr);
    if (probe == nullptr) GTEST_SKIP() << "the ru_RU.UTF-8 locale is not installed";
    freelocale(probe);
    const FormatSettings s = formatSettingsFromLocale();
    EXPECT_EQ(s.decimalPointChar, ",");
    EXPECT_TRUE(s.groupSeparatorChar == "\u202F" || s.groupSeparatorChar == "\u00A0") << s.groupSeparatorChar;
    EXPECT_EQ(s.dateSeparatorChar, ".");
    EXPECT_EQ(s.monthAbbreviations[0], "янв");
    EXPECT_EQ(s.monthAbbreviations[11], "дек");
    EXPECT_FALSE(s.monthNames[0].empty());
    EXPECT_NE(s.monthNames[0], "January");
}

TEST(FormatSettingsFromLocale, AMonthStandingAloneIsNamedInTheNominative) {
    // The genitive "мая" belongs to a full date; a label names the month alone.
    struct Row {
        const char* locale;
        int month;
        const char* abbreviation;
        const char* name;
    };
    const Row rows[] = {{"ru_RU.UTF-8", 5, "май", "Май"},
                        {"ru_RU.UTF-8", 6, "июн", "Июнь"},
                        {"ru_RU.UTF-8", 3, "мар", "Март"},
                        {"C", 5, "May", "May"},
                        {"C", 6, "Jun", "June"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.locale) + " " + std::to_string(row.month));
        const ScopedEnvironment all("LC_ALL", row.locale);
        locale_t probe = newlocale(LC_TIME_MASK, row.locale, nullptr);
        if (probe == nullptr) GTEST_SKIP() << row.locale << " is not installed";
        freelocale(probe);
        const FormatSettings s = formatSettingsFromLocale();
        const auto index = static_cast<std::size_t>(row.month - 1);
        EXPECT_EQ(s.monthAbbreviations[index], row.abbreviation);
        EXPECT_EQ(s.monthNames[index], row.name);
        const ScopedFormatSettings using_{s};
        EXPECT_EQ(formatDateByPattern("mmm", encodeDayNumber(2017, static_cast<std::uint16_t>(row.month), 8)),
                  row.abbreviation);
    }
}

TEST(FormatSettingsFromLocale, CategoriesComeFromTheirOwnVariables) {
    const ScopedEnvironment all("LC_ALL", "");
    const ScopedEnvironment numeric("LC_NUMERIC", "C");
    const ScopedEnvironment time("LC_TIME", "xx_XX");
    EXPECT_EQ(formatSettingsFromLocale().decimalPointChar, ".");
}

TEST(FormatSettings, ScopedSettingsRestoreThePreviousOnes) {
    const FormatSettings before = formatSettings();
    {
        const ScopedFormatSettings outer{russianLikeSettings()};
        EXPECT_EQ(formatSettings().decimalPointChar, ",");
        {
            FormatSettings inner;
            inner.decimalPointChar = "·";
            const ScopedFormatSettings guard{inner};
            EXPECT_EQ(formatFixed(1.5, 8, 1), "1·5");
        }
        EXPECT_EQ(formatFixed(1.5, 8, 1), "1,5");
    }
    EXPECT_EQ(formatSettings(), before);
}

TEST(DateSeparatorOfFormat, Rows) {
    struct Row {
        std::string_view format;
        std::string_view expected;
    };
    const Row rows[] = {
        {"%d.%m.%Y", "."}, {"%m/%d/%y", "/"}, {"%Y-%m-%d", "-"}, {"%e %b %Y", " "},        {"%-d.%-m.%Y", "."},
        {"%Ey/%m", "/"},   {"%F", ""},        {"", ""},          {"%d\u202F%m", "\u202F"}, {"%Y年%m月", "年"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.format));
        EXPECT_EQ(detail::dateSeparatorOfFormat(row.format), row.expected);
    }
}

}  // namespace
}  // namespace pvz
