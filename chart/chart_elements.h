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

    bool Visible() const { return visible_; }
    void setVisible(bool visible) { change(visible_, visible); }
    TGradientDirection Direction() const { return direction_; }
    void setDirection(TGradientDirection direction) { change(direction_, direction); }
    Color StartColor() const { return startColor_; }
    void setStartColor(Color color) { change(startColor_, color); }
    Color EndColor() const { return endColor_; }
    void setEndColor(Color color) { change(endColor_, color); }

private:
    bool visible_ = false;
    TGradientDirection direction_ = gdTopBottom;
    Color startColor_ = clWhite;
    Color endColor_ = clYellow;
};

class TChartWall : public TChartElement {
public:
    using TChartElement::TChartElement;

    pvz::Color Color() const { return color_; }
    void setColor(pvz::Color color) { change(color_, color); }
    const TChartBrush& Brush() const { return brush_; }
    void setBrush(const TChartBrush& brush) { change(brush_, brush); }
    const TChartPen& Pen() const { return pen_; }
    void setPen(const TChartPen& pen) { change(pen_, pen); }
    int Size() const { return size_; }
    void setSize(int size) { change(size_, size); }
    bool Dark3D() const { return dark3D_; }
    void setDark3D(bool dark3D) { change(dark3D_, dark3D); }

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
    Rect box;                   // the lines' rectangle, before AdjustFrame narrows it
    int firstLineTop = 0;
    int lineStep = 0;           // +h for a title, -h for a foot (its last line upwards)
    int plotEdge = 0;           // the plot's new top (title) or bottom (foot)
};
// The layout of `lines` lines of height h over [left, right] of `plot`, with frame width f.
TitleLayout layoutTitle(TitlePlace place, const Rect& plot, int lines, int h, int f);
// The x of a line of `textWidth` pixels between left and right; wWidth is the width of "W".
int titleLineX(TextAlign alignment, int left, int right, int textWidth, int wWidth);

class TChartTitle : public TChartElement {
public:
    explicit TChartTitle(ChartOwner* chart);

    const std::vector<std::string>& Text() const { return text_; }
    void setText(const std::vector<std::string>& lines) { change(text_, lines); }
    void setText(std::string_view line) { setText(std::vector<std::string>{std::string(line)}); }
    const pvz::Font& Font() const { return font_; }
    void setFont(const pvz::Font& font) { change(font_, font); }
    TextAlign Alignment() const { return alignment_; }
    void setAlignment(TextAlign alignment) { change(alignment_, alignment); }
    pvz::Color Color() const { return color_; }
    void setColor(pvz::Color color) { change(color_, color); }
    const TChartBrush& Brush() const { return brush_; }
    void setBrush(const TChartBrush& brush) { change(brush_, brush); }
    const TChartPen& Frame() const { return frame_; }
    void setFrame(const TChartPen& pen) { change(frame_, pen); }
    bool AdjustFrame() const { return adjustFrame_; }
    void setAdjustFrame(bool adjust) { change(adjustFrame_, adjust); }
    bool Visible() const { return visible_; }
    void setVisible(bool visible) { change(visible_, visible); }

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
