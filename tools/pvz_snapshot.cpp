// pvz-snapshot: runs the viewer headless under the offscreen platform with a fixed clock, plays
// user actions through its controls and writes a picture and a JSON report of what it shows.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "tools/lib/snapshot_driver.h"
#include "tools/lib/snapshot_options.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
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
