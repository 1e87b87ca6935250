#include "chart/marker_sprite.h"

#include <algorithm>

#include "runtime/window_system.h"

namespace pvz {

MarkerSprite MarkerSprite::render(TSeriesPointerStyle style, int h, int v, const Pen& pen, const Brush& brush,
                                  double ratio) {
    const int reach = std::max(pen.width, 1) + 2;
    const int logicalCx = h + reach;
    const int logicalCy = v + reach;
    // Scanned and placed in device pixels, relative to the device pixel of the centre.
    const int cx = devicePixelOf(logicalCx, ratio);
    const int cy = devicePixelOf(logicalCy, ratio);
    // Drawn over black and over white: the pixels that come out alike belong to the figure.
    Bitmap onBlack;
    Bitmap onWhite;
    for (Bitmap* b : {&onBlack, &onWhite}) {
        b->setSize(2 * logicalCx + 1, 2 * logicalCy + 1, ratio);
        Canvas& c = b->canvas();
        c.brush() = Brush{b == &onBlack ? clBlack : clWhite, BrushStyle::Solid};
        c.fillRect(Rect{0, 0, b->width(), b->height()});
        c.pen() = pen;
        c.pen().mode = PenMode::Copy;
        c.brush() = brush;
        drawPointerShape(c, pointerShape(style, logicalCx, logicalCy, h, v));
    }
    const int width = onBlack.deviceWidth();
    const int height = onBlack.deviceHeight();
    // Each row without holes becomes one box in the colour of its first pixel under boxes of
    // its other colours; boxes alike in consecutive rows merge. The underlying boxes go first.
    std::vector<Box> under;
    std::vector<Box> over;
    const auto add = [](std::vector<Box>& list, int x0, int x1, int y, Color c) {
        for (Box& b : list)
            if (b.area.bottom == y && b.area.left == x0 && b.area.right == x1 && b.color == c) {
                ++b.area.bottom;
                return;
            }
        list.push_back({Rect{x0, y, x1, y + 1}, c});
    };
    const auto inFigure = [&](int x, int y) { return onBlack.devicePixel(x, y) == onWhite.devicePixel(x, y); };
    for (int y = 0; y < height; ++y) {
        int first = -1;
        int last = -1;
        bool holes = false;
        for (int x = 0; x < width; ++x) {
            if (!inFigure(x, y)) {
                if (first >= 0) holes = true;
                continue;
            }
            if (first < 0) first = x;
            if (last >= 0 && last != x - 1) holes = true;
            last = x;
        }
        if (first < 0) continue;
        Color base = clNone;
        if (!holes) {
            base = onBlack.devicePixel(first, y);
            add(under, first - cx, last + 1 - cx, y - cy, base);
        }
        int x = first;
        while (x <= last) {
            const Color c = onBlack.devicePixel(x, y);
            if (!inFigure(x, y) || c == base) {
                ++x;
                continue;
            }
            int end = x + 1;
            while (end <= last && inFigure(end, y) && onBlack.devicePixel(end, y) == c) ++end;
            add(over, x - cx, end - cx, y - cy, c);
            x = end;
        }
    }
    MarkerSprite sprite;
    sprite.boxes_ = std::move(under);
    sprite.boxes_.insert(sprite.boxes_.end(), over.begin(), over.end());
    return sprite;
}

void MarkerSprite::draw(Canvas& canvas, int x, int y) const { canvas.fillPixelBoxes(x, y, boxes_); }

const MarkerSprite& MarkerSpriteCache::sprite(TSeriesPointerStyle style, int h, int v, const Pen& pen,
                                              const Brush& brush, double ratio) {
    const auto matches = [&](const Entry& e) {
        return e.style == style && e.h == h && e.v == v && e.pen == pen && e.brush == brush && e.ratio == ratio;
    };
    if (last_ < entries_.size() && matches(entries_[last_])) return entries_[last_].sprite;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (matches(entries_[i])) {
            last_ = i;
            return entries_[i].sprite;
        }
    Entry entry{style, h, v, pen, brush, ratio, MarkerSprite::render(style, h, v, pen, brush, ratio)};
    if (entries_.size() < kCapacity) {
        entries_.push_back(std::move(entry));
        last_ = entries_.size() - 1;
    } else {
        last_ = nextVictim_;
        entries_[last_] = std::move(entry);
        nextVictim_ = (nextVictim_ + 1) % kCapacity;
    }
    return entries_[last_].sprite;
}

}  // namespace pvz
