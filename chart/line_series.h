#pragma once
// Line series with point markers: the pointer, the point colours, the visible index range and
// the drawing of lines and markers; and the legend sample of such a series.

#include <functional>

#include "chart/chart_brush.h"
#include "chart/chart_pen.h"
#include "chart/chart_series.h"
#include "chart/marker_sprite.h"
#include "chart/pointer_shape.h"
#include "runtime/graphics.h"

namespace pvz {

class TCustomChartAxis;

// The marker drawn at every point of a series. Sizes are half-widths and half-heights in pixels.
class TSeriesPointer {
public:
    // `changed` is called after every setter that changed a value.
    explicit TSeriesPointer(std::function<void()> changed);

    PVZ_CHART_PROPERTY(const TChartBrush&, Brush, brush_)
    PVZ_CHART_PROPERTY(bool, Dark3D, dark3D_)
    PVZ_CHART_PROPERTY(bool, Draw3D, draw3D_)
    int HorizSize() const { return horizSize_; }
    // Raises ChartException "Pointer size must be greater than zero" below 1.
    void setHorizSize(int size);
    int VertSize() const { return vertSize_; }
    void setVertSize(int size);
    PVZ_CHART_PROPERTY(bool, InflateMargins, inflateMargins_)
    PVZ_CHART_PROPERTY(const TChartPen&, Pen, pen_)
    PVZ_CHART_PROPERTY(TSeriesPointerStyle, Style, style_)
    PVZ_CHART_PROPERTY(bool, Visible, visible_)

    // Sets the canvas pen and brush for a pointer in colour c: a hidden pen draws nothing, unset
    // pen and brush colours take c.
    void prepareCanvas(Canvas& canvas, Color c) const;
    // Draws the figure with half-sizes h and v with the canvas pen and brush as they are.
    static void drawShape(Canvas& canvas, TSeriesPointerStyle style, int px, int py, int h, int v);

private:
    void changed();
    // The store of every PVZ_CHART_PROPERTY setter.
    template <class T, class V>
    void change(T& field, const V& value) {
        if (storeIfChanged(field, value)) changed();
    }

    std::function<void()> changed_;
    TChartBrush brush_;
    bool dark3D_ = true;
    bool draw3D_ = true;
    int horizSize_ = 4;
    int vertSize_ = 4;
    bool inflateMargins_ = true;
    TChartPen pen_;
    TSeriesPointerStyle style_ = psRectangle;
    bool visible_ = true;
};

// What a series draws with: the canvas, its two axes and the plot rectangle.
struct SeriesDrawContext {
    Canvas& canvas;
    const TCustomChartAxis& horizAxis;
    const TCustomChartAxis& vertAxis;
    Rect plotRect;
};

// The chart side of a series's drawing: the axes a series is plotted against. The chart panel
// implements it next to ChartOwner.
class SeriesAxesProvider {
public:
    virtual ~SeriesAxesProvider() = default;
    virtual const TCustomChartAxis& horizAxisOf(const TChartSeries& series) const = 0;
    virtual const TCustomChartAxis& vertAxisOf(const TChartSeries& series) const = 0;
};

// The visible index range of ascending X values between the values at the plot's two edges,
// running on to the first point past the far edge; first is -1 when nothing is visible.
struct VisibleRange {
    int first = -1;
    int last = -1;
};
VisibleRange visibleRangeOf(const TChartValueList& xValues, double edgeLow, double edgeHigh);

class TCustomSeries : public TChartSeries {
public:
    using TOnGetPointerStyle = std::function<TSeriesPointerStyle(TChartSeries& sender, int valueIndex)>;

    TCustomSeries();

    PVZ_CHART_PROPERTY(const TChartPen&, LinePen, linePen_)
    PVZ_CHART_PROPERTY(const TChartBrush&, LineBrush, lineBrush_)
    PVZ_CHART_PROPERTY(int, LineHeight, lineHeight_)
    PVZ_CHART_PROPERTY(bool, Stairs, stairs_)
    PVZ_CHART_PROPERTY(bool, InvertedStairs, invertedStairs_)
    PVZ_CHART_PROPERTY(bool, Dark3D, dark3D_)
    PVZ_CHART_PROPERTY(bool, ColorEachPoint, colorEachPoint_)
    TSeriesPointer& Pointer() { return pointer_; }
    const TSeriesPointer& Pointer() const { return pointer_; }

    TOnGetPointerStyle OnGetPointerStyle;

    // The colour point i is drawn in.
    Color ValueColor(int index) const;

    // Computes FirstVisible and LastVisible against the horizontal axis and the plot rectangle.
    void computeVisibleRange(const TCustomChartAxis& horizAxis, const Rect& plotRect);
    // Draws the visible points through the parent chart's canvas and axes.
    void drawAllValues() override;
    // Draws the visible points: segments in the colour of the point they lead to, markers on top.
    void drawValues(const SeriesDrawContext& context);
    // The marker of point `index` at (x, y) in colour c.
    virtual void DrawPointer(Canvas& canvas, int x, int y, int index, Color c);

    void horizontalMargins(int& left, int& right) const override;
    void verticalMargins(int& top, int& bottom) const override;

    // The legend's colour sample in `sample` (right and bottom excluded).
    virtual void drawLegendShape(Canvas& canvas, const Rect& sample) const;

protected:
    // Sets the canvas pen for the legend sample.
    virtual void prepareLegendCanvas(Canvas& canvas) const;
    void pointerChanged() { repaint(); }

    bool drawLine_ = false;
    bool drawArea_ = false;
    // Lines run on to the neighbour points outside the plot.
    bool runOnToNeighbours_ = true;

private:
    void drawSegment(Canvas& canvas, Point from, Point to, Color c) const;

    TChartPen linePen_;
    TChartBrush lineBrush_;
    int lineHeight_ = 0;
    bool stairs_ = false;
    bool invertedStairs_ = false;
    bool dark3D_ = true;
    bool colorEachPoint_ = false;
    TSeriesPointer pointer_;
    MarkerSpriteCache sprites_;
    // The colour of the point handled last; it carries over from one drawing to the next.
    Color oldColor_ = clDefault;
};

class TLineSeries : public TCustomSeries {
public:
    TLineSeries();

protected:
    void prepareLegendCanvas(Canvas& canvas) const override;
};

}  // namespace pvz
