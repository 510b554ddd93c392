// SPDX-License-Identifier: MIT
// The tessellator's oracle, shared by its unit tests (test_tess.cpp) and
// its fuzzer (fuzz/fuzz_tess.cpp): what one polygon's callbacks received,
// and whether that is the region the winding rule selects.  On a grid of
// sample points, each point's winding number counted from the contours
// says whether the rule selects it, and exactly the selected points must
// lie in one output triangle (none in two); every triangle is
// counterclockwise about the normal and has its corners inside the input's
// bounding box, the triangles' area is the sampled area, the edges flagged
// as boundary enclose the same area, and so do the boundary loops.
// Contours lie in the x-y plane; the normal is +z or -z (`view`, 1 or -1).
// Each check returns "" or what is wrong.
#ifndef SOFTGLU_TESS_ORACLE_H
#define SOFTGLU_TESS_ORACLE_H

#include <GL/glu.h>
#include <GL/glu_compat.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace tess_oracle {

typedef std::array<double, 3> P3;
typedef std::vector<std::vector<P3>> Contours;

// An axis-aligned rectangle, counterclockwise unless asked otherwise.
inline Contours rect(double x0, double y0, double x1, double y1, bool ccw = true) {
    std::vector<P3> r = {{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}};
    if (!ccw)
        r = {r[0], r[3], r[2], r[1]};
    return {r};
}

// One set of contours after another.
inline Contours operator+(Contours a, const Contours &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Gives t the contours between its begin and end of the polygon, each
// vertex's data its own coordinates.
inline void sendContours(GLUtesselator *t, const Contours &contours) {
    for (const auto &c : contours) {
        gluTessBeginContour(t);
        for (const P3 &v : c)
            gluTessVertex(t, const_cast<double *>(v.data()), const_cast<double *>(v.data()));
        gluTessEndContour(t);
    }
}

// What one polygon's callbacks received.
struct Output {
    std::vector<GLenum> begins;
    std::vector<std::vector<const double *>> prims;  // vertices of each primitive
    std::vector<std::vector<bool>> flags;            // the edge flag of each vertex
    bool flag = true;                                // the last one sent
    bool unbalanced = false;                         // a vertex or end outside begin/end
    bool open = false;

    void begin(GLenum type) {
        unbalanced = unbalanced || open;
        open = true;
        begins.push_back(type);
        prims.emplace_back();
        flags.emplace_back();
    }
    void vertex(const double *v) {
        if (!open) {
            unbalanced = true;
            return;
        }
        prims.back().push_back(v);
        flags.back().push_back(flag);
    }
    void end() {
        unbalanced = unbalanced || !open;
        open = false;
    }
};

inline double cross(double ax, double ay, double bx, double by, double px, double py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

// Winding number of (x, y) by counting signed crossings of a ray to +x.
inline int windingAt(const Contours &contours, double x, double y) {
    int w = 0;
    for (const auto &c : contours)
        for (size_t i = 0; i < c.size(); ++i) {
            const P3 &a = c[i], &b = c[(i + 1) % c.size()];
            if (a[1] <= y && b[1] > y && cross(a[0], a[1], b[0], b[1], x, y) > 0)
                ++w;
            else if (a[1] > y && b[1] <= y && cross(a[0], a[1], b[0], b[1], x, y) < 0)
                --w;
        }
    return w;
}

inline bool ruleSelects(GLenum rule, int w) {
    switch (rule) {
    case GLU_TESS_WINDING_ODD: return w % 2 != 0;
    case GLU_TESS_WINDING_NONZERO: return w != 0;
    case GLU_TESS_WINDING_POSITIVE: return w > 0;
    case GLU_TESS_WINDING_NEGATIVE: return w < 0;
    default: return std::abs(w) >= 2;
    }
}

inline double signedArea(const std::vector<const double *> &loop) {
    double a = 0;
    for (size_t i = 0; i < loop.size(); ++i) {
        const double *p = loop[i], *q = loop[(i + 1) % loop.size()];
        a += p[0] * q[1] - q[0] * p[1];
    }
    return a / 2;
}

// The contours' signed area in the x-y plane: the sign Newell's normal's z
// takes.
inline double contoursArea(const Contours &contours) {
    double a = 0;
    for (const auto &c : contours)
        for (size_t i = 0; i < c.size(); ++i) {
            const P3 &p = c[i], &q = c[(i + 1) % c.size()];
            a += p[0] * q[1] - q[0] * p[1];
        }
    return a / 2;
}

inline bool inTriangle(const double *a, const double *b, const double *c, double x, double y) {
    return cross(a[0], a[1], b[0], b[1], x, y) > 0 && cross(b[0], b[1], c[0], c[1], x, y) > 0 &&
           cross(c[0], c[1], a[0], a[1], x, y) > 0;
}

inline double perimeter(const Contours &contours) {
    double p = 0;
    for (const auto &c : contours)
        for (size_t i = 0; i < c.size(); ++i)
            p += std::hypot(c[(i + 1) % c.size()][0] - c[i][0], c[(i + 1) % c.size()][1] - c[i][1]);
    return p;
}

// Where the points are sampled: from lo + offset to hi in steps of `step`,
// in x and y.  The offsets keep the points off every edge between points
// of simple coordinates: their ratio is no simple slope.
struct Grid {
    double lo = -1, hi = 11, step = 0.0625;
    double offsetX = 0.00027182818, offsetY = 0.00031415926;
};

// The triangles of `out` against the winding numbers of `contours` under
// `rule`, seen from `view`; their total area in `area`.
inline std::string checkTriangles(const Contours &contours, GLenum rule, double view, const Output &out,
                                  const Grid &grid, double *area = nullptr) {
    if (out.unbalanced || out.open)
        return "begin, vertex and end calls unbalanced";
    std::vector<const double *> v;
    for (size_t p = 0; p < out.prims.size(); ++p) {
        if (out.begins[p] != GL_TRIANGLES)
            return "primitive " + std::to_string(p) + " is " + std::to_string(out.begins[p]) + ", not GL_TRIANGLES";
        if (out.prims[p].size() % 3 != 0)
            return "primitive " + std::to_string(p) + " has " + std::to_string(out.prims[p].size()) + " vertices";
        v.insert(v.end(), out.prims[p].begin(), out.prims[p].end());
    }
    // Every corner inside the input's bounding box.
    double lo[2] = {INFINITY, INFINITY}, hi[2] = {-INFINITY, -INFINITY};
    for (const auto &c : contours)
        for (const P3 &p : c)
            for (int k = 0; k < 2; ++k) {
                lo[k] = std::fmin(lo[k], p[k]);
                hi[k] = std::fmax(hi[k], p[k]);
            }
    for (size_t i = 0; i < v.size(); ++i)
        for (int k = 0; k < 2; ++k)
            if (!(v[i][k] >= lo[k] && v[i][k] <= hi[k]))
                return "vertex " + std::to_string(i) + " lies outside the input's bounding box";
    double total = 0, boundary = 0;
    size_t k = 0;
    for (size_t p = 0; p < out.prims.size(); ++p)
        for (size_t i = 0; i < out.prims[p].size(); ++i, ++k) {
            const double *a = v[k], *b = v[k % 3 == 2 ? k - 2 : k + 1];
            if (out.flags[p][i])
                boundary += (a[0] * b[1] - b[0] * a[1]) / 2 * view;
        }
    for (size_t i = 0; i < v.size(); i += 3) {
        const double t = signedArea({v[i], v[i + 1], v[i + 2]}) * view;
        // (Slivers beside rounded crossing points have areas this formula
        // cannot resolve.)
        if (t <= -1e-12)
            return "triangle " + std::to_string(i / 3) + " is not counterclockwise (area " + std::to_string(t) + ")";
        total += t;
    }
    if (area)
        *area = total;
    if (std::fabs(boundary - total) > 1e-9)
        return "the flagged edges enclose " + std::to_string(boundary) + ", the triangles " + std::to_string(total);
    double sampled = 0;
    int wrong = 0;
    std::string first;
    for (double y = grid.lo + grid.offsetY; y < grid.hi; y += grid.step)
        for (double x = grid.lo + grid.offsetX; x < grid.hi; x += grid.step) {
            const bool want = ruleSelects(rule, static_cast<int>(view) * windingAt(contours, x, y));
            int covered = 0;
            for (size_t i = 0; i < v.size(); i += 3)
                covered += view > 0 ? inTriangle(v[i], v[i + 1], v[i + 2], x, y)
                                    : inTriangle(v[i], v[i + 2], v[i + 1], x, y);
            if (covered != (want ? 1 : 0) && wrong++ == 0)
                first = "(" + std::to_string(x) + ", " + std::to_string(y) + ") is covered " +
                        std::to_string(covered) + " times, the rule " + (want ? "selects" : "does not select") + " it";
            sampled += want ? grid.step * grid.step : 0;
        }
    if (wrong)
        return std::to_string(wrong) + " sample points wrong, the first: " + first;
    // The cells the boundary crosses are all the sampled area can miss.
    if (std::fabs(total - sampled) > 2 * perimeter(contours) * grid.step)
        return "the triangles' area " + std::to_string(total) + " is not the sampled " + std::to_string(sampled);
    return "";
}

// A COMBINE call: the weights add up to 1 and blend the four vertices
// (each vertex_data a point; null for none, with weight 0) into `coords`,
// near enough for weights narrowed to float: within a few float roundings
// of the largest coordinate blended.
inline std::string checkCombine(const double coords[3], void *const data[4], const float w[4]) {
    double blend[3] = {0, 0, 0}, scale[3] = {std::fabs(coords[0]), std::fabs(coords[1]), std::fabs(coords[2])},
           sum = 0;
    for (int i = 0; i < 4; ++i) {
        sum += w[i];
        if (!data[i]) {
            if (w[i] != 0.0f)
                return "weight " + std::to_string(i) + " given to a null vertex";
            continue;
        }
        for (int k = 0; k < 3; ++k) {
            const double x = static_cast<const double *>(data[i])[k];
            blend[k] += w[i] * x;
            scale[k] = std::fmax(scale[k], std::fabs(x));
        }
    }
    if (std::fabs(sum - 1) > 1e-6)
        return "the weights add up to " + std::to_string(sum);
    for (int k = 0; k < 3; ++k)
        if (std::fabs(blend[k] - coords[k]) > 1e-5 * (1 + scale[k]))
            return "the weights blend coordinate " + std::to_string(k) + " to " + std::to_string(blend[k]) +
                   ", not " + std::to_string(coords[k]);
    return "";
}

// The boundary loops of `out` (GLU_TESS_BOUNDARY_ONLY) enclose `area`,
// and each some area: an edge drawn out and back bounds nothing.
inline std::string checkLoops(const Output &out, double view, double area) {
    if (out.unbalanced || out.open)
        return "begin, vertex and end calls unbalanced";
    double enclosed = 0;
    for (size_t p = 0; p < out.prims.size(); ++p) {
        if (out.begins[p] != GL_LINE_LOOP)
            return "loop " + std::to_string(p) + " is " + std::to_string(out.begins[p]) + ", not GL_LINE_LOOP";
        const double a = signedArea(out.prims[p]);
        if (a == 0)
            return "loop " + std::to_string(p) + " encloses nothing";
        enclosed += a * view;
    }
    if (std::fabs(enclosed - area) > 1e-9)
        return "the loops enclose " + std::to_string(enclosed) + ", the triangles " + std::to_string(area);
    return "";
}

}  // namespace tess_oracle

#endif
