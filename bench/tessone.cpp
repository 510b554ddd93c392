// SPDX-License-Identifier: MIT
// tessone N [TIMES]: one polygon through the tessellator, the wavy ring of
// N vertices (shapes.h), in a new tessellator each time (TIMES, 1 unless
// given), and prints how many vertices its callback received.  Run under
// callgrind by bench/callgrind.sh, and under qemu-arm by
// bench/armel-count.sh (which takes the difference of 1 and 2 times).
#include "shapes.h"

#include <GL/glu.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

static unsigned long long received = 0;
static void CALLBACK_vertex(void *) { ++received; }

int main(int argc, char **argv) {
    const long n = argc == 2 || argc == 3 ? std::strtol(argv[1], nullptr, 10) : 0;
    const long times = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 1;
    if (n < 3 || n > 100000000 || times < 1 || times > 1000) {
        std::fprintf(stderr, "usage: %s N [TIMES] (a ring of N >= 3 vertices, 1 to 1000 times)\n", argv[0]);
        return 2;
    }
    const shapes::Polygon ring = shapes::wavyRing(static_cast<int>(n));
    std::vector<std::array<double, 3>> in;
    for (const shapes::Point &p : ring[0])
        in.push_back({p.x, p.y, 0.0});
    for (long k = 0; k < times; ++k) {
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
    }
    std::printf("vertices %llu\n", received);
    return 0;
}
