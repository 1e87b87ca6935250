#include "runtime/formatting.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "runtime/calendar.h"
#include "runtime/utf8_text.h"

namespace pvz {
namespace {

constexpr int kSignificantDigits = 18;
constexpr int kPatternGeneralDigits = 15;
constexpr int kMaxIntegerDigits = 18;
constexpr std::size_t kMaxDateCharacters = 256;
constexpr std::int64_t kMsPerDay = 86'400'000;

// A magnitude as decimal digits: value = 0.d1 d2 ... dn x 10^exponent, so `exponent` is one more
// than the position of the first digit (the units digit has position 0). No trailing zeros;
// no digits for zero.
struct Digits {
    std::array<char, kSignificantDigits> digit{};
    int count = 0;     // [0, 18]
    int exponent = 0;  // the e of the formatting rules
    bool negative = false;

    bool isZero() const { return count == 0; }
    // The digit at position p; '0' outside the significant digits.
    char at(int p) const {
        const int index = exponent - 1 - p;
        return index >= 0 && index < count ? digit[static_cast<std::size_t>(index)] : '0';
    }
    int lastPosition() const { return exponent - count; }
};

void dropTrailingZeros(Digits& d) {
    while (d.count > 0 && d.digit[static_cast<std::size_t>(d.count - 1)] == '0') --d.count;
}

// The value's magnitude written with 18 significant digits, rounded to nearest.
Digits significantDigits(double value) {
    Digits d;
    d.negative = std::signbit(value) && value != 0;
    const double magnitude = std::fabs(value);
    if (magnitude == 0) return d;
    // "d.ddddddddddddddddde+XX": std::to_chars rounds the exact binary value correctly and never
    // consults the locale.
    char text[40];
    const auto result =
        std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, kSignificantDigits - 1);
    const char* p = text;
    d.digit[0] = *p++;
    ++p;  // the point
    for (std::size_t i = 1; i < d.digit.size(); ++i) d.digit[i] = *p++;
    ++p;  // 'e'
    int exponent = 0;
    std::from_chars(*p == '+' ? p + 1 : p, result.ptr, exponent);
    d.count = kSignificantDigits;
    d.exponent = exponent + 1;
    dropTrailingZeros(d);
    return d;
}

// Keeps the first `keep` digits, rounding half away from zero on the first dropped digit.
// A result of zero keeps its exponent when the first digit was the first one dropped (keep == 0)
// and gets exponent 0 when the value lay further below.
Digits roundedTo(Digits d, int keep) {
    if (d.isZero() || keep >= d.count) return d;
    if (keep < 0) {
        d.count = 0;
        d.exponent = 0;
        return d;
    }
    const bool roundUp = d.digit[static_cast<std::size_t>(keep)] >= '5';
    d.count = keep;
    if (roundUp) {
        int i = keep - 1;
        while (i >= 0 && d.digit[static_cast<std::size_t>(i)] == '9') --i;
        if (i < 0) {
            d.digit[0] = '1';
            d.count = 1;
            d.exponent += 1;
        } else {
            ++d.digit[static_cast<std::size_t>(i)];
            d.count = i + 1;
        }
    }
    dropTrailingZeros(d);
    return d;
}

void appendExponent(std::string& out, int exponent, bool alwaysSign, int minDigits) {
    if (exponent < 0) {
        out += '-';
    } else if (alwaysSign) {
        out += '+';
    }
    char text[8];
    const auto result = std::to_chars(text, text + sizeof text, std::abs(exponent));
    const int length = static_cast<int>(result.ptr - text);
    out.append(static_cast<std::size_t>(std::max(0, minDigits - length)), '0');
    out.append(text, result.ptr);
}

// The general form: at most `maxDigits` significant digits, plain while the value has at most
// that many integer digits and is not below 0.0001, with an exponent ("1.5E+20") otherwise.
std::string generalForm(double value, int maxDigits) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    const Digits d = roundedTo(significantDigits(value), maxDigits);
    if (d.isZero()) return "0";
    const std::string& point = formatSettings().decimalPointChar;
    std::string out;
    if (d.negative) out += '-';
    if (d.exponent > maxDigits || d.exponent < -3) {
        out += d.digit[0];
        if (d.count > 1) {
            out += point;
            out.append(d.digit.data() + 1, static_cast<std::size_t>(d.count - 1));
        }
        out += 'E';
        appendExponent(out, d.exponent - 1, true, 2);
        return out;
    }
    if (d.exponent <= 0) {
        out += '0';
    } else {
        for (int p = d.exponent - 1; p >= 0; --p) out += d.at(p);
    }
    if (d.lastPosition() < 0) {
        out += point;
        for (int p = -1; p >= d.lastPosition(); --p) out += d.at(p);
    }
    return out;
}

// ---- formatByPattern ----

bool isQuote(char c) { return c == '"' || c == '\''; }

// Index just past the quoted text that starts at `start` (an unclosed quote runs to the end).
std::size_t skipQuoted(std::string_view text, std::size_t start) {
    const std::size_t close = text.find(text[start], start + 1);
    return close == std::string_view::npos ? text.size() : close + 1;
}

// The text inside the quotes that start at `start`.
std::string_view quotedText(std::string_view text, std::size_t start) {
    const std::size_t close = text.find(text[start], start + 1);
    return text.substr(start + 1, close == std::string_view::npos ? std::string_view::npos : close - start - 1);
}

bool startsExponent(std::string_view section, std::size_t i) {
    return (section[i] == 'E' || section[i] == 'e') && i + 1 < section.size() &&
           (section[i + 1] == '+' || section[i + 1] == '-');
}

struct Sections {
    std::array<std::string_view, 3> text{};
    int count = 0;
};

Sections splitSections(std::string_view pattern) {
    Sections s;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < pattern.size() && s.count < 2) {
        if (isQuote(pattern[i])) {
            i = skipQuoted(pattern, i);
        } else if (pattern[i] == ';') {
            s.text[static_cast<std::size_t>(s.count++)] = pattern.substr(start, i - start);
            start = ++i;
        } else {
            ++i;
        }
    }
    // Text after a third ";" belongs to no section.
    std::string_view last = pattern.substr(start);
    for (std::size_t j = 0; j < last.size();) {
        if (isQuote(last[j])) {
            j = skipQuoted(last, j);
        } else if (last[j] == ';') {
            last = last.substr(0, j);
        } else {
            ++j;
        }
    }
    s.text[static_cast<std::size_t>(s.count++)] = last;
    return s;
}

// What the scan of a section finds; positions follow the rounding rules (units 0, first decimal -1).
struct SectionLayout {
    int integerPlaceholders = 0;
    int decimalPlaceholders = 0;
    bool hasZero = false;
    int firstZero = 0;  // F
    int lastZero = 0;   // L
    bool grouping = false;
    bool scientific = false;
};

SectionLayout scanSection(std::string_view section) {
    SectionLayout layout;
    bool pointSeen = false;
    int ordinal = 0;
    int firstZeroOrdinal = -1;
    int lastZeroOrdinal = -1;
    for (std::size_t i = 0; i < section.size();) {
        const char c = section[i];
        if (isQuote(c)) {
            i = skipQuoted(section, i);
            continue;
        }
        if (!layout.scientific && startsExponent(section, i)) {
            layout.scientific = true;
            i += 2;
            continue;
        }
        if ((c == '0' || c == '#') && !layout.scientific) {
            if (c == '0') {
                if (firstZeroOrdinal < 0) firstZeroOrdinal = ordinal;
                lastZeroOrdinal = ordinal;
            }
            ++ordinal;
            if (pointSeen) {
                ++layout.decimalPlaceholders;
            } else {
                ++layout.integerPlaceholders;
            }
        } else if (c == '.') {
            pointSeen = true;
        } else if (c == ',') {
            layout.grouping = true;
        }
        ++i;
    }
    if (firstZeroOrdinal >= 0) {
        layout.hasZero = true;
        layout.firstZero = layout.integerPlaceholders - 1 - firstZeroOrdinal;
        layout.lastZero = layout.integerPlaceholders - 1 - lastZeroOrdinal;
    }
    return layout;
}

// Writes one section for the rounded digits; `exponent` is the printed exponent of a
// scientific section.
class SectionWriter {
public:
    SectionWriter(const SectionLayout& layout, const Digits& digits, int exponent)
        : layout_(layout), digits_(digits), exponent_(exponent), settings_(formatSettings()) {}

    std::string write(std::string_view section, bool withMinus) {
        if (withMinus) out_ += '-';
        int ordinal = 0;
        bool exponentDone = false;
        for (std::size_t i = 0; i < section.size();) {
            const char c = section[i];
            if (isQuote(c)) {
                out_.append(quotedText(section, i));
                i = skipQuoted(section, i);
            } else if (!exponentDone && startsExponent(section, i)) {
                i = writeExponent(section, i);
                exponentDone = true;
            } else if ((c == '0' || c == '#') && !exponentDone) {
                writePlaceholder(layout_.integerPlaceholders - 1 - ordinal, ordinal == 0);
                ++ordinal;
                ++i;
            } else {
                if (c != '.' && c != ',') out_ += c;
                ++i;
            }
        }
        return std::move(out_);
    }

private:
    void integerDigit(int p, char digit) {
        out_ += digit;
        if (layout_.grouping && p >= 3 && p % 3 == 0) out_ += settings_.groupSeparatorChar;
    }

    void writePlaceholder(int p, bool first) {
        const int e = digits_.exponent;
        if (first) {
            for (int q = e - 1; q >= layout_.integerPlaceholders; --q) integerDigit(q, digits_.at(q));
        }
        if (p >= 0) {
            if (p < e) {
                integerDigit(p, digits_.at(p));
            } else if (layout_.hasZero && p <= layout_.firstZero) {
                integerDigit(p, '0');
            }
            return;
        }
        char digit = 0;
        if (p >= e) {
            digit = '0';
        } else if (p >= digits_.lastPosition()) {
            digit = digits_.at(p);
        } else if (layout_.hasZero && p >= layout_.lastZero) {
            digit = '0';
        }
        if (digit == 0) return;
        if (p == -1) out_ += settings_.decimalPointChar;
        out_ += digit;
    }

    // "E+" or "E-" and the exponent digit placeholders after it; returns the index past them.
    std::size_t writeExponent(std::string_view section, std::size_t i) {
        out_ += section[i];
        const bool alwaysSign = section[i + 1] == '+';
        i += 2;
        int minDigits = 0;
        while (i < section.size() && (section[i] == '0' || section[i] == '#')) {
            if (section[i] == '0') ++minDigits;
            ++i;
        }
        appendExponent(out_, exponent_, alwaysSign, std::min(minDigits, 4));
        return i;
    }

    const SectionLayout& layout_;
    const Digits& digits_;
    int exponent_;
    const FormatSettings& settings_;
    std::string out_;
};

// ---- formatDateByPattern ----

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

void appendNumber(std::string& out, std::int64_t value, int minDigits) {
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    const int length = static_cast<int>(result.ptr - text);
    out.append(static_cast<std::size_t>(std::max(0, minDigits - length)), '0');
    out.append(text, result.ptr);
}

// Day names are not part of the locale settings; day-name tokens print these.
constexpr std::array<std::string_view, 7> kDayAbbreviations = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<std::string_view, 7> kDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};

// ---- locale reading ----

// The first character of a locale string, or `fallback` when the locale gives none.
std::string separatorFrom(const char* text, std::string_view fallback) {
    const std::string_view c = utf8FirstCharacter(text != nullptr ? text : "");
    return std::string(c.empty() ? fallback : c);
}

void nameFrom(std::string& name, const char* text) {
    if (text != nullptr && *text != 0 && isWellFormedUtf8(text)) name = text;
}

}  // namespace

namespace detail {

std::string_view dateSeparatorOfFormat(std::string_view dateFormat) {
    for (std::size_t i = 0; i < dateFormat.size();) {
        if (dateFormat[i] == '%') {
            ++i;
            // Flags, width and the E/O modifiers, then the conversion character.
            constexpr std::string_view kModifiers = "-_0^#123456789EO";
            while (i < dateFormat.size() && kModifiers.find(dateFormat[i]) != std::string_view::npos) ++i;
            if (i < dateFormat.size()) ++i;
            continue;
        }
        if (isAsciiLetter(dateFormat[i])) {
            ++i;
            continue;
        }
        return utf8FirstCharacter(dateFormat.substr(i));
    }
    return {};
}

}  // namespace detail

FormatSettings& formatSettings() {
    static FormatSettings settings = formatSettingsFromLocale();
    return settings;
}

FormatSettings formatSettingsFromLocale() {
    FormatSettings settings;
    const FormatSettings defaults;
    // An empty name takes each category from LC_ALL, LC_NUMERIC or LC_TIME, and LANG, like
    // setlocale does; a locale that is not installed leaves the defaults.
    if (locale_t numeric = newlocale(LC_NUMERIC_MASK, "", nullptr)) {
        settings.decimalPointChar = separatorFrom(nl_langinfo_l(RADIXCHAR, numeric), defaults.decimalPointChar);
        settings.groupSeparatorChar = separatorFrom(nl_langinfo_l(THOUSEP, numeric), defaults.groupSeparatorChar);
        freelocale(numeric);
    }
    if (locale_t time = newlocale(LC_TIME_MASK, "", nullptr)) {
        const char* dateFormat = nl_langinfo_l(D_FMT, time);
        const std::string_view separator = detail::dateSeparatorOfFormat(dateFormat != nullptr ? dateFormat : "");
        settings.dateSeparatorChar = separator.empty() ? defaults.dateSeparatorChar : std::string(separator);
        // A month standing alone in a label is named in the nominative ("май", not the genitive
        // "мая" of a full date): the locale's stand-alone names where it has them, else the
        // ordinary ones.
        for (int m = 0; m < 12; ++m) {
            const auto index = static_cast<std::size_t>(m);
            nameFrom(settings.monthAbbreviations[index], nl_langinfo_l(static_cast<nl_item>(ABMON_1 + m), time));
            nameFrom(settings.monthAbbreviations[index], nl_langinfo_l(static_cast<nl_item>(_NL_ABALTMON_1 + m), time));
            nameFrom(settings.monthNames[index], nl_langinfo_l(static_cast<nl_item>(MON_1 + m), time));
            nameFrom(settings.monthNames[index], nl_langinfo_l(static_cast<nl_item>(ALTMON_1 + m), time));
        }
        freelocale(time);
    }
    return settings;
}

ScopedFormatSettings::ScopedFormatSettings(FormatSettings settings) : previous_(std::move(formatSettings())) {
    formatSettings() = std::move(settings);
}

ScopedFormatSettings::~ScopedFormatSettings() { formatSettings() = std::move(previous_); }

std::string formatByPattern(std::string_view pattern, double value) {
    if (!std::isfinite(value) || pattern.empty()) return generalForm(value, kPatternGeneralDigits);
    const Sections sections = splitSections(pattern);
    auto sectionFor = [&](int wanted) {
        return wanted < sections.count && !sections.text[static_cast<std::size_t>(wanted)].empty() ? wanted : 0;
    };
    int index = sectionFor(value < 0 ? 1 : value == 0 ? 2 : 0);
    SectionLayout layout = scanSection(sections.text[static_cast<std::size_t>(index)]);

    Digits digits = significantDigits(value);
    int shownExponent = 0;
    if (layout.scientific) {
        const int keep = std::clamp(layout.integerPlaceholders + layout.decimalPlaceholders, 1, kSignificantDigits);
        digits = roundedTo(digits, keep);
        if (!digits.isZero()) {
            shownExponent = digits.exponent - layout.integerPlaceholders;
            digits.exponent = layout.integerPlaceholders;
        }
    } else {
        digits = roundedTo(digits, digits.exponent + layout.decimalPlaceholders);
        if (digits.exponent > kMaxIntegerDigits) return generalForm(value, kPatternGeneralDigits);
    }
    if (digits.isZero() && value != 0) {
        // A value that has become zero is written by the zero section; another section than the
        // one that rounded it writes an exact zero.
        const int zeroIndex = sectionFor(2);
        if (zeroIndex != index) {
            index = zeroIndex;
            layout = scanSection(sections.text[static_cast<std::size_t>(index)]);
            digits = Digits{};
            shownExponent = 0;
        }
    }
    const bool withMinus = digits.negative && !digits.isZero() && index == 0;
    const std::string_view section = sections.text[static_cast<std::size_t>(index)];
    return SectionWriter(layout, digits, shownExponent).write(section, withMinus);
}

std::string formatFixed(double value, int precision, int decimals) {
    precision = std::clamp(precision, 2, kSignificantDigits);
    decimals = std::clamp(decimals, 0, kSignificantDigits);
    if (!std::isfinite(value)) return generalForm(value, precision);
    Digits d = significantDigits(value);
    d = roundedTo(d, std::min(d.exponent + decimals, precision));
    if (d.exponent > precision) return generalForm(value, precision);

    std::string out;
    if (d.negative && !d.isZero()) out += '-';
    if (d.exponent <= 0 || d.isZero()) {
        out += '0';
    } else {
        for (int p = d.exponent - 1; p >= 0; --p) out += d.at(p);
    }
    if (decimals > 0) {
        out += formatSettings().decimalPointChar;
        for (int p = -1; p >= -decimals; --p) out += d.isZero() ? '0' : d.at(p);
    }
    return out;
}

std::string formatDateByPattern(std::string_view pattern, double dayNumber) {
    const CalendarDate date = decodeDayNumber(dayNumber);
    const std::int64_t ms = roundToInt64(static_cast<long double>(dayNumber) * kMsPerDay);
    const std::int64_t msOfDay = ((ms % kMsPerDay) + kMsPerDay) % kMsPerDay;  // [0, 86399999]
    const std::int64_t dayCount = (ms - msOfDay) / kMsPerDay;
    const FormatSettings& settings = formatSettings();

    std::string out;
    char lastToken = 0;
    // The loop stops once the text is surely longer than the cut.
    for (std::size_t i = 0; i < pattern.size() && out.size() < 4 * kMaxDateCharacters;) {
        const char c = pattern[i];
        if (isQuote(c)) {
            out.append(quotedText(pattern, i));
            i = skipQuoted(pattern, i);
            continue;
        }
        if (c == '/') {
            out += settings.dateSeparatorChar;
            ++i;
            continue;
        }
        const char token = lowerAscii(c);
        if (std::string_view("dmyhnsz").find(token) == std::string_view::npos || !isAsciiLetter(c)) {
            out += c;
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < pattern.size() && lowerAscii(pattern[end]) == token) ++end;
        const int count = static_cast<int>(end - i);
        i = end;
        switch (token) {
            case 'd':
                if (count <= 2) {
                    appendNumber(out, date.day, count);
                } else {
                    // 30 December 1899 was a Saturday.
                    const auto weekday = static_cast<std::size_t>(((dayCount + 6) % 7 + 7) % 7);
                    out += count == 3 ? kDayAbbreviations[weekday] : kDayNames[weekday];
                }
                break;
            case 'm':
                if (lastToken == 'h') {
                    appendNumber(out, msOfDay / 60000 % 60, std::min(count, 2));
                } else if (count <= 2) {
                    appendNumber(out, date.month, count);
                } else {
                    const auto index = static_cast<std::size_t>(date.month - 1);
                    out += count == 3 ? settings.monthAbbreviations[index] : settings.monthNames[index];
                }
                break;
            case 'y':
                if (count <= 2) {
                    appendNumber(out, ((date.year % 100) + 100) % 100, 2);
                } else {
                    appendNumber(out, date.year, 4);
                }
                break;
            case 'h':
                appendNumber(out, msOfDay / 3600000, std::min(count, 2));
                break;
            case 'n':
                appendNumber(out, msOfDay / 60000 % 60, std::min(count, 2));
                break;
            case 's':
                appendNumber(out, msOfDay / 1000 % 60, std::min(count, 2));
                break;
            case 'z':
                appendNumber(out, msOfDay % 1000, count >= 3 ? 3 : 1);
                break;
        }
        lastToken = token;
    }
    utf8Truncate(out, kMaxDateCharacters);
    return out;
}

std::string integerToText(std::int64_t value) {
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

}  // namespace pvz
