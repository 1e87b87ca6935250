#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QImageWriter>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "runtime/errors.h"
#include "runtime/window_system_qt.h"

namespace pvz {

std::string fileWriteErrorText(const std::string& path, const std::string& reason) {
    return "Не удалось записать файл \"" + path + "\": " + reason;
}

void writeFileAtomically(const std::string& path, std::string_view bytes) {
    const std::filesystem::path target(path);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    const auto fail = [&path](int error) { throw Exception(fileWriteErrorText(path, std::strerror(error))); };

    // A hidden name beside the target, so that the rename stays within one file system.
    static unsigned serial = 0;
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temporary = (folder / ("." + target.filename().string() + "." + std::to_string(::getpid()) + "." +
                               std::to_string(++serial) + ".tmp"))
                        .string();
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt >= 100)) fail(errno);
    }
    const auto abandon = [&](int error) {
        if (fd >= 0) ::close(fd);
        ::unlink(temporary.c_str());
        fail(error);
    };
    for (std::size_t written = 0; written < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            abandon(errno);
        }
        written += static_cast<std::size_t>(n);
    }
    // The data reach the disk before the name does: a crash leaves the old file, not an empty one.
    if (::fsync(fd) != 0) abandon(errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) abandon(errno);
    if (::rename(temporary.c_str(), path.c_str()) != 0) abandon(errno);
}

std::string Bitmap::pngData(double dotsPerInch) const {
    QImage image = impl_->image;
    const int dotsPerMeter = static_cast<int>(std::lround(dotsPerInch / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) throw Exception(detail::fromQString(writer.errorString()));
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

void copyTextToClipboard(const std::string& text) { QGuiApplication::clipboard()->setText(detail::toQString(text)); }

void copyPictureToClipboard(const Bitmap& picture) {
    // The picture's own pixels, at ratio 1: a program that pastes it takes every pixel.
    const QByteArray png = QByteArray::fromStdString(picture.pngData(96.0));
    QImage image;
    image.loadFromData(png, "PNG");
    QGuiApplication::clipboard()->setImage(image);
}

std::string clipboardText() { return detail::fromQString(QGuiApplication::clipboard()->text()); }

bool clipboardPicture(Bitmap& into) {
    const QImage image = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) return false;
    into.setSize(image.width(), image.height());
    into.canvas().removeClip();
    into.canvas().drawPixels(0, 0, image.width(), image.height(),
                             reinterpret_cast<const std::uint32_t*>(image.constBits()),
                             static_cast<int>(image.bytesPerLine() / 4));
    return true;
}

std::string homeDirectory() { return detail::fromQString(QDir::cleanPath(QDir::homePath())); }

// ---------------------------------------------------------------------------------------------

namespace detail {

struct WindowCommandsImpl : QObject {
    WindowCommandsImpl(QWidget* window, QWidget* menuArea) : window(window), menuArea(menuArea) {
        qApp->installEventFilter(this);
    }
    ~WindowCommandsImpl() override { qApp->removeEventFilter(this); }

    struct Command {
        std::string text;
        QKeySequence keys;
        std::function<void()> action;
    };

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ContextMenu && watched == menuArea) {
            openMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        if (event->type() != QEvent::KeyPress) return false;
        // A key comes to the window's toolkit window first and then to the focused widget: it is
        // taken once, at the widget, and only in this window (not in a dialog or an open list).
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || widget->window() != window) return false;
        const auto& key = static_cast<const QKeyEvent&>(*event);
        const QKeyCombination pressed(key.modifiers() & ~Qt::KeypadModifier, Qt::Key(key.key()));
        for (const Command& command : commands) {
            if (command.keys.isEmpty() || command.keys[0] != pressed) continue;
            if (enabled && !key.isAutoRepeat()) run(command);
            return true;
        }
        return false;
    }

    void openMenu(const QPoint& at) {
        QMenu menu(window);
        std::vector<std::pair<QAction*, const Command*>> entries;
        for (const Command& command : commands) {
            QAction* action = menu.addAction(toQString(command.text));
            action->setShortcut(command.keys);
            action->setEnabled(enabled);
            entries.emplace_back(action, &command);
        }
        QAction* chosen = menu.exec(at);
        for (const auto& [action, command] : entries)
            if (action == chosen) run(*command);
    }

    static void run(const Command& command) {
        Application::instance().guarded([&command] { command.action(); });
    }

    QPointer<QWidget> window;
    QPointer<QWidget> menuArea;
    std::vector<Command> commands;
    bool enabled = true;
};

}  // namespace detail

WindowCommands::WindowCommands(Form& window, Control& menuArea)
    : impl_(std::make_unique<detail::WindowCommandsImpl>(window.impl().widget, menuArea.impl().widget)) {}

WindowCommands::~WindowCommands() = default;

void WindowCommands::add(const std::string& text, const std::string& keys, std::function<void()> action) {
    impl_->commands.push_back(
        {text, QKeySequence::fromString(detail::toQString(keys), QKeySequence::PortableText), std::move(action)});
}

void WindowCommands::setEnabled(bool enabled) { impl_->enabled = enabled; }

bool WindowCommands::enabled() const { return impl_->enabled; }

}  // namespace pvz
