// SPDX-License-Identifier: MIT
// NURBS curves and surfaces of the compatibility layer: gluNewNurbsRenderer
// ... gluDeleteNurbsRenderer.
//
// The calls between a begin and its end copy what they are given; the end
// call (finish, the driver at the bottom) checks it, samples it and sends
// it.  The file's rooms, in that order:
//
//  1. MAPS.  Each gluNurbsCurve / gluNurbsSurface map is copied to doubles
//     (exactly) after its knots, order, stride and values are checked.
//  2. STEPS.  Each knot span of the position map is cut into equal steps
//     in parameter space, as many as the sampling method asks (stepsOf),
//     at most kMaxSteps, measured through the sampling matrices where the
//     method looks at the screen; a surface's steps form one grid over its
//     domain.  Culling asks the same matrices whether the view holds it.
//  3. EVALUATION.  Each vertex is evaluated by de Boor's algorithm
//     (bspline.h) in double, one operation at a time (every operation is
//     rounded on its own, src/exact.h), the partial derivatives taken from
//     the next-to-last level of the scheme; a rational point is divided by
//     its weight; the results are narrowed to float once, at the end.
//  4. LOOPS.  Trim loops are polylines in (u, v): gluPwlCurve's points
//     and trim curves sampled per span as they are given; the end call
//     joins and checks them (nurbs_trim.h, every decision exact).
//  5. OUTPUT.  To GL (renderer mode) or to the callbacks (tessellator mode).
//  6. DRAWING.  A curve is one line strip; an untrimmed surface one
//     triangle strip per row of its grid.  On a trimmed surface a grid cell
//     no trim edge cuts is kept or dropped whole, by the loops' winding
//     number at its middle (a row's kept cells one strip); the cut cells
//     go, with the loops, to the polygon tessellator, whose ABS_GEQ_TWO
//     rule keeps the part of each cell inside the loops, so no triangle
//     crosses a trim edge or a cell's side.  Each vertex is evaluated once;
//     the work grows with the cells and the trim edges, not their product.
#include "../exact.h"  // first: the arithmetic guard

#include <GL/glu.h>

#include <limits.h>
#include <math.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "array.h"
#include "bspline.h"
#include "nurbs_trim.h"
#include "traced.h"

namespace {

const int kMaxSteps = GLU_NURBS_MAX_STEPS;

using compat::Array;

// ---- Errors: what softglu reports each NURBS code for ----------------------

enum Error {
    kBadOrder = GLU_NURBS_ERROR1,
    kTooFewKnots = GLU_NURBS_ERROR2,
    kEmptyKnotRange = GLU_NURBS_ERROR3,
    kDecreasingKnots = GLU_NURBS_ERROR4,
    kKnotMultiplicity = GLU_NURBS_ERROR5,
    kBadStride = GLU_NURBS_ERROR6,
    kWrongMapType = GLU_NURBS_ERROR7,
    kNoPosition = GLU_NURBS_ERROR8,
    kSameMapTwice = GLU_NURBS_ERROR9,
    kNotFinite = GLU_NURBS_ERROR10,
    kNestedObject = GLU_NURBS_ERROR11,
    kEndCurveAlone = GLU_NURBS_ERROR12,
    kEndSurfaceAlone = GLU_NURBS_ERROR13,
    kMapOutside = GLU_NURBS_ERROR14,
    kTrimOutsideSurface = GLU_NURBS_ERROR15,
    kNestedTrim = GLU_NURBS_ERROR16,
    kEndTrimAlone = GLU_NURBS_ERROR17,
    kPwlOutsideTrim = GLU_NURBS_ERROR18,
    // 19 to 22: the loops' own (nurbs_trim.h)
    kSurfaceEndsInTrim = GLU_NURBS_ERROR23,
    kEmptyTrim = GLU_NURBS_ERROR24,
    kSurfaceInTrim = GLU_NURBS_ERROR25,
};

// ---- The object -----------------------------------------------------------

typedef void (*BeginFn)(GLenum);
typedef void (*BeginDataFn)(GLenum, void *);
typedef void (*FloatsFn)(GLfloat *);
typedef void (*FloatsDataFn)(GLfloat *, void *);
typedef void (*EndFn)(void);
typedef void (*EndDataFn)(void *);
typedef void (*ErrorFn)(GLenum);

// The callbacks by which - GLU_NURBS_BEGIN (the error callback apart).
const int kCallbacks = GLU_NURBS_END_DATA - GLU_NURBS_BEGIN + 1;
const int kDataOffset = GLU_NURBS_BEGIN_DATA - GLU_NURBS_BEGIN;

enum class State { Idle, Curve, Surface, Trim };

// The sample parameters of direction d of the position map: each
// non-empty span cut into its steps, span ends exact; each with its span.
struct Samples {
    Array<double> t;
    Array<int> span;
};

struct Grid {
    Samples u, v;  // a curve's in u
};

struct Slot;  // a grid vertex of a trimmed surface

// What drawing works in: the renderer's, kept from one object to the next
// (gluDeleteNurbsRenderer frees it), as the tessellator keeps its Job.
struct Work {
    Grid grid;                   // the samples
    Array<Slot> slots;           // a trimmed surface's grid vertices, one each
    TrimWork trim;               // its loops' edges and its cells (nurbs_trim.h)
    Array<int> cells, sorted, start;  // its cut cells, in polygons (orderCutCells)
    Array<Slot *> points;        // its points off the grid, by their bits (pointSlot)
    GLUtesselator *tess;         // its cut cells' tessellator, made when first needed

    // Calls f on every array (a generic lambda).
    template <typename F>
    void forEachArray(F f) {
        f(grid.u.t), f(grid.u.span), f(grid.v.t), f(grid.v.span), f(slots);
        trim.forEachArray(f);
        f(cells), f(sorted), f(start), f(points);
    }
};

}  // namespace

struct GLUnurbs {
    float samplingTolerance, parametricTolerance, uStep, vStep;
    GLenum samplingMethod, displayMode, mode;
    bool culling, autoLoad;
    float model[16], projection[16];
    GLint viewport[4];
    _GLUfuncptr callback[kCallbacks];
    _GLUfuncptr error;
    void *userData;
    State state;
    bool failed;  // the current curve or surface raised an error: nothing is drawn
    Array<Map> maps;
    Array<Loop> loops;
    Work work;
};

namespace {

// ---- Errors and callbacks -----------------------------------------------------

void report(GLUnurbs *n, GLenum code) {
    if (n->error)
        reinterpret_cast<ErrorFn>(n->error)(code);
}

// Raises `code` and discards the curve or surface being given.
void fail(GLUnurbs *n, GLenum code) {
    report(n, code);
    n->failed = true;
}

_GLUfuncptr callbackOf(const GLUnurbs *n, GLenum which, bool &withData) {
    const int i = static_cast<int>(which - GLU_NURBS_BEGIN);
    withData = n->callback[i + kDataOffset] != nullptr;
    return withData ? n->callback[i + kDataOffset] : n->callback[i];
}

void callBegin(GLUnurbs *n, GLenum type) {
    bool data;
    if (_GLUfuncptr f = callbackOf(n, GLU_NURBS_BEGIN, data)) {
        if (data)
            reinterpret_cast<BeginDataFn>(f)(type, n->userData);
        else
            reinterpret_cast<BeginFn>(f)(type);
    }
}

void callFloats(GLUnurbs *n, GLenum which, GLfloat *v) {
    bool data;
    if (_GLUfuncptr f = callbackOf(n, which, data)) {
        if (data)
            reinterpret_cast<FloatsDataFn>(f)(v, n->userData);
        else
            reinterpret_cast<FloatsFn>(f)(v);
    }
}

void callEnd(GLUnurbs *n) {
    bool data;
    if (_GLUfuncptr f = callbackOf(n, GLU_NURBS_END, data)) {
        if (data)
            reinterpret_cast<EndDataFn>(f)(n->userData);
        else
            reinterpret_cast<EndFn>(f)();
    }
}

// ---- 1. Maps ----------------------------------------------------------------

// The floats per control point of a map type, with its kind (1, 2, or 3
// for a trim curve); 0 for a type that is no map.
int dimOf(GLenum type, int &kind) {
    struct Type {
        GLenum type;
        int kind, dim;
    };
    static const Type kTypes[] = {
        {GL_MAP1_VERTEX_3, 1, 3}, {GL_MAP1_VERTEX_4, 1, 4}, {GL_MAP1_INDEX, 1, 1},
        {GL_MAP1_COLOR_4, 1, 4}, {GL_MAP1_NORMAL, 1, 3}, {GL_MAP1_TEXTURE_COORD_1, 1, 1},
        {GL_MAP1_TEXTURE_COORD_2, 1, 2}, {GL_MAP1_TEXTURE_COORD_3, 1, 3}, {GL_MAP1_TEXTURE_COORD_4, 1, 4},
        {GL_MAP2_VERTEX_3, 2, 3}, {GL_MAP2_VERTEX_4, 2, 4}, {GL_MAP2_INDEX, 2, 1},
        {GL_MAP2_COLOR_4, 2, 4}, {GL_MAP2_NORMAL, 2, 3}, {GL_MAP2_TEXTURE_COORD_1, 2, 1},
        {GL_MAP2_TEXTURE_COORD_2, 2, 2}, {GL_MAP2_TEXTURE_COORD_3, 2, 3}, {GL_MAP2_TEXTURE_COORD_4, 2, 4},
        {GLU_MAP1_TRIM_2, 3, 2}, {GLU_MAP1_TRIM_3, 3, 3},
    };
    for (const Type &t : kTypes)
        if (t.type == type) {
            kind = t.kind;
            return t.dim;
        }
    kind = 0;
    return 0;
}

// What a map describes: maps of one role may appear once.
enum Role { kPosition, kIndex, kColor, kNormal, kTexture };

Role roleOf(GLenum type) {
    switch (type) {
    case GL_MAP1_VERTEX_3:
    case GL_MAP1_VERTEX_4:
    case GL_MAP2_VERTEX_3:
    case GL_MAP2_VERTEX_4: return kPosition;
    case GL_MAP1_INDEX:
    case GL_MAP2_INDEX: return kIndex;
    case GL_MAP1_COLOR_4:
    case GL_MAP2_COLOR_4: return kColor;
    case GL_MAP1_NORMAL:
    case GL_MAP2_NORMAL: return kNormal;
    default: return kTexture;
    }
}

// 0 or the error of one direction's knots and order.
GLenum checkKnots(GLint knotCount, const GLfloat *knots, GLint order) {
    if (order < 1 || order > kMaxOrder)
        return kBadOrder;
    if (!knots || knotCount < 2 * order)
        return kTooFewKnots;
    int run = 1;
    for (int i = 0; i < knotCount; ++i) {
        if (!isfinite(knots[i]))
            return kNotFinite;
        if (i > 0) {
            if (knots[i] < knots[i - 1])
                return kDecreasingKnots;
            run = knots[i] == knots[i - 1] ? run + 1 : 1;
            if (run > order)
                return kKnotMultiplicity;
        }
    }
    if (!(knots[order - 1] < knots[knotCount - order]))
        return kEmptyKnotRange;
    return 0;
}

void freeMap(Map &m) {
    free(m.knots[0]);
    free(m.knots[1]);
    free(m.points);
}

double *copyOf(const GLfloat *v, int n) {
    double *d = static_cast<double *>(malloc(static_cast<size_t>(n) * sizeof(double)));
    if (d)
        for (int i = 0; i < n; ++i)
            d[i] = static_cast<double>(v[i]);  // exact: every float is a double
    return d;
}

// Copies a checked map; false (and the error raised) when a control value
// is not finite or memory runs out.  `stride` is per direction.
bool addMap(GLUnurbs *n, GLenum type, int dim, int kind, const GLint knotCount[2], const GLfloat *const knots[2],
            const GLint stride[2], const GLfloat *control, const GLint order[2]) {
    Map m;
    m.type = type;
    m.dim = dim;
    m.knots[0] = m.knots[1] = nullptr;
    m.points = nullptr;
    const int dirs = kind == 2 ? 2 : 1;
    m.order[1] = m.count[1] = 1;
    for (int d = 0; d < dirs; ++d) {
        m.order[d] = order[d];
        m.count[d] = knotCount[d] - order[d];
    }
    const bool countable = m.count[0] <= INT_MAX / m.count[1] && m.count[0] * m.count[1] <= INT_MAX / dim;
    const int total = countable ? m.count[0] * m.count[1] : 0;
    bool ok = countable && n->maps.reserve(n->maps.size + 1);
    for (int d = 0; ok && d < dirs; ++d)
        ok = (m.knots[d] = copyOf(knots[d], knotCount[d])) != nullptr;
    if (ok)
        m.points = static_cast<double *>(malloc(static_cast<size_t>(total) * static_cast<size_t>(dim) * sizeof(double)));
    if (!ok || !m.points) {
        freeMap(m);
        fail(n, GLU_OUT_OF_MEMORY);
        return false;
    }
    for (int i = 0; i < m.count[0]; ++i)
        for (int j = 0; j < m.count[1]; ++j) {
            const GLfloat *p = control + static_cast<ptrdiff_t>(i) * stride[0] + static_cast<ptrdiff_t>(j) * stride[1];
            double *q = m.points + (static_cast<ptrdiff_t>(i) * m.count[1] + j) * dim;
            for (int c = 0; c < dim; ++c) {
                if (!isfinite(p[c])) {
                    freeMap(m);
                    fail(n, kNotFinite);
                    return false;
                }
                q[c] = static_cast<double>(p[c]);  // exact
            }
        }
    n->maps.push(m);
    return true;
}

const Map *mapOf(const GLUnurbs *n, Role role) {
    for (int i = 0; i < n->maps.size; ++i)
        if (roleOf(n->maps[i].type) == role)
            return &n->maps[i];
    return nullptr;
}

void clearObject(GLUnurbs *n) {
    for (int i = 0; i < n->maps.size; ++i)
        freeMap(n->maps[i]);
    n->maps.size = 0;
    for (int i = 0; i < n->loops.size; ++i) {
        n->loops[i].uv.release();
        n->loops[i].pieceStart.release();
    }
    n->loops.size = 0;
    n->failed = false;
}

// ---- 2. Steps ---------------------------------------------------------------

bool screenMethod(GLenum method) { return method == GLU_PATH_LENGTH || method == GLU_PARAMETRIC_ERROR; }

// A homogeneous point through the modelview then the projection matrix:
// each sum in double from the left, term by term, the matrices' floats
// widened exactly.
void toClip(const GLUnurbs *n, const double h[4], double clip[4]) {
    double eye[4];
    for (int r = 0; r < 4; ++r) {
        double s = 0.0;
        for (int c = 0; c < 4; ++c)
            s = s + static_cast<double>(n->model[c * 4 + r]) * h[c];
        eye[r] = s;
    }
    for (int r = 0; r < 4; ++r) {
        double s = 0.0;
        for (int c = 0; c < 4; ++c)
            s = s + static_cast<double>(n->projection[c * 4 + r]) * eye[c];
        clip[r] = s;
    }
}

// A control point (homogeneous when dim is 4) in window pixels (x, y) or,
// objectSpace, in object coordinates (x, y, z); false when it lies at or
// behind the eye.
bool placeOf(const GLUnurbs *n, const double *p, int dim, bool objectSpace, double out[3]) {
    const double w = dim == 4 ? p[3] : 1.0;
    if (objectSpace) {
        for (int c = 0; c < 3; ++c)
            out[c] = dim == 4 ? p[c] / w : p[c];
        return true;
    }
    const double h[4] = {p[0], p[1], p[2], w};
    double clip[4];
    toClip(n, h, clip);
    if (!(clip[3] > 0.0))
        return false;
    out[0] = static_cast<double>(n->viewport[0]) + (clip[0] / clip[3] + 1.0) * static_cast<double>(n->viewport[2]) * 0.5;
    out[1] = static_cast<double>(n->viewport[1]) + (clip[1] / clip[3] + 1.0) * static_cast<double>(n->viewport[3]) * 0.5;
    out[2] = 0.0;
    return true;
}

double distance(const double *a, const double *b) {
    const double x = a[0] - b[0], y = a[1] - b[1], z = a[2] - b[2];
    return sqrt(x * x + y * y + z * z);
}

int clampSteps(double s) {
    if (!(s < static_cast<double>(kMaxSteps)))  // NaN too
        return kMaxSteps;
    if (s < 1.0)
        return 1;
    // s's ceiling, exactly: s is below kMaxSteps, so its whole part is an
    // int (and no libm ceil is needed).
    const int whole = static_cast<int>(s);
    return whole < s ? whole + 1 : whole;
}

// The steps a polygon of `count` control points asks for (spaced `step`
// apart in m's points, from `first`), by the screen or object methods.
int polygonSteps(const GLUnurbs *n, const Map &m, ptrdiff_t first, ptrdiff_t step, int count, int degree) {
    const bool objectSpace = !screenMethod(n->samplingMethod);
    const bool pathLength = n->samplingMethod == GLU_PATH_LENGTH || n->samplingMethod == GLU_OBJECT_PATH_LENGTH;
    double at[kMaxOrder][3];
    for (int j = 0; j < count; ++j)
        if (!placeOf(n, m.points + (first + j * step) * m.dim, m.dim, objectSpace, at[j]))
            return kMaxSteps;
    if (pathLength) {
        double length = 0.0;
        for (int j = 1; j < count; ++j)
            length = length + distance(at[j - 1], at[j]);
        return clampSteps(length / static_cast<double>(n->samplingTolerance));
    }
    if (degree < 2)
        return 1;
    double most = 0.0;
    for (int j = 1; j + 1 < count; ++j) {
        double second[3];
        for (int c = 0; c < 3; ++c)
            second[c] = (at[j + 1][c] - at[j][c]) - (at[j][c] - at[j - 1][c]);
        const double zero[3] = {0.0, 0.0, 0.0};
        const double size = distance(second, zero);
        if (size > most)
            most = size;
    }
    const double bound = static_cast<double>(degree * (degree - 1)) * most /
                         (8.0 * static_cast<double>(n->parametricTolerance));
    return clampSteps(sqrt(bound));
}

// The steps of span k of direction d of the position map: for a surface
// the most any row (d = 0) or column (d = 1) of its control points asks.
int stepsOf(const GLUnurbs *n, const Map &m, int d, int k) {
    if (n->samplingMethod == GLU_DOMAIN_DISTANCE) {
        const double length = m.knots[d][k + 1] - m.knots[d][k];
        return clampSteps(length * static_cast<double>(d == 0 ? n->uStep : n->vStep));
    }
    const int o = m.order[d];
    const int other = m.count[1 - d];
    int most = 1;
    for (int r = 0; r < other; ++r) {
        const ptrdiff_t first = d == 0 ? static_cast<ptrdiff_t>(k - o + 1) * m.count[1] + r
                                       : static_cast<ptrdiff_t>(r) * m.count[1] + (k - o + 1);
        const ptrdiff_t step = d == 0 ? m.count[1] : 1;
        const int s = polygonSteps(n, m, first, step, o, o - 1);
        if (s > most)
            most = s;
    }
    return most;
}

bool sampleDirection(const GLUnurbs *n, const Map &m, int d, Samples &s) {
    const double *t = m.knots[d];
    s.t.size = s.span.size = 0;
    for (int k = m.order[d] - 1; k < m.count[d]; ++k) {
        if (!(t[k] < t[k + 1]))
            continue;
        const int steps = stepsOf(n, m, d, k);
        const double width = t[k + 1] - t[k];
        const int from = s.t.size == 0 ? 0 : 1;  // the span's start is the last one's end
        if (from == 1)
            s.span[s.span.size - 1] = k;  // evaluated from the span it starts
        for (int i = from; i <= steps; ++i) {
            const double x = i == steps ? t[k + 1] : t[k] + width * static_cast<double>(i) / static_cast<double>(steps);
            if (!s.t.push(x) || !s.span.push(k))
                return false;
        }
    }
    return true;
}

// The sampling matrices, and whether the view holds the surface.

void identity(float m[16]) {
    for (int i = 0; i < 16; ++i)
        m[i] = i % 5 == 0 ? 1.0f : 0.0f;
}

bool needsMatrices(const GLUnurbs *n) { return n->culling || screenMethod(n->samplingMethod); }

void loadFromGL(GLUnurbs *n) {
    glGetFloatv(GL_MODELVIEW_MATRIX, n->model);
    glGetFloatv(GL_PROJECTION_MATRIX, n->projection);
    glGetIntegerv(GL_VIEWPORT, n->viewport);
}

// Whether every control point of the position map lies beyond one plane
// of the view volume.
bool culled(const GLUnurbs *n, const Map &m) {
    int outside[6] = {0, 0, 0, 0, 0, 0};
    const int total = m.count[0] * m.count[1];
    for (int i = 0; i < total; ++i) {
        const double *p = m.points + static_cast<ptrdiff_t>(i) * m.dim;
        const double h[4] = {p[0], p[1], p[2], m.dim == 4 ? p[3] : 1.0};
        double clip[4];
        toClip(n, h, clip);
        for (int a = 0; a < 3; ++a) {
            outside[2 * a] += clip[a] > clip[3];
            outside[2 * a + 1] += clip[a] < -clip[3];
        }
    }
    for (int plane = 0; plane < 6; ++plane)
        if (outside[plane] == total)
            return true;
    return false;
}

// ---- 3. Evaluation ----------------------------------------------------------

struct Vertex {
    float position[3], normal[3], color[4], tex[4];
    float index;
    bool hasNormal, hasColor, hasIndex;
    int texDim;
};

// A rational point divided through by its weight, and its derivative
// (x' - w' x) / w by the quotient rule.
void divide(const double *h, const double *dh, double *p, double *dp) {
    for (int c = 0; c < 3; ++c) {
        p[c] = h[c] / h[3];
        if (dp)
            dp[c] = (dh[c] - dh[3] * p[c]) / h[3];
    }
}

// The unit normal along a x b, zero where the product is zero.
void unitCross(const double *a, const double *b, float *out) {
    const double x = a[1] * b[2] - a[2] * b[1];
    const double y = a[2] * b[0] - a[0] * b[2];
    const double z = a[0] * b[1] - a[1] * b[0];
    const double len = sqrt(x * x + y * y + z * z);
    if (len > 0.0) {
        out[0] = static_cast<float>(x / len);
        out[1] = static_cast<float>(y / len);
        out[2] = static_cast<float>(z / len);
    } else {
        out[0] = out[1] = out[2] = 0.0f;
    }
}

void narrow(const double *v, float *out, int n) {
    for (int c = 0; c < n; ++c)
        out[c] = static_cast<float>(v[c]);
}

// Every map of the object at (u, v) (v ignored for a curve); the position
// map's spans are ku, kv (negative: found).  autoNormal: the surface's
// normal from its derivatives when it has no normal map.
Vertex vertexAt(const GLUnurbs *n, double u, double v, int ku, int kv, bool surface, bool autoNormal) {
    Vertex out;
    memset(&out, 0, sizeof out);
    const bool derivs = surface && autoNormal && !mapOf(n, kNormal);
    for (int i = 0; i < n->maps.size; ++i) {
        const Map &m = n->maps[i];
        const Role role = roleOf(m.type);
        double value[kMaxDim], du[kMaxDim], dv[kMaxDim];
        const bool own = role == kPosition;
        if (surface)
            evalSurface(m, u, v, own ? ku : -1, own ? kv : -1, value, own && derivs ? du : nullptr,
                        own && derivs ? dv : nullptr);
        else
            evalCurve(m, u, own ? ku : -1, value, nullptr);
        switch (role) {
        case kPosition:
            if (m.dim == 4) {
                double p[3], pu[3], pv[3];
                divide(value, du, p, derivs ? pu : nullptr);
                if (derivs)
                    divide(value, dv, p, pv);
                narrow(p, out.position, 3);
                if (derivs)
                    unitCross(pu, pv, out.normal);
            } else {
                narrow(value, out.position, 3);
                if (derivs)
                    unitCross(du, dv, out.normal);
            }
            out.hasNormal = out.hasNormal || derivs;
            break;
        case kNormal:
            narrow(value, out.normal, 3);
            out.hasNormal = true;
            break;
        case kColor:
            narrow(value, out.color, 4);
            out.hasColor = true;
            break;
        case kIndex:
            out.index = static_cast<float>(value[0]);
            out.hasIndex = true;
            break;
        case kTexture:
            narrow(value, out.tex, m.dim);
            out.texDim = m.dim;
            break;
        }
    }
    return out;
}

// ---- 4. Loops ---------------------------------------------------------------

// A trim piece, as it is given: its points, or a trim curve's samples.
// The end call joins and checks the loops (closeLoops, nurbs_trim.h).

// Loop ends closer than this are one point: 2^-20 of the domain's longer side.
double snapOf(const Map &m) {
    const double du = m.knots[0][m.count[0]] - m.knots[0][m.order[0] - 1];
    const double dv = m.knots[1][m.count[1]] - m.knots[1][m.order[1] - 1];
    return (du > dv ? du : dv) / 1048576.0;
}

Loop &currentLoop(GLUnurbs *n) { return n->loops[n->loops.size - 1]; }

bool startPiece(GLUnurbs *n) {
    Loop &l = currentLoop(n);
    if (!l.pieceStart.push(pointsOf(l))) {
        fail(n, GLU_OUT_OF_MEMORY);
        return false;
    }
    return true;
}

// Adds (u, v), or (u/w, v/w) for a homogeneous point.
bool addTrimPoint(GLUnurbs *n, const double *p, int dim) {
    double u = dim == 3 ? p[0] / p[2] : p[0], v = dim == 3 ? p[1] / p[2] : p[1];
    if (!isfinite(u) || !isfinite(v)) {
        fail(n, kNotFinite);
        return false;
    }
    if (fabs(u) < kTrimTiny)  // within orient.h's exact range (nurbs_trim.h)
        u = 0.0;
    if (fabs(v) < kTrimTiny)
        v = 0.0;
    Loop &l = currentLoop(n);
    if (!l.uv.push(u) || !l.uv.push(v)) {
        fail(n, GLU_OUT_OF_MEMORY);
        return false;
    }
    return true;
}

// A trim curve's points: each span cut into ceil(its control polygon's
// length in (u, v) x the larger of GLU_U_STEP and GLU_V_STEP) steps.
void sampleTrimCurve(GLUnurbs *n, const Map &m) {
    const double step = static_cast<double>(n->uStep > n->vStep ? n->uStep : n->vStep);
    if (!startPiece(n))
        return;
    bool first = true;
    for (int k = m.order[0] - 1; k < m.count[0]; ++k) {
        const double *t = m.knots[0];
        if (!(t[k] < t[k + 1]))
            continue;
        double length = 0.0;
        for (int j = k - m.order[0] + 2; j <= k; ++j) {
            const double *a = m.points + static_cast<ptrdiff_t>(j - 1) * m.dim, *b = m.points + static_cast<ptrdiff_t>(j) * m.dim;
            double pa[3], pb[3];
            for (int c = 0; c < 2; ++c) {
                pa[c] = m.dim == 3 ? a[c] / a[2] : a[c];
                pb[c] = m.dim == 3 ? b[c] / b[2] : b[c];
            }
            pa[2] = pb[2] = 0.0;
            length = length + distance(pa, pb);
        }
        const int steps = clampSteps(length * step);
        for (int i = first ? 0 : 1; i <= steps; ++i) {
            const double x = i == steps ? t[k + 1] : t[k] + (t[k + 1] - t[k]) * static_cast<double>(i) / static_cast<double>(steps);
            double value[kMaxDim];
            evalCurve(m, x, k, value, nullptr);
            if (!addTrimPoint(n, value, m.dim))
                return;
        }
        first = false;
    }
}

// ---- 5. Output: to GL or to the callbacks -----------------------------------

struct Out {
    GLUnurbs *n;
    bool gl;
};

void outBegin(Out &o, GLenum type) {
    if (o.gl)
        glBegin(type);
    else
        callBegin(o.n, type);
}

void outEnd(Out &o) {
    if (o.gl)
        glEnd();
    else
        callEnd(o.n);
}

void outVertex(Out &o, Vertex &v) {
    if (o.gl) {
        if (v.hasColor)
            glColor4f(v.color[0], v.color[1], v.color[2], v.color[3]);
        if (v.hasIndex)
            glIndexf(v.index);
        if (v.hasNormal)
            glNormal3f(v.normal[0], v.normal[1], v.normal[2]);
        switch (v.texDim) {
        case 1: glTexCoord1f(v.tex[0]); break;
        case 2: glTexCoord2f(v.tex[0], v.tex[1]); break;
        case 3: glTexCoord3f(v.tex[0], v.tex[1], v.tex[2]); break;
        case 4: glTexCoord4f(v.tex[0], v.tex[1], v.tex[2], v.tex[3]); break;
        default: break;
        }
        glVertex3f(v.position[0], v.position[1], v.position[2]);
        return;
    }
    if (v.hasNormal)
        callFloats(o.n, GLU_NURBS_NORMAL, v.normal);
    if (v.hasColor)
        callFloats(o.n, GLU_NURBS_COLOR, v.color);
    if (v.texDim)
        callFloats(o.n, GLU_NURBS_TEXTURE_COORD, v.tex);
    callFloats(o.n, GLU_NURBS_VERTEX, v.position);
}

// ---- 6. Drawing -------------------------------------------------------------

void drawCurve(GLUnurbs *n, Out &o) {
    const Map *m = mapOf(n, kPosition);
    Samples &s = n->work.grid.u;
    if (!sampleDirection(n, *m, 0, s)) {
        report(n, GLU_OUT_OF_MEMORY);
    } else {
        outBegin(o, GL_LINE_STRIP);
        for (int i = 0; i < s.t.size; ++i) {
            Vertex v = vertexAt(n, s.t[i], 0.0, s.span[i], 0, false, false);
            outVertex(o, v);
        }
        outEnd(o);
    }
}

Vertex gridVertex(const GLUnurbs *n, const Grid &g, int i, int j, bool autoNormal) {
    return vertexAt(n, g.u.t[i], g.v.t[j], g.u.span[i], g.v.span[j], true, autoNormal);
}

void drawLine(GLUnurbs *n, Out &o, const Grid &g, int i0, int j0, int di, int dj, int count, bool autoNormal) {
    outBegin(o, GL_LINE_STRIP);
    for (int s = 0; s < count; ++s) {
        Vertex v = gridVertex(n, g, i0 + s * di, j0 + s * dj, autoNormal);
        outVertex(o, v);
    }
    outEnd(o);
}

// The domain's edge, counterclockwise in (u, v).
void drawDomainEdge(GLUnurbs *n, Out &o, const Grid &g, bool autoNormal) {
    const int nu = g.u.t.size, nv = g.v.t.size;
    outBegin(o, GL_LINE_STRIP);
    for (int side = 0; side < 4; ++side) {
        const int count = side % 2 == 0 ? nu : nv;
        for (int s = side == 0 ? 0 : 1; s < count; ++s) {
            int i, j;
            switch (side) {
            case 0: i = s, j = 0; break;
            case 1: i = nu - 1, j = s; break;
            case 2: i = nu - 1 - s, j = nv - 1; break;
            default: i = 0, j = nv - 1 - s; break;
            }
            Vertex v = gridVertex(n, g, i, j, autoNormal);
            outVertex(o, v);
        }
    }
    outEnd(o);
}

void drawTrimLoops(GLUnurbs *n, Out &o, bool autoNormal) {
    for (int k = 0; k < n->loops.size; ++k) {
        const Loop &l = n->loops[k];
        outBegin(o, GL_LINE_STRIP);
        for (int i = 0; i < pointsOf(l); ++i) {
            const UV p = pointOf(l, i);
            Vertex v = vertexAt(n, p.u, p.v, -1, -1, true, autoNormal);
            outVertex(o, v);
        }
        outEnd(o);
    }
}

void fillGrid(GLUnurbs *n, Out &o, const Grid &g, bool autoNormal) {
    for (int j = 0; j + 1 < g.v.t.size; ++j) {
        outBegin(o, GL_TRIANGLE_STRIP);
        for (int i = 0; i < g.u.t.size; ++i) {
            Vertex top = gridVertex(n, g, i, j + 1, autoNormal);
            outVertex(o, top);
            Vertex bottom = gridVertex(n, g, i, j, autoNormal);
            outVertex(o, bottom);
        }
        outEnd(o);
    }
}

void outlineGrid(GLUnurbs *n, Out &o, const Grid &g, bool autoNormal) {
    const int nu = g.u.t.size, nv = g.v.t.size;
    for (int j = 0; j < nv; ++j)
        drawLine(n, o, g, 0, j, 1, 0, nu, autoNormal);
    for (int i = 0; i < nu; ++i)
        drawLine(n, o, g, i, 0, 0, 1, nv, autoNormal);
}

// The trimmed region of the grid.  The cut cells go to the polygon
// tessellator group by group, with the group's loops alone (nurbs_trim.h),
// each cell a counterclockwise square, and in two polygons, a
// checkerboard's two colours: two cells of one polygon never share a side,
// so no side cancels out and no triangle crosses one (or a loop).  Inside a
// cell the polygon's winding number is 1 + the group's; the other loops
// add the same number over all of the group's cells (they neither cross
// nor touch them): 0 or 1, the loops being nested as they must.  With 0,
// ABS_GEQ_TWO keeps what lies inside the group's loops, and with 1, inside
// a group of holes, POSITIVE keeps what lies outside them; outside the
// cells neither keeps anything.  Every other cell is kept whole, a row's
// run of kept cells one triangle strip, or dropped.
// Each point is evaluated once: the grid's vertices in `slots` (with the
// spans they were sampled in, as the untrimmed grid does), the loops'
// points and the tessellator's crossings in blocks whose addresses stay
// put, so the tessellator's vertex data can point at them.
struct Slot {
    double u, v;
    int ku, kv;  // the spans, or -1: found
    bool done;
    Vertex vertex;
};

struct SlotBlock {
    SlotBlock *next;
    int used;
    Slot slot[256];
};

struct TrimJob {
    GLUnurbs *n;
    Out *o;
    bool autoNormal, outline, failed;
    SlotBlock *blocks;
    int points;  // in work.points
    Slot *corner[3];
    int corners;
};

Slot *newSlot(TrimJob &job, double u, double v) {
    if (!job.blocks || job.blocks->used == 256) {
        SlotBlock *b = static_cast<SlotBlock *>(malloc(sizeof(SlotBlock)));
        if (!b) {
            job.failed = true;
            return nullptr;
        }
        b->next = job.blocks;
        b->used = 0;
        job.blocks = b;
    }
    Slot *s = &job.blocks->slot[job.blocks->used++];
    s->u = u, s->v = v, s->ku = s->kv = -1, s->done = false;
    return s;
}

// The entry of `table` (a power of two in size, never full) that holds
// the slot of (u, v), or the empty one where it goes: open addressing on
// the coordinates' bits.
Slot *&entryOf(Array<Slot *> &table, double u, double v) {
    uint64_t a, b;
    memcpy(&a, &u, sizeof a);
    memcpy(&b, &v, sizeof b);
    const uint64_t mask = static_cast<uint64_t>(table.size - 1);
    for (uint64_t h = (a * 0x9E3779B97F4A7C15u ^ b) * 0xC2B2AE3D27D4EB4Fu;; ++h) {
        Slot *&at = table[static_cast<int>((h >> 32 ^ h) & mask)];
        if (!at)
            return at;
        uint64_t c, d;
        memcpy(&c, &at->u, sizeof c);
        memcpy(&d, &at->v, sizeof d);
        if (c == a && d == b)
            return at;
    }
}

// The slot of the point (u, v) off the grid: one for each point, however
// many polygons hold it (a loop's points are in both colours' polygons, and
// a crossing on a side between two cut cells is made by both), so each is
// evaluated once.  The evaluation depends on (u, v) alone: sharing changes
// no output.  The table is kept at most half full.
Slot *pointSlot(TrimJob &job, double u, double v) {
    Array<Slot *> &table = job.n->work.points;
    if (2 * (job.points + 1) > table.size) {
        Array<Slot *> old = table;
        table.init();
        if (!table.reserve(old.size ? 2 * old.size : 1024)) {
            table = old;
            job.failed = true;
            return nullptr;
        }
        table.size = table.capacity;
        for (int i = 0; i < table.size; ++i)
            table[i] = nullptr;
        for (int i = 0; i < old.size; ++i)
            if (old[i])
                entryOf(table, old[i]->u, old[i]->v) = old[i];
        old.release();
    }
    Slot *&at = entryOf(table, u, v);
    if (!at) {
        at = newSlot(job, u, v);
        job.points += at != nullptr;
    }
    return at;
}

Vertex &vertexOf(TrimJob &job, Slot *s) {
    if (!s->done) {
        s->vertex = vertexAt(job.n, s->u, s->v, s->ku, s->kv, true, job.autoNormal);
        s->done = true;
    }
    return s->vertex;
}

// A triangle: into the open GL_TRIANGLES, or outlined.
void sendTriangle(TrimJob &job, Slot *const c[3]) {
    Out &o = *job.o;
    if (job.outline)
        outBegin(o, GL_LINE_STRIP);
    for (int k = 0; k < (job.outline ? 4 : 3); ++k)
        outVertex(o, vertexOf(job, c[k % 3]));
    if (job.outline)
        outEnd(o);
}

void trimBegin(GLenum, void *polygon) {
    TrimJob &job = *static_cast<TrimJob *>(polygon);
    job.corners = 0;
    if (!job.outline)
        outBegin(*job.o, GL_TRIANGLES);
}

void trimEnd(void *polygon) {
    TrimJob &job = *static_cast<TrimJob *>(polygon);
    if (!job.outline)
        outEnd(*job.o);
}

void trimVertex(void *data, void *polygon) {
    TrimJob &job = *static_cast<TrimJob *>(polygon);
    if (!data || job.failed) {  // a point that could not be stored
        job.failed = true;
        return;
    }
    job.corner[job.corners++] = static_cast<Slot *>(data);
    if (job.corners == 3) {
        sendTriangle(job, job.corner);
        job.corners = 0;
    }
}

void trimError(GLenum, void *polygon) { static_cast<TrimJob *>(polygon)->failed = true; }
void trimCombine(GLdouble xyz[3], void *[4], GLfloat[4], void **out, void *polygon) {
    *out = pointSlot(*static_cast<TrimJob *>(polygon), xyz[0], xyz[1]);
}

// The renderer's tessellator for trimming, made when first needed.
GLUtesselator *trimTessellator(GLUnurbs *n) {
    if (n->work.tess)
        return n->work.tess;
    GLUtesselator *t = gluNewTess();
    if (!t)
        return nullptr;
    gluTessNormal(t, 0.0, 0.0, 1.0);
    gluTessCallback(t, GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(trimBegin));
    gluTessCallback(t, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(trimVertex));
    gluTessCallback(t, GLU_TESS_END_DATA, reinterpret_cast<_GLUfuncptr>(trimEnd));
    gluTessCallback(t, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(trimError));
    gluTessCallback(t, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(trimCombine));
    n->work.tess = t;
    return t;
}

// The cut cells of one group and colour (count of them from `cells`,
// indices j * (nu - 1) + i) with the group's loops, as one polygon.
void cutRegion(TrimJob &job, GLUtesselator *t, const Grid &g, const int *cells, int count, int group) {
    GLUnurbs *n = job.n;
    const TrimWork &w = n->work.trim;
    const int nu = g.u.t.size;
    const int i0 = cells[0] % (nu - 1), j0 = cells[0] / (nu - 1);
    const int others = windingAt(w, j0, UV{midOf(g.u.t.at, i0), w.middle[j0]}, group);
    gluTessProperty(t, GLU_TESS_WINDING_RULE, others > 0 ? GLU_TESS_WINDING_POSITIVE : GLU_TESS_WINDING_ABS_GEQ_TWO);
    gluTessBeginPolygon(t, &job);
    for (int k = 0; k < count; ++k) {
        const int i = cells[k] % (nu - 1), j = cells[k] / (nu - 1);
        const int corner[4][2] = {{i, j}, {i + 1, j}, {i + 1, j + 1}, {i, j + 1}};
        gluTessBeginContour(t);
        for (const int *c : corner) {
            Slot *s = &n->work.slots[c[1] * nu + c[0]];
            double xyz[3] = {s->u, s->v, 0.0};
            gluTessVertex(t, xyz, s);
        }
        gluTessEndContour(t);
    }
    for (int k = 0; k < n->loops.size; ++k) {
        if (w.link[k] != group)
            continue;
        const Loop &l = n->loops[k];
        gluTessBeginContour(t);
        for (int i = 0; i + 1 < pointsOf(l); ++i) {  // the closing point repeats the first
            const UV p = pointOf(l, i);
            Slot *s = pointSlot(job, p.u, p.v);
            double xyz[3] = {p.u, p.v, 0.0};
            if (s)
                gluTessVertex(t, xyz, s);
        }
        gluTessEndContour(t);
    }
    gluTessEndPolygon(t);
}

// The cut cells in the order they are tessellated, in work.sorted: by
// group, then colour ((i + j) % 2), then row by row; polygon b = 2 * group
// + colour ends at work.start[b].  False when out of memory.
bool orderCutCells(GLUnurbs *n, int nu) {
    Work &k = n->work;
    const TrimWork &w = k.trim;
    const int range = 2 * n->loops.size;
    k.cells.size = 0;
    for (int c = 0; c < w.cut.size; ++c)
        if ((w.cut[c] & kCut) && !k.cells.push(c))
            return false;
    if (!k.sorted.reserve(k.cells.size) || !k.start.reserve(range + 1))
        return false;
    k.sorted.size = k.cells.size;
    k.start.size = range + 1;
    countingSort(k.cells.at, k.sorted.at, k.cells.size, k.start.at, range,
                 [&w, nu](int c) { return 2 * w.link[w.cellLoop[c]] + (c % (nu - 1) + c / (nu - 1)) % 2; });
    return true;
}

// Row j's cells i0 .. i1-1, kept whole: one strip, or outlined triangles.
void keptRun(TrimJob &job, const Grid &g, int j, int i0, int i1) {
    GLUnurbs *n = job.n;
    const int nu = g.u.t.size;
    Slot *row = &n->work.slots[j * nu], *above = row + nu;
    if (job.outline) {
        for (int i = i0; i < i1; ++i) {
            Slot *const first[3] = {row + i, row + i + 1, above + i + 1}, *const second[3] = {row + i, above + i + 1, above + i};
            sendTriangle(job, first);
            sendTriangle(job, second);
        }
        return;
    }
    outBegin(*job.o, GL_TRIANGLE_STRIP);
    for (int i = i0; i <= i1; ++i) {
        outVertex(*job.o, vertexOf(job, above + i));
        outVertex(*job.o, vertexOf(job, row + i));
    }
    outEnd(*job.o);
}

// The cells no edge cuts, row by row: each run of them that no edge
// divides kept or dropped by the loops' winding number at the middle of
// its first cell.
void uncutCells(TrimJob &job, const Grid &g) {
    const TrimWork &w = job.n->work.trim;
    const int nu = g.u.t.size, nv = g.v.t.size;
    for (int j = 0; j + 1 < nv; ++j) {
        const unsigned char *row = &w.cut[j * (nu - 1)];
        for (int i = 0; i + 1 < nu;) {
            if (row[i] & kCut) {
                ++i;
                continue;
            }
            int end = i + 1;
            while (end + 1 < nu && row[end] == 0)
                ++end;
            if (windingAt(w, j, UV{midOf(g.u.t.at, i), w.middle[j]}, -1) >= 1)
                keptRun(job, g, j, i, end);
            i = end;
        }
    }
}

// The grid's slots, one per vertex, not yet evaluated; false when out of
// memory.
bool gridSlots(GLUnurbs *n, const Grid &g) {
    const int nu = g.u.t.size, nv = g.v.t.size;
    if (nu > INT_MAX / nv || !n->work.slots.reserve(nu * nv))
        return false;
    n->work.slots.size = nu * nv;
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {  // the vertex itself is written when first needed
            Slot &s = n->work.slots[j * nu + i];
            s.u = g.u.t[i], s.v = g.v.t[j], s.ku = g.u.span[i], s.kv = g.v.span[j], s.done = false;
        }
    return true;
}

void fillTrimmed(GLUnurbs *n, Out &o, const Grid &g, bool autoNormal, bool outline) {
    TrimJob job = {n, &o, autoNormal, outline, false, nullptr, 0, {nullptr, nullptr, nullptr}, 0};
    const int nu = g.u.t.size, nv = g.v.t.size;
    bool ok = nu > 1 && nv > 1;
    if (ok)
        ok = gridSlots(n, g) && cutCells(n->work.trim, n->loops.size, g.u.t.at, nu, g.v.t.at, nv) &&
             listCrossers(n->work.trim, g.v.t.at, nv) && orderCutCells(n, nu);
    for (int i = 0; i < n->work.points.size; ++i)  // the last surface's slots are gone
        n->work.points[i] = nullptr;
    if (ok) {
        uncutCells(job, g);
        const Work &w = n->work;
        GLUtesselator *t = w.cells.size > 0 ? trimTessellator(n) : nullptr;
        if (w.cells.size > 0 && !t)
            job.failed = true;
        for (int b = 0, from = 0; t && b < 2 * n->loops.size; from = w.start[b++])
            if (w.start[b] > from)
                cutRegion(job, t, g, w.sorted.at + from, w.start[b] - from, b / 2);
    }
    while (job.blocks) {
        SlotBlock *next = job.blocks->next;
        free(job.blocks);
        job.blocks = next;
    }
    if (!ok || job.failed)
        report(n, GLU_OUT_OF_MEMORY);
}

void drawSurface(GLUnurbs *n, Out &o) {
    const Map *m = mapOf(n, kPosition);
    bool autoNormal = !mapOf(n, kNormal);
    if (autoNormal && o.gl)
        autoNormal = glIsEnabled(GL_AUTO_NORMAL) != GL_FALSE;
    Grid &g = n->work.grid;
    if (!sampleDirection(n, *m, 0, g.u) || !sampleDirection(n, *m, 1, g.v)) {
        report(n, GLU_OUT_OF_MEMORY);
    } else if (n->displayMode == GLU_OUTLINE_PATCH) {
        drawDomainEdge(n, o, g, autoNormal);
        drawTrimLoops(n, o, autoNormal);
    } else if (n->loops.size > 0) {
        fillTrimmed(n, o, g, autoNormal, o.gl && n->displayMode == GLU_OUTLINE_POLYGON);
    } else if (o.gl && n->displayMode == GLU_OUTLINE_POLYGON) {
        outlineGrid(n, o, g, autoNormal);
    } else {
        fillGrid(n, o, g, autoNormal);
    }
}

// ---- The driver: the end call's work ----------------------------------------

// The steps above in their order; nothing is drawn after an error.
void finish(GLUnurbs *n, bool surface) {
    if (!n->failed && !mapOf(n, kPosition))  // 1. maps
        fail(n, kNoPosition);
    if (!n->failed && surface && n->loops.size > 0)  // 4. loops
        if (const GLenum e = closeLoops(n->loops, snapOf(*mapOf(n, kPosition)), n->work.trim))
            fail(n, e);
    if (!n->failed) {
        Out o = {n, n->mode == GLU_NURBS_RENDERER};  // 5. output
        if (o.gl && n->autoLoad && needsMatrices(n))  // 2. steps: the view they are measured in
            loadFromGL(n);
        const bool seen = !(o.gl && n->culling && culled(n, *mapOf(n, kPosition)));
        if (seen && surface)  // 6. drawing: steps, evaluation, trimming, output
            drawSurface(n, o);
        else if (seen)
            drawCurve(n, o);
    }
    clearObject(n);
    n->state = State::Idle;
}

// ---- Checking a map call ---------------------------------------------------------------

// The state a map of `kind` may be given in: 0 or the error.
GLenum placeError(const GLUnurbs *n, int kind) {
    switch (n->state) {
    case State::Idle: return kMapOutside;
    case State::Curve: return kind == 1 ? 0 : kind == 2 ? kMapOutside : kWrongMapType;
    case State::Surface: return kind == 2 ? 0 : kMapOutside;
    case State::Trim: return kind == 3 ? 0 : kind == 2 ? kSurfaceInTrim : kWrongMapType;
    }
    return kMapOutside;
}

void mapCall(GLUnurbs *n, int callKind, const GLint knotCount[2], const GLfloat *const knots[2],
             const GLint stride[2], const GLfloat *control, const GLint order[2], GLenum type) {
    int kind;
    const int dim = dimOf(type, kind);
    if (n->state == State::Idle) {
        report(n, kMapOutside);
        return;
    }
    if (n->failed)
        return;
    if (dim == 0 || (callKind == 1 && kind == 2) || (callKind == 2 && kind != 2)) {
        fail(n, kWrongMapType);
        return;
    }
    if (const GLenum e = placeError(n, kind)) {
        fail(n, e);
        return;
    }
    const int dirs = kind == 2 ? 2 : 1;
    for (int d = 0; d < dirs; ++d)
        if (const GLenum e = checkKnots(knotCount[d], knots[d], order[d])) {
            fail(n, e);
            return;
        }
    // Strides: at least a point apart; a surface's two directions apart
    // from each other unless one has a single point.
    const bool strideOk = stride[0] >= dim && (dirs == 1 || stride[1] >= dim);
    if (!strideOk || !control) {
        fail(n, kBadStride);
        return;
    }
    if (kind != 3)
        for (int i = 0; i < n->maps.size; ++i)
            if (roleOf(n->maps[i].type) == roleOf(type)) {
                fail(n, kSameMapTwice);
                return;
            }
    if (!addMap(n, type, dim, kind, knotCount, knots, stride, control, order))
        return;
    if (kind == 3) {  // a trim curve: sampled now, its map let go
        Map m = n->maps[n->maps.size - 1];
        --n->maps.size;
        sampleTrimCurve(n, m);
        freeMap(m);
    }
}

// Begins a curve or surface.
void beginObject(GLUnurbs *n, State s) {
    if (n->state != State::Idle) {
        fail(n, kNestedObject);
        return;
    }
    clearObject(n);
    n->state = s;
}

void endObject(GLUnurbs *n, State s, GLenum alone) {
    if (n->state == State::Trim && s == State::Surface) {
        report(n, kSurfaceEndsInTrim);
        clearObject(n);
        n->state = State::Idle;
        return;
    }
    if (n->state != s) {
        report(n, alone);
        return;
    }
    finish(n, s == State::Surface);
}

}  // namespace

GLUnurbs *gluNewNurbsRenderer(void) {
    SOFTGLU_TRACED(gluNewNurbsRenderer);
    GLUnurbs *n = static_cast<GLUnurbs *>(malloc(sizeof(GLUnurbs)));
    if (!n)
        return nullptr;
    n->samplingTolerance = 50.0f;
    n->parametricTolerance = 0.5f;
    n->uStep = n->vStep = 100.0f;
    n->samplingMethod = GLU_PATH_LENGTH;
    n->displayMode = GLU_FILL;
    n->mode = GLU_NURBS_RENDERER;
    n->culling = false;
    n->autoLoad = true;
    identity(n->model);
    identity(n->projection);
    n->viewport[0] = n->viewport[1] = 0;
    n->viewport[2] = n->viewport[3] = 1;
    for (_GLUfuncptr &f : n->callback)
        f = nullptr;
    n->error = nullptr;
    n->userData = nullptr;
    n->state = State::Idle;
    n->failed = false;
    n->maps.init();
    n->loops.init();
    Work &w = n->work;
    w.forEachArray([](auto &a) { a.init(); });
    w.tess = nullptr;
    return n;
}

void gluDeleteNurbsRenderer(GLUnurbs *nurb) {
    SOFTGLU_TRACED(gluDeleteNurbsRenderer, nurb);
    if (!nurb)
        return;
    clearObject(nurb);
    nurb->maps.release();
    nurb->loops.release();
    Work &w = nurb->work;
    w.forEachArray([](auto &a) { a.release(); });
    if (w.tess)
        gluDeleteTess(w.tess);
    free(nurb);
}

void gluNurbsProperty(GLUnurbs *nurb, GLenum property, GLfloat value) {
    SOFTGLU_TRACED(gluNurbsProperty, nurb, property, value);
    if (!nurb)
        return;
    const bool positive = value > 0.0f && isfinite(value);
    // Enum values travel as floats; one out of an enum's range is none
    // (and converting it would be undefined).
    const bool inRange = value >= 0.0f && value < 4294967296.0f;
    const GLenum e = inRange ? static_cast<GLenum>(value) : 0;
    const bool whole = inRange && static_cast<float>(e) == value;
    bool ok = true;
    switch (property) {
    case GLU_SAMPLING_TOLERANCE: ok = positive && (nurb->samplingTolerance = value, true); break;
    case GLU_PARAMETRIC_TOLERANCE: ok = positive && (nurb->parametricTolerance = value, true); break;
    case GLU_U_STEP: ok = positive && (nurb->uStep = value, true); break;
    case GLU_V_STEP: ok = positive && (nurb->vStep = value, true); break;
    case GLU_SAMPLING_METHOD:
        ok = whole && (e == GLU_PATH_LENGTH || e == GLU_PARAMETRIC_ERROR || e == GLU_DOMAIN_DISTANCE ||
                       e == GLU_OBJECT_PATH_LENGTH || e == GLU_OBJECT_PARAMETRIC_ERROR);
        if (ok)
            nurb->samplingMethod = e;
        break;
    case GLU_DISPLAY_MODE:
        ok = whole && (e == GLU_FILL || e == GLU_OUTLINE_POLYGON || e == GLU_OUTLINE_PATCH);
        if (ok)
            nurb->displayMode = e;
        break;
    case GLU_NURBS_MODE:
        ok = whole && (e == GLU_NURBS_RENDERER || e == GLU_NURBS_TESSELLATOR);
        if (ok)
            nurb->mode = e;
        break;
    case GLU_CULLING: nurb->culling = value != 0.0f; break;
    case GLU_AUTO_LOAD_MATRIX: nurb->autoLoad = value != 0.0f; break;
    default: report(nurb, GLU_INVALID_ENUM); return;
    }
    if (!ok)
        report(nurb, GLU_INVALID_VALUE);
}

void gluGetNurbsProperty(GLUnurbs *nurb, GLenum property, GLfloat *data) {
    SOFTGLU_TRACED(gluGetNurbsProperty, nurb, property, data);
    if (!nurb || !data)
        return;
    switch (property) {
    case GLU_SAMPLING_TOLERANCE: *data = nurb->samplingTolerance; break;
    case GLU_PARAMETRIC_TOLERANCE: *data = nurb->parametricTolerance; break;
    case GLU_U_STEP: *data = nurb->uStep; break;
    case GLU_V_STEP: *data = nurb->vStep; break;
    case GLU_SAMPLING_METHOD: *data = static_cast<GLfloat>(nurb->samplingMethod); break;
    case GLU_DISPLAY_MODE: *data = static_cast<GLfloat>(nurb->displayMode); break;
    case GLU_NURBS_MODE: *data = static_cast<GLfloat>(nurb->mode); break;
    case GLU_CULLING: *data = nurb->culling ? 1.0f : 0.0f; break;
    case GLU_AUTO_LOAD_MATRIX: *data = nurb->autoLoad ? 1.0f : 0.0f; break;
    default: report(nurb, GLU_INVALID_ENUM); break;
    }
}

void gluLoadSamplingMatrices(GLUnurbs *nurb, const GLfloat *model, const GLfloat *perspective, const GLint *view) {
    SOFTGLU_TRACED(gluLoadSamplingMatrices, nurb, model, perspective, view);
    if (!nurb)
        return;
    if (!model || !perspective || !view) {
        report(nurb, GLU_INVALID_VALUE);
        return;
    }
    memcpy(nurb->model, model, sizeof nurb->model);
    memcpy(nurb->projection, perspective, sizeof nurb->projection);
    memcpy(nurb->viewport, view, sizeof nurb->viewport);
}

void gluBeginCurve(GLUnurbs *nurb) {
    SOFTGLU_TRACED(gluBeginCurve, nurb);
    if (nurb)
        beginObject(nurb, State::Curve);
}

void gluNurbsCurve(GLUnurbs *nurb, GLint knotCount, GLfloat *knots, GLint stride, GLfloat *control, GLint order,
                   GLenum type) {
    SOFTGLU_TRACED(gluNurbsCurve, nurb, knotCount, knots, stride, control, order, type);
    if (!nurb)
        return;
    const GLint counts[2] = {knotCount, 0}, strides[2] = {stride, 0}, orders[2] = {order, 1};
    const GLfloat *const knotArrays[2] = {knots, nullptr};
    mapCall(nurb, 1, counts, knotArrays, strides, control, orders, type);
}

void gluEndCurve(GLUnurbs *nurb) {
    SOFTGLU_TRACED(gluEndCurve, nurb);
    if (nurb)
        endObject(nurb, State::Curve, kEndCurveAlone);
}

void gluBeginSurface(GLUnurbs *nurb) {
    SOFTGLU_TRACED(gluBeginSurface, nurb);
    if (nurb)
        beginObject(nurb, State::Surface);
}

void gluNurbsSurface(GLUnurbs *nurb, GLint sKnotCount, GLfloat *sKnots, GLint tKnotCount, GLfloat *tKnots,
                     GLint sStride, GLint tStride, GLfloat *control, GLint sOrder, GLint tOrder, GLenum type) {
    SOFTGLU_TRACED(gluNurbsSurface, nurb, sKnotCount, sKnots, tKnotCount, tKnots, sStride, tStride, control, sOrder,
                   tOrder, type);
    if (!nurb)
        return;
    const GLint counts[2] = {sKnotCount, tKnotCount}, strides[2] = {sStride, tStride}, orders[2] = {sOrder, tOrder};
    const GLfloat *const knotArrays[2] = {sKnots, tKnots};
    mapCall(nurb, 2, counts, knotArrays, strides, control, orders, type);
}

void gluEndSurface(GLUnurbs *nurb) {
    SOFTGLU_TRACED(gluEndSurface, nurb);
    if (nurb)
        endObject(nurb, State::Surface, kEndSurfaceAlone);
}

void gluBeginTrim(GLUnurbs *nurb) {
    SOFTGLU_TRACED(gluBeginTrim, nurb);
    if (!nurb)
        return;
    if (nurb->state == State::Trim) {
        fail(nurb, kNestedTrim);
        return;
    }
    if (nurb->state != State::Surface) {
        if (nurb->state == State::Idle)
            report(nurb, kTrimOutsideSurface);
        else
            fail(nurb, kTrimOutsideSurface);
        return;
    }
    Loop l;
    l.uv.init();
    l.pieceStart.init();
    if (!nurb->loops.push(l)) {
        fail(nurb, GLU_OUT_OF_MEMORY);
        return;
    }
    nurb->state = State::Trim;
}

void gluPwlCurve(GLUnurbs *nurb, GLint count, GLfloat *data, GLint stride, GLenum type) {
    SOFTGLU_TRACED(gluPwlCurve, nurb, count, data, stride, type);
    if (!nurb)
        return;
    if (nurb->state != State::Trim) {
        if (nurb->state == State::Idle)
            report(nurb, kPwlOutsideTrim);
        else
            fail(nurb, kPwlOutsideTrim);
        return;
    }
    if (nurb->failed)
        return;
    const int dim = type == GLU_MAP1_TRIM_2 ? 2 : type == GLU_MAP1_TRIM_3 ? 3 : 0;
    if (dim == 0) {
        fail(nurb, kWrongMapType);
        return;
    }
    if (count < 2 || stride < dim || !data) {
        fail(nurb, count < 2 ? kTooFewKnots : kBadStride);
        return;
    }
    if (!startPiece(nurb))
        return;
    for (int i = 0; i < count; ++i) {
        const GLfloat *p = data + static_cast<ptrdiff_t>(i) * stride;
        const double d[3] = {static_cast<double>(p[0]), static_cast<double>(p[1]),
                             dim == 3 ? static_cast<double>(p[2]) : 1.0};  // exact
        if (!isfinite(p[0]) || !isfinite(p[1]) || !isfinite(d[2])) {
            fail(nurb, kNotFinite);
            return;
        }
        if (!addTrimPoint(nurb, d, dim))
            return;
    }
}

void gluEndTrim(GLUnurbs *nurb) {
    SOFTGLU_TRACED(gluEndTrim, nurb);
    if (!nurb)
        return;
    if (nurb->state != State::Trim) {
        if (nurb->state == State::Idle)
            report(nurb, kEndTrimAlone);
        else
            fail(nurb, kEndTrimAlone);
        return;
    }
    nurb->state = State::Surface;
    if (!nurb->failed && currentLoop(nurb).pieceStart.size == 0)
        fail(nurb, kEmptyTrim);
}

void gluNurbsCallback(GLUnurbs *nurb, GLenum which, _GLUfuncptr fn) {
    SOFTGLU_TRACED(gluNurbsCallback, nurb, which, fn);
    if (!nurb)
        return;
    if (which == GLU_NURBS_ERROR)
        nurb->error = fn;
    else if (which >= GLU_NURBS_BEGIN && which <= GLU_NURBS_END_DATA)
        nurb->callback[which - GLU_NURBS_BEGIN] = fn;
    else
        report(nurb, GLU_INVALID_ENUM);
}

void gluNurbsCallbackData(GLUnurbs *nurb, GLvoid *userData) {
    SOFTGLU_TRACED(gluNurbsCallbackData, nurb, userData);
    if (nurb)
        nurb->userData = userData;
}

void gluNurbsCallbackDataEXT(GLUnurbs *nurb, GLvoid *userData) {
    SOFTGLU_TRACED(gluNurbsCallbackDataEXT, nurb, userData);
    if (nurb)
        nurb->userData = userData;
}
