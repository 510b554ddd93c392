/* SPDX-License-Identifier: MIT */
/*
 * libsoftglu-trace.so: the interposer softglu-trace --run preloads into a
 * program (LD_PRELOAD).
 *
 * It defines libsoftglu's seven functions and the GL calls softglu sends,
 * every call of src/trace/calls.h's SOFTGLU_LIBRARY_CALLS and
 * SOFTGLU_GL_CALLS.  Loaded before everything but the program itself, it
 * is what the program's calls of gluSphere & co. reach, and what
 * libsoftglu's own gl* references bind to.  Each call is forwarded to the
 * next definition (dlsym(RTLD_NEXT): libsoftglu, and the program's GL), so
 * the program runs and draws exactly as before.  Along the way it records,
 * for the process softglu-trace started, each softglu call with its
 * arguments and every GL call made on the same thread until that call
 * returns (src/trace/record.h), and writes them to softglu-trace's socket
 * at the end of the call.  GL calls the program makes itself, outside a
 * softglu call, are forwarded and not recorded.
 *
 * libsoftglu's seven are defined under its version, SOFTGLU_1, and not as
 * the default: a program linked against libsoftglu records
 * gluSphere@SOFTGLU_1 and so on, which bind here first, while a plain
 * gluSphere, as a prebuilt program of the classic interface records it,
 * never binds here and goes on to the classic libGLU.so.1, whose gluSphere
 * takes a double radius (and records its own calls, as below).  A program
 * linked against libsoftglu before its exports had a version records plain
 * names too: its calls of the seven reach libsoftglu untraced.
 *
 * The compatibility layer is linked into the program, where LD_PRELOAD
 * cannot reach its calls (and the classic libGLU.so.1 is the compatibility
 * layer too): it records them itself through
 * softglu_trace_enter, softglu_trace_add and softglu_trace_leave, which it
 * finds here by name (src/compat/traced.h).
 *
 * Softglu calls are traced one at a time: a thread's call holds a lock until
 * it returns, so that the records of each call stay together however many
 * threads draw.  If the socket fails (softglu-trace has gone), tracing
 * stops and the program goes on untraced.
 */
#define _GNU_SOURCE

#include <GL/glu.h>

#include <dlfcn.h>
#include <errno.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "family.h"
#include "image.h"
#include "record.h"

/* The socket, or -1 when this process is not traced. */
static int traceFd = -1;
static pthread_once_t once = PTHREAD_ONCE_INIT;
static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
/* Whether this thread is inside a traced softglu call (it holds `lock`). */
static __thread int inside __attribute__((tls_model("initial-exec")));
/* The records of the current call, under `lock`. */
static unsigned char buffer[1 << 16];
static size_t used;
static int familySent;

/* After a fork the child is another process: it traces nothing. */
static void stopInChild(void) { traceFd = -1; }

static void setUp(void)
{
    const char *run = getenv(SOFTGLU_TRACE_RUN_ENV);
    char *end;
    long fd, pid;
    struct stat st;
    if (!run)
        return;
    fd = strtol(run, &end, 10);
    if (*end != ':')
        return;
    pid = strtol(end + 1, &end, 10);
    if (*end != '\0' || pid != (long)getpid() || fd < 0 || fstat((int)fd, &st) != 0 || !S_ISSOCK(st.st_mode))
        return;
    pthread_atfork(NULL, NULL, stopInChild);
    traceFd = (int)fd;
}

static void flush(void)
{
    const unsigned char *p = buffer;
    size_t left = used;
    used = 0;
    while (left > 0 && traceFd >= 0) {
        const ssize_t n = send(traceFd, p, left, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            traceFd = -1;
            break;
        }
        p += n;
        left -= (size_t)n;
    }
}

/* Room for n bytes of records. */
static unsigned char *room(size_t n)
{
    if (sizeof buffer - used < n)
        flush();
    return buffer + used;
}

static void commit(unsigned char *end) { used = (size_t)(end - buffer); }

/* Starts tracing a softglu call on this thread: true when this process is
 * traced and the thread is not inside a traced call already. */
static int enter(void)
{
    pthread_once(&once, setUp);
    if (traceFd < 0 || inside)
        return 0;
    pthread_mutex_lock(&lock);
    if (traceFd < 0) {
        pthread_mutex_unlock(&lock);
        return 0;
    }
    inside = 1;
    if (!familySent) {
        unsigned char *p = room(2);
        *p++ = SOFTGLU_REC_FAMILY;
        *p++ = (unsigned char)softglu_family();
        commit(p);
        familySent = 1;
    }
    return 1;
}

static void leave(void)
{
    flush();
    inside = 0;
    pthread_mutex_unlock(&lock);
}

/* The next definition of `name` after this library: libsoftglu's (of
 * `version`, SOFTGLU_1, never another library's gluSphere), or the
 * program's GL (version NULL).  Without one the program could not have run
 * untraced either; it stops as the dynamic linker would have. */
static void *next(const char *name, const char *version)
{
    void *f = version ? dlvsym(RTLD_NEXT, name, version) : dlsym(RTLD_NEXT, name);
    if (!f) {
        static const char message[] = "softglu-trace: the program has no definition of ";
        if (write(2, message, sizeof message - 1) < 0 || write(2, name, strlen(name)) < 0 || write(2, "\n", 1) < 0) {
            /* nothing more can be said */
        }
        abort();
    }
    return f;
}

/* The next definition of `name` of `version`, looked up on the first call
 * and kept in `slot`. */
static void *forward(void **slot, const char *name, const char *version)
{
    void *f = __atomic_load_n(slot, __ATOMIC_RELAXED);
    if (!f) {
        f = next(name, version);
        __atomic_store_n(slot, f, __ATOMIC_RELAXED);
    }
    return f;
}

/* `real`: the function `self` of `version` this wrapper stands in front
 * of. */
#define FORWARD(self, version) \
    static void *self##Next;  \
    __typeof__(&self) real = (__typeof__(&self))forward(&self##Next, #self, version)

/* The real glGetIntegerv, which the interposer asks for the unpack state
 * of a texture upload without recording it; the image values only for a 3D
 * upload, so that a GL without 3D textures is never asked for them. */
static void unpackState(struct softglu_unpack *u, int dims)
{
    static void *getNext;
    void (*get)(GLenum, GLint *) = (void (*)(GLenum, GLint *))forward(&getNext, "glGetIntegerv", NULL);
    const struct softglu_unpack initial = {0, 0, 0, 0, 4, 0, 0};  /* should GL not answer */
    *u = initial;
    get(GL_UNPACK_SWAP_BYTES, &u->swapBytes);
    get(GL_UNPACK_ROW_LENGTH, &u->rowLength);
    get(GL_UNPACK_SKIP_ROWS, &u->skipRows);
    get(GL_UNPACK_SKIP_PIXELS, &u->skipPixels);
    get(GL_UNPACK_ALIGNMENT, &u->alignment);
    if (dims == 3) {
        get(GL_UNPACK_SKIP_IMAGES, &u->skipImages);
        get(GL_UNPACK_IMAGE_HEIGHT, &u->imageHeight);
    }
}

/* One record: `tag`, then the arguments that follow, each as its letter
 * of `kinds` says (calls.h).  A float argument arrives promoted to double,
 * exactly, and is narrowed back exactly.  The ints are kept as they pass,
 * for 'I', whose image's sizes, format and type they are: seven ints came
 * for glTexImage1D, eight for 2D and nine for 3D; the width is the
 * fourth, the height the fifth and the depth the sixth when they came,
 * the format and type the last two. */
static void recordCall(unsigned char tag, const char *kinds, ...)
{
    unsigned char *p = room(softglu_record_size(kinds));
    int32_t ints[9] = {0};
    int n = 0, k;
    va_list ap;
    *p++ = tag;
    va_start(ap, kinds);
    for (; *kinds; ++kinds) {
        switch (*kinds) {
        case 'f': p = softglu_put_float(p, (float)va_arg(ap, double)); break;
        case 'd': p = softglu_put_double(p, va_arg(ap, double)); break;
        case 'b': *p++ = (unsigned char)va_arg(ap, int); break;
        case 'h':
        case 'p':
        case 'r': *p++ = va_arg(ap, const void *) != NULL; break;
        case 'o': p = softglu_put32(p, (uint32_t)*va_arg(ap, const GLint *)); break;
        case 'D': p = softglu_put_point(p, va_arg(ap, const GLdouble *)); break;
        case 'M': {
            const GLdouble *m = va_arg(ap, const GLdouble *);
            for (k = 0; k < 16; ++k)
                p = softglu_put_double(p, m[k]);
            break;
        }
        case 'I': {
            const void *pixels = va_arg(ap, const void *);
            const int dims = n - 6;
            struct softglu_unpack u;
            uint64_t bytes, hash;
            unpackState(&u, dims);
            softglu_image_read(&u, dims, ints[3], dims >= 2 ? ints[4] : 1, dims == 3 ? ints[5] : 1,
                               (unsigned)ints[n - 2], (unsigned)ints[n - 1], pixels, &bytes, &hash);
            p = softglu_put64(softglu_put64(p, bytes), hash);
            break;
        }
        default: {
            const int v = va_arg(ap, int);
            if (n < 9)
                ints[n++] = v;
            p = softglu_put32(p, (uint32_t)v);
            break;
        }
        }
    }
    va_end(ap);
    commit(p);
}

/* `, a, b` for the argument list (a, b); nothing for (). */
#define SOFTGLU_THEN(...) , ##__VA_ARGS__

/* libsoftglu's version, under which its seven are defined here (see the
 * top): `name` is softglu_wrap_name in this file, exported as
 * name@SOFTGLU_1. */
#define SOFTGLU_LIBRARY_VERSION "SOFTGLU_1"
#define SOFTGLU_EXPORT_AS_LIBRARY(name) \
    __asm__(".symver softglu_wrap_" #name ", " #name "@" SOFTGLU_LIBRARY_VERSION);

/* libsoftglu's functions, each recorded with its arguments, then forwarded;
 * the one that returns a value records it after the call. */
#define SOFTGLU_LIBRARY_WRAPPER(tag, name, kinds, ret, params, args) \
    SOFTGLU_EXPORT_AS_LIBRARY(name)                                    \
    ret softglu_wrap_##name params;                                    \
    ret softglu_wrap_##name params                                     \
    {                                                                  \
        FORWARD(name, SOFTGLU_LIBRARY_VERSION);                        \
        const int traced = enter();                                    \
        if (traced)                                                    \
            recordCall(tag, kinds SOFTGLU_THEN args);                  \
        real args;                                                     \
        if (traced)                                                    \
            leave();                                                   \
    }
/* gluNewQuadric, whose result is its record, is written out below: the
 * probe picks SOFTGLU_NO_WRAPPER for it, SOFTGLU_LIBRARY_WRAPPER for the
 * others. */
#define SOFTGLU_NO_WRAPPER(tag, name, kinds, ret, params, args)
#define SOFTGLU_PROBE_gluNewQuadric ~, SOFTGLU_NO_WRAPPER
#define SOFTGLU_SECOND(a, b, ...) b
#define SOFTGLU_PICK(...) SOFTGLU_SECOND(__VA_ARGS__)
#define SOFTGLU_LIBRARY_WRAPPER_OF(tag, name, kinds, ret, params, args) \
    SOFTGLU_PICK(SOFTGLU_PROBE_##name, SOFTGLU_LIBRARY_WRAPPER, ~)(tag, name, kinds, ret, params, args)

SOFTGLU_LIBRARY_CALLS(SOFTGLU_LIBRARY_WRAPPER_OF)

SOFTGLU_EXPORT_AS_LIBRARY(gluNewQuadric)
GLUquadricObj *softglu_wrap_gluNewQuadric(void);
GLUquadricObj *softglu_wrap_gluNewQuadric(void)
{
    FORWARD(gluNewQuadric, SOFTGLU_LIBRARY_VERSION);
    const int traced = enter();
    GLUquadricObj *q = real();
    if (traced) {
        recordCall(SOFTGLU_REC_gluNewQuadric, "r", (const void *)q);
        leave();
    }
    return q;
}

/* The GL calls softglu sends: always forwarded, then recorded when the
 * thread is inside a traced call (after, so that an answer such as
 * glGetIntegerv's is there to record). */
#define SOFTGLU_GL_WRAPPER(tag, name, kinds, ret, params, args) \
    ret name params                                               \
    {                                                             \
        FORWARD(name, NULL);                                      \
        real args;                                                \
        if (inside)                                               \
            recordCall(tag, kinds SOFTGLU_THEN args);             \
    }

SOFTGLU_GL_CALLS(SOFTGLU_GL_WRAPPER)

/* What the compatibility layer records its calls through. */

__attribute__((visibility("default"))) int softglu_trace_enter(void) { return enter(); }

__attribute__((visibility("default"))) void softglu_trace_add(const unsigned char *record, size_t size)
{
    if (size <= SOFTGLU_RECORD_MAX) {
        memcpy(room(size), record, size);
        used += size;
    }
}

__attribute__((visibility("default"))) void softglu_trace_leave(void) { leave(); }
