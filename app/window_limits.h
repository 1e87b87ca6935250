#pragma once
// How small the window may become: every control on the chart stays inside it, and none covers
// the legend, the axis labels or the week numbers.

namespace pvz {

class TForm1;

struct ClientSize {
    int width = 0;
    int height = 0;
};

// Free room kept between the rightmost fixed control (Start) and the window's right edge.
inline constexpr int kControlEdgeGap = 6;

// The smallest client area for the window's layout as FormCreate has chosen it: as wide as the
// controls that keep their left edge (Start, the selector group, the tool-button group) reach,
// plus the edge gap, and as high as the full or compact layout needs for the selector group
// to stay clear of the labels under the plot.
ClientSize minimumClientSize(const TForm1& form);

}  // namespace pvz
