// SPDX-License-Identifier: MIT
// The compatibility layer as GL receives it: gluPartialDisk's sectors, and
// gluErrorString's messages.
#define SOFTGLU_COMPAT  // the compatibility layer's calls are declared with its switch
#include "stream.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <string>

namespace {

const double kPi = 3.141592653589793;

Stream partialDisk(double inner, double outer, int slices, int loops, double start, double sweep) {
    return record([=] { gluPartialDisk(nullptr, inner, outer, slices, loops, start, sweep); });
}

// The angle of a vertex in degrees as the disk counts it: 0 on +y, growing
// towards +x, in [0, 360).
double angleOf(const Vertex &v) {
    const double a = std::atan2(v.pos[0], v.pos[1]) * 180.0 / kPi;
    return a < 0.0 ? a + 360.0 : a;
}

// How many degrees `angle` lies outside the sector of `extent` degrees
// starting at `from`, the short way round; 0 inside.
double degreesOutside(double angle, double from, double extent) {
    double d = std::fmod(angle - from, 360.0);
    if (d < 0.0)
        d += 360.0;
    if (d <= extent)
        return 0.0;
    return std::min(d - extent, 360.0 - d);
}

double triangleArea(const Triangle &t) { return faceNormal(t).z / 2.0; }

// A call, and the sector it must cover: `from` up through `extent` degrees.
struct Sector {
    double start, sweep;
    double from, extent;
};

const Sector kSectors[] = {
    {0.0, 90.0, 0.0, 90.0},
    {30.0, 45.0, 30.0, 45.0},
    {-45.0, 135.0, 315.0, 135.0},    // a negative start
    {350.0, 40.0, 350.0, 40.0},      // across angle 0
    {100.0, -60.0, 40.0, 60.0},      // a negative sweep ends at the start
    {-30.0, -300.0, 30.0, 300.0},
    {10.0, 400.0, 10.0, 360.0},      // beyond a turn: one turn
    {10.0, -1000.0, 10.0, 360.0},
    {0.0, std::numeric_limits<double>::infinity(), 0.0, 360.0},
};

}  // namespace

TEST(PartialDisk, CoversItsSectorWithGluDisksTextureFacingPlusZ) {
    const double inner = 0.25, outer = 1.5;
    const int slices = 64, loops = 3;
    for (const Sector &c : kSectors) {
        SCOPED_TRACE(testing::Message() << "start " << c.start << " sweep " << c.sweep);
        const Stream s = partialDisk(inner, outer, slices, loops, c.start, c.sweep);
        ASSERT_FALSE(s.empty());
        EXPECT_EQ(s[0].op, Op::Normal3f);
        EXPECT_EQ(s[0].f[2], 1.0f);
        EXPECT_EQ(count(s, Op::Normal3f), 1u);
        const auto prims = primitives(s);
        ASSERT_EQ(prims.size(), static_cast<std::size_t>(loops));

        double area = 0.0;
        for (const Primitive &p : prims) {
            ASSERT_EQ(p.vertices.size(), 2u * (slices + 1));
            for (const Vertex &v : p.vertices) {
                const double r = std::hypot(v.pos[0], v.pos[1]);
                EXPECT_GE(r, inner - 1e-6);
                EXPECT_LE(r, outer + 1e-6);
                EXPECT_LE(degreesOutside(angleOf(v), c.from, c.extent), 1e-4) << angleOf(v);
                EXPECT_NEAR(v.tex[0], v.pos[0] / (2 * outer) + 0.5, 1e-6);
                EXPECT_NEAR(v.tex[1], v.pos[1] / (2 * outer) + 0.5, 1e-6);
            }
            // The sector's edges: the first step on its lower angle, the
            // last on its upper one (outer vertices, which have an angle).
            EXPECT_LE(degreesOutside(angleOf(p.vertices.front()), c.from, 0.0), 1e-4);
            EXPECT_LE(degreesOutside(angleOf(p.vertices[2 * slices]), c.from + c.extent, 0.0), 1e-4);
            for (const Triangle &t : triangles(p)) {
                EXPECT_GE(faceNormal(t).z, 0.0);  // +z is the front (or degenerate)
                area += triangleArea(t);
            }
        }
        // No gap and no overlap: the strips' area is the sector's (up to the
        // polygon's chords).
        const double sectorArea = c.extent / 360.0 * kPi * (outer * outer - inner * inner);
        EXPECT_NEAR(area / sectorArea, 1.0, 0.005);
    }
}

TEST(PartialDisk, AFullTurnFromZeroIsGluDiskBitForBit) {
    const Stream disk = record([] { gluDisk(nullptr, 0.25, 1.0, 12, 3); });
    for (const auto &startSweep : {std::make_pair(0.0, 360.0), std::make_pair(0.0, 720.0),
                                   std::make_pair(360.0, -360.0),
                                   std::make_pair(0.0, std::numeric_limits<double>::infinity())}) {
        SCOPED_TRACE(testing::Message() << "start " << startSweep.first << " sweep " << startSweep.second);
        EXPECT_TRUE(sameStream(partialDisk(0.25, 1.0, 12, 3, startSweep.first, startSweep.second), disk));
    }
}

TEST(PartialDisk, NegativeSweepIsThePositiveOneFromTheOtherEnd) {
    for (const auto &startSweep : {std::make_pair(100.0, 60.0), std::make_pair(-30.0, 300.0),
                                   std::make_pair(200.0, 360.0), std::make_pair(45.0, 0.0)}) {
        const double start = startSweep.first, sweep = startSweep.second;
        SCOPED_TRACE(testing::Message() << "start " << start << " sweep " << sweep);
        EXPECT_TRUE(sameStream(partialDisk(0.5, 2.0, 10, 2, start + sweep, -sweep),
                               partialDisk(0.5, 2.0, 10, 2, start, sweep)));
    }
}

TEST(PartialDisk, AdjacentSectorsShareTheirEdgeBitForBit) {
    // A sector and the next one, starting where the first ends (start +
    // sweep, as a pie chart adds them up), meet without a crack; a full
    // turn closes on itself.
    const double sectors[][3] = {{0.0, 100.0, 50.0}, {-20.0, 53.3, 56.7}, {200.0, 100.0, 260.0}};
    for (const auto &e : sectors) {
        SCOPED_TRACE(testing::Message() << "start " << e[0] << " sweeps " << e[1] << ", " << e[2]);
        const auto first = primitives(partialDisk(0.3, 1.7, 7, 3, e[0], e[1]));
        const auto second = primitives(partialDisk(0.3, 1.7, 9, 3, e[0] + e[1], e[2]));
        const auto whole = primitives(partialDisk(0.3, 1.7, 9, 3, e[0], 360.0));
        for (std::size_t l = 0; l < first.size(); ++l) {
            const std::size_t n = first[l].vertices.size(), m = whole[l].vertices.size();
            for (int k = 0; k < 2; ++k)
                for (int i = 0; i < 2; ++i) {
                    EXPECT_EQ(bits(first[l].vertices[n - 2 + k].pos[i]), bits(second[l].vertices[k].pos[i]));
                    EXPECT_EQ(bits(first[l].vertices[n - 2 + k].tex[i]), bits(second[l].vertices[k].tex[i]));
                    EXPECT_EQ(bits(whole[l].vertices[m - 2 + k].pos[i]), bits(whole[l].vertices[k].pos[i]));
                }
        }
    }
}

TEST(Quadric, UnderTheSwitchTheHandleIsNeverNullAndSendsNothing) {
    GLUquadric *first = nullptr, *second = nullptr;
    const Stream s = record([&] {
        first = gluNewQuadric();
        second = gluNewQuadric();
        gluDeleteQuadric(first);
        gluDeleteQuadric(nullptr);
    });
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_TRUE(s.empty());
}

TEST(ErrorString, EveryCodeItsOwnMessageAnythingElseTheUnknownOne) {
    const GLenum known[] = {GL_NO_ERROR,
                            GL_INVALID_ENUM,
                            GL_INVALID_VALUE,
                            GL_INVALID_OPERATION,
                            GL_STACK_OVERFLOW,
                            GL_STACK_UNDERFLOW,
                            GL_OUT_OF_MEMORY,
                            GL_INVALID_FRAMEBUFFER_OPERATION,
                            GLU_INVALID_ENUM,
                            GLU_INVALID_VALUE,
                            GLU_OUT_OF_MEMORY,
                            GLU_INCOMPATIBLE_GL_VERSION,
                            GLU_INVALID_OPERATION};
    auto text = [](GLenum code) {
        const GLubyte *s = gluErrorString(code);
        return s ? std::string(reinterpret_cast<const char *>(s)) : std::string("(null)");
    };
    const std::string unknown = text(0x7fffffff);
    EXPECT_EQ(unknown, "unknown error code");

    std::set<std::string> seen{unknown};
    std::set<GLenum> codes(std::begin(known), std::end(known));
    for (GLenum code : known) {
        SCOPED_TRACE(code);
        const std::string message = text(code);
        EXPECT_FALSE(message.empty());
        EXPECT_TRUE(seen.insert(message).second) << "repeated message: " << message;
        // The codes around each known one are unknown, unless known too.
        for (GLenum near : {code - 1, code + 1, code + 0x10000})
            if (!codes.count(near))
                EXPECT_EQ(text(near), unknown) << near;
    }
}
