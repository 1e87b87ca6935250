// The application: the toolkit set up for the program, its colours and fonts, and the pointer.
#include <QCursor>
#include <QEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QScreen>
#include <QSettings>
#include <QStyleFactory>
#include <QTranslator>

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "runtime/window_system_qt.h"

namespace pvz {

namespace detail {

namespace {

constexpr QRgb kFallbackSystemColor = 0xFFF0F0F0u;

QRgb mix(QColor a, QColor b, int percentOfB) {
    const auto channel = [&](int x, int y) { return (x * (100 - percentOfB) + y * percentOfB + 50) / 100; };
    return qRgb(channel(a.red(), b.red()), channel(a.green(), b.green()), channel(a.blue(), b.blue()));
}

void fillSystemColors(std::array<QRgb, 32>& colors, const QPalette& palette) {
    colors.fill(kFallbackSystemColor);
    const auto set = [&](Color c, QRgb rgb) { colors[c & 0x1F] = rgb | 0xFF000000u; };
    set(clWindowText, palette.color(QPalette::WindowText).rgb());
    set(clBtnFace, palette.color(QPalette::Button).rgb());
    set(clBtnHighlight, palette.color(QPalette::Light).rgb());
    set(clBtnShadow, palette.color(QPalette::Dark).rgb());
    set(clInactiveBorder, palette.color(QPalette::Window).rgb());
    set(clMenuBar, palette.color(QPalette::Window).rgb());
    set(clGradientInactiveCaption, mix(palette.color(QPalette::Base), palette.color(QPalette::Highlight), 22));
}

// The largest pixel size whose cell height (ascent plus descent) does not exceed `cell`.
int pixelSizeForCellHeight(QFont font, int cell) {
    int size = std::max(1, cell * 9 / 10);
    font.setPixelSize(size);
    while (size > 1 && QFontMetrics(font).height() > cell) font.setPixelSize(--size);
    for (;;) {
        QFont larger = font;
        larger.setPixelSize(size + 1);
        if (QFontMetrics(larger).height() > cell) break;
        font = larger;
        ++size;
    }
    return size;
}

}  // namespace

QRgb toRgb(Color color, QRgb fallback) {
    if (color == clNone || color == clDefault) return fallback;
    if (isSystemColor(color)) {
        const ApplicationImpl* app = ApplicationImpl::current();
        return app != nullptr ? app->systemColors[color & 0x1F] : kFallbackSystemColor;
    }
    return qRgb(redOf(color), greenOf(color), blueOf(color));
}

const QFont& toQFont(const Font& font) {
    ApplicationImpl* app = ApplicationImpl::current();
    assert(app != nullptr && "an Application must exist before fonts are used");
    for (const auto& [key, qfont] : app->fonts)
        if (key == font) return qfont;
    QFont q(toQString(font.name));
    q.setStyleStrategy(QFont::PreferDefault);
    q.setWeight(font.bold() ? QFont::Bold : QFont::Normal);
    q.setItalic((font.style & fsItalic) != 0);
    q.setUnderline((font.style & fsUnderline) != 0);
    q.setStrikeOut((font.style & fsStrikeOut) != 0);
    q.setKerning(false);
    if (font.height < 0)
        q.setPixelSize(-font.height);
    else if (font.height > 0)
        q.setPixelSize(pixelSizeForCellHeight(q, font.height));
    else
        q.setPixelSize(11);
    if (app->fonts.size() >= 64) app->fonts.erase(app->fonts.begin());
    app->fonts.emplace_back(font, q);
    return app->fonts.back().second;
}

namespace {

// The toolkit's own components keep state in settings files (the file dialog its history and
// last directory in ~/.config/QtProject.conf), also when a dialog is only opened and cancelled.
// The program writes nothing, so every settings file of the toolkit is placed in a directory
// that cannot exist, under the null device: reads find nothing and writes fail without a trace.
void keepToolkitSettingsUnwritten() {
    const QString nowhere = QStringLiteral("/dev/null/settings");
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, nowhere);
}

// The toolkit's texts (the buttons of the message boxes, the directory chooser) in the user's
// language, where a translation is installed.
void loadToolkitTranslation(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

}  // namespace

ApplicationImpl::ApplicationImpl(Application* app, int& argc, char** argv) : QApplication(argc, argv), owner(app) {
    keepToolkitSettingsUnwritten();
    loadToolkitTranslation(*this);
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) setStyle(fusion);
    // Disabled texts in the desktop's grey-text colour: the style's own light grey vanishes on
    // the grey chart that shows through the viewer's group boxes.
    QPalette grey = palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
        grey.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
    }
    setPalette(grey);
    fillSystemColors(systemColors, palette());
    QFont base(QStringLiteral("MS Sans Serif"));
    base.setPixelSize(11);
    setFont(base);
    ownDialogs = makeToolkitDialogs();
    dialogs = ownDialogs.get();
}

ApplicationImpl::~ApplicationImpl() = default;

bool ApplicationImpl::notify(QObject* receiver, QEvent* event) {
    // The last net: handlers are wrapped one by one, so nothing should arrive here.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        owner->reportError(e.what(), true);
    } catch (...) {
        owner->reportError("Unknown exception", true);
    }
    return false;
}

}  // namespace detail

// ---------------------------------------------------------------------------------------------

Application::Application(int& argc, char** argv) : impl_(std::make_unique<detail::ApplicationImpl>(this, argc, argv)) {
    impl_->title = detail::fromQString(QCoreApplication::applicationName());
}

Application::~Application() = default;

Application& Application::instance() {
    detail::ApplicationImpl* app = detail::ApplicationImpl::current();
    assert(app != nullptr && "no Application");
    return *app->owner;
}

void Application::setTitle(const std::string& title) {
    impl_->title = title;
    QGuiApplication::setApplicationDisplayName(detail::toQString(title));
}

const std::string& Application::title() const { return impl_->title; }

bool Application::terminationRequested() const { return impl_->terminating; }

void Application::terminate() {
    impl_->terminating = true;
    QCoreApplication::exit(0);
}

void Application::exitNow() {
    for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(0);
}

int Application::screenWidth() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().width() : 0;
}

int Application::doubleClickInterval() const { return QApplication::doubleClickInterval(); }

int Application::screenHeight() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().height() : 0;
}

DialogService& Application::dialogs() { return *impl_->dialogs; }

void Application::setDialogService(DialogService* service) {
    impl_->dialogs = service != nullptr ? service : impl_->ownDialogs.get();
}

bool pointerScreenPosition(Point& position) {
    if (QGuiApplication::primaryScreen() == nullptr) return false;
    const QPoint p = QCursor::pos();
    position = {p.x(), p.y()};
    return true;
}

void setPointerScreenPosition(Point position) { QCursor::setPos(position.x, position.y); }

}  // namespace pvz
