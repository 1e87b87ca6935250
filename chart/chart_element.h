#pragma once
// What every part of a chart (axis, legend, gradient, wall, title) shares: the chart that owns
// it, and setters that ask that chart for a repaint only when a value really changes.

#include "chart/chart_owner.h"
#include "chart/chart_property.h"

namespace pvz {

class TChartElement {
public:
    // `chart` receives the repaint requests; it may be null for a part used on its own.
    explicit TChartElement(ChartOwner* chart) : chart_(chart) {}
    virtual ~TChartElement() = default;
    TChartElement(const TChartElement&) = delete;
    TChartElement& operator=(const TChartElement&) = delete;

    ChartOwner* ParentChart() const { return chart_; }

protected:
    // Any number of requests give one repaint.
    void repaint() {
        if (chart_ != nullptr) chart_->requestRepaint();
    }
    // True while the chart applies its stored description: range checks and cascades wait.
    bool loading() const { return chart_ != nullptr && chart_->isLoading(); }
    // The store of every PVZ_CHART_PROPERTY setter.
    template <class T, class V>
    void change(T& field, const V& value) {
        if (storeIfChanged(field, value)) repaint();
    }

    // The parts read their chart (series, plot rectangle, canvas) through it.
    ChartOwner* const chart_;
};

}  // namespace pvz
