#pragma once
// Geometry of the chart legend: where it stands, how many rows it shows, where each row's text
// and colour sample go, and how much of the plot it takes. Plain arithmetic, no drawing.

#include <span>

#include "runtime/graphics.h"

namespace pvz {

enum TLegendAlignment { laLeft, laRight, laTop, laBottom };

struct LegendLayoutInput {
    TLegendAlignment alignment = laRight;
    Rect panelRect;
    Rect plotRect;
    int topPos = 10;     // percent of the panel height
    int fontHeight = 0;  // row height h
    int frameWidth = 1;  // f, counted in the row limit even when the frame is hidden
    bool frameVisible = true;
    int shadowSize = 3;
    int colorWidth = 12;  // percent
    int maxNumRows = 10;  // top and bottom legends only
    int itemCount = 0;
};

struct LegendGeometry {
    Rect rect;     // the legend rectangle, frame excluded
    int rows = 0;  // rows shown; 0 means the legend is not drawn
    int rowHeight = 0;
    int textX = 0;  // left end of the text column
    int sampleWidth = 0;

    int rowTextTop(int row) const { return rect.top + 1 + row * rowHeight; }
    // The colour sample of a row: columns textX - 4 - sampleWidth .. textX - 4, rows y + 2 .. y + h - 2.
    Rect sampleRect(int row) const {
        const int y = rowTextTop(row);
        return {textX - 4 - sampleWidth, y + 2, textX - 4, y + rowHeight - 2};
    }
    // The band of a row: the legend's width, from its text top one row height down.
    Rect rowRect(int row) const {
        const int y = rowTextTop(row);
        return {rect.left, y, rect.right, y + rowHeight};
    }
    // The row whose band holds p (right and bottom edges excluded); -1 for none.
    int rowAt(Point p) const;
};

// Rows that fit between `top` and the plot's bottom, at most itemCount.
int legendRowCount(int top, int plotBottom, int frameWidth, int fontHeight, int itemCount);

// The legend's place and rows; textWidths holds the text width of every item in order
// (only the rows shown count for the widest).
LegendGeometry layoutLegend(const LegendLayoutInput& in, std::span<const int> textWidths);

// The plot rectangle once a legend with `geometry` has taken its room (ResizeChart): the edge on
// the legend's side moves to the legend and then inwards by `margin`, or by 3 % of the plot's
// extent when `margin` is 0. Unchanged when the legend shows no rows.
Rect plotRectBesideLegend(const Rect& plot, const LegendGeometry& geometry, TLegendAlignment alignment, int margin);

}  // namespace pvz
