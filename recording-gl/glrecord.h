/* SPDX-License-Identifier: MIT */
// A recording stand-in for the GL implementation.
//
// A program that links this defines the GL entry points softglu calls
// itself and exports them (link it with ENABLE_EXPORTS / -rdynamic), so
// libsoftglu binds to them at load time just as it would bind to a real GL:
// glBegin, glEnd, glNormal3f, glTexCoord2f, glVertex3f, glVertex2f and
// glFrustum for the library, and, for the compatibility layer, the matrix
// calls (glOrtho, glMultMatrixd, glTranslated, glScaled), the pixel-store
// calls (glPixelStorei, glGetIntegerv) and the texture uploads
// (glTexImage1D, glTexImage2D); glVertex3dv and glEdgeFlag, which
// programs hand the tessellator as callbacks; and the vertex attributes of
// NURBS maps (glColor4f, glIndexf, glTexCoord1f, glTexCoord3f,
// glTexCoord4f).  Each call, with its exact argument bits,
// goes to the recorders made current on the calling thread (like a GL
// context): it is appended to the current Stream, and handed to the current
// Sink, each when there is one; with neither, calls are dropped.  Any other
// gl* entry point is absent, so a program whose code calls one fails to
// link or load.
//
// glGetIntegerv answers from a small state of its own, per thread: the
// pixel-store values, pack and unpack (GL's initial ones, changed by
// glPixelStorei), GL_MAX_TEXTURE_SIZE (setMaxTextureSize) and GL_VIEWPORT
// (setViewport).  glGetFloatv (GL_MODELVIEW_MATRIX, GL_PROJECTION_MATRIX:
// setMatrices) and glIsEnabled (GL_AUTO_NORMAL: setAutoNormal) answer
// from the same state and are not recorded: they send nothing.  A texture
// upload is recorded with its parameters, the number of bytes GL would read
// under the unpack state and an FNV-1a hash of the elements read: each as
// GL takes it (in this machine's byte order, its bytes swapped under
// GL_UNPACK_SWAP_BYTES), hashed as its value's bytes in little-endian
// order, so that one texture hashes alike on every architecture.
#ifndef SOFTGLU_GLRECORD_H
#define SOFTGLU_GLRECORD_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace glrecord {

enum class Op : std::uint8_t {
    Begin, End, Normal3f, TexCoord2f, Vertex3f, Vertex2f, Frustum,
    Ortho, MultMatrixd, Translated, Scaled,
    PixelStorei, GetIntegerv, TexImage1D, TexImage2D,
    Vertex3dv, EdgeFlag,
    Color4f, Indexf, TexCoord1f, TexCoord3f, TexCoord4f
};
const int kOpCount = 22;

// What an op's arguments are: floats in f[], doubles in d[], or integers
// in i[] (enums as their values).
enum class Args { None, Floats, Doubles, Ints };

// One GL call.  Single-precision arguments are kept in f[], doubles in d[],
// integer and enum arguments in i[], glBegin's mode in mode; unused slots are
// zero.  glPixelStorei has (pname, value) in i[]; glGetIntegerv (pname, the
// value answered); glTexImage1D (target, level, internalformat, width,
// border, format, type) and glTexImage2D (target, level, internalformat,
// width, height, border, format, type), with the bytes read in `bytes` and
// the hash of the elements read in `hash` (0 bytes, hash 0 for a null
// pointer); glVertex3dv its point in d[], glEdgeFlag its flag in i[0].
struct Call {
    Op op;
    unsigned mode;
    float f[4];
    double d[16];
    std::int32_t i[8];
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

// GL_MAX_TEXTURE_SIZE as glGetIntegerv answers it on the calling thread
// (initially 2048), and the unpack state back at GL's initial values.
void setMaxTextureSize(int size);
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

// The name of a GL enum glrecord knows, or of a glBegin mode, or nullptr.
const char *enumName(unsigned value);
const char *modeName(unsigned mode);

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
    // primitive or any call but a vertex, normal, texture coordinate or
    // edge flag inside one, what went wrong first (the replay goes on past it); call
    // at the end of the stream.
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
