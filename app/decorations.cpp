// The chart's decorations: the week numbers under the plot, the month view's labels on the
// window's Mondays, the controls that follow the legend and the plot after each drawing, and
// the series check boxes.
#include "app/main_window.h"
#include "app/view_arithmetic.h"
#include "data/scale_tables.h"
#include "runtime/formatting.h"

namespace pvz {
namespace {

constexpr int kMonthItem = 0;
constexpr int kYearItem = 1;

}  // namespace

void TForm1::ChartBeforeDrawAxes(TCustomAxisPanel& /*Sender*/) {
    weekNumbers_.clear();
    if (RadioGroupInterval->itemIndex() != kMonthItem) return;
    Canvas& canvas = Chart->ChartCanvas();
    // Face and colour stay those that the canvas holds here, the left axis's label font.
    const WeekNumberFont size = weekNumberFont(state.screenWidth);
    canvas.font().style = fsBold;
    canvas.font().height = size.height;
    const Rect plot = Chart->PlotRect();
    const int y = plot.bottom + size.offset;
    for (const WeekNumberSpot& spot : weekNumberSpots(plot, state.currentWeek, state.timeShiftDays)) {
        std::string text = integerToText(spot.week);
        canvas.textOut(spot.x, y, text);
        weekNumbers_.push_back({spot.x, y, std::move(text)});
    }
}

void TForm1::ChartGetNextAxisLabel(TCustomChartAxis& Sender, int /*LabelIndex*/, double& LabelValue, bool& Stop) {
    // The year view and the other axes keep the engine's own labels.
    if (RadioGroupInterval->itemIndex() == kYearItem || &Sender != &Chart->BottomAxis()) return;
    LabelValue = nextWeekLabel(LabelValue, state.timeShiftDays, state.homeStartMjd, state.mjdToDayOffset);
    Stop = false;
}

void TForm1::ChartAfterDraw(TCustomAxisPanel& /*Sender*/) {
    // From the next drawing on the date axis starts at the first plotted point.
    Chart->BottomAxis().setAutomaticMinimum(true);
    TChartAxis& left = Chart->LeftAxis();
    const double labelStep = left.LabelStepForSize(left.LabelsFont().sizeInPoints() + 6);
    EditScale->setText(state.showDifferences ? differencesScaleText(labelStep, usesUtScale(state.selectedParameter))
                                             : composedScaleText(labelStep));
    layOutChartControls();
    if (!drawingKeptPicture_) showVisorAfterDrawing();
}

void TForm1::CheckBox9Click(CheckBox& /*Sender*/) {
    state.redrawRequested = true;
    if (CheckBoxChoise->checked()) {
        state.rescaleRequested = true;
        return;
    }
    // The range stays as the last fit left it, unless the chart was empty.
    state.autoFitRequested = false;
    state.rescaleRequested = false;
    if (!state.anySeriesChecked) state.autoFitRequested = true;
}

void TForm1::layOutChartControls() {
    const Rect legend = Chart->Legend().LegendRect();
    const Rect plot = Chart->PlotRect();
    const int seriesCount = Chart->SeriesCount();
    const int rows = seriesCount > 0 ? (legend.bottom - legend.top) / seriesCount : 0;
    const int height = Chart->height();
    const int boxWidth = CheckBox1->width();
    const Control& chart = *Chart;
    for (int i = 0; i < chart.childCount(); ++i) {
        Control& child = chart.child(i);
        if (dynamic_cast<CheckBox*>(&child)) {
            child.setLeft(legend.left - child.width());
            child.setTop((child.tag() - 1) * rows + legend.top);
        } else if (dynamic_cast<Button*>(&child)) {
            child.setTop(height - child.height() - 10);
        } else if (dynamic_cast<GroupBox*>(&child)) {
            switch (child.tag()) {
                case 1:
                    child.setLeft(legend.left - boxWidth);
                    child.setTop(plot.bottom - child.height() - 1);
                    break;
                case 2:
                    child.setTop(height - child.height() - 5);
                    break;
                case 3:
                    child.setTop(plot.top - child.height() - 5);
                    break;
                default:
                    break;
            }
        }
    }
}

}  // namespace pvz
