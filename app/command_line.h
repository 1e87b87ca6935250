#pragma once
// The program's command line: pvz-viewer [OPTION...] [DIRECTORY]. The toolkit's own options
// (-platform NAME, -style NAME, -geometry WxH+X+Y, -reverse and the like) pass through to it.

#include <string>
#include <string_view>
#include <vector>

namespace pvz {

struct CommandLine {
    enum class Action { Run, Help, Version, Error } action = Action::Run;
    // Run: the directory given, as written; empty when none was.
    std::string directory;
    // Error: the one-line reason.
    std::string error;
};

// Reads the arguments after the program name. "--" ends the options; a second directory, an
// unknown option and a toolkit option without its value are errors.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// A directory given on the command line as the directory chooser returns one: absolute, without
// "." and ".." parts and without a trailing separator (except for the root).
std::string absoluteDirectory(const std::string& given);

// The text that --help prints.
std::string usageText(std::string_view program);
// The line that --version prints.
std::string versionText(std::string_view program);

}  // namespace pvz
