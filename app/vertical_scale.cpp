// The vertical scale: the parameter selector with its scale tables, the scale and grid
// selectors, the fixed-mode box, the trend selector and the held shift and stretch buttons.
#include "app/main_window.h"
#include "app/view_arithmetic.h"
#include "data/scale_tables.h"

namespace pvz {

void TForm1::requestScale() {
    state.redrawRequested = true;
    if (CheckBoxChoise->checked())
        state.rescaleRequested = true;
    else
        state.autoFitRequested = true;
}

void TForm1::RadioGroupPVZClick(RadioGroup& /*Sender*/) {
    ComboBoxScaleY->clearItems();
    const int parameter = RadioGroupPVZ->itemIndex();
    if (parameter >= 0 && parameter <= 3) {
        const bool ut = usesUtScale(parameter + 1);
        const auto& labels = ut ? scaleLabelsUT : scaleLabelsXY;
        for (int i = 0; i < kScaleCount; ++i)
            ComboBoxScaleY->insertItem(i, std::string(labels[static_cast<std::size_t>(i)]));
        GroupBoxScales->setCaption(ut ? "Масштабы UT:" : "Масштабы X,Y:");
        ComboBoxScaleY->setItemIndex(0);
    }
    showViewTitle();
    requestScale();
}

void TForm1::ComboBoxScaleYChange(ComboBox& /*Sender*/) { requestScale(); }

void TForm1::ComboBoxGridChange(ComboBox& /*Sender*/) { requestScale(); }

void TForm1::CheckBoxChoiseClick(CheckBox& /*Sender*/) { requestScale(); }

void TForm1::RadioGroupTrendClick(RadioGroup& /*Sender*/) {
    state.redrawRequested = true;
    state.autoFitRequested = true;
    CheckBoxChoise->setChecked(false);
}

void TForm1::verticalStepOf(VerticalStep step) {
    TChartAxis& axis = Chart->LeftAxis();
    axis.setAutomatic(false);
    if (const auto range = verticalStep(step, axis.Minimum(), axis.Maximum())) {
        // None of the steps puts the new maximum below the current minimum.
        axis.setMaximum(range->maximum);
        axis.setMinimum(range->minimum);
    }
    // The differences view has no fixed scale to leave; the series view's stays for the return.
    if ((step == VerticalStep::Stretch || step == VerticalStep::Compress) && !state.showDifferences)
        CheckBoxChoise->setChecked(false);
    verticalStepMade_[static_cast<std::size_t>(step)] = true;
}

void TForm1::Timer1Timer(Timer& /*Sender*/) {
    for (const VerticalStep step :
         {VerticalStep::ShiftUp, VerticalStep::ShiftDown, VerticalStep::Stretch, VerticalStep::Compress})
        if (state.buttonHeld[static_cast<int>(step)]) verticalStepOf(step);
}

}  // namespace pvz
