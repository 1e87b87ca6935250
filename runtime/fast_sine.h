#pragma once
// Sine and cosine for the sums of periodic terms on the loading path, where the C library's
// extended-precision functions cost about 200 ns a call. The argument is reduced by multiples of
// pi/2 with pi/2 carried to 152 bits, and the reduced one is evaluated by its Taylor series in
// extended precision: the result is within a few units in the last place of the exact value.

namespace pvz {

// sin x; arguments of magnitude 2^19 or more go to sine() of the calendar.
long double fastSine(long double x);
// cos x, likewise.
long double fastCosine(long double x);

}  // namespace pvz
