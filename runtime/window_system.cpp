#include <QCursor>
#include <QEvent>
#include <QHelpEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPalette>
#include <QScreen>
#include <QSettings>
#include <QStyleFactory>
#include <QToolTip>
#include <QTranslator>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include <sys/mman.h>

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

// ---------------------------------------------------------------------------------------------

ControlImpl::ControlImpl(QWidget* w) : widget(w) { widget->installEventFilter(this); }

ControlImpl::~ControlImpl() {
    if (widget) {
        widget->removeEventFilter(this);
        delete widget.data();
    }
}

void ControlImpl::applyFont() {
    if (!widget) return;
    widget->setFont(toQFont(font));
    QPalette p = widget->palette();
    const QColor text = toQColor(font.color);
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::WindowText, text);
        p.setColor(g, QPalette::ButtonText, text);
        p.setColor(g, QPalette::Text, text);
    }
    widget->setPalette(p);
}

void ControlImpl::applyColor() {
    if (!widget) return;
    QPalette p = widget->palette();
    if (color == clDefault) {
        const QPalette inherited = widget->parentWidget() ? widget->parentWidget()->palette() : QApplication::palette();
        p.setColor(QPalette::Window, inherited.color(QPalette::Window));
        widget->setAutoFillBackground(false);
    } else {
        p.setColor(QPalette::Window, toQColor(color));
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(p);
}

void ControlImpl::layoutAlignedChildren() {
    if (owner == nullptr || !widget) return;
    QWidget* client = clientWidget();
    int bottom = client->height();
    for (Control* c : owner->children_) {
        ControlImpl& ci = *c->impl_;
        if (ci.align == Align::Bottom && ci.widget) {
            const int h = ci.widget->height();
            bottom -= h;
            ci.widget->setGeometry(0, bottom, client->width(), h);
        }
    }
    for (Control* c : owner->children_) {
        ControlImpl& ci = *c->impl_;
        if (ci.align == Align::Client && ci.widget) ci.widget->setGeometry(0, 0, client->width(), std::max(0, bottom));
    }
}

bool ControlImpl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget && event->type() == QEvent::Resize) layoutAlignedChildren();
    if (watched == widget && event->type() == QEvent::ToolTip && showHintFromSource(event)) return true;
    return QObject::eventFilter(watched, event);
}

bool ControlImpl::showHintFromSource(QEvent* event) {
    if (!hintSource) return false;
    const auto* help = static_cast<QHelpEvent*>(event);
    Rect area{0, 0, widget->width(), widget->height()};
    std::string text;
    Application::instance().guarded([&] { text = hintSource({help->pos().x(), help->pos().y()}, area); });
    if (text.empty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(help->globalPos(), toQString(text), widget,
                           QRect(area.left, area.top, area.width(), area.height()));
    }
    return true;
}

// ---------------------------------------------------------------------------------------------

PanelWidget::PanelWidget(PanelControl* p) : panel(p) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

PanelWidget::~PanelWidget() { windowCanvas.reset(); }

namespace {

// The logical rectangle that holds the device pixels `area` of a picture at `ratio`. At a
// fractional ratio it is grown by one logical pixel: the window system rounds a logical
// rectangle to its own device pixels, and the margin makes sure that whatever it rounds to
// covers every changed pixel. Whole ratios map logical pixels to device pixels exactly.
QRect logicalCover(const QRect& area, double ratio) {
    if (ratio == 1.0) return area;
    const int margin = ratio == std::floor(ratio) ? 0 : 1;
    const int left = static_cast<int>(std::floor(area.left() / ratio));
    const int top = static_cast<int>(std::floor(area.top() / ratio));
    const int right = static_cast<int>(std::ceil((area.right() + 1) / ratio));
    const int bottom = static_cast<int>(std::ceil((area.bottom() + 1) / ratio));
    return QRect(QPoint(left - margin, top - margin), QPoint(right - 1 + margin, bottom - 1 + margin));
}

// The device pixels that cover the logical rectangle `r` at `ratio`.
QRect deviceCover(const QRect& r, double ratio) {
    if (ratio == 1.0) return r;
    const int left = static_cast<int>(std::floor(r.left() * ratio));
    const int top = static_cast<int>(std::floor(r.top() * ratio));
    const int right = static_cast<int>(std::ceil((r.right() + 1) * ratio));
    const int bottom = static_cast<int>(std::ceil((r.bottom() + 1) * ratio));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

}  // namespace

void PanelWidget::replaceFront(QImage picture) {
    front = std::move(picture);
    invertedBoxes.clear();
    keptColumns.clear();
}

void PanelWidget::toggleInvertedBox(const QRect& box) {
    const auto same = std::find(invertedBoxes.begin(), invertedBoxes.end(), box);
    if (same != invertedBoxes.end())
        invertedBoxes.erase(same);
    else
        invertedBoxes.push_back(box);
}

int FrontMapping::column(int x) const {
    if (oneToOne) return x - offset.x();
    const double scale = size.width() / static_cast<double>(shown.width());
    const int c = static_cast<int>(std::floor(((x + 0.5) / windowRatio - shown.left()) * scale));
    return std::clamp(c, 0, size.width() - 1);
}

int FrontMapping::row(int y) const {
    if (oneToOne) return y - offset.y();
    const double scale = size.height() / static_cast<double>(shown.height());
    const int r = static_cast<int>(std::floor(((y + 0.5) / windowRatio - shown.top()) * scale));
    return std::clamp(r, 0, size.height() - 1);
}

namespace {

// Columns no wider than this many device pixels are kept: the cross-hair's is one logical pixel.
constexpr int kKeptColumnWidth = 4;
constexpr std::size_t kKeptColumns = 3;

}  // namespace

bool PanelWidget::showsPlainPicture(const QRect& part, const FrontMapping& mapping) const {
    const QRect source(QPoint(mapping.column(part.left()), mapping.row(part.top())),
                       QPoint(mapping.column(part.right()), mapping.row(part.bottom())));
    const auto meets = [&](const QRect& box) { return box.intersects(source); };
    if (std::any_of(invertedBoxes.begin(), invertedBoxes.end(), meets)) return false;
    const auto keeps = [&](const KeptColumn& kept) { return kept.mapping == mapping && kept.area.contains(part); };
    return std::none_of(keptColumns.begin(), keptColumns.end(), keeps);
}

QImage PanelWidget::shownPixels(const QRect& part, const FrontMapping& mapping) {
    std::vector<int> columns(static_cast<std::size_t>(part.width()));
    for (int i = 0; i < part.width(); ++i) columns[static_cast<std::size_t>(i)] = mapping.column(part.left() + i);
    const qsizetype frontStride = front.bytesPerLine() / 4;
    const auto* picture = reinterpret_cast<const std::uint32_t*>(front.constBits());
    // The picture's pixels of window row y within the columns of `part`, into `to`.
    const auto readRow = [&](int y, std::uint32_t* to) {
        const std::uint32_t* from = picture + static_cast<qsizetype>(mapping.row(y)) * frontStride;
        if (mapping.oneToOne) {
            std::memcpy(to, from + columns[0], columns.size() * sizeof(std::uint32_t));
        } else {
            for (std::size_t i = 0; i < columns.size(); ++i) to[i] = from[columns[i]];
        }
    };

    // A narrow part under an inverted box taller than wide (the cross-hair's column) is read
    // for the box's whole height once, and kept.
    const KeptColumn* kept = nullptr;
    for (const KeptColumn& k : keptColumns)
        if (k.mapping == mapping && k.area.contains(part)) kept = &k;
    if (kept == nullptr && part.width() <= kKeptColumnWidth) {
        for (const QRect& box : invertedBoxes) {
            if (box.height() <= box.width() || columns.front() < box.left() || columns.back() > box.right()) continue;
            int top = part.top();
            while (top > mapping.windowArea.top() && mapping.row(top - 1) >= box.top()) --top;
            int bottom = part.bottom();
            while (bottom < mapping.windowArea.bottom() && mapping.row(bottom + 1) <= box.bottom()) ++bottom;
            KeptColumn column{QRect(QPoint(part.left(), top), QPoint(part.right(), bottom)), mapping, {}};
            column.pixels.resize(static_cast<std::size_t>(column.area.width()) * column.area.height());
            for (int y = top; y <= bottom; ++y)
                readRow(y, column.pixels.data() + static_cast<std::size_t>(y - top) * column.area.width());
            if (keptColumns.size() >= kKeptColumns) keptColumns.erase(keptColumns.begin());
            keptColumns.push_back(std::move(column));
            kept = &keptColumns.back();
            break;
        }
    }

    QImage shown(part.size(), QImage::Format_RGB32);
    const qsizetype toStride = shown.bytesPerLine() / 4;
    auto* to = reinterpret_cast<std::uint32_t*>(shown.bits());
    for (int j = 0; j < part.height(); ++j) {
        std::uint32_t* row = to + j * toStride;
        if (kept != nullptr) {
            const std::uint32_t* from =
                kept->pixels.data() + static_cast<std::size_t>(part.top() + j - kept->area.top()) * kept->area.width() +
                (part.left() - kept->area.left());
            std::memcpy(row, from, columns.size() * sizeof(std::uint32_t));
        } else {
            readRow(part.top() + j, row);
        }
    }
    // The inverted boxes, over the window columns whose picture columns they hold (the
    // picture columns rise from left to right).
    for (const QRect& box : invertedBoxes) {
        const auto first = std::lower_bound(columns.begin(), columns.end(), box.left());
        const auto end = std::upper_bound(columns.begin(), columns.end(), box.right());
        if (first >= end) continue;
        const auto from = static_cast<std::size_t>(first - columns.begin());
        const auto until = static_cast<std::size_t>(end - columns.begin());
        for (int j = 0; j < part.height(); ++j) {
            const int source = mapping.row(part.top() + j);
            if (source < box.top() || source > box.bottom()) continue;
            std::uint32_t* row = to + j * toStride;
            for (std::size_t i = from; i < until; ++i) row[i] ^= kInvertMask;
        }
    }
    return shown;
}

QSize PanelWidget::frontLogicalSize() const {
    if (front.isNull()) return {};
    return frontLogical.isValid() ? frontLogical : front.size();
}

void PanelWidget::paintEvent(QPaintEvent* event) {
    if (windowCanvas) windowCanvas->release();
    const bool frontCoversPanel = !front.isNull() && QRect(frontOffset, frontLogicalSize()).contains(rect()) &&
                                  front.devicePixelRatio() == devicePixelRatio();
    if (!frontOnly && ready && (paintRequested || !frontCoversPanel)) {
        paintRequested = false;
        inPaintEvent = true;
        // The front picture is dropped first so that redrawing the bitmap does not copy it.
        replaceFront(QImage());
        Application::instance().guarded([this] { panel->paint(); }, true);
        inPaintEvent = false;
    }
    QPainter painter(this);
    const QRect shown(frontOffset, frontLogicalSize());
    if (front.isNull() || !shown.contains(event->rect()))
        painter.fillRect(event->rect(), palette().color(QPalette::Window));
    if (front.isNull()) return;
    const double ratio = front.devicePixelRatio();
    // Rectangle by rectangle, each its own clip: through a clip of several rectangles (the
    // lines of a cross-hair) the picture is blended span by span and row by row, in slices
    // handed to other threads; within one rectangle it is a plain copy or scaling of rows.
    const QRegion& region = event->region();
    const bool severalRects = region.rectCount() > 1;
    // The painter's own scale to device pixels (the window's ratio, or that of a grab).
    const bool oneToOne = std::abs(painter.deviceTransform().m11() - ratio) <= 1e-9;
    const double windowRatio = oneToOne ? ratio : painter.deviceTransform().m11();
    // The painter works in the window's device pixels from here on.
    if (windowRatio != 1.0) painter.setWorldTransform(QTransform::fromScale(1.0 / windowRatio, 1.0 / windowRatio));
    FrontMapping mapping;
    mapping.size = front.size();
    if (!oneToOne) {
        // A picture of another ratio (or a window whose back buffer is not at the screen's
        // ratio), shown scaled. Each window pixel takes the picture's pixel under its centre, so
        // that it gets the same one whatever rectangle it is repainted in: the painter's own
        // scaling of a part rounds by the part's position, and strips repainted after the
        // cross-hair then left pixels of their neighbours behind.
        mapping.oneToOne = false;
        mapping.windowRatio = windowRatio;
        mapping.shown = shown;
        mapping.windowArea = deviceCover(shown, windowRatio);
    } else {
        // The picture's device pixels go to the window's device pixels one to one, without the
        // painter's scaling: a scaled copy of a part would round its edges its own way.
        mapping.offset = QPoint(devicePixelOf(frontOffset.x(), ratio), devicePixelOf(frontOffset.y(), ratio));
        mapping.windowArea = QRect(mapping.offset, front.size());
    }
    // Above ratio 1 the picture is copied through a view of its pixels at ratio 1: an image of
    // a higher ratio would be scaled to its logical size, in slices handed to other threads.
    const QImage pixels =
        ratio == 1.0 ? front
                     : QImage(front.constBits(), front.width(), front.height(), front.bytesPerLine(), front.format());
    for (const QRect& r : region) {
        const QRect part = deviceCover(r, windowRatio).intersected(mapping.windowArea);
        if (part.isEmpty()) continue;
        if (severalRects) painter.setClipRect(part);
        if (mapping.oneToOne && showsPlainPicture(part, mapping))
            painter.drawImage(part.topLeft(), pixels, part.translated(-mapping.offset));
        else
            painter.drawImage(part.topLeft(), shownPixels(part, mapping));
    }
}

bool PanelWidget::event(QEvent* event) {
    // On another screen, or with the screen's ratio changed, the picture is drawn anew.
    if (event->type() == QEvent::ScreenChangeInternal) requestPaint();
    if (event->type() == QEvent::Leave && ready) Application::instance().guarded([this] { panel->mouseLeft(); });
    return QWidget::event(event);
}

void PanelWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (ready) Application::instance().guarded([this, at] { panel->mouseMoved(at.x(), at.y()); });
}

void PanelWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    paintRequested = true;
    if (ready) Application::instance().guarded([this] { panel->resized(); });
}

void PanelWidget::requestPaint() {
    paintRequested = true;
    update();
}

void PanelWidget::showDirectDrawing(const QRect& area) {
    // Within a paint event the front picture is shown once paint() returns.
    if (area.isEmpty() || inPaintEvent || !isVisible()) return;
    update(logicalCover(area, front.devicePixelRatio()).translated(frontOffset));
}

namespace {

// The canvas that draws on what the panel shows.
class WindowCanvas : public ImageCanvas {
public:
    explicit WindowCanvas(PanelWidget* widget) : ImageCanvas(&widget->front), widget_(widget) {}

protected:
    bool prepareTarget() override {
        if (widget_->front.isNull()) {
            if (widget_->width() <= 0 || widget_->height() <= 0) return false;
            const double ratio = widget_->devicePixelRatio();
            widget_->replaceFront(QImage(devicePixelOf(widget_->width(), ratio),
                                         devicePixelOf(widget_->height(), ratio), QImage::Format_RGB32));
            widget_->front.setDevicePixelRatio(ratio);
            widget_->frontLogical = widget_->size();
            widget_->front.fill(widget_->palette().color(QPalette::Window));
            widget_->frontOffset = QPoint();
            setOrigin(QPoint());
        }
        return true;
    }
    void touched(const QRect& area) override {
        widget_->showDirectDrawing(area.intersected(QRect(QPoint(), widget_->front.size())));
    }
    // Inverted boxes are kept with the widget, which applies them as it shows the picture. A
    // few are expected (the cross-hair's two lines, and those of the cross-hair drawn into the
    // picture); should more pile up, they go into the picture.
    void invertBox(const QRect& box) override {
        widget_->toggleInvertedBox(box);
        if (widget_->invertedBoxes.size() > kMaxKeptBoxes) beforePixelWrites();
    }
    void beforePixelWrites() override {
        for (const QRect& box : widget_->invertedBoxes) xorBox(box);
        widget_->invertedBoxes.clear();
        widget_->forgetKeptColumns();
    }

private:
    static constexpr std::size_t kMaxKeptBoxes = 16;
    PanelWidget* widget_;
};

}  // namespace

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

// ---------------------------------------------------------------------------------------------

namespace detail {

// Large pictures lie on huge pages: the cross-hair's column, copied to the window at every
// pointer move, touches one row of the picture per pixel, and on small pages each row is a page
// of its own for the processor to look up; a new picture also takes far fewer page faults.
QImage newPicture(int width, int height, double ratio) {
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    const qsizetype rowBytes = static_cast<qsizetype>(width) * 4;
    const std::size_t bytes = static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(height);
    QImage picture;
    if (bytes >= 2 * kHugePage) {
        const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        if (void* memory = std::aligned_alloc(kHugePage, rounded)) {
            ::madvise(memory, rounded, MADV_HUGEPAGE);
            const QImageCleanupFunction release = [](void* m) { std::free(m); };
            picture =
                QImage(static_cast<uchar*>(memory), width, height, rowBytes, QImage::Format_RGB32, release, memory);
        }
    }
    if (picture.isNull()) picture = QImage(width, height, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    return picture;
}

bool BitmapCanvas::prepareTarget() {
    QImage& picture = image();
    if (picture.isNull()) return false;
    if (!picture.isDetached()) {
        QImage own = newPicture(picture.width(), picture.height(), picture.devicePixelRatio());
        const auto rowBytes = static_cast<std::size_t>(picture.width()) * 4;
        for (int y = 0; y < picture.height(); ++y) std::memcpy(own.scanLine(y), picture.constScanLine(y), rowBytes);
        picture = own;
    }
    return true;
}

}  // namespace detail

using detail::newPicture;

Bitmap::Bitmap() : impl_(std::make_unique<detail::BitmapImpl>()) {}

Bitmap::~Bitmap() = default;

void Bitmap::setSize(int width, int height, double ratio) {
    width = std::max(0, width);
    height = std::max(0, height);
    const int deviceW = devicePixelOf(width, ratio);
    const int deviceH = devicePixelOf(height, ratio);
    if (width == impl_->width && height == impl_->height && deviceW == impl_->image.width() &&
        deviceH == impl_->image.height() && (impl_->image.isNull() || impl_->image.devicePixelRatio() == ratio))
        return;
    impl_->canvas.release();
    impl_->sameRows.clear();
    impl_->width = width;
    impl_->height = height;
    impl_->image = deviceW > 0 && deviceH > 0 ? newPicture(deviceW, deviceH, ratio) : QImage();
    if (!impl_->image.isNull()) impl_->image.fill(Qt::white);
}

void Bitmap::copyFrom(const Bitmap& source) {
    assert(source.deviceWidth() == deviceWidth() && source.deviceHeight() == deviceHeight());
    if (&source == this || impl_->image.isNull()) return;
    const QImage& pixels = source.impl_->image;
    if (!impl_->canvas.clipCoversImage()) {
        impl_->canvas.copyPixels(pixels);
        return;
    }
    // Into the picture's own pixels: a new image per drawing would cost its page faults too.
    if (!impl_->image.isDetached()) {
        impl_->canvas.release();
        impl_->image = newPicture(impl_->image.width(), impl_->image.height(), impl_->image.devicePixelRatio());
    }
    const std::vector<int>& same = source.impl_->sameRows;
    if (same.size() != static_cast<std::size_t>(pixels.height())) {
        std::memcpy(impl_->image.bits(), pixels.constBits(), static_cast<std::size_t>(pixels.sizeInBytes()));
    } else {
        // Rows of a run of equal rows are copied from its first one, which stays in the cache:
        // the copy then costs little more than writing the picture.
        const qsizetype rowBytes = pixels.bytesPerLine();
        uchar* to = impl_->image.bits();
        const uchar* from = pixels.constBits();
        for (int y = 0; y < pixels.height(); ++y)
            std::memcpy(to + y * rowBytes, from + same[static_cast<std::size_t>(y)] * rowBytes,
                        static_cast<std::size_t>(rowBytes));
    }
    impl_->sameRows.clear();
}

void Bitmap::compareRows() {
    const QImage& image = impl_->image;
    std::vector<int>& same = impl_->sameRows;
    same.assign(static_cast<std::size_t>(image.height()), 0);
    const auto rowBytes = static_cast<std::size_t>(image.bytesPerLine());
    for (int y = 1; y < image.height(); ++y) {
        const int first = same[static_cast<std::size_t>(y - 1)];
        same[static_cast<std::size_t>(y)] =
            std::memcmp(image.constScanLine(first), image.constScanLine(y), rowBytes) == 0 ? first : y;
    }
}

int Bitmap::width() const { return impl_->width; }
int Bitmap::height() const { return impl_->height; }
double Bitmap::pixelRatio() const { return impl_->image.isNull() ? 1.0 : impl_->image.devicePixelRatio(); }
int Bitmap::deviceWidth() const { return impl_->image.width(); }
int Bitmap::deviceHeight() const { return impl_->image.height(); }
Canvas& Bitmap::canvas() { return impl_->canvas; }

Color Bitmap::pixel(int x, int y) const {
    assert(x >= 0 && y >= 0 && x < width() && y < height());
    const double ratio = pixelRatio();
    return devicePixel(devicePixelOf(x, ratio), devicePixelOf(y, ratio));
}

Color Bitmap::devicePixel(int x, int y) const {
    assert(x >= 0 && y >= 0 && x < deviceWidth() && y < deviceHeight());
    return detail::fromRgb(impl_->image.pixel(x, y));
}

bool Bitmap::saveToFile(const std::string& path) const {
    return !impl_->image.isNull() && impl_->image.save(detail::toQString(path), "PNG");
}

bool Bitmap::loadFromFile(const std::string& path) {
    QImage loaded;
    if (!loaded.load(detail::toQString(path), "PNG")) return false;
    impl_->canvas.release();
    impl_->image = loaded.convertToFormat(QImage::Format_RGB32);
    // A picture read from a file is taken at ratio 1: its logical size is its size in pixels.
    impl_->image.setDevicePixelRatio(1.0);
    impl_->width = impl_->image.width();
    impl_->height = impl_->image.height();
    return true;
}

// ---------------------------------------------------------------------------------------------

namespace {

Font defaultControlFont(const Control* parent) {
    const Control* root = parent;
    while (root != nullptr && root->parent() != nullptr) root = root->parent();
    if (root != nullptr) return root->font();
    return Font{"MS Sans Serif", -11, clWindowText, 0};
}

}  // namespace

Control::Control(Control* parent, std::unique_ptr<detail::ControlImpl> impl) : parent_(parent), impl_(std::move(impl)) {
    impl_->owner = this;
    impl_->font = defaultControlFont(parent);
    if (parent != nullptr) {
        impl_->widget->setParent(parent->impl_->clientWidget());
        parent->children_.push_back(this);
        impl_->widget->show();
    }
    impl_->applyFont();
}

Control::~Control() {
    for (Control* c : children_) c->parent_ = nullptr;
    if (parent_ != nullptr) std::erase(parent_->children_, this);
}

int Control::left() const { return impl_->widget ? impl_->widget->x() : 0; }
int Control::top() const { return impl_->widget ? impl_->widget->y() : 0; }
int Control::width() const { return impl_->widget ? impl_->widget->width() : 0; }
int Control::height() const { return impl_->widget ? impl_->widget->height() : 0; }
void Control::setFocus() {
    if (QWidget* target = impl_->focusTarget()) target->setFocus(Qt::OtherFocusReason);
}

void Control::setFocusPolicy(FocusPolicy policy) {
    if (!impl_->widget) return;
    switch (policy) {
        case FocusPolicy::TabAndClick:
            impl_->widget->setFocusPolicy(Qt::StrongFocus);
            break;
        case FocusPolicy::TabOnly:
            impl_->widget->setFocusPolicy(Qt::TabFocus);
            break;
        case FocusPolicy::None:
            impl_->widget->setFocusPolicy(Qt::NoFocus);
            break;
    }
}

bool Control::hasFocus() const {
    if (!impl_->widget) return false;
    const QWidget* focused = impl_->widget->window()->focusWidget();
    return focused != nullptr && (focused == impl_->widget || impl_->widget->isAncestorOf(focused));
}

void Control::setLeft(int left) { setBounds(left, top(), width(), height()); }
void Control::setTop(int top) { setBounds(left(), top, width(), height()); }
void Control::setWidth(int width) { setBounds(left(), top(), width, height()); }
void Control::setHeight(int height) { setBounds(left(), top(), width(), height); }

void Control::setBounds(int left, int top, int width, int height) {
    QWidget* w = impl_->widget;
    if (w == nullptr) return;
    const QRect r(left, top, std::max(0, width), std::max(0, height));
    if (w->geometry() == r) return;
    w->setGeometry(r);
    if (parent_ != nullptr && impl_->align != Align::None) parent_->impl_->layoutAlignedChildren();
}

void Control::setAlign(Align align) {
    impl_->align = align;
    if (parent_ != nullptr) parent_->impl_->layoutAlignedChildren();
}

int Control::clientWidth() const { return impl_->widget ? impl_->clientWidget()->width() : 0; }
int Control::clientHeight() const { return impl_->widget ? impl_->clientWidget()->height() : 0; }

bool Control::enabled() const { return impl_->widget && !impl_->widget->testAttribute(Qt::WA_ForceDisabled); }
void Control::setEnabled(bool enabled) {
    if (impl_->widget) impl_->widget->setEnabled(enabled);
}

bool Control::visible() const { return impl_->widget && !impl_->widget->isHidden(); }
void Control::setVisible(bool visible) {
    if (impl_->widget) impl_->widget->setVisible(visible);
}

Color Control::color() const {
    if (impl_->color != clDefault) return impl_->color;
    return parent_ != nullptr ? parent_->color() : clBtnFace;
}

void Control::setColor(Color color) {
    impl_->color = color;
    impl_->applyColor();
}

const Font& Control::font() const { return impl_->font; }

void Control::setFont(const Font& font) {
    impl_->font = font;
    impl_->applyFont();
}

void Control::setHint(const std::string& hint, bool showHint) {
    impl_->hint = hint;
    impl_->showHint = showHint;
    if (impl_->widget) impl_->widget->setToolTip(showHint ? detail::toQString(hint) : QString());
}

const std::string& Control::hint() const { return impl_->hint; }

void Control::setHintSource(HintSource source) { impl_->hintSource = std::move(source); }

void Control::setHandPointCursor(bool on) {
    if (!impl_->widget) return;
    if (on)
        impl_->widget->setCursor(Qt::PointingHandCursor);
    else
        impl_->widget->unsetCursor();
}

Point Control::screenToClient(Point screen) const {
    if (!impl_->widget) return screen;
    const QPoint p = impl_->widget->mapFromGlobal(QPoint(screen.x, screen.y));
    return {p.x(), p.y()};
}

Point Control::clientToScreen(Point client) const {
    if (!impl_->widget) return client;
    const QPoint p = impl_->widget->mapToGlobal(QPoint(client.x, client.y));
    return {p.x(), p.y()};
}

void Control::grab(Bitmap& into) const {
    QWidget* w = impl_->widget;
    if (w == nullptr) return;
    // The widgets carry no meta-object of their own, so panels are told apart by dynamic_cast.
    std::vector<detail::PanelWidget*> panels;
    for (QWidget* c : w->findChildren<QWidget*>())
        if (auto* p = dynamic_cast<detail::PanelWidget*>(c)) panels.push_back(p);
    if (auto* self = dynamic_cast<detail::PanelWidget*>(w)) panels.push_back(self);
    for (detail::PanelWidget* p : panels) p->frontOnly = true;
    const QImage shot = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (detail::PanelWidget* p : panels) p->frontOnly = false;
    into.impl_->canvas.release();
    into.impl_->image = shot;
    into.impl_->width = w->width();
    into.impl_->height = w->height();
}

bool Control::grabShown(Bitmap& into) const {
    QWidget* w = impl_->widget;
    if (w == nullptr || w->screen() == nullptr || w->window()->windowHandle() == nullptr) return false;
    const QPoint at = w->mapTo(w->window(), QPoint());
    const QImage shown =
        w->screen()->grabWindow(w->window()->winId(), at.x(), at.y(), w->width(), w->height()).toImage();
    if (shown.isNull()) return false;
    into.impl_->canvas.release();
    into.impl_->image = shown.convertToFormat(QImage::Format_RGB32);
    into.impl_->width = w->width();
    into.impl_->height = w->height();
    return true;
}

// ---------------------------------------------------------------------------------------------

namespace {

std::unique_ptr<detail::ControlImpl> makePanelImpl(PanelControl* panel) {
    auto* widget = new detail::PanelWidget(panel);
    auto impl = std::make_unique<detail::ControlImpl>(widget);
    widget->windowCanvas = std::make_unique<detail::WindowCanvas>(widget);
    return impl;
}

detail::PanelWidget& panelWidget(detail::ControlImpl& impl) { return static_cast<detail::PanelWidget&>(*impl.widget); }

}  // namespace

PanelControl::PanelControl(Control* parent) : Control(parent, makePanelImpl(this)) { panelWidget(impl()).ready = true; }

PanelControl::~PanelControl() {
    if (impl().widget) panelWidget(impl()).ready = false;
}

void PanelControl::invalidate() {
    if (impl().widget) panelWidget(impl()).requestPaint();
}

void PanelControl::showBitmap(const Bitmap& bitmap, int x, int y) {
    detail::PanelWidget& w = panelWidget(impl());
    w.windowCanvas->release();
    bitmap.impl_->canvas.release();
    w.replaceFront(bitmap.impl_->image);
    w.frontLogical = QSize(bitmap.impl_->width, bitmap.impl_->height);
    w.frontOffset = QPoint(x, y);
    w.windowCanvas->setOrigin(w.frontOffset);
    if (!w.inPaintEvent) w.update();
}

Canvas& PanelControl::windowCanvas() { return *panelWidget(impl()).windowCanvas; }

double PanelControl::pixelRatio() const { return impl().widget ? impl().widget->devicePixelRatio() : 1.0; }

bool pointerScreenPosition(Point& position) {
    if (QGuiApplication::primaryScreen() == nullptr) return false;
    const QPoint p = QCursor::pos();
    position = {p.x(), p.y()};
    return true;
}

void setPointerScreenPosition(Point position) { QCursor::setPos(position.x, position.y); }

}  // namespace pvz
