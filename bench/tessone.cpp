// SPDX-License-Identifier: MIT
// tessone N: one polygon through the tessellator, the wavy ring of N
// vertices (shapes.h), and prints how many vertices its callback received.
// Run under callgrind by bench/callgrind.sh.
#include "shapes.h"

#include <GL/glu.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

static unsigned long long received = 0;
static void CALLBACK_vertex(void *) { ++received; }

int main(int argc, char **argv) {
    const long n = argc == 2 ? std::strtol(argv[1], nullptr, 10) : 0;
    if (n < 3 || n > 100000000) {
        std::fprintf(stderr, "usage: %s N (a ring of N >= 3 vertices)\n", argv[0]);
        return 2;
    }
    const shapes::Polygon ring = shapes::wavyRing(static_cast<int>(n));
    std::vector<std::array<double, 3>> in;
    for (const shapes::Point &p : ring[0])
        in.push_back({p.x, p.y, 0.0});
    GLUtesselator *t = gluNewTess();
    gluTessCallback(t, GLU_TESS_VERTEX, reinterpret_cast<_GLUfuncptr>(CALLBACK_vertex));
    gluTessNormal(t, 0.0, 0.0, 1.0);
    gluTessBeginPolygon(t, nullptr);
    gluTessBeginContour(t);
    for (auto &v : in)
        gluTessVertex(t, v.data(), v.data());
    gluTessEndContour(t);
    gluTessEndPolygon(t);
    gluDeleteTess(t);
    std::printf("vertices %llu\n", received);
    return 0;
}
