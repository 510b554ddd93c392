/* SPDX-License-Identifier: MIT */
/*
 * extrude: a glyph's outline extruded into a solid, as the GLUT demos of
 * extruded text built theirs: the tessellator fills the outline for the
 * front and the back face, and each contour's sides are a quad strip.
 *
 * The glyph is a "P" 2 units tall: the outside counterclockwise, from
 * (0, 0) along the stem's foot to (0.4, 0), up to the bowl's foot
 * (0.4, 0.7), round the bowl (a half circle about (0.8, 1.35) of radius
 * 0.65) to the top (0, 2); the counter, clockwise, a half circle of
 * radius 0.35 about the same centre closed by the stem at x = 0.4.  The
 * solid runs from z = -0.4 to z = 0.4; the front (z = 0.4) is red, the
 * back blue, the sides grey.
 *
 * Two of them, centred on (-1.6, 0, 0) and (1.6, 0, 0) (the glyph's point
 * (0.7, 1) on them), the right one turned half round about y, so that its
 * back faces the camera.  The camera looks from (1, 3, 8) at the origin,
 * up along +y, through gluPerspective(40, 480 / 320, 1, 30); the light
 * comes from behind it.  Back faces are culled: each face is seen only if
 * its triangles turn counterclockwise towards the eye.
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

#define WIDTH 480
#define HEIGHT 320
#define ARC 12                      /* segments of each half circle */
#define DEPTH 0.4                   /* half the thickness */

static GLdouble outline[4 + ARC + 1][3];
static GLdouble counter[2 + ARC + 1][3];
static const int outlineCount = 4 + ARC + 1, counterCount = 2 + ARC + 1;
static GLuint glyph;

/* The z of the face being filled: the polygon data of the tessellation. */
static GLdouble front = DEPTH, back = -DEPTH;

static void CALLBACK beginCB(GLenum type)
{
    glBegin(type);
}

static void CALLBACK vertexCB(GLvoid *vertex, GLvoid *face)
{
    const GLdouble *v = (const GLdouble *)vertex;
    glVertex3d(v[0], v[1], *(const GLdouble *)face);
}

static void CALLBACK endCB(void)
{
    glEnd();
}

static void CALLBACK errorCB(GLenum err)
{
    fprintf(stderr, "extrude: %s\n", (const char *)gluErrorString(err));
    exit(1);
}

/* An outline that crosses itself would need new vertices; this one does
 * not, but a demo takes any glyph. */
static void CALLBACK combineCB(GLdouble coords[3], void *data[4], GLfloat weight[4], void **out)
{
    GLdouble *v = (GLdouble *)malloc(3 * sizeof(GLdouble));
    (void)data;
    (void)weight;
    if (v) {
        v[0] = coords[0];
        v[1] = coords[1];
        v[2] = coords[2];
    }
    *out = v; /* leaked, as in the demos; never called for this glyph */
}

/* Half circle about (cx, cy) of radius r from angle a0, turning by da
 * each step (radians), into v. */
static void arc(GLdouble (*v)[3], double cx, double cy, double r, double a0, double da)
{
    int i;
    for (i = 0; i <= ARC; i++) {
        v[i][0] = cx + r * cos(a0 + i * da);
        v[i][1] = cy + r * sin(a0 + i * da);
        v[i][2] = 0.0;
    }
}

static void makeOutline(void)
{
    const double pi = 3.14159265358979323846;
    static const GLdouble stem[4][2] = {{0.0, 2.0}, {0.0, 0.0}, {0.4, 0.0}, {0.4, 0.7}};
    int i;
    for (i = 0; i < 4; i++) {
        outline[i][0] = stem[i][0];
        outline[i][1] = stem[i][1];
    }
    arc(outline + 4, 0.8, 1.35, 0.65, -pi / 2, pi / ARC);   /* up round the right */
    counter[0][0] = 0.4;
    counter[0][1] = 1.0;
    counter[1][0] = 0.4;
    counter[1][1] = 1.7;
    arc(counter + 2, 0.8, 1.35, 0.35, pi / 2, -pi / ARC);   /* down round the right */
}

static void tessContour(GLUtesselator *tobj, GLdouble (*v)[3], int n)
{
    int i;
    gluTessBeginContour(tobj);
    for (i = 0; i < n; i++)
        gluTessVertex(tobj, v[i], v[i]);
    gluTessEndContour(tobj);
}

/* A face at z = *face, facing +z or -z as the normal says. */
static void drawFace(GLUtesselator *tobj, GLdouble *face, GLdouble nz)
{
    glNormal3d(0.0, 0.0, nz);
    gluTessNormal(tobj, 0.0, 0.0, nz);
    gluTessBeginPolygon(tobj, face);
    tessContour(tobj, outline, outlineCount);
    tessContour(tobj, counter, counterCount);
    gluTessEndPolygon(tobj);
}

/* The sides of a contour with the solid on its left: one quad strip, each
 * quad's normal (flat shading) before its last two vertices. */
static void drawSides(GLdouble (*v)[3], int n)
{
    int i;
    glBegin(GL_QUAD_STRIP);
    glVertex3d(v[0][0], v[0][1], front);
    glVertex3d(v[0][0], v[0][1], back);
    for (i = 1; i <= n; i++) {
        const GLdouble *p = v[i - 1], *q = v[i % n];
        double dx = q[0] - p[0], dy = q[1] - p[1], len = sqrt(dx * dx + dy * dy);
        glNormal3d(dy / len, -dx / len, 0.0);
        glVertex3d(q[0], q[1], front);
        glVertex3d(q[0], q[1], back);
    }
    glEnd();
}

static void init(void)
{
    static const GLfloat fromBehindTheEye[] = {0.2f, 0.4f, 1.0f, 0.0f};
    static const GLfloat ambient[] = {0.25f, 0.25f, 0.25f, 1.0f};
    GLUtesselator *tobj;

    makeOutline();
    tobj = gluNewTess();
    if (!tobj) {
        fprintf(stderr, "extrude: out of memory\n");
        exit(1);
    }
    gluTessCallback(tobj, GLU_TESS_BEGIN, (_GLUfuncptr)beginCB);
    gluTessCallback(tobj, GLU_TESS_VERTEX_DATA, (_GLUfuncptr)vertexCB);
    gluTessCallback(tobj, GLU_TESS_END, (_GLUfuncptr)endCB);
    gluTessCallback(tobj, GLU_TESS_ERROR, (_GLUfuncptr)errorCB);
    gluTessCallback(tobj, GLU_TESS_COMBINE, (_GLUfuncptr)combineCB);
    gluTessProperty(tobj, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);

    glyph = glGenLists(1);
    glNewList(glyph, GL_COMPILE);
    glColor3f(0.9f, 0.15f, 0.1f);
    drawFace(tobj, &front, 1.0);
    glColor3f(0.15f, 0.3f, 0.95f);
    drawFace(tobj, &back, -1.0);
    glColor3f(0.7f, 0.7f, 0.7f);
    drawSides(outline, outlineCount);
    drawSides(counter, counterCount);
    glEndList();
    gluDeleteTess(tobj);

    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glShadeModel(GL_FLAT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_POSITION, fromBehindTheEye);
}

static void reshape(int w, int h)
{
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(40.0, (GLfloat)w / (GLfloat)h, 1.0, 30.0);
    glMatrixMode(GL_MODELVIEW);
}

static void drawGlyph(GLfloat x, GLfloat turn)
{
    glPushMatrix();
    glTranslatef(x, 0.0f, 0.0f);
    glRotatef(turn, 0.0f, 1.0f, 0.0f);
    glTranslatef(-0.7f, -1.0f, 0.0f);
    glCallList(glyph);
    glPopMatrix();
}

static void display(void)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    gluLookAt(1.0, 3.0, 8.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    drawGlyph(-1.6f, 0.0f);
    drawGlyph(1.6f, 180.0f);
}

int main(int argc, char **argv)
{
    return offscreenMain(argc, argv, WIDTH, HEIGHT, init, reshape, display);
}
