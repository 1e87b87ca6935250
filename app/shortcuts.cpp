#include "app/shortcuts.h"

#include "app/main_window.h"

namespace pvz {
namespace {

const ToolButtonKeys kToolButtonKeys[] = {
    {&TForm1::SpeedButton1, {"Ctrl+Left", ""}, "Ctrl+Left"},
    {&TForm1::SpeedButton2, {"Ctrl+Right", ""}, "Ctrl+Right"},
    {&TForm1::SpeedButton3, {"Ctrl+Up", ""}, "Ctrl+Up"},
    {&TForm1::SpeedButton4, {"Ctrl+Down", ""}, "Ctrl+Down"},
    {&TForm1::SpeedButton5, {"Ctrl++", "Ctrl+="}, "Ctrl+Plus"},
    {&TForm1::SpeedButton6, {"Ctrl+-", ""}, "Ctrl+Minus"},
    {&TForm1::SpeedButtonUndo, {"Ctrl+Home", ""}, "Ctrl+Home"},
    {&TForm1::SpeedButtonDifferences, {"Ctrl+D", ""}, "Ctrl+D"},
};

}  // namespace

std::span<const ToolButtonKeys> toolButtonKeys() { return kToolButtonKeys; }

void bindToolButtonKeys(TForm1& form) {
    for (const ToolButtonKeys& entry : kToolButtonKeys) {
        SpeedButton& button = *(form.*entry.button);
        for (const char* keys : entry.keys)
            if (*keys != '\0') form.bindHoldKey(keys, button);
        button.setHint(button.hint() + " (" + entry.shown + ")");
    }
}

}  // namespace pvz
