// SPDX-License-Identifier: MIT
// callone FUNCTION [A B]: makes one call of FUNCTION (gluCylinder, gluDisk,
// gluSphere, drawTorus at size A x B, 32 x 32 by default; gluPerspective,
// gluNewQuadric or gluQuadricDrawStyle) into GL entry points that do nothing,
// and prints how many vertices it emitted.  Run under callgrind by
// bench/callgrind.sh.
#include "calls.h"
#include "nullgl.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// A count from the command line, or false if `text` is not a whole int.
static bool parseCount(const char *text, int *out) {
    char *end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < INT_MIN || v > INT_MAX)
        return false;
    *out = static_cast<int>(v);
    return true;
}

int main(int argc, char **argv) {
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: %s FUNCTION [A B]\n", argv[0]);
        return 2;
    }
    const char *fn = argv[1];
    int a = 32, b = 32;
    if (argc == 4 && !(parseCount(argv[2], &a) && parseCount(argv[3], &b))) {
        std::fprintf(stderr, "%s: counts must be integers, got '%s' '%s'\n", argv[0], argv[2], argv[3]);
        return 2;
    }
    if (std::strcmp(fn, "gluCylinder") == 0)
        calls::cylinder(a, b);
    else if (std::strcmp(fn, "gluDisk") == 0)
        calls::disk(a, b);
    else if (std::strcmp(fn, "gluSphere") == 0)
        calls::sphere(a, b);
    else if (std::strcmp(fn, "drawTorus") == 0)
        calls::torus(a, b);
    else if (std::strcmp(fn, "gluPerspective") == 0)
        calls::perspective();
    else if (std::strcmp(fn, "gluNewQuadric") == 0)
        std::printf("handle %p\n", static_cast<void *>(gluNewQuadric()));
    else if (std::strcmp(fn, "gluQuadricDrawStyle") == 0)
        gluQuadricDrawStyle(nullptr, GLU_FILL);
    else {
        std::fprintf(stderr, "%s: unknown function '%s'\n", argv[0], fn);
        return 2;
    }
    std::printf("vertices %llu\n", static_cast<unsigned long long>(nullgl::vertices));
    return 0;
}
