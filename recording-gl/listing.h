/* SPDX-License-Identifier: MIT */
// The listing: the text softglu-trace prints a call as, one line per call,
// and reads back in --diff.
#ifndef SOFTGLU_GLRECORD_LISTING_H
#define SOFTGLU_GLRECORD_LISTING_H

#include "call.h"
#include "shortest.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace glrecord {

const char *opName(Op op);

// The call with arguments in round-trip decimal: "glVertex3f(0.382683, 0, 1)".
// Enums print by name where glrecord knows it (GL_QUAD_STRIP, GL_RGB,
// GL_UNPACK_ALIGNMENT...), other integers in decimal; a texture upload's
// pixels print as their size and hash: "glTexImage2D(GL_TEXTURE_2D, 0, 3,
// 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, 12 bytes 0x...)".
std::string format(const Call &c);
// The call with each float and double argument's IEEE bits in hex beside
// its value: "glVertex3f(0.382683 0x3ec3ef15, 0 0x00000000, 1 0x3f800000)".
std::string formatHex(const Call &c);
// Either, written at `out` (at most kMaxFormatted characters, no
// terminating NUL); returns the end.
const std::size_t kMaxFormatted = 1024;
char *formatTo(char *out, const Call &c, bool hex);

// Text as a listing writes it: `text` without its NUL, written at `out`;
// returns the end.
char *textTo(char *out, const char *text);

// Bits as a listing shows them: "0x" and `digits` lowercase hex digits (8
// for a float, 16 for a double), written at `out`; returns the end.
char *hexTo(char *out, std::uint64_t bits, int digits);

// The name of a GL enum glrecord knows, or of a glBegin mode, or nullptr.
const char *enumName(unsigned value);
const char *modeName(unsigned mode);

// The comment line that names the math family a listing ran in:
// "# math family: fused".
const char kFamilyTag[] = "# math family: ";

// A line of a listing taken apart: "name(arg, arg) = result", each
// argument its value and, in --hex listings, its bits ("0x..."); the
// elements of a bracketed argument ("[x, y, z]") are arguments of their
// own.
struct ListedArg {
    std::string_view value, bits;
};

struct ListedCall {
    std::string_view name, result;
    std::vector<ListedArg> args;
};

// Takes `line` apart into `c`, whose views point into it; false when it
// has no "(...)".
bool parseLine(std::string_view line, ListedCall &c);

// The bits of a float's or a double's value as a listing prints it (a
// shortest decimal, inf or -inf).
std::uint32_t floatBits(std::string_view value);
std::uint64_t doubleBits(std::string_view value);

}  // namespace glrecord

#endif
