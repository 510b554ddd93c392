// SPDX-License-Identifier: MIT
// Array<T>: the compatibility layer's growable array of plain records, in
// malloc'd memory (the layer needs nothing from libstdc++).  It has no
// constructor or destructor: init() before use, release() to free, and
// every growth (reserve, push) reports failure, for GLU_OUT_OF_MEMORY,
// instead of throwing.
#ifndef SOFTGLU_COMPAT_ARRAY_H
#define SOFTGLU_COMPAT_ARRAY_H

#include <limits.h>
#include <stdint.h>
#include <stdlib.h>

namespace compat {

template <typename T>
struct Array {
    T *at;
    int size, capacity;
    void init() {
        at = nullptr;
        size = capacity = 0;
    }
    void release() {
        free(at);
        init();
    }
    bool reserve(int n) {
        if (n <= capacity)
            return true;
        int c = capacity ? capacity : 16;
        while (c < n) {
            if (c > INT_MAX / 2)
                return false;
            c *= 2;
        }
        if (static_cast<size_t>(c) > SIZE_MAX / sizeof(T))
            return false;
        void *grown = realloc(at, static_cast<size_t>(c) * sizeof(T));
        if (!grown)
            return false;
        at = static_cast<T *>(grown);
        capacity = c;
        return true;
    }
    bool push(const T &x) {
        if (size == capacity && !reserve(size + 1))
            return false;
        at[size++] = x;
        return true;
    }
    T &operator[](int i) { return at[i]; }
    const T &operator[](int i) const { return at[i]; }
};

}  // namespace compat

#endif
