#pragma once
// The real window on the real data set, driven headless with a fixed clock: through the
// snapshot driver's actions, or handler by handler where a test needs single timer ticks.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/main_window.h"
#include "tools/lib/snapshot_driver.h"

namespace pvz::testing {

inline const std::string kRealData = std::string(PVZ_TEST_DATA_DIR) + "/eop-2017";

// The driver makes the data directory current; every test gets its own back.
class ViewerTest : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::current_path(cwd_); }

    static SnapshotOptions options(const char* now = "2017-11-01 12:00:00", int screenWidth = 1920) {
        SnapshotOptions o;
        o.dataDirectory = kRealData;
        o.now = *parseLocalTime(now);
        o.screenWidth = screenWidth;
        return o;
    }
    static SnapshotAction action(const char* text) { return *parseSnapshotAction(text); }
    static void play(SnapshotDriver& driver, std::initializer_list<const char*> actions) {
        for (const char* a : actions) driver.apply(action(a));
    }

    // One pass of the display cycle as the program makes it: a rebuild when one is requested,
    // then the drawing it causes and the window's repaint.
    static void pass(TForm1& f) {
        f.displayCycle().runPass();
        if (f.Chart->isDirty()) f.Chart->drawToBitmap();
        Application::instance().processPendingEvents();
    }
    static void press(TForm1& f, SpeedButton& button, MouseButton which = MouseButton::Left) {
        f.SpeedButton6MouseDown(button, which, 1, 1);
    }
    static void release(TForm1& f, SpeedButton& button, MouseButton which = MouseButton::Left) {
        f.SpeedButton6MouseUp(button, which, 1, 1);
    }
    static void tick2(TForm1& f) { f.Timer2Timer(*f.Timer2); }
    static void tick1(TForm1& f) { f.Timer1Timer(*f.Timer1); }

    static void clearRequests(ViewerState& s) {
        s.redrawRequested = false;
        s.autoFitRequested = false;
        s.rescaleRequested = false;
    }

private:
    std::filesystem::path cwd_ = std::filesystem::current_path();
};

}  // namespace pvz::testing
