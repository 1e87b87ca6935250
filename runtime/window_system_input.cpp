#include <QAbstractButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolTip>
#include <QWindow>
#include <optional>
#include <utility>

#include "runtime/window_system_input.h"
#include "runtime/window_system_qt.h"

namespace pvz {

// Reaches the toolkit widget of a control for the input functions.
struct InputAccess {
    static QWidget* widget(const Control& control) { return control.impl_->widget; }
};

namespace input {

namespace {

Qt::MouseButton toQt(MouseButton b) {
    switch (b) {
        case MouseButton::Right:
            return Qt::RightButton;
        case MouseButton::Middle:
            return Qt::MiddleButton;
        default:
            return Qt::LeftButton;
    }
}

void sendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint at) {
    if (w == nullptr) return;
    QMouseEvent event(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

}  // namespace

void click(Control& control) { click(control, {control.width() / 2, control.height() / 2}); }

void click(Control& control, Point at) {
    press(control, MouseButton::Left, at);
    release(control, MouseButton::Left, at);
}

void press(Control& control, MouseButton button, Point at) {
    sendMouse(InputAccess::widget(control), QEvent::MouseButtonPress, toQt(button), toQt(button), QPoint(at.x, at.y));
}

void release(Control& control, MouseButton button, Point at) {
    sendMouse(InputAccess::widget(control), QEvent::MouseButtonRelease, toQt(button), Qt::NoButton, QPoint(at.x, at.y));
}

std::string restPointer(Control& control, Point at) {
    QWidget* w = InputAccess::widget(control);
    if (w == nullptr) return {};
    // Each rest starts without a tip, as after the pointer has been away a while; a tip that is
    // hidden lingers for a moment otherwise.
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->inherits("QTipLabel")) top->hide();
    const QPoint local(at.x, at.y);
    QCursor::setPos(w->mapToGlobal(local));
    QHelpEvent event(QEvent::ToolTip, local, w->mapToGlobal(local));
    QApplication::sendEvent(w, &event);
    return QToolTip::isVisible() ? detail::fromQString(QToolTip::text()) : std::string();
}

void moveMouse(Control& control, Point at) {
    QWidget* w = InputAccess::widget(control);
    if (w == nullptr) return;
    QCursor::setPos(w->mapToGlobal(QPoint(at.x, at.y)));
    sendMouse(w, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, QPoint(at.x, at.y));
}

void chooseItem(ComboBox& combo, int index) {
    auto* box = static_cast<QComboBox*>(InputAccess::widget(combo));
    if (box == nullptr || !box->isEnabled() || index < 0 || index >= box->count()) return;
    // What the list popup does when the user picks a row.
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
}

void chooseItem(RadioGroup& group, int index) {
    QWidget* box = InputAccess::widget(group);
    if (box == nullptr) return;
    const QList<QAbstractButton*> buttons = box->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
    if (index < 0 || index >= buttons.size()) return;
    QAbstractButton* button = buttons[index];
    const QPoint centre = button->rect().center();
    sendMouse(button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, centre);
    sendMouse(button, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, centre);
}

void typeText(ComboBox& combo, const std::string& text) {
    auto* box = static_cast<QComboBox*>(InputAccess::widget(combo));
    if (box == nullptr || box->lineEdit() == nullptr) return;
    for (const QChar ch : detail::toQString(text)) {
        const bool erase = ch == QChar('\b');
        const int key = erase ? Qt::Key_Backspace : 0;
        const QString typed = erase ? QString() : QString(ch);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, typed);
        QApplication::sendEvent(box->lineEdit(), &press);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, typed);
        QApplication::sendEvent(box->lineEdit(), &up);
    }
}

namespace {

// The key and modifiers of key-sequence text; a modifier key is named alone or last ("Ctrl",
// "Ctrl+Shift": Shift with Ctrl already down).
std::optional<QKeyCombination> parseKeys(const std::string& keys) {
    static const std::pair<QLatin1StringView, Qt::Key> kModifierKeys[] = {
        {QLatin1StringView("Shift"), Qt::Key_Shift},
        {QLatin1StringView("Ctrl"), Qt::Key_Control},
        {QLatin1StringView("Alt"), Qt::Key_Alt},
        {QLatin1StringView("Meta"), Qt::Key_Meta},
    };
    const QString text = detail::toQString(keys);
    for (const auto& [name, key] : kModifierKeys) {
        if (text != name && !text.endsWith(QLatin1Char('+') + name)) continue;
        const QString others = text.chopped(name.size()) + QLatin1Char('A');
        const QKeySequence sequence = QKeySequence::fromString(others, QKeySequence::PortableText);
        if (sequence.count() != 1) return std::nullopt;
        return QKeyCombination(sequence[0].keyboardModifiers(), key);
    }
    const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown) return std::nullopt;
    return sequence[0];
}

// The key codes of a US keyboard under X11 for the keys the program cares about, so that a
// synthetic press and its release name their physical key as a real keyboard's do: "+" and
// "=" are one key, the keypad's plus another. Each row gives a key's code and the code of its
// keypad twin where it has one.
quint32 usScanCode(QKeyCombination combination) {
    struct ScanCode {
        Qt::Key key;
        quint32 code;
        quint32 onKeypad;
    };
    static constexpr ScanCode kCodes[] = {
        {Qt::Key_Plus, 21, 86},   {Qt::Key_Equal, 21, 21},   {Qt::Key_Minus, 20, 82},  {Qt::Key_Underscore, 20, 82},
        {Qt::Key_Left, 113, 113}, {Qt::Key_Right, 114, 114}, {Qt::Key_Up, 111, 111},   {Qt::Key_Down, 116, 116},
        {Qt::Key_Home, 110, 110}, {Qt::Key_Space, 65, 65},   {Qt::Key_Return, 36, 36}, {Qt::Key_Enter, 104, 104},
        {Qt::Key_Tab, 23, 23},    {Qt::Key_Backtab, 23, 23}, {Qt::Key_Shift, 50, 50},  {Qt::Key_Control, 37, 37},
        {Qt::Key_Alt, 64, 64},
    };
    const bool keypad = combination.keyboardModifiers() & Qt::KeypadModifier;
    for (const ScanCode& row : kCodes)
        if (row.key == combination.key()) return keypad ? row.onKeypad : row.code;
    return 0;
}

void sendKey(Form& form, const std::string& keys, QEvent::Type type, KeyRepeat repeat, KeyCode code) {
    const std::optional<QKeyCombination> parsed = parseKeys(keys);
    QWidget* window = InputAccess::widget(form);
    if (!parsed || window == nullptr) return;
    const QKeyCombination combination = *parsed;
    QWidget* target = window->focusWidget() != nullptr ? window->focusWidget() : window;
    const QString text = combination.keyboardModifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)
                             ? QString()
                             : QKeySequence(combination.key()).toString(QKeySequence::PortableText).left(1);
    const quint32 scanCode = code == KeyCode::UsKeyboard ? usScanCode(combination) : 0;
    QKeyEvent event(type, combination.key(), combination.keyboardModifiers(), scanCode, 0, 0,
                    text.size() == 1 && text[0].isPrint() ? text : QString(), repeat == KeyRepeat::AutoRepeat);
    QApplication::sendEvent(target, &event);
}

QDialog* innermostDialog() {
    const auto& dialogs = detail::ApplicationImpl::current()->openDialogs;
    return dialogs.empty() ? nullptr : dialogs.back();
}

}  // namespace

void pressKey(Form& form, const std::string& keys, KeyRepeat repeat, KeyCode code) {
    sendKey(form, keys, QEvent::KeyPress, repeat, code);
}

void releaseKey(Form& form, const std::string& keys, KeyRepeat repeat, KeyCode code) {
    sendKey(form, keys, QEvent::KeyRelease, repeat, code);
}

bool isKeyText(const std::string& keys) { return parseKeys(keys).has_value(); }

void loseFocus(Form& form) {
    QWidget* window = InputAccess::widget(form);
    if (window == nullptr) return;
    QEvent event(QEvent::WindowDeactivate);
    QApplication::sendEvent(window, &event);
}

void leave(Control& control) {
    QWidget* w = InputAccess::widget(control);
    if (w == nullptr) return;
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(w, &event);
}

void requestClose(Form& form) {
    QWidget* window = InputAccess::widget(form);
    if (window == nullptr || window->windowHandle() == nullptr) return;
    QWindow* handle = window->windowHandle();
    if (const QWindow* modal = QGuiApplication::modalWindow(); modal != nullptr && modal != handle) {
        if (modal->modality() == Qt::ApplicationModal) return;
        for (const QWindow* w = modal->transientParent(); w != nullptr; w = w->transientParent())
            if (w == handle) return;
    }
    QCloseEvent event;
    QApplication::sendEvent(handle, &event);
}

int openDialogCount() { return static_cast<int>(detail::ApplicationImpl::current()->openDialogs.size()); }

int dialogsShown() { return detail::ApplicationImpl::current()->dialogsShown; }

std::vector<std::string> dialogButtonTexts() {
    std::vector<std::string> texts;
    QDialog* dialog = innermostDialog();
    if (dialog == nullptr) return texts;
    for (const QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>())
        for (const QAbstractButton* button : box->buttons())
            texts.push_back(detail::fromQString(button->text().remove(u'&')));
    return texts;
}

std::string dialogTitle() {
    const QDialog* dialog = innermostDialog();
    return dialog == nullptr ? std::string() : detail::fromQString(dialog->windowTitle());
}

void answerDialog(DialogAnswer answer) {
    QDialog* dialog = innermostDialog();
    if (dialog == nullptr) return;
    // The keys a user answers with: Return on the focused button or field, Escape.
    QWidget* target = dialog->focusWidget() != nullptr ? dialog->focusWidget() : dialog;
    const int key = answer == DialogAnswer::Accept ? Qt::Key_Return : Qt::Key_Escape;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

}  // namespace input
}  // namespace pvz
