// SPDX-License-Identifier: MIT
// Google Benchmark of the NURBS calls: a bicubic surface of 16 x 16 patches
// (19 x 19 control points, uniform knots) from gluBeginSurface to
// gluEndSurface at the default sampling (GLU_PATH_LENGTH, tolerance 50
// pixels), seen whole on a 640 x 480 viewport, with GL_AUTO_NORMAL's
// normals; and the same surface with a round hole of 64 sides trimmed out
// of it.  The sampling matrices are loaded once, as a program that turns
// GLU_AUTO_LOAD_MATRIX off does.  items_per_second counts vertices sent.
// Then the trimmed surfaces of bench/trimmed.h in tessellator mode on a
// 64 x 64 grid: plain, one hole, ten holes.
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include "nullgl.h"
#include "trimmed.h"

namespace {

// Model identity; x and y in [-10, 10] across the viewport.
const float kModel[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
const float kProjection[16] = {0.1f, 0, 0, 0, 0, 0.1f, 0, 0, 0, 0, -0.1f, 0, 0, 0, 0, 1};
const GLint kViewport[4] = {0, 0, 640, 480};

void draw(benchmark::State &state, int holes) {
    trimmed::Surface s = trimmed::bumpy(holes);
    GLUnurbs *n = gluNewNurbsRenderer();
    gluNurbsProperty(n, GLU_AUTO_LOAD_MATRIX, GL_FALSE);
    gluLoadSamplingMatrices(n, kModel, kProjection, kViewport);
    const std::uint64_t before = nullgl::vertices;
    for (auto _ : state)
        trimmed::draw(n, s);
    const std::uint64_t sent = nullgl::vertices - before;
    state.SetItemsProcessed(static_cast<std::int64_t>(sent));
    state.counters["vertices"] = static_cast<double>(sent) / static_cast<double>(state.iterations());
    gluDeleteNurbsRenderer(n);
}

void BM_NurbsSurface16x16(benchmark::State &state) { draw(state, 0); }
void BM_NurbsSurface16x16Trimmed(benchmark::State &state) { draw(state, 1); }

BENCHMARK(BM_NurbsSurface16x16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NurbsSurface16x16Trimmed)->Unit(benchmark::kMicrosecond);

// Tessellator mode, 64 x 64 grid, state.range(0) holes (bench/trimmed.h).
void BM_NurbsGrid64(benchmark::State &state) {
    trimmed::Surface s = trimmed::bumpy(static_cast<int>(state.range(0)));
    GLUnurbs *n = trimmed::newRenderer();
    const std::uint64_t before = trimmed::received();
    for (auto _ : state)
        trimmed::draw(n, s);
    const std::uint64_t sent = trimmed::received() - before;
    state.SetItemsProcessed(static_cast<std::int64_t>(sent));
    state.counters["vertices"] = static_cast<double>(sent) / static_cast<double>(state.iterations());
    gluDeleteNurbsRenderer(n);
}

BENCHMARK(BM_NurbsGrid64)->ArgName("holes")->Arg(0)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
