// SPDX-License-Identifier: MIT
#include "glrecord.h"

#include <GL/gl.h>

#include "image.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace glrecord {
namespace {

thread_local Stream *current = nullptr;
thread_local Sink *currentSink = nullptr;

// The little GL state glGetIntegerv answers from.
struct PixelStore {
    std::int32_t swapBytes = 0, lsbFirst = 0, rowLength = 0, skipRows = 0, skipPixels = 0, alignment = 4;
};
thread_local PixelStore unpack, pack;
thread_local std::int32_t maxTextureSize = 2048;
thread_local std::int32_t viewport[4] = {0, 0, 1, 1};
thread_local float matrices[2][16] = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1},
                                      {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
thread_local bool autoNormal = false;

std::int32_t *pixelStoreSlot(unsigned pname) {
    switch (pname) {
    case GL_UNPACK_SWAP_BYTES: return &unpack.swapBytes;
    case GL_UNPACK_LSB_FIRST: return &unpack.lsbFirst;
    case GL_UNPACK_ROW_LENGTH: return &unpack.rowLength;
    case GL_UNPACK_SKIP_ROWS: return &unpack.skipRows;
    case GL_UNPACK_SKIP_PIXELS: return &unpack.skipPixels;
    case GL_UNPACK_ALIGNMENT: return &unpack.alignment;
    case GL_PACK_SWAP_BYTES: return &pack.swapBytes;
    case GL_PACK_LSB_FIRST: return &pack.lsbFirst;
    case GL_PACK_ROW_LENGTH: return &pack.rowLength;
    case GL_PACK_SKIP_ROWS: return &pack.skipRows;
    case GL_PACK_SKIP_PIXELS: return &pack.skipPixels;
    case GL_PACK_ALIGNMENT: return &pack.alignment;
    default: return nullptr;
    }
}

// GL's unpack values as image.h reads an image under them.
softglu_unpack unpackState() {
    return {unpack.swapBytes, unpack.rowLength, unpack.skipRows, unpack.skipPixels, unpack.alignment};
}

void record(const Call &c) {
    if (current)
        current->push_back(c);
    if (currentSink)
        currentSink->call(c);
}

// Records a texture upload: the bytes GL reads and their hash (image.h).
void texImage(Call c, int width, int height, unsigned format, unsigned type, const void *pixels) {
    const softglu_unpack u = unpackState();
    softglu_image_read(&u, width, height, format, type, pixels, &c.bytes, &c.hash);
    record(c);
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

std::uint64_t fnv1a(const void *data, std::uint64_t size) {
    std::uint64_t h = SOFTGLU_FNV_OFFSET;
    const unsigned char *p = static_cast<const unsigned char *>(data);
    for (std::uint64_t k = 0; k < size; ++k)
        h = (h ^ p[k]) * SOFTGLU_FNV_PRIME;
    return h;
}

std::uint64_t imageBytes(int width, int height, unsigned format, unsigned type) {
    const softglu_unpack u = unpackState();
    softglu_layout l{};
    if (height <= 0 || !softglu_image_layout(&u, width, format, type, &l))
        return 0;
    return l.row * static_cast<std::uint64_t>(height);
}

void setMaxTextureSize(int size) { maxTextureSize = size; }

void setViewport(int x, int y, int width, int height) {
    viewport[0] = x;
    viewport[1] = y;
    viewport[2] = width;
    viewport[3] = height;
}

void setMatrices(const float modelview[16], const float projection[16]) {
    std::memcpy(matrices[0], modelview, sizeof matrices[0]);
    std::memcpy(matrices[1], projection, sizeof matrices[1]);
}

void setAutoNormal(bool on) { autoNormal = on; }

void resetPixelStore() {
    unpack = PixelStore();
    pack = PixelStore();
}

namespace {

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

Args Call::args() const {
    switch (op) {
    case Op::Begin:
    case Op::End: return Args::None;
    case Op::Normal3f:
    case Op::TexCoord2f:
    case Op::Vertex3f:
    case Op::Vertex2f:
    case Op::Color4f:
    case Op::Indexf:
    case Op::TexCoord1f:
    case Op::TexCoord3f:
    case Op::TexCoord4f: return Args::Floats;
    case Op::Frustum:
    case Op::Ortho:
    case Op::MultMatrixd:
    case Op::Translated:
    case Op::Scaled:
    case Op::Vertex3dv: return Args::Doubles;
    case Op::PixelStorei:
    case Op::GetIntegerv:
    case Op::TexImage1D:
    case Op::TexImage2D:
    case Op::EdgeFlag: return Args::Ints;
    }
    return Args::None;
}

int Call::argCount() const {
    switch (op) {
    case Op::Begin: return 1;
    case Op::End: return 0;
    case Op::Normal3f:
    case Op::Vertex3f: return 3;
    case Op::TexCoord2f:
    case Op::Vertex2f: return 2;
    case Op::Color4f:
    case Op::TexCoord4f: return 4;
    case Op::Indexf:
    case Op::TexCoord1f: return 1;
    case Op::TexCoord3f: return 3;
    case Op::Frustum:
    case Op::Ortho: return 6;
    case Op::MultMatrixd: return 16;
    case Op::Translated:
    case Op::Scaled:
    case Op::Vertex3dv: return 3;
    case Op::EdgeFlag: return 1;
    case Op::PixelStorei:
    case Op::GetIntegerv: return 2;
    case Op::TexImage1D: return 7;
    case Op::TexImage2D: return 8;
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
    if (a.op != b.op || a.mode != b.mode || a.bytes != b.bytes || a.hash != b.hash)
        return false;
    for (int i = 0; i < 3; ++i)
        if (a.fbits(i) != b.fbits(i))
            return false;
    for (int i = 0; i < 16; ++i)
        if (a.dbits(i) != b.dbits(i))
            return false;
    for (int i = 0; i < 8; ++i)
        if (a.i[i] != b.i[i])
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
    case Op::Ortho: return "glOrtho";
    case Op::MultMatrixd: return "glMultMatrixd";
    case Op::Translated: return "glTranslated";
    case Op::Scaled: return "glScaled";
    case Op::PixelStorei: return "glPixelStorei";
    case Op::GetIntegerv: return "glGetIntegerv";
    case Op::TexImage1D: return "glTexImage1D";
    case Op::TexImage2D: return "glTexImage2D";
    case Op::Vertex3dv: return "glVertex3dv";
    case Op::EdgeFlag: return "glEdgeFlag";
    case Op::Color4f: return "glColor4f";
    case Op::Indexf: return "glIndexf";
    case Op::TexCoord1f: return "glTexCoord1f";
    case Op::TexCoord3f: return "glTexCoord3f";
    case Op::TexCoord4f: return "glTexCoord4f";
    }
    return "?";
}

namespace {

struct EnumName {
    unsigned value;
    const char *name;
};

#define SOFTGLU_ENUM(name) {name, #name}
const EnumName kEnums[] = {
    SOFTGLU_ENUM(GL_TEXTURE_1D), SOFTGLU_ENUM(GL_TEXTURE_2D),
    SOFTGLU_ENUM(GL_PROXY_TEXTURE_1D), SOFTGLU_ENUM(GL_PROXY_TEXTURE_2D),
    SOFTGLU_ENUM(GL_MAX_TEXTURE_SIZE), SOFTGLU_ENUM(GL_VIEWPORT),
    SOFTGLU_ENUM(GL_MAP1_COLOR_4), SOFTGLU_ENUM(GL_MAP1_INDEX), SOFTGLU_ENUM(GL_MAP1_NORMAL),
    SOFTGLU_ENUM(GL_MAP1_TEXTURE_COORD_1), SOFTGLU_ENUM(GL_MAP1_TEXTURE_COORD_2),
    SOFTGLU_ENUM(GL_MAP1_TEXTURE_COORD_3), SOFTGLU_ENUM(GL_MAP1_TEXTURE_COORD_4),
    SOFTGLU_ENUM(GL_MAP1_VERTEX_3), SOFTGLU_ENUM(GL_MAP1_VERTEX_4),
    SOFTGLU_ENUM(GL_MAP2_COLOR_4), SOFTGLU_ENUM(GL_MAP2_INDEX), SOFTGLU_ENUM(GL_MAP2_NORMAL),
    SOFTGLU_ENUM(GL_MAP2_TEXTURE_COORD_1), SOFTGLU_ENUM(GL_MAP2_TEXTURE_COORD_2),
    SOFTGLU_ENUM(GL_MAP2_TEXTURE_COORD_3), SOFTGLU_ENUM(GL_MAP2_TEXTURE_COORD_4),
    SOFTGLU_ENUM(GL_MAP2_VERTEX_3), SOFTGLU_ENUM(GL_MAP2_VERTEX_4),
    SOFTGLU_ENUM(GL_UNPACK_SWAP_BYTES), SOFTGLU_ENUM(GL_UNPACK_LSB_FIRST),
    SOFTGLU_ENUM(GL_UNPACK_ROW_LENGTH), SOFTGLU_ENUM(GL_UNPACK_SKIP_ROWS),
    SOFTGLU_ENUM(GL_UNPACK_SKIP_PIXELS), SOFTGLU_ENUM(GL_UNPACK_ALIGNMENT),
    SOFTGLU_ENUM(GL_PACK_SWAP_BYTES), SOFTGLU_ENUM(GL_PACK_LSB_FIRST),
    SOFTGLU_ENUM(GL_PACK_ROW_LENGTH), SOFTGLU_ENUM(GL_PACK_SKIP_ROWS),
    SOFTGLU_ENUM(GL_PACK_SKIP_PIXELS), SOFTGLU_ENUM(GL_PACK_ALIGNMENT),
    SOFTGLU_ENUM(GL_COLOR_INDEX), SOFTGLU_ENUM(GL_STENCIL_INDEX), SOFTGLU_ENUM(GL_DEPTH_COMPONENT),
    SOFTGLU_ENUM(GL_RED), SOFTGLU_ENUM(GL_GREEN), SOFTGLU_ENUM(GL_BLUE), SOFTGLU_ENUM(GL_ALPHA),
    SOFTGLU_ENUM(GL_RGB), SOFTGLU_ENUM(GL_RGBA), SOFTGLU_ENUM(GL_BGR), SOFTGLU_ENUM(GL_BGRA),
    SOFTGLU_ENUM(GL_LUMINANCE), SOFTGLU_ENUM(GL_LUMINANCE_ALPHA), SOFTGLU_ENUM(GL_INTENSITY),
    SOFTGLU_ENUM(GL_ALPHA8), SOFTGLU_ENUM(GL_LUMINANCE8), SOFTGLU_ENUM(GL_LUMINANCE8_ALPHA8),
    SOFTGLU_ENUM(GL_INTENSITY8), SOFTGLU_ENUM(GL_RGB8), SOFTGLU_ENUM(GL_RGBA8),
    SOFTGLU_ENUM(GL_BITMAP), SOFTGLU_ENUM(GL_BYTE), SOFTGLU_ENUM(GL_UNSIGNED_BYTE),
    SOFTGLU_ENUM(GL_SHORT), SOFTGLU_ENUM(GL_UNSIGNED_SHORT), SOFTGLU_ENUM(GL_INT),
    SOFTGLU_ENUM(GL_UNSIGNED_INT), SOFTGLU_ENUM(GL_FLOAT),
    SOFTGLU_ENUM(GL_UNSIGNED_BYTE_3_3_2), SOFTGLU_ENUM(GL_UNSIGNED_BYTE_2_3_3_REV),
    SOFTGLU_ENUM(GL_UNSIGNED_SHORT_5_6_5), SOFTGLU_ENUM(GL_UNSIGNED_SHORT_5_6_5_REV),
    SOFTGLU_ENUM(GL_UNSIGNED_SHORT_4_4_4_4), SOFTGLU_ENUM(GL_UNSIGNED_SHORT_4_4_4_4_REV),
    SOFTGLU_ENUM(GL_UNSIGNED_SHORT_5_5_5_1), SOFTGLU_ENUM(GL_UNSIGNED_SHORT_1_5_5_5_REV),
    SOFTGLU_ENUM(GL_UNSIGNED_INT_8_8_8_8), SOFTGLU_ENUM(GL_UNSIGNED_INT_8_8_8_8_REV),
    SOFTGLU_ENUM(GL_UNSIGNED_INT_10_10_10_2), SOFTGLU_ENUM(GL_UNSIGNED_INT_2_10_10_10_REV),
};

const EnumName kModes[] = {
    SOFTGLU_ENUM(GL_POINTS), SOFTGLU_ENUM(GL_LINES), SOFTGLU_ENUM(GL_LINE_LOOP),
    SOFTGLU_ENUM(GL_LINE_STRIP), SOFTGLU_ENUM(GL_TRIANGLES), SOFTGLU_ENUM(GL_TRIANGLE_STRIP),
    SOFTGLU_ENUM(GL_TRIANGLE_FAN), SOFTGLU_ENUM(GL_QUADS), SOFTGLU_ENUM(GL_QUAD_STRIP),
    SOFTGLU_ENUM(GL_POLYGON),
};
#undef SOFTGLU_ENUM

template <std::size_t N>
const char *lookUp(const EnumName (&table)[N], unsigned value) {
    for (const EnumName &e : table)
        if (e.value == value)
            return e.name;
    return nullptr;
}

// Which integer arguments of an op are enums, one bit per argument.
unsigned enumArgs(Op op) {
    switch (op) {
    case Op::PixelStorei:
    case Op::GetIntegerv: return 0x1;                 // pname
    case Op::TexImage1D: return 0x1 | 0x4 | 0x20 | 0x40;  // target, internalformat, format, type
    case Op::TexImage2D: return 0x1 | 0x4 | 0x40 | 0x80;
    default: return 0;
    }
}

char *intTo(char *out, std::int32_t v, bool isEnum) {
    const char *name = isEnum ? lookUp(kEnums, static_cast<unsigned>(v)) : nullptr;
    if (name)
        return copy(out, name);
    return std::to_chars(out, out + 12, v).ptr;
}

}  // namespace

const char *enumName(unsigned value) { return lookUp(kEnums, value); }

const char *modeName(unsigned mode) { return lookUp(kModes, mode); }

char *formatTo(char *out, const Call &c, bool hex) {
    out = copy(out, opName(c.op));
    *out++ = '(';
    if (c.op == Op::Begin) {
        if (const char *name = modeName(c.mode))
            out = copy(out, name);
        else
            out = std::to_chars(out, out + 16, c.mode).ptr;
    } else {
        const unsigned enums = enumArgs(c.op);
        for (int i = 0; i < c.argCount(); ++i) {
            if (i) {
                *out++ = ',';
                *out++ = ' ';
            }
            switch (c.args()) {
            case Args::Doubles:
                out = shortestTo(out, c.d[i]);
                if (hex) {
                    *out++ = ' ';
                    out = hexTo(out, c.dbits(i), 16);
                }
                break;
            case Args::Floats:
                out = shortestTo(out, c.f[i]);
                if (hex) {
                    *out++ = ' ';
                    out = hexTo(out, c.fbits(i), 8);
                }
                break;
            case Args::Ints: out = intTo(out, c.i[i], (enums >> i) & 1u); break;
            case Args::None: break;
            }
        }
        if (c.op == Op::TexImage1D || c.op == Op::TexImage2D) {
            out = copy(out, ", ");
            out = std::to_chars(out, out + 24, c.bytes).ptr;
            out = copy(out, " bytes ");
            out = hexTo(out, c.hash, 16);
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
    case Op::Vertex3dv:
        if (!open_) {
            fail("vertex outside glBegin/glEnd");
            break;
        }
        // GL keeps a vertex in single precision: each coordinate narrowed.
        for (int k = 0; k < 3; ++k)
            current_.pos[k] = static_cast<float>(c.d[k]);
        return Event::Vertex;
    case Op::EdgeFlag:  // allowed inside a primitive, changes no vertex kept here
    case Op::Color4f:
    case Op::Indexf:
    case Op::TexCoord1f:
    case Op::TexCoord3f:
    case Op::TexCoord4f: break;
    default:
        if (open_)
            fail((std::string(opName(c.op)) + " inside a primitive").c_str());
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

void glGetFloatv(GLenum pname, GLfloat *params) {
    const int which = pname == GL_MODELVIEW_MATRIX ? 0 : pname == GL_PROJECTION_MATRIX ? 1 : -1;
    if (which >= 0)
        std::memcpy(params, glrecord::matrices[which], sizeof glrecord::matrices[which]);
}

GLboolean glIsEnabled(GLenum cap) { return cap == GL_AUTO_NORMAL && glrecord::autoNormal ? GL_TRUE : GL_FALSE; }

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
    if (std::int32_t *slot = glrecord::pixelStoreSlot(pname))
        *slot = param;
    glrecord::record(c);
}

void glGetIntegerv(GLenum pname, GLint *params) {
    const std::int32_t *slot = glrecord::pixelStoreSlot(pname);
    if (pname == GL_VIEWPORT)
        std::memcpy(params, glrecord::viewport, sizeof glrecord::viewport);
    const std::int32_t value = pname == GL_MAX_TEXTURE_SIZE ? glrecord::maxTextureSize
                               : pname == GL_VIEWPORT      ? glrecord::viewport[0]
                               : slot                      ? *slot
                                                           : 0;
    *params = value;
    Call c{};
    c.op = Op::GetIntegerv;
    c.i[0] = static_cast<std::int32_t>(pname);
    c.i[1] = value;
    glrecord::record(c);
}

void glTexImage1D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLint border, GLenum format,
                  GLenum type, const GLvoid *pixels) {
    Call c{};
    c.op = Op::TexImage1D;
    const std::int32_t args[] = {static_cast<std::int32_t>(target), level, internalformat, width, border,
                                 static_cast<std::int32_t>(format), static_cast<std::int32_t>(type)};
    std::memcpy(c.i, args, sizeof args);
    glrecord::texImage(c, width, 1, format, type, pixels);
}

void glTexImage2D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const GLvoid *pixels) {
    Call c{};
    c.op = Op::TexImage2D;
    const std::int32_t args[] = {static_cast<std::int32_t>(target), level, internalformat, width, height, border,
                                 static_cast<std::int32_t>(format), static_cast<std::int32_t>(type)};
    std::memcpy(c.i, args, sizeof args);
    glrecord::texImage(c, width, height, format, type, pixels);
}

}  // extern "C"
