// SPDX-License-Identifier: MIT
// The polygon tessellator against its oracle (tess_oracle.h: the sample
// points' winding numbers, area, orientation, boundary loops and edge
// flags), on shapes, random contours and scaled copies; then crossings and
// their COMBINE calls, the call-order errors, and a table of corners
// (facing x or y, property values, the coordinate limit, reuse, snapping).
// The callbacks and the call-order cases are tests/support/tess_harness.h's.
#define SOFTGLU_COMPAT  // the compatibility layer's calls are declared with its switch
#include <GL/glu.h>

#include "../../src/compat/meshcheck.h"
#include "../support/tess_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using tess_oracle::Contours;
using tess_oracle::P3;
using tess_oracle::rect;
using tess_oracle::operator+;

using tess_harness::Options;
using tess_harness::Record;
using tess_harness::rec;

void CALLBACK_notCalled(void *) { ADD_FAILURE() << "GLU_TESS_VERTEX called, GLU_TESS_VERTEX_DATA set"; }

// A tessellator set up as o says, its callbacks recording into r, the
// plain forms but for VERTEX_DATA, which takes VERTEX's place.
GLUtesselator *newTess(Record &r, const Options &o) {
    GLUtesselator *t = tess_harness::newRecordingTess(r, o);
    EXPECT_NE(t, nullptr);
    gluTessCallback(t, GLU_TESS_VERTEX, tess_harness::fn(CALLBACK_notCalled));
    gluTessCallback(t, GLU_TESS_VERTEX_DATA, tess_harness::fn(tess_harness::CALLBACK_vertexData));
    return t;
}

// Its record, checked for what every polygon must keep, after t is deleted.
void finish(GLUtesselator *t, const Record &r) {
    gluDeleteTess(t);
    rec = nullptr;
    EXPECT_EQ(r.combineFault, "");
    EXPECT_FALSE(r.otherPolygonData);
}

Record tessellate(const Contours &contours, const Options &o) {
    Record r;
    GLUtesselator *t = newTess(r, o);
    gluTessBeginPolygon(t, &r);
    tess_oracle::sendContours(t, contours);
    gluTessEndPolygon(t);
    finish(t, r);
    return r;
}

struct Shape {
    const char *name;
    Contours contours;
};

// A zigzag of points a few units in the last place from (0.5, 0.5), nearly
// on the line through (3, 3) and (6, 6): edges between them pass within
// the snapping distance of the others, which must not route them back and
// forth for ever (it gave no output).
Contours nearlyCollinear() {
    const double u = 1.0 / 9007199254740992.0;  // 2^-53, a unit in the last place of 0.5
    std::vector<P3> c = {{0, 10, 0}, {6, 6, 0}, {3, 3, 0}};
    for (int i = 0; i < 16; ++i)
        c.push_back({0.5 + i * u, 0.5 + ((i * 7) % 5) * u, 0});
    std::reverse(c.begin(), c.end());  // counterclockwise
    return {c};
}

std::vector<Shape> shapes() {
    std::vector<P3> star;
    for (int i = 0; i < 5; ++i) {
        const double a = 3.141592653589793 / 2 + i * 4 * 3.141592653589793 / 5;
        star.push_back({5 + 4 * std::cos(a), 5 + 4 * std::sin(a), 0});
    }
    return {
        {"nested rectangles", rect(0, 0, 10, 10) + rect(3, 3, 7, 7)},
        {"square with a hole", rect(0, 0, 10, 10) + rect(3, 3, 7, 7, false)},
        {"pentagram", {star}},
        {"overlapping quads", rect(0, 0, 6, 6) + rect(3, 2, 9, 8) + rect(4, 1, 5, 9, false)},
        {"bow tie", {{{0, 0, 0}, {8, 8, 0}, {8, 0, 0}, {0, 8, 0}}}},
        {"collinear and repeated vertices",
         {{{0, 0, 0}, {2, 0, 0}, {2, 0, 0}, {5, 0, 0}, {8, 0, 0}, {8, 4, 0}, {8, 8, 0}, {4, 8, 0}, {0, 8, 0},
           {0, 8, 0}, {0, 0, 0}},
          {{2, 0, 0}, {5, 0, 0}, {5, 3, 0}}}},
        {"square with a spike drawn out and back",
         {{{0, 0, 0}, {8, 0, 0}, {8, 8, 0}, {4, 8, 0}, {4, 10, 0}, {4, 8, 0}, {0, 8, 0}}}},
        {"concave comb", {{{0, 0, 0}, {9, 0, 0}, {9, 6, 0}, {7, 6, 0}, {7, 2, 0}, {5, 2, 0}, {5, 6, 0},
                           {3, 6, 0}, {3, 2, 0}, {1, 2, 0}, {1, 6, 0}, {0, 6, 0}}}},
        // The sweep's cases: a notch's tip opening to the right splits a
        // region, one opening to the left merges two; a split right after
        // a merge takes the diagonal to the merge's tip; flat corners stay
        // on a chain until a vertex across sees them.
        {"notches that split and merge", {{{0, 0, 0}, {10, 0, 0}, {10, 1, 0}, {4, 2, 0}, {10, 3, 0}, {10, 10, 0},
                                           {0, 10, 0}, {0, 9, 0}, {6, 8, 0}, {0, 7, 0}}}},
        {"a split right after a merge", {{{0, 0, 0}, {10, 0, 0}, {10, 4.5, 0}, {6, 5, 0}, {10, 5.5, 0}, {10, 10, 0},
                                         {0, 10, 0}, {0, 6, 0}, {5, 5, 0}, {0, 4, 0}}}},
        {"flat runs on both sides", {{{0, 0, 0}, {2, 0, 0}, {4, 0, 0}, {6, 0, 0}, {8, 0, 0}, {10, 0, 0}, {9, 5, 0},
                                     {7, 5, 0}, {5, 5, 0}, {3, 5, 0}, {1, 5, 0}}}},
        {"zero area", {{{0, 0, 0}, {4, 4, 0}, {8, 8, 0}, {4, 4, 0}}}},
        {"points a few units in the last place apart", nearlyCollinear()},
    };
}

const GLenum kRules[] = {GLU_TESS_WINDING_ODD, GLU_TESS_WINDING_NONZERO, GLU_TESS_WINDING_POSITIVE,
                         GLU_TESS_WINDING_NEGATIVE, GLU_TESS_WINDING_ABS_GEQ_TWO};

}  // namespace

namespace {

// How many times coarser than each test asks the oracle samples:
// SOFTGLU_ORACLE_COARSEN, a power of two, 1 when unset.  The cross presets'
// test environment (CMakePresets.json) sets 4: under an emulator the
// sampling takes most of the suite's time, every polygon is still
// tessellated and checked whole (balanced calls, orientation, boundary),
// the reference replay holds the tessellator's bits on every architecture,
// and the host and sanitizer suites sample at full depth.
// Anything else fails the first test that samples, which then samples at
// full depth, as the others do.
double readOracleCoarsening() {
    const char *text = std::getenv("SOFTGLU_ORACLE_COARSEN");
    if (!text || !*text)
        return 1;
    char *end = nullptr;
    const long k = std::strtol(text, &end, 10);
    if (*end != '\0' || k < 1 || k > 64 || (k & (k - 1)) != 0) {
        ADD_FAILURE() << "SOFTGLU_ORACLE_COARSEN is '" << text << "', not a power of two from 1 to 64";
        return 1;
    }
    return static_cast<double>(k);
}
double oracleCoarsening() {
    static const double k = readOracleCoarsening();
    return k;
}

// Tessellates `contours` with `rule` seen from normal (0, 0, normalZ) (0:
// computed) and checks the output against the winding numbers at the
// points of a grid of `step` (times oracleCoarsening()) over [-1, 11]^2.
void checkAgainstWinding(const Contours &contours, GLenum rule, double normalZ, double step) {
    Options o;
    o.rule = rule;
    o.normal = {0, 0, normalZ};
    o.edgeFlags = true;
    const Record r = tessellate(contours, o);
    EXPECT_TRUE(r.errors.empty());
    // Seen from the normal: a -z normal mirrors the plane.
    const double view = normalZ < 0 ? -1 : 1;
    tess_oracle::Grid grid;
    grid.step = step * oracleCoarsening();
    double area = 0;
    EXPECT_EQ(tess_oracle::checkTriangles(contours, rule, view, r, grid, &area), "");

    o.boundaryOnly = true;
    o.edgeFlags = false;
    EXPECT_EQ(tess_oracle::checkLoops(tessellate(contours, o), view, area), "");
}

}  // namespace

TEST(Tessellator, TrianglesCoverExactlyTheRegionTheRuleSelects) {
    for (const Shape &s : shapes())
        for (GLenum rule : kRules)
            for (double normalZ : {0.0, 1.0, -1.0}) {
                SCOPED_TRACE(testing::Message() << s.name << ", rule " << rule << ", normal z " << normalZ);
                checkAgainstWinding(s.contours, rule, normalZ, 0.0625);
            }
}

// Random contours in [0, 10], on a coarse grid (crossings, shared and
// collinear vertices and overlapping edges everywhere) or anywhere.
Contours randomContours(uint32_t &state, bool onGrid) {
    auto next = [&state](int n) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 8) % static_cast<uint32_t>(n));
    };
    Contours c(1 + next(3));
    for (auto &contour : c) {
        const int n = 3 + next(14);
        for (int i = 0; i < n; ++i)
            if (onGrid)
                contour.push_back({1.25 * next(9), 1.25 * next(9), 0});
            else
                contour.push_back({next(1000000) * 1e-5, next(1000000) * 1e-5, 0});
    }
    return c;
}

TEST(Tessellator, RandomContours) {
    uint32_t state = 12345;
    for (int seed = 0; seed < 100; ++seed) {
        const Contours c = randomContours(state, seed % 2);
        for (GLenum rule : kRules) {
            SCOPED_TRACE(testing::Message() << "polygon " << seed << ", rule " << rule);
            checkAgainstWinding(c, rule, 1.0, 0.125);
        }
    }
}

// A small polygon's pairs of edges to split are found by a sweep, a large
// one's through the tree of boxes, as are a small one's when a vertex ends
// no edge: a one-point contour beside the polygon makes it take the tree,
// and must change no call.
TEST(Tessellator, SmallPolygonsSplitAsTheTreeWouldSplitThem) {
    uint32_t state = 4321;
    for (int seed = 0; seed < 200; ++seed) {
        SCOPED_TRACE(testing::Message() << "polygon " << seed);
        const Contours c = randomContours(state, seed % 2);
        Options o;
        o.rule = GLU_TESS_WINDING_NONZERO;
        const Contours withPoint = c + Contours{{{-1, -1, 0}}};
        const Record bySweep = tessellate(c, o), byTree = tessellate(withPoint, o);
        const auto points = [](const Record &r) {
            std::vector<P3> v;
            for (const auto &prim : r.prims)
                for (const double *p : prim)
                    v.push_back({p[0], p[1], p[2]});
            return v;
        };
        EXPECT_EQ(points(bySweep), points(byTree));
        EXPECT_EQ(bySweep.made, byTree.made);
        EXPECT_EQ(bySweep.weights, byTree.weights);
    }
}

// Every decision is exact, so a polygon scaled by a power of two, to the
// largest coordinates allowed or to the smallest normal ones, gives the
// same calls with its coordinates scaled.
TEST(Tessellator, ScalingByAPowerOfTwoScalesTheOutputExactly) {
    std::vector<Contours> polygons = {shapes()[2].contours, shapes()[3].contours};
    polygons.push_back({{{0.1, 0.2, 0}, {9.7, 3.3, 0}, {0.3, 9.1, 0}, {8.8, 8.9, 0}, {2.2, 0.4, 0}, {7.1, 6.6, 0}}});
    for (const Contours &c : polygons)
        for (int e : {-1015, -600, 300, 490}) {
            SCOPED_TRACE(testing::Message() << "scaled by 2^" << e);
            const double k = std::ldexp(1.0, e);
            Contours scaled = c;
            for (auto &contour : scaled)
                for (P3 &v : contour)
                    for (double &x : v)
                        x *= k;
            Options o;
            o.rule = GLU_TESS_WINDING_NONZERO;
            const Record a = tessellate(c, o), b = tessellate(scaled, o);
            ASSERT_EQ(a.prims.size(), b.prims.size());
            EXPECT_FALSE(a.prims.empty());
            for (size_t p = 0; p < a.prims.size(); ++p) {
                ASSERT_EQ(a.prims[p].size(), b.prims[p].size());
                for (size_t i = 0; i < a.prims[p].size(); ++i)
                    for (int j = 0; j < 2; ++j)
                        EXPECT_EQ(a.prims[p][i][j] * k, b.prims[p][i][j]);
            }
        }
}

TEST(Tessellator, CrossingsGoThroughCombineOrGiveNoOutput) {
    const Contours star = shapes()[2].contours;
    Options o;
    o.rule = GLU_TESS_WINDING_NONZERO;
    const Record r = tessellate(star, o);
    EXPECT_EQ(r.made.size(), 5u);  // one vertex per crossing, each asked for once
    EXPECT_TRUE(r.errors.empty());

    o.combine = false;
    const Record missing = tessellate(star, o);
    EXPECT_EQ(missing.errors, std::vector<GLenum>{GLU_TESS_NEED_COMBINE_CALLBACK});
    EXPECT_TRUE(missing.begins.empty());

    // The same polygon always gives the same calls.
    o.combine = true;
    const Record again = tessellate(star, o);
    ASSERT_EQ(again.prims.size(), r.prims.size());
    EXPECT_EQ(again.weights, r.weights);
    for (size_t p = 0; p < r.prims.size(); ++p)
        for (size_t i = 0; i < r.prims[p].size(); ++i)
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(again.prims[p][i][k], r.prims[p][i][k]);
}

// Polygons of hundreds of edges, so that the crossings and the vertices
// on edges are found through several levels of the tessellator's tree of
// boxes, and each is split at several points in one pass; the same
// polygon tessellated twice gives the same calls.
TEST(Tessellator, LargePolygonsMatchTheirWindingNumbers) {
    const double pi = 3.141592653589793;
    uint32_t state = 777;
    auto uniform = [&state] {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0;
    };
    std::vector<P3> star, ring, hole;
    for (int i = 0; i < 500; ++i) {  // each edge crosses a few others
        const double a = 2 * pi * (i + 3 * uniform()) / 500, r = 2.5 + 2.5 * uniform();
        star.push_back({5 + r * std::cos(a), 5 + r * std::sin(a), 0});
    }
    for (int i = 0; i < 600; ++i) {
        const double a = 2 * pi * i / 600, r = 4 + 1.2 * std::sin(7 * a);
        ring.push_back({5 + r * std::cos(a), 5 + r * std::sin(a), 0});
        hole.insert(hole.begin(), {5 + 0.5 * r * std::cos(a), 5 + 0.5 * r * std::sin(a), 0});
    }
    Contours tiles;  // 400 squares, each overlapping its neighbours' corners
    for (int k = 0; k < 400; ++k)
        tiles = tiles + rect(0.5 * (k % 20), 0.5 * (k / 20), 0.5 * (k % 20) + 0.6, 0.5 * (k / 20) + 0.6);
    const Shape large[] = {{"jittered star", {star}}, {"wavy ring with a hole", {ring, hole}}, {"tiles", tiles}};
    for (const Shape &s : large) {
        for (GLenum rule : {GLU_TESS_WINDING_ODD, GLU_TESS_WINDING_NONZERO}) {
            SCOPED_TRACE(testing::Message() << s.name << ", rule " << rule);
            checkAgainstWinding(s.contours, rule, 1.0, 0.25);
        }
        const Record a = tessellate(s.contours, Options{}), b = tessellate(s.contours, Options{});
        ASSERT_EQ(a.prims.size(), b.prims.size()) << s.name;
        for (size_t p = 0; p < a.prims.size(); ++p) {
            ASSERT_EQ(a.prims[p].size(), b.prims[p].size()) << s.name;
            for (size_t i = 0; i < a.prims[p].size(); ++i)
                for (int k = 0; k < 3; ++k)
                    ASSERT_EQ(a.prims[p][i][k], b.prims[p][i][k]) << s.name;
        }
    }
}

// Each on a new tessellator, its properties the defaults, with the plain
// callbacks, on a counterclockwise square.
TEST(Tessellator, CallOrderMistakesAreReportedAndRepaired) {
    for (const tess_harness::CallOrderCase &c : tess_harness::kCallOrderCases) {
        SCOPED_TRACE(c.name);
        Record r;
        GLUtesselator *t = gluNewTess();
        tess_harness::listen(t, r, Options{});
        std::vector<P3> square = rect(0, 0, 1, 1)[0];
        c.calls(t, r, square);
        gluDeleteTess(t);
        rec = nullptr;
        EXPECT_EQ(r.errors, c.errors);
        size_t vertices = 0;
        for (const auto &prim : r.prims)
            vertices += prim.size();
        EXPECT_EQ(vertices, 3 * c.triangles);
        EXPECT_EQ(r.readBack, c.readBack);
    }
}

TEST(Tessellator, ErrorStringsNameTheTessellatorsErrors) {
    std::vector<GLenum> codes = {SOFTGLU_TESS_TOO_COMPLEX};
    for (GLenum e = GLU_TESS_MISSING_BEGIN_POLYGON; e <= GLU_TESS_NEED_COMBINE_CALLBACK; ++e)
        codes.push_back(e);
    for (GLenum e : codes)
        EXPECT_EQ(std::string(reinterpret_cast<const char *>(gluErrorString(e))).rfind("tessellator: ", 0), 0u)
            << e;
}

namespace {

// One polygon: each vertex at its point of `at`, its data the same
// vertex of `data` (the point the callbacks get back).
void polygon(GLUtesselator *t, Record &r, const Contours &at, const Contours &data) {
    gluTessBeginPolygon(t, &r);
    for (size_t c = 0; c < at.size(); ++c) {
        gluTessBeginContour(t);
        for (size_t i = 0; i < at[c].size(); ++i)
            gluTessVertex(t, const_cast<double *>(at[c][i].data()), const_cast<double *>(data[c][i].data()));
        gluTessEndContour(t);
    }
    gluTessEndPolygon(t);
}

// Corners the cases above do not reach, each on a new tessellator with the
// defaults: its calls, then "" or what is wrong; and the errors it reports.
struct Corner {
    std::string name;
    std::vector<GLenum> errors;
    std::function<std::string(GLUtesselator *, Record &)> run;
};

std::vector<Corner> corners() {
    const tess_oracle::Grid grid;
    std::vector<Corner> c;
    // Facing an axis other than z with no normal given: the computed
    // normal faces the side the outer contour runs counterclockwise about,
    // so POSITIVE selects the ring.  Each turn is a rotation taking +z to
    // the axis named.  The data are the points before the turn, where
    // the oracle sees them from +z.
    const Contours ring = rect(0, 0, 10, 10) + rect(3, 3, 7, 7, false);
    const std::pair<const char *, P3 (*)(const P3 &)> turns[] = {
        {"facing +x, no normal given", [](const P3 &p) { return P3{0, p[0], p[1]}; }},
        {"facing -x, no normal given", [](const P3 &p) { return P3{0, p[1], p[0]}; }},
        {"facing +y, no normal given", [](const P3 &p) { return P3{p[1], 0, p[0]}; }},
        {"facing -y, no normal given", [](const P3 &p) { return P3{p[0], 0, p[1]}; }},
    };
    for (const auto &turn : turns)
        c.push_back({turn.first, {}, [=](GLUtesselator *t, Record &r) {
                         Contours turned = ring;
                         for (auto &contour : turned)
                             for (P3 &p : contour)
                                 p = turn.second(p);
                         gluTessProperty(t, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_POSITIVE);
                         polygon(t, r, turned, ring);
                         return tess_oracle::checkTriangles(ring, GLU_TESS_WINDING_POSITIVE, 1, r, grid);
                     }});
    c.push_back({"GLU_TESS_TOLERANCE 0 after another", {}, [](GLUtesselator *t, Record &) {
                     gluTessProperty(t, GLU_TESS_TOLERANCE, 0.5);
                     gluTessProperty(t, GLU_TESS_TOLERANCE, 0.0);
                     double value = -1;
                     gluGetTessProperty(t, GLU_TESS_TOLERANCE, &value);
                     return value == 0.0 ? "" : "it reads back " + std::to_string(value);
                 }});
    // Any value but 0 is on, and reads back as 1.
    for (double on : {2.0, 0.5, -1.0})
        c.push_back({"GLU_TESS_BOUNDARY_ONLY " + testing::PrintToString(on), {}, [on](GLUtesselator *t, Record &r) {
                         gluTessProperty(t, GLU_TESS_BOUNDARY_ONLY, on);
                         double value = -1;
                         gluGetTessProperty(t, GLU_TESS_BOUNDARY_ONLY, &value);
                         const Contours square = rect(0, 0, 4, 4);
                         polygon(t, r, square, square);
                         return value != 1.0 ? "it reads back " + std::to_string(value)
                                             : tess_oracle::checkLoops(r, 1, 16);
                     }});
    // A diamond as large as allowed, its left corner given beyond the limit
    // and clamped to it: the diamond's output.  Not clamped, the corner
    // would take the others within the snapping distance of one another;
    // clamped to the right, onto the right corner, it would leave no area.
    c.push_back({"a coordinate below -GLU_TESS_MAX_COORD", {GLU_TESS_COORD_TOO_LARGE}, [](GLUtesselator *t, Record &r) {
                     const double m = GLU_TESS_MAX_COORD;
                     const Contours diamond = {{{-m, 0, 0}, {0, -m, 0}, {m, 0, 0}, {0, m, 0}}};
                     Contours given = diamond;
                     given[0][0][0] = -1e300;
                     polygon(t, r, given, diamond);
                     const Record want = tessellate(diamond, Options{});
                     return !want.prims.empty() && r.prims == want.prims ? "" : "not the diamond's output";
                 }});
    c.push_back({"a polygon after one that held a NaN", {GLU_TESS_COORD_TOO_LARGE}, [=](GLUtesselator *t, Record &r) {
                     const Contours square = rect(0, 0, 4, 4);
                     Contours nan = square;
                     nan[0][2][1] = std::nan("");
                     polygon(t, r, nan, nan);
                     polygon(t, r, square, square);
                     return tess_oracle::checkTriangles(square, GLU_TESS_WINDING_ODD, 1, r, grid);
                 }});
    // A and B, 1.5 snapping distances apart (2^-43: 2^-44 of the largest
    // coordinate, 2), as a contour of no area, then the triangle Q P R with
    // P between them, nearer B: P joins A, the earlier, so the output is
    // the triangle Q A R, B outside it.
    c.push_back({"a vertex within the snapping distance of two", {}, [=](GLUtesselator *t, Record &r) {
                     const double d = std::ldexp(1.0, -43);
                     const Contours in = {{{1, 1, 0}, {1 + 1.5 * d, 1, 0}},  // A, B
                                          {{0, 0, 0}, {1 + 0.875 * d, 1, 0}, {0, 2, 0}}};  // Q, P, R
                     polygon(t, r, in, in);
                     for (const auto &prim : r.prims)
                         for (const double *v : prim)
                             if (v != in[0][0].data() && v != in[1][0].data() && v != in[1][2].data())
                                 return std::string("a vertex other than Q, A and R is sent");
                     return tess_oracle::checkTriangles(in, GLU_TESS_WINDING_ODD, 1, r, grid);
                 }});
    // 140 points within about 35 snapping distances of one another (2^-45
    // here): every edge passes near every vertex, and splitting routes
    // edges through the same vertices again and again.  The repeats merge
    // before each pass, their counts summed, so it settles (it took seconds
    // and multiplied its segments tenfold before) and draws, counterclockwise about +z.
    c.push_back({"a crowded spot", {}, [=](GLUtesselator *t, Record &r) {
                     uint32_t state = 7;
                     const auto offset = [&state] {
                         state = state * 1664525u + 1013904223u;
                         return (static_cast<int>((state >> 8) % 2001u) - 1000) * 1e-15;
                     };
                     Contours in(1);
                     for (int i = 0; i < 140; ++i)
                         in[0].push_back({0.5 + offset(), 0.5 + offset(), 0});
                     gluTessNormal(t, 0, 0, 1);
                     polygon(t, r, in, in);
                     if (r.prims.empty() || !r.combineFault.empty())
                         return std::string("no output, or a COMBINE amiss");
                     for (const auto &prim : r.prims)
                         for (size_t k = 0; k + 2 < prim.size(); k += 3) {
                             const double *a = prim[k], *b = prim[k + 1], *d = prim[k + 2];
                             if (tess_oracle::cross(a[0], a[1], b[0], b[1], d[0], d[1]) <= 0)
                                 return std::string("a triangle not counterclockwise");
                         }
                     return std::string();
                 }});
    return c;
}

}  // namespace

// Outside the suite "Tessellator", so that tests/reference/mutants.sh runs
// it for each slip: it takes milliseconds.
TEST(TessellatorCorners, FacingsPropertyValuesLimitsReuseAndSnapping) {
    for (const Corner &c : corners()) {
        SCOPED_TRACE(c.name);
        Record r;
        GLUtesselator *t = newTess(r, Options{});
        EXPECT_EQ(c.run(t, r), "");
        finish(t, r);
        EXPECT_EQ(r.errors, c.errors);
    }
}

namespace {

// A square of two triangles, (0,0) (2,0) (2,2) and (0,0) (2,2) (0,2), all
// of it selected, for meshFault; each case breaks one rule.
struct MeshTriangle {
    int v[3];
};
struct BrokenMesh {
    const char *name;
    void (*breakIt)(std::vector<MeshTriangle> &, std::vector<std::pair<int, int>> &);
    const char *fault;  // null: nothing is wrong
};

}  // namespace

// Outside the suite "Tessellator", so that tests/reference/mutants.sh runs it.
TEST(TessellatorMeshCheck, EachRuleCatchesItsFault) {
    const BrokenMesh cases[] = {
        {"the square as made", [](auto &, auto &) {}, nullptr},
        {"a triangle clockwise", [](auto &t, auto &) { t[1] = {{0, 3, 2}}; }, "a triangle not counterclockwise"},
        {"a triangle twice", [](auto &t, auto &) { t.push_back(t[0]); }, "two triangles overlap"},
        {"a triangle left out", [](auto &t, auto &) { t.pop_back(); }, "a gap between triangles"},
        {"a graph edge across the other diagonal", [](auto &, auto &g) { g.push_back({1, 3}); },
         "a graph edge not an edge of the triangles"},
    };
    const double at[4][2] = {{0, 0}, {2, 0}, {2, 2}, {0, 2}};
    for (const BrokenMesh &m : cases) {
        SCOPED_TRACE(m.name);
        std::vector<MeshTriangle> tri = {{{0, 1, 2}}, {{0, 2, 3}}};
        std::vector<std::pair<int, int>> graph = {{0, 1}, {1, 2}, {2, 3}, {3, 0}};  // the sides, counterclockwise
        m.breakIt(tri, graph);
        const auto point = [&](int v) { return at[v]; };
        const auto ccw = [](const double *a, const double *b, const double *c) {
            return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]) > 0;  // exact: small integers
        };
        const auto onBoundary = [](const MeshTriangle &, int p, int q) { return (q - p + 4) % 4 == 1; };
        const auto side = [&](int k, int &p, int &q) {
            p = graph[k].first, q = graph[k].second;
            return true;
        };
        std::vector<uint64_t> keys(6 * tri.size());
        const char *fault = compat::meshFault(tri.data(), static_cast<int>(tri.size()), point, ccw, onBoundary,
                                              static_cast<int>(graph.size()), side, keys.data());
        EXPECT_EQ(std::string(fault ? fault : "none"), std::string(m.fault ? m.fault : "none"));
    }
}

#ifdef SOFTGLU_TESS_BUDGETS_LOWERED
// Only in softglu_tess_budgets, whose tessellator allows one pass of
// splitting (tests/CMakeLists.txt): a polygon past it is reported as
// SOFTGLU_TESS_TOO_COMPLEX and draws nothing; one within it draws as ever.
TEST(TessellatorBudgets, APolygonPastABudgetIsReportedAndDrawsNothing) {
    const struct {
        const char *name;
        Contours contours;
        bool tooComplex;
    } cases[] = {
        {"a square: no crossing", rect(0, 0, 4, 4), false},
        {"a bow tie: a second pass to see its crossing settled", {{{0, 0, 0}, {8, 8, 0}, {8, 0, 0}, {0, 8, 0}}}, true},
        {"two triangles, apart: no crossing", {{{0, 0, 0}, {10, 0, 0}, {5, 5, 0}}, {{3, -1, 0}, {5, -3, 0}, {7, -1, 0}}},
         false},
    };
    const tess_oracle::Grid grid;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Record r = tessellate(c.contours, Options{});
        if (c.tooComplex) {
            EXPECT_EQ(r.errors, std::vector<GLenum>{SOFTGLU_TESS_TOO_COMPLEX});
            EXPECT_TRUE(r.prims.empty());
        } else {
            EXPECT_EQ(r.errors, std::vector<GLenum>{});
            EXPECT_EQ(tess_oracle::checkTriangles(c.contours, GLU_TESS_WINDING_ODD, 1, r, grid), "");
        }
    }
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(gluErrorString(SOFTGLU_TESS_TOO_COMPLEX))),
              "tessellator: polygon too complex (crossings that do not settle)");
}
#endif
