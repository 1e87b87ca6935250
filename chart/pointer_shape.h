#pragma once
// The figure a series pointer draws at one point: its kind and exact pixel extents, computed
// without a canvas, and the one call that puts it on a canvas.

#include <array>

#include "runtime/graphics.h"

namespace pvz {

enum TSeriesPointerStyle {
    psRectangle,
    psCircle,
    psTriangle,
    psDownTriangle,
    psCross,
    psDiagCross,
    psStar,
    psDiamond,
    psSmallDot
};

struct PointerShape {
    enum class Kind { Rectangle, Ellipse, Polygon, Lines, Pixel };
    Kind kind = Kind::Rectangle;
    // Rectangle and Ellipse: the box handed to the canvas (right and bottom excluded).
    // Pixel: the one pixel (left, top).
    Rect box;
    // Polygon: the corners; Lines: pairs of (from, to), the end point excluded.
    std::array<Point, 8> points{};
    int pointCount = 0;
};

// The figure of `style` with half-sizes h and v centred on (px, py).
PointerShape pointerShape(TSeriesPointerStyle style, int px, int py, int h, int v);

// Draws the shape with the canvas's current pen and brush.
void drawPointerShape(Canvas& canvas, const PointerShape& shape);

}  // namespace pvz
