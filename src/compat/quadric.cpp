// SPDX-License-Identifier: MIT
// The quadric handle and settings legacy programs make, which change
// nothing, and gluPartialDisk.

#include "../exact.h"  // first: the arithmetic guard

#include <GL/glu_compat.h>

#include "../disk.h"

#include <stdint.h>

namespace {

// The one handle gluNewQuadric hands out under the switch: programs check
// it against NULL, softglu never looks inside.
GLUquadricObj theQuadric = {GLU_FILL};

}  // namespace

GLUquadricObj *gluNewQuadric(void) { return &theQuadric; }

void gluDeleteQuadric(GLUquadricObj *) {}

void gluQuadricNormals(GLUquadricObj *, GLenum) {}

void gluQuadricTexture(GLUquadricObj *, GLboolean) {}

void gluQuadricOrientation(GLUquadricObj *, GLenum) {}

void gluQuadricCallback(GLUquadricObj *, GLenum, _GLUfuncptr) {}

namespace {

// Degrees as a fraction of a turn times 2 pi, in double: whole, half and
// quarter turns give exactly 2 pi, pi and pi / 2, so a full turn steps
// exactly as gluDisk does.
double radians(double degrees) { return (degrees / 360.0) * kTwoPi; }

}  // namespace

void gluPartialDisk(GLUquadricObj *, GLdouble innerRadius, GLdouble outerRadius, GLint slices,
                    GLint loops, GLdouble startAngle, GLdouble sweepAngle) {
    // More than a turn either way draws one turn; NaN passes through.
    double sweep = sweepAngle;
    if (sweep > 360.0)
        sweep = 360.0;
    else if (sweep < -360.0)
        sweep = -360.0;
    // Steps go in increasing angle, so that the outer-first strips face +z:
    // a negative sweep is walked from its far end up to startAngle.
    double from = startAngle, to = startAngle + sweep;
    if (sweep < 0.0) {
        from = to;
        to = startAngle;
        sweep = -sweep;
    }
    const double a0 = radians(from);
    // A full turn ends on the bits of its first step.
    const double a1 = (sweep == 360.0) ? a0 : radians(to);
    const double da = radians(sweep) / static_cast<double>(slices);

    // The rings as gluDisk draws them.  The first step lies exactly on the
    // lower angle, the last exactly on the upper one; those between at
    // a0 + s * da, each from s, not accumulated.
    disk(LibraryLook(), innerRadius, outerRadius, slices, loops, false, [a0, a1, da, slices](int64_t s) {
        return (s == slices) ? a1 : (s == 0) ? a0 : a0 + static_cast<double>(s) * da;
    });
}
