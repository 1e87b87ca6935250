#include "data/rotation_corrections.h"

#include <array>
#include <bit>

#include "runtime/calendar.h"
#include "runtime/fast_sine.h"

namespace pvz {
namespace {

struct TideTerm {
    double phase;      // radians
    double rate;       // radians per day
    double amplitude;  // seconds of time
};

// Zonal tide terms, summed in this order; t counts days from MJD 51544.5 (2000 January 1, 12 h).
constexpr std::array<TideTerm, 41> tideTerms = {{
    {20.3728789, 1.11350753, -0.000002},  {10.1490894, 0.916921483, -0.000004}, {12.3314491, 0.915997261, -0.000010},
    {15.835023, 0.886404611, -0.000005},  {18.0173826, 0.885480389, -0.000012}, {5.61123345, 0.689818564, -0.000004},
    {7.79359311, 0.688894342, -0.000041}, {9.97595277, 0.68797012, -0.000099},  {7.06648895, 0.684081422, -0.000002},
    {13.4795266, 0.65837747, -0.000008},  {15.6618863, 0.657453248, -0.000020}, {12.7524225, 0.65356455, -0.000008},
    {1.93452291, 0.490459852, 0.000002},  {13.860532, 0.477144944, 0.000003},   {3.25573713, 0.461791423, -0.000030},
    {5.43809679, 0.460867201, -0.000321}, {7.62045645, 0.45994298, -0.000776},  {2.52863298, 0.456978503, 0.000002},
    {4.71099264, 0.456054281, -0.000034}, {6.8933523, 0.45513006, 0.000002},    {1.38038088, 0.442741015, -0.000002},
    {8.21456652, 0.426461631, 0.000005},  {10.3969262, 0.425537409, -0.000073}, {12.5792858, 0.424613188, -0.000005},
    {4.15685061, 0.408335445, -0.000005}, {-2.60333307, 0.263356933, 0.000005}, {-0.420973408, 0.262432711, 0.000010},
    {8.59557189, 0.245229106, 0.000004},  {0.900240813, 0.233764282, 0.000005}, {3.08260047, 0.232840061, 0.000018},
    {5.26496013, 0.231915839, 0.000044},  {0.173136659, 0.228951362, 0.000053}, {2.35549632, 0.228027141, -0.000826},
    {4.53785598, 0.227102919, 0.000054},  {5.19846309, 0.212768705, 0.000005},  {-3.88457925, 0.210825176, -0.000006},
    {5.8590702, 0.19843449, 0.000012},    {8.04142986, 0.197510269, -0.000182}, {10.2237895, 0.196586047, 0.000013},
    {7.3143257, 0.192697349, 0.000002},   {1.80135429, 0.180308304, -0.000009},
}};

// The rates and phases side by side, as the batch of sines takes them.
template <double TideTerm::*Member>
constexpr std::array<double, tideTerms.size()> column() {
    std::array<double, tideTerms.size()> values{};
    for (std::size_t i = 0; i < tideTerms.size(); ++i) values[i] = tideTerms[i].*Member;
    return values;
}
constexpr std::array<double, tideTerms.size()> tideRates = column<&TideTerm::rate>();
constexpr std::array<double, tideTerms.size()> tidePhases = column<&TideTerm::phase>();

// Seasonal term: the year count is 2000.0 at MJD 51544.03; the turn is this 15-digit decimal,
// not the exact value of two pi.
constexpr long double kSeasonalEpochMjd = 51544.03L;
constexpr long double kYearLength = 365.2422L;
constexpr long double kYearOffset = 2000.0L;
constexpr long double kFullTurn = 6.28318530717959L;

}  // namespace

double tideCorrection(const double& mjd, std::int32_t withSeasonal) {
    const double t = static_cast<double>(static_cast<long double>(mjd) - 51544.5L);
    // Each argument rate x t + phase in extended precision, its sine in double precision: a term
    // then errs by less than 1e-19 s, below half a unit in the last place of the sum of the
    // largest terms; the sum itself is kept in extended precision.
    std::array<double, tideTerms.size()> sines;
    fastSinesOfLinear(tideRates.data(), tidePhases.data(), t, sines.data(), sines.size());
    long double sum = 0.0L;
    for (std::size_t i = 0; i < tideTerms.size(); ++i)
        sum = sum + sines[i] * static_cast<long double>(tideTerms[i].amplitude);
    if (withSeasonal == 1) {
        const long double c = kFullTurn * ((mjd - kSeasonalEpochMjd) / kYearLength + kYearOffset);
        long double sinC;
        long double cosC;
        fastSineCosine(c, sinC, cosC);
        // The double angle from the single one, in extended precision.
        const long double sin2C = 2 * sinC * cosC;
        const long double cos2C = (cosC - sinC) * (cosC + sinC);
        const long double s = 0.022L * sinC - 0.012L * cosC - 0.006L * sin2C + 0.007L * cos2C;
        sum = sum - s;
    }
    return static_cast<double>(sum);
}

namespace {

constexpr std::size_t kInitialCacheSize = 1024;  // grows with the epochs; a sweep of eleven files needs 8192

std::size_t hashOfBits(std::uint64_t bits) {
    // Fibonacci hashing: epochs that differ only in low bits or only in the exponent still spread.
    return static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ull) >> 32);
}

}  // namespace

TideCorrectionCache::TideCorrectionCache() : entries_(kInitialCacheSize) {}

TideCorrectionCache::Entry& TideCorrectionCache::slotFor(std::uint64_t epochBits) {
    const std::size_t mask = entries_.size() - 1;
    for (std::size_t i = hashOfBits(epochBits) & mask;; i = (i + 1) & mask) {
        Entry& entry = entries_[i];
        if (!entry.used || entry.epochBits == epochBits) return entry;
    }
}

void TideCorrectionCache::grow() {
    std::vector<Entry> old(entries_.size() * 2);
    old.swap(entries_);
    for (const Entry& entry : old)
        if (entry.used) slotFor(entry.epochBits) = entry;
}

double TideCorrectionCache::correction(double mjd) {
    const auto epochBits = std::bit_cast<std::uint64_t>(mjd);
    Entry& entry = slotFor(epochBits);
    if (entry.used) return entry.value;
    // Computed before the entry is taken, so that an error leaves the table as it was.
    const double value = tideCorrection(mjd, 1);
    entry = {epochBits, value, true};
    if (++usedCount_ * 2 > entries_.size()) grow();
    return value;
}

}  // namespace pvz
