// SPDX-License-Identifier: MIT
// The compatibility layer drawing through Mesa's offscreen GL: the matrices
// GL reports after gluLookAt and gluOrtho2D, the classic texture mapping
// and the inside orientation, mipmaps minified, gluProject and gluUnProject
// against the pixels and depths GL draws, gluPickMatrix picking with
// GL_SELECT, and the legacy example programs' pictures, looked at the way a
// person would.
#include "render.h"
#include "run_tool.h"

#include <GL/glu.h>
#include <gtest/gtest.h>
#include <png.h>

#include <unistd.h>


#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

const double kPi = 3.141592653589793;

struct Vec3 {
    double x, y, z;
};

Vec3 sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double norm(Vec3 a) { return std::sqrt(dot(a, a)); }
Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec3 scale(Vec3 a, double k) { return {a.x * k, a.y * k, a.z * k}; }

// A 4 x 4 matrix, column-major as GL keeps it.
using Mat = std::array<double, 16>;

Mat glMatrix(GLenum which) {
    Mat m{};
    glGetDoublev(which, m.data());
    return m;
}

Mat multiply(const Mat &a, const Mat &b) {
    Mat m{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k)
                m[c * 4 + r] += a[k * 4 + r] * b[c * 4 + k];
    return m;
}

std::array<double, 4> apply(const Mat &m, Vec3 p, double w) {
    std::array<double, 4> out{};
    for (int r = 0; r < 4; ++r)
        out[r] = m[r] * p.x + m[4 + r] * p.y + m[8 + r] * p.z + m[12 + r] * w;
    return out;
}

// A current matrix the helpers must multiply onto, not replace: a scale,
// a shear and a translation.
const Mat kCurrent = {2.0, 0.0, 0.0, 0.0, 0.3, 0.5, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 3.0, -1.0, 4.0, 1.0};

// The matrix `call` leaves on the stack, starting from `start`.
Mat after(GLenum mode, const Mat &start, const std::function<void()> &call) {
    glMatrixMode(mode);
    glLoadMatrixd(start.data());
    call();
    return glMatrix(mode == GL_MODELVIEW ? GL_MODELVIEW_MATRIX : GL_PROJECTION_MATRIX);
}

const Mat kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// GL keeps its matrices in single precision.
void expectSameMatrix(const Mat &a, const Mat &b, double tolerance) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(a[i], b[i], tolerance * (1.0 + std::fabs(b[i]))) << "entry " << i;
}

class CompatGl : public ::testing::Test {
protected:
    static constexpr int kSize = 256;

    void SetUp() override {
        std::string why;
        canvas_ = render::Canvas::create(kSize, kSize, why);
        if (!canvas_)
            GTEST_SKIP() << "skipped: no offscreen GL renderer here (" << why << ")";
        glViewport(0, 0, kSize, kSize);
    }

    std::unique_ptr<render::Canvas> canvas_;
};

struct Camera {
    const char *what;
    Vec3 eye, centre, up;
};

const Camera kCameras[] = {
    {"down -z", {0, 0, 5}, {0, 0, 0}, {0, 1, 0}},
    {"from above, up not perpendicular to the view", {3, 4, 5}, {0, 0, 0}, {0, 1, 0}},
    {"oblique up", {1, 2, 3}, {-2, 0.5, 1}, {0.3, -1, 2}},
    {"up nearly along the view", {0, 0, 0}, {1, 1, 1}, {1, 1, 1.001}},
    {"long up, far from the origin", {1000, -2000, 500}, {1001, -2000, 499}, {0, 0, 30}},
    {"straight down, up along the view", {0, 10, 0}, {0, 0, 0}, {0, 1, 0}},
    {"zero up", {0, 0, 5}, {1, 2, 0}, {0, 0, 0}},
    {"eye on the centre", {2, 2, 2}, {2, 2, 2}, {0, 1, 0}},
};

}  // namespace

TEST_F(CompatGl, LookAtPutsTheEyeAtTheOriginAndTheCentreAheadWithUpUp) {
    for (const Camera &c : kCameras) {
        SCOPED_TRACE(c.what);
        auto lookAt = [&] {
            gluLookAt(c.eye.x, c.eye.y, c.eye.z, c.centre.x, c.centre.y, c.centre.z, c.up.x, c.up.y, c.up.z);
        };
        const Mat m = after(GL_MODELVIEW, kIdentity, lookAt);
        for (double v : m)
            ASSERT_TRUE(std::isfinite(v));
        const double tolerance = 4e-6 * (1.0 + norm(c.eye) + norm(c.centre));

        // A rotation: orthonormal rows, determinant +1, no projective part.
        const Vec3 rows[3] = {{m[0], m[4], m[8]}, {m[1], m[5], m[9]}, {m[2], m[6], m[10]}};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                EXPECT_NEAR(dot(rows[i], rows[j]), i == j ? 1.0 : 0.0, 1e-6) << i << j;
        EXPECT_NEAR(dot(cross(rows[0], rows[1]), rows[2]), 1.0, 1e-6);
        EXPECT_EQ(m[3], 0.0);
        EXPECT_EQ(m[7], 0.0);
        EXPECT_EQ(m[11], 0.0);
        EXPECT_EQ(m[15], 1.0);

        // The eye goes to the origin, the centre onto the -z axis at its
        // distance.
        const auto eye = apply(m, c.eye, 1.0);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(eye[i], 0.0, tolerance) << i;
        const Vec3 view = sub(c.centre, c.eye);
        const double distance = norm(view);
        if (distance > 0.0) {
            const auto centre = apply(m, c.centre, 1.0);
            EXPECT_NEAR(centre[0], 0.0, tolerance);
            EXPECT_NEAR(centre[1], 0.0, tolerance);
            EXPECT_NEAR(centre[2], -distance, tolerance);
        } else {
            // No view direction: GL's default camera, looking down -z.
            const Mat translation =
                after(GL_MODELVIEW, kIdentity, [&] { glTranslated(-c.eye.x, -c.eye.y, -c.eye.z); });
            expectSameMatrix(m, translation, 1e-6);
        }

        // The up vector, unless it is along the view, points up on screen:
        // into the upper half of the y-z plane.
        const double upLength = norm(c.up);
        if (upLength > 0.0 && distance > 0.0 && norm(cross(scale(view, 1.0 / distance), c.up)) > 1e-6 * upLength) {
            const auto up = apply(m, c.up, 0.0);
            EXPECT_NEAR(up[0] / upLength, 0.0, 1e-6);
            EXPECT_GT(up[1] / upLength, 1e-4);
        }

        // Multiplied onto the current matrix, not loaded.
        expectSameMatrix(after(GL_MODELVIEW, kCurrent, lookAt), multiply(kCurrent, m), 1e-6);
    }
}

// libsoftglu's own gluPerspective, beside the switch's.
extern "C" void libraryPerspective(GLdouble, GLdouble, GLdouble, GLdouble) __asm__("gluPerspective");

TEST_F(CompatGl, PerspectiveWithZeroNearIsAPerspectiveWithNoGlError) {
    // A program's gluPerspective(45, w / h, 0, 1000): GL refuses
    // libsoftglu's frustum, and the switch's multiplies in the matrix.
    auto zeroNear = [] { gluPerspective(45, 1.6, 0, 1000); };
    ASSERT_EQ(after(GL_PROJECTION, kIdentity, [] { libraryPerspective(45, 1.6, 0, 1000); }), kIdentity);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_VALUE));
    const Mat m = after(GL_PROJECTION, kIdentity, zeroNear);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // A point twice as far is half as far off the axis; everything lies on
    // the far plane (depth collapses).
    const double f = 1.0 / std::tan(kPi / 8.0);
    for (double z : {-2.0, -4.0, -250.0}) {
        const auto p = apply(m, {1.0, 1.0, z}, 1.0);
        EXPECT_NEAR(p[0] / p[3], f / 1.6 / -z, 1e-6) << z;
        EXPECT_NEAR(p[1] / p[3], f / -z, 1e-6) << z;
        EXPECT_NEAR(p[2] / p[3], 1.0, 1e-6) << z;
    }
    expectSameMatrix(after(GL_PROJECTION, kCurrent, zeroNear), multiply(kCurrent, m), 1e-6);
    // No finite matrix (aspect 0): the matrix stays as it was, no error.
    expectSameMatrix(after(GL_PROJECTION, kCurrent, [] { gluPerspective(45, 0, 0, 1000); }), kCurrent, 1e-7);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(CompatGl, Ortho2DMapsTheRectangleOntoTheViewport) {
    const double rects[][4] = {{0, 640, 0, 480}, {-1, 1, -1, 1}, {0, 640, 480, 0}, {10.5, -3, 2, 7}};
    for (const auto &r : rects) {
        SCOPED_TRACE(testing::Message() << r[0] << " " << r[1] << " " << r[2] << " " << r[3]);
        auto ortho = [&] { gluOrtho2D(r[0], r[1], r[2], r[3]); };
        const Mat m = after(GL_PROJECTION, kIdentity, ortho);
        // (left, bottom) and (right, top) go to opposite corners; the
        // z = 0 plane stays at depth 0, z = +1 and -1 are the near and far
        // planes.
        const struct {
            Vec3 point;
            double want[3];
        } corners[] = {{{r[0], r[2], 0}, {-1, -1, 0}},
                       {{r[1], r[3], 0}, {1, 1, 0}},
                       {{r[0], r[3], 1}, {-1, 1, -1}},
                       {{r[1], r[2], -1}, {1, -1, 1}}};
        for (const auto &c : corners) {
            const auto p = apply(m, c.point, 1.0);
            EXPECT_NEAR(p[3], 1.0, 1e-6);
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(p[i], c.want[i], 1e-5) << i;
        }
        expectSameMatrix(after(GL_PROJECTION, kCurrent, ortho), multiply(kCurrent, m), 1e-6);
    }
}

namespace {

// A shape drawn with a handle, and where the classic convention puts
// texture coordinate (s, t) on it, with the outward direction there.
struct Mapping {
    const char *shape;
    void (*draw)(GLUquadricObj *q);
    Vec3 (*classic)(double s, double t);
    Vec3 (*outward)(double s, double t);
};

// Classic: s from 0 at +y through 0.25 at +x; on the sphere t from 0 at
// the -z pole to 1 at +z, on the cylinder from 0 at z = 0 to 1 at the top.
Vec3 sphereAt(double s, double t) {
    const double a = 2 * kPi * s, polar = kPi * (1 - t);
    return {std::sin(a) * std::sin(polar), std::cos(a) * std::sin(polar), std::cos(polar)};
}
Vec3 cylinderAt(double s, double t) { return {std::sin(2 * kPi * s), std::cos(2 * kPi * s), 2 * t}; }
Vec3 cylinderOutward(double s, double) { return {std::sin(2 * kPi * s), std::cos(2 * kPi * s), 0}; }

const Mapping kMappings[] = {
    {"sphere", [](GLUquadricObj *q) { gluSphere(q, 1.0f, 64, 32); }, sphereAt, sphereAt},
    {"cylinder", [](GLUquadricObj *q) { gluCylinder(q, 1.0, 1.0, 2.0, 64, 1); }, cylinderAt, cylinderOutward},
};

// A white 16 x 16 texture with one red texel: column 6, row 10.
const int kTexels = 16, kMarkS = 6, kMarkT = 10;

void bindMarkedTexture() {
    std::vector<unsigned char> texels(kTexels * kTexels * 4, 255);
    unsigned char *mark = &texels[(kMarkT * kTexels + kMarkS) * 4];
    mark[1] = mark[2] = 0;
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kTexels, kTexels, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
}

struct Spot {
    int count = 0;
    double x = 0, y = 0;  // centroid, in pixels
};

template <typename Pred>
Spot find(const unsigned char *rgba, int width, int height, Pred pred) {
    Spot s;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (pred(rgba + (y * width + x) * 4)) {
                ++s.count;
                s.x += x;
                s.y += y;
            }
    if (s.count) {
        s.x /= s.count;
        s.y /= s.count;
    }
    return s;
}

bool red(const unsigned char *p) { return p[0] > 200 && p[1] < 60 && p[2] < 60; }

}  // namespace

TEST_F(CompatGl, TextureOnPutsTheMarkedTexelWhereTheClassicMappingDoes) {
    bindMarkedTexture();
    GLUquadricObj *textured = gluNewQuadric();
    gluQuadricTexture(textured, GL_TRUE);
    const double s = (kMarkS + 0.5) / kTexels, t = (kMarkT + 0.5) / kTexels;
    for (const Mapping &m : kMappings) {
        SCOPED_TRACE(m.shape);
        // Look straight at the point where the classic mapping puts the
        // mark's centre: it lands in the middle of the picture.  A NULL
        // handle draws with softglu's own coordinates, which put it
        // elsewhere.
        const Vec3 p = m.classic(s, t), n = m.outward(s, t);
        const Vec3 eye = {p.x + 5 * n.x, p.y + 5 * n.y, p.z + 5 * n.z};
        for (GLUquadricObj *q : {textured, static_cast<GLUquadricObj *>(nullptr)}) {
            SCOPED_TRACE(q ? "texture on" : "a NULL handle");
            glClearColor(0, 0, 0, 0);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            glOrtho(-1.5, 1.5, -1.5, 1.5, 1.0, 10.0);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            gluLookAt(eye.x, eye.y, eye.z, p.x, p.y, p.z, 0.0, 0.0, 1.0);
            glDisable(GL_LIGHTING);
            glEnable(GL_TEXTURE_2D);
            glEnable(GL_DEPTH_TEST);
            glEnable(GL_CULL_FACE);
            m.draw(q);

            const Spot mark = find(canvas_->rgba(), kSize, kSize, red);
            const double middle = (kSize - 1) / 2.0;
            if (q) {
                ASSERT_GT(mark.count, 100);
                EXPECT_NEAR(mark.x, middle, 3.0);
                EXPECT_NEAR(mark.y, middle, 3.0);
            } else {
                EXPECT_GT(std::hypot(mark.x - middle, mark.y - middle), 30.0) << mark.count << " red pixels";
            }
        }
    }
    gluDeleteQuadric(textured);
}

TEST_F(CompatGl, InsideOrientationShowsASphereFromWithinLitFromWithin) {
    // From the centre of a sphere, with back faces culled, an outside
    // sphere is culled whole; GLU_INSIDE fills the view, and its inward
    // normals take the light of a lamp at the centre.
    GLUquadricObj *q = gluNewQuadric();
    const GLfloat lamp[] = {0.0f, 0.0f, 0.0f, 1.0f};
    for (GLenum orientation : {GLU_OUTSIDE, GLU_INSIDE}) {
        SCOPED_TRACE(orientation == GLU_INSIDE ? "inside" : "outside");
        gluQuadricOrientation(q, orientation);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, 1.0, 0.1, 10.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glLightfv(GL_LIGHT0, GL_POSITION, lamp);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        gluSphere(q, 2.0f, 32, 16);
        glDisable(GL_LIGHTING);
        const Spot drawn = find(canvas_->rgba(), kSize, kSize, [](const unsigned char *p) { return p[3] == 255; });
        EXPECT_EQ(drawn.count, orientation == GLU_INSIDE ? kSize * kSize : 0);
        // Lit: the middle of the view faces the lamp head on.
        const unsigned char *middle = canvas_->rgba() + (kSize / 2 * kSize + kSize / 2) * 4;
        if (orientation == GLU_INSIDE)
            EXPECT_GT(middle[0], 150);
    }
    gluDeleteQuadric(q);
}

TEST_F(CompatGl, MipmapsShowTheBoxFilteredColourWhenMinified) {
    // A 64 x 64 texture of one-texel red and blue stripes, read out of a
    // larger client image (rows of 70 pixels, 2 rows and 3 pixels skipped,
    // no padding) whose other pixels are green.
    const int side = 64, rowLength = 70, skipRows = 2, skipPixels = 3;
    std::vector<unsigned char> client(rowLength * (side + skipRows) * 3);
    for (std::size_t i = 0; i < client.size(); i += 3)
        client[i + 1] = 255;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            unsigned char *p = &client[((y + skipRows) * rowLength + x + skipPixels) * 3];
            p[0] = x % 2 ? 0 : 255;
            p[1] = 0;
            p[2] = x % 2 ? 255 : 0;
        }
    const GLenum pnames[] = {GL_UNPACK_ALIGNMENT, GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_ROWS, GL_UNPACK_SKIP_PIXELS};
    const GLint values[] = {1, rowLength, skipRows, skipPixels};
    for (int i = 0; i < 4; ++i)
        glPixelStorei(pnames[i], values[i]);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    ASSERT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, side, side, GL_RGB, GL_UNSIGNED_BYTE, client.data()), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    for (int i = 0; i < 4; ++i) {  // the client's unpack state, as it was
        GLint now = -1;
        glGetIntegerv(pnames[i], &now);
        EXPECT_EQ(now, values[i]) << pnames[i];
    }

    // Drawn at 64 x 64 pixels it shows level 0, the stripes; at 16 x 16 a
    // level below, where every texel is (255 + 255 + 0 + 0 + 2) / 4 = 128 of
    // red and of blue (an incomplete mipmap would show no texture at all).
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kSize, 0, kSize, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    const struct {
        int x, y, size;
    } quads[] = {{16, 16, 64}, {160, 160, 16}};
    for (const auto &q : quads) {
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex2i(q.x, q.y);
        glTexCoord2f(1, 0);
        glVertex2i(q.x + q.size, q.y);
        glTexCoord2f(1, 1);
        glVertex2i(q.x + q.size, q.y + q.size);
        glTexCoord2f(0, 1);
        glVertex2i(q.x, q.y + q.size);
        glEnd();
    }
    const unsigned char *rgba = canvas_->rgba();
    auto pixel = [&](int x, int y) { return rgba + ((kSize - 1 - y) * kSize + x) * 4; };  // y up
    for (int y = 0; y < 64; y += 7)
        for (int x = 0; x < 64; ++x) {
            const unsigned char *p = pixel(16 + x, 16 + y);
            const int red = x % 2 ? 0 : 255;
            ASSERT_EQ(p[0], red) << x << ", " << y;
            ASSERT_EQ(p[1], 0) << x << ", " << y;
            ASSERT_EQ(p[2], 255 - red) << x << ", " << y;
        }
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const unsigned char *p = pixel(160 + x, 160 + y);
            ASSERT_TRUE(p[0] == 128 && p[1] == 0 && p[2] == 128)
                << x << ", " << y << ": " << int{p[0]} << " " << int{p[1]} << " " << int{p[2]};
        }
    glDeleteTextures(1, &name);
}

namespace {

// A view of the scene: the viewport (an offset one, so that its origin
// counts), the projection and the camera.
struct ProjectionView {
    const char *what;
    GLint viewport[4];
    bool ortho;
    Vec3 eye;
};

const ProjectionView kProjectionViews[] = {
    {"perspective, the whole canvas", {0, 0, 256, 256}, false, {3, 2, 6}},
    {"perspective, an offset viewport", {40, 10, 160, 220}, false, {-2, 4, 5}},
    {"orthographic, an offset viewport", {20, 30, 200, 150}, true, {1, -1, 8}},
};

void setUpView(const ProjectionView &v) {
    glViewport(v.viewport[0], v.viewport[1], v.viewport[2], v.viewport[3]);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double aspect = static_cast<double>(v.viewport[2]) / v.viewport[3];
    if (v.ortho)
        glOrtho(-3 * aspect, 3 * aspect, -3, 3, 1, 20);
    else
        gluPerspective(50, aspect, 1, 20);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(v.eye.x, v.eye.y, v.eye.z, 0, 0, 0, 0, 1, 0);
}

struct Matrices {
    GLdouble model[16], proj[16];
    GLint viewport[4];
};

Matrices glMatrices() {
    Matrices m;
    glGetDoublev(GL_MODELVIEW_MATRIX, m.model);
    glGetDoublev(GL_PROJECTION_MATRIX, m.proj);
    glGetIntegerv(GL_VIEWPORT, m.viewport);
    return m;
}

Vec3 unProject(const Matrices &m, double x, double y, double z) {
    Vec3 p{};
    EXPECT_EQ(gluUnProject(x, y, z, m.model, m.proj, m.viewport, &p.x, &p.y, &p.z), GLU_TRUE);
    return p;
}

}  // namespace

TEST_F(CompatGl, ProjectLandsOnThePixelGlDrawsAndUnProjectGivesThePointBack) {
    const Vec3 points[] = {{0, 0, 0}, {0.7, -0.4, 0.9}, {-1.3, 0.6, -0.8}, {0.31, 1.17, 0.05}, {1.9, -1.1, -2.3}};
    std::vector<unsigned char> rgba(kSize * kSize * 4);
    for (const ProjectionView &v : kProjectionViews) {
        for (const Vec3 &p : points) {
            SCOPED_TRACE(testing::Message() << v.what << ", point " << p.x << " " << p.y << " " << p.z);
            glClearColor(0, 0, 0, 0);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            setUpView(v);
            // A rotation of the model too, so the model-view is no camera alone.
            glRotated(30, 1, 1, 0);
            glDisable(GL_LIGHTING);
            glDisable(GL_TEXTURE_2D);
            glEnable(GL_DEPTH_TEST);
            glColor4f(1, 1, 1, 1);
            glBegin(GL_POINTS);
            glVertex3d(p.x, p.y, p.z);
            glEnd();
            const Matrices m = glMatrices();
            double winX = 0, winY = 0, winZ = 0;
            ASSERT_EQ(gluProject(p.x, p.y, p.z, m.model, m.proj, m.viewport, &winX, &winY, &winZ), GLU_TRUE);

            // GL lit exactly one pixel, the one containing (winX, winY), up
            // to GL's single precision.
            glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
            const Spot lit = find(rgba.data(), kSize, kSize, [](const unsigned char *px) { return px[0] > 128; });
            ASSERT_EQ(lit.count, 1);
            EXPECT_LE(std::fabs(lit.x + 0.5 - winX), 0.5 + 1e-3);
            EXPECT_LE(std::fabs(lit.y + 0.5 - winY), 0.5 + 1e-3);

            // Its depth is winZ, to the depth buffer's 24 bits.
            GLfloat depth = -1;
            glReadPixels(static_cast<GLint>(lit.x), static_cast<GLint>(lit.y), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT,
                         &depth);
            EXPECT_NEAR(depth, winZ, 1e-6);

            // Unprojected, gluProject's window point is the point again;
            // the pixel's centre at GL's depth is within that pixel's
            // footprint (and the depth error's reach) of it.
            const Vec3 back = unProject(m, winX, winY, winZ);
            EXPECT_LT(norm(sub(back, p)), 1e-9 * (1 + norm(p)));
            const double pixel = norm(sub(unProject(m, winX + 1, winY, winZ), back));
            const double depthStep = norm(sub(unProject(m, winX, winY, winZ + 1e-6), back));
            EXPECT_LT(norm(sub(unProject(m, lit.x + 0.5, lit.y + 0.5, depth), p)), 0.75 * pixel + depthStep);
        }
    }
}

TEST_F(CompatGl, PickMatrixSelectsTheObjectUnderTheCursor) {
    // Four named spheres: three apart (not symmetric about the middle, so a
    // pick mirrored in x or y finds another), the fourth behind the second
    // on the line from the eye, (-2, 4, 5).
    const struct {
        GLuint name;
        Vec3 centre;
    } spheres[] = {{1, {-1.6, 0.9, 0}}, {2, {0, 0, 0}}, {3, {1.7, -0.2, 0}}, {4, {1.2, -2.4, -3}}};
    const float radius = 0.5f;
    const ProjectionView &view = kProjectionViews[1];  // an offset viewport
    auto draw = [&](const double *pickAt) {
        glViewport(view.viewport[0], view.viewport[1], view.viewport[2], view.viewport[3]);
        setUpView(view);
        if (pickAt) {
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            gluPickMatrix(pickAt[0], pickAt[1], 3, 3, view.viewport);
            gluPerspective(50, static_cast<double>(view.viewport[2]) / view.viewport[3], 1, 20);
            glMatrixMode(GL_MODELVIEW);
        }
        for (const auto &s : spheres) {
            glLoadName(s.name);
            glPushMatrix();
            glTranslated(s.centre.x, s.centre.y, s.centre.z);
            gluSphere(nullptr, radius, 32, 16);
            glPopMatrix();
        }
    };
    // The names hit in GL_SELECT mode at window point (x, y), nearest first.
    auto pick = [&](double x, double y) {
        std::vector<GLuint> buffer(256);
        glSelectBuffer(static_cast<GLsizei>(buffer.size()), buffer.data());
        glRenderMode(GL_SELECT);
        glInitNames();
        glPushName(0);
        const double at[2] = {x, y};
        draw(at);
        const GLint hits = glRenderMode(GL_RENDER);
        std::vector<std::pair<GLuint, GLuint>> found;  // (nearest depth, name)
        for (GLint h = 0, i = 0; h < hits; ++h) {
            EXPECT_EQ(buffer[i], 1u);  // one name on the stack
            found.push_back({buffer[i + 1], buffer[i + 3]});
            i += 3 + static_cast<GLint>(buffer[i]);
        }
        std::sort(found.begin(), found.end());
        std::vector<GLuint> names;
        for (const auto &f : found)
            names.push_back(f.second);
        return names;
    };

    draw(nullptr);
    const Matrices m = glMatrices();
    for (const auto &s : spheres) {
        if (s.name == 4)
            continue;
        SCOPED_TRACE(testing::Message() << "sphere " << s.name);
        double x = 0, y = 0, z = 0;
        ASSERT_EQ(gluProject(s.centre.x, s.centre.y, s.centre.z, m.model, m.proj, m.viewport, &x, &y, &z), GLU_TRUE);
        // Its radius on screen, from the distance and the focal length.
        const double distance = norm(sub(s.centre, view.eye));
        const double focal = view.viewport[3] / 2.0 / std::tan(25 * kPi / 180);
        const double r = focal * std::tan(std::asin(radius / distance));
        ASSERT_GT(r, 10);

        EXPECT_EQ(pick(x, y), (s.name == 2 ? std::vector<GLuint>{2, 4} : std::vector<GLuint>{s.name}));
        // Just inside its edge it is picked; a region's width beyond it, not.
        EXPECT_EQ(pick(x + r - 3, y), std::vector<GLuint>{s.name});
        EXPECT_EQ(pick(x, y - r - 4), std::vector<GLuint>{});
    }
    // A corner of the viewport holds nothing.
    EXPECT_EQ(pick(view.viewport[0] + 2, view.viewport[1] + 2), std::vector<GLuint>{});
}

namespace {

// A picture, row 0 at the top.
struct Image {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char *at(double x, double y) const {
        const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
        EXPECT_TRUE(ix >= 0 && iy >= 0 && ix < width && iy < height) << x << ", " << y;
        return &rgb[(std::min(std::max(iy, 0), height - 1) * width + std::min(std::max(ix, 0), width - 1)) * 3];
    }
};

std::string programDir() {
    const char *dir = std::getenv("SOFTGLU_LEGACY_DIR");
    return dir && *dir ? dir : SOFTGLU_LEGACY_BUILD_DIR;
}

// Runs the legacy example `name` with `args` and returns its exit status
// (-1 if it did not exit).  `limit` is a shell command run first, such as
// a file size limit.
int runLegacy(const std::string &name, const std::vector<std::string> &args, const std::string &limit = "") {
    std::string script = limit.empty() ? "exec" : limit + "; exec";
    script += " " + shellQuoted(programDir() + "/" + name);
    for (const std::string &a : args)
        script += " " + shellQuoted(a);
    return runShell(script).status;
}

std::string scratchPath(const std::string &name) {
    return testing::TempDir() + "softglu-legacy-" + std::to_string(getpid()) + "-" + name;
}

// Runs the legacy example `name` and reads the picture it writes.
Image picture(const std::string &name) {
    Image image;
    const std::string out = scratchPath(name + ".png");
    const int status = runLegacy(name, {out});
    if (status != 0) {
        ADD_FAILURE() << name << " failed (status " << status << ")";
        return image;
    }
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, out.c_str())) {
        png.format = PNG_FORMAT_RGB;
        image.rgb.resize(PNG_IMAGE_SIZE(png));
        if (png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) {
            image.width = static_cast<int>(png.width);
            image.height = static_cast<int>(png.height);
        }
    }
    if (!image.width)
        ADD_FAILURE() << "cannot read " << out << ": " << png.message;
    std::remove(out.c_str());
    return image;
}

int brightness(const unsigned char *p) { return p[0] + p[1] + p[2]; }

// Where a world point lands in a picture of width x height pixels (x to
// the right, y down from the top) through gluPerspective(fovy, w / h) and a
// camera at `eye` looking at `centre`, `up` upwards: the pinhole camera.
struct PerspectiveView {
    Vec3 eye, centre, up;
    double fovy;
};

std::array<double, 2> project(const PerspectiveView &v, int width, int height, Vec3 point) {
    const Vec3 forward = scale(sub(v.centre, v.eye), 1.0 / norm(sub(v.centre, v.eye)));
    const Vec3 right = scale(cross(forward, v.up), 1.0 / norm(cross(forward, v.up)));
    const Vec3 up = cross(right, forward);
    const Vec3 d = sub(point, v.eye);
    const double focal = height / 2.0 / std::tan(v.fovy * kPi / 360.0);  // pixels
    return {width / 2.0 + focal * dot(d, right) / dot(d, forward),
            height / 2.0 - focal * dot(d, up) / dot(d, forward)};
}

// Counts the pixels in the box of half-size r about (x, y) that `pred` takes.
template <typename Pred>
int countAround(const Image &img, std::array<double, 2> at, double r, Pred pred) {
    int n = 0;
    for (int y = static_cast<int>(at[1] - r); y <= static_cast<int>(at[1] + r); ++y)
        for (int x = static_cast<int>(at[0] - r); x <= static_cast<int>(at[0] + r); ++x)
            if (x >= 0 && y >= 0 && x < img.width && y < img.height)
                n += pred(img.at(x, y));
    return n;
}

// A place of a picture and the colour each pixel about it must have.
struct Place {
    const char *what;
    std::array<double, 2> at;
    std::function<bool(const unsigned char *)> colour;
};

// Every pixel of the 3 x 3 box about each place has the place's colour.
void expectColours(const Image &img, std::initializer_list<Place> places) {
    for (const Place &s : places) {
        SCOPED_TRACE(testing::Message() << s.what << " at " << s.at[0] << ", " << s.at[1]);
        EXPECT_EQ(countAround(img, s.at, 1, s.colour), 9);
    }
}

}  // namespace

TEST(LegacyProgram, SolarShowsTheSunInTheMiddleAndPlanetsLitFromIt) {
    const Image img = picture("solar");
    ASSERT_EQ(img.width, 640);
    ASSERT_EQ(img.height, 400);
    const PerspectiveView view{{0, 7, 16}, {0, 0, 0}, {0, 1, 0}, 40.0};
    auto at = [&](Vec3 p) { return project(view, img.width, img.height, p); };

    // The camera looks at the sun: yellow in the middle.
    const unsigned char *sun = img.at(320, 200);
    EXPECT_TRUE(sun[0] > 220 && sun[1] > 170 && sun[2] < 120) << int{sun[0]} << " " << int{sun[1]} << " " << int{sun[2]};

    // The world, right of the sun: lit on the sun's side, textured with
    // oceans and land.
    const Vec3 world{5.9, 0, 2.75};
    const auto left = at({world.x - 0.8, 0, world.z}), right = at({world.x + 0.8, 0, world.z});
    EXPECT_GT(brightness(img.at(left[0], left[1])), brightness(img.at(right[0], right[1])) + 80);
    const auto centre = at(world);
    const double radius = (right[0] - left[0]) / 1.6 * 1.1;
    EXPECT_GT(countAround(img, centre, radius * 0.7, [](const unsigned char *p) { return p[2] > p[0] + 40 && p[2] > p[1]; }), 20);
    EXPECT_GT(countAround(img, centre, radius * 0.7, [](const unsigned char *p) { return p[1] > p[0] + 30 && p[1] > p[2] + 10; }), 20);

    // The red planet (half in its own shadow) and the ringed giant where
    // their orbits put them.
    EXPECT_GT(countAround(img, at({-3.29, 0, -1.9}), 8, [](const unsigned char *p) { return p[0] > p[1] + 30; }), 20);
    const auto giant = at({-9.1, 0, -5.25});
    const unsigned char *g = img.at(giant[0], giant[1]);
    EXPECT_GT(g[0], g[2] + 40);

    // Space around them.
    EXPECT_GT(countAround(img, {30, 30}, 25, [](const unsigned char *p) { return brightness(p) < 60; }), 51 * 51 * 9 / 10);
}

TEST(LegacyProgram, RobotStandsBesideItsSectorLitFromTheLeft) {
    const Image img = picture("robot");
    ASSERT_EQ(img.width, 400);
    ASSERT_EQ(img.height, 300);
    const PerspectiveView view{{5, 6, 9}, {0, 1.2, 0}, {0, 1, 0}, 45.0};
    auto pixel = [&](Vec3 p) {
        const auto xy = project(view, img.width, img.height, p);
        return img.at(xy[0], xy[1]);
    };
    auto orange = [](const unsigned char *p) { return p[0] > 180 && p[1] > 80 && p[1] < 190 && p[2] < 90; };

    // The floor's sector from 120 to 240 degrees (0 towards -z, 90 towards
    // +x) is orange, the floor outside it is not.
    for (double a : {130.0, 180.0, 230.0, 60.0, 90.0, 270.0, 300.0}) {
        const double rad = a * kPi / 180.0;
        const unsigned char *p = pixel({2.5 * std::sin(rad), 0.0, -2.5 * std::cos(rad)});
        EXPECT_EQ(orange(p), a > 120.0 && a < 240.0) << a << " degrees: " << int{p[0]} << " " << int{p[1]} << " " << int{p[2]};
    }

    // The base's side facing the light (front left) is brighter than the
    // side turned away from it (front right).
    const double c = 1.2 * std::sqrt(0.5);
    EXPECT_GT(brightness(pixel({-c, 0.25, c})), brightness(pixel({c, 0.25, c})) + 60);
}

TEST(LegacyProgram, HudGaugesShowTheirSectorsOverTheLitDrum) {
    const Image img = picture("hud");
    ASSERT_EQ(img.width, 400);
    ASSERT_EQ(img.height, 300);
    // gluOrtho2D(0, w, 0, h): window coordinates, y up from the bottom row.
    auto gauge = [&](double cx, double a) {
        const double rad = a * kPi / 180.0;
        return img.at(cx + 41.0 * std::sin(rad), img.height - (64.0 + 41.0 * std::cos(rad)));
    };
    auto grey = [](const unsigned char *p) { return std::abs(p[0] - p[2]) < 25 && p[0] > 60 && p[0] < 110; };
    auto green = [](const unsigned char *p) { return p[1] > 180 && p[1] > p[0] + 80; };
    auto amber = [](const unsigned char *p) { return p[0] > 200 && p[1] > 120 && p[2] < 80; };
    // Left: -120 through +170 degrees; right: 120 back through -100.
    for (double a : {-110.0, -60.0, 0.0, 40.0, 60.0, 120.0, 180.0, 230.0}) {
        const unsigned char *p = gauge(64.0, a);
        const bool in = a > -120.0 && a < 50.0;
        EXPECT_TRUE(in ? green(p) : grey(p)) << "left gauge at " << a;
    }
    for (double a : {30.0, 70.0, 110.0, 0.0, -60.0, 150.0, 200.0, 300.0}) {
        const unsigned char *p = gauge(img.width - 64.0, a);
        const bool in = a > 20.0 && a < 120.0;
        EXPECT_TRUE(in ? amber(p) : grey(p)) << "right gauge at " << a;
    }
    // Through the rings' holes the background shows.
    EXPECT_LT(brightness(img.at(64, img.height - 64)), 120);
    EXPECT_LT(brightness(img.at(img.width - 64, img.height - 64)), 120);

    // The drum in the middle: brighter on the left, where the light comes
    // from, and its red stripe on the right of its front, where the classic
    // label mapping puts it.
    int leftSum = 0, leftN = 0, rightSum = 0, rightN = 0, redN = 0;
    double redX = 0;
    for (int y = 110; y < 190; ++y)
        for (int x = 140; x < 260; ++x) {
            const unsigned char *p = img.at(x, y);
            if (p[0] > 3 * p[1] && p[0] > 30) {
                ++redN;
                redX += x;
            } else if (x < 180) {
                leftSum += brightness(p);
                ++leftN;
            } else if (x >= 220) {
                rightSum += brightness(p);
                ++rightN;
            }
        }
    ASSERT_GT(leftN, 0);
    ASSERT_GT(rightN, 0);
    EXPECT_GT(leftSum / leftN, rightSum / rightN + 100);
    ASSERT_GT(redN, 200);
    EXPECT_GT(redX / redN, 215.0);
}

TEST(LegacyProgram, OffscreenFailsCleanlyAndNeverLeavesAPartialImage) {
    // Bad usage: status 2.  A failed write: status 1, and the file already
    // at the path (here: a previous picture) is left as it was, with no
    // temporary file beside it.
    const TempDir dir;
    const std::string previous = dir / "offscreen.png";
    {
        std::ofstream(previous) << "the previous picture";
    }
    // A file may grow to one 512-byte block; a write beyond fails (EFBIG).
    const std::string diskFull = "ulimit -f 1; trap '' XFSZ";
    const struct {
        const char *what;
        std::vector<std::string> args;
        std::string limit;
        int status;
    } cases[] = {
        {"no output named", {}, "", 2},
        {"two outputs", {previous, previous}, "", 2},
        {"an option", {"--help"}, "", 2},
        {"a directory that does not exist", {dir / "missing/solar.png"}, "", 1},
        {"the disk full after 512 bytes", {previous}, diskFull, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
#ifdef __SANITIZE_THREAD__
        // ThreadSanitizer's runtime dies of SIGBUS while the program is
        // still loading, under any file size limit.
        if (!c.limit.empty())
            continue;
#endif
        EXPECT_EQ(runLegacy("solar", c.args, c.limit), c.status);
        EXPECT_EQ(slurp(previous), "the previous picture");
        EXPECT_EQ(dir.names(), std::vector<std::string>{"offscreen.png"});
    }
}

TEST(LegacyProgram, PickLabelsTheMiddleBallAndMipmapsItsStripesToPurple) {
    const Image img = picture("pick");
    ASSERT_EQ(img.width, 400);
    ASSERT_EQ(img.height, 300);
    const PerspectiveView view{{0, 2, 8}, {0, 0, 0}, {0, 1, 0}, 40.0};
    auto white = [](const unsigned char *p) { return p[0] > 240 && p[1] > 240 && p[2] > 240; };
    for (double x : {-2.5, 0.0, 2.5}) {
        SCOPED_TRACE(testing::Message() << "ball at x = " << x);
        const auto centre = project(view, img.width, img.height, {x, 0, 0});
        // Red and blue stripes blended by the smaller levels: purple, not
        // the untextured white of an incomplete texture.
        long sum[3] = {0, 0, 0};
        int n = 0;
        countAround(img, centre, 15, [&](const unsigned char *p) {
            for (int k = 0; k < 3; ++k)
                sum[k] += p[k];
            return ++n > 0;
        });
        ASSERT_GT(n, 0);
        EXPECT_GT(sum[0] / n, sum[1] / n + 50);
        EXPECT_GT(sum[2] / n, sum[1] / n + 50);
        // Only the picked (middle) ball has the white label 40 pixels above
        // its centre, where gluProject and gluUnProject put it.
        const int labelled = countAround(img, {centre[0], centre[1] - 40.0}, 4, white);
        if (x == 0.0)
            EXPECT_EQ(labelled, 81);
        else
            EXPECT_EQ(labelled, 0);
    }
}

namespace {

// examples/legacy/quadrics.c's panels: 160 x 160 pixels, (column, row)
// from the top left.
const int kPanel = 160;

std::array<double, 2> panelCentre(int column, int row) { return {column * kPanel + 80.0, row * kPanel + 80.0}; }

// Where the point (x, y) of a flat panel (glOrtho(-1.2, 1.2, ...)) lands.
std::array<double, 2> flatAt(int column, int row, double x, double y) {
    const auto c = panelCentre(column, row);
    const double perUnit = kPanel / 2.4;
    return {c[0] + x * perUnit, c[1] - y * perUnit};
}

// The point at `degrees` (0 on +y, towards +x) and radius r.
std::array<double, 2> polarAt(int column, int row, double degrees, double r) {
    const double a = degrees * kPi / 180.0;
    return flatAt(column, row, r * std::sin(a), r * std::cos(a));
}

bool lit(const unsigned char *p) { return brightness(p) > 400; }

}  // namespace

TEST(LegacyProgram, QuadricsClosesItsTubeWithTheInsideCapThatCullingKeeps) {
    const Image img = picture("quadrics");
    ASSERT_EQ(img.width, 480);
    ASSERT_EQ(img.height, 320);
    const PerspectiveView view{{1.8, 1.2, -2.6}, {0, 0, 0.8}, {0, 0, 1}, 40.0};
    auto green = [](const unsigned char *p) { return p[1] > 150 && p[0] < 80 && p[2] < 100; };
    // The far cap (z = 0), facing the eye through GLU_INSIDE, closes the
    // tube: green where its centre is, not the black of an open end.
    const auto cap = project(view, kPanel, kPanel, {0, 0, 0});
    EXPECT_EQ(countAround(img, cap, 10, green), 21 * 21);
    // The wall shows both colours of its striped texture.
    auto red = [](const unsigned char *p) { return p[0] > 200 && p[1] < 60; };
    auto white = [](const unsigned char *p) { return p[0] > 200 && p[1] > 200 && p[2] > 200; };
    const std::array<double, 2> panel = {80, 80};
    EXPECT_GT(countAround(img, panel, 79, red), 300);
    EXPECT_GT(countAround(img, panel, 79, white), 300);
}

TEST(LegacyProgram, QuadricsShowsTheSpheresMarkedTexelWhereTheClassicMappingPutsIt) {
    const Image img = picture("quadrics");
    ASSERT_EQ(img.width, 480);
    long n = 0;
    double x = 0, y = 0;
    for (int py = 0; py < kPanel; ++py)
        for (int px = kPanel; px < 2 * kPanel; ++px) {
            const unsigned char *p = img.at(px, py);
            if (p[0] > 200 && p[1] < 60 && p[2] < 60) {
                ++n;
                x += px;
                y += py;
            }
        }
    ASSERT_GT(n, 50);
    EXPECT_NEAR(x / n, 240 - 0.5, 3.0);
    EXPECT_NEAR(y / n, 80 - 0.5, 3.0);
}

TEST(LegacyProgram, QuadricsDrawsLinesPointsAndOutlinesWhereTheyBelong) {
    const Image img = picture("quadrics");
    ASSERT_EQ(img.width, 480);
    // The disks: rings at radius 0.25, 0.5, 0.75 and 1, spokes every 45
    // degrees from 0; the rings are octagons, whose sides' middles lie at
    // cos 22.5 of their radius.
    const double side = std::cos(22.5 * kPi / 180.0);
    const struct {
        const char *what;
        std::array<double, 2> at;
        bool drawn;
    } spots[] = {
        {"line: a spoke between two rings", polarAt(2, 0, 0, 0.625), true},
        {"line: the side of an inner ring", polarAt(2, 0, 22.5, 0.5 * side), true},
        {"line: the outer circle", polarAt(2, 0, 22.5, side), true},
        {"line: the middle of a face", polarAt(2, 0, 22.5, 0.577), false},
        {"point: a vertex", polarAt(0, 1, 0, 0.5), true},
        {"point: the outer circle's vertex", polarAt(0, 1, 135, 1.0), true},
        {"point: a spoke between two vertices", polarAt(0, 1, 0, 0.625), false},
        {"point: the outer circle between two vertices", polarAt(0, 1, 22.5, side), false},
        {"silhouette: the outer circle", polarAt(1, 1, 22.5, side), true},
        {"silhouette: the inner circle", polarAt(1, 1, 22.5, 0.25 * side), true},
        {"silhouette: no ring inside", polarAt(1, 1, 22.5, 0.5 * side), false},
        {"silhouette: no spoke", polarAt(1, 1, 0, 0.625), false},
        {"sphere lines: the meridian facing the eye", flatAt(2, 1, 0, 0.5), true},
        {"sphere lines: the equator", flatAt(2, 1, 0.3, 0), true},
        {"sphere lines: between two meridians and two parallels", flatAt(2, 1, 0.25, 0.19), false},
    };
    for (const auto &s : spots) {
        SCOPED_TRACE(s.what);
        if (s.drawn)
            EXPECT_GT(countAround(img, s.at, 1, lit), 0);
        else
            EXPECT_EQ(countAround(img, s.at, 2, [](const unsigned char *p) { return brightness(p) > 30; }), 0);
    }
}

namespace {

// The tessellator's examples (examples/legacy/winding.c, contours.c): each
// row of cells holds one set of outlines, each column fills it under one
// rule, in this order.
const GLenum kRules[] = {GLU_TESS_WINDING_ODD, GLU_TESS_WINDING_NONZERO, GLU_TESS_WINDING_POSITIVE,
                         GLU_TESS_WINDING_NEGATIVE, GLU_TESS_WINDING_ABS_GEQ_TWO};

// What each rule fills, from the winding number the geometry gives.
bool fills(GLenum rule, int winding) {
    switch (rule) {
    case GLU_TESS_WINDING_ODD: return winding % 2 != 0;
    case GLU_TESS_WINDING_NONZERO: return winding != 0;
    case GLU_TESS_WINDING_POSITIVE: return winding > 0;
    case GLU_TESS_WINDING_NEGATIVE: return winding < 0;
    default: return winding >= 2 || winding <= -2;
    }
}

// A point of a set, in its cell's units (y up from the cell's bottom), and
// the winding number its contours give it.
struct WindingProbe {
    const char *what;
    int row;
    double x, y;
    int winding;
};

// Each probe, under each rule: the 5 x 5 pixels about it all filled (a
// colour brighter than `filled`) or all the black background.
void expectFilledByRule(const Image &img, int cell, const std::vector<WindingProbe> &probes, int filled) {
    ASSERT_EQ(img.width, 5 * cell);
    for (const WindingProbe &p : probes)
        for (int column = 0; column < 5; ++column) {
            const bool in = fills(kRules[column], p.winding);
            SCOPED_TRACE(testing::Message() << p.what << " (winding " << p.winding << ") in column " << column);
            const std::array<double, 2> at = {column * cell + p.x, (p.row + 1) * cell - p.y};
            if (in)
                EXPECT_EQ(countAround(img, at, 2, [&](const unsigned char *q) { return brightness(q) > filled; }), 25);
            else
                EXPECT_EQ(countAround(img, at, 2, [](const unsigned char *q) { return brightness(q) < 30; }), 25);
        }
}

}  // namespace

TEST(LegacyProgram, WindingFillsTheStarTheLetterAndThePairAsEachRuleSays) {
    const Image img = picture("winding");
    ASSERT_EQ(img.height, 300);
    // Winding numbers from the outlines' orientation: the pentagram
    // counterclockwise, the "A" and its hole clockwise, the square
    // counterclockwise and the circle clockwise.
    expectFilledByRule(img, 100,
                       {{"star: the top point", 0, 50, 80, 1},
                        {"star: the middle", 0, 50, 50, 2},
                        {"star: between the lower points", 0, 50, 20, 0},
                        {"star: the corner", 0, 12, 88, 0},
                        {"letter: a leg", 1, 22, 20, -1},
                        {"letter: the bar", 1, 50, 37, -1},
                        {"letter: the hole", 1, 50, 55, -2},
                        {"letter: between the legs", 1, 50, 15, 0},
                        {"pair: the square alone", 2, 20, 20, 1},
                        {"pair: the circle alone", 2, 80, 80, -1},
                        {"pair: both", 2, 55, 55, 0},
                        {"pair: neither", 2, 90, 15, 0}},
                       250);
}

TEST(LegacyProgram, ContoursFillsEachSetOfContoursAsEachRuleSays) {
    const Image img = picture("contours");
    ASSERT_EQ(img.height, 320);
    // No normal is given: softglu takes the one about which the contours'
    // area is positive, so the clockwise square with its hole winds 1, not -1.
    expectFilledByRule(img, 80,
                       {{"two squares the same way: the ring", 0, 18, 40, 1},
                        {"two squares the same way: the middle", 0, 40, 40, 2},
                        {"two squares the same way: outside", 0, 5, 40, 0},
                        {"a square with a hole (gluNextContour): the ring", 1, 20, 40, 1},
                        {"a square with a hole (gluNextContour): the hole", 1, 40, 40, 0},
                        {"three squares: the outer ring", 2, 15, 40, 1},
                        {"three squares: the middle ring", 2, 28, 40, 2},
                        {"three squares: the inside", 2, 40, 40, 3},
                        {"a cross: an arm", 3, 15, 40, 1},
                        {"a cross: the middle", 3, 40, 40, 2},
                        {"a cross: between two arms", 3, 18, 18, 0}},
                       600);
}

TEST(LegacyProgram, ExtrudeShowsTheGlyphsFrontBackAndSidesWithItsCounterOpen) {
    const Image img = picture("extrude");
    ASSERT_EQ(img.width, 480);
    ASSERT_EQ(img.height, 320);
    const PerspectiveView view{{1, 3, 8}, {0, 0, 0}, {0, 1, 0}, 40.0};
    // A point (x, y, z) of the glyph, on the left solid (facing the eye) or
    // on the right one (turned half round about y).
    auto left = [&](double x, double y, double z) {
        return project(view, img.width, img.height, {x - 0.7 - 1.6, y - 1.0, z});
    };
    auto right = [&](double x, double y, double z) {
        return project(view, img.width, img.height, {0.7 - x + 1.6, y - 1.0, -z});
    };
    auto red = [](const unsigned char *p) { return p[0] > 150 && p[0] > p[1] + 80 && p[0] > p[2] + 80; };
    auto blue = [](const unsigned char *p) { return p[2] > 150 && p[2] > p[0] + 80 && p[2] > p[1] + 40; };
    auto grey = [](const unsigned char *p) {
        return std::abs(p[0] - p[1]) < 20 && std::abs(p[1] - p[2]) < 20 && brightness(p) > 150;
    };
    auto black = [](const unsigned char *p) { return brightness(p) < 30; };
    expectColours(img, {
        {"left: the front face's stem", left(0.2, 0.35, 0.4), red},
        {"left: the front face's bowl", left(1.3, 1.35, 0.4), red},
        {"left: the open counter, seen through", left(0.75, 1.35, 0.0), black},
        {"left: beside the stem, below the bowl", left(1.0, 0.3, 0.4), black},
        {"left: the top side", left(0.2, 2.0, 0.0), grey},
        {"right: the back face's stem", right(0.2, 0.35, -0.4), blue},
        {"right: the back face's bowl", right(1.3, 1.35, -0.4), blue},
        {"right: the open counter, seen through", right(0.75, 1.35, 0.0), black},
        {"right: the top side", right(0.2, 2.0, 0.0), grey},
    });
}

// The textbook trimmed surface (examples/legacy/trimmed.c), seen from
// straight above: the orange hill with a D-shaped hole, flat side up on
// the screen, cut by a NURBS arc and a linear piece; black around it.
TEST(LegacyProgram, TrimmedShowsTheSurfaceWithItsHoleOfTwoPieces) {
    const Image img = picture("trimmed");
    ASSERT_EQ(img.width, 400);
    ASSERT_EQ(img.height, 400);
    const PerspectiveView view{{0, 9, 0}, {0, 0, 0}, {0, 0, -1}, 40.0};
    // The point of parameters (u, v), on the hill 0.6 B(u) B(v), B(t) = 3t(1 - t).
    auto at = [&](double u, double v) {
        const double height = 0.6 * 3 * u * (1 - u) * 3 * v * (1 - v);
        return project(view, img.width, img.height, {4 * u - 2, height, 4 * v - 2});
    };
    auto orange = [](const unsigned char *p) { return p[0] > 120 && p[0] > p[2] + 60 && p[1] > p[2] + 20; };
    auto black = [](const unsigned char *p) { return brightness(p) < 30; };
    expectColours(img, {
        {"the hole, under the arc's top", at(0.5, 0.62), black},
        {"the hole, near its flat side", at(0.35, 0.53), black},
        {"the hole, near its arc", at(0.62, 0.66), black},
        {"the surface beside the flat side", at(0.5, 0.45), orange},
        {"the surface above the arc", at(0.5, 0.78), orange},
        {"the surface beside the arc's end", at(0.25, 0.55), orange},
        {"the surface near a corner", at(0.05, 0.05), orange},
        {"outside the patch", at(1.15, 0.5), black},
    });
}

// The NURBS landscape (examples/legacy/landscape.c), seen from straight
// above: the lit green surface round a black hole of radius 1.2 about the
// origin, and the red curve over it along z = 2.
TEST(LegacyProgram, LandscapeShowsTheLitSurfaceItsTrimmedHoleAndTheCurve) {
    const Image img = picture("landscape");
    ASSERT_EQ(img.width, 400);
    ASSERT_EQ(img.height, 400);
    const PerspectiveView view{{0, 9, 0}, {0, 0, 0}, {0, 0, -1}, 40.0};
    auto at = [&](double x, double y, double z) { return project(view, img.width, img.height, {x, y, z}); };
    auto green = [](const unsigned char *p) { return p[1] > 60 && p[1] > p[0] + 30 && p[1] > p[2] + 20; };
    auto red = [](const unsigned char *p) { return p[0] > 150 && p[1] < 60 && p[2] < 60; };
    auto black = [](const unsigned char *p) { return brightness(p) < 30; };
    expectColours(img, {
        {"the hole's centre", at(0, 0, 0), black},
        {"inside the hole, near its edge", at(0.9, 0, 0), black},
        {"the surface outside the hole", at(1.8, 0, 0), green},
        {"the surface near a corner", at(-2.5, 0, -2.5), green},
        {"the surface beyond the curve", at(-2.5, 0, 2.6), green},
        {"the curve's middle", at(0, 1, 2), red},
    });
}
