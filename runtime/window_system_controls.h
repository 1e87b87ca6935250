#pragma once
// The control kinds of the main window: the top-level form and the standard controls.
// Included through runtime/window_system.h. Handlers are std::function members named like the
// events; a handler runs for user actions and, where stated, for changes made from code.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/window_system.h"

namespace pvz {

class SpeedButton;

// A top-level window with a client area.
class Form : public Control {
public:
    Form();
    ~Form() override;

    void setCaption(const std::string& caption);
    std::string caption() const;

    // Maximised state. Where no window manager maximises the window, it takes the screen's
    // available area instead.
    void setMaximized(bool maximized);
    bool maximized() const;

    // Runs onCreate (once, before the first show) and shows the window.
    void show();
    bool shown() const;
    void close();

    // The smallest client area the user can size the window to; the window grows to it at once
    // when it is smaller. A maximised window has the size the window system gives it, also
    // below this minimum, which holds again when it is restored.
    void setMinimumClientSize(int width, int height);
    int minimumClientWidth() const;
    int minimumClientHeight() const;

    // While the window is active, the key `keys` (portable key-sequence text such as
    // "Ctrl+Left" or "Ctrl++") holds `button` down as the left mouse button would: its press
    // runs onMouseDown, its release onMouseUp and then onClick. The key's auto-repeat makes no
    // new press, and a button that is disabled (or sits in a disabled parent) ignores its key.
    // Symbols that some keyboards type with Shift (+, =, -) match with or without it.
    void bindHoldKey(const std::string& keys, SpeedButton& button);

    // The screens of the desktop, and moving the shown window onto screen `index`, keeping its
    // place relative to the screen's top-left corner and its size in logical pixels. Each screen
    // has its own device pixel ratio.
    static int screenCount();
    void moveToScreen(int index);

    std::function<void()> onCreate;
    std::function<void()> onClose;

private:
    bool created_ = false;
    std::unique_ptr<detail::HoldKeys> holdKeys_;
};

// A check box; `CaptionSide::Left` puts the caption left of the box.
enum class CaptionSide { Right, Left };

class CheckBox : public Control {
public:
    explicit CheckBox(Control* parent);

    void setCaption(const std::string& caption);
    std::string caption() const;
    void setCaptionSide(CaptionSide side);
    bool checked() const;
    // A different value runs onClick exactly as a user click does; the same value does nothing.
    void setChecked(bool checked);

    std::function<void(CheckBox&)> onClick;
};

// A framed group of radio buttons laid out in columns.
class RadioGroup : public Control {
public:
    explicit RadioGroup(Control* parent);
    ~RadioGroup() override;

    void setCaption(const std::string& caption);
    std::string caption() const;
    void setItems(const std::vector<std::string>& items);
    int itemCount() const;
    void setColumns(int columns);
    int columns() const;
    // -1 when no item is selected.
    int itemIndex() const;
    // A different index from code runs onClick as a user choice does.
    void setItemIndex(int index);

    std::function<void(RadioGroup&)> onClick;
};

enum class ComboStyle { DropDownList, DropDown };

// A drop-down list (choice only) or an editable combo box.
class ComboBox : public Control {
public:
    explicit ComboBox(Control* parent, ComboStyle style = ComboStyle::DropDownList);

    void clearItems();
    // Inserts at index (0..count); the selection stays on the item it was on, or none.
    void insertItem(int index, const std::string& text);
    void addItem(const std::string& text);
    int itemCount() const;
    std::string item(int index) const;
    // -1 when nothing is selected.
    int itemIndex() const;
    void setItemIndex(int index);
    std::string text() const;
    void setText(const std::string& text);

    // User changes only: a choice from the list or typing in the editable box.
    std::function<void(ComboBox&)> onChange;
};

class GroupBox : public Control {
public:
    explicit GroupBox(Control* parent);

    void setCaption(const std::string& caption);
    std::string caption() const;
};

enum class BorderStyle { None, Single, Sunken };

// A text with an optional bevel, of fixed size or sized to its text.
class StaticText : public Control {
public:
    explicit StaticText(Control* parent);

    void setCaption(const std::string& caption);
    std::string caption() const;
    void setAutoSize(bool autoSize);
    void setBorderStyle(BorderStyle style);
};

class Label : public Control {
public:
    explicit Label(Control* parent);

    void setCaption(const std::string& caption);
    std::string caption() const;
};

class Edit : public Control {
public:
    explicit Edit(Control* parent);

    void setText(const std::string& text);
    std::string text() const;
    void setReadOnly(bool readOnly);
};

class Button : public Control {
public:
    explicit Button(Control* parent);

    void setCaption(const std::string& caption);
    std::string caption() const;

    std::function<void(Button&)> onClick;
};

enum class Glyph {
    None,
    TriangleLeft,
    TriangleRight,
    TriangleUp,
    TriangleDown,
    TrianglesApart,
    TrianglesTogether,
    ArrowBack,
    Differences  // a level line with points scattered about it
};

// A flat tool button with a drawn glyph.
class SpeedButton : public Control {
public:
    explicit SpeedButton(Control* parent);

    void setGlyph(Glyph glyph);
    Glyph glyph() const;

    // A button that stays down shows a mode in force. Only the program puts it down or up: a
    // click runs onClick and leaves the button as it is.
    void setDown(bool down);
    bool down() const;

    std::function<void(SpeedButton&)> onClick;
    std::function<void(SpeedButton&, MouseButton, int x, int y)> onMouseDown;
    std::function<void(SpeedButton&, MouseButton, int x, int y)> onMouseUp;

private:
    Glyph glyph_ = Glyph::None;
};

// A status bar along the bottom of its window showing one line of simple text.
class StatusBar : public Control {
public:
    explicit StatusBar(Control* parent);

    void setSimpleText(const std::string& text);
    std::string simpleText() const;
};

}  // namespace pvz
