#pragma once
// Synthetic user input for tests and headless tools: each call is delivered through the toolkit
// as the corresponding real event, so the controls' own handling and the program's handlers run.

#include <string>
#include <vector>

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

// A key pressed or released in the form, given as portable key-sequence text ("Ctrl+Left",
// "Space", "Alt+F4", "Num++" for the keypad's plus), delivered to the control that has the
// form's focus (the form when none has). A modifier key is named alone or last, after the
// modifiers already down ("Ctrl", "Ctrl+Shift"). AutoRepeat marks the presses and releases that
// a held key repeats. The events name their physical key as a US keyboard under X11 does, or
// name none, as some platforms and synthetic events do.
enum class KeyRepeat { No, AutoRepeat };
enum class KeyCode { UsKeyboard, None };
void pressKey(Form& form, const std::string& keys, KeyRepeat repeat = KeyRepeat::No,
              KeyCode code = KeyCode::UsKeyboard);
void releaseKey(Form& form, const std::string& keys, KeyRepeat repeat = KeyRepeat::No,
                KeyCode code = KeyCode::UsKeyboard);
// Whether `keys` is key-sequence text that names one key.
bool isKeyText(const std::string& keys);
// The form stops being the active window (another window was activated).
void loseFocus(Form& form);
// The pointer leaves the control, as the toolkit reports it (also without a last move inside).
void leave(Control& control);

// A close request to the form as the window system makes it (the title-bar button, Alt+F4 on
// the form, the end of the session): like the window system, it is dropped while a dialog holds
// the form under application modality.
void requestClose(Form& form);

// The toolkit dialogs open now (message boxes, the directory chooser), and the innermost
// one's buttons as they read (mnemonic marks removed).
int openDialogCount();
// How many toolkit dialogs have been opened since the program started.
int dialogsShown();
std::vector<std::string> dialogButtonTexts();
std::string dialogTitle();
// Answers the innermost open dialog from the keyboard: Return (Accept: OK, or the directory the
// chooser shows) or Escape (Reject: Cancel).
enum class DialogAnswer { Accept, Reject };
void answerDialog(DialogAnswer answer);

}  // namespace pvz::input
