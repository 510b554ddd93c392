// SPDX-License-Identifier: MIT
// libFuzzer target: turns its input into a sequence of calls of all seven
// functions with arbitrary argument bits, records what each call sends to GL,
// and aborts on the first stream that breaks a rule every input must keep:
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
//   a record poisoned for AddressSanitizer.
//
// Input format, read front to back (bytes past the end read as zero): one
// byte picks the function (modulo 7), then its arguments in signature order.
// A handle takes one byte (modulo 3).  A double, float or count takes a
// selector byte: below the size of its table of special values it picks one
// of them (zeros, infinities, NaNs, subnormals, extremes, the counts around
// 2^24 and INT_MAX); otherwise the value's raw little-endian bits follow.
// At most kMaxCalls calls are made per input.
//
// Bounds: a call whose stream would exceed kMaxStream GL calls has its larger
// count halved until the stream fits, so time and memory stay bounded.  Only
// a positive count makes work, so huge counts still reach the library
// wherever the other count keeps the stream small (a disk with no loops, a
// cylinder with no slices, a torus with negative numt, and so on).
#include <GL/glu.h>

#include "glrecord.h"
#include "provenance.h"

#include <sanitizer/asan_interface.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    Reader in(data, size);
    for (int n = 0; n < kMaxCalls && !in.empty(); ++n) {
        switch (in.byte() % 7) {
        case 0: perspective(in); break;
        case 1: newQuadric(); break;
        case 2: drawStyle(in); break;
        case 3: cylinder(in); break;
        case 4: disk(in); break;
        case 5: sphere(in); break;
        default: torus(in); break;
        }
    }
    return 0;
}
