/* SPDX-License-Identifier: MIT */
// Trim loops of a NURBS surface, in its (u, v) domain, for
// src/compat/nurbs.cpp.  In order:
//
//  1. LOOPS.  Each loop's pieces are joined into one closed polyline
//     (closeLoops): an end within the snapping distance of the next piece's
//     start is that start.
//  2. CHECKS.  No two loop edges cross (edges that only touch, at a point
//     or along a line, do not cross), found through a packed tree of the
//     edges' boxes (boxtree.h): O(n log n) plus the pairs whose boxes meet.
//     A loop inside an even number of others runs counterclockwise, one
//     inside an odd number clockwise.
//  3. CELLS.  Each cell of the sample grid is cut when a trim edge reaches
//     it (meets the closed cell: cutCells, O(the cells of each edge's
//     box)), unless the edge only runs along a side of it, on a grid line;
//     every other cell is kept or dropped whole by the loops' winding
//     number at a point of it (windingAt, which looks only at the edges
//     across the cell's row).  Loops that cut a common cell form a group;
//     each group's cut cells are tessellated with its loops alone
//     (nurbs.cpp), so the work grows with the cells and the trim edges, not
//     with their product, and each polygon stays small.
//
// Precision.  Every decision is exact: which side of an edge a point lies
// is orient.h's exact sign, and the rest are comparisons of coordinates.
// So whether edges cross, whether an edge reaches a cell, which loops hold
// a loop and the winding number at a point are right for the trim points
// as stored, even for loops through grid vertices, along grid lines,
// touching one another or a few units in the last place apart.  Two
// fallbacks of degenerate loops are rounded: a loop that doubles back at
// its lowest point (no turn there) is oriented by its area's sign, and a
// loop whose every point lies on another is inside it when the rounded
// middle of its first edge is.  The rounded values are the trim points
// themselves: a gluPwlCurve point is its float widened (exact); a
// homogeneous point is u/w and v/w, each rounded once (half a unit in the
// last place of double); a trim curve's samples come from de Boor's
// algorithm in double (bspline.h: a few units in the last place).  A
// coordinate below 2^-485 in magnitude is stored as 0, and floats stay far
// below 2^481, which keeps every point within orient.h's exact range.  A
// cell's probe point is rounded too (the middle of its span and its row),
// but every point inside a cell that no edge cuts has the same winding
// number, and the probe is kept strictly inside, so that rounding decides
// nothing.
//
// The sources that include this include src/exact.h first.  Everything
// here has internal linkage: it adds no symbol to the library or the
// archive.
#ifndef SOFTGLU_SRC_COMPAT_NURBS_TRIM_H
#define SOFTGLU_SRC_COMPAT_NURBS_TRIM_H

#include <GL/glu.h>

#include <math.h>

#include "array.h"
#include "boxtree.h"
#include "orient.h"

namespace {

// The errors the loops themselves can raise.
enum TrimError {
    kPiecesApart = GLU_NURBS_ERROR19,
    kLoopOpen = GLU_NURBS_ERROR20,
    kTrimsCross = GLU_NURBS_ERROR21,
    kBadNesting = GLU_NURBS_ERROR22,
};

// Below this magnitude a trim coordinate is 0 (orient.h's exact range).
const double kTrimTiny = 0x1p-485;

// A point of the domain: u, v.
struct UV {
    double u, v;
};

// A trim loop as given: its pieces' polylines, one after another in `uv`
// (u, v pairs), piece p spanning points pieceStart[p] .. pieceStart[p+1]-1.
// After closeLoops, one closed polyline: the last point is the first.
struct Loop {
    compat::Array<double> uv;
    compat::Array<int> pieceStart;
};

UV pointOf(const Loop &l, int i) { return UV{l.uv[2 * i], l.uv[2 * i + 1]}; }
int pointsOf(const Loop &l) { return l.uv.size / 2; }

// An edge of a closed loop, from a to b.
struct Edge {
    UV a, b;
    int loop;  // its loop's index
};

// The working arrays of the checks and the cells: they belong to the
// renderer and keep their memory from one surface to the next.
struct TrimWork {
    compat::Array<Edge> edge;  // every loop's edges, loop after loop
    // The packed tree of the edges' boxes (stage 2).
    compat::Array<Box> box, node;
    compat::Array<uint32_t> key;
    compat::Array<int> order, levelStart, hits;
    compat::Array<unsigned char> spare;
    // The cells (stage 3): cut[j * (nu - 1) + i] for cell (i, j); the
    // edges across each row's middle, row j's from crosserStart[j].
    compat::Array<unsigned char> cut;
    compat::Array<double> middle;
    compat::Array<int> crosserStart, crosser;
    // The groups (stage 3): a loop that cuts each cell (-1: none), and each
    // loop's link towards its group's least loop (groupOf).
    compat::Array<int> cellLoop, link;

    // Calls f on every array (a generic lambda).
    template <typename F>
    void forEachArray(F f) {
        f(edge), f(box), f(node), f(key), f(order), f(levelStart), f(hits), f(spare);
        f(cut), f(middle), f(crosserStart), f(crosser), f(cellLoop), f(link);
    }
};

// > 0 when c lies left of a->b, < 0 right, 0 on its line: exactly.
int sideOf(UV a, UV b, UV c) { return orient(Point{a.u, a.v}, Point{b.u, b.v}, Point{c.u, c.v}); }

// ---- 1. Loops ---------------------------------------------------------------

// Joins l's pieces (an end within `snap` of the next start is that start:
// the later point is dropped) and closes it exactly; 0 or the error.
GLenum joinPieces(Loop &l, double snap) {
    compat::Array<double> joined;
    joined.init();
    const int pieces = l.pieceStart.size;
    for (int p = 0; p < pieces; ++p) {
        const int from = l.pieceStart[p], to = p + 1 < pieces ? l.pieceStart[p + 1] : pointsOf(l);
        for (int i = from; i < to; ++i) {
            const UV q = pointOf(l, i);
            if (i == from && joined.size > 0) {
                const UV last{joined[joined.size - 2], joined[joined.size - 1]};
                if (fabs(q.u - last.u) > snap || fabs(q.v - last.v) > snap) {
                    joined.release();
                    return kPiecesApart;
                }
                continue;
            }
            if (!joined.push(q.u) || !joined.push(q.v)) {
                joined.release();
                return GLU_OUT_OF_MEMORY;
            }
        }
    }
    l.uv.release();
    l.uv = joined;
    const int count = pointsOf(l);
    const UV first = pointOf(l, 0), last = pointOf(l, count - 1);
    if (count < 4 || fabs(first.u - last.u) > snap || fabs(first.v - last.v) > snap)
        return kLoopOpen;
    l.uv[2 * count - 2] = first.u;  // closed exactly
    l.uv[2 * count - 1] = first.v;
    return 0;
}

// ---- 2. Checks --------------------------------------------------------------

// Whether the edges cross at a point inside both: each one's ends strictly
// on either side of the other's line.
bool edgesCross(const Edge &p, const Edge &q) {
    const int a = sideOf(p.a, p.b, q.a), b = sideOf(p.a, p.b, q.b);
    if (a == 0 || b == 0 || a == b)
        return false;
    const int c = sideOf(q.a, q.b, p.a), d = sideOf(q.a, q.b, p.b);
    return c != 0 && d != 0 && c != d;
}

Box boxOf(const Edge &e) {
    return Box{e.a.u < e.b.u ? e.a.u : e.b.u, e.a.v < e.b.v ? e.a.v : e.b.v, e.a.u > e.b.u ? e.a.u : e.b.u,
               e.a.v > e.b.v ? e.a.v : e.b.v};
}

// Every edge of the closed loops into w.edge; false when out of memory.
bool collectEdges(const compat::Array<Loop> &loops, TrimWork &w) {
    w.edge.size = 0;
    for (int k = 0; k < loops.size; ++k)
        for (int i = 0; i + 1 < pointsOf(loops[k]); ++i)
            if (!w.edge.push(Edge{pointOf(loops[k], i), pointOf(loops[k], i + 1), k}))
                return false;
    return true;
}

// Whether two edges of the loops cross: each edge against those whose
// boxes meet its own, found in the tree.  -1 when out of memory.
int anyCross(TrimWork &w) {
    w.box.size = w.node.size = w.levelStart.size = 0;
    for (int e = 0; e < w.edge.size; ++e)
        if (!w.box.push(boxOf(w.edge[e])))
            return -1;
    if (w.edge.size == 0)
        return 0;
    if (!orderBoxes(w.box, w.key, w.order, w.spare) || !packTree(w.box, w.order, w.node, w.levelStart))
        return -1;
    for (int e = 0; e < w.edge.size; ++e) {
        if (!lookUp(w.node, w.levelStart, w.hits, w.box[e]))
            return -1;
        for (int h = 0; h < w.hits.size; ++h) {
            const int f = w.order[w.hits[h]];
            if (f > e && edgesCross(w.edge[e], w.edge[f]))
                return 1;
        }
    }
    return 0;
}

// What edge a->b adds to the winding number about p: +1 when it crosses
// the horizontal ray to the right of p upward, -1 downward, else 0; an
// edge holds its lower end and not its upper.
int rayCrossing(UV a, UV b, UV p) {
    if (a.v <= p.v)
        return b.v > p.v && sideOf(a, b, p) > 0 ? 1 : 0;
    return b.v <= p.v && sideOf(a, b, p) < 0 ? -1 : 0;
}

// The winding number of the closed loop l about p, a point on none of its
// edges; also whether p lies on one (then the number is meaningless).
int loopWinding(const Loop &l, UV p, bool &onEdge) {
    int w = 0;
    onEdge = false;
    for (int i = 0; i + 1 < pointsOf(l); ++i) {
        const UV a = pointOf(l, i), b = pointOf(l, i + 1);
        const bool inU = (a.u <= p.u || b.u <= p.u) && (a.u >= p.u || b.u >= p.u);
        const bool inV = (a.v <= p.v || b.v <= p.v) && (a.v >= p.v || b.v >= p.v);
        if (inU && inV && sideOf(a, b, p) == 0)
            onEdge = true;
        w += rayCrossing(a, b, p);
    }
    return w;
}

// Whether loop `inner` lies inside loop `outer` (the loops do not cross):
// the winding about inner's first point that is not on outer; when every
// point is on outer, about the middle of inner's first edge (rounded: a
// loop lying wholly along another is taken as inside it when that middle
// is).
bool holds(const Loop &outer, const Loop &inner) {
    bool onEdge = true;
    int w = 0;
    for (int i = 0; onEdge && i + 1 < pointsOf(inner); ++i)
        w = loopWinding(outer, pointOf(inner, i), onEdge);
    if (onEdge) {
        const UV a = pointOf(inner, 0), b = pointOf(inner, 1);
        w = loopWinding(outer, UV{a.u + (b.u - a.u) * 0.5, a.v + (b.v - a.v) * 0.5}, onEdge);
    }
    return w != 0;
}

// Whether the loop (closed, crossing no other edge) runs counterclockwise:
// the turn at its lowest point (least v, then least u) between the nearest
// distinct points before and after it, exactly; where those three lie on a
// line (a loop doubling back on itself there) the sign of its area.
bool counterclockwise(const Loop &l) {
    const int count = pointsOf(l) - 1;  // the closing point repeats the first
    int low = 0;
    for (int i = 1; i < count; ++i) {
        const UV p = pointOf(l, i), q = pointOf(l, low);
        if (p.v < q.v || (p.v == q.v && p.u < q.u))
            low = i;
    }
    const UV at = pointOf(l, low);
    UV before = at, after = at;
    for (int k = 1; k < count && before.u == at.u && before.v == at.v; ++k)
        before = pointOf(l, (low - k + count) % count);
    for (int k = 1; k < count && after.u == at.u && after.v == at.v; ++k)
        after = pointOf(l, (low + k) % count);
    if (const int turn = sideOf(before, at, after))
        return turn > 0;
    double area = 0.0;  // rounded: decides only a loop with no turn at its lowest point
    for (int i = 0; i < count; ++i) {
        const UV p = pointOf(l, i), q = pointOf(l, i + 1);
        area = area + (p.u * q.v - q.u * p.v);
    }
    return area > 0.0;
}

// Joins each loop's pieces, then checks closure, crossings and nesting;
// 0 or the error.
GLenum closeLoops(compat::Array<Loop> &loops, double snap, TrimWork &w) {
    for (int k = 0; k < loops.size; ++k)
        if (const GLenum e = joinPieces(loops[k], snap))
            return e;
    if (!collectEdges(loops, w))
        return GLU_OUT_OF_MEMORY;
    const int cross = anyCross(w);
    if (cross != 0)
        return cross < 0 ? GLU_OUT_OF_MEMORY : kTrimsCross;
    for (int k = 0; k < loops.size; ++k) {
        int depth = 0;
        for (int k2 = 0; k2 < loops.size; ++k2)
            depth += k2 != k && holds(loops[k2], loops[k]);
        if (counterclockwise(loops[k]) != (depth % 2 == 0))
            return kBadNesting;
    }
    return 0;
}

// ---- 3. Cells -----------------------------------------------------------------

// The first cell of a grid line's samples t[0..n-1] whose closed span
// [t[i], t[i+1]] reaches x from above (t[i+1] >= x), and the last whose
// span starts at or below x; the cells between meet [lo, hi].
int firstCellFrom(const double *t, int n, double lo) {
    int a = 0, b = n - 2;  // the cells
    while (a < b) {
        const int m = a + (b - a) / 2;
        if (t[m + 1] >= lo)
            b = m;
        else
            a = m + 1;
    }
    return a;
}

int lastCellTo(const double *t, int n, double hi) {
    int a = 0, b = n - 2;
    while (a < b) {
        const int m = a + (b - a + 1) / 2;
        if (t[m] <= hi)
            a = m;
        else
            b = m - 1;
    }
    return a;
}

// Whether edge e meets the closed cell [u0, u1] x [v0, v1], whose box its
// own box meets: unless all four corners lie strictly on one side of its
// line.
bool reaches(const Edge &e, double u0, double u1, double v0, double v1) {
    const int s[4] = {sideOf(e.a, e.b, UV{u0, v0}), sideOf(e.a, e.b, UV{u1, v0}), sideOf(e.a, e.b, UV{u1, v1}),
                      sideOf(e.a, e.b, UV{u0, v1})};
    return !((s[0] > 0 && s[1] > 0 && s[2] > 0 && s[3] > 0) || (s[0] < 0 && s[1] < 0 && s[2] < 0 && s[3] < 0));
}

// The group of loop k: loops that cut a common cell are one group (and so
// on, transitively), named by its least loop.  A union-find forest.
int groupOf(const TrimWork &w, int k) {
    while (w.link[k] != k)
        k = w.link[k];
    return k;
}

// Loops j and k: one group.
void joinGroups(TrimWork &w, int j, int k) {
    const int a = groupOf(w, j), b = groupOf(w, k);
    if (a < b)
        w.link[b] = a;
    else
        w.link[a] = b;
}

// A cell's flags in w.cut: a loop edge reaches its inside (it is cut), or
// runs along its left side (the cell to the left may wind otherwise).
const unsigned char kCut = 1, kEdgeOnLeft = 2;

// The middle of span i of the samples t, rounded: the cells' probes.
double midOf(const double *t, int i) { return t[i] + (t[i + 1] - t[i]) * 0.5; }

// Whether span i's middle lies strictly inside it (not so for a span of
// one or two units in the last place, whose middle rounds to an end).
bool probeInside(const double *t, int i) {
    const double m = midOf(t, i);
    return t[i] < m && m < t[i + 1];
}

// Flags in w.cut every cell of the grid gu[0..nu-1] x gv[0..nv-1] that a
// loop edge reaches (closed cells), except that an edge along a grid line
// cuts neither cell beside it, whose probes are strictly inside, but
// flags the side; false when out of memory.
bool cutCells(TrimWork &w, int loops, const double *gu, int nu, const double *gv, int nv) {
    const int cells = (nu - 1) * (nv - 1);
    if (!w.cut.reserve(cells) || !w.cellLoop.reserve(cells) || !w.link.reserve(loops))
        return false;
    w.cut.size = w.cellLoop.size = cells;
    for (int c = 0; c < cells; ++c)
        w.cut[c] = 0, w.cellLoop[c] = -1;
    w.link.size = loops;
    for (int k = 0; k < loops; ++k)
        w.link[k] = k;
    for (int k = 0; k < w.edge.size; ++k) {
        const Edge &e = w.edge[k];
        const Box b = boxOf(e);
        if (b.x1 < gu[0] || b.x0 > gu[nu - 1] || b.y1 < gv[0] || b.y0 > gv[nv - 1])
            continue;  // beyond the domain
        const int i0 = firstCellFrom(gu, nu, b.x0), i1 = lastCellTo(gu, nu, b.x1);
        const int j0 = firstCellFrom(gv, nv, b.y0), j1 = lastCellTo(gv, nv, b.y1);
        const bool vertical = b.x0 == b.x1, horizontal = b.y0 == b.y1;  // reaches every cell of its box
        for (int j = j0; j <= j1; ++j)
            for (int i = i0; i <= i1; ++i) {
                unsigned char &c = w.cut[j * (nu - 1) + i];
                const bool probes = probeInside(gu, i) && probeInside(gv, j);
                bool cuts;
                if (probes && vertical && (gu[i] == b.x0 || gu[i + 1] == b.x0)) {
                    if (gu[i] == b.x0)
                        c |= kEdgeOnLeft;
                    cuts = false;
                } else if (probes && horizontal && (gv[j] == b.y0 || gv[j + 1] == b.y0)) {
                    cuts = false;  // along the row's edge: each row finds its own winding
                } else {
                    cuts = vertical || horizontal || reaches(e, gu[i], gu[i + 1], gv[j], gv[j + 1]);
                }
                if (!cuts)
                    continue;
                c |= kCut;
                int &first = w.cellLoop[j * (nu - 1) + i];
                if (first < 0)
                    first = e.loop;
                else if (first != e.loop)
                    joinGroups(w, first, e.loop);
            }
    }
    for (int k = 0; k < loops; ++k)  // each loop linked to its group's own: groupOf in one step
        w.link[k] = groupOf(w, k);
    return true;
}

// Lists, for each row j of cells, the edges across its middle line v =
// middle[j] (holding their lower end, not their upper: rayCrossing's rule);
// false when out of memory.
bool listCrossers(TrimWork &w, const double *gv, int nv) {
    const int rows = nv - 1;
    if (!w.middle.reserve(rows) || !w.crosserStart.reserve(rows + 1))
        return false;
    w.middle.size = rows;
    w.crosserStart.size = rows + 1;
    for (int j = 0; j < rows; ++j) {
        w.middle[j] = midOf(gv, j);
        w.crosserStart[j] = 0;
    }
    w.crosserStart[rows] = 0;
    // Two passes: count each row's edges, each row's count summed into where
    // the row ends; then place each edge, moving that end back to its start.
    for (int pass = 0; pass < 2; ++pass) {
        for (int k = 0; k < w.edge.size; ++k) {
            const Edge &e = w.edge[k];
            const double lo = e.a.v < e.b.v ? e.a.v : e.b.v, hi = e.a.v < e.b.v ? e.b.v : e.a.v;
            for (int j = firstCellFrom(gv, nv, lo); j < rows && w.middle[j] < hi; ++j)
                if (w.middle[j] >= lo) {
                    if (pass == 0)
                        ++w.crosserStart[j];
                    else
                        w.crosser[--w.crosserStart[j]] = k;
                }
        }
        if (pass == 0) {
            for (int j = 0, sum = 0; j < rows; ++j)
                w.crosserStart[j] = sum += w.crosserStart[j];
            w.crosserStart[rows] = rows > 0 ? w.crosserStart[rows - 1] : 0;
            if (!w.crosser.reserve(w.crosserStart[rows]))
                return false;
            w.crosser.size = w.crosserStart[rows];
        }
    }
    return true;
}

// The loops' winding number at p, a point of row j's middle line that no
// edge reaches, leaving out the loops of group `skip` (-1: none): the edges
// across that line, exactly.
int windingAt(const TrimWork &w, int j, UV p, int skip) {
    int n = 0;
    for (int c = w.crosserStart[j]; c < w.crosserStart[j + 1]; ++c) {
        const Edge &e = w.edge[w.crosser[c]];
        if (w.link[e.loop] != skip)
            n += rayCrossing(e.a, e.b, p);
    }
    return n;
}

}  // namespace

#endif
