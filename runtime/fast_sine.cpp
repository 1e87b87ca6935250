#include "runtime/fast_sine.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "runtime/calendar.h"

namespace pvz {
namespace {

// pi/2 in three parts: the first two have 44 significant bits, so that k times either is exact
// in a 64-bit significand for |k| < 2^20.
constexpr long double kHalfPi1 = 0x1.921fb54442cp+0L;
constexpr long double kHalfPi2 = 0x1.18469898cc4p-44L;
constexpr long double kHalfPi3 = 0x1.1701b839a252049cp-88L;
constexpr long double kTwoOverPi = 0x1.45f306dc9c882a52p-1L;
constexpr long double kFastLimit = 0x1p19L;

// 1/n! for n = 0 to 23, each rounded once.
constexpr std::array<long double, 24> kInverseFactorials = [] {
    std::array<long double, 24> inverse{};
    long double factorial = 1.0L;  // exact up to 25!: its odd part fits 64 bits
    for (int n = 0; n < 24; ++n) {
        if (n > 0) factorial *= n;
        inverse[static_cast<std::size_t>(n)] = 1.0L / factorial;
    }
    return inverse;
}();

// For |r| <= pi/4 the first omitted terms, r^23/23! and r^24/24!, lie below 2^-80.
long double taylorSine(long double r) {
    const long double z = r * r;
    long double sum = kInverseFactorials[21];
    for (int n = 19; n >= 1; n -= 2) sum = sum * -z + kInverseFactorials[static_cast<std::size_t>(n)];
    return r * sum;
}

long double taylorCosine(long double r) {
    const long double z = r * r;
    long double sum = kInverseFactorials[22];
    for (int n = 20; n >= 0; n -= 2) sum = sum * -z + kInverseFactorials[static_cast<std::size_t>(n)];
    return sum;
}

// x = k pi/2 + r with |r| about pi/4 at most.
struct QuarterTurns {
    std::int64_t k;
    long double r;
};

QuarterTurns reducedByHalfPi(long double x) {
    // llrint rounds without touching the floating-point environment; |k| < 2^19.
    const std::int64_t k = std::llrint(x * kTwoOverPi);
    const auto kk = static_cast<long double>(k);
    return {k, ((x - kk * kHalfPi1) - kk * kHalfPi2) - kk * kHalfPi3};
}

// sin(r + quadrant pi/2) from sin r and cos r (the one the quadrant needs is evaluated).
template <typename Sine, typename Cosine>
long double inQuadrant(std::int64_t quadrant, Sine&& sineOfR, Cosine&& cosineOfR) {
    const long double value = quadrant & 1 ? cosineOfR() : sineOfR();
    return quadrant & 2 ? -value : value;
}

// sin x when quadrantShift is 0, cos x when it is 1.
long double periodic(long double x, int quadrantShift) {
    const QuarterTurns turns = reducedByHalfPi(x);
    return inQuadrant((turns.k + quadrantShift) & 3, [&] { return taylorSine(turns.r); },
                      [&] { return taylorCosine(turns.r); });
}

// pi in three parts, the doubles of the parts of pi/2 (exactly), for the reduction by pi.
constexpr long double kPi1 = 2 * kHalfPi1;
constexpr long double kPi2 = 2 * kHalfPi2;
constexpr long double kPi3 = 2 * kHalfPi3;
constexpr long double kOneOverPi = kTwoOverPi / 2;
// Adding this rounds any value below 2^62 in magnitude to an integer, to nearest with ties to
// even, and leaves the parity of that integer in the lowest bit of the significand.
constexpr long double kRoundingShift = 0x1.8p63L;
static_assert(std::numeric_limits<long double>::digits == 64, "the reduction needs the x87 format");

// sin r = r (1 - r^2/3! + r^4/5! - ... - r^22/23!) for |r| up to a little over pi/2: the first
// omitted term, r^25/25!, stays below 1e-20. Coefficients from the inner one out.
constexpr std::array<double, 12> kSineSeries = [] {
    std::array<double, 12> series{};
    for (std::size_t i = 0; i < series.size(); ++i) {
        const long double inverse = kInverseFactorials[23 - 2 * i];
        series[i] = static_cast<double>(i % 2 == 0 ? -inverse : inverse);
    }
    return series;
}();

// Two doubles processed as one; the operations are those of two scalars, lane by lane.
using DoublePair = double __attribute__((vector_size(16)));

}  // namespace

void fastSinesOfLinear(const double* rate, const double* phase, double t, double* out, std::size_t count) {
    // The argument and its reduction in extended precision: x - k pi loses as many bits as k pi
    // has before the point, which a double could not spare for arguments of thousands of radians.
    bool anyFar = false;
    for (std::size_t i = 0; i < count; ++i) {
        const long double x = static_cast<long double>(rate[i]) * t + phase[i];
        anyFar = anyFar || !(std::fabs(x) < kFastLimit);
        const long double shifted = x * kOneOverPi + kRoundingShift;
        const long double k = shifted - kRoundingShift;
        const long double r = ((x - k * kPi1) - k * kPi2) - k * kPi3;
        std::uint64_t significand;
        std::memcpy(&significand, &shifted, sizeof significand);
        // sin(r + k pi) = (-1)^k sin r, and the series is odd: an odd k flips the sign of r,
        // without a branch that the random parity would mispredict half the time.
        const auto bits = std::bit_cast<std::uint64_t>(static_cast<double>(r)) ^ (significand << 63);
        out[i] = std::bit_cast<double>(bits);
    }
    std::size_t i = 0;
    for (; i + 2 <= count; i += 2) {
        DoublePair r;
        std::memcpy(&r, out + i, sizeof r);
        const DoublePair z = r * r;
        DoublePair sum = {kSineSeries[0], kSineSeries[0]};
        for (std::size_t n = 1; n < kSineSeries.size(); ++n) sum = sum * z + kSineSeries[n];
        sum = r * sum;
        std::memcpy(out + i, &sum, sizeof sum);
    }
    for (; i < count; ++i) {
        const double r = out[i];
        const double z = r * r;
        double sum = kSineSeries[0];
        for (std::size_t n = 1; n < kSineSeries.size(); ++n) sum = sum * z + kSineSeries[n];
        out[i] = r * sum;
    }
    // Far arguments, and infinities and NaNs, take the careful path.
    if (!anyFar) return;
    for (std::size_t j = 0; j < count; ++j) {
        const long double x = static_cast<long double>(rate[j]) * t + phase[j];
        if (!(std::fabs(x) < kFastLimit)) out[j] = static_cast<double>(fastSine(x));
    }
}

long double fastSine(long double x) {
    if (!(std::fabs(x) < kFastLimit)) return sine(x);
    return periodic(x, 0);
}

long double fastCosine(long double x) {
    if (!(std::fabs(x) < kFastLimit)) return cosine(x);
    return periodic(x, 1);
}

void fastSineCosine(long double x, long double& sine, long double& cosine) {
    if (!(std::fabs(x) < kFastLimit)) {
        sine = pvz::sine(x);
        cosine = pvz::cosine(x);
        return;
    }
    const QuarterTurns turns = reducedByHalfPi(x);
    const long double s = taylorSine(turns.r);
    const long double c = taylorCosine(turns.r);
    // The results of periodic() for the quadrants k and k + 1.
    sine = inQuadrant(
        turns.k & 3, [s] { return s; }, [c] { return c; });
    cosine = inQuadrant((turns.k + 1) & 3, [s] { return s; }, [c] { return c; });
}

}  // namespace pvz
