/* SPDX-License-Identifier: MIT */
/*
 * softglu compatibility calls: what legacy programs call around the
 * quadrics, so that they build unchanged.
 *
 * One switch turns them on: compile with SOFTGLU_COMPAT defined and keep
 * #include <GL/glu.h>, which then includes this header; link
 * libsoftglu-compat.a and libm.  pkg-config's softglu-compat and CMake's
 * softglu::compat do all three.  The calls live in that static archive, not
 * in libsoftglu.so.1, whose seven exports stay as they are.  The archive is
 * compiled once with softglu's own floating-point flags, so what it sends to
 * GL does not depend on the flags a program is built with.
 *
 * Under the switch a quadric handle holds the classic settings, and
 * gluCylinder, gluDisk, gluPartialDisk and gluSphere draw the way they say
 * (see "Quadric handles" below).  drawTorus, softglu's own name, is left
 * to the program: GL/glu.h declares it under the switch only when
 * SOFTGLU_DRAWTORUS is defined too, and it draws as libsoftglu does.
 *
 * Under the switch the polygon tessellator fills outlines (see "The
 * polygon tessellator" below).
 *
 * Under the switch NURBS curves and surfaces are drawn by softglu's own
 * evaluator (see "NURBS curves and surfaces" below).
 *
 * CALLBACK, the calling-convention macro classic programs write in their
 * callbacks' definitions and casts, (void (CALLBACK *)()) fn, is defined
 * empty unless the program has defined it already; a program's own
 * empty definition, before or after this header, is the same one and
 * compiles without a warning.
 */
#ifndef SOFTGLU_GL_GLU_COMPAT_H
#define SOFTGLU_GL_GLU_COMPAT_H

#include "glu.h"

#ifdef __cplusplus
extern "C" {
#endif

#ifndef CALLBACK
#define CALLBACK
#endif

#define GLU_FALSE 0
#define GLU_TRUE  1

/* The calls declared here behave as those of version 1.3 of the interface
 * (see gluGetString). */
#define GLU_VERSION_1_1 1
#define GLU_VERSION_1_2 1
#define GLU_VERSION_1_3 1

/* gluGetString */
#define GLU_VERSION    100800
#define GLU_EXTENSIONS 100801

/* gluQuadricNormals */
#define GLU_SMOOTH 100000
#define GLU_FLAT   100001
#define GLU_NONE   100002

/* gluQuadricOrientation */
#define GLU_OUTSIDE 100020
#define GLU_INSIDE  100021

/* gluQuadricCallback */
#define GLU_ERROR 100103

/* Error codes, for gluErrorString; the image calls below return the first
 * three, the quadric settings raise the first through their callback */
#define GLU_INVALID_ENUM            100900
#define GLU_INVALID_VALUE           100901
#define GLU_OUT_OF_MEMORY           100902
#define GLU_INCOMPATIBLE_GL_VERSION 100903
#define GLU_INVALID_OPERATION       100904

/* The callback type of gluQuadricCallback.  In C it takes unspecified
 * arguments, so a void f(GLenum) converts to it without a cast; in C++ it
 * is void (*)(void), the type programs cast their callbacks to, whether they
 * spell it _GLUfuncptr or GLvoid (*)().  (g++ -Wextra warns about the cast
 * to GLvoid (*)(): its -Wcast-function-type excuses only void spelled out.
 * Cast to _GLUfuncptr to keep it quiet.) */
typedef void (*_GLUfuncptr)();

/* ---- Quadric handles ----------------------------------------------------
 *
 * gluNewQuadric (declared in GL/glu.h) returns, under SOFTGLU_COMPAT, a new
 * handle: a small record from malloc holding a draw style, normals, a
 * texture flag, an orientation and an error callback, with the classic
 * defaults GLU_FILL, GLU_SMOOTH, GL_FALSE, GLU_OUTSIDE and no callback.  It
 * returns NULL only when malloc fails (the classic "out of memory").
 * gluDeleteQuadric frees it.  The settings below change it;
 * gluQuadricDrawStyle (also declared in GL/glu.h) sets the style.
 *
 * softglu keeps its live handles in a registry and looks each handle up
 * there, by its address, before it reads anything.  A handle it did not
 * hand out (NULL, one from libsoftglu's own gluNewQuadric, a program's own
 * GLUquadricObj variable, a deleted handle) is never dereferenced: the
 * setters and gluDeleteQuadric ignore it, and the quadrics draw with it
 * exactly what libsoftglu draws (filled, smooth normals, outside in front,
 * softglu's own texture coordinates; see GL/glu.h).  The lookup walks the
 * live handles, so it costs a little more with each one a program keeps.
 *
 * Threads: every call may be made from any thread.  One mutex guards the
 * registry and the records; a draw copies its handle's settings under it
 * and draws from the copy, so a handle changed or deleted on another thread
 * meanwhile draws with the settings it had when the draw began.  The error
 * callback runs on the thread of the call that raised it, with no lock
 * held.  GL calls go to the calling thread's current context, as always.
 *
 * WHAT EACH SETTING SENDS (gluCylinder, gluDisk, gluPartialDisk, gluSphere)
 *   The vertices are always libsoftglu's, bit for bit: the same positions,
 *   from the same code.  GLU_FILL with GLU_SMOOTH and GLU_OUTSIDE sends
 *   exactly libsoftglu's primitives, vertices and normals, with texture
 *   coordinates as the texture flag says.
 *
 *   GLU_FILL        libsoftglu's GL_QUAD_STRIPs and GL_TRIANGLE_FANs.
 *   GLU_LINE        GL_LINE_STRIPs along the edges of the filled surface's
 *                   faces.  Cylinder: each edge of a slice bottom to top
 *                   (slices + 1 of them, the closing one included), then
 *                   each row around, bottom first.  Disk and partial disk:
 *                   the circle of each ring radius, inside out, then each
 *                   step's spoke from the inner radius out.  Sphere: each
 *                   meridian from +z to -z (the bands' rows), then each row
 *                   between two bands, all the way round.
 *   GLU_POINT       GL_POINTS: the cylinder's edges, the disk's spokes, the
 *                   sphere's meridians, vertex by vertex, as GLU_LINE walks
 *                   them (a pole is sent once per meridian).
 *   GLU_SILHOUETTE  GL_LINE_STRIPs along the outline only, leaving out the
 *                   lines between faces that lie in one plane.  Cylinder:
 *                   the bottom row and the top row.  Disk: the inner circle
 *                   (none when innerRadius is 0) and the outer one; a
 *                   partial disk short of a full turn adds its first and
 *                   last spokes.  Sphere: as GLU_LINE (no two of its faces
 *                   lie in one plane).
 *   GLU_OUTSIDE     The outside faces front under GL's default
 *                   counterclockwise winding; normals point out.
 *   GLU_INSIDE      Normals point in, each exactly negated, and every
 *                   primitive's winding is reversed, so the inside faces
 *                   front: a strip sends each pair of vertices the other
 *                   way round, a fan walks its ring the other way.  The
 *                   disk's normal is (0, 0, -1) and -z faces front.
 *   GLU_SMOOTH      Each vertex's own unit normal, as libsoftglu's (the
 *                   disk: one normal, before everything else).
 *   GLU_FLAT        With GLU_FILL, one normal per face, sent before the
 *                   face's last vertex, the one whose normal GL's flat
 *                   shading (glShadeModel(GL_FLAT)) takes: the normalised
 *                   sum, in single precision, of the unit normals of the
 *                   face's corners.  A cylinder's slice is flat, so its
 *                   normal comes once, before its strip; the disk's one
 *                   normal is its faces' own.  A pole vertex sends none.
 *                   With the line and point styles, which draw no faces:
 *                   as GLU_SMOOTH.
 *   GLU_NONE        No normal at all: vertices carry the current one.
 *   gluQuadricTexture(q, GL_FALSE)  No texture coordinate: vertices carry
 *                   the current one.
 *   gluQuadricTexture(q, GL_TRUE)   The classic mapping, as texture
 *                   coordinates sent with every vertex (no GL state is
 *                   changed).  Sphere: s is 0 on the +y axis, 0.25 on +x,
 *                   0.5 on -y, 0.75 on -x, back to 1 on +y; t is 0 at
 *                   z = -radius and 1 at z = +radius, (0.5, 1) and (0.5, 0)
 *                   at the poles.  Cylinder: s as the sphere's, t from 0 at
 *                   z = 0 to 1 at z = height.  Disk and partial disk:
 *                   (x / 2R + 0.5, y / 2R + 0.5), R = outerRadius, as
 *                   libsoftglu's.  Each coordinate is reflected from
 *                   softglu's own by one single subtraction: (1 - s, t) on
 *                   the cylinder, (1 - s, 1 - t) on the sphere, where s and
 *                   t accumulate as GL/glu.h says.  The sphere's top fan,
 *                   whose ring libsoftglu leaves without coordinates, gets
 *                   its ring's own: s accumulated from 0 up (or 1 down) in
 *                   the order the ring is walked, t that of the first
 *                   band's lower row.  The seam at +y has s = 1 on the first
 *                   column and about 0 on the closing one.
 *
 * Counts are not checked, in any style.  GLU_FILL gives libsoftglu's
 * empty or degenerate primitives for zero and negative counts.  The other
 * styles send nothing for a cylinder with slices <= 0, a disk with
 * loops <= 0, a sphere with stacks <= 0 or slices < 0; other zero or
 * negative counts give empty or one-vertex primitives, as the loops run. */

/* Frees a handle from gluNewQuadric.  Any other value (NULL included) is
 * ignored. */
void gluDeleteQuadric(GLUquadricObj *qobj);

/* GLU_SMOOTH, GLU_FLAT or GLU_NONE (see above).  Any other value changes
 * nothing and calls the handle's error callback with GLU_INVALID_ENUM. */
void gluQuadricNormals(GLUquadricObj *qobj, GLenum normal);

/* GL_FALSE (the default): no texture coordinates; any other value: the
 * classic mapping (see above). */
void gluQuadricTexture(GLUquadricObj *qobj, GLboolean texture);

/* GLU_OUTSIDE or GLU_INSIDE (see above).  Any other value changes nothing
 * and calls the handle's error callback with GLU_INVALID_ENUM. */
void gluQuadricOrientation(GLUquadricObj *qobj, GLenum orientation);

/* With which = GLU_ERROR, fn (cast to _GLUfuncptr; it takes the GLenum
 * error code) becomes the handle's error callback, called when a setting of
 * the handle is refused; NULL removes it.  Any other `which` changes nothing
 * and calls the current callback with GLU_INVALID_ENUM.  A draw style that
 * gluQuadricDrawStyle does not know is refused the same way. */
void gluQuadricCallback(GLUquadricObj *qobj, GLenum which, _GLUfuncptr fn);

/* ---- Perspective --------------------------------------------------------
 *
 * gluPerspective (declared in GL/glu.h) is, under SOFTGLU_COMPAT, this
 * layer's.  It takes libsoftglu's frustum, in double precision:
 *   t = tan((fovy * pi) / 360)
 *   y = zNear * t                      the top (the bottom is -y)
 *   x = y * aspect                     the right (the left is (-y) * aspect)
 * Wherever glFrustum takes that frustum, the call is libsoftglu's own
 * gluPerspective: the same glFrustum, bit for bit.  glFrustum refuses it
 * (GL_INVALID_VALUE, the matrix unchanged) when zNear <= 0, zFar <= 0,
 * zNear == zFar, left == right (x is 0) or bottom == top (y is 0): a
 * zNear of 0, for instance, which old programs pass and for which the
 * classic library drew a perspective all the same.  These are IEEE
 * comparisons, which a NaN fails: a frustum with NaN bounds (a fovy whose
 * product with pi overflows, say) is sent as libsoftglu sends it.
 *
 * Where glFrustum would refuse it, gluPerspective multiplies the current
 * matrix by the perspective matrix instead, one glMultMatrixd of
 *      f / aspect   0       0       0
 *      0            f       0       0
 *      0            0       sz      tz
 *      0            0      -1       0
 * (column-major: f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, sz, -1, 0, 0, tz,
 * 0), computed from the same t, in double precision, each operation
 * rounded on its own, in this order:
 *   f     = 1 / t                      cot(fovy / 2)
 *   f / aspect
 *   depth = zNear - zFar
 *   sz    = (zFar + zNear) / depth
 *   tz    = ((2 * zFar) * zNear) / depth
 * With zNear = 0 the picture is a perspective one and its depth collapses:
 * every point lies on the far plane, at window depth 1.  Where that matrix
 * is not finite, or f is 0 (aspect 0, zNear == zFar, a tangent that is 0,
 * infinite or NaN, a NaN or infinite argument in those entries), nothing
 * is sent: the matrix stays as it was.  gluPerspective(45, 1.6, 0, 1000),
 * for instance, sends f = 2.4142135623730949 (where tan gives
 * 0.41421356237309503), f / 1.6 = 1.5088834764831842, sz = -1, tz = -0. */

/* A sector of gluDisk's disk or annulus, angles in degrees, with gluDisk's
 * conventions: the z = 0 plane facing +z, angle 0 on +y growing towards +x
 * (x = r sin a, y = r cos a).  Drawn in the handle's settings (above); with
 * a NULL or foreign handle it sends glNormal3f(0, 0, 1) once (always), then
 * one GL_QUAD_STRIP per loop from the inside out, each of slices + 1 steps
 * of an outer then an inner glVertex2f, each preceded by gluDisk's texture
 * coordinate (x / 2R + 0.5, y / 2R + 0.5), R = outerRadius; ring radii
 * accumulate in single precision as gluDisk's do.
 *
 * The sector runs from startAngle to startAngle + sweepAngle.  Steps always
 * go in increasing angle, so +z faces front whatever the sign: a negative
 * sweep covers the same sector as the positive one ending at startAngle,
 * walked from startAngle + sweepAngle up to startAngle.  A sweep beyond a
 * full turn (|sweepAngle| > 360, infinities included) draws one full turn.
 * The first step lies exactly on the lower angle and the last exactly on
 * the upper one, so adjacent sectors share their edge vertices bit for bit;
 * a full turn ends on the bits of its first step, and gluPartialDisk(q, ri,
 * ro, slices, loops, 0, 360) sends exactly what gluDisk(q, ri, ro, slices,
 * loops) sends.
 *
 * In double precision: an angle of d degrees is (d / 360) * 2 pi, so quarter
 * turns land exactly on multiples of 2 pi / 4; step s lies at the lower
 * angle plus s * da, with da = |sweep| in radians / slices.  NaN angles reach
 * GL as NaN vertices. */
void gluPartialDisk(GLUquadricObj *qobj, GLdouble innerRadius, GLdouble outerRadius,
                    GLint slices, GLint loops, GLdouble startAngle, GLdouble sweepAngle);

/* Multiplies the current matrix by a viewing transformation: the eye at
 * (eyeX, eyeY, eyeZ) looking at the centre, with the up vector's direction
 * pointing up on screen as nearly as it can.  In double precision, each
 * operation rounded on its own:
 *   f = normalise(centre - eye)       the view direction
 *   s = normalise(f x up)             the side (screen right)
 *   u = s x f                         the recomputed up
 * then glMultMatrixd with rows (s, 0), (u, 0), (-f, 0), (0, 0, 0, 1) (given
 * column-major), then glTranslated(-eyeX, -eyeY, -eyeZ).  A vector is
 * normalised by dividing it by its largest magnitude and then by its length,
 * so no finite coordinates overflow.  Only + - * / and sqrt are used: the
 * matrix has the same bits on every IEEE machine.
 *
 * Degenerate cameras still give a rotation, never NaN:
 *   - eye == centre: no view direction; f is -z, GL's default camera's.
 *   - up parallel to f, or zero (f x up exactly zero): no roll to take from
 *     it; up is taken to be the coordinate axis most nearly perpendicular
 *     to f (+x, then +y, then +z on ties).
 * Infinite or NaN coordinates give NaN entries. */
void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ,
               GLdouble centerX, GLdouble centerY, GLdouble centerZ,
               GLdouble upX, GLdouble upY, GLdouble upZ);

/* Multiplies the current matrix by a 2D orthographic projection through
 * glOrtho(left, right, bottom, top, -1, 1). */
void gluOrtho2D(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top);

/* A short English message for a GL error code (GL_NO_ERROR,
 * GL_INVALID_ENUM, ..., GL_OUT_OF_MEMORY, GL_INVALID_FRAMEBUFFER_OPERATION)
 * or a GLU_ error code above.  Any other code gets "unknown error code".
 * Never NULL; the string is static and must not be freed. */
const GLubyte *gluErrorString(GLenum error);

/* What softglu is, as a static string that must not be freed:
 *   GLU_VERSION     "1.3 softglu X.Y.Z", X.Y.Z being softglu's own version,
 *                   as its pkg-config files report it
 *   GLU_EXTENSIONS  "", since softglu provides no extension
 *   any other name  NULL
 * Why "1.3": the calls softglu provides behave as those of version 1.3 of
 * the interface, the one that added gluUnProject4 and gluCheckExtension,
 * and the GLU_VERSION_1_x macros above say the same to the preprocessor.
 * softglu does not provide the whole of 1.3 (no 3D mipmaps,
 * for instance), but no program can reach a missing call by trusting the
 * number: a call softglu lacks fails to compile (see the end of this
 * header).  The words after the number follow the classic "number, space,
 * vendor information" form, so programs that read only the number read
 * 1.3, and a person reading a log sees which library answered and which
 * release. */
const GLubyte *gluGetString(GLenum name);

/* GL_TRUE when extName is one of the space-separated words of extString
 * (as glGetString(GL_EXTENSIONS) returns them), compared whole and
 * byte for byte: "GL_EXT_texture" does not match "GL_EXT_texture3D".
 * GL_FALSE otherwise, and for an empty name, a name with a space in it, or
 * a NULL argument.  Makes no GL call. */
GLboolean gluCheckExtension(const GLubyte *extName, const GLubyte *extString);

/* Projection helpers.  Matrices are 4 x 4 and column-major, as
 * glGetDoublev(GL_MODELVIEW_MATRIX) and glGetDoublev(GL_PROJECTION_MATRIX)
 * return them: m[c * 4 + r] is row r, column c.  viewport is x, y, width,
 * height, as glGetIntegerv(GL_VIEWPORT) returns them; window coordinates
 * have y growing upwards from the bottom of the window (a mouse's y,
 * counted down from the top of a window h pixels high, is h - y here).
 * gluProject, gluUnProject and gluUnProject4 make no GL call: they read
 * only their arguments.  The output pointers must be valid; they are
 * written only when the call returns GLU_TRUE.
 *
 * In double precision, each operation rounded on its own in the order
 * written below; only + - * / are used, so the results have the same bits
 * on every IEEE machine.  A matrix times a vector is summed left to right,
 * row by row: out_r = ((m[r] v0 + m[4 + r] v1) + m[8 + r] v2) + m[12 + r] v3.
 * Infinite and NaN arguments are not checked: they give infinite or NaN
 * results (with GLU_TRUE) unless a rule below returns GLU_FALSE first. */

/* Window coordinates of the object point (objX, objY, objZ), where GL draws
 * a vertex sent there:
 *   (x, y, z, w) = proj (model (objX, objY, objZ, 1))
 *   winX = viewport[0] + ((x / w + 1) * 0.5) * viewport[2]
 *   winY = viewport[1] + ((y / w + 1) * 0.5) * viewport[3]
 *   winZ = (z / w + 1) * 0.5          (the default depth range, [0, 1])
 * The point goes through model, then through proj; the two are never
 * multiplied together.  Returns GLU_FALSE, writing nothing, when w is
 * exactly 0 (a point in the eye's plane under a perspective projection);
 * GLU_TRUE otherwise.  A point outside the near and far planes, behind the
 * eye included, still projects: its winZ lies outside [0, 1]. */
GLint gluProject(GLdouble objX, GLdouble objY, GLdouble objZ,
                 const GLdouble model[16], const GLdouble proj[16], const GLint viewport[4],
                 GLdouble *winX, GLdouble *winY, GLdouble *winZ);

/* The object point at window coordinates (winX, winY, winZ), winZ a depth
 * in [0, 1] as glReadPixels(GL_DEPTH_COMPONENT) gives it: gluProject
 * undone.  gluUnProject4 with clipW = 1, nearVal = 0 and farVal = 1 (those
 * give the same bits as the formula below), then
 *   objX = x / w, objY = y / w, objZ = z / w.
 * Returns GLU_FALSE, writing nothing, where gluUnProject4 does or when w is
 * exactly 0 (a point at infinity); GLU_TRUE otherwise. */
GLint gluUnProject(GLdouble winX, GLdouble winY, GLdouble winZ,
                   const GLdouble model[16], const GLdouble proj[16], const GLint viewport[4],
                   GLdouble *objX, GLdouble *objY, GLdouble *objZ);

/* The homogeneous object point (objX, objY, objZ, objW) at window
 * coordinates (winX, winY, winZ) with clip w clipW (as GL's feedback mode
 * reports for GL_4D_COLOR_TEXTURE), for the depth range [nearVal, farVal]
 * of glDepthRange:
 *   A = proj model     (each entry a row of proj times a column of model,
 *                       summed left to right as above)
 *   (x, y, z, w) = A^-1 (((winX - viewport[0]) / viewport[2]) * 2 - 1,
 *                        ((winY - viewport[1]) / viewport[3]) * 2 - 1,
 *                        ((winZ - nearVal) / (farVal - nearVal)) * 2 - 1,
 *                        clipW)
 *   objX = x, objY = y, objZ = z, objW = w    (w is not divided out)
 * A^-1 by Gauss-Jordan elimination with partial pivoting on the rows of
 * [A | I]: for each column j = 0, 1, 2, 3 in turn, the pivot is the entry
 * of largest magnitude in column j at or below row j (the first on ties; a
 * NaN never replaces an earlier entry); that row is swapped with row j;
 * row j's eight entries are each divided by the pivot; then every other
 * row i, in order, has row j times f = a_ij subtracted, entry by entry
 * (a_ik - f a_jk).  The right half is then A^-1.  Partial pivoting keeps
 * this stable whatever the scale of A, and no determinant is formed, so
 * tiny or huge but representable entries invert like any other.
 *
 * Returns GLU_FALSE, writing nothing, when A is singular, which here means
 * that a pivot is exactly zero (a whole column zero where it is sought),
 * or when viewport[2], viewport[3] or farVal - nearVal is zero (no mapping
 * back from the window); GLU_TRUE otherwise.  A matrix singular only up to
 * rounding (a nearly flat projection) may meet a tiny pivot instead and
 * give huge, meaningless results with GLU_TRUE; a product A whose entries
 * underflow to zero is singular, and an inverse too large for a double (of
 * a matrix of subnormal entries, say) overflows to infinities and NaNs,
 * also with GLU_TRUE. */
GLint gluUnProject4(GLdouble winX, GLdouble winY, GLdouble winZ, GLdouble clipW,
                    const GLdouble model[16], const GLdouble proj[16], const GLint viewport[4],
                    GLdouble nearVal, GLdouble farVal,
                    GLdouble *objX, GLdouble *objY, GLdouble *objZ, GLdouble *objW);

/* Restricts drawing to the region of deltaX x deltaY pixels centred on the
 * window coordinates (x, y) by multiplying the current matrix, so that the
 * region fills the viewport.  Call it on a fresh projection matrix, before
 * the program's own projection:
 *     glMatrixMode(GL_PROJECTION);
 *     glLoadIdentity();
 *     gluPickMatrix(x, y, 5.0, 5.0, viewport);
 *     gluPerspective(...);
 * Makes two GL calls, in double precision, each operation rounded on its
 * own in the order written:
 *   glTranslated((viewport[2] - 2 * (x - viewport[0])) / deltaX,
 *                (viewport[3] - 2 * (y - viewport[1])) / deltaY, 0)
 *   glScaled(viewport[2] / deltaX, viewport[3] / deltaY, 1)
 * A region size that is not positive (deltaX or deltaY zero, negative or
 * NaN) makes no GL call: the matrix stays as it was.  Nothing else is
 * checked: infinite sizes and coordinates are passed on as computed. */
void gluPickMatrix(GLdouble x, GLdouble y, GLdouble deltaX, GLdouble deltaY,
                   const GLint viewport[4]);

/* ---- Images and mipmaps -------------------------------------------------
 *
 * gluScaleImage scales an image in client memory.  gluBuild1DMipmaps,
 * gluBuild2DMipmaps and gluBuild3DMipmaps send an image and every level
 * below it to GL, down to 1 x 1 (x 1); gluBuild1DMipmapLevels,
 * gluBuild2DMipmapLevels and gluBuild3DMipmapLevels send a chosen run of the
 * levels of an image whose sides are already powers of two.
 * Each returns 0, or a GLU error code and then changes no GL state and
 * writes nothing.  There is no floating point in them: the same image gives
 * the same bytes on every machine.
 *
 * FORMATS AND TYPES
 *   format: GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA, GL_LUMINANCE (1 component),
 *           GL_LUMINANCE_ALPHA (2), GL_RGB, GL_BGR (3), GL_RGBA, GL_BGRA (4).
 *           Components are filtered each on its own, so their order does
 *           not matter.
 *   type:   GL_UNSIGNED_BYTE, GL_UNSIGNED_SHORT, GL_UNSIGNED_INT.
 *   Any other format or type is GLU_INVALID_ENUM: GL_COLOR_INDEX,
 *   GL_STENCIL_INDEX, GL_DEPTH_COMPONENT, GL_INTENSITY (an internal format,
 *   never a pixel format), signed, floating-point and packed types,
 *   GL_BITMAP.  internalFormat, target and the level numbers are passed to
 *   GL as given, for GL to check: 1 to 4, GL_RGB, GL_RGBA, GL_LUMINANCE,
 *   GL_LUMINANCE_ALPHA, GL_ALPHA, GL_INTENSITY, the sized and compressed
 *   formats, cube map faces, whatever the GL takes.
 *
 * WHERE PIXELS ARE READ AND WRITTEN
 *   An image is read as glTexImage2D reads it, under GL_UNPACK_SWAP_BYTES,
 *   GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_ROWS, GL_UNPACK_SKIP_PIXELS and
 *   GL_UNPACK_ALIGNMENT; gluScaleImage writes its result as glReadPixels
 *   writes, under the five GL_PACK_ values of the same names.  Component c
 *   of pixel (x, y) of a width-pixel-wide image is the element of s bytes
 *   (s = 1, 2, 4 by type) at byte
 *       skipPixels * g + (skipRows + y) * stride + x * g + c * s
 *   with g = components * s and stride = g * (rowLength > 0 ? rowLength :
 *   width), rounded up to a multiple of the alignment when s is smaller than
 *   it.  The element is in this machine's byte order, its bytes swapped
 *   when swapBytes is not 0.  Nothing else is read or written: gluScaleImage
 *   leaves row padding and skipped pixels as they were.  Images are in
 *   client memory: no buffer may be bound to GL_PIXEL_UNPACK_BUFFER, or GL
 *   would take the levels' pointers as offsets into it.
 *   A 3D image is read as glTexImage3D reads it: under those five and
 *   GL_UNPACK_SKIP_IMAGES and GL_UNPACK_IMAGE_HEIGHT, image z starting
 *   (skipImages + z) * imageStride bytes further on, with imageStride =
 *   stride * (imageHeight > 0 ? imageHeight : height).  The 1D and 2D calls
 *   do not read those two.  GL_UNPACK_LSB_FIRST is not read, as it changes
 *   nothing for these images.
 *
 * THE BOX FILTER (gluScaleImage; level 0 of gluBuild*DMipmaps)
 *   Scaling an axis of `in` pixels to `out`, output pixel x covers input
 *   pixels [x * in / out, (x + 1) * in / out), and each input pixel weighs
 *   as much as it covers, counted in 1/out of an input pixel: the weights
 *   are integers and add up to `in`.  In integers, per component:
 *     1. widen to 32 bits, exactly: a byte times 0x01010101, a short times
 *        0x00010001, an int as it is (the type's largest value becomes
 *        0xffffffff);
 *     2. average each input row of the box with the x weights, rounded to
 *        nearest with halves up: (sum + in / 2) / in;
 *     3. average those row means with the y weights the same way,
 *        dividing by the input's height;
 *     4. for a 3D image, average those image means with the z weights the
 *        same way, dividing by the input's depth;
 *     5. narrow to the output type, rounded to nearest: (v + 0x00808080) /
 *        0x01010101 for a byte, (v + 0x8000) / 0x00010001 for a short (odd
 *        divisors: no ties).
 *   Shrinking averages the pixels under each output pixel; magnifying
 *   repeats input pixels, blending two where an output pixel straddles
 *   their edge (there is no linear interpolation).  At the same size each
 *   pixel is copied, converted to the output type (steps 1 and 5).
 *
 * HALVING (every level below level 0)
 *   Each level is made from the one above, in the image's type: component
 *   (x, y) is (a + b + c + d + 2) / 4 of texels (2x, 2y), (2x + 1, 2y),
 *   (2x, 2y + 1) and (2x + 1, 2y + 1), the mean rounded to nearest with
 *   halves up; on a side of 1 it is (a + b + 1) / 2 of the two texels.
 *   Level k of a W x H level 0 is max(W >> k, 1) x max(H >> k, 1).  In 3D,
 *   component (x, y, z) is (the sum of the eight + 4) / 8 of the 2 x 2 x 2
 *   texels from (2x, 2y, 2z); along a side of 1 each texel counts twice,
 *   which gives the 2D and pair means above.  Level k of a W x H x D level
 *   0 is max(W >> k, 1) x max(H >> k, 1) x max(D >> k, 1).
 *
 * ERRORS, in the order they are checked
 *   GLU_INVALID_ENUM   a format or type softglu does not filter.
 *   GLU_INVALID_VALUE  a size below 1 (gluScaleImage: below 0), data NULL,
 *                      the level numbers of the *Levels calls (below).
 *                      Nothing has been sent to GL.
 *   then, after the state is read with glGetIntegerv:
 *   GLU_INVALID_VALUE  a pixel-store value GL never holds: an alignment
 *                      other than 1, 2, 4 or 8, a negative row length,
 *                      skip or (3D) image height.
 *   GLU_OUT_OF_MEMORY  an image that would span more than PTRDIFF_MAX
 *                      bytes under its pixel-store values, or a working
 *                      copy (gluBuild*: level 0, W * H (* D) * components *
 *                      s bytes, from malloc) that cannot be had.
 *
 * GL CALLS of gluBuild2DMipmaps, in order (the 1D calls alike, with
 * glTexImage1D(target, level, internalFormat, w, 0, format, type, pixels)):
 *   glGetIntegerv  GL_UNPACK_SWAP_BYTES, GL_UNPACK_ROW_LENGTH,
 *                  GL_UNPACK_SKIP_ROWS, GL_UNPACK_SKIP_PIXELS,
 *                  GL_UNPACK_ALIGNMENT, then GL_MAX_TEXTURE_SIZE (the
 *                  *Levels calls do not read it); where no context answers,
 *                  GL's initial values and a GL_MAX_TEXTURE_SIZE of 0;
 *   glPixelStorei  (GL_UNPACK_SWAP_BYTES, 0), (GL_UNPACK_ROW_LENGTH, 0),
 *                  (GL_UNPACK_SKIP_ROWS, 0), (GL_UNPACK_SKIP_PIXELS, 0),
 *                  (GL_UNPACK_ALIGNMENT, 1): the levels are sent packed
 *                  tight;
 *   glTexImage2D   (target, level, internalFormat, w, h, 0, format, type,
 *                  pixels), one per level, level 0 first;
 *   glPixelStorei  the five unpack values read, in the same order: the
 *                  client's unpack state as it was.
 * The 3D calls alike, with glTexImage3D(target, level, internalFormat, w,
 * h, d, 0, format, type, pixels), GL_MAX_3D_TEXTURE_SIZE in place of
 * GL_MAX_TEXTURE_SIZE, and GL_UNPACK_SKIP_IMAGES then
 * GL_UNPACK_IMAGE_HEIGHT after the five unpack values each time they are
 * read, set (both 0) and put back.
 */

/* Scales the wIn x hIn image at dataIn to wOut x hOut at dataOut with the
 * box filter above, converting typeIn to typeOut; format is the same for
 * both.  Reads the unpack values, then the pack values, with glGetIntegerv
 * and makes no other GL call.  A size of 0 (with none negative) reads and
 * writes nothing and returns 0 without a GL call.  dataIn and dataOut must
 * not overlap.  Each output pixel reads the input pixels under it, so the
 * time grows with (wIn + wOut) * (hIn + hOut). */
GLint gluScaleImage(GLenum format, GLsizei wIn, GLsizei hIn, GLenum typeIn, const void *dataIn,
                    GLsizei wOut, GLsizei hOut, GLenum typeOut, GLvoid *dataOut);

/* Sends data and its mipmap levels to GL, down to 1 x 1.  Level 0 has, on
 * each side of n pixels, the power of two nearest n, the larger one when n
 * is halfway between (57 -> 64, 23 -> 16, 48 -> 64, 3 -> 4), but no larger
 * than the largest power of two not above GL_MAX_TEXTURE_SIZE (a value
 * below 1 counts as 1); each side is limited on its own, so with a limit
 * of 2048 a 4096 x 64 image becomes 2048 x 64.  An image whose sides are
 * already such powers of two is level 0 as it is; any other is scaled to
 * them by the box filter.  Then levels 1 to log2(max(W, H)) are made by
 * halving, in one working copy of level 0. */
GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void *data);

/* gluBuild2DMipmaps for a one-row image: levels of width W >> k, through
 * glTexImage1D, the texels halved in pairs. */
GLint gluBuild1DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLenum format,
                        GLenum type, const void *data);

/* Sends levels base to max (inclusive) of a mipmap whose level userLevel
 * is data: width and height must be powers of two (else
 * GLU_INVALID_VALUE), the image is not scaled and GL_MAX_TEXTURE_SIZE is
 * not read.  Level userLevel + k, of max(width >> k, 1) x max(height >> k,
 * 1), is made by k halvings; levels below base are made and not sent.
 * GLU_INVALID_VALUE when userLevel > base, base < 0, max < base or max >
 * userLevel + log2(max(width, height)), the last level there is.  For
 * example userLevel 2, a 16 x 8 image, base 3 and max 5 send 8 x 4, 4 x 2
 * and 2 x 1 as levels 3, 4 and 5. */
GLint gluBuild2DMipmapLevels(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                             GLenum format, GLenum type, GLint userLevel, GLint base, GLint max,
                             const void *data);

/* gluBuild2DMipmapLevels for a one-row image, through glTexImage1D. */
GLint gluBuild1DMipmapLevels(GLenum target, GLint internalFormat, GLsizei width, GLenum format,
                             GLenum type, GLint userLevel, GLint base, GLint max, const void *data);

/* gluBuild2DMipmaps for a width x height x depth image, through
 * glTexImage3D (GL 1.2): each side, depth included, becomes its nearest
 * power of two no larger than GL_MAX_3D_TEXTURE_SIZE, and the levels halve
 * all three sides, each down to 1, until the image is 1 x 1 x 1.  A depth
 * below 1 is GLU_INVALID_VALUE, as the other sides. */
GLint gluBuild3DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                        GLsizei depth, GLenum format, GLenum type, const void *data);

/* gluBuild2DMipmapLevels for a width x height x depth image, through
 * glTexImage3D: all three sides must be powers of two, and max may be at
 * most userLevel + log2(max(width, height, depth)).  For example a 4 x 2 x
 * 8 image at userLevel 0 has levels 4 x 2 x 8, 2 x 1 x 4, 1 x 1 x 2 and
 * 1 x 1 x 1. */
GLint gluBuild3DMipmapLevels(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                             GLsizei depth, GLenum format, GLenum type, GLint userLevel, GLint base,
                             GLint max, const void *data);

/* ---- The polygon tessellator -------------------------------------------
 *
 * gluNewTess returns a tessellator (NULL when malloc fails); a program
 * describes a polygon as one or more contours of vertices, and
 * gluTessEndPolygon sends the region the winding rule selects through the
 * callbacks, before it returns:
 *     gluTessBeginPolygon(tess, polygon_data);
 *       gluTessBeginContour(tess);
 *         gluTessVertex(tess, coords, vertex_data);   ... for each vertex
 *       gluTessEndContour(tess);                      ... for each contour
 *     gluTessEndPolygon(tess);
 * Each contour is closed (its last vertex joins its first).  Contours may
 * be concave, cross themselves and each other, nest, overlap, and repeat
 * or line up vertices.  gluTessVertex copies the three coordinates at
 * once; vertex_data is only handed back.  A coordinate beyond
 * GLU_TESS_MAX_COORD in magnitude (an infinity included) is clamped to it
 * and reported as GLU_TESS_COORD_TOO_LARGE; a NaN is reported the same way
 * and the polygon gives no output.
 *
 * THE REGION.  The vertices are projected along the coordinate axis of the
 * normal's largest component (the normal of gluTessNormal, or, when that
 * is (0, 0, 0), Newell's normal of the contours, whose sign makes the
 * contours' area positive).  A point's winding number is how many times
 * the contours go round it counterclockwise about the normal; the region
 * is where the rule of GLU_TESS_WINDING_RULE holds: ODD (the default), odd;
 * NONZERO, not 0; POSITIVE, > 0; NEGATIVE, < 0; ABS_GEQ_TWO, |w| >= 2.
 *
 * OUTPUT.  One GL_TRIANGLES primitive of triangles counterclockwise about
 * the normal, covering the region once; no begin at all when the region is
 * empty (a polygon with no area).  With an EDGE_FLAG callback, the flag
 * before a triangle's vertex says whether the edge from it lies on the
 * region's boundary; it is sent before the first vertex and when it
 * changes.  With GLU_TESS_BOUNDARY_ONLY set, one GL_LINE_LOOP per
 * boundary loop instead: the region on its left, so outer loops run
 * counterclockwise and holes clockwise.  Where two edges cross, the
 * COMBINE callback is called with the crossing point, the four ends'
 * vertex_data and weights (half to each edge, shared by its ends by where
 * the point lies on it; narrowed to float) and gives the new vertex; when
 * there is no COMBINE callback or it gives NULL, the error callback gets
 * GLU_TESS_NEED_COMBINE_CALLBACK and the polygon gives no output.
 * A polygon whose crossings do not settle after 64 passes of splitting is
 * reported as SOFTGLU_TESS_TOO_COMPLEX and gives no output; no polygon in
 * softglu's tests reaches that bound.
 * Vertices at the same projected point are one: the first one's
 * vertex_data is sent.  GLU_TESS_TOLERANCE is kept and read back, and
 * changes nothing: vertices merge only when they coincide.
 *
 * EXACTNESS.  Whether points are on a line, which side they lie and
 * whether edges cross are decided exactly on the projected coordinates
 * (src/compat/tess.cpp says how); a projected coordinate smaller than
 * about 2^-965 of the largest is taken as 0.  Crossing points are rounded
 * to doubles; one within 2^-44 of the largest coordinate of an existing
 * vertex is that vertex, as is a given vertex that near an earlier one
 * (the earliest, when two are that near), and an edge passing that near a
 * vertex is routed through it: features smaller than that collapse.  With
 * the arithmetic of every softglu build, the calls a polygon gives depend
 * on its input's bits and the properties alone, on every machine.
 *
 * CALL ORDER.  A call out of order is reported to the error callback as
 * GLU_TESS_MISSING_BEGIN_POLYGON, _BEGIN_CONTOUR, _END_CONTOUR or
 * _END_POLYGON, and the missing calls are made: gluTessBeginPolygon inside
 * a polygon ends it first (tessellating it), a vertex outside a contour
 * begins one (and a polygon, with NULL data).
 *
 * CALLBACKS (gluTessCallback; cast to _GLUfuncptr, GLvoid (*)() or the
 * like).  The _DATA forms get polygon_data as their last argument and are
 * called instead of the plain ones when both are set; NULL removes one:
 *   GLU_TESS_BEGIN      void (GLenum type)          glBegin will do
 *   GLU_TESS_VERTEX     void (void *vertex_data)    glVertex3dv will do
 *   GLU_TESS_END        void (void)                 glEnd will do
 *   GLU_TESS_EDGE_FLAG  void (GLboolean flag)
 *   GLU_TESS_COMBINE    void (GLdouble coords[3], void *vertex_data[4],
 *                             GLfloat weight[4], void **out)
 *   GLU_TESS_ERROR      void (GLenum code)
 * An unknown `which`, or property, is GLU_INVALID_ENUM to the error
 * callback; a winding rule not listed or a tolerance outside [0, 1] is
 * GLU_INVALID_VALUE.  Tessellators have no shared state: separate ones may
 * be used on separate threads. */

typedef struct GLUtesselator GLUtesselator;
typedef GLUtesselator GLUtesselatorObj;
typedef GLUtesselator GLUtriangulatorObj;

#define GLU_TESS_MAX_COORD 1.0e150

/* gluTessCallback; the older names are the same callbacks */
#define GLU_TESS_BEGIN          100100
#define GLU_BEGIN               100100
#define GLU_TESS_VERTEX         100101
#define GLU_VERTEX              100101
#define GLU_TESS_END            100102
#define GLU_END                 100102
#define GLU_TESS_ERROR          100103
#define GLU_TESS_EDGE_FLAG      100104
#define GLU_EDGE_FLAG           100104
#define GLU_TESS_COMBINE        100105
#define GLU_TESS_BEGIN_DATA     100106
#define GLU_TESS_VERTEX_DATA    100107
#define GLU_TESS_END_DATA       100108
#define GLU_TESS_ERROR_DATA     100109
#define GLU_TESS_EDGE_FLAG_DATA 100110
#define GLU_TESS_COMBINE_DATA   100111

/* gluNextContour */
#define GLU_CW       100120
#define GLU_CCW      100121
#define GLU_INTERIOR 100122
#define GLU_EXTERIOR 100123
#define GLU_UNKNOWN  100124

/* gluTessProperty */
#define GLU_TESS_WINDING_RULE  100140
#define GLU_TESS_BOUNDARY_ONLY 100141
#define GLU_TESS_TOLERANCE     100142

/* GLU_TESS_WINDING_RULE */
#define GLU_TESS_WINDING_ODD         100130
#define GLU_TESS_WINDING_NONZERO     100131
#define GLU_TESS_WINDING_POSITIVE    100132
#define GLU_TESS_WINDING_NEGATIVE    100133
#define GLU_TESS_WINDING_ABS_GEQ_TWO 100134

/* Tessellator errors, for the error callback and gluErrorString */
#define GLU_TESS_ERROR1 100151
#define GLU_TESS_ERROR2 100152
#define GLU_TESS_ERROR3 100153
#define GLU_TESS_ERROR4 100154
#define GLU_TESS_ERROR5 100155
#define GLU_TESS_ERROR6 100156
#define GLU_TESS_ERROR7 100157
#define GLU_TESS_ERROR8 100158
#define GLU_TESS_MISSING_BEGIN_POLYGON GLU_TESS_ERROR1
#define GLU_TESS_MISSING_BEGIN_CONTOUR GLU_TESS_ERROR2
#define GLU_TESS_MISSING_END_POLYGON   GLU_TESS_ERROR3
#define GLU_TESS_MISSING_END_CONTOUR   GLU_TESS_ERROR4
#define GLU_TESS_COORD_TOO_LARGE       GLU_TESS_ERROR5
#define GLU_TESS_NEED_COMBINE_CALLBACK GLU_TESS_ERROR6
/* softglu's own: a polygon beyond the tessellator's bounds (THE REGION,
 * OUTPUT above); outside every classic code, GLU_TESS_ERROR1 ... 8 and
 * GLU_OUT_OF_MEMORY among them. */
#define SOFTGLU_TESS_TOO_COMPLEX 100990

/* A new tessellator: winding rule ODD, not boundary-only, tolerance 0,
 * normal (0, 0, 0), no callbacks.  NULL when out of memory.  Every call
 * below ignores a NULL tessellator. */
GLUtesselator *gluNewTess(void);
/* Frees it (NULL is ignored), even in the middle of a polygon. */
void gluDeleteTess(GLUtesselator *tess);
/* Sets (or with NULL removes) the callback `which`, one of the twelve
 * GLU_TESS_ names or the older GLU_BEGIN ... GLU_EDGE_FLAG. */
void gluTessCallback(GLUtesselator *tess, GLenum which, _GLUfuncptr fn);
/* GLU_TESS_WINDING_RULE takes a rule's number as a double;
 * GLU_TESS_BOUNDARY_ONLY is on for any value but 0; GLU_TESS_TOLERANCE
 * takes 0 to 1. */
void gluTessProperty(GLUtesselator *tess, GLenum which, GLdouble data);
/* Writes the property's value to *data (the rule as its number, 1 or 0
 * for boundary-only); an unknown `which` leaves it alone.  A NULL data is
 * ignored. */
void gluGetTessProperty(GLUtesselator *tess, GLenum which, GLdouble *data);
/* The normal polygons are seen from (of any length); (0, 0, 0), the
 * default, has it computed for each polygon. */
void gluTessNormal(GLUtesselator *tess, GLdouble valueX, GLdouble valueY, GLdouble valueZ);
/* data is the polygon_data handed to the _DATA callbacks. */
void gluTessBeginPolygon(GLUtesselator *tess, GLvoid *data);
void gluTessBeginContour(GLUtesselator *tess);
/* A NULL location is ignored.  When memory runs out the error callback
 * gets GLU_OUT_OF_MEMORY and the polygon gives no output. */
void gluTessVertex(GLUtesselator *tess, GLdouble *location, GLvoid *data);
void gluTessEndContour(GLUtesselator *tess);
void gluTessEndPolygon(GLUtesselator *tess);
/* The older interface: gluTessBeginPolygon(tess, NULL) and
 * gluTessBeginContour; gluTessEndContour and gluTessBeginContour (the
 * type is ignored: the winding rule decides); gluTessEndContour and
 * gluTessEndPolygon. */
void gluBeginPolygon(GLUtesselator *tess);
void gluNextContour(GLUtesselator *tess, GLenum type);
void gluEndPolygon(GLUtesselator *tess);

/* ---- NURBS curves and surfaces -------------------------------------------
 *
 * gluNewNurbsRenderer returns a NURBS object (NULL when malloc fails).  A
 * curve or surface is given between gluBeginCurve / gluEndCurve or
 * gluBeginSurface / gluEndSurface, one gluNurbsCurve or gluNurbsSurface call
 * per map: exactly one position map (GL_MAP1_VERTEX_3 or _4 for a curve,
 * GL_MAP2_VERTEX_3 or _4 for a surface) and at most one each of colour
 * (_COLOR_4), index (_INDEX), normal (_NORMAL) and texture coordinates
 * (_TEXTURE_COORD_1 ... _4).  Knots are non-decreasing, no value repeated
 * more than `order` times; a map has knotCount - order control points (per
 * direction), at least `order` of them; strides count floats; orders run
 * from 1 to GLU_NURBS_MAX_ORDER.  A _4 vertex map is rational: x, y, z are
 * premultiplied by w.  Nothing is drawn until the end call, and nothing at
 * all for an object that raised an error.  The arrays are read, never
 * written, and copied, so the program may reuse them at once.
 *
 * Every point is softglu's own: the maps are evaluated by de Boor's
 * algorithm in double precision, each operation rounded on its own, and
 * the results narrowed to float.  Each knot span is cut into equal steps
 * in parameter space, as many as GLU_SAMPLING_METHOD asks:
 *   GLU_DOMAIN_DISTANCE   ceil(span length x GLU_U_STEP) (GLU_V_STEP along
 *                         v), at least 1;
 *   GLU_PATH_LENGTH       ceil(L / GLU_SAMPLING_TOLERANCE), L the length
 *                         in window pixels of the span's control polygon
 *                         (the control points that shape the span), the
 *                         longest of its rows for a surface;
 *   GLU_PARAMETRIC_ERROR  ceil(sqrt(d (d - 1) D / (8 GLU_PARAMETRIC_TOLERANCE))),
 *                         D the largest second difference of those control
 *                         points in window pixels, d the degree (1 step for
 *                         a degree below 2): a chord's distance bound;
 *   GLU_OBJECT_PATH_LENGTH, GLU_OBJECT_PARAMETRIC_ERROR  the same in object
 *                         coordinates.
 * at most GLU_NURBS_MAX_STEPS a span.  Window pixels come from the sampling
 * matrices: read from GL (glGetFloatv of GL_MODELVIEW_MATRIX and
 * GL_PROJECTION_MATRIX, glGetIntegerv of GL_VIEWPORT) at each end call while
 * GLU_AUTO_LOAD_MATRIX is on, otherwise the ones gluLoadSamplingMatrices
 * gave (identity matrices and a 1 x 1 viewport until then).  A control point
 * at or behind the eye (clip w <= 0) makes its span take the most steps.
 *
 * Renderer mode (GLU_NURBS_RENDERER, the default) sends glBegin, glColor4f,
 * glIndexf, glNormal3f, glTexCoord1f ... glTexCoord4f, glVertex3f and
 * glEnd, no GL evaluator: a curve is one GL_LINE_STRIP; a surface in
 * GLU_FILL is one GL_TRIANGLE_STRIP per row of steps along u, counter-
 * clockwise in (u, v), so with a right-handed map the front face is the
 * side the normal points to (trimmed: one GL_TRIANGLES); GLU_OUTLINE_POLYGON
 * one GL_LINE_STRIP per line of constant u and of constant v (trimmed: each
 * triangle's outline, closed); GLU_OUTLINE_PATCH one GL_LINE_STRIP
 * round the domain's edge and one along each trim loop.  A surface's
 * normal comes from its normal map, or, when it has none and
 * glIsEnabled(GL_AUTO_NORMAL) says so, is the normalised cross product of
 * its partial derivatives along u and v (of the divided-through point for a
 * rational map), the zero vector where that product is zero.  A curve sends
 * a normal only from a normal map.  Every map is evaluated at the vertex's
 * (u, v), clamped to the map's own knot range.
 *
 * Tessellator mode (GLU_NURBS_TESSELLATOR) sends nothing to GL and no
 * sampling matrix is read; the same vertices go to the callbacks: the
 * attributes of each vertex (normal, colour, texture coordinates) before
 * it, GLU_FILL and GLU_OUTLINE_POLYGON as the triangle strips of GLU_FILL
 * (trimmed: GL_TRIANGLES), GLU_OUTLINE_PATCH as above.
 *
 * Errors go to the GLU_NURBS_ERROR callback (GLU_NURBS_ERROR1 ... 37, each
 * with a gluErrorString message; GLU_INVALID_ENUM and GLU_INVALID_VALUE for
 * a property or callback name or value softglu does not take).  A call out
 * of order is ignored; an error inside a curve or surface discards it.
 */
typedef struct GLUnurbs GLUnurbs;
typedef GLUnurbs GLUnurbsObj;

#define GLU_EXT_nurbs_tessellator 1
#define GLU_EXT_object_space_tess 1

/* Limits of this implementation */
#define GLU_NURBS_MAX_ORDER 16
#define GLU_NURBS_MAX_STEPS 1024

/* gluNurbsProperty */
#define GLU_AUTO_LOAD_MATRIX     100200
#define GLU_CULLING              100201
#define GLU_PARAMETRIC_TOLERANCE 100202
#define GLU_SAMPLING_TOLERANCE   100203
#define GLU_DISPLAY_MODE         100204
#define GLU_SAMPLING_METHOD      100205
#define GLU_U_STEP               100206
#define GLU_V_STEP               100207
#define GLU_NURBS_MODE           100160
#define GLU_NURBS_MODE_EXT       100160

/* GLU_NURBS_MODE */
#define GLU_NURBS_TESSELLATOR     100161
#define GLU_NURBS_TESSELLATOR_EXT 100161
#define GLU_NURBS_RENDERER        100162
#define GLU_NURBS_RENDERER_EXT    100162

/* GLU_SAMPLING_METHOD */
#define GLU_PATH_LENGTH                 100215
#define GLU_PARAMETRIC_ERROR            100216
#define GLU_DOMAIN_DISTANCE             100217
#define GLU_OBJECT_PARAMETRIC_ERROR     100208
#define GLU_OBJECT_PARAMETRIC_ERROR_EXT 100208
#define GLU_OBJECT_PATH_LENGTH          100209
#define GLU_OBJECT_PATH_LENGTH_EXT      100209

/* GLU_DISPLAY_MODE (GLU_FILL is the quadric's) */
#define GLU_OUTLINE_POLYGON 100240
#define GLU_OUTLINE_PATCH   100241

/* Trim curves */
#define GLU_MAP1_TRIM_2 100210
#define GLU_MAP1_TRIM_3 100211

/* gluNurbsCallback (GLU_NURBS_ERROR is GLU_ERROR) */
#define GLU_NURBS_ERROR                  100103
#define GLU_NURBS_BEGIN                  100164
#define GLU_NURBS_BEGIN_EXT              100164
#define GLU_NURBS_VERTEX                 100165
#define GLU_NURBS_VERTEX_EXT             100165
#define GLU_NURBS_NORMAL                 100166
#define GLU_NURBS_NORMAL_EXT             100166
#define GLU_NURBS_COLOR                  100167
#define GLU_NURBS_COLOR_EXT              100167
#define GLU_NURBS_TEXTURE_COORD          100168
#define GLU_NURBS_TEX_COORD_EXT          100168
#define GLU_NURBS_TEXTURE_COORD_EXT      100168
#define GLU_NURBS_END                    100169
#define GLU_NURBS_END_EXT                100169
#define GLU_NURBS_BEGIN_DATA             100170
#define GLU_NURBS_BEGIN_DATA_EXT         100170
#define GLU_NURBS_VERTEX_DATA            100171
#define GLU_NURBS_VERTEX_DATA_EXT        100171
#define GLU_NURBS_NORMAL_DATA            100172
#define GLU_NURBS_NORMAL_DATA_EXT        100172
#define GLU_NURBS_COLOR_DATA             100173
#define GLU_NURBS_COLOR_DATA_EXT         100173
#define GLU_NURBS_TEXTURE_COORD_DATA     100174
#define GLU_NURBS_TEX_COORD_DATA_EXT     100174
#define GLU_NURBS_TEXTURE_COORD_DATA_EXT 100174
#define GLU_NURBS_END_DATA               100175
#define GLU_NURBS_END_DATA_EXT           100175

/* NURBS errors, GLU_NURBS_ERROR1 + n - 1; what softglu reports each for is
 * gluErrorString's message (see also man gluNewNurbsRenderer) */
#define GLU_NURBS_ERROR1  100251
#define GLU_NURBS_ERROR2  100252
#define GLU_NURBS_ERROR3  100253
#define GLU_NURBS_ERROR4  100254
#define GLU_NURBS_ERROR5  100255
#define GLU_NURBS_ERROR6  100256
#define GLU_NURBS_ERROR7  100257
#define GLU_NURBS_ERROR8  100258
#define GLU_NURBS_ERROR9  100259
#define GLU_NURBS_ERROR10 100260
#define GLU_NURBS_ERROR11 100261
#define GLU_NURBS_ERROR12 100262
#define GLU_NURBS_ERROR13 100263
#define GLU_NURBS_ERROR14 100264
#define GLU_NURBS_ERROR15 100265
#define GLU_NURBS_ERROR16 100266
#define GLU_NURBS_ERROR17 100267
#define GLU_NURBS_ERROR18 100268
#define GLU_NURBS_ERROR19 100269
#define GLU_NURBS_ERROR20 100270
#define GLU_NURBS_ERROR21 100271
#define GLU_NURBS_ERROR22 100272
#define GLU_NURBS_ERROR23 100273
#define GLU_NURBS_ERROR24 100274
#define GLU_NURBS_ERROR25 100275
#define GLU_NURBS_ERROR26 100276
#define GLU_NURBS_ERROR27 100277
#define GLU_NURBS_ERROR28 100278
#define GLU_NURBS_ERROR29 100279
#define GLU_NURBS_ERROR30 100280
#define GLU_NURBS_ERROR31 100281
#define GLU_NURBS_ERROR32 100282
#define GLU_NURBS_ERROR33 100283
#define GLU_NURBS_ERROR34 100284
#define GLU_NURBS_ERROR35 100285
#define GLU_NURBS_ERROR36 100286
#define GLU_NURBS_ERROR37 100287

GLUnurbs *gluNewNurbsRenderer(void);
/* Frees the object; NULL is ignored. */
void gluDeleteNurbsRenderer(GLUnurbs *nurb);
/* Enum values travel as floats.  Defaults: GLU_SAMPLING_TOLERANCE 50,
 * GLU_PARAMETRIC_TOLERANCE 0.5, GLU_SAMPLING_METHOD GLU_PATH_LENGTH,
 * GLU_U_STEP and GLU_V_STEP 100, GLU_DISPLAY_MODE GLU_FILL, GLU_CULLING
 * GL_FALSE, GLU_AUTO_LOAD_MATRIX GL_TRUE, GLU_NURBS_MODE
 * GLU_NURBS_RENDERER.  Tolerances and steps must be positive and finite;
 * GLU_CULLING and GLU_AUTO_LOAD_MATRIX are on for any value but 0.
 * GLU_CULLING discards a curve or surface whose control points all lie
 * beyond one plane of the view volume, in GLU_NURBS_RENDERER mode (in
 * GLU_NURBS_TESSELLATOR mode the callbacks get every piece). */
void gluNurbsProperty(GLUnurbs *nurb, GLenum property, GLfloat value);
void gluGetNurbsProperty(GLUnurbs *nurb, GLenum property, GLfloat *data);
/* model and perspective column-major, as glGetFloatv gives them. */
void gluLoadSamplingMatrices(GLUnurbs *nurb, const GLfloat *model, const GLfloat *perspective,
                             const GLint *view);
void gluBeginCurve(GLUnurbs *nurb);
void gluNurbsCurve(GLUnurbs *nurb, GLint knotCount, GLfloat *knots, GLint stride, GLfloat *control,
                   GLint order, GLenum type);
void gluEndCurve(GLUnurbs *nurb);
/* Control point (i, j), i along s (u), j along t (v), starts at
 * control + i * sStride + j * tStride. */
void gluBeginSurface(GLUnurbs *nurb);
void gluNurbsSurface(GLUnurbs *nurb, GLint sKnotCount, GLfloat *sKnots, GLint tKnotCount, GLfloat *tKnots,
                     GLint sStride, GLint tStride, GLfloat *control, GLint sOrder, GLint tOrder, GLenum type);
void gluEndSurface(GLUnurbs *nurb);
/* A trim loop, inside a surface: pieces of gluPwlCurve and gluNurbsCurve
 * (GLU_MAP1_TRIM_2: u, v; GLU_MAP1_TRIM_3: u, v, w homogeneous), each
 * beginning where the one before ends, the last ending where the first
 * begins.  The region kept lies to the left of every loop. */
void gluBeginTrim(GLUnurbs *nurb);
void gluPwlCurve(GLUnurbs *nurb, GLint count, GLfloat *data, GLint stride, GLenum type);
void gluEndTrim(GLUnurbs *nurb);
/* Callbacks (cast to _GLUfuncptr in C++): GLU_NURBS_BEGIN void (GLenum),
 * GLU_NURBS_VERTEX, _NORMAL, _COLOR, _TEXTURE_COORD void (GLfloat *),
 * GLU_NURBS_END void (void), GLU_NURBS_ERROR void (GLenum); the _DATA
 * forms take the user data last and win over the plain ones.  Only the
 * error callback is called in renderer mode. */
void gluNurbsCallback(GLUnurbs *nurb, GLenum which, _GLUfuncptr fn);
void gluNurbsCallbackData(GLUnurbs *nurb, GLvoid *userData);
void gluNurbsCallbackDataEXT(GLUnurbs *nurb, GLvoid *userData);

#ifdef __cplusplus
}
#endif

#endif
