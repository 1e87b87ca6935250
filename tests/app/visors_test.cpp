// The visors: the inverting cross-hair over the chart's picture, its edge rule, the read-outs
// and the rule that a mouse move never draws the chart.
#include <gtest/gtest.h>

#include <charconv>
#include <string>

#include "runtime/formatting.h"
#include "runtime/window_system_input.h"
#include "tests/app/viewer_fixture.h"

namespace pvz::testing {
namespace {

using Visors = ViewerTest;

// What the window shows, against the chart's picture, along the cross-hair's lines.
struct Shown {
    Bitmap window;
    const Bitmap& picture;

    explicit Shown(TForm1& f) : picture(f.Chart->bitmap()) {
        Application::instance().processPendingEvents();
        f.Chart->grab(window);
    }
    bool inverted(int x, int y) const { return window.pixel(x, y) == (picture.pixel(x, y) ^ 0xFFFFFFu); }
    bool same(int x, int y) const { return window.pixel(x, y) == picture.pixel(x, y); }
    // A horizontal line from left to right - 1 at y, and a vertical one from top to bottom - 1 at
    // x; the crossing pixel is inverted twice.
    bool crossHairAt(const Rect& plot, Point at) const {
        for (int x = plot.left; x < plot.right; ++x)
            if (x != at.x && !inverted(x, at.y)) return false;
        for (int y = plot.top; y < plot.bottom; ++y)
            if (y != at.y && !inverted(at.x, y)) return false;
        return same(plot.right, at.y) && same(at.x, plot.bottom) && same(at.x, at.y);
    }
    bool noneOnRow(const Rect& plot, int y) const {
        for (int x = plot.left; x <= plot.right; ++x)
            if (!same(x, y)) return false;
        return true;
    }
};

double number(const std::string& text) {
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string mouse(Point p) { return "mouse=" + std::to_string(p.x) + "," + std::to_string(p.y); }

// A started window with the visors on, and the pointer moved as a user moves it.
class VisorsOn : public Visors {
protected:
    void SetUp() override {
        play(driver, {"start", "visor=on"});
        plot = f.Chart->PlotRect();
    }
    void moveTo(Point at) { driver.apply(action(mouse(at).c_str())); }

    SnapshotDriver driver{options()};
    TForm1& f = driver.form();
    Rect plot;
};

TEST_F(VisorsOn, FirstMoveDrawsTheCrossHairAtThePointerOnly) {
    EXPECT_EQ(f.state.visorX, 0);
    EXPECT_EQ(f.state.visorY, 0);
    ASSERT_FALSE(plot.containsInclusive({0, 0}));
    const Point at{(plot.left + plot.right) / 2, (plot.top + plot.bottom) / 2};
    const int drawings = f.Chart->drawingCount();
    moveTo(at);
    EXPECT_EQ(f.state.visorX, at.x);
    EXPECT_EQ(f.state.visorY, at.y);
    EXPECT_TRUE(Shown(f).crossHairAt(plot, at));
    EXPECT_EQ(f.Chart->drawingCount(), drawings);
}

TEST_F(VisorsOn, PlotEdgesCountAsInside) {
    const int midX = (plot.left + plot.right) / 2;
    const int midY = (plot.top + plot.bottom) / 2;
    struct Case {
        Point at;
        bool inside;
    };
    const Case cases[] = {
        {{plot.left, plot.top}, true}, {{plot.right, plot.bottom}, true}, {{plot.left, midY}, true},
        {{midX, plot.bottom}, true},   {{plot.left - 1, midY}, false},    {{plot.right + 1, midY}, false},
        {{midX, plot.top - 1}, false}, {{midX, plot.bottom + 1}, false},  {{midX + 5, midY - 7}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at.x);
        SCOPED_TRACE(c.at.y);
        moveTo(c.at);
        EXPECT_EQ(f.state.visorX, c.at.x);
        EXPECT_EQ(f.state.visorY, c.at.y);
        const Shown shown(f);
        // The row in the middle carries only this move's horizontal line, if any: the last
        // cross-hair was removed.
        const int row = c.at.y == midY ? midY + 3 : midY;
        for (int x = plot.left; x <= plot.right; ++x) {
            const bool onVertical = c.inside && x == c.at.x;
            ASSERT_EQ(shown.inverted(x, row), onVertical) << x;
        }
        if (c.inside && c.at.x < plot.right && c.at.y < plot.bottom) {
            EXPECT_TRUE(shown.inverted(c.at.x == plot.left ? plot.left + 1 : plot.left, c.at.y));
        }
        // The read-outs run on also beside the plot.
        EXPECT_FALSE(f.StaticTextX->caption().empty());
        EXPECT_FALSE(f.StaticTextY->caption().empty());
    }
}

TEST_F(VisorsOn, ReadOutsUseTheAxesMappingAlsoBeyondTheirEnds) {
    const double offset = f.state.mjdToDayOffset;
    for (const Point at : {Point{plot.left + 100, plot.top + 50}, Point{plot.left - 30, plot.bottom + 20},
                           Point{plot.right + 10, plot.top - 15}}) {
        SCOPED_TRACE(at.x);
        moveTo(at);
        EXPECT_EQ(f.StaticTextX->caption(), formatFixed(f.Chart->BottomAxis().PixelToValue(at.x) - offset, 8, 1));
        EXPECT_EQ(f.StaticTextY->caption(), formatFixed(f.Chart->LeftAxis().PixelToValue(at.y), 8, 5));
    }
    // Left of the plot the MJD lies before the axis start, below it the value under its minimum.
    moveTo({plot.left - 30, plot.bottom + 20});
    EXPECT_LT(number(f.StaticTextX->caption()) + offset, f.Chart->BottomAxis().EffectiveMinimum());
    EXPECT_LT(number(f.StaticTextY->caption()), f.Chart->LeftAxis().EffectiveMinimum());
}

TEST_F(Visors, ReadOutsInTheRussianLocale) {
    FormatSettings russian;
    russian.decimalPointChar = ",";
    russian.groupSeparatorChar = "\u00A0";
    const ScopedFormatSettings scoped(russian);
    // Late December 2025: a window round MJD 61015 (no data there; the axes are the window's).
    SnapshotDriver driver(options("2025-12-20 12:00:00"));
    TForm1& f = driver.form();
    play(driver, {"start", "visor=on"});
    const TChartAxis& bottom = f.Chart->BottomAxis();
    const int x = bottom.ValueToPixel(61015.3 + f.state.mjdToDayOffset);
    const Rect plot = f.Chart->PlotRect();
    driver.apply(action(mouse({x, plot.top + 40}).c_str()));
    EXPECT_EQ(f.StaticTextX->caption(), "61015,3");
    EXPECT_NE(f.StaticTextY->caption().find(','), std::string::npos);
    EXPECT_EQ(f.StaticTextY->caption().size(), f.StaticTextY->caption().find(',') + 6);
}

TEST_F(Visors, MouseMovesNeverDrawTheChart) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    play(driver, {"start", "mouse=300,300", "visor=on"});
    const Rect plot = f.Chart->PlotRect();
    const int drawings = f.Chart->drawingCount();
    for (int i = 0; i < 40; ++i) {
        const Point at{plot.left - 20 + i * (plot.right - plot.left + 40) / 39,
                       plot.top + (i * 37) % (plot.bottom - plot.top)};
        driver.apply(action(mouse(at).c_str()));
    }
    EXPECT_EQ(f.Chart->drawingCount(), drawings);
    EXPECT_FALSE(f.state.redrawRequested);
}

TEST_F(Visors, SwitchingRequestsAFitAndEmptiesTheReadOuts) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    play(driver, {"start", "choose=on"});
    const Rect plot = f.Chart->PlotRect();
    const Point at{plot.left + 200, plot.top + 120};
    driver.apply(action(mouse(at).c_str()));  // visors off: nothing recorded
    EXPECT_EQ(f.state.visorX, 0);
    EXPECT_TRUE(f.StaticTextX->caption().empty());

    for (const bool on : {true, false, true}) {
        SCOPED_TRACE(on);
        clearRequests(f.state);
        f.CheckBoxViz->setChecked(on);
        EXPECT_TRUE(f.state.redrawRequested && f.state.autoFitRequested);
        EXPECT_FALSE(f.state.rescaleRequested);
        EXPECT_TRUE(f.CheckBoxChoise->checked());
        EXPECT_EQ(f.Label1->enabled(), on);
        EXPECT_EQ(f.Label2->enabled(), on);
        if (on) driver.apply(action(mouse(at).c_str()));
        driver.apply(action("up=0"));  // settle: the rebuild and its drawing
        if (!on) {
            EXPECT_TRUE(f.StaticTextX->caption().empty());
            EXPECT_TRUE(f.StaticTextY->caption().empty());
            EXPECT_TRUE(Shown(f).noneOnRow(plot, at.y));
        }
    }
    // The fit came although the fixed mode is on; the table step returns with the next
    // request made in the fixed mode.
    EXPECT_NE(f.Chart->LeftAxis().Increment(), 0.003);
    driver.apply(action("scale=0"));
    EXPECT_EQ(f.Chart->LeftAxis().Increment(), 0.003);
}

TEST_F(VisorsOn, EveryDrawingKeepsTheCrossHairOverThePicture) {
    const Point at{plot.left + 321, plot.top + 77};
    moveTo(at);
    f.StaticTextX->setCaption("");
    // A time step draws anew: the window shows the cross-hair at the same place over the new
    // picture, which does not hold it, with its read-out for the new axes.
    driver.apply(action("back"));
    EXPECT_TRUE(Shown(f).crossHairAt(plot, at));
    EXPECT_EQ(f.StaticTextX->caption(),
              formatFixed(f.Chart->BottomAxis().PixelToValue(at.x) - f.state.mjdToDayOffset, 8, 1));
    const Point next{at.x + 40, at.y + 30};
    moveTo(next);
    const Shown moved(f);
    EXPECT_TRUE(moved.crossHairAt(plot, next));
    EXPECT_TRUE(moved.same(plot.left + 5, at.y));
}

// The chart showed its picture again (uncovering, a control repainted over it) and the
// cross-hair drawn since was lost, while the next move still "removed" it: a trail of
// cross-hairs was left behind.
TEST_F(VisorsOn, PictureShownAgainKeepsTheCrossHairAtThePointer) {
    const Point first{plot.left + 150, plot.top + 90};
    const Point second{plot.left + 420, plot.top + 260};
    moveTo(first);
    f.Chart->invalidate();
    Application::instance().processPendingEvents();
    EXPECT_TRUE(Shown(f).crossHairAt(plot, first));
    moveTo(second);
    f.Chart->invalidate();
    const Shown shown(f);
    EXPECT_TRUE(shown.crossHairAt(plot, second));
    EXPECT_TRUE(shown.same(plot.left + 3, first.y));
    EXPECT_TRUE(shown.same(first.x, plot.top + 3));
    // Switched off, the window loses it at the next picture.
    driver.apply(action("visor=off"));
    EXPECT_TRUE(Shown(f).noneOnRow(plot, second.y));
}

// A pointer that leaves the chart fast, out of the window or onto the status bar, sends no
// last move outside the plot: its leaving takes the cross-hair away, also from later drawings.
TEST_F(VisorsOn, PointerLeavingTheChartTakesTheCrossHair) {
    const Point at{plot.left + 200, plot.top + 120};
    moveTo(at);
    ASSERT_TRUE(Shown(f).crossHairAt(plot, at));
    input::leave(*f.Chart);
    EXPECT_TRUE(Shown(f).noneOnRow(plot, at.y));
    // The next drawing has none either: its row is that of a chart never pointed at.
    driver.apply(action("back"));
    SnapshotDriver untouched(options());
    play(untouched, {"start", "visor=on", "back"});
    for (int x = plot.left; x <= plot.right; ++x)
        ASSERT_EQ(f.Chart->bitmap().pixel(x, at.y), untouched.form().Chart->bitmap().pixel(x, at.y)) << x;
    EXPECT_TRUE(Shown(f).noneOnRow(plot, at.y));
}

}  // namespace
}  // namespace pvz::testing
