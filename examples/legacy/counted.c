/* SPDX-License-Identifier: MIT */
/* counted: an old-style frame (a camera, a lit quadric scene, a 2D overlay)
 * that runs anywhere, without a display or a GL library.
 *
 * The first part is what a legacy program draws; it needs softglu's
 * compatibility switch (pkg-config softglu-compat, or porting.sh and -lGLU).
 * The second part stands in for GL: it only counts the calls softglu sends,
 * and main checks the counts.  Build it with -rdynamic so that libsoftglu
 * binds to these functions.  On a board, a real program links -lGL instead
 * (Mesa's libgl1 and libgl1-mesa-dri for armel, or the board vendor's GL)
 * and opens its window with GLUT, EGL or the like.  C89. */
#include <GL/gl.h>
#include <GL/glu.h>

#include <stdio.h>

static void drawFrame(void)
{
    GLUquadricObj *q = gluNewQuadric();

    if (q == NULL) {
        fprintf(stderr, "counted: out of memory\n");
        return;
    }
    gluQuadricNormals(q, GLU_SMOOTH);
    gluQuadricTexture(q, GL_TRUE);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 4.0 / 3.0, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 5.0, 10.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);

    gluSphere(q, 1.0f, 16, 8);
    gluCylinder(q, 1.0, 0.5, 2.0, 16, 4);
    gluPartialDisk(q, 0.5, 1.0, 16, 2, 45.0, 270.0);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, 640.0, 0.0, 480.0);
    glMatrixMode(GL_MODELVIEW);

    gluDeleteQuadric(q);
}

/* ---- A GL that counts (a real program links -lGL instead). ---- */

static int begins, ends, vertices, normals, matrices;

void glBegin(GLenum mode) { (void)mode; ++begins; }
void glEnd(void) { ++ends; }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { (void)x; (void)y; (void)z; ++normals; }
void glTexCoord2f(GLfloat s, GLfloat t) { (void)s; (void)t; }
void glVertex2f(GLfloat x, GLfloat y) { (void)x; (void)y; ++vertices; }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { (void)x; (void)y; (void)z; ++vertices; }
void glFrustum(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f)
{
    (void)l; (void)r; (void)b; (void)t; (void)n; (void)f;
    ++matrices;
}
void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f)
{
    (void)l; (void)r; (void)b; (void)t; (void)n; (void)f;
    ++matrices;
}
void glMultMatrixd(const GLdouble *m) { (void)m; ++matrices; }
void glTranslated(GLdouble x, GLdouble y, GLdouble z) { (void)x; (void)y; (void)z; ++matrices; }
void glMatrixMode(GLenum mode) { (void)mode; }
void glLoadIdentity(void) { }

int main(void)
{
    /* The sphere: 8 primitives of 2 * 17 vertices and two fans of 18; the
     * cylinder: 16 strips of 2 * 5; the partial disk: 2 strips of 2 * 17. */
    const int wantPrimitives = 10 + 16 + 2;
    const int wantVertices = 8 * 34 + 2 * 18 + 16 * 10 + 2 * 34;

    drawFrame();
    printf("counted: %d primitives, %d vertices, %d normals, %d matrices\n",
           begins, vertices, normals, matrices);
    if (begins != wantPrimitives || ends != begins || vertices != wantVertices || matrices < 3) {
        fprintf(stderr, "counted: expected %d primitives and %d vertices\n", wantPrimitives, wantVertices);
        return 1;
    }
    return 0;
}
