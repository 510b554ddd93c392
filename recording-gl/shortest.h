/* SPDX-License-Identifier: MIT */
// The shortest decimals a listing prints its floats and doubles in.
#ifndef SOFTGLU_GLRECORD_SHORTEST_H
#define SOFTGLU_GLRECORD_SHORTEST_H

#include <cstddef>
#include <string>

namespace glrecord {

// The shortest decimal that reads back (strtof / strtod) to the same bits,
// as printf's %.Pg prints it with the smallest precision P that reads back;
// whole numbers below 2^53 print as integers ("100", not "1e+02").  NaNs
// print as "nan" or "-nan", whatever their payload.
std::string shortest(float v);
std::string shortest(double v);
// The same text written at `out` (at most kMaxShortest characters, no
// terminating NUL); returns the end.
const std::size_t kMaxShortest = 24;
char *shortestTo(char *out, float v);
char *shortestTo(char *out, double v);

}  // namespace glrecord

#endif
