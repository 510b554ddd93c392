/* SPDX-License-Identifier: MIT */
// One GL call as the recording GL keeps it: the op and its exact argument
// bits.
#ifndef SOFTGLU_GLRECORD_CALL_H
#define SOFTGLU_GLRECORD_CALL_H

#include <cstdint>
#include <vector>

namespace glrecord {

enum class Op : std::uint8_t {
    Begin, End, Normal3f, TexCoord2f, Vertex3f, Vertex2f, Frustum,
    Ortho, MultMatrixd, Translated, Scaled,
    PixelStorei, GetIntegerv, TexImage1D, TexImage2D,
    Vertex3dv, EdgeFlag,
    Color4f, Indexf, TexCoord1f, TexCoord3f, TexCoord4f,
    TexImage3D
};
const int kOpCount = 23;

// Whether an op is a texture upload (glTexImage1D, 2D, 3D), kept with the
// bytes it reads and their hash.
bool uploads(Op op);

// What an op's arguments are: floats in f[], doubles in d[], or integers
// in i[] (enums as their values).
enum class Args { None, Floats, Doubles, Ints };

// One GL call.  Single-precision arguments are kept in f[], doubles in d[],
// integer and enum arguments in i[], glBegin's mode in mode; unused slots are
// zero.  glPixelStorei has (pname, value) in i[]; glGetIntegerv (pname, the
// value answered); glTexImage1D (target, level, internalformat, width,
// border, format, type), glTexImage2D (target, level, internalformat,
// width, height, border, format, type) and glTexImage3D (target, level,
// internalformat, width, height, depth, border, format, type), with the
// bytes read in `bytes` and
// the hash of the elements read in `hash` (0 bytes, hash 0 for a null
// pointer); glVertex3dv its point in d[], glEdgeFlag its flag in i[0].
struct Call {
    Op op;
    unsigned mode;
    float f[4];
    double d[16];
    std::int32_t i[9];
    std::uint64_t bytes;
    std::uint64_t hash;

    Args args() const;
    int argCount() const;           // how many of f[] / d[] / i[] the op uses
    std::uint32_t fbits(int i) const;
    std::uint64_t dbits(int i) const;
};

// Same op and the same bits in every argument (so -0 != +0, and NaNs
// compare by payload).
bool sameBits(const Call &a, const Call &b);

using Stream = std::vector<Call>;

}  // namespace glrecord

#endif
