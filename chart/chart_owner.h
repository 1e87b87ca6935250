#pragma once
// What axes and series need from the chart that owns them. The chart panel implements it;
// tests implement it with a small fake.

#include <functional>
#include <string>

#include "runtime/graphics.h"

namespace pvz {

class TCustomChartAxis;
class TChartSeries;

// Asked for each label of an axis: the handler moves LabelValue to the next wanted value and
// clears Stop, or leaves Stop set to end the labels (on the first call: to keep the axis's
// own labels).
using TAxisOnGetNextLabel =
    std::function<void(TCustomChartAxis& sender, int labelIndex, double& labelValue, bool& stop)>;
// May replace the text of a label; series is null and valueIndex -1 for value labels.
using TAxisOnGetLabel =
    std::function<void(TCustomChartAxis& sender, TChartSeries* series, int valueIndex, std::string& labelText)>;

class ChartOwner {
public:
    virtual ~ChartOwner() = default;

    // Something shown has changed; any number of requests give one repaint.
    virtual void requestRepaint() = 0;
    // True while a set of starting values is applied one by one: range setters skip their checks
    // and the Automatic cascade.
    virtual bool isLoading() const = 0;
    // True while the chart is torn down; series then stop notifying it.
    virtual bool isDestroying() const { return false; }

    // The series in chart order.
    virtual int seriesCount() const = 0;
    virtual const TChartSeries& seriesAt(int index) const = 0;

    // The plot rectangle as the current layout (or the last drawing) left it.
    virtual Rect plotRect() const = 0;
    // The canvas that layout measures with and drawing draws on.
    virtual Canvas& canvas() = 0;
    // Thickness of the wall along an axis; 0 in a flat view.
    virtual int wallSizeForAxis(const TCustomChartAxis& axis) const = 0;

    // The chart's label events; empty functions when unassigned.
    virtual const TAxisOnGetNextLabel& getNextAxisLabelHandler() const = 0;
    virtual const TAxisOnGetLabel& getAxisLabelHandler() const = 0;
};

}  // namespace pvz
