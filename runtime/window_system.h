#pragma once
// The window-system layer: the one place that knows the GUI toolkit. Everything the view and
// the chart engine ask of the platform goes through these classes; no toolkit header is
// included here. Every call from the toolkit into program code (click, change, timer, mouse,
// paint, close) is wrapped so that an exception leaving it reaches the error display instead
// of the toolkit's event loop.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/graphics.h"

namespace pvz {

namespace detail {
struct ControlImpl;
struct BitmapImpl;
}  // namespace detail

// The application object: create one before any control, bitmap or text measure.
class Application {
public:
    Application(int& argc, char** argv);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
};

// An off-screen 32-bit picture with its own canvas.
class Bitmap {
public:
    Bitmap();
    ~Bitmap();
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    // Recreates the picture only when the size differs from the current one.
    void setSize(int width, int height);
    int width() const;
    int height() const;
    Canvas& canvas();
    // The colour at (x, y), red in the low byte; (x, y) must lie inside the picture.
    Color pixel(int x, int y) const;

private:
    friend class PanelControl;
    std::unique_ptr<detail::BitmapImpl> impl_;
};

// Base of every control: position and size in the parent's client pixels, enabled and
// visible states, tag, colour, font, hint and the list of direct child controls.
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

    bool enabled() const;
    void setEnabled(bool enabled);
    bool visible() const;
    void setVisible(bool visible);

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    Color color() const;
    void setColor(Color color);
    const Font& font() const;
    void setFont(const Font& font);
    void setHint(const std::string& hint, bool showHint = true);
    void setHandPointCursor(bool on);

    // Direct children in creation order.
    int childCount() const { return static_cast<int>(children_.size()); }
    Control& child(int index) const { return *children_.at(static_cast<std::size_t>(index)); }

    Point screenToClient(Point screen) const;

protected:
    Control(Control* parent, std::unique_ptr<detail::ControlImpl> impl);
    detail::ControlImpl& impl() const { return *impl_; }

private:
    Control* parent_;
    std::unique_ptr<detail::ControlImpl> impl_;
    std::vector<Control*> children_;
    int tag_ = 0;
};

// A control that shows an off-screen picture. The window system calls paint() for every paint
// request; paint() either redraws a bitmap and shows it with showBitmap, or just shows it again.
class PanelControl : public Control {
public:
    explicit PanelControl(Control* parent);
    ~PanelControl() override;

    // Asks the window system to repaint the control later (requests coalesce into one paint).
    void invalidate();
    // Within paint(): makes the bitmap the window's picture, its top-left corner at (x, y).
    void showBitmap(const Bitmap& bitmap, int x, int y);
    // Draws straight onto the window: visible at once, gone at the next showBitmap.
    Canvas& windowCanvas();

protected:
    virtual void paint() {}
    virtual void mouseMoved(int /*x*/, int /*y*/) {}
    virtual void resized() {}
};

// Pointer position in screen coordinates; false when the window system cannot tell.
bool pointerScreenPosition(Point& position);

}  // namespace pvz
