#pragma once
// UT1R: the correction for the zonal Earth tides, with the conventional seasonal variation.

#include <cstdint>
#include <vector>

namespace pvz {

// The tide correction in seconds at the epoch `mjd`: the 41-term zonal tide sum, minus the
// seasonal term when withSeasonal is exactly 1. The stored UT1R is UT1 - tideCorrection(mjd, 1).
double tideCorrection(const double& mjd, std::int32_t withSeasonal);

// tideCorrection(mjd, 1) remembered by the exact bits of the epoch, for the span of one load:
// records of different sources often share an epoch, and each distinct one is computed once.
class TideCorrectionCache {
public:
    TideCorrectionCache();

    // The very value tideCorrection(mjd, 1) returns; no allocation unless the table grows.
    double correction(double mjd);

private:
    struct Entry {
        std::uint64_t epochBits = 0;
        double value = 0.0;
        bool used = false;
    };

    Entry& slotFor(std::uint64_t epochBits);
    void grow();

    std::vector<Entry> entries_;  // open addressing, linear probing; the size is a power of two
    std::size_t usedCount_ = 0;   // kept at most half the size
};

}  // namespace pvz
