// SPDX-License-Identifier: MIT
#include "pixelstore.h"

#include <GL/gl.h>

#include "image.h"

#include <cstring>

namespace glrecord {
namespace {

// The little GL state glGetIntegerv answers from.
struct PixelStore {
    std::int32_t swapBytes = 0, lsbFirst = 0, rowLength = 0, skipRows = 0, skipPixels = 0, alignment = 4;
    std::int32_t skipImages = 0, imageHeight = 0;
};
thread_local PixelStore unpack, pack;
thread_local std::int32_t maxTextureSize = 2048;
thread_local std::int32_t max3DTextureSize = 256;
thread_local std::int32_t viewport[4] = {0, 0, 1, 1};
thread_local float matrices[2][16] = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1},
                                      {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
thread_local bool autoNormal = false;

std::int32_t *pixelStoreSlot(unsigned pname) {
    switch (pname) {
    case GL_UNPACK_SWAP_BYTES: return &unpack.swapBytes;
    case GL_UNPACK_LSB_FIRST: return &unpack.lsbFirst;
    case GL_UNPACK_ROW_LENGTH: return &unpack.rowLength;
    case GL_UNPACK_SKIP_ROWS: return &unpack.skipRows;
    case GL_UNPACK_SKIP_PIXELS: return &unpack.skipPixels;
    case GL_UNPACK_ALIGNMENT: return &unpack.alignment;
    case GL_UNPACK_SKIP_IMAGES: return &unpack.skipImages;
    case GL_UNPACK_IMAGE_HEIGHT: return &unpack.imageHeight;
    case GL_PACK_SWAP_BYTES: return &pack.swapBytes;
    case GL_PACK_LSB_FIRST: return &pack.lsbFirst;
    case GL_PACK_ROW_LENGTH: return &pack.rowLength;
    case GL_PACK_SKIP_ROWS: return &pack.skipRows;
    case GL_PACK_SKIP_PIXELS: return &pack.skipPixels;
    case GL_PACK_ALIGNMENT: return &pack.alignment;
    case GL_PACK_SKIP_IMAGES: return &pack.skipImages;
    case GL_PACK_IMAGE_HEIGHT: return &pack.imageHeight;
    default: return nullptr;
    }
}

// GL's unpack values as image.h reads an image under them.
softglu_unpack unpackState() {
    return {unpack.swapBytes, unpack.rowLength, unpack.skipRows, unpack.skipPixels, unpack.alignment,
            unpack.skipImages, unpack.imageHeight};
}

}  // namespace

std::uint64_t fnv1a(const void *data, std::uint64_t size) {
    std::uint64_t h = SOFTGLU_FNV_OFFSET;
    const unsigned char *p = static_cast<const unsigned char *>(data);
    for (std::uint64_t k = 0; k < size; ++k)
        h = (h ^ p[k]) * SOFTGLU_FNV_PRIME;
    return h;
}

std::uint64_t imageBytes(int width, int height, unsigned format, unsigned type) {
    const softglu_unpack u = unpackState();
    softglu_layout l{};
    if (height <= 0 || !softglu_image_layout(&u, width, format, type, &l))
        return 0;
    return l.row * static_cast<std::uint64_t>(height);
}

void setMaxTextureSize(int size) { maxTextureSize = size; }
void setMax3DTextureSize(int size) { max3DTextureSize = size; }

void setViewport(int x, int y, int width, int height) {
    viewport[0] = x;
    viewport[1] = y;
    viewport[2] = width;
    viewport[3] = height;
}

void setMatrices(const float modelview[16], const float projection[16]) {
    std::memcpy(matrices[0], modelview, sizeof matrices[0]);
    std::memcpy(matrices[1], projection, sizeof matrices[1]);
}

void setAutoNormal(bool on) { autoNormal = on; }

void resetPixelStore() {
    unpack = PixelStore();
    pack = PixelStore();
}

void storePixelMode(unsigned pname, std::int32_t value) {
    if (std::int32_t *slot = pixelStoreSlot(pname))
        *slot = value;
}

std::int32_t answerInteger(unsigned pname, std::int32_t *params) {
    const std::int32_t *slot = pixelStoreSlot(pname);
    if (pname == GL_VIEWPORT)
        std::memcpy(params, viewport, sizeof viewport);
    const std::int32_t value = pname == GL_MAX_TEXTURE_SIZE      ? maxTextureSize
                               : pname == GL_MAX_3D_TEXTURE_SIZE ? max3DTextureSize
                               : pname == GL_VIEWPORT            ? viewport[0]
                               : slot                            ? *slot
                                                                 : 0;
    *params = value;
    return value;
}

void answerFloats(unsigned pname, float *params) {
    const int which = pname == GL_MODELVIEW_MATRIX ? 0 : pname == GL_PROJECTION_MATRIX ? 1 : -1;
    if (which >= 0)
        std::memcpy(params, matrices[which], sizeof matrices[which]);
}

bool answerEnabled(unsigned cap) { return cap == GL_AUTO_NORMAL && autoNormal; }

// The bytes GL reads and their hash (image.h).
void readTexture(Call &c, int dims, int width, int height, int depth, unsigned format, unsigned type,
                 const void *pixels) {
    const softglu_unpack u = unpackState();
    softglu_image_read(&u, dims, width, height, depth, format, type, pixels, &c.bytes, &c.hash);
}

}  // namespace glrecord
