// SPDX-License-Identifier: MIT
// The reference corpus's calls of the projection helpers: gluProject,
// gluUnProject and gluUnProject4 (their results and return values) and
// gluPickMatrix (its stream).  Built with the switch that declares them.
#define SOFTGLU_COMPAT
#include <GL/glu.h>

#include "corpus.h"

#include <cinttypes>
#include <cmath>
#include <cstring>

namespace corpus {
namespace {

std::uint64_t bitsOf(double v) {
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

struct Matrix {
    std::string name;
    double m[16];  // column-major
};

struct Viewport {
    GLint v[4];
};

// Doubles as the results print them: decimal and bits; any NaN as "nan",
// whose sign and payload are the processor's.
std::string results(GLint status, const double *out, int n) {
    std::string s = status == GLU_TRUE ? "GLU_TRUE" : status == GLU_FALSE ? "GLU_FALSE" : label("%d", status);
    for (int i = 0; i < n; ++i)
        s += std::isnan(out[i]) ? std::string(" nan") : label(" %.17g 0x%016" PRIx64, out[i], bitsOf(out[i]));
    return s;
}

// Outputs start at this, so a call that returns GLU_FALSE shows it wrote nothing.
const double kUnwritten = -1234.5;

std::string viewportLabel(const Viewport &v) { return label("%d %d %d %d", v.v[0], v.v[1], v.v[2], v.v[3]); }

void addProject(std::vector<Case> &cases, double x, double y, double z, const Matrix &model, const Matrix &proj,
                const Viewport &view) {
    cases.push_back({label("gluProject(%.17g, %.17g, %.17g, model %s, proj %s, viewport %s)", x, y, z,
                           model.name.c_str(), proj.name.c_str(), viewportLabel(view).c_str()),
                     [=] {
                         double out[3] = {kUnwritten, kUnwritten, kUnwritten};
                         const GLint r = gluProject(x, y, z, model.m, proj.m, view.v, out, out + 1, out + 2);
                         return results(r, out, 3);
                     }});
}

void addUnProject(std::vector<Case> &cases, double x, double y, double z, const Matrix &model, const Matrix &proj,
                  const Viewport &view) {
    cases.push_back({label("gluUnProject(%.17g, %.17g, %.17g, model %s, proj %s, viewport %s)", x, y, z,
                           model.name.c_str(), proj.name.c_str(), viewportLabel(view).c_str()),
                     [=] {
                         double out[3] = {kUnwritten, kUnwritten, kUnwritten};
                         const GLint r = gluUnProject(x, y, z, model.m, proj.m, view.v, out, out + 1, out + 2);
                         return results(r, out, 3);
                     }});
}

void addUnProject4(std::vector<Case> &cases, double x, double y, double z, double w, const Matrix &model,
                   const Matrix &proj, const Viewport &view, double nearVal, double farVal) {
    cases.push_back({label("gluUnProject4(%.17g, %.17g, %.17g, %.17g, model %s, proj %s, viewport %s, %.17g, %.17g)",
                           x, y, z, w, model.name.c_str(), proj.name.c_str(), viewportLabel(view).c_str(), nearVal,
                           farVal),
                     [=] {
                         double out[4] = {kUnwritten, kUnwritten, kUnwritten, kUnwritten};
                         const GLint r = gluUnProject4(x, y, z, w, model.m, proj.m, view.v, nearVal, farVal, out,
                                                       out + 1, out + 2, out + 3);
                         return results(r, out, 4);
                     }});
}

void addPickMatrix(std::vector<Case> &cases, double x, double y, double dx, double dy, const Viewport &view) {
    addDrawCase(cases,
                label("gluPickMatrix(%.17g, %.17g, %.17g, %.17g, viewport %s)", x, y, dx, dy,
                      viewportLabel(view).c_str()),
                [=] { gluPickMatrix(x, y, dx, dy, view.v); });
}

// A matrix of decimals in [-2, 2], each its own statement, named `name`.
Matrix decimalMatrix(Numbers &r, std::string name) {
    Matrix m{std::move(name), {}};
    for (double &v : m.m)
        v = r.decimal(-2000, 2000);
    return m;
}

// What a program's cameras and projections look like, and every way a
// matrix goes wrong: singular (zero, flattening, rank 2), singular only in
// exact arithmetic, zeros on the diagonal, pivots that tie, tiny and huge
// scales whose products underflow or overflow, subnormal, infinite and NaN
// entries.
const Matrix kMatrices[] = {
    {"identity", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
    {"camera", {0.894427191, -0.182574186, 0.408248290, 0, 0, 0.912870929, 0.408248290, 0, -0.447213595,
                -0.365148372, 0.816496581, 0, 0.3, -0.7, -7.348469228, 1}},
    {"perspective 60 4:3 0.1 100", {1.299038105676658, 0, 0, 0, 0, 1.7320508075688772, 0, 0, 0, 0,
                                    -1.002002002002002, -1, 0, 0, -0.2002002002002002, 0}},
    {"ortho -4 4 -3 3 1 50", {0.25, 0, 0, 0, 0, 0.3333333333333333, 0, 0, 0, 0, -0.04081632653061224, 0, 0, 0,
                              -1.0408163265306123, 1}},
    {"zero", {}},
    {"flat y", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
    {"rank 2", {1, 2, 3, 4, 2, 4, 6, 8, 0.5, 0.25, 0.125, 1, 1, 0.5, 0.25, 2}},
    {"singular in exact arithmetic", {0.1, 0.4, 0.7, 0, 0.2, 0.5, 0.8, 0, 0.3, 0.6, 0.9, 0, 0, 0, 0, 1}},
    {"z and w swapped", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0}},
    {"zero diagonal", {0, 0.3, 0.7, 0.2, 0.9, 0, 0.4, 0.1, 0.6, 0.8, 0, 0.5, 0.25, 0.35, 0.45, 0}},
    {"tied pivots", {0.7, -0.7, 0.7, -0.7, 0.3, 0.9, -0.3, 0.1, -0.6, 0.2, 0.6, 0.4, 0.05, 0.15, 0.25, 0.35}},
    {"tiny", {1e-300, 0, 0, 0, 0, 2e-300, 0, 0, 0, 0, -3e-300, 0, 0, 0, 0, 1e-300}},
    {"small", {1.5e-160, 2e-161, 0, 0, 0, 1e-160, 0, 0, 3e-161, 0, 1e-160, 0, 1e-161, 0, 0, 1e-160}},
    {"huge", {1e300, 0, 0, 0, 0, 2e300, 0, 0, 0, 0, -1e300, 0, 5e299, 0, 0, 1e300}},
    {"large", {1e160, 3e159, 0, 0, 0, 2e160, 0, 0, 0, 1e159, 1e160, 0, 0, 0, 0, 1e160}},
    {"subnormal", {5e-324, 0, 0, 0, 0, 5e-324, 0, 0, 0, 0, 5e-324, 0, 0, 0, 0, 5e-324}},
    {"infinite", {1, 0, 0, 0, 0, kInf, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
    {"NaN", {1, 0, 0, 0, 0, 1, 0, 0, kNaN, 0, 1, 0, 0, 0, 0, 1}},
};

const Viewport kViewports[] = {
    {{0, 0, 640, 480}}, {{20, 30, 200, 150}}, {{-100, 50, 1, 1}},           {{0, 0, 0, 480}},
    {{0, 0, 640, 0}},   {{0, 0, -640, 480}},  {{2147483647, -2147483647 - 1, 2147483647, 2147483647}},
};

}  // namespace

void addProjectionCases(std::vector<Case> &cases) {
    const Matrix &identity = kMatrices[0], &camera = kMatrices[1], &perspective = kMatrices[2],
                 &ortho = kMatrices[3];
    const Viewport &screen = kViewports[0];
    const std::size_t matrices = sizeof kMatrices / sizeof kMatrices[0];

    // gluProject: ordinary points through the camera and both projections,
    // every matrix as the model-view, and every viewport.
    const double points[][3] = {{0, 0, 0},        {0.5, -0.25, -3},   {1.25, 2.5, 0.75},  {-7.3, 0.001, 12.9},
                                {0, 0, 7.348469228}, {1e-300, -2e-300, 3e-300}, {1e300, 1e300, -1e300},
                                {kInf, 0, -1},    {0, kNaN, -1},      {-0.0, -0.0, -0.0}};
    for (const auto &p : points) {
        addProject(cases, p[0], p[1], p[2], camera, perspective, screen);
        addProject(cases, p[0], p[1], p[2], camera, ortho, kViewports[1]);
    }
    addProject(cases, 0.5, 0.5, 0, identity, perspective, screen);  // the eye's plane: w = 0
    for (std::size_t i = 0; i < matrices; ++i)
        addProject(cases, 0.3, -0.6, -2.5, kMatrices[i], perspective, screen);
    for (const Viewport &v : kViewports)
        addProject(cases, 1.1, 0.2, -4, camera, perspective, v);

    // gluUnProject: window points through the same, every matrix as the
    // model-view and as the projection, and every viewport.
    const double windows[][3] = {{320, 240, 0.5},   {0, 0, 0},         {640, 480, 1},     {12.5, 470.25, 0.999},
                                 {321.7, 17.3, 0.25}, {1e300, -1e300, 0.5}, {1e-300, 5e-324, 1e-300},
                                 {kInf, 240, 0.5},  {320, 240, kNaN},  {-0.0, -0.0, -0.0}};
    for (const auto &w : windows) {
        addUnProject(cases, w[0], w[1], w[2], camera, perspective, screen);
        addUnProject(cases, w[0], w[1], w[2], camera, ortho, kViewports[1]);
    }
    for (std::size_t i = 0; i < matrices; ++i) {
        addUnProject(cases, 123.25, 321.5, 0.75, kMatrices[i], perspective, screen);
        addUnProject(cases, 400.5, 100.25, 0.25, identity, kMatrices[i], screen);
        addUnProject(cases, 17.75, 451.5, 0.5, kMatrices[i], kMatrices[i], screen);
    }
    for (const Viewport &v : kViewports)
        addUnProject(cases, 150.5, 75.25, 0.125, camera, perspective, v);
    addUnProject(cases, 5, 5, 0.5, identity, kMatrices[8], screen);  // w = 0: a point at infinity

    // gluUnProject4: clip w and depth ranges, ordinary, empty and reversed.
    const double clipWs[] = {1, 0.5, 0, -2, kNaN};
    const double ranges[][2] = {{0, 1}, {0.25, 0.75}, {0.5, 0.5}, {1, 0}, {0, kInf}};
    for (double w : clipWs)
        for (const auto &range : ranges)
            addUnProject4(cases, 210.5, 99.75, 0.6, w, camera, perspective, screen, range[0], range[1]);
    for (std::size_t i = 0; i < matrices; ++i)
        addUnProject4(cases, 210.5, 99.75, 0.6, 1, identity, kMatrices[i], kViewports[1], 0, 1);
    addUnProject4(cases, 5, 5, 0.5, 1, identity, kMatrices[8], screen, 0, 1);  // w = 0 is returned

    // gluPickMatrix: ordinary regions, one pixel, regions of no size or a
    // NaN one, infinite and tiny ones, every viewport.
    const double regions[][4] = {{320, 240, 5, 5},     {12.5, 470.25, 3, 7},  {0, 0, 1, 1},      {320, 240, 0, 5},
                                 {320, 240, 5, -1},    {320, 240, -0.0, 1},   {320, 240, kNaN, 5}, {320, 240, 5, kNaN},
                                 {320, 240, kInf, 5},  {320, 240, 1e-300, 1e-300}, {1e300, -1e300, 2, 2},
                                 {kNaN, kInf, 2, 2}};
    for (const auto &r : regions)
        addPickMatrix(cases, r[0], r[1], r[2], r[3], screen);
    for (const Viewport &v : kViewports)
        addPickMatrix(cases, 101.3, 77.7, 4, 2.5, v);

    // Ordinary calls with decimal matrices and arguments.
    Numbers r(20261210);
    for (int i = 0; i < 20; ++i) {
        const Matrix model = decimalMatrix(r, label("decimal %d", 2 * i));
        const Matrix proj = decimalMatrix(r, label("decimal %d", 2 * i + 1));
        const double z = r.decimal(-5000, 5000), y = r.decimal(-5000, 5000), x = r.decimal(-5000, 5000);
        addProject(cases, x, y, z, model, proj, screen);
        const double wz = r.decimal(0, 1000), wy = r.decimal(0, 480000), wx = r.decimal(0, 640000);
        addUnProject(cases, wx, wy, wz, model, proj, kViewports[1]);
        const double farVal = r.decimal(500, 1000), nearVal = r.decimal(0, 500), clipW = r.decimal(-2000, 2000);
        addUnProject4(cases, wx, wy, wz, clipW, model, proj, screen, nearVal, farVal);
        const double dy = r.decimal(1, 20000), dx = r.decimal(1, 20000);
        addPickMatrix(cases, wx, wy, dx, dy, kViewports[1]);
    }
}

// Ordinary projection calls with decimal arguments, for the broad set.
void addVariedProjectionCases(std::vector<Case> &cases, std::uint64_t seed, int perFunction) {
    Numbers r(seed);
    for (int i = 0; i < perFunction; ++i) {
        const Matrix model = decimalMatrix(r, label("broad %d", 2 * i));
        const Matrix proj = decimalMatrix(r, label("broad %d", 2 * i + 1));
        const Viewport view{{r.count(-100, 100), r.count(-100, 100), r.count(1, 2000), r.count(1, 2000)}};
        const double z = r.decimal(-5000, 5000), y = r.decimal(-5000, 5000), x = r.decimal(-5000, 5000);
        addProject(cases, x, y, z, model, proj, view);
        const double wz = r.decimal(0, 1000), wy = r.decimal(-100000, 2000000), wx = r.decimal(-100000, 2000000);
        addUnProject(cases, wx, wy, wz, model, proj, view);
        const double farVal = r.decimal(500, 1000), nearVal = r.decimal(0, 500), clipW = r.decimal(-2000, 2000);
        addUnProject4(cases, wx, wy, wz, clipW, model, proj, view, nearVal, farVal);
        const double dy = r.decimal(1, 20000), dx = r.decimal(1, 20000);
        addPickMatrix(cases, wx, wy, dx, dy, view);
    }
}

}  // namespace corpus
