#pragma once
// A chart axis: its range (manual or fitted to the series), the mapping between values and
// pixels, the choice of label values and their texts, and the drawing of the axis line,
// ticks, labels and grid on the chart's canvas.

#include <string>
#include <string_view>
#include <vector>

#include "chart/axis_steps.h"
#include "chart/chart_element.h"
#include "chart/chart_pen.h"
#include "runtime/graphics.h"

namespace pvz {

class ChartOwner;

enum TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };

// Where an axis stands; fixed when it is created.
enum class AxisPlace { Bottom, Top, Left, Right, Depth };

// Whether a label text may be replaced by the chart's OnGetAxisLabel handler.
enum class LabelHook { Use, Skip };

struct TChartAxisTitle {
    std::string caption;
    int angle = 0;
    Font font;
    friend bool operator==(const TChartAxisTitle&, const TChartAxisTitle&) = default;
};

class TCustomChartAxis : public TChartElement {
public:
    // `chart` receives the repaint requests and supplies series, plot rectangle and canvas;
    // it may be null for an axis used on its own.
    TCustomChartAxis(ChartOwner* chart, AxisPlace place);
    virtual ~TCustomChartAxis();
    TCustomChartAxis(const TCustomChartAxis&) = delete;
    TCustomChartAxis& operator=(const TCustomChartAxis&) = delete;

    AxisPlace place() const { return place_; }
    bool isHorizontal() const { return place_ == AxisPlace::Bottom || place_ == AxisPlace::Top; }
    // Top and right axes (and the depth axis) stand on the far side of the plot.
    bool isOtherSide() const { return place_ == AxisPlace::Top || place_ == AxisPlace::Right || isDepthAxis(); }
    bool isDepthAxis() const { return place_ == AxisPlace::Depth; }
    int DefaultTitleAngle() const;

    // Range. Every setter requests a repaint only when the value changes; the checks and the
    // Automatic cascade are skipped while the chart is being loaded.
    bool Automatic() const { return automatic_; }
    // Sets AutomaticMinimum and AutomaticMaximum too, also when Automatic keeps its value.
    void setAutomatic(bool automatic);
    bool AutomaticMaximum() const { return automaticMaximum_; }
    void setAutomaticMaximum(bool automatic);
    bool AutomaticMinimum() const { return automaticMinimum_; }
    void setAutomaticMinimum(bool automatic);
    double Increment() const { return increment_; }
    // Raises AxisException "Axis increment must be >= 0" for a negative value.
    void setIncrement(double increment);
    double Maximum() const { return maximum_; }
    // Raises AxisException "Axis Maximum Value must be >= Minimum" below Minimum, and EOverflow
    // when the range's extent would overflow; the value is kept then.
    void setMaximum(double maximum);
    double Minimum() const { return minimum_; }
    // Raises AxisException "Axis Minimum Value must be <= Maximum" above Maximum, and EOverflow
    // when the range's extent would overflow; the value is kept then.
    void setMinimum(double minimum);
    // Sets both ends, opening the range first so that the order of the checks cannot refuse
    // a valid new range.
    void setMinMax(double minimum, double maximum);
    PVZ_CHART_PROPERTY(int, MinorTickCount, minorTickCount_)

    PVZ_CHART_PROPERTY(bool, Logarithmic, logarithmic_)
    PVZ_CHART_PROPERTY(int, LogarithmicBase, logarithmicBase_)

    // Appearance.
    PVZ_CHART_PROPERTY(const TChartPen&, Axis, axisPen_)
    PVZ_CHART_PROPERTY(const TChartAxisTitle&, Title, title_)
    PVZ_CHART_PROPERTY(int, TitleSize, titleSize_)
    PVZ_CHART_PROPERTY(const TChartPen&, Grid, grid_)
    PVZ_CHART_PROPERTY(bool, GridCentered, gridCentered_)
    PVZ_CHART_PROPERTY(bool, Labels, labels_)
    PVZ_CHART_PROPERTY(int, LabelsAngle, labelsAngle_)
    PVZ_CHART_PROPERTY(const Font&, LabelsFont, labelsFont_)
    PVZ_CHART_PROPERTY(bool, LabelsOnAxis, labelsOnAxis_)
    int LabelsSeparation() const { return labelsSeparation_; }
    // Raises AxisException "Labels Separation % must be greater than 0" below 0.
    void setLabelsSeparation(int percent);
    PVZ_CHART_PROPERTY(int, LabelsSize, labelsSize_)
    PVZ_CHART_PROPERTY(TAxisLabelStyle, LabelStyle, labelStyle_)
    const std::string& AxisValuesFormat() const { return axisValuesFormat_; }
    void setAxisValuesFormat(std::string_view pattern) { change(axisValuesFormat_, pattern); }
    const std::string& DateTimeFormat() const { return dateTimeFormat_; }
    void setDateTimeFormat(std::string_view pattern) { change(dateTimeFormat_, pattern); }
    PVZ_CHART_PROPERTY(bool, ExactDateTime, exactDateTime_)
    PVZ_CHART_PROPERTY(bool, RoundFirstLabel, roundFirstLabel_)
    PVZ_CHART_PROPERTY(bool, LabelsMultiLine, labelsMultiLine_)
    PVZ_CHART_PROPERTY(const TChartPen&, MinorGrid, minorGrid_)
    PVZ_CHART_PROPERTY(int, MinorTickLength, minorTickLength_)
    PVZ_CHART_PROPERTY(const TChartPen&, MinorTicks, minorTicks_)
    PVZ_CHART_PROPERTY(const TChartPen&, Ticks, ticks_)
    PVZ_CHART_PROPERTY(const TChartPen&, TicksInner, ticksInner_)
    PVZ_CHART_PROPERTY(int, TickInnerLength, tickInnerLength_)
    PVZ_CHART_PROPERTY(int, TickLength, tickLength_)
    PVZ_CHART_PROPERTY(bool, TickOnLabelsOnly, tickOnLabelsOnly_)
    PVZ_CHART_PROPERTY(bool, Inverted, inverted_)
    PVZ_CHART_PROPERTY(bool, Visible, visible_)
    PVZ_CHART_PROPERTY(double, StartPosition, startPosition_)
    PVZ_CHART_PROPERTY(double, EndPosition, endPosition_)
    PVZ_CHART_PROPERTY(double, PositionPercent, positionPercent_)

    // State of the current (or last) repaint.
    double EffectiveMinimum() const { return effectiveMinimum_; }
    double EffectiveMaximum() const { return effectiveMaximum_; }
    double EffectiveRange() const { return effectiveRange_; }
    bool ValuesAreDateTime() const { return valuesAreDateTime_; }
    int StartPixel() const { return startPixel_; }
    int EndPixel() const { return endPixel_; }
    int PixelLength() const { return pixelLength_; }
    int CenterPixel() const { return centerPixel_; }
    // Row (horizontal axis) or column (vertical axis) of the axis line, the inner edge of
    // the label band and the title band.
    int AxisPosition() const { return axisPosition_; }
    int LabelsPosition() const { return labelsPosition_; }
    int TitlePosition() const { return titlePosition_; }

    // The steps of one repaint, in this order.
    // Fits the automatic ends to the series on this axis and sets the effective range.
    void AdjustRange();
    // Takes the title, label and tick bands off `rect` on the axis's side.
    void ReserveAxisSpace(Rect& rect);
    // Start, end, length and centre pixel from the chart's plot rectangle.
    void ComputePixelSpan();
    // The largest marker margins of the active series on this axis, at the automatic ends.
    void seriesMarginInsets(int& startInset, int& endInset) const;
    // Widens the effective range so that its old ends lie the given pixels inside the axis.
    void InsetRangeByMargins(int startInset, int endInset);
    // Draws labels, axis line, ticks and grid on the chart's canvas.
    void DrawAxis();

    // Mapping with the effective range and pixel span of the last repaint.
    int ValueToPixel(double value) const;
    int ValueToPixelX(double value) const;
    int ValueToPixelY(double value) const;
    // Vertical axes count from the top: the result is EffectiveMaximum minus the distance.
    double PixelToValue(int pixel) const;

    // Distance between labels for the label texts of the range ends, measured on the canvas.
    double LabelStep();
    // Distance between labels of `labelSize` pixels along the axis.
    double LabelStepForSize(int labelSize) const;
    // The date step index that drawing uses with this label step (kNoDateStep for none).
    int DateStepIndex(double labelStep) const;
    // The label values of one drawing with this step, from the top of the range down (or in
    // the order OnGetNextAxisLabel gives them); `values` is cleared first and keeps its capacity.
    void LabelValues(double labelStep, std::vector<double>& values);
    // The value of the label below `value` in the current label sequence.
    double StepBack(double value) const;

    // The label of `value`; lines are separated by character 13 when LabelsMultiLine.
    std::string LabelText(double value, LabelHook hook = LabelHook::Use);
    // Widest line of a label text, and its height (font height times lines), on the canvas.
    static int labelTextWidth(Canvas& canvas, std::string_view text);
    static int labelTextHeight(Canvas& canvas, std::string_view text);

    // Pixel positions of the major ticks of the last drawing, from the largest value down.
    const std::vector<int>& TickPositions() const { return tickPositions_; }

protected:
private:
    static void checkRangeExtent(double minimum, double maximum);
    void defaultLabelValues(std::vector<double>& values) const;
    void eventLabelValues(std::vector<double>& values);
    bool computeValuesAreDateTime() const;
    void computePixelSpanFor(const Rect& plot);
    int labelSizeAlongAxis();
    int widestLabelWidth(Canvas& canvas);
    void placeLabel(Canvas& canvas, double value, int fontHeight);
    void drawLabelText(Canvas& canvas, int pixel, std::string_view text, int fontHeight);
    void drawTicksAndGrid(Canvas& canvas);
    // A line between two points given as (pixel along the axis, pixel across it).
    void drawAxisFrameLine(Canvas& canvas, int along1, int across1, int along2, int across2) const;
    void drawTickLine(Canvas& canvas, int pixel, int from, int length);
    void drawGridLine(Canvas& canvas, int pixel);
    void drawTitle(Canvas& canvas);

    AxisPlace place_;

    bool automatic_ = true;
    bool automaticMaximum_ = true;
    bool automaticMinimum_ = true;
    double increment_ = 0.0;
    double maximum_ = 0.0;
    double minimum_ = 0.0;
    int minorTickCount_ = 3;
    bool logarithmic_ = false;
    int logarithmicBase_ = 10;

    TChartPen axisPen_{true, clBlack, 2, PenStyle::Solid, false};
    TChartAxisTitle title_;
    int titleSize_ = 0;
    TChartPen grid_ = dottedGrayPen();
    bool gridCentered_ = false;
    bool labels_ = true;
    int labelsAngle_ = 0;
    Font labelsFont_;
    bool labelsOnAxis_ = true;
    int labelsSeparation_ = 10;
    int labelsSize_ = 0;
    TAxisLabelStyle labelStyle_ = talAuto;
    std::string axisValuesFormat_ = "#,##0.###";
    std::string dateTimeFormat_;
    bool exactDateTime_ = true;
    bool roundFirstLabel_ = true;
    bool labelsMultiLine_ = false;
    TChartPen minorGrid_ = hiddenPen();
    int minorTickLength_ = 2;
    TChartPen minorTicks_ = darkGrayPen();
    TChartPen ticks_ = darkGrayPen();
    TChartPen ticksInner_ = darkGrayPen();
    int tickInnerLength_ = 0;
    int tickLength_ = 4;
    bool tickOnLabelsOnly_ = true;
    bool inverted_ = false;
    bool visible_ = true;
    double startPosition_ = 0.0;
    double endPosition_ = 100.0;
    double positionPercent_ = 0.0;

    double effectiveMinimum_ = 0.0;
    double effectiveMaximum_ = 0.0;
    double effectiveRange_ = 0.0;
    bool valuesAreDateTime_ = false;
    int startPixel_ = 0;
    int endPixel_ = 0;
    int pixelLength_ = 0;
    int centerPixel_ = 0;
    int axisPosition_ = 0;
    int labelsPosition_ = 0;
    int titlePosition_ = 0;

    // The label sequence of the drawing in progress.
    double labelStep_ = 0.0;
    int dateStepIndex_ = kNoDateStep;
    std::vector<double> labelValues_;
    std::vector<int> tickPositions_;
};

class TChartAxis : public TCustomChartAxis {
public:
    using TCustomChartAxis::TCustomChartAxis;
};

// The axis of three-dimensional views; the flat chart keeps it hidden.
class TChartDepthAxis : public TCustomChartAxis {
public:
    explicit TChartDepthAxis(ChartOwner* chart);
};

}  // namespace pvz
