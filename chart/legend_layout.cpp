#include "chart/legend_layout.h"

#include <algorithm>

#include "runtime/calendar.h"

namespace pvz {
namespace {

int roundPercent(double value) { return static_cast<int>(roundToInt64(static_cast<long double>(value))); }

int widestOf(std::span<const int> widths, int rows) {
    int widest = 0;
    for (int i = 0; i < rows && i < static_cast<int>(widths.size()); ++i)
        widest = std::max(widest, widths[static_cast<std::size_t>(i)]);
    return widest;
}

}  // namespace

int LegendGeometry::rowAt(Point p) const {
    if (rows <= 0 || rowHeight <= 0 || p.x < rect.left || p.x >= rect.right) return -1;
    const int offset = p.y - rowTextTop(0);
    if (offset < 0) return -1;
    const int row = offset / rowHeight;
    return row < rows ? row : -1;
}

int legendRowCount(int top, int plotBottom, int frameWidth, int fontHeight, int itemCount) {
    if (fontHeight <= 0 || top >= plotBottom) return 0;
    const int fitting = (plotBottom - 2 * frameWidth - top) / fontHeight;
    return std::clamp(fitting, 0, std::max(itemCount, 0));
}

LegendGeometry layoutLegend(const LegendLayoutInput& in, std::span<const int> textWidths) {
    LegendGeometry g;
    g.rowHeight = in.fontHeight;
    const int f = in.frameWidth;
    const int frameRoom = in.frameVisible ? f + 1 : 0;
    const bool side = in.alignment == laLeft || in.alignment == laRight;

    int top = 0;
    if (side) {
        top = in.panelRect.top + roundPercent(in.topPos * in.panelRect.height() * 0.01);
        g.rows = legendRowCount(top, in.plotRect.bottom, f, in.fontHeight, in.itemCount);
    } else {
        g.rows = in.fontHeight > 0 ? std::max(0, std::min(in.itemCount, in.maxNumRows)) : 0;
    }

    const int w = widestOf(textWidths, g.rows);
    g.sampleWidth = roundPercent((w + 10) * in.colorWidth * 0.01);
    const int width = w + 2 + g.sampleWidth + 8;  // text, its right gap, sample and gaps
    const int height = g.rows * in.fontHeight + 2;

    switch (in.alignment) {
        case laRight: {
            const int right = in.plotRect.right - frameRoom - in.shadowSize;
            g.textX = right - w - 2;
            g.rect = {g.textX - g.sampleWidth - 8, top, right, top + height};
            break;
        }
        case laLeft: {
            const int left = in.plotRect.left + frameRoom;
            g.textX = left + g.sampleWidth + 8;
            g.rect = {left, top, g.textX + w + 2, top + height};
            break;
        }
        case laTop:
        case laBottom: {
            const int left = (in.plotRect.left + in.plotRect.right - width) / 2;
            const int legendTop = in.alignment == laTop ? in.plotRect.top + frameRoom
                                                        : in.plotRect.bottom - frameRoom - in.shadowSize - height;
            g.textX = left + g.sampleWidth + 8;
            g.rect = {left, legendTop, left + width, legendTop + height};
            break;
        }
    }
    return g;
}

Rect plotRectBesideLegend(const Rect& plot, const LegendGeometry& geometry, TLegendAlignment alignment, int margin) {
    if (geometry.rows <= 0) return plot;
    Rect r = plot;
    const int widthMargin = margin != 0 ? margin : mulDiv(3, plot.width(), 100);
    const int heightMargin = margin != 0 ? margin : mulDiv(3, plot.height(), 100);
    switch (alignment) {
        case laRight:
            r.right = geometry.rect.left - widthMargin;
            break;
        case laLeft:
            r.left = geometry.rect.right + widthMargin;
            break;
        case laTop:
            r.top = geometry.rect.bottom + heightMargin;
            break;
        case laBottom:
            r.bottom = geometry.rect.top - heightMargin;
            break;
    }
    return r;
}

}  // namespace pvz
