// SPDX-License-Identifier: MIT
// The reference corpus's NURBS curves and surfaces: a bicubic patch, a
// surface of several spans, a rational quarter cylinder and sphere octant,
// a trimmed square with a round hole and the textbook's hole of a NURBS and
// a piecewise-linear piece, curves with interior knots and a rational arc;
// in each display mode and sampling method (with fixed sampling matrices,
// loaded and read from GL), with every attribute map, in renderer mode
// (the GL stream) and tessellator mode (the result line), and each error.
// Built with the switch; the shapes and the error cases are
// tests/support/nurbs_shapes.h's.
//
// A tessellator-mode case's result line is what its callbacks received:
//   B<mode>  BEGIN          E  END
//   V(x y z) N(x y z) C(r g b a) T(s t ...)  VERTEX, NORMAL, COLOR,
//            TEXTURE_COORD, as float bits
//   X<n>     ERROR with code n
// Control values are decimal literals, and the float conversion of a
// correctly rounded operation on them: the same everywhere.
#define SOFTGLU_COMPAT
#include <GL/glu.h>

#include <array>
#include <cinttypes>
#include <cstring>

#include "../support/nurbs_shapes.h"
#include "glrecord.h"
#include "corpus.h"

namespace corpus {
namespace {

// ---- Maps -------------------------------------------------------------------------

struct Map2 {
    std::vector<float> uKnots, vKnots, points;
    int uOrder, vOrder, dim;
    GLenum type;
    int vCount() const { return static_cast<int>(vKnots.size()) - vOrder; }
};

using nurbs_shapes::clampedKnots;
using nurbs_shapes::trimLoop;

// The bumpy height field, its points half a unit apart.
Map2 bumpy(int uOrder, std::vector<float> uInterior, int vOrder, std::vector<float> vInterior) {
    Map2 m{clampedKnots(uOrder, uInterior), clampedKnots(vOrder, vInterior), {}, uOrder, vOrder, 3, GL_MAP2_VERTEX_3};
    m.points = nurbs_shapes::bumpy(static_cast<int>(m.uKnots.size()) - uOrder, m.vCount(), 0.5f);
    return m;
}

// A map over the same knots with `dim` values per point, from a pattern.
Map2 attribute(const Map2 &of, int dim, GLenum type) {
    Map2 m{of.uKnots, of.vKnots, {}, of.uOrder, of.vOrder, dim, type};
    const int total = (static_cast<int>(of.uKnots.size()) - of.uOrder) * of.vCount();
    for (int k = 0; k < total * dim; ++k)
        m.points.push_back(static_cast<float>((k * 37) % 11) / 10.0f);
    return m;
}

// A rational map of one span each way, quadratic along u and of vOrder along v.
Map2 rational(int vOrder, std::vector<float> points) {
    return {clampedKnots<float>(3, {}), clampedKnots<float>(vOrder, {}), points, 3, vOrder, 4, GL_MAP2_VERTEX_4};
}

void send(GLUnurbs *n, Map2 &m) {
    gluNurbsSurface(n, static_cast<GLint>(m.uKnots.size()), m.uKnots.data(), static_cast<GLint>(m.vKnots.size()),
                    m.vKnots.data(), m.vCount() * m.dim, m.dim, m.points.data(), m.uOrder, m.vOrder, m.type);
}

// ---- Trims --------------------------------------------------------------------------

// A round hole of 20 sides, clockwise, radius 0.25 about (0.5, 0.5): the
// rational parametrisation of the circle, so every point is a correctly
// rounded result.
std::vector<float> roundHole() {
    std::vector<std::array<float, 2>> ccw;
    const float ts[] = {0.0f, 0.2f, 0.4f, 0.6f, 0.8f};
    for (int q = 0; q < 4; ++q)
        for (float t : ts) {
            const float d = 1.0f + t * t;
            const float x = (1.0f - t * t) / d, y = 2.0f * t / d;
            const float turned[4][2] = {{x, y}, {-y, x}, {-x, -y}, {y, -x}};
            ccw.push_back({turned[q][0], turned[q][1]});
        }
    std::vector<float> h;
    for (std::size_t k = 0; k <= ccw.size(); ++k) {  // backwards, closed
        const auto &p = ccw[(ccw.size() - k) % ccw.size()];
        h.push_back(0.5f + 0.25f * p[0]);
        h.push_back(0.5f + 0.25f * p[1]);
    }
    return h;
}

// Holes that meet the grid of eighths: a square along grid lines, a
// triangle through grid vertices touching the square's corner, and a
// sliver four units in the last place wide; all clockwise.
void holesOnTheGrid(GLUnurbs *n) {
    const float sliver = 0.75f + 4 * 5.9604645e-8f;  // 2^-24: float's unit in the last place at 0.75
    trimLoop(n, {0.125f, 0.125f, 0.125f, 0.375f, 0.375f, 0.375f, 0.375f, 0.125f, 0.125f, 0.125f});
    trimLoop(n, {0.375f, 0.375f, 0.5f, 0.875f, 0.875f, 0.5f, 0.375f, 0.375f});
    trimLoop(n, {0.125f, 0.75f, 0.3f, sliver, 0.3f, 0.75f, 0.125f, 0.75f});
}

// ---- Settings ---------------------------------------------------------------------------

const float kModel[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 1, 1, 0, 0, 0, -5, 1};  // z sheared into y, pushed back
const float kProjection[16] = {1.5f, 0, 0, 0, 0, 2, 0, 0, 0, 0, -1.25f, -1, 0, 0, -2.25f, 0};  // a frustum
const GLint kViewport[4] = {0, 0, 640, 480};

struct Setting {
    const char *name;
    GLenum property;
    float value;
};

const Setting kMethods[] = {
    {"path length 20", GLU_SAMPLING_TOLERANCE, 20},
    {"parametric error 0.5", GLU_PARAMETRIC_TOLERANCE, 0.5f},
    {"domain distance 7", GLU_U_STEP, 7},
    {"object path length 0.4", GLU_SAMPLING_TOLERANCE, 0.4f},
    {"object parametric error 0.01", GLU_PARAMETRIC_TOLERANCE, 0.01f},
    {"domain distance 8 by 8", GLU_U_STEP, 8},  // grid lines at eighths: on floats
};
const GLenum kMethodValues[] = {GLU_PATH_LENGTH, GLU_PARAMETRIC_ERROR, GLU_DOMAIN_DISTANCE, GLU_OBJECT_PATH_LENGTH,
                                GLU_OBJECT_PARAMETRIC_ERROR, GLU_DOMAIN_DISTANCE};

struct Options {
    GLenum mode = GLU_NURBS_RENDERER, display = GLU_FILL;
    int method = 2;  // kMethods
    bool autoNormal = true, loaded = true, culling = false;
};

// What the tessellator-mode callbacks received.
std::string *gResult;
void add(const char *tag, const GLfloat *v, int n) {
    *gResult += tag;
    *gResult += '(';
    for (int i = 0; i < n; ++i) {
        std::uint32_t b;
        std::memcpy(&b, &v[i], sizeof b);
        *gResult += label(i ? " %08" PRIx32 : "%08" PRIx32, b);
    }
    *gResult += ')';
}
void CALLBACK_begin(GLenum t) { *gResult += label("B%u", t); }
void CALLBACK_vertex(GLfloat *v) { add("V", v, 3); }
void CALLBACK_normal(GLfloat *v) { add("N", v, 3); }
void CALLBACK_color(GLfloat *v) { add("C", v, 4); }
void CALLBACK_tex(GLfloat *v) { add("T", v, 2); }
void CALLBACK_end() { *gResult += "E"; }
void CALLBACK_error(GLenum e) { *gResult += label("X%u", e); }

template <typename F>
_GLUfuncptr fn(F *f) {
    return reinterpret_cast<_GLUfuncptr>(f);
}

// Runs `draw` on a new object set up as `o` says, GL's answers set for it;
// the callbacks' record.
std::string run(const Options &o, const std::function<void(GLUnurbs *)> &draw) {
    std::string result;
    gResult = &result;
    glrecord::setAutoNormal(o.autoNormal);
    glrecord::setMatrices(kModel, kProjection);
    glrecord::setViewport(kViewport[0], kViewport[1], kViewport[2], kViewport[3]);
    GLUnurbs *n = gluNewNurbsRenderer();
    gluNurbsCallback(n, GLU_NURBS_ERROR, fn(CALLBACK_error));
    gluNurbsProperty(n, GLU_NURBS_MODE, o.mode);
    if (o.mode == GLU_NURBS_TESSELLATOR) {
        gluNurbsCallback(n, GLU_NURBS_BEGIN, fn(CALLBACK_begin));
        gluNurbsCallback(n, GLU_NURBS_VERTEX, fn(CALLBACK_vertex));
        gluNurbsCallback(n, GLU_NURBS_NORMAL, fn(CALLBACK_normal));
        gluNurbsCallback(n, GLU_NURBS_COLOR, fn(CALLBACK_color));
        gluNurbsCallback(n, GLU_NURBS_TEXTURE_COORD, fn(CALLBACK_tex));
        gluNurbsCallback(n, GLU_NURBS_END, fn(CALLBACK_end));
    }
    gluNurbsProperty(n, GLU_DISPLAY_MODE, o.display);
    gluNurbsProperty(n, GLU_SAMPLING_METHOD, kMethodValues[o.method]);
    gluNurbsProperty(n, kMethods[o.method].property, kMethods[o.method].value);
    if (o.method == 2 || o.method == 5)
        gluNurbsProperty(n, GLU_V_STEP, o.method == 2 ? 5 : 8);
    gluNurbsProperty(n, GLU_CULLING, o.culling);
    if (o.loaded) {
        gluNurbsProperty(n, GLU_AUTO_LOAD_MATRIX, GL_FALSE);
        gluLoadSamplingMatrices(n, kModel, kProjection, kViewport);
    }
    draw(n);
    gluDeleteNurbsRenderer(n);
    glrecord::setAutoNormal(false);
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    glrecord::setMatrices(identity, identity);
    glrecord::setViewport(0, 0, 1, 1);
    return result;
}

const char *displayName(GLenum d) {
    return d == GLU_FILL ? "GLU_FILL" : d == GLU_OUTLINE_POLYGON ? "GLU_OUTLINE_POLYGON" : "GLU_OUTLINE_PATCH";
}

std::string optionsLabel(const Options &o) {
    return label("%s, %s, %s%s%s%s", o.mode == GLU_NURBS_RENDERER ? "renderer" : "tessellator", displayName(o.display),
                 kMethods[o.method].name, o.autoNormal ? ", GL_AUTO_NORMAL" : "", o.loaded ? ", loaded" : ", read",
                 o.culling ? ", culling" : "");
}

void addSurface(std::vector<Case> &cases, const char *name, const Options &o,
                std::function<void(GLUnurbs *)> body) {
    cases.push_back({label("gluNurbsSurface(%s; %s)", name, optionsLabel(o).c_str()), [o, body] {
                         return run(o, [&](GLUnurbs *n) {
                             gluBeginSurface(n);
                             body(n);
                             gluEndSurface(n);
                         });
                     }});
}

void addCurve(std::vector<Case> &cases, const char *name, const Options &o, std::vector<float> knots, int order,
              int dim, std::vector<float> points, std::vector<Map2> extra = {}) {
    cases.push_back({label("gluNurbsCurve(%s; %s)", name, optionsLabel(o).c_str()), [=] {
                         return run(o, [&](GLUnurbs *n) {
                             std::vector<float> k = knots, p = points;
                             std::vector<Map2> e = extra;
                             gluBeginCurve(n);
                             gluNurbsCurve(n, static_cast<GLint>(k.size()), k.data(), dim, p.data(), order,
                                           dim == 4 ? GL_MAP1_VERTEX_4 : GL_MAP1_VERTEX_3);
                             for (Map2 &m : e)
                                 gluNurbsCurve(n, static_cast<GLint>(m.uKnots.size()), m.uKnots.data(), m.dim,
                                               m.points.data(), m.uOrder, m.type);
                             gluEndCurve(n);
                         });
                     }});
}

}  // namespace

void addNurbsCases(std::vector<Case> &cases) {
    const Map2 patch = bumpy(4, {}, 4, {});
    const Map2 spans = bumpy(4, {0.25f, 0.5f, 0.5f}, 3, {0.5f});
    // The patch in every display mode, method and source of matrices, both modes.
    for (GLenum mode : {GLU_NURBS_RENDERER, GLU_NURBS_TESSELLATOR})
        for (GLenum display : {GLU_FILL, GLU_OUTLINE_POLYGON, GLU_OUTLINE_PATCH})
            for (int method = 0; method < 5; ++method) {
                Options o;
                o.mode = mode;
                o.display = display;
                o.method = method;
                addSurface(cases, "bicubic patch", o, [patch](GLUnurbs *n) {
                    Map2 m = patch;
                    send(n, m);
                });
            }
    Options read;
    read.loaded = false;
    read.method = 0;
    addSurface(cases, "bicubic patch", read, [patch](GLUnurbs *n) { Map2 m = patch; send(n, m); });
    Options flat;
    flat.autoNormal = false;
    addSurface(cases, "bicubic patch", flat, [patch](GLUnurbs *n) { Map2 m = patch; send(n, m); });
    Options culled;
    culled.culling = true;
    culled.method = 0;
    addSurface(cases, "bicubic patch far left", culled, [patch](GLUnurbs *n) {
        Map2 m = patch;
        for (std::size_t k = 0; k < m.points.size(); k += 3)
            m.points[k] -= 40.0f;
        send(n, m);
    });
    const Map2 cylinder = rational(2, nurbs_shapes::quarterCylinder<float>()),
               octant = rational(3, nurbs_shapes::sphereOctant<float>());
    for (int method : {0, 2, 4}) {
        Options o;
        o.method = method;
        addSurface(cases, "spans with a double knot", o, [spans](GLUnurbs *n) { Map2 m = spans; send(n, m); });
        addSurface(cases, "rational quarter cylinder", o, [cylinder](GLUnurbs *n) { Map2 m = cylinder; send(n, m); });
        addSurface(cases, "rational sphere octant", o, [octant](GLUnurbs *n) { Map2 m = octant; send(n, m); });
    }
    // Every attribute map.
    const struct {
        const char *name;
        int dim;
        GLenum type;
    } kAttributes[] = {{"colour", 4, GL_MAP2_COLOR_4}, {"colour index", 1, GL_MAP2_INDEX}, {"normal", 3, GL_MAP2_NORMAL},
                       {"texture 1", 1, GL_MAP2_TEXTURE_COORD_1}, {"texture 2", 2, GL_MAP2_TEXTURE_COORD_2},
                       {"texture 3", 3, GL_MAP2_TEXTURE_COORD_3}, {"texture 4", 4, GL_MAP2_TEXTURE_COORD_4}};
    for (GLenum mode : {GLU_NURBS_RENDERER, GLU_NURBS_TESSELLATOR})
        for (const auto &a : kAttributes) {
            Options o;
            o.mode = mode;
            const Map2 extra = attribute(spans, a.dim, a.type);
            addSurface(cases, label("spans with a %s map", a.name).c_str(), o, [spans, extra](GLUnurbs *n) {
                Map2 m = spans, e = extra;
                send(n, m);
                send(n, e);
            });
        }
    // Trimmed.
    for (GLenum mode : {GLU_NURBS_RENDERER, GLU_NURBS_TESSELLATOR})
        for (GLenum display : {GLU_FILL, GLU_OUTLINE_POLYGON, GLU_OUTLINE_PATCH}) {
            Options o;
            o.mode = mode;
            o.display = display;
            addSurface(cases, "square with a round hole", o, [patch](GLUnurbs *n) {
                Map2 m = patch;
                send(n, m);
                trimLoop(n, nurbs_shapes::gSquare);
                trimLoop(n, roundHole());
            });
            addSurface(cases, "textbook hole", o, [patch](GLUnurbs *n) {
                Map2 m = patch;
                send(n, m);
                trimLoop(n, nurbs_shapes::gSquare);
                nurbs_shapes::textbookHole(n);
            });
        }
    for (GLenum mode : {GLU_NURBS_RENDERER, GLU_NURBS_TESSELLATOR}) {
        Options o;
        o.mode = mode;
        o.method = 5;
        addSurface(cases, "square with holes on the grid", o, [patch](GLUnurbs *n) {
            Map2 m = patch;
            send(n, m);
            trimLoop(n, nurbs_shapes::gSquare);
            holesOnTheGrid(n);
        });
    }
    // Curves.
    const std::vector<float> &interiorKnots = nurbs_shapes::kCubicKnots, &points = nurbs_shapes::kCubicPoints;
    for (GLenum mode : {GLU_NURBS_RENDERER, GLU_NURBS_TESSELLATOR})
        for (int method = 0; method < 5; ++method) {
            Options o;
            o.mode = mode;
            o.method = method;
            addCurve(cases, "cubic with interior knots", o, interiorKnots, 4, 3, points);
            addCurve(cases, "rational quarter circle", o, {0, 0, 0, 1, 1, 1}, 3, 4, nurbs_shapes::quarterCircle());
        }
    // Spans whose widths are no power of two, nor the knots' range.
    const std::vector<float> unevenKnots = {-1, -1, -1, -1, 0.3f, 1.7f, 4.9f, 4.9f, 9, 9, 9, 9};
    std::vector<float> unevenPoints(points);
    unevenPoints.insert(unevenPoints.end(), {7, 1, 2.5f});
    for (GLenum mode : {GLU_NURBS_RENDERER, GLU_NURBS_TESSELLATOR})
        for (int method : {2, 3}) {
            Options uneven;
            uneven.mode = mode;
            uneven.method = method;
            addCurve(cases, "cubic with uneven knots from -1 to 9", uneven, unevenKnots, 4, 3, unevenPoints);
        }
    Options o;
    Map2 colour{interiorKnots, {}, {}, 4, 1, 4, GL_MAP1_COLOR_4}, normal{interiorKnots, {}, {}, 4, 1, 3, GL_MAP1_NORMAL},
        tex{interiorKnots, {}, {}, 4, 1, 2, GL_MAP1_TEXTURE_COORD_2};
    for (int k = 0; k < 28; ++k)
        colour.points.push_back(static_cast<float>(k % 5) / 4.0f);
    for (int k = 0; k < 21; ++k)
        normal.points.push_back(static_cast<float>(k % 3) - 1.0f);
    for (int k = 0; k < 14; ++k)
        tex.points.push_back(static_cast<float>(k) / 13.0f);
    addCurve(cases, "cubic with colour, normal and texture maps", o, interiorKnots, 4, 3, points, {colour, normal, tex});
    // Errors.
    for (const nurbs_shapes::ErrorCase &e : nurbs_shapes::kErrorCases) {
        if (!e.inReference)
            continue;
        Options t;
        t.mode = GLU_NURBS_TESSELLATOR;
        cases.push_back({label("gluNurbs(error: %s)", e.name), [t, calls = e.calls] { return run(t, calls); }});
    }
}

// Random surfaces and curves for the broad set: orders 1 to 5, knots with
// repeats, every method and display mode.
void addVariedNurbsCases(std::vector<Case> &cases, std::uint64_t seed, int count) {
    Numbers r(seed);
    for (int i = 0; i < count; ++i) {
        Map2 m{{}, {}, {}, r.count(1, 5), r.count(1, 5), 3 + r.count(0, 1), GL_MAP2_VERTEX_3};
        m.type = m.dim == 4 ? GL_MAP2_VERTEX_4 : GL_MAP2_VERTEX_3;
        for (int d = 0; d < 2; ++d) {
            const int order = d == 0 ? m.uOrder : m.vOrder;
            std::vector<float> &k = d == 0 ? m.uKnots : m.vKnots;
            const int n = order + r.count(0, 4);
            float x = 0;
            for (int j = 0; j < n + order; ++j) {
                k.push_back(x);
                if (j >= order - 1 && j < n)
                    x += static_cast<float>(r.count(0, 2)) * 0.5f;
            }
            if (k[static_cast<std::size_t>(order - 1)] == k[static_cast<std::size_t>(n)])  // an empty range: widen
                for (int j = n; j < n + order; ++j)
                    k[static_cast<std::size_t>(j)] += 1.0f;
        }
        const int total = (static_cast<int>(m.uKnots.size()) - m.uOrder) * m.vCount();
        for (int k = 0; k < total; ++k) {
            const float wt = m.dim == 4 ? r.decimalf(500, 2000) : 1.0f;
            m.points.insert(m.points.end(), {r.decimalf(-2000, 2000) * wt, r.decimalf(-2000, 2000) * wt,
                                             r.decimalf(-2000, 2000) * wt});
            if (m.dim == 4)
                m.points.push_back(wt);
        }
        Options o;
        o.mode = r.count(0, 1) ? GLU_NURBS_TESSELLATOR : GLU_NURBS_RENDERER;
        o.display = std::vector<GLenum>{GLU_FILL, GLU_OUTLINE_POLYGON, GLU_OUTLINE_PATCH}[static_cast<std::size_t>(r.count(0, 2))];
        o.method = r.count(0, 4);
        addSurface(cases, label("random %d", i).c_str(), o, [m](GLUnurbs *n) { Map2 c = m; send(n, c); });
    }
}

}  // namespace corpus
