#include "chart/pointer_shape.h"

#include <initializer_list>
#include <span>

namespace pvz {

PointerShape pointerShape(TSeriesPointerStyle style, int px, int py, int h, int v) {
    const int left = px - h;
    const int right = px + h;
    const int top = py - v;
    const int bottom = py + v;
    PointerShape s;
    const auto polygon = [&s](std::initializer_list<Point> corners) {
        s.kind = PointerShape::Kind::Polygon;
        for (const Point& p : corners) s.points[static_cast<std::size_t>(s.pointCount++)] = p;
    };
    const auto line = [&s](Point from, Point to) {
        s.kind = PointerShape::Kind::Lines;
        s.points[static_cast<std::size_t>(s.pointCount++)] = from;
        s.points[static_cast<std::size_t>(s.pointCount++)] = to;
    };
    switch (style) {
        case psRectangle:
            // Both corners included: the box's right and bottom lie one beyond.
            s.kind = PointerShape::Kind::Rectangle;
            s.box = {left, top, right + 1, bottom + 1};
            break;
        case psCircle:
            s.kind = PointerShape::Kind::Ellipse;
            s.box = {left, top, right, bottom};
            break;
        case psTriangle:
            polygon({{left, bottom}, {right, bottom}, {px, top}});
            break;
        case psDownTriangle:
            polygon({{left, top}, {right, top}, {px, bottom}});
            break;
        case psDiamond:
            polygon({{left, py}, {px, top}, {right, py}, {px, bottom}});
            break;
        case psCross:
            line({left, py}, {right + 1, py});
            line({px, top}, {px, bottom + 1});
            break;
        case psDiagCross:
            line({left, top}, {right + 1, bottom + 1});
            line({left, bottom}, {right + 1, top - 1});
            break;
        case psStar:
            line({left, py}, {right + 1, py});
            line({px, top}, {px, bottom + 1});
            line({left, top}, {right + 1, bottom + 1});
            line({left, bottom}, {right + 1, top - 1});
            break;
        case psSmallDot:
            s.kind = PointerShape::Kind::Pixel;
            s.box = {px, py, px + 1, py + 1};
            break;
    }
    return s;
}

void drawPointerShape(Canvas& canvas, const PointerShape& shape) {
    switch (shape.kind) {
        case PointerShape::Kind::Rectangle:
            canvas.rectangle(shape.box);
            break;
        case PointerShape::Kind::Ellipse:
            canvas.ellipse(shape.box);
            break;
        case PointerShape::Kind::Polygon: {
            const std::span<const Point> corners(shape.points.data(), static_cast<std::size_t>(shape.pointCount));
            canvas.polygon(corners);
            // Every corner pixel belongs to the outline, whatever rule the surface draws
            // polygon outlines by.
            if (canvas.pen().style != PenStyle::Clear)
                for (const Point& p : corners) {
                    canvas.moveTo(p.x, p.y);
                    canvas.lineTo(p.x + 1, p.y);
                }
            break;
        }
        case PointerShape::Kind::Lines:
            for (int i = 0; i + 1 < shape.pointCount; i += 2) {
                canvas.moveTo(shape.points[static_cast<std::size_t>(i)].x, shape.points[static_cast<std::size_t>(i)].y);
                canvas.lineTo(shape.points[static_cast<std::size_t>(i + 1)].x,
                              shape.points[static_cast<std::size_t>(i + 1)].y);
            }
            break;
        case PointerShape::Kind::Pixel: {
            // A one-pixel dot in the pen's colour.
            CanvasStateSaver saver(canvas);
            canvas.brush() = Brush{canvas.pen().color, BrushStyle::Solid};
            canvas.fillRect(shape.box);
            break;
        }
    }
}

}  // namespace pvz
