/* SPDX-License-Identifier: MIT */
/* A legacy-style program that tessellates, for softglu-trace --run's test
 * (test_trace.cpp): a five-pointed star with GL's own glBegin, glVertex3dv,
 * glEnd and glEdgeFlag as the tessellator's callbacks, then a square with a
 * square hole through the older gluBeginPolygon, gluNextContour and
 * gluEndPolygon, drawn with Mesa's offscreen GL.  It prints how many of
 * the frame's pixels were drawn, so that a traced run can be compared with
 * a plain one.  Exit status 0, or 1 when GL or the tessellator fails. */
#include <GL/osmesa.h>
#include <GL/glu.h>

#include <stdio.h>
#include <stdlib.h>

#define SIZE 64

static GLdouble star[5][3] = {{5, 9, 0}, {2, 1, 0}, {9, 6, 0}, {1, 6, 0}, {8, 1, 0}};
static GLdouble square[4][3] = {{0.5, 0.5, 0}, {4.5, 0.5, 0}, {4.5, 4.5, 0}, {0.5, 4.5, 0}};
static GLdouble hole[4][3] = {{1.5, 1.5, 0}, {1.5, 3.5, 0}, {3.5, 3.5, 0}, {3.5, 1.5, 0}};

/* The star's crossings: a new vertex each. */
static GLdouble made[16][3];
static int madeCount;
static int failed;

static void CALLBACK_combine(GLdouble coords[3], void *data[4], GLfloat weight[4], void **out)
{
    (void)data;
    (void)weight;
    if (madeCount == 16) {
        *out = NULL;
        return;
    }
    made[madeCount][0] = coords[0];
    made[madeCount][1] = coords[1];
    made[madeCount][2] = coords[2];
    *out = made[madeCount++];
}

static void CALLBACK_error(GLenum code)
{
    fprintf(stderr, "trace_tess: %s\n", (const char *)gluErrorString(code));
    failed = 1;
}

static void drawStar(GLUtesselator *tess)
{
    int i;
    gluTessCallback(tess, GLU_TESS_BEGIN, (_GLUfuncptr)glBegin);
    gluTessCallback(tess, GLU_TESS_VERTEX, (_GLUfuncptr)glVertex3dv);
    gluTessCallback(tess, GLU_TESS_END, (_GLUfuncptr)glEnd);
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG, (_GLUfuncptr)glEdgeFlag);
    gluTessCallback(tess, GLU_TESS_COMBINE, (_GLUfuncptr)CALLBACK_combine);
    gluTessCallback(tess, GLU_TESS_ERROR, (_GLUfuncptr)CALLBACK_error);
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    gluTessNormal(tess, 0, 0, 1);
    gluTessBeginPolygon(tess, NULL);
    gluTessBeginContour(tess);
    for (i = 0; i < 5; ++i)
        gluTessVertex(tess, star[i], star[i]);
    gluTessEndContour(tess);
    gluTessEndPolygon(tess);
}

static void drawSquareWithHole(GLUtesselator *tess)
{
    int i;
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG, NULL);
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
    gluBeginPolygon(tess);
    for (i = 0; i < 4; ++i)
        gluTessVertex(tess, square[i], square[i]);
    gluNextContour(tess, GLU_INTERIOR);
    for (i = 0; i < 4; ++i)
        gluTessVertex(tess, hole[i], hole[i]);
    gluEndPolygon(tess);
}

int main(void)
{
    static GLubyte pixels[SIZE * SIZE * 4];
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, NULL);
    GLUtesselator *tess;
    long drawn = 0;
    int i;
    if (!context || !OSMesaMakeCurrent(context, pixels, GL_UNSIGNED_BYTE, SIZE, SIZE)) {
        fprintf(stderr, "trace_tess: no offscreen GL context\n");
        return 1;
    }
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    gluOrtho2D(0, 10, 0, 10);
    glMatrixMode(GL_MODELVIEW);
    glColor3f(1, 1, 1);

    tess = gluNewTess();
    if (!tess) {
        fprintf(stderr, "trace_tess: gluNewTess failed\n");
        return 1;
    }
    drawStar(tess);
    drawSquareWithHole(tess);
    gluDeleteTess(tess);
    glFinish();

    for (i = 0; i < SIZE * SIZE; ++i)
        drawn += pixels[4 * i] != 0;
    if (glGetError() != GL_NO_ERROR) {
        fprintf(stderr, "trace_tess: GL error\n");
        failed = 1;
    }
    OSMesaDestroyContext(context);
    if (printf("%ld of %d pixels drawn, %d crossings\n", drawn, SIZE * SIZE, madeCount) < 0 || fflush(stdout) != 0)
        return 1;
    return failed;
}
