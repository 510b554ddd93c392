// SPDX-License-Identifier: MIT
#include "stream.h"

#include <math.h>

#include <cmath>

namespace {

Stream sphere(float radius, int slices, int stacks) {
    return record([=] { gluSphere(nullptr, radius, slices, stacks); });
}

void expectSamePoint(const Vertex &a, const Vertex &b) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(bits(a.pos[i]), bits(b.pos[i])) << i;
        EXPECT_EQ(bits(a.normal[i]), bits(b.normal[i])) << i;
    }
}

}  // namespace

TEST(Sphere, TopFanBandsAndBottomFan) {
    const auto prims = primitives(sphere(1.0f, 16, 8));
    ASSERT_EQ(prims.size(), 10u);
    EXPECT_EQ(prims.front().mode, static_cast<GLenum>(GL_TRIANGLE_FAN));
    EXPECT_EQ(prims.back().mode, static_cast<GLenum>(GL_TRIANGLE_FAN));
    EXPECT_EQ(prims.front().vertices.size(), 18u);
    EXPECT_EQ(prims.back().vertices.size(), 18u);
    for (std::size_t i = 1; i < 9; ++i) {
        EXPECT_EQ(prims[i].mode, static_cast<GLenum>(GL_QUAD_STRIP));
        EXPECT_EQ(prims[i].vertices.size(), 34u);
    }
    EXPECT_EQ(prims.front().vertices[0].pos[2], 1.0f);
    EXPECT_EQ(prims.back().vertices[0].pos[2], -1.0f);
}

TEST(Sphere, VerticesOnTheSurfaceWithOutwardUnitNormals) {
    const float radius = 2.5f;
    for (const Primitive &p : primitives(sphere(radius, 13, 7))) {
        for (const Vertex &v : p.vertices) {
            const Vec3 pos = vec(v.pos), n = vec(v.normal);
            EXPECT_NEAR(length(pos), radius, 2e-6 * radius);
            EXPECT_NEAR(length(n), 1.0, 2e-7 * 4);
            EXPECT_NEAR(dot(pos, n), radius, 2e-6 * radius);  // normal along the radius
        }
        // Slivers are skipped: the last band's lower row lies a rounding
        // error past the -z pole, so its collapsed triangles may flip.
        for (const Triangle &t : triangles(p)) {
            const Vec3 n = faceNormal(t);
            if (length(n) > 1e-5 * radius * radius)
                EXPECT_GT(dot(n, centroid(t)), 0.0);
        }
    }
}

TEST(Sphere, TopFanRingInheritsThePolesTextureCoordinate) {
    const Stream s = sphere(1.0f, 6, 4);
    // Between the top fan's first vertex and its glEnd: no glTexCoord2f.
    std::size_t i = 0;
    while (s[i].op != Op::Vertex3f)
        ++i;
    EXPECT_EQ(s[i - 1].op, Op::TexCoord2f);
    EXPECT_EQ(s[i - 1].f[0], 0.5f);
    EXPECT_EQ(s[i - 1].f[1], 0.0f);
    for (++i; s[i].op != Op::End; ++i)
        EXPECT_NE(s[i].op, Op::TexCoord2f);
    const auto prims = primitives(s);
    for (const Vertex &v : prims.front().vertices) {
        EXPECT_EQ(v.tex[0], 0.5f);
        EXPECT_EQ(v.tex[1], 0.0f);
    }
}

TEST(Sphere, RingsCloseOnColumnZeroAndFirstBandMatchesTopFan) {
    const int slices = 9;
    const auto prims = primitives(sphere(1.3f, slices, 5));
    const Primitive &top = prims.front();
    expectSamePoint(top.vertices[1], top.vertices[slices + 1]);
    for (std::size_t b = 1; b + 1 < prims.size(); ++b) {
        const auto &v = prims[b].vertices;
        expectSamePoint(v[0], v[2 * slices]);
        expectSamePoint(v[1], v[2 * slices + 1]);
        EXPECT_EQ(v[0].tex[0], 0.0f);
        EXPECT_NEAR(v[2 * slices].tex[0], 1.0f, 1e-6);
    }
    const Primitive &bottom = prims.back();
    expectSamePoint(bottom.vertices[1], bottom.vertices[slices + 1]);
    EXPECT_EQ(bottom.vertices[1].tex[0], 1.0f);
    EXPECT_NEAR(bottom.vertices[slices + 1].tex[0], 0.0f, 1e-6);
    // The first band's lower row is the top fan's ring, bit for bit.
    for (int j = 0; j <= slices; ++j)
        expectSamePoint(prims[1].vertices[2 * j + 1], top.vertices[j + 1]);
}

TEST(Sphere, TextureTAccumulatesBySingleSubtraction) {
    const int stacks = 10;
    const auto prims = primitives(sphere(1.0f, 3, stacks));
    const float dt = 0.1f;
    float t = 1.0f;
    for (int i = 0; i < stacks; ++i) {
        const auto &v = prims[1 + i].vertices;
        EXPECT_EQ(bits(v[0].tex[1]), bits(1.0f - t)) << i;
        EXPECT_EQ(bits(v[1].tex[1]), bits(1.0f - (t - dt))) << i;
        t -= dt;
    }
    // The bottom fan's ring gets 1 - dt, which the last band's upper row
    // matches only up to rounding.
    EXPECT_EQ(prims.back().vertices[1].tex[1], 1.0f - dt);
    EXPECT_NE(bits(prims[stacks].vertices[0].tex[1]), bits(1.0f - dt));
    EXPECT_NEAR(prims[stacks].vertices[0].tex[1], 1.0f - dt, 1e-6);
}

TEST(Sphere, AzimuthStartsOnPlusYAndGrowsTowardsMinusX) {
    const auto prims = primitives(sphere(1.0f, 4, 2));
    const auto &equator = prims[1].vertices;  // lower row of band 0: rho = pi/2
    EXPECT_NEAR(equator[1].pos[1], 1.0f, 1e-7);
    EXPECT_NEAR(equator[3].pos[0], -1.0f, 1e-7);
}

TEST(Sphere, DegenerateCounts) {
    // stacks = 0: both fans, no band; drho is infinite so the rings are NaN
    // and the bottom fan's t is 1 - inf.
    auto prims = primitives(sphere(1.0f, 4, 0));
    ASSERT_EQ(prims.size(), 2u);
    EXPECT_TRUE(std::isnan(prims[0].vertices[1].pos[0]));
    EXPECT_EQ(prims[1].vertices[1].tex[1], -INFINITY);

    // stacks < 0: fans only; the bottom ring lies beyond pi with t above 1.
    prims = primitives(sphere(1.0f, 4, -3));
    ASSERT_EQ(prims.size(), 2u);
    EXPECT_GT(prims[1].vertices[1].tex[1], 1.0f);
    EXPECT_GT(prims[0].vertices[1].pos[2], 0.0f);

    // slices < 0: each fan holds just its pole; each band is empty.
    prims = primitives(sphere(1.0f, -1, 3));
    ASSERT_EQ(prims.size(), 5u);
    EXPECT_EQ(prims[0].vertices.size(), 1u);
    EXPECT_EQ(prims[1].vertices.size(), 0u);
    EXPECT_EQ(prims[4].vertices.size(), 1u);

    // slices = 0: one column per ring.
    prims = primitives(sphere(1.0f, 0, 3));
    EXPECT_EQ(prims[0].vertices.size(), 2u);
    EXPECT_EQ(prims[1].vertices.size(), 2u);
    EXPECT_EQ(prims[4].vertices.size(), 2u);
}

TEST(Sphere, NegativeRadiusMirrorsVerticesNotNormals) {
    // Mirrored up to the sign of a zero: the poles are sent as literal zeros.
    const auto pos = primitives(sphere(1.75f, 7, 4));
    const auto neg = primitives(sphere(-1.75f, 7, 4));
    ASSERT_EQ(pos.size(), neg.size());
    for (std::size_t p = 0; p < pos.size(); ++p)
        for (std::size_t v = 0; v < pos[p].vertices.size(); ++v)
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(neg[p].vertices[v].pos[i], -pos[p].vertices[v].pos[i]);
                EXPECT_EQ(bits(neg[p].vertices[v].normal[i]), bits(pos[p].vertices[v].normal[i]));
            }
}
