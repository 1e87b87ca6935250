#include "app/window_limits.h"

#include <algorithm>

#include "app/main_window.h"

namespace pvz {
namespace {

// The chart's bottom margin is 13 % of its height and the selector group stands 5 pixels above
// the chart's bottom edge, so the band between the plot and the group grows with the height.
// These are the smallest client heights (status bar included) at which that band holds the
// date labels and the week numbers of the full layout (57-pixel group, 20-pixel numbers) and of
// the compact one (49-pixel group, 16-pixel numbers); the layout test checks them pixel by pixel.
constexpr int kFullLayoutHeight = 616;
constexpr int kCompactLayoutHeight = 523;

int rightEdge(const Control& control) { return control.left() + control.width(); }

}  // namespace

ClientSize minimumClientSize(const TForm1& form) {
    const int widest = std::max({rightEdge(*form.BitBtnStart), rightEdge(*form.GroupBox2), rightEdge(*form.GroupBox1)});
    const bool compact = form.state.screenWidth <= kSmallScreenWidth;
    return {widest + kControlEdgeGap, compact ? kCompactLayoutHeight : kFullLayoutHeight};
}

}  // namespace pvz
