#pragma once
// The headless driver of the real program: a fixed clock, scripted dialogs, user actions that
// reach the window through its controls, handlers and timer handlers, simulated time for the
// timers and the display cycle's passes, and the reports (picture, JSON). The pvz-snapshot tool
// and the integration tests both use it. An Application must exist.

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

    // Plays one action and settles: passes without waiting until no rebuild is requested and
    // the chart is drawn. Does nothing once the program has ended.
    void apply(const SnapshotAction& action);
    void applyAll(const std::vector<SnapshotAction>& actions);

    // The second Start press ended the program.
    bool ended() const { return ended_; }
    TForm1& form() { return *form_; }
    // Every message box and error display text, in order.
    const std::vector<std::string>& messages() const;
    // Simulated milliseconds since the window was created.
    double elapsedMs() const { return timeMs_; }

    // The report of the documented shape; with `withStore` also the store's rows.
    std::string json(bool withStore);
    // The window as the user sees it; false when the file cannot be written.
    bool writePng(const std::string& path);

private:
    class Dialogs;

    void settle();
    // Runs the passes and timer ticks due up to `untilMs`.
    void advanceTo(double untilMs);
    // Advances to the next tick of `timer` (and whatever falls before it).
    void advanceTicks(Timer& timer, int ticks);
    // Ticks Timer2 until no time step is held, repeating or waiting to be drawn.
    void tickUntilIdle();
    void pass();
    void tick(Timer& timer);
    bool effectivelyEnabled(const Control& control) const;
    void press(SpeedButton& button);
    void release(SpeedButton& button);
    void deliver(const std::function<void()>& event);

    SnapshotOptions options_;
    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<TForm1> form_;
    bool ended_ = false;

    double timeMs_ = 0.0;
    double nextPassMs_ = 0.0;
    double nextTimer1Ms_ = 0.0;
    double nextTimer2Ms_ = 0.0;
};

// The whole tool: parses nothing, runs the actions, writes the reports. Returns the exit code
// (0 when the run completed, also after an error shown by the program; 2 when the data directory
// or an output file cannot be used) and puts a one-line reason into `error`.
int runSnapshot(const SnapshotOptions& options, std::string& error);

}  // namespace pvz
