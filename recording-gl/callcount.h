// SPDX-License-Identifier: MIT
// Exactly how many GL calls each softglu call sends, from its counts alone
// (the library's loops, counted), so softglu-trace can refuse a call before
// making it.  Counts are exact integers: the largest calls send more than
// 2^64 (a sphere of INT_MAX slices and stacks sends about 2.8e19), and armel
// has no 128-bit integer, so a count is hi * 2^64 + lo.
#ifndef SOFTGLU_TOOLS_CALLCOUNT_H
#define SOFTGLU_TOOLS_CALLCOUNT_H

#include <cstdint>
#include <string>

namespace callcount {

struct Count {
    std::uint64_t hi = 0, lo = 0;
};

inline bool operator==(const Count &a, const Count &b) { return a.hi == b.hi && a.lo == b.lo; }
// Whether the count is above `limit`.
inline bool exceeds(const Count &c, std::uint64_t limit) { return c.hi != 0 || c.lo > limit; }
// In decimal, every digit.
std::string decimal(Count c);

Count sphere(int slices, int stacks);
Count cylinder(int slices, int stacks);
Count disk(int slices, int loops);
Count torus(int numc, int numt);
Count perspective();

}  // namespace callcount

#endif
