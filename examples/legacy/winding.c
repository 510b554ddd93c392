/* SPDX-License-Identifier: MIT */
/*
 * winding: three outlines filled by the polygon tessellator under each of
 * the five winding rules, the way old programs hand it their outlines:
 * glBegin, glVertex3dv and glEnd passed straight in as callbacks, and a
 * combine callback that mallocs the vertices it makes where edges cross.
 *
 * A 500 x 300 frame of 100 x 100 cells, one pixel per unit
 * (gluOrtho2D(0, 500, 0, 300)), black behind.  Columns, left to right:
 * GLU_TESS_WINDING_ODD, _NONZERO, _POSITIVE, _NEGATIVE, _ABS_GEQ_TWO.
 * Rows, top to bottom, in each cell's own coordinates (0 to 100, y up):
 *
 *   star    a pentagram: one contour through the points of a regular
 *           pentagon (centre (50, 50), radius 45, a point straight up),
 *           every second one, counterclockwise.  Its points wind once
 *           round, its middle pentagon twice.  Yellow.
 *   letter  an "A" as some outline fonts draw it: its outside and the hole
 *           above its bar both clockwise.  Its body winds -1, its hole -2,
 *           the notch between its legs 0.  Blue.
 *   pair    a square (10, 10)-(65, 65), counterclockwise, overlapping a
 *           32-sided circle about (62, 62) of radius 30, clockwise: the
 *           square alone winds 1, the circle alone -1, where they overlap
 *           0.  Green.
 *
 * ODD fills the star's points and leaves its middle, and the letter
 * with its hole open; NONZERO fills the star and the letter whole;
 * POSITIVE keeps the star and the square less the circle; NEGATIVE keeps
 * the whole letter and the circle less the square; ABS_GEQ_TWO keeps the
 * star's middle and the letter's hole.  ODD and NONZERO keep the pair
 * less their overlap.
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

#define WIDTH 500
#define HEIGHT 300
#define CELL 100.0

static const GLenum rules[5] = {GLU_TESS_WINDING_ODD, GLU_TESS_WINDING_NONZERO, GLU_TESS_WINDING_POSITIVE,
                                GLU_TESS_WINDING_NEGATIVE, GLU_TESS_WINDING_ABS_GEQ_TWO};

static GLdouble star[5][3];
static GLdouble letter[8][3] = {{10, 10, 0}, {40, 90, 0}, {60, 90, 0}, {90, 10, 0},
                                {72, 10, 0}, {65, 30, 0}, {35, 30, 0}, {28, 10, 0}};
static GLdouble letterHole[3][3] = {{40, 45, 0}, {50, 72, 0}, {60, 45, 0}};
static GLdouble square[4][3] = {{10, 10, 0}, {65, 10, 0}, {65, 65, 0}, {10, 65, 0}};
static GLdouble circle[32][3];

static GLUtesselator *tess;

/* The vertices the combine callback made for the polygon being drawn. */
static GLdouble *made[64];
static int madeCount;

static void CALLBACK combine(GLdouble coords[3], void *data[4], GLfloat weight[4], void **out)
{
    GLdouble *vertex = (GLdouble *)malloc(3 * sizeof(GLdouble));
    (void)data;
    (void)weight;
    if (vertex == NULL || madeCount == 64) {
        free(vertex);
        *out = NULL; /* the tessellator reports it and draws nothing */
        return;
    }
    vertex[0] = coords[0];
    vertex[1] = coords[1];
    vertex[2] = coords[2];
    made[madeCount++] = vertex;
    *out = vertex;
}

static void CALLBACK error(GLenum code)
{
    fprintf(stderr, "winding: tessellation error: %s\n", (const char *)gluErrorString(code));
    exit(1);
}

static void freeMade(void)
{
    while (madeCount > 0)
        free(made[--madeCount]);
}

static void contour(GLdouble (*vertices)[3], int count)
{
    int i;
    gluTessBeginContour(tess);
    for (i = 0; i < count; i++)
        gluTessVertex(tess, vertices[i], vertices[i]);
    gluTessEndContour(tess);
}

static void init(void)
{
    const double pi = 3.14159265358979323846;
    int i;

    for (i = 0; i < 5; i++) {
        double a = pi / 2 + (2 * i % 5) * 2 * pi / 5;
        star[i][0] = 50 + 45 * cos(a);
        star[i][1] = 50 + 45 * sin(a);
        star[i][2] = 0;
    }
    for (i = 0; i < 32; i++) {
        double a = -i * 2 * pi / 32;
        circle[i][0] = 62 + 30 * cos(a);
        circle[i][1] = 62 + 30 * sin(a);
        circle[i][2] = 0;
    }

    tess = gluNewTess();
    if (tess == NULL) {
        fprintf(stderr, "winding: out of memory\n");
        exit(1);
    }
    gluTessCallback(tess, GLU_TESS_BEGIN, (GLvoid (*)())glBegin);
    gluTessCallback(tess, GLU_TESS_VERTEX, (GLvoid (*)())glVertex3dv);
    gluTessCallback(tess, GLU_TESS_END, (GLvoid (*)())glEnd);
    gluTessCallback(tess, GLU_TESS_COMBINE, (GLvoid (*)())combine);
    gluTessCallback(tess, GLU_TESS_ERROR, (GLvoid (*)())error);
    gluTessNormal(tess, 0.0, 0.0, 1.0);

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

static void reshape(int w, int h)
{
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, (GLdouble)w, 0.0, (GLdouble)h);
    glMatrixMode(GL_MODELVIEW);
}

/* Fills the outline of `row` under rules[column] in its cell. */
static void drawCell(int row, int column)
{
    glPushMatrix();
    glTranslated(column * CELL, HEIGHT - (row + 1) * CELL, 0.0);
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, rules[column]);
    gluTessBeginPolygon(tess, NULL);
    switch (row) {
    case 0:
        glColor3f(1.0f, 0.85f, 0.1f);
        contour(star, 5);
        break;
    case 1:
        glColor3f(0.3f, 0.6f, 1.0f);
        contour(letter, 8);
        contour(letterHole, 3);
        break;
    default:
        glColor3f(0.2f, 0.85f, 0.3f);
        contour(square, 4);
        contour(circle, 32);
        break;
    }
    gluTessEndPolygon(tess);
    freeMade();
    glPopMatrix();
}

static void display(void)
{
    int row, column;
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    for (row = 0; row < 3; row++)
        for (column = 0; column < 5; column++)
            drawCell(row, column);
}

int main(int argc, char **argv)
{
    int status = offscreenMain(argc, argv, WIDTH, HEIGHT, init, reshape, display);
    gluDeleteTess(tess);
    return status;
}
