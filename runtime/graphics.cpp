#include "runtime/graphics.h"

#include <cmath>
#include <cstdint>

namespace pvz {
int mulDiv(int a, int b, int c) {
    const std::int64_t p = static_cast<std::int64_t>(a) * b;
    const std::int64_t q = (p >= 0) == (c >= 0) ? (2 * p + c) / (2 * c) : (2 * p - c) / (2 * c);
    return static_cast<int>(q);
}

int devicePixelOf(int logical, double ratio) {
    if (ratio == 1.0) return logical;
    return static_cast<int>(std::floor(static_cast<double>(logical) * ratio + 0.5));
}

int Font::sizeInPoints() const { return -mulDiv(height, 72, kScreenPixelsPerInch); }

void Font::setSizeInPoints(int points) { height = -mulDiv(points, kScreenPixelsPerInch, 72); }

}  // namespace pvz
