#include "data/viewer_state.h"

#include <gtest/gtest.h>

#include "runtime/calendar.h"

namespace pvz {
namespace {

TEST(TimeBase, MidFebruary2017AtNoon) {
    ViewerState state;
    state.fixTimeBase(encodeDayNumber(2017, 2, 15) + 0.5);
    EXPECT_EQ(state.yesterdayDay, encodeDayNumber(2017, 2, 14) + 0.5);
    EXPECT_NEAR(state.yesterdayMjd, 57798.5, 1e-9);
    EXPECT_EQ(state.mjdToDayOffset, -15018.0);
    EXPECT_NEAR(state.baseMjd, 57048.5, 1e-9);
    EXPECT_EQ(state.currentWeek, 2147);
    EXPECT_EQ(state.homeStartMjd, 57776.0);  // Monday, 23 January 2017
    EXPECT_EQ(state.homeEndMjd, 57804.0);    // Monday, 20 February 2017
}

TEST(TimeBase, CurrentWeekHoldsYesterdayWhateverTheWeekday) {
    // 13 February 2017 is a Monday (MJD 57797). Yesterday Sunday 12th: the week from Monday 6th.
    EXPECT_EQ(timeBaseAt(encodeDayNumber(2017, 2, 13) + 0.5).currentWeek, 2146);
    // Yesterday Monday 13th: that Monday's week.
    EXPECT_EQ(timeBaseAt(encodeDayNumber(2017, 2, 14) + 0.0001).currentWeek, 2147);
    EXPECT_EQ(timeBaseAt(encodeDayNumber(2017, 2, 14) - 0.0001).currentWeek, 2146);
}

TEST(TimeBase, UnshiftedWindowIsFourWholeWeeksEndingAfterYesterday) {
    for (double now = encodeDayNumber(1990, 1, 1); now < encodeDayNumber(2080, 1, 1); now += 0.731) {
        const TimeBase base = timeBaseAt(now);
        ASSERT_EQ(base.homeEndMjd - base.homeStartMjd, 28.0) << now;
        ASSERT_EQ(static_cast<std::int64_t>(base.homeStartMjd - weekEpochMjd) % 7, 0) << now;
        ASSERT_LT(base.yesterdayMjd, base.homeEndMjd) << now;
        ASSERT_GE(base.yesterdayMjd, base.homeEndMjd - 7) << now;
        ASSERT_NEAR(base.baseMjd, base.yesterdayMjd - 750, 1e-9);
        ASSERT_EQ(base.mjdToDayOffset, -15018.0) << now;
    }
}

}  // namespace
}  // namespace pvz
