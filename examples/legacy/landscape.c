/* SPDX-License-Identifier: MIT */
/*
 * landscape: a bumpy NURBS landscape with a round lake cut out of it, and
 * a NURBS curve flying over it, as the GLUT demos of NURBS surfaces drew
 * theirs: GL_AUTO_NORMAL lights the surface, a trim loop cuts the hole.
 *
 * The landscape is a bicubic surface of 8 x 8 control points over the
 * parameter square [0, 5] x [0, 5] (knots 0 0 0 0 1 2 3 4 5 5 5 5 both
 * ways).  Its control points stand at Greville's abscissae, so the point
 * of parameters (u, v) lies at x = 1.2 u - 3, z = 1.2 v - 3, its height
 * between -0.375 and 0.375.  The trim keeps the square (counterclockwise)
 * less a 32-sided hole of radius 1 about (2.5, 2.5) (clockwise): a round
 * hole of radius 1.2 about the origin.  The surface is green.
 *
 * The curve is a cubic of four control points at height 1 along z = 2,
 * from x = -2.5 to x = 2.5, drawn red and unlit, 3 pixels wide.
 *
 * The camera looks straight down from (0, 9, 0), -z upwards on the
 * screen, through gluPerspective(40, 400 / 400, 1, 20); the light comes
 * from the eye, so from above.  The background is black.
 */
#include <GL/gl.h>
#include <GL/glu.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include "offscreen.h"

#ifndef CALLBACK
#define CALLBACK
#endif

#define WIDTH 400
#define HEIGHT 400
#define POINTS 8
#define HOLE 32

static GLUnurbsObj *theNurb;
static GLfloat ctlpoints[POINTS][POINTS][3];
static GLfloat knots[POINTS + 4] = {0, 0, 0, 0, 1, 2, 3, 4, 5, 5, 5, 5};
static GLfloat edge[5][2] = {{0, 0}, {5, 0}, {5, 5}, {0, 5}, {0, 0}};
static GLfloat hole[HOLE + 1][2];
static GLfloat curveKnots[8] = {0, 0, 0, 0, 1, 1, 1, 1};
static GLfloat curvePoints[4][3] = {{-2.5f, 1, 2}, {-1, 1.5f, 2}, {1, 0.5f, 2}, {2.5f, 1, 2}};

static void CALLBACK nurbsError(GLenum errorCode)
{
    fprintf(stderr, "landscape: NURBS error: %s\n", (const char *)gluErrorString(errorCode));
    exit(1);
}

static void init(void)
{
    const GLfloat greville[POINTS] = {0.0f, 1.0f / 3.0f, 1.0f, 2.0f, 3.0f, 4.0f, 14.0f / 3.0f, 5.0f};
    const GLfloat white[4] = {1, 1, 1, 1};
    const GLfloat above[4] = {0, 0, 1, 0}; /* set under the identity: from the eye */
    const GLfloat green[4] = {0.2f, 0.8f, 0.3f, 1};
    const double pi = 3.14159265358979323846;
    int i, j;

    for (i = 0; i < POINTS; i++)
        for (j = 0; j < POINTS; j++) {
            ctlpoints[i][j][0] = 1.2f * greville[i] - 3.0f;
            ctlpoints[i][j][1] = (GLfloat)((i * 3 + j * 5) % 4 - 1.5) * 0.25f;
            ctlpoints[i][j][2] = 1.2f * greville[j] - 3.0f;
        }
    for (i = 0; i <= HOLE; i++) {
        double a = -2 * pi * (i % HOLE) / HOLE; /* clockwise */
        hole[i][0] = (GLfloat)(2.5 + cos(a));
        hole[i][1] = (GLfloat)(2.5 + sin(a));
    }

    glClearColor(0, 0, 0, 1);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_POSITION, above);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, green);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_AUTO_NORMAL);
    glEnable(GL_NORMALIZE);

    theNurb = gluNewNurbsRenderer();
    if (!theNurb) {
        fprintf(stderr, "landscape: out of memory\n");
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
    gluNurbsSurface(theNurb, POINTS + 4, knots, POINTS + 4, knots, POINTS * 3, 3, &ctlpoints[0][0][0], 4, 4,
                    GL_MAP2_VERTEX_3);
    gluBeginTrim(theNurb);
    gluPwlCurve(theNurb, 5, &edge[0][0], 2, GLU_MAP1_TRIM_2);
    gluEndTrim(theNurb);
    gluBeginTrim(theNurb);
    gluPwlCurve(theNurb, HOLE + 1, &hole[0][0], 2, GLU_MAP1_TRIM_2);
    gluEndTrim(theNurb);
    gluEndSurface(theNurb);

    glDisable(GL_LIGHTING);
    glColor3f(1, 0, 0);
    glLineWidth(3);
    gluBeginCurve(theNurb);
    gluNurbsCurve(theNurb, 8, curveKnots, 3, &curvePoints[0][0], 4, GL_MAP1_VERTEX_3);
    gluEndCurve(theNurb);
    glEnable(GL_LIGHTING);
}

int main(int argc, char **argv)
{
    int status = offscreenMain(argc, argv, WIDTH, HEIGHT, init, reshape, display);
    gluDeleteNurbsRenderer(theNurb);
    return status;
}
