// SPDX-License-Identifier: MIT
// The GL entry points libsoftglu binds to, and where their calls go.
#include "glrecord.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>

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

// A call of `op` with its float or double arguments in order, the slots
// after them zero.
Call floats(Op op, std::initializer_list<float> args) {
    Call call{};
    call.op = op;
    std::copy(args.begin(), args.end(), call.f);
    return call;
}

Call doubles(Op op, std::initializer_list<double> args) {
    Call call{};
    call.op = op;
    std::copy(args.begin(), args.end(), call.d);
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

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { glrecord::record(glrecord::floats(Op::Normal3f, {x, y, z})); }
void glTexCoord2f(GLfloat s, GLfloat t) { glrecord::record(glrecord::floats(Op::TexCoord2f, {s, t})); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { glrecord::record(glrecord::floats(Op::Vertex3f, {x, y, z})); }
void glVertex2f(GLfloat x, GLfloat y) { glrecord::record(glrecord::floats(Op::Vertex2f, {x, y})); }
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { glrecord::record(glrecord::floats(Op::Color4f, {r, g, b, a})); }
void glIndexf(GLfloat c) { glrecord::record(glrecord::floats(Op::Indexf, {c})); }
void glTexCoord1f(GLfloat s) { glrecord::record(glrecord::floats(Op::TexCoord1f, {s})); }
void glTexCoord3f(GLfloat s, GLfloat t, GLfloat r) { glrecord::record(glrecord::floats(Op::TexCoord3f, {s, t, r})); }
void glTexCoord4f(GLfloat s, GLfloat t, GLfloat r, GLfloat q) {
    glrecord::record(glrecord::floats(Op::TexCoord4f, {s, t, r, q}));
}

void glGetFloatv(GLenum pname, GLfloat *params) { glrecord::answerFloats(pname, params); }

GLboolean glIsEnabled(GLenum cap) { return glrecord::answerEnabled(cap) ? GL_TRUE : GL_FALSE; }

void glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
               GLdouble zFar) {
    glrecord::record(glrecord::doubles(Op::Frustum, {left, right, bottom, top, zNear, zFar}));
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar) {
    glrecord::record(glrecord::doubles(Op::Ortho, {left, right, bottom, top, zNear, zFar}));
}

void glMultMatrixd(const GLdouble *m) {
    Call c{};
    c.op = Op::MultMatrixd;
    std::copy(m, m + 16, c.d);
    glrecord::record(c);
}

void glTranslated(GLdouble x, GLdouble y, GLdouble z) { glrecord::record(glrecord::doubles(Op::Translated, {x, y, z})); }
void glScaled(GLdouble x, GLdouble y, GLdouble z) { glrecord::record(glrecord::doubles(Op::Scaled, {x, y, z})); }
void glVertex3dv(const GLdouble *v) { glrecord::record(glrecord::doubles(Op::Vertex3dv, {v[0], v[1], v[2]})); }

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
    glrecord::readTexture(c, 1, width, 1, 1, format, type, pixels);
    glrecord::record(c);
}

void glTexImage2D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const GLvoid *pixels) {
    Call c{};
    c.op = Op::TexImage2D;
    const std::int32_t args[] = {static_cast<std::int32_t>(target), level, internalformat, width, height, border,
                                 static_cast<std::int32_t>(format), static_cast<std::int32_t>(type)};
    std::memcpy(c.i, args, sizeof args);
    glrecord::readTexture(c, 2, width, height, 1, format, type, pixels);
    glrecord::record(c);
}

void glTexImage3D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLsizei depth,
                  GLint border, GLenum format, GLenum type, const GLvoid *pixels) {
    Call c{};
    c.op = Op::TexImage3D;
    const std::int32_t args[] = {static_cast<std::int32_t>(target), level, internalformat, width, height, depth, border,
                                 static_cast<std::int32_t>(format), static_cast<std::int32_t>(type)};
    std::memcpy(c.i, args, sizeof args);
    glrecord::readTexture(c, 3, width, height, depth, format, type, pixels);
    glrecord::record(c);
}

}  // extern "C"
