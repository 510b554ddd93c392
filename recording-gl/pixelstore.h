/* SPDX-License-Identifier: MIT */
// The state the recording GL's queries answer from, per thread (glrecord.h
// says which), and what a texture upload reads under the unpack state.
#ifndef SOFTGLU_GLRECORD_PIXELSTORE_H
#define SOFTGLU_GLRECORD_PIXELSTORE_H

#include "call.h"

#include <cstdint>

namespace glrecord {

// GL_MAX_TEXTURE_SIZE and GL_MAX_3D_TEXTURE_SIZE as glGetIntegerv answers
// them on the calling thread (initially 2048 and 256), and the unpack state
// back at GL's initial values.
void setMaxTextureSize(int size);
void setMax3DTextureSize(int size);
void resetPixelStore();
// What glGetIntegerv(GL_VIEWPORT), glGetFloatv of the modelview and
// projection matrices and glIsEnabled(GL_AUTO_NORMAL) answer on the calling
// thread: initially (0, 0, 1, 1), identities and GL_FALSE.
void setViewport(int x, int y, int width, int height);
void setMatrices(const float modelview[16], const float projection[16]);
void setAutoNormal(bool on);

// The number of bytes glTexImage reads for a width x height image of
// `format` and `type` under the calling thread's unpack state (0 for a
// format or type it does not know), and the FNV-1a hash of a byte range.
std::uint64_t imageBytes(int width, int height, unsigned format, unsigned type);
std::uint64_t fnv1a(const void *data, std::uint64_t size);

// What the GL entry points (gl.cpp) do with the state.  glPixelStorei
// sets a pixel-store value (any other pname is ignored);
// glGetIntegerv's answer, written to `params` (four values for
// GL_VIEWPORT), and the value its call records; glGetFloatv's matrices;
// glIsEnabled; a texture upload's bytes read and hash, set in `c`.
void storePixelMode(unsigned pname, std::int32_t value);
std::int32_t answerInteger(unsigned pname, std::int32_t *params);
void answerFloats(unsigned pname, float *params);
bool answerEnabled(unsigned cap);
// `dims` is the upload's: 1, 2 or 3 (image.h).
void readTexture(Call &c, int dims, int width, int height, int depth, unsigned format, unsigned type,
                 const void *pixels);

}  // namespace glrecord

#endif
