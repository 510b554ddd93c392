/* SPDX-License-Identifier: MIT */
// The polygons the tessellator's benchmark times (bench/tess.cpp), which
// bench/earcut.py times earcut on too (the benchmark writes them out with
// --shapes), and bench/tessone.cpp counts instructions for.
#ifndef SOFTGLU_BENCH_SHAPES_H
#define SOFTGLU_BENCH_SHAPES_H

#include <cmath>
#include <cstdint>
#include <vector>

namespace shapes {

struct Point {
    double x, y;
};
using Contour = std::vector<Point>;
// Contours of one polygon: the first is the outline, the rest its holes.
using Polygon = std::vector<Contour>;

const double kPi = 3.14159265358979323846;

// A wavy 7-lobed ring, r = 1 + 0.3 sin(7 theta), at n points from theta 0,
// scaled by `size`, counterclockwise (clockwise when `hole`).
inline Contour ring(int n, double size, bool hole) {
    Contour c;
    for (int i = 0; i < n; ++i) {
        const double t = 2.0 * kPi * i / n, r = size * (1.0 + 0.3 * std::sin(7.0 * t));
        c.push_back({r * std::cos(t), r * std::sin(t)});
    }
    if (hole)
        c = Contour(c.rbegin(), c.rend());
    return c;
}

// The ring alone: n vertices.
inline Polygon wavyRing(int n) { return {ring(n, 1.0, false)}; }

// The ring of n vertices with a hole, the same ring at half the size with
// n / 2 vertices.
inline Polygon wavyRingWithHole(int n) { return {ring(n, 1.0, false), ring(n / 2, 0.5, true)}; }

// One glyph-like outline (a 3-lobed ring, 48 points) with a round hole
// (24 points) at (x, y).
inline Polygon glyph(double x, double y) {
    Contour outer, hole;
    for (int i = 0; i < 48; ++i) {
        const double t = 2.0 * kPi * i / 48, r = 1.0 + 0.15 * std::sin(3.0 * t);
        outer.push_back({x + r * std::cos(t), y + r * std::sin(t)});
    }
    for (int i = 24; i > 0; --i) {
        const double t = 2.0 * kPi * i / 24;
        hole.push_back({x + 0.4 * std::cos(t), y + 0.4 * std::sin(t)});
    }
    return {outer, hole};
}

// `count` glyphs on a grid 40 wide, each its own polygon for earcut (which
// takes one outline with holes) and all one polygon for the tessellator.
inline std::vector<Polygon> glyphs(int count) {
    std::vector<Polygon> g;
    for (int k = 0; k < count; ++k)
        g.push_back(glyph(3.0 * (k % 40), 3.0 * (k / 40)));
    return g;
}

// A self-intersecting star of n vertices: vertex i at angle
// 2 pi (i + 3u) / n and radius 0.5 + 0.5v, u and v uniform in [0, 1) from
// a fixed linear congruential sequence, so each edge crosses a few of its
// neighbours (O(n) crossings in all).
inline Polygon randomStar(int n) {
    std::uint64_t s = 12345;
    const auto uniform = [&s] {
        s = s * 6364136223846793005u + 1442695040888963407u;
        return static_cast<double>(s >> 11) / 9007199254740992.0;
    };
    Contour c;
    for (int i = 0; i < n; ++i) {
        const double u = uniform(), v = uniform();
        const double t = 2.0 * kPi * (i + 3.0 * u) / n, r = 0.5 + 0.5 * v;
        c.push_back({r * std::cos(t), r * std::sin(t)});
    }
    return {c};
}

inline int vertexCount(const Polygon &p) {
    int n = 0;
    for (const Contour &c : p)
        n += static_cast<int>(c.size());
    return n;
}

}  // namespace shapes

#endif
