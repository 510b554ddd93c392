// SPDX-License-Identifier: MIT
#include "glrecord.h"

#include <GL/gl.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace glrecord {
namespace {

thread_local Stream *current = nullptr;

void record(const Call &c) {
    if (current)
        current->push_back(c);
}

Call floats(Op op, float a, float b, float c) {
    Call call{};
    call.op = op;
    call.f[0] = a;
    call.f[1] = b;
    call.f[2] = c;
    return call;
}

// Shortest decimal that reads back to the same value.  Whole numbers below
// 2^53 print as integers ("100", not "1e+02"); they read back exactly.
template <typename T>
std::string shortestOf(T v) {
    char buf[40];
    const double wide = static_cast<double>(v);
    if (wide == std::trunc(wide) && std::fabs(wide) < 9007199254740992.0) {
        std::snprintf(buf, sizeof buf, "%.0f", wide);
        return buf;
    }
    for (int prec = 1; prec <= 17; ++prec) {
        std::snprintf(buf, sizeof buf, "%.*g", prec, static_cast<double>(v));
        T back;
        if constexpr (sizeof(T) == 4)
            back = std::strtof(buf, nullptr);
        else
            back = std::strtod(buf, nullptr);
        if (std::memcmp(&back, &v, sizeof v) == 0)
            return buf;
    }
    return buf;  // NaN payloads other than the default cannot round-trip
}

}  // namespace

std::string shortest(float v) { return shortestOf(v); }
std::string shortest(double v) { return shortestOf(v); }

int Call::argCount() const {
    switch (op) {
    case Op::Begin: return 1;
    case Op::End: return 0;
    case Op::Normal3f:
    case Op::Vertex3f: return 3;
    case Op::TexCoord2f:
    case Op::Vertex2f: return 2;
    case Op::Frustum: return 6;
    }
    return 0;
}

std::uint32_t Call::fbits(int i) const {
    std::uint32_t b;
    std::memcpy(&b, &f[i], sizeof b);
    return b;
}

std::uint64_t Call::dbits(int i) const {
    std::uint64_t b;
    std::memcpy(&b, &d[i], sizeof b);
    return b;
}

bool sameBits(const Call &a, const Call &b) {
    if (a.op != b.op || a.mode != b.mode)
        return false;
    for (int i = 0; i < 3; ++i)
        if (a.fbits(i) != b.fbits(i))
            return false;
    for (int i = 0; i < 6; ++i)
        if (a.dbits(i) != b.dbits(i))
            return false;
    return true;
}

Stream *setCurrent(Stream *stream) {
    Stream *previous = current;
    current = stream;
    return previous;
}

const char *opName(Op op) {
    switch (op) {
    case Op::Begin: return "glBegin";
    case Op::End: return "glEnd";
    case Op::Normal3f: return "glNormal3f";
    case Op::TexCoord2f: return "glTexCoord2f";
    case Op::Vertex3f: return "glVertex3f";
    case Op::Vertex2f: return "glVertex2f";
    case Op::Frustum: return "glFrustum";
    }
    return "?";
}

static std::string formatCall(const Call &c, bool hex) {
    std::string out = opName(c.op);
    out += '(';
    if (c.op == Op::Begin) {
        out += c.mode == GL_QUAD_STRIP      ? "GL_QUAD_STRIP"
               : c.mode == GL_TRIANGLE_FAN ? "GL_TRIANGLE_FAN"
                                           : std::to_string(c.mode);
    } else {
        for (int i = 0; i < c.argCount(); ++i) {
            if (i)
                out += ", ";
            char bits[24];
            if (c.op == Op::Frustum) {
                out += shortest(c.d[i]);
                std::snprintf(bits, sizeof bits, " 0x%016" PRIx64, c.dbits(i));
            } else {
                out += shortest(c.f[i]);
                std::snprintf(bits, sizeof bits, " 0x%08" PRIx32, c.fbits(i));
            }
            if (hex)
                out += bits;
        }
    }
    out += ')';
    return out;
}

std::string format(const Call &c) { return formatCall(c, false); }
std::string formatHex(const Call &c) { return formatCall(c, true); }

std::string replay(const Stream &s, std::vector<Primitive> &out, const float normal[3],
                   const float tex[2]) {
    std::string error;
    const auto fail = [&error](const char *what) {
        if (error.empty())
            error = what;
    };
    Vertex current{{0, 0, 0}, {0, 0, 1}, {0, 0}};
    if (normal)
        std::memcpy(current.normal, normal, sizeof current.normal);
    if (tex)
        std::memcpy(current.tex, tex, sizeof current.tex);
    bool open = false;
    for (const Call &c : s) {
        switch (c.op) {
        case Op::Begin:
            if (open)
                fail("glBegin inside a primitive");
            open = true;
            out.push_back({c.mode, {}});
            break;
        case Op::End:
            if (!open)
                fail("glEnd without glBegin");
            open = false;
            break;
        case Op::Normal3f:
            std::memcpy(current.normal, c.f, sizeof current.normal);
            break;
        case Op::TexCoord2f:
            std::memcpy(current.tex, c.f, sizeof current.tex);
            break;
        case Op::Vertex3f:
        case Op::Vertex2f:
            if (!open) {
                fail("vertex outside glBegin/glEnd");
                break;
            }
            current.pos[0] = c.f[0];
            current.pos[1] = c.f[1];
            current.pos[2] = c.op == Op::Vertex3f ? c.f[2] : 0.0f;
            out.back().vertices.push_back(current);
            break;
        case Op::Frustum:
            if (open)
                fail("glFrustum inside a primitive");
            break;
        }
    }
    if (open)
        fail("primitive left open");
    return error;
}

}  // namespace glrecord

// The GL entry points libsoftglu binds to.
using glrecord::Call;
using glrecord::Op;

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

void glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
               GLdouble zFar) {
    Call c{};
    c.op = Op::Frustum;
    c.d[0] = left;
    c.d[1] = right;
    c.d[2] = bottom;
    c.d[3] = top;
    c.d[4] = zNear;
    c.d[5] = zFar;
    glrecord::record(c);
}

}  // extern "C"
