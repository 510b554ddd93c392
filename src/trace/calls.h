/* SPDX-License-Identifier: MIT */
/*
 * Every call softglu-trace lists, one line each: the table that the
 * interposer's wrappers, the compatibility layer's trace points, the
 * record tags, the listing's names and the export checks are made from.
 * Adding a traced call is adding its line here (and, for a call of the
 * compatibility layer, one SOFTGLU_TRACED line at the top of its body).
 * tests/build/calls.sh reads the names of each list for the shell checks.
 *
 *   X(tag, name, kinds, ret, (parameters), (arguments))
 *
 * tag    the record's first byte: GL calls below 0x40, numbered as the
 *        recording stand-in's glrecord::Op; softglu's calls from 0x40.
 * kinds  one letter per argument, in the order of the parameters; each is
 *        recorded as its bits, little-endian whatever the machine (record.h):
 *          'f' float, 4 bytes          'd' double, 8 bytes
 *          'i' an integer, 4 bytes     'u' glBegin's mode, 4 bytes
 *          'x' a GL enum, 4 bytes (listed by name where it has one)
 *          'e' a GLU enum, 4 bytes (listed by name where it has one)
 *          'b' a GLboolean, 1 byte (GL_TRUE, GL_FALSE, else its value)
 *          'h' a quadric handle, 'p' any other pointer: 1 byte, 0 for NULL
 *              and 1 for anything else (never the address, so that two
 *              machines' listings compare)
 *          'r' the handle returned, likewise, recorded after the call
 *          'o' the first GLint the call answers through its pointer, 4 bytes
 *          'V' a viewport, the four GLints it points at, 16 bytes
 *          'D' a point, the three GLdoubles it points at: 1 byte, 0 for
 *              NULL (its coordinates then zero) and 1 for anything else,
 *              then 3 x 8 bytes
 *          'M' a matrix, the sixteen GLdoubles it points at, 128 bytes
 *          'I' a texture image, as the bytes GL reads and their FNV-1a
 *              hash (glrecord's), 8 + 8 bytes
 *
 * SOFTGLU_LIBRARY_GL_CALLS: the GL calls libsoftglu.so.1 sends (and
 * leaves undefined); SOFTGLU_COMPAT_GL_CALLS: those only the compatibility
 * layer sends, and those a legacy program commonly hands the tessellator
 * as its callbacks (glVertex3dv, glEdgeFlag; glBegin and glEnd are above),
 * and the vertex attributes of NURBS maps (glColor4f, glIndexf, glTexCoord1f,
 * glTexCoord3f, glTexCoord4f),
 * which reach the interposer from inside gluTessEndPolygon; all recorded
 * inside a traced call of softglu's.
 * SOFTGLU_LIBRARY_CALLS: libsoftglu.so.1's exports, which the interposer
 * stands in front of.  SOFTGLU_COMPAT_CALLS: the
 * compatibility layer's own calls, linked into the program: it records
 * them itself, through the interposer, when softglu-trace runs the program.
 * Under the switch gluPerspective, gluNewQuadric, gluQuadricDrawStyle,
 * gluCylinder, gluDisk and gluSphere are the compatibility layer's too,
 * recorded under the same lines as libsoftglu's.
 *
 * Left out, as they send no GL and change nothing a later call sends:
 * gluProject, gluUnProject, gluUnProject4, gluScaleImage, gluErrorString,
 * gluGetString, gluCheckExtension, and the GL state a NURBS end call reads
 * (glGetFloatv, glIsEnabled; its glGetIntegerv of the viewport is
 * recorded with the rest).  The tessellator's calls are all listed,
 * gluGetTessProperty too, so that a polygon's calls read whole; gluNewTess
 * without its result (its trace point is its first line, and the rest of
 * its body is the tessellator's own).
 */
#ifndef SOFTGLU_TRACE_CALLS_H
#define SOFTGLU_TRACE_CALLS_H

#define SOFTGLU_LIBRARY_GL_CALLS(X)                                                                           \
    X(0x00, glBegin, "u", void, (GLenum mode), (mode))                                                         \
    X(0x01, glEnd, "", void, (void), ())                                                                       \
    X(0x02, glNormal3f, "fff", void, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))                             \
    X(0x03, glTexCoord2f, "ff", void, (GLfloat s, GLfloat t), (s, t))                                          \
    X(0x04, glVertex3f, "fff", void, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))                             \
    X(0x05, glVertex2f, "ff", void, (GLfloat x, GLfloat y), (x, y))                                            \
    X(0x06, glFrustum, "dddddd", void,                                                                         \
      (GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f), (l, r, b, t, n, f))

#define SOFTGLU_COMPAT_GL_CALLS(X)                                                                            \
    X(0x07, glOrtho, "dddddd", void,                                                                           \
      (GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f), (l, r, b, t, n, f))            \
    X(0x08, glMultMatrixd, "M", void, (const GLdouble *m), (m))                                                \
    X(0x09, glTranslated, "ddd", void, (GLdouble x, GLdouble y, GLdouble z), (x, y, z))                        \
    X(0x0a, glScaled, "ddd", void, (GLdouble x, GLdouble y, GLdouble z), (x, y, z))                            \
    X(0x0b, glPixelStorei, "xi", void, (GLenum pname, GLint param), (pname, param))                            \
    X(0x0c, glGetIntegerv, "xo", void, (GLenum pname, GLint *data), (pname, data))                             \
    X(0x0d, glTexImage1D, "xixiixxI", void,                                                                    \
      (GLenum target, GLint level, GLint internalFormat, GLsizei width, GLint border, GLenum format,           \
       GLenum type, const GLvoid *pixels),                                                                     \
      (target, level, internalFormat, width, border, format, type, pixels))                                    \
    X(0x0e, glTexImage2D, "xixiiixxI", void,                                                                   \
      (GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,           \
       GLenum format, GLenum type, const GLvoid *pixels),                                                      \
      (target, level, internalFormat, width, height, border, format, type, pixels))                            \
    X(0x0f, glVertex3dv, "D", void, (const GLdouble *v), (v))                                                  \
    X(0x10, glEdgeFlag, "b", void, (GLboolean flag), (flag))                                                   \
    X(0x11, glColor4f, "ffff", void, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a))              \
    X(0x12, glIndexf, "f", void, (GLfloat c), (c))                                                             \
    X(0x13, glTexCoord1f, "f", void, (GLfloat s), (s))                                                         \
    X(0x14, glTexCoord3f, "fff", void, (GLfloat s, GLfloat t, GLfloat r), (s, t, r))                          \
    X(0x15, glTexCoord4f, "ffff", void, (GLfloat s, GLfloat t, GLfloat r, GLfloat q), (s, t, r, q))              \
    X(0x16, glTexImage3D, "xixiiiixxI", void,                                                                  \
      (GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLsizei depth,          \
       GLint border, GLenum format, GLenum type, const GLvoid *pixels),                                        \
      (target, level, internalFormat, width, height, depth, border, format, type, pixels))

#define SOFTGLU_LIBRARY_CALLS(X)                                                                              \
    X(0x40, gluPerspective, "dddd", void, (GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar),     \
      (fovy, aspect, zNear, zFar))                                                                             \
    X(0x41, gluNewQuadric, "r", GLUquadricObj *, (void), ())                                                   \
    X(0x42, gluQuadricDrawStyle, "he", void, (GLUquadricObj * obj, int style), (obj, style))                  \
    X(0x43, gluCylinder, "hdddii", void,                                                                       \
      (GLUquadricObj * qobj, GLdouble baseRadius, GLdouble topRadius, GLdouble height, GLint slices,           \
       GLint stacks),                                                                                          \
      (qobj, baseRadius, topRadius, height, slices, stacks))                                                   \
    X(0x44, gluDisk, "hddii", void,                                                                            \
      (GLUquadricObj * qobj, GLdouble innerRadius, GLdouble outerRadius, GLint slices, GLint loops),           \
      (qobj, innerRadius, outerRadius, slices, loops))                                                         \
    X(0x45, gluSphere, "hfii", void, (GLUquadricObj * qobj, float radius, int slices, int stacks),            \
      (qobj, radius, slices, stacks))                                                                          \
    X(0x46, drawTorus, "fifi", void, (float rc, int numc, float rt, int numt), (rc, numc, rt, numt))

#define SOFTGLU_COMPAT_CALLS(X)                                                                               \
    X(0x47, gluDeleteQuadric, "h", void, (GLUquadricObj * qobj), (qobj))                                       \
    X(0x48, gluQuadricNormals, "he", void, (GLUquadricObj * qobj, GLenum normal), (qobj, normal))              \
    X(0x49, gluQuadricTexture, "hb", void, (GLUquadricObj * qobj, GLboolean texture), (qobj, texture))         \
    X(0x4a, gluQuadricOrientation, "he", void, (GLUquadricObj * qobj, GLenum orientation),                     \
      (qobj, orientation))                                                                                     \
    X(0x4b, gluQuadricCallback, "hep", void, (GLUquadricObj * qobj, GLenum which, _GLUfuncptr fn),             \
      (qobj, which, fn))                                                                                       \
    X(0x4c, gluPartialDisk, "hddiidd", void,                                                                   \
      (GLUquadricObj * qobj, GLdouble innerRadius, GLdouble outerRadius, GLint slices, GLint loops,            \
       GLdouble startAngle, GLdouble sweepAngle),                                                              \
      (qobj, innerRadius, outerRadius, slices, loops, startAngle, sweepAngle))                                 \
    X(0x4d, gluLookAt, "ddddddddd", void,                                                                      \
      (GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY, GLdouble centerZ,      \
       GLdouble upX, GLdouble upY, GLdouble upZ),                                                              \
      (eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ))                                            \
    X(0x4e, gluOrtho2D, "dddd", void, (GLdouble left, GLdouble right, GLdouble bottom, GLdouble top),          \
      (left, right, bottom, top))                                                                              \
    X(0x4f, gluPickMatrix, "ddddV", void,                                                                      \
      (GLdouble x, GLdouble y, GLdouble deltaX, GLdouble deltaY, const GLint *viewport),                        \
      (x, y, deltaX, deltaY, viewport))                                                                        \
    X(0x50, gluBuild1DMipmaps, "xxixxp", GLint,                                                                \
      (GLenum target, GLint internalFormat, GLsizei width, GLenum format, GLenum type, const void *data),      \
      (target, internalFormat, width, format, type, data))                                                     \
    X(0x51, gluBuild2DMipmaps, "xxiixxp", GLint,                                                               \
      (GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format, GLenum type,          \
       const void *data),                                                                                      \
      (target, internalFormat, width, height, format, type, data))                                             \
    X(0x52, gluBuild1DMipmapLevels, "xxixxiiip", GLint,                                                        \
      (GLenum target, GLint internalFormat, GLsizei width, GLenum format, GLenum type, GLint userLevel,        \
       GLint base, GLint max, const void *data),                                                               \
      (target, internalFormat, width, format, type, userLevel, base, max, data))                               \
    X(0x53, gluBuild2DMipmapLevels, "xxiixxiiip", GLint,                                                       \
      (GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format, GLenum type,         \
       GLint userLevel, GLint base, GLint max, const void *data),                                              \
      (target, internalFormat, width, height, format, type, userLevel, base, max, data))                       \
    X(0x54, gluNewTess, "", GLUtesselator *, (void), ())                                                       \
    X(0x55, gluDeleteTess, "p", void, (GLUtesselator * tess), (tess))                                          \
    X(0x56, gluTessCallback, "pep", void, (GLUtesselator * tess, GLenum which, _GLUfuncptr fn),                \
      (tess, which, fn))                                                                                       \
    X(0x57, gluTessProperty, "ped", void, (GLUtesselator * tess, GLenum which, GLdouble data),                 \
      (tess, which, data))                                                                                     \
    X(0x58, gluGetTessProperty, "pep", void, (GLUtesselator * tess, GLenum which, GLdouble * data),            \
      (tess, which, data))                                                                                     \
    X(0x59, gluTessNormal, "pddd", void, (GLUtesselator * tess, GLdouble x, GLdouble y, GLdouble z),           \
      (tess, x, y, z))                                                                                         \
    X(0x5a, gluTessBeginPolygon, "pp", void, (GLUtesselator * tess, GLvoid * data), (tess, data))              \
    X(0x5b, gluTessBeginContour, "p", void, (GLUtesselator * tess), (tess))                                    \
    X(0x5c, gluTessVertex, "pDp", void, (GLUtesselator * tess, GLdouble * location, GLvoid * data),            \
      (tess, location, data))                                                                                  \
    X(0x5d, gluTessEndContour, "p", void, (GLUtesselator * tess), (tess))                                      \
    X(0x5e, gluTessEndPolygon, "p", void, (GLUtesselator * tess), (tess))                                      \
    X(0x5f, gluBeginPolygon, "p", void, (GLUtesselator * tess), (tess))                                        \
    X(0x60, gluNextContour, "pe", void, (GLUtesselator * tess, GLenum type), (tess, type))                     \
    X(0x61, gluEndPolygon, "p", void, (GLUtesselator * tess), (tess))                                         \
    X(0x62, gluNewNurbsRenderer, "", GLUnurbs *, (void), ())                                                   \
    X(0x63, gluDeleteNurbsRenderer, "p", void, (GLUnurbs * nurb), (nurb))                                      \
    X(0x64, gluNurbsProperty, "pef", void, (GLUnurbs * nurb, GLenum property, GLfloat value),                  \
      (nurb, property, value))                                                                                 \
    X(0x65, gluGetNurbsProperty, "pep", void, (GLUnurbs * nurb, GLenum property, GLfloat * data),              \
      (nurb, property, data))                                                                                  \
    X(0x66, gluLoadSamplingMatrices, "pppV", void,                                                             \
      (GLUnurbs * nurb, const GLfloat *model, const GLfloat *perspective, const GLint *view),                  \
      (nurb, model, perspective, view))                                                                        \
    X(0x67, gluBeginCurve, "p", void, (GLUnurbs * nurb), (nurb))                                               \
    X(0x68, gluNurbsCurve, "pipipix", void,                                                                    \
      (GLUnurbs * nurb, GLint knotCount, GLfloat * knots, GLint stride, GLfloat * control, GLint order,        \
       GLenum type),                                                                                           \
      (nurb, knotCount, knots, stride, control, order, type))                                                  \
    X(0x69, gluEndCurve, "p", void, (GLUnurbs * nurb), (nurb))                                                 \
    X(0x6a, gluBeginSurface, "p", void, (GLUnurbs * nurb), (nurb))                                             \
    X(0x6b, gluNurbsSurface, "pipipiipiix", void,                                                              \
      (GLUnurbs * nurb, GLint sKnotCount, GLfloat * sKnots, GLint tKnotCount, GLfloat * tKnots, GLint sStride, \
       GLint tStride, GLfloat * control, GLint sOrder, GLint tOrder, GLenum type),                             \
      (nurb, sKnotCount, sKnots, tKnotCount, tKnots, sStride, tStride, control, sOrder, tOrder, type))         \
    X(0x6c, gluEndSurface, "p", void, (GLUnurbs * nurb), (nurb))                                               \
    X(0x6d, gluBeginTrim, "p", void, (GLUnurbs * nurb), (nurb))                                                \
    X(0x6e, gluPwlCurve, "pipie", void, (GLUnurbs * nurb, GLint count, GLfloat * data, GLint stride, GLenum type), \
      (nurb, count, data, stride, type))                                                                       \
    X(0x6f, gluEndTrim, "p", void, (GLUnurbs * nurb), (nurb))                                                  \
    X(0x70, gluNurbsCallback, "pep", void, (GLUnurbs * nurb, GLenum which, _GLUfuncptr fn), (nurb, which, fn)) \
    X(0x71, gluNurbsCallbackData, "pp", void, (GLUnurbs * nurb, GLvoid * userData), (nurb, userData))          \
    X(0x72, gluNurbsCallbackDataEXT, "pp", void, (GLUnurbs * nurb, GLvoid * userData), (nurb, userData))       \
    X(0x73, gluBuild3DMipmaps, "xxiiixxp", GLint,                                                              \
      (GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLsizei depth, GLenum format,       \
       GLenum type, const void *data),                                                                         \
      (target, internalFormat, width, height, depth, format, type, data))                                      \
    X(0x74, gluBuild3DMipmapLevels, "xxiiixxiiip", GLint,                                                      \
      (GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLsizei depth, GLenum format,       \
       GLenum type, GLint userLevel, GLint base, GLint max, const void *data),                                 \
      (target, internalFormat, width, height, depth, format, type, userLevel, base, max, data))

#define SOFTGLU_GL_CALLS(X) SOFTGLU_LIBRARY_GL_CALLS(X) SOFTGLU_COMPAT_GL_CALLS(X)

/* Every call, for what is made of all of them alike. */
#define SOFTGLU_TRACED_CALLS(X) SOFTGLU_GL_CALLS(X) SOFTGLU_LIBRARY_CALLS(X) SOFTGLU_COMPAT_CALLS(X)

/* Each call's tag by name: SOFTGLU_REC_gluSphere, SOFTGLU_REC_glBegin. */
#define SOFTGLU_REC_TAG(tag, name, kinds, ret, params, args) SOFTGLU_REC_##name = tag,
enum softglu_rec_tag { SOFTGLU_TRACED_CALLS(SOFTGLU_REC_TAG) SOFTGLU_REC_FAMILY = 0x7f };
#undef SOFTGLU_REC_TAG

#endif
