#pragma once
// The pen of a chart element (axis line, ticks, grid, walls, series lines), as the chart
// stores it: a visibility flag on top of the canvas pen's colour, width and style.

#include "runtime/graphics.h"

namespace pvz {

struct TChartPen {
    bool visible = true;
    Color color = clBlack;
    int width = 1;
    PenStyle style = PenStyle::Solid;
    // With width 1, drawn as a cosmetic pen that sets every other pixel in its colour.
    bool smallDots = false;

    // The canvas pen that draws this pen; an unset colour becomes `unsetColor`.
    Pen toPen(Color unsetColor = clBlack) const {
        Pen pen;
        pen.color = color == clDefault ? unsetColor : color;
        pen.width = width;
        pen.style = style;
        pen.smallDots = smallDots && width == 1;
        return pen;
    }
    // Makes this the canvas's pen, an unset colour becoming `unsetColor` and a hidden pen
    // drawing nothing. The canvas keeps its pen mode: the mode is chosen by the drawing that
    // calls, not by the element.
    void select(Canvas& canvas, Color unsetColor = clBlack) const {
        const PenMode mode = canvas.pen().mode;
        canvas.pen() = toPen(unsetColor);
        canvas.pen().mode = mode;
        if (!visible) canvas.pen().style = PenStyle::Clear;
    }
    friend bool operator==(const TChartPen&, const TChartPen&) = default;
};

// The default pens of the chart's elements.
inline TChartPen darkGrayPen() { return {true, clGray, 1, PenStyle::Solid, false}; }
inline TChartPen dottedGrayPen() { return {true, clGray, 1, PenStyle::Dot, false}; }
inline TChartPen hiddenPen() { return {false, clBlack, 1, PenStyle::Solid, false}; }

}  // namespace pvz
