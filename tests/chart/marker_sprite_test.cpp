#include "chart/marker_sprite.h"

#include <gtest/gtest.h>

#include "runtime/window_system.h"

namespace pvz {
namespace {

void clear(Bitmap& b, Color c) {
    Canvas& canvas = b.canvas();
    canvas.removeClip();
    canvas.brush() = Brush{c, BrushStyle::Solid};
    canvas.fillRect(Rect{0, 0, b.width(), b.height()});
}

// The sprite must give exactly the pixels of drawing the figure itself, also where a clip
// rectangle cuts it and over any background.
TEST(MarkerSprite, DrawsThePixelsOfTheFigureItself) {
    const TSeriesPointerStyle styles[] = {psCircle, psTriangle,  psDownTriangle, psDiamond,
                                          psCross,  psDiagCross, psStar};
    const Pen pens[] = {Pen{clBlack, 1}, Pen{clBlue, 2}, Pen{clRed, 1, PenStyle::Clear}};
    const Brush brushes[] = {Brush{clYellow, BrushStyle::Solid}, Brush{clWhite, BrushStyle::Clear}};
    const int sizes[][2] = {{4, 4}, {2, 3}, {1, 1}, {5, 2}};
    for (TSeriesPointerStyle style : styles)
        for (const Pen& pen : pens)
            for (const Brush& brush : brushes)
                for (const auto& size : sizes) {
                    SCOPED_TRACE(testing::Message()
                                 << "style " << style << " pen " << pen.width << "/" << static_cast<int>(pen.style)
                                 << " brush " << static_cast<int>(brush.style) << " size " << size[0] << "x"
                                 << size[1]);
                    Bitmap direct;
                    Bitmap stamped;
                    direct.setSize(40, 30);
                    stamped.setSize(40, 30);
                    const MarkerSprite sprite = MarkerSprite::render(style, size[0], size[1], pen, brush);
                    for (Bitmap* b : {&direct, &stamped}) {
                        clear(*b, clGray);
                        b->canvas().setClipRect(Rect{0, 0, 22, 30});  // cuts the second figure
                        b->canvas().pen() = pen;
                        b->canvas().brush() = brush;
                    }
                    for (Point at : {Point{10, 12}, Point{21, 15}}) {
                        drawPointerShape(direct.canvas(), pointerShape(style, at.x, at.y, size[0], size[1]));
                        sprite.draw(stamped.canvas(), at.x, at.y);
                    }
                    for (int y = 0; y < 30; ++y)
                        for (int x = 0; x < 40; ++x)
                            ASSERT_EQ(stamped.pixel(x, y), direct.pixel(x, y)) << x << "," << y;
                }
}

TEST(MarkerSpriteCache, RendersEachFigureOnce) {
    MarkerSpriteCache cache;
    const Pen pen{clBlack, 1};
    const MarkerSprite& a = cache.sprite(psTriangle, 4, 4, pen, Brush{clRed, BrushStyle::Solid});
    const MarkerSprite& b = cache.sprite(psTriangle, 4, 4, pen, Brush{clRed, BrushStyle::Solid});
    EXPECT_EQ(&a, &b);
    const MarkerSprite& c = cache.sprite(psTriangle, 4, 4, pen, Brush{clLime, BrushStyle::Solid});
    EXPECT_NE(&a, &c);
    ASSERT_FALSE(c.boxes().empty());
    bool lime = false;
    for (const MarkerSprite::Box& box : c.boxes()) lime = lime || box.color == clLime;
    EXPECT_TRUE(lime);
}

}  // namespace
}  // namespace pvz
