/* SPDX-License-Identifier: MIT */
// The compatibility layer's sorts: a merge sort, a counting sort for small
// integer keys, and the helper that lends them a buffer from a byte array
// kept from one use to the next.  Both sorts are stable, so the one order
// they give is the same on every machine, and they need nothing from the
// C++ library.
//
// The sources that include this include src/exact.h first.  Everything here
// has internal linkage: it adds no symbol to the library or the archive.
#ifndef SOFTGLU_SRC_COMPAT_SORT_H
#define SOFTGLU_SRC_COMPAT_SORT_H

#include "array.h"

#include <limits.h>
#include <stddef.h>

namespace {

// Sorts x[0..n) by `less` (a strict order): runs of kRun sorted by
// insertion, then merged through `spare` (n elements): O(n log n), and, as
// both are stable, the one stable order, the same on every machine.
const int kRun = 16;

template <typename T, typename Less>
void mergeSort(T *x, T *spare, int n, Less less) {
    for (int lo = 0; lo < n; lo += kRun)
        for (int i = lo + 1; i < n && i < lo + kRun; ++i) {
            const T v = x[i];
            int j = i;
            for (; j > lo && less(v, x[j - 1]); --j)
                x[j] = x[j - 1];
            x[j] = v;
        }
    T *from = x, *to = spare;
    for (int width = kRun; width < n; width *= 2) {
        for (int lo = 0; lo < n; lo += 2 * width) {
            const int mid = lo + width < n ? lo + width : n, hi = mid + width < n ? mid + width : n;
            int i = lo, j = mid, k = lo;
            while (i < mid && j < hi)
                to[k++] = less(from[j], from[i]) ? from[j++] : from[i++];
            while (i < mid)
                to[k++] = from[i++];
            while (j < hi)
                to[k++] = from[j++];
        }
        T *swap = from;
        from = to;
        to = swap;
    }
    if (from != x)
        for (int i = 0; i < n; ++i)
            x[i] = from[i];
}

// Sorts from[0..n) into to by key(x), an int in [0, range), keeping the
// order of equal keys: a counting sort, O(n + range); start lends range + 1
// ints.
template <typename T, typename Key>
void countingSort(const T *from, T *to, int n, int *start, int range, Key key) {
    for (int b = 0; b <= range; ++b)
        start[b] = 0;
    for (int k = 0; k < n; ++k)
        ++start[key(from[k]) + 1];
    for (int b = 0; b < range; ++b)
        start[b + 1] += start[b];
    for (int k = 0; k < n; ++k)
        to[start[key(from[k])]++] = from[k];
}

// spare made room for n records of T, as their buffer; null when out of
// memory.
template <typename T>
T *spareFor(compat::Array<unsigned char> &spare, int n) {
    if (static_cast<size_t>(n) > static_cast<size_t>(INT_MAX) / sizeof(T) ||
        !spare.reserve(n * static_cast<int>(sizeof(T))))
        return nullptr;
    return reinterpret_cast<T *>(spare.at);  // malloc's memory suits any T
}

// Sorts a by `less`, spare lending the buffer; false when out of memory.
template <typename T, typename Less>
bool sortArray(compat::Array<unsigned char> &spare, compat::Array<T> &a, Less less) {
    T *buffer = spareFor<T>(spare, a.size);
    if (!buffer)
        return false;
    mergeSort(a.at, buffer, a.size, less);
    return true;
}

}  // namespace

#endif
