// The real program in a folder without data files, with the toolkit's own message box and
// directory chooser: a close request to the main window ends the message-and-chooser loop,
// nothing is written into the user's home, and the toolkit's texts follow the user's language.
// Each case runs in a fresh child process: ending the program changes the whole process, and
// the toolkit settles where its settings live at its first use.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window.h"
#include "runtime/window_system_input.h"
#include "tests/support/fixture_files.h"

namespace pvz::testing {
namespace {

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// Every file and directory below `root`, as paths relative to it.
std::string contentsOf(const std::string& root) {
    std::string list;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        list += std::filesystem::relative(entry.path(), root).string() + "\n";
    return list;
}

// The user at the screen: answers the dialogs as they open (OK to the message, Cancel to the
// chooser) and sends the main window a close request while dialog number `closeAt` is open.
// Prints the buttons of each dialog to standard error.
struct User {
    TForm1& form;
    int closeAt;
    int answered = 0;
    int waited = 0;
    bool closeRequested = false;

    void look() {
        const int shown = input::dialogsShown();
        if (input::openDialogCount() == 0) return;
        if (shown == answered) {
            // An answer that the dialog did not take (its keys kept from it) ends the run.
            if (++waited > 50) form.close();
            return;
        }
        answered = shown;
        waited = 0;
        std::string buttons;
        for (const std::string& text : input::dialogButtonTexts()) buttons += text + ";";
        std::fprintf(stderr, "dialog %d buttons: %s\n", shown, buttons.c_str());
        if (shown == closeAt) {
            closeRequested = true;
            input::requestClose(form);
        } else if (shown > closeAt + 4) {
            // The close request was lost: end the program the way the toolkit always allows.
            form.close();
        } else {
            input::answerDialog(shown % 2 == 1 ? input::DialogAnswer::Accept : input::DialogAnswer::Reject);
        }
    }
};

// Shows the real window in the current (empty) directory, presses Start and plays the user.
// Exits 0 when the close request ended the loop at the dialog it was made in.
[[noreturn]] void runNoDataLoop(int closeAt) {
    FormOptions options;
    options.maximise = false;
    options.cycle = FormOptions::Cycle::External;
    TForm1 form(std::move(options));
    form.show();
    User user{form, closeAt};
    Timer timer(20);
    timer.onTimer = [&user](Timer&) { user.look(); };
    input::click(*form.BitBtnStart);
    const bool ended = user.closeRequested && input::dialogsShown() == closeAt && input::openDialogCount() == 0 &&
                       !form.state.running && Application::instance().terminationRequested();
    std::fprintf(stderr, "ended: %s\n", ended ? "yes" : "no");
    std::fflush(stderr);
    std::_Exit(ended ? 0 : 1);
}

// A fresh home and an empty directory for one run of the program in a child process.
struct FreshSurroundings {
    pvz::test::TempDirectory home;
    pvz::test::TempDirectory data;

    // Runs runNoDataLoop(closeAt) in `data` with HOME at `home` and the variables of `env`
    // set, and expects it to exit with code 0 and `output` on standard error.
    void expectNoDataLoop(int closeAt, const std::vector<std::pair<const char*, std::string>>& env,
                          const std::string& output) {
        const std::filesystem::path cwd = std::filesystem::current_path();
        std::deque<ScopedEnv> scoped;
        scoped.emplace_back("HOME", home.path());
        for (const auto& [name, value] : env) scoped.emplace_back(name, value);
        std::filesystem::current_path(data.path());
        EXPECT_EXIT(runNoDataLoop(closeAt), ::testing::ExitedWithCode(0), output);
        std::filesystem::current_path(cwd);
    }
};

struct CloseCase {
    const char* name;
    int closeAt;  // odd: a message box, even: the chooser
    friend void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }
};

class NoDataLoop : public ::testing::TestWithParam<CloseCase> {};

TEST_P(NoDataLoop, CloseRequestEndsTheLoopAndNothingIsWritten) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    FreshSurroundings run;
    run.expectNoDataLoop(GetParam().closeAt,
                         {{"XDG_CONFIG_HOME", run.home.pathOf(".config")},
                          {"XDG_CACHE_HOME", run.home.pathOf(".cache")},
                          {"XDG_DATA_HOME", run.home.pathOf(".local/share")}},
                         "ended: yes");
    EXPECT_EQ(contentsOf(run.home.path()), "");
    EXPECT_EQ(contentsOf(run.data.path()), "");
}

INSTANTIATE_TEST_SUITE_P(Dialogs, NoDataLoop,
                         ::testing::Values(CloseCase{"FirstMessage", 1}, CloseCase{"FirstChooser", 2},
                                           CloseCase{"SecondMessage", 3}, CloseCase{"SecondChooser", 4}),
                         [](const auto& info) { return std::string(info.param.name); });

// Under a Russian locale the toolkit's buttons read in Russian: the chooser's Choose and Cancel
// (the Russian translation keeps "OK" as it is).
TEST(ToolkitLanguage, DialogButtonsFollowTheLocale) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    FreshSurroundings run;
    run.expectNoDataLoop(2, {{"LC_ALL", "ru_RU.UTF-8"}, {"LANGUAGE", "ru"}}, "dialog 2 buttons: Выбрать;Отмена;\n");
}

}  // namespace
}  // namespace pvz::testing
