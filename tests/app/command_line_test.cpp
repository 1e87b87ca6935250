// The command line: what each argument list asks for, the directory it names, and the real
// program's answers (exit status, standard output and error) without any display.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/main_window.h"
#include "data/data_loader.h"
#include "tests/app/viewer_fixture.h"
#include "tests/support/fixture_files.h"
#include "tests/support/recording_dialogs.h"

namespace pvz::testing {
namespace {

using Action = CommandLine::Action;

struct ParseRow {
    std::vector<std::string> arguments;
    Action action;
    const char* directory;
    const char* error;
};

TEST(CommandLineTest, ArgumentsAndWhatTheyAskFor) {
    const ParseRow rows[] = {
        {{}, Action::Run, "", ""},
        {{"data"}, Action::Run, "data", ""},
        {{"/srv/eop/"}, Action::Run, "/srv/eop/", ""},
        {{"--help"}, Action::Help, "", ""},
        {{"-h"}, Action::Help, "", ""},
        {{"data", "--version"}, Action::Version, "", ""},
        {{"--help", "--bogus"}, Action::Help, "", ""},
        {{"--bogus"}, Action::Error, "", "unknown option --bogus"},
        {{"-x", "data"}, Action::Error, "", "unknown option -x"},
        {{"a", "b"}, Action::Error, "", "more than one directory given (a, b)"},
        {{"--", "-odd-name"}, Action::Run, "-odd-name", ""},
        {{"--", "--help"}, Action::Run, "--help", ""},
        {{"-"}, Action::Run, "-", ""},
        // The toolkit's options and their values are the toolkit's.
        {{"-platform", "offscreen", "data"}, Action::Run, "data", ""},
        {{"--style", "Fusion"}, Action::Run, "", ""},
        {{"-style=Fusion", "-reverse", "data"}, Action::Run, "data", ""},
        {{"-geometry", "900x700+0+0"}, Action::Run, "", ""},
        {{"-platform"}, Action::Error, "", "option -platform needs a value"},
        {{"-reverse=1"}, Action::Error, "", "unknown option -reverse=1"},
    };
    for (const ParseRow& row : rows) {
        std::string trace;
        for (const std::string& a : row.arguments) trace += "[" + a + "]";
        SCOPED_TRACE(trace);
        const CommandLine line = parseCommandLine(row.arguments);
        EXPECT_EQ(line.action, row.action);
        EXPECT_EQ(line.directory, row.directory);
        EXPECT_EQ(line.error, row.error);
    }
}

TEST(CommandLineTest, DirectoryIsMadeAbsoluteAsTheChooserGivesIt) {
    const std::string cwd = std::filesystem::current_path().string();
    const std::pair<std::string, std::string> rows[] = {
        {"/srv/eop", "/srv/eop"}, {"/srv/eop/", "/srv/eop"},  {"/srv/./x/../eop//", "/srv/eop"},   {"/", "/"},
        {"data", cwd + "/data"},  {"./data/", cwd + "/data"}, {"Данные ПВЗ", cwd + "/Данные ПВЗ"},
    };
    for (const auto& [given, absolute] : rows) {
        SCOPED_TRACE(given);
        EXPECT_EQ(absoluteDirectory(given), absolute);
        EXPECT_EQ(dataDirectoryFor(absoluteDirectory(given)), absolute + "/");
    }
}

// A form, not maximised and with its pass loop run by the test, that reads the directory given
// as the command line hands it on.
FormOptions givenDirectory(const std::string& directory) {
    FormOptions o;
    o.maximise = false;
    o.cycle = FormOptions::Cycle::External;
    o.dataDirectory = dataDirectoryFor(absoluteDirectory(directory));
    return o;
}

// The directory given is where Start reads the files; the current directory holds none.
TEST_F(ViewerTest, GivenDirectoryIsTheDataDirectory) {
    pvz::test::TempDirectory empty;
    std::filesystem::current_path(empty.path());
    RecordingDialogs dialogs;
    TForm1 f(givenDirectory(kRealData));
    f.show();
    f.BitBtnStartClick(*f.BitBtnStart);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.chooserStarts.empty());
    EXPECT_EQ(f.store.dataDirectory, kRealData + "/");
    for (int slot = 1; slot <= kSeriesSlotCount; ++slot) EXPECT_TRUE(f.store.slotLoaded[slot]) << slot;
    EXPECT_EQ(f.StatusBar1->simpleText(), "  Ready");
}

// A directory given that does not exist opens the chooser, titled with what to choose, at the
// nearest directory above it that exists; an existing one without the files, at the current
// directory as before.
TEST_F(ViewerTest, ChooserOpensAboveAMissingGivenDirectory) {
    pvz::test::TempDirectory given;
    pvz::test::TempDirectory current;
    std::filesystem::current_path(current.path());
    const std::pair<std::string, std::string> rows[] = {
        {given.path() + "/missing/deeper", given.path()},
        {given.path(), current.path()},
    };
    for (const auto& [directory, start] : rows) {
        SCOPED_TRACE(directory);
        RecordingDialogs dialogs;
        dialogs.answers.push_back({true, kRealData});
        TForm1 f(givenDirectory(directory));
        f.show();
        f.BitBtnStartClick(*f.BitBtnStart);
        EXPECT_EQ(dialogs.chooserStarts, std::vector<std::string>{start});
        EXPECT_EQ(dialogs.chooserTitles, std::vector<std::string>{"Выберите папку с файлами данных ПВЗ"});
        EXPECT_EQ(f.store.dataDirectory, kRealData + "/");
    }
}

// The window's icon is the program's own, built into it: it is there before installation.
TEST(ProgramIcon, BuiltInAndReadable) {
    EXPECT_TRUE(setProgramIcon(kProgramIcon));
    EXPECT_FALSE(setProgramIcon(":/no-such-icon.svg"));
}

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the real program with no display and no platform chosen: an answer other than the one
// for a missing display proves that no window was opened.
ProgramRun runViewer(const std::string& arguments, const std::string& program = PVZ_VIEWER) {
    pvz::test::TempDirectory scratch;
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + program + " " + arguments +
                                " >" + scratch.pathOf("out") + " 2>" + scratch.pathOf("err") + " </dev/null";
    ProgramRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    const auto slurp = [](const std::string& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    };
    run.out = slurp(scratch.pathOf("out"));
    run.err = slurp(scratch.pathOf("err"));
    return run;
}

TEST(CommandLineTest, ProgramAnswersWithoutOpeningAWindow) {
    const ProgramRun help = runViewer("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, usageText("pvz-viewer"));
    EXPECT_EQ(help.err, "");

    const ProgramRun version = runViewer("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, versionText("pvz-viewer"));
    EXPECT_NE(version.out.find(' '), std::string::npos);

    const std::pair<const char*, const char*> wrong[] = {
        {"--bogus", "pvz-viewer: unknown option --bogus (see pvz-viewer --help)\n"},
        {"one two", "pvz-viewer: more than one directory given (one, two) (see pvz-viewer --help)\n"},
    };
    for (const auto& [arguments, message] : wrong) {
        SCOPED_TRACE(arguments);
        const ProgramRun run = runViewer(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, message);
    }

    // The tools answer --help with their usage.
    for (const auto& [program, name] :
         {std::pair{PVZ_SNAPSHOT, "pvz-snapshot"}, {PVZ_SAMPLE_DATA, "pvz-sample-data"}}) {
        SCOPED_TRACE(name);
        const ProgramRun run = runViewer("--help", program);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out.rfind(std::string("Usage: ") + name + " ", 0), 0u) << run.out;
        EXPECT_EQ(run.err, "");
    }
}

// With no display to reach, or no plugin for the one named, the program says so in one line
// and ends with status 1 instead of being aborted by the toolkit.
TEST(CommandLineTest, NoDisplayIsOneLineAndStatusOne) {
    const char* const line =
        "pvz-viewer: cannot open a window: no X11 or Wayland display is reachable, or there is no platform plugin "
        "for it\n";
    for (const char* arguments : {"", "/nonexistent/data", "-platform no-such-plugin"}) {
        SCOPED_TRACE(arguments);
        const ProgramRun run = runViewer(arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, line);
    }
}

}  // namespace
}  // namespace pvz::testing
