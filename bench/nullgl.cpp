// SPDX-License-Identifier: MIT
#include "nullgl.h"

#include <GL/gl.h>

namespace nullgl {

std::uint64_t vertices = 0;

namespace {
volatile float sinkf;
volatile double sinkd;
volatile GLenum sinkMode;
}  // namespace

}  // namespace nullgl

using nullgl::sinkd;
using nullgl::sinkf;

extern "C" {

void glBegin(GLenum mode) { nullgl::sinkMode = mode; }
void glEnd(void) {}

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    sinkf = x;
    sinkf = y;
    sinkf = z;
}

void glTexCoord2f(GLfloat s, GLfloat t) {
    sinkf = s;
    sinkf = t;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    sinkf = x;
    sinkf = y;
    sinkf = z;
    ++nullgl::vertices;
}

void glVertex2f(GLfloat x, GLfloat y) {
    sinkf = x;
    sinkf = y;
    ++nullgl::vertices;
}

void glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
               GLdouble zFar) {
    sinkd = left;
    sinkd = right;
    sinkd = bottom;
    sinkd = top;
    sinkd = zNear;
    sinkd = zFar;
}

}  // extern "C"
