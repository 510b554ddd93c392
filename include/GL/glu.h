/* SPDX-License-Identifier: MIT */
/*
 * softglu: the GL utility calls that immediate-mode programs lean on.
 *
 * Every function computes its geometry on the spot and sends it to the GL
 * context current on the calling thread through glBegin/glNormal3f/
 * glTexCoord2f/glVertex3f/glVertex2f/glEnd (or one glFrustum).  Nothing is
 * allocated, stored or validated; the exact call stream, argument bits
 * included, is the library's output and is the same on every platform whose
 * math library returns the same sin/cos/tan/sqrt.
 *
 * Surfaces are drawn filled, as GL_QUAD_STRIP and GL_TRIANGLE_FAN primitives,
 * with the outside as the front face under GL's default counterclockwise
 * winding.  Call them outside any glBegin/glEnd pair of your own.
 *
 * Built into another project, softglu's sources keep their bits whatever
 * the flags but one: with clang, never -ffp-contract=fast, under which clang
 * ignores their contraction pragma (src/exact.h) and fuses multiply-adds
 * (GCC honours its own); nothing at compile time shows that flag, so the
 * sources cannot refuse it.  docs/bit-exact.md lists every condition.
 *
 * Link with -lsoftglu (pkg-config softglu, or CMake softglu::softglu).
 * gluSphere's radius and drawTorus's radii are float here, where classic
 * headers for these calls use double: recompile against this header.
 */
#ifndef SOFTGLU_GL_GLU_H
#define SOFTGLU_GL_GLU_H

/* softglu's version, major.minor.patch (tests/build/check_version.sh holds them to
 * the project's).  The major version is the soname's, libsoftglu.so.1: it
 * changes only when an existing function's signature, types or GL stream
 * change.  A new function raises the minor version; a fix that sends the
 * same stream, the patch. */
#define SOFTGLU_VERSION_MAJOR 1
#define SOFTGLU_VERSION_MINOR 0
#define SOFTGLU_VERSION_PATCH 0

#include <GL/gl.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Draw styles.  libsoftglu fills every surface; under SOFTGLU_COMPAT a
 * handle's style is honoured (see GL/glu_compat.h). */
#define GLU_POINT      100010
#define GLU_LINE       100011
#define GLU_FILL       100012
#define GLU_SILHOUETTE 100013

/* The quadric handle.  libsoftglu keeps no quadric state: the only handle
 * it hands out is NULL, and its functions never dereference one, so any
 * value (NULL included) may be passed.  Under SOFTGLU_COMPAT the same
 * one-int record has the tag GLUquadric, so that programs may
 * forward-declare `struct GLUquadric;`, and gluNewQuadric, gluQuadricDrawStyle,
 * gluCylinder, gluDisk and gluSphere are the compatibility layer's, whose
 * handles hold the classic quadric settings (see GL/glu_compat.h). */
#ifdef SOFTGLU_COMPAT
struct GLUquadric {
    int draw_style;  /* the handle's draw style; softglu never reads it */
};
typedef struct GLUquadric GLUquadricObj;
#define SOFTGLU_COMPAT_SYMBOL(name) __asm__("softglu_compat_" #name)
#else
typedef struct {
    int draw_style;  /* never read or written by the library */
} GLUquadricObj;
#define SOFTGLU_COMPAT_SYMBOL(name)
#endif
typedef GLUquadricObj GLUquadric;

/* Multiplies the current matrix by a symmetric perspective frustum through
 * one glFrustum(-x, x, -y, y, zNear, zFar) call, where
 *   y = zNear * tan(fovy * pi / 360)   (fovy in degrees, in that order, double)
 *   x = y * aspect.
 * Nothing is checked: infinities and NaNs are passed on as computed.
 * (Under SOFTGLU_COMPAT: the compatibility layer's, which sends the same
 * glFrustum wherever GL takes it, and the perspective matrix where GL
 * would refuse the frustum, zNear = 0 for instance; see GL/glu_compat.h.) */
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
    SOFTGLU_COMPAT_SYMBOL(gluPerspective);

/* Returns NULL; allocates nothing.  (Under SOFTGLU_COMPAT: a new handle
 * with the classic settings, from the compatibility layer.) */
GLUquadricObj *gluNewQuadric(void) SOFTGLU_COMPAT_SYMBOL(gluNewQuadric);

/* Does nothing: neither argument is read.  (Under SOFTGLU_COMPAT: sets the
 * handle's draw style.) */
void gluQuadricDrawStyle(GLUquadricObj *obj, int style) SOFTGLU_COMPAT_SYMBOL(gluQuadricDrawStyle);

/* The side wall of a cylinder or truncated cone along +z, from z = 0 (radius
 * baseRadius) to z = height (radius topRadius); no end caps.
 * One GL_QUAD_STRIP per slice, each of stacks + 1 rows of two vertices
 * (nothing at all when slices <= 0).  Angle 0 is on +y and angles grow
 * towards -x; within a row the lower angle comes first, so the outside faces
 * front.  Every vertex has a normalised normal (the radial direction tilted by
 * the slope) and a texture coordinate: s runs 0 -> 1 around (from +y), t runs
 * 0 -> 1 from bottom to top.  Radius, z and texture coordinates are
 * accumulated by repeated addition, so the top row matches height,
 * topRadius and t = 1 only up to rounding. */
void gluCylinder(GLUquadricObj *qobj, GLdouble baseRadius, GLdouble topRadius,
                 GLdouble height, GLint slices, GLint stacks) SOFTGLU_COMPAT_SYMBOL(gluCylinder);

/* A disk, or an annulus when innerRadius > 0, in the z = 0 plane facing +z.
 * Sends glNormal3f(0, 0, 1) once (always, even when nothing else follows);
 * every vertex inherits it.  Then one GL_QUAD_STRIP per loop, from the inside
 * out, of slices + 1 steps, each an outer then an inner glVertex2f.  Angle 0
 * is on +y and angles grow towards +x (x = r sin a, y = r cos a); the last
 * step repeats the first exactly.  Texture coordinates map the square around
 * the outer circle onto the unit square: (x, y) -> (x / 2R + 0.5, y / 2R + 0.5)
 * with R = outerRadius. */
void gluDisk(GLUquadricObj *qobj, GLdouble innerRadius, GLdouble outerRadius,
             GLint slices, GLint loops) SOFTGLU_COMPAT_SYMBOL(gluDisk);

/* A sphere about the origin with its poles on the z axis.  Emits a
 * GL_TRIANGLE_FAN around the +z pole, one GL_QUAD_STRIP per stack from +z down
 * to -z, and a GL_TRIANGLE_FAN around the -z pole; the polar caps are thus
 * drawn twice.  Azimuth 0 is on +y and grows towards -x; the last column of
 * every ring repeats column 0 exactly.  Every vertex has its unit normal
 * (negative radius mirrors the vertices, not the normals).  Texture s runs
 * 0 -> 1 around, t runs 0 -> 1 from +z to -z; the top fan's ring vertices
 * carry the pole's (0.5, 0) as they send no coordinate of their own.  Angles,
 * steps and texture coordinates are kept in single precision. */
void gluSphere(GLUquadricObj *qobj, float radius, int slices, int stacks) SOFTGLU_COMPAT_SYMBOL(gluSphere);

/* A torus about the z axis: a tube of radius rc around a centre circle of
 * radius rt in the z = 0 plane.  One GL_QUAD_STRIP per tube side (numc of
 * them), each running once around the ring in numt + 1 steps of two vertices,
 * each preceded by its unit normal; the outside faces front.  Tube angles sit
 * half a step off 0: (m + 0.5) * 2 pi / numc.  No texture coordinate is sent:
 * vertices carry whatever coordinate was current.  Nothing is drawn when
 * numc <= 0 or numt == 0.
 *
 * drawTorus is softglu's own name, which no classic header has, and legacy
 * programs name their own helpers that way.  Under SOFTGLU_COMPAT this
 * header therefore declares only classic names and SOFTGLU_ ones, and
 * leaves drawTorus to the program; a program under the switch that calls
 * softglu's asks for it by defining SOFTGLU_DRAWTORUS before it includes
 * GL/glu.h. */
#if !defined(SOFTGLU_COMPAT) || defined(SOFTGLU_DRAWTORUS)
void drawTorus(float rc, int numc, float rt, int numt);
#endif

#ifdef __cplusplus
}
#endif

/* Calls around the quadrics for legacy programs, declared with
 * SOFTGLU_COMPAT defined: see GL/glu_compat.h. */
#ifdef SOFTGLU_COMPAT
#include "glu_compat.h"
#endif

#endif
