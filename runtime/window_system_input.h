#pragma once
// Synthetic user input for tests and headless tools: each call is delivered through the toolkit
// as the corresponding real event, so the controls' own handling and the program's handlers run.

#include <string>

#include "runtime/window_system.h"

namespace pvz::input {

// Left press and release at `at` in the control's client pixels (its centre when omitted).
void click(Control& control);
void click(Control& control, Point at);
void press(Control& control, MouseButton button, Point at);
void release(Control& control, MouseButton button, Point at);
// Puts the pointer at `at` in the control's client pixels and delivers the move to the control.
void moveMouse(Control& control, Point at);
// Puts the pointer at `at` and lets it rest there: the control is asked for its tip as the
// toolkit asks when the pointer stops. Returns the text of the tip shown, empty when none is.
std::string restPointer(Control& control, Point at);
// The user picks an item of the list.
void chooseItem(ComboBox& combo, int index);
void chooseItem(RadioGroup& group, int index);
// The user types text into an editable combo box at its cursor; "\b" is the backspace key.
void typeText(ComboBox& combo, const std::string& text);

}  // namespace pvz::input
