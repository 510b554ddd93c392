// SPDX-License-Identifier: MIT
// softglu-render: draws softglu's shapes through Mesa's offscreen GL and
// writes them to a PNG: a gallery of all six, or one shape alone.
#include "args.h"
#include "font.h"
#include "output.h"
#include "render.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using render::Kind;
using render::Shape;

const char kUsage[] = "usage: softglu-render [-o FILE] [--size WxH] [--wire] [--shape NAME [OPTIONS]]  (--help for more)";

const char kHelp[] = R"(softglu-render: draw softglu's shapes with Mesa's offscreen GL into a PNG.

usage: softglu-render [-o FILE] [--size WxH] [--wire] [--shape NAME [OPTIONS]]

Without --shape it draws the gallery: cylinder, cone, disk, annulus, sphere
and torus, each in its tile, seen through gluPerspective, lit by a headlight,
depth-tested, back faces culled, a checker texture on all but the torus
(which sends no texture coordinates).

  -o, --output FILE  the PNG to write (default gallery.png, or NAME.png);
                     it is replaced only once the new image is written whole,
                     a device or FIFO is written in place, a symbolic link
                     is followed
  --size WxH         image size in pixels, each 64 to 4096; a single number
                     is a square (default 960x640, or 480x480 with --shape)
  --wire             draw the mesh lines over the surfaces
  --help             this text
  --version          the version of softglu it was built with
  --shape NAME       one shape alone: cylinder, cone, disk, annulus, sphere
                     or torus, with these options (defaults in brackets):
    cylinder, cone:  --base R [0.6] --top R [0.6; cone 0] --height H [1.6]
                     --slices N [24] --stacks N [4]
    disk, annulus:   --inner R [0; annulus 0.45] --outer R [1]
                     --slices N [24] --loops N [3]
    sphere:          --radius R [1] --slices N [32] --stacks N [16]
    torus:           --rc R [0.3] --numc N [16] --rt R [0.8] --numt N [32]
R and H are numbers (sphere and torus radii single precision), N integers
up to 4096 (zero and negative counts draw what the library draws for them).
A value follows its option (--size 800x600) or joins it after '='
(--size=800x600); -- ends the options.

Example: softglu-render --shape sphere --slices 32 --stacks 16 -o sphere.png

The "wrote ..." line and messages go to standard error.
Exit status: 0 on success, 2 for bad arguments, 1 when the image cannot be
drawn (out of memory, no offscreen GL) or the PNG cannot be written.
)";

using args::BadUsage;

// Counts above this would keep the software rasterizer busy for minutes.
const int kMaxCount = 4096;

std::string parseCount(const char *text, int &out) {
    int v = 0;
    std::string error = args::parse(text, v);
    if (error.empty() && v > kMaxCount)
        error = args::quoted(text) + " is above " + std::to_string(kMaxCount) + ", the most softglu-render draws";
    if (error.empty())
        out = v;
    return error;
}

// A shape parameter option: the kinds it applies to and how it sets the
// shape's field from its argument.
struct ShapeOption {
    const char *flag;
    std::vector<Kind> kinds;
    std::string (*set)(Shape &s, const char *text);
};

const std::vector<Kind> kCylinders = {Kind::Cylinder, Kind::Cone};
const std::vector<Kind> kDisks = {Kind::Disk, Kind::Annulus};

const ShapeOption kShapeOptions[] = {
    {"--base", kCylinders, [](Shape &s, const char *t) { return args::parse(t, s.baseRadius); }},
    {"--top", kCylinders, [](Shape &s, const char *t) { return args::parse(t, s.topRadius); }},
    {"--height", kCylinders, [](Shape &s, const char *t) { return args::parse(t, s.height); }},
    {"--stacks",
     {Kind::Cylinder, Kind::Cone, Kind::Sphere},
     [](Shape &s, const char *t) { return parseCount(t, s.stacks); }},
    {"--slices",
     {Kind::Cylinder, Kind::Cone, Kind::Disk, Kind::Annulus, Kind::Sphere},
     [](Shape &s, const char *t) { return parseCount(t, s.slices); }},
    {"--inner", kDisks, [](Shape &s, const char *t) { return args::parse(t, s.innerRadius); }},
    {"--outer", kDisks, [](Shape &s, const char *t) { return args::parse(t, s.outerRadius); }},
    {"--loops", kDisks, [](Shape &s, const char *t) { return parseCount(t, s.loops); }},
    {"--radius", {Kind::Sphere}, [](Shape &s, const char *t) { return args::parse(t, s.radius); }},
    {"--rc", {Kind::Torus}, [](Shape &s, const char *t) { return args::parse(t, s.rc); }},
    {"--numc", {Kind::Torus}, [](Shape &s, const char *t) { return parseCount(t, s.numc); }},
    {"--rt", {Kind::Torus}, [](Shape &s, const char *t) { return args::parse(t, s.rt); }},
    {"--numt", {Kind::Torus}, [](Shape &s, const char *t) { return parseCount(t, s.numt); }},
};

const ShapeOption *findShapeOption(const std::string &flag) {
    for (const ShapeOption &o : kShapeOptions)
        if (flag == o.flag)
            return &o;
    return nullptr;
}

struct Options {
    std::string output;
    int width = 0, height = 0;  // 0: the default size
    bool wire = false;
    bool oneShape = false;
    Shape shape{};
};

// One side of --size `size`.
int parseSide(const std::string &text, const std::string &size) {
    int v = 0;
    if (!args::parse(text.c_str(), v).empty())
        throw BadUsage{"--size: " + args::quoted(size) + " is not WxH or a single number"};
    if (v < 64 || v > 4096)
        throw BadUsage{"--size: " + args::quoted(text) + " is outside 64 to 4096"};
    return v;
}

// The options: -o, --size, --wire, --shape, --help and --version, then the
// shape options.
std::vector<args::Option> options() {
    std::vector<args::Option> all = {{"output", 'o', "a FILE"}, {"size", 0, "a value"}, {"wire", 0, nullptr},
                                     {"shape", 0, "a value"},   {"help", 'h', nullptr},  {"version", 0, nullptr}};
    for (const ShapeOption &o : kShapeOptions)
        all.push_back({o.flag + 2, 0, "a value"});
    return all;
}

Options parseOptions(int argc, char **argv) {
    Options o;
    std::vector<std::pair<const ShapeOption *, const char *>> shapeArgs;
    args::Options reader(argc, argv, options());
    for (args::Found f; reader.next(f);) {
        if (!f.option)
            throw BadUsage{"unknown option " + args::quoted(f.value)};
        const std::string a = f.as;
        if (a == "-o" || a == "--output") {
            o.output = args::fileName(f);
        } else if (a == "--size") {
            const std::string size = f.value;
            const std::size_t x = size.find('x');
            o.width = parseSide(size.substr(0, x), size);
            o.height = x == std::string::npos ? o.width : parseSide(size.substr(x + 1), size);
        } else if (a == "--wire") {
            o.wire = true;
        } else if (a == "--shape") {
            const std::string name = f.value;
            Kind kind;
            if (!render::kindNamed(name, kind))
                throw BadUsage{"unknown shape " + args::quoted(name) + " (cylinder, cone, disk, annulus, sphere, torus)"};
            o.oneShape = true;
            o.shape = render::defaultShape(kind);
        } else if (const ShapeOption *so = findShapeOption(a)) {
            shapeArgs.push_back({so, f.value});
        }
        // --help and --version were answered before the options were read.
    }
    // Shape options apply once the shape, and so their defaults, are known.
    for (const auto &[option, text] : shapeArgs) {
        if (!o.oneShape)
            throw BadUsage{std::string(option->flag) + " needs --shape"};
        bool applies = false;
        for (Kind k : option->kinds)
            applies |= k == o.shape.kind;
        if (!applies)
            throw BadUsage{std::string(option->flag) + " does not apply to " + render::name(o.shape.kind)};
        const std::string error = option->set(o.shape, text);
        if (!error.empty())
            throw BadUsage{std::string(option->flag) + ": " + error};
    }
    if (o.output.empty())
        o.output = o.oneShape ? std::string(render::name(o.shape.kind)) + ".png" : "gallery.png";
    if (o.width == 0) {
        o.width = o.oneShape ? 480 : 960;
        o.height = o.oneShape ? 480 : 640;
    }
    return o;
}

// "sphere 32x16": the name and the counts of the call.
std::string title(const Shape &s) {
    int a = s.slices, b = s.stacks;
    if (s.kind == Kind::Disk || s.kind == Kind::Annulus)
        b = s.loops;
    if (s.kind == Kind::Torus) {
        a = s.numc;
        b = s.numt;
    }
    return std::string(render::name(s.kind)) + " " + std::to_string(a) + "x" + std::to_string(b);
}

struct Tile {
    Shape shape;
    int x, y, w, h;
};

std::vector<Tile> layout(const Options &o) {
    if (o.oneShape)
        return {{o.shape, 0, 0, o.width, o.height}};
    std::vector<Tile> tiles;
    const int columns = 3, rows = 2, w = o.width / columns, h = o.height / rows;
    int n = 0;
    for (Kind k : render::allKinds()) {
        tiles.push_back({render::defaultShape(k), (n % columns) * w, (n / columns) * h, w, h});
        ++n;
    }
    return tiles;
}

// libpng's errors jump back to encodePng with the message here; writes go
// to the Output, which checks them.
struct PngState {
    output::Output *out;
    std::jmp_buf jump;
    char message[200];
};

extern "C" void pngError(png_structp png, png_const_charp message) {
    PngState *state = static_cast<PngState *>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", message);
    std::longjmp(state->jump, 1);
}

extern "C" void pngWarning(png_structp, png_const_charp) {}

extern "C" void pngWrite(png_structp png, png_bytep data, png_size_t n) {
    static_cast<PngState *>(png_get_io_ptr(png))->out->write(data, n);
}

extern "C" void pngFlush(png_structp) {}

// Encodes the RGBA image as an opaque RGB PNG (the background's alpha is 0,
// for the coverage tests) into `state.out`.  Returns false with libpng's
// message in state.message.  Nothing here needs a destructor: libpng's
// errors longjmp out.
bool encodePng(PngState &state, const unsigned char *rgba, int width, int height) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, pngError, pngWarning);
    if (!png) {
        std::snprintf(state.message, sizeof state.message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(state.jump)) {
        if (!info)
            std::snprintf(state.message, sizeof state.message, "out of memory");
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_set_write_fn(png, &state, pngWrite, pngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_filler(png, 0, PNG_FILLER_AFTER);  // each pixel's fourth byte is dropped
    for (int y = 0; y < height; ++y)
        png_write_row(png, rgba + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 4);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Writes the PNG to `path` (see output.h); false after printing why.
bool writePng(const std::string &path, const unsigned char *rgba, int width, int height) {
    output::Output out;
    if (!out.open(path)) {
        std::fprintf(stderr, "softglu-render: %s\n", out.error().c_str());
        return false;
    }
    PngState state{&out, {}, {}};
    if (!encodePng(state, rgba, width, height)) {
        // The Output is dropped unfinished: a temporary file is removed.
        std::fprintf(stderr, "softglu-render: cannot write %s: libpng: %s\n", args::display(path, 256).c_str(),
                     state.message);
        return false;
    }
    if (!out.finish()) {
        std::fprintf(stderr, "softglu-render: %s\n", out.error().c_str());
        return false;
    }
    return true;
}

int run(int argc, char **argv) {
    // --help and --version anywhere before "--" (even where a value belongs)
    // answer at once, whatever else the command line holds.
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h"))
            return output::printText("softglu-render", kHelp);
        else if (!std::strcmp(argv[i], "--version"))
            return output::printText("softglu-render", "softglu-render " SOFTGLU_VERSION "\n");
    const Options o = parseOptions(argc, argv);

    std::string why;
    std::unique_ptr<render::Canvas> canvas = render::Canvas::create(o.width, o.height, why);
    if (!canvas) {
        std::fprintf(stderr, "softglu-render: %s\n", why.c_str());
        return 1;
    }
    render::Style style;
    style.wire = o.wire;
    const std::vector<Tile> tiles = layout(o);
    render::clear(*canvas);  // tiles may leave a strip at the edges
    for (const Tile &t : tiles)
        render::drawTile(*canvas, t.shape, style, t.x, t.y, t.w, t.h);

    // GL's memory goes back before the PNG is encoded.
    std::vector<unsigned char> image = canvas->release();
    canvas.reset();
    const unsigned char ink[3] = {226, 230, 238};
    for (const Tile &t : tiles) {
        const int scale = t.h >= 220 ? 2 : 1;
        font::drawText(image.data(), o.width, o.height, t.x + 4 * scale, t.y + 4 * scale, scale, title(t.shape),
                       ink);
    }
    if (!writePng(o.output, image.data(), o.width, o.height))
        return 1;
    std::fprintf(stderr, "wrote %s (%dx%d)\n", args::display(o.output, 4096).c_str(), o.width, o.height);
    return 0;
}

}  // namespace

int main(int argc, char **argv) { return args::runTool("softglu-render", kUsage, run, argc, argv); }
