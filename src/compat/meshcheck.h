// SPDX-License-Identifier: MIT
// meshFault: what is wrong with a polygon's triangles, or null when nothing
// is.  The tessellator's checking builds (SOFTGLU_CHECK_INVARIANTS:
// sanitizers, fuzzing) run it on each polygon's triangles; the unit tests
// run it on small hand-made ones.  Header-only, so that it costs the other
// builds nothing.
//
// A triangle t has corners t.v[0..2].  The rules, each in one pass:
//  1. every triangle is counterclockwise: ccw(at(v0), at(v1), at(v2)), an
//     exact orientation test;
//  2. the triangles meet edge to edge: no directed edge p->q is in two
//     triangles, and q->p is in one unless onBoundary(t, p, q), the region
//     on the right of t's edge p->q being left out;
//  3. each of the `sides` directed edges p->q for which side(k, p, q) is
//     true (the graph's edges, each way round that has a selected region
//     on its left) is an edge of a triangle.
// keys lends room for 6n numbers (the directed edges and the sort's
// buffer).
#ifndef SOFTGLU_COMPAT_MESHCHECK_H
#define SOFTGLU_COMPAT_MESHCHECK_H

#include "sort.h"

#include <stdint.h>

namespace compat {

inline uint64_t directed(int p, int q) { return static_cast<uint64_t>(static_cast<uint32_t>(p)) << 32 | static_cast<uint32_t>(q); }

// Whether key k is among sorted[0..n).
inline bool hasKey(const uint64_t *sorted, int n, uint64_t k) {
    int lo = 0, hi = n;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (sorted[mid] < k)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo < n && sorted[lo] == k;
}

template <typename Triangle, typename At, typename Ccw, typename OnBoundary, typename Side>
const char *meshFault(const Triangle *tri, int n, At at, Ccw ccw, OnBoundary onBoundary, int sides, Side side,
                      uint64_t *keys) {
    for (int t = 0; t < n; ++t)
        if (!ccw(at(tri[t].v[0]), at(tri[t].v[1]), at(tri[t].v[2])))
            return "a triangle not counterclockwise";
    for (int t = 0; t < n; ++t)
        for (int i = 0; i < 3; ++i)
            keys[3 * t + i] = directed(tri[t].v[i], tri[t].v[(i + 1) % 3]);
    mergeSort(keys, keys + 3 * n, 3 * n, [](uint64_t a, uint64_t b) { return a < b; });
    for (int k = 1; k < 3 * n; ++k)
        if (keys[k] == keys[k - 1])
            return "two triangles overlap";
    for (int t = 0; t < n; ++t)
        for (int i = 0; i < 3; ++i) {
            const int p = tri[t].v[i], q = tri[t].v[(i + 1) % 3];
            if (!hasKey(keys, 3 * n, directed(q, p)) && !onBoundary(tri[t], p, q))
                return "a gap between triangles";
        }
    for (int k = 0; k < sides; ++k) {
        int p, q;
        if (side(k, p, q) && !hasKey(keys, 3 * n, directed(p, q)))
            return "a graph edge not an edge of the triangles";
    }
    return nullptr;
}

}  // namespace compat

#endif
