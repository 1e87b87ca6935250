#include "data/viewer_state.h"

#include "runtime/calendar.h"

namespace pvz {

TimeBase timeBaseAt(double now) {
    TimeBase base;
    base.yesterdayDay = now - 1.0;
    base.yesterdayMjd = mjdOf(base.yesterdayDay);
    // The difference is -15018 up to the rounding of the two values; taken whole, it maps every
    // Monday of the week grid onto a midnight of the date axis.
    base.mjdToDayOffset = static_cast<double>(roundToInt64(base.yesterdayDay - base.yesterdayMjd));
    base.baseMjd = base.yesterdayMjd - 750;
    base.currentWeek = static_cast<std::int32_t>(divTrunc64(truncToInt64(base.yesterdayMjd - weekEpochMjd), 7));
    // In integers: both ends are Mondays.
    base.homeStartMjd = static_cast<double>((static_cast<std::int64_t>(base.currentWeek) - 3) * 7 + weekEpochMjd);
    base.homeEndMjd = static_cast<double>(static_cast<std::int64_t>(base.currentWeek) * 7 + weekEndEpochMjd);
    return base;
}

}  // namespace pvz
