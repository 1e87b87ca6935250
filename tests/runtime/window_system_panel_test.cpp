// The panel control: paint requests, the shown picture and drawing straight onto the window.
#include <gtest/gtest.h>

#include "runtime/window_system.h"

namespace pvz {
namespace {

class PicturePanel : public PanelControl {
public:
    using PanelControl::PanelControl;

    int paints = 0;
    bool redraw = true;
    Color fill = clGreen;
    Bitmap picture;

protected:
    void paint() override {
        ++paints;
        if (redraw) {
            picture.setSize(width(), height());
            picture.canvas().brush() = Brush{fill, BrushStyle::Solid};
            picture.canvas().fillRect({0, 0, width(), height()});
        }
        showBitmap(picture, 0, 0);
    }
};

// Delivers what is queued and what that posts in turn (the paints), without waiting on the clock.
void settle() { Application::instance().processPendingEvents(); }

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.setBounds(10, 10, 160, 120);
        panel.setAlign(Align::Client);
        form.show();
        settle();
    }

    Color shownAt(int x, int y) {
        Bitmap shot;
        panel.grab(shot);
        return shot.pixel(x, y);
    }

    Form form;
    PicturePanel panel{&form};
};

TEST_F(PanelTest, ShowsTheBitmapItPaints) {
    EXPECT_GE(panel.paints, 1);
    EXPECT_EQ(panel.width(), 160);
    EXPECT_EQ(shownAt(50, 50), clGreen);
}

TEST_F(PanelTest, RepaintRequestsCoalesceIntoOnePaint) {
    const int before = panel.paints;
    for (int i = 0; i < 5; ++i) panel.invalidate();
    settle();
    EXPECT_EQ(panel.paints, before + 1);
}

TEST_F(PanelTest, DirectDrawingIsShownAtOnceAndABitmapCopyRemovesIt) {
    Canvas& window = panel.windowCanvas();
    window.pen() = Pen{clBlack, 1, PenStyle::Solid, PenMode::Not, false};
    window.moveTo(10, 40);
    window.lineTo(150, 40);
    const Color inverted = clGreen ^ 0xFFFFFFu;
    EXPECT_EQ(shownAt(20, 40), inverted);  // no event processed in between
    EXPECT_EQ(shownAt(20, 41), clGreen);
    EXPECT_EQ(panel.picture.pixel(20, 40), clGreen);  // the bitmap itself is untouched

    // A paint that only copies the bitmap again takes the line away.
    panel.redraw = false;
    panel.invalidate();
    settle();
    EXPECT_EQ(shownAt(20, 40), clGreen);
}

TEST_F(PanelTest, DirectDrawingTwiceInInvertingModeRestoresTheWindow) {
    Canvas& window = panel.windowCanvas();
    window.pen() = Pen{clBlack, 1, PenStyle::Solid, PenMode::Not, false};
    for (int pass = 0; pass < 2; ++pass) {
        window.moveTo(0, 30);
        window.lineTo(160, 30);
        window.moveTo(70, 0);
        window.lineTo(70, 120);
    }
    EXPECT_EQ(shownAt(20, 30), clGreen);
    EXPECT_EQ(shownAt(70, 90), clGreen);
}

// The window shares the bitmap it shows; drawing on the bitmap afterwards gives the bitmap
// pixels of its own, copied from the shared ones.
TEST_F(PanelTest, DrawingOnAShownBitmapLeavesTheWindowAlone) {
    Canvas& canvas = panel.picture.canvas();
    canvas.brush() = Brush{clRed, BrushStyle::Solid};
    canvas.fillRect({0, 0, 40, 40});
    EXPECT_EQ(shownAt(20, 20), clGreen);
    EXPECT_EQ(panel.picture.pixel(20, 20), clRed);
    EXPECT_EQ(panel.picture.pixel(100, 100), clGreen);
    EXPECT_EQ(panel.picture.pixel(159, 119), clGreen);
}

// Inverted lines are kept aside and applied where the window is shown; a drawing of another
// kind in between must still see them in the order they were drawn.
TEST_F(PanelTest, AFillBetweenTwoInvertedLinesIsInvertedOnceWhereTheyCross) {
    Canvas& window = panel.windowCanvas();
    const Pen inverting{clBlack, 1, PenStyle::Solid, PenMode::Not, false};
    const auto invertedLine = [&] {
        window.pen() = inverting;
        window.moveTo(10, 40);
        window.lineTo(150, 40);
    };
    invertedLine();
    window.pen() = Pen{};
    window.brush() = Brush{clRed, BrushStyle::Solid};
    window.fillRect({60, 30, 80, 50});
    invertedLine();
    EXPECT_EQ(shownAt(20, 40), clGreen);
    EXPECT_EQ(shownAt(70, 40), clRed ^ 0xFFFFFFu);
    EXPECT_EQ(shownAt(70, 35), clRed);
    EXPECT_EQ(panel.picture.pixel(70, 40), clGreen);
}

// The window's back buffer after repaints of a column drawn in inverting mode, a fill over
// it, and the column again: the column's repaint must not reuse pixels from before the fill.
TEST_F(PanelTest, TheBackBufferFollowsAFillOverAnInvertedColumn) {
    Canvas& window = panel.windowCanvas();
    const auto invertedColumn = [&] {
        window.pen() = Pen{clBlack, 1, PenStyle::Solid, PenMode::Not, false};
        window.moveTo(70, 0);
        window.lineTo(70, 120);
        settle();
    };
    invertedColumn();
    window.pen() = Pen{};
    window.brush() = Brush{clRed, BrushStyle::Solid};
    window.fillRect({60, 30, 80, 50});
    settle();
    invertedColumn();
    Bitmap shown;
    ASSERT_TRUE(panel.grabShown(shown));
    EXPECT_EQ(shown.pixel(70, 10), clGreen);
    EXPECT_EQ(shown.pixel(70, 40), clRed ^ 0xFFFFFFu);
    EXPECT_EQ(shown.pixel(65, 40), clRed);
    EXPECT_EQ(shown.pixel(75, 10), clGreen);
}

TEST_F(PanelTest, ManyInvertedLinesDrawnTwiceRestoreTheWindowAndLeaveThePicture) {
    Canvas& window = panel.windowCanvas();
    window.pen() = Pen{clBlack, 1, PenStyle::Solid, PenMode::Not, false};
    const auto lines = [&] {
        for (int i = 0; i < 40; ++i) {
            window.moveTo(0, 2 + 2 * i);
            window.lineTo(160, 2 + 2 * i);
            window.moveTo(3 + 3 * i, 0);
            window.lineTo(3 + 3 * i, 120);
        }
    };
    lines();
    settle();
    EXPECT_EQ(shownAt(1, 2), clGreen ^ 0xFFFFFFu);
    EXPECT_EQ(shownAt(3, 1), clGreen ^ 0xFFFFFFu);
    EXPECT_EQ(shownAt(3, 2), clGreen);  // a crossing is inverted twice
    EXPECT_EQ(shownAt(1, 3), clGreen);
    lines();
    settle();
    Bitmap shot;
    panel.grab(shot);
    int changed = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) changed += shot.pixel(x, y) != clGreen;
    EXPECT_EQ(changed, 0);
    for (int y = 0; y < panel.picture.height(); ++y)
        for (int x = 0; x < panel.picture.width(); ++x) changed += panel.picture.pixel(x, y) != clGreen;
    EXPECT_EQ(changed, 0) << "the panel's bitmap is not drawn on";
}

// A read-out label repainted over the chart made the panel call paint(): the chart showed its
// bitmap again and copied the whole picture to put the cross-hair back, at every pointer move.
TEST_F(PanelTest, PaintRunsOnlyForTheRequestsOfThePanel) {
    StaticText text(&panel);
    text.setBounds(20, 60, 60, 15);
    settle();
    const int before = panel.paints;
    Canvas& window = panel.windowCanvas();
    window.pen() = Pen{clBlack, 1, PenStyle::Solid, PenMode::Not, false};
    window.moveTo(10, 40);
    window.lineTo(150, 40);
    settle();  // the paint that shows the line
    text.setCaption("57000.1");
    settle();  // the label's, over the panel
    EXPECT_EQ(panel.paints, before);
    EXPECT_EQ(shownAt(20, 40), clGreen ^ 0xFFFFFFu);
    panel.invalidate();
    settle();
    EXPECT_EQ(panel.paints, before + 1);
    EXPECT_EQ(shownAt(20, 40), clGreen);
}

TEST_F(PanelTest, ChildControlsSitOnTopOfThePicture) {
    GroupBox box(&panel);
    box.setBounds(20, 20, 60, 40);
    box.setColor(clRed);
    settle();
    const Color inside = shownAt(50, 45);  // the style may tint the framed area slightly
    EXPECT_GT(redOf(inside), 230);
    EXPECT_LT(greenOf(inside), 30);
    EXPECT_EQ(shownAt(100, 45), clGreen);
}

}  // namespace
}  // namespace pvz
