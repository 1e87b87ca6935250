// Keys that hold tool buttons down: a pressed key is a pressed left mouse button on its button,
// its release the button's release.
#include <QKeyEvent>
#include <QKeySequence>
#include <QToolButton>
#include <algorithm>

#include "runtime/window_system_qt.h"

namespace pvz {

namespace detail {

namespace {

// Symbols that need Shift on some keyboards and not on others (+ is Shift+= on many).
bool shiftIsIncidental(Qt::Key key) {
    return key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde && !(key >= Qt::Key_A && key <= Qt::Key_Z) &&
           !(key >= Qt::Key_0 && key <= Qt::Key_9);
}

bool matches(QKeyCombination bound, const QKeyEvent& event) {
    if (event.key() != bound.key()) return false;
    Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (shiftIsIncidental(bound.key()) && !(bound.keyboardModifiers() & Qt::ShiftModifier))
        modifiers &= ~Qt::ShiftModifier;
    return modifiers == bound.keyboardModifiers();
}

bool clickable(const Control& control) {
    for (const Control* c = &control; c != nullptr; c = c->parent())
        if (!c->enabled()) return false;
    return true;
}

}  // namespace

void HoldKeys::press(Binding& binding) {
    binding.held = true;
    SpeedButton& button = *binding.button;
    if (!clickable(button)) return;
    binding.pressed = true;
    if (auto* tool = qobject_cast<QToolButton*>(button.impl().widget.data())) tool->setDown(true);
    const int x = button.width() / 2;
    const int y = button.height() / 2;
    Application::instance().guarded([&] {
        if (button.onMouseDown) button.onMouseDown(button, MouseButton::Left, x, y);
    });
}

void HoldKeys::release(Binding& binding) {
    binding.held = false;
    if (!binding.pressed) return;
    binding.pressed = false;
    SpeedButton& button = *binding.button;
    if (auto* tool = qobject_cast<QToolButton*>(button.impl().widget.data())) tool->setDown(false);
    const int x = button.width() / 2;
    const int y = button.height() / 2;
    Application::instance().guarded([&] {
        if (button.onMouseUp) button.onMouseUp(button, MouseButton::Left, x, y);
    });
    Application::instance().guarded([&] {
        if (button.onClick) button.onClick(button);
    });
}

void HoldKeys::releaseAll() {
    for (Binding& binding : bindings)
        if (binding.held) release(binding);
}

bool HoldKeys::releases(const Binding& binding, const QKeyEvent& event) const {
    // The physical key where the platform names it: Shift pressed or released during the hold
    // changes the key code ("+" pressed, "=" released) but not the key.
    if (binding.scanCode != 0 && event.nativeScanCode() != 0) return event.nativeScanCode() == binding.scanCode;
    if (binding.virtualKey != 0 && event.nativeVirtualKey() != 0) return event.nativeVirtualKey() == binding.virtualKey;
    // Without one, any key bound to the same button ends its hold.
    for (const Binding& other : bindings)
        if (other.button == binding.button && other.keys.key() == event.key()) return true;
    return false;
}

bool HoldKeys::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::WindowDeactivate && watched == window) {
        releaseAll();
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
    // A key comes to the window's toolkit window first and then to the focused widget: it is
    // taken once, at the widget, and only for this window (not for a dialog or an open list).
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != window) return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (type == QEvent::KeyPress) {
        // The key that holds a button, repeating, perhaps with other modifiers by now.
        for (const Binding& binding : bindings)
            if (binding.held && binding.scanCode != 0 && key.nativeScanCode() == binding.scanCode) return true;
        for (Binding& binding : bindings) {
            if (!matches(binding.keys, key)) continue;
            const bool buttonHeld = std::any_of(bindings.begin(), bindings.end(),
                                                [&](const Binding& b) { return b.held && b.button == binding.button; });
            if (!key.isAutoRepeat() && !buttonHeld) {
                binding.scanCode = key.nativeScanCode();
                binding.virtualKey = key.nativeVirtualKey();
                press(binding);
            }
            return true;
        }
        return false;
    }
    // A release ends the hold of its key whatever modifiers are down or were let go meanwhile.
    for (Binding& binding : bindings) {
        if (!binding.held || !releases(binding, key)) continue;
        if (!key.isAutoRepeat()) release(binding);
        return true;
    }
    return false;
}

}  // namespace detail

void Form::bindHoldKey(const std::string& keys, SpeedButton& button) {
    const QKeySequence sequence = QKeySequence::fromString(detail::toQString(keys), QKeySequence::PortableText);
    if (sequence.isEmpty()) return;
    if (!holdKeys_) holdKeys_ = std::make_unique<detail::HoldKeys>(impl().widget);
    holdKeys_->bindings.push_back({sequence[0], &button});
}

}  // namespace pvz
