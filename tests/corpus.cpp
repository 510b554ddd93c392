// softglu_corpus: the same few hundred calls on every architecture, with the
// math library taken out of the comparison.
//
//   softglu_corpus record DIR   run the corpus with the real sin/cos/tan;
//                               write DIR/math.txt (every argument the
//                               library asked for, with the result) and
//                               DIR/stream.txt (the GL stream)
//   softglu_corpus replay DIR   run the corpus answering sin/cos/tan from
//                               DIR/math.txt and compare the GL stream with
//                               DIR/stream.txt
//
// Platforms' math libraries differ in the last bit of sin and cos for a few
// arguments, and the library's output legitimately follows them.  This
// program defines and exports sin, cos, tan and sincos itself, so the library
// binds to them at load time; replaying the recorded results on another
// architecture leaves only the library's own arithmetic to compare, and that
// must match bit for bit.  NaNs compare as a class: their sign and payload
// depend on the arithmetic unit (SSE makes 0xffc00000 of 0/0, ARM's soft-float
// routines 0x7fc00000).  sqrt is correctly rounded everywhere and is left to
// the real math library.
#include <GL/glu.h>

#include "glrecord.h"

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

bool replaying = false;
std::map<std::uint64_t, std::uint64_t> table[3];  // argument bits -> result bits
std::set<std::pair<int, std::uint64_t>> replayed;  // (function, argument bits)

// Recording: the real result, remembered.  Replaying: the remembered result.
double answer(Fn fn, double x, double realResult) {
    std::map<std::uint64_t, std::uint64_t> &t = table[static_cast<int>(fn)];
    const auto it = t.find(bitsOf(x));
    if (replaying) {
        if (it == t.end()) {
            char msg[128];
            std::snprintf(msg, sizeof msg, "%s(%.17g, bits 0x%016" PRIx64 ") was never called on the host",
                          kFnNames[static_cast<int>(fn)], x, bitsOf(x));
            die(msg);
        }
        replayed.insert({static_cast<int>(fn), it->first});
        return fromBits(it->second);
    }
    if (it != t.end() && it->second != bitsOf(realResult))
        die(std::string(kFnNames[static_cast<int>(fn)]) + " gave two results for one argument (sincos against " +
            kFnNames[static_cast<int>(fn)] + "?)");
    t[bitsOf(x)] = bitsOf(realResult);
    return realResult;
}

}  // namespace

extern "C" {

double sin(double x) noexcept { return answer(Fn::Sin, x, replaying ? 0.0 : realOne(Fn::Sin, x)); }
double cos(double x) noexcept { return answer(Fn::Cos, x, replaying ? 0.0 : realOne(Fn::Cos, x)); }
double tan(double x) noexcept { return answer(Fn::Tan, x, replaying ? 0.0 : realOne(Fn::Tan, x)); }

void sincos(double x, double *s, double *c) noexcept {
    double rs = 0.0, rc = 0.0;
    using F = void (*)(double, double *, double *);
    static const F realSincos = real<F>("sincos");
    if (!replaying)
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

std::vector<Case> corpus() {
    std::vector<Case> cases;
    const auto add = [&](std::string l, std::function<void()> draw) {
        cases.push_back({std::move(l), [draw] { draw(); return std::string(); }});
    };

    // gluPerspective: every field of view against every aspect, the clip
    // planes taken in turn.
    const double fovys[] = {0, 1, 30, 45, 60, 90, 120, 179, 180, 270, 360, -45, 1e-300, 1e300, kInf, -kInf, kNaN};
    const double aspects[] = {1, 4.0 / 3.0, -1, 0};
    const double planes[][2] = {{1, 10}, {0.1, 1000}, {0, 1}, {-1, 1}, {kInf, kNaN}};
    int n = 0;
    for (double fovy : fovys)
        for (double aspect : aspects) {
            const double zNear = planes[n % 5][0], zFar = planes[n % 5][1];
            ++n;
            add(label("gluPerspective(%.17g, %.17g, %.17g, %.17g)", fovy, aspect, zNear, zFar),
                [=] { gluPerspective(fovy, aspect, zNear, zFar); });
        }

    // The quadric handle: always null, the draw style ignored.
    for (int style : {GLU_POINT, GLU_LINE, GLU_FILL, GLU_SILHOUETTE, -1})
        cases.push_back({label("gluNewQuadric, gluQuadricDrawStyle(q, %d)", style), [style] {
                             GLUquadricObj *q = gluNewQuadric();
                             gluQuadricDrawStyle(q, style);
                             return std::string(q ? "non-null handle" : "null handle");
                         }});

    // Counts: ordinary, one, zero and negative.
    const Counts counts[] = {{16, 4}, {3, 1}, {1, 1}, {2, 2}, {0, 2}, {8, 0}, {-1, 3}, {5, -2}};

    const double cylinderRadii[][2] = {{1, 0.5}, {1, 1}, {0, 1}, {1, 0}, {-1, 2},
                                       {1e-30, 1e-30}, {1e30, 1}, {kInf, 1}, {kNaN, 1}};
    const double heights[] = {2, 0, -1, kInf, kNaN};
    n = 0;
    for (const auto &r : cylinderRadii)
        for (double h : heights) {
            const Counts c = counts[n++ % 8];
            add(label("gluCylinder(q, %.17g, %.17g, %.17g, %d, %d)", r[0], r[1], h, c.a, c.b),
                [=] { gluCylinder(nullptr, r[0], r[1], h, c.a, c.b); });
        }

    const double diskRadii[][2] = {{0, 1}, {0.25, 1}, {1, 0.25}, {0, 0}, {-1, 1},
                                   {0.5, 0.5}, {1e30, 1e38}, {0, kInf}, {kNaN, 1}, {1, kNaN}};
    for (const auto &r : diskRadii)
        for (const Counts &c : counts)
            add(label("gluDisk(q, %.17g, %.17g, %d, %d)", r[0], r[1], c.a, c.b),
                [=] { gluDisk(nullptr, r[0], r[1], c.a, c.b); });

    const float sphereRadii[] = {1, 0.5f, 0, -2, 1e-30f, 3e38f, kInfF, kNaNF};
    for (float radius : sphereRadii)
        for (const Counts &c : counts)
            add(label("gluSphere(q, %.9g, %d, %d)", static_cast<double>(radius), c.a, c.b),
                [=] { gluSphere(nullptr, radius, c.a, c.b); });

    const float torusRadii[][2] = {{0.25f, 1}, {1, 0.25f}, {0, 1}, {0.5f, 0},
                                   {-0.25f, 1}, {kInfF, 1}, {kNaNF, 1}, {1e-30f, 1}};
    const Counts torusCounts[] = {{8, 16}, {3, 3}, {1, 1}, {2, -1}, {0, 4}, {-1, 4}, {4, 0}, {12, 5}};
    for (const auto &r : torusRadii)
        for (const Counts &c : torusCounts)
            add(label("drawTorus(%.9g, %d, %.9g, %d)", static_cast<double>(r[0]), c.a,
                      static_cast<double>(r[1]), c.b),
                [=] { drawTorus(r[0], c.a, r[1], c.b); });

    // A few finer tessellations, for many more angles.
    add("gluCylinder(q, 1, 0.5, 2, 100, 10)", [] { gluCylinder(nullptr, 1, 0.5, 2, 100, 10); });
    add("gluDisk(q, 0.25, 1, 90, 5)", [] { gluDisk(nullptr, 0.25, 1, 90, 5); });
    add("gluSphere(q, 1, 50, 25)", [] { gluSphere(nullptr, 1, 50, 25); });
    add("drawTorus(0.25, 36, 1, 60)", [] { drawTorus(0.25f, 36, 1, 60); });
    return cases;
}

// ---- The canonical stream ------------------------------------------------------

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

// "# label" and then one line per GL call, arguments with their bits.
std::vector<std::string> runCorpus() {
    std::vector<std::string> lines;
    for (const Case &c : corpus()) {
        lines.push_back("# " + c.label);
        glrecord::Recording rec;
        const std::string result = c.run();
        if (!result.empty())
            lines.push_back("= " + result);
        for (const glrecord::Call &call : rec.calls)
            lines.push_back(glrecord::formatHex(canonical(call)));
    }
    return lines;
}

// ---- Files ---------------------------------------------------------------------

FILE *openFile(const std::string &path, const char *mode) {
    FILE *f = std::fopen(path.c_str(), mode);
    if (!f)
        die("cannot open " + path + ": " + std::strerror(errno));
    return f;
}

void closeFile(FILE *f, const std::string &path) {
    if (std::ferror(f) || std::fclose(f) != 0)
        die("cannot write " + path);
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
    std::fclose(f);
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

void writeLines(const std::string &path, const std::vector<std::string> &lines) {
    FILE *f = openFile(path, "w");
    for (const std::string &line : lines)
        std::fprintf(f, "%s\n", line.c_str());
    closeFile(f, path);
}

// math.txt: "sin 3ff0000000000000 3feaed548f090cee", one argument a line.
void writeMath(const std::string &path) {
    FILE *f = openFile(path, "w");
    for (int fn = 0; fn < 3; ++fn)
        for (const auto &[arg, result] : table[fn])
            std::fprintf(f, "%s %016" PRIx64 " %016" PRIx64 "\n", kFnNames[fn], arg, result);
    closeFile(f, path);
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

// ---- The two modes ------------------------------------------------------------

int record(const std::string &dir) {
    const std::vector<std::string> stream = runCorpus();
    if (recorded() == 0)
        die("the library never called this program's sin, cos or tan: are they exported?");
    writeLines(dir + "/stream.txt", stream);
    writeMath(dir + "/math.txt");
    std::printf("recorded %zu stream lines, %zu sin, %zu cos, %zu tan arguments in %s\n",
                stream.size(), table[0].size(), table[1].size(), table[2].size(), dir.c_str());
    return 0;
}

// For information: on how many recorded arguments this platform's math
// library gives other bits than the recording one (NaN against NaN agrees).
void reportMathDifferences() {
    for (int fn = 0; fn < 3; ++fn) {
        std::size_t differ = 0;
        for (const auto &[arg, result] : table[fn]) {
            const double here = realOne(static_cast<Fn>(fn), fromBits(arg));
            const double there = fromBits(result);
            if (bitsOf(here) != result && !(std::isnan(here) && std::isnan(there)))
                ++differ;
        }
        std::printf("math libraries differ on %zu of %zu %s arguments\n", differ, table[fn].size(),
                    kFnNames[fn]);
    }
}

int replay(const std::string &dir) {
    readMath(dir + "/math.txt");
    const std::vector<std::string> expected = readLines(dir + "/stream.txt");
    if (recorded() == 0 || expected.empty())
        die("nothing recorded in " + dir);
    replaying = true;
    const std::vector<std::string> stream = runCorpus();
    replaying = false;
    // Every recorded argument must be asked for again, or the library is not
    // bound to this program's functions.
    if (replayed.size() != recorded())
        die("the library asked for " + std::to_string(replayed.size()) + " of the " +
            std::to_string(recorded()) + " recorded arguments: is it bound to this program's sin/cos/tan?");

    std::size_t differ = 0;
    std::string lastLabel;
    const std::size_t n = std::max(stream.size(), expected.size());
    for (std::size_t i = 0; i < n; ++i) {
        const std::string got = i < stream.size() ? stream[i] : "(end of stream)";
        const std::string want = i < expected.size() ? expected[i] : "(end of stream)";
        if (got.compare(0, 2, "# ") == 0)
            lastLabel = got;
        if (got == want)
            continue;
        if (++differ <= 10)
            std::printf("line %zu, in %s:\n  here: %s\n  host: %s\n", i + 1, lastLabel.c_str(),
                        got.c_str(), want.c_str());
    }
    reportMathDifferences();
    std::printf("%zu of %zu stream lines differ from the recording\n", differ, n);
    return differ == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char **argv) {
    const std::string mode = argc == 3 ? argv[1] : "";
    if (mode == "record")
        return record(argv[2]);
    if (mode == "replay")
        return replay(argv[2]);
    std::fprintf(stderr, "usage: softglu_corpus record|replay DIR\n");
    return 2;
}
