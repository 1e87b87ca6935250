#include "runtime/calendar.h"

#include <gtest/gtest.h>

TEST(Placeholder, Builds) { EXPECT_EQ(pvz::encodeDayNumber(2017, 1, 12), 42747.0); }
