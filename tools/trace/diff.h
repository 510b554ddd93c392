// SPDX-License-Identifier: MIT
// softglu-trace --diff: where two listings part, and why.
#ifndef SOFTGLU_TRACE_DIFF_H
#define SOFTGLU_TRACE_DIFF_H

namespace diff {

// Compares the listings in files `a` and `b` call by call and writes the
// verdict to standard output: that they are identical, or the first
// softglu call where they part, the first GL call of it that differs with
// both values, and whether that is a difference of math families.
// Returns 0 when identical, 1 when not, 2 when a file cannot be read or is
// not a listing (with the reason on standard error).
int compare(const char *a, const char *b);

}  // namespace diff

#endif
