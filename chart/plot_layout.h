#pragma once
// The plot rectangle's arithmetic: the rectangle the margins leave, its repair after layout,
// and its derived sizes.

#include "runtime/graphics.h"

namespace pvz {

struct ChartMargins {
    int left = 3;  // percent of the panel's width or height
    int top = 4;
    int right = 3;
    int bottom = 4;
    friend bool operator==(const ChartMargins&, const ChartMargins&) = default;
};

// The rectangle inside the margins (MulDiv of the percentages) and the panel's border.
Rect plotRectInsideMargins(const Rect& panel, const ChartMargins& margins, int borderWidth);

// A plot rectangle repaired after it shrank: left and top kept inside the panel, a right (bottom)
// edge left of (above) the left (top) edge one pixel beyond it, an edge equal to it the control's
// width (height) beyond it.
Rect recalcPlotRect(const Rect& plot, const Rect& panel, int controlWidth, int controlHeight);

}  // namespace pvz
