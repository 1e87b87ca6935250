#pragma once
// Small helpers for tests that look at the pixels of a picture.

#include <vector>

#include "runtime/window_system.h"

namespace pvz::test {

// Every pixel, row by row.
inline std::vector<Color> pixelsOf(const Bitmap& bitmap) {
    std::vector<Color> out;
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x) out.push_back(bitmap.pixel(x, y));
    return out;
}

// Fills the whole picture with `color`, clip removed.
inline void fillPicture(Bitmap& bitmap, Color color) {
    Canvas& c = bitmap.canvas();
    c.removeClip();
    c.brush() = Brush{color, BrushStyle::Solid};
    c.fillRect({0, 0, bitmap.width(), bitmap.height()});
}

}  // namespace pvz::test
