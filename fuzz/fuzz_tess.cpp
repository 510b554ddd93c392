// SPDX-License-Identifier: MIT
// libFuzzer target of the polygon tessellator: turns its input into one
// polygon of random contours and tessellates it, then aborts on the first
// output that breaks a rule every polygon must keep (tests/unit/tess_oracle.h):
// exactly the sample points the winding rule selects covered once, every
// triangle counterclockwise about the normal and inside the input's
// bounding box, the area, the edges flagged as boundary and the boundary
// loops agreeing, the combine calls' weights blending their vertices; begin,
// vertex and end calls balanced; an edge flag before the first vertex when
// there is an edge flag callback.  A NaN coordinate must be reported
// (GLU_TESS_COORD_TOO_LARGE) and give no output; one too large, or
// infinite, reported; a missing combine callback, or one that gives NULL,
// reported only when there is a crossing, and then no output.
// AddressSanitizer, UndefinedBehaviorSanitizer and the run's timeout do the
// rest: no crash, no hang.
//
// Input format, read front to back (bytes past the end read as zero):
//   rule     one byte, modulo 5: ODD, NONZERO, POSITIVE, NEGATIVE, ABS_GEQ_TWO
//   options  one byte: bit 0 boundary only, bit 1 an edge flag callback,
//            bit 2 the _DATA callbacks, bits 3-4 the combine callback
//            (present, present, absent, giving NULL), bits 5-6 the normal
//            ((0, 0, 0), +z, -z, tilted), bit 7 the tilted normal's z sign
//   tilt     two bytes, the tilted normal's x and y (-3..3; z is 4)
//   grid     one byte, modulo 4: the coordinates' grid (steps of 1, 1/2,
//            5/4 or 1/4 over [0, 10]), where points coincide, line up and
//            edges cross and overlap often
//   contours one byte, 1 + modulo 4 of them; each a byte, its vertex count
//            (modulo 16), then two bytes per vertex, x and y: a byte from
//            0xf8 on picks a special value (NaN, infinities, beyond
//            GLU_TESS_MAX_COORD, the largest allowed, -0), any other its
//            grid point; z is 0.
// Outputs of polygons with special values are checked for the errors and
// their balance only: the sample grid cannot see them.
#include <GL/glu.h>
#include <GL/glu_compat.h>

#include "tess_harness.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using tess_oracle::Contours;
using tess_oracle::P3;
using tess_harness::Record;

const GLenum kRules[] = {GLU_TESS_WINDING_ODD, GLU_TESS_WINDING_NONZERO, GLU_TESS_WINDING_POSITIVE,
                         GLU_TESS_WINDING_NEGATIVE, GLU_TESS_WINDING_ABS_GEQ_TWO};
const char *const kRuleNames[] = {"ODD", "NONZERO", "POSITIVE", "NEGATIVE", "ABS_GEQ_TWO"};

// The grids: count points `step` apart from 0, all within the oracle's
// sample window.
struct GridKind {
    int count;
    double step;
};
const GridKind kGrids[] = {{11, 1.0}, {21, 0.5}, {9, 1.25}, {41, 0.25}};

const double kSpecial[] = {NAN, INFINITY, -INFINITY, 1e200, -1e200, DBL_MAX, GLU_TESS_MAX_COORD, -0.0};
const int kFirstSpecial = 0xf8;

class Reader {
public:
    Reader(const std::uint8_t *data, std::size_t size) : p_(data), end_(data + size) {}
    std::uint8_t byte() { return p_ < end_ ? *p_++ : 0; }

private:
    const std::uint8_t *p_;
    const std::uint8_t *end_;
};

struct Polygon {
    int ruleIndex;
    tess_harness::Options options;
    bool combineGivesNull;
    Contours contours;
    bool nan = false, beyond = false, special = false;
};

Polygon readPolygon(Reader &in) {
    Polygon p;
    tess_harness::Options &o = p.options;
    p.ruleIndex = in.byte() % 5;
    o.rule = kRules[p.ruleIndex];
    const std::uint8_t options = in.byte();
    o.boundaryOnly = options & 1;
    o.edgeFlags = options & 2;
    o.dataForms = options & 4;
    const int combine = (options >> 3) & 3;
    o.combine = combine != 2;
    p.combineGivesNull = combine == 3;
    const double tiltX = in.byte() % 7 - 3, tiltY = in.byte() % 7 - 3;
    switch ((options >> 5) & 3) {
    case 0: o.normal = {0, 0, 0}; break;
    case 1: o.normal = {0, 0, 1}; break;
    case 2: o.normal = {0, 0, -1}; break;
    default: o.normal = {tiltX, tiltY, options & 0x80 ? -4.0 : 4.0}; break;
    }
    const GridKind grid = kGrids[in.byte() % 4];
    p.contours.resize(1 + in.byte() % 4);
    for (auto &c : p.contours) {
        c.resize(in.byte() % 16);
        for (P3 &v : c) {
            for (int k = 0; k < 2; ++k) {
                const std::uint8_t b = in.byte();
                if (b >= kFirstSpecial) {
                    v[k] = kSpecial[b - kFirstSpecial];
                    p.nan = p.nan || std::isnan(v[k]);
                    p.beyond = p.beyond || std::fabs(v[k]) > GLU_TESS_MAX_COORD;
                    p.special = true;
                } else {
                    v[k] = (b % grid.count) * grid.step;
                }
            }
            v[2] = 0;
        }
    }
    return p;
}

std::string describe(const Polygon &p) {
    const tess_harness::Options &o = p.options;
    std::string s = std::string("rule ") + kRuleNames[p.ruleIndex] + (o.boundaryOnly ? ", boundary only" : "") +
                    (o.edgeFlags ? ", edge flags" : "") + (o.dataForms ? ", _DATA callbacks" : "") +
                    (!o.combine ? ", no combine" : p.combineGivesNull ? ", combine gives NULL" : "");
    char buf[64];
    std::snprintf(buf, sizeof buf, ", normal (%g, %g, %g)", o.normal[0], o.normal[1], o.normal[2]);
    s += buf;
    for (const auto &c : p.contours) {
        s += "\n  contour:";
        for (const P3 &v : c) {
            std::snprintf(buf, sizeof buf, " (%.17g, %.17g)", v[0], v[1]);
            s += buf;
        }
    }
    return s;
}

const Polygon *current;

[[noreturn]] void fail(const std::string &what) {
    std::fprintf(stderr, "\n%s\n  polygon: %s\n", what.c_str(), current ? describe(*current).c_str() : "?");
    std::abort();
}

// One tessellation of `p`, with or without boundary only.
Record tessellate(const Polygon &p, bool boundaryOnly) {
    Record r;
    r.combineGivesNull = p.combineGivesNull;
    tess_harness::Options o = p.options;
    o.boundaryOnly = boundaryOnly;
    GLUtesselator *t = tess_harness::newRecordingTess(r, o);
    if (!t)
        fail("gluNewTess returned NULL");
    gluTessBeginPolygon(t, &r);
    tess_oracle::sendContours(t, p.contours);
    gluTessEndPolygon(t);
    gluDeleteTess(t);
    return r;
}

bool has(const std::vector<GLenum> &errors, GLenum e) {
    for (GLenum x : errors)
        if (x == e)
            return true;
    return false;
}

// The errors a polygon may give, and no output where one says so.
void checkErrors(const Polygon &p, const Record &r, bool boundaryOnly) {
    for (GLenum e : r.errors)
        if (e != GLU_TESS_COORD_TOO_LARGE && e != GLU_TESS_NEED_COMBINE_CALLBACK && e != SOFTGLU_TESS_TOO_COMPLEX)
            fail("unexpected error " + std::to_string(e));
    // A budget that ran out is reported, and then nothing is drawn.  (Some
    // polygons of a few dozen vertices on a quarter grid reach one, after
    // most of a minute in this build.)
    if (has(r.errors, SOFTGLU_TESS_TOO_COMPLEX) && !r.begins.empty())
        fail("output after SOFTGLU_TESS_TOO_COMPLEX");
    if ((p.nan || p.beyond) != has(r.errors, GLU_TESS_COORD_TOO_LARGE))
        fail(p.nan || p.beyond ? "a coordinate NaN or beyond GLU_TESS_MAX_COORD was not reported"
                               : "GLU_TESS_COORD_TOO_LARGE for coordinates in range");
    if (p.nan && !r.begins.empty())
        fail("a polygon with a NaN coordinate gave output");
    if (has(r.errors, GLU_TESS_NEED_COMBINE_CALLBACK)) {
        if (p.options.combine && !p.combineGivesNull)
            fail("GLU_TESS_NEED_COMBINE_CALLBACK with a combine callback that gives vertices");
        if (!r.begins.empty())
            fail("output after GLU_TESS_NEED_COMBINE_CALLBACK");
    } else if (!r.made.empty() && p.combineGivesNull) {
        fail("the combine callback gave NULL and no error was reported");
    }
    if (r.unbalanced || r.open)
        fail("begin, vertex and end calls unbalanced");
    if (r.otherPolygonData)
        fail("a _DATA callback got another polygon_data");
    // (A clamped coordinate's vertex_data holds the coordinate unclamped.)
    if (!p.beyond && !r.combineFault.empty())
        fail("combine: " + r.combineFault);
    if (p.options.edgeFlags && !boundaryOnly)
        for (const tess_harness::Call &c : r.calls) {
            if (c.what == 'F')
                break;
            if (c.what == 'V')
                fail("no edge flag before the first vertex");
        }
}

// The sides the polygon's output is counterclockwise from: the normal's z
// sign, or, for (0, 0, 0), the contours' area's (either when it is 0).
std::vector<double> views(const Polygon &p) {
    if (p.options.normal[2] != 0)
        return {p.options.normal[2] < 0 ? -1.0 : 1.0};
    const double area = tess_oracle::contoursArea(p.contours);
    if (area == 0)
        return {1.0, -1.0};
    return {area < 0 ? -1.0 : 1.0};
}

void checkPolygon(const Polygon &p) {
    current = &p;
    const Record triangles = tessellate(p, false);
    checkErrors(p, triangles, false);
    Record loops;
    if (p.options.boundaryOnly) {
        loops = tessellate(p, true);
        checkErrors(p, loops, true);
    }
    if (p.special || !triangles.errors.empty())
        return;
    tess_oracle::Grid grid;
    grid.step = 0.25;
    std::string wrong;
    for (double view : views(p)) {
        double area = 0;
        wrong = tess_oracle::checkTriangles(p.contours, p.options.rule, view, triangles, grid, &area);
        if (wrong.empty() && p.options.boundaryOnly)
            wrong = tess_oracle::checkLoops(loops, view, area);
        if (wrong.empty())
            break;
    }
    if (!wrong.empty())
        fail(wrong);
    current = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    Reader in(data, size);
    checkPolygon(readPolygon(in));
    return 0;
}
