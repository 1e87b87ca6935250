#pragma once
// Keeping what a window shows: files written whole or not at all, the clipboard, the user's
// home folder, and commands that both a key and a context menu reach. Included through
// runtime/window_system.h.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/window_system.h"

namespace pvz {

namespace detail {
struct WindowCommandsImpl;
}

// Writes `bytes` as the file `path`: under a temporary name in the same folder, renamed to `path`
// once complete, so that the file is either the old one or the whole new one. Raises Exception
// naming the file and the system's reason when that fails; nothing of the attempt remains then.
void writeFileAtomically(const std::string& path, std::string_view bytes);

// The text of the failure to write `path` for the reason `reason`.
std::string fileWriteErrorText(const std::string& path, const std::string& reason);

// The clipboard of the desktop.
void copyTextToClipboard(const std::string& text);
void copyPictureToClipboard(const Bitmap& picture);
std::string clipboardText();
// The clipboard's picture in `into` (at ratio 1); false when the clipboard holds none.
bool clipboardPicture(Bitmap& into);

// The user's home folder as an absolute path, without a trailing separator.
std::string homeDirectory();

// Commands of a window, each with a menu text and a key. The key runs its command from wherever
// the window's focus is; a right-button click on the menu area, or on a control on it that has
// no menu of its own, opens a menu of the commands at the pointer.
class WindowCommands {
public:
    WindowCommands(Form& window, Control& menuArea);
    ~WindowCommands();
    WindowCommands(const WindowCommands&) = delete;
    WindowCommands& operator=(const WindowCommands&) = delete;

    // `keys` is portable key-sequence text ("Ctrl+Shift+S"); the menu shows it beside `text`.
    void add(const std::string& text, const std::string& keys, std::function<void()> action);
    // While disabled, the menu shows the commands greyed and their keys do nothing.
    void setEnabled(bool enabled);
    bool enabled() const;

private:
    std::unique_ptr<detail::WindowCommandsImpl> impl_;
};

}  // namespace pvz
