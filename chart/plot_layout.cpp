#include "chart/plot_layout.h"

namespace pvz {

Rect plotRectInsideMargins(const Rect& panel, const ChartMargins& margins, int borderWidth) {
    const int w = panel.width();
    const int h = panel.height();
    return {panel.left + mulDiv(margins.left, w, 100) + borderWidth,
            panel.top + mulDiv(margins.top, h, 100) + borderWidth,
            panel.right - borderWidth - mulDiv(margins.right, w, 100),
            panel.bottom - borderWidth - mulDiv(margins.bottom, h, 100)};
}

Rect recalcPlotRect(const Rect& plot, const Rect& panel, int controlWidth, int controlHeight) {
    Rect r = plot;
    if (r.left < panel.left) r.left = panel.left;
    if (r.top < panel.top) r.top = panel.top;
    if (r.right < r.left)
        r.right = r.left + 1;
    else if (r.right == r.left)
        r.right = r.left + controlWidth;
    if (r.bottom < r.top)
        r.bottom = r.top + 1;
    else if (r.bottom == r.top)
        r.bottom = r.top + controlHeight;
    return r;
}

}  // namespace pvz
