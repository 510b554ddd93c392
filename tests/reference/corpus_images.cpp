// SPDX-License-Identifier: MIT
// The reference corpus's image calls: gluBuild1DMipmaps, gluBuild2DMipmaps,
// gluBuild3DMipmaps, their *Levels forms and gluScaleImage, each in the
// pixel-store state and GL_MAX_TEXTURE_SIZE (GL_MAX_3D_TEXTURE_SIZE) it
// sets.  Built with the switch that declares them.
#define SOFTGLU_COMPAT
#include <GL/glu.h>

#include "corpus.h"
#include "glrecord.h"

#include <array>
#include <cinttypes>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace corpus {
namespace {

// A pixel-store state: GL's initial values unless a case sets others.  The
// image values are set only for the 3D calls' cases.
struct Store {
    int swap = 0, rowLength = 0, skipRows = 0, skipPixels = 0, alignment = 4;
    int skipImages = 0, imageHeight = 0;
};

// The state a case calls in: the unpack and pack values,
// GL_MAX_TEXTURE_SIZE and GL_MAX_3D_TEXTURE_SIZE.
struct ImageState {
    Store unpack, pack;
    int maxSize = 2048;
    int max3DSize = 256;
};

std::string enumText(unsigned value) {
    const char *name = glrecord::enumName(value);
    return name ? name : label("%d", static_cast<int>(value));
}

std::string storeText(const char *which, const Store &s) {
    const Store initial;
    std::string out;
    const auto add = [&out](const char *what, int value, int init) {
        if (value != init)
            out += label("%s%s %d", out.empty() ? "" : ", ", what, value);
    };
    add("swap", s.swap, initial.swap);
    add("row length", s.rowLength, initial.rowLength);
    add("skip rows", s.skipRows, initial.skipRows);
    add("skip pixels", s.skipPixels, initial.skipPixels);
    add("alignment", s.alignment, initial.alignment);
    add("skip images", s.skipImages, initial.skipImages);
    add("image height", s.imageHeight, initial.imageHeight);
    return out.empty() ? out : label(" %s(%s)", which, out.c_str());
}

std::string stateText(const ImageState &st) {
    return storeText("unpack", st.unpack) + storeText("pack", st.pack) +
           (st.maxSize != ImageState().maxSize ? label(" max %d", st.maxSize) : "") +
           (st.max3DSize != ImageState().max3DSize ? label(" max 3D %d", st.max3DSize) : "");
}

// Sets the state as a program would, through GL (only the values that are
// not GL's initial ones), and the largest sizes in the recorder.
void setState(const ImageState &st) {
    glrecord::setMaxTextureSize(st.maxSize);
    glrecord::setMax3DTextureSize(st.max3DSize);
    const Store initial;
    const struct {
        GLenum pname;
        int value, initial;
    } values[] = {
        {GL_UNPACK_SWAP_BYTES, st.unpack.swap, initial.swap},
        {GL_UNPACK_ROW_LENGTH, st.unpack.rowLength, initial.rowLength},
        {GL_UNPACK_SKIP_ROWS, st.unpack.skipRows, initial.skipRows},
        {GL_UNPACK_SKIP_PIXELS, st.unpack.skipPixels, initial.skipPixels},
        {GL_UNPACK_ALIGNMENT, st.unpack.alignment, initial.alignment},
        {GL_UNPACK_SKIP_IMAGES, st.unpack.skipImages, initial.skipImages},
        {GL_UNPACK_IMAGE_HEIGHT, st.unpack.imageHeight, initial.imageHeight},
        {GL_PACK_SWAP_BYTES, st.pack.swap, initial.swap},
        {GL_PACK_ROW_LENGTH, st.pack.rowLength, initial.rowLength},
        {GL_PACK_SKIP_ROWS, st.pack.skipRows, initial.skipRows},
        {GL_PACK_SKIP_PIXELS, st.pack.skipPixels, initial.skipPixels},
        {GL_PACK_ALIGNMENT, st.pack.alignment, initial.alignment},
    };
    for (const auto &v : values)
        if (v.value != v.initial)
            glPixelStorei(v.pname, v.value);
}

void resetState() {
    glrecord::resetPixelStore();
    glrecord::setMaxTextureSize(ImageState().maxSize);
    glrecord::setMax3DTextureSize(ImageState().max3DSize);
}

int componentsOf(GLenum format) {
    switch (format) {
    case GL_RED: case GL_GREEN: case GL_BLUE: case GL_ALPHA: case GL_LUMINANCE: return 1;
    case GL_LUMINANCE_ALPHA: return 2;
    case GL_RGB: case GL_BGR: return 3;
    case GL_RGBA: case GL_BGRA: return 4;
    default: return 0;
    }
}

int sizeOf(GLenum type) {
    return type == GL_UNSIGNED_BYTE ? 1 : type == GL_UNSIGNED_SHORT ? 2 : type == GL_UNSIGNED_INT ? 4 : 0;
}

// The bytes from an image's start to the end of its last pixel, as GL lays
// it out under `s` (0 for an empty image or one of an unknown format); the
// image values count only for a depth (3D image).
std::uint64_t extent(const Store &s, int width, int height, GLenum format, GLenum type, int depth = 0) {
    const std::uint64_t size = static_cast<std::uint64_t>(sizeOf(type));
    const std::uint64_t group = static_cast<std::uint64_t>(componentsOf(format)) * size;
    if (width <= 0 || height <= 0 || depth < 0 || group == 0)
        return 0;
    const std::uint64_t align = static_cast<std::uint64_t>(s.alignment);
    std::uint64_t stride = group * static_cast<std::uint64_t>(s.rowLength > 0 ? s.rowLength : width);
    if (size < align)
        stride = (stride + align - 1) / align * align;
    const std::uint64_t flat = static_cast<std::uint64_t>(s.skipPixels) * group +
                               static_cast<std::uint64_t>(s.skipRows + height - 1) * stride +
                               static_cast<std::uint64_t>(width) * group;
    if (depth == 0)
        return flat;
    const std::uint64_t image = stride * static_cast<std::uint64_t>(s.imageHeight > 0 ? s.imageHeight : height);
    return flat + static_cast<std::uint64_t>(s.skipImages + depth - 1) * image;
}

std::uint64_t labelSeed(const std::string &l) { return glrecord::fnv1a(l.data(), l.size()); }

// Client memory of `bytes` bytes holding elements of `size` bytes (1 when
// the type is unknown) drawn from `seed`, each in this machine's byte order,
// so that every architecture holds the same values.
std::vector<unsigned char> elements(std::uint64_t bytes, int size, std::uint64_t seed) {
    if (size == 0)
        size = 1;
    std::vector<unsigned char> out(static_cast<std::size_t>(bytes));
    Numbers r(seed);
    for (std::size_t at = 0; at + static_cast<std::size_t>(size) <= out.size(); at += static_cast<std::size_t>(size)) {
        if (size == 1) {
            out[at] = static_cast<unsigned char>(r.count(0, 255));
        } else if (size == 2) {
            const std::uint16_t v = static_cast<std::uint16_t>(r.count(0, 65535));
            std::memcpy(&out[at], &v, sizeof v);
        } else {
            const std::uint32_t high = static_cast<std::uint32_t>(r.count(0, 65535));
            const std::uint32_t v = (high << 16) | static_cast<std::uint32_t>(r.count(0, 65535));
            std::memcpy(&out[at], &v, sizeof v);
        }
    }
    return out;
}

// A hash of memory holding elements of `size` bytes, each taken as its
// value's little-endian bytes: the same on every architecture.
std::uint64_t elementHash(const std::vector<unsigned char> &bytes, int size) {
    std::uint64_t h = glrecord::fnv1a(nullptr, 0);
    for (std::size_t at = 0; at + static_cast<std::size_t>(size) <= bytes.size(); at += static_cast<std::size_t>(size)) {
        std::uint32_t v = bytes[at];
        if (size == 2) {
            std::uint16_t e;
            std::memcpy(&e, &bytes[at], sizeof e);
            v = e;
        } else if (size == 4) {
            std::memcpy(&v, &bytes[at], sizeof v);
        }
        for (int b = 0; b < size; ++b)
            h = (h ^ ((v >> (8 * b)) & 0xffu)) * 1099511628211u;
    }
    return h;
}

// What a case passes for an image: one that fits its sizes and state, a
// null pointer, or 16 bytes (for sizes no memory can hold: a call that
// read them would be caught by AddressSanitizer).
enum class Data { Image, Null, Small };

const char *dataText(Data d) { return d == Data::Image ? "data" : d == Data::Null ? "NULL" : "16 bytes"; }

std::vector<unsigned char> imageFor(Data d, const Store &s, int width, int height, GLenum format, GLenum type,
                                    std::uint64_t seed, int depth = 0) {
    if (d == Data::Null)
        return {};
    const std::uint64_t bytes = d == Data::Small ? 0 : extent(s, width, height, format, type, depth);
    return elements(bytes > 16 ? bytes : 16, sizeOf(type), seed);
}

void addImageCase(std::vector<Case> &cases, std::string l, const ImageState &st,
                  std::function<std::string()> call) {
    cases.push_back({l + stateText(st), [st, call] {
                         setState(st);
                         const std::string result = call();
                         resetState();
                         return result;
                     }});
}

// A call of one of the mipmap builders.
struct Build {
    int dims;
    GLenum target;
    GLint internalFormat;
    int width, height;  // height 1 for 1D
    GLenum format, type;
    bool levels;
    int userLevel, base, max;
    int depth = 1;  // 1 for 1D and 2D
};

void addBuild(std::vector<Case> &cases, const Build &b, const ImageState &st = ImageState(),
              Data data = Data::Image) {
    std::string l = label("gluBuild%dDMipmap%s(%s, %s, %d, ", b.dims, b.levels ? "Levels" : "s",
                          enumText(b.target).c_str(), enumText(static_cast<unsigned>(b.internalFormat)).c_str(),
                          b.width);
    if (b.dims >= 2)
        l += label("%d, ", b.height);
    if (b.dims == 3)
        l += label("%d, ", b.depth);
    l += enumText(b.format) + ", " + enumText(b.type) + ", ";
    if (b.levels)
        l += label("%d, %d, %d, ", b.userLevel, b.base, b.max);
    l += dataText(data) + std::string(")");
    const std::uint64_t seed = labelSeed(l);
    addImageCase(cases, l, st, [b, st, data, seed] {
        const std::vector<unsigned char> image =
            imageFor(data, st.unpack, b.width, b.height, b.format, b.type, seed, b.dims == 3 ? b.depth : 0);
        const void *p = data == Data::Null ? nullptr : image.data();
        GLint r;
        if (b.dims == 3)
            r = b.levels ? gluBuild3DMipmapLevels(b.target, b.internalFormat, b.width, b.height, b.depth, b.format,
                                                  b.type, b.userLevel, b.base, b.max, p)
                         : gluBuild3DMipmaps(b.target, b.internalFormat, b.width, b.height, b.depth, b.format, b.type,
                                             p);
        else if (b.dims == 1)
            r = b.levels ? gluBuild1DMipmapLevels(b.target, b.internalFormat, b.width, b.format, b.type, b.userLevel,
                                                  b.base, b.max, p)
                         : gluBuild1DMipmaps(b.target, b.internalFormat, b.width, b.format, b.type, p);
        else
            r = b.levels ? gluBuild2DMipmapLevels(b.target, b.internalFormat, b.width, b.height, b.format, b.type,
                                                  b.userLevel, b.base, b.max, p)
                         : gluBuild2DMipmaps(b.target, b.internalFormat, b.width, b.height, b.format, b.type, p);
        return label("%d", r);
    });
}

Build build2D(GLint internalFormat, int width, int height, GLenum format, GLenum type) {
    return {2, GL_TEXTURE_2D, internalFormat, width, height, format, type, false, 0, 0, 0};
}

Build build1D(GLint internalFormat, int width, GLenum format, GLenum type) {
    return {1, GL_TEXTURE_1D, internalFormat, width, 1, format, type, false, 0, 0, 0};
}

Build levels2D(int width, int height, int userLevel, int base, int max) {
    return {2, GL_TEXTURE_2D, GL_RGBA, width, height, GL_RGBA, GL_UNSIGNED_BYTE, true, userLevel, base, max};
}

Build build3D(GLint internalFormat, int width, int height, int depth, GLenum format, GLenum type) {
    return {3, GL_TEXTURE_3D, internalFormat, width, height, format, type, false, 0, 0, 0, depth};
}

Build levels3D(int width, int height, int depth, int userLevel, int base, int max) {
    return {3, GL_TEXTURE_3D, GL_RGB, width, height, GL_RGB, GL_UNSIGNED_BYTE, true, userLevel, base, max, depth};
}

Build levels1D(int width, int userLevel, int base, int max) {
    return {1, GL_TEXTURE_1D, GL_LUMINANCE_ALPHA, width, 1, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, true, userLevel, base,
            max};
}

// A call of gluScaleImage; its result is the return value and a hash of
// the whole output memory, padding included (filled with 0xa5 first).
struct Scale {
    GLenum format;
    int wIn, hIn;
    GLenum typeIn;
    int wOut, hOut;
    GLenum typeOut;
};

void addScale(std::vector<Case> &cases, const Scale &s, const ImageState &st = ImageState(),
              Data in = Data::Image, Data out = Data::Image) {
    const std::string l = label("gluScaleImage(%s, %d, %d, %s, %s, %d, %d, %s, %s)", enumText(s.format).c_str(), s.wIn,
                                s.hIn, enumText(s.typeIn).c_str(), dataText(in), s.wOut, s.hOut,
                                enumText(s.typeOut).c_str(), dataText(out));
    const std::uint64_t seed = labelSeed(l);
    addImageCase(cases, l, st, [s, st, in, out, seed] {
        const std::vector<unsigned char> image = imageFor(in, st.unpack, s.wIn, s.hIn, s.format, s.typeIn, seed);
        std::vector<unsigned char> result;
        if (out != Data::Null) {
            const std::uint64_t bytes = out == Data::Small ? 0 : extent(st.pack, s.wOut, s.hOut, s.format, s.typeOut);
            result.assign(static_cast<std::size_t>(bytes > 16 ? bytes : 16), 0xa5);
        }
        const GLint r = gluScaleImage(s.format, s.wIn, s.hIn, s.typeIn, in == Data::Null ? nullptr : image.data(),
                                      s.wOut, s.hOut, s.typeOut, out == Data::Null ? nullptr : result.data());
        const int size = sizeOf(s.typeOut) ? sizeOf(s.typeOut) : 1;
        return label("%d, out %zu bytes 0x%016" PRIx64, r, result.size(), elementHash(result, size));
    });
}

ImageState unpackState(int swap, int rowLength, int skipRows, int skipPixels, int alignment) {
    ImageState st;
    st.unpack = {swap, rowLength, skipRows, skipPixels, alignment};
    return st;
}

ImageState packState(int swap, int rowLength, int skipRows, int skipPixels, int alignment) {
    ImageState st;
    st.pack = {swap, rowLength, skipRows, skipPixels, alignment};
    return st;
}

ImageState maxState(int maxSize) {
    ImageState st;
    st.maxSize = maxSize;
    return st;
}

const GLenum kImageFormats[] = {GL_RED,  GL_GREEN, GL_BLUE, GL_ALPHA, GL_LUMINANCE, GL_LUMINANCE_ALPHA,
                                GL_RGB, GL_BGR,   GL_RGBA, GL_BGRA};
const GLenum kImageTypes[] = {GL_UNSIGNED_BYTE, GL_UNSIGNED_SHORT, GL_UNSIGNED_INT};

// Ordinary image calls, drawn at random; the same call may come twice.
void addVariedImageDraws(std::vector<Case> &cases, std::uint64_t seed, int perFunction, int scale) {
    Numbers r(seed);
    const auto pick = [&r](const auto &table) {
        return table[r.count(0, static_cast<int>(std::size(table)) - 1)];
    };
    const int alignments[] = {1, 2, 4, 8};
    const auto store = [&] {
        ImageState st;
        st.unpack.alignment = pick(alignments);
        st.unpack.rowLength = r.count(0, 3) == 0 ? r.count(0, 40 * scale) : 0;
        st.unpack.skipRows = r.count(0, 3) == 0 ? r.count(0, 3) : 0;
        st.unpack.skipPixels = r.count(0, 3) == 0 ? r.count(0, 3) : 0;
        st.unpack.swap = r.count(0, 3) == 0;
        return st;
    };
    for (int i = 0; i < perFunction; ++i) {
        const ImageState st = store();
        const GLenum type = pick(kImageTypes), format = pick(kImageFormats);
        const int height = r.count(1, 20 * scale), width = r.count(1, 20 * scale);
        addBuild(cases, build2D(componentsOf(format), width, height, format, type), st);
    }
    for (int i = 0; i < perFunction; ++i) {
        const ImageState st = store();
        const GLenum type = pick(kImageTypes), format = pick(kImageFormats);
        addBuild(cases, build1D(componentsOf(format), r.count(1, 100 * scale), format, type), st);
    }
    for (int i = 0; i < perFunction; ++i) {
        ImageState st = store();
        st.pack = store().unpack;
        const GLenum typeOut = pick(kImageTypes), typeIn = pick(kImageTypes), format = pick(kImageFormats);
        const int hOut = r.count(1, 20 * scale), wOut = r.count(1, 20 * scale);
        const int hIn = r.count(1, 20 * scale), wIn = r.count(1, 20 * scale);
        addScale(cases, {format, wIn, hIn, typeIn, wOut, hOut, typeOut}, st);
    }
    for (int i = 0; i < perFunction / 4; ++i) {
        ImageState st = store();
        st.unpack.skipImages = r.count(0, 3) == 0 ? r.count(0, 2) : 0;
        st.unpack.imageHeight = r.count(0, 3) == 0 ? r.count(0, 10 * scale) : 0;
        const GLenum type = pick(kImageTypes), format = pick(kImageFormats);
        const int depth = r.count(1, 6 * scale), height = r.count(1, 6 * scale), width = r.count(1, 6 * scale);
        addBuild(cases, build3D(componentsOf(format), width, height, depth, format, type), st);
    }
}

// The 3D builders: sides that are powers of two and not, each type, depth
// held to GL_MAX_3D_TEXTURE_SIZE, the image values of the unpack state, the
// *Levels runs and each error return, as the 2D builders'.
void add3DImageCases(std::vector<Case> &cases) {
    const int sides[][3] = {{4, 2, 1}, {1, 1, 8}, {5, 3, 3}, {2, 2, 2}, {8, 4, 16}, {3, 7, 1}, {1, 1, 1}, {48, 3, 17}};
    for (const auto &s : sides)
        addBuild(cases, build3D(GL_RGB, s[0], s[1], s[2], GL_RGB, GL_UNSIGNED_BYTE));
    addBuild(cases, build3D(GL_LUMINANCE_ALPHA, 6, 5, 3, GL_LUMINANCE_ALPHA, GL_UNSIGNED_SHORT));
    addBuild(cases, build3D(GL_RGBA, 3, 2, 5, GL_BGRA, GL_UNSIGNED_INT));
    addBuild(cases, {3, GL_PROXY_TEXTURE_3D, GL_RGB, 4, 4, GL_RGB, GL_UNSIGNED_BYTE, false, 0, 0, 0, 4});

    ImageState limited = maxState(2048);
    limited.max3DSize = 16;
    addBuild(cases, build3D(GL_RGB, 40, 8, 20, GL_RGB, GL_UNSIGNED_BYTE), limited);
    limited.max3DSize = 0;
    addBuild(cases, build3D(GL_RGB, 3, 5, 2, GL_RGB, GL_UNSIGNED_BYTE), limited);

    Store images;
    images.skipImages = 1;
    images.imageHeight = 5;
    Store rows = images;
    rows.rowLength = 7;
    rows.skipRows = 1;
    rows.skipPixels = 2;
    rows.alignment = 8;
    rows.swap = 1;
    for (const Store &s : {images, rows}) {
        ImageState st;
        st.unpack = s;
        addBuild(cases, build3D(GL_RGB, 5, 3, 3, GL_RGB, GL_UNSIGNED_BYTE), st);
        addBuild(cases, build3D(GL_LUMINANCE, 4, 3, 2, GL_LUMINANCE, GL_UNSIGNED_SHORT), st);
        addBuild(cases, levels3D(4, 2, 2, 0, 0, 2), st);
    }

    const int runs[][3] = {{0, 0, 4}, {2, 3, 5}, {0, 2, 2}, {-1, 0, 3}, {0, 4, 4},
                           // errors: userLevel > base, base < 0, max < base, max beyond the last level
                           {3, 2, 5}, {-2, -1, 1}, {0, 3, 2}, {0, 0, 5}};
    for (const auto &r : runs)
        addBuild(cases, levels3D(4, 2, 16, r[0], r[1], r[2]));
    addBuild(cases, levels3D(8, 4, 3, 0, 0, 3));  // a depth not a power of two

    addBuild(cases, build3D(GL_RGB, 4, 4, 4, GL_RGB, GL_UNSIGNED_SHORT_5_6_5));  // packed, as for 2D
    addBuild(cases, build3D(GL_RGB, 4, 4, 4, GL_COLOR_INDEX, GL_UNSIGNED_BYTE));
    addBuild(cases, build3D(GL_RGB, 4, 4, 4, GL_RGB, GL_FLOAT));
    for (int depth : {0, -1})
        addBuild(cases, build3D(GL_RGB, 4, 4, depth, GL_RGB, GL_UNSIGNED_BYTE));
    addBuild(cases, levels3D(4, 4, 0, 0, 0, 0));
    addBuild(cases, build3D(GL_RGB, 4, 4, 4, GL_RGB, GL_UNSIGNED_BYTE), ImageState(), Data::Null);
    for (const Store &bad : {Store{0, 0, 0, 0, 4, -1, 0}, Store{0, 0, 0, 0, 4, 0, -1}}) {
        ImageState st;
        st.unpack = bad;
        addBuild(cases, build3D(GL_RGB, 4, 4, 4, GL_RGB, GL_UNSIGNED_BYTE), st, Data::Small);
    }
    const int huge = 1 << 30;
    addBuild(cases, build3D(GL_RGBA, huge, huge, 4, GL_RGBA, GL_UNSIGNED_INT), ImageState(), Data::Small);
}

}  // namespace

// The image calls: every format and type, sides that are not powers of two
// (ties included) and beyond GL_MAX_TEXTURE_SIZE, every pixel-store value,
// the *Levels runs, gluScaleImage both ways and between types, and every
// error return.
void addImageCases(std::vector<Case> &cases) {
    // Every format as bytes, the internal format given several ways.
    const GLint internal[] = {1, GL_ALPHA, GL_LUMINANCE, GL_INTENSITY, GL_LUMINANCE_ALPHA, 3, GL_RGB8, 4, GL_RGBA,
                              GL_RGBA8};
    int k = 0;
    for (GLenum format : kImageFormats)
        addBuild(cases, build2D(internal[k++], 8, 4, format, GL_UNSIGNED_BYTE));
    // Shorts and ints, square and one-sided.
    for (GLenum type : {GL_UNSIGNED_SHORT, GL_UNSIGNED_INT})
        for (GLenum format : {GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB, GL_BGRA}) {
            addBuild(cases, build2D(componentsOf(format), 4, 4, format, type));
            addBuild(cases, build2D(componentsOf(format), 5, 3, format, type));
            addBuild(cases, build1D(componentsOf(format), 9, format, type));
        }

    // Sides scaled to the nearest power of two, the larger on a tie.
    const int sides[][2] = {{1, 1},  {2, 1},   {1, 2},   {3, 5},   {5, 3},  {57, 23}, {48, 48}, {6, 6},
                            {5, 1},  {1, 7},   {7, 1},   {12, 40}, {100, 75}, {95, 97}, {33, 31}, {64, 16},
                            {16, 64}, {255, 2}, {640, 480}};
    for (const auto &s : sides) {
        addBuild(cases, build2D(GL_RGB, s[0], s[1], GL_RGB, GL_UNSIGNED_BYTE));
        addBuild(cases, build2D(GL_RGBA, s[0], s[1], GL_RGBA, GL_UNSIGNED_BYTE), unpackState(0, 0, 0, 0, 1));
    }
    addBuild(cases, build2D(GL_LUMINANCE, 45, 19, GL_LUMINANCE, GL_UNSIGNED_SHORT));
    addBuild(cases, build2D(GL_RGBA, 13, 11, GL_RGBA, GL_UNSIGNED_INT));
    for (int w : {1, 2, 3, 5, 6, 57, 100, 1000})
        addBuild(cases, build1D(GL_RGB, w, GL_RGB, GL_UNSIGNED_BYTE));

    // GL_MAX_TEXTURE_SIZE: each side held to the largest power of two not
    // above it, whatever its value.
    const struct {
        int width, height, maxSize;
    } limited[] = {{40, 8, 16}, {300, 20, 100}, {64, 64, 64}, {65, 3, 64}, {200, 200, 1}, {7, 9, 0},
                   {9, 7, -5},  {4096, 2, 2048}, {3, 4096, 1024}, {2048, 1, 2049}};
    for (const auto &m : limited)
        addBuild(cases, build2D(GL_RGB, m.width, m.height, GL_RGB, GL_UNSIGNED_BYTE), maxState(m.maxSize));
    addBuild(cases, build1D(GL_RGB, 1024, GL_RGB, GL_UNSIGNED_BYTE), maxState(256));
    addBuild(cases, build1D(GL_LUMINANCE, 4096, GL_LUMINANCE, GL_UNSIGNED_BYTE), maxState(2048));
    addBuild(cases, build1D(GL_LUMINANCE, 5, GL_LUMINANCE, GL_UNSIGNED_BYTE), maxState(0));

    // The client's unpack state, honoured and put back.
    const Store stores[] = {
        {0, 0, 0, 0, 1}, {0, 0, 0, 0, 2}, {0, 0, 0, 0, 8}, {0, 9, 0, 0, 4}, {0, 0, 2, 0, 4},
        {0, 0, 0, 3, 4}, {0, 11, 2, 3, 8}, {0, 2, 0, 0, 1}, {1, 0, 0, 0, 4}, {1, 7, 1, 2, 2},
    };
    for (const Store &s : stores) {
        ImageState st;
        st.unpack = s;
        addBuild(cases, build2D(GL_RGB, 11, 3, GL_RGB, GL_UNSIGNED_BYTE), st);  // rows of 33 bytes
        addBuild(cases, build2D(GL_RGB, 3, 6, GL_RGB, GL_UNSIGNED_SHORT), st);   // and of 18
        addBuild(cases, build2D(GL_RGBA, 4, 2, GL_BGRA, GL_UNSIGNED_INT), st);
        addBuild(cases, build1D(GL_RGB, 7, GL_BGR, GL_UNSIGNED_BYTE), st);
        addBuild(cases, build1D(GL_LUMINANCE, 4, GL_LUMINANCE, GL_UNSIGNED_SHORT), st);
    }
    // Targets go to GL as given.
    addBuild(cases, {2, GL_TEXTURE_CUBE_MAP_POSITIVE_X, GL_RGB, 4, 4, GL_RGB, GL_UNSIGNED_BYTE, false, 0, 0, 0});
    addBuild(cases, {2, GL_PROXY_TEXTURE_2D, GL_RGB, 4, 4, GL_RGB, GL_UNSIGNED_BYTE, false, 0, 0, 0});

    // The *Levels runs: userLevel, base, max.
    const int runs[][3] = {{0, 0, 4}, {2, 3, 5}, {0, 2, 2}, {-1, 0, 3}, {0, 4, 4}, {5, 5, 9}, {0, 0, 0},
                           {2147483646, 2147483647, 2147483647}, {2147483647, 2147483647, 2147483647},
                           // errors: userLevel > base, base < 0, max < base, max beyond the last level
                           {3, 2, 5}, {-2, -1, 1}, {0, 3, 2}, {0, 0, 5}, {-3, 0, 2}, {-2147483647 - 1, 0, 0}};
    for (const auto &r : runs) {
        addBuild(cases, levels2D(16, 8, r[0], r[1], r[2]));
        addBuild(cases, levels1D(16, r[0], r[1], r[2]));
    }
    addBuild(cases, levels2D(1, 1, 0, 0, 0));
    addBuild(cases, levels2D(1, 32, 1, 2, 6));
    addBuild(cases, levels2D(12, 8, 0, 0, 3));  // not powers of two
    addBuild(cases, levels2D(8, 12, 0, 0, 3));
    addBuild(cases, levels1D(3, 0, 0, 1));
    addBuild(cases, levels2D(8, 4, 0, 0, 3), unpackState(1, 10, 1, 1, 8));
    addBuild(cases, {2, GL_TEXTURE_2D, GL_RGB, 8, 8, GL_RGB, GL_UNSIGNED_SHORT, true, 0, 1, 3});
    addBuild(cases, levels2D(4096, 4, 0, 0, 12), maxState(16));  // no limit for the *Levels calls

    // gluScaleImage: shrinking, magnifying, between types, to and from one
    // pixel.
    const Scale scales[] = {
        {GL_RGB, 7, 5, GL_UNSIGNED_BYTE, 3, 2, GL_UNSIGNED_BYTE},
        {GL_LUMINANCE_ALPHA, 2, 3, GL_UNSIGNED_BYTE, 5, 7, GL_UNSIGNED_BYTE},
        {GL_RGBA, 4, 4, GL_UNSIGNED_BYTE, 4, 4, GL_UNSIGNED_BYTE},
        {GL_RGBA, 4, 3, GL_UNSIGNED_BYTE, 4, 3, GL_UNSIGNED_SHORT},
        {GL_RGBA, 4, 3, GL_UNSIGNED_SHORT, 4, 3, GL_UNSIGNED_BYTE},
        {GL_BGR, 3, 3, GL_UNSIGNED_INT, 3, 3, GL_UNSIGNED_BYTE},
        {GL_BGR, 3, 3, GL_UNSIGNED_BYTE, 3, 3, GL_UNSIGNED_INT},
        {GL_LUMINANCE, 5, 5, GL_UNSIGNED_SHORT, 2, 9, GL_UNSIGNED_INT},
        {GL_LUMINANCE, 9, 2, GL_UNSIGNED_INT, 4, 4, GL_UNSIGNED_SHORT},
        {GL_ALPHA, 1, 1, GL_UNSIGNED_BYTE, 4, 4, GL_UNSIGNED_BYTE},
        {GL_RED, 16, 1, GL_UNSIGNED_BYTE, 1, 1, GL_UNSIGNED_BYTE},
        {GL_GREEN, 1, 16, GL_UNSIGNED_SHORT, 1, 3, GL_UNSIGNED_SHORT},
        {GL_BLUE, 31, 17, GL_UNSIGNED_BYTE, 7, 29, GL_UNSIGNED_BYTE},
        {GL_RGBA, 13, 7, GL_UNSIGNED_INT, 5, 11, GL_UNSIGNED_INT},
        {GL_RGB, 640, 480, GL_UNSIGNED_BYTE, 512, 512, GL_UNSIGNED_BYTE},
        {GL_BGRA, 1000, 3, GL_UNSIGNED_BYTE, 3, 1000, GL_UNSIGNED_BYTE},
    };
    for (const Scale &s : scales)
        addScale(cases, s);
    // The unpack state on input, the pack state on output.
    for (const Store &s : stores) {
        ImageState in, out;
        in.unpack = s;
        out.pack = s;
        addScale(cases, {GL_RGB, 11, 3, GL_UNSIGNED_BYTE, 3, 4, GL_UNSIGNED_BYTE}, in);    // rows of 33 bytes
        addScale(cases, {GL_RGB, 11, 3, GL_UNSIGNED_BYTE, 3, 4, GL_UNSIGNED_BYTE}, out);   // and of 9
        addScale(cases, {GL_RGB, 3, 2, GL_UNSIGNED_SHORT, 5, 3, GL_UNSIGNED_INT}, in);     // 18
        addScale(cases, {GL_RGB, 3, 2, GL_UNSIGNED_SHORT, 5, 3, GL_UNSIGNED_INT}, out);    // 60
    }
    // Empty images: nothing written, 0.
    for (const auto &z : {std::array<int, 4>{0, 3, 2, 2}, std::array<int, 4>{3, 0, 2, 2},
                          std::array<int, 4>{3, 3, 0, 2}, std::array<int, 4>{3, 3, 2, 0}})
        addScale(cases, {GL_RGB, z[0], z[1], GL_UNSIGNED_BYTE, z[2], z[3], GL_UNSIGNED_BYTE});

    // Errors: bad enums, sizes, data, pixel-store values, images too big.
    const GLenum badFormats[] = {GL_COLOR_INDEX, GL_STENCIL_INDEX, GL_DEPTH_COMPONENT, GL_INTENSITY, 0, 0x7fffffff};
    const GLenum badTypes[] = {GL_BYTE, GL_SHORT, GL_INT, GL_FLOAT, GL_BITMAP, GL_UNSIGNED_SHORT_5_6_5,
                               GL_UNSIGNED_INT_8_8_8_8_REV, 0};
    for (GLenum f : badFormats) {
        addBuild(cases, build2D(GL_RGB, 4, 4, f, GL_UNSIGNED_BYTE));
        addBuild(cases, build1D(GL_RGB, 4, f, GL_UNSIGNED_BYTE));
        addScale(cases, {f, 2, 2, GL_UNSIGNED_BYTE, 1, 1, GL_UNSIGNED_BYTE});
    }
    for (GLenum t : badTypes) {
        addBuild(cases, build2D(GL_RGB, 4, 4, GL_RGB, t));
        addBuild(cases, build1D(GL_RGB, 4, GL_RGB, t));
        addScale(cases, {GL_RGB, 2, 2, t, 1, 1, GL_UNSIGNED_BYTE});
        addScale(cases, {GL_RGB, 2, 2, GL_UNSIGNED_BYTE, 1, 1, t});
    }
    addBuild(cases, build2D(GL_RGB, 4, 4, GL_INTENSITY, GL_FLOAT));  // both wrong
    addBuild(cases, build2D(GL_RGB, -1, 4, GL_INTENSITY, GL_UNSIGNED_BYTE));
    for (const auto &s : {std::array<int, 2>{0, 4}, std::array<int, 2>{4, 0}, std::array<int, 2>{-1, 4},
                          std::array<int, 2>{4, -1}, std::array<int, 2>{-2147483647 - 1, 1}}) {
        addBuild(cases, build2D(GL_RGB, s[0], s[1], GL_RGB, GL_UNSIGNED_BYTE));
        addBuild(cases, levels2D(s[0], s[1], 0, 0, 0));
    }
    addBuild(cases, build1D(GL_RGB, 0, GL_RGB, GL_UNSIGNED_BYTE));
    addBuild(cases, build1D(GL_RGB, -7, GL_RGB, GL_UNSIGNED_BYTE));
    addBuild(cases, levels1D(0, 0, 0, 0));
    addBuild(cases, build2D(GL_RGB, 4, 4, GL_RGB, GL_UNSIGNED_BYTE), ImageState(), Data::Null);
    addBuild(cases, build1D(GL_RGB, 4, GL_RGB, GL_UNSIGNED_BYTE), ImageState(), Data::Null);
    addBuild(cases, levels2D(4, 4, 0, 0, 2), ImageState(), Data::Null);
    addScale(cases, {GL_RGB, 2, 2, GL_UNSIGNED_BYTE, 1, 1, GL_UNSIGNED_BYTE}, ImageState(), Data::Null);
    addScale(cases, {GL_RGB, 2, 2, GL_UNSIGNED_BYTE, 1, 1, GL_UNSIGNED_BYTE}, ImageState(), Data::Image, Data::Null);
    for (const auto &s : {std::array<int, 4>{-1, 2, 1, 1}, std::array<int, 4>{2, -1, 1, 1},
                          std::array<int, 4>{2, 2, -1, 1}, std::array<int, 4>{2, 2, 1, -1}})
        addScale(cases, {GL_RGB, s[0], s[1], GL_UNSIGNED_BYTE, s[2], s[3], GL_UNSIGNED_BYTE});
    // Pixel-store values GL never holds: read, then refused.
    const Store badStores[] = {{0, 0, 0, 0, 3}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 16}, {0, -1, 0, 0, 4},
                               {0, 0, -1, 0, 4}, {0, 0, 0, -1, 4}};
    for (const Store &s : badStores) {
        ImageState st;
        st.unpack = s;
        addBuild(cases, build2D(GL_RGB, 4, 4, GL_RGB, GL_UNSIGNED_BYTE), st, Data::Small);
        addBuild(cases, levels1D(4, 0, 0, 2), st, Data::Small);
        addScale(cases, {GL_RGB, 2, 2, GL_UNSIGNED_BYTE, 1, 1, GL_UNSIGNED_BYTE}, st, Data::Small);
        ImageState pack;
        pack.pack = s;
        addScale(cases, {GL_RGB, 2, 2, GL_UNSIGNED_BYTE, 1, 1, GL_UNSIGNED_BYTE}, pack, Data::Image, Data::Small);
    }
    // Images that no address space holds: more than 2^64 bytes.
    const int huge = 1 << 30;
    addBuild(cases, build2D(GL_RGBA, huge, huge, GL_RGBA, GL_UNSIGNED_INT), ImageState(), Data::Small);
    addBuild(cases, {2, GL_TEXTURE_2D, GL_RGBA, huge, huge, GL_RGBA, GL_UNSIGNED_INT, true, 0, 0, 30}, ImageState(),
             Data::Small);
    addBuild(cases, build1D(GL_RGBA, huge, GL_RGBA, GL_UNSIGNED_INT), unpackState(0, 0, 2147483647, 0, 4), Data::Small);
    addBuild(cases, build2D(GL_RGBA, 2, 2, GL_RGBA, GL_UNSIGNED_INT), unpackState(0, 2147483647, 2147483647, 0, 8),
             Data::Small);
    addScale(cases, {GL_RGBA, huge, huge, GL_UNSIGNED_INT, 1, 1, GL_UNSIGNED_BYTE}, ImageState(), Data::Small);
    addScale(cases, {GL_RGBA, 1, 1, GL_UNSIGNED_BYTE, huge, huge, GL_UNSIGNED_INT}, ImageState(), Data::Image,
             Data::Small);

    add3DImageCases(cases);
}

// Ordinary image calls of random sizes, formats, types and pixel-store
// state, for the broad set, each call once.
void addVariedImageCases(std::vector<Case> &cases, std::uint64_t seed, int perFunction, int scale) {
    std::vector<Case> drawn;
    addVariedImageDraws(drawn, seed, perFunction, scale);
    std::set<std::string> seen;
    for (Case &c : drawn)
        if (seen.insert(c.label).second)
            cases.push_back(std::move(c));
}

}  // namespace corpus
