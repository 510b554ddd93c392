/* SPDX-License-Identifier: MIT */
// The calls the benchmark times and the callgrind script counts: each
// tessellator at a size a x b (its two counts, in signature order) with
// fixed lengths, and gluPerspective with fixed arguments.
#ifndef SOFTGLU_BENCH_CALLS_H
#define SOFTGLU_BENCH_CALLS_H

#include <GL/glu.h>

namespace calls {

const double kCylinderBase = 1.0, kCylinderTop = 0.5, kCylinderHeight = 2.0;
const double kDiskInner = 0.25, kDiskOuter = 1.0;
const float kSphereRadius = 1.5f;
const float kTorusRc = 0.25f, kTorusRt = 1.0f;
const double kFovy = 60.0, kAspect = 4.0 / 3.0, kNear = 0.5, kFar = 100.0;

inline void cylinder(int slices, int stacks) {
    gluCylinder(nullptr, kCylinderBase, kCylinderTop, kCylinderHeight, slices, stacks);
}
inline void disk(int slices, int loops) { gluDisk(nullptr, kDiskInner, kDiskOuter, slices, loops); }
inline void sphere(int slices, int stacks) { gluSphere(nullptr, kSphereRadius, slices, stacks); }
inline void torus(int numc, int numt) { drawTorus(kTorusRc, numc, kTorusRt, numt); }
inline void perspective() { gluPerspective(kFovy, kAspect, kNear, kFar); }

}  // namespace calls

#endif
