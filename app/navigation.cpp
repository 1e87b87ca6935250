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
    if (Button == MouseButton::Left) state.buttonHeld[tag] = true;
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
    state.buttonHeld[tag] = false;
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
        const double step = tag == kBackTag ? -kTimeStepDays : kTimeStepDays;
        if (tag == kBackTag && state.timeShiftDays - kTimeStepDays + state.homeStartMjd <= state.baseMjd) {
            state.buttonHeld[kBackTag] = false;
            return;
        }
        // The maximum is opened first so that the new minimum never exceeds the old maximum.
        bottom.setAutomatic(false);
        bottom.setMaximum(kBottomAxisSpread);
        bottom.setMinimum(oldMinimum + step);
        bottom.setMaximum(oldMaximum + step);
        state.timeShiftDays += step;
        state.rescaleRequested = true;
        state.autoFitRequested = !CheckBoxChoise->checked();
        state.redrawRequested = true;
        state.shiftPending = true;
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
