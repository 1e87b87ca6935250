// Copying a block of pixels onto a bitmap, two at a time with a single one left over: every
// width, every offset, colours without an alpha byte, and the clip.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/window_system.h"

namespace pvz {
namespace {

// 0xAARRGGBB with the alpha byte left 0, as a cached picture may hold it.
std::uint32_t sourcePixel(int x, int y) {
    return static_cast<std::uint32_t>((x * 37 + y * 101) & 0xFF) << 16 | 0x3C00u | static_cast<std::uint32_t>(y & 0xFF);
}

TEST(PixelCopy, EveryWidthAndOffsetLandsExactly) {
    Bitmap bitmap;
    bitmap.setSize(24, 6);
    for (int width = 1; width <= 9; ++width) {
        for (int left = 0; left <= 3; ++left) {
            SCOPED_TRACE("width " + std::to_string(width) + " at " + std::to_string(left));
            Canvas& canvas = bitmap.canvas();
            canvas.brush().color = clWhite;
            canvas.fillRect({0, 0, 24, 6});
            const int stride = 11;
            std::vector<std::uint32_t> pixels(static_cast<std::size_t>(stride) * 3);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < stride; ++x) pixels[static_cast<std::size_t>(y * stride + x)] = sourcePixel(x, y);
            canvas.drawPixels(left, 1, width, 3, pixels.data(), stride);
            for (int y = 0; y < 6; ++y) {
                for (int x = 0; x < 24; ++x) {
                    const bool inside = x >= left && x < left + width && y >= 1 && y < 4;
                    const std::uint32_t p = inside ? sourcePixel(x - left, y - 1) : 0xFFFFFFu;
                    // Colour values keep red in the low byte.
                    const Color expected = inside
                                               ? rgbColor(static_cast<int>(p >> 16 & 0xFF),
                                                          static_cast<int>(p >> 8 & 0xFF), static_cast<int>(p & 0xFF))
                                               : clWhite;
                    ASSERT_EQ(bitmap.pixel(x, y), expected) << x << ", " << y;
                }
            }
        }
    }
}

TEST(PixelCopy, TheClipCutsTheBlock) {
    Bitmap bitmap;
    bitmap.setSize(10, 4);
    Canvas& canvas = bitmap.canvas();
    canvas.brush().color = clWhite;
    canvas.fillRect({0, 0, 10, 4});
    canvas.setClipRect({3, 0, 6, 4});
    const std::vector<std::uint32_t> pixels(40, 0x00102030u);
    canvas.drawPixels(0, 0, 10, 4, pixels.data(), 10);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(bitmap.pixel(x, 2), x >= 3 && x < 6 ? rgbColor(0x10, 0x20, 0x30) : clWhite) << x;
}

}  // namespace
}  // namespace pvz
