// The keyboard: the tool buttons' keys behave as the mouse on the buttons, held keys included;
// Start hands the focus on and ignores the rest of a double click.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "app/shortcuts.h"
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
