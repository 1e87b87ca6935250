// The keyboard: the tool buttons' keys behave as the mouse on the buttons, held keys included;
// Start hands the focus on and ignores the rest of a double click.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "app/shortcuts.h"
#include "app/view_arithmetic.h"
#include "runtime/window_system_input.h"
#include "tests/app/viewer_fixture.h"

namespace pvz::testing {
namespace {

struct KeyCase {
    const char* name;
    std::vector<const char*> keys;   // actions with keys
    std::vector<const char*> mouse;  // the same with the mouse
    friend void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }
};

class KeysAsMouse : public ViewerTest, public ::testing::WithParamInterface<KeyCase> {};

// The same actions by key and by mouse leave the same time shift, axis ranges and scale mode.
TEST_P(KeysAsMouse, KeyDoesWhatTheMouseDoes) {
    SnapshotDriver byKey(options());
    SnapshotDriver byMouse(options());
    for (SnapshotDriver* d : {&byKey, &byMouse}) play(*d, {"start", "choose=on"});
    for (const char* a : GetParam().keys) byKey.apply(action(a));
    for (const char* a : GetParam().mouse) byMouse.apply(action(a));
    const TForm1& k = byKey.form();
    const TForm1& m = byMouse.form();
    EXPECT_EQ(k.state.timeShiftDays, m.state.timeShiftDays);
    EXPECT_EQ(k.Chart->LeftAxis().Minimum(), m.Chart->LeftAxis().Minimum());
    EXPECT_EQ(k.Chart->LeftAxis().Maximum(), m.Chart->LeftAxis().Maximum());
    EXPECT_EQ(k.Chart->BottomAxis().Minimum(), m.Chart->BottomAxis().Minimum());
    EXPECT_EQ(k.CheckBoxChoise->checked(), m.CheckBoxChoise->checked());
    for (int tag = 1; tag <= 6; ++tag) EXPECT_EQ(k.state.buttonHeld[tag], m.state.buttonHeld[tag]) << tag;
    // Something happened at all: the case is not two idle runs.
    SnapshotDriver idle(options());
    play(idle, {"start", "choose=on"});
    const bool moved = k.state.timeShiftDays != idle.form().state.timeShiftDays ||
                       k.Chart->LeftAxis().Minimum() != idle.form().Chart->LeftAxis().Minimum() ||
                       k.CheckBoxChoise->checked() != idle.form().CheckBoxChoise->checked();
    EXPECT_TRUE(moved);
}

INSTANTIATE_TEST_SUITE_P(
    ToolButtons, KeysAsMouse,
    ::testing::Values(
        KeyCase{"BackTap", {"key=Ctrl+Left"}, {"back"}},
        KeyCase{"ForwardTap", {"key=Ctrl+Left", "key=Ctrl+Left", "key=Ctrl+Right"}, {"back", "back", "forward"}},
        KeyCase{"BackHeld", {"key-down=Ctrl+Left", "wait=630", "key-up=Ctrl+Left"}, {"hold-back=5"}},
        KeyCase{"UpHeld", {"key-down=Ctrl+Up", "wait=700", "key-up=Ctrl+Up"}, {"up=10"}},
        KeyCase{"DownHeld", {"key-down=Ctrl+Down", "wait=350", "key-up=Ctrl+Down"}, {"down=5"}},
        KeyCase{"StretchPlus", {"key-down=Ctrl++", "wait=210", "key-up=Ctrl++"}, {"stretch=3"}},
        KeyCase{"StretchEquals", {"key-down=Ctrl+=", "wait=140", "key-up=Ctrl+="}, {"stretch=2"}},
        KeyCase{"CompressMinus", {"key-down=Ctrl+-", "wait=280", "key-up=Ctrl+-"}, {"compress=4"}},
        KeyCase{"Home",
                {"key=Ctrl+Left", "key=Ctrl+Left", "key=Ctrl+Home", "key=Ctrl+Left"},
                {"back", "back", "undo", "back"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Holding a key repeats it: the auto-repeated presses and releases are no new press and no
// release, and only the real release ends the hold.
TEST_F(ViewerTest, AutoRepeatIsNoNewPress) {
    SnapshotDriver driver(options());
    driver.apply(action("start"));
    TForm1& f = driver.form();
    input::pressKey(f, "Ctrl+Left");
    EXPECT_TRUE(f.state.buttonHeld[1]);
    EXPECT_FALSE(f.state.timeButtonReleased);
    for (int i = 0; i < 5; ++i) {
        input::releaseKey(f, "Ctrl+Left", input::KeyRepeat::AutoRepeat);
        input::pressKey(f, "Ctrl+Left", input::KeyRepeat::AutoRepeat);
        EXPECT_TRUE(f.state.buttonHeld[1]) << i;
        EXPECT_FALSE(f.state.timeButtonReleased) << i;
    }
    // Ctrl may be let go first: the release of the arrow still ends the hold.
    input::releaseKey(f, "Left");
    EXPECT_TRUE(f.state.timeButtonReleased);
}

// A hold ends when the key that started it comes up, in whatever order a person lets go of
// Shift and Ctrl, and whether or not the events name the physical key: "+" pressed comes up
// as "=" once Shift is gone.
TEST_F(ViewerTest, HoldEndsWhenItsKeyComesUp) {
    enum Edge { Down, Up, Wait };
    struct Row {
        const char* name;
        std::vector<std::pair<Edge, const char*>> keys;
    };
    const Row rows[] = {
        {"Shift let go first",
         {{Down, "Ctrl"},
          {Down, "Ctrl+Shift"},
          {Down, "Ctrl+Shift++"},
          {Wait, "wait=300"},
          {Up, "Ctrl+Shift"},
          {Up, "Ctrl+="},
          {Up, "Ctrl"}}},
        {"Shift pressed while held",
         {{Down, "Ctrl"},
          {Down, "Ctrl+="},
          {Wait, "wait=300"},
          {Down, "Ctrl+Shift"},
          {Up, "Ctrl+Shift++"},
          {Up, "Ctrl+Shift"},
          {Up, "Ctrl"}}},
        {"Ctrl let go first", {{Down, "Ctrl"}, {Down, "Ctrl+Up"}, {Wait, "wait=300"}, {Up, "Up"}, {Up, "Ctrl"}}},
        {"keypad plus", {{Down, "Ctrl"}, {Down, "Ctrl+Num++"}, {Wait, "wait=300"}, {Up, "Ctrl+Num++"}, {Up, "Ctrl"}}},
        {"keypad minus", {{Down, "Ctrl"}, {Down, "Ctrl+Num+-"}, {Wait, "wait=300"}, {Up, "Ctrl"}, {Up, "Num+-"}}},
    };
    for (const input::KeyCode code : {input::KeyCode::UsKeyboard, input::KeyCode::None}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (code == input::KeyCode::None ? ", no key codes" : ""));
            SnapshotDriver driver(options());
            driver.apply(action("start"));
            TForm1& f = driver.form();
            const TChartAxis& axis = f.Chart->LeftAxis();
            const double minimum = axis.Minimum();
            for (const auto& [edge, keys] : row.keys) {
                if (edge == Wait) driver.apply(action(keys));
                if (edge == Down) input::pressKey(f, keys, input::KeyRepeat::No, code);
                if (edge == Up) input::releaseKey(f, keys, input::KeyRepeat::No, code);
            }
            EXPECT_NE(axis.Minimum(), minimum);
            for (int tag = 1; tag <= 6; ++tag) EXPECT_FALSE(f.state.buttonHeld[tag]) << tag;
            // Nothing goes on moving by itself.
            const double left = axis.Minimum();
            driver.apply(action("wait=500"));
            EXPECT_EQ(axis.Minimum(), left);
        }
    }
}

// A key held while the window loses the focus never sees its release: the hold ends with the
// focus, and the late release makes no step of its own.
TEST_F(ViewerTest, LosingTheFocusEndsTheHold) {
    SnapshotDriver driver(options());
    driver.apply(action("start"));
    TForm1& f = driver.form();
    input::pressKey(f, "Ctrl+Down");
    driver.apply(action("wait=300"));
    input::loseFocus(f);
    EXPECT_FALSE(f.state.buttonHeld[4]);
    const double minimum = f.Chart->LeftAxis().Minimum();
    driver.apply(action("wait=500"));
    input::releaseKey(f, "Ctrl+Down");
    EXPECT_EQ(f.Chart->LeftAxis().Minimum(), minimum);
}

// Presses shorter than a timer tick, as taps on a touchpad, remote desktops and on-screen
// keyboards make them: each makes exactly one step, by mouse and by key alike.
TEST_F(ViewerTest, EveryShortPressMakesOneStep) {
    const std::pair<VerticalStep, const char*> buttons[] = {
        {VerticalStep::ShiftUp, "Ctrl+Up"},
        {VerticalStep::ShiftDown, "Ctrl+Down"},
        {VerticalStep::Stretch, "Ctrl++"},
        {VerticalStep::Compress, "Ctrl+-"},
    };
    enum class How { InstantClick, ClickOf20Ms, KeyTap };
    for (const auto& [step, key] : buttons) {
        for (const How how : {How::InstantClick, How::ClickOf20Ms, How::KeyTap}) {
            SCOPED_TRACE(std::string(key) + " " + std::to_string(static_cast<int>(how)));
            SnapshotDriver driver(options());
            driver.apply(action("start"));
            TForm1& f = driver.form();
            SpeedButton* const tools[] = {f.SpeedButton3.get(), f.SpeedButton4.get(), f.SpeedButton5.get(),
                                          f.SpeedButton6.get()};
            SpeedButton& button = *tools[static_cast<int>(step) - 3];
            const TChartAxis& axis = f.Chart->LeftAxis();
            double minimum = axis.Minimum();
            double maximum = axis.Maximum();
            for (int press = 0; press < 4; ++press) {
                if (how == How::KeyTap) {
                    driver.apply(action(("key=" + std::string(key)).c_str()));
                } else {
                    const Point centre{button.width() / 2, button.height() / 2};
                    input::press(button, MouseButton::Left, centre);
                    if (how == How::ClickOf20Ms) driver.apply(action("wait=20"));
                    input::release(button, MouseButton::Left, centre);
                }
                driver.apply(action("wait=150"));
                const auto range = verticalStep(step, minimum, maximum);
                ASSERT_TRUE(range);
                minimum = range->minimum;
                maximum = range->maximum;
                EXPECT_EQ(axis.Minimum(), minimum) << press;
                EXPECT_EQ(axis.Maximum(), maximum) << press;
            }
        }
    }
}

// Taps on the time buttons that each end before the repetition starts move the window by one
// week each, whatever the phase of the timer when the first comes.
TEST_F(ViewerTest, TapsOnTheTimeButtonsMoveOneWeekEach) {
    for (const bool byKey : {true, false}) {
        for (int phase = 0; phase < 210; phase += 10) {
            SCOPED_TRACE(std::string(byKey ? "Ctrl+Left" : "mouse") + " after " + std::to_string(phase) + " ms");
            SnapshotDriver driver(options());
            driver.apply(action("start"));
            TForm1& f = driver.form();
            if (phase > 0) driver.apply(action(("wait=" + std::to_string(phase)).c_str()));
            SpeedButton& back = *f.SpeedButton1;
            const Point centre{back.width() / 2, back.height() / 2};
            for (int tap = 0; tap < 4; ++tap) {
                if (byKey)
                    input::pressKey(f, "Ctrl+Left");
                else
                    input::press(back, MouseButton::Left, centre);
                driver.apply(action("wait=80"));
                if (byKey)
                    input::releaseKey(f, "Ctrl+Left");
                else
                    input::release(back, MouseButton::Left, centre);
                driver.apply(action("wait=120"));
            }
            driver.apply(action("wait=1000"));
            EXPECT_EQ(f.state.timeShiftDays, -28.0);
        }
    }
}

// A bound key works wherever the focus is, even in the editable grid box, whose text field
// would otherwise take Ctrl+Left for itself.
TEST_F(ViewerTest, ToolKeysWorkWithTheFocusInAnEditField) {
    SnapshotDriver driver(options());
    driver.apply(action("start"));
    TForm1& f = driver.form();
    f.ComboBoxGrid->setFocus();
    ASSERT_TRUE(f.ComboBoxGrid->hasFocus());
    driver.apply(action("key=Ctrl+Left"));
    EXPECT_EQ(f.state.timeShiftDays, -7.0);
    EXPECT_EQ(f.ComboBoxGrid->text(), "4");
}

// Before Start the tool buttons sit in a disabled group: their keys do nothing.
TEST_F(ViewerTest, ToolKeysDoNothingBeforeStart) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    const double minimum = f.Chart->LeftAxis().Minimum();
    for (const char* a : {"key=Ctrl+Left", "key-down=Ctrl+Up", "wait=300", "key-up=Ctrl+Up", "key=Ctrl+Home"})
        driver.apply(action(a));
    EXPECT_EQ(f.state.timeShiftDays, 0.0);
    for (int tag = 1; tag <= 6; ++tag) EXPECT_FALSE(f.state.buttonHeld[tag]) << tag;
    EXPECT_EQ(f.Chart->LeftAxis().Minimum(), minimum);
}

// Tab walks through every control in the order of the layout: the bottom row from left to
// right, Start, the scale group from top to bottom, the legend's boxes from top to bottom, and
// round again; Shift+Tab walks back.
TEST_F(ViewerTest, TabFollowsTheLayout) {
    SnapshotDriver driver(options());
    driver.apply(action("start"));
    TForm1& f = driver.form();
    std::vector<const Control*> order = {f.RadioGroupPVZ.get(),  f.RadioGroupInterval.get(), f.RadioGroupTrend.get(),
                                         f.CheckBoxViz.get(),    f.BitBtnStart.get(),        f.EditScale.get(),
                                         f.CheckBoxChoise.get(), f.ComboBoxScaleY.get(),     f.ComboBoxGrid.get()};
    for (int tag = 1; tag <= kSeriesSlotCount; ++tag) order.push_back(&f.seriesCheckBox(tag));
    const auto focused = [&] {
        for (std::size_t i = 0; i < order.size(); ++i)
            if (order[i]->hasFocus()) return static_cast<int>(i);
        return -1;
    };
    ASSERT_EQ(focused(), 0);
    const int n = static_cast<int>(order.size());
    for (int i = 1; i <= n; ++i) {
        driver.apply(action("key=Tab"));
        EXPECT_EQ(focused(), i % n) << i;
    }
    for (int i = n - 1; i >= 0; --i) {
        driver.apply(action("key=Shift+Tab"));
        EXPECT_EQ(focused(), i) << i;
    }
}

TEST_F(ViewerTest, HintsShowTheKeys) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    const std::pair<SpeedButton*, const char*> hints[] = {
        {f.SpeedButton1.get(), "Сдвиг по времени назад (Ctrl+Left)"},
        {f.SpeedButton2.get(), "Сдвиг по времени вперед (Ctrl+Right)"},
        {f.SpeedButton3.get(), "Сдвиг вверх (Ctrl+Up)"},
        {f.SpeedButton4.get(), "Сдвиг вниз (Ctrl+Down)"},
        {f.SpeedButton5.get(), "Растянуть по вертикали (Ctrl+Plus)"},
        {f.SpeedButton6.get(), "Сжать по вертикали (Ctrl+Minus)"},
        {f.SpeedButtonUndo.get(), "Возврат к текущей дате (Ctrl+Home)"},
        {f.SpeedButtonDifferences.get(), "Разности от КВЕЛ (Ctrl+D)"},
    };
    for (const auto& [button, hint] : hints) EXPECT_EQ(button->hint(), hint);
    EXPECT_EQ(toolButtonKeys().size(), std::size(hints));
}

// After Space starts the program the focus is on the parameter selector, so a second Space or
// Enter does not end it.
TEST_F(ViewerTest, FocusLeavesStartAfterLoading) {
    SnapshotDriver driver(options());
    TForm1& f = driver.form();
    f.BitBtnStart->setFocus();
    ASSERT_TRUE(f.BitBtnStart->hasFocus());
    driver.apply(action("key=Space"));
    ASSERT_TRUE(f.state.running);
    EXPECT_FALSE(f.BitBtnStart->hasFocus());
    EXPECT_TRUE(f.RadioGroupPVZ->hasFocus());
    for (const char* a : {"wait=1000", "key=Space", "key=Return", "key=Enter"}) driver.apply(action(a));
    EXPECT_FALSE(driver.ended());
    EXPECT_EQ(f.RadioGroupPVZ->itemIndex(), 0);
}

// A second press of Start ends the program only when it comes later than the double-click
// interval after the first.
TEST_F(ViewerTest, DoubleClickOnStartDoesNotEndTheProgram) {
    const int interval = Application::instance().doubleClickInterval();
    ASSERT_GT(interval, 0);
    struct Row {
        int gapMs;
        bool ends;
    };
    for (const Row row :
         {Row{0, false}, Row{120, false}, Row{interval, false}, Row{interval + 1, true}, Row{2000, true}}) {
        SCOPED_TRACE(row.gapMs);
        SnapshotDriver driver(options());
        // The gap counts from the first press; loading and the first drawings take part of it.
        const double pressedAt = driver.elapsedMs();
        driver.apply(action("start"));
        const int rest = row.gapMs - static_cast<int>(std::ceil(driver.elapsedMs() - pressedAt));
        if (rest > 0) driver.apply(action(("wait=" + std::to_string(rest)).c_str()));
        driver.apply(action("start"));
        EXPECT_EQ(driver.ended(), row.ends);
        EXPECT_TRUE(driver.form().state.running);
        // A press ignored as part of a double click leaves the next one in force.
        if (!row.ends) {
            driver.apply(action(("wait=" + std::to_string(interval + 1)).c_str()));
            driver.apply(action("start"));
            EXPECT_TRUE(driver.ended());
        }
    }
}

}  // namespace
}  // namespace pvz::testing
