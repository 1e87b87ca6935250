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
    int MinorTickCount() const { return minorTickCount_; }
    void setMinorTickCount(int count) { change(minorTickCount_, count); }

    bool Logarithmic() const { return logarithmic_; }
    void setLogarithmic(bool logarithmic) { change(logarithmic_, logarithmic); }
    int LogarithmicBase() const { return logarithmicBase_; }
    void setLogarithmicBase(int base) { change(logarithmicBase_, base); }

    // Appearance.
    const TChartPen& Axis() const { return axisPen_; }
    void setAxis(const TChartPen& pen) { change(axisPen_, pen); }
    const TChartAxisTitle& Title() const { return title_; }
    void setTitle(const TChartAxisTitle& title) { change(title_, title); }
    int TitleSize() const { return titleSize_; }
    void setTitleSize(int size) { change(titleSize_, size); }
    const TChartPen& Grid() const { return grid_; }
    void setGrid(const TChartPen& pen) { change(grid_, pen); }
    bool GridCentered() const { return gridCentered_; }
    void setGridCentered(bool centered) { change(gridCentered_, centered); }
    bool Labels() const { return labels_; }
    void setLabels(bool labels) { change(labels_, labels); }
    int LabelsAngle() const { return labelsAngle_; }
    void setLabelsAngle(int angle) { change(labelsAngle_, angle); }
    const Font& LabelsFont() const { return labelsFont_; }
    void setLabelsFont(const Font& font) { change(labelsFont_, font); }
    bool LabelsOnAxis() const { return labelsOnAxis_; }
    void setLabelsOnAxis(bool onAxis) { change(labelsOnAxis_, onAxis); }
    int LabelsSeparation() const { return labelsSeparation_; }
    // Raises AxisException "Labels Separation % must be greater than 0" below 0.
    void setLabelsSeparation(int percent);
    int LabelsSize() const { return labelsSize_; }
    void setLabelsSize(int size) { change(labelsSize_, size); }
    TAxisLabelStyle LabelStyle() const { return labelStyle_; }
    void setLabelStyle(TAxisLabelStyle style) { change(labelStyle_, style); }
    const std::string& AxisValuesFormat() const { return axisValuesFormat_; }
    void setAxisValuesFormat(std::string_view pattern) { change(axisValuesFormat_, pattern); }
    const std::string& DateTimeFormat() const { return dateTimeFormat_; }
    void setDateTimeFormat(std::string_view pattern) { change(dateTimeFormat_, pattern); }
    bool ExactDateTime() const { return exactDateTime_; }
    void setExactDateTime(bool exact) { change(exactDateTime_, exact); }
    bool RoundFirstLabel() const { return roundFirstLabel_; }
    void setRoundFirstLabel(bool round) { change(roundFirstLabel_, round); }
    bool LabelsMultiLine() const { return labelsMultiLine_; }
    void setLabelsMultiLine(bool multiLine) { change(labelsMultiLine_, multiLine); }
    const TChartPen& MinorGrid() const { return minorGrid_; }
    void setMinorGrid(const TChartPen& pen) { change(minorGrid_, pen); }
    int MinorTickLength() const { return minorTickLength_; }
    void setMinorTickLength(int length) { change(minorTickLength_, length); }
    const TChartPen& MinorTicks() const { return minorTicks_; }
    void setMinorTicks(const TChartPen& pen) { change(minorTicks_, pen); }
    const TChartPen& Ticks() const { return ticks_; }
    void setTicks(const TChartPen& pen) { change(ticks_, pen); }
    const TChartPen& TicksInner() const { return ticksInner_; }
    void setTicksInner(const TChartPen& pen) { change(ticksInner_, pen); }
    int TickInnerLength() const { return tickInnerLength_; }
    void setTickInnerLength(int length) { change(tickInnerLength_, length); }
    int TickLength() const { return tickLength_; }
    void setTickLength(int length) { change(tickLength_, length); }
    bool TickOnLabelsOnly() const { return tickOnLabelsOnly_; }
    void setTickOnLabelsOnly(bool onLabelsOnly) { change(tickOnLabelsOnly_, onLabelsOnly); }
    bool Inverted() const { return inverted_; }
    void setInverted(bool inverted) { change(inverted_, inverted); }
    bool Visible() const { return visible_; }
    void setVisible(bool visible) { change(visible_, visible); }
    double StartPosition() const { return startPosition_; }
    void setStartPosition(double percent) { change(startPosition_, percent); }
    double EndPosition() const { return endPosition_; }
    void setEndPosition(double percent) { change(endPosition_, percent); }
    double PositionPercent() const { return positionPercent_; }
    void setPositionPercent(double percent) { change(positionPercent_, percent); }

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
