#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QIcon>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <thread>

#include "runtime/window_system_qt.h"

namespace pvz {

std::string errorDisplayText(const std::string& message) {
    // The rule concerns the message's first line; a line below it says where the failure was.
    const std::size_t end = std::min(message.find('\n'), message.size());
    if (end == 0) return message;
    // The last character of UTF-8 text: a byte above '.' whether it is ASCII or the tail of a sequence.
    const auto last = static_cast<unsigned char>(message[end - 1]);
    if (last <= static_cast<unsigned char>('.')) return message;
    return message.substr(0, end) + "." + message.substr(end);
}

namespace detail {

// Beside the title text a window manager's title bar holds the window icon, the minimise,
// maximise and close buttons and the frame; this much room covers the common ones.
constexpr int kTitleBarRoom = 130;
// Title bars write in a bold face larger than the controls' 11 pixels.
constexpr int kTitleBarFontPixels = 15;

namespace {

// Modal dialogs without the toolkit's application modality. A modal toolkit dialog makes the
// toolkit drop every close request to the windows it blocks, so the main window's close button,
// Alt+F4 on it and the end of the session would do nothing while a dialog is open. Here the
// dialog runs in its own event loop as a plain window and this filter keeps input away from
// the other windows instead; close requests still reach them, and a close that ends the
// program (Application::terminate) ends the dialog's loop too.
class InputBlock : public QObject {
public:
    explicit InputBlock(QDialog& dialog) : dialog_(dialog) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != &dialog_ && w->isVisible()) blocked_.push_back(w);
        qApp->installEventFilter(this);
    }
    ~InputBlock() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!isInput(event->type()) || !isBlocked(watched)) return false;
        // A click on a blocked window brings the dialog back to the front. A key does not: the
        // Alt of Alt+F4 reaches the window before the window manager takes the F4, and moving
        // the focus to the dialog then would close the dialog instead of the window.
        if (event->type() == QEvent::MouseButtonPress) {
            dialog_.raise();
            dialog_.activateWindow();
        }
        return true;
    }

private:
    static bool isInput(QEvent::Type type) {
        switch (type) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseMove:
            case QEvent::Wheel:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::ContextMenu:
            case QEvent::TouchBegin:
            case QEvent::TouchUpdate:
            case QEvent::TouchEnd:
                return true;
            default:
                return false;
        }
    }
    // Whether the object belongs to one of the windows that were open when the dialog opened.
    // The dialog itself, and its own pop-ups, are children of such a window, so the dialog is
    // looked for first on the way up.
    bool isBlocked(QObject* watched) const {
        QWidget* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr) {
            if (auto* window = qobject_cast<QWindow*>(watched)) {
                for (QWidget* w : blocked_)
                    if (w->windowHandle() == window) return true;
            }
            return false;
        }
        for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
            if (w == &dialog_) return false;
            if (w->isWindow() && std::find(blocked_.begin(), blocked_.end(), w) != blocked_.end()) return true;
        }
        return false;
    }

    QDialog& dialog_;
    std::vector<QWidget*> blocked_;
};

// Shows the dialog and waits until it is answered or the program is ending; returns its result
// (Rejected when the program ends first).
int runDialog(QDialog& dialog) {
    ApplicationImpl& app = *ApplicationImpl::current();
    if (app.terminating) return QDialog::Rejected;
    dialog.setWindowModality(Qt::NonModal);
    InputBlock block(dialog);
    app.openDialogs.push_back(&dialog);
    ++app.dialogsShown;
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    if (dialog.isVisible() && !app.terminating) loop.exec();
    std::erase(app.openDialogs, &dialog);
    dialog.hide();
    return dialog.result();
}

// The parent that keeps a dialog above the program's window: its active or first visible window.
QWidget* dialogParent() {
    if (QWidget* active = QApplication::activeWindow()) return active;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->isWindow() && qobject_cast<QDialog*>(w) == nullptr) return w;
    return nullptr;
}

class ToolkitDialogs : public DialogService {
public:
    void showMessage(const std::string& text) override { show(QMessageBox::NoIcon, text); }
    void showError(const std::string& text) override { show(QMessageBox::Critical, text); }

    DirectoryChoice chooseDirectory(const std::string& start, const std::string& title) override {
        QFileDialog dialog(dialogParent(), QString(), toQString(start));
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::Drives | QDir::NoDotAndDotDot);
        dialog.setWindowTitle(toQString(title));
        if (runDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {false, {}};
        return {true, fromQString(QDir::cleanPath(QDir(dialog.selectedFiles().first()).absolutePath()))};
    }

    FileChoice chooseSaveFile(const std::string& title, const std::string& directory, const std::string& proposedName,
                              const std::string& filter) override {
        QFileDialog dialog(dialogParent(), toQString(title), toQString(directory));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(toQString(filter));
        // A name typed without the extension gets the proposed name's.
        const QString proposed = toQString(proposedName);
        if (const qsizetype dot = proposed.lastIndexOf(u'.'); dot > 0) dialog.setDefaultSuffix(proposed.mid(dot + 1));
        dialog.selectFile(proposed);
        if (runDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        return {true, fromQString(QDir::cleanPath(QFileInfo(dialog.selectedFiles().first()).absoluteFilePath()))};
    }

private:
    static void show(QMessageBox::Icon icon, const std::string& text) {
        QMessageBox box(icon, toQString(Application::instance().title()), toQString(text), QMessageBox::Ok,
                        dialogParent());
        prepareMessageBox(box);
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            box.move(screen->availableGeometry().center() - box.rect().center());
        runDialog(box);
    }
};

}  // namespace

void prepareMessageBox(QMessageBox& box) {
    // A message box as narrow as a short text would have its title cut ("Про…иков"): a spacer
    // across the box's grid holds it at the width of the whole title.
    const int wanted = titleBarWidth(fromQString(box.windowTitle()));
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const QMargins margins = grid->contentsMargins();
        const int inner = std::max(0, wanted - margins.left() - margins.right());
        grid->addItem(new QSpacerItem(inner, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    box.adjustSize();
}

}  // namespace detail

int titleBarWidth(const std::string& title) {
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPixelSize(detail::kTitleBarFontPixels);
    return QFontMetrics(font).horizontalAdvance(detail::toQString(title)) + detail::kTitleBarRoom;
}

int messageBoxWidth(const std::string& text) {
    QMessageBox box(QMessageBox::Critical, detail::toQString(Application::instance().title()), detail::toQString(text),
                    QMessageBox::Ok);
    detail::prepareMessageBox(box);
    return box.width();
}

namespace detail {

std::unique_ptr<DialogService> makeToolkitDialogs() { return std::make_unique<ToolkitDialogs>(); }

void ApplicationImpl::showPendingErrors() {
    errorFlushScheduled = false;
    if (errorShowing) return;
    errorShowing = true;
    while (!pendingErrors.empty()) {
        const std::string text = std::move(pendingErrors.front());
        pendingErrors.pop_front();
        try {
            dialogs->showError(text);
        } catch (...) {
            // A failing error display must not take the event loop down with it.
        }
    }
    errorShowing = false;
}

// One tick of a timer: the toolkit's QTimer with the program's handler.
struct TimerImpl {
    QTimer timer;
    int interval = 0;
    bool enabled = true;

    // Starts the count from zero; a timer with interval 0 does not run.
    void restart() {
        if (enabled && interval > 0)
            timer.start(interval);
        else
            timer.stop();
    }
};

}  // namespace detail

void Application::reportError(const std::string& message, bool deferred) {
    impl_->pendingErrors.push_back(errorDisplayText(message));
    // An error raised while a box is open (a timer keeps ticking under a modal box) waits its turn.
    if (deferred || impl_->errorShowing) {
        if (!impl_->errorFlushScheduled) {
            impl_->errorFlushScheduled = true;
            QTimer::singleShot(0, impl_.get(), [app = impl_.get()] { app->showPendingErrors(); });
        }
        return;
    }
    impl_->showPendingErrors();
}

void Application::guarded(const std::function<void()>& fn, bool deferReport) noexcept {
    try {
        try {
            fn();
        } catch (const std::exception& e) {
            reportError(e.what(), deferReport);
        } catch (...) {
            reportError("Unknown exception", deferReport);
        }
    } catch (...) {
        // Reporting itself failed (no memory): the event goes unreported rather than unwinding into the toolkit.
    }
}

int Application::run(Form& mainForm) {
    mainForm.show();
    if (impl_->terminating) return 0;
    const int code = QApplication::exec();
    return code < 0 ? 0 : code;
}

void Application::processPendingEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // What the handlers just posted, above all the paint that input asked for.
    QCoreApplication::sendPostedEvents();
}

void Application::waitForEvents(PumpClock::time_point deadline) {
    processPendingEvents();
    while (!impl_->terminating) {
        const auto now = PumpClock::now();
        if (now >= deadline) return;
        const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        bool timedOut = false;
        QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
            timedOut = true;
            loop.quit();
        });
        timer.start(static_cast<int>(std::min<long long>(remaining, 1 << 30)));
        loop.exec();
        if (!timedOut) {
            // The loop ended without its timer: the application is quitting (exec returns at once
            // from now on), so the rest of the wait sleeps instead of spinning.
            impl_->terminating = true;
        }
    }
    processPendingEvents();
    std::this_thread::sleep_until(deadline);
}

// ---------------------------------------------------------------------------------------------

Timer::Timer(int intervalMs) : impl_(std::make_unique<detail::TimerImpl>()) {
    impl_->timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&impl_->timer, &QTimer::timeout, [this] {
        if (onTimer) Application::instance().guarded([this] { onTimer(*this); });
    });
    impl_->interval = std::max(0, intervalMs);
    impl_->restart();
}

Timer::~Timer() = default;

int Timer::interval() const { return impl_->interval; }

void Timer::setInterval(int intervalMs) {
    intervalMs = std::max(0, intervalMs);
    if (intervalMs == impl_->interval) return;
    impl_->interval = intervalMs;
    impl_->restart();
}

bool Timer::enabled() const { return impl_->enabled; }

void Timer::setEnabled(bool enabled) {
    if (enabled == impl_->enabled) return;
    impl_->enabled = enabled;
    impl_->restart();
}

// ---------------------------------------------------------------------------------------------

void showMessage(const std::string& text) { Application::instance().dialogs().showMessage(text); }

DirectoryChoice chooseDirectory(const std::string& start, const std::string& title) {
    return Application::instance().dialogs().chooseDirectory(start, title);
}

namespace {

// The start of the application, for the toolkit's message handler, which is a plain function:
// the program's name and the messages held back until the start succeeds.
struct Starting {
    std::string program;
    std::vector<QString> messages;
};
Starting* starting = nullptr;

void startMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        // The toolkit found no display, or no plugin for it, and would abort now.
        std::fprintf(stderr,
                     "%s: cannot open a window: no X11 or Wayland display is reachable, or there is no "
                     "platform plugin for it\n",
                     starting->program.c_str());
        std::fflush(stderr);
        std::_Exit(1);
    }
    starting->messages.push_back(qFormatLogMessage(type, context, text));
}

}  // namespace

std::unique_ptr<Application> startApplication(int& argc, char** argv, const std::string& program) {
    Starting start{program, {}};
    starting = &start;
    const QtMessageHandler previous = qInstallMessageHandler(startMessage);
    auto application = std::make_unique<Application>(argc, argv);
    qInstallMessageHandler(previous);
    starting = nullptr;
    for (const QString& message : start.messages) std::fprintf(stderr, "%s\n", qPrintable(message));
    return application;
}

bool setProgramIcon(const std::string& path) {
    const QIcon icon(detail::toQString(path));
    if (icon.pixmap(QSize(32, 32)).isNull()) return false;
    QApplication::setWindowIcon(icon);
    return true;
}

FileChoice chooseSaveFile(const std::string& title, const std::string& directory, const std::string& proposedName,
                          const std::string& filter) {
    return Application::instance().dialogs().chooseSaveFile(title, directory, proposedName, filter);
}

std::string currentDirectory() { return detail::fromQString(QDir::cleanPath(QDir::currentPath())); }

}  // namespace pvz
