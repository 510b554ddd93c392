// SPDX-License-Identifier: MIT
#include "stream.h"

#include <math.h>

#include <cmath>

namespace {

Stream disk(double inner, double outer, int slices, int loops) {
    return record([=] { gluDisk(nullptr, inner, outer, slices, loops); });
}

}  // namespace

TEST(Disk, OneNormalThenOneStripPerLoop) {
    const Stream s = disk(0.25, 1.0, 12, 3);
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s[0].op, Op::Normal3f);
    EXPECT_EQ(s[0].f[0], 0.0f);
    EXPECT_EQ(s[0].f[1], 0.0f);
    EXPECT_EQ(s[0].f[2], 1.0f);
    EXPECT_EQ(count(s, Op::Normal3f), 1u);
    EXPECT_EQ(count(s, Op::Vertex3f), 0u);
    EXPECT_EQ(count(s, Op::Vertex2f), 3u * 2 * 13);
    EXPECT_EQ(count(s, Op::TexCoord2f), count(s, Op::Vertex2f));
    for (std::size_t i = 1; i < s.size(); ++i)
        if (s[i].op == Op::Vertex2f)
            EXPECT_EQ(s[i - 1].op, Op::TexCoord2f) << i;
    const auto prims = primitives(s);
    ASSERT_EQ(prims.size(), 3u);
    for (const Primitive &p : prims)
        EXPECT_EQ(p.mode, static_cast<GLenum>(GL_QUAD_STRIP));
}

TEST(Disk, DegenerateCounts) {
    for (int loops : {0, -4}) {
        const Stream s = disk(0, 1, 8, loops);
        ASSERT_EQ(s.size(), 1u);
        EXPECT_EQ(s[0].op, Op::Normal3f);
    }
    // slices = 0: each ring is a strip of two vertices on +y.
    for (const Primitive &p : primitives(disk(0.5, 1, 0, 2))) {
        ASSERT_EQ(p.vertices.size(), 2u);
        EXPECT_EQ(p.vertices[0].pos[0], 0.0f);
        EXPECT_GT(p.vertices[0].pos[1], p.vertices[1].pos[1]);  // outer first
    }
    // slices < 0: empty strips after the normal.
    const Stream s = disk(0, 1, -1, 2);
    ASSERT_EQ(s.size(), 5u);
    EXPECT_EQ(s[1].op, Op::Begin);
    EXPECT_EQ(s[2].op, Op::End);
}

TEST(Disk, AnnulusGeometryTextureAndFacing) {
    const double inner = 0.25, outer = 1.0;
    const auto prims = primitives(disk(inner, outer, 10, 3));
    for (const Primitive &p : prims) {
        for (const Vertex &v : p.vertices) {
            const double r = std::hypot(v.pos[0], v.pos[1]);
            EXPECT_GE(r, inner - 1e-6);
            EXPECT_LE(r, outer + 1e-6);
            EXPECT_EQ(v.pos[2], 0.0f);
            EXPECT_EQ(v.normal[2], 1.0f);
            // (x, y) -> (x / 2R + 0.5, y / 2R + 0.5)
            EXPECT_NEAR(v.tex[0], v.pos[0] / (2 * outer) + 0.5, 1e-6);
            EXPECT_NEAR(v.tex[1], v.pos[1] / (2 * outer) + 0.5, 1e-6);
        }
        for (const Triangle &t : triangles(p))
            EXPECT_GT(faceNormal(t).z, 0.0);  // +z is the front
    }
    // Angles grow from +y towards +x.
    const auto four = primitives(disk(0, 1, 4, 1));
    EXPECT_EQ(four[0].vertices[2].pos[0], 1.0f);
    EXPECT_EQ(four[0].vertices[0].pos[1], 1.0f);
}

TEST(Disk, RingClosesOnTheBitsOfItsFirstStep) {
    for (const Primitive &p : primitives(disk(0.3, 1.7, 7, 3))) {
        const std::size_t n = p.vertices.size();
        for (int k = 0; k < 2; ++k) {
            const Vertex &a = p.vertices[k], &b = p.vertices[n - 2 + k];
            for (int i = 0; i < 2; ++i) {
                EXPECT_EQ(bits(a.pos[i]), bits(b.pos[i]));
                EXPECT_EQ(bits(a.tex[i]), bits(b.tex[i]));
            }
        }
    }
}

TEST(Disk, RadiiAccumulateInSinglePrecision) {
    // dr = 0.1f; ten single additions reach 1.00000012, not 1.  The
    // outermost vertex at angle 0 shows it.
    const auto prims = primitives(disk(0, 1, 4, 10));
    const Vertex &outerTop = prims.back().vertices[0];
    EXPECT_EQ(outerTop.pos[1], 1.00000012f);
    // Its texture t: 1.00000012f / 2 + 0.5 in double is 1 + 2^-24, a tie
    // that rounds to even.
    EXPECT_EQ(outerTop.tex[1], 1.0f);
    // The centre carries the texture's centre.
    const Vertex &centre = prims.front().vertices[1];
    EXPECT_EQ(centre.pos[0], 0.0f);
    EXPECT_EQ(centre.pos[1], 0.0f);
    EXPECT_EQ(centre.tex[0], 0.5f);
    EXPECT_EQ(centre.tex[1], 0.5f);
}

TEST(Disk, ZeroOuterRadiusSendsNonFiniteTextureCoordinates) {
    // dtc = 0: the rim (radius 0) divides 0 by 0, the inner ring (radius 1)
    // a non-zero value by 0.
    const auto prims = primitives(disk(1, 0, 4, 1));
    bool sawNan = false, sawInf = false;
    for (const Vertex &v : prims.at(0).vertices)
        for (float t : v.tex) {
            EXPECT_FALSE(std::isfinite(t));
            sawNan |= std::isnan(t);
            sawInf |= std::isinf(t);
        }
    EXPECT_TRUE(sawNan);
    EXPECT_TRUE(sawInf);
}
