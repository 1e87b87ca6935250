// The image canvas's text: fonts measured once, texts shaped once per font, and written.
#include <algorithm>
#include <string>

#include "runtime/window_system_qt.h"

namespace pvz::detail {

const QFontMetrics& ImageCanvas::metrics() {
    if (!metrics_ || !(metricsFont_ == state_.font)) {
        metrics_.emplace(toQFont(state_.font));
        metricsFont_ = state_.font;
    }
    return *metrics_;
}

int ImageCanvas::advance(std::string_view text) {
    constexpr std::size_t kFonts = 8;
    constexpr std::size_t kTextsPerFont = 4096;
    if (advancesInUse_ >= advances_.size() || !(advances_[advancesInUse_].font == state_.font)) {
        const auto found =
            std::find_if(advances_.begin(), advances_.end(), [&](const Advances& a) { return a.font == state_.font; });
        if (found != advances_.end()) {
            advancesInUse_ = static_cast<std::size_t>(found - advances_.begin());
        } else {
            if (advances_.size() >= kFonts) advances_.erase(advances_.begin());
            advances_.push_back(Advances{state_.font, {}, {}});
            advancesInUse_ = advances_.size() - 1;
        }
    }
    auto& widths = advances_[advancesInUse_].widths;
    if (const auto it = widths.find(text); it != widths.end()) return it->second;
    const int width = metrics().horizontalAdvance(toQString(text));
    if (widths.size() >= kTextsPerFont) widths.clear();
    widths.emplace(std::string(text), width);
    return width;
}

const ImageCanvas::Advances::Shaped& ImageCanvas::shaped(std::string_view text) {
    auto& shapes = advances_[advancesInUse_].shapes;
    if (const auto it = shapes.find(text); it != shapes.end()) return it->second;
    QTextLayout layout(toQString(text), toQFont(state_.font));
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    Advances::Shaped shape{layout.glyphRuns(), line.isValid() ? line.ascent() : 0};
    if (shapes.size() >= 4096) shapes.clear();
    return shapes.emplace(std::string(text), std::move(shape)).first->second;
}

int ImageCanvas::textWidth(std::string_view text) {
    if (text.empty()) return 0;
    return advance(text);
}

int ImageCanvas::textHeight(std::string_view /*text*/) { return metrics().height(); }

void ImageCanvas::textOut(int x, int y, std::string_view text) {
    if (text.empty() || !beginDirect()) return;
    const int w = advance(text);
    const QFontMetrics& fm = metrics();
    const int h = fm.height();
    int left = x - origin_.x();
    if (state_.textAlign == TextAlign::Center)
        left -= w / 2;
    else if (state_.textAlign == TextAlign::Right)
        left -= w;
    const int top = y - origin_.y();
    const QRect box(left, top, w, h);
    if (state_.backgroundMode == BackgroundMode::Opaque && state_.backgroundColor != clNone)
        fillBox(devBox(box), toRgb(state_.backgroundColor, 0xFFFFFFFFu), false);
    if (state_.font.color != clNone && beginPainter(PainterUse::Text)) {
        // Shaped once per font and text: labels and legend rows are written at every drawing.
        const Advances::Shaped& shape = shaped(text);
        const QPointF origin(left, top + fm.ascent() - shape.ascent);
        for (const QGlyphRun& run : shape.runs) painter_.drawGlyphRun(origin, run);
    }
    touched(devBox(box.adjusted(-2, 0, 2, 0)));
}

}  // namespace pvz::detail
