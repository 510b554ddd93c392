/* SPDX-License-Identifier: MIT */
/* sphere: draws a sphere with softglu into the application's GL.
 *
 * softglu sends its geometry to whatever glBegin, glVertex3f, ... the program
 * has: normally those of its GL library (link -lGL).  So that this example
 * runs anywhere, without a display, it brings a tiny GL of its own that only
 * counts what it receives; build it with -rdynamic (CMake: ENABLE_EXPORTS)
 * so that libsoftglu finds these functions. */
#include <GL/glu.h>

#include <stdio.h>

static int primitives, ends, normals, texcoords, vertices, frustums;

void glBegin(GLenum mode) { (void)mode; ++primitives; }
void glEnd(void) { ++ends; }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { (void)x; (void)y; (void)z; ++normals; }
void glTexCoord2f(GLfloat s, GLfloat t) { (void)s; (void)t; ++texcoords; }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { (void)x; (void)y; (void)z; ++vertices; }
void glVertex2f(GLfloat x, GLfloat y) { (void)x; (void)y; ++vertices; }
void glFrustum(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    (void)l; (void)r; (void)b; (void)t; (void)n; (void)f;
    ++frustums;
}

int main(void) {
    enum { slices = 16, stacks = 8 };
    GLUquadricObj *q = gluNewQuadric();

    gluPerspective(60.0, 4.0 / 3.0, 0.1, 100.0);
    gluQuadricDrawStyle(q, GLU_FILL);
    gluSphere(q, 1.0f, slices, stacks);

    printf("sphere: %d primitives, %d vertices, %d normals, %d texture coordinates, %d frustum\n",
           primitives, vertices, normals, texcoords, frustums);

    /* Two fans of slices + 2 vertices and one strip of 2 (slices + 1) per stack. */
    const int want = 2 * (slices + 2) + stacks * 2 * (slices + 1);
    if (primitives != stacks + 2 || ends != primitives || vertices != want || normals != vertices ||
        frustums != 1) {
        fprintf(stderr, "sphere: expected %d primitives and %d vertices\n", stacks + 2, want);
        return 1;
    }
    return 0;
}
