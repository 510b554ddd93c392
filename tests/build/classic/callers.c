/* SPDX-License-Identifier: MIT */
/* The programs and libraries of tests/build/check_classic.sh, one source
 * built in six roles:
 *   -DNATIVE    libnative.so, linked against libsoftglu: it records
 *               gluSphere@SOFTGLU_1 and so on;
 *   -DPREBUILT  libprebuilt.so, a library of the classic interface as a
 *               prebuilt one records it: plain names, no version;
 *   -DSTUB      the libGLU.so.1 the prebuilt ones were linked against,
 *               whose calls must never run;
 *   -DGL        libfakegl.so, the GL they all bind to: it notes how far
 *               the vertices reach;
 *   -DBIND      bind, a program with a caller of each kind in one process:
 *               its exit status says whether each reached its own library;
 *   -DFRAME     frame, a prebuilt program of the classic interface that
 *               draws one frame.
 * The classic calls are declared here with their classic signatures, as a
 * prebuilt program's header declared them. */
#include <stdio.h>
#include <stdlib.h>

/* The classic calls the prebuilt ones make: declared, or (STUB) defined
 * to stop the program. */
#ifdef STUB
#define CALL(ret, name, params) \
    ret name params { fputs("the stub's " #name " ran\n", stderr); abort(); }
#pragma GCC diagnostic ignored "-Wunused-parameter"
#else
#define CALL(ret, name, params) ret name params;
#endif
#ifndef NATIVE
typedef struct GLUquadric GLUquadric;
#endif
#define CLASSIC_CALLS                                                            \
    CALL(GLUquadric *, gluNewQuadric, (void))                                    \
    CALL(void, gluDeleteQuadric, (GLUquadric * q))                               \
    CALL(void, gluSphere, (GLUquadric * q, double radius, int slices, int stacks)) \
    CALL(void, gluPerspective, (double fovy, double aspect, double zNear, double zFar))

/* A sphere about the origin reaches exactly its radius (its poles). */
float glReach(void);
void glResetReach(void);

#if defined(NATIVE)
#include <GL/glu.h>  /* softglu's */
void *nativeNewQuadric(void) { return gluNewQuadric(); }
void nativeSphere(float radius) { gluSphere(NULL, radius, 4, 2); }

#elif defined(PREBUILT)
CLASSIC_CALLS
void *prebuiltNewQuadric(void) { return gluNewQuadric(); }
void prebuiltSphere(double radius) { gluSphere(NULL, radius, 4, 2); }

#elif defined(STUB)
CLASSIC_CALLS

#elif defined(GL)
static float reach;
static void note(float v) { if (v > reach) reach = v; else if (-v > reach) reach = -v; }
float glReach(void) { return reach; }
void glResetReach(void) { reach = 0.0f; }
void glBegin(unsigned mode) { (void)mode; }
void glEnd(void) {}
void glNormal3f(float x, float y, float z) { (void)x; (void)y; (void)z; }
void glTexCoord2f(float s, float t) { (void)s; (void)t; }
void glVertex3f(float x, float y, float z) { note(x); note(y); note(z); }
void glFrustum(double l, double r, double b, double t, double n, double f)
{
    (void)l; (void)r; (void)b; (void)t; (void)n; (void)f;
}

#elif defined(BIND)
void *nativeNewQuadric(void);
void nativeSphere(float radius);
void *prebuiltNewQuadric(void);
void prebuiltSphere(double radius);

static int fail;
static void expect(int ok, const char *what)
{
    if (!ok) {
        printf("FAIL: %s\n", what);
        fail = 1;
    }
}

int main(void)
{
    expect(nativeNewQuadric() == NULL, "a caller linked against libsoftglu reached another gluNewQuadric");
    glResetReach();
    nativeSphere(2.0f);
    expect(glReach() == 2.0f, "a caller linked against libsoftglu drew a sphere of another radius");
    expect(prebuiltNewQuadric() != NULL, "a prebuilt caller did not reach the classic gluNewQuadric");
    glResetReach();
    prebuiltSphere(3.0);
    expect(glReach() == 3.0f, "a prebuilt caller's double radius was not drawn as 3");
    return fail;
}

#elif defined(FRAME)
CLASSIC_CALLS

/* A classic handle, a projection and a sphere of radius 1.5. */
int main(void)
{
    GLUquadric *q = gluNewQuadric();
    if (!q) {
        puts("FAIL: the classic gluNewQuadric gave no handle");
        return 1;
    }
    gluPerspective(45.0, 1.0, 1.0, 10.0);
    gluSphere(q, 1.5, 8, 4);
    gluDeleteQuadric(q);
    if (glReach() != 1.5f) {
        printf("FAIL: the sphere of radius 1.5 reached %g\n", (double)glReach());
        return 1;
    }
    return 0;
}
#endif
