#pragma once
// The panel's background gradient: the colour arithmetic, the strips that make up the picture,
// and a cache that keeps the finished picture for one panel size.

#include <cstdint>
#include <vector>

#include "runtime/graphics.h"

namespace pvz {

enum TGradientDirection {
    gdTopBottom,
    gdBottomTop,
    gdLeftRight,
    gdRightLeft,
    gdFromCenter,
    gdFromTopLeft,
    gdFromBottomLeft
};

// a + (b - a) * num / den for red, green and blue separately, each quotient rounded to nearest;
// a when den is not positive.
Color gradientColor(Color a, Color b, int num, int den);

// 0xAARRGGBB (opaque) for a plain colour, the pixel layout of Canvas::drawPixels.
constexpr std::uint32_t argbOf(Color c) {
    return 0xFF000000u | (static_cast<std::uint32_t>(redOf(c)) << 16) | (static_cast<std::uint32_t>(greenOf(c)) << 8) |
           static_cast<std::uint32_t>(blueOf(c));
}

// Calls strip(rect, colour) for every strip of the gradient over a width x height picture with
// its top-left corner at (0, 0), in drawing order; later strips paint over earlier ones.
// From the centre these are concentric one-pixel rings; the linear directions give one-pixel
// rows or columns, the diagonal ones single pixels.
template <class StripSink>
void forEachGradientStrip(TGradientDirection direction, Color a, Color b, int width, int height, StripSink&& strip) {
    if (width <= 0 || height <= 0) return;
    switch (direction) {
        case gdFromCenter: {
            const int halfW = width / 2;
            const int halfH = height / 2;
            const int steps = halfW + halfH;
            int u = 0;  // [0, halfW]
            int v = 0;  // [0, halfH]
            for (;;) {
                const Color c = gradientColor(a, b, u + v, steps);
                const int rows = height - 2 * v;
                const int columns = width - 2 * u;
                strip(Rect{u, v, u + 1, v + rows}, c);
                strip(Rect{width - u - 1, v, width - u, v + rows}, c);
                strip(Rect{u, v, u + columns, v + 1}, c);
                strip(Rect{u, height - v - 1, u + columns, height - v}, c);
                const bool vGrows = v < halfH;
                const bool uGrows = u < halfW;
                if (vGrows) ++v;
                if (uGrows) ++u;
                if (!vGrows && !uGrows) break;
            }
            break;
        }
        case gdTopBottom:
        case gdBottomTop:
            for (int y = 0; y < height; ++y) {
                const int step = direction == gdTopBottom ? y : height - 1 - y;
                strip(Rect{0, y, width, y + 1}, gradientColor(a, b, step, height - 1));
            }
            break;
        case gdLeftRight:
        case gdRightLeft:
            for (int x = 0; x < width; ++x) {
                const int step = direction == gdLeftRight ? x : width - 1 - x;
                strip(Rect{x, 0, x + 1, height}, gradientColor(a, b, step, width - 1));
            }
            break;
        case gdFromTopLeft:
        case gdFromBottomLeft:
            for (int y = 0; y < height; ++y) {
                const int rowStep = direction == gdFromTopLeft ? y : height - 1 - y;
                for (int x = 0; x < width; ++x)
                    strip(Rect{x, y, x + 1, y + 1}, gradientColor(a, b, x + rowStep, width + height - 2));
            }
            break;
    }
}

// Paints the gradient straight onto a canvas, its top-left corner at r's, through solid
// brushes; a new brush colour is set only when the strip's colour differs from the last one.
void drawGradientStrips(Canvas& canvas, const Rect& r, TGradientDirection direction, Color a, Color b);

// The finished gradient picture for one size, direction and pair of colours, rebuilt only
// when one of them changes.
class GradientCache {
public:
    // Opaque 0xAARRGGBB pixels, width x height, rows of width pixels.
    const std::vector<std::uint32_t>& picture(TGradientDirection direction, Color a, Color b, int width, int height);
    int rebuildCount() const { return rebuilds_; }

private:
    std::vector<std::uint32_t> pixels_;
    TGradientDirection direction_ = gdTopBottom;
    Color a_ = clNone;
    Color b_ = clNone;
    int width_ = -1;
    int height_ = -1;
    int rebuilds_ = 0;
};

}  // namespace pvz
