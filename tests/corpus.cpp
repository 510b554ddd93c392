// SPDX-License-Identifier: MIT
// softglu_corpus: the reference stream.  A fixed corpus of calls, run with
// the math library taken out of the comparison, against the stream that
// tests/reference/ holds under version control.
//
//   softglu_corpus record DIR         run the corpus with this machine's
//                                     sin/cos/tan; write DIR/math.txt (every
//                                     argument the library asked for, with
//                                     the result) and DIR/stream.txt
//   softglu_corpus replay DIR [LIB]   answer sin/cos/tan from DIR/math.txt,
//                                     run the corpus and compare every GL
//                                     call, bit for bit, with DIR/stream.txt.
//                                     LIB is the library file that must be
//                                     answering (default: this build's).
//   softglu_corpus digest             a hash of the stream of each of many
//                                     more calls (tests/mutants.sh)
//   softglu_corpus check DIR          the same for the cases that DIR and
//                                     the corpus share, with this machine's
//                                     results for arguments DIR lacks: what
//                                     `make reference` runs before it writes
//                                     a new reference
//
// Platforms' math libraries differ in the last bit of sin and cos for a few
// arguments, and the library's output legitimately follows them.  This
// program defines and exports sin, cos, tan and sincos itself, so the library
// binds to them at load time; replaying the recorded results leaves only the
// library's own arithmetic to compare, and that must match bit for bit on
// every architecture.  NaNs compare as a class: their sign and payload come
// from the arithmetic unit (SSE makes 0xffc00000 of 0/0, ARM's soft-float
// routines 0x7fc00000).  sqrt is correctly rounded everywhere and is left to
// the real math library.
#include <GL/glu.h>

#include "glrecord.h"
#include "provenance.h"

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// ---- The math functions the library binds to --------------------------------

enum class Fn { Sin, Cos, Tan };
const char *const kFnNames[] = {"sin", "cos", "tan"};

std::uint64_t bitsOf(double v) {
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

double fromBits(std::uint64_t b) {
    double v;
    std::memcpy(&v, &b, sizeof v);
    return v;
}

[[noreturn]] void die(const std::string &message) {
    std::fprintf(stderr, "softglu_corpus: %s\n", message.c_str());
    std::exit(2);
}

// The math library's own function, found past this program's definition.
template <typename F>
F real(const char *name) {
    void *fn = dlsym(RTLD_NEXT, name);
    if (!fn)
        die(std::string("no ") + name + " in the math library: " + dlerror());
    return reinterpret_cast<F>(fn);
}

double realOne(Fn fn, double x) {
    using F = double (*)(double);
    static const F f[] = {real<F>("sin"), real<F>("cos"), real<F>("tan")};
    return f[static_cast<int>(fn)](x);
}

// Record: answer with this machine's result and remember it.  Replay:
// answer from the recording only.  Check: from the recording where it has
// the argument, else with this machine's result.
enum class Mode { Record, Replay, Check };
Mode mode = Mode::Record;
std::map<std::uint64_t, std::uint64_t> table[3];   // argument bits -> result bits
std::set<std::pair<int, std::uint64_t>> replayed;  // (function, argument bits)

double answer(Fn fn, double x, double result) {
    std::map<std::uint64_t, std::uint64_t> &t = table[static_cast<int>(fn)];
    const auto it = t.find(bitsOf(x));
    if (mode != Mode::Record && it != t.end()) {
        replayed.insert({static_cast<int>(fn), it->first});
        return fromBits(it->second);
    }
    if (mode == Mode::Replay) {
        char msg[160];
        std::snprintf(msg, sizeof msg, "%s(%.17g, bits 0x%016" PRIx64 ") is not in the recording",
                      kFnNames[static_cast<int>(fn)], x, bitsOf(x));
        die(msg);
    }
    if (mode == Mode::Record) {
        if (it != t.end() && it->second != bitsOf(result))
            die(std::string(kFnNames[static_cast<int>(fn)]) + " and sincos give two results for one argument");
        t[bitsOf(x)] = bitsOf(result);
    }
    return result;
}

}  // namespace

// The library calls sincos where the compiler fused a sin and a cos of one
// argument; its results are recorded as sin's and cos's, which must agree.
extern "C" {

double sin(double x) noexcept { return answer(Fn::Sin, x, mode == Mode::Replay ? 0.0 : realOne(Fn::Sin, x)); }
double cos(double x) noexcept { return answer(Fn::Cos, x, mode == Mode::Replay ? 0.0 : realOne(Fn::Cos, x)); }
double tan(double x) noexcept { return answer(Fn::Tan, x, mode == Mode::Replay ? 0.0 : realOne(Fn::Tan, x)); }

void sincos(double x, double *s, double *c) noexcept {
    using F = void (*)(double, double *, double *);
    static const F realSincos = real<F>("sincos");
    double rs = 0.0, rc = 0.0;
    if (mode != Mode::Replay)
        realSincos(x, &rs, &rc);
    *s = answer(Fn::Sin, x, rs);
    *c = answer(Fn::Cos, x, rc);
}

}  // extern "C"

namespace {

// ---- The corpus ----------------------------------------------------------------

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const float kInfF = std::numeric_limits<float>::infinity();
const float kNaNF = std::numeric_limits<float>::quiet_NaN();

struct Case {
    std::string label;
    std::function<std::string()> run;  // returns a result to compare, if any
};

// printf into a string.  Labels print doubles with %.17g and floats with
// %.9g, which read back exactly.
std::string label(const char *format, ...) __attribute__((format(printf, 1, 2)));
std::string label(const char *format, ...) {
    char buf[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

struct Counts {
    int a, b;
};

// Arguments that are the same on every architecture: integers from a fixed
// linear congruential sequence, made decimal by one correctly rounded
// division (k / 1000 fills the mantissa, unlike a binary fraction, whose
// short products would hide a product taken in the wrong precision).
class Numbers {
public:
    explicit Numbers(std::uint64_t seed) : state_(seed) {}
    int count(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<std::uint32_t>(hi - lo + 1)); }
    double decimal(int lo, int hi) { return count(lo, hi) / 1000.0; }  // in [lo, hi] / 1000
    float decimalf(int lo, int hi) { return static_cast<float>(decimal(lo, hi)); }

private:
    std::uint32_t next() {
        state_ = state_ * 6364136223846793005u + 1442695040888963407u;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    std::uint64_t state_;
};

void addDrawCase(std::vector<Case> &cases, std::string l, std::function<void()> draw) {
    cases.push_back({std::move(l), [draw] { draw(); return std::string(); }});
}

void addPerspective(std::vector<Case> &cases, double fovy, double aspect, double zNear, double zFar) {
    addDrawCase(cases, label("gluPerspective(%.17g, %.17g, %.17g, %.17g)", fovy, aspect, zNear, zFar),
                [=] { gluPerspective(fovy, aspect, zNear, zFar); });
}

void addCylinder(std::vector<Case> &cases, double base, double top, double height, int slices, int stacks) {
    addDrawCase(cases, label("gluCylinder(q, %.17g, %.17g, %.17g, %d, %d)", base, top, height, slices, stacks),
                [=] { gluCylinder(nullptr, base, top, height, slices, stacks); });
}

void addDisk(std::vector<Case> &cases, double inner, double outer, int slices, int loops) {
    addDrawCase(cases, label("gluDisk(q, %.17g, %.17g, %d, %d)", inner, outer, slices, loops),
                [=] { gluDisk(nullptr, inner, outer, slices, loops); });
}

void addSphere(std::vector<Case> &cases, float radius, int slices, int stacks) {
    addDrawCase(cases, label("gluSphere(q, %.9g, %d, %d)", static_cast<double>(radius), slices, stacks),
                [=] { gluSphere(nullptr, radius, slices, stacks); });
}

void addTorus(std::vector<Case> &cases, float rc, int numc, float rt, int numt) {
    addDrawCase(cases,
                label("drawTorus(%.9g, %d, %.9g, %d)", static_cast<double>(rc), numc, static_cast<double>(rt), numt),
                [=] { drawTorus(rc, numc, rt, numt); });
}

// Each function over its edges: zero, negative and one-step counts,
// degenerate, huge, infinite and NaN arguments.
void addEdgeCases(std::vector<Case> &cases) {
    const double fovys[] = {0, 1, 30, 45, 60, 90, 120, 179, 180, 270, 360, -45, 1e-300, 1e300, kInf, -kInf, kNaN};
    const double aspects[] = {1, 4.0 / 3.0, -1, 0};
    const double planes[][2] = {{1, 10}, {0.1, 1000}, {0, 1}, {-1, 1}, {kInf, kNaN}};
    int n = 0;
    for (double fovy : fovys)
        for (double aspect : aspects) {
            const double *p = planes[n++ % 5];
            addPerspective(cases, fovy, aspect, p[0], p[1]);
        }

    // The quadric handle: always null, the draw style ignored.
    for (int style : {GLU_POINT, GLU_LINE, GLU_FILL, GLU_SILHOUETTE, -1})
        cases.push_back({label("gluNewQuadric, gluQuadricDrawStyle(q, %d)", style), [style] {
                             GLUquadricObj *q = gluNewQuadric();
                             gluQuadricDrawStyle(q, style);
                             return std::string(q ? "non-null handle" : "null handle");
                         }});

    const Counts counts[] = {{16, 4}, {3, 1}, {1, 1}, {2, 2}, {0, 2}, {8, 0}, {-1, 3}, {5, -2}};

    const double cylinderRadii[][2] = {{1, 0.5}, {1, 1}, {0, 1}, {1, 0}, {-1, 2},
                                       {1e-30, 1e-30}, {1e30, 1}, {kInf, 1}, {kNaN, 1}};
    const double heights[] = {2, 0, -1, kInf, kNaN};
    n = 0;
    for (const auto &r : cylinderRadii)
        for (double h : heights) {
            const Counts c = counts[n++ % 8];
            addCylinder(cases, r[0], r[1], h, c.a, c.b);
        }

    const double diskRadii[][2] = {{0, 1}, {0.25, 1}, {1, 0.25}, {0, 0}, {-1, 1},
                                   {0.5, 0.5}, {1e30, 1e38}, {0, kInf}, {kNaN, 1}, {1, kNaN}};
    for (const auto &r : diskRadii)
        for (const Counts &c : counts)
            addDisk(cases, r[0], r[1], c.a, c.b);

    const float sphereRadii[] = {1, 0.5f, 0, -2, 1e-30f, 3e38f, kInfF, kNaNF};
    for (float radius : sphereRadii)
        for (const Counts &c : counts)
            addSphere(cases, radius, c.a, c.b);

    const float torusRadii[][2] = {{0.25f, 1}, {1, 0.25f}, {0, 1}, {0.5f, 0},
                                   {-0.25f, 1}, {kInfF, 1}, {kNaNF, 1}, {1e-30f, 1}};
    const Counts torusCounts[] = {{8, 16}, {3, 3}, {1, 1}, {2, -1}, {0, 4}, {-1, 4}, {4, 0}, {12, 5}};
    for (const auto &r : torusRadii)
        for (const Counts &c : torusCounts)
            addTorus(cases, r[0], c.a, r[1], c.b);

    // Cones whose radius passes through zero on a row: the radius there is
    // whatever the double steps leave, so any change to them shows.
    addCylinder(cases, 0.2, -0.4, 1.5, 5, 3);
    addCylinder(cases, 1.1, -2.2, 2, 4, 3);
    addCylinder(cases, -0.35, 0.7, 1.2, 6, 3);
    addCylinder(cases, 0.3, -0.9, 0.9, 7, 4);
    addCylinder(cases, 2.5, -0.5, 3, 5, 6);

    // Counts far beyond what float holds exactly, where the loops never run.
    addDisk(cases, 0.25, 1, 16777217, 0);
    addSphere(cases, 1, -16777217, 0);
    addTorus(cases, 0.25f, 0, 1, 2147483647);
}

// Finer tessellations: a few hundred steps in one direction, so that every
// accumulated quantity (radius, height, texture coordinates, ring radii, the
// sphere's angles) runs long enough for a slip to show.
void addFineCases(std::vector<Case> &cases) {
    addCylinder(cases, 1, 0.5, 2, 100, 10);
    addCylinder(cases, 1.3, 0.7, 2.9, 300, 2);
    addCylinder(cases, 0.9, 1.7, 3.1, 3, 300);
    addDisk(cases, 0.25, 1, 90, 5);
    addDisk(cases, 0.1, 1.3, 360, 3);
    addDisk(cases, 0, 2.7, 3, 300);
    addSphere(cases, 1, 50, 25);
    addSphere(cases, 1.5f, 300, 3);
    addSphere(cases, 0.8f, 4, 300);
    addTorus(cases, 0.25f, 36, 1, 60);
    addTorus(cases, 0.2f, 300, 1.1f, 3);
    addTorus(cases, 0.3f, 3, 1.7f, 300);
}

// Ordinary calls with decimal arguments of every magnitude a program uses:
// `perFunction` calls of each function, with counts up to `scale` times a
// dozen or so.  Each number is drawn in a statement of its own, last
// argument first, so that the order does not rest on the compiler's order of
// evaluating arguments.
void addVariedCases(std::vector<Case> &cases, std::uint64_t seed, int perFunction, int scale) {
    Numbers r(seed);
    for (int i = 0; i < perFunction; ++i) {
        const double zNear = r.decimal(1, 10000);
        const double depth = r.decimal(1, 1000000);
        const double aspect = r.decimal(100, 4000);
        const double fovy = r.decimal(100, 179900);
        addPerspective(cases, fovy, aspect, zNear, zNear + depth);
    }
    for (int i = 0; i < perFunction; ++i) {
        const double base = r.decimal(-2000, 3000);
        const double top = i % 5 == 0 ? base : r.decimal(0, 3000);
        const int stacks = r.count(0, 7 * scale);
        const int slices = r.count(1, 12 * scale);
        const double height = r.decimal(-2000, 4000);
        addCylinder(cases, base, top, height, slices, stacks);
    }
    for (int i = 0; i < perFunction; ++i) {
        const double inner = r.decimal(0, 1500);
        const int loops = r.count(1, 5 * scale);
        const int slices = r.count(1, 14 * scale);
        const double width = r.decimal(0, 2500);
        addDisk(cases, inner, inner + width, slices, loops);
    }
    for (int i = 0; i < perFunction; ++i) {
        const int stacks = r.count(1, 9 * scale);
        const int slices = r.count(1, 12 * scale);
        const float radius = r.decimalf(-2000, 3000);
        addSphere(cases, radius, slices, stacks);
    }
    for (int i = 0; i < perFunction; ++i) {
        const int numt = r.count(1, 12 * scale);
        const float rt = r.decimalf(0, 3000);
        const int numc = r.count(1, 9 * scale);
        const float rc = r.decimalf(0, 1000);
        addTorus(cases, rc, numc, rt, numt);
    }
}

// ---- The compatibility layer ----------------------------------------------------

void addPartialDisk(std::vector<Case> &cases, double inner, double outer, int slices, int loops, double start,
                    double sweep) {
    addDrawCase(cases,
                label("gluPartialDisk(q, %.17g, %.17g, %d, %d, %.17g, %.17g)", inner, outer, slices, loops, start,
                      sweep),
                [=] { gluPartialDisk(nullptr, inner, outer, slices, loops, start, sweep); });
}

struct Camera {
    double eye[3], centre[3], up[3];
};

void addLookAt(std::vector<Case> &cases, const Camera &c) {
    addDrawCase(cases,
                label("gluLookAt(%.17g, %.17g, %.17g, %.17g, %.17g, %.17g, %.17g, %.17g, %.17g)", c.eye[0], c.eye[1],
                      c.eye[2], c.centre[0], c.centre[1], c.centre[2], c.up[0], c.up[1], c.up[2]),
                [=] {
                    gluLookAt(c.eye[0], c.eye[1], c.eye[2], c.centre[0], c.centre[1], c.centre[2], c.up[0], c.up[1],
                              c.up[2]);
                });
}

void addOrtho2D(std::vector<Case> &cases, double left, double right, double bottom, double top) {
    addDrawCase(cases, label("gluOrtho2D(%.17g, %.17g, %.17g, %.17g)", left, right, bottom, top),
                [=] { gluOrtho2D(left, right, bottom, top); });
}

// What the compatibility layer sends: gluPartialDisk over every form of
// angle and count, the cameras of gluLookAt, gluOrtho2D's projection.
void addCompatCases(std::vector<Case> &cases) {
    // Whole, half and quarter turns (exact in radians), ordinary sectors,
    // negative and over-full sweeps, an empty one, non-finite angles.
    const double angles[][2] = {{0, 360},   {0, 180},    {0, 90},     {90, 90},      {270, 90},  {45, -90},
                                {30, 270},  {-30, -300}, {10, 400},   {10, -1000},   {350, 40},  {0, 0},
                                {0, -360},  {720, 90},   {123.456, -0.001}, {1e10, 30}, {0, kInf}, {0, -kInf},
                                {kNaN, 90}, {0, kNaN},   {kInf, 90},  {-0.0, 360}};
    const Counts counts[] = {{16, 2}, {1, 1}, {3, 1}, {0, 1}, {-1, 2}, {5, 0}, {7, -1}, {2, 3}};
    const double radii[][2] = {{0.25, 1}, {0, 1.5}, {1, 0.25}, {0.5, 0.5}, {0, 0}, {kNaN, 1}};
    int n = 0;
    for (const auto &a : angles)
        for (int k = 0; k < 3; ++k, ++n) {
            const Counts c = counts[n % 8];
            const auto &r = radii[n % 6];
            addPartialDisk(cases, r[0], r[1], c.a, c.b, a[0], a[1]);
        }
    // Long enough for the accumulated ring radii and every step's angle.
    addPartialDisk(cases, 0.1, 1.3, 300, 2, 15, 250);
    addPartialDisk(cases, 0.2, 2.7, 4, 300, -40, 100);
    addPartialDisk(cases, 0, 1, 360, 3, 0, 360);
    addPartialDisk(cases, 0.3, 0.9, 97, 5, 200, -333.3);

    const Camera cameras[] = {
        {{0, 5, 10}, {0, 0, 0}, {0, 1, 0}},
        {{1.1, 2.2, 3.3}, {-0.7, 0.4, 9.9}, {0.3, -0.2, 1}},
        {{-3, 0.5, -7}, {2, 2, 2}, {0, 0, 1}},
        {{1, 2, 3}, {1, 2, 3}, {0, 1, 0}},            // the eye on the centre
        {{0, 0, 5}, {0, 0, 0}, {0, 0, 1}},            // up along the view
        {{0, 0, 5}, {0, 0, 0}, {0, 0, -3}},           // up against it
        {{2, 1, 0}, {0, 0, 0}, {0, 0, 0}},            // no up at all
        {{1, 1, 1}, {0, 0, 0}, {1, 1, 1}},            // up along a diagonal view: ties
        {{1e-300, 2e-300, 3e-300}, {0, 0, 0}, {0, 1e-300, 0}},
        {{1e300, -2e300, 3e300}, {-1e300, 0, 0}, {0, 1e300, 1e300}},
        {{1e-160, 0, 0}, {0, 1e-160, 0}, {0, 0, 1}},  // squares below the normal range
        {{5e-324, 0, 0}, {0, 0, 0}, {0, 1, 0}},       // a subnormal direction
        {{kInf, 0, 0}, {0, 0, 0}, {0, 1, 0}},
        {{0, 0, 0}, {0, 0, -1}, {kNaN, 1, 0}},
    };
    for (const Camera &c : cameras)
        addLookAt(cases, c);
    Numbers r(20261209);
    for (int i = 0; i < 40; ++i) {
        Camera c{};
        for (double &v : c.up)
            v = r.decimal(-2000, 2000);
        for (double &v : c.centre)
            v = r.decimal(-50000, 50000);
        for (double &v : c.eye)
            v = r.decimal(-50000, 50000);
        addLookAt(cases, c);
    }

    addOrtho2D(cases, 0, 640, 0, 480);
    addOrtho2D(cases, -1, 1, -1, 1);
    addOrtho2D(cases, 0, 0, 0, 0);
    addOrtho2D(cases, 1e300, -1e300, kNaN, kInf);
}

// Ordinary compatibility calls with decimal arguments, for the broad set.
void addVariedCompatCases(std::vector<Case> &cases, std::uint64_t seed, int perFunction, int scale) {
    Numbers r(seed);
    for (int i = 0; i < perFunction; ++i) {
        const double sweep = r.decimal(-400000, 400000);
        const double start = r.decimal(-360000, 360000);
        const double inner = r.decimal(0, 1500);
        const int loops = r.count(1, 5 * scale);
        const int slices = r.count(1, 14 * scale);
        const double width = r.decimal(0, 2500);
        addPartialDisk(cases, inner, inner + width, slices, loops, start, sweep);
    }
    for (int i = 0; i < perFunction; ++i) {
        Camera c{};
        for (double &v : c.up)
            v = r.decimal(-2000, 2000);
        for (double &v : c.centre)
            v = r.decimal(-50000, 50000);
        for (double &v : c.eye)
            v = r.decimal(-50000, 50000);
        addLookAt(cases, c);
    }
}

// ---- Images and mipmaps ----------------------------------------------------------

// A pixel-store state: GL's initial values unless a case sets others.
struct Store {
    int swap = 0, rowLength = 0, skipRows = 0, skipPixels = 0, alignment = 4;
};

// The state a case calls in: the unpack and pack values and
// GL_MAX_TEXTURE_SIZE.
struct ImageState {
    Store unpack, pack;
    int maxSize = 2048;
};

std::string enumText(unsigned value) {
    const char *name = glrecord::enumName(value);
    return name ? name : label("%d", static_cast<int>(value));
}

std::string storeText(const char *which, const Store &s) {
    const Store initial;
    std::string out;
    const auto add = [&out](const char *what, int value, int init) {
        if (value != init)
            out += label("%s%s %d", out.empty() ? "" : ", ", what, value);
    };
    add("swap", s.swap, initial.swap);
    add("row length", s.rowLength, initial.rowLength);
    add("skip rows", s.skipRows, initial.skipRows);
    add("skip pixels", s.skipPixels, initial.skipPixels);
    add("alignment", s.alignment, initial.alignment);
    return out.empty() ? out : label(" %s(%s)", which, out.c_str());
}

std::string stateText(const ImageState &st) {
    return storeText("unpack", st.unpack) + storeText("pack", st.pack) +
           (st.maxSize != ImageState().maxSize ? label(" max %d", st.maxSize) : "");
}

// Sets the state as a program would, through GL (only the values that are
// not GL's initial ones), and GL_MAX_TEXTURE_SIZE in the recorder.
void setState(const ImageState &st) {
    glrecord::setMaxTextureSize(st.maxSize);
    const Store initial;
    const struct {
        GLenum pname;
        int value, initial;
    } values[] = {
        {GL_UNPACK_SWAP_BYTES, st.unpack.swap, initial.swap},
        {GL_UNPACK_ROW_LENGTH, st.unpack.rowLength, initial.rowLength},
        {GL_UNPACK_SKIP_ROWS, st.unpack.skipRows, initial.skipRows},
        {GL_UNPACK_SKIP_PIXELS, st.unpack.skipPixels, initial.skipPixels},
        {GL_UNPACK_ALIGNMENT, st.unpack.alignment, initial.alignment},
        {GL_PACK_SWAP_BYTES, st.pack.swap, initial.swap},
        {GL_PACK_ROW_LENGTH, st.pack.rowLength, initial.rowLength},
        {GL_PACK_SKIP_ROWS, st.pack.skipRows, initial.skipRows},
        {GL_PACK_SKIP_PIXELS, st.pack.skipPixels, initial.skipPixels},
        {GL_PACK_ALIGNMENT, st.pack.alignment, initial.alignment},
    };
    for (const auto &v : values)
        if (v.value != v.initial)
            glPixelStorei(v.pname, v.value);
}

void resetState() {
    glrecord::resetPixelStore();
    glrecord::setMaxTextureSize(ImageState().maxSize);
}

int componentsOf(GLenum format) {
    switch (format) {
    case GL_RED: case GL_GREEN: case GL_BLUE: case GL_ALPHA: case GL_LUMINANCE: return 1;
    case GL_LUMINANCE_ALPHA: return 2;
    case GL_RGB: case GL_BGR: return 3;
    case GL_RGBA: case GL_BGRA: return 4;
    default: return 0;
    }
}

int sizeOf(GLenum type) {
    return type == GL_UNSIGNED_BYTE ? 1 : type == GL_UNSIGNED_SHORT ? 2 : type == GL_UNSIGNED_INT ? 4 : 0;
}

// The bytes from an image's start to the end of its last pixel, as GL lays
// it out under `s` (0 for an empty image or one of an unknown format).
std::uint64_t extent(const Store &s, int width, int height, GLenum format, GLenum type) {
    const std::uint64_t size = static_cast<std::uint64_t>(sizeOf(type));
    const std::uint64_t group = static_cast<std::uint64_t>(componentsOf(format)) * size;
    if (width <= 0 || height <= 0 || group == 0)
        return 0;
    const std::uint64_t align = static_cast<std::uint64_t>(s.alignment);
    std::uint64_t stride = group * static_cast<std::uint64_t>(s.rowLength > 0 ? s.rowLength : width);
    if (size < align)
        stride = (stride + align - 1) / align * align;
    return static_cast<std::uint64_t>(s.skipPixels) * group +
           static_cast<std::uint64_t>(s.skipRows + height - 1) * stride + static_cast<std::uint64_t>(width) * group;
}

std::uint64_t labelSeed(const std::string &l) { return glrecord::fnv1a(l.data(), l.size()); }

// Client memory of `bytes` bytes holding elements of `size` bytes (1 when
// the type is unknown) drawn from `seed`, each in this machine's byte order,
// so that every architecture holds the same values.
std::vector<unsigned char> elements(std::uint64_t bytes, int size, std::uint64_t seed) {
    if (size == 0)
        size = 1;
    std::vector<unsigned char> out(static_cast<std::size_t>(bytes));
    Numbers r(seed);
    for (std::size_t at = 0; at + static_cast<std::size_t>(size) <= out.size(); at += static_cast<std::size_t>(size)) {
        if (size == 1) {
            out[at] = static_cast<unsigned char>(r.count(0, 255));
        } else if (size == 2) {
            const std::uint16_t v = static_cast<std::uint16_t>(r.count(0, 65535));
            std::memcpy(&out[at], &v, sizeof v);
        } else {
            const std::uint32_t high = static_cast<std::uint32_t>(r.count(0, 65535));
            const std::uint32_t v = (high << 16) | static_cast<std::uint32_t>(r.count(0, 65535));
            std::memcpy(&out[at], &v, sizeof v);
        }
    }
    return out;
}

// A hash of memory holding elements of `size` bytes, each taken as its
// value's little-endian bytes: the same on every architecture.
std::uint64_t elementHash(const std::vector<unsigned char> &bytes, int size) {
    std::uint64_t h = glrecord::fnv1a(nullptr, 0);
    for (std::size_t at = 0; at + static_cast<std::size_t>(size) <= bytes.size(); at += static_cast<std::size_t>(size)) {
        std::uint32_t v = bytes[at];
        if (size == 2) {
            std::uint16_t e;
            std::memcpy(&e, &bytes[at], sizeof e);
            v = e;
        } else if (size == 4) {
            std::memcpy(&v, &bytes[at], sizeof v);
        }
        for (int b = 0; b < size; ++b)
            h = (h ^ ((v >> (8 * b)) & 0xffu)) * 1099511628211u;
    }
    return h;
}

// What a case passes for an image: one that fits its sizes and state, a
// null pointer, or 16 bytes (for sizes no memory can hold: a call that
// read them would be caught by AddressSanitizer).
enum class Data { Image, Null, Small };

const char *dataText(Data d) { return d == Data::Image ? "data" : d == Data::Null ? "NULL" : "16 bytes"; }

std::vector<unsigned char> imageFor(Data d, const Store &s, int width, int height, GLenum format, GLenum type,
                                    std::uint64_t seed) {
    if (d == Data::Null)
        return {};
    const std::uint64_t bytes = d == Data::Small ? 0 : extent(s, width, height, format, type);
    return elements(bytes > 16 ? bytes : 16, sizeOf(type), seed);
}

void addImageCase(std::vector<Case> &cases, std::string l, const ImageState &st,
                  std::function<std::string()> call) {
    cases.push_back({l + stateText(st), [st, call] {
                         setState(st);
                         const std::string result = call();
                         resetState();
                         return result;
                     }});
}

// A call of one of the mipmap builders.
struct Build {
    int dims;
    GLenum target;
    GLint internalFormat;
    int width, height;  // height 1 for 1D
    GLenum format, type;
    bool levels;
    int userLevel, base, max;
};

void addBuild(std::vector<Case> &cases, const Build &b, const ImageState &st = ImageState(),
              Data data = Data::Image) {
    std::string l = label("gluBuild%dDMipmap%s(%s, %s, %d, ", b.dims, b.levels ? "Levels" : "s",
                          enumText(b.target).c_str(), enumText(static_cast<unsigned>(b.internalFormat)).c_str(),
                          b.width);
    if (b.dims == 2)
        l += label("%d, ", b.height);
    l += enumText(b.format) + ", " + enumText(b.type) + ", ";
    if (b.levels)
        l += label("%d, %d, %d, ", b.userLevel, b.base, b.max);
    l += dataText(data) + std::string(")");
    const std::uint64_t seed = labelSeed(l);
    addImageCase(cases, l, st, [b, st, data, seed] {
        const std::vector<unsigned char> image = imageFor(data, st.unpack, b.width, b.height, b.format, b.type, seed);
        const void *p = data == Data::Null ? nullptr : image.data();
        GLint r;
        if (b.dims == 1)
            r = b.levels ? gluBuild1DMipmapLevels(b.target, b.internalFormat, b.width, b.format, b.type, b.userLevel,
                                                  b.base, b.max, p)
                         : gluBuild1DMipmaps(b.target, b.internalFormat, b.width, b.format, b.type, p);
        else
            r = b.levels ? gluBuild2DMipmapLevels(b.target, b.internalFormat, b.width, b.height, b.format, b.type,
                                                  b.userLevel, b.base, b.max, p)
                         : gluBuild2DMipmaps(b.target, b.internalFormat, b.width, b.height, b.format, b.type, p);
        return label("%d", r);
    });
}

Build build2D(GLint internalFormat, int width, int height, GLenum format, GLenum type) {
    return {2, GL_TEXTURE_2D, internalFormat, width, height, format, type, false, 0, 0, 0};
}

Build build1D(GLint internalFormat, int width, GLenum format, GLenum type) {
    return {1, GL_TEXTURE_1D, internalFormat, width, 1, format, type, false, 0, 0, 0};
}

Build levels2D(int width, int height, int userLevel, int base, int max) {
    return {2, GL_TEXTURE_2D, GL_RGBA, width, height, GL_RGBA, GL_UNSIGNED_BYTE, true, userLevel, base, max};
}

Build levels1D(int width, int userLevel, int base, int max) {
    return {1, GL_TEXTURE_1D, GL_LUMINANCE_ALPHA, width, 1, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, true, userLevel, base,
            max};
}

// A call of gluScaleImage; its result is the return value and a hash of
// the whole output memory, padding included (filled with 0xa5 first).
struct Scale {
    GLenum format;
    int wIn, hIn;
    GLenum typeIn;
    int wOut, hOut;
    GLenum typeOut;
};

void addScale(std::vector<Case> &cases, const Scale &s, const ImageState &st = ImageState(),
              Data in = Data::Image, Data out = Data::Image) {
    const std::string l = label("gluScaleImage(%s, %d, %d, %s, %s, %d, %d, %s, %s)", enumText(s.format).c_str(), s.wIn,
                                s.hIn, enumText(s.typeIn).c_str(), dataText(in), s.wOut, s.hOut,
                                enumText(s.typeOut).c_str(), dataText(out));
    const std::uint64_t seed = labelSeed(l);
    addImageCase(cases, l, st, [s, st, in, out, seed] {
        const std::vector<unsigned char> image = imageFor(in, st.unpack, s.wIn, s.hIn, s.format, s.typeIn, seed);
        std::vector<unsigned char> result;
        if (out != Data::Null) {
            const std::uint64_t bytes = out == Data::Small ? 0 : extent(st.pack, s.wOut, s.hOut, s.format, s.typeOut);
            result.assign(static_cast<std::size_t>(bytes > 16 ? bytes : 16), 0xa5);
        }
        const GLint r = gluScaleImage(s.format, s.wIn, s.hIn, s.typeIn, in == Data::Null ? nullptr : image.data(),
                                      s.wOut, s.hOut, s.typeOut, out == Data::Null ? nullptr : result.data());
        const int size = sizeOf(s.typeOut) ? sizeOf(s.typeOut) : 1;
        return label("%d, out %zu bytes 0x%016" PRIx64, r, result.size(), elementHash(result, size));
    });
}

ImageState unpackState(int swap, int rowLength, int skipRows, int skipPixels, int alignment) {
    ImageState st;
    st.unpack = {swap, rowLength, skipRows, skipPixels, alignment};
    return st;
}

ImageState packState(int swap, int rowLength, int skipRows, int skipPixels, int alignment) {
    ImageState st;
    st.pack = {swap, rowLength, skipRows, skipPixels, alignment};
    return st;
}

ImageState maxState(int maxSize) {
    ImageState st;
    st.maxSize = maxSize;
    return st;
}

const GLenum kImageFormats[] = {GL_RED,  GL_GREEN, GL_BLUE, GL_ALPHA, GL_LUMINANCE, GL_LUMINANCE_ALPHA,
                                GL_RGB, GL_BGR,   GL_RGBA, GL_BGRA};
const GLenum kImageTypes[] = {GL_UNSIGNED_BYTE, GL_UNSIGNED_SHORT, GL_UNSIGNED_INT};

// The image calls: every format and type, sides that are not powers of two
// (ties included) and beyond GL_MAX_TEXTURE_SIZE, every pixel-store value,
// the *Levels runs, gluScaleImage both ways and between types, and every
// error return.
void addImageCases(std::vector<Case> &cases) {
    // Every format as bytes, the internal format given several ways.
    const GLint internal[] = {1, GL_ALPHA, GL_LUMINANCE, GL_INTENSITY, GL_LUMINANCE_ALPHA, 3, GL_RGB8, 4, GL_RGBA,
                              GL_RGBA8};
    int k = 0;
    for (GLenum format : kImageFormats)
        addBuild(cases, build2D(internal[k++], 8, 4, format, GL_UNSIGNED_BYTE));
    // Shorts and ints, square and one-sided.
    for (GLenum type : {GL_UNSIGNED_SHORT, GL_UNSIGNED_INT})
        for (GLenum format : {GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB, GL_BGRA}) {
            addBuild(cases, build2D(componentsOf(format), 4, 4, format, type));
            addBuild(cases, build2D(componentsOf(format), 5, 3, format, type));
            addBuild(cases, build1D(componentsOf(format), 9, format, type));
        }

    // Sides scaled to the nearest power of two, the larger on a tie.
    const int sides[][2] = {{1, 1},  {2, 1},   {1, 2},   {3, 5},   {5, 3},  {57, 23}, {48, 48}, {6, 6},
                            {5, 1},  {1, 7},   {7, 1},   {12, 40}, {100, 75}, {95, 97}, {33, 31}, {64, 16},
                            {16, 64}, {255, 2}, {640, 480}};
    for (const auto &s : sides) {
        addBuild(cases, build2D(GL_RGB, s[0], s[1], GL_RGB, GL_UNSIGNED_BYTE));
        addBuild(cases, build2D(GL_RGBA, s[0], s[1], GL_RGBA, GL_UNSIGNED_BYTE), unpackState(0, 0, 0, 0, 1));
    }
    addBuild(cases, build2D(GL_LUMINANCE, 45, 19, GL_LUMINANCE, GL_UNSIGNED_SHORT));
    addBuild(cases, build2D(GL_RGBA, 13, 11, GL_RGBA, GL_UNSIGNED_INT));
    for (int w : {1, 2, 3, 5, 6, 57, 100, 1000})
        addBuild(cases, build1D(GL_RGB, w, GL_RGB, GL_UNSIGNED_BYTE));

    // GL_MAX_TEXTURE_SIZE: each side held to the largest power of two not
    // above it, whatever its value.
    const struct {
        int width, height, maxSize;
    } limited[] = {{40, 8, 16}, {300, 20, 100}, {64, 64, 64}, {65, 3, 64}, {200, 200, 1}, {7, 9, 0},
                   {9, 7, -5},  {4096, 2, 2048}, {3, 4096, 1024}, {2048, 1, 2049}};
    for (const auto &m : limited)
        addBuild(cases, build2D(GL_RGB, m.width, m.height, GL_RGB, GL_UNSIGNED_BYTE), maxState(m.maxSize));
    addBuild(cases, build1D(GL_RGB, 1024, GL_RGB, GL_UNSIGNED_BYTE), maxState(256));
    addBuild(cases, build1D(GL_LUMINANCE, 4096, GL_LUMINANCE, GL_UNSIGNED_BYTE), maxState(2048));
    addBuild(cases, build1D(GL_LUMINANCE, 5, GL_LUMINANCE, GL_UNSIGNED_BYTE), maxState(0));

    // The client's unpack state, honoured and put back.
    const Store stores[] = {
        {0, 0, 0, 0, 1}, {0, 0, 0, 0, 2}, {0, 0, 0, 0, 8}, {0, 9, 0, 0, 4}, {0, 0, 2, 0, 4},
        {0, 0, 0, 3, 4}, {0, 11, 2, 3, 8}, {0, 2, 0, 0, 1}, {1, 0, 0, 0, 4}, {1, 7, 1, 2, 2},
    };
    for (const Store &s : stores) {
        ImageState st;
        st.unpack = s;
        addBuild(cases, build2D(GL_RGB, 11, 3, GL_RGB, GL_UNSIGNED_BYTE), st);  // rows of 33 bytes
        addBuild(cases, build2D(GL_RGB, 3, 6, GL_RGB, GL_UNSIGNED_SHORT), st);   // and of 18
        addBuild(cases, build2D(GL_RGBA, 4, 2, GL_BGRA, GL_UNSIGNED_INT), st);
        addBuild(cases, build1D(GL_RGB, 7, GL_BGR, GL_UNSIGNED_BYTE), st);
        addBuild(cases, build1D(GL_LUMINANCE, 4, GL_LUMINANCE, GL_UNSIGNED_SHORT), st);
    }
    // Targets go to GL as given.
    addBuild(cases, {2, GL_TEXTURE_CUBE_MAP_POSITIVE_X, GL_RGB, 4, 4, GL_RGB, GL_UNSIGNED_BYTE, false, 0, 0, 0});
    addBuild(cases, {2, GL_PROXY_TEXTURE_2D, GL_RGB, 4, 4, GL_RGB, GL_UNSIGNED_BYTE, false, 0, 0, 0});

    // The *Levels runs: userLevel, base, max.
    const int runs[][3] = {{0, 0, 4}, {2, 3, 5}, {0, 2, 2}, {-1, 0, 3}, {0, 4, 4}, {5, 5, 9}, {0, 0, 0},
                           {2147483646, 2147483647, 2147483647}, {2147483647, 2147483647, 2147483647},
                           // errors: userLevel > base, base < 0, max < base, max beyond the last level
                           {3, 2, 5}, {-2, -1, 1}, {0, 3, 2}, {0, 0, 5}, {-3, 0, 2}, {-2147483647 - 1, 0, 0}};
    for (const auto &r : runs) {
        addBuild(cases, levels2D(16, 8, r[0], r[1], r[2]));
        addBuild(cases, levels1D(16, r[0], r[1], r[2]));
    }
    addBuild(cases, levels2D(1, 1, 0, 0, 0));
    addBuild(cases, levels2D(1, 32, 1, 2, 6));
    addBuild(cases, levels2D(12, 8, 0, 0, 3));  // not powers of two
    addBuild(cases, levels2D(8, 12, 0, 0, 3));
    addBuild(cases, levels1D(3, 0, 0, 1));
    addBuild(cases, levels2D(8, 4, 0, 0, 3), unpackState(1, 10, 1, 1, 8));
    addBuild(cases, {2, GL_TEXTURE_2D, GL_RGB, 8, 8, GL_RGB, GL_UNSIGNED_SHORT, true, 0, 1, 3});
    addBuild(cases, levels2D(4096, 4, 0, 0, 12), maxState(16));  // no limit for the *Levels calls

    // gluScaleImage: shrinking, magnifying, between types, to and from one
    // pixel.
    const Scale scales[] = {
        {GL_RGB, 7, 5, GL_UNSIGNED_BYTE, 3, 2, GL_UNSIGNED_BYTE},
        {GL_LUMINANCE_ALPHA, 2, 3, GL_UNSIGNED_BYTE, 5, 7, GL_UNSIGNED_BYTE},
        {GL_RGBA, 4, 4, GL_UNSIGNED_BYTE, 4, 4, GL_UNSIGNED_BYTE},
        {GL_RGBA, 4, 3, GL_UNSIGNED_BYTE, 4, 3, GL_UNSIGNED_SHORT},
        {GL_RGBA, 4, 3, GL_UNSIGNED_SHORT, 4, 3, GL_UNSIGNED_BYTE},
        {GL_BGR, 3, 3, GL_UNSIGNED_INT, 3, 3, GL_UNSIGNED_BYTE},
        {GL_BGR, 3, 3, GL_UNSIGNED_BYTE, 3, 3, GL_UNSIGNED_INT},
        {GL_LUMINANCE, 5, 5, GL_UNSIGNED_SHORT, 2, 9, GL_UNSIGNED_INT},
        {GL_LUMINANCE, 9, 2, GL_UNSIGNED_INT, 4, 4, GL_UNSIGNED_SHORT},
        {GL_ALPHA, 1, 1, GL_UNSIGNED_BYTE, 4, 4, GL_UNSIGNED_BYTE},
        {GL_RED, 16, 1, GL_UNSIGNED_BYTE, 1, 1, GL_UNSIGNED_BYTE},
        {GL_GREEN, 1, 16, GL_UNSIGNED_SHORT, 1, 3, GL_UNSIGNED_SHORT},
        {GL_BLUE, 31, 17, GL_UNSIGNED_BYTE, 7, 29, GL_UNSIGNED_BYTE},
        {GL_RGBA, 13, 7, GL_UNSIGNED_INT, 5, 11, GL_UNSIGNED_INT},
        {GL_RGB, 640, 480, GL_UNSIGNED_BYTE, 512, 512, GL_UNSIGNED_BYTE},
        {GL_BGRA, 1000, 3, GL_UNSIGNED_BYTE, 3, 1000, GL_UNSIGNED_BYTE},
    };
    for (const Scale &s : scales)
        addScale(cases, s);
    // The unpack state on input, the pack state on output.
    for (const Store &s : stores) {
        ImageState in, out;
        in.unpack = s;
        out.pack = s;
        addScale(cases, {GL_RGB, 11, 3, GL_UNSIGNED_BYTE, 3, 4, GL_UNSIGNED_BYTE}, in);    // rows of 33 bytes
        addScale(cases, {GL_RGB, 11, 3, GL_UNSIGNED_BYTE, 3, 4, GL_UNSIGNED_BYTE}, out);   // and of 9
        addScale(cases, {GL_RGB, 3, 2, GL_UNSIGNED_SHORT, 5, 3, GL_UNSIGNED_INT}, in);     // 18
        addScale(cases, {GL_RGB, 3, 2, GL_UNSIGNED_SHORT, 5, 3, GL_UNSIGNED_INT}, out);    // 60
    }
    // Empty images: nothing written, 0.
    for (const auto &z : {std::array<int, 4>{0, 3, 2, 2}, std::array<int, 4>{3, 0, 2, 2},
                          std::array<int, 4>{3, 3, 0, 2}, std::array<int, 4>{3, 3, 2, 0}})
        addScale(cases, {GL_RGB, z[0], z[1], GL_UNSIGNED_BYTE, z[2], z[3], GL_UNSIGNED_BYTE});

    // Errors: bad enums, sizes, data, pixel-store values, images too big.
    const GLenum badFormats[] = {GL_COLOR_INDEX, GL_STENCIL_INDEX, GL_DEPTH_COMPONENT, GL_INTENSITY, 0, 0x7fffffff};
    const GLenum badTypes[] = {GL_BYTE, GL_SHORT, GL_INT, GL_FLOAT, GL_BITMAP, GL_UNSIGNED_SHORT_5_6_5,
                               GL_UNSIGNED_INT_8_8_8_8_REV, 0};
    for (GLenum f : badFormats) {
        addBuild(cases, build2D(GL_RGB, 4, 4, f, GL_UNSIGNED_BYTE));
        addBuild(cases, build1D(GL_RGB, 4, f, GL_UNSIGNED_BYTE));
        addScale(cases, {f, 2, 2, GL_UNSIGNED_BYTE, 1, 1, GL_UNSIGNED_BYTE});
    }
    for (GLenum t : badTypes) {
        addBuild(cases, build2D(GL_RGB, 4, 4, GL_RGB, t));
        addBuild(cases, build1D(GL_RGB, 4, GL_RGB, t));
        addScale(cases, {GL_RGB, 2, 2, t, 1, 1, GL_UNSIGNED_BYTE});
        addScale(cases, {GL_RGB, 2, 2, GL_UNSIGNED_BYTE, 1, 1, t});
    }
    addBuild(cases, build2D(GL_RGB, 4, 4, GL_INTENSITY, GL_FLOAT));  // both wrong
    addBuild(cases, build2D(GL_RGB, -1, 4, GL_INTENSITY, GL_UNSIGNED_BYTE));
    for (const auto &s : {std::array<int, 2>{0, 4}, std::array<int, 2>{4, 0}, std::array<int, 2>{-1, 4},
                          std::array<int, 2>{4, -1}, std::array<int, 2>{-2147483647 - 1, 1}}) {
        addBuild(cases, build2D(GL_RGB, s[0], s[1], GL_RGB, GL_UNSIGNED_BYTE));
        addBuild(cases, levels2D(s[0], s[1], 0, 0, 0));
    }
    addBuild(cases, build1D(GL_RGB, 0, GL_RGB, GL_UNSIGNED_BYTE));
    addBuild(cases, build1D(GL_RGB, -7, GL_RGB, GL_UNSIGNED_BYTE));
    addBuild(cases, levels1D(0, 0, 0, 0));
    addBuild(cases, build2D(GL_RGB, 4, 4, GL_RGB, GL_UNSIGNED_BYTE), ImageState(), Data::Null);
    addBuild(cases, build1D(GL_RGB, 4, GL_RGB, GL_UNSIGNED_BYTE), ImageState(), Data::Null);
    addBuild(cases, levels2D(4, 4, 0, 0, 2), ImageState(), Data::Null);
    addScale(cases, {GL_RGB, 2, 2, GL_UNSIGNED_BYTE, 1, 1, GL_UNSIGNED_BYTE}, ImageState(), Data::Null);
    addScale(cases, {GL_RGB, 2, 2, GL_UNSIGNED_BYTE, 1, 1, GL_UNSIGNED_BYTE}, ImageState(), Data::Image, Data::Null);
    for (const auto &s : {std::array<int, 4>{-1, 2, 1, 1}, std::array<int, 4>{2, -1, 1, 1},
                          std::array<int, 4>{2, 2, -1, 1}, std::array<int, 4>{2, 2, 1, -1}})
        addScale(cases, {GL_RGB, s[0], s[1], GL_UNSIGNED_BYTE, s[2], s[3], GL_UNSIGNED_BYTE});
    // Pixel-store values GL never holds: read, then refused.
    const Store badStores[] = {{0, 0, 0, 0, 3}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 16}, {0, -1, 0, 0, 4},
                               {0, 0, -1, 0, 4}, {0, 0, 0, -1, 4}};
    for (const Store &s : badStores) {
        ImageState st;
        st.unpack = s;
        addBuild(cases, build2D(GL_RGB, 4, 4, GL_RGB, GL_UNSIGNED_BYTE), st, Data::Small);
        addBuild(cases, levels1D(4, 0, 0, 2), st, Data::Small);
        addScale(cases, {GL_RGB, 2, 2, GL_UNSIGNED_BYTE, 1, 1, GL_UNSIGNED_BYTE}, st, Data::Small);
        ImageState pack;
        pack.pack = s;
        addScale(cases, {GL_RGB, 2, 2, GL_UNSIGNED_BYTE, 1, 1, GL_UNSIGNED_BYTE}, pack, Data::Image, Data::Small);
    }
    // Images that no address space holds: more than 2^64 bytes.
    const int huge = 1 << 30;
    addBuild(cases, build2D(GL_RGBA, huge, huge, GL_RGBA, GL_UNSIGNED_INT), ImageState(), Data::Small);
    addBuild(cases, {2, GL_TEXTURE_2D, GL_RGBA, huge, huge, GL_RGBA, GL_UNSIGNED_INT, true, 0, 0, 30}, ImageState(),
             Data::Small);
    addBuild(cases, build1D(GL_RGBA, huge, GL_RGBA, GL_UNSIGNED_INT), unpackState(0, 0, 2147483647, 0, 4), Data::Small);
    addBuild(cases, build2D(GL_RGBA, 2, 2, GL_RGBA, GL_UNSIGNED_INT), unpackState(0, 2147483647, 2147483647, 0, 8),
             Data::Small);
    addScale(cases, {GL_RGBA, huge, huge, GL_UNSIGNED_INT, 1, 1, GL_UNSIGNED_BYTE}, ImageState(), Data::Small);
    addScale(cases, {GL_RGBA, 1, 1, GL_UNSIGNED_BYTE, huge, huge, GL_UNSIGNED_INT}, ImageState(), Data::Image,
             Data::Small);
}

// Ordinary image calls, drawn at random; the same call may come twice.
void addVariedImageDraws(std::vector<Case> &cases, std::uint64_t seed, int perFunction, int scale) {
    Numbers r(seed);
    const auto pick = [&r](const auto &table) {
        return table[r.count(0, static_cast<int>(std::size(table)) - 1)];
    };
    const int alignments[] = {1, 2, 4, 8};
    const auto store = [&] {
        ImageState st;
        st.unpack.alignment = pick(alignments);
        st.unpack.rowLength = r.count(0, 3) == 0 ? r.count(0, 40 * scale) : 0;
        st.unpack.skipRows = r.count(0, 3) == 0 ? r.count(0, 3) : 0;
        st.unpack.skipPixels = r.count(0, 3) == 0 ? r.count(0, 3) : 0;
        st.unpack.swap = r.count(0, 3) == 0;
        return st;
    };
    for (int i = 0; i < perFunction; ++i) {
        const ImageState st = store();
        const GLenum type = pick(kImageTypes), format = pick(kImageFormats);
        const int height = r.count(1, 20 * scale), width = r.count(1, 20 * scale);
        addBuild(cases, build2D(componentsOf(format), width, height, format, type), st);
    }
    for (int i = 0; i < perFunction; ++i) {
        const ImageState st = store();
        const GLenum type = pick(kImageTypes), format = pick(kImageFormats);
        addBuild(cases, build1D(componentsOf(format), r.count(1, 100 * scale), format, type), st);
    }
    for (int i = 0; i < perFunction; ++i) {
        ImageState st = store();
        st.pack = store().unpack;
        const GLenum typeOut = pick(kImageTypes), typeIn = pick(kImageTypes), format = pick(kImageFormats);
        const int hOut = r.count(1, 20 * scale), wOut = r.count(1, 20 * scale);
        const int hIn = r.count(1, 20 * scale), wIn = r.count(1, 20 * scale);
        addScale(cases, {format, wIn, hIn, typeIn, wOut, hOut, typeOut}, st);
    }
}

// Ordinary image calls of random sizes, formats, types and pixel-store
// state, for the broad set, each call once.
void addVariedImageCases(std::vector<Case> &cases, std::uint64_t seed, int perFunction, int scale) {
    std::vector<Case> drawn;
    addVariedImageDraws(drawn, seed, perFunction, scale);
    std::set<std::string> seen;
    for (Case &c : drawn)
        if (seen.insert(c.label).second)
            cases.push_back(std::move(c));
}

std::vector<Case> corpus() {
    std::vector<Case> cases;
    addEdgeCases(cases);
    addFineCases(cases);
    addVariedCases(cases, 20261208, 60, 1);
    addCompatCases(cases);
    addImageCases(cases);
    return cases;
}

// Many more calls than the corpus, for tests/mutants.sh: whether a slip
// changes the stream at all, whatever the reference holds.
std::vector<Case> broad() {
    std::vector<Case> cases;
    addVariedCases(cases, 7, 400, 2);
    addVariedCompatCases(cases, 7, 400, 2);
    addVariedImageCases(cases, 7, 400, 2);
    return cases;
}

// ---- Streams, one per case -----------------------------------------------------

// Every NaN argument becomes the default quiet NaN, so NaNs compare as a
// class and every other bit as it is.
glrecord::Call canonical(glrecord::Call c) {
    for (float &f : c.f)
        if (std::isnan(f))
            f = std::numeric_limits<float>::quiet_NaN();
    for (double &d : c.d)
        if (std::isnan(d))
            d = std::numeric_limits<double>::quiet_NaN();
    return c;
}

// A case's output: its result line ("= ...") if it has one, then one line
// per GL call with the bits of each argument:
// "glVertex2f 0x3f000000 0x3f800000", "glBegin GL_QUAD_STRIP".
struct Section {
    std::string label;
    std::vector<std::string> lines;
};

std::string bitsLine(const glrecord::Call &c) {
    using glrecord::Args;
    std::string out = glrecord::opName(c.op);
    char word[40];
    if (c.op == glrecord::Op::Begin) {
        const char *mode = glrecord::modeName(c.mode);
        return out + " " + (mode ? mode : "?");
    }
    for (int i = 0; i < c.argCount(); ++i) {
        if (c.args() == Args::Doubles)
            std::snprintf(word, sizeof word, " 0x%016" PRIx64, c.dbits(i));
        else if (c.args() == Args::Floats)
            std::snprintf(word, sizeof word, " 0x%08" PRIx32, c.fbits(i));
        else
            std::snprintf(word, sizeof word, " %" PRId32, c.i[i]);
        out += word;
    }
    if (c.op == glrecord::Op::TexImage1D || c.op == glrecord::Op::TexImage2D) {
        std::snprintf(word, sizeof word, " %" PRIu64 " 0x%016" PRIx64, c.bytes, c.hash);
        out += word;
    }
    return out;
}

// A bits line as the call it stands for, with decimals beside the bits, for
// people; the line itself when it is not a GL call.
std::string readable(const std::string &line) {
    using glrecord::Args;
    glrecord::Call c{};
    char name[32];
    int used = 0;
    if (std::sscanf(line.c_str(), "%31s%n", name, &used) != 1)
        return line;
    bool known = false;
    for (int op = 0; op < glrecord::kOpCount; ++op)
        if (std::strcmp(name, glrecord::opName(static_cast<glrecord::Op>(op))) == 0) {
            c.op = static_cast<glrecord::Op>(op);
            known = true;
        }
    if (!known || c.op == glrecord::Op::Begin)
        return line;
    const char *p = line.c_str() + used;
    const int words = c.argCount() + (c.op == glrecord::Op::TexImage1D || c.op == glrecord::Op::TexImage2D ? 2 : 0);
    for (int i = 0; i < words; ++i) {
        std::uint64_t b = 0;
        std::int32_t n = 0;
        if (i >= c.argCount()) {  // the texture's byte count and hash
            if (std::sscanf(p, i == c.argCount() ? " %" SCNu64 "%n" : " %" SCNx64 "%n", &b, &used) != 1)
                return line;
            (i == c.argCount() ? c.bytes : c.hash) = b;
        } else if (c.args() == Args::Ints) {
            if (std::sscanf(p, " %" SCNd32 "%n", &n, &used) != 1)
                return line;
            c.i[i] = n;
        } else {
            if (std::sscanf(p, " %" SCNx64 "%n", &b, &used) != 1)
                return line;
            if (c.args() == Args::Doubles) {
                c.d[i] = fromBits(b);
            } else {
                const std::uint32_t b32 = static_cast<std::uint32_t>(b);
                std::memcpy(&c.f[i], &b32, sizeof b32);
            }
        }
        p += used;
    }
    return glrecord::formatHex(c);
}

std::vector<Section> run(const std::vector<Case> &cases) {
    std::vector<Section> out;
    std::set<std::string> labels;
    for (const Case &c : cases) {
        if (!labels.insert(c.label).second)
            die("the corpus makes \"" + c.label + "\" twice");
        Section s{c.label, {}};
        glrecord::Recording rec;
        const std::string result = c.run();
        if (!result.empty())
            s.lines.push_back("= " + result);
        for (const glrecord::Call &call : rec.calls)
            s.lines.push_back(bitsLine(canonical(call)));
        out.push_back(std::move(s));
    }
    return out;
}

// ---- Files ---------------------------------------------------------------------

FILE *openFile(const std::string &path, const char *how) {
    FILE *f = std::fopen(path.c_str(), how);
    if (!f)
        die("cannot open " + path + ": " + std::strerror(errno));
    return f;
}

std::vector<std::string> readLines(const std::string &path) {
    FILE *f = openFile(path, "r");
    std::vector<std::string> lines;
    std::string line;
    for (int ch; (ch = std::fgetc(f)) != EOF;) {
        if (ch == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(ch);
        }
    }
    const bool failed = std::ferror(f);
    std::fclose(f);
    if (failed)
        die("cannot read " + path);
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

// Writes through a temporary file renamed into place, so that a failed
// write never leaves a truncated file behind.
void writeFile(const std::string &path, const std::function<void(FILE *)> &fill) {
    const std::string temp = path + ".tmp";
    FILE *f = openFile(temp, "w");
    fill(f);
    const bool failed = std::ferror(f) != 0;
    if (std::fclose(f) != 0 || failed || std::rename(temp.c_str(), path.c_str()) != 0) {
        const int error = errno;
        std::remove(temp.c_str());
        die("cannot write " + path + ": " + std::strerror(error));
    }
}

// stream.txt: "# label", then the case's lines.
void writeStream(const std::string &path, const std::vector<Section> &sections) {
    writeFile(path, [&](FILE *f) {
        for (const Section &s : sections) {
            std::fprintf(f, "# %s\n", s.label.c_str());
            for (const std::string &line : s.lines)
                std::fprintf(f, "%s\n", line.c_str());
        }
    });
}

std::vector<Section> readStream(const std::string &path) {
    std::vector<Section> sections;
    for (const std::string &line : readLines(path)) {
        if (line.compare(0, 2, "# ") == 0)
            sections.push_back({line.substr(2), {}});
        else if (sections.empty())
            die(path + ": the first line is not a \"# call\" line");
        else
            sections.back().lines.push_back(line);
    }
    if (sections.empty())
        die(path + " is empty");
    return sections;
}

// math.txt: "sin 3ff0000000000000 3feaed548f090cee", one argument a line.
void writeMath(const std::string &path) {
    writeFile(path, [](FILE *f) {
        for (int fn = 0; fn < 3; ++fn)
            for (const auto &[arg, result] : table[fn])
                std::fprintf(f, "%s %016" PRIx64 " %016" PRIx64 "\n", kFnNames[fn], arg, result);
    });
}

void readMath(const std::string &path) {
    int lineNo = 0;
    for (const std::string &line : readLines(path)) {
        ++lineNo;
        char name[8];
        std::uint64_t arg, result;
        int fn = -1;
        if (std::sscanf(line.c_str(), "%7s %" SCNx64 " %" SCNx64, name, &arg, &result) == 3)
            for (int i = 0; i < 3; ++i)
                if (std::strcmp(name, kFnNames[i]) == 0)
                    fn = i;
        if (fn < 0)
            die(path + ":" + std::to_string(lineNo) + ": expected \"sin|cos|tan ARGBITS RESULTBITS\"");
        table[fn][arg] = result;
    }
}

std::size_t recorded() { return table[0].size() + table[1].size() + table[2].size(); }

// ---- The modes -----------------------------------------------------------------

int record(const std::string &dir) {
    const std::vector<Section> stream = run(corpus());
    if (recorded() == 0)
        die("the library never called this program's sin, cos or tan: are they exported?");
    writeStream(dir + "/stream.txt", stream);
    writeMath(dir + "/math.txt");
    std::fprintf(stderr, "recorded %zu cases, %zu sin, %zu cos, %zu tan arguments in %s\n", stream.size(),
                 table[0].size(), table[1].size(), table[2].size(), dir.c_str());
    return 0;
}

// For information: on how many recorded arguments this machine's math
// library gives other bits than the recording one (NaN against NaN agrees).
void reportMathDifferences() {
    for (int fn = 0; fn < 3; ++fn) {
        std::size_t differ = 0;
        for (const auto &[arg, result] : table[fn]) {
            const double here = realOne(static_cast<Fn>(fn), fromBits(arg));
            if (bitsOf(here) != result && !(std::isnan(here) && std::isnan(fromBits(result))))
                ++differ;
        }
        std::printf("math libraries differ on %zu of %zu %s arguments\n", differ, table[fn].size(), kFnNames[fn]);
    }
}

// The first GL call in which `got` and `want` differ, or -1.
long firstDifference(const std::vector<std::string> &got, const std::vector<std::string> &want) {
    const std::size_t n = std::min(got.size(), want.size());
    for (std::size_t i = 0; i < n; ++i)
        if (got[i] != want[i])
            return static_cast<long>(i);
    return got.size() == want.size() ? -1 : static_cast<long>(n);
}

// Compares the corpus's sections with the reference's, case by case; with
// `sharedOnly`, cases that only one side has are left out.
int compare(const std::vector<Section> &here, const std::vector<Section> &reference, bool sharedOnly) {
    std::map<std::string, const Section *> byLabel;
    for (const Section &s : reference)
        byLabel[s.label] = &s;

    std::size_t differ = 0, shared = 0, missing = 0;
    const auto report = [&differ](const std::string &what) {
        if (++differ <= 20)
            std::printf("%s\n", what.c_str());
    };
    for (const Section &s : here) {
        const auto it = byLabel.find(s.label);
        if (it == byLabel.end()) {
            ++missing;
            if (!sharedOnly)
                report(s.label + ": not in the reference (a new case: run `make reference`)");
            continue;
        }
        ++shared;
        const std::vector<std::string> &want = it->second->lines;
        byLabel.erase(it);
        const long i = firstDifference(s.lines, want);
        if (i < 0)
            continue;
        const auto at = [i](const std::vector<std::string> &v) {
            return static_cast<std::size_t>(i) < v.size() ? v[static_cast<std::size_t>(i)] : std::string("(no call)");
        };
        report(s.label + label(": GL call %ld differs (%zu calls here, %zu in the reference)", i, s.lines.size(),
                               want.size()) +
               "\n  here:      " + readable(at(s.lines)) + "\n  reference: " + readable(at(want)));
    }
    if (!sharedOnly)
        for (const auto &[l, s] : byLabel)
            report(l + ": in the reference but no longer in the corpus");
    if (differ > 20)
        std::printf("... and %zu more\n", differ - 20);
    std::printf("%zu of %zu cases differ from the reference (%zu new, %zu gone)\n", differ, here.size(), missing,
                byLabel.size());
    return differ == 0 ? 0 : 1;
}

// The file that defines the library's functions must be `expected`.
void requireLibrary(const char *expected) {
    const std::string want = realPath(expected);
    const std::string got = definingObject(&gluSphere);
    if (want.empty() || got != want)
        die("softglu's functions come from " + (got.empty() ? std::string("nowhere") : got) + ", not from " +
            expected);
    std::printf("library under test: %s\n", got.c_str());
}

int replay(const std::string &dir, const char *library, Mode how) {
    requireLibrary(library);
    readMath(dir + "/math.txt");
    const std::vector<Section> reference = readStream(dir + "/stream.txt");
    if (recorded() == 0)
        die("no math results in " + dir + "/math.txt");
    mode = how;
    const std::vector<Section> here = run(corpus());
    mode = Mode::Record;
    // Every recorded argument must be asked for again, or the library is not
    // bound to this program's functions.
    if (how == Mode::Replay && replayed.size() != recorded())
        die("the library asked for " + std::to_string(replayed.size()) + " of the " + std::to_string(recorded()) +
            " recorded arguments: is it bound to this program's sin/cos/tan?");
    if (how == Mode::Replay)
        reportMathDifferences();
    return compare(here, reference, how == Mode::Check);
}

// One line per call of the broad set: the call and a 64-bit FNV-1a hash of
// its stream, with this machine's math results.
int digest() {
    for (const Section &s : run(broad())) {
        std::uint64_t h = 14695981039346656037u;
        for (const std::string &line : s.lines)
            for (const char ch : line + "\n")
                h = (h ^ static_cast<unsigned char>(ch)) * 1099511628211u;
        std::printf("%s %016" PRIx64 "\n", s.label.c_str(), h);
    }
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    const std::string what = argc >= 3 ? argv[1] : "";
    if (what == "record" && argc == 3)
        return record(argv[2]);
    if (what == "replay" && (argc == 3 || argc == 4))
        return replay(argv[2], argc == 4 ? argv[3] : SOFTGLU_BUILT_LIBRARY, Mode::Replay);
    if (what == "check" && argc == 3)
        return replay(argv[2], SOFTGLU_BUILT_LIBRARY, Mode::Check);
    if (argc == 2 && std::string(argv[1]) == "digest")
        return digest();
    std::fprintf(stderr, "usage: softglu_corpus record DIR | replay DIR [LIBRARY] | check DIR | digest\n");
    return 2;
}
