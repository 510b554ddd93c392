/* SPDX-License-Identifier: MIT */
// The rings of a flat disk, written once for gluDisk (src/glu.cpp) and the
// compatibility layer's gluPartialDisk (src/compat/quadric.cpp): the radii
// and texture scale, the rings and each step of a ring.  A caller sends the
// one normal, (0, 0, 1), and gives the angle of every step; the rest of
// what goes to GL is the same for both, bit for bit.
//
// The sources that include this include src/exact.h first.  Everything here
// has internal linkage: it adds no symbol to the library or the archive.
#ifndef SOFTGLU_SRC_DISK_H
#define SOFTGLU_SRC_DISK_H

#include <GL/gl.h>

#include <math.h>
#include <stdint.h>

namespace {

// One step of a ring at angle a (radians; 0 on +y, growing towards +x): the
// outer vertex, then the inner, each after its texture coordinate.
inline void diskStep(double a, float r1, float r2, float dtc) {
    const float sa = static_cast<float>(sin(a));
    const float ca = static_cast<float>(cos(a));
    // Single products and division, double sum with 0.5.
    float x = sa * r2;
    float y = ca * r2;
    glTexCoord2f(static_cast<float>(static_cast<double>(x / dtc) + 0.5),
                 static_cast<float>(static_cast<double>(y / dtc) + 0.5));
    glVertex2f(x, y);
    x = sa * r1;
    y = ca * r1;
    glTexCoord2f(static_cast<float>(static_cast<double>(x / dtc) + 0.5),
                 static_cast<float>(static_cast<double>(y / dtc) + 0.5));
    glVertex2f(x, y);
}

// `loops` rings from innerRadius out to outerRadius, each one GL_QUAD_STRIP
// of slices + 1 steps; angle(s) is the angle of step s, a double.  The step
// counter is 64-bit, so a `slices` of INT_MAX ends instead of overflowing.
template <typename Angle>
void diskRings(GLdouble innerRadius, GLdouble outerRadius, GLint slices, GLint loops, Angle angle) {
    // loops goes through float on its way to double (inexact above 2^24).
    const double loopCount = static_cast<double>(static_cast<float>(loops));
    const float dr = static_cast<float>((outerRadius - innerRadius) / loopCount);
    // The texture scale, twice the outer radius.
    const float dtc = static_cast<float>(outerRadius + outerRadius);
    float r1 = static_cast<float>(innerRadius);

    for (int64_t l = 0; l < loops; ++l) {
        const float r2 = r1 + dr;  // rings accumulate in single precision
        glBegin(GL_QUAD_STRIP);
        for (int64_t s = 0; s <= slices; ++s)
            diskStep(angle(s), r1, r2, dtc);
        glEnd();
        r1 = r2;
    }
}

}  // namespace

#endif
