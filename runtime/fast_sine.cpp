#include "runtime/fast_sine.h"

#include <array>
#include <cmath>
#include <cstdint>

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

// sin x when quadrantShift is 0, cos x when it is 1.
long double periodic(long double x, int quadrantShift) {
    // llrint rounds without touching the floating-point environment; |k| < 2^19.
    const std::int64_t k = std::llrint(x * kTwoOverPi);
    const auto kk = static_cast<long double>(k);
    const long double r = ((x - kk * kHalfPi1) - kk * kHalfPi2) - kk * kHalfPi3;  // about [-pi/4, pi/4]
    const std::int64_t quadrant = (k + quadrantShift) & 3;
    const long double value = quadrant & 1 ? taylorCosine(r) : taylorSine(r);
    return quadrant & 2 ? -value : value;
}

// The reduction of periodic(): the reduced argument and the quadrant of sin x.
struct Reduced {
    long double r;
    std::int64_t quadrant;
};

Reduced reduced(long double x) {
    const std::int64_t k = std::llrint(x * kTwoOverPi);
    const auto kk = static_cast<long double>(k);
    return {((x - kk * kHalfPi1) - kk * kHalfPi2) - kk * kHalfPi3, k & 3};
}

// The coefficients that taylorSine and taylorCosine take in turn, from the first one on.
constexpr std::array<long double, 11> kSineSteps = [] {
    std::array<long double, 11> steps{};
    for (std::size_t i = 0; i < steps.size(); ++i) steps[i] = kInverseFactorials[21 - 2 * i];
    return steps;
}();
constexpr std::array<long double, 12> kCosineSteps = [] {
    std::array<long double, 12> steps{};
    for (std::size_t i = 0; i < steps.size(); ++i) steps[i] = kInverseFactorials[22 - 2 * i];
    return steps;
}();

constexpr std::size_t kLanes = 2;

// sin x of kLanes arguments below kFastLimit, each lane doing exactly the operations of
// periodic(x, 0) in the same order: the same results, with the lanes' latencies overlapping.
void sineLanes(const long double* x, long double* out) {
    long double r[kLanes], z[kLanes], sum[kLanes];
    const long double* steps[kLanes];
    std::int64_t quadrant[kLanes];
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        const Reduced reduction = reduced(x[lane]);
        r[lane] = reduction.r;
        quadrant[lane] = reduction.quadrant;
        z[lane] = r[lane] * r[lane];
        steps[lane] = quadrant[lane] & 1 ? kCosineSteps.data() : kSineSteps.data();
        sum[lane] = steps[lane][0];
    }
    // Both series share their first ten steps; the cosine has one more, the sine a product by r.
    for (std::size_t step = 1; step <= 10; ++step)
        for (std::size_t lane = 0; lane < kLanes; ++lane) sum[lane] = sum[lane] * -z[lane] + steps[lane][step];
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        const long double value = quadrant[lane] & 1 ? sum[lane] * -z[lane] + kCosineSteps[11] : r[lane] * sum[lane];
        out[lane] = quadrant[lane] & 2 ? -value : value;
    }
}

}  // namespace

void fastSines(const long double* x, long double* out, std::size_t count) {
    std::size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) {
        bool allFast = true;
        for (std::size_t lane = 0; lane < kLanes; ++lane) allFast = allFast && std::fabs(x[i + lane]) < kFastLimit;
        if (allFast) {
            sineLanes(x + i, out + i);
        } else {
            for (std::size_t lane = 0; lane < kLanes; ++lane) out[i + lane] = fastSine(x[i + lane]);
        }
    }
    for (; i < count; ++i) out[i] = fastSine(x[i]);
}

long double fastSine(long double x) {
    if (!(std::fabs(x) < kFastLimit)) return sine(x);
    return periodic(x, 0);
}

long double fastCosine(long double x) {
    if (!(std::fabs(x) < kFastLimit)) return cosine(x);
    return periodic(x, 1);
}

}  // namespace pvz
