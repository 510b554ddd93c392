/* SPDX-License-Identifier: MIT */
// B-spline maps and their evaluation by de Boor's algorithm, for the NURBS
// calls (src/compat/nurbs.cpp): a map as copied from its call, a span
// found for a parameter, and a curve's or a surface's value and
// derivatives at a parameter.
//
// Precision.  Everything is double, one IEEE operation at a time, each
// rounded on its own (the arithmetic guard of src/exact.h): the knots and control points are the
// caller's floats widened exactly; each level of de Boor's scheme is
// beta * d[j-1] + alpha * d[j] with alpha = (u - t[i]) / (t[i+o-r] - t[i])
// and beta = 1 - alpha, in that order; a derivative is (order - 1) times
// the difference of the next-to-last level's two points over the span's
// length.  A surface is reduced along v, column by column, then along u.
// Nothing here narrows to float: the caller does, once, at the end.  The
// results are the same bits on every machine; they are not the exact
// values of the spline (each operation's rounding accumulates, a few units
// in the last place of double, far below float's).
//
// The sources that include this include src/exact.h first.  Everything
// here has internal linkage: it adds no symbol to the library or the
// archive.
#ifndef SOFTGLU_SRC_COMPAT_BSPLINE_H
#define SOFTGLU_SRC_COMPAT_BSPLINE_H

#include <GL/glu.h>

#include <stddef.h>
#include <string.h>

namespace {

const int kMaxOrder = GLU_NURBS_MAX_ORDER;
const int kMaxDim = 4;

// One map: kind 1 (curve) or 2 (surface); per direction d its order,
// control point count and knots; points [(i * count[1] + j) * dim + c].
struct Map {
    GLenum type;
    int dim, order[2], count[2];
    double *knots[2];
    double *points;
};

// The knot span of direction d holding u, clamped to the map's domain: the
// largest k in [order-1, count-1] with knots[k] <= u < knots[k+1] (the last
// non-empty span at the domain's right end).
int spanOf(const Map &m, int d, double u) {
    const double *t = m.knots[d];
    const int p = m.order[d] - 1;
    int lo = p, hi = m.count[d] - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (t[mid] <= u)
            lo = mid;
        else
            hi = mid - 1;
    }
    while (lo > p && !(t[lo] < t[lo + 1]))
        --lo;
    return lo;
}

double clampTo(const Map &m, int d, double u) {
    const double lo = m.knots[d][m.order[d] - 1], hi = m.knots[d][m.count[d]];
    return u < lo ? lo : u > hi ? hi : u;
}

// De Boor's scheme over span k of knots t for points d[0..order-1] of
// `dim` values (the control points k-order+1 .. k), in place: d[order-1]
// ends as the point at u and, when `deriv` is given, deriv as its
// derivative, order-1 times the difference of the two points of the
// next-to-last level over the span's length.
void deBoor(const double *t, int order, int k, double u, double *d, int dim, double *deriv) {
    const int p = order - 1;
    if (deriv) {
        for (int c = 0; c < dim; ++c)
            deriv[c] = 0.0;
    }
    for (int r = 1; r <= p; ++r) {
        if (deriv && r == p) {
            const double h = t[k + 1] - t[k];
            for (int c = 0; c < dim; ++c)
                deriv[c] = static_cast<double>(p) * (d[p * dim + c] - d[(p - 1) * dim + c]) / h;
        }
        for (int j = p; j >= r; --j) {
            const int i = k - p + j;
            const double alpha = (u - t[i]) / (t[i + order - r] - t[i]);
            const double beta = 1.0 - alpha;
            for (int c = 0; c < dim; ++c)
                d[j * dim + c] = beta * d[(j - 1) * dim + c] + alpha * d[j * dim + c];
        }
    }
}

// A curve map at u (span k, or found when k < 0): value, and derivative
// when asked.
void evalCurve(const Map &m, double u, int k, double *value, double *deriv) {
    if (k < 0) {
        u = clampTo(m, 0, u);
        k = spanOf(m, 0, u);
    }
    double d[kMaxOrder * kMaxDim];
    const int o = m.order[0];
    memcpy(d, m.points + static_cast<ptrdiff_t>(k - o + 1) * m.dim, sizeof(double) * static_cast<size_t>(o * m.dim));
    deBoor(m.knots[0], o, k, u, d, m.dim, deriv);
    memcpy(value, d + (o - 1) * m.dim, sizeof(double) * static_cast<size_t>(m.dim));
}

// A surface map at (u, v) in spans (ku, kv), or found when negative:
// value, and the partial derivatives along u and v when asked.  Each
// column of the span is reduced along v first, then the columns along u.
void evalSurface(const Map &m, double u, double v, int ku, int kv, double *value, double *du, double *dv) {
    if (ku < 0) {
        u = clampTo(m, 0, u);
        ku = spanOf(m, 0, u);
    }
    if (kv < 0) {
        v = clampTo(m, 1, v);
        kv = spanOf(m, 1, v);
    }
    const int ou = m.order[0], ov = m.order[1], dim = m.dim;
    double column[kMaxOrder * kMaxDim], q[kMaxOrder * kMaxDim], qv[kMaxOrder * kMaxDim];
    for (int a = 0; a < ou; ++a) {
        const int i = ku - ou + 1 + a;
        memcpy(column, m.points + (static_cast<ptrdiff_t>(i) * m.count[1] + kv - ov + 1) * dim,
               sizeof(double) * static_cast<size_t>(ov * dim));
        deBoor(m.knots[1], ov, kv, v, column, dim, dv ? qv + a * dim : nullptr);
        memcpy(q + a * dim, column + (ov - 1) * dim, sizeof(double) * static_cast<size_t>(dim));
    }
    deBoor(m.knots[0], ou, ku, u, q, dim, du);
    memcpy(value, q + (ou - 1) * dim, sizeof(double) * static_cast<size_t>(dim));
    if (dv) {
        deBoor(m.knots[0], ou, ku, u, qv, dim, nullptr);
        memcpy(dv, qv + (ou - 1) * dim, sizeof(double) * static_cast<size_t>(dim));
    }
}

}  // namespace

#endif
