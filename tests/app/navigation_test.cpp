// The time window: press-and-hold of the time-shift buttons, the limits, undo and the interval.
#include <gtest/gtest.h>

#include "tests/app/viewer_fixture.h"

namespace pvz::testing {
namespace {

using Navigation = ViewerTest;

struct HoldFlags {
    bool held;
    bool released;
    bool repeating;
};

void expectFlags(const TForm1& f, int tag, HoldFlags want) {
    EXPECT_EQ(f.state.buttonHeld[tag], want.held);
    EXPECT_EQ(f.state.timeButtonReleased, want.released);
    EXPECT_EQ(f.state.shiftRepeating, want.repeating);
}

TEST_F(Navigation, ClickShorterThanOneTickMakesOneWeekStep) {
    struct Case {
        const char* action;
        double shift;
    };
    for (const Case c : {Case{"back", -7.0}, Case{"forward", 7.0}}) {
        SCOPED_TRACE(c.action);
        SnapshotDriver driver(options());
        TForm1& f = driver.form();
        play(driver, {"start", c.action});
        const ViewerState& s = f.state;
        EXPECT_EQ(s.timeShiftDays, c.shift);
        EXPECT_EQ(s.windowStartMjd, s.homeStartMjd + c.shift);
        EXPECT_EQ(f.Chart->BottomAxis().Maximum(), s.windowEndMjd + s.mjdToDayOffset);
        expectFlags(f, c.shift < 0 ? 1 : 2, {false, true, false});
        EXPECT_EQ(f.Timer2->interval(), 210);
        EXPECT_FALSE(s.shiftPending || s.redrawRequested);
        // Slot 1 is shown over the moved window.
        ASSERT_GT(f.seriesAt(0).Count(), 0);
        EXPECT_GE(f.seriesAt(0).XValues()[0], s.windowStartMjd + s.mjdToDayOffset);
    }
}

TEST_F(Navigation, PressAndHoldRunsThroughArmedRepeatingStoppingIdle) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    driver.apply(action("start"));
    const ViewerState& s = f.state;
    const double minimum = f.Chart->BottomAxis().Minimum();
    const double maximum = f.Chart->BottomAxis().Maximum();

    press(f, *f.SpeedButton1);
    expectFlags(f, 1, {true, false, false});  // armed
    tick2(f);
    expectFlags(f, 1, {true, false, true});  // repeating, one step made
    EXPECT_EQ(s.timeShiftDays, -7.0);
    EXPECT_TRUE(s.shiftPending && s.redrawRequested && s.rescaleRequested && s.autoFitRequested);
    EXPECT_EQ(f.Timer2->interval(), 210);
    // The axis moved at once, before any rebuild.
    EXPECT_EQ(f.Chart->BottomAxis().Minimum(), minimum - 7);
    EXPECT_EQ(f.Chart->BottomAxis().Maximum(), maximum - 7);
    EXPECT_FALSE(f.Chart->BottomAxis().Automatic());

    tick2(f);  // the step is not drawn yet
    EXPECT_EQ(s.timeShiftDays, -7.0);
    pass(f);
    EXPECT_FALSE(s.shiftPending);
    tick2(f);
    EXPECT_EQ(s.timeShiftDays, -14.0);
    EXPECT_EQ(f.Timer2->interval(), 70);
    pass(f);

    release(f, *f.SpeedButton1);
    expectFlags(f, 1, {true, true, true});  // stopping
    tick2(f);
    expectFlags(f, 1, {false, false, false});  // idle, no step
    EXPECT_EQ(s.timeShiftDays, -14.0);
    EXPECT_EQ(f.Timer2->interval(), 210);
    EXPECT_FALSE(s.redrawRequested);
}

TEST_F(Navigation, ReleaseBeforeTheFirstTickMakesExactlyOneStep) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    driver.apply(action("start"));
    press(f, *f.SpeedButton2);
    release(f, *f.SpeedButton2);
    expectFlags(f, 2, {true, true, false});  // released early
    tick2(f);
    expectFlags(f, 2, {false, true, false});
    EXPECT_EQ(f.state.timeShiftDays, 7.0);
    for (int i = 0; i < 5; ++i) {
        pass(f);
        tick2(f);
    }
    EXPECT_EQ(f.state.timeShiftDays, 7.0);
}

// A new press while the last one's work is left to a tick: a step still owed (released before
// its tick) is made at once instead of being taken over by the new press, and a repetition
// waiting for its end ends instead of giving the new press its first step at the fast
// interval, where a press of 80 ms spans two ticks. Either way two presses move two weeks.
TEST_F(Navigation, NewPressSettlesWhatTheLastLeftToTheTicks) {
    for (const bool tickDuringFirst : {false, true}) {
        SCOPED_TRACE(tickDuringFirst ? "repetition stopping" : "step owed");
        SnapshotDriver driver(options());
        TForm1& f = driver.form();
        driver.apply(action("start"));
        press(f, *f.SpeedButton1);
        if (tickDuringFirst) {
            tick2(f);
            pass(f);
        }
        release(f, *f.SpeedButton1);
        press(f, *f.SpeedButton1);
        EXPECT_EQ(f.state.timeShiftDays, -7.0);
        expectFlags(f, 1, {true, false, false});  // armed afresh
        pass(f);
        tick2(f);
        EXPECT_EQ(f.state.timeShiftDays, -14.0);
        EXPECT_EQ(f.Timer2->interval(), 210);
        release(f, *f.SpeedButton1);
        for (int i = 0; i < 3; ++i) {
            pass(f);
            tick2(f);
        }
        EXPECT_EQ(f.state.timeShiftDays, -14.0);
        expectFlags(f, 1, {false, false, false});
    }
}

TEST_F(Navigation, OtherMouseButtonsArmNothing) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    driver.apply(action("start"));
    f.state.timeButtonReleased = true;
    for (const MouseButton b : {MouseButton::Right, MouseButton::Middle}) {
        for (SpeedButton* button : {f.SpeedButton1.get(), f.SpeedButton2.get(), f.SpeedButton3.get()}) {
            SCOPED_TRACE(button->tag());
            press(f, *button, b);
            EXPECT_FALSE(f.state.buttonHeld[button->tag()]);
            release(f, *button, b);
        }
    }
    // The press cleared timeButtonReleased; the release was ignored.
    EXPECT_FALSE(f.state.timeButtonReleased);
    clearRequests(f.state);
    tick2(f);
    tick1(f);
    EXPECT_EQ(f.state.timeShiftDays, 0.0);
    EXPECT_FALSE(f.state.redrawRequested || f.state.shiftRepeating);
}

// A right press that came while a left click still waited for its step used to un-release it:
// the step then started a repetition that ran on with no button held.
TEST_F(Navigation, RightPressDuringAPendingClickDoesNotStartARepetition) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    driver.apply(action("start"));
    press(f, *f.SpeedButton1);
    release(f, *f.SpeedButton1);
    press(f, *f.SpeedButton1, MouseButton::Right);
    for (int i = 0; i < 6; ++i) {
        tick2(f);
        pass(f);
    }
    EXPECT_EQ(f.state.timeShiftDays, -7.0);
    expectFlags(f, 1, {false, true, false});
}

TEST_F(Navigation, HoldingBackStopsBeforeTheStoredPeriod) {
    struct Case {
        const char* now;
        const char* interval;
        int steps;
    };
    // Yesterday a Monday allows one step more than any later day of the week.
    const Case cases[] = {
        {"2017-10-31 12:00:00", "interval=month", 104}, {"2017-11-01 12:00:00", "interval=month", 103},
        {"2017-11-06 09:30:00", "interval=month", 103}, {"2017-10-31 12:00:00", "interval=year", 56},
        {"2017-11-01 12:00:00", "interval=year", 55},   {"2017-11-06 09:30:00", "interval=year", 55},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.now);
        SCOPED_TRACE(c.interval);
        SnapshotDriver driver(options(c.now));
        TForm1& f = driver.form();
        play(driver, {"start", c.interval, "hold-back=200"});
        const ViewerState& s = f.state;
        EXPECT_EQ(s.timeShiftDays, -7.0 * c.steps);
        EXPECT_GT(s.windowStartMjd, s.baseMjd);
        EXPECT_LE(s.windowStartMjd - 7, s.baseMjd);
        expectFlags(f, 1, {false, false, false});
        EXPECT_EQ(f.Timer2->interval(), 210);
        // Once at the limit a click makes no step.
        driver.apply(action("back"));
        EXPECT_EQ(s.timeShiftDays, -7.0 * c.steps);
        EXPECT_TRUE(driver.messages().empty());
    }
}

TEST_F(Navigation, HoldingForwardNeverShowsMoreThanThreeWeeksAhead) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    driver.apply(action("start"));
    const ViewerState& s = f.state;
    const double offset = s.mjdToDayOffset;
    for (int step = 1; step <= 6; ++step) {
        SCOPED_TRACE(step);
        driver.apply(action("forward"));
        EXPECT_EQ(s.timeShiftDays, std::min(7.0 * step, 21.0));
        EXPECT_EQ(s.windowEndMjd, s.homeEndMjd + s.timeShiftDays);
        EXPECT_EQ(f.Chart->BottomAxis().Maximum(), s.windowEndMjd + offset);
        EXPECT_LE(f.Chart->BottomAxis().EffectiveMaximum(), s.homeEndMjd + 21 + offset);
    }
    // A step beyond the limit moves the axis a week and the rebuild takes it back.
    press(f, *f.SpeedButton2);
    tick2(f);
    EXPECT_EQ(s.timeShiftDays, 28.0);
    EXPECT_EQ(f.Chart->BottomAxis().Maximum(), s.homeEndMjd + 28 + offset);
    pass(f);
    EXPECT_EQ(s.timeShiftDays, 21.0);
    EXPECT_EQ(f.Chart->BottomAxis().Maximum(), s.homeEndMjd + 21 + offset);
    release(f, *f.SpeedButton2);
    driver.apply(action("hold-forward=12"));
    EXPECT_EQ(s.timeShiftDays, 21.0);
}

TEST_F(Navigation, UndoRequestsARebuildEvenWithoutShift) {
    struct Case {
        bool fixed;
        bool rescale;
        bool autoFit;
    };
    for (const Case c : {Case{false, false, true}, Case{true, true, false}}) {
        SCOPED_TRACE(c.fixed);
        SnapshotDriver driver(options());
        TForm1& f = driver.form();
        play(driver, {"start", c.fixed ? "choose=on" : "choose=off"});
        clearRequests(f.state);
        f.SpeedButtonUndoClick(*f.SpeedButtonUndo);
        EXPECT_TRUE(f.state.redrawRequested);
        EXPECT_EQ(f.state.rescaleRequested, c.rescale);
        EXPECT_EQ(f.state.autoFitRequested, c.autoFit);
        const int drawings = f.Chart->drawingCount();
        pass(f);
        EXPECT_FALSE(f.state.redrawRequested);
        EXPECT_EQ(f.state.timeShiftDays, 0.0);
        EXPECT_GE(f.Chart->drawingCount(), drawings);
    }
}

TEST_F(Navigation, UndoReturnsToTheUnshiftedWindow) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    play(driver, {"start", "hold-back=5"});
    EXPECT_EQ(f.state.timeShiftDays, -35.0);
    driver.apply(action("undo"));
    EXPECT_EQ(f.state.timeShiftDays, 0.0);
    EXPECT_EQ(f.state.windowStartMjd, f.state.homeStartMjd);
}

TEST_F(Navigation, IntervalSwitchKeepsTheShift) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    const ViewerState& s = f.state;
    play(driver, {"start", "back", "back", "choose=on"});
    ASSERT_TRUE(f.CheckBoxChoise->checked());
    driver.apply(action("interval=year"));
    EXPECT_FALSE(f.CheckBoxChoise->checked());
    EXPECT_EQ(s.timeShiftDays, -14.0);
    EXPECT_EQ(s.homeStartMjd, 7.0 * (s.currentWeek - 51) + 42768);
    EXPECT_EQ(s.windowStartMjd, s.homeStartMjd - 14);
    EXPECT_EQ(f.Chart->BottomAxis().Increment(), 30.0);
    EXPECT_EQ(f.Chart->BottomAxis().MinorTickCount(), 3);
    driver.apply(action("interval=month"));
    EXPECT_EQ(s.timeShiftDays, -14.0);
    EXPECT_EQ(s.windowStartMjd, 7.0 * (s.currentWeek - 3) + 42768 - 14);
    EXPECT_EQ(f.Chart->BottomAxis().Increment(), 7.0);
}

TEST_F(Navigation, IntervalClickAsksForAFit) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    driver.apply(action("start"));
    clearRequests(f.state);
    f.Chart->LeftAxis().setAutomatic(true);
    f.RadioGroupIntervalClick(*f.RadioGroupInterval);
    EXPECT_TRUE(f.state.redrawRequested && f.state.autoFitRequested);
    EXPECT_FALSE(f.state.rescaleRequested);
    EXPECT_FALSE(f.Chart->LeftAxis().Automatic());
}

}  // namespace
}  // namespace pvz::testing
