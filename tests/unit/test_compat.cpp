// SPDX-License-Identifier: MIT
// The compatibility layer as GL receives it: gluPartialDisk's sectors,
// gluErrorString's messages, the image calls' refusals, the 3D mipmap
// builders' levels, what the
// projection helpers return for bad input, and gluGetString and
// gluCheckExtension.
#define SOFTGLU_COMPAT  // the compatibility layer's calls are declared with its switch
#include "stream.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
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

namespace {

using Mat = GLdouble[16];  // column-major

const Mat kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
const Mat kZero = {};
const Mat kFlatY = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};  // glScaled(1, 0, 1)
const Mat kTiny = {1e-200, 0, 0, 0, 0, 1e-200, 0, 0, 0, 0, 1e-200, 0, 0, 0, 0, 1e-200};
// glFrustum(-1, 1, -1, 1, 1, 3): clip w = -z.
const Mat kFrustum = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -2, -1, 0, 0, -3, 0};
// z and w swapped: invertible with zeros on the diagonal; unprojected w is
// the window depth's normalised z, so 0 at winZ = 0.5.
const Mat kSwapZW = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0};
const GLint kViewport[4] = {10, 20, 640, 480};
const GLint kNoWidth[4] = {0, 0, 0, 480};
const GLint kNoHeight[4] = {0, 0, 640, 0};
const double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

TEST(Projection, GluFalseForASingularMappingOrAZeroWAndNothingWritten) {
    // On GLU_FALSE every output keeps the sentinel's bits.
    const struct {
        const char *what;
        std::function<GLint(double *)> call;
        GLint want;
    } cases[] = {
        {"project: a point in the eye's plane (w = 0)",
         [](double *o) { return gluProject(0.5, 0.5, 0, kIdentity, kFrustum, kViewport, o, o + 1, o + 2); },
         GLU_FALSE},
        {"project: NaN passes through",
         [](double *o) { return gluProject(kNaN, 0, -2, kIdentity, kFrustum, kViewport, o, o + 1, o + 2); },
         GLU_TRUE},
        {"unproject: a zero matrix",
         [](double *o) { return gluUnProject(5, 5, 0.5, kZero, kIdentity, kViewport, o, o + 1, o + 2); }, GLU_FALSE},
        {"unproject: a flattening model-view (rank 3)",
         [](double *o) { return gluUnProject(5, 5, 0.5, kFlatY, kFrustum, kViewport, o, o + 1, o + 2); },
         GLU_FALSE},
        {"unproject: tiny matrices whose product underflows to zero",
         [](double *o) { return gluUnProject(5, 5, 0.5, kTiny, kTiny, kViewport, o, o + 1, o + 2); }, GLU_FALSE},
        {"unproject: a tiny matrix alone inverts",
         [](double *o) { return gluUnProject(5, 5, 0.5, kTiny, kIdentity, kViewport, o, o + 1, o + 2); },
         GLU_TRUE},
        {"unproject: zeros on the diagonal are no singularity",
         [](double *o) { return gluUnProject(5, 5, 0.75, kIdentity, kSwapZW, kViewport, o, o + 1, o + 2); },
         GLU_TRUE},
        {"unproject: a point at infinity (w = 0)",
         [](double *o) { return gluUnProject(5, 5, 0.5, kIdentity, kSwapZW, kViewport, o, o + 1, o + 2); },
         GLU_FALSE},
        {"unproject: a viewport of no width",
         [](double *o) { return gluUnProject(5, 5, 0.5, kIdentity, kIdentity, kNoWidth, o, o + 1, o + 2); },
         GLU_FALSE},
        {"unproject: a viewport of no height",
         [](double *o) { return gluUnProject(5, 5, 0.5, kIdentity, kIdentity, kNoHeight, o, o + 1, o + 2); },
         GLU_FALSE},
        {"unproject4: w = 0 is returned, not divided by",
         [](double *o) {
             return gluUnProject4(5, 5, 0.5, 1, kIdentity, kSwapZW, kViewport, 0, 1, o, o + 1, o + 2, o + 3);
         },
         GLU_TRUE},
        {"unproject4: an empty depth range",
         [](double *o) {
             return gluUnProject4(5, 5, 0.5, 1, kIdentity, kIdentity, kViewport, 0.25, 0.25, o, o + 1, o + 2, o + 3);
         },
         GLU_FALSE},
        {"unproject4: a flattening model-view",
         [](double *o) {
             return gluUnProject4(5, 5, 0.5, 1, kFlatY, kIdentity, kViewport, 0, 1, o, o + 1, o + 2, o + 3);
         },
         GLU_FALSE},
    };
    const double sentinel = -1234.5;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        double out[4] = {sentinel, sentinel, sentinel, sentinel};
        const Stream s = record([&] { EXPECT_EQ(c.call(out), c.want); });
        EXPECT_TRUE(s.empty());
        // gluUnProject4 writes four, the others three.
        const int written = c.want == GLU_FALSE ? 0 : std::strncmp(c.what, "unproject4", 10) == 0 ? 4 : 3;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(bits(out[i]) == bits(sentinel), i >= written) << "output " << i;
    }
    double out[4];
    ASSERT_EQ(gluUnProject4(5, 5, 0.5, 1, kIdentity, kSwapZW, kViewport, 0, 1, out, out + 1, out + 2, out + 3),
              GLU_TRUE);
    EXPECT_EQ(out[3], 0.0);
}

TEST(Projection, PickMatrixChangesNothingForARegionOfNoSize) {
    const double sizes[][2] = {{0, 5}, {5, 0}, {-1, 5}, {5, -0.5}, {kNaN, 5}, {5, kNaN}, {-0.0, -0.0}};
    for (const auto &d : sizes) {
        SCOPED_TRACE(testing::Message() << d[0] << " x " << d[1]);
        EXPECT_TRUE(record([&] { gluPickMatrix(100, 100, d[0], d[1], kViewport); }).empty());
    }
    // A region of one pixel: a translation then a scale.
    const Stream s = record([] { gluPickMatrix(330, 260, 1, 1, kViewport); });
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].op, Op::Translated);
    EXPECT_EQ(s[1].op, Op::Scaled);
}

// libsoftglu's own gluPerspective, beside the switch's.
extern "C" void libraryPerspective(GLdouble, GLdouble, GLdouble, GLdouble) __asm__("gluPerspective");

TEST(CompatPerspective, TheLibrarysFrustumWhereGlTakesItElseThePerspectiveMatrixOrNothing) {
    const double inf = std::numeric_limits<double>::infinity();
    // Frustums glFrustum takes, NaN bounds included: libsoftglu's call.
    const double taken[][4] = {{45, 1.6, 1, 100}, {90, 1, 1, 10}, {60, -1.5, 0.1, 1000}, {45, 1, 1, inf},
                               {1e308, 1, 1, 10}, {45, kNaN, 1, 10}};
    for (const auto &a : taken) {
        SCOPED_TRACE(testing::Message() << a[0] << ", " << a[1] << ", " << a[2] << ", " << a[3]);
        const Stream s = record([&] { gluPerspective(a[0], a[1], a[2], a[3]); });
        ASSERT_EQ(s.size(), 1u);
        EXPECT_EQ(s[0].op, Op::Frustum);
        EXPECT_TRUE(sameStream(s, record([&] { libraryPerspective(a[0], a[1], a[2], a[3]); })));
    }
    // Refused with a finite matrix: one glMultMatrixd.  Refused with none
    // (aspect 0, zNear == zFar, a zero tangent, a NaN, 0 / 0): nothing.
    const double multiplied[][4] = {{45, 1.6, 0, 1000}, {45, 1.6, -1, 100}, {60, 1, 1, -10}, {45, 1, 5e-324, 10}};
    for (const auto &a : multiplied) {
        SCOPED_TRACE(testing::Message() << a[0] << ", " << a[1] << ", " << a[2] << ", " << a[3]);
        const Stream s = record([&] { gluPerspective(a[0], a[1], a[2], a[3]); });
        ASSERT_EQ(s.size(), 1u);
        EXPECT_EQ(s[0].op, Op::MultMatrixd);
    }
    const double nothing[][4] = {{45, 0, 0, 10}, {45, 1, 2, 2}, {0, 1, 1, 10},    {45, 1, 0, 0},
                                 {kNaN, 1, 0, 10}, {45, 1, 0, inf}, {45, 1, -1, kNaN}};
    for (const auto &a : nothing) {
        SCOPED_TRACE(testing::Message() << a[0] << ", " << a[1] << ", " << a[2] << ", " << a[3]);
        EXPECT_TRUE(record([&] { gluPerspective(a[0], a[1], a[2], a[3]); }).empty());
    }

    // zNear = 0: f = 1 / tan(pi / 8) = 2.4142135623730949 (tan gives
    // 0.41421356237309503 in both math families), f / 1.6, and the depth
    // row collapsed onto the far plane: (1000 + 0) / -1000 and
    // (2000 * 0) / -1000.
    const Stream s = record([] { gluPerspective(45, 1.6, 0, 1000); });
    ASSERT_EQ(s.size(), 1u);
    const std::uint64_t want[16] = {0x3ff82463000f855f, 0, 0, 0, 0, 0x4003504f333f9de6, 0, 0,
                                    0, 0, 0xbff0000000000000, 0xbff0000000000000, 0, 0, 0x8000000000000000, 0};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(s[0].dbits(i), want[i]) << "entry " << i;
}

TEST(VersionString, SaysWhatSoftgluIsAndCheckExtensionMatchesWholeWords) {
    const GLubyte *version = gluGetString(GLU_VERSION);
    ASSERT_NE(version, nullptr);
    int major = 0, minor = 0;
    char vendor[16] = "";
    ASSERT_EQ(std::sscanf(reinterpret_cast<const char *>(version), "%d.%d %15s", &major, &minor, vendor), 3);
    EXPECT_EQ(major * 10 + minor, 13);  // GLU_VERSION_1_3
    EXPECT_STREQ(vendor, "softglu");
    const GLubyte *extensions = gluGetString(GLU_EXTENSIONS);
    ASSERT_NE(extensions, nullptr);
    EXPECT_STREQ(reinterpret_cast<const char *>(extensions), "");
    for (GLenum name : {0u, 1u, unsigned{GL_VERSION}, unsigned{GL_EXTENSIONS}, GLU_VERSION + 2u, GLU_VERSION - 1u})
        EXPECT_EQ(gluGetString(name), nullptr) << name;

    const char *const list = "GL_ARB_multitexture GL_EXT_texture3D  GL_EXT_texture_env_add";
    const struct {
        const char *name, *list;
        bool want;
    } checks[] = {
        {"GL_ARB_multitexture", list, true},      // the first word
        {"GL_EXT_texture3D", list, true},         // between spaces
        {"GL_EXT_texture_env_add", list, true},   // the last, after two spaces
        {"GL_EXT_texture", list, false},          // a prefix of a word
        {"texture3D", list, false},               // a suffix
        {"GL_EXT_texture3DX", list, false},       // longer than the word
        {"GL_ARB_multitexture GL_EXT_texture3D", list, false},  // two words
        {"", list, false},
        {" ", list, false},
        {"GL_ARB_multitexture", "", false},
        {"GL_ARB_multitexture", " GL_ARB_multitexture ", true},
        {nullptr, list, false},
        {"GL_ARB_multitexture", nullptr, false},
    };
    for (const auto &c : checks) {
        SCOPED_TRACE(testing::Message() << (c.name ? c.name : "NULL") << " in " << (c.list ? c.list : "NULL"));
        EXPECT_EQ(gluCheckExtension(reinterpret_cast<const GLubyte *>(c.name), reinterpret_cast<const GLubyte *>(c.list)),
                  c.want ? GL_TRUE : GL_FALSE);
    }
}

namespace {

// A call of the image calls that must be refused: its error code, and how
// many glGetIntegerv calls it makes first (the only GL calls it may make).
// `pname` and `value`, when pname is not 0, are set beforehand with
// glPixelStorei.
struct Refusal {
    const char *what;
    GLenum pname;
    GLint value;
    GLint code;
    std::size_t gets;
    std::function<GLint(const unsigned char *in, unsigned char *out)> call;
};

const int kHuge = 1 << 30;  // 2^30 x 2^30 RGBA ints: 2^64 bytes

const Refusal kRefusals[] = {
    {"a colour-index format", 0, 0, GLU_INVALID_ENUM, 0,
     [](auto in, auto) { return gluBuild2DMipmaps(GL_TEXTURE_2D, 1, 2, 2, GL_COLOR_INDEX, GL_UNSIGNED_BYTE, in); }},
    {"GL_INTENSITY as a pixel format", 0, 0, GLU_INVALID_ENUM, 0,
     [](auto in, auto) { return gluBuild1DMipmaps(GL_TEXTURE_1D, GL_INTENSITY, 4, GL_INTENSITY, GL_UNSIGNED_BYTE, in); }},
    {"floats", 0, 0, GLU_INVALID_ENUM, 0,
     [](auto in, auto) { return gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 2, 2, GL_RGB, GL_FLOAT, in); }},
    {"signed bytes", 0, 0, GLU_INVALID_ENUM, 0,
     [](auto in, auto) { return gluBuild2DMipmapLevels(GL_TEXTURE_2D, 3, 2, 2, GL_RGB, GL_BYTE, 0, 0, 1, in); }},
    {"a packed type", 0, 0, GLU_INVALID_ENUM, 0,
     [](auto in, auto out) { return gluScaleImage(GL_RGB, 2, 2, GL_UNSIGNED_SHORT_5_6_5, in, 1, 1, GL_UNSIGNED_BYTE, out); }},
    {"an output type of floats", 0, 0, GLU_INVALID_ENUM, 0,
     [](auto in, auto out) { return gluScaleImage(GL_RGB, 2, 2, GL_UNSIGNED_BYTE, in, 1, 1, GL_FLOAT, out); }},
    {"width 0", 0, 0, GLU_INVALID_VALUE, 0,
     [](auto in, auto) { return gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 0, 2, GL_RGB, GL_UNSIGNED_BYTE, in); }},
    {"height -1", 0, 0, GLU_INVALID_VALUE, 0,
     [](auto in, auto) { return gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 2, -1, GL_RGB, GL_UNSIGNED_BYTE, in); }},
    {"1D width -1", 0, 0, GLU_INVALID_VALUE, 0,
     [](auto in, auto) { return gluBuild1DMipmaps(GL_TEXTURE_1D, 3, -1, GL_RGB, GL_UNSIGNED_BYTE, in); }},
    {"no image", 0, 0, GLU_INVALID_VALUE, 0,
     [](auto, auto) { return gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 2, 2, GL_RGB, GL_UNSIGNED_BYTE, nullptr); }},
    {"levels of a side not a power of two", 0, 0, GLU_INVALID_VALUE, 0,
     [](auto in, auto) { return gluBuild2DMipmapLevels(GL_TEXTURE_2D, 3, 2, 3, GL_RGB, GL_UNSIGNED_BYTE, 0, 0, 1, in); }},
    {"userLevel above base", 0, 0, GLU_INVALID_VALUE, 0,
     [](auto in, auto) { return gluBuild1DMipmapLevels(GL_TEXTURE_1D, 3, 4, GL_RGB, GL_UNSIGNED_BYTE, 1, 0, 2, in); }},
    {"base below 0", 0, 0, GLU_INVALID_VALUE, 0,
     [](auto in, auto) { return gluBuild1DMipmapLevels(GL_TEXTURE_1D, 3, 4, GL_RGB, GL_UNSIGNED_BYTE, -2, -1, 0, in); }},
    {"max below base", 0, 0, GLU_INVALID_VALUE, 0,
     [](auto in, auto) { return gluBuild2DMipmapLevels(GL_TEXTURE_2D, 3, 4, 4, GL_RGB, GL_UNSIGNED_BYTE, 0, 2, 1, in); }},
    {"max past the 1 x 1 level", 0, 0, GLU_INVALID_VALUE, 0,
     [](auto in, auto) { return gluBuild2DMipmapLevels(GL_TEXTURE_2D, 3, 4, 2, GL_RGB, GL_UNSIGNED_BYTE, 1, 1, 4, in); }},
    {"a negative output size", 0, 0, GLU_INVALID_VALUE, 0,
     [](auto in, auto out) { return gluScaleImage(GL_RGB, 2, 2, GL_UNSIGNED_BYTE, in, 1, -1, GL_UNSIGNED_BYTE, out); }},
    {"no output", 0, 0, GLU_INVALID_VALUE, 0,
     [](auto in, auto) { return gluScaleImage(GL_RGB, 2, 2, GL_UNSIGNED_BYTE, in, 1, 1, GL_UNSIGNED_BYTE, nullptr); }},
    {"an empty output is no error", 0, 0, 0, 0,
     [](auto in, auto out) { return gluScaleImage(GL_RGB, 2, 2, GL_UNSIGNED_BYTE, in, 0, 1, GL_UNSIGNED_BYTE, out); }},
    {"an empty input is no error", 0, 0, 0, 0,
     [](auto, auto out) { return gluScaleImage(GL_RGB, 2, 0, GL_UNSIGNED_BYTE, nullptr, 1, 1, GL_UNSIGNED_BYTE, out); }},
    {"unpack alignment 3", GL_UNPACK_ALIGNMENT, 3, GLU_INVALID_VALUE, 6,
     [](auto in, auto) { return gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 2, 2, GL_RGB, GL_UNSIGNED_BYTE, in); }},
    {"a negative unpack row length", GL_UNPACK_ROW_LENGTH, -1, GLU_INVALID_VALUE, 5,
     [](auto in, auto) { return gluBuild1DMipmapLevels(GL_TEXTURE_1D, 3, 4, GL_RGB, GL_UNSIGNED_BYTE, 0, 0, 2, in); }},
    {"a negative pack skip", GL_PACK_SKIP_PIXELS, -1, GLU_INVALID_VALUE, 10,
     [](auto in, auto out) { return gluScaleImage(GL_RGB, 2, 2, GL_UNSIGNED_BYTE, in, 1, 1, GL_UNSIGNED_BYTE, out); }},
    {"an image past the address space", 0, 0, GLU_OUT_OF_MEMORY, 6,
     [](auto in, auto) { return gluBuild2DMipmaps(GL_TEXTURE_2D, 4, kHuge, kHuge, GL_RGBA, GL_UNSIGNED_INT, in); }},
    {"skipped rows past the address space", GL_UNPACK_SKIP_ROWS, 2147483647, GLU_OUT_OF_MEMORY, 6,
     [](auto in, auto) { return gluBuild1DMipmaps(GL_TEXTURE_1D, 4, kHuge, GL_RGBA, GL_UNSIGNED_INT, in); }},
    {"an output past the address space", 0, 0, GLU_OUT_OF_MEMORY, 10,
     [](auto in, auto out) { return gluScaleImage(GL_RGBA, 1, 1, GL_UNSIGNED_BYTE, in, kHuge, kHuge, GL_UNSIGNED_INT, out); }},
    {"3D: depth 0", 0, 0, GLU_INVALID_VALUE, 0,
     [](auto in, auto) { return gluBuild3DMipmaps(GL_TEXTURE_3D, 3, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, in); }},
    {"3D: a packed type", 0, 0, GLU_INVALID_ENUM, 0,
     [](auto in, auto) { return gluBuild3DMipmaps(GL_TEXTURE_3D, 3, 2, 2, 2, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, in); }},
    {"3D: levels of a depth not a power of two", 0, 0, GLU_INVALID_VALUE, 0,
     [](auto in, auto) { return gluBuild3DMipmapLevels(GL_TEXTURE_3D, 3, 2, 2, 3, GL_RGB, GL_UNSIGNED_BYTE, 0, 0, 1, in); }},
    {"3D: max past the 1 x 1 x 1 level", 0, 0, GLU_INVALID_VALUE, 0,
     [](auto in, auto) { return gluBuild3DMipmapLevels(GL_TEXTURE_3D, 3, 2, 1, 4, GL_RGB, GL_UNSIGNED_BYTE, 0, 0, 3, in); }},
    {"3D: a negative image height", GL_UNPACK_IMAGE_HEIGHT, -1, GLU_INVALID_VALUE, 8,
     [](auto in, auto) { return gluBuild3DMipmaps(GL_TEXTURE_3D, 3, 2, 2, 2, GL_RGB, GL_UNSIGNED_BYTE, in); }},
    {"3D: skipped images past the address space", GL_UNPACK_SKIP_IMAGES, 2147483647, GLU_OUT_OF_MEMORY, 7,
     [](auto in, auto) { return gluBuild3DMipmapLevels(GL_TEXTURE_3D, 4, kHuge, kHuge, 1, GL_RGBA, GL_UNSIGNED_INT, 0, 0, 0, in); }},
};

}  // namespace

TEST(ImageCalls, RefusalsReturnTheirCodeAndSendNoTextureChangeNoStateWriteNothing) {
    // Under AddressSanitizer, reading past these 64 bytes or writing past
    // them is a report.
    unsigned char in[64], out[64], untouched[64];
    for (int i = 0; i < 64; ++i)
        in[i] = static_cast<unsigned char>(i * 37);
    std::memset(untouched, 0xa5, sizeof untouched);
    for (const Refusal &r : kRefusals) {
        SCOPED_TRACE(r.what);
        glrecord::resetPixelStore();
        if (r.pname)
            glPixelStorei(r.pname, r.value);
        std::memcpy(out, untouched, sizeof out);
        GLint code = -1;
        const Stream s = record([&] { code = r.call(in, out); });
        EXPECT_EQ(code, r.code);
        EXPECT_EQ(s.size(), r.gets);
        EXPECT_EQ(count(s, Op::GetIntegerv), s.size()) << "a refused call sends only glGetIntegerv";
        EXPECT_EQ(std::memcmp(out, untouched, sizeof out), 0) << "the output was written";
        if (r.pname) {
            GLint now = 0;
            glGetIntegerv(r.pname, &now);
            EXPECT_EQ(now, r.value);
        }
    }
    glrecord::resetPixelStore();
}

namespace {

// The 3D builders' uploads: each glTexImage3D's level, sides and hash.
struct Level3D {
    GLint level;
    int w, h, d;
    std::uint64_t hash;
};

std::vector<Level3D> levels3D(const Stream &s) {
    std::vector<Level3D> out;
    for (const Call &c : s)
        if (c.op == Op::TexImage3D)
            out.push_back({c.i[1], c.i[3], c.i[4], c.i[5], c.hash});
    return out;
}

// An RGB image of w x h x d pixels, each byte different, its rows padded
// to GL's initial unpack alignment, 4, as GL reads them.
std::vector<unsigned char> pattern(int w, int h, int d) {
    const int row = (3 * w + 3) / 4 * 4;
    std::vector<unsigned char> p(static_cast<std::size_t>(row * h * d));
    for (std::size_t i = 0; i < p.size(); ++i)
        p[i] = static_cast<unsigned char>(i * 37 + 11);
    return p;
}

}  // namespace

TEST(Mipmaps3D, LevelsHalveEverySideDownToOne) {
    const struct {
        int w, h, d;
        std::vector<std::array<int, 3>> sides;  // of each level from 0
    } cases[] = {
        {4, 2, 1, {{4, 2, 1}, {2, 1, 1}, {1, 1, 1}}},
        {1, 1, 8, {{1, 1, 8}, {1, 1, 4}, {1, 1, 2}, {1, 1, 1}}},
        {5, 3, 3, {{4, 4, 4}, {2, 2, 2}, {1, 1, 1}}},  // each side to its nearest power of two
        {3, 48, 1, {{4, 64, 1}, {2, 32, 1}, {1, 16, 1}, {1, 8, 1}, {1, 4, 1}, {1, 2, 1}, {1, 1, 1}}},
    };
    glrecord::resetPixelStore();
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h << " x " << c.d);
        const std::vector<unsigned char> image = pattern(c.w, c.h, c.d);
        GLint code = -1;
        const Stream s =
            record([&] { code = gluBuild3DMipmaps(GL_TEXTURE_3D, GL_RGB, c.w, c.h, c.d, GL_RGB, GL_UNSIGNED_BYTE, image.data()); });
        EXPECT_EQ(code, 0);
        const std::vector<Level3D> got = levels3D(s);
        ASSERT_EQ(got.size(), c.sides.size());
        for (std::size_t k = 0; k < got.size(); ++k) {
            EXPECT_EQ(got[k].level, static_cast<GLint>(k));
            EXPECT_EQ((std::array<int, 3>{got[k].w, got[k].h, got[k].d}), c.sides[k]) << "level " << k;
        }
    }
}

TEST(Mipmaps3D, DepthOneSendsTheTwoDimensionalLevelsAndErrors) {
    // The same image as a 2D texture and as a 3D one of depth 1: the same
    // levels, byte for byte, and the same return for the same inputs.
    glrecord::resetPixelStore();
    const std::vector<unsigned char> image = pattern(7, 5, 1);
    const unsigned char *p = image.data();
    const struct {
        int w, h;
        GLenum format, type;
        const unsigned char *data;
    } inputs[] = {
        {7, 5, GL_RGB, GL_UNSIGNED_BYTE, p},   {4, 2, GL_LUMINANCE, GL_UNSIGNED_SHORT, p},
        {3, 3, GL_RGB, GL_FLOAT, p},          {2, 2, GL_COLOR_INDEX, GL_UNSIGNED_BYTE, p},
        {0, 2, GL_RGB, GL_UNSIGNED_BYTE, p},  {2, -1, GL_RGB, GL_UNSIGNED_BYTE, p},
        {2, 2, GL_RGB, GL_UNSIGNED_BYTE, nullptr}, {2, 2, GL_RGBA, GL_UNSIGNED_INT_8_8_8_8, p},
    };
    for (const auto &in : inputs) {
        SCOPED_TRACE(testing::Message() << in.w << " x " << in.h << " format " << in.format << " type " << in.type);
        GLint code2 = -1, code3 = -2;
        const Stream flat = record([&] { code2 = gluBuild2DMipmaps(GL_TEXTURE_2D, 3, in.w, in.h, in.format, in.type, in.data); });
        const Stream deep = record([&] { code3 = gluBuild3DMipmaps(GL_TEXTURE_3D, 3, in.w, in.h, 1, in.format, in.type, in.data); });
        EXPECT_EQ(code3, code2);
        std::vector<std::uint64_t> hashes2, hashes3;
        for (const Call &c : flat)
            if (c.op == Op::TexImage2D)
                hashes2.push_back(c.hash);
        for (const Level3D &l : levels3D(deep))
            hashes3.push_back(l.hash);
        EXPECT_EQ(hashes3, hashes2);
    }
    for (const auto &run : {std::array<int, 3>{0, 0, 2}, std::array<int, 3>{1, 0, 2}, std::array<int, 3>{0, 0, 3},
                            std::array<int, 3>{-1, -1, 0}, std::array<int, 3>{0, 2, 1}}) {
        SCOPED_TRACE(testing::Message() << "levels " << run[0] << ", " << run[1] << ", " << run[2]);
        EXPECT_EQ(gluBuild3DMipmapLevels(GL_TEXTURE_3D, 3, 4, 2, 1, GL_RGB, GL_UNSIGNED_BYTE, run[0], run[1], run[2], p),
                  gluBuild2DMipmapLevels(GL_TEXTURE_2D, 3, 4, 2, GL_RGB, GL_UNSIGNED_BYTE, run[0], run[1], run[2], p));
    }
}

TEST(Mipmaps3D, BoxFilterAveragesTheTwoByTwoByTwoAndScalesDepth) {
    glrecord::resetPixelStore();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // rows of one or two bytes, unpadded
    const auto hashOf = [](std::vector<unsigned char> bytes) { return glrecord::fnv1a(bytes.data(), bytes.size()); };
    // 2 x 2 x 2 to 1: (0 + 10 + ... + 71 + 4) / 8 = 285 / 8, 35.
    const unsigned char cube[8] = {0, 10, 20, 30, 40, 50, 60, 71};
    const Stream s = record([&] { gluBuild3DMipmaps(GL_TEXTURE_3D, 1, 2, 2, 2, GL_LUMINANCE, GL_UNSIGNED_BYTE, cube); });
    const std::vector<Level3D> got = levels3D(s);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1].hash, hashOf({35}));
    // A depth of 3 magnified to 4, each new image the input images under it
    // weighed by how much they cover: 0, (0 + 2 * 90) / 3, (2 * 90 + 180) / 3,
    // 180; then the pairs' means: 30, 150, then 90.
    const unsigned char column[3] = {0, 90, 180};
    const std::vector<Level3D> deep = levels3D(record([&] {
        gluBuild3DMipmaps(GL_TEXTURE_3D, 1, 1, 1, 3, GL_LUMINANCE, GL_UNSIGNED_BYTE, column);
    }));
    ASSERT_EQ(deep.size(), 3u);
    EXPECT_EQ(deep[0].hash, hashOf({0, 60, 120, 180}));
    EXPECT_EQ(deep[1].hash, hashOf({30, 150}));
    EXPECT_EQ(deep[2].hash, hashOf({90}));
    glrecord::resetPixelStore();
}

TEST(Mipmaps3D, LevelsSendOnlyBaseToMax) {
    // userLevel 1 is a 4 x 2 x 8 image; levels 2 and 3 go to GL.
    glrecord::resetPixelStore();
    const std::vector<unsigned char> image = pattern(4, 2, 8);
    const std::vector<Level3D> got = levels3D(record([&] {
        EXPECT_EQ(gluBuild3DMipmapLevels(GL_TEXTURE_3D, GL_RGB, 4, 2, 8, GL_RGB, GL_UNSIGNED_BYTE, 1, 2, 3, image.data()), 0);
    }));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].level, 2);
    EXPECT_EQ((std::array<int, 3>{got[0].w, got[0].h, got[0].d}), (std::array<int, 3>{2, 1, 4}));
    EXPECT_EQ(got[1].level, 3);
    EXPECT_EQ((std::array<int, 3>{got[1].w, got[1].h, got[1].d}), (std::array<int, 3>{1, 1, 2}));
}
