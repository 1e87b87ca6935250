#pragma once
// The chart panel's own elements: the background gradient, the walls and the titles. Each
// setter requests a repaint of the owning chart when it changes a value.

#include <string>
#include <string_view>
#include <vector>

#include "chart/chart_brush.h"
#include "chart/chart_element.h"
#include "chart/chart_gradient.h"
#include "chart/chart_pen.h"
#include "runtime/graphics.h"

namespace pvz {

class TChartGradient : public TChartElement {
public:
    using TChartElement::TChartElement;

    PVZ_CHART_PROPERTY(bool, Visible, visible_)
    PVZ_CHART_PROPERTY(TGradientDirection, Direction, direction_)
    PVZ_CHART_PROPERTY(Color, StartColor, startColor_)
    PVZ_CHART_PROPERTY(Color, EndColor, endColor_)

private:
    bool visible_ = false;
    TGradientDirection direction_ = gdTopBottom;
    Color startColor_ = clWhite;
    Color endColor_ = clYellow;
};

class TChartWall : public TChartElement {
public:
    using TChartElement::TChartElement;

    PVZ_CHART_PROPERTY(pvz::Color, Color, color_)
    PVZ_CHART_PROPERTY(const TChartBrush&, Brush, brush_)
    PVZ_CHART_PROPERTY(const TChartPen&, Pen, pen_)
    PVZ_CHART_PROPERTY(int, Size, size_)
    PVZ_CHART_PROPERTY(bool, Dark3D, dark3D_)

    // A flat wall over `plot`, its right and bottom edges included: outlined with the wall's
    // pen and filled with the wall's colour, unless the colour is unset or the brush clear.
    void drawFlat(Canvas& canvas, const Rect& plot) const;

private:
    pvz::Color color_ = clDefault;
    TChartBrush brush_;
    TChartPen pen_;
    int size_ = 0;
    bool dark3D_ = true;
};

enum class TitlePlace { Top, Bottom };

// Where the lines of a title go.
struct TitleLayout {
    Rect box;  // the lines' rectangle, before AdjustFrame narrows it
    int firstLineTop = 0;
    int lineStep = 0;  // +h for a title, -h for a foot (its last line upwards)
    int plotEdge = 0;  // the plot's new top (title) or bottom (foot)
};
// The layout of `lines` lines of height h over [left, right] of `plot`, with frame width f.
TitleLayout layoutTitle(TitlePlace place, const Rect& plot, int lines, int h, int f);
// The x of a line of `textWidth` pixels between left and right; wWidth is the width of "W".
int titleLineX(TextAlign alignment, int left, int right, int textWidth, int wWidth);

class TChartTitle : public TChartElement {
public:
    explicit TChartTitle(ChartOwner* chart);

    PVZ_CHART_PROPERTY(const std::vector<std::string>&, Text, text_)
    void setText(std::string_view line) { setText(std::vector<std::string>{std::string(line)}); }
    PVZ_CHART_PROPERTY(const pvz::Font&, Font, font_)
    PVZ_CHART_PROPERTY(TextAlign, Alignment, alignment_)
    PVZ_CHART_PROPERTY(pvz::Color, Color, color_)
    PVZ_CHART_PROPERTY(const TChartBrush&, Brush, brush_)
    PVZ_CHART_PROPERTY(const TChartPen&, Frame, frame_)
    PVZ_CHART_PROPERTY(bool, AdjustFrame, adjustFrame_)
    PVZ_CHART_PROPERTY(bool, Visible, visible_)

    // Draws the lines over the plot and moves the plot's top (bottom for a foot) past them.
    // Nothing happens when the title is hidden or has no text.
    void draw(Canvas& canvas, TitlePlace place, Rect& plot) const;

private:
    std::vector<std::string> text_;
    pvz::Font font_;
    TextAlign alignment_ = TextAlign::Center;
    pvz::Color color_ = clDefault;
    TChartBrush brush_;
    TChartPen frame_ = hiddenPen();
    bool adjustFrame_ = true;
    bool visible_ = true;
};

}  // namespace pvz
