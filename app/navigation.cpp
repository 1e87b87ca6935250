// The time window: the two time-shift buttons with their press-and-hold repetition, the undo
// button and the interval selector. The handlers change the viewer state, move the date axis
// for immediate feedback and leave the rest to the next rebuild.
#include <cassert>

#include "app/main_window.h"
#include "app/view_arithmetic.h"

namespace pvz {
namespace {

constexpr int kBackTag = 1;
constexpr int kForwardTag = 2;

bool isTimeShiftTag(int tag) { return tag == kBackTag || tag == kForwardTag; }

void setIntervalIfDifferent(Timer& timer, int intervalMs) {
    if (timer.interval() != intervalMs) timer.setInterval(intervalMs);
}

}  // namespace

void TForm1::SpeedButton6MouseDown(SpeedButton& Sender, MouseButton Button, int /*X*/, int /*Y*/) {
    const int tag = Sender.tag();
    assert(tag >= 1 && tag <= kToolButtonCount);
    if (Button == MouseButton::Left && isTimeShiftTag(tag)) settleEarlierTimePress();
    if (Button == MouseButton::Left) {
        state.buttonHeld[tag] = true;
        verticalStepMade_[static_cast<std::size_t>(tag)] = false;
    }
    if (!isTimeShiftTag(tag)) return;
    // Another mouse button arms nothing. While a left press still waits for its step (released
    // early) or for its repetition to end (stopping), it must not undo that release either:
    // the repetition would then run on with no button held.
    const bool stepOutstanding = state.buttonHeld[kBackTag] || state.buttonHeld[kForwardTag];
    if (Button == MouseButton::Left || !stepOutstanding) state.timeButtonReleased = false;
}

void TForm1::SpeedButton6MouseUp(SpeedButton& Sender, MouseButton Button, int /*X*/, int /*Y*/) {
    if (Button != MouseButton::Left) return;
    const int tag = Sender.tag();
    assert(tag >= 1 && tag <= kToolButtonCount);
    if (isTimeShiftTag(tag)) {
        // The held flag stays: Timer2Timer clears it once it has made at least one step.
        state.timeButtonReleased = true;
        return;
    }
    // A press shorter than one tick of the vertical buttons' timer still makes its one step.
    const bool stepless = state.buttonHeld[tag] && !verticalStepMade_[static_cast<std::size_t>(tag)];
    state.buttonHeld[tag] = false;
    if (stepless) verticalStepOf(static_cast<VerticalStep>(tag));
}

void TForm1::settleEarlierTimePress() {
    if (!state.timeButtonReleased) return;
    // Released during its repetition, the last press waits for the tick that ends it. Taken up
    // again by the new press, the repetition would give that press its first step at the fast
    // interval, and a press of 80 ms could span two ticks: a week too many.
    if (state.shiftRepeating) {
        state.shiftRepeating = false;
        state.buttonHeld[kBackTag] = false;
        state.buttonHeld[kForwardTag] = false;
        return;
    }
    // Released before its first tick, the last press still owes its one step. The new press
    // would take that step over as its own: a week too few. It is made now.
    TChartAxis& bottom = Chart->BottomAxis();
    const double oldMinimum = bottom.Minimum();
    const double oldMaximum = bottom.Maximum();
    for (const int tag : {kBackTag, kForwardTag}) {
        if (!state.buttonHeld[tag]) continue;
        state.buttonHeld[tag] = false;
        if (!shiftTimeWindow(tag, oldMinimum, oldMaximum)) return;
    }
}

bool TForm1::shiftTimeWindow(int tag, double oldMinimum, double oldMaximum) {
    const double step = tag == kBackTag ? -kTimeStepDays : kTimeStepDays;
    if (tag == kBackTag && state.timeShiftDays - kTimeStepDays + state.homeStartMjd <= state.baseMjd) {
        state.buttonHeld[kBackTag] = false;
        return false;
    }
    Chart->LeftAxis().setAutomatic(false);
    // The maximum is opened first so that the new minimum never exceeds the old maximum.
    TChartAxis& bottom = Chart->BottomAxis();
    bottom.setAutomatic(false);
    bottom.setMaximum(kBottomAxisSpread);
    bottom.setMinimum(oldMinimum + step);
    bottom.setMaximum(oldMaximum + step);
    state.timeShiftDays += step;
    state.rescaleRequested = true;
    state.autoFitRequested = !CheckBoxChoise->checked();
    state.redrawRequested = true;
    state.shiftPending = true;
    return true;
}

void TForm1::Timer2Timer(Timer& Sender) {
    if (state.shiftPending) return;  // the last step is not drawn yet
    setIntervalIfDifferent(Sender, state.shiftRepeating ? kRepeatingShiftInterval : kRestingShiftInterval);
    if (state.shiftRepeating && state.timeButtonReleased) {
        state.shiftRepeating = false;
        state.timeButtonReleased = false;
        setIntervalIfDifferent(Sender, kRestingShiftInterval);
        state.buttonHeld[kBackTag] = false;
        state.buttonHeld[kForwardTag] = false;
        return;
    }
    Chart->LeftAxis().setAutomatic(false);
    TChartAxis& bottom = Chart->BottomAxis();
    const double oldMinimum = bottom.Minimum();
    const double oldMaximum = bottom.Maximum();
    for (const int tag : {kBackTag, kForwardTag}) {
        if (!state.buttonHeld[tag]) continue;
        if (!shiftTimeWindow(tag, oldMinimum, oldMaximum)) return;
        if (state.timeButtonReleased) {
            // Released before the first tick: exactly one step.
            state.buttonHeld[tag] = false;
            state.shiftRepeating = false;
        } else {
            state.shiftRepeating = true;
        }
    }
}

void TForm1::SpeedButtonUndoClick(SpeedButton& /*Sender*/) {
    state.redrawRequested = true;
    state.timeShiftDays = 0.0;
    if (CheckBoxChoise->checked())
        state.rescaleRequested = true;
    else
        state.autoFitRequested = true;
}

void TForm1::RadioGroupIntervalClick(RadioGroup& /*Sender*/) {
    state.redrawRequested = true;
    state.autoFitRequested = true;
    Chart->LeftAxis().setAutomatic(false);
    CheckBoxChoise->setChecked(false);
}

}  // namespace pvz
