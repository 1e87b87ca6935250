#include "tools/lib/snapshot_options.h"

#include <gtest/gtest.h>

#include <charconv>
#include <limits>
#include <random>

#include "runtime/calendar.h"
#include "tools/lib/json_writer.h"

namespace pvz {
namespace {

using K = SnapshotActionKind;

TEST(SnapshotActions, EveryActionWordParses) {
    struct Case {
        const char* text;
        K kind;
        int a;
        int b;
    };
    const Case cases[] = {
        {"start", K::Start, 0, 0},
        {"param=UT1", K::Parameter, 0, 0},
        {"param=UT1R", K::Parameter, 1, 0},
        {"param=Xp", K::Parameter, 2, 0},
        {"param=Yp", K::Parameter, 3, 0},
        {"interval=month", K::Interval, 0, 0},
        {"interval=year", K::Interval, 1, 0},
        {"trend=no", K::Trend, 0, 0},
        {"trend=yes", K::Trend, 1, 0},
        {"grid=6", K::Grid, 6, 0},
        {"scale=4", K::Scale, 4, 0},
        {"choose=on", K::Choose, 1, 0},
        {"choose=off", K::Choose, 0, 0},
        {"series=11:off", K::Series, 11, 0},
        {"series=1:on", K::Series, 1, 1},
        {"visor=on", K::Visor, 1, 0},
        {"back", K::Back, 0, 0},
        {"forward", K::Forward, 0, 0},
        {"hold-back=104", K::HoldBack, 104, 0},
        {"hold-forward=5", K::HoldForward, 5, 0},
        {"up=3", K::Up, 3, 0},
        {"down=2", K::Down, 2, 0},
        {"stretch=100", K::Stretch, 100, 0},
        {"compress=1", K::Compress, 1, 0},
        {"undo", K::Undo, 0, 0},
        {"view=series", K::View, 0, 0},
        {"view=differences", K::View, 1, 0},
        {"mouse=-5,300", K::Mouse, -5, 300},
        {"resize=1024x700", K::Resize, 1024, 700},
        {"grid-text=16", K::GridText, 0, 0},
        {"grid-text=", K::GridText, 0, 0},
        {"wait=500", K::Wait, 500, 0},
        {"key=Ctrl+Left", K::Key, 0, 0},
        {"key-down=Ctrl++", K::KeyDown, 0, 0},
        {"key-up=Ctrl+=", K::KeyUp, 0, 0},
        {"key=Space", K::Key, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto action = parseSnapshotAction(c.text);
        ASSERT_TRUE(action);
        EXPECT_EQ(action->kind, c.kind);
        EXPECT_EQ(action->a, c.a);
        EXPECT_EQ(action->b, c.b);
        if (c.kind == K::Key || c.kind == K::KeyDown || c.kind == K::KeyUp || c.kind == K::GridText) {
            EXPECT_EQ(action->argument, std::string(c.text).substr(std::string(c.text).find('=') + 1));
        }
    }
}

TEST(SnapshotActions, MalformedWordsAreRefused) {
    for (const char* text : {"",
                             "stop",
                             "start=1",
                             "param=ut1",
                             "param=",
                             "interval=week",
                             "view=difference",
                             "grid=",
                             "grid=x",
                             "series=12:on",
                             "series=0:on",
                             "series=3",
                             "series=3:maybe",
                             "hold-back=-1",
                             "hold-back",
                             "up=2.5",
                             "mouse=1",
                             "mouse=1;2",
                             "resize=0x10",
                             "resize=100",
                             "back=2",
                             "visor=yes",
                             "grid-text",
                             "wait=-1",
                             "wait",
                             "key",
                             "key=",
                             "key=Ctrl+Nokey",
                             "key=Ctrl+Left,Ctrl+Right",
                             "key-down"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseSnapshotAction(text));
    }
}

TEST(SnapshotArguments, OptionsAndActionsInOrder) {
    const auto parsed = parseSnapshotArguments(
        {"--data", "/tmp/d", "--now", "2017-02-15 12:00:00", "--size", "1024x700", "--screen-width", "800", "--scale",
         "1.25", "--choose-dir", "/x", "--png", "a.png", "--json", "a.json", "--dump-store", "start", "back"});
    ASSERT_TRUE(std::holds_alternative<SnapshotOptions>(parsed)) << std::get<std::string>(parsed);
    const auto& o = std::get<SnapshotOptions>(parsed);
    EXPECT_EQ(o.dataDirectory, "/tmp/d");
    EXPECT_EQ(o.now, encodeDayNumber(2017, 2, 15) + 0.5);
    EXPECT_EQ(o.width, 1024);
    EXPECT_EQ(o.height, 700);
    EXPECT_EQ(o.screenWidth, 800);
    EXPECT_EQ(o.scale, 1.25);
    EXPECT_EQ(o.directoryAnswer, DirectoryAnswer::Choose);
    EXPECT_EQ(o.chosenDirectory, "/x");
    EXPECT_EQ(o.pngFile, "a.png");
    EXPECT_EQ(o.jsonFile, "a.json");
    EXPECT_TRUE(o.dumpStore);
    ASSERT_EQ(o.actions.size(), 2u);
    EXPECT_EQ(o.actions[1].kind, K::Back);
}

TEST(SnapshotArguments, DefaultsWithOnlyTheRequiredOptions) {
    const auto parsed = parseSnapshotArguments({"--now", "2017-01-12 00:00:00", "--data", "."});
    ASSERT_TRUE(std::holds_alternative<SnapshotOptions>(parsed));
    const auto& o = std::get<SnapshotOptions>(parsed);
    EXPECT_EQ(o.width, 1280);
    EXPECT_EQ(o.height, 800);
    EXPECT_EQ(o.screenWidth, 1920);
    EXPECT_EQ(o.scale, 1.0);
    EXPECT_EQ(o.directoryAnswer, DirectoryAnswer::Cancel);
    EXPECT_TRUE(o.actions.empty());
}

TEST(SnapshotArguments, BadArgumentsAreRefusedWithOneLine) {
    const std::vector<std::vector<std::string>> cases = {
        {"--now", "2017-01-12 00:00:00"},
        {"--data", "."},
        {"--data", ".", "--now", "2017-02-29 00:00:00"},
        {"--data", ".", "--now", "2017-01-12"},
        {"--data", ".", "--now", "2017-01-12 24:00:00"},
        {"--data", ".", "--now", "2017-01-12 00:00:00", "--size", "12"},
        {"--data", ".", "--now", "2017-01-12 00:00:00", "--screen-width", "wide"},
        {"--data", ".", "--now", "2017-01-12 00:00:00", "--scale", "0.5"},
        {"--data", ".", "--now", "2017-01-12 00:00:00", "--scale", "4.01"},
        {"--data", ".", "--now", "2017-01-12 00:00:00", "--scale", "2x"},
        {"--data", ".", "--now", "2017-01-12 00:00:00", "--scale", "nan"},
        {"--data", ".", "--now", "2017-01-12 00:00:00", "--cancel-dir", "--choose-dir", "/x"},
        {"--data", ".", "--now", "2017-01-12 00:00:00", "--verbose"},
        {"--data", ".", "--now", "2017-01-12 00:00:00", "jump"},
        {"--data"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.back());
        const auto parsed = parseSnapshotArguments(args);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
        const auto& message = std::get<std::string>(parsed);
        EXPECT_FALSE(message.empty());
        EXPECT_EQ(message.find('\n'), std::string::npos);
    }
}

TEST(SnapshotArguments, LocalTimeHasMillisecondResolution) {
    EXPECT_EQ(*parseLocalTime("2017-01-12 12:00:00"), 42747.5);
    EXPECT_EQ(*parseLocalTime("2017-01-12 18:00:00"), 42747.75);
    EXPECT_EQ(*parseLocalTime("2017-01-12 00:00:01"), 42747 + 1000.0 / 86400000.0);
}

TEST(JsonNumbers, SeventeenDigitsReadBackBitExact) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> spread(-1e6, 1e6);
    for (int i = 0; i < 20000; ++i) {
        const double x = i % 2 ? spread(random) : spread(random) * 1e-9;
        const std::string text = jsonNumber(x);
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        ASSERT_EQ(back, x) << text;
    }
    EXPECT_EQ(jsonNumber(0.1), "0.10000000000000001");
    EXPECT_EQ(jsonNumber(-15018.0), "-15018");
    EXPECT_EQ(jsonNumber(std::numeric_limits<double>::infinity()), "null");
    EXPECT_EQ(jsonNumber(std::numeric_limits<double>::quiet_NaN()), "null");
}

TEST(JsonWriter, NestingSeparatorsAndEscapes) {
    JsonWriter w;
    w.beginObject();
    w.member("a", 1);
    w.key("b").beginArray();
    w.value(true);
    w.value("x\"y\\z\n\x01");
    w.beginArray();
    w.endArray();
    w.null();
    w.endArray();
    w.member("c", "Старт");
    w.endObject();
    EXPECT_EQ(w.text(), "{\"a\":1,\"b\":[true,\"x\\\"y\\\\z\\n\\u0001\",[],null],\"c\":\"Старт\"}");
}

}  // namespace
}  // namespace pvz
