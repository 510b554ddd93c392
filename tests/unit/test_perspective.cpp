// SPDX-License-Identifier: MIT
#include "stream.h"

#include <math.h>

#include <cmath>
#include <limits>

namespace {

const double kPi = 3.141592653589793;

Call frustumOf(double fovy, double aspect, double zNear, double zFar) {
    const Stream s = record([&] { gluPerspective(fovy, aspect, zNear, zFar); });
    EXPECT_EQ(s.size(), 1u);
    EXPECT_EQ(s.at(0).op, Op::Frustum);
    return s.at(0);
}

}  // namespace

TEST(Perspective, NinetyDegreesGivesTheTangentJustBelowOne) {
    const Call c = frustumOf(90, 1, 1, 10);
    const double b = tan(kPi / 4);
    EXPECT_LT(b, 1.0);
    EXPECT_EQ(bits(c.d[3]), bits(b));
    EXPECT_EQ(bits(c.d[0]), bits(-b));
    EXPECT_EQ(bits(c.d[1]), bits(b));
    EXPECT_EQ(bits(c.d[2]), bits(-b));
    EXPECT_EQ(c.d[4], 1.0);
    EXPECT_EQ(c.d[5], 10.0);
}

TEST(Perspective, BoundsTakeFovyTimesPiBeforeDividingBy360) {
    // ymax = zNear * tan((fovy * pi) / 360), xmax = ymax * aspect.  Other
    // groupings round differently for some of these inputs.
    int differs = 0;
    for (double fovy = 1.0; fovy < 180.0; fovy += 7.3) {
        const double aspect = 1.0 + fovy / 97.0, zNear = 0.1 + fovy / 1000.0;
        const Call c = frustumOf(fovy, aspect, zNear, 500.0);
        const double ymax = zNear * tan((fovy * kPi) / 360.0);
        EXPECT_EQ(bits(c.d[3]), bits(ymax)) << fovy;
        EXPECT_EQ(bits(c.d[2]), bits(-ymax)) << fovy;
        EXPECT_EQ(bits(c.d[1]), bits(ymax * aspect)) << fovy;
        EXPECT_EQ(bits(c.d[0]), bits(-ymax * aspect)) << fovy;
        differs += bits(ymax) != bits(zNear * tan(fovy * (kPi / 360.0)));
    }
    EXPECT_GT(differs, 0) << "no input tells the groupings apart";
}

TEST(Perspective, DegenerateAndNonFiniteArgumentsArePassedOn) {
    Call c = frustumOf(60, -2, 1, 10);  // negative aspect swaps the x bounds
    EXPECT_GT(c.d[0], 0.0);
    EXPECT_LT(c.d[1], 0.0);

    c = frustumOf(0, 1.5, 1, 10);  // zero field of view: a zero-size frustum
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(c.d[i], 0.0);

    const double inf = std::numeric_limits<double>::infinity();
    c = frustumOf(60, 1, inf, -inf);
    EXPECT_EQ(c.d[3], inf);
    EXPECT_EQ(c.d[4], inf);
    EXPECT_EQ(c.d[5], -inf);

    c = frustumOf(std::nan(""), 1, -1, 0);  // nothing is checked
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(std::isnan(c.d[i]));
    EXPECT_EQ(c.d[4], -1.0);
    EXPECT_EQ(c.d[5], 0.0);
}
