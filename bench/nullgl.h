/* SPDX-License-Identifier: MIT */
// GL entry points that take their arguments and do nothing else, for timing
// and counting the library's own work.  The program linking this exports
// them (ENABLE_EXPORTS) so libsoftglu binds to them.  Every argument is
// stored to a volatile sink, so no call can be skipped or simplified.
#ifndef SOFTGLU_BENCH_NULLGL_H
#define SOFTGLU_BENCH_NULLGL_H

#include <cstdint>

namespace nullgl {

// glVertex3f and glVertex2f calls so far.
extern std::uint64_t vertices;

}  // namespace nullgl

#endif
