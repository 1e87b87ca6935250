// Pixel rules of the bitmap canvas: end points, coverage, inversion, clipping, pen patterns, text.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/window_system.h"
#include "tests/support/pictures.h"

namespace pvz {
namespace {

constexpr int kSize = 64;

// Fills the bitmap with a fixed pseudo-random pattern, so that any change shows.
void fillNoise(Bitmap& bitmap, std::uint32_t seed = 12345) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(bitmap.width() * bitmap.height()));
    for (auto& p : pixels) {
        seed = seed * 1664525u + 1013904223u;
        p = 0xFF000000u | (seed >> 8);
    }
    bitmap.canvas().removeClip();
    bitmap.canvas().drawPixels(0, 0, bitmap.width(), bitmap.height(), pixels.data(), bitmap.width());
}

std::vector<Color> snapshot(const Bitmap& bitmap) { return test::pixelsOf(bitmap); }

void fillWhite(Bitmap& bitmap) { test::fillPicture(bitmap, clWhite); }

// Pixels of anti-aliased black text: dark enough to be ink.
int countInk(const Bitmap& bitmap) {
    int n = 0;
    for (Color c : snapshot(bitmap)) n += redOf(c) < 128 && greenOf(c) < 128 && blueOf(c) < 128 ? 1 : 0;
    return n;
}

int countColored(const Bitmap& bitmap, Color color) {
    int n = 0;
    for (Color c : snapshot(bitmap)) n += c == color ? 1 : 0;
    return n;
}

struct LineCase {
    const char* name;
    Point from;
    Point to;
};

const LineCase kLines[] = {
    {"right", {5, 10}, {40, 10}},
    {"left", {40, 12}, {5, 12}},
    {"down", {20, 3}, {20, 50}},
    {"up", {22, 50}, {22, 3}},
    {"diagonal", {3, 3}, {40, 40}},
    {"shallow", {2, 30}, {60, 41}},
    {"steep", {50, 2}, {43, 60}},
    {"back-up", {60, 60}, {10, 47}},
    {"one pixel", {30, 30}, {31, 30}},
    {"diagonal up left", {40, 40}, {3, 3}},
    {"diagonal down left", {50, 5}, {10, 45}},
    {"diagonal up right", {10, 45}, {50, 5}},
    {"shallow back", {60, 41}, {2, 30}},
    {"steep back", {43, 60}, {50, 2}},
    {"two to one", {5, 5}, {45, 25}},
    {"one to three", {5, 5}, {20, 50}},
};

// The pixels of `line` on the ideal line: for each step along the line's longer direction, the
// red pixels across it, each of which must lie within half a pixel of the ideal line.
int pixelsOnTheIdealLine(const Bitmap& bitmap, const LineCase& line) {
    const int dx = line.to.x - line.from.x;
    const int dy = line.to.y - line.from.y;
    const bool alongX = std::abs(dx) >= std::abs(dy);
    const int steps = alongX ? std::abs(dx) : std::abs(dy);
    int found = 0;
    for (int i = 0; i < steps; ++i) {
        const double across = alongX ? line.from.y + static_cast<double>(dy) * i / steps
                                     : line.from.x + static_cast<double>(dx) * i / steps;
        const int along = alongX ? line.from.x + (dx > 0 ? i : -i) : line.from.y + (dy > 0 ? i : -i);
        for (int k = 0; k < kSize; ++k) {
            if ((alongX ? bitmap.pixel(along, k) : bitmap.pixel(k, along)) != clRed) continue;
            ++found;
            EXPECT_LE(std::abs(k - across), 0.5) << "step " << i;
        }
    }
    return found;
}

// A thin line takes one pixel per step along its longer direction, on the ideal line, and
// leaves its end pixel.
TEST(CanvasLineTo, LeavesItsEndPixelAndDrawsOnePixelPerStep) {
    Bitmap bitmap;
    bitmap.setSize(kSize, kSize);
    for (const LineCase& line : kLines) {
        SCOPED_TRACE(line.name);
        fillWhite(bitmap);
        Canvas& c = bitmap.canvas();
        c.pen() = Pen{clRed, 1, PenStyle::Solid, PenMode::Copy, false};
        c.moveTo(line.from.x, line.from.y);
        c.lineTo(line.to.x, line.to.y);
        EXPECT_EQ(bitmap.pixel(line.from.x, line.from.y), clRed);
        EXPECT_EQ(bitmap.pixel(line.to.x, line.to.y), clWhite);
        const int steps = std::max(std::abs(line.to.x - line.from.x), std::abs(line.to.y - line.from.y));
        EXPECT_EQ(countColored(bitmap, clRed), steps);
        EXPECT_EQ(pixelsOnTheIdealLine(bitmap, line), steps);
        EXPECT_EQ(c.penPosition(), line.to);
    }
}

TEST(CanvasLineTo, RowsAndColumnsStopAtTheClipAndThePictureEdge) {
    struct Case {
        const char* name;
        Point from;
        Point to;
        bool clipped;
    };
    const Case cases[] = {
        {"right past both edges", {-20, 5}, {90, 5}, false}, {"left past both edges", {90, 7}, {-20, 7}, false},
        {"down past both edges", {6, -9}, {6, 80}, false},   {"up past both edges", {8, 80}, {8, -9}, false},
        {"right through the clip", {0, 20}, {64, 20}, true}, {"left through the clip", {63, 22}, {-1, 22}, true},
        {"down through the clip", {30, 0}, {30, 64}, true},  {"up into the clip", {32, 63}, {32, 30}, true},
        {"left out of the clip", {40, 30}, {3, 30}, true},   {"beside the clip", {55, 0}, {55, 64}, true},
        {"left within the clip", {38, 25}, {15, 25}, true},  {"up within the clip", {20, 33}, {20, 15}, true},
    };
    const Rect clip{10, 12, 41, 37};
    Bitmap bitmap;
    bitmap.setSize(kSize, kSize);
    for (const Case& line : cases) {
        SCOPED_TRACE(line.name);
        fillWhite(bitmap);
        Canvas& c = bitmap.canvas();
        if (line.clipped) c.setClipRect(clip);
        c.pen() = Pen{clRed, 1, PenStyle::Solid, PenMode::Copy, false};
        c.moveTo(line.from.x, line.from.y);
        c.lineTo(line.to.x, line.to.y);
        // Stepped pixel by pixel from the start up to the end, which is left out.
        std::vector<bool> expected(kSize * kSize, false);
        const Point step{line.to.x > line.from.x   ? 1
                         : line.to.x < line.from.x ? -1
                                                   : 0,
                         line.to.y > line.from.y   ? 1
                         : line.to.y < line.from.y ? -1
                                                   : 0};
        for (Point p = line.from; !(p == line.to); p = {p.x + step.x, p.y + step.y}) {
            const bool inPicture = p.x >= 0 && p.y >= 0 && p.x < kSize && p.y < kSize;
            const bool inClip =
                !line.clipped || (clip.left <= p.x && p.x < clip.right && clip.top <= p.y && p.y < clip.bottom);
            if (inPicture && inClip) expected[static_cast<std::size_t>(p.y * kSize + p.x)] = true;
        }
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                ASSERT_EQ(bitmap.pixel(x, y) == clRed, expected[static_cast<std::size_t>(y * kSize + x)])
                    << x << "," << y;
    }
}

TEST(CanvasLineTo, ToTheCurrentPointDrawsNothing) {
    Bitmap bitmap;
    bitmap.setSize(8, 8);
    fillWhite(bitmap);
    bitmap.canvas().pen().color = clBlack;
    bitmap.canvas().moveTo(3, 3);
    bitmap.canvas().lineTo(3, 3);
    EXPECT_EQ(countColored(bitmap, clBlack), 0);
}

struct PenCase {
    const char* name;
    Pen pen;
};

const PenCase kInvertingPens[] = {
    {"solid", {clBlack, 1, PenStyle::Solid, PenMode::Not, false}},
    {"dotted", {clBlack, 1, PenStyle::Dot, PenMode::Not, false}},
    {"dash-dot-dot", {clBlack, 1, PenStyle::DashDotDot, PenMode::Not, false}},
    {"small dots", {clBlack, 1, PenStyle::Solid, PenMode::Not, true}},
    {"wide", {clBlack, 3, PenStyle::Solid, PenMode::Not, false}},
};

TEST(CanvasInvertingPen, DrawingTwiceRestoresEveryPixel) {
    Bitmap bitmap;
    bitmap.setSize(kSize, kSize);
    for (const PenCase& pc : kInvertingPens) {
        SCOPED_TRACE(pc.name);
        fillNoise(bitmap);
        const std::vector<Color> before = snapshot(bitmap);
        Canvas& c = bitmap.canvas();
        c.pen() = pc.pen;
        c.brush().style = BrushStyle::Clear;
        const auto drawCross = [&] {
            for (const LineCase& line : kLines) {
                c.moveTo(line.from.x, line.from.y);
                c.lineTo(line.to.x, line.to.y);
            }
            c.rectangle({8, 8, 30, 25});
        };
        drawCross();
        EXPECT_NE(snapshot(bitmap), before);
        // Every touched pixel holds the exact inverse of what was there.
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const Color now = bitmap.pixel(x, y);
                const Color was = before[static_cast<std::size_t>(y * kSize + x)];
                if (now != was) {
                    ASSERT_EQ(now, was ^ 0xFFFFFFu) << x << "," << y;
                }
            }
        drawCross();
        EXPECT_EQ(snapshot(bitmap), before);
    }
}

TEST(CanvasInvertingPen, CrossHairOnAPlotRestores) {
    // The visor's pattern: one horizontal and one vertical line through a point, twice.
    Bitmap bitmap;
    bitmap.setSize(kSize, kSize);
    fillNoise(bitmap, 99);
    const std::vector<Color> before = snapshot(bitmap);
    Canvas& c = bitmap.canvas();
    c.pen() = Pen{clBlack, 1, PenStyle::Solid, PenMode::Not, false};
    for (int pass = 0; pass < 2; ++pass) {
        c.moveTo(4, 20);
        c.lineTo(60, 20);
        c.moveTo(33, 4);
        c.lineTo(33, 60);
        if (pass == 0) {
            EXPECT_EQ(bitmap.pixel(40, 20), before[20 * kSize + 40] ^ 0xFFFFFFu);
            EXPECT_EQ(bitmap.pixel(33, 30), before[30 * kSize + 33] ^ 0xFFFFFFu);
            EXPECT_EQ(bitmap.pixel(33, 20), before[20 * kSize + 33]);  // inverted by both lines
        }
    }
    EXPECT_EQ(snapshot(bitmap), before);
}

TEST(CanvasClip, DrawingLeavesEveryPixelOutsideTheClipRectangle) {
    Bitmap bitmap;
    bitmap.setSize(kSize, kSize);
    fillNoise(bitmap);
    const std::vector<Color> before = snapshot(bitmap);
    const Rect clip{10, 12, 41, 37};
    Canvas& c = bitmap.canvas();
    c.setClipRect(clip);
    c.pen() = Pen{clBlue, 1, PenStyle::Solid, PenMode::Copy, false};
    c.brush() = Brush{clYellow, BrushStyle::Solid};
    for (const LineCase& line : kLines) {
        c.moveTo(line.from.x, line.from.y);
        c.lineTo(line.to.x, line.to.y);
    }
    c.pen().width = 4;
    c.moveTo(0, 0);
    c.lineTo(63, 63);
    c.pen().width = 1;
    c.rectangle({0, 0, 64, 64});
    c.fillRect({-5, -5, 70, 70});
    c.ellipse({2, 2, 60, 60});
    const Point triangle[] = {{0, 63}, {32, 0}, {63, 63}};
    c.polygon(triangle);
    c.font().height = -20;
    c.state().backgroundMode = BackgroundMode::Opaque;
    c.textOut(0, 5, "WWWWWWWWWWWW");
    Rect frame{0, 0, 64, 64};
    c.frame3D(frame, clRed, clGreen, 15);
    std::vector<std::uint32_t> block(64 * 64, 0xFF123456u);
    c.drawPixels(0, 0, 64, 64, block.data(), 64);
    const std::vector<Color> after = snapshot(bitmap);
    int changedInside = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * kSize + x);
            if (clip.left <= x && x < clip.right && clip.top <= y && y < clip.bottom)
                changedInside += after[i] != before[i];
            else
                ASSERT_EQ(after[i], before[i]) << x << "," << y;
        }
    EXPECT_EQ(changedInside, clip.width() * clip.height());
    c.removeClip();
    c.brush().color = clBlack;
    c.fillRect({0, 0, 2, 2});
    EXPECT_EQ(bitmap.pixel(0, 0), clBlack);
}

TEST(CanvasRectangle, CoversLeftToRightMinusOneAndTopToBottomMinusOne) {
    Bitmap bitmap;
    bitmap.setSize(20, 20);
    fillWhite(bitmap);
    Canvas& c = bitmap.canvas();
    c.pen() = Pen{clRed, 1, PenStyle::Solid, PenMode::Copy, false};
    c.brush() = Brush{clBlue, BrushStyle::Solid};
    c.rectangle({2, 3, 12, 9});
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = 2 <= x && x <= 11 && 3 <= y && y <= 8;
            const bool edge = inside && (x == 2 || x == 11 || y == 3 || y == 8);
            const Color expected = !inside ? clWhite : edge ? clRed : clBlue;
            ASSERT_EQ(bitmap.pixel(x, y), expected) << x << "," << y;
        }
    fillWhite(bitmap);
    c.brush() = Brush{clGreen, BrushStyle::Solid};
    c.fillRect({5, 5, 8, 7});
    EXPECT_EQ(countColored(bitmap, clGreen), 3 * 2);
    c.brush().style = BrushStyle::Clear;
    c.fillRect({0, 0, 20, 20});
    EXPECT_EQ(countColored(bitmap, clGreen), 6);
    c.rectangle({0, 0, 20, 20});
    EXPECT_EQ(countColored(bitmap, clRed), 4 * 19);
    EXPECT_EQ(bitmap.pixel(10, 10), clWhite);
}

struct PatternCase {
    const char* name;
    Pen pen;
    const char* expected;  // '#' drawn, '.' left, along a horizontal line from x = 0
};

const PatternCase kPatterns[] = {
    {"small dots", {clBlack, 1, PenStyle::Solid, PenMode::Copy, true}, "#.#.#.#.#.#.#.#.#.#.#.#.#."},
    {"dot", {clBlack, 1, PenStyle::Dot, PenMode::Copy, false}, "###...###...###...###...##"},
    {"dash-dot-dot", {clBlack, 1, PenStyle::DashDotDot, PenMode::Copy, false}, "#########...###...###...##"},
    {"dash-dot", {clBlack, 1, PenStyle::DashDot, PenMode::Copy, false}, "#########......###......##"},
    {"clear", {clBlack, 1, PenStyle::Clear, PenMode::Copy, false}, ".........................."},
};

TEST(CanvasPenStyle, PatternsAlongALine) {
    Bitmap bitmap;
    bitmap.setSize(26, 3);
    for (const PatternCase& pc : kPatterns) {
        SCOPED_TRACE(pc.name);
        fillWhite(bitmap);
        bitmap.canvas().pen() = pc.pen;
        bitmap.canvas().moveTo(0, 1);
        bitmap.canvas().lineTo(26, 1);
        std::string seen;
        for (int x = 0; x < 26; ++x) seen += bitmap.pixel(x, 1) == clBlack ? '#' : '.';
        EXPECT_EQ(seen, pc.expected);
    }
}

TEST(CanvasPenStyle, PatternContinuesAcrossJoinedSegments) {
    Bitmap bitmap;
    bitmap.setSize(26, 3);
    fillWhite(bitmap);
    Canvas& c = bitmap.canvas();
    c.pen() = Pen{clBlack, 1, PenStyle::Dot, PenMode::Copy, false};
    c.moveTo(0, 1);
    c.lineTo(4, 1);
    c.lineTo(26, 1);
    std::string seen;
    for (int x = 0; x < 26; ++x) seen += bitmap.pixel(x, 1) == clBlack ? '#' : '.';
    EXPECT_EQ(seen, "###...###...###...###...##");
}

// Measured Liberation Sans values: pixel size -> cell height / width of "W".
struct FontCase {
    int pixels;
    int height;
    int widthOfW;
};

const FontCase kFonts[] = {{11, 12, 10}, {13, 15, 12}, {16, 17, 15}, {19, 21, 18}, {20, 22, 19}};

TEST(CanvasText, HeightAndWidthOfWMatchTheMeasuredFace) {
    Bitmap bitmap;
    bitmap.setSize(8, 8);
    Canvas& c = bitmap.canvas();
    for (const char* name : {"Arial", "MS Sans Serif"})
        for (unsigned style : {0u, static_cast<unsigned>(fsBold)})
            for (const FontCase& fc : kFonts) {
                SCOPED_TRACE(std::string(name) + " " + std::to_string(fc.pixels) + (style ? " bold" : ""));
                c.font() = Font{name, -fc.pixels, clBlack, style};
                EXPECT_EQ(c.textHeight("W"), fc.height);
                EXPECT_EQ(c.textWidth("W"), fc.widthOfW);
            }
}

TEST(CanvasText, PositiveHeightIsTheCellHeight) {
    Bitmap bitmap;
    bitmap.setSize(8, 8);
    Canvas& c = bitmap.canvas();
    for (const FontCase& fc : kFonts) {
        SCOPED_TRACE(fc.height);
        c.font() = Font{"Arial", fc.height, clBlack, fsBold};
        EXPECT_EQ(c.textHeight("W"), fc.height);
    }
    c.font() = Font{"Arial", 16, clBlack, fsBold};  // between measured sizes: never taller than asked
    EXPECT_LE(c.textHeight("W"), 16);
    EXPECT_GE(c.textHeight("W"), 15);
}

TEST(CanvasText, AlignmentAndBackground) {
    Bitmap bitmap;
    bitmap.setSize(120, 30);
    Canvas& c = bitmap.canvas();
    c.font() = Font{"Arial", -11, clBlack, 0};
    const int w = c.textWidth("WWW");
    const int h = c.textHeight("WWW");
    struct AlignCase {
        TextAlign align;
        int left;
    };
    for (const AlignCase& ac : {AlignCase{TextAlign::Left, 60}, AlignCase{TextAlign::Center, 60 - w / 2},
                                AlignCase{TextAlign::Right, 60 - w}}) {
        SCOPED_TRACE(static_cast<int>(ac.align));
        fillWhite(bitmap);
        c.state().textAlign = ac.align;
        c.state().backgroundMode = BackgroundMode::Opaque;
        c.state().backgroundColor = clYellow;
        c.textOut(60, 5, "WWW");
        // The opaque box spans exactly the text's extent, its top at y.
        EXPECT_EQ(bitmap.pixel(ac.left, 5), clYellow);
        EXPECT_EQ(bitmap.pixel(ac.left + w - 1, 5 + h - 1), clYellow);
        EXPECT_EQ(bitmap.pixel(ac.left - 1, 5), clWhite);
        EXPECT_EQ(bitmap.pixel(ac.left + w, 5), clWhite);
        EXPECT_EQ(bitmap.pixel(ac.left, 4), clWhite);
        EXPECT_EQ(bitmap.pixel(ac.left, 5 + h), clWhite);
        EXPECT_GT(countInk(bitmap), 10);
    }
    fillWhite(bitmap);
    c.state().textAlign = TextAlign::Left;
    c.state().backgroundMode = BackgroundMode::Transparent;
    c.textOut(10, 5, "WWW");
    EXPECT_EQ(countColored(bitmap, clYellow), 0);
    EXPECT_GT(countInk(bitmap), 10);
}

TEST(CanvasFrame3D, EdgesInTheirColoursAndTheRectangleShrinks) {
    Bitmap bitmap;
    bitmap.setSize(12, 10);
    fillWhite(bitmap);
    Rect r{1, 1, 11, 9};
    bitmap.canvas().frame3D(r, clRed, clBlue, 2);
    EXPECT_EQ(r, (Rect{3, 3, 9, 7}));
    EXPECT_EQ(bitmap.pixel(1, 1), clRed);
    EXPECT_EQ(bitmap.pixel(9, 1), clRed);
    EXPECT_EQ(bitmap.pixel(10, 1), clBlue);  // top-right corner belongs to the bottom-right colour
    EXPECT_EQ(bitmap.pixel(1, 8), clBlue);   // and so does the bottom-left one
    EXPECT_EQ(bitmap.pixel(1, 7), clRed);
    EXPECT_EQ(bitmap.pixel(2, 2), clRed);
    EXPECT_EQ(bitmap.pixel(9, 7), clBlue);
    EXPECT_EQ(bitmap.pixel(3, 3), clWhite);
    EXPECT_EQ(bitmap.pixel(0, 0), clWhite);
    EXPECT_EQ(bitmap.pixel(11, 9), clWhite);
}

TEST(Bitmap, SetSizeKeepsThePictureUnlessTheSizeChanges) {
    Bitmap bitmap;
    bitmap.setSize(10, 10);
    bitmap.canvas().brush() = Brush{clRed, BrushStyle::Solid};
    bitmap.canvas().fillRect({0, 0, 10, 10});
    bitmap.setSize(10, 10);
    EXPECT_EQ(bitmap.pixel(5, 5), clRed);
    bitmap.setSize(11, 10);
    EXPECT_EQ(bitmap.width(), 11);
    EXPECT_NE(bitmap.pixel(5, 5), clRed);
    bitmap.canvas().fillRect({0, 0, 11, 10});
    EXPECT_EQ(bitmap.pixel(10, 9), clRed);
}

TEST(CanvasDrawPixels, CopiesRowsWithTheirStride) {
    Bitmap bitmap;
    bitmap.setSize(4, 3);
    fillWhite(bitmap);
    const std::uint32_t pixels[] = {0xFFFF0000u, 0xFF00FF00u, 0, 0xFF0000FFu, 0xFF000000u, 0};
    bitmap.canvas().drawPixels(1, 1, 2, 2, pixels, 3);
    EXPECT_EQ(bitmap.pixel(1, 1), clRed);
    EXPECT_EQ(bitmap.pixel(2, 1), clLime);
    EXPECT_EQ(bitmap.pixel(1, 2), clBlue);
    EXPECT_EQ(bitmap.pixel(2, 2), clBlack);
    EXPECT_EQ(bitmap.pixel(3, 1), clWhite);
}

}  // namespace
}  // namespace pvz
