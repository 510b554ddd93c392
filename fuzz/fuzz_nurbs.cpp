// SPDX-License-Identifier: MIT
// libFuzzer target of the NURBS calls: turns its input into one curve or
// surface (orders, knots with repeats, control points, strides, maps, trim
// loops, the properties) given in tessellator mode, and aborts on the first
// output that breaks a rule every object must keep: begin, vertex and end
// balanced; nothing at all after an error; a surface whose every map is
// valid and whose position map carries a Greville texture map has every
// vertex on the surface as tests/unit/nurbs_oracle.h evaluates it at the (u, v)
// that map reports.  Every array is allocated at exactly the size the
// strides and counts reach, so AddressSanitizer sees a read past it;
// UndefinedBehaviorSanitizer and the run's timeout do the rest.
//
// Input format, read front to back (bytes past the end read as zero):
//   kind     one byte: bit 0 surface (else curve), bit 1 rational, bits 2-3
//            the display mode, bits 4-6 the sampling method, bit 7 trims
//   tolerance one byte: the method's tolerance or step, 1 + byte / 8
//   per direction: order (byte modulo 7: 0 to 6), extra points (byte
//            modulo 6), then one byte per knot: its step from the one before
//            (modulo 4, / 2), 0xff a NaN, 0xfe a step back
//   stride   one byte: 0 the tight stride, else the byte modulo 8
//   points   one byte per control value: (byte - 128) / 16; 0xff a NaN,
//            0xfe an infinity
//   trims    (bit 7) one byte, 1 + modulo 3 loops; each a byte, its point
//            count (2 + modulo 10), then two bytes a point, u and v on a
//            grid of sixteenths over the domain.
#include <GL/glu.h>
#include <GL/glu_compat.h>

#include "nurbs_oracle.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Reader {
    const std::uint8_t *data;
    std::size_t size, at = 0;
    std::uint8_t byte() { return at < size ? data[at++] : 0; }
};

struct Got {
    int begins = 0, ends = 0, vertices = 0, errors = 0;
    bool open = false, unbalanced = false;
    float tex[2] = {0, 0};
    bool texSeen = false;
    const nurbs_oracle::Surface *oracle = nullptr;
    double scale = 1.0;
};
Got *got;

void fail(const char *what) {
    std::fprintf(stderr, "fuzz_nurbs: %s\n", what);
    std::abort();
}

void CALLBACK_begin(GLenum) {
    got->unbalanced = got->unbalanced || got->open;
    got->open = true;
    ++got->begins;
}
void CALLBACK_end() {
    got->unbalanced = got->unbalanced || !got->open;
    got->open = false;
    ++got->ends;
}
void CALLBACK_tex(GLfloat *t) {
    got->tex[0] = t[0];
    got->tex[1] = t[1];
    got->texSeen = true;
}
void CALLBACK_vertex(GLfloat *v) {
    if (!got->open)
        got->unbalanced = true;
    ++got->vertices;
    if (got->oracle && got->texSeen) {
        double p[3], n[3];
        nurbs_oracle::pointAndNormal(*got->oracle, got->tex[0], got->tex[1], p, n);
        for (int c = 0; c < 3; ++c)
            if (std::isfinite(p[c]) && std::fabs(p[c] - v[c]) > 1e-4 * got->scale) {
                std::fprintf(stderr, "vertex %g %g %g, oracle %g %g %g at (%g, %g)\n", v[0], v[1], v[2], p[0], p[1],
                             p[2], got->tex[0], got->tex[1]);
                fail("a vertex off the surface");
            }
    }
    got->texSeen = false;
}
void CALLBACK_error(GLenum) { ++got->errors; }

template <typename F>
_GLUfuncptr fn(F *f) {
    return reinterpret_cast<_GLUfuncptr>(f);
}

const GLenum kMethods[] = {GLU_PATH_LENGTH, GLU_PARAMETRIC_ERROR, GLU_DOMAIN_DISTANCE, GLU_OBJECT_PATH_LENGTH,
                           GLU_OBJECT_PARAMETRIC_ERROR};
const GLenum kDisplays[] = {GLU_FILL, GLU_OUTLINE_POLYGON, GLU_OUTLINE_PATCH, GLU_FILL};

struct Dir {
    int order, count;
    std::vector<float> knots;
    bool valid;
};

Dir readDirection(Reader &in) {
    Dir d;
    d.order = in.byte() % 7;
    d.count = d.order + in.byte() % 6;
    float x = 0;
    bool valid = d.order >= 1;
    int run = 0;
    for (int k = 0; k < d.count + d.order; ++k) {
        const std::uint8_t b = in.byte();
        float step = static_cast<float>(b % 4) / 2.0f;
        if (b == 0xff) {
            d.knots.push_back(NAN);
            valid = false;
            continue;
        }
        if (b == 0xfe) {
            step = -1.0f;
            valid = false;
        }
        if (k > 0)
            x += step;
        run = k > 0 && step == 0.0f ? run + 1 : 1;
        valid = valid && run <= d.order;
        d.knots.push_back(x);
    }
    valid = valid && d.count >= d.order && d.knots[static_cast<std::size_t>(d.order - 1)] < d.knots[static_cast<std::size_t>(d.count)];
    d.valid = valid;
    return d;
}

std::vector<double> doubles(const std::vector<float> &v) { return std::vector<double>(v.begin(), v.end()); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    Reader in{data, size};
    const std::uint8_t kind = in.byte();
    const bool surface = kind & 1, rational = kind & 2, trims = kind & 0x80;
    const int dim = rational ? 4 : 3;
    const float tolerance = 1.0f + static_cast<float>(in.byte()) / 8.0f;
    Dir u = readDirection(in), v = surface ? readDirection(in) : Dir{1, 1, {0, 1}, true};
    const std::uint8_t strideByte = in.byte();
    const int sStride = strideByte ? strideByte % 8 : (surface ? v.count : 1) * dim;
    const int tStride = strideByte ? (strideByte / 8) % 8 : dim;
    const bool stridesOk = sStride >= dim && (!surface || tStride >= dim);
    // Exactly what the strides reach (at least one float, so the pointer is real).
    const int nu = u.count > 0 ? u.count : 1, nv = surface && v.count > 0 ? v.count : 1;
    std::size_t reach = 1;
    if (u.count > 0 && v.count > 0 && sStride >= 0 && tStride >= 0)
        reach = static_cast<std::size_t>((nu - 1) * sStride + (surface ? (nv - 1) * tStride : 0) + dim);
    std::vector<float> points(reach);
    for (float &p : points) {
        const std::uint8_t b = in.byte();
        p = b == 0xff ? NAN : b == 0xfe ? INFINITY : static_cast<float>(b - 128) / 16.0f;
    }
    const bool tight = strideByte == 0;
    // Weights positive, at every point the strides reach: a weight of 0 or
    // below puts the point at or behind the eye, which asks the most steps
    // of every span (up to 1024 x 1024 a pair of spans: minutes of one
    // input under the sanitizers, and nothing the unit tests do not show).
    if (rational && stridesOk)
        for (int i = 0; i < u.count; ++i)
            for (int j = 0; j < (surface ? v.count : 1); ++j) {
                float &w = points[static_cast<std::size_t>(i * sStride + (surface ? j * tStride : 0) + 3)];
                if (std::isfinite(w))
                    w = 0.5f + std::fabs(w);
            }
    // Whether every value the strides reach is finite.
    bool finite = true;
    for (int i = 0; stridesOk && i < u.count; ++i)
        for (int j = 0; j < (surface ? v.count : 1); ++j)
            for (int c = 0; c < dim; ++c)
                finite = finite && std::isfinite(points[static_cast<std::size_t>(i * sStride + (surface ? j * tStride : 0) + c)]);

    Got g;
    got = &g;
    GLUnurbs *n = gluNewNurbsRenderer();
    gluNurbsProperty(n, GLU_NURBS_MODE, GLU_NURBS_TESSELLATOR);
    gluNurbsProperty(n, GLU_DISPLAY_MODE, kDisplays[(kind >> 2) & 3]);
    const GLenum method = kMethods[((kind >> 4) & 7) % 5];
    gluNurbsProperty(n, GLU_SAMPLING_METHOD, method);
    gluNurbsProperty(n, GLU_SAMPLING_TOLERANCE, tolerance);
    gluNurbsProperty(n, GLU_PARAMETRIC_TOLERANCE, tolerance / 16.0f);
    gluNurbsProperty(n, GLU_U_STEP, tolerance);
    gluNurbsProperty(n, GLU_V_STEP, tolerance);
    gluNurbsCallback(n, GLU_NURBS_BEGIN, fn(CALLBACK_begin));
    gluNurbsCallback(n, GLU_NURBS_VERTEX, fn(CALLBACK_vertex));
    gluNurbsCallback(n, GLU_NURBS_TEXTURE_COORD, fn(CALLBACK_tex));
    gluNurbsCallback(n, GLU_NURBS_END, fn(CALLBACK_end));
    gluNurbsCallback(n, GLU_NURBS_ERROR, fn(CALLBACK_error));

    nurbs_oracle::Surface oracle;
    std::vector<float> greville;
    const bool checkable = surface && u.valid && v.valid && stridesOk && finite && (tight || !rational) &&
                           u.order >= 2 && v.order >= 2 &&
                           u.order <= GLU_NURBS_MAX_ORDER && v.order <= GLU_NURBS_MAX_ORDER;
    if (checkable) {
        oracle = {{doubles(u.knots), u.order}, {doubles(v.knots), v.order}, dim, {}};
        double largest = 1.0;
        for (int i = 0; i < u.count; ++i)
            for (int j = 0; j < v.count; ++j)
                for (int c = 0; c < dim; ++c) {
                    const float p = points[static_cast<std::size_t>(i * sStride + j * tStride + c)];
                    oracle.points.push_back(p);
                    largest = std::fmax(largest, std::fabs(static_cast<double>(p)));
                }
        greville = nurbs_oracle::grevilleMap(oracle);
        g.scale = largest * (rational ? 64.0 : 1.0);  // weights down to 0.5 magnify
        g.oracle = &oracle;
    }

    if (surface) {
        gluBeginSurface(n);
        gluNurbsSurface(n, static_cast<GLint>(u.knots.size()), u.knots.data(), static_cast<GLint>(v.knots.size()),
                        v.knots.data(), sStride, tStride, points.data(), u.order, v.order,
                        rational ? GL_MAP2_VERTEX_4 : GL_MAP2_VERTEX_3);
        if (checkable)
            gluNurbsSurface(n, static_cast<GLint>(u.knots.size()), u.knots.data(), static_cast<GLint>(v.knots.size()),
                            v.knots.data(), v.count * 2, 2, greville.data(), u.order, v.order,
                            GL_MAP2_TEXTURE_COORD_2);
        if (trims) {
            const int loops = 1 + in.byte() % 3;
            for (int l = 0; l < loops; ++l) {
                const int count = 2 + in.byte() % 10;
                std::vector<float> pts;
                for (int k = 0; k < 2 * count; ++k)
                    pts.push_back(static_cast<float>(in.byte() % 17) / 16.0f);
                gluBeginTrim(n);
                gluPwlCurve(n, count, pts.data(), 2, GLU_MAP1_TRIM_2);
                gluEndTrim(n);
            }
        }
        gluEndSurface(n);
    } else {
        gluBeginCurve(n);
        gluNurbsCurve(n, static_cast<GLint>(u.knots.size()), u.knots.data(), sStride, points.data(), u.order,
                      rational ? GL_MAP1_VERTEX_4 : GL_MAP1_VERTEX_3);
        gluEndCurve(n);
    }
    gluDeleteNurbsRenderer(n);

    if (g.unbalanced || g.open || g.begins != g.ends)
        fail("begin, vertex and end unbalanced");
    if (g.errors > 0 && g.begins > 0)
        fail("output after an error");
    if (!finite && g.begins > 0 && stridesOk && u.valid && v.valid)
        fail("output from a control point that is not finite");
    return 0;
}
