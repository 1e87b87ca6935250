#pragma once
// The window-system layer: the one place that knows the GUI toolkit. Everything the view and
// the chart engine ask of the platform goes through these classes; no toolkit header is
// included here. Every call from the toolkit into program code (click, change, timer, mouse,
// paint, close) is wrapped so that an exception leaving it reaches the error display instead
// of the toolkit's event loop.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "runtime/graphics.h"

namespace pvz {

namespace detail {
struct ApplicationImpl;
struct ControlImpl;
struct BitmapImpl;
struct HoldKeys;
struct PanelWidget;
}  // namespace detail

class DialogService;
class Form;
struct InputAccess;

// The clock of the pending-event pump: monotonic, so a clock stepping back cannot stretch a wait.
using PumpClock = std::chrono::steady_clock;

// The application object: create one before any control, bitmap or text measure. It sets up
// the toolkit (the offscreen platform works), maps the program's font names to installed faces
// and holds the replaceable dialogs.
class Application {
public:
    Application(int& argc, char** argv);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The one application object; it must exist.
    static Application& instance();

    // The title of message boxes and the default title of windows.
    void setTitle(const std::string& title);
    const std::string& title() const;

    // Shows the form (its creation handler runs first) and runs the event loop until a
    // termination request; returns the exit code.
    int run(Form& mainForm);
    // Ends the event loop once control returns to it; waits of the pump stop at once.
    void terminate();
    bool terminationRequested() const;
    // Ends the process at once with exit code 0, after flushing the standard streams.
    [[noreturn]] void exitNow();

    // Delivers every queued event (input, timer, paint, termination request) and what their
    // handlers post (the paint a mouse move asks for), then returns.
    void processPendingEvents();
    // Delivers events as they come until the deadline, blocking on the event queue in between
    // (no busy wait); returns at once when termination has been requested.
    void waitForEvents(PumpClock::time_point deadline);

    // Width and height of the primary screen in pixels.
    int screenWidth() const;
    int screenHeight() const;
    // The desktop's double-click interval in milliseconds.
    int doubleClickInterval() const;

    // The dialogs in force; setDialogService(nullptr) restores the toolkit's own.
    DialogService& dialogs();
    void setDialogService(DialogService* service);

    // Shows an error from an event handler in the error box, now or, when `deferred`, as soon
    // as the event loop runs again.
    void reportError(const std::string& message, bool deferred = false);
    // Runs fn and hands any exception leaving it to reportError. Every handler call from the
    // toolkit goes through here.
    void guarded(const std::function<void()>& fn, bool deferReport = false) noexcept;

private:
    friend struct detail::ApplicationImpl;
    std::unique_ptr<detail::ApplicationImpl> impl_;
};

// The text of the error box for an exception message: "." is appended when the code of the
// last character is above that of ".".
std::string errorDisplayText(const std::string& message);

// An off-screen 32-bit picture with its own canvas.
class Bitmap {
public:
    Bitmap();
    ~Bitmap();
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    // A picture of width x height logical pixels at `ratio` device pixels per logical pixel;
    // recreated only when the size or the ratio differs from the current one.
    void setSize(int width, int height, double ratio = 1.0);
    int width() const;
    int height() const;
    double pixelRatio() const;
    // The size in device pixels: devicePixelOf(width, ratio) x devicePixelOf(height, ratio).
    int deviceWidth() const;
    int deviceHeight() const;
    Canvas& canvas();
    // Makes the picture's pixels those of `source` within the canvas's clip; `source` must have
    // the same size and ratio. One block copy, without allocation while the picture is its own.
    void copyFrom(const Bitmap& source);
    // Finds the runs of equal rows, which copies from this picture then read once, until the
    // next drawing on it.
    void compareRows();
    // The colour of logical pixel (x, y) (of its first device pixel), red in the low byte;
    // (x, y) must lie inside the picture.
    Color pixel(int x, int y) const;
    // The colour of device pixel (x, y).
    Color devicePixel(int x, int y) const;
    // Writes the picture as a PNG file; false when it cannot be written.
    bool saveToFile(const std::string& path) const;
    // Makes the picture that of a PNG file; false, with the picture unchanged, when the file
    // cannot be read.
    bool loadFromFile(const std::string& path);
    // The picture as the contents of a PNG file that records `dotsPerInch` as its resolution.
    std::string pngData(double dotsPerInch) const;

private:
    friend class PanelControl;
    friend class Control;
    std::unique_ptr<detail::BitmapImpl> impl_;
};

enum class Align { None, Bottom, Client };

enum class MouseButton { Left, Right, Middle };

// Base of every control: position and size in the parent's client pixels, enabled and
// visible states, tag, colour, font, hint and the list of direct child controls.
// A new control takes its window's font; destroying a control destroys its toolkit widget.
class Control {
public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Control* parent() const { return parent_; }

    int left() const;
    int top() const;
    int width() const;
    int height() const;
    void setLeft(int left);
    void setTop(int top);
    void setWidth(int width);
    void setHeight(int height);
    void setBounds(int left, int top, int width, int height);
    // Bottom: along the parent's bottom edge at full width; Client: what the others leave.
    void setAlign(Align align);
    int clientWidth() const;
    int clientHeight() const;

    bool enabled() const;
    void setEnabled(bool enabled);
    // The control's own visible state (a visible child of a hidden window still says true).
    bool visible() const;
    void setVisible(bool visible);

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    // clDefault takes the parent's colour.
    Color color() const;
    void setColor(Color color);
    const Font& font() const;
    void setFont(const Font& font);
    void setHint(const std::string& hint, bool showHint = true);
    const std::string& hint() const;
    // A hint worked out when the pointer comes to rest over the control, in place of the stored
    // one. It gets the pointer's client position and `area`, the whole client rectangle, which
    // it may narrow to the part its text holds for: the tip goes when the pointer leaves that
    // part. An empty text shows no tip; an empty function goes back to the stored hint.
    using HintSource = std::function<std::string(Point at, Rect& area)>;
    void setHintSource(HintSource source);
    void setHandPointCursor(bool on);

    // Keyboard focus: setFocus gives it to the control (a radio group's checked button), which
    // then has it whenever its window is active; hasFocus tells whether it is the control, or
    // a part of it, that holds the window's focus.
    void setFocus();
    bool hasFocus() const;
    // How the control takes the focus: from Tab and from a click (the default for controls
    // that take input), from Tab only, or never.
    enum class FocusPolicy { TabAndClick, TabOnly, None };
    void setFocusPolicy(FocusPolicy policy);

    // Direct children in creation order.
    int childCount() const { return static_cast<int>(children_.size()); }
    Control& child(int index) const { return *children_.at(static_cast<std::size_t>(index)); }

    Point screenToClient(Point screen) const;
    Point clientToScreen(Point client) const;

    // What the control shows now, children included, copied into the bitmap (which takes the
    // control's size). Panels show their front picture with the overlay; their paint() is not called.
    void grab(Bitmap& into) const;
    // What the window system was last given to show in the control's area, in the pixels of the
    // window's back buffer; false when the platform cannot tell. Unlike grab(), which paints
    // the control anew, this shows what repaints of parts of the window have left there.
    bool grabShown(Bitmap& into) const;

protected:
    Control(Control* parent, std::unique_ptr<detail::ControlImpl> impl);
    detail::ControlImpl& impl() const { return *impl_; }

private:
    friend struct detail::ControlImpl;
    friend struct detail::HoldKeys;
    friend struct InputAccess;
    friend class WindowCommands;
    Control* parent_;
    std::unique_ptr<detail::ControlImpl> impl_;
    std::vector<Control*> children_;
    int tag_ = 0;
};

// A control that shows an off-screen picture with an overlay on top. The window system calls
// paint() for the paint that follows invalidate(), after a resize and while the control has no
// picture yet; paint() either redraws a bitmap and shows it with showBitmap, or just shows it
// again. Other paints (a child control repainted over the panel, drawing straight onto the
// window, a change of the overlay) show the picture as it is. Every paint shows the exposed
// part of the picture and then inverts the overlay's boxes over it.
class PanelControl : public Control {
public:
    explicit PanelControl(Control* parent);
    ~PanelControl() override;

    // Asks the window system to repaint the control later (requests coalesce into one paint).
    void invalidate();
    // Within paint(): makes the bitmap the window's picture, its top-left corner at (x, y).
    // The picture is shared, not copied, until something draws on it.
    void showBitmap(const Bitmap& bitmap, int x, int y);
    // Draws straight onto the window's picture: grab() sees it at once, the screen at the next
    // paint, which shows every drawing made until then in one go; gone at the next showBitmap.
    Canvas& windowCanvas();
    // Makes `boxes` (client pixels) the overlay, inverted over every picture shown until it is
    // changed: a cross-hair, for instance, which then follows the pointer without touching the
    // picture. Where two boxes meet, the picture shows through.
    void setOverlay(std::span<const Rect> boxes);
    // Inverts the overlay in `picture`, one of the control's size: the control's picture as the
    // window shows it, without child controls.
    void drawOverlayOn(Bitmap& picture) const;
    // Device pixels per logical pixel of the screen the control is on now. A change of screen
    // or of its ratio calls paint() again.
    double pixelRatio() const;

protected:
    virtual void paint() {}
    virtual void mouseMoved(int /*x*/, int /*y*/) {}
    // The pointer has left the control (it may have sent no last move inside it).
    virtual void mouseLeft() {}
    virtual void resized() {}

private:
    friend struct detail::PanelWidget;
};

// Pointer position in screen coordinates; false when the window system cannot tell.
bool pointerScreenPosition(Point& position);
// Moves the pointer to a screen position (the headless tool's simulated mouse).
void setPointerScreenPosition(Point position);

}  // namespace pvz

#include "runtime/window_system_controls.h"
#include "runtime/window_system_keeping.h"
#include "runtime/window_system_services.h"
