// SPDX-License-Identifier: MIT
// meshFault: what is wrong with a triangulation, or null when nothing is.
// The tessellator's checking builds (SOFTGLU_CHECK_INVARIANTS: sanitizers,
// fuzzing) run it on each polygon's constrained triangulation; the unit
// tests run it on small hand-made meshes.  Header-only, so that it costs
// the other builds nothing.
//
// A triangle t has corners t.v[0..2] and neighbours t.n[0..2], n[i] being
// the triangle across v[i]->v[i+1] or -1 (the hull).  The rules, each in
// one pass:
//  1. neighbours are symmetric: the triangle across v[i]->v[i+1] has the
//     edge v[i+1]->v[i], and across that edge, t;
//  2. every triangle is counterclockwise: ccw(at(v0), at(v1), at(v2)), an
//     exact orientation test;
//  3. every constraint (lo, hi) is an edge: isEdge(lo, hi).
#ifndef SOFTGLU_COMPAT_MESHCHECK_H
#define SOFTGLU_COMPAT_MESHCHECK_H

namespace compat {

template <typename Triangle, typename At, typename Ccw, typename Constraint, typename IsEdge>
const char *meshFault(const Triangle *tri, int n, At at, Ccw ccw, const Constraint *constraint, int constraints,
                      IsEdge isEdge) {
    for (int t = 0; t < n; ++t)
        for (int i = 0; i < 3; ++i) {
            const int u = tri[t].n[i];
            if (u < 0)
                continue;
            if (u >= n)
                return "a neighbour out of range";
            const int p = tri[t].v[i], q = tri[t].v[i == 2 ? 0 : i + 1];
            int j = 0;
            while (j < 3 && !(tri[u].v[j] == q && tri[u].v[j == 2 ? 0 : j + 1] == p))
                ++j;
            if (j == 3 || tri[u].n[j] != t)
                return "neighbours not symmetric";
        }
    for (int t = 0; t < n; ++t)
        if (!ccw(at(tri[t].v[0]), at(tri[t].v[1]), at(tri[t].v[2])))
            return "a triangle not counterclockwise";
    for (int c = 0; c < constraints; ++c)
        if (!isEdge(constraint[c].lo, constraint[c].hi))
            return "a constraint not an edge";
    return nullptr;
}

}  // namespace compat

#endif
