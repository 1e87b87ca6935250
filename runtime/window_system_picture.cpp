// The panel control's picture: the bitmap it shows, what is drawn straight onto the window, and
// the overlay inverted over both where the window paints them.
#include <QMouseEvent>
#include <QPaintEvent>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "runtime/window_system_qt.h"

namespace pvz {

namespace detail {

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

// The window pixels `part` of a picture shown scaled onto the window pixels `target`: each
// takes the picture's pixel under its centre, so that it gets the same one whatever part of the
// window is painted. The painter's own scaling rounds by where the painted part begins.
QImage scaledPart(const QImage& picture, const QRect& target, const QRect& part) {
    const double scaleX = picture.width() / static_cast<double>(target.width());
    const double scaleY = picture.height() / static_cast<double>(target.height());
    const auto source = [](int offset, double scale, int size) {
        return std::clamp(static_cast<int>((offset + 0.5) * scale), 0, size - 1);
    };
    std::vector<int> columns(static_cast<std::size_t>(part.width()));
    for (int i = 0; i < part.width(); ++i)
        columns[static_cast<std::size_t>(i)] = source(part.left() + i - target.left(), scaleX, picture.width());
    QImage shown(part.size(), QImage::Format_RGB32);
    for (int j = 0; j < part.height(); ++j) {
        const auto* from = reinterpret_cast<const QRgb*>(
            picture.constScanLine(source(part.top() + j - target.top(), scaleY, picture.height())));
        auto* to = reinterpret_cast<QRgb*>(shown.scanLine(j));
        for (int i = 0; i < part.width(); ++i) to[i] = from[columns[static_cast<std::size_t>(i)]];
    }
    return shown;
}

// Inverts the pixels `box` of `image`, a Format_RGB32 image that holds them.
void invertPixels(QImage& image, const QRect& box) {
    for (int y = box.top(); y <= box.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = box.left(); x <= box.right(); ++x) row[x] ^= kInvertMask;
    }
}

}  // namespace

QRect devicePixels(const QRect& r, double ratio) {
    return QRect(
        QPoint(devicePixelOf(r.left(), ratio), devicePixelOf(r.top(), ratio)),
        QPoint(devicePixelOf(r.left() + r.width(), ratio) - 1, devicePixelOf(r.top() + r.height(), ratio) - 1));
}

void PanelWidget::paintEvent(QPaintEvent* event) {
    if (windowCanvas) windowCanvas->release();
    const bool frontCoversPanel = !front.isNull() && QRect(frontOffset, frontLogicalSize()).contains(rect()) &&
                                  front.devicePixelRatio() == devicePixelRatio();
    if (!frontOnly && ready && (paintRequested || !frontCoversPanel)) {
        paintRequested = false;
        inPaintEvent = true;
        // The front picture is dropped first so that redrawing the bitmap does not copy it.
        front = QImage();
        Application::instance().guarded([this] { panel->paint(); }, true);
        inPaintEvent = false;
    }
    QPainter painter(this);
    const QRect picture(frontOffset, frontLogicalSize());
    if (front.isNull() || !picture.contains(event->rect()))
        painter.fillRect(event->rect(), palette().color(QPalette::Window));
    if (front.isNull()) return;

    // The painter works in the window's device pixels from here on: the window's ratio, or that
    // of a grab, which may differ from the picture's.
    const double windowRatio = painter.deviceTransform().m11();
    const double ratio = front.devicePixelRatio();
    const bool oneToOne = std::abs(windowRatio - ratio) <= 1e-9;
    if (windowRatio != 1.0) painter.setWorldTransform(QTransform::fromScale(1.0 / windowRatio, 1.0 / windowRatio));
    // One to one, the picture's device pixels are the window's, with no scaling to round them
    // another way; else the picture is scaled onto the window's pixels that show it. The picture
    // goes through a view of its pixels at ratio 1, which the painter does not scale again.
    const QRect target =
        oneToOne
            ? QRect(QPoint(devicePixelOf(frontOffset.x(), ratio), devicePixelOf(frontOffset.y(), ratio)), front.size())
            : deviceCover(picture, windowRatio);
    const QImage pixels =
        ratio == 1.0 ? front
                     : QImage(front.constBits(), front.width(), front.height(), front.bytesPerLine(), front.format());
    const auto overlayPixels = [&](const QRect& box) {
        return oneToOne ? devicePixels(box.translated(-frontOffset), ratio).translated(target.topLeft())
                        : deviceCover(box, windowRatio);
    };
    // Rectangle by rectangle, each its own clip: through a clip of several rectangles (the
    // lines of a cross-hair) the picture is blended span by span. The pixels under the overlay
    // are inverted in a copy of the part, which then goes to the window in one block: the
    // painter's own inverting fill is handed to other threads row by row.
    for (const QRect& r : event->region()) {
        const QRect part = deviceCover(r, windowRatio).intersected(target);
        if (part.isEmpty()) continue;
        painter.setClipRect(part);
        const auto meetsPart = [&](const QRect& box) { return overlayPixels(box).intersects(part); };
        if (oneToOne && std::none_of(overlay.begin(), overlay.end(), meetsPart)) {
            painter.drawImage(part.topLeft(), pixels, part.translated(-target.topLeft()));
            continue;
        }
        QImage shown = oneToOne ? pixels.copy(part.translated(-target.topLeft())) : scaledPart(front, target, part);
        for (const QRect& box : overlay)
            invertPixels(shown, overlayPixels(box).intersected(part).translated(-part.topLeft()));
        painter.drawImage(part.topLeft(), shown);
    }
}

QSize PanelWidget::frontLogicalSize() const {
    if (front.isNull()) return {};
    return frontLogical.isValid() ? frontLogical : front.size();
}

void PanelWidget::setOverlay(std::vector<QRect> boxes) {
    if (boxes == overlay) return;
    // Within a paint event the whole panel is being shown, overlay included.
    if (!inPaintEvent) {
        const int margin = devicePixelRatio() == std::floor(devicePixelRatio()) ? 0 : 1;
        for (const QRect& box : overlay) update(box.adjusted(-margin, -margin, margin, margin));
        for (const QRect& box : boxes) update(box.adjusted(-margin, -margin, margin, margin));
    }
    overlay = std::move(boxes);
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
            widget_->front = QImage(devicePixelOf(widget_->width(), ratio), devicePixelOf(widget_->height(), ratio),
                                    QImage::Format_RGB32);
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

private:
    PanelWidget* widget_;
};

}  // namespace

}  // namespace detail

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
    w.front = bitmap.impl_->image;
    w.frontLogical = QSize(bitmap.impl_->width, bitmap.impl_->height);
    w.frontOffset = QPoint(x, y);
    w.windowCanvas->setOrigin(w.frontOffset);
    if (!w.inPaintEvent) w.update();
}

Canvas& PanelControl::windowCanvas() { return *panelWidget(impl()).windowCanvas; }

void PanelControl::setOverlay(std::span<const Rect> boxes) {
    std::vector<QRect> overlay;
    for (const Rect& box : boxes)
        if (!box.isEmpty()) overlay.emplace_back(box.left, box.top, box.width(), box.height());
    panelWidget(impl()).setOverlay(std::move(overlay));
}

void PanelControl::drawOverlayOn(Bitmap& picture) const {
    QImage& image = picture.impl_->image;
    if (image.isNull()) return;
    picture.impl_->canvas.release();
    picture.impl_->sameRows.clear();
    for (const QRect& box : panelWidget(impl()).overlay)
        detail::invertPixels(image, detail::devicePixels(box, image.devicePixelRatio()).intersected(image.rect()));
}

double PanelControl::pixelRatio() const { return impl().widget ? impl().widget->devicePixelRatio() : 1.0; }

}  // namespace pvz
