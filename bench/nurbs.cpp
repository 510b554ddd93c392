// SPDX-License-Identifier: MIT
// Google Benchmark of the NURBS calls: a bicubic surface of 16 x 16 patches
// (19 x 19 control points, uniform knots) from gluBeginSurface to
// gluEndSurface at the default sampling (GLU_PATH_LENGTH, tolerance 50
// pixels), seen whole on a 640 x 480 viewport, with GL_AUTO_NORMAL's
// normals; and the same surface with a round hole of 64 sides trimmed out
// of it.  The sampling matrices are loaded once, as a program that turns
// GLU_AUTO_LOAD_MATRIX off does.  items_per_second counts vertices sent.
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include "nullgl.h"

#include <cmath>
#include <vector>

namespace {

const int kPoints = 19;  // 16 patches of order 4

struct Surface {
    std::vector<float> knots, points, outer, hole;
};

Surface bumpySurface() {
    Surface s;
    for (int k = 0; k < kPoints + 4; ++k)
        s.knots.push_back(static_cast<float>(k < 4 ? 0 : k > kPoints ? kPoints - 3 : k - 3));
    for (int i = 0; i < kPoints; ++i)
        for (int j = 0; j < kPoints; ++j)
            s.points.insert(s.points.end(), {static_cast<float>(i) - 9.0f, static_cast<float>(j) - 9.0f,
                                             static_cast<float>((i * 7 + j * 3) % 5) * 0.5f - 1.0f});
    s.outer = {0, 0, 16, 0, 16, 16, 0, 16, 0, 0};
    for (int k = 0; k <= 64; ++k) {
        const double a = -2 * M_PI * (k % 64) / 64;  // clockwise
        s.hole.push_back(static_cast<float>(8 + 5 * std::cos(a)));
        s.hole.push_back(static_cast<float>(8 + 5 * std::sin(a)));
    }
    return s;
}

// Model identity; x and y in [-10, 10] across the viewport.
const float kModel[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
const float kProjection[16] = {0.1f, 0, 0, 0, 0, 0.1f, 0, 0, 0, 0, -0.1f, 0, 0, 0, 0, 1};
const GLint kViewport[4] = {0, 0, 640, 480};

void draw(benchmark::State &state, bool trimmed) {
    Surface s = bumpySurface();
    GLUnurbs *n = gluNewNurbsRenderer();
    gluNurbsProperty(n, GLU_AUTO_LOAD_MATRIX, GL_FALSE);
    gluLoadSamplingMatrices(n, kModel, kProjection, kViewport);
    const std::uint64_t before = nullgl::vertices;
    for (auto _ : state) {
        gluBeginSurface(n);
        gluNurbsSurface(n, kPoints + 4, s.knots.data(), kPoints + 4, s.knots.data(), kPoints * 3, 3,
                        s.points.data(), 4, 4, GL_MAP2_VERTEX_3);
        if (trimmed) {
            gluBeginTrim(n);
            gluPwlCurve(n, 5, s.outer.data(), 2, GLU_MAP1_TRIM_2);
            gluEndTrim(n);
            gluBeginTrim(n);
            gluPwlCurve(n, 65, s.hole.data(), 2, GLU_MAP1_TRIM_2);
            gluEndTrim(n);
        }
        gluEndSurface(n);
    }
    const std::uint64_t sent = nullgl::vertices - before;
    state.SetItemsProcessed(static_cast<std::int64_t>(sent));
    state.counters["vertices"] = static_cast<double>(sent) / static_cast<double>(state.iterations());
    gluDeleteNurbsRenderer(n);
}

void BM_NurbsSurface16x16(benchmark::State &state) { draw(state, false); }
void BM_NurbsSurface16x16Trimmed(benchmark::State &state) { draw(state, true); }

BENCHMARK(BM_NurbsSurface16x16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NurbsSurface16x16Trimmed)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
