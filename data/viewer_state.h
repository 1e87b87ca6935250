#pragma once
// The viewer state: the fields through which the window's handlers ask the display cycle for
// work, the window arithmetic's fields and the time base fixed at window creation. One
// instance lives with the main window; tests make their own.

#include <cstdint>

#include "data/observation_store.h"

namespace pvz {

inline constexpr std::int32_t weekEpochMjd = 42768;     // Monday, 22 December 1975
inline constexpr std::int32_t weekEndEpochMjd = 42775;  // the Monday after week 0
inline constexpr int kToolButtonCount = 6;              // tool buttons with Tags 1 to 6

// The dates fixed from the local clock when the main window is created.
struct TimeBase {
    double yesterdayDay = 0.0;
    double yesterdayMjd = 0.0;
    double mjdToDayOffset = 0.0;
    double baseMjd = 0.0;
    std::int32_t currentWeek = 0;
    double homeStartMjd = 0.0;
    double homeEndMjd = 0.0;
};

// The time base for the local time `now` (a day number with its time of day).
TimeBase timeBaseAt(double now);

// The time base fixed at window creation, and the state that the handlers and the display
// cycle change from there on. The home window (homeStartMjd, homeEndMjd) starts as the time
// base sets it; the interval selector moves it.
struct ViewerState : TimeBase {
    // Window (rebuild).
    std::int32_t firstWeek = 0;
    double timeShiftDays = 0.0;
    double windowStartMjd = 0.0;
    double windowEndMjd = 0.0;

    // Selection (rebuild).
    std::int32_t selectedParameter = 0;  // 1 UT1, 2 UT1R, 3 Xp, 4 Yp
    bool showTrend = false;
    double trendSlope = 0.0;
    // The differences view: each source plotted as its differences from the reference.
    bool showDifferences = false;

    // Requests and the display cycle.
    bool running = false;
    bool redrawRequested = true;
    bool autoFitRequested = false;
    bool rescaleRequested = false;
    bool shiftPending = false;
    // The view was switched to the differences view, whose range is then fitted.
    bool viewFitRequested = false;
    // A scale request was served in the differences view: the series view needs it on return.
    bool seriesScaleDue = false;

    // Press-and-hold of the tool buttons.
    bool shiftRepeating = false;
    bool timeButtonReleased = false;
    IndexedArray<bool, 1, kToolButtonCount> buttonHeld;

    // Visor position in chart client pixels.
    std::int32_t visorX = 0;
    std::int32_t visorY = 0;

    std::int32_t screenWidth = 0;

    // Check-box state at the last rebuild, by chart series index 0 to 10.
    IndexedArray<bool, 0, kSeriesSlotCount - 1> seriesChecked;
    bool anySeriesChecked = false;

    ViewerState() {
        buttonHeld.fill(false);
        seriesChecked.fill(false);
    }

    // Fixes the time base from the local time `now`.
    void fixTimeBase(double now) { static_cast<TimeBase&>(*this) = timeBaseAt(now); }
};

}  // namespace pvz
