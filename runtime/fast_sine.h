#pragma once
// Sine and cosine for the sums of periodic terms on the loading path, where the C library's
// extended-precision functions cost about 200 ns a call. The argument is reduced by multiples of
// pi/2 with pi/2 carried to 152 bits, and the reduced one is evaluated by its Taylor series in
// extended precision: the result is within a few units in the last place of the exact value.

#include <cstddef>

namespace pvz {

// sin x; arguments of magnitude 2^19 or more go to sine() of the calendar.
long double fastSine(long double x);
// cos x, likewise.
long double fastCosine(long double x);
// sin x and cos x from one reduction: the very values of fastSine(x) and fastCosine(x).
void fastSineCosine(long double x, long double& sine, long double& cosine);

// out[i] = sin(rate[i] t + phase[i]) as a double, for sums of many small periodic terms: the
// argument is formed and reduced in extended precision, the reduced one evaluated in double
// precision two at a time. Within about one unit in the last place of a double of the sine of the
// extended argument; arguments of magnitude 2^19 or more get fastSine of it, rounded.
void fastSinesOfLinear(const double* rate, const double* phase, double t, double* out, std::size_t count);

}  // namespace pvz
