#pragma once
// The viewer's one window, TForm1: its controls, the chart and the handlers. The components
// are created parents first and end children first.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/viewer_chart.h"
#include "chart/chart_panel.h"
#include "chart/line_series.h"
#include "data/display_cycle.h"
#include "data/observation_store.h"
#include "data/viewer_state.h"
#include "runtime/window_system.h"

namespace pvz {

enum class VerticalStep;

inline constexpr const char* kWindowTitle = "Просмотр графиков";
inline constexpr const char* kProgramIcon = ":/pvz-viewer.svg";  // built into the program
inline constexpr const char* kPressStartStatus = "  Нажмите кнопку \"Старт\"";
inline constexpr int kSmallScreenWidth = 800;
// The commands that keep what the chart shows, with their keys.
inline constexpr const char* kSavePictureText = "Сохранить рисунок…";
inline constexpr const char* kSavePictureKeys = "Ctrl+S";
inline constexpr const char* kSavePointsText = "Сохранить точки…";
inline constexpr const char* kSavePointsKeys = "Ctrl+Shift+S";
inline constexpr const char* kCopyPictureText = "Копировать рисунок";
inline constexpr const char* kCopyPictureKeys = "Ctrl+C";
inline constexpr const char* kCopyStatisticsText = "Копировать статистику";
inline constexpr const char* kCopyStatisticsKeys =
    "Ctrl+Shift+C";  // screens this wide or narrower take the compact layout

// A text that a handler wrote on the chart's canvas.
struct DrawnText {
    int x = 0;
    int y = 0;
    std::string text;
};

// How the window meets its platform; the defaults are the real program's.
struct FormOptions {
    // What FormCreate reads as the screen width; the screen's own when empty.
    std::function<int()> screenWidth;
    // FormCreate maximises the window; the headless tool keeps the size it sets.
    bool maximise = true;
    // After loading, BitBtnStartClick runs the display cycle until the program ends; with
    // External it returns and the caller runs the passes (the headless tool and the tests).
    enum class Cycle { Run, External } cycle = Cycle::Run;
    // The immediate end of the second Start press; Application::exitNow when empty.
    std::function<void()> exitNow;
    // The platform of the display cycle; the members left empty are the real platform's (the
    // headless tool brings a simulated clock and pump).
    PassServices cycleServices;
    // The data directory given on the command line ("/"-terminated, as a chosen one); empty
    // for the current directory.
    std::string dataDirectory;
    // The clock that times the second Start press; steady_clock when empty.
    std::function<MonotonicClock::time_point()> clock;
};

class TForm1 : public Form {
public:
    explicit TForm1(FormOptions options = {});
    ~TForm1() override;

    // Components. Members end in the reverse order of their declaration, so each control is
    // declared after its parent and ends before it; the series come before the chart, which lets
    // go of them when it ends.
    std::unique_ptr<TLineSeries> Series1;
    std::unique_ptr<TLineSeries> Series2;
    std::unique_ptr<TLineSeries> Series3;
    std::unique_ptr<TLineSeries> Series5;
    std::unique_ptr<TLineSeries> Series6;
    std::unique_ptr<TLineSeries> Series7;
    std::unique_ptr<TLineSeries> Series8;
    std::unique_ptr<TLineSeries> Series9;
    std::unique_ptr<TLineSeries> Series10;
    std::unique_ptr<TLineSeries> Series4;
    std::unique_ptr<TLineSeries> Series11;
    std::unique_ptr<TViewerChart> Chart;
    std::unique_ptr<StatusBar> StatusBar1;
    std::unique_ptr<Timer> Timer1;
    std::unique_ptr<Timer> Timer2;
    std::unique_ptr<CheckBox> CheckBox1;
    std::unique_ptr<CheckBox> CheckBox2;
    std::unique_ptr<CheckBox> CheckBox3;
    std::unique_ptr<CheckBox> CheckBox4;
    std::unique_ptr<CheckBox> CheckBox5;
    std::unique_ptr<CheckBox> CheckBox6;
    std::unique_ptr<CheckBox> CheckBox7;
    std::unique_ptr<CheckBox> CheckBox8;
    std::unique_ptr<CheckBox> CheckBox9;
    std::unique_ptr<CheckBox> CheckBox10;
    std::unique_ptr<CheckBox> CheckBox11;
    std::unique_ptr<Button> BitBtnStart;
    std::unique_ptr<GroupBox> GroupBox1;
    std::unique_ptr<SpeedButton> SpeedButton1;
    std::unique_ptr<SpeedButton> SpeedButton2;
    std::unique_ptr<SpeedButton> SpeedButton3;
    std::unique_ptr<SpeedButton> SpeedButton4;
    std::unique_ptr<SpeedButton> SpeedButton5;
    std::unique_ptr<SpeedButton> SpeedButton6;
    std::unique_ptr<SpeedButton> SpeedButtonUndo;
    std::unique_ptr<SpeedButton> SpeedButtonDifferences;
    std::unique_ptr<GroupBox> GroupBoxScales;
    std::unique_ptr<StaticText> StaticText3;
    std::unique_ptr<Edit> EditScale;
    std::unique_ptr<StaticText> StaticText5;
    std::unique_ptr<CheckBox> CheckBoxChoise;
    std::unique_ptr<ComboBox> ComboBoxScaleY;
    std::unique_ptr<GroupBox> GroupBox2;
    std::unique_ptr<ComboBox> ComboBoxGrid;
    std::unique_ptr<RadioGroup> RadioGroupPVZ;
    std::unique_ptr<RadioGroup> RadioGroupInterval;
    std::unique_ptr<RadioGroup> RadioGroupTrend;
    std::unique_ptr<GroupBox> GroupBox3;
    std::unique_ptr<CheckBox> CheckBoxViz;
    std::unique_ptr<Label> Label1;
    std::unique_ptr<Label> Label2;
    std::unique_ptr<StaticText> StaticTextX;
    std::unique_ptr<StaticText> StaticTextY;

    // The process-wide data: they live from window creation to the end of the program.
    ObservationStore store;
    SeriesArrays arrays;
    ViewerState state;

    // Handlers of window creation, closing and the Start button.
    void FormCreate();
    void FormClose();
    void BitBtnStartClick(Button& Sender);

    // Handlers of the time window, the vertical scale, the decorations and the visors.
    void SpeedButton6MouseDown(SpeedButton& Sender, MouseButton Button, int X, int Y);
    void SpeedButton6MouseUp(SpeedButton& Sender, MouseButton Button, int X, int Y);
    void Timer1Timer(Timer& Sender);
    void Timer2Timer(Timer& Sender);
    void SpeedButtonUndoClick(SpeedButton& Sender);
    // Switches between the series view and the differences view.
    void SpeedButtonDifferencesClick(SpeedButton& Sender);
    void RadioGroupIntervalClick(RadioGroup& Sender);
    void RadioGroupPVZClick(RadioGroup& Sender);
    void ComboBoxScaleYChange(ComboBox& Sender);
    void ComboBoxGridChange(ComboBox& Sender);
    void CheckBoxChoiseClick(CheckBox& Sender);
    void RadioGroupTrendClick(RadioGroup& Sender);
    void ChartBeforeDrawAxes(TCustomAxisPanel& Sender);
    void ChartGetNextAxisLabel(TCustomChartAxis& Sender, int LabelIndex, double& LabelValue, bool& Stop);
    void ChartAfterDraw(TCustomAxisPanel& Sender);
    void CheckBox9Click(CheckBox& Sender);
    void ChartMouseMove(TCustomChartPanel& Sender, int X, int Y);
    void ChartMouseLeave(TCustomChartPanel& Sender);
    void CheckBoxVizClick(CheckBox& Sender);

    // The commands of the chart's context menu and their keys: the chart as a PNG file or on the
    // clipboard, the plotted points as a CSV file, the statistics as a table on the clipboard.
    // Each file goes where the user chose it in the file chooser.
    void SavePictureCommand();
    void SavePointsCommand();
    void CopyPictureCommand();
    void CopyStatisticsCommand();
    WindowCommands& commands() { return *commands_; }

    // The chart as the engine draws it at the ratio of saved pictures (the screen's, at least
    // 2), without the controls on it and without the cross-hair.
    void drawKeptPicture(Bitmap& picture);
    // The texts of the commands, for the final state of the window.
    std::string pointsCsvText() const;
    std::string statisticsText() const;

    // The series by chart index 0 to 10 (slot - 1).
    TLineSeries& seriesAt(int index) const { return *seriesByIndex_[static_cast<std::size_t>(index)]; }
    // The series check box with Tag `tag` (1 to 11).
    CheckBox& seriesCheckBox(int tag) const { return *checkBoxByTag_[static_cast<std::size_t>(tag - 1)]; }
    DisplayCycle& displayCycle() { return *cycle_; }
    // The tip of series `index`'s legend row and check box, from the last rebuild's statistics;
    // empty before Start.
    std::string seriesHint(int index) const;
    const FormOptions& options() const { return options_; }

    // Moves the controls on the chart next to the legend rows and the plot edges, as the last
    // drawing left them.
    void layOutChartControls();

    // The week numbers that ChartBeforeDrawAxes wrote in the last drawing (it records each one
    // it writes in weekNumbers_, after clearing the list).
    const std::vector<DrawnText>& drawnWeekNumbers() const { return weekNumbers_; }

private:
    class Controls;
    class Loader;

    void createComponents();
    void connectEvents();
    void connectStatisticsHints();
    void connectCommands();
    void applySmallScreenLayout();
    void setUpBottomAxis();
    void enableChartControls();
    int readScreenWidth() const;

    // The request of the scale controls: a table step in the fixed mode, else a new fit.
    void requestScale();
    // One step of a vertical shift or stretch button.
    void verticalStepOf(VerticalStep step);
    // One week back (Tag 1) or forward (Tag 2) from the bottom axis's range `oldMinimum` to
    // `oldMaximum`, as a tick of Timer2 makes it; false, with nothing moved and the back
    // button let go, at the back limit.
    bool shiftTimeWindow(int tag, double oldMinimum, double oldMaximum);
    // Before a new left press of a time button: ends what the last press left to the ticks.
    void settleEarlierTimePress();

    // The visor's cross-hair at `at` over the chart's picture, or none.
    void showCrossHair(std::optional<Point> at);
    void showReadout(Point at);
    // The chart's title for the view and the parameter shown.
    void showViewTitle();
    // Where the cross-hair belongs now: at (visorX, visorY) while the visors are on and it
    // lies inside the plot, else nowhere.
    std::optional<Point> wantedCrossHair() const;
    // The end of every drawing: the cross-hair over the new plot, with its read-out.
    void showVisorAfterDrawing();

    FormOptions options_;
    std::array<TLineSeries*, kSeriesSlotCount> seriesByIndex_{};
    std::array<TChartSeries*, kSeriesSlotCount> cycleSeries_{};
    std::array<CheckBox*, kSeriesSlotCount> checkBoxByTag_{};
    std::unique_ptr<Controls> controls_;
    std::unique_ptr<DisplayCycle> cycle_;
    std::vector<DrawnText> weekNumbers_;
    // When Start was first pressed: a second press within the double-click interval is the
    // rest of a double click, not a request to end the program.
    MonotonicClock::time_point startPressedAt_{};
    // The vertical range of the series view while the differences view is shown: given back on
    // leaving it unless a scale request came meanwhile, which the series view then serves.
    struct SeriesRange {
        double minimum = 0.0;
        double maximum = 0.0;
        double increment = 0.0;
    } seriesRange_;
    // By tool-button Tag: the vertical button has made a step since it was last pressed.
    std::array<bool, kToolButtonCount + 1> verticalStepMade_{};
    std::unique_ptr<WindowCommands> commands_;
    // The folder of the last file chosen in this run; the home folder at first.
    std::string keepFolder_;
    // A picture to keep is being drawn: the drawing leaves the cross-hair out.
    bool drawingKeptPicture_ = false;
};

}  // namespace pvz
