#include "chart/chart_values.h"

#include <cassert>
#include <cmath>

namespace pvz {

TChartValueList::TChartValueList(std::string name, TChartListOrder order) : name_(std::move(name)), order_(order) {}

void TChartValueList::setValue(int index, double value) {
    assert(index >= 0 && index < count());
    values_[static_cast<std::size_t>(index)] = value;
    statisticsStale_ = true;
}

int TChartValueList::insertInOrder(double value) {
    assert(!belongsAtEnd(value));
    statisticsStale_ = true;
    const bool ascending = order_ == loAscending;
    const auto outOfPlace = [&](double entry) { return ascending ? value < entry : value > entry; };
    // Walk back over the entries the value must precede; it goes after the last one that
    // is not beyond it, so equal values keep their insertion order.
    std::size_t position = values_.size() - 1;
    while (position > 0 && outOfPlace(values_[position - 1])) --position;
    values_.insert(values_.begin() + static_cast<std::ptrdiff_t>(position), value);
    return static_cast<int>(position);
}

void TChartValueList::insertBefore(int index, double value) {
    assert(index >= 0 && index < count());
    values_.insert(values_.begin() + index, value);
    statisticsStale_ = true;
}

void TChartValueList::deleteValue(int index) {
    assert(index >= 0 && index < count());
    values_.erase(values_.begin() + index);
    statisticsStale_ = true;
}

void TChartValueList::clearValues() {
    values_.clear();
    statisticsStale_ = true;
}

void TChartValueList::refreshStatistics() const {
    if (!statisticsStale_) return;
    statisticsStale_ = false;
    if (values_.empty()) {
        min_ = max_ = total_ = totalAbs_ = 0.0;
        return;
    }
    min_ = max_ = total_ = values_.front();
    totalAbs_ = std::fabs(values_.front());
    for (std::size_t i = 1; i < values_.size(); ++i) {
        const double v = values_[i];
        if (v < min_) {
            min_ = v;
        } else if (v > max_) {
            max_ = v;
        }
        total_ += v;
        totalAbs_ += std::fabs(v);
    }
}

double TChartValueList::minValue() const {
    refreshStatistics();
    return min_;
}

double TChartValueList::maxValue() const {
    refreshStatistics();
    return max_;
}

double TChartValueList::total() const {
    refreshStatistics();
    return total_;
}

double TChartValueList::totalAbs() const {
    refreshStatistics();
    return totalAbs_;
}

}  // namespace pvz
