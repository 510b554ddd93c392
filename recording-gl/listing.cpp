// SPDX-License-Identifier: MIT
#include "listing.h"

#include <GL/gl.h>

#include <charconv>
#include <cstdlib>
#include <cstring>

namespace glrecord {
char *textTo(char *out, const char *text) {
    const std::size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return out + n;
}

namespace {

struct EnumName {
    unsigned value;
    const char *name;
};

#define SOFTGLU_ENUM(name) {name, #name}
const EnumName kEnums[] = {
    SOFTGLU_ENUM(GL_TEXTURE_1D), SOFTGLU_ENUM(GL_TEXTURE_2D),
    SOFTGLU_ENUM(GL_PROXY_TEXTURE_1D), SOFTGLU_ENUM(GL_PROXY_TEXTURE_2D),
    SOFTGLU_ENUM(GL_TEXTURE_3D), SOFTGLU_ENUM(GL_PROXY_TEXTURE_3D),
    SOFTGLU_ENUM(GL_MAX_TEXTURE_SIZE), SOFTGLU_ENUM(GL_MAX_3D_TEXTURE_SIZE), SOFTGLU_ENUM(GL_VIEWPORT),
    SOFTGLU_ENUM(GL_MAP1_COLOR_4), SOFTGLU_ENUM(GL_MAP1_INDEX), SOFTGLU_ENUM(GL_MAP1_NORMAL),
    SOFTGLU_ENUM(GL_MAP1_TEXTURE_COORD_1), SOFTGLU_ENUM(GL_MAP1_TEXTURE_COORD_2),
    SOFTGLU_ENUM(GL_MAP1_TEXTURE_COORD_3), SOFTGLU_ENUM(GL_MAP1_TEXTURE_COORD_4),
    SOFTGLU_ENUM(GL_MAP1_VERTEX_3), SOFTGLU_ENUM(GL_MAP1_VERTEX_4),
    SOFTGLU_ENUM(GL_MAP2_COLOR_4), SOFTGLU_ENUM(GL_MAP2_INDEX), SOFTGLU_ENUM(GL_MAP2_NORMAL),
    SOFTGLU_ENUM(GL_MAP2_TEXTURE_COORD_1), SOFTGLU_ENUM(GL_MAP2_TEXTURE_COORD_2),
    SOFTGLU_ENUM(GL_MAP2_TEXTURE_COORD_3), SOFTGLU_ENUM(GL_MAP2_TEXTURE_COORD_4),
    SOFTGLU_ENUM(GL_MAP2_VERTEX_3), SOFTGLU_ENUM(GL_MAP2_VERTEX_4),
    SOFTGLU_ENUM(GL_UNPACK_SWAP_BYTES), SOFTGLU_ENUM(GL_UNPACK_LSB_FIRST),
    SOFTGLU_ENUM(GL_UNPACK_ROW_LENGTH), SOFTGLU_ENUM(GL_UNPACK_SKIP_ROWS),
    SOFTGLU_ENUM(GL_UNPACK_SKIP_PIXELS), SOFTGLU_ENUM(GL_UNPACK_ALIGNMENT),
    SOFTGLU_ENUM(GL_UNPACK_SKIP_IMAGES), SOFTGLU_ENUM(GL_UNPACK_IMAGE_HEIGHT),
    SOFTGLU_ENUM(GL_PACK_SWAP_BYTES), SOFTGLU_ENUM(GL_PACK_LSB_FIRST),
    SOFTGLU_ENUM(GL_PACK_ROW_LENGTH), SOFTGLU_ENUM(GL_PACK_SKIP_ROWS),
    SOFTGLU_ENUM(GL_PACK_SKIP_PIXELS), SOFTGLU_ENUM(GL_PACK_ALIGNMENT),
    SOFTGLU_ENUM(GL_COLOR_INDEX), SOFTGLU_ENUM(GL_STENCIL_INDEX), SOFTGLU_ENUM(GL_DEPTH_COMPONENT),
    SOFTGLU_ENUM(GL_RED), SOFTGLU_ENUM(GL_GREEN), SOFTGLU_ENUM(GL_BLUE), SOFTGLU_ENUM(GL_ALPHA),
    SOFTGLU_ENUM(GL_RGB), SOFTGLU_ENUM(GL_RGBA), SOFTGLU_ENUM(GL_BGR), SOFTGLU_ENUM(GL_BGRA),
    SOFTGLU_ENUM(GL_LUMINANCE), SOFTGLU_ENUM(GL_LUMINANCE_ALPHA), SOFTGLU_ENUM(GL_INTENSITY),
    SOFTGLU_ENUM(GL_ALPHA8), SOFTGLU_ENUM(GL_LUMINANCE8), SOFTGLU_ENUM(GL_LUMINANCE8_ALPHA8),
    SOFTGLU_ENUM(GL_INTENSITY8), SOFTGLU_ENUM(GL_RGB8), SOFTGLU_ENUM(GL_RGBA8),
    SOFTGLU_ENUM(GL_BITMAP), SOFTGLU_ENUM(GL_BYTE), SOFTGLU_ENUM(GL_UNSIGNED_BYTE),
    SOFTGLU_ENUM(GL_SHORT), SOFTGLU_ENUM(GL_UNSIGNED_SHORT), SOFTGLU_ENUM(GL_INT),
    SOFTGLU_ENUM(GL_UNSIGNED_INT), SOFTGLU_ENUM(GL_FLOAT),
    SOFTGLU_ENUM(GL_UNSIGNED_BYTE_3_3_2), SOFTGLU_ENUM(GL_UNSIGNED_BYTE_2_3_3_REV),
    SOFTGLU_ENUM(GL_UNSIGNED_SHORT_5_6_5), SOFTGLU_ENUM(GL_UNSIGNED_SHORT_5_6_5_REV),
    SOFTGLU_ENUM(GL_UNSIGNED_SHORT_4_4_4_4), SOFTGLU_ENUM(GL_UNSIGNED_SHORT_4_4_4_4_REV),
    SOFTGLU_ENUM(GL_UNSIGNED_SHORT_5_5_5_1), SOFTGLU_ENUM(GL_UNSIGNED_SHORT_1_5_5_5_REV),
    SOFTGLU_ENUM(GL_UNSIGNED_INT_8_8_8_8), SOFTGLU_ENUM(GL_UNSIGNED_INT_8_8_8_8_REV),
    SOFTGLU_ENUM(GL_UNSIGNED_INT_10_10_10_2), SOFTGLU_ENUM(GL_UNSIGNED_INT_2_10_10_10_REV),
};

const EnumName kModes[] = {
    SOFTGLU_ENUM(GL_POINTS), SOFTGLU_ENUM(GL_LINES), SOFTGLU_ENUM(GL_LINE_LOOP),
    SOFTGLU_ENUM(GL_LINE_STRIP), SOFTGLU_ENUM(GL_TRIANGLES), SOFTGLU_ENUM(GL_TRIANGLE_STRIP),
    SOFTGLU_ENUM(GL_TRIANGLE_FAN), SOFTGLU_ENUM(GL_QUADS), SOFTGLU_ENUM(GL_QUAD_STRIP),
    SOFTGLU_ENUM(GL_POLYGON),
};
#undef SOFTGLU_ENUM

template <std::size_t N>
const char *lookUp(const EnumName (&table)[N], unsigned value) {
    for (const EnumName &e : table)
        if (e.value == value)
            return e.name;
    return nullptr;
}

// Which integer arguments of an op are enums, one bit per argument.
unsigned enumArgs(Op op) {
    switch (op) {
    case Op::PixelStorei:
    case Op::GetIntegerv: return 0x1;                 // pname
    case Op::TexImage1D: return 0x1 | 0x4 | 0x20 | 0x40;  // target, internalformat, format, type
    case Op::TexImage2D: return 0x1 | 0x4 | 0x40 | 0x80;
    case Op::TexImage3D: return 0x1 | 0x4 | 0x80 | 0x100;
    default: return 0;
    }
}

char *intTo(char *out, std::int32_t v, bool isEnum) {
    const char *name = isEnum ? lookUp(kEnums, static_cast<unsigned>(v)) : nullptr;
    if (name)
        return textTo(out, name);
    return std::to_chars(out, out + 12, v).ptr;
}

}  // namespace

char *hexTo(char *out, std::uint64_t bits, int digits) {
    static const char kDigits[] = "0123456789abcdef";
    *out++ = '0';
    *out++ = 'x';
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        *out++ = kDigits[(bits >> shift) & 0xf];
    return out;
}

const char *opName(Op op) {
    switch (op) {
    case Op::Begin: return "glBegin";
    case Op::End: return "glEnd";
    case Op::Normal3f: return "glNormal3f";
    case Op::TexCoord2f: return "glTexCoord2f";
    case Op::Vertex3f: return "glVertex3f";
    case Op::Vertex2f: return "glVertex2f";
    case Op::Frustum: return "glFrustum";
    case Op::Ortho: return "glOrtho";
    case Op::MultMatrixd: return "glMultMatrixd";
    case Op::Translated: return "glTranslated";
    case Op::Scaled: return "glScaled";
    case Op::PixelStorei: return "glPixelStorei";
    case Op::GetIntegerv: return "glGetIntegerv";
    case Op::TexImage1D: return "glTexImage1D";
    case Op::TexImage2D: return "glTexImage2D";
    case Op::Vertex3dv: return "glVertex3dv";
    case Op::EdgeFlag: return "glEdgeFlag";
    case Op::Color4f: return "glColor4f";
    case Op::Indexf: return "glIndexf";
    case Op::TexCoord1f: return "glTexCoord1f";
    case Op::TexCoord3f: return "glTexCoord3f";
    case Op::TexCoord4f: return "glTexCoord4f";
    case Op::TexImage3D: return "glTexImage3D";
    }
    return "?";
}

const char *enumName(unsigned value) { return lookUp(kEnums, value); }

const char *modeName(unsigned mode) { return lookUp(kModes, mode); }

char *formatTo(char *out, const Call &c, bool hex) {
    out = textTo(out, opName(c.op));
    *out++ = '(';
    if (c.op == Op::Begin) {
        if (const char *name = modeName(c.mode))
            out = textTo(out, name);
        else
            out = std::to_chars(out, out + 16, c.mode).ptr;
    } else {
        const unsigned enums = enumArgs(c.op);
        for (int i = 0; i < c.argCount(); ++i) {
            if (i) {
                *out++ = ',';
                *out++ = ' ';
            }
            switch (c.args()) {
            case Args::Doubles:
                out = shortestTo(out, c.d[i]);
                if (hex) {
                    *out++ = ' ';
                    out = hexTo(out, c.dbits(i), 16);
                }
                break;
            case Args::Floats:
                out = shortestTo(out, c.f[i]);
                if (hex) {
                    *out++ = ' ';
                    out = hexTo(out, c.fbits(i), 8);
                }
                break;
            case Args::Ints: out = intTo(out, c.i[i], (enums >> i) & 1u); break;
            case Args::None: break;
            }
        }
        if (uploads(c.op)) {
            out = textTo(out, ", ");
            out = std::to_chars(out, out + 24, c.bytes).ptr;
            out = textTo(out, " bytes ");
            out = hexTo(out, c.hash, 16);
        }
    }
    *out++ = ')';
    return out;
}

std::string format(const Call &c) {
    char buf[kMaxFormatted];
    return std::string(buf, formatTo(buf, c, false));
}

std::string formatHex(const Call &c) {
    char buf[kMaxFormatted];
    return std::string(buf, formatTo(buf, c, true));
}

bool parseLine(std::string_view line, ListedCall &c) {
    const std::size_t open = line.find('('), close = line.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return false;
    c.name = line.substr(0, open);
    c.result = line.substr(close + 1);
    c.args.clear();
    std::string_view rest = line.substr(open + 1, close - open - 1);
    while (!rest.empty()) {
        const std::size_t comma = rest.find(", ");
        std::string_view item = rest.substr(0, comma);
        if (!item.empty() && item.front() == '[')
            item.remove_prefix(1);
        if (!item.empty() && item.back() == ']')
            item.remove_suffix(1);
        const std::size_t space = item.find(' ');
        ListedArg a{item.substr(0, space),
                    space == std::string_view::npos ? std::string_view() : item.substr(space + 1)};
        if (a.bits.substr(0, 2) != "0x")
            a = {item, {}};
        c.args.push_back(a);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 2);
    }
    return true;
}

// Read with strtof and strtod: each decimal rounded once, to the type the
// listing printed it from.
std::uint32_t floatBits(std::string_view value) {
    const float f = std::strtof(std::string(value).c_str(), nullptr);
    std::uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

std::uint64_t doubleBits(std::string_view value) {
    const double d = std::strtod(std::string(value).c_str(), nullptr);
    std::uint64_t b;
    std::memcpy(&b, &d, sizeof b);
    return b;
}

}  // namespace glrecord
