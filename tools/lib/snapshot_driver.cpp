#include "tools/lib/snapshot_driver.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>

#include "data/series_building.h"
#include "runtime/calendar.h"
#include "runtime/errors.h"
#include "runtime/window_system_input.h"
#include "tools/lib/json_writer.h"

namespace pvz {
namespace {

// Bounds, in passes of the display cycle, that keep a run finite whatever the handlers do.
constexpr int kSettlePasses = 100;
// A time step waits at most a few passes for its rebuild and 210 ms for its tick.
constexpr int kPassesPerTick = 16;
constexpr int kIdleTicks = 2000;
// A data directory that never holds a file would otherwise ask for a directory for ever.
constexpr int kChooserOpenings = 5;

}  // namespace

// Message boxes answered OK and recorded; the directory chooser answers as told.
class SnapshotDriver::Dialogs : public DialogService {
public:
    explicit Dialogs(const SnapshotOptions& options) : options_(options) {}

    void showMessage(const std::string& text) override { messages.push_back(text); }
    void showError(const std::string& text) override { messages.push_back(text); }
    DirectoryChoice chooseDirectory(const std::string& /*start*/, const std::string& /*title*/) override {
        if (++openings > kChooserOpenings)
            throw Exception("pvz-snapshot: no data file found after " + std::to_string(kChooserOpenings) +
                            " directory choices");
        if (options_.directoryAnswer == DirectoryAnswer::Cancel) return {false, {}};
        return {true, std::filesystem::absolute(options_.chosenDirectory).lexically_normal().string()};
    }
    FileChoice chooseSaveFile(const std::string& /*title*/, const std::string& directory,
                              const std::string& /*proposedName*/, const std::string& /*filter*/) override {
        saveChooserStarts.push_back(directory);
        if (saveAnswers.empty()) return {};
        FileChoice answer{true, saveAnswers.front()};
        saveAnswers.pop_front();
        return answer;
    }

    std::vector<std::string> messages;
    int openings = 0;
    // The names the file chooser answers with, in turn (cancelled when none is left), and the
    // folder it opened in each time.
    std::deque<std::string> saveAnswers;
    std::vector<std::string> saveChooserStarts;

private:
    const SnapshotOptions& options_;
};

SnapshotDriver::SnapshotDriver(const SnapshotOptions& options) : options_(options) {
    std::error_code error;
    std::filesystem::current_path(options_.dataDirectory, error);
    if (error) throw Exception("cannot make \"" + options_.dataDirectory + "\" the current directory");
    const double now = options_.now;
    setLocalClock([now] { return now; });
    dialogs_ = std::make_unique<Dialogs>(options_);
    Application::instance().setDialogService(dialogs_.get());

    FormOptions formOptions;
    const int screenWidth = options_.screenWidth;
    formOptions.screenWidth = [screenWidth] { return screenWidth; };
    formOptions.maximise = false;
    formOptions.exitNow = [this] { ended_ = true; };
    // The Start handler runs the real display cycle on the simulated clock and pump.
    formOptions.cycleServices.now = [this] {
        cycleStarted_ = true;
        return Clock::time_point{} + time_;
    };
    formOptions.cycleServices.waitUntil = [this](Clock::time_point deadline) { pumpUntil(deadline); };
    formOptions.cycleServices.showError = [](const std::exception& e) {
        Application::instance().reportError(e.what());
    };
    // The cycle returns at the end of the pass that reaches the goal of runUntil; entered by the
    // Start handler, outside runUntil, it returns after its first pass.
    formOptions.cycleServices.stopRequested = [this] {
        --passesLeft_;
        return ended_ || passesLeft_ <= 0 || (goal_ && goal_());
    };
    // The second Start press is timed on the same simulated clock.
    formOptions.clock = [this] { return Clock::time_point{} + time_; };
    form_ = std::make_unique<TForm1>(std::move(formOptions));
    // Time is simulated: the timers tick only when the pump says so.
    form_->Timer1->setEnabled(false);
    form_->Timer2->setEnabled(false);
    form_->setBounds(0, 0, options_.width, options_.height);
    form_->show();
    nextTimer1_ = std::chrono::milliseconds(form_->Timer1->interval());
    nextTimer2_ = std::chrono::milliseconds(form_->Timer2->interval());
    settle();
}

SnapshotDriver::~SnapshotDriver() {
    form_.reset();
    Application::instance().setDialogService(nullptr);
    setLocalClock({});
}

const std::vector<std::string>& SnapshotDriver::messages() const { return dialogs_->messages; }

void SnapshotDriver::deliver(const std::function<void()>& event) { Application::instance().guarded(event); }

bool SnapshotDriver::cycleLive() const { return cycleStarted_ && form_->state.running && !ended_; }

void SnapshotDriver::runUntil(const Goal& goal, int passes) {
    if (ended_ || goal()) return;
    if (cycleLive()) {
        goal_ = goal;
        passesLeft_ = passes;
        deliver([&] { form_->displayCycle().run(form_->options().cycleServices); });
        goal_ = {};
        return;
    }
    // Before Start, or after a loading that failed: only the event loop runs.
    for (int pass = 0; pass < passes && !ended_ && !cycleLive(); ++pass) {
        pumpUntil(Clock::time_point{} + time_ + kPassPeriod);
        if (goal()) break;
    }
}

void SnapshotDriver::pumpUntil(Clock::time_point deadline) {
    Application& application = Application::instance();
    // A wait action ends exactly at its time, also inside a pass.
    const Clock::duration until = std::min(deadline.time_since_epoch(), timeLimit_);
    application.processPendingEvents();
    while (!ended_) {
        const Clock::duration next = std::min(nextTimer1_, nextTimer2_);
        if (next > until) break;
        time_ = std::max(time_, next);
        Timer& timer = next == nextTimer1_ ? *form_->Timer1 : *form_->Timer2;
        deliver([&] {
            if (timer.onTimer) timer.onTimer(timer);
        });
        const Clock::duration following = time_ + std::chrono::milliseconds(timer.interval());
        if (&timer == form_->Timer1.get()) {
            nextTimer1_ = following;
            ++timer1Ticks_;
        } else {
            nextTimer2_ = following;
            ++timer2Ticks_;
        }
        application.processPendingEvents();
    }
    time_ = std::max(time_, until);
}

void SnapshotDriver::input(const std::function<void()>& event) {
    // The cycle stopped at the end of a wait (or has not started): the input arrives within that
    // wait, and the events it posts (paints) are processed before the next pass begins.
    if (ended_) return;
    deliver(event);
    Application::instance().processPendingEvents();
}

void SnapshotDriver::advanceTicks(Timer& timer, int ticks) {
    const long long& counter = &timer == form_->Timer1.get() ? timer1Ticks_ : timer2Ticks_;
    const long long target = counter + ticks;
    runUntil([&] { return counter >= target; }, (ticks + 1) * kPassesPerTick);
}

void SnapshotDriver::tickUntilIdle() {
    const ViewerState& s = form_->state;
    runUntil([&] { return !(s.buttonHeld[1] || s.buttonHeld[2] || s.shiftRepeating || s.shiftPending); },
             kIdleTicks * kPassesPerTick);
}

void SnapshotDriver::settle() {
    const auto settled = [this] { return !form_->Chart->isDirty() && !(cycleLive() && form_->state.redrawRequested); };
    runUntil(settled, kSettlePasses);
}

void SnapshotDriver::press(SpeedButton& button) {
    input([&button] { input::press(button, MouseButton::Left, {button.width() / 2, button.height() / 2}); });
}

void SnapshotDriver::release(SpeedButton& button) {
    input([&button] { input::release(button, MouseButton::Left, {button.width() / 2, button.height() / 2}); });
}

void SnapshotDriver::applyAll(const std::vector<SnapshotAction>& actions) {
    for (const SnapshotAction& action : actions) {
        if (ended_) break;
        apply(action);
    }
}

void SnapshotDriver::apply(const SnapshotAction& action) {
    if (ended_) return;
    TForm1& f = *form_;
    using K = SnapshotActionKind;
    // Every action reaches the window as the user's mouse and keyboard would: a control that is
    // disabled, or inside a disabled group, ignores it as it ignores the user.
    auto choose = [&](auto& selector, int index) { input([&selector, index] { input::chooseItem(selector, index); }); };
    auto check = [&](CheckBox& box, bool on) {
        input([&box, on] {
            if (box.checked() != on) input::click(box);
        });
    };
    auto click = [&](Control& control) { input([&control] { input::click(control); }); };
    auto hold = [&](SpeedButton& button, Timer& timer, int ticks) {
        press(button);
        advanceTicks(timer, ticks);
        release(button);
    };
    switch (action.kind) {
        case K::Start:
            click(*f.BitBtnStart);
            break;
        case K::Parameter:
            choose(*f.RadioGroupPVZ, action.a);
            break;
        case K::Interval:
            choose(*f.RadioGroupInterval, action.a);
            break;
        case K::Trend:
            choose(*f.RadioGroupTrend, action.a);
            break;
        case K::Grid:
            choose(*f.ComboBoxGrid, action.a);
            break;
        case K::Scale:
            choose(*f.ComboBoxScaleY, action.a);
            break;
        case K::GridText: {
            ComboBox& combo = *f.ComboBoxGrid;
            const std::string& typed = action.argument;
            input([&combo, &typed] {
                // The old text is erased key by key from its end, then the new one typed.
                const std::string old = combo.text();
                const auto characters = std::count_if(
                    old.begin(), old.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
                input::typeText(combo, std::string(static_cast<std::size_t>(characters), '\b') + typed);
            });
            break;
        }
        case K::Choose:
            check(*f.CheckBoxChoise, action.a != 0);
            break;
        case K::Series:
            check(f.seriesCheckBox(action.a), action.b != 0);
            break;
        case K::Visor:
            check(*f.CheckBoxViz, action.a != 0);
            break;
        case K::Back:
        case K::Forward: {
            SpeedButton& button = action.kind == K::Back ? *f.SpeedButton1 : *f.SpeedButton2;
            press(button);
            release(button);
            tickUntilIdle();
            break;
        }
        case K::HoldBack:
        case K::HoldForward:
            hold(action.kind == K::HoldBack ? *f.SpeedButton1 : *f.SpeedButton2, *f.Timer2, action.a);
            tickUntilIdle();
            break;
        case K::Up:
            hold(*f.SpeedButton3, *f.Timer1, action.a);
            break;
        case K::Down:
            hold(*f.SpeedButton4, *f.Timer1, action.a);
            break;
        case K::Stretch:
            hold(*f.SpeedButton5, *f.Timer1, action.a);
            break;
        case K::Compress:
            hold(*f.SpeedButton6, *f.Timer1, action.a);
            break;
        case K::Undo:
            click(*f.SpeedButtonUndo);
            break;
        case K::View:
            if (f.state.showDifferences != (action.a != 0)) click(*f.SpeedButtonDifferences);
            break;
        case K::Mouse: {
            const int x = action.a;
            const int y = action.b;
            input([&f, x, y] { input::moveMouse(*f.Chart, Point{x, y}); });
            break;
        }
        case K::Resize: {
            const int width = action.a;
            const int height = action.b;
            input([&f, width, height] { f.setBounds(f.left(), f.top(), width, height); });
            break;
        }
        case K::Wait: {
            timeLimit_ = time_ + std::chrono::milliseconds(action.a);
            const auto passes = std::chrono::milliseconds(action.a) / kPassPeriod + 2;
            runUntil([this] { return time_ >= timeLimit_; }, static_cast<int>(passes));
            timeLimit_ = Clock::duration::max();
            break;
        }
        case K::Key:
            input([&f, &action] {
                input::pressKey(f, action.argument);
                input::releaseKey(f, action.argument);
            });
            tickUntilIdle();
            break;
        case K::KeyDown:
            input([&f, &action] { input::pressKey(f, action.argument); });
            break;
        case K::KeyUp:
            input([&f, &action] { input::releaseKey(f, action.argument); });
            tickUntilIdle();
            break;
    }
    settle();
}

namespace {

void writeRect(JsonWriter& w, std::string_view name, const Rect& r) {
    w.key(name).beginObject();
    w.member("left", r.left);
    w.member("top", r.top);
    w.member("right", r.right);
    w.member("bottom", r.bottom);
    w.endObject();
}

void writeAxis(JsonWriter& w, std::string_view name, TChartAxis& axis) {
    w.key(name).beginObject();
    w.member("Minimum", axis.Minimum());
    w.member("Maximum", axis.Maximum());
    w.member("Increment", axis.Increment());
    w.member("MinorTickCount", axis.MinorTickCount());
    w.member("Automatic", axis.Automatic());
    w.member("AutomaticMinimum", axis.AutomaticMinimum());
    w.member("AutomaticMaximum", axis.AutomaticMaximum());
    w.member("EffectiveMinimum", axis.EffectiveMinimum());
    w.member("EffectiveMaximum", axis.EffectiveMaximum());
    w.member("StartPixel", axis.StartPixel());
    w.member("EndPixel", axis.EndPixel());
    w.key("labels").beginArray();
    std::vector<double> values;
    axis.LabelValues(axis.LabelStep(), values);
    for (const double v : values) {
        w.beginObject();
        w.member("value", v);
        w.member("text", axis.LabelText(v));
        w.member("pixel", axis.ValueToPixel(v));
        w.endObject();
    }
    w.endArray();
    w.endObject();
}

template <typename T, int First, int Last>
void writeFlags(JsonWriter& w, std::string_view name, const IndexedArray<T, First, Last>& flags) {
    w.key(name).beginArray();
    for (int i = First; i <= Last; ++i) w.value(flags[i]);
    w.endArray();
}

void writeState(JsonWriter& w, const ViewerState& s, const ObservationStore& store) {
    w.key("state").beginObject();
    w.member("yesterdayDay", s.yesterdayDay);
    w.member("yesterdayMjd", s.yesterdayMjd);
    w.member("mjdToDayOffset", s.mjdToDayOffset);
    w.member("baseMjd", s.baseMjd);
    w.member("currentWeek", s.currentWeek);
    w.member("firstWeek", s.firstWeek);
    w.member("homeStartMjd", s.homeStartMjd);
    w.member("homeEndMjd", s.homeEndMjd);
    w.member("timeShiftDays", s.timeShiftDays);
    w.member("windowStartMjd", s.windowStartMjd);
    w.member("windowEndMjd", s.windowEndMjd);
    w.member("selectedParameter", s.selectedParameter);
    w.member("showTrend", s.showTrend);
    w.member("view", s.showDifferences ? "differences" : "series");
    w.member("trendSlope", s.trendSlope);
    w.member("running", s.running);
    w.member("redrawRequested", s.redrawRequested);
    w.member("autoFitRequested", s.autoFitRequested);
    w.member("rescaleRequested", s.rescaleRequested);
    w.member("shiftPending", s.shiftPending);
    w.member("shiftRepeating", s.shiftRepeating);
    w.member("timeButtonReleased", s.timeButtonReleased);
    writeFlags(w, "buttonHeld", s.buttonHeld);
    w.member("visorX", s.visorX);
    w.member("visorY", s.visorY);
    w.member("screenWidth", s.screenWidth);
    w.member("anyFileFound", store.anyFileFound);
    writeFlags(w, "slotLoaded", store.slotLoaded);
    writeFlags(w, "seriesChecked", s.seriesChecked);
    w.member("anySeriesChecked", s.anySeriesChecked);
    w.member("dataDirectory", store.dataDirectory);
    w.endObject();
}

// Geometry and state of one component; `extra` adds what its kind has.
void writeControl(JsonWriter& w, std::string_view name, const Control& c,
                  const std::function<void(JsonWriter&)>& extra = {}) {
    w.key(name).beginObject();
    w.member("left", c.left());
    w.member("top", c.top());
    w.member("width", c.width());
    w.member("height", c.height());
    w.member("enabled", c.enabled());
    w.member("visible", c.visible());
    w.member("tag", c.tag());
    if (extra) extra(w);
    w.endObject();
}

void writeControls(JsonWriter& w, TForm1& f) {
    w.key("controls").beginObject();
    writeControl(w, "Chart", *f.Chart);
    for (int tag = 1; tag <= kSeriesSlotCount; ++tag) {
        const CheckBox& box = f.seriesCheckBox(tag);
        writeControl(w, "CheckBox" + std::to_string(tag), box, [&](JsonWriter& j) {
            j.member("checked", box.checked());
            j.member("caption", box.caption());
        });
    }
    const std::pair<const char*, SpeedButton*> buttons[] = {
        {"SpeedButton1", f.SpeedButton1.get()},       {"SpeedButton2", f.SpeedButton2.get()},
        {"SpeedButton3", f.SpeedButton3.get()},       {"SpeedButton4", f.SpeedButton4.get()},
        {"SpeedButton5", f.SpeedButton5.get()},       {"SpeedButton6", f.SpeedButton6.get()},
        {"SpeedButtonUndo", f.SpeedButtonUndo.get()}, {"SpeedButtonDifferences", f.SpeedButtonDifferences.get()}};
    for (const auto& [name, button] : buttons)
        writeControl(w, name, *button, [&](JsonWriter& j) {
            j.member("hint", button->hint());
            j.member("down", button->down());
        });
    writeControl(w, "StatusBar1", *f.StatusBar1,
                 [&](JsonWriter& j) { j.member("caption", f.StatusBar1->simpleText()); });
    writeControl(w, "BitBtnStart", *f.BitBtnStart, [&](JsonWriter& j) {
        j.member("caption", f.BitBtnStart->caption());
        j.member("fontColor", static_cast<std::int64_t>(f.BitBtnStart->font().color));
    });
    const std::pair<const char*, ComboBox*> combos[] = {{"ComboBoxScaleY", f.ComboBoxScaleY.get()},
                                                        {"ComboBoxGrid", f.ComboBoxGrid.get()}};
    for (const auto& [name, combo] : combos) {
        writeControl(w, name, *combo, [&](JsonWriter& j) {
            j.member("itemIndex", combo->itemIndex());
            j.member("text", combo->text());
            j.key("items").beginArray();
            for (int i = 0; i < combo->itemCount(); ++i) j.value(combo->item(i));
            j.endArray();
        });
    }
    const std::pair<const char*, GroupBox*> groups[] = {{"GroupBoxScales", f.GroupBoxScales.get()},
                                                        {"GroupBox2", f.GroupBox2.get()},
                                                        {"GroupBox1", f.GroupBox1.get()},
                                                        {"GroupBox3", f.GroupBox3.get()}};
    for (const auto& [name, group] : groups)
        writeControl(w, name, *group, [&](JsonWriter& j) { j.member("caption", group->caption()); });
    const std::pair<const char*, StaticText*> texts[] = {{"StaticText3", f.StaticText3.get()},
                                                         {"StaticText5", f.StaticText5.get()},
                                                         {"StaticTextX", f.StaticTextX.get()},
                                                         {"StaticTextY", f.StaticTextY.get()}};
    for (const auto& [name, text] : texts)
        writeControl(w, name, *text, [&](JsonWriter& j) { j.member("caption", text->caption()); });
    writeControl(w, "EditScale", *f.EditScale, [&](JsonWriter& j) { j.member("text", f.EditScale->text()); });
    const std::pair<const char*, CheckBox*> boxes[] = {{"CheckBoxChoise", f.CheckBoxChoise.get()},
                                                       {"CheckBoxViz", f.CheckBoxViz.get()}};
    for (const auto& [name, box] : boxes)
        writeControl(w, name, *box, [&](JsonWriter& j) {
            j.member("checked", box->checked());
            j.member("caption", box->caption());
        });
    const std::pair<const char*, RadioGroup*> radios[] = {{"RadioGroupPVZ", f.RadioGroupPVZ.get()},
                                                          {"RadioGroupInterval", f.RadioGroupInterval.get()},
                                                          {"RadioGroupTrend", f.RadioGroupTrend.get()}};
    for (const auto& [name, radio] : radios)
        writeControl(w, name, *radio, [&](JsonWriter& j) {
            j.member("caption", radio->caption());
            j.member("itemIndex", radio->itemIndex());
        });
    const std::pair<const char*, Label*> labels[] = {{"Label1", f.Label1.get()}, {"Label2", f.Label2.get()}};
    for (const auto& [name, label] : labels)
        writeControl(w, name, *label, [&](JsonWriter& j) { j.member("caption", label->caption()); });
    for (const auto& [name, timer] : {std::pair<const char*, Timer*>{"Timer1", f.Timer1.get()},
                                      std::pair<const char*, Timer*>{"Timer2", f.Timer2.get()}}) {
        w.key(name).beginObject();
        w.member("interval", timer->interval());
        w.endObject();
    }
    w.endObject();
}

// Each source against the reference, in the series' units, for the series that have statistics;
// "std" is null for a single point.
void writeStatistics(JsonWriter& w, TForm1& f) {
    const SeriesStatistics& statistics = f.displayCycle().statistics();
    w.key("statistics").beginArray();
    for (int i = 1; i < kSeriesSlotCount; ++i) {
        const DifferenceStatistics& s = statistics.bySeries[static_cast<std::size_t>(i)];
        if (s.count == 0) continue;
        w.beginObject();
        w.member("index", i);
        w.member("title", f.seriesAt(i).Title());
        w.member("n", s.count);
        w.member("mean", s.mean);
        w.member("std", s.deviation);
        w.endObject();
    }
    w.endArray();
}

void writeStore(JsonWriter& w, const ObservationStore& store) {
    w.key("slots").beginArray();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        w.beginObject();
        w.member("slot", slot);
        w.member("loaded", store.slotLoaded[slot]);
        w.key("rows").beginArray();
        for (int row = 1; row <= kRowCount; ++row) {
            if (store.observations(row, slot, kindMJD) == missingValue) break;
            w.beginArray();
            for (int kind = kindUT1; kind <= kindMJD; ++kind) w.value(store.observations(row, slot, kind));
            w.endArray();
        }
        w.endArray();
        w.endObject();
    }
    w.endArray();
}

}  // namespace

std::string SnapshotDriver::json(bool withStore) {
    TForm1& f = *form_;
    JsonWriter w;
    w.beginObject();
    writeState(w, f.state, f.store);
    w.member("status", f.StatusBar1->simpleText());
    w.member("editScale", f.EditScale->text());
    w.member("staticTextX", f.StaticTextX->caption());
    w.member("staticTextY", f.StaticTextY->caption());
    writeRect(w, "plotRect", f.Chart->PlotRect());
    writeRect(w, "legendRect", f.Chart->Legend().LegendRect());
    w.key("axes").beginObject();
    writeAxis(w, "BottomAxis", f.Chart->BottomAxis());
    writeAxis(w, "LeftAxis", f.Chart->LeftAxis());
    w.endObject();
    w.key("weekNumbers").beginArray();
    for (const DrawnText& t : f.drawnWeekNumbers()) {
        w.beginObject();
        w.member("x", t.x);
        w.member("y", t.y);
        w.member("text", t.text);
        w.endObject();
    }
    w.endArray();
    w.key("series").beginArray();
    for (int i = 0; i < f.Chart->SeriesCount(); ++i) {
        const TChartSeries& s = f.Chart->Series(i);
        w.beginObject();
        w.member("index", i);
        w.member("title", s.Title());
        w.key("points").beginArray();
        for (int k = 0; k < s.Count(); ++k) {
            w.beginArray();
            w.value(s.XValues()[k]);
            w.value(s.YValues()[k]);
            w.endArray();
        }
        w.endArray();
        w.endObject();
    }
    w.endArray();
    writeStatistics(w, f);
    writeControls(w, f);
    w.key("messages").beginArray();
    for (const std::string& m : messages()) w.value(m);
    w.endArray();
    w.member("drawings", f.Chart->drawingCount());
    w.member("ended", ended_);
    w.member("elapsedMs", elapsedMs());
    if (withStore) writeStore(w, f.store);
    w.endObject();
    return w.text();
}

bool SnapshotDriver::writePng(const std::string& path) {
    Bitmap picture;
    form_->grab(picture);
    return picture.saveToFile(path);
}

std::string SnapshotDriver::saveByCommand(const std::string& keys, const std::string& path) {
    const std::size_t opened = dialogs_->saveChooserStarts.size();
    const std::size_t shown = messages().size();
    dialogs_->saveAnswers = {path};
    apply(*parseSnapshotAction("key=" + keys));
    dialogs_->saveAnswers.clear();
    if (dialogs_->saveChooserStarts.size() == opened) return "nothing to save (before Start?)";
    if (messages().size() != shown) return messages().back();
    return {};
}

int runSnapshot(const SnapshotOptions& options, std::string& error) {
    // Output paths are taken before the data directory becomes current.
    const auto absolute = [](const std::string& path) {
        return path.empty() ? path : std::filesystem::absolute(path).string();
    };
    const std::string png = absolute(options.pngFile);
    const std::string jsonFile = absolute(options.jsonFile);
    const std::string csv = absolute(options.csvFile);
    const std::string chartPng = absolute(options.chartPngFile);
    std::unique_ptr<SnapshotDriver> driver;
    try {
        driver = std::make_unique<SnapshotDriver>(options);
    } catch (const Exception& e) {
        error = e.message();
        return 2;
    }
    driver->applyAll(options.actions);
    for (const auto& [keys, path] : {std::pair{kSavePointsKeys, csv}, std::pair{kSavePictureKeys, chartPng}}) {
        if (path.empty()) continue;
        if (const std::string reason = driver->saveByCommand(keys, path); !reason.empty()) {
            error = "cannot write " + path + ": " + reason;
            return 2;
        }
    }
    if (!png.empty() && !driver->writePng(png)) {
        error = "cannot write " + png;
        return 2;
    }
    if (!jsonFile.empty()) {
        std::ofstream out(jsonFile, std::ios::binary);
        out << driver->json(options.dumpStore) << '\n';
        if (!out) {
            error = "cannot write " + jsonFile;
            return 2;
        }
    }
    return 0;
}

}  // namespace pvz
