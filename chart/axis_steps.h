#pragma once
// Step arithmetic of the axes: the nice numeric steps 1, 2, 5, 10 ... and the table of
// date-time steps with their calendar rounding.

#include <array>

namespace pvz {

inline constexpr double kOneSecond = 1.0 / 86400.0;

// Date-time steps in days, indexed 0 to 24; kNoDateStep (25) stands for none.
inline constexpr int kNoDateStep = 25;
inline constexpr std::array<double, 25> DateStepTable = {
    1.0 / 86400, 5.0 / 86400, 10.0 / 86400, 15.0 / 86400, 30.0 / 86400, 1.0 / 1440, 5.0 / 1440,
    10.0 / 1440, 15.0 / 1440, 30.0 / 1440,  1.0 / 24,     2.0 / 24,     6.0 / 24,   12.0 / 24,
    1.0,         2.0,         3.0,          7.0,          15.0,         30.0,       60.0,
    90.0,        120.0,       182.0,        365.0};
// Indices of the steps that name calendar units.
inline constexpr int kDateStepOneDay = 14;
inline constexpr int kDateStepOneWeek = 17;
inline constexpr int kDateStepHalfMonth = 18;
inline constexpr int kDateStepOneMonth = 19;
inline constexpr int kDateStepOneYear = 24;

// The index of the table step within one second of `days`, searching from the largest;
// kNoDateStep when none is.
int FindDateStep(double days);

// The table step after the largest one that `days` reaches. Below the smallest step the
// answer is the smallest step; from 182 days on it is 365.
double NextDateStep(double days);

// The next step of the 1, 2, 5 sequence of every decade above `step`'s leading digits:
// 1 -> 2, 2 -> 5, 5 -> 10, 0.003 -> 0.005. The result is the double nearest to the nice value
// (0.002 -> exactly the double 0.005) and always larger than `step`; past the largest double it
// is infinity. A step that is not a positive finite number is returned unchanged.
double NextNiceStep(double step);

// The first label of a date-time axis at or below `dayNumber` for step index `dateStep`: the
// day's midnight, moved back to the 1st or the 15th (half months), to the 1st (months) or
// to 1 January (years). Day numbers up to 1 January 1900 are returned unchanged.
double RoundDateToStep(int dateStep, double dayNumber);

// The previous label of a calendar step (indices 18 to 24) from `dayNumber`'s date: the
// 1st or the 15th for half months, 1, 2, 3, 4 or 6 months back on the 1st, or one year back.
double StepBackDate(int dateStep, double dayNumber);

}  // namespace pvz
