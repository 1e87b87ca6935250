// The visors: a cross-hair that follows the pointer over the plot, inverted over the chart's
// picture where the window shows it, and the read-outs of the MJD and the value under the
// pointer. A mouse move never draws the chart.
#include <cstdint>

#include "app/main_window.h"
#include "runtime/formatting.h"

namespace pvz {
namespace {

// The visor's place when the pointer is outside the chart: outside every plot.
constexpr std::int32_t kNoVisor = INT32_MIN;

}  // namespace

void TForm1::showCrossHair(std::optional<Point> at) {
    if (!at) {
        Chart->setOverlay({});
        return;
    }
    // A row from the plot's left edge to the pixel before its right one, and a column from its
    // top to the pixel above its bottom; their crossing is inverted twice.
    const Rect plot = Chart->PlotRect();
    const Rect lines[] = {{plot.left, at->y, plot.right, at->y + 1}, {at->x, plot.top, at->x + 1, plot.bottom}};
    Chart->setOverlay(lines);
}

void TForm1::showReadout(Point at) {
    const double mjd = Chart->BottomAxis().PixelToValue(at.x) - state.mjdToDayOffset;
    const double value = Chart->LeftAxis().PixelToValue(at.y);
    StaticTextX->setCaption(formatFixed(mjd, 8, 1));
    // Seconds to five decimals; the differences view's thousandths to three.
    StaticTextY->setCaption(formatFixed(value, 8, state.showDifferences ? 3 : 5));
}

std::optional<Point> TForm1::wantedCrossHair() const {
    const Point visor{state.visorX, state.visorY};
    if (CheckBoxViz->checked() && Chart->PlotRect().containsInclusive(visor)) return visor;
    return std::nullopt;
}

void TForm1::showVisorAfterDrawing() {
    // The plot may have moved: the cross-hair follows it, and its read-out the new axes.
    const std::optional<Point> wanted = wantedCrossHair();
    showCrossHair(wanted);
    if (wanted) showReadout(*wanted);
}

void TForm1::ChartMouseMove(TCustomChartPanel& /*Sender*/, int /*X*/, int /*Y*/) {
    if (!CheckBoxViz->checked()) return;
    Point screen;
    if (!pointerScreenPosition(screen)) return;
    const Point at = Chart->screenToClient(screen);
    state.visorX = at.x;
    state.visorY = at.y;
    showCrossHair(wantedCrossHair());
    // The read-outs run on beyond the plot, with the axes' mapping past their ends.
    showReadout(at);
}

void TForm1::ChartMouseLeave(TCustomChartPanel& /*Sender*/) {
    // A pointer that leaves fast sends no last move outside the plot: the leave takes it out,
    // and the read-outs keep the last place.
    showCrossHair(std::nullopt);
    state.visorX = kNoVisor;
    state.visorY = kNoVisor;
}

void TForm1::CheckBoxVizClick(CheckBox& /*Sender*/) {
    state.redrawRequested = true;
    state.autoFitRequested = true;
    const bool on = CheckBoxViz->checked();
    Label1->setEnabled(on);
    Label2->setEnabled(on);
    if (on) return;
    StaticTextX->setCaption("");
    StaticTextY->setCaption("");
}

}  // namespace pvz
