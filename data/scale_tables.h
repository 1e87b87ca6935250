#pragma once
// The vertical scale tables: five grid steps per unit family with the labels that
// ComboBoxScaleY shows, indexed by its item index.

#include <array>
#include <string_view>

namespace pvz {

inline constexpr int kScaleCount = 5;

// UT1 and UT1R, steps in seconds of time.
inline constexpr std::array<std::string_view, kScaleCount> scaleLabelsUT = {"M: 3 мс", "M: 2 мс", "M: 1 мс",
                                                                            "M: 0,5 мс", "M: 0,25 мс"};
inline constexpr std::array<double, kScaleCount> scaleStepsUT = {0.003, 0.002, 0.001, 0.0005, 0.00025};

// Xp and Yp, steps in seconds of arc; the closing quotation mark is the arc-second sign.
inline constexpr std::array<std::string_view, kScaleCount> scaleLabelsXY = {"M: 0,030\"", "M: 0,020\"", "M: 0,010\"",
                                                                            "M: 0,005\"", "M: 0,0025\""};
inline constexpr std::array<double, kScaleCount> scaleStepsXY = {0.03, 0.02, 0.01, 0.005, 0.0025};

// The table of a chart parameter (1 UT1, 2 UT1R: UT; 3 Xp, 4 Yp: X,Y).
inline constexpr bool usesUtScale(int parameter) { return parameter == 1 || parameter == 2; }

}  // namespace pvz
