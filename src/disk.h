/* SPDX-License-Identifier: MIT */
// The flat disk, written once for gluDisk and the compatibility layer's
// gluDisk and gluPartialDisk, in every look of src/quadric.h: the radii
// and texture scale, the rings, the circles and spokes of the line styles.
// A caller gives the angle of every step; the rest of what goes to GL is
// the same for all, bit for bit.
//
// The sources that include this include src/exact.h first.  Everything here
// has internal linkage: it adds no symbol to the library or the archive.
#ifndef SOFTGLU_SRC_DISK_H
#define SOFTGLU_SRC_DISK_H

#include "quadric.h"

namespace {

struct DiskSteps {
    float dr;     // the ring step, single
    float dtc;    // the texture scale, twice the outer radius, single
    float inner;  // the inner radius, single
};

inline DiskSteps diskSteps(GLdouble innerRadius, GLdouble outerRadius, GLint loops) {
    // loops goes through float on its way to double (inexact above 2^24).
    const double loopCount = static_cast<double>(static_cast<float>(loops));
    const float dr = static_cast<float>((outerRadius - innerRadius) / loopCount);
    const float dtc = static_cast<float>(outerRadius + outerRadius);
    return {dr, dtc, static_cast<float>(innerRadius)};
}

// The angles of gluDisk's steps, 2 pi / slices apart; the last step uses
// angle 0 exactly, closing the ring on the same bits as the first.
inline double fullTurnAngle(int64_t s, GLint slices, double da) {
    return (s == slices) ? 0.0 : static_cast<double>(s) * da;
}

struct FullTurn {
    double da;
    GLint slices;
    double operator()(int64_t s) const { return fullTurnAngle(s, slices, da); }
};

inline FullTurn fullTurn(GLint slices) { return {kTwoPi / static_cast<double>(slices), slices}; }

struct DiskAngle {
    float sa, ca;
};

// The sine and cosine of a step at angle a (radians; 0 on +y, growing
// towards +x), in double, rounded to single.
inline DiskAngle diskAngle(double a) { return {static_cast<float>(sin(a)), static_cast<float>(cos(a))}; }

// The vertex at angle d and radius r, after its texture coordinate, which
// maps the square around the outer circle onto the unit square (the same
// for softglu's own and the classic mapping).
template <typename L>
void diskVertex(const L &look, DiskAngle d, float r, float dtc) {
    // Single products and division, double sum with 0.5.
    const float x = d.sa * r;
    const float y = d.ca * r;
    if (look.texture() != Texture::None)
        glTexCoord2f(static_cast<float>(static_cast<double>(x / dtc) + 0.5),
                     static_cast<float>(static_cast<double>(y / dtc) + 0.5));
    glVertex2f(x, y);
}

// `loops` rings from the inner radius out, each one GL_QUAD_STRIP of
// slices + 1 steps, the outer vertex of a step first (the inner for the
// inside); angle(s) is the angle of step s, a double.
template <typename L, typename Angle>
void diskRings(const L &look, const DiskSteps &d, GLint slices, GLint loops, Angle angle) {
    float r1 = d.inner;
    for (int64_t l = 0; l < loops; ++l) {
        const float r2 = r1 + d.dr;  // rings accumulate in single precision
        glBegin(GL_QUAD_STRIP);
        for (int64_t s = 0; s <= slices; ++s) {
            const DiskAngle a = diskAngle(angle(s));
            diskVertex(look, a, look.inside() ? r1 : r2, d.dtc);
            diskVertex(look, a, look.inside() ? r2 : r1, d.dtc);
        }
        glEnd();
        r1 = r2;
    }
}

// The circle at ring radius r through every step, as a GL_LINE_STRIP.
template <typename L, typename Angle>
void diskCircle(const L &look, const DiskSteps &d, GLint slices, float r, Angle angle) {
    glBegin(GL_LINE_STRIP);
    for (int64_t s = 0; s <= slices; ++s)
        diskVertex(look, diskAngle(angle(s)), r, d.dtc);
    glEnd();
}

// The spoke at angle a from the inner radius out through every ring
// radius, as one primitive of `mode`.
template <typename L>
void diskSpoke(const L &look, const DiskSteps &d, GLint loops, double a, GLenum mode) {
    const DiskAngle da = diskAngle(a);
    glBegin(mode);
    float r = d.inner;
    diskVertex(look, da, r, d.dtc);
    for (int64_t l = 0; l < loops; ++l) {
        r = r + d.dr;
        diskVertex(look, da, r, d.dtc);
    }
    glEnd();
}

// The disk in the look's style, after its one normal, (0, 0, 1) (or
// (0, 0, -1) for the inside; none without normals), which every vertex
// inherits.  Lines: the circle of every ring radius, then the spoke of
// every step.  Points: every spoke's vertices.  Outline: the inner circle
// (none when the inner radius is 0), the outer circle and, where `edges`
// (a sector short of a full turn), the first and last spokes.
template <typename L, typename Angle>
void disk(const L &look, GLdouble innerRadius, GLdouble outerRadius, GLint slices, GLint loops, bool edges,
          Angle angle) {
    if (look.normals() != Normals::None)
        glNormal3f(0.0f, 0.0f, facing(look, 1.0f));
    const DiskSteps d = diskSteps(innerRadius, outerRadius, loops);
    if (look.style() == Style::Fill) {
        diskRings(look, d, slices, loops, angle);
        return;
    }
    if (loops <= 0)
        return;
    if (look.style() == Style::Point) {
        for (int64_t s = 0; s <= slices; ++s)
            diskSpoke(look, d, loops, angle(s), GL_POINTS);
        return;
    }
    float r = d.inner;
    if (look.style() == Style::Line || r != 0.0f)
        diskCircle(look, d, slices, r, angle);
    for (int64_t l = 0; l < loops; ++l) {
        r = r + d.dr;
        if (look.style() == Style::Line || l + 1 == loops)
            diskCircle(look, d, slices, r, angle);
    }
    if (look.style() == Style::Line) {
        for (int64_t s = 0; s <= slices; ++s)
            diskSpoke(look, d, loops, angle(s), GL_LINE_STRIP);
    } else if (edges && slices >= 0) {
        diskSpoke(look, d, loops, angle(0), GL_LINE_STRIP);
        if (slices > 0)
            diskSpoke(look, d, loops, angle(slices), GL_LINE_STRIP);
    }
}

}  // namespace

#endif
