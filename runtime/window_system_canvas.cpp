#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "runtime/window_system_qt.h"

namespace pvz::detail {

namespace {

// On and off runs of the cosmetic pen styles, in pixels.
struct DashPattern {
    std::array<int, 6> runs{};
    int count = 0;
    int length = 0;
};

constexpr DashPattern makePattern(std::initializer_list<int> runs) {
    DashPattern p;
    for (int r : runs) {
        p.runs[static_cast<std::size_t>(p.count++)] = r;
        p.length += r;
    }
    return p;
}

constexpr DashPattern kDash = makePattern({18, 6});
constexpr DashPattern kDot = makePattern({3, 3});
constexpr DashPattern kDashDot = makePattern({9, 6, 3, 6});
constexpr DashPattern kDashDotDot = makePattern({9, 3, 3, 3, 3, 3});
constexpr DashPattern kAlternate = makePattern({1, 1});

const DashPattern* patternFor(const Pen& pen) {
    if (pen.smallDots) return &kAlternate;
    switch (pen.style) {
        case PenStyle::Dash:
            return &kDash;
        case PenStyle::Dot:
            return &kDot;
        case PenStyle::DashDot:
            return &kDashDot;
        case PenStyle::DashDotDot:
            return &kDashDotDot;
        default:
            return nullptr;
    }
}

// Whether the pattern is "on" at position pos (any non-negative value).
bool patternOn(const DashPattern& p, int pos) {
    int at = pos % p.length;
    for (int i = 0; i < p.count; ++i) {
        if (at < p.runs[static_cast<std::size_t>(i)]) return i % 2 == 0;
        at -= p.runs[static_cast<std::size_t>(i)];
    }
    return false;
}

bool penDraws(const Pen& pen) {
    if (pen.mode == PenMode::Not) return pen.style != PenStyle::Clear || pen.smallDots;
    return pen.color != clNone && (pen.style != PenStyle::Clear || pen.smallDots);
}

bool brushFills(const Brush& brush) { return brush.style == BrushStyle::Solid && brush.color != clNone; }

Qt::PenStyle qtPenStyle(PenStyle style) {
    switch (style) {
        case PenStyle::Dash:
            return Qt::DashLine;
        case PenStyle::Dot:
            return Qt::DotLine;
        case PenStyle::DashDot:
            return Qt::DashDotLine;
        case PenStyle::DashDotDot:
            return Qt::DashDotDotLine;
        case PenStyle::Clear:
            return Qt::NoPen;
        default:
            return Qt::SolidLine;
    }
}

// Wide lines with vectors up to this long in either direction are stamped.
constexpr int kLongestStampedLine = 64;

void setWidePen(QPainter& painter, QColor color, int width) {
    QPen qpen(color, width);
    qpen.setStyle(Qt::SolidLine);
    qpen.setCapStyle(Qt::RoundCap);
    qpen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(qpen);
}

// The pixels of a thin line, one step at a time from its first pixel: a step goes one pixel
// along the longer extent and, when the error runs out, one across.
struct LineWalk {
    int x;
    int y;
    int dx;  // extents, >= 0
    int dy;
    int sx;  // directions, +1 or -1
    int sy;
    int err = (dx >= dy ? dx : dy) / 2;

    void step() {
        if (dx >= dy) {
            x += sx;
            err -= dy;
            if (err < 0) {
                y += sy;
                err += dx;
            }
        } else {
            y += sy;
            err -= dx;
            if (err < 0) {
                x += sx;
                err += dy;
            }
        }
    }
};

QRect boxOf(QPoint a, QPoint b, int grow) {
    return QRect(QPoint(std::min(a.x(), b.x()) - grow, std::min(a.y(), b.y()) - grow),
                 QPoint(std::max(a.x(), b.x()) + grow, std::max(a.y(), b.y()) + grow));
}

}  // namespace

void ImageCanvas::release() {
    if (painting_) painter_.end();
    painting_ = false;
    bits_ = nullptr;
    painterUse_ = PainterUse::None;
    painterClipValid_ = false;
    painterFontValid_ = false;
    clipValid_ = false;
}

QRect ImageCanvas::clipRect() {
    if (!clipValid_) {
        const QRect all(0, 0, image_->width(), image_->height());
        clip_ = clipped_ ? all.intersected(devBox(userClip_)) : all;
        clipValid_ = true;
    }
    return clip_;
}

bool ImageCanvas::beginDirect() {
    if (!prepareTarget()) return false;
    if (bits_ == nullptr) {
        clipValid_ = false;
        acquirePixels();
        ratio_ = image_->devicePixelRatio();
    }
    return true;
}

void ImageCanvas::acquirePixels() {
    // bits() detaches a shared picture, so drawing never shows through to another owner.
    bits_ = reinterpret_cast<std::uint32_t*>(image_->bits());
    stride_ = image_->bytesPerLine() / 4;
}

bool ImageCanvas::beginPainter(PainterUse use) {
    if (!beginDirect()) return false;
    if (!painting_) {
        painter_.begin(image_);
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painting_ = true;
        painterUse_ = PainterUse::None;
        painterClipValid_ = false;
        painterFontValid_ = false;
        acquirePixels();
    }
    if (!painterClipValid_) {
        // The painter works in logical coordinates and scales them to the image's pixels itself.
        if (clipped_)
            painter_.setClipRect(ratio_ == 1.0 ? clipRect() : userClip_);
        else
            painter_.setClipping(false);
        painterClipValid_ = true;
    }
    if (use == PainterUse::Shape) {
        const Pen& pen = state_.pen;
        const Brush& brush = state_.brush;
        if (painterUse_ != PainterUse::Shape || !(painterPen_ == pen)) {
            if (!penDraws(pen)) {
                painter_.setPen(Qt::NoPen);
            } else {
                if (pen.width > 1) {
                    setWidePen(painter_, toQColor(pen.color), pen.width);
                    if (ratio_ != 1.0) {
                        // Above ratio 1 the wide lines of a series are drawn by the painter one
                        // by one; square ends cover the joints as round ones do, without the
                        // curves that made up most of the cost of such a drawing.
                        QPen square = painter_.pen();
                        square.setCapStyle(Qt::SquareCap);
                        square.setJoinStyle(Qt::MiterJoin);
                        painter_.setPen(square);
                    }
                } else {
                    QPen qpen(toQColor(pen.color), 1);
                    qpen.setStyle(qtPenStyle(pen.style));
                    qpen.setCapStyle(Qt::FlatCap);
                    qpen.setJoinStyle(Qt::RoundJoin);
                    painter_.setPen(qpen);
                }
            }
            painter_.setCompositionMode(pen.mode == PenMode::Not ? QPainter::RasterOp_NotDestination
                                                                 : QPainter::CompositionMode_SourceOver);
            painterPen_ = pen;
        }
        if (painterUse_ != PainterUse::Shape || !(painterBrush_ == brush)) {
            if (brushFills(brush))
                painter_.setBrush(toQColor(brush.color, 0xFFFFFFFFu));
            else
                painter_.setBrush(Qt::NoBrush);
            painterBrush_ = brush;
        }
        painterUse_ = PainterUse::Shape;
    } else if (use == PainterUse::Text) {
        if (painterUse_ != PainterUse::Text || painterTextColor_ != state_.font.color) {
            painter_.setPen(toQColor(state_.font.color));
            painter_.setBrush(Qt::NoBrush);
            painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
            painterTextColor_ = state_.font.color;
        }
        if (!painterFontValid_ || !(painterFont_ == state_.font)) {
            painter_.setFont(toQFont(state_.font));
            painterFont_ = state_.font;
            painterFontValid_ = true;
        }
        painterUse_ = PainterUse::Text;
    }
    return true;
}

void ImageCanvas::fillBox(const QRect& box, QRgb rgb, bool invert) {
    // Intersected here: QRect::intersected is a call into the toolkit, and markers and the
    // gradient's strips are tens of thousands of small boxes.
    const QRect clip = clipRect();
    const int left = std::max(box.left(), clip.left());
    const int right = std::min(box.right(), clip.right());
    const int top = std::max(box.top(), clip.top());
    const int bottom = std::min(box.bottom(), clip.bottom());
    if (left > right || top > bottom) return;
    const int n = right - left + 1;
    std::uint32_t* row = bits_ + static_cast<qsizetype>(top) * stride_ + left;
    for (int y = top; y <= bottom; ++y, row += stride_) {
        if (invert) {
            for (int i = 0; i < n; ++i) row[i] ^= kInvertMask;
        } else if (n == 1) {
            *row = rgb;
        } else {
            std::fill_n(row, n, rgb);
        }
    }
}

void ImageCanvas::thinLine(QPoint from, QPoint to) {
    const Pen& pen = state_.pen;
    const DashPattern* pattern = patternFor(pen);
    const Point start{from.x() + origin_.x(), from.y() + origin_.y()};
    if (!(start == lastLineEnd_)) stylePosition_ = 0;
    const QRgb rgb = toRgb(pen.color);
    const bool invert = pen.mode == PenMode::Not;
    const QRect clip = clipRect();

    const int x = from.x();
    const int y = from.y();
    const int dx = std::abs(to.x() - x);
    const int dy = std::abs(to.y() - y);
    const int sx = to.x() > x ? 1 : -1;
    const int sy = to.y() > y ? 1 : -1;
    const int steps = std::max(dx, dy);  // the end pixel is not drawn
    if (pattern == nullptr && (dx == 0 || dy == 0) && steps > 0) {
        // A solid row or column (grid lines, frames, the cross-hair): the pixels from `from` to
        // the one before `to`, clipped once. At any ratio they are one box of device pixels, so
        // an inverting line drawn twice restores every pixel it touched.
        const int lastX = dy == 0 ? to.x() - sx : x;
        const int lastY = dx == 0 ? to.y() - sy : y;
        fillBox(devBox(std::min(x, lastX), std::min(y, lastY), std::max(x, lastX) + 1, std::max(y, lastY) + 1), rgb,
                invert);
    } else if (ratio_ != 1.0) {
        // Dotted and dashed lines: every logical pixel that is on becomes its box of device
        // pixels, so that the picture reduced to logical size is the one drawn at ratio 1.
        LineWalk walk{x, y, dx, dy, sx, sy};
        for (int i = 0; i < steps; ++i, walk.step()) {
            if (pattern == nullptr || patternOn(*pattern, stylePosition_ + i))
                fillBox(devBox(walk.x, walk.y, walk.x + 1, walk.y + 1), rgb, invert);
        }
    } else {
        LineWalk walk{x, y, dx, dy, sx, sy};
        for (int i = 0; i < steps; ++i, walk.step()) {
            const bool on = pattern == nullptr || patternOn(*pattern, stylePosition_ + i);
            const int px = walk.x;
            const int py = walk.y;
            // Compared here: QRect::contains is a call into the toolkit per pixel.
            if (on && px >= clip.left() && px <= clip.right() && py >= clip.top() && py <= clip.bottom()) {
                std::uint32_t& pixel = bits_[static_cast<qsizetype>(py) * stride_ + px];
                pixel = invert ? (pixel ^ kInvertMask) : rgb;
            }
        }
    }
    stylePosition_ += steps;
    if (pattern != nullptr) stylePosition_ %= pattern->length;
    lastLineEnd_ = {to.x() + origin_.x(), to.y() + origin_.y()};
}

bool ImageCanvas::stampedLine(QPoint from, QPoint to) {
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    if (std::abs(dx) > kLongestStampedLine || std::abs(dy) > kLongestStampedLine) return false;
    // Far outside the picture the painter clips the path itself; leave those lines to it.
    const QRect near = QRect(0, 0, image_->width(), image_->height()).adjusted(-128, -128, 128, 128);
    if (!near.contains(from) || !near.contains(to)) return false;
    const int width = state_.pen.width;
    const std::uint64_t key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(width)) << 32) |
                              (static_cast<std::uint64_t>(dx + kLongestStampedLine) << 16) |
                              static_cast<std::uint64_t>(dy + kLongestStampedLine);
    auto found = lineStamps_.find(key);
    if (found == lineStamps_.end()) {
        // Drawn once in white over black with the pen the painter would use here.
        const int margin = width + 2;
        const QPoint start(margin + std::max(0, -dx), margin + std::max(0, -dy));
        QImage scratch(std::abs(dx) + 2 * margin + 1, std::abs(dy) + 2 * margin + 1, QImage::Format_RGB32);
        scratch.fill(Qt::black);
        {
            QPainter painter(&scratch);
            painter.setRenderHint(QPainter::Antialiasing, false);
            setWidePen(painter, Qt::white, width);
            painter.setBrush(Qt::NoBrush);
            painter.drawLine(start, start + QPoint(dx, dy));
        }
        LineStamp stamp;
        for (int y = 0; y < scratch.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
            for (int x = 0; x < scratch.width();) {
                if ((row[x] & kInvertMask) == 0) {
                    ++x;
                    continue;
                }
                int end = x + 1;
                while (end < scratch.width() && (row[end] & kInvertMask) != 0) ++end;
                stamp.runs.emplace_back(x - start.x(), y - start.y(), end - x, 1);
                x = end;
            }
        }
        found = lineStamps_.emplace(key, std::move(stamp)).first;
    }
    const QRgb rgb = toRgb(state_.pen.color);
    for (const QRect& run : found->second.runs) fillBox(run.translated(from), rgb, false);
    return true;
}

void ImageCanvas::lineTo(int x, int y) {
    const QPoint from(current_.x - origin_.x(), current_.y - origin_.y());
    const QPoint to(x - origin_.x(), y - origin_.y());
    current_ = {x, y};
    const Pen& pen = state_.pen;
    if (!penDraws(pen)) return;
    const bool slanted = from.x() != to.x() && from.y() != to.y();
    if (!beginDirect()) return;
    if (pen.smallDots || (pen.width <= 1 && (ratio_ == 1.0 || !slanted || pen.style != PenStyle::Solid))) {
        thinLine(from, to);
        touched(devBox(boxOf(from, to, 0)));
    } else if (pen.mode == PenMode::Copy && ratio_ == 1.0 && stampedLine(from, to)) {
        lastLineEnd_ = {x, y};
        touched(boxOf(from, to, pen.width));
    } else {
        // Wide lines, and slanted lines above ratio 1, go to the painter, which draws them in
        // the pen's logical width at the image's resolution.
        if (!beginPainter(PainterUse::Shape)) return;
        painter_.drawLine(from, to);
        lastLineEnd_ = {x, y};
        touched(devBox(boxOf(from, to, pen.width + 1)));
    }
}

void ImageCanvas::rectangle(const Rect& r) {
    if (r.isEmpty() || !beginDirect()) return;
    const QRect box(r.left - origin_.x(), r.top - origin_.y(), r.width(), r.height());
    const Pen& pen = state_.pen;
    const bool invert = pen.mode == PenMode::Not;
    QRect inner = box;
    if (penDraws(pen)) {
        // A band of the pen's width centred on the outermost pixels of the figure.
        const int w = std::max(1, pen.width);
        const QRect outer = box.adjusted(-(w - 1) / 2, -(w - 1) / 2, (w - 1) - (w - 1) / 2, (w - 1) - (w - 1) / 2);
        inner = outer.adjusted(w, w, -w, -w);
        const QRgb rgb = toRgb(pen.color);
        fillBox(devBox(QRect(outer.left(), outer.top(), outer.width(), w)), rgb, invert);
        fillBox(devBox(QRect(outer.left(), outer.bottom() - w + 1, outer.width(), w)), rgb, invert);
        if (outer.height() > 2 * w) {
            fillBox(devBox(QRect(outer.left(), outer.top() + w, w, outer.height() - 2 * w)), rgb, invert);
            fillBox(devBox(QRect(outer.right() - w + 1, outer.top() + w, w, outer.height() - 2 * w)), rgb, invert);
        }
        if (outer.height() <= w || outer.width() <= w) inner = QRect();
    }
    if (brushFills(state_.brush) && !inner.isEmpty())
        fillBox(devBox(inner), toRgb(state_.brush.color, 0xFFFFFFFFu), invert);
    touched(devBox(box.adjusted(-pen.width, -pen.width, pen.width, pen.width)));
}

void ImageCanvas::fillRect(const Rect& r) {
    if (r.isEmpty() || !brushFills(state_.brush) || !beginDirect()) return;
    const QRect box = devBox(r.left - origin_.x(), r.top - origin_.y(), r.right - origin_.x(), r.bottom - origin_.y());
    fillBox(box, toRgb(state_.brush.color, 0xFFFFFFFFu), false);
    touched(box);
}

void ImageCanvas::ellipse(const Rect& r) {
    if (r.isEmpty() || !beginPainter(PainterUse::Shape)) return;
    const int l = r.left - origin_.x();
    const int t = r.top - origin_.y();
    if (penDraws(state_.pen))
        painter_.drawEllipse(QRect(l, t, r.width() - 1, r.height() - 1));
    else
        painter_.drawEllipse(QRectF(l, t, r.width(), r.height()));
    const int w = state_.pen.width;
    touched(devBox(QRect(l, t, r.width(), r.height()).adjusted(-w, -w, w, w)));
}

void ImageCanvas::polygon(std::span<const Point> points) {
    if (points.size() < 2 || !beginPainter(PainterUse::Shape)) return;
    polygonPoints_.resize(static_cast<qsizetype>(points.size()));
    int minX = INT32_MAX, minY = INT32_MAX, maxX = INT32_MIN, maxY = INT32_MIN;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const int x = points[i].x - origin_.x();
        const int y = points[i].y - origin_.y();
        polygonPoints_[static_cast<qsizetype>(i)] = QPoint(x, y);
        minX = std::min(minX, x);
        minY = std::min(minY, y);
        maxX = std::max(maxX, x);
        maxY = std::max(maxY, y);
    }
    painter_.drawPolygon(polygonPoints_.constData(), static_cast<int>(polygonPoints_.size()), Qt::OddEvenFill);
    const int w = state_.pen.width;
    touched(devBox(QRect(QPoint(minX - w, minY - w), QPoint(maxX + w, maxY + w))));
}

void ImageCanvas::setClipRect(const Rect& r) {
    clipped_ = true;
    userClip_ = QRect(r.left - origin_.x(), r.top - origin_.y(), std::max(0, r.width()), std::max(0, r.height()));
    painterClipValid_ = false;
    clipValid_ = false;
}

void ImageCanvas::removeClip() {
    clipped_ = false;
    painterClipValid_ = false;
    clipValid_ = false;
}

void ImageCanvas::frame3D(Rect& r, Color topLeft, Color bottomRight, int width) {
    const Rect outer = r;
    r = r.inflated(-width, -width);
    if (width <= 0 || outer.isEmpty() || !beginDirect()) return;
    const QRgb tl = toRgb(topLeft);
    const QRgb br = toRgb(bottomRight);
    QRect box(outer.left - origin_.x(), outer.top - origin_.y(), outer.width(), outer.height());
    const QRect all = box;
    for (int i = 0; i < width && box.width() > 0 && box.height() > 0; ++i) {
        // Top row and left column without the far corners, then the right column and bottom row whole.
        if (topLeft != clNone) {
            fillBox(devBox(QRect(box.left(), box.top(), box.width() - 1, 1)), tl, false);
            fillBox(devBox(QRect(box.left(), box.top(), 1, box.height() - 1)), tl, false);
        }
        if (bottomRight != clNone) {
            fillBox(devBox(QRect(box.right(), box.top(), 1, box.height())), br, false);
            fillBox(devBox(QRect(box.left(), box.bottom(), box.width(), 1)), br, false);
        }
        box.adjust(1, 1, -1, -1);
    }
    touched(devBox(all));
}

void ImageCanvas::drawPixels(int x, int y, int width, int height, const std::uint32_t* pixels, int stride) {
    if (width <= 0 || height <= 0 || pixels == nullptr || !beginDirect()) return;
    const QRect box(x - origin_.x(), y - origin_.y(), width, height);
    if (ratio_ != 1.0) {
        // Each logical pixel becomes its box of device pixels.
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column) {
                const int px = box.left() + column;
                const int py = box.top() + row;
                fillBox(devBox(px, py, px + 1, py + 1),
                        pixels[static_cast<qsizetype>(row) * stride + column] | 0xFF000000u, false);
            }
        touched(devBox(box));
        return;
    }
    const QRect area = box.intersected(clipRect());
    if (area.isEmpty()) return;
    for (int row = area.top(); row <= area.bottom(); ++row) {
        const std::uint32_t* src =
            pixels + static_cast<qsizetype>(row - box.top()) * stride + (area.left() - box.left());
        std::uint32_t* dst = bits_ + static_cast<qsizetype>(row) * stride_ + area.left();
        // Two pixels a step: the compiler does not vectorise the plain loop, and this copy of a
        // whole frame was a third of a chart drawing.
        int i = 0;
        for (; i + 2 <= area.width(); i += 2) {
            std::uint64_t pair;
            std::memcpy(&pair, src + i, sizeof pair);
            pair |= 0xFF000000FF000000u;
            std::memcpy(dst + i, &pair, sizeof pair);
        }
        for (; i < area.width(); ++i) dst[i] = src[i] | 0xFF000000u;
    }
    touched(area);
}

void ImageCanvas::fillPixelBoxes(int x, int y, std::span<const PixelBox> boxes) {
    if (boxes.empty() || !beginDirect()) return;
    const int bx = dev(x - origin_.x());
    const int by = dev(y - origin_.y());
    const QRect clip = clipRect();
    int left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    // Boxes of markers are a few pixels each and there are thousands of markers: clipped and
    // written here, with the colour converted only when it is not a plain one.
    for (const PixelBox& b : boxes) {
        if (b.area.isEmpty()) continue;
        const int x0 = std::max(bx + b.area.left, clip.left());
        const int x1 = std::min(bx + b.area.right - 1, clip.right());
        const int y0 = std::max(by + b.area.top, clip.top());
        const int y1 = std::min(by + b.area.bottom - 1, clip.bottom());
        if (x0 <= x1 && y0 <= y1) {
            const QRgb rgb = isSystemColor(b.color) || b.color == clNone || b.color == clDefault
                                 ? toRgb(b.color)
                                 : 0xFF000000u | (static_cast<QRgb>(redOf(b.color)) << 16) |
                                       (static_cast<QRgb>(greenOf(b.color)) << 8) | static_cast<QRgb>(blueOf(b.color));
            std::uint32_t* row = bits_ + static_cast<qsizetype>(y0) * stride_ + x0;
            const int n = x1 - x0 + 1;
            for (int yy = y0; yy <= y1; ++yy, row += stride_)
                for (int i = 0; i < n; ++i) row[i] = rgb;
        }
        left = std::min(left, b.area.left);
        top = std::min(top, b.area.top);
        right = std::max(right, b.area.right);
        bottom = std::max(bottom, b.area.bottom);
    }
    if (left < right) touched(QRect(QPoint(bx + left, by + top), QPoint(bx + right - 1, by + bottom - 1)));
}

void ImageCanvas::copyPixels(const QImage& source) {
    if (!beginDirect() || source.size() != image_->size()) return;
    const QRect area = clipRect();
    if (area.isEmpty()) return;
    const qsizetype sourceStride = source.bytesPerLine() / 4;
    const auto* from = reinterpret_cast<const std::uint32_t*>(source.constBits());
    for (int row = area.top(); row <= area.bottom(); ++row)
        std::memcpy(bits_ + static_cast<qsizetype>(row) * stride_ + area.left(),
                    from + static_cast<qsizetype>(row) * sourceStride + area.left(),
                    static_cast<std::size_t>(area.width()) * sizeof(std::uint32_t));
    touched(area);
}

}  // namespace pvz::detail
