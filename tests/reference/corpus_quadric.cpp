// SPDX-License-Identifier: MIT
// The reference corpus's calls of the compatibility layer's quadrics, with
// handles in every setting: each draw style, orientation, normals and
// texture flag for the cylinder, the disk, the partial disk and the
// sphere, over ordinary, degenerate and negative counts; and with a NULL
// handle, which draws libsoftglu's stream.  Built with the switch.
#define SOFTGLU_COMPAT
#include <GL/glu.h>

#include "corpus.h"

namespace corpus {
namespace {

struct Setting {
    int value;
    const char *name;
};

const Setting kStyles[] = {{GLU_FILL, "GLU_FILL"}, {GLU_LINE, "GLU_LINE"}, {GLU_POINT, "GLU_POINT"},
                           {GLU_SILHOUETTE, "GLU_SILHOUETTE"}};
const Setting kOrientations[] = {{GLU_OUTSIDE, "GLU_OUTSIDE"}, {GLU_INSIDE, "GLU_INSIDE"}};
const Setting kNormals[] = {{GLU_SMOOTH, "GLU_SMOOTH"}, {GLU_FLAT, "GLU_FLAT"}, {GLU_NONE, "GLU_NONE"}};
const Setting kTextures[] = {{GL_FALSE, "GL_FALSE"}, {GL_TRUE, "GL_TRUE"}};

// A handle's settings, as a case's label names them.
struct Look {
    Setting style, orientation, normals, texture;
};

std::string name(const Look &l) {
    return label("[%s %s %s texture %s]", l.style.name, l.orientation.name, l.normals.name, l.texture.name);
}

// Draws `draw` with a new handle set to `look`, and deletes it.
template <typename Draw>
void withHandle(const Look &look, Draw draw) {
    GLUquadricObj *q = gluNewQuadric();
    if (!q) {
        std::fprintf(stderr, "softglu_corpus: gluNewQuadric failed\n");
        std::exit(2);
    }
    gluQuadricDrawStyle(q, look.style.value);
    gluQuadricOrientation(q, static_cast<GLenum>(look.orientation.value));
    gluQuadricNormals(q, static_cast<GLenum>(look.normals.value));
    gluQuadricTexture(q, static_cast<GLboolean>(look.texture.value));
    draw(q);
    gluDeleteQuadric(q);
}

void addCylinder(std::vector<Case> &cases, const Look &l, double base, double top, double height, int slices,
                 int stacks) {
    addDrawCase(cases,
                label("gluCylinder(q%s, %.17g, %.17g, %.17g, %d, %d)", name(l).c_str(), base, top, height, slices,
                      stacks),
                [=] { withHandle(l, [=](GLUquadricObj *q) { gluCylinder(q, base, top, height, slices, stacks); }); });
}

void addDisk(std::vector<Case> &cases, const Look &l, double inner, double outer, int slices, int loops) {
    addDrawCase(cases, label("gluDisk(q%s, %.17g, %.17g, %d, %d)", name(l).c_str(), inner, outer, slices, loops),
                [=] { withHandle(l, [=](GLUquadricObj *q) { gluDisk(q, inner, outer, slices, loops); }); });
}

void addPartialDisk(std::vector<Case> &cases, const Look &l, double inner, double outer, int slices, int loops,
                    double start, double sweep) {
    addDrawCase(cases,
                label("gluPartialDisk(q%s, %.17g, %.17g, %d, %d, %.17g, %.17g)", name(l).c_str(), inner, outer,
                      slices, loops, start, sweep),
                [=] {
                    withHandle(l, [=](GLUquadricObj *q) {
                        gluPartialDisk(q, inner, outer, slices, loops, start, sweep);
                    });
                });
}

void addSphere(std::vector<Case> &cases, const Look &l, float radius, int slices, int stacks) {
    addDrawCase(cases,
                label("gluSphere(q%s, %.9g, %d, %d)", name(l).c_str(), static_cast<double>(radius), slices, stacks),
                [=] { withHandle(l, [=](GLUquadricObj *q) { gluSphere(q, radius, slices, stacks); }); });
}

}  // namespace

void addQuadricCases(std::vector<Case> &cases) {
    // Every combination, each quadric with ordinary counts, one slice or
    // step and no stacks or loops (degenerate), and negative counts.
    for (const Setting &style : kStyles)
        for (const Setting &orientation : kOrientations)
            for (const Setting &normals : kNormals)
                for (const Setting &texture : kTextures) {
                    const Look l = {style, orientation, normals, texture};
                    addCylinder(cases, l, 1, 0.5, 2, 7, 3);
                    addCylinder(cases, l, 0.8, 0.8, 1.5, 1, 0);
                    addCylinder(cases, l, 1, 0.5, 2, 3, -1);
                    addCylinder(cases, l, 1, 0.5, 2, -2, 2);
                    addDisk(cases, l, 0.25, 1, 9, 3);
                    addDisk(cases, l, 0, 1, 0, 1);
                    addDisk(cases, l, 0.5, 1.5, -1, 2);
                    addDisk(cases, l, 0.25, 1, 5, -1);
                    addPartialDisk(cases, l, 0.2, 1.1, 8, 2, 40, 230);
                    addPartialDisk(cases, l, 0, 1, 1, 1, 0, 360);
                    addPartialDisk(cases, l, 0.5, 1, -1, 2, 10, -90);
                    addPartialDisk(cases, l, 0.3, 1, 4, 0, 0, 90);
                    addSphere(cases, l, 1.5f, 8, 5);
                    addSphere(cases, l, 1, 0, 1);
                    addSphere(cases, l, 0.75f, 3, -1);
                    addSphere(cases, l, 1, -1, 2);
                }
    // Long enough for the accumulated quantities of the line styles' other
    // walking order (rows across edges, rings across spokes).
    for (const Setting &style : kStyles) {
        const Look l = {style, kOrientations[1], kNormals[0], kTextures[1]};
        addCylinder(cases, l, 1.3, 0.7, 2.9, 60, 40);
        addDisk(cases, l, 0.1, 1.3, 50, 40);
        addPartialDisk(cases, l, 0.2, 2.7, 45, 30, -40, 100);
        addSphere(cases, l, 0.8f, 40, 30);
    }
    // Any texture flag but GL_FALSE turns the classic mapping on.
    const Look textureTwo = {kStyles[0], kOrientations[0], kNormals[0], {2, "2"}};
    addCylinder(cases, textureTwo, 1, 0.5, 2, 7, 3);
    // A NULL handle: libsoftglu's own stream.
    addDrawCase(cases, "gluCylinder(NULL, 1, 0.5, 2, 7, 3)", [] { gluCylinder(nullptr, 1, 0.5, 2, 7, 3); });
    addDrawCase(cases, "gluDisk(NULL, 0.25, 1, 9, 3)", [] { gluDisk(nullptr, 0.25, 1, 9, 3); });
    addDrawCase(cases, "gluSphere(NULL, 1.5, 8, 5)", [] { gluSphere(nullptr, 1.5f, 8, 5); });
}

// Ordinary calls in settings drawn from the sequence, for the broad set.
void addVariedQuadricCases(std::vector<Case> &cases, std::uint64_t seed, int perFunction, int scale) {
    Numbers r(seed);
    const auto look = [&r] {
        const int texture = r.count(0, 1);
        const int normals = r.count(0, 2);
        const int orientation = r.count(0, 1);
        const int style = r.count(0, 3);
        return Look{kStyles[style], kOrientations[orientation], kNormals[normals], kTextures[texture]};
    };
    for (int i = 0; i < perFunction; ++i) {
        const Look l = look();
        const double base = r.decimal(-2000, 3000);
        const double top = r.decimal(0, 3000);
        const int stacks = r.count(0, 7 * scale);
        const int slices = r.count(1, 12 * scale);
        const double height = r.decimal(-2000, 4000);
        addCylinder(cases, l, base, top, height, slices, stacks);
    }
    for (int i = 0; i < perFunction; ++i) {
        const Look l = look();
        const double inner = r.decimal(0, 1500);
        const int loops = r.count(1, 5 * scale);
        const int slices = r.count(1, 14 * scale);
        const double width = r.decimal(0, 2500);
        const double sweep = r.decimal(-400000, 400000);
        const double start = r.decimal(-360000, 360000);
        addDisk(cases, l, inner, inner + width, slices, loops);
        addPartialDisk(cases, l, inner, inner + width, slices, loops, start, sweep);
    }
    for (int i = 0; i < perFunction; ++i) {
        const Look l = look();
        const int stacks = r.count(1, 9 * scale);
        const int slices = r.count(1, 12 * scale);
        const float radius = r.decimalf(-2000, 3000);
        addSphere(cases, l, radius, slices, stacks);
    }
}

}  // namespace corpus
