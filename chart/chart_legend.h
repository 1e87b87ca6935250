#pragma once
// The chart legend: one row per series (or per value) with a colour sample, placed beside the
// plot, and the room it takes from the plot.

#include <string>
#include <vector>

#include "chart/chart_brush.h"
#include "chart/chart_element.h"
#include "chart/chart_pen.h"
#include "chart/legend_layout.h"
#include "runtime/graphics.h"

namespace pvz {

class ChartOwner;
class TChartSeries;

enum TLegendStyle { lsAuto, lsSeries, lsValues, lsLastValues };
enum TLegendTextStyle { ltsPlain, ltsLeftValue, ltsRightValue, ltsLeftPercent, ltsRightPercent, ltsXValue };

// A chart element with a font; setters request a repaint of the owning chart.
class TChartFontObject : public TChartElement {
public:
    explicit TChartFontObject(ChartOwner* chart);

    const pvz::Font& Font() const { return font_; }
    void setFont(const pvz::Font& font);

private:
    pvz::Font font_;
};

class TCustomChartLegend : public TChartFontObject {
public:
    explicit TCustomChartLegend(ChartOwner* chart);

    TLegendAlignment Alignment() const { return alignment_; }
    void setAlignment(TLegendAlignment alignment) { change(alignment_, alignment); }
    const TChartBrush& Brush() const { return brush_; }
    void setBrush(const TChartBrush& brush) { change(brush_, brush); }
    pvz::Color Color() const { return color_; }
    void setColor(pvz::Color color) { change(color_, color); }
    int ColorWidth() const { return colorWidth_; }
    // Raises LegendException "Legend Color Width must be between 0 and 100 %" outside 0..100.
    void setColorWidth(int percent);
    const TChartPen& DividingLines() const { return dividingLines_; }
    void setDividingLines(const TChartPen& pen) { change(dividingLines_, pen); }
    int FirstValue() const { return firstValue_; }
    void setFirstValue(int first) { change(firstValue_, first); }
    const TChartPen& Frame() const { return frame_; }
    void setFrame(const TChartPen& pen) { change(frame_, pen); }
    int HorizMargin() const { return horizMargin_; }
    void setHorizMargin(int margin) { change(horizMargin_, margin); }
    bool Inverted() const { return inverted_; }
    void setInverted(bool inverted) { change(inverted_, inverted); }
    TLegendStyle LegendStyle() const { return legendStyle_; }
    void setLegendStyle(TLegendStyle style) { change(legendStyle_, style); }
    int MaxNumRows() const { return maxNumRows_; }
    void setMaxNumRows(int rows) { change(maxNumRows_, rows); }
    bool ResizeChart() const { return resizeChart_; }
    void setResizeChart(bool resize) { change(resizeChart_, resize); }
    pvz::Color ShadowColor() const { return shadowColor_; }
    void setShadowColor(pvz::Color color) { change(shadowColor_, color); }
    int ShadowSize() const { return shadowSize_; }
    void setShadowSize(int size) { change(shadowSize_, size); }
    TLegendTextStyle TextStyle() const { return textStyle_; }
    void setTextStyle(TLegendTextStyle style) { change(textStyle_, style); }
    int TopPos() const { return topPos_; }
    void setTopPos(int percent) { change(topPos_, percent); }
    int VertMargin() const { return vertMargin_; }
    void setVertMargin(int margin) { change(vertMargin_, margin); }
    bool Visible() const { return visible_; }
    void setVisible(bool visible) { change(visible_, visible); }

    // As the last drawing left them.
    const Rect& LegendRect() const { return geometry_.rect; }
    int SampleWidth() const { return geometry_.sampleWidth; }
    int RowCount() const { return geometry_.rows; }
    int ColumnCount() const { return geometry_.rows > 0 ? 1 : 0; }
    const LegendGeometry& geometry() const { return geometry_; }

    // The style a drawing uses: lsAuto is lsValues with fewer than two active series, else lsSeries.
    TLegendStyle resolvedStyle() const;
    // The row texts and the series (and value index, -1 for a series row) each row stands for.
    struct Item {
        const TChartSeries* series = nullptr;
        int valueIndex = -1;
        std::string text;
    };
    // Fills `items` (cleared first, its capacity kept) with the rows the legend lists.
    void collectItems(std::vector<Item>& items) const;
    // The item of the row under p as the last drawing left the legend, with the row's band in
    // `rowArea`; nullptr when p lies on no row.
    const Item* ItemAt(Point p, Rect* rowArea = nullptr) const;

    // Rows that fit below `top` with rows `itemHeight` high.
    virtual int MaxRows(int top, int itemHeight, const Rect& plotRect) const;
    // Lays the legend out beside `plotRect`, draws it and, with ResizeChart, shrinks the plot.
    virtual void Draw(Canvas& canvas, const Rect& panelRect, Rect& plotRect);

private:
    void drawBackground(Canvas& canvas) const;
    void drawRow(Canvas& canvas, int row, const Item& item) const;

    TLegendAlignment alignment_ = laRight;
    TChartBrush brush_;
    pvz::Color color_ = clWhite;
    int colorWidth_ = 12;
    TChartPen dividingLines_ = hiddenPen();
    int firstValue_ = 0;
    TChartPen frame_;
    int horizMargin_ = 0;
    bool inverted_ = false;
    TLegendStyle legendStyle_ = lsAuto;
    int maxNumRows_ = 10;
    bool resizeChart_ = true;
    pvz::Color shadowColor_ = clBlack;
    int shadowSize_ = 3;
    TLegendTextStyle textStyle_ = ltsLeftValue;
    int topPos_ = 10;
    int vertMargin_ = 0;
    bool visible_ = true;

    LegendGeometry geometry_;
    // Kept between drawings so that a drawing does not allocate.
    std::vector<Item> items_;
    std::vector<int> widths_;
};

class TChartLegend : public TCustomChartLegend {
public:
    using TCustomChartLegend::TCustomChartLegend;
};

}  // namespace pvz
