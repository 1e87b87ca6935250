// A burst of changes to a shown chart is drawn once, and a change after that drawing is drawn
// again: the chart asks the window system for one paint at a time, never for none.
#include <gtest/gtest.h>

#include "chart/chart_panel.h"
#include "runtime/window_system.h"
#include "tests/chart/chart_on_form.h"

namespace pvz {
namespace {

class RepaintCoalescing : public test::ChartOnForm {
protected:
    RepaintCoalescing() : ChartOnForm(400, 300) {}
};

TEST_F(RepaintCoalescing, EveryBurstOfChangesIsDrawnOnce) {
    form.show();
    pump();
    const int first = chart.drawingCount();
    ASSERT_GE(first, 1);
    for (int burst = 1; burst <= 3; ++burst) {
        SCOPED_TRACE(burst);
        for (int i = 0; i < 1000; ++i) chart.setMarginLeft(1 + (i + burst) % 7);
        EXPECT_TRUE(chart.isDirty());
        pump();
        EXPECT_EQ(chart.drawingCount(), first + burst);
        EXPECT_FALSE(chart.isDirty());
    }
}

TEST_F(RepaintCoalescing, ChangesWhileHiddenAreDrawnWhenShown) {
    chart.setMarginTop(8);
    chart.setMarginTop(9);
    pump();
    form.show();
    pump();
    const int shown = chart.drawingCount();
    EXPECT_GE(shown, 1);
    form.setVisible(false);
    chart.setMarginTop(10);
    pump();
    form.show();
    pump();
    EXPECT_GT(chart.drawingCount(), shown);
    EXPECT_FALSE(chart.isDirty());
}

// The headless tool draws into the picture itself; a paint already asked for still comes.
TEST_F(RepaintCoalescing, DrawingToThePictureDoesNotSwallowTheNextPaint) {
    form.show();
    pump();
    chart.setMarginBottom(20);
    chart.drawToBitmap();
    pump();
    const int drawn = chart.drawingCount();
    chart.setMarginBottom(21);
    EXPECT_TRUE(chart.isDirty());
    pump();
    EXPECT_EQ(chart.drawingCount(), drawn + 1);
    EXPECT_FALSE(chart.isDirty());
}

}  // namespace
}  // namespace pvz
