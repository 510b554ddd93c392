// SPDX-License-Identifier: MIT
#include "glrecord.h"

#include <GL/gl.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

Call floats(Op op, float a, float b, float c) {
    Call call{};
    call.op = op;
    call.f[0] = a;
    call.f[1] = b;
    call.f[2] = c;
    return call;
}

char *copy(char *out, const char *text) {
    const std::size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return out + n;
}

// The reference: the smallest precision P for which printf's %.Pg reads back
// to the same bits.  Whole numbers below 2^53 print as integers ("100", not
// "1e+02"); they read back exactly.
template <typename T>
char *searchShortest(char *out, T v) {
    char buf[40];
    const double wide = static_cast<double>(v);
    if (wide == std::trunc(wide) && std::fabs(wide) < 9007199254740992.0) {
        std::snprintf(buf, sizeof buf, "%.0f", wide);
        return copy(out, buf);
    }
    for (int prec = 1; prec <= 17; ++prec) {
        std::snprintf(buf, sizeof buf, "%.*g", prec, wide);
        T back;
        if constexpr (sizeof(T) == 4)
            back = std::strtof(buf, nullptr);
        else
            back = std::strtod(buf, nullptr);
        if (std::memcmp(&back, &v, sizeof v) == 0)
            return copy(out, buf);
    }
    return copy(out, buf);  // NaN payloads other than the default cannot round-trip
}

// The same text, fast.  std::to_chars gives the shortest digits that read
// back, and among those the nearest to the value.  Where the values that
// round to v lie symmetrically around it (every finite value but a power of
// two above the smallest normal), the correctly rounded decimal of that many
// digits reads back too, and is the same string: printf's %.Pg prints exactly
// these digits at that P, and no smaller P reads back.  At a power of two
// the interval below is half the one above, the two can differ, and the
// search decides.  Only the layout is left: printf's %g rules, written out.
template <typename T>
char *fastShortest(char *out, T v) {
    if (std::isnan(v))
        return copy(out, std::signbit(v) ? "-nan" : "nan");
    if (std::isinf(v))
        return copy(out, v < 0 ? "-inf" : "inf");
    const double wide = static_cast<double>(v);
    if (wide == std::trunc(wide) && std::fabs(wide) < 9007199254740992.0) {
        if (wide == 0)
            return copy(out, std::signbit(wide) ? "-0" : "0");
        return std::to_chars(out, out + kMaxShortest, static_cast<long long>(wide)).ptr;
    }
    if constexpr (sizeof(T) == 4) {
        std::uint32_t b;
        std::memcpy(&b, &v, sizeof b);
        if ((b & 0x7fffff) == 0 && ((b >> 23) & 0xff) > 1)
            return searchShortest(out, v);
    } else {
        std::uint64_t b;
        std::memcpy(&b, &v, sizeof b);
        if ((b & 0xfffffffffffffULL) == 0 && ((b >> 52) & 0x7ff) > 1)
            return searchShortest(out, v);
    }
    // "-d.ddde-XX": the sign, the digits and the decimal exponent.
    char sci[40];
    const char *end = std::to_chars(sci, sci + sizeof sci, v, std::chars_format::scientific).ptr;
    const char *p = sci;
    if (*p == '-')
        *out++ = *p++;
    char digits[20];
    int n = 0;
    for (; *p != 'e'; ++p)
        if (*p != '.')
            digits[n++] = *p;
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+'), end, exponent);
    if (exponent < -4 || exponent >= n) {  // %g's scientific form
        *out++ = digits[0];
        if (n > 1) {
            *out++ = '.';
            std::memcpy(out, digits + 1, n - 1);
            out += n - 1;
        }
        *out++ = 'e';
        *out++ = exponent < 0 ? '-' : '+';
        const int e = exponent < 0 ? -exponent : exponent;
        if (e < 10)
            *out++ = '0';
        return std::to_chars(out, out + 4, e).ptr;
    }
    if (exponent < 0) {  // 0.000ddd
        *out++ = '0';
        *out++ = '.';
        for (int i = -1; i > exponent; --i)
            *out++ = '0';
        std::memcpy(out, digits, n);
        return out + n;
    }
    std::memcpy(out, digits, exponent + 1);  // ddd or ddd.ddd
    out += exponent + 1;
    if (n == exponent + 1)  // a whole number from 2^53 up
        return out;
    *out++ = '.';
    std::memcpy(out, digits + exponent + 1, n - exponent - 1);
    return out + n - exponent - 1;
}

char *hexTo(char *out, std::uint64_t bits, int width) {
    static const char kDigits[] = "0123456789abcdef";
    *out++ = '0';
    *out++ = 'x';
    for (int shift = (width - 1) * 4; shift >= 0; shift -= 4)
        *out++ = kDigits[(bits >> shift) & 0xf];
    return out;
}

}  // namespace

char *shortestTo(char *out, float v) { return fastShortest(out, v); }
char *shortestTo(char *out, double v) { return fastShortest(out, v); }

std::string shortest(float v) {
    char buf[kMaxShortest];
    return std::string(buf, shortestTo(buf, v));
}

std::string shortest(double v) {
    char buf[kMaxShortest];
    return std::string(buf, shortestTo(buf, v));
}

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

Sink *setSink(Sink *sink) {
    Sink *previous = currentSink;
    currentSink = sink;
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

char *formatTo(char *out, const Call &c, bool hex) {
    out = copy(out, opName(c.op));
    *out++ = '(';
    if (c.op == Op::Begin) {
        if (c.mode == GL_QUAD_STRIP)
            out = copy(out, "GL_QUAD_STRIP");
        else if (c.mode == GL_TRIANGLE_FAN)
            out = copy(out, "GL_TRIANGLE_FAN");
        else
            out = std::to_chars(out, out + 16, c.mode).ptr;
    } else {
        for (int i = 0; i < c.argCount(); ++i) {
            if (i) {
                *out++ = ',';
                *out++ = ' ';
            }
            if (c.op == Op::Frustum) {
                out = shortestTo(out, c.d[i]);
                if (hex) {
                    *out++ = ' ';
                    out = hexTo(out, c.dbits(i), 16);
                }
            } else {
                out = shortestTo(out, c.f[i]);
                if (hex) {
                    *out++ = ' ';
                    out = hexTo(out, c.fbits(i), 8);
                }
            }
        }
    }
    *out++ = ')';
    return out;
}

std::string format(const Call &c) {
    char buf[kMaxFormatted];
    return std::string(buf, formatTo(buf, c, false));
}

std::string formatHex(const Call &c) {
    char buf[kMaxFormatted];
    return std::string(buf, formatTo(buf, c, true));
}

Replayer::Replayer(const float normal[3], const float tex[2]) : current_{{0, 0, 0}, {0, 0, 1}, {0, 0}} {
    if (normal)
        std::memcpy(current_.normal, normal, sizeof current_.normal);
    if (tex)
        std::memcpy(current_.tex, tex, sizeof current_.tex);
}

void Replayer::fail(const char *what) {
    if (error_.empty())
        error_ = what;
}

Replayer::Event Replayer::step(const Call &c) {
    switch (c.op) {
    case Op::Begin:
        if (open_)
            fail("glBegin inside a primitive");
        open_ = true;
        mode_ = c.mode;
        return Event::Begin;
    case Op::End:
        if (!open_) {
            fail("glEnd without glBegin");
            return Event::None;
        }
        open_ = false;
        return Event::End;
    case Op::Normal3f: std::memcpy(current_.normal, c.f, sizeof current_.normal); break;
    case Op::TexCoord2f: std::memcpy(current_.tex, c.f, sizeof current_.tex); break;
    case Op::Vertex3f:
    case Op::Vertex2f:
        if (!open_) {
            fail("vertex outside glBegin/glEnd");
            break;
        }
        current_.pos[0] = c.f[0];
        current_.pos[1] = c.f[1];
        current_.pos[2] = c.op == Op::Vertex3f ? c.f[2] : 0.0f;
        return Event::Vertex;
    case Op::Frustum:
        if (open_)
            fail("glFrustum inside a primitive");
        break;
    }
    return Event::None;
}

std::string Replayer::finish() {
    if (open_)
        fail("primitive left open");
    return error_;
}

std::string replay(const Stream &s, std::vector<Primitive> &out, const float normal[3], const float tex[2]) {
    Replayer r(normal, tex);
    for (const Call &c : s) {
        switch (r.step(c)) {
        case Replayer::Event::Begin: out.push_back({r.mode(), {}}); break;
        case Replayer::Event::Vertex: out.back().vertices.push_back(r.vertex()); break;
        case Replayer::Event::End:
        case Replayer::Event::None: break;
        }
    }
    return r.finish();
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
