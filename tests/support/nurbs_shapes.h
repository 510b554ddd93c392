// SPDX-License-Identifier: MIT
// The NURBS shapes the unit tests (tests/unit/test_nurbs.cpp) and the
// reference corpus (tests/reference/corpus_nurbs.cpp) draw, then the calls
// that raise each error.  A surface comes as float (the corpus's) or double
// (the unit tests'), each value the type's correctly rounded operation on
// decimal literals: the same everywhere.
#ifndef SOFTGLU_NURBS_SHAPES_H
#define SOFTGLU_NURBS_SHAPES_H

#include <GL/glu.h>
#include <GL/glu_compat.h>

#include <cstddef>
#include <limits>
#include <vector>

namespace nurbs_shapes {
namespace {

// ---- Surfaces ---------------------------------------------------------------------

// Knots clamped at lo and hi (each `order` times), the interior between.
template <typename Real>
std::vector<Real> clampedKnots(int order, const std::vector<Real> &interior, Real lo = 0, Real hi = 1) {
    std::vector<Real> k(static_cast<std::size_t>(order), lo);
    k.insert(k.end(), interior.begin(), interior.end());
    k.insert(k.end(), static_cast<std::size_t>(order), hi);
    return k;
}

// A bumpy height field over its nu by nv control points, h apart: point
// (i, j) is (i h, j h, ((7 i + 3 j) mod 5 / 2 - 1) h), every value exact.
template <typename Real>
std::vector<Real> bumpy(int nu, int nv, Real h) {
    std::vector<Real> p;
    for (int i = 0; i < nu; ++i)
        for (int j = 0; j < nv; ++j)
            p.insert(p.end(), {static_cast<Real>(i) * h, static_cast<Real>(j) * h,
                               (static_cast<Real>((i * 7 + j * 3) % 5) / 2 - 1) * h});
    return p;
}

// sqrt(1/2), a quarter circle's middle weight: this decimal rounds as the
// root does, to float and to double.
const double kHalfRoot = 0.70710678118654752;

// A quarter cylinder of radius 2 and height 3 about the z axis, points
// (x w, y w, z w, w): rational quadratic along u, linear along v.
template <typename Real>
std::vector<Real> quarterCylinder() {
    const Real w = static_cast<Real>(kHalfRoot);
    const Real ring[3][3] = {{2, 0, 1}, {2, 2, w}, {0, 2, 1}};  // x, y, weight
    std::vector<Real> p;
    for (auto &r : ring)
        for (Real z : {Real(0), Real(3)})
            p.insert(p.end(), {r[0] * r[2], r[1] * r[2], z * r[2], r[2]});
    return p;
}

// One octant of the unit sphere, rational biquadratic, degenerate at the pole.
template <typename Real>
std::vector<Real> sphereOctant() {
    const Real w = static_cast<Real>(kHalfRoot);
    const Real arc[3][3] = {{1, 0, 1}, {1, 1, w}, {0, 1, 1}};  // in the x-y plane, with weights
    std::vector<Real> p;
    for (auto &a : arc)        // around z
        for (auto &b : arc) {  // from the equator up to the pole
            const Real wt = a[2] * b[2];
            p.insert(p.end(), {a[0] * b[0] * wt, a[1] * b[0] * wt, b[1] * wt, wt});
        }
    return p;
}

// ---- Curves -------------------------------------------------------------------------

// A cubic with interior knots 1, 2 and 2; point i is (i, 5 i mod 3, i / 2).
const std::vector<float> kCubicKnots = {0, 0, 0, 0, 1, 2, 2, 4, 4, 4, 4};
const std::vector<float> kCubicPoints = {0, 0, 0, 1, 2, 0.5f, 2, 1, 1, 3, 0, 1.5f, 4, 2, 2, 5, 1, 2.5f, 6, 0, 3};

// A rational quadratic quarter circle, radius 3 about the origin, z = 0.
std::vector<float> quarterCircle() {
    const float w = static_cast<float>(kHalfRoot);
    return {3, 0, 0, 1, 3 * w, 3 * w, 0, w, 0, 3, 0, 1};
}

// ---- Trims ---------------------------------------------------------------------------

// The outer square, the whole domain [0, 1]^2: counterclockwise, closed.
std::vector<float> gSquare = {0, 0, 1, 0, 1, 1, 0, 1, 0, 0};

// One trim loop of one piecewise-linear piece through the (u, v) points.
void trimLoop(GLUnurbs *n, std::vector<float> pts) {
    gluBeginTrim(n);
    gluPwlCurve(n, static_cast<GLint>(pts.size() / 2), pts.data(), 2, GLU_MAP1_TRIM_2);
    gluEndTrim(n);
}

// The textbook's hole, clockwise: a cubic arc up from (0.25, 0.5) to
// (0.75, 0.5), then a piecewise-linear piece down through (0.5, 0.25).
void textbookHole(GLUnurbs *n) {
    float knots[8] = {0, 0, 0, 0, 1, 1, 1, 1};
    float arc[4][2] = {{0.25f, 0.5f}, {0.25f, 0.75f}, {0.75f, 0.75f}, {0.75f, 0.5f}};
    float line[3][2] = {{0.75f, 0.5f}, {0.5f, 0.25f}, {0.25f, 0.5f}};
    gluBeginTrim(n);
    gluNurbsCurve(n, 8, knots, 2, &arc[0][0], 4, GLU_MAP1_TRIM_2);
    gluPwlCurve(n, 3, &line[0][0], 2, GLU_MAP1_TRIM_2);
    gluEndTrim(n);
}

// ---- Errors ----------------------------------------------------------------------------

// What the error cases give: a cubic's knots and points (zeros, enough for
// a bicubic patch), and knots and loops each wrong in one way.
float gKnots[8] = {0, 0, 0, 0, 1, 1, 1, 1};
float gPoints[48] = {};
float gClockwise[10] = {0, 0, 0, 1, 1, 1, 1, 0, 0, 0};
float gInner[10] = {0.25f, 0.25f, 0.75f, 0.25f, 0.75f, 0.75f, 0.25f, 0.75f, 0.25f, 0.25f};
float gNaNKnots[8] = {0, 0, 0, 0, std::numeric_limits<float>::quiet_NaN(), 1, 1, 1};
float gDecreasing[8] = {0, 0, 0, 0, 1, 0.5f, 1, 1};
float gFiveTimes[9] = {0, 0, 0, 0, 0, 1, 1, 1, 1};
float gEmptyRange[4] = {0, 1, 1, 2};
float gOpen[8] = {0, 0, 1, 0, 1, 1, 0, 1};
float gApart[4] = {0.5f, 0.5f, 0.6f, 0.6f};
float gCrossing[10] = {0.2f, 0.2f, 0.8f, 0.8f, 0.8f, 0.2f, 0.2f, 0.8f, 0.2f, 0.2f};

// A bicubic patch of gPoints, and a cubic of them as `type`.
void patch(GLUnurbs *n) { gluNurbsSurface(n, 8, gKnots, 8, gKnots, 12, 3, gPoints, 4, 4, GL_MAP2_VERTEX_3); }
void cubic(GLUnurbs *n, GLenum type = GL_MAP1_VERTEX_3) { gluNurbsCurve(n, 8, gKnots, 3, gPoints, 4, type); }
// A piecewise-linear trim piece of `count` points.
void piece(GLUnurbs *n, float *pts, int count = 5) { gluPwlCurve(n, count, pts, 2, GLU_MAP1_TRIM_2); }
// The patch, trimmed by what `trims` calls.
void trimmed(GLUnurbs *n, void (*trims)(GLUnurbs *)) {
    gluBeginSurface(n);
    patch(n);
    trims(n);
    gluEndSurface(n);
}

// Calls made on a new object in tessellator mode that report `errors` and
// draw nothing.  The corpus replays the cases its stream holds (inReference).
struct ErrorCase {
    const char *name;
    void (*calls)(GLUnurbs *n);
    std::vector<GLenum> errors;
    bool inReference;
};

const ErrorCase kErrorCases[] = {
    {"order 0", [](GLUnurbs *n) { gluBeginCurve(n); gluNurbsCurve(n, 8, gKnots, 3, gPoints, 0, GL_MAP1_VERTEX_3); gluEndCurve(n); }, {GLU_NURBS_ERROR1}, false},
    {"order 17", [](GLUnurbs *n) { gluBeginCurve(n); gluNurbsCurve(n, 8, gKnots, 3, gPoints, 17, GL_MAP1_VERTEX_3); gluEndCurve(n); }, {GLU_NURBS_ERROR1}, true},
    {"too few knots", [](GLUnurbs *n) { gluBeginCurve(n); gluNurbsCurve(n, 7, gKnots, 3, gPoints, 4, GL_MAP1_VERTEX_3); gluEndCurve(n); }, {GLU_NURBS_ERROR2}, true},
    {"empty range", [](GLUnurbs *n) { gluBeginCurve(n); gluNurbsCurve(n, 4, gEmptyRange, 3, gPoints, 2, GL_MAP1_VERTEX_3); gluEndCurve(n); }, {GLU_NURBS_ERROR3}, true},
    {"decreasing knots", [](GLUnurbs *n) { gluBeginCurve(n); gluNurbsCurve(n, 8, gDecreasing, 3, gPoints, 4, GL_MAP1_VERTEX_3); gluEndCurve(n); }, {GLU_NURBS_ERROR4}, true},
    {"multiplicity", [](GLUnurbs *n) { gluBeginCurve(n); gluNurbsCurve(n, 9, gFiveTimes, 3, gPoints, 4, GL_MAP1_VERTEX_3); gluEndCurve(n); }, {GLU_NURBS_ERROR5}, false},
    {"stride", [](GLUnurbs *n) { gluBeginCurve(n); gluNurbsCurve(n, 8, gKnots, 2, gPoints, 4, GL_MAP1_VERTEX_3); gluEndCurve(n); }, {GLU_NURBS_ERROR6}, true},
    {"surface map in a curve", [](GLUnurbs *n) { gluBeginCurve(n); cubic(n, GL_MAP2_VERTEX_3); gluEndCurve(n); }, {GLU_NURBS_ERROR7}, false},
    {"no position", [](GLUnurbs *n) { gluBeginCurve(n); cubic(n, GL_MAP1_NORMAL); gluEndCurve(n); }, {GLU_NURBS_ERROR8}, true},
    {"two positions", [](GLUnurbs *n) { gluBeginCurve(n); cubic(n); cubic(n); gluEndCurve(n); }, {GLU_NURBS_ERROR9}, true},
    {"NaN knot", [](GLUnurbs *n) { gluBeginCurve(n); gluNurbsCurve(n, 8, gNaNKnots, 3, gPoints, 4, GL_MAP1_VERTEX_3); gluEndCurve(n); }, {GLU_NURBS_ERROR10}, false},
    {"NaN point", [](GLUnurbs *n) { gPoints[4] = std::numeric_limits<float>::quiet_NaN(); gluBeginCurve(n); cubic(n); gluEndCurve(n); gPoints[4] = 0; }, {GLU_NURBS_ERROR10}, false},
    {"infinite point", [](GLUnurbs *n) { gPoints[5] = std::numeric_limits<float>::infinity(); gluBeginCurve(n); cubic(n); gluEndCurve(n); gPoints[5] = 0; }, {GLU_NURBS_ERROR10}, true},
    {"nested begin", [](GLUnurbs *n) { gluBeginCurve(n); gluBeginSurface(n); cubic(n); gluEndCurve(n); }, {GLU_NURBS_ERROR11}, false},
    {"end curve alone", [](GLUnurbs *n) { gluEndCurve(n); }, {GLU_NURBS_ERROR12}, false},
    {"end surface alone", [](GLUnurbs *n) { gluEndSurface(n); }, {GLU_NURBS_ERROR13}, false},
    {"map outside", [](GLUnurbs *n) { cubic(n); patch(n); }, {GLU_NURBS_ERROR14, GLU_NURBS_ERROR14}, false},
    {"trim outside", [](GLUnurbs *n) { gluBeginTrim(n); gluBeginCurve(n); gluBeginTrim(n); cubic(n); gluEndCurve(n); }, {GLU_NURBS_ERROR15, GLU_NURBS_ERROR15}, false},
    {"calls out of order", [](GLUnurbs *n) { gluEndCurve(n); gluEndSurface(n); cubic(n); gluBeginTrim(n); gluEndTrim(n); piece(n, gSquare.data()); gluBeginCurve(n); gluBeginSurface(n); gluEndCurve(n); },
     {GLU_NURBS_ERROR12, GLU_NURBS_ERROR13, GLU_NURBS_ERROR14, GLU_NURBS_ERROR15, GLU_NURBS_ERROR17, GLU_NURBS_ERROR18, GLU_NURBS_ERROR11}, true},
    {"nested trim", [](GLUnurbs *n) { trimmed(n, [](GLUnurbs *m) { gluBeginTrim(m); gluBeginTrim(m); piece(m, gSquare.data()); gluEndTrim(m); }); }, {GLU_NURBS_ERROR16}, false},
    {"end trim alone", [](GLUnurbs *n) { gluEndTrim(n); trimmed(n, [](GLUnurbs *m) { gluEndTrim(m); }); }, {GLU_NURBS_ERROR17, GLU_NURBS_ERROR17}, false},
    {"pwl outside", [](GLUnurbs *n) { piece(n, gSquare.data()); trimmed(n, [](GLUnurbs *m) { piece(m, gSquare.data()); }); }, {GLU_NURBS_ERROR18, GLU_NURBS_ERROR18}, false},
    {"pieces apart", [](GLUnurbs *n) { trimmed(n, [](GLUnurbs *m) { gluBeginTrim(m); piece(m, gSquare.data()); piece(m, gApart, 2); gluEndTrim(m); }); }, {GLU_NURBS_ERROR19}, false},
    {"open trim", [](GLUnurbs *n) { trimmed(n, [](GLUnurbs *m) { gluBeginTrim(m); piece(m, gOpen, 4); gluEndTrim(m); }); }, {GLU_NURBS_ERROR20}, true},
    {"crossing trim", [](GLUnurbs *n) { trimmed(n, [](GLUnurbs *m) { gluBeginTrim(m); piece(m, gCrossing); gluEndTrim(m); }); }, {GLU_NURBS_ERROR21}, true},
    {"clockwise outer trim", [](GLUnurbs *n) { trimmed(n, [](GLUnurbs *m) { gluBeginTrim(m); piece(m, gClockwise); gluEndTrim(m); }); }, {GLU_NURBS_ERROR22}, true},
    {"hole counterclockwise", [](GLUnurbs *n) { trimmed(n, [](GLUnurbs *m) { gluBeginTrim(m); piece(m, gSquare.data()); gluEndTrim(m); gluBeginTrim(m); piece(m, gInner); gluEndTrim(m); }); }, {GLU_NURBS_ERROR22}, false},
    {"surface ends in a trim", [](GLUnurbs *n) { trimmed(n, [](GLUnurbs *m) { gluBeginTrim(m); piece(m, gSquare.data()); }); }, {GLU_NURBS_ERROR23}, true},
    {"pwl of one point", [](GLUnurbs *n) { trimmed(n, [](GLUnurbs *m) { gluBeginTrim(m); piece(m, gSquare.data(), 1); gluEndTrim(m); }); }, {GLU_NURBS_ERROR2}, false},
    {"pwl stride below its point", [](GLUnurbs *n) { trimmed(n, [](GLUnurbs *m) { gluBeginTrim(m); gluPwlCurve(m, 3, gSquare.data(), 2, GLU_MAP1_TRIM_3); gluEndTrim(m); }); }, {GLU_NURBS_ERROR6}, false},
    {"empty trim", [](GLUnurbs *n) { trimmed(n, [](GLUnurbs *m) { gluBeginTrim(m); gluEndTrim(m); }); }, {GLU_NURBS_ERROR24}, false},
    {"surface map in a trim", [](GLUnurbs *n) { trimmed(n, [](GLUnurbs *m) { gluBeginTrim(m); patch(m); gluEndTrim(m); }); }, {GLU_NURBS_ERROR25}, false},
    {"vertex map in a trim", [](GLUnurbs *n) { trimmed(n, [](GLUnurbs *m) { gluBeginTrim(m); cubic(m); gluEndTrim(m); }); }, {GLU_NURBS_ERROR7}, false},
    {"trim type in a curve", [](GLUnurbs *n) { gluBeginCurve(n); cubic(n, GLU_MAP1_TRIM_2); gluEndCurve(n); }, {GLU_NURBS_ERROR7}, false},
};

}  // namespace
}  // namespace nurbs_shapes

#endif
