#pragma once
// The brush of a chart element (walls, titles, legend, pointers) as the chart stores it: a
// colour that may be left unset for the owner to fill in, and a style.

#include "runtime/graphics.h"

namespace pvz {

struct TChartBrush {
    Color color = clDefault;
    BrushStyle style = BrushStyle::Solid;

    // The canvas brush that draws this brush; an unset colour becomes `unsetColor`.
    Brush toBrush(Color unsetColor) const { return {color == clDefault ? unsetColor : color, style}; }
    friend bool operator==(const TChartBrush&, const TChartBrush&) = default;
};

}  // namespace pvz
