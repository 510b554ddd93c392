/* SPDX-License-Identifier: MIT */
// A recording stand-in for the GL implementation.
//
// A program that links this defines glBegin, glEnd, glNormal3f, glTexCoord2f,
// glVertex3f, glVertex2f and glFrustum itself and exports them (link it with
// ENABLE_EXPORTS / -rdynamic), so libsoftglu binds to them at load time just
// as it would bind to a real GL.  Each call is appended, with its exact
// argument bits, to the recorder made current on the calling thread (like a
// GL context); with none current, calls are dropped.  Any other gl* entry
// point the library might call is absent, so the program fails to load.
#ifndef SOFTGLU_GLRECORD_H
#define SOFTGLU_GLRECORD_H

#include <cstdint>
#include <string>
#include <vector>

namespace glrecord {

enum class Op : std::uint8_t { Begin, End, Normal3f, TexCoord2f, Vertex3f, Vertex2f, Frustum };

// One GL call.  Single-precision arguments are kept in f[], the doubles of
// glFrustum in d[], glBegin's mode in mode; unused slots are zero.
struct Call {
    Op op;
    unsigned mode;
    float f[3];
    double d[6];

    int argCount() const;           // how many of f[] / d[] the op uses
    std::uint32_t fbits(int i) const;
    std::uint64_t dbits(int i) const;
};

// Same op and the same bits in every argument (so -0 != +0, and NaNs
// compare by payload).
bool sameBits(const Call &a, const Call &b);

using Stream = std::vector<Call>;

// Makes `stream` the current recorder of the calling thread (nullptr for
// none) and returns the previous one.
Stream *setCurrent(Stream *stream);

// Records every GL call made while alive into its own stream.
class Recording {
public:
    Recording() : previous_(setCurrent(&calls)) {}
    ~Recording() { setCurrent(previous_); }
    Recording(const Recording &) = delete;
    Recording &operator=(const Recording &) = delete;
    Stream calls;

private:
    Stream *previous_;
};

const char *opName(Op op);

// The shortest decimal that reads back (strtof / strtod) to the same bits.
std::string shortest(float v);
std::string shortest(double v);

// The call with arguments in round-trip decimal: "glVertex3f(0.382683, 0, 1)".
std::string format(const Call &c);
// The call with each argument's IEEE bits in hex beside its value:
// "glVertex3f(0.382683 0x3ec3ef15, 0 0x00000000, 1 0x3f800000)".
std::string formatHex(const Call &c);

// A vertex with the normal and texture coordinate GL attaches to it: the
// ones current when it was sent.  glVertex2f gives z = 0.
struct Vertex {
    float pos[3];
    float normal[3];
    float tex[2];
};

struct Primitive {
    unsigned mode;  // the glBegin mode
    std::vector<Vertex> vertices;
};

// Replays a stream the way GL would, starting from GL's initial current
// normal (0, 0, 1) and texture coordinate (0, 0) unless given others, and
// appends its primitives to `out`.  Returns "" or, for unbalanced or nested
// glBegin/glEnd, a vertex outside a primitive or glFrustum inside one, what
// went wrong first (the replay goes on past it).
std::string replay(const Stream &s, std::vector<Primitive> &out, const float normal[3] = nullptr,
                   const float tex[2] = nullptr);

}  // namespace glrecord

#endif
