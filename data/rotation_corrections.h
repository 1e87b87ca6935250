#pragma once
// UT1R: the correction for the zonal Earth tides, with the conventional seasonal variation.

#include <cstdint>

namespace pvz {

// The tide correction in seconds at the epoch `mjd`: the 41-term zonal tide sum, minus the
// seasonal term when withSeasonal is exactly 1. The stored UT1R is UT1 - tideCorrection(mjd, 1).
double tideCorrection(const double& mjd, std::int32_t withSeasonal);

}  // namespace pvz
