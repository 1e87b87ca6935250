#pragma once
// Dates written YYYY-MM-DD, as the tools take them on their command lines.

#include <optional>
#include <string_view>

namespace pvz {

// The day number of a date YYYY-MM-DD (four, two and two digits); nothing for any other text
// or for a date that does not exist.
std::optional<double> dayNumberOfIsoDate(std::string_view text);

}  // namespace pvz
