// SPDX-License-Identifier: MIT
// gluScaleImage and the mipmap builders (1D, 2D and 3D): images read and
// written the way GL reads and writes them, filtered with integers only.
//
// There is no floating point in this file: every value is an unsigned
// integer and every division rounds by a rule written out beside it, so each
// level has the same bytes on every machine.

#include "../exact.h"  // first: the arithmetic guard

#include <GL/glu_compat.h>

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "traced.h"

namespace {

// Components per pixel of a format softglu filters, or 0.
int componentsOf(GLenum format) {
    switch (format) {
    case GL_RED:
    case GL_GREEN:
    case GL_BLUE:
    case GL_ALPHA:
    case GL_LUMINANCE: return 1;
    case GL_LUMINANCE_ALPHA: return 2;
    case GL_RGB:
    case GL_BGR: return 3;
    case GL_RGBA:
    case GL_BGRA: return 4;
    default: return 0;
    }
}

// Bytes per component of a type softglu filters, or 0.
int sizeOf(GLenum type) {
    switch (type) {
    case GL_UNSIGNED_BYTE: return 1;
    case GL_UNSIGNED_SHORT: return 2;
    case GL_UNSIGNED_INT: return 4;
    default: return 0;
    }
}

// ---- Pixel-store state --------------------------------------------------------

// The image values (skipImages, imageHeight) are read and set only for a 3D
// image (`images`): the 1D and 2D calls never touch them.
struct PixelStore {
    GLint swapBytes, rowLength, skipRows, skipPixels, alignment;
    GLint skipImages, imageHeight;
    bool images;
};

// GL's initial values stay where glGetIntegerv answers nothing (no context).
PixelStore readPixelStore(GLenum swapBytes, GLenum rowLength, GLenum skipRows, GLenum skipPixels,
                          GLenum alignment) {
    PixelStore s = {0, 0, 0, 0, 4, 0, 0, false};
    glGetIntegerv(swapBytes, &s.swapBytes);
    glGetIntegerv(rowLength, &s.rowLength);
    glGetIntegerv(skipRows, &s.skipRows);
    glGetIntegerv(skipPixels, &s.skipPixels);
    glGetIntegerv(alignment, &s.alignment);
    return s;
}

PixelStore readUnpack(bool images) {
    PixelStore s = readPixelStore(GL_UNPACK_SWAP_BYTES, GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_ROWS,
                                  GL_UNPACK_SKIP_PIXELS, GL_UNPACK_ALIGNMENT);
    s.images = images;
    if (images) {
        glGetIntegerv(GL_UNPACK_SKIP_IMAGES, &s.skipImages);
        glGetIntegerv(GL_UNPACK_IMAGE_HEIGHT, &s.imageHeight);
    }
    return s;
}

PixelStore readPack() {
    return readPixelStore(GL_PACK_SWAP_BYTES, GL_PACK_ROW_LENGTH, GL_PACK_SKIP_ROWS, GL_PACK_SKIP_PIXELS,
                          GL_PACK_ALIGNMENT);
}

void setUnpack(const PixelStore &s) {
    glPixelStorei(GL_UNPACK_SWAP_BYTES, s.swapBytes);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, s.rowLength);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, s.skipRows);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, s.skipPixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, s.alignment);
    if (s.images) {
        glPixelStorei(GL_UNPACK_SKIP_IMAGES, s.skipImages);
        glPixelStorei(GL_UNPACK_IMAGE_HEIGHT, s.imageHeight);
    }
}

// Rows (and images) packed tight: how the levels go to GL.
const PixelStore kTight = {0, 0, 0, 0, 1, 0, 0, false};

// ---- Where pixels lie -----------------------------------------------------------

// No image spans more bytes than a pointer difference holds.
const uint64_t kMaxBytes = PTRDIFF_MAX;

// acc += a * b, unless the result would pass kMaxBytes.
bool addProduct(uint64_t &acc, uint64_t a, uint64_t b) {
    if (b != 0 && a > (kMaxBytes - acc) / b)
        return false;
    acc += a * b;
    return true;
}

// An image in memory as GL lays it out: component c of pixel (x, y) of
// image z is the element of `size` bytes at offset + z * image + y * stride
// + x * group + c * size, its bytes swapped when `swap` is set.
struct Layout {
    uint64_t offset, stride, group;
    int size;
    bool swap;
    uint64_t image;
};

// Whether GL could hold this state: glPixelStorei refuses other values.
bool holds(const PixelStore &s) {
    const GLint a = s.alignment;
    return (a == 1 || a == 2 || a == 4 || a == 8) && s.rowLength >= 0 && s.skipRows >= 0 && s.skipPixels >= 0 &&
           s.skipImages >= 0 && s.imageHeight >= 0;
}

// The layout of a width x height x depth image (all at least 1; depth 1
// for 1D and 2D) of n components of `size` bytes under pixel-store state s,
// which GL could hold: 0, or GLU_OUT_OF_MEMORY when the bytes from the
// image's start to the end of its last pixel pass kMaxBytes.  Images lie
// imageHeight rows apart (height when it is 0).
GLint layOut(const PixelStore &s, int width, int height, int depth, int n, int size, Layout &out) {
    const GLint a = s.alignment;
    const uint64_t group = static_cast<uint64_t>(n) * static_cast<uint64_t>(size);
    const uint64_t length = static_cast<uint64_t>(s.rowLength > 0 ? s.rowLength : width);
    uint64_t stride = group * length;
    if (static_cast<uint64_t>(size) < static_cast<uint64_t>(a))  // rows start on the alignment
        stride = (stride + static_cast<uint64_t>(a) - 1) / static_cast<uint64_t>(a) * static_cast<uint64_t>(a);
    uint64_t offset = 0, end = 0;
    if (!addProduct(offset, static_cast<uint64_t>(s.skipPixels), group) ||
        !addProduct(offset, static_cast<uint64_t>(s.skipRows), stride))
        return GLU_OUT_OF_MEMORY;
    // The image stride matters only past the first image: it may be too
    // large to hold where it is never used.
    uint64_t image = 0;
    if (s.skipImages > 0 || depth > 1) {
        const uint64_t rows = static_cast<uint64_t>(s.imageHeight > 0 ? s.imageHeight : height);
        if (!addProduct(image, rows, stride) || !addProduct(offset, static_cast<uint64_t>(s.skipImages), image))
            return GLU_OUT_OF_MEMORY;
    }
    end = offset;
    if (!addProduct(end, static_cast<uint64_t>(depth) - 1, image) ||
        !addProduct(end, static_cast<uint64_t>(height) - 1, stride) ||
        !addProduct(end, static_cast<uint64_t>(width), group))
        return GLU_OUT_OF_MEMORY;
    out = {offset, stride, group, size, s.swapBytes != 0, image};
    return 0;
}

// Rows of n elements of `size` bytes, one after the other, height rows to
// an image.
Layout tight(int width, int height, int n, int size) {
    const uint64_t group = static_cast<uint64_t>(n) * static_cast<uint64_t>(size);
    const uint64_t stride = group * static_cast<uint64_t>(width);
    return {0, stride, group, size, false, stride * static_cast<uint64_t>(height)};
}

// Image z of a layout, as a layout of its own.
Layout imageOf(const Layout &l, int z) {
    Layout one = l;
    one.offset = l.offset + static_cast<uint64_t>(z) * l.image;
    return one;
}

uint64_t at(const Layout &l, int x, int y, int c) {
    return l.offset + static_cast<uint64_t>(y) * l.stride + static_cast<uint64_t>(x) * l.group +
           static_cast<uint64_t>(c) * static_cast<uint64_t>(l.size);
}

uint16_t swap16(uint16_t v) { return static_cast<uint16_t>((v >> 8) | (v << 8)); }

uint32_t swap32(uint32_t v) {
    return (v >> 24) | ((v >> 8) & 0xff00u) | ((v << 8) & 0xff0000u) | (v << 24);
}

// The element at p, as GL reads it: in this machine's byte order, after
// swapping its bytes when asked to.
uint32_t load(const unsigned char *p, int size, bool swap) {
    if (size == 1)
        return *p;
    if (size == 2) {
        uint16_t v;
        memcpy(&v, p, sizeof v);
        return swap ? swap16(v) : v;
    }
    uint32_t v;
    memcpy(&v, p, sizeof v);
    return swap ? swap32(v) : v;
}

void store(unsigned char *p, int size, bool swap, uint32_t value) {
    if (size == 1) {
        *p = static_cast<unsigned char>(value);
    } else if (size == 2) {
        const uint16_t v = static_cast<uint16_t>(value);
        const uint16_t w = swap ? swap16(v) : v;
        memcpy(p, &w, sizeof w);
    } else {
        const uint32_t w = swap ? swap32(value) : value;
        memcpy(p, &w, sizeof w);
    }
}

// ---- The box filter ---------------------------------------------------------------

// A component of `size` bytes on the scale of 32 bits, exactly: 0 stays 0
// and the type's largest value becomes 0xffffffff.  0xffffffff is 255 *
// 0x01010101 and 65535 * 0x00010001.
uint32_t widen(uint32_t v, int size) {
    return size == 1 ? v * 0x01010101u : size == 2 ? v * 0x00010001u : v;
}

// Back to `size` bytes, rounded to nearest (the divisors are odd: no ties);
// narrow(widen(v)) is v.
uint32_t narrow(uint32_t v, int size) {
    if (size == 1)
        return static_cast<uint32_t>((static_cast<uint64_t>(v) + 0x00808080u) / 0x01010101u);
    if (size == 2)
        return static_cast<uint32_t>((static_cast<uint64_t>(v) + 0x00008000u) / 0x00010001u);
    return v;
}

// The input pixels under output pixel x of an axis of `in` pixels scaled to
// `out`, in units where an input pixel is `out` long and an output pixel
// `in` long: the output pixel spans [from, from + in), input pixel i spans
// [i * out, (i + 1) * out).
struct Box {
    uint64_t from, to;
    int first, last;
};

Box boxOf(int x, int in, int out) {
    const uint64_t from = static_cast<uint64_t>(x) * static_cast<uint64_t>(in);
    const uint64_t to = from + static_cast<uint64_t>(in);
    return {from, to, static_cast<int>(from / static_cast<uint64_t>(out)),
            static_cast<int>((to - 1) / static_cast<uint64_t>(out))};
}

// How much of the box input pixel i covers; a box's weights add up to `in`.
uint64_t weight(const Box &b, int i, int out) {
    const uint64_t lo = static_cast<uint64_t>(i) * static_cast<uint64_t>(out);
    const uint64_t hi = lo + static_cast<uint64_t>(out);
    return (hi < b.to ? hi : b.to) - (lo > b.from ? lo : b.from);
}

// sum / n rounded to nearest, halves up.
uint64_t roundedDiv(uint64_t sum, uint64_t n) { return (sum + n / 2) / n; }

// The mean of the input components under the box bx x by of one input
// image, per component, on the 32-bit scale: every row of the box averaged
// first (rounded), then those row means (rounded again).
void imageMean(const unsigned char *in, const Layout &li, const Box &bx, const Box &by, int wIn, int hIn, int wOut,
               int hOut, int n, uint64_t mean[4]) {
    uint64_t column[4] = {0, 0, 0, 0};
    for (int j = by.first; j <= by.last; ++j) {
        uint64_t row[4] = {0, 0, 0, 0};
        for (int i = bx.first; i <= bx.last; ++i) {
            const uint64_t w = weight(bx, i, wOut);
            for (int c = 0; c < n; ++c)
                row[c] += w * widen(load(in + at(li, i, j, c), li.size, li.swap), li.size);
        }
        const uint64_t w = weight(by, j, hOut);
        for (int c = 0; c < n; ++c)
            column[c] += w * roundedDiv(row[c], static_cast<uint64_t>(wIn));
    }
    for (int c = 0; c < n; ++c)
        mean[c] = roundedDiv(column[c], static_cast<uint64_t>(hIn));
}

// Scales an image of n components from wIn x hIn x dIn pixels to wOut x
// hOut x dOut (all at least 1; depths 1 for a 2D image).  Each output
// component is the mean of the input components under its box, weighted
// by how much of the box each covers: each input image's mean (imageMean),
// then the mean of those (rounded again), on the 32-bit scale, then
// narrowed to the output's type.  At depth 1 the last mean is the image's
// own.  Sums stay below 2^63: a weight sum times 0xffffffff, with at most
// 2^31 - 1 pixels on a side.
void scale(const unsigned char *in, const Layout &li, int wIn, int hIn, int dIn, unsigned char *out,
           const Layout &lo, int wOut, int hOut, int dOut, int n) {
    if (wIn == wOut && hIn == hOut && dIn == dOut) {  // each box is one input pixel: the filter gives it back
        for (int z = 0; z < dOut; ++z) {
            const Layout from = imageOf(li, z), to = imageOf(lo, z);
            for (int y = 0; y < hOut; ++y)
                for (int x = 0; x < wOut; ++x)
                    for (int c = 0; c < n; ++c) {
                        const uint32_t v = widen(load(in + at(from, x, y, c), li.size, li.swap), li.size);
                        store(out + at(to, x, y, c), lo.size, lo.swap, narrow(v, lo.size));
                    }
        }
        return;
    }
    for (int z = 0; z < dOut; ++z) {
        const Box bz = boxOf(z, dIn, dOut);
        const Layout to = imageOf(lo, z);
        for (int y = 0; y < hOut; ++y) {
            const Box by = boxOf(y, hIn, hOut);
            for (int x = 0; x < wOut; ++x) {
                const Box bx = boxOf(x, wIn, wOut);
                uint64_t images[4] = {0, 0, 0, 0};
                for (int k = bz.first; k <= bz.last; ++k) {
                    uint64_t mean[4];
                    imageMean(in, imageOf(li, k), bx, by, wIn, hIn, wOut, hOut, n, mean);
                    const uint64_t w = weight(bz, k, dOut);
                    for (int c = 0; c < n; ++c)
                        images[c] += w * mean[c];
                }
                for (int c = 0; c < n; ++c) {
                    const uint32_t v = static_cast<uint32_t>(roundedDiv(images[c], static_cast<uint64_t>(dIn)));
                    store(out + at(to, x, y, c), lo.size, lo.swap, narrow(v, lo.size));
                }
            }
        }
    }
}

// ---- Mipmaps ----------------------------------------------------------------------

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

int log2Of(int n) {
    int k = 0;
    while (n > 1) {
        n >>= 1;
        ++k;
    }
    return k;
}

// The side a level-0 image of n pixels (n >= 1) is scaled to: the power of
// two nearest n, the larger one when n lies halfway (48 -> 64), and no more
// than the largest power of two not above max (below 1 counts as 1).
int fitSide(int n, int max) {
    int64_t p = 1;
    while (p * 2 <= n)
        p *= 2;
    if (2 * static_cast<int64_t>(n) >= 3 * p)  // n - p >= 2p - n
        p *= 2;
    int64_t limit = 1;
    while (limit * 2 <= max)
        limit *= 2;
    return static_cast<int>(p < limit ? p : limit);
}

// Component c of the texels (x0, y0), (x0 + dx, y0), (x0, y0 + dy) and
// (x0 + dx, y0 + dy) of one image of a tight level, summed.
uint64_t sumOfFour(const unsigned char *p, const Layout &l, int x0, int y0, int dx, int dy, int c, int size) {
    return static_cast<uint64_t>(load(p + at(l, x0, y0, c), size, false)) + load(p + at(l, x0 + dx, y0, c), size, false) +
           load(p + at(l, x0, y0 + dy, c), size, false) + load(p + at(l, x0 + dx, y0 + dy, c), size, false);
}

// Halves a tight w x h x d image of n components in place, down to
// max(w / 2, 1) x max(h / 2, 1) x max(d / 2, 1).  Each new component is the
// mean of the 2 x 2 x 2 under it, rounded to nearest with halves up: (the
// sum of the eight + 4) / 8.  Along a side of 1 each texel is counted twice,
// so a 2D level is (a + b + c + d + 2) / 4 and a pair (a + b + 1) / 2, the
// mean of the four or two.  Each new component is written at or before the
// first it reads, and after reading them, so no component is overwritten
// before it is read.
void halve(unsigned char *p, int &w, int &h, int &d, int n, int size) {
    const int dx = w > 1 ? 1 : 0, dy = h > 1 ? 1 : 0;
    const int dz = d > 1 ? 1 : 0;
    const int w2 = w > 1 ? w / 2 : 1, h2 = h > 1 ? h / 2 : 1, d2 = d > 1 ? d / 2 : 1;
    const Layout from = tight(w, h, n, size), to = tight(w2, h2, n, size);
    for (int z = 0; z < d2; ++z) {
        const Layout front = imageOf(from, 2 * z), back = imageOf(from, 2 * z + dz), level = imageOf(to, z);
        for (int y = 0; y < h2; ++y)
            for (int x = 0; x < w2; ++x)
                for (int c = 0; c < n; ++c) {
                    const int x0 = 2 * x, y0 = 2 * y;
                    const uint64_t sum = sumOfFour(p, front, x0, y0, dx, dy, c, size) +
                                         sumOfFour(p, back, x0, y0, dx, dy, c, size);
                    store(p + at(level, x, y, c), size, false, static_cast<uint32_t>((sum + 4) / 8));
                }
    }
    w = w2;
    h = h2;
    d = d2;
}

// One call of the mipmap builders, checked.
struct Request {
    int dims;  // 1, 2 or 3
    GLenum target;
    GLint internalFormat;
    GLsizei width, height, depth;  // height 1 for 1D, depth 1 for 1D and 2D
    GLenum format, type;
    const void *data;
};

int largest(int a, int b, int c) {
    const int ab = a > b ? a : b;
    return ab > c ? ab : c;
}

// Levels userLevel (the image as given, or as scaled) and on, halving down
// to 1 x 1 (x 1); those from base to max go to GL.  With `fit`, the image is
// first scaled to powers of two no larger than GL_MAX_TEXTURE_SIZE
// (GL_MAX_3D_TEXTURE_SIZE for 3D) and the levels run to 1 x 1.
GLint build(const Request &r, bool fit, GLint userLevel, GLint base, GLint max) {
    const int n = componentsOf(r.format), size = sizeOf(r.type);
    const PixelStore client = readUnpack(r.dims == 3);
    int w = r.width, h = r.height, d = r.depth;
    if (fit) {
        GLint maxSize = 0;
        glGetIntegerv(r.dims == 3 ? GL_MAX_3D_TEXTURE_SIZE : GL_MAX_TEXTURE_SIZE, &maxSize);
        w = fitSide(r.width, maxSize);
        h = r.dims == 1 ? 1 : fitSide(r.height, maxSize);
        d = r.dims == 3 ? fitSide(r.depth, maxSize) : 1;
        base = userLevel;
        max = userLevel + log2Of(largest(w, h, d));
    }
    if (!holds(client))
        return GLU_INVALID_VALUE;
    Layout in = {};
    const GLint status = layOut(client, r.width, r.height, r.depth, n, size, in);
    if (status != 0)
        return status;

    // The working copy, each level replacing the one before.
    const uint64_t group = static_cast<uint64_t>(n) * static_cast<uint64_t>(size);
    uint64_t pixels = static_cast<uint64_t>(w) * static_cast<uint64_t>(h);
    if (pixels > kMaxBytes / group / static_cast<uint64_t>(d))  // kMaxBytes is no more than SIZE_MAX
        return GLU_OUT_OF_MEMORY;
    pixels *= static_cast<uint64_t>(d);
    unsigned char *level = static_cast<unsigned char *>(malloc(static_cast<size_t>(pixels * group)));
    if (!level)
        return GLU_OUT_OF_MEMORY;
    scale(static_cast<const unsigned char *>(r.data), in, r.width, r.height, r.depth, level, tight(w, h, n, size), w,
          h, d, n);

    PixelStore packed = kTight;
    packed.images = client.images;
    setUnpack(packed);
    for (GLint l = userLevel;; ++l) {
        if (l >= base) {
            if (r.dims == 1)
                glTexImage1D(r.target, l, r.internalFormat, w, 0, r.format, r.type, level);
            else if (r.dims == 2)
                glTexImage2D(r.target, l, r.internalFormat, w, h, 0, r.format, r.type, level);
            else
                glTexImage3D(r.target, l, r.internalFormat, w, h, d, 0, r.format, r.type, level);
        }
        if (l >= max)
            break;
        halve(level, w, h, d, n, size);
    }
    setUnpack(client);
    free(level);
    return 0;
}

// What every builder checks first: format and type, then the sizes and
// the data.
GLint check(const Request &r) {
    if (componentsOf(r.format) == 0 || sizeOf(r.type) == 0)
        return GLU_INVALID_ENUM;
    if (r.width < 1 || r.height < 1 || r.depth < 1 || !r.data)
        return GLU_INVALID_VALUE;
    return 0;
}

GLint buildFitted(const Request &r) {
    const GLint status = check(r);
    return status != 0 ? status : build(r, true, 0, 0, 0);
}

GLint buildLevels(const Request &r, GLint userLevel, GLint base, GLint max) {
    GLint status = check(r);
    if (status != 0)
        return status;
    if (!isPowerOfTwo(r.width) || !isPowerOfTwo(r.height) || !isPowerOfTwo(r.depth))
        return GLU_INVALID_VALUE;
    const int64_t highest = static_cast<int64_t>(userLevel) + log2Of(largest(r.width, r.height, r.depth));
    if (userLevel > base || base < 0 || max < base || max > highest)
        return GLU_INVALID_VALUE;
    return build(r, false, userLevel, base, max);
}

}  // namespace

GLint gluScaleImage(GLenum format, GLsizei wIn, GLsizei hIn, GLenum typeIn, const void *dataIn, GLsizei wOut,
                    GLsizei hOut, GLenum typeOut, GLvoid *dataOut) {
    const int n = componentsOf(format), sizeIn = sizeOf(typeIn), sizeOut = sizeOf(typeOut);
    if (n == 0 || sizeIn == 0 || sizeOut == 0)
        return GLU_INVALID_ENUM;
    if (wIn < 0 || hIn < 0 || wOut < 0 || hOut < 0)
        return GLU_INVALID_VALUE;
    if (wIn == 0 || hIn == 0 || wOut == 0 || hOut == 0)
        return 0;
    if (!dataIn || !dataOut)
        return GLU_INVALID_VALUE;
    const PixelStore unpack = readUnpack(false);
    const PixelStore pack = readPack();
    if (!holds(unpack) || !holds(pack))
        return GLU_INVALID_VALUE;
    Layout in = {}, out = {};
    GLint status = layOut(unpack, wIn, hIn, 1, n, sizeIn, in);
    if (status == 0)
        status = layOut(pack, wOut, hOut, 1, n, sizeOut, out);
    if (status != 0)
        return status;
    scale(static_cast<const unsigned char *>(dataIn), in, wIn, hIn, 1, static_cast<unsigned char *>(dataOut), out,
          wOut, hOut, 1, n);
    return 0;
}

GLint gluBuild1DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLenum format, GLenum type,
                        const void *data) {
    SOFTGLU_TRACED(gluBuild1DMipmaps, target, internalFormat, width, format, type, data);
    return buildFitted({1, target, internalFormat, width, 1, 1, format, type, data});
}

GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                        GLenum type, const void *data) {
    SOFTGLU_TRACED(gluBuild2DMipmaps, target, internalFormat, width, height, format, type, data);
    return buildFitted({2, target, internalFormat, width, height, 1, format, type, data});
}

GLint gluBuild1DMipmapLevels(GLenum target, GLint internalFormat, GLsizei width, GLenum format, GLenum type,
                             GLint userLevel, GLint base, GLint max, const void *data) {
    SOFTGLU_TRACED(gluBuild1DMipmapLevels, target, internalFormat, width, format, type, userLevel, base, max, data);
    return buildLevels({1, target, internalFormat, width, 1, 1, format, type, data}, userLevel, base, max);
}

GLint gluBuild2DMipmapLevels(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                             GLenum type, GLint userLevel, GLint base, GLint max, const void *data) {
    SOFTGLU_TRACED(gluBuild2DMipmapLevels, target, internalFormat, width, height, format, type, userLevel, base,
                   max, data);
    return buildLevels({2, target, internalFormat, width, height, 1, format, type, data}, userLevel, base, max);
}

GLint gluBuild3DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLsizei depth,
                        GLenum format, GLenum type, const void *data) {
    SOFTGLU_TRACED(gluBuild3DMipmaps, target, internalFormat, width, height, depth, format, type, data);
    return buildFitted({3, target, internalFormat, width, height, depth, format, type, data});
}

GLint gluBuild3DMipmapLevels(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLsizei depth,
                             GLenum format, GLenum type, GLint userLevel, GLint base, GLint max, const void *data) {
    SOFTGLU_TRACED(gluBuild3DMipmapLevels, target, internalFormat, width, height, depth, format, type, userLevel,
                   base, max, data);
    return buildLevels({3, target, internalFormat, width, height, depth, format, type, data}, userLevel, base, max);
}
