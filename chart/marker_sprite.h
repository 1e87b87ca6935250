#pragma once
// Point markers drawn from a picture made once: the figure is rendered off-screen and kept as
// runs of one colour, so that each further marker costs a few span fills and no shape
// rasterisation. The pixels are those the canvas draws for the figure itself.

#include <vector>

#include "chart/pointer_shape.h"
#include "runtime/graphics.h"

namespace pvz {

class MarkerSprite {
public:
    // A box of one colour in device pixels relative to the point's device pixel, right and
    // bottom excluded. Boxes are drawn in order; later ones may paint over earlier ones.
    using Box = PixelBox;

    // The figure of `style` with half-sizes h and v, drawn with pen and brush in copy mode at
    // `ratio` device pixels per logical pixel.
    static MarkerSprite render(TSeriesPointerStyle style, int h, int v, const Pen& pen, const Brush& brush,
                               double ratio = 1.0);

    // Draws the figure centred on (x, y); the canvas's pen and brush stay as they are.
    void draw(Canvas& canvas, int x, int y) const;

    const std::vector<Box>& boxes() const { return boxes_; }

private:
    std::vector<Box> boxes_;
};

// The sprites of recently drawn figures; a drawing of the same figures renders nothing.
class MarkerSpriteCache {
public:
    const MarkerSprite& sprite(TSeriesPointerStyle style, int h, int v, const Pen& pen, const Brush& brush,
                               double ratio = 1.0);

private:
    struct Entry {
        TSeriesPointerStyle style;
        int h;
        int v;
        Pen pen;
        Brush brush;
        double ratio;
        MarkerSprite sprite;
    };
    static constexpr std::size_t kCapacity = 8;
    std::vector<Entry> entries_;
    std::size_t last_ = 0;
    std::size_t nextVictim_ = 0;
};

}  // namespace pvz
