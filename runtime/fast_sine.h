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
// out[i] = fastSine(x[i]) for i < count, bit for bit; neighbouring arguments are evaluated side by
// side so that their independent chains of operations overlap.
void fastSines(const long double* x, long double* out, std::size_t count);

}  // namespace pvz
