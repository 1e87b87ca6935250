#include "chart/chart_series.h"

#include <cassert>

#include "chart/chart_axis.h"
#include "chart/chart_owner.h"

namespace pvz {

TChartSeries::TChartSeries() = default;

TChartSeries::~TChartSeries() = default;

void TChartSeries::repaint() {
    if (parentChart_ != nullptr) parentChart_->requestRepaint();
}

void TChartSeries::setTitle(std::string_view title) { change(title_, title); }

Color TChartSeries::pointColor(int index) const {
    assert(index >= 0 && index < Count());
    return colors_.empty() ? commonColor_ : colors_[static_cast<std::size_t>(index)];
}

const std::string& TChartSeries::pointLabel(int index) const {
    assert(index >= 0 && index < Count());
    static const std::string kNoLabel;
    return labels_.empty() ? kNoLabel : labels_[static_cast<std::size_t>(index)];
}

int TChartSeries::AddPoint(double x, double y, std::string_view label, Color color) {
    const int index = addPointSilently(x, y, label, color);
    if (index >= 0 && active_) repaint();
    return index;
}

int TChartSeries::AddPoints(std::span<const double> x, std::span<const double> y, double xOffset, Color color) {
    assert(x.size() == y.size());
    int added = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double pointX = x[i] + xOffset;
        if (storesOnlyValues(color)) {
            xValues_.setTempValue(pointX);
            yValues_.setTempValue(y[i]);
            yValues_.insertValue(xValues_.addValue(pointX), y[i]);
            ++added;
        } else if (addPointSilently(pointX, y[i], {}, color) >= 0) {
            ++added;
        }
    }
    if (added > 0 && active_) repaint();
    return added;
}

bool TChartSeries::storesOnlyValues(Color color) const {
    return !OnBeforeAdd && !OnAfterAdd && Count() > 0 && colors_.empty() && color == commonColor_ && labels_.empty();
}

int TChartSeries::addPointSilently(double x, double y, std::string_view label, Color color) {
    xValues_.setTempValue(x);
    yValues_.setTempValue(y);
    if (OnBeforeAdd && !OnBeforeAdd(*this)) return -1;
    const int countBefore = Count();
    const int index = xValues_.addValue(x);
    const auto at = static_cast<std::ptrdiff_t>(index);
    yValues_.insertValue(index, y);

    if (countBefore == 0) {
        colors_.clear();
        labels_.clear();
        commonColor_ = color;
    } else if (colors_.empty() && color != commonColor_) {
        colors_.assign(static_cast<std::size_t>(countBefore), commonColor_);
    }
    if (!colors_.empty()) colors_.insert(colors_.begin() + at, color);

    if (!labels_.empty() || !label.empty()) {
        labels_.resize(static_cast<std::size_t>(countBefore));  // changes nothing once labels are kept
        labels_.emplace(labels_.begin() + at, label);
    }

    if (OnAfterAdd) OnAfterAdd(*this, index);
    return index;
}

void TChartSeries::ClearPoints() {
    const bool hadPoints = Count() > 0;
    xValues_.clearValues();
    yValues_.clearValues();
    colors_.clear();
    commonColor_ = clDefault;
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
