#include "app/statistics_hints.h"

#include "app/main_window.h"
#include "data/scale_tables.h"
#include "runtime/formatting.h"

namespace pvz {
namespace {

// "точка", "точки" or "точек", as the number before it asks.
std::string_view pointsWord(std::int32_t n) {
    const std::int32_t lastTwo = n % 100;
    const std::int32_t last = n % 10;
    if (last == 1 && lastTwo != 11) return "точка";
    if (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14)) return "точки";
    return "точек";
}

}  // namespace

std::string statisticsHint(const SeriesStatistics& statistics, int index, std::string_view title,
                           std::string_view referenceTitle) {
    if (index == 0) return "опорный ряд";
    const DifferenceStatistics& s = statistics.bySeries[static_cast<std::size_t>(index)];
    if (s.count == 0) return std::string("нет общих точек с ").append(referenceTitle);
    // Seconds of time or of arc, shown in thousandths; a mean that rounds to zero has no sign.
    const std::string_view unit = usesUtScale(statistics.parameter) ? "мс" : "мсд";
    std::string text(title);
    text.append(" − ").append(referenceTitle).append(": ");
    text.append(integerToText(s.count)).append(" ").append(pointsWord(s.count));
    text.append(", среднее ").append(formatByPattern("'+'0.000;'−'0.000;0.000", s.mean * 1000.0));
    text.append(" ").append(unit);
    // A single point has no scatter.
    if (s.hasDeviation())
        text.append(", СКО ").append(formatByPattern("0.000", s.deviation * 1000.0)).append(" ").append(unit);
    return text;
}

void TForm1::connectStatisticsHints() {
    for (int tag = 1; tag <= kSeriesSlotCount; ++tag)
        seriesCheckBox(tag).setHintSource([this, tag](Point, Rect&) { return seriesHint(tag - 1); });
    Chart->setHintSource([this](Point at, Rect& area) -> std::string {
        const TCustomChartLegend::Item* item = Chart->Legend().ItemAt(at, &area);
        if (item == nullptr) return {};
        for (int index = 0; index < kSeriesSlotCount; ++index)
            if (item->series == seriesByIndex_[static_cast<std::size_t>(index)]) return seriesHint(index);
        return {};
    });
}

std::string TForm1::seriesHint(int index) const {
    // Nothing is compared before the data are read.
    if (!state.running) return {};
    return statisticsHint(cycle_->statistics(), index, seriesAt(index).Title(), seriesAt(0).Title());
}

}  // namespace pvz
