/* SPDX-License-Identifier: MIT */
/*
 * What a traced process tells softglu-trace --run over its socket: a record
 * per call, its tag byte (calls.h) and its arguments in the order of the
 * call's parameters, each written as calls.h's letter for it says, as its
 * bits in little-endian order whatever the machine, so that softglu-trace
 * reads the records of a program of any architecture (one run under
 * qemu-user included).  A traced process sends its math family first
 * (SOFTGLU_REC_FAMILY and one byte, family.h), then, for each call of
 * softglu's it makes, that call and every GL call softglu sends inside it.
 *
 * The writers are the interposer (tools/trace/interpose.c) and, through
 * it, the compatibility layer (src/compat/traced.h); the reader is
 * softglu-trace (tools/trace/run.cpp).
 */
#ifndef SOFTGLU_TRACE_RECORD_H
#define SOFTGLU_TRACE_RECORD_H

#include "calls.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

/* Tags below this one are GL calls', from it on softglu's. */
#define SOFTGLU_REC_SOFTGLU 0x40

/* Each record's name and argument letters, made from calls.h. */
struct softglu_record_kind {
    unsigned char tag;
    const char *name;
    const char *args;
};

#define SOFTGLU_REC_KIND(tag, name, kinds, ret, params, args) {tag, #name, kinds},
static const struct softglu_record_kind softglu_records[] = {
    SOFTGLU_TRACED_CALLS(SOFTGLU_REC_KIND) {SOFTGLU_REC_FAMILY, "family", "m"}};
#undef SOFTGLU_REC_KIND

/* The bytes an argument of letter `kind` takes in a record ('m': a math
 * family). */
static inline size_t softglu_arg_size(char kind)
{
    switch (kind) {
    case 'd': return 8;
    case 'b':
    case 'h':
    case 'p':
    case 'r':
    case 'm': return 1;
    case 'V':
    case 'I': return 16;
    case 'D': return 1 + 24;
    case 'M': return 128;
    default: return 4;
    }
}

/* The bytes of a whole record of these letters, its tag included. */
static inline size_t softglu_record_size(const char *kinds)
{
    size_t size = 1;
    for (; *kinds; ++kinds)
        size += softglu_arg_size(*kinds);
    return size;
}

/* The largest record: glMultMatrixd's. */
#define SOFTGLU_RECORD_MAX (1 + 128)

static inline unsigned char *softglu_put32(unsigned char *p, uint32_t v)
{
    p[0] = (unsigned char)v;
    p[1] = (unsigned char)(v >> 8);
    p[2] = (unsigned char)(v >> 16);
    p[3] = (unsigned char)(v >> 24);
    return p + 4;
}

static inline unsigned char *softglu_put64(unsigned char *p, uint64_t v)
{
    return softglu_put32(softglu_put32(p, (uint32_t)v), (uint32_t)(v >> 32));
}

static inline unsigned char *softglu_put_float(unsigned char *p, float v)
{
    uint32_t bits;
    memcpy(&bits, &v, sizeof bits);
    return softglu_put32(p, bits);
}

static inline unsigned char *softglu_put_double(unsigned char *p, double v)
{
    uint64_t bits;
    memcpy(&bits, &v, sizeof bits);
    return softglu_put64(p, bits);
}

/* 'D': whether the point is there, then its coordinates (zeros for none). */
static inline unsigned char *softglu_put_point(unsigned char *p, const double *v)
{
    int k;
    *p++ = v != NULL;
    for (k = 0; k < 3; ++k)
        p = softglu_put_double(p, v ? v[k] : 0.0);
    return p;
}

/* The environment variable through which softglu-trace tells the
 * interposer where to write and which process to trace: "FD:PID".  Other
 * processes (those the program forks, or a process that inherits the
 * variable without being started by softglu-trace) trace nothing. */
#define SOFTGLU_TRACE_RUN_ENV "SOFTGLU_TRACE_RUN"

/* What the interposer exports for the compatibility layer, which is linked
 * into the program and so out of LD_PRELOAD's reach: it looks these up by
 * name (dlsym) and records its own calls through them.  softglu_trace_enter
 * returns 1 when this process is traced and the calling thread is not
 * inside a traced call already; the thread then holds the trace until
 * softglu_trace_leave, and the GL calls it makes meanwhile are recorded
 * after the records it adds with softglu_trace_add (whole records, of at
 * most SOFTGLU_RECORD_MAX bytes). */
#define SOFTGLU_TRACE_ENTER "softglu_trace_enter"
#define SOFTGLU_TRACE_ADD "softglu_trace_add"
#define SOFTGLU_TRACE_LEAVE "softglu_trace_leave"

#endif
