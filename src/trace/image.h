/* SPDX-License-Identifier: MIT */
/*
 * A texture upload as a listing shows it: the bytes of the elements GL
 * reads for glTexImage1D/2D/3D under the unpack state, and their FNV-1a hash,
 * each element hashed as its value's bytes in little-endian order so that
 * one texture hashes alike on every architecture (single bytes as they
 * are).  Shared by the recording stand-in (recording-gl/) and the
 * interposer (tools/trace/interpose.c), which must agree to the bit.
 */
#ifndef SOFTGLU_TRACE_IMAGE_H
#define SOFTGLU_TRACE_IMAGE_H

#include <GL/gl.h>

#include <stdint.h>
#include <string.h>

/* The unpack values GL reads an image under (GL's initial values: 0, 0, 0,
 * 0, 4, 0, 0).  The last two, the image values, count for glTexImage3D
 * alone. */
struct softglu_unpack {
    int32_t swapBytes, rowLength, skipRows, skipPixels, alignment;
    int32_t skipImages, imageHeight;
};

/* Components per pixel of a format; 0 for one GL does not read. */
static inline int softglu_components(unsigned format)
{
    switch (format) {
    case GL_COLOR_INDEX:
    case GL_STENCIL_INDEX:
    case GL_DEPTH_COMPONENT:
    case GL_RED:
    case GL_GREEN:
    case GL_BLUE:
    case GL_ALPHA:
    case GL_LUMINANCE:
    case GL_INTENSITY: return 1;
    case GL_LUMINANCE_ALPHA: return 2;
    case GL_RGB:
    case GL_BGR: return 3;
    case GL_RGBA:
    case GL_BGRA: return 4;
    default: return 0;
    }
}

/* Bytes of one element of a type; packed types hold a whole pixel in one
 * element (*packed set).  0 for an unknown type. */
static inline int softglu_element_size(unsigned type, int *packed)
{
    *packed = 0;
    switch (type) {
    case GL_BYTE:
    case GL_UNSIGNED_BYTE: return 1;
    case GL_SHORT:
    case GL_UNSIGNED_SHORT: return 2;
    case GL_INT:
    case GL_UNSIGNED_INT:
    case GL_FLOAT: return 4;
    case GL_UNSIGNED_BYTE_3_3_2:
    case GL_UNSIGNED_BYTE_2_3_3_REV: *packed = 1; return 1;
    case GL_UNSIGNED_SHORT_5_6_5:
    case GL_UNSIGNED_SHORT_5_6_5_REV:
    case GL_UNSIGNED_SHORT_4_4_4_4:
    case GL_UNSIGNED_SHORT_4_4_4_4_REV:
    case GL_UNSIGNED_SHORT_5_5_5_1:
    case GL_UNSIGNED_SHORT_1_5_5_5_REV: *packed = 1; return 2;
    case GL_UNSIGNED_INT_8_8_8_8:
    case GL_UNSIGNED_INT_8_8_8_8_REV:
    case GL_UNSIGNED_INT_10_10_10_2:
    case GL_UNSIGNED_INT_2_10_10_10_REV: *packed = 1; return 4;
    default: return 0;
    }
}

/* Where each row of an image starts, as GL's unpacking finds it: the
 * first row's offset, the stride between rows, the bytes of one row and of
 * one element. */
struct softglu_layout {
    uint64_t offset, stride, row;
    int element;
};

/* 0 when GL would read nothing it can name (an unknown format or type, a
 * negative width). */
static inline int softglu_image_layout(const struct softglu_unpack *u, int width, unsigned format, unsigned type,
                                       struct softglu_layout *out)
{
    int packed;
    const uint64_t size = (uint64_t)softglu_element_size(type, &packed);
    const uint64_t n = packed ? 1 : (uint64_t)softglu_components(format);
    uint64_t group, length, align, stride;
    if (size == 0 || softglu_components(format) == 0 || width < 0)
        return 0;
    group = n * size;
    length = (uint64_t)(u->rowLength > 0 ? u->rowLength : width);
    align = (uint64_t)(u->alignment > 0 ? u->alignment : 1);
    stride = group * length;
    if (size < align)
        stride = (stride + align - 1) / align * align;
    out->offset = (uint64_t)u->skipPixels * group + (uint64_t)u->skipRows * stride;
    out->stride = stride;
    out->row = group * (uint64_t)width;
    out->element = (int)size;
    return 1;
}

/* The element of `size` bytes at p as GL takes it: in this machine's byte
 * order, its bytes swapped under GL_UNPACK_SWAP_BYTES. */
static inline uint32_t softglu_element(const unsigned char *p, int size, int swap)
{
    uint32_t v = 0;
    if (size == 1) {
        v = *p;
    } else if (size == 2) {
        uint16_t e;
        memcpy(&e, p, sizeof e);
        v = swap ? (uint16_t)((e >> 8) | (e << 8)) : e;
    } else {
        memcpy(&v, p, sizeof v);
        if (swap)
            v = (v >> 24) | ((v >> 8) & 0xff00u) | ((v << 8) & 0xff0000u) | (v << 24);
    }
    return v;
}

#define SOFTGLU_FNV_OFFSET 14695981039346656037u
#define SOFTGLU_FNV_PRIME 1099511628211u

/* The bytes GL reads for a width x height x depth image at pixels, and
 * their hash; 0 bytes and hash 0 for a null pointer or an image GL reads
 * nothing of.  `dims` is the upload's (1, 2 or 3: glTexImage1D, 2D, 3D,
 * depth 1 for the first two): only a 3D upload reads the image values. */
static inline void softglu_image_read(const struct softglu_unpack *u, int dims, int width, int height, int depth,
                                      unsigned format, unsigned type, const void *pixels, uint64_t *bytes,
                                      uint64_t *hash)
{
    struct softglu_layout l;
    *bytes = 0;
    *hash = 0;
    if (pixels && height > 0 && depth > 0 && softglu_image_layout(u, width, format, type, &l)) {
        const int images = dims == 3;
        const uint64_t rows = (uint64_t)(images && u->imageHeight > 0 ? u->imageHeight : height);
        const uint64_t image = l.stride * rows;
        const unsigned char *base = (const unsigned char *)pixels + l.offset +
                                    (images ? (uint64_t)u->skipImages * image : 0);
        uint64_t h = SOFTGLU_FNV_OFFSET, k;
        int y, z, b;
        for (z = 0; z < depth; ++z)
            for (y = 0; y < height; ++y) {
                const unsigned char *row = base + (uint64_t)z * image + (uint64_t)y * l.stride;
                for (k = 0; k < l.row; k += (uint64_t)l.element) {
                    const uint32_t v = softglu_element(row + k, l.element, u->swapBytes);
                    for (b = 0; b < l.element; ++b)
                        h = (h ^ ((v >> (8 * b)) & 0xffu)) * SOFTGLU_FNV_PRIME;
                }
            }
        *bytes = l.row * (uint64_t)height * (uint64_t)depth;
        *hash = h;
    }
}

#endif
