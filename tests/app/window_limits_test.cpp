// The window's smallest size: at it and above, every control on the chart lies inside the chart
// and covers neither the legend nor any label; one pixel lower, something is covered.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "app/window_limits.h"
#include "tests/app/viewer_fixture.h"

namespace pvz::testing {
namespace {

constexpr int kStatusBarHeight = 19;

// What is wrong with the layout of the chart's controls at the window's present size. Label ink
// (date labels, value labels, week numbers) is found as the pixels of the chart's own picture
// that change when the axis labels are drawn in another colour.
std::vector<std::string> layoutFaults(TForm1& f) {
    TViewerChart& chart = *f.Chart;
    chart.drawToBitmap();
    const int width = chart.bitmap().width();
    const int height = chart.bitmap().height();
    std::vector<Color> before(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) before[static_cast<std::size_t>(y * width + x)] = chart.bitmap().pixel(x, y);
    const Font bottomFont = chart.BottomAxis().LabelsFont();
    const Font leftFont = chart.LeftAxis().LabelsFont();
    const auto recoloured = [](Font font) {
        font.color = font.color == rgbColor(255, 0, 255) ? rgbColor(0, 255, 0) : rgbColor(255, 0, 255);
        return font;
    };
    chart.BottomAxis().setLabelsFont(recoloured(bottomFont));
    chart.LeftAxis().setLabelsFont(recoloured(leftFont));
    chart.drawToBitmap();

    std::vector<std::string> faults;
    const Rect legend = chart.Legend().LegendRect();
    for (int i = 0; i < chart.childCount(); ++i) {
        const Control& c = chart.child(i);
        if (!c.visible()) continue;
        const std::string name = "control " + std::to_string(i) + " at " + std::to_string(c.left()) + "," +
                                 std::to_string(c.top()) + " " + std::to_string(c.width()) + "x" +
                                 std::to_string(c.height());
        const int right = c.left() + c.width();
        const int bottom = c.top() + c.height();
        if (c.left() < 0 || c.top() < 0 || right > chart.width() || bottom > chart.height())
            faults.push_back(name + " lies outside the chart");
        if (c.left() < legend.right && legend.left < right && c.top() < legend.bottom && legend.top < bottom)
            faults.push_back(name + " covers the legend");
        bool coversLabel = false;
        for (int y = std::max(0, c.top()); y < std::min(height, bottom) && !coversLabel; ++y)
            for (int x = std::max(0, c.left()); x < std::min(width, right) && !coversLabel; ++x)
                coversLabel = chart.bitmap().pixel(x, y) != before[static_cast<std::size_t>(y * width + x)];
        if (coversLabel) faults.push_back(name + " covers a label");
    }
    chart.BottomAxis().setLabelsFont(bottomFont);
    chart.LeftAxis().setLabelsFont(leftFont);
    chart.drawToBitmap();
    return faults;
}

struct LayoutCase {
    const char* name;
    int screenWidth;
    friend void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }
};

class WindowLimits : public ViewerTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(WindowLimits, SmallestSizeKeepsControlsInsideAndLabelsFree) {
    SnapshotOptions o = options("2017-11-01 12:00:00", GetParam().screenWidth);
    o.width = 1920;
    o.height = 1040;
    SnapshotDriver driver(o);
    driver.apply(action("start"));
    TForm1& f = driver.form();
    const ClientSize minimum = minimumClientSize(f);
    EXPECT_EQ(f.minimumClientWidth(), minimum.width);
    EXPECT_EQ(f.minimumClientHeight(), minimum.height);
    // Start keeps its left edge; the smallest width leaves it the edge gap.
    EXPECT_EQ(minimum.width, f.BitBtnStart->left() + f.BitBtnStart->width() + kControlEdgeGap);

    // The window cannot be made smaller than the minimum.
    driver.apply(action("resize=300x200"));
    EXPECT_EQ(f.width(), minimum.width);
    EXPECT_EQ(f.height(), minimum.height);

    const std::pair<int, int> sizes[] = {
        {minimum.width, minimum.height},
        {minimum.width, minimum.height + 1},
        {minimum.width + 1, minimum.height},
        {minimum.width, minimum.height + 37},
        {minimum.width + 45, minimum.height + 13},
        {1024, 768},
        {1280, 800},
        {1920, 1040},
    };
    for (const auto& [w, h] : sizes) {
        if (w < minimum.width || h < minimum.height) continue;
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        driver.apply(action(("resize=" + std::to_string(w) + "x" + std::to_string(h)).c_str()));
        ASSERT_EQ(f.Chart->height(), h - kStatusBarHeight);
        for (const std::string& fault : layoutFaults(f)) ADD_FAILURE() << fault;
    }

    // The minimum is tight: one pixel lower, the selector group covers a label under the plot.
    f.setMinimumClientSize(0, 0);
    driver.apply(
        action(("resize=" + std::to_string(minimum.width) + "x" + std::to_string(minimum.height - 1)).c_str()));
    EXPECT_FALSE(layoutFaults(f).empty());
}

INSTANTIATE_TEST_SUITE_P(Layouts, WindowLimits, ::testing::Values(LayoutCase{"full", 1920}, LayoutCase{"compact", 800}),
                         [](const auto& info) { return std::string(info.param.name); });

// The restored (unmaximised) window of the real program is never smaller than the minimum.
TEST_F(ViewerTest, RestoredWindowIsAtLeastTheMinimum) {
    FormOptions o;
    o.maximise = false;
    o.cycle = FormOptions::Cycle::External;
    o.screenWidth = [] { return 1920; };
    TForm1 f(std::move(o));
    f.show();
    EXPECT_GE(f.width(), f.minimumClientWidth());
    EXPECT_GE(f.height(), f.minimumClientHeight());
    EXPECT_GT(f.minimumClientHeight(), 0);
}

}  // namespace
}  // namespace pvz::testing
