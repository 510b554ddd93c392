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
//  3. SWEEP.  A line sweeps the graph's vertices in lexicographic order,
//     keeping the edges it crosses in order and, between each two, the
//     region of a face they bound, with its winding number: crossing a
//     graph edge from its right to its left raises it by the number of
//     contour edges running along it that way, less those running the
//     other way; below every edge it is 0.  Each region the winding rule
//     selects is triangulated as the sweep passes it, as a monotone
//     polygon: a stack of reflex corners, cut off as later vertices see
//     them, and a diagonal to the last vertex seen where a region splits
//     or two merge.  Every triangle lies in one face, every graph edge is
//     a side of triangles, and regions left out cost nothing.  O(n log n):
//     per vertex a binary search of the status (exact orientation tests)
//     and a move of its tail (O(the edges crossed), a few dozen on real
//     shapes); O(1) amortised in the stacks.
//  4. OUTPUT.  The triangles, counterclockwise, in one GL_TRIANGLES, in the
//     order the sweep made them; or, with GLU_TESS_BOUNDARY_ONLY, the graph
//     edges with a selected region on one side only, chained round each
//     vertex into GL_LINE_LOOPs with the region on their left (outer loops
//     counterclockwise, holes clockwise).  O(n).
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
// 2 is planar, and the triangles and winding numbers of step 3 right for
// the coordinates the graph has.  The only rounded
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
    int a, b;   // a contour edge, in the contour's direction
    int count;  // how many: contour edges a->b less those b->a
};

struct Split {
    int segment, vertex;  // the segment passes through or crosses at the vertex
};

struct Pair {
    int lo, hi;  // two segments, lo < hi, whose boxes meet and that touch
};

struct Edge {
    int from, to;  // from before to, lexicographically (from countEdges on)
    int count;     // contour edges from->to less those to->from
};

// The part of a face between a status edge and the next edge up (step 3).
struct Region {
    int winding;
    int chain;    // its chain's top link; -1: not triangulated
    int pending;  // after a merge, the upper part's chain; else -1
    bool upper;   // whether the chain's top is on the region's upper side
};

struct Link {
    int v, below;  // a chain's vertex and the link below it (-1: the base)
};

struct Triangle {
    int v[3];     // counterclockwise
    int winding;  // its region's
};

int next3(int i) { return i == 2 ? 0 : i + 1; }

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

    // Steps 3 and 4: the graph's edges, the sweep and its triangles.
    Array<Edge> edge;
    Array<int> firstOut;   // each vertex's first edge; first the counting
                           // sorts' starts (mergeRepeats, countEdges)
    Array<int> status;     // the edges the sweep line crosses, bottom up
    Array<int> place;      // each edge's index in it, while there
    Array<int> ending;     // an edge ending at each vertex, or -1
    Array<Region> region;  // each edge's region (above it)
    Array<Link> link;      // the regions' chains
    Array<Triangle> tri;
    Array<int> nextEdge;   // GLU_TESS_BOUNDARY_ONLY: each boundary edge's next
    Array<char> sent;      // and those sent

    // Lent from step to step, under a local name where one is given.
    Array<int> order;      // collect: the inputs, lexicographically; a pass:
                           // the segment of each leaf of the tree; step 3:
                           // the swept vertices, lexicographically
    Array<int> sorted;     // collect's vertices, lexicographically (step 3
                           // merges the crossings' into them)
    Array<int> queue;      // step 3: the crossings' vertices sorted (made),
                           // then a vertex's boundary edges (round)
    Array<char> mark;      // collect: the inputs near another (crowded); a
                           // pass: the vertices that end a segment; between
                           // passes: the segments kept (mergeRepeats); step
                           // 3: the vertices on an edge (used)
    Array<unsigned char> spare;  // the sorts' buffer (sort.h)

    // Calls f on every array (a generic lambda).
    template <typename F>
    void forEachArray(F f) {
        f(vertex), f(segment);
        f(plane), f(placed), f(inputVertex), f(gridHead), f(gridNext);
        f(box), f(key), f(node), f(levelStart), f(hits), f(hitBox), f(hitSegment), f(pair), f(split);
        f(edge), f(firstOut), f(status), f(place), f(ending), f(region), f(link), f(tri), f(nextEdge), f(sent);
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
                ok = job.segment.push(Segment{a, b, 1});
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
    const Segment rest = {w, job.segment[s].b, job.segment[s].count};
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

// Segments with the same ends, as splitting leaves where it routes edges
// through the same vertices, become the first of them, with their counts
// summed: else a crowded spot, where every edge passes near every vertex,
// multiplies its segments pass after pass, each pass testing every two.
// The others keep their order, so the next pass takes its pairs as before.
bool mergeRepeats(Job &job) {
    const int n = job.segment.size, vertices = job.vertex.size;
    int *bySpan = spareFor<int>(job.spare, 2 * n);
    if (!bySpan || !job.firstOut.reserve(vertices + 1) || !job.mark.reserve(n))
        return false;
    int *byHi = bySpan + n;
    const Segment *seg = job.segment.at;
    const auto lo = [seg](int s) { return seg[s].a < seg[s].b ? seg[s].a : seg[s].b; };
    const auto hi = [seg](int s) { return seg[s].a < seg[s].b ? seg[s].b : seg[s].a; };
    for (int s = 0; s < n; ++s)
        bySpan[s] = s;
    countingSort(bySpan, byHi, n, job.firstOut.at, vertices, hi);
    countingSort(byHi, bySpan, n, job.firstOut.at, vertices, lo);  // by (lo, hi), then number
    bool repeats = false;
    for (int k = 0; k < n;) {
        const int first = bySpan[k];
        job.mark[first] = 1;
        for (++k; k < n && lo(bySpan[k]) == lo(first) && hi(bySpan[k]) == hi(first); ++k) {
            const Segment &r = seg[bySpan[k]];
            job.segment[first].count += r.a == seg[first].a ? r.count : -r.count;
            job.mark[bySpan[k]] = 0;
            repeats = true;
        }
    }
    if (repeats) {
        int kept = 0;
        for (int s = 0; s < n; ++s)
            if (job.mark[s])
                job.segment[kept++] = job.segment[s];
        job.segment.size = kept;
    }
    return true;
}

// The snapping grid holds every vertex already: collect entered each one.
Outcome planarize(Job &job) {
    for (int pass = 0; pass < kPasses; ++pass) {
        job.split.size = 0;
        const Outcome o = findSplits(job);
        if (o != Outcome::Done || job.split.size == 0)
            return o;
        if (!applySplits(job) || !mergeRepeats(job))
            return Outcome::OutOfMemory;
    }
    return Outcome::TooComplex;
}

// -- Step 3: the graph's edges and the sweep's order -----------------------------

// Whether edge e leaves their common vertex below edge f.
bool leavesBelow(Job &job, const Edge &e, const Edge &f) { return orient(job.at(e.from), job.at(e.to), job.at(f.to)) > 0; }

// The graph's edges, each from its lexicographically first end, with net
// counts; those of count 0 change no winding number and are left out.
// They are ordered by the vertex they leave, those of vertex v being
// edge[firstOut[v] .. firstOut[v + 1]), from the bottom up: the order the
// sweep puts them in.  A counting sort by that vertex (O(n + vertices)),
// then a merge sort of each vertex's few edges, both stable, so the same
// on every machine; edges with the same ends come together there (no two
// others leave a vertex in one direction: the graph is planar) and are
// summed.
Outcome countEdges(Job &job) {
    const int n = job.segment.size, vertices = job.vertex.size;
    Edge *spare = spareFor<Edge>(job.spare, n);
    if (!spare || !job.edge.reserve(n) || !job.firstOut.reserve(vertices + 1))
        return Outcome::OutOfMemory;
    for (int s = 0; s < n; ++s) {
        const int a = job.segment[s].a, b = job.segment[s].b;
        const int count = job.segment[s].count;
        spare[s] = before(job.at(a), job.at(b)) ? Edge{a, b, count} : Edge{b, a, -count};
    }
    countingSort(spare, job.edge.at, n, job.firstOut.at, vertices, [](const Edge &x) { return x.from; });
    const auto below = [&job](const Edge &e, const Edge &f) { return leavesBelow(job, e, f); };
    Edge *c = job.edge.at;
    int kept = 0;
    for (int v = 0, e = 0; v < vertices; ++v) {
        const int first = e;
        while (e < n && c[e].from == v)
            ++e;
        if (e - first > 1)
            mergeSort(c + first, spare, e - first, below);
        job.firstOut[v] = kept;
        for (int k = first; k < e;) {
            Edge sum = c[k];
            for (++k; k < e && c[k].to == sum.to; ++k)
                sum.count += c[k].count;
            if (sum.count != 0)
                c[kept++] = sum;
        }
    }
    job.firstOut[vertices] = kept;
    job.firstOut.size = vertices + 1;
    job.edge.size = kept;
    return Outcome::Done;
}

// The number of contour edges running p->q less those running q->p: a
// scan of the few edges leaving the first of them.
int countOf(Job &job, int p, int q) {
    const bool forward = before(job.at(p), job.at(q));
    const int from = forward ? p : q, to = forward ? q : p;
    for (int e = job.firstOut[from]; e < job.firstOut[from + 1]; ++e)
        if (job.edge[e].to == to)
            return forward ? job.edge[e].count : -job.edge[e].count;
    return 0;
}

// The vertices that end an edge, lexicographically, in job.order.
bool sortVertices(Job &job) {
    Array<char> &used = job.mark;
    if (!used.reserve(job.vertex.size))
        return false;
    for (int i = 0; i < job.vertex.size; ++i)
        used[i] = 0;
    for (int i = 0; i < job.edge.size; ++i)
        used[job.edge[i].from] = used[job.edge[i].to] = 1;
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

// -- Step 3: the sweep -----------------------------------------------------------
//
// job.status holds the edges the sweep line crosses, bottom up, status[0]
// a sentinel below them all; job.region[e] is the region between edge e
// and the next edge up.  A region the rule selects keeps a chain (Link,
// top first): a base, then vertices on one side of the region (the top's,
// `upper`), each a reflex or flat corner, so none can be cut off yet.  At
// each vertex v:
//  - arriving along the chain's side, v cuts off the convex corners below
//    it in turn; arriving across from it, v sees the whole chain, fans it,
//    and the chain restarts from its top and v;
//  - the regions between edges ending at v close (fanned from v); v
//    arrives on the upper side of the region below them and the lower side
//    of the one above;
//  - inside a region (no edge ends at v), v splits it along the diagonal
//    to the chain's top: the part on the top's side restarts from the top
//    and v, the other keeps the chain;
//  - ending edges and starting none, v merges the regions below and above
//    them; both chains are kept (pending) until the merged region's next
//    vertex closes the one across from it.
// No triangle has area 0: a fan's or a cut's apex on the line of two chain
// vertices would lie on a graph edge between them, and no vertex lies
// inside an edge.

int pushLink(Job &job, int below, int v) { return job.link.push(Link{v, below}) ? job.link.size - 1 : -1; }

bool addTriangle(Job &job, int a, int b, int c, int winding) { return job.tri.push(Triangle{{a, b, c}, winding}); }

// The triangle of a chain's corner b (a below it) and v, counterclockwise:
// a, b, v when the chain is on the lower side, b, a, v on the upper.
bool cutOff(Job &job, const Region &r, bool upper, int a, int b, int v) {
    return upper ? addTriangle(job, b, a, v, r.winding) : addTriangle(job, a, b, v, r.winding);
}

// Fans v over every two neighbours of the chain topped by `top`, whose
// side is `upper`.
bool fan(Job &job, const Region &r, int top, bool upper, int v) {
    for (int k = top; job.link[k].below >= 0; k = job.link[k].below)
        if (!cutOff(job, r, upper, job.link[job.link[k].below].v, job.link[k].v, v))
            return false;
    return true;
}

// v, next on region r's upper or lower side, joins its chain.
bool arrive(Job &job, Region &r, int v, bool upper) {
    if (r.pending >= 0) {  // after a merge at m: close the part across from v
        const int across = upper ? r.pending : r.chain, along = upper ? r.chain : r.pending;
        if (!fan(job, r, across, !upper, v))
            return false;
        r.chain = along, r.pending = -1, r.upper = upper;  // m is on v's side of `along`
    }
    int top = r.chain;
    if (job.link[top].below < 0 || r.upper != upper) {
        if (!fan(job, r, top, r.upper, v))
            return false;
        job.link[top].below = -1;  // the chain restarts from its top
    } else {
        while (job.link[top].below >= 0) {
            const int a = job.link[job.link[top].below].v, b = job.link[top].v;
            const int turn = orient(job.at(a), job.at(b), job.at(v));
            if (upper ? turn >= 0 : turn <= 0)
                break;  // a reflex or flat corner: the chain stays
            if (!cutOff(job, r, upper, a, b, v))
                return false;
            top = job.link[top].below;
        }
    }
    r.chain = pushLink(job, top, v);
    r.upper = upper;
    return r.chain >= 0;
}

// v ends both sides of region r.
bool close(Job &job, const Region &r, int v) {
    if (r.chain < 0)
        return true;
    if (r.pending >= 0 && !fan(job, r, r.pending, false, v))
        return false;
    return fan(job, r, r.chain, r.upper, v);
}

// v lies inside selected region r and starts edges: r keeps the part below
// them, `above` becomes the part above.
bool split(Job &job, Region &r, Region &above, int v) {
    above = r;
    if (r.pending >= 0) {  // the diagonal to m, the merge vertex
        above.chain = r.pending, above.pending = r.pending = -1, above.upper = false;
        return arrive(job, above, v, false) && arrive(job, r, v, true);
    }
    const int top = job.link[r.chain].v;
    const int base = pushLink(job, -1, top), restarted = base < 0 ? -1 : pushLink(job, base, v);
    if (restarted < 0)
        return false;
    if (r.upper) {
        above.chain = restarted, above.upper = false;
        return arrive(job, r, v, true);
    }
    r.chain = restarted, r.upper = true;
    return arrive(job, above, v, false);
}

// Whether graph edge e bounds the selected region: the regions above and
// below it differ.
bool onBoundary(Job &job, int e) {
    const int w = job.region[e].winding;
    return selected(job.tess->windingRule, w) != selected(job.tess->windingRule, w - job.edge[e].count);
}

// Whether boundary edge e runs from->to in its loop: the selected region,
// on the loop's left, is the one above it.
bool runsForward(Job &job, int e) { return selected(job.tess->windingRule, job.region[e].winding); }

// The boundary edges round v, counterclockwise from below (the edges
// leaving v from the bottom up, then those ending at it from the top
// down), each directed with the selected region on its left: each edge
// into v is followed by the one before it.
bool linkBoundary(Job &job, int v, const int *ending, int a) {
    Array<int> &round = job.queue;
    round.size = 0;
    const auto add = [&job, &round](int e) { return !onBoundary(job, e) || round.push(e); };
    for (int e = job.firstOut[v]; e < job.firstOut[v + 1]; ++e)
        if (!add(e))
            return false;
    for (int k = a - 1; k >= 0; --k)
        if (!add(ending[k]))
            return false;
    for (int k = 0; k < round.size; ++k) {
        const int e = round[k];
        if ((job.edge[e].to == v) == runsForward(job, e))  // e runs into v
            job.nextEdge[e] = round[k == 0 ? round.size - 1 : k - 1];
    }
    return true;
}

// Where v lies in the status: the first edge (past the sentinel) v does
// not lie above.  The edges ending at v come next (v is on them: they are
// not tested, as the test would find 0 the slow way).
int search(Job &job, int v) {
    int lo = 1, hi = job.status.size;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const Edge &e = job.edge[job.status[mid]];
        if (e.to != v && orient(job.at(e.from), job.at(e.to), job.at(v)) > 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

// The same, found from an edge ending at v when there is one: the edges
// ending at v lie together in the status, so the first is at or below it.
int locate(Job &job, int v) {
    const int e = job.ending[v];
    if (e < 0)
        return search(job, v);
    int i = job.place[e];
    while (i > 1 && job.edge[job.status[i - 1]].to == v)
        --i;
#ifdef SOFTGLU_CHECK_INVARIANTS
    if (i != search(job, v))
        broken();
#endif
    return i;
}

Outcome sweepVertex(Job &job, int v) {
    Array<int> &status = job.status;
    const int i = locate(job, v);
    int j = i;
    while (j < status.size && job.edge[status[j]].to == v)
        ++j;
    const int a = j - i, first = job.firstOut[v], b = job.firstOut[v + 1] - first;
    Region &below = job.region[status[i - 1]];
    Region above = below;
    if (a > 0) {
        for (int k = i; k + 1 < j; ++k)
            if (!close(job, job.region[status[k]], v))
                return Outcome::OutOfMemory;
        above = job.region[status[j - 1]];
        if ((below.chain >= 0 && !arrive(job, below, v, true)) || (above.chain >= 0 && !arrive(job, above, v, false)))
            return Outcome::OutOfMemory;
        if (b == 0) {
            if (above.winding != below.winding)
                return broken();  // cannot happen: the counts round v sum to 0
            below.pending = above.chain;
        }
    } else if (below.chain >= 0 && b > 0 && !split(job, below, above, v)) {
        return Outcome::OutOfMemory;
    }
    // The regions between v's new edges (none triangulated when only the
    // boundary is sent), and the one above the last.
    int winding = below.winding;
    for (int e = first; e + 1 < first + b; ++e) {
        winding += job.edge[e].count;
        int chain = -1;
        if (!job.tess->boundaryOnly && selected(job.tess->windingRule, winding) && (chain = pushLink(job, -1, v)) < 0)
            return Outcome::OutOfMemory;
        job.region[e] = Region{winding, chain, -1, false};
    }
    if (b > 0) {
        if (winding + job.edge[first + b - 1].count != above.winding)
            return broken();  // cannot happen, as above
        job.region[first + b - 1] = above;
    }
    if (job.tess->boundaryOnly && !linkBoundary(job, v, status.at + i, a))
        return Outcome::OutOfMemory;
    // The status: v's new edges in place of those ending at it.
    const int shift = b - a;
    if (shift > 0 && !status.reserve(status.size + shift))
        return Outcome::OutOfMemory;
    if (shift > 0)
        for (int k = status.size - 1; k >= j; --k)
            job.place[status[k + shift] = status[k]] = k + shift;
    else if (shift < 0)
        for (int k = j; k < status.size; ++k)
            job.place[status[k + shift] = status[k]] = k + shift;
    status.size += shift;
    for (int k = 0; k < b; ++k)
        job.place[status[i + k] = first + k] = i + k;
    return Outcome::Done;
}

Outcome sweep(Job &job) {
    const int m = job.edge.size;
    if (!job.region.reserve(m + 1) || !job.place.reserve(m) || !job.ending.reserve(job.vertex.size) ||
        !job.status.reserve(16) || (job.tess->boundaryOnly && !job.nextEdge.reserve(m)))
        return Outcome::OutOfMemory;
    for (int v = 0; v < job.vertex.size; ++v)
        job.ending[v] = -1;
    for (int e = 0; e < m; ++e)
        job.ending[job.edge[e].to] = e;
    job.region[m] = Region{0, -1, -1, false};  // the sentinel's: outside
    job.status[0] = m;
    job.status.size = 1;
    for (int k = 0; k < job.order.size; ++k) {
        const Outcome o = sweepVertex(job, job.order[k]);
        if (o != Outcome::Done)
            return o;
    }
    return job.status.size == 1 ? Outcome::Done : broken();  // every edge ends
}

// Whether triangle edge p->q bounds the selected region: the region on
// its right is not selected.
bool onBoundary(Job &job, const Triangle &t, int p, int q) {
    return !selected(job.tess->windingRule, t.winding - countOf(job, p, q));
}

#ifdef SOFTGLU_CHECK_INVARIANTS
// The checking builds' look at the finished triangles (meshcheck.h): a
// fault is a bug, and stops the program there.
void checkMesh(Job &job) {
    const GLenum rule = job.tess->windingRule;
    const auto at = [&job](int v) { return job.at(v); };
    const auto ccw = [](const Point &a, const Point &b, const Point &c) { return orient(a, b, c) > 0; };
    const auto bounds = [&job](const Triangle &t, int p, int q) { return onBoundary(job, t, p, q); };
    // Each selected side of a graph edge: the edge, directed with that
    // side on its left.
    const auto side = [&job, rule](int k, int &p, int &q) {
        const Edge &e = job.edge[k / 2];
        const int w = job.region[k / 2].winding;
        const bool left = k % 2 == 0;
        p = left ? e.from : e.to, q = left ? e.to : e.from;
        return selected(rule, left ? w : w - e.count);
    };
    uint64_t *keys = spareFor<uint64_t>(job.spare, 6 * job.tri.size);
    const char *fault = keys ? compat::meshFault(job.tri.at, job.tri.size, at, ccw, bounds, 2 * job.edge.size, side, keys)
                             : "out of memory to check it";
    if (fault) {
        fprintf(stderr, "softglu: tessellator: broken triangles: %s\n", fault);
        abort();
    }
}
#endif

// -- Step 4: output ------------------------------------------------------------

void sendTriangles(Job &job) {
    GLUtesselator *t = job.tess;
    if (job.tri.size == 0)
        return;
    const bool flags = hasEdgeFlag(t);
    bool flagSent = false, flag = false;
    sendBegin(t, GL_TRIANGLES);
    for (int k = 0; k < job.tri.size; ++k) {
        const Triangle &tr = job.tri[k];
        for (int i = 0; i < 3; ++i) {
            const bool b = flags && onBoundary(job, tr, tr.v[i], tr.v[next3(i)]);
            if (flags && (!flagSent || b != flag)) {  // as glEdgeFlag: on change
                sendEdgeFlag(t, b);
                flag = b;
                flagSent = true;
            }
            sendVertex(t, job.vertex[tr.v[i]].data);
        }
    }
    sendEnd(t);
}

// The boundary edges chained into loops (linkBoundary's), each vertex the
// start of an edge, the selected region on the left.
Outcome sendLoops(Job &job) {
    const int m = job.edge.size;
    Array<char> &sent = job.sent;
    if (!sent.reserve(m))
        return Outcome::OutOfMemory;
    for (int e = 0; e < m; ++e)
        sent[e] = 0;
    for (int e0 = 0; e0 < m; ++e0) {
        if (sent[e0] || !onBoundary(job, e0))
            continue;
        sendBegin(job.tess, GL_LINE_LOOP);
        int e = e0;
        do {
            if (sent[e])
                return broken();  // cannot happen: the links go round
            sent[e] = 1;
            sendVertex(job.tess, job.vertex[runsForward(job, e) ? job.edge[e].from : job.edge[e].to].data);
            e = job.nextEdge[e];
        } while (e != e0);
        sendEnd(job.tess);
    }
    return Outcome::Done;
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
    if (!sortVertices(job))
        return Outcome::OutOfMemory;
    if ((o = sweep(job)) != Outcome::Done)
        return o;
    if (job.tess->boundaryOnly)
        return sendLoops(job);
#ifdef SOFTGLU_CHECK_INVARIANTS
    checkMesh(job);
#endif
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
