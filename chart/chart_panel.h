#pragma once
// The chart panel: the window-system control that owns the axes, refers to the series, keeps
// an off-screen picture and draws the whole chart into it in a fixed order, calling the
// viewer's handlers on the way.
//
// Class chain: TChart <- TCustomChart <- TCustomAxisPanel <- TCustomChartPanelExtended <-
// TCustomChartPanel <- PanelControl.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "chart/chart_axis.h"
#include "chart/chart_elements.h"
#include "chart/chart_gradient.h"
#include "chart/chart_legend.h"
#include "chart/chart_owner.h"
#include "chart/chart_property.h"
#include "chart/chart_series.h"
#include "chart/line_series.h"
#include "chart/plot_layout.h"
#include "runtime/graphics.h"
#include "runtime/window_system.h"

namespace pvz {

// The chart's drawing canvas. It forwards every operation, with its own pen, brush, font and
// background, to the surface it points at: the off-screen picture during a drawing, the window
// otherwise. Handlers keep one reference to it whichever surface it draws on.
class TChartCanvas3D : public Canvas {
public:
    explicit TChartCanvas3D(Canvas* target) : target_(target) {}

    Canvas* target() const { return target_; }
    void setTarget(Canvas* target) { target_ = target; }
    // The surface with this canvas's state, for a stretch of drawing straight onto it; adopt()
    // takes the state back afterwards.
    Canvas& synced() { return sync(); }
    void adopt(const Canvas& surface) {
        state_ = surface.state();
        current_ = surface.penPosition();
    }

    void lineTo(int x, int y) override;
    void rectangle(const Rect& r) override { sync().rectangle(r); }
    void fillRect(const Rect& r) override { sync().fillRect(r); }
    void ellipse(const Rect& r) override { sync().ellipse(r); }
    void polygon(std::span<const Point> points) override { sync().polygon(points); }
    void textOut(int x, int y, std::string_view text) override { sync().textOut(x, y, text); }
    int textWidth(std::string_view text) override { return sync().textWidth(text); }
    int textHeight(std::string_view text) override { return sync().textHeight(text); }
    void setClipRect(const Rect& r) override { sync().setClipRect(r); }
    void removeClip() override { sync().removeClip(); }
    void frame3D(Rect& r, Color topLeft, Color bottomRight, int width) override {
        sync().frame3D(r, topLeft, bottomRight, width);
    }
    void drawPixels(int x, int y, int width, int height, const std::uint32_t* pixels, int stride) override {
        sync().drawPixels(x, y, width, height, pixels, stride);
    }
    void fillPixelBoxes(int x, int y, std::span<const PixelBox> boxes) override {
        target_->fillPixelBoxes(x, y, boxes);
    }
    double pixelRatio() const override { return target_->pixelRatio(); }

private:
    Canvas& sync() {
        target_->state() = state_;
        return *target_;
    }
    Canvas* target_;
};

enum TPanelBevel { bvNone, bvLowered, bvRaised };

class TCustomChartPanel : public PanelControl {
public:
    using TMouseMoveEvent = std::function<void(TCustomChartPanel& sender, int x, int y)>;
    using TMouseLeaveEvent = std::function<void(TCustomChartPanel& sender)>;

    explicit TCustomChartPanel(Control* parent);
    ~TCustomChartPanel() override;

    // Margins in percent of the panel's width (left, right) and height (top, bottom).
    PVZ_CHART_PROPERTY(int, MarginLeft, margins_.left)
    PVZ_CHART_PROPERTY(int, MarginTop, margins_.top)
    PVZ_CHART_PROPERTY(int, MarginRight, margins_.right)
    PVZ_CHART_PROPERTY(int, MarginBottom, margins_.bottom)

    // The panel's colour (hides the control's own setter, which does not repaint the chart).
    PVZ_CHART_PROPERTY(pvz::Color, Color, color_)
    PVZ_CHART_PROPERTY(int, BorderWidth, borderWidth_)
    PVZ_CHART_PROPERTY(TPanelBevel, BevelOuter, bevelOuter_)
    PVZ_CHART_PROPERTY(TPanelBevel, BevelInner, bevelInner_)
    PVZ_CHART_PROPERTY(int, BevelWidth, bevelWidth_)

    // While false, repaint requests do nothing (the chart is false during construction).
    bool AutoRepaint() const { return autoRepaint_; }
    void setAutoRepaint(bool on) { autoRepaint_ = on; }
    PVZ_CHART_PROPERTY(bool, BufferedDisplay, bufferedDisplay_)

    // The drawing canvas: the off-screen picture during a drawing, the window otherwise.
    Canvas& ChartCanvas() { return chartCanvas_; }

    // As the last drawing left them.
    const Rect& PanelRect() const { return panelRect_; }
    const Rect& PlotRect() const { return plotRect_; }
    int PlotWidth() const { return plotRect_.right - plotRect_.left; }
    int PlotHeight() const { return plotRect_.bottom - plotRect_.top; }
    int PlotCenterX() const { return (plotRect_.left + plotRect_.right) / 2; }
    int PlotCenterY() const { return (plotRect_.top + plotRect_.bottom) / 2; }

    // Marks the picture stale and asks the window system for a repaint, unless AutoRepaint is off.
    void requestChartRepaint();
    bool isDirty() const { return dirty_; }

    // One complete drawing into the off-screen picture now, without showing it; the next
    // window repaint shows it without drawing again.
    void drawToBitmap();
    const Bitmap& bitmap() const { return bitmap_; }
    // One complete drawing of the panel's size into `picture`, at `ratio` device pixels per
    // logical pixel, with the layout of the window's drawings. The window's picture, whether it
    // is up to date and the count of drawings stay as they were.
    void drawPicture(Bitmap& picture, double ratio);
    // Complete drawings made so far.
    int drawingCount() const { return drawingCount_; }

    TMouseMoveEvent OnMouseMove;
    TMouseLeaveEvent OnMouseLeave;

protected:
    void paint() override {
        paintQueued_ = false;
        PaintChart();
    }
    void mouseMoved(int x, int y) override;
    void mouseLeft() override;
    void resized() override;

    // The answer to a window-system paint request: the picture again, or a new drawing when stale.
    virtual void PaintChart();
    // One drawing of everything into PanelRect.
    virtual void DrawChartContents(const Rect& panelRect) = 0;
    virtual void CanvasReplaced();
    // Sets up the surface, margins and plot rectangle, draws, and copies the picture to target
    // (the window, another canvas, or none when target is null).
    virtual void DrawToCanvas(Canvas* target, const Rect& rect);
    // The panel's bevels and border, shrinking `rect`.
    virtual void PaintBorder(const Rect& rect);
    virtual void SelectFont(const pvz::Font& font);
    virtual Rect GetDrawRect() const;

    // The plot rectangle repaired after a shrink.
    void RecalcPlotSize();
    // During a drawing into the off-screen picture, when `source` has its size: the picture
    // becomes a copy of `source` without a pixel loop. False otherwise, with nothing drawn.
    bool startPictureFrom(const Bitmap& source);
    void countDrawing() { ++drawingCount_; }
    TChartCanvas3D& chartCanvas3D() { return chartCanvas_; }

    // The store of every PVZ_CHART_PROPERTY setter of the panel and the chart.
    template <class T, class V>
    void change(T& field, const V& value) {
        if (storeIfChanged(field, value)) requestChartRepaint();
    }

    Rect panelRect_;
    Rect plotRect_;

private:
    void drawInto(Canvas* target, const Rect& rect, bool buffered);

    ChartMargins margins_;
    pvz::Color color_ = clBtnFace;
    int borderWidth_ = 0;
    TPanelBevel bevelOuter_ = bvRaised;
    TPanelBevel bevelInner_ = bvNone;
    int bevelWidth_ = 1;
    bool autoRepaint_ = false;
    bool bufferedDisplay_ = true;
    bool dirty_ = true;
    bool paintQueued_ = false;  // an invalidation is on its way to PaintChart
    int drawingCount_ = 0;
    Bitmap bitmap_;
    TChartCanvas3D chartCanvas_;
};

class TCustomChartPanelExtended : public TCustomChartPanel {
public:
    explicit TCustomChartPanelExtended(Control* parent, ChartOwner* owner);

    TChartGradient& Gradient() { return gradient_; }
    const TChartGradient& Gradient() const { return gradient_; }

protected:
    // The background picture; none in this program.
    virtual void DrawBackImage(const Rect& rect);
    // The gradient, or the panel colour.
    virtual void FillBackground(const Rect& rect);
    // Fill, picture, border.
    virtual void PaintBackground(const Rect& rect);

private:
    TChartGradient gradient_;
    // The gradient's pixels, for drawings that cannot start from gradientPicture_.
    GradientCache gradientCache_;
    // The gradient as a picture, from which a full drawing's picture starts; painted with strips
    // once per size, direction and pair of colours.
    Bitmap gradientPicture_;
    struct GradientKey {
        TGradientDirection direction = gdTopBottom;
        pvz::Color start = clNone;
        pvz::Color end = clNone;
        bool operator==(const GradientKey&) const = default;
    };
    std::optional<GradientKey> gradientPictureKey_;
};

class TCustomAxisPanel : public TCustomChartPanelExtended, public ChartOwner, public SeriesAxesProvider {
public:
    using TNotifyEvent = std::function<void(TCustomAxisPanel& sender)>;

    explicit TCustomAxisPanel(Control* parent);
    ~TCustomAxisPanel() override;

    TChartAxis& BottomAxis() { return bottomAxis_; }
    TChartAxis& TopAxis() { return topAxis_; }
    TChartAxis& LeftAxis() { return leftAxis_; }
    TChartAxis& RightAxis() { return rightAxis_; }
    TChartDepthAxis& DepthAxis() { return depthAxis_; }
    const TChartAxis& BottomAxis() const { return bottomAxis_; }
    const TChartAxis& TopAxis() const { return topAxis_; }
    const TChartAxis& LeftAxis() const { return leftAxis_; }
    const TChartAxis& RightAxis() const { return rightAxis_; }
    // Bottom, top, left, right, depth: the order of layout and drawing.
    const std::array<TCustomChartAxis*, 5>& AxesList() const { return axes_; }

    PVZ_CHART_PROPERTY(bool, AxisVisible, axisVisible_)
    PVZ_CHART_PROPERTY(bool, ClipPoints, clipPoints_)

    // The series in the order they were added. The chart refers to them; they must be removed
    // (or outlive the chart) before they are destroyed.
    void addSeries(TChartSeries& series);
    void removeSeries(TChartSeries& series);
    const std::vector<TChartSeries*>& SeriesList() const { return series_; }
    int SeriesCount() const { return static_cast<int>(series_.size()); }
    TChartSeries& Series(int index) const { return *series_.at(static_cast<std::size_t>(index)); }

    // Whether the axis takes part in layout and drawing.
    bool axisShown(const TCustomChartAxis& axis) const;

    // While loading, range checks and cascades of the axes are off (applying the starting values).
    void beginLoading() { loading_ = true; }
    void endLoading() { loading_ = false; }

    TNotifyEvent OnBeforeDrawAxes;
    TNotifyEvent OnBeforeDrawSeries;
    TNotifyEvent OnAfterDraw;
    TAxisOnGetNextLabel OnGetNextAxisLabel;
    TAxisOnGetLabel OnGetAxisLabel;

    // ChartOwner
    void requestRepaint() override { requestChartRepaint(); }
    bool isLoading() const override { return loading_; }
    bool isDestroying() const override { return destroying_; }
    int seriesCount() const override { return SeriesCount(); }
    const TChartSeries& seriesAt(int index) const override { return Series(index); }
    Rect plotRect() const override { return plotRect_; }
    Canvas& canvas() override { return ChartCanvas(); }
    int wallSizeForAxis(const TCustomChartAxis& axis) const override { return WallSizeForAxis(axis); }
    const TAxisOnGetNextLabel& getNextAxisLabelHandler() const override { return OnGetNextAxisLabel; }
    const TAxisOnGetLabel& getAxisLabelHandler() const override { return OnGetAxisLabel; }

    // SeriesAxesProvider
    const TCustomChartAxis& horizAxisOf(const TChartSeries& series) const override;
    const TCustomChartAxis& vertAxisOf(const TChartSeries& series) const override;

protected:
    // Draws one picture: background, title and legend, the layout of the axes, back wall, axes
    // with their grids, the series, and last the after-draw handler.
    void DrawChartContents(const Rect& panelRect) override;
    virtual void LayoutAxes() = 0;
    virtual void LayoutSeriesMargins() = 0;
    virtual int WallSizeForAxis(const TCustomChartAxis& axis) const = 0;
    virtual void DrawHeaderAndLegend() = 0;
    virtual void DrawBackWall() = 0;

    bool anyActiveSeries() const;
    // The canvas state the chart leaves for OnAfterDraw.
    void resetCanvasState();

private:
    TChartAxis bottomAxis_;
    TChartAxis topAxis_;
    TChartAxis leftAxis_;
    TChartAxis rightAxis_;
    TChartDepthAxis depthAxis_;
    std::array<TCustomChartAxis*, 5> axes_;
    std::vector<TChartSeries*> series_;
    bool axisVisible_ = true;
    bool clipPoints_ = true;
    bool loading_ = false;
    bool destroying_ = false;
};

class TCustomChart : public TCustomAxisPanel {
public:
    explicit TCustomChart(Control* parent);

    // Three-dimensional views are not drawn: the chart always draws flat.
    PVZ_CHART_PROPERTY(bool, View3D, view3D_)
    PVZ_CHART_PROPERTY(bool, View3DWalls, view3DWalls_)
    int Chart3DPercent() const { return chart3DPercent_; }
    // Raises ChartException "3D effect percent must be between 1 and 100" outside 1..100.
    void setChart3DPercent(int percent);

    TChartWall& BackWall() { return backWall_; }
    TChartWall& LeftWall() { return leftWall_; }
    TChartWall& BottomWall() { return bottomWall_; }
    pvz::Color BackColor() const { return backWall_.Color(); }
    // Also makes the back wall's brush solid, when the chart has a parent and is not loading.
    void setBackColor(pvz::Color color);

    TChartTitle& Title() { return title_; }
    TChartTitle& Foot() { return foot_; }
    TChartLegend& Legend() { return legend_; }
    const TChartLegend& Legend() const { return legend_; }

protected:
    void LayoutAxes() override;
    void LayoutSeriesMargins() override;
    int WallSizeForAxis(const TCustomChartAxis& axis) const override;
    void DrawHeaderAndLegend() override;
    void DrawBackWall() override;
    void DrawBackImage(const Rect& rect) override;

private:
    void drawTitles();

    bool view3D_ = true;
    bool view3DWalls_ = true;
    int chart3DPercent_ = 15;
    TChartWall backWall_;
    TChartWall leftWall_;
    TChartWall bottomWall_;
    TChartTitle title_;
    TChartTitle foot_;
    TChartLegend legend_;
};

class TChart : public TCustomChart {
public:
    explicit TChart(Control* parent);
};

}  // namespace pvz
