#include "chart/chart_gradient.h"

#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "tests/chart/raster_canvas.h"

namespace pvz {
namespace {

constexpr Color kSilver = 0xC0C0C0;
constexpr Color kViewerEnd = 0x808040;  // red 0x40, green 0x80, blue 0x80

Color fromArgb(std::uint32_t argb) { return rgbColor((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

TEST(GradientColor, ChannelsMoveSeparatelyAndRoundHalvesAwayFromZero) {
    struct Row {
        Color a, b;
        int num, den;
        Color expected;
    };
    const Row rows[] = {
        {kSilver, kViewerEnd, 0, 685, kSilver},
        {kSilver, kViewerEnd, 685, 685, kViewerEnd},
        {rgbColor(0, 0, 0), rgbColor(255, 0, 0), 1, 2, rgbColor(128, 0, 0)},  // 127.5 up
        {rgbColor(255, 0, 0), rgbColor(0, 0, 0), 1, 2, rgbColor(127, 0, 0)},  // 255 - 127.5 down
        {rgbColor(10, 200, 30), rgbColor(20, 100, 90), 1, 4, rgbColor(13, 175, 45)},
        {rgbColor(10, 20, 30), rgbColor(200, 100, 0), 5, 0, rgbColor(10, 20, 30)},  // no steps: a
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.num << "/" << r.den);
        EXPECT_EQ(gradientColor(r.a, r.b, r.num, r.den), r.expected);
    }
}

// Independent of the strip order: a pixel takes the colour of the last round whose ring holds it.
std::vector<Color> ringsByMembership(Color a, Color b, int w, int h) {
    std::vector<Color> out(static_cast<std::size_t>(w * h), clNone);
    const int halfW = w / 2;
    const int halfH = h / 2;
    const int rounds = std::max(halfW, halfH);
    for (int k = 0; k <= rounds; ++k) {
        const int u = std::min(k, halfW);
        const int v = std::min(k, halfH);
        const Color c = gradientColor(a, b, u + v, halfW + halfH);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const bool inColumn = (x == u || x == w - u - 1) && y >= v && y < h - v;
                const bool inRow = (y == v || y == h - v - 1) && x >= u && x < w - u;
                if (inColumn || inRow) out[static_cast<std::size_t>(y * w + x)] = c;
            }
    }
    return out;
}

TEST(GradientCache, FromCentreMatchesRingMembershipForOddEvenAndThinSizes) {
    const int sizes[][2] = {{1, 1}, {1, 7},   {7, 1},  {2, 2},  {3, 3},  {4, 9},
                            {9, 4}, {10, 10}, {17, 6}, {6, 17}, {33, 21}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size[0] << "x" << size[1]);
        GradientCache cache;
        const auto& picture = cache.picture(gdFromCenter, kSilver, kViewerEnd, size[0], size[1]);
        const std::vector<Color> expected = ringsByMembership(kSilver, kViewerEnd, size[0], size[1]);
        ASSERT_EQ(picture.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_NE(expected[i], clNone) << "pixel " << i << " left unpainted";
            ASSERT_EQ(fromArgb(picture[i]), expected[i]) << "pixel " << i;
        }
    }
}

TEST(GradientCache, ViewerPanelIsSilverAtTheBorderAndNearTheEndColourInTheMiddle) {
    const int w = 804;
    const int h = 566;
    GradientCache cache;
    const auto& picture = cache.picture(gdFromCenter, kSilver, kViewerEnd, w, h);
    const auto at = [&](int x, int y) { return fromArgb(picture[static_cast<std::size_t>(y * w + x)]); };
    for (int x = 0; x < w; ++x) {
        ASSERT_EQ(at(x, 0), kSilver);
        ASSERT_EQ(at(x, h - 1), kSilver);
    }
    for (int y = 0; y < h; ++y) {
        ASSERT_EQ(at(0, y), kSilver);
        ASSERT_EQ(at(w - 1, y), kSilver);
    }
    // The middle of the central line, rows 282 and 283, painted by the last rings.
    for (int x = 398; x < 406; ++x)
        for (int y : {282, 283}) {
            const Color c = at(x, y);
            ASSERT_LE(std::abs(redOf(c) - redOf(kViewerEnd)), 1) << x << "," << y;
            ASSERT_LE(std::abs(greenOf(c) - greenOf(kViewerEnd)), 1) << x << "," << y;
            ASSERT_LE(std::abs(blueOf(c) - blueOf(kViewerEnd)), 1) << x << "," << y;
        }
}

TEST(GradientCache, PictureEqualsStripsPaintedOnACanvasInEveryDirection) {
    const TGradientDirection directions[] = {gdTopBottom,  gdBottomTop,   gdLeftRight,     gdRightLeft,
                                             gdFromCenter, gdFromTopLeft, gdFromBottomLeft};
    const Color a = rgbColor(250, 10, 128);
    const Color b = rgbColor(3, 240, 60);
    const int w = 37;
    const int h = 22;
    for (TGradientDirection d : directions) {
        SCOPED_TRACE(testing::Message() << "direction " << d);
        GradientCache cache;
        const auto& picture = cache.picture(d, a, b, w, h);
        test::RasterCanvas canvas(w + 5, h + 3);
        drawGradientStrips(canvas, Rect{5, 3, w + 5, h + 3}, d, a, b);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(canvas.pixel(x + 5, y + 3), fromArgb(picture[static_cast<std::size_t>(y * w + x)]))
                    << x << "," << y;
    }
}

TEST(GradientStrips, LinearDirectionsRunFromStartToEndColour) {
    const Color a = rgbColor(0, 0, 0);
    const Color b = rgbColor(200, 100, 50);
    GradientCache cache;
    const auto& down = cache.picture(gdTopBottom, a, b, 3, 5);
    EXPECT_EQ(fromArgb(down[0]), a);
    EXPECT_EQ(fromArgb(down[4 * 3]), b);
    const auto& left = cache.picture(gdRightLeft, a, b, 5, 3);
    EXPECT_EQ(fromArgb(left[4]), a);
    EXPECT_EQ(fromArgb(left[0]), b);
}

TEST(GradientStrips, BrushColourChangesOnlyWhenTheRingColourChanges) {
    // 804 wide gives 685 steps for a colour difference of at most 128: many rings share a colour.
    test::RasterCanvas canvas(804, 566);
    drawGradientStrips(canvas, Rect{0, 0, 804, 566}, gdFromCenter, kSilver, kViewerEnd);
    int changes = 0;
    Color last = clNone;
    int distinctRuns = 0;
    Color lastRing = clNone;
    for (int k = 0; k < 402; ++k) {  // the last round's strips are empty
        const Color c = gradientColor(kSilver, kViewerEnd, std::min(k, 402) + std::min(k, 283), 685);
        if (c != lastRing) ++distinctRuns;
        lastRing = c;
    }
    for (const test::CanvasCall& c : canvas.calls) {
        ASSERT_EQ(c.kind, test::CanvasCall::Kind::FillRect);
        if (c.state.brush.color != last) ++changes;
        last = c.state.brush.color;
    }
    EXPECT_EQ(changes, distinctRuns);
    EXPECT_LT(changes, 200);
}

TEST(GradientCache, RebuildsOnlyWhenSizeOrColoursChange) {
    GradientCache cache;
    cache.picture(gdFromCenter, kSilver, kViewerEnd, 40, 30);
    cache.picture(gdFromCenter, kSilver, kViewerEnd, 40, 30);
    EXPECT_EQ(cache.rebuildCount(), 1);
    cache.picture(gdFromCenter, kSilver, kViewerEnd, 41, 30);
    cache.picture(gdFromCenter, kSilver, clWhite, 41, 30);
    cache.picture(gdTopBottom, kSilver, clWhite, 41, 30);
    EXPECT_EQ(cache.rebuildCount(), 4);
}

}  // namespace
}  // namespace pvz
