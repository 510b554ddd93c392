/* SPDX-License-Identifier: MIT */
/*
 * trimmed: a textbook trimmed NURBS surface.  A bicubic hill, one Bezier
 * patch of 4 x 4 control points, has a hole cut in it by a trim loop of
 * two pieces: a NURBS trim curve (an arc bulging up in v) and a
 * piecewise-linear segment closing it along v = 0.5.  The outer loop is
 * the parameter square's edge, counterclockwise; the hole's loop runs
 * clockwise, so the surface is kept outside it.
 *
 * The patch's control points stand at x = 4 i / 3 - 2, z = 4 j / 3 - 2,
 * so the point of parameters (u, v) lies at x = 4 u - 2, z = 4 v - 2; the
 * four middle ones are raised to 0.6, so the height is 0.6 B(u) B(v) with
 * B(t) = 3 t (1 - t).  The arc runs from (0.3, 0.5) to (0.7, 0.5) through
 * control points (0.3, 0.8) and (0.7, 0.8), reaching v = 0.725: the hole
 * spans x from -0.8 to 0.8 and z from 0 to 0.9.  The surface is orange,
 * lit from the eye, both sides.
 *
 * The camera looks straight down from (0, 9, 0), -z upwards on the screen,
 * through gluPerspective(40, 400 / 400, 1, 20).  The background is black.
 */
#include <GL/gl.h>
#include <GL/glu.h>

#include <stdio.h>
#include <stdlib.h>

#include "offscreen.h"

#ifndef CALLBACK
#define CALLBACK
#endif

#define WIDTH 400
#define HEIGHT 400

static GLUnurbsObj *theNurb;
static GLfloat ctlpoints[4][4][3];
static GLfloat knots[8] = {0, 0, 0, 0, 1, 1, 1, 1};
static GLfloat edgePt[5][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}};
static GLfloat arcPt[4][2] = {{0.3f, 0.5f}, {0.3f, 0.8f}, {0.7f, 0.8f}, {0.7f, 0.5f}};
static GLfloat closePt[2][2] = {{0.7f, 0.5f}, {0.3f, 0.5f}};

static void CALLBACK nurbsError(GLenum errorCode)
{
    fprintf(stderr, "trimmed: NURBS error: %s\n", (const char *)gluErrorString(errorCode));
    exit(1);
}

static void init(void)
{
    const GLfloat white[4] = {1, 1, 1, 1};
    const GLfloat above[4] = {0, 0, 1, 0}; /* set under the identity: from the eye */
    const GLfloat orange[4] = {0.9f, 0.5f, 0.1f, 1};
    int u, v;

    for (u = 0; u < 4; u++)
        for (v = 0; v < 4; v++) {
            ctlpoints[u][v][0] = 4.0f * (GLfloat)u / 3.0f - 2.0f;
            ctlpoints[u][v][1] = (u == 1 || u == 2) && (v == 1 || v == 2) ? 0.6f : 0.0f;
            ctlpoints[u][v][2] = 4.0f * (GLfloat)v / 3.0f - 2.0f;
        }

    glClearColor(0, 0, 0, 1);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_POSITION, above);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, orange);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_AUTO_NORMAL);
    glEnable(GL_NORMALIZE);

    theNurb = gluNewNurbsRenderer();
    if (!theNurb) {
        fprintf(stderr, "trimmed: out of memory\n");
        exit(1);
    }
    gluNurbsProperty(theNurb, GLU_SAMPLING_TOLERANCE, 25.0);
    gluNurbsProperty(theNurb, GLU_DISPLAY_MODE, GLU_FILL);
    gluNurbsCallback(theNurb, GLU_ERROR, (GLvoid (CALLBACK *)())nurbsError);
}

static void reshape(int w, int h)
{
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(40.0, (GLdouble)w / (GLdouble)h, 1.0, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 9.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, -1.0);
}

static void display(void)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gluBeginSurface(theNurb);
    gluNurbsSurface(theNurb, 8, knots, 8, knots, 4 * 3, 3, &ctlpoints[0][0][0], 4, 4, GL_MAP2_VERTEX_3);
    gluBeginTrim(theNurb);
    gluPwlCurve(theNurb, 5, &edgePt[0][0], 2, GLU_MAP1_TRIM_2);
    gluEndTrim(theNurb);
    gluBeginTrim(theNurb);
    gluNurbsCurve(theNurb, 8, knots, 2, &arcPt[0][0], 4, GLU_MAP1_TRIM_2);
    gluPwlCurve(theNurb, 2, &closePt[0][0], 2, GLU_MAP1_TRIM_2);
    gluEndTrim(theNurb);
    gluEndSurface(theNurb);
}

int main(int argc, char **argv)
{
    int status = offscreenMain(argc, argv, WIDTH, HEIGHT, init, reshape, display);
    gluDeleteNurbsRenderer(theNurb);
    return status;
}
