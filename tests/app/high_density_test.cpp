// The real window on every screen the window system offers. Run alone the binary has one screen
// of ratio 1; the CTest entry HighDensityScreens gives the offscreen platform seven screens: of
// device pixel ratios 1, 1.25, 1.5, 2 and 3 as the platform's own (the offscreen platform then
// keeps window back buffers at ratio 1), and of 1.5 and 2 from the toolkit's scaling (back
// buffers at the full ratio, as on a desktop scaled that way), and runs these tests there.
#include <algorithm>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "runtime/graphics.h"
#include "tests/app/viewer_fixture.h"

namespace pvz::testing {
namespace {

class HighDensity : public ViewerTest {
protected:
    // The month view with the visors on and the cross-hair at (600, 300).
    std::unique_ptr<SnapshotDriver> monthView() {
        auto driver = std::make_unique<SnapshotDriver>(options());
        play(*driver, {"start", "visor=on", "mouse=600,300"});
        return driver;
    }

    // Moves the window onto a screen; the paint that follows draws the chart there.
    static void moveTo(SnapshotDriver& driver, int screen) {
        driver.form().moveToScreen(screen);
        Application::instance().processPendingEvents();
        Application::instance().processPendingEvents();
    }

    // The report without the count of drawings, which moving to another screen raises.
    static std::string withoutDrawingCount(std::string json) {
        return std::regex_replace(json, std::regex("\"drawings\":[0-9]+"), "");
    }

    // The device pixels in which two pictures of one size differ.
    static int differingPixels(const Bitmap& a, const Bitmap& b) {
        int differing = 0;
        for (int y = 0; y < a.deviceHeight(); ++y)
            for (int x = 0; x < a.deviceWidth(); ++x) differing += a.devicePixel(x, y) != b.devicePixel(x, y);
        return differing;
    }

    static std::vector<Color> logicalPixels(const Bitmap& picture) {
        std::vector<Color> pixels;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) pixels.push_back(picture.pixel(x, y));
        return pixels;
    }
};

TEST_F(HighDensity, LayoutStaysInLogicalPixelsAndThePictureFollowsTheRatio) {
    auto driver = monthView();
    TForm1& f = driver->form();
    TChart& chart = *f.Chart;
    const Rect plot = chart.PlotRect();
    const Rect legend = chart.Legend().LegendRect();
    const std::string report = withoutDrawingCount(driver->json(false));
    const std::vector<Color> atRatio1 = logicalPixels(chart.bitmap());
    ASSERT_EQ(chart.bitmap().pixelRatio(), 1.0);

    for (int screen = 1; screen < Form::screenCount(); ++screen) {
        const int drawings = chart.drawingCount();
        moveTo(*driver, screen);
        const double ratio = chart.pixelRatio();
        SCOPED_TRACE("ratio " + std::to_string(ratio));
        EXPECT_GT(chart.drawingCount(), drawings) << "a new ratio draws a new picture";
        const Bitmap& picture = chart.bitmap();
        EXPECT_EQ(picture.pixelRatio(), ratio);
        EXPECT_EQ(picture.width(), chart.width());
        EXPECT_EQ(picture.deviceWidth(), devicePixelOf(chart.width(), ratio));
        EXPECT_EQ(picture.deviceHeight(), devicePixelOf(chart.height(), ratio));
        EXPECT_EQ(chart.PlotRect(), plot);
        EXPECT_EQ(chart.Legend().LegendRect(), legend);
        EXPECT_TRUE(withoutDrawingCount(driver->json(false)) == report)
            << "the report is in logical pixels at every ratio";

        // The background, the bevel, the grid, the walls and the fills map each logical pixel to
        // its device pixels; only text, lines and markers are drawn finer.
        const std::vector<Color> reduced = logicalPixels(picture);
        ASSERT_EQ(reduced.size(), atRatio1.size());
        std::size_t same = 0;
        for (std::size_t i = 0; i < reduced.size(); ++i) same += reduced[i] == atRatio1[i] ? 1 : 0;
        EXPECT_GT(same, reduced.size() * 95 / 100);

        // A saved picture: at the screen's ratio, at least 2, and no drawing of the window's.
        const int again = chart.drawingCount();
        Bitmap kept;
        f.drawKeptPicture(kept);
        const double keptRatio = std::max(ratio, 2.0);
        EXPECT_EQ(kept.pixelRatio(), keptRatio);
        EXPECT_EQ(kept.deviceWidth(), devicePixelOf(chart.width(), keptRatio));
        EXPECT_EQ(kept.deviceHeight(), devicePixelOf(chart.height(), keptRatio));
        moveTo(*driver, screen);
        EXPECT_EQ(chart.drawingCount(), again) << "staying on the screen draws nothing";
    }
}

TEST_F(HighDensity, CrossHairRemovesItselfExactlyAfterManyMoves) {
    auto driver = monthView();
    TForm1& f = driver->form();
    TChart& chart = *f.Chart;
    for (int screen = 0; screen < Form::screenCount(); ++screen) {
        moveTo(*driver, screen);
        SCOPED_TRACE("ratio " + std::to_string(chart.pixelRatio()));
        driver->apply(action("mouse=600,300"));
        Bitmap before;
        chart.grab(before);
        // What the window's back buffer holds: the repaints of the cross-hair's strips must
        // leave it as a whole repaint does.
        Bitmap shownBefore;
        ASSERT_TRUE(chart.grabShown(shownBefore));
        ASSERT_EQ(before.deviceWidth(), devicePixelOf(chart.width(), chart.pixelRatio()));
        // The window shows the picture's device pixels one to one, here in a part of the plot
        // away from the cross-hair and the child controls.
        const Bitmap& picture = chart.bitmap();
        const double ratio = chart.pixelRatio();
        int shownOtherwise = 0;
        for (int y = devicePixelOf(350, ratio); y < devicePixelOf(450, ratio); ++y)
            for (int x = devicePixelOf(650, ratio); x < devicePixelOf(850, ratio); ++x)
                shownOtherwise += before.devicePixel(x, y) != picture.devicePixel(x, y);
        EXPECT_EQ(shownOtherwise, 0);

        const Rect plot = chart.PlotRect();
        std::mt19937 random(static_cast<unsigned>(screen) + 5);
        std::uniform_int_distribution<int> xs(plot.left - 30, plot.right + 30);
        std::uniform_int_distribution<int> ys(plot.top - 30, plot.bottom + 30);
        for (int move = 0; move < 150; ++move)
            driver->apply(action(("mouse=" + std::to_string(xs(random)) + "," + std::to_string(ys(random))).c_str()));
        driver->apply(action("mouse=600,300"));

        Bitmap after;
        chart.grab(after);
        ASSERT_EQ(after.deviceWidth(), before.deviceWidth());
        ASSERT_EQ(after.deviceHeight(), before.deviceHeight());
        EXPECT_EQ(differingPixels(before, after), 0) << "pixels left behind by the cross-hair";

        Bitmap shownAfter;
        ASSERT_TRUE(chart.grabShown(shownAfter));
        ASSERT_EQ(shownAfter.deviceWidth(), shownBefore.deviceWidth());
        ASSERT_EQ(shownAfter.deviceHeight(), shownBefore.deviceHeight());
        EXPECT_EQ(differingPixels(shownBefore, shownAfter), 0) << "pixels left behind in the window's back buffer";
    }
}

}  // namespace
}  // namespace pvz::testing
