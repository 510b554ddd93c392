/* SPDX-License-Identifier: MIT */
// The trimmed surfaces of the NURBS benchmarks (bench/nurbs.cpp) and of
// their one-surface driver (bench/nurbsone.cpp): a bicubic surface of
// 16 x 16 patches (19 x 19 control points, uniform knots, heights in
// [-1, 1]) over the domain [0, 16] x [0, 16], drawn in tessellator mode at
// GLU_DOMAIN_DISTANCE 4 steps a unit (a 64 x 64 grid), plain, with one
// round hole of 64 sides, or with ten holes of 32 sides; every trimmed
// surface has an outer loop along the domain's edge.
#ifndef SOFTGLU_BENCH_TRIMMED_H
#define SOFTGLU_BENCH_TRIMMED_H

#include <GL/glu.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace trimmed {

const int kPoints = 19;  // 16 patches of order 4

struct Surface {
    std::vector<float> knots, points, outer;
    std::vector<std::vector<float>> holes;
};

// A clockwise round hole of `sides` sides about (u, v).
inline std::vector<float> hole(double u, double v, double r, int sides) {
    std::vector<float> h;
    for (int k = 0; k <= sides; ++k) {
        const double a = -2 * M_PI * (k % sides) / sides;
        h.push_back(static_cast<float>(u + r * std::cos(a)));
        h.push_back(static_cast<float>(v + r * std::sin(a)));
    }
    return h;
}

// holes: 0 (no trim at all), 1 (radius 5 about the centre, 64 sides) or
// 10 (radius 1.2, 32 sides, two rows of five).
inline Surface bumpy(int holes) {
    Surface s;
    for (int k = 0; k < kPoints + 4; ++k)
        s.knots.push_back(static_cast<float>(k < 4 ? 0 : k > kPoints ? kPoints - 3 : k - 3));
    for (int i = 0; i < kPoints; ++i)
        for (int j = 0; j < kPoints; ++j)
            s.points.insert(s.points.end(), {static_cast<float>(i) - 9.0f, static_cast<float>(j) - 9.0f,
                                             static_cast<float>((i * 7 + j * 3) % 5) * 0.5f - 1.0f});
    if (holes > 0)
        s.outer = {0, 0, 16, 0, 16, 16, 0, 16, 0, 0};
    if (holes == 1)
        s.holes.push_back(hole(8, 8, 5, 64));
    for (int k = 0; holes == 10 && k < 10; ++k)
        s.holes.push_back(hole(2.4 + 2.8 * (k % 5), 4.0 + 8.0 * (k / 5), 1.2, 32));
    return s;
}

// The vertices the callbacks received (tessellator mode).
inline std::uint64_t &received() {
    static std::uint64_t count = 0;
    return count;
}
inline void CALLBACK_vertex(GLfloat *) { ++received(); }

// A renderer in tessellator mode at 4 domain steps a unit.
inline GLUnurbs *newRenderer() {
    GLUnurbs *n = gluNewNurbsRenderer();
    gluNurbsProperty(n, GLU_NURBS_MODE, GLU_NURBS_TESSELLATOR);
    gluNurbsProperty(n, GLU_SAMPLING_METHOD, GLU_DOMAIN_DISTANCE);
    gluNurbsProperty(n, GLU_U_STEP, 4.0f);
    gluNurbsProperty(n, GLU_V_STEP, 4.0f);
    gluNurbsCallback(n, GLU_NURBS_VERTEX, reinterpret_cast<_GLUfuncptr>(CALLBACK_vertex));
    return n;
}

inline void draw(GLUnurbs *n, Surface &s) {
    gluBeginSurface(n);
    gluNurbsSurface(n, kPoints + 4, s.knots.data(), kPoints + 4, s.knots.data(), kPoints * 3, 3, s.points.data(), 4,
                    4, GL_MAP2_VERTEX_3);
    if (!s.outer.empty()) {
        gluBeginTrim(n);
        gluPwlCurve(n, 5, s.outer.data(), 2, GLU_MAP1_TRIM_2);
        gluEndTrim(n);
    }
    for (std::vector<float> &h : s.holes) {
        gluBeginTrim(n);
        gluPwlCurve(n, static_cast<GLint>(h.size() / 2), h.data(), 2, GLU_MAP1_TRIM_2);
        gluEndTrim(n);
    }
    gluEndSurface(n);
}

}  // namespace trimmed

#endif
