/* SPDX-License-Identifier: MIT */
// Helpers for tests: record what a call sends to GL and read it back as GL
// would see it.
#ifndef SOFTGLU_TESTS_STREAM_H
#define SOFTGLU_TESTS_STREAM_H

#include <GL/glu.h>

#include "glrecord.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

using glrecord::Call;
using glrecord::Op;
using glrecord::Stream;

// Everything `draw` sends to GL.
template <typename F>
Stream record(F &&draw) {
    glrecord::Recording rec;
    std::forward<F>(draw)();
    return std::move(rec.calls);
}

using glrecord::Primitive;
using glrecord::Vertex;

// glrecord::replay, failing the test on unbalanced or nested glBegin/glEnd
// or a vertex outside a primitive.
std::vector<Primitive> primitives(const Stream &s, const float normal[3] = nullptr,
                                  const float tex[2] = nullptr);

std::size_t count(const Stream &s, Op op);

// The triangles GL makes of a quad strip or a triangle fan, each in the
// winding GL uses to decide its facing (counterclockwise is front).
struct Triangle {
    Vertex v[3];
};
std::vector<Triangle> triangles(const Primitive &p);

// The cross product (b - a) x (c - a) in double; zero for a degenerate
// triangle.
struct Vec3 {
    double x, y, z;
};
Vec3 faceNormal(const Triangle &t);
Vec3 centroid(const Triangle &t);
inline double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline double length(Vec3 a) { return __builtin_sqrt(dot(a, a)); }
inline Vec3 vec(const float p[3]) { return {p[0], p[1], p[2]}; }

inline std::uint32_t bits(float v) {
    std::uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

inline std::uint64_t bits(double v) {
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// True when both streams are the same calls with the same argument bits;
// the first difference goes to the test log.
::testing::AssertionResult sameStream(const Stream &a, const Stream &b);

#endif
