/* SPDX-License-Identifier: MIT */
/* nogl: the GL of a build without Mesa (offscreen_none.c), a shared
 * library like any GL: each entry point zoom and softglu call, doing
 * nothing.  softglu binds to these at load time, as it would to Mesa's;
 * softglu-trace --run's interposer stands in front of them and forwards to
 * them. */
#include <GL/gl.h>

void glBegin(GLenum mode) { (void)mode; }
void glEnd(void) {}
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { (void)x; (void)y; (void)z; }
void glTexCoord2f(GLfloat s, GLfloat t) { (void)s; (void)t; }
void glVertex2f(GLfloat x, GLfloat y) { (void)x; (void)y; }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { (void)x; (void)y; (void)z; }
void glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar)
{
    (void)left; (void)right; (void)bottom; (void)top; (void)zNear; (void)zFar;
}
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { (void)r; (void)g; (void)b; (void)a; }
void glClear(GLbitfield mask) { (void)mask; }
void glEnable(GLenum cap) { (void)cap; }
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) { (void)x; (void)y; (void)w; (void)h; }
void glMatrixMode(GLenum mode) { (void)mode; }
void glLoadIdentity(void) {}
void glPushMatrix(void) {}
void glPopMatrix(void) {}
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { (void)x; (void)y; (void)z; }
void glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) { (void)a; (void)x; (void)y; (void)z; }
void glColor3f(GLfloat r, GLfloat g, GLfloat b) { (void)r; (void)g; (void)b; }
