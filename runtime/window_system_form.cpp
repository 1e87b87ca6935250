// The main window of the toolkit: its widget, which turns the window system's close request,
// resizes and key events into the form's handlers, and the form's own operations (showing,
// maximising, bounds, focus, the smallest size).
#include <QCloseEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "runtime/window_system_qt.h"

namespace pvz {

namespace detail {
namespace {

struct FormWidget : QWidget {
    explicit FormWidget(Form* f) : form(f) {}

    void closeEvent(QCloseEvent* event) override {
        Application::instance().guarded([this] {
            if (form->onClose) form->onClose();
        });
        event->accept();
    }

    // A maximised window has the size the window system gives it, and a Wayland compositor ends
    // the program when that is below the window's minimum (a screen lower than the minimum and
    // a title bar). The minimum holds only while the window is not maximised.
    void changeEvent(QEvent* event) override {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::WindowStateChange) applyMinimum();
    }
    void applyMinimum() { setMinimumSize(isMaximized() ? QSize(0, 0) : wantedMinimum); }

    Form* form;
    QSize wantedMinimum{0, 0};
};

}  // namespace
}  // namespace detail

namespace {

// Without a window manager nothing maximises the window: a little later it takes the available
// area itself, unless something has maximised or restored it meanwhile.
void takeAvailableAreaUnlessMaximised(QWidget* w) {
    QTimer::singleShot(300, w, [w] {
        const QScreen* screen = w->screen();
        if (screen == nullptr || !w->isMaximized()) return;
        const QRect area = screen->availableGeometry();
        if (w->frameGeometry().width() < area.width() * 9 / 10) w->setGeometry(area);
    });
}

}  // namespace

Form::Form() : Control(nullptr, std::make_unique<detail::ControlImpl>(new detail::FormWidget(this))) {
    QWidget* w = impl().widget;
    w->resize(800, 600);
    w->setWindowTitle(detail::toQString(Application::instance().title()));
    setColor(clBtnFace);
}

Form::~Form() = default;

void Form::setCaption(const std::string& caption) { impl().widget->setWindowTitle(detail::toQString(caption)); }

std::string Form::caption() const { return detail::fromQString(impl().widget->windowTitle()); }

void Form::setMaximized(bool maximized) {
    QWidget* w = impl().widget;
    if (maximized == w->isMaximized()) return;
    w->setWindowState(maximized ? (w->windowState() | Qt::WindowMaximized) : (w->windowState() & ~Qt::WindowMaximized));
    if (maximized && w->isVisible()) takeAvailableAreaUnlessMaximised(w);
}

bool Form::maximized() const { return impl().widget->isMaximized(); }

void Form::show() {
    if (!created_) {
        created_ = true;
        Application::instance().guarded([this] {
            if (onCreate) onCreate();
        });
    }
    QWidget* w = impl().widget;
    w->show();
    // Shown in the maximised state, the window is mapped maximised by a window manager; leaving
    // and re-entering the state here would make it unmaximise and maximise again.
    if (w->isMaximized()) takeAvailableAreaUnlessMaximised(w);
}

bool Form::shown() const { return impl().widget->isVisible(); }

void Form::close() { impl().widget->close(); }

void Form::setMinimumClientSize(int width, int height) {
    auto* w = static_cast<detail::FormWidget*>(impl().widget.data());
    w->wantedMinimum = QSize(width, height);
    w->applyMinimum();
}
int Form::minimumClientWidth() const {
    return static_cast<const detail::FormWidget*>(impl().widget.data())->wantedMinimum.width();
}
int Form::minimumClientHeight() const {
    return static_cast<const detail::FormWidget*>(impl().widget.data())->wantedMinimum.height();
}

int Form::screenCount() { return static_cast<int>(QGuiApplication::screens().size()); }

void Form::moveToScreen(int index) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    QWidget* w = impl().widget;
    if (w == nullptr || index < 0 || index >= screens.size()) return;
    QScreen* target = screens[index];
    const QScreen* current = w->screen();
    if (current == target) return;
    const QPoint offset = current != nullptr ? w->pos() - current->geometry().topLeft() : QPoint();
    const QSize size = w->size();
    if (QWindow* window = w->windowHandle()) window->setScreen(target);
    w->move(target->geometry().topLeft() + offset);
    // Onto a screen of another scale of the toolkit's the window system keeps the window's size
    // in device pixels, once it has handled the move.
    QCoreApplication::processEvents();
    w->resize(size);
}

}  // namespace pvz
