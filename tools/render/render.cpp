// SPDX-License-Identifier: MIT
#include "render.h"

#include <GL/osmesa.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include <sys/resource.h>

namespace render {
namespace {

struct KindInfo {
    Kind kind;
    const char *name;
    float colour[4];
    double tilt;  // degrees about x: every shape shows its front and its axis leans back
};

const KindInfo kKinds[] = {
    {Kind::Cylinder, "cylinder", {0.95f, 0.62f, 0.25f, 1.0f}, -75.0},
    {Kind::Cone, "cone", {0.92f, 0.38f, 0.32f, 1.0f}, -75.0},
    {Kind::Disk, "disk", {0.35f, 0.68f, 0.95f, 1.0f}, -35.0},
    {Kind::Annulus, "annulus", {0.42f, 0.85f, 0.52f, 1.0f}, -35.0},
    {Kind::Sphere, "sphere", {0.96f, 0.88f, 0.42f, 1.0f}, -70.0},
    {Kind::Torus, "torus", {0.74f, 0.52f, 0.96f, 1.0f}, -60.0},
};

const KindInfo &info(Kind kind) { return kKinds[static_cast<int>(kind)]; }

// An 8 x 8 checkerboard of light and mid grey over the unit texture square.
void makeCheckerTexture() {
    const int size = 64, cell = 8;
    std::vector<unsigned char> texels(size * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            unsigned char *t = &texels[(y * size + x) * 4];
            t[0] = t[1] = t[2] = ((x / cell + y / cell) % 2) ? 255 : 110;
            t[3] = 255;
        }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

// A white directional light shining from the eye along the view direction,
// set while the modelview matrix is the identity so it moves with the
// camera.  One-sided lighting: a face seen from its back is lit with its own
// normal, which then faces away, and gets the ambient term alone.
void headlight() {
    const GLfloat direction[4] = {0.0f, 0.0f, 1.0f, 0.0f};
    const GLfloat ambient[4] = {kAmbient, kAmbient, kAmbient, 1.0f};
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat none[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat shine[4] = {kSpecular, kSpecular, kSpecular, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, shine);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 40.0f);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
}

void setEnabled(GLenum cap, bool on) {
    if (on)
        glEnable(cap);
    else
        glDisable(cap);
}

}  // namespace

const std::vector<Kind> &allKinds() {
    static const std::vector<Kind> kinds = {Kind::Cylinder, Kind::Cone,   Kind::Disk,
                                            Kind::Annulus,  Kind::Sphere, Kind::Torus};
    return kinds;
}

const char *name(Kind kind) { return info(kind).name; }

bool kindNamed(const std::string &name, Kind &kind) {
    for (const KindInfo &k : kKinds)
        if (name == k.name) {
            kind = k.kind;
            return true;
        }
    return false;
}

Shape defaultShape(Kind kind) {
    Shape s{};
    s.kind = kind;
    s.baseRadius = 0.6;
    s.topRadius = kind == Kind::Cone ? 0.0 : 0.6;
    s.height = 1.6;
    s.innerRadius = kind == Kind::Annulus ? 0.45 : 0.0;
    s.outerRadius = 1.0;
    s.loops = 3;
    s.radius = 1.0f;
    s.rc = 0.3f;
    s.rt = 0.8f;
    s.numc = 16;
    s.numt = 32;
    s.slices = kind == Kind::Sphere ? 32 : 24;
    s.stacks = kind == Kind::Sphere ? 16 : 4;
    return s;
}

void draw(const Shape &s) {
    GLUquadricObj *q = gluNewQuadric();
    switch (s.kind) {
    case Kind::Cylinder:
    case Kind::Cone: gluCylinder(q, s.baseRadius, s.topRadius, s.height, s.slices, s.stacks); break;
    case Kind::Disk:
    case Kind::Annulus: gluDisk(q, s.innerRadius, s.outerRadius, s.slices, s.loops); break;
    case Kind::Sphere: gluSphere(q, s.radius, s.slices, s.stacks); break;
    case Kind::Torus: drawTorus(s.rc, s.numc, s.rt, s.numt); break;
    }
}

bool textured(Kind kind) { return kind != Kind::Torus; }

const float *colour(Kind kind) { return info(kind).colour; }

View frame(const Shape &s, double aspect) {
    View v{{0.0, 0.0, 0.0}, 1.0, 0.0, info(s.kind).tilt};
    switch (s.kind) {
    case Kind::Cylinder:
    case Kind::Cone: {
        const double r = std::max(std::fabs(s.baseRadius), std::fabs(s.topRadius));
        v.centre[2] = s.height / 2;
        v.radius = std::sqrt(r * r + v.centre[2] * v.centre[2]);
        break;
    }
    case Kind::Disk:
    case Kind::Annulus: v.radius = std::max(std::fabs(s.innerRadius), std::fabs(s.outerRadius)); break;
    case Kind::Sphere: v.radius = std::fabs(s.radius); break;
    case Kind::Torus: v.radius = std::fabs(s.rt) + std::fabs(s.rc); break;
    }
    if (!(v.radius > 0.0) || !std::isfinite(v.radius) || !std::isfinite(v.centre[2]))
        v = View{{0.0, 0.0, 0.0}, 1.0, 0.0, v.tilt};
    // Far enough that the bounding sphere fits the narrower field of view,
    // with a margin for the title.
    const double kPi = 3.141592653589793;
    const double halfY = kFovy * kPi / 360.0;
    const double halfX = std::atan(std::tan(halfY) * aspect);
    v.distance = 1.3 * v.radius / std::sin(std::min(halfX, halfY));
    return v;
}

Canvas::Canvas(int w, int h) : width(w), height(h), pixels_(static_cast<std::size_t>(w) * h * 4) {}

Canvas::~Canvas() {
    if (context_)
        OSMesaDestroyContext(static_cast<OSMesaContext>(context_));
}

namespace {

std::string mebibytes(std::size_t bytes) { return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MiB"; }

// Whether `bytes` more could be allocated now: a block that size is taken
// and given back.  Under an address-space limit (ulimit -v) that is exactly
// the question; where memory is overcommitted it fails only for the absurd.
bool available(std::size_t bytes) {
    void *p = std::malloc(bytes);
    std::free(p);
    return p != nullptr;
}

// Under a memory limit (ulimit -v or -d) Mesa does not always survive
// running short: llvmpipe's rasterizer threads and the shader cache's
// thread can crash where an allocation fails.  There, unless the
// environment says otherwise, llvmpipe draws on this thread (the scenes are
// small) and compiles its shaders afresh.
void steadyUnderMemoryLimit() {
    rlimit as{}, data{};
    const bool limited = (getrlimit(RLIMIT_AS, &as) == 0 && as.rlim_cur != RLIM_INFINITY) ||
                         (getrlimit(RLIMIT_DATA, &data) == 0 && data.rlim_cur != RLIM_INFINITY);
    if (!limited)
        return;
    setenv("LP_NUM_THREADS", "0", 0);
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
}

}  // namespace

std::unique_ptr<Canvas> Canvas::create(int width, int height, std::string &why) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::size_t bytes = 0;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        __builtin_mul_overflow(static_cast<std::size_t>(width), static_cast<std::size_t>(height), &bytes) ||
        __builtin_mul_overflow(bytes, std::size_t{4}, &bytes)) {
        why = "cannot draw " + size + ": each side must be 1 to " + std::to_string(kMaxSide);
        return nullptr;
    }
    std::unique_ptr<Canvas> canvas;
    try {
        canvas.reset(new Canvas(width, height));
    } catch (const std::bad_alloc &) {
        why = "not enough memory for a " + size + " framebuffer (" + mebibytes(bytes) + ")";
        return nullptr;
    }
    // OSMesa allocates a colour buffer of its own and a depth buffer, each
    // as large as ours, and llvmpipe working memory; where it cannot get
    // them it can crash rather than fail.  So the memory is looked for
    // before OSMesa is asked (with room for one more buffer).
    std::size_t needed = 0;
    if (__builtin_mul_overflow(bytes, std::size_t{3}, &needed) ||
        __builtin_add_overflow(needed, kGlWorkingMemory, &needed) || !available(needed)) {
        why = "not enough memory to draw " + size + ": OSMesa needs about " + mebibytes(needed);
        return nullptr;
    }
    steadyUnderMemoryLimit();
    const OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    if (!context) {
        why = "OSMesa could not create a context (out of memory?)";
        return nullptr;
    }
    canvas->context_ = context;
    if (!OSMesaMakeCurrent(context, canvas->pixels_.data(), GL_UNSIGNED_BYTE, width, height)) {
        why = "OSMesa could not make a " + size + " context current (out of memory?)";
        return nullptr;
    }
    OSMesaPixelStore(OSMESA_Y_UP, 0);  // row 0 of the buffer is the top
    makeCheckerTexture();
    return canvas;
}

const unsigned char *Canvas::rgba() {
    glFinish();
    return pixels_.data();
}

std::vector<unsigned char> Canvas::release() {
    glFinish();
    if (context_)
        OSMesaDestroyContext(static_cast<OSMesaContext>(context_));
    context_ = nullptr;
    return std::move(pixels_);
}

void clear(Canvas &) {
    glClearColor(kBackground[0], kBackground[1], kBackground[2], kBackground[3]);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void drawTile(Canvas &canvas, const Shape &s, const Style &style, int x, int y, int w, int h) {
    const int bottom = canvas.height - y - h;  // GL counts rows from the bottom
    glViewport(x, bottom, w, h);
    glScissor(x, bottom, w, h);
    glEnable(GL_SCISSOR_TEST);
    clear(canvas);

    const View v = frame(s, static_cast<double>(w) / h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFovy, static_cast<double>(w) / h, std::max(v.distance - 1.5 * v.radius, 0.05 * v.distance),
                   v.distance + 1.5 * v.radius);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    if (style.lighting)
        headlight();
    glTranslated(0.0, 0.0, -v.distance);
    glRotated(v.tilt, 1.0, 0.0, 0.0);
    glTranslated(-v.centre[0], -v.centre[1], -v.centre[2]);

    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    setEnabled(GL_CULL_FACE, style.cull != 0);
    if (style.cull)
        glCullFace(style.cull);
    setEnabled(GL_TEXTURE_2D, style.texture && textured(s.kind));
    glColor4fv(colour(s.kind));
    // The surface is pushed back a little so the mesh lines drawn over it win
    // the depth test.
    setEnabled(GL_POLYGON_OFFSET_FILL, style.wire);
    glPolygonOffset(1.0f, 1.0f);
    draw(s);

    if (style.wire) {
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_POLYGON_OFFSET_FILL);
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glColor4f(0.08f, 0.08f, 0.1f, 1.0f);
        draw(s);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }
    glDisable(GL_SCISSOR_TEST);
}

}  // namespace render
