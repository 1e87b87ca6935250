#include "chart/chart_panel.h"

#include <algorithm>
#include <string>
#include <vector>

#include "chart/chart_errors.h"

namespace pvz {

// ---- TChartCanvas3D

void TChartCanvas3D::lineTo(int x, int y) {
    Canvas& target = sync();
    target.moveTo(current_.x, current_.y);
    target.lineTo(x, y);
    current_ = {x, y};
}

// ---- TCustomChartPanel

TCustomChartPanel::TCustomChartPanel(Control* parent) : PanelControl(parent), chartCanvas_(&windowCanvas()) {}

TCustomChartPanel::~TCustomChartPanel() = default;

void TCustomChartPanel::requestChartRepaint() {
    if (!autoRepaint_) return;
    dirty_ = true;
    // One queued paint serves every request made before it runs: a rebuild adds thousands of
    // points, and each window-system invalidation costs far more than the point itself.
    if (paintQueued_) return;
    paintQueued_ = true;
    invalidate();
}

void TCustomChartPanel::CanvasReplaced() { requestChartRepaint(); }

Rect TCustomChartPanel::GetDrawRect() const { return {0, 0, width(), height()}; }

void TCustomChartPanel::PaintChart() {
    const Rect r = GetDrawRect();
    const bool pictureFits =
        bitmap_.width() == r.width() && bitmap_.height() == r.height() && bitmap_.pixelRatio() == pixelRatio();
    if (!dirty_ && bufferedDisplay_ && pictureFits) {
        showBitmap(bitmap_, r.left, r.top);
        return;
    }
    DrawToCanvas(&windowCanvas(), r);
}

void TCustomChartPanel::DrawToCanvas(Canvas* target, const Rect& rect) { drawInto(target, rect, bufferedDisplay_); }

void TCustomChartPanel::drawToBitmap() { drawInto(nullptr, GetDrawRect(), true); }

void TCustomChartPanel::drawInto(Canvas* target, const Rect& rect, bool buffered) {
    Canvas* surface = nullptr;
    if (buffered) {
        // Drawn in logical pixels at the screen's resolution.
        bitmap_.setSize(rect.width(), rect.height(), pixelRatio());
        surface = &bitmap_.canvas();
        panelRect_ = {0, 0, rect.width(), rect.height()};
    } else {
        surface = target != nullptr ? target : &windowCanvas();
        panelRect_ = rect;
    }
    // The canvas goes back to the window however the drawing ends.
    struct BackToWindow {
        TChartCanvas3D& canvas;
        Canvas* window;
        ~BackToWindow() { canvas.setTarget(window); }
    } restore{chartCanvas_, &windowCanvas()};
    chartCanvas_.setTarget(surface);

    plotRect_ = plotRectInsideMargins(panelRect_, margins_, borderWidth_);
    RecalcPlotSize();
    // The picture is up to date from here on: a property that a drawing event changes marks
    // it stale again and asks for the next drawing.
    dirty_ = false;
    try {
        DrawChartContents(panelRect_);
    } catch (...) {
        // A failed drawing is not retried on every uncovering of the window; the next change
        // of a property draws again.
        dirty_ = false;
        throw;
    }
    if (buffered && target != nullptr) {
        if (target == &windowCanvas()) {
            showBitmap(bitmap_, rect.left, rect.top);
        } else {
            std::vector<std::uint32_t> row(static_cast<std::size_t>(std::max(bitmap_.width(), 0)));
            for (int y = 0; y < bitmap_.height(); ++y) {
                for (int x = 0; x < bitmap_.width(); ++x) {
                    const pvz::Color c = bitmap_.pixel(x, y);
                    row[static_cast<std::size_t>(x)] = argbOf(c);
                }
                target->drawPixels(rect.left, rect.top + y, bitmap_.width(), 1, row.data(), bitmap_.width());
            }
        }
    }
}

void TCustomChartPanel::drawPicture(Bitmap& picture, double ratio) {
    const Rect rect = GetDrawRect();
    picture.setSize(rect.width(), rect.height(), ratio);
    struct Restore {
        TCustomChartPanel& panel;
        bool dirty;
        int drawings;
        ~Restore() {
            panel.chartCanvas_.setTarget(&panel.windowCanvas());
            // A change made by a drawing event still asks for the window's next drawing.
            panel.dirty_ = panel.dirty_ || dirty;
            panel.drawingCount_ = drawings;
        }
    } restore{*this, dirty_, drawingCount_};
    chartCanvas_.setTarget(&picture.canvas());
    panelRect_ = {0, 0, rect.width(), rect.height()};
    plotRect_ = plotRectInsideMargins(panelRect_, margins_, borderWidth_);
    RecalcPlotSize();
    dirty_ = false;
    DrawChartContents(panelRect_);
}

bool TCustomChartPanel::startPictureFrom(const Bitmap& source) {
    if (chartCanvas_.target() != &bitmap_.canvas() || source.deviceWidth() != bitmap_.deviceWidth() ||
        source.deviceHeight() != bitmap_.deviceHeight())
        return false;
    bitmap_.copyFrom(source);
    return true;
}

void TCustomChartPanel::RecalcPlotSize() { plotRect_ = recalcPlotRect(plotRect_, panelRect_, width(), height()); }

void TCustomChartPanel::PaintBorder(const Rect& rect) {
    Canvas& canvas = ChartCanvas();
    canvas.pen() = Pen{};
    canvas.brush().style = BrushStyle::Clear;
    Rect r = rect;
    const auto bevel = [&](TPanelBevel kind) {
        if (kind == bvNone) return;
        const bool raised = kind == bvRaised;
        canvas.frame3D(r, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight, bevelWidth_);
    };
    bevel(bevelOuter_);
    if (borderWidth_ > 0) canvas.frame3D(r, color_, color_, borderWidth_);
    bevel(bevelInner_);
}

void TCustomChartPanel::SelectFont(const pvz::Font& font) { ChartCanvas().font() = font; }

void TCustomChartPanel::mouseMoved(int x, int y) {
    if (OnMouseMove) OnMouseMove(*this, x, y);
}

void TCustomChartPanel::mouseLeft() {
    if (OnMouseLeave) OnMouseLeave(*this);
}

void TCustomChartPanel::resized() {
    // The picture no longer fits; PaintChart draws anew whatever the dirty flag says.
    invalidate();
}

// ---- TCustomChartPanelExtended

TCustomChartPanelExtended::TCustomChartPanelExtended(Control* parent, ChartOwner* owner)
    : TCustomChartPanel(parent), gradient_(owner) {}

void TCustomChartPanelExtended::DrawBackImage(const Rect&) {}

void TCustomChartPanelExtended::FillBackground(const Rect& rect) {
    Canvas& canvas = ChartCanvas();
    if (gradient_.Visible()) {
        const GradientKey key{gradient_.Direction(), gradient_.StartColor(), gradient_.EndColor()};
        if (rect.left == 0 && rect.top == 0 && rect.width() > 0 && rect.height() > 0) {
            // A full-frame copy per drawing is about as dear as writing the frame: the picture
            // starts from a copy of the gradient made in one block instead. The gradient's
            // picture is painted straight, without a pixel table in between: a first drawing
            // then touches two frames of fresh memory rather than three.
            const double ratio = canvas.pixelRatio();
            if (gradientPictureKey_ != key || gradientPicture_.width() != rect.width() ||
                gradientPicture_.height() != rect.height() || gradientPicture_.pixelRatio() != ratio) {
                gradientPictureKey_.reset();
                // At a ratio above 1 each one-pixel strip covers its logical pixels' device
                // pixels, so the picture reduced to logical size is the one at ratio 1.
                gradientPicture_.setSize(rect.width(), rect.height(), ratio);
                drawGradientStrips(gradientPicture_.canvas(), Rect{0, 0, rect.width(), rect.height()}, key.direction,
                                   key.start, key.end);
                gradientPicture_.compareRows();
                gradientPictureKey_ = key;
            }
            if (startPictureFrom(gradientPicture_)) return;
        }
        const std::vector<std::uint32_t>& picture =
            gradientCache_.picture(key.direction, key.start, key.end, rect.width(), rect.height());
        if (picture.empty()) return;
        canvas.drawPixels(rect.left, rect.top, rect.width(), rect.height(), picture.data(), rect.width());
        return;
    }
    canvas.brush() = Brush{Color(), BrushStyle::Solid};
    canvas.fillRect(rect);
}

void TCustomChartPanelExtended::PaintBackground(const Rect& rect) {
    FillBackground(rect);
    DrawBackImage(rect);
    PaintBorder(rect);
}

// ---- TCustomAxisPanel

TCustomAxisPanel::TCustomAxisPanel(Control* parent)
    : TCustomChartPanelExtended(parent, this),
      bottomAxis_(this, AxisPlace::Bottom),
      topAxis_(this, AxisPlace::Top),
      leftAxis_(this, AxisPlace::Left),
      rightAxis_(this, AxisPlace::Right),
      depthAxis_(this),
      axes_{&bottomAxis_, &topAxis_, &leftAxis_, &rightAxis_, &depthAxis_} {}

TCustomAxisPanel::~TCustomAxisPanel() {
    destroying_ = true;
    for (TChartSeries* s : series_) s->setParentChart(nullptr);
}

void TCustomAxisPanel::addSeries(TChartSeries& series) {
    if (std::find(series_.begin(), series_.end(), &series) != series_.end()) return;
    series_.push_back(&series);
    series.setParentChart(this);
    requestChartRepaint();
}

void TCustomAxisPanel::removeSeries(TChartSeries& series) {
    const auto it = std::find(series_.begin(), series_.end(), &series);
    if (it == series_.end()) return;
    series_.erase(it);
    series.setParentChart(nullptr);
    requestChartRepaint();
}

bool TCustomAxisPanel::anyActiveSeries() const {
    return std::any_of(series_.begin(), series_.end(), [](const TChartSeries* s) { return s->Active(); });
}

bool TCustomAxisPanel::axisShown(const TCustomChartAxis& axis) const {
    if (!axisVisible_ || !axis.Visible() || axis.isDepthAxis()) return false;
    bool anyUsesAxes = false;
    for (const TChartSeries* s : series_) {
        if (!s->Active() || !s->usesAxes()) continue;
        anyUsesAxes = true;
        if (s->associatedToAxis(axis)) return true;
    }
    return !anyUsesAxes;
}

const TCustomChartAxis& TCustomAxisPanel::horizAxisOf(const TChartSeries& series) const {
    return series.HorizAxis() == aTopAxis ? topAxis_ : bottomAxis_;
}

const TCustomChartAxis& TCustomAxisPanel::vertAxisOf(const TChartSeries& series) const {
    return series.VertAxis() == aRightAxis ? rightAxis_ : leftAxis_;
}

void TCustomAxisPanel::resetCanvasState() {
    CanvasState& state = ChartCanvas().state();
    const PenMode mode = state.pen.mode;
    state.pen = Pen{};
    state.pen.mode = mode;
    state.brush = Brush{clWhite, BrushStyle::Solid};
    state.font.color = clBlack;
    state.font.setSizeInPoints(10);
    state.backgroundColor = clWhite;
    state.backgroundMode = BackgroundMode::Transparent;
}

void TCustomAxisPanel::DrawChartContents(const Rect& panelRect) {
    countDrawing();
    Canvas& canvas = ChartCanvas();
    PaintBackground(panelRect);
    // Title, foot and legend come first: the legend takes its room from the plot, and the axes
    // are laid out in what is left. A flat view gives every series depth 0, so there is no
    // depth to lay out.
    DrawHeaderAndLegend();
    LayoutAxes();
    LayoutSeriesMargins();
    // The wall lies under the axes' grid, and the grid under the series.
    DrawBackWall();
    if (axisVisible_) {
        if (OnBeforeDrawAxes) OnBeforeDrawAxes(*this);
        for (TCustomChartAxis* axis : axes_)
            if (axisShown(*axis)) axis->DrawAxis();
    }
    if (OnBeforeDrawSeries) OnBeforeDrawSeries(*this);
    for (TChartSeries* s : series_) {
        if (!s->Active()) continue;
        if (clipPoints_) canvas.setClipRect(plotRect_);
        if (auto* lines = dynamic_cast<TCustomSeries*>(s)) {
            // Thousands of small figures: straight onto the surface, without a state copy each.
            Canvas& surface = chartCanvas3D().synced();
            lines->drawValues(SeriesDrawContext{surface, horizAxisOf(*s), vertAxisOf(*s), plotRect_});
            chartCanvas3D().adopt(surface);
        } else {
            s->drawAllValues();
        }
        if (clipPoints_) canvas.removeClip();
    }
    // The after-draw handler starts from the default pen, brush and font, whatever the series left.
    resetCanvasState();
    if (OnAfterDraw) OnAfterDraw(*this);
}

// ---- TCustomChart

TCustomChart::TCustomChart(Control* parent)
    : TCustomAxisPanel(parent),
      backWall_(this),
      leftWall_(this),
      bottomWall_(this),
      title_(this),
      foot_(this),
      legend_(this) {
    backWall_.setBrush(TChartBrush{clDefault, BrushStyle::Clear});
    leftWall_.setColor(0x80FFFF);  // red and green 0xFF, blue 0x80: pale yellow
    bottomWall_.setColor(clWhite);
}

void TCustomChart::setChart3DPercent(int percent) {
    if (percent < 1 || percent > 100) throw ChartException("3D effect percent must be between 1 and 100");
    change(chart3DPercent_, percent);
}

void TCustomChart::setBackColor(pvz::Color color) {
    backWall_.setColor(color);
    if (parent() != nullptr && !isLoading()) {
        TChartBrush brush = backWall_.Brush();
        brush.style = BrushStyle::Solid;
        backWall_.setBrush(brush);
    }
}

int TCustomChart::WallSizeForAxis(const TCustomChartAxis&) const { return 0; }

void TCustomChart::DrawBackImage(const Rect&) {}

void TCustomChart::drawTitles() {
    Canvas& canvas = ChartCanvas();
    title_.draw(canvas, TitlePlace::Top, plotRect_);
    RecalcPlotSize();
    foot_.draw(canvas, TitlePlace::Bottom, plotRect_);
    RecalcPlotSize();
}

void TCustomChart::DrawHeaderAndLegend() {
    if (!legend_.Visible() || !anyActiveSeries()) {
        drawTitles();
        return;
    }
    const bool side = legend_.Alignment() == laLeft || legend_.Alignment() == laRight;
    if (!side) drawTitles();
    legend_.Draw(ChartCanvas(), panelRect_, plotRect_);
    RecalcPlotSize();
    if (side) drawTitles();
}

void TCustomChart::LayoutAxes() {
    for (TCustomChartAxis* axis : AxesList()) axis->AdjustRange();
    RecalcPlotSize();
    const Rect original = plotRect_;
    Rect rect = plotRect_;
    const TCustomChartAxis* lastMeasured = nullptr;
    for (TCustomChartAxis* axis : AxesList()) {
        if (!axisShown(*axis)) continue;
        Rect band = original;
        axis->ReserveAxisSpace(band);
        const Rect inside = band.intersected(rect);
        if (!inside.isEmpty()) rect = inside;
        lastMeasured = axis;
    }
    plotRect_ = rect;
    RecalcPlotSize();
    for (TCustomChartAxis* axis : AxesList()) axis->ComputePixelSpan();
    // Handlers of OnBeforeDrawAxes find the font of the last axis measured.
    if (lastMeasured != nullptr) SelectFont(lastMeasured->LabelsFont());
}

void TCustomChart::LayoutSeriesMargins() {
    for (TCustomChartAxis* axis :
         {static_cast<TCustomChartAxis*>(&TopAxis()), static_cast<TCustomChartAxis*>(&LeftAxis()),
          static_cast<TCustomChartAxis*>(&RightAxis()), static_cast<TCustomChartAxis*>(&BottomAxis())}) {
        int startInset = 0;
        int endInset = 0;
        axis->seriesMarginInsets(startInset, endInset);
        axis->InsetRangeByMargins(startInset, endInset);
    }
}

void TCustomChart::DrawBackWall() { backWall_.drawFlat(ChartCanvas(), plotRect_); }

// ---- TChart

TChart::TChart(Control* parent) : TCustomChart(parent) { setAutoRepaint(true); }

}  // namespace pvz
