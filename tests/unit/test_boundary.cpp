// SPDX-License-Identifier: MIT
// The library boundary: which library is under test, the quadric handle,
// and the math library the output rests on.
#include "provenance.h"
#include "stream.h"

#include <link.h>
#include <math.h>

#include <climits>
#include <string>

TEST(Boundary, EveryFunctionComesFromTheLibraryOfThisBuild) {
    const std::string built = realPath(SOFTGLU_BUILT_LIBRARY);
    ASSERT_FALSE(built.empty()) << SOFTGLU_BUILT_LIBRARY;
    EXPECT_EQ(definingObject(&gluPerspective), built);
    EXPECT_EQ(definingObject(&gluNewQuadric), built);
    EXPECT_EQ(definingObject(&gluQuadricDrawStyle), built);
    EXPECT_EQ(definingObject(&gluCylinder), built);
    EXPECT_EQ(definingObject(&gluDisk), built);
    EXPECT_EQ(definingObject(&gluSphere), built);
    EXPECT_EQ(definingObject(&drawTorus), built);
}

TEST(Boundary, NoOtherGlLibraryIsLoaded) {
    // The process holds our library and no GL or GL utility library of the
    // system: the gl* entry points the library called are the recorder's.
    std::string loaded;
    dl_iterate_phdr(
        [](dl_phdr_info *info, size_t, void *data) {
            *static_cast<std::string *>(data) += std::string(info->dlpi_name) + "\n";
            return 0;
        },
        &loaded);
    EXPECT_NE(loaded.find("libsoftglu.so.1"), std::string::npos) << loaded;
    EXPECT_EQ(loaded.find("libGLU"), std::string::npos) << loaded;
    EXPECT_EQ(loaded.find("libGL."), std::string::npos) << loaded;
}

TEST(Quadric, NewQuadricIsNullAndDrawStyleDoesNothing) {
    const Stream s = record([] {
        EXPECT_EQ(gluNewQuadric(), nullptr);
        EXPECT_EQ(gluNewQuadric(), nullptr);
        gluQuadricDrawStyle(nullptr, GLU_LINE);
        gluQuadricDrawStyle(reinterpret_cast<GLUquadricObj *>(0x10), INT_MIN);
    });
    EXPECT_TRUE(s.empty());
}

TEST(Quadric, HandleIsNeverReadSoAnyValueDrawsTheSame) {
    // 0x10 is not a readable address: touching it would crash the test.
    GLUquadricObj *bogus = reinterpret_cast<GLUquadricObj *>(0x10);
    for (GLUquadricObj *q : {bogus, static_cast<GLUquadricObj *>(nullptr)}) {
        const auto draw = [q] {
            gluQuadricDrawStyle(q, GLU_POINT);
            gluCylinder(q, 1.0, 0.5, 2.0, 7, 3);
            gluDisk(q, 0.25, 1.0, 9, 2);
            gluSphere(q, 1.5f, 6, 5);
        };
        const auto reference = [] {
            gluCylinder(nullptr, 1.0, 0.5, 2.0, 7, 3);
            gluDisk(nullptr, 0.25, 1.0, 9, 2);
            gluSphere(nullptr, 1.5f, 6, 5);
        };
        EXPECT_TRUE(sameStream(record(draw), record(reference)));
    }
}

TEST(Boundary, EmptyCallsLeaveNoPrimitiveOpen) {
    // Each function closes what it opens, also with degenerate counts.
    const Stream s = record([] {
        gluCylinder(nullptr, 1, 1, 1, 3, -1);
        gluDisk(nullptr, 0, 1, -1, 2);
        gluSphere(nullptr, 1, -2, -2);
        drawTorus(0.2f, 2, 1, -3);
    });
    primitives(s);
    EXPECT_EQ(count(s, Op::Begin), count(s, Op::End));
}

TEST(MathLibrary, SincosGivesTheBitsOfSinAndCos) {
    // GCC fuses sin(a) and cos(a) into one sincos call; the output must not
    // depend on whether it does.  volatile keeps this loop unfused.
    for (int i = -20000; i <= 20000; ++i) {
        volatile double a = i * 0.0123456789 + 1e-3 * (i % 7);
        double s, c;
        sincos(a, &s, &c);
        const double sv = sin(a);
        const double cv = cos(a);
        ASSERT_EQ(bits(s), bits(sv)) << a;
        ASSERT_EQ(bits(c), bits(cv)) << a;
    }
}
