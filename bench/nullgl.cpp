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

// What the NURBS renderer sends besides: its maps' attributes, and its
// questions (GL_AUTO_NORMAL is on; no matrix or viewport is read while
// GLU_AUTO_LOAD_MATRIX is off, as the benchmark has it).
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    sinkf = r;
    sinkf = g;
    sinkf = b;
    sinkf = a;
}
void glIndexf(GLfloat c) { sinkf = c; }
void glTexCoord1f(GLfloat s) { sinkf = s; }
void glTexCoord3f(GLfloat s, GLfloat t, GLfloat r) {
    sinkf = s;
    sinkf = t;
    sinkf = r;
}
void glTexCoord4f(GLfloat s, GLfloat t, GLfloat r, GLfloat q) {
    sinkf = s;
    sinkf = t;
    sinkf = r;
    sinkf = q;
}
GLboolean glIsEnabled(GLenum cap) { return cap == GL_AUTO_NORMAL ? GL_TRUE : GL_FALSE; }
void glGetFloatv(GLenum, GLfloat *params) {
    for (int i = 0; i < 16; ++i)
        params[i] = i % 5 == 0 ? 1.0f : 0.0f;
}
void glGetIntegerv(GLenum, GLint *params) {
    params[0] = params[1] = 0;
    params[2] = 640;
    params[3] = 480;
}

}  // extern "C"
