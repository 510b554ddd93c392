/* SPDX-License-Identifier: MIT */
/*
 * quadrics: a quadric showcase, the way such demos set their quadrics up,
 * in six panels of 160 x 160 pixels (a 480 x 320 frame, back faces culled
 * throughout, black behind):
 *
 *   top row, left:    a closed tube seen from below its far end: a
 *                     cylinder of radius 0.8 from z = 0 to z = 1.6, its
 *                     wall textured with red and white stripes (the classic
 *                     mapping), a green cap at z = 1.6 and a green cap at
 *                     z = 0 drawn with GLU_INSIDE, so that it faces -z, out
 *                     of the tube, towards the eye at (1.8, 1.2, -2.6).
 *   top row, middle:  a sphere of radius 1 with a white texture holding one
 *                     red texel (column 6, row 10 of 16 x 16), looked at
 *                     straight on where the classic mapping puts it.
 *   top row, right:   a disk (radius 0.25 to 1, 8 slices, 3 loops), face
 *                     on, in GLU_LINE: its rings and spokes.
 *   bottom row, left: the same disk in GLU_POINT: its vertices, 5 pixels.
 *   bottom, middle:   the same disk in GLU_SILHOUETTE: its two circles.
 *   bottom, right:    a sphere (12 slices, 8 stacks) in GLU_LINE, seen from
 *                     +x: its meridians and parallels.
 *
 * The disks and the line sphere fill their panels through glOrtho(-1.2,
 * 1.2, -1.2, 1.2, -5, 5), the disks' +y up, lines 3 pixels wide.
 */
#include <GL/gl.h>
#include <GL/glu.h>

#include <math.h>

#include "offscreen.h"

#define WIDTH 480
#define HEIGHT 320
#define PANEL 160
#define MARKS 16

static GLUquadricObj *quadric;
static GLuint stripes, marked;

static void makeTextures(void)
{
    static GLubyte stripeTexels[8][3], markTexels[MARKS][MARKS][3];
    int i, j;

    for (i = 0; i < 8; i++) {
        stripeTexels[i][0] = 230;
        stripeTexels[i][1] = stripeTexels[i][2] = (GLubyte)(i % 2 ? 230 : 20);
    }
    for (i = 0; i < MARKS; i++)
        for (j = 0; j < MARKS; j++) {
            markTexels[i][j][0] = 255;
            markTexels[i][j][1] = markTexels[i][j][2] = (GLubyte)(i == 10 && j == 6 ? 0 : 255);
        }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(1, &stripes);
    glBindTexture(GL_TEXTURE_2D, stripes);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 8, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, stripeTexels);
    glGenTextures(1, &marked);
    glBindTexture(GL_TEXTURE_2D, marked);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, MARKS, MARKS, 0, GL_RGB, GL_UNSIGNED_BYTE, markTexels);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
}

static void init(void)
{
    quadric = gluNewQuadric();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glLineWidth(3.0f);
    glPointSize(5.0f);
    makeTextures();
}

static void reshape(int w, int h)
{
    (void)w;
    (void)h;
}

/* Panel (column, row), row 0 at the top. */
static void panel(int column, int row)
{
    glViewport(column * PANEL, HEIGHT - (row + 1) * PANEL, PANEL, PANEL);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

static void flatView(void)
{
    glMatrixMode(GL_PROJECTION);
    glOrtho(-1.2, 1.2, -1.2, 1.2, -5.0, 5.0);
    glMatrixMode(GL_MODELVIEW);
}

static void drawTube(void)
{
    panel(0, 0);
    glMatrixMode(GL_PROJECTION);
    gluPerspective(40.0, 1.0, 0.5, 20.0);
    glMatrixMode(GL_MODELVIEW);
    gluLookAt(1.8, 1.2, -2.6, 0.0, 0.0, 0.8, 0.0, 0.0, 1.0);

    gluQuadricTexture(quadric, GL_TRUE);
    glBindTexture(GL_TEXTURE_2D, stripes);
    glEnable(GL_TEXTURE_2D);
    gluCylinder(quadric, 0.8, 0.8, 1.6, 32, 1);
    glDisable(GL_TEXTURE_2D);
    gluQuadricTexture(quadric, GL_FALSE);

    glColor3f(0.1f, 0.8f, 0.2f);
    gluQuadricOrientation(quadric, GLU_INSIDE);  /* the far end faces out: -z */
    gluDisk(quadric, 0.0, 0.8, 32, 1);
    gluQuadricOrientation(quadric, GLU_OUTSIDE);
    glTranslatef(0.0f, 0.0f, 1.6f);
    gluDisk(quadric, 0.0, 0.8, 32, 1);
}

static void drawMarkedSphere(void)
{
    /* Where the classic mapping puts the middle of texel (6, 10). */
    const double s = 6.5 / MARKS, t = 10.5 / MARKS, pi = 3.14159265358979;
    const double x = sin(2.0 * pi * s) * sin(pi * (1.0 - t));
    const double y = cos(2.0 * pi * s) * sin(pi * (1.0 - t));
    const double z = cos(pi * (1.0 - t));

    panel(1, 0);
    glMatrixMode(GL_PROJECTION);
    glOrtho(-1.5, 1.5, -1.5, 1.5, 1.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
    gluLookAt(6.0 * x, 6.0 * y, 6.0 * z, x, y, z, 0.0, 0.0, 1.0);
    gluQuadricTexture(quadric, GL_TRUE);
    glBindTexture(GL_TEXTURE_2D, marked);
    glEnable(GL_TEXTURE_2D);
    gluSphere(quadric, 1.0f, 64, 32);
    glDisable(GL_TEXTURE_2D);
    gluQuadricTexture(quadric, GL_FALSE);
}

static void drawStyledDisk(int column, int row, GLenum style)
{
    panel(column, row);
    flatView();
    glColor3f(1.0f, 1.0f, 1.0f);
    gluQuadricDrawStyle(quadric, style);
    gluDisk(quadric, 0.25, 1.0, 8, 3);
    gluQuadricDrawStyle(quadric, GLU_FILL);
}

static void drawLineSphere(void)
{
    panel(2, 1);
    flatView();
    gluLookAt(3.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0);
    glColor3f(1.0f, 1.0f, 1.0f);
    gluQuadricDrawStyle(quadric, GLU_LINE);
    gluSphere(quadric, 1.0f, 12, 8);
    gluQuadricDrawStyle(quadric, GLU_FILL);
}

static void display(void)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawTube();
    drawMarkedSphere();
    drawStyledDisk(2, 0, GLU_LINE);
    drawStyledDisk(0, 1, GLU_POINT);
    drawStyledDisk(1, 1, GLU_SILHOUETTE);
    drawLineSphere();
}

int main(int argc, char **argv)
{
    int status = offscreenMain(argc, argv, WIDTH, HEIGHT, init, reshape, display);
    gluDeleteQuadric(quadric);
    return status;
}
