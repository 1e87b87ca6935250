#pragma once
// The keys of the eight tool buttons. A key behaves as the mouse on its button: held, it holds
// the button; its auto-repeat is no new press.

#include <memory>
#include <span>

namespace pvz {

class SpeedButton;
class TForm1;

struct ToolButtonKeys {
    std::unique_ptr<SpeedButton> TForm1::*button;
    const char* keys[2];  // key-sequence texts; the second may be empty
    const char* shown;    // as the hint and the README show it
};

// The table: Ctrl+Left and Ctrl+Right move the time window, Ctrl+Up and Ctrl+Down shift the
// curves, Ctrl+Plus (or Ctrl+=) and Ctrl+Minus stretch and compress, Ctrl+Home goes back to
// the current weeks, Ctrl+D switches to the differences view and back.
std::span<const ToolButtonKeys> toolButtonKeys();

// Binds the keys to the form's tool buttons and adds each key to its button's hint.
void bindToolButtonKeys(TForm1& form);

}  // namespace pvz
