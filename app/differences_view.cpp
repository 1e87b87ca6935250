// The differences view: each source plotted as its differences from the reference, in
// thousandths of the series' unit, with its own fitted vertical range. The eighth tool button
// (and Ctrl+D) switches to it and back; the series view comes back as it was left.
#include "app/main_window.h"
#include "app/view_arithmetic.h"
#include "data/scale_tables.h"

namespace pvz {

void TForm1::showViewTitle() {
    std::string title = kSeriesViewTitle;
    if (state.showDifferences)
        title = "Разности от " + seriesAt(0).Title() + (usesUtScale(RadioGroupPVZ->itemIndex() + 1) ? ", мс" : ", мсд");
    // The same title again asks for no drawing.
    if (Chart->Title().Text() != std::vector<std::string>{title}) Chart->Title().setText(title);
}

void TForm1::SpeedButtonDifferencesClick(SpeedButton& /*Sender*/) {
    const bool entering = !state.showDifferences;
    TChartAxis& left = Chart->LeftAxis();
    state.showDifferences = entering;
    SpeedButtonDifferences->setDown(entering);
    // The differences have no scale table; the fixed mode and its step wait for the return.
    CheckBoxChoise->setEnabled(!entering);
    ComboBoxScaleY->setEnabled(!entering);
    showViewTitle();
    state.redrawRequested = true;
    if (entering) {
        seriesRange_ = {left.Minimum(), left.Maximum(), left.Increment()};
        state.seriesScaleDue = false;
        state.viewFitRequested = true;
        return;
    }
    if (state.seriesScaleDue) {
        // What changed in the differences view asks the series view for a new scale.
        state.seriesScaleDue = false;
        requestScale();
        return;
    }
    // The maximum is opened first so that the minimum never exceeds it.
    left.setAutomatic(false);
    left.setIncrement(seriesRange_.increment);
    left.setMaximum(kLeftAxisSpread);
    left.setMinimum(seriesRange_.minimum);
    left.setMaximum(seriesRange_.maximum);
}

}  // namespace pvz
