/* SPDX-License-Identifier: MIT */
// The compatibility layer's arithmetic goes to GL bit for bit, like the
// library's: every float and double operation is rounded on its own to its
// own type.  The build passes -ffp-contract=off -fno-fast-math; these guards
// stop a build that would round differently.
#ifndef SOFTGLU_SRC_COMPAT_EXACT_H
#define SOFTGLU_SRC_COMPAT_EXACT_H

#if defined(__FAST_MATH__)
#error "softglu's compatibility layer must be built without -ffast-math"
#endif

// x87 arithmetic keeps intermediates in a wider format (build for SSE2, or
// soft float as on armel).
#if defined(__FLT_EVAL_METHOD__) && __FLT_EVAL_METHOD__ != 0
#error "softglu's compatibility layer needs float and double operations rounded to their own type"
#endif

// No multiply-add contraction (GCC takes this from -ffp-contract=off).
#ifdef __clang__
#pragma STDC FP_CONTRACT OFF
#endif

#endif
