#pragma once
// Pixel arithmetic that the axis's range code and its label code share.

#include <algorithm>
#include <cstdint>
#include <limits>

#include "runtime/calendar.h"

namespace pvz::detail {

// Pixel coordinates are ints: a mapped value beyond this many pixels is clamped to it.
inline constexpr long double kPixelLimit = 2147483647.0L;

// `x` rounded to the nearest integer, ties to even, clamped to the range of int.
inline int roundToInt(long double x) {
    const std::int64_t r = roundToInt64(x);
    return static_cast<int>(
        std::clamp<std::int64_t>(r, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace pvz::detail
