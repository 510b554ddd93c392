/* SPDX-License-Identifier: MIT */
// A packed tree of boxes, for finding every box that meets a given one.
//
// The tree is packed bottom-up (Hilbert-free "flat" R-tree): the boxes
// sorted by the Morton code of their centres on a 2^16 grid, then grouped
// kFanout at a time into parent boxes, level by level.  O(n log n) to
// build, and O(log n + what is found) per lookup when boxes near one
// another are few.  The Morton codes and the grid only order the boxes:
// what is found is every box that meets the one looked up, whatever the
// order.
//
// The tree lives in arrays its user owns and passes in: node, the boxes
// level by level (the leaves first, in tree order); levelStart, where each
// level begins; order, which box each leaf is; and the sort's key and
// spare buffer (sort.h).
//
// The sources that include this include src/exact.h first.  Everything here
// has internal linkage: it adds no symbol to the library or the archive.
#ifndef SOFTGLU_SRC_COMPAT_BOXTREE_H
#define SOFTGLU_SRC_COMPAT_BOXTREE_H

#include "array.h"
#include "sort.h"

#include <stdint.h>

namespace {

struct Box {
    double x0, y0, x1, y1;
};

const int kFanout = 16;

bool meets(const Box &p, const Box &q) { return p.x0 <= q.x1 && q.x0 <= p.x1 && p.y0 <= q.y1 && q.y0 <= p.y1; }

Box unite(const Box &p, const Box &q) {
    return Box{p.x0 < q.x0 ? p.x0 : q.x0, p.y0 < q.y0 ? p.y0 : q.y0, p.x1 > q.x1 ? p.x1 : q.x1, p.y1 > q.y1 ? p.y1 : q.y1};
}

// x's place on a 2^16 grid over [lo, lo + span]; only orders boxes.
uint32_t gridOf(double x, double lo, double span) {
    const double g = span > 0.0 ? (x - lo) / span * 65535.0 : 0.0;
    return g > 0.0 ? static_cast<uint32_t>(static_cast<int>(g < 65535.0 ? g : 65535.0)) : 0u;
}

uint32_t spread(uint32_t v) {
    v = (v | (v << 8)) & 0x00FF00FFu;
    v = (v | (v << 4)) & 0x0F0F0F0Fu;
    v = (v | (v << 2)) & 0x33333333u;
    return (v | (v << 1)) & 0x55555555u;
}

// Sorts order, the indices 0..n-1 in turn, by key, ties by index: a
// counting sort on each byte of the key, lowest first, each stable, so
// the order is the merge sort's (the one order by key and index).  Four
// passes of O(n + 256) through spare, ending where they began.
// Faster than the merge sort from a few hundred boxes.
const int kRadixFrom = 256;

bool radixSort(compat::Array<int> &order, compat::Array<unsigned char> &spare, const uint32_t *key) {
    const int n = order.size;
    int start[257];
    int *from = order.at, *to = spareFor<int>(spare, n);
    if (!to)
        return false;
    for (int shift = 0; shift < 32; shift += 8) {
        countingSort(from, to, n, start, 256, [key, shift](int s) { return static_cast<int>((key[s] >> shift) & 255u); });
        int *swap = from;
        from = to;
        to = swap;
    }
    return true;
}

// Each box's Morton code of its centre, in key.
bool mortonKeys(const compat::Array<Box> &box, compat::Array<uint32_t> &key) {
    Box all = box[0];
    for (int s = 1; s < box.size; ++s)
        all = unite(all, box[s]);
    const double w = all.x1 - all.x0, h = all.y1 - all.y0;
    if (!key.reserve(box.size))
        return false;
    for (int s = 0; s < box.size; ++s) {
        const Box &b = box[s];
        key[s] = spread(gridOf(0.5 * b.x0 + 0.5 * b.x1, all.x0, w)) |
                 (spread(gridOf(0.5 * b.y0 + 0.5 * b.y1, all.y0, h)) << 1);
    }
    key.size = box.size;
    return true;
}

// Whether box s's leaf comes before box t's in the tree: the leaves'
// order is by key, ties by index.
bool leafBefore(const uint32_t *key, int s, int t) { return key[s] < key[t] || (key[s] == key[t] && s < t); }

// The boxes in Morton order of their centres, in order.
bool orderBoxes(const compat::Array<Box> &box, compat::Array<uint32_t> &key, compat::Array<int> &order,
                compat::Array<unsigned char> &spare) {
    if (!mortonKeys(box, key) || !order.reserve(box.size))
        return false;
    for (int s = 0; s < box.size; ++s)
        order[s] = s;
    order.size = box.size;
    const uint32_t *k = key.at;
    if (order.size < kRadixFrom)
        return sortArray(spare, order, [k](int s, int t) { return leafBefore(k, s, t); });
    return radixSort(order, spare, k);
}

// The tree's levels over the boxes in order (orderBoxes), leaves first,
// each node the union of kFanout below.  levelStart[k] is where level k
// begins in node; one more entry ends it.  node and levelStart start empty.
bool packTree(const compat::Array<Box> &box, const compat::Array<int> &order, compat::Array<Box> &node,
              compat::Array<int> &levelStart) {
    if (!levelStart.push(0))
        return false;
    for (int k = 0; k < order.size; ++k)
        if (!node.push(box[order[k]]))
            return false;
    // At least one level above the leaves, the root's when it is the only one.
    for (int from = 0, to = node.size; from == 0 || to - from > 1; from = to, to = node.size) {
        if (!levelStart.push(to))
            return false;
        for (int k = from; k < to; k += kFanout) {
            Box b = node[k];
            for (int c = k + 1; c < to && c < k + kFanout; ++c)
                b = unite(b, node[c]);
            if (!node.push(b))
                return false;
        }
    }
    return levelStart.push(node.size);
}

// The leaves whose boxes meet q, in hits by their place in the tree
// (order names their boxes), the last first: down the tree from the root,
// into each child whose box meets q, the last child first.  The stack holds at most
// kFanout nodes per level, and there are at most 8 levels (16^8 = 2^32).
bool lookUp(const compat::Array<Box> &node, const compat::Array<int> &levelStart, compat::Array<int> &hits,
            const Box &q) {
    int stack[2 * 32 * kFanout], size = 0;
    hits.size = 0;
    const int root = levelStart.size - 2;  // the root's level
    if (meets(node[levelStart[root]], q)) {
        stack[size++] = root;
        stack[size++] = 0;
    }
    while (size > 0) {
        const int i = stack[--size], level = stack[--size];
        const int first = levelStart[level - 1], below = levelStart[level] - first;
        const int end = below < (i + 1) * kFanout ? below : (i + 1) * kFanout;
        if (level == 1) {
            for (int c = end - 1; c >= i * kFanout; --c)
                if (meets(node[c], q) && !hits.push(c))
                    return false;
            continue;
        }
        for (int c = i * kFanout; c < end; ++c)
            if (meets(node[first + c], q)) {
                stack[size++] = level - 1;
                stack[size++] = c;
            }
    }
    return true;
}

}  // namespace

#endif
