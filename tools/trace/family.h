/* SPDX-License-Identifier: MIT */
/*
 * Which family of sin, cos and tan this process's math library belongs to,
 * measured: softglu-trace and its interposer (interpose.c, which measures
 * the traced program's own) share it.
 *
 * Measured on Debian 12 (glibc 2.36), the sin/cos/tan results of Debian's
 * nine release architectures fall into two families, bit for bit within
 * each: the fused one, where glibc's own code uses fused multiply-adds
 * (amd64 when the CPU has FMA and AVX2, arm64, ppc64el, riscv64, s390x),
 * and the unfused one (armel, armhf, i386, mips64el, and amd64 without FMA
 * or AVX2, or started with GLIBC_TUNABLES=glibc.cpu.hwcaps=-AVX2,-FMA).
 * They differ on a few arguments in ten thousand.  Each probe below is one
 * such argument with the result of each family; a math library is of a
 * family when it gives that family's bits on every probe.  Another glibc
 * may match neither (SOFTGLU_FAMILY_UNKNOWN): measure it again
 * (docs/bit-exact.md).
 *
 * C and C++ alike; everything is static, for the one file that includes it.
 */
#ifndef SOFTGLU_TRACE_FAMILY_H
#define SOFTGLU_TRACE_FAMILY_H

#include <math.h>
#include <stdint.h>
#include <string.h>

enum { SOFTGLU_FAMILY_UNKNOWN = 0, SOFTGLU_FAMILY_FUSED = 1, SOFTGLU_FAMILY_UNFUSED = 2 };

struct softglu_probe {
    char fn; /* 's'in, 'c'os or 't'an */
    uint64_t x, fused, unfused;
};

/* The first of 100,000 arguments in [0, 2 pi) where the families part, as
 * bench/family-scan/family-scan.sh finds them (amd64 with and without the tunable);
 * the same script shows armel, armhf, i386 and mips64el giving the
 * unfused bits on all 100,000, arm64, ppc64el, riscv64 and s390x the
 * fused. */
static const struct softglu_probe softglu_probes[] = {
    {'s', 0x4008305885a4f9ecULL, 0x3fbe226c5f205080ULL, 0x3fbe226c5f20507fULL},
    {'s', 0x4018551775ab9a85ULL, 0xbfc970d2a3eefeacULL, 0xbfc970d2a3eefeabULL},
    {'s', 0x400530eb89d01b67ULL, 0x3fde45d2b9c4ea01ULL, 0x3fde45d2b9c4ea02ULL},
    {'c', 0x3ff47750e7b60563ULL, 0x3fd2673292c866eaULL, 0x3fd2673292c866e9ULL},
    {'c', 0x3ffde8813a4f28caULL, 0xbfd2d1cf9b0e99acULL, 0xbfd2d1cf9b0e99adULL},
    {'c', 0x4002ce0bf964b8acULL, 0xbfe6802c326d0f28ULL, 0xbfe6802c326d0f27ULL},
    {'t', 0x4012bc1ca8f78da0ULL, 0x40416ce5f9cc9e0cULL, 0x40416ce5f9cc9e0bULL},
};

/* SOFTGLU_FAMILY_FUSED, _UNFUSED or _UNKNOWN.  The argument is read
 * through a volatile, so the compiler can neither fold the call (it would
 * give its own correctly rounded result) nor replace it. */
static int softglu_family(void)
{
    int fused = 1, unfused = 1;
    size_t i;
    for (i = 0; i < sizeof softglu_probes / sizeof softglu_probes[0]; ++i) {
        const struct softglu_probe *p = &softglu_probes[i];
        volatile double x;
        double in, out;
        uint64_t bits;
        memcpy(&in, &p->x, sizeof in);
        x = in;
        out = p->fn == 's' ? sin(x) : p->fn == 'c' ? cos(x) : tan(x);
        memcpy(&bits, &out, sizeof bits);
        fused &= bits == p->fused;
        unfused &= bits == p->unfused;
    }
    return fused ? SOFTGLU_FAMILY_FUSED : unfused ? SOFTGLU_FAMILY_UNFUSED : SOFTGLU_FAMILY_UNKNOWN;
}

#endif
