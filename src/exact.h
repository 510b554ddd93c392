/* SPDX-License-Identifier: MIT */
// softglu's arithmetic guard.  src/glu.cpp and every source of the
// compatibility layer include it first, before any other header, so that
// all the code of the file is compiled under it.
//
// The bits softglu sends to GL hold only if every float and double
// operation is rounded on its own, in the precision written.  Each file
// defends that itself, whatever flags it is built with, so that the sources
// can be dropped into another project's build:
//
// - No contraction: a multiply and an add fused into one FMA round once
//   instead of twice.  GCC contracts by default wherever the target has FMA
//   (arm64, s390x, x86-64 with -mfma), clang within an expression; the
//   pragmas below turn it off for the rest of the file.  clang ignores its
//   pragma under -ffp-contract=fast and leaves no trace of that flag to test
//   here: never build softglu with it (the test clang_build shows it).
// - No excess precision: x87 arithmetic (32-bit x86 without SSE2) keeps
//   floats and doubles in 80-bit registers and rounds them when it likes.
//   That cannot be switched off per file, so such a build is refused.
// - No fast-math and no finite-math: they let the compiler reassociate,
//   drop NaNs, infinities and signed zeros, and replace divisions by
//   multiplications.
#ifndef SOFTGLU_SRC_EXACT_H
#define SOFTGLU_SRC_EXACT_H

#include <float.h>

#if defined(__clang__)
#pragma clang fp contract(off)
#elif defined(__GNUC__)
#pragma GCC optimize("fp-contract=off")
#endif

#if !defined(FLT_EVAL_METHOD) || FLT_EVAL_METHOD != 0
#error "softglu: float and double arithmetic must be evaluated in their own precision (FLT_EVAL_METHOD 0); on 32-bit x86 build with -msse2 -mfpmath=sse"
#endif

#if defined(__FAST_MATH__) || (defined(__FINITE_MATH_ONLY__) && __FINITE_MATH_ONLY__)
#error "softglu: build without -ffast-math, -Ofast or -ffinite-math-only: they change the bits sent to GL"
#endif

#endif
