// pvz-snapshot: runs the viewer headless under the offscreen platform with a fixed clock, plays
// user actions through its controls and writes a picture and a JSON report of what it shows.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "tools/lib/snapshot_driver.h"
#include "tools/lib/snapshot_options.h"

namespace {

constexpr const char* kUsage =
    "Usage: pvz-snapshot --data DIR --now \"YYYY-MM-DD HH:MM:SS\" [OPTION...] [ACTION...]\n"
    "Runs the viewer headless on the data files in DIR with the clock at --now, plays the actions\n"
    "in order through its controls and writes what it shows.\n"
    "\n"
    "Options:\n"
    "  --size WxH              the window's client size (1280x800)\n"
    "  --scale D               device pixels per logical pixel, 1 to 4 (1)\n"
    "  --screen-width N        the width the window takes for the screen's (1920)\n"
    "  --choose-dir DIR        the directory chooser answers DIR (it cancels otherwise)\n"
    "  --cancel-dir            the directory chooser cancels\n"
    "  --png FILE              the picture of the window\n"
    "  --json FILE             an account of what is shown\n"
    "  --dump-store            the loaded observations on standard output\n"
    "  --help                  this text\n"
    "\n"
    "Actions:\n"
    "  start  back  forward  undo  hold-back=N  hold-forward=N  up=N  down=N  stretch=N\n"
    "  compress=N  param=UT1|UT1R|Xp|Yp  interval=month|year  trend=no|yes  grid=I  grid-text=T\n"
    "  scale=I  choose=on|off  visor=on|off  series=TAG:on|off  mouse=X,Y  resize=WxH  wait=MS\n"
    "  key=KEYS  key-down=KEYS  key-up=KEYS   (KEYS as \"Ctrl+Left\", \"Ctrl+Shift++\", \"Shift\")\n";

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    const auto parsed = pvz::parseSnapshotArguments(arguments);
    if (const auto* reason = std::get_if<std::string>(&parsed)) {
        std::fprintf(stderr, "pvz-snapshot: %s\n", reason->c_str());
        return 2;
    }
    const auto& options = std::get<pvz::SnapshotOptions>(parsed);

    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (options.scale != 1.0) {
        // The screen's device pixel ratio: every window is drawn at it.
        char ratio[32];
        std::snprintf(ratio, sizeof ratio, "%.17g", options.scale);
        setenv("QT_SCALE_FACTOR", ratio, 1);
    }
    int qtArgc = 1;
    pvz::Application application(qtArgc, argv);
    application.setTitle(pvz::kWindowTitle);
    std::string error;
    const int code = pvz::runSnapshot(options, error);
    if (code != 0) std::fprintf(stderr, "pvz-snapshot: %s\n", error.c_str());
    return code;
}
