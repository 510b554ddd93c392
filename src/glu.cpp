// SPDX-License-Identifier: MIT
// softglu: gluPerspective, the quadric handle, gluCylinder, gluDisk,
// gluSphere and drawTorus for immediate-mode GL.
//
// The output of every function is its exact stream of GL calls, so the
// arithmetic below is written out one IEEE operation at a time.  Each
// quantity is held in the precision noted beside it; a double is narrowed to
// float only through an explicit static_cast (round to nearest, ties to
// even).
//
// Loop counters that run up to a count inclusive are 64-bit, so a count of
// INT_MAX ends after INT_MAX + 1 steps instead of overflowing.

#include "exact.h"  // first: the arithmetic guard (see there)

#include <math.h>
#include <stdint.h>

#pragma GCC visibility push(default)
#include <GL/glu.h>
#pragma GCC visibility pop

#include "disk.h"

namespace {

const double kPi = 3.141592653589793;     // 0x400921FB54442D18
const double kTwoPi = 6.283185307179586;  // 0x401921FB54442D18

}  // namespace

// Sends (x, y, z) scaled to unit length.  The squared length is summed in
// single precision on purpose, its root taken in double.  A vector no longer
// than 1e-5f (or with a NaN length) is sent exactly as it came.
static void normal3f(GLfloat x, GLfloat y, GLfloat z) {
    const float sum = x * x + y * y + z * z;  // float products and sums, in order
    const double mag = sqrt(static_cast<double>(sum));
    if (mag > static_cast<double>(0.00001f)) {
        x = static_cast<float>(static_cast<double>(x) / mag);
        y = static_cast<float>(static_cast<double>(y) / mag);
        z = static_cast<float>(static_cast<double>(z) / mag);
    }
    glNormal3f(x, y, z);
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    const double ymax = zNear * tan((fovy * kPi) / 360.0);
    const double ymin = -ymax;
    const double xmin = ymin * aspect;
    const double xmax = ymax * aspect;
    glFrustum(xmin, xmax, ymin, ymax, zNear, zFar);
}

GLUquadricObj *gluNewQuadric(void) { return nullptr; }

void gluQuadricDrawStyle(GLUquadricObj *, int) {}

void gluCylinder(GLUquadricObj *, GLdouble baseRadius, GLdouble topRadius,
                 GLdouble height, GLint slices, GLint stacks) {
    // Counts go to double directly.  Zero counts divide by zero under IEEE
    // rules; the results feed only values that are then never emitted.
    const float du = static_cast<float>(1.0 / static_cast<double>(slices));
    const float dv = static_cast<float>(1.0 / static_cast<double>(stacks));
    const double da = kTwoPi / static_cast<double>(slices);
    const double dr = (topRadius - baseRadius) / static_cast<double>(stacks);
    const double dz = height / static_cast<double>(stacks);
    const float nz = static_cast<float>((baseRadius - topRadius) / height);
    float tcx = 0.0f;

    for (int64_t i = 0; i < slices; ++i) {
        // The closing edge of the last wedge comes from slices * da like any
        // other, not snapped back to angle 0.
        const double a1 = static_cast<double>(i) * da;
        const double a2 = static_cast<double>(i + 1) * da;
        const float x1 = static_cast<float>(-sin(a1));
        const float y1 = static_cast<float>(cos(a1));
        const float x2 = static_cast<float>(-sin(a2));
        const float y2 = static_cast<float>(cos(a2));

        glBegin(GL_QUAD_STRIP);
        double r = baseRadius;
        float z = 0.0f;
        float tcy = 0.0f;
        for (int64_t j = 0; j <= stacks; ++j) {
            normal3f(x1, y1, nz);
            glTexCoord2f(tcx, tcy);
            glVertex3f(static_cast<float>(static_cast<double>(x1) * r),
                       static_cast<float>(static_cast<double>(y1) * r), z);
            normal3f(x2, y2, nz);
            glTexCoord2f(tcx + du, tcy);
            glVertex3f(static_cast<float>(static_cast<double>(x2) * r),
                       static_cast<float>(static_cast<double>(y2) * r), z);
            // Accumulated, not recomputed from j: z and tcy in single
            // precision on purpose, r in double.
            z = static_cast<float>(static_cast<double>(z) + dz);
            r = r + dr;
            tcy = tcy + dv;
        }
        glEnd();
        tcx = tcx + du;
    }
}

void gluDisk(GLUquadricObj *, GLdouble innerRadius, GLdouble outerRadius,
             GLint slices, GLint loops) {
    glNormal3f(0.0f, 0.0f, 1.0f);  // the one normal every vertex inherits
    const double da = kTwoPi / static_cast<double>(slices);
    // The last step uses angle 0 exactly, closing the ring on the same bits
    // as the first.
    diskRings(innerRadius, outerRadius, slices, loops, [da, slices](int64_t s) {
        return (s == slices) ? 0.0 : static_cast<double>(s) * da;
    });
}

namespace {

struct SpherePoint {
    float x, y, z;
};

}  // namespace

// The unit vector at polar angle rho (0 at +z) and azimuth theta (0 on +y,
// growing towards -x).  sin and cos are taken in double and evaluated afresh
// for every vertex; the products are double, rounded once to float.
static SpherePoint spherePoint(float rho, float theta) {
    const double r = static_cast<double>(rho);
    const double t = static_cast<double>(theta);
    return {static_cast<float>(-sin(t) * sin(r)),
            static_cast<float>(cos(t) * sin(r)),
            static_cast<float>(cos(r))};
}

static void sphereVertex(SpherePoint p, float radius) {
    glVertex3f(p.x * radius, p.y * radius, p.z * radius);  // float products
}

// Azimuth of column j: exactly 0 for the closing column, so it repeats
// column 0 bit for bit.
static float sphereAzimuth(int64_t j, int slices, float dtheta) {
    return (j == slices) ? 0.0f : static_cast<float>(j) * dtheta;
}

void gluSphere(GLUquadricObj *, float radius, int slices, int stacks) {
    // Angles, steps and texture coordinates are single precision on purpose.
    // The angle steps divide by the counts taken through float; the texture
    // steps by the counts taken to double directly.
    const float drho = static_cast<float>(
        kPi / static_cast<double>(static_cast<float>(stacks)));
    const float dtheta = static_cast<float>(
        kTwoPi / static_cast<double>(static_cast<float>(slices)));
    const float ds = static_cast<float>(1.0 / static_cast<double>(slices));
    const float dt = static_cast<float>(1.0 / static_cast<double>(stacks));

    // Top fan.  Its ring sends no texture coordinate: every ring vertex
    // carries the pole's (0.5, 0).
    glBegin(GL_TRIANGLE_FAN);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord2f(0.5f, 0.0f);
    glVertex3f(0.0f, 0.0f, radius);
    for (int64_t j = 0; j <= slices; ++j) {
        const SpherePoint p = spherePoint(drho, sphereAzimuth(j, slices, dtheta));
        glNormal3f(p.x, p.y, p.z);
        sphereVertex(p, radius);
    }
    glEnd();

    // Bands from +z down to -z.  t falls and s rises by repeated single
    // subtraction and addition, not recomputed from the indices.
    float t = 1.0f;
    for (int64_t i = 0; i < stacks; ++i) {
        const float rho = static_cast<float>(i) * drho;
        glBegin(GL_QUAD_STRIP);
        float s = 0.0f;
        for (int64_t j = 0; j <= slices; ++j) {
            const float theta = sphereAzimuth(j, slices, dtheta);
            SpherePoint p = spherePoint(rho, theta);
            glNormal3f(p.x, p.y, p.z);
            glTexCoord2f(s, 1.0f - t);
            sphereVertex(p, radius);
            p = spherePoint(rho + drho, theta);
            glNormal3f(p.x, p.y, p.z);
            glTexCoord2f(s, 1.0f - (t - dt));
            sphereVertex(p, radius);
            s = s + ds;
        }
        glEnd();
        t = t - dt;
    }

    // Bottom fan, walking the ring backwards so that it faces outward too.
    glBegin(GL_TRIANGLE_FAN);
    float s = 1.0f;
    glNormal3f(0.0f, 0.0f, -1.0f);
    glTexCoord2f(0.5f, 1.0f);
    glVertex3f(0.0f, 0.0f, -radius);
    const float rho = static_cast<float>(kPi - static_cast<double>(drho));
    for (int64_t j = slices; j >= 0; --j) {
        const SpherePoint p = spherePoint(rho, sphereAzimuth(j, slices, dtheta));
        glNormal3f(p.x, p.y, p.z);
        glTexCoord2f(s, 1.0f - dt);
        sphereVertex(p, radius);
        s = s - ds;
    }
    glEnd();
}

// Sends the normal and the vertex of the torus at ring angle u and tube
// angle v.  Everything is double until the GL call; sin and cos are
// evaluated afresh at every use.
static void torusVertex(double rc, double rt, double u, double v) {
    glNormal3f(static_cast<float>(cos(v) * cos(u)),
               static_cast<float>(cos(v) * sin(u)),
               static_cast<float>(sin(v)));
    glVertex3f(static_cast<float>((rt + rc * cos(v)) * cos(u)),
               static_cast<float>((rt + rc * cos(v)) * sin(u)),
               static_cast<float>(rc * sin(v)));
}

void drawTorus(float rc, int numc, float rt, int numt) {
    // A zero numt would take a remainder by zero: draw nothing at all.
    if (numt == 0)
        return;
    const double rcd = static_cast<double>(rc);
    const double rtd = static_cast<double>(rt);
    for (int64_t i = 0; i < numc; ++i) {
        glBegin(GL_QUAD_STRIP);
        for (int64_t j = 0; j <= numt; ++j) {
            // The remainder makes j == numt land on angle 0 exactly.
            const double u = static_cast<double>(j % numt) * kTwoPi / static_cast<double>(numt);
            for (int k = 1; k >= 0; --k) {
                // Tube sides sit half a step off angle 0; i + 1 == numc
                // wraps to side 0.
                const double s = static_cast<double>((i + k) % numc) + 0.5;
                const double v = s * kTwoPi / static_cast<double>(numc);
                torusVertex(rcd, rtd, u, v);
            }
        }
        glEnd();
    }
}
