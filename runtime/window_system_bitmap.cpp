// Off-screen pictures: their pixels, copies between them and their files.
#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>

#include <sys/mman.h>

#include "runtime/window_system_qt.h"

namespace pvz {

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
    impl_->sameRows.clear();
    impl_->image = loaded.convertToFormat(QImage::Format_RGB32);
    // A picture read from a file is taken at ratio 1: its logical size is its size in pixels.
    impl_->image.setDevicePixelRatio(1.0);
    impl_->width = impl_->image.width();
    impl_->height = impl_->image.height();
    return true;
}

}  // namespace pvz
