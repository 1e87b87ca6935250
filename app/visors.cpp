// The visors: a cross-hair that follows the pointer over the plot, drawn in inverting mode so
// that drawing it again removes it, and the read-outs of the MJD and the value under the
// pointer. A mouse move never draws the chart.
#include <cstdint>

#include "app/main_window.h"
#include "runtime/formatting.h"

namespace pvz {
namespace {

// The visor's place when the pointer is outside the chart: outside every plot.
constexpr std::int32_t kNoVisor = INT32_MIN;

}  // namespace

void TForm1::drawCrossHair(Point at) {
    Canvas& canvas = Chart->ChartCanvas();
    const CanvasStateSaver saved(canvas);
    canvas.pen().mode = PenMode::Not;
    canvas.pen().width = 1;
    canvas.pen().style = PenStyle::Solid;
    const Rect plot = Chart->PlotRect();
    canvas.moveTo(plot.left, at.y);
    canvas.lineTo(plot.right, at.y);
    canvas.moveTo(at.x, plot.top);
    canvas.lineTo(at.x, plot.bottom);
}

void TForm1::showReadout(Point at) {
    const double mjd = Chart->BottomAxis().PixelToValue(at.x) - state.mjdToDayOffset;
    const double value = Chart->LeftAxis().PixelToValue(at.y);
    StaticTextX->setCaption(formatFixed(mjd, 8, 1));
    StaticTextY->setCaption(formatFixed(value, 8, 5));
}

std::optional<Point> TForm1::wantedCrossHair() const {
    const Point visor{state.visorX, state.visorY};
    if (CheckBoxViz->checked() && Chart->PlotRect().containsInclusive(visor)) return visor;
    return std::nullopt;
}

void TForm1::drawVisorAfterDrawing() {
    // The drawing started from a picture without a cross-hair.
    crossHairInPicture_.reset();
    if (!CheckBoxViz->checked()) return;
    const std::optional<Point> wanted = wantedCrossHair();
    if (!wanted) return;
    drawCrossHair(*wanted);
    crossHairInPicture_ = wanted;
    showReadout(*wanted);
}

void TForm1::restoreCrossHair() {
    // The window shows the picture as drawn; the pointer may have moved on since.
    crossHairOnWindow_ = crossHairInPicture_;
    const std::optional<Point> wanted = wantedCrossHair();
    if (wanted == crossHairOnWindow_) return;
    if (crossHairOnWindow_) drawCrossHair(*crossHairOnWindow_);
    if (wanted) drawCrossHair(*wanted);
    crossHairOnWindow_ = wanted;
}

void TForm1::ChartMouseMove(TCustomChartPanel& /*Sender*/, int /*X*/, int /*Y*/) {
    if (!CheckBoxViz->checked()) return;
    // Drawing the shown cross-hair again removes it. The window shows it exactly where
    // (visorX, visorY) lies inside the plot, except for a moment after the visors were
    // switched on, when the drawing that adds it has not come yet.
    if (crossHairOnWindow_) {
        drawCrossHair(*crossHairOnWindow_);
        crossHairOnWindow_.reset();
    }
    Point screen;
    if (!pointerScreenPosition(screen)) return;
    const Point at = Chart->screenToClient(screen);
    state.visorX = at.x;
    state.visorY = at.y;
    if (Chart->PlotRect().containsInclusive(at)) {
        drawCrossHair(at);
        crossHairOnWindow_ = at;
    }
    // The read-outs run on beyond the plot, with the axes' mapping past their ends.
    showReadout(at);
}

void TForm1::ChartMouseLeave(TCustomChartPanel& /*Sender*/) {
    // A pointer that leaves fast sends no last move outside the plot: the leave takes it out,
    // and the read-outs keep the last place.
    if (crossHairOnWindow_) {
        drawCrossHair(*crossHairOnWindow_);
        crossHairOnWindow_.reset();
    }
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
