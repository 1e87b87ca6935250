// The arithmetic behind the handlers: vertical steps, the composed scale text, the week
// numbers' places and the month view's label sequence.
#include <gtest/gtest.h>

#include <cmath>

#include "app/view_arithmetic.h"
#include "runtime/formatting.h"

namespace pvz {
namespace {

TEST(ComposedScaleText, ThousandthsAndRoundedHundredthsOfTheStep) {
    struct Case {
        double step;
        const char* text;
    };
    const Case cases[] = {
        {0.003, "M: 3.00 мс"},     {0.0005, "M: 0.50 мс"},  {0.00025, "M: 0.25 мс"}, {0.03, "M: 30.00 мс"},
        {0.0025, "M: 2.50 мс"},    {0.00105, "M: 1.05 мс"}, {0.00108, "M: 1.08 мс"},  // hundredths with their zero
        {0.0012, "M: 1.20 мс"},     // 0.2 x 100 in doubles lies just below 20
        {0.0711, "M: 71.10 мс"},    // and .0999... x 100 just below 10
        {0.0019999, "M: 2.00 мс"},  // rounding up to 100 hundredths carries
        {1.5, "M: 500.00 мс"},      // the integer part of the step is lost
        {0.001, "M: 1.00 мс"},     {0.02, "M: 20.00 мс"},
    };
    // The text always uses "." whatever the locale says.
    FormatSettings russian;
    russian.decimalPointChar = ",";
    const ScopedFormatSettings scoped(russian);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        EXPECT_EQ(composedScaleText(c.step), c.text);
    }
}

TEST(VerticalStep, ShiftsKeepTheHeightAndStretchesScaleIt) {
    struct Case {
        VerticalStep step;
        double minimum;
        double maximum;
    };
    // From [0.1, 0.2]: d = 0.004 for the shifts, 0.0015 for stretch and compress.
    const Case cases[] = {
        {VerticalStep::ShiftUp, 0.096, 0.196},
        {VerticalStep::ShiftDown, 0.104, 0.204},
        {VerticalStep::Stretch, 0.1015, 0.1985},
        {VerticalStep::Compress, 0.0985, 0.2015},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.step));
        const auto r = verticalStep(c.step, 0.1, 0.2);
        ASSERT_TRUE(r.has_value());
        EXPECT_NEAR(r->minimum, c.minimum, 1e-15);
        EXPECT_NEAR(r->maximum, c.maximum, 1e-15);
    }
}

TEST(VerticalStep, TenShiftUpStepsLowerTheRangeByFortyPercent) {
    AxisRange r{-0.3, 0.5};
    for (int i = 0; i < 10; ++i) r = *verticalStep(VerticalStep::ShiftUp, r.minimum, r.maximum);
    EXPECT_NEAR(r.minimum, -0.3 - 0.4 * 0.8, 1e-12);
    EXPECT_NEAR(r.maximum, 0.5 - 0.4 * 0.8, 1e-12);
}

TEST(VerticalStep, StretchNarrowsGeometricallyAndNeverEmpties) {
    AxisRange r{0.30, 0.31};
    for (int i = 0; i < 100; ++i) r = *verticalStep(VerticalStep::Stretch, r.minimum, r.maximum);
    EXPECT_NEAR((r.maximum - r.minimum) / 0.01, std::pow(0.97, 100), 1e-9);
    EXPECT_NEAR((r.maximum + r.minimum) / 2, 0.305, 1e-12);
    for (int i = 0; i < 30000; ++i) {
        r = *verticalStep(VerticalStep::Stretch, r.minimum, r.maximum);
        ASSERT_LE(r.minimum, r.maximum) << i;
    }
}

TEST(VerticalStep, CompressThatWouldOverflowMakesNoStep) {
    const double huge = 1.77e308;
    EXPECT_FALSE(verticalStep(VerticalStep::Compress, -huge, huge).has_value());
    EXPECT_FALSE(verticalStep(VerticalStep::ShiftDown, -huge, huge).has_value());
    // Even a stretch keeps a height that no drawing can divide; a narrower range stretches.
    EXPECT_FALSE(verticalStep(VerticalStep::Stretch, -huge, huge).has_value());
    EXPECT_TRUE(verticalStep(VerticalStep::Stretch, -huge / 2, huge / 2).has_value());
}

TEST(VerticalStep, CompressWhoseEndsStayFiniteButWhoseHeightWouldNotMakesNoStep) {
    // 0.89e308 to each side: the next compress step keeps both ends finite, but their
    // difference overflows, and with it every drawing's label arithmetic.
    const double end = 0.89e308;
    ASSERT_TRUE(std::isfinite(end * 1.04));
    EXPECT_FALSE(verticalStep(VerticalStep::Compress, -end, end).has_value());
    // Holding the button on an ordinary range stops at the last range whose height is finite.
    AxisRange r{0.548, 0.58};
    for (int tick = 0; tick < 30000; ++tick) {
        const auto next = verticalStep(VerticalStep::Compress, r.minimum, r.maximum);
        if (!next) break;
        r = *next;
    }
    EXPECT_TRUE(std::isfinite(r.maximum - r.minimum));
    EXPECT_GT(r.maximum - r.minimum, 1e307);
}

TEST(WeekNumbers, FontByScreenWidth) {
    EXPECT_EQ(weekNumberFont(800).offset, 15);
    EXPECT_EQ(weekNumberFont(800).height, 16);
    EXPECT_EQ(weekNumberFont(801).offset, 20);
    EXPECT_EQ(weekNumberFont(801).height, 20);
}

TEST(WeekNumbers, PlacesAndNumbers) {
    struct Case {
        Rect plot;
        std::int32_t currentWeek;
        double shift;
        int x[4];
        std::int64_t week[4];
    };
    const Case cases[] = {
        // W = 801: W div 8 = 100.
        {{40, 60, 840, 600}, 2658, -14.0, {130, 330, 530, 730}, {2653, 2654, 2655, 2656}},
        {{40, 60, 840, 600}, 2184, 0.0, {130, 330, 530, 730}, {2181, 2182, 2183, 2184}},
        {{40, 60, 840, 600}, 2184, 21.0, {130, 330, 530, 730}, {2184, 2185, 2186, 2187}},
        // W = 800: W div 8 = 100 as well; W = 799 gives 99.
        {{0, 0, 799, 10}, 100, -7.0, {90, 290, 490, 690}, {96, 97, 98, 99}},
        {{0, 0, 798, 10}, 100, 0.0, {89, 287, 485, 683}, {97, 98, 99, 100}},
        // A shift of part of a week moves the numbers left by its days at W / 28 pixels a day.
        {{40, 60, 880, 600}, 2184, 3.5, {30, 240, 450, 660}, {2181, 2182, 2183, 2184}},
        {{40, 60, 880, 600}, 2184, -3.5, {240, 450, 660, 870}, {2181, 2182, 2183, 2184}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plot.right);
        SCOPED_TRACE(c.shift);
        const auto spots = weekNumberSpots(c.plot, c.currentWeek, c.shift);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(spots[static_cast<std::size_t>(i)].x, c.x[i]) << i;
            EXPECT_EQ(spots[static_cast<std::size_t>(i)].week, c.week[i]) << i;
        }
    }
}

TEST(MonthLabels, WindowStartFirstThenSevenDaySteps) {
    const double offset = -15018.0;
    const double home = 58035.0;
    struct Case {
        double shift;
        double value;
        double next;
    };
    const double start = home + offset;
    const Case cases[] = {
        {0.0, start - 0.13, start},   // effective minimum just before the window start
        {0.0, start, start + 7},      // at the start: seven days on
        {0.0, start + 2, start + 9},  // two days after the start: not a Monday
        {0.0, start + 9, start + 16},      {0.0, start + 16, start + 23},
        {-14.0, start - 14.2, start - 14},  // the shifted window's start
        {21.0, start, start + 21},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value - start);
        EXPECT_EQ(nextWeekLabel(c.value, c.shift, home, offset), c.next);
    }
}

}  // namespace
}  // namespace pvz
