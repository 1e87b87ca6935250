#include "chart/marker_sprite.h"

#include <algorithm>

#include "runtime/window_system.h"

namespace pvz {

MarkerSprite MarkerSprite::render(TSeriesPointerStyle style, int h, int v, const Pen& pen, const Brush& brush) {
    const int reach = std::max(pen.width, 1) + 2;
    const int cx = h + reach;
    const int cy = v + reach;
    const int width = 2 * cx + 1;
    const int height = 2 * cy + 1;
    // Drawn over black and over white: the pixels that come out alike belong to the figure.
    Bitmap onBlack;
    Bitmap onWhite;
    for (Bitmap* b : {&onBlack, &onWhite}) {
        b->setSize(width, height);
        Canvas& c = b->canvas();
        c.brush() = Brush{b == &onBlack ? clBlack : clWhite, BrushStyle::Solid};
        c.fillRect(Rect{0, 0, width, height});
        c.pen() = pen;
        c.pen().mode = PenMode::Copy;
        c.brush() = brush;
        drawPointerShape(c, pointerShape(style, cx, cy, h, v));
    }
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
    const auto inFigure = [&](int x, int y) { return onBlack.pixel(x, y) == onWhite.pixel(x, y); };
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
            base = onBlack.pixel(first, y);
            add(under, first - cx, last + 1 - cx, y - cy, base);
        }
        int x = first;
        while (x <= last) {
            const Color c = onBlack.pixel(x, y);
            if (!inFigure(x, y) || c == base) {
                ++x;
                continue;
            }
            int end = x + 1;
            while (end <= last && inFigure(end, y) && onBlack.pixel(end, y) == c) ++end;
            add(over, x - cx, end - cx, y - cy, c);
            x = end;
        }
    }
    MarkerSprite sprite;
    sprite.boxes_ = std::move(under);
    sprite.boxes_.insert(sprite.boxes_.end(), over.begin(), over.end());
    return sprite;
}

void MarkerSprite::draw(Canvas& canvas, int x, int y) const {
    Brush& brush = canvas.brush();
    brush.style = BrushStyle::Solid;
    for (const Box& b : boxes_) {
        brush.color = b.color;
        canvas.fillRect(b.area.translated(x, y));
    }
}

const MarkerSprite& MarkerSpriteCache::sprite(TSeriesPointerStyle style, int h, int v, const Pen& pen,
                                              const Brush& brush) {
    const auto matches = [&](const Entry& e) {
        return e.style == style && e.h == h && e.v == v && e.pen == pen && e.brush == brush;
    };
    if (last_ < entries_.size() && matches(entries_[last_])) return entries_[last_].sprite;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (matches(entries_[i])) {
            last_ = i;
            return entries_[i].sprite;
        }
    Entry entry{style, h, v, pen, brush, MarkerSprite::render(style, h, v, pen, brush)};
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
