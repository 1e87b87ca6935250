#include "app/command_line.h"

#include <algorithm>
#include <filesystem>

#ifndef PVZ_VERSION
#define PVZ_VERSION "unknown"
#endif

namespace pvz {
namespace {

// The toolkit's options, written with one dash or two, without their dashes; these take the
// next argument as their value.
constexpr std::string_view kToolkitOptionsWithValue[] = {
    "platform",        "platformpluginpath",
    "platformtheme",   "plugin",
    "qmljsdebugger",   "style",
    "stylesheet",      "session",
    "display",         "geometry",
    "title",           "name",
    "qwindowgeometry", "qwindowicon",
    "qwindowtitle",    "visual",
    "ncols",
};
constexpr std::string_view kToolkitFlags[] = {"reverse", "widgetcount", "nograb",     "dograb",
                                              "sync",    "cmap",        "testability"};

template <std::size_t N>
bool contains(const std::string_view (&names)[N], std::string_view name) {
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    bool optionsEnded = false;
    bool haveDirectory = false;
    const auto fail = [&line](std::string reason) {
        line.action = CommandLine::Action::Error;
        line.directory.clear();
        line.error = std::move(reason);
        return line;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
            if (argument == "--help" || argument == "-h" || argument == "--version") {
                line.action = argument == "--version" ? CommandLine::Action::Version : CommandLine::Action::Help;
                line.directory.clear();
                return line;
            }
            std::string_view name(argument);
            name.remove_prefix(name.starts_with("--") ? 2 : 1);
            const std::size_t equals = name.find('=');
            const std::string_view bare = name.substr(0, equals);
            if (contains(kToolkitFlags, bare) && equals == std::string_view::npos) continue;
            if (contains(kToolkitOptionsWithValue, bare)) {
                if (equals != std::string_view::npos) continue;
                if (i + 1 >= arguments.size()) return fail("option " + argument + " needs a value");
                ++i;
                continue;
            }
            return fail("unknown option " + argument);
        }
        if (haveDirectory) return fail("more than one directory given (" + line.directory + ", " + argument + ")");
        haveDirectory = true;
        line.directory = argument;
    }
    return line;
}

std::string absoluteDirectory(const std::string& given) {
    std::string path = std::filesystem::absolute(std::filesystem::path(given)).lexically_normal().string();
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string usageText(std::string_view program) {
    const std::string name(program);
    return "Usage: " + name +
           " [OPTION...] [DIRECTORY]\n"
           "Compares Earth rotation parameters (UT1-UTC, UT1R, Xp, Yp) of up to eleven sources on one chart.\n"
           "\n"
           "The data files are read from DIRECTORY, or from the current directory when none is given.\n"
           "If no data file is found there, the program asks for the directory.\n"
           "\n"
           "  -h, --help     show this help and exit\n"
           "      --version  show the version and exit\n"
           "\n"
           "The toolkit's options, such as -platform NAME, -style NAME or -reverse, are accepted too.\n"
           "The program writes no files and keeps no settings. See " +
           name + "(1) for the files and the controls.\n";
}

std::string versionText(std::string_view program) { return std::string(program) + " " + PVZ_VERSION + "\n"; }

}  // namespace pvz
