// SPDX-License-Identifier: MIT
#include "stream.h"

#include <math.h>

#include <cmath>

namespace {

const double kTwoPi = 6.283185307179586;

Stream torus(float rc, int numc, float rt, int numt) {
    return record([=] { drawTorus(rc, numc, rt, numt); });
}

}  // namespace

TEST(Torus, OneStripPerSideEveryVertexWithANormalAndNoTexCoord) {
    const Stream s = torus(0.3f, 8, 1.0f, 16);
    EXPECT_EQ(count(s, Op::TexCoord2f), 0u);
    const auto prims = primitives(s);
    ASSERT_EQ(prims.size(), 8u);
    for (const Primitive &p : prims) {
        EXPECT_EQ(p.mode, static_cast<GLenum>(GL_QUAD_STRIP));
        EXPECT_EQ(p.vertices.size(), 34u);
    }
    for (std::size_t i = 0; i < s.size(); ++i)
        if (s[i].op == Op::Vertex3f)
            EXPECT_EQ(s[i - 1].op, Op::Normal3f);
}

TEST(Torus, DegenerateCounts) {
    EXPECT_TRUE(torus(0.3f, 0, 1.0f, 8).empty());
    EXPECT_TRUE(torus(0.3f, -2, 1.0f, 8).empty());
    // numt = 0 would take a remainder by zero: nothing is drawn.
    EXPECT_TRUE(torus(0.3f, 4, 1.0f, 0).empty());
    // numt < 0: empty strips.
    const Stream s = torus(0.3f, 3, 1.0f, -1);
    ASSERT_EQ(s.size(), 6u);
    for (std::size_t i = 0; i < s.size(); ++i)
        EXPECT_EQ(s[i].op, i % 2 ? Op::End : Op::Begin);
    // numt = 1: both columns at ring angle 0.
    for (const Primitive &p : primitives(torus(0.3f, 3, 1.0f, 1))) {
        ASSERT_EQ(p.vertices.size(), 4u);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(bits(p.vertices[0].pos[i]), bits(p.vertices[2].pos[i]));
    }
    // numc = 1: both vertices of a pair on the same side.
    for (const Primitive &p : primitives(torus(0.3f, 1, 1.0f, 5)))
        for (std::size_t v = 0; v < p.vertices.size(); v += 2)
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(bits(p.vertices[v].pos[i]), bits(p.vertices[v + 1].pos[i]));
}

TEST(Torus, SurfaceNormalsAndFacing) {
    const double rc = 0.3, rt = 1.2;
    for (const Primitive &p : primitives(torus(0.3f, 7, 1.2f, 11))) {
        for (const Vertex &v : p.vertices) {
            // Distance from the centre circle is rc; the normal points from
            // the circle to the vertex.
            const double ring = std::hypot(v.pos[0], v.pos[1]);
            const Vec3 centre{v.pos[0] * rt / ring, v.pos[1] * rt / ring, 0};
            const Vec3 d{v.pos[0] - centre.x, v.pos[1] - centre.y, v.pos[2]};
            EXPECT_NEAR(length(d), rc, 1e-6);
            EXPECT_NEAR(length(vec(v.normal)), 1.0, 1e-6);
            EXPECT_NEAR(dot(d, vec(v.normal)), rc, 1e-6);
        }
        for (const Triangle &t : triangles(p)) {
            const Vec3 c = centroid(t), n = faceNormal(t);
            const double ring = std::hypot(c.x, c.y);
            const Vec3 out{c.x - c.x * rt / ring, c.y - c.y * rt / ring, c.z};
            if (length(n) > 1e-9)
                EXPECT_GT(dot(n, out), 0.0);
        }
        // The ring closes on the bits of its first column.
        const auto &v = p.vertices;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(bits(v[0].pos[i]), bits(v[v.size() - 2].pos[i]));
            EXPECT_EQ(bits(v[1].normal[i]), bits(v[v.size() - 1].normal[i]));
        }
    }
}

TEST(Torus, TubeAnglesSitHalfAStepOffZero) {
    // numc = 4: the first strip's first vertex is at tube angle 3pi/4
    // (side i + 1 = 1, s = 1.5), its second at pi/4 (s = 0.5).
    const auto prims = primitives(torus(0.5f, 4, 2.0f, 6));
    const Vertex &a = prims[0].vertices[0], &b = prims[0].vertices[1];
    const double v1 = 1.5 * kTwoPi / 4, v0 = 0.5 * kTwoPi / 4;
    EXPECT_EQ(bits(a.normal[0]), bits(static_cast<float>(cos(v1) * cos(0.0))));
    EXPECT_EQ(bits(a.normal[1]), 0x80000000u);  // cos(3pi/4) * sin(0) = -0
    EXPECT_EQ(bits(a.normal[2]), bits(static_cast<float>(sin(v1))));
    EXPECT_EQ(bits(a.pos[0]), bits(static_cast<float>((2.0 + 0.5 * cos(v1)) * cos(0.0))));
    EXPECT_EQ(bits(b.normal[0]), bits(static_cast<float>(cos(v0))));
    EXPECT_EQ(bits(b.normal[1]), bits(0.0f));
    EXPECT_EQ(bits(b.pos[2]), bits(static_cast<float>(0.5 * sin(v0))));
    // The last side's first vertex wraps to side 0.
    const Vertex &w = prims[3].vertices[0];
    EXPECT_EQ(bits(w.normal[2]), bits(b.normal[2]));
}

TEST(Torus, RingAngleIsMultipliedBeforeItIsDivided) {
    // u = (j * 2pi) / numt; at numt = 44 the other grouping gives other
    // vertex bits for two of the columns.
    const int numt = 44;
    const auto prims = primitives(torus(0.0f, 2, 1.0f, numt));
    int differs = 0;
    for (int j = 0; j < numt; ++j) {
        const double u = static_cast<double>(j) * kTwoPi / numt;
        const Vertex &v = prims[0].vertices[2 * j + 1];  // k = 0 side, rc = 0
        EXPECT_EQ(bits(v.pos[0]), bits(static_cast<float>(1.0 * cos(u)))) << j;
        EXPECT_EQ(bits(v.pos[1]), bits(static_cast<float>(1.0 * sin(u)))) << j;
        const double other = static_cast<double>(j) * (kTwoPi / numt);
        differs += bits(static_cast<float>(cos(u))) != bits(static_cast<float>(cos(other))) ||
                   bits(static_cast<float>(sin(u))) != bits(static_cast<float>(sin(other)));
    }
    EXPECT_GT(differs, 0);
}

TEST(Torus, ZeroTubeRadiusKeepsNormalsAroundTheTube) {
    for (const Primitive &p : primitives(torus(0.0f, 5, 1.0f, 6)))
        for (const Vertex &v : p.vertices) {
            EXPECT_NEAR(std::hypot(v.pos[0], v.pos[1]), 1.0, 1e-6);
            EXPECT_EQ(v.pos[2], 0.0f);
            EXPECT_NEAR(length(vec(v.normal)), 1.0, 1e-6);
            EXPECT_NE(v.normal[2], 0.0f);
        }
}
