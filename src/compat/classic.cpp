// SPDX-License-Identifier: MIT
// The classic libGLU.so.1's names for the six calls that libsoftglu.so.1
// exports too.  Built with SOFTGLU_COMPAT, GL/glu.h names the compatibility
// layer's versions softglu_compat_gluSphere and so on; the classic object
// exports each under its plain name, with the classic signature:
// gluSphere's radius is a double there, narrowed here to the float radius
// softglu's sphere is drawn with (round to nearest, as a program compiled
// against softglu's header narrows it).  The other five have the same
// signature in both headers.

#include "../exact.h"  // first: the arithmetic guard

#include <GL/glu.h>

extern "C" {

void classicPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
    __asm__("gluPerspective");
GLUquadricObj *classicNewQuadric(void) __asm__("gluNewQuadric");
void classicQuadricDrawStyle(GLUquadricObj *qobj, GLenum drawStyle) __asm__("gluQuadricDrawStyle");
void classicCylinder(GLUquadricObj *qobj, GLdouble baseRadius, GLdouble topRadius, GLdouble height,
                     GLint slices, GLint stacks) __asm__("gluCylinder");
void classicDisk(GLUquadricObj *qobj, GLdouble innerRadius, GLdouble outerRadius, GLint slices, GLint loops)
    __asm__("gluDisk");
void classicSphere(GLUquadricObj *qobj, GLdouble radius, GLint slices, GLint stacks) __asm__("gluSphere");

void classicPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    gluPerspective(fovy, aspect, zNear, zFar);
}

GLUquadricObj *classicNewQuadric(void) { return gluNewQuadric(); }

void classicQuadricDrawStyle(GLUquadricObj *qobj, GLenum drawStyle) {
    gluQuadricDrawStyle(qobj, static_cast<int>(drawStyle));
}

void classicCylinder(GLUquadricObj *qobj, GLdouble baseRadius, GLdouble topRadius, GLdouble height,
                     GLint slices, GLint stacks) {
    gluCylinder(qobj, baseRadius, topRadius, height, slices, stacks);
}

void classicDisk(GLUquadricObj *qobj, GLdouble innerRadius, GLdouble outerRadius, GLint slices, GLint loops) {
    gluDisk(qobj, innerRadius, outerRadius, slices, loops);
}

void classicSphere(GLUquadricObj *qobj, GLdouble radius, GLint slices, GLint stacks) {
    gluSphere(qobj, static_cast<float>(radius), slices, stacks);
}

}  // extern "C"
