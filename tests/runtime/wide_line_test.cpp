// Wide lines are stamped from a coverage rendered once per pen width and vector; the stamps
// must cover exactly the pixels the painter covers for the line itself, wherever it lies. And
// block copies between pictures.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "runtime/window_system.h"
#include "tests/support/fixture_files.h"
#include "tests/support/pictures.h"

namespace pvz {
namespace {

constexpr int kSize = 96;

using test::pixelsOf;

// The line in white, stamped (copy mode) or through the painter (inverting mode, over black).
std::vector<Color> drawLine(PenMode mode, int width, Point from, Point to, const Rect* clip) {
    Bitmap bitmap;
    bitmap.setSize(kSize, kSize);
    test::fillPicture(bitmap, clBlack);
    Canvas& c = bitmap.canvas();
    if (clip != nullptr) c.setClipRect(*clip);
    c.pen() = Pen{};
    c.pen().color = clWhite;
    c.pen().width = width;
    c.pen().mode = mode;
    c.moveTo(from.x, from.y);
    c.lineTo(to.x, to.y);
    return pixelsOf(bitmap);
}

TEST(CanvasWideLine, StampsCoverThePaintersPixelsAtEveryVectorAndPlace) {
    const Rect clip{20, 15, 70, 80};
    const Point starts[] = {{40, 40}, {3, 2}, {92, 50}, {21, 16}, {-4, 60}};
    for (int width : {2, 3, 6}) {
        for (const Point start : starts) {
            for (int dx = -14; dx <= 14; dx += 1) {
                for (int dy = -14; dy <= 14; dy += 3) {
                    const Point end{start.x + dx, start.y + dy};
                    for (const Rect* c : {static_cast<const Rect*>(nullptr), &clip}) {
                        SCOPED_TRACE(::testing::Message()
                                     << "width " << width << " from " << start.x << "," << start.y << " by " << dx
                                     << "," << dy << (c != nullptr ? " clipped" : ""));
                        ASSERT_EQ(drawLine(PenMode::Copy, width, start, end, c),
                                  drawLine(PenMode::Not, width, start, end, c));
                    }
                }
            }
        }
    }
}

TEST(CanvasWideLine, LongLinesStillDrawThroughThePainter) {
    const Point from{2, 5};
    const Point to{93, 88};
    EXPECT_EQ(drawLine(PenMode::Copy, 2, from, to, nullptr), drawLine(PenMode::Not, 2, from, to, nullptr));
}

TEST(BitmapCopyFrom, LeavesWhatDrawPixelsLeavesWithAndWithoutAClip) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kSize * kSize));
    std::uint32_t seed = 7;
    for (auto& p : pixels) {
        seed = seed * 1664525u + 1013904223u;
        p = 0xFF000000u | (seed >> 8);
    }
    Bitmap source;
    source.setSize(kSize, kSize);
    source.canvas().drawPixels(0, 0, kSize, kSize, pixels.data(), kSize);
    for (const bool clipped : {false, true}) {
        SCOPED_TRACE(clipped ? "clipped" : "whole");
        Bitmap expected;
        Bitmap copied;
        for (Bitmap* b : {&expected, &copied}) {
            b->setSize(kSize, kSize);
            test::fillPicture(*b, clBlack);
            if (clipped) b->canvas().setClipRect({10, 12, 50, 70});
        }
        expected.canvas().drawPixels(0, 0, kSize, kSize, pixels.data(), kSize);
        copied.copyFrom(source);
        EXPECT_EQ(pixelsOf(copied), pixelsOf(expected));
        // Drawing on the copy leaves the source alone.
        copied.canvas().removeClip();
        test::fillPicture(copied, clBlack);
        EXPECT_NE(pixelsOf(source), pixelsOf(copied));
    }
}

// Copies read each run of equal rows from its first row, found by compareRows(). A picture
// changed after the comparison, or the copy changed after it was taken, must be copied as it
// is now, not from rows found alike before the change.
TEST(BitmapCopyFrom, FollowsChangesMadeAfterTheRowsWereCompared) {
    const test::TempDirectory files;
    const std::string striped = files.pathOf("striped.png");
    {
        Bitmap picture;
        picture.setSize(kSize, kSize);
        test::fillPicture(picture, clWhite);
        picture.canvas().brush() = Brush{clBlue, BrushStyle::Solid};
        picture.canvas().fillRect({0, 50, kSize, 53});
        ASSERT_TRUE(picture.saveToFile(striped));
    }
    const std::uint32_t red = 0xFFFF0000u;
    const struct {
        const char* name;
        std::function<void(Bitmap&)> change;
    } cases[] = {
        {"line",
         [](Bitmap& b) {
             b.canvas().pen() = Pen{};
             b.canvas().moveTo(5, 40);
             b.canvas().lineTo(60, 40);
         }},
        {"fill",
         [](Bitmap& b) {
             b.canvas().brush() = Brush{clRed, BrushStyle::Solid};
             b.canvas().fillRect({10, 60, 20, 62});
         }},
        {"pixels", [&](Bitmap& b) { b.canvas().drawPixels(30, 70, 1, 1, &red, 1); }},
        {"text", [](Bitmap& b) { b.canvas().textOut(4, 20, "W"); }},
        {"file", [&](Bitmap& b) { ASSERT_TRUE(b.loadFromFile(striped)); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bitmap source;
        source.setSize(kSize, kSize);
        test::fillPicture(source, clWhite);
        source.compareRows();
        c.change(source);
        Bitmap copy;
        copy.setSize(kSize, kSize);
        copy.copyFrom(source);
        EXPECT_EQ(pixelsOf(copy), pixelsOf(source));

        test::fillPicture(source, clWhite);
        source.compareRows();
        copy.copyFrom(source);
        c.change(copy);
        Bitmap next;
        next.setSize(kSize, kSize);
        next.copyFrom(copy);
        EXPECT_EQ(pixelsOf(next), pixelsOf(copy));
    }
}

}  // namespace
}  // namespace pvz
