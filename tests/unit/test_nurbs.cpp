// SPDX-License-Identifier: MIT
// NURBS curves and surfaces against an independent evaluation
// (nurbs_oracle.h): every vertex lies on the map evaluated by the Cox-de
// Boor sums at the parameters its Greville texture map reports, normals
// agree with the cross product of the partial derivatives, the triangles
// cover the parameter domain (less the trimmed part) once, counter-
// clockwise; then what renderer mode sends to GL, the properties, the
// callbacks and every error softglu raises.  The shapes and the error
// cases are tests/support/nurbs_shapes.h's.
#define SOFTGLU_COMPAT  // the compatibility layer's calls are declared with its switch
#include "stream.h"

#include "../support/nurbs_shapes.h"
#include "nurbs_oracle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace {

using nurbs_oracle::Direction;
using nurbs_oracle::Surface;
using nurbs_shapes::gSquare;

// ---- What the callbacks receive ----------------------------------------------

struct Got {
    float pos[3], normal[3], color[4], tex[4];
    bool hasNormal, hasColor, hasTex;
};

struct Prim {
    GLenum type;
    std::vector<Got> vertices;
};

struct Capture {
    std::vector<Prim> prims;
    std::vector<GLenum> errors;
    Got pending{};
    bool open = false, unbalanced = false;
    int plainCalls = 0;
};
Capture *cap;

void CALLBACK_beginData(GLenum type, void *data) {
    Capture &c = *static_cast<Capture *>(data);
    c.unbalanced = c.unbalanced || c.open;
    c.open = true;
    c.prims.push_back({type, {}});
}
void CALLBACK_vertexData(GLfloat *v, void *data) {
    Capture &c = *static_cast<Capture *>(data);
    if (!c.open) {
        c.unbalanced = true;
        return;
    }
    std::memcpy(c.pending.pos, v, sizeof c.pending.pos);
    c.prims.back().vertices.push_back(c.pending);
    c.pending = Got{};
}
void CALLBACK_normalData(GLfloat *n, void *data) {
    Got &g = static_cast<Capture *>(data)->pending;
    std::memcpy(g.normal, n, sizeof g.normal);
    g.hasNormal = true;
}
void CALLBACK_colorData(GLfloat *n, void *data) {
    Got &g = static_cast<Capture *>(data)->pending;
    std::memcpy(g.color, n, sizeof g.color);
    g.hasColor = true;
}
void CALLBACK_texData(GLfloat *t, void *data) {
    Got &g = static_cast<Capture *>(data)->pending;
    std::memcpy(g.tex, t, sizeof(float) * 2);
    g.hasTex = true;
}
void CALLBACK_endData(void *data) {
    Capture &c = *static_cast<Capture *>(data);
    c.unbalanced = c.unbalanced || !c.open;
    c.open = false;
}
void CALLBACK_plain(GLenum) { ++cap->plainCalls; }
void CALLBACK_error(GLenum code) { cap->errors.push_back(code); }

_GLUfuncptr fn(void (*f)(GLenum)) { return reinterpret_cast<_GLUfuncptr>(f); }
template <typename F>
_GLUfuncptr fn(F *f) {
    return reinterpret_cast<_GLUfuncptr>(f);
}

// A NURBS object in tessellator mode delivering to `c`.
GLUnurbs *tessellating(Capture &c) {
    cap = &c;
    GLUnurbs *n = gluNewNurbsRenderer();
    EXPECT_NE(n, nullptr);
    gluNurbsProperty(n, GLU_NURBS_MODE, GLU_NURBS_TESSELLATOR);
    gluNurbsCallbackData(n, &c);
    gluNurbsCallback(n, GLU_NURBS_BEGIN, fn(CALLBACK_plain));  // the _DATA forms win
    gluNurbsCallback(n, GLU_NURBS_BEGIN_DATA, fn(CALLBACK_beginData));
    gluNurbsCallback(n, GLU_NURBS_VERTEX_DATA, fn(CALLBACK_vertexData));
    gluNurbsCallback(n, GLU_NURBS_NORMAL_DATA, fn(CALLBACK_normalData));
    gluNurbsCallback(n, GLU_NURBS_COLOR_DATA, fn(CALLBACK_colorData));
    gluNurbsCallback(n, GLU_NURBS_TEXTURE_COORD_DATA, fn(CALLBACK_texData));
    gluNurbsCallback(n, GLU_NURBS_END_DATA, fn(CALLBACK_endData));
    gluNurbsCallback(n, GLU_NURBS_ERROR, fn(CALLBACK_error));
    return n;
}

// ---- Surfaces, their Greville texture maps and trims ------------------------------

std::vector<float> floats(const std::vector<double> &v) { return std::vector<float>(v.begin(), v.end()); }

// A map's float arrays as the program gives them (sStride = count_v * dim).
struct Given {
    std::vector<float> uKnots, vKnots, points, greville;
};

Given given(const Surface &s) {
    return {floats(s.u.knots), floats(s.v.knots), floats(s.points), nurbs_oracle::grevilleMap(s)};
}

void sendSurface(GLUnurbs *n, Given &g, const Surface &s) {
    const GLenum type = s.dim == 4 ? GL_MAP2_VERTEX_4 : GL_MAP2_VERTEX_3;
    const int nu = static_cast<int>(g.uKnots.size()), nv = static_cast<int>(g.vKnots.size());
    gluNurbsSurface(n, nu, g.uKnots.data(), nv, g.vKnots.data(), s.v.count() * s.dim, s.dim, g.points.data(),
                    s.u.order, s.v.order, type);
    gluNurbsSurface(n, nu, g.uKnots.data(), nv, g.vKnots.data(), s.v.count() * 2, 2, g.greville.data(), s.u.order,
                    s.v.order, GL_MAP2_TEXTURE_COORD_2);
}

typedef std::vector<std::vector<float>> Trim;  // loops of (u, v) pairs, closed

// The trim loops go as GLU_MAP1_TRIM_3 when `homogeneous`: point k as
// (u w, v w, w), its weight w running 1, 1.5, 2.
Capture drawSurface(const Surface &s, const std::function<void(GLUnurbs *)> &setup, const Trim &trim = {},
                    bool homogeneous = false) {
    Capture c;
    GLUnurbs *n = tessellating(c);
    setup(n);
    Given g = given(s);
    gluBeginSurface(n);
    sendSurface(n, g, s);
    for (const auto &l : trim) {
        std::vector<float> pts;
        for (size_t k = 0; k < l.size(); k += 2) {
            const float w = homogeneous ? 1.0f + 0.5f * static_cast<float>(k / 2 % 3) : 1.0f;
            pts.insert(pts.end(), {l[k] * w, l[k + 1] * w});
            if (homogeneous)
                pts.push_back(w);
        }
        gluBeginTrim(n);
        gluPwlCurve(n, static_cast<GLint>(l.size() / 2), pts.data(), homogeneous ? 3 : 2,
                    homogeneous ? GLU_MAP1_TRIM_3 : GLU_MAP1_TRIM_2);
        gluEndTrim(n);
    }
    gluEndSurface(n);
    gluDeleteNurbsRenderer(n);
    return c;
}

// Each primitive's triangles: strips and fans unrolled, counterclockwise.
std::vector<std::array<const Got *, 3>> trianglesOf(const Prim &p) {
    std::vector<std::array<const Got *, 3>> t;
    const auto &v = p.vertices;
    for (size_t i = 2; i < v.size(); ++i) {
        if (p.type == GL_TRIANGLES && i % 3 == 2)
            t.push_back({&v[i - 2], &v[i - 1], &v[i]});
        else if (p.type == GL_TRIANGLE_STRIP)
            t.push_back(i % 2 == 0 ? std::array<const Got *, 3>{&v[i - 2], &v[i - 1], &v[i]}
                                   : std::array<const Got *, 3>{&v[i - 1], &v[i - 2], &v[i]});
    }
    return t;
}

double uvArea(const std::array<const Got *, 3> &t) {
    const float *a = t[0]->tex, *b = t[1]->tex, *c = t[2]->tex;
    return ((b[0] - a[0]) * static_cast<double>(c[1] - a[1]) - (b[1] - a[1]) * static_cast<double>(c[0] - a[0])) / 2;
}

// "" or what is wrong with one vertex against the oracle.
std::string checkVertex(const Surface &s, const Got &g, double tolerance) {
    if (!g.hasTex || !g.hasNormal)
        return "a vertex without its texture coordinate or normal";
    double p[3], nrm[3];
    nurbs_oracle::pointAndNormal(s, g.tex[0], g.tex[1], p, nrm);
    for (int c = 0; c < 3; ++c)
        if (std::fabs(p[c] - g.pos[c]) > tolerance)
            return "vertex (" + std::to_string(g.pos[0]) + ", " + std::to_string(g.pos[1]) + ", " +
                   std::to_string(g.pos[2]) + ") off the surface at (" + std::to_string(g.tex[0]) + ", " +
                   std::to_string(g.tex[1]) + ")";
    const double d = nrm[0] * g.normal[0] + nrm[1] * g.normal[1] + nrm[2] * g.normal[2];
    const bool degenerate = nrm[0] == 0 && nrm[1] == 0 && nrm[2] == 0;  // a pole: any normal
    if (!degenerate && d < 0.9999)
        return "normal off by acos(" + std::to_string(d) + ") at (" + std::to_string(g.tex[0]) + ", " +
               std::to_string(g.tex[1]) + ")";
    return "";
}

// ---- The surfaces ------------------------------------------------------------------

Direction clamped(int order, std::vector<double> interior, double lo = 0.0, double hi = 1.0) {
    return {nurbs_shapes::clampedKnots(order, interior, lo, hi), order};
}

// The bumpy height field, its points a unit apart.
Surface bumpy(Direction u, Direction v) { return {u, v, 3, nurbs_shapes::bumpy(u.count(), v.count(), 1.0)}; }

struct SurfaceCase {
    const char *name;
    Surface surface;
    GLenum method;
    float tolerance;
};

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
// A modelview that shears z into y, so that heights show on the screen.
const float kShear[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1};
// An orthographic view of [-4, 4]^3 on a 400 x 400 viewport.
const float kOrtho[16] = {0.25f, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, -0.25f, 0, 0, 0, 0, 1};
const GLint kViewport[4] = {0, 0, 400, 400};

std::vector<SurfaceCase> surfaceCases() {
    const Surface patch = bumpy(clamped(4, {}), clamped(4, {}));
    const Surface spans = bumpy(clamped(4, {0.25, 0.5, 0.5, 0.75}), clamped(3, {1.5, 2.0}, 1.0, 3.0));
    const Surface linear = bumpy(clamped(2, {0.5}), clamped(4, {}));
    return {
        {"patch_domain", patch, GLU_DOMAIN_DISTANCE, 7},
        {"patch_object_path", patch, GLU_OBJECT_PATH_LENGTH, 0.3f},
        {"patch_object_error", patch, GLU_OBJECT_PARAMETRIC_ERROR, 0.01f},
        {"patch_path", patch, GLU_PATH_LENGTH, 10},
        {"patch_error", patch, GLU_PARAMETRIC_ERROR, 0.5f},
        {"spans_domain", spans, GLU_DOMAIN_DISTANCE, 10},
        {"spans_path", spans, GLU_PATH_LENGTH, 20},
        {"linear_by_cubic", linear, GLU_OBJECT_PARAMETRIC_ERROR, 0.05f},
        {"quarter_cylinder", {clamped(3, {}), clamped(2, {}), 4, nurbs_shapes::quarterCylinder<double>()},
         GLU_OBJECT_PATH_LENGTH, 0.2f},
        {"sphere_octant", {clamped(3, {}), clamped(3, {}), 4, nurbs_shapes::sphereOctant<double>()}, GLU_DOMAIN_DISTANCE, 9},
    };
}

void setMethod(GLUnurbs *n, GLenum method, float tolerance) {
    gluNurbsProperty(n, GLU_SAMPLING_METHOD, method);
    gluNurbsProperty(n, GLU_AUTO_LOAD_MATRIX, GL_FALSE);
    gluLoadSamplingMatrices(n, kShear, kOrtho, kViewport);
    if (method == GLU_DOMAIN_DISTANCE) {
        gluNurbsProperty(n, GLU_U_STEP, tolerance);
        gluNurbsProperty(n, GLU_V_STEP, tolerance + 1);
    } else if (method == GLU_PATH_LENGTH || method == GLU_OBJECT_PATH_LENGTH) {
        gluNurbsProperty(n, GLU_SAMPLING_TOLERANCE, tolerance);
    } else {
        gluNurbsProperty(n, GLU_PARAMETRIC_TOLERANCE, tolerance);
    }
}

void PrintTo(const SurfaceCase &c, std::ostream *os) { *os << c.name; }

class Surfaces : public ::testing::TestWithParam<SurfaceCase> {};

// Every vertex on the surface with the oracle's normal; the triangles
// cover the domain once, counterclockwise in (u, v).
TEST_P(Surfaces, VerticesLieOnTheSurfaceAndTrianglesCoverTheDomain) {
    const SurfaceCase &sc = GetParam();
    const Surface &s = sc.surface;
    Capture c = drawSurface(s, [&](GLUnurbs *n) { setMethod(n, sc.method, sc.tolerance); });
    EXPECT_TRUE(c.errors.empty());
    EXPECT_FALSE(c.unbalanced);
    EXPECT_EQ(c.plainCalls, 0);
    ASSERT_FALSE(c.prims.empty());
    double area = 0.0;
    size_t triangles = 0;
    for (const Prim &p : c.prims) {
        EXPECT_EQ(p.type, static_cast<GLenum>(GL_TRIANGLE_STRIP));
        for (const Got &g : p.vertices)
            ASSERT_EQ(checkVertex(s, g, 1e-5), "") << sc.name;
        for (const auto &t : trianglesOf(p)) {
            const double a = uvArea(t);
            EXPECT_GT(a, 0.0) << sc.name << ": a triangle clockwise or flat in (u, v)";
            area += a;
            ++triangles;
        }
    }
    const double domain = (s.u.hi() - s.u.lo()) * (s.v.hi() - s.v.lo());
    EXPECT_NEAR(area, domain, 1e-5 * domain) << sc.name;
    EXPECT_GE(triangles, 2u);
}

INSTANTIATE_TEST_SUITE_P(Nurbs, Surfaces, ::testing::ValuesIn(surfaceCases()),
                         [](const ::testing::TestParamInfo<SurfaceCase> &i) { return std::string(i.param.name); });

// A finer tolerance never gives fewer steps, in every method.
TEST(Nurbs, FinerToleranceSamplesMore) {
    const Surface s = bumpy(clamped(4, {0.5}), clamped(4, {}));
    const struct {
        GLenum method;
        float coarse, fine;
    } cases[] = {{GLU_DOMAIN_DISTANCE, 3, 12},
                 {GLU_PATH_LENGTH, 80, 10},
                 {GLU_PARAMETRIC_ERROR, 4, 0.2f},
                 {GLU_OBJECT_PATH_LENGTH, 3, 0.4f},
                 {GLU_OBJECT_PARAMETRIC_ERROR, 0.5f, 0.01f}};
    for (const auto &k : cases) {
        auto vertices = [&](float tol) {
            size_t count = 0;
            for (const Prim &p : drawSurface(s, [&](GLUnurbs *n) { setMethod(n, k.method, tol); }).prims)
                count += p.vertices.size();
            return count;
        };
        EXPECT_LT(vertices(k.coarse), vertices(k.fine)) << k.method;
    }
}

// GLU_DOMAIN_DISTANCE: each span cut into exactly ceil(length x step) steps.
TEST(Nurbs, DomainDistanceStepsExactly) {
    const Surface s = bumpy(clamped(3, {0.25}), clamped(2, {}, 0.0, 2.0));
    Capture c = drawSurface(s, [](GLUnurbs *n) {
        gluNurbsProperty(n, GLU_SAMPLING_METHOD, GLU_DOMAIN_DISTANCE);
        gluNurbsProperty(n, GLU_U_STEP, 10);  // spans 0.25 and 0.75: 3 + 8 steps
        gluNurbsProperty(n, GLU_V_STEP, 1.5f);  // one span of 2: 3 steps
    });
    ASSERT_EQ(c.prims.size(), 3u);
    for (const Prim &p : c.prims)
        EXPECT_EQ(p.vertices.size(), 2u * 12u);
}

// ---- Trimming -------------------------------------------------------------------------

std::vector<float> polygon(double cu, double cv, double r, int sides, bool ccw) {
    std::vector<float> l;
    for (int k = 0; k <= sides; ++k) {
        const double a = 2 * M_PI * (k % sides) / sides * (ccw ? 1 : -1);
        l.push_back(static_cast<float>(cu + r * std::cos(a)));
        l.push_back(static_cast<float>(cv + r * std::sin(a)));
    }
    return l;
}

double shoelace(const std::vector<float> &l) {
    double a = 0;
    for (size_t i = 0; i + 3 < l.size(); i += 2)
        a += static_cast<double>(l[i]) * l[i + 3] - static_cast<double>(l[i + 2]) * l[i + 1];
    return a / 2;
}

// A closed loop through the given points, clockwise (a hole) or not.
std::vector<float> loop(std::vector<float> l, bool ccw) {
    l.insert(l.end(), {l[0], l[1]});
    if ((shoelace(l) > 0) != ccw)
        for (size_t i = 0, j = l.size() - 2; i < j; i += 2, j -= 2)
            std::swap(l[i], l[j]), std::swap(l[i + 1], l[j + 1]);
    return l;
}

// The loops' winding number at (u, v) and whether a loop edge crosses the
// open segment p-q (each end clearly on either side of the other's line).
int windingOf(const Trim &trim, double u, double v) {
    int w = 0;
    for (const auto &l : trim)
        for (size_t i = 0; i + 3 < l.size(); i += 2) {
            const double au = l[i], av = l[i + 1], bu = l[i + 2], bv = l[i + 3];
            const double side = (bu - au) * (v - av) - (bv - av) * (u - au);
            if (av <= v && bv > v && side > 0)
                ++w;
            else if (bv <= v && av > v && side < 0)
                --w;
        }
    return w;
}

// Texture coordinates are floats: a point within 1e-7 of a line is on it.
bool crossesTrim(const Trim &trim, const float *p, const float *q) {
    auto side = [](double au, double av, double bu, double bv, double u, double v) {
        const double d = (bu - au) * (v - av) - (bv - av) * (u - au);
        const double slack = 1e-7 * std::hypot(bu - au, bv - av);
        return d > slack ? 1 : d < -slack ? -1 : 0;
    };
    for (const auto &l : trim)
        for (size_t i = 0; i + 3 < l.size(); i += 2) {
            const double au = l[i], av = l[i + 1], bu = l[i + 2], bv = l[i + 3];
            const int s1 = side(au, av, bu, bv, p[0], p[1]), s2 = side(au, av, bu, bv, q[0], q[1]);
            const int s3 = side(p[0], p[1], q[0], q[1], au, av), s4 = side(p[0], p[1], q[0], q[1], bu, bv);
            if (s1 * s2 < 0 && s3 * s4 < 0)
                return true;
        }
    return false;
}

// The trimmed region of a surface of two by one spans at 8 steps a unit
// (cells of 1/8): every vertex on the surface, the area inside the loops
// covered once by counterclockwise triangles, each inside one cell and
// inside the loops, none across a trim edge.  Loops through grid vertices
// and along grid lines, touching at a point or a few units in the last
// place apart are decided exactly; homogeneous trims are divided by their
// weights.
TEST(Nurbs, TrimmedRegionIsCoveredOnceByTrianglesOnTheSurface) {
    const Surface s = bumpy(clamped(4, {0.5}), clamped(4, {}));
    const float sliver = 0.5f + 4 * std::numeric_limits<float>::epsilon() / 2;  // 4 units in the last place above 0.5
    const struct {
        const char *name;
        Trim trim;
        bool homogeneous;
    } cases[] = {
        {"round hole", {gSquare, polygon(0.5, 0.5, 0.3, 40, false)}, false},
        {"hole with an island", {gSquare, polygon(0.5, 0.5, 0.35, 24, false), polygon(0.5, 0.5, 0.15, 12, true)}, false},
        {"two holes", {gSquare, polygon(0.25, 0.3, 0.1, 8, false), polygon(0.7, 0.6, 0.2, 9, false)}, false},
        {"island alone", {polygon(0.4, 0.6, 0.3, 17, true)}, false},
        {"homogeneous round hole", {gSquare, polygon(0.5, 0.5, 0.3, 40, false)}, true},
        {"homogeneous island", {polygon(0.4, 0.6, 0.3, 17, true)}, true},
        {"square hole along grid lines", {gSquare, loop({0.25f, 0.25f, 0.75f, 0.25f, 0.75f, 0.625f, 0.25f, 0.625f}, false)}, false},
        {"diamond through grid vertices", {gSquare, loop({0.5f, 0.125f, 0.875f, 0.5f, 0.5f, 0.875f, 0.125f, 0.5f}, false)}, false},
        {"island along grid lines", {loop({0.125f, 0.25f, 0.625f, 0.25f, 0.625f, 0.75f, 0.125f, 0.75f}, true)}, false},
        {"two holes touching at a point",
         {gSquare, loop({0.2f, 0.2f, 0.45f, 0.2f, 0.45f, 0.43f}, false), loop({0.45f, 0.43f, 0.8f, 0.6f, 0.5f, 0.8f}, false)}, false},
        {"hole touching the outer loop", {gSquare, loop({0.3f, 0.4f, 0.55f, 0.0f, 0.7f, 0.4f}, false)}, false},
        {"sliver hole a few units wide", {gSquare, loop({0.2f, 0.5f, 0.8f, 0.5f, 0.8f, sliver}, false)}, false},
        {"sliver island", {loop({0.1f, 0.5f, 0.9f, 0.5f, 0.9f, sliver, 0.1f, sliver}, true)}, false},
    };
    for (const auto &k : cases) {
        const auto eighths = [](GLUnurbs *n) {
            setMethod(n, GLU_DOMAIN_DISTANCE, 8);
            gluNurbsProperty(n, GLU_V_STEP, 8);
        };
        Capture c = drawSurface(s, eighths, k.trim, k.homogeneous);
        EXPECT_TRUE(c.errors.empty()) << k.name;
        EXPECT_FALSE(c.unbalanced) << k.name;
        double area = 0, want = 0;
        for (const auto &l : k.trim)
            want += shoelace(l);
        for (const Prim &p : c.prims) {
            EXPECT_TRUE(p.type == GL_TRIANGLES || p.type == GL_TRIANGLE_STRIP) << k.name;
            for (const Got &g : p.vertices)
                ASSERT_EQ(checkVertex(s, g, 1e-5), "") << k.name;
            for (const auto &t : trianglesOf(p)) {
                const double a = uvArea(t);
                EXPECT_GE(a, -1e-9) << k.name;  // float texture coordinates may turn a sliver
                area += a;
                const float *q[3] = {t[0]->tex, t[1]->tex, t[2]->tex};
                for (int d = 0; d < 2; ++d) {
                    const double lo = std::min({q[0][d], q[1][d], q[2][d]}), hi = std::max({q[0][d], q[1][d], q[2][d]});
                    EXPECT_LE(std::floor(hi * 8 - 1e-6), std::floor(lo * 8 + 1e-6)) << k.name << ": across a cell";
                }
                if (a > 1e-9) {
                    const double u = (q[0][0] + q[1][0] + q[2][0]) / 3.0, v = (q[0][1] + q[1][1] + q[2][1]) / 3.0;
                    EXPECT_GE(windingOf(k.trim, u, v), 1) << k.name << ": outside the loops at " << u << ", " << v;
                }
                for (int e = 0; e < 3; ++e)
                    EXPECT_FALSE(crossesTrim(k.trim, q[e], q[(e + 1) % 3])) << k.name << ": across a trim edge";
            }
        }
        EXPECT_NEAR(area, want, 1e-5) << k.name;
    }
}

// The textbook's hole: a NURBS piece and a piecewise-linear one.
TEST(Nurbs, TrimLoopOfNurbsAndPwlPieces) {
    const Surface s = bumpy(clamped(4, {}), clamped(4, {}));
    Capture c;
    GLUnurbs *n = tessellating(c);
    setMethod(n, GLU_DOMAIN_DISTANCE, 10);
    Given g = given(s);
    gluBeginSurface(n);
    sendSurface(n, g, s);
    nurbs_shapes::trimLoop(n, gSquare);
    nurbs_shapes::textbookHole(n);
    gluEndSurface(n);
    gluDeleteNurbsRenderer(n);
    EXPECT_TRUE(c.errors.empty());
    double area = 0;
    for (const Prim &p : c.prims)
        for (const auto &t : trianglesOf(p))
            area += uvArea(t);
    // The hole against a fine polygon of the same Bezier arc.
    std::vector<float> fine;
    for (int k = 0; k <= 2000; ++k) {
        const double t = k / 2000.0, a = 1 - t;
        const double b0 = a * a * a, b1 = 3 * a * a * t, b2 = 3 * a * t * t, b3 = t * t * t;
        fine.push_back(static_cast<float>(b0 * 0.25 + b1 * 0.25 + b2 * 0.75 + b3 * 0.75));
        fine.push_back(static_cast<float>(b0 * 0.5 + b1 * 0.75 + b2 * 0.75 + b3 * 0.5));
    }
    fine.insert(fine.end(), {0.5f, 0.25f, 0.25f, 0.5f});
    EXPECT_NEAR(area, 1.0 + shoelace(fine), 2e-3);
}

// ---- Curves ---------------------------------------------------------------------------------

struct CurveGot {
    std::vector<std::array<float, 3>> v;
    std::vector<GLenum> types, errors;
};
CurveGot *curveCap;
void CALLBACK_curveBegin(GLenum t) { curveCap->types.push_back(t); }
void CALLBACK_curveVertex(GLfloat *p) { curveCap->v.push_back({p[0], p[1], p[2]}); }
void CALLBACK_curveError(GLenum e) { curveCap->errors.push_back(e); }

CurveGot curve(std::vector<float> knots, int order, int dim, std::vector<float> points, float step) {
    CurveGot got;
    curveCap = &got;
    GLUnurbs *n = gluNewNurbsRenderer();
    gluNurbsProperty(n, GLU_NURBS_MODE, GLU_NURBS_TESSELLATOR);
    gluNurbsProperty(n, GLU_SAMPLING_METHOD, GLU_DOMAIN_DISTANCE);
    gluNurbsProperty(n, GLU_U_STEP, step);
    gluNurbsCallback(n, GLU_NURBS_BEGIN, fn(CALLBACK_curveBegin));
    gluNurbsCallback(n, GLU_NURBS_VERTEX, fn(CALLBACK_curveVertex));
    gluNurbsCallback(n, GLU_NURBS_ERROR, fn(CALLBACK_curveError));
    gluBeginCurve(n);
    gluNurbsCurve(n, static_cast<GLint>(knots.size()), knots.data(), dim, points.data(), order,
                  dim == 4 ? GL_MAP1_VERTEX_4 : GL_MAP1_VERTEX_3);
    gluEndCurve(n);
    gluDeleteNurbsRenderer(n);
    return got;
}

TEST(Nurbs, CurveWithInteriorKnotsMatchesTheBasisSums) {
    const std::vector<float> &knots = nurbs_shapes::kCubicKnots, &pts = nurbs_shapes::kCubicPoints;
    const Direction d{{knots.begin(), knots.end()}, 4};
    CurveGot got = curve(knots, 4, 3, pts, 3);
    ASSERT_EQ(got.types, std::vector<GLenum>{GL_LINE_STRIP});
    // Spans [0,1], [1,2], [2,4]: 3, 3 and 6 steps.
    std::vector<double> params;
    for (auto span : {std::array<double, 3>{0, 1, 3}, {1, 2, 3}, {2, 4, 6}})
        for (int i = params.empty() ? 0 : 1; i <= span[2]; ++i)
            params.push_back(span[0] + (span[1] - span[0]) * i / span[2]);
    ASSERT_EQ(got.v.size(), params.size());
    for (size_t k = 0; k < params.size(); ++k)
        for (int c = 0; c < 3; ++c) {
            double want = 0;
            for (int i = 0; i < d.count(); ++i)
                want += nurbs_oracle::basis(d, i, 3, params[k]) * pts[i * 3 + c];
            EXPECT_NEAR(got.v[k][c], want, 1e-5) << "at u = " << params[k];
        }
}

TEST(Nurbs, RationalQuarterCircleStaysOnTheCircle) {
    CurveGot got = curve({0, 0, 0, 1, 1, 1}, 3, 4, nurbs_shapes::quarterCircle(), 40);
    ASSERT_EQ(got.v.size(), 41u);
    for (const auto &p : got.v)
        EXPECT_NEAR(std::hypot(p[0], p[1]), 3.0, 1e-5);
}

// ---- Renderer mode: what GL receives ------------------------------------------------------

TEST(Nurbs, RendererSendsLineStripsTrianglesAndTheMapsAttributes) {
    glrecord::setAutoNormal(true);
    float knots[4] = {0, 0, 1, 1};
    float pts[2][2][3] = {{{0, 0, 0}, {0, 1, 0}}, {{1, 0, 0}, {1, 1, 1}}};
    float colors[2][2][4] = {{{1, 0, 0, 1}, {0, 1, 0, 1}}, {{0, 0, 1, 1}, {1, 1, 1, 1}}};
    Stream s = record([&] {
        GLUnurbs *n = gluNewNurbsRenderer();
        gluNurbsProperty(n, GLU_SAMPLING_METHOD, GLU_DOMAIN_DISTANCE);
        gluNurbsProperty(n, GLU_U_STEP, 2);
        gluNurbsProperty(n, GLU_V_STEP, 3);
        gluBeginSurface(n);
        gluNurbsSurface(n, 4, knots, 4, knots, 6, 3, &pts[0][0][0], 2, 2, GL_MAP2_VERTEX_3);
        gluNurbsSurface(n, 4, knots, 4, knots, 8, 4, &colors[0][0][0], 2, 2, GL_MAP2_COLOR_4);
        gluEndSurface(n);
        gluDeleteNurbsRenderer(n);
    });
    glrecord::setAutoNormal(false);
    EXPECT_EQ(count(s, Op::Begin), 3u);  // one strip per v step
    EXPECT_EQ(count(s, Op::Vertex3f), 3u * 2u * 3u);
    EXPECT_EQ(count(s, Op::Normal3f), count(s, Op::Vertex3f));
    EXPECT_EQ(count(s, Op::Color4f), count(s, Op::Vertex3f));
    EXPECT_EQ(count(s, Op::GetIntegerv), 0u);  // domain distance reads no matrix
    EXPECT_EQ(primitives(s).front().mode, static_cast<unsigned>(GL_TRIANGLE_STRIP));
}

TEST(Nurbs, RendererSendsNoNormalWithoutAutoNormal) {
    float knots[4] = {0, 0, 1, 1};
    float pts[2][2][3] = {{{0, 0, 0}, {0, 1, 0}}, {{1, 0, 0}, {1, 1, 1}}};
    Stream s = record([&] {
        GLUnurbs *n = gluNewNurbsRenderer();
        gluBeginSurface(n);
        gluNurbsSurface(n, 4, knots, 4, knots, 6, 3, &pts[0][0][0], 2, 2, GL_MAP2_VERTEX_3);
        gluEndSurface(n);
        gluDeleteNurbsRenderer(n);
    });
    EXPECT_GT(count(s, Op::Vertex3f), 0u);
    EXPECT_EQ(count(s, Op::Normal3f), 0u);
}

// Path length in pixels: a straight cubic 100 pixels long, tolerance 25.
TEST(Nurbs, PathLengthFromLoadedOrReadMatrices) {
    float knots[8] = {0, 0, 0, 0, 1, 1, 1, 1};
    float pts[4][3] = {{0, 0, 0}, {1.0f / 3, 0, 0}, {2.0f / 3, 0, 0}, {1, 0, 0}};
    const GLint view[4] = {0, 0, 200, 100};  // x: 100 pixels a unit
    auto draw = [&](bool autoLoad) {
        return record([&] {
            GLUnurbs *n = gluNewNurbsRenderer();
            gluNurbsProperty(n, GLU_SAMPLING_TOLERANCE, 25);
            gluNurbsProperty(n, GLU_AUTO_LOAD_MATRIX, autoLoad);
            if (!autoLoad)
                gluLoadSamplingMatrices(n, kIdentity, kIdentity, view);
            gluBeginCurve(n);
            gluNurbsCurve(n, 8, knots, 3, &pts[0][0], 4, GL_MAP1_VERTEX_3);
            gluEndCurve(n);
            gluDeleteNurbsRenderer(n);
        });
    };
    const Stream loaded = draw(false);
    EXPECT_EQ(count(loaded, Op::Vertex3f), 5u);
    EXPECT_EQ(count(loaded, Op::GetIntegerv), 0u);
    glrecord::setViewport(0, 0, 400, 100);
    const Stream read = draw(true);
    glrecord::setViewport(0, 0, 1, 1);
    EXPECT_EQ(count(read, Op::Vertex3f), 9u);
    EXPECT_EQ(count(read, Op::GetIntegerv), 1u);
}

// GLU_CULLING drops only a surface whose control points all lie beyond one
// plane of the view ([-4, 4]^3); any other is drawn as with culling off.
TEST(Nurbs, CullingDropsOnlyASurfaceWhollyOutside) {
    const Surface s = bumpy(clamped(4, {}), clamped(4, {}));  // x, y in [0, 3], z in [-1, 1]
    const struct {
        const char *name;
        float dx, dz;
        bool drawn;
    } cases[] = {{"inside", 0, 0, true},
                 {"partly right", 2, 0, true},
                 {"partly beyond the far plane", 0, 4, true},
                 {"wholly right", 5, 0, false},
                 {"wholly left", -7.5f, 0, false}};
    for (const auto &k : cases) {
        Surface moved = s;
        for (size_t i = 0; i < moved.points.size(); i += 3) {
            moved.points[i] += k.dx;
            moved.points[i + 2] += k.dz;
        }
        Given g = given(moved);
        auto vertices = [&](bool culling) {
            return count(record([&] {
                GLUnurbs *n = gluNewNurbsRenderer();
                gluNurbsProperty(n, GLU_CULLING, culling);
                setMethod(n, GLU_DOMAIN_DISTANCE, 4);
                gluLoadSamplingMatrices(n, kIdentity, kOrtho, kViewport);
                gluBeginSurface(n);
                sendSurface(n, g, moved);
                gluEndSurface(n);
                gluDeleteNurbsRenderer(n);
            }), Op::Vertex3f);
        };
        ASSERT_GT(vertices(false), 0u) << k.name;
        EXPECT_EQ(vertices(true), k.drawn ? vertices(false) : 0u) << k.name;
    }
}

TEST(Nurbs, OutlineModesSendOnlyLineStrips) {
    float knots[6] = {0, 0, 0, 1, 1, 1};
    float pts[3][3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            pts[i][j][0] = static_cast<float>(i);
            pts[i][j][1] = static_cast<float>(j);
            pts[i][j][2] = static_cast<float>((i * j) % 2);
        }
    for (GLenum mode : {GLU_OUTLINE_POLYGON, GLU_OUTLINE_PATCH}) {
        Stream s = record([&] {
            GLUnurbs *n = gluNewNurbsRenderer();
            gluNurbsProperty(n, GLU_DISPLAY_MODE, mode);
            gluNurbsProperty(n, GLU_SAMPLING_METHOD, GLU_DOMAIN_DISTANCE);
            gluNurbsProperty(n, GLU_U_STEP, 4);
            gluNurbsProperty(n, GLU_V_STEP, 4);
            gluBeginSurface(n);
            gluNurbsSurface(n, 6, knots, 6, knots, 9, 3, &pts[0][0][0], 3, 3, GL_MAP2_VERTEX_3);
            gluEndSurface(n);
            gluDeleteNurbsRenderer(n);
        });
        const auto prims = primitives(s);
        EXPECT_EQ(prims.size(), mode == GLU_OUTLINE_PATCH ? 1u : 10u);
        for (const auto &p : prims)
            EXPECT_EQ(p.mode, static_cast<unsigned>(GL_LINE_STRIP));
        if (mode == GLU_OUTLINE_PATCH)
            EXPECT_EQ(prims[0].vertices.size(), 17u);  // round the edge, closed
    }
}

// ---- Properties -----------------------------------------------------------------------------

TEST(Nurbs, PropertiesDefaultsRoundTripsAndRefusals) {
    Capture c;
    GLUnurbs *n = tessellating(c);
    gluNurbsProperty(n, GLU_NURBS_MODE, GLU_NURBS_RENDERER);
    const struct {
        GLenum property;
        float byDefault, good, bad;
        GLenum badError;
    } cases[] = {
        {GLU_SAMPLING_TOLERANCE, 50, 25, 0, GLU_INVALID_VALUE},
        {GLU_PARAMETRIC_TOLERANCE, 0.5f, 2, -1, GLU_INVALID_VALUE},
        {GLU_SAMPLING_METHOD, GLU_PATH_LENGTH, GLU_OBJECT_PARAMETRIC_ERROR, GLU_FILL, GLU_INVALID_VALUE},
        {GLU_U_STEP, 100, 7, NAN, GLU_INVALID_VALUE},
        {GLU_V_STEP, 100, 9, INFINITY, GLU_INVALID_VALUE},
        {GLU_DISPLAY_MODE, GLU_FILL, GLU_OUTLINE_PATCH, GLU_PATH_LENGTH, GLU_INVALID_VALUE},
        {GLU_CULLING, GL_FALSE, GL_TRUE, NAN, 0},
        {GLU_AUTO_LOAD_MATRIX, GL_TRUE, GL_FALSE, NAN, 0},
        {GLU_NURBS_MODE, GLU_NURBS_RENDERER, GLU_NURBS_TESSELLATOR, GLU_NURBS_RENDERER + 0.5f, GLU_INVALID_VALUE},
    };
    for (const auto &k : cases) {
        float v = -7;
        gluGetNurbsProperty(n, k.property, &v);
        EXPECT_EQ(v, k.byDefault) << k.property;
        gluNurbsProperty(n, k.property, k.good);
        gluGetNurbsProperty(n, k.property, &v);
        EXPECT_EQ(v, k.good) << k.property;
        c.errors.clear();
        gluNurbsProperty(n, k.property, k.bad);
        if (k.badError) {
            EXPECT_EQ(c.errors, std::vector<GLenum>{k.badError}) << k.property;
            gluGetNurbsProperty(n, k.property, &v);
            EXPECT_EQ(v, k.good) << k.property;
        }
    }
    // Enum properties given no enum at all.
    for (float bad : {-1.0f, 1e20f, -1e20f, NAN, INFINITY}) {
        c.errors.clear();
        gluNurbsProperty(n, GLU_DISPLAY_MODE, bad);
        EXPECT_EQ(c.errors, std::vector<GLenum>{GLU_INVALID_VALUE}) << bad;
    }
    c.errors.clear();
    float v = -7;
    gluNurbsProperty(n, GLU_TESS_WINDING_RULE, 1);
    gluGetNurbsProperty(n, GLU_TESS_WINDING_RULE, &v);
    gluNurbsCallback(n, GLU_TESS_VERTEX, fn(CALLBACK_plain));
    EXPECT_EQ(c.errors, (std::vector<GLenum>{GLU_INVALID_ENUM, GLU_INVALID_ENUM, GLU_INVALID_ENUM}));
    EXPECT_EQ(v, -7);
    gluDeleteNurbsRenderer(n);
}

TEST(Nurbs, EveryErrorCodeHasItsOwnMessage) {
    std::vector<std::string> seen;
    for (GLenum e = GLU_NURBS_ERROR1; e <= GLU_NURBS_ERROR37; ++e) {
        const std::string m = reinterpret_cast<const char *>(gluErrorString(e));
        EXPECT_EQ(m.rfind("NURBS", 0), 0u) << e;
        for (const std::string &s : seen)
            EXPECT_NE(m, s);
        seen.push_back(m);
    }
}

// ---- Errors: the code, and nothing drawn -----------------------------------------------------

TEST(Nurbs, ErrorsRaiseTheirCodeAndDrawNothing) {
    for (const nurbs_shapes::ErrorCase &k : nurbs_shapes::kErrorCases) {
        Capture c;
        GLUnurbs *n = tessellating(c);
        k.calls(n);
        EXPECT_EQ(c.errors, k.errors) << k.name;
        EXPECT_TRUE(c.prims.empty()) << k.name;
        // The object works afterwards.
        c.errors.clear();
        gluBeginCurve(n);
        nurbs_shapes::cubic(n);
        gluEndCurve(n);
        EXPECT_TRUE(c.errors.empty()) << k.name;
        EXPECT_EQ(c.prims.size(), 1u) << k.name;
        gluDeleteNurbsRenderer(n);
    }
}

}  // namespace
