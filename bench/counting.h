/* SPDX-License-Identifier: MIT */
// The tessellator as the benchmarks drive it (bench/tess.cpp,
// bench/realshapes.cpp): callbacks that count the vertices sent and keep
// the vertices COMBINE makes, and polygons as gluTessVertex takes them.
#ifndef SOFTGLU_BENCH_COUNTING_H
#define SOFTGLU_BENCH_COUNTING_H

#include "shapes.h"

#include <GL/glu.h>

#include <array>
#include <cstdio>
#include <deque>
#include <vector>

namespace counting {

// Vertices the callbacks saw; crossings' vertices, kept until cleared.
inline unsigned long long emitted = 0;
inline std::deque<std::array<double, 3>> made;
// The program's name, which an error's message starts with.
inline const char *program = "softglu bench";

inline void CALLBACK_vertex(void *) { ++emitted; }
inline void CALLBACK_combine(GLdouble xyz[3], void *[4], GLfloat[4], void **out) {
    made.push_back({xyz[0], xyz[1], xyz[2]});
    *out = made.back().data();
}
inline void CALLBACK_error(GLenum code) { std::fprintf(stderr, "%s: tessellator error %u\n", program, code); }

// The callbacks above, and the normal +z.
inline void setUp(GLUtesselator *t) {
    gluTessCallback(t, GLU_TESS_VERTEX, reinterpret_cast<_GLUfuncptr>(CALLBACK_vertex));
    gluTessCallback(t, GLU_TESS_COMBINE, reinterpret_cast<_GLUfuncptr>(CALLBACK_combine));
    gluTessCallback(t, GLU_TESS_ERROR, reinterpret_cast<_GLUfuncptr>(CALLBACK_error));
    gluTessNormal(t, 0.0, 0.0, 1.0);
}

// Contours as gluTessVertex takes them, z 0.
using Contours = std::vector<std::vector<std::array<double, 3>>>;

inline void append(Contours &to, const shapes::Polygon &p) {
    for (const shapes::Contour &c : p) {
        to.emplace_back();
        for (const shapes::Point &q : c)
            to.back().push_back({q.x, q.y, 0.0});
    }
}

// The contours as one polygon.
inline void send(GLUtesselator *t, Contours &contours) {
    gluTessBeginPolygon(t, nullptr);
    for (auto &c : contours) {
        gluTessBeginContour(t);
        for (auto &v : c)
            gluTessVertex(t, v.data(), v.data());
        gluTessEndContour(t);
    }
    gluTessEndPolygon(t);
}

}  // namespace counting

#endif
