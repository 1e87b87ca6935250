#include "data/rotation_corrections.h"

#include <array>
#include <bit>

#include "runtime/calendar.h"
#include "runtime/fast_sine.h"

namespace pvz {
namespace {

struct TideTerm {
    long double phase;      // radians
    long double rate;       // radians per day
    long double amplitude;  // seconds of time
};

// Zonal tide terms, summed in this order; t counts days from MJD 51544.5 (2000 January 1, 12 h).
constexpr std::array<TideTerm, 41> tideTerms = {{
    {20.3728789L, 1.11350753L, -0.000002L},    {10.1490894L, 0.916921483L, -0.000004L},
    {12.3314491L, 0.915997261L, -0.000010L},   {15.835023L, 0.886404611L, -0.000005L},
    {18.0173826L, 0.885480389L, -0.000012L},   {5.61123345L, 0.689818564L, -0.000004L},
    {7.79359311L, 0.688894342L, -0.000041L},   {9.97595277L, 0.68797012L, -0.000099L},
    {7.06648895L, 0.684081422L, -0.000002L},   {13.4795266L, 0.65837747L, -0.000008L},
    {15.6618863L, 0.657453248L, -0.000020L},   {12.7524225L, 0.65356455L, -0.000008L},
    {1.93452291L, 0.490459852L, 0.000002L},    {13.860532L, 0.477144944L, 0.000003L},
    {3.25573713L, 0.461791423L, -0.000030L},   {5.43809679L, 0.460867201L, -0.000321L},
    {7.62045645L, 0.45994298L, -0.000776L},    {2.52863298L, 0.456978503L, 0.000002L},
    {4.71099264L, 0.456054281L, -0.000034L},   {6.8933523L, 0.45513006L, 0.000002L},
    {1.38038088L, 0.442741015L, -0.000002L},   {8.21456652L, 0.426461631L, 0.000005L},
    {10.3969262L, 0.425537409L, -0.000073L},   {12.5792858L, 0.424613188L, -0.000005L},
    {4.15685061L, 0.408335445L, -0.000005L},   {-2.60333307L, 0.263356933L, 0.000005L},
    {-0.420973408L, 0.262432711L, 0.000010L},  {8.59557189L, 0.245229106L, 0.000004L},
    {0.900240813L, 0.233764282L, 0.000005L},   {3.08260047L, 0.232840061L, 0.000018L},
    {5.26496013L, 0.231915839L, 0.000044L},    {0.173136659L, 0.228951362L, 0.000053L},
    {2.35549632L, 0.228027141L, -0.000826L},   {4.53785598L, 0.227102919L, 0.000054L},
    {5.19846309L, 0.212768705L, 0.000005L},    {-3.88457925L, 0.210825176L, -0.000006L},
    {5.8590702L, 0.19843449L, 0.000012L},      {8.04142986L, 0.197510269L, -0.000182L},
    {10.2237895L, 0.196586047L, 0.000013L},    {7.3143257L, 0.192697349L, 0.000002L},
    {1.80135429L, 0.180308304L, -0.000009L},
}};

// Seasonal term: the year count is 2000.0 at MJD 51544.03; the turn is this 15-digit decimal,
// not the exact value of two pi.
constexpr long double kSeasonalEpochMjd = 51544.03L;
constexpr long double kYearLength = 365.2422L;
constexpr long double kYearOffset = 2000.0L;
constexpr long double kFullTurn = 6.28318530717959L;

}  // namespace

double tideCorrection(const double& mjd, std::int32_t withSeasonal) {
    const double t = static_cast<double>(static_cast<long double>(mjd) - 51544.5L);
    std::array<long double, tideTerms.size()> sines;
    for (std::size_t i = 0; i < tideTerms.size(); ++i) sines[i] = tideTerms[i].rate * t + tideTerms[i].phase;
    fastSines(sines.data(), sines.data(), sines.size());
    long double sum = 0.0L;
    for (std::size_t i = 0; i < tideTerms.size(); ++i) sum = sum + sines[i] * tideTerms[i].amplitude;
    if (withSeasonal == 1) {
        const long double c = kFullTurn * ((mjd - kSeasonalEpochMjd) / kYearLength + kYearOffset);
        const long double s = 0.022L * fastSine(c) - 0.012L * fastCosine(c) - 0.006L * fastSine(2 * c) +
                              0.007L * fastCosine(2 * c);
        sum = sum - s;
    }
    return static_cast<double>(sum);
}

namespace {

constexpr std::size_t kInitialCacheSize = 4096;

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
