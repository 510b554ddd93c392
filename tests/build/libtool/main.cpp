// SPDX-License-Identifier: MIT
#include "tessarea.h"
#include <GL/glu.h>
#include <cstdio>

int main() {
    // A projection, as before drawing; with no GL context, GL ignores it.
    gluPerspective(45, 1, 1, 10);
    double area = 0;
    int triangles = tessarea_square_with_hole(&area);
    std::printf("%d triangles, area %g, GLU %s\n", triangles, area,
                reinterpret_cast<const char *>(gluGetString(GLU_VERSION)));
    return triangles > 0 ? 0 : 1;
}
