// SPDX-License-Identifier: MIT
// The GL entry points libsoftglu binds to, and where their calls go.
#include "glrecord.h"

#include <GL/gl.h>

#include <cstdint>
#include <cstring>

namespace glrecord {
namespace {

thread_local Stream *current = nullptr;
thread_local Sink *currentSink = nullptr;

void record(const Call &c) {
    if (current)
        current->push_back(c);
    if (currentSink)
        currentSink->call(c);
}

Call doubles(Op op, double a, double b, double c) {
    Call call{};
    call.op = op;
    call.d[0] = a;
    call.d[1] = b;
    call.d[2] = c;
    return call;
}

Call floats(Op op, float a, float b, float c, float d = 0.0f) {
    Call call{};
    call.op = op;
    call.f[0] = a;
    call.f[1] = b;
    call.f[2] = c;
    call.f[3] = d;
    return call;
}

}  // namespace

Stream *setCurrent(Stream *stream) {
    Stream *previous = current;
    current = stream;
    return previous;
}

Sink *setSink(Sink *sink) {
    Sink *previous = currentSink;
    currentSink = sink;
    return previous;
}

}  // namespace glrecord
using glrecord::Call;
using glrecord::Op;

namespace {
// glFrustum's and glOrtho's six planes.
void recordPlanes(Op op, GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
                  GLdouble zFar) {
    Call c{};
    c.op = op;
    c.d[0] = left;
    c.d[1] = right;
    c.d[2] = bottom;
    c.d[3] = top;
    c.d[4] = zNear;
    c.d[5] = zFar;
    glrecord::record(c);
}
} // namespace

// The GL entry points libsoftglu binds to.
extern "C" {

void glBegin(GLenum mode) {
    Call c{};
    c.op = Op::Begin;
    c.mode = mode;
    glrecord::record(c);
}

void glEnd(void) {
    Call c{};
    c.op = Op::End;
    glrecord::record(c);
}

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { glrecord::record(glrecord::floats(Op::Normal3f, x, y, z)); }
void glTexCoord2f(GLfloat s, GLfloat t) { glrecord::record(glrecord::floats(Op::TexCoord2f, s, t, 0.0f)); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { glrecord::record(glrecord::floats(Op::Vertex3f, x, y, z)); }
void glVertex2f(GLfloat x, GLfloat y) { glrecord::record(glrecord::floats(Op::Vertex2f, x, y, 0.0f)); }
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { glrecord::record(glrecord::floats(Op::Color4f, r, g, b, a)); }
void glIndexf(GLfloat c) { glrecord::record(glrecord::floats(Op::Indexf, c, 0.0f, 0.0f)); }
void glTexCoord1f(GLfloat s) { glrecord::record(glrecord::floats(Op::TexCoord1f, s, 0.0f, 0.0f)); }
void glTexCoord3f(GLfloat s, GLfloat t, GLfloat r) { glrecord::record(glrecord::floats(Op::TexCoord3f, s, t, r)); }
void glTexCoord4f(GLfloat s, GLfloat t, GLfloat r, GLfloat q) {
    glrecord::record(glrecord::floats(Op::TexCoord4f, s, t, r, q));
}

void glGetFloatv(GLenum pname, GLfloat *params) { glrecord::answerFloats(pname, params); }

GLboolean glIsEnabled(GLenum cap) { return glrecord::answerEnabled(cap) ? GL_TRUE : GL_FALSE; }

void glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
               GLdouble zFar) {
    recordPlanes(Op::Frustum, left, right, bottom, top, zNear, zFar);
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar) {
    recordPlanes(Op::Ortho, left, right, bottom, top, zNear, zFar);
}

void glMultMatrixd(const GLdouble *m) {
    Call c{};
    c.op = Op::MultMatrixd;
    for (int k = 0; k < 16; ++k)
        c.d[k] = m[k];
    glrecord::record(c);
}

void glTranslated(GLdouble x, GLdouble y, GLdouble z) { glrecord::record(glrecord::doubles(Op::Translated, x, y, z)); }
void glScaled(GLdouble x, GLdouble y, GLdouble z) { glrecord::record(glrecord::doubles(Op::Scaled, x, y, z)); }
void glVertex3dv(const GLdouble *v) { glrecord::record(glrecord::doubles(Op::Vertex3dv, v[0], v[1], v[2])); }

void glEdgeFlag(GLboolean flag) {
    Call c{};
    c.op = Op::EdgeFlag;
    c.i[0] = flag;
    glrecord::record(c);
}

void glPixelStorei(GLenum pname, GLint param) {
    Call c{};
    c.op = Op::PixelStorei;
    c.i[0] = static_cast<std::int32_t>(pname);
    c.i[1] = param;
    glrecord::storePixelMode(pname, param);
    glrecord::record(c);
}

void glGetIntegerv(GLenum pname, GLint *params) {
    Call c{};
    c.op = Op::GetIntegerv;
    c.i[0] = static_cast<std::int32_t>(pname);
    c.i[1] = glrecord::answerInteger(pname, params);
    glrecord::record(c);
}

void glTexImage1D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLint border, GLenum format,
                  GLenum type, const GLvoid *pixels) {
    Call c{};
    c.op = Op::TexImage1D;
    const std::int32_t args[] = {static_cast<std::int32_t>(target), level, internalformat, width, border,
                                 static_cast<std::int32_t>(format), static_cast<std::int32_t>(type)};
    std::memcpy(c.i, args, sizeof args);
    glrecord::readTexture(c, width, 1, format, type, pixels);
    glrecord::record(c);
}

void glTexImage2D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const GLvoid *pixels) {
    Call c{};
    c.op = Op::TexImage2D;
    const std::int32_t args[] = {static_cast<std::int32_t>(target), level, internalformat, width, height, border,
                                 static_cast<std::int32_t>(format), static_cast<std::int32_t>(type)};
    std::memcpy(c.i, args, sizeof args);
    glrecord::readTexture(c, width, height, format, type, pixels);
    glrecord::record(c);
}

}  // extern "C"
