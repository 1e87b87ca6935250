// The program: the command line, the application, its one window and the event loop. It writes
// no files.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/main_window.h"
#include "data/data_loader.h"

int main(int argc, char** argv) {
    // Read before the toolkit starts, so that --help, --version and a wrong option need no display.
    const pvz::CommandLine line = pvz::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.action) {
        case pvz::CommandLine::Action::Help:
            std::fputs(pvz::usageText("pvz-viewer").c_str(), stdout);
            return 0;
        case pvz::CommandLine::Action::Version:
            std::fputs(pvz::versionText("pvz-viewer").c_str(), stdout);
            return 0;
        case pvz::CommandLine::Action::Error:
            std::fprintf(stderr, "pvz-viewer: %s (see pvz-viewer --help)\n", line.error.c_str());
            return 2;
        case pvz::CommandLine::Action::Run:
            break;
    }

    const std::unique_ptr<pvz::Application> started = pvz::startApplication(argc, argv, "pvz-viewer");
    pvz::Application& application = *started;
    application.setTitle(pvz::kWindowTitle);
    pvz::setProgramIcon(pvz::kProgramIcon);
    pvz::FormOptions options;
    if (!line.directory.empty()) options.dataDirectory = pvz::dataDirectoryFor(pvz::absoluteDirectory(line.directory));
    pvz::TForm1 form(std::move(options));
    return application.run(form);
}
