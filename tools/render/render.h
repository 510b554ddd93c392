/* SPDX-License-Identifier: MIT */
// Drawing softglu's shapes through a real GL implementation: Mesa's
// offscreen renderer (OSMesa), with fixed-function lighting from a
// headlight, depth test, face culling and a checker texture.
//
// libsoftglu records no GL library; in a program linking this, its gl* calls
// bind at load time to the ones libOSMesa exports.
#ifndef SOFTGLU_TOOLS_RENDER_H
#define SOFTGLU_TOOLS_RENDER_H

#include <GL/glu.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace render {

enum class Kind { Cylinder, Cone, Disk, Annulus, Sphere, Torus };

const std::vector<Kind> &allKinds();
const char *name(Kind kind);
// False for an unknown name.
bool kindNamed(const std::string &name, Kind &kind);

// A shape and every parameter of its call; only those of its kind are used.
struct Shape {
    Kind kind;
    double baseRadius, topRadius, height;  // gluCylinder (cylinder, cone)
    double innerRadius, outerRadius;       // gluDisk (disk, annulus)
    int loops;
    float radius;                          // gluSphere
    float rc, rt;                          // drawTorus
    int numc, numt;
    int slices, stacks;                    // gluCylinder, gluSphere, gluDisk (slices)
};

// The gallery's version of each kind.
Shape defaultShape(Kind kind);

// The softglu call that draws the shape.
void draw(const Shape &s);

// Whether the shape sends texture coordinates (all but the torus).
bool textured(Kind kind);

// The lit surface colour of each kind, modulated by the texture where there
// is one.  The headlight adds kAmbient of it everywhere, the diffuse term
// (N.L) of it where the normal faces the light, and a white highlight of at
// most kSpecular there.
const float *colour(Kind kind);
const float kAmbient = 0.2f;
const float kSpecular = 0.3f;

struct Style {
    bool lighting = true;
    bool texture = true;    // on the shapes that have texture coordinates
    GLenum cull = GL_BACK;  // GL_BACK, GL_FRONT, or 0 for no culling
    bool wire = false;      // dark mesh lines over the surface
};

// How a tile looks at its shape: gluPerspective(kFovy, aspect, ...) from
// `distance` along +z, looking at the centre of the shape's bounding sphere
// of radius `radius`, the shape turned by `tilt` degrees about x.
const double kFovy = 30.0;
struct View {
    double centre[3];
    double radius;
    double distance;
    double tilt;
};
View frame(const Shape &s, double aspect);

// An OSMesa context rendering RGBA8 into its own buffer; current while it
// lives.  Row 0 of `pixels` is the top of the image.
class Canvas {
public:
    // nullptr, with a one-line reason in `why`, for a side outside 1 to
    // kMaxSide, where memory for the framebuffer or for OSMesa (three times
    // the framebuffer's size and kGlWorkingMemory) cannot be had, or where
    // OSMesa cannot make a context.
    static std::unique_ptr<Canvas> create(int width, int height, std::string &why);
    static const int kMaxSide = 16384;
    // Measured with Mesa 22.3's llvmpipe (Debian 12): the smallest images
    // need some 45 MiB besides the buffers.
    static const std::size_t kGlWorkingMemory = std::size_t{48} << 20;
    ~Canvas();
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    const int width, height;

    // Waits for GL to finish and returns the image: width * height RGBA8
    // pixels, row 0 at the top.
    const unsigned char *rgba();
    // Waits for GL to finish, ends the context (giving its memory back) and
    // hands over the image; the canvas draws no more.
    std::vector<unsigned char> release();

private:
    Canvas(int w, int h);
    std::vector<unsigned char> pixels_;
    void *context_ = nullptr;
};

// Background of every tile; its alpha is 0, so covered pixels are those
// with alpha 255.
const float kBackground[4] = {0.13f, 0.15f, 0.19f, 0.0f};

// Clears the whole canvas to the background.
void clear(Canvas &canvas);

// Clears the tile with its top-left corner at (x, y) and draws the shape in
// it.
void drawTile(Canvas &canvas, const Shape &s, const Style &style, int x, int y, int w, int h);

}  // namespace render

#endif
