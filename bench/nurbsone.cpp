// SPDX-License-Identifier: MIT
// nurbsone HOLES [TIMES]: the benchmark's surface (bench/trimmed.h) with 0,
// 1 or 10 holes, drawn TIMES times (1 unless given) in tessellator mode,
// and prints how many vertices the callback received.  Run under qemu-arm
// by bench/nurbs-count.sh (which takes the difference of 1 and 2 times).
#include "trimmed.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    const long holes = argc == 2 || argc == 3 ? std::strtol(argv[1], nullptr, 10) : -1;
    const long times = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 1;
    if ((holes != 0 && holes != 1 && holes != 10) || times < 1 || times > 1000) {
        std::fprintf(stderr, "usage: %s 0|1|10 [TIMES] (the holes; 1 to 1000 times)\n", argv[0]);
        return 2;
    }
    trimmed::Surface s = trimmed::bumpy(static_cast<int>(holes));
    GLUnurbs *n = trimmed::newRenderer();
    for (long k = 0; k < times; ++k)
        trimmed::draw(n, s);
    gluDeleteNurbsRenderer(n);
    std::printf("vertices %llu\n", static_cast<unsigned long long>(trimmed::received()));
    return 0;
}
