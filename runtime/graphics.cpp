#include "runtime/graphics.h"

#include <cstdint>

namespace pvz {
int mulDiv(int a, int b, int c) {
    const std::int64_t p = static_cast<std::int64_t>(a) * b;
    const std::int64_t q = (p >= 0) == (c >= 0) ? (2 * p + c) / (2 * c) : (2 * p - c) / (2 * c);
    return static_cast<int>(q);
}

int Font::sizeInPoints() const { return -mulDiv(height, 72, kScreenPixelsPerInch); }

void Font::setSizeInPoints(int points) { height = -mulDiv(points, kScreenPixelsPerInch, 72); }

}  // namespace pvz
