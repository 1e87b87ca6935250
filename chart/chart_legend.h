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

    PVZ_CHART_PROPERTY(const pvz::Font&, Font, font_)

private:
    pvz::Font font_;
};

class TCustomChartLegend : public TChartFontObject {
public:
    explicit TCustomChartLegend(ChartOwner* chart);

    PVZ_CHART_PROPERTY(TLegendAlignment, Alignment, alignment_)
    PVZ_CHART_PROPERTY(const TChartBrush&, Brush, brush_)
    PVZ_CHART_PROPERTY(pvz::Color, Color, color_)
    int ColorWidth() const { return colorWidth_; }
    // Raises LegendException "Legend Color Width must be between 0 and 100 %" outside 0..100.
    void setColorWidth(int percent);
    PVZ_CHART_PROPERTY(const TChartPen&, DividingLines, dividingLines_)
    PVZ_CHART_PROPERTY(int, FirstValue, firstValue_)
    PVZ_CHART_PROPERTY(const TChartPen&, Frame, frame_)
    PVZ_CHART_PROPERTY(int, HorizMargin, horizMargin_)
    PVZ_CHART_PROPERTY(bool, Inverted, inverted_)
    PVZ_CHART_PROPERTY(TLegendStyle, LegendStyle, legendStyle_)
    PVZ_CHART_PROPERTY(int, MaxNumRows, maxNumRows_)
    PVZ_CHART_PROPERTY(bool, ResizeChart, resizeChart_)
    PVZ_CHART_PROPERTY(pvz::Color, ShadowColor, shadowColor_)
    PVZ_CHART_PROPERTY(int, ShadowSize, shadowSize_)
    PVZ_CHART_PROPERTY(TLegendTextStyle, TextStyle, textStyle_)
    PVZ_CHART_PROPERTY(int, TopPos, topPos_)
    PVZ_CHART_PROPERTY(int, VertMargin, vertMargin_)
    PVZ_CHART_PROPERTY(bool, Visible, visible_)

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
