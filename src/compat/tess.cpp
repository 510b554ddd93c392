// SPDX-License-Identifier: MIT
// The polygon tessellator of the compatibility layer: gluNewTess ...
// gluTessEndPolygon, and the older gluBeginPolygon, gluNextContour and
// gluEndPolygon.
//
// Nothing is tessellated until gluTessEndPolygon; gluTessVertex copies the
// coordinates.  Then, in order:
//
//  1. PLANE.  The vertices are projected onto the coordinate plane
//     perpendicular to the largest component of the normal (the one given,
//     or Newell's normal of the contours), the two remaining coordinates
//     taken as they are, swapped when that component is negative, so that
//     counterclockwise in the plane is counterclockwise about the normal.
//     The plane coordinates are the input doubles times one power of two
//     (which puts the largest at 2^480), so no arithmetic has touched them.
//     A plane coordinate below 2^-485 (about 2^-965 of the largest) is
//     taken as 0: orient.h says why.
//  2. ARRANGEMENT.  Vertices with the same plane coordinates are one
//     vertex (found by sorting the inputs: O(n log n)), and so is a vertex
//     within the snapping distance below of an earlier one (found through
//     the hash grid): features smaller than 2^-44 of the largest
//     coordinate collapse.  Every contour edge
//     that passes through another vertex is split there; every two edges
//     that cross are both split at their crossing point, rounded to
//     doubles (the COMBINE callback makes its vertex), until no edge
//     crosses another or passes through a vertex: a planar straight-line
//     graph.  Snapping: a crossing point within 2^-44 of the largest
//     coordinate (in both coordinates) of a vertex is that vertex, and an
//     edge passing that near a vertex is routed through it, so rounded
//     crossing points cannot breed new crossings beside themselves for
//     ever: every new vertex keeps that distance from all others.  Each
//     pass finds the candidate pairs through a packed tree of the edges'
//     boxes (sorted in Morton order, 16 to a node): O(n log n) to build,
//     then one lookup per edge, O(log n) plus the boxes it meets; the
//     nearest vertex for snapping comes from a hash grid, O(1); a polygon
//     of up to kSweepUpTo segments finds the pairs by a sweep in x over
//     the same boxes instead, and takes them in the tree's order.  Then each
//     edge is split at everything found on it at once; a pass that finds
//     nothing ends the step, usually the first (no crossings) or the
//     second.  Cost: O(n log n + m) a pass, m the pairs of edges whose
//     boxes meet: O(n) on contours that do not pile many edges into one
//     spot, up to O(n^2) on those that do (long edges across many others).
//  3. TRIANGULATION.  The graph's vertices are triangulated in
//     lexicographic order (each new vertex lies outside the hull of those
//     before it and is joined to the hull edges it sees: O(n log n) for
//     the sort, O(n) amortised for the hull), then each edge of the graph
//     is made an edge of the triangulation by flipping the edges that
//     cross it (Sloan's algorithm for constrained triangulations), found
//     by walking from one end to the other: O(k + degree) for k crossed
//     edges.  Every triangle lies in one face of the graph.  The sweep's
//     triangulation is not Delaunay: its long thin fans can make k large
//     (rows and columns of small contours: glyphs), which is where the
//     time goes on such input.
//  4. WINDING.  Crossing a graph edge from its right to its left raises the
//     winding number by the number of contour edges running along it that
//     way, less those running the other way; outside the hull it is 0.  A
//     walk over the triangles from the hull gives each its number (the
//     counts looked up by binary search: O(n log n)), and the winding rule
//     selects the triangles.
//  5. OUTPUT.  The selected triangles, counterclockwise, in one
//     GL_TRIANGLES; or, with GLU_TESS_BOUNDARY_ONLY, the edges between
//     selected and unselected triangles chained into GL_LINE_LOOPs with
//     the region on their left (outer loops counterclockwise, holes
//     clockwise).  O(n).
//
// The working arrays belong to the tessellator object and keep their
// memory from one polygon to the next (gluDeleteTess frees them).  Sorts
// are sort.h's merge sort, or its counting sort where the keys are small
// integers: both stable, so the same on every machine.  The tree's Morton codes and the hash
// grid decide how fast pairs and near vertices are found, not which are
// found; the order in which a pass finds crossings numbers their new
// vertices, and that order is itself fixed by the input's bits.
//
// Every decision (which side of a line a point lies, whether two edges
// cross, the order of two points) is an exact comparison or the exact sign
// of an orientation determinant of plane coordinates, so the graph of step
// 2 is planar, the triangulation of step 3 valid and the winding numbers
// of step 4 right for the coordinates the graph has.  The only rounded
// values are the crossing points, which become vertices before any
// decision uses them.  With the arithmetic guard, the output depends on
// the input's bits alone.
//
// Its parts in headers of their own: orient.h, the exact orientation
// predicates; sort.h, the sorts; boxtree.h, the tree of boxes that finds
// step 2's candidate pairs.

#include "../exact.h"  // first: the arithmetic guard

#include <GL/glu_compat.h>

#include "array.h"
#include "boxtree.h"
#include "meshcheck.h"
#include "orient.h"
#include "sort.h"
#include "traced.h"

#include <limits.h>
#include <math.h>
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#ifdef SOFTGLU_CHECK_INVARIANTS
#include <stdio.h>  // the checking builds' message before they stop
#endif

namespace {

using compat::Array;

// ---- Plane scale -----------------------------------------------------------
//
// The plane coordinates stay within the range where orient.h is exact:
// the input is scaled so that its largest coordinate is kLargest, and a
// coordinate below kSmallest is taken as 0.

constexpr double pow2(int k) {
    double r = 1.0;
    for (; k > 0; --k)
        r *= 2.0;
    for (; k < 0; ++k)
        r *= 0.5;
    return r;
}
uint64_t bitsOf(double x) {
    uint64_t b;
    memcpy(&b, &x, sizeof b);
    return b;
}

// 2^k for k within a double's normal exponents, -1022 to 1023: its bits.
double twoTo(int k) {
    const uint64_t b = static_cast<uint64_t>(k + 1023) << 52;
    double x;
    memcpy(&x, &b, sizeof x);
    return x;
}

// The exponent e of x > 0, finite, with x = f 2^e, f in [0.5, 1): read
// from its bits, a subnormal x first scaled by 2^64 (exactly).
int exponentOf(double x) {
    int shift = 0;
    if (x < twoTo(-1022)) {
        x *= twoTo(64);
        shift = 64;
    }
    return static_cast<int>((bitsOf(x) >> 52) & 0x7FF) - 1022 - shift;
}

const double kLargest = pow2(480);
const double kSmallest = pow2(-485);
// How near a crossing point or an edge may pass a vertex before it is
// routed through it (see "Snapping" in step 2).
const double kSnap = pow2(480 - 44);

bool before(const Point &a, const Point &b) { return a.x < b.x || (a.x == b.x && a.y < b.y); }
bool same(const Point &a, const Point &b) { return a.x == b.x && a.y == b.y; }

// ---- The tessellator object ----------------------------------------------

typedef void (*BeginFn)(GLenum);
typedef void (*BeginDataFn)(GLenum, void *);
typedef void (*EdgeFlagFn)(GLboolean);
typedef void (*EdgeFlagDataFn)(GLboolean, void *);
typedef void (*VertexFn)(void *);
typedef void (*VertexDataFn)(void *, void *);
typedef void (*EndFn)(void);
typedef void (*EndDataFn)(void *);
typedef void (*CombineFn)(GLdouble[3], void *[4], GLfloat[4], void **);
typedef void (*CombineDataFn)(GLdouble[3], void *[4], GLfloat[4], void **, void *);
typedef void (*ErrorFn)(GLenum);
typedef void (*ErrorDataFn)(GLenum, void *);

const int kCallbacks = GLU_TESS_COMBINE_DATA - GLU_TESS_BEGIN + 1;

struct Input {
    double xyz[3];
    void *data;
};

enum class State { Dormant, InPolygon, InContour };

struct Job;

}  // namespace

struct GLUtesselator {
    _GLUfuncptr callback[kCallbacks];  // by which - GLU_TESS_BEGIN
    GLenum windingRule;
    bool boundaryOnly;
    double tolerance;
    double normal[3];
    State state;
    void *polygonData;
    bool poisoned;  // a NaN coordinate or a failed copy: no output
    Array<Input> input;
    Array<int> contourStart;  // index of each contour's first vertex in input
    Job *job;  // the working arrays, kept from one polygon to the next; or null
};

namespace {

_GLUfuncptr callbackOf(const GLUtesselator *t, GLenum which) { return t->callback[which - GLU_TESS_BEGIN]; }

void report(GLUtesselator *t, GLenum code) {
    if (_GLUfuncptr f = callbackOf(t, GLU_TESS_ERROR_DATA))
        reinterpret_cast<ErrorDataFn>(f)(code, t->polygonData);
    else if (_GLUfuncptr g = callbackOf(t, GLU_TESS_ERROR))
        reinterpret_cast<ErrorFn>(g)(code);
}

void sendBegin(GLUtesselator *t, GLenum type) {
    if (_GLUfuncptr f = callbackOf(t, GLU_TESS_BEGIN_DATA))
        reinterpret_cast<BeginDataFn>(f)(type, t->polygonData);
    else if (_GLUfuncptr g = callbackOf(t, GLU_TESS_BEGIN))
        reinterpret_cast<BeginFn>(g)(type);
}

void sendVertex(GLUtesselator *t, void *data) {
    if (_GLUfuncptr f = callbackOf(t, GLU_TESS_VERTEX_DATA))
        reinterpret_cast<VertexDataFn>(f)(data, t->polygonData);
    else if (_GLUfuncptr g = callbackOf(t, GLU_TESS_VERTEX))
        reinterpret_cast<VertexFn>(g)(data);
}

void sendEnd(GLUtesselator *t) {
    if (_GLUfuncptr f = callbackOf(t, GLU_TESS_END_DATA))
        reinterpret_cast<EndDataFn>(f)(t->polygonData);
    else if (_GLUfuncptr g = callbackOf(t, GLU_TESS_END))
        reinterpret_cast<EndFn>(g)();
}

bool hasEdgeFlag(const GLUtesselator *t) {
    return callbackOf(t, GLU_TESS_EDGE_FLAG_DATA) || callbackOf(t, GLU_TESS_EDGE_FLAG);
}

void sendEdgeFlag(GLUtesselator *t, bool flag) {
    const GLboolean b = flag ? GL_TRUE : GL_FALSE;
    if (_GLUfuncptr f = callbackOf(t, GLU_TESS_EDGE_FLAG_DATA))
        reinterpret_cast<EdgeFlagDataFn>(f)(b, t->polygonData);
    else if (_GLUfuncptr g = callbackOf(t, GLU_TESS_EDGE_FLAG))
        reinterpret_cast<EdgeFlagFn>(g)(b);
}

// The program's vertex for a crossing, or null when it gives none.
void *combine(GLUtesselator *t, double xyz[3], void *data[4], float weight[4]) {
    void *out = nullptr;
    if (_GLUfuncptr f = callbackOf(t, GLU_TESS_COMBINE_DATA))
        reinterpret_cast<CombineDataFn>(f)(xyz, data, weight, &out, t->polygonData);
    else if (_GLUfuncptr g = callbackOf(t, GLU_TESS_COMBINE))
        reinterpret_cast<CombineFn>(g)(xyz, data, weight, &out);
    return out;
}

bool selected(GLenum rule, int w) {
    switch (rule) {
    case GLU_TESS_WINDING_ODD: return (w & 1) != 0;
    case GLU_TESS_WINDING_NONZERO: return w != 0;
    case GLU_TESS_WINDING_POSITIVE: return w > 0;
    case GLU_TESS_WINDING_NEGATIVE: return w < 0;
    default: return w >= 2 || w <= -2;  // GLU_TESS_WINDING_ABS_GEQ_TWO
    }
}

// ---- One polygon's tessellation --------------------------------------------

struct Vertex {
    Point p;         // plane coordinates
    double xyz[3];   // as given, or the crossing's
    void *data;
};

struct Placed {
    Point p;
    int input;
};

struct Segment {
    int a, b;  // a contour edge, in the contour's direction
};

struct Split {
    int segment, vertex;  // the segment passes through or crosses at the vertex
};

struct Pair {
    int lo, hi;  // two segments, lo < hi, whose boxes meet and that touch
};

struct Constraint {
    int lo, hi;  // lo < hi
    int count;   // contour edges lo->hi less those hi->lo
};

struct Triangle {
    int v[3];  // counterclockwise
    int n[3];  // n[i]: the triangle across v[i]->v[i+1], or -1 (the hull)
};

int next3(int i) { return i == 2 ? 0 : i + 1; }
int prev3(int i) { return i == 0 ? 2 : i - 1; }

// TooComplex: a budget below ran out (SOFTGLU_TESS_TOO_COMPLEX to the
// error callback).  Broken: a "cannot happen" did; see broken().
enum class Outcome { Done, OutOfMemory, NeedCombine, TooComplex, Broken };

// A broken invariant: the checking builds (sanitizers, fuzzing) define
// SOFTGLU_CHECK_INVARIANTS and stop there; the others give no output for
// the polygon, silently, as nothing the program did caused it.
Outcome broken() {
#ifdef SOFTGLU_CHECK_INVARIANTS
    abort();
#endif
    return Outcome::Broken;
}

struct Job {
    GLUtesselator *tess;
    int axisU, axisV;  // which input coordinates are the plane's x and y
    double scale[2];  // the plane coordinates' power of two, in two factors

    // The graph, made by step 2, read by every step after it.
    Array<Vertex> vertex;
    Array<Segment> segment;

    // Step 2, collecting: the inputs as vertices.
    Array<Point> plane;      // each input's plane point
    Array<Placed> placed;    // and with its number, sorted lexicographically
    Array<int> inputVertex;  // each input's vertex

    // Step 2, collecting and every pass: the nearest vertex for snapping.
    Array<int> gridHead, gridNext;  // the snapping grid's chains

    // Step 2, each pass: the tree of the segments' boxes and what it finds.
    Array<Box> box;        // each segment's box, widened by kSnap
    Array<uint32_t> key;   // the segments' Morton codes
    Array<Box> node;       // the tree of boxes, level by level
    Array<int> levelStart, hits;  // the tree's levels; a lookup's result
    Array<Box> hitBox;     // the boxes of a lookup's leaves
    Array<int> hitSegment; // and their segments
    Array<Pair> pair;      // or, small polygons, the sweep's pairs
    Array<Split> split;    // the splits a pass found

    // Step 3: the graph's edges and the triangulation.
    Array<Constraint> constraint;
    Array<int> firstOf;    // each vertex's first counted edge; first the
                           // counting sort's starts (countEdges)
    Array<Triangle> tri;
    Array<int> vertexTri;  // a triangle holding each vertex
    Array<int> hullNext, hullPrev, hullTri;

    // Steps 4 and 5: winding numbers and output.
    Array<int> winding;
    Array<char> sent;      // the boundary edges sent

    // Lent from step to step, under a local name where one is given.
    Array<int> order;      // collect: the inputs, lexicographically; a pass:
                           // the segment of each leaf of the tree; step 3:
                           // the triangulated vertices, lexicographically
    Array<int> sorted;     // collect's vertices, lexicographically (step 3
                           // merges the crossings' into them)
    Array<int> queue;      // step 3: the crossings' vertices sorted (made),
                           // then the edges to flip (ends and triangle);
                           // step 4: the triangles to visit
    Array<char> mark;      // collect: the inputs near another (crowded); a
                           // pass: the vertices that end a segment; step 3:
                           // the vertices on an edge (used); steps 4 and 5:
                           // the triangles visited, then those selected
    Array<unsigned char> spare;  // the sorts' buffer (sort.h)

    // Calls f on every array (a generic lambda).
    template <typename F>
    void forEachArray(F f) {
        f(vertex), f(segment);
        f(plane), f(placed), f(inputVertex), f(gridHead), f(gridNext);
        f(box), f(key), f(node), f(levelStart), f(hits), f(hitBox), f(hitSegment), f(pair), f(split);
        f(constraint), f(firstOf), f(tri), f(vertexTri), f(hullNext), f(hullPrev), f(hullTri);
        f(winding), f(sent);
        f(order), f(sorted), f(queue), f(mark), f(spare);
    }
    void init() {
        forEachArray([](auto &a) { a.init(); });
    }
    // Empties the arrays for the next polygon, keeping their memory.
    void clear(GLUtesselator *t) {
        tess = t;
        forEachArray([](auto &a) { a.size = 0; });
    }
    void release() {
        forEachArray([](auto &a) { a.release(); });
    }
    const Point &at(int v) { return vertex[v].p; }
};

// -- Step 1: the plane ---------------------------------------------------------

int largestAxis(const double n[3]) {
    int k = 2;
    const double ax = n[0] < 0.0 ? -n[0] : n[0], ay = n[1] < 0.0 ? -n[1] : n[1], az = n[2] < 0.0 ? -n[2] : n[2];
    double best = az;
    if (ay > best) {
        k = 1;
        best = ay;
    }
    if (ax > best)
        k = 0;
    return k;
}

// Newell's normal of the contours: each component is twice the signed
// area of the contours projected along its axis.
void newellNormal(GLUtesselator *t, double n[3]) {
    n[0] = n[1] = n[2] = 0.0;
    for (int c = 0; c < t->contourStart.size; ++c) {
        const int first = t->contourStart[c];
        const int end = c + 1 < t->contourStart.size ? t->contourStart[c + 1] : t->input.size;
        for (int i = first; i < end; ++i) {
            const double *p = t->input[i].xyz, *q = t->input[i + 1 < end ? i + 1 : first].xyz;
            n[0] += (p[1] - q[1]) * (p[2] + q[2]);
            n[1] += (p[2] - q[2]) * (p[0] + q[0]);
            n[2] += (p[0] - q[0]) * (p[1] + q[1]);
        }
    }
}

void choosePlane(Job &job) {
    GLUtesselator *t = job.tess;
    double n[3] = {t->normal[0], t->normal[1], t->normal[2]};
    if (n[0] == 0.0 && n[1] == 0.0 && n[2] == 0.0)
        newellNormal(t, n);
    const int k = largestAxis(n);
    // (x, y, z) is right-handed: the axis after k, then the one after that.
    job.axisU = k == 2 ? 0 : k + 1;
    job.axisV = k == 0 ? 2 : k == 1 ? 0 : 1;
    if (n[k] < 0.0) {
        const int swap = job.axisU;
        job.axisU = job.axisV;
        job.axisV = swap;
    }
    double largest = 0.0;
    for (int i = 0; i < t->input.size; ++i) {
        const double u = magnitude(t->input[i].xyz[job.axisU]), v = magnitude(t->input[i].xyz[job.axisV]);
        if (u > largest)
            largest = u;
        if (v > largest)
            largest = v;
    }
    // A power of two 2^e, exact to multiply by, that brings largest into
    // [kLargest, 2 kLargest): e = 481 less largest's exponent.  In two
    // factors, as e may be beyond a double's exponents (tiny coordinates:
    // up to 481 + 1073).
    const int e = largest > 0.0 ? 481 - exponentOf(largest) : 0;
    const int first = e > 1000 ? 1000 : e;
    job.scale[0] = twoTo(first);
    job.scale[1] = twoTo(e - first);
}

double planar(const Job &job, double x) {
    const double s = x * job.scale[0] * job.scale[1];
    return (s < 0.0 ? -s : s) < kSmallest ? 0.0 : s;
}

Point project(const Job &job, const double xyz[3]) {
    return Point{planar(job, xyz[job.axisU]), planar(job, xyz[job.axisV])};
}

// -- Step 2: the arrangement ---------------------------------------------------

// -- The snapping grid: the vertices by square cell of side kCell, so that
// every vertex within kSnap of a point (in both coordinates) lies in the
// point's cell or a neighbour.  A cell is the nearest integer to
// coordinate / kCell: the division is exact (a power of two), the quotient
// below 2^38, and adding and taking 2^52 rounds it to an integer exactly.
// Cells hash to chains of vertices; a chain may hold other cells'
// vertices, which the distance test rejects.  The cells are 256 kSnap
// wide (2^-36 of the largest coordinate), so a lookup visits one cell
// unless the point lies within kSnap of a cell's side, and only features
// finer than that share a cell.

const double kCell = 256.0 * kSnap;
const double kTwoTo52 = 4503599627370496.0;

double cellOf(double x) {
    const double q = x / kCell;
    const double r = q < 0.0 ? -((-q + kTwoTo52) - kTwoTo52) : (q + kTwoTo52) - kTwoTo52;
    return r + 0.0;  // -0 is +0: the same cell, the same bits
}

// splitmix64's finalizer: every bit of x reaches the low bits.  A cell's
// number is a whole double, whose low mantissa bits are mostly 0 (all of
// them on inputs on a coarse grid, such as a font's units): a
// multiplication alone would leave the low bits 0 and every cell in one
// chain.
uint64_t mixed(uint64_t x) {
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
    return x ^ (x >> 31);
}

int bucketOf(const Job &job, double cx, double cy) {
    const uint64_t h = mixed(bitsOf(cx) ^ mixed(bitsOf(cy)));
    return static_cast<int>(h & static_cast<uint64_t>(job.gridHead.size - 1));
}

void gridInsert(Job &job, int v) {
    const int b = bucketOf(job, cellOf(job.at(v).x), cellOf(job.at(v).y));
    job.gridNext[v] = job.gridHead[b];
    job.gridHead[b] = v;
}

// Rebuilds the grid with room for twice `room` vertices (at least those
// there are now).
bool gridRebuild(Job &job, int room) {
    int buckets = 16;
    const int most = room > job.vertex.capacity ? room : job.vertex.capacity;
    while ((buckets / 2 < job.vertex.size || buckets / 2 < room) && buckets <= INT_MAX / 4)
        buckets *= 2;
    if (!job.gridHead.reserve(buckets) || !job.gridNext.reserve(most))
        return false;
    job.gridHead.size = buckets;
    for (int b = 0; b < buckets; ++b)
        job.gridHead[b] = -1;
    for (int v = 0; v < job.vertex.size; ++v)
        gridInsert(job, v);
    return true;
}

// The grid is made when first needed (gridReady), from every vertex
// there is then: most polygons never look a point up.  Its size decides
// how fast a lookup is, not what it finds.
bool gridReady(Job &job, int room) { return job.gridHead.size > 0 || gridRebuild(job, room); }

// Enters the vertex just made, once the grid is made; false when out of
// memory.
bool gridAdd(Job &job) {
    const int v = job.vertex.size - 1;
    if (job.gridHead.size == 0)
        return true;
    if (2 * job.vertex.size > job.gridHead.size || job.vertex.size > job.gridNext.capacity)
        return gridRebuild(job, job.vertex.size);
    gridInsert(job, v);
    return true;
}

// The lowest-numbered vertex within kSnap of p in both coordinates, or -1.
// Such a vertex lies in a cell from that of p - kSnap to that of p + kSnap
// (the differences rounded, and cellOf, are monotonic): one cell a side,
// or two when p lies within kSnap of a cell's side.
int findNear(Job &job, const Point &p) {
    const double x0 = cellOf(p.x - kSnap), x1 = cellOf(p.x + kSnap);
    const double y0 = cellOf(p.y - kSnap), y1 = cellOf(p.y + kSnap);
    int best = -1;
    for (double cx = x0; cx <= x1; cx += 1.0)
        for (double cy = y0; cy <= y1; cy += 1.0)
            for (int v = job.gridHead[bucketOf(job, cx, cy)]; v >= 0; v = job.gridNext[v]) {
                const Point &q = job.at(v);
                if (magnitude(q.x - p.x) <= kSnap && magnitude(q.y - p.y) <= kSnap && (best < 0 || v < best))
                    best = v;
            }
    return best;
}

// -- Collecting: one vertex per distinct plane point, numbered in the order
// the inputs first reach it, found by sorting the inputs (O(n log n)).

bool placedBefore(const Placed &a, const Placed &b) {
    return before(a.p, b.p) || (same(a.p, b.p) && a.input < b.input);
}

// Whether the input k-th in the sorted inputs has another at a different
// point within kSnap in both coordinates.  Those within kSnap in x are
// next to it in that order (the rounded differences are monotonic); past
// kLook of them on a side, it is taken to have one.
const int kLook = 8;

bool hasNeighbour(const Placed *byPoint, int n, int k) {
    const Point &p = byPoint[k].p;
    for (int m = k - 1; m >= 0 && !(p.x - byPoint[m].p.x > kSnap); --m) {
        const Point &q = byPoint[m].p;
        if (m < k - kLook || (!same(p, q) && magnitude(q.y - p.y) <= kSnap))
            return true;
    }
    for (int m = k + 1; m < n && !(byPoint[m].p.x - p.x > kSnap); ++m) {
        const Point &q = byPoint[m].p;
        if (m > k + kLook || (!same(p, q) && magnitude(q.y - p.y) <= kSnap))
            return true;
    }
    return false;
}

// of[i]: input i's vertex; false when out of memory.
bool makeVertices(Job &job, Array<int> &of) {
    GLUtesselator *t = job.tess;
    const int n = t->input.size;
    if (!job.plane.reserve(n) || !of.reserve(n) || !job.order.reserve(n) || !job.placed.reserve(n))
        return false;
    for (int i = 0; i < n; ++i) {
        job.plane[i] = project(job, t->input[i].xyz);
        job.placed[i] = Placed{job.plane[i], i};
    }
    job.plane.size = job.order.size = job.placed.size = n;
    if (!sortArray(job.spare, job.placed, placedBefore))
        return false;
    const Placed *byPoint = job.placed.at;
    // of[i] first names the first input at i's point, which precedes i.
    for (int k = 0, first = 0; k < n; ++k) {
        job.order[k] = byPoint[k].input;
        if (!same(byPoint[k].p, byPoint[first].p))
            first = k;
        of[byPoint[k].input] = byPoint[first].input;
    }
    // A point within kSnap of an earlier vertex is that vertex, as a
    // crossing point would be: no two vertices are nearer, so routing an
    // edge through a vertex near it cannot go back and forth between
    // points a few units in the last place apart.
    // Only an input with another at a different point within kSnap in both
    // coordinates can have such a vertex (an earlier vertex at its very
    // point would have made it a repeat); the others are not looked up.
    Array<char> &crowded = job.mark;
    job.vertex.size = 0;
    if (!crowded.reserve(n) || !job.vertex.reserve(n))
        return false;
    for (int k = 0; k < n; ++k)
        crowded[byPoint[k].input] = hasNeighbour(byPoint, n, k);
    for (int i = 0; i < n; ++i) {
        if (of[i] != i) {
            of[i] = of[of[i]];
            continue;
        }
        if (crowded[i] && !gridReady(job, n))  // room for every input
            return false;
        const int near = crowded[i] ? findNear(job, job.plane[i]) : -1;
        if (near >= 0) {
            of[i] = near;
            continue;
        }
        const Vertex v = {job.plane[i], {t->input[i].xyz[0], t->input[i].xyz[1], t->input[i].xyz[2]}, t->input[i].data};
        if (!job.vertex.push(v) || !gridAdd(job))
            return false;
        of[i] = job.vertex.size - 1;
    }
    // The vertices in lexicographic order: each at its first input in the
    // sorted inputs (inputs at another vertex's point, merged by snapping,
    // are skipped).
    if (!job.sorted.reserve(job.vertex.size))
        return false;
    job.sorted.size = 0;
    for (int k = 0; k < n; ++k) {
        const int i = job.order[k], v = of[i];
        if (same(job.plane[i], job.at(v)) && (job.sorted.size == 0 || job.sorted[job.sorted.size - 1] != v))
            job.sorted[job.sorted.size++] = v;
    }
    job.order.size = 0;
    return true;
}

// The contours' edges between their vertices, dropping those of length 0.
Outcome collect(Job &job) {
    GLUtesselator *t = job.tess;
    Array<int> &of = job.inputVertex;
    bool ok = makeVertices(job, of);
    for (int c = 0; ok && c < t->contourStart.size; ++c) {
        const int first = t->contourStart[c];
        const int end = c + 1 < t->contourStart.size ? t->contourStart[c + 1] : t->input.size;
        for (int i = first; ok && i < end; ++i) {
            const int a = of[i], b = of[i + 1 < end ? i + 1 : first];
            if (a != b)
                ok = job.segment.push(Segment{a, b});
        }
    }
    return ok ? Outcome::Done : Outcome::OutOfMemory;
}

bool inBox(const Point &p, const Point &a, const Point &b) {
    const double x0 = a.x < b.x ? a.x : b.x, x1 = a.x < b.x ? b.x : a.x;
    const double y0 = a.y < b.y ? a.y : b.y, y1 = a.y < b.y ? b.y : a.y;
    return p.x >= x0 && p.x <= x1 && p.y >= y0 && p.y <= y1;
}

// Whether w lies inside segment ab, not at an end.
bool inside(Job &job, int w, int a, int b) {
    const Point &p = job.at(w), &pa = job.at(a), &pb = job.at(b);
    if (w == a || w == b || !inBox(p, pa, pb) || orient(pa, pb, p) != 0)
        return false;
    return before(pa, pb) ? before(pa, p) && before(p, pb) : before(pb, p) && before(p, pa);
}

// Whether |orient(a, b, c)| certainly exceeds reach by far, from the
// cheap evaluation and its error bound (as orient() uses them): then the
// exact value, and orientValue's rounding of it, exceed reach too.
bool clearlyBeyond(const Point &a, const Point &b, const Point &c, double reach) {
    const double l = (b.x - a.x) * (c.y - a.y), r = (b.y - a.y) * (c.x - a.x);
    const double bound = kErrorBound * (magnitude(l) + magnitude(r));
    return magnitude(l - r) > 2.0 * (bound + reach) + kUnderflowMargin;
}

// Whether w, not an end of segment ab, lies within kSnap of it (measured
// across it) and projects inside it.  Rounded arithmetic: this only
// chooses where the graph goes; the graph's planarity is checked exactly.
bool near(Job &job, int w, int a, int b) {
    const Point &p = job.at(w), &pa = job.at(a), &pb = job.at(b);
    if (w == a || w == b)
        return false;
    const double x0 = pa.x < pb.x ? pa.x : pb.x, x1 = pa.x < pb.x ? pb.x : pa.x;
    const double y0 = pa.y < pb.y ? pa.y : pb.y, y1 = pa.y < pb.y ? pb.y : pa.y;
    if (p.x < x0 - kSnap || p.x > x1 + kSnap || p.y < y0 - kSnap || p.y > y1 + kSnap)
        return false;
    const double dx = pb.x - pa.x, dy = pb.y - pa.y;
    const double along = (p.x - pa.x) * dx + (p.y - pa.y) * dy, length2 = dx * dx + dy * dy;
    if (!(along > 0.0 && along < length2))
        return false;
    const double longest = magnitude(dx) > magnitude(dy) ? magnitude(dx) : magnitude(dy);
    // |orient| is the distance times the length, at least `longest`.
    const double reach = kSnap * longest;  // exact: kSnap is a power of two
    return !clearlyBeyond(pa, pb, p, reach) && magnitude(orientValue(pa, pb, p)) <= reach;
}

// Splits segment s at vertex w (not one of its ends).
bool splitAt(Job &job, int s, int w) {
    const Segment rest = {w, job.segment[s].b};
    job.segment[s].b = w;
    return job.segment.push(rest);
}

bool boxesMeet(const Point &a, const Point &b, const Point &c, const Point &d) {
    const double ax0 = a.x < b.x ? a.x : b.x, ax1 = a.x < b.x ? b.x : a.x;
    const double cx0 = c.x < d.x ? c.x : d.x, cx1 = c.x < d.x ? d.x : c.x;
    const double ay0 = a.y < b.y ? a.y : b.y, ay1 = a.y < b.y ? b.y : a.y;
    const double cy0 = c.y < d.y ? c.y : d.y, cy1 = c.y < d.y ? d.y : c.y;
    return ax0 <= cx1 && cx0 <= ax1 && ay0 <= cy1 && cy0 <= ay1;
}

// Whether the open segments ab and cd cross at one point inside both.
// Segments with an end in common do not (the turns at it are 0); asking
// first spares the orientation tests their slow path, which a point
// repeated in them always takes.
bool cross(Job &job, int a, int b, int c, int d) {
    if (a == c || a == d || b == c || b == d)
        return false;
    const Point &pa = job.at(a), &pb = job.at(b), &pc = job.at(c), &pd = job.at(d);
    if (!boxesMeet(pa, pb, pc, pd))
        return false;
    return orient(pa, pb, pc) * orient(pa, pb, pd) < 0 && orient(pc, pd, pa) * orient(pc, pd, pb) < 0;
}

// Where ab crosses cd, as a fraction of the way from a to b, in [0, 1].
double crossing(Job &job, int a, int b, int c, int d) {
    const double da = orientValue(job.at(c), job.at(d), job.at(a));
    const double db = orientValue(job.at(c), job.at(d), job.at(b));
    const double t = da / (da - db);
    return t >= 0.0 ? (t <= 1.0 ? t : 1.0) : 0.0;  // NaN: 0
}

// The vertex where segments i and j cross (the COMBINE callback's);
// -1 with the outcome set when there is none.
int crossingVertex(Job &job, int i, int j, Outcome &outcome) {
    const int a = job.segment[i].a, b = job.segment[i].b, c = job.segment[j].a, d = job.segment[j].b;
    const double t = crossing(job, a, b, c, d), s = crossing(job, c, d, a, b);
    double xyz[3];
    for (int k = 0; k < 3; ++k)
        xyz[k] = job.vertex[a].xyz[k] + t * (job.vertex[b].xyz[k] - job.vertex[a].xyz[k]);
    const Point p = project(job, xyz);
    if (!gridReady(job, job.vertex.size)) {
        outcome = Outcome::OutOfMemory;
        return -1;
    }
    const int found = findNear(job, p);
    if (found >= 0)
        return found;
    void *data[4] = {job.vertex[a].data, job.vertex[b].data, job.vertex[c].data, job.vertex[d].data};
    // Half the weight on each edge's ends: they sum to 1 before narrowing.
    float weight[4] = {static_cast<float>((1.0 - t) * 0.5), static_cast<float>(t * 0.5),
                       static_cast<float>((1.0 - s) * 0.5), static_cast<float>(s * 0.5)};
    void *made = combine(job.tess, xyz, data, weight);
    if (!made) {
        outcome = Outcome::NeedCombine;
        return -1;
    }
    const Vertex v = {p, {xyz[0], xyz[1], xyz[2]}, made};
    if (!job.vertex.push(v) || !gridAdd(job)) {
        outcome = Outcome::OutOfMemory;
        return -1;
    }
    return job.vertex.size - 1;
}

// -- One pass: every vertex lying on (or within kSnap of) a segment and
// every two segments that cross, found through a tree of boxes, then every
// segment split at all of them at once.
//
// A segment's box is its bounding box widened by kSnap on every side
// (rounded as near() rounds it, so no vertex near() accepts is missed).
// The boxes go into boxtree.h's packed tree; each segment's box and each
// vertex is looked up in it.

Box boxOf(Job &job, int s) {
    const Point &a = job.at(job.segment[s].a), &b = job.at(job.segment[s].b);
    const double x0 = a.x < b.x ? a.x : b.x, x1 = a.x < b.x ? b.x : a.x;
    const double y0 = a.y < b.y ? a.y : b.y, y1 = a.y < b.y ? b.y : a.y;
    return Box{x0 - kSnap, y0 - kSnap, x1 + kSnap, y1 + kSnap};
}

// The tree of the segments' boxes: job.order names each leaf's segment.
bool buildTree(Job &job) {
    job.box.size = job.node.size = job.levelStart.size = 0;
    if (!job.box.reserve(job.segment.size))
        return false;
    for (int s = 0; s < job.segment.size; ++s)
        job.box[job.box.size++] = boxOf(job, s);
    const bool ordered = orderBoxes(job.box, job.key, job.order, job.spare);
    return ordered && packTree(job.box, job.order, job.node, job.levelStart);
}

bool noteSplit(Job &job, int s, int w) { return job.split.push(Split{s, w}); }

// Whether vertex w may lie on or near segment s: it is not an end of s,
// and lies in s's box (else it is neither inside nor near).  Apart from
// testVertex, so that it is inlined where the pairs are many and few pass.
bool mayTouch(Job &job, int s, int w) {
    const Point &p = job.at(w);
    return w != job.segment[s].a && w != job.segment[s].b && meets(job.box[s], Box{p.x, p.y, p.x, p.y});
}

// Whether vertex w, which mayTouch segment s, lies on or near it.
bool liesOn(Job &job, int s, int w) {
    const int a = job.segment[s].a, b = job.segment[s].b;
    return inside(job, w, a, b) || near(job, w, a, b);
}

// Notes that segment s is split at vertex w if w, which mayTouch s, lies
// on or near it.
bool testVertex(Job &job, int s, int w) { return !liesOn(job, s, w) || noteSplit(job, s, w); }

// The segments vertex w, which ends none, lies on or near.
bool findSegmentsThrough(Job &job, int w) {
    const Point p = job.at(w);
    if (!lookUp(job.node, job.levelStart, job.hits, Box{p.x, p.y, p.x, p.y}))
        return false;
    for (int k = 0; k < job.hits.size; ++k) {
        const int s = job.order[job.hits[k]];
        if (mayTouch(job, s, w) && !testVertex(job, s, w))
            return false;
    }
    return true;
}

// Notes where segments i and j cross, when they do, making its vertex.
Outcome findCrossing(Job &job, int i, int j) {
    const Segment si = job.segment[i], sj = job.segment[j];
    if (!cross(job, si.a, si.b, sj.a, sj.b))
        return Outcome::Done;
    Outcome outcome = Outcome::Done;
    const int w = crossingVertex(job, i, j, outcome);
    if (w < 0)
        return outcome;
    if ((w != si.a && w != si.b && !noteSplit(job, i, w)) || (w != sj.a && w != sj.b && !noteSplit(job, j, w)))
        return Outcome::OutOfMemory;
    return Outcome::Done;
}

// Whether either of segments i and j has an end on the other, and
// whether they cross.  A vertex on or near a segment lies in both boxes
// when it ends another segment, so testing every two segments whose boxes
// meet finds all such vertices but those that end none.
Outcome findMeeting(Job &job, int i, int j) {
    const Segment si = job.segment[i], sj = job.segment[j];
    const int s[4] = {i, i, j, j}, w[4] = {sj.a, sj.b, si.a, si.b};
    for (int k = 0; k < 4; ++k)
        if (mayTouch(job, s[k], w[k]) && !testVertex(job, s[k], w[k]))
            return Outcome::OutOfMemory;
    return findCrossing(job, i, j);
}

// Every two segments whose boxes meet, one of them among the leaves of
// node g of the tree's first level above the leaves: one lookup of g's box
// serves its kFanout leaves, a quarter of them at a time.  The leaves the
// lookup found that meet a quarter's box are copied out, in the lookup's
// order, and each leaf of the quarter tested against them: a leaf meets
// only leaves that meet its quarter, so the pairs and their order are
// those of testing it against all the lookup found, in about half the
// tests.
const int kQuarter = kFanout / 4;

Outcome findMeetings(Job &job, int g) {
    if (!lookUp(job.node, job.levelStart, job.hits, job.node[job.levelStart[1] + g]))
        return Outcome::OutOfMemory;
    const Box *leaf = job.node.at;  // the leaves' boxes, in tree order
    const int found = job.hits.size, first = g * kFanout;
    const int end = first + kFanout < job.order.size ? first + kFanout : job.order.size;
    if (!job.hitBox.reserve(found) || !job.hitSegment.reserve(found))
        return Outcome::OutOfMemory;
    Box *box = job.hitBox.at;
    int *segment = job.hitSegment.at;
    for (int q = first; q < end; q += kQuarter) {
        const int last = q + kQuarter < end ? q + kQuarter : end;
        Box quarter = leaf[q];
        for (int k = q + 1; k < last; ++k)
            quarter = unite(quarter, leaf[k]);
        int near = 0;
        for (int h = 0; h < found; ++h) {
            const int p = job.hits[h];
            if (meets(quarter, leaf[p])) {
                box[near] = leaf[p];
                segment[near++] = job.order[p];
            }
        }
        for (int k = q; k < last; ++k) {
            const int i = job.order[k];
            const Box b = leaf[k];
            for (int h = 0; h < near; ++h) {
                if (segment[h] <= i || !meets(b, box[h]))
                    continue;
                const Outcome o = findMeeting(job, i, segment[h]);
                if (o != Outcome::Done)
                    return o;
            }
        }
    }
    return Outcome::Done;
}

// Marks in job.mark the vertices that end a segment.
bool markEnds(Job &job) {
    if (!job.mark.reserve(job.vertex.size))
        return false;
    for (int v = 0; v < job.vertex.size; ++v)
        job.mark[v] = 0;
    for (int s = 0; s < job.segment.size; ++s)
        job.mark[job.segment[s].a] = job.mark[job.segment[s].b] = 1;
    return true;
}

// -- Small polygons: a sweep in x instead of the tree.  For up to
// kSweepUpTo segments, when every vertex ends one (findSegmentsThrough has
// nothing to do), the pairs whose boxes meet are found by a sweep in x
// over the same boxes, and only asked whether they touch (touch(), no
// side effects); findMeeting then takes those that do in the order the
// tree's pass tests them: by the leaf of the lower-numbered segment, then
// the other's leaf, last first (lookUp's order).  The crossings' vertices
// are made in the same order, so they are numbered and snapped as ever:
// the output is the tree's.  O(n log n + the pairs whose boxes overlap in
// x), without building or searching the tree; usually the sweep finds
// nothing (no crossings, or the last pass).
const int kSweepUpTo = 256;

// Whether segments i and j, whose boxes meet, cross, or one has an end on
// or near the other: whether findMeeting would note anything.
bool touch(Job &job, int i, int j) {
    const Segment si = job.segment[i], sj = job.segment[j];
    const int s[4] = {i, i, j, j}, w[4] = {sj.a, sj.b, si.a, si.b};
    for (int k = 0; k < 4; ++k)
        if (mayTouch(job, s[k], w[k]) && liesOn(job, s[k], w[k]))
            return true;
    return cross(job, si.a, si.b, sj.a, sj.b);
}

// The pairs of segments that touch, in job.pair; job.box holds the boxes.
bool sweepPairs(Job &job) {
    const int n = job.segment.size;
    job.pair.size = 0;
    if (!job.box.reserve(n) || !job.order.reserve(n))
        return false;
    for (int s = 0; s < n; ++s) {
        job.box[s] = boxOf(job, s);
        job.order[s] = s;
    }
    job.box.size = job.order.size = n;
    const Box *box = job.box.at;
    if (!sortArray(job.spare, job.order, [box](int s, int t) { return box[s].x0 < box[t].x0; }))
        return false;
    const int *o = job.order.at;
    for (int k = 0; k < n; ++k) {
        const Box &b = box[o[k]];
        for (int m = k + 1; m < n && box[o[m]].x0 <= b.x1; ++m) {
            const int lo = o[k] < o[m] ? o[k] : o[m], hi = o[k] < o[m] ? o[m] : o[k];
            if (meets(b, box[o[m]]) && touch(job, lo, hi) && !job.pair.push(Pair{lo, hi}))
                return false;
        }
    }
    return true;
}

Outcome findSplitsBySweep(Job &job) {
    if (!sweepPairs(job))
        return Outcome::OutOfMemory;
    if (job.pair.size == 0)
        return Outcome::Done;
    if (!mortonKeys(job.box, job.key))
        return Outcome::OutOfMemory;
    const uint32_t *key = job.key.at;
    if (!sortArray(job.spare, job.pair, [key](const Pair &p, const Pair &q) {
            return p.lo != q.lo ? leafBefore(key, p.lo, q.lo) : leafBefore(key, q.hi, p.hi);
        }))
        return Outcome::OutOfMemory;
    for (int k = 0; k < job.pair.size; ++k) {
        const Outcome o = findMeeting(job, job.pair[k].lo, job.pair[k].hi);
        if (o != Outcome::Done)
            return o;
    }
    return Outcome::Done;
}

// Whether every vertex ends a segment (job.mark, from markEnds).
bool everyVertexEnds(Job &job) {
    for (int v = 0; v < job.vertex.size; ++v)
        if (!job.mark[v])
            return false;
    return true;
}

Outcome findSplits(Job &job) {
    if (job.segment.size == 0)
        return Outcome::Done;
    if (!markEnds(job))
        return Outcome::OutOfMemory;
    if (job.segment.size <= kSweepUpTo && everyVertexEnds(job))
        return findSplitsBySweep(job);
    if (!buildTree(job))
        return Outcome::OutOfMemory;
    const int vertices = job.vertex.size;  // those made in this pass wait for the next
    for (int w = 0; w < vertices; ++w)
        if (!job.mark[w] && !findSegmentsThrough(job, w))
            return Outcome::OutOfMemory;
    for (int g = 0; g < job.levelStart[2] - job.levelStart[1]; ++g) {
        const Outcome o = findMeetings(job, g);
        if (o != Outcome::Done)
            return o;
    }
    return Outcome::Done;
}

// Whether split v of a segment lies nearer the segment's end b than w
// (lexicographic order along the segment's direction).
bool nearerEnd(Job &job, int s, int v, int w) {
    const Point &a = job.at(job.segment[s].a), &b = job.at(job.segment[s].b);
    return before(a, b) ? before(job.at(w), job.at(v)) : before(job.at(v), job.at(w));
}

// Splits each segment at its noted vertices, those nearest its end first,
// so that each split cuts the part still starting at the segment's start.
bool applySplits(Job &job) {
    if (!sortArray(job.spare, job.split, [&job](const Split &x, const Split &y) {
            return x.segment < y.segment || (x.segment == y.segment && nearerEnd(job, x.segment, x.vertex, y.vertex));
        }))
        return false;
    for (int k = 0; k < job.split.size; ++k) {
        const Split &x = job.split[k];
        if (k > 0 && x.segment == job.split[k - 1].segment && x.vertex == job.split[k - 1].vertex)
            continue;
        if (!splitAt(job, x.segment, x.vertex))
            return false;
    }
    return true;
}

// Splits until no segment crosses another or passes through a vertex.
// Rounded crossing points can make new crossings nearby; a polygon still
// changing after kPasses passes is too complex (no output).  The unit
// tests' budget build lowers it (tests/CMakeLists.txt); no other does.
#ifndef SOFTGLU_TESS_PASSES
#define SOFTGLU_TESS_PASSES 64
#endif
const int kPasses = SOFTGLU_TESS_PASSES;

// The snapping grid holds every vertex already: collect entered each one.
Outcome planarize(Job &job) {
    for (int pass = 0; pass < kPasses; ++pass) {
        job.split.size = 0;
        const Outcome o = findSplits(job);
        if (o != Outcome::Done || job.split.size == 0)
            return o;
        if (!applySplits(job))
            return Outcome::OutOfMemory;
    }
    return Outcome::TooComplex;
}

// The graph's edges with their net counts; those of count 0 change no
// winding number and are left out.
Outcome countEdges(Job &job) {
    for (int s = 0; s < job.segment.size; ++s) {
        const int a = job.segment[s].a, b = job.segment[s].b;
        const Constraint c = {a < b ? a : b, a < b ? b : a, a < b ? 1 : -1};
        if (!job.constraint.push(c))
            return Outcome::OutOfMemory;
    }
    // By (lo, hi): counting sorts by hi, then by lo, through job.spare (O(n
    // + vertices)), firstOf lending the counts (indexEdges fills it anew).
    // Edges with the same ends are summed, so their order does not matter.
    const int n = job.constraint.size, vertices = job.vertex.size;
    Constraint *byHi = spareFor<Constraint>(job.spare, n);
    if (!byHi || !job.firstOf.reserve(vertices + 1))
        return Outcome::OutOfMemory;
    countingSort(job.constraint.at, byHi, n, job.firstOf.at, vertices, [](const Constraint &x) { return x.hi; });
    countingSort(byHi, job.constraint.at, n, job.firstOf.at, vertices, [](const Constraint &x) { return x.lo; });
    Constraint *c = job.constraint.at;
    int kept = 0;
    for (int i = 0; i < job.constraint.size;) {
        Constraint sum = c[i];
        for (++i; i < job.constraint.size && c[i].lo == sum.lo && c[i].hi == sum.hi; ++i)
            sum.count += c[i].count;
        if (sum.count != 0)
            c[kept++] = sum;
    }
    job.constraint.size = kept;
    return Outcome::Done;
}

// Indexes the counted edges by their lower end: those of vertex v are
// constraint[firstOf[v] .. firstOf[v + 1]).
bool indexEdges(Job &job) {
    const int n = job.vertex.size;
    if (!job.firstOf.reserve(n + 1))
        return false;
    job.firstOf.size = n + 1;
    for (int v = 0, c = 0; v <= n; ++v) {
        job.firstOf[v] = c;
        while (c < job.constraint.size && job.constraint[c].lo == v)
            ++c;
    }
    return true;
}

// The number of contour edges running p->q less those running q->p: a
// scan of the few edges of the lower end.
int countOf(Job &job, int p, int q) {
    const int lo = p < q ? p : q, hi = p < q ? q : p;
    for (int c = job.firstOf[lo]; c < job.firstOf[lo + 1]; ++c)
        if (job.constraint[c].hi == hi)
            return p < q ? job.constraint[c].count : -job.constraint[c].count;
    return 0;
}

// -- Step 3: the triangulation -------------------------------------------------

int addTriangle(Job &job, int a, int b, int c) {
    const Triangle t = {{a, b, c}, {-1, -1, -1}};
    if (!job.tri.push(t))
        return -1;
    const int i = job.tri.size - 1;
    job.vertexTri[a] = job.vertexTri[b] = job.vertexTri[c] = i;
    return i;
}

int indexIn(const Triangle &t, int v) { return t.v[0] == v ? 0 : t.v[1] == v ? 1 : 2; }

bool sortVertices(Job &job) {
    Array<char> &used = job.mark;
    if (!used.reserve(job.vertex.size))
        return false;
    for (int i = 0; i < job.vertex.size; ++i)
        used[i] = 0;
    for (int i = 0; i < job.constraint.size; ++i)
        used[job.constraint[i].lo] = used[job.constraint[i].hi] = 1;
    // The crossings' vertices (those after collect's) sorted, in job.queue,
    // then merged with collect's, already in order.
    const int given = job.sorted.size;
    Array<int> &made = job.queue;
    made.size = 0;
    for (int v = given; v < job.vertex.size; ++v)
        if (used[v] && !made.push(v))
            return false;
    const auto lexicographic = [&job](int v, int w) { return before(job.at(v), job.at(w)); };
    if (!sortArray(job.spare, made, lexicographic) || !job.order.reserve(job.vertex.size))
        return false;
    job.order.size = 0;
    for (int k = 0, j = 0; k < given || j < made.size;) {
        if (k < given && !used[job.sorted[k]])
            ++k;
        else if (j < made.size && (k == given || lexicographic(made[j], job.sorted[k])))
            job.order[job.order.size++] = made[j++];
        else
            job.order[job.order.size++] = job.sorted[k++];
    }
    return true;
}

// The first triangles: the collinear run order[0..k-1] fanned to order[k].
bool startHull(Job &job, int k, int side) {
    const int *o = job.order.at;
    int previous = -1;
    for (int i = 0; i + 1 < k; ++i) {
        const int a = side > 0 ? o[i] : o[i + 1], b = side > 0 ? o[i + 1] : o[i];
        const int t = addTriangle(job, a, b, o[k]);
        if (t < 0)
            return false;
        // The edge toward the previous triangle: o[i]-o[k].
        if (previous >= 0) {
            job.tri[t].n[side > 0 ? 2 : 1] = previous;
            job.tri[previous].n[side > 0 ? 1 : 2] = t;
        }
        previous = t;
    }
    // The hull, counterclockwise, and for each hull edge x->next the
    // triangle holding it.
    const int first = 0;
    for (int i = 0; i + 1 < k; ++i) {
        const int t = i;  // triangle i joins o[i], o[i+1], o[k]
        const int a = o[i], b = o[i + 1];
        if (side > 0) {
            job.hullNext[a] = b, job.hullPrev[b] = a, job.hullTri[a] = t;
        } else {
            job.hullNext[b] = a, job.hullPrev[a] = b, job.hullTri[b] = t;
        }
    }
    const int top = o[k], low = o[first], high = o[k - 1];
    if (side > 0) {
        job.hullNext[high] = top, job.hullPrev[top] = high, job.hullTri[high] = k - 2;
        job.hullNext[top] = low, job.hullPrev[low] = top, job.hullTri[top] = 0;
    } else {
        job.hullNext[low] = top, job.hullPrev[top] = low, job.hullTri[low] = 0;
        job.hullNext[top] = high, job.hullPrev[high] = top, job.hullTri[top] = k - 2;
    }
    return true;
}

// Joins vertex p, outside the hull, to every hull edge it sees, walking
// from q, the hull vertex inserted last (the lexicographically largest,
// so at least one of its hull edges is seen).
bool addToHull(Job &job, int p, int q) {
    const Point &pp = job.at(p);
    int left = q, right = q;
    while (orient(job.at(job.hullPrev[left]), job.at(left), pp) < 0)
        left = job.hullPrev[left];
    while (orient(job.at(right), job.at(job.hullNext[right]), pp) < 0)
        right = job.hullNext[right];
    int previous = -1, firstNew = -1;
    for (int x = left; x != right; x = job.hullNext[x]) {
        const int y = job.hullNext[x];
        const int old = job.hullTri[x];
        const int t = addTriangle(job, y, x, p);
        if (t < 0)
            return false;
        job.tri[t].n[0] = old;
        job.tri[old].n[indexIn(job.tri[old], x)] = t;
        if (previous >= 0) {
            job.tri[previous].n[2] = t;  // previous has p->x
            job.tri[t].n[1] = previous;  // t has x->p
        } else {
            firstNew = t;
        }
        previous = t;
    }
    job.hullNext[left] = p, job.hullPrev[p] = left, job.hullTri[left] = firstNew;
    job.hullNext[p] = right, job.hullPrev[right] = p, job.hullTri[p] = previous;
    return true;
}

// Triangulates the vertices of order; false when out of memory.  No
// triangles when they are all on one line.
bool triangulatePoints(Job &job) {
    const int n = job.order.size;
    if (!job.vertexTri.reserve(job.vertex.size) || !job.hullNext.reserve(job.vertex.size) ||
        !job.hullPrev.reserve(job.vertex.size) || !job.hullTri.reserve(job.vertex.size))
        return false;
    const int *o = job.order.at;
    int k = 2, side = 0;
    for (; k < n; ++k)
        if ((side = orient(job.at(o[0]), job.at(o[1]), job.at(o[k]))) != 0)
            break;
    if (k >= n)
        return true;
    if (!startHull(job, k, side))
        return false;
    for (int i = k + 1; i < n; ++i)
        if (!addToHull(job, o[i], o[i - 1]))
            return false;
    return true;
}

// The first triangle round vertex v, clockwise from vertexTri[v], then
// from there counterclockwise (the walk stops at the hull), for which
// found(triangle, v's index in it) holds; -1 when none.
template <typename Found>
int roundVertex(Job &job, int v, Found found) {
    const int start = job.vertexTri[v];
    for (int dir = 0; dir < 2; ++dir) {
        int t = start;
        do {
            const Triangle &tr = job.tri[t];
            const int i = indexIn(tr, v);
            if (found(tr, i))
                return t;
            t = dir == 0 ? tr.n[prev3(i)] : tr.n[i];
        } while (t >= 0 && t != start);
        if (t == start)
            break;
    }
    return -1;
}

// Whether a-b is an edge of the triangulation, either way round: one walk
// round a.
bool isEdge(Job &job, int a, int b) {
    return roundVertex(job, a, [b](const Triangle &tr, int i) { return tr.v[next3(i)] == b || tr.v[prev3(i)] == b; }) >= 0;
}

// The triangle with edge p->q, and the edge's index in it; -1 when none.
// Triangle `hint` is looked at first (the edge was there when queued,
// unless a flip has moved it since), then those round p.  One triangle
// holds p->q, so the hint changes only how fast it is found.
int findEdge(Job &job, int hint, int p, int q, int &edge) {
    const Triangle &h = job.tri[hint];
    for (int k = 0; k < 3; ++k)
        if (h.v[k] == p && h.v[next3(k)] == q) {
            edge = k;
            return hint;
        }
    return roundVertex(job, p, [q, &edge](const Triangle &tr, int i) {
        edge = i;
        return tr.v[next3(i)] == q;
    });
}

// Flips edge `edge` of triangle t when the two triangles on it form a
// strictly convex quadrilateral; gives the new edge's ends.
bool flip(Job &job, int t, int edge, int &r, int &s) {
    const int u = job.tri[t].n[edge];
    const int p = job.tri[t].v[edge], q = job.tri[t].v[next3(edge)];
    r = job.tri[t].v[prev3(edge)];
    const int j = indexIn(job.tri[u], q);  // u has q->p at j
    s = job.tri[u].v[prev3(j)];
    if (orient(job.at(r), job.at(p), job.at(s)) <= 0 || orient(job.at(s), job.at(q), job.at(r)) <= 0)
        return false;
    const int a = job.tri[t].n[next3(edge)];  // across q->r
    const int b = job.tri[t].n[prev3(edge)];  // across r->p
    const int c = job.tri[u].n[next3(j)];     // across p->s
    const int d = job.tri[u].n[prev3(j)];     // across s->q
    job.tri[t] = Triangle{{r, p, s}, {b, c, u}};
    job.tri[u] = Triangle{{s, q, r}, {d, a, t}};
    if (a >= 0)
        job.tri[a].n[indexIn(job.tri[a], r)] = u;  // a has r->q
    if (c >= 0)
        job.tri[c].n[indexIn(job.tri[c], s)] = t;  // c has s->p
    job.vertexTri[p] = t, job.vertexTri[r] = t, job.vertexTri[s] = t, job.vertexTri[q] = u;
    return true;
}

// The triangle round a whose edge opposite a crosses segment a-b (a-b is
// no edge), and that edge's index; -1 when none (cannot happen: a-b leaves
// a through one of its triangles, and no vertex lies inside a-b or b
// inside an edge, so the turns tested are never 0).
int firstCrossed(Job &job, int a, int b, int &edge) {
    return roundVertex(job, a, [&job, a, b, &edge](const Triangle &tr, int i) {
        edge = next3(i);
        return orient(job.at(a), job.at(tr.v[next3(i)]), job.at(b)) > 0 &&
               orient(job.at(a), job.at(tr.v[prev3(i)]), job.at(b)) < 0;
    });
}

// Queues the edges that cross segment a-b (each as its ends and the
// triangle holding it), walking from a to b across them: O(their number +
// a's degree).
Outcome queueCrossed(Job &job, int a, int b) {
    int edge;
    int t = firstCrossed(job, a, b, edge);
    if (t < 0)
        return broken();
    for (;;) {
        const int p = job.tri[t].v[edge], q = job.tri[t].v[next3(edge)];
        if (!(job.queue.push(p) && job.queue.push(q) && job.queue.push(t)))
            return Outcome::OutOfMemory;
        const int u = job.tri[t].n[edge];
        if (u < 0)
            return broken();  // cannot happen: b is inside the hull
        const int j = indexIn(job.tri[u], q);  // u has q->p at j
        const int s = job.tri[u].v[prev3(j)];
        if (s == b)
            return Outcome::Done;
        // a-b leaves u across s->q or p->s, as s lies right or left of it.
        edge = orient(job.at(a), job.at(b), job.at(s)) < 0 ? prev3(j) : next3(j);
        t = u;
    }
}

// Makes constraint a-b an edge of the triangulation by flipping the edges
// that cross it.  Sloan's argument: while an edge crosses a-b, one of
// those crossing it has a strictly convex quadrilateral, so the loop ends;
// kFlips bounds it all the same (steps for one constraint, a flip or a
// look at an edge that cannot flip yet), beyond which the polygon is too
// complex.  The unit tests' budget build lowers it; no other does.
#ifndef SOFTGLU_TESS_FLIPS
#define SOFTGLU_TESS_FLIPS 100000000LL
#endif
const long long kFlips = SOFTGLU_TESS_FLIPS;

Outcome insertConstraint(Job &job, int a, int b) {
    if (isEdge(job, a, b))
        return Outcome::Done;
    int edge;
    job.queue.size = 0;
    const Outcome o = queueCrossed(job, a, b);
    if (o != Outcome::Done)
        return o;
    long long steps = 0;
    for (int head = 0; head < job.queue.size; head += 3) {
        if (++steps > kFlips)
            return Outcome::TooComplex;
        if (head >= 4096 && 2 * head >= job.queue.size) {  // drop what was taken
            for (int k = head; k < job.queue.size; ++k)
                job.queue[k - head] = job.queue[k];
            job.queue.size -= head;
            head = 0;
        }
        const int p = job.queue[head], q = job.queue[head + 1];
        const int t = findEdge(job, job.queue[head + 2], p, q, edge);
        if (t < 0)
            return broken();  // cannot happen: the edge is inside
        const int u = job.tri[t].n[edge];
        int r, s;
        const bool flipped = flip(job, t, edge, r, s);
        const int x = flipped ? r : p, y = flipped ? s : q;  // in u (r->s) or t
        if ((!flipped || cross(job, a, b, x, y)) && !(job.queue.push(x) && job.queue.push(y) && job.queue.push(flipped ? u : t)))
            return Outcome::OutOfMemory;
    }
    return Outcome::Done;
}

#ifdef SOFTGLU_CHECK_INVARIANTS
// The checking builds' look at the finished triangulation (meshcheck.h):
// a fault is a bug, and stops the program there.
void checkMesh(Job &job) {
    const auto at = [&job](int v) { return job.at(v); };
    const auto ccw = [](const Point &a, const Point &b, const Point &c) { return orient(a, b, c) > 0; };
    const auto edge = [&job](int a, int b) { return isEdge(job, a, b); };
    if (const char *fault = compat::meshFault(job.tri.at, job.tri.size, at, ccw, job.constraint.at, job.constraint.size, edge)) {
        fprintf(stderr, "softglu: tessellator: broken triangulation: %s\n", fault);
        abort();
    }
}
#endif

// -- Step 4: winding numbers ---------------------------------------------------

bool windTriangles(Job &job) {
    const int n = job.tri.size;
    if (!job.winding.reserve(n) || !job.mark.reserve(n) || !job.queue.reserve(n))
        return false;
    for (int t = 0; t < n; ++t)
        job.mark[t] = 0;
    int start = 0;
    while (job.tri[start].n[0] >= 0 && job.tri[start].n[1] >= 0 && job.tri[start].n[2] >= 0)
        ++start;
    const Triangle &s = job.tri[start];
    const int hull = s.n[0] < 0 ? 0 : s.n[1] < 0 ? 1 : 2;
    job.winding[start] = countOf(job, s.v[hull], s.v[next3(hull)]);
    job.mark[start] = 1;
    job.queue.size = 0;
    job.queue[job.queue.size++] = start;
    for (int head = 0; head < job.queue.size; ++head) {
        const int t = job.queue[head];
        for (int i = 0; i < 3; ++i) {
            const int u = job.tri[t].n[i];
            if (u < 0 || job.mark[u])
                continue;
            job.winding[u] = job.winding[t] - countOf(job, job.tri[t].v[i], job.tri[t].v[next3(i)]);
            job.mark[u] = 1;
            job.queue[job.queue.size++] = u;
        }
    }
    for (int t = 0; t < n; ++t)
        job.mark[t] = selected(job.tess->windingRule, job.winding[t]) ? 1 : 0;
    return true;
}

// -- Step 5: output ------------------------------------------------------------

bool onBoundary(Job &job, int t, int i) {
    const int u = job.tri[t].n[i];
    return u < 0 || !job.mark[u];
}

void sendTriangles(Job &job) {
    GLUtesselator *t = job.tess;
    const bool flags = hasEdgeFlag(t);
    bool begun = false, flagSent = false, flag = false;
    for (int k = 0; k < job.tri.size; ++k) {
        if (!job.mark[k])
            continue;
        if (!begun) {
            sendBegin(t, GL_TRIANGLES);
            begun = true;
        }
        for (int i = 0; i < 3; ++i) {
            const bool b = flags && onBoundary(job, k, i);
            if (flags && (!flagSent || b != flag)) {  // as glEdgeFlag: on change
                sendEdgeFlag(t, b);
                flag = b;
                flagSent = true;
            }
            sendVertex(t, job.vertex[job.tri[k].v[i]].data);
        }
    }
    if (begun)
        sendEnd(t);
}

// The boundary edge after edge i of triangle t: turning counterclockwise
// round its end through selected triangles.
void nextBoundary(Job &job, int &t, int &i) {
    int k = next3(i);
    while (!onBoundary(job, t, k)) {
        const int q = job.tri[t].v[k];
        t = job.tri[t].n[k];
        k = indexIn(job.tri[t], q);
    }
    i = k;
}

bool sendLoops(Job &job) {
    const int n = job.tri.size;
    Array<char> &sent = job.sent;
    if (!sent.reserve(3 * n))
        return false;
    for (int k = 0; k < 3 * n; ++k)
        sent[k] = 0;
    for (int t0 = 0; t0 < n; ++t0)
        for (int i0 = 0; i0 < 3; ++i0) {
            if (!job.mark[t0] || sent[3 * t0 + i0] || !onBoundary(job, t0, i0))
                continue;
            sendBegin(job.tess, GL_LINE_LOOP);
            int t = t0, i = i0;
            do {
                sent[3 * t + i] = 1;
                sendVertex(job.tess, job.vertex[job.tri[t].v[i]].data);
                nextBoundary(job, t, i);
            } while (t != t0 || i != i0);
            sendEnd(job.tess);
        }
    return true;
}

Outcome tessellate(Job &job) {
    choosePlane(job);
    Outcome o = collect(job);
    if (o == Outcome::Done)
        o = planarize(job);
    if (o == Outcome::Done)
        o = countEdges(job);
    if (o != Outcome::Done)
        return o;
    if (!sortVertices(job) || !triangulatePoints(job))
        return Outcome::OutOfMemory;
    if (job.tri.size == 0)
        return Outcome::Done;
    for (int c = 0; c < job.constraint.size; ++c)
        if ((o = insertConstraint(job, job.constraint[c].lo, job.constraint[c].hi)) != Outcome::Done)
            return o;
#ifdef SOFTGLU_CHECK_INVARIANTS
    checkMesh(job);
#endif
    if (!indexEdges(job) || !windTriangles(job))
        return Outcome::OutOfMemory;
    if (job.tess->boundaryOnly)
        return sendLoops(job) ? Outcome::Done : Outcome::OutOfMemory;
    sendTriangles(job);
    return Outcome::Done;
}

// Tessellates t's polygon with its working arrays, made the first time.
Outcome tessellateWith(GLUtesselator *t) {
    if (!t->job) {
        t->job = static_cast<Job *>(malloc(sizeof(Job)));
        if (!t->job)
            return Outcome::OutOfMemory;
        t->job->init();
    }
    t->job->clear(t);
    return tessellate(*t->job);
}

// ---- Call order ----------------------------------------------------------------

void endContour(GLUtesselator *t) { t->state = State::InPolygon; }

void endPolygon(GLUtesselator *t) {
    t->state = State::Dormant;
    if (!t->poisoned && t->input.size > 0) {
        const Outcome o = tessellateWith(t);
        if (o == Outcome::OutOfMemory)
            report(t, GLU_OUT_OF_MEMORY);
        else if (o == Outcome::NeedCombine)
            report(t, GLU_TESS_NEED_COMBINE_CALLBACK);
        else if (o == Outcome::TooComplex)
            report(t, SOFTGLU_TESS_TOO_COMPLEX);
    }
    t->input.size = 0;
    t->contourStart.size = 0;
}

void beginPolygon(GLUtesselator *t, void *data) {
    t->state = State::InPolygon;
    t->polygonData = data;
    t->poisoned = false;
    t->input.size = 0;
    t->contourStart.size = 0;
}

void beginContour(GLUtesselator *t) {
    t->state = State::InContour;
    if (!t->contourStart.push(t->input.size))
        t->poisoned = true;
}

// Brings t into state `want`, reporting and making each missing call.
void require(GLUtesselator *t, State want) {
    if (want == State::InContour) {
        if (t->state == State::Dormant) {
            report(t, GLU_TESS_MISSING_BEGIN_POLYGON);
            beginPolygon(t, nullptr);
        }
        if (t->state == State::InPolygon) {
            report(t, GLU_TESS_MISSING_BEGIN_CONTOUR);
            beginContour(t);
        }
    } else if (want == State::InPolygon) {
        if (t->state == State::Dormant) {
            report(t, GLU_TESS_MISSING_BEGIN_POLYGON);
            beginPolygon(t, nullptr);
        }
        if (t->state == State::InContour) {
            report(t, GLU_TESS_MISSING_END_CONTOUR);
            endContour(t);
        }
    } else {
        if (t->state == State::InContour) {
            report(t, GLU_TESS_MISSING_END_CONTOUR);
            endContour(t);
        }
        if (t->state == State::InPolygon) {
            report(t, GLU_TESS_MISSING_END_POLYGON);
            endPolygon(t);
        }
    }
}

}  // namespace

GLUtesselator *gluNewTess(void) {
    SOFTGLU_TRACED(gluNewTess);
    GLUtesselator *t = static_cast<GLUtesselator *>(malloc(sizeof *t));
    if (!t)
        return nullptr;
    for (_GLUfuncptr &f : t->callback)
        f = nullptr;
    t->windingRule = GLU_TESS_WINDING_ODD;
    t->boundaryOnly = false;
    t->tolerance = 0.0;
    t->normal[0] = t->normal[1] = t->normal[2] = 0.0;
    t->state = State::Dormant;
    t->polygonData = nullptr;
    t->poisoned = false;
    t->input.init();
    t->contourStart.init();
    t->job = nullptr;
    return t;
}

void gluDeleteTess(GLUtesselator *tess) {
    SOFTGLU_TRACED(gluDeleteTess, tess);
    if (!tess)
        return;
    tess->input.release();
    tess->contourStart.release();
    if (tess->job)
        tess->job->release();
    free(tess->job);
    free(tess);
}

void gluTessCallback(GLUtesselator *tess, GLenum which, _GLUfuncptr fn) {
    SOFTGLU_TRACED(gluTessCallback, tess, which, fn);
    if (!tess)
        return;
    if (which < GLU_TESS_BEGIN || which > GLU_TESS_COMBINE_DATA)
        report(tess, GLU_INVALID_ENUM);
    else
        tess->callback[which - GLU_TESS_BEGIN] = fn;
}

void gluTessProperty(GLUtesselator *tess, GLenum which, GLdouble data) {
    SOFTGLU_TRACED(gluTessProperty, tess, which, data);
    if (!tess)
        return;
    switch (which) {
    case GLU_TESS_WINDING_RULE:
        for (GLenum rule = GLU_TESS_WINDING_ODD; rule <= GLU_TESS_WINDING_ABS_GEQ_TWO; ++rule)
            if (data == static_cast<double>(rule)) {
                tess->windingRule = rule;
                return;
            }
        report(tess, GLU_INVALID_VALUE);
        return;
    case GLU_TESS_BOUNDARY_ONLY: tess->boundaryOnly = data != 0.0; return;
    case GLU_TESS_TOLERANCE:
        if (data >= 0.0 && data <= 1.0)
            tess->tolerance = data;
        else
            report(tess, GLU_INVALID_VALUE);
        return;
    default: report(tess, GLU_INVALID_ENUM);
    }
}

void gluGetTessProperty(GLUtesselator *tess, GLenum which, GLdouble *data) {
    SOFTGLU_TRACED(gluGetTessProperty, tess, which, data);
    if (!tess || !data)
        return;
    switch (which) {
    case GLU_TESS_WINDING_RULE: *data = static_cast<double>(tess->windingRule); return;
    case GLU_TESS_BOUNDARY_ONLY: *data = tess->boundaryOnly ? 1.0 : 0.0; return;
    case GLU_TESS_TOLERANCE: *data = tess->tolerance; return;
    default: report(tess, GLU_INVALID_ENUM);
    }
}

void gluTessNormal(GLUtesselator *tess, GLdouble valueX, GLdouble valueY, GLdouble valueZ) {
    SOFTGLU_TRACED(gluTessNormal, tess, valueX, valueY, valueZ);
    if (!tess)
        return;
    tess->normal[0] = valueX;
    tess->normal[1] = valueY;
    tess->normal[2] = valueZ;
}

void gluTessBeginPolygon(GLUtesselator *tess, GLvoid *data) {
    SOFTGLU_TRACED(gluTessBeginPolygon, tess, data);
    if (!tess)
        return;
    require(tess, State::Dormant);
    beginPolygon(tess, data);
}

void gluTessBeginContour(GLUtesselator *tess) {
    SOFTGLU_TRACED(gluTessBeginContour, tess);
    if (!tess)
        return;
    require(tess, State::InPolygon);
    beginContour(tess);
}

void gluTessVertex(GLUtesselator *tess, GLdouble *location, GLvoid *data) {
    SOFTGLU_TRACED(gluTessVertex, tess, location, data);
    if (!tess || !location)
        return;
    require(tess, State::InContour);
    Input in;
    in.data = data;
    for (int k = 0; k < 3; ++k) {
        double x = location[k];
        if (x != x) {  // NaN: no output for this polygon
            report(tess, GLU_TESS_COORD_TOO_LARGE);
            tess->poisoned = true;
            x = 0.0;
        } else if (x > GLU_TESS_MAX_COORD || x < -GLU_TESS_MAX_COORD) {
            report(tess, GLU_TESS_COORD_TOO_LARGE);
            x = x > 0.0 ? GLU_TESS_MAX_COORD : -GLU_TESS_MAX_COORD;
        }
        in.xyz[k] = x;
    }
    if (!tess->input.push(in)) {
        if (!tess->poisoned)
            report(tess, GLU_OUT_OF_MEMORY);
        tess->poisoned = true;
    }
}

void gluTessEndContour(GLUtesselator *tess) {
    SOFTGLU_TRACED(gluTessEndContour, tess);
    if (!tess)
        return;
    require(tess, State::InContour);
    endContour(tess);
}

void gluTessEndPolygon(GLUtesselator *tess) {
    SOFTGLU_TRACED(gluTessEndPolygon, tess);
    if (!tess)
        return;
    require(tess, State::InPolygon);
    endPolygon(tess);
}

void gluBeginPolygon(GLUtesselator *tess) {
    SOFTGLU_TRACED(gluBeginPolygon, tess);
    gluTessBeginPolygon(tess, nullptr);
    gluTessBeginContour(tess);
}

void gluNextContour(GLUtesselator *tess, GLenum type) {
    SOFTGLU_TRACED(gluNextContour, tess, type);
    (void)type;  // the winding rule decides what is inside
    gluTessEndContour(tess);
    gluTessBeginContour(tess);
}

void gluEndPolygon(GLUtesselator *tess) {
    SOFTGLU_TRACED(gluEndPolygon, tess);
    gluTessEndContour(tess);
    gluTessEndPolygon(tess);
}
