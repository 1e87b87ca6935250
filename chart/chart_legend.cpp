#include "chart/chart_legend.h"

#include <algorithm>

#include "chart/chart_errors.h"
#include "chart/chart_owner.h"
#include "chart/chart_series.h"
#include "chart/line_series.h"

namespace pvz {

TChartFontObject::TChartFontObject(ChartOwner* chart) : TChartElement(chart) {}

TCustomChartLegend::TCustomChartLegend(ChartOwner* chart) : TChartFontObject(chart) {}

void TCustomChartLegend::setColorWidth(int percent) {
    if (percent < 0 || percent > 100) throw LegendException("Legend Color Width must be between 0 and 100 %");
    change(colorWidth_, percent);
}

TLegendStyle TCustomChartLegend::resolvedStyle() const {
    if (legendStyle_ != lsAuto) return legendStyle_;
    int active = 0;
    if (chart_ != nullptr)
        for (int i = 0; i < chart_->seriesCount(); ++i) active += chart_->seriesAt(i).Active() ? 1 : 0;
    return active < 2 ? lsValues : lsSeries;
}

void TCustomChartLegend::collectItems(std::vector<Item>& items) const {
    std::size_t n = 0;
    const auto next = [&]() -> Item& {
        if (n == items.size()) items.emplace_back();
        return items[n++];
    };
    if (chart_ != nullptr) {
        if (resolvedStyle() == lsValues) {
            // One row per point of the first listed series: its label, else the series title.
            for (int s = 0; s < chart_->seriesCount(); ++s) {
                const TChartSeries& series = chart_->seriesAt(s);
                if (!series.Active() || !series.ShowInLegend()) continue;
                for (int v = std::max(firstValue_, 0); v < series.Count(); ++v) {
                    Item& item = next();
                    item.series = &series;
                    item.valueIndex = v;
                    item.text = series.pointLabel(v).empty() ? series.Title() : series.pointLabel(v);
                }
                break;
            }
        } else {
            int listed = 0;
            for (int s = 0; s < chart_->seriesCount(); ++s) {
                const TChartSeries& series = chart_->seriesAt(s);
                if (!series.Active() || !series.ShowInLegend()) continue;
                if (listed++ < firstValue_) continue;
                const int row = static_cast<int>(n);
                Item& item = next();
                item.series = &series;
                item.valueIndex = -1;
                if (!series.Title().empty())
                    item.text = series.Title();
                else if (!series.Name().empty())
                    item.text = series.Name();
                else
                    item.text = "Series " + std::to_string(row);
            }
        }
    }
    items.resize(n);
}

int TCustomChartLegend::MaxRows(int top, int itemHeight, const Rect& plotRect) const {
    return legendRowCount(top, plotRect.bottom, frame_.width, itemHeight, static_cast<int>(items_.size()));
}

const TCustomChartLegend::Item* TCustomChartLegend::ItemAt(Point p, Rect* rowArea) const {
    const int row = geometry_.rowAt(p);
    if (row < 0) return nullptr;
    const int index = inverted_ ? geometry_.rows - 1 - row : row;
    if (index >= static_cast<int>(items_.size())) return nullptr;
    if (rowArea != nullptr) *rowArea = geometry_.rowRect(row);
    return &items_[static_cast<std::size_t>(index)];
}

void TCustomChartLegend::Draw(Canvas& canvas, const Rect& panelRect, Rect& plotRect) {
    collectItems(items_);
    canvas.font() = Font();
    widths_.resize(items_.size());
    for (std::size_t i = 0; i < items_.size(); ++i) widths_[i] = canvas.textWidth(items_[i].text);

    LegendLayoutInput in;
    in.alignment = alignment_;
    in.panelRect = panelRect;
    in.plotRect = plotRect;
    in.topPos = topPos_;
    in.fontHeight = canvas.textHeight("W");
    in.frameWidth = frame_.width;
    in.frameVisible = frame_.visible;
    in.shadowSize = shadowSize_;
    in.colorWidth = colorWidth_;
    in.maxNumRows = maxNumRows_;
    in.itemCount = static_cast<int>(items_.size());
    geometry_ = layoutLegend(in, widths_);
    if (geometry_.rows <= 0) return;

    drawBackground(canvas);
    for (int r = 0; r < geometry_.rows; ++r) {
        const int index = inverted_ ? geometry_.rows - 1 - r : r;
        drawRow(canvas, r, items_[static_cast<std::size_t>(index)]);
    }
    if (resizeChart_) {
        const bool side = alignment_ == laLeft || alignment_ == laRight;
        plotRect = plotRectBesideLegend(plotRect, geometry_, alignment_, side ? horizMargin_ : vertMargin_);
    }
}

void TCustomChartLegend::drawBackground(Canvas& canvas) const {
    const int f = frame_.width;
    const Rect framed = frame_.visible ? geometry_.rect.inflated(f, f) : geometry_.rect;
    if (shadowSize_ > 0) {
        canvas.brush() = pvz::Brush{shadowColor_, BrushStyle::Solid};
        canvas.fillRect(framed.translated(shadowSize_, shadowSize_));
    }
    frame_.select(canvas);
    canvas.brush() = brush_.toBrush(color_);
    canvas.rectangle(framed);
}

void TCustomChartLegend::drawRow(Canvas& canvas, int row, const Item& item) const {
    const int y = geometry_.rowTextTop(row);
    canvas.font() = Font();
    canvas.brush().style = BrushStyle::Clear;
    canvas.state().backgroundMode = BackgroundMode::Transparent;
    canvas.state().textAlign = TextAlign::Left;
    canvas.textOut(geometry_.textX, y, item.text);

    const Rect sample = geometry_.sampleRect(row);
    if (const auto* series = dynamic_cast<const TCustomSeries*>(item.series)) {
        if (item.valueIndex < 0) {
            series->drawLegendShape(canvas, sample);
            return;
        }
        CanvasStateSaver saver(canvas);
        canvas.brush() = pvz::Brush{series->ValueColor(item.valueIndex), BrushStyle::Solid};
        canvas.rectangle(sample);
        return;
    }
    if (item.series != nullptr && item.series->SeriesColor() != clNone) {
        CanvasStateSaver saver(canvas);
        canvas.brush() = pvz::Brush{item.series->SeriesColor(), BrushStyle::Solid};
        canvas.rectangle(sample);
    }
}

}  // namespace pvz
