// SPDX-License-Identifier: MIT
// libFuzzer target: turns its input into a sequence of calls of the seven
// functions of libsoftglu and the compatibility layer's image calls with
// arbitrary argument bits, records what each call sends to GL, and aborts on
// the first stream that breaks a rule every input must keep:
//
// - glBegin/glEnd balanced and never nested, vertices only inside a
//   primitive, only GL_QUAD_STRIP and GL_TRIANGLE_FAN opened;
// - exactly the sequence of calls each function's counts give (how many
//   strips and fans, how many vertices, and which normal and texture
//   coordinate calls come before each), for every count including zero,
//   negative and huge ones;
// - the bits every input fixes: glFrustum's depth range passed unchanged and
//   its vertical bounds opposite, the disk's one (0, 0, 1) normal, the
//   sphere's poles, and closed rings whose last step repeats the first;
// - the quadric handle never read: it is null, the unmapped address 0x10, or
//   a record poisoned for AddressSanitizer;
// - the image calls (gluBuild1DMipmaps, gluBuild2DMipmaps, their *Levels
//   forms, gluScaleImage), over arbitrary sizes, formats, types, levels,
//   pixel-store values and GL_MAX_TEXTURE_SIZE: the return value the
//   fuzzer's own account of the rules gives; their glGetIntegerv calls;
//   on success the levels sent packed tight, each glTexImage with the level
//   number, sizes and byte count it should have, and the unpack state put
//   back; gluScaleImage's output components within the input's range, a
//   same-size scale converting each pixel as it is, no byte outside the
//   output's pixels written.  Images are allocated at exactly the size GL's
//   layout gives them, and a call that must refuse before reading is handed
//   poisoned memory, so any read out of place is an AddressSanitizer report.
//
// Input format, read front to back (bytes past the end read as zero): one
// byte picks the function (modulo 12: the seven, then gluBuild1DMipmaps,
// gluBuild2DMipmaps, gluBuild1DMipmapLevels, gluBuild2DMipmapLevels,
// gluScaleImage), then its arguments in signature order.
// A handle takes one byte (modulo 3).  A double, float or count takes a
// selector byte: below the size of its table of special values it picks one
// of them (zeros, infinities, NaNs, subnormals, extremes, the counts around
// 2^24 and INT_MAX); otherwise the value's raw little-endian bits follow.
// Image calls read their enums, sizes, pixel-store values and
// GL_MAX_TEXTURE_SIZE the same way from tables of their own; target and
// internal format are raw bits, and a byte says whether data is null.
// At most kMaxCalls calls are made per input.
//
// Bounds: a call whose stream would exceed kMaxStream GL calls has its larger
// count halved until the stream fits, so time and memory stay bounded.  Only
// a positive count makes work, so huge counts still reach the library
// wherever the other count keeps the stream small (a disk with no loops, a
// cylinder with no slices, a torus with negative numt, and so on).  An image
// call that would read or write more than kMaxImageBytes, or filter more
// than kMaxFilterReads pixels, has its largest size or pixel-store value
// halved until it fits; images past the address space still reach the
// library, which must refuse them unread.
#include <GL/glu.h>
// The image calls' declarations, without the switch: the switch would make
// gluNewQuadric the compatibility layer's, and this program checks
// libsoftglu's own.
#include <GL/glu_compat.h>

#include "glrecord.h"
#include "provenance.h"

#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

using glrecord::Call;
using glrecord::Op;
using glrecord::Stream;

const int kMaxCalls = 64;
const std::size_t kMaxStream = 1 << 13;  // a 32x32 sphere is 6575 calls

const double kSpecialDoubles[] = {
    0.0, -0.0, 1.0, -1.0, 0.5, 2.0, 90.0, 360.0, 1e-300, 1e-40,
    4.9406564584124654e-324, -4.9406564584124654e-324, DBL_MIN, DBL_MAX, -DBL_MAX,
    6.8056473384187693e38,  // twice FLT_MAX: overflows when narrowed
    INFINITY, -INFINITY, NAN, -NAN};
const float kSpecialFloats[] = {
    0.0f, -0.0f, 1.0f, -1.0f, 0.25f, 2.5f, 1e-30f, FLT_TRUE_MIN, -FLT_TRUE_MIN,
    FLT_MIN, FLT_MAX, -FLT_MAX, INFINITY, -INFINITY, NAN, -NAN};
const int kSpecialCounts[] = {
    0, 1, -1, 2, 3, 4, 8, 32, 256, 1 << 24, (1 << 24) + 1, -(1 << 24) - 1,
    INT_MAX, INT_MAX - 1, INT_MIN, INT_MIN + 1};

class Reader {
public:
    Reader(const std::uint8_t *data, std::size_t size) : p_(data), end_(data + size) {}
    bool empty() const { return p_ == end_; }
    std::uint8_t byte() { return p_ < end_ ? *p_++ : 0; }

    template <typename T>
    T raw() {
        unsigned char b[sizeof(T)];
        for (unsigned char &c : b)
            c = byte();
        T v;
        std::memcpy(&v, b, sizeof v);
        return v;
    }

    // A special value, or raw bits.
    template <typename T, std::size_t N>
    T pick(const T (&special)[N]) {
        const std::uint8_t s = byte();
        return s < N ? special[s] : raw<T>();
    }

    double real() { return pick(kSpecialDoubles); }
    float single() { return pick(kSpecialFloats); }
    int count() { return pick(kSpecialCounts); }

private:
    const std::uint8_t *p_;
    const std::uint8_t *end_;
};

// A record the library must never touch: any access is an AddressSanitizer
// report.
GLUquadricObj poisonedQuadric;

GLUquadricObj *handle(Reader &in) {
    switch (in.byte() % 3) {
    case 0: return nullptr;
    case 1: return reinterpret_cast<GLUquadricObj *>(0x10);
    default: return &poisonedQuadric;
    }
}

std::string text(double v) {
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g (0x%016llx)", v, static_cast<unsigned long long>(b));
    return buf;
}

std::string text(float v) {
    std::uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.9gf (0x%08x)", static_cast<double>(v), b);
    return buf;
}

std::string text(int v) { return std::to_string(v); }

std::string text(GLUquadricObj *q) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%p", static_cast<void *>(q));
    return buf;
}

// The call being checked, for the failure report.
std::string current;

[[noreturn]] void fail(const std::string &what) {
    std::fprintf(stderr, "\n%s\n  in %s\n", what.c_str(), current.c_str());
    std::abort();
}

template <typename... Args>
void describe(const char *name, Args... args) {
    current = name;
    current += '(';
    const char *sep = "";
    ((current += sep, current += text(args), sep = ", "), ...);
    current += ')';
}

// The kinds of a stream's calls, one letter each: Q and F open a quad strip
// and a fan (B any other primitive), E closes; n normal, t texture
// coordinate, v glVertex3f, w glVertex2f, P glFrustum; M any matrix or
// pixel call of the compatibility layer.
char letter(const Call &c) {
    switch (c.op) {
    case Op::Begin:
        return c.mode == GL_QUAD_STRIP ? 'Q' : c.mode == GL_TRIANGLE_FAN ? 'F' : 'B';
    case Op::End: return 'E';
    case Op::Normal3f: return 'n';
    case Op::TexCoord2f: return 't';
    case Op::Vertex3f: return 'v';
    case Op::Vertex2f: return 'w';
    case Op::Frustum: return 'P';
    default: return 'M';
    }
}

std::string letters(const Stream &s) {
    std::string out;
    for (const Call &c : s)
        out += letter(c);
    return out;
}

// The letters a call must produce, built up to a size limit.
class Shape {
public:
    // Appends `part` `times` times; nothing when times <= 0.
    void add(const char *part, std::int64_t times = 1) {
        const std::size_t n = std::strlen(part);
        if (times <= 0 || !fits())
            return;
        if (static_cast<std::uint64_t>(times) > (kMaxStream - str.size()) / n) {
            tooBig_ = true;
            return;
        }
        for (std::int64_t i = 0; i < times; ++i)
            str += part;
    }
    // `count` quad strips, each of `steps` repeats of `step`.
    void strips(std::int64_t count, const char *step, std::int64_t steps) {
        for (std::int64_t i = 0; i < count && fits(); ++i) {
            add("Q");
            add(step, steps);
            add("E");
        }
    }
    bool fits() const { return !tooBig_; }
    std::string str;

private:
    bool tooBig_ = false;
};

// Column and row counts run to a count inclusive, so they are one more than
// the count (none when it is negative).
std::int64_t inclusive(int count) { return static_cast<std::int64_t>(count) + 1; }

Shape cylinderShape(int slices, int stacks) {
    Shape s;
    s.strips(slices, "ntvntv", inclusive(stacks));
    return s;
}

Shape diskShape(int slices, int loops) {
    Shape s;
    s.add("n");
    s.strips(loops, "twtw", inclusive(slices));
    return s;
}

Shape sphereShape(int slices, int stacks) {
    Shape s;
    s.add("Fntv");  // top pole
    s.add("nv", inclusive(slices));
    s.add("E");
    s.strips(stacks, "ntvntv", inclusive(slices));
    s.add("Fntv");  // bottom pole
    s.add("ntv", inclusive(slices));
    s.add("E");
    return s;
}

Shape torusShape(int numc, int numt) {
    Shape s;
    if (numt != 0)  // outside the domain: nothing is drawn
        s.strips(numc, "nvnv", inclusive(numt));
    return s;
}

// Halves the larger count until the call's stream fits.  Only a positive
// count makes work, and the larger of the two is positive whenever either is.
template <typename F>
std::string boundedShape(F shape, int &a, int &b) {
    for (;;) {
        Shape s = shape(a, b);
        if (s.fits())
            return s.str;
        int &larger = a >= b ? a : b;
        larger /= 2;
    }
}

void expectShape(const Stream &s, const std::string &want) {
    const std::string got = letters(s);
    if (got == want)
        return;
    std::size_t i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i])
        ++i;
    fail("stream differs from the expected sequence at call " + std::to_string(i) + " of " +
         std::to_string(got.size()) + " (expected " + std::to_string(want.size()) + "): got '" +
         got.substr(i, 16) + "', expected '" + want.substr(i, 16) + "'");
}

std::uint64_t bits64(double v) {
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// Call i is `op` with exactly these float arguments.
void expectCall(const Stream &s, std::size_t i, Op op, float a, float b, float c = 0.0f) {
    Call want{};
    want.op = op;
    want.f[0] = a;
    want.f[1] = b;
    want.f[2] = c;
    if (!glrecord::sameBits(s[i], want))
        fail("call " + std::to_string(i) + " is " + glrecord::formatHex(s[i]) + ", expected " +
             glrecord::formatHex(want));
}

// A ring's last step repeats its first, since the closing column uses angle
// 0 exactly: same positions and normals and, unless `withTex` is false, the
// same texture coordinates.  The primitive opens with `head` vertices (a
// fan's pole); a step is `step` vertices.
void expectClosedRing(const glrecord::Primitive &p, std::size_t head, std::size_t step,
                      bool withTex) {
    const std::vector<glrecord::Vertex> &v = p.vertices;
    if (v.size() < head + 2 * step)
        return;  // fewer than two steps
    for (std::size_t k = 0; k < step; ++k) {
        const glrecord::Vertex &first = v[head + k], &last = v[v.size() - step + k];
        if (std::memcmp(first.pos, last.pos, sizeof first.pos) != 0 ||
            std::memcmp(first.normal, last.normal, sizeof first.normal) != 0 ||
            (withTex && std::memcmp(first.tex, last.tex, sizeof first.tex) != 0))
            fail("ring not closed: vertex " + std::to_string(v.size() - step + k) +
                 " differs from vertex " + std::to_string(head + k) + " of its primitive");
    }
}

// One call's stream and the primitives GL makes of it.
struct Recorded {
    const Stream &calls;
    std::vector<glrecord::Primitive> primitives;
};

// Records one call and checks that its primitives are well formed: balanced,
// not nested, vertices only inside.  One buffer serves every call, so its
// memory is reused.
template <typename F>
Recorded record(F &&draw) {
    static Stream calls;
    calls.clear();
    glrecord::Stream *previous = glrecord::setCurrent(&calls);
    draw();
    glrecord::setCurrent(previous);
    Recorded out{calls, {}};
    const std::string error = glrecord::replay(calls, out.primitives);
    if (!error.empty())
        fail(error);
    return out;
}

void perspective(Reader &in) {
    const double fovy = in.real(), aspect = in.real(), zNear = in.real(), zFar = in.real();
    describe("gluPerspective", fovy, aspect, zNear, zFar);
    const Stream &s = record([&] { gluPerspective(fovy, aspect, zNear, zFar); }).calls;
    expectShape(s, "P");
    const Call &f = s[0];
    if (f.dbits(4) != bits64(zNear) || f.dbits(5) != bits64(zFar))
        fail("depth range changed: " + glrecord::formatHex(f));
    if (f.dbits(2) != (f.dbits(3) ^ (1ull << 63)))
        fail("bottom is not -top: " + glrecord::formatHex(f));
}

void newQuadric() {
    describe("gluNewQuadric");
    GLUquadricObj *q = reinterpret_cast<GLUquadricObj *>(1);
    expectShape(record([&] { q = gluNewQuadric(); }).calls, "");
    if (q != nullptr)
        fail("gluNewQuadric returned a non-null handle");
}

void drawStyle(Reader &in) {
    GLUquadricObj *q = handle(in);
    const int style = in.count();
    describe("gluQuadricDrawStyle", q, style);
    expectShape(record([&] { gluQuadricDrawStyle(q, style); }).calls, "");
}

void cylinder(Reader &in) {
    GLUquadricObj *q = handle(in);
    const double base = in.real(), top = in.real(), height = in.real();
    int slices = in.count(), stacks = in.count();
    const std::string want = boundedShape(cylinderShape, slices, stacks);
    describe("gluCylinder", q, base, top, height, slices, stacks);
    expectShape(record([&] { gluCylinder(q, base, top, height, slices, stacks); }).calls, want);
}

void disk(Reader &in) {
    GLUquadricObj *q = handle(in);
    const double inner = in.real(), outer = in.real();
    int slices = in.count(), loops = in.count();
    const std::string want = boundedShape(diskShape, slices, loops);
    describe("gluDisk", q, inner, outer, slices, loops);
    const Recorded r = record([&] { gluDisk(q, inner, outer, slices, loops); });
    expectShape(r.calls, want);
    expectCall(r.calls, 0, Op::Normal3f, 0.0f, 0.0f, 1.0f);
    for (const glrecord::Primitive &p : r.primitives)
        expectClosedRing(p, 0, 2, true);
}

// The pole each fan starts with, as GL sees it.
void expectPole(const glrecord::Primitive &fan, float z, float normalZ, float t) {
    const glrecord::Vertex want{{0.0f, 0.0f, z}, {0.0f, 0.0f, normalZ}, {0.5f, t}};
    if (std::memcmp(&fan.vertices[0], &want, sizeof want) != 0)
        fail("wrong pole vertex, normal or texture coordinate");
}

void sphere(Reader &in) {
    GLUquadricObj *q = handle(in);
    const float radius = in.single();
    int slices = in.count(), stacks = in.count();
    const std::string want = boundedShape(sphereShape, slices, stacks);
    describe("gluSphere", q, radius, slices, stacks);
    const Recorded r = record([&] { gluSphere(q, radius, slices, stacks); });
    expectShape(r.calls, want);
    // Every ring closes on column 0's position and normal, though not on
    // its texture s.
    const std::vector<glrecord::Primitive> &p = r.primitives;
    expectPole(p.front(), radius, 1.0f, 0.0f);
    expectPole(p.back(), -radius, -1.0f, 1.0f);
    expectClosedRing(p.front(), 1, 1, false);
    for (std::size_t i = 1; i + 1 < p.size(); ++i)
        expectClosedRing(p[i], 0, 2, false);
    expectClosedRing(p.back(), 1, 1, false);
}

void torus(Reader &in) {
    const float rc = in.single();
    int numc = in.count();
    const float rt = in.single();
    int numt = in.count();
    const std::string want = boundedShape(torusShape, numc, numt);
    describe("drawTorus", rc, numc, rt, numt);
    const Recorded r = record([&] { drawTorus(rc, numc, rt, numt); });
    expectShape(r.calls, want);
    for (const glrecord::Primitive &p : r.primitives)
        expectClosedRing(p, 0, 2, true);
}

// ---- The image calls ----------------------------------------------------------

// A pixel-store state as the fuzzer sets it (any values, GL's or not).
struct Store {
    int swap, rowLength, skipRows, skipPixels, alignment;
};

const unsigned kFormats[] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA, GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB, GL_BGR,
                             GL_RGBA, GL_BGRA, GL_COLOR_INDEX, GL_INTENSITY, GL_DEPTH_COMPONENT, 0};
const unsigned kTypes[] = {GL_UNSIGNED_BYTE, GL_UNSIGNED_SHORT, GL_UNSIGNED_INT, GL_BYTE, GL_FLOAT,
                           GL_UNSIGNED_SHORT_5_6_5, GL_BITMAP};
const int kSides[] = {0, 1, 2, 3, 4, 5, 7, 8, 16, 31, 33, 48, 57, 64, 100, 1 << 30, -1, INT_MIN, INT_MAX};
const int kStoreValues[] = {0, 1, 2, 4, 8, 3, 16, -1, 7, 100, INT_MAX, INT_MIN};
const int kMaxSizes[] = {2048, 0, 1, 2, 16, 64, 100, -1, 1 << 30, INT_MAX};

// Bounds on one call's work: the bytes of its input image and of its
// output or working copy, and the input pixels its filter may read.
const std::uint64_t kMaxImageBytes = 1 << 16;
const std::uint64_t kMaxFilterReads = 1 << 18;

// The fuzzer's own account of what the calls accept and how GL lays
// images out, for the oracle.
int componentsOf(unsigned format) {
    switch (format) {
    case GL_RED: case GL_GREEN: case GL_BLUE: case GL_ALPHA: case GL_LUMINANCE: return 1;
    case GL_LUMINANCE_ALPHA: return 2;
    case GL_RGB: case GL_BGR: return 3;
    case GL_RGBA: case GL_BGRA: return 4;
    default: return 0;
    }
}

int bytesOf(unsigned type) {
    return type == GL_UNSIGNED_BYTE ? 1 : type == GL_UNSIGNED_SHORT ? 2 : type == GL_UNSIGNED_INT ? 4 : 0;
}

bool glHolds(const Store &s) {
    return (s.alignment == 1 || s.alignment == 2 || s.alignment == 4 || s.alignment == 8) && s.rowLength >= 0 &&
           s.skipRows >= 0 && s.skipPixels >= 0;
}

using Wide = unsigned __int128;  // no product of the sizes here overflows it
const Wide kAddressable = PTRDIFF_MAX;

// Where component c of pixel (x, y) lies, for a state GL holds.
struct Placement {
    Wide offset, stride, group;
    int size;
    Wide at(int x, int y, int c) const {
        return offset + static_cast<Wide>(y) * stride + static_cast<Wide>(x) * group + static_cast<Wide>(c * size);
    }
    Wide end(int width, int height) const { return at(0, height - 1, 0) + static_cast<Wide>(width) * group; }
};

Placement place(const Store &s, int width, int n, int size) {
    const Wide group = static_cast<Wide>(n * size);
    Wide stride = group * static_cast<Wide>(s.rowLength > 0 ? s.rowLength : width);
    if (size < s.alignment)
        stride = (stride + static_cast<Wide>(s.alignment) - 1) / static_cast<Wide>(s.alignment) *
                 static_cast<Wide>(s.alignment);
    return {static_cast<Wide>(s.skipPixels) * group + static_cast<Wide>(s.skipRows) * stride, stride, group, size};
}

// The side of level 0: the nearer of the powers of two around n (the
// upper one on a tie), at most the largest power of two <= maxSize.
std::int64_t fittedSide(std::int64_t n, std::int64_t maxSize) {
    std::int64_t lo = 1;
    while (lo * 2 <= n)
        lo *= 2;
    const std::int64_t hi = lo * 2;
    std::int64_t cap = 1;
    while (cap * 2 <= maxSize)
        cap *= 2;
    return std::min(hi - n <= n - lo ? hi : lo, cap);
}

int log2Floor(std::int64_t n) {
    int k = 0;
    while (n > 1) {
        n /= 2;
        ++k;
    }
    return k;
}

bool powerOfTwo(std::int64_t n) { return n > 0 && (n & (n - 1)) == 0; }

Store readStore(Reader &in) {
    Store s;
    s.swap = in.pick(kStoreValues);
    s.rowLength = in.pick(kStoreValues);
    s.skipRows = in.pick(kStoreValues);
    s.skipPixels = in.pick(kStoreValues);
    s.alignment = in.pick(kStoreValues);
    return s;
}

void setStore(const Store &s, bool pack) {
    glPixelStorei(pack ? GL_PACK_SWAP_BYTES : GL_UNPACK_SWAP_BYTES, s.swap);
    glPixelStorei(pack ? GL_PACK_ROW_LENGTH : GL_UNPACK_ROW_LENGTH, s.rowLength);
    glPixelStorei(pack ? GL_PACK_SKIP_ROWS : GL_UNPACK_SKIP_ROWS, s.skipRows);
    glPixelStorei(pack ? GL_PACK_SKIP_PIXELS : GL_UNPACK_SKIP_PIXELS, s.skipPixels);
    glPixelStorei(pack ? GL_PACK_ALIGNMENT : GL_UNPACK_ALIGNMENT, s.alignment);
}

// Halves the largest of `values` (those above 1); false when none is.
bool halveLargest(std::initializer_list<int *> values) {
    int *largest = nullptr;
    for (int *v : values)
        if (*v > 1 && (!largest || *v > *largest))
            largest = v;
    if (!largest)
        return false;
    *largest /= 2;
    return true;
}

// Memory the calls must never read: any access is an AddressSanitizer
// report.  Passed where the call must refuse before reading.
unsigned char poisonedImage[64];

// Client memory of `bytes` bytes from a seed (a small generator: the
// values matter less than the sizes).
std::vector<unsigned char> imageBytes(Wide bytes, std::uint32_t seed) {
    std::vector<unsigned char> out(static_cast<std::size_t>(bytes));
    for (unsigned char &b : out) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<unsigned char>(seed >> 24);
    }
    return out;
}

std::uint32_t element(const unsigned char *p, int size, bool swap) {
    std::uint32_t v = 0;
    if (size == 1)
        return *p;
    if (size == 2) {
        std::uint16_t e;
        std::memcpy(&e, p, sizeof e);
        return swap ? static_cast<std::uint16_t>((e >> 8) | (e << 8)) : e;
    }
    std::memcpy(&v, p, sizeof v);
    return swap ? __builtin_bswap32(v) : v;
}

// A value of one type as the nearest of another (1, 2 or 4 bytes), as GL
// converts unsigned components: v * maxOut / maxIn, rounded.
std::uint32_t convert(std::uint32_t v, int from, int to) {
    const Wide maxIn = (Wide(1) << (8 * from)) - 1, maxOut = (Wide(1) << (8 * to)) - 1;
    return static_cast<std::uint32_t>((Wide(v) * maxOut * 2 + maxIn) / (2 * maxIn));
}

// Call i is `op` with these integer arguments.
void expectInts(const Stream &s, std::size_t i, Op op, std::initializer_list<std::int32_t> args) {
    Call want{};
    want.op = op;
    int k = 0;
    for (std::int32_t a : args)
        want.i[k++] = a;
    if (i >= s.size() || s[i].op != op || std::memcmp(s[i].i, want.i, sizeof want.i) != 0)
        fail("call " + std::to_string(i) + " is " + (i < s.size() ? glrecord::format(s[i]) : "missing") +
             ", expected " + glrecord::format(want));
}

const unsigned kUnpackNames[] = {GL_UNPACK_SWAP_BYTES, GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_ROWS,
                                 GL_UNPACK_SKIP_PIXELS, GL_UNPACK_ALIGNMENT};
const unsigned kPackNames[] = {GL_PACK_SWAP_BYTES, GL_PACK_ROW_LENGTH, GL_PACK_SKIP_ROWS, GL_PACK_SKIP_PIXELS,
                               GL_PACK_ALIGNMENT};

std::int32_t value(const Store &s, int k) {
    const int v[] = {s.swap, s.rowLength, s.skipRows, s.skipPixels, s.alignment};
    return v[k];
}

// The five glGetIntegerv calls of a state from call i on.
void expectGets(const Stream &s, std::size_t i, const unsigned (&names)[5], const Store &st) {
    for (int k = 0; k < 5; ++k)
        expectInts(s, i + static_cast<std::size_t>(k), Op::GetIntegerv, {static_cast<std::int32_t>(names[k]), value(st, k)});
}

void expectCode(GLint got, GLint want) {
    if (got != want)
        fail("returned " + std::to_string(got) + ", expected " + std::to_string(want));
}

// gluBuild1DMipmaps, gluBuild2DMipmaps and their *Levels forms.
void mipmaps(Reader &in, int dims, bool levels) {
    const unsigned target = in.raw<unsigned>();
    const int internalFormat = in.raw<int>();
    int width = in.pick(kSides), height = dims == 2 ? in.pick(kSides) : 1;
    const unsigned format = in.pick(kFormats), type = in.pick(kTypes);
    const int userLevel = levels ? in.count() : 0, base = levels ? in.count() : 0, max = levels ? in.count() : 0;
    Store unpack = readStore(in);
    const int maxSize = in.pick(kMaxSizes);
    const bool null = (in.byte() & 7) == 0;
    const std::uint32_t seed = in.raw<std::uint32_t>();

    // What the call must do, with the sizes bounded so that an image it
    // reads fits in kMaxImageBytes.
    const int n = componentsOf(format), size = bytesOf(type);
    GLint code = 0;
    std::size_t gets = 0;
    std::int64_t w = 0, h = 0, top = 0, first = 0, last = 0;
    Wide extent = 0;
    for (;;) {
        gets = 0;
        w = width;
        h = height;
        if (n == 0 || size == 0) {
            code = GLU_INVALID_ENUM;
            break;
        }
        if (width < 1 || height < 1 || null) {
            code = GLU_INVALID_VALUE;
            break;
        }
        first = levels ? base : 0;
        if (levels) {
            top = static_cast<std::int64_t>(userLevel) + log2Floor(std::max(w, h));
            if (!powerOfTwo(w) || !powerOfTwo(h) || userLevel > base || base < 0 || max < base || max > top) {
                code = GLU_INVALID_VALUE;
                break;
            }
            last = max;
        }
        gets = levels ? 5 : 6;
        if (!glHolds(unpack)) {
            code = GLU_INVALID_VALUE;
            break;
        }
        extent = place(unpack, width, n, size).end(width, height);
        if (!levels) {
            w = fittedSide(width, maxSize);
            h = dims == 2 ? fittedSide(height, maxSize) : 1;
            last = log2Floor(std::max(w, h));
        }
        const Wide work = static_cast<Wide>(w) * static_cast<Wide>(h) * static_cast<Wide>(n * size);
        if (extent > kAddressable || work > kAddressable) {
            code = GLU_OUT_OF_MEMORY;
            break;
        }
        code = 0;
        const Wide reads = (static_cast<Wide>(width) + static_cast<Wide>(w)) * (static_cast<Wide>(height) + static_cast<Wide>(h));
        if ((extent <= kMaxImageBytes && work <= kMaxImageBytes && reads <= kMaxFilterReads) ||
            !halveLargest({&width, &height, &unpack.rowLength, &unpack.skipRows, &unpack.skipPixels}))
            break;
    }

    describe(dims == 1 ? (levels ? "gluBuild1DMipmapLevels" : "gluBuild1DMipmaps")
                       : (levels ? "gluBuild2DMipmapLevels" : "gluBuild2DMipmaps"),
             static_cast<int>(target), internalFormat, width, height, static_cast<int>(format), static_cast<int>(type),
             userLevel, base, max);
    current += " unpack " + std::to_string(unpack.swap) + " " + std::to_string(unpack.rowLength) + " " +
               std::to_string(unpack.skipRows) + " " + std::to_string(unpack.skipPixels) + " " +
               std::to_string(unpack.alignment) + ", max size " + std::to_string(maxSize);

    glrecord::resetPixelStore();
    setStore(unpack, false);
    glrecord::setMaxTextureSize(maxSize);
    const bool reads = code == 0;
    const std::vector<unsigned char> image = reads ? imageBytes(extent, seed) : std::vector<unsigned char>();
    const void *data = null ? nullptr : reads ? static_cast<const void *>(image.data()) : poisonedImage;
    GLint got = -1;
    const Stream &s = record([&] {
        if (dims == 1)
            got = levels ? gluBuild1DMipmapLevels(target, internalFormat, width, format, type, userLevel, base, max, data)
                         : gluBuild1DMipmaps(target, internalFormat, width, format, type, data);
        else
            got = levels ? gluBuild2DMipmapLevels(target, internalFormat, width, height, format, type, userLevel, base,
                                                  max, data)
                         : gluBuild2DMipmaps(target, internalFormat, width, height, format, type, data);
    }).calls;
    glrecord::resetPixelStore();
    glrecord::setMaxTextureSize(2048);
    expectCode(got, code);

    // The state read, then (on success) the levels sent packed tight and
    // the state put back.
    if (gets > 0) {
        expectGets(s, 0, kUnpackNames, unpack);
        if (gets == 6)
            expectInts(s, 5, Op::GetIntegerv, {GL_MAX_TEXTURE_SIZE, maxSize});
    }
    std::size_t i = gets;
    if (code == 0) {
        const Store tight = {0, 0, 0, 0, 1};
        for (int k = 0; k < 5; ++k, ++i)
            expectInts(s, i, Op::PixelStorei, {static_cast<std::int32_t>(kUnpackNames[k]), value(tight, k)});
        const std::int32_t t = static_cast<std::int32_t>(target), f = static_cast<std::int32_t>(format),
                           ty = static_cast<std::int32_t>(type);
        for (std::int64_t l = levels ? userLevel : 0; l <= last; ++l) {
            if (l >= first) {
                const std::int32_t level = static_cast<std::int32_t>(l), lw = static_cast<std::int32_t>(w),
                                   lh = static_cast<std::int32_t>(h);
                if (dims == 1)
                    expectInts(s, i, Op::TexImage1D, {t, level, internalFormat, lw, 0, f, ty});
                else
                    expectInts(s, i, Op::TexImage2D, {t, level, internalFormat, lw, lh, 0, f, ty});
                if (s[i].bytes != static_cast<std::uint64_t>(w * h * n * size))
                    fail("level " + std::to_string(l) + " sends " + std::to_string(s[i].bytes) + " bytes");
                ++i;
            }
            w = std::max<std::int64_t>(w / 2, 1);
            h = std::max<std::int64_t>(h / 2, 1);
        }
        for (int k = 0; k < 5; ++k, ++i)
            expectInts(s, i, Op::PixelStorei, {static_cast<std::int32_t>(kUnpackNames[k]), value(unpack, k)});
    }
    if (s.size() != i)
        fail("sent " + std::to_string(s.size()) + " calls, expected " + std::to_string(i));
}

// gluScaleImage: besides the code and the glGetIntegerv calls, every
// output component lies between the input's smallest and largest (as the
// output type holds them), a same-size scale converts each pixel as it is,
// and no byte of the output memory but the pixels' is written.
void scaleImage(Reader &in) {
    const unsigned format = in.pick(kFormats), typeIn = in.pick(kTypes), typeOut = in.pick(kTypes);
    int wIn = in.pick(kSides), hIn = in.pick(kSides), wOut = in.pick(kSides), hOut = in.pick(kSides);
    Store unpack = readStore(in), pack = readStore(in);
    const std::uint8_t nulls = in.byte();
    const bool nullIn = (nulls & 7) == 0, nullOut = (nulls & 0x38) == 0;
    const std::uint32_t seed = in.raw<std::uint32_t>();

    const int n = componentsOf(format), sIn = bytesOf(typeIn), sOut = bytesOf(typeOut);
    GLint code = 0;
    std::size_t gets = 0;
    Wide extentIn = 0, extentOut = 0;
    for (;;) {
        gets = 0;
        if (n == 0 || sIn == 0 || sOut == 0) {
            code = GLU_INVALID_ENUM;
            break;
        }
        if (wIn < 0 || hIn < 0 || wOut < 0 || hOut < 0) {
            code = GLU_INVALID_VALUE;
            break;
        }
        if (wIn == 0 || hIn == 0 || wOut == 0 || hOut == 0) {
            code = 0;
            break;
        }
        if (nullIn || nullOut) {
            code = GLU_INVALID_VALUE;
            break;
        }
        gets = 10;
        if (!glHolds(unpack) || !glHolds(pack)) {
            code = GLU_INVALID_VALUE;
            break;
        }
        extentIn = place(unpack, wIn, n, sIn).end(wIn, hIn);
        extentOut = place(pack, wOut, n, sOut).end(wOut, hOut);
        if (extentIn > kAddressable || extentOut > kAddressable) {
            code = GLU_OUT_OF_MEMORY;
            break;
        }
        code = 0;
        const Wide reads = (static_cast<Wide>(wIn) + static_cast<Wide>(wOut)) * (static_cast<Wide>(hIn) + static_cast<Wide>(hOut));
        if ((extentIn <= kMaxImageBytes && extentOut <= kMaxImageBytes && reads <= kMaxFilterReads) ||
            !halveLargest({&wIn, &hIn, &wOut, &hOut, &unpack.rowLength, &unpack.skipRows, &unpack.skipPixels,
                           &pack.rowLength, &pack.skipRows, &pack.skipPixels}))
            break;
    }
    describe("gluScaleImage", static_cast<int>(format), wIn, hIn, static_cast<int>(typeIn), wOut, hOut,
             static_cast<int>(typeOut));

    glrecord::resetPixelStore();
    setStore(unpack, false);
    setStore(pack, true);
    const bool works = code == 0 && gets == 10;
    const std::vector<unsigned char> image = works ? imageBytes(extentIn, seed) : std::vector<unsigned char>();
    std::vector<unsigned char> out = works ? imageBytes(extentOut, ~seed) : std::vector<unsigned char>();
    const std::vector<unsigned char> before = out;
    const void *dataIn = nullIn ? nullptr : works ? static_cast<const void *>(image.data()) : poisonedImage;
    void *dataOut = nullOut ? nullptr : works ? static_cast<void *>(out.data()) : poisonedImage;
    GLint got = -1;
    const Stream &s = record([&] {
        got = gluScaleImage(format, wIn, hIn, typeIn, dataIn, wOut, hOut, typeOut, dataOut);
    }).calls;
    glrecord::resetPixelStore();
    expectCode(got, code);
    if (s.size() != gets)
        fail("sent " + std::to_string(s.size()) + " calls, expected " + std::to_string(gets));
    if (gets == 10) {
        expectGets(s, 0, kUnpackNames, unpack);
        expectGets(s, 5, kPackNames, pack);
    }
    if (!works)
        return;

    const Placement from = place(unpack, wIn, n, sIn), to = place(pack, wOut, n, sOut);
    std::uint32_t lo = UINT32_MAX, hi = 0;
    for (int y = 0; y < hIn; ++y)
        for (int x = 0; x < wIn; ++x)
            for (int c = 0; c < n; ++c) {
                const std::uint32_t v = element(&image[static_cast<std::size_t>(from.at(x, y, c))], sIn, unpack.swap != 0);
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
    lo = convert(lo, sIn, sOut);
    hi = convert(hi, sIn, sOut);
    std::vector<bool> pixel(out.size());
    for (int y = 0; y < hOut; ++y)
        for (int x = 0; x < wOut; ++x)
            for (int c = 0; c < n; ++c) {
                const std::size_t at = static_cast<std::size_t>(to.at(x, y, c));
                const std::uint32_t v = element(&out[at], sOut, pack.swap != 0);
                if (v < lo || v > hi)
                    fail("output component " + std::to_string(v) + " outside the input's range");
                if (wIn == wOut && hIn == hOut) {
                    const std::uint32_t src =
                        element(&image[static_cast<std::size_t>(from.at(x, y, c))], sIn, unpack.swap != 0);
                    if (v != convert(src, sIn, sOut))
                        fail("a same-size scale changed pixel " + std::to_string(x) + ", " + std::to_string(y));
                }
                for (int b = 0; b < sOut; ++b)
                    pixel[at + static_cast<std::size_t>(b)] = true;
            }
    for (std::size_t k = 0; k < out.size(); ++k)
        if (!pixel[k] && out[k] != before[k])
            fail("byte " + std::to_string(k) + " of the output, outside its pixels, was written");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    // The functions under test must be those of the libsoftglu just built.
    const std::string loaded = definingObject(&gluSphere);
    if (loaded.empty() || loaded != realPath(SOFTGLU_BUILT_LIBRARY)) {
        std::fprintf(stderr, "gluSphere comes from %s, not from %s\n",
                     loaded.empty() ? "?" : loaded.c_str(), SOFTGLU_BUILT_LIBRARY);
        std::abort();
    }
    ASAN_POISON_MEMORY_REGION(&poisonedQuadric, sizeof poisonedQuadric);
    ASAN_POISON_MEMORY_REGION(poisonedImage, sizeof poisonedImage);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    Reader in(data, size);
    for (int n = 0; n < kMaxCalls && !in.empty(); ++n) {
        switch (in.byte() % 12) {
        case 0: perspective(in); break;
        case 1: newQuadric(); break;
        case 2: drawStyle(in); break;
        case 3: cylinder(in); break;
        case 4: disk(in); break;
        case 5: sphere(in); break;
        case 6: torus(in); break;
        case 7: mipmaps(in, 1, false); break;
        case 8: mipmaps(in, 2, false); break;
        case 9: mipmaps(in, 1, true); break;
        case 10: mipmaps(in, 2, true); break;
        default: scaleImage(in); break;
        }
    }
    return 0;
}
