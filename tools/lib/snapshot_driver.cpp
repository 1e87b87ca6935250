#include "tools/lib/snapshot_driver.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>

#include "runtime/calendar.h"
#include "runtime/errors.h"
#include "runtime/window_system_input.h"

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
