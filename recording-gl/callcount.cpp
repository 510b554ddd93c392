// SPDX-License-Identifier: MIT
#include "callcount.h"

namespace callcount {
namespace {

// a * m + b, exactly, for a, b below 2^64 and m below 2^32.
Count mulAdd(std::uint64_t a, std::uint32_t m, std::uint64_t b) {
    const std::uint64_t low = (a & 0xffffffffu) * m;  // each product < 2^64
    const std::uint64_t high = (a >> 32) * m + (low >> 32);
    Count c;
    c.lo = (high << 32) | (low & 0xffffffffu);
    c.hi = high >> 32;
    c.lo += b;
    c.hi += c.lo < b;
    return c;
}

// How often `for (i = 0; i < n; ++i)` runs: max(n, 0), at most 2^31.
std::uint32_t times(std::int64_t n) { return n > 0 ? static_cast<std::uint32_t>(n) : 0; }

// How often `for (j = 0; j <= n; ++j)` runs (64-bit j, as in the library).
std::uint64_t through(int n) { return times(std::int64_t{n} + 1); }

}  // namespace

std::string decimal(Count c) {
    std::uint32_t limb[4] = {static_cast<std::uint32_t>(c.hi >> 32), static_cast<std::uint32_t>(c.hi),
                             static_cast<std::uint32_t>(c.lo >> 32), static_cast<std::uint32_t>(c.lo)};
    std::string digits;
    do {
        std::uint64_t rest = 0;
        for (std::uint32_t &l : limb) {
            const std::uint64_t cur = (rest << 32) | l;
            l = static_cast<std::uint32_t>(cur / 10);
            rest = cur % 10;
        }
        digits.insert(digits.begin(), static_cast<char>('0' + rest));
    } while (limb[0] | limb[1] | limb[2] | limb[3]);
    return digits;
}

// Each fan: glBegin, the pole's normal, texture coordinate and vertex,
// glEnd, and per column a normal and a vertex (top) or a normal, texture
// coordinate and vertex (bottom).  Each band: glBegin, glEnd, and per column
// two normals, texture coordinates and vertices.
Count sphere(int slices, int stacks) {
    const std::uint64_t columns = through(slices);
    return mulAdd(2 + 6 * columns, times(stacks), 10 + 5 * columns);
}

// Per slice a strip: glBegin, glEnd, and per row two normals, texture
// coordinates and vertices.
Count cylinder(int slices, int stacks) { return mulAdd(2 + 6 * through(stacks), times(slices), 0); }

// One normal, then per loop a strip: glBegin, glEnd, and per step two
// texture coordinates and vertices.
Count disk(int slices, int loops) { return mulAdd(2 + 4 * through(slices), times(loops), 1); }

// Nothing at all for numt 0; otherwise per ring a strip: glBegin, glEnd, and
// per step two normals and vertices.
Count torus(int numc, int numt) {
    if (numt == 0)
        return Count{};
    return mulAdd(2 + 4 * through(numt), times(numc), 0);
}

Count perspective() { return Count{0, 1}; }

}  // namespace callcount
