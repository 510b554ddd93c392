// SPDX-License-Identifier: MIT
// Google Benchmark of every softglu function at small, typical and large
// sizes, each beside its floor: the time of just the math library calls
// (sin, cos, tan, sqrt) the library's source makes for it, with the same
// arguments and each as often as the source evaluates it, measured in the
// same run.
//
// A second floor, the "sincos floor", fuses each vertex's sine and cosine of
// one angle into one sincos call and takes square roots with the hardware
// instruction, as GCC does with the library's code.  (GCC goes further still:
// it also merges repeated calls and hoists calls whose angle does not change
// from one vertex to the next; bench/callgrind.sh shows the calls the
// compiled library really makes.)  The targets are set against the first.
//
// The GL entry points do nothing but take their arguments (nullgl.cpp).
// malloc and its family are replaced by counting wrappers: the summary
// reports the allocations made during the calls, and the program fails if
// there are any.
#include "calls.h"
#include "nullgl.h"

#include <benchmark/benchmark.h>

#include <math.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// ---- Allocation counting ------------------------------------------------

extern "C" {
void *__libc_malloc(std::size_t);
void *__libc_calloc(std::size_t, std::size_t);
void *__libc_realloc(void *, std::size_t);
void *__libc_memalign(std::size_t, std::size_t);
void __libc_free(void *);
}

namespace {

bool counting = false;          // set around each timed call
std::uint64_t allocations = 0;  // made while counting
std::uint64_t timedCalls = 0;   // calls made while counting

void noteAllocation() {
    if (counting)
        ++allocations;
}

}  // namespace

// These replace glibc's for the whole process, libsoftglu and libstdc++'s
// operator new included, and hand the work on to glibc's allocator.
extern "C" {
void *malloc(std::size_t n) noexcept {
    noteAllocation();
    return __libc_malloc(n);
}
void *calloc(std::size_t n, std::size_t size) noexcept {
    noteAllocation();
    return __libc_calloc(n, size);
}
void *realloc(void *p, std::size_t n) noexcept {
    noteAllocation();
    return __libc_realloc(p, n);
}
void *memalign(std::size_t align, std::size_t n) noexcept {
    noteAllocation();
    return __libc_memalign(align, n);
}
void *aligned_alloc(std::size_t align, std::size_t n) noexcept {
    noteAllocation();
    return __libc_memalign(align, n);
}
int posix_memalign(void **out, std::size_t align, std::size_t n) noexcept {
    noteAllocation();
    if (align % sizeof(void *) != 0 || (align & (align - 1)) != 0)
        return EINVAL;
    void *p = __libc_memalign(align, n);
    if (!p)
        return ENOMEM;
    *out = p;
    return 0;
}
void free(void *p) noexcept { __libc_free(p); }
}

namespace {

// The replacement is in force: malloc and operator new are both counted.
bool allocationCountingWorks() {
    counting = true;
    void *volatile p = malloc(24);
    free(p);
    int *volatile q = new int(1);
    delete q;
    counting = false;
    const bool works = allocations == 2;
    allocations = 0;
    return works;
}

// ---- Floors -------------------------------------------------------------

const double kPi = 3.141592653589793;
const double kTwoPi = 6.283185307179586;

using MathFn = double (*)(double);
const MathFn kSin = ::sin, kCos = ::cos, kTan = ::tan, kSqrt = ::sqrt;

struct MathCall {
    MathFn fn;
    double arg;
};

// The math calls of one function call.  `written` lists every sin, cos,
// tan and sqrt as often as the source evaluates it (the
// sines and cosines grouped by angle); the other lists are the sincos floor:
// one sincos per angle and vertex, then the square roots and tangents.
struct Floor {
    std::vector<MathCall> written;
    std::vector<double> sincos, sqrt, tan;

    // Angle a whose sine is used sinUses times and cosine cosUses times.
    void trig(double a, int sinUses, int cosUses) {
        for (int i = 0; i < sinUses; ++i)
            written.push_back({kSin, a});
        for (int i = 0; i < cosUses; ++i)
            written.push_back({kCos, a});
        sincos.push_back(a);
    }
    void root(double x) {
        written.push_back({kSqrt, x});
        sqrt.push_back(x);
    }
    void tangent(double x) {
        written.push_back({kTan, x});
        tan.push_back(x);
    }
};

double runWritten(const Floor &f) {
    double acc = 0.0;
    for (const MathCall &c : f.written)
        acc += c.fn(c.arg);
    return acc;
}

double runSincosFloor(const Floor &f) {
    double acc = 0.0;
    for (double a : f.sincos) {
        double s, c;
        ::sincos(a, &s, &c);
        acc += s + c;
    }
    for (double x : f.sqrt)
        acc += ::sqrt(x);  // the hardware instruction, as in the library
    for (double x : f.tan)
        acc += ::tan(x);
    return acc;
}

// The arguments below are worked out exactly as each function defines them
// (same precisions, same order of operations), so the floor calls see the
// values the library's calls see.

// Per wedge the sine and cosine of both edge angles; per row one square
// root for each of the row's two normals.
Floor cylinderFloor(int slices, int stacks) {
    Floor f;
    const double da = kTwoPi / static_cast<double>(slices);
    const float nz = static_cast<float>((calls::kCylinderBase - calls::kCylinderTop) /
                                        calls::kCylinderHeight);
    for (std::int64_t i = 0; i < slices; ++i) {
        const double a1 = static_cast<double>(i) * da;
        const double a2 = static_cast<double>(i + 1) * da;
        f.trig(a1, 1, 1);
        f.trig(a2, 1, 1);
        const float x1 = static_cast<float>(-::sin(a1)), y1 = static_cast<float>(::cos(a1));
        const float x2 = static_cast<float>(-::sin(a2)), y2 = static_cast<float>(::cos(a2));
        const double sum1 = static_cast<double>(x1 * x1 + y1 * y1 + nz * nz);
        const double sum2 = static_cast<double>(x2 * x2 + y2 * y2 + nz * nz);
        for (std::int64_t j = 0; j <= stacks; ++j) {
            f.root(sum1);
            f.root(sum2);
        }
    }
    return f;
}

// The sine and cosine of every step, afresh on every ring.
Floor diskFloor(int slices, int loops) {
    Floor f;
    const double da = kTwoPi / static_cast<double>(slices);
    for (std::int64_t l = 0; l < loops; ++l)
        for (std::int64_t s = 0; s <= slices; ++s)
            f.trig(s == slices ? 0.0 : static_cast<double>(s) * da, 1, 1);
    return f;
}

// Per vertex the sine and cosine of its azimuth and of its polar angle.
Floor sphereFloor(int slices, int stacks) {
    Floor f;
    const float drho = static_cast<float>(kPi / static_cast<double>(static_cast<float>(stacks)));
    const float dtheta =
        static_cast<float>(kTwoPi / static_cast<double>(static_cast<float>(slices)));
    const auto azimuth = [&](std::int64_t j) {
        return j == slices ? 0.0f : static_cast<float>(j) * dtheta;
    };
    const auto point = [&](float rho, float theta) {
        f.trig(static_cast<double>(theta), 1, 1);
        f.trig(static_cast<double>(rho), 1, 1);
    };
    for (std::int64_t j = 0; j <= slices; ++j)
        point(drho, azimuth(j));
    for (std::int64_t i = 0; i < stacks; ++i) {
        const float rho = static_cast<float>(i) * drho;
        for (std::int64_t j = 0; j <= slices; ++j) {
            point(rho, azimuth(j));
            point(rho + drho, azimuth(j));
        }
    }
    const float rho = static_cast<float>(kPi - static_cast<double>(drho));
    for (std::int64_t j = slices; j >= 0; --j)
        point(rho, azimuth(j));
    return f;
}

// Per vertex every use afresh: cos(v) four times, sin(v), cos(u) and sin(u)
// twice each.
Floor torusFloor(int numc, int numt) {
    Floor f;
    for (std::int64_t i = 0; i < numc; ++i)
        for (std::int64_t j = 0; j <= numt; ++j) {
            const double u = static_cast<double>(j % numt) * kTwoPi / static_cast<double>(numt);
            for (int k = 1; k >= 0; --k) {
                const double s = static_cast<double>((i + k) % numc) + 0.5;
                f.trig(s * kTwoPi / static_cast<double>(numc), 2, 4);
                f.trig(u, 2, 2);
            }
        }
    return f;
}

Floor perspectiveFloor() {
    Floor f;
    f.tangent((calls::kFovy * kPi) / 360.0);
    return f;
}

// ---- Benchmarks ---------------------------------------------------------

using Counter = benchmark::Counter;

template <typename Draw>
void timeCall(benchmark::State &state, Draw draw) {
    const std::uint64_t vertices = nullgl::vertices, allocated = allocations;
    for (auto _ : state) {
        counting = true;
        draw();
        counting = false;
    }
    timedCalls += static_cast<std::uint64_t>(state.iterations());
    state.counters["vertices"] =
        Counter(static_cast<double>(nullgl::vertices - vertices), Counter::kAvgIterations);
    state.counters["allocs"] =
        Counter(static_cast<double>(allocations - allocated), Counter::kAvgIterations);
}

template <typename F>
void add(const std::string &name, F &&fn) {
    benchmark::RegisterBenchmark(name.c_str(), std::forward<F>(fn))
        ->Repetitions(5)
        ->ReportAggregatesOnly(true)
        ->MinTime(0.1);
}

// The calls in the order they are registered, for the summary.
std::vector<std::string> callNames;

template <typename Draw>
void addCall(const std::string &name, Draw draw, Floor floor) {
    callNames.push_back(name);
    add(name, [draw](benchmark::State &st) { timeCall(st, draw); });
    if (floor.written.empty())
        return;
    const auto f = std::make_shared<const Floor>(std::move(floor));
    add(name + "/floor", [f](benchmark::State &st) {
        for (auto _ : st)
            benchmark::DoNotOptimize(runWritten(*f));
        st.counters["math calls"] = static_cast<double>(f->written.size());
    });
    add(name + "/sincos-floor", [f](benchmark::State &st) {
        for (auto _ : st)
            benchmark::DoNotOptimize(runSincosFloor(*f));
        st.counters["math calls"] =
            static_cast<double>(f->sincos.size() + f->sqrt.size() + f->tan.size());
    });
}

void registerAll() {
    addCall("gluPerspective", [] { calls::perspective(); }, perspectiveFloor());
    addCall("gluNewQuadric", [] { benchmark::DoNotOptimize(gluNewQuadric()); }, Floor{});
    addCall("gluQuadricDrawStyle", [] { gluQuadricDrawStyle(nullptr, GLU_FILL); }, Floor{});
    for (int n : {8, 32, 256}) {
        const std::string size = "/" + std::to_string(n) + "x" + std::to_string(n);
        addCall("gluCylinder" + size, [n] { calls::cylinder(n, n); }, cylinderFloor(n, n));
        addCall("gluDisk" + size, [n] { calls::disk(n, n); }, diskFloor(n, n));
        addCall("gluSphere" + size, [n] { calls::sphere(n, n); }, sphereFloor(n, n));
        addCall("drawTorus" + size, [n] { calls::torus(n, n); }, torusFloor(n, n));
    }
}

// ---- Summary ------------------------------------------------------------

// "model name (family F, model M)" of the first CPU.
std::string cpuName() {
    std::ifstream in("/proc/cpuinfo");
    std::string line, name = "unknown CPU", family, model;
    const auto value = [&] { return line.substr(line.find(':') + 2); };
    while (std::getline(in, line) && !line.empty()) {
        if (line.rfind("model name", 0) == 0)
            name = value();
        else if (line.rfind("cpu family", 0) == 0)
            family = value();
        else if (line.rfind("model\t", 0) == 0)
            model = value();
    }
    return name + " (family " + family + ", model " + model + ")";
}

std::string duration(double ns) {
    char buf[32];
    if (ns < 1e3)
        std::snprintf(buf, sizeof buf, "%.1f ns", ns);
    else if (ns < 1e6)
        std::snprintf(buf, sizeof buf, "%.2f µs", ns / 1e3);
    else
        std::snprintf(buf, sizeof buf, "%.2f ms", ns / 1e6);
    return buf;
}

// The console output as usual, then one Markdown table of the medians: each
// call beside its floors, the ratios, and the targets.
class Summary : public benchmark::ConsoleReporter {
public:
    Summary() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &r : runs) {
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name != "median")
                continue;
            Result &out = results_[r.run_name.function_name];
            out.ns = r.GetAdjustedCPUTime();
            const auto v = r.counters.find("vertices");
            out.vertices = v == r.counters.end() ? 0.0 : v->second.value;
            const auto a = r.counters.find("allocs");
            out.allocs = a == r.counters.end() ? 0.0 : a->second.value;
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nCPU: %s\n\n", cpuName().c_str());
        std::printf("| call | vertices | time/call | time/vertex | floor | ratio | sincos floor "
                    "| ratio | allocs/call | target |\n");
        std::printf("|---|--:|--:|--:|--:|--:|--:|--:|--:|---|\n");
        for (const std::string &name : callNames) {
            if (results_.count(name) == 0)
                continue;  // filtered out
            const Result &r = results_[name];
            std::printf("| %s | %.0f | %s | %s |", name.c_str(), r.vertices, duration(r.ns).c_str(),
                        r.vertices > 0 ? duration(r.ns / r.vertices).c_str() : "-");
            double ratio = 0.0;
            for (const char *floor : {"/floor", "/sincos-floor"}) {
                const auto f = results_.find(name + floor);
                if (f == results_.end()) {
                    std::printf(" - | - |");
                    continue;
                }
                std::printf(" %s | %.2f |", duration(f->second.ns).c_str(), r.ns / f->second.ns);
                if (ratio == 0.0)
                    ratio = r.ns / f->second.ns;
            }
            std::printf(" %.0f | %s |\n", r.allocs, target(name, ratio).c_str());
        }
        std::printf("\nAllocations during the %llu timed calls: %llu\n",
                    static_cast<unsigned long long>(timedCalls),
                    static_cast<unsigned long long>(allocations));
    }

private:
    struct Result {
        double ns = 0.0, vertices = 0.0, allocs = 0.0;
    };

    static std::string target(const std::string &name, double ratio) {
        const std::map<std::string, double> targets = {
            {"gluSphere/32x32", 1.25}, {"drawTorus/32x32", 1.25}, {"gluDisk/32x32", 1.5}};
        const auto t = targets.find(name);
        if (t == targets.end())
            return "";
        char buf[48];
        std::snprintf(buf, sizeof buf, "≤ %.2f× floor: %s", t->second,
                      ratio <= t->second ? "met" : "MISSED");
        return buf;
    }

    std::map<std::string, Result> results_;
};

}  // namespace

int main(int argc, char **argv) {
    if (!allocationCountingWorks()) {
        std::fprintf(stderr, "softglu_bench: the counting malloc is not in effect\n");
        return 1;
    }
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    Summary summary;
    benchmark::RunSpecifiedBenchmarks(&summary);
    benchmark::Shutdown();
    if (allocations != 0) {
        std::fprintf(stderr, "softglu_bench: %llu allocations during the calls\n",
                     static_cast<unsigned long long>(allocations));
        return 1;
    }
    return 0;
}
