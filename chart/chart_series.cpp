#include "chart/chart_series.h"

#include "chart/chart_axis.h"
#include "chart/chart_owner.h"

namespace pvz {

TChartSeries::TChartSeries() = default;

TChartSeries::~TChartSeries() = default;

void TChartSeries::repaint() {
    if (parentChart_ != nullptr) parentChart_->requestRepaint();
}

void TChartSeries::setActive(bool active) {
    if (active_ == active) return;
    active_ = active;
    repaint();
}

void TChartSeries::setSeriesColor(Color color) {
    if (seriesColor_ == color) return;
    seriesColor_ = color;
    repaint();
}

void TChartSeries::setTitle(std::string_view title) {
    if (title_ == title) return;
    title_ = title;
    repaint();
}

void TChartSeries::setShowInLegend(bool show) {
    if (showInLegend_ == show) return;
    showInLegend_ = show;
    repaint();
}

void TChartSeries::setHorizAxis(THorizAxis axis) {
    if (horizAxis_ == axis) return;
    horizAxis_ = axis;
    repaint();
}

void TChartSeries::setVertAxis(TVertAxis axis) {
    if (vertAxis_ == axis) return;
    vertAxis_ = axis;
    repaint();
}

int TChartSeries::AddPoint(double x, double y, std::string_view label, Color color) {
    xValues_.setTempValue(x);
    yValues_.setTempValue(y);
    if (OnBeforeAdd && !OnBeforeAdd(*this)) return -1;
    const int index = xValues_.addValue(x);
    yValues_.insertValue(index, y);
    colors_.insert(colors_.begin() + index, color);
    labels_.insert(labels_.begin() + index, std::string(label));
    if (OnAfterAdd) OnAfterAdd(*this, index);
    if (active_) repaint();
    return index;
}

void TChartSeries::ClearPoints() {
    const bool hadPoints = Count() > 0;
    xValues_.clearValues();
    yValues_.clearValues();
    colors_.clear();
    labels_.clear();
    firstVisible_ = -1;
    lastVisible_ = -1;
    if (OnClearValues) OnClearValues(*this);
    // Clearing an empty series changes nothing on the screen.
    if (hadPoints && active_ && !(parentChart_ != nullptr && parentChart_->isDestroying())) repaint();
}

bool TChartSeries::associatedToAxis(const TCustomChartAxis& axis) const {
    if (axis.isDepthAxis()) return false;
    if (axis.isHorizontal()) {
        return horizAxis_ == aBothHorizAxis || (horizAxis_ == aTopAxis && axis.isOtherSide()) ||
               (horizAxis_ == aBottomAxis && !axis.isOtherSide());
    }
    return vertAxis_ == aBothVertAxis || (vertAxis_ == aRightAxis && axis.isOtherSide()) ||
           (vertAxis_ == aLeftAxis && !axis.isOtherSide());
}

void TChartSeries::horizontalMargins(int& left, int& right) const {
    left = 0;
    right = 0;
}

void TChartSeries::verticalMargins(int& top, int& bottom) const {
    top = 0;
    bottom = 0;
}

}  // namespace pvz
