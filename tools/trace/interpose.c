/* SPDX-License-Identifier: MIT */
/*
 * libsoftglu-trace.so: the interposer softglu-trace --run preloads into a
 * program (LD_PRELOAD).
 *
 * It defines softglu's seven functions and the seven GL calls softglu
 * sends.  Loaded before everything but the program itself, it is what the
 * program's calls of gluSphere & co. reach, and what libsoftglu's own gl*
 * references bind to.  Each call is forwarded to the next definition
 * (dlsym(RTLD_NEXT): libsoftglu, and the program's GL), so the program runs
 * and draws exactly as before.  Along the way it records, for the process
 * softglu-trace started, each softglu call with its arguments and every GL
 * call made on the same thread until that call returns (record.h), and
 * writes them to softglu-trace's socket at the end of the call.  GL calls
 * the program makes itself, outside a softglu call, are forwarded and not
 * recorded.
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
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "family.h"
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

static unsigned char *put32(unsigned char *p, uint32_t v)
{
    p[0] = (unsigned char)v;
    p[1] = (unsigned char)(v >> 8);
    p[2] = (unsigned char)(v >> 16);
    p[3] = (unsigned char)(v >> 24);
    return p + 4;
}

static unsigned char *putFloat(unsigned char *p, float v)
{
    uint32_t bits;
    memcpy(&bits, &v, sizeof bits);
    return put32(p, bits);
}

static unsigned char *putDouble(unsigned char *p, double v)
{
    uint64_t bits;
    memcpy(&bits, &v, sizeof bits);
    p = put32(p, (uint32_t)bits);
    return put32(p, (uint32_t)(bits >> 32));
}

static unsigned char *putInt(unsigned char *p, int v) { return put32(p, (uint32_t)v); }

static unsigned char *putHandle(unsigned char *p, const void *handle)
{
    *p++ = handle != NULL;
    return p;
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

/* The next definition of `name` after this library: libsoftglu's, or the
 * program's GL.  Without one the program could not have run untraced
 * either; it stops as the dynamic linker would have. */
static void *next(const char *name)
{
    void *f = dlsym(RTLD_NEXT, name);
    if (!f) {
        static const char message[] = "softglu-trace: the program has no definition of ";
        if (write(2, message, sizeof message - 1) < 0 || write(2, name, strlen(name)) < 0 || write(2, "\n", 1) < 0) {
            /* nothing more can be said */
        }
        abort();
    }
    return f;
}

/* The next definition of `name`, looked up on the first call and kept in
 * `slot`. */
static void *forward(void **slot, const char *name)
{
    void *f = __atomic_load_n(slot, __ATOMIC_RELAXED);
    if (!f) {
        f = next(name);
        __atomic_store_n(slot, f, __ATOMIC_RELAXED);
    }
    return f;
}

/* `real`: the function `self` this wrapper stands in front of. */
#define FORWARD(self)         \
    static void *self##Next; \
    __typeof__(&self) real = (__typeof__(&self))forward(&self##Next, #self)

/* softglu's functions. */

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    FORWARD(gluPerspective);
    const int traced = enter();
    if (traced) {
        unsigned char *p = room(1 + 4 * 8);
        *p++ = SOFTGLU_REC_PERSPECTIVE;
        p = putDouble(p, fovy);
        p = putDouble(p, aspect);
        p = putDouble(p, zNear);
        commit(putDouble(p, zFar));
    }
    real(fovy, aspect, zNear, zFar);
    if (traced)
        leave();
}

GLUquadricObj *gluNewQuadric(void)
{
    FORWARD(gluNewQuadric);
    const int traced = enter();
    GLUquadricObj *q = real();
    if (traced) {
        unsigned char *p = room(2);
        *p++ = SOFTGLU_REC_NEW_QUADRIC;
        commit(putHandle(p, q));
        leave();
    }
    return q;
}

void gluQuadricDrawStyle(GLUquadricObj *obj, int style)
{
    FORWARD(gluQuadricDrawStyle);
    const int traced = enter();
    if (traced) {
        unsigned char *p = room(1 + 1 + 4);
        *p++ = SOFTGLU_REC_QUADRIC_DRAW_STYLE;
        p = putHandle(p, obj);
        commit(putInt(p, style));
    }
    real(obj, style);
    if (traced)
        leave();
}

void gluCylinder(GLUquadricObj *qobj, GLdouble baseRadius, GLdouble topRadius, GLdouble height, GLint slices,
                 GLint stacks)
{
    FORWARD(gluCylinder);
    const int traced = enter();
    if (traced) {
        unsigned char *p = room(1 + 1 + 3 * 8 + 2 * 4);
        *p++ = SOFTGLU_REC_CYLINDER;
        p = putHandle(p, qobj);
        p = putDouble(p, baseRadius);
        p = putDouble(p, topRadius);
        p = putDouble(p, height);
        p = putInt(p, slices);
        commit(putInt(p, stacks));
    }
    real(qobj, baseRadius, topRadius, height, slices, stacks);
    if (traced)
        leave();
}

void gluDisk(GLUquadricObj *qobj, GLdouble innerRadius, GLdouble outerRadius, GLint slices, GLint loops)
{
    FORWARD(gluDisk);
    const int traced = enter();
    if (traced) {
        unsigned char *p = room(1 + 1 + 2 * 8 + 2 * 4);
        *p++ = SOFTGLU_REC_DISK;
        p = putHandle(p, qobj);
        p = putDouble(p, innerRadius);
        p = putDouble(p, outerRadius);
        p = putInt(p, slices);
        commit(putInt(p, loops));
    }
    real(qobj, innerRadius, outerRadius, slices, loops);
    if (traced)
        leave();
}

void gluSphere(GLUquadricObj *qobj, float radius, int slices, int stacks)
{
    FORWARD(gluSphere);
    const int traced = enter();
    if (traced) {
        unsigned char *p = room(1 + 1 + 4 + 2 * 4);
        *p++ = SOFTGLU_REC_SPHERE;
        p = putHandle(p, qobj);
        p = putFloat(p, radius);
        p = putInt(p, slices);
        commit(putInt(p, stacks));
    }
    real(qobj, radius, slices, stacks);
    if (traced)
        leave();
}

void drawTorus(float rc, int numc, float rt, int numt)
{
    FORWARD(drawTorus);
    const int traced = enter();
    if (traced) {
        unsigned char *p = room(1 + 4 * 4);
        *p++ = SOFTGLU_REC_TORUS;
        p = putFloat(p, rc);
        p = putInt(p, numc);
        p = putFloat(p, rt);
        commit(putInt(p, numt));
    }
    real(rc, numc, rt, numt);
    if (traced)
        leave();
}

/* The GL calls softglu sends: recorded inside a traced call, always
 * forwarded. */

static void floats(int tag, int n, GLfloat a, GLfloat b, GLfloat c)
{
    unsigned char *p = room(1 + 3 * 4);
    *p++ = (unsigned char)tag;
    p = putFloat(p, a);
    p = putFloat(p, b);
    if (n == 3)
        p = putFloat(p, c);
    commit(p);
}

void glBegin(GLenum mode)
{
    FORWARD(glBegin);
    if (inside) {
        unsigned char *p = room(1 + 4);
        *p++ = SOFTGLU_REC_BEGIN;
        commit(put32(p, (uint32_t)mode));
    }
    real(mode);
}

void glEnd(void)
{
    FORWARD(glEnd);
    if (inside) {
        unsigned char *p = room(1);
        *p++ = SOFTGLU_REC_END;
        commit(p);
    }
    real();
}

void glNormal3f(GLfloat x, GLfloat y, GLfloat z)
{
    FORWARD(glNormal3f);
    if (inside)
        floats(SOFTGLU_REC_NORMAL3F, 3, x, y, z);
    real(x, y, z);
}

void glTexCoord2f(GLfloat s, GLfloat t)
{
    FORWARD(glTexCoord2f);
    if (inside)
        floats(SOFTGLU_REC_TEXCOORD2F, 2, s, t, 0.0f);
    real(s, t);
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    FORWARD(glVertex3f);
    if (inside)
        floats(SOFTGLU_REC_VERTEX3F, 3, x, y, z);
    real(x, y, z);
}

void glVertex2f(GLfloat x, GLfloat y)
{
    FORWARD(glVertex2f);
    if (inside)
        floats(SOFTGLU_REC_VERTEX2F, 2, x, y, 0.0f);
    real(x, y);
}

void glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar)
{
    FORWARD(glFrustum);
    if (inside) {
        unsigned char *p = room(1 + 6 * 8);
        *p++ = SOFTGLU_REC_FRUSTUM;
        p = putDouble(p, left);
        p = putDouble(p, right);
        p = putDouble(p, bottom);
        p = putDouble(p, top);
        p = putDouble(p, zNear);
        commit(putDouble(p, zFar));
    }
    real(left, right, bottom, top, zNear, zFar);
}
