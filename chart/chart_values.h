#pragma once
// The value list of a series: a growable list of doubles kept in a chosen order, with lazily
// computed statistics.

#include <span>
#include <string>
#include <vector>

namespace pvz {

enum TChartListOrder { loNone, loAscending, loDescending };

class TChartValueList {
public:
    explicit TChartValueList(std::string name = {}, TChartListOrder order = loNone);

    const std::string& Name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    TChartListOrder Order() const { return order_; }
    // Only the place of later additions follows the order; stored values are not re-sorted.
    void setOrder(TChartListOrder order) { order_ = order; }
    // The values are day numbers.
    bool DateTime() const { return dateTime_; }
    void setDateTime(bool dateTime) { dateTime_ = dateTime; }
    double Multiplier() const { return multiplier_; }
    void setMultiplier(double multiplier) { multiplier_ = multiplier; }

    // The value a series is about to add, visible to its OnBeforeAdd handler.
    double TempValue() const { return tempValue_; }
    void setTempValue(double value) { tempValue_ = value; }

    int count() const { return static_cast<int>(values_.size()); }
    bool empty() const { return values_.empty(); }
    double value(int index) const { return values_[static_cast<std::size_t>(index)]; }
    double operator[](int index) const { return value(index); }
    std::span<const double> values() const { return values_; }

    void setValue(int index, double value);
    // Inserts by Order and returns the new value's index. Equal values keep their insertion
    // order; appending in order never scans the list and is inline.
    int addValue(double value) {
        if (!belongsAtEnd(value)) return insertInOrder(value);
        values_.push_back(value);
        statisticsStale_ = true;
        return count() - 1;
    }
    void insertValue(int index, double value) {
        if (index == count()) {
            values_.push_back(value);
            statisticsStale_ = true;
        } else {
            insertBefore(index, value);
        }
    }
    void deleteValue(int index);
    // Empties the list and keeps its capacity.
    void clearValues();

    // Statistics over all values, 0 for an empty list; recomputed in one pass after a change.
    double minValue() const;
    double maxValue() const;
    double total() const;
    double totalAbs() const;

private:
    bool belongsAtEnd(double value) const {
        if (order_ == loNone || values_.empty()) return true;
        return order_ == loAscending ? !(value < values_.back()) : !(value > values_.back());
    }
    int insertInOrder(double value);
    void insertBefore(int index, double value);
    void refreshStatistics() const;

    std::string name_;
    TChartListOrder order_;
    bool dateTime_ = false;
    double multiplier_ = 1.0;
    double tempValue_ = 0.0;
    std::vector<double> values_;

    mutable bool statisticsStale_ = false;
    mutable double min_ = 0.0;
    mutable double max_ = 0.0;
    mutable double total_ = 0.0;
    mutable double totalAbs_ = 0.0;
};

}  // namespace pvz
