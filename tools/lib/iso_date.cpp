#include "tools/lib/iso_date.h"

#include <cstdint>

#include "runtime/calendar.h"
#include "runtime/errors.h"

namespace pvz {

std::optional<double> dayNumberOfIsoDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    const auto number = [&](std::size_t at, std::size_t length) -> std::optional<int> {
        int value = 0;
        for (std::size_t i = at; i < at + length; ++i) {
            if (text[i] < '0' || text[i] > '9') return std::nullopt;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const auto year = number(0, 4), month = number(5, 2), day = number(8, 2);
    if (!year || !month || !day) return std::nullopt;
    try {
        return encodeDayNumber(static_cast<std::uint16_t>(*year), static_cast<std::uint16_t>(*month),
                               static_cast<std::uint16_t>(*day));
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

}  // namespace pvz
