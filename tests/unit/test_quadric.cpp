// SPDX-License-Identifier: MIT
// The compatibility layer's quadric handles: what a handle holds, what
// foreign handles draw, and what each setting sends, against libsoftglu's
// own stream.  The reference corpus (tests/reference/corpus_quadric.cpp) holds the
// bits of every combination.
#define SOFTGLU_COMPAT  // the handle's calls are the compatibility layer's
#include "stream.h"

#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

// libsoftglu's own functions, by their symbols: under the switch the plain
// names are the compatibility layer's.
extern "C" {
GLUquadricObj *libraryNewQuadric(void) __asm__("gluNewQuadric");
void libraryCylinder(GLUquadricObj *, GLdouble, GLdouble, GLdouble, GLint, GLint) __asm__("gluCylinder");
void libraryDisk(GLUquadricObj *, GLdouble, GLdouble, GLint, GLint) __asm__("gluDisk");
void librarySphere(GLUquadricObj *, float, int, int) __asm__("gluSphere");
}

namespace {

const double kPi = 3.141592653589793;

// A quadric drawn with a handle, and as libsoftglu draws it.
struct Shape {
    const char *name;
    std::function<void(GLUquadricObj *)> draw;
    std::function<void()> library;
};

const Shape kShapes[] = {
    {"cylinder", [](GLUquadricObj *q) { gluCylinder(q, 1.0, 0.6, 2.0, 12, 3); },
     [] { libraryCylinder(nullptr, 1.0, 0.6, 2.0, 12, 3); }},
    {"disk", [](GLUquadricObj *q) { gluDisk(q, 0.3, 1.0, 12, 3); }, [] { libraryDisk(nullptr, 0.3, 1.0, 12, 3); }},
    {"partial disk", [](GLUquadricObj *q) { gluPartialDisk(q, 0.3, 1.0, 12, 3, 30.0, 200.0); },
     [] { gluPartialDisk(nullptr, 0.3, 1.0, 12, 3, 30.0, 200.0); }},
    {"sphere", [](GLUquadricObj *q) { gluSphere(q, 1.0f, 12, 6); }, [] { librarySphere(nullptr, 1.0f, 12, 6); }},
};

struct Settings {
    int style = GLU_FILL;
    GLenum normals = GLU_SMOOTH, orientation = GLU_OUTSIDE;
    GLboolean texture = GL_FALSE;
};

// What `shape` sends through a new handle with `settings`.
Stream drawn(const Shape &shape, const Settings &settings) {
    GLUquadricObj *q = gluNewQuadric();
    EXPECT_NE(q, nullptr);
    gluQuadricDrawStyle(q, settings.style);
    gluQuadricNormals(q, settings.normals);
    gluQuadricOrientation(q, settings.orientation);
    gluQuadricTexture(q, settings.texture);
    const Stream s = record([&] { shape.draw(q); });
    gluDeleteQuadric(q);
    return s;
}

Stream without(const Stream &s, Op op) {
    Stream out;
    for (const Call &c : s)
        if (c.op != op)
            out.push_back(c);
    return out;
}

using Position = std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>;

std::set<Position> positions(const Stream &s) {
    std::set<Position> out;
    for (const Primitive &p : primitives(s))
        for (const Vertex &v : p.vertices)
            out.insert({bits(v.pos[0]), bits(v.pos[1]), bits(v.pos[2])});
    return out;
}

std::vector<GLenum> errors;
void recordError(GLenum code) { errors.push_back(code); }

}  // namespace

TEST(QuadricHandle, NewHandlesHoldTheClassicDefaultsAndForeignOnesDrawAsTheLibrary) {
    GLUquadricObj *first = nullptr, *second = nullptr;
    EXPECT_TRUE(record([&] {
                    first = gluNewQuadric();
                    second = gluNewQuadric();
                }).empty());
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    GLUquadricObj *deleted = gluNewQuadric();
    gluDeleteQuadric(deleted);
    GLUquadricObj own = {GLU_LINE};
    // Addresses no program could read: a handle read through would fault.
    GLUquadricObj *const wild[] = {reinterpret_cast<GLUquadricObj *>(std::uintptr_t{16}),
                                   reinterpret_cast<GLUquadricObj *>(~std::uintptr_t{0} - 15)};
    for (const Shape &shape : kShapes) {
        SCOPED_TRACE(shape.name);
        const Stream library = record(shape.library);
        // Fill, smooth, outside, no texture: the library's calls less its
        // texture coordinates.
        EXPECT_TRUE(sameStream(record([&] { shape.draw(first); }), without(library, Op::TexCoord2f)));
        for (GLUquadricObj *foreign : {static_cast<GLUquadricObj *>(nullptr), libraryNewQuadric(), &own, deleted,
                                       wild[0], wild[1]}) {
            // The setters leave a foreign handle alone and never report.
            gluQuadricCallback(foreign, GLU_ERROR, reinterpret_cast<_GLUfuncptr>(recordError));
            gluQuadricDrawStyle(foreign, GLU_POINT);
            gluQuadricOrientation(foreign, 0);
            EXPECT_TRUE(sameStream(record([&] { shape.draw(foreign); }), library));
        }
    }
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(own.draw_style, GLU_LINE);
    gluDeleteQuadric(&own);
    gluDeleteQuadric(wild[0]);
    gluDeleteQuadric(wild[1]);
    gluDeleteQuadric(nullptr);
    gluDeleteQuadric(first);
    gluDeleteQuadric(second);
}

TEST(QuadricHandle, AnUnknownSettingChangesNothingAndCallsTheErrorCallback) {
    GLUquadricObj *q = gluNewQuadric();
    const Stream before = record([&] { gluSphere(q, 1.0f, 8, 4); });
    const std::function<void()> refused[] = {
        [&] { gluQuadricDrawStyle(q, GLU_SMOOTH); },
        [&] { gluQuadricNormals(q, GLU_FILL); },
        [&] { gluQuadricOrientation(q, GLU_FLAT); },
        [&] { gluQuadricCallback(q, GLU_INSIDE, nullptr); },
    };
    errors.clear();
    for (const auto &call : refused)
        call();  // no callback yet
    EXPECT_TRUE(errors.empty());
    gluQuadricCallback(q, GLU_ERROR, reinterpret_cast<_GLUfuncptr>(recordError));
    for (const auto &call : refused)
        call();
    EXPECT_EQ(errors, std::vector<GLenum>(4, GLU_INVALID_ENUM));
    EXPECT_TRUE(sameStream(record([&] { gluSphere(q, 1.0f, 8, 4); }), before));
    gluQuadricDrawStyle(q, GLU_LINE);
    gluQuadricTexture(q, GL_TRUE);
    EXPECT_EQ(errors.size(), 4u);
    EXPECT_FALSE(sameStream(record([&] { gluSphere(q, 1.0f, 8, 4); }), before));
    gluQuadricCallback(q, GLU_ERROR, nullptr);
    gluQuadricNormals(q, 0);
    EXPECT_EQ(errors.size(), 4u);
    gluDeleteQuadric(q);
}

TEST(QuadricSettings, InsideReversesEveryFaceAndTurnsEveryNormalIn) {
    for (const Shape &shape : kShapes) {
        SCOPED_TRACE(shape.name);
        const Stream library = record(shape.library);
        Settings inside;
        inside.orientation = GLU_INSIDE;
        const Stream s = drawn(shape, inside);
        EXPECT_EQ(positions(s), positions(library));
        const bool flat = std::string(shape.name).find("disk") != std::string::npos;
        int faces = 0;
        for (const Primitive &p : primitives(s))
            for (const Triangle &t : triangles(p)) {
                const Vec3 n = faceNormal(t), c = centroid(t);
                // Outward: +z for the disks, away from the axis or the
                // centre for the others.
                const Vec3 out = flat ? Vec3{0, 0, 1} : Vec3{c.x, c.y, shape.name[0] == 's' ? c.z : 0.0};
                if (length(n) < 1e-9)
                    continue;  // degenerate: the poles, the cone's tip
                ++faces;
                EXPECT_LT(dot(n, out), 0.0);
                for (const Vertex &v : t.v)
                    EXPECT_LT(dot(vec(v.normal), out), 0.0);
            }
        EXPECT_GT(faces, 20);
    }
}

TEST(QuadricSettings, FlatSendsEachFaceItsNormalBeforeItsLastVertexAndNoneSendsNone) {
    for (const Shape &shape : kShapes) {
        SCOPED_TRACE(shape.name);
        Settings flat;
        flat.normals = GLU_FLAT;
        const Stream s = drawn(shape, flat);
        EXPECT_EQ(positions(s), positions(record(shape.library)));
        int faces = 0;
        for (const Primitive &p : primitives(s))
            for (const Triangle &t : triangles(p)) {
                const Vec3 n = faceNormal(t);
                if (length(n) < 1e-9)
                    continue;
                ++faces;
                // GL_FLAT shading takes the last vertex's normal.
                EXPECT_GT(dot(n, vec(t.v[2].normal)) / length(n), 0.97);
            }
        EXPECT_GT(faces, 20);
        Settings none;
        none.normals = GLU_NONE;
        EXPECT_EQ(count(drawn(shape, none), Op::Normal3f), 0u);
    }
    // The sphere: one normal per face, none for a pole.
    Settings flat;
    flat.normals = GLU_FLAT;
    EXPECT_EQ(count(drawn(kShapes[3], flat), Op::Normal3f), 12u * (6 + 2));
    EXPECT_EQ(count(drawn(kShapes[0], flat), Op::Normal3f), 12u);
}

TEST(QuadricSettings, TextureOnSendsTheClassicMappingOnEveryVertex) {
    // s from 0 on +y through 0.25 on +x; t from 0 at -z to 1 at +z (sphere)
    // or from 0 at z = 0 to 1 at the top (cylinder).  The disks map as the
    // library does.
    for (const Shape &shape : kShapes) {
        SCOPED_TRACE(shape.name);
        Settings textured;
        textured.texture = GL_TRUE;
        const Stream s = drawn(shape, textured);
        EXPECT_EQ(positions(s), positions(record(shape.library)));
        const char kind = shape.name[0];
        if (kind != 's' && kind != 'c') {
            EXPECT_TRUE(sameStream(s, record(shape.library)));
            continue;
        }
        const float none[2] = {-7.0f, -7.0f};  // a vertex without its own shows this
        for (const Primitive &p : primitives(s, nullptr, none))
            for (const Vertex &v : p.vertices) {
                const double x = v.pos[0], y = v.pos[1], z = v.pos[2];
                const double t = kind == 's' ? 1.0 - std::acos(std::max(-1.0, std::min(1.0, z))) / kPi : z / 2.0;
                EXPECT_NEAR(v.tex[1], t, 1e-5) << x << " " << y << " " << z;
                if (std::hypot(x, y) < 1e-6)
                    continue;  // a pole or the cone's tip: every s
                double want = std::atan2(x, y) / (2 * kPi);
                want -= std::floor(want);
                const double d = std::fabs(v.tex[0] - want);
                EXPECT_LT(std::min(d, std::fabs(d - 1.0)), 1e-5) << x << " " << y << " " << z;
            }
    }
}

TEST(QuadricSettings, LinePointAndSilhouetteSendTheSurfacesVerticesAsLinesPointsAndOutline) {
    for (const Shape &shape : kShapes) {
        SCOPED_TRACE(shape.name);
        const std::set<Position> surface = positions(record(shape.library));
        for (int style : {GLU_LINE, GLU_POINT, GLU_SILHOUETTE}) {
            SCOPED_TRACE(style);
            Settings settings;
            settings.style = style;
            const Stream s = drawn(shape, settings);
            const unsigned mode = style == GLU_POINT ? GL_POINTS : GL_LINE_STRIP;
            for (const Primitive &p : primitives(s))
                EXPECT_EQ(p.mode, mode);
            const std::set<Position> sent = positions(s);
            const char kind = shape.name[0];
            for (const Position &v : sent)
                EXPECT_TRUE(surface.count(v));
            // The sphere's lines walk the bands' upper rows, which its
            // lower rows and fans repeat up to rounding; the others send
            // every vertex of the surface.
            if (style != GLU_SILHOUETTE || kind == 's') {
                if (kind != 's')
                    EXPECT_EQ(sent, surface);
                continue;
            }
            // The outline: the rows at z = 0 and the top, or the circles at
            // the inner and outer radius (and the partial disk's edges).
            for (const Position &v : sent) {
                float p[3];
                std::memcpy(&p[0], &std::get<0>(v), 4);
                std::memcpy(&p[1], &std::get<1>(v), 4);
                std::memcpy(&p[2], &std::get<2>(v), 4);
                if (kind == 'c')
                    EXPECT_TRUE(p[2] == 0.0f || std::fabs(p[2] - 2.0f) < 1e-5f) << p[2];
                else if (shape.name[0] == 'd')
                    EXPECT_TRUE(std::fabs(std::hypot(p[0], p[1]) - 0.3) < 1e-5 ||
                                std::fabs(std::hypot(p[0], p[1]) - 1.0) < 1e-5);
            }
            EXPECT_EQ(primitives(s).size(), kind == 'c' ? 2u : shape.name[1] == 'i' ? 2u : 4u);
        }
    }
}
