#pragma once
// The tips of the series' legend rows and check boxes: how far each source lies from the
// reference over the window shown, in milliseconds of time (UT1, UT1R) or of arc (Xp, Yp),
// with the locale's decimal separator.

#include <string>
#include <string_view>

#include "data/series_statistics.h"

namespace pvz {

// The tip of chart series `index` (0 to 10) titled `title`: "опорный ряд" for the reference
// (index 0); for a source with statistics, for example
// "R-ДОР − КВЕЛ: 27 точек, среднее +0,123 мс, СКО 0,045 мс" (without the СКО for a single
// point); for any other source
// "нет общих точек с " followed by the reference's title.
std::string statisticsHint(const SeriesStatistics& statistics, int index, std::string_view title,
                           std::string_view referenceTitle);

}  // namespace pvz
