#pragma once
// Services of the window system beyond controls: timers, the replaceable dialogs and the
// current directory. Included through runtime/window_system.h.

#include <functional>
#include <memory>
#include <string>

#include "runtime/window_system.h"

namespace pvz {

namespace detail {
struct TimerImpl;
}

// A window-system timer: runs from creation, its events come through the event queue.
class Timer {
public:
    explicit Timer(int intervalMs = 1000);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    int interval() const;
    // A different interval restarts the count; the interval in force changes nothing.
    void setInterval(int intervalMs);
    bool enabled() const;
    void setEnabled(bool enabled);

    std::function<void(Timer&)> onTimer;

private:
    std::unique_ptr<detail::TimerImpl> impl_;
};

struct DirectoryChoice {
    bool confirmed = false;
    std::string directory;  // absolute, without a trailing separator
};

struct FileChoice {
    bool confirmed = false;
    std::string path;  // absolute
};

// The modal dialogs of the program. The toolkit's own is in force unless a test installs another
// with Application::setDialogService.
class DialogService {
public:
    virtual ~DialogService() = default;
    // A message box with the text and an OK button, centred, titled with the application's title.
    virtual void showMessage(const std::string& text) = 0;
    // The same with an error sign; `text` is already the display text.
    virtual void showError(const std::string& text) = 0;
    // A directory chooser titled `title`, opened at `start`.
    virtual DirectoryChoice chooseDirectory(const std::string& start, const std::string& title) = 0;
    // A chooser of a file to write, titled `title`, opened in `directory` with `proposedName`
    // typed in and listing the files that match `filter` ("Рисунок PNG (*.png)"). Choosing an
    // existing file needs the user's confirmation in the chooser.
    virtual FileChoice chooseSaveFile(const std::string& title, const std::string& directory,
                                      const std::string& proposedName, const std::string& filter) = 0;
};

// The width a window needs for the window manager to show `title` whole in its title bar.
int titleBarWidth(const std::string& title);
// The width of the toolkit's message box for `text` under the application's title: at least
// titleBarWidth of that title, however short the text.
int messageBoxWidth(const std::string& text);

// Shorthands for the dialogs in force.
void showMessage(const std::string& text);
DirectoryChoice chooseDirectory(const std::string& start, const std::string& title);
FileChoice chooseSaveFile(const std::string& title, const std::string& directory, const std::string& proposedName,
                          const std::string& filter);

// The application, started on the display the environment names. Where no display can be
// reached (neither X11 nor Wayland) or the toolkit has no plugin for it, the toolkit would
// abort; instead `program` writes one line on standard error and the process ends with
// status 1. The toolkit's other messages of the start are written as usual once it succeeds.
std::unique_ptr<Application> startApplication(int& argc, char** argv, const std::string& program);

// Makes the image at `path` (a file, or a resource ":/name" built into the program) the icon of
// every window; false, with the toolkit's icon kept, when it cannot be read.
bool setProgramIcon(const std::string& path);

// The process's current directory as an absolute path, without a trailing separator.
std::string currentDirectory();

}  // namespace pvz
