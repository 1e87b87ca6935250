// Random user actions on the real window with the real data: after each one the viewer's
// invariants hold. The actions are seeded and written as the headless tool's action words, so a
// failing seed prints a list that pvz-snapshot replays.
//
// The suite runs a few short seeds; PVZ_MONKEY_ACTIONS and PVZ_MONKEY_SEED run a longer one,
// for example PVZ_MONKEY_ACTIONS=10000 PVZ_MONKEY_SEED=7.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "runtime/calendar.h"
#include "tools/lib/snapshot_driver.h"

namespace pvz {
namespace {

const std::string kRealData = std::string(PVZ_TEST_DATA_DIR) + "/eop-2017";

// One random action word of the headless tool, Start excepted (a second Start ends the program).
std::string randomAction(std::mt19937& random) {
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    switch (pick(19)) {
        case 0: {
            static constexpr const char* kParameters[] = {"UT1", "UT1R", "Xp", "Yp"};
            return std::string("param=") + kParameters[pick(4)];
        }
        case 1:
            return pick(2) ? "interval=year" : "interval=month";
        case 2:
            return pick(2) ? "trend=yes" : "trend=no";
        case 3:
            return "grid=" + std::to_string(pick(7));
        case 4:
            return "scale=" + std::to_string(pick(5));
        case 5:
            return pick(2) ? "choose=on" : "choose=off";
        case 6:
            return "series=" + std::to_string(1 + pick(11)) + (pick(3) ? ":on" : ":off");
        case 7:
            return pick(2) ? "visor=on" : "visor=off";
        case 8:
            return "back";
        case 9:
            return "forward";
        case 10:
            return "hold-back=" + std::to_string(1 + pick(30));
        case 11:
            return "hold-forward=" + std::to_string(1 + pick(30));
        case 12:
            return "up=" + std::to_string(1 + pick(12));
        case 13:
            return "down=" + std::to_string(1 + pick(12));
        case 14:
            return "stretch=" + std::to_string(1 + pick(12));
        case 15:
            return "compress=" + std::to_string(1 + pick(12));
        case 16:
            return "undo";
        case 17:
            return "mouse=" + std::to_string(pick(2000) - 40) + "," + std::to_string(pick(1200) - 40);
        default:
            // Down to 50 x 50 and back up to the full screen.
            if (pick(4) == 0) return "resize=50x50";
            return "resize=" + std::to_string(50 + pick(1871)) + "x" + std::to_string(50 + pick(1031));
    }
}

// The first invariant that does not hold, or an empty text.
std::string brokenInvariant(SnapshotDriver& driver) {
    TForm1& f = driver.form();
    const ViewerState& s = f.state;
    std::ostringstream why;
    if (!driver.messages().empty()) {
        why << "the error display showed \"" << driver.messages().back() << "\"";
        return why.str();
    }
    if (std::fmod(s.timeShiftDays, 7.0) != 0.0)
        why << "timeShiftDays " << s.timeShiftDays << " is no whole week";
    else if (s.timeShiftDays > 21.0)
        why << "timeShiftDays " << s.timeShiftDays << " beyond the forward limit";
    else if (s.windowStartMjd < s.baseMjd)
        why << "the window starts at " << s.windowStartMjd << " before the store";
    if (!why.str().empty()) return why.str();

    for (const TCustomChartAxis* axis : f.Chart->AxesList()) {
        if (axis->Minimum() > axis->Maximum()) {
            why << "an axis has Minimum " << axis->Minimum() << " above Maximum " << axis->Maximum();
            return why.str();
        }
    }
    const double first = s.windowStartMjd + s.mjdToDayOffset;
    const double last = s.windowEndMjd + s.mjdToDayOffset;
    for (int i = 0; i < kSeriesSlotCount; ++i) {
        const TLineSeries& series = f.seriesAt(i);
        for (int k = 0; k < series.Count(); ++k) {
            const double x = series.XValues()[k];
            if (x < first || x > last) {
                why << "series " << i << " has a point at " << x << " outside the window " << first << " to " << last;
                return why.str();
            }
        }
    }
    const Rect legend = f.Chart->Legend().LegendRect();
    if (f.Chart->Legend().Visible() && legend.bottom > legend.top) {
        for (int tag = 1; tag <= kSeriesSlotCount; ++tag) {
            const CheckBox& box = f.seriesCheckBox(tag);
            if (box.left() + box.width() != legend.left || box.top() < legend.top || box.top() >= legend.bottom) {
                why << "check box " << tag << " at (" << box.left() << ", " << box.top()
                    << ") does not follow the legend (" << legend.left << ", " << legend.top << " to " << legend.bottom
                    << ")";
                return why.str();
            }
        }
    }
    return {};
}

// Plays `count` random actions after Start; on the first broken invariant the test fails with
// the seed and the action list so far.
void playMonkey(unsigned seed, int count) {
    SnapshotOptions options;
    options.dataDirectory = kRealData;
    options.now = *parseLocalTime("2017-11-01 12:00:00");
    options.screenWidth = 1920;
    options.width = 1280;
    options.height = 800;
    SnapshotDriver driver(options);
    std::vector<std::string> played = {"start"};
    driver.apply(*parseSnapshotAction("start"));
    std::mt19937 random(seed);
    for (int i = 0; i <= count; ++i) {
        const std::string broken = brokenInvariant(driver);
        if (!broken.empty() || driver.ended()) {
            std::ostringstream list;
            for (const std::string& word : played) list << ' ' << word;
            FAIL() << "seed " << seed << ", after action " << i << ": "
                   << (broken.empty() ? "the program ended" : broken) << "\nactions:" << list.str();
        }
        if (i == count) break;
        played.push_back(randomAction(random));
        const std::optional<SnapshotAction> action = parseSnapshotAction(played.back());
        ASSERT_TRUE(action) << played.back();
        driver.apply(*action);
    }
}

class Monkey : public ::testing::TestWithParam<unsigned> {
protected:
    void TearDown() override { std::filesystem::current_path(cwd_); }

private:
    std::filesystem::path cwd_ = std::filesystem::current_path();
};

TEST_P(Monkey, InvariantsHoldAfterEveryAction) { playMonkey(GetParam(), 400); }

INSTANTIATE_TEST_SUITE_P(Seeds, Monkey, ::testing::Values(1u, 2u, 3u));

TEST(MonkeyLongRun, ChosenSeed) {
    const char* actions = std::getenv("PVZ_MONKEY_ACTIONS");
    if (actions == nullptr) GTEST_SKIP() << "set PVZ_MONKEY_ACTIONS (and PVZ_MONKEY_SEED) for a long run";
    const char* seed = std::getenv("PVZ_MONKEY_SEED");
    const std::filesystem::path cwd = std::filesystem::current_path();
    playMonkey(seed != nullptr ? static_cast<unsigned>(std::strtoul(seed, nullptr, 10)) : 1u, std::atoi(actions));
    std::filesystem::current_path(cwd);
}

}  // namespace
}  // namespace pvz
