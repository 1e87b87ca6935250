#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "chart/axis_steps.h"
#include "runtime/calendar.h"

namespace pvz {
namespace {

std::string show(double x) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", x);
    return buffer;
}

double date(int year, int month, int day) {
    return encodeDayNumber(static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month),
                           static_cast<std::uint16_t>(day));
}

TEST(NextNiceStep, RunsOneTwoFiveInEveryDecade) {
    struct Row {
        double step, next;
    };
    const Row rows[] = {
        {0.003, 0.005},   {5, 10},       {10, 20},
        {1, 2},           {1.999, 2},    {2, 5},
        {4.999, 5},       {9.99, 10},    {9.999999999999, 10},
        {0.999999, 1},    {0.1, 0.2},    {0.001, 0.002},
        {0.002, 0.005},   {0.005, 0.01}, {20, 50},
        {50, 100},        {99.9, 100},   {100, 200},
        {1e-12, 2e-12},   {7, 10},       {0.7, 1},
        {123456, 200000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(show(row.step));
        // Exact: a step one unit in the last place too high loses the top label of a range
        // that ends on a multiple of the step.
        EXPECT_EQ(NextNiceStep(row.step), row.next);
    }
}

TEST(NextNiceStep, EveryNiceValueStepsToTheNearestDoubleOfTheNextOne) {
    // The oracle is the correctly rounded reading of the decimal text ("2e-3").
    const auto nearest = [](int digit, int exponent) {
        const std::string text = std::to_string(digit) + "e" + std::to_string(exponent);
        return std::strtod(text.c_str(), nullptr);
    };
    const int digits[] = {1, 2, 5};
    for (int exponent = -22; exponent <= 22; ++exponent) {
        for (int i = 0; i < 3; ++i) {
            const double step = nearest(digits[i], exponent);
            const double next = i < 2 ? nearest(digits[i + 1], exponent) : nearest(1, exponent + 1);
            SCOPED_TRACE(show(step));
            EXPECT_EQ(NextNiceStep(step), next);
            EXPECT_EQ(NextNiceStep(std::nextafter(step, 0.0)), step);
        }
    }
}

TEST(NextNiceStep, EndsAtInfinityPastTheLargestDouble) {
    const double largest = std::numeric_limits<double>::max();
    EXPECT_EQ(NextNiceStep(5e307), 1e308);
    EXPECT_TRUE(std::isinf(NextNiceStep(largest)));
}

TEST(NextNiceStep, AlwaysGrowsAndLandsOnAOneTwoFiveStep) {
    // Both sides of every decade boundary from 1e-12 to 1e9.
    for (int exponent = -12; exponent <= 9; ++exponent) {
        const double decade = std::pow(10.0, exponent);
        for (const double x : {std::nextafter(decade, 0.0), decade, decade * 1.5, decade * 3, decade * 7}) {
            SCOPED_TRACE(show(x));
            const double next = NextNiceStep(x);
            EXPECT_GT(next, x);
            const double mantissa = next / std::pow(10.0, std::floor(std::log10(next) + 1e-9));
            const bool nice = std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 ||
                              std::fabs(mantissa - 5) < 1e-9 || std::fabs(mantissa - 10) < 1e-9;
            EXPECT_TRUE(nice) << show(next);
        }
    }
}

TEST(NextNiceStep, NoStepForNonPositiveOrInfiniteValues) {
    EXPECT_EQ(NextNiceStep(0), 0);
    EXPECT_EQ(NextNiceStep(-3), -3);
    EXPECT_TRUE(std::isinf(NextNiceStep(std::numeric_limits<double>::infinity())));
    EXPECT_TRUE(std::isnan(NextNiceStep(std::numeric_limits<double>::quiet_NaN())));
}

TEST(DateSteps, FindDateStepMatchesWithinOneSecond) {
    struct Row {
        double days;
        int index;
    };
    const Row rows[] = {
        {7, 17},
        {30, 19},
        {365, 24},
        {1, 14},
        {1.0 / 86400, 0},
        {1.0 / 24, 10},
        {0.5, 13},
        {182, 23},
        {7 + 0.5 / 86400, 17},
        {7 - 0.9 / 86400, 17},
        {7 + 1.5 / 86400, kNoDateStep},
        {6.5, kNoDateStep},
        {0, kNoDateStep},
        {400, kNoDateStep},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(show(row.days));
        EXPECT_EQ(FindDateStep(row.days), row.index);
    }
}

TEST(DateSteps, NextDateStepIsTheStepAfterTheLargestReached) {
    struct Row {
        double days, next;
    };
    const Row rows[] = {
        {1.0 / 86400, 5.0 / 86400},
        {1, 2},
        {1.5, 2},
        {3, 7},
        {7, 15},
        {8, 15},
        {15, 30},
        {30, 60},
        {100, 120},
        {182, 365},
        {200, 365},
        {365, 365},
        {900, 365},
        {0.3, 0.5},
        {0.5 / 86400, 1.0 / 86400},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(show(row.days));
        EXPECT_DOUBLE_EQ(NextDateStep(row.days), row.next);
    }
}

TEST(DateSteps, RoundDateToStepFallsOnCalendarBoundaries) {
    struct Row {
        int step;
        double value, rounded;
    };
    const double noon12Jan = date(2017, 1, 12) + 0.5;
    const Row rows[] = {
        {kDateStepOneDay, noon12Jan, date(2017, 1, 12)},
        {kDateStepOneWeek, noon12Jan, date(2017, 1, 12)},
        {kDateStepHalfMonth, noon12Jan, date(2017, 1, 1)},
        {kDateStepHalfMonth, date(2017, 1, 15), date(2017, 1, 15)},
        {kDateStepHalfMonth, date(2017, 1, 31) + 0.9, date(2017, 1, 15)},
        {kDateStepOneMonth, noon12Jan, date(2017, 1, 1)},
        {20, date(2016, 2, 29), date(2016, 2, 1)},
        {23, date(2016, 12, 31), date(2016, 12, 1)},
        {kDateStepOneYear, date(2016, 12, 31), date(2016, 1, 1)},
        {kNoDateStep, noon12Jan, date(2017, 1, 12)},
        // Within half a millisecond of midnight the date is already the next day's.
        {kDateStepOneDay, date(2017, 1, 12) + 1 - 0.0004 / 86400, date(2017, 1, 13)},
        // Day numbers up to 1 January 1900 stay as they are.
        {kDateStepOneMonth, 2.0, 2.0},
        {kDateStepOneMonth, 1.5, 1.5},
        {kDateStepOneMonth, -10.25, -10.25},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.step) + " " + show(row.value));
        EXPECT_EQ(RoundDateToStep(row.step, row.value), row.rounded);
    }
}

TEST(DateSteps, StepBackDateGoesToThePreviousCalendarLabel) {
    struct Row {
        int step;
        double value, previous;
    };
    const Row rows[] = {
        {kDateStepHalfMonth, date(2017, 3, 20), date(2017, 3, 15)},
        {kDateStepHalfMonth, date(2017, 3, 15), date(2017, 3, 1)},
        {kDateStepHalfMonth, date(2017, 3, 2), date(2017, 3, 1)},
        {kDateStepHalfMonth, date(2017, 3, 1), date(2017, 2, 15)},
        {kDateStepHalfMonth, date(2017, 1, 1), date(2016, 12, 15)},
        {kDateStepOneMonth, date(2017, 3, 1), date(2017, 2, 1)},
        {kDateStepOneMonth, date(2017, 1, 1), date(2016, 12, 1)},
        {kDateStepOneMonth, date(2017, 3, 17) + 0.5, date(2017, 2, 1)},
        {20, date(2017, 1, 1), date(2016, 11, 1)},
        {21, date(2017, 2, 1), date(2016, 11, 1)},
        {22, date(2017, 4, 1), date(2016, 12, 1)},
        {23, date(2017, 7, 1), date(2017, 1, 1)},
        {23, date(2017, 3, 1), date(2016, 9, 1)},
        {kDateStepOneYear, date(2017, 1, 1), date(2016, 1, 1)},
        {kDateStepOneYear, date(2017, 5, 9), date(2016, 5, 9)},
        // 29 February has no date a year earlier: the month's last day instead.
        {kDateStepOneYear, date(2016, 2, 29), date(2015, 2, 28)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.step) + " " + show(row.value));
        EXPECT_EQ(StepBackDate(row.step, row.value), row.previous);
    }
}

}  // namespace
}  // namespace pvz
