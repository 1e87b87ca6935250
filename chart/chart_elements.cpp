#include "chart/chart_elements.h"

#include <algorithm>

#include "chart/chart_owner.h"

namespace pvz {

void TChartWall::drawFlat(Canvas& canvas, const Rect& plot) const {
    pen_.select(canvas);
    const bool filled = brush_.style != BrushStyle::Clear && color_ != clDefault;
    canvas.brush() = pvz::Brush{filled ? color_ : clWhite, filled ? brush_.style : BrushStyle::Clear};
    canvas.rectangle(Rect{plot.left, plot.top, plot.right + 1, plot.bottom + 1});
    // Text written on the canvas after the wall (the axes' handlers) stands on the wall's colour.
    canvas.state().backgroundColor = color_ == clDefault ? clWhite : color_;
    canvas.state().backgroundMode = BackgroundMode::Opaque;
}

TitleLayout layoutTitle(TitlePlace place, const Rect& plot, int lines, int h, int f) {
    TitleLayout t;
    t.lineStep = h;
    if (place == TitlePlace::Top) {
        t.firstLineTop = plot.top + f;
        t.box = {plot.left + f, t.firstLineTop, plot.right - f, t.firstLineTop + lines * h};
        t.plotEdge = t.box.bottom + f + 5;
    } else {
        t.firstLineTop = plot.bottom - f - lines * h;
        t.box = {plot.left + f, t.firstLineTop, plot.right - f, plot.bottom - f};
        t.plotEdge = t.firstLineTop - f - 5;
    }
    return t;
}

int titleLineX(TextAlign alignment, int left, int right, int textWidth, int wWidth) {
    switch (alignment) {
        case TextAlign::Left:
            return left + wWidth / 2;
        case TextAlign::Right:
            return right - textWidth - wWidth / 2;
        case TextAlign::Center:
            break;
    }
    return (left + right) / 2 - textWidth / 2;
}

TChartTitle::TChartTitle(ChartOwner* chart) : TChartElement(chart) { font_.color = clBlue; }

void TChartTitle::draw(Canvas& canvas, TitlePlace place, Rect& plot) const {
    if (!visible_ || text_.empty()) return;
    canvas.font() = font_;
    const int h = canvas.textHeight("W");
    const int wWidth = canvas.textWidth("W");
    const bool frameCounts = frame_.visible && frame_.color != clDefault;
    const int f = frameCounts ? frame_.width : 0;
    const TitleLayout layout = layoutTitle(place, plot, static_cast<int>(text_.size()), h, f);

    const bool clearBrush = (color_ == clDefault && brush_.color == clDefault && brush_.style == BrushStyle::Solid) ||
                            brush_.style == BrushStyle::Clear;
    if (frameCounts || !clearBrush) {
        Rect box = layout.box;
        if (adjustFrame_) {
            int widest = 0;
            for (const std::string& line : text_) widest = std::max(widest, canvas.textWidth(line));
            const int width = widest + wWidth;
            switch (alignment_) {
                case TextAlign::Left:
                    box.right = box.left + width;
                    break;
                case TextAlign::Right:
                    box.left = box.right - width;
                    break;
                case TextAlign::Center:
                    box.left = (box.left + box.right) / 2 - width / 2;
                    box.right = box.left + width;
                    break;
            }
        }
        CanvasStateSaver saver(canvas);
        pvz::Pen& pen = canvas.pen();
        pen = frame_.toPen(clBlack);
        if (!frameCounts) pen.style = PenStyle::Clear;
        const pvz::Color fill = brush_.color != clDefault ? brush_.color : (color_ != clDefault ? color_ : clWhite);
        canvas.brush() = pvz::Brush{fill, clearBrush ? BrushStyle::Clear : brush_.style};
        canvas.rectangle(box);
    }

    canvas.brush().style = BrushStyle::Clear;
    canvas.state().backgroundMode = BackgroundMode::Transparent;
    canvas.state().textAlign = TextAlign::Left;
    int y = layout.firstLineTop;
    for (const std::string& line : text_) {
        canvas.textOut(titleLineX(alignment_, layout.box.left, layout.box.right, canvas.textWidth(line), wWidth), y,
                       line);
        y += layout.lineStep;
    }
    if (place == TitlePlace::Top)
        plot.top = layout.plotEdge;
    else
        plot.bottom = layout.plotEdge;
}

}  // namespace pvz
