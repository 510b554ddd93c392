// SPDX-License-Identifier: MIT
// The tessellator's callbacks, as its unit tests (tests/unit/test_tess.cpp),
// the reference corpus (tests/reference/corpus_tess.cpp) and the fuzzer
// (fuzz/fuzz_tess.cpp) give them: plain and _DATA forms that record what a
// polygon gives; then the call-order cases, each with the errors it reports.
#ifndef SOFTGLU_TESS_HARNESS_H
#define SOFTGLU_TESS_HARNESS_H

#include <GL/glu.h>
#include <GL/glu_compat.h>

#include "../unit/tess_oracle.h"

#include <array>
#include <deque>
#include <limits>
#include <string>
#include <vector>

namespace tess_harness {
namespace {

using tess_oracle::P3;

// One callback call: B begin, V vertex, E end, F edge flag, X error or M
// combine, with its type, flag, code or combine's index (n), or its vertex
// data.
struct Call {
    char what;
    unsigned n;
    const void *vertex;
};

// What one polygon's callbacks received: the primitives and edge flags the
// oracle reads, every call in order, the errors, and the vertices COMBINE
// made with their sources and weights.
struct Record : tess_oracle::Output {
    std::vector<Call> calls;
    std::vector<GLenum> errors;
    std::deque<P3> made;
    std::vector<std::array<const void *, 4>> sources;
    std::vector<std::array<float, 4>> weights;
    std::string combineFault;        // the first fault tess_oracle::checkCombine found
    std::vector<double> readBack;    // what gluGetTessProperty gave a case
    bool combineGivesNull = false;   // COMBINE answers NULL
    bool otherPolygonData = false;   // a _DATA callback was given another polygon_data
};

// The record the callbacks write to, set by newRecordingTess and listen.
Record *rec;

void CALLBACK_begin(GLenum type) {
    rec->calls.push_back({'B', type, nullptr});
    rec->begin(type);
}
void CALLBACK_vertex(void *v) {
    rec->calls.push_back({'V', 0, v});
    rec->vertex(static_cast<const double *>(v));
}
void CALLBACK_end() {
    rec->calls.push_back({'E', 0, nullptr});
    rec->end();
}
void CALLBACK_edgeFlag(GLboolean f) {
    rec->calls.push_back({'F', f, nullptr});
    rec->flag = f != GL_FALSE;
}
void CALLBACK_error(GLenum code) {
    rec->calls.push_back({'X', code, nullptr});
    rec->errors.push_back(code);
}
void CALLBACK_combine(GLdouble coords[3], void *data[4], GLfloat w[4], void **out) {
    rec->calls.push_back({'M', static_cast<unsigned>(rec->made.size()), nullptr});
    if (rec->combineFault.empty())
        rec->combineFault = tess_oracle::checkCombine(coords, data, w);
    rec->made.push_back({coords[0], coords[1], coords[2]});
    rec->sources.push_back({data[0], data[1], data[2], data[3]});
    rec->weights.push_back({w[0], w[1], w[2], w[3]});
    *out = rec->combineGivesNull ? nullptr : rec->made.back().data();
}

// The _DATA forms: the same, noting polygon_data other than the record.
void see(void *polygon) { rec->otherPolygonData = rec->otherPolygonData || polygon != rec; }
void CALLBACK_beginData(GLenum type, void *polygon) {
    see(polygon);
    CALLBACK_begin(type);
}
void CALLBACK_vertexData(void *v, void *polygon) {
    see(polygon);
    CALLBACK_vertex(v);
}
void CALLBACK_endData(void *polygon) {
    see(polygon);
    CALLBACK_end();
}
void CALLBACK_edgeFlagData(GLboolean f, void *polygon) {
    see(polygon);
    CALLBACK_edgeFlag(f);
}
void CALLBACK_errorData(GLenum code, void *polygon) {
    see(polygon);
    CALLBACK_error(code);
}
void CALLBACK_combineData(GLdouble coords[3], void *data[4], GLfloat w[4], void **out, void *polygon) {
    see(polygon);
    CALLBACK_combine(coords, data, w, out);
}

template <typename F>
_GLUfuncptr fn(F *f) {
    return reinterpret_cast<_GLUfuncptr>(f);
}

// How a tessellator is set up: its winding rule, output, callbacks and
// normal.
struct Options {
    GLenum rule = GLU_TESS_WINDING_ODD;
    bool boundaryOnly = false, edgeFlags = false, combine = true, dataForms = false;
    P3 normal = {0, 0, 0};
};

// Points t's callbacks, in the forms o asks for, at r.
void listen(GLUtesselator *t, Record &r, const Options &o) {
    rec = &r;
    const bool d = o.dataForms;
    gluTessCallback(t, d ? GLU_TESS_BEGIN_DATA : GLU_TESS_BEGIN, d ? fn(CALLBACK_beginData) : fn(CALLBACK_begin));
    gluTessCallback(t, d ? GLU_TESS_VERTEX_DATA : GLU_TESS_VERTEX, d ? fn(CALLBACK_vertexData) : fn(CALLBACK_vertex));
    gluTessCallback(t, d ? GLU_TESS_END_DATA : GLU_TESS_END, d ? fn(CALLBACK_endData) : fn(CALLBACK_end));
    gluTessCallback(t, d ? GLU_TESS_ERROR_DATA : GLU_TESS_ERROR, d ? fn(CALLBACK_errorData) : fn(CALLBACK_error));
    if (o.edgeFlags)
        gluTessCallback(t, d ? GLU_TESS_EDGE_FLAG_DATA : GLU_TESS_EDGE_FLAG,
                        d ? fn(CALLBACK_edgeFlagData) : fn(CALLBACK_edgeFlag));
    if (o.combine)
        gluTessCallback(t, d ? GLU_TESS_COMBINE_DATA : GLU_TESS_COMBINE,
                        d ? fn(CALLBACK_combineData) : fn(CALLBACK_combine));
}

// A new tessellator set up as o says, its callbacks recording into r; null
// when gluNewTess gives none.
GLUtesselator *newRecordingTess(Record &r, const Options &o) {
    GLUtesselator *t = gluNewTess();
    if (!t)
        return nullptr;
    listen(t, r, o);
    gluTessProperty(t, GLU_TESS_WINDING_RULE, o.rule);
    gluTessProperty(t, GLU_TESS_BOUNDARY_ONLY, o.boundaryOnly ? GL_TRUE : GL_FALSE);
    gluTessNormal(t, o.normal[0], o.normal[1], o.normal[2]);
    return t;
}

// Gives t the vertices v, each one's data the point.
void sendVertices(GLUtesselator *t, std::vector<P3> &v) {
    for (P3 &p : v)
        gluTessVertex(t, p.data(), &p);
}

// One polygon of one contour, v, its data r.
void sendPolygon(GLUtesselator *t, Record &r, std::vector<P3> &v) {
    gluTessBeginPolygon(t, &r);
    gluTessBeginContour(t);
    sendVertices(t, v);
    gluTessEndContour(t);
    gluTessEndPolygon(t);
}

// A mistake in the order of calls, or a property or callback out of
// range, made on a new tessellator whose callbacks record into r, with the
// vertices v: the unit tests give a counterclockwise square, the reference
// corpus the square and a hole.  On the square it reports `errors` and
// then draws `triangles`, and gluGetTessProperty gives `readBack`.  The
// corpus replays the cases its stream holds (`inReference`).
struct CallOrderCase {
    const char *name;
    void (*calls)(GLUtesselator *t, Record &r, std::vector<P3> &v);
    std::vector<GLenum> errors;
    size_t triangles;
    std::vector<double> readBack;
    bool inReference;
};

const CallOrderCase kCallOrderCases[] = {
    {"vertices with no polygon",
     [](GLUtesselator *t, Record &, std::vector<P3> &v) {
         sendVertices(t, v);
         gluTessEndContour(t);
         gluTessEndPolygon(t);
     },
     {GLU_TESS_MISSING_BEGIN_POLYGON, GLU_TESS_MISSING_BEGIN_CONTOUR}, 2, {}, true},
    {"no contour",
     [](GLUtesselator *t, Record &r, std::vector<P3> &v) {
         gluTessBeginPolygon(t, &r);
         sendVertices(t, v);
         gluTessEndPolygon(t);
     },
     {GLU_TESS_MISSING_BEGIN_CONTOUR, GLU_TESS_MISSING_END_CONTOUR}, 2, {}, true},
    {"polygon begun twice",
     [](GLUtesselator *t, Record &r, std::vector<P3> &v) {
         gluTessBeginPolygon(t, &r);
         gluTessBeginContour(t);
         sendVertices(t, v);
         gluTessBeginPolygon(t, &r);
         gluTessEndPolygon(t);
     },
     {GLU_TESS_MISSING_END_CONTOUR, GLU_TESS_MISSING_END_POLYGON}, 2, {}, true},
    {"contour begun twice",
     [](GLUtesselator *t, Record &r, std::vector<P3> &v) {
         gluTessBeginPolygon(t, &r);
         gluTessBeginContour(t);
         gluTessBeginContour(t);
         sendVertices(t, v);
         gluTessEndContour(t);
         gluTessEndPolygon(t);
     },
     {GLU_TESS_MISSING_END_CONTOUR}, 2, {}, true},
    {"end without begin", [](GLUtesselator *t, Record &, std::vector<P3> &) { gluTessEndPolygon(t); },
     {GLU_TESS_MISSING_BEGIN_POLYGON}, 0, {}, true},
    {"the older calls",
     [](GLUtesselator *t, Record &, std::vector<P3> &v) {
         gluBeginPolygon(t);
         for (size_t i = 0; i < 4; ++i)
             gluTessVertex(t, v[i].data(), &v[i]);
         gluNextContour(t, GLU_INTERIOR);
         for (size_t i = 4; i < v.size(); ++i)
             gluTessVertex(t, v[i].data(), &v[i]);
         gluEndPolygon(t);
     },
     {}, 2, {}, true},
    {"coordinates too large, infinite or NaN",
     [](GLUtesselator *t, Record &r, std::vector<P3> &v) {
         v[1][0] = 1e151;
         v[2][1] = std::numeric_limits<double>::infinity();
         v[3][2] = std::numeric_limits<double>::quiet_NaN();
         sendPolygon(t, r, v);
     },
     {GLU_TESS_COORD_TOO_LARGE, GLU_TESS_COORD_TOO_LARGE, GLU_TESS_COORD_TOO_LARGE}, 0, {}, true},
    {"unknown properties and values",
     [](GLUtesselator *t, Record &r, std::vector<P3> &) {
         gluTessProperty(t, GLU_TESS_WINDING_RULE, 100135.0);
         gluTessProperty(t, GLU_TESS_BOUNDARY_ONLY, 2.0);
         gluTessProperty(t, GLU_TESS_TOLERANCE, -1.0);
         gluTessProperty(t, GL_TRIANGLES, 0.0);
         gluTessCallback(t, GLU_TESS_COMBINE_DATA + 1, nullptr);
         GLdouble value = -1.0;
         gluGetTessProperty(t, GL_TRIANGLES, &value);
         r.readBack.push_back(value);
     },
     {GLU_INVALID_VALUE, GLU_INVALID_VALUE, GLU_INVALID_ENUM, GLU_INVALID_ENUM, GLU_INVALID_ENUM}, 0, {-1}, true},
    // A polygon of a coordinate too large and a NaN alone: no output.
    {"coordinates too large or NaN",
     [](GLUtesselator *t, Record &r, std::vector<P3> &) {
         std::vector<P3> alone = {{1e300, 0, 0}, {0, std::numeric_limits<double>::quiet_NaN(), 0}};
         sendPolygon(t, r, alone);
     },
     {GLU_TESS_COORD_TOO_LARGE, GLU_TESS_COORD_TOO_LARGE}, 0, {}, false},
    // A rule that is no rule's name and a tolerance above 1 refused; the
    // defaults, ODD and GL_FALSE, kept.
    {"unknown enums and values",
     [](GLUtesselator *t, Record &r, std::vector<P3> &) {
         gluTessProperty(t, GLU_TESS_WINDING_RULE, 5.0);
         gluTessProperty(t, GLU_TESS_TOLERANCE, 2.0);
         gluTessProperty(t, GL_TRIANGLES, 0.0);
         gluTessCallback(t, GLU_TESS_COMBINE_DATA + 1, nullptr);
         for (GLenum which : {GLU_TESS_WINDING_RULE, GLU_TESS_BOUNDARY_ONLY}) {
             GLdouble value = -1.0;
             gluGetTessProperty(t, which, &value);
             r.readBack.push_back(value);
         }
     },
     {GLU_INVALID_VALUE, GLU_INVALID_VALUE, GLU_INVALID_ENUM, GLU_INVALID_ENUM}, 0,
     {GLU_TESS_WINDING_ODD, GL_FALSE}, false},
};

}  // namespace
}  // namespace tess_harness

#endif
