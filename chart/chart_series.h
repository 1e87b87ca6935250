#pragma once
// The point storage base of every series: X and Y value lists, point colours and labels, the
// add and clear operations with their events, and the hooks the axes and the chart call.

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chart/chart_property.h"
#include "chart/chart_values.h"
#include "runtime/graphics.h"

namespace pvz {

class ChartOwner;
class TCustomChartAxis;

enum THorizAxis { aTopAxis, aBottomAxis, aBothHorizAxis, aCustomHorizAxis };
enum TVertAxis { aLeftAxis, aRightAxis, aBothVertAxis, aCustomVertAxis };

class TChartSeries {
public:
    // Returning false refuses the point about to be added (its values are in the lists' TempValue).
    using TSeriesOnBeforeAdd = std::function<bool(TChartSeries& sender)>;
    using TSeriesOnAfterAdd = std::function<void(TChartSeries& sender, int valueIndex)>;
    using TSeriesNotifyEvent = std::function<void(TChartSeries& sender)>;

    TChartSeries();
    virtual ~TChartSeries();
    TChartSeries(const TChartSeries&) = delete;
    TChartSeries& operator=(const TChartSeries&) = delete;

    // The chart that shows the series and receives its change notifications; may be null.
    ChartOwner* ParentChart() const { return parentChart_; }
    void setParentChart(ChartOwner* chart) { parentChart_ = chart; }

    const std::string& Name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    PVZ_CHART_PROPERTY(bool, Active, active_)
    PVZ_CHART_PROPERTY(Color, SeriesColor, seriesColor_)
    const std::string& Title() const { return title_; }
    void setTitle(std::string_view title);
    PVZ_CHART_PROPERTY(bool, ShowInLegend, showInLegend_)
    PVZ_CHART_PROPERTY(THorizAxis, HorizAxis, horizAxis_)
    PVZ_CHART_PROPERTY(TVertAxis, VertAxis, vertAxis_)

    TChartValueList& XValues() { return xValues_; }
    const TChartValueList& XValues() const { return xValues_; }
    TChartValueList& YValues() { return yValues_; }
    const TChartValueList& YValues() const { return yValues_; }
    // The colour stored with point i (clDefault: take the series colour).
    Color pointColor(int index) const;
    // The label stored with point i, empty when it was added without one.
    const std::string& pointLabel(int index) const;

    // Adds a point at the place its X takes in the X order and returns its index, or -1
    // when OnBeforeAdd refuses it. Once the lists have their capacity, a point added in X order
    // with no label and the colour of the points before it allocates nothing.
    int AddPoint(double x, double y, std::string_view label = {}, Color color = clDefault);
    // Adds (x[i] + xOffset, y[i]) for every i as AddPoint would, one after the other, without a
    // label, but tells the chart once for the lot. Returns the number of points added.
    int AddPoints(std::span<const double> x, std::span<const double> y, double xOffset, Color color);
    // Removes every point; the lists keep their capacity for the next refill.
    void ClearPoints();
    int Count() const { return xValues_.count(); }

    // Smallest and largest values of the lists, 0 when the series is empty.
    double LowestX() const { return xValues_.minValue(); }
    double HighestX() const { return xValues_.maxValue(); }
    double LowestY() const { return yValues_.minValue(); }
    double HighestY() const { return yValues_.maxValue(); }

    // The extents the axes fit their automatic ends to.
    virtual double MinXValue() const { return LowestX(); }
    virtual double MaxXValue() const { return HighestX(); }
    virtual double MinYValue() const { return LowestY(); }
    virtual double MaxYValue() const { return HighestY(); }

    // Whether the series is plotted against the axis (by HorizAxis or VertAxis).
    virtual bool associatedToAxis(const TCustomChartAxis& axis) const;
    virtual bool usesAxes() const { return true; }
    // Pixels the series needs beside its extreme points (room for markers); 0 here.
    virtual void horizontalMargins(int& left, int& right) const;
    virtual void verticalMargins(int& top, int& bottom) const;
    // Draws the visible points on the chart's canvas; nothing here.
    virtual void drawAllValues() {}

    // The index range drawn in the last drawing, -1 when nothing was visible.
    int FirstVisible() const { return firstVisible_; }
    int LastVisible() const { return lastVisible_; }

    TSeriesOnBeforeAdd OnBeforeAdd;
    TSeriesOnAfterAdd OnAfterAdd;
    TSeriesNotifyEvent OnClearValues;

protected:
    // Tells the chart that something it shows has changed.
    void repaint();
    // The store of every PVZ_CHART_PROPERTY setter.
    template <class T, class V>
    void change(T& field, const V& value) {
        if (storeIfChanged(field, value)) repaint();
    }

    int firstVisible_ = -1;
    int lastVisible_ = -1;

private:
    // Whether adding a point of `color` without a label only stores its X and Y: no handler to
    // call and nothing to record beside the values.
    bool storesOnlyValues(Color color) const;
    // AddPoint without the change notification.
    int addPointSilently(double x, double y, std::string_view label, Color color);

    ChartOwner* parentChart_ = nullptr;
    std::string name_;
    bool active_ = true;
    Color seriesColor_ = clDefault;
    std::string title_;
    bool showInLegend_ = true;
    THorizAxis horizAxis_ = aBottomAxis;
    TVertAxis vertAxis_ = aLeftAxis;
    TChartValueList xValues_{"X", loAscending};
    TChartValueList yValues_{"Y", loNone};
    // While every point has the same colour, that colour is `commonColor_` and `colors_` is
    // empty; a point of another colour turns `colors_` into one colour per point.
    Color commonColor_ = clDefault;
    std::vector<Color> colors_;
    // Empty until a point gets a label; from then on one label per point.
    std::vector<std::string> labels_;
};

}  // namespace pvz
