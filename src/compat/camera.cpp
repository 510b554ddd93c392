// SPDX-License-Identifier: MIT
// gluLookAt, gluOrtho2D and gluPerspective: the classic camera helpers.

#include "../exact.h"  // first: the arithmetic guard

#include <GL/glu_compat.h>

#include "../quadric.h"  // kPi

#include <math.h>

#include "traced.h"

// libsoftglu's own gluPerspective (GL/glu.h names this layer's under the
// switch): the glFrustum it sends is the library's, bit for bit.  The
// archive calls libsoftglu.so.1's, so a program under the switch records
// it; the classic libGLU.so.1 (SOFTGLU_CLASSIC), which needs nothing of
// libsoftglu.so.1 and exports a gluPerspective of its own, sends the same
// frustum from the same code.
#ifdef SOFTGLU_CLASSIC
#include "../frustum.h"
#define libraryPerspective perspectiveFrustum
#else
extern "C" void libraryPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
    __asm__("gluPerspective");
#endif

namespace {

// Everything here is double, each operation rounded on its own.  Only
// + - * / and sqrt are used, which IEEE rounds correctly everywhere: the
// matrix has the same bits on every machine.
struct Vec {
    double x, y, z;
};

Vec cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

bool isZero(Vec v) { return v.x == 0.0 && v.y == 0.0 && v.z == 0.0; }

double larger(double a, double b) { return a > b ? a : b; }

// v at unit length, for v not zero.  Dividing by the largest magnitude
// first keeps the squares from overflowing or underflowing for any finite
// v; infinities and NaNs give NaNs.
Vec unit(Vec v) {
    const double big = larger(fabs(v.x), larger(fabs(v.y), fabs(v.z)));
    v = {v.x / big, v.y / big, v.z / big};
    const double length = sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / length, v.y / length, v.z / length};
}

// The coordinate axis most nearly perpendicular to the unit vector f: the
// one of its smallest component (x, then y, then z on ties).
Vec leastAligned(Vec f) {
    const double x = fabs(f.x), y = fabs(f.y), z = fabs(f.z);
    if (x <= y && x <= z)
        return {1.0, 0.0, 0.0};
    if (y <= z)
        return {0.0, 1.0, 0.0};
    return {0.0, 0.0, 1.0};
}

// Multiplies in the perspective matrix of a field of view whose half-angle
// has tangent t (libsoftglu's: tan((fovy * pi) / 360)), or sends nothing
// where that matrix is not finite or has no f.  In double precision, each
// operation rounded on its own, in this order.
void multiplyPerspective(double t, double aspect, double zNear, double zFar) {
    const double f = 1.0 / t;  // cot(fovy / 2)
    const double sx = f / aspect;
    const double depth = zNear - zFar;
    const double sz = (zFar + zNear) / depth;
    const double tz = ((2.0 * zFar) * zNear) / depth;
    // f is 0 only for an infinite tangent, and NaN for a NaN one; an
    // infinite or NaN entry comes of aspect 0, zNear == zFar, a zero
    // tangent or a non-finite argument.
    if (f == 0.0 || !isfinite(f) || !isfinite(sx) || !isfinite(sz) || !isfinite(tz))
        return;
    const GLdouble m[16] = {sx, 0.0, 0.0, 0.0, 0.0, f, 0.0, 0.0, 0.0, 0.0, sz, -1.0, 0.0, 0.0, tz, 0.0};
    glMultMatrixd(m);
}

}  // namespace

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    SOFTGLU_TRACED(gluPerspective, fovy, aspect, zNear, zFar);
    // libsoftglu's frustum, the same operations: its top is y, its right x.
    const double t = tan((fovy * kPi) / 360.0);
    const double y = zNear * t;
    const double x = y * aspect;
    // What glFrustum refuses (GL_INVALID_VALUE), as IEEE comparisons, so a
    // NaN is refused by none: bottom == top is -y == y, and left == right
    // is (-y) * aspect == y * aspect, -x == x, each only when it is zero.
    const bool refused = zNear <= 0.0 || zFar <= 0.0 || zNear == zFar || y == 0.0 || x == 0.0;
    if (refused)
        multiplyPerspective(t, aspect, zNear, zFar);
    else
        libraryPerspective(fovy, aspect, zNear, zFar);
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    SOFTGLU_TRACED(gluLookAt, eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ);
    // The eye on the centre gives no direction: look down -z, as GL's
    // default camera does.
    Vec f = {centerX - eyeX, centerY - eyeY, centerZ - eyeZ};
    f = isZero(f) ? Vec{0.0, 0.0, -1.0} : unit(f);
    // An up vector along f (or zero) gives no roll: take the axis most
    // nearly perpendicular to f as up.  f x that axis is never zero.
    Vec s = cross(f, Vec{upX, upY, upZ});
    if (isZero(s))
        s = cross(f, leastAligned(f));
    s = unit(s);
    const Vec u = cross(s, f);

    // Rows s, u, -f: column-major for GL.
    const GLdouble m[16] = {s.x, u.x, -f.x, 0.0, s.y, u.y, -f.y, 0.0,
                            s.z, u.z, -f.z, 0.0, 0.0, 0.0, 0.0, 1.0};
    glMultMatrixd(m);
    glTranslated(-eyeX, -eyeY, -eyeZ);
}

void gluOrtho2D(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top) {
    SOFTGLU_TRACED(gluOrtho2D, left, right, bottom, top);
    glOrtho(left, right, bottom, top, -1.0, 1.0);
}
