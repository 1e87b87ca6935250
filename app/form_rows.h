#pragma once
// The rows that describe the main window's controls: for each control its parent, place,
// caption, font and the settings of its kind. FormRows creates the controls in the order of the
// rows and applies the rows' settings once every control exists, in the same order.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/window_system.h"

namespace pvz {

// Where a control stands in its parent: left, top, width, height.
struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// What a row of the form states for any control. Whatever it leaves out keeps the control's
// default; enabled, colour and hint come after the control's own settings.
struct ControlRow {
    Bounds bounds;
    int tag = 0;
    const Font* font = nullptr;
    const char* caption = nullptr;
    bool enabled = true;
    std::optional<Color> color;
    const char* hint = nullptr;
    bool showHint = true;
    bool handPointCursor = false;
};

// The settings of each kind of control beyond those of ControlRow.
struct NoOwnSettings {};
struct TextSettings {
    bool autoSize = false;
    std::optional<BorderStyle> border;
};
struct EditSettings {
    bool readOnly = false;
};
struct CheckBoxSettings {
    std::optional<CaptionSide> captionSide;
    std::optional<bool> checked;
};
struct ComboBoxSettings {
    std::vector<std::string> items;
    int itemIndex = -1;
    const char* text = nullptr;
};
struct RadioGroupSettings {
    int columns = 1;
    std::vector<std::string> items;
    int itemIndex = -1;
};
struct ButtonSettings {
    std::optional<Control::FocusPolicy> focusPolicy;
};
struct SpeedButtonSettings {
    Glyph glyph = Glyph::None;
};

inline void applyOwn(Control&, const NoOwnSettings&) {}
inline void applyOwn(StaticText& text, const TextSettings& own) {
    text.setAutoSize(own.autoSize);
    if (own.border) text.setBorderStyle(*own.border);
}
inline void applyOwn(Edit& edit, const EditSettings& own) { edit.setReadOnly(own.readOnly); }
inline void applyOwn(CheckBox& box, const CheckBoxSettings& own) {
    if (own.captionSide) box.setCaptionSide(*own.captionSide);
    if (own.checked) box.setChecked(*own.checked);
}
inline void applyOwn(ComboBox& box, const ComboBoxSettings& own) {
    for (const std::string& item : own.items) box.addItem(item);
    if (own.itemIndex >= 0) box.setItemIndex(own.itemIndex);
    if (own.text != nullptr) box.setText(own.text);
}
inline void applyOwn(RadioGroup& group, const RadioGroupSettings& own) {
    group.setColumns(own.columns);
    group.setItems(own.items);
    if (own.itemIndex >= 0) group.setItemIndex(own.itemIndex);
}
inline void applyOwn(Button& button, const ButtonSettings& own) {
    if (own.focusPolicy) button.setFocusPolicy(*own.focusPolicy);
}
inline void applyOwn(SpeedButton& button, const SpeedButtonSettings& own) { button.setGlyph(own.glyph); }

// Applies a row to its control: bounds, tag, font and caption, the kind's own settings, then
// enabled, colour, hint and cursor.
template <class C, class Own>
void applyRow(C& control, const ControlRow& row, const Own& own) {
    const Bounds& b = row.bounds;
    control.setBounds(b.left, b.top, b.width, b.height);
    if (row.tag != 0) control.setTag(row.tag);
    if (row.font != nullptr) control.setFont(*row.font);
    if constexpr (requires { control.setCaption(std::string()); }) {
        if (row.caption != nullptr) control.setCaption(row.caption);
    }
    applyOwn(control, own);
    if (!row.enabled) control.setEnabled(false);
    if (row.color) control.setColor(*row.color);
    if (row.hint != nullptr) control.setHint(row.hint, row.showHint);
    if (row.handPointCursor) control.setHandPointCursor(true);
}

// Creates each row's control at once, in the order of the rows, and keeps the row's settings
// for apply(), which applies them in the same order once every control exists. The order of
// creation is each parent's child order and the Tab order; the widgets that settings create
// (a radio group's buttons) therefore follow all the controls in the Tab order.
class FormRows {
public:
    // Creates the control of one row in `parent` into `member`; `args` go to its constructor
    // after the parent.
    template <class C, class Own = NoOwnSettings, class... Args>
    C& place(std::unique_ptr<C>& member, Control& parent, const ControlRow& row, Own own = {}, Args... args) {
        member = std::make_unique<C>(&parent, args...);
        C& control = *member;
        settings_.push_back([&control, row, own = std::move(own)] { applyRow(control, row, own); });
        return control;
    }
    // Settings that no row states, in their place among the rows' settings.
    void then(std::function<void()> settings) { settings_.push_back(std::move(settings)); }
    void apply() {
        for (const auto& settings : settings_) settings();
    }

private:
    std::vector<std::function<void()>> settings_;
};

}  // namespace pvz
