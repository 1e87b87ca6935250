#pragma once
// The headless driver of the real program: a fixed clock, scripted dialogs, user actions that
// reach the window through its controls, handlers and timer handlers, and the reports (picture,
// JSON). After Start the program's own display cycle runs the passes; the driver only brings a
// simulated monotonic clock and the pump that delivers input, timer ticks and paints on it. The
// pvz-snapshot tool and the integration tests both use it. An Application must exist.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "tools/lib/snapshot_options.h"

namespace pvz {

class SnapshotDriver {
public:
    // Makes the data directory current, fixes the clock, installs the scripted dialogs and
    // creates and shows the window at the requested size. Raises Exception when the data
    // directory cannot be made current.
    explicit SnapshotDriver(const SnapshotOptions& options);
    ~SnapshotDriver();
    SnapshotDriver(const SnapshotDriver&) = delete;
    SnapshotDriver& operator=(const SnapshotDriver&) = delete;

    // Plays one action and settles: passes until no rebuild is requested and the chart is drawn.
    // Between actions the display cycle returns to the driver and is entered again for the next
    // one, on the same simulated clock. Does nothing once the program has ended.
    void apply(const SnapshotAction& action);
    void applyAll(const std::vector<SnapshotAction>& actions);

    // The second Start press ended the program.
    bool ended() const { return ended_; }
    TForm1& form() { return *form_; }
    // Every message box and error display text, in order.
    const std::vector<std::string>& messages() const;
    // Simulated milliseconds since the window was created.
    double elapsedMs() const { return std::chrono::duration<double, std::milli>(time_).count(); }

    // The report of the documented shape; with `withStore` also the store's rows.
    std::string json(bool withStore);
    // The window as the user sees it; false when the file cannot be written.
    bool writePng(const std::string& path);
    // The user presses `keys` of a command that saves a file and answers its file chooser with
    // `path`. Returns the reason when no file was written (the command did not open the
    // chooser, or showed an error), else an empty text.
    std::string saveByCommand(const std::string& keys, const std::string& path);

private:
    class Dialogs;
    using Clock = MonotonicClock;
    using Goal = std::function<bool()>;

    // Runs until `goal` holds at the end of a pass, for at most `passes` passes: inside the
    // program's own display cycle once Start has entered it, else in the plain event loop.
    void runUntil(const Goal& goal, int passes);
    // The simulated pump of the cycle and the event loop: the timer ticks due until the
    // deadline, each followed by the events it posted (paints).
    void pumpUntil(Clock::time_point deadline);
    // User input, delivered now as the window system delivers it within a wait.
    void input(const std::function<void()>& event);
    // Runs until `timer` has ticked `ticks` more times.
    void advanceTicks(Timer& timer, int ticks);
    // Runs until no time step is held, repeating or waiting to be drawn.
    void tickUntilIdle();
    // Runs until no rebuild is requested and the chart's picture is up to date.
    void settle();
    bool cycleLive() const;
    void press(SpeedButton& button);
    void release(SpeedButton& button);
    void deliver(const std::function<void()>& event);

    SnapshotOptions options_;
    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<TForm1> form_;
    bool ended_ = false;

    // Simulated time since the window was created, and the next tick of each timer.
    Clock::duration time_{};
    Clock::duration nextTimer1_{};
    Clock::duration nextTimer2_{};
    long long timer1Ticks_ = 0;
    long long timer2Ticks_ = 0;
    // The display cycle has been entered by the Start handler (loading succeeded).
    bool cycleStarted_ = false;
    Goal goal_;
    int passesLeft_ = 0;
    // The end of a wait action: simulated time stops there, inside a pass too.
    Clock::duration timeLimit_ = Clock::duration::max();
};

// The whole tool: parses nothing, runs the actions, writes the reports. Returns the exit code
// (0 when the run completed, also after an error shown by the program; 2 when the data directory
// or an output file cannot be used) and puts a one-line reason into `error`.
int runSnapshot(const SnapshotOptions& options, std::string& error);

}  // namespace pvz
