#pragma once
// The Observation store: every value read from the data files, by source slot, and the series
// work arrays that each rebuild refills. Arrays are indexed from 1 by slot, row and point, as
// the rest of the viewer counts them; chart series indices count from 0.

#include <array>
#include <cassert>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pvz {

inline constexpr int kSlotCount = 14;        // slots 12 to 14 are placeholders that never load
inline constexpr int kSeriesSlotCount = 11;  // slots with a chart series and a check box
inline constexpr int kRowCount = 1000;       // rows per slot
inline constexpr int kKindCount = 5;
inline constexpr int kPointCount = 500;  // extracted points per slot and rebuild

// Marks an absent value; the first row whose MJD is missingValue ends a slot's data.
inline constexpr double missingValue = 99.0;

// Value kinds of a row; the chart parameter p (1 to 4) reads kind p.
enum ValueKind : int { kindUT1 = 1, kindUT1R = 2, kindXp = 3, kindYp = 4, kindMJD = 5 };

inline constexpr std::size_t kMaxPathText = 255;  // dataDirectory and file names

// A fixed-size array indexed First..Last.
template <typename T, int First, int Last>
class IndexedArray {
public:
    static constexpr int first = First;
    static constexpr int last = Last;

    T& operator[](int i) {
        assert(i >= First && i <= Last);
        return items_[static_cast<std::size_t>(i - First)];
    }
    const T& operator[](int i) const {
        assert(i >= First && i <= Last);
        return items_[static_cast<std::size_t>(i - First)];
    }
    void fill(const T& value) { items_.fill(value); }

private:
    std::array<T, Last - First + 1> items_{};
};

// A row x slot table of doubles, both indexed from 1.
template <int Rows>
class SlotTable {
public:
    SlotTable() : values_(static_cast<std::size_t>(Rows) * kSlotCount, 0.0) {}
    double& operator()(int row, int slot) {
        assert(row >= 1 && row <= Rows && slot >= 1 && slot <= kSlotCount);
        return values_[static_cast<std::size_t>((slot - 1) * Rows + (row - 1))];
    }
    double operator()(int row, int slot) const { return const_cast<SlotTable&>(*this)(row, slot); }
    // Row 1 of a slot; the slot's other rows follow it.
    const double* slotRows(int slot) const { return &const_cast<SlotTable&>(*this)(1, slot); }

private:
    std::vector<double> values_;
};

// Rows 1..1000 x slots 1..14 x kinds 1..5.
class ObservationTable {
public:
    ObservationTable() : values_(static_cast<std::size_t>(kRowCount) * kSlotCount * kKindCount, missingValue) {}
    double& operator()(int row, int slot, int kind) {
        assert(row >= 1 && row <= kRowCount && slot >= 1 && slot <= kSlotCount && kind >= 1 && kind <= kKindCount);
        return values_[(static_cast<std::size_t>(slot - 1) * kRowCount + static_cast<std::size_t>(row - 1)) *
                           kKindCount +
                       static_cast<std::size_t>(kind - 1)];
    }
    double operator()(int row, int slot, int kind) const {
        return const_cast<ObservationTable&>(*this)(row, slot, kind);
    }
    void fill(double value) { values_.assign(values_.size(), value); }

private:
    std::vector<double> values_;
};

// The data file name of a slot ("zt_pvz.dat" ... "mccgps.dat"; two blanks for slots 12 to 14).
std::string_view dataFileNameOf(int slot);

struct ObservationStore {
    ObservationStore();

    ObservationTable observations;
    IndexedArray<std::string, 1, kSlotCount> dataFileNames;
    std::string dataDirectory;  // empty: the process's current directory
    IndexedArray<bool, 1, kSlotCount> slotLoaded;
    bool anyFileFound = false;

    // dataDirectory followed directly by the slot's file name.
    std::string pathOf(int slot) const { return dataDirectory + dataFileNames[slot]; }
};

// Filled by every rebuild: the k-th extracted point of slot s is (seriesX(k, s), seriesY(k, s)).
struct SeriesArrays {
    SlotTable<kPointCount> seriesX;
    SlotTable<kPointCount> seriesY;
    IndexedArray<std::int32_t, 1, kSlotCount> seriesCount;
    IndexedArray<bool, 1, kSlotCount> seriesEmpty;
};

}  // namespace pvz
