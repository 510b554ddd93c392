/* SPDX-License-Identifier: MIT */
/*
 * contours: four sets of contours, each filled under each winding rule,
 * written as the textbook programs on winding rules were: one display list
 * per rule, compiled once, the tessellator's output going straight into
 * it; the square with a hole given through the older gluBeginPolygon and
 * gluNextContour on a GLUtriangulatorObj.
 *
 * A 400 x 320 frame of 80 x 80 cells, one pixel per unit
 * (gluOrtho2D(0, 400, 0, 320)), white on black.  Columns, left to right:
 * GLU_TESS_WINDING_ODD, _NONZERO, _POSITIVE, _NEGATIVE, _ABS_GEQ_TWO.
 * Rows, top to bottom, in each cell's coordinates (0 to 80, y up), with
 * the winding number of each part:
 *
 *   0  two squares (12, 12)-(68, 68) and (25, 25)-(55, 55), both
 *      counterclockwise: the ring 1, the middle 2.
 *   1  the square (12, 12)-(68, 68) clockwise with the hole (28, 28)-
 *      (52, 52) counterclockwise (gluNextContour(GLU_INTERIOR)).  No
 *      normal is given, so the tessellator takes the one about which the
 *      contours' area is positive, here -z: about it the ring winds 1, the
 *      hole 0.
 *   2  three squares (8, 8)-(72, 72), (22, 22)-(58, 58) and (34, 34)-
 *      (46, 46), counterclockwise: 1, 2 and 3 from the outside in.
 *   3  a cross of two bars, (8, 30)-(72, 50) and (30, 8)-(50, 72), both
 *      counterclockwise: the arms 1, the middle 2 (its corners are where
 *      the bars' edges cross: the combine callback's vertices).
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
#define HEIGHT 320
#define CELL 80.0f

static GLuint lists;

static GLdouble rects[4][4][3] = {
    {{12, 12, 0}, {68, 12, 0}, {68, 68, 0}, {12, 68, 0}},
    {{25, 25, 0}, {55, 25, 0}, {55, 55, 0}, {25, 55, 0}},
    {{8, 8, 0}, {72, 8, 0}, {72, 72, 0}, {8, 72, 0}},
    {{22, 22, 0}, {58, 22, 0}, {58, 58, 0}, {22, 58, 0}},
};
static GLdouble smallest[4][3] = {{34, 34, 0}, {46, 34, 0}, {46, 46, 0}, {34, 46, 0}};
static GLdouble outside[4][3] = {{12, 12, 0}, {12, 68, 0}, {68, 68, 0}, {68, 12, 0}};
static GLdouble hole[4][3] = {{28, 28, 0}, {52, 28, 0}, {52, 52, 0}, {28, 52, 0}};
static GLdouble across[4][3] = {{8, 30, 0}, {72, 30, 0}, {72, 50, 0}, {8, 50, 0}};
static GLdouble upright[4][3] = {{30, 8, 0}, {50, 8, 0}, {50, 72, 0}, {30, 72, 0}};

static void CALLBACK beginCallback(GLenum which)
{
    glBegin(which);
}

static void CALLBACK endCallback(void)
{
    glEnd();
}

static void CALLBACK errorCallback(GLenum errorCode)
{
    fprintf(stderr, "Tessellation Error: %s\n", (const char *)gluErrorString(errorCode));
    exit(1);
}

/* The vertices made where edges cross, freed once their list is made. */
static GLdouble *newVertices[16];
static int newCount;

static void CALLBACK combineCallback(GLdouble coords[3], GLdouble *vertex_data[4], GLfloat weight[4],
                                     GLdouble **dataOut)
{
    GLdouble *vertex;
    (void)vertex_data;
    (void)weight;
    if (newCount == 16 || (vertex = (GLdouble *)malloc(3 * sizeof(GLdouble))) == NULL) {
        *dataOut = NULL;
        return;
    }
    vertex[0] = coords[0];
    vertex[1] = coords[1];
    vertex[2] = coords[2];
    newVertices[newCount++] = vertex;
    *dataOut = vertex;
}

static void contour(GLUtesselator *tobj, GLdouble v[4][3])
{
    int i;
    gluTessBeginContour(tobj);
    for (i = 0; i < 4; i++)
        gluTessVertex(tobj, v[i], v[i]);
    gluTessEndContour(tobj);
}

/* Moves the origin to the current column's cell of `row`. */
static void moveToRow(int row)
{
    glPopMatrix();
    glPushMatrix();
    glTranslatef(0.0f, HEIGHT - (row + 1) * CELL, 0.0f);
}

/* Compiles the list of all four sets under `rule`. */
static void makeList(GLuint list, GLUtesselator *tobj, GLUtriangulatorObj *old, GLdouble rule)
{
    int i;

    gluTessProperty(tobj, GLU_TESS_WINDING_RULE, rule);
    gluTessProperty(old, GLU_TESS_WINDING_RULE, rule);
    glNewList(list, GL_COMPILE);
    glPushMatrix();

    moveToRow(0);
    gluTessBeginPolygon(tobj, NULL);
    contour(tobj, rects[0]);
    contour(tobj, rects[1]);
    gluTessEndPolygon(tobj);

    moveToRow(1);
    gluBeginPolygon(old);
    for (i = 0; i < 4; i++)
        gluTessVertex(old, outside[i], outside[i]);
    gluNextContour(old, GLU_INTERIOR);
    for (i = 0; i < 4; i++)
        gluTessVertex(old, hole[i], hole[i]);
    gluEndPolygon(old);

    moveToRow(2);
    gluTessBeginPolygon(tobj, NULL);
    contour(tobj, rects[2]);
    contour(tobj, rects[3]);
    contour(tobj, smallest);
    gluTessEndPolygon(tobj);

    moveToRow(3);
    gluTessBeginPolygon(tobj, NULL);
    contour(tobj, across);
    contour(tobj, upright);
    gluTessEndPolygon(tobj);

    glPopMatrix();
    glEndList();
    while (newCount > 0)
        free(newVertices[--newCount]);
}

static void init(void)
{
    GLUtesselator *tobj;
    GLUtriangulatorObj *old;

    glClearColor(0.0, 0.0, 0.0, 0.0);
    glShadeModel(GL_FLAT);

    tobj = gluNewTess();
    old = gluNewTess();
    if (tobj == NULL || old == NULL) {
        fprintf(stderr, "contours: out of memory\n");
        exit(1);
    }
    gluTessCallback(tobj, GLU_TESS_VERTEX, (GLvoid (*)())glVertex3dv);
    gluTessCallback(tobj, GLU_TESS_BEGIN, (GLvoid (*)())beginCallback);
    gluTessCallback(tobj, GLU_TESS_END, (GLvoid (*)())endCallback);
    gluTessCallback(tobj, GLU_TESS_ERROR, (GLvoid (*)())errorCallback);
    gluTessCallback(tobj, GLU_TESS_COMBINE, (GLvoid (*)())combineCallback);
    /* The old names of the same callbacks, on the old object. */
    gluTessCallback(old, GLU_BEGIN, (GLvoid (*)())glBegin);
    gluTessCallback(old, GLU_VERTEX, (GLvoid (*)())glVertex3dv);
    gluTessCallback(old, GLU_END, (GLvoid (*)())glEnd);
    gluTessCallback(old, GLU_ERROR, (GLvoid (*)())errorCallback);

    lists = glGenLists(5);
    makeList(lists, tobj, old, GLU_TESS_WINDING_ODD);
    makeList(lists + 1, tobj, old, GLU_TESS_WINDING_NONZERO);
    makeList(lists + 2, tobj, old, GLU_TESS_WINDING_POSITIVE);
    makeList(lists + 3, tobj, old, GLU_TESS_WINDING_NEGATIVE);
    makeList(lists + 4, tobj, old, GLU_TESS_WINDING_ABS_GEQ_TWO);
    gluDeleteTess(tobj);
    gluDeleteTess(old);
}

static void reshape(int w, int h)
{
    glViewport(0, 0, (GLsizei)w, (GLsizei)h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, (GLdouble)w, 0.0, (GLdouble)h);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

static void display(void)
{
    GLuint rule;
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1.0, 1.0, 1.0);
    for (rule = 0; rule < 5; rule++) {
        glPushMatrix();
        glTranslatef(rule * CELL, 0.0f, 0.0f);
        glCallList(lists + rule);
        glPopMatrix();
    }
    glFlush();
}

int main(int argc, char **argv)
{
    return offscreenMain(argc, argv, WIDTH, HEIGHT, init, reshape, display);
}
