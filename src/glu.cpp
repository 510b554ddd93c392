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

#include "disk.h"     // and quadric.h: the quadrics' tessellators
#include "frustum.h"  // gluPerspective's frustum

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    perspectiveFrustum(fovy, aspect, zNear, zFar);
}

GLUquadricObj *gluNewQuadric(void) { return nullptr; }

void gluQuadricDrawStyle(GLUquadricObj *, int) {}

// The quadrics as libsoftglu draws them: src/quadric.h and src/disk.h
// hold the tessellators, and LibraryLook fixes their one look (filled,
// smooth normals, outside in front, softglu's own texture coordinates).

void gluCylinder(GLUquadricObj *, GLdouble baseRadius, GLdouble topRadius,
                 GLdouble height, GLint slices, GLint stacks) {
    cylinder(LibraryLook(), baseRadius, topRadius, height, slices, stacks);
}

void gluDisk(GLUquadricObj *, GLdouble innerRadius, GLdouble outerRadius,
             GLint slices, GLint loops) {
    disk(LibraryLook(), innerRadius, outerRadius, slices, loops, false, fullTurn(slices));
}

void gluSphere(GLUquadricObj *, float radius, int slices, int stacks) {
    sphere(LibraryLook(), radius, slices, stacks);
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
