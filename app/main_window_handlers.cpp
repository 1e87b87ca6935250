// The handlers of the time window, the vertical scale, the chart's decorations and the visors.
#include "app/main_window.h"

namespace pvz {

void TForm1::SpeedButton6MouseDown(SpeedButton& /*Sender*/, MouseButton /*Button*/, int /*X*/, int /*Y*/) {}

void TForm1::SpeedButton6MouseUp(SpeedButton& /*Sender*/, MouseButton /*Button*/, int /*X*/, int /*Y*/) {}

void TForm1::Timer1Timer(Timer& /*Sender*/) {}

void TForm1::Timer2Timer(Timer& /*Sender*/) {}

void TForm1::SpeedButtonUndoClick(SpeedButton& /*Sender*/) {}

void TForm1::RadioGroupIntervalClick(RadioGroup& /*Sender*/) {}

void TForm1::RadioGroupPVZClick(RadioGroup& /*Sender*/) {}

void TForm1::ComboBoxScaleYChange(ComboBox& /*Sender*/) {}

void TForm1::ComboBoxGridChange(ComboBox& /*Sender*/) {}

void TForm1::CheckBoxChoiseClick(CheckBox& /*Sender*/) {}

void TForm1::RadioGroupTrendClick(RadioGroup& /*Sender*/) {}

void TForm1::ChartBeforeDrawAxes(TCustomAxisPanel& /*Sender*/) {}

void TForm1::ChartGetNextAxisLabel(TCustomChartAxis& /*Sender*/, int /*LabelIndex*/, double& /*LabelValue*/,
                                   bool& /*Stop*/) {}

// The controls on the chart follow the legend and the plot from the first drawing on.
void TForm1::ChartAfterDraw(TCustomAxisPanel& /*Sender*/) { layOutChartControls(); }

void TForm1::CheckBox9Click(CheckBox& /*Sender*/) {}

void TForm1::ChartMouseMove(TCustomChartPanel& /*Sender*/, int /*X*/, int /*Y*/) {}

void TForm1::CheckBoxVizClick(CheckBox& /*Sender*/) {}

}  // namespace pvz
