// SPDX-License-Identifier: MIT
// Google Benchmark of the tessellator: one polygon from gluTessBeginPolygon
// to gluTessEndPolygon, its triangles counted by the vertex callback, on
// the shapes of shapes.h.  items_per_second counts input vertices.
//
//   softglu_tess_bench [--shapes=DIR] [benchmark options]
//
// --shapes=DIR also writes each shape to DIR/NAME.txt, exactly (hex
// floats), for bench/earcut.py to time earcut on the same points.
#include "counting.h"
#include "shapes.h"

#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using shapes::Polygon;

// A shape's polygons as one polygon of all their contours.
struct Input {
    counting::Contours contours;
    int vertices = 0;
};

Input inputOf(const std::vector<Polygon> &polygons) {
    Input in;
    for (const Polygon &p : polygons) {
        counting::append(in.contours, p);
        for (const shapes::Contour &c : p)
            in.vertices += static_cast<int>(c.size());
    }
    return in;
}

void timeTessellation(benchmark::State &state, Input &in) {
    using counting::emitted;
    GLUtesselator *t = gluNewTess();
    counting::setUp(t);
    const unsigned long long before = emitted;
    for (auto _ : state)
        counting::send(t, in.contours);
    gluDeleteTess(t);
    counting::made.clear();
    state.SetItemsProcessed(state.iterations() * in.vertices);
    state.counters["vertices"] = in.vertices;
    state.counters["triangles"] = benchmark::Counter(static_cast<double>(emitted - before) / 3.0,
                                                      benchmark::Counter::kAvgIterations);
}

// Each shape by name, its polygons as earcut takes them (one outline with
// holes each).
std::vector<std::pair<std::string, std::vector<Polygon>>> allShapes() {
    std::vector<std::pair<std::string, std::vector<Polygon>>> all;
    for (int n : {1000, 10000, 30000, 100000})
        all.push_back({"ring/" + std::to_string(n), {shapes::wavyRing(n)}});
    all.push_back({"ring-hole/100000", {shapes::wavyRingWithHole(100000)}});
    all.push_back({"glyphs/1000", shapes::glyphs(1000)});
    all.push_back({"star/10000", {shapes::randomStar(10000)}});
    return all;
}

// DIR/NAME.txt (NAME with '/' as '-'): "polygon" opening each polygon,
// "contour" each contour, then one "x y" line (hex floats) per vertex.
bool writeShape(const std::string &dir, std::string name, const std::vector<Polygon> &polygons) {
    for (char &c : name)
        if (c == '/')
            c = '-';
    const std::string path = dir + "/" + name + ".txt";
    FILE *f = std::fopen(path.c_str(), "w");
    if (!f) {
        std::fprintf(stderr, "softglu_tess_bench: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    bool ok = true;
    for (const Polygon &p : polygons) {
        ok = ok && std::fprintf(f, "polygon\n") > 0;
        for (const shapes::Contour &c : p) {
            ok = ok && std::fprintf(f, "contour\n") > 0;
            for (const shapes::Point &q : c)
                ok = ok && std::fprintf(f, "%a %a\n", q.x, q.y) > 0;
        }
    }
    ok = std::fclose(f) == 0 && ok;
    if (!ok)
        std::fprintf(stderr, "softglu_tess_bench: writing %s failed\n", path.c_str());
    return ok;
}

}  // namespace

int main(int argc, char **argv) {
    counting::program = "softglu_tess_bench";
    std::string shapesDir;
    std::vector<char *> args;
    for (int i = 0; i < argc; ++i)
        if (std::strncmp(argv[i], "--shapes=", 9) == 0)
            shapesDir = argv[i] + 9;
        else
            args.push_back(argv[i]);
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());
    if (benchmark::ReportUnrecognizedArguments(n, args.data()))
        return 2;
    static std::deque<Input> inputs;  // alive while the benchmarks run
    for (auto &shape : allShapes()) {
        if (!shapesDir.empty() && !writeShape(shapesDir, shape.first, shape.second))
            return 1;
        inputs.push_back(inputOf(shape.second));
        Input &in = inputs.back();
        benchmark::RegisterBenchmark(("gluTess/" + shape.first).c_str(),
                                     [&in](benchmark::State &st) { timeTessellation(st, in); })
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
