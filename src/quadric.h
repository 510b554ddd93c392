/* SPDX-License-Identifier: MIT */
// The cylinder and the sphere, written once for every way softglu draws
// them, and what all the quadrics share: the normal helper and the look.
//
// A look says how a quadric is drawn: its style (filled, lines, points or
// outline), whether its inside faces front, its normals (smooth, one per
// face, none) and its texture coordinates (none, softglu's own, or the
// classic mapping).  Every tessellator below takes one as a template
// parameter.  src/glu.cpp draws with LibraryLook, whose answers are
// compile-time constants: the tests that the look asks fold away, and the
// library compiles to its one stream (filled, smooth, outside, softglu's
// own coordinates).  The compatibility layer (src/compat/quadric.cpp)
// draws with a handle's settings, read at run time, from the same code:
// every variant sends the vertices and normals of these functions, so no
// step of their arithmetic exists twice.
//
// The sources that include this include src/exact.h first.  Everything here
// has internal linkage: it adds no symbol to the library or the archive.
// Loop counters that run up to a count inclusive are 64-bit, so a count of
// INT_MAX ends after INT_MAX + 1 steps instead of overflowing.
#ifndef SOFTGLU_SRC_QUADRIC_H
#define SOFTGLU_SRC_QUADRIC_H

#include <GL/gl.h>

#include <math.h>
#include <stdint.h>

namespace {

const double kPi = 3.141592653589793;     // 0x400921FB54442D18
const double kTwoPi = 6.283185307179586;  // 0x401921FB54442D18

enum class Style { Fill, Line, Point, Silhouette };
enum class Normals { Smooth, Flat, None };
// Own: softglu's coordinates, those libsoftglu sends.  Classic: the classic
// mapping, each coordinate reflected from softglu's (see texCoord).
enum class Texture { None, Own, Classic };

// How libsoftglu draws, fixed when it is compiled.
struct LibraryLook {
    static constexpr Style style() { return Style::Fill; }
    static constexpr bool inside() { return false; }
    static constexpr Normals normals() { return Normals::Smooth; }
    static constexpr Texture texture() { return Texture::Own; }
};

// Sends (x, y, z) scaled to unit length.  The squared length is summed in
// single precision on purpose, its root taken in double.  A vector no longer
// than 1e-5f (or with a NaN length) is sent exactly as it came.
inline void normal3f(GLfloat x, GLfloat y, GLfloat z) {
    const float sum = x * x + y * y + z * z;  // float products and sums, in order
    const double mag = sqrt(static_cast<double>(sum));
    if (mag > static_cast<double>(0.00001f)) {
        x = static_cast<float>(static_cast<double>(x) / mag);
        y = static_cast<float>(static_cast<double>(y) / mag);
        z = static_cast<float>(static_cast<double>(z) / mag);
    }
    glNormal3f(x, y, z);
}

// A component of a normal as the look faces it: negated (exactly) for the
// inside.  Negating a vector before normal3f negates what it sends.
template <typename L>
float facing(const L &look, float v) {
    return look.inside() ? -v : v;
}

// Whether each vertex sends its own normal: in the smooth style, and with
// one normal per face in the styles that draw no faces.
template <typename L>
bool vertexNormals(const L &look) {
    return look.normals() == Normals::Smooth || (look.normals() == Normals::Flat && look.style() != Style::Fill);
}

// Whether each face sends one normal of its own.
template <typename L>
bool faceNormals(const L &look) {
    return look.normals() == Normals::Flat && look.style() == Style::Fill;
}

// Sends softglu's own texture coordinate (s, t), or its classic one: 1 - s,
// and 1 - t where `flipT` (one single subtraction each), or nothing.
template <typename L>
void texCoord(const L &look, float s, float t, bool flipT) {
    if (look.texture() == Texture::Own)
        glTexCoord2f(s, t);
    else if (look.texture() == Texture::Classic)
        glTexCoord2f(1.0f - s, flipT ? 1.0f - t : t);
}

// ---- The cylinder ---------------------------------------------------------

struct CylinderSteps {
    float du, dv;      // texture steps, single
    double da, dr, dz; // angle, radius and height steps, double
    float nz;          // the normals' slope, single
};

inline CylinderSteps cylinderSteps(GLdouble baseRadius, GLdouble topRadius, GLdouble height, GLint slices,
                                   GLint stacks) {
    // Counts go to double directly.  Zero counts divide by zero under IEEE
    // rules; the results feed only values that are then never emitted.
    const float du = static_cast<float>(1.0 / static_cast<double>(slices));
    const float dv = static_cast<float>(1.0 / static_cast<double>(stacks));
    const double da = kTwoPi / static_cast<double>(slices);
    const double dr = (topRadius - baseRadius) / static_cast<double>(stacks);
    const double dz = height / static_cast<double>(stacks);
    const float nz = static_cast<float>((baseRadius - topRadius) / height);
    return {du, dv, da, dr, dz, nz};
}

struct CylinderEdge {
    float x, y;
};

// The direction of edge k, at angle k * da (0 on +y, growing towards -x),
// in double and rounded to single.  The closing edge k = slices comes from
// slices * da like any other, not snapped back to angle 0.
inline CylinderEdge cylinderEdge(int64_t k, double da) {
    const double a = static_cast<double>(k) * da;
    return {static_cast<float>(-sin(a)), static_cast<float>(cos(a))};
}

// A row of the wall: radius (double), height and texture t (single).
struct CylinderRow {
    double r;
    float z, t;
};

// The next row.  Accumulated, not recomputed from the row's index: z and t
// in single precision on purpose, r in double.
inline void cylinderAdvance(CylinderRow &row, const CylinderSteps &c) {
    row.z = static_cast<float>(static_cast<double>(row.z) + c.dz);
    row.r = row.r + c.dr;
    row.t = row.t + c.dv;
}

// The vertex of edge e on a row, with texture s: its normal (the edge's
// direction tilted by the slope), its texture coordinate, its position
// (each product double, rounded once).
template <typename L>
void cylinderVertex(const L &look, CylinderEdge e, float nz, float s, const CylinderRow &row) {
    if (vertexNormals(look))
        normal3f(facing(look, e.x), facing(look, e.y), facing(look, nz));
    texCoord(look, s, row.t, false);
    glVertex3f(static_cast<float>(static_cast<double>(e.x) * row.r),
               static_cast<float>(static_cast<double>(e.y) * row.r), row.z);
}

// The filled wall: one GL_QUAD_STRIP per wedge, bottom to top, the lower
// angle first in each row (the higher first for the inside).  A wedge is
// flat, so with one normal per face it sends one before its strip: the
// normalised sum of its two edges' normals.
template <typename L>
void cylinderWall(const L &look, const CylinderSteps &c, GLdouble baseRadius, GLint slices, GLint stacks) {
    float tcx = 0.0f;
    for (int64_t i = 0; i < slices; ++i) {
        const CylinderEdge e1 = cylinderEdge(i, c.da);
        const CylinderEdge e2 = cylinderEdge(i + 1, c.da);
        if (faceNormals(look))  // single sums
            normal3f(facing(look, e1.x + e2.x), facing(look, e1.y + e2.y), facing(look, c.nz + c.nz));
        glBegin(GL_QUAD_STRIP);
        CylinderRow row = {baseRadius, 0.0f, 0.0f};
        for (int64_t j = 0; j <= stacks; ++j) {
            const float s2 = tcx + c.du;
            if (!look.inside()) {
                cylinderVertex(look, e1, c.nz, tcx, row);
                cylinderVertex(look, e2, c.nz, s2, row);
            } else {
                cylinderVertex(look, e2, c.nz, s2, row);
                cylinderVertex(look, e1, c.nz, tcx, row);
            }
            cylinderAdvance(row, c);
        }
        glEnd();
        tcx = tcx + c.du;
    }
}

// Every edge k = 0 ... slices from bottom to top, each one primitive of
// `mode`: lines along the wall, or its vertices as points.
template <typename L>
void cylinderEdges(const L &look, const CylinderSteps &c, GLdouble baseRadius, GLint slices, GLint stacks,
                   GLenum mode) {
    float s = 0.0f;  // edge k's texture s: k single additions, as the wall's
    for (int64_t k = 0; k <= slices; ++k) {
        const CylinderEdge e = cylinderEdge(k, c.da);
        glBegin(mode);
        CylinderRow row = {baseRadius, 0.0f, 0.0f};
        for (int64_t j = 0; j <= stacks; ++j) {
            cylinderVertex(look, e, c.nz, s, row);
            cylinderAdvance(row, c);
        }
        glEnd();
        s = s + c.du;
    }
}

// One row around the wall, edge 0 to the closing edge, as a GL_LINE_STRIP.
template <typename L>
void cylinderRing(const L &look, const CylinderSteps &c, GLint slices, const CylinderRow &row) {
    glBegin(GL_LINE_STRIP);
    float s = 0.0f;
    for (int64_t k = 0; k <= slices; ++k) {
        cylinderVertex(look, cylinderEdge(k, c.da), c.nz, s, row);
        s = s + c.du;
    }
    glEnd();
}

// The cylinder's wall in the look's style.  Lines: every edge, then every
// row.  Points: every edge's vertices.  Outline: the bottom row and the top
// one, no line between them.
template <typename L>
void cylinder(const L &look, GLdouble baseRadius, GLdouble topRadius, GLdouble height, GLint slices,
              GLint stacks) {
    const CylinderSteps c = cylinderSteps(baseRadius, topRadius, height, slices, stacks);
    if (look.style() == Style::Fill) {
        cylinderWall(look, c, baseRadius, slices, stacks);
        return;
    }
    if (slices <= 0)
        return;
    if (look.style() != Style::Silhouette)
        cylinderEdges(look, c, baseRadius, slices, stacks, look.style() == Style::Point ? GL_POINTS : GL_LINE_STRIP);
    if (look.style() == Style::Point)
        return;
    CylinderRow row = {baseRadius, 0.0f, 0.0f};
    for (int64_t j = 0; j <= stacks; ++j) {
        if (look.style() == Style::Line || j == 0 || j == stacks)
            cylinderRing(look, c, slices, row);
        cylinderAdvance(row, c);
    }
}

// ---- The sphere -----------------------------------------------------------

struct SphereSteps {
    float drho, dtheta;  // polar and azimuth steps, single
    float ds, dt;        // texture steps, single
};

// Angles, steps and texture coordinates are single precision on purpose.
// The angle steps divide by the counts taken through float; the texture
// steps by the counts taken to double directly.
inline SphereSteps sphereSteps(int slices, int stacks) {
    const float drho = static_cast<float>(
        kPi / static_cast<double>(static_cast<float>(stacks)));
    const float dtheta = static_cast<float>(
        kTwoPi / static_cast<double>(static_cast<float>(slices)));
    const float ds = static_cast<float>(1.0 / static_cast<double>(slices));
    const float dt = static_cast<float>(1.0 / static_cast<double>(stacks));
    return {drho, dtheta, ds, dt};
}

struct SpherePoint {
    float x, y, z;
};

// The unit vector at polar angle rho (0 at +z) and azimuth theta (0 on +y,
// growing towards -x).  sin and cos are taken in double and evaluated afresh
// for every vertex; the products are double, rounded once to float.
inline SpherePoint spherePoint(float rho, float theta) {
    const double r = static_cast<double>(rho);
    const double t = static_cast<double>(theta);
    return {static_cast<float>(-sin(t) * sin(r)),
            static_cast<float>(cos(t) * sin(r)),
            static_cast<float>(cos(r))};
}

// Azimuth of column j: exactly 0 for the closing column, so it repeats
// column 0 bit for bit.
inline float sphereAzimuth(int64_t j, int slices, float dtheta) {
    return (j == slices) ? 0.0f : static_cast<float>(j) * dtheta;
}

// A vertex at unit point p: its normal (p itself), its texture coordinate
// (softglu's own (s, t), when `textured`), p times the radius.
template <typename L>
void sphereVertex(const L &look, SpherePoint p, float radius, bool textured, float s, float t) {
    if (vertexNormals(look))
        glNormal3f(facing(look, p.x), facing(look, p.y), facing(look, p.z));
    if (textured)
        texCoord(look, s, t, true);
    glVertex3f(p.x * radius, p.y * radius, p.z * radius);  // float products
}

// The normal of the face with corners a, b, c (and d): their unit normals
// summed in single precision, in that order, and normalised.
template <typename L>
void sphereFaceNormal(const L &look, SpherePoint a, SpherePoint b, SpherePoint c, SpherePoint d) {
    normal3f(facing(look, a.x + b.x + c.x + d.x), facing(look, a.y + b.y + c.y + d.y),
             facing(look, a.z + b.z + c.z + d.z));
}

// A pole of the sphere, z = +1 or -1: its normal, its texture coordinate
// (s = 0.5), the vertex (0, 0, z * radius) sent as such.
template <typename L>
void spherePole(const L &look, float z, float radius, float t) {
    if (vertexNormals(look))
        glNormal3f(0.0f, 0.0f, facing(look, z));
    texCoord(look, 0.5f, t, true);
    glVertex3f(0.0f, 0.0f, z > 0.0f ? radius : -radius);
}

// A fan around a pole (z = +1: the top, from column 0 up; z = -1: the
// bottom, from the closing column down) over the ring at polar angle rho
// with texture t, walked the other way round for the inside.  softglu's
// own top ring sends no texture coordinate: every ring vertex carries the
// pole's (0.5, 0).  Every other ring gives each vertex its s: from 0 up or
// from 1 down, in the order the ring is walked, by single steps of ds.  With
// one normal per face, each triangle's comes before its last vertex, the
// one GL's flat shading takes.
template <typename L>
void sphereFan(const L &look, const SphereSteps &st, float radius, int slices, float z, float rho, float t) {
    const bool up = (z > 0.0f) != look.inside();  // walking to higher columns
    const bool textured = z < 0.0f || look.texture() == Texture::Classic;
    const SpherePoint pole = {0.0f, 0.0f, z};
    glBegin(GL_TRIANGLE_FAN);
    spherePole(look, z, radius, z > 0.0f ? 0.0f : 1.0f);
    float s = up ? 0.0f : 1.0f;
    SpherePoint last = pole;
    for (int64_t k = 0; k <= slices; ++k) {
        const int64_t j = up ? k : slices - k;
        const SpherePoint p = spherePoint(rho, sphereAzimuth(j, slices, st.dtheta));
        if (faceNormals(look) && k > 0)
            sphereFaceNormal(look, pole, last, p, SpherePoint{0.0f, 0.0f, 0.0f});
        sphereVertex(look, p, radius, textured, s, t);
        if (textured)
            s = up ? s + st.ds : s - st.ds;
        last = p;
    }
    glEnd();
}

// Bands from +z down to -z, one GL_QUAD_STRIP each, the upper vertex of a
// column first (the lower for the inside).  t falls and s rises by repeated
// single subtraction and addition, not recomputed from the indices.
template <typename L>
void sphereBands(const L &look, const SphereSteps &st, float radius, int slices, int stacks) {
    float t = 1.0f;
    for (int64_t i = 0; i < stacks; ++i) {
        const float rho = static_cast<float>(i) * st.drho;
        glBegin(GL_QUAD_STRIP);
        float s = 0.0f;
        SpherePoint lastUpper = {}, lastLower = {};
        for (int64_t j = 0; j <= slices; ++j) {
            const float theta = sphereAzimuth(j, slices, st.dtheta);
            const SpherePoint upper = spherePoint(rho, theta);
            const SpherePoint lower = spherePoint(rho + st.drho, theta);
            if (faceNormals(look) && j > 0)
                sphereFaceNormal(look, lastUpper, lastLower, upper, lower);
            if (!look.inside()) {
                sphereVertex(look, upper, radius, true, s, 1.0f - t);
                sphereVertex(look, lower, radius, true, s, 1.0f - (t - st.dt));
            } else {
                sphereVertex(look, lower, radius, true, s, 1.0f - (t - st.dt));
                sphereVertex(look, upper, radius, true, s, 1.0f - t);
            }
            s = s + st.ds;
            lastUpper = upper;
            lastLower = lower;
        }
        glEnd();
        t = t - st.dt;
    }
}

// Meridian j from the +z pole down, as one primitive of `mode`: each band's
// upper vertex of column j, then the last band's lower one.
template <typename L>
void sphereMeridian(const L &look, const SphereSteps &st, float radius, int slices, int stacks, int64_t j,
                    float s, GLenum mode) {
    const float theta = sphereAzimuth(j, slices, st.dtheta);
    glBegin(mode);
    float t = 1.0f;
    for (int64_t i = 0; i < stacks; ++i) {
        const float rho = static_cast<float>(i) * st.drho;
        sphereVertex(look, spherePoint(rho, theta), radius, true, s, 1.0f - t);
        if (i + 1 == stacks)
            sphereVertex(look, spherePoint(rho + st.drho, theta), radius, true, s, 1.0f - (t - st.dt));
        t = t - st.dt;
    }
    glEnd();
}

// The upper row of a band, all the way round, as a GL_LINE_STRIP.
template <typename L>
void sphereParallel(const L &look, const SphereSteps &st, float radius, int slices, float rho, float t) {
    glBegin(GL_LINE_STRIP);
    float s = 0.0f;
    for (int64_t j = 0; j <= slices; ++j) {
        sphereVertex(look, spherePoint(rho, sphereAzimuth(j, slices, st.dtheta)), radius, true, s, 1.0f - t);
        s = s + st.ds;
    }
    glEnd();
}

// The sphere in the look's style.  Filled: a fan around the +z pole, the
// bands, a fan around the -z pole.  Lines and outline (no two faces of a
// sphere lie in one plane): every meridian, then the rows between the
// bands.  Points: the meridians' vertices.  The bands' vertices only: the
// fans repeat them up to rounding.
template <typename L>
void sphere(const L &look, float radius, int slices, int stacks) {
    const SphereSteps st = sphereSteps(slices, stacks);
    if (look.style() == Style::Fill) {
        // The top ring's own t, dt: its classic 1 - dt is, bit for bit, that
        // of the first band's lower row, 1 - (1 - (1 - dt)).
        sphereFan(look, st, radius, slices, 1.0f, st.drho, st.dt);
        sphereBands(look, st, radius, slices, stacks);
        sphereFan(look, st, radius, slices, -1.0f, static_cast<float>(kPi - static_cast<double>(st.drho)),
                  1.0f - st.dt);
        return;
    }
    if (stacks <= 0 || slices < 0)
        return;
    const GLenum mode = look.style() == Style::Point ? GL_POINTS : GL_LINE_STRIP;
    float s = 0.0f;
    for (int64_t j = 0; j <= slices; ++j) {
        sphereMeridian(look, st, radius, slices, stacks, j, s, mode);
        s = s + st.ds;
    }
    if (look.style() == Style::Point)
        return;
    float t = 1.0f - st.dt;
    for (int64_t i = 1; i < stacks; ++i) {
        sphereParallel(look, st, radius, slices, static_cast<float>(i) * st.drho, t);
        t = t - st.dt;
    }
}

}  // namespace

#endif
