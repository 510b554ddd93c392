// SPDX-License-Identifier: MIT
#include "call.h"

#include <cstring>

namespace glrecord {

Args Call::args() const {
    switch (op) {
    case Op::Begin:
    case Op::End: return Args::None;
    case Op::Normal3f:
    case Op::TexCoord2f:
    case Op::Vertex3f:
    case Op::Vertex2f:
    case Op::Color4f:
    case Op::Indexf:
    case Op::TexCoord1f:
    case Op::TexCoord3f:
    case Op::TexCoord4f: return Args::Floats;
    case Op::Frustum:
    case Op::Ortho:
    case Op::MultMatrixd:
    case Op::Translated:
    case Op::Scaled:
    case Op::Vertex3dv: return Args::Doubles;
    case Op::PixelStorei:
    case Op::GetIntegerv:
    case Op::TexImage1D:
    case Op::TexImage2D:
    case Op::TexImage3D:
    case Op::EdgeFlag: return Args::Ints;
    }
    return Args::None;
}

int Call::argCount() const {
    switch (op) {
    case Op::Begin: return 1;
    case Op::End: return 0;
    case Op::Normal3f:
    case Op::Vertex3f: return 3;
    case Op::TexCoord2f:
    case Op::Vertex2f: return 2;
    case Op::Color4f:
    case Op::TexCoord4f: return 4;
    case Op::Indexf:
    case Op::TexCoord1f: return 1;
    case Op::TexCoord3f: return 3;
    case Op::Frustum:
    case Op::Ortho: return 6;
    case Op::MultMatrixd: return 16;
    case Op::Translated:
    case Op::Scaled:
    case Op::Vertex3dv: return 3;
    case Op::EdgeFlag: return 1;
    case Op::PixelStorei:
    case Op::GetIntegerv: return 2;
    case Op::TexImage1D: return 7;
    case Op::TexImage2D: return 8;
    case Op::TexImage3D: return 9;
    }
    return 0;
}

bool uploads(Op op) { return op == Op::TexImage1D || op == Op::TexImage2D || op == Op::TexImage3D; }

std::uint32_t Call::fbits(int i) const {
    std::uint32_t b;
    std::memcpy(&b, &f[i], sizeof b);
    return b;
}

std::uint64_t Call::dbits(int i) const {
    std::uint64_t b;
    std::memcpy(&b, &d[i], sizeof b);
    return b;
}

bool sameBits(const Call &a, const Call &b) {
    if (a.op != b.op || a.mode != b.mode || a.bytes != b.bytes || a.hash != b.hash)
        return false;
    for (int i = 0; i < 4; ++i)
        if (a.fbits(i) != b.fbits(i))
            return false;
    for (int i = 0; i < 16; ++i)
        if (a.dbits(i) != b.dbits(i))
            return false;
    for (int i = 0; i < 9; ++i)
        if (a.i[i] != b.i[i])
            return false;
    return true;
}

}  // namespace glrecord
