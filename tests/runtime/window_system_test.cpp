// Controls, timers, the pending-event pump and the error display, driven through real toolkit
// events under the offscreen platform.
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/errors.h"
#include "runtime/window_system.h"
#include "runtime/window_system_input.h"
#include "tests/support/recording_dialogs.h"

namespace pvz {
namespace {

using namespace std::chrono_literals;
using pvz::testing::RecordingDialogs;

void pumpFor(std::chrono::milliseconds span) { Application::instance().waitForEvents(PumpClock::now() + span); }

class ShownForm : public ::testing::Test {
protected:
    void SetUp() override {
        form.setBounds(20, 30, 400, 300);
        form.show();
        pumpFor(20ms);
    }
    Form form;
};

// --- Check box ------------------------------------------------------------------------------

using CheckBoxTest = ShownForm;

TEST_F(CheckBoxTest, CheckedFromCodeRunsOnClickOnlyOnAChange) {
    CheckBox box(&form);
    box.setBounds(10, 10, 100, 17);
    std::vector<bool> seen;
    box.onClick = [&](CheckBox& b) { seen.push_back(b.checked()); };
    struct Step {
        bool set;
        std::vector<bool> expected;
    };
    const Step steps[] = {{false, {}}, {true, {true}}, {true, {true}}, {false, {true, false}}, {false, {true, false}}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.set);
        box.setChecked(step.set);
        EXPECT_EQ(box.checked(), step.set);
        EXPECT_EQ(seen, step.expected);
    }
}

TEST_F(CheckBoxTest, UserClickTogglesAndRunsOnClickOnce) {
    CheckBox box(&form);
    box.setBounds(10, 10, 100, 17);
    box.setCaption("Выбрать:");
    int clicks = 0;
    box.onClick = [&](CheckBox&) { ++clicks; };
    input::click(box, {5, 8});
    EXPECT_TRUE(box.checked());
    EXPECT_EQ(clicks, 1);
    box.setEnabled(false);
    input::click(box, {5, 8});
    EXPECT_TRUE(box.checked());
    EXPECT_EQ(clicks, 1);
}

TEST_F(CheckBoxTest, AnExceptionFromCodeGoesBackToTheCaller) {
    CheckBox box(&form);
    box.onClick = [](CheckBox&) { throw Exception("from the handler"); };
    EXPECT_THROW(box.setChecked(true), Exception);
    EXPECT_TRUE(box.checked());
}

// --- Combo box ------------------------------------------------------------------------------

using ComboBoxTest = ShownForm;

TEST_F(ComboBoxTest, FilledFromCodeRaisesNoChangeAndSelectsNothing) {
    for (ComboStyle style : {ComboStyle::DropDownList, ComboStyle::DropDown}) {
        SCOPED_TRACE(static_cast<int>(style));
        ComboBox combo(&form, style);
        int changes = 0;
        combo.onChange = [&](ComboBox&) { ++changes; };
        const std::vector<std::string> labels = {"M: 3 мс", "M: 2 мс", "M: 1 мс", "M: 0,5 мс", "M: 0,25 мс"};
        for (int i = 0; i < 5; ++i) combo.insertItem(i, labels[static_cast<std::size_t>(i)]);
        EXPECT_EQ(combo.itemCount(), 5);
        EXPECT_EQ(combo.itemIndex(), -1);
        combo.setItemIndex(2);
        EXPECT_EQ(combo.text(), "M: 1 мс");
        combo.insertItem(0, "first");  // the selection stays on its item
        EXPECT_EQ(combo.itemIndex(), 3);
        combo.clearItems();
        EXPECT_EQ(combo.itemIndex(), -1);
        EXPECT_EQ(combo.itemCount(), 0);
        for (int i = 0; i < 5; ++i) combo.insertItem(i, labels[static_cast<std::size_t>(i)]);
        combo.setItemIndex(0);
        combo.setText("M: 2 мс");
        EXPECT_EQ(combo.itemIndex(), 1);
        EXPECT_EQ(changes, 0);

        input::chooseItem(combo, 4);
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(combo.itemIndex(), 4);
        EXPECT_EQ(combo.item(4), "M: 0,25 мс");
    }
}

TEST_F(ComboBoxTest, TypedTextSelectsTheItemItSpellsAndOtherTextNone) {
    // Before, the box could read "16" while item 0 ("4") stayed selected and in force.
    struct Row {
        const char* typed;
        const char* text;
        int index;
        int changes;  // one per edit; the index follows each one
    };
    const Row rows[] = {{"2", "42", -1, 1},  {"\b", "", -1, 1},  {"\b16", "16", 6, 3},
                        {"\b1", "1", -1, 2}, {"\b8", "8", 2, 2}, {"", "4", 0, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        ComboBox combo(&form, ComboStyle::DropDown);
        for (const char* item : {"4", "6", "8", "10", "12", "14", "16"}) combo.addItem(item);
        combo.setItemIndex(0);
        int changes = 0;
        std::vector<int> indices;
        combo.onChange = [&](ComboBox& sender) {
            ++changes;
            indices.push_back(sender.itemIndex());
        };
        input::typeText(combo, row.typed);
        EXPECT_EQ(combo.text(), row.text);
        EXPECT_EQ(combo.itemIndex(), row.index);
        EXPECT_EQ(changes, row.changes);
        if (!indices.empty()) {
            EXPECT_EQ(indices.back(), row.index);
        }
    }
}

// --- Radio group ----------------------------------------------------------------------------

using RadioGroupTest = ShownForm;

TEST_F(RadioGroupTest, UserChoiceAndChangesFromCodeRunOnClickOnce) {
    RadioGroup group(&form);
    group.setBounds(8, 10, 241, 41);
    group.setCaption("ПВЗ:");
    group.setColumns(4);
    group.setItems({"UT1", "UT1R", "Xp", "Yp"});
    EXPECT_EQ(group.itemIndex(), -1);
    std::vector<int> seen;
    group.onClick = [&](RadioGroup& g) { seen.push_back(g.itemIndex()); };
    group.setItemIndex(0);
    group.setItemIndex(0);
    input::chooseItem(group, 2);
    input::chooseItem(group, 2);
    input::chooseItem(group, 3);
    EXPECT_EQ(seen, (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(group.itemIndex(), 3);
}

// --- Tool buttons, enumeration, geometry ----------------------------------------------------

using ControlTest = ShownForm;

TEST_F(ControlTest, ToolButtonMouseEventsCarryTheButton) {
    GroupBox box(&form);
    box.setBounds(10, 10, 120, 40);
    SpeedButton button(&box);
    button.setBounds(6, 9, 27, 27);
    button.setGlyph(Glyph::TriangleLeft);
    button.setTag(1);
    std::vector<std::string> seen;
    const auto record = [&](const char* what) {
        return [&seen, what](SpeedButton& b, MouseButton m, int, int) {
            seen.push_back(std::string(what) + std::to_string(b.tag()) + (m == MouseButton::Left ? "L" : "R"));
        };
    };
    button.onMouseDown = record("down");
    button.onMouseUp = record("up");
    input::press(button, MouseButton::Left, {10, 10});
    input::release(button, MouseButton::Left, {10, 10});
    input::press(button, MouseButton::Right, {10, 10});
    input::release(button, MouseButton::Right, {10, 10});
    EXPECT_EQ(seen, (std::vector<std::string>{"down1L", "up1L", "down1R", "up1R"}));

    // Inside a disabled group nothing reaches the handlers.
    box.setEnabled(false);
    EXPECT_TRUE(button.enabled());
    input::press(button, MouseButton::Left, {10, 10});
    EXPECT_EQ(seen.size(), 4u);
}

TEST_F(ControlTest, ChildrenAreListedInCreationOrderAndLeaveTheListWhenDestroyed) {
    PanelControl chart(&form);
    CheckBox first(&chart);
    GroupBox group(&chart);
    Label inner(&group);
    {
        Button temporary(&chart);
        EXPECT_EQ(chart.childCount(), 3);
    }
    CheckBox last(&chart);
    ASSERT_EQ(chart.childCount(), 3);
    EXPECT_EQ(&chart.child(0), &first);
    EXPECT_EQ(&chart.child(1), &group);
    EXPECT_EQ(&chart.child(2), &last);
    int checkBoxes = 0;
    for (int i = 0; i < chart.childCount(); ++i) checkBoxes += dynamic_cast<CheckBox*>(&chart.child(i)) != nullptr;
    EXPECT_EQ(checkBoxes, 2);
    EXPECT_EQ(group.childCount(), 1);
    EXPECT_EQ(inner.parent(), &group);
}

TEST_F(ControlTest, ScreenToClientUndoesTheControlsPosition) {
    GroupBox group(&form);
    group.setBounds(30, 40, 200, 100);
    Label label(&group);
    label.setBounds(7, 9, 50, 13);
    const Point origin = label.clientToScreen({0, 0});
    EXPECT_EQ(label.screenToClient(origin), (Point{0, 0}));
    EXPECT_EQ(group.screenToClient(origin), (Point{7, 9}));
    EXPECT_EQ(form.screenToClient({origin.x + 3, origin.y + 4}), (Point{40, 53}));
}

TEST_F(ControlTest, PointerPositionFollowsTheMouse) {
    PanelControl panel(&form);
    panel.setBounds(10, 10, 200, 200);
    input::moveMouse(panel, {25, 35});
    Point at;
    ASSERT_TRUE(pointerScreenPosition(at));
    EXPECT_EQ(panel.screenToClient(at), (Point{25, 35}));
}

// The tip of a control that works its hint out where the pointer rests: a text per area, no tip
// where the source gives none, the stored hint back once the source is removed, and an
// exception from the source shown in the error box instead of a tip.
TEST_F(ControlTest, HintSourceAnswersWhereThePointerRests) {
    RecordingDialogs dialogs;
    PanelControl panel(&form);
    panel.setBounds(10, 10, 200, 100);
    panel.setHint("stored");
    std::vector<Point> asked;
    panel.setHintSource([&](Point at, Rect& area) -> std::string {
        asked.push_back(at);
        EXPECT_EQ(area, (Rect{0, 0, 200, 100}));
        if (at.x >= 150) throw EInvalidOp();
        if (at.y >= 50) return {};
        area = at.x < 100 ? Rect{0, 0, 100, 50} : Rect{100, 0, 200, 50};
        return at.x < 100 ? "левая" : "right";
    });
    const struct {
        Point at;
        const char* tip;
    } rows[] = {{{20, 20}, "левая"}, {{120, 20}, "right"}, {{20, 70}, ""}, {{99, 49}, "левая"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.tip);
        EXPECT_EQ(input::restPointer(panel, row.at), row.tip);
    }
    EXPECT_EQ(asked.size(), std::size(rows));
    EXPECT_TRUE(dialogs.errors.empty());

    EXPECT_EQ(input::restPointer(panel, {160, 20}), "");
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"Invalid floating point operation."}));

    panel.setHintSource({});
    EXPECT_EQ(input::restPointer(panel, {20, 20}), "stored");
}

TEST_F(ControlTest, StatusBarTakesTheBottomAndAClientControlTheRest) {
    PanelControl chart(&form);
    chart.setAlign(Align::Client);
    StatusBar status(&form);
    status.setSimpleText("  Нажмите кнопку \"Старт\"");
    pumpFor(10ms);
    EXPECT_EQ(status.height(), 19);
    EXPECT_EQ(status.top(), form.clientHeight() - 19);
    EXPECT_EQ(status.width(), form.clientWidth());
    EXPECT_EQ(chart.height(), form.clientHeight() - 19);
    form.setHeight(350);
    EXPECT_EQ(status.top(), 350 - 19);
    EXPECT_EQ(chart.height(), 350 - 19);
    EXPECT_EQ(status.simpleText(), "  Нажмите кнопку \"Старт\"");
}

TEST_F(ControlTest, AutoSizedStaticTextFollowsItsCaption) {
    StaticText text(&form);
    text.setAutoSize(true);
    text.setCaption("57000.0");
    const int shortWidth = text.width();
    text.setCaption("57000.0 57000.0");
    EXPECT_GT(text.width(), shortWidth);
    StaticText fixed(&form);
    fixed.setBounds(5, 21, 81, 17);
    fixed.setBorderStyle(BorderStyle::Sunken);
    fixed.setCaption("Текущий: очень длинный текст");
    EXPECT_EQ(fixed.width(), 81);
    EXPECT_EQ(fixed.height(), 17);
}

TEST_F(ControlTest, OwnColourAndDefaultColour) {
    GroupBox box(&form);
    EXPECT_EQ(box.color(), clBtnFace);  // the form's
    box.setColor(clInactiveBorder);
    Label label(&box);
    EXPECT_EQ(label.color(), clInactiveBorder);
}

// --- Form -----------------------------------------------------------------------------------

TEST(FormTest, CreationHandlerRunsOnceBeforeTheFirstShowAndCloseHandlerOnClose) {
    Form form;
    std::vector<std::string> events;
    form.onCreate = [&] { events.push_back(form.shown() ? "create shown" : "create"); };
    form.onClose = [&] { events.push_back("close"); };
    form.show();
    EXPECT_TRUE(form.shown());
    form.show();
    form.close();
    EXPECT_FALSE(form.shown());
    EXPECT_EQ(events, (std::vector<std::string>{"create", "close"}));
}

TEST(FormTest, MaximisedWithoutWindowManagerTakesTheAvailableScreen) {
    Form form;
    form.setBounds(72, 49, 300, 200);
    form.setMaximized(true);
    form.show();
    pumpFor(500ms);
    EXPECT_TRUE(form.maximized());
    EXPECT_GE(form.width(), Application::instance().screenWidth() - 16);  // less the frame, if any
}

TEST(FormTest, MaximisedWhileShownWithoutWindowManagerTakesTheAvailableScreen) {
    Form form;
    form.setBounds(72, 49, 300, 200);
    form.show();
    form.setMaximized(true);
    pumpFor(500ms);
    EXPECT_TRUE(form.maximized());
    EXPECT_GE(form.width(), Application::instance().screenWidth() - 16);
}

TEST(FormTest, RestoredBeforeTheFallbackKeepsItsSize) {
    Form form;
    form.setBounds(72, 49, 300, 200);
    form.setMaximized(true);
    form.show();
    form.setMaximized(false);
    pumpFor(500ms);
    EXPECT_FALSE(form.maximized());
    EXPECT_LT(form.width(), Application::instance().screenWidth() / 2);
}

// --- Timers ---------------------------------------------------------------------------------

// Milliseconds from creation to the first tick, after optionally setting `newInterval` at `at`.
double firstTickAfter(int interval, int newInterval, std::chrono::milliseconds at) {
    const auto start = PumpClock::now();
    Timer timer(interval);
    double first = -1;
    timer.onTimer = [&](Timer& t) {
        if (first < 0) first = std::chrono::duration<double, std::milli>(PumpClock::now() - start).count();
        t.setEnabled(false);
    };
    Application::instance().waitForEvents(start + at);
    timer.setInterval(newInterval);
    Application::instance().waitForEvents(start + std::chrono::milliseconds(interval + newInterval + 300));
    return first;
}

TEST(TimerTest, SettingTheSameIntervalKeepsTheCount) {
    // Restarted at 200 ms, the first tick would come at 500 ms at the earliest.
    const double first = firstTickAfter(300, 300, 200ms);
    EXPECT_GE(first, 295);
    EXPECT_LT(first, 495);
}

TEST(TimerTest, SettingADifferentIntervalRestartsTheCount) {
    const double first = firstTickAfter(300, 310, 200ms);
    EXPECT_GE(first, 495);
}

TEST(TimerTest, RunsFromCreationAndRepeats) {
    Timer timer(40);
    int ticks = 0;
    timer.onTimer = [&](Timer&) { ++ticks; };
    EXPECT_TRUE(timer.enabled());
    pumpFor(300ms);
    EXPECT_GE(ticks, 3);
    timer.setEnabled(false);
    const int stopped = ticks;
    pumpFor(100ms);
    EXPECT_EQ(ticks, stopped);
}

// --- Error display --------------------------------------------------------------------------

TEST(ErrorDisplayText, AppendsAFullStopAfterCharactersAboveIt) {
    struct Row {
        const char* message;
        const char* shown;
    };
    const Row rows[] = {
        {"Invalid numeric input", "Invalid numeric input."},
        {"Ends with a stop.", "Ends with a stop."},
        {"Путь к файлам данных указан неверно!", "Путь к файлам данных указан неверно!"},
        {"File not found: a/", "File not found: a/."},  // '/' is the character right above '.'
        {"Code -", "Code -"},                           // '-' is right below it
        {"code 106", "code 106."},
        {"x)", "x)"},
        {"Ошибка", "Ошибка."},
        {"", ""},
        // The rule is the first line's; a line below says where the failure was.
        {"Invalid numeric input\nФайл iers.dat, строка 101", "Invalid numeric input.\nФайл iers.dat, строка 101"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        EXPECT_EQ(errorDisplayText(row.message), row.shown);
    }
}

TEST(MessageBox, IsWideEnoughForTheWholeTitle) {
    // A box as narrow as its text had the title cut by the window manager ("Про…иков").
    Application& application = Application::instance();
    const std::string previous = application.title();
    application.setTitle("Просмотр графиков");
    const int title = titleBarWidth("Просмотр графиков");
    EXPECT_GT(title, titleBarWidth("Про"));
    for (const char* text : {"", "Ошибка.", "Invalid numeric input.", "Путь к файлам данных указан неверно!"}) {
        SCOPED_TRACE(text);
        EXPECT_GE(messageBoxWidth(text), title);
    }
    // A text longer than the title widens the box as before.
    const std::string line(200, 'W');
    EXPECT_GT(messageBoxWidth(line), title);
    application.setTitle(previous);
}

TEST(ErrorDisplay, AnExceptionFromATimerIsShownAndTheNextTickStillRuns) {
    RecordingDialogs dialogs;
    Timer timer(30);
    int ticks = 0;
    timer.onTimer = [&](Timer& t) {
        ++ticks;
        if (ticks == 1) throw EInOutError(106, "Invalid numeric input");
        if (ticks == 2) throw std::runtime_error("second failure!");
        if (ticks >= 3) t.setEnabled(false);
    };
    pumpFor(400ms);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"Invalid numeric input.", "second failure!"}));
}

class ThrowingPanel : public PanelControl {
public:
    using PanelControl::PanelControl;
    bool painting = false;

protected:
    void paint() override {
        painting = true;
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{painting};
        throw EZeroDivide();
    }
};

class PaintCheckingDialogs : public RecordingDialogs {
public:
    const ThrowingPanel* panel = nullptr;
    bool shownDuringPaint = false;
    void showError(const std::string& text) override {
        shownDuringPaint = shownDuringPaint || (panel != nullptr && panel->painting);
        RecordingDialogs::showError(text);
    }
};

TEST(ErrorDisplay, AnExceptionFromPaintIsShownAfterThePaintEvent) {
    PaintCheckingDialogs dialogs;
    Form form;
    form.setBounds(0, 0, 100, 100);
    ThrowingPanel panel(&form);
    panel.setAlign(Align::Client);
    dialogs.panel = &panel;
    form.show();
    pumpFor(50ms);
    ASSERT_FALSE(dialogs.errors.empty());
    EXPECT_EQ(dialogs.errors.front(), "Floating point division by zero.");
    EXPECT_FALSE(dialogs.shownDuringPaint);
}

TEST(ErrorDisplay, AnExceptionFromAClickHandlerIsShown) {
    RecordingDialogs dialogs;
    Form form;
    form.show();
    Button button(&form);
    button.setBounds(10, 10, 62, 23);
    button.onClick = [](Button&) { throw EConvertError(); };
    input::click(button);
    pumpFor(10ms);
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"Invalid argument to date encode."}));
}

// --- Pump -----------------------------------------------------------------------------------

TEST(PumpTest, WaitDeliversTimersAndReturnsAtTheDeadline) {
    Timer fast(70);
    Timer slow(210);
    int fastTicks = 0, slowTicks = 0;
    fast.onTimer = [&](Timer&) { ++fastTicks; };
    slow.onTimer = [&](Timer&) { ++slowTicks; };
    const auto start = PumpClock::now();
    Application::instance().waitForEvents(start + 500ms);
    const auto waited = PumpClock::now() - start;
    EXPECT_GE(waited, 500ms);
    EXPECT_GE(fastTicks, 5);
    EXPECT_GE(slowTicks, 1);
}

TEST(PumpTest, PendingEventsAreDeliveredWithoutWaiting) {
    Form form;
    form.show();
    Button button(&form);
    int clicks = 0;
    button.onClick = [&](Button&) { ++clicks; };
    Application::instance().processPendingEvents();
    input::click(button);
    EXPECT_EQ(clicks, 1);
}

// Termination changes the whole process, so these run in a child process.
TEST(PumpDeathTest, AfterATerminationRequestWaitsSleepInsteadOfSpinning) {
    EXPECT_EXIT(
        {
            Application& app = Application::instance();
            app.terminate();
            const auto start = PumpClock::now();
            app.waitForEvents(start + 300ms);
            const auto waited = PumpClock::now() - start;
            std::_Exit(app.terminationRequested() && waited >= 290ms ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(PumpDeathTest, ExitNowEndsTheProcessWithCodeZero) {
    EXPECT_EXIT(
        {
            Form form;
            form.show();
            Application::instance().exitNow();
        },
        ::testing::ExitedWithCode(0), "");
}

// --- Dialogs --------------------------------------------------------------------------------

// The toolkit's directory chooser says in its title what to choose.
TEST(DialogsTest, ChooserHasTheTitleGiven) {
    std::string title;
    Timer answer(20);
    answer.onTimer = [&title](Timer&) {
        if (input::openDialogCount() == 0) return;
        title = input::dialogTitle();
        input::answerDialog(input::DialogAnswer::Reject);
    };
    EXPECT_FALSE(chooseDirectory("/", "Выберите папку с файлами данных ПВЗ").confirmed);
    EXPECT_EQ(title, "Выберите папку с файлами данных ПВЗ");
}

TEST(DialogsTest, ReplaceableAndCurrentDirectoryIsAbsolute) {
    RecordingDialogs dialogs;
    dialogs.answers.push_back({true, "/data/pvz"});
    showMessage("Путь к файлам данных указан неверно!");
    const DirectoryChoice choice = chooseDirectory(currentDirectory(), "Папка");
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"Путь к файлам данных указан неверно!"}));
    ASSERT_EQ(dialogs.chooserStarts.size(), 1u);
    EXPECT_EQ(dialogs.chooserStarts[0].front(), '/');
    EXPECT_TRUE(choice.confirmed);
    EXPECT_EQ(choice.directory, "/data/pvz");
    EXPECT_FALSE(chooseDirectory("/", "Папка").confirmed);
}

}  // namespace
}  // namespace pvz
