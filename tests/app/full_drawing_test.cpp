// Whole drawings of the real window pinned pixel for pixel: the month and year views with every
// series, at two window sizes, visors on. The golden pictures (and their checksums) were taken
// from the drawing paths that rasterised every wide line and copied the gradient pixel by
// pixel; a faster path must keep them.
#include <cstdint>

#include "tests/app/viewer_fixture.h"
#include "tests/support/golden_pictures.h"

namespace pvz::testing {
namespace {

// FNV-1a over the pixels, row by row.
std::uint64_t pictureChecksum(const Bitmap& picture) {
    std::uint64_t h = 14695981039346656037ull;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            h ^= static_cast<std::uint64_t>(picture.pixel(x, y));
            h *= 1099511628211ull;
        }
    return h;
}

struct DrawingCase {
    const char* name;
    const char* golden;
    int width;
    int height;
    std::initializer_list<const char*> actions;
    std::uint64_t checksum;
};

class FullDrawing : public ViewerTest {};

TEST_F(FullDrawing, PixelsOfWholeDrawingsStayTheSame) {
    const DrawingCase cases[] = {
        {"year 1920x1080",
         "year-1920x1080",
         1920,
         1080,
         {"start", "interval=year", "trend=yes"},
         9419176541698867285ull},
        {"year 1280x800",
         "year-xp-1280x800",
         1280,
         800,
         {"start", "interval=year", "param=Xp"},
         2396183604917549284ull},
        {"month 1280x800 visor",
         "month-visor-1280x800",
         1280,
         800,
         {"start", "visor=on", "mouse=400,300", "back"},
         15615621538600553194ull},
    };
    for (const DrawingCase& c : cases) {
        SCOPED_TRACE(c.name);
        SnapshotOptions o = options();
        o.width = c.width;
        o.height = c.height;
        SnapshotDriver driver(o);
        for (const char* a : c.actions) driver.apply(action(a));
        TForm1& f = driver.form();
        f.Chart->drawToBitmap();
        f.Chart->drawToBitmap();  // the second drawing starts from the first one's picture
        // The picture as the window shows it, the cross-hair inverted over it.
        const Bitmap& picture = f.Chart->bitmap();
        Bitmap shown;
        shown.setSize(picture.width(), picture.height(), picture.pixelRatio());
        shown.copyFrom(picture);
        f.Chart->drawOverlayOn(shown);
        EXPECT_TRUE(test::matchesGoldenPicture(shown, c.golden));
        EXPECT_EQ(pictureChecksum(shown), c.checksum);
    }
}

}  // namespace
}  // namespace pvz::testing
