#include "chart/line_series.h"

#include <algorithm>
#include <array>
#include <utility>

#include "chart/chart_axis.h"
#include "chart/chart_errors.h"
#include "chart/chart_owner.h"

namespace pvz {
namespace {

// Points whose pixels lie beyond this are not drawn: the platform's coordinates end there.
constexpr int kLargestDrawablePixel = 32766;

bool drawable(int pixel) { return pixel >= -kLargestDrawablePixel && pixel <= kLargestDrawablePixel; }

// Colours for ColorEachPoint, taken in turn by the point index.
constexpr std::array<Color, 16> kPointPalette = {clRed,     clGreen,  clYellow, clBlue,   clWhite, clGray,
                                                 clFuchsia, clTeal,   clNavy,   clMaroon, clLime,  clOlive,
                                                 clPurple,  clSilver, clAqua,   clBlack};

}  // namespace

// ---- TSeriesPointer

TSeriesPointer::TSeriesPointer(std::function<void()> changed) : changed_(std::move(changed)) {}

void TSeriesPointer::changed() {
    if (changed_) changed_();
}

void TSeriesPointer::setHorizSize(int size) {
    if (size < 1) throw ChartException("Pointer size must be greater than zero");
    change(horizSize_, size);
}
void TSeriesPointer::setVertSize(int size) {
    if (size < 1) throw ChartException("Pointer size must be greater than zero");
    change(vertSize_, size);
}

void TSeriesPointer::prepareCanvas(Canvas& canvas, Color c) const {
    pen_.select(canvas, c);
    canvas.brush() = brush_.toBrush(c);
}

void TSeriesPointer::drawShape(Canvas& canvas, TSeriesPointerStyle style, int px, int py, int h, int v) {
    drawPointerShape(canvas, pointerShape(style, px, py, h, v));
}

// ---- visible range

VisibleRange visibleRangeOf(const TChartValueList& xValues, double edgeLow, double edgeHigh) {
    VisibleRange range;
    const int count = xValues.count();
    if (count == 0) return range;
    if (xValues.Order() != loAscending) return {0, count - 1};
    // Linear scans from the front: a list whose order was set after unordered additions gives
    // the same range as when the points are drawn one by one.
    const std::span<const double> x = xValues.values();
    int first = 0;
    while (first < count && x[static_cast<std::size_t>(first)] < edgeLow) ++first;
    if (first == count) return range;
    range.first = first;
    range.last = count - 1;
    if (x.back() > edgeHigh) {
        // Run on to the first point at or past the far edge.
        int last = first;
        while (last < count - 1 && x[static_cast<std::size_t>(last)] < edgeHigh) ++last;
        range.last = last;
    }
    return range;
}

// ---- TCustomSeries

TCustomSeries::TCustomSeries() : pointer_([this] { pointerChanged(); }) {}

Color TCustomSeries::ValueColor(int index) const {
    if (index >= 0 && index < Count()) {
        const Color stored = pointColor(index);
        if (stored != clDefault) return stored;
        if (colorEachPoint_) return kPointPalette[static_cast<std::size_t>(index) % kPointPalette.size()];
    }
    return SeriesColor();
}

void TCustomSeries::computeVisibleRange(const TCustomChartAxis& horizAxis, const Rect& plotRect) {
    const double atLeft = horizAxis.PixelToValue(plotRect.left);
    const double atRight = horizAxis.PixelToValue(plotRect.right);
    const VisibleRange range =
        horizAxis.Inverted() ? visibleRangeOf(XValues(), atRight, atLeft) : visibleRangeOf(XValues(), atLeft, atRight);
    firstVisible_ = range.first;
    lastVisible_ = range.last;
}

void TCustomSeries::drawAllValues() {
    ChartOwner* chart = ParentChart();
    const auto* axes = dynamic_cast<const SeriesAxesProvider*>(chart);
    if (chart == nullptr || axes == nullptr) return;
    drawValues(
        SeriesDrawContext{chart->canvas(), axes->horizAxisOf(*this), axes->vertAxisOf(*this), chart->plotRect()});
}

void TCustomSeries::drawSegment(Canvas& canvas, Point from, Point to, Color c) const {
    if (!linePen_.visible || !drawLine_) return;
    TChartPen line = linePen_;
    line.color = c;
    line.select(canvas, c);
    canvas.brush().style = BrushStyle::Clear;
    canvas.moveTo(from.x, from.y);
    canvas.lineTo(to.x, to.y);
}

void TCustomSeries::drawValues(const SeriesDrawContext& context) {
    computeVisibleRange(context.horizAxis, context.plotRect);
    if (firstVisible_ < 0) return;
    Canvas& canvas = context.canvas;
    const TCustomChartAxis& hAxis = context.horizAxis;
    const TCustomChartAxis& vAxis = context.vertAxis;
    const bool pointerVisible = pointer_.Visible();
    const int edgeX = hAxis.Inverted() ? context.plotRect.right : context.plotRect.left;

    Point old;
    // The old point is only used once a point of this drawing has set it.
    bool haveOld = false;
    for (int i = firstVisible_; i <= lastVisible_; ++i) {
        const Color c = ValueColor(i);
        const double xValue = XValues().value(i);
        const int x = hAxis.ValueToPixelX(xValue);
        const int y = vAxis.ValueToPixelY(YValues().value(i));
        if (!drawable(x) || !drawable(y)) {
            oldColor_ = c;
            continue;
        }
        const Point here{x, y};
        const bool hadOld = haveOld;
        if (oldColor_ == clNone || !haveOld) old = here;

        if (i == firstVisible_) {
            if (i > 0) {
                // Start at the plot's edge, at the height of the line from the point before.
                const double x0 = XValues().value(i - 1);
                const double y0 = YValues().value(i - 1);
                int edgeY;
                if (x0 == xValue) {
                    edgeY = vAxis.ValueToPixelY(y0);
                } else {
                    const double edgeValue = hAxis.PixelToValue(edgeX);
                    edgeY = vAxis.ValueToPixelY(y0 + (YValues().value(i) - y0) * (edgeValue - x0) / (xValue - x0));
                }
                old = {edgeX, edgeY};
                if (old != here && c != clNone) drawSegment(canvas, old, here, c);
            }
            // A series whose only visible point is this one still shows its marker.
            if (i == lastVisible_ && pointerVisible && c != clNone) DrawPointer(canvas, x, y, i, c);
        } else {
            if (old != here && c != clNone) drawSegment(canvas, old, here, c);
            if (pointerVisible) {
                if (hadOld && oldColor_ != clNone) DrawPointer(canvas, old.x, old.y, i - 1, oldColor_);
                if (i == lastVisible_ && c != clNone) DrawPointer(canvas, x, y, i, c);
            }
        }
        old = here;
        haveOld = true;
        oldColor_ = c;
    }
}

void TCustomSeries::DrawPointer(Canvas& canvas, int x, int y, int index, Color c) {
    pointer_.prepareCanvas(canvas, c);
    const TSeriesPointerStyle style = OnGetPointerStyle ? OnGetPointerStyle(*this, index) : pointer_.Style();
    const int h = pointer_.HorizSize();
    const int v = pointer_.VertSize();
    // Rectangles and dots are span fills already; the other figures come from a sprite.
    if (style != psRectangle && style != psSmallDot && canvas.pen().mode == PenMode::Copy) {
        sprites_.sprite(style, h, v, canvas.pen(), canvas.brush(), canvas.pixelRatio()).draw(canvas, x, y);
        return;
    }
    TSeriesPointer::drawShape(canvas, style, x, y, h, v);
}

void TCustomSeries::horizontalMargins(int& left, int& right) const {
    const bool inflate = pointer_.Visible() && pointer_.InflateMargins();
    left = right = inflate ? pointer_.HorizSize() + 1 : 0;
}

void TCustomSeries::verticalMargins(int& top, int& bottom) const {
    const bool inflate = pointer_.Visible() && pointer_.InflateMargins();
    top = bottom = inflate ? pointer_.VertSize() + 1 : 0;
}

void TCustomSeries::prepareLegendCanvas(Canvas&) const {}

void TCustomSeries::drawLegendShape(Canvas& canvas, const Rect& sample) const {
    const Color color = SeriesColor();
    if (color == clNone) return;
    CanvasStateSaver saver(canvas);
    canvas.brush() = pvz::Brush{color, BrushStyle::Solid};
    prepareLegendCanvas(canvas);
    const int middle = (sample.top + sample.bottom) / 2;
    if (linePen_.visible) {
        TChartPen line = linePen_;
        line.color = color;
        line.select(canvas, color);
        canvas.moveTo(sample.left, middle);
        canvas.lineTo(sample.right, middle);
    }
    if (!pointer_.Visible()) return;
    const int w = sample.width();
    const int h = sample.height();
    const int hs = linePen_.visible ? std::min(pointer_.HorizSize(), w / 3) : std::min(pointer_.HorizSize(), w / 2 + 1);
    const int vs = linePen_.visible ? std::min(pointer_.VertSize(), h / 3) : std::min(pointer_.VertSize(), h / 2 + 1);
    pointer_.prepareCanvas(canvas, color);
    TSeriesPointer::drawShape(canvas, pointer_.Style(), (sample.left + sample.right) / 2, middle, hs, vs);
}

// ---- TLineSeries

TLineSeries::TLineSeries() {
    drawLine_ = true;
    Pointer().setVisible(false);
}

void TLineSeries::prepareLegendCanvas(Canvas& canvas) const { LinePen().select(canvas, SeriesColor()); }

}  // namespace pvz
