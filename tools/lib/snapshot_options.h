#pragma once
// The command line of the headless tool: where the data are, what the clock says, how the
// dialogs answer, what to write, and the user actions to play, in order.

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pvz {

enum class SnapshotActionKind {
    Start,
    Parameter,    // a = item of RadioGroupPVZ
    Interval,     // a = item of RadioGroupInterval
    Trend,        // a = item of RadioGroupTrend
    Grid,         // a = item of ComboBoxGrid
    GridText,     // the text after "=" is typed into ComboBoxGrid in place of its text
    Scale,        // a = item of ComboBoxScaleY
    Choose,       // a = 1 checks CheckBoxChoise, 0 unchecks it
    Series,       // a = Tag of the series check box, b = 1 on, 0 off
    Visor,        // a = 1 on, 0 off
    Back,         // a click on SpeedButton1
    Forward,      // a click on SpeedButton2
    HoldBack,     // a = ticks of Timer2 that SpeedButton1 is held
    HoldForward,  // a = ticks of Timer2 that SpeedButton2 is held
    Up,           // a = ticks of Timer1 that SpeedButton3 is held
    Down,         // SpeedButton4
    Stretch,      // SpeedButton5
    Compress,     // SpeedButton6
    Undo,
    View,     // a = 1 the differences view, 0 the series view (a click on SpeedButtonDifferences when it differs)
    Mouse,    // a, b = chart client pixel
    Resize,   // a, b = client width and height
    Wait,     // a = simulated milliseconds that pass (timers tick, passes run)
    Key,      // a key sequence (argument) pressed and released through the window system
    KeyDown,  // a key sequence pressed (and held)
    KeyUp,    // a key sequence released
};

struct SnapshotAction {
    SnapshotActionKind kind = SnapshotActionKind::Start;
    int a = 0;
    int b = 0;
    // GridText: the text typed; Key, KeyDown, KeyUp: the key sequence ("Ctrl+Left").
    std::string argument;
    std::string text;  // the action as written, for reports
};

enum class DirectoryAnswer { Cancel, Choose };

struct SnapshotOptions {
    std::string dataDirectory;
    std::string nowText;
    double now = 0.0;  // day number of --now
    int width = 1280;
    int height = 800;
    int screenWidth = 1920;
    // Device pixels per logical pixel of the screen: the picture has the window's size times
    // this; the layout and the JSON report stay in logical pixels. Taken by the program entry,
    // before the window system starts.
    double scale = 1.0;
    DirectoryAnswer directoryAnswer = DirectoryAnswer::Cancel;
    std::string chosenDirectory;
    std::string pngFile;
    std::string jsonFile;
    // Written after the actions by the window's own commands, the file chooser answering with
    // the name: "Сохранить точки…" and "Сохранить рисунок…".
    std::string csvFile;
    std::string chartPngFile;
    bool dumpStore = false;
    std::vector<SnapshotAction> actions;
};

// Parses the arguments after the program name; a text is the one-line reason of a refusal.
std::variant<SnapshotOptions, std::string> parseSnapshotArguments(const std::vector<std::string>& arguments);

// One action word ("start", "hold-back=3", "series=4:off" ...), or nothing when it is not one.
std::optional<SnapshotAction> parseSnapshotAction(std::string_view text);

// "YYYY-MM-DD HH:MM:SS" as a day number, or nothing when it is not a valid local time.
std::optional<double> parseLocalTime(std::string_view text);

}  // namespace pvz
