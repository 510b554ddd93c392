// SPDX-License-Identifier: MIT
// An evaluation of NURBS maps independent of softglu's: the Cox-de Boor
// recursion for each basis function and its derivative, summed over every
// control point (where softglu runs de Boor's scheme over one span).
// Shared by the NURBS tests (test_nurbs.cpp) and the fuzzer.
//
// A map of order k with knots t[0..n+k-1] and n control points: the basis
// N(i, k)(u) for u in [t[k-1], t[n]], whose right end belongs to the last
// non-empty span.  Greville's abscissae, the averages of k-1 consecutive
// knots, as a map's control values give back the parameter itself (the
// B-splines reproduce linear functions): a texture map built from them
// tells which (u, v) each emitted vertex was evaluated at.
#ifndef SOFTGLU_NURBS_ORACLE_H
#define SOFTGLU_NURBS_ORACLE_H

#include <cmath>
#include <vector>

namespace nurbs_oracle {

struct Direction {
    std::vector<double> knots;
    int order;
    int count() const { return static_cast<int>(knots.size()) - order; }
    double lo() const { return knots[order - 1]; }
    double hi() const { return knots[count()]; }
};

// N(i, degree)(u), by the recursion.
inline double basis(const Direction &d, int i, int degree, double u) {
    const std::vector<double> &t = d.knots;
    if (degree == 0) {
        // The domain's right end belongs to its last non-empty span alone.
        if (u == d.hi()) {
            if (i >= d.count() || !(t[i] < t[i + 1]))
                return 0.0;
            for (int j = i + 1; j < d.count(); ++j)
                if (t[j] < t[j + 1])
                    return 0.0;
            return 1.0;
        }
        return t[i] <= u && u < t[i + 1] ? 1.0 : 0.0;
    }
    double sum = 0.0;
    if (t[i + degree] > t[i])
        sum += (u - t[i]) / (t[i + degree] - t[i]) * basis(d, i, degree - 1, u);
    if (t[i + degree + 1] > t[i + 1])
        sum += (t[i + degree + 1] - u) / (t[i + degree + 1] - t[i + 1]) * basis(d, i + 1, degree - 1, u);
    return sum;
}

// dN(i, degree)/du.
inline double basisDerivative(const Direction &d, int i, int degree, double u) {
    if (degree == 0)
        return 0.0;
    const std::vector<double> &t = d.knots;
    double sum = 0.0;
    if (t[i + degree] > t[i])
        sum += degree / (t[i + degree] - t[i]) * basis(d, i, degree - 1, u);
    if (t[i + degree + 1] > t[i + 1])
        sum -= degree / (t[i + degree + 1] - t[i + 1]) * basis(d, i + 1, degree - 1, u);
    return sum;
}

inline std::vector<double> greville(const Direction &d) {
    std::vector<double> g;
    for (int i = 0; i < d.count(); ++i) {
        double s = 0.0;
        for (int j = 1; j < d.order; ++j)
            s += d.knots[i + j];
        g.push_back(d.order > 1 ? s / (d.order - 1) : d.knots[i]);
    }
    return g;
}

// A surface map: points[(i * v.count() + j) * dim + c].
struct Surface {
    Direction u, v;
    int dim;
    std::vector<double> points;
};

// The Greville texture map of m: (u, v) pairs in the points' order, as
// floats.
inline std::vector<float> grevilleMap(const Surface &m) {
    std::vector<float> g;
    const std::vector<double> gu = greville(m.u), gv = greville(m.v);
    for (double a : gu)
        for (double b : gv)
            g.insert(g.end(), {static_cast<float>(a), static_cast<float>(b)});
    return g;
}

// The map at (s, t) and its partial derivatives (homogeneous for dim 4).
inline void evaluate(const Surface &m, double s, double t, double *p, double *ps, double *pt) {
    for (int c = 0; c < m.dim; ++c)
        p[c] = ps[c] = pt[c] = 0.0;
    for (int i = 0; i < m.u.count(); ++i) {
        const double bu = basis(m.u, i, m.u.order - 1, s), du = basisDerivative(m.u, i, m.u.order - 1, s);
        for (int j = 0; j < m.v.count(); ++j) {
            const double bv = basis(m.v, j, m.v.order - 1, t), dv = basisDerivative(m.v, j, m.v.order - 1, t);
            const double *q = &m.points[(i * m.v.count() + j) * m.dim];
            for (int c = 0; c < m.dim; ++c) {
                p[c] += bu * bv * q[c];
                ps[c] += du * bv * q[c];
                pt[c] += bu * dv * q[c];
            }
        }
    }
}

// The surface's point (divided through for dim 4) and unit normal, the
// cross product of its partial derivatives (zero where that vanishes
// against the derivatives' size: a pole).
inline void pointAndNormal(const Surface &m, double s, double t, double xyz[3], double n[3]) {
    double p[4], ps[4], pt[4], a[3], b[3];
    evaluate(m, s, t, p, ps, pt);
    for (int c = 0; c < 3; ++c) {
        const double w = m.dim == 4 ? p[3] : 1.0;
        xyz[c] = p[c] / w;
        a[c] = m.dim == 4 ? (ps[c] - ps[3] * xyz[c]) / w : ps[c];
        b[c] = m.dim == 4 ? (pt[c] - pt[3] * xyz[c]) / w : pt[c];
    }
    const double x = a[1] * b[2] - a[2] * b[1], y = a[2] * b[0] - a[0] * b[2], z = a[0] * b[1] - a[1] * b[0];
    const double len = std::sqrt(x * x + y * y + z * z);
    const double scale = std::sqrt((a[0] * a[0] + a[1] * a[1] + a[2] * a[2]) * (b[0] * b[0] + b[1] * b[1] + b[2] * b[2]));
    const bool pole = !(len > 1e-9 * scale);
    n[0] = pole ? 0 : x / len;
    n[1] = pole ? 0 : y / len;
    n[2] = pole ? 0 : z / len;
}

}  // namespace nurbs_oracle

#endif
