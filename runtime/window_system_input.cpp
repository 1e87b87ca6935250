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

void sendKey(Form& form, const std::string& keys, QEvent::Type type, KeyRepeat repeat) {
    const QKeySequence sequence = QKeySequence::fromString(detail::toQString(keys), QKeySequence::PortableText);
    QWidget* window = InputAccess::widget(form);
    if (sequence.isEmpty() || window == nullptr) return;
    const QKeyCombination combination = sequence[0];
    QWidget* target = window->focusWidget() != nullptr ? window->focusWidget() : window;
    const QString text = combination.keyboardModifiers() & ~Qt::ShiftModifier
                             ? QString()
                             : QKeySequence(combination.key()).toString(QKeySequence::PortableText).left(1);
    QKeyEvent event(type, combination.key(), combination.keyboardModifiers(),
                    text.size() == 1 && text[0].isPrint() ? text : QString(), repeat == KeyRepeat::AutoRepeat);
    QApplication::sendEvent(target, &event);
}

QDialog* innermostDialog() {
    const auto& dialogs = detail::ApplicationImpl::current()->openDialogs;
    return dialogs.empty() ? nullptr : dialogs.back();
}

}  // namespace

void pressKey(Form& form, const std::string& keys, KeyRepeat repeat) { sendKey(form, keys, QEvent::KeyPress, repeat); }

void releaseKey(Form& form, const std::string& keys, KeyRepeat repeat) {
    sendKey(form, keys, QEvent::KeyRelease, repeat);
}

bool isKeyText(const std::string& keys) {
    const QKeySequence sequence = QKeySequence::fromString(detail::toQString(keys), QKeySequence::PortableText);
    return sequence.count() == 1 && sequence[0].key() != Qt::Key_unknown;
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
