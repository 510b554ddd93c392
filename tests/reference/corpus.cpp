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
//                                     more calls (tests/reference/mutants.sh)
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

#include "corpus.h"
#include "glrecord.h"
#include "provenance.h"

#include <dlfcn.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <csetjmp>
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

// x86's default quiet NaNs, which the reference holds for every NaN.
const std::uint32_t kNaNBitsF = 0x7fc00000u;
const std::uint64_t kNaNBits = 0x7ff8000000000000u;

// Every NaN argument is the one argument kNaNBits: a NaN's bits come from
// the processor (SSE's default NaN is negative, ARM's positive, and MIPS's
// legacy encoding marks a quiet NaN by the top fraction bit clear), and the
// sine of any NaN is a NaN.
std::uint64_t argumentKey(double x) { return std::isnan(x) ? kNaNBits : bitsOf(x); }

double answer(Fn fn, double x, double result) {
    std::map<std::uint64_t, std::uint64_t> &t = table[static_cast<int>(fn)];
    const auto it = t.find(argumentKey(x));
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
        if (it != t.end() && it->second != bitsOf(result) && !(std::isnan(result) && std::isnan(fromBits(it->second))))
            die(std::string(kFnNames[static_cast<int>(fn)]) + " and sincos give two results for one argument");
        t[argumentKey(x)] = bitsOf(result);
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

using namespace corpus;  // kInf, Case, label, Counts, Numbers, addDrawCase

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

// Stops a call after its first `limit` GL calls: a longjmp out of the GL
// stand-in and the library, whose frames hold nothing to destroy.
class Cutoff : public glrecord::Sink {
public:
    explicit Cutoff(std::size_t limit) : limit_(limit) {}
    void call(const glrecord::Call &) override {
        if (++count_ == limit_)
            std::longjmp(stop, 1);
    }
    std::jmp_buf stop;

private:
    std::size_t limit_;
    std::size_t count_ = 0;
};

// The first `limit` GL calls of a call that would send many millions: what
// its first steps are made of shows there.
void addFirstCallsCase(std::vector<Case> &cases, const std::string &l, std::size_t limit,
                       std::function<void()> draw) {
    cases.push_back({l + label(", its first %zu GL calls", limit), [limit, draw] {
                         Cutoff cutoff(limit);
                         const glrecord::Streaming streaming(cutoff);
                         if (setjmp(cutoff.stop) == 0)
                             draw();
                         return std::string();
                     }});
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

    // Counts that go to double through float, above 2^24, where float
    // rounds them (16777217 to 16777216, 123456789 to 123456792) and the
    // steps differ from those of the exact count.  A negative stacks draws
    // the sphere's two fans alone; the sphere's slices and the disk's loops
    // each take millions of steps, so only their first calls are kept.
    for (int stacks : {-16777217, -123456789})
        addSphere(cases, 1, 4, stacks);
    for (int slices : {16777217, 123456789})
        addFirstCallsCase(cases, label("gluSphere(q, 1, %d, 2)", slices), 12,
                          [slices] { gluSphere(nullptr, 1, slices, 2); });
    addFirstCallsCase(cases, "gluDisk(q, 0, 1, 2, 16777217)", 29, [] { gluDisk(nullptr, 0, 1, 2, 16777217); });
    // The cylinder's texture step over more slices than float holds
    // exactly: 1 / slices in double, rounded once to float.  With no stacks
    // a slice is one row of 8 calls; its first two slices show the step
    // and its first sum.
    for (int slices : {16777217, 123456789})
        addFirstCallsCase(cases, label("gluCylinder(q, 1, 0.5, 2, %d, 0)", slices), 16,
                          [slices] { gluCylinder(nullptr, 1, 0.5, 2, slices, 0); });

    // A finite fovy whose product with pi overflows: the tangent of
    // infinity is NaN, and so are the bounds, sent as computed.
    addPerspective(cases, 1e308, 4.0 / 3.0, 1, 10);
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

std::vector<Case> corpus() {
    std::vector<Case> cases;
    addEdgeCases(cases);
    addFineCases(cases);
    addVariedCases(cases, 20261208, 60, 1);
    addCompatCases(cases);
    addQuadricCases(cases);
    addTessCases(cases);
    addProjectionCases(cases);
    addImageCases(cases);
    addNurbsCases(cases);
    return cases;
}

// Many more calls than the corpus, for tests/reference/mutants.sh: whether a slip
// changes the stream at all, whatever the reference holds.
std::vector<Case> broad() {
    std::vector<Case> cases;
    addVariedCases(cases, 7, 400, 2);
    addVariedCompatCases(cases, 7, 400, 2);
    addVariedQuadricCases(cases, 7, 100, 2);
    addVariedTessCases(cases, 7, 300);
    addVariedProjectionCases(cases, 7, 400);
    addVariedImageCases(cases, 7, 400, 2);
    addVariedNurbsCases(cases, 7, 300);
    return cases;
}

// ---- Streams, one per case -----------------------------------------------------

// Every NaN argument becomes x86's default quiet NaN, so NaNs compare as a
// class and every other bit as it is.  (Set by its bits: MIPS's legacy
// quiet NaN has other bits.)
glrecord::Call canonical(glrecord::Call c) {
    for (float &f : c.f)
        if (std::isnan(f))
            std::memcpy(&f, &kNaNBitsF, sizeof f);
    for (double &d : c.d)
        if (std::isnan(d))
            std::memcpy(&d, &kNaNBits, sizeof d);
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
    if (glrecord::uploads(c.op)) {
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
    const int words = c.argCount() + (glrecord::uploads(c.op) ? 2 : 0);
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
