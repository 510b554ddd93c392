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
// (glTexImage1D, glTexImage2D, glTexImage3D); glVertex3dv and glEdgeFlag, which
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
// glPixelStorei), GL_MAX_TEXTURE_SIZE (setMaxTextureSize),
// GL_MAX_3D_TEXTURE_SIZE (setMax3DTextureSize) and GL_VIEWPORT
// (setViewport).  glGetFloatv (GL_MODELVIEW_MATRIX, GL_PROJECTION_MATRIX:
// setMatrices) and glIsEnabled (GL_AUTO_NORMAL: setAutoNormal) answer
// from the same state and are not recorded: they send nothing.  A texture
// upload is recorded with its parameters, the number of bytes GL would read
// under the unpack state and an FNV-1a hash of the elements read: each as
// GL takes it (in this machine's byte order, its bytes swapped under
// GL_UNPACK_SWAP_BYTES), hashed as its value's bytes in little-endian
// order, so that one texture hashes alike on every architecture.
//
// This header holds the recorder: where calls go (the current Stream and
// Sink).  It includes the rest of the room, each with its own header:
// call.h (a call's record), pixelstore.h (the state queries answer from),
// shortest.h and listing.h (the text softglu-trace prints and reads back)
// and replay.h (a stream followed the way GL would).
#ifndef SOFTGLU_GLRECORD_H
#define SOFTGLU_GLRECORD_H

#include "call.h"
#include "listing.h"
#include "pixelstore.h"
#include "replay.h"
#include "shortest.h"

namespace glrecord {

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

}  // namespace glrecord

#endif
