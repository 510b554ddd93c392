// SPDX-License-Identifier: MIT
#include "stream.h"

#include <math.h>

#include <cmath>
#include <vector>

namespace {

Stream cylinder(double base, double top, double height, int slices, int stacks) {
    return record([=] { gluCylinder(nullptr, base, top, height, slices, stacks); });
}

}  // namespace

TEST(Cylinder, OneStripPerSliceEachVertexWithItsNormalAndTexCoord) {
    const Stream s = cylinder(1.0, 0.5, 2.0, 16, 4);
    const auto prims = primitives(s);
    ASSERT_EQ(prims.size(), 16u);
    for (const Primitive &p : prims) {
        EXPECT_EQ(p.mode, static_cast<GLenum>(GL_QUAD_STRIP));
        EXPECT_EQ(p.vertices.size(), 10u);
    }
    // Begin, then (normal, texcoord, vertex) per vertex, then End.
    std::size_t i = 0;
    for (int strip = 0; strip < 16; ++strip) {
        ASSERT_EQ(s[i++].op, Op::Begin);
        for (int v = 0; v < 10; ++v) {
            ASSERT_EQ(s[i++].op, Op::Normal3f);
            ASSERT_EQ(s[i++].op, Op::TexCoord2f);
            ASSERT_EQ(s[i++].op, Op::Vertex3f);
        }
        ASSERT_EQ(s[i++].op, Op::End);
    }
    EXPECT_EQ(i, s.size());
}

TEST(Cylinder, DegenerateCounts) {
    EXPECT_TRUE(cylinder(1, 1, 1, 0, 4).empty());
    EXPECT_TRUE(cylinder(1, 1, 1, -3, 4).empty());

    // stacks = 0: one row of two vertices at z = 0 per wedge, although dr
    // and dz are infinite.
    auto prims = primitives(cylinder(1, 2, 3, 5, 0));
    ASSERT_EQ(prims.size(), 5u);
    for (const Primitive &p : prims) {
        ASSERT_EQ(p.vertices.size(), 2u);
        for (const Vertex &v : p.vertices) {
            EXPECT_EQ(v.pos[2], 0.0f);
            EXPECT_TRUE(std::isfinite(v.pos[0]) && std::isfinite(v.pos[1]));
            EXPECT_EQ(v.tex[1], 0.0f);
        }
    }

    // stacks < 0: empty strips.
    const Stream s = cylinder(1, 1, 1, 3, -2);
    ASSERT_EQ(s.size(), 6u);
    for (std::size_t i = 0; i < s.size(); ++i)
        EXPECT_EQ(s[i].op, i % 2 ? Op::End : Op::Begin);
}

TEST(Cylinder, StraightWallHasHorizontalUnitNormalsAndFacesOutward) {
    const auto prims = primitives(cylinder(1.5, 1.5, 3.0, 12, 3));
    for (const Primitive &p : prims) {
        for (const Vertex &v : p.vertices) {
            EXPECT_NEAR(std::hypot(v.pos[0], v.pos[1]), 1.5, 1e-6);
            EXPECT_GE(v.pos[2], 0.0f);
            EXPECT_NEAR(v.pos[2], std::round(v.pos[2]), 1e-6);  // rows at 0, 1, 2, 3
            EXPECT_EQ(bits(v.normal[2]), bits(0.0f));
            EXPECT_NEAR(std::hypot(v.normal[0], v.normal[1]), 1.0, 1e-6);
            // The normal is the radial direction of its vertex.
            EXPECT_NEAR(v.normal[0] * 1.5, v.pos[0], 1e-6);
            EXPECT_NEAR(v.normal[1] * 1.5, v.pos[1], 1e-6);
        }
        for (const Triangle &t : triangles(p)) {
            const Vec3 c = centroid(t);
            EXPECT_GT(dot(faceNormal(t), {c.x, c.y, 0}), 0.0);
        }
    }
}

TEST(Cylinder, ConeNormalsAreTiltedByTheSlope) {
    // base 1, top 0, height 1: the slope tilts every normal 45 degrees up.
    const auto prims = primitives(cylinder(1.0, 0.0, 1.0, 8, 2));
    for (const Primitive &p : prims) {
        const Vertex &topRow = p.vertices[4];
        EXPECT_NEAR(std::hypot(topRow.pos[0], topRow.pos[1]), 0.0, 1e-7);
        EXPECT_FLOAT_EQ(topRow.pos[2], 1.0f);
        for (const Vertex &v : p.vertices) {
            EXPECT_NEAR(v.normal[2], std::sqrt(0.5), 1e-6);
            EXPECT_NEAR(std::sqrt(v.normal[0] * v.normal[0] + v.normal[1] * v.normal[1] +
                                  v.normal[2] * v.normal[2]),
                        1.0, 1e-6);
        }
        for (const Triangle &t : triangles(p)) {
            const Vec3 n = faceNormal(t), c = centroid(t);
            if (length(n) > 1e-9)
                EXPECT_GT(dot(n, {c.x, c.y, 0}), 0.0);
        }
    }
}

TEST(Cylinder, FirstWedgeOfFourSpansFromPlusYToMinusX) {
    const Stream s = cylinder(2, 2, 1, 4, 1);
    const Primitive p = primitives(s).at(0);
    // x1 = -sin(0) = -0 exactly; y1 = 1.
    EXPECT_EQ(bits(p.vertices[0].normal[0]), 0x80000000u);
    EXPECT_EQ(p.vertices[0].normal[1], 1.0f);
    EXPECT_EQ(p.vertices[0].pos[1], 2.0f);
    // x2 = -1, y2 = cos(pi/2) rounded to float: tiny, not zero.
    EXPECT_EQ(p.vertices[1].normal[0], -1.0f);
    EXPECT_EQ(bits(p.vertices[1].normal[1]), bits(static_cast<float>(cos(6.283185307179586 / 4))));
    EXPECT_NE(p.vertices[1].normal[1], 0.0f);
    EXPECT_EQ(p.vertices[1].pos[0], -2.0f);
}

TEST(Cylinder, SeamIsCloseButNotBitIdentical) {
    const auto prims = primitives(cylinder(1, 1, 1, 16, 1));
    const Vertex &first = prims.front().vertices[0];
    const Vertex &closing = prims.back().vertices[1];
    EXPECT_EQ(bits(first.normal[0]), 0x80000000u);
    const float expected = static_cast<float>(-sin(16.0 * (6.283185307179586 / 16.0)));
    EXPECT_GT(expected, 0.0f);
    EXPECT_EQ(bits(closing.normal[0]), bits(expected));
    EXPECT_EQ(bits(closing.pos[0]), bits(expected));
    EXPECT_EQ(closing.normal[1], first.normal[1]);
}

TEST(Cylinder, TextureCoordinatesAccumulateInSinglePrecision) {
    const auto prims = primitives(cylinder(1, 1, 1, 10, 10));
    float s = 0.0f;
    for (const Primitive &p : prims) {
        float t = 0.0f;
        for (std::size_t row = 0; row < p.vertices.size() / 2; ++row) {
            EXPECT_EQ(bits(p.vertices[2 * row].tex[0]), bits(s));
            EXPECT_EQ(bits(p.vertices[2 * row + 1].tex[0]), bits(s + 0.1f));
            EXPECT_EQ(bits(p.vertices[2 * row].tex[1]), bits(t));
            t += 0.1f;
        }
        s += 0.1f;
    }
    // Ten single additions of 0.1f overshoot 1: the top row is not at t = 1.
    EXPECT_EQ(prims.back().vertices.back().tex[1], 1.00000012f);
    EXPECT_EQ(prims.back().vertices.back().tex[0], 1.00000012f);
}

TEST(Cylinder, HeightAccumulatesThroughSingleAndRadiusInDouble) {
    // z = float(double(z) + dz) per row; r = r + dr in double.
    const auto prims = primitives(cylinder(1.0, 0.3, 0.7, 1, 7));
    const Primitive &p = prims.at(0);
    float z = 0.0f;
    double r = 1.0;
    const double dz = 0.7 / 7, dr = (0.3 - 1.0) / 7;
    for (std::size_t row = 0; row < 8; ++row) {
        const Vertex &v = p.vertices[2 * row];
        EXPECT_EQ(bits(v.pos[2]), bits(z)) << row;
        EXPECT_EQ(bits(v.pos[1]), bits(static_cast<float>(1.0 * r))) << row;  // y1 = cos 0 = 1
        z = static_cast<float>(static_cast<double>(z) + dz);
        r = r + dr;
    }
}

TEST(Cylinder, ZeroHeightNormals) {
    // Unequal radii: nz is infinite and every normal is (+-0, +-0, NaN).
    for (const Primitive &p : primitives(cylinder(1, 2, 0, 6, 1)))
        for (const Vertex &v : p.vertices) {
            EXPECT_EQ(v.normal[0], 0.0f);
            EXPECT_EQ(v.normal[1], 0.0f);
            EXPECT_TRUE(std::isnan(v.normal[2]));
        }
    // Equal radii: nz is 0/0, the length is NaN and the normal is sent
    // unnormalised, its x and y the raw edge directions.
    const auto prims = primitives(cylinder(1, 1, 0, 4, 0));
    const Vertex &v = prims.at(0).vertices.at(1);
    EXPECT_EQ(v.normal[0], -1.0f);
    EXPECT_EQ(bits(v.normal[1]), bits(static_cast<float>(cos(6.283185307179586 / 4))));
    EXPECT_TRUE(std::isnan(v.normal[2]));
}
