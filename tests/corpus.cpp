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
#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
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
    char buf[512];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof buf)
        die(std::string("a label longer than ") + std::to_string(sizeof buf - 1) + " characters: " + buf);
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

// ---- The projection helpers ----------------------------------------------------

struct Matrix {
    std::string name;
    double m[16];  // column-major
};

struct Viewport {
    GLint v[4];
};

// Doubles as the results print them: decimal and bits; any NaN as "nan",
// whose sign and payload are the processor's.
std::string results(GLint status, const double *out, int n) {
    std::string s = status == GLU_TRUE ? "GLU_TRUE" : status == GLU_FALSE ? "GLU_FALSE" : label("%d", status);
    for (int i = 0; i < n; ++i)
        s += std::isnan(out[i]) ? std::string(" nan") : label(" %.17g 0x%016" PRIx64, out[i], bitsOf(out[i]));
    return s;
}

// Outputs start at this, so a call that returns GLU_FALSE shows it wrote nothing.
const double kUnwritten = -1234.5;

std::string viewportLabel(const Viewport &v) { return label("%d %d %d %d", v.v[0], v.v[1], v.v[2], v.v[3]); }

void addProject(std::vector<Case> &cases, double x, double y, double z, const Matrix &model, const Matrix &proj,
                const Viewport &view) {
    cases.push_back({label("gluProject(%.17g, %.17g, %.17g, model %s, proj %s, viewport %s)", x, y, z,
                           model.name.c_str(), proj.name.c_str(), viewportLabel(view).c_str()),
                     [=] {
                         double out[3] = {kUnwritten, kUnwritten, kUnwritten};
                         const GLint r = gluProject(x, y, z, model.m, proj.m, view.v, out, out + 1, out + 2);
                         return results(r, out, 3);
                     }});
}

void addUnProject(std::vector<Case> &cases, double x, double y, double z, const Matrix &model, const Matrix &proj,
                  const Viewport &view) {
    cases.push_back({label("gluUnProject(%.17g, %.17g, %.17g, model %s, proj %s, viewport %s)", x, y, z,
                           model.name.c_str(), proj.name.c_str(), viewportLabel(view).c_str()),
                     [=] {
                         double out[3] = {kUnwritten, kUnwritten, kUnwritten};
                         const GLint r = gluUnProject(x, y, z, model.m, proj.m, view.v, out, out + 1, out + 2);
                         return results(r, out, 3);
                     }});
}

void addUnProject4(std::vector<Case> &cases, double x, double y, double z, double w, const Matrix &model,
                   const Matrix &proj, const Viewport &view, double nearVal, double farVal) {
    cases.push_back({label("gluUnProject4(%.17g, %.17g, %.17g, %.17g, model %s, proj %s, viewport %s, %.17g, %.17g)",
                           x, y, z, w, model.name.c_str(), proj.name.c_str(), viewportLabel(view).c_str(), nearVal,
                           farVal),
                     [=] {
                         double out[4] = {kUnwritten, kUnwritten, kUnwritten, kUnwritten};
                         const GLint r = gluUnProject4(x, y, z, w, model.m, proj.m, view.v, nearVal, farVal, out,
                                                       out + 1, out + 2, out + 3);
                         return results(r, out, 4);
                     }});
}

void addPickMatrix(std::vector<Case> &cases, double x, double y, double dx, double dy, const Viewport &view) {
    addDrawCase(cases,
                label("gluPickMatrix(%.17g, %.17g, %.17g, %.17g, viewport %s)", x, y, dx, dy,
                      viewportLabel(view).c_str()),
                [=] { gluPickMatrix(x, y, dx, dy, view.v); });
}

// A matrix of decimals in [-2, 2], each its own statement, named `name`.
Matrix decimalMatrix(Numbers &r, std::string name) {
    Matrix m{std::move(name), {}};
    for (double &v : m.m)
        v = r.decimal(-2000, 2000);
    return m;
}

// What a program's cameras and projections look like, and every way a
// matrix goes wrong: singular (zero, flattening, rank 2), singular only in
// exact arithmetic, zeros on the diagonal, pivots that tie, tiny and huge
// scales whose products underflow or overflow, subnormal, infinite and NaN
// entries.
const Matrix kMatrices[] = {
    {"identity", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
    {"camera", {0.894427191, -0.182574186, 0.408248290, 0, 0, 0.912870929, 0.408248290, 0, -0.447213595,
                -0.365148372, 0.816496581, 0, 0.3, -0.7, -7.348469228, 1}},
    {"perspective 60 4:3 0.1 100", {1.299038105676658, 0, 0, 0, 0, 1.7320508075688772, 0, 0, 0, 0,
                                    -1.002002002002002, -1, 0, 0, -0.2002002002002002, 0}},
    {"ortho -4 4 -3 3 1 50", {0.25, 0, 0, 0, 0, 0.3333333333333333, 0, 0, 0, 0, -0.04081632653061224, 0, 0, 0,
                              -1.0408163265306123, 1}},
    {"zero", {}},
    {"flat y", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
    {"rank 2", {1, 2, 3, 4, 2, 4, 6, 8, 0.5, 0.25, 0.125, 1, 1, 0.5, 0.25, 2}},
    {"singular in exact arithmetic", {0.1, 0.4, 0.7, 0, 0.2, 0.5, 0.8, 0, 0.3, 0.6, 0.9, 0, 0, 0, 0, 1}},
    {"z and w swapped", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0}},
    {"zero diagonal", {0, 0.3, 0.7, 0.2, 0.9, 0, 0.4, 0.1, 0.6, 0.8, 0, 0.5, 0.25, 0.35, 0.45, 0}},
    {"tied pivots", {0.7, -0.7, 0.7, -0.7, 0.3, 0.9, -0.3, 0.1, -0.6, 0.2, 0.6, 0.4, 0.05, 0.15, 0.25, 0.35}},
    {"tiny", {1e-300, 0, 0, 0, 0, 2e-300, 0, 0, 0, 0, -3e-300, 0, 0, 0, 0, 1e-300}},
    {"small", {1.5e-160, 2e-161, 0, 0, 0, 1e-160, 0, 0, 3e-161, 0, 1e-160, 0, 1e-161, 0, 0, 1e-160}},
    {"huge", {1e300, 0, 0, 0, 0, 2e300, 0, 0, 0, 0, -1e300, 0, 5e299, 0, 0, 1e300}},
    {"large", {1e160, 3e159, 0, 0, 0, 2e160, 0, 0, 0, 1e159, 1e160, 0, 0, 0, 0, 1e160}},
    {"subnormal", {5e-324, 0, 0, 0, 0, 5e-324, 0, 0, 0, 0, 5e-324, 0, 0, 0, 0, 5e-324}},
    {"infinite", {1, 0, 0, 0, 0, kInf, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
    {"NaN", {1, 0, 0, 0, 0, 1, 0, 0, kNaN, 0, 1, 0, 0, 0, 0, 1}},
};

const Viewport kViewports[] = {
    {{0, 0, 640, 480}}, {{20, 30, 200, 150}}, {{-100, 50, 1, 1}},           {{0, 0, 0, 480}},
    {{0, 0, 640, 0}},   {{0, 0, -640, 480}},  {{2147483647, -2147483647 - 1, 2147483647, 2147483647}},
};

void addProjectionCases(std::vector<Case> &cases) {
    const Matrix &identity = kMatrices[0], &camera = kMatrices[1], &perspective = kMatrices[2],
                 &ortho = kMatrices[3];
    const Viewport &screen = kViewports[0];
    const std::size_t matrices = sizeof kMatrices / sizeof kMatrices[0];

    // gluProject: ordinary points through the camera and both projections,
    // every matrix as the model-view, and every viewport.
    const double points[][3] = {{0, 0, 0},        {0.5, -0.25, -3},   {1.25, 2.5, 0.75},  {-7.3, 0.001, 12.9},
                                {0, 0, 7.348469228}, {1e-300, -2e-300, 3e-300}, {1e300, 1e300, -1e300},
                                {kInf, 0, -1},    {0, kNaN, -1},      {-0.0, -0.0, -0.0}};
    for (const auto &p : points) {
        addProject(cases, p[0], p[1], p[2], camera, perspective, screen);
        addProject(cases, p[0], p[1], p[2], camera, ortho, kViewports[1]);
    }
    addProject(cases, 0.5, 0.5, 0, identity, perspective, screen);  // the eye's plane: w = 0
    for (std::size_t i = 0; i < matrices; ++i)
        addProject(cases, 0.3, -0.6, -2.5, kMatrices[i], perspective, screen);
    for (const Viewport &v : kViewports)
        addProject(cases, 1.1, 0.2, -4, camera, perspective, v);

    // gluUnProject: window points through the same, every matrix as the
    // model-view and as the projection, and every viewport.
    const double windows[][3] = {{320, 240, 0.5},   {0, 0, 0},         {640, 480, 1},     {12.5, 470.25, 0.999},
                                 {321.7, 17.3, 0.25}, {1e300, -1e300, 0.5}, {1e-300, 5e-324, 1e-300},
                                 {kInf, 240, 0.5},  {320, 240, kNaN},  {-0.0, -0.0, -0.0}};
    for (const auto &w : windows) {
        addUnProject(cases, w[0], w[1], w[2], camera, perspective, screen);
        addUnProject(cases, w[0], w[1], w[2], camera, ortho, kViewports[1]);
    }
    for (std::size_t i = 0; i < matrices; ++i) {
        addUnProject(cases, 123.25, 321.5, 0.75, kMatrices[i], perspective, screen);
        addUnProject(cases, 400.5, 100.25, 0.25, identity, kMatrices[i], screen);
        addUnProject(cases, 17.75, 451.5, 0.5, kMatrices[i], kMatrices[i], screen);
    }
    for (const Viewport &v : kViewports)
        addUnProject(cases, 150.5, 75.25, 0.125, camera, perspective, v);
    addUnProject(cases, 5, 5, 0.5, identity, kMatrices[8], screen);  // w = 0: a point at infinity

    // gluUnProject4: clip w and depth ranges, ordinary, empty and reversed.
    const double clipWs[] = {1, 0.5, 0, -2, kNaN};
    const double ranges[][2] = {{0, 1}, {0.25, 0.75}, {0.5, 0.5}, {1, 0}, {0, kInf}};
    for (double w : clipWs)
        for (const auto &range : ranges)
            addUnProject4(cases, 210.5, 99.75, 0.6, w, camera, perspective, screen, range[0], range[1]);
    for (std::size_t i = 0; i < matrices; ++i)
        addUnProject4(cases, 210.5, 99.75, 0.6, 1, identity, kMatrices[i], kViewports[1], 0, 1);
    addUnProject4(cases, 5, 5, 0.5, 1, identity, kMatrices[8], screen, 0, 1);  // w = 0 is returned

    // gluPickMatrix: ordinary regions, one pixel, regions of no size or a
    // NaN one, infinite and tiny ones, every viewport.
    const double regions[][4] = {{320, 240, 5, 5},     {12.5, 470.25, 3, 7},  {0, 0, 1, 1},      {320, 240, 0, 5},
                                 {320, 240, 5, -1},    {320, 240, -0.0, 1},   {320, 240, kNaN, 5}, {320, 240, 5, kNaN},
                                 {320, 240, kInf, 5},  {320, 240, 1e-300, 1e-300}, {1e300, -1e300, 2, 2},
                                 {kNaN, kInf, 2, 2}};
    for (const auto &r : regions)
        addPickMatrix(cases, r[0], r[1], r[2], r[3], screen);
    for (const Viewport &v : kViewports)
        addPickMatrix(cases, 101.3, 77.7, 4, 2.5, v);

    // Ordinary calls with decimal matrices and arguments.
    Numbers r(20261210);
    for (int i = 0; i < 20; ++i) {
        const Matrix model = decimalMatrix(r, label("decimal %d", 2 * i));
        const Matrix proj = decimalMatrix(r, label("decimal %d", 2 * i + 1));
        const double z = r.decimal(-5000, 5000), y = r.decimal(-5000, 5000), x = r.decimal(-5000, 5000);
        addProject(cases, x, y, z, model, proj, screen);
        const double wz = r.decimal(0, 1000), wy = r.decimal(0, 480000), wx = r.decimal(0, 640000);
        addUnProject(cases, wx, wy, wz, model, proj, kViewports[1]);
        const double farVal = r.decimal(500, 1000), nearVal = r.decimal(0, 500), clipW = r.decimal(-2000, 2000);
        addUnProject4(cases, wx, wy, wz, clipW, model, proj, screen, nearVal, farVal);
        const double dy = r.decimal(1, 20000), dx = r.decimal(1, 20000);
        addPickMatrix(cases, wx, wy, dx, dy, kViewports[1]);
    }
}

// Ordinary projection calls with decimal arguments, for the broad set.
void addVariedProjectionCases(std::vector<Case> &cases, std::uint64_t seed, int perFunction) {
    Numbers r(seed);
    for (int i = 0; i < perFunction; ++i) {
        const Matrix model = decimalMatrix(r, label("broad %d", 2 * i));
        const Matrix proj = decimalMatrix(r, label("broad %d", 2 * i + 1));
        const Viewport view{{r.count(-100, 100), r.count(-100, 100), r.count(1, 2000), r.count(1, 2000)}};
        const double z = r.decimal(-5000, 5000), y = r.decimal(-5000, 5000), x = r.decimal(-5000, 5000);
        addProject(cases, x, y, z, model, proj, view);
        const double wz = r.decimal(0, 1000), wy = r.decimal(-100000, 2000000), wx = r.decimal(-100000, 2000000);
        addUnProject(cases, wx, wy, wz, model, proj, view);
        const double farVal = r.decimal(500, 1000), nearVal = r.decimal(0, 500), clipW = r.decimal(-2000, 2000);
        addUnProject4(cases, wx, wy, wz, clipW, model, proj, view, nearVal, farVal);
        const double dy = r.decimal(1, 20000), dx = r.decimal(1, 20000);
        addPickMatrix(cases, wx, wy, dx, dy, view);
    }
}

std::vector<Case> corpus() {
    std::vector<Case> cases;
    addEdgeCases(cases);
    addFineCases(cases);
    addVariedCases(cases, 20261208, 60, 1);
    addCompatCases(cases);
    addProjectionCases(cases);
    return cases;
}

// Many more calls than the corpus, for tests/mutants.sh: whether a slip
// changes the stream at all, whatever the reference holds.
std::vector<Case> broad() {
    std::vector<Case> cases;
    addVariedCases(cases, 7, 400, 2);
    addVariedCompatCases(cases, 7, 400, 2);
    addVariedProjectionCases(cases, 7, 400);
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
