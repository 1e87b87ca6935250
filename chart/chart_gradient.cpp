#include "chart/chart_gradient.h"

#include <algorithm>
#include <cstddef>

namespace pvz {

Color gradientColor(Color a, Color b, int num, int den) {
    if (den <= 0) return a;
    const auto channel = [&](int from, int to) { return from + mulDiv(to - from, num, den); };
    return rgbColor(channel(redOf(a), redOf(b)), channel(greenOf(a), greenOf(b)), channel(blueOf(a), blueOf(b)));
}

void drawGradientStrips(Canvas& canvas, const Rect& r, TGradientDirection direction, Color a, Color b) {
    CanvasStateSaver saver(canvas);
    canvas.brush().style = BrushStyle::Solid;
    bool first = true;
    Color last = clNone;
    forEachGradientStrip(direction, a, b, r.width(), r.height(), [&](const Rect& strip, Color c) {
        if (strip.isEmpty()) return;
        if (first || c != last) {
            canvas.brush().color = c;
            last = c;
            first = false;
        }
        canvas.fillRect(strip.translated(r.left, r.top));
    });
}

const std::vector<std::uint32_t>& GradientCache::picture(TGradientDirection direction, Color a, Color b, int width,
                                                         int height) {
    if (direction == direction_ && a == a_ && b == b_ && width == width_ && height == height_) return pixels_;
    direction_ = direction;
    a_ = a;
    b_ = b;
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    ++rebuilds_;
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
    std::uint32_t* const base = pixels_.data();
    const std::size_t stride = static_cast<std::size_t>(width_);
    forEachGradientStrip(direction, a, b, width_, height_, [&](const Rect& strip, Color c) {
        if (strip.isEmpty()) return;
        const std::uint32_t argb = argbOf(c);
        for (int y = strip.top; y < strip.bottom; ++y) {
            std::uint32_t* row = base + static_cast<std::size_t>(y) * stride;
            std::fill(row + strip.left, row + strip.right, argb);
        }
    });
    return pixels_;
}

}  // namespace pvz
