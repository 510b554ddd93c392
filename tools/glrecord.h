/* SPDX-License-Identifier: MIT */
// A recording stand-in for the GL implementation.
//
// A program that links this defines glBegin, glEnd, glNormal3f, glTexCoord2f,
// glVertex3f, glVertex2f and glFrustum itself and exports them (link it with
// ENABLE_EXPORTS / -rdynamic), so libsoftglu binds to them at load time just
// as it would bind to a real GL.  Each call, with its exact argument bits,
// goes to the recorders made current on the calling thread (like a GL
// context): it is appended to the current Stream, and handed to the current
// Sink, each when there is one; with neither, calls are dropped.  Any other
// gl* entry point the library might call is absent, so the program fails to
// load.
#ifndef SOFTGLU_GLRECORD_H
#define SOFTGLU_GLRECORD_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace glrecord {

enum class Op : std::uint8_t { Begin, End, Normal3f, TexCoord2f, Vertex3f, Vertex2f, Frustum };
const int kOpCount = 7;

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

// Makes `stream` the current stream of the calling thread (nullptr for
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

// Takes each call as it is made, so a stream of any length can be handled in
// constant memory.
class Sink {
public:
    virtual void call(const Call &c) = 0;

protected:
    ~Sink() = default;
};

// Makes `sink` the current sink of the calling thread (nullptr for none) and
// returns the previous one.
Sink *setSink(Sink *sink);

// Hands every GL call made while alive to `sink`.
class Streaming {
public:
    explicit Streaming(Sink &sink) : previous_(setSink(&sink)) {}
    ~Streaming() { setSink(previous_); }
    Streaming(const Streaming &) = delete;
    Streaming &operator=(const Streaming &) = delete;

private:
    Sink *previous_;
};

const char *opName(Op op);

// The shortest decimal that reads back (strtof / strtod) to the same bits,
// as printf's %.Pg prints it with the smallest precision P that reads back;
// whole numbers below 2^53 print as integers ("100", not "1e+02").  NaNs
// print as "nan" or "-nan", whatever their payload.
std::string shortest(float v);
std::string shortest(double v);
// The same text written at `out` (at most kMaxShortest characters, no
// terminating NUL); returns the end.
const std::size_t kMaxShortest = 24;
char *shortestTo(char *out, float v);
char *shortestTo(char *out, double v);

// The call with arguments in round-trip decimal: "glVertex3f(0.382683, 0, 1)".
std::string format(const Call &c);
// The call with each argument's IEEE bits in hex beside its value:
// "glVertex3f(0.382683 0x3ec3ef15, 0 0x00000000, 1 0x3f800000)".
std::string formatHex(const Call &c);
// Either, written at `out` (at most kMaxFormatted characters, no
// terminating NUL); returns the end.
const std::size_t kMaxFormatted = 320;
char *formatTo(char *out, const Call &c, bool hex);

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

// Follows a stream call by call the way GL would, starting from GL's initial
// current normal (0, 0, 1) and texture coordinate (0, 0) unless given
// others, in constant memory.
class Replayer {
public:
    explicit Replayer(const float normal[3] = nullptr, const float tex[2] = nullptr);

    enum class Event { None, Begin, End, Vertex };
    // Takes the next call.  Begin: a primitive opened (mode()); Vertex: a
    // vertex sent inside one (vertex()); End: the primitive closed.  A
    // vertex outside a primitive is not a Vertex.
    Event step(const Call &c);
    unsigned mode() const { return mode_; }
    const Vertex &vertex() const { return current_; }

    // "" or, for unbalanced or nested glBegin/glEnd, a vertex outside a
    // primitive or glFrustum inside one, what went wrong first (the replay
    // goes on past it); call at the end of the stream.
    std::string finish();

private:
    void fail(const char *what);
    Vertex current_;
    unsigned mode_ = 0;
    bool open_ = false;
    std::string error_;
};

// Replays a whole stream with a Replayer and appends its primitives to
// `out`; returns Replayer::finish().
std::string replay(const Stream &s, std::vector<Primitive> &out, const float normal[3] = nullptr,
                   const float tex[2] = nullptr);

}  // namespace glrecord

#endif
