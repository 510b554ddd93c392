// SPDX-License-Identifier: MIT
// The reference corpus's calls of the compatibility layer's tessellator:
// every winding rule on classic shapes (nested rectangles, a spiral,
// overlapping quads and a triangle, a pentagram, a square with holes,
// glyph outlines of hundreds of vertices, collinear and coincident
// vertices), with the normal given and computed, as triangles, with edge
// flags and as boundary loops, and each error.  Built with the switch.
//
// The tessellator sends nothing to GL itself: a case's result line is what
// its callbacks received, in order:
//   B<mode>   BEGIN with that primitive type     E      END
//   V<i>      the i-th vertex the case gave      F0 F1  EDGE_FLAG
//   C<k>      the k-th vertex COMBINE made       X<n>   ERROR with code n
//   M(x y z|i j k l|w w w w)  a COMBINE call: the new vertex's coordinates
//             (double bits), its sources (V/C names, - for none) and weights
//             (float bits)
// Every shape's coordinates are decimal literals, integers or the results
// of correctly rounded operations on them, so they are the same everywhere.
#define SOFTGLU_COMPAT
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cinttypes>
#include <cstring>

#include "corpus.h"
#include "../support/tess_harness.h"

namespace corpus {
namespace {

using tess_oracle::Contours;
using tess_oracle::P3;
using tess_oracle::rect;
using tess_oracle::operator+;
using tess_harness::Options;
using tess_harness::Record;

// A square spiral that winds three times inward and returns straight to its
// start, crossing its own turns.
Contours spiral() {
    std::vector<P3> s;
    for (int k = 9; k >= 3; k -= 2) {
        const double a = k, b = k - 1;
        s.push_back({-a, -a, 0});
        s.push_back({a, -a, 0});
        s.push_back({a, a, 0});
        s.push_back({-b, a, 0});
    }
    return {s};
}

// A point of the ellipse (cx + rx c, cy + ry s), (c, s) = ((1 - t^2) / (1 + t^2),
// 2t / (1 + t^2)): rational, so every operation is a correctly rounded one.
P3 ellipsePoint(double cx, double cy, double rx, double ry, double t) {
    const double d = 1.0 + t * t;
    return {cx + rx * ((1.0 - t * t) / d), cy + ry * (2.0 * t / d), 0.0};
}

// n points of an ellipse, counterclockwise (or not): four quarter arcs,
// t from 0 to 1 on each, the quarter turns taken by swapping coordinates.
std::vector<P3> ellipse(double cx, double cy, double rx, double ry, int n, bool ccw) {
    std::vector<P3> out;
    const int quarter = n / 4;
    for (int q = 0; q < 4; ++q)
        for (int i = 0; i < quarter; ++i) {
            const P3 p = ellipsePoint(0, 0, 1, 1, static_cast<double>(i) / quarter);
            double c = p[0], s = p[1];
            for (int r = 0; r < q; ++r) {  // a quarter turn: (c, s) -> (-s, c)
                const double t = c;
                c = -s;
                s = t;
            }
            out.push_back({cx + rx * c, cy + ry * s, 0.0});
        }
    if (!ccw)
        std::reverse(out.begin(), out.end());
    return out;
}

// Glyph outlines: an "O" (an ellipse with an elliptic hole) and an "8" (two
// lobes that overlap at the waist, each with a hole).
Contours glyphO() { return {ellipse(5, 5, 4, 5, 240, true), ellipse(5, 5, 2.5, 3.5, 160, false)}; }
Contours glyph8() {
    return {ellipse(5, 3, 3.5, 3, 200, true), ellipse(5, 7.5, 3, 2.6, 200, true), ellipse(5, 3, 1.75, 1.5, 120, false),
            ellipse(5, 7.5, 1.5, 1.3, 120, false)};
}

// A pentagram whose vertices are decimal literals.
const std::vector<P3> kStar = {{5, 9, 0}, {7.351, 1.764, 0}, {1.196, 6.236, 0}, {8.804, 6.236, 0}, {2.649, 1.764, 0}};

// The pentagram in the plane z = x / 2 + y / 4, whose normal is (-2, -1, 4).
Contours tiltedStar() {
    std::vector<P3> s = kStar;
    for (P3 &p : s)
        p[2] = p[0] / 2.0 + p[1] / 4.0;
    return {s};
}

// Kettner et al.'s classroom example of a wrong orientation: a vertex a
// unit in the last place above or below (0.5, 0.5), on the line through
// (12, 12) and (24, 24), where a determinant evaluated in doubles finds it
// on the line (whether (12, 12) is a convex corner decides the triangles).
Contours offTheLine(double dx, double dy) {
    const double u = 1.0 / 9007199254740992.0;  // 2^-53, a unit in the last place of 0.5
    return {{{0, 30, 0}, {0.5 + dx * u, 0.5 + dy * u, 0}, {12, 12, 0}, {24, 24, 0}}};
}

// A square of side 10 and a triangle whose lowest vertex lies `d` units of
// 2^-41 above its bottom edge.  The snapping distance is 2^-44 of the
// largest coordinate's power of two, 2^-41 here: at half of it the edge is
// routed through the vertex, at one and a half it is not.
Contours besideAnEdge(double d) {
    const double unit = 1.0 / 2199023255552.0;  // 2^-41
    return rect(0, 0, 10, 10) + Contours{{{5, d * unit, 0}, {7, 5, 0}, {3, 5, 0}}};
}

// A triangle under the diagonal from (0, 0) to (10, 10), and a smaller one
// inside it whose corner lies 1.06 snapping distances across the diagonal
// (0.75 of 2^-41 along each axis): beyond the distance, so the diagonal is
// not routed through it, though it is within 2^-41 in x and in y.
Contours besideADiagonal() {
    const double d = 0.75 / 2199023255552.0;  // 0.75 * 2^-41
    return Contours{{{0, 0, 0}, {10, 0, 0}, {10, 10, 0}}} + Contours{{{5 + d, 5 - d, 0}, {7, 3, 0}, {8, 6, 0}}};
}

struct Shape {
    const char *name;
    Contours contours;
};

std::vector<Shape> shapes() {
    return {
        {"nested rectangles", rect(0, 0, 10, 10) + rect(2, 2, 8, 8) + rect(4, 4, 6, 6)},
        {"spiral", spiral()},
        {"overlapping quads and a triangle",
         rect(0, 0, 6, 6) + rect(3, 2, 9, 8) + Contours{{{1, 7, 0}, {4.5, -1, 0}, {8, 7, 0}}}},
        {"pentagram", {kStar}},
        {"square with holes",
         rect(0, 0, 10, 10) + rect(1, 1, 4, 4, false) + rect(6, 1, 9, 5, false) +
             Contours{{{2, 6, 0}, {5, 9, 0}, {8, 6, 0}}}},
        {"glyph O", glyphO()},
        {"glyph 8", glyph8()},
        {"collinear and coincident vertices",
         {{{0, 0, 0}, {2, 0, 0}, {2, 0, 0}, {5, 0, 0}, {8, 0, 0}, {8, 4, 0}, {8, 8, 0}, {4, 8, 0}, {0, 8, 0},
           {0, 8, 0}, {0, 0, 0}},
          {{2, 0, 0}, {5, 0, 0}, {5, 3, 0}},
          {{8, 4, 0}, {4, 8, 0}, {4, 4, 0}}}},
        {"a vertex a unit in the last place above a line", offTheLine(0, 1)},
        {"a vertex a unit in the last place below a line", offTheLine(1, 0)},
        {"a vertex within the snapping distance of an edge", besideAnEdge(0.5)},
        {"a vertex beyond the snapping distance of an edge", besideAnEdge(1.5)},
        {"a vertex beyond the snapping distance of a diagonal", besideADiagonal()},
        {"tilted pentagram", tiltedStar()},
        // Edges drawn out and back (a spike; the diamond's diagonal, from
        // two triangles) count 0 and bound nothing.
        {"a spike, a square at a corner and a diamond of two triangles",
         Contours{{{0, 0, 0}, {8, 0, 0}, {8, 8, 0}, {4, 8, 0}, {4, 10, 0}, {4, 8, 0}, {0, 8, 0}}} + rect(8, 8, 12, 12) +
             Contours{{{20, 8, 0}, {20, 10, 0}, {16, 9, 0}}, {{20, 10, 0}, {20, 8, 0}, {24, 9, 0}}}},
    };
}

// ---- What the callbacks received --------------------------------------------------

std::uint64_t bits(double d) {
    std::uint64_t b;
    std::memcpy(&b, &d, sizeof b);
    return b;
}
std::uint32_t bits(float f) {
    std::uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

// A vertex's name: V<i> for the i-th of `given`, C<k> for the k-th COMBINE
// made, - for none.
std::string name(const void *v, const std::vector<P3> &given, const Record &r) {
    const P3 *p = static_cast<const P3 *>(v);
    if (!p)
        return "-";
    if (!given.empty() && p >= &given.front() && p <= &given.back())
        return label("V%d", static_cast<int>(p - &given.front()));
    for (std::size_t k = 0; k < r.made.size(); ++k)
        if (p == &r.made[k])
            return label("C%d", static_cast<int>(k));
    return "?";
}

// The result line of a case: r's calls in order, then what it read back.
std::string line(const Record &r, const std::vector<P3> &given) {
    std::string out;
    const auto word = [&out](const std::string &w) { out += (out.empty() ? "" : " ") + w; };
    for (const tess_harness::Call &c : r.calls)
        switch (c.what) {
        case 'B': word(label("B%u", c.n)); break;
        case 'V': word(name(c.vertex, given, r)); break;
        case 'E': word("E"); break;
        case 'F': word(c.n ? "F1" : "F0"); break;
        case 'M': {
            const P3 &xyz = r.made[c.n];
            const auto &from = r.sources[c.n];
            const auto &w = r.weights[c.n];
            word(label("M(%016" PRIx64 " %016" PRIx64 " %016" PRIx64 "|%s %s %s %s|%08" PRIx32 " %08" PRIx32
                       " %08" PRIx32 " %08" PRIx32 ")",
                       bits(xyz[0]), bits(xyz[1]), bits(xyz[2]), name(from[0], given, r).c_str(),
                       name(from[1], given, r).c_str(), name(from[2], given, r).c_str(),
                       name(from[3], given, r).c_str(), bits(w[0]), bits(w[1]), bits(w[2]), bits(w[3])));
            break;
        }
        case 'X': word(label("X%u", c.n)); break;
        }
    for (double v : r.readBack)
        word(label("%.17g", v));
    return out.empty() ? "nothing" : out;
}

const std::pair<GLenum, const char *> kRules[] = {{GLU_TESS_WINDING_ODD, "GLU_TESS_WINDING_ODD"},
                                                  {GLU_TESS_WINDING_NONZERO, "GLU_TESS_WINDING_NONZERO"},
                                                  {GLU_TESS_WINDING_POSITIVE, "GLU_TESS_WINDING_POSITIVE"},
                                                  {GLU_TESS_WINDING_NEGATIVE, "GLU_TESS_WINDING_NEGATIVE"},
                                                  {GLU_TESS_WINDING_ABS_GEQ_TWO, "GLU_TESS_WINDING_ABS_GEQ_TWO"}};

const char *const kOutputNames[] = {"triangles", "edge flags", "boundary only"};

// The corpus's settings: the _DATA callbacks, and output 0, 1 or 2 of
// kOutputNames.
Options setting(GLenum rule, int output, const P3 &normal, bool combine) {
    return {rule, output == 2, output == 1, combine, true, normal};
}

GLUtesselator *newTess(Record &r, const Options &o) {
    GLUtesselator *t = tess_harness::newRecordingTess(r, o);
    if (!t) {
        std::fprintf(stderr, "softglu_corpus: gluNewTess failed\n");
        std::exit(2);
    }
    return t;
}

// The contours as one polygon, each vertex's data its place in the case's list.
std::string tessellate(const Contours &contours, const Options &o) {
    Record r;
    std::vector<P3> given;
    for (const auto &c : contours)
        given.insert(given.end(), c.begin(), c.end());
    GLUtesselator *t = newTess(r, o);
    gluTessBeginPolygon(t, &r);
    std::size_t i = 0;
    for (const auto &c : contours) {
        gluTessBeginContour(t);
        for (std::size_t k = 0; k < c.size(); ++k, ++i)
            gluTessVertex(t, given[i].data(), &given[i]);
        gluTessEndContour(t);
    }
    gluTessEndPolygon(t);
    gluDeleteTess(t);
    return line(r, given);
}

void addTess(std::vector<Case> &cases, const std::string &shape, const Contours &contours, const Options &o,
             const char *ruleName) {
    cases.push_back({label("gluTess(%s, %s, %s, normal %.17g %.17g %.17g%s)", shape.c_str(), ruleName,
                           kOutputNames[o.boundaryOnly ? 2 : o.edgeFlags ? 1 : 0], o.normal[0], o.normal[1],
                           o.normal[2], o.combine ? "" : ", no COMBINE"),
                     [=] { return tessellate(contours, o); }});
}

// ---- Errors ------------------------------------------------------------------------

// Each error the tessellator reports, with what it draws afterwards: the
// call-order cases, on a square and a hole, and a COMBINE that gives no
// vertex, so that a crossing cannot be made.
void addErrorCases(std::vector<Case> &cases) {
    for (const tess_harness::CallOrderCase &c : tess_harness::kCallOrderCases)
        if (c.inReference)
            cases.push_back({label("gluTess(error: %s)", c.name), [&c] {
                                 Record r;
                                 std::vector<P3> given = rect(0, 0, 4, 4)[0], hole = rect(1, 1, 3, 3, false)[0];
                                 given.insert(given.end(), hole.begin(), hole.end());
                                 GLUtesselator *t = newTess(r, setting(GLU_TESS_WINDING_ODD, 1, {0, 0, 0}, true));
                                 c.calls(t, r, given);
                                 gluDeleteTess(t);
                                 return line(r, given);
                             }});
    cases.push_back({"gluTess(error: COMBINE gives no vertex)", [] {
                         Record r;
                         std::vector<P3> given = kStar;
                         r.combineGivesNull = true;
                         GLUtesselator *t = newTess(r, setting(GLU_TESS_WINDING_NONZERO, 0, {0, 0, 0}, true));
                         tess_harness::sendPolygon(t, r, given);
                         gluDeleteTess(t);
                         return line(r, given);
                     }});
}

}  // namespace

void addTessCases(std::vector<Case> &cases) {
    const P3 kNormals[] = {{0, 0, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const Shape &shape : shapes()) {
        const bool tilted = shape.contours[0][0][2] != 0.0;
        for (const auto &rule : kRules)
            for (int output = 0; output < 3; ++output)
                for (const P3 &normal : kNormals) {
                    const P3 n = tilted && normal[2] != 0.0 ? P3{-2.0 * normal[2], -normal[2], 4.0 * normal[2]} : normal;
                    addTess(cases, shape.name, shape.contours, setting(rule.first, output, n, true), rule.second);
                }
        addTess(cases, shape.name, shape.contours, setting(GLU_TESS_WINDING_ODD, 0, {0, 0, 0}, false),
                "GLU_TESS_WINDING_ODD");
    }
    addErrorCases(cases);
}

// Random contours on a coarse lattice, where crossings, coincident and
// collinear vertices abound, for the broad set.
void addVariedTessCases(std::vector<Case> &cases, std::uint64_t seed, int count) {
    Numbers r(seed);
    for (int i = 0; i < count; ++i) {
        Contours c(static_cast<std::size_t>(r.count(1, 3)));
        for (auto &contour : c) {
            const int n = r.count(3, 16);
            for (int k = 0; k < n; ++k)
                contour.push_back({r.count(0, 8) * 1.25, r.decimal(0, 10000), 0.0});
        }
        const auto &rule = kRules[r.count(0, 4)];
        addTess(cases, label("lattice %d", i), c, setting(rule.first, r.count(0, 2), {0, 0, 0}, true), rule.second);
    }
}

}  // namespace corpus
