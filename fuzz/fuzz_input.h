#pragma once
// The byte layouts of the fuzz targets' inputs, shared by the targets and by the seed writer.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/formatting.h"

namespace pvz::fuzz {

// format-pattern: [selector][value: 8 bytes, the double's bits, little-endian][pattern ...].
// Selector bit 0 picks formatDateByPattern over formatByPattern; bits 1 and 2 pick the settings.
// format-fixed: [value: 8 bytes][precision: 4 bytes][decimals: 4 bytes][settings: 1 byte].
inline constexpr std::size_t kPatternHeaderSize = 9;
inline constexpr std::size_t kFixedInputSize = 17;

inline double doubleAt(const std::uint8_t* bytes) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | bytes[i];
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline std::int32_t int32At(const std::uint8_t* bytes) {
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) bits = bits << 8 | bytes[i];
    return static_cast<std::int32_t>(bits);
}

inline void appendDouble(std::string& out, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>(bits >> (8 * i) & 0xFF));
}

inline void appendInt32(std::string& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(bits >> (8 * i) & 0xFF));
}

// Four locales: the defaults, a Russian one, one that prints no separators at all, and one
// whose separators are multi-byte characters that also occur in patterns.
inline FormatSettings settingsVariant(unsigned index) {
    FormatSettings settings;
    switch (index % 4) {
        case 1:
            settings.decimalPointChar = ",";
            settings.groupSeparatorChar = "\u00A0";
            settings.dateSeparatorChar = ".";
            settings.monthAbbreviations = {"янв.", "февр.", "мар.",  "апр.", "мая",   "июн.",
                                           "июл.", "авг.",  "сент.", "окт.", "нояб.", "дек."};
            settings.monthNames = {"января", "февраля", "марта",    "апреля",  "мая",    "июня",
                                   "июля",   "августа", "сентября", "октября", "ноября", "декабря"};
            break;
        case 2:
            settings.decimalPointChar = "";
            settings.groupSeparatorChar = "";
            settings.dateSeparatorChar = "";
            for (auto& name : settings.monthAbbreviations) name.clear();
            break;
        case 3:
            settings.decimalPointChar = "\u066B";
            settings.groupSeparatorChar = "\u202F";
            settings.dateSeparatorChar = "'";
            settings.monthAbbreviations[0] = "\"m;";
            break;
        default:
            break;
    }
    return settings;
}

}  // namespace pvz::fuzz
