/* SPDX-License-Identifier: MIT */
// Exact orientation: the sign of a 2D orientation determinant, exactly,
// for the tessellator (src/compat/tess.cpp) and any other code of plain
// double points.  It knows no type of its users: points are two doubles.
//
// orient(a, b, c) is the sign of ax*by - ax*cy + bx*cy - bx*ay + cx*ay - cx*by,
// twice the signed area of triangle abc: > 0 when c lies left of a->b.
//
// Precision.  Exact: orient(), orientExact() and productDifferenceSign()
// give the sign of the exact value, and orientValue() the exact value
// rounded (within a few units in the last place), for coordinates at most
// 2^481 in magnitude and, when not 0, at least 2^-485.  The caller keeps
// its coordinates in that range (the tessellator's plane does).  Why it
// holds: a double product x*y is exactly p + e, p = fl(x*y), with e from
// Dekker's splitting (no fused multiply-add: the guard), provided nothing
// overflows and the lowest bit of the exact product, 2^(ex + ey - 104), is
// not below 2^-1074; with the range above, products stay below 2^963, the
// splitting's 2^27 factor below 2^509, and ex + ey >= -970: both hold.
// Knuth's two-sum adds exactly in round-to-nearest, and Shewchuk's
// Grow-Expansion keeps the twelve terms as a nonoverlapping expansion whose
// largest nonzero term has the sign of the exact sum.
//
// The filter.  orient() first evaluates l - r, l = (bx - ax)(cy - ay) and
// r = (by - ay)(cx - ax), in doubles; its error is at most kErrorBound
// times |l| + |r| (Shewchuk's bound, (3 + 16e)e with e = 2^-53), so a
// result beyond that, and beyond kUnderflowMargin (far above any underflow
// error), has the right sign and decides.  Next, when the four coordinate
// differences are exact (two-sum says so), the two products of them,
// split, decide exactly (four terms); else all twelve terms.
//
// The sources that include this include src/exact.h first.  Everything here
// has internal linkage: it adds no symbol to the library or the archive.
#ifndef SOFTGLU_SRC_COMPAT_ORIENT_H
#define SOFTGLU_SRC_COMPAT_ORIENT_H

#include <math.h>

namespace {

const double kEpsilon = 1.0 / 9007199254740992.0;  // 2^-53
// The filter's error bound, relative to |l| + |r| (see the top).
const double kErrorBound = (3.0 + 16.0 * kEpsilon) * kEpsilon;
const double kUnderflowMargin = 1e-290;

void twoSum(double a, double b, double &s, double &e) {
    s = a + b;
    const double bv = s - a, av = s - bv;
    e = (a - av) + (b - bv);
}

void split(double a, double &hi, double &lo) {
    const double c = 134217729.0 * a;  // 2^27 + 1
    const double big = c - a;
    hi = c - big;
    lo = a - hi;
}

void twoProduct(double a, double b, double &p, double &e) {
    p = a * b;
    double ah, al, bh, bl;
    split(a, ah, al);
    split(b, bh, bl);
    e = al * bl - (((p - ah * bh) - al * bh) - ah * bl);
}

// Adds b to the expansion e of n terms (Grow-Expansion); n + 1 terms.
int grow(double *e, int n, double b) {
    double q = b;
    for (int i = 0; i < n; ++i)
        twoSum(q, e[i], q, e[i]);
    e[n] = q;
    return n + 1;
}

struct Point {
    double x, y;
};

int sign(double d) { return d > 0.0 ? 1 : d < 0.0 ? -1 : 0; }

// |x|, exact, without a branch (a sign bit cleared; the compiler's own, no
// library call).  Only compared and summed for bounds, where -0 and +0
// are alike.
double magnitude(double x) { return fabs(x); }

// The exact determinant as an expansion of 12 terms in e; returns 12.
int orientExpansion(const Point &a, const Point &b, const Point &c, double e[12]) {
    const double f[6][3] = {{a.x, b.y, 1.0},  {a.x, c.y, -1.0}, {b.x, c.y, 1.0},
                            {b.x, a.y, -1.0}, {c.x, a.y, 1.0},  {c.x, b.y, -1.0}};
    int n = 0;
    for (const auto &t : f) {
        double p, lo;
        twoProduct(t[0], t[1], p, lo);
        n = grow(e, n, t[2] * p);  // negation is exact
        n = grow(e, n, t[2] * lo);
    }
    return n;
}

int orientExact(const Point &a, const Point &b, const Point &c) {
    double e[12];
    for (int i = orientExpansion(a, b, c, e) - 1; i >= 0; --i)
        if (e[i] != 0.0)
            return sign(e[i]);
    return 0;
}

// The determinant rounded from its exact value (the expansion's terms
// added smallest first: within a few units in the last place), for the
// crossing points' parameters, which nearly parallel edges would make
// meaningless if the determinant were evaluated directly.
inline double orientValue(const Point &a, const Point &b, const Point &c) {
    double e[12];
    const int n = orientExpansion(a, b, c, e);
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
        sum += e[i];
    return sum;
}

// d = x - y; whether that is exact (two-sum's error is 0).
bool exactDifference(double x, double y, double &d) {
    double e;
    twoSum(x, -y, d, e);
    return e == 0.0;
}

// The sign of x*y - z*w, exactly: the two products split (twoProduct) into
// a four-term expansion.  The differences of plane coordinates it is given
// are multiples of 2^-537, the coordinates' least unit, so the products
// meet twoProduct's conditions as the coordinates do.
int productDifferenceSign(double x, double y, double z, double w) {
    double e[4], p, lo;
    twoProduct(x, y, p, lo);
    int n = grow(e, 0, p);
    n = grow(e, n, lo);
    twoProduct(z, w, p, lo);
    n = grow(e, n, -p);
    n = grow(e, n, -lo);
    for (int i = n - 1; i >= 0; --i)
        if (e[i] != 0.0)
            return sign(e[i]);
    return 0;
}

// orient() when the rounded determinant is within its error bound: when
// the four differences are exact (points near one another, or on a common
// line of x or y: often), their two products decide; else all twelve
// terms.  Apart from orient(), so that its usual answer is inlined.
int orientNear(const Point &a, const Point &b, const Point &c) {
    double bx, cy, by, cx;
    if (exactDifference(b.x, a.x, bx) && exactDifference(c.y, a.y, cy) && exactDifference(b.y, a.y, by) &&
        exactDifference(c.x, a.x, cx))
        return productDifferenceSign(bx, cy, by, cx);
    return orientExact(a, b, c);
}

// The rounded determinant decides when beyond its error bound.
inline int orient(const Point &a, const Point &b, const Point &c) {
    const double l = (b.x - a.x) * (c.y - a.y), r = (b.y - a.y) * (c.x - a.x);
    const double det = l - r;
    const double bound = kErrorBound * (magnitude(l) + magnitude(r));
    if (bound > kUnderflowMargin && (det > bound || -det > bound))
        return sign(det);
    // Both products 0: each has a difference of equal coordinates, as in
    // the range above a nonzero difference is at least 2^-537 and a product
    // of two does not round to 0.  The points share a line of x or y: 0,
    // exactly.
    if (l == 0.0 && r == 0.0)
        return 0;
    return orientNear(a, b, c);
}

}  // namespace

#endif
