// SPDX-License-Identifier: MIT
// The reference corpus's calls of the compatibility layer: gluPartialDisk,
// gluLookAt and gluOrtho2D.  Built with the switch that declares them; the
// rest of the corpus (tests/reference/corpus.cpp) calls the library without it.
#define SOFTGLU_COMPAT
#include <GL/glu.h>

#include "corpus.h"

namespace corpus {
namespace {


void addPartialDisk(std::vector<Case> &cases, double inner, double outer, int slices, int loops, double start,
                    double sweep) {
    addDrawCase(cases,
                label("gluPartialDisk(q, %.17g, %.17g, %d, %d, %.17g, %.17g)", inner, outer, slices, loops, start,
                      sweep),
                [=] { gluPartialDisk(nullptr, inner, outer, slices, loops, start, sweep); });
}

struct Camera {
    double eye[3], centre[3], up[3];
};

void addLookAt(std::vector<Case> &cases, const Camera &c) {
    addDrawCase(cases,
                label("gluLookAt(%.17g, %.17g, %.17g, %.17g, %.17g, %.17g, %.17g, %.17g, %.17g)", c.eye[0], c.eye[1],
                      c.eye[2], c.centre[0], c.centre[1], c.centre[2], c.up[0], c.up[1], c.up[2]),
                [=] {
                    gluLookAt(c.eye[0], c.eye[1], c.eye[2], c.centre[0], c.centre[1], c.centre[2], c.up[0], c.up[1],
                              c.up[2]);
                });
}

// A camera of decimals: up within 2000 of the origin, centre and eye within
// 50000, drawn in that order.
Camera randomCamera(Numbers &r) {
    Camera c{};
    for (double &v : c.up)
        v = r.decimal(-2000, 2000);
    for (double &v : c.centre)
        v = r.decimal(-50000, 50000);
    for (double &v : c.eye)
        v = r.decimal(-50000, 50000);
    return c;
}

void addOrtho2D(std::vector<Case> &cases, double left, double right, double bottom, double top) {
    addDrawCase(cases, label("gluOrtho2D(%.17g, %.17g, %.17g, %.17g)", left, right, bottom, top),
                [=] { gluOrtho2D(left, right, bottom, top); });
}

// The switch's gluPerspective (libsoftglu's is tests/reference/corpus.cpp's).
void addPerspective(std::vector<Case> &cases, double fovy, double aspect, double zNear, double zFar) {
    addDrawCase(cases,
                label("gluPerspective under SOFTGLU_COMPAT(%.17g, %.17g, %.17g, %.17g)", fovy, aspect, zNear, zFar),
                [=] { gluPerspective(fovy, aspect, zNear, zFar); });
}

// What the compatibility layer sends: gluPartialDisk over every form of
// angle and count, the cameras of gluLookAt, gluOrtho2D's projection.
}  // namespace

void addCompatCases(std::vector<Case> &cases) {
    // Whole, half and quarter turns (exact in radians), ordinary sectors,
    // negative and over-full sweeps, an empty one, non-finite angles.
    const double angles[][2] = {{0, 360},   {0, 180},    {0, 90},     {90, 90},      {270, 90},  {45, -90},
                                {30, 270},  {-30, -300}, {10, 400},   {10, -1000},   {350, 40},  {0, 0},
                                {0, -360},  {720, 90},   {123.456, -0.001}, {1e10, 30}, {0, kInf}, {0, -kInf},
                                {kNaN, 90}, {0, kNaN},   {kInf, 90},  {-0.0, 360}};
    const Counts counts[] = {{16, 2}, {1, 1}, {3, 1}, {0, 1}, {-1, 2}, {5, 0}, {7, -1}, {2, 3}};
    const double radii[][2] = {{0.25, 1}, {0, 1.5}, {1, 0.25}, {0.5, 0.5}, {0, 0}, {kNaN, 1}};
    int n = 0;
    for (const auto &a : angles)
        for (int k = 0; k < 3; ++k, ++n) {
            const Counts c = counts[n % 8];
            const auto &r = radii[n % 6];
            addPartialDisk(cases, r[0], r[1], c.a, c.b, a[0], a[1]);
        }
    // Long enough for the accumulated ring radii and every step's angle.
    addPartialDisk(cases, 0.1, 1.3, 300, 2, 15, 250);
    addPartialDisk(cases, 0.2, 2.7, 4, 300, -40, 100);
    addPartialDisk(cases, 0, 1, 360, 3, 0, 360);
    addPartialDisk(cases, 0.3, 0.9, 97, 5, 200, -333.3);

    const Camera cameras[] = {
        {{0, 5, 10}, {0, 0, 0}, {0, 1, 0}},
        {{1.1, 2.2, 3.3}, {-0.7, 0.4, 9.9}, {0.3, -0.2, 1}},
        {{-3, 0.5, -7}, {2, 2, 2}, {0, 0, 1}},
        {{1, 2, 3}, {1, 2, 3}, {0, 1, 0}},            // the eye on the centre
        {{0, 0, 5}, {0, 0, 0}, {0, 0, 1}},            // up along the view
        {{0, 0, 5}, {0, 0, 0}, {0, 0, -3}},           // up against it
        {{2, 1, 0}, {0, 0, 0}, {0, 0, 0}},            // no up at all
        {{1, 1, 1}, {0, 0, 0}, {1, 1, 1}},            // up along a diagonal view: ties
        {{1e-300, 2e-300, 3e-300}, {0, 0, 0}, {0, 1e-300, 0}},
        {{1e300, -2e300, 3e300}, {-1e300, 0, 0}, {0, 1e300, 1e300}},
        {{1e-160, 0, 0}, {0, 1e-160, 0}, {0, 0, 1}},  // squares below the normal range
        {{5e-324, 0, 0}, {0, 0, 0}, {0, 1, 0}},       // a subnormal direction
        {{kInf, 0, 0}, {0, 0, 0}, {0, 1, 0}},
        {{0, 0, 0}, {0, 0, -1}, {kNaN, 1, 0}},
    };
    for (const Camera &c : cameras)
        addLookAt(cases, c);
    Numbers r(20261209);
    for (int i = 0; i < 40; ++i) {
        addLookAt(cases, randomCamera(r));
    }

    addOrtho2D(cases, 0, 640, 0, 480);
    addOrtho2D(cases, -1, 1, -1, 1);
    addOrtho2D(cases, 0, 0, 0, 0);
    addOrtho2D(cases, 1e300, -1e300, kNaN, kInf);

    // gluPerspective where glFrustum refuses the frustum: the perspective
    // matrix (zNear 0 or negative, zFar negative, a top that underflows to
    // 0; decimals, so that each operation's rounding shows), or nothing
    // where it is not finite (aspect 0 or tiny, equal planes, fovy 0, NaN,
    // an infinite zFar).  Where glFrustum takes it, libsoftglu's frustum:
    // NaN bounds from a fovy whose product with pi overflows, or from a
    // NaN aspect, included.
    const double perspectives[][4] = {
        {45, 1.6, 0, 1000},      {37.3, 1.337, -0.123, 456.7}, {75.5, 0.618, 0, 0.25},  {52.1, 1.777, 2.5, -40.25},
        {45, 1, 5e-324, 10},     {179.9, 1.25, -3.3, 77.7},    {-60, 1.5, 0, 100},      {30, -2, -1, -5},
        {45, 1e-300, 0, 10},     {45, 0, 0, 10},               {45, 1e-310, 0, 10},     {45, 1, 3, 3},
        {0, 1, 1, 10},           {0, 1, 0, 10},                {45, 1, 0, 0},           {kNaN, 1, 0, 10},
        {45, 1, 0, kInf},        {45, 1.6, 1, 100},            {1e308, 1, 1, 10},       {45, kNaN, 1, 10}};
    for (const auto &p : perspectives)
        addPerspective(cases, p[0], p[1], p[2], p[3]);
}

// Ordinary compatibility calls with decimal arguments, for the broad set.
void addVariedCompatCases(std::vector<Case> &cases, std::uint64_t seed, int perFunction, int scale) {
    Numbers r(seed);
    for (int i = 0; i < perFunction; ++i) {
        const double sweep = r.decimal(-400000, 400000);
        const double start = r.decimal(-360000, 360000);
        const double inner = r.decimal(0, 1500);
        const int loops = r.count(1, 5 * scale);
        const int slices = r.count(1, 14 * scale);
        const double width = r.decimal(0, 2500);
        addPartialDisk(cases, inner, inner + width, slices, loops, start, sweep);
    }
    for (int i = 0; i < perFunction; ++i) {
        addLookAt(cases, randomCamera(r));
    }
}

}  // namespace corpus
